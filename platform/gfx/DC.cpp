// Device context: state, clipping, shapes and the bit-block transfers (text is in DCText.cpp).
#include "platform/gfx/DC.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <utility>

namespace {

constexpr Pixel kOpaque = 0xFF000000u;

// A fill the compiler turns into wide stores whatever the row length (a plain loop with
// a run-time count stays scalar at -O2).
void FillPixels(Pixel* d, int n, Pixel p) {
  const Pixel block[8] = {p, p, p, p, p, p, p, p};
  int i = 0;
  for (; i + 8 <= n; i += 8) std::memcpy(d + i, block, sizeof block);
  for (; i < n; ++i) d[i] = p;
}

Pixel Resolve(Color c) { return ColorToPixel(ColorToRGB(c)); }

// The platform's coordinates span +-2^27. Positions and sizes beyond that draw nothing.
// Rect's own arithmetic saturates; the shapes that add to edges by hand (frames, focus
// rectangles, outlines, ellipses) clamp to twice that first, which keeps their sums inside
// int (a frame with INT_MAX edges still means "everything").
constexpr int kCoordLimit = 1 << 27;
bool InRange(std::initializer_list<int> values) {
  for (int v : values)
    if (v < -kCoordLimit || v > kCoordLimit) return false;
  return true;
}
Rect Clamped(const Rect& r) {
  auto c = [](int v) { return std::clamp(v, -2 * kCoordLimit, 2 * kCoordLimit); };
  return {c(r.left), c(r.top), c(r.right), c(r.bottom)};
}

Rect Ordered(const Rect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
          std::max(r.top, r.bottom)};
}

// Calls f for each part of `r` inside `clip`, visiting only the bands that overlap r.
template <typename F>
void ForEachClip(const Region& clip, const Rect& r, F f) {
  if (r.IsEmpty()) return;
  const std::vector<Rect>& rects = clip.Rects();
  auto it = std::upper_bound(rects.begin(), rects.end(), r.top,
                             [](int y, const Rect& rc) { return y < rc.bottom; });
  for (; it != rects.end() && it->top < r.bottom; ++it) {
    const Rect c = it->Intersected(r);
    if (!c.IsEmpty()) f(c);
  }
}

std::uint8_t RopCode(std::uint32_t rop) { return static_cast<std::uint8_t>((rop >> 16) & 0xFF); }
bool RopUsesSource(std::uint8_t code) { return ((code >> 2) ^ code) & 0x33; }
bool RopUsesPattern(std::uint8_t code) { return ((code >> 4) ^ code) & 0x0F; }

// Any ternary operation, bit by bit: bit i of the code is the result for P = i>>2 & 1,
// S = i>>1 & 1, D = i & 1.
Pixel RopGeneric(std::uint8_t code, Pixel p, Pixel s, Pixel d) {
  Pixel r = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((code >> i) & 1)) continue;
    r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return r;
}

template <typename F>
void RowLoop(Pixel* d, const Pixel* s, int n, F f) {
  for (int i = 0; i < n; ++i) d[i] = f(s ? s[i] : 0, d[i]) | kOpaque;
}

// One row of a raster operation; `s` may be null when the operation does not read it.
void RopRow(Pixel* d, const Pixel* s, int n, Pixel p, std::uint8_t code) {
  switch (code) {
    case 0xCC: std::memmove(d, s, static_cast<std::size_t>(n) * sizeof(Pixel)); return;
    case 0x00: FillPixels(d, n, kOpaque); return;
    case 0xFF: FillPixels(d, n, 0xFFFFFFFFu); return;
    case 0xF0: FillPixels(d, n, p | kOpaque); return;
    case 0x55: RowLoop(d, s, n, [](Pixel, Pixel x) { return ~x; }); return;
    case 0x5A: RowLoop(d, s, n, [p](Pixel, Pixel x) { return p ^ x; }); return;
    case 0xEE: RowLoop(d, s, n, [](Pixel a, Pixel x) { return a | x; }); return;
    case 0x88: RowLoop(d, s, n, [](Pixel a, Pixel x) { return a & x; }); return;
    case 0x66: RowLoop(d, s, n, [](Pixel a, Pixel x) { return a ^ x; }); return;
    case 0x44: RowLoop(d, s, n, [](Pixel a, Pixel x) { return a & ~x; }); return;
    case 0x33: RowLoop(d, s, n, [](Pixel a, Pixel) { return ~a; }); return;
    case 0x11: RowLoop(d, s, n, [](Pixel a, Pixel x) { return ~(a | x); }); return;
    case 0xC0: RowLoop(d, s, n, [p](Pixel a, Pixel) { return p & a; }); return;
    case 0xBB: RowLoop(d, s, n, [](Pixel a, Pixel x) { return ~a | x; }); return;
    case 0xFB: RowLoop(d, s, n, [p](Pixel a, Pixel x) { return p | ~a | x; }); return;
    default: RowLoop(d, s, n, [p, code](Pixel a, Pixel x) { return RopGeneric(code, p, a, x); });
  }
}

