// Text on a device context: TextOut cells and clipping, DrawText alignment, wrapping,
// measuring, prefixes, ellipsis, tabs and line breaks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/gfx/DC.h"

namespace {

constexpr Pixel kWhite = MakePixel(255, 255, 255);

Rect InkBox(const Bitmap& b, Pixel background = kWhite) {
  Rect box;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.At(x, y) != background) box.Unite({x, y, x + 1, y + 1});
  return box;
}

bool InkOutside(const Bitmap& b, const Rect& allowed) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.At(x, y) != kWhite && !allowed.Contains(Point{x, y})) return true;
  return false;
}

Font Make(const char* face, int height, bool underline = false) {
  FontSpec spec;
  spec.face = face;
  spec.height = height;
  spec.underline = underline;
  return Font(spec);
}

struct Canvas {
  Bitmap bitmap;
  DC dc;
  explicit Canvas(const Font& font, int w = 240, int h = 120)
      : bitmap(w, h, kWhite), dc(bitmap) {
    dc.SelectFont(font);
    dc.SetBkMode(TRANSPARENT);
  }
};

int Lines(int height, const Font& f) { return height / f.Metrics().height; }

}  // namespace

TEST(TextOutTest, DrawsTheCellAtTheOriginAndFillsItWhenOpaque) {
  const Font f = Make("Arial", -16);
  Bitmap b(200, 60, kWhite);
  DC dc(b, Point{10, 5}, Region(b.Bounds()));
  dc.SelectFont(f);
  dc.SetBkMode(OPAQUE);
  dc.SetBkColor(RGB(0, 255, 0));
  dc.TextOut(20, 10, "Opaque");
  const Size extent = dc.GetTextExtent("Opaque");
  EXPECT_EQ(extent, f.TextExtent("Opaque"));
  const Rect cell = Rect::FromSize(30, 15, extent.cx, extent.cy);
  EXPECT_EQ(InkBox(b), cell);  // the whole cell and nothing else
  EXPECT_EQ(b.At(cell.left, cell.top), MakePixel(0, 255, 0));
  int dark = 0;
  for (int y = cell.top; y < cell.bottom; ++y)
    for (int x = cell.left; x < cell.right; ++x) dark += PixelR(b.At(x, y)) < 64 && PixelG(b.At(x, y)) < 64;
  EXPECT_GT(dark, 20);
  EXPECT_EQ(dc.GetTextMetrics().height, f.Metrics().height);

  Bitmap t(200, 60, kWhite);
  DC tdc(t);
  tdc.SelectFont(f);
  tdc.SetBkMode(TRANSPARENT);
  tdc.TextOut(20, 10, "Opaque");
  const Rect ink = InkBox(t);
  EXPECT_TRUE(Rect::FromSize(20, 10, extent.cx, extent.cy).Contains(ink));
  EXPECT_LT(ink.Height(), extent.cy);
}

TEST(TextOutTest, RespectsTheClipRegion) {
  const Font f = Make("宋体", -16);
  Bitmap b(200, 40, kWhite);
  DC dc(b, Point{0, 0}, Region(Rect{0, 0, 150, 40}));
  dc.SelectFont(f);
  dc.SetBkMode(OPAQUE);
  dc.SetBkColor(clRed);
  dc.IntersectClipRect({30, 0, 200, 40});
  dc.ExcludeClipRect({60, 0, 80, 40});
  dc.TextOut(0, 4, "裁剪区域之外没有墨迹裁剪区域之外没有墨迹");
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (x < 30 || (x >= 60 && x < 80) || x >= 150) {
        ASSERT_EQ(b.At(x, y), kWhite) << x << "," << y;
      }
  EXPECT_NE(b.At(40, 6), kWhite);
  EXPECT_NE(b.At(100, 6), kWhite);
}

