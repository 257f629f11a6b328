// WindowSystem: the message-based window system on one thread — windows and classes,
// sent and posted messages, timers, painting into top-level backing bitmaps, input
// routing, focus, activation, capture and caret — over an abstract Host.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/gfx/Region.h"
#include "platform/win/Host.h"
#include "platform/win/Window.h"
#include "platform/win/WinTypes.h"

struct Monitor {
  Rect bounds;
  Rect work;
  bool primary = false;
};

// Sees every message GetMessage or PeekMessage (with PM_REMOVE) is about to hand out;
// returning true consumes it (the loop goes on to the next message). The message may be
// changed in place.
using MessageHookProc = std::function<bool(MSG& msg)>;
using HHOOK = std::uint32_t;
// Told that the process was asked to end by a signal (its number); runs inside a message
// loop, never in the signal handler.
using EndRequestProc = std::function<void(int signal)>;

enum class HostChoice { Automatic, Headless, Sdl };

class WindowSystem : public HostSink {
 public:
  explicit WindowSystem(std::unique_ptr<Host> host);
  ~WindowSystem() override;
  WindowSystem(const WindowSystem&) = delete;
  WindowSystem& operator=(const WindowSystem&) = delete;

  // The process's window system, created on first use with the host ChooseHost picks.
  static WindowSystem& Current();
  static bool HasCurrent();
  // Replaces the current window system (destroying every window of the old one).
  static WindowSystem& Install(std::unique_ptr<Host> host);
  static void Shutdown();
  // Destroys every window, top-level ones first (their children go with them).
  void DestroyAllWindows();
  // KAVRI_HOST=headless or sdl forces a host; otherwise SDL when a display is set and SDL
  // starts, headless when not. SDL is there only in programs that link the desktop host
  // library (kavri_desktop); elsewhere an explicit SDL choice throws.
  static std::unique_ptr<Host> ChooseHost(HostChoice choice = HostChoice::Automatic);
  // Set once by the desktop host library as it is loaded: makes its host (throwing when
  // there is no usable display).
  using DesktopHostMaker = std::unique_ptr<Host> (*)();
  static void SetDesktopHostMaker(DesktopHostMaker maker);

  Host& GetHost() { return *m_host; }

  // Classes.
  ATOM RegisterClass(const WNDCLASS& wc);
  bool UnregisterClass(std::string_view name);
  const WindowClass* FindClass(std::string_view name) const;

