// PNG writing through libpng's simplified interface.
#include "platform/gfx/Png.h"

#include <png.h>

#include <stdexcept>
#include <string>

std::vector<std::uint8_t> SavePng(const Bitmap& bitmap) {
  if (bitmap.IsEmpty()) throw std::runtime_error("cannot write an empty picture as PNG");
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(bitmap.Width()) * bitmap.Height() * 3);
  std::size_t at = 0;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const Pixel* row = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      rgb[at++] = static_cast<std::uint8_t>(PixelR(row[x]));
      rgb[at++] = static_cast<std::uint8_t>(PixelG(row[x]));
      rgb[at++] = static_cast<std::uint8_t>(PixelB(row[x]));
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(bitmap.Width());
  image.height = static_cast<png_uint_32>(bitmap.Height());
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr))
    throw std::runtime_error(std::string("PNG encoder: ") + image.message);
  std::vector<std::uint8_t> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr))
    throw std::runtime_error(std::string("PNG encoder: ") + image.message);
  out.resize(size);
  return out;
}
