// The window system's basic types: handles, message parameters, window procedures and the
// structures that messages carry, with the platform's names.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/gfx/Geometry.h"

class Window;

using HWND = Window*;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
using BOOL = int;
using LONG = std::int32_t;
using LONG_PTR = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using ATOM = std::uint16_t;
using UINT_PTR = std::uintptr_t;
using HANDLE = void*;
using HINSTANCE = void*;
using HMENU = void*;
using HICON = void*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int lo, int hi) {
  return static_cast<LPARAM>(static_cast<std::int32_t>(
      (static_cast<std::uint32_t>(lo) & 0xFFFF) | ((static_cast<std::uint32_t>(hi) & 0xFFFF) << 16)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi) {
  return static_cast<WPARAM>((static_cast<std::uint32_t>(lo) & 0xFFFF) |
                             ((static_cast<std::uint32_t>(hi) & 0xFFFF) << 16));
}
constexpr LRESULT MAKELRESULT(int lo, int hi) { return MAKELPARAM(lo, hi); }
// Coordinates packed in a parameter are signed 16-bit values (screen points left of or
// above the primary monitor are negative).
constexpr int GET_X_LPARAM(LPARAM lp) { return static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lp))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lp))); }
constexpr LPARAM PointToLParam(Point p) { return MAKELPARAM(p.x, p.y); }
constexpr Point LParamToPoint(LPARAM lp) { return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }
constexpr short GET_WHEEL_DELTA_WPARAM(WPARAM wp) { return static_cast<short>(HIWORD(wp)); }

using WindowProcFunction = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// A window procedure: a plain function or any callable (typically a member bound to its
// object), so a component can take over a window procedure and keep the previous one to
// call for default processing. Copies compare equal; two callables made separately do not.
class WindowProc {
 public:
  using Callable = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

  WindowProc() = default;
  WindowProc(WindowProcFunction fn) : m_plain(fn) {}  // NOLINT: implicit like a function pointer
  explicit WindowProc(Callable fn)
      : m_callable(fn ? std::make_shared<const Callable>(std::move(fn)) : nullptr) {}

  LRESULT operator()(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const {
    if (m_plain) return m_plain(hwnd, msg, wp, lp);
    return (*m_callable)(hwnd, msg, wp, lp);
  }
  explicit operator bool() const { return m_plain || m_callable; }
  bool operator==(const WindowProc& o) const {
    return m_plain == o.m_plain && m_callable == o.m_callable;
  }

 private:
  WindowProcFunction m_plain = nullptr;
  std::shared_ptr<const Callable> m_callable;
};
using WNDPROC = WindowProc;

// A queued message as GetMessage returns it.
struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  Point pt;  // cursor position in screen coordinates when the message was queued
};

struct CREATESTRUCT {
  void* lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;  // the child identifier for a child window
  HWND hwndParent = nullptr;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  LONG style = 0;
  const char* lpszName = nullptr;
  const char* lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  UINT flags = 0;
};

// WM_NCCALCSIZE with wParam TRUE: rgrc[0] comes in as the proposed window rectangle (in the
// parent's client coordinates) and goes out as the client rectangle; rgrc[1] and rgrc[2]
// hold the old window and client rectangles.
struct NCCALCSIZE_PARAMS {
  Rect rgrc[3];
  WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
  Point ptReserved;
  Point ptMaxSize;
  Point ptMaxPosition;
  Point ptMinTrackSize;
  Point ptMaxTrackSize;
};

class DC;
using HDC = DC*;

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;
  Rect rcPaint;  // client coordinates
  BOOL fRestore = FALSE;
  BOOL fIncUpdate = FALSE;
};

struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};

struct Monitor;
using HMONITOR = const Monitor*;

struct MONITORINFO {
  DWORD cbSize = sizeof(MONITORINFO);
  Rect rcMonitor;
  Rect rcWork;
  DWORD dwFlags = 0;
};

// The cursor handles are the standard cursors only; `id` is the IDC_ number.
struct Cursor {
  int id = 0;
};
using HCURSOR = const Cursor*;

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

// A window class. `hbrBackground` is the colour WM_ERASEBKGND fills with by default
// (a plain or system colour), or clNone for no erase.
struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  std::uint32_t hbrBackground = 0x1FFFFFFF;  // clNone
  const char* lpszMenuName = nullptr;
  const char* lpszClassName = nullptr;
};

// WM_STYLECHANGING / WM_STYLECHANGED (wParam GWL_STYLE or GWL_EXSTYLE).
struct STYLESTRUCT {
  DWORD styleOld = 0;
  DWORD styleNew = 0;
};

// CreateWindowEx position or size chosen by the system.
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);
