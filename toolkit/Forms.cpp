// TCustomForm, THintWindow, TApplication and TScreen.
#include "toolkit/Forms.h"

#include <algorithm>
#include <exception>

#include "platform/gfx/Font.h"
#include "platform/win/WinApi.h"
#include "toolkit/ActnList.h"
#include "toolkit/Streaming.h"

// Made once for the process and never destroyed: the forms it still owns at exit are
// left to the operating system rather than torn down after the window system is gone.
TApplication* Application = new TApplication();
TScreen* Screen = new TScreen();

namespace {

constexpr const char* kAppClass = "KavriApplication";
constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;
constexpr int kCursorHeight = 20;

LRESULT AppProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace

struct TApplicationAccess {
  static LRESULT Dispatch(HWND h, UINT m, WPARAM w, LPARAM l) {
    return Application->AppWndProc(h, m, w, l);
  }
};

namespace {
LRESULT AppProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return TApplicationAccess::Dispatch(hwnd, msg, wp, lp);
}
}  // namespace

// TCustomForm

TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner), m_icon(std::make_unique<TIcon>()) {
  TControl::SetVisible(false);
  SetParentFont(false);
  SetColor(clBtnFace);
  m_width = 320;
  m_height = 240;
  m_controlStyle |= csAcceptsControls;
  if (Application) Application->AddForm(this);
}

TCustomForm::~TCustomForm() {
  BeforeDestruction();
  if (Application) Application->RemoveForm(this);
}

