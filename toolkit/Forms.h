// Forms and the application: TCustomForm/TForm, THintWindow, TApplication (Application)
// and TScreen (Screen).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Bitmaps.h"
#include "toolkit/Controls.h"
#include "toolkit/Reader.h"
#include "toolkit/Strings.h"

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolwindow, bsSizetoolwin };
using TBorderIcons = std::uint32_t;
constexpr TBorderIcons biSystemMenu = 1;
constexpr TBorderIcons biMinimize = 2;
constexpr TBorderIcons biMaximize = 4;
constexpr TBorderIcons biHelp = 8;
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TFormStyle { fsNormal, fsStayOnTop };

// Modal results.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrAbort = 3;
constexpr int mrRetry = 4;
constexpr int mrIgnore = 5;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TShortCutEvent = std::function<void(TObject* sender, WORD key, TShiftState shift, bool& handled)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

// A component of a form that works on the form's window itself (takes over its window
// procedure): told each time the form gets a window, the first and every recreated one.
class TFormWindowListener {
 public:
  virtual void FormWindowCreated() = 0;

 protected:
  ~TFormWindowListener() = default;
};

class TCustomForm : public TCustomControl {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  // The second stage of creation, run by Application->CreateForm and CreateNewForm: the
  // form declares its handlers and fields, reads the resource registered for its class
  // (if any), and OnCreate runs. Shown afterwards when the resource says Visible.
  void InitializeForm();

  TFormBorderStyle BorderStyle() const { return m_borderStyle; }
  void SetBorderStyle(TFormBorderStyle s);
  TBorderIcons BorderIcons() const { return m_borderIcons; }
  void SetBorderIcons(TBorderIcons icons);
  TPosition Position() const { return m_position; }
  void SetPosition(TPosition p) { m_position = p; }
  TFormStyle FormStyle() const { return m_formStyle; }
  void SetFormStyle(TFormStyle s);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState s);
  bool KeyPreview() const { return m_keyPreview; }
  void SetKeyPreview(bool on) { m_keyPreview = on; }
  TIcon& Icon() { return *m_icon; }

  void SetClientWidth(int w) override;
  void SetClientHeight(int h) override;
  void SetBounds(int left, int top, int width, int height) override;
  Rect ClientRect() const override;
  bool Showing() const override;

  void Show();
  void Hide();
  // Asks OnCloseQuery, then OnClose decides: hide (the default), free, minimize or
  // nothing. Closing the main form ends the application.
  void Close();
  bool CloseQuery();
  // Destroys the form once the message that is running has been handled.
  void Release();
  void BringToFront();
  // A modal loop until ModalResult is set; the other forms are disabled meanwhile.
  int ShowModal();
  int ModalResult() const { return m_modalResult; }
  void SetModalResult(int r) { m_modalResult = r; }

  TWinControl* ActiveControl() const { return m_activeControl; }
  void SetActiveControl(TWinControl* control);
  // The focus moved to `control` (a control on this form): OnExit of the old, OnEnter of
  // the new.
  void FocusChanged(TWinControl* control);

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  // Runs for every key pressed in the form before the focused control sees it; a handler
  // that sets `handled` takes the key.
  TShortCutEvent OnShortCut;

  // Whether a key is a shortcut of the form: OnShortCut, then the popup menus of `focused`
  // and its parents (the chosen item is clicked).
  bool IsShortCut(WORD key, TShiftState shift, TControl* focused);

  void WndProc(TMessage& message) override;
  void SetVisible(bool on) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;
  void Loaded() override;

  // For key preview: the form's own key handlers, run before the focused control's.
  void PreviewKeyDown(WORD& key, TShiftState shift) { KeyDown(key, shift); }
  void PreviewKeyPress(char32_t& key) { KeyPress(key); }

 protected:
  // Handlers and fields the form's resource may name; subclasses add theirs.
  virtual void DeclareBindings(THandlerRegistry& registry);
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CreateWindowHandleDone() override;
  void Paint() override;
  void Destroying() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void DoCreate();
  virtual void DoClose(TCloseAction& action);
  void DoShow();
  void DoHide();
  void ApplyPosition();
  void VisibleChanged() override;

 private:
  TFormBorderStyle m_borderStyle = TFormBorderStyle::bsSizeable;
  TBorderIcons m_borderIcons = biSystemMenu | biMinimize | biMaximize;
  TPosition m_position = TPosition::poDesigned;
  TFormStyle m_formStyle = TFormStyle::fsNormal;
  TWindowState m_windowState = TWindowState::wsNormal;
  bool m_keyPreview = false;
  std::unique_ptr<TIcon> m_icon;
  TWinControl* m_activeControl = nullptr;
  int m_modalResult = 0;
  bool m_modal = false;
  // The client size asked for before the window exists; applied when it is made.
  int m_clientWidth = -1;
  int m_clientHeight = -1;
  bool m_positioned = false;
  bool m_destroyFired = false;
  bool m_showAfterLoad = false;
  bool m_settingClient = false;
  THandlerRegistry m_bindings;
};

