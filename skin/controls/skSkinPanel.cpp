// TskSkinPanel and TskSkinToolBar: skin image, caption bar, check box, roll-up, client area.
#include "skin/controls/skSkinPanel.h"

#include <algorithm>

#include "platform/win/WinApi.h"
#include "skin/controls/skSkinButtons.h"
#include "toolkit/Reader.h"

namespace {

bool InZone(Point p, const Rect& z, bool inclusive) {
  if (inclusive) return p.x >= z.left && p.x <= z.right && p.y >= z.top && p.y <= z.bottom;
  return p.x >= z.left && p.x < z.right && p.y >= z.top && p.y < z.bottom;
}

// Draws `source` of the picture at (x, y), leaving out the colour of its bottom-left pixel.
void DrawTransparentPart(TCanvas& canvas, int x, int y, const Bitmap& picture, const Rect& source) {
  if (source.IsEmpty()) return;
  Bitmap part(source.Width(), source.Height());
  CopySkinRect(part, part.Bounds(), picture, source);
  const Color key = PixelToColor(part.At(0, part.Height() - 1));
  DC partDc(part);
  canvas.Handle()->TransparentBlt(x, y, part.Width(), part.Height(), partDc, 0, 0, part.Width(),
                                  part.Height(), key);
}

}  // namespace

TskSkinBorderStyle ReadSkinBorderStyle(const TStreamValue& value) {
  return static_cast<TskSkinBorderStyle>(
      value.AsEnum({{"bvFrame", 0}, {"bvRaised", 1}, {"bvLowered", 2}, {"bvNone", 3}}));
}

// ---- TskSkinPanel

TskSkinPanel::TskSkinPanel(TComponent* owner)
    : TskSkinCustomControl(owner), m_glyph(std::make_unique<TBitmap>()) {
  m_controlStyle |= csAcceptsControls | csOpaque;
  m_glyph->OnChange = [this](TObject*) { Invalidate(); };
  SetSkinDataName("panel");
  SetBounds(0, 0, 150, 150);
}

TskSkinPanel::~TskSkinPanel() { m_glyph->OnChange = nullptr; }

void TskSkinPanel::Changed(bool realign) {
  Invalidate();
  if (realign) Realign();
}

void TskSkinPanel::SetBorderStyle(TskSkinBorderStyle s) {
  if (s == m_borderStyle) return;
  m_borderStyle = s;
  // bvNone also switches between the framed and the borderless skin look.
  Changed(true);
}

void TskSkinPanel::SetCaptionMode(bool on) {
  if (on == m_captionMode) return;
  m_captionMode = on;
  Changed(true);
}

void TskSkinPanel::SetDefaultCaptionHeight(int h) {
  if (h == m_defaultCaptionHeight) return;
  m_defaultCaptionHeight = h;
  if (SkinIndex() == -1 && m_captionMode) Changed(true);
}

void TskSkinPanel::SetDefaultAlignment(TAlignment a) {
  if (a == m_defaultAlignment) return;
  m_defaultAlignment = a;
  if (SkinIndex() == -1 && m_captionMode) Invalidate();
}

void TskSkinPanel::SetCheckedMode(bool on) {
  if (on == m_checkedMode) return;
  m_checkedMode = on;
  Invalidate();
}

void TskSkinPanel::SetChecked(bool on) {
  m_checked = on;
  if (m_checkedMode) {
    Invalidate();
    if (m_autoEnabledControls)
      for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetEnabled(on);
  }
  Fire(OnChecked, this);
}

void TskSkinPanel::SetRollUpMode(bool on) {
  if (on == m_rollUpMode) return;
  m_rollUpMode = on;
  if (SkinIndex() == -1 && m_captionMode) Invalidate();
}

void TskSkinPanel::SetRollUpState(bool on) {
  if (on == m_rollUpState) return;
  if (!m_rollUpMode) {
    m_rollUpState = false;
    return;
  }
  m_rollUpState = on;
  if (on) RollUp();
  else RollDown();
  Fire(OnChangeRollUpState, this);
}

void TskSkinPanel::SetNumGlyphs(int n) {
  n = std::clamp(n, 1, 2);
  if (n == m_numGlyphs) return;
  m_numGlyphs = n;
  Invalidate();
}

void TskSkinPanel::SetSpacing(int s) {
  if (s == m_spacing) return;
  m_spacing = s;
  Invalidate();
}

int TskSkinPanel::RolledHeight() const {
  if (SkinIndex() == -1) return m_defaultCaptionHeight + 1;
  return Height() - m_element.sized.clientRect.Height();
}

void TskSkinPanel::RollUp() {
  if (m_realHeight != -1) return;
  m_realHeight = Height();
  DisableAlign();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetVisible(false);
  ReadSkinRecord();
  SetHeight(RolledHeight());
}