TEST(DrawTextTest, SingleLineAlignment) {
  const Font f = Make("Arial", -16);
  const std::string text = "Align me";
  const int w = f.TextWidth(text), h = f.Metrics().height;
  const Rect r{20, 10, 220, 90};
  const struct {
    std::uint32_t format;
    int x, y;
  } cases[] = {
      {DT_LEFT | DT_TOP, 20, 10},
      {DT_CENTER, 20 + (200 - w) / 2, 10},
      {DT_RIGHT, 220 - w, 10},
      {DT_VCENTER, 20, 10 + (80 - h) / 2},
      {DT_BOTTOM | DT_RIGHT, 220 - w, 90 - h},
      {DT_CENTER | DT_VCENTER, 20 + (200 - w) / 2, 10 + (80 - h) / 2},
  };
  for (const auto& c : cases) {
    Canvas canvas(f);
    Rect rect = r;
    const int result = canvas.dc.DrawText(text, rect, c.format | DT_SINGLELINE);
    EXPECT_EQ(rect, r);
    const Rect ink = InkBox(canvas.bitmap);
    EXPECT_TRUE(Rect::FromSize(c.x, c.y, w, h).Contains(ink)) << std::hex << c.format;
    EXPECT_LE(ink.left - c.x, 2) << std::hex << c.format;
    EXPECT_LE(c.x + w - ink.right, 2) << std::hex << c.format;
    // With vertical alignment the result reaches from the rectangle's top to the text's bottom.
    EXPECT_EQ(result, c.y - r.top + h) << std::hex << c.format;
  }
}

TEST(DrawTextTest, CalcRectMeasuresWithoutDrawing) {
  const Font f = Make("Arial", -16);
  const int h = f.Metrics().height;
  const struct {
    const char* text;
    std::uint32_t format;
    int lines;
    int width;
  } cases[] = {
      {"one line", DT_SINGLELINE, 1, f.TextWidth("one line")},
      {"a\nbb\r\nccc", 0, 3, f.TextWidth("ccc")},
      {"a\rbb", 0, 2, f.TextWidth("bb")},
      {"trailing\n", 0, 1, f.TextWidth("trailing")},
      {"\n\nx", 0, 3, f.TextWidth("x")},
      {"a\nbb", DT_SINGLELINE, 1, f.TextWidth("abb")},
      {"", 0, 0, 0},
  };
  for (const auto& c : cases) {
    Canvas canvas(f);
    Rect rect{5, 7, 200, 100};
    const int result = canvas.dc.DrawText(c.text, rect, c.format | DT_CALCRECT);
    EXPECT_EQ(result, c.lines * h) << c.text;
    EXPECT_EQ(rect, Rect::FromSize(5, 7, c.width, c.lines * h)) << c.text;
    EXPECT_TRUE(InkBox(canvas.bitmap).IsEmpty()) << c.text;
  }
}

TEST(DrawTextTest, WordBreakWrapsAtSpacesBetweenIdeographsAndInsideLongWords) {
  const Font latin = Make("Arial", -16);
  const Font song = Make("宋体", -16);
  const int ideograph = song.CharWidth(U'汉');
  const struct {
    const Font* font;
    const char* text;
    int width;
    int lines;
    int widest;
  } cases[] = {
      {&latin, "aa bb cc", latin.TextWidth("aa bb"), 2, latin.TextWidth("aa bb")},
      {&latin, "aa bb aa", latin.TextWidth("aa bb") - 1, 3,
       std::max(latin.TextWidth("aa"), latin.TextWidth("bb"))},
      {&latin, "aa    bb", latin.TextWidth("aa  "), 2, latin.TextWidth("aa")},  // spaces eaten
      {&latin, "aaaaaaaaaa", latin.TextWidth("aaaa"), 3, latin.TextWidth("aaaa")},
      {&song, "汉字汉字汉字", ideograph * 5 / 2, 3, 2 * ideograph},
      {&song, "汉字 ab汉字", ideograph * 3, 2, song.TextWidth("ab汉字")},
      // A closing comma never begins a line: it takes the ideograph before it along.
      {&song, "汉字，汉字", ideograph * 2, 3, song.TextWidth("字，")},
      {&latin, "one\ntwo three", latin.TextWidth("three"), 3, latin.TextWidth("three")},
      {&latin, "fits on one", 500, 1, latin.TextWidth("fits on one")},
  };
  for (const auto& c : cases) {
    Canvas measured(*c.font);
    Rect rect{0, 0, c.width, 10};
    const int h = c.font->Metrics().height;
    EXPECT_EQ(measured.dc.DrawText(c.text, rect, DT_WORDBREAK | DT_CALCRECT), c.lines * h) << c.text;
    EXPECT_EQ(rect.Width(), c.widest) << c.text;

    Canvas drawn(*c.font, 600, 200);
    Rect target{10, 10, 10 + c.width, 190};
    EXPECT_EQ(drawn.dc.DrawText(c.text, target, DT_WORDBREAK), c.lines * h) << c.text;
    const Rect ink = InkBox(drawn.bitmap);
    EXPECT_EQ(Lines(ink.bottom - 10 + h - 1, *c.font), c.lines) << c.text;
    EXPECT_LE(ink.right, 10 + c.width) << c.text;
  }
}

