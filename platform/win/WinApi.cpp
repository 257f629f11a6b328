// The platform-named entry points, forwarding to the current window system.
#include "platform/win/WinApi.h"

#include <algorithm>
#include <cstring>

#include "platform/sys/Utf8.h"

namespace {
WindowSystem& Sys() { return WindowSystem::Current(); }

void EnumDescendants(HWND parent, const WNDENUMPROC& fn, bool& go) {
  std::vector<HWND> kids;
  for (HWND c = Sys().GetWindow(parent, GW_CHILD); c; c = Sys().GetWindow(c, GW_HWNDNEXT))
    kids.push_back(c);
  for (HWND c : kids) {
    if (!go) return;
    if (!Sys().IsWindow(c)) continue;
    if (!fn(c)) {
      go = false;
      return;
    }
    EnumDescendants(c, fn, go);
  }
}
}  // namespace

ATOM RegisterClass(const WNDCLASS* wc) { return wc ? Sys().RegisterClass(*wc) : 0; }
bool UnregisterClass(const char* className, HINSTANCE) {
  return className && Sys().UnregisterClass(className);
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                    HINSTANCE, void* param) {
  if (!className) return nullptr;
  return Sys().CreateWindowEx(exStyle, className, windowName ? windowName : "", style, x, y,
                              width, height, parent, reinterpret_cast<LONG_PTR>(menuOrId), param);
}

HWND CreateWindow(const char* className, const char* windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                  void* param) {
  return CreateWindowEx(0, className, windowName, style, x, y, width, height, parent, menuOrId,
                        instance, param);
}

bool DestroyWindow(HWND hwnd) { return Sys().DestroyWindow(hwnd); }
bool IsWindow(HWND hwnd) { return Sys().IsWindow(hwnd); }
bool IsWindowVisible(HWND hwnd) { return Sys().IsWindowVisible(hwnd); }
bool IsWindowEnabled(HWND hwnd) { return Sys().IsWindowEnabled(hwnd); }
bool EnableWindow(HWND hwnd, bool enable) { return Sys().EnableWindow(hwnd, enable); }
bool ShowWindow(HWND hwnd, int cmd) { return Sys().ShowWindow(hwnd, cmd); }
bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  return Sys().SetWindowPos(hwnd, insertAfter, x, y, cx, cy, flags);
}
bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint) {
  return Sys().MoveWindow(hwnd, x, y, width, height, repaint);
}
bool BringWindowToTop(HWND hwnd) { return Sys().BringWindowToTop(hwnd); }

bool GetWindowRect(HWND hwnd, Rect* rect) {
  if (!rect || !Sys().IsWindow(hwnd)) return false;
  *rect = Sys().GetWindowRect(hwnd);
  return true;
}

bool GetClientRect(HWND hwnd, Rect* rect) {
  if (!rect || !Sys().IsWindow(hwnd)) return false;
  *rect = Sys().GetClientRect(hwnd);
  return true;
}

bool ClientToScreen(HWND hwnd, Point* p) {
  if (!p || !Sys().IsWindow(hwnd)) return false;
  *p = Sys().ClientToScreen(hwnd, *p);
  return true;
}

bool ScreenToClient(HWND hwnd, Point* p) {
  if (!p || !Sys().IsWindow(hwnd)) return false;
  *p = Sys().ScreenToClient(hwnd, *p);
  return true;
}

int MapWindowPoints(HWND from, HWND to, Point* points, UINT count) {
  Point origin = from ? Sys().ClientToScreen(from, {}) : Point{};
  Point target = to ? Sys().ClientToScreen(to, {}) : Point{};
  int dx = origin.x - target.x, dy = origin.y - target.y;
  for (UINT i = 0; points && i < count; ++i) points[i] = points[i].Translated(dx, dy);
  return static_cast<int>(MAKELPARAM(dx, dy));
}

