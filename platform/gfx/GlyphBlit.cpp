// Clipped coverage blending and fills for text drawing.
#include "platform/gfx/GlyphBlit.h"

#include "platform/gfx/Region.h"

std::vector<Rect> ClipRects(const Bitmap& target, const Region& clip, const Rect& area) {
  std::vector<Rect> out;
  const Rect limit = area.Intersected(target.Bounds());
  if (limit.IsEmpty()) return out;
  for (const Rect& r : clip.Rects()) {
    const Rect piece = r.Intersected(limit);
    if (!piece.IsEmpty()) out.push_back(piece);
  }
  return out;
}

void BlendCoverage(Bitmap& target, const std::uint8_t* coverage, int pitch, int width,
                   int height, Point origin, const Rect& clip, Pixel color) {
  const Rect box = Rect::FromSize(origin.x, origin.y, width, height)
                       .Intersected(clip)
                       .Intersected(target.Bounds());
  if (box.IsEmpty()) return;
  const std::uint32_t sr = PixelR(color), sg = PixelG(color), sb = PixelB(color);
  const Pixel rgb = color & 0x00FFFFFFu;
  for (int y = box.top; y < box.bottom; ++y) {
    const std::uint8_t* src = coverage + static_cast<std::ptrdiff_t>(y - origin.y) * pitch;
    Pixel* dst = target.Row(y);
    for (int x = box.left; x < box.right; ++x) {
      const std::uint32_t a = src[x - origin.x];
      if (a == 0) continue;
      Pixel& d = dst[x];
      if (a == 255) {
        d = (d & 0xFF000000u) | rgb;
        continue;
      }
      const std::uint32_t na = 255 - a;
      const std::uint32_t r = (sr * a + static_cast<std::uint32_t>(PixelR(d)) * na + 127) / 255;
      const std::uint32_t g = (sg * a + static_cast<std::uint32_t>(PixelG(d)) * na + 127) / 255;
      const std::uint32_t b = (sb * a + static_cast<std::uint32_t>(PixelB(d)) * na + 127) / 255;
      d = (d & 0xFF000000u) | (r << 16) | (g << 8) | b;
    }
  }
}

void FillClipped(Bitmap& target, const Rect& r, Pixel color, const std::vector<Rect>& clips) {
  for (const Rect& c : clips) {
    const Rect box = r.Intersected(c).Intersected(target.Bounds());
    for (int y = box.top; y < box.bottom; ++y) {
      Pixel* row = target.Row(y);
      for (int x = box.left; x < box.right; ++x) row[x] = color;
    }
  }
}
