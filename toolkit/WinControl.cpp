// TWinControl: the window made on demand, children and alignment, focus, keys and Tab order.
#include <algorithm>

#include "platform/std/StdConst.h"
#include "platform/win/WinApi.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/Reader.h"

void FreeFetchedCanvases();  // Controls.cpp

namespace {

constexpr const char* kWindowClass = "KavriToolkitWindow";
constexpr const char* kControlProp = "KavriControl";

// The control whose window is being made: its first message binds the window to it.
TWinControl* g_creating = nullptr;
int g_dispatchDepth = 0;

LRESULT InitWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

void EnsureWindowClass() {
  WindowSystem& ws = WindowSystem::Current();
  if (ws.FindClass(kWindowClass)) return;
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ::WindowProc(&InitWndProc);
  wc.hCursor = LoadStandardCursor(IDC_ARROW);
  wc.hbrBackground = clNone;
  wc.lpszClassName = kWindowClass;
  ws.RegisterClass(wc);
}

}  // namespace

struct TWinControlAccess {
  static void Bind(TWinControl* c, HWND hwnd) { c->InitWindowProc(hwnd); }
  static LRESULT Dispatch(TWinControl* c, HWND h, UINT m, WPARAM w, LPARAM l) {
    return c->MainWndProc(h, m, w, l);
  }
};

namespace {

LRESULT InitWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (TWinControl* c = g_creating) {
    g_creating = nullptr;
    TWinControlAccess::Bind(c, hwnd);
    return TWinControlAccess::Dispatch(c, hwnd, msg, wp, lp);
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
  SetColor(clBtnFace);
  SetParentColor(false);
}

TWinControl::~TWinControl() {
  // Marked first, so the children leaving do not lay this control out again.
  BeforeDestruction();
  // Children go with their parent, whoever owns them.
  while (!m_controls.empty()) {
    TControl* child = m_controls.back();
    child->BeforeDestruction();
    delete child;  // leaves this list in its destructor
  }
  if (m_handle) {
    HWND h = m_handle;
    DestroyWindow(h);
    m_handle = nullptr;
  }
}

TWinControl* TWinControl::FindControl(HWND hwnd) {
  if (!hwnd || !IsWindow(hwnd)) return nullptr;
  return static_cast<TWinControl*>(GetProp(hwnd, kControlProp));
}

void TWinControl::InitWindowProc(HWND hwnd) {
  m_handle = hwnd;
  SetProp(hwnd, kControlProp, this);
  m_ownProc = ::WindowProc(WindowProc::Callable(
      [this](HWND h, UINT m, WPARAM w, LPARAM l) { return MainWndProc(h, m, w, l); }));
  WNDPROC previous = WindowSystem::Current().SetWindowProc(hwnd, m_ownProc);
  // Our own class starts with the binding procedure; its default is the system's.
  m_defWndProc = (previous == ::WindowProc(&InitWndProc)) ? ::WindowProc(&DefWindowProc) : previous;
}

LRESULT TWinControl::MainWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TMessage m{msg, wp, lp, 0};
  std::shared_ptr<bool> alive = m_alive;
  ++g_dispatchDepth;
  try {
    Dispatch(m);
  } catch (...) {
    if (Application) Application->HandleException(*alive ? this : nullptr);
  }
  --g_dispatchDepth;
  if (g_dispatchDepth == 0) FreeFetchedCanvases();
  if (*alive && (msg == WM_NCDESTROY) && hwnd == m_handle) {
    RemoveProp(hwnd, kControlProp);
    m_handle = nullptr;
  }
  return m.Result;
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.caption = m_text;
  p.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (Visible()) p.style |= WS_VISIBLE;
  if (!Enabled()) p.style |= WS_DISABLED;
  if (m_tabStop) p.style |= WS_TABSTOP;
  p.x = m_left;
  p.y = m_top;
  p.width = m_width;
  p.height = m_height;
  p.parent = m_parent ? m_parent->m_handle : nullptr;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if ((p.style & WS_CHILD) && !p.parent)
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  WindowSystem& ws = WindowSystem::Current();
  m_controlState |= csCreating;
  HWND hwnd = nullptr;
  if (p.windowClass.empty()) {
    EnsureWindowClass();
    g_creating = this;
    hwnd = ws.CreateWindowEx(p.exStyle, kWindowClass, p.caption, p.style, p.x, p.y, p.width,
                             p.height, p.parent, 0, nullptr);
    g_creating = nullptr;
  } else {
    hwnd = ws.CreateWindowEx(p.exStyle, p.windowClass, p.caption, p.style, p.x, p.y, p.width,
                             p.height, p.parent, 0, nullptr);
    if (hwnd) InitWindowProc(hwnd);
  }
  m_controlState &= ~csCreating;
  if (!hwnd || !ws.IsWindow(hwnd)) {
    m_handle = nullptr;
    throw EInvalidOperation("Error creating window for '" + Name() + "'");
  }
  m_handle = hwnd;
  UpdateBoundsFromWindow();
}

