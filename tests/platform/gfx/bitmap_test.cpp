// Bitmap storage, resizing and the 24-bit row conversions; rectangle arithmetic.
#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"

TEST(RectTest, ExclusiveEdgesAndEmptiness) {
  const Rect r{2, 3, 5, 7};
  EXPECT_EQ(r.Width(), 3);
  EXPECT_EQ(r.Height(), 4);
  EXPECT_TRUE(r.Contains(Point{2, 3}));
  EXPECT_FALSE(r.Contains(Point{5, 3}));
  EXPECT_FALSE(r.Contains(Point{2, 7}));
  EXPECT_TRUE((Rect{0, 0, 0, 5}).IsEmpty());
  EXPECT_TRUE((Rect{5, 0, 4, 5}).IsEmpty());
  EXPECT_EQ(r.Intersected({5, 3, 9, 9}), Rect{});  // touching edges share no pixel
  EXPECT_EQ(r.Intersected({4, 0, 9, 4}), (Rect{4, 3, 5, 4}));
  EXPECT_EQ(r.United(Rect{}), r);
  EXPECT_EQ(r.United({10, 10, 11, 11}), (Rect{2, 3, 11, 11}));
}

TEST(BitmapTest, ResizeKeepsTopLeftAndFillsTheRest) {
  Bitmap b(3, 2, MakePixel(1, 2, 3));
  b.Set(2, 1, MakePixel(9, 9, 9));
  b.SetSize(4, 3, MakePixel(255, 0, 0));
  EXPECT_EQ(b.At(2, 1), MakePixel(9, 9, 9));
  EXPECT_EQ(b.At(0, 0), MakePixel(1, 2, 3));
  EXPECT_EQ(b.At(3, 0), MakePixel(255, 0, 0));
  EXPECT_EQ(b.At(0, 2), MakePixel(255, 0, 0));
  b.SetSize(1, 1);
  EXPECT_EQ(b.Width(), 1);
  EXPECT_EQ(b.At(0, 0), MakePixel(1, 2, 3));
}

TEST(BitmapTest, Rows24AreBlueGreenRedAndPadded) {
  Bitmap b(2, 2, MakePixel(10, 20, 30));
  b.Set(1, 1, MakePixel(40, 50, 60));
  const auto rows = b.ToRows24();
  ASSERT_EQ(rows.size(), 16u);  // 6 bytes a row padded to 8
  EXPECT_EQ(rows[0], 30);
  EXPECT_EQ(rows[1], 20);
  EXPECT_EQ(rows[2], 10);
  EXPECT_EQ(rows[8 + 3], 60);
  EXPECT_EQ(rows[8 + 5], 40);
  Bitmap back;
  back.FromRows24(rows.data(), 2, 2, 8);
  EXPECT_EQ(back, b);
  EXPECT_EQ(back.Format(), PixelFormat::Bits24);
}

TEST(ColorTest, SystemColoursResolveAndPlainOnesPassThrough) {
  EXPECT_EQ(ColorToRGB(clWindow), RGB(255, 255, 255));
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(15));
  EXPECT_EQ(ColorToRGB(RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(PixelToColor(ColorToPixel(RGB(7, 8, 9))), RGB(7, 8, 9));
}
