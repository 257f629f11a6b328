// UTF-8 decoding, widths with ambiguous characters counted wide, and cuts on boundaries.
#include <gtest/gtest.h>

#include "platform/sys/Utf8.h"

TEST(Utf8, DecodesWellFormedAndRejectsMalformedOneByteAtATime) {
  struct Case {
    std::string bytes;
    char32_t code;
    std::size_t length;
    bool valid;
  };
  const Case cases[] = {
      {"A", U'A', 1, true},
      {"\xC3\xA9", 0xE9, 2, true},
      {"\xE7\x88\xB1", 0x7231, 3, true},       // 爱
      {"\xF0\x9F\x98\x80", 0x1F600, 4, true},  // emoji
      {"\x80", kReplacementChar, 1, false},    // stray continuation
      {"\xC0\xAF", kReplacementChar, 1, false},  // overlong
      {"\xE0\x80\xAF", kReplacementChar, 1, false},
      {"\xED\xA0\x80", kReplacementChar, 1, false},  // surrogate
      {"\xF4\x90\x80\x80", kReplacementChar, 1, false},  // above U+10FFFF
      {"\xE7\x88", kReplacementChar, 1, false},  // truncated
      {"\xE7" "A\xB1", kReplacementChar, 1, false},
  };
  for (const Case& c : cases) {
    const Utf8Char ch = DecodeUtf8(c.bytes, 0);
    EXPECT_EQ(ch.code, c.code) << c.bytes;
    EXPECT_EQ(ch.length, c.length) << c.bytes;
    EXPECT_EQ(ch.valid, c.valid) << c.bytes;
    if (c.valid) {
      EXPECT_EQ(EncodeUtf8(c.code), c.bytes);
    }
  }
  EXPECT_EQ(EncodeUtf8(0xD800), "\xEF\xBF\xBD");
  EXPECT_TRUE(IsValidUtf8("输入 text"));
  EXPECT_FALSE(IsValidUtf8("ab\xFF"));
}

TEST(Utf8, WidthCountsAmbiguousAsWide) {
  struct Case {
    const char* text;
    int width;
  };
  const Case cases[] = {
      {"a", 1},  {"爱", 2},   {"Ａ", 2},  // full-width A
      {"α", 2},  {"Ж", 2},    {"①", 2},  {"─", 2},  {"°", 2},  // ambiguous
      {"é", 2},  {"e\xCC\x81", 1},  // é is ambiguous; a combining acute adds nothing
      {"\t", 0}, {"😀", 2},  {"ab爱", 4}, {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(DisplayWidth(c.text), c.width) << c.text;
}

TEST(Utf8, CutNeverSplitsACharacter) {
  const std::string text = "a爱b";  // 1 + 3 + 1 bytes
  const std::size_t expected[] = {0, 1, 1, 1, 4, 5, 5};
  for (std::size_t n = 0; n < 7; ++n) EXPECT_EQ(CutUtf8(text, n).size(), expected[n]) << n;
  // Malformed bytes count as one-byte characters and may be cut between.
  EXPECT_EQ(CutUtf8("\xE7\x88" "x", 1), "\xE7");
}
