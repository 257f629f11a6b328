// Reading rules of skin definition text: INI lines, integers, points, rects and words.
#include <gtest/gtest.h>

#include "skin/data/skIniReader.h"
#include "skin/data/skSkinErrors.h"
#include "skin/data/skSkinRecords.h"

namespace {

TEST(SkinIni, IntegerForms) {
  struct Case { const char* text; bool ok; int value; };
  const Case cases[] = {
      {"42", true, 42},         {"-17", true, -17},        {"+5", true, 5},
      {"0x1F", true, 31},       {"0X1f", true, 31},        {"$FF0000", true, 0xFF0000},
      {"$FFFFFFFF", true, -1},  {"-$10", true, -16},       {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0}, {"$100000000", false, 0},  {"", false, 0},
      {"0x", false, 0},         {"$", false, 0},           {"12a", false, 0},
      {"1 2", false, 0},        {"--1", false, 0},         {"0x-1", false, 0},
  };
  for (const Case& c : cases) {
    int value = 12345;
    EXPECT_EQ(TryParseSkinInteger(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

TEST(SkinIni, LinesSectionsAndKeys) {
  const SkinIni ini({
      "orphan=before any section",
      "  [ First ]  ",
      "; a comment=1",
      "",
      "  Key  =  value with = sign  ",
      "key=second occurrence",
      "bare",
      "[first]",
      "late=in a repeated section",
      "[Other]",
      "n=0x10",
      "bad=ten",
  });
  EXPECT_TRUE(ini.SectionExists("FIRST"));
  EXPECT_EQ(ini.ReadString("first", "KEY", "d"), "value with = sign");
  EXPECT_TRUE(ini.ValueExists("first", "bare"));
  EXPECT_EQ(ini.ReadString("first", "bare", "d"), "");
  EXPECT_FALSE(ini.ValueExists("first", "; a comment"));
  EXPECT_FALSE(ini.ValueExists("first", "late"));  // the first section of the name wins
  EXPECT_FALSE(ini.ValueExists("first", "orphan"));
  EXPECT_EQ(ini.ReadString("missing", "key", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadInteger("other", "n", -1), 16);
  EXPECT_EQ(ini.ReadInteger("other", "bad", -1), -1);
  EXPECT_EQ(ini.ReadInteger("other", "absent", 7), 7);
}

TEST(SkinIni, SplitsLinesAtEveryBreakKind) {
  EXPECT_EQ(SplitSkinLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitSkinLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(SplitSkinLines("").empty());
}

TEST(SkinIni, ByteOrderMarkDoesNotHideFirstSection) {
  const SkinIni ini({"\xEF\xBB\xBF[VERSION]", "skinname=x"});
  EXPECT_EQ(ini.ReadString("VERSION", "skinname", ""), "x");
}

TEST(SkinIni, LastIndexKeyIgnoresNonDecimalKeys) {
  const SkinIni ini({"[s]", "0=a", "7=b", "07=c", "count=99", "-3=d"});
  EXPECT_EQ(ini.LastIndexKey("s"), 7);
  EXPECT_EQ(ini.LastIndexKey("none"), -1);
}

TEST(SkinValueForms, PointsAndRectsKeepDigitsAndCommas) {
  EXPECT_EQ(ParseSkinRect("1, 2, 3, 4"), Rect(1, 2, 3, 4));
  EXPECT_EQ(ParseSkinPoint("-4,8"), Point(4, 8));
  EXPECT_EQ(ParseSkinPoint("x1y2,3z"), Point(12, 3));
  EXPECT_EQ(ParseSkinRect("9,17,273,112"), Rect(9, 17, 273, 112));
  // Extra pieces are outside the format and ignored.
  EXPECT_EQ(ParseSkinPoint("1,2,3"), Point(1, 2));
  EXPECT_EQ(ParseSkinRect("1,2,3,4,5,6"), Rect(1, 2, 3, 4));
}

TEST(SkinValueForms, EmptyPieceIsConversionError) {
  for (const char* text : {"5,", "5", ",5", "", "a,b"}) {
    try {
      ParseSkinPoint(text);
      ADD_FAILURE() << "accepted point " << text;
    } catch (const ConvertError& e) {
      EXPECT_STREQ(e.what(), "'' is not a valid integer value") << text;
    }
  }
  EXPECT_THROW(ParseSkinRect("1,2,3"), ConvertError);
  EXPECT_THROW(ParseSkinRect("1,2,,4"), ConvertError);
  try {
    ParseSkinPoint("99999999999,1");
    ADD_FAILURE() << "accepted an overflowing piece";
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "'99999999999' is not a valid integer value");
  }
}

TEST(SkinValueForms, FontStyleWordsAreSubstrings) {
  EXPECT_EQ(ParseSkinFontStyle("fsbold,fsitalic"), SkinFontBold | SkinFontItalic);
  EXPECT_EQ(ParseSkinFontStyle("xfsboldx"), SkinFontBold);
  EXPECT_EQ(ParseSkinFontStyle("fsstrikeout fsunderline"), SkinFontStrikeOut | SkinFontUnderline);
  EXPECT_EQ(ParseSkinFontStyle(""), 0u);
  EXPECT_EQ(ParseSkinFontStyle("FSBOLD"), 0u);
  EXPECT_EQ(SkinFontStyleText(SkinFontBold | SkinFontStrikeOut), "fsbold,fsstrikeout");
}

TEST(SkinValueForms, WordsCompareExactly) {
  EXPECT_EQ(ParseSkinCommand("cmminimizetotray"), SkinCommand::MinimizeToTray);
  EXPECT_EQ(ParseSkinCommand("cmwhatever"), SkinCommand::MinimizeToTray);
  EXPECT_EQ(ParseSkinCommand("CMCLOSE"), SkinCommand::MinimizeToTray);
  EXPECT_EQ(ParseSkinCommand("cmclose"), SkinCommand::Close);
  EXPECT_EQ(ParseSkinCommand("cmrollup"), SkinCommand::RollUp);
  EXPECT_EQ(ParseSkinImageEffect("IENOISE"), SkinImageEffect::Grayscale);
  EXPECT_EQ(ParseSkinImageEffect("ienoise"), SkinImageEffect::Noise);
  EXPECT_EQ(ParseSkinImageEffect("ieinvert"), SkinImageEffect::Invert);
  EXPECT_EQ(ParseSkinAlignment("tarightjustify"), SkinAlignment::RightJustify);
  EXPECT_EQ(ParseSkinAlignment("centre"), SkinAlignment::RightJustify);
  EXPECT_EQ(ParseSkinAlignment("taleftjustify"), SkinAlignment::LeftJustify);
  EXPECT_EQ(ParseSkinAlignment("tacenter"), SkinAlignment::Center);
  EXPECT_EQ(ParseSkinMorphKind("mkpush"), SkinMorphKind::Push);
  EXPECT_EQ(ParseSkinMorphKind("MKPUSH"), SkinMorphKind::Default);
}

TEST(SkinValueForms, WrittenWordsReadBack) {
  for (int i = 0; i <= 6; ++i) {
    const auto c = static_cast<SkinCommand>(i);
    EXPECT_EQ(ParseSkinCommand(SkinCommandText(c)), c);
    const auto m = static_cast<SkinMorphKind>(i);
    EXPECT_EQ(ParseSkinMorphKind(SkinMorphKindText(m)), m);
  }
  for (int i = 0; i <= 5; ++i) {
    const auto e = static_cast<SkinImageEffect>(i);
    EXPECT_EQ(ParseSkinImageEffect(SkinImageEffectText(e)), e);
  }
  for (int i = 0; i <= 2; ++i) {
    const auto a = static_cast<SkinAlignment>(i);
    EXPECT_EQ(ParseSkinAlignment(SkinAlignmentText(a)), a);
  }
}

}  // namespace