void TCustomForm::Destroying() {
  TCustomControl::Destroying();
  if (!m_destroyFired) {
    m_destroyFired = true;
    // The handler runs while the form and its controls still exist; errors in it go to
    // the error box rather than out of a destructor.
    try {
      Fire(OnDestroy, this);
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
  if (Application) Application->RemoveForm(this);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == m_activeControl) m_activeControl = nullptr;
}

void TCustomForm::DeclareBindings(THandlerRegistry&) {}

void TCustomForm::InitializeForm() {
  DeclareBindings(m_bindings);
  if (const std::string* text = FindFormResource(ClassName()))
    ReadComponentResource(this, *text, &m_bindings);
  DoCreate();
  if (m_showAfterLoad) {
    m_showAfterLoad = false;
    Show();
  }
}

void TCustomForm::DoCreate() { Fire(OnCreate, this); }

void TCustomForm::Loaded() {
  TCustomControl::Loaded();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle s) {
  if (s == m_borderStyle) return;
  m_borderStyle = s;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == m_borderIcons) return;
  m_borderIcons = icons;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle s) {
  if (s == m_formStyle) return;
  m_formStyle = s;
  if (HandleAllocated())
    SetWindowPos(Handle(), s == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.parent = nullptr;
  p.style = WS_CLIPCHILDREN;
  switch (m_borderStyle) {
    case TFormBorderStyle::bsNone: p.style |= WS_POPUP; break;
    case TFormBorderStyle::bsSingle: p.style |= WS_CAPTION | WS_BORDER; break;
    case TFormBorderStyle::bsSizeable: p.style |= WS_CAPTION | WS_THICKFRAME; break;
    case TFormBorderStyle::bsDialog:
      p.style |= WS_CAPTION | WS_DLGFRAME;
      p.exStyle |= WS_EX_DLGMODALFRAME;
      break;
    case TFormBorderStyle::bsToolwindow:
      p.style |= WS_CAPTION | WS_BORDER;
      p.exStyle |= WS_EX_TOOLWINDOW;
      break;
    case TFormBorderStyle::bsSizetoolwin:
      p.style |= WS_CAPTION | WS_THICKFRAME;
      p.exStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (m_borderStyle != TFormBorderStyle::bsNone) {
    if (m_borderIcons & biSystemMenu) p.style |= WS_SYSMENU;
    if (m_borderStyle != TFormBorderStyle::bsDialog && m_borderStyle != TFormBorderStyle::bsToolwindow &&
        m_borderStyle != TFormBorderStyle::bsSizetoolwin) {
      if (m_borderIcons & biMinimize) p.style |= WS_MINIMIZEBOX;
      if (m_borderIcons & biMaximize) p.style |= WS_MAXIMIZEBOX;
    }
  }
  if (!Enabled()) p.style |= WS_DISABLED;
  if (m_formStyle == TFormStyle::fsStayOnTop) p.exStyle |= WS_EX_TOPMOST;
}

void TCustomForm::CreateWnd() {
  TCustomControl::CreateWnd();
  // The frame's size is known only now: give the client area the size asked for.
  if (m_clientWidth >= 0 || m_clientHeight >= 0) {
    Rect client = WindowSystem::Current().GetClientRect(Handle());
    Rect window = Handle()->Bounds();
    int w = m_clientWidth >= 0 ? m_clientWidth + window.Width() - client.Width() : window.Width();
    int h = m_clientHeight >= 0 ? m_clientHeight + window.Height() - client.Height() : window.Height();
    m_clientWidth = m_clientHeight = -1;
    SetWindowPos(Handle(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateBoundsFromWindow();
  }
}

void TCustomForm::CreateWindowHandleDone() {
  TCustomControl::CreateWindowHandleDone();
  std::vector<TFormWindowListener*> listeners;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* l = dynamic_cast<TFormWindowListener*>(Components(i))) listeners.push_back(l);
  for (TFormWindowListener* l : listeners) l->FormWindowCreated();
}

void TCustomForm::SetBounds(int left, int top, int width, int height) {
  if (!HandleAllocated() && !m_settingClient) {
    if (width != m_width) m_clientWidth = -1;
    if (height != m_height) m_clientHeight = -1;
  }
  TCustomControl::SetBounds(left, top, width, height);
}

void TCustomForm::SetClientWidth(int w) {
  if (HandleAllocated()) {
    TCustomControl::SetClientWidth(w);
    return;
  }
  m_settingClient = true;
  SetWidth(w);
  m_settingClient = false;
  m_clientWidth = w;
}

void TCustomForm::SetClientHeight(int h) {
  if (HandleAllocated()) {
    TCustomControl::SetClientHeight(h);
    return;
  }
  m_settingClient = true;
  SetHeight(h);
  m_settingClient = false;
  m_clientHeight = h;
}

Rect TCustomForm::ClientRect() const {
  if (HandleAllocated()) return TCustomControl::ClientRect();
  // Before the window exists the client size asked for is the best answer.
  return {0, 0, m_clientWidth >= 0 ? m_clientWidth : m_width, m_clientHeight >= 0 ? m_clientHeight : m_height};
}

bool TCustomForm::Showing() const { return HandleAllocated() && Visible() && TCustomControl::Showing(); }

TWindowState TCustomForm::WindowState() const {
  if (HandleAllocated()) {
    HWND h = const_cast<TCustomForm*>(this)->Handle();
    if (IsIconic(h)) return TWindowState::wsMinimized;
    if (IsZoomed(h)) return TWindowState::wsMaximized;
    return TWindowState::wsNormal;
  }
  return m_windowState;
}

void TCustomForm::SetWindowState(TWindowState s) {
  m_windowState = s;
  if (!HandleAllocated() || !Visible()) return;
  switch (s) {
    case TWindowState::wsMinimized: ShowWindow(Handle(), SW_MINIMIZE); break;
    case TWindowState::wsMaximized: ShowWindow(Handle(), SW_MAXIMIZE); break;
    case TWindowState::wsNormal: ShowWindow(Handle(), SW_RESTORE); break;
  }
}

void TCustomForm::ApplyPosition() {
  if (m_positioned) return;
  m_positioned = true;
  Rect area;
  switch (m_position) {
    case TPosition::poScreenCenter:
    case TPosition::poDesktopCenter:
      area = Screen->WorkAreaRect();
      break;
    case TPosition::poMainFormCenter:
    case TPosition::poOwnerFormCenter: {
      TCustomForm* ref = dynamic_cast<TCustomForm*>(Owner());
      if (m_position == TPosition::poMainFormCenter || !ref) ref = Application->MainForm();
      area = (ref && ref != this) ? ref->BoundsRect() : Screen->WorkAreaRect();
      break;
    }
    default:
      return;
  }
  SetBounds(area.left + (area.Width() - m_width) / 2, area.top + (area.Height() - m_height) / 2,
            m_width, m_height);
}

void TCustomForm::SetVisible(bool on) {
  if (HasState(csLoading)) {
    // Shown once creation has finished.
    m_showAfterLoad = on;
    return;
  }
  if (on == Visible()) return;
  if (on) {
    HandleNeeded();
    ApplyPosition();
    DoShow();
  } else {
    DoHide();
  }
  TCustomControl::SetVisible(on);
}

void TCustomForm::VisibleChanged() {
  if (!HandleAllocated()) return;
  if (!Visible()) {
    ShowWindow(Handle(), SW_HIDE);
    return;
  }
  int cmd = SW_SHOW;
  if (m_windowState == TWindowState::wsMaximized) cmd = SW_SHOWMAXIMIZED;
  else if (m_windowState == TWindowState::wsMinimized) cmd = SW_SHOWMINIMIZED;
  ShowWindow(Handle(), cmd);
  SetActiveWindow(Handle());
  if (m_activeControl && m_activeControl->CanFocus()) {
    ::SetFocus(m_activeControl->Handle());
  } else if (TWinControl* first = FindNextControl(nullptr, true, true)) {
    ::SetFocus(first->Handle());
  }
}

void TCustomForm::DoShow() { Fire(OnShow, this); }
void TCustomForm::DoHide() { Fire(OnHide, this); }

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TCustomForm::Close() {
  if (m_modal) {
    if (CloseQuery()) m_modalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  bool isMain = Application && Application->MainForm() == this;
  TCloseAction action = isMain ? TCloseAction::caFree : TCloseAction::caHide;
  DoClose(action);
  if (action == TCloseAction::caNone) return;
  if (isMain) {
    // Closing the main form ends the application; the forms go when Run returns.
    Application->MainFormClosed();
    Application->Terminate();
    return;
  }
  switch (action) {
    case TCloseAction::caHide: Hide(); break;
    case TCloseAction::caMinimize: SetWindowState(TWindowState::wsMinimized); break;
    case TCloseAction::caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() { PostMessage(Handle(), CM_RELEASE, 0, 0); }

void TCustomForm::BringToFront() {
  if (!HandleAllocated()) return;
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

int TCustomForm::ShowModal() {
  if (Visible() || m_modal) throw EInvalidOperation("Cannot make a visible window modal");
  std::vector<TCustomForm*> disabled;
  for (int i = 0; i < Application->FormCount(); ++i) {
    TCustomForm* f = Application->Forms(i);
    if (f != this && f->HandleAllocated() && f->Enabled() && IsWindowEnabled(f->Handle())) {
      EnableWindow(f->Handle(), false);
      disabled.push_back(f);
      f->FreeNotification(this);
    }
  }
  m_modal = true;
  m_modalResult = mrNone;
  auto restore = [&] {
    m_modal = false;
    for (int i = 0; i < Application->FormCount(); ++i) {
      TCustomForm* f = Application->Forms(i);
      if (std::find(disabled.begin(), disabled.end(), f) != disabled.end() && f->HandleAllocated())
        EnableWindow(f->Handle(), true);
    }
    Hide();
  };
  try {
    Show();
    WindowSystem::Current().RunModalLoop([&] { return m_modalResult != mrNone || Application->Terminated(); });
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return m_modalResult;
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control && (control == this || !ContainsControl(control)))
    throw EInvalidOperation("Invalid active control");
  if (control && Showing() && control->CanFocus()) {
    control->SetFocus();
    return;
  }
  m_activeControl = control;
  if (control) control->FreeNotification(this);
}

void TCustomForm::FocusChanged(TWinControl* control) {
  if (control == m_activeControl) return;
  TWinControl* old = m_activeControl;
  m_activeControl = control;
  if (control) control->FreeNotification(this);
  std::shared_ptr<bool> alive = m_alive;
  if (old) old->DoExit();
  if (!*alive) return;
  if (control && m_activeControl == control) control->DoEnter();
}

void TCustomForm::Paint() { Fire(OnPaint, this); }

bool TCustomForm::IsShortCut(WORD key, TShiftState shift, TControl* focused) {
  bool handled = false;
  std::shared_ptr<bool> alive = m_alive;
  if (OnShortCut) OnShortCut(this, key, shift, handled);
  if (handled || !*alive) return true;
  TShortCut sc = ShortCut(key, shift);
  for (TControl* c = focused; c; c = c->Parent())
    if (TPopupMenu* menu = c->PopupMenu(); menu && menu->IsShortCut(sc)) return true;
  return false;
}

void TCustomForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case CM_RELEASE: {
      BeforeDestruction();
      delete this;
      return;
    }
    case WM_ACTIVATE: {
      DefaultHandler(m);
      bool active = LOWORD(m.WParam) != WA_INACTIVE;
      if (active) {
        if (m_activeControl && m_activeControl->CanFocus() && m_activeControl->HandleAllocated())
          ::SetFocus(m_activeControl->Handle());
        Fire(OnActivate, this);
      } else {
        Fire(OnDeactivate, this);
      }
      return;
    }
    case WM_SIZE:
      if (m.WParam == SIZE_MINIMIZED) m_windowState = TWindowState::wsMinimized;
      else if (m.WParam == SIZE_MAXIMIZED) m_windowState = TWindowState::wsMaximized;
      else m_windowState = TWindowState::wsNormal;
      break;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

bool TCustomForm::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "BorderStyle"))
    SetBorderStyle(static_cast<TFormBorderStyle>(v.AsEnum(
        {{"bsNone", 0}, {"bsSingle", 1}, {"bsSizeable", 2}, {"bsDialog", 3}, {"bsToolwindow", 4}, {"bsSizetoolwin", 5}})));
  else if (SameText(name, "BorderIcons"))
    SetBorderIcons(v.AsSet({{"biSystemMenu", biSystemMenu}, {"biMinimize", biMinimize}, {"biMaximize", biMaximize}, {"biHelp", biHelp}}));
  else if (SameText(name, "Position"))
    SetPosition(static_cast<TPosition>(v.AsEnum(
        {{"poDesigned", 0}, {"poDefault", 1}, {"poDefaultPosOnly", 2}, {"poDefaultSizeOnly", 3},
         {"poScreenCenter", 4}, {"poDesktopCenter", 5}, {"poMainFormCenter", 6}, {"poOwnerFormCenter", 7}})));
  else if (SameText(name, "WindowState"))
    SetWindowState(static_cast<TWindowState>(v.AsEnum({{"wsNormal", 0}, {"wsMinimized", 1}, {"wsMaximized", 2}})));
  else if (SameText(name, "FormStyle"))
    SetFormStyle(static_cast<TFormStyle>(v.AsEnum({{"fsNormal", 0}, {"fsStayOnTop", 1}})));
  else if (SameText(name, "KeyPreview")) SetKeyPreview(v.AsBool());
  else if (SameText(name, "ActiveControl"))
    reader.ReadLink<TWinControl>(v, [this](TWinControl* c) { SetActiveControl(c); });
  else if (SameText(name, "OnCreate")) OnCreate = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnDestroy")) OnDestroy = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnShow")) OnShow = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnHide")) OnHide = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnActivate")) OnActivate = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnDeactivate")) OnDeactivate = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnPaint")) OnPaint = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnClose")) OnClose = reader.ReadHandler<TCloseEvent>(v);
  else if (SameText(name, "OnCloseQuery")) OnCloseQuery = reader.ReadHandler<TCloseQueryEvent>(v);
  else if (SameText(name, "OnShortCut")) OnShortCut = reader.ReadHandler<TShortCutEvent>(v);
  else if (SameText(name, "PixelsPerInch") || SameText(name, "TextHeight"))
    v.AsInt();  // designer data: the layout is in pixels at 96 dots per inch already
  else return TCustomControl::ReadProperty(name, v, reader);
  return true;
}

