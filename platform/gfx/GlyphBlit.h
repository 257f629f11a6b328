// Clipped coverage blending and fills on 32-bit bitmaps, shared by the text routines.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/Bitmap.h"

class Region;

// The rectangles of `clip` (bitmap coordinates) cut to the bitmap and to `area`; empty
// pieces are left out.
std::vector<Rect> ClipRects(const Bitmap& target, const Region& clip, const Rect& area);

// Blends `color` over the target through 8-bit coverage (`pitch` bytes a row) whose
// top-left pixel lands at `origin`, only inside `clip`. Coverage 255 replaces the colour,
// so monochrome glyphs stay pure; the destination keeps its alpha byte.
void BlendCoverage(Bitmap& target, const std::uint8_t* coverage, int pitch, int width,
                   int height, Point origin, const Rect& clip, Pixel color);

// Sets the pixels of `r` inside each of `clips` to `color`.
void FillClipped(Bitmap& target, const Rect& r, Pixel color, const std::vector<Rect>& clips);
