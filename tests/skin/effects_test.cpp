// Morphs and image effects of the 24-bit effect bitmap: rounding, counts, clamps, order.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/gfx/DC.h"
#include "skin/data/skEffectBmp.h"

namespace {

TskRgb Gray(int v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v)}; }

TskEffectBmp Filled(int w, int h, TskRgb c) {
  TskEffectBmp bmp(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bmp.SetPixel(x, y, c);
  return bmp;
}

// An image whose every column x holds the value base + x * step in all channels.
TskEffectBmp Columns(int w, int h, int base, int step) {
  TskEffectBmp bmp(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bmp.SetPixel(x, y, Gray(base + x * step));
  return bmp;
}

int Channel(const TskEffectBmp& bmp, int x, int y) { return bmp.GetPixel(x, y).g; }

}  // namespace

TEST(EffectBmpTest, StrideHeaderAndBitmapRoundTrip) {
  for (auto [w, stride] : {std::pair{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {7, 24}}) {
    TskEffectBmp bmp(w, 3);
    EXPECT_EQ(bmp.Stride(), stride) << w;
    EXPECT_EQ(bmp.SizeBytes(), static_cast<std::uint32_t>(3 * stride));
    EXPECT_EQ(bmp.Header().biWidth, w);
    EXPECT_EQ(bmp.Header().biHeight, -3);
    EXPECT_EQ(bmp.Header().biBitCount, 24);
  }
  Bitmap src(5, 2);
  src.Set(0, 0, MakePixel(1, 2, 3));
  src.Set(4, 1, MakePixel(200, 100, 50));
  TskEffectBmp bmp(src);
  EXPECT_EQ(bmp.GetPixel(0, 0), (TskRgb{3, 2, 1}));  // bytes blue, green, red
  EXPECT_EQ(bmp.Row(1)[12], 50);
  EXPECT_EQ(bmp.Row(1)[14], 200);
  EXPECT_EQ(bmp.ToBitmap(), src);
  EXPECT_THROW(bmp.GetPixel(5, 0), std::out_of_range);
  EXPECT_THROW(bmp.Row(2), std::out_of_range);
  EXPECT_THROW(TskEffectBmp(-1, 2), std::length_error);
}

TEST(EffectBmpTest, FlipIntoReversesRows) {
  TskEffectBmp a(2, 3);
  for (int y = 0; y < 3; ++y) a.SetPixel(1, y, Gray(10 * y));
  TskEffectBmp b(2, 3);
  a.FlipInto(b);
  EXPECT_EQ(Channel(b, 1, 0), 20);
  EXPECT_EQ(Channel(b, 1, 2), 0);
  TskEffectBmp wrong(2, 2);
  EXPECT_THROW(a.FlipInto(wrong), std::invalid_argument);
}

TEST(EffectBmpTest, DrawToPutsPixelsAtTheOffset) {
  TskEffectBmp bmp(2, 2);
  bmp.SetPixel(1, 1, {30, 20, 10});
  Bitmap target(5, 5, MakePixel(255, 255, 255));
  DC dc(target);
  bmp.DrawTo(dc, 2, 1);
  EXPECT_EQ(PixelR(target.At(3, 2)), 10);
  EXPECT_EQ(PixelB(target.At(3, 2)), 30);
  EXPECT_EQ(PixelR(target.At(2, 1)), 0);
  EXPECT_EQ(target.At(1, 1), MakePixel(255, 255, 255));
  EXPECT_EQ(target.At(4, 3), MakePixel(255, 255, 255));
}

TEST(EffectBmpTest, BlendRoundsHalvesToEvenAndClampsTheFactor) {
  struct Case { int a, b; double k; int want; };
  const Case cases[] = {
      {100, 101, 0.5, 100}, {101, 102, 0.5, 102}, {10, 200, 0.0, 10},
      {10, 200, 1.0, 200},  {10, 200, 2.0, 200},  {10, 200, -1.0, 10},
      {0, 255, 0.25, 64},   // 63.75
  };
  for (const Case& c : cases) {
    TskEffectBmp a = Filled(3, 2, Gray(c.a));
    a.BlendWith(Filled(3, 2, Gray(c.b)), c.k);
    EXPECT_EQ(Channel(a, 2, 1), c.want) << c.a << " " << c.b << " " << c.k;
  }
}

TEST(EffectBmpTest, BlendOfALargeImageMatchesTheFormulaEverywhere) {
  // Large enough for the table path; every (a, b) pair appears.
  const int w = 256, h = 256;
  TskEffectBmp a(w, h), b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      a.SetPixel(x, y, {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x ^ y)});
      b.SetPixel(x, y, {static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(255 - x)});
    }
  const TskEffectBmp before = a;
  const double k = 0.3;
  a.BlendWith(b, k);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) {
        const double v = (1 - k) * before.Row(y)[3 * x + c] + k * b.Row(y)[3 * x + c];
        ASSERT_EQ(a.Row(y)[3 * x + c], static_cast<int>(std::nearbyint(v))) << x << "," << y;
      }
}