TPersistent* TCustomForm::PropertyObject(std::string_view name) {
  if (SameText(name, "Icon")) return m_icon.get();
  return TCustomControl::PropertyObject(name);
}

// THintWindow

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  TControl::SetVisible(false);
  SetParentFont(false);
  SetColor(clInfoBk);
  Font().SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.parent = nullptr;
  p.style = WS_POPUP;
  p.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
}

Rect THintWindow::CalcHintRect(int maxWidth, std::string_view hint) {
  TBitmap measure(1, 1);
  measure.Canvas().SetFont(Font());
  Rect r(0, 0, std::max(maxWidth, 1), 0);
  measure.Canvas().DrawText(hint, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  // The text with 2 pixels all round: a 1-pixel frame and a pixel of space.
  r.right += 4;
  r.bottom += 4;
  return r;
}

void THintWindow::ActivateHint(const Rect& rect, std::string_view hint) {
  SetText(hint);
  Rect r = rect;
  // Kept on the screen: moved left or above the pointer where it would leave it.
  Rect work = Screen->WorkAreaRect();
  if (r.right > work.right) r.Translate(work.right - r.right, 0);
  if (r.left < work.left) r.Translate(work.left - r.left, 0);
  if (r.bottom > work.bottom) r.Translate(0, rect.top - r.bottom - kCursorHeight);
  if (r.top < work.top) r.Translate(0, work.top - r.top);
  SetBoundsRect(r);
  HandleNeeded();
  SetWindowPos(Handle(), HWND_TOPMOST, r.left, r.top, r.Width(), r.Height(), SWP_NOACTIVATE);
  SetVisible(true);
  // Shown explicitly: a window made again (after the old one was destroyed with its
  // window system) starts hidden whatever the control's flag says.
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  Invalidate();
}

void THintWindow::ReleaseHint() { SetVisible(false); }

bool THintWindow::IsShown() const { return Visible() && HandleAllocated(); }

void THintWindow::Paint() {
  TCanvas& c = Canvas();
  Rect r = ClientRect();
  c.Brush().SetColor(GetColor());
  c.FillRect(r);
  c.Brush().SetColor(clBtnShadow);
  c.FrameRect(r);
  c.SetFont(Font());
  c.Brush().SetStyle(TBrushStyle::bsClear);
  Rect text = r.Inflated(-2, -2);
  c.DrawText(Text(), text, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

// TApplication

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
  if (m_handle && IsWindow(m_handle)) DestroyWindow(m_handle);
}

void TApplication::Initialize() {
  WindowSystem::Current().SetEndRequestHandler([this](int) { RequestClose(); });
}

void TApplication::RequestClose() {
  if (m_mainForm && m_mainForm->HandleAllocated()) PostMessage(m_mainForm->Handle(), WM_CLOSE, 0, 0);
  else m_closeRequested = true;
}

HWND TApplication::Handle() {
  WindowSystem& ws = WindowSystem::Current();
  if (m_handle && m_handleSystem == &ws && ws.IsWindow(m_handle)) return m_handle;
  if (!ws.FindClass(kAppClass)) {
    WNDCLASS wc;
    wc.lpfnWndProc = WindowProc(&AppProc);
    wc.lpszClassName = kAppClass;
    ws.RegisterClass(wc);
  }
  m_handle = ws.CreateWindowEx(WS_EX_TOOLWINDOW, kAppClass, m_title, WS_POPUP, 0, 0, 0, 0, nullptr, 0, nullptr);
  m_handleSystem = &ws;
  return m_handle;
}

LRESULT TApplication::AppWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    if (msg == WM_TIMER) {
      if (wp == kHintShowTimer) HintTimerFired();
      else if (wp == kHintHideTimer) HideTimerFired();
      return 0;
    }
  } catch (...) {
    HandleException(this);
    return 0;
  }
  if (msg == WM_NCDESTROY && hwnd == m_handle) m_handle = nullptr;
  return DefWindowProc(hwnd, msg, wp, lp);
}

