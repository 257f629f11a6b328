// TControl, TGraphicControl, TCustomControl and the control canvas.
#include "toolkit/Controls.h"

#include <algorithm>

#include "platform/win/WinApi.h"
#include "toolkit/Forms.h"
#include "toolkit/Reader.h"

namespace {

// Canvases holding a context fetched outside painting; given back after each message.
std::vector<TControlCanvas*>& FetchedCanvases() {
  static std::vector<TControlCanvas*> list;
  return list;
}

}  // namespace

void FreeFetchedCanvases() {
  std::vector<TControlCanvas*> list;
  list.swap(FetchedCanvases());
  for (TControlCanvas* c : list) c->FreeHandle();
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

std::string GetShortHint(std::string_view hint) {
  std::size_t bar = hint.find('|');
  return std::string(bar == std::string_view::npos ? hint : hint.substr(0, bar));
}

std::string GetLongHint(std::string_view hint) {
  std::size_t bar = hint.find('|');
  return std::string(bar == std::string_view::npos ? hint : hint.substr(bar + 1));
}

HCURSOR CursorHandle(TCursor cursor) {
  int id = IDC_ARROW;
  switch (cursor) {
    case crIBeam: id = IDC_IBEAM; break;
    case crCross: id = IDC_CROSS; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS:
    case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE:
    case crHSplit: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll:
    case crDrag: id = IDC_SIZEALL; break;
    default: break;
  }
  return LoadStandardCursor(id);
}

// TControl

TControl::TControl(TComponent* owner) : TComponent(owner), m_font(std::make_unique<TFont>()) {
  m_font->OnChange = [this](TObject*) {
    if (!m_updatingFromParent) m_parentFont = false;
    FontChanged();
  };
}

TControl::~TControl() {
  *m_alive = false;  // already gone as a control, whatever the base still does
  if (m_parent) SetParent(nullptr);
  m_font->OnChange = nullptr;
}

TCustomForm* TControl::GetParentForm() const {
  const TControl* c = this;
  while (c->m_parent) c = c->m_parent;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == m_parent) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  for (TWinControl* p = parent; p; p = p->m_parent)
    if (p == this) throw EInvalidOperation("A control cannot be placed inside itself");
  if (m_parent) m_parent->RemoveControl(this);
  if (parent) {
    parent->InsertControl(this);
    ParentFontChanged();
    ParentColorChanged();
  }
}

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* w = dynamic_cast<TWinControl*>(parent)) {
    SetParent(w);
  } else if (parent) {
    throw EInvalidOperation(parent->Name() + " is not a control that can hold " + Name());
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == m_left && top == m_top && width == m_width && height == m_height) return;
  bool sized = width != m_width || height != m_height;
  InvalidateControl(m_visible, false);
  m_left = left;
  m_top = top;
  m_width = width;
  m_height = height;
  InvalidateControl(m_visible, false);
  UpdateAnchorRules();
  if (sized) Resize();
  RequestAlign();
}

void TControl::UpdateBoundsRect(const Rect& r) {
  m_left = r.left;
  m_top = r.top;
  m_width = r.Width();
  m_height = r.Height();
}

Rect TControl::ClientRect() const { return {0, 0, m_width, m_height}; }

void TControl::SetClientWidth(int w) { SetWidth(m_width - ClientWidth() + w); }
void TControl::SetClientHeight(int h) { SetHeight(m_height - ClientHeight() + h); }

Point TControl::ClientOrigin() const {
  if (!m_parent) return {m_left, m_top};
  Point p = m_parent->ClientOrigin();
  return {p.x + m_left, p.y + m_top};
}

Point TControl::ClientToScreen(Point p) const { return p + ClientOrigin(); }
Point TControl::ScreenToClient(Point p) const { return p - ClientOrigin(); }

