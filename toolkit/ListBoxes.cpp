// TListBox over the platform's LISTBOX class, and the toolkit's drop-down TComboBox.
#include "toolkit/ListBoxes.h"

#include <algorithm>

#include "platform/std/StdControls.h"
#include "platform/win/WinApi.h"
#include "toolkit/Forms.h"
#include "toolkit/Reader.h"

namespace {
// Posted by the drop-down to its combo box: close (wParam 1 to take the list's choice).
constexpr UINT CM_COMBOCLOSEUP = CM_BASE + 100;
}  // namespace

// TListBoxStrings

void TListBoxStrings::Insert(int index, std::string_view s) {
  if (m_list.Sorted()) {
    Add(s);
    return;
  }
  m_list.Insert(index, s);
  if (m_owner.HandleAllocated()) {
    std::string text(s);
    m_owner.Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
  }
}

int TListBoxStrings::Add(std::string_view s) {
  int before = m_list.Count();
  int index = m_list.Add(s);
  if (m_list.Count() != before && m_owner.HandleAllocated()) {
    std::string text(s);
    m_owner.Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
  }
  return index;
}

void TListBoxStrings::Put(int index, std::string_view s) {
  TObject* object = m_list.GetObject(index);
  bool wasSelected = m_owner.HandleAllocated() && m_owner.Selected(index);
  BeginUpdate();
  Delete(index);
  if (m_list.Sorted()) {
    index = Add(s);
  } else {
    Insert(index, s);
  }
  m_list.PutObject(index, object);
  if (wasSelected) m_owner.SetSelected(index, true);
  EndUpdate();
}

