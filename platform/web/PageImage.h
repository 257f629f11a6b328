// Pictures of pages: BMP (our codec) and PNG (libpng) are decoded; of GIF and JPEG only
// the size is read, so the page view lays them out and draws a placeholder box.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>

#include "platform/gfx/Bitmap.h"

class PageImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct PageImage {
  Size size;                     // the picture's own size
  std::optional<Bitmap> pixels;  // empty: known size, shown as a placeholder
};

// Throws PageImageError for data that is no picture it knows or that is damaged. A PNG
// with transparency gives a bitmap with HasAlpha and straight alpha.
PageImage DecodePageImage(std::span<const std::uint8_t> data);