void TskSkinPanel::RollDown() {
  if (m_realHeight == -1) return;
  const int h = m_realHeight;
  m_realHeight = -1;
  SetHeight(h);
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetVisible(true);
  EnableAlign();
}

void TskSkinPanel::ReadSkinRecord() {
  TskSkinCustomControl::ReadSkinRecord();
  m_fields = SkinPanelFields();
  const TskDataSkinControl* record = SkinRecord();
  if (!record) return;
  if (const auto* font = dynamic_cast<const SkinFontFields*>(record)) m_fields.font = *font;
  if (const auto* panel = dynamic_cast<const TskDataSkinPanelControl*>(record)) {
    m_fields.fromPanelRecord = true;
    m_fields.bgPictureIndex = panel->BGPictureIndex;
    m_fields.captionRect = panel->CaptionRect;
    m_fields.alignment = panel->Alignment;
    m_fields.checkImageRect = panel->CheckImageRect;
    m_fields.uncheckImageRect = panel->UnCheckImageRect;
  }
}

void TskSkinPanel::BeginSkinChange() {
  TskSkinCustomControl::BeginSkinChange();
  m_fields = SkinPanelFields();
}

const Bitmap* TskSkinPanel::BackgroundPicture() const {
  if (SkinIndex() == -1 || m_fields.bgPictureIndex == -1) return nullptr;
  // An index beyond the skin's pictures is taken as no background picture.
  const Bitmap* picture = SkinActivePicture(SkinData(), m_fields.bgPictureIndex);
  return picture && !picture->IsEmpty() ? picture : nullptr;
}

bool TskSkinPanel::BorderlessSkinLook() const {
  return SkinIndex() != -1 && m_borderStyle == TskSkinBorderStyle::bvNone &&
         m_element.mode == SkinResizeMode::Both && !m_captionMode;
}

Rect TskSkinPanel::CaptionRectAtSize() const {
  Rect r = m_fields.captionRect;
  const Rect& R = m_element.skinRect;
  const NinePartGeometry& g = m_element.parts;
  const int dW = Width() - R.Width();
  const int dH = Height() - R.Height();
  const Point tl{r.left, r.top}, br{r.right, r.bottom};
  switch (m_element.mode) {
    case SkinResizeMode::Both: {
      const Rect zTL(0, 0, g.leftTop.x, g.leftTop.y);
      const Rect zTR(g.rightTop.x, 0, R.Width(), g.rightTop.y);
      const Rect zBL(0, g.leftBottom.y, g.leftBottom.x, R.Height());
      const Rect zBR(g.rightBottom.x, g.rightBottom.y, R.Width(), R.Height());
      if (InZone(tl, zTL, false) && InZone(br, zTL, false)) return r;
      if (InZone(tl, zTR, false) && InZone(br, zTR, false)) return r.Translated(dW, 0);
      if (InZone(tl, zBL, false) && InZone(br, zBL, false)) return r.Translated(0, dH);
      if (InZone(tl, zBR, false) && InZone(br, zBR, false)) return r.Translated(dW, dH);
      if (InZone(tl, zTL, true) && InZone(br, zBR, true)) return {r.left, r.top, r.right + dW, r.bottom + dH};
      if (InZone(tl, zTL, true) && InZone(br, zTR, true)) return {r.left, r.top, r.right + dW, r.bottom};
      if (InZone(tl, zBL, true) && InZone(br, zBR, true))
        return {r.left, r.top + dH, r.right + dW, r.bottom + dH};
      if (InZone(tl, zTL, true) && InZone(br, zBL, true)) return {r.left, r.top, r.right, r.bottom + dH};
      if (InZone(tl, zTR, true) && InZone(br, zBR, true))
        return {r.left + dW, r.top, r.right + dW, r.bottom + dH};
      return r;
    }
    case SkinResizeMode::Horizontal:
      if (r.left <= g.leftTop.x && r.right >= g.rightTop.x) return {r.left, r.top, r.right + dW, r.bottom};
      if (r.left >= g.rightTop.x && r.right > g.rightTop.x) return r.Translated(dW, 0);
      return r;
    case SkinResizeMode::Vertical:
      if (r.top <= g.leftTop.y && r.bottom >= g.leftBottom.y) return {r.left, r.top, r.right, r.bottom + dH};
      if (r.top >= g.leftBottom.y && r.bottom > g.leftBottom.y) return r.Translated(0, dH);
      return r;
    default:
      return r;
  }
}

