// WindowSystem: input from the host — queued raw, routed to windows as it is taken from the
// queue (hit test, activation, cursor, enter/leave, double clicks) — and focus, activation,
// capture and cursor state.
#include <algorithm>
#include <cstdlib>

#include "platform/win/WinConst.h"
#include "platform/win/WindowSystem.h"

namespace {

constexpr UINT ButtonMessage(MouseButton b, int kind /*0 down 1 up 2 dbl*/, bool nonClient) {
  UINT base = nonClient ? WM_NCLBUTTONDOWN : WM_LBUTTONDOWN;
  UINT offset = b == MouseButton::Left ? 0 : (b == MouseButton::Right ? 3 : 6);
  return base + offset + static_cast<UINT>(kind);
}

constexpr int ButtonKey(MouseButton b) {
  return b == MouseButton::Left ? VK_LBUTTON : (b == MouseButton::Right ? VK_RBUTTON : VK_MBUTTON);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Host reports: queued as they come

void WindowSystem::OnMouseMove(Point screen) {
  m_cursorPos = screen;
  // Moves between other input collapse into the latest one.
  if (!m_input.empty() && m_input.back().kind == InputKind::MouseMove) {
    m_input.back().pt = screen;
    m_input.back().time = m_host->Now();
    return;
  }
  InputEvent ev{InputKind::MouseMove, screen};
  ev.time = m_host->Now();
  m_input.push_back(ev);
}

void WindowSystem::OnMouseButton(MouseButton button, bool down, Point screen) {
  m_cursorPos = screen;
  InputEvent ev{InputKind::MouseButton, screen};
  ev.button = button;
  ev.down = down;
  ev.time = m_host->Now();
  m_input.push_back(ev);
}

void WindowSystem::OnMouseWheel(int delta, Point screen) {
  InputEvent ev{InputKind::Wheel, screen};
  ev.value = delta;
  ev.time = m_host->Now();
  m_input.push_back(ev);
}

void WindowSystem::OnMouseLeftHost() {
  InputEvent ev{InputKind::Leave, m_cursorPos};
  ev.time = m_host->Now();
  m_input.push_back(ev);
}

void WindowSystem::OnKey(int virtualKey, bool down, bool repeat) {
  InputEvent ev{InputKind::Key, m_cursorPos};
  ev.value = virtualKey & 0xFF;
  ev.down = down;
  ev.repeat = repeat;
  ev.time = m_host->Now();
  m_input.push_back(ev);
}

void WindowSystem::OnText(std::u32string_view text) {
  for (char32_t c : text) {
    InputEvent ev{InputKind::Char, m_cursorPos};
    ev.value = static_cast<int>(c);
    ev.time = m_host->Now();
    m_input.push_back(ev);
  }
}

void WindowSystem::OnComposition(std::u32string_view text, int cursor) {
  InputEvent ev{InputKind::Composition, m_cursorPos};
  ev.text = std::u32string(text);
  ev.value = cursor;
  ev.time = m_host->Now();
  m_input.push_back(ev);
}

void WindowSystem::OnHostFocus(HostWindowId id, bool gained) {
  InputEvent ev{InputKind::Focus, m_cursorPos};
  ev.value = static_cast<int>(id);
  ev.down = gained;
  ev.time = m_host->Now();
  m_input.push_back(ev);
}

void WindowSystem::RouteHostFocus(const InputEvent& ev) {
  HostWindowId id = static_cast<HostWindowId>(ev.value);
  Window* target = nullptr;
  for (HWND h : m_topLevels)
    if (h->m_hostId == id) target = h;
  if (ev.down) {
    if (!target) return;
    // Menus, hints and drop-downs never activate from the desktop's side; the window
    // system decides on their activation itself.
    bool popup = (target->m_style & WS_POPUP) &&
                 (target->m_exStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST));
    if (!CanActivate(target) || (popup && m_active != target)) {
      // A popup that must not activate took the focus (no window manager to stop it):
      // give it back to the active window.
      if (m_active && m_active->m_hostId) m_host->FocusHostWindow(m_active->m_hostId);
      return;
    }
    if (m_active != target) Activate(target, WA_ACTIVE);
    return;
  }
  // Only a loss to another program deactivates us; a switch between our own windows comes
  // with a gain of its own right behind it.
  if (!target || target != m_active) return;
  bool regained = std::any_of(m_input.begin(), m_input.end(), [&](const InputEvent& e) {
    if (e.kind != InputKind::Focus || !e.down) return false;
    for (HWND h : m_topLevels)
      if (h->m_hostId == static_cast<HostWindowId>(e.value)) return true;
    return false;
  });
  if (!regained) Activate(nullptr, WA_INACTIVE);
}

// ---------------------------------------------------------------------------------------
// Taking input from the queue

bool WindowSystem::TakeInput(MSG* msg, HWND filter, UINT first, UINT last, bool remove) {
  auto matches = [&](const MSG& m) {
    bool rangeOk = (first == 0 && last == 0) || (m.message >= first && m.message <= last);
    return rangeOk && (!filter || m.hwnd == filter || IsChildOf(filter, m.hwnd));
  };
  for (;;) {
    auto it = std::find_if(m_routed.begin(), m_routed.end(), matches);
    if (it != m_routed.end()) {
      *msg = *it;
      if (remove) m_routed.erase(it);
      return true;
    }
    if (m_input.empty()) return false;
    // Route the next raw event: it becomes zero or more messages.
    InputEvent ev = m_input.front();
    m_input.pop_front();
    MSG routed;
    bool got = false;
    if (ev.kind == InputKind::Focus)
      RouteHostFocus(ev);
    else if (ev.kind == InputKind::Key || ev.kind == InputKind::Char || ev.kind == InputKind::Composition)
      got = RouteKey(ev, &routed);
    else
      got = RouteMouse(ev, &routed);
    if (got) m_routed.push_back(routed);
  }
}

void WindowSystem::TrackEnterLeave(HWND hwnd, bool client) {
  if (!m_track.hwnd) return;
  bool leave = hwnd != m_track.hwnd;
  if (!leave) {
    if (m_track.client && !m_track.nonClient && !client) leave = true;
    if (m_track.nonClient && !m_track.client && client) leave = true;
  }
  if (!leave) return;
  HWND h = m_track.hwnd;
  bool nc = m_track.nonClient && !m_track.client;
  m_track = TrackState{};
  PostMessage(h, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
}

bool WindowSystem::RouteMouse(const InputEvent& ev, MSG* msg) {
  Point pt = ev.pt;
  *msg = MSG{};
  msg->time = static_cast<DWORD>(ev.time);
  msg->pt = pt;
  if (ev.kind == InputKind::MouseButton) {
    int vk = ButtonKey(ev.button);
    if (ev.down) m_keys[vk] |= 0x80;
    else m_keys[vk] &= static_cast<BYTE>(~0x80);
  }
  if (ev.kind == InputKind::Leave) {
    TrackEnterLeave(nullptr, false);
    m_lastMouseWindow = nullptr;
    return false;
  }

  HWND under = WindowFromPoint(pt);
  int hit = HTNOWHERE;
  HWND target = nullptr;
  if (m_capture) {
    target = m_capture;
    hit = HTCLIENT;
  } else {
    std::vector<HWND> skipped;
    target = under;
    while (target) {
      hit = static_cast<int>(static_cast<short>(SendMessage(target, WM_NCHITTEST, 0, PointToLParam(pt))));
      if (hit != HTTRANSPARENT || skipped.size() > 16) break;
      skipped.push_back(target);
      target = WindowFromPointSkipping(pt, skipped);
    }
    if (target && !Get(target)) target = nullptr;
  }
  TrackEnterLeave(m_capture ? under : target, hit == HTCLIENT);
  m_lastMouseWindow = target;

  if (ev.kind == InputKind::Wheel) {
    HWND to = m_focus ? m_focus : (m_active ? m_active : target);
    if (!to) return false;
    msg->hwnd = to;
    msg->message = WM_MOUSEWHEEL;
    msg->wParam = MAKEWPARAM(static_cast<int>(MouseKeyFlags()), ev.value);
    msg->lParam = PointToLParam(pt);
    return true;
  }
  if (!target) return false;

  UINT mouseMsg = WM_MOUSEMOVE;
  if (ev.kind == InputKind::MouseButton) mouseMsg = ButtonMessage(ev.button, ev.down ? 0 : 1, false);

  Window* top = TopLevelOf(target);
  bool disabled = !m_capture && ((top->m_style & WS_DISABLED) || (target->m_style & WS_DISABLED));
  if (disabled) {
    // A window behind a modal one: the cursor shows the refusal, presses are dropped.
    SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTERROR, mouseMsg));
    if (ev.kind == InputKind::MouseButton && ev.down) {
      m_host->Beep();
      for (HWND h : m_topLevels) {
        if (h->m_owner == top && h->VisibleFlag() && CanActivate(h)) {
          Activate(h, WA_ACTIVE);
          break;
        }
      }
    }
    return false;
  }

