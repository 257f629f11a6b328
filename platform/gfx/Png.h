// PNG writing: a bitmap as an 8-bit RGB PNG file.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/Bitmap.h"

// The bitmap's pixels, alpha left out, as a PNG file. Throws std::runtime_error when the
// encoder fails.
std::vector<std::uint8_t> SavePng(const Bitmap& bitmap);
