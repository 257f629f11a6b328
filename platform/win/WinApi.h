// The window system's entry points under the original platform's names, acting on the
// current WindowSystem (WindowSystem::Current()). Handles that are not live windows make
// a call fail quietly (0, false or nullptr), as the platform does.
#pragma once

#include <string>
#include <string_view>

#include "platform/gfx/DC.h"
#include "platform/gfx/Region.h"
#include "platform/win/WinConst.h"
#include "platform/win/WinTypes.h"
#include "platform/win/WindowSystem.h"

// Classes and windows.
ATOM RegisterClass(const WNDCLASS* wc);
bool UnregisterClass(const char* className, HINSTANCE instance = nullptr);
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                    HINSTANCE instance = nullptr, void* param = nullptr);
HWND CreateWindow(const char* className, const char* windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menuOrId,
                  HINSTANCE instance = nullptr, void* param = nullptr);
bool DestroyWindow(HWND hwnd);
bool IsWindow(HWND hwnd);
bool IsWindowVisible(HWND hwnd);
bool IsWindowEnabled(HWND hwnd);
bool EnableWindow(HWND hwnd, bool enable);
bool ShowWindow(HWND hwnd, int cmd);
bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint);
bool BringWindowToTop(HWND hwnd);
bool GetWindowRect(HWND hwnd, Rect* rect);   // screen coordinates
bool GetClientRect(HWND hwnd, Rect* rect);   // (0, 0, width, height)
bool ClientToScreen(HWND hwnd, Point* p);
bool ScreenToClient(HWND hwnd, Point* p);
// Maps `count` points from one window's client coordinates to another's (nullptr: the
// screen); returns the offset packed as MAKELPARAM(dx, dy).
int MapWindowPoints(HWND from, HWND to, Point* points, UINT count);
int MapWindowPoints(HWND from, HWND to, Rect* rect);
HWND GetParent(HWND hwnd);
HWND SetParent(HWND hwnd, HWND parent);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetTopWindow(HWND hwnd);
HWND GetDesktopWindow();  // nullptr: the screen stands for it
bool IsChild(HWND parent, HWND hwnd);
bool IsIconic(HWND hwnd);
bool IsZoomed(HWND hwnd);
HWND FindWindow(const char* className, const char* windowName);
// Calls `fn` for every top-level window (z-order, top first) while it returns true.
using WNDENUMPROC = std::function<bool(HWND)>;
bool EnumWindows(const WNDENUMPROC& fn);
// Every descendant, depth first, each parent before its children.
bool EnumChildWindows(HWND parent, const WNDENUMPROC& fn);
HWND WindowFromPoint(Point screen);
HWND ChildWindowFromPoint(HWND parent, Point client);
LONG_PTR GetWindowLong(HWND hwnd, int index);
LONG_PTR SetWindowLong(HWND hwnd, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
// GWL_WNDPROC: the procedure is not a number here, so it has overloads of its own.
// SetWindowLong(hwnd, GWL_WNDPROC, proc) returns the previous procedure, which the new
// one calls through CallWindowProc for default processing.
WNDPROC SetWindowLong(HWND hwnd, int index, WNDPROC proc);
WNDPROC SetWindowLong(HWND hwnd, int index, WindowProcFunction proc);
WNDPROC GetWindowProc(HWND hwnd);
bool SetProp(HWND hwnd, const char* name, HANDLE value);
HANDLE GetProp(HWND hwnd, const char* name);
HANDLE RemoveProp(HWND hwnd, const char* name);
int GetWindowText(HWND hwnd, char* buffer, int size);
std::string GetWindowText(HWND hwnd);
int GetWindowTextLength(HWND hwnd);
bool SetWindowText(HWND hwnd, const char* text);
int GetDlgCtrlID(HWND hwnd);
HWND GetDlgItem(HWND parent, int id);

// Regions and opacity. SetWindowRgn takes the region (the caller must not use or delete
// it afterwards); nullptr makes the window rectangular again.
int SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw);
int GetWindowRgn(HWND hwnd, HRGN rgn);
bool SetLayeredWindowAttributes(HWND hwnd, Color key, BYTE alpha, DWORD flags);

