// TLabel, TButton and TScrollBar in the platform's default look.
#include "toolkit/StdCtrls.h"

#include <algorithm>

#include "platform/win/WinApi.h"
#include "toolkit/Forms.h"
#include "toolkit/Reader.h"

// TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  m_controlStyle |= csReplicatable;
  SetParentColor(true);
  SetBounds(0, 0, 65, 17);
}

std::uint32_t TLabel::TextFormat() const {
  std::uint32_t f = DT_EXPANDTABS;
  if (m_wordWrap) f |= DT_WORDBREAK;
  else f |= DT_SINGLELINE;
  if (!m_showAccelChar) f |= DT_NOPREFIX;
  if (m_alignment == TAlignment::taCenter) f |= DT_CENTER;
  else if (m_alignment == TAlignment::taRightJustify) f |= DT_RIGHT;
  return f;
}

void TLabel::AdjustBounds() {
  if (!m_autoSize || HasState(csLoading)) return;
  TBitmap measure(1, 1);
  measure.Canvas().SetFont(Font());
  std::string text = Text();
  Rect r(0, 0, m_wordWrap ? std::max(m_width, 1) : 1 << 20, 0);
  // An empty caption still takes one line's height.
  measure.Canvas().DrawText(text.empty() ? std::string_view(" ") : std::string_view(text), r,
                            TextFormat() | DT_CALCRECT);
  int w = m_wordWrap ? m_width : r.Width();
  int left = m_left;
  if (!m_wordWrap && m_alignment == TAlignment::taRightJustify) left = m_left + m_width - w;
  SetBounds(left, m_top, w, r.Height());
}

void TLabel::SetAutoSize(bool on) {
  if (on == m_autoSize) return;
  m_autoSize = on;
  AdjustBounds();
}

void TLabel::SetAlignment(TAlignment a) {
  if (a == m_alignment) return;
  m_alignment = a;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout l) {
  if (l == m_layout) return;
  m_layout = l;
  Invalidate();
}

void TLabel::SetWordWrap(bool on) {
  if (on == m_wordWrap) return;
  m_wordWrap = on;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetTransparent(bool on) {
  if (on == m_transparent) return;
  m_transparent = on;
  if (on) m_controlStyle &= ~csOpaque;
  else m_controlStyle |= csOpaque;
  Invalidate();
}

void TLabel::SetShowAccelChar(bool on) {
  if (on == m_showAccelChar) return;
  m_showAccelChar = on;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetFocusControl(TWinControl* c) {
  m_focusControl = c;
  if (c) c->FreeNotification(this);
}

void TLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == m_focusControl) m_focusControl = nullptr;
}

void TLabel::TextChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::FontChanged() {
  TGraphicControl::FontChanged();
  AdjustBounds();
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR) {
    // The label's accelerator focuses the control it names.
    if (m_showAccelChar && m_focusControl && m.WParam < 0x80 &&
        IsAccel(static_cast<char>(m.WParam), Text()) && m_focusControl->CanFocus()) {
      m_focusControl->SetFocus();
      m.Result = 1;
    }
    return;
  }
  TGraphicControl::WndProc(m);
}

void TLabel::Paint() {
  TCanvas& c = Canvas();
  Rect r = ClientRect();
  if (!m_transparent) {
    c.Brush().SetColor(GetColor());
    c.FillRect(r);
  }
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.SetFont(Font());
  std::string text = Text();
  std::uint32_t format = TextFormat();
  if (m_layout != TTextLayout::tlTop) {
    Rect calc = r;
    c.DrawText(text, calc, format | DT_CALCRECT);
    int offset = r.Height() - calc.Height();
    if (m_layout == TTextLayout::tlCenter) offset /= 2;
    r.top += offset;
  }
  if (!Enabled()) {
    Rect shifted = r.Translated(1, 1);
    c.Font().SetColor(clBtnHighlight);
    c.DrawText(text, shifted, format);
    c.Font().SetColor(clBtnShadow);
  }
  c.DrawText(text, r, format);
}

