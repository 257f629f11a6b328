// WindowSystem: lifecycle, classes, window creation and destruction, geometry, z-order,
// window data, messages, the message loop, hooks and timers.
#include "platform/win/WindowSystem.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/sys/EndSignals.h"
#include "platform/win/DefaultFrame.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinConst.h"

namespace {

std::unique_ptr<WindowSystem>& CurrentSlot() {
  static std::unique_ptr<WindowSystem> system;
  return system;
}

std::string Lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

// Counts a nesting level for as long as it lives (exceptions from procedures included).
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : m_depth(depth) { ++m_depth; }
  ~DepthGuard() { --m_depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& m_depth;
};

constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

}  // namespace

WindowSystem::WindowSystem(std::unique_ptr<Host> host) : m_host(std::move(host)) {
  if (!m_host) throw std::invalid_argument("WindowSystem needs a host");
  m_host->Attach(this);
  m_cursorPos = m_host->CursorPos();
}

WindowSystem::~WindowSystem() { DestroyAllWindows(); }

void WindowSystem::DestroyAllWindows() {
  // Destroy top-level windows first (their children go with them), then what is left.
  while (!m_topLevels.empty()) {
    HWND top = m_topLevels.front();
    DestroyWindow(top);
    auto it = std::find(m_topLevels.begin(), m_topLevels.end(), top);
    if (it != m_topLevels.end()) m_topLevels.erase(it);
  }
  m_dcs.clear();
}

WindowSystem& WindowSystem::Current() {
  auto& slot = CurrentSlot();
  if (!slot) slot = std::make_unique<WindowSystem>(ChooseHost());
  return *slot;
}

bool WindowSystem::HasCurrent() { return CurrentSlot() != nullptr; }

WindowSystem& WindowSystem::Install(std::unique_ptr<Host> host) {
  auto& slot = CurrentSlot();
  // Windows are destroyed while the slot still names their system, so window procedures
  // that call the platform during destruction reach it and not a fresh one.
  if (slot) slot->DestroyAllWindows();
  slot.reset();
  slot = std::make_unique<WindowSystem>(std::move(host));
  return *slot;
}

void WindowSystem::Shutdown() {
  auto& slot = CurrentSlot();
  if (slot) slot->DestroyAllWindows();
  slot.reset();
}

namespace {
WindowSystem::DesktopHostMaker& DesktopMaker() {
  static WindowSystem::DesktopHostMaker maker = nullptr;
  return maker;
}
}  // namespace

void WindowSystem::SetDesktopHostMaker(DesktopHostMaker maker) { DesktopMaker() = maker; }

std::unique_ptr<Host> WindowSystem::ChooseHost(HostChoice choice) {
  if (choice == HostChoice::Automatic) {
    const char* env = std::getenv("KAVRI_HOST");
    std::string want = env ? Lower(env) : "";
    if (want == "headless") choice = HostChoice::Headless;
    else if (want == "sdl") choice = HostChoice::Sdl;
  }
  if (choice == HostChoice::Headless) return std::make_unique<HeadlessHost>();
  const DesktopHostMaker desktop = DesktopMaker();
  if (choice == HostChoice::Sdl) {
    if (desktop == nullptr) throw std::runtime_error("this program has no desktop host (SDL)");
    return desktop();  // throws when SDL fails
  }
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (desktop != nullptr && ((display && *display) || (wayland && *wayland))) {
    try {
      return desktop();
    } catch (const std::exception&) {
      // No usable display after all: fall through to the in-memory screen.
    }
  }
  return std::make_unique<HeadlessHost>();
}

// ---------------------------------------------------------------------------------------
// Classes

ATOM WindowSystem::RegisterClass(const WNDCLASS& wc) {
  if (!wc.lpszClassName || !*wc.lpszClassName) return 0;
  std::string key = Lower(wc.lpszClassName);
  if (m_classes.count(key)) return 0;
  auto cls = std::make_unique<WindowClass>();
  cls->name = wc.lpszClassName;
  cls->style = wc.style;
  cls->proc = wc.lpfnWndProc;
  cls->cursor = wc.hCursor;
  cls->background = wc.hbrBackground;
  cls->wndExtra = std::max(0, wc.cbWndExtra);
  m_classes.emplace(key, std::move(cls));
  return static_cast<ATOM>(0xC000 + m_classes.size());
}

bool WindowSystem::UnregisterClass(std::string_view name) {
  auto it = m_classes.find(Lower(name));
  if (it == m_classes.end()) return false;
  for (const auto& w : m_windows)
    if (!w->m_destroyed && w->m_class == it->second.get()) return false;
  m_classes.erase(it);
  return true;
}

const WindowClass* WindowSystem::FindClass(std::string_view name) const {
  auto it = m_classes.find(Lower(name));
  return it == m_classes.end() ? nullptr : it->second.get();
}

// ---------------------------------------------------------------------------------------
// Lookup and tree helpers

Window* WindowSystem::Get(HWND hwnd) const {
  if (!hwnd || !m_live.count(hwnd)) return nullptr;
  return hwnd;
}

bool WindowSystem::IsWindow(HWND hwnd) const { return Get(hwnd) != nullptr; }

Window* WindowSystem::TopLevelOf(Window* w) const {
  while (w && w->IsChild() && w->m_parent) w = w->m_parent;
  return w;
}

std::vector<HWND>& WindowSystem::SiblingList(Window* w) {
  return (w->IsChild() && w->m_parent) ? w->m_parent->m_children : m_topLevels;
}

Point WindowSystem::WindowOrigin(HWND hwnd) const {
  Window* w = Get(hwnd);
  if (!w) return {};
  Point p = w->m_rect.TopLeft();
  for (Window* c = w; c->IsChild() && c->m_parent; c = c->m_parent) {
    Window* parent = c->m_parent;
    p = p + parent->m_client.TopLeft() + parent->m_rect.TopLeft();
  }
  return p;
}

Point WindowSystem::BackingOffset(const Window* w) const {
  Point p;
  const Window* c = w;
  while (c->IsChild() && c->m_parent) {
    p = p + c->m_rect.TopLeft() + c->m_parent->m_client.TopLeft();
    c = c->m_parent;
  }
  return p;
}

Rect WindowSystem::GetWindowRect(HWND hwnd) const {
  Window* w = Get(hwnd);
  if (!w) return {};
  return Rect::FromSize(WindowOrigin(hwnd), w->m_rect.GetSize());
}

Rect WindowSystem::GetClientRect(HWND hwnd) const {
  Window* w = Get(hwnd);
  if (!w) return {};
  return {0, 0, std::max(0, w->m_client.Width()), std::max(0, w->m_client.Height())};
}

Point WindowSystem::ClientToScreen(HWND hwnd, Point p) const {
  Window* w = Get(hwnd);
  if (!w) return p;
  return p + WindowOrigin(hwnd) + w->m_client.TopLeft();
}

Point WindowSystem::ScreenToClient(HWND hwnd, Point p) const {
  Window* w = Get(hwnd);
  if (!w) return p;
  return p - WindowOrigin(hwnd) - w->m_client.TopLeft();
}

HWND WindowSystem::GetParent(HWND hwnd) const {
  Window* w = Get(hwnd);
  if (!w) return nullptr;
  return w->IsChild() ? w->m_parent : w->m_owner;
}