class TForm : public TCustomForm {
 public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// Makes a form of class T owned by `owner` and runs its second creation stage.
template <class T>
T* CreateNewForm(TComponent* owner) {
  auto* form = new T(owner);
  form->InitializeForm();
  return form;
}

// The small window that shows a control's hint; the skin layer supplies its own class.
class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* owner);
  // The size the hint needs for `hint`, no wider than `maxWidth`, at (0, 0).
  virtual Rect CalcHintRect(int maxWidth, std::string_view hint);
  // Shows the hint with its text in `rect` (screen coordinates) without taking the focus.
  virtual void ActivateHint(const Rect& rect, std::string_view hint);
  void ReleaseHint();
  bool IsShown() const;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
};

struct THintInfo {
  TControl* HintControl = nullptr;
  Point CursorPos;  // in the control's client coordinates
  Rect CursorRect;
  int HintMaxWidth = 0;
  Color HintColor = clInfoBk;
  int HideTimeout = 2500;
  std::string HintStr;
};

using TShowHintEvent = std::function<void(std::string& hintStr, bool& canShow, THintInfo& hintInfo)>;
using TExceptionEvent = std::function<void(TObject* sender, const std::exception& e)>;
using THintWindowClass = std::function<THintWindow*(TComponent* owner)>;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  // Sets up the window system (the host ChooseHost picks unless one is installed).
  void Initialize();
  const std::string& Title() const { return m_title; }
  void SetTitle(std::string_view title) { m_title = title; }
  // The application's icon, for windows whose form has none of its own.
  TIcon& Icon() { return *m_icon; }

  // Makes a form owned by the application; the first one made becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    auto* form = new T(this);
    reference = form;
    form->InitializeForm();
    if (!m_mainForm) SetMainForm(form);
  }
  TCustomForm* MainForm() const { return m_mainForm; }
  void SetMainForm(TCustomForm* form);
  bool ShowMainForm() const { return m_showMainForm; }
  void SetShowMainForm(bool on) { m_showMainForm = on; }

  // Shows the main form and runs messages until it closes or Terminate is called; then
  // destroys the forms. When the desktop goes away the loop ends too, after the main
  // form's close query (which shows no box then).
  void Run();
  // The process was asked to end (a termination signal): the main form closes as its
  // close button closes it, or as soon as there is one.
  void RequestClose();
  // Called by the main form as it closes the application.
  void MainFormClosed() { m_mainFormClosed = true; }
  // Runs what is pending without waiting.
  void ProcessMessages();
  // Runs one message, waiting for it; when none is queued, Idle runs first. False when
  // the application is ending.
  bool HandleMessage();
  // What runs whenever the queue is empty: the shown forms' controls refresh their actions.
  void Idle();
  void Terminate();
  bool Terminated() const { return m_terminated; }
  void Minimize();
  void Restore();

  // The forms of the application in the order they were made (forms owned elsewhere too).
  int FormCount() const { return static_cast<int>(m_forms.size()); }
  TCustomForm* Forms(int index) const { return m_forms.at(static_cast<std::size_t>(index)); }

  // The standard error box: the message of the exception being handled in a message box,
  // and the program goes on (OnException replaces the box).
  void HandleException(TObject* sender);
  void ShowException(const std::exception& e);
  TExceptionEvent OnException;

  // Hints.
  bool ShowHint() const { return m_showHint; }
  void SetShowHint(bool on);
  int HintPause() const { return m_hintPause; }
  void SetHintPause(int ms) { m_hintPause = ms; }
  // The pause when the pointer moves on from a control whose hint is showing.
  int HintShortPause() const { return m_hintShortPause; }
  void SetHintShortPause(int ms) { m_hintShortPause = ms; }
  int HintHidePause() const { return m_hintHidePause; }
  void SetHintHidePause(int ms) { m_hintHidePause = ms; }
  Color HintColor() const { return m_hintColor; }
  void SetHintColor(Color c) { m_hintColor = c; }
  THintWindow* HintWindow() const { return m_hintWindow; }
  // Replaces the class of the hint window (the next hint uses it).
  void SetHintWindowClass(THintWindowClass factory);
  // Destroys the hint window (and the fonts it holds); Run does it as it ends, tests
  // that show hints do it before their window system goes.
  void DestroyHintWindow();
  void CancelHint();
  void ActivateHint(Point cursorPos);
  TShowHintEvent OnShowHint;
  TNotifyEvent OnHint;
  // The control under the pointer, as the last mouse message found it.
  TControl* MouseControl() const { return m_mouseControl; }

  // Called by controls: the pointer is over `control` (nullptr: over none of ours).
  void MouseOver(TControl* control);
  // The pointer left the window of `control`.
  void MouseLeftWindow(TWinControl* control);
  // A hidden window of the application that receives its timers and posted requests.
  HWND Handle();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TCustomForm;
  friend struct TApplicationAccess;
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  LRESULT AppWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void StartHintTimer(UINT_PTR id, int ms);
  void StopHintTimer(UINT_PTR id);
  void HintTimerFired();
  void HideTimerFired();

  std::string m_title;
  std::unique_ptr<TIcon> m_icon = std::make_unique<TIcon>();
  TCustomForm* m_mainForm = nullptr;
  bool m_showMainForm = true;
  bool m_terminated = false;
  bool m_closeRequested = false;
  bool m_mainFormClosed = false;
  std::vector<TCustomForm*> m_forms;
  HWND m_handle = nullptr;
  const void* m_handleSystem = nullptr;  // the window system the hidden window belongs to
  bool m_showHint = true;
  int m_hintPause = 500;
  int m_hintHidePause = 2500;
  int m_hintShortPause = 50;
  Color m_hintColor = clInfoBk;
  THintWindow* m_hintWindow = nullptr;
  THintWindowClass m_hintWindowClass;
  TControl* m_mouseControl = nullptr;
  TControl* m_hintControl = nullptr;
  bool m_hintShowing = false;
  int m_handlingException = 0;
};

class TScreen : public TComponent {
 public:
  TScreen();
  int Width() const;
  int Height() const;
  Rect WorkAreaRect() const;
  int WorkAreaLeft() const { return WorkAreaRect().left; }
  int WorkAreaTop() const { return WorkAreaRect().top; }
  int WorkAreaWidth() const { return WorkAreaRect().Width(); }
  int WorkAreaHeight() const { return WorkAreaRect().Height(); }
  int PixelsPerInch() const { return 96; }
  int FormCount() const;
  TCustomForm* Forms(int index) const;
  // The installed font families, sorted.
  TStrings& Fonts();
  TWinControl* ActiveControl() const;
  TCustomForm* ActiveForm() const;
  // A cursor for every window of the application while not crDefault.
  TCursor Cursor() const { return m_cursor; }
  void SetCursor(TCursor c);

 private:
  std::unique_ptr<TStringList> m_fonts;
  TCursor m_cursor = crDefault;
};

extern TApplication* Application;
extern TScreen* Screen;
