// Bitmap: 32-bit pixels in memory, with the pixel format and palette it was loaded with.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

// The format a bitmap was loaded or declared with. Pixels are always held as 32-bit
// values; the format decides how the bitmap is written back and what callers that ask
// for a format (a 24-bit conversion, say) get.
enum class PixelFormat { Device, Bits1, Bits4, Bits8, Bits16, Bits24, Bits32 };

int BitsPerPixel(PixelFormat format);

class Bitmap {
 public:
  Bitmap() = default;
  // A bitmap of the given size, every pixel set to `fill` (opaque white by default).
  Bitmap(int width, int height, Pixel fill = MakePixel(255, 255, 255));

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  ::Size GetSize() const { return {m_width, m_height}; }
  Rect Bounds() const { return {0, 0, m_width, m_height}; }
  bool IsEmpty() const { return m_width < 1 || m_height < 1; }

  // Changes the size; the pixels that stay inside keep their values and new ones get
  // `fill`, as a canvas bitmap does when its width or height is set.
  void SetSize(int width, int height, Pixel fill = MakePixel(255, 255, 255));
  void Fill(Pixel value);

  Pixel* Row(int y) { return m_pixels.data() + static_cast<std::size_t>(y) * m_width; }
  const Pixel* Row(int y) const { return m_pixels.data() + static_cast<std::size_t>(y) * m_width; }
  Pixel* Bits() { return m_pixels.data(); }
  const Pixel* Bits() const { return m_pixels.data(); }

  // Unchecked single pixel access; `Contains` first where the point may be outside.
  Pixel At(int x, int y) const { return Row(y)[x]; }
  void Set(int x, int y, Pixel p) { Row(y)[x] = p; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
  Color GetPixelColor(int x, int y) const { return PixelToColor(At(x, y)); }
  void SetPixelColor(int x, int y, Color c) { Set(x, y, ColorToPixel(ColorToRGB(c))); }

  PixelFormat Format() const { return m_format; }
  void SetFormat(PixelFormat format) { m_format = format; }
  // The palette of a 1-, 4- or 8-bit bitmap as loaded (colours as RGB values).
  const std::vector<Color>& Palette() const { return m_palette; }
  void SetPalette(std::vector<Color> palette) { m_palette = std::move(palette); }
  // Whether the alpha bytes carry meaning (a 32-bit picture with transparency).
  bool HasAlpha() const { return m_hasAlpha; }
  void SetHasAlpha(bool on) { m_hasAlpha = on; }

  // 24-bit rows, three bytes blue, green, red a pixel, top row first, each row padded to
  // `stride` bytes (at least width * 3).
  static int Stride24(int width) { return (width * 3 + 3) & ~3; }
  std::vector<std::uint8_t> ToRows24(int stride) const;
  std::vector<std::uint8_t> ToRows24() const { return ToRows24(Stride24(m_width)); }
  void FromRows24(const std::uint8_t* rows, int width, int height, int stride);

  bool operator==(const Bitmap& o) const {
    return m_width == o.m_width && m_height == o.m_height && m_pixels == o.m_pixels;
  }

 private:
  int m_width = 0;
  int m_height = 0;
  std::vector<Pixel> m_pixels;
  PixelFormat m_format = PixelFormat::Device;
  std::vector<Color> m_palette;
  bool m_hasAlpha = false;
};