  bool eat = false;
  if (!m_capture && ev.kind == InputKind::MouseButton && ev.down) {
    if (top != m_active) {
      LRESULT ma = SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                               MAKELPARAM(hit, mouseMsg));
      if (!Get(target)) return false;
      if ((ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT || ma == 0) && CanActivate(top))
        Activate(top, WA_CLICKACTIVE);
      eat = ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT;
      if (!Get(target)) return false;
    }
  }
  if (!m_capture) {
    SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, mouseMsg));
    if (!Get(target)) return false;
  }
  if (eat) return false;

  bool client = hit == HTCLIENT;
  if (ev.kind == InputKind::MouseButton && ev.down) {
    // Double clicks: the same window and button, in time and close by.
    bool dbl = m_lastClick.valid && m_lastClick.hwnd == target && m_lastClick.button == ev.button &&
               (m_lastClick.hit == HTCLIENT) == client &&
               ev.time - m_lastClick.time <= 500 &&
               std::abs(pt.x - m_lastClick.pt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
               std::abs(pt.y - m_lastClick.pt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (dbl && client && !(target->m_class->style & CS_DBLCLKS)) dbl = false;
    if (dbl) {
      m_lastClick.valid = false;
      mouseMsg = ButtonMessage(ev.button, 2, !client);
    } else {
      m_lastClick = Click{target, ev.button, ev.time, pt, hit, true};
      mouseMsg = ButtonMessage(ev.button, 0, !client);
    }
  } else if (ev.kind == InputKind::MouseButton) {
    mouseMsg = ButtonMessage(ev.button, 1, !client);
  } else {
    mouseMsg = client ? WM_MOUSEMOVE : WM_NCMOUSEMOVE;
  }

  msg->hwnd = target;
  msg->message = mouseMsg;
  if (client) {
    msg->wParam = MouseKeyFlags();
    msg->lParam = PointToLParam(ScreenToClient(target, pt));
  } else {
    msg->wParam = static_cast<WPARAM>(hit);
    msg->lParam = PointToLParam(pt);
  }
  return true;
}

bool WindowSystem::RouteKey(const InputEvent& ev, MSG* msg) {
  *msg = MSG{};
  msg->time = static_cast<DWORD>(ev.time);
  msg->pt = m_cursorPos;
  if (ev.kind == InputKind::Key) {
    int vk = ev.value;
    bool wasDown = (m_keys[vk] & 0x80) != 0;
    if (ev.down) {
      if (!wasDown) m_keys[vk] ^= 0x01;  // toggle state
      m_keys[vk] |= 0x80;
    } else {
      m_keys[vk] &= static_cast<BYTE>(~0x80);
    }
    // The generic modifier keys follow their left and right keys.
    auto sync = [&](int generic, int l, int r) {
      if (vk == l || vk == r) {
        bool any = (m_keys[l] & 0x80) || (m_keys[r] & 0x80);
        m_keys[generic] = static_cast<BYTE>((m_keys[generic] & 0x01) | (any ? 0x80 : 0));
      }
    };
    sync(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
    sync(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
    sync(VK_MENU, VK_LMENU, VK_RMENU);
  }
  HWND target = m_focus ? m_focus : m_active;
  if (!target) return false;
  if (ev.kind == InputKind::Char) {
    if (!m_composition.empty()) {
      // A result ends the composition it came from.
      m_composition.clear();
      m_compositionCursor = 0;
      MSG end = *msg;
      end.hwnd = target;
      end.message = WM_IME_ENDCOMPOSITION;
      m_routed.push_back(end);
    }
    msg->hwnd = target;
    msg->message = WM_CHAR;
    msg->wParam = static_cast<WPARAM>(ev.value);
    msg->lParam = 1;
    return true;
  }
  if (ev.kind == InputKind::Composition) {
    bool wasComposing = !m_composition.empty();
    m_composition = ev.text;
    m_compositionCursor = ev.value;
    msg->hwnd = target;
    if (m_composition.empty()) {
      if (!wasComposing) return false;
      msg->message = WM_IME_ENDCOMPOSITION;
      return true;
    }
    if (!wasComposing) {
      MSG start = *msg;
      start.message = WM_IME_STARTCOMPOSITION;
      m_routed.push_back(start);
    }
    msg->message = WM_IME_COMPOSITION;
    msg->lParam = GCS_COMPSTR | GCS_CURSORPOS;
    return true;
  }
  int vk = ev.value;
  // Messages carry the generic modifier keys; the sided ones are for GetKeyState.
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) vk = VK_SHIFT;
  else if (vk == VK_LCONTROL || vk == VK_RCONTROL) vk = VK_CONTROL;
  else if (vk == VK_LMENU || vk == VK_RMENU) vk = VK_MENU;
  bool alt = (m_keys[VK_MENU] & 0x80) != 0;
  bool ctrl = (m_keys[VK_CONTROL] & 0x80) != 0;
  // Alt (without Ctrl) and F10 make system keys; so does any key when nothing has the focus.
  bool sys = (alt && !ctrl) || vk == VK_F10 || !m_focus;
  if (vk == VK_MENU) sys = !ctrl;
  msg->hwnd = target;
  msg->message = ev.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  msg->wParam = static_cast<WPARAM>(vk);
  std::uint32_t lp = 1;
  if (alt) lp |= 1u << 29;
  if (ev.down && ev.repeat) lp |= 1u << 30;
  if (!ev.down) lp |= (1u << 30) | (1u << 31);
  msg->lParam = static_cast<LPARAM>(static_cast<std::int32_t>(lp));
  return true;
}

// ---------------------------------------------------------------------------------------
// Activation and focus

bool WindowSystem::CanActivate(const Window* w) const {
  if (!w || w->m_destroyed || w->IsChild()) return false;
  if (w->m_exStyle & WS_EX_NOACTIVATE) return false;
  if (w->m_style & WS_DISABLED) return false;
  return w->VisibleFlag();
}

void WindowSystem::Activate(Window* w, WPARAM how) {
  if (m_active == w) return;
  Window* old = m_active;
  if (old && !Get(old)) old = nullptr;
  if (old) {
    if (m_focus && (m_focus == old || IsChildOf(old, m_focus))) old->m_lastFocus = m_focus;
    m_active = nullptr;
    SendMessage(old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(w));
    if (Get(old))
      SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, (old->m_style & WS_MINIMIZE) ? 1 : 0),
                  reinterpret_cast<LPARAM>(w));
  }
  if (w && !Get(w)) w = nullptr;
  if (!w) {
    m_active = nullptr;
    if (m_focus) SetFocusInternal(nullptr);
    if (m_appActive) {
      m_appActive = false;
      std::vector<HWND> tops = m_topLevels;
      for (HWND h : tops) SendMessage(h, WM_ACTIVATEAPP, FALSE, 0);
    }
    return;
  }
  m_active = w;
  if (m_topLevels.empty() || m_topLevels.front() != w) {
    ZOrderInsert(w, HWND_TOP);
    SyncHostZOrder();
  }
  if (!m_appActive) {
    m_appActive = true;
    std::vector<HWND> tops = m_topLevels;
    for (HWND h : tops) SendMessage(h, WM_ACTIVATEAPP, TRUE, 0);
    if (!Get(w) || m_active != w) return;
  }
  SendMessage(w, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(old));
  if (!Get(w) || m_active != w) return;
  SendMessage(w, WM_ACTIVATE, MAKEWPARAM(static_cast<int>(how), (w->m_style & WS_MINIMIZE) ? 1 : 0),
              reinterpret_cast<LPARAM>(old));
  if (!Get(w) || m_active != w) return;
  // A focus left in another top-level window goes.
  if (m_focus && m_focus != w && !IsChildOf(w, m_focus)) SetFocusInternal(nullptr);
  if (w->m_hostId) m_host->FocusHostWindow(w->m_hostId);
}

