// SdlHost: borderless SDL windows presenting the window system's pixels, and SDL events
// turned into input.
#include "platform/win/SdlHost.h"

#include <SDL.h>
#include <poll.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/sys/Utf8.h"
#include "platform/win/SdlX11.h"
#include "platform/win/WinConst.h"

namespace {

int KeyFromSdl(SDL_Keycode k) {
  if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
  if (k >= SDLK_F1 && k <= SDLK_F12) return VK_F1 + (k - SDLK_F1);
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (k - SDLK_KP_1);
  switch (k) {
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_LSHIFT: return VK_LSHIFT;
    case SDLK_RSHIFT: return VK_RSHIFT;
    case SDLK_LCTRL: return VK_LCONTROL;
    case SDLK_RCTRL: return VK_RCONTROL;
    case SDLK_LALT: return VK_LMENU;
    case SDLK_RALT: return VK_RMENU;
    case SDLK_LGUI: return VK_LWIN;
    case SDLK_RGUI: return VK_RWIN;
    case SDLK_APPLICATION: return VK_APPS;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDLK_SCROLLLOCK: return VK_SCROLL;
    case SDLK_PRINTSCREEN: return VK_SNAPSHOT;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    default: return 0;
  }
}

SDL_SystemCursor SdlCursor(int id) {
  switch (id) {
    case IDC_IBEAM: return SDL_SYSTEM_CURSOR_IBEAM;
    case IDC_WAIT: return SDL_SYSTEM_CURSOR_WAIT;
    case IDC_CROSS: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case IDC_APPSTARTING: return SDL_SYSTEM_CURSOR_WAITARROW;
    case IDC_SIZENWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case IDC_SIZENESW: return SDL_SYSTEM_CURSOR_SIZENESW;
    case IDC_SIZEWE: return SDL_SYSTEM_CURSOR_SIZEWE;
    case IDC_SIZENS: return SDL_SYSTEM_CURSOR_SIZENS;
    case IDC_SIZEALL: return SDL_SYSTEM_CURSOR_SIZEALL;
    case IDC_NO: return SDL_SYSTEM_CURSOR_NO;
    case IDC_HAND: return SDL_SYSTEM_CURSOR_HAND;
    default: return SDL_SYSTEM_CURSOR_ARROW;  // arrow, up arrow, help
  }
}

std::u32string ToUtf32(const char* utf8) {
  std::u32string out;
  std::string_view s(utf8 ? utf8 : "");
  for (std::size_t i = 0; i < s.size();) {
    Utf8Char c = DecodeUtf8(s, i);
    out.push_back(c.code);
    i += std::max<std::size_t>(1, c.length);
  }
  return out;
}

}  // namespace

SdlHost::SdlHost() {
  // Without this SDL recreates the X window behind an accelerated surface, losing its shape.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // Termination signals keep their usual effect; SDL would turn them into events we ignore.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint("SDL_QUIT_ON_LAST_WINDOW_CLOSE", "0");
  SDL_SetHint("SDL_WINDOW_NO_ACTIVATION_WHEN_SHOWN", "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  // SDL's video starts once per process and is never stopped: starting it again after a
  // stop crashes SDL's X11 mouse code, a second host (tests, benchmarks) is legitimate, a
  // host destroyed by a static destructor at exit must still find SDL running, and a stop
  // at exit flushes requests whose late errors would end the program with a failure.
  static bool started = false;
  if (!started) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0)
      throw std::runtime_error(std::string("SdlHost: SDL cannot start its video: ") + SDL_GetError());
    started = true;
  }
  // SDL falls back to drivers without a screen (offscreen, dummy) where no display answers;
  // those are no desktop to show windows on.
  const char* driver = SDL_GetCurrentVideoDriver();
  std::string name = driver ? driver : "";
  if (name == "offscreen" || name == "dummy" || name == "evdev" || SDL_GetNumVideoDisplays() < 1) {
    throw std::runtime_error("SdlHost: no desktop to show windows on (SDL video driver '" + name + "')");
  }
  if (name == "x11") X11KeepAliveOnErrors();
  SDL_EventState(SDL_DROPFILE, SDL_DISABLE);
  SDL_StartTextInput();
}

