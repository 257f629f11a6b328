// Device context drawing checked pixel by pixel, inside and outside the expected areas.
#include <gtest/gtest.h>

#include <functional>

#include "platform/gfx/DC.h"

namespace {

const Pixel kWhite = MakePixel(255, 255, 255);
const Pixel kRed = MakePixel(255, 0, 0);
const Pixel kBlue = MakePixel(0, 0, 255);

// The set of pixels of `b` equal to `p`, as a region, for whole-area comparisons.
Region PixelsOf(const Bitmap& b, Pixel p) {
  std::vector<Rect> runs;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.At(x, y) == p) runs.push_back({x, y, x + 1, y + 1});
  return Region::FromRects(runs);
}

Region R(std::initializer_list<Rect> rects) { return Region::FromRects(rects); }

}  // namespace

TEST(DCTest, FillRectExcludesRightAndBottomAndResolvesSystemColours) {
  Bitmap b(10, 10);
  DC dc(b);
  dc.FillRect({2, 3, 6, 7}, clRed);
  EXPECT_EQ(PixelsOf(b, kRed), R({{2, 3, 6, 7}}));
  dc.FillRect({6, 6, 5, 9}, clRed);  // reversed: nothing
  EXPECT_EQ(PixelsOf(b, kRed), R({{2, 3, 6, 7}}));
  dc.FillRect({0, 0, 1, 1}, clBtnFace);
  EXPECT_EQ(b.At(0, 0), ColorToPixel(RGB(212, 208, 200)));
  dc.FillRect({-5, -5, 100, 1}, Brush{BS_NULL, clBlue});
  EXPECT_TRUE(PixelsOf(b, kBlue).IsEmpty());
}

TEST(DCTest, OriginAndCreationClip) {
  Bitmap b(12, 12);
  DC dc(b, {3, 2}, Region(Rect{3, 2, 8, 8}));
  dc.FillRect({0, 0, 100, 100}, clRed);
  EXPECT_EQ(PixelsOf(b, kRed), R({{3, 2, 8, 8}}));
  EXPECT_EQ(dc.ClipBox(), (Rect{0, 0, 5, 6}));
  EXPECT_TRUE(dc.PtVisible({4, 5}));
  EXPECT_FALSE(dc.PtVisible({5, 0}));
  EXPECT_EQ(dc.GetPixel(0, 0), clRed);
  EXPECT_EQ(dc.GetPixel(-1, 0), CLR_INVALID);
  // The viewport origin moves drawing but not the clip.
  EXPECT_EQ(dc.SetViewportOrg({1, 1}), (Point{0, 0}));
  dc.FillRect({0, 0, 1, 1}, clBlue);
  EXPECT_EQ(PixelsOf(b, kBlue), R({{4, 3, 5, 4}}));
  EXPECT_EQ(dc.ClipBox(), (Rect{-1, -1, 4, 5}));
  EXPECT_EQ(dc.SetViewportOrg({0, 0}), (Point{1, 1}));
}

