// ExeDir, and ShellOpen handing its argument to xdg-open untouched and without a shell.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/sys/Shell.h"

namespace fs = std::filesystem;

TEST(ExeDir, IsTheFolderOfThisTestProgram) {
  const std::string dir = ExeDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(fs::exists(dir + "sys_shell_test"));
}

class ShellOpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("kavri_shell_" + std::to_string(::getpid()));
    fs::remove_all(m_dir);
    fs::create_directories(m_dir / "bin");
    m_out = m_dir / "args";
    // The fake handler records its arguments NUL-separated, then renames the record into
    // place so the test never reads half of it.
    std::ofstream script(m_dir / "bin" / "xdg-open");
    script << "#!/bin/sh\n"
           << "out='" << m_out.string() << "'\n"
           << "printf '%s\\n' \"$#\" > \"$out.tmp\"\n"
           << "for a in \"$@\"; do printf '%s\\0' \"$a\" >> \"$out.tmp\"; done\n"
           << "mv \"$out.tmp\" \"$out\"\n";
    script.close();
    fs::permissions(m_dir / "bin" / "xdg-open", fs::perms::owner_all);
    const char* path = std::getenv("PATH");
    m_oldPath = path ? path : "";
    ::setenv("PATH", ((m_dir / "bin").string() + ":" + m_oldPath).c_str(), 1);
  }
  void TearDown() override {
    ::setenv("PATH", m_oldPath.c_str(), 1);
    fs::remove_all(m_dir);
  }
  std::string AwaitArguments() {
    for (int i = 0; i < 500 && !fs::exists(m_out); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(m_out, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    fs::remove(m_out);
    return ss.str();
  }
  fs::path m_dir;
  fs::path m_out;
  std::string m_oldPath;
};

TEST_F(ShellOpenTest, ArgumentArrivesUnmangled) {
  const std::string targets[] = {
      "/opt/Kavri Art/help.htm",
      "https://example.invalid/a?b=1&c=$(touch pwned);`id`|x>y 'q' \"d\" *",
      "mailto:someone@example.invalid?subject=你好 世界",
  };
  for (const std::string& target : targets) {
    ASSERT_TRUE(ShellOpen(target)) << target;
    EXPECT_EQ(AwaitArguments(), "1\n" + target + std::string(1, '\0')) << target;
  }
  EXPECT_FALSE(fs::exists("pwned"));
}

TEST_F(ShellOpenTest, LeadingDashIsNotAnOption) {
  ASSERT_TRUE(ShellOpen("--version"));
  EXPECT_EQ(AwaitArguments(), std::string("1\n./--version") + '\0');
}

TEST_F(ShellOpenTest, FailsWithoutAHandlerOrTarget) {
  ::setenv("PATH", (m_dir / "empty").string().c_str(), 1);
  EXPECT_FALSE(ShellOpen("/tmp/help.htm"));
  ::setenv("PATH", (m_dir / "bin").string().c_str(), 1);
  EXPECT_FALSE(ShellOpen(""));
  EXPECT_FALSE(ShellOpen(std::string("a\0b", 3)));
}
