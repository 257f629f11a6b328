// KAVRI.ini: defaults, counters as runs of characters, the two missing-file messages, and
// a writer that leaves every foreign byte of the file alone.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "AppTestSupport.h"
#include "app/Settings.h"
#include "platform/sys/IniFile.h"

namespace {

class AppSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetModuleState(); }
  void TearDown() override { ResetModuleState(); }

  TellUser Recorder() {
    return [this](const std::string& text) { m_told.push_back(text); };
  }

  TempFolder m_dir;
  std::vector<std::string> m_told;
};

TEST_F(AppSettingsTest, MissingFileAtStartTellsTheUserAndKeepsTheState) {
  CurrentLanguage = "English";
  FontType = 5;
  auto geometry = ReadSettings(m_dir.Dir(), Recorder());
  EXPECT_FALSE(geometry);
  ASSERT_EQ(m_told.size(), 1u);
  EXPECT_EQ(m_told[0], "\"KAVRI.ini\"文件丢失！");
  EXPECT_EQ(CurrentLanguage, "GB312");
  EXPECT_EQ(FontType, 5);
  EXPECT_EQ(FontSize, 0);
  EXPECT_EQ(NoticeShowsLeft, 0);
}

TEST_F(AppSettingsTest, MissingFileAtClosingTellsTheUserAndCreatesNothing) {
  EXPECT_FALSE(WriteSettings(m_dir.Dir(), WindowGeometry{1, 2, 3, 4}, Recorder()));
  ASSERT_EQ(m_told.size(), 1u);
  EXPECT_NE(m_told[0].find("KAVRI.ini"), std::string::npos);
  EXPECT_NE(m_told[0].find("cannot be saved"), std::string::npos);
  EXPECT_FALSE(m_dir.Exists("KAVRI.ini"));
}

TEST_F(AppSettingsTest, EmptySectionGivesTheDefaults) {
  m_dir.Write("KAVRI.ini", "[display]\r\n");
  auto geometry = ReadSettings(m_dir.Dir(), Recorder());
  ASSERT_TRUE(geometry);
  EXPECT_TRUE(m_told.empty());
  EXPECT_EQ(*geometry, (WindowGeometry{0, 0, 640, 480}));
  EXPECT_EQ(FontType, 220);
  EXPECT_EQ(FontSize, 14);
  EXPECT_EQ(CurrentLanguage, "GB312");
  EXPECT_EQ(NoticeShowsLeft, 10);
  EXPECT_EQ(NoticeRestCount, 10);
}

TEST_F(AppSettingsTest, ReadsStoredValuesWithoutRegardToCaseOfNames) {
  m_dir.Write("KAVRI.ini",
              "; mine\n[DISPLAY]\nWINDOW_LEFT = 353\nwindow_top=-20\nwindow_width=533\n"
              "window_height=428\nfonttype=-3\nFontSize=39\nLanguage=\"English\"\nn1=abc\nn2=爱爱\n");
  auto geometry = ReadSettings(m_dir.Dir(), Recorder());
  ASSERT_TRUE(geometry);
  EXPECT_EQ(*geometry, (WindowGeometry{353, -20, 533, 428}));
  EXPECT_EQ(FontType, -3);
  EXPECT_EQ(FontSize, 39);
  EXPECT_EQ(CurrentLanguage, "English");
  EXPECT_EQ(NoticeShowsLeft, 3);
  EXPECT_EQ(NoticeRestCount, 2);  // characters, not bytes
}

TEST_F(AppSettingsTest, UnreadableIntegersTakeTheirDefaults) {
  m_dir.Write("KAVRI.ini",
              "[display]\nwindow_width=wide\nwindow_height=\nFontType=12abc\nFontSize=99999999999\n");
  auto geometry = ReadSettings(m_dir.Dir(), Recorder());
  ASSERT_TRUE(geometry);
  EXPECT_EQ(geometry->width, 640);
  EXPECT_EQ(geometry->height, 480);
  EXPECT_EQ(FontType, 220);
  EXPECT_EQ(FontSize, 14);
}

TEST(AppCounterTest, CountersAreRunsOfFullStops) {
  struct Case {
    int value;
    const char* text;
  };
  for (const Case& c : {Case{0, ""}, Case{-4, ""}, Case{1, "."}, Case{10, ".........."}})
    EXPECT_EQ(CounterText(c.value), c.text) << c.value;
  EXPECT_EQ(CounterFromText(""), 0);
  EXPECT_EQ(CounterFromText("xyz"), 3);
  EXPECT_EQ(CounterFromText("爱."), 2);
  EXPECT_EQ(CounterFromText("\xff\xfe"), 2);  // each stray byte is one character
}