TEST(EffectBmpTest, MorphsOfDifferentSizesDoNothing) {
  const TskEffectBmp b = Filled(4, 3, Gray(200));
  for (int kind = 0; kind <= 6; ++kind) {
    TskEffectBmp a = Filled(4, 4, Gray(7));
    a.MorphWith(kind, b, 0.5);
    EXPECT_EQ(Channel(a, 1, 1), 7) << kind;
  }
}

TEST(EffectBmpTest, HCenterGradientOfTenColumns) {
  // k = 0.4: b = 4, c = 3, f = 1/3, L = 3, R = 7.
  TskEffectBmp a = Filled(10, 2, Gray(0));
  a.HCenterGradientWith(Filled(10, 2, Gray(90)), 0.4);
  const int want[10] = {0, 30, 60, 90, 90, 90, 90, 90, 60, 30};
  for (int x = 0; x < 10; ++x) EXPECT_EQ(Channel(a, x, 1), want[x]) << x;
}

TEST(EffectBmpTest, CenterGradientPicksRowsForTallImages) {
  // 4 wide, 10 high, k = 1: b = 10, c = 0, f = 0: every row shows B.
  TskEffectBmp a = Filled(4, 10, Gray(0));
  a.CenterGradientWith(Filled(4, 10, Gray(90)), 1.0);
  for (int y = 0; y < 10; ++y) EXPECT_EQ(Channel(a, 3, y), 90) << y;
  // k = 0.2 on the same image: b = 2, c = 3, L = 4, R = 6; rows 3 and 7 get mix(1/3).
  TskEffectBmp v = Filled(4, 10, Gray(0));
  v.CenterGradientWith(Filled(4, 10, Gray(90)), 0.2);
  const int want[10] = {0, 0, 30, 60, 90, 90, 90, 60, 30, 0};
  for (int y = 0; y < 10; ++y) EXPECT_EQ(Channel(v, 0, y), want[y]) << y;
}

TEST(EffectBmpTest, CenterGradientsStayInsideForFactorsOutOfRange) {
  for (double k : {-5.0, -0.3, 1.7, 40.0, std::nan("")}) {
    TskEffectBmp h = Filled(10, 3, Gray(0));
    h.HCenterGradientWith(Filled(10, 3, Gray(90)), k);
    TskEffectBmp v = Filled(3, 10, Gray(0));
    v.VCenterGradientWith(Filled(3, 10, Gray(90)), k);
    if (k > 1) {
      EXPECT_EQ(Channel(h, 0, 0), 90);
      EXPECT_EQ(Channel(v, 0, 0), 90);
    }
  }
}

