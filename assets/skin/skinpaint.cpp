// Painting kit of the skin generator: shapes, compositing, palette reduction, BMP writers.
#include "assets/skin/skinpaint.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <stdexcept>

namespace {

int Clamp255(double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); }

double SegmentDistance(double px, double py, double x0, double y0, double x1, double y1) {
  const double dx = x1 - x0, dy = y1 - y0;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double qx = x0 + t * dx - px, qy = y0 + t * dy - py;
  return std::sqrt(qx * qx + qy * qy);
}

// Composites c at opacity a over pixel p (straight alpha).
Pixel Over(Pixel p, Rgb c, double a) {
  const double da = PixelA(p) / 255.0;
  const double oa = a + da * (1 - a);
  if (oa <= 0) return MakePixel(0, 0, 0, 0);
  auto ch = [&](int src, int dst) { return (src * a + dst * da * (1 - a)) / oa; };
  return MakePixel(Clamp255(ch(c.r, PixelR(p))), Clamp255(ch(c.g, PixelG(p))),
                   Clamp255(ch(c.b, PixelB(p))), Clamp255(oa * 255));
}

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

Rgb Mix(Rgb a, Rgb b, double t) {
  return {Clamp255(a.r + (b.r - a.r) * t), Clamp255(a.g + (b.g - a.g) * t),
          Clamp255(a.b + (b.b - a.b) * t)};
}

Shape RoundRectShape2(double l, double t, double r, double b, double rt, double rb) {
  return [=](double x, double y) {
    if (x < l || x >= r || y < t || y >= b) return false;
    const double rad = y < (t + b) / 2 ? rt : rb;
    if (rad <= 0) return true;
    const double cx = std::clamp(x, l + rad, r - rad);
    const double cy = std::clamp(y, t + rad, b - rad);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= rad * rad;
  };
}

Shape RoundRectShape(double l, double t, double r, double b, double radius) {
  return RoundRectShape2(l, t, r, b, radius, radius);
}

Shape CircleShape(double cx, double cy, double radius) {
  return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; };
}

Shape RingShape(double cx, double cy, double radius, double width) {
  return [=](double x, double y) {
    const double d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
    return std::abs(d - radius) <= width / 2;
  };
}

Shape SegmentShape(double x0, double y0, double x1, double y1, double width) {
  return [=](double x, double y) { return SegmentDistance(x, y, x0, y0, x1, y1) <= width / 2; };
}

Shape PolylineShape(const std::vector<std::pair<double, double>>& points, double width) {
  return [=](double x, double y) {
    for (std::size_t i = 1; i < points.size(); ++i)
      if (SegmentDistance(x, y, points[i - 1].first, points[i - 1].second, points[i].first,
                          points[i].second) <= width / 2)
        return true;
    return false;
  };
}

Shape PolygonShape(const std::vector<std::pair<double, double>>& points) {
  return [=](double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const auto [xi, yi] = points[i];
      const auto [xj, yj] = points[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

Shape Union(Shape a, Shape b) {
  return [=](double x, double y) { return a(x, y) || b(x, y); };
}

Shape Minus(Shape a, Shape b) {
  return [=](double x, double y) { return a(x, y) && !b(x, y); };
}

void Paint(Bitmap& bmp, const Shape& shape, Rgb c, double alpha) {
  constexpr int n = 4;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) {
      int hits = 0;
      for (int sy = 0; sy < n; ++sy)
        for (int sx = 0; sx < n; ++sx)
          if (shape(x + (sx + 0.5) / n, y + (sy + 0.5) / n)) ++hits;
      if (hits) bmp.Set(x, y, Over(bmp.At(x, y), c, alpha * hits / (n * n)));
    }
}

void PaintHard(Bitmap& bmp, const Shape& shape, Rgb c) {
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x)
      if (shape(x + 0.5, y + 0.5)) bmp.Set(x, y, Px(c));
}

void FillRectPx(Bitmap& bmp, int l, int t, int r, int b, Rgb c) {
  for (int y = std::max(t, 0); y < std::min(b, bmp.Height()); ++y)
    for (int x = std::max(l, 0); x < std::min(r, bmp.Width()); ++x) bmp.Set(x, y, Px(c));
}

void SetPx(Bitmap& bmp, int x, int y, Rgb c) {
  if (bmp.Contains(x, y)) bmp.Set(x, y, Px(c));
}

void CopyPx(Bitmap& dst, int dx, int dy, const Bitmap& src, int sx, int sy, int w, int h) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (src.Contains(sx + x, sy + y) && dst.Contains(dx + x, dy + y))
        dst.Set(dx + x, dy + y, src.At(sx + x, sy + y));
}

void PixelArt(Bitmap& bmp, int x, int y, const std::vector<std::string>& rows,
              const std::vector<std::pair<char, Rgb>>& colours) {
  for (std::size_t j = 0; j < rows.size(); ++j)
    for (std::size_t i = 0; i < rows[j].size(); ++i) {
      const char ch = rows[j][i];
      if (ch == '.' || ch == ' ') continue;
      const auto it = std::find_if(colours.begin(), colours.end(),
                                   [ch](const auto& entry) { return entry.first == ch; });
      if (it == colours.end()) throw std::invalid_argument(std::string("pixel art colour ") + ch);
      SetPx(bmp, x + static_cast<int>(i), y + static_cast<int>(j), it->second);
    }
}

