// Window and WindowClass: the state of one window of the window system (geometry, styles,
// procedure, tree, paint state, region) as the system keeps it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Region.h"
#include "platform/win/Host.h"
#include "platform/win/WinTypes.h"

class WindowSystem;

struct WindowClass {
  std::string name;
  UINT style = 0;
  WNDPROC proc;
  HCURSOR cursor = nullptr;
  Color background = clNone;
  int wndExtra = 0;
};

// Read access is public so that tests and diagnostics can look; all changes go through
// the window system so that the right messages are sent.
class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  const WindowClass& Class() const { return *m_class; }
  const std::string& Text() const { return m_text; }
  DWORD Style() const { return m_style; }
  DWORD ExStyle() const { return m_exStyle; }
  bool IsChild() const { return (m_style & 0x40000000u) != 0; }  // WS_CHILD
  HWND Parent() const { return m_parent; }
  HWND Owner() const { return m_owner; }
  // Children in z-order, the topmost first.
  const std::vector<HWND>& Children() const { return m_children; }
  // The window rectangle in the parent's client coordinates (screen for a top-level).
  const Rect& Bounds() const { return m_rect; }
  // The client rectangle in window coordinates (origin at the window's top-left corner).
  const Rect& ClientArea() const { return m_client; }
  bool VisibleFlag() const { return (m_style & 0x10000000u) != 0; }  // WS_VISIBLE
  bool Destroyed() const { return m_destroyed; }
  // The window region (window coordinates), or nullptr for a rectangular window.
  const Region* WindowRegion() const { return m_region.get(); }
  // The pending update region (window coordinates).
  const Region& UpdateRegion() const { return m_update; }
  // The backing bitmap a top-level window and its children paint into.
  const Bitmap& Backing() const { return m_backing; }
  HostWindowId HostId() const { return m_hostId; }
  int LayeredAlpha() const { return m_alpha; }

 private:
  friend class WindowSystem;
  Window() = default;

  const WindowClass* m_class = nullptr;
  WNDPROC m_proc;
  std::string m_text;
  DWORD m_style = 0;
  DWORD m_exStyle = 0;
  LONG_PTR m_id = 0;
  LONG_PTR m_userData = 0;
  std::vector<LONG_PTR> m_extra;
  std::map<std::string, HANDLE, std::less<>> m_props;
  HWND m_parent = nullptr;
  HWND m_owner = nullptr;
  std::vector<HWND> m_children;

  Rect m_rect;
  Rect m_client;
  Rect m_normalRect;  // the bounds to restore from minimized or maximized

  std::unique_ptr<Region> m_region;
  Region m_update;
  bool m_erasePending = false;
  bool m_ncPaintPending = false;
  bool m_internalPaint = false;
  bool m_painting = false;
  bool m_redrawOff = false;
  bool m_ncActive = false;   // as the last WM_NCACTIVATE said
  int m_pressedButton = 0;   // caption button shown pressed by the default frame

  int m_alpha = 255;
  bool m_layeredSet = false;
  Color m_colorKey = clNone;

  bool m_destroyed = false;
  bool m_destroying = false;
  int m_callDepth = 0;
  bool m_created = false;

  // Top-level windows only.
  Bitmap m_backing;
  Region m_dirty;  // part of the backing not yet presented (window coordinates)
  HostWindowId m_hostId = 0;
  HWND m_lastFocus = nullptr;  // the focus to give back when the window is activated again
};
