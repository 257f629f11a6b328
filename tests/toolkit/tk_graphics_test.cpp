// Fonts, canvases on bitmaps, transparent and alpha drawing, pictures, icons, image lists.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/gfx/Bmp.h"
#include "toolkit/Bitmaps.h"
#include "toolkit/ImgList.h"

namespace {

struct SizeCase {
  int points;
  int height;
};

class TkFontSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(TkFontSize, PointsAndPixelsAt96Dpi) {
  TFont f;
  f.SetSize(GetParam().points);
  EXPECT_EQ(f.Height(), GetParam().height);
  EXPECT_EQ(f.Size(), GetParam().points);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TkFontSize,
                         ::testing::Values(SizeCase{8, -11}, SizeCase{9, -12}, SizeCase{12, -16},
                                           SizeCase{13, -17}, SizeCase{40, -53}, SizeCase{1, -1}));

TEST(TkFont, PositiveHeightGivesNegativeSizeAndSpecFollowsStyle) {
  TFont f;
  EXPECT_EQ(f.Name(), "MS Sans Serif");
  EXPECT_EQ(f.Size(), 8);
  int changes = 0;
  f.OnChange = [&](TObject*) { ++changes; };
  f.SetHeight(14);
  EXPECT_EQ(f.Size(), -11);
  f.SetStyle(fsBold | fsItalic);
  f.SetName("\xE5\xAE\x8B\xE4\xBD\x93");
  f.SetColor(clRed);
  f.SetColor(clRed);  // no change, no event
  EXPECT_EQ(changes, 4);
  FontSpec s = f.Spec();
  EXPECT_EQ(s.height, 14);
  EXPECT_TRUE(s.bold);
  EXPECT_TRUE(s.italic);
  EXPECT_FALSE(s.underline);
  TFont g;
  g.Assign(&f);
  EXPECT_TRUE(g == f);
}

TEST(TkCanvas, FillFrameAndPixelsOnABitmap) {
  TBitmap b(10, 8);
  TCanvas& c = b.Canvas();
  c.Brush().SetColor(clRed);
  c.FillRect(Rect(2, 2, 6, 5));
  EXPECT_EQ(c.Pixels(2, 2), clRed);
  EXPECT_EQ(c.Pixels(5, 4), clRed);
  EXPECT_EQ(c.Pixels(6, 4), clWhite);  // right and bottom edges stay out
  EXPECT_EQ(c.Pixels(5, 5), clWhite);
  c.Brush().SetColor(clBtnFace);  // system colours are resolved
  c.FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(c.Pixels(0, 0), ColorToRGB(clBtnFace));
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.FillRect(Rect(0, 0, 10, 8));  // a clear brush paints nothing
  EXPECT_EQ(c.Pixels(9, 7), clWhite);
  c.SetPixels(9, 7, clBlue);
  EXPECT_EQ(b.Image().GetPixelColor(9, 7), clBlue);
}

TEST(TkCanvas, ResizingTheBitmapKeepsTheCanvasUsable) {
  TBitmap b(4, 4);
  b.Canvas().Brush().SetColor(clLime);
  b.Canvas().FillRect(Rect(0, 0, 4, 4));
  b.SetSize(20, 20);
  b.Canvas().FillRect(Rect(10, 10, 20, 20));
  EXPECT_EQ(b.Canvas().Pixels(19, 19), clLime);
  EXPECT_EQ(b.Canvas().Pixels(3, 3), clLime);    // old pixels stay
  EXPECT_EQ(b.Canvas().Pixels(5, 5), clWhite);   // new ones are white
}

TEST(TkCanvas, TextIsMeasuredAndDrawnInTheFontColour) {
  TBitmap b(60, 20);
  TCanvas& c = b.Canvas();
  c.Font().SetHeight(-14);
  c.Font().SetColor(clBlack);
  int w = c.TextWidth("Wq");
  EXPECT_GT(w, 0);
  EXPECT_GT(c.TextHeight("Wq"), 0);
  EXPECT_GT(c.TextWidth("WqWq"), w);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.TextOut(2, 2, "W");
  bool ink = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ink = ink || b.Image().GetPixelColor(x, y) != clWhite;
  EXPECT_TRUE(ink);
  for (int y = 0; y < 20; ++y)
    EXPECT_EQ(b.Image().GetPixelColor(50, y), clWhite);
}

TEST(TkBitmap, TransparentDrawSkipsTheBottomLeftColour) {
  TBitmap glyph(3, 3);
  glyph.Canvas().Brush().SetColor(clFuchsia);
  glyph.Canvas().FillRect(Rect(0, 0, 3, 3));
  glyph.Canvas().SetPixels(1, 1, clNavy);
  glyph.SetTransparent(true);
  EXPECT_EQ(glyph.TransparentColor(), clFuchsia);
  TBitmap target(5, 5);
  target.Canvas().Draw(1, 1, &glyph);
  EXPECT_EQ(target.Canvas().Pixels(2, 2), clNavy);
  EXPECT_EQ(target.Canvas().Pixels(1, 1), clWhite);
  glyph.SetTransparent(false);
  target.Canvas().Draw(1, 1, &glyph);
  EXPECT_EQ(target.Canvas().Pixels(1, 1), clFuchsia);
  target.Canvas().StretchDraw(Rect(0, 0, 5, 5), &glyph);
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clFuchsia);
  EXPECT_EQ(target.Canvas().Pixels(2, 2), clNavy);
}

