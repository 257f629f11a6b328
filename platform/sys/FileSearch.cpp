// File search in one folder by a wildcard pattern.
#include "platform/sys/FileSearch.h"

#include "platform/sys/FileIo.h"
#include "platform/sys/Utf8.h"

static char Fold(char c, NameCase mode) {
  return (mode == NameCase::IgnoreAscii && c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

static bool SameIgnoringAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i], NameCase::IgnoreAscii) != Fold(b[i], NameCase::IgnoreAscii)) return false;
  return true;
}

bool WildcardMatch(std::string_view pattern, std::string_view name, NameCase mode) {
  std::size_t p = 0, n = 0;
  // Where to resume after the last '*': the pattern just past it and the name position it
  // has swallowed up to.
  std::size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = ++p;
      starN = n;
      continue;
    }
    if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += DecodeUtf8(name, n).length;
      continue;
    }
    if (p < pattern.size() && Fold(pattern[p], mode) == Fold(name[n], mode)) {
      ++p;
      ++n;
      continue;
    }
    if (starP == std::string_view::npos) return false;
    p = starP;
    starN += DecodeUtf8(name, starN).length;
    n = starN;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

static bool IsMissing(const std::error_code& ec) {
  return ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory;
}

std::vector<std::string> FindFiles(const std::filesystem::path& folder, std::string_view pattern,
                                   NameCase mode) {
  std::vector<std::string> names;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  if (ec) {
    if (IsMissing(ec)) return names;
    throw FileError("cannot search " + folder.string() + ": " + ec.message());
  }
  for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (!WildcardMatch(pattern, name, mode)) continue;
    std::error_code typeError;
    if (it->is_directory(typeError)) continue;
    names.push_back(std::move(name));
  }
  if (ec) throw FileError("cannot search " + folder.string() + ": " + ec.message());
  return names;
}

std::optional<std::filesystem::path> FindEntryIgnoringCase(const std::filesystem::path& folder,
                                                           std::string_view name) {
  std::error_code ec;
  const std::filesystem::path exact = folder / std::string(name);
  if (std::filesystem::exists(exact, ec)) return exact;
  std::filesystem::directory_iterator it(folder, ec);
  if (ec) return std::nullopt;
  for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (SameIgnoringAscii(entry, name)) return it->path();
  }
  return std::nullopt;
}