HWND WindowSystem::GetAncestor(HWND hwnd, UINT flags) const {
  Window* w = Get(hwnd);
  if (!w) return nullptr;
  switch (flags) {
    case GA_PARENT: return w->IsChild() ? w->m_parent : nullptr;
    case GA_ROOT: return TopLevelOf(w);
    case GA_ROOTOWNER: {
      Window* r = TopLevelOf(w);
      while (r->m_owner) r = r->m_owner;
      return r;
    }
    default: return nullptr;
  }
}

HWND WindowSystem::GetWindow(HWND hwnd, UINT cmd) const {
  Window* w = Get(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_CHILD) return w->m_children.empty() ? nullptr : w->m_children.front();
  if (cmd == GW_OWNER) return w->IsChild() ? nullptr : w->m_owner;
  const std::vector<HWND>& list =
      (w->IsChild() && w->m_parent) ? w->m_parent->m_children : m_topLevels;
  auto it = std::find(list.begin(), list.end(), hwnd);
  if (it == list.end()) return nullptr;
  switch (cmd) {
    case GW_HWNDFIRST: return list.front();
    case GW_HWNDLAST: return list.back();
    case GW_HWNDNEXT: return (it + 1) == list.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == list.begin() ? nullptr : *(it - 1);
    default: return nullptr;
  }
}

HWND WindowSystem::GetTopWindow(HWND parent) const {
  if (!parent) return m_topLevels.empty() ? nullptr : m_topLevels.front();
  Window* w = Get(parent);
  if (!w || w->m_children.empty()) return nullptr;
  return w->m_children.front();
}

bool WindowSystem::IsChildOf(HWND parent, HWND hwnd) const {
  Window* w = Get(hwnd);
  if (!w || !parent) return false;
  for (Window* p = w->IsChild() ? w->m_parent : nullptr; p; p = p->IsChild() ? p->m_parent : nullptr)
    if (p == parent) return true;
  return false;
}

std::vector<HWND> WindowSystem::TopLevelWindows() const { return m_topLevels; }

HWND WindowSystem::FindWindow(std::string_view className, std::string_view text) const {
  for (HWND h : m_topLevels) {
    if (!className.empty() && Lower(h->m_class->name) != Lower(className)) continue;
    if (!text.empty() && h->m_text != text) continue;
    return h;
  }
  return nullptr;
}

bool WindowSystem::IsWindowVisible(HWND hwnd) const {
  Window* w = Get(hwnd);
  if (!w) return false;
  for (Window* c = w; c; c = c->IsChild() ? c->m_parent : nullptr)
    if (!c->VisibleFlag()) return false;
  return true;
}

bool WindowSystem::IsWindowEnabled(HWND hwnd) const {
  Window* w = Get(hwnd);
  return w && !(w->m_style & WS_DISABLED);
}

bool WindowSystem::IsIconic(HWND hwnd) const {
  Window* w = Get(hwnd);
  return w && (w->m_style & WS_MINIMIZE);
}

bool WindowSystem::IsZoomed(HWND hwnd) const {
  Window* w = Get(hwnd);
  return w && (w->m_style & WS_MAXIMIZE);
}