TEST(DCTest, ClipOnlyNarrowsAndDCStateRestores) {
  Bitmap b(20, 20);
  DC dc(b, {0, 0}, Region(Rect{2, 2, 18, 18}));
  {
    DCState guard(dc);
    // A selected region never reaches outside the creation clip.
    const Region wide(Rect{0, 0, 20, 10});
    EXPECT_EQ(dc.SelectClipRgn(&wide), SIMPLEREGION);
    EXPECT_EQ(dc.ClipRegion(), Region(Rect{2, 2, 18, 10}));
    EXPECT_EQ(dc.ExcludeClipRect({5, 5, 8, 8}), COMPLEXREGION);
    EXPECT_EQ(dc.IntersectClipRect({4, 0, 10, 20}), COMPLEXREGION);
    dc.FillRect({0, 0, 20, 20}, clRed);
    EXPECT_EQ(PixelsOf(b, kRed), R({{4, 2, 10, 10}}).Subtracted(R({{5, 5, 8, 8}})));
    dc.SelectPen({PS_SOLID, 1, clBlue});
    dc.SetTextColor(clGreen);
    EXPECT_EQ(dc.IntersectClipRect({30, 30, 40, 40}), NULLREGION);
  }
  EXPECT_EQ(dc.ClipRegion(), Region(Rect{2, 2, 18, 18}));
  EXPECT_EQ(dc.CurrentPen().color, clBlack);
  EXPECT_EQ(dc.TextColor(), clBlack);
  EXPECT_EQ(dc.SaveLevel(), 0);

  // The selected region is copied and given in device units of the context; offsetting
  // moves the application's clip only.
  Region sel(Rect{0, 0, 6, 6});
  dc.SelectClipRgn(&sel);
  sel = Region(Rect{0, 0, 20, 20});
  EXPECT_EQ(dc.ClipRegion(), Region(Rect{2, 2, 6, 6}));
  EXPECT_EQ(dc.OffsetClipRgn(10, 10), SIMPLEREGION);
  EXPECT_EQ(dc.ClipRegion(), Region(Rect{10, 10, 16, 16}));
  EXPECT_EQ(dc.SelectClipRgn(nullptr), SIMPLEREGION);
  EXPECT_EQ(dc.ClipRegion(), Region(Rect{2, 2, 18, 18}));

  // A clip spanning the whole int range in a context with an origin.
  DC moved(b, {3, 3}, Region(b.Bounds()));
  const Region all(Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  EXPECT_EQ(moved.SelectClipRgn(&all), SIMPLEREGION);
  EXPECT_EQ(moved.ClipBox(), (Rect{-3, -3, 17, 17}));
}

TEST(DCTest, SaveAndRestoreLevels) {
  Bitmap b(4, 4);
  DC dc(b);
  EXPECT_FALSE(dc.RestoreDC(-1));
  EXPECT_EQ(dc.SaveDC(), 1);
  dc.SetBkColor(clRed);
  EXPECT_EQ(dc.SaveDC(), 2);
  dc.SetBkColor(clBlue);
  EXPECT_EQ(dc.SaveDC(), 3);
  dc.SetBkColor(clGreen);
  EXPECT_FALSE(dc.RestoreDC(4));
  EXPECT_FALSE(dc.RestoreDC(0));
  EXPECT_FALSE(dc.RestoreDC(-4));
  EXPECT_EQ(dc.BkColor(), clGreen);
  EXPECT_TRUE(dc.RestoreDC(-1));  // the last save
  EXPECT_EQ(dc.BkColor(), clBlue);
  EXPECT_TRUE(dc.RestoreDC(1));  // drops level 2 as well
  EXPECT_EQ(dc.BkColor(), clWhite);
  EXPECT_EQ(dc.SaveLevel(), 0);
}

TEST(DCTest, LinesLeaveTheEndPointOut) {
  struct Case {
    Point from, to;
    Region drawn;
  };
  const Case cases[] = {
      {{1, 1}, {5, 1}, R({{1, 1, 5, 2}})},
      {{5, 2}, {1, 2}, R({{2, 2, 6, 3}})},
      {{3, 0}, {3, 4}, R({{3, 0, 4, 4}})},
      {{0, 0}, {3, 3}, R({{0, 0, 1, 1}, {1, 1, 2, 2}, {2, 2, 3, 3}})},
      {{2, 2}, {2, 2}, Region()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from.x << "," << c.from.y << " -> " << c.to.x << "," << c.to.y);
    Bitmap b(8, 8);
    DC dc(b);
    dc.SelectPen({PS_SOLID, 1, clRed});
    dc.MoveTo(c.from.x, c.from.y);
    dc.LineTo(c.to.x, c.to.y);
    EXPECT_EQ(PixelsOf(b, kRed), c.drawn);
    EXPECT_EQ(dc.CurrentPosition(), c.to);
  }
  // A shallow line steps once, at its middle.
  Bitmap b(8, 3);
  DC dc(b);
  dc.MoveTo(0, 0);
  dc.LineTo(6, 1);
  const Pixel black = MakePixel(0, 0, 0);
  EXPECT_EQ(PixelsOf(b, black), R({{0, 0, 3, 1}, {3, 1, 6, 2}}));
  // Polyline neither uses nor moves the current position, nor draws its last point.
  dc.MoveTo(7, 2);
  dc.SelectPen({PS_SOLID, 1, clRed});
  dc.Polyline({{0, 2}, {2, 2}, {2, 0}});
  EXPECT_EQ(dc.CurrentPosition(), (Point{7, 2}));
  EXPECT_EQ(PixelsOf(b, kRed), R({{0, 2, 3, 3}, {2, 1, 3, 2}}));
}

TEST(DCTest, DottedPenDrawsItsPattern) {
  Bitmap b(12, 1);
  DC dc(b);
  dc.SetBkMode(TRANSPARENT);
  dc.SelectPen({PS_DOT, 1, clRed});
  dc.MoveTo(0, 0);
  dc.LineTo(12, 0);
  EXPECT_EQ(PixelsOf(b, kRed), R({{0, 0, 3, 1}, {6, 0, 9, 1}}));
  EXPECT_EQ(b.At(4, 0), kWhite);
  dc.SetBkMode(OPAQUE);
  dc.SetBkColor(clBlue);
  dc.MoveTo(0, 0);
  dc.LineTo(12, 0);
  EXPECT_EQ(PixelsOf(b, kBlue), R({{3, 0, 6, 1}, {9, 0, 12, 1}}));
}

TEST(DCTest, FrameRectAndRectangle) {
  Bitmap b(10, 10);
  DC dc(b);
  dc.FrameRect({1, 1, 6, 5}, clRed);
  EXPECT_EQ(PixelsOf(b, kRed), R({{1, 1, 6, 5}}).Subtracted(R({{2, 2, 5, 4}})));

  Bitmap c(10, 10);
  DC dc2(c);
  dc2.SelectPen({PS_SOLID, 1, clRed});
  dc2.SelectBrush({BS_SOLID, clBlue});
  dc2.Rectangle({7, 6, 1, 1});  // reversed corners are put in order
  EXPECT_EQ(PixelsOf(c, kRed), R({{1, 1, 7, 6}}).Subtracted(R({{2, 2, 6, 5}})));
  EXPECT_EQ(PixelsOf(c, kBlue), R({{2, 2, 6, 5}}));
  // With no pen the filled figure is one pixel smaller.
  Bitmap e(10, 10);
  DC dc3(e);
  dc3.SelectPen({PS_NULL, 1, clRed});
  dc3.SelectBrush({BS_SOLID, clBlue});
  dc3.Rectangle({1, 1, 7, 6});
  EXPECT_EQ(PixelsOf(e, kBlue), R({{1, 1, 6, 5}}));
}

TEST(DCTest, EllipseAndPolygonStayInsideTheirBounds) {
  Bitmap b(24, 24);
  DC dc(b);
  dc.SelectPen({PS_SOLID, 1, clRed});
  dc.SelectBrush({BS_SOLID, clBlue});
  dc.Ellipse({2, 4, 20, 14});
  const Region red = PixelsOf(b, kRed);
  const Region blue = PixelsOf(b, kBlue);
  EXPECT_EQ(red.United(blue).Bounds(), (Rect{2, 4, 20, 14}));
  EXPECT_TRUE(blue.Contains({11, 9}));
  EXPECT_TRUE(red.Contains({2, 9}));
  EXPECT_TRUE(red.Contains({19, 8}));
  EXPECT_EQ(b.At(2, 4), kWhite);   // corners of the box stay
  EXPECT_EQ(b.At(19, 13), kWhite);
  // Symmetric about the box's centre.
  for (int y = 4; y < 14; ++y)
    for (int x = 2; x < 20; ++x) ASSERT_EQ(b.At(x, y), b.At(21 - x, 17 - y)) << x << "," << y;

  Bitmap p(10, 10);
  DC pd(p);
  pd.SelectPen({PS_NULL, 1, clRed});
  pd.SelectBrush({BS_SOLID, clBlue});
  pd.Polygon({{1, 1}, {7, 1}, {7, 5}, {1, 5}});
  EXPECT_EQ(PixelsOf(p, kBlue), R({{1, 1, 7, 5}}));
  pd.SelectPen({PS_SOLID, 1, clRed});
  pd.Polygon({{1, 1}, {7, 1}, {7, 5}, {1, 5}});
  // The outline closes the figure and, being lines, covers the far edges too.
  EXPECT_EQ(PixelsOf(p, kRed), R({{1, 1, 8, 6}}).Subtracted(R({{2, 2, 7, 5}})));
}

TEST(DCTest, FocusRectIsDottedAndUndoesItself) {
  Bitmap b(10, 8, MakePixel(10, 20, 30));
  const Bitmap before = b;
  DC dc(b);
  dc.DrawFocusRect({1, 1, 9, 7});
  int changed = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool border = Rect{1, 1, 9, 7}.Contains(Point{x, y}) && !Rect{2, 2, 8, 6}.Contains(Point{x, y});
      if (b.At(x, y) != before.At(x, y)) {
        ++changed;
        EXPECT_TRUE(border) << x << "," << y;
        EXPECT_EQ(b.At(x, y), MakePixel(245, 235, 225));
      }
    }
  EXPECT_EQ(changed, 12);  // every other one of the 24 border pixels
  EXPECT_NE(b.At(1, 1), b.At(2, 1));
  dc.DrawFocusRect({1, 1, 9, 7});
  EXPECT_EQ(b, before);
}

