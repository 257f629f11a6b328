// TPanel, TBevel, TImage, TSplitter and TTimer.
#include "toolkit/ExtCtrls.h"

#include <algorithm>

#include "platform/win/WinApi.h"
#include "toolkit/Forms.h"
#include "toolkit/Reader.h"

TAlignment ReadAlignment(const TStreamValue& v) {
  return static_cast<TAlignment>(v.AsEnum({{"taLeftJustify", 0}, {"taRightJustify", 1}, {"taCenter", 2}}));
}

TBevelCut ReadBevelCut(const TStreamValue& v) {
  return static_cast<TBevelCut>(v.AsEnum({{"bvNone", 0}, {"bvLowered", 1}, {"bvRaised", 2}, {"bvSpace", 3}}));
}

namespace {

void DrawBevel(TCanvas& c, Rect& r, TBevelCut cut, int width) {
  if (cut == TBevelCut::bvNone) return;
  Color tl = clBtnHighlight, br = clBtnShadow;
  if (cut == TBevelCut::bvLowered) std::swap(tl, br);
  if (cut == TBevelCut::bvSpace) tl = br = clBtnFace;
  Frame3D(c, r, tl, br, width);
}

int BevelSize(TBevelCut cut, int width) { return cut == TBevelCut::bvNone ? 0 : width; }

}  // namespace

// TPanel

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  m_controlStyle |= csAcceptsControls | csOpaque;
  SetBounds(0, 0, 185, 41);
}

void TPanel::BordersChanged() {
  Realign();
  Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut b) {
  if (b == m_bevelOuter) return;
  m_bevelOuter = b;
  BordersChanged();
}

void TPanel::SetBevelInner(TBevelCut b) {
  if (b == m_bevelInner) return;
  m_bevelInner = b;
  BordersChanged();
}

void TPanel::SetBevelWidth(int w) {
  if (w < 1 || w == m_bevelWidth) return;
  m_bevelWidth = w;
  BordersChanged();
}

void TPanel::SetBorderWidth(int w) {
  if (w < 0 || w == m_borderWidth) return;
  m_borderWidth = w;
  BordersChanged();
}

void TPanel::SetBorderStyle(TBorderStyle s) {
  if (s == m_borderStyle) return;
  m_borderStyle = s;
  BordersChanged();
}

void TPanel::SetAlignment(TAlignment a) {
  if (a == m_alignment) return;
  m_alignment = a;
  Invalidate();
}

Rect TPanel::AdjustClientRect() const {
  Rect r = ClientRect();
  int inset = BevelSize(m_bevelOuter, m_bevelWidth) + m_borderWidth + BevelSize(m_bevelInner, m_bevelWidth) +
              (m_borderStyle == TBorderStyle::bsSingle ? 1 : 0);
  r.Inflate(-inset, -inset);
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

void TPanel::Paint() {
  TCanvas& c = Canvas();
  Rect r = ClientRect();
  c.Brush().SetColor(GetColor());
  c.FillRect(r);
  if (m_borderStyle == TBorderStyle::bsSingle) Frame3D(c, r, clWindowFrame, clWindowFrame, 1);
  DrawBevel(c, r, m_bevelOuter, m_bevelWidth);
  r.Inflate(-m_borderWidth, -m_borderWidth);
  DrawBevel(c, r, m_bevelInner, m_bevelWidth);
  std::string text = Text();
  if (text.empty()) return;
  c.SetFont(Font());
  if (!Enabled()) c.Font().SetColor(clGrayText);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  std::uint32_t format = DT_SINGLELINE | DT_VCENTER;
  if (m_alignment == TAlignment::taCenter) format |= DT_CENTER;
  else if (m_alignment == TAlignment::taRightJustify) format |= DT_RIGHT;
  c.DrawText(text, r, format);
}

bool TPanel::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "BevelOuter")) SetBevelOuter(ReadBevelCut(v));
  else if (SameText(name, "BevelInner")) SetBevelInner(ReadBevelCut(v));
  else if (SameText(name, "BevelWidth")) SetBevelWidth(v.AsInt());
  else if (SameText(name, "BorderWidth")) SetBorderWidth(v.AsInt());
  else if (SameText(name, "BorderStyle"))
    SetBorderStyle(static_cast<TBorderStyle>(v.AsEnum({{"bsNone", 0}, {"bsSingle", 1}})));
  else if (SameText(name, "Alignment")) SetAlignment(ReadAlignment(v));
  else return TCustomControl::ReadProperty(name, v, reader);
  return true;
}

