// kavri-art run as a program: options, standard input, exit codes, fitting, a golden art.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sys/Utf8.h"

namespace {

struct ArtRun {
  int status = -1;  // -1: ended by a signal
  int signal = 0;
  std::string out;
  std::string err;
};

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::filesystem::path TestDir() {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("kavri_art_test_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

struct RunSetup {
  std::string input;
  std::vector<std::pair<std::string, std::string>> env;  // set in the child; "" value: unset
  bool closedStdout = false;  // standard output is a pipe nobody reads
  std::string cwd;
};

// Runs `binary` with `args`, standard output and error kept apart.
ArtRun RunProgram(const std::string& binary, const std::vector<std::string>& args, const RunSetup& setup) {
  static int counter = 0;
  const std::filesystem::path dir = TestDir();
  const std::string tag = std::to_string(++counter);
  const auto inPath = dir / ("in" + tag), outPath = dir / ("out" + tag), errPath = dir / ("err" + tag);
  std::ofstream(inPath, std::ios::binary) << setup.input;

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(binary.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  int pipeFds[2] = {-1, -1};
  if (setup.closedStdout && pipe(pipeFds) != 0) return {};
  ArtRun run;
  const pid_t pid = fork();
  if (pid == 0) {
    for (const auto& [name, value] : setup.env) {
      if (value.empty()) unsetenv(name.c_str());
      else setenv(name.c_str(), value.c_str(), 1);
    }
    if (!setup.cwd.empty() && chdir(setup.cwd.c_str()) != 0) _exit(126);
    const int in = open(inPath.c_str(), O_RDONLY);
    const int out = setup.closedStdout ? pipeFds[1] : open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    if (setup.closedStdout) close(pipeFds[0]);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    // Whatever the test runner did with the pipe signal, the program starts as a shell
    // would start it.
    signal(SIGPIPE, SIG_DFL);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  if (setup.closedStdout) {
    close(pipeFds[0]);
    close(pipeFds[1]);
  }
  if (pid < 0) return run;
  int status = 0;
  waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  run.out = Slurp(outPath);
  run.err = Slurp(errPath);
  std::filesystem::remove(inPath);
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return run;
}

const std::string& ArtBinary() {
  static const std::string binary = std::string(KAVRI_BINARY_DIR) + "/tools/kavri-art/kavri-art";
  return binary;
}

// Runs the built kavri-art with `args` and `input` on its standard input (none: an empty
// one).
ArtRun Art(const std::vector<std::string>& args, const std::string& input = {}) {
  return RunProgram(ArtBinary(), args, RunSetup{input, {}, false, {}});
}

ArtRun ArtWith(const std::vector<std::string>& args, const RunSetup& setup) {
  return RunProgram(ArtBinary(), args, setup);
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

// --- Forms of output -------------------------------------------------------------------

// Runs a python3 script on a file holding `data`; its standard output.
ArtRun Python(const std::string& script, const std::string& data) {
  const std::filesystem::path file = TestDir() / "python-input";
  std::ofstream(file, std::ios::binary) << data;
  ArtRun run = RunProgram("/usr/bin/python3", {"-c", script, file.string()}, {});
  std::filesystem::remove(file);
  return run;
}

// The ink cells of a text art of fill "爱" and background two spaces, as "x,y" lines.
std::string InkCellsOfText(const std::string& art) {
  std::string cells;
  int y = 0;
  for (const std::string& line : Lines(art)) {
    int x = 0;
    for (std::size_t pos = 0; pos < line.size(); ++x) {
      if (line.compare(pos, 3, "爱") == 0) {
        cells += std::to_string(x) + "," + std::to_string(y) + "\n";
        pos += 3;
      } else {
        EXPECT_EQ(line.compare(pos, 2, "  "), 0) << line;
        pos += 2;
      }
    }
    ++y;
  }
  return cells;
}

TEST(KavriArt, HtmlIsAPageWhosePreIsTheText) {
  // A text whose art starts with empty rows (a line break first) and has characters to
  // escape in its face name.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"-s", "9", "Hi"}, {"-s", "8", "-b", "--", "\nA&<>"}, {"--crop", "-s", "7", "爱"}}) {
    const ArtRun text = Art(args);
    std::vector<std::string> html = args;
    html.insert(html.begin(), "--format=html");
    const ArtRun page = Art(html);
    ASSERT_EQ(page.status, 0) << page.err;
    ASSERT_TRUE(HasInk(text.out));
    const ArtRun parsed = Python(R"py(
import html.parser, sys
class P(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.pre = None; self.inpre = False; self.meta = False; self.comments = []; self.doctype = False
    def handle_decl(self, d): self.doctype = d.lower() == "doctype html"
    def handle_starttag(self, tag, attrs):
        if tag == "pre": self.inpre = True; self.pre = ""
        if tag == "meta" and ("charset", "utf-8") in attrs: self.meta = True
    def handle_endtag(self, tag):
        if tag == "pre": self.inpre = False
    def handle_data(self, d):
        if self.inpre: self.pre += d
    def handle_comment(self, c): self.comments.append(c)
p = P(); p.feed(open(sys.argv[1], encoding="utf-8").read()); p.close()
# The HTML rule: a line break right after <pre> is not part of its text.
pre = p.pre[1:] if p.pre.startswith("\n") else p.pre
if not p.doctype or not p.meta: sys.exit("no doctype or charset")
sys.stdout.write("\x1f".join(p.comments) + "\x1e" + pre)
)py", page.out);
    ASSERT_EQ(parsed.status, 0) << parsed.err;
    const std::size_t split = parsed.out.find('\x1e');
    ASSERT_NE(split, std::string::npos);
    EXPECT_EQ(parsed.out.substr(split + 1), text.out);
    // The face and size are named in a comment.
    const std::string comment = parsed.out.substr(0, split);
    EXPECT_NE(comment.find("宋体"), std::string::npos) << comment;
    const auto size = std::find(args.begin(), args.end(), "-s");
    ASSERT_NE(size, args.end());
    EXPECT_NE(comment.find(", " + *(size + 1) + " points"), std::string::npos) << comment;
  }
}

TEST(KavriArt, SvgIsWellFormedAndItsRectanglesCoverExactlyTheInkCells) {
  const std::vector<std::vector<std::string>> cases = {
      {"-s", "9", "Hi"}, {"-s", "11", "-i", "Kavri 爱"}, {"--crop", "-s", "6", "--", "-x-"}};
  for (const auto& args : cases) {
    const ArtRun text = Art(args);
    std::vector<std::string> svg = args;
    svg.insert(svg.begin(), {"--format", "svg", "--ink-color", "#123456", "--back-color", "yellow"});
    const ArtRun picture = Art(svg);
    ASSERT_EQ(picture.status, 0) << picture.err;
    const ArtRun cells = Python(R"py(
import sys, xml.etree.ElementTree as ET
ns = "{http://www.w3.org/2000/svg}"
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == ns + "svg", root.tag
x0, y0, w, h = (int(v) for v in root.get("viewBox").split())
assert (x0, y0) == (0, 0)
back = [r for r in root.iter(ns + "rect") if r.get("class") == "back"]
assert len(back) == 1 and back[0].get("fill") == "#ffff00"
assert (int(back[0].get("width")), int(back[0].get("height"))) == (w, h)
groups = [g for g in root.iter(ns + "g") if g.get("class") == "ink"]
assert len(groups) == 1 and groups[0].get("fill") == "#123456"
seen = set()
runs = 0
for r in groups[0].iter(ns + "rect"):
    x, y, rw, rh = (int(r.get(k)) for k in ("x", "y", "width", "height"))
    assert rh == 1 and rw >= 1 and 0 <= x and x + rw <= w and 0 <= y < h
    runs += 1
    for c in range(x, x + rw):
        assert (c, y) not in seen, "overlap"
        seen.add((c, y))
# One rectangle per run: no two rectangles touch along a row.
for r in groups[0].iter(ns + "rect"):
    x, y, rw = int(r.get("x")), int(r.get("y")), int(r.get("width"))
    assert (x - 1, y) not in seen and (x + rw, y) not in seen, "a run split in two"
for y in range(h):
    for x in range(w):
        if (x, y) in seen: print(f"{x},{y}")
)py", picture.out);
    ASSERT_EQ(cells.status, 0) << cells.err << picture.out.substr(0, 400);
    EXPECT_EQ(cells.out, InkCellsOfText(text.out));
    EXPECT_FALSE(cells.out.empty());
  }
}

std::string StripEscapes(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\x1b' && i + 1 < text.size() && text[i + 1] == '[') {
      i += 2;
      while (i < text.size() && ((text[i] >= '0' && text[i] <= '9') || text[i] == ';')) ++i;
      EXPECT_EQ(text[i], 'm') << "only colour escapes";
      continue;
    }
    out += text[i];
  }
  return out;
}

TEST(KavriArt, AnsiColoursTheCellsAndIsTheTextWithoutItsEscapes) {
  const std::vector<std::string> art = {"-s", "10", "--ink-color", "#102030", "--back-color", "red", "Kavri"};
  const ArtRun text = Art(art);
  std::vector<std::string> args = art;
  args.push_back("--format=ansi");
  const ArtRun truecolor = ArtWith(args, {{}, {{"COLORTERM", "truecolor"}}, false, {}});
  const ArtRun palette = ArtWith(args, {{}, {{"COLORTERM", ""}}, false, {}});
  ASSERT_EQ(truecolor.status, 0) << truecolor.err;
  ASSERT_EQ(palette.status, 0) << palette.err;
  EXPECT_EQ(StripEscapes(truecolor.out), text.out);
  EXPECT_EQ(StripEscapes(palette.out), text.out);
  EXPECT_NE(truecolor.out.find("\x1b[38;2;16;32;48m"), std::string::npos);
  EXPECT_NE(truecolor.out.find("\x1b[48;2;255;0;0m"), std::string::npos);
  EXPECT_EQ(truecolor.out.find(";5;"), std::string::npos);
  // 256 colours: red is the cube's 196, #102030 the grey ramp's 234 (28, 28, 28).
  EXPECT_NE(palette.out.find("\x1b[48;5;196m"), std::string::npos);
  EXPECT_NE(palette.out.find("\x1b[38;5;234m"), std::string::npos);
  EXPECT_EQ(palette.out.find(";2;"), std::string::npos);
  // Every coloured line is reset before its line break.
  for (const std::string& line : Lines(truecolor.out))
    if (!line.empty()) {
      EXPECT_TRUE(line.ends_with("\x1b[0m")) << line;
    }
  // The nearest of the 256 colours: the cube's levels 0, 95, 135, 175, 215, 255 and the
  // grey ramp 8, 18, ... 238.
  const std::pair<const char*, int> nearest[] = {
      {"black", 16}, {"white", 231}, {"#5f87af", 67}, {"#808080", 244}, {"#ffd7ff", 225},
      {"#eeeeee", 255}, {"#0a0a0a", 232}, {"#00ff00", 46}, {"#60605f", 59},
  };
  for (const auto& [color, index] : nearest) {
    const ArtRun run = ArtWith({"--format=ansi", "--ink-color", color, "-s", "6", "x"}, {{}, {{"COLORTERM", ""}}, false, {}});
    EXPECT_NE(run.out.find("\x1b[38;5;" + std::to_string(index) + "m"), std::string::npos) << color << ": " << run.out;
  }
  // A colour that is neither a name nor #RRGGBB is a usage error.
  for (const char* bad : {"#12345", "#1234567", "#GGGGGG", "Red", "", "rgb(1,2,3)"})
    EXPECT_EQ(Art({"--format=ansi", "--ink-color", bad, "x"}).status, 2) << bad;
  EXPECT_EQ(Art({"--format", "pdf", "x"}).status, 2);
}

TEST(KavriArt, CropLeavesInkInTheFirstAndLastRowAndColumn) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"-s", "12", "--", " \n  Hi"},
                                                 {"-s", "9", "-f", "DejaVu Sans", "--", "   .   "}}) {
    const ArtRun plain = Art(args);
    std::vector<std::string> cropArgs = args;
    cropArgs.insert(cropArgs.begin(), "--crop");
    const ArtRun cropped = Art(cropArgs);
    ASSERT_EQ(cropped.status, 0) << cropped.err;
    const std::vector<std::string> lines = Lines(cropped.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(HasInk(lines.front()));
    EXPECT_TRUE(HasInk(lines.back()));
    bool firstColumn = false, lastColumn = false;
    const int widest = Widest(cropped.out);
    for (const std::string& line : lines) {
      firstColumn = firstColumn || line.starts_with("爱");
      lastColumn = lastColumn || (DisplayWidth(line) == widest && line.ends_with("爱"));
    }
    EXPECT_TRUE(firstColumn) << cropped.out;
    EXPECT_TRUE(lastColumn) << cropped.out;
    // The same ink, moved to the corner: as many ink cells as before.
    EXPECT_EQ(Lines(InkCellsOfText(cropped.out)).size(), Lines(InkCellsOfText(plain.out)).size());
    EXPECT_LT(lines.size(), Lines(plain.out).size());
  }
}

TEST(KavriArt, FitPicksTheLargestSizeWhoseCroppedArtFits) {
  for (int limit : {40, 90}) {
    const ArtRun fitted = Art({"--fit", std::to_string(limit), "Kavri"});
    ASSERT_EQ(fitted.status, 0) << fitted.err;
    ASSERT_TRUE(HasInk(fitted.out));
    EXPECT_LE(Widest(fitted.out), limit);
    int chosen = 0;
    for (int size = 40; size >= 1 && chosen == 0; --size)
      if (Art({"--crop", "-s", std::to_string(size), "Kavri"}).out == fitted.out) chosen = size;
    ASSERT_GT(chosen, 0) << fitted.out;
    if (chosen < 40) {
      EXPECT_GT(Widest(Art({"--crop", "-s", std::to_string(chosen + 1), "Kavri"}).out), limit);
    }
  }
  EXPECT_EQ(Art({"--fit", "0", "x"}).status, 2);
}

TEST(KavriArt, GalleryDrawsTheTextInEveryFaceThatDrawsAllOfIt) {
  const ArtRun latin = Art({"--list-fonts", "--can-draw", "Hi"});
  const ArtRun cjk = Art({"--list-fonts", "--can-draw", "爱"});
  ASSERT_EQ(latin.status, 0) << latin.err;
  const std::vector<std::string> latinFaces = Lines(latin.out), cjkFaces = Lines(cjk.out);
  const auto has = [](const std::vector<std::string>& v, const std::string& name) {
    return std::find(v.begin(), v.end(), name) != v.end();
  };
  EXPECT_TRUE(has(latinFaces, "DejaVu Sans"));
  EXPECT_FALSE(has(cjkFaces, "DejaVu Sans"));
  EXPECT_TRUE(has(cjkFaces, "AR PL UMing CN"));
  EXPECT_TRUE(has(cjkFaces, "宋体"));  // the alias draws it through its face
  EXPECT_LT(cjkFaces.size(), Lines(Art({"--list-fonts"}).out).size());
  EXPECT_EQ(Art({"--can-draw", "x"}).status, 2);  // only with --list-fonts

  const ArtRun gallery = Art({"--gallery", "-s", "9", "Hi 爱"});
  ASSERT_EQ(gallery.status, 0) << gallery.err;
  // Blocks of a heading, art and an empty line.
  std::vector<std::string> headings;
  std::string block;
  bool atHeading = true;
  for (const std::string& line : Lines(gallery.out)) {
    if (atHeading) {
      headings.push_back(line);
      block.clear();
      atHeading = false;
    } else if (line.empty() && !block.empty() && HasInk(block)) {
      // The art under a face is the art of that face alone.
      EXPECT_EQ(block, Art({"-s", "9", "-f", headings.back(), "Hi 爱"}).out) << headings.back();
      atHeading = true;
    } else {
      block += line + "\n";
    }
  }
  ASSERT_FALSE(headings.empty());
  EXPECT_TRUE(std::is_sorted(headings.begin(), headings.end(), [](const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }));
  EXPECT_TRUE(has(headings, "AR PL UMing CN"));
  EXPECT_FALSE(has(headings, "DejaVu Sans"));  // it has no 爱
  EXPECT_FALSE(has(headings, "宋体"));         // each face once, under its own name
  for (const std::string& h : headings) EXPECT_TRUE(has(cjkFaces, h)) << h;
  // Without a text, a sample; as a page, one <pre> per face.
  const ArtRun sample = Art({"--gallery", "--format=html", "-s", "6"});
  ASSERT_EQ(sample.status, 0) << sample.err;
  std::size_t pres = 0;
  for (std::size_t at = sample.out.find("<pre>"); at != std::string::npos; at = sample.out.find("<pre>", at + 1))
    ++pres;
  EXPECT_GE(pres, 1u);
  EXPECT_EQ(Art({"--gallery", "--format=svg", "x"}).status, 2);
}

TEST(KavriArt, TextFromAFileAndOutputWrittenWholeOrNotAtAll) {
  const std::filesystem::path dir = TestDir() / "files";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "in.txt") << "Hi\nthere";
  const std::string expected = Art({"-s", "9"}, "Hi\nthere").out;
  ASSERT_TRUE(HasInk(expected));
  EXPECT_EQ(Art({"-s", "9", "-F", (dir / "in.txt").string()}).out, expected);
  EXPECT_EQ(Art({"-s", "9", "--file", "-"}, "Hi\nthere").out, expected);
  const ArtRun missing = Art({"-F", (dir / "none.txt").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.txt"), std::string::npos) << missing.err;
  EXPECT_EQ(Art({"-F", (dir / "in.txt").string(), "words"}).status, 2);

  const std::filesystem::path target = dir / "art.txt";
  std::ofstream(target) << "old";
  const ArtRun written = Art({"-s", "9", "-o", target.string(), "-F", (dir / "in.txt").string()});
  EXPECT_EQ(written.status, 0) << written.err;
  EXPECT_TRUE(written.out.empty());
  EXPECT_EQ(Slurp(target), expected);
  // Failures leave the old file as it was, and no temporary file beside it.
  std::ofstream(target) << "old";
  EXPECT_EQ(Art({"-o", target.string(), "-f", "No Such Face Kavri", "Hi"}).status, 3);
  EXPECT_EQ(Art({"-o", target.string(), "-w", "1", "Hi"}).status, 1);
  EXPECT_EQ(Art({"-o", target.string(), "-s", "99", "Hi"}).status, 2);
  EXPECT_EQ(Slurp(target), "old");
  const ArtRun noFolder = Art({"-o", (dir / "no" / "such" / "art.txt").string(), "Hi"});
  EXPECT_EQ(noFolder.status, 1);
  EXPECT_NE(noFolder.err.find("art.txt"), std::string::npos) << noFolder.err;
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 2u);
  // Every form goes to the file the same way.
  EXPECT_EQ(Art({"--format=svg", "-o", target.string(), "Hi"}).status, 0);
  EXPECT_EQ(Slurp(target), Art({"--format=svg", "Hi"}).out);
  EXPECT_EQ(Art({"--list-fonts", "-o", target.string()}).status, 0);
  EXPECT_EQ(Slurp(target), Art({"--list-fonts"}).out);
  std::filesystem::remove_all(dir);
}

TEST(KavriArt, ChatKeepsAlignmentAndWarnsOfCellsThatAreNotTwoColumns) {
  const ArtRun chat = Art({"--chat", "-s", "9", "Hi"});
  ASSERT_EQ(chat.status, 0) << chat.err;
  EXPECT_TRUE(chat.err.empty()) << chat.err;
  // The ideographic space never collapses or trims: every line is the art's full width,
  // all cells are fill or U+3000.
  const std::vector<std::string> lines = Lines(chat.out);
  ASSERT_FALSE(lines.empty());
  for (const std::string& line : lines) {
    EXPECT_EQ(DisplayWidth(line), DisplayWidth(lines.front()));
    std::string rest = line;
    for (const std::string cell : {"爱", "\u3000"})
      for (std::size_t at; (at = rest.find(cell)) != std::string::npos;) rest.erase(at, cell.size());
    EXPECT_TRUE(rest.empty()) << line;
  }
  // A background given is kept; cells that are not two columns are named with their width.
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> warned;
  };
  const Case cases[] = {
      {{"--fill", "x"}, {"\"x\"", "1 column"}},
      {{"--fill", "abc"}, {"\"abc\"", "3 columns", "cut"}},
      {{"--fill", "ab"}, {"\"ab\"", "not one wide character"}},
      {{"--back", "."}, {"background", "\".\"", "1 column"}},
      {{"--back", "。"}, {}},
      {{"--fill", "★"}, {}},  // ambiguous width: wide in the CJK faces the art is meant for
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--chat", "-s", "9", "Hi"});
    const ArtRun run = Art(args);
    EXPECT_EQ(run.status, 0) << run.err;
    if (c.warned.empty()) {
      EXPECT_TRUE(run.err.empty()) << run.err;
    }
    for (const std::string& w : c.warned) EXPECT_NE(run.err.find(w), std::string::npos) << c.args[1] << ": " << run.err;
    // The cut or padding still applies.
    EXPECT_EQ(run.out, Art({c.args[0], c.args[1], "--back", c.args[0] == "--back" ? c.args[1] : "\u3000", "-s", "9", "Hi"}).out);
  }
}

TEST(KavriArt, BadArgumentsAreRefusedWithWhatIsWrong) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string says;
  };
  const Case cases[] = {
      {{"--fill", "\x1b[31m", "x"}, 2, "U+001B"},
      {{"--back", "a\tb", "x"}, 2, "U+0009"},
      {{"--fill", "a\n", "x"}, 2, "U+000A"},
      {{"--back=\r", "x"}, 2, "U+000D"},
      {{"A\xFF"}, 2, "argument 1"},
      {{"-s", "9", "ok", "\xC3"}, 2, "argument 4"},
      {{"--fill", "\xE7\x88", "x"}, 2, "--fill"},
      {{"-f", "\xFF" "ace", "x"}, 2, "--font"},
      {{"--can-draw=\xFF", "--list-fonts"}, 2, "--can-draw"},
      {{"-w", "99999999999", "x"}, 2, "from 1 to 32767"},
      {{"--max-cols", "99999999999999", "x"}, 2, "from 1 to"},
      {{"-s", "100000000000000000000", "x"}, 2, "from 1 to 40"},
      {{"-w", "1", "Hi"}, 1, "--width"},
      {{"--max-cols", "1", "Hi"}, 1, "--max-cols"},
      {{"--fit", "1", "Hi"}, 1, "--fit"},
      {{"--fill", "", "Hi"}, 1, "--fill"},
      {{"--fill", " ", "Hi"}, 1, "--fill"},
  };
  for (const Case& c : cases) {
    const ArtRun run = Art(c.args);
    std::string shown;
    for (const std::string& a : c.args) shown += "[" + a + "]";
    EXPECT_EQ(run.status, c.status) << shown << " " << run.err;
    EXPECT_TRUE(run.out.empty()) << shown;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << shown << " " << run.err;
    EXPECT_EQ(run.err.find("whole number"), std::string::npos) << shown << " " << run.err;
  }
  // A blank fill draws nothing only where the text has nothing to draw either.
  EXPECT_EQ(Art({"--fill", " ", " "}).status, 0);
  // On standard input malformed bytes are drawn as U+FFFD.
  EXPECT_EQ(Art({}, "\xFF").status, 0);
}