TEST(DCTest, BitBltRasterOperations) {
  const Pixel s = MakePixel(0xF0, 0x0F, 0x33);
  const Pixel d = MakePixel(0xCC, 0xAA, 0x55);
  const Color brush = RGB(0x12, 0x34, 0x56);
  const Pixel p = ColorToPixel(brush);
  const Pixel rgb = 0x00FFFFFF;
  struct Case {
    const char* name;
    std::uint32_t rop;
    std::function<Pixel(Pixel, Pixel, Pixel)> f;
  };
  const Case cases[] = {
      {"SRCCOPY", SRCCOPY, [](Pixel, Pixel sp, Pixel) { return sp; }},
      {"SRCPAINT", SRCPAINT, [](Pixel, Pixel sp, Pixel dp) { return sp | dp; }},
      {"SRCAND", SRCAND, [](Pixel, Pixel sp, Pixel dp) { return sp & dp; }},
      {"SRCINVERT", SRCINVERT, [](Pixel, Pixel sp, Pixel dp) { return sp ^ dp; }},
      {"SRCERASE", SRCERASE, [](Pixel, Pixel sp, Pixel dp) { return sp & ~dp; }},
      {"NOTSRCCOPY", NOTSRCCOPY, [](Pixel, Pixel sp, Pixel) { return ~sp; }},
      {"NOTSRCERASE", NOTSRCERASE, [](Pixel, Pixel sp, Pixel dp) { return ~(sp | dp); }},
      {"MERGECOPY", MERGECOPY, [](Pixel pp, Pixel sp, Pixel) { return pp & sp; }},
      {"MERGEPAINT", MERGEPAINT, [](Pixel, Pixel sp, Pixel dp) { return ~sp | dp; }},
      {"PATCOPY", PATCOPY, [](Pixel pp, Pixel, Pixel) { return pp; }},
      {"PATPAINT", PATPAINT, [](Pixel pp, Pixel sp, Pixel dp) { return pp | ~sp | dp; }},
      {"PATINVERT", PATINVERT, [](Pixel pp, Pixel, Pixel dp) { return pp ^ dp; }},
      {"DSTINVERT", DSTINVERT, [](Pixel, Pixel, Pixel dp) { return ~dp; }},
      {"BLACKNESS", BLACKNESS, [](Pixel, Pixel, Pixel) { return Pixel{0}; }},
      {"WHITENESS", WHITENESS, [](Pixel, Pixel, Pixel) { return Pixel{0xFFFFFF}; }},
      // A code without a shortcut goes through the generic evaluation: D AND NOT P (0x0A).
      {"DPna", 0x000A0329, [](Pixel pp, Pixel, Pixel dp) { return dp & ~pp; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap src(4, 4, s);
    Bitmap dst(6, 6, d);
    DC sdc(src);
    DC ddc(dst);
    ddc.SelectBrush({BS_SOLID, brush});
    ddc.BitBlt(1, 1, 3, 2, sdc, 0, 0, c.rop);
    const Pixel want = (c.f(p, s, d) & rgb) | 0xFF000000u;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) {
        const bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
        ASSERT_EQ(dst.At(x, y), inside ? want : d) << x << "," << y;
      }
  }
}

TEST(DCTest, BitBltClipsToSourceAndDestination) {
  Bitmap src(4, 4, kRed);
  Bitmap dst(10, 10);
  DC sdc(src);
  DC ddc(dst, {0, 0}, Region::FromRects({{0, 0, 10, 3}, {0, 5, 10, 10}}));
  // The source covers only [2, 4) of columns and rows from (2, 2); the clip cuts rows 3-4.
  ddc.BitBlt(1, 1, 6, 6, sdc, 2, 2, SRCCOPY);
  EXPECT_EQ(PixelsOf(dst, kRed), R({{1, 1, 3, 3}}));
  // SRCCOPY keeps the source's alpha bytes.
  Bitmap alpha(2, 2, 0x80112233u);
  DC adc(alpha);
  ddc.BitBlt(5, 5, 2, 2, adc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.At(5, 5), 0x80112233u);
  // Negative sizes take the rectangle to the left of and above the given corner.
  Bitmap grad(4, 1);
  for (int x = 0; x < 4; ++x) grad.Set(x, 0, MakePixel(x, 0, 0));
  DC gdc(grad);
  Bitmap out(4, 1);
  DC odc(out);
  odc.BitBlt(4, 0, -2, 1, gdc, 3, 0, SRCCOPY);
  EXPECT_EQ(out.At(2, 0), MakePixel(1, 0, 0));
  EXPECT_EQ(out.At(3, 0), MakePixel(2, 0, 0));
  EXPECT_EQ(out.At(1, 0), kWhite);
}

TEST(DCTest, OverlappingCopyActsThroughATemporary) {
  struct Case {
    int dx, dy;
  };
  for (const Case c : {Case{1, 0}, Case{-1, 0}, Case{0, 2}, Case{0, -2}, Case{2, 1}}) {
    SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
    Bitmap b(8, 8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) b.Set(x, y, MakePixel(x, y, 7));
    const Bitmap original = b;
    // A complex clip, so a copy rectangle by rectangle would read pixels already written.
    DC dc(b, {0, 0}, Region::FromRects({{0, 0, 8, 4}, {0, 4, 3, 8}, {5, 4, 8, 8}}));
    dc.BitBlt(2 + c.dx, 2 + c.dy, 4, 4, dc, 2, 2, SRCCOPY);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const Point q{x, y};
        const bool target = Rect::FromSize(2 + c.dx, 2 + c.dy, 4, 4).Contains(q) &&
                            dc.PtVisible(q);
        const Pixel want = target ? original.At(x - c.dx, y - c.dy) : original.At(x, y);
        ASSERT_EQ(b.At(x, y), want) << x << "," << y;
      }
  }
}