// A copy of the part `r` of `b` (r inside b).
Bitmap CopyOut(const Bitmap& b, const Rect& r) {
  Bitmap out(r.Width(), r.Height(), 0);
  for (int y = 0; y < r.Height(); ++y)
    std::memcpy(out.Row(y), b.Row(r.top + y) + r.left, static_cast<std::size_t>(r.Width()) * sizeof(Pixel));
  return out;
}

struct AxisMap {
  int from = 0;            // the destination indices mapped: [from, from + first.size())
  std::vector<int> first;  // first source index for each of them
  std::vector<int> last;   // one past the last one (first + 1 when not combining)
  int validBegin = 0;      // destination indices with a source inside [0, srcSize)
  int validEnd = 0;
  int First(int i) const { return first[static_cast<std::size_t>(i - from)]; }
  int Last(int i) const { return last[static_cast<std::size_t>(i - from)]; }
};

// Maps destination indices [from, to) of [0, n) onto source indices srcStart + [0, sn),
// mirrored when asked. Nearest uses pixel centres; combining (shrink only) covers every
// source pixel that overlaps the destination pixel. Only the visible range is mapped, so
// a huge destination costs nothing beyond what is drawn.
AxisMap MapAxis(int n, int from, int to, int srcStart, int sn, bool mirror, bool combine,
                int srcSize) {
  AxisMap m;
  m.from = from;
  const auto count = static_cast<std::size_t>(std::max(0, to - from));
  m.first.resize(count);
  m.last.resize(count);
  const bool spans = combine && sn > n;
  m.validBegin = to;
  m.validEnd = from;
  for (int i = from; i < to; ++i) {
    const long long k = i;  // (2k + 1) * sn stays below 2^63 for int sizes
    long long a;
    long long b;
    if (spans) {
      a = k * sn / n;
      b = ((k + 1) * sn + n - 1) / n;
    } else {
      a = (2 * k + 1) * sn / (2LL * n);
      b = a + 1;
    }
    if (mirror) {
      const long long na = sn - b;
      b = sn - a;
      a = na;
    }
    a = std::max(a + srcStart, 0LL);
    b = std::min(b + srcStart, static_cast<long long>(srcSize));
    m.first[static_cast<std::size_t>(i - from)] = static_cast<int>(a);
    m.last[static_cast<std::size_t>(i - from)] = static_cast<int>(std::max(a, b));
    if (a < b) {
      m.validBegin = std::min(m.validBegin, i);
      m.validEnd = i + 1;
    }
  }
  if (m.validBegin >= m.validEnd) m.validBegin = m.validEnd = from;
  return m;
}

Pixel CombineBox(const Bitmap& src, int x0, int x1, int y0, int y1, int mode) {
  if (mode == HALFTONE) {
    unsigned sa = 0, sr = 0, sg = 0, sb = 0;
    for (int y = y0; y < y1; ++y) {
      const Pixel* row = src.Row(y);
      for (int x = x0; x < x1; ++x) {
        sa += row[x] >> 24;
        sr += (row[x] >> 16) & 0xFF;
        sg += (row[x] >> 8) & 0xFF;
        sb += row[x] & 0xFF;
      }
    }
    const unsigned n = static_cast<unsigned>((x1 - x0) * (y1 - y0));
    return ((sa + n / 2) / n) << 24 | ((sr + n / 2) / n) << 16 | ((sg + n / 2) / n) << 8 |
           ((sb + n / 2) / n);
  }
  Pixel acc = mode == BLACKONWHITE ? 0xFFFFFFFFu : 0;
  for (int y = y0; y < y1; ++y) {
    const Pixel* row = src.Row(y);
    for (int x = x0; x < x1; ++x) acc = mode == BLACKONWHITE ? acc & row[x] : acc | row[x];
  }
  return acc;
}

}  // namespace

DC::DC(Bitmap& target) : DC(target, Point{0, 0}, Region(target.Bounds())) {}

DC::DC(Bitmap& target, Point origin, const Region& baseClip)
    : m_target(&target),
      m_creationOrigin(origin),
      m_origin(origin),
      m_baseClip(baseClip.Intersected(Region(target.Bounds()))) {
  UpdateClip();
}

Point DC::SetViewportOrg(Point logicalOrigin) {
  const Point old = m_origin - m_creationOrigin;
  m_origin = m_creationOrigin + logicalOrigin;
  return old;
}

void DC::UpdateClip() {
  m_clip = m_baseClip;
  if (m_hasAppClip) m_clip.Intersect(m_appClip);
}