void TControl::SetAlign(TAlign align) {
  if (align == m_align) return;
  TAlign old = m_align;
  m_align = align;
  if (old == TAlign::alNone || align == TAlign::alNone) UpdateAnchorRules();
  // The parent lays out again even when the control leaves alignment, so the others
  // take the room it gave up.
  if (m_parent && !m_parent->m_inAlign) m_parent->Realign();
}

void TControl::SetAnchors(TAnchors anchors) {
  if (anchors == m_anchors) return;
  m_anchors = anchors;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (!m_parent) {
    m_anchorBaseValid = false;
    return;
  }
  m_anchorBase = m_parent->AdjustClientRect().GetSize();
  m_anchorBaseValid = true;
}

void TControl::AnchorToParentSize(Size parentClient) {
  if (!m_anchorBaseValid) {
    m_anchorBase = parentClient;
    m_anchorBaseValid = true;
    return;
  }
  int dw = parentClient.cx - m_anchorBase.cx;
  int dh = parentClient.cy - m_anchorBase.cy;
  if (dw == 0 && dh == 0) return;
  int l = m_left, t = m_top, w = m_width, h = m_height;
  if (m_anchors & akRight) {
    if (m_anchors & akLeft) w += dw;
    else l += dw;
  } else if (!(m_anchors & akLeft)) {
    l += dw / 2;
  }
  if (m_anchors & akBottom) {
    if (m_anchors & akTop) h += dh;
    else t += dh;
  } else if (!(m_anchors & akTop)) {
    t += dh / 2;
  }
  SetBounds(l, t, std::max(w, 0), std::max(h, 0));
  // The base follows the parent, so the next change moves by the next difference only.
  m_anchorBase = parentClient;
  m_anchorBaseValid = true;
}

void TControl::RequestAlign() {
  if (!m_parent || m_parent->m_inAlign) return;
  if (m_align != TAlign::alNone || m_anchors != (akLeft | akTop)) m_parent->Realign();
  else m_parent->ChildLayoutChanged(this);
}

void TControl::SetVisible(bool on) {
  if (on == m_visible) return;
  InvalidateControl(true, false);
  m_visible = on;
  VisibleChanged();
  Perform(CM_VISIBLECHANGED, on ? 1 : 0);
  if (m_parent && !m_parent->m_inAlign) m_parent->Realign();
}

bool TControl::Showing() const { return m_visible && m_parent && m_parent->Showing(); }

void TControl::SetEnabled(bool on) {
  if (on == m_enabled) return;
  m_enabled = on;
  EnabledChanged();
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(Color c) {
  if (c == m_color && !m_parentColor) return;
  m_color = c;
  if (!m_updatingFromParent) m_parentColor = false;
  ColorChanged();
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool on) {
  if (on == m_parentColor) return;
  m_parentColor = on;
  if (on) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (!m_parentColor || !m_parent) return;
  m_updatingFromParent = true;
  SetColor(m_parent->GetColor());
  m_updatingFromParent = false;
  m_parentColor = true;
}

void TControl::SetParentFont(bool on) {
  if (on == m_parentFont) return;
  m_parentFont = on;
  if (on) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!m_parentFont || !m_parent) return;
  m_updatingFromParent = true;
  m_font->Assign(&m_parent->Font());
  m_updatingFromParent = false;
}

void TControl::SetCursor(TCursor c) {
  if (c == m_cursor) return;
  m_cursor = c;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool on) {
  m_showHint = on;
  m_parentShowHint = false;
}

void TControl::SetParentShowHint(bool on) { m_parentShowHint = on; }

bool TControl::EffectiveShowHint() const {
  if (m_parentShowHint && m_parent) return m_parent->EffectiveShowHint();
  return m_showHint;
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == m_popupMenu) return;
  m_popupMenu = menu;
  if (menu) menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == m_popupMenu) m_popupMenu = nullptr;
}

std::string TControl::Text() const { return m_text; }

