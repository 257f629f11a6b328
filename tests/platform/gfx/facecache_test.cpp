// The face file cache: entries kept across runs, refused when damaged or stale, written
// whole by concurrent writers; fonts drawn from it without loading fontconfig.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/gfx/FaceFileCache.h"
#include "platform/gfx/Font.h"
#include "platform/sys/FileIo.h"

namespace fs = std::filesystem;

namespace {

class FaceFileCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("kavri_facecache_" + std::to_string(getpid()));
    fs::remove_all(m_dir);
    fs::create_directories(m_dir / "conf.d");
    m_face = (m_dir / "face.ttf").string();
    std::ofstream(m_face) << "not really a face, but a file with a time and a size";
    m_stamp = {(m_dir / "conf.d").string(), (m_dir / "fonts.conf").string()};
    std::ofstream(m_stamp[1]) << "<fontconfig/>";
    m_path = m_dir / "cache" / "faces.cache";
  }
  void TearDown() override { fs::remove_all(m_dir); }

  CachedFace Face(const std::string& family) const {
    CachedFace f;
    f.file = m_face;
    f.index = 2;
    f.family = family;
    f.embolden = true;
    f.matrix[1] = 13107;
    f.shear = true;
    f.loadFlags = 0x20;
    return f;
  }

  FaceFileCache Saved(const std::vector<std::pair<std::string, CachedFace>>& entries) const {
    FaceFileCache cache(m_path, "env");
    for (const auto& [key, face] : entries) cache.Store(key, face, m_stamp);
    cache.Save();
    return FaceFileCache(m_path, "env");
  }

  fs::path m_dir, m_path;
  std::string m_face;
  std::vector<std::string> m_stamp;
};

TEST_F(FaceFileCacheTest, EntriesSurviveASaveAndAreFoundByKey) {
  const FaceFileCache loaded = Saved({{"16 00 Sans", Face("Sans")}, {"16 10 宋体", Face("AR PL UMing CN")}});
  EXPECT_EQ(loaded.Size(), 2u);
  EXPECT_EQ(loaded.Find("16 00 Sans"), Face("Sans"));
  EXPECT_EQ(loaded.Find("16 10 宋体"), Face("AR PL UMing CN"));
  EXPECT_FALSE(loaded.Find("16 01 Sans"));
  // Names that would break a line are not kept; the rest are.
  FaceFileCache cache(m_path, "env");
  cache.Store("16 00 Bad\tName", Face("x"), m_stamp);
  cache.Store("16 00 Good", Face("bad\nfamily"), m_stamp);
  EXPECT_EQ(cache.Size(), 2u);
  cache.Save();
  EXPECT_EQ(FaceFileCache(m_path, "env").Size(), 2u);
}

TEST_F(FaceFileCacheTest, AChangedStampEnvironmentOrFaceFileDropsWhatDependsOnIt) {
  Saved({{"k", Face("Sans")}});
  EXPECT_EQ(FaceFileCache(m_path, "other env").Size(), 0u);
  // A configuration file touched: nothing holds.
  fs::last_write_time(m_stamp[1], fs::last_write_time(m_stamp[1]) + std::chrono::seconds(5));
  EXPECT_EQ(FaceFileCache(m_path, "env").Size(), 0u);
  // A configuration folder that appears where there was none.
  Saved({{"k", Face("Sans")}});
  FaceFileCache absent(m_path, "env");
  absent.Store("k", Face("Sans"), {m_stamp[0], (m_dir / "user.d").string()});
  absent.Save();
  EXPECT_EQ(FaceFileCache(m_path, "env").Size(), 1u);
  fs::create_directory(m_dir / "user.d");
  EXPECT_EQ(FaceFileCache(m_path, "env").Size(), 0u);
  // The face file replaced by another of a different size: that entry no longer holds.
  const FaceFileCache loaded = Saved({{"k", Face("Sans")}});
  ASSERT_TRUE(loaded.Find("k"));
  std::ofstream(m_face, std::ios::app) << "more";
  EXPECT_FALSE(loaded.Find("k"));
  fs::remove(m_face);
  EXPECT_FALSE(loaded.Find("k"));
}