void TListBoxStrings::Delete(int index) {
  m_list.Delete(index);
  if (m_owner.HandleAllocated()) m_owner.Send(LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TListBoxStrings::Clear() {
  m_list.Clear();
  if (m_owner.HandleAllocated()) m_owner.Send(LB_RESETCONTENT, 0, 0);
}

void TListBoxStrings::SetUpdateState(bool updating) {
  if (!m_owner.HandleAllocated()) return;
  m_owner.Send(WM_SETREDRAW, updating ? 0 : 1, 0);
  if (!updating) m_owner.Invalidate();
}

// TCustomListBox

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), m_items(std::make_unique<TListBoxStrings>(*this)) {
  // Clicks and double clicks come from the list's own notifications.
  m_controlStyle = csSetCaption;
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() = default;

LRESULT TCustomListBox::Send(UINT msg, WPARAM wp, LPARAM lp) const {
  return SendMessage(const_cast<TCustomListBox*>(this)->Handle(), msg, wp, lp);
}

void TCustomListBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  RegisterStdControls();
  p.windowClass = kListBoxClassName;
  p.style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
  if (m_multiSelect) p.style |= m_extendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (m_style == TListBoxStyle::lbOwnerDrawFixed) p.style |= LBS_OWNERDRAWFIXED;
  if (m_columns > 0) p.style |= LBS_MULTICOLUMN | WS_HSCROLL;
  p.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWindowHandleDone() {
  TWinControl::CreateWindowHandleDone();
  HWND h = Handle();
  SendMessage(h, WM_SETFONT, reinterpret_cast<WPARAM>(&Font().Handle()), 0);
  if (m_itemHeight > 0) SendMessage(h, LB_SETITEMHEIGHT, 0, m_itemHeight);
  if (m_columns > 0) SendMessage(h, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(1, ClientWidth() / m_columns)), 0);
  SendMessage(h, WM_SETREDRAW, 0, 0);
  for (int i = 0; i < m_items->Count(); ++i) {
    std::string text = m_items->Get(i);
    SendMessage(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessage(h, WM_SETREDRAW, 1, 0);
  if (m_multiSelect) {
    for (std::size_t i = 0; i < m_savedSelection.size() && static_cast<int>(i) < m_items->Count(); ++i)
      if (m_savedSelection[i]) SendMessage(h, LB_SETSEL, 1, static_cast<LPARAM>(i));
  } else if (m_savedIndex >= 0) {
    SendMessage(h, LB_SETCURSEL, static_cast<WPARAM>(m_savedIndex), 0);
  }
  SendMessage(h, LB_SETTOPINDEX, static_cast<WPARAM>(m_savedTop), 0);
}

void TCustomListBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == LBN_SELCHANGE) Click();
      else if (HIWORD(m.WParam) == LBN_DBLCLK) DblClick();
      return;
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      TOwnerDrawState state = 0;
      if (dis->itemState & ODS_SELECTED) state |= odSelected;
      if (dis->itemState & ODS_FOCUS) state |= odFocused;
      if (dis->itemState & (ODS_DISABLED | ODS_GRAYED)) state |= odDisabled;
      auto& canvas = static_cast<TControlCanvas&>(Canvas());
      canvas.BeginPaint(dis->hDC);
      try {
        if (dis->itemID != static_cast<UINT>(-1)) DrawItem(static_cast<int>(dis->itemID), dis->rcItem, state);
      } catch (...) {
        canvas.EndPaint();
        throw;
      }
      canvas.EndPaint();
      m.Result = TRUE;
      return;
    }
    case WM_DESTROY:
      if (HandleAllocated()) {
        m_savedIndex = static_cast<int>(SendMessage(Handle(), LB_GETCURSEL, 0, 0));
        m_savedTop = static_cast<int>(SendMessage(Handle(), LB_GETTOPINDEX, 0, 0));
        m_savedSelection.assign(static_cast<std::size_t>(m_items->Count()), false);
        if (m_multiSelect)
          for (int i = 0; i < m_items->Count(); ++i)
            m_savedSelection[static_cast<std::size_t>(i)] = SendMessage(Handle(), LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
      }
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

TCanvas& TCustomListBox::Canvas() {
  if (!m_canvas) m_canvas = std::make_unique<TControlCanvas>(this);
  return *m_canvas;
}

void TCustomListBox::DrawItem(int index, Rect rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  TCanvas& c = Canvas();
  c.Brush().SetColor((state & odSelected) ? clHighlight : GetColor());
  c.FillRect(rect);
  c.SetFont(Font());
  if (state & odSelected) c.Font().SetColor(clHighlightText);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  Rect text = rect;
  text.left += 2;
  c.DrawText(m_items->Get(index), text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (state & odFocused) c.DrawFocusRect(rect);
}

void TCustomListBox::FontChanged() {
  TWinControl::FontChanged();
  if (HandleAllocated()) SendMessage(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(&Font().Handle()), 1);
}

bool TCustomListBox::WantsKey(WORD key, TShiftState) const {
  return key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT || key == VK_PRIOR ||
         key == VK_NEXT || key == VK_HOME || key == VK_END;
}

int TCustomListBox::ItemIndex() const {
  if (!HandleAllocated()) return m_savedIndex;
  if (m_multiSelect) return m_items->Count() ? static_cast<int>(Send(LB_GETCARETINDEX, 0, 0)) : -1;
  return static_cast<int>(Send(LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int index) {
  if (index < -1 || index >= m_items->Count()) index = -1;
  if (!HandleAllocated()) {
    m_savedIndex = index;
    return;
  }
  if (m_multiSelect) Send(LB_SETCARETINDEX, static_cast<WPARAM>(index), 0);
  else Send(LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TCustomListBox::SetSorted(bool on) {
  if (on == Sorted()) return;
  m_items->List().SetSorted(on);
  RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool on) {
  if (on == m_multiSelect) return;
  m_multiSelect = on;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool on) {
  if (on == m_extendedSelect) return;
  m_extendedSelect = on;
  RecreateWnd();
}

bool TCustomListBox::Selected(int index) const {
  if (index < 0 || index >= m_items->Count())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  if (!HandleAllocated()) {
    if (m_multiSelect) return static_cast<std::size_t>(index) < m_savedSelection.size() && m_savedSelection[static_cast<std::size_t>(index)];
    return index == m_savedIndex;
  }
  return Send(LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void TCustomListBox::SetSelected(int index, bool on) {
  if (index < 0 || index >= m_items->Count())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  if (!m_multiSelect) {
    if (on) SetItemIndex(index);
    else if (ItemIndex() == index) SetItemIndex(-1);
    return;
  }
  if (!HandleAllocated()) {
    m_savedSelection.resize(static_cast<std::size_t>(m_items->Count()), false);
    m_savedSelection[static_cast<std::size_t>(index)] = on;
    return;
  }
  Send(LB_SETSEL, on ? 1 : 0, index);
}

int TCustomListBox::SelCount() const {
  if (!m_multiSelect) return ItemIndex() >= 0 ? 1 : 0;
  if (!HandleAllocated()) return static_cast<int>(std::count(m_savedSelection.begin(), m_savedSelection.end(), true));
  return static_cast<int>(Send(LB_GETSELCOUNT, 0, 0));
}

int TCustomListBox::TopIndex() const { return HandleAllocated() ? static_cast<int>(Send(LB_GETTOPINDEX, 0, 0)) : m_savedTop; }

void TCustomListBox::SetTopIndex(int index) {
  if (!HandleAllocated()) {
    m_savedTop = std::max(0, index);
    return;
  }
  Send(LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, index)), 0);
}

int TCustomListBox::ItemHeight() const {
  if (HandleAllocated()) return static_cast<int>(Send(LB_GETITEMHEIGHT, 0, 0));
  return m_itemHeight > 0 ? m_itemHeight : Font().Handle().Metrics().height;
}

void TCustomListBox::SetItemHeight(int h) {
  if (h < 1) return;
  m_itemHeight = h;
  if (HandleAllocated()) {
    Send(LB_SETITEMHEIGHT, 0, h);
    Invalidate();
  }
}

void TCustomListBox::SetStyle(TListBoxStyle s) {
  if (s == m_style) return;
  m_style = s;
  RecreateWnd();
}

void TCustomListBox::SetColumns(int n) {
  n = std::max(0, n);
  if (n == m_columns) return;
  m_columns = n;
  RecreateWnd();
}

int TCustomListBox::ItemAtPos(Point p, bool existing) const {
  LRESULT r = Send(LB_ITEMFROMPOINT, 0, PointToLParam(p));
  int index = LOWORD(static_cast<std::uintptr_t>(r));
  bool outside = HIWORD(static_cast<std::uintptr_t>(r)) != 0;
  if (index >= m_items->Count()) return existing ? -1 : m_items->Count();
  if (outside && existing) return -1;
  return index;
}

Rect TCustomListBox::ItemRect(int index) const {
  Rect r;
  Send(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

TPersistent* TCustomListBox::PropertyObject(std::string_view name) {
  if (SameText(name, "Items")) return m_items.get();
  return TWinControl::PropertyObject(name);
}

bool TCustomListBox::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "ItemIndex")) SetItemIndex(v.AsInt());
  else if (SameText(name, "Sorted")) SetSorted(v.AsBool());
  else if (SameText(name, "MultiSelect")) SetMultiSelect(v.AsBool());
  else if (SameText(name, "ExtendedSelect")) SetExtendedSelect(v.AsBool());
  else if (SameText(name, "ItemHeight")) SetItemHeight(v.AsInt());
  else if (SameText(name, "Columns")) SetColumns(v.AsInt());
  else if (SameText(name, "Style"))
    SetStyle(static_cast<TListBoxStyle>(v.AsEnum({{"lbStandard", 0}, {"lbOwnerDrawFixed", 1}})));
  else if (SameText(name, "OnDrawItem")) OnDrawItem = reader.ReadHandler<TDrawItemEvent>(v);
  else return TWinControl::ReadProperty(name, v, reader);
  return true;
}

// The drop-down of a combo box: a popup that never takes the activation, holding a list.
class TComboDropDown : public TCustomControl {
 public:
  explicit TComboDropDown(TComboBox& combo) : TCustomControl(nullptr), m_combo(combo) {
    TControl::SetVisible(false);
    list = new TListBox(this);
    list->SetParent(this);
    list->SetAlign(TAlign::alClient);
    list->SetTabStop(false);
    list->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState, int x, int y) {
      if (button == TMouseButton::mbLeft && list->ClientRect().Contains({x, y}) && m_combo.HandleAllocated())
        PostMessage(m_combo.Handle(), CM_COMBOCLOSEUP, 1, 0);
    };
  }
  TListBox* list = nullptr;

 protected:
  void CreateParams(TCreateParams& p) override {
    TCustomControl::CreateParams(p);
    p.parent = nullptr;
    p.style = WS_POPUP;
    p.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  }

 private:
  TComboBox& m_combo;
};

// TComboBox

TComboBox::TComboBox(TComponent* owner) : TCustomControl(owner), m_items(std::make_unique<TStringList>()) {
  m_controlStyle = csCaptureMouse | csSetCaption | csDoubleClicks | csOpaque;
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 145, 21);
  m_items->OnChange = [this](TObject*) {
    if (m_itemIndex >= m_items->Count()) m_itemIndex = -1;
    Invalidate();
  };
}

TComboBox::~TComboBox() {
  m_items->OnChange = nullptr;
  if (m_dropDown) {
    TComboDropDown* d = m_dropDown;
    m_dropDown = nullptr;
    delete d;
  }
  if (m_hook && WindowSystem::HasCurrent()) WindowSystem::Current().RemoveMessageHook(m_hook);
}

Rect TComboBox::ButtonRect() const {
  Rect r = ClientRect().Inflated(-2, -2);
  int w = std::min(r.Width(), GetSystemMetrics(SM_CXVSCROLL));
  return {r.right - w, r.top, r.right, r.bottom};
}

void TComboBox::Select(int index, bool byUser) {
  // No item: nothing changes and nothing is told.
  if (index < 0 || index >= m_items->Count()) return;
  m_itemIndex = index;
  std::string text = m_items->Get(index);
  std::shared_ptr<bool> alive = m_alive;
  if (text != Text()) SetText(text);
  else Invalidate();
  if (*alive && byUser) Click();
}

void TComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= m_items->Count()) {
    // −1 or beyond the list selects nothing, keeps the text, and tells no one.
    m_itemIndex = -1;
    Invalidate();
    return;
  }
  Select(index, false);
}

void TComboBox::TextChanged() {
  Invalidate();
  Fire(OnChange, this);
}

bool TComboBox::DroppedDown() const { return m_dropDown != nullptr; }

TCustomListBox* TComboBox::DropDownList() const { return m_dropDown ? m_dropDown->list : nullptr; }

void TComboBox::SetDroppedDown(bool on) {
  if (on == DroppedDown()) return;
  if (!on) {
    CloseUp(false);
    return;
  }
  if (!HandleAllocated() || !Showing() || m_items->Count() == 0) return;
  Fire(OnDropDown, this);
  m_dropDown = new TComboDropDown(*this);
  TListBox* list = m_dropDown->list;
  list->Font().Assign(&Font());
  list->Items().Assign(m_items.get());
  int rows = std::min(m_dropDownCount, m_items->Count());
  int itemHeight = list->ItemHeight();
  int h = rows * itemHeight + 4;  // the list's sunken edge
  Point origin = ClientToScreen({0, m_height});
  Rect work = Screen->WorkAreaRect();
  if (origin.y + h > work.bottom) origin.y = ClientToScreen({0, 0}).y - h;
  m_dropDown->SetBounds(origin.x, origin.y, m_width, h);
  m_dropDown->HandleNeeded();
  list->SetItemIndex(m_itemIndex);
  if (m_itemIndex >= 0) list->SetTopIndex(std::max(0, m_itemIndex - rows + 1));
  SetWindowPos(m_dropDown->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ShowWindow(m_dropDown->Handle(), SW_SHOWNOACTIVATE);
  m_dropDown->SetVisible(true);
  // A press anywhere but the list and the box closes the list.
  HWND self = Handle();
  TComboDropDown* dropDown = m_dropDown;
  m_hook = WindowSystem::Current().SetMessageHook([this, self, dropDown](MSG& msg) {
    bool press = msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN || msg.message == WM_MBUTTONDOWN ||
                 msg.message == WM_NCLBUTTONDOWN || msg.message == WM_NCRBUTTONDOWN;
    if (press && m_dropDown == dropDown && msg.hwnd != self && dropDown->HandleAllocated() &&
        msg.hwnd != dropDown->Handle() && !IsChild(dropDown->Handle(), msg.hwnd))
      PostMessage(self, CM_COMBOCLOSEUP, 0, 0);
    return false;
  });
  Invalidate();
}

void TComboBox::CloseUp(bool accept) {
  if (!m_dropDown) return;
  int index = m_dropDown->list->ItemIndex();
  TComboDropDown* d = m_dropDown;
  m_dropDown = nullptr;
  if (m_hook) {
    WindowSystem::Current().RemoveMessageHook(m_hook);
    m_hook = 0;
  }
  d->BeforeDestruction();
  delete d;
  // The list may have taken the keyboard; it comes back to the box.
  if (HandleAllocated() && CanFocus() && Showing() && !Focused()) ::SetFocus(Handle());
  Invalidate();
  std::shared_ptr<bool> alive = m_alive;
  if (accept && index >= 0) Select(index, true);
  if (*alive) Fire(OnCloseUp, this);
}

void TComboBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_COMBOCLOSEUP:
      CloseUp(m.WParam != 0);
      return;
    case WM_KILLFOCUS: {
      HWND to = reinterpret_cast<HWND>(m.WParam);
      if (m_dropDown && m_dropDown->HandleAllocated() && to != m_dropDown->Handle() &&
          !IsChild(m_dropDown->Handle(), to))
        PostMessage(Handle(), CM_COMBOCLOSEUP, 0, 0);
      Invalidate();
      break;
    }
    case WM_SETFOCUS:
      Invalidate();
      break;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

void TComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft || !Enabled()) return;
  if (CanFocus() && !Focused() && HandleAllocated()) ::SetFocus(Handle());
  SetDroppedDown(!DroppedDown());
}

bool TComboBox::WantsKey(WORD key, TShiftState) const {
  return key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT || key == VK_HOME ||
         key == VK_END || key == VK_F4 || (m_dropDown && (key == VK_RETURN || key == VK_ESCAPE));
}

void TComboBox::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == 0) return;
  if (key == VK_F4 || ((shift & ssAlt) && (key == VK_DOWN || key == VK_UP))) {
    SetDroppedDown(!DroppedDown());
    key = 0;
    return;
  }
  if (m_dropDown) {
    TListBox* list = m_dropDown->list;
    int i = list->ItemIndex();
    int last = m_items->Count() - 1;
    switch (key) {
      case VK_RETURN: CloseUp(true); key = 0; return;
      case VK_ESCAPE: CloseUp(false); key = 0; return;
      case VK_UP: list->SetItemIndex(std::max(0, i - 1)); break;
      case VK_DOWN: list->SetItemIndex(std::min(last, i + 1)); break;
      case VK_HOME: list->SetItemIndex(0); break;
      case VK_END: list->SetItemIndex(last); break;
      default: return;
    }
    key = 0;
    return;
  }
  int last = m_items->Count() - 1;
  if (last < 0) return;
  int next = m_itemIndex;
  switch (key) {
    case VK_UP:
    case VK_LEFT: next = std::max(0, m_itemIndex - 1); break;
    case VK_DOWN:
    case VK_RIGHT: next = std::min(last, m_itemIndex + 1); break;
    case VK_PRIOR: next = std::max(0, m_itemIndex - m_dropDownCount); break;
    case VK_NEXT: next = std::min(last, m_itemIndex + m_dropDownCount); break;
    case VK_HOME: next = 0; break;
    case VK_END: next = last; break;
    default: return;
  }
  key = 0;
  if (next != m_itemIndex) Select(next, true);
}