TEST(DCTest, StretchBltScalesAndMirrors) {
  Bitmap src(2, 2);
  src.Set(0, 0, MakePixel(1, 0, 0));
  src.Set(1, 0, MakePixel(2, 0, 0));
  src.Set(0, 1, MakePixel(3, 0, 0));
  src.Set(1, 1, MakePixel(4, 0, 0));
  DC sdc(src);
  Bitmap dst(6, 6);
  DC ddc(dst);
  ddc.SetStretchBltMode(COLORONCOLOR);
  ddc.StretchBlt(1, 1, 4, 4, sdc, 0, 0, 2, 2, SRCCOPY);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      Pixel want = kWhite;
      if (x >= 1 && x < 5 && y >= 1 && y < 5) want = src.At((x - 1) / 2, (y - 1) / 2);
      ASSERT_EQ(dst.At(x, y), want) << x << "," << y;
    }

  // A negative destination width mirrors: the rectangle ends at x = 4 (exclusive: 1..3).
  Bitmap row(3, 1);
  for (int x = 0; x < 3; ++x) row.Set(x, 0, MakePixel(10 + x, 0, 0));
  DC rdc(row);
  Bitmap m(5, 1);
  DC mdc(m);
  mdc.StretchBlt(4, 0, -3, 1, rdc, 0, 0, 3, 1, SRCCOPY);
  EXPECT_EQ(m.At(0, 0), kWhite);
  EXPECT_EQ(m.At(1, 0), MakePixel(12, 0, 0));
  EXPECT_EQ(m.At(2, 0), MakePixel(11, 0, 0));
  EXPECT_EQ(m.At(3, 0), MakePixel(10, 0, 0));
  EXPECT_EQ(m.At(4, 0), kWhite);
  // Both negative: mirrored twice, so not at all.
  Bitmap n(3, 1);
  DC ndc(n);
  ndc.StretchBlt(3, 0, -3, 1, rdc, 3, 0, -3, 1, SRCCOPY);
  EXPECT_EQ(n, row);

  // Halving with HALFTONE averages; with COLORONCOLOR picks one pixel.
  Bitmap two(2, 1);
  two.Set(0, 0, MakePixel(0, 0, 0));
  two.Set(1, 0, MakePixel(200, 100, 50));
  DC tdc(two);
  Bitmap one(1, 1);
  DC odc(one);
  odc.SetStretchBltMode(HALFTONE);
  odc.StretchBlt(0, 0, 1, 1, tdc, 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), MakePixel(100, 50, 25));
  odc.SetStretchBltMode(COLORONCOLOR);
  odc.StretchBlt(0, 0, 1, 1, tdc, 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), MakePixel(200, 100, 50));
}