bool WindowSystem::EnableWindow(HWND hwnd, bool enable) {
  Window* w = Get(hwnd);
  if (!w) return false;
  bool wasDisabled = (w->m_style & WS_DISABLED) != 0;
  if (wasDisabled == !enable) return wasDisabled;
  if (enable) {
    w->m_style &= ~WS_DISABLED;
  } else {
    w->m_style |= WS_DISABLED;
    if (m_focus && (m_focus == w || IsChildOf(w, m_focus))) SetFocusInternal(nullptr);
    if (m_capture && (m_capture == w || IsChildOf(w, m_capture))) ReleaseCapture();
  }
  SendMessage(w, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

// ---------------------------------------------------------------------------------------
// Creation and destruction

HWND WindowSystem::CreateWindowEx(DWORD exStyle, std::string_view className,
                                  std::string_view text, DWORD style, int x, int y, int cx,
                                  int cy, HWND parent, LONG_PTR id, void* createParams) {
  const WindowClass* cls = FindClass(className);
  if (!cls) return nullptr;
  bool child = (style & WS_CHILD) != 0;
  Window* parentWindow = Get(parent);
  if (child && !parentWindow) return nullptr;
  if (parent && !parentWindow) return nullptr;

  auto owned = std::unique_ptr<Window>(new Window());
  Window* w = owned.get();
  w->m_class = cls;
  w->m_proc = cls->proc;
  w->m_extra.assign(static_cast<std::size_t>((cls->wndExtra + 7) / 8), 0);
  bool wantVisible = (style & WS_VISIBLE) != 0;
  DWORD initialState = style & (WS_MAXIMIZE | WS_MINIMIZE);
  style &= ~(WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);
  if (!child && !(style & WS_POPUP)) style |= WS_CAPTION | WS_CLIPSIBLINGS;  // overlapped
  if (!child) style |= WS_CLIPSIBLINGS;
  w->m_style = style;
  w->m_exStyle = exStyle;
  w->m_id = child ? id : 0;
  if (child) {
    w->m_parent = parentWindow;
  } else if (parentWindow) {
    w->m_owner = TopLevelOf(parentWindow);
  }

  // Default placement for overlapped windows: a cascade inside the work area.
  if (x == CW_USEDEFAULT || cx == CW_USEDEFAULT) {
    Rect work = Monitors().empty() ? Rect{0, 0, 800, 600} : m_monitors.front().work;
    static int cascade = 0;
    if (x == CW_USEDEFAULT) {
      x = work.left + 24 * (cascade % 8) + 24;
      y = work.top + 24 * (cascade % 8) + 24;
      ++cascade;
    }
    if (cx == CW_USEDEFAULT) {
      cx = work.Width() * 3 / 4;
      cy = work.Height() * 3 / 4;
    }
  }
  cx = std::max(0, cx);
  cy = std::max(0, cy);
  w->m_rect = Rect::FromSize(x, y, cx, cy);
  w->m_normalRect = w->m_rect;
  w->m_client = Rect(0, 0, cx, cy);

  m_windows.push_back(std::move(owned));
  m_live.insert(w);
  if (child) {
    parentWindow->m_children.insert(parentWindow->m_children.begin(), w);
  } else {
    ZOrderInsert(w, HWND_TOP);
    w->m_backing.SetSize(std::max(1, cx), std::max(1, cy), MakePixel(0, 0, 0));
  }

  std::string name(text);
  std::string clsName(cls->name);
  CREATESTRUCT cs;
  cs.lpCreateParams = createParams;
  cs.hMenu = reinterpret_cast<HMENU>(id);
  cs.hwndParent = parent;
  cs.x = x;
  cs.y = y;
  cs.cx = cx;
  cs.cy = cy;
  cs.style = static_cast<LONG>(style | (wantVisible ? WS_VISIBLE : 0) | initialState);
  cs.lpszName = name.c_str();
  cs.lpszClass = clsName.c_str();
  cs.dwExStyle = exStyle;

  bool ok = true;
  SendCreateMessages(w, cs, ok);
  if (!ok) {
    if (Get(w)) DestroyWindow(w);
    return nullptr;
  }
  if (!Get(w)) return nullptr;  // destroyed itself while being created
  w->m_created = true;

  if (child && !(exStyle & WS_EX_NOPARENTNOTIFY) && Get(parentWindow))
    SendMessage(parentWindow, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, static_cast<int>(id)),
                reinterpret_cast<LPARAM>(w));
  if (!Get(w)) return nullptr;

  if (wantVisible) {
    int cmd = SW_SHOW;
    if (initialState & WS_MAXIMIZE) cmd = SW_SHOWMAXIMIZED;
    else if (initialState & WS_MINIMIZE) cmd = SW_SHOWMINIMIZED;
    ShowWindow(w, cmd);
  } else if (initialState & WS_MAXIMIZE) {
    Maximize(w);
  }
  return Get(w) ? w : nullptr;
}

void WindowSystem::SendCreateMessages(Window* w, CREATESTRUCT& cs, bool& ok) {
  if (!w->IsChild() && ((w->m_style & WS_THICKFRAME) || !(w->m_style & WS_POPUP))) {
    MINMAXINFO mmi;
    GetMinMax(w, mmi);
  }
  if (!Get(w)) { ok = false; return; }
  if (!SendMessage(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) { ok = false; return; }
  if (!Get(w)) { ok = false; return; }
  RecalcClient(w, w->m_rect, w->m_rect, false);
  if (!Get(w)) { ok = false; return; }
  if (SendMessage(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) { ok = false; return; }
  if (!Get(w)) { ok = false; return; }
  // The first size and position, as a window is told them after creation.
  SendMessage(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->m_client.Width(), w->m_client.Height()));
  if (!Get(w)) { ok = false; return; }
  Point clientPos = w->m_rect.TopLeft() + w->m_client.TopLeft();
  SendMessage(w, WM_MOVE, 0, MAKELPARAM(clientPos.x, clientPos.y));
  if (!Get(w)) ok = false;
}

void WindowSystem::RecalcClient(Window* w, const Rect& newRect, const Rect& oldRect,
                                bool sendMessage) {
  (void)sendMessage;
  if (!w->m_created && !Get(w)) return;
  // The proposed window rectangle goes in (parent coordinates), the client one comes out.
  NCCALCSIZE_PARAMS params;
  params.rgrc[0] = newRect;
  params.rgrc[1] = oldRect;
  params.rgrc[2] = w->m_client.Translated(oldRect.TopLeft());
  Rect client = newRect;
  if (!w->m_created) {
    Rect r = newRect;
    SendMessage(w, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
    client = r;
  } else {
    SendMessage(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    client = params.rgrc[0];
  }
  if (!Get(w)) return;
  if (client.right < client.left) client.right = client.left;
  if (client.bottom < client.top) client.bottom = client.top;
  w->m_client = client.Translated(-newRect.left, -newRect.top);
}

bool WindowSystem::DestroyWindow(HWND hwnd) {
  Window* w = Get(hwnd);
  if (!w) return false;
  if (w->m_destroying) return true;
  w->m_destroying = true;

  // Owned windows go first.
  for (bool found = true; found;) {
    found = false;
    for (HWND top : m_topLevels) {
      if (top->m_owner == w && !top->m_destroying) {
        DestroyWindow(top);
        found = true;
        break;
      }
    }
  }
  if (!Get(w)) return true;

  if (w->VisibleFlag())
    SetWindowPos(w, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!Get(w)) return true;
  if (m_active == w) ActivateNextAfter(w);
  if (w->IsChild() && !(w->m_exStyle & WS_EX_NOPARENTNOTIFY) && Get(w->m_parent) &&
      !w->m_parent->m_destroying)
    SendMessage(w->m_parent, WM_PARENTNOTIFY,
                MAKEWPARAM(WM_DESTROY, static_cast<int>(w->m_id)), reinterpret_cast<LPARAM>(w));
  if (!Get(w)) return true;
  if (m_capture == w || (m_capture && IsChildOf(w, m_capture))) ReleaseCapture();
  if (m_focus == w || (m_focus && IsChildOf(w, m_focus))) {
    if (w->IsChild() && Get(w->m_parent) && !w->m_parent->m_destroying)
      SetFocusInternal(w->m_parent);
    else
      SetFocusInternal(nullptr);
  }
  DestroyRecursive(w);
  ReleaseZombies();
  return true;
}

void WindowSystem::DestroyRecursive(Window* w) {
  w->m_destroying = true;
  SendMessage(w, WM_DESTROY, 0, 0);
  std::vector<HWND> children = w->m_children;
  for (HWND c : children)
    if (Get(c)) DestroyRecursive(c);
  SendMessage(w, WM_NCDESTROY, 0, 0);

  // Gone: detach from everything.
  m_live.erase(w);
  w->m_destroyed = true;
  auto& siblings = SiblingList(w);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), w), siblings.end());
  if (w->IsChild() && w->m_parent) {
    // A child's disappearance uncovers its parent.
    Window* parent = w->m_parent;
    if (Get(parent) && !parent->m_destroying && w->VisibleFlag()) {
      Region area(w->m_rect.Translated(parent->m_client.TopLeft()));
      InvalidateInternal(parent, area, true, false, true, false);
    }
  }
  m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(),
                                [w](const Timer& t) { return t.hwnd == w; }),
                 m_timers.end());
  m_posted.erase(std::remove_if(m_posted.begin(), m_posted.end(),
                                [w](const MSG& m) { return m.hwnd == w; }),
                 m_posted.end());
  m_routed.erase(std::remove_if(m_routed.begin(), m_routed.end(),
                                [w](const MSG& m) { return m.hwnd == w; }),
                 m_routed.end());
  for (auto it = m_dcs.begin(); it != m_dcs.end();) {
    if (it->second.hwnd == w) it = m_dcs.erase(it);
    else ++it;
  }
  if (m_caret.owner == w) m_caret = Caret{};
  if (m_focus == w) m_focus = nullptr;
  if (m_active == w) m_active = nullptr;
  if (m_capture == w) m_capture = nullptr;
  if (m_track.hwnd == w) m_track = TrackState{};
  if (m_lastMouseWindow == w) m_lastMouseWindow = nullptr;
  if (m_lastClick.hwnd == w) m_lastClick = Click{};
  for (HWND top : m_topLevels)
    if (top->m_lastFocus == w) top->m_lastFocus = nullptr;
  for (HWND top : m_topLevels)
    if (top->m_owner == w) top->m_owner = nullptr;
  if (w->m_hostId) {
    m_host->DestroyHostWindow(w->m_hostId);
    w->m_hostId = 0;
  }
  w->m_children.clear();
  w->m_proc = WNDPROC();
}

void WindowSystem::ReleaseZombies() {
  if (m_procDepth > 0) return;  // some procedure may still hold a handle on the stack
  m_windows.erase(std::remove_if(m_windows.begin(), m_windows.end(),
                                 [](const std::unique_ptr<Window>& w) {
                                   return w->m_destroyed && w->m_callDepth == 0;
                                 }),
                  m_windows.end());
}

// ---------------------------------------------------------------------------------------
// Position, size, z-order, showing

