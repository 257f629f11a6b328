// The cache of resolved face files: what fontconfig chose for a face request, kept on disk
// so that a later run draws the same face without loading fontconfig's configuration.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How one request is drawn: the face file and the choices fontconfig made for it.
struct CachedFace {
  std::string file;
  int index = 0;
  std::string family;
  bool embolden = false;
  bool shear = false;
  std::int64_t matrix[4] = {0x10000, 0, 0, 0x10000};
  std::int32_t loadFlags = 0;
  bool monochrome = false;

  bool operator==(const CachedFace&) const;
};

// Entries hold only while the stamp holds: the modification times of every file and
// folder fontconfig's answer depends on (its configuration files and folders, the font
// folders and its own cache folders) and the environment it reads, and each entry's face
// file is unchanged. A missing, damaged or foreign file is an empty cache, never an
// error; saving replaces the file whole (temporary file and rename), so readers never see
// half a file and concurrent writers only lose each other's new entries.
class FaceFileCache {
 public:
  // An empty cache that saves nowhere.
  FaceFileCache() = default;
  // Reads the cache at `path` (nothing there: empty); it holds only when it was written
  // with the same `environment` (see EnvironmentLine).
  FaceFileCache(std::filesystem::path path, std::string environment);

  // The entry for `key` while its stamp and face file hold.
  std::optional<CachedFace> Find(const std::string& key) const;
  // Adds or replaces an entry. `stampPaths` are the files and folders of the current
  // configuration; when their times differ from those the cache was read with, the old
  // entries are dropped. Keys, paths and names with tabs or line breaks are not kept.
  void Store(const std::string& key, const CachedFace& face, const std::vector<std::string>& stampPaths);
  // Writes the cache when something was stored; failures are ignored (it is a cache).
  void Save() const;

  std::size_t Size() const { return m_entries.size(); }

  // The environment fontconfig's answers depend on, with `extra` (what else the answers
  // depend on, as the program's own configuration), as one line.
  static std::string EnvironmentLine(std::string_view extra);

 private:
  struct Entry {
    CachedFace face;
    std::int64_t fileTime = 0;
    std::int64_t fileSize = 0;
  };

  std::filesystem::path m_path;
  std::string m_environment;
  std::vector<std::pair<std::string, std::string>> m_stamp;  // path, time
  std::map<std::string, Entry> m_entries;
  bool m_dirty = false;
};

// $XDG_CACHE_HOME/kavri/faces.cache, or ~/.cache/kavri/faces.cache; empty when neither
// variable names an absolute folder.
std::filesystem::path DefaultFaceCachePath();