// TBevel

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape s) {
  if (s == m_shape) return;
  m_shape = s;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle s) {
  if (s == m_style) return;
  m_style = s;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas& c = Canvas();
  Color dark = clBtnShadow, light = clBtnHighlight;
  if (m_style == TBevelStyle::bsRaised) std::swap(dark, light);
  Rect r = ClientRect();
  auto line = [&](Rect a, Color col) {
    c.Brush().SetColor(col);
    c.FillRect(a);
  };
  switch (m_shape) {
    case TBevelShape::bsBox: Frame3D(c, r, dark, light, 1); break;
    case TBevelShape::bsFrame: {
      Rect outer = r;
      Frame3D(c, outer, dark, light, 1);
      Frame3D(c, outer, light, dark, 1);
      break;
    }
    case TBevelShape::bsTopline:
      line(Rect(0, 0, r.right, 1), dark);
      line(Rect(0, 1, r.right, 2), light);
      break;
    case TBevelShape::bsBottomline:
      line(Rect(0, r.bottom - 2, r.right, r.bottom - 1), dark);
      line(Rect(0, r.bottom - 1, r.right, r.bottom), light);
      break;
    case TBevelShape::bsLeftline:
      line(Rect(0, 0, 1, r.bottom), dark);
      line(Rect(1, 0, 2, r.bottom), light);
      break;
    case TBevelShape::bsRightline:
      line(Rect(r.right - 2, 0, r.right - 1, r.bottom), dark);
      line(Rect(r.right - 1, 0, r.right, r.bottom), light);
      break;
    case TBevelShape::bsSpacer: break;
  }
}

bool TBevel::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "Shape"))
    SetShape(static_cast<TBevelShape>(v.AsEnum({{"bsBox", 0}, {"bsFrame", 1}, {"bsTopline", 2}, {"bsBottomline", 3},
                                                {"bsLeftline", 4}, {"bsRightline", 5}, {"bsSpacer", 6}})));
  else if (SameText(name, "Style"))
    SetStyle(static_cast<TBevelStyle>(v.AsEnum({{"bsLowered", 0}, {"bsRaised", 1}})));
  else return TGraphicControl::ReadProperty(name, v, reader);
  return true;
}

// TImage

TImage::TImage(TComponent* owner) : TGraphicControl(owner), m_picture(std::make_unique<TPicture>()) {
  m_controlStyle |= csReplicatable;
  m_picture->OnChange = [this](TObject*) { PictureChanged(); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { m_picture->OnChange = nullptr; }

void TImage::PictureChanged() {
  if (m_autoSize && m_picture->Width() > 0 && m_picture->Height() > 0)
    SetBounds(m_left, m_top, m_picture->Width(), m_picture->Height());
  if (auto* b = dynamic_cast<TBitmap*>(m_picture->Graphic()); b && !m_transparent) {
    // An opaque picture that covers the control needs no background under it.
    if (!m_stretch && !m_center && b->Width() >= m_width && b->Height() >= m_height)
      m_controlStyle |= csOpaque;
    else
      m_controlStyle &= ~csOpaque;
  }
  Invalidate();
}

TCanvas& TImage::Canvas() {
  TGraphic* g = m_picture->Graphic();
  if (!g || g->Empty()) {
    TBitmap& b = m_picture->Bitmap();
    if (b.Empty()) b.SetSize(m_width, m_height);
  } else if (!dynamic_cast<TBitmap*>(g)) {
    throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  }
  return m_picture->Bitmap().Canvas();
}

void TImage::SetStretch(bool on) {
  m_stretch = on;
  PictureChanged();
}

void TImage::SetCenter(bool on) {
  m_center = on;
  PictureChanged();
}

void TImage::SetProportional(bool on) {
  m_proportional = on;
  PictureChanged();
}

void TImage::SetTransparent(bool on) {
  m_transparent = on;
  if (TGraphic* g = m_picture->Graphic()) g->SetTransparent(on);
  PictureChanged();
}

void TImage::SetAutoSize(bool on) {
  m_autoSize = on;
  PictureChanged();
}

Rect TImage::DestRect() const {
  int w = m_picture->Width(), h = m_picture->Height();
  int cw = m_width, ch = m_height;
  if (w <= 0 || h <= 0) return Rect();
  if (m_stretch || (m_proportional && (w > cw || h > ch))) {
    if (m_proportional) {
      double scale = std::min(static_cast<double>(cw) / w, static_cast<double>(ch) / h);
      w = std::max(1, static_cast<int>(w * scale));
      h = std::max(1, static_cast<int>(h * scale));
    } else {
      w = cw;
      h = ch;
    }
  }
  Rect r(0, 0, w, h);
  if (m_center) r.Translate((cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* g = m_picture->Graphic();
  if (!g || g->Empty()) return;
  TCanvas& c = TGraphicControl::Canvas();
  c.StretchDraw(DestRect(), g);
}

TPersistent* TImage::PropertyObject(std::string_view name) {
  if (SameText(name, "Picture")) return m_picture.get();
  return TGraphicControl::PropertyObject(name);
}

bool TImage::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "Stretch")) SetStretch(v.AsBool());
  else if (SameText(name, "Center")) SetCenter(v.AsBool());
  else if (SameText(name, "Proportional")) SetProportional(v.AsBool());
  else if (SameText(name, "Transparent")) SetTransparent(v.AsBool());
  else if (SameText(name, "AutoSize")) SetAutoSize(v.AsBool());
  else return TGraphicControl::ReadProperty(name, v, reader);
  return true;
}

// TSplitter

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
  SetAlign(TAlign::alLeft);
  SetBounds(0, 0, 3, 100);
  SetCursor(crHSplit);
  SetParentColor(true);
}