void WindowSystem::ZOrderInsert(Window* w, HWND insertAfter) {
  auto& list = SiblingList(w);
  list.erase(std::remove(list.begin(), list.end(), w), list.end());
  bool topmost = !w->IsChild() && (w->m_exStyle & WS_EX_TOPMOST);
  auto bandStart = [&]() {
    // Topmost windows stay above the others.
    if (w->IsChild() || topmost) return list.begin();
    return std::find_if(list.begin(), list.end(),
                        [](HWND h) { return !(h->m_exStyle & WS_EX_TOPMOST); });
  };
  auto bandEnd = [&]() {
    if (w->IsChild() || !topmost) return list.end();
    return std::find_if(list.begin(), list.end(),
                        [](HWND h) { return !(h->m_exStyle & WS_EX_TOPMOST); });
  };
  if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
    list.insert(bandStart(), w);
  } else if (insertAfter == HWND_BOTTOM) {
    list.insert(bandEnd(), w);
  } else {
    auto it = std::find(list.begin(), list.end(), insertAfter);
    if (it == list.end()) list.insert(bandStart(), w);
    else list.insert(it + 1, w);
  }
  if (!w->IsChild()) {
    // Owned windows stay above their owner.
    std::vector<HWND> ownedList;
    for (HWND h : list)
      if (h->m_owner == w) ownedList.push_back(h);
    for (HWND h : ownedList) {
      auto pos = std::find(list.begin(), list.end(), w);
      auto hp = std::find(list.begin(), list.end(), h);
      if (hp > pos) {
        list.erase(hp);
        pos = std::find(list.begin(), list.end(), w);
        list.insert(pos, h);
      }
    }
  }
}

void WindowSystem::SyncHostZOrder() {
  std::vector<HostWindowId> ids;
  for (HWND h : m_topLevels)
    if (h->m_hostId) ids.push_back(h->m_hostId);
  m_host->SetHostZOrder(ids);
}

bool WindowSystem::BringWindowToTop(HWND hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool WindowSystem::MoveWindow(HWND hwnd, int x, int y, int cx, int cy, bool repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, cx, cy,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

bool WindowSystem::SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy,
                                UINT flags) {
  Window* w = Get(hwnd);
  if (!w) return false;
  WINDOWPOS pos;
  pos.hwnd = w;
  pos.hwndInsertAfter = insertAfter;
  pos.x = (flags & SWP_NOMOVE) ? w->m_rect.left : x;
  pos.y = (flags & SWP_NOMOVE) ? w->m_rect.top : y;
  pos.cx = (flags & SWP_NOSIZE) ? w->m_rect.Width() : std::max(0, cx);
  pos.cy = (flags & SWP_NOSIZE) ? w->m_rect.Height() : std::max(0, cy);
  if ((flags & SWP_SHOWWINDOW) && w->VisibleFlag()) flags &= ~SWP_SHOWWINDOW;
  if ((flags & SWP_HIDEWINDOW) && !w->VisibleFlag()) flags &= ~SWP_HIDEWINDOW;
  if (!(flags & SWP_NOMOVE) && pos.x == w->m_rect.left && pos.y == w->m_rect.top) flags |= SWP_NOMOVE;
  if (!(flags & SWP_NOSIZE) && pos.cx == w->m_rect.Width() && pos.cy == w->m_rect.Height())
    flags |= SWP_NOSIZE;
  pos.flags = flags;
  if (!(flags & SWP_NOSENDCHANGING)) {
    SendMessage(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!Get(w)) return false;
    pos.cx = std::max(0, pos.cx);
    pos.cy = std::max(0, pos.cy);
  }
  flags = pos.flags;
  Rect oldRect = w->m_rect;
  Rect oldClient = w->m_client;
  Rect newRect = Rect::FromSize(pos.x, pos.y, pos.cx, pos.cy);
  bool moved = newRect.TopLeft() != oldRect.TopLeft();
  bool sized = newRect.GetSize() != oldRect.GetSize();
  bool wasVisible = IsWindowVisible(w);
  Region oldScreen = wasVisible ? VisibleRegion(w, false, false) : Region();

  if (sized || (flags & SWP_FRAMECHANGED)) {
    RecalcClient(w, newRect, oldRect, true);
    if (!Get(w)) return false;
  }
  w->m_rect = newRect;
  if (!(w->m_style & (WS_MINIMIZE | WS_MAXIMIZE))) w->m_normalRect = newRect;
  bool zChanged = false;
  if (!(flags & SWP_NOZORDER)) {
    if (!w->IsChild() && insertAfter == HWND_TOPMOST) w->m_exStyle |= WS_EX_TOPMOST;
    if (!w->IsChild() && insertAfter == HWND_NOTOPMOST) w->m_exStyle &= ~WS_EX_TOPMOST;
    auto& list = SiblingList(w);
    std::vector<HWND> before = list;
    ZOrderInsert(w, insertAfter);
    zChanged = before != list;
  }
  if (flags & SWP_SHOWWINDOW) w->m_style |= WS_VISIBLE;
  if (flags & SWP_HIDEWINDOW) w->m_style &= ~WS_VISIBLE;

  if (!w->IsChild()) {
    if (sized) {
      w->m_backing.SetSize(std::max(1, newRect.Width()), std::max(1, newRect.Height()),
                           MakePixel(0, 0, 0));
      w->m_dirty = Region(Rect(0, 0, newRect.Width(), newRect.Height()));
    }
    if (flags & SWP_SHOWWINDOW) EnsureHostWindow(w);
    if (w->m_hostId) {
      if (moved || sized) m_host->SetHostWindowRect(w->m_hostId, newRect);
      if (zChanged || (flags & SWP_SHOWWINDOW)) SyncHostZOrder();
      if (flags & SWP_SHOWWINDOW) {
        PresentAll();
        bool activate = !(flags & SWP_NOACTIVATE) && CanActivate(w);
        m_host->ShowHostWindow(w->m_hostId, true, activate);
      }
      if (flags & SWP_HIDEWINDOW) m_host->ShowHostWindow(w->m_hostId, false, false);
    }
  }

  bool nowVisible = IsWindowVisible(w);
  if (!(flags & SWP_NOREDRAW)) {
    if (nowVisible && (sized || (flags & (SWP_FRAMECHANGED | SWP_SHOWWINDOW)) ||
                       (w->IsChild() && (moved || zChanged)))) {
      InvalidateInternal(w, Region(Rect(0, 0, newRect.Width(), newRect.Height())), true, true,
                         true, false);
    } else if (nowVisible && sized == false && oldClient != w->m_client) {
      InvalidateInternal(w, Region(Rect(0, 0, newRect.Width(), newRect.Height())), true, true,
                         true, false);
    }
    if (w->IsChild() && wasVisible) {
      Region newScreen = nowVisible ? VisibleRegion(w, false, false) : Region();
      ExposeAfterChange(w, oldScreen.Subtracted(newScreen));
    }
  }

  if ((flags & SWP_HIDEWINDOW)) {
    if (m_focus && (m_focus == w || IsChildOf(w, m_focus))) {
      if (w->IsChild() && w->m_parent) SetFocusInternal(w->m_parent);
    }
    if (m_capture && (m_capture == w || IsChildOf(w, m_capture))) ReleaseCapture();
    if (!w->IsChild() && m_active == w) ActivateNextAfter(w);
  }
  if (!Get(w)) return true;

  UINT changedFlags = flags;
  Point oldClientPos = oldRect.TopLeft() + oldClient.TopLeft();
  Point newClientPos = w->m_rect.TopLeft() + w->m_client.TopLeft();
  if (oldClientPos == newClientPos) changedFlags |= SWP_NOCLIENTMOVE;
  if (oldClient.GetSize() == w->m_client.GetSize() && !sized) changedFlags |= SWP_NOCLIENTSIZE;
  WINDOWPOS changed = pos;
  changed.flags = changedFlags;
  SendMessage(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&changed));
  if (!Get(w)) return true;

  if (!w->IsChild() && (flags & SWP_SHOWWINDOW) && !(flags & SWP_NOACTIVATE) && CanActivate(w))
    Activate(w, WA_ACTIVE);
  else if (!w->IsChild() && !(flags & SWP_NOACTIVATE) && !(flags & SWP_NOZORDER) &&
           nowVisible && CanActivate(w) && m_active != w)
    Activate(w, WA_ACTIVE);
  return true;
}

