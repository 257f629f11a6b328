// HeadlessHost: a host with the screen in memory, a virtual clock that timers follow,
// injected mouse, keyboard and text input, and screenshots. It needs no display.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/win/Host.h"

class HeadlessHost : public Host {
 public:
  // The screen; the bar of `barHeight` pixels at its bottom lies outside the work area.
  explicit HeadlessHost(Size screen = {1280, 800}, int barHeight = 40);

  // What the in-memory screen knows about one of its windows.
  struct WindowState {
    Rect rect;
    bool visible = false;
    bool topmost = false;
    bool noActivate = false;
    bool popup = false;
    std::string title;
    std::optional<Region> shape;  // window coordinates
    int opacity = 255;
    Bitmap pixels;  // as last presented
    int presents = 0;
  };

  // Host.
  std::string Name() const override { return "headless"; }
  void Attach(HostSink* sink) override { m_sink = sink; }
  HostWindowId CreateHostWindow(const HostWindowDesc& desc) override;
  void DestroyHostWindow(HostWindowId id) override;
  void SetHostWindowRect(HostWindowId id, const Rect& rect) override;
  void ShowHostWindow(HostWindowId id, bool show, bool activate) override;
  void SetHostZOrder(const std::vector<HostWindowId>& topFirst) override;
  void SetHostWindowTitle(HostWindowId id, std::string_view title) override;
  bool SetHostWindowShape(HostWindowId id, const Region* shape) override;
  bool SetHostWindowOpacity(HostWindowId id, int alpha) override;
  void FocusHostWindow(HostWindowId id) override;
  void Present(HostWindowId id, const Bitmap& pixels, const Region& dirty) override;
  std::uint64_t Now() override { return m_now; }
  void PollEvents() override {}
  bool WaitEvents(int timeoutMs) override;
  void WatchDescriptor(int) override {}
  bool DisplayLost() const override { return m_lost; }
  std::vector<MonitorDesc> Monitors() override;
  Point CursorPos() override { return m_cursor; }
  void SetCursorPos(Point screen) override { m_cursor = screen; }
  void SetCursorShape(int cursorId) override { m_cursorShape = cursorId; }
  void SetMouseCapture(bool on) override { m_mouseCaptured = on; }
  bool SetClipboardText(std::string_view utf8) override;
  std::string ClipboardText() override { return m_clipboard; }
  bool HasClipboardText() override { return !m_clipboard.empty(); }
  void SetTextInputRect(const Rect& screen) override { m_textInputRect = screen; }
  void Beep() override { ++m_beeps; }

  // The virtual clock: moves it on by `ms`, stopping at every timer that falls due on the
  // way (in the order they fall due) and dispatching what is pending at each stop.
  void AdvanceClock(std::uint64_t ms);
  // Dispatches what is pending (input included) without moving the clock.
  void Pump();

  // Injected input (queued; Pump or a message loop delivers it). Screen coordinates.
  void MoveMouse(Point screen);
  void PressMouse(Point screen, MouseButton button = MouseButton::Left);
  void ReleaseMouse(Point screen, MouseButton button = MouseButton::Left);
  void Click(Point screen, MouseButton button = MouseButton::Left);
  void Wheel(Point screen, int delta);
  void KeyDown(int virtualKey, bool repeat = false);
  void KeyUp(int virtualKey);
  void Key(int virtualKey);  // down and up
  // Text as an input method or keyboard layout delivers it (UTF-8), without key events.
  void TypeText(std::string_view utf8);
  void Compose(std::u32string_view text, int cursor);
  // Another program takes the keyboard focus.
  void FocusOtherProgram();
  // The pointer leaves every window for the desktop.
  void LeaveWindows();
  // Something outside the program shows a window that is hidden (maps it again); it
  // comes back black until presented.
  void MapFromOutside(HostWindowId id);
  // The desktop goes away: the sink is told at once, and presenting, showing and the
  // clipboard do nothing from then on.
  void LoseDisplay();

  // While a modal loop waits with nothing queued, this is called; it may inject input.
  // Returning false means it had nothing to give. Without one (or when it gives nothing),
  // waiting moves the clock on to the next timer, and waiting for ever is an error.
  void SetIdleHandler(std::function<bool()> handler) { m_idle = std::move(handler); }

  // The composed screen: the desktop, the bar and the shown windows in z-order, with
  // their shapes and opacity.
  Bitmap Screenshot() const;
  // One window's pixels as last presented.
  const Bitmap* WindowPixels(HostWindowId id) const;
  const WindowState* HostWindow(HostWindowId id) const;
  HostWindowId FocusedWindow() const { return m_focused; }
  int CursorShape() const { return m_cursorShape; }
  bool MouseCaptured() const { return m_mouseCaptured; }
  int BeepCount() const { return m_beeps; }
  const Rect& TextInputRect() const { return m_textInputRect; }
  Size ScreenSize() const { return m_screen; }

  static constexpr Pixel DesktopPixel = MakePixel(0, 128, 128);
  static constexpr Pixel BarPixel = MakePixel(192, 192, 192);

 private:
  WindowState* Find(HostWindowId id);
  void Injected();

  HostSink* m_sink = nullptr;
  Size m_screen;
  int m_bar;
  std::uint64_t m_now = 0;
  std::uint64_t m_waited = 0;  // virtual time spent waiting with no input since the last
  std::map<HostWindowId, WindowState> m_windows;
  std::vector<HostWindowId> m_zOrder;  // top first
  HostWindowId m_nextId = 1;
  HostWindowId m_focused = 0;
  Point m_cursor;
  int m_cursorShape = 32512;
  bool m_mouseCaptured = false;
  std::string m_clipboard;
  Rect m_textInputRect;
  int m_beeps = 0;
  std::function<bool()> m_idle;
  bool m_lost = false;
};