bool TSplitter::Horizontal() const { return Align() == TAlign::alTop || Align() == TAlign::alBottom; }

void TSplitter::SetBeveled(bool on) {
  m_beveled = on;
  Invalidate();
}

void TSplitter::WndProc(TMessage& m) {
  if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) {
    // The cursor follows the direction the splitter moves in.
    SetCursor(Horizontal() ? crVSplit : crHSplit);
  }
  TGraphicControl::WndProc(m);
}

TControl* TSplitter::FindControl() const {
  if (!m_parent) return nullptr;
  Point p;
  switch (Align()) {
    case TAlign::alLeft: p = {m_left - 1, m_top}; break;
    case TAlign::alRight: p = {m_left + m_width, m_top}; break;
    case TAlign::alTop: p = {m_left, m_top - 1}; break;
    case TAlign::alBottom: p = {m_left, m_top + m_height}; break;
    default: return nullptr;
  }
  for (int i = 0; i < m_parent->ControlCount(); ++i) {
    TControl* c = m_parent->Controls(i);
    if (c == this || !c->Visible() || c->Align() != Align()) continue;
    Rect r = c->BoundsRect();
    // The neighbour on the splitter's far side from the rest of the parent.
    bool adjacent = false;
    switch (Align()) {
      case TAlign::alLeft: adjacent = r.right == m_left; break;
      case TAlign::alRight: adjacent = r.left == m_left + m_width; break;
      case TAlign::alTop: adjacent = r.bottom == m_top; break;
      case TAlign::alBottom: adjacent = r.top == m_top + m_height; break;
      default: break;
    }
    if (adjacent || r.Contains(p)) return c;
  }
  return nullptr;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft) return;
  m_control = FindControl();
  if (!m_control) return;
  m_dragging = true;
  m_downPos = {m_left + x, m_top + y};
  m_startSize = Horizontal() ? m_control->Height() : m_control->Width();
  // What the rest of the parent may give: everything but MinSize of the client-aligned part.
  Rect area = m_parent->ClientRect();
  int used = 0;
  for (int i = 0; i < m_parent->ControlCount(); ++i) {
    TControl* c = m_parent->Controls(i);
    if (!c->Visible() || c == m_control) continue;
    if (Horizontal() && (c->Align() == TAlign::alTop || c->Align() == TAlign::alBottom)) used += c->Height();
    if (!Horizontal() && (c->Align() == TAlign::alLeft || c->Align() == TAlign::alRight)) used += c->Width();
  }
  m_maxSize = (Horizontal() ? area.Height() : area.Width()) - used - m_minSize;
}

