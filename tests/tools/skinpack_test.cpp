// The skinpack tool: commands, outputs and exit codes, run as a program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "../skin/data/SkinTestFiles.h"

namespace {

struct ToolRun {
  int status;
  std::string out;
};

ToolRun Skinpack(const std::string& args) {
  const std::string command = std::string(KAVRI_BINARY_DIR) + "/tools/skinpack/skinpack " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ToolRun run{-1, {}};
  if (!pipe) return run;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(Skinpack, ImportThenCheckAndDump) {
  SampleSkinFolder folder("tool");
  const std::string package = folder.Path("out.skp").string();
  EXPECT_EQ(Skinpack("import " + folder.Definition() + " " + package).status, 0);
  const auto bytes = ReadTestFile(package);
  ASSERT_GT(bytes.size(), 10u);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 4),
            (std::vector<std::uint8_t>{3, 0, 0, 0}));
  EXPECT_EQ(bytes[8], 0x78);
  EXPECT_EQ(bytes[9], 0xDA);

  const ToolRun check = Skinpack("check " + package);
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.out, "ok: 7 objects, 15 controls, 3 active pictures\n");
  // A definition file is imported before it is dumped; both dumps agree.
  const ToolRun fromPackage = Skinpack("dump " + package);
  const ToolRun fromDefinition = Skinpack("dump " + folder.Definition());
  EXPECT_EQ(fromPackage.status, 0);
  EXPECT_TRUE(fromPackage.out.starts_with("[VERSION]\nskinname=Sample Slate\n"));
  EXPECT_EQ(fromPackage.out, fromDefinition.out);
}

TEST(Skinpack, BadInputAndWrongUsage) {
  SampleSkinFolder folder("toolbad");
  WriteTestFile(folder.Path("short.skp"), std::vector<std::uint8_t>{3, 0, 0, 0, 100, 0, 0, 0, 0x78});
  WriteTestFile(folder.Path("v4.skp"), std::vector<std::uint8_t>{4, 0, 0, 0, 0, 0, 0, 0});
  WriteTestFile(folder.Path("partial.ini"), std::string("[VERSION]\nskinname=x\n"));
  const ToolRun shortFile = Skinpack("check " + folder.Path("short.skp").string());
  EXPECT_EQ(shortFile.status, 1);
  EXPECT_NE(shortFile.out.find("Stream read error"), std::string::npos);
  EXPECT_EQ(Skinpack("dump " + folder.Path("v4.skp").string()).status, 1);
  EXPECT_EQ(Skinpack("import " + folder.Path("partial.ini").string() + " " + folder.Path("o.skp").string()).status, 1);
  EXPECT_EQ(Skinpack("check /nonexistent/skin.skp").status, 1);
  EXPECT_EQ(Skinpack("").status, 2);
  EXPECT_EQ(Skinpack("dump").status, 2);
  EXPECT_EQ(Skinpack("check a b").status, 2);
  EXPECT_EQ(Skinpack("frobnicate x").status, 2);
}

}  // namespace