Bitmap Flatten(const Bitmap& bmp, Rgb onto) {
  Bitmap out(bmp.Width(), bmp.Height(), Px(onto));
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) {
      const Pixel p = bmp.At(x, y);
      out.Set(x, y, Over(Px(onto), {PixelR(p), PixelG(p), PixelB(p)}, PixelA(p) / 255.0));
    }
  return out;
}

Bitmap ReduceColours(const Bitmap& bmp, int count) {
  std::map<Color, int> uses;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) ++uses[PixelToColor(bmp.At(x, y))];
  std::vector<std::pair<int, Color>> byUse;
  for (const auto& [c, n] : uses) byUse.push_back({n, c});
  // Most used first; equal counts in colour order so the output never varies.
  std::sort(byUse.begin(), byUse.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : a.second < b.second;
  });
  std::vector<Color> palette;
  for (std::size_t i = 0; i < byUse.size() && static_cast<int>(i) < count; ++i)
    palette.push_back(byUse[i].second);
  std::sort(palette.begin(), palette.end());
  std::map<Color, Color> nearest;
  for (const auto& [c, n] : uses) {
    Color best = palette.front();
    long bestD = -1;
    for (Color p : palette) {
      const long dr = GetRValue(c) - GetRValue(p), dg = GetGValue(c) - GetGValue(p),
                 db = GetBValue(c) - GetBValue(p);
      const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
      if (bestD < 0 || d < bestD) bestD = d, best = p;
    }
    nearest[c] = best;
  }
  Bitmap out(bmp.Width(), bmp.Height());
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) out.Set(x, y, ColorToPixel(nearest[PixelToColor(bmp.At(x, y))]));
  out.SetPalette(palette);
  return out;
}

std::vector<std::uint8_t> SaveBmp4(const Bitmap& bmp) {
  const Bitmap reduced = ReduceColours(bmp, 16);
  const std::vector<Color>& palette = reduced.Palette();
  const int stride = ((bmp.Width() * 4 + 31) / 32) * 4;
  const std::uint32_t offset = 14 + 40 + 16 * 4;
  const std::uint32_t size = offset + static_cast<std::uint32_t>(stride * bmp.Height());
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLE(out, size, 4);
  PutLE(out, 0, 4);
  PutLE(out, offset, 4);
  PutLE(out, 40, 4);
  PutLE(out, static_cast<std::uint32_t>(bmp.Width()), 4);
  PutLE(out, static_cast<std::uint32_t>(bmp.Height()), 4);
  PutLE(out, 1, 2);
  PutLE(out, 4, 2);
  PutLE(out, 0, 4);  // BI_RGB
  PutLE(out, static_cast<std::uint32_t>(stride * bmp.Height()), 4);
  PutLE(out, 3780, 4);
  PutLE(out, 3780, 4);
  PutLE(out, 16, 4);
  PutLE(out, 0, 4);
  for (int i = 0; i < 16; ++i) {
    const Color c = i < static_cast<int>(palette.size()) ? palette[i] : 0;
    out.push_back(static_cast<std::uint8_t>(GetBValue(c)));
    out.push_back(static_cast<std::uint8_t>(GetGValue(c)));
    out.push_back(static_cast<std::uint8_t>(GetRValue(c)));
    out.push_back(0);
  }
  for (int y = bmp.Height() - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(stride), 0);
    for (int x = 0; x < bmp.Width(); ++x) {
      const Color c = PixelToColor(reduced.At(x, y));
      const int index = static_cast<int>(std::find(palette.begin(), palette.end(), c) - palette.begin());
      row[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<std::uint8_t> SaveBmp32(const Bitmap& bmp) {
  const std::uint32_t offset = 14 + 124;
  const std::uint32_t pixels = static_cast<std::uint32_t>(bmp.Width() * bmp.Height() * 4);
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLE(out, offset + pixels, 4);
  PutLE(out, 0, 4);
  PutLE(out, offset, 4);
  PutLE(out, 124, 4);
  PutLE(out, static_cast<std::uint32_t>(bmp.Width()), 4);
  PutLE(out, static_cast<std::uint32_t>(bmp.Height()), 4);
  PutLE(out, 1, 2);
  PutLE(out, 32, 2);
  PutLE(out, 3, 4);  // BI_BITFIELDS
  PutLE(out, pixels, 4);
  PutLE(out, 3780, 4);
  PutLE(out, 3780, 4);
  PutLE(out, 0, 4);
  PutLE(out, 0, 4);
  PutLE(out, 0x00FF0000, 4);  // red, green, blue and alpha masks
  PutLE(out, 0x0000FF00, 4);
  PutLE(out, 0x000000FF, 4);
  PutLE(out, 0xFF000000, 4);
  PutLE(out, 0x73524742, 4);  // 'sRGB'
  for (int i = 0; i < 9 + 3; ++i) PutLE(out, 0, 4);  // end points, gamma
  PutLE(out, 4, 4);  // intent: LCS_GM_IMAGES
  PutLE(out, 0, 4);
  PutLE(out, 0, 4);
  PutLE(out, 0, 4);
  for (int y = bmp.Height() - 1; y >= 0; --y)
    for (int x = 0; x < bmp.Width(); ++x) PutLE(out, bmp.At(x, y), 4);
  return out;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}