void TskSkinPanel::DrawSkinImage(TBitmap& bitmap) {
  const int w = Width(), h = Height();
  if (const Bitmap* bg = BackgroundPicture()) {
    // The background picture repeats over the whole panel and nothing else is drawn.
    bitmap.SetSize(w, h);
    Bitmap& dest = bitmap.Image();
    const int pw = bg->Width(), ph = bg->Height();
    for (int i = 0; i <= w / pw; ++i)
      for (int j = 0; j <= h / ph; ++j)
        CopySkinRect(dest, Rect::FromSize(i * pw, j * ph, pw, ph), *bg, bg->Bounds());
    bitmap.Modified();
    return;
  }
  if (BorderlessSkinLook()) {
    TskSkinCustomControl::DrawDefaultImage(bitmap);
    if (m_element.picture) {
      TileArea(bitmap.Image(), m_element.parts.clientRect, {w, h}, m_element.skinRect,
               *m_element.picture, w, h);
      bitmap.Modified();
    }
    return;
  }
  TskSkinCustomControl::DrawSkinImage(bitmap);
  if (!Caption().empty() && !m_fields.captionRect.IsEmpty())
    DrawSkinCaption(bitmap.Canvas(), CaptionRectAtSize());
}

void TskSkinPanel::DrawCaptionContent(TCanvas& canvas, Rect working, int x, Color textColor) {
  const std::string text = Caption();
  const int th = canvas.TextHeight(text);
  const int y = working.top + working.Height() / 2 - th / 2;
  int textX = x;
  int cell = 0;
  if (!m_glyph->Empty()) {
    cell = m_glyph->Width() / m_numGlyphs;
    textX = x + cell + m_spacing;
  }
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  canvas.Font().SetColor(textColor);
  canvas.TextRect(working, textX, y, text);
  if (!m_glyph->Empty()) {
    const int gy = working.top + working.Height() / 2 - m_glyph->Height() / 2;
    const int glyphCell = (!Enabled() && m_numGlyphs == 2) ? 2 : 1;
    DrawGlyphFromStrip(*canvas.Handle(), x, gy, glyphCell, m_numGlyphs, m_glyph->Image());
  }
}

void TskSkinPanel::DrawSkinCaption(TCanvas& canvas, const Rect& captionRect) {
  Rect working = captionRect;
  if (m_rollUpMode) working.right -= 12;
  if (m_checkedMode) {
    const Rect image = m_checked ? m_fields.checkImageRect : m_fields.uncheckImageRect;
    if (m_element.picture)
      DrawTransparentPart(canvas, working.left,
                          working.top + working.Height() / 2 - image.Height() / 2,
                          *m_element.picture, image);
    working.left += image.Width() + 2;
  }
  MakeSkinCaptionFont(canvas.Font(), DefaultFont(), &m_fields.font, UseSkinFont(),
                      m_fields.font.FontColor, SkinData());
  const std::string text = Caption();
  int content = canvas.TextWidth(text);
  if (!m_glyph->Empty()) content += m_glyph->Width() / m_numGlyphs + m_spacing;
  int x = working.left;
  switch (m_fields.alignment) {
    case SkinAlignment::RightJustify: x = working.right - content; break;
    case SkinAlignment::Center: x = working.left + working.Width() / 2 - content / 2; break;
    case SkinAlignment::LeftJustify: break;
  }
  if (m_rollUpMode)
    DrawMarkerArrow(*canvas.Handle(), Rect(working.right, working.top, working.right + 10, working.bottom),
                    m_fields.font.FontColor, m_rollUpState ? skArrowDown : skArrowUp);
  DrawCaptionContent(canvas, working, x, m_fields.font.FontColor);
}

void TskSkinPanel::DrawDefaultImage(TBitmap& bitmap) {
  TskSkinCustomControl::DrawDefaultImage(bitmap);
  TCanvas& c = bitmap.Canvas();
  const int w = Width(), h = Height();
  Rect inner(0, 0, w, h);
  switch (m_borderStyle) {
    case TskSkinBorderStyle::bvFrame:
      c.Brush().SetColor(clBtnShadow);
      c.FrameRect(inner);
      inner.Inflate(-1, -1);
      break;
    case TskSkinBorderStyle::bvRaised: Frame3D(c, inner, clBtnHighlight, clBtnShadow, 1); break;
    case TskSkinBorderStyle::bvLowered: Frame3D(c, inner, clBtnShadow, clBtnHighlight, 1); break;
    case TskSkinBorderStyle::bvNone: break;
  }
  if (m_captionMode) DrawDefaultCaption(c, inner);
}