TEST(DCTest, TransparentBltSkipsTheKeyColour) {
  Bitmap src(2, 2, kRed);
  src.Set(1, 0, MakePixel(255, 0, 255));
  DC sdc(src);
  Bitmap dst(6, 6);
  DC ddc(dst);
  ddc.TransparentBlt(1, 1, 4, 4, sdc, 0, 0, 2, 2, clFuchsia);
  EXPECT_EQ(PixelsOf(dst, kRed), R({{1, 1, 5, 5}}).Subtracted(R({{3, 1, 5, 3}})));
  EXPECT_EQ(PixelsOf(dst, kWhite), R({{0, 0, 6, 6}}).Subtracted(PixelsOf(dst, kRed)));
  ddc.TransparentBlt(0, 0, -2, 2, sdc, 0, 0, 2, 2, clFuchsia);  // refused
  EXPECT_EQ(dst.At(0, 0), kWhite);
}

TEST(DCTest, SetDIBitsToDeviceReadsStridedRows) {
  // Two rows of two pixels, each row padded to 8 bytes.
  const std::uint8_t rows[] = {1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 7, 8, 9, 10, 11, 12, 0xEE, 0xEE};
  Bitmap b(4, 4);
  DC dc(b, {0, 0}, Region(Rect{0, 0, 2, 4}));
  dc.SetDIBitsToDevice(1, 1, 2, 2, rows, 8);
  EXPECT_EQ(b.At(1, 1), MakePixel(3, 2, 1));
  EXPECT_EQ(b.At(1, 2), MakePixel(9, 8, 7));
  EXPECT_EQ(b.At(2, 1), kWhite);  // clipped
  EXPECT_EQ(b.At(0, 1), kWhite);
  EXPECT_THROW(dc.SetDIBitsToDevice(0, 0, 3, 1, rows, 8), std::invalid_argument);
}

