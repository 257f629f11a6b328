// Glyph-strip cells, marker arrows and check marks, checked pixel by pixel on small bitmaps.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/gfx/DC.h"
#include "skin/controls/skImageDraw.h"

namespace {

const Pixel kPaper = MakePixel(255, 255, 255);
using PixelSet = std::set<std::pair<int, int>>;

PixelSet Painted(const Bitmap& b) {
  PixelSet out;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.At(x, y) != kPaper) out.insert({x, y});
  return out;
}

}  // namespace

TEST(GlyphStripTest, CellTwoOfFourIsColumnsSixteenToThirtyOne) {
  // Every column has its own colour; the bottom row is the background of each cell.
  Bitmap strip(64, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 64; ++x) strip.Set(x, y, y == 15 ? MakePixel(0, 200, 0) : MakePixel(x, 10, 20));
  Bitmap canvasBmp(40, 30, kPaper);
  DC canvas(canvasBmp);
  DrawGlyphFromStrip(canvas, 5, 7, 2, 4, strip);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool inCell = x >= 5 && x < 21 && y >= 7 && y < 22;  // 16 x 15 without the bottom row
      const Pixel want = inCell ? MakePixel(16 + x - 5, 10, 20) : kPaper;
      ASSERT_EQ(canvasBmp.At(x, y), want) << x << "," << y;
    }
}

TEST(GlyphStripTest, BadCellsAndEmptyStripsDrawNothing) {
  const Bitmap strip(8, 4, MakePixel(1, 1, 1));
  Bitmap canvasBmp(10, 10, kPaper);
  DC canvas(canvasBmp);
  DrawGlyphFromStrip(canvas, 0, 0, 0, 2, strip);
  DrawGlyphFromStrip(canvas, 0, 0, 3, 2, strip);
  DrawGlyphFromStrip(canvas, 0, 0, 1, 0, strip);
  DrawGlyphFromStrip(canvas, 0, 0, 1, 9, strip);  // cells narrower than a pixel
  DrawGlyphFromStrip(canvas, 0, 0, 1, 1, Bitmap());
  EXPECT_TRUE(Painted(canvasBmp).empty());
}

TEST(MarkerArrowTest, FourLinesFromTipToBase) {
  // Rectangle (0, 0, 11, 9): centre (5, 4).
  struct Case { int kind; std::pair<int, int> tip; std::pair<int, int> baseEnd1, baseEnd2; };
  const Case cases[] = {
      {skArrowLeft, {3, 4}, {6, 1}, {6, 7}},
      {skArrowRight, {7, 4}, {4, 1}, {4, 7}},
      {skArrowUp, {5, 2}, {2, 5}, {8, 5}},
      {skArrowDown, {5, 6}, {2, 3}, {8, 3}},
  };
  for (const Case& c : cases) {
    Bitmap b(11, 9, kPaper);
    DC dc(b);
    DrawMarkerArrow(dc, {0, 0, 11, 9}, clRed, c.kind);
    const PixelSet p = Painted(b);
    EXPECT_EQ(p.size(), 16u) << c.kind;  // 1 + 3 + 5 + 7
    EXPECT_TRUE(p.count(c.tip)) << c.kind;
    EXPECT_TRUE(p.count(c.baseEnd1) && p.count(c.baseEnd2)) << c.kind;
    EXPECT_EQ(b.At(c.tip.first, c.tip.second), MakePixel(255, 0, 0));
  }
  Bitmap none(11, 9, kPaper);
  DC dc(none);
  DrawMarkerArrow(dc, {0, 0, 11, 9}, clRed, 5);
  EXPECT_TRUE(Painted(none).empty());
}

TEST(CheckMarkTest, ThreeStackedTicksWithoutTheirEndPoints) {
  Bitmap b(12, 12, kPaper);
  DC dc(b);
  DrawCheckMark(dc, 2, 1, clBlack);
  PixelSet want;
  for (int i = 0; i < 3; ++i) {
    // (x, y + 5 - i) down to (x + 2, y + 7 - i), up to (x + 7, y + 2 - i) exclusive.
    for (int s = 0; s <= 2; ++s) want.insert({2 + s, 1 + 5 - i + s});
    for (int s = 1; s < 5; ++s) want.insert({2 + 2 + s, 1 + 7 - i - s});
  }
  EXPECT_EQ(Painted(b), want);
  EXPECT_FALSE(Painted(b).count({9, 3}));  // the final end point of the top polyline
}
