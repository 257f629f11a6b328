// The skinned hint component and its hint window: measuring, placing, shaping, translucency
// and painting of a hint from the "HINTWINDOW" record.
#include "skin/data/skSkinHint.h"

#include <algorithm>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skImageDraw.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Reader.h"

namespace {

// Every hint component alive, in the order they were made.
std::vector<TskSkinHint*>& HintComponents() {
  static std::vector<TskSkinHint*> list;
  return list;
}

const Bitmap* HintPicture(const TskSkinData* data, int index) {
  if (!data || index < 0) return nullptr;
  const auto& pictures = data->ActivePictures();
  if (index >= static_cast<int>(pictures.size()) || pictures[static_cast<std::size_t>(index)].IsEmpty())
    return nullptr;
  return &pictures[static_cast<std::size_t>(index)];
}

FontSpec HintRecordFont(const TskDataSkinHintWindow& r) {
  FontSpec f;
  f.face = r.FontName.empty() ? std::string(SkinDefaultFontName) : r.FontName;
  f.height = r.FontHeight != 0 ? r.FontHeight : SkinDefaultFontHeight;
  f.bold = (r.FontStyle & 1) != 0;
  f.italic = (r.FontStyle & 2) != 0;
  f.underline = (r.FontStyle & 4) != 0;
  f.strikeOut = (r.FontStyle & 8) != 0;
  return f;
}

Size TextSize(const FontSpec& spec, std::string_view text) {
  Bitmap scratch(1, 1);
  DC dc(scratch);
  dc.SelectFont(::Font(spec));
  Rect r(0, 0, 0, 0);
  dc.DrawText(text, r, DT_CALCRECT | DT_LEFT | DT_NOPREFIX);
  return {r.Width(), r.Height()};
}

// The skin a hint of `serving` draws from: a loaded skin whose hint record has a window
// picture. A damaged picture index counts as none, so the hint is drawn plain.
const TskSkinData* HintSkin(const TskSkinHint* serving) {
  if (!serving) return nullptr;
  const TskSkinData* data = serving->SkinData();
  if (!data || data->SkinEmpty() || data->HintWindow().WindowPictureIndex == -1) return nullptr;
  if (!HintPicture(data, data->HintWindow().WindowPictureIndex)) return nullptr;
  return data;
}

NinePartGeometry RecordGeometry(const TskDataSkinHintWindow& r) {
  return {r.LeftTopPoint, r.RightTopPoint, r.LeftBottomPoint, r.RightBottomPoint, r.ClientRect};
}

NinePartGeometry ScaledGeometry(const TskHintLayout& l) {
  return {l.leftTop, l.rightTop, l.leftBottom, l.rightBottom, l.clientRect};
}

}  // namespace

// ---- TskSkinHintWindow

TskSkinHintWindow::TskSkinHintWindow(TComponent* owner, TskSkinHint* own) : THintWindow(owner), m_own(own) {
  if (own) FreeNotification(own);
}

TskSkinHintWindow::~TskSkinHintWindow() = default;

void TskSkinHintWindow::CreateParams(TCreateParams& p) {
  THintWindow::CreateParams(p);
  // No border of any kind: the picture is the whole window.
  p.style = WS_POPUP;
  p.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
}

void TskSkinHintWindow::Notification(TComponent* component, TOperation operation) {
  THintWindow::Notification(component, operation);
  if (operation != TOperation::opRemove || !component) return;
  if (component == m_own) m_own = nullptr;
  if (component == m_serving) m_serving = nullptr;
  if (component == m_skinData) {
    // The picture goes with it: the hint it drew cannot stay on screen.
    m_skinData = nullptr;
    m_layout.skinned = false;
    if (!HasState(csDestroying)) ReleaseHint();
  }
}