TEST(KavriArt, AClosedOutputPipeEndsTheProgramQuietly) {
  std::string big;
  for (int i = 0; i < 200; ++i) big += "Kavri kavri\n";
  for (const std::vector<std::string>& args : {std::vector<std::string>{"-s", "20"}, {"--list-fonts"}, {"--help"}}) {
    const ArtRun run = ArtWith(args, {big, {}, true, {}});
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_NE(run.status, 1);
    EXPECT_TRUE(run.status == 0 || run.signal == SIGPIPE) << run.status << " " << run.signal;
  }
}

TEST(KavriArt, AWarmCacheGivesTheSameArt) {
  const std::filesystem::path cache = TestDir() / "xdg-cache";
  std::filesystem::remove_all(cache);
  const RunSetup setup{{}, {{"XDG_CACHE_HOME", cache.string()}}, false, {}};
  const std::vector<std::string> args = {"-f", "AR PL UMing CN", "-s", "12", "-b", "Hello 爱"};
  const ArtRun cold = ArtWith(args, setup);
  ASSERT_EQ(cold.status, 0) << cold.err;
  ASSERT_TRUE(std::filesystem::exists(cache / "kavri" / "faces.cache"));
  const ArtRun warm = ArtWith(args, setup);
  EXPECT_EQ(warm.out, cold.out);
  EXPECT_EQ(warm.out, Art(args).out);
  // Damage costs nothing but speed.
  std::ofstream(cache / "kavri" / "faces.cache", std::ios::trunc) << "kavri-face-cache 1\n\x01garbage";
  EXPECT_EQ(ArtWith(args, setup).out, cold.out);
  EXPECT_EQ(ArtWith(args, setup).out, cold.out);
  EXPECT_EQ(ArtWith({"-f", "No Such Face Kavri", "x"}, setup).status, 3);
  std::filesystem::remove_all(cache);
}

TEST(KavriArt, LinksNoLibraryOfTheDesktopHost) {
  // The command line never shows a window: SDL and what it brings must not be loaded.
  const ArtRun ldd = RunProgram("/usr/bin/ldd", {ArtBinary()}, {});
  ASSERT_EQ(ldd.status, 0) << ldd.err;
  EXPECT_NE(ldd.out.find("libfontconfig"), std::string::npos) << ldd.out;
  for (const char* library : {"libSDL2", "libX11", "libwayland", "libpulse", "libasound"})
    EXPECT_EQ(ldd.out.find(library), std::string::npos) << library << " in\n" << ldd.out;
}

}  // namespace
