// Ink cells of a capture: the scanned area, cropping, and lines that agree with the scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/ArtCells.h"
#include "core/ArtScan.h"

namespace {

const Pixel kWhite = MakePixel(255, 255, 255);
const Pixel kInk = MakePixel(0, 0, 0);

Bitmap Capture(int width, int height, std::initializer_list<std::pair<int, int>> ink = {}) {
  Bitmap bitmap(width, height, kWhite);
  for (const auto& [x, y] : ink) bitmap.Set(x, y, kInk);
  return bitmap;
}

TEST(ArtCells, ScansTheTextAreaLessItsTopRow) {
  // 20 x 20: rows 1-15 and columns 0-15 are scanned.
  const ArtCells cells(Capture(20, 20, {{0, 0}, {3, 2}, {15, 4}, {16, 5}, {2, 16}}));
  EXPECT_EQ(cells.Width(), 16);
  EXPECT_EQ(cells.Height(), 15);  // rows 1..15; row 0 and the frame never count
  for (int y = 0; y < cells.Height(); ++y)
    for (int x = 0; x < cells.Width(); ++x)
      EXPECT_EQ(cells.Ink(x, y), (x == 3 && y == 1) || (x == 15 && y == 3)) << x << "," << y;
  // Light grey is ink; only exact white is background, whatever the alpha.
  Bitmap grey = Capture(10, 10);
  grey.Set(1, 1, MakePixel(254, 255, 255));
  grey.Set(2, 1, kWhite & 0x00FFFFFFu);
  const ArtCells g(grey);
  EXPECT_TRUE(g.Ink(1, 0));
  EXPECT_FALSE(g.Ink(2, 0));
}

TEST(ArtCells, NothingToScanOrNoInkGivesNoLines) {
  for (const Bitmap& b : {Capture(20, 5, {{1, 1}}), Capture(4, 20, {{1, 1}}), Capture(20, 20), Capture(0, 0)}) {
    const ArtCells cells(b);
    EXPECT_EQ(cells.Height(), std::max(0, b.Height() - 5));
    EXPECT_FALSE(cells.AnyInk());
    EXPECT_TRUE(cells.Lines("爱", "  ").empty());
    EXPECT_EQ(cells.Cropped().Width(), 0);
  }
}

TEST(ArtCells, CroppingKeepsInkOnEveryEdge) {
  const ArtCells cells(Capture(30, 30, {{5, 4}, {9, 7}, {7, 10}}));
  EXPECT_EQ(cells.Width(), 26);
  EXPECT_EQ(cells.Height(), 25);
  const ArtCells c = cells.Cropped();
  ASSERT_EQ(c.Width(), 5);
  ASSERT_EQ(c.Height(), 7);
  EXPECT_TRUE(c.Ink(0, 0));
  EXPECT_TRUE(c.Ink(4, 3));
  EXPECT_TRUE(c.Ink(2, 6));
  int count = 0;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) count += c.Ink(x, y);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(c.Lines("爱", "  "), (std::vector<std::string>{"爱", "", "", "        爱", "", "", "    爱"}));
  // Cropping twice changes nothing.
  const ArtCells again = c.Cropped();
  EXPECT_EQ(again.Lines("ab", "cd"), c.Lines("ab", "cd"));
}

TEST(ArtCells, LinesAgreeWithTheScanOnRandomCaptures) {
  std::mt19937 random(7);
  const std::pair<std::string, std::string> cells[] = {{"爱", "  "}, {"ab", "x "}, {"爱", "\u3000"}, {"  ", "  "}};
  for (int round = 0; round < 200; ++round) {
    const int w = static_cast<int>(random() % 24), h = static_cast<int>(random() % 24);
    Bitmap b = Capture(w, h);
    const int inks = w * h == 0 ? 0 : static_cast<int>(random() % 12);
    for (int i = 0; i < inks; ++i) b.Set(static_cast<int>(random() % w), static_cast<int>(random() % h), kInk);
    const auto& [fill, back] = cells[round % 4];
    EXPECT_EQ(ArtCells(b).Lines(fill, back), ScanArtLines(b, fill, back)) << w << "x" << h << " round " << round;
  }
}

}  // namespace