int MapWindowPoints(HWND from, HWND to, Rect* rect) {
  if (!rect) return 0;
  Point pts[2] = {rect->TopLeft(), rect->BottomRight()};
  int r = MapWindowPoints(from, to, pts, 2);
  *rect = {pts[0].x, pts[0].y, pts[1].x, pts[1].y};
  return r;
}

HWND GetParent(HWND hwnd) { return Sys().GetParent(hwnd); }
HWND SetParent(HWND hwnd, HWND parent) { return Sys().SetParent(hwnd, parent); }
HWND GetAncestor(HWND hwnd, UINT flags) { return Sys().GetAncestor(hwnd, flags); }
HWND GetWindow(HWND hwnd, UINT cmd) { return Sys().GetWindow(hwnd, cmd); }
HWND GetTopWindow(HWND hwnd) { return Sys().GetTopWindow(hwnd); }
HWND GetDesktopWindow() { return nullptr; }
bool IsChild(HWND parent, HWND hwnd) { return Sys().IsChildOf(parent, hwnd); }
bool IsIconic(HWND hwnd) { return Sys().IsIconic(hwnd); }
bool IsZoomed(HWND hwnd) { return Sys().IsZoomed(hwnd); }
HWND FindWindow(const char* className, const char* windowName) {
  return Sys().FindWindow(className ? className : "", windowName ? windowName : "");
}

bool EnumWindows(const WNDENUMPROC& fn) {
  for (HWND h : Sys().TopLevelWindows())
    if (Sys().IsWindow(h) && !fn(h)) return false;
  return true;
}

bool EnumChildWindows(HWND parent, const WNDENUMPROC& fn) {
  bool go = true;
  EnumDescendants(parent, fn, go);
  return go;
}

HWND WindowFromPoint(Point screen) { return Sys().WindowFromPoint(screen); }
HWND ChildWindowFromPoint(HWND parent, Point client) { return Sys().ChildWindowFromPoint(parent, client); }
LONG_PTR GetWindowLong(HWND hwnd, int index) { return Sys().GetWindowLong(hwnd, index); }
LONG_PTR SetWindowLong(HWND hwnd, int index, LONG_PTR value) { return Sys().SetWindowLong(hwnd, index, value); }
LONG_PTR GetWindowLongPtr(HWND hwnd, int index) { return Sys().GetWindowLong(hwnd, index); }
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) { return Sys().SetWindowLong(hwnd, index, value); }

WNDPROC SetWindowLong(HWND hwnd, int index, WNDPROC proc) {
  if (index != GWL_WNDPROC) return WNDPROC();
  return Sys().SetWindowProc(hwnd, std::move(proc));
}

WNDPROC SetWindowLong(HWND hwnd, int index, WindowProcFunction proc) {
  return SetWindowLong(hwnd, index, WNDPROC(proc));
}

WNDPROC GetWindowProc(HWND hwnd) { return Sys().GetWindowProc(hwnd); }
bool SetProp(HWND hwnd, const char* name, HANDLE value) { return name && Sys().SetProp(hwnd, name, value); }
HANDLE GetProp(HWND hwnd, const char* name) { return name ? Sys().GetProp(hwnd, name) : nullptr; }
HANDLE RemoveProp(HWND hwnd, const char* name) { return name ? Sys().RemoveProp(hwnd, name) : nullptr; }

int GetWindowText(HWND hwnd, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  return static_cast<int>(Sys().SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(size),
                                            reinterpret_cast<LPARAM>(buffer)));
}

std::string GetWindowText(HWND hwnd) { return Sys().GetWindowText(hwnd); }
int GetWindowTextLength(HWND hwnd) { return static_cast<int>(Sys().SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0)); }
bool SetWindowText(HWND hwnd, const char* text) { return Sys().SetWindowText(hwnd, text ? text : ""); }
int GetDlgCtrlID(HWND hwnd) { return static_cast<int>(Sys().GetWindowLong(hwnd, GWL_ID)); }

HWND GetDlgItem(HWND parent, int id) {
  for (HWND c = Sys().GetWindow(parent, GW_CHILD); c; c = Sys().GetWindow(c, GW_HWNDNEXT))
    if (Sys().GetWindowLong(c, GWL_ID) == id) return c;
  return nullptr;
}

int SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw) { return Sys().SetWindowRgn(hwnd, rgn, redraw); }
int GetWindowRgn(HWND hwnd, HRGN rgn) { return Sys().GetWindowRgn(hwnd, rgn); }
bool SetLayeredWindowAttributes(HWND hwnd, Color key, BYTE alpha, DWORD flags) {
  return Sys().SetLayeredWindowAttributes(hwnd, key, alpha, flags);
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return Sys().SendMessage(hwnd, msg, wp, lp); }
LRESULT CallWindowProc(const WNDPROC& proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return Sys().CallWindowProc(proc, hwnd, msg, wp, lp);
}
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return Sys().DefWindowProc(hwnd, msg, wp, lp); }
bool PostMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return Sys().PostMessage(hwnd, msg, wp, lp); }
void PostQuitMessage(int code) { Sys().PostQuitMessage(code); }
bool GetMessage(MSG* msg, HWND hwnd, UINT first, UINT last) { return msg && Sys().GetMessage(msg, hwnd, first, last); }
bool PeekMessage(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove) {
  return msg && Sys().PeekMessage(msg, hwnd, first, last, remove);
}
bool TranslateMessage(const MSG* msg) { return Sys().TranslateMessage(msg); }
LRESULT DispatchMessage(const MSG* msg) { return Sys().DispatchMessage(msg); }
bool WaitMessage() { return Sys().WaitMessage(); }
UINT RegisterWindowMessage(const char* name) { return name ? Sys().RegisterWindowMessage(name) : 0; }
bool InSendMessage() { return Sys().InSendMessage(); }
DWORD GetMessageTime() { return Sys().GetMessageTime(); }
HHOOK SetMessageHook(MessageHookProc hook) { return Sys().SetMessageHook(std::move(hook)); }
bool UnhookMessageHook(HHOOK hook) { return Sys().RemoveMessageHook(hook); }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) { return Sys().SetTimer(hwnd, id, elapse, proc); }
bool KillTimer(HWND hwnd, UINT_PTR id) { return Sys().KillTimer(hwnd, id); }
DWORD GetTickCount() { return static_cast<DWORD>(Sys().TickCount()); }

bool InvalidateRect(HWND hwnd, const Rect* rect, bool erase) { return Sys().InvalidateRect(hwnd, rect, erase); }
bool InvalidateRgn(HWND hwnd, HRGN rgn, bool erase) { return Sys().InvalidateRgn(hwnd, rgn, erase); }
bool ValidateRect(HWND hwnd, const Rect* rect) { return Sys().ValidateRect(hwnd, rect); }
bool ValidateRgn(HWND hwnd, HRGN rgn) { return Sys().ValidateRgn(hwnd, rgn); }
bool GetUpdateRect(HWND hwnd, Rect* rect, bool erase) { return Sys().GetUpdateRect(hwnd, rect, erase); }
int GetUpdateRgn(HWND hwnd, HRGN rgn, bool erase) { return Sys().GetUpdateRgn(hwnd, rgn, erase); }
bool UpdateWindow(HWND hwnd) { return Sys().UpdateWindow(hwnd); }
bool RedrawWindow(HWND hwnd, const Rect* rect, HRGN rgn, UINT flags) { return Sys().RedrawWindow(hwnd, rect, rgn, flags); }
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) { return Sys().BeginPaint(hwnd, ps); }
bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps) { return Sys().EndPaint(hwnd, ps); }
HDC GetDC(HWND hwnd) { return Sys().GetDC(hwnd); }
HDC GetWindowDC(HWND hwnd) { return Sys().GetWindowDC(hwnd); }
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) { return Sys().GetDCEx(hwnd, clip, flags); }
int ReleaseDC(HWND hwnd, HDC dc) { return Sys().ReleaseDC(hwnd, dc); }

