// kavri-gallery --shot: the rendered window shows every control's states at once, follows a
// package given on the command line, and refuses damaged or missing packages cleanly.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../skin/controls/SkinCtrlsTestSupport.h"
#include "platform/gfx/Bmp.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::string out, err;
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class GalleryTool : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kavri_gallery_test_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  ToolRun Gallery(const std::vector<std::string>& args) {
    const std::string binary = std::string(KAVRI_BINARY_DIR) + "/tools/kavri-gallery/kavri-gallery";
    std::vector<char*> argv{const_cast<char*>(binary.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
    const pid_t pid = fork();
    if (pid == 0) {
      const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (o < 0 || e < 0) _exit(126);
      dup2(o, 1);
      dup2(e, 2);
      unsetenv("DISPLAY");  // the shot needs no desktop
      execv(binary.c_str(), argv.data());
      _exit(127);
    }
    ToolRun run;
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = Slurp(out);
    run.err = Slurp(err);
    return run;
  }
  // How many pixels of each of `colors` the picture shows.
  static std::map<Color, int> Count(const Bitmap& b, std::initializer_list<Color> colors) {
    std::map<Color, int> n;
    for (Color c : colors) n[c] = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        if (auto it = n.find(b.GetPixelColor(x, y)); it != n.end()) ++it->second;
    return n;
  }

  fs::path dir_;
};

TEST_F(GalleryTool, ShotOfTheProgramSkinIsA24BitPictureOfTheWindow) {
  const fs::path shot = dir_ / "program.bmp";
  const ToolRun r = Gallery({"--shot", shot.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string bytes = Slurp(shot);
  ASSERT_GT(bytes.size(), 54u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24);  // bits per pixel
  const Bitmap b = LoadBmpFile(shot.string());
  EXPECT_GE(b.Width(), 640);
  EXPECT_GE(b.Height(), 440);
  // The program skin draws none of the hand-made skin's colours.
  for (auto [color, n] : Count(b, {skinctl::kCorner, skinctl::kActive, skinctl::kDown}))
    EXPECT_EQ(n, 0) << std::hex << color;
  EXPECT_FALSE(fs::exists(dir_ / "program.bmp.part"));
}

TEST_F(GalleryTool, APackageGivenShowsEveryButtonLookAtOnce) {
  // The hand-made skin gives each button look a colour of its own.
  TskCompressedStoredSkin hand;
  hand.SetCompressedData(skinctl::HandSkinPackage(false));
  const fs::path package = dir_ / "hand.skinpkg";
  hand.SaveToPackageFile(package.string());
  const fs::path shot = dir_ / "hand.bmp";
  const ToolRun r = Gallery({"--shot", shot.string(), package.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const Bitmap b = LoadBmpFile(shot.string());
  const auto n = Count(b, {skinctl::kNormal, skinctl::kActive, skinctl::kDown, skinctl::kDisabled, skinctl::kCorner});
  // Normal, hot (and focused), pressed and disabled, and the panels' corners.
  for (auto [color, count] : n) EXPECT_GT(count, 20) << std::hex << color;
}

TEST_F(GalleryTool, WithMenusTheShotShowsTheSystemMenuAndAHintOverThePlainShot) {
  const fs::path plain = dir_ / "plain.bmp", menus = dir_ / "menus.bmp";
  ASSERT_EQ(Gallery({"--shot", plain.string()}).status, 0);
  const ToolRun r = Gallery({"--shot", menus.string(), "--menus"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Bitmap a = LoadBmpFile(plain.string()), b = LoadBmpFile(menus.string());
  ASSERT_EQ(a.GetSize(), b.GetSize());
  // The menu drops below the system-menu button at the top left; the hint sits below the
  // close button at the top right; the rest of the window is the same.
  auto changed = [&](const Rect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += a.At(x, y) != b.At(x, y);
    return n;
  };
  const int w = a.Width(), h = a.Height();
  EXPECT_GT(changed({10, 40, 150, 130}), 2000);
  EXPECT_GT(changed({w - 80, 38, w, 70}), 200);
  EXPECT_EQ(changed({0, h / 2, w, h}), 0);
}

TEST_F(GalleryTool, WithTrayTheShotShowsTheTrayMenuWhereThePanelAskedForIt) {
  const fs::path plain = dir_ / "plain.bmp", tray = dir_ / "tray.bmp";
  ASSERT_EQ(Gallery({"--shot", plain.string()}).status, 0);
  const ToolRun r = Gallery({"--shot", tray.string(), "--tray"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Bitmap a = LoadBmpFile(plain.string()), b = LoadBmpFile(tray.string());
  ASSERT_EQ(a.GetSize(), b.GetSize());
  auto changed = [&](const Rect& rect) {
    int n = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
      for (int x = rect.left; x < rect.right; ++x) n += a.At(x, y) != b.At(x, y);
    return n;
  };
  // The menu opens at (660, 150) of the window and holds four entries; nothing else changes.
  EXPECT_GT(changed({660, 150, 800, 230}), 2000);
  EXPECT_EQ(changed({0, 0, 640, a.Height()}), 0);
  EXPECT_EQ(changed({0, 300, a.Width(), a.Height()}), 0);
}

TEST_F(GalleryTool, BadPackagesAndUsageAreRefusedWithoutAPicture) {
  const fs::path shot = dir_ / "none.bmp";
  struct Case {
    const char* what;
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const fs::path damaged = std::string(KAVRI_TEST_INPUTS) + "/malformed/skin-damaged-stream.skp";
  const fs::path missing = dir_ / "missing.skinpkg";
  const Case cases[] = {
      {"damaged package", {"--shot", shot.string(), damaged.string()}, 1, "kavri-gallery: "},
      {"missing package", {"--shot", shot.string(), missing.string()}, 1, "cannot open skin package"},
      {"no file after --shot", {"--shot"}, 2, "--shot needs a file name"},
      {"unknown option", {"--frobnicate"}, 2, "unknown option --frobnicate"},
      {"two packages", {"--shot", shot.string(), "a", "b"}, 2, "more than one package"},
      {"menus without a shot", {"--menus"}, 2, "--menus goes with --shot"},
      {"tray without a shot", {"--tray"}, 2, "--tray goes with --shot"},
      {"two menus at once", {"--shot", shot.string(), "--menus", "--tray"}, 2, "give one"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ToolRun r = Gallery(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(shot));
  }
  const ToolRun help = Gallery({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: kavri-gallery"), std::string::npos);
}

}  // namespace
