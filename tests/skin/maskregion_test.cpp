// Mask regions and border strips: runs in scan order, region data, unions checked pixel by
// pixel against the mask, and regions of resized elements.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "skin/controls/skImageDraw.h"

namespace {

const Pixel kBlack = MakePixel(0, 0, 0);
const Pixel kWhite = MakePixel(255, 255, 255);

bool IsBlack(const Bitmap& b, int x, int y) { return b.Contains(x, y) && (b.At(x, y) & 0xFFFFFF) == 0; }

Bitmap RandomMask(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned r = rng() % 4;
      // Near-black colours and alpha must not count as black; a black with alpha 0 does.
      b.Set(x, y, r == 0 ? kWhite : r == 1 ? MakePixel(0, 0, 1) : r == 2 ? kBlack : MakePixel(0, 0, 0, 0));
    }
  return b;
}

std::vector<Rect> RectsOf(const std::vector<std::uint8_t>& data, RGNDATAHEADER& header) {
  std::memcpy(&header, data.data(), sizeof header);
  std::vector<Rect> rects(header.nCount);
  if (!rects.empty()) std::memcpy(rects.data(), data.data() + sizeof header, rects.size() * sizeof(Rect));
  return rects;
}

// A 20 x 14 mask: black everywhere except rounded-off corners and a notch in each edge's
// middle band, so both fixed parts and repeats show in the region.
Bitmap FrameMask() {
  Bitmap m(20, 14, kBlack);
  for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {19, 0}, {18, 0}, {19, 1}, {0, 13}, {19, 13},
                      {7, 0}, {8, 0}, {0, 6}, {19, 7}, {10, 13}})
    m.Set(x, y, kWhite);
  return m;
}
const NinePartGeometry kMaskGeometry{{4, 3}, {16, 3}, {4, 11}, {16, 11}, {3, 3, 17, 11}};

}  // namespace

TEST(MaskRegionTest, RegionDataHoldsTheRunsInScanOrder) {
  Bitmap m(6, 3, kWhite);
  m.Set(1, 0, kBlack);
  m.Set(2, 0, kBlack);
  m.Set(4, 0, kBlack);
  for (int x = 3; x < 6; ++x) m.Set(x, 2, kBlack);  // black to the row's end
  const std::vector<std::uint8_t> data = MaskToRegionData(m, 10, 20);
  RGNDATAHEADER h;
  const std::vector<Rect> rects = RectsOf(data, h);
  EXPECT_EQ(h.dwSize, 32u);
  EXPECT_EQ(h.iType, 1u);
  EXPECT_EQ(h.nRgnSize, 0u);
  EXPECT_EQ(h.rcBound, (Rect{10, 20, 16, 23}));
  ASSERT_EQ(data.size(), 32u + 3 * 16u);
  EXPECT_EQ(rects, (std::vector<Rect>{{11, 20, 13, 21}, {14, 20, 15, 21}, {13, 22, 16, 23}}));
  EXPECT_TRUE(MaskToRegionData(Bitmap(), 0, 0).empty());
  RGNDATAHEADER none;
  EXPECT_TRUE(RectsOf(MaskToRegionData(Bitmap(3, 3, kWhite), 0, 0), none).empty());
  EXPECT_EQ(none.nCount, 0u);
}

TEST(MaskRegionTest, RegionMatchesTheMaskPixelByPixel) {
  const Bitmap mask = RandomMask(37, 23, 5);
  const Region rgn = MaskToRegion(mask);
  for (int y = -1; y <= 23; ++y)
    for (int x = -1; x <= 37; ++x) ASSERT_EQ(rgn.Contains({x, y}), IsBlack(mask, x, y)) << x << "," << y;
  // The same through the platform's region data reader, moved by the offset.
  const std::vector<std::uint8_t> data = MaskToRegionData(mask, 3, -2);
  HRGN moved = ExtCreateRegion(nullptr, static_cast<std::uint32_t>(data.size()), data.data());
  ASSERT_NE(moved, nullptr);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(PtInRegion(moved, x + 3, y - 2), IsBlack(mask, x, y));
  DeleteObject(moved);
}

TEST(MaskRegionTest, MoreRunsThanTheFirstBufferHolds) {
  Bitmap checker(220, 100, kWhite);  // 11,000 single-pixel runs
  for (int y = 0; y < 100; ++y)
    for (int x = (y & 1); x < 220; x += 2) checker.Set(x, y, kBlack);
  const std::vector<std::uint8_t> data = MaskToRegionData(checker, 0, 0);
  RGNDATAHEADER h;
  const std::vector<Rect> rects = RectsOf(data, h);
  ASSERT_EQ(h.nCount, 11000u);
  EXPECT_EQ(rects.back(), (Rect{219, 99, 220, 100}));
  const Region rgn = MaskToRegion(checker);
  EXPECT_TRUE(rgn.Contains({219, 99}));
  EXPECT_FALSE(rgn.Contains({218, 99}));
}