void TskSkinPanel::DrawDefaultCaption(TCanvas& c, const Rect&) {
  const int w = Width();
  Rect bar;
  if (m_borderStyle == TskSkinBorderStyle::bvFrame) {
    bar = Rect(0, 0, w, m_defaultCaptionHeight);
    c.Brush().SetColor(clBtnShadow);
    c.FrameRect(bar);
    bar.Inflate(-1, -1);
    Frame3D(c, bar, clBtnHighlight, clBtnFace, 1);
  } else {
    bar = Rect(1, 1, w - 1, m_defaultCaptionHeight);
    Frame3D(c, bar, clBtnShadow, clBtnHighlight, 1);
    Frame3D(c, bar, clBtnHighlight, clBtnShadow, 1);
  }
  Rect working = bar;
  const int centre = working.top + working.Height() / 2;
  if (m_checkedMode) {
    const Rect box = Rect::FromSize(5, centre - 7, 14, 14);
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(clBtnShadow);
    c.FrameRect(box);
    if (m_checked) DrawCheckMark(*c.Handle(), box.left + 3, box.top + 2, clBtnText);
    working.left += 20;
  }
  if (m_rollUpMode) {
    working.right -= 10;
    DrawMarkerArrow(*c.Handle(), Rect(working.right, working.top, working.right + 10, working.bottom),
                    clBtnText, m_rollUpState ? skArrowDown : skArrowUp);
  }
  c.Font().Assign(&DefaultFont());
  c.Font().SetCharset(SkinCharset(SkinData(), DefaultFont().Charset()));
  const std::string text = Caption();
  int content = c.TextWidth(text);
  if (!m_glyph->Empty()) content += m_glyph->Width() / m_numGlyphs + m_spacing;
  int x = working.left + 2;
  switch (m_defaultAlignment) {
    case TAlignment::taRightJustify: x = working.right - content; break;
    case TAlignment::taCenter: x = working.left + 2 + working.Width() / 2 - content / 2; break;
    case TAlignment::taLeftJustify: break;
  }
  DrawCaptionContent(c, working, x, clBtnText);
}

Rect TskSkinPanel::AdjustClientRect() const {
  Rect r = ClientRect();
  if (SkinIndex() == -1 || Designing()) {
    if (m_borderStyle != TskSkinBorderStyle::bvNone) r.Inflate(-1, -1);
    if (m_captionMode) r.top += m_defaultCaptionHeight;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
  }
  if (BackgroundPicture() || BorderlessSkinLook()) return r;
  return m_element.sized.clientRect;
}

Rect TskSkinPanel::CaptionHitRect() const {
  if (SkinIndex() != -1) return CaptionRectAtSize();
  return Rect(1, 1, Width() - 1, m_defaultCaptionHeight);
}

void TskSkinPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  if (button == TMouseButton::mbLeft && m_captionMode && (m_rollUpMode || m_checkedMode) &&
      CaptionHitRect().Contains({x, y})) {
    if (m_checkedMode) SetChecked(!m_checked);
    if (!*alive) return;
    if (m_rollUpMode) SetRollUpState(!m_rollUpState);
    if (!*alive) return;
  }
  TskSkinCustomControl::MouseUp(button, shift, x, y);
}

void TskSkinPanel::ApplySkin() {
  TskSkinCustomControl::ApplySkin();
  if (m_realHeight != -1) {
    // Rolled up: only the new skin's border bands stay; the saved height is kept.
    ReadSkinRecord();
    SetHeight(RolledHeight());
  } else {
    Realign();
  }
}

void TskSkinPanel::SetBounds(int left, int top, int width, int height) {
  TskSkinCustomControl::SetBounds(left, top, width, height);
  if (SkinIndex() == -1) Invalidate();
}

void TskSkinPanel::EnabledChanged() {
  TskSkinCustomControl::EnabledChanged();
  Invalidate();
}

void TskSkinPanel::TextChanged() {
  TskSkinCustomControl::TextChanged();
  if (m_captionMode) Invalidate();
}

void TskSkinPanel::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGKEY) {
    // Enter and Escape reach buttons however deep they sit in nested panels.
    for (int i = 0; i < ControlCount(); ++i)
      if (Controls(i)->Perform(CM_DIALOGKEY, m.WParam, m.LParam)) {
        m.Result = 1;
        return;
      }
    m.Result = 0;
    return;
  }
  TskSkinCustomControl::WndProc(m);
}

bool TskSkinPanel::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "BorderStyle")) SetBorderStyle(ReadSkinBorderStyle(v));
  else if (SameText(name, "CaptionMode")) SetCaptionMode(v.AsBool());
  else if (SameText(name, "DefaultCaptionHeight")) SetDefaultCaptionHeight(v.AsInt());
  else if (SameText(name, "DefaultAlignment")) SetDefaultAlignment(ReadAlignment(v));
  else if (SameText(name, "CheckedMode")) SetCheckedMode(v.AsBool());
  else if (SameText(name, "Checked")) SetChecked(v.AsBool());
  else if (SameText(name, "AutoEnabledControls")) SetAutoEnabledControls(v.AsBool());
  else if (SameText(name, "RollUpMode")) SetRollUpMode(v.AsBool());
  else if (SameText(name, "RollUpState")) SetRollUpState(v.AsBool());
  else if (SameText(name, "RealHeight")) SetRealHeight(v.AsInt());
  else if (SameText(name, "NumGlyphs")) SetNumGlyphs(v.AsInt());
  else if (SameText(name, "Spacing")) SetSpacing(v.AsInt());
  else if (SameText(name, "OnChecked")) OnChecked = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnChangeRollUpState")) OnChangeRollUpState = reader.ReadHandler<TNotifyEvent>(v);
  else return TskSkinCustomControl::ReadProperty(name, v, reader);
  return true;
}