int DC::SelectClipRgn(const Region* rgn) {
  if (rgn) {
    m_appClip = *rgn;  // kept within the coordinate range so that moving it cannot overflow
    m_appClip.Intersect(Rect{-2 * kCoordLimit, -2 * kCoordLimit, 2 * kCoordLimit, 2 * kCoordLimit});
    m_appClip.Translate(m_creationOrigin.x, m_creationOrigin.y);
    m_hasAppClip = true;
  } else {
    m_appClip.Clear();
    m_hasAppClip = false;
  }
  UpdateClip();
  return RegionKind(m_clip);
}

int DC::ExcludeClipRect(const Rect& r) {
  const Rect d = Ordered(r).Translated(m_origin);
  if (!m_hasAppClip) {
    // With no clip of its own the context starts from its whole surface.
    m_appClip = Region(m_baseClip.Bounds());
    m_hasAppClip = true;
  }
  m_appClip.Subtract(Region(d));
  UpdateClip();
  return RegionKind(m_clip);
}

int DC::IntersectClipRect(const Rect& r) {
  const Rect d = Ordered(r).Translated(m_origin);
  if (!m_hasAppClip) {
    m_appClip = Region(d);
    m_hasAppClip = true;
  } else {
    m_appClip.Intersect(d);
  }
  UpdateClip();
  return RegionKind(m_clip);
}

int DC::OffsetClipRgn(int dx, int dy) {
  if (m_hasAppClip) {
    if (!InRange({dx, dy})) return ERROR;
    m_appClip.Translate(dx, dy);
    UpdateClip();
  }
  return RegionKind(m_clip);
}

bool DC::GetClipRgn(Region& out) const {
  if (!m_hasAppClip) return false;
  out = m_appClip.Translated(-m_creationOrigin.x, -m_creationOrigin.y);
  return true;
}

Region DC::ClipRegion() const { return m_clip.Translated(-m_origin.x, -m_origin.y); }

Rect DC::ClipBox() const {
  if (m_clip.IsEmpty()) return Rect{};
  return m_clip.Bounds().Translated(-m_origin.x, -m_origin.y);
}

Rect DC::DeviceClipBounds() const { return m_clip.Bounds(); }

bool DC::PtVisible(Point p) const { return InRange({p.x, p.y}) && m_clip.Contains(p + m_origin); }

bool DC::RectVisible(const Rect& r) const {
  return m_clip.Intersects(Ordered(r).Translated(m_origin));
}

Pen DC::SelectPen(const Pen& pen) {
  const Pen old = m_pen;
  m_pen = pen;
  return old;
}

Brush DC::SelectBrush(const Brush& brush) {
  const Brush old = m_brush;
  m_brush = brush;
  return old;
}

Font DC::SelectFont(const Font& font) {
  Font old = m_font;
  m_font = font;
  return old;
}

Color DC::SetTextColor(Color c) { return std::exchange(m_textColor, c); }
Color DC::SetBkColor(Color c) { return std::exchange(m_bkColor, c); }

int DC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(m_bkMode, mode);
}

int DC::SetStretchBltMode(int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return std::exchange(m_stretchMode, mode);
}

int DC::SaveDC() {
  m_saved.push_back(State{m_origin, m_appClip, m_hasAppClip, m_pen, m_brush, m_font,
                          m_textColor, m_bkColor, m_bkMode, m_stretchMode, m_penPos});
  return static_cast<int>(m_saved.size());
}

bool DC::RestoreDC(int level) {
  const int depth = static_cast<int>(m_saved.size());
  if (level < 0) level = depth + level + 1;
  if (level < 1 || level > depth) return false;
  State s = std::move(m_saved[static_cast<std::size_t>(level - 1)]);
  m_saved.resize(static_cast<std::size_t>(level - 1));
  m_origin = s.origin;
  m_appClip = std::move(s.appClip);
  m_hasAppClip = s.hasAppClip;
  m_pen = s.pen;
  m_brush = s.brush;
  m_font = std::move(s.font);
  m_textColor = s.textColor;
  m_bkColor = s.bkColor;
  m_bkMode = s.bkMode;
  m_stretchMode = s.stretchMode;
  m_penPos = s.penPos;
  UpdateClip();
  return true;
}

void DC::FillDevice(const Rect& deviceRect, Pixel p) {
  ForEachClip(m_clip, deviceRect, [&](const Rect& c) {
    for (int y = c.top; y < c.bottom; ++y) FillPixels(m_target->Row(y) + c.left, c.Width(), p);
  });
}

void DC::FillRect(const Rect& r, Color c) {
  if (r.IsEmpty()) return;
  FillDevice(r.Translated(m_origin), Resolve(c));
}

void DC::FillRect(const Rect& r, const Brush& b) {
  if (b.style == BS_NULL) return;
  FillRect(r, b.color);
}

void DC::FrameRect(const Rect& r, Color c) {
  if (Clamped(r).IsEmpty()) return;
  const Rect d = Clamped(r).Translated(m_origin);
  const Pixel p = Resolve(c);
  FillDevice({d.left, d.top, d.right, d.top + 1}, p);
  FillDevice({d.left, d.bottom - 1, d.right, d.bottom}, p);
  FillDevice({d.left, d.top, d.left + 1, d.bottom}, p);
  FillDevice({d.right - 1, d.top, d.right, d.bottom}, p);
}