TskHintLayout TskSkinHintWindow::Measure(TskSkinHint* serving, std::string_view text, FontSpec& font) const {
  TskHintLayout l;
  const TskSkinData* data = HintSkin(serving);
  l.skinned = data != nullptr;
  font = (l.skinned && serving->UseSkinFont()) ? HintRecordFont(data->HintWindow()) : serving->DefaultFont().Spec();
  l.textSize = TextSize(font, text);
  const int w = l.textSize.cx, h = l.textSize.cy;
  if (!l.skinned) {
    l.size = {w + 4, h + 4};
    l.clientRect = {2, 2, w + 2, h + 2};
    return l;
  }
  const TskDataSkinHintWindow& r = data->HintWindow();
  const Bitmap& p = *HintPicture(data, r.WindowPictureIndex);
  const Rect& c = r.ClientRect;
  const int width = std::max(p.Width(), w + c.left + p.Width() - c.right);
  const int height = std::max(p.Height(), h + c.top + p.Height() - c.bottom);
  const int dw = width - p.Width(), dh = height - p.Height();
  l.size = {width, height};
  l.clientRect = {c.left, c.top, width - (p.Width() - c.right), c.bottom + height - p.Height()};
  l.leftTop = r.LeftTopPoint;
  l.rightTop = {r.RightTopPoint.x + dw, r.RightTopPoint.y};
  l.leftBottom = {r.LeftBottomPoint.x, r.LeftBottomPoint.y + dh};
  l.rightBottom = {r.RightBottomPoint.x + dw, r.RightBottomPoint.y + dh};
  return l;
}

Rect TskSkinHintWindow::CalcHintRect(int, std::string_view hint) {
  TskSkinHint* serving = TskSkinHint::Serving();
  if (!serving) return THintWindow::CalcHintRect(Screen->Width(), hint);
  FontSpec font;
  const TskHintLayout l = Measure(serving, hint, font);
  return {0, 0, l.size.cx, l.size.cy};
}

void TskSkinHintWindow::ApplyTranslucency() {
  if (!m_serving || !HandleAllocated()) return;
  const bool on = m_serving->AlphaBlend();
  HWND h = Handle();
  if (on != m_layered) {
    const LONG_PTR ex = GetWindowLong(h, GWL_EXSTYLE);
    SetWindowLong(h, GWL_EXSTYLE, on ? (ex | WS_EX_LAYERED) : (ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED)));
    m_layered = on;
    // A window newly marked layered has no opacity of its own yet.
    m_appliedAlpha = -1;
  }
  if (on && m_serving->AlphaBlendValue() != m_appliedAlpha) {
    m_appliedAlpha = m_serving->AlphaBlendValue();
    SetLayeredWindowAttributes(h, 0, static_cast<BYTE>(m_appliedAlpha), LWA_ALPHA);
  }
}

void TskSkinHintWindow::ActivateHint(const Rect& rect, std::string_view hint) {
  TskSkinHint* serving = TskSkinHint::Serving();
  if (!serving) return;
  if (m_serving != serving) {
    if (m_serving && m_serving != m_own) RemoveFreeNotification(m_serving);
    m_serving = serving;
    FreeNotification(serving);
  }
  m_text = hint;
  SetText(hint);
  m_layout = Measure(serving, hint, m_font);
  TskSkinData* data = m_layout.skinned ? serving->SkinData() : nullptr;
  if (data != m_skinData) {
    if (m_skinData) RemoveFreeNotification(m_skinData);
    m_skinData = data;
    if (data) FreeNotification(data);
  }

  // Past the right or bottom screen edge the hint flips to the other side of its point.
  Rect r = Rect::FromSize(rect.TopLeft(), m_layout.size);
  if (r.right > GetSystemMetrics(SM_CXSCREEN)) r.Translate(-(m_layout.size.cx + 2), 0);
  if (r.bottom > GetSystemMetrics(SM_CYSCREEN)) r.Translate(0, -(m_layout.size.cy + 2));

  SetBoundsRect(r);
  HandleNeeded();
  HWND h = Handle();
  ApplyTranslucency();
  m_region.reset();
  if (m_skinData) {
    const TskDataSkinHintWindow& rec = m_skinData->HintWindow();
    if (rec.MaskPictureIndex != -1) {
      if (const Bitmap* mask = HintPicture(m_skinData, rec.MaskPictureIndex))
        m_region = ResizedMaskToRegion(RecordGeometry(rec), ScaledGeometry(m_layout), *mask, r.Width(), r.Height());
    }
  }
  SetWindowRgn(h, m_region ? new Region(*m_region) : nullptr, false);
  SetWindowPos(h, HWND_TOPMOST, r.left, r.top, r.Width(), r.Height(), SWP_NOACTIVATE);
  SetVisible(true);
  ShowWindow(h, SW_SHOWNOACTIVATE);
  Invalidate();
}