void TControl::SetText(std::string_view text) {
  if (text == m_text) return;
  m_text = text;
  TextChanged();
  Perform(CM_TEXTCHANGED);
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!isVisible || !m_parent || !m_parent->HandleAllocated()) return;
  Rect r = BoundsRect();
  InvalidateRect(m_parent->m_handle, &r, !isOpaque);
}

void TControl::Invalidate() { InvalidateControl(m_visible, (m_controlStyle & csOpaque) != 0); }

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (m_parent) m_parent->Update();
}

void TControl::BringToFront() {
  if (!m_parent) return;
  auto& list = m_parent->m_controls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  list.push_back(this);
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    SetWindowPos(w->m_handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

void TControl::SendToBack() {
  if (!m_parent) return;
  auto& list = m_parent->m_controls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  list.insert(list.begin(), this);
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    SetWindowPos(w->m_handle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

LRESULT TControl::Perform(UINT msg, WPARAM wp, LPARAM lp) {
  TMessage m{msg, wp, lp, 0};
  Dispatch(m);
  return m.Result;
}

TControl::TWndMethod TControl::WindowProc() {
  if (m_windowProc) return m_windowProc;
  return [this](TMessage& m) { WndProc(m); };
}

void TControl::Dispatch(TMessage& m) {
  if (m_windowProc) {
    // A copy: the handler may replace itself while it runs.
    TWndMethod method = m_windowProc;
    method(m);
  } else {
    WndProc(m);
  }
}

void TControl::HandleMouseMessage(TMessage& m) {
  Point p = LParamToPoint(m.LParam);
  TShiftState s = KeysToShiftState(m.WParam);
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      MouseMove(s, p.x, p.y);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (m_dragMode == TDragMode::dmAutomatic) {
        // The press may become a drag; a release before it moves far is still a click.
        if (m.Msg == WM_LBUTTONDBLCLK && (m_controlStyle & csDoubleClicks)) {
          std::shared_ptr<bool> alive = m_alive;
          DblClick();
          if (!*alive) return;
        }
        if (m_controlStyle & csClickEvents) m_controlState |= csClicked;
        ::BeginDrag(this, false, -1, ClientToScreen(p));
        return;
      }
      if (m.Msg == WM_LBUTTONDBLCLK && (m_controlStyle & csDoubleClicks)) {
        DblClick();
        s |= ssDouble;
      }
      if (m_controlStyle & csClickEvents) m_controlState |= csClicked;
      m_controlState |= csLButtonDown;
      MouseDown(TMouseButton::mbLeft, s, p.x, p.y);
      break;
    case WM_LBUTTONUP: {
      bool clicked = (m_controlState & csClicked) != 0;
      m_controlState &= ~(csClicked | csLButtonDown);
      if (clicked && ClientRect().Contains(p)) {
        // A click may close the form and destroy this control.
        std::shared_ptr<bool> alive = m_alive;
        Click();
        if (!*alive) return;
      }
      MouseUp(TMouseButton::mbLeft, s, p.x, p.y);
      break;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(TMouseButton::mbRight, s, p.x, p.y);
      break;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, s, p.x, p.y);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(TMouseButton::mbMiddle, s, p.x, p.y);
      break;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle, s, p.x, p.y);
      break;
    default:
      break;
  }
}

void TControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (!m_enabled && m.Msg != WM_MOUSEMOVE) return;
      HandleMouseMessage(m);
      return;
    case CM_MOUSEENTER:
      MouseEnter();
      return;
    case CM_MOUSELEAVE:
      MouseLeave();
      return;
    case CM_PARENTFONTCHANGED:
      ParentFontChanged();
      return;
    case CM_PARENTCOLORCHANGED:
      ParentColorChanged();
      return;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      Invalidate();
      return;
    default:
      break;
  }
  DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::Click() { Fire(OnClick, this); }
void TControl::DblClick() { Fire(OnDblClick, this); }

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseEnter() { Fire(OnMouseEnter, this); }
void TControl::MouseLeave() { Fire(OnMouseLeave, this); }
void TControl::Resize() { Fire(OnResize, this); }
void TControl::FontChanged() { Perform(CM_FONTCHANGED); }
void TControl::ColorChanged() {}
void TControl::VisibleChanged() {}
void TControl::EnabledChanged() {}
void TControl::TextChanged() {}

bool TControl::DoContextPopup(Point screen) {
  bool handled = false;
  if (OnContextPopup) OnContextPopup(this, ScreenToClient(screen), handled);
  if (handled) return true;
  if (m_popupMenu && m_popupMenu->AutoPopup()) {
    m_popupMenu->SetPopupComponent(this);
    m_popupMenu->Popup(screen.x, screen.y);
    return true;
  }
  return false;
}

void TControl::BeginDrag(bool immediate, int threshold) {
  ::BeginDrag(this, immediate, threshold, WindowSystem::Current().GetCursorPos());
}

bool TControl::Dragging() const { return ::Dragging() && ::DragSource() == this; }

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = false;
  if (OnDragOver) {
    accept = true;
    OnDragOver(this, source, x, y, state, accept);
  }
}

