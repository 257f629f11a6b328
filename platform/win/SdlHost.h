// SdlHost: shows each top-level window as a borderless SDL2 window on a real desktop (X11
// or Wayland) and turns SDL's events into the window system's input.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/win/Host.h"

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

class SdlHost : public Host {
 public:
  // Starts SDL's video; throws std::runtime_error when there is no usable display.
  SdlHost();
  ~SdlHost() override;
  SdlHost(const SdlHost&) = delete;
  SdlHost& operator=(const SdlHost&) = delete;

  std::string Name() const override { return "sdl"; }
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
  std::uint64_t Now() override;
  void PollEvents() override;
  bool WaitEvents(int timeoutMs) override;
  void WatchDescriptor(int fd) override { m_wakeFd = fd; }
  bool DisplayLost() const override { return m_lost; }
  std::vector<MonitorDesc> Monitors() override;
  Point CursorPos() override;
  void SetCursorPos(Point screen) override;
  void SetCursorShape(int cursorId) override;
  void SetMouseCapture(bool on) override;
  bool SetClipboardText(std::string_view utf8) override;
  std::string ClipboardText() override;
  bool HasClipboardText() override;
  void SetTextInputRect(const Rect& screen) override;
  void Beep() override;

  // Whether windows can be given a shape here (X SHAPE is available).
  bool CanShape() const { return m_canShape; }

 private:
  struct HostWindow {
    SDL_Window* window = nullptr;
    Rect rect;
    bool visible = false;
    bool noActivate = false;
    void* surface = nullptr;  // the window surface last presented to
    bool shaped = false;
  };
  HostWindow* Find(HostWindowId id);
  HostWindowId IdOf(std::uint32_t sdlWindowId) const;
  void Handle(const SDL_Event& e);
  Point ToScreen(std::uint32_t sdlWindowId, int x, int y);
  // Where the pointer is on the screen now; `window` (may be null) tells the desktop.
  Point PointerNow(SDL_Window* window);
  void FlushMotion();
  // Reports what SDL has queued; whether there was anything.
  bool Drain();
  // Whether the desktop is gone; the sink hears of it the first time.
  bool CheckLost();

  HostSink* m_sink = nullptr;
  std::map<HostWindowId, HostWindow> m_windows;
  std::vector<HostWindowId> m_zOrder;
  std::map<int, SDL_Cursor*> m_cursors;
  int m_cursorShape = 0;
  bool m_canShape = false;
  bool m_captured = false;
  // A pointer motion not yet told to the sink, and the window it came in.
  bool m_motionPending = false;
  std::uint32_t m_motionWindow = 0;
  // Once the desktop is gone no call reaches SDL's video any more: each would fail, and
  // some (the clipboard, waiting for events) would spin doing so.
  bool m_lost = false;
  int m_connectionFd = -1;  // the X connection, waited on directly
  int m_wakeFd = -1;
  HostWindowId m_nextDeadId = 0x7F000000;  // windows made after the loss
};