bool TLabel::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "AutoSize")) SetAutoSize(v.AsBool());
  else if (SameText(name, "Alignment")) SetAlignment(ReadAlignment(v));
  else if (SameText(name, "Layout"))
    SetLayout(static_cast<TTextLayout>(v.AsEnum({{"tlTop", 0}, {"tlCenter", 1}, {"tlBottom", 2}})));
  else if (SameText(name, "WordWrap")) SetWordWrap(v.AsBool());
  else if (SameText(name, "Transparent")) SetTransparent(v.AsBool());
  else if (SameText(name, "ShowAccelChar")) SetShowAccelChar(v.AsBool());
  else if (SameText(name, "FocusControl"))
    reader.ReadLink<TWinControl>(v, [this](TWinControl* c) { SetFocusControl(c); });
  else return TGraphicControl::ReadProperty(name, v, reader);
  return true;
}

// TButton

TButton::TButton(TComponent* owner) : TCustomControl(owner) {
  m_controlStyle = csCaptureMouse | csSetCaption | csDoubleClicks | csOpaque;
  SetTabStop(true);
  SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool on) {
  if (on == m_default) return;
  m_default = on;
  Invalidate();
}

void TButton::SetPressed(bool on) {
  if (on == m_pressed) return;
  m_pressed = on;
  Invalidate();
}

void TButton::Click() {
  std::shared_ptr<bool> alive = m_alive;
  TCustomForm* form = GetParentForm();
  if (m_modalResult != mrNone && form) form->SetModalResult(m_modalResult);
  TCustomControl::Click();
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft && Enabled()) {
    if (CanFocus() && !Focused() && HandleAllocated() && Showing()) ::SetFocus(Handle());
    m_tracking = true;
    SetPressed(true);
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
  if (m_tracking) SetPressed(ClientRect().Contains({x, y}));
  TCustomControl::MouseMove(shift, x, y);
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  bool click = m_tracking && button == TMouseButton::mbLeft && ClientRect().Contains({x, y});
  if (button == TMouseButton::mbLeft) {
    m_tracking = false;
    SetPressed(false);
  }
  std::shared_ptr<bool> alive = m_alive;
  if (click) Click();
  if (!*alive) return;
  TCustomControl::MouseUp(button, shift, x, y);
}

void TButton::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == VK_SPACE) {
    m_spaceDown = true;
    SetPressed(true);
    key = 0;
  } else if (key == VK_RETURN) {
    key = 0;
    Click();
  }
}

void TButton::KeyUp(WORD& key, TShiftState shift) {
  TCustomControl::KeyUp(key, shift);
  if (key == VK_SPACE && m_spaceDown) {
    m_spaceDown = false;
    SetPressed(false);
    key = 0;
    Click();
  }
}

void TButton::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGKEY) {
    bool mine = (m.WParam == VK_RETURN && m_default) || (m.WParam == VK_ESCAPE && m_cancel);
    if (mine && CanFocus()) {
      Click();
      m.Result = 1;
    }
    return;
  }
  if (m.Msg == CM_DIALOGCHAR) {
    if (m.WParam < 0x80 && IsAccel(static_cast<char>(m.WParam), Text()) && CanFocus()) {
      if (HandleAllocated() && Showing()) ::SetFocus(Handle());
      Click();
      m.Result = 1;
    }
    return;
  }
  if (m.Msg == WM_KILLFOCUS) {
    m_spaceDown = false;
    SetPressed(false);
  }
  if (m.Msg == WM_SETFOCUS || m.Msg == WM_KILLFOCUS) Invalidate();
  // The button paints its own face, so the control's generic click on mouse-up is left
  // out: MouseUp decides.
  if (m.Msg == WM_LBUTTONUP) m_controlState &= ~csClicked;
  TCustomControl::WndProc(m);
}