TEST(DrawTextTest, WrappedLinesHoldTheRightCharacters) {
  const Font latin = Make("Arial", -16);
  const Font song = Make("宋体", -16);
  const int ideograph = song.CharWidth(U'汉');
  const struct {
    const Font* font;
    const char* text;
    int width;
    std::vector<const char*> lines;
  } cases[] = {
      {&song, "汉字，好", ideograph * 2, {"汉", "字，", "好"}},
      {&song, "汉（字", ideograph * 2, {"汉", "（字"}},
      {&song, "汉字好", ideograph * 2, {"汉字", "好"}},
      {&latin, "aa bb", latin.TextWidth("aa b"), {"aa", "bb"}},
      {&latin, "aa  bb cc", latin.TextWidth("aa bb"), {"aa", "bb cc"}},
      {&latin, "  lead", latin.TextWidth("  lead"), {"  lead"}},
  };
  for (const auto& c : cases) {
    Canvas drawn(*c.font);
    Rect r{10, 10, 10 + c.width, 110};
    drawn.dc.DrawText(c.text, r, DT_WORDBREAK);
    Canvas expected(*c.font);
    for (std::size_t i = 0; i < c.lines.size(); ++i)
      expected.dc.TextOut(10, 10 + static_cast<int>(i) * c.font->Metrics().height, c.lines[i]);
    EXPECT_EQ(drawn.bitmap, expected.bitmap) << c.text;
  }
}