void TComboBox::Paint() {
  TCanvas& c = Canvas();
  Rect r = ClientRect();
  c.Brush().SetColor(Enabled() ? GetColor() : clBtnFace);
  c.FillRect(r);
  Rect edge = r;
  Frame3D(c, edge, clBtnShadow, clBtnHighlight, 1);
  Frame3D(c, edge, cl3DDkShadow, cl3DLight, 1);
  Rect button = ButtonRect();
  c.Brush().SetColor(clBtnFace);
  c.FillRect(button);
  Rect bf = button;
  if (m_dropDown) {
    Frame3D(c, bf, clBtnShadow, clBtnShadow, 1);
  } else {
    Frame3D(c, bf, clBtnHighlight, cl3DDkShadow, 1);
    Frame3D(c, bf, clBtnFace, clBtnShadow, 1);
  }
  int cx = (button.left + button.right) / 2 + (m_dropDown ? 1 : 0);
  int cy = (button.top + button.bottom) / 2 + (m_dropDown ? 1 : 0);
  Color ink = Enabled() ? clBtnText : clGrayText;
  c.Pen().SetColor(ink);
  c.Brush().SetColor(ink);
  c.Polygon({{cx - 3, cy - 1}, {cx + 3, cy - 1}, {cx, cy + 2}});
  Rect text(edge.left + 1, edge.top + 1, button.left - 1, edge.bottom - 1);
  bool focused = Focused() && !m_dropDown;
  if (focused) {
    c.Brush().SetColor(clHighlight);
    c.FillRect(text);
  }
  c.SetFont(Font());
  if (!Enabled()) c.Font().SetColor(clGrayText);
  else if (focused) c.Font().SetColor(clHighlightText);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  Rect t = text;
  t.left += 2;
  c.DrawText(Text(), t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (focused) c.DrawFocusRect(text);
}

TPersistent* TComboBox::PropertyObject(std::string_view name) {
  if (SameText(name, "Items")) return m_items.get();
  return TCustomControl::PropertyObject(name);
}

bool TComboBox::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "ItemIndex")) SetItemIndex(v.AsInt());
  else if (SameText(name, "Sorted")) SetSorted(v.AsBool());
  else if (SameText(name, "DropDownCount")) SetDropDownCount(v.AsInt());
  else if (SameText(name, "Style")) v.AsEnum({{"csDropDownList", 0}});
  else if (SameText(name, "OnChange")) OnChange = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnDropDown")) OnDropDown = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnCloseUp")) OnCloseUp = reader.ReadHandler<TNotifyEvent>(v);
  else return TCustomControl::ReadProperty(name, v, reader);
  return true;
}
