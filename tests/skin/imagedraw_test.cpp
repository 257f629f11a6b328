// Skin image composition: resize modes, the tiling rule, strips, nine-part images and tiles.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "skin/controls/skImageDraw.h"

namespace {

// Every pixel names its own coordinates, so a copied pixel tells where it came from.
Bitmap Coordinates(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.Set(x, y, MakePixel(x, y, 7));
  return b;
}
Pixel From(int x, int y) { return MakePixel(x, y, 7); }
const Pixel kUnpainted = MakePixel(1, 2, 250);

std::vector<std::pair<int, int>> Tiles(int a, int b, int d) {
  std::vector<std::pair<int, int>> out;
  ForEachTile(a, b, d, [&](int p, int len) { out.emplace_back(p, len); });
  return out;
}

// A 20 x 14 element at (30, 10) of a larger picture: corners 4 wide, edges 3 high/wide.
const Rect kSkin{30, 10, 50, 24};
const NinePartGeometry kGeometry{{4, 3}, {16, 3}, {4, 11}, {16, 11}, {3, 3, 17, 11}};

}  // namespace

TEST(SkinResizeModeTest, FirstMatchingRuleWins) {
  struct Case { Rect r; Point rt, lb, rb; SkinResizeMode want; };
  const Case cases[] = {
      {{5, 5, 5, 9}, {3, 0}, {0, 3}, {3, 3}, SkinResizeMode::NoImage},
      {{0, 0, 9, 9}, {0, 0}, {0, 0}, {3, 3}, SkinResizeMode::Both},
      {{0, 0, 9, 9}, {3, 0}, {0, 3}, {3, 0}, SkinResizeMode::Horizontal},
      {{0, 0, 9, 9}, {0, 1}, {0, 0}, {0, 0}, SkinResizeMode::Horizontal},
      {{0, 0, 9, 9}, {0, 0}, {0, 3}, {0, 3}, SkinResizeMode::Vertical},
      {{0, 0, 9, 9}, {0, 0}, {0, 0}, {0, 0}, SkinResizeMode::Fixed},
  };
  for (const Case& c : cases) {
    const NinePartGeometry g{{1, 1}, c.rt, c.lb, c.rb, {}};
    EXPECT_EQ(GetSkinResizeMode(c.r, g), c.want);
  }
}

TEST(SkinResizeModeTest, DerivedGeometryFollowsTheMode) {
  const SizedNinePart both = DeriveNinePart(SkinResizeMode::Both, kSkin, kGeometry, 27, 19);
  EXPECT_EQ(both.parts, (NinePartGeometry{{4, 3}, {23, 3}, {4, 16}, {23, 16}, {3, 3, 24, 16}}));
  EXPECT_EQ(both.width, 27);
  EXPECT_EQ(both.height, 19);
  const SizedNinePart h = DeriveNinePart(SkinResizeMode::Horizontal, kSkin, kGeometry, 27, 19);
  EXPECT_EQ(h.parts, (NinePartGeometry{{4, 3}, {23, 3}, {4, 11}, {16, 11}, {3, 3, 24, 11}}));
  EXPECT_EQ(h.height, 14);
  const SizedNinePart v = DeriveNinePart(SkinResizeMode::Vertical, kSkin, kGeometry, 27, 19);
  EXPECT_EQ(v.parts, (NinePartGeometry{{4, 3}, {16, 3}, {4, 16}, {16, 11}, {3, 3, 17, 16}}));
  EXPECT_EQ(v.width, 20);
  const SizedNinePart f = DeriveNinePart(SkinResizeMode::Fixed, kSkin, kGeometry, 27, 19);
  EXPECT_EQ(f.parts, kGeometry);
  EXPECT_EQ(f.width, 20);
  EXPECT_EQ(f.height, 14);
}

