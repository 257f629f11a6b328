// What the about window reads of the main window's module. That module fills it in when it
// registers its window: the two sit side by side, and only the main window knows the other.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct MainModuleLink {
  // The main window's CurrentLanguage.
  std::function<std::string()> currentLanguage;
  // The folder the generated about page goes to, with its trailing separator: beside the
  // program, or the user's cache folder for an installed copy.
  std::function<std::string()> pageFolder;
  // The about file of a language pack, when it is installed.
  std::function<std::optional<std::filesystem::path>(std::string_view name)> aboutPackFile;
  // SoftwareId.
  std::function<std::string()> softwareId;
};

// The link in use; until the main window's module sets it, the executable's folder, the
// default language, no packs and "KAVRI".
MainModuleLink& MainModule();
