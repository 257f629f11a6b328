// ToolBarScroller: when the arrows show, the scroll steps and the arrow geometry.
#include "skin/controls/skToolBarScroll.h"

#include <algorithm>

int ToolBarScroller::ClientWidth(int width) const {
  return m_shown ? std::max(0, width - 2 * ArrowWidth) : width;
}

void ToolBarScroller::Grew(int growth) {
  if (growth > 0) m_pendingGrowth += growth;
}

ToolBarScroller::Layout ToolBarScroller::Measure(bool canScroll, int contentRight, int width) {
  Layout out;
  // Where the content would end unscrolled: measuring it where it sits now would make it
  // shrink with every step, and hide the arrows at the far end.
  const int extent = contentRight + m_position;
  if (m_pendingGrowth > 0 && m_position > 0) {
    const int back = std::min(m_position, m_pendingGrowth);
    m_position -= back;
    out.shift += back;
  }
  m_pendingGrowth = 0;
  m_extent = extent;
  if (canScroll && extent > ClientWidth(width)) {
    if (!m_shown) {
      m_shown = true;
      out.arrowsChanged = true;
    }
    m_lastClientWidth = ClientWidth(width);
    return out;
  }
  out.shift += m_position;
  m_position = 0;
  m_hot = m_pressed = m_timerDir = ToolScrollDir::None;
  if (m_shown) {
    m_shown = false;
    out.arrowsChanged = true;
  }
  m_lastClientWidth = ClientWidth(width);
  return out;
}

int ToolBarScroller::Step(ToolScrollDir dir, int offset) {
  if (!m_shown) return 0;
  const int step = offset > 0 ? offset : m_lastClientWidth;
  int next = m_position;
  if (dir == ToolScrollDir::Left) {
    next = std::max(0, m_position - step);
  } else if (dir == ToolScrollDir::Right) {
    // One pixel past the content's end at most; never back left on a right step.
    next = std::max(m_position, std::min(m_position + step, m_extent - m_lastClientWidth + 1));
  }
  const int shift = m_position - next;
  m_position = next;
  return shift;
}

Rect ToolBarScroller::ArrowRect(ToolScrollDir dir, Size window) {
  switch (dir) {
    case ToolScrollDir::Left: return {0, 0, ArrowWidth, window.cy};
    case ToolScrollDir::Right: return {window.cx - ArrowWidth, 0, window.cx, window.cy};
    case ToolScrollDir::None: break;
  }
  return {};
}

ToolScrollDir ToolBarScroller::ArrowAt(Point p, Size window) const {
  if (!m_shown || p.y < 0 || p.y >= window.cy) return ToolScrollDir::None;
  // Left of the client area is the left arrow, right of it the right one.
  if (p.x >= 0 && p.x < ArrowWidth) return ToolScrollDir::Left;
  if (p.x >= window.cx - ArrowWidth && p.x < window.cx) return ToolScrollDir::Right;
  return ToolScrollDir::None;
}