void TApplication::AddForm(TCustomForm* form) {
  if (std::find(m_forms.begin(), m_forms.end(), form) == m_forms.end()) m_forms.push_back(form);
}

void TApplication::RemoveForm(TCustomForm* form) {
  m_forms.erase(std::remove(m_forms.begin(), m_forms.end(), form), m_forms.end());
  if (m_mainForm == form) m_mainForm = nullptr;
}

void TApplication::SetMainForm(TCustomForm* form) {
  m_mainForm = form;
  if (form) form->FreeNotification(this);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == m_mainForm) m_mainForm = nullptr;
  if (component == m_mouseControl) m_mouseControl = nullptr;
  if (component == m_hintControl) {
    m_hintControl = nullptr;
    CancelHint();
  }
  if (component == m_hintWindow) m_hintWindow = nullptr;
}

void TApplication::Run() {
  WindowSystem& system = WindowSystem::Current();
  system.SetEndRequestHandler([this](int) { RequestClose(); });
  m_mainFormClosed = false;
  if (m_mainForm && m_showMainForm && !m_terminated) m_mainForm->Show();
  if (m_closeRequested) {
    m_closeRequested = false;
    RequestClose();
  }
  while (!m_terminated) {
    if (!HandleMessage()) break;
  }
  // Without a desktop the form cannot be closed by anyone; what its close query keeps
  // (settings) is kept all the same.
  if (system.DisplayLost() && m_mainForm && !m_mainFormClosed) {
    try {
      m_mainForm->CloseQuery();
    } catch (...) {
      HandleException(this);
    }
  }
  // Terminate posted a quit that the loop left in the queue; taken now, so that it does
  // not end whatever runs messages next (a later Run, a test's clock).
  MSG quit;
  while (PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  // The hint window goes with the forms; the next hint makes a new one.
  DestroyHintWindow();
  // The forms go now, the main form last but one first: every OnDestroy still runs.
  std::vector<TCustomForm*> forms = m_forms;
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
    TCustomForm* f = *it;
    if (std::find(m_forms.begin(), m_forms.end(), f) == m_forms.end()) continue;
    if (f->Owner() == this || f->Owner() == nullptr) {
      f->BeforeDestruction();
      delete f;
    }
  }
  m_terminated = false;
  m_mainForm = nullptr;
}