// Messages.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CallWindowProc(const WNDPROC& proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
bool PostMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void PostQuitMessage(int code);
bool GetMessage(MSG* msg, HWND hwnd, UINT first, UINT last);
bool PeekMessage(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove);
bool TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
bool WaitMessage();
UINT RegisterWindowMessage(const char* name);
bool InSendMessage();
DWORD GetMessageTime();
// The application-wide hook that sees every message before it is handed out.
HHOOK SetMessageHook(MessageHookProc hook);
bool UnhookMessageHook(HHOOK hook);

// Timers.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
bool KillTimer(HWND hwnd, UINT_PTR id);
DWORD GetTickCount();

// Painting.
bool InvalidateRect(HWND hwnd, const Rect* rect, bool erase);
bool InvalidateRgn(HWND hwnd, HRGN rgn, bool erase);
bool ValidateRect(HWND hwnd, const Rect* rect);
bool ValidateRgn(HWND hwnd, HRGN rgn);
bool GetUpdateRect(HWND hwnd, Rect* rect, bool erase);
int GetUpdateRgn(HWND hwnd, HRGN rgn, bool erase);
bool UpdateWindow(HWND hwnd);
bool RedrawWindow(HWND hwnd, const Rect* rect, HRGN rgn, UINT flags);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// Contexts over the top-level backing bitmap: GetDC the client area, GetWindowDC the
// whole window, both clipped to what of the window is shown. Release each one.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);
int ReleaseDC(HWND hwnd, HDC dc);

// Focus, activation, capture, mouse.
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
HWND GetForegroundWindow();
bool SetForegroundWindow(HWND hwnd);
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();
bool TrackMouseEvent(TRACKMOUSEEVENT* tme);
bool GetCursorPos(Point* p);
bool SetCursorPos(int x, int y);
HCURSOR LoadCursor(HINSTANCE instance, int id);  // the standard cursors (IDC_...)
HCURSOR LoadStandardCursor(int id);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
short GetKeyState(int vk);
short GetAsyncKeyState(int vk);
UINT GetDoubleClickTime();

// Caret.
bool CreateCaret(HWND hwnd, HANDLE bitmap, int width, int height);
bool DestroyCaret();
bool ShowCaret(HWND hwnd);
bool HideCaret(HWND hwnd);
bool SetCaretPos(int x, int y);
bool GetCaretPos(Point* p);
UINT GetCaretBlinkTime();

// Text input: the composition of the input method in progress (UTF-8) and its cursor (in
// characters), as WM_IME_COMPOSITION announces it to the focused window.
std::string GetCompositionText();
int GetCompositionCursor();

// Clipboard text, UTF-8, shared with other programs where the host has a desktop. Lines
// end in CR LF here and in LF on the desktop: each call turns one into the other.
bool SetClipboardText(std::string_view utf8);
std::string GetClipboardText();
bool IsClipboardTextAvailable();

// Screen.
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
HMONITOR MonitorFromPoint(Point p, DWORD flags);
HMONITOR MonitorFromRect(const Rect* r, DWORD flags);
bool GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);
int GetSystemMetrics(int index);
// SPI_GETWORKAREA (param: Rect*) and SPI_GETDRAGFULLWINDOWS (param: BOOL*).
bool SystemParametersInfo(UINT action, UINT uiParam, void* param, UINT winIni);
void MessageBeep(UINT type);

// A modal message box drawn by the default frame: the text, the caption (nullptr:
// "Error") and the buttons of `type` (MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL,
// MB_RETRYCANCEL, MB_ABORTRETRYIGNORE; MB_DEFBUTTON2/3). The owner is disabled while it
// shows. Returns the answer (IDOK, IDCANCEL, IDYES, ...), or 0 when the loop ended
// without one (WM_QUIT).
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
// The text a message box window shows (its caption is its window text); empty for any
// other window. What a screen reader would read out.
std::string MessageBoxText(HWND box);