void WindowSystem::ActivateNextAfter(Window* closing) {
  // The owner first, then the topmost other window that can take it.
  Window* next = nullptr;
  if (closing->m_owner && CanActivate(closing->m_owner)) next = closing->m_owner;
  if (!next)
    for (HWND h : m_topLevels)
      if (h != closing && CanActivate(h) && !(h->m_style & WS_MINIMIZE)) {
        next = h;
        break;
      }
  if (next) Activate(next, WA_ACTIVE);
  else Activate(nullptr, WA_INACTIVE);
}

HWND WindowSystem::SetActiveWindow(HWND hwnd) {
  HWND old = m_active;
  Window* w = Get(hwnd);
  if (hwnd && !w) return nullptr;
  if (w) w = TopLevelOf(w);
  if (w && (w->m_exStyle & WS_EX_NOACTIVATE)) return old;
  if (w && (w->m_style & WS_DISABLED)) return old;
  Activate(w, WA_ACTIVE);
  return old;
}

bool WindowSystem::SetForegroundWindow(HWND hwnd) {
  Window* w = Get(hwnd);
  if (!w) return false;
  SetActiveWindow(w);
  return m_active == TopLevelOf(w);
}

void WindowSystem::SetFocusInternal(Window* w) {
  HWND old = m_focus;
  if (old == w) return;
  if (old && Get(old)) {
    m_focus = nullptr;
    SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(w), 0);
  }
  if (w && !Get(w)) w = nullptr;
  m_focus = w;
  if (w) {
    SendMessage(w, WM_SETFOCUS, reinterpret_cast<WPARAM>(Get(old) ? old : nullptr), 0);
    if (Get(w) && m_focus == w && m_caret.owner == w) {
      Point s = ClientToScreen(w, m_caret.pos);
      m_host->SetTextInputRect(Rect::FromSize(s, {m_caret.width, m_caret.height}));
    }
  }
}