TEST(TilingRuleTest, LastRepeatEndsAtTheSpanEnd) {
  using T = std::vector<std::pair<int, int>>;
  EXPECT_EQ(Tiles(3, 28, 10), (T{{3, 10}, {13, 10}, {23, 5}}));  // 2.5 tiles
  EXPECT_EQ(Tiles(0, 20, 10), (T{{0, 10}, {10, 10}}));           // the third repeat is cut to 0
  EXPECT_EQ(Tiles(5, 5, 4), T{});
  EXPECT_EQ(Tiles(5, 3, 4), T{});   // negative span, q = 0, cut past the tile
  EXPECT_EQ(Tiles(9, 0, 4), T{});   // negative q
  EXPECT_EQ(Tiles(0, 10, 0), T{});  // zero-width source
}

TEST(StripImageTest, HorizontalStripColumns) {
  const Bitmap picture = Coordinates(60, 30);
  const Rect r{10, 5, 19, 9};  // L = 3, middle 4, Rw = 2
  struct Case { int width; const char* what; };
  for (const Case& c : {Case{9, "natural size"}, Case{15, "2.5 middle tiles"}, Case{5, "no middle"},
                        Case{40, "long"}}) {
    Bitmap dest;
    BuildHStripImage(dest, 3, 2, r, picture, c.width);
    ASSERT_EQ(dest.Width(), c.width);
    ASSERT_EQ(dest.Height(), 4);
    for (int x = 0; x < c.width; ++x) {
      int sx;
      if (x < 3) sx = 10 + x;
      else if (x >= c.width - 2) sx = 17 + x - (c.width - 2);
      else sx = 13 + (x - 3) % 4;
      for (int y = 0; y < 4; ++y) ASSERT_EQ(dest.At(x, y), From(sx, 5 + y)) << c.what << " x=" << x;
    }
  }
}

TEST(StripImageTest, OverlappingEndsAndEmptyMiddles) {
  const Bitmap picture = Coordinates(60, 30);
  Bitmap dest;
  BuildHStripImage(dest, 3, 2, {10, 5, 19, 9}, picture, 4);  // the right end covers the left's
  EXPECT_EQ(dest.At(0, 0), From(10, 5));
  EXPECT_EQ(dest.At(1, 0), From(11, 5));
  EXPECT_EQ(dest.At(2, 0), From(17, 5));
  EXPECT_EQ(dest.At(3, 0), From(18, 5));
  Bitmap zero(7, 4, kUnpainted);
  BuildHStripImage(zero, 3, 2, {10, 5, 15, 9}, picture, 7);  // no source middle
  EXPECT_EQ(zero.At(2, 1), From(12, 6));
  EXPECT_EQ(zero.At(3, 1), kUnpainted);
  EXPECT_EQ(zero.At(4, 1), kUnpainted);
  EXPECT_EQ(zero.At(5, 1), From(13, 6));
  Bitmap none;
  BuildHStripImage(none, 3, 2, {10, 5, 19, 9}, picture, -4);
  EXPECT_TRUE(none.IsEmpty());
}

TEST(StripImageTest, VerticalStripAndHorizontalTile) {
  const Bitmap picture = Coordinates(60, 40);
  Bitmap v;
  BuildVStripImage(v, 2, 3, {4, 10, 7, 18}, picture, 16);  // middle rows 12..14, 11 rows of it
  ASSERT_EQ(v.Width(), 3);
  ASSERT_EQ(v.Height(), 16);
  for (int y = 0; y < 16; ++y) {
    const int sy = y < 2 ? 10 + y : y >= 13 ? 15 + y - 13 : 12 + (y - 2) % 3;
    ASSERT_EQ(v.At(1, y), From(5, sy)) << y;
  }
  Bitmap t;
  BuildHTileImage(t, 3, 2, {10, 5, 19, 9}, picture, 10);  // the middle from x = 0, no ends
  ASSERT_EQ(t.Width(), 10);
  for (int x = 0; x < 10; ++x) ASSERT_EQ(t.At(x, 3), From(13 + x % 4, 8)) << x;
}

