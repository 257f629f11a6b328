// The main window module's state: the program's identity, the values the settings file
// keeps, and the notice text of the active language pack.
#pragma once

#include <string>

// Base name of the settings file and the program's name towards the maker's web site.
extern std::string SoftwareId;
extern std::string SoftwareVersion;

// The pack name last chosen or read from the settings; read by the about window too.
extern std::string CurrentLanguage;
constexpr const char* kDefaultLanguage = "GB312";

// Item indexes of the face box and the input size box (not a face name, not points).
extern int FontType;
extern int FontSize;

// The notice panel's counters, kept between runs.
extern int NoticeShowsLeft;
extern int NoticeRestCount;

// The line the notice panel shows below its page, set by the main language pack.
extern std::string NoticeText;

// The folder the program's files lie in (settings file, language packs, help page), with
// a trailing separator: the executable's folder unless SetProgramFolder chose another
// (an empty text goes back to the executable's folder).
std::string ProgramFolder();
void SetProgramFolder(std::string folder);