TEST(DCTest, AlphaBlendStraightAndPremultiplied) {
  Bitmap src(2, 1);
  src.Set(0, 0, MakePixel(200, 0, 0, 128));
  src.Set(1, 0, MakePixel(0, 0, 0, 0));
  Bitmap dst(3, 1, MakePixel(0, 0, 100));
  DC dc(dst);
  dc.AlphaBlend(1, 0, src, {0, 0, 2, 1});
  EXPECT_EQ(dst.At(0, 0), MakePixel(0, 0, 100));
  EXPECT_EQ(dst.At(1, 0), MakePixel(100, 0, 50));
  EXPECT_EQ(dst.At(2, 0), MakePixel(0, 0, 100));
  Bitmap pm(1, 1, MakePixel(100, 0, 0, 128));  // premultiplied 200 at half
  Bitmap dst2(1, 1, MakePixel(0, 0, 100));
  DC dc2(dst2);
  dc2.AlphaBlend(0, 0, pm, {0, 0, 1, 1}, 255, true);
  EXPECT_EQ(dst2.At(0, 0), MakePixel(100, 0, 50));
}

TEST(DCTest, InvertAndPixels) {
  Bitmap b(4, 4, MakePixel(10, 20, 30));
  DC dc(b, {0, 0}, Region(Rect{0, 0, 2, 4}));
  dc.InvertRect({0, 0, 4, 1});
  EXPECT_EQ(b.At(1, 0), MakePixel(245, 235, 225));
  EXPECT_EQ(b.At(2, 0), MakePixel(10, 20, 30));
  dc.SetPixel(1, 1, clLime);
  dc.SetPixel(3, 1, clLime);  // outside the clip
  EXPECT_EQ(dc.GetPixel(1, 1), clLime);
  EXPECT_EQ(b.At(3, 1), MakePixel(10, 20, 30));
  EXPECT_EQ(dc.GetPixel(3, 1), CLR_INVALID);
  dc.PatBlt(2, 4, -2, -2, PATCOPY);  // negative sizes reach left and up
  EXPECT_EQ(b.At(0, 2), kWhite);
  EXPECT_EQ(b.At(1, 3), kWhite);
  EXPECT_EQ(b.At(1, 1), ColorToPixel(clLime));
}