TEST(DrawTextTest, PrefixesUnderlineTheMarkedCharacter) {
  const Font f = Make("Arial", -16);
  const TextMetrics& m = f.Metrics();
  const struct {
    const char* text;
    std::uint32_t format;
    const char* shown;
    bool underline;
  } cases[] = {
      {"&File", 0, "File", true},           {"&File", DT_HIDEPREFIX, "File", false},
      {"&File", DT_NOPREFIX, "&File", false}, {"a&&b", 0, "a&b", false},
      {"end&", 0, "end", false},
  };
  for (const auto& c : cases) {
    Canvas measured(f);
    Rect rect{0, 0, 200, 50};
    measured.dc.DrawText(c.text, rect, c.format | DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(rect.Width(), f.TextWidth(c.shown)) << c.text;

    Canvas drawn(f);
    Rect target{10, 10, 200, 60};
    drawn.dc.DrawText(c.text, target, c.format | DT_SINGLELINE);
    const int row = 10 + m.underlineOffset;
    int run = 0;
    for (int x = 10; x < 10 + f.TextWidth(c.shown); ++x) run += drawn.bitmap.At(x, row) == MakePixel(0, 0, 0);
    if (c.underline) {
      // The line runs under "F" only.
      EXPECT_EQ(run, f.CharWidth(U'F')) << c.text;
      EXPECT_EQ(drawn.bitmap.At(10 + f.CharWidth(U'F') + 1, row), kWhite) << c.text;
    } else {
      EXPECT_LT(run, 3) << c.text;
    }
  }
}

TEST(DrawTextTest, EndEllipsisShortensWhatDoesNotFit) {
  const Font f = Make("Arial", -16);
  const int width = f.TextWidth("Hello wo...");
  ASSERT_GT(f.TextWidth("Hello wor..."), width + 1);
  Canvas measured(f);
  Rect rect{0, 0, width + 1, 30};
  measured.dc.DrawText("Hello world, this is long", rect, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_EQ(rect.Width(), width);

  Canvas drawn(f);
  Rect target{4, 4, 4 + width + 1, 40};
  drawn.dc.DrawText("Hello world, this is long", target, DT_SINGLELINE | DT_END_ELLIPSIS);
  Canvas expected(f);
  expected.dc.TextOut(4, 4, "Hello wo...");
  EXPECT_EQ(drawn.bitmap, expected.bitmap);

  // Text that fits is left alone.
  Canvas whole(f);
  Rect wide{0, 0, 300, 30};
  whole.dc.DrawText("Short", wide, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_EQ(wide.Width(), f.TextWidth("Short"));
}

TEST(DrawTextTest, ClipsToTheRectangleUnlessNoClip) {
  const Font f = Make("Arial", -16);
  const Rect r{20, 10, 60, 40};
  Canvas clipped(f);
  Rect a = r;
  clipped.dc.DrawText("much wider than the box", a, DT_SINGLELINE);
  EXPECT_FALSE(InkOutside(clipped.bitmap, r));
  EXPECT_FALSE(InkBox(clipped.bitmap).IsEmpty());

  Canvas unclipped(f);
  Rect b = r;
  unclipped.dc.DrawText("much wider than the box", b, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_TRUE(InkOutside(unclipped.bitmap, r));
  // The context's own clip still holds.
  Canvas limited(f);
  limited.dc.IntersectClipRect({0, 0, 90, 120});
  Rect c = r;
  limited.dc.DrawText("much wider than the box", c, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_FALSE(InkOutside(limited.bitmap, {0, 0, 90, 120}));
}

TEST(DrawTextTest, TabsExpandToStopsOfEightAverageWidths) {
  const Font f = Make("Arial", -16);
  const int stop = 8 * f.Metrics().aveCharWidth;
  Canvas canvas(f);
  Rect expanded{0, 0, 400, 30};
  canvas.dc.DrawText("a\tb", expanded, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
  EXPECT_EQ(expanded.Width(), stop + f.CharWidth(U'b'));
  Rect twoStops{0, 0, 400, 30};
  canvas.dc.DrawText("a\t\tb", twoStops, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
  EXPECT_EQ(twoStops.Width(), 2 * stop + f.CharWidth(U'b'));
  Rect plain{0, 0, 400, 30};
  canvas.dc.DrawText("a\tb", plain, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(plain.Width(), f.TextWidth("ab"));

  Rect target{0, 0, 400, 30};
  canvas.dc.DrawText("a\tb", target, DT_SINGLELINE | DT_EXPANDTABS);
  const Rect ink = InkBox(canvas.bitmap);
  EXPECT_GE(ink.right, stop);  // "b" sits at the tab stop
  EXPECT_LE(ink.right, stop + f.CharWidth(U'b'));
}

TEST(DrawTextTest, OpaqueFillsEachLineCellAndDecorationsAreDrawn) {
  const Font f = Make("Arial", -16, true);
  Canvas canvas(f);
  canvas.dc.SetBkMode(OPAQUE);
  canvas.dc.SetBkColor(clBlue);
  Rect r{10, 10, 230, 110};
  canvas.dc.DrawText("wide line\nx", r, 0);
  const int h = f.Metrics().height;
  const Pixel blue = MakePixel(0, 0, 255);
  EXPECT_EQ(canvas.bitmap.At(10, 10), blue);
  EXPECT_EQ(canvas.bitmap.At(10 + f.TextWidth("wide line") - 1, 10), blue);
  EXPECT_EQ(canvas.bitmap.At(10 + f.TextWidth("wide line"), 10), kWhite);
  EXPECT_EQ(canvas.bitmap.At(10 + f.TextWidth("x"), 10 + h), kWhite);  // second cell is narrower
  EXPECT_EQ(canvas.bitmap.At(10, 10 + 2 * h), kWhite);
  // The underline of an underlined font runs along each line.
  const int row = 10 + f.Metrics().underlineOffset;
  for (int x = 10; x < 10 + f.TextWidth("wide line"); ++x)
    EXPECT_EQ(canvas.bitmap.At(x, row), MakePixel(0, 0, 0)) << x;
}
