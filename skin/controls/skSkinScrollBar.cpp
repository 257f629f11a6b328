// TskSkinScrollBar: geometry, default and skinned looks, mouse, repeat timer, keys and wheel.
#include "skin/controls/skSkinScrollBar.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/gfx/DC.h"
#include "platform/win/WinApi.h"
#include "toolkit/Reader.h"

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr int kDefaultButton = 17;  // the default look's buttons end 17 pixels in
constexpr int kDefaultThumb = 16;

int Saturate(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

// Nearest integer, halves to even (the default rounding mode); 0 for what is no number.
long long RoundEven(double v) {
  if (std::isnan(v)) return 0;
  return std::llrint(std::clamp(v, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

Rect MakeRect(long long l, long long t, long long r, long long b) {
  return {Saturate(l), Saturate(t), Saturate(r), Saturate(b)};
}

// Cut to `bounds`, keeping a cut-away rectangle at the bounds' edge with no negative size.
Rect ClipTo(const Rect& r, const Rect& bounds) {
  Rect c{std::clamp(r.left, bounds.left, bounds.right), std::clamp(r.top, bounds.top, bounds.bottom),
         std::clamp(r.right, bounds.left, bounds.right), std::clamp(r.bottom, bounds.top, bounds.bottom)};
  c.right = std::max(c.left, c.right);
  c.bottom = std::max(c.top, c.bottom);
  return c;
}

Rect MovedAlong(const Rect& r, bool horizontal, long long by) {
  return horizontal ? MakeRect(r.left + by, r.top, r.right + by, r.bottom)
                    : MakeRect(r.left, r.top + by, r.right, r.bottom + by);
}

void DrawPartFace(TCanvas& c, const Rect& r, bool pressed, bool hot) {
  if (r.IsEmpty()) return;
  const auto [frame, fill] = DefaultFace(pressed, hot);
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  c.Brush().SetColor(fill);
  c.FillRect(r);
  c.Brush().SetColor(frame);
  c.FrameRect(r);
}

}  // namespace

SkinScrollBarFields ReadSkinScrollBarFields(const TskDataSkinScrollBarControl& r) {
  SkinScrollBarFields f;
  f.trackArea = r.TrackArea;
  f.upButton = r.UpButtonRect;
  f.activeUpButton = r.ActiveUpButtonRect;
  f.downUpButton = r.DownUpButtonRect.IsEmpty() ? f.activeUpButton : r.DownUpButtonRect;
  f.downButton = r.DownButtonRect;
  f.activeDownButton = r.ActiveDownButtonRect;
  f.downDownButton = r.DownDownButtonRect.IsEmpty() ? f.activeDownButton : r.DownDownButtonRect;
  f.thumb = r.ThumbRect;
  f.activeThumb = r.ActiveThumbRect.IsEmpty() ? f.thumb : r.ActiveThumbRect;
  f.downThumb = r.DownThumbRect.IsEmpty() ? f.activeThumb : r.DownThumbRect;
  f.thumbOffset1 = r.ThumbOffset1;
  f.thumbOffset2 = r.ThumbOffset2;
  f.thumbTransparent = r.ThumbTransparent;
  f.thumbTransparentColor = r.ThumbTransparentColor;
  f.glyph = r.GlyphRect;
  f.activeGlyph = r.ActiveGlyphRect.IsEmpty() ? f.glyph : r.ActiveGlyphRect;
  f.downGlyph = r.DownGlyphRect.IsEmpty() ? f.activeGlyph : r.DownGlyphRect;
  return f;
}

ScrollBarLayout LayoutScrollBar(const ScrollBarLayoutInput& in) {
  const bool horz = in.kind == TScrollBarKind::sbHorizontal;
  const long long w = std::max(0, in.width), h = std::max(0, in.height);
  const Rect bounds(0, 0, static_cast<int>(w), static_cast<int>(h));
  ScrollBarLayout g;
  long long minLength = kDefaultThumb;
  long long thickness = -1;  // across the whole track
  if (!in.skin) {
    if (horz) {
      const long long l = in.both ? w - in.bothMarkerWidth : w;
      g.downButton = MakeRect(1, 1, kDefaultButton, h - 1);
      g.upButton = MakeRect(l - kDefaultButton, 1, l - 1, h - 1);
      g.track = MakeRect(kDefaultButton, 1, l - kDefaultButton, h - 1);
    } else {
      g.downButton = MakeRect(1, 1, w - 1, kDefaultButton);
      g.upButton = MakeRect(1, h - kDefaultButton, w - 1, h - 1);
      g.track = MakeRect(1, kDefaultButton, w - 1, h - kDefaultButton);
    }
  } else {
    const SkinScrollBarFields& f = *in.skin;
    const long long growth = horz ? w - in.skinRect.Width() : h - in.skinRect.Height();
    g.track = f.trackArea;
    if (horz) g.track.right = Saturate(g.track.right + growth);
    else g.track.bottom = Saturate(g.track.bottom + growth);
    // A button in the fixed far part of the image moves with it.
    const int fixedFrom = horz ? in.rightTop.x : in.leftBottom.y;
    auto place = [&](const Rect& r) {
      return (horz ? r.left : r.top) >= fixedFrom ? MovedAlong(r, horz, growth) : r;
    };
    g.upButton = place(f.upButton);
    g.downButton = place(f.downButton);
    minLength = std::max(0, horz ? f.thumb.Width() : f.thumb.Height());
    thickness = std::max(0, horz ? f.thumb.Height() : f.thumb.Width());
  }
  // Parts beyond the control would only be clipped away; cutting them keeps every size
  // the layout hands out within the control's own.
  g.track = ClipTo(g.track, bounds);
  g.upButton = ClipTo(g.upButton, bounds);
  g.downButton = ClipTo(g.downButton, bounds);

  const long long trackStart = horz ? g.track.left : g.track.top;
  const long long trackLength = horz ? g.track.Width() : g.track.Height();
  long long length = minLength;
  if (in.pageSize > 0) {
    const long long range = static_cast<long long>(in.max) - in.min + 1;
    if (range > 0)
      length = std::max(minLength, RoundEven(static_cast<double>(trackLength) * in.pageSize / range));
  }
  if (length > trackLength && minLength <= trackLength) length = trackLength;
  const bool fits = length <= trackLength;
  const long long half = fits ? length / 2 : 0;

  double k = 0;
  if (in.pageSize > 0) {
    const long long divisor = static_cast<long long>(in.max) - in.pageSize - in.min + 1;
    k = divisor > 0 ? static_cast<double>(static_cast<long long>(in.position) - in.min) / divisor
                    : (horz ? 1 : 0);
  } else {
    const long long span = static_cast<long long>(in.max) - in.min;
    k = span != 0 ? static_cast<double>(static_cast<long long>(in.position) - in.min) / span : 0;
  }
  k = std::clamp(k, 0.0, 1.0);
  const long long r = RoundEven(k * static_cast<double>(trackLength - 2 * half));
  g.thumbOffset = static_cast<int>(r);
  g.rangeStart = Saturate(trackStart + half);
  g.rangeEnd = Saturate(trackStart + trackLength - half);

  const long long along0 = trackStart + r, along1 = along0 + 2 * half;
  long long across0 = horz ? g.track.top : g.track.left;
  long long across1 = horz ? g.track.bottom : g.track.right;
  if (thickness >= 0) {
    across0 += (across1 - across0 - thickness) / 2;
    across1 = across0 + thickness;
  }
  g.thumb = horz ? MakeRect(along0, across0, along1, across1) : MakeRect(across0, along0, across1, along1);
  g.thumb = ClipTo(g.thumb, bounds);
  return g;
}

// ---- TskSkinScrollBar

TskSkinScrollBar::TskSkinScrollBar(TComponent* owner) : TskSkinCustomControl(owner) {
  m_controlStyle |= csOpaque;
  SetSkinDataName("hscrollbar");
  SetBounds(0, 0, 200, 19);
  SetDefaultHeight(19);
}

TskSkinScrollBar::~TskSkinScrollBar() = default;

int TskSkinScrollBar::ClampPosition(long long v) const {
  const long long upper = m_pageSize != 0 ? static_cast<long long>(m_max) - m_pageSize + 1 : m_max;
  return Saturate(std::max<long long>(std::min(v, upper), m_min));
}

void TskSkinScrollBar::SetPosition(int v) {
  const int p = ClampPosition(v);
  if (p == m_position) return;
  m_position = p;
  Invalidate();
  Fire(OnChange, this);
}

void TskSkinScrollBar::SetMin(int v) {
  m_min = v;
  if (m_position < v) m_position = v;
  Invalidate();
}

void TskSkinScrollBar::SetMax(int v) {
  m_max = v;
  if (m_pageSize != 0) {
    if (static_cast<long long>(v) - m_min < static_cast<long long>(m_pageSize) + m_position)
      m_position = Saturate(static_cast<long long>(v) - m_min - m_pageSize + 1);
  } else {
    m_position = std::min(m_position, v);
  }
  // Below a minimum above the maximum the minimum wins, as the position setter has it.
  m_position = std::max(m_position, m_min);
  Invalidate();
}

void TskSkinScrollBar::SetPageSize(int v) {
  // A negative page would move the position's limit beyond Max.
  if (v >= 0 && static_cast<long long>(m_max) - m_min + 1 >= static_cast<long long>(v) + m_position)
    m_pageSize = v;
  Invalidate();
}

void TskSkinScrollBar::SetRange(int min, int max, int pageSize, int position) {
  m_min = min;
  m_max = max;
  m_pageSize = std::max(0, pageSize);
  m_position = ClampPosition(position);
  Invalidate();
}

void TskSkinScrollBar::SetKind(TScrollBarKind kind) {
  if (kind == m_kind) return;
  m_kind = kind;
  if (Designing()) {
    // The bar stays long in its own direction.
    SetSkinDataName(kind == TScrollBarKind::sbVertical ? "vscrollbar" : "hscrollbar");
    const int w = Width(), h = Height();
    const int dw = DefaultWidth(), dh = DefaultHeight();
    SetDefaultWidth(dh);
    SetDefaultHeight(dw);
    SetBounds(Left(), Top(), h, w);
  }
  Invalidate();
}

void TskSkinScrollBar::SetBoth(bool on) {
  if (on == m_both) return;
  m_both = on;
  if (Designing()) {
    Invalidate();
    return;
  }
  if (on) {
    m_savedSkinDataName = SkinDataName();
    SetSkinDataName(m_bothSkinDataName);
  } else {
    SetSkinDataName(m_savedSkinDataName.empty() ? std::string("hscrollbar") : m_savedSkinDataName);
  }
  if (SkinData()) ApplySkin();
  else Invalidate();
}

void TskSkinScrollBar::SetBothMarkerWidth(int w) {
  if (w < 0) return;
  m_bothMarkerWidth = w;
  Invalidate();
}

void TskSkinScrollBar::SetCanFocused(bool on) {
  m_canFocused = on;
  SetTabStop(on);
  Invalidate();
}

// ---- skin

void TskSkinScrollBar::ReadSkinRecord() {
  TskSkinCustomControl::ReadSkinRecord();
  m_skinned = false;
  const auto* record = dynamic_cast<const TskDataSkinScrollBarControl*>(SkinRecord());
  if (!record) return;
  m_fields = ReadSkinScrollBarFields(*record);
  const Bitmap* picture = m_element.picture;
  // A skin rect outside its picture would size the bar to nothing it can show.
  m_skinned = picture && !m_element.skinRect.IsEmpty() &&
              picture->Bounds().Contains(m_element.skinRect) && !m_fields.trackArea.IsEmpty();
  if (!m_skinned) m_element.mask = nullptr;
}

void TskSkinScrollBar::FitSizeToSkin(int& width, int& height) {
  if (!m_skinned) return;
  TskSkinCustomControl::FitSizeToSkin(width, height);
}

void TskSkinScrollBar::BeginSkinChange() {
  TskSkinCustomControl::BeginSkinChange();
  m_skinned = false;
}

ScrollBarLayoutInput TskSkinScrollBar::LayoutInput() const {
  ScrollBarLayoutInput in;
  in.kind = m_kind;
  in.width = Width();
  in.height = Height();
  in.min = m_min;
  in.max = m_max;
  in.position = m_position;
  in.pageSize = m_pageSize;
  in.both = m_both;
  in.bothMarkerWidth = m_bothMarkerWidth;
  if (m_skinned) {
    in.skin = &m_fields;
    in.skinRect = m_element.skinRect;
    in.rightTop = m_element.parts.rightTop;
    in.leftBottom = m_element.parts.leftBottom;
  }
  return in;
}

ScrollBarLayout TskSkinScrollBar::Layout() {
  ReadSkinRecord();
  return LayoutScrollBar(LayoutInput());
}

// ---- drawing

void TskSkinScrollBar::DrawDefaultImage(TBitmap& bitmap) {
  TCanvas& c = bitmap.Canvas();
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  c.Brush().SetColor(clBtnFace);
  c.FillRect(bitmap.Image().Bounds());
  const ScrollBarLayout g = LayoutScrollBar(LayoutInput());
  const bool horz = m_kind == TScrollBarKind::sbHorizontal;
  auto button = [&](TskScrollBarPart part, const Rect& r, int arrow) {
    DrawPartFace(c, r, m_pressed == part && m_hot == part, m_hot == part);
    if (!r.IsEmpty()) DrawMarkerArrow(*c.Handle(), r, clBlack, arrow);
  };
  button(TskScrollBarPart::DownButton, g.downButton, horz ? skArrowLeft : skArrowUp);
  button(TskScrollBarPart::UpButton, g.upButton, horz ? skArrowRight : skArrowDown);
  if (Enabled())
    DrawPartFace(c, g.thumb, m_pressed == TskScrollBarPart::Thumb || (m_canFocused && Focused()),
                 m_hot == TskScrollBarPart::Thumb);
}

void TskSkinScrollBar::DrawSkinImage(TBitmap& bitmap) {
  if (!m_skinned) {
    DrawDefaultImage(bitmap);
    return;
  }
  TskSkinCustomControl::DrawSkinImage(bitmap);
  const ScrollBarLayout g = LayoutScrollBar(LayoutInput());
  Bitmap& image = bitmap.Image();
  // The normal buttons are part of the control image; only hot and pressed ones are drawn.
  auto button = [&](TskScrollBarPart part, const Rect& r, const Rect& active, const Rect& down) {
    if (m_hot != part) return;
    CopySkinRect(image, r, *m_element.picture, m_pressed == part ? down : active);
  };
  button(TskScrollBarPart::UpButton, g.upButton, m_fields.activeUpButton, m_fields.downUpButton);
  button(TskScrollBarPart::DownButton, g.downButton, m_fields.activeDownButton, m_fields.downDownButton);
  if (Enabled() && !g.thumb.IsEmpty()) DrawThumbImage(image, g.thumb);
  bitmap.Modified();
}

void TskSkinScrollBar::DrawThumbImage(Bitmap& dest, const Rect& thumb) const {
  const Bitmap& picture = *m_element.picture;
  const bool horz = m_kind == TScrollBarKind::sbHorizontal;
  const bool down = m_pressed == TskScrollBarPart::Thumb || (m_canFocused && Focused());
  const bool hot = m_hot == TskScrollBarPart::Thumb;
  // State images beyond the picture are read only where they overlap it.
  const Rect source = (down ? m_fields.downThumb : hot ? m_fields.activeThumb : m_fields.thumb)
                          .Intersected(picture.Bounds());
  const Rect glyph = down ? m_fields.downGlyph : hot ? m_fields.activeGlyph : m_fields.glyph;
  if (source.IsEmpty()) return;
  Bitmap img;
  if (m_pageSize != 0) {
    const int length = horz ? thumb.Width() : thumb.Height();
    if (horz) BuildHStripImage(img, m_fields.thumbOffset1, m_fields.thumbOffset2, source, picture, length);
    else BuildVStripImage(img, m_fields.thumbOffset1, m_fields.thumbOffset2, source, picture, length);
  } else {
    img.SetSize(source.Width(), source.Height());
    CopySkinRect(img, img.Bounds(), picture, source);
  }
  if (img.IsEmpty()) return;
  if (!glyph.IsEmpty()) {
    const Rect at = Rect::FromSize((img.Width() - glyph.Width()) / 2, (img.Height() - glyph.Height()) / 2,
                                   glyph.Width(), glyph.Height());
    CopySkinRect(img, at, picture, glyph);
  }
  if (m_fields.thumbTransparent) {
    DC to(dest);
    DC from(img);
    to.TransparentBlt(thumb.left, thumb.top, thumb.Width(), thumb.Height(), from, 0, 0, img.Width(),
                      img.Height(), m_fields.thumbTransparentColor);
  } else {
    CopySkinRect(dest, thumb, img, img.Bounds());
  }
}

// ---- mouse, timer, keys

int TskSkinScrollBar::Along(Point p) const { return m_kind == TScrollBarKind::sbHorizontal ? p.x : p.y; }

TskScrollBarPart TskSkinScrollBar::PartAt(const ScrollBarLayout& g, Point p) const {
  if (g.thumb.Contains(p)) return TskScrollBarPart::Thumb;
  if (g.upButton.Contains(p)) return TskScrollBarPart::UpButton;
  if (g.downButton.Contains(p)) return TskScrollBarPart::DownButton;
  return TskScrollBarPart::None;
}

void TskSkinScrollBar::SetHot(TskScrollBarPart part) {
  if (part == m_hot) return;
  m_hot = part;
  Invalidate();
}

bool TskSkinScrollBar::Step(TskScrollRepeat what) {
  std::shared_ptr<bool> alive = m_alive;
  const long long p = m_position;
  switch (what) {
    case TskScrollRepeat::Increase:
      if (OnUpButtonClick) OnUpButtonClick(this);
      else SetPosition(Saturate(p + m_smallChange));
      break;
    case TskScrollRepeat::Decrease:
      if (OnDownButtonClick) OnDownButtonClick(this);
      else SetPosition(Saturate(p - m_smallChange));
      break;
    case TskScrollRepeat::PageDecrease:
      SetPosition(Saturate(p - m_largeChange));
      if (*alive) Fire(OnPageUp, this);
      break;
    case TskScrollRepeat::PageIncrease:
      SetPosition(Saturate(p + m_largeChange));
      if (*alive) Fire(OnPageDown, this);
      break;
    case TskScrollRepeat::None:
      break;
  }
  return *alive;
}

void TskSkinScrollBar::StartRepeat(TskScrollRepeat what) {
  m_repeat = what;
  m_firstTick = true;
  m_repeatPaused = false;
  if (HandleAllocated()) SetTimer(Handle(), kRepeatTimer, kRepeatDelay, nullptr);
}

void TskSkinScrollBar::StopRepeat() {
  if (m_repeat != TskScrollRepeat::None && HandleAllocated()) KillTimer(Handle(), kRepeatTimer);
  m_repeat = TskScrollRepeat::None;
  m_repeatPaused = false;
}

void TskSkinScrollBar::RepeatTick() {
  if (m_repeat == TskScrollRepeat::None || m_repeatPaused) {
    if (HandleAllocated()) KillTimer(Handle(), kRepeatTimer);
    return;
  }
  if (m_firstTick) {
    m_firstTick = false;
    SetTimer(Handle(), kRepeatTimer, kRepeatInterval, nullptr);
  }
  if (m_repeat == TskScrollRepeat::PageDecrease || m_repeat == TskScrollRepeat::PageIncrease) {
    // Paging goes on only until the thumb reaches the pointer.
    const ScrollBarLayout g = Layout();
    const bool horz = m_kind == TScrollBarKind::sbHorizontal;
    const int at = Along(m_pointer);
    const int thumbStart = horz ? g.thumb.left : g.thumb.top;
    const int thumbEnd = horz ? g.thumb.right : g.thumb.bottom;
    const bool still = m_repeat == TskScrollRepeat::PageDecrease ? at < thumbStart : at >= thumbEnd;
    if (!still) {
      StopRepeat();
      return;
    }
  }
  Step(m_repeat);
}

void TskSkinScrollBar::CancelPress() {
  StopRepeat();
  m_dragging = false;
  m_pressed = TskScrollBarPart::None;
  Invalidate();
}

void TskSkinScrollBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  if (button == TMouseButton::mbLeft && m_canFocused && !Focused() && !Designing()) {
    try {
      SetFocus();
    } catch (const EInvalidOperation&) {
    }
    if (!*alive) return;
  }
  TskSkinCustomControl::MouseDown(button, shift, x, y);
  if (!*alive || button != TMouseButton::mbLeft || Designing()) return;
  // A double click's second press holds the mouse as a first press does.
  if (HandleAllocated() && GetCapture() != Handle()) SetCapture(Handle());
  StopRepeat();
  const ScrollBarLayout g = Layout();
  const Point p(x, y);
  m_pointer = p;
  const TskScrollBarPart part = PartAt(g, p);
  if (part == TskScrollBarPart::Thumb) {
    m_dragging = true;
    m_dragOrigin = Along(p);
    m_dragThumbOffset = g.thumbOffset;
    m_pressed = m_hot = part;
    Invalidate();
    return;
  }
  if (part != TskScrollBarPart::None) {
    m_pressed = m_hot = part;
    Invalidate();
    const TskScrollRepeat what =
        part == TskScrollBarPart::UpButton ? TskScrollRepeat::Increase : TskScrollRepeat::Decrease;
    if (Step(what)) StartRepeat(what);
    return;
  }
  if (!g.track.Contains(p)) return;
  const int thumbStart = m_kind == TScrollBarKind::sbHorizontal ? g.thumb.left : g.thumb.top;
  const TskScrollRepeat what =
      Along(p) < thumbStart ? TskScrollRepeat::PageDecrease : TskScrollRepeat::PageIncrease;
  if (Step(what)) StartRepeat(what);
}

void TskSkinScrollBar::MouseMove(TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  TskSkinCustomControl::MouseMove(shift, x, y);
  if (!*alive || Designing()) return;
  const Point p(x, y);
  m_pointer = p;
  const ScrollBarLayout g = Layout();
  if (m_dragging) {
    const long long travel = static_cast<long long>(g.rangeEnd) - g.rangeStart;
    if (travel <= 0) return;
    const double d = static_cast<double>(static_cast<long long>(Along(p)) - m_dragOrigin + m_dragThumbOffset);
    const double fraction = std::clamp(d / static_cast<double>(travel), 0.0, 1.0);
    const long long span = m_pageSize != 0 ? static_cast<long long>(m_max) - m_min - m_pageSize + 1
                                           : static_cast<long long>(m_max) - m_min;
    SetPosition(Saturate(m_min + RoundEven(fraction * static_cast<double>(span))));
    return;
  }
  if (m_pressed == TskScrollBarPart::UpButton || m_pressed == TskScrollBarPart::DownButton) {
    const bool over = (m_pressed == TskScrollBarPart::UpButton ? g.upButton : g.downButton).Contains(p);
    SetHot(over ? m_pressed : TskScrollBarPart::None);
    if (m_repeat == TskScrollRepeat::None || !HandleAllocated()) return;
    if (!over && !m_repeatPaused) {
      m_repeatPaused = true;
      KillTimer(Handle(), kRepeatTimer);
    } else if (over && m_repeatPaused) {
      m_repeatPaused = false;
      m_firstTick = false;
      SetTimer(Handle(), kRepeatTimer, kRepeatInterval, nullptr);
    }
    return;
  }
  SetHot(ClientRect().Contains(p) ? PartAt(g, p) : TskScrollBarPart::None);
}

void TskSkinScrollBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  bool dragged = false;
  if (button == TMouseButton::mbLeft &&
      (m_pressed != TskScrollBarPart::None || m_repeat != TskScrollRepeat::None)) {
    StopRepeat();
    dragged = m_dragging;
    m_dragging = false;
    m_pressed = TskScrollBarPart::None;
    const Point p(x, y);
    m_hot = ClientRect().Contains(p) ? PartAt(Layout(), p) : TskScrollBarPart::None;
    Invalidate();
  }
  TskSkinCustomControl::MouseUp(button, shift, x, y);
  if (!*alive) return;
  if (dragged) Fire(OnLastChange, this);
}

void TskSkinScrollBar::MouseLeave() {
  if (!Designing()) SetHot(TskScrollBarPart::None);
  TskSkinCustomControl::MouseLeave();
}

void TskSkinScrollBar::KeyDown(WORD& key, TShiftState shift) {
  std::shared_ptr<bool> alive = m_alive;
  TskSkinCustomControl::KeyDown(key, shift);
  if (!*alive || key == 0 || !m_canFocused) return;
  const long long p = m_position;
  if (key == VK_LEFT || key == VK_UP) SetPosition(Saturate(p - m_smallChange));
  else if (key == VK_RIGHT || key == VK_DOWN) SetPosition(Saturate(p + m_smallChange));
}

bool TskSkinScrollBar::WantsKey(WORD key, TShiftState) const {
  return m_canFocused && (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN);
}

void TskSkinScrollBar::EnabledChanged() {
  CancelPress();
  m_hot = TskScrollBarPart::None;
  TskSkinCustomControl::EnabledChanged();
  Invalidate();
}

void TskSkinScrollBar::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_TIMER:
      if (m.WParam == kRepeatTimer) {
        RepeatTick();
        return;
      }
      break;
    case WM_MOUSEWHEEL: {
      if (!m_canFocused || !Focused() || !Enabled()) break;
      bool handled = false;
      const int delta = GET_WHEEL_DELTA_WPARAM(m.WParam);
      if (OnMouseWheel) OnMouseWheel(this, KeyboardShiftState(), delta, LParamToPoint(m.LParam), handled);
      if (!handled) {
        const long long p = m_position;
        SetPosition(Saturate(delta <= 0 ? p + m_smallChange : p - m_smallChange));
      }
      m.Result = 1;
      return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TskSkinCustomControl::WndProc(m);
      // The thumb of a focusable bar shows the focus.
      if (m_canFocused) Invalidate();
      return;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(m.LParam) != Handle() &&
          (m_pressed != TskScrollBarPart::None || m_repeat != TskScrollRepeat::None))
        CancelPress();
      break;
    case WM_DESTROY:
      // The timer goes with the window.
      m_repeat = TskScrollRepeat::None;
      m_repeatPaused = false;
      m_dragging = false;
      m_pressed = TskScrollBarPart::None;
      break;
    default:
      break;
  }
  TskSkinCustomControl::WndProc(m);
}