TEST(EffectBmpTest, SideGradientsSlidesAndPush) {
  struct Case { int kind; double k; int want[10]; };
  // A holds 0, B holds column x = 10 * x + 10 (so slides and the push show B's columns).
  const Case cases[] = {
      {skMorphLeftGradient, 0.5, {10, 16, 18, 16, 10, 0, 0, 0, 0, 0}},     // a = 5, step 1/5
      {skMorphLeftGradient, 0.0, {10, 0, 0, 0, 0, 0, 0, 0, 0, 0}},       // a raised to 1
      {skMorphRightGradient, 0.5, {0, 0, 0, 0, 0, 12, 28, 48, 72, 100}},  // a = 5, step 1/5
      {skMorphRightGradient, 1.0, {1, 4, 9, 16, 25, 36, 49, 64, 81, 100}},  // a = 0, step 1/10
      {skMorphLeftSlide, 0.3, {80, 90, 100, 0, 0, 0, 0, 0, 0, 0}},
      {skMorphLeftSlide, 0.0, {100, 0, 0, 0, 0, 0, 0, 0, 0, 0}},         // at least one column
      {skMorphLeftSlide, 1.0, {20, 30, 40, 50, 60, 70, 80, 90, 100, 0}},  // at most W - 1
      {skMorphRightSlide, 0.3, {0, 0, 0, 0, 0, 0, 0, 10, 20, 30}},
      {skMorphPush, 0.3, {70, 80, 90, 100, 0, 1, 2, 3, 4, 5}},         // a = 3
  };
  for (const Case& c : cases) {
    TskEffectBmp a = c.kind == skMorphPush ? Columns(10, 2, 0, 1) : Filled(10, 2, Gray(0));
    const TskEffectBmp b = Columns(10, 2, 10, 10);
    a.MorphWith(c.kind, b, c.k);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(Channel(a, x, 1), c.want[x]) << c.kind << " k=" << c.k << " x=" << x;
  }
}

TEST(EffectBmpTest, PushAtZeroMovesAOneColumnAndShowsBsLastColumn) {
  TskEffectBmp a = Columns(5, 2, 0, 1);
  a.PushWith(Columns(5, 2, 100, 10), 0.0);
  const int want[5] = {140, 0, 1, 2, 3};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(Channel(a, x, 0), want[x]) << x;
  TskEffectBmp one = Filled(1, 1, Gray(5));
  one.PushWith(Filled(1, 1, Gray(9)), 0.7);
  EXPECT_EQ(Channel(one, 0, 0), 9);
}

TEST(EffectBmpTest, ChannelEffects) {
  struct Case { const char* name; TskRgb in; TskRgb want; void (*apply)(TskEffectBmp&); };
  const Case cases[] = {
      {"gray of green", {0, 255, 0}, Gray(150), [](TskEffectBmp& b) { b.ToGray(); }},
      {"gray of blue", {255, 0, 0}, Gray(28), [](TskEffectBmp& b) { b.ToGray(); }},
      {"gray of red (76.5)", {0, 0, 255}, Gray(76), [](TskEffectBmp& b) { b.ToGray(); }},
      {"brighten black", Gray(0), Gray(128), [](TskEffectBmp& b) { b.Brighten(0.5); }},
      {"brighten white", Gray(255), Gray(255), [](TskEffectBmp& b) { b.Brighten(0.5); }},
      {"brighten clamps", Gray(3), Gray(255), [](TskEffectBmp& b) { b.Brighten(7); }},
      {"darken white", Gray(255), Gray(178), [](TskEffectBmp& b) { b.Darken(0.3); }},
      {"darken clamps", Gray(40), Gray(40), [](TskEffectBmp& b) { b.Darken(-2); }},
      {"invert", {1, 128, 255}, {254, 127, 0}, [](TskEffectBmp& b) { b.Invert(); }},
      {"inactive grayscale", {0, 255, 0}, Gray(150), [](TskEffectBmp& b) { b.ApplyImageEffect(skEffectGrayscale); }},
      {"inactive unknown grays", {255, 0, 0}, Gray(28), [](TskEffectBmp& b) { b.ApplyImageEffect(17); }},
      {"inactive darkness", Gray(100), Gray(70), [](TskEffectBmp& b) { b.ApplyImageEffect(skEffectDarkness); }},
  };
  for (const Case& c : cases) {
    TskEffectBmp bmp = Filled(3, 2, c.in);
    c.apply(bmp);
    EXPECT_EQ(bmp.GetPixel(2, 1), c.want) << c.name;
    EXPECT_EQ(bmp.GetPixel(0, 0), c.want) << c.name;
  }
}