  // Windows.
  HWND CreateWindowEx(DWORD exStyle, std::string_view className, std::string_view text,
                      DWORD style, int x, int y, int cx, int cy, HWND parent, LONG_PTR id,
                      void* createParams);
  bool DestroyWindow(HWND hwnd);
  bool IsWindow(HWND hwnd) const;
  bool IsWindowVisible(HWND hwnd) const;  // it and every ancestor visible
  bool IsWindowEnabled(HWND hwnd) const;
  bool EnableWindow(HWND hwnd, bool enable);  // returns whether it was disabled
  bool ShowWindow(HWND hwnd, int cmd);       // returns whether it was visible
  bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
  bool MoveWindow(HWND hwnd, int x, int y, int cx, int cy, bool repaint);
  bool BringWindowToTop(HWND hwnd);
  Rect GetWindowRect(HWND hwnd) const;  // screen coordinates
  Rect GetClientRect(HWND hwnd) const;  // (0, 0, width, height)
  Point ClientToScreen(HWND hwnd, Point p) const;
  Point ScreenToClient(HWND hwnd, Point p) const;
  // The screen position of the window's top-left corner (frame included).
  Point WindowOrigin(HWND hwnd) const;
  HWND GetParent(HWND hwnd) const;  // the parent of a child, else the owner
  HWND SetParent(HWND hwnd, HWND parent);
  HWND GetAncestor(HWND hwnd, UINT flags) const;
  HWND GetWindow(HWND hwnd, UINT cmd) const;
  HWND GetTopWindow(HWND parent) const;
  bool IsChildOf(HWND parent, HWND hwnd) const;  // any depth
  // Top-level windows in z-order, the top first.
  std::vector<HWND> TopLevelWindows() const;
  HWND FindWindow(std::string_view className, std::string_view text) const;
  bool IsIconic(HWND hwnd) const;
  bool IsZoomed(HWND hwnd) const;
  LONG_PTR GetWindowLong(HWND hwnd, int index) const;
  LONG_PTR SetWindowLong(HWND hwnd, int index, LONG_PTR value);
  WNDPROC GetWindowProc(HWND hwnd) const;
  WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc);
  bool SetProp(HWND hwnd, std::string_view name, HANDLE value);
  HANDLE GetProp(HWND hwnd, std::string_view name) const;
  HANDLE RemoveProp(HWND hwnd, std::string_view name);
  std::string GetWindowText(HWND hwnd);
  bool SetWindowText(HWND hwnd, std::string_view text);
  // Sets the text field without a message (the default WM_SETTEXT handling).
  void StoreText(HWND hwnd, std::string_view text);
  const std::string& StoredText(HWND hwnd) const;
  HWND WindowFromPoint(Point screen) const;
  // The same, passing over the windows in `skip` (and what they contain).
  HWND WindowFromPointSkipping(Point screen, const std::vector<HWND>& skip) const;
  HWND ChildWindowFromPoint(HWND parent, Point client) const;

  // Regions and opacity.
  int SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw);
  int GetWindowRgn(HWND hwnd, HRGN out) const;
  bool SetLayeredWindowAttributes(HWND hwnd, Color key, BYTE alpha, DWORD flags);

  // Messages.
  LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT CallWindowProc(const WNDPROC& proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool PostMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void PostQuitMessage(int code);
  bool GetMessage(MSG* msg, HWND filter, UINT first, UINT last);
  bool PeekMessage(MSG* msg, HWND filter, UINT first, UINT last, UINT remove);
  bool TranslateMessage(const MSG* msg);
  LRESULT DispatchMessage(const MSG* msg);
  bool WaitMessage();
  // Dispatches everything pending (posted, input, paint, due timers) and presents; returns
  // false when WM_QUIT came (it stays pending for the outer loop).
  bool ProcessMessages() override;
  // Runs a message loop until WM_QUIT; returns its code.
  int RunMessageLoop();
  // What a termination signal (see EndSignals.h) does; without a handler it posts WM_QUIT.
  void SetEndRequestHandler(EndRequestProc handler) { m_endRequest = std::move(handler); }
  // Whether the connection to the desktop was lost. From then on WM_QUIT (code 1) ends
  // every message loop, and nothing shows a message box any more.
  bool DisplayLost() const { return m_displayLost; }
  bool QuitPending() const { return m_quitPending; }
  UINT RegisterWindowMessage(std::string_view name);
  HHOOK SetMessageHook(MessageHookProc hook);
  bool RemoveMessageHook(HHOOK hook);
  // True while a window procedure is running for a message that SendMessage delivered.
  bool InSendMessage() const { return m_sendDepth > 0; }
  DWORD GetMessageTime() const { return m_messageTime; }

  // Timers on the host's clock.
  UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
  bool KillTimer(HWND hwnd, UINT_PTR id);
  // Milliseconds until the next timer is due (0 when one is due, -1 when none is set).
  int NextTimerDue() override;
  std::uint64_t TickCount() { return m_host->Now(); }

  // Painting.
  bool InvalidateRect(HWND hwnd, const Rect* rect, bool erase);
  bool InvalidateRgn(HWND hwnd, const Region* rgn, bool erase);
  bool ValidateRect(HWND hwnd, const Rect* rect);
  bool ValidateRgn(HWND hwnd, const Region* rgn);
  bool GetUpdateRect(HWND hwnd, Rect* rect, bool erase);
  int GetUpdateRgn(HWND hwnd, HRGN rgn, bool erase);
  bool UpdateWindow(HWND hwnd);
  bool RedrawWindow(HWND hwnd, const Rect* rect, const Region* rgn, UINT flags);
  HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
  bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
  HDC GetDC(HWND hwnd);
  HDC GetWindowDC(HWND hwnd);
  HDC GetDCEx(HWND hwnd, const Region* clip, DWORD flags);
  int ReleaseDC(HWND hwnd, HDC dc);
  // What is shown of the window's pixels (its region and children clipped as on screen)
  // in screen coordinates: the part of the screen it owns.
  Region VisibleRegion(HWND hwnd, bool client, bool clipChildren) const;
  // The same in the coordinates of the window's top-level backing bitmap.
  Region BackingClip(const Window* w, bool client, bool clipChildren) const;
  // Presents every top-level window with unpresented pixels.
  void PresentAll();

  // Input, focus, activation.
  HWND SetFocus(HWND hwnd);
  HWND GetFocus() const { return m_focus; }
  HWND SetActiveWindow(HWND hwnd);
  HWND GetActiveWindow() const { return m_active; }
  bool SetForegroundWindow(HWND hwnd);
  HWND SetCapture(HWND hwnd);
  bool ReleaseCapture();
  HWND GetCapture() const { return m_capture; }
  bool TrackMouseEvent(TRACKMOUSEEVENT* tme);
  Point GetCursorPos() const { return m_cursorPos; }
  bool SetCursorPos(Point screen);
  HCURSOR SetCursor(HCURSOR cursor);
  HCURSOR GetCursor() const { return m_cursor; }
  // Key state as GetKeyState gives it: bit 15 down, bit 0 toggled.
  short GetKeyState(int vk) const;
  short GetAsyncKeyState(int vk) const { return GetKeyState(vk); }
  WPARAM MouseKeyFlags() const;

  // Caret: one per system, owned by a window; blinks on a timer of the system.
  bool CreateCaret(HWND hwnd, int width, int height);
  bool DestroyCaret();
  bool ShowCaret(HWND hwnd);
  bool HideCaret(HWND hwnd);
  bool SetCaretPos(Point client);
  Point GetCaretPos() const { return m_caret.pos; }
  bool CaretShown() const { return m_caret.owner && m_caret.on; }
  UINT CaretBlinkTime() const { return 530; }

  // The composition of the input method, as the focused window is told it.
  const std::u32string& CompositionText() const { return m_composition; }
  int CompositionCursor() const { return m_compositionCursor; }

  // Screen.
  const std::vector<Monitor>& Monitors();
  HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
  HMONITOR MonitorFromPoint(Point p, DWORD flags);
  HMONITOR MonitorFromRect(const Rect& r, DWORD flags);
  bool GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);
  int GetSystemMetrics(int index);

  // Modal helpers: runs messages until `done` is true (or WM_QUIT arrives, which stays
  // queued); returns false on quit or when the owner is destroyed.
  bool RunModalLoop(const std::function<bool()>& done);

  // The default window procedure and the default frame.
  LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  // HostSink.
  void OnMouseMove(Point screen) override;
  void OnMouseButton(MouseButton button, bool down, Point screen) override;
  void OnMouseWheel(int delta, Point screen) override;
  void OnMouseLeftHost() override;
  void OnKey(int virtualKey, bool down, bool repeat) override;
  void OnText(std::u32string_view text) override;
  void OnComposition(std::u32string_view text, int cursor) override;
  void OnHostFocus(HostWindowId id, bool gained) override;
  void OnHostMoved(HostWindowId id, const Rect& rect) override;
  void OnHostExposed(HostWindowId id) override;
  void OnHostClose(HostWindowId id) override;
  void OnHostShown(HostWindowId id) override;
  void OnDisplayLost() override;

 private:
  struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT elapse;
    TIMERPROC proc;
    std::uint64_t due;
    std::uint64_t order;
  };
  enum class InputKind { MouseMove, MouseButton, Wheel, Key, Char, Composition, Leave, Focus };
  struct InputEvent {
    InputEvent(InputKind k, Point p) : kind(k), pt(p) {}
    InputKind kind;
    Point pt;
    MouseButton button = MouseButton::Left;
    bool down = false;
    bool repeat = false;
    int value = 0;  // key code, wheel delta, character or composition cursor
    std::u32string text;
    std::uint64_t time = 0;
  };
  struct Caret {
    HWND owner = nullptr;
    int width = 0;
    int height = 0;
    Point pos;
    int hideCount = 1;
    bool on = false;  // currently drawn
  };
  struct TrackState {
    HWND hwnd = nullptr;
    bool client = false;
    bool nonClient = false;
  };
  struct OpenDC {
    std::unique_ptr<DC> dc;
    HWND hwnd;
    bool paint;
  };

  Window* Get(HWND hwnd) const;  // nullptr when not a live window
  Window* TopLevelOf(Window* w) const;
  Point BackingOffset(const Window* w) const;  // window origin inside its top-level backing
  void DestroyRecursive(Window* w);
  void FreeWindow(Window* w);
  void ReleaseZombies();
  void SendCreateMessages(Window* w, CREATESTRUCT& cs, bool& ok);
  void RecalcClient(Window* w, const Rect& newRect, const Rect& oldRect, bool sendMessage);
  void ZOrderInsert(Window* w, HWND insertAfter);
  void SyncHostZOrder();
  std::vector<HWND>& SiblingList(Window* w);
  void ExposeAfterChange(Window* w, const Region& oldScreen);
  void InvalidateScreenArea(const Region& screen, Window* except);
  void InvalidateInternal(Window* w, const Region& windowRgn, bool erase, bool frame,
                          bool children, bool validate);
  bool NeedsPaint(const Window* w) const;
  Window* FindPaintWindow(HWND filter);
  void PaintWindowNow(Window* w, bool children);
  void SendNcPaint(Window* w);
  void MarkDirty(Window* top, const Region& windowRgn);
  std::unique_ptr<DC> MakeDC(Window* w, bool whole, bool clipChildren, const Region* extra);
  void HideCaretPixels();
  void ShowCaretPixels();
  void ToggleCaretPixels();
  void EnsureHostWindow(Window* w);
  void UpdateHostShape(Window* w);

  bool TakeInput(MSG* msg, HWND filter, UINT first, UINT last, bool remove);
  bool RouteMouse(const InputEvent& ev, MSG* msg);
  bool RouteKey(const InputEvent& ev, MSG* msg);
  void RouteHostFocus(const InputEvent& ev);
  void TrackEnterLeave(HWND hwnd, bool client);
  void Activate(Window* w, WPARAM how);
  bool CanActivate(const Window* w) const;
  void ActivateNextAfter(Window* closing);
  void SetFocusInternal(Window* w);
  bool RunHooks(MSG& msg);
  bool GetMessageInternal(MSG* msg, HWND filter, UINT first, UINT last, UINT remove, bool wait);
  void TakeEndRequest();

  // Default procedure parts (DefWindowProc.cpp).
  LRESULT DefNcCalcSize(Window* w, WPARAM wp, LPARAM lp);
  LRESULT DefNcHitTest(Window* w, Point screen);
  void DefNcPaint(Window* w);
  LRESULT DefSysCommand(Window* w, WPARAM wp, LPARAM lp);
  LRESULT DefSetCursor(Window* w, WPARAM wp, LPARAM lp);
  LRESULT DefNcButton(Window* w, UINT msg, WPARAM wp, LPARAM lp);
  void MoveSizeLoop(Window* w, int hit, Point start);
  void GetMinMax(Window* w, MINMAXINFO& mmi);
  void Maximize(Window* w);
  void Minimize(Window* w);
  void Restore(Window* w);

  std::unique_ptr<Host> m_host;
  std::map<std::string, std::unique_ptr<WindowClass>, std::less<>> m_classes;
  std::unordered_set<const Window*> m_live;
  std::vector<std::unique_ptr<Window>> m_windows;  // owner of every window, zombies included
  std::vector<HWND> m_topLevels;                   // z-order, the top first
  std::deque<MSG> m_posted;
  std::deque<InputEvent> m_input;
  std::vector<Timer> m_timers;
  std::uint64_t m_timerOrder = 0;
  UINT_PTR m_nextThreadTimer = 0x7FF0;
  std::map<std::string, UINT, std::less<>> m_registered;
  std::vector<std::pair<HHOOK, MessageHookProc>> m_hooks;
  HHOOK m_nextHook = 1;
  std::map<DC*, OpenDC> m_dcs;
  bool m_quitPending = false;
  int m_quitCode = 0;
  bool m_displayLost = false;
  EndRequestProc m_endRequest;
  int m_watchedDescriptor = -1;
  int m_sendDepth = 0;
  int m_procDepth = 0;
  DWORD m_messageTime = 0;

  HWND m_focus = nullptr;
  HWND m_active = nullptr;
  HWND m_capture = nullptr;
  bool m_appActive = false;
  TrackState m_track;
  HWND m_lastMouseWindow = nullptr;
  Point m_cursorPos;
  HCURSOR m_cursor = nullptr;
  BYTE m_keys[256] = {};
  struct Click {
    HWND hwnd = nullptr;
    MouseButton button = MouseButton::Left;
    std::uint64_t time = 0;
    Point pt;
    int hit = 0;
    bool valid = false;
  } m_lastClick;
  bool m_inMoveSize = false;
  Caret m_caret;
  std::u32string m_composition;
  int m_compositionCursor = 0;
  std::vector<Monitor> m_monitors;
  bool m_monitorsRead = false;

  std::uint64_t m_caretNextBlink = 0;
  int m_caretPixelHide = 0;
  bool m_anyPaint = false;
  std::deque<MSG> m_routed;  // input already routed to its window, not yet taken
};