SdlHost::~SdlHost() {
  if (m_lost || X11DisplayLost()) return;  // nothing left to tidy on the desktop
  for (auto& [id, w] : m_windows)
    if (w.window) SDL_DestroyWindow(w.window);
  m_windows.clear();
  SDL_SetCursor(SDL_GetDefaultCursor());
  for (auto& [id, c] : m_cursors) SDL_FreeCursor(c);
  SDL_CaptureMouse(SDL_FALSE);
  // Drop what the desktop reported for windows that are gone.
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

SdlHost::HostWindow* SdlHost::Find(HostWindowId id) {
  auto it = m_windows.find(id);
  return it == m_windows.end() ? nullptr : &it->second;
}

HostWindowId SdlHost::IdOf(std::uint32_t sdlWindowId) const {
  return m_windows.count(sdlWindowId) ? sdlWindowId : 0;
}

HostWindowId SdlHost::CreateHostWindow(const HostWindowDesc& desc) {
  // The window system still counts on a window; the program is about to end.
  if (CheckLost()) return ++m_nextDeadId;
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
  if (desc.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  if (desc.toolWindow || desc.popup) flags |= SDL_WINDOW_SKIP_TASKBAR;
  if (desc.popup) flags |= SDL_WINDOW_POPUP_MENU;
  int w = std::max(1, desc.rect.Width()), h = std::max(1, desc.rect.Height());
  SDL_Window* window =
      SDL_CreateWindow(desc.title.c_str(), desc.rect.left, desc.rect.top, w, h, flags);
  if (!window) throw std::runtime_error(std::string("SdlHost: cannot create a window: ") + SDL_GetError());
  HostWindowId id = SDL_GetWindowID(window);
  HostWindow& hw = m_windows[id];
  hw.window = window;
  hw.rect = desc.rect;
  hw.noActivate = desc.noActivate || desc.popup;
  m_zOrder.insert(m_zOrder.begin(), id);
  if (!m_canShape) m_canShape = X11CanShape(window);
  if (m_connectionFd < 0) {
    m_connectionFd = X11ConnectionDescriptor(window);
    X11WatchConnection(window);
  }
  return id;
}

void SdlHost::DestroyHostWindow(HostWindowId id) {
  HostWindow* hw = Find(id);
  if (!hw) return;
  if (!CheckLost()) SDL_DestroyWindow(hw->window);
  m_windows.erase(id);
  m_zOrder.erase(std::remove(m_zOrder.begin(), m_zOrder.end(), id), m_zOrder.end());
}

void SdlHost::SetHostWindowRect(HostWindowId id, const Rect& rect) {
  HostWindow* hw = Find(id);
  if (!hw || CheckLost()) return;
  if (rect.TopLeft() != hw->rect.TopLeft()) SDL_SetWindowPosition(hw->window, rect.left, rect.top);
  if (rect.GetSize() != hw->rect.GetSize())
    SDL_SetWindowSize(hw->window, std::max(1, rect.Width()), std::max(1, rect.Height()));
  hw->rect = rect;
}

void SdlHost::ShowHostWindow(HostWindowId id, bool show, bool activate) {
  HostWindow* hw = Find(id);
  if (CheckLost()) return;
  if (!hw || hw->visible == show) {
    if (hw && show && activate) SDL_SetWindowInputFocus(hw->window);
    return;
  }
  hw->visible = show;
  if (show) {
    SDL_ShowWindow(hw->window);
    // Some desktops place a window themselves when it is mapped; put it where we want it.
    SDL_SetWindowPosition(hw->window, hw->rect.left, hw->rect.top);
    if (activate && !hw->noActivate) {
      SDL_RaiseWindow(hw->window);
      SDL_SetWindowInputFocus(hw->window);
    }
  } else {
    SDL_HideWindow(hw->window);
  }
}

void SdlHost::SetHostZOrder(const std::vector<HostWindowId>& topFirst) {
  if (CheckLost()) return;
  std::vector<HostWindowId> order;
  for (HostWindowId id : topFirst)
    if (m_windows.count(id)) order.push_back(id);
  if (order == m_zOrder) return;
  // Raise from the bottom up, but only from the first window whose place changed.
  std::size_t same = 0;
  while (same < order.size() && same < m_zOrder.size() &&
         order[order.size() - 1 - same] == m_zOrder[m_zOrder.size() - 1 - same])
    ++same;
  for (std::size_t i = order.size() - same; i-- > 0;) {
    HostWindow* hw = Find(order[i]);
    if (hw && hw->visible) SDL_RaiseWindow(hw->window);
  }
  m_zOrder = order;
}

void SdlHost::SetHostWindowTitle(HostWindowId id, std::string_view title) {
  if (CheckLost()) return;
  if (HostWindow* hw = Find(id)) SDL_SetWindowTitle(hw->window, std::string(title).c_str());
}

bool SdlHost::SetHostWindowShape(HostWindowId id, const Region* shape) {
  HostWindow* hw = Find(id);
  if (!hw || CheckLost()) return false;
  if (!shape && !hw->shaped) return m_canShape;
  bool ok = X11SetShape(hw->window, shape ? &shape->Rects() : nullptr);
  hw->shaped = ok && shape;
  return ok;
}

bool SdlHost::SetHostWindowOpacity(HostWindowId id, int alpha) {
  HostWindow* hw = Find(id);
  if (!hw || CheckLost()) return false;
  // SDL reports success even where the desktop cannot blend windows; it is the best we know.
  return SDL_SetWindowOpacity(hw->window, static_cast<float>(std::clamp(alpha, 0, 255)) / 255.0f) == 0;
}

void SdlHost::FocusHostWindow(HostWindowId id) {
  HostWindow* hw = Find(id);
  if (!hw || !hw->visible || hw->noActivate || CheckLost()) return;
  SDL_SetWindowInputFocus(hw->window);
}

void SdlHost::Present(HostWindowId id, const Bitmap& pixels, const Region& dirty) {
  HostWindow* hw = Find(id);
  if (!hw || CheckLost()) return;
  SDL_Surface* surface = SDL_GetWindowSurface(hw->window);
  if (!surface) return;
  bool fresh = surface != hw->surface;
  hw->surface = surface;
  Rect area(0, 0, std::min(surface->w, pixels.Width()), std::min(surface->h, pixels.Height()));
  std::vector<Rect> rects;
  if (fresh) rects.push_back(area);
  else
    for (const Rect& r : dirty.Rects()) {
      Rect c = r.Intersected(area);
      if (!c.IsEmpty()) rects.push_back(c);
    }
  if (rects.empty()) return;
  bool direct = surface->format->format == SDL_PIXELFORMAT_RGB888 ||
                surface->format->format == SDL_PIXELFORMAT_ARGB8888;
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  auto* base = static_cast<std::uint8_t*>(surface->pixels);
  std::vector<SDL_Rect> sdlRects;
  for (const Rect& r : rects) {
    std::uint8_t* dst = base + static_cast<std::size_t>(r.top) * surface->pitch +
                        static_cast<std::size_t>(r.left) * surface->format->BytesPerPixel;
    const Pixel* src = pixels.Row(r.top) + r.left;
    if (direct) {
      for (int y = 0; y < r.Height(); ++y)
        std::memcpy(dst + static_cast<std::size_t>(y) * surface->pitch, src + static_cast<std::size_t>(y) * pixels.Width(),
                    static_cast<std::size_t>(r.Width()) * 4);
    } else {
      SDL_ConvertPixels(r.Width(), r.Height(), SDL_PIXELFORMAT_ARGB8888, src, pixels.Width() * 4,
                        surface->format->format, dst, surface->pitch);
    }
    sdlRects.push_back({r.left, r.top, r.Width(), r.Height()});
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  SDL_UpdateWindowSurfaceRects(hw->window, sdlRects.data(), static_cast<int>(sdlRects.size()));
}

std::uint64_t SdlHost::Now() { return SDL_GetTicks64(); }

Point SdlHost::ToScreen(std::uint32_t sdlWindowId, int x, int y) {
  // Event coordinates are relative to where the desktop had the window when the event
  // happened; a window we moved since (a drag does so at every step) would add the move
  // twice. The pointer's own screen position has no such lag.
  (void)x;
  (void)y;
  return PointerNow(SDL_GetWindowFromID(sdlWindowId));
}

Point SdlHost::PointerNow(SDL_Window* window) {
  if (!window) {
    for (auto& [id, w] : m_windows)
      if (w.window) {
        window = w.window;
        break;
      }
  }
  // SDL's global state on X11 follows only the events of its input extension, which
  // synthetic and some real pointer motions never raise: asked there, it lags behind.
  Point p;
  if (X11PointerPosition(window, &p)) return p;
  int gx = 0, gy = 0;
  SDL_GetGlobalMouseState(&gx, &gy);
  return {gx, gy};
}

void SdlHost::Handle(const SDL_Event& e) {
  if (!m_sink) return;
  // Asking where the pointer is costs a round trip to the desktop: a run of motions is told
  // once, with the position at its end, before whatever event follows it.
  if (e.type == SDL_MOUSEMOTION) {
    m_motionWindow = e.motion.windowID;
    m_motionPending = true;
    return;
  }
  FlushMotion();
  switch (e.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      MouseButton b = e.button.button == SDL_BUTTON_RIGHT    ? MouseButton::Right
                      : e.button.button == SDL_BUTTON_MIDDLE ? MouseButton::Middle
                                                             : MouseButton::Left;
      if (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT &&
          e.button.button != SDL_BUTTON_MIDDLE)
        break;
      Point p = ToScreen(e.button.windowID, e.button.x, e.button.y);
      m_sink->OnMouseMove(p);
      m_sink->OnMouseButton(b, e.type == SDL_MOUSEBUTTONDOWN, p);
      break;
    }
    case SDL_MOUSEWHEEL: {
      int delta = e.wheel.y * 120;
      if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) delta = -delta;
      if (delta) m_sink->OnMouseWheel(delta, CursorPos());
      break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      int vk = KeyFromSdl(e.key.keysym.sym);
      if (vk) m_sink->OnKey(vk, e.type == SDL_KEYDOWN, e.key.repeat != 0);
      break;
    }
    case SDL_TEXTINPUT: {
      std::u32string text = ToUtf32(e.text.text);
      // Control keys reach the windows as keys; only printable text comes this way.
      text.erase(std::remove_if(text.begin(), text.end(),
                                [](char32_t c) { return c < 0x20 || c == 0x7F; }),
                 text.end());
      if (!text.empty()) m_sink->OnText(text);
      break;
    }
    case SDL_TEXTEDITING:
      m_sink->OnComposition(ToUtf32(e.edit.text), e.edit.start);
      break;
    case SDL_WINDOWEVENT: {
      HostWindowId id = IdOf(e.window.windowID);
      if (!id) break;
      HostWindow* hw = Find(id);
      switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: m_sink->OnHostFocus(id, true); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: m_sink->OnHostFocus(id, false); break;
        case SDL_WINDOWEVENT_SHOWN:
          // Shown by someone else (we mark our own shows first): a minimized window
          // mapped again from outside, where no window manager keeps it hidden.
          if (!hw->visible && (SDL_GetWindowFlags(hw->window) & SDL_WINDOW_SHOWN)) {
            hw->visible = true;
            hw->surface = nullptr;
            m_sink->OnHostShown(id);
          }
          break;
        case SDL_WINDOWEVENT_EXPOSED:
          hw->surface = nullptr;  // present everything again
          m_sink->OnHostExposed(id);
          break;
        case SDL_WINDOWEVENT_MOVED: {
          Rect r = Rect::FromSize(e.window.data1, e.window.data2, hw->rect.Width(), hw->rect.Height());
          if (r != hw->rect) {
            hw->rect = r;
            m_sink->OnHostMoved(id, r);
          }
          break;
        }
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
          Rect r = Rect::FromSize(hw->rect.left, hw->rect.top, e.window.data1, e.window.data2);
          hw->surface = nullptr;
          if (r != hw->rect) {
            hw->rect = r;
            m_sink->OnHostMoved(id, r);
          }
          break;
        }
        case SDL_WINDOWEVENT_LEAVE: m_sink->OnMouseLeftHost(); break;
        case SDL_WINDOWEVENT_CLOSE: m_sink->OnHostClose(id); break;
        default: break;
      }
      break;
    }
    default:
      break;
  }
}