TEST(TkBitmap, SaveLoadRoundTripAndDamagedDataKeepsThePicture) {
  TBitmap b(5, 3);
  b.Canvas().SetPixels(4, 2, clTeal);
  std::vector<std::uint8_t> bytes = b.SaveToStream();
  TBitmap c;
  c.LoadFromStream(bytes);
  EXPECT_EQ(c.Width(), 5);
  EXPECT_EQ(c.Canvas().Pixels(4, 2), clTeal);
  EXPECT_EQ(c.PixelFormat(), TPixelFormat::pf24bit);
  std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + 30);
  EXPECT_THROW(c.LoadFromStream(cut), InvalidGraphic);
  EXPECT_EQ(c.Width(), 5);
  std::string path = std::string(KAVRI_BINARY_DIR) + "/tk_bitmap.bmp";
  b.SetPixelFormat(TPixelFormat::pf8bit);
  b.SaveToFile(path);
  TBitmap d;
  d.LoadFromFile(path);
  EXPECT_EQ(d.PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(d.Image().GetPixelColor(4, 2), clTeal);
  std::remove(path.c_str());
  EXPECT_THROW(d.LoadFromFile(path), EFOpenError);
  TBitmap e;
  e.Assign(&d);
  EXPECT_TRUE(e.Image() == d.Image());
  e.Assign(nullptr);
  EXPECT_TRUE(e.Empty());
}

// A 2x2 icon of 24 bits with a mask that clears the top-left pixel.
std::vector<std::uint8_t> TinyIcon() {
  std::vector<std::uint8_t> ico = {0, 0, 1, 0, 1, 0};
  auto put16 = [&](int v) { ico.push_back(v & 0xFF); ico.push_back((v >> 8) & 0xFF); };
  auto put32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) ico.push_back((v >> (8 * i)) & 0xFF); };
  const std::uint32_t dibSize = 40 + 2 * 8 + 2 * 4;
  ico.insert(ico.end(), {2, 2, 0, 0});
  put16(1);
  put16(24);
  put32(dibSize);
  put32(22);
  put32(40); put32(2); put32(4); put16(1); put16(24); put32(0); put32(0);
  put32(0); put32(0); put32(0); put32(0);
  // Colour rows bottom-up: bottom row blue, blue; top row red, green (BGR), padded to 8.
  ico.insert(ico.end(), {255, 0, 0, 255, 0, 0, 0, 0});
  ico.insert(ico.end(), {0, 0, 255, 0, 255, 0, 0, 0});
  // Mask rows bottom-up: bottom row opaque, top row first pixel clear.
  ico.insert(ico.end(), {0x00, 0, 0, 0});
  ico.insert(ico.end(), {0x80, 0, 0, 0});
  return ico;
}

TEST(TkIcon, ReadsBitmapEntriesWithTheirMask) {
  TIcon icon;
  icon.LoadFromStream(TinyIcon());
  ASSERT_EQ(icon.Width(), 2);
  ASSERT_EQ(icon.Height(), 2);
  EXPECT_EQ(PixelA(icon.Image().At(0, 0)), 0);
  EXPECT_EQ(icon.Image().At(1, 0), MakePixel(0, 255, 0));
  EXPECT_EQ(icon.Image().At(0, 1), MakePixel(0, 0, 255));
  TBitmap target(2, 2);
  target.Canvas().Draw(0, 0, &icon);
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clWhite);
  EXPECT_EQ(target.Canvas().Pixels(1, 0), clLime);
}

TEST(TkIcon, DamagedIconsAreRejected) {
  std::vector<std::uint8_t> ico = TinyIcon();
  std::vector<std::vector<std::uint8_t>> bad;
  bad.push_back(std::vector<std::uint8_t>(ico.begin(), ico.begin() + 10));  // short directory
  auto offset = ico;
  offset[18] = 0xF0;  // entry beyond the file
  bad.push_back(offset);
  auto rows = std::vector<std::uint8_t>(ico.begin(), ico.begin() + 22 + 40 + 4);  // rows cut
  rows[14] = 44;
  bad.push_back(rows);
  auto depth = ico;
  depth[22 + 14] = 7;  // no such depth
  bad.push_back(depth);
  bad.push_back({1, 2, 3});
  for (std::size_t i = 0; i < bad.size(); ++i) {
    TIcon icon;
    EXPECT_THROW(icon.LoadFromStream(bad[i]), InvalidGraphic) << "case " << i;
    EXPECT_TRUE(icon.Empty());
  }
}