HWND WindowSystem::SetFocus(HWND hwnd) {
  HWND old = m_focus;
  if (!hwnd) {
    SetFocusInternal(nullptr);
    return old;
  }
  Window* w = Get(hwnd);
  if (!w) return nullptr;
  for (Window* c = w; c; c = c->IsChild() ? c->m_parent : nullptr)
    if ((c->m_style & WS_MINIMIZE) || (c != w && (c->m_style & WS_DISABLED))) return nullptr;
  Window* top = TopLevelOf(w);
  if (top != m_active && CanActivate(top)) {
    top->m_lastFocus = w;
    Activate(top, WA_ACTIVE);
    if (!Get(w)) return old;
  }
  SetFocusInternal(w);
  return old;
}

HWND WindowSystem::SetCapture(HWND hwnd) {
  HWND old = m_capture;
  Window* w = Get(hwnd);
  if (!w || old == w) return old;
  m_capture = w;
  m_host->SetMouseCapture(true);
  if (old && Get(old)) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(w));
  return old;
}

bool WindowSystem::ReleaseCapture() {
  HWND old = m_capture;
  if (!old) return true;
  m_capture = nullptr;
  m_host->SetMouseCapture(false);
  if (Get(old)) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return true;
}

bool WindowSystem::TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  if (!tme) return false;
  if (tme->dwFlags & TME_CANCEL) {
    if (m_track.hwnd == tme->hwndTrack) m_track = TrackState{};
    return true;
  }
  Window* w = Get(tme->hwndTrack);
  if (!w) return false;
  if (!(tme->dwFlags & TME_LEAVE)) return true;
  bool nonClient = (tme->dwFlags & TME_NONCLIENT) != 0;
  // When the pointer is not over the window now, the leave comes at once.
  HWND under = WindowFromPoint(m_cursorPos);
  bool overClient = false;
  if (under == w) {
    Point c = ScreenToClient(w, m_cursorPos);
    overClient = GetClientRect(w).Contains(c);
  }
  if (under != w || overClient == nonClient) {
    PostMessage(w, nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    return true;
  }
  m_track.hwnd = w;
  m_track.client = !nonClient;
  m_track.nonClient = nonClient;
  return true;
}

bool WindowSystem::SetCursorPos(Point screen) {
  m_host->SetCursorPos(screen);
  OnMouseMove(screen);
  return true;
}

HCURSOR WindowSystem::SetCursor(HCURSOR cursor) {
  HCURSOR old = m_cursor;
  m_cursor = cursor;
  if (cursor) m_host->SetCursorShape(cursor->id);
  return old;
}

short WindowSystem::GetKeyState(int vk) const {
  if (vk < 0 || vk > 255) return 0;
  BYTE s = m_keys[vk];
  return static_cast<short>(((s & 0x80) ? 0x8000 : 0) | (s & 0x01));
}

WPARAM WindowSystem::MouseKeyFlags() const {
  WPARAM f = 0;
  if (m_keys[VK_LBUTTON] & 0x80) f |= MK_LBUTTON;
  if (m_keys[VK_RBUTTON] & 0x80) f |= MK_RBUTTON;
  if (m_keys[VK_MBUTTON] & 0x80) f |= MK_MBUTTON;
  if (m_keys[VK_SHIFT] & 0x80) f |= MK_SHIFT;
  if (m_keys[VK_CONTROL] & 0x80) f |= MK_CONTROL;
  return f;
}