void TApplication::Idle() {
  // Only the shown forms: an action refreshes for the controls the user can see.
  for (TCustomForm* form : std::vector<TCustomForm*>(m_forms)) {
    if (std::find(m_forms.begin(), m_forms.end(), form) == m_forms.end()) continue;
    if (form->Visible()) UpdateActionsOf(*form);
  }
}

bool TApplication::HandleMessage() {
  MSG msg;
  if (!PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    // The queue ran empty: actions refresh before the loop waits.
    try {
      Idle();
    } catch (...) {
      HandleException(this);
    }
  }
  if (!GetMessage(&msg, nullptr, 0, 0)) {
    m_terminated = true;
    return false;
  }
  try {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  } catch (...) {
    HandleException(this);
  }
  return true;
}

void TApplication::ProcessMessages() {
  try {
    if (!WindowSystem::Current().ProcessMessages()) m_terminated = true;
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::Terminate() {
  if (m_terminated) return;
  m_terminated = true;
  PostQuitMessage(0);
}

void TApplication::Minimize() {
  if (m_mainForm && m_mainForm->HandleAllocated()) ShowWindow(m_mainForm->Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
  if (m_mainForm && m_mainForm->HandleAllocated() && IsIconic(m_mainForm->Handle()))
    ShowWindow(m_mainForm->Handle(), SW_RESTORE);
}

void TApplication::HandleException(TObject* sender) {
  if (m_handlingException > 0) return;  // an error inside the error box is not shown again
  if (!std::current_exception()) return;  // called with no error being handled
  ++m_handlingException;
  try {
    try {
      throw;
    } catch (const std::exception& e) {
      if (OnException)
        OnException(sender, e);
      else
        ShowException(e);
    } catch (...) {
      Exception unknown("An unknown error occurred");
      if (OnException)
        OnException(sender, unknown);
      else
        ShowException(unknown);
    }
  } catch (...) {
    // The handler itself failed: nothing more can be told.
  }
  --m_handlingException;
}

void TApplication::ShowException(const std::exception& e) {
  HWND owner = (m_mainForm && m_mainForm->HandleAllocated()) ? m_mainForm->Handle() : nullptr;
  MessageBox(owner, e.what(), m_title.empty() ? nullptr : m_title.c_str(), MB_OK | MB_ICONERROR);
}

void TApplication::SetShowHint(bool on) {
  m_showHint = on;
  if (!on) CancelHint();
}

void TApplication::SetHintWindowClass(THintWindowClass factory) {
  m_hintWindowClass = std::move(factory);
  DestroyHintWindow();
}

void TApplication::DestroyHintWindow() {
  CancelHint();
  if (m_hintWindow) {
    THintWindow* old = m_hintWindow;
    m_hintWindow = nullptr;
    old->BeforeDestruction();
    delete old;
  }
}

void TApplication::StartHintTimer(UINT_PTR id, int ms) { SetTimer(Handle(), id, static_cast<UINT>(std::max(ms, 1)), nullptr); }

void TApplication::StopHintTimer(UINT_PTR id) {
  if (m_handle && WindowSystem::HasCurrent() && m_handleSystem == &WindowSystem::Current()) KillTimer(m_handle, id);
}

void TApplication::CancelHint() {
  StopHintTimer(kHintShowTimer);
  StopHintTimer(kHintHideTimer);
  if (m_hintWindow && m_hintShowing) m_hintWindow->ReleaseHint();
  m_hintShowing = false;
}

void TApplication::MouseOver(TControl* control) {
  if (control == m_mouseControl) return;
  TControl* old = m_mouseControl;
  m_mouseControl = control;
  if (control) control->FreeNotification(this);
  if (old) old->Perform(CM_MOUSELEAVE);
  if (m_mouseControl != control) return;  // the leave handler changed things
  if (control) control->Perform(CM_MOUSEENTER);
  if (m_mouseControl != control) return;
  bool wasShowing = m_hintShowing;
  CancelHint();
  m_hintControl = nullptr;
  if (m_showHint && control && control->EffectiveShowHint() && !GetShortHint(control->Hint()).empty())
    StartHintTimer(kHintShowTimer, wasShowing ? m_hintShortPause : m_hintPause);
}

void TApplication::MouseLeftWindow(TWinControl* control) {
  // Only the window's own control and its windowless children lose the pointer here; a
  // control with a window of its own hears of its leaving from that window.
  TControl* mc = m_mouseControl;
  if (!mc) return;
  bool windowless = dynamic_cast<TWinControl*>(mc) == nullptr;
  if (mc == control || (windowless && mc->Parent() == control)) MouseOver(nullptr);
}

void TApplication::HintTimerFired() {
  StopHintTimer(kHintShowTimer);
  if (m_mouseControl) ActivateHint(WindowSystem::Current().GetCursorPos());
}

void TApplication::HideTimerFired() {
  StopHintTimer(kHintHideTimer);
  if (m_hintWindow && m_hintShowing) m_hintWindow->ReleaseHint();
  m_hintShowing = false;
}

void TApplication::ActivateHint(Point cursorPos) {
  TControl* c = m_mouseControl;
  if (!c) return;
  THintInfo info;
  info.HintControl = c;
  info.CursorPos = c->ScreenToClient(cursorPos);
  info.CursorRect = c->ClientRect();
  info.HintMaxWidth = Screen->Width();
  info.HintColor = m_hintColor;
  info.HideTimeout = m_hintHidePause;
  info.HintStr = GetShortHint(c->Hint());
  bool canShow = true;
  std::string hint = info.HintStr;
  if (OnShowHint) OnShowHint(hint, canShow, info);
  if (!canShow || hint.empty() || m_mouseControl != c) return;
  if (!m_hintWindow) {
    m_hintWindow = m_hintWindowClass ? m_hintWindowClass(this) : new THintWindow(this);
    m_hintWindow->FreeNotification(this);
  }
  m_hintWindow->SetColor(info.HintColor);
  Rect r = m_hintWindow->CalcHintRect(info.HintMaxWidth, hint);
  r.Translate(cursorPos.x, cursorPos.y + kCursorHeight);
  m_hintWindow->ActivateHint(r, hint);
  m_hintShowing = true;
  m_hintControl = c;
  Fire(OnHint, this);
  if (info.HideTimeout > 0) StartHintTimer(kHintHideTimer, info.HideTimeout);
}

// TScreen

TScreen::TScreen() : TComponent(nullptr) {}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

Rect TScreen::WorkAreaRect() const {
  Rect r;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

int TScreen::FormCount() const { return Application->FormCount(); }
TCustomForm* TScreen::Forms(int index) const { return Application->Forms(index); }

TStrings& TScreen::Fonts() {
  if (!m_fonts) {
    m_fonts = std::make_unique<TStringList>();
    for (const std::string& family : FontFamilies()) m_fonts->Add(family);
    m_fonts->SetSorted(true);
  }
  return *m_fonts;
}

TWinControl* TScreen::ActiveControl() const { return TWinControl::FindControl(GetFocus()); }

TCustomForm* TScreen::ActiveForm() const {
  return dynamic_cast<TCustomForm*>(TWinControl::FindControl(GetActiveWindow()));
}

void TScreen::SetCursor(TCursor c) {
  m_cursor = c;
  if (c != crDefault) ::SetCursor(CursorHandle(c));
}
