// Where the program's files are found: a portable copy keeps all beside its executable; an
// installed one reads PREFIX/share/kavri and keeps the user's files in the XDG folders.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

#include "AppTestSupport.h"
#include "app/LanguagePacks.h"
#include "app/ProgramFiles.h"

namespace {

class ProgramFilesTest : public ::testing::Test {
 protected:
  // PREFIX/bin/ with PREFIX/share/kavri/ holding the default settings.
  std::string MakePrefix() {
    m_dir.Write("prefix/bin/kavri", "");
    m_dir.Write("prefix/share/kavri/KAVRI.ini", "[display]\r\nFontSize=7\r\n");
    return m_dir.Dir() + "prefix/bin/";
  }
  TempFolder m_dir;
  ScopedEnv m_home{"HOME", nullptr};
  ScopedEnv m_config{"XDG_CONFIG_HOME", nullptr};
  ScopedEnv m_cache{"XDG_CACHE_HOME", nullptr};
  ScopedEnv m_data{"XDG_DATA_HOME", nullptr};
};

TEST_F(ProgramFilesTest, WhichFoldersALayoutUses) {
  const std::string home = m_dir.Dir() + "home";
  setenv("HOME", home.c_str(), 1);
  const std::string prefix = m_dir.Dir() + "prefix/";
  const std::string bin = MakePrefix();
  m_dir.Write("elsewhere/bin/kavri", "");  // a bin folder with no share/kavri beside it
  m_dir.Write("prefix/app/kavri", "");     // beside share/kavri, but not in bin

  struct Case {
    std::string exeFolder;
    const char* config;  // XDG_CONFIG_HOME; XDG_CACHE_HOME and XDG_DATA_HOME alike
    bool installed;
    std::string settings, data, cache;
    std::vector<std::string> languages;
  } cases[] = {
      {m_dir.Dir() + "elsewhere/bin/", nullptr, false, m_dir.Dir() + "elsewhere/bin/",
       m_dir.Dir() + "elsewhere/bin/", m_dir.Dir() + "elsewhere/bin/", {m_dir.Dir() + "elsewhere/bin/"}},
      // Without the trailing separator the folder means the same.
      {m_dir.Dir() + "prefix/app", nullptr, false, prefix + "app/", prefix + "app/", prefix + "app/", {prefix + "app/"}},
      {bin, nullptr, true, home + "/.config/kavri/", prefix + "share/kavri/", home + "/.cache/kavri/",
       {home + "/.local/share/kavri/", prefix + "share/kavri/"}},
      {bin, "/xdg", true, "/xdg/kavri/", prefix + "share/kavri/", "/xdg/kavri/",
       {"/xdg/kavri/", prefix + "share/kavri/"}},
      // A relative value is not a base folder: the default is taken.
      {bin, "rel/dir", true, home + "/.config/kavri/", prefix + "share/kavri/", home + "/.cache/kavri/",
       {home + "/.local/share/kavri/", prefix + "share/kavri/"}},
      {bin, "", true, home + "/.config/kavri/", prefix + "share/kavri/", home + "/.cache/kavri/",
       {home + "/.local/share/kavri/", prefix + "share/kavri/"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.exeFolder + " / " + (c.config ? c.config : "(unset)"));
    ScopedEnv config("XDG_CONFIG_HOME", c.config), cache("XDG_CACHE_HOME", c.config),
        data("XDG_DATA_HOME", c.config);
    const ProgramFiles files = LocateProgramFiles(c.exeFolder);
    EXPECT_EQ(files.installed, c.installed);
    EXPECT_EQ(files.settingsFolder, c.settings);
    EXPECT_EQ(files.dataFolder, c.data);
    EXPECT_EQ(files.cacheFolder, c.cache);
    EXPECT_EQ(files.languageFolders, c.languages);
  }
}

TEST_F(ProgramFilesTest, WithoutHomeTheUsersPasswordEntryGivesTheFolder) {
  const ProgramFiles files = LocateProgramFiles(MakePrefix());
  ASSERT_TRUE(files.installed);
  EXPECT_EQ(files.settingsFolder.front(), '/');
  EXPECT_TRUE(files.settingsFolder.ends_with("/.config/kavri/")) << files.settingsFolder;
}

TEST_F(ProgramFilesTest, FirstStartCopiesTheDefaultAndLaterStartsKeepTheUsersFile) {
  setenv("XDG_CONFIG_HOME", (m_dir.Dir() + "config").c_str(), 1);
  const ProgramFiles files = LocateProgramFiles(MakePrefix());
  EXPECT_EQ(PrepareSettingsFile(files, "KAVRI.ini"), "");
  EXPECT_EQ(m_dir.Read("config/kavri/KAVRI.ini"), "[display]\r\nFontSize=7\r\n");
  // The copy is the user's to write, even from a read-only default.
  struct stat st {};
  ASSERT_EQ(stat((m_dir.Dir() + "config/kavri/KAVRI.ini").c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IWUSR);

  m_dir.Write("config/kavri/KAVRI.ini", "[display]\nFontSize=9\n");
  EXPECT_EQ(PrepareSettingsFile(files, "KAVRI.ini"), "");
  EXPECT_EQ(m_dir.Read("config/kavri/KAVRI.ini"), "[display]\nFontSize=9\n");
  // Nothing is left behind under a temporary name.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(m_dir.Path() / "config/kavri")) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST_F(ProgramFilesTest, APortableCopyNeverCreatesItsSettingsFile) {
  const ProgramFiles files = LocateProgramFiles(m_dir.Dir());
  EXPECT_EQ(PrepareSettingsFile(files, "KAVRI.ini"), "");
  EXPECT_FALSE(m_dir.Exists("KAVRI.ini"));
}

TEST_F(ProgramFilesTest, ASettingsFolderThatCannotBeMadeIsReportedAndNothingIsWritten) {
  m_dir.Write("config", "a file where the folder should be");
  setenv("XDG_CONFIG_HOME", (m_dir.Dir() + "config").c_str(), 1);
  const ProgramFiles files = LocateProgramFiles(MakePrefix());
  const std::string error = PrepareSettingsFile(files, "KAVRI.ini");
  EXPECT_NE(error.find(m_dir.Dir() + "config/kavri/"), std::string::npos) << error;
  EXPECT_EQ(m_dir.Read("config"), "a file where the folder should be");

  // An installed layout without a default gives an error too, and no empty file.
  setenv("XDG_CONFIG_HOME", (m_dir.Dir() + "config2").c_str(), 1);
  std::filesystem::remove(m_dir.Path() / "prefix/share/kavri/KAVRI.ini");
  EXPECT_NE(PrepareSettingsFile(files, "KAVRI.ini"), "");
  EXPECT_FALSE(m_dir.Exists("config2/kavri/KAVRI.ini"));
}

TEST(LanguagePackFolders, AUsersPackComesFirstAndBothFilesOfAPackComeFromOneFolder) {
  TempFolder user, shared;
  user.Write("Language/English_fo.dll", "1=mine\n");
  shared.Write("Language/English_fo.dll", "1=installed\n");
  shared.Write("Language/English_about.dll", "1=installed about\n");
  shared.Write("Language/GB312_fo.dll", "1=gb\n");
  shared.Write("Language/GB312_about.dll", "1=gb about\n");
  user.Write("Language/Only_about.dll", "1=no main file\n");
  const std::vector<std::string> folders = {user.Dir(), shared.Dir()};

  std::vector<std::string> names = SearchLanguagePacks(folders);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"English", "GB312"}));
  EXPECT_EQ(MainPackFile(folders, "English"), user.Path() / "Language/English_fo.dll");
  // The user's English pack has no about file: the installed one's is not mixed in.
  EXPECT_EQ(AboutPackFile(folders, "English"), std::nullopt);
  EXPECT_EQ(AboutPackFile(folders, "GB312"), shared.Path() / "Language/GB312_about.dll");
  EXPECT_EQ(MainPackFile(folders, "Only"), std::nullopt);
  EXPECT_EQ(MainPackFile(std::vector<std::string>{}, "English"), std::nullopt);
}

}  // namespace