TEST(NinePartImageTest, SourceSizeReproducesTheSource) {
  const Bitmap picture = Coordinates(80, 40);
  for (EdgeStretch s : {EdgeStretch{}, EdgeStretch{true, true, true, true}}) {
    Bitmap dest;
    BuildNinePartImageStretched(dest, kGeometry, kGeometry, kSkin, picture, 20, 14, true, s);
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 20; ++x) ASSERT_EQ(dest.At(x, y), From(30 + x, 10 + y)) << x << "," << y;
  }
}

TEST(NinePartImageTest, GrownImageTilesEdgesKeepsCornersAndLeavesTheCentre) {
  const Bitmap picture = Coordinates(80, 40);
  const int w = 20 + 17, h = 14 + 9;
  const SizedNinePart n = DeriveNinePart(SkinResizeMode::Both, kSkin, kGeometry, w, h);
  Bitmap dest(w, h, kUnpainted);
  BuildNinePartImage(dest, kGeometry, n.parts, kSkin, picture, w, h, false);
  // Picture column for image column x: left part, 12-column middle repeated, right part.
  auto col = [&](int x) { return x < 4 ? x : x >= w - 4 ? 16 + x - (w - 4) : 4 + (x - 4) % 12; };
  auto row = [&](int y) { return y < 3 ? y : y >= h - 3 ? 11 + y - (h - 3) : 3 + (y - 3) % 8; };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool centre = x >= 3 && x < w - 3 && y >= 3 && y < h - 3;
      const Pixel want = centre ? kUnpainted : From(30 + col(x), 10 + row(y));
      ASSERT_EQ(dest.At(x, y), want) << x << "," << y;
    }
  Bitmap withCentre;
  BuildNinePartImage(withCentre, kGeometry, n.parts, kSkin, picture, w, h, true);
  // The centre is the client rectangle (14 x 8) tiled from NC's corner.
  EXPECT_EQ(withCentre.At(3, 3), From(33, 13));
  EXPECT_EQ(withCentre.At(3 + 14, 3 + 8), From(33, 13));
  EXPECT_EQ(withCentre.At(w - 4, h - 4), From(33 + (w - 4 - 3) % 14, 13 + (h - 4 - 3) % 8));
}

TEST(NinePartImageTest, StretchedEdgeAndStopConditions) {
  const Bitmap picture = Coordinates(80, 40);
  const int w = 32;  // the 12-column top middle is stretched over 24 columns: each twice
  const SizedNinePart n = DeriveNinePart(SkinResizeMode::Both, kSkin, kGeometry, w, 14);
  Bitmap dest;
  BuildNinePartImageStretched(dest, kGeometry, n.parts, kSkin, picture, w, 14, true, {true, false, false, false});
  for (int x = 4; x < 28; ++x) ASSERT_EQ(dest.At(x, 1), From(34 + (x - 4) / 2, 11)) << x;
  EXPECT_EQ(dest.At(4 + 12, 12), From(34, 22));  // the bottom edge still repeats
  EXPECT_EQ(dest.At(28, 1), From(46, 11));

  NinePartGeometry flat = kGeometry;
  flat.rightBottom.x = flat.leftTop.x;
  Bitmap stopped(3, 3, kUnpainted);
  BuildNinePartImage(stopped, flat, flat, kSkin, picture, 20, 14, true);
  EXPECT_EQ(stopped.Width(), 20);
  EXPECT_EQ(stopped.At(2, 2), kUnpainted);
  EXPECT_EQ(stopped.At(19, 13), MakePixel(255, 255, 255));  // new pixels as a canvas grows
  BuildNinePartImage(stopped, kGeometry, kGeometry, kSkin, Bitmap(), 20, 14, true);
  EXPECT_EQ(stopped.At(2, 2), kUnpainted);
  // A skin rectangle reaching outside the picture copies only what is there.
  Bitmap outside;
  BuildNinePartImage(outside, kGeometry, kGeometry, {70, 30, 90, 44}, picture, 20, 14, true);
  EXPECT_EQ(outside.At(9, 9), From(79, 39));
}

