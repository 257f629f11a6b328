// Where the program's files live. A portable copy (the build folder, a folder copied
// anywhere) keeps everything beside its executable. An installed copy, whose executable lies
// in PREFIX/bin with PREFIX/share/kavri beside it, cannot write there: it reads its packs,
// help page and default settings from PREFIX/share/kavri and keeps the settings and the
// generated pages in the user's folders of the XDG base directory rules.
#pragma once

#include <string>
#include <vector>

struct ProgramFiles {
  bool installed = false;
  // Every folder below ends with '/'.
  std::string settingsFolder;                // holds SoftwareId + ".ini"
  std::string dataFolder;                    // help page, default settings, "Language"
  std::vector<std::string> languageFolders;  // searched in this order; each holds "Language"
  std::string cacheFolder;                   // pages the program generates
};

// The layout of a program whose executable lies in `exeFolder` (with its trailing '/'),
// with the user folders taken from the environment at the time of the call.
ProgramFiles LocateProgramFiles(const std::string& exeFolder);

// The layout of the running program (its folder as ProgramFolder gives it).
ProgramFiles CurrentProgramFiles();

// An installed program's first start: creates the settings folder and copies the default
// settings file into it when the user has none. Does nothing for a portable copy, which
// never creates its settings file. Returns an empty text, or what went wrong (the caller
// then meets a missing file and tells the user as for a portable copy).
std::string PrepareSettingsFile(const ProgramFiles& files, const std::string& fileName);