TPersistent* TskSkinPanel::PropertyObject(std::string_view name) {
  if (SameText(name, "Glyph")) return m_glyph.get();
  return TskSkinCustomControl::PropertyObject(name);
}

// ---- TskSkinToolBar

namespace {

// Hit-test codes of the arrows, beyond the platform's own.
constexpr LRESULT kHitLeftArrow = 40;
constexpr LRESULT kHitRightArrow = 41;
constexpr int kArrowWidth = ToolBarScroller::ArrowWidth;

ToolScrollDir DirOfHit(WPARAM hit) {
  if (hit == static_cast<WPARAM>(kHitLeftArrow)) return ToolScrollDir::Left;
  if (hit == static_cast<WPARAM>(kHitRightArrow)) return ToolScrollDir::Right;
  return ToolScrollDir::None;
}

Point ScreenToWindowPoint(HWND hwnd, Point screen) {
  Rect window;
  GetWindowRect(hwnd, &window);
  return {screen.x - window.left, screen.y - window.top};
}

// The largest right edge of the visible children, where they sit now.
int ToolBarContentRight(const TWinControl& bar) {
  int right = 0;
  for (int i = 0; i < bar.ControlCount(); ++i) {
    const TControl* c = bar.Controls(i);
    if (c->Visible()) right = std::max(right, c->Left() + c->Width());
  }
  return right;
}

}  // namespace

TskSkinToolBar::TskSkinToolBar(TComponent* owner) : TskSkinPanel(owner) {
  m_arrowLink.SetName("resizebutton");
  SetSkinDataName("toolpanel");
  SetBorderStyle(TskSkinBorderStyle::bvNone);
  SetHeight(25);
}

TskSkinToolBar::~TskSkinToolBar() {
  if (m_scroller.TimerDir() != ToolScrollDir::None && HandleAllocated()) KillTimer(Handle(), ScrollTimerId);
}

void TskSkinToolBar::SetCanScroll(bool on) {
  if (on == m_canScroll) return;
  m_canScroll = on;
  UpdateScroll();
}

void TskSkinToolBar::SetHotScroll(bool on) {
  if (on == m_hotScroll) return;
  m_hotScroll = on;
  if (!on && m_scroller.Pressed() == ToolScrollDir::None) StopScrollTimer();
  if (m_scroller.ArrowsShown()) PaintArrows();
}

bool TskSkinToolBar::CheckScroll() {
  if (m_checking || m_moving || HasState(csLoading) || HasState(csDestroying)) return false;
  m_checking = true;
  const bool wasTiming = m_scroller.TimerDir() != ToolScrollDir::None;
  const ToolBarScroller::Layout layout =
      m_scroller.Measure(m_canScroll && !Designing(), ToolBarContentRight(*this), Width());
  m_checking = false;
  if (wasTiming && m_scroller.TimerDir() == ToolScrollDir::None && HandleAllocated())
    KillTimer(Handle(), ScrollTimerId);
  if (layout.shift != 0) MoveChildren(layout.shift);
  if (layout.arrowsChanged) {
    if (!m_scroller.ArrowsShown() && HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    FrameChanged();
  }
  return layout.arrowsChanged;
}

void TskSkinToolBar::UpdateScroll() {
  if (CheckScroll()) Realign();
}

void TskSkinToolBar::MoveChildren(int shift) {
  m_moving = true;
  try {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      c->SetBounds(c->Left() + shift, c->Top(), c->Width(), c->Height());
    }
  } catch (...) {
    m_moving = false;
    throw;
  }
  m_moving = false;
  Invalidate();
}

void TskSkinToolBar::ScrollStep(ToolScrollDir dir) {
  const int shift = m_scroller.Step(dir, m_scrollOffset);
  if (shift != 0) MoveChildren(shift);
  // At either end the repetition has nothing more to do.
  else if (m_scroller.TimerDir() != ToolScrollDir::None) StopScrollTimer();
}

void TskSkinToolBar::StartScrollTimer(ToolScrollDir dir) {
  if (!HandleAllocated() || dir == ToolScrollDir::None) return;
  m_scroller.SetTimerDir(dir);
  SetTimer(Handle(), ScrollTimerId, static_cast<UINT>(m_scrollTimerInterval), nullptr);
}

void TskSkinToolBar::StopScrollTimer() {
  if (m_scroller.TimerDir() == ToolScrollDir::None) return;
  m_scroller.SetTimerDir(ToolScrollDir::None);
  if (HandleAllocated()) KillTimer(Handle(), ScrollTimerId);
}

void TskSkinToolBar::SetArrowHot(ToolScrollDir dir) {
  if (dir == m_scroller.Hot()) return;
  m_scroller.SetHot(dir);
  PaintArrows();
}

void TskSkinToolBar::EndArrowPress() {
  m_scroller.SetPressed(ToolScrollDir::None);
  StopScrollTimer();
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  PaintArrows();
}