TEST(TkPicture, TellsFormatsApartAndKeepsItsGraphicOnFailure) {
  TPicture p;
  int changes = 0;
  p.OnChange = [&](TObject*) { ++changes; };
  p.LoadFromStream(TinyIcon());
  EXPECT_NE(dynamic_cast<TIcon*>(p.Graphic()), nullptr);
  TBitmap b(3, 4);
  p.LoadFromStream(b.SaveToStream());
  EXPECT_NE(dynamic_cast<TBitmap*>(p.Graphic()), nullptr);
  EXPECT_EQ(p.Height(), 4);
  EXPECT_THROW(p.LoadFromStream(std::vector<std::uint8_t>{'G', 'I', 'F'}), InvalidGraphic);
  EXPECT_EQ(p.Height(), 4);
  p.Bitmap().SetSize(7, 7);  // changes through the graphic reach the picture
  EXPECT_EQ(p.Width(), 7);
  EXPECT_GE(changes, 3);
  p.Clear();
  EXPECT_EQ(p.Graphic(), nullptr);
}

TEST(TkImageList, MaskedStripsSplitIntoImages) {
  TImageList list(nullptr);
  list.SetWidth(2);
  list.SetHeight(2);
  TBitmap strip(6, 2);  // three images; white is the mask colour (bottom-left)
  strip.Canvas().SetPixels(0, 0, clRed);
  strip.Canvas().SetPixels(3, 1, clBlue);
  EXPECT_EQ(list.AddMasked(strip, clDefault), 0);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(PixelA(list.Image(0).At(0, 0)), 255);
  EXPECT_EQ(PixelA(list.Image(0).At(1, 0)), 0);
  TBitmap target(4, 4);
  target.Canvas().Brush().SetColor(clBlack);
  target.Canvas().FillRect(Rect(0, 0, 4, 4));
  list.Draw(target.Canvas(), 1, 1, 1);
  EXPECT_EQ(target.Canvas().Pixels(2, 2), clBlue);
  EXPECT_EQ(target.Canvas().Pixels(1, 1), clBlack);
  list.Draw(target.Canvas(), 0, 0, 7);  // no such image: nothing drawn
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clBlack);
  TBitmap out;
  list.GetBitmap(0, out);
  EXPECT_EQ(out.Canvas().Pixels(0, 0), clRed);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_THROW(list.Delete(5), EInvalidOperation);
  list.SetWidth(4);  // a new size empties the list
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace

namespace {

TEST(TkCanvas, PenAndBrushChangesApplyToTheNextShape) {
  TBitmap b(20, 20);
  TCanvas& c = b.Canvas();
  c.Pen().SetColor(clRed);
  c.Brush().SetColor(clBlue);
  c.Rectangle(Rect(0, 0, 10, 10));
  EXPECT_EQ(c.Pixels(0, 0), clRed);   // outline
  EXPECT_EQ(c.Pixels(5, 5), clBlue);  // inside
  EXPECT_EQ(c.Pixels(10, 10), clWhite);
  c.Pen().SetColor(clLime);
  c.MoveTo(0, 15);
  c.LineTo(10, 15);
  EXPECT_EQ(c.Pixels(5, 15), clLime);
  EXPECT_EQ(c.Pixels(10, 15), clWhite);  // the end point is not drawn
  EXPECT_EQ(c.PenPos(), Point(10, 15));
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.Pen().SetColor(clBlack);
  c.Rectangle(Rect(12, 12, 19, 19));  // a clear brush leaves the inside
  EXPECT_EQ(c.Pixels(12, 12), clBlack);
  EXPECT_EQ(c.Pixels(15, 15), clWhite);
  c.Brush().SetColor(clYellow);  // a colour makes the brush solid again
  c.FillRect(Rect(14, 14, 16, 16));
  EXPECT_EQ(c.Pixels(15, 15), clYellow);
}

TEST(TkCanvas, CopyRectScalesAndTextRectClips) {
  TBitmap src(4, 4);
  src.Canvas().Brush().SetColor(clGreen);
  src.Canvas().FillRect(Rect(0, 0, 2, 4));
  TBitmap dst(8, 8);
  dst.Canvas().CopyRect(Rect(0, 0, 8, 8), src.Canvas(), Rect(0, 0, 4, 4));
  EXPECT_EQ(dst.Canvas().Pixels(3, 7), clGreen);
  EXPECT_EQ(dst.Canvas().Pixels(4, 0), clWhite);
  TBitmap text(40, 20);
  TCanvas& t = text.Canvas();
  t.Font().SetHeight(-16);
  t.Font().SetColor(clBlack);
  t.Brush().SetColor(clSilver);
  t.TextRect(Rect(0, 0, 10, 20), 0, 0, "WWWWWW");
  EXPECT_EQ(t.Pixels(9, 19), clSilver);  // the opaque brush filled the rectangle, below the W
  for (int y = 0; y < 20; ++y)
    for (int x = 10; x < 40; ++x) ASSERT_EQ(t.Pixels(x, y), clWhite) << x << "," << y;
  bool ink = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 10; ++x) ink = ink || t.Pixels(x, y) == clBlack;
  EXPECT_TRUE(ink);
}

}  // namespace