void DC::InvertRect(const Rect& r) {
  if (r.IsEmpty()) return;
  ForEachClip(m_clip, r.Translated(m_origin), [&](const Rect& c) {
    for (int y = c.top; y < c.bottom; ++y) {
      Pixel* row = m_target->Row(y);
      for (int x = c.left; x < c.right; ++x) row[x] = (row[x] ^ 0x00FFFFFFu) | kOpaque;
    }
  });
}

void DC::DrawFocusRect(const Rect& r) {
  if (Clamped(r).IsEmpty()) return;
  const Rect d = Clamped(r).Translated(m_origin);
  // The four edges without overlaps, so no pixel is inverted twice in one call.
  std::vector<Rect> edges{{d.left, d.top, d.right, d.top + 1}};
  if (d.Height() > 1) {
    edges.push_back({d.left, d.bottom - 1, d.right, d.bottom});
    edges.push_back({d.left, d.top + 1, d.left + 1, d.bottom - 1});
    if (d.Width() > 1) edges.push_back({d.right - 1, d.top + 1, d.right, d.bottom - 1});
  }
  for (const Rect& e : edges) {
    ForEachClip(m_clip, e, [&](const Rect& c) {
      for (int y = c.top; y < c.bottom; ++y) {
        Pixel* row = m_target->Row(y);
        for (int x = c.left + ((c.left + y) & 1); x < c.right; x += 2)
          row[x] = (row[x] ^ 0x00FFFFFFu) | kOpaque;
      }
    });
  }
}

void DC::SetPixel(int x, int y, Color c) {
  if (!InRange({x, y})) return;
  const Point d = Point{x, y} + m_origin;
  if (m_clip.Contains(d)) m_target->Set(d.x, d.y, Resolve(c));
}

Color DC::GetPixel(int x, int y) const {
  if (!InRange({x, y})) return CLR_INVALID;
  const Point d = Point{x, y} + m_origin;
  if (!m_clip.Contains(d)) return CLR_INVALID;
  return m_target->GetPixelColor(d.x, d.y);
}

// ---- Lines and shapes ----

void DC::MoveTo(int x, int y) {
  m_penPos = {x, y};
  m_penPatternPos = 0;
}

void DC::PenPixel(int x, int y, Pixel p) {
  if (m_pen.width <= 1) {
    if (m_clip.Contains({x, y})) m_target->Set(x, y, p);
    return;
  }
  const int half = (m_pen.width - 1) / 2;
  FillDevice(Rect::FromSize(x - half, y - half, m_pen.width, m_pen.width), p);
}

void DC::DrawLineDevice(int x0, int y0, int x1, int y1) {
  const long long dx = std::llabs(static_cast<long long>(x1) - x0);
  const long long dy = std::llabs(static_cast<long long>(y1) - y0);
  const long long steps = std::max(dx, dy);
  // The platform's cosmetic dash patterns, in pixels on, off.
  int pattern[2] = {1, 0};
  if (m_pen.style == PS_DASH) { pattern[0] = 18; pattern[1] = 6; }
  if (m_pen.style == PS_DOT) { pattern[0] = 3; pattern[1] = 3; }
  const int period = pattern[0] + pattern[1];
  const int patternStart = m_penPatternPos;
  m_penPatternPos = static_cast<int>((patternStart + steps) % period);
  if (m_pen.style == PS_NULL || steps == 0 || m_clip.IsEmpty()) return;
  const Pixel on = Resolve(m_pen.color);
  const Pixel off = Resolve(m_bkColor);
  const int sx = x1 >= x0 ? 1 : -1;
  const int sy = y1 >= y0 ? 1 : -1;
  const bool xMajor = dx >= dy;
  const long long major = xMajor ? dx : dy;
  const long long minor = xMajor ? dy : dx;
  // Minor-axis offset of step k, rounded to the nearest pixel, halves away from the start.
  auto minorAt = [&](long long k) { return (2 * k * minor + major) / (2 * major); };

  // Only the steps that land near the clip are walked, so a long line costs what it draws.
  const int grow = m_pen.width / 2 + 1;
  const Rect box = m_clip.Bounds().Inflated(grow, grow);
  auto offsets = [](long long start, int dir, long long lo, long long hi, long long& a, long long& b) {
    if (dir > 0) { a = lo - start; b = hi - 1 - start; } else { a = start - (hi - 1); b = start - lo; }
  };
  long long xa, xb, ya, yb;
  offsets(x0, sx, box.left, box.right, xa, xb);
  offsets(y0, sy, box.top, box.bottom, ya, yb);
  const long long minorLo = xMajor ? ya : xa;
  const long long minorHi = xMajor ? yb : xb;
  long long kLo = std::max(0LL, xMajor ? xa : ya);
  long long kHi = std::min(steps - 1, xMajor ? xb : yb);
  if (kLo > kHi) return;
  {  // first k with minorAt(k) >= minorLo (minorAt never decreases)
    long long lo = kLo, hi = kHi + 1;
    while (lo < hi) {
      const long long mid = lo + (hi - lo) / 2;
      if (minorAt(mid) >= minorLo) hi = mid; else lo = mid + 1;
    }
    kLo = lo;
  }
  {  // last k with minorAt(k) <= minorHi
    long long lo = kLo, hi = kHi + 1;
    while (lo < hi) {
      const long long mid = lo + (hi - lo) / 2;
      if (minorAt(mid) > minorHi) hi = mid; else lo = mid + 1;
    }
    kHi = lo - 1;
  }
  for (long long k = kLo; k <= kHi; ++k) {
    const long long m = minorAt(k);
    const int x = static_cast<int>(x0 + (xMajor ? k : m) * sx);
    const int y = static_cast<int>(y0 + (xMajor ? m : k) * sy);
    if (period == 1) {
      PenPixel(x, y, on);
    } else if ((patternStart + k) % period < pattern[0]) {
      PenPixel(x, y, on);
    } else if (m_bkMode == OPAQUE) {
      PenPixel(x, y, off);
    }
  }
}