Bitmap TskSkinHintWindow::RenderImage() const {
  const int w = m_layout.size.cx, h = m_layout.size.cy;
  Bitmap image(std::max(0, w), std::max(0, h), ColorToPixel(ColorToRGB(clInfoBk)));
  if (image.IsEmpty()) return image;
  const ::Font font(m_font);
  if (m_skinData && m_layout.skinned) {
    const TskDataSkinHintWindow& rec = m_skinData->HintWindow();
    if (const Bitmap* picture = HintPicture(m_skinData, rec.WindowPictureIndex)) {
      BuildNinePartImageStretched(image, RecordGeometry(rec), ScaledGeometry(m_layout), picture->Bounds(), *picture,
                                  w, h, true,
                                  EdgeStretch{rec.TopStretch, rec.BottomStretch, rec.LeftStretch, rec.RightStretch});
      DC dc(image);
      dc.SelectFont(font);
      dc.SetBkMode(TRANSPARENT);
      dc.SetTextColor(rec.FontColor);
      const Rect& c = m_layout.clientRect;
      const int left = c.left + c.Width() / 2 - m_layout.textSize.cx / 2;
      const int top = c.top + c.Height() / 2 - m_layout.textSize.cy / 2;
      Rect text = Rect::FromSize(left, top, m_layout.textSize.cx, m_layout.textSize.cy);
      dc.DrawText(m_text, text, DT_LEFT | DT_NOPREFIX | DT_NOCLIP);
      return image;
    }
  }
  DC dc(image);
  dc.FillRect(image.Bounds(), clInfoBk);
  dc.FrameRect(image.Bounds(), clBtnShadow);
  dc.SelectFont(font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(clInfoText);
  Rect text = image.Bounds().Inflated(-2, -2);
  dc.DrawText(m_text, text, DT_LEFT | DT_NOPREFIX);
  return image;
}

void TskSkinHintWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_NCPAINT:
      m.Result = 0;
      return;
    case WM_MOUSEACTIVATE:
      m.Result = MA_NOACTIVATE;
      return;
    default:
      THintWindow::WndProc(m);
  }
}

void TskSkinHintWindow::Paint() {
  Bitmap image = RenderImage();
  DC src(image);
  if (HDC dc = Canvas().Handle()) dc->BitBlt(0, 0, image.Width(), image.Height(), src, 0, 0, SRCCOPY);
}

// ---- TskSkinHint

TskSkinHint::TskSkinHint(TComponent* owner) : TComponent(owner) {
  m_defaultFont.SetName(SkinDefaultFontName);
  m_defaultFont.SetHeight(SkinDefaultFontHeight);
  HintComponents().push_back(this);
  m_window = new TskSkinHintWindow(this, this);
  if (HasState(csDesigning) || !Application) return;
  Application->SetHintWindowClass([](TComponent* o) { return new TskSkinHintWindow(o); });
  // Toggled twice so the application's setting stays and the new class takes effect.
  const bool show = Application->ShowHint();
  Application->SetShowHint(!show);
  Application->SetShowHint(show);
  Application->OnShowHint = [](std::string& hint, bool& canShow, THintInfo& info) {
    if (TskSkinHint* s = TskSkinHint::Serving(); s && s->OnShowHint) s->OnShowHint(hint, canShow, info);
  };
  Application->SetHintShortPause(100);
}

TskSkinHint::~TskSkinHint() {
  BeforeDestruction();
  auto& list = HintComponents();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  // The last one gone: the application's hints are the plain ones again (its window and
  // event would otherwise look for a component that no longer exists).
  if (list.empty() && Application && !HasState(csDesigning)) {
    Application->SetHintWindowClass(nullptr);
    Application->OnShowHint = nullptr;
  }
}

