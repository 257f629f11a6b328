// The settings file KAVRI.ini beside the executable: what the main window reads at
// start-up and writes when it closes.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

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

// The part of a window, in pixels each way, that KeepOnDesktop leaves on the desktop.
constexpr int kVisibleCorner = 40;

// A stored geometry made usable on `desktop`: the size brought within `minSize` ..
// `maxSize` (the platform's tracking limits), then the position moved just far enough
// that at least kVisibleCorner x kVisibleCorner pixels of the window (all of a smaller
// one) lie on the desktop.
// A geometry that already fits comes back unchanged. Settings written on a larger screen
// or edited by hand would otherwise put the window where no one can reach it.
WindowGeometry KeepOnDesktop(WindowGeometry geometry, const Rect& desktop, Size minSize, Size maxSize);

// Whether the geometry is to be stored: only when the screen is wider than the window.
constexpr bool StoresGeometry(int screenWidth, int windowWidth) { return screenWidth > windowWidth; }