TEST_F(AppSettingsTest, WriterChangesOnlyItsValuesAndKeepsForeignLines) {
  const std::string before =
      "; Kavri settings\r\n"
      "# keep me\r\n"
      "[other]\r\n"
      "FontType=keep\r\n"
      "\r\n"
      "[display]\r\n"
      "window_width=640\r\n"
      "  ; indented comment\r\n"
      "window_height=480\r\n"
      "window_left=0\r\n"
      "window_top=0\r\n"
      "FontType=220\r\n"
      "FontSize=14\r\n"
      "colour=blue\r\n"
      "language=GB312\r\n"
      "n1=..........\r\n"
      "n2=..........\r\n"
      "[tail]\r\n"
      "x=1\r\n";
  m_dir.Write("KAVRI.ini", before);
  FontType = 3;
  FontSize = -1;
  CurrentLanguage = "English";
  NoticeShowsLeft = 3;
  NoticeRestCount = 0;
  EXPECT_TRUE(WriteSettings(m_dir.Dir(), WindowGeometry{10, 20, 700, 500}, Recorder()));
  EXPECT_TRUE(m_told.empty());
  const std::string after =
      "; Kavri settings\r\n"
      "# keep me\r\n"
      "[other]\r\n"
      "FontType=keep\r\n"
      "\r\n"
      "[display]\r\n"
      "window_width=700\r\n"
      "  ; indented comment\r\n"
      "window_height=500\r\n"
      "window_left=10\r\n"
      "window_top=20\r\n"
      "FontType=3\r\n"
      "FontSize=-1\r\n"
      "colour=blue\r\n"
      "language=English\r\n"
      "n1=...\r\n"
      "n2=\r\n"
      "[tail]\r\n"
      "x=1\r\n";
  EXPECT_EQ(m_dir.Read("KAVRI.ini"), after);
}

TEST_F(AppSettingsTest, WithoutGeometryTheFourKeysStayAndTheOthersAreAdded) {
  m_dir.Write("KAVRI.ini", "[display]\nwindow_width=1280\nwindow_left=-4\n");
  FontType = 1;
  FontSize = 12;
  NoticeShowsLeft = 2;
  NoticeRestCount = 10;
  EXPECT_TRUE(WriteSettings(m_dir.Dir(), std::nullopt, Recorder()));
  EXPECT_EQ(m_dir.Read("KAVRI.ini"),
            "[display]\nwindow_width=1280\nwindow_left=-4\nFontType=1\r\nFontSize=12\r\n"
            "language=GB312\r\nn1=..\r\nn2=..........\r\n");
}

TEST_F(AppSettingsTest, ValuesWrittenReadBackTheSame) {
  m_dir.Write("KAVRI.ini", "");
  FontType = -7;
  FontSize = 39;
  CurrentLanguage = "English";
  NoticeShowsLeft = 0;
  NoticeRestCount = 25;
  ASSERT_TRUE(WriteSettings(m_dir.Dir(), WindowGeometry{-8, -8, 1296, 1010}, Recorder()));
  ResetModuleState();
  auto geometry = ReadSettings(m_dir.Dir(), Recorder());
  ASSERT_TRUE(geometry);
  EXPECT_EQ(*geometry, (WindowGeometry{-8, -8, 1296, 1010}));
  EXPECT_EQ(FontType, -7);
  EXPECT_EQ(FontSize, 39);
  EXPECT_EQ(CurrentLanguage, "English");
  EXPECT_EQ(NoticeShowsLeft, 0);
  EXPECT_EQ(NoticeRestCount, 25);
}

TEST_F(AppSettingsTest, AFailedWriteThrowsAndLeavesTheFile) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  const std::string before = "[display]\nFontType=220\n";
  m_dir.Write("KAVRI.ini", before);
  chmod(m_dir.Path().c_str(), 0500);
  FontType = 4;
  EXPECT_THROW(WriteSettings(m_dir.Dir(), std::nullopt, Recorder()), IniFileError);
  chmod(m_dir.Path().c_str(), 0700);
  EXPECT_EQ(m_dir.Read("KAVRI.ini"), before);
}

TEST(AppPlaceOnWorkAreaTest, StoredGeometryIsMadeReachable) {
  // Two monitors side by side; the right one smaller and lower, with a bar on top.
  const std::vector<Rect> work = {Rect(0, 0, 1280, 760), Rect(1280, 130, 2080, 700)};
  const Size minSize(277, 60), maxSize(1280, 760);
  struct Case {
    const char* what;
    WindowGeometry stored;
    WindowGeometry want;
  };
  const Case cases[] = {
      {"fits", {353, 200, 541, 455}, {353, 200, 541, 455}},
      {"fits on the second", {1300, 150, 541, 455}, {1300, 150, 541, 455}},
      {"too large", {0, 0, 999999, 5000}, {0, 0, 1280, 760}},
      {"no size", {10, 10, 0, -40}, {10, 10, 640, 480}},
      {"below the frame's smallest", {10, 10, 276, 59}, {10, 10, 640, 480}},
      {"the frame's smallest", {10, 10, 277, 60}, {10, 10, 277, 60}},
      {"far left and up", {-5000, -5000, 640, 480}, {0, 0, 640, 480}},
      {"far right and down: the second", {5000, 5000, 640, 480}, {1440, 220, 640, 480}},
      {"above the second", {1500, -300, 640, 480}, {1440, 130, 640, 480}},
      {"caption above the first", {100, -1, 640, 480}, {100, 0, 640, 480}},
      {"int extremes", {-2147483647 - 1, 2147483647, 640, 480}, {0, 280, 640, 480}},
      {"taller than the second", {1300, 150, 640, 700}, {1300, 130, 640, 700}},
      {"wider than the second", {1600, 150, 1000, 400}, {1280, 150, 1000, 400}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PlaceOnWorkArea(c.stored, work, minSize, maxSize), c.want) << c.what;
  // Without a work area only the sizes are mended.
  EXPECT_EQ(PlaceOnWorkArea({-9000, 9000, 0, 480}, {}, minSize, maxSize), (WindowGeometry{-9000, 9000, 640, 480}));
}

}  // namespace