TEST(EffectBmpTest, InvertTwiceGivesTheImageBack) {
  TskEffectBmp a = Columns(7, 3, 3, 37);
  const Bitmap before = a.ToBitmap();
  a.Invert();
  EXPECT_NE(a.ToBitmap(), before);
  a.Invert();
  EXPECT_EQ(a.ToBitmap(), before);
}

TEST(EffectBmpTest, NoiseMovesAllChannelsOfAPixelTogetherWithinRange) {
  TskEffectBmp a = Filled(40, 40, Gray(128));
  a.AddNoise(50);
  int low = 255, high = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const TskRgb p = a.GetPixel(x, y);
      ASSERT_TRUE(p.r == p.g && p.g == p.b);
      low = std::min<int>(low, p.g);
      high = std::max<int>(high, p.g);
    }
  EXPECT_GE(low, 128 - 25);
  EXPECT_LE(high, 128 + 24);
  EXPECT_LT(low, 128 - 15);  // 1600 draws: the range is used
  EXPECT_GT(high, 128 + 15);
  TskEffectBmp clamp = Filled(20, 20, Gray(250));
  clamp.AddNoise(50);  // channels past 255 clamp instead of wrapping
  for (int x = 0; x < 20; ++x) EXPECT_GE(Channel(clamp, x, 5), 225);
  TskEffectBmp none = Filled(4, 4, Gray(9));
  none.AddNoise(1);
  none.AddNoise(0);
  none.AddNoise(-3);
  EXPECT_EQ(Channel(none, 3, 3), 9);
}

TEST(EffectBmpTest, SplitBlurReadsBlurredRowsAboveAndTheWrappedRowAtTheEnd) {
  // Rows hold 0, 10, ..., 90. Each row becomes (upper + lower) / 2 with the upper row
  // already blurred; the last row's lower neighbour is row H - y = 1 (blurred to 12).
  TskEffectBmp a(3, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 3; ++x) a.SetPixel(x, y, Gray(10 * y));
  a.SplitBlur(1);
  const int want[10] = {5, 12, 21, 30, 40, 50, 60, 70, 80, 46};
  for (int y = 0; y < 10; ++y) EXPECT_EQ(Channel(a, 1, y), want[y]) << y;
}

TEST(EffectBmpTest, SplitBlurColumnsAndOnePixelImages) {
  // One row: both neighbour rows are the row itself as it was; the last column's right
  // neighbour is column W - x = 1.
  TskEffectBmp row = Columns(4, 1, 0, 40);
  row.SplitBlur(1);
  const int want[4] = {20, 40, 80, 60};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Channel(row, x, 0), want[x]) << x;

  TskEffectBmp one = Filled(1, 1, {10, 20, 30});
  one.SplitBlur(1);
  EXPECT_EQ(one.GetPixel(0, 0), (TskRgb{10, 20, 30}));
  TskEffectBmp far = Columns(3, 2, 0, 40);
  far.SplitBlur(9);  // steps past every edge stay inside
  far.SplitBlur(-4);
  TskEffectBmp same = Columns(3, 2, 0, 40);
  same.SplitBlur(0);
  EXPECT_EQ(same.ToBitmap(), Columns(3, 2, 0, 40).ToBitmap());
}

TEST(FBitmapTest, RowTableFollowsThePixels) {
  Bitmap src(3, 4);
  src.Set(2, 3, MakePixel(9, 8, 7));
  TskFBitmap f(src);
  EXPECT_EQ(f.ScanLine(3), f.Row(3));
  EXPECT_EQ(f.ScanLine(3)[6], 7);
  f.CopyFromBitmap(Bitmap(5, 6));
  EXPECT_EQ(f.ScanLine(5), f.Row(5));
  TskFBitmap copy(f);
  EXPECT_EQ(copy.ScanLine(2), copy.Row(2));
  EXPECT_NE(copy.ScanLine(2), f.ScanLine(2));
}