void SdlHost::FlushMotion() {
  if (!m_motionPending || !m_sink) return;
  m_motionPending = false;
  m_sink->OnMouseMove(ToScreen(m_motionWindow, 0, 0));
}

bool SdlHost::CheckLost() {
  if (m_lost || !X11DisplayLost()) return m_lost;
  m_lost = true;
  m_captured = false;
  m_motionPending = false;
  if (m_sink) m_sink->OnDisplayLost();
  return true;
}

bool SdlHost::Drain() {
  if (CheckLost()) return false;
  bool any = false;
  SDL_Event e;
  while (!m_lost && SDL_PollEvent(&e)) {
    any = true;
    Handle(e);
    CheckLost();
  }
  if (!CheckLost()) FlushMotion();
  return any || m_lost;
}

void SdlHost::PollEvents() { Drain(); }

bool SdlHost::WaitEvents(int timeoutMs) {
  if (Drain()) return true;
  if (m_lost) {
    // Nothing will come from the desktop again; the wait still waits, so that a loop that
    // goes on regardless does not spin.
    pollfd wake{m_wakeFd, POLLIN, 0};
    ::poll(&wake, m_wakeFd >= 0 ? 1 : 0, timeoutMs);
    return false;
  }
  if (m_connectionFd >= 0) {
    // SDL's queue and Xlib's are empty now (the drain read all there was and sent what
    // was queued): wait for the server or a signal. A broken connection reads as ready,
    // and the drain after it finds the loss.
    pollfd fds[2] = {{m_connectionFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    const int n = ::poll(fds, m_wakeFd >= 0 ? 2 : 1, timeoutMs);
    if (n <= 0) return false;
    return Drain() || (fds[1].revents & POLLIN);
  }
  // No connection of our own to wait on (no window yet, or not X11): SDL waits, in short
  // steps while a signal descriptor is to be heeded, which SDL does not watch.
  int step = timeoutMs;
  if (m_wakeFd >= 0 && (step < 0 || step > 100)) step = 100;
  SDL_Event e;
  const int got = step < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, step);
  if (!got) return false;
  Handle(e);
  Drain();
  return true;
}

std::vector<MonitorDesc> SdlHost::Monitors() {
  std::vector<MonitorDesc> out;
  if (CheckLost()) return out;
  int n = SDL_GetNumVideoDisplays();
  for (int i = 0; i < n; ++i) {
    SDL_Rect b, u;
    if (SDL_GetDisplayBounds(i, &b) != 0) continue;
    if (SDL_GetDisplayUsableBounds(i, &u) != 0) u = b;
    out.push_back({Rect::FromSize(b.x, b.y, b.w, b.h), Rect::FromSize(u.x, u.y, u.w, u.h)});
  }
  return out;
}

Point SdlHost::CursorPos() {
  if (CheckLost()) return {};
  return PointerNow(nullptr);
}

void SdlHost::SetCursorPos(Point screen) {
  if (!CheckLost()) SDL_WarpMouseGlobal(screen.x, screen.y);
}

void SdlHost::SetCursorShape(int cursorId) {
  if (cursorId == m_cursorShape || CheckLost()) return;
  SDL_Cursor*& c = m_cursors[cursorId];
  if (!c) c = SDL_CreateSystemCursor(SdlCursor(cursorId));
  if (c) SDL_SetCursor(c);
  m_cursorShape = cursorId;
}

void SdlHost::SetMouseCapture(bool on) {
  if (on == m_captured || CheckLost()) return;
  m_captured = on;
  SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE);
}

bool SdlHost::SetClipboardText(std::string_view utf8) {
  if (CheckLost()) return false;
  return SDL_SetClipboardText(std::string(utf8).c_str()) == 0;
}

std::string SdlHost::ClipboardText() {
  // Reading waits for the owner's answer, pumping events all the while.
  if (CheckLost()) return {};
  char* text = SDL_GetClipboardText();
  std::string out = text ? text : "";
  SDL_free(text);
  return out;
}

bool SdlHost::HasClipboardText() { return !CheckLost() && SDL_HasClipboardText() == SDL_TRUE; }

void SdlHost::SetTextInputRect(const Rect& screen) {
  if (CheckLost()) return;
  // SDL wants the rectangle relative to the window with the keyboard focus.
  SDL_Window* focus = SDL_GetKeyboardFocus();
  int wx = 0, wy = 0;
  if (focus) SDL_GetWindowPosition(focus, &wx, &wy);
  SDL_Rect r{screen.left - wx, screen.top - wy, screen.Width(), screen.Height()};
  SDL_SetTextInputRect(&r);
}

void SdlHost::Beep() {
  if (CheckLost()) return;
  for (auto& [id, w] : m_windows)
    if (X11Bell(w.window)) return;
}