void TSplitter::UpdateSize(Point parentPos) {
  int delta = Horizontal() ? parentPos.y - m_downPos.y : parentPos.x - m_downPos.x;
  if (Align() == TAlign::alRight || Align() == TAlign::alBottom) delta = -delta;
  int size = std::clamp(m_startSize + delta, m_minSize, std::max(m_minSize, m_maxSize));
  bool accept = true;
  if (OnCanResize) OnCanResize(this, size, accept);
  if (!accept || !m_control) return;
  if (Horizontal()) m_control->SetHeight(size);
  else m_control->SetWidth(size);
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (m_dragging && m_resizeStyle != TResizeStyle::rsNone) UpdateSize({m_left + x, m_top + y});
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  // The splitter itself moves as the control changes size, so positions are taken in
  // the parent's coordinates from where the drag began.
  if (m_dragging) {
    m_dragging = false;
    if (m_resizeStyle != TResizeStyle::rsUpdate) UpdateSize({m_left + x, m_top + y});
    Fire(OnMoved, this);
  }
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TSplitter::Paint() {
  TCanvas& c = Canvas();
  Rect r = ClientRect();
  c.Brush().SetColor(GetColor());
  c.FillRect(r);
  if (m_beveled) Frame3D(c, r, clBtnHighlight, clBtnShadow, 1);
}

bool TSplitter::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "MinSize")) SetMinSize(v.AsInt());
  else if (SameText(name, "Beveled")) SetBeveled(v.AsBool());
  else if (SameText(name, "ResizeStyle"))
    SetResizeStyle(static_cast<TResizeStyle>(v.AsEnum({{"rsNone", 0}, {"rsLine", 1}, {"rsUpdate", 2}, {"rsPattern", 3}})));
  else if (SameText(name, "OnMoved")) OnMoved = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnCanResize")) OnCanResize = reader.ReadHandler<TCanResizeEvent>(v);
  else return TGraphicControl::ReadProperty(name, v, reader);
  return true;
}

// TTimer

namespace {
constexpr const char* kTimerClass = "KavriTimer";
constexpr const char* kTimerProp = "KavriTimer";
LRESULT TimerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
}  // namespace

struct TTimerAccess {
  static void Fire(TTimer* t) { t->Fired(); }
  static void Forget(TTimer* t, HWND h) {
    if (t->m_window == h) t->m_window = nullptr;
  }
};

namespace {
LRESULT TimerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* timer = static_cast<TTimer*>(GetProp(hwnd, kTimerProp));
  if (timer && msg == WM_TIMER) {
    try {
      TTimerAccess::Fire(timer);
    } catch (...) {
      if (Application) Application->HandleException(timer);
    }
    return 0;
  }
  if (timer && msg == WM_NCDESTROY) TTimerAccess::Forget(timer, hwnd);
  return DefWindowProc(hwnd, msg, wp, lp);
}
}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) { UpdateTimer(); }

TTimer::~TTimer() {
  // Nothing to give back once the window system has gone (and none is made for it).
  if (m_window && WindowSystem::HasCurrent() && m_windowSystem == &WindowSystem::Current() && IsWindow(m_window)) {
    KillTimer(m_window, 1);
    RemoveProp(m_window, kTimerProp);
    DestroyWindow(m_window);
  }
}

void TTimer::SetEnabled(bool on) {
  if (on == m_enabled) return;
  m_enabled = on;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == m_interval) return;
  m_interval = ms;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  WindowSystem& ws = WindowSystem::Current();
  bool windowOk = m_window && m_windowSystem == &ws && ws.IsWindow(m_window);
  if (windowOk) ws.KillTimer(m_window, 1);
  if (!m_enabled || m_interval == 0 || HasState(csLoading)) return;
  if (!windowOk) {
    if (!ws.FindClass(kTimerClass)) {
      WNDCLASS wc;
      wc.lpfnWndProc = WindowProc(&TimerProc);
      wc.lpszClassName = kTimerClass;
      ws.RegisterClass(wc);
    }
    m_window = ws.CreateWindowEx(WS_EX_TOOLWINDOW, kTimerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, 0, nullptr);
    m_windowSystem = &ws;
    if (!m_window) throw EInvalidOperation("Not enough timers available");
    ws.SetProp(m_window, kTimerProp, this);
  }
  if (!ws.SetTimer(m_window, 1, m_interval, nullptr)) throw EInvalidOperation("Not enough timers available");
}

void TTimer::Fired() { Fire(OnTimer, this); }

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

bool TTimer::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "Enabled")) SetEnabled(v.AsBool());
  else if (SameText(name, "Interval")) SetInterval(static_cast<unsigned>(std::max(0, v.AsInt())));
  else if (SameText(name, "OnTimer")) OnTimer = reader.ReadHandler<TNotifyEvent>(v);
  else return TComponent::ReadProperty(name, v, reader);
  return true;
}