void TControl::DragDrop(TObject* source, int x, int y) {
  if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TControl::DoStartDrag() { Fire(OnStartDrag, this); }

void TControl::DoEndDrag(TObject* target, int x, int y) {
  if (OnEndDrag) OnEndDrag(this, target, x, y);
}

void TControl::Loaded() {
  TComponent::Loaded();
  UpdateAnchorRules();
}

TPersistent* TControl::PropertyObject(std::string_view name) {
  if (SameText(name, "Font")) return m_font.get();
  return TComponent::PropertyObject(name);
}

bool TControl::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "Left")) SetLeft(v.AsInt());
  else if (SameText(name, "Top")) SetTop(v.AsInt());
  else if (SameText(name, "Width")) SetWidth(v.AsInt());
  else if (SameText(name, "Height")) SetHeight(v.AsInt());
  else if (SameText(name, "ClientWidth")) SetClientWidth(v.AsInt());
  else if (SameText(name, "ClientHeight")) SetClientHeight(v.AsInt());
  else if (SameText(name, "Align"))
    SetAlign(static_cast<TAlign>(v.AsEnum({{"alNone", 0}, {"alTop", 1}, {"alBottom", 2},
                                           {"alLeft", 3}, {"alRight", 4}, {"alClient", 5},
                                           {"alCustom", 6}})));
  else if (SameText(name, "Anchors"))
    SetAnchors(v.AsSet({{"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}, {"akBottom", akBottom}}));
  else if (SameText(name, "Visible")) SetVisible(v.AsBool());
  else if (SameText(name, "Enabled")) SetEnabled(v.AsBool());
  else if (SameText(name, "Color")) SetColor(ReadColor(v));
  else if (SameText(name, "ParentColor")) SetParentColor(v.AsBool());
  else if (SameText(name, "ParentFont")) SetParentFont(v.AsBool());
  else if (SameText(name, "Cursor")) SetCursor(ReadCursor(v));
  else if (SameText(name, "Hint")) SetHint(v.AsString());
  else if (SameText(name, "ShowHint")) SetShowHint(v.AsBool());
  else if (SameText(name, "ParentShowHint")) SetParentShowHint(v.AsBool());
  else if (SameText(name, "Caption") || SameText(name, "Text")) SetText(v.AsString());
  else if (SameText(name, "PopupMenu"))
    reader.ReadLink<TPopupMenu>(v, [this](TPopupMenu* m) { SetPopupMenu(m); });
  else if (SameText(name, "OnClick")) OnClick = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnDblClick")) OnDblClick = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnMouseDown")) OnMouseDown = reader.ReadHandler<TMouseEvent>(v);
  else if (SameText(name, "OnMouseUp")) OnMouseUp = reader.ReadHandler<TMouseEvent>(v);
  else if (SameText(name, "OnMouseMove")) OnMouseMove = reader.ReadHandler<TMouseMoveEvent>(v);
  else if (SameText(name, "OnMouseEnter")) OnMouseEnter = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnMouseLeave")) OnMouseLeave = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnResize")) OnResize = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnContextPopup")) OnContextPopup = reader.ReadHandler<TContextPopupEvent>(v);
  else if (SameText(name, "DragMode"))
    SetDragMode(static_cast<TDragMode>(v.AsEnum({{"dmManual", 0}, {"dmAutomatic", 1}})));
  else if (SameText(name, "DragKind"))
    SetDragKind(static_cast<TDragKind>(v.AsEnum({{"dkDrag", 0}, {"dkDock", 1}})));
  else if (SameText(name, "DragCursor")) SetDragCursor(ReadCursor(v));
  else if (SameText(name, "OnDragOver")) OnDragOver = reader.ReadHandler<TDragOverEvent>(v);
  else if (SameText(name, "OnDragDrop")) OnDragDrop = reader.ReadHandler<TDragDropEvent>(v);
  else if (SameText(name, "OnStartDrag")) OnStartDrag = reader.ReadHandler<TStartDragEvent>(v);
  else if (SameText(name, "OnEndDrag")) OnEndDrag = reader.ReadHandler<TEndDragEvent>(v);
  else return TComponent::ReadProperty(name, v, reader);
  return true;
}

// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TGraphicControl::~TGraphicControl() = default;

TCanvas& TGraphicControl::Canvas() {
  if (!m_canvas) m_canvas = std::make_unique<TControlCanvas>(this);
  return *m_canvas;
}

void TGraphicControl::Paint() {}

void TGraphicControl::WndProc(TMessage& m) { TControl::WndProc(m); }

// TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

TCustomControl::~TCustomControl() {
  if (m_canvas) m_canvas->FreeHandle();
}

TCanvas& TCustomControl::Canvas() {
  if (!m_canvas) m_canvas = std::make_unique<TControlCanvas>(this);
  return *m_canvas;
}

void TCustomControl::Paint() {}

void TCustomControl::PaintWindow(HDC dc) {
  TControlCanvas& c = static_cast<TControlCanvas&>(Canvas());
  c.BeginPaint(dc);
  m_controlState |= csCustomPaint;
  try {
    Paint();
  } catch (...) {
    m_controlState &= ~csCustomPaint;
    c.EndPaint();
    throw;
  }
  m_controlState &= ~csCustomPaint;
  c.EndPaint();
}

// TControlCanvas

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::BeginPaint(HDC dc) {
  FreeHandle();
  m_painting = true;
  SetHandle(dc);
}

void TControlCanvas::EndPaint() {
  m_painting = false;
  ReleaseHandle();
}

void TControlCanvas::FreeHandle() {
  if (m_painting) return;
  if (m_fetched) {
    if (IsWindow(m_window)) ReleaseDC(m_window, m_fetched);
    m_fetched = nullptr;
    auto& list = FetchedCanvases();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  ReleaseHandle();
}

void TControlCanvas::CreateHandle() {
  if (auto* w = dynamic_cast<TWinControl*>(m_control)) {
    m_window = w->Handle();
    m_fetched = GetDC(m_window);
  } else if (TWinControl* parent = m_control->Parent()) {
    m_window = parent->Handle();
    m_fetched = GetDC(m_window);
    if (m_fetched) {
      m_fetched->SetViewportOrg({m_control->Left(), m_control->Top()});
      m_fetched->IntersectClipRect(Rect(0, 0, m_control->Width(), m_control->Height()));
    }
  }
  if (!m_fetched) return;
  FetchedCanvases().push_back(this);
  SetHandle(m_fetched);
}