TskSkinHint* TskSkinHint::Serving() {
  if (Application) {
    if (TCustomForm* main = Application->MainForm()) {
      for (int i = 0; i < main->ComponentCount(); ++i)
        if (auto* h = dynamic_cast<TskSkinHint*>(main->Components(i)); h && h->m_active) return h;
    }
  }
  for (TskSkinHint* h : HintComponents())
    if (h->m_active && !h->HasState(csDestroying)) return h;
  return nullptr;
}

void TskSkinHint::SetSkinData(TskSkinData* data) {
  if (data == m_skinData) return;
  if (m_skinData) RemoveFreeNotification(m_skinData);
  m_skinData = data;
  if (data) FreeNotification(data);
}

void TskSkinHint::SetActive(bool on) {
  m_active = on;
  if (!on || !Application) return;
  if (TCustomForm* main = Application->MainForm()) {
    for (int i = 0; i < main->ComponentCount(); ++i)
      if (auto* h = dynamic_cast<TskSkinHint*>(main->Components(i)); h && h != this) h->m_active = false;
  }
}

void TskSkinHint::SetAlphaBlendValue(int value) { m_alphaBlendValue = std::clamp(value, 0, 255); }

bool TskSkinHint::HintPending() const { return m_timer && m_timer->Enabled(); }

void TskSkinHint::ShowHintAtCursor(std::string_view text) {
  HideHint();
  m_pendingText = text;
  m_shownByTimer = false;
  // One timer for the component's life: it may fire into HideHint, which must not free it.
  if (!m_timer) {
    m_timer = new TTimer(this);
    m_timer->SetEnabled(false);
    m_timer->OnTimer = [this](TObject*) { TimerFired(); };
  }
  m_timer->SetInterval(static_cast<unsigned>(std::max(1, Application ? Application->HintPause() : 500)));
  m_timer->SetEnabled(true);
}

void TskSkinHint::TimerFired() {
  if (!m_timer || !m_window) return;
  if (m_shownByTimer) {
    HideHint();
    return;
  }
  m_shownByTimer = true;
  const Point cursor = WindowSystem::Current().GetCursorPos();
  const Point at{cursor.x, cursor.y + skHintCursorDrop};
  m_window->ActivateHint(Rect::FromSize(at, {0, 0}), m_pendingText);
  m_timer->SetEnabled(false);
  m_timer->SetInterval(static_cast<unsigned>(std::max(1, Application ? Application->HintHidePause() : 2500)));
  m_timer->SetEnabled(true);
}

void TskSkinHint::HideHint() {
  if (m_timer) m_timer->SetEnabled(false);
  m_shownByTimer = false;
  if (m_window && m_window->HandleAllocated() && IsWindowVisible(m_window->Handle()))
    ShowWindow(m_window->Handle(), SW_HIDE);
  if (m_window) m_window->ReleaseHint();
}

void TskSkinHint::BeginSkinChange() {
  HideHint();
  if (Application && Application->HintWindow()) {
    if (auto* w = dynamic_cast<TskSkinHintWindow*>(Application->HintWindow()); w && w->HintSkinData() == m_skinData)
      Application->CancelHint();
  }
}

void TskSkinHint::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove || !component) return;
  if (component == m_skinData) m_skinData = nullptr;
  if (component == m_window) m_window = nullptr;
  if (component == m_timer) m_timer = nullptr;
}

TPersistent* TskSkinHint::PropertyObject(std::string_view name) {
  if (SameText(name, "DefaultFont")) return &m_defaultFont;
  return TComponent::PropertyObject(name);
}

bool TskSkinHint::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "SkinData")) reader.ReadLink<TskSkinData>(v, [this](TskSkinData* d) { SetSkinData(d); });
  else if (SameText(name, "Active")) SetActive(v.AsBool());
  else if (SameText(name, "AlphaBlend")) SetAlphaBlend(v.AsBool());
  else if (SameText(name, "AlphaBlendValue")) SetAlphaBlendValue(v.AsInt());
  else if (SameText(name, "UseSkinFont")) SetUseSkinFont(v.AsBool());
  else return TComponent::ReadProperty(name, v, reader);
  return true;
}
