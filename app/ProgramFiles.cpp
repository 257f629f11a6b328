// Portable and installed layouts of the program's files.
#include "app/ProgramFiles.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/KavriState.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kAppFolder = "kavri/";

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return WithSlash(home);
  // A session started without HOME (a service, a cron job) still has a password entry.
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && entry->pw_dir[0] == '/')
    return WithSlash(entry->pw_dir);
  return "/tmp/";
}

// An XDG base folder: the variable when it holds an absolute path (relative values are to be
// ignored), else the default below the home folder.
std::string BaseFolder(const char* variable, const char* homeRelativeDefault) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return WithSlash(value);
  return HomeFolder() + homeRelativeDefault;
}

// PREFIX/share/kavri/ for an executable in PREFIX/bin/, when that folder exists.
std::string InstalledDataFolder(const std::string& exeFolder) {
  fs::path exe = fs::path(exeFolder).parent_path();  // drops the trailing '/'
  if (exe.filename() != "bin") return {};
  fs::path data = exe.parent_path() / "share" / "kavri";
  std::error_code ec;
  if (!fs::is_directory(data, ec)) return {};
  return WithSlash(data.string());
}

}  // namespace

ProgramFiles LocateProgramFiles(const std::string& exeFolder) {
  ProgramFiles files;
  const std::string folder = WithSlash(exeFolder);
  const std::string data = InstalledDataFolder(folder);
  if (data.empty()) {
    files.settingsFolder = files.dataFolder = files.cacheFolder = folder;
    files.languageFolders = {folder};
    return files;
  }
  files.installed = true;
  files.dataFolder = data;
  files.settingsFolder = BaseFolder("XDG_CONFIG_HOME", ".config/") + kAppFolder;
  files.cacheFolder = BaseFolder("XDG_CACHE_HOME", ".cache/") + kAppFolder;
  // Packs a user adds come first, so one of the same name replaces the installed one.
  files.languageFolders = {BaseFolder("XDG_DATA_HOME", ".local/share/") + kAppFolder, data};
  return files;
}

ProgramFiles CurrentProgramFiles() { return LocateProgramFiles(ProgramFolder()); }

std::string PrepareSettingsFile(const ProgramFiles& files, const std::string& fileName) {
  if (!files.installed) return {};
  const fs::path target = fs::path(files.settingsFolder) / fileName;
  std::error_code ec;
  if (fs::exists(fs::symlink_status(target, ec))) return {};
  fs::create_directories(files.settingsFolder, ec);
  if (ec) return "cannot create " + files.settingsFolder + ": " + ec.message();
  // Copied under a temporary name and renamed, so a second instance starting at the same
  // moment never reads half a file.
  const fs::path temporary = target.string() + ".new" + std::to_string(::getpid());
  fs::copy_file(fs::path(files.dataFolder) / fileName, temporary, fs::copy_options::overwrite_existing, ec);
  if (ec) {
    fs::remove(temporary, ec);
    return "cannot copy the default settings into " + target.string();
  }
  // An installed default may be read-only; the user's copy is theirs to write.
  fs::permissions(temporary, fs::perms::owner_write, fs::perm_options::add, ec);
  fs::rename(temporary, target, ec);
  if (ec) {
    const std::string error = "cannot create " + target.string() + ": " + ec.message();
    fs::remove(temporary, ec);
    return error;
  }
  return {};
}
