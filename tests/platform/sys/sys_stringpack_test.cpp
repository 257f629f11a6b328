// Language pack files: comments, escapes, damaged lines, the 253-byte cut, read errors.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/sys/StringPack.h"
#include "platform/sys/Utf8.h"

TEST(StringPack, ParsesNumbersTextsAndComments) {
  const StringPack pack = StringPack::Parse(
      "\xEF\xBB\xBF; main window\r\n"
      "1=kavri\r\n"
      "  # indented comment\n"
      "\n"
      " 2 =输入内容\n"
      "7=语言：       \r\n"
      "9=a=b\n"
      "10=line one\\nline two\\ttab \\\\n \\x\n"
      "11=\n"
      "1=second one loses\n");
  EXPECT_EQ(pack.Text(1), "kavri");
  EXPECT_EQ(pack.Text(2), "输入内容");
  EXPECT_EQ(pack.Text(7), "语言：       ");  // trailing blanks kept
  EXPECT_EQ(pack.Text(9), "a=b");
  EXPECT_EQ(pack.Text(10), "line one\nline two\ttab \\n \\x");
  EXPECT_TRUE(pack.Contains(11));
  EXPECT_EQ(pack.Text(11), "");
  EXPECT_FALSE(pack.Contains(12));
  EXPECT_EQ(pack.Text(12), "");
  EXPECT_EQ(pack.Count(), 6u);
  EXPECT_TRUE(pack.SkippedLines().empty());
}

TEST(StringPack, SkipsDamagedLines) {
  const StringPack pack = StringPack::Parse(
      "no equals sign\n"
      "=no number\n"
      "x1=letters\n"
      "-3=negative\n"
      "65536=too big\n"
      "123456=too long\n"
      "65535=largest\n"
      "0=zero\n");
  EXPECT_EQ(pack.SkippedLines(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(pack.Text(65535), "largest");
  EXPECT_EQ(pack.Text(0), "zero");
  EXPECT_EQ(pack.Count(), 2u);
}

static std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(StringPack, CutsTextsAt253BytesOnACharacterBoundary) {
  struct Case {
    std::string text;
    std::size_t kept;
  };
  const std::string wide252(252, 'a');
  const Case cases[] = {
      {std::string(253, 'a'), 253},
      {std::string(300, 'a'), 253},
      {wide252 + "爱", 252},        // a 3-byte character would end at byte 255
      {std::string(250, 'a') + "爱", 253},
      {std::string(251, 'a') + "爱", 251},
      {Repeat("爱", 90), 252},  // 84 whole characters
  };
  for (const Case& c : cases) {
    const std::string got = StringPack::Parse("5=" + c.text + "\n").Text(5);
    EXPECT_EQ(got.size(), c.kept);
    EXPECT_TRUE(IsValidUtf8(got));
    EXPECT_EQ(got, c.text.substr(0, c.kept));
  }
  // The cut applies to the unescaped text.
  EXPECT_EQ(StringPack::Parse("5=" + std::string(252, 'a') + "\\n\\n\n").Text(5).size(), 253u);
}

TEST(StringPack, RejectsTextThatIsNotUtf8) {
  try {
    StringPack::Parse("1=ok\n2=\xB0\xAE\n", "GB312_fo.txt");  // a legacy double-byte encoding
    FAIL() << "no error";
  } catch (const StringPackError& e) {
    EXPECT_NE(std::string(e.what()).find("GB312_fo.txt: line 2"), std::string::npos) << e.what();
  }
}

TEST(StringPack, LoadReadsTheFileOrFailsNamingIt) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("kavri_pack_" + std::to_string(::getpid()) + "_fo.txt");
  {
    std::ofstream out(path, std::ios::binary);
    out << "1=English\r\n3=Face:\r\n";
  }
  const StringPack pack = StringPack::Load(path);
  EXPECT_EQ(pack.Text(1), "English");
  EXPECT_EQ(pack.Text(3), "Face:");
  std::filesystem::remove(path);
  try {
    StringPack::Load(path);
    FAIL() << "no error";
  } catch (const StringPackError& e) {
    EXPECT_NE(std::string(e.what()).find(path.filename().string()), std::string::npos) << e.what();
  }
  EXPECT_THROW(StringPack::Load(std::filesystem::temp_directory_path()), StringPackError);
}