void WindowSystem::ExposeAfterChange(Window* w, const Region& oldScreen) {
  if (oldScreen.IsEmpty() || !w->IsChild() || !w->m_parent) return;
  InvalidateScreenArea(oldScreen, w);
}

void WindowSystem::InvalidateScreenArea(const Region& screen, Window* except) {
  // Only the parent (and so siblings below) needs to repaint what a child uncovered.
  Window* parent = except->m_parent;
  if (!parent || !Get(parent)) return;
  Point origin = WindowOrigin(parent);
  InvalidateInternal(parent, screen.Translated(-origin.x, -origin.y), true, false, true, false);
}

bool WindowSystem::ShowWindow(HWND hwnd, int cmd) {
  Window* w = Get(hwnd);
  if (!w) return false;
  bool wasVisible = w->VisibleFlag();
  switch (cmd) {
    case SW_HIDE:
      if (!wasVisible) return false;
      SendMessage(w, WM_SHOWWINDOW, FALSE, 0);
      if (!Get(w)) return wasVisible;
      SetWindowPos(w, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return wasVisible;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      if (!wasVisible) {
        SendMessage(w, WM_SHOWWINDOW, TRUE, 0);
        if (!Get(w)) return wasVisible;
        SetWindowPos(w, nullptr, 0, 0, 0, 0,
                     SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      if (Get(w)) Minimize(w);
      return wasVisible;
    case SW_MAXIMIZE:
      if (!wasVisible) {
        SendMessage(w, WM_SHOWWINDOW, TRUE, 0);
        if (!Get(w)) return wasVisible;
      }
      Maximize(w);
      if (Get(w) && !wasVisible)
        SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
      return wasVisible;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
      if (w->m_style & (WS_MINIMIZE | WS_MAXIMIZE)) Restore(w);
      if (!Get(w)) return wasVisible;
      [[fallthrough]];
    default: {
      bool noActivate = cmd == SW_SHOWNOACTIVATE || cmd == SW_SHOWNA;
      if (!wasVisible) {
        SendMessage(w, WM_SHOWWINDOW, TRUE, 0);
        if (!Get(w)) return wasVisible;
        UINT flags = SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE;
        if (noActivate || w->IsChild()) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
        SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, flags);
      } else if (!noActivate && !w->IsChild() && CanActivate(w)) {
        SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      }
      return wasVisible;
    }
  }
}

void WindowSystem::Maximize(Window* w) {
  if (w->m_style & WS_MAXIMIZE) return;
  Rect normal = (w->m_style & WS_MINIMIZE) ? w->m_normalRect : w->m_rect;
  if (w->m_style & WS_MINIMIZE) {
    w->m_style &= ~WS_MINIMIZE;
    if (w->m_hostId && w->VisibleFlag()) m_host->ShowHostWindow(w->m_hostId, true, true);
  }
  MINMAXINFO mmi;
  GetMinMax(w, mmi);
  if (!Get(w)) return;
  w->m_normalRect = normal;
  w->m_style |= WS_MAXIMIZE;
  SetWindowPos(w, nullptr, mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxSize.x,
               mmi.ptMaxSize.y, SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
  if (Get(w)) w->m_normalRect = normal;
}

void WindowSystem::Minimize(Window* w) {
  if (w->m_style & WS_MINIMIZE) return;
  if (!(w->m_style & WS_MAXIMIZE)) w->m_normalRect = w->m_rect;
  w->m_style |= WS_MINIMIZE;
  if (m_focus && (m_focus == w || IsChildOf(w, m_focus))) SetFocusInternal(nullptr);
  if (!w->IsChild() && m_active == w) ActivateNextAfter(w);
  if (!Get(w)) return;
  if (w->m_hostId) m_host->ShowHostWindow(w->m_hostId, false, false);
  SendMessage(w, WM_SIZE, SIZE_MINIMIZED, 0);
}

void WindowSystem::Restore(Window* w) {
  bool wasMin = (w->m_style & WS_MINIMIZE) != 0;
  bool wasMax = (w->m_style & WS_MAXIMIZE) != 0;
  w->m_style &= ~WS_MINIMIZE;
  if (wasMin && w->m_hostId && w->VisibleFlag()) {
    m_host->ShowHostWindow(w->m_hostId, true, true);
    // A window shown again starts with no pixels on the desktop.
    w->m_dirty = Region(w->m_backing.Bounds());
  }
  if (wasMin && (w->m_style & WS_MAXIMIZE)) {
    SendMessage(w, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(w->m_client.Width(), w->m_client.Height()));
    return;
  }
  w->m_style &= ~WS_MAXIMIZE;
  Rect r = w->m_normalRect;
  if (wasMax || r != w->m_rect) {
    SetWindowPos(w, nullptr, r.left, r.top, r.Width(), r.Height(),
                 SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
  } else if (wasMin) {
    SendMessage(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->m_client.Width(), w->m_client.Height()));
  }
  if (Get(w) && wasMin && !w->IsChild() && CanActivate(w)) Activate(w, WA_ACTIVE);
}

void WindowSystem::GetMinMax(Window* w, MINMAXINFO& mmi) {
  Rect work = Monitors().empty() ? Rect{0, 0, 800, 600} : m_monitors.front().work;
  if (HMONITOR mon = MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST)) work = mon->work;
  mmi = MINMAXINFO{};
  mmi.ptMaxSize = {work.Width(), work.Height()};
  mmi.ptMaxPosition = {work.left, work.top};
  mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  SendMessage(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
}

HWND WindowSystem::SetParent(HWND hwnd, HWND parent) {
  Window* w = Get(hwnd);
  Window* p = Get(parent);
  if (!w || !w->IsChild() || !p || p == w || IsChildOf(w, p)) return nullptr;
  HWND old = w->m_parent;
  bool visible = IsWindowVisible(w);
  Region oldScreen = visible ? VisibleRegion(w, false, false) : Region();
  auto& oldList = old->m_children;
  oldList.erase(std::remove(oldList.begin(), oldList.end(), w), oldList.end());
  if (visible) {
    Point o = WindowOrigin(old);
    InvalidateInternal(old, oldScreen.Translated(-o.x, -o.y), true, false, true, false);
  }
  w->m_parent = p;
  p->m_children.insert(p->m_children.begin(), w);
  if (IsWindowVisible(w))
    InvalidateInternal(w, Region(Rect(0, 0, w->m_rect.Width(), w->m_rect.Height())), true, true,
                       true, false);
  return old;
}

// ---------------------------------------------------------------------------------------
// Window data

LONG_PTR WindowSystem::GetWindowLong(HWND hwnd, int index) const {
  Window* w = Get(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->m_style));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->m_exStyle));
    case GWL_ID: return w->m_id;
    case GWL_USERDATA: return w->m_userData;
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->IsChild() ? w->m_parent : w->m_owner);
    default:
      if (index >= 0 && static_cast<std::size_t>(index / 8) < w->m_extra.size())
        return w->m_extra[static_cast<std::size_t>(index / 8)];
      return 0;
  }
}