void TskSkinToolBar::FrameChanged() {
  if (!HandleAllocated()) return;
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

Bitmap TskSkinToolBar::ArrowImage(ToolScrollDir dir) {
  const int h = std::max(0, Height());
  Bitmap image(kArrowWidth, h, ColorToPixel(ColorToRGB(clBtnFace)));
  const bool hot = m_scroller.Hot() == dir;
  // The pressed look: held down while over it, or hovering where hovering scrolls.
  const bool pressed = (hot && m_scroller.Pressed() == dir) || (hot && m_hotScroll);
  const int kind = dir == ToolScrollDir::Left ? skArrowLeft : skArrowRight;
  TskSkinData* data = SkinData();
  if (m_arrowLink.Data() != data) m_arrowLink.SetData(data);
  m_arrowLink.Lookup();
  const TskDataSkinControl* record = m_arrowLink.Record();
  DC dc(image);
  if (record && data) {
    const SkinButtonFields f = ReadSkinButtonFields(*record);
    SkinElement element;
    element.Read(*data, *record);
    Rect source = f.skinRect;
    Color color = f.font.FontColor;
    if (pressed && !f.downSkinRect.IsEmpty()) {
      source = f.downSkinRect;
      color = f.downFontColor;
    } else if (hot && !f.activeSkinRect.IsEmpty()) {
      source = f.activeSkinRect;
      color = f.activeFontColor;
    }
    if (element.picture && !source.IsEmpty()) {
      const SizedNinePart sized = DeriveNinePart(SkinResizeMode::Both, element.skinRect, element.parts, kArrowWidth, h);
      BuildNinePartImage(image, element.parts, sized.parts, source, *element.picture, kArrowWidth, h, true);
    }
    DrawMarkerArrow(dc, Rect(0, 0, kArrowWidth, h), color, kind);
    return image;
  }
  const auto [frame, fill] = DefaultFace(pressed, hot);
  const Rect r(0, 0, kArrowWidth, h);
  dc.FillRect(r, ColorToRGB(fill));
  dc.FrameRect(r, ColorToRGB(frame));
  DrawMarkerArrow(dc, r, clBtnText, kind);
  return image;
}

void TskSkinToolBar::PaintArrows() {
  if (!m_scroller.ArrowsShown() || !HandleAllocated()) return;
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  {
    DCState state(*dc);
    Rect client;
    GetClientRect(Handle(), &client);
    dc->ExcludeClipRect(client.Translated(kArrowWidth, 0));
    for (ToolScrollDir dir : {ToolScrollDir::Left, ToolScrollDir::Right}) {
      Bitmap image = ArrowImage(dir);
      DC source(image);
      const Rect at = ToolBarScroller::ArrowRect(dir, {Width(), Height()});
      dc->BitBlt(at.left, at.top, image.Width(), image.Height(), source, 0, 0, SRCCOPY);
    }
  }
  ReleaseDC(Handle(), dc);
}

void TskSkinToolBar::DrawSkinImage(TBitmap& bitmap) {
  if (m_scroller.ArrowsShown() && m_element.mode == SkinResizeMode::Horizontal && m_element.picture &&
      !BackgroundPicture()) {
    // The arrows sit on the ends: the middle is repeated over the whole width.
    const Rect& R = m_element.skinRect;
    bitmap.SetSize(Width(), Height());
    BuildHTileImage(bitmap.Image(), m_element.parts.leftTop.x, R.Width() - m_element.parts.rightTop.x, R,
                    *m_element.picture, Width());
    bitmap.Modified();
    return;
  }
  TskSkinPanel::DrawSkinImage(bitmap);
}

void TskSkinToolBar::Paint() {
  if (!m_scroller.ArrowsShown()) {
    TskSkinPanel::Paint();
    return;
  }
  if (Width() <= 0 || Height() <= 0) return;
  // The image spans the whole bar; the client area shows the part between the arrows.
  TBitmap buffer;
  RenderTo(buffer);
  Canvas().Draw(-kArrowWidth, 0, &buffer);
}

Rect TskSkinToolBar::ClientRect() const {
  if (HandleAllocated() || !m_scroller.ArrowsShown()) return TskSkinPanel::ClientRect();
  return {0, 0, m_scroller.ClientWidth(Width()), Height()};
}

Point TskSkinToolBar::ClientOrigin() const {
  Point p = TskSkinPanel::ClientOrigin();
  if (!HandleAllocated() && m_scroller.ArrowsShown()) p.x += kArrowWidth;
  return p;
}

Rect TskSkinToolBar::AdjustClientRect() const {
  Rect r = TskSkinPanel::AdjustClientRect();
  // The skin's client part is in bar coordinates; the client area starts after the arrow.
  if (m_scroller.ArrowsShown() && SkinIndex() != -1 && !Designing() && !BackgroundPicture() &&
      !BorderlessSkinLook()) {
    r.Translate(-kArrowWidth, 0);
    r = r.Intersected(ClientRect());
  }
  return r;
}

void TskSkinToolBar::AlignControls(Rect& rect) {
  m_aligning = true;
  try {
    TskSkinPanel::AlignControls(rect);
    if (CheckScroll()) {
      // The arrows came or went: aligned children take the new client area.
      Rect again = AdjustClientRect();
      TskSkinPanel::AlignControls(again);
    }
  } catch (...) {
    m_aligning = false;
    throw;
  }
  m_aligning = false;
}

void TskSkinToolBar::ChildLayoutChanged(TControl* child) {
  TskSkinPanel::ChildLayoutChanged(child);
  if (!m_aligning) UpdateScroll();
}

void TskSkinToolBar::SetBounds(int left, int top, int width, int height) {
  if (width > Width()) m_scroller.Grew(width - Width());
  TskSkinPanel::SetBounds(left, top, width, height);
}

void TskSkinToolBar::CreateWindowHandleDone() {
  TskSkinPanel::CreateWindowHandleDone();
  // The window was made with the non-client area of the state known before.
  if (m_scroller.ArrowsShown()) FrameChanged();
}

void TskSkinToolBar::Loaded() {
  TskSkinPanel::Loaded();
  UpdateScroll();
}

bool TskSkinToolBar::HandleScrollMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_NCCALCSIZE: {
      TskSkinPanel::WndProc(m);
      if (!m_scroller.ArrowsShown()) return true;
      Rect* r = nullptr;
      if (m.WParam) {
        if (auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)) r = &params->rgrc[0];
      } else {
        r = reinterpret_cast<Rect*>(m.LParam);
      }
      if (r) {
        r->left += kArrowWidth;
        r->right = std::max(r->left, r->right - kArrowWidth);
      }
      return true;
    }
    case WM_NCHITTEST: {
      const ToolScrollDir dir =
          m_scroller.ArrowAt(ScreenToWindowPoint(Handle(), LParamToPoint(m.LParam)), {Width(), Height()});
      if (dir == ToolScrollDir::None) return false;
      m.Result = dir == ToolScrollDir::Left ? kHitLeftArrow : kHitRightArrow;
      return true;
    }
    case WM_NCPAINT:
      if (!m_scroller.ArrowsShown()) return false;
      PaintArrows();
      m.Result = 0;
      return true;
    case WM_SETCURSOR: {
      const auto hit = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(m.LParam)));
      if (DirOfHit(static_cast<WPARAM>(hit)) == ToolScrollDir::None) return false;
      ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
      m.Result = TRUE;
      return true;
    }
    case WM_NCMOUSEMOVE: {
      const ToolScrollDir dir = DirOfHit(m.WParam);
      if (dir == ToolScrollDir::None || !Enabled()) return false;
      TRACKMOUSEEVENT tme;
      tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
      tme.hwndTrack = Handle();
      TrackMouseEvent(&tme);
      if (m_scroller.Pressed() != ToolScrollDir::None) return true;
      SetArrowHot(dir);
      if (m_hotScroll && m_scroller.TimerDir() != dir) StartScrollTimer(dir);
      return true;
    }
    case WM_NCMOUSELEAVE:
      if (m_scroller.Pressed() != ToolScrollDir::None) return true;
      if (m_hotScroll) StopScrollTimer();
      SetArrowHot(ToolScrollDir::None);
      return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      const ToolScrollDir dir = DirOfHit(m.WParam);
      if (dir == ToolScrollDir::None) return false;
      if (!Enabled()) return true;
      m_scroller.SetPressed(dir);
      m_scroller.SetHot(dir);
      SetCapture(Handle());
      StartScrollTimer(dir);
      PaintArrows();
      return true;
    }
    case WM_MOUSEMOVE: {
      const ToolScrollDir pressed = m_scroller.Pressed();
      if (pressed != ToolScrollDir::None) {
        // Held: the arrow is hot while the pointer stays on it.
        const Point p = ScreenToWindowPoint(Handle(), ClientToScreen(LParamToPoint(m.LParam)));
        SetArrowHot(m_scroller.ArrowAt(p, {Width(), Height()}) == pressed ? pressed : ToolScrollDir::None);
        return true;
      }
      if (m_scroller.Hot() != ToolScrollDir::None) {
        // Back in the client area: hovering scrolls no more.
        if (m_hotScroll) StopScrollTimer();
        SetArrowHot(ToolScrollDir::None);
      }
      return false;
    }
    case WM_LBUTTONUP: {
      const ToolScrollDir pressed = m_scroller.Pressed();
      if (pressed == ToolScrollDir::None) return false;
      const Point p = ScreenToWindowPoint(Handle(), ClientToScreen(LParamToPoint(m.LParam)));
      EndArrowPress();
      ScrollStep(pressed);
      SetArrowHot(m_scroller.ArrowAt(p, {Width(), Height()}));
      if (m_hotScroll && m_scroller.Hot() != ToolScrollDir::None) StartScrollTimer(m_scroller.Hot());
      return true;
    }
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      if (m_scroller.Pressed() != ToolScrollDir::None) EndArrowPress();
      return false;
    case WM_TIMER:
      if (m.WParam != ScrollTimerId) return false;
      if (m_scroller.TimerDir() == ToolScrollDir::None) KillTimer(Handle(), ScrollTimerId);
      else ScrollStep(m_scroller.TimerDir());
      m.Result = 0;
      return true;
    default:
      return false;
  }
}

