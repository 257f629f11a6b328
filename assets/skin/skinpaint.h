// Small painting kit for the skin generator: colours, anti-aliased shapes by supersampling,
// palette reduction and the BMP writers the platform codec lacks (4-bit, 32-bit with alpha).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
};

constexpr Pixel Px(Rgb c, int a = 255) { return MakePixel(c.r, c.g, c.b, a); }
Rgb Mix(Rgb a, Rgb b, double t);  // t = 0 gives a, 1 gives b

// A shape is a test of a point in pixel coordinates (pixel (x, y) covers [x, x + 1)).
using Shape = std::function<bool(double x, double y)>;

Shape RoundRectShape(double l, double t, double r, double b, double radius);
// Rounded only at the top (radiusTop) and bottom (radiusBottom) corners.
Shape RoundRectShape2(double l, double t, double r, double b, double radiusTop, double radiusBottom);
Shape CircleShape(double cx, double cy, double radius);
Shape RingShape(double cx, double cy, double radius, double width);
Shape SegmentShape(double x0, double y0, double x1, double y1, double width);
// A polyline of segments of one width, joined with round ends.
Shape PolylineShape(const std::vector<std::pair<double, double>>& points, double width);
Shape PolygonShape(const std::vector<std::pair<double, double>>& points);
Shape Union(Shape a, Shape b);
Shape Minus(Shape a, Shape b);

// Covers the pixels of `shape` inside `bounds` with colour c at opacity `alpha`, each pixel
// by its coverage (4 x 4 samples), composited over what is there ("over", straight alpha).
void Paint(Bitmap& bmp, const Shape& shape, Rgb c, double alpha = 1.0);
// The same with hard edges: a pixel is painted when its centre is inside.
void PaintHard(Bitmap& bmp, const Shape& shape, Rgb c);
void FillRectPx(Bitmap& bmp, int l, int t, int r, int b, Rgb c);
void SetPx(Bitmap& bmp, int x, int y, Rgb c);
// Copies src's rectangle (sx, sy, w, h) to (dx, dy) of dst.
void CopyPx(Bitmap& dst, int dx, int dy, const Bitmap& src, int sx, int sy, int w, int h);
// Draws text pixel art: each string is a row, '.' or ' ' leaves the pixel, any other
// character takes its colour from `colours` (a character-to-colour table).
void PixelArt(Bitmap& bmp, int x, int y, const std::vector<std::string>& rows,
              const std::vector<std::pair<char, Rgb>>& colours);

// Flattens straight alpha onto a solid colour (opaque result).
Bitmap Flatten(const Bitmap& bmp, Rgb onto);
// Keeps at most `count` colours: the most frequent, others mapped to the nearest kept one.
// The result carries the palette, ready for an 8-bit (or 4-bit) writer.
Bitmap ReduceColours(const Bitmap& bmp, int count);

// 4-bit BI_RGB file with a palette of up to 16 colours (the bitmap's, or built).
std::vector<std::uint8_t> SaveBmp4(const Bitmap& bmp);
// 32-bit file with a BITMAPV5HEADER, BI_BITFIELDS and an alpha mask (straight alpha).
std::vector<std::uint8_t> SaveBmp32(const Bitmap& bmp);
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