void DC::LineTo(int x, int y) {
  if (!InRange({x, y, m_penPos.x, m_penPos.y})) {
    m_penPos = {x, y};
    return;
  }
  DrawLineDevice(m_penPos.x + m_origin.x, m_penPos.y + m_origin.y, x + m_origin.x, y + m_origin.y);
  m_penPos = {x, y};
}

void DC::Polyline(const std::vector<Point>& points) {
  if (points.size() < 2) return;
  const Point savedPos = m_penPos;
  const int savedPattern = m_penPatternPos;
  MoveTo(points[0].x, points[0].y);
  for (std::size_t i = 1; i < points.size(); ++i) LineTo(points[i].x, points[i].y);
  m_penPos = savedPos;
  m_penPatternPos = savedPattern;
}

void DC::Polygon(const std::vector<Point>& points) {
  if (points.size() < 2) return;
  for (const Point& p : points)
    if (!InRange({p.x, p.y})) return;
  if (m_brush.style != BS_NULL && points.size() >= 3) {
    int top = INT_MAX;
    int bottom = INT_MIN;
    for (const Point& p : points) {
      top = std::min(top, p.y);
      bottom = std::max(bottom, p.y);
    }
    const Rect clipBounds = m_clip.Bounds().Translated(-m_origin.x, -m_origin.y);
    top = std::max(top, clipBounds.top);
    bottom = std::min(bottom, clipBounds.bottom);
    const Pixel p = Resolve(m_brush.color);
    std::vector<double> xs;
    for (int y = top; y < bottom; ++y) {
      const double yc = y + 0.5;
      xs.clear();
      for (std::size_t i = 0; i < points.size(); ++i) {
        const Point a = points[i];
        const Point b = points[(i + 1) % points.size()];
        if (a.y == b.y) continue;
        const double lo = std::min(a.y, b.y);
        const double hi = std::max(a.y, b.y);
        if (yc < lo || yc >= hi) continue;
        xs.push_back(a.x + (yc - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y));
      }
      std::sort(xs.begin(), xs.end());
      for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
        const int xa = static_cast<int>(std::ceil(xs[i] - 0.5));
        const int xb = static_cast<int>(std::ceil(xs[i + 1] - 0.5));
        if (xa < xb) FillDevice(Rect{xa, y, xb, y + 1}.Translated(m_origin), p);
      }
    }
  }
  const Point savedPos = m_penPos;
  const int savedPattern = m_penPatternPos;
  MoveTo(points[0].x, points[0].y);
  for (std::size_t i = 1; i < points.size(); ++i) LineTo(points[i].x, points[i].y);
  LineTo(points[0].x, points[0].y);
  m_penPos = savedPos;
  m_penPatternPos = savedPattern;
}

void DC::Rectangle(const Rect& rect) {
  Rect r = Ordered(Clamped(rect));
  if (m_pen.style == PS_NULL) {
    r.right -= 1;
    r.bottom -= 1;
    if (m_brush.style != BS_NULL) FillRect(r, m_brush.color);
    return;
  }
  if (r.IsEmpty()) return;
  const int w = std::max(1, m_pen.width);
  if (m_brush.style != BS_NULL) FillRect(r.Inflated(-w, -w), m_brush.color);
  if (m_pen.style == PS_SOLID || w > 1) {
    const Pixel p = Resolve(m_pen.color);
    const Rect d = r.Translated(m_origin);
    FillDevice({d.left, d.top, d.right, std::min(d.bottom, d.top + w)}, p);
    FillDevice({d.left, std::max(d.top, d.bottom - w), d.right, d.bottom}, p);
    FillDevice({d.left, d.top, std::min(d.right, d.left + w), d.bottom}, p);
    FillDevice({std::max(d.left, d.right - w), d.top, d.right, d.bottom}, p);
  } else {
    const std::vector<Point> path{{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1},
                                  {r.left, r.bottom - 1}};
    const Point savedPos = m_penPos;
    MoveTo(path[0].x, path[0].y);
    for (std::size_t i = 1; i < path.size(); ++i) LineTo(path[i].x, path[i].y);
    LineTo(path[0].x, path[0].y);
    m_penPos = savedPos;
    if (r.Width() == 1 || r.Height() == 1) SetPixel(r.right - 1, r.bottom - 1, m_pen.color);
  }
}

