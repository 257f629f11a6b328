// Fonts: alias resolution, metrics, glyph ink against measured extents, bitmap strikes,
// synthesized styles, fallback faces, clipping and the family list.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Region.h"

namespace {

constexpr Pixel kWhite = MakePixel(255, 255, 255);

struct Ink {
  Rect box;        // bounding box of every non-background pixel
  int count = 0;   // number of such pixels
  int partial = 0; // pixels that are neither background nor the text colour
};

Ink InkOf(const Bitmap& b, Pixel background = kWhite, Pixel text = MakePixel(0, 0, 0)) {
  Ink ink;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      const Pixel p = b.At(x, y);
      if (p == background) continue;
      ++ink.count;
      if (p != text) ++ink.partial;
      ink.box.Unite({x, y, x + 1, y + 1});
    }
  }
  return ink;
}

Bitmap Drawn(const Font& font, std::string_view text, int w = 260, int h = 60, int x = 6,
             int y = 6) {
  Bitmap b(w, h, kWhite);
  font.Draw(b, x, y, text, clBlack, Region(b.Bounds()));
  return b;
}

Font Make(const char* face, int height, bool bold = false, bool italic = false) {
  FontSpec spec;
  spec.face = face;
  spec.height = height;
  spec.bold = bold;
  spec.italic = italic;
  return Font(spec);
}

// Mean x of the ink in rows [top, bottom).
double MeanInkX(const Bitmap& b, int top, int bottom) {
  double sum = 0;
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.At(x, y) != kWhite) sum += x, ++n;
  return n ? sum / n : 0;
}

}  // namespace

TEST(FontConfigTest, CompiledInAliasesMatchTheAssetFile) {
  std::ifstream in(std::string(KAVRI_TEST_INPUTS) + "/../../assets/fonts/kavri-fonts.conf",
                   std::ios::binary);
  ASSERT_TRUE(in) << "assets/fonts/kavri-fonts.conf not found";
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), std::string(FontAliasConfig()));
}

TEST(FontConfigTest, SystemFaceNamesResolveToInstalledFaces) {
  const struct {
    const char* face;
    const char* family;
  } cases[] = {
      {"宋体", "AR PL UMing CN"},     {"新宋体", "AR PL UMing CN"}, {"SimSun", "AR PL UMing CN"},
      {"simsun", "AR PL UMing CN"},   {"Arial", "DejaVu Sans"},    {"MS Sans Serif", "DejaVu Sans"},
      {"Tahoma", "DejaVu Sans"},      {"DejaVu Sans", "DejaVu Sans"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Make(c.face, -12).ResolvedFamily(), c.family) << c.face;
    EXPECT_EQ(Make(c.face, 14, true, true).ResolvedFamily(), c.family) << c.face << " bold italic";
  }
  EXPECT_FALSE(Make("No Such Face At All", -12).ResolvedFamily().empty());
  EXPECT_FALSE(Make("", -12).ResolvedFamily().empty());
}