void TWinControl::DestroyWnd() {
  if (!m_handle) return;
  m_controlState |= csDestroyingHandle;
  DestroyWindow(m_handle);
  m_controlState &= ~csDestroyingHandle;
  m_handle = nullptr;
}

void TWinControl::CreateWindowHandleDone() {}

void TWinControl::CreateHandle() {
  if (m_handle) return;
  if (m_parent) {
    m_parent->HandleNeeded();
    if (m_handle) return;  // the parent made its children's windows too
  }
  CreateWnd();
  // Windows of the children, bottom first, so their z-order follows the list.
  for (TControl* c : std::vector<TControl*>(m_controls))
    if (auto* w = dynamic_cast<TWinControl*>(c); w && !w->m_handle) w->CreateHandle();
  CreateWindowHandleDone();
  Realign();
}

HWND TWinControl::Handle() {
  if (!m_handle) CreateHandle();
  return m_handle;
}

void TWinControl::DestroyHandle() { DestroyWnd(); }

void TWinControl::RecreateWnd() {
  if (!m_handle) return;
  bool focused = Focused();
  m_controlState |= csRecreating;
  DestroyHandle();
  CreateHandle();
  if (focused && CanFocus()) ::SetFocus(m_handle);
  m_controlState &= ~csRecreating;
}

void TWinControl::UpdateBoundsFromWindow() {
  if (!m_handle) return;
  Rect r = m_handle->Bounds();
  bool sized = r.Width() != m_width || r.Height() != m_height;
  bool moved = r.left != m_left || r.top != m_top;
  if (!sized && !moved) return;
  UpdateBoundsRect(r);
  if (sized) {
    Realign();
    Resize();
  }
}

std::string TWinControl::Text() const {
  if (m_handle) return WindowSystem::Current().GetWindowText(m_handle);
  return m_text;
}

void TWinControl::SetText(std::string_view text) {
  if (Text() == text) return;
  m_text = text;
  if (m_handle) WindowSystem::Current().SetWindowText(m_handle, text);
  TextChanged();
  Perform(CM_TEXTCHANGED);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == m_left && top == m_top && width == m_width && height == m_height) return;
  if (m_handle) {
    SetWindowPos(m_handle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateBoundsFromWindow();
  } else {
    bool sized = width != m_width || height != m_height;
    UpdateBoundsRect(Rect::FromSize(left, top, width, height));
    if (sized) {
      Realign();
      Resize();
    }
  }
  UpdateAnchorRules();
  RequestAlign();
}

Rect TWinControl::ClientRect() const {
  if (m_handle) return WindowSystem::Current().GetClientRect(m_handle);
  return TControl::ClientRect();
}

Rect TWinControl::AdjustClientRect() const { return ClientRect(); }

Point TWinControl::ClientOrigin() const {
  if (m_handle) return WindowSystem::Current().ClientToScreen(m_handle, {0, 0});
  return TControl::ClientOrigin();
}

void TWinControl::SetVisible(bool on) {
  if (on == Visible()) return;
  TControl::SetVisible(on);
}

void TWinControl::VisibleChanged() {
  if (m_handle) ShowWindow(m_handle, Visible() ? SW_SHOWNA : SW_HIDE);
}

bool TWinControl::Showing() const {
  return m_handle && WindowSystem::Current().IsWindowVisible(m_handle);
}

void TWinControl::SetEnabled(bool on) { TControl::SetEnabled(on); }

