// The scrolling state of a tool bar whose buttons do not fit: whether the two arrows show,
// which is hot or pressed, the scroll position and the content extent. Window-free, so
// the tool bar only applies the shifts it answers.
#pragma once

#include "platform/gfx/Geometry.h"

enum class ToolScrollDir { None, Left, Right };

class ToolBarScroller {
 public:
  // Each arrow takes this much of the non-client area at its end.
  static constexpr int ArrowWidth = 12;

  bool ArrowsShown() const { return m_shown; }
  // Pixels scrolled (the children sit this much left of their places).
  int Position() const { return m_position; }
  // Right edge of the content as it would lie unscrolled.
  int ContentExtent() const { return m_extent; }
  int LastClientWidth() const { return m_lastClientWidth; }
  ToolScrollDir Hot() const { return m_hot; }
  ToolScrollDir Pressed() const { return m_pressed; }
  ToolScrollDir TimerDir() const { return m_timerDir; }
  void SetHot(ToolScrollDir d) { m_hot = d; }
  void SetPressed(ToolScrollDir d) { m_pressed = d; }
  void SetTimerDir(ToolScrollDir d) { m_timerDir = d; }

  // The client width for a bar of `width`: less both arrows while they show.
  int ClientWidth(int width) const;
  // The bar grew: the content scrolls back by up to the growth at the next Measure.
  void Grew(int growth);

  struct Layout {
    int shift = 0;               // how far to move every child (positive: right)
    bool arrowsChanged = false;  // the non-client area must be computed again
  };
  // Measures the content anew: `contentRight` is the largest right edge of the visible
  // children where they are now. Shows the arrows when the content does not fit,
  // otherwise scrolls back to 0 and hides them; with `canScroll` off it always hides.
  Layout Measure(bool canScroll, int contentRight, int width);
  // One scroll step of `offset` pixels (0: a client width) in `dir`; answers the shift
  // for the children (0 when the position stayed).
  int Step(ToolScrollDir dir, int offset);

  // The arrows in window coordinates, and which one a window point falls on.
  static Rect ArrowRect(ToolScrollDir dir, Size window);
  ToolScrollDir ArrowAt(Point windowPoint, Size window) const;

 private:
  bool m_shown = false;
  int m_position = 0;
  int m_extent = 0;
  int m_lastClientWidth = 0;
  int m_pendingGrowth = 0;
  ToolScrollDir m_hot = ToolScrollDir::None;
  ToolScrollDir m_pressed = ToolScrollDir::None;
  ToolScrollDir m_timerDir = ToolScrollDir::None;
};
