// The skinpack tool: commands, outputs and exit codes, run as a program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "../skin/data/SkinTestFiles.h"

namespace {

struct ToolRun {
  int status;
  std::string out;
};

// `streams` picks what is caught: both by default, or "2>/dev/null" for standard output
// alone, "2>&1 >/dev/null" for standard error alone.
ToolRun Skinpack(const std::string& args, const std::string& streams = "2>&1") {
  const std::string command = std::string(KAVRI_BINARY_DIR) + "/tools/skinpack/skinpack " + args + " " + streams;
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

// Import refuses to write over its own inputs, however they are reached, and leaves them
// as they were.
TEST(Skinpack, ImportRefusesAnOutputThatIsAnInput) {
  SampleSkinFolder folder("toolsame");
  namespace fs = std::filesystem;
  fs::create_symlink(folder.Definition(), folder.Path("link.ini"));
  fs::create_symlink(folder.Path("buttons.bmp"), folder.Path("link.bmp"));
  fs::create_hard_link(folder.Path("mask.bmp"), folder.Path("hard.bmp"));
  fs::create_directories(folder.Path("sub"));
  struct Case {
    std::string output;
    std::string input;  // the input it is
  };
  const Case cases[] = {
      {folder.Definition(), "sample.ini"},
      {folder.Path("sub/../sample.ini").string(), "sample.ini"},
      {folder.Path("link.ini").string(), "sample.ini"},
      {folder.Path("main.bmp").string(), "main.bmp"},
      {folder.Path("link.bmp").string(), "buttons.bmp"},
      {folder.Path("hard.bmp").string(), "mask.bmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    const auto before = ReadTestFile(folder.Path(c.input));
    const ToolRun run = Skinpack("import " + folder.Definition() + " " + c.output);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("same file as the input"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(c.output), std::string::npos) << run.out;
    EXPECT_EQ(ReadTestFile(folder.Path(c.input)), before);
  }
  // Through a link to another file, the file the link names gets the package.
  WriteTestFile(folder.Path("old.skp"), std::string("old"));
  fs::create_symlink(folder.Path("old.skp"), folder.Path("out-link.skp"));
  EXPECT_EQ(Skinpack("import " + folder.Definition() + " " + folder.Path("out-link.skp").string()).status, 0);
  EXPECT_TRUE(fs::is_symlink(folder.Path("out-link.skp")));
  EXPECT_EQ(ReadTestFile(folder.Path("old.skp"))[0], 3);
}

// A failed import leaves the old output alone and no temporary file behind; a good one
// replaces it whole.
TEST(Skinpack, ImportWritesThroughATemporaryFile) {
  SampleSkinFolder folder("tooltemp");
  namespace fs = std::filesystem;
  const fs::path output = folder.Path("out.skp");
  WriteTestFile(output, std::string("previous package"));
  const auto names = [&] {
    std::set<std::string> out;
    for (const auto& entry : fs::directory_iterator(folder.Path("."))) out.insert(entry.path().filename().string());
    return out;
  };
  const std::set<std::string> before = names();
  const auto picture = ReadTestFile(folder.Path("controls.bmp"));
  WriteTestFile(folder.Path("controls.bmp"), std::vector<std::uint8_t>(picture.begin(), picture.begin() + 40));
  const ToolRun bad = Skinpack("import " + folder.Definition() + " " + output.string());
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(ReadTestFile(output), std::vector<std::uint8_t>({'p', 'r', 'e', 'v', 'i', 'o', 'u', 's', ' ', 'p', 'a',
                                                              'c', 'k', 'a', 'g', 'e'}));
  EXPECT_EQ(names(), before);
  WriteTestFile(folder.Path("controls.bmp"), picture);
  EXPECT_EQ(Skinpack("import " + folder.Definition() + " " + output.string()).status, 0);
  EXPECT_EQ(ReadTestFile(output)[0], 3);
  EXPECT_EQ(names(), before);
  EXPECT_EQ(fs::status(output).permissions() & fs::perms::others_read, fs::perms::others_read);
  // A folder that cannot be written to is named.
  const ToolRun nowhere = Skinpack("import " + folder.Definition() + " /nonexistent/out.skp");
  EXPECT_EQ(nowhere.status, 1);
  EXPECT_NE(nowhere.out.find("/nonexistent/out.skp"), std::string::npos) << nowhere.out;
}

// Every error names the file it is about.
TEST(Skinpack, ErrorsNameTheirFile) {
  SampleSkinFolder folder("toolname");
  const auto picture = ReadTestFile(folder.Path("buttons.bmp"));
  WriteTestFile(folder.Path("buttons.bmp"), std::vector<std::uint8_t>(picture.begin(), picture.begin() + 30));
  WriteTestFile(folder.Path("short.skp"), std::vector<std::uint8_t>{3, 0, 0, 0, 100, 0, 0, 0, 0x78});
  struct Case {
    std::string args;
    std::string file;
    std::string error;
  };
  const Case cases[] = {
      {"import " + folder.Definition() + " " + folder.Path("o.skp").string(), folder.Path("buttons.bmp").string(),
       "Bitmap image is not valid"},
      {"check " + folder.Path("short.skp").string(), folder.Path("short.skp").string(), "Stream read error"},
      {"dump " + folder.Path("short.skp").string(), folder.Path("short.skp").string(), "Stream read error"},
      {"preview " + folder.Path("short.skp").string() + " " + folder.Path("p.png").string(),
       folder.Path("short.skp").string(), "Stream read error"},
      {"check " + folder.Path("missing.skp").string(), folder.Path("missing.skp").string(), ""},
      {"import " + folder.Path("missing.ini").string() + " " + folder.Path("o.skp").string(),
       folder.Path("missing.ini").string(), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const ToolRun run = Skinpack(c.args, "2>&1 >/dev/null");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.starts_with("skinpack: " + c.file + ": ")) << run.out;
    EXPECT_NE(run.out.find(c.error), std::string::npos) << run.out;
  }
  // A definition's check tells the line that names the picture, and the picture's file.
  const ToolRun check = Skinpack("check " + folder.Definition(), "2>&1 >/dev/null");
  EXPECT_EQ(check.status, 1);
  EXPECT_TRUE(check.out.starts_with(folder.Definition() + ":15: error: picture \"buttons.bmp\" (" +
                                    folder.Path("buttons.bmp").string() + "): Bitmap image is not valid"))
      << check.out;
  EXPECT_FALSE(std::filesystem::exists(folder.Path("o.skp")));
  EXPECT_FALSE(std::filesystem::exists(folder.Path("p.png")));
}

// Help goes to standard output with success, each line once; wrong use to standard error.
TEST(Skinpack, HelpAndUsage) {
  for (const char* flag : {"--help", "-h"}) {
    SCOPED_TRACE(flag);
    const ToolRun out = Skinpack(flag, "2>/dev/null");
    EXPECT_EQ(out.status, 0);
    EXPECT_TRUE(out.out.starts_with("usage: skinpack import DEFINITION OUTPUT")) << out.out;
    std::istringstream lines(out.out);
    std::set<std::string> seen;
    for (std::string line; std::getline(lines, line);) EXPECT_TRUE(seen.insert(line).second) << line;
    for (const char* command : {"import", "dump", "check", "preview"})
      EXPECT_NE(out.out.find(std::string("skinpack ") + command), std::string::npos);
    EXPECT_EQ(Skinpack(flag, "2>&1 >/dev/null").out, "");
  }
  const ToolRun wrong = Skinpack("dump", "2>/dev/null");
  EXPECT_EQ(wrong.status, 2);
  EXPECT_EQ(wrong.out, "");
  EXPECT_TRUE(Skinpack("dump", "2>&1 >/dev/null").out.starts_with("usage: "));
}

// Preview writes PNG for a .png name (any case) and BMP otherwise; both hold the same sheet.
TEST(Skinpack, PreviewFormatFollowsTheName) {
  SampleSkinFolder folder("toolpreview");
  struct Case {
    const char* name;
    std::vector<std::uint8_t> signature;
  };
  const Case cases[] = {
      {"sheet.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}},
      {"SHEET.PNG", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}},
      {"sheet.bmp", {'B', 'M'}},
      {"sheet", {'B', 'M'}},
      {"sheet.png.bmp", {'B', 'M'}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string out = folder.Path(c.name).string();
    ASSERT_EQ(Skinpack("preview " + folder.Definition() + " " + out).status, 0);
    const auto bytes = ReadTestFile(out);
    ASSERT_GE(bytes.size(), c.signature.size());
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(c.signature.size())),
              c.signature);
  }
  // The PNG's size is the BMP's: width and height at bytes 16..23 of the first, 18..25 of the other.
  const auto png = ReadTestFile(folder.Path("sheet.png"));
  const auto bmp = ReadTestFile(folder.Path("sheet.bmp"));
  const auto be32 = [&](std::size_t at) {
    return (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
  };
  const auto le32 = [&](std::size_t at) {
    return bmp[at] | (bmp[at + 1] << 8) | (bmp[at + 2] << 16) | (bmp[at + 3] << 24);
  };
  EXPECT_EQ(be32(16), le32(18));
  EXPECT_EQ(be32(20), std::abs(le32(22)));
}

}  // namespace
