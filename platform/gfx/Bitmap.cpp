// Bitmap storage and the 24-bit row conversions.
#include "platform/gfx/Bitmap.h"

#include <algorithm>
#include <stdexcept>

int BitsPerPixel(PixelFormat format) {
  switch (format) {
    case PixelFormat::Bits1: return 1;
    case PixelFormat::Bits4: return 4;
    case PixelFormat::Bits8: return 8;
    case PixelFormat::Bits16: return 16;
    case PixelFormat::Bits24: return 24;
    case PixelFormat::Bits32:
    case PixelFormat::Device: return 32;
  }
  return 32;
}

namespace {
void CheckSize(int width, int height) {
  // A limit well inside what the size arithmetic can hold: 2^28 pixels (1 GiB).
  if (width < 0 || height < 0 ||
      static_cast<long long>(width) * height > (1LL << 28))
    throw std::length_error("Bitmap too large");
}
}  // namespace

Bitmap::Bitmap(int width, int height, Pixel fill) {
  CheckSize(width, height);
  m_width = width;
  m_height = height;
  m_pixels.assign(static_cast<std::size_t>(width) * height, fill);
}

void Bitmap::SetSize(int width, int height, Pixel fill) {
  if (width == m_width && height == m_height) return;
  Bitmap resized(width, height, fill);
  const int w = std::min(width, m_width);
  const int h = std::min(height, m_height);
  for (int y = 0; y < h; ++y) std::copy_n(Row(y), w, resized.Row(y));
  m_width = width;
  m_height = height;
  m_pixels = std::move(resized.m_pixels);
}

void Bitmap::Fill(Pixel value) { std::fill(m_pixels.begin(), m_pixels.end(), value); }

std::vector<std::uint8_t> Bitmap::ToRows24(int stride) const {
  stride = std::max(stride, m_width * 3);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(stride) * m_height, 0);
  for (int y = 0; y < m_height; ++y) {
    const Pixel* src = Row(y);
    std::uint8_t* dst = out.data() + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < m_width; ++x) {
      dst[3 * x] = static_cast<std::uint8_t>(PixelB(src[x]));
      dst[3 * x + 1] = static_cast<std::uint8_t>(PixelG(src[x]));
      dst[3 * x + 2] = static_cast<std::uint8_t>(PixelR(src[x]));
    }
  }
  return out;
}

void Bitmap::FromRows24(const std::uint8_t* rows, int width, int height, int stride) {
  CheckSize(width, height);
  m_width = width;
  m_height = height;
  m_pixels.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* src = rows + static_cast<std::size_t>(y) * stride;
    Pixel* dst = Row(y);
    for (int x = 0; x < width; ++x) dst[x] = MakePixel(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
  }
  m_format = PixelFormat::Bits24;
  m_palette.clear();
  m_hasAlpha = false;
}
