// Settings file reading and writing: names, quotes, duplicates, byte-exact updates, failures.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sys/IniFile.h"

namespace fs = std::filesystem;

static std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

static void WriteBytes(const fs::path& p, const std::string& s) {
  std::ofstream out(p, std::ios::binary);
  out << s;
}

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() /
            ("kavri_ini_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }
  fs::path m_dir;
};

struct LookupCase {
  const char* text;
  const char* section;
  const char* key;
  const char* expected;  // nullptr: absent
};

TEST(IniLookup, Table) {
  const LookupCase cases[] = {
      {"[display]\r\nFontType=3\r\n", "display", "FontType", "3"},
      {"[DISPLAY]\nfonttype=3\n", "Display", "FONTTYPE", "3"},
      {"[display]\n  FontType  =   3 \t\n", "display", "FontType", "3"},
      {"[ display ]\nk=v", "display", "k", "v"},
      {"[display]\nk=\"quoted value \"\n", "display", "k", "quoted value "},
      {"[display]\nk='x'\n", "display", "k", "x"},
      {"[display]\nk=\"x'\n", "display", "k", "\"x'"},
      {"[display]\nk=\"\n", "display", "k", "\""},
      {"[display]\nk=\n", "display", "k", ""},
      {"[display]\nk=a=b\n", "display", "k", "a=b"},
      {"[display]\nk=1\nk=2\n", "display", "k", "1"},
      {"[display]\na=1\n[display]\nk=2\n", "display", "k", nullptr},
      {"[display]\nk=1\n[other]\nk=2\n", "other", "k", "2"},
      {"k=1\n[display]\n", "display", "k", nullptr},
      {"[display]\n;k=1\n#k=2\n", "display", "k", nullptr},
      {"[display]\nk\n", "display", "k", nullptr},
      {"\xEF\xBB\xBF[display]\r\nk=1\r\n", "display", "k", "1"},
      {"[Ä]\nk=1\n", "ä", "k", nullptr},
      {"[Ä]\nk=1\n", "Ä", "K", "1"},
      {"[display]\nlanguage=简体\n", "display", "language", "简体"},
      {"", "display", "k", nullptr},
      {"[display", "display", "k", nullptr},
  };
  for (const LookupCase& c : cases) {
    const auto got = IniFile::Lookup(c.text, c.section, c.key);
    if (c.expected) {
      ASSERT_TRUE(got.has_value()) << c.text;
      EXPECT_EQ(*got, c.expected) << c.text;
    } else {
      EXPECT_FALSE(got.has_value()) << c.text << " -> " << got.value_or("");
    }
  }
}

struct UpdateCase {
  const char* before;
  const char* key;
  const char* value;
  const char* after;
};

TEST(IniUpdate, ChangesOnlyTheValueOrAddsOneLine) {
  const UpdateCase cases[] = {
      // In place, keeping the key's spelling, blanks, other line endings and comments.
      {"; top\r\n[Display]\r\n  FONTTYPE = 3\r\nx=1\n\n[other]\nFontType=9\n", "FontType", "5",
       "; top\r\n[Display]\r\n  FONTTYPE = 5\r\nx=1\n\n[other]\nFontType=9\n"},
      {"[display]\nFontType=3", "FontType", "12", "[display]\nFontType=12"},
      {"[display]\nFontType=\r\n", "FontType", "7", "[display]\nFontType=7\r\n"},
      {"[display]\nn1=...\r\n", "n1", "", "[display]\nn1=\r\n"},
      // First of duplicate keys and sections.
      {"[display]\nk=1\nk=2\n[display]\nk=3\n", "k", "x", "[display]\nk=x\nk=2\n[display]\nk=3\n"},
      // Appended after the section's last key, before its trailing blanks and comments.
      {"[display]\na=1\r\n; note\r\nb=2\r\n\r\n; next\r\n[other]\r\n", "k", "v",
       "[display]\na=1\r\n; note\r\nb=2\r\nk=v\r\n\r\n; next\r\n[other]\r\n"},
      {"[display]\n\n[other]\n", "k", "v", "[display]\nk=v\r\n\n[other]\n"},
      {"[display]", "k", "v", "[display]\r\nk=v\r\n"},
      {"[display]\na=1", "k", "v", "[display]\na=1\r\nk=v\r\n"},
      // Section appended at the end.
      {"", "k", "v", "[display]\r\nk=v\r\n"},
      {"[other]\na=1", "k", "v", "[other]\na=1\r\n[display]\r\nk=v\r\n"},
      {"[other]\na=1\n", "k", "v", "[other]\na=1\n[display]\r\nk=v\r\n"},
      // Values that would not read back as written are quoted.
      {"[display]\nk=1\n", "k", " padded ", "[display]\nk=\" padded \"\n"},
      {"[display]\nk=1\n", "k", "\"q\"", "[display]\nk=\"\"q\"\"\n"},
  };
  for (const UpdateCase& c : cases) {
    const std::string after = IniFile::Update(c.before, "display", c.key, c.value);
    EXPECT_EQ(after, c.after) << c.before;
    EXPECT_EQ(IniFile::Lookup(after, "display", c.key).value_or("<absent>"), c.value) << c.before;
  }
}