TEST(FontTest, PointsConvertAt96Dpi) {
  const struct {
    int points, height;
  } cases[] = {{12, -16}, {9, -12}, {10, -13}, {1, -1}, {40, -53}, {0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(PointsToHeight(c.points), c.height) << c.points;
    EXPECT_EQ(HeightToPoints(c.height), c.points) << c.height;
  }
  EXPECT_EQ(HeightToPoints(16), 12);
}

TEST(FontTest, MetricsFollowTheHeightConvention) {
  for (const char* face : {"宋体", "Arial"}) {
    const TextMetrics em = Make(face, -16).Metrics();
    EXPECT_EQ(em.ascent + em.descent, em.height) << face;
    EXPECT_EQ(em.height - em.internalLeading, 16) << face;  // the em is what was asked for
    EXPECT_GT(em.aveCharWidth, 3) << face;
    EXPECT_GE(em.maxCharWidth, em.aveCharWidth) << face;
    EXPECT_GT(em.underlineOffset, em.ascent - 1) << face;
    EXPECT_LE(em.underlineOffset + em.underlineThickness, em.height) << face;
    EXPECT_LT(em.strikeOutOffset, em.ascent) << face;

    const TextMetrics cell = Make(face, 14).Metrics();  // a positive height is the cell
    EXPECT_EQ(cell.height, 14) << face;
    EXPECT_EQ(cell.ascent + cell.descent, 14) << face;
    EXPECT_EQ(Make(face, 0).Metrics().height, 16) << face;
  }
  // The Song face's average width is half its em, as a double-byte face's is.
  EXPECT_EQ(Make("宋体", -12).Metrics().aveCharWidth, 6);
}

TEST(FontTest, HostileHeightsAreClampedNotFatal) {
  for (int h : {INT_MIN, -100000, 100000, INT_MAX}) {
    const Font f = Make("Arial", h);
    EXPECT_GT(f.Metrics().height, 0) << h;
    EXPECT_LE(f.Metrics().height, 2048) << h;
  }
}

TEST(FontTest, InkLiesWithinTheMeasuredExtent) {
  const struct {
    const char* face;
    int height;
    const char* text;
  } cases[] = {
      {"Arial", -16, "Hello, World"}, {"Arial", -11, "Quick jumpy g|"},   {"宋体", -12, "汉字测试ABC"},
      {"宋体", -16, "中文，句号。"},  {"宋体", 14, "输入 text"},     {"Arial", -16, "汉字 mixed"},
  };
  for (const auto& c : cases) {
    const Font f = Make(c.face, c.height);
    const Size extent = f.TextExtent(c.text);
    const Bitmap b = Drawn(f, c.text);
    const Ink ink = InkOf(b);
    ASSERT_GT(ink.count, 0) << c.text;
    const Rect cell = Rect::FromSize(6, 6, extent.cx, extent.cy);
    EXPECT_TRUE(cell.Contains(ink.box)) << c.face << " " << c.text;
    // Side bearings only: the extent is not much wider than the ink.
    EXPECT_LE(extent.cx - ink.box.Width(), std::max(4, extent.cx / 10)) << c.text;
    EXPECT_EQ(f.TextWidth(c.text), extent.cx);
  }
}

TEST(FontTest, SongFaceUsesItsBitmapStrikeAtSmallSizes) {
  const Font song = Make("宋体", -12);
  EXPECT_TRUE(song.UsesBitmapStrike());
  const Ink strike = InkOf(Drawn(song, "宋体字的点阵"));
  EXPECT_GT(strike.count, 40);
  EXPECT_EQ(strike.partial, 0);  // pure on/off pixels

  const Font outline = Make("DejaVu Sans", -16);
  EXPECT_FALSE(outline.UsesBitmapStrike());
  EXPECT_GT(InkOf(Drawn(outline, "Smooth curves")).partial, 20);

  const Font big = Make("宋体", -24);  // no strike at this size: smoothed outlines
  EXPECT_FALSE(big.UsesBitmapStrike());
  EXPECT_GT(InkOf(Drawn(big, "宋体")).partial, 20);
}

TEST(FontTest, BoldIsWiderAndDarker) {
  const struct {
    const char* face;
    int height;
    const char* text;
  } cases[] = {{"Arial", -16, "Bold text"}, {"宋体", -12, "粗体字"}, {"宋体", -20, "粗体字"}};
  for (const auto& c : cases) {
    const Font regular = Make(c.face, c.height);
    const Font bold = Make(c.face, c.height, true);
    EXPECT_GT(bold.TextWidth(c.text), regular.TextWidth(c.text)) << c.face << c.height;
    EXPECT_GT(InkOf(Drawn(bold, c.text)).count, InkOf(Drawn(regular, c.text)).count * 11 / 10)
        << c.face << c.height;
  }
  // A synthesized bold strike stays monochrome.
  EXPECT_EQ(InkOf(Drawn(Make("宋体", -12, true), "粗体字")).partial, 0);
}

TEST(FontTest, ItalicLeansTheInkRight) {
  for (const char* face : {"宋体", "Arial"}) {
    const char* text = face[0] == 'A' ? "IIII" : "中中中";
    const Font regular = Make(face, -24);
    const Font italic = Make(face, -24, false, true);
    const Bitmap r = Drawn(regular, text, 200, 50, 6, 6);
    const Bitmap i = Drawn(italic, text, 200, 50, 6, 6);
    const int top = 6, mid = 6 + regular.Metrics().ascent / 2, base = 6 + regular.Metrics().ascent;
    const double leanRegular = MeanInkX(r, top, mid) - MeanInkX(r, mid, base);
    const double leanItalic = MeanInkX(i, top, mid) - MeanInkX(i, mid, base);
    EXPECT_GT(leanItalic - leanRegular, 1.0) << face;
  }
}

TEST(FontTest, MissingCharactersComeFromFallbackFaces) {
  const Font arial = Make("Arial", -16);
  ASSERT_EQ(arial.ResolvedFamily(), "DejaVu Sans");
  EXPECT_TRUE(arial.CanDraw(U'汉'));
  const std::string family = arial.FamilyFor(U'汉');
  EXPECT_TRUE(family.find("UMing") != std::string::npos ||
              family.find("WenQuanYi") != std::string::npos)
      << family;
  EXPECT_EQ(arial.FamilyFor(U'A'), "DejaVu Sans");
  // The fallback glyph is a real ideograph: about an em wide, with plenty of ink.
  EXPECT_GE(arial.CharWidth(U'汉'), 14);
  EXPECT_GT(InkOf(Drawn(arial, "汉")).count, 30);
  // Drawing it again comes from the cache and gives the same pixels.
  EXPECT_EQ(Drawn(arial, "汉字"), Drawn(arial, "汉字"));
}

TEST(FontTest, ControlAndMalformedBytesAreSafe) {
  const Font f = Make("Arial", -16);
  EXPECT_EQ(f.TextWidth("\t\r\n\x01"), 0);
  EXPECT_EQ(f.TextWidth("ab\tc"), f.TextWidth("abc"));
  // Stray bytes and truncated sequences each draw one replacement glyph.
  EXPECT_GT(f.TextWidth("\xff"), 0);
  EXPECT_EQ(f.TextWidth("\xe6\xb1"), 2 * f.TextWidth("\xff"));
  Bitmap b = Drawn(f, "ok\xe6\xb1");
  EXPECT_GT(InkOf(b).count, 0);
}

TEST(FontTest, DrawingStaysInsideTheClip) {
  const Font f = Make("宋体", -16);
  const std::string text = "裁剪区域之外没有墨迹";
  Bitmap b(200, 40, kWhite);
  const Region clip = Region::FromRects({{20, 0, 50, 40}, {80, 12, 120, 16}});
  f.Draw(b, 4, 6, text, clBlack, clip);
  int inside = 0;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      if (b.At(x, y) == kWhite) continue;
      ASSERT_TRUE(clip.Contains({x, y})) << x << "," << y;
      ++inside;
    }
  }
  EXPECT_GT(inside, 20);
  // Partly or wholly off the bitmap is clipped too.
  Bitmap small(10, 10, kWhite);
  f.Draw(small, -30, -5, text, clBlack, Region(Rect{-100, -100, 100, 100}));
  EXPECT_NE(small, Bitmap(10, 10, kWhite));
  Bitmap far(10, 10, kWhite);
  f.Draw(far, 5000, 5000, text, clBlack, Region(far.Bounds()));
  f.Draw(far, INT_MAX - 3, INT_MIN + 2, text, clBlack, Region(far.Bounds()));
  EXPECT_EQ(far, Bitmap(10, 10, kWhite));
}