HWND SetFocus(HWND hwnd) { return Sys().SetFocus(hwnd); }
HWND GetFocus() { return Sys().GetFocus(); }
HWND SetActiveWindow(HWND hwnd) { return Sys().SetActiveWindow(hwnd); }
HWND GetActiveWindow() { return Sys().GetActiveWindow(); }
HWND GetForegroundWindow() { return Sys().GetActiveWindow(); }
bool SetForegroundWindow(HWND hwnd) { return Sys().SetForegroundWindow(hwnd); }
HWND SetCapture(HWND hwnd) { return Sys().SetCapture(hwnd); }
bool ReleaseCapture() { return Sys().ReleaseCapture(); }
HWND GetCapture() { return Sys().GetCapture(); }
bool TrackMouseEvent(TRACKMOUSEEVENT* tme) { return Sys().TrackMouseEvent(tme); }

bool GetCursorPos(Point* p) {
  if (!p) return false;
  *p = Sys().GetCursorPos();
  return true;
}

bool SetCursorPos(int x, int y) { return Sys().SetCursorPos({x, y}); }
HCURSOR LoadCursor(HINSTANCE instance, int id) { return instance ? nullptr : LoadStandardCursor(id); }
HCURSOR SetCursor(HCURSOR cursor) { return Sys().SetCursor(cursor); }
HCURSOR GetCursor() { return Sys().GetCursor(); }
short GetKeyState(int vk) { return Sys().GetKeyState(vk); }
short GetAsyncKeyState(int vk) { return Sys().GetAsyncKeyState(vk); }
UINT GetDoubleClickTime() { return 500; }

bool CreateCaret(HWND hwnd, HANDLE, int width, int height) { return Sys().CreateCaret(hwnd, width, height); }
bool DestroyCaret() { return Sys().DestroyCaret(); }
bool ShowCaret(HWND hwnd) { return Sys().ShowCaret(hwnd); }
bool HideCaret(HWND hwnd) { return Sys().HideCaret(hwnd); }
bool SetCaretPos(int x, int y) { return Sys().SetCaretPos({x, y}); }

bool GetCaretPos(Point* p) {
  if (!p) return false;
  *p = Sys().GetCaretPos();
  return true;
}

UINT GetCaretBlinkTime() { return Sys().CaretBlinkTime(); }

std::string GetCompositionText() {
  std::string out;
  for (char32_t c : Sys().CompositionText()) AppendUtf8(out, c);
  return out;
}

int GetCompositionCursor() { return Sys().CompositionCursor(); }

namespace {
// Lines end in CR LF inside the window system and in LF on the desktop.
std::string DesktopLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out.push_back(text[i]);
  return out;
}

std::string WindowLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(text[i]);
  }
  return out;
}
}  // namespace

bool SetClipboardText(std::string_view utf8) { return Sys().GetHost().SetClipboardText(DesktopLineEnds(utf8)); }
std::string GetClipboardText() { return WindowLineEnds(Sys().GetHost().ClipboardText()); }
bool IsClipboardTextAvailable() { return Sys().GetHost().HasClipboardText(); }

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) { return Sys().MonitorFromWindow(hwnd, flags); }
HMONITOR MonitorFromPoint(Point p, DWORD flags) { return Sys().MonitorFromPoint(p, flags); }
HMONITOR MonitorFromRect(const Rect* r, DWORD flags) { return r ? Sys().MonitorFromRect(*r, flags) : nullptr; }
bool GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) { return Sys().GetMonitorInfo(monitor, info); }
int GetSystemMetrics(int index) { return Sys().GetSystemMetrics(index); }

bool SystemParametersInfo(UINT action, UINT, void* param, UINT) {
  if (!param) return false;
  switch (action) {
    case SPI_GETWORKAREA: {
      HMONITOR m = Sys().MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
      if (!m) return false;
      *static_cast<Rect*>(param) = m->work;
      return true;
    }
    case SPI_GETDRAGFULLWINDOWS:
      *static_cast<BOOL*>(param) = TRUE;
      return true;
    default:
      return false;
  }
}

void MessageBeep(UINT) { Sys().GetHost().Beep(); }
