// The shipped settings file and language packs read as the program expects.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/sys/FileSearch.h"
#include "platform/sys/IniFile.h"
#include "platform/sys/StringPack.h"

static const std::filesystem::path kAssets = std::filesystem::path(KAVRI_TEST_INPUTS) / ".." / ".." / "assets";

TEST(ShippedAssets, SettingsFileHoldsTheDefaults) {
  const IniFile ini(kAssets / "KAVRI.ini");
  ASSERT_TRUE(ini.Exists());
  EXPECT_EQ(ini.ReadInteger("display", "window_width", -1), 640);
  EXPECT_EQ(ini.ReadInteger("display", "window_height", -1), 480);
  EXPECT_EQ(ini.ReadInteger("display", "window_left", -1), 0);
  EXPECT_EQ(ini.ReadInteger("display", "window_top", -1), 0);
  EXPECT_EQ(ini.ReadInteger("display", "FontType", -1), 220);
  EXPECT_EQ(ini.ReadInteger("display", "FontSize", -1), 14);
  EXPECT_EQ(ini.ReadString("display", "language", ""), "GB312");
  EXPECT_EQ(ini.ReadString("display", "n1", ""), "..........");
  EXPECT_EQ(ini.ReadString("display", "n2", ""), "..........");
}

TEST(ShippedAssets, EveryPackIsCompleteAndUndamaged) {
  const auto folder = FindEntryIgnoringCase(kAssets, "Language");
  ASSERT_TRUE(folder.has_value());
  std::vector<std::string> names;
  for (const std::string& file : FindFiles(*folder, "*_fo.dll"))
    names.push_back(file.substr(0, file.size() - std::string("_fo.dll").size()));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"English", "GB312"}));
  for (const std::string& name : names) {
    const StringPack main = StringPack::Load(*folder / (name + "_fo.dll"));
    const StringPack about = StringPack::Load(*folder / (name + "_about.dll"));
    EXPECT_TRUE(main.SkippedLines().empty()) << name;
    EXPECT_TRUE(about.SkippedLines().empty()) << name;
    for (int n = 1; n <= 15; ++n) EXPECT_FALSE(main.Text(n).empty()) << name << " main " << n;
    for (int n = 1; n <= 16; ++n) EXPECT_FALSE(about.Text(n).empty()) << name << " about " << n;
    // The about page takes texts as they are, into HTML.
    for (int n = 12; n <= 16; ++n)
      EXPECT_EQ(about.Text(n).find_first_of("<>&"), std::string::npos) << name << " about " << n;
  }
}

TEST(ShippedAssets, DesignTextsOfTheChinesePack) {
  const StringPack main = StringPack::Load(kAssets / "Language" / "GB312_fo.dll");
  const std::pair<int, const char*> design[] = {{1, "kavri"},    {2, "输入内容"}, {3, "字型："},
                                                {4, "尺寸："},   {5, "字体："},   {6, "背景："},
                                                {7, "语言：       "}};
  for (const auto& [number, text] : design) EXPECT_EQ(main.Text(number), text) << number;
  const StringPack about = StringPack::Load(kAssets / "Language" / "GB312_about.dll");
  EXPECT_EQ(about.Text(2), "确定");
  EXPECT_EQ(about.Text(3), "后退");
  EXPECT_EQ(about.Text(8), "欢迎给我留言");
}
