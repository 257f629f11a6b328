// BMP codec: reads every header version, bit depth and compression a desktop BMP reader
// accepts; writes 1-, 8- and 24-bit files.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"

// Thrown for every damaged or unsupported picture, with the platform's message
// "Bitmap image is not valid".
class InvalidGraphic : public std::runtime_error {
 public:
  InvalidGraphic() : std::runtime_error("Bitmap image is not valid") {}
};

// Decodes a whole BMP file (file header included). The result keeps the file's pixel
// format and palette (2-bit files come back as Bits4 with their 4-entry palette). A 32-bit
// file, or one with an alpha mask, whose alpha is non-zero somewhere sets HasAlpha; else
// every pixel is opaque. Pixels an RLE stream skips get palette colour 0. The file size
// field is not used and bytes after the pixels are ignored, so a caller that holds several
// files back to back must cut them apart itself. Pictures above 2^26 pixels, files whose
// declared palette or rows are not all present, palette indices beyond the palette and RLE
// codes that leave the picture all throw InvalidGraphic.
Bitmap LoadBmp(std::span<const std::uint8_t> data);
// Reads and decodes a file; a file that cannot be read throws std::runtime_error naming it.
Bitmap LoadBmpFile(const std::string& path);

// Encodes a bitmap as a BMP file of 1, 8 or 24 bits per pixel (bottom-up, BI_RGB). For 1
// and 8 bits the bitmap's palette is used when it has one that holds every pixel colour,
// otherwise one is built from the pixels (more colours than fit throw std::invalid_argument).
std::vector<std::uint8_t> SaveBmp(const Bitmap& bitmap, int bitsPerPixel);
void SaveBmpFile(const Bitmap& bitmap, int bitsPerPixel, const std::string& path);
