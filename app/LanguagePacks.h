// Discovery of the installed language packs and the files of one pack.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Number of texts of the main window pack (1 to this).
constexpr int kMainPackTexts = 15;

// The pack names whose main file N + "_fo.dll" lies in the language folder of `folder`
// ("language" in any case), in the order the file system lists them, unsorted. Names
// that cannot name a file of that folder (empty, holding a path separator or a control
// character) are left out. No folder or no pack gives an empty list.
std::vector<std::string> SearchLanguagePacks(std::string_view folder);

// The main window file of pack `name` in the language folder of `folder`, when it exists
// as spelled (case counts for the pack name; the folder is found in any case).
std::optional<std::filesystem::path> MainPackFile(std::string_view folder, std::string_view name);
// The same for the about window's file N + "_about.dll".
std::optional<std::filesystem::path> AboutPackFile(std::string_view folder, std::string_view name);

// The same over several folders searched in order: a name appears once, at its first
// folder, and its files come from that folder.
std::vector<std::string> SearchLanguagePacks(const std::vector<std::string>& folders);
std::optional<std::filesystem::path> MainPackFile(const std::vector<std::string>& folders, std::string_view name);
std::optional<std::filesystem::path> AboutPackFile(const std::vector<std::string>& folders, std::string_view name);

// Whether `name` is a name a pack can have (see SearchLanguagePacks).
bool IsPackName(std::string_view name);
