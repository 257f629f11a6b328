// The settings file KAVRI.ini beside the executable: what the main window reads at
// start-up and writes when it closes.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Geometry.h"

// Outer geometry of the main window on the screen.
struct WindowGeometry {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  bool operator==(const WindowGeometry&) const = default;
};

// Tells the user something in a simple message box.
using TellUser = std::function<void(const std::string& text)>;

// The section that holds every key.
constexpr const char* kSettingsSection = "display";

// `folder` (with its trailing separator) + SoftwareId + ".ini".
std::filesystem::path SettingsFilePath(std::string_view folder);

// The message for a settings file missing at start-up: the file name in straight quotes,
// then "文件丢失！".
std::string SettingsMissingText();
// The message for a settings file missing when the settings are to be saved.
std::string SettingsNotSavedText();

// A counter is kept as a text whose length in characters is its value.
int CounterFromText(std::string_view text);
// That many full stops; the empty text for 0 or less.
std::string CounterText(int value);

// Reads the settings file of `folder` into the module state (FontType, FontSize,
// CurrentLanguage, NoticeShowsLeft, NoticeRestCount) and returns the stored window
// geometry; absent keys and unreadable integers take their defaults. When the file does
// not exist the user is told, CurrentLanguage becomes "GB312", nothing else changes and
// nothing is returned. A file that exists but cannot be read throws IniFileError.
std::optional<WindowGeometry> ReadSettings(std::string_view folder, const TellUser& tell);

// Writes the module state into the settings file of `folder`, and the window geometry
// when one is given (the caller leaves it out for a window as wide as the screen); every
// other line of the file stays as it was. When the file does not exist the user is told,
// nothing is written (the program never creates the file) and false is returned. A failed
// write throws IniFileError and leaves the file as it was before that key.
bool WriteSettings(std::string_view folder, const std::optional<WindowGeometry>& geometry,
                   const TellUser& tell);

// A stored geometry made usable on the desktop whose monitors have `workAreas`: a width
// or height below `minSize` (the frame's smallest) takes its default (640, 480), and sizes
// stay within `minSize` .. `maxSize`; then the window goes wholly onto the work area
// nearest to it when it fits there, else its top-left part, the caption, does. A geometry
// that already lies on a work area comes back unchanged. Settings written on a larger
// screen or edited by hand would otherwise put the caption where no one can reach it.
WindowGeometry PlaceOnWorkArea(WindowGeometry geometry, const std::vector<Rect>& workAreas, Size minSize,
                               Size maxSize);

// Whether the geometry is to be stored: only when the screen is wider than the window.
constexpr bool StoresGeometry(int screenWidth, int windowWidth) { return screenWidth > windowWidth; }
