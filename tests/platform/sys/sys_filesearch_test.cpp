// Wildcard matching and file search in a folder, with and without regard to case.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/sys/FileSearch.h"

namespace fs = std::filesystem;

TEST(WildcardMatch, Table) {
  struct Case {
    const char* pattern;
    const char* name;
    bool exact;
    bool ignoring;
  };
  const Case cases[] = {
      {"*_fo.txt", "GB312_fo.txt", true, true},
      {"*_fo.txt", "G_fo.txt", true, true},
      {"*_fo.txt", "_fo.txt", true, true},
      {"*_fo.txt", "GB312_FO.TXT", false, true},
      {"*_fo.txt", "GB312_about.txt", false, false},
      {"*_fo.txt", "GB312_fo.txt.bak", false, false},
      {"*_fo.txt", "x_fo_fo.txt", true, true},
      {"a?c", "abc", true, true},
      {"a?c", "a爱c", true, true},  // '?' takes a whole character
      {"a?c", "ac", false, false},
      {"*", "", true, true},
      {"", "", true, true},
      {"", "a", false, false},
      {"**a*b", "xxaxxb", true, true},
      {"*.ini", "KAVRI.INI", false, true},
      {"Ä*", "ä1", false, false},  // only ASCII folds
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WildcardMatch(c.pattern, c.name, NameCase::Exact), c.exact) << c.pattern << " " << c.name;
    EXPECT_EQ(WildcardMatch(c.pattern, c.name, NameCase::IgnoreAscii), c.ignoring)
        << c.pattern << " " << c.name;
  }
}

class FileSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("kavri_search_" + std::to_string(::getpid()));
    fs::remove_all(m_dir);
    fs::create_directories(m_dir / "Language");
    for (const char* name : {"GB312_fo.txt", "GB312_about.txt", "English_fo.txt", "X_FO.TXT", "readme"})
      std::ofstream(m_dir / "Language" / name) << "1=x\n";
    fs::create_directory(m_dir / "Language" / "folder_fo.txt");
  }
  void TearDown() override { fs::remove_all(m_dir); }
  fs::path m_dir;
};

TEST_F(FileSearchTest, ListsMatchingFilesButNotFolders) {
  std::vector<std::string> exact = FindFiles(m_dir / "Language", "*_fo.txt");
  std::sort(exact.begin(), exact.end());
  EXPECT_EQ(exact, (std::vector<std::string>{"English_fo.txt", "GB312_fo.txt"}));
  std::vector<std::string> folded = FindFiles(m_dir / "Language", "*_fo.txt", NameCase::IgnoreAscii);
  std::sort(folded.begin(), folded.end());
  EXPECT_EQ(folded, (std::vector<std::string>{"English_fo.txt", "GB312_fo.txt", "X_FO.TXT"}));
}

TEST_F(FileSearchTest, MissingFolderGivesNothing) {
  EXPECT_TRUE(FindFiles(m_dir / "nothing", "*").empty());
  EXPECT_TRUE(FindFiles(m_dir / "Language" / "readme", "*").empty());
}

TEST_F(FileSearchTest, FolderNameResolvesAcrossCase) {
  EXPECT_EQ(FindEntryIgnoringCase(m_dir, "language"), m_dir / "Language");
  EXPECT_EQ(FindEntryIgnoringCase(m_dir, "Language"), m_dir / "Language");
  EXPECT_EQ(FindEntryIgnoringCase(m_dir, "LANGUAGE"), m_dir / "Language");
  EXPECT_FALSE(FindEntryIgnoringCase(m_dir, "languages").has_value());
  EXPECT_FALSE(FindEntryIgnoringCase(m_dir / "nothing", "x").has_value());
}