void DC::Ellipse(const Rect& rect) {
  Rect r = Ordered(Clamped(rect));
  const bool nullPen = m_pen.style == PS_NULL;
  if (nullPen) {
    r.right -= 1;
    r.bottom -= 1;
  }
  if (r.IsEmpty()) return;
  // Row spans (inclusive) of the pixels whose centres lie inside the inscribed ellipse,
  // computed per row so that only the visible rows cost anything.
  const int rows = r.Height();
  const double cx = (static_cast<double>(r.left) + r.right) / 2.0;
  const double cy = (static_cast<double>(r.top) + r.bottom) / 2.0;
  const double a = r.Width() / 2.0;
  const double b = r.Height() / 2.0;
  auto rowSpan = [&](int i, int& l, int& rr) {
    l = INT_MAX;
    rr = INT_MIN;
    if (i < 0 || i >= rows) return;
    const double t = (r.top + i + 0.5 - cy) / b;
    const double h = 1.0 - t * t;
    if (h < 0) return;
    const double half = a * std::sqrt(h);
    l = static_cast<int>(std::max<double>(std::ceil(cx - half - 0.5), r.left));
    rr = static_cast<int>(std::min<double>(std::floor(cx + half - 0.5), r.right - 1));
    if (l > rr) {  // a thin ellipse still has a pixel in each row
      l = rr = std::min(static_cast<int>(std::floor(cx)), r.right - 1);
    }
  };
  auto spanL = [&](int i) { int l, rr; rowSpan(i, l, rr); return l; };
  auto spanR = [&](int i) { int l, rr; rowSpan(i, l, rr); return rr; };
  const int w = nullPen ? 0 : std::max(1, m_pen.width);
  const Rect clipBounds = m_clip.Bounds().Translated(-m_origin.x, -m_origin.y);
  const int firstRow = std::max(0, clipBounds.top - r.top);
  const int lastRow = std::min(rows, clipBounds.bottom - r.top);
  const Pixel penPixel = Resolve(m_pen.color);
  const Pixel brushPixel = Resolve(m_brush.color);
  for (int i = firstRow; i < lastRow; ++i) {
    const int l = spanL(i);
    const int rr = spanR(i);
    if (l > rr) continue;
    const int y = r.top + i + m_origin.y;
    // Interior: pixels whose neighbours up to the pen width away are all inside (rows are
    // unimodal, so the rows w above and below bound every row in between).
    int il = l;
    int ir = rr;
    if (w > 0) {
      il = std::max({l + w, spanL(i - w), spanL(i + w)});
      ir = std::min({rr - w, spanR(i - w), spanR(i + w)});
    }
    if (il <= ir) {
      if (m_brush.style != BS_NULL)
        FillDevice({il + m_origin.x, y, ir + 1 + m_origin.x, y + 1}, brushPixel);
      if (w > 0) {
        FillDevice({l + m_origin.x, y, il + m_origin.x, y + 1}, penPixel);
        FillDevice({ir + 1 + m_origin.x, y, rr + 1 + m_origin.x, y + 1}, penPixel);
      }
    } else if (w > 0) {
      FillDevice({l + m_origin.x, y, rr + 1 + m_origin.x, y + 1}, penPixel);
    }
  }
}

// ---- Bit-block transfers ----

void DC::ApplyRop(const Rect& deviceRect, const Bitmap* src, int srcDx, int srcDy,
                  std::uint32_t rop) {
  const std::uint8_t code = RopCode(rop);
  const Pixel pat = Resolve(m_brush.color);
  ForEachClip(m_clip, deviceRect, [&](const Rect& c) {
    for (int y = c.top; y < c.bottom; ++y) {
      const Pixel* s = src ? src->Row(y + srcDy) + c.left + srcDx : nullptr;
      RopRow(m_target->Row(y) + c.left, s, c.Width(), pat, code);
    }
  });
}

void DC::PatBlt(int x, int y, int w, int h, std::uint32_t rop) {
  if (!InRange({x, y, w, h})) return;
  const std::uint8_t code = RopCode(rop);
  if (RopUsesPattern(code) && m_brush.style == BS_NULL) return;
  Rect d = Ordered(Rect::FromSize(x, y, w, h)).Translated(m_origin);
  if (RopUsesSource(code)) return;  // no source to read
  ApplyRop(d, nullptr, 0, 0, rop);
}

