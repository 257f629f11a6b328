// kavri-art run as a program: options, standard input, exit codes, fitting, a golden art.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sys/Utf8.h"

namespace {

struct ArtRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs the built kavri-art with `args` and `input` on its standard input (none: an empty
// one), standard output and error kept apart.
ArtRun Art(const std::vector<std::string>& args, const std::string& input = {}) {
  static int counter = 0;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("kavri_art_test_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string tag = std::to_string(++counter);
  const auto inPath = dir / ("in" + tag), outPath = dir / ("out" + tag), errPath = dir / ("err" + tag);
  std::ofstream(inPath, std::ios::binary) << input;

  const std::string binary = std::string(KAVRI_BINARY_DIR) + "/tools/kavri-art/kavri-art";
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(binary.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  ArtRun run;
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(inPath.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  if (pid < 0) return run;
  int status = 0;
  waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = Slurp(outPath);
  run.err = Slurp(errPath);
  std::filesystem::remove(inPath);
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

int Widest(const std::string& art) {
  int widest = 0;
  for (const std::string& line : Lines(art)) widest = std::max(widest, DisplayWidth(line));
  return widest;
}

bool HasInk(const std::string& art) { return art.find("爱") != std::string::npos; }

TEST(KavriArt, VersionHelpAndFontList) {
  const ArtRun version = Art({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "kavri-art 10\n");

  const ArtRun help = Art({"-h"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("usage: kavri-art [options] [TEXT...]\n")) << help.out;
  EXPECT_NE(help.out.find("--max-cols"), std::string::npos);

  const ArtRun fonts = Art({"--list-fonts"});
  EXPECT_EQ(fonts.status, 0);
  const std::vector<std::string> names = Lines(fonts.out);
  // The default face is an alias of ours and is listed with the installed families.
  EXPECT_NE(std::find(names.begin(), names.end(), "宋体"), names.end()) << fonts.out;
  EXPECT_NE(std::find(names.begin(), names.end(), "DejaVu Sans"), names.end()) << fonts.out;
}

TEST(KavriArt, UsageErrorsExitTwoAndPrintNoArt) {
  const std::vector<std::vector<std::string>> cases = {
      {"-s", "0", "x"},      {"-s", "41", "x"},      {"--size=abc", "x"},  {"--size=12x", "x"},
      {"-s", " 12", "x"},    {"--bogus", "x"},       {"-x", "x"},          {"x", "-s"},
      {"--bold=1", "x"},     {"-w", "0", "x"},       {"-w", "40000", "x"}, {"--max-cols", "0", "x"},
      {"--font=", "x"},
  };
  for (const auto& args : cases) {
    std::string shown;
    for (const std::string& a : args) shown += "[" + a + "]";
    const ArtRun run = Art(args);
    EXPECT_EQ(run.status, 2) << shown << " " << run.err;
    EXPECT_TRUE(run.out.empty()) << shown;
    EXPECT_TRUE(run.err.starts_with("kavri-art: ")) << shown << " " << run.err;
  }
}

TEST(KavriArt, UnknownFontExitsThree) {
  const ArtRun run = Art({"-f", "No Such Face Kavri", "Hi"});
  EXPECT_EQ(run.status, 3);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("No Such Face Kavri"), std::string::npos) << run.err;
  // Installed families are found whatever their case and spacing.
  EXPECT_EQ(Art({"-f", "dejavusans", "Hi"}).status, 0);
  EXPECT_EQ(Art({"-f", "DejaVu Sans Mono", "Hi"}).status, 0);
  // So are our aliases, a family under its name in another language, and the generic
  // families.
  EXPECT_EQ(Art({"-f", "simsun", "Hi"}).status, 0);
  EXPECT_EQ(Art({"-f", "文泉驿微米黑", "Hi"}).status, 0);
  EXPECT_EQ(Art({"-f", "monospace", "Hi"}).status, 0);
}

TEST(KavriArt, UndrawableCharactersAreNamedAndTheArtStillPrinted) {
  // U+0378 is unassigned: no face has it.
  const ArtRun run = Art({"A\xCD\xB8" "A\xCD\xB8"});
  EXPECT_EQ(run.status, 4);
  EXPECT_TRUE(HasInk(run.out));
  EXPECT_NE(run.err.find("U+0378"), std::string::npos) << run.err;
  // Named once however often it occurs.
  EXPECT_EQ(run.err.find("U+0378"), run.err.rfind("U+0378")) << run.err;
  // Tabs and line breaks are layout, not characters to draw.
  EXPECT_EQ(Art({}, "A\tB\r\nC\n").status, 0);
}

TEST(KavriArt, TextFromArgumentsOrStandardInput) {
  const ArtRun args = Art({"Hi", "there"});
  ASSERT_EQ(args.status, 0) << args.err;
  EXPECT_TRUE(HasInk(args.out));
  EXPECT_EQ(Art({}, "Hi there").out, args.out);
  EXPECT_EQ(Art({"Hi there"}).out, args.out);
  // "--" lets a text start with a dash.
  EXPECT_EQ(Art({"--", "-s"}).status, 0);
  // A line break in the input gives a second line of art below the first.
  const ArtRun two = Art({}, "Hi\nthere\n");
  EXPECT_GT(Lines(two.out).size(), Lines(Art({"Hi"}).out).size());
  // Nothing to draw: no art, no error.
  const ArtRun empty = Art({}, "");
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.out, "");
  EXPECT_EQ(Art({}, "  \n\n").out, "");
}

TEST(KavriArt, MalformedInputIsDrawnNotTrustedBlindly) {
  // A NUL does not cut the text short; malformed bytes become replacement characters.
  EXPECT_EQ(Art({}, std::string("A\0B", 3)).out, Art({"AB"}).out);
  const ArtRun bad = Art({}, "A\xFF\xC3");
  EXPECT_EQ(bad.status, 0) << bad.err;
  EXPECT_NE(bad.out, Art({"A"}).out);
}

TEST(KavriArt, TextTooLargeToDrawIsAFailureNotACrash) {
  std::string tall;
  for (int i = 0; i < 3000; ++i) tall += "Kavri\n";
  const ArtRun run = Art({}, tall);
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("--width"), std::string::npos) << run.err;
  // Fitting passes over the sizes too large to draw.
  const ArtRun fitted = Art({"--max-cols", "40"}, tall);
  EXPECT_EQ(fitted.status, 0) << fitted.err;
  EXPECT_TRUE(HasInk(fitted.out));
  EXPECT_LE(Widest(fitted.out), 40);
}

TEST(KavriArt, CellsAreNormalised) {
  // "ab c" is cut to "ab", "x" padded to "x ": every cell is two columns. A background
  // that is not blank is trimmed only by its padding, so every line keeps the full width.
  const ArtRun run = Art({"--fill", "ab c", "--back=x", "-s", "9", "Hi"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_FALSE(lines.empty());
  const auto padded = [](std::string line) { return line.ends_with('x') ? line + ' ' : line; };
  bool sawFill = false;
  for (std::string line : lines) {
    line = padded(line);
    EXPECT_EQ(line.size(), padded(lines.front()).size());
    ASSERT_EQ(line.size() % 2, 0u) << line;
    for (std::size_t i = 0; i < line.size(); i += 2) {
      const std::string cell = line.substr(i, 2);
      EXPECT_TRUE(cell == "ab" || cell == "x ") << cell;
      sawFill = sawFill || cell == "ab";
    }
  }
  EXPECT_TRUE(sawFill);
  // An all-blank fill gives nothing visible: every line trims away.
  EXPECT_EQ(Art({"--fill", " ", "Hi"}).out, "");
}

TEST(KavriArt, StylesAndWidthReachTheMemo) {
  const std::string plain = Art({"-s", "14", "Hello world"}).out;
  ASSERT_TRUE(HasInk(plain));
  EXPECT_NE(Art({"-s", "14", "-b", "Hello world"}).out, plain);
  EXPECT_NE(Art({"-s", "14", "--italic", "Hello world"}).out, plain);
  EXPECT_EQ(Art({"-bi", "-s14", "Hello world"}).out, Art({"--bold", "-i", "--size=14", "Hello world"}).out);
  // A narrow memo wraps the words onto more lines, and the art is no wider than it.
  const ArtRun wrapped = Art({"-s", "14", "-w", "70", "Hello world"});
  ASSERT_EQ(wrapped.status, 0) << wrapped.err;
  EXPECT_GT(Lines(wrapped.out).size(), Lines(plain).size());
  EXPECT_LE(Widest(wrapped.out), 2 * (70 - 4));
  EXPECT_LT(Widest(wrapped.out), Widest(plain));
}

TEST(KavriArt, MaxColsPicksTheLargestSizeThatFits) {
  const int limit = 120;
  const ArtRun fitted = Art({"--max-cols", std::to_string(limit), "Kavri"});
  ASSERT_EQ(fitted.status, 0) << fitted.err;
  ASSERT_TRUE(HasInk(fitted.out));
  EXPECT_LE(Widest(fitted.out), limit);
  int chosen = 0;
  for (int size = 40; size >= 1 && chosen == 0; --size)
    if (Art({"-s", std::to_string(size), "Kavri"}).out == fitted.out) chosen = size;
  ASSERT_GT(chosen, 0);
  // Every larger size is too wide.
  for (int size = chosen + 1; size <= 40; ++size)
    EXPECT_GT(Widest(Art({"-s", std::to_string(size), "Kavri"}).out), limit) << size;
  // Blanks after the text add no ink and do not make the art smaller.
  EXPECT_EQ(Art({"--max-cols", std::to_string(limit)}, "Kavri" + std::string(40, ' ') + "\n").out, fitted.out);
  // -s bounds the choice from above.
  EXPECT_EQ(Art({"--max-cols", "100000", "-s", "7", "Kavri"}).out, Art({"-s", "7", "Kavri"}).out);
}

TEST(KavriArt, GoldenArt) {
  struct Case {
    std::vector<std::string> args;
    const char* golden;
  };
  const Case cases[] = {
      {{"Hi 爱"}, "hi_songti_12.txt"},
      {{"-f", "DejaVu Sans", "-s", "8", "Hi 爱"}, "hi_dejavu_8.txt"},
  };
  for (const Case& c : cases) {
    const ArtRun run = Art(c.args);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::filesystem::path golden = std::filesystem::path(KAVRI_TEST_INPUTS) / "art" / c.golden;
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
    EXPECT_EQ(run.out, Slurp(golden)) << c.golden << ":\n" << run.out;
  }
}

}  // namespace