void TskSkinToolBar::WndProc(TMessage& m) {
  if (HandleScrollMessage(m)) return;
  TskSkinPanel::WndProc(m);
}

void TskSkinToolBar::ForEachSpeedButton(const std::function<void(TskSkinSpeedButton&)>& fn) {
  std::vector<TskSkinSpeedButton*> buttons;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* b = dynamic_cast<TskSkinSpeedButton*>(Controls(i))) buttons.push_back(b);
  for (TskSkinSpeedButton* b : buttons) fn(*b);
}

void TskSkinToolBar::SetShowCaptions(bool on) {
  if (on == m_showCaptions) return;
  m_showCaptions = on;
  if (m_autoShowHideCaptions) ForEachSpeedButton([on](TskSkinSpeedButton& b) { b.SetShowCaption(on); });
  if (m_widthWithCaptions != 0 && m_widthWithoutCaptions != 0)
    SetWidth(on ? m_widthWithCaptions : m_widthWithoutCaptions);
}

void TskSkinToolBar::SetFlat(bool on) {
  m_flat = on;
  ForEachSpeedButton([on](TskSkinSpeedButton& b) { b.SetFlat(on); });
}

void TskSkinToolBar::LinkImages(TImageList*& slot, TImageList* images) {
  if (slot && slot != images) slot->RemoveFreeNotification(this);
  slot = images;
  if (images) images->FreeNotification(this);
}

