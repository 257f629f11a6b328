// The skinpack tool: commands, outputs and exit codes, run as a program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
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


// A package file of the given plain stream.
void WritePackageFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& plain) {
  TskCompressedStoredSkin skin;
  SetPlainPackage(skin, plain);
  skin.SaveToPackageFile(path.string());
}

int FilesIn(const std::filesystem::path& dir) {
  int n = 0;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(dir, ec); !ec && it != std::filesystem::end(it);
       it.increment(ec))
    n += it->is_regular_file() ? 1 : 0;
  return n;
}

// Unpacking and importing again gives the same skin, for the program's own package and for
// the sample (built here from its definition); the pictures come back byte for byte.
TEST(Skinpack, UnpackThenImportGivesTheSameSkin) {
  SampleSkinFolder folder("unpack");
  const std::string sample = folder.Path("sample.skp").string();
  ASSERT_EQ(Skinpack("import " + folder.Definition() + " " + sample).status, 0);
  for (const std::string& package : {std::string(KAVRI_BINARY_DIR) + "/assets/skin/kavri.skinpkg", sample}) {
    SCOPED_TRACE(package);
    const std::filesystem::path out = folder.Path("out-" + std::filesystem::path(package).stem().string());
    const ToolRun unpack = Skinpack("unpack " + package + " " + out.string());
    ASSERT_EQ(unpack.status, 0) << unpack.out;
    const std::string definition = (out / (std::filesystem::path(package).stem().string() + ".ini")).string();
    EXPECT_EQ(unpack.out, definition + "\n");
    const std::string again = folder.Path("again.skp").string();
    ASSERT_EQ(Skinpack("import " + definition + " " + again).status, 0);
    const ToolRun original = Skinpack("dump " + package);
    ASSERT_EQ(original.status, 0);
    EXPECT_EQ(Skinpack("dump " + again).out, original.out);
  }
  EXPECT_EQ(ReadTestFile(folder.Path("out-sample/buttons.bmp")), ReadTestFile(folder.Path("buttons.bmp")));
  EXPECT_EQ(ReadTestFile(folder.Path("out-sample/mask.bmp")), ReadTestFile(folder.Path("mask.bmp")));

  // A second unpack keeps what is there and writes nothing; --force replaces it.
  WriteTestFile(folder.Path("out-sample/main.bmp"), std::string("edited"));
  const ToolRun refused = Skinpack("unpack " + sample + " " + folder.Path("out-sample").string());
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.out.find("exists"), std::string::npos) << refused.out;
  EXPECT_EQ(ReadTestFile(folder.Path("out-sample/main.bmp")), std::vector<std::uint8_t>({'e', 'd', 'i', 't', 'e', 'd'}));
  EXPECT_EQ(Skinpack("unpack --force " + sample + " " + folder.Path("out-sample").string()).status, 0);
  EXPECT_EQ(ReadTestFile(folder.Path("out-sample/main.bmp")), ReadTestFile(folder.Path("main.bmp")));
}