TEST(IniUpdate, RejectsWhatCannotBeStored) {
  EXPECT_THROW(IniFile::Update("", "display", "k", "a\r\nb=c"), std::invalid_argument);
  EXPECT_THROW(IniFile::Update("", "display", "k=x", "v"), std::invalid_argument);
  EXPECT_THROW(IniFile::Update("", "display", ";k", "v"), std::invalid_argument);
  EXPECT_THROW(IniFile::Update("", "display", "", "v"), std::invalid_argument);
  EXPECT_THROW(IniFile::Update("", "disp]lay", "k", "v"), std::invalid_argument);
  EXPECT_THROW(IniFile::Update("", " display", "k", "v"), std::invalid_argument);
}

TEST_F(IniFileTest, MissingFileReadsDefaultsAndFirstWriteCreatesIt) {
  const IniFile ini(m_dir / "KAVRI.ini");
  EXPECT_FALSE(ini.Exists());
  EXPECT_EQ(ini.ReadString("display", "language", "GB312"), "GB312");
  EXPECT_EQ(ini.ReadInteger("display", "FontType", 220), 220);
  ini.WriteInteger("display", "FontSize", 14);
  EXPECT_TRUE(ini.Exists());
  EXPECT_EQ(ReadBytes(ini.Path()), "[display]\r\nFontSize=14\r\n");
}

TEST_F(IniFileTest, WritesKeepForeignLinesByteForByte) {
  const std::string before =
      "; Kavri settings\r\n"
      "[Tools]\n"
      "editor = vim \n"
      "\r\n"
      "[display]\r\n"
      "window_width=800\r\n"
      "# a comment inside\r\n"
      "unknown key without equals\r\n"
      "Language = 'English'\r\n"
      "\r\n"
      "[zzz]\r\n"
      "n1=x\r\n";
  const IniFile ini(m_dir / "KAVRI.ini");
  WriteBytes(ini.Path(), before);
  ini.WriteInteger("display", "WINDOW_WIDTH", 1024);
  ini.WriteString("display", "language", "GB312");
  ini.WriteString("display", "n1", "...");
  EXPECT_EQ(ReadBytes(ini.Path()),
            "; Kavri settings\r\n"
            "[Tools]\n"
            "editor = vim \n"
            "\r\n"
            "[display]\r\n"
            "window_width=1024\r\n"
            "# a comment inside\r\n"
            "unknown key without equals\r\n"
            "Language = GB312\r\n"
            "n1=...\r\n"
            "\r\n"
            "[zzz]\r\n"
            "n1=x\r\n");
  EXPECT_EQ(ini.ReadString("zzz", "n1", ""), "x");
}

TEST_F(IniFileTest, IntegerReading) {
  const IniFile ini(m_dir / "KAVRI.ini");
  WriteBytes(ini.Path(),
             "[display]\nempty=\nword=abc\nlead=12abc\nneg=-7\nplus=+8\nhuge=99999999999\n"
             "minus=-\nsigns=+-3\nquoted=\"42\"\n");
  struct Case {
    const char* key;
    int strict;
    int profile;
  };
  const Case cases[] = {{"empty", -1, -1},     {"word", -1, 0},  {"lead", -1, 12},
                        {"neg", -7, -7},       {"plus", 8, 8},   {"huge", -1, 2147483647},
                        {"minus", -1, 0},      {"signs", -1, 0}, {"quoted", 42, 42},
                        {"absent", -1, -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(ini.ReadInteger("display", c.key, -1), c.strict) << c.key;
    EXPECT_EQ(ini.ReadProfileInt("display", c.key, -1), c.profile) << c.key;
  }
}

TEST_F(IniFileTest, UnreadableFileIsAnError) {
  const IniFile folder(m_dir);
  EXPECT_THROW(folder.ReadString("display", "k", ""), IniFileError);
}

TEST_F(IniFileTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  const IniFile ini(m_dir / "KAVRI.ini");
  const std::string before = "[display]\r\nlanguage=GB312\r\n";
  WriteBytes(ini.Path(), before);

  // Root may write anywhere, so make the write itself fail: a file size limit below what
  // the new content needs.
  struct sigaction ignore {}, old {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &old);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limit = saved;
  limit.rlim_cur = 64;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::string message;
  try {
    ini.WriteString("display", "language", std::string(200, 'x'));
  } catch (const IniFileError& e) {
    message = e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::sigaction(SIGXFSZ, &old, nullptr);

  EXPECT_NE(message.find("KAVRI.ini"), std::string::npos) << message;
  EXPECT_EQ(ReadBytes(ini.Path()), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(IniFileTest, WriteIntoMissingFolderFailsClearly) {
  const IniFile ini(m_dir / "no-such-folder" / "KAVRI.ini");
  try {
    ini.WriteString("display", "k", "v");
    FAIL() << "no error";
  } catch (const IniFileError& e) {
    EXPECT_NE(std::string(e.what()).find("no-such-folder"), std::string::npos) << e.what();
  }
}

TEST_F(IniFileTest, WriteKeepsPermissionsAndFollowsLinks) {
  const fs::path real = m_dir / "real.ini";
  WriteBytes(real, "[display]\nk=1\n");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(real, m_dir / "KAVRI.ini");
  IniFile(m_dir / "KAVRI.ini").WriteString("display", "k", "2");
  EXPECT_TRUE(fs::is_symlink(m_dir / "KAVRI.ini"));
  EXPECT_EQ(ReadBytes(real), "[display]\nk=2\n");
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
