// Skin image drawing: resize modes and their geometry, nine-part and strip images, tiling,
// border strips, mask regions, glyph strips, markers, check marks and item text.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Region.h"

class DC;

// How a skinned element follows its size.
enum class SkinResizeMode { NoImage, Fixed, Both, Horizontal, Vertical };

// The four corner points and the client rectangle of an element: as the skin record gives
// them (relative to the skinrect's top-left corner) or derived for a target size.
struct NinePartGeometry {
  Point leftTop;
  Point rightTop;
  Point leftBottom;
  Point rightBottom;
  Rect clientRect;
  bool operator==(const NinePartGeometry&) const = default;
};

// The derived geometry and the size the element really gets (a mode may force either).
struct SizedNinePart {
  NinePartGeometry parts;
  int width = 0;
  int height = 0;
};

// Which edges are stretched rather than tiled.
struct EdgeStretch {
  bool top = false;
  bool bottom = false;
  bool left = false;
  bool right = false;
};

// Border strips of an element; a strip that is not made stays an empty bitmap.
struct BorderStrips {
  Bitmap left;
  Bitmap right;
  Bitmap top;
  Bitmap bottom;
};

SkinResizeMode GetSkinResizeMode(const Rect& skinRect, const NinePartGeometry& g);
// Derives NLT, NRT, NLB, NRB and NC for a target size; NoImage keeps everything as given.
SizedNinePart DeriveNinePart(SkinResizeMode mode, const Rect& skinRect,
                             const NinePartGeometry& g, int width, int height);

// The fill-a-span rule every tiled part uses: repeats of length d from a, the last one cut
// so it ends exactly at b. Calls draw(start, length) for each repeat that draws anything;
// nothing for a negative span or a source extent below 1. Repeats wholly outside [lo, hi)
// (the destination's extent) are skipped, so damaged geometry cannot make the loop long.
template <typename Draw>
void ForEachTile(int a, int b, int d, Draw&& draw, int lo = INT_MIN, int hi = INT_MAX) {
  if (d < 1) return;
  const long long span = static_cast<long long>(b) - a;
  if (span / d < 0) return;
  const long long end = std::min<long long>(b, hi);
  const long long first = a < lo ? (static_cast<long long>(lo) - a) / d : 0;
  for (long long p = a + first * d; p < end; p += d) {
    const long long cut = std::max<long long>(0, p + d - b);
    if (d - cut > 0) draw(static_cast<int>(p), static_cast<int>(d - cut));
  }
}

// Copy source rectangle `s` of `src` into destination rectangle `d` of `dst`, scaled
// (nearest pixel) when the sizes differ. Parts outside either bitmap are left out.
void CopySkinRect(Bitmap& dst, const Rect& d, const Bitmap& src, const Rect& s);

// The destination is resized to the result size (pixels it had keep their place, as a
// canvas bitmap's do) and painted from `picture`; routines that stop early leave it so.
void BuildNinePartImage(Bitmap& dest, const NinePartGeometry& g, const NinePartGeometry& n,
                        const Rect& skinRect, const Bitmap& picture, int width, int height,
                        bool drawCentre);
void BuildNinePartImageStretched(Bitmap& dest, const NinePartGeometry& g,
                                 const NinePartGeometry& n, const Rect& skinRect,
                                 const Bitmap& picture, int width, int height, bool drawCentre,
                                 EdgeStretch stretch);
void BuildHStripImage(Bitmap& dest, int leftWidth, int rightWidth, const Rect& skinRect,
                      const Bitmap& picture, int width);
void BuildVStripImage(Bitmap& dest, int topHeight, int bottomHeight, const Rect& skinRect,
                      const Bitmap& picture, int height);
void BuildHTileImage(Bitmap& dest, int leftWidth, int rightWidth, const Rect& skinRect,
                     const Bitmap& picture, int width);
// Repeats `tileRect` (moved by originRect's top-left corner) over (0, 0, area) of a
// width x height destination.
void TileArea(Bitmap& dest, const Rect& tileRect, Size area, const Rect& originRect,
              const Bitmap& picture, int width, int height);

// The mask's border strips at width x height; the mask is read from its own top-left corner.
BorderStrips BuildBorderStrips(const NinePartGeometry& g, const NinePartGeometry& n,
                               const Bitmap& mask, int width, int height);
// The picture's border strips for a frame, edges stretched or tiled by flag.
BorderStrips BuildBorderStripsStretched(const NinePartGeometry& g, const NinePartGeometry& n,
                                        const Rect& skinRect, const Bitmap& picture, int width,
                                        int height, EdgeStretch stretch);

// A region description of the bitmap's pure black pixels moved by (dx, dy): a region-data
// header followed by one rectangle per black run, in scan order. Empty for an empty bitmap.
std::vector<std::uint8_t> MaskToRegionData(const Bitmap& bitmap, int dx, int dy);
// The black runs themselves, appended to `runs`.
void MaskToRuns(const Bitmap& bitmap, int dx, int dy, std::vector<Rect>& runs);
Region MaskToRegion(const Bitmap& mask);
// The window region of an element at width x height, or none when the target is smaller
// than its fixed parts.
std::optional<Region> ResizedMaskToRegion(const NinePartGeometry& g, const NinePartGeometry& n,
                                          const Bitmap& mask, int width, int height);

// Draws cell `cell` (from 1) of a strip of `cellCount` cells at (x, y), transparent where
// the cell has the colour of its bottom-left pixel.
void DrawGlyphFromStrip(DC& canvas, int x, int y, int cell, int cellCount, const Bitmap& strip);
// Marker kinds.
constexpr int skArrowLeft = 1;
constexpr int skArrowRight = 2;
constexpr int skArrowUp = 3;
constexpr int skArrowDown = 4;
void DrawMarkerArrow(DC& canvas, const Rect& r, Color color, int kind);
void DrawCheckMark(DC& canvas, int x, int y, Color color);
void DrawItemText(DC& canvas, std::string_view text, const Rect& r, int indent);