bool TskSkinScrollBar::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "Kind"))
    SetKind(static_cast<TScrollBarKind>(v.AsEnum({{"sbHorizontal", 0}, {"sbVertical", 1}})));
  else if (SameText(name, "Min")) SetMin(v.AsInt());
  else if (SameText(name, "Max")) SetMax(v.AsInt());
  else if (SameText(name, "Position")) SetPosition(v.AsInt());
  else if (SameText(name, "PageSize")) SetPageSize(v.AsInt());
  else if (SameText(name, "SmallChange")) SetSmallChange(v.AsInt());
  else if (SameText(name, "LargeChange")) SetLargeChange(v.AsInt());
  else if (SameText(name, "Both")) SetBoth(v.AsBool());
  else if (SameText(name, "BothSkinDataName")) SetBothSkinDataName(v.AsString());
  else if (SameText(name, "BothMarkerWidth")) SetBothMarkerWidth(v.AsInt());
  else if (SameText(name, "CanFocused")) SetCanFocused(v.AsBool());
  else if (SameText(name, "OnChange")) OnChange = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnLastChange")) OnLastChange = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnUpButtonClick")) OnUpButtonClick = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnDownButtonClick")) OnDownButtonClick = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnPageUp")) OnPageUp = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnPageDown")) OnPageDown = reader.ReadHandler<TNotifyEvent>(v);
  else return TskSkinCustomControl::ReadProperty(name, v, reader);
  return true;
}