LONG_PTR WindowSystem::SetWindowLong(HWND hwnd, int index, LONG_PTR value) {
  Window* w = Get(hwnd);
  if (!w) return 0;
  LONG_PTR old = GetWindowLong(hwnd, index);
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: {
      STYLESTRUCT ss;
      ss.styleOld = static_cast<DWORD>(old);
      ss.styleNew = static_cast<DWORD>(value);
      SendMessage(w, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
      if (!Get(w)) return old;
      if (index == GWL_STYLE) {
        // Visibility changes only through ShowWindow; the child bit cannot be flipped.
        DWORD keep = WS_VISIBLE | WS_CHILD;
        w->m_style = (ss.styleNew & ~keep) | (w->m_style & keep);
      } else {
        bool wasLayered = (w->m_exStyle & WS_EX_LAYERED) != 0;
        w->m_exStyle = ss.styleNew;
        if (wasLayered && !(w->m_exStyle & WS_EX_LAYERED)) {
          w->m_alpha = 255;
          w->m_colorKey = clNone;
          w->m_layeredSet = false;
          if (w->m_hostId) m_host->SetHostWindowOpacity(w->m_hostId, 255);
        }
      }
      SendMessage(w, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
      return old;
    }
    case GWL_ID: w->m_id = value; return old;
    case GWL_USERDATA: w->m_userData = value; return old;
    case GWL_HWNDPARENT:
      if (!w->IsChild()) w->m_owner = Get(reinterpret_cast<HWND>(value));
      return old;
    default:
      if (index >= 0 && static_cast<std::size_t>(index / 8) < w->m_extra.size())
        w->m_extra[static_cast<std::size_t>(index / 8)] = value;
      return old;
  }
}

WNDPROC WindowSystem::GetWindowProc(HWND hwnd) const {
  Window* w = Get(hwnd);
  return w ? w->m_proc : WNDPROC();
}

WNDPROC WindowSystem::SetWindowProc(HWND hwnd, WNDPROC proc) {
  Window* w = Get(hwnd);
  if (!w) return WNDPROC();
  WNDPROC old = w->m_proc;
  w->m_proc = std::move(proc);
  return old;
}

bool WindowSystem::SetProp(HWND hwnd, std::string_view name, HANDLE value) {
  Window* w = Get(hwnd);
  if (!w) return false;
  w->m_props[std::string(name)] = value;
  return true;
}

HANDLE WindowSystem::GetProp(HWND hwnd, std::string_view name) const {
  Window* w = Get(hwnd);
  if (!w) return nullptr;
  auto it = w->m_props.find(name);
  return it == w->m_props.end() ? nullptr : it->second;
}

HANDLE WindowSystem::RemoveProp(HWND hwnd, std::string_view name) {
  Window* w = Get(hwnd);
  if (!w) return nullptr;
  auto it = w->m_props.find(name);
  if (it == w->m_props.end()) return nullptr;
  HANDLE v = it->second;
  w->m_props.erase(it);
  return v;
}

std::string WindowSystem::GetWindowText(HWND hwnd) {
  Window* w = Get(hwnd);
  if (!w) return {};
  LRESULT len = SendMessage(w, WM_GETTEXTLENGTH, 0, 0);
  if (!Get(w) || len <= 0) return {};
  std::string buf(static_cast<std::size_t>(len) + 1, '\0');
  LRESULT got = SendMessage(w, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, len)));
  return buf;
}

bool WindowSystem::SetWindowText(HWND hwnd, std::string_view text) {
  Window* w = Get(hwnd);
  if (!w) return false;
  std::string copy(text);
  return SendMessage(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str())) != 0;
}

void WindowSystem::StoreText(HWND hwnd, std::string_view text) {
  Window* w = Get(hwnd);
  if (!w) return;
  w->m_text = text;
  if (w->m_hostId) m_host->SetHostWindowTitle(w->m_hostId, w->m_text);
}

const std::string& WindowSystem::StoredText(HWND hwnd) const {
  static const std::string empty;
  Window* w = Get(hwnd);
  return w ? w->m_text : empty;
}

// ---------------------------------------------------------------------------------------
// Messages

LRESULT WindowSystem::SendMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* w = Get(hwnd);
  if (!w) return 0;
  LRESULT result = 0;
  {
    DepthGuard sends(m_sendDepth), procs(m_procDepth), calls(w->m_callDepth);
    if (w->m_proc) result = w->m_proc(w, msg, wp, lp);
    else result = DefWindowProc(w, msg, wp, lp);
  }
  if (m_procDepth == 0) ReleaseZombies();
  return result;
}

LRESULT WindowSystem::CallWindowProc(const WNDPROC& proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (!proc) return DefWindowProc(hwnd, msg, wp, lp);
  return proc(hwnd, msg, wp, lp);
}

bool WindowSystem::PostMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (hwnd && !Get(hwnd)) return false;
  MSG m;
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wp;
  m.lParam = lp;
  m.time = static_cast<DWORD>(m_host->Now());
  m.pt = m_cursorPos;
  m_posted.push_back(m);
  return true;
}

void WindowSystem::PostQuitMessage(int code) {
  m_quitPending = true;
  m_quitCode = code;
}

UINT WindowSystem::RegisterWindowMessage(std::string_view name) {
  if (name.empty()) return 0;
  std::string key = Lower(name);
  auto it = m_registered.find(key);
  if (it != m_registered.end()) return it->second;
  UINT id = WM_REGISTERED_FIRST + static_cast<UINT>(m_registered.size());
  if (id > 0xFFFF) return 0;
  m_registered.emplace(key, id);
  return id;
}

HHOOK WindowSystem::SetMessageHook(MessageHookProc hook) {
  if (!hook) return 0;
  HHOOK id = m_nextHook++;
  m_hooks.emplace_back(id, std::move(hook));
  return id;
}

bool WindowSystem::RemoveMessageHook(HHOOK hook) {
  auto it = std::find_if(m_hooks.begin(), m_hooks.end(),
                         [hook](const auto& h) { return h.first == hook; });
  if (it == m_hooks.end()) return false;
  m_hooks.erase(it);
  return true;
}

bool WindowSystem::RunHooks(MSG& msg) {
  // The newest hook sees the message first; a hook may remove itself or others meanwhile.
  std::vector<std::pair<HHOOK, MessageHookProc>> hooks = m_hooks;
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
    bool still = std::any_of(m_hooks.begin(), m_hooks.end(),
                             [&](const auto& h) { return h.first == it->first; });
    if (still && it->second(msg)) return true;
  }
  return false;
}

namespace {
bool InRange(UINT msg, UINT first, UINT last) {
  if (first == 0 && last == 0) return true;
  return msg >= first && msg <= last;
}
}  // namespace

