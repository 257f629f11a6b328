// Language packs are "<name>_fo.dll" and "<name>_about.dll" in the folder "language".
#include "app/LanguagePacks.h"

#include <algorithm>
#include <system_error>

#include "platform/sys/FileSearch.h"

namespace {

constexpr std::string_view kFolderName = "language";
constexpr std::string_view kMainSuffix = "_fo.dll";
constexpr std::string_view kAboutSuffix = "_about.dll";

std::optional<std::filesystem::path> LanguageFolder(std::string_view folder) {
  auto found = FindEntryIgnoringCase(std::filesystem::path(std::string(folder)), kFolderName);
  std::error_code ec;
  if (!found || !std::filesystem::is_directory(*found, ec)) return std::nullopt;
  return found;
}

std::optional<std::filesystem::path> PackFile(std::string_view folder, std::string_view name,
                                              std::string_view suffix) {
  if (!IsPackName(name)) return std::nullopt;
  auto languageFolder = LanguageFolder(folder);
  if (!languageFolder) return std::nullopt;
  std::filesystem::path file = *languageFolder / (std::string(name) + std::string(suffix));
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  return file;
}

}  // namespace

bool IsPackName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c < 32 || c == 127 || c == '/' || c == '\\') return false;
  return true;
}

std::vector<std::string> SearchLanguagePacks(std::string_view folder) {
  std::vector<std::string> names;
  auto languageFolder = LanguageFolder(folder);
  if (!languageFolder) return names;
  for (const std::string& file : FindFiles(*languageFolder, "*" + std::string(kMainSuffix))) {
    std::string name = file.substr(0, file.size() - kMainSuffix.size());
    if (IsPackName(name)) names.push_back(std::move(name));
  }
  return names;
}

std::optional<std::filesystem::path> MainPackFile(std::string_view folder, std::string_view name) {
  return PackFile(folder, name, kMainSuffix);
}

std::optional<std::filesystem::path> AboutPackFile(std::string_view folder, std::string_view name) {
  return PackFile(folder, name, kAboutSuffix);
}

std::vector<std::string> SearchLanguagePacks(const std::vector<std::string>& folders) {
  std::vector<std::string> names;
  for (const std::string& folder : folders)
    for (std::string& name : SearchLanguagePacks(folder))
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
  return names;
}

namespace {

// The pack's file from the first folder whose main file names the pack, so that the two
// files of one pack never come from different folders.
std::optional<std::filesystem::path> PackFileIn(const std::vector<std::string>& folders,
                                                std::string_view name, std::string_view suffix) {
  for (const std::string& folder : folders)
    if (PackFile(folder, name, kMainSuffix)) return PackFile(folder, name, suffix);
  return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> MainPackFile(const std::vector<std::string>& folders, std::string_view name) {
  return PackFileIn(folders, name, kMainSuffix);
}

std::optional<std::filesystem::path> AboutPackFile(const std::vector<std::string>& folders,
                                                   std::string_view name) {
  return PackFileIn(folders, name, kAboutSuffix);
}