void DC::BitBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, std::uint32_t rop) {
  if (!InRange({x, y, w, h, sx, sy})) return;
  if (w < 0) { x += w; sx += w; w = -w; }
  if (h < 0) { y += h; sy += h; h = -h; }
  if (w == 0 || h == 0) return;
  const std::uint8_t code = RopCode(rop);
  if (RopUsesPattern(code) && m_brush.style == BS_NULL) return;
  Rect d = Rect::FromSize(x + m_origin.x, y + m_origin.y, w, h);
  if (!RopUsesSource(code)) {
    ApplyRop(d, nullptr, 0, 0, rop);
    return;
  }
  const Bitmap* sb = &src.Target();
  int offX = sx + src.m_origin.x - d.left;  // source = destination + offset
  int offY = sy + src.m_origin.y - d.top;
  d.Intersect(sb->Bounds().Translated(-offX, -offY));
  d.Intersect(m_clip.Bounds());
  if (d.IsEmpty()) return;
  Bitmap temp;
  const Rect s = d.Translated(offX, offY);
  if (sb == m_target && s.Intersects(d)) {
    temp = CopyOut(*sb, s);
    sb = &temp;
    offX = -d.left;
    offY = -d.top;
  }
  ApplyRop(d, sb, offX, offY, rop);
}

void DC::StretchBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, int sw, int sh,
                    std::uint32_t rop) {
  if (w == 0 || h == 0 || sw == 0 || sh == 0 || !InRange({x, y, w, h, sx, sy, sw, sh})) return;
  const bool mirrorX = (w < 0) != (sw < 0);
  const bool mirrorY = (h < 0) != (sh < 0);
  const Rect dl = Ordered(Rect::FromSize(x, y, w, h));
  const Rect sl = Ordered(Rect::FromSize(sx, sy, sw, sh));
  if (!mirrorX && !mirrorY && dl.Width() == sl.Width() && dl.Height() == sl.Height()) {
    BitBlt(dl.left, dl.top, dl.Width(), dl.Height(), src, sl.left, sl.top, rop);
    return;
  }
  const std::uint8_t code = RopCode(rop);
  if (RopUsesPattern(code) && m_brush.style == BS_NULL) return;
  const Rect d = dl.Translated(m_origin);
  if (!RopUsesSource(code)) {
    ApplyRop(d, nullptr, 0, 0, rop);
    return;
  }
  const Rect visible = d.Intersected(m_clip.Bounds());
  if (visible.IsEmpty()) return;
  const Bitmap* sb = &src.Target();
  Rect s = sl.Translated(src.m_origin);
  Bitmap temp;
  if (sb == m_target) {
    const Rect inside = s.Intersected(sb->Bounds());
    if (inside.Intersects(d)) {
      temp = CopyOut(*sb, inside);
      sb = &temp;
      s.Translate(-inside.left, -inside.top);
    }
  }
  const bool combine = m_stretchMode != COLORONCOLOR;
  const AxisMap mx = MapAxis(d.Width(), visible.left - d.left, visible.right - d.left, s.left,
                             s.Width(), mirrorX, combine, sb->Width());
  const AxisMap my = MapAxis(d.Height(), visible.top - d.top, visible.bottom - d.top, s.top,
                             s.Height(), mirrorY, combine, sb->Height());
  const Rect valid{d.left + mx.validBegin, d.top + my.validBegin, d.left + mx.validEnd,
                   d.top + my.validEnd};
  const Pixel pat = Resolve(m_brush.color);
  const bool spansX = combine && s.Width() > d.Width();
  const bool spansY = combine && s.Height() > d.Height();
  std::vector<Pixel> row;
  ForEachClip(m_clip, valid, [&](const Rect& c) {
    row.resize(static_cast<std::size_t>(c.Width()));
    for (int yy = c.top; yy < c.bottom; ++yy) {
      const int y0 = my.First(yy - d.top);
      const int y1 = my.Last(yy - d.top);
      Pixel* out = code == 0xCC ? m_target->Row(yy) + c.left : row.data();
      if (!spansX && !spansY) {
        const Pixel* srcRow = sb->Row(y0);
        const int* first = mx.first.data() + (c.left - d.left - mx.from);
        for (int i = 0; i < c.Width(); ++i) out[i] = srcRow[first[i]];
      } else {
        for (int i = 0; i < c.Width(); ++i) {
          const int ix = c.left - d.left + i;
          out[i] = CombineBox(*sb, mx.First(ix), mx.Last(ix), y0, y1, m_stretchMode);
        }
      }
      if (code != 0xCC) RopRow(m_target->Row(yy) + c.left, row.data(), c.Width(), pat, code);
    }
  });
}

