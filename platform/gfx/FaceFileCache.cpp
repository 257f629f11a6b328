// The on-disk cache of resolved face files, its stamp and its strict reading.
#include "platform/gfx/FaceFileCache.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <sstream>

#include "platform/sys/FileIo.h"

namespace {

constexpr std::string_view kMagic = "kavri-face-cache 1";
// Far more than any font set-up has; a larger file is not ours.
constexpr std::size_t kMaxCacheBytes = std::size_t(4) << 20;

struct FileTimes {
  std::int64_t time = -1;  // -1: not there
  std::int64_t size = -1;
};

FileTimes Stat(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return {static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
          static_cast<std::int64_t>(st.st_size)};
}

std::string TimeText(const std::string& path) {
  const FileTimes t = Stat(path);
  return t.time < 0 ? "-" : std::to_string(t.time);
}

bool Keepable(std::string_view text) { return text.find_first_of("\t\n\r") == std::string_view::npos; }

std::vector<std::string_view> Split(std::string_view line, char separator) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t end = line.find(separator, start);
    fields.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return fields;
    start = end + 1;
  }
}

template <class T>
bool ParseNumber(std::string_view text, T& out) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

bool ParseFlag(std::string_view text, bool& out) {
  if (text != "0" && text != "1") return false;
  out = text == "1";
  return true;
}

}  // namespace

bool CachedFace::operator==(const CachedFace& o) const {
  return file == o.file && index == o.index && family == o.family && embolden == o.embolden &&
         shear == o.shear && std::equal(matrix, matrix + 4, o.matrix) && loadFlags == o.loadFlags &&
         monochrome == o.monochrome;
}

std::string FaceFileCache::EnvironmentLine(std::string_view extra) {
  // Where fontconfig looks for its configuration, and the languages it prefers faces for.
  static constexpr const char* kVariables[] = {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT",
                                               "HOME",            "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                               "XDG_CACHE_HOME",  "FC_LANG",         "LC_ALL",
                                               "LC_CTYPE",        "LANG"};
  std::string line;
  for (const char* name : kVariables) {
    const char* value = std::getenv(name);
    line += name;
    line += '=';
    if (value != nullptr && Keepable(value)) line += value;
    line += ' ';
  }
  // The program's own configuration, by its hash and length.
  line += "extra=" + std::to_string(std::hash<std::string_view>{}(extra)) + ":" + std::to_string(extra.size());
  return line;
}

FaceFileCache::FaceFileCache(std::filesystem::path path, std::string environment)
    : m_path(std::move(path)), m_environment(std::move(environment)) {
  if (m_path.empty()) return;
  std::optional<std::string> content;
  try {
    content = ReadFileIfExists(m_path, kMaxCacheBytes);
  } catch (const FileError&) {
    return;  // unreadable or too large: start afresh
  }
  if (!content) return;
  const std::vector<std::string_view> lines = Split(*content, '\n');
  // Header, environment, then stamp lines, then entries; the file ends with a line break,
  // so a cut file (no final empty field) is refused whole.
  if (lines.size() < 3 || lines[0] != kMagic || lines[1] != m_environment || !lines.back().empty()) return;
  std::vector<std::pair<std::string, std::string>> stamp;
  std::map<std::string, Entry> entries;
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
    const std::vector<std::string_view> f = Split(lines[i], '\t');
    if (f.size() == 3 && f[0] == "stat") {
      if (!entries.empty()) return;  // stamps come first
      std::int64_t ignored = 0;
      if (f[1] != "-" && !ParseNumber(f[1], ignored)) return;
      // The stamp must still hold, or nothing in the file does.
      if (TimeText(std::string(f[2])) != f[1]) return;
      stamp.emplace_back(f[2], f[1]);
      continue;
    }
    if (f.size() != 14 || f[0] != "face" || f[1].empty() || f[2].empty()) return;
    Entry e;
    e.face.file = f[2];
    e.face.family = f[4];
    if (!ParseNumber(f[3], e.face.index) || !ParseFlag(f[5], e.face.embolden) || !ParseFlag(f[6], e.face.shear) ||
        !ParseNumber(f[7], e.face.matrix[0]) || !ParseNumber(f[8], e.face.matrix[1]) ||
        !ParseNumber(f[9], e.face.matrix[2]) || !ParseNumber(f[10], e.face.matrix[3]) ||
        !ParseNumber(f[11], e.face.loadFlags) || !ParseFlag(f[12], e.face.monochrome))
      return;
    const std::vector<std::string_view> times = Split(f[13], ':');
    if (times.size() != 2 || !ParseNumber(times[0], e.fileTime) || !ParseNumber(times[1], e.fileSize)) return;
    if (!entries.emplace(std::string(f[1]), std::move(e)).second) return;
  }
  if (stamp.empty()) return;  // a cache that depends on nothing cannot be checked
  m_stamp = std::move(stamp);
  m_entries = std::move(entries);
}

std::optional<CachedFace> FaceFileCache::Find(const std::string& key) const {
  const auto it = m_entries.find(key);
  if (it == m_entries.end()) return std::nullopt;
  const FileTimes now = Stat(it->second.face.file);
  if (now.time != it->second.fileTime || now.size != it->second.fileSize) return std::nullopt;
  return it->second.face;
}

void FaceFileCache::Store(const std::string& key, const CachedFace& face, const std::vector<std::string>& stampPaths) {
  if (!Keepable(key) || !Keepable(face.file) || !Keepable(face.family) || face.file.empty()) return;
  std::vector<std::pair<std::string, std::string>> stamp;
  for (const std::string& path : stampPaths)
    if (Keepable(path)) stamp.emplace_back(path, TimeText(path));
  if (stamp.empty()) return;
  if (stamp != m_stamp) {
    m_entries.clear();
    m_stamp = std::move(stamp);
  }
  const FileTimes t = Stat(face.file);
  if (t.time < 0) return;
  m_entries[key] = Entry{face, t.time, t.size};
  m_dirty = true;
}

void FaceFileCache::Save() const {
  if (!m_dirty || m_path.empty()) return;
  std::ostringstream out;
  out << kMagic << '\n' << m_environment << '\n';
  for (const auto& [path, time] : m_stamp) out << "stat\t" << time << '\t' << path << '\n';
  for (const auto& [key, e] : m_entries) {
    const CachedFace& f = e.face;
    out << "face\t" << key << '\t' << f.file << '\t' << f.index << '\t' << f.family << '\t' << f.embolden << '\t'
        << f.shear << '\t' << f.matrix[0] << '\t' << f.matrix[1] << '\t' << f.matrix[2] << '\t' << f.matrix[3]
        << '\t' << f.loadFlags << '\t' << f.monochrome << '\t' << e.fileTime << ':' << e.fileSize << '\n';
  }
  try {
    std::error_code ec;
    std::filesystem::create_directories(m_path.parent_path(), ec);
    WriteFileAtomically(m_path, out.str());
  } catch (const std::exception&) {
    // A cache that cannot be written only costs the next run its speed.
  }
}

std::filesystem::path DefaultFaceCachePath() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache != nullptr && cache[0] == '/') return std::filesystem::path(cache) / "kavri" / "faces.cache";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::filesystem::path(home) / ".cache" / "kavri" / "faces.cache";
  return {};
}
