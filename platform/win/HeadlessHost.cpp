// HeadlessHost: the in-memory screen, virtual clock and injected input.
#include "platform/win/HeadlessHost.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/sys/Utf8.h"

namespace {
// Waiting this long in virtual time with nothing to do means the program waits for input
// that the test never gives.
constexpr std::uint64_t MaxIdleWait = 10 * 60 * 1000;

std::u32string ToUtf32(std::string_view utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    Utf8Char c = DecodeUtf8(utf8, i);
    out.push_back(c.code);
    i += std::max<std::size_t>(1, c.length);
  }
  return out;
}
}  // namespace

HeadlessHost::HeadlessHost(Size screen, int barHeight)
    : m_screen(screen), m_bar(std::clamp(barHeight, 0, std::max(0, screen.cy - 1))) {
  if (screen.IsEmpty()) throw std::invalid_argument("HeadlessHost: the screen needs a size");
  m_cursor = {screen.cx / 2, screen.cy / 2};
}

HeadlessHost::WindowState* HeadlessHost::Find(HostWindowId id) {
  auto it = m_windows.find(id);
  return it == m_windows.end() ? nullptr : &it->second;
}

HostWindowId HeadlessHost::CreateHostWindow(const HostWindowDesc& desc) {
  HostWindowId id = m_nextId++;
  WindowState& s = m_windows[id];
  s.rect = desc.rect;
  s.topmost = desc.topmost;
  s.noActivate = desc.noActivate;
  s.popup = desc.popup;
  s.title = desc.title;
  m_zOrder.insert(m_zOrder.begin(), id);
  return id;
}

void HeadlessHost::DestroyHostWindow(HostWindowId id) {
  m_windows.erase(id);
  m_zOrder.erase(std::remove(m_zOrder.begin(), m_zOrder.end(), id), m_zOrder.end());
  if (m_focused == id) m_focused = 0;
}

void HeadlessHost::SetHostWindowRect(HostWindowId id, const Rect& rect) {
  if (WindowState* s = Find(id)) s->rect = rect;
}

void HeadlessHost::ShowHostWindow(HostWindowId id, bool show, bool activate) {
  WindowState* s = Find(id);
  if (!s || m_lost) return;
  s->visible = show;
  if (show && activate && !s->noActivate) m_focused = id;
  if (!show && m_focused == id) m_focused = 0;
}

void HeadlessHost::SetHostZOrder(const std::vector<HostWindowId>& topFirst) {
  std::vector<HostWindowId> order;
  for (HostWindowId id : topFirst)
    if (m_windows.count(id)) order.push_back(id);
  for (HostWindowId id : m_zOrder)
    if (std::find(order.begin(), order.end(), id) == order.end()) order.push_back(id);
  m_zOrder = order;
}

void HeadlessHost::SetHostWindowTitle(HostWindowId id, std::string_view title) {
  if (WindowState* s = Find(id)) s->title = title;
}

bool HeadlessHost::SetHostWindowShape(HostWindowId id, const Region* shape) {
  if (WindowState* s = Find(id)) {
    if (shape) s->shape = *shape;
    else s->shape.reset();
  }
  return true;
}

bool HeadlessHost::SetHostWindowOpacity(HostWindowId id, int alpha) {
  if (WindowState* s = Find(id)) s->opacity = std::clamp(alpha, 0, 255);
  return true;
}

void HeadlessHost::FocusHostWindow(HostWindowId id) {
  if (WindowState* s = Find(id); s && s->visible) m_focused = id;
}

void HeadlessHost::Present(HostWindowId id, const Bitmap& pixels, const Region& dirty) {
  WindowState* s = Find(id);
  if (!s || m_lost) return;
  if (s->pixels.GetSize() != pixels.GetSize()) {
    s->pixels = pixels;
  } else {
    for (const Rect& r : dirty.Rects()) {
      Rect c = r.Intersected(pixels.Bounds());
      if (c.IsEmpty()) continue;
      for (int y = c.top; y < c.bottom; ++y)
        std::memcpy(s->pixels.Row(y) + c.left, pixels.Row(y) + c.left,
                    static_cast<std::size_t>(c.Width()) * sizeof(Pixel));
    }
  }
  ++s->presents;
}

bool HeadlessHost::WaitEvents(int timeoutMs) {
  if (m_idle && m_idle()) return true;
  if (timeoutMs < 0)
    throw std::runtime_error(
        "HeadlessHost: a message loop waits for input, but none is queued and no timer is set");
  m_waited += static_cast<std::uint64_t>(timeoutMs);
  if (m_waited > MaxIdleWait)
    throw std::runtime_error(
        "HeadlessHost: a message loop waited ten minutes of virtual time for input that never came");
  m_now += static_cast<std::uint64_t>(timeoutMs);
  return false;
}

std::vector<MonitorDesc> HeadlessHost::Monitors() {
  MonitorDesc d;
  d.bounds = {0, 0, m_screen.cx, m_screen.cy};
  d.work = {0, 0, m_screen.cx, m_screen.cy - m_bar};
  return {d};
}

bool HeadlessHost::SetClipboardText(std::string_view utf8) {
  if (m_lost) return false;
  m_clipboard = utf8;
  return true;
}