TEST(FontTest, SmoothedEdgesBlendWithTheBackground) {
  const Font f = Make("DejaVu Sans", -16);
  const Pixel bg = MakePixel(0, 0, 200);
  Bitmap b(120, 30, bg);
  f.Draw(b, 2, 2, "soft", RGB(255, 0, 0), Region(b.Bounds()));
  int blended = 0;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      const Pixel p = b.At(x, y);
      EXPECT_EQ(PixelG(p), 0);
      EXPECT_EQ(PixelA(p), 255);
      if (PixelR(p) > 0 && PixelR(p) < 255) {
        ++blended;
        EXPECT_GT(PixelB(p), 0);  // some of the blue shows through
        EXPECT_LT(PixelB(p), 200);
      }
    }
  }
  EXPECT_GT(blended, 10);
}

TEST(FontTest, UnderlineAndStrikeOutSpanTheText) {
  FontSpec spec;
  spec.face = "Arial";
  spec.height = -16;
  spec.underline = true;
  const Font under(spec);
  spec.underline = false;
  spec.strikeOut = true;
  const Font struck(spec);
  const int width = under.TextWidth("a b");
  for (const Font* f : {&under, &struck}) {
    const Bitmap b = Drawn(*f, "a b", 100, 40, 10, 5);
    const TextMetrics& m = f->Metrics();
    const int row = 5 + (f == &under ? m.underlineOffset : m.strikeOutOffset);
    for (int x = 10; x < 10 + width; ++x) EXPECT_EQ(b.At(x, row), MakePixel(0, 0, 0)) << x;
    EXPECT_EQ(b.At(10 + width, row), kWhite);
    EXPECT_EQ(b.At(9, row), kWhite);
  }
}

TEST(FontFamiliesTest, SortedDistinctAndIncludesAliases) {
  const std::vector<std::string>& families = FontFamilies();
  ASSERT_FALSE(families.empty());
  for (const char* name : {"DejaVu Sans", "AR PL UMing CN", "WenQuanYi Micro Hei", "宋体", "Arial"})
    EXPECT_NE(std::find(families.begin(), families.end(), name), families.end()) << name;
  for (std::size_t i = 1; i < families.size(); ++i) {
    std::string a = families[i - 1], b = families[i];
    std::transform(a.begin(), a.end(), a.begin(), [](unsigned char c) { return std::tolower(c); });
    std::transform(b.begin(), b.end(), b.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_LT(a, b) << families[i - 1] << " / " << families[i];
  }
  // Localized duplicates of a family are not listed.
  EXPECT_EQ(std::find(families.begin(), families.end(), "文泉驿微米黑"), families.end());
  EXPECT_EQ(&FontFamilies(), &families);
  EXPECT_EQ(QueryFontFamilies(), families);
}