TEST_F(FaceFileCacheTest, DamagedFilesAreAnEmptyCache) {
  Saved({{"a", Face("Sans")}, {"b", Face("Serif")}});
  const std::string good = *ReadFileIfExists(m_path);
  const auto replace = [&](std::string text, std::string_view from, std::string_view to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
  };
  const std::vector<std::string> damaged = {
      "",
      "garbage\n",
      good.substr(0, good.size() - 1),       // cut inside the last line
      good.substr(0, good.size() / 2),       // cut in the middle
      replace(good, "kavri-face-cache 1", "kavri-face-cache 9"),
      replace(good, "\tSerif\t1\t1\t", "\tSerif\tyes\t1\t"),
      replace(good, "\tSerif\t1\t1\t65536\t13107", "\tSerif\t1\t1\t65536\t99999999999999999999999"),
      replace(good, "face\tb\t", "face\ta\t"),  // a key twice
      replace(good, "stat\t", "stat\tx"),
      std::string(good).insert(good.find("face"), "face\tshort\n"),
      std::string(5 << 20, 'x'),
  };
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    WriteFileAtomically(m_path, damaged[i]);
    FaceFileCache cache(m_path, "env");
    EXPECT_EQ(cache.Size(), 0u) << "case " << i;
    // A damaged cache is replaced by a sound one at the next save.
    cache.Store("c", Face("Mono"), m_stamp);
    cache.Save();
    EXPECT_EQ(FaceFileCache(m_path, "env").Find("c"), Face("Mono")) << "case " << i;
  }
  // A folder where the file should be, or no folder to write in, costs only the cache.
  fs::remove(m_path);
  fs::create_directory(m_path);
  FaceFileCache folder(m_path, "env");
  EXPECT_EQ(folder.Size(), 0u);
  folder.Store("c", Face("Mono"), m_stamp);
  folder.Save();
  EXPECT_TRUE(fs::is_directory(m_path));
}

TEST_F(FaceFileCacheTest, ConcurrentWritersLeaveAWholeFile) {
  Saved({{"seed", Face("Sans")}});
  std::vector<pid_t> writers;
  for (int w = 0; w < 3; ++w) {
    const pid_t pid = fork();
    if (pid == 0) {
      for (int i = 0; i < 40; ++i) {
        FaceFileCache cache(m_path, "env");
        cache.Store("w" + std::to_string(w) + "-" + std::to_string(i), Face("F" + std::to_string(i)), m_stamp);
        cache.Save();
      }
      _exit(0);
    }
    writers.push_back(pid);
  }
  // Meanwhile every read sees a whole file: its header and a last line break.
  int reads = 0;
  for (bool running = true; running; ++reads) {
    const std::optional<std::string> content = ReadFileIfExists(m_path);
    ASSERT_TRUE(content);
    EXPECT_TRUE(content->starts_with("kavri-face-cache 1\n"));
    EXPECT_TRUE(content->ends_with("\n"));
    EXPECT_GE(FaceFileCache(m_path, "env").Size(), 1u);
    running = false;
    for (pid_t pid : writers) running = running || waitpid(pid, nullptr, WNOHANG) == 0;
  }
  for (pid_t pid : writers) waitpid(pid, nullptr, 0);
  EXPECT_GT(reads, 0);
  EXPECT_GE(FaceFileCache(m_path, "env").Size(), 2u);
}

// In a child process with its own cache folder: 1 when a Font was made without loading the
// font configuration, 0 when it was loaded, 2 when the font's metrics were not
// `expectHeight` (0: any) or it resolved to another face.
int FontRunLoadedConfiguration(const fs::path& cacheHome, int expectHeight, int* height) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipeFds[0]);
    setenv("XDG_CACHE_HOME", cacheHome.c_str(), 1);
    int code = 0;
    {
      const Font font(FontSpec{"DejaVu Sans", -16});
      const int h = font.Metrics().height;
      const int width = font.TextWidth("Hello");
      if (write(pipeFds[1], &h, sizeof h) != sizeof h) code = 3;
      else if ((expectHeight != 0 && h != expectHeight) || width <= 0 || font.ResolvedFamily() != "DejaVu Sans") code = 2;
      else code = FontConfigurationLoaded() ? 0 : 1;
    }
    // exit, not _exit: the font system saves the cache as the process ends.
    std::exit(code);
  }
  close(pipeFds[1]);
  if (read(pipeFds[0], height, sizeof *height) != sizeof *height) *height = 0;
  close(pipeFds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(FaceFileCacheTest, AWarmRunDrawsWithoutLoadingTheFontConfiguration) {
  const fs::path home = m_dir / "xdg";
  int height = 0;
  EXPECT_EQ(FontRunLoadedConfiguration(home, 0, &height), 0);  // cold: fontconfig asked
  ASSERT_GT(height, 0);
  ASSERT_TRUE(fs::exists(home / "kavri" / "faces.cache"));
  int warm = 0;
  EXPECT_EQ(FontRunLoadedConfiguration(home, height, &warm), 1);  // warm: from the cache
  EXPECT_EQ(warm, height);
  // A damaged cache only makes the run cold again, and is mended by it.
  std::ofstream(home / "kavri" / "faces.cache") << "kavri-face-cache 1\nhalf a li";
  EXPECT_EQ(FontRunLoadedConfiguration(home, height, &warm), 0);
  EXPECT_EQ(FontRunLoadedConfiguration(home, height, &warm), 1);
  // A cached face file that is gone is looked up again.
  std::string text = *ReadFileIfExists(home / "kavri" / "faces.cache");
  const std::size_t file = text.find("\t/", text.find("\nface\t"));
  ASSERT_NE(file, std::string::npos) << text;
  text.replace(file + 1, text.find('\t', file + 1) - file - 1, "/nonexistent/kavri/face.ttf");
  WriteFileAtomically(home / "kavri" / "faces.cache", text);
  EXPECT_EQ(FontRunLoadedConfiguration(home, height, &warm), 0);
  EXPECT_EQ(warm, height);
}

}  // namespace