void TWinControl::EnabledChanged() {
  if (m_handle) EnableWindow(m_handle, Enabled());
  NotifyControls(CM_ENABLEDCHANGED);
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::ColorChanged() {
  TControl::ColorChanged();
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::NotifyControls(UINT msg) {
  for (TControl* c : std::vector<TControl*>(m_controls)) c->Perform(msg);
}

void TWinControl::Invalidate() {
  if (m_handle) InvalidateRect(m_handle, nullptr, !(m_controlStyle & csOpaque));
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::Update() {
  if (m_handle) UpdateWindow(m_handle);
}

void TWinControl::InsertControl(TControl* control) {
  m_controls.push_back(control);
  control->m_parent = this;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    m_tabList.push_back(w);
    if (m_handle && !HasState(csLoading) && !w->HasState(csLoading)) w->CreateHandle();
  }
  control->UpdateAnchorRules();
  control->Invalidate();
  if (control->Align() != TAlign::alNone) Realign();
  else ChildLayoutChanged(control);
}

void TWinControl::RemoveControl(TControl* control) {
  if (m_mouseCapture == control) {
    m_mouseCapture = nullptr;
    if (m_handle && GetCapture() == m_handle) ReleaseCapture();
  }
  control->Invalidate();
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    m_tabList.erase(std::remove(m_tabList.begin(), m_tabList.end(), w), m_tabList.end());
    // A windowed child leaves with its window; it is made again under the next parent.
    if (w->m_handle && !HasState(csDestroying)) w->DestroyHandle();
  }
  m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), control), m_controls.end());
  control->m_parent = nullptr;
  if (!HasState(csDestroying) && control->Align() != TAlign::alNone) Realign();
  else if (!HasState(csDestroying)) ChildLayoutChanged(control);
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(Point p, bool allowDisabled, bool graphicOnly) const {
  for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
    TControl* c = *it;
    if (graphicOnly && dynamic_cast<TWinControl*>(c)) continue;
    if (!c->Visible() || (!allowDisabled && !c->Enabled())) continue;
    if (c->BoundsRect().Contains(p)) return c;
  }
  return nullptr;
}

void TWinControl::DisableAlign() { ++m_alignLevel; }

void TWinControl::EnableAlign() {
  if (m_alignLevel > 0 && --m_alignLevel == 0 && m_alignPending) Realign();
}

void TWinControl::Realign() {
  if (m_alignLevel > 0 || HasState(csLoading) || HasState(csDestroying)) {
    m_alignPending = true;
    return;
  }
  if (m_inAlign) return;
  m_alignPending = false;
  AlignAll();
}

void TWinControl::AlignAll() {
  m_inAlign = true;
  try {
    Rect r = AdjustClientRect();
    AlignControls(r);
  } catch (...) {
    m_inAlign = false;
    throw;
  }
  m_inAlign = false;
}

void TWinControl::AlignControls(Rect& rect) {
  static constexpr TAlign kOrder[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft,
                                      TAlign::alRight, TAlign::alClient};
  Size clientSize = rect.GetSize();
  for (TAlign align : kOrder) {
    std::vector<TControl*> list;
    for (TControl* c : m_controls)
      if (c->Align() == align && c->Visible()) list.push_back(c);
    // Controls of one alignment are laid out in the order of their positions; equal
    // positions keep the order the controls were inserted in.
    std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
      switch (align) {
        case TAlign::alTop: return a->Top() < b->Top();
        case TAlign::alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
        case TAlign::alLeft: return a->Left() < b->Left();
        case TAlign::alRight: return a->Left() + a->Width() > b->Left() + b->Width();
        default: return false;
      }
    });
    for (TControl* c : list) {
      switch (align) {
        case TAlign::alTop:
          c->SetBounds(rect.left, rect.top, rect.Width(), c->Height());
          rect.top += c->Height();
          break;
        case TAlign::alBottom:
          c->SetBounds(rect.left, rect.bottom - c->Height(), rect.Width(), c->Height());
          rect.bottom -= c->Height();
          break;
        case TAlign::alLeft:
          c->SetBounds(rect.left, rect.top, c->Width(), rect.Height());
          rect.left += c->Width();
          break;
        case TAlign::alRight:
          c->SetBounds(rect.right - c->Width(), rect.top, c->Width(), rect.Height());
          rect.right -= c->Width();
          break;
        default:
          c->SetBounds(rect.left, rect.top, rect.Width(), rect.Height());
          break;
      }
      // Aligned controls still exceeding the area leave none for the next.
      if (rect.right < rect.left) rect.right = rect.left;
      if (rect.bottom < rect.top) rect.bottom = rect.top;
    }
  }
  for (TControl* c : std::vector<TControl*>(m_controls))
    if (c->Align() == TAlign::alNone && c->Anchors() != (akLeft | akTop))
      c->AnchorToParentSize(clientSize);
}

// Focus and Tab order