bool WindowSystem::GetMessageInternal(MSG* msg, HWND filter, UINT first, UINT last, UINT remove,
                                      bool wait) {
  bool take = (remove & PM_REMOVE) != 0;
  for (;;) {
    m_host->PollEvents();
    TakeEndRequest();
    auto matches = [&](const MSG& m) {
      return (!filter || m.hwnd == filter || IsChildOf(filter, m.hwnd)) &&
             InRange(m.message, first, last);
    };
    // Posted messages come first.
    auto it = std::find_if(m_posted.begin(), m_posted.end(), matches);
    if (it != m_posted.end()) {
      *msg = *it;
      if (take) {
        m_posted.erase(it);
        if (RunHooks(*msg)) continue;
      }
      return true;
    }
    if (m_quitPending && InRange(WM_QUIT, first, last)) {
      *msg = MSG{};
      msg->message = WM_QUIT;
      msg->wParam = static_cast<WPARAM>(m_quitCode);
      msg->time = static_cast<DWORD>(m_host->Now());
      if (take) m_quitPending = false;
      return true;
    }
    // Then input, routed to its window as it is taken.
    if (TakeInput(msg, filter, first, last, take)) {
      if (take && RunHooks(*msg)) continue;
      return true;
    }
    // Routing input may have posted messages (leave notices); they come before painting.
    if (std::any_of(m_posted.begin(), m_posted.end(), matches)) continue;
    // Then painting.
    if (InRange(WM_PAINT, first, last)) {
      if (Window* pw = FindPaintWindow(filter)) {
        *msg = MSG{};
        msg->hwnd = pw;
        msg->message = WM_PAINT;
        msg->time = static_cast<DWORD>(m_host->Now());
        msg->pt = m_cursorPos;
        if (take && RunHooks(*msg)) {
          // A consumed paint would come back at once: validate it.
          ValidateRect(pw, nullptr);
          continue;
        }
        return true;
      }
    }
    // Then timers, the most overdue first.
    std::uint64_t now = m_host->Now();
    if (m_caret.owner && m_caret.hideCount == 0 && now >= m_caretNextBlink) {
      ToggleCaretPixels();
      m_caretNextBlink = now + CaretBlinkTime();
      continue;
    }
    if (InRange(WM_TIMER, first, last)) {
      Timer* due = nullptr;
      for (Timer& t : m_timers) {
        if (t.due > now) continue;
        if (filter && t.hwnd != filter && !IsChildOf(filter, t.hwnd)) continue;
        if (!due || t.due < due->due || (t.due == due->due && t.order < due->order)) due = &t;
      }
      if (due) {
        *msg = MSG{};
        msg->hwnd = due->hwnd;
        msg->message = WM_TIMER;
        msg->wParam = due->id;
        msg->lParam = reinterpret_cast<LPARAM>(due->proc);
        msg->time = static_cast<DWORD>(now);
        msg->pt = m_cursorPos;
        if (take) {
          due->due = now + std::max<UINT>(1, due->elapse);
          due->order = ++m_timerOrder;
          if (RunHooks(*msg)) continue;
        }
        return true;
      }
    }
    PresentAll();
    if (!wait) return false;
    m_host->WaitEvents(NextTimerDue());
  }
}

void WindowSystem::TakeEndRequest() {
  // The signals may be watched only after this system was made.
  if (m_watchedDescriptor != EndSignalDescriptor()) {
    m_watchedDescriptor = EndSignalDescriptor();
    m_host->WatchDescriptor(m_watchedDescriptor);
  }
  const int signal = TakeEndSignal();
  if (!signal) return;
  if (m_endRequest) m_endRequest(signal);
  else PostQuitMessage(0);
}

bool WindowSystem::GetMessage(MSG* msg, HWND filter, UINT first, UINT last) {
  GetMessageInternal(msg, filter, first, last, PM_REMOVE, true);
  m_messageTime = msg->time;
  return msg->message != WM_QUIT;
}

bool WindowSystem::PeekMessage(MSG* msg, HWND filter, UINT first, UINT last, UINT remove) {
  bool got = GetMessageInternal(msg, filter, first, last, remove, false);
  if (got) m_messageTime = msg->time;
  return got;
}

bool WindowSystem::WaitMessage() {
  m_host->PollEvents();
  if (!m_posted.empty() || !m_input.empty() || !m_routed.empty() || m_quitPending) return true;
  PresentAll();
  return m_host->WaitEvents(NextTimerDue());
}

bool WindowSystem::TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return false;
  int vk = static_cast<int>(msg->wParam);
  bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
  int ch = 0;
  // Printable characters come from text input; the keys below have no text of their own.
  if (vk == VK_RETURN) ch = '\r';
  else if (vk == VK_BACK) ch = 8;
  else if (vk == VK_TAB) ch = '\t';
  else if (vk == VK_ESCAPE) ch = 27;
  else if (ctrl && !alt && vk >= 'A' && vk <= 'Z') ch = vk - 'A' + 1;
  else if (alt && msg->message == WM_SYSKEYDOWN && ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')))
    ch = (vk >= 'A' && vk <= 'Z') ? vk - 'A' + 'a' : vk;
  if (!ch) return false;
  UINT charMsg = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  // The character comes straight after its key, ahead of later posted messages.
  MSG m = *msg;
  m.message = charMsg;
  m.wParam = static_cast<WPARAM>(ch);
  m_posted.push_front(m);
  return true;
}

LRESULT WindowSystem::DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    return 0;
  }
  if (!msg->hwnd) return 0;
  Window* w = Get(msg->hwnd);
  if (!w) return 0;
  m_messageTime = msg->time;
  LRESULT result = 0;
  {
    DepthGuard procs(m_procDepth), calls(w->m_callDepth);
    if (w->m_proc) result = w->m_proc(w, msg->message, msg->wParam, msg->lParam);
    else result = DefWindowProc(w, msg->message, msg->wParam, msg->lParam);
  }
  if (msg->message == WM_PAINT && Get(w) && w->m_internalPaint &&
      (w->m_update.Intersected(Region(w->m_client))).IsEmpty())
    w->m_internalPaint = false;
  if (m_procDepth == 0) ReleaseZombies();
  return result;
}

bool WindowSystem::ProcessMessages() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  PresentAll();
  return true;
}