TEST(NinePartImageTest, TileAreaRepeatsFromTheOriginWithinTheArea) {
  const Bitmap picture = Coordinates(40, 40);
  Bitmap dest(12, 9, kUnpainted);
  TileArea(dest, {2, 3, 7, 7}, {11, 6}, {10, 20, 30, 30}, picture, 12, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 12; ++x) {
      const Pixel want = x < 11 && y < 6 ? From(12 + x % 5, 23 + y % 4) : kUnpainted;
      ASSERT_EQ(dest.At(x, y), want) << x << "," << y;
    }
  Bitmap none(4, 4, kUnpainted);
  TileArea(none, {2, 3, 7, 7}, {0, 6}, {}, picture, 4, 4);
  EXPECT_EQ(none.At(0, 0), kUnpainted);
}

TEST(CopySkinRectTest, ScalesAndClipsToBothBitmaps) {
  const Bitmap src = Coordinates(4, 2);
  Bitmap dst(8, 2, kUnpainted);
  CopySkinRect(dst, {0, 0, 8, 2}, src, {0, 0, 4, 2});
  for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.At(x, 1), From(x / 2, 1)) << x;
  Bitmap small(3, 3, kUnpainted);
  CopySkinRect(small, {-2, -1, 4, 2}, src, {-1, 0, 5, 3});  // both sides clipped
  EXPECT_EQ(small.At(0, 0), From(1, 1));
  EXPECT_EQ(small.At(2, 0), From(3, 1));
  EXPECT_EQ(small.At(0, 1), kUnpainted);
  CopySkinRect(small, {0, 0, 3, 3}, src, {3, 0, 1, 2});  // inverted source: nothing
  EXPECT_EQ(small.At(1, 2), kUnpainted);
}

TEST(NinePartImageTest, DamagedGeometryStaysInsideEveryBitmap) {
  // Points out of order, outside the picture or far away: the routines clip and skip, and
  // the loops do not run past the destination (the sanitizer build checks every access).
  const Bitmap picture = Coordinates(40, 30);
  std::mt19937 rng(11);
  auto v = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int i = 0; i < 300; ++i) {
    const int big = i % 10 == 0 ? 2000000000 : 60;
    NinePartGeometry g{{v(-20, big), v(-20, 60)}, {v(-20, 60), v(-20, 60)}, {v(-20, 60), v(-20, big)},
                       {v(-20, 60), v(-20, 60)}, {v(-20, 30), v(-20, 30), v(-10, 60), v(-10, 60)}};
    const Rect r{v(-10, 50), v(-10, 40), v(-10, 60), v(-10, 50)};
    const int w = v(-5, 70), h = v(-5, 50);
    const SizedNinePart n = DeriveNinePart(GetSkinResizeMode(r, g), r, g, w, h);
    Bitmap dest;
    BuildNinePartImageStretched(dest, g, n.parts, r, picture, n.width, n.height, true,
                                {i % 2 == 0, i % 3 == 0, i % 5 == 0, i % 7 == 0});
    EXPECT_EQ(dest.Width(), std::max(0, n.width));
    BuildHStripImage(dest, v(-5, 30), v(-5, 30), r, picture, w);
    BuildVStripImage(dest, v(-5, 30), v(-5, 30), r, picture, h);
    BuildHTileImage(dest, v(-5, 30), v(-5, 30), r, picture, w);
    TileArea(dest, r, {v(-5, 80), v(-5, 80)}, r, picture, w, h);
    BuildBorderStripsStretched(g, n.parts, r, picture, w, h, {true, false, true, false});
    ResizedMaskToRegion(g, n.parts, picture, w, h);
  }
}