void TButton::Paint() {
  TCanvas& c = Canvas();
  Rect r = ClientRect();
  c.Brush().SetColor(clBtnFace);
  c.FillRect(r);
  if (m_default || Focused()) Frame3D(c, r, clWindowFrame, clWindowFrame, 1);
  if (m_pressed) {
    Frame3D(c, r, clBtnShadow, clBtnShadow, 1);
  } else {
    Frame3D(c, r, clBtnHighlight, cl3DDkShadow, 1);
    Frame3D(c, r, clBtnFace, clBtnShadow, 1);
  }
  Rect text = r;
  if (m_pressed) text.Translate(1, 1);
  c.SetFont(Font());
  if (!Enabled()) c.Font().SetColor(clGrayText);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.DrawText(Text(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (Focused()) {
    Rect focus = r.Inflated(-1, -1);
    c.DrawFocusRect(focus);
  }
}

bool TButton::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "Default")) SetDefault(v.AsBool());
  else if (SameText(name, "Cancel")) SetCancel(v.AsBool());
  else if (SameText(name, "ModalResult")) {
    if (v.kind == TStreamValue::Kind::Ident)
      SetModalResult(v.AsEnum({{"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel}, {"mrAbort", mrAbort},
                               {"mrRetry", mrRetry}, {"mrIgnore", mrIgnore}, {"mrYes", mrYes}, {"mrNo", mrNo}}));
    else
      SetModalResult(v.AsInt());
  } else return TCustomControl::ReadProperty(name, v, reader);
  return true;
}

// TScrollBar

TScrollBar::TScrollBar(TComponent* owner) : TCustomControl(owner) {
  m_controlStyle |= csOpaque;
  SetTabStop(true);
  SetBounds(0, 0, 121, 17);
}

void TScrollBar::SetKind(TScrollBarKind k) {
  if (k == m_kind) return;
  m_kind = k;
  if (!HasState(csLoading)) SetBounds(m_left, m_top, m_height, m_width);
  Invalidate();
}

int TScrollBar::MaxPosition() const {
  return m_pageSize > 0 ? std::max(m_min, m_max - m_pageSize + 1) : m_max;
}

void TScrollBar::SetPageSize(int v) {
  v = std::clamp(v, 0, std::max(0, m_max - m_min + 1));
  if (v == m_pageSize) return;
  m_pageSize = v;
  SetParams(m_position, m_min, m_max);
  Invalidate();
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (max < min) throw EInvalidOperation("Scroll bar property out of range");
  bool rangeChanged = min != m_min || max != m_max;
  m_min = min;
  m_max = max;
  if (m_pageSize > m_max - m_min + 1) m_pageSize = m_max - m_min + 1;
  position = std::clamp(position, m_min, MaxPosition());
  bool moved = position != m_position;
  m_position = position;
  if (moved || rangeChanged) Invalidate();
  if (moved) Fire(OnChange, this);
}

int TScrollBar::ButtonSize() const {
  int thick = m_kind == TScrollBarKind::sbHorizontal ? m_height : m_width;
  int length = m_kind == TScrollBarKind::sbHorizontal ? m_width : m_height;
  return std::min(thick, length / 2);
}

Rect TScrollBar::FirstButtonRect() const {
  int b = ButtonSize();
  return m_kind == TScrollBarKind::sbHorizontal ? Rect(0, 0, b, m_height) : Rect(0, 0, m_width, b);
}

Rect TScrollBar::SecondButtonRect() const {
  int b = ButtonSize();
  return m_kind == TScrollBarKind::sbHorizontal ? Rect(m_width - b, 0, m_width, m_height)
                                                : Rect(0, m_height - b, m_width, m_height);
}

Rect TScrollBar::TrackRect() const {
  int b = ButtonSize();
  return m_kind == TScrollBarKind::sbHorizontal ? Rect(b, 0, m_width - b, m_height)
                                                : Rect(0, b, m_width, m_height - b);
}