TEST(DCTest, HugeFiguresCostOnlyWhatIsVisible) {
  Bitmap b(8, 4);
  DC dc(b, {2, 0}, Region(b.Bounds()));
  dc.SelectPen({PS_DOT, 1, clRed});
  dc.SetBkMode(TRANSPARENT);
  // A dotted line from far outside keeps its pattern phase where it becomes visible.
  const int start = -100000002;  // logical; 100000004 steps to device x = 0
  dc.MoveTo(start, 1);
  dc.LineTo(100000000, 1);
  for (int x = 0; x < 8; ++x) {
    const long long k = static_cast<long long>(x - 2) - start;
    EXPECT_EQ(b.At(x, 1) == kRed, k % 6 < 3) << x;
  }
  EXPECT_EQ(PixelsOf(b, kRed).Bounds().top, 1);
  EXPECT_EQ(PixelsOf(b, kRed).Bounds().bottom, 2);

  // A destination a hundred million pixels wide: only the visible columns are mapped.
  Bitmap src(2, 1);
  src.Set(0, 0, kRed);
  src.Set(1, 0, kBlue);
  DC sdc(src);
  Bitmap wide(4, 1);
  DC wdc(wide);
  wdc.StretchBlt(0, 0, 100000000, 1, sdc, 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(PixelsOf(wide, kRed), R({{0, 0, 4, 1}}));
  wdc.StretchBlt(-99999998, 0, 100000000, 1, sdc, 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(PixelsOf(wide, kBlue), R({{0, 0, 2, 1}}));

  Bitmap e(6, 6);
  DC edc(e);
  edc.SelectBrush({BS_SOLID, clBlue});
  edc.Ellipse({-100000000, -100000000, 100000000, 100000000});
  EXPECT_EQ(PixelsOf(e, kBlue), R({{0, 0, 6, 6}}));
  // Coordinates beyond the platform's range draw nothing and do not overflow.
  edc.FillRect({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, clRed);
  EXPECT_EQ(PixelsOf(e, kRed), R({{0, 0, 6, 6}}));
  edc.BitBlt(INT_MAX - 1, 0, 4, 4, sdc, 0, 0, SRCCOPY);
  EXPECT_EQ(edc.GetPixel(INT_MAX, 0), CLR_INVALID);
}