void TWinControl::SetTabStop(bool on) {
  if (on == m_tabStop) return;
  m_tabStop = on;
  if (m_handle) {
    LONG_PTR style = GetWindowLong(m_handle, GWL_STYLE);
    SetWindowLong(m_handle, GWL_STYLE, on ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
}

int TWinControl::TabOrder() const {
  if (!m_parent) return m_pendingTabOrder;
  const auto& list = m_parent->m_tabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!m_parent || HasState(csLoading)) {
    m_pendingTabOrder = order;
    return;
  }
  auto& list = m_parent->m_tabList;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  order = std::clamp(order, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + order, this);
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return m_handle && GetFocus() == m_handle; }

void TWinControl::SetFocus() {
  TCustomForm* form = GetParentForm();
  if (form && !form->Showing()) {
    // Not shown yet: remembered, and focused when the form shows.
    if (form != this) form->SetActiveControl(this);
    return;
  }
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

void TWinControl::CollectTabControls(std::vector<TWinControl*>& out) const {
  for (TWinControl* c : m_tabList) {
    out.push_back(c);
    c->CollectTabControls(out);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward,
                                          bool checkTabStop) const {
  std::vector<TWinControl*> all;
  CollectTabControls(all);
  if (all.empty()) return nullptr;
  int n = static_cast<int>(all.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (all[static_cast<std::size_t>(i)] == current) start = i;
  for (int step = 1; step <= n; ++step) {
    int i = start < 0 ? (forward ? step - 1 : n - step)
                      : ((start + (forward ? step : -step)) % n + n) % n;
    TWinControl* c = all[static_cast<std::size_t>(i)];
    if (c == current) continue;
    if (!c->CanFocus() || (checkTabStop && !c->TabStop())) continue;
    // A container that holds focusable controls passes the focus on rather than taking it.
    return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, forward, checkTabStop)) next->SetFocus();
}

void TWinControl::DoEnter() { Fire(OnEnter, this); }
void TWinControl::DoExit() { Fire(OnExit, this); }

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char32_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

bool TWinControl::WantsKey(WORD, TShiftState) const { return false; }

void TWinControl::HandleKey(TMessage& m) {
  TCustomForm* form = GetParentForm();
  std::shared_ptr<bool> alive = m_alive;
  if (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN || m.Msg == WM_KEYUP || m.Msg == WM_SYSKEYUP) {
    WORD key = static_cast<WORD>(m.WParam);
    TShiftState shift = KeyboardShiftState();
    bool down = m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN;
    if (down) {
      if (form && form->IsShortCut(key, shift, this)) return;
      if (!*alive) return;
      if (form && form != this && form->KeyPreview()) form->PreviewKeyDown(key, shift);
      if (!*alive) return;
      if (key) KeyDown(key, shift);
      if (!*alive) return;
      if (key == 0) return;
      bool tabNavigation = key == VK_TAB && !(shift & (ssCtrl | ssAlt)) && !WantsKey(key, shift);
      if (tabNavigation && form) {
        form->SelectNext(this == form ? form->ActiveControl() : this, !(shift & ssShift), true);
        return;
      }
      if ((key == VK_RETURN || key == VK_ESCAPE) && !WantsKey(key, shift) && form &&
          form->Perform(CM_DIALOGKEY, key, 0) != 0)
        return;
      if (!*alive) return;
    } else {
      KeyUp(key, shift);
      if (!*alive || key == 0) return;
    }
    m.WParam = key;
    DefaultHandler(m);
    return;
  }
  if (m.Msg == WM_SYSCHAR) {
    // Alt with a character: the control whose caption has it as accelerator acts.
    if (form && form->Perform(CM_DIALOGCHAR, m.WParam, 0)) return;
    DefaultHandler(m);
    return;
  }
  // WM_CHAR
  char32_t ch = static_cast<char32_t>(m.WParam);
  // The Tab that moved the focus arrives as a character at the newly focused control.
  if (ch == U'\t' && !WantsKey(VK_TAB, KeyboardShiftState())) return;
  if (form && form != this && form->KeyPreview()) form->PreviewKeyPress(ch);
  if (!*alive || ch == 0) return;
  KeyPress(ch);
  if (!*alive || ch == 0) return;
  // A printable character typed where no text is taken is an accelerator of the form,
  // as Alt with it would be (not Space, which presses the focused button).
  if (form && ch > U' ' && ch != 0x7F && !TakesCharacters()) {
    if (form->Perform(CM_DIALOGCHAR, ch, 0)) return;
    if (!*alive) return;
  }
  m.WParam = ch;
  DefaultHandler(m);
}

bool TWinControl::TakesCharacters() {
  if (OnKeyPress) return true;
  return m_handle && (SendMessage(m_handle, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) != 0;
}

// Messages

bool TWinControl::RouteMouseToChild(TMessage& m) {
  Point p = LParamToPoint(m.LParam);
  TControl* target = m_mouseCapture;
  if (!target) target = ControlAtPos(p, false, true);
  bool down = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_MBUTTONDOWN ||
              m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK;
  bool up = m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP;
  if (!target) return false;
  if (m.Msg == WM_MOUSEMOVE && Application) {
    Application->MouseOver(m_mouseCapture ? ControlAtPos(p, false, true) : target);
  }
  if (down && (target->ControlStyle() & csCaptureMouse)) {
    m_mouseCapture = target;
    SetCapture(m_handle);
  }
  if (up) {
    m_mouseCapture = nullptr;
    if (GetCapture() == m_handle) ReleaseCapture();
  }
  TMessage cm = m;
  cm.LParam = PointToLParam({p.x - target->Left(), p.y - target->Top()});
  target->Dispatch(cm);
  m.Result = cm.Result;
  return true;
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: {
      if (m_defWndProc != ::WindowProc(&DefWindowProc)) break;  // a platform control paints
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(m_handle, &ps);
      if (dc) {
        try {
          PaintWindow(dc);
          PaintControls(dc);
        } catch (...) {
          EndPaint(m_handle, &ps);
          throw;
        }
      }
      EndPaint(m_handle, &ps);
      return;
    }
    case WM_ERASEBKGND: {
      if (m_defWndProc != ::WindowProc(&DefWindowProc)) break;
      if (!(m_controlStyle & csOpaque)) {
        if (HDC dc = reinterpret_cast<HDC>(m.WParam)) dc->FillRect(ClientRect(), ColorToRGB(GetColor()));
      }
      m.Result = 1;
      return;
    }
    case WM_SIZE:
    case WM_MOVE:
      DefaultHandler(m);
      UpdateBoundsFromWindow();
      return;
    case WM_WINDOWPOSCHANGED:
      DefaultHandler(m);
      UpdateBoundsFromWindow();
      return;
    case WM_SETFOCUS: {
      DefaultHandler(m);
      if (TCustomForm* form = GetParentForm(); form && form != this) form->FocusChanged(this);
      return;
    }
    case WM_DESTROY:
      // The text lives in the window; keep it for the next window (a recreate).
      m_text = WindowSystem::Current().GetWindowText(m_handle);
      DefaultHandler(m);
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
      HandleKey(m);
      return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: {
      bool down = m.Msg != WM_MOUSEMOVE && m.Msg != WM_LBUTTONUP && m.Msg != WM_RBUTTONUP &&
                  m.Msg != WM_MBUTTONUP;
      if (down && Application) Application->CancelHint();
      if (m.Msg == WM_MOUSEMOVE) {
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = m_handle;
        TrackMouseEvent(&tme);
      }
      Point client = LParamToPoint(m.LParam);
      UINT msg = m.Msg;
      std::shared_ptr<bool> alive = m_alive;
      if (!RouteMouseToChild(m)) {
        if (msg == WM_MOUSEMOVE && Application) Application->MouseOver(this);
        if (down && (m_controlStyle & csCaptureMouse) && msg == WM_LBUTTONDOWN && m_handle)
          SetCapture(m_handle);
        TControl::WndProc(m);
        if (!*alive) return;
        if (msg == WM_LBUTTONUP && m_handle && GetCapture() == m_handle) ReleaseCapture();
        DefaultHandler(m);
      }
      if (!*alive) return;
      if (msg == WM_RBUTTONUP && m_handle) {
        Point screen = ClientToScreen(client);
        Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_handle), PointToLParam(screen));
      }
      return;
    }
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      // A child window's notice goes back to the child's own control.
      if (TWinControl* child = FindControl(reinterpret_cast<HWND>(m.LParam)); child && child != this) {
        m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
      }
      break;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      // Enter, Escape and accelerators go to whichever control inside claims them.
      for (TControl* c : std::vector<TControl*>(m_controls)) {
        if (!c->Visible() || !c->Enabled()) continue;
        if (c->Perform(m.Msg, m.WParam, m.LParam)) {
          m.Result = 1;
          return;
        }
      }
      return;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (TWinControl* child = dis ? FindControl(dis->hwndItem) : nullptr; child && child != this) {
        m.Result = child->Perform(CN_DRAWITEM, m.WParam, m.LParam);
        return;
      }
      break;
    }
    case WM_MOUSELEAVE:
      if (Application) Application->MouseLeftWindow(this);
      DefaultHandler(m);
      return;
    case WM_CONTEXTMENU: {
      // From the keyboard (-1) the menu opens at the control's middle.
      Point screen = m.LParam == -1 ? ClientToScreen({m_width / 2, m_height / 2}) : LParamToPoint(m.LParam);
      Point client = ScreenToClient(screen);
      if (TControl* child = ControlAtPos(client, false, true); child && child->DoContextPopup(screen))
        return;
      if (DoContextPopup(screen)) return;
      // A platform control (an edit) has a menu of its own; ours ask their parent.
      if (m_defWndProc != ::WindowProc(&DefWindowProc)) {
        DefaultHandler(m);
        return;
      }
      if (m_parent) m_parent->Perform(WM_CONTEXTMENU, m.WParam, PointToLParam(screen));
      return;
    }
    case WM_SETCURSOR: {
      if (LOWORD(static_cast<std::uintptr_t>(m.LParam)) == HTCLIENT) {
        Point client = ScreenToClient(WindowSystem::Current().GetCursorPos());
        TControl* c = ControlAtPos(client, true, true);
        if (!c) c = this;
        TCursor cursor = (Screen && Screen->Cursor() != crDefault) ? Screen->Cursor() : c->Cursor();
        if (cursor != crDefault) {
          ::SetCursor(CursorHandle(cursor));
          m.Result = TRUE;
          return;
        }
      }
      break;
    }
    case WM_MOUSEWHEEL: {
      bool handled = false;
      if (OnMouseWheel)
        OnMouseWheel(this, KeyboardShiftState(), GET_WHEEL_DELTA_WPARAM(m.WParam),
                     LParamToPoint(m.LParam), handled);
      if (handled) {
        m.Result = 1;
        return;
      }
      break;
    }
    default:
      break;
  }
  TControl::WndProc(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (m_handle && m_defWndProc)
    m.Result = CallWindowProc(m_defWndProc, m_handle, m.Msg, m.WParam, m.LParam);
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC dc) {
  Rect clip = dc->ClipBox();
  for (TControl* c : std::vector<TControl*>(m_controls)) {
    auto* g = dynamic_cast<TGraphicControl*>(c);
    if (!g || !g->Visible() || !g->BoundsRect().Intersects(clip)) continue;
    DCState saved(*dc);
    dc->SetViewportOrg({g->Left(), g->Top()});
    dc->IntersectClipRect(Rect(0, 0, g->Width(), g->Height()));
    auto& canvas = static_cast<TControlCanvas&>(g->Canvas());
    canvas.BeginPaint(dc);
    try {
      g->Paint();
    } catch (...) {
      canvas.EndPaint();
      throw;
    }
    canvas.EndPaint();
  }
}

void TWinControl::Loaded() {
  TControl::Loaded();
  // Tab orders read before every sibling existed take effect now.
  std::stable_sort(m_tabList.begin(), m_tabList.end(), [](TWinControl* a, TWinControl* b) {
    int oa = a->m_pendingTabOrder < 0 ? 1 << 30 : a->m_pendingTabOrder;
    int ob = b->m_pendingTabOrder < 0 ? 1 << 30 : b->m_pendingTabOrder;
    return oa < ob;
  });
  for (TWinControl* c : m_tabList) c->m_pendingTabOrder = -1;
  if (m_parent && m_parent->HandleAllocated() && !m_handle) CreateHandle();
  if (m_alignPending) Realign();
}

bool TWinControl::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "TabStop")) SetTabStop(v.AsBool());
  else if (SameText(name, "TabOrder")) SetTabOrder(v.AsInt());
  else if (SameText(name, "OnEnter")) OnEnter = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnExit")) OnExit = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnKeyDown")) OnKeyDown = reader.ReadHandler<TKeyEvent>(v);
  else if (SameText(name, "OnKeyUp")) OnKeyUp = reader.ReadHandler<TKeyEvent>(v);
  else if (SameText(name, "OnKeyPress")) OnKeyPress = reader.ReadHandler<TKeyPressEvent>(v);
  else if (SameText(name, "OnMouseWheel")) OnMouseWheel = reader.ReadHandler<TMouseWheelEvent>(v);
  else return TControl::ReadProperty(name, v, reader);
  return true;
}
