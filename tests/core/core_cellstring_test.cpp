// Normalisation of the cell strings, and the size list.
#include <gtest/gtest.h>

#include "core/CellString.h"
#include "core/FontSizes.h"
#include "platform/sys/Utf8.h"

TEST(CellString, Table) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"", "  "},
      {"   ", "  "},
      {"\t\r\n \x01", "  "},
      {"爱", "爱"},
      {"爱心", "爱"},
      {"abc", "ab"},
      {"a", "a "},
      {" a", " a"},    // leading blanks of a non-blank text survive
      {"a ", "a "},
      {"  a", "  "},   // cut to two columns of the untrimmed text
      {"a爱", "a "},   // the wide character would cross the cell edge
      {"爱a", "爱"},
      {"Ａ", "Ａ"},    // full-width letter
      {"α", "α"},      // ambiguous counts wide
      {"αβ", "α"},
      {"aα", "a "},
      {"°C", "°"},
      {"e\xCC\x81x", "e\xCC\x81x"},  // a combining mark stays with its letter
      {"e\xCC\x81", "e\xCC\x81 "},
      {"😀", "😀"},
      {"\x01" "a", "\x01" "a"},  // a control character takes one column, as a byte did
      {"\xFF" "a", "\xEF\xBF\xBD"},  // a malformed byte becomes U+FFFD, which is wide
      {"\xE7\x88", "\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    const std::string got = NormalizeCellString(c.in);
    EXPECT_EQ(got, c.out) << "input: " << c.in;
    EXPECT_TRUE(IsValidUtf8(got));
  }
}

TEST(CellString, NormalisingTwiceChangesNothing) {
  for (const char* in : {"", "a", "爱", "a爱", "abc", " x", "αβ", "\xFF"}) {
    const std::string once = NormalizeCellString(in);
    EXPECT_EQ(NormalizeCellString(once), once) << in;
  }
}

TEST(FontSizes, FortyTextsFromOne) {
  const std::vector<std::string> sizes = Make_Font_Size();
  ASSERT_EQ(sizes.size(), 40u);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(sizes[i], std::to_string(i + 1));
}

TEST(FontSizes, InitialDisplaySize) {
  const std::pair<int, int> cases[] = {{12, 11}, {1, 0}, {29, 28}, {30, 12}, {40, 12}, {72, 12}};
  for (const auto& [points, index] : cases) EXPECT_EQ(InitialDisplaySizeIndex(points), index) << points;
}
