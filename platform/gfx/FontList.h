// The installed font families with what a font list filters on (EnumFontFamilies with its
// font types and character sets), fonts a program adds for itself (AddFontResource), and
// the rescan that notices fonts installed or removed while the program runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win/WinTypes.h"

// Sent to windows (by whoever changed the fonts) when the installed fonts changed.
constexpr UINT WM_FONTCHANGE = 0x001D;

// Font types of an enumerated family, as bits.
constexpr int RASTER_FONTTYPE = 0x0001;
constexpr int DEVICE_FONTTYPE = 0x0002;
constexpr int TRUETYPE_FONTTYPE = 0x0004;

// Character sets a family reports.
constexpr int ANSI_CHARSET = 0;
constexpr int SYMBOL_CHARSET = 2;
constexpr int CHINESE_GB2312_CHARSET = 134;
constexpr int OEM_CHARSET = 255;

// One family name as a font list shows it. fontconfig's terms map onto the platform's:
// TrueType and OpenType outlines (TrueType or CFF) are TrueType; a family without any
// scalable face is raster; a family whose faces all have a fixed advance (mono or char
// cell spacing) is fixed pitch; a face with no Latin letters that covers no language is
// a symbol face. No face here uses an OEM code page.
struct FontFamilyInfo {
  std::string name;
  bool trueType = false;
  bool scalable = false;
  bool fixedPitch = false;
  bool symbol = false;
  int charset = ANSI_CHARSET;

  // TRUETYPE_FONTTYPE, RASTER_FONTTYPE or 0 (scalable in another format).
  int FontType() const;
};

// The families of the installed faces and of the fonts added with AddFontResource, with
// the alias names of our font configuration whose faces are installed, sorted as
// FontFamilies() sorts them (letter case aside), each name once.
std::vector<FontFamilyInfo> EnumFontFamilyInfos();
// Bumped whenever the list can have changed (a rescan, a font added or removed).
unsigned FontListGeneration();
// Asks fontconfig whether font folders or its configuration changed since the last look,
// and reloads the list when they did; true then.
bool RescanFonts();
// fontconfig's rescan interval in seconds (0: it never rescans on its own).
int FontRescanInterval();
// Adds the faces of a font file for this program; the number of faces added (0: none,
// the file is no font fontconfig reads). The text faces are drawn with keeps its own
// configuration, so an added face is listed but drawn in a face that stands in for it.
int AddFontResource(std::string_view path);
// Forgets a file added with AddFontResource; false when it was not added.
bool RemoveFontResource(std::string_view path);