void TskSkinToolBar::SetImages(TImageList* images) {
  LinkImages(m_images, images);
  ForEachSpeedButton([](TskSkinSpeedButton& b) { b.Invalidate(); });
}

void TskSkinToolBar::SetHotImages(TImageList* images) { LinkImages(m_hotImages, images); }
void TskSkinToolBar::SetDisabledImages(TImageList* images) { LinkImages(m_disabledImages, images); }

void TskSkinToolBar::Notification(TComponent* component, TOperation operation) {
  TskSkinPanel::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  m_arrowLink.Removed(component);
  if (component == m_images) m_images = nullptr;
  if (component == m_hotImages) m_hotImages = nullptr;
  if (component == m_disabledImages) m_disabledImages = nullptr;
}

void TskSkinToolBar::SetSkinData(TskSkinData* data) {
  m_arrowLink.SetData(data);
  TskSkinPanel::SetSkinData(data);
  ForEachSpeedButton([data](TskSkinSpeedButton& b) { b.SetSkinData(data); });
}

void TskSkinToolBar::SetSkinDataName(std::string_view name) {
  TskSkinPanel::SetSkinDataName(name);
  if (!Designing()) return;
  const char* buttons = name == "panel" ? "resizebutton" : name == "bigtoolpanel" ? "bigtoolbutton" : "toolbutton";
  ForEachSpeedButton([buttons](TskSkinSpeedButton& b) { b.SetSkinDataName(buttons); });
}

bool TskSkinToolBar::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "CanScroll")) SetCanScroll(v.AsBool());
  else if (SameText(name, "HotScroll")) SetHotScroll(v.AsBool());
  else if (SameText(name, "ScrollOffset")) SetScrollOffset(v.AsInt());
  else if (SameText(name, "ScrollTimerInterval")) SetScrollTimerInterval(v.AsInt());
  else if (SameText(name, "WidthWithCaptions")) SetWidthWithCaptions(v.AsInt());
  else if (SameText(name, "WidthWithoutCaptions")) SetWidthWithoutCaptions(v.AsInt());
  else if (SameText(name, "AutoShowHideCaptions")) SetAutoShowHideCaptions(v.AsBool());
  else if (SameText(name, "ShowCaptions")) SetShowCaptions(v.AsBool());
  else if (SameText(name, "Flat")) SetFlat(v.AsBool());
  else if (SameText(name, "Images"))
    reader.ReadLink<TImageList>(v, [this](TImageList* l) { SetImages(l); });
  else if (SameText(name, "HotImages"))
    reader.ReadLink<TImageList>(v, [this](TImageList* l) { SetHotImages(l); });
  else if (SameText(name, "DisabledImages"))
    reader.ReadLink<TImageList>(v, [this](TImageList* l) { SetDisabledImages(l); });
  else return TskSkinPanel::ReadProperty(name, v, reader);
  return true;
}
