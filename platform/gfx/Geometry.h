// Point, Size and Rect: value types with exclusive right and bottom edges.
#pragma once

#include <algorithm>
#include <climits>

struct Point {
  int x = 0;
  int y = 0;

  constexpr Point() = default;
  constexpr Point(int px, int py) : x(px), y(py) {}
  constexpr Point Translated(int dx, int dy) const { return {x + dx, y + dy}; }
  constexpr Point operator+(Point o) const { return {x + o.x, y + o.y}; }
  constexpr Point operator-(Point o) const { return {x - o.x, y - o.y}; }
  constexpr bool operator==(const Point&) const = default;
};

struct Size {
  int cx = 0;
  int cy = 0;

  constexpr Size() = default;
  constexpr Size(int w, int h) : cx(w), cy(h) {}
  constexpr bool IsEmpty() const { return cx < 1 || cy < 1; }
  constexpr bool operator==(const Size&) const = default;
};

// Clamps a 64-bit result into int: Rect's arithmetic saturates instead of overflowing, so
// a rectangle spanning (or beyond) the whole int range still has a sane size.
constexpr int SaturatedInt(long long v) {
  return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

// A rectangle is empty when its width or height is below 1; empty rectangles still keep
// their coordinates, as the platform's RECT does. Sizes and moved edges are computed in 64
// bits and clamped to int.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  constexpr Rect() = default;
  constexpr Rect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
  static constexpr Rect FromSize(int x, int y, int w, int h) {
    return {x, y, SaturatedInt(static_cast<long long>(x) + w), SaturatedInt(static_cast<long long>(y) + h)};
  }
  static constexpr Rect FromSize(Point p, Size s) { return FromSize(p.x, p.y, s.cx, s.cy); }

  constexpr int Width() const { return SaturatedInt(static_cast<long long>(right) - left); }
  constexpr int Height() const { return SaturatedInt(static_cast<long long>(bottom) - top); }
  constexpr Size GetSize() const { return {Width(), Height()}; }
  constexpr Point TopLeft() const { return {left, top}; }
  constexpr Point BottomRight() const { return {right, bottom}; }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  constexpr bool Contains(Point p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr bool Contains(const Rect& r) const {
    return r.left >= left && r.top >= top && r.right <= right && r.bottom <= bottom;
  }
  constexpr bool Intersects(const Rect& r) const { return !Intersected(r).IsEmpty(); }

  constexpr void Translate(int dx, int dy) {
    left = Moved(left, dx), right = Moved(right, dx), top = Moved(top, dy), bottom = Moved(bottom, dy);
  }
  constexpr Rect Translated(int dx, int dy) const { Rect r = *this; r.Translate(dx, dy); return r; }
  constexpr Rect Translated(Point d) const { return Translated(d.x, d.y); }
  constexpr void Inflate(int dx, int dy) {
    left = Moved(left, -static_cast<long long>(dx)), right = Moved(right, dx);
    top = Moved(top, -static_cast<long long>(dy)), bottom = Moved(bottom, dy);
  }
  constexpr Rect Inflated(int dx, int dy) const { Rect r = *this; r.Inflate(dx, dy); return r; }

  // The common part; empty (all zero) when there is none, as IntersectRect gives.
  constexpr Rect Intersected(const Rect& r) const {
    Rect i{std::max(left, r.left), std::max(top, r.top), std::min(right, r.right),
           std::min(bottom, r.bottom)};
    return i.IsEmpty() ? Rect{} : i;
  }
  constexpr void Intersect(const Rect& r) { *this = Intersected(r); }
  // The bounding box of both; an empty rectangle does not count, as UnionRect does.
  constexpr Rect United(const Rect& r) const {
    if (IsEmpty()) return r.IsEmpty() ? Rect{} : r;
    if (r.IsEmpty()) return *this;
    return {std::min(left, r.left), std::min(top, r.top), std::max(right, r.right),
            std::max(bottom, r.bottom)};
  }
  constexpr void Unite(const Rect& r) { *this = United(r); }

  constexpr bool operator==(const Rect&) const = default;

 private:
  static constexpr int Moved(int edge, long long by) { return SaturatedInt(edge + by); }
};
