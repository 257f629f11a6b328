// Language pack discovery: the folder in either case, "*_fo.dll" only, names as found,
// and pack files looked up with the exact case of the name.
#include <gtest/gtest.h>

#include <algorithm>

#include "AppTestSupport.h"
#include "app/LanguagePacks.h"

namespace {

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

TEST(AppLanguageTest, NoFolderGivesNoPacks) {
  TempFolder dir;
  EXPECT_TRUE(SearchLanguagePacks(dir.Dir()).empty());
  EXPECT_FALSE(MainPackFile(dir.Dir(), "GB312"));
  dir.Write("language", "a file, not a folder");
  EXPECT_TRUE(SearchLanguagePacks(dir.Dir()).empty());
  EXPECT_FALSE(MainPackFile(dir.Dir(), "GB312"));
}

TEST(AppLanguageTest, ListsMainPackFilesOnly) {
  TempFolder dir;
  dir.Write("language/GB312_fo.dll", "1=kavri\n");
  dir.Write("language/GB312_about.dll", "1=x\n");
  dir.Write("language/E_fo.dll", "");
  dir.Write("language/English_FO.txt", "");   // suffix in another case
  dir.Write("language/English_fo.dll.bak", "");
  dir.Write("language/readme.txt", "");
  dir.Write("language/_fo.dll", "");          // would be a pack without a name
  std::filesystem::create_directories(dir.Path() / "language" / "Dir_fo.dll");
  EXPECT_EQ(Sorted(SearchLanguagePacks(dir.Dir())), (std::vector<std::string>{"E", "GB312"}));
}

TEST(AppLanguageTest, TheFolderIsFoundInEitherCase) {
  for (const char* folder : {"language", "Language", "LANGUAGE"}) {
    TempFolder dir;
    dir.Write(std::string(folder) + "/GB312_fo.dll", "1=kavri\n");
    dir.Write(std::string(folder) + "/GB312_about.dll", "1=x\n");
    EXPECT_EQ(SearchLanguagePacks(dir.Dir()), std::vector<std::string>{"GB312"}) << folder;
    auto main = MainPackFile(dir.Dir(), "GB312");
    ASSERT_TRUE(main) << folder;
    EXPECT_EQ(main->filename(), "GB312_fo.dll");
    EXPECT_EQ(main->parent_path().filename(), folder);
    auto about = AboutPackFile(dir.Dir(), "GB312");
    ASSERT_TRUE(about) << folder;
    EXPECT_EQ(about->filename(), "GB312_about.dll");
  }
}

TEST(AppLanguageTest, PackNamesKeepTheirCase) {
  TempFolder dir;
  dir.Write("language/GB312_fo.dll", "1=kavri\n");
  EXPECT_TRUE(MainPackFile(dir.Dir(), "GB312"));
  EXPECT_FALSE(MainPackFile(dir.Dir(), "gb312"));
  EXPECT_FALSE(AboutPackFile(dir.Dir(), "GB312"));  // only the main file is installed
}

TEST(AppLanguageTest, NamesThatLeaveTheFolderFindNothing) {
  TempFolder dir;
  dir.Write("language/GB312_fo.dll", "1=kavri\n");
  dir.Write("evil_fo.dll", "1=outside\n");
  for (const char* name : {"", "../evil", "..", "sub/GB312", "GB\n312"}) {
    EXPECT_FALSE(MainPackFile(dir.Dir(), name)) << name;
    EXPECT_FALSE(IsPackName(name)) << name;
  }
  EXPECT_TRUE(IsPackName("简体中文"));
}

}  // namespace
