// Host: what shows the window system's top-level windows and feeds it input and time (a
// real desktop through SDL, or an in-memory screen for tests), and the sink it reports to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Region.h"

// Identifies a host window; 0 is none.
using HostWindowId = std::uint32_t;

struct HostWindowDesc {
  Rect rect;             // screen coordinates
  bool topmost = false;
  bool toolWindow = false;  // no task bar entry
  bool noActivate = false;  // never takes the keyboard focus
  bool popup = false;       // a menu, hint or drop-down rather than an application window
  std::string title;
};

struct MonitorDesc {
  Rect bounds;
  Rect work;  // bounds less the task bar and docks
};

enum class MouseButton { Left, Right, Middle };

// What a host reports; the window system implements it. Screen coordinates throughout.
// Keys are virtual-key codes; characters are Unicode code points.
class HostSink {
 public:
  virtual ~HostSink() = default;
  virtual void OnMouseMove(Point screen) = 0;
  virtual void OnMouseButton(MouseButton button, bool down, Point screen) = 0;
  virtual void OnMouseWheel(int delta, Point screen) = 0;
  // The pointer left every window of ours (it is over another program or the desktop).
  virtual void OnMouseLeftHost() = 0;
  virtual void OnKey(int virtualKey, bool down, bool repeat) = 0;
  virtual void OnText(std::u32string_view text) = 0;
  // An input method's composition in progress (empty when it ends without a result).
  virtual void OnComposition(std::u32string_view text, int cursor) = 0;
  // The desktop gave a host window the keyboard focus, or took it away from us.
  virtual void OnHostFocus(HostWindowId id, bool gained) = 0;
  // The desktop moved or resized a host window itself (a window manager did).
  virtual void OnHostMoved(HostWindowId id, const Rect& rect) = 0;
  // The pixels of a host window were lost and must be presented again.
  virtual void OnHostExposed(HostWindowId id) = 0;
  // The desktop asked to close a host window.
  virtual void OnHostClose(HostWindowId id) = 0;
  // The desktop showed a host window we had hidden (it was mapped from outside, as a
  // minimized window is without a window manager); its pixels must be presented again.
  virtual void OnHostShown(HostWindowId id) = 0;
  // The connection to the desktop is gone for good; the host does nothing from now on.
  virtual void OnDisplayLost() = 0;
  // Milliseconds until the next timer is due (0: one is due, -1: none is set).
  virtual int NextTimerDue() = 0;
  // Dispatches everything that is pending or due now (a host whose clock it drives itself
  // calls this after moving the clock).
  virtual bool ProcessMessages() = 0;
};

class Host {
 public:
  virtual ~Host() = default;

  virtual std::string Name() const = 0;
  // Called once by the window system before anything else.
  virtual void Attach(HostSink* sink) = 0;

  virtual HostWindowId CreateHostWindow(const HostWindowDesc& desc) = 0;
  virtual void DestroyHostWindow(HostWindowId id) = 0;
  virtual void SetHostWindowRect(HostWindowId id, const Rect& rect) = 0;
  // Shows or hides; `activate` gives the shown window the keyboard focus.
  virtual void ShowHostWindow(HostWindowId id, bool show, bool activate) = 0;
  // Stacking order, top first (only shown windows matter; others may be listed).
  virtual void SetHostZOrder(const std::vector<HostWindowId>& topFirst) = 0;
  virtual void SetHostWindowTitle(HostWindowId id, std::string_view title) = 0;
  // The window's shape in window coordinates; nullptr makes it rectangular again. Returns
  // whether the host can shape windows at all.
  virtual bool SetHostWindowShape(HostWindowId id, const Region* shape) = 0;
  // Constant opacity 0..255; returns whether the host applies it.
  virtual bool SetHostWindowOpacity(HostWindowId id, int alpha) = 0;
  virtual void FocusHostWindow(HostWindowId id) = 0;
  // Shows `pixels` (the window's backing bitmap, the window's size) for the `dirty` part.
  virtual void Present(HostWindowId id, const Bitmap& pixels, const Region& dirty) = 0;

  // Milliseconds on the host's clock; timers follow it.
  virtual std::uint64_t Now() = 0;
  // Reports pending input to the sink without waiting.
  virtual void PollEvents() = 0;
  // Waits up to `timeoutMs` (-1: without limit) for input and reports it; returns whether
  // anything was reported.
  virtual bool WaitEvents(int timeoutMs) = 0;
  // A descriptor whose becoming readable also ends a wait (the end signals' pipe); -1 for none.
  virtual void WatchDescriptor(int fd) = 0;
  // Whether the connection to the desktop was lost.
  virtual bool DisplayLost() const = 0;

  virtual std::vector<MonitorDesc> Monitors() = 0;
  virtual Point CursorPos() = 0;
  virtual void SetCursorPos(Point screen) = 0;
  // One of the standard cursor numbers (IDC_...).
  virtual void SetCursorShape(int cursorId) = 0;
  // Keeps mouse events coming while the pointer is outside our windows.
  virtual void SetMouseCapture(bool on) = 0;

  virtual bool SetClipboardText(std::string_view utf8) = 0;
  virtual std::string ClipboardText() = 0;
  virtual bool HasClipboardText() = 0;

  // Where input methods show their candidates (screen coordinates); called when a window
  // with a caret takes the focus.
  virtual void SetTextInputRect(const Rect& screen) = 0;
  virtual void Beep() = 0;
};