// Packages that cannot be unpacked faithfully or safely are refused with the package's
// name, before anything is written.
TEST(Skinpack, UnpackRefusesWhatItCannotWriteFaithfully) {
  SampleSkinFolder folder("unpackbad");
  const auto red = SaveBmp(PatternBitmap(6, 4, 3, 1), 8), blue = SaveBmp(PatternBitmap(6, 4, 3, 2), 8);
  auto lines = [](std::vector<std::string> pictures) {
    std::vector<std::string> out = {"[VERSION]", "skinname=x", "[PICTURES]"};
    out.insert(out.end(), pictures.begin(), pictures.end());
    for (const char* s : {"[FORMINFO]", "[SKINOBJECTS]", "[SKINCONTROLS]"}) out.push_back(s);
    return out;
  };
  std::vector<std::uint8_t> whole = PlainPackage(3, red, {}, {}, {}, lines({"picture=a.bmp"}));
  whole.resize(20);
  struct Case {
    const char* what;
    std::vector<std::uint8_t> plain;
    const char* message;
  } cases[] = {
      {"escaping name", PlainPackage(3, red, {}, {}, {}, lines({"picture=../evil.bmp"})), "leads out of the folder"},
      {"absolute name", PlainPackage(3, red, {}, {}, {}, lines({"picture=/tmp/evil.bmp"})), "leads out of the folder"},
      {"unnamed picture", PlainPackage(3, red, {}, {}, {}, lines({})), "names nowhere"},
      {"named, not held", PlainPackage(3, {}, {}, {}, {}, lines({"mask=m.bmp"})), "holds no such picture"},
      {"one name, two pictures", PlainPackage(3, red, {}, {}, {blue}, lines({"picture=a.bmp", "activepicturescount=1", "0=a.bmp"})),
       "two different pictures"},
      {"count differs", PlainPackage(3, red, {}, {}, {blue}, lines({"picture=a.bmp", "activepicturescount=2", "0=b.bmp", "1=c.bmp"})),
       "holds 1 active pictures but its definition names 2"},
      {"cut short", whole, "not valid"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::filesystem::path package = folder.Path("bad.skp"), out = folder.Path("bad-out");
    WritePackageFile(package, c.plain);
    const ToolRun run = Skinpack("unpack " + package.string() + " " + out.string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find(package.string() + ": "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out;
    EXPECT_EQ(FilesIn(out), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("evil.bmp")));
  }
  // The damaged packages of the sample inputs, each named in its error.
  for (const char* name : {"skin-damaged-stream.skp", "skin-huge-count.skp", "skin-lying-picture.skp", "skin-short.skp",
                           "skin-version4.skp"}) {
    const std::string path = std::string(KAVRI_TEST_INPUTS) + "/malformed/" + name;
    const ToolRun run = Skinpack("unpack " + path + " " + folder.Path("damaged").string());
    EXPECT_EQ(run.status, 1) << name;
    EXPECT_NE(run.out.find("skinpack: " + path + ": "), std::string::npos) << run.out;
    EXPECT_FALSE(std::filesystem::exists(folder.Path("damaged")));
  }
  // The same picture under one name twice is fine, and a version 2 package drops its two
  // unused pictures.
  const std::filesystem::path package = folder.Path("v2.skp");
  WritePackageFile(package, PlainPackage(2, red, {}, {}, {red}, lines({"picture=a.bmp", "activepicturescount=1", "0=a.bmp"}), 2));
  ASSERT_EQ(Skinpack("unpack " + package.string() + " " + folder.Path("v2").string()).status, 0);
  EXPECT_EQ(FilesIn(folder.Path("v2")), 2);
  EXPECT_EQ(Skinpack("unpack " + package.string()).status, 2);
}


// A definition is checked line by line: warnings pass unless --strict, errors fail, and
// each is told as FILE:LINE.
TEST(Skinpack, CheckOfADefinitionNamesTheLines) {
  SampleSkinFolder folder("checklines");
  const ToolRun plain = Skinpack("check " + folder.Definition());
  EXPECT_EQ(plain.status, 0) << plain.out;
  EXPECT_NE(plain.out.find(folder.Definition() + ":155: warning: type \"header\""), std::string::npos) << plain.out;
  EXPECT_NE(plain.out.find("ok: 7 objects, 15 controls, 3 active pictures"), std::string::npos) << plain.out;
  EXPECT_EQ(Skinpack("check --strict " + folder.Definition()).status, 1);
  WriteTestFile(folder.Path("sample.ini"), std::string("[VERSION]\nskinname=x\nskinnam=y\n"));
  const ToolRun bad = Skinpack("check " + folder.Definition());
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.out.find(folder.Definition() + ":3: error: unknown key \"skinnam\" in [VERSION]; did you mean \"skinname\"?"),
            std::string::npos) << bad.out;
}

}  // namespace
