// Page pictures: BMP and PNG decoding, GIF and JPEG sizes.
#include "platform/web/PageImage.h"

#include <png.h>

#include <memory>
#include <string>

#include "platform/gfx/Bmp.h"

namespace {

constexpr int kMaxSide = 16384;
constexpr std::uint64_t kMaxPixels = 32u * 1024 * 1024;

void CheckSize(int w, int h, const char* kind) {
  if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide ||
      static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) > kMaxPixels) {
    throw PageImageError(std::string(kind) + " picture has an unusable size");
  }
}

PageImage DecodePng(std::span<const std::uint8_t> data) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) {
    throw PageImageError(std::string("damaged PNG picture: ") + image.message);
  }
  const auto freeImage = std::unique_ptr<png_image, void (*)(png_image*)>(&image, png_image_free);
  const int w = static_cast<int>(image.width);
  const int h = static_cast<int>(image.height);
  CheckSize(w, h, "PNG");
  image.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
    throw PageImageError(std::string("damaged PNG picture: ") + image.message);
  }
  Bitmap bmp(w, h);
  bool anyAlpha = false;
  for (int y = 0; y < h; ++y) {
    Pixel* row = bmp.Row(y);
    const std::uint8_t* src = rgba.data() + static_cast<std::size_t>(y) * w * 4;
    for (int x = 0; x < w; ++x, src += 4) {
      row[x] = MakePixel(src[0], src[1], src[2], src[3]);
      anyAlpha = anyAlpha || src[3] != 255;
    }
  }
  bmp.SetFormat(PixelFormat::Bits32);
  bmp.SetHasAlpha(anyAlpha);
  return {{w, h}, std::move(bmp)};
}

PageImage GifSize(std::span<const std::uint8_t> data) {
  if (data.size() < 10) throw PageImageError("damaged GIF picture: header cut short");
  const int w = data[6] | (data[7] << 8);
  const int h = data[8] | (data[9] << 8);
  CheckSize(w, h, "GIF");
  return {{w, h}, std::nullopt};
}

PageImage JpegSize(std::span<const std::uint8_t> data) {
  std::size_t i = 2;
  while (i + 4 <= data.size()) {
    if (data[i] != 0xFF) throw PageImageError("damaged JPEG picture: marker expected");
    const std::uint8_t marker = data[i + 1];
    if (marker == 0xFF) {
      ++i;
      continue;
    }
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      i += 2;
      continue;
    }
    const std::size_t length = (static_cast<std::size_t>(data[i + 2]) << 8) | data[i + 3];
    if (length < 2) throw PageImageError("damaged JPEG picture: bad segment length");
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (i + 9 > data.size()) break;
      const int h = (data[i + 5] << 8) | data[i + 6];
      const int w = (data[i + 7] << 8) | data[i + 8];
      CheckSize(w, h, "JPEG");
      return {{w, h}, std::nullopt};
    }
    i += 2 + length;
  }
  throw PageImageError("damaged JPEG picture: no frame header");
}

}  // namespace

PageImage DecodePageImage(std::span<const std::uint8_t> data) {
  if (data.size() >= 8 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G') {
    return DecodePng(data);
  }
  if (data.size() >= 6 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F') return GifSize(data);
  if (data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return JpegSize(data);
  if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') {
    try {
      Bitmap bmp = LoadBmp(data);
      const Size size = bmp.GetSize();
      return {size, std::move(bmp)};
    } catch (const InvalidGraphic&) {
      throw PageImageError("damaged BMP picture");
    }
  }
  throw PageImageError("not a picture the page view reads");
}