int WindowSystem::RunMessageLoop() {
  MSG msg;
  while (GetMessage(&msg, nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return static_cast<int>(msg.wParam);
}

bool WindowSystem::RunModalLoop(const std::function<bool()>& done) {
  MSG msg;
  while (!done()) {
    if (!GetMessage(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return true;
}

// ---------------------------------------------------------------------------------------
// Timers

UINT_PTR WindowSystem::SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (hwnd && !Get(hwnd)) return 0;
  if (!hwnd) {
    // Timers without a window get an identifier of their own.
    auto it = std::find_if(m_timers.begin(), m_timers.end(),
                           [&](const Timer& t) { return !t.hwnd && t.id == id; });
    if (!id || it == m_timers.end()) id = ++m_nextThreadTimer;
  }
  elapse = std::clamp<UINT>(elapse, 10, 0x7FFFFFFF);
  std::uint64_t due = m_host->Now() + elapse;
  for (Timer& t : m_timers) {
    if (t.hwnd == hwnd && t.id == id) {
      t.elapse = elapse;
      t.proc = proc;
      t.due = due;
      t.order = ++m_timerOrder;
      return hwnd ? (id ? id : 1) : id;
    }
  }
  m_timers.push_back({hwnd, id, elapse, proc, due, ++m_timerOrder});
  return hwnd ? (id ? id : 1) : id;
}

bool WindowSystem::KillTimer(HWND hwnd, UINT_PTR id) {
  auto it = std::find_if(m_timers.begin(), m_timers.end(),
                         [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == m_timers.end()) return false;
  m_timers.erase(it);
  return true;
}

int WindowSystem::NextTimerDue() {
  std::uint64_t now = m_host->Now();
  std::int64_t best = -1;
  auto consider = [&](std::uint64_t due) {
    std::int64_t d = due <= now ? 0 : static_cast<std::int64_t>(due - now);
    if (best < 0 || d < best) best = d;
  };
  for (const Timer& t : m_timers) consider(t.due);
  if (m_caret.owner && m_caret.hideCount == 0) consider(m_caretNextBlink);
  return static_cast<int>(std::min<std::int64_t>(best, 0x7FFFFFFF));
}

// ---------------------------------------------------------------------------------------
// Screen

const std::vector<Monitor>& WindowSystem::Monitors() {
  if (!m_monitorsRead) {
    m_monitors.clear();
    for (const MonitorDesc& d : m_host->Monitors())
      m_monitors.push_back({d.bounds, d.work, m_monitors.empty()});
    m_monitorsRead = true;
  }
  return m_monitors;
}

HMONITOR WindowSystem::MonitorFromRect(const Rect& r, DWORD flags) {
  const auto& mons = Monitors();
  if (mons.empty()) return nullptr;
  const Monitor* best = nullptr;
  long bestArea = 0;
  for (const Monitor& m : mons) {
    Rect i = m.bounds.Intersected(r);
    long area = static_cast<long>(i.Width()) * i.Height();
    if (!i.IsEmpty() && area > bestArea) {
      best = &m;
      bestArea = area;
    }
  }
  if (best) return best;
  if (flags == MONITOR_DEFAULTTONULL) return nullptr;
  if (flags == MONITOR_DEFAULTTOPRIMARY) return &mons.front();
  // The nearest by distance between the rectangles.
  long bestDist = -1;
  for (const Monitor& m : mons) {
    long dx = std::max({0, m.bounds.left - r.right, r.left - m.bounds.right});
    long dy = std::max({0, m.bounds.top - r.bottom, r.top - m.bounds.bottom});
    long d = dx * dx + dy * dy;
    if (bestDist < 0 || d < bestDist) {
      bestDist = d;
      best = &m;
    }
  }
  return best;
}

HMONITOR WindowSystem::MonitorFromPoint(Point p, DWORD flags) {
  return MonitorFromRect(Rect(p.x, p.y, p.x + 1, p.y + 1), flags);
}

HMONITOR WindowSystem::MonitorFromWindow(HWND hwnd, DWORD flags) {
  Window* w = Get(hwnd);
  if (!w) return flags == MONITOR_DEFAULTTONULL ? nullptr : MonitorFromPoint({0, 0}, flags);
  Window* top = TopLevelOf(w);
  Rect r = (top->m_style & WS_MINIMIZE) ? top->m_normalRect : GetWindowRect(top);
  if (r.IsEmpty()) r = Rect::FromSize(r.TopLeft(), {1, 1});
  return MonitorFromRect(r, flags);
}

bool WindowSystem::GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
  if (!monitor || !info) return false;
  const auto& mons = Monitors();
  bool ours = std::any_of(mons.begin(), mons.end(), [&](const Monitor& m) { return &m == monitor; });
  if (!ours) return false;
  info->rcMonitor = monitor->bounds;
  info->rcWork = monitor->work;
  info->dwFlags = monitor->primary ? MONITORINFOF_PRIMARY : 0;
  return true;
}

int WindowSystem::GetSystemMetrics(int index) {
  const auto& mons = Monitors();
  Rect primary = mons.empty() ? Rect{0, 0, 800, 600} : mons.front().bounds;
  Rect work = mons.empty() ? primary : mons.front().work;
  Rect virt;
  for (const Monitor& m : mons) virt.Unite(m.bounds);
  if (virt.IsEmpty()) virt = primary;
  switch (index) {
    case SM_CXSCREEN: return primary.Width();
    case SM_CYSCREEN: return primary.Height();
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL: return 16;
    case SM_CYVTHUMB: case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION: return FrameCaptionHeight + 1;
    case SM_CXBORDER: case SM_CYBORDER: return FrameThinBorder;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return FrameDialogBorder;
    case SM_CXFRAME: case SM_CYFRAME: return FrameThickBorder;
    case SM_CXEDGE: case SM_CYEDGE: return FrameClientEdge;
    case SM_CXICON: case SM_CYICON: return 32;
    case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 19;
    case SM_CXFULLSCREEN: return work.Width();
    case SM_CYFULLSCREEN: return work.Height() - (FrameCaptionHeight + 1);
    case SM_MOUSEPRESENT: return 1;
    case SM_SWAPBUTTON: return 0;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXSIZE: case SM_CYSIZE: return FrameCaptionHeight;
    case SM_CXMINTRACK: return 112;
    case SM_CYMINTRACK: return 27;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return FrameToolCaptionHeight + 1;
    case SM_CXSMSIZE: case SM_CYSMSIZE: return FrameToolCaptionHeight;
    case SM_CXMAXTRACK: return virt.Width() + 2 * FrameThickBorder;
    case SM_CYMAXTRACK: return virt.Height() + 2 * FrameThickBorder;
    case SM_CXMAXIMIZED: return work.Width() + 2 * FrameThickBorder;
    case SM_CYMAXIMIZED: return work.Height() + 2 * FrameThickBorder;
    case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_CXVIRTUALSCREEN: return virt.Width();
    case SM_CYVIRTUALSCREEN: return virt.Height();
    case SM_CMONITORS: return static_cast<int>(mons.size());
    default: return 0;
  }
}

// ---------------------------------------------------------------------------------------
// Host reports that are not input

void WindowSystem::OnHostMoved(HostWindowId id, const Rect& rect) {
  for (HWND h : m_topLevels) {
    if (h->m_hostId != id) continue;
    if (h->m_rect == rect) return;
    HostWindowId keep = h->m_hostId;
    // Tell the window as if it had been moved by code, without echoing it to the host.
    h->m_hostId = 0;
    SetWindowPos(h, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (Get(h)) h->m_hostId = keep;
    return;
  }
}

void WindowSystem::OnHostExposed(HostWindowId id) {
  for (HWND h : m_topLevels) {
    if (h->m_hostId == id) {
      h->m_dirty = Region(Rect(0, 0, h->m_rect.Width(), h->m_rect.Height()));
      return;
    }
  }
}

void WindowSystem::OnHostShown(HostWindowId id) {
  for (HWND h : m_topLevels) {
    if (h->m_hostId != id) continue;
    // Mapped from outside while minimized: it is restored, as a click on its task bar
    // button would, and every pixel of it is drawn and presented again.
    if (h->m_style & WS_MINIMIZE) ShowWindow(h, SW_RESTORE);
    if (!Get(h)) return;
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    h->m_dirty = Region(h->m_backing.Bounds());
    return;
  }
}

void WindowSystem::OnDisplayLost() {
  if (m_displayLost) return;
  m_displayLost = true;
  PostQuitMessage(1);
}

void WindowSystem::OnHostClose(HostWindowId id) {
  for (HWND h : m_topLevels) {
    if (h->m_hostId == id) {
      PostMessage(h, WM_SYSCOMMAND, SC_CLOSE, 0);
      return;
    }
  }
}
