// The main window module's state, with the values it has before the settings are read.
#include "app/KavriState.h"

#include "platform/sys/Shell.h"

std::string SoftwareId = "KAVRI";
std::string SoftwareVersion = "10";
std::string CurrentLanguage = kDefaultLanguage;
int FontType = 0;
int FontSize = 0;
int NoticeShowsLeft = 0;
int NoticeRestCount = 0;
std::string NoticeText;

namespace {
std::string g_programFolder;
}

std::string ProgramFolder() { return g_programFolder.empty() ? ExeDir() : g_programFolder; }

void SetProgramFolder(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  g_programFolder = std::move(folder);
}