void DC::TransparentBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, int sw,
                        int sh, Color transparent) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0 || !InRange({x, y, w, h, sx, sy, sw, sh})) return;
  const Rect d = Rect::FromSize(x, y, w, h).Translated(m_origin);
  const Rect visible = d.Intersected(m_clip.Bounds());
  if (visible.IsEmpty()) return;
  const Bitmap* sb = &src.Target();
  Rect s = Rect::FromSize(sx, sy, sw, sh).Translated(src.m_origin);
  Bitmap temp;
  if (sb == m_target) {
    const Rect inside = s.Intersected(sb->Bounds());
    if (inside.Intersects(d)) {
      temp = CopyOut(*sb, inside);
      sb = &temp;
      s.Translate(-inside.left, -inside.top);
    }
  }
  const Pixel key = Resolve(transparent) & 0x00FFFFFFu;
  const AxisMap mx = MapAxis(w, visible.left - d.left, visible.right - d.left, s.left, sw,
                             false, false, sb->Width());
  const AxisMap my = MapAxis(h, visible.top - d.top, visible.bottom - d.top, s.top, sh, false,
                             false, sb->Height());
  const Rect valid{d.left + mx.validBegin, d.top + my.validBegin, d.left + mx.validEnd,
                   d.top + my.validEnd};
  ForEachClip(m_clip, valid, [&](const Rect& c) {
    for (int yy = c.top; yy < c.bottom; ++yy) {
      const Pixel* srcRow = sb->Row(my.First(yy - d.top));
      Pixel* out = m_target->Row(yy);
      for (int xx = c.left; xx < c.right; ++xx) {
        const Pixel p = srcRow[mx.First(xx - d.left)];
        if ((p & 0x00FFFFFFu) != key) out[xx] = p | kOpaque;
      }
    }
  });
}

void DC::SetDIBitsToDevice(int x, int y, int w, int h, const std::uint8_t* rows, int stride) {
  if (w <= 0 || h <= 0 || !InRange({x, y, w, h})) return;
  if (!rows) throw std::invalid_argument("SetDIBitsToDevice: no pixel rows");
  if (stride < 0 || static_cast<long long>(stride) < 3LL * w)
    throw std::invalid_argument("SetDIBitsToDevice: row stride shorter than the width");
  const Rect d = Rect::FromSize(x + m_origin.x, y + m_origin.y, w, h);
  ForEachClip(m_clip, d, [&](const Rect& c) {
    for (int yy = c.top; yy < c.bottom; ++yy) {
      const std::uint8_t* src =
          rows + static_cast<std::size_t>(yy - d.top) * static_cast<std::size_t>(stride) +
          static_cast<std::size_t>(c.left - d.left) * 3;
      Pixel* out = m_target->Row(yy) + c.left;
      for (int i = 0; i < c.Width(); ++i, src += 3) out[i] = MakePixel(src[2], src[1], src[0]);
    }
  });
}

void DC::AlphaBlend(int x, int y, const Bitmap& src, const Rect& srcRect, int constantAlpha,
                    bool premultiplied) {
  const Rect sr = srcRect.Intersected(src.Bounds());
  if (sr.IsEmpty() || constantAlpha <= 0 || !InRange({x, y, srcRect.left, srcRect.top})) return;
  const unsigned ca = static_cast<unsigned>(std::min(constantAlpha, 255));
  // Source pixels outside the bitmap draw nothing; the rest keep their place.
  const int dx = x + m_origin.x + (sr.left - srcRect.left);
  const int dy = y + m_origin.y + (sr.top - srcRect.top);
  const Rect d = Rect::FromSize(dx, dy, sr.Width(), sr.Height());
  const Bitmap* sb = &src;
  int offX = sr.left - d.left;
  int offY = sr.top - d.top;
  Bitmap temp;
  if (sb == m_target && sr.Intersects(d)) {
    temp = CopyOut(src, sr);
    sb = &temp;
    offX = -d.left;
    offY = -d.top;
  }
  ForEachClip(m_clip, d, [&](const Rect& c) {
    for (int yy = c.top; yy < c.bottom; ++yy) {
      const Pixel* s = sb->Row(yy + offY) + offX;
      Pixel* out = m_target->Row(yy);
      for (int xx = c.left; xx < c.right; ++xx) {
        const Pixel sp = s[xx];
        const Pixel dp = out[xx];
        const unsigned a = ((sp >> 24) * ca + 127) / 255;
        unsigned ch[3];
        for (int k = 0; k < 3; ++k) {
          const unsigned sc = (sp >> (8 * k)) & 0xFF;
          const unsigned dc = (dp >> (8 * k)) & 0xFF;
          unsigned v;
          if (premultiplied)
            v = (sc * ca + 127) / 255 + (dc * (255 - a) + 127) / 255;
          else
            v = (sc * a + dc * (255 - a) + 127) / 255;
          ch[k] = std::min(v, 255u);
        }
        out[xx] = kOpaque | ch[2] << 16 | ch[1] << 8 | ch[0];
      }
    }
  });
}
