// The scan from a captured memo to lines of cells, on hand-built bitmaps.
#include <gtest/gtest.h>

#include "core/ArtScan.h"

static const Pixel kWhite = MakePixel(255, 255, 255);
static const Pixel kInk = MakePixel(0, 0, 0);
static const std::string kFill = "爱";
static const std::string kBack = "  ";

// A W x H capture, all white, with ink at the given (x, y) points.
static Bitmap Capture(int width, int height, std::initializer_list<std::pair<int, int>> ink = {}) {
  Bitmap bitmap(width, height, kWhite);
  for (const auto& [x, y] : ink) bitmap.Set(x, y, kInk);
  return bitmap;
}

TEST(ArtScan, AllWhiteRowsGiveNothing) {
  EXPECT_TRUE(ScanArtLines(Capture(20, 20), kFill, kBack).empty());
}

TEST(ArtScan, InkAtColumnThreeGivesThreeBackgroundsAndOneFill) {
  const auto lines = ScanArtLines(Capture(20, 20, {{3, 1}}), "爱", "  ");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "      爱");
  EXPECT_EQ(lines[0].size(), 9u);  // 8 columns: six spaces and one wide character
}

TEST(ArtScan, BackgroundWithoutBlanksIsNeverTrimmed) {
  const int width = 13, height = 11;
  const auto lines = ScanArtLines(Capture(width, height), "爱", "。");
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(height - 5));
  std::string row;
  for (int i = 0; i < width - 4; ++i) row += "。";
  for (const std::string& line : lines) EXPECT_EQ(line, row);
}

TEST(ArtScan, BlankFillAndBackgroundGiveNothing) {
  EXPECT_TRUE(ScanArtLines(Capture(20, 20, {{0, 1}, {5, 5}, {15, 15}}), "  ", "  ").empty());
  EXPECT_TRUE(ScanArtLines(Capture(20, 20, {{5, 5}}), "\t ", "").empty());
}

TEST(ArtScan, RowsAndColumnsScanned) {
  // 12 x 10: rows 1..5 and columns 0..7 are scanned.
  struct Case {
    std::pair<int, int> ink;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {{0, 0}, {}},                            // row 0 never reaches the output
      {{0, 1}, {"爱"}},
      {{7, 5}, {"", "", "", "", "              爱"}},  // last scanned row and column
      {{8, 5}, {}},                            // beyond the text area
      {{0, 6}, {}},                            // below the last scanned row
      {{2, 3}, {"", "", "    爱"}},           // leading empty lines stay
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScanArtLines(Capture(12, 10, {c.ink}), kFill, kBack), c.lines)
        << c.ink.first << "," << c.ink.second;
  }
}

TEST(ArtScan, EmptyTailRemovedInnerEmptyLinesKept) {
  const auto lines = ScanArtLines(Capture(12, 14, {{1, 2}, {0, 5}}), "##", "..");
  // Background without blanks: every row is non-empty, nothing removed.
  EXPECT_EQ(lines.size(), 9u);
  const auto trimmed = ScanArtLines(Capture(12, 14, {{1, 2}, {0, 5}}), "##", "  ");
  EXPECT_EQ(trimmed, (std::vector<std::string>{"", "  ##", "", "", "##"}));
}

TEST(ArtScan, OnlyPureWhiteIsBackground) {
  Bitmap bitmap = Capture(10, 6);
  bitmap.Set(0, 1, MakePixel(255, 255, 254));
  bitmap.Set(1, 1, MakePixel(254, 255, 255));
  bitmap.Set(2, 1, MakePixel(255, 254, 255));
  bitmap.Set(3, 1, MakePixel(255, 255, 255, 0));  // alpha does not matter
  bitmap.Set(4, 1, MakePixel(240, 240, 240));
  EXPECT_EQ(ScanArtLines(bitmap, "X", "."), (std::vector<std::string>{"XXX.X."}));
}

TEST(ArtScan, FillEndingInBlanksIsTrimmedToo) {
  // The trim works on bytes of the finished line, whatever produced them.
  EXPECT_EQ(ScanArtLines(Capture(10, 6, {{1, 1}}), "a ", "  "), (std::vector<std::string>{"  a"}));
  EXPECT_EQ(ScanArtLines(Capture(10, 6, {{1, 1}}), "a ", "b "), (std::vector<std::string>{"b a b b b b"}));
}

TEST(ArtScan, LongCellStringsAndOddSizes) {
  const std::string fill = "e\xCC\x81\xCC\x81\xCC\x81\xCC\x81";  // longer than one word
  EXPECT_EQ(ScanArtLines(Capture(8, 6, {{1, 1}}), fill, "  "), (std::vector<std::string>{"  " + fill}));
  // Too small to scan: height below 6, or no column.
  for (auto [w, h] : {std::pair{20, 5}, {20, 1}, {0, 0}, {4, 20}, {1, 20}})
    EXPECT_TRUE(ScanArtLines(Capture(w, h), "爱", "。").empty()) << w << "x" << h;
  // Width 5: exactly one column.
  EXPECT_EQ(ScanArtLines(Capture(5, 6), "爱", "。"), (std::vector<std::string>{"。"}));
}

// The scan builds rows in word and block strides; compare it with the plain per-pixel
// rule on noisy captures of many widths and cell lengths.
TEST(ArtScan, MatchesThePlainRuleOnNoise) {
  std::uint32_t seed = 7;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  const std::pair<std::string, std::string> cells[] = {
      {"爱", "  "}, {"##", ".."}, {"a", ""}, {"", "爱"}, {"e\xCC\x81\xCC\x81\xCC\x81", " "}, {"😀", "。"}};
  for (int width : {5, 6, 11, 12, 13, 20, 37}) {
    for (const auto& [fill, back] : cells) {
      Bitmap bitmap(width, 9, kWhite);
      for (int y = 0; y < 9; ++y)
        for (int x = 0; x < width; ++x)
          if (next() % 3 == 0) bitmap.Set(x, y, kInk);
      std::vector<std::string> expected;
      for (int y = 1; y <= 4; ++y) {
        std::string line;
        for (int x = 0; x <= width - 5; ++x) line += bitmap.At(x, y) == kWhite ? back : fill;
        while (!line.empty() && static_cast<unsigned char>(line.back()) <= 32) line.pop_back();
        expected.push_back(line);
      }
      while (!expected.empty() && expected.back().empty()) expected.pop_back();
      EXPECT_EQ(ScanArtLines(bitmap, fill, back), expected) << width << " " << fill << "/" << back;
    }
  }
}