Rect TScrollBar::ThumbRect() const {
  Rect track = TrackRect();
  bool horz = m_kind == TScrollBarKind::sbHorizontal;
  int length = horz ? track.Width() : track.Height();
  int range = m_max - m_min + 1;
  if (length <= 0 || range <= 0 || !Enabled()) return Rect();
  int thumb = m_pageSize > 0 ? static_cast<int>(static_cast<long long>(length) * m_pageSize / range)
                             : (horz ? m_height : m_width);
  thumb = std::clamp(thumb, std::min(8, length), length);
  int span = MaxPosition() - m_min;
  int offset = span > 0 ? static_cast<int>(static_cast<long long>(length - thumb) * (m_position - m_min) / span) : 0;
  return horz ? Rect(track.left + offset, 0, track.left + offset + thumb, m_height)
              : Rect(0, track.top + offset, m_width, track.top + offset + thumb);
}

void TScrollBar::Scroll(TScrollCode code, int position) {
  int pos = std::clamp(position, m_min, MaxPosition());
  if (OnScroll) OnScroll(this, code, pos);
  SetPosition(pos);
}

TScrollBar::Part TScrollBar::PartAt(Point p) const {
  if (FirstButtonRect().Contains(p)) return Part::FirstButton;
  if (SecondButtonRect().Contains(p)) return Part::SecondButton;
  if (!TrackRect().Contains(p)) return Part::None;
  Rect thumb = ThumbRect();
  if (thumb.Contains(p)) return Part::None;
  bool before = m_kind == TScrollBarKind::sbHorizontal ? p.x < thumb.left : p.y < thumb.top;
  return before ? Part::PageBefore : Part::PageAfter;
}

void TScrollBar::Step(Part part) {
  int page = m_pageSize > 0 ? m_pageSize : m_largeChange;
  switch (part) {
    case Part::FirstButton: Scroll(TScrollCode::scLineUp, m_position - m_smallChange); break;
    case Part::SecondButton: Scroll(TScrollCode::scLineDown, m_position + m_smallChange); break;
    case Part::PageBefore: Scroll(TScrollCode::scPageUp, m_position - page); break;
    case Part::PageAfter: Scroll(TScrollCode::scPageDown, m_position + page); break;
    case Part::None: break;
  }
}

void TScrollBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft || !Enabled()) return;
  Point p(x, y);
  Rect thumb = ThumbRect();
  if (thumb.Contains(p)) {
    m_dragging = true;
    m_dragOffset = m_kind == TScrollBarKind::sbHorizontal ? x - thumb.left : y - thumb.top;
    return;
  }
  Part part = PartAt(p);
  if (part == Part::None) return;
  Step(part);
  m_held = part;
  m_heldAt = p;
  if (HandleAllocated()) SetTimer(Handle(), 1, kRepeatDelay, nullptr);
}

void TScrollBar::WndProc(TMessage& m) {
  if (m.Msg == WM_TIMER && m.WParam == 1) {
    // Repeats while the press stays on the part it began on (a page step stops once the
    // thumb reaches the pointer).
    if (m_held != Part::None && PartAt(m_heldAt) == m_held) {
      SetTimer(Handle(), 1, kRepeatInterval, nullptr);
      Step(m_held);
    } else if (HandleAllocated()) {
      KillTimer(Handle(), 1);
    }
    return;
  }
  TCustomControl::WndProc(m);
}

void TScrollBar::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (m_held != Part::None) m_heldAt = {x, y};
  if (!m_dragging) return;
  bool horz = m_kind == TScrollBarKind::sbHorizontal;
  Rect track = TrackRect();
  Rect thumb = ThumbRect();
  int thumbLen = horz ? thumb.Width() : thumb.Height();
  int free = (horz ? track.Width() : track.Height()) - thumbLen;
  int at = (horz ? x - track.left : y - track.top) - m_dragOffset;
  int span = MaxPosition() - m_min;
  int pos = free > 0 ? m_min + static_cast<int>((static_cast<long long>(std::clamp(at, 0, free)) * span + free / 2) / free) : m_min;
  Scroll(TScrollCode::scTrack, pos);
}

void TScrollBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (m_held != Part::None) {
    m_held = Part::None;
    if (HandleAllocated()) KillTimer(Handle(), 1);
  }
  if (m_dragging) {
    m_dragging = false;
    Scroll(TScrollCode::scPosition, m_position);
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

bool TScrollBar::WantsKey(WORD key, TShiftState) const {
  return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_PRIOR ||
         key == VK_NEXT || key == VK_HOME || key == VK_END;
}

void TScrollBar::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  int page = m_pageSize > 0 ? m_pageSize : m_largeChange;
  switch (key) {
    case VK_LEFT:
    case VK_UP: Scroll(TScrollCode::scLineUp, m_position - m_smallChange); break;
    case VK_RIGHT:
    case VK_DOWN: Scroll(TScrollCode::scLineDown, m_position + m_smallChange); break;
    case VK_PRIOR: Scroll(TScrollCode::scPageUp, m_position - page); break;
    case VK_NEXT: Scroll(TScrollCode::scPageDown, m_position + page); break;
    case VK_HOME: Scroll(TScrollCode::scTop, m_min); break;
    case VK_END: Scroll(TScrollCode::scBottom, MaxPosition()); break;
    default: return;
  }
  key = 0;
}

void TScrollBar::Paint() {
  TCanvas& c = Canvas();
  Rect all = ClientRect();
  c.Brush().SetColor(clScrollBar);
  c.FillRect(all);
  bool horz = m_kind == TScrollBarKind::sbHorizontal;
  auto button = [&](Rect r, bool first) {
    c.Brush().SetColor(clBtnFace);
    c.FillRect(r);
    Rect inner = r;
    Frame3D(c, inner, clBtnHighlight, cl3DDkShadow, 1);
    Frame3D(c, inner, clBtnFace, clBtnShadow, 1);
    // A small arrow pointing away from the track's middle.
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    int s = std::max(1, std::min(r.Width(), r.Height()) / 4);
    std::vector<Point> arrow;
    if (horz)
      arrow = first ? std::vector<Point>{{cx - s / 2 - 1, cy}, {cx + s / 2, cy - s}, {cx + s / 2, cy + s}}
                    : std::vector<Point>{{cx + s / 2 + 1, cy}, {cx - s / 2, cy - s}, {cx - s / 2, cy + s}};
    else
      arrow = first ? std::vector<Point>{{cx, cy - s / 2 - 1}, {cx - s, cy + s / 2}, {cx + s, cy + s / 2}}
                    : std::vector<Point>{{cx, cy + s / 2 + 1}, {cx - s, cy - s / 2}, {cx + s, cy - s / 2}};
    Color ink = Enabled() ? clBtnText : clGrayText;
    c.Pen().SetColor(ink);
    c.Brush().SetColor(ink);
    c.Polygon(arrow);
  };
  button(FirstButtonRect(), true);
  button(SecondButtonRect(), false);
  Rect thumb = ThumbRect();
  if (!thumb.IsEmpty()) {
    c.Brush().SetColor(clBtnFace);
    c.FillRect(thumb);
    Frame3D(c, thumb, clBtnHighlight, cl3DDkShadow, 1);
    Frame3D(c, thumb, clBtnFace, clBtnShadow, 1);
  }
}

bool TScrollBar::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "Kind"))
    SetKind(static_cast<TScrollBarKind>(v.AsEnum({{"sbHorizontal", 0}, {"sbVertical", 1}})));
  else if (SameText(name, "Min")) SetParams(m_position, v.AsInt(), std::max(m_max, v.AsInt()));
  else if (SameText(name, "Max")) SetParams(m_position, std::min(m_min, v.AsInt()), v.AsInt());
  else if (SameText(name, "Position")) SetPosition(v.AsInt());
  else if (SameText(name, "PageSize")) SetPageSize(v.AsInt());
  else if (SameText(name, "SmallChange")) SetSmallChange(v.AsInt());
  else if (SameText(name, "LargeChange")) SetLargeChange(v.AsInt());
  else if (SameText(name, "OnChange")) OnChange = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnScroll")) OnScroll = reader.ReadHandler<TScrollEvent>(v);
  else return TCustomControl::ReadProperty(name, v, reader);
  return true;
}