TEST(BorderStripsTest, StripSizesAndNaturalSizeContents) {
  const Bitmap mask = FrameMask();
  const BorderStrips s = BuildBorderStrips(kMaskGeometry, kMaskGeometry, mask, 20, 14);
  ASSERT_EQ(s.top.GetSize(), (Size{20, 3}));
  ASSERT_EQ(s.bottom.GetSize(), (Size{20, 3}));
  ASSERT_EQ(s.left.GetSize(), (Size{3, 8}));
  ASSERT_EQ(s.right.GetSize(), (Size{3, 8}));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 20; ++x) {
      ASSERT_EQ(s.top.At(x, y), mask.At(x, y)) << x << "," << y;
      ASSERT_EQ(s.bottom.At(x, y), mask.At(x, 11 + y)) << x << "," << y;
    }
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 3; ++x) {
      ASSERT_EQ(s.left.At(x, y), mask.At(x, 3 + y));
      ASSERT_EQ(s.right.At(x, y), mask.At(17 + x, 3 + y));
    }
  // A zero client inset makes no strip on that side.
  NinePartGeometry flush = kMaskGeometry;
  flush.clientRect.left = 0;
  flush.clientRect.top = 0;
  const BorderStrips f = BuildBorderStrips(flush, flush, mask, 20, 14);
  EXPECT_TRUE(f.left.IsEmpty());
  EXPECT_TRUE(f.top.IsEmpty());
  EXPECT_FALSE(f.right.IsEmpty());
}

TEST(BorderStripsTest, StretchedStripsOfAFramePicture) {
  Bitmap picture(20, 14);
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 20; ++x) picture.Set(x, y, MakePixel(x, y, 3));
  const int w = 32, h = 20;
  const SizedNinePart n = DeriveNinePart(SkinResizeMode::Both, picture.Bounds(), kMaskGeometry, w, h);
  const BorderStrips s = BuildBorderStripsStretched(kMaskGeometry, n.parts, picture.Bounds(), picture, w, h,
                                                    {true, false, false, true});
  ASSERT_EQ(s.top.GetSize(), (Size{32, 3}));
  ASSERT_EQ(s.left.GetSize(), (Size{3, 14}));
  ASSERT_EQ(s.right.GetSize(), (Size{3, 14}));
  for (int x = 4; x < 28; ++x) ASSERT_EQ(s.top.At(x, 2), MakePixel(4 + (x - 4) / 2, 2, 3)) << x;  // stretched
  EXPECT_EQ(s.top.At(28, 0), MakePixel(16, 0, 3));
  EXPECT_EQ(s.bottom.At(16, 1), MakePixel(4, 12, 3));  // tiled: 12-column middle repeats
  EXPECT_EQ(s.left.At(1, 8), MakePixel(1, 3, 3));      // tiled rows 3..10 from strip row 0
  EXPECT_EQ(s.right.At(0, 13), MakePixel(17, 3 + 13 * 8 / 14, 3));  // stretched 8 rows over 14
  // No middle band: the strip is not made.
  NinePartGeometry noMiddle = kMaskGeometry;
  noMiddle.rightTop.x = noMiddle.leftTop.x;
  EXPECT_TRUE(BuildBorderStripsStretched(noMiddle, noMiddle, picture.Bounds(), picture, 20, 14, {}).top.IsEmpty());
}

TEST(ResizedMaskRegionTest, RegionIsTheClientUnitedWithTheMaskedBorder) {
  const Bitmap mask = FrameMask();
  for (auto [w, h] : {std::pair{20, 14}, {45, 31}, {21, 15}}) {
    const SizedNinePart n = DeriveNinePart(SkinResizeMode::Both, mask.Bounds(), kMaskGeometry, w, h);
    const std::optional<Region> rgn = ResizedMaskToRegion(kMaskGeometry, n.parts, mask, w, h);
    ASSERT_TRUE(rgn.has_value());
    // The border must agree with the mask composed at the same size.
    Bitmap composed;
    BuildNinePartImage(composed, kMaskGeometry, n.parts, mask.Bounds(), mask, w, h, true);
    for (int y = -1; y <= h; ++y)
      for (int x = -1; x <= w; ++x) {
        const bool want = n.parts.clientRect.Contains(Point{x, y}) || IsBlack(composed, x, y);
        ASSERT_EQ(rgn->Contains({x, y}), want) << w << "x" << h << " at " << x << "," << y;
      }
  }
}

TEST(ResizedMaskRegionTest, NarrowerThanTheCornersGivesNoRegion) {
  const Bitmap mask = FrameMask();
  const SizedNinePart narrow = DeriveNinePart(SkinResizeMode::Both, mask.Bounds(), kMaskGeometry, 7, 14);
  EXPECT_FALSE(ResizedMaskToRegion(kMaskGeometry, narrow.parts, mask, 7, 14).has_value());
  const SizedNinePart low = DeriveNinePart(SkinResizeMode::Both, mask.Bounds(), kMaskGeometry, 20, 5);
  EXPECT_FALSE(ResizedMaskToRegion(kMaskGeometry, low.parts, mask, 20, 5).has_value());
}