void HeadlessHost::AdvanceClock(std::uint64_t ms) {
  std::uint64_t target = m_now + ms;
  if (m_sink) m_sink->ProcessMessages();
  while (m_sink) {
    int due = m_sink->NextTimerDue();
    if (due < 0 || m_now + static_cast<std::uint64_t>(due) > target) break;
    m_now += static_cast<std::uint64_t>(due);
    m_sink->ProcessMessages();
  }
  m_now = target;
  if (m_sink) m_sink->ProcessMessages();
}

void HeadlessHost::Pump() {
  if (m_sink) m_sink->ProcessMessages();
}

void HeadlessHost::Injected() { m_waited = 0; }

void HeadlessHost::MoveMouse(Point screen) {
  Injected();
  m_cursor = screen;
  if (m_sink) m_sink->OnMouseMove(screen);
}

void HeadlessHost::PressMouse(Point screen, MouseButton button) {
  Injected();
  if (m_cursor != screen) MoveMouse(screen);
  if (m_sink) m_sink->OnMouseButton(button, true, screen);
}

void HeadlessHost::ReleaseMouse(Point screen, MouseButton button) {
  Injected();
  if (m_cursor != screen) MoveMouse(screen);
  if (m_sink) m_sink->OnMouseButton(button, false, screen);
}

void HeadlessHost::Click(Point screen, MouseButton button) {
  PressMouse(screen, button);
  ReleaseMouse(screen, button);
}

void HeadlessHost::Wheel(Point screen, int delta) {
  Injected();
  if (m_sink) m_sink->OnMouseWheel(delta, screen);
}

void HeadlessHost::KeyDown(int virtualKey, bool repeat) {
  Injected();
  if (m_sink) m_sink->OnKey(virtualKey, true, repeat);
}

void HeadlessHost::KeyUp(int virtualKey) {
  Injected();
  if (m_sink) m_sink->OnKey(virtualKey, false, false);
}

void HeadlessHost::Key(int virtualKey) {
  KeyDown(virtualKey);
  KeyUp(virtualKey);
}

void HeadlessHost::TypeText(std::string_view utf8) {
  Injected();
  if (m_sink) m_sink->OnText(ToUtf32(utf8));
}

void HeadlessHost::Compose(std::u32string_view text, int cursor) {
  Injected();
  if (m_sink) m_sink->OnComposition(text, cursor);
}

void HeadlessHost::FocusOtherProgram() {
  Injected();
  HostWindowId old = m_focused;
  m_focused = 0;
  if (m_sink && old) m_sink->OnHostFocus(old, false);
}

void HeadlessHost::LeaveWindows() {
  Injected();
  if (m_sink) m_sink->OnMouseLeftHost();
}

const Bitmap* HeadlessHost::WindowPixels(HostWindowId id) const {
  auto it = m_windows.find(id);
  return it == m_windows.end() ? nullptr : &it->second.pixels;
}

const HeadlessHost::WindowState* HeadlessHost::HostWindow(HostWindowId id) const {
  auto it = m_windows.find(id);
  return it == m_windows.end() ? nullptr : &it->second;
}

Bitmap HeadlessHost::Screenshot() const {
  Bitmap screen(m_screen.cx, m_screen.cy, DesktopPixel);
  for (int y = m_screen.cy - m_bar; y < m_screen.cy; ++y)
    std::fill(screen.Row(y), screen.Row(y) + m_screen.cx, BarPixel);
  Rect bounds = screen.Bounds();
  for (auto it = m_zOrder.rbegin(); it != m_zOrder.rend(); ++it) {
    const WindowState& s = m_windows.at(*it);
    if (!s.visible || s.pixels.IsEmpty() || s.opacity == 0) continue;
    Rect area = Rect::FromSize(s.rect.TopLeft(), s.pixels.GetSize());
    Region visible = s.shape ? s.shape->Translated(area.left, area.top) : Region(area);
    visible.Intersect(Region(area.Intersected(bounds)));
    for (const Rect& r : visible.Rects()) {
      for (int y = r.top; y < r.bottom; ++y) {
        const Pixel* src = s.pixels.Row(y - area.top) + (r.left - area.left);
        Pixel* dst = screen.Row(y) + r.left;
        if (s.opacity == 255) {
          std::memcpy(dst, src, static_cast<std::size_t>(r.Width()) * sizeof(Pixel));
          continue;
        }
        int a = s.opacity;
        for (int x = 0; x < r.Width(); ++x) {
          Pixel p = src[x], q = dst[x];
          dst[x] = MakePixel((PixelR(p) * a + PixelR(q) * (255 - a)) / 255,
                             (PixelG(p) * a + PixelG(q) * (255 - a)) / 255,
                             (PixelB(p) * a + PixelB(q) * (255 - a)) / 255);
        }
      }
    }
  }
  return screen;
}

void HeadlessHost::MapFromOutside(HostWindowId id) {
  WindowState* s = Find(id);
  if (!s || s->visible || m_lost) return;
  s->visible = true;
  // As on a desktop, the window comes back without its pixels.
  s->pixels = Bitmap(s->pixels.Width(), s->pixels.Height(), MakePixel(0, 0, 0));
  if (m_sink) m_sink->OnHostShown(id);
}

void HeadlessHost::LoseDisplay() {
  if (m_lost) return;
  m_lost = true;
  if (m_sink) m_sink->OnDisplayLost();
}
