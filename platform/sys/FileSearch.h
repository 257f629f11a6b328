// File search in one folder by a wildcard pattern, and case-insensitive name resolution.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class NameCase { Exact, IgnoreAscii };

// Whether `name` matches `pattern`, where '*' matches any run of characters (none
// included) and '?' exactly one character (a whole UTF-8 sequence). IgnoreAscii folds
// A-Z to a-z only.
bool WildcardMatch(std::string_view pattern, std::string_view name, NameCase mode = NameCase::Exact);

// Names (not paths) of the entries of `folder` that match `pattern` and are not folders,
// in the order the file system lists them. A folder that does not exist gives an empty
// list; a folder that cannot be read throws FileError.
std::vector<std::string> FindFiles(const std::filesystem::path& folder, std::string_view pattern,
                                   NameCase mode = NameCase::Exact);

// The entry `name` of `folder`: that exact spelling when it exists, else the first entry
// (in listing order) whose name differs from it only in ASCII case; nothing when neither
// exists. Lets "Language" and "language" name the same folder on a case-sensitive file
// system.
std::optional<std::filesystem::path> FindEntryIgnoringCase(const std::filesystem::path& folder,
                                                           std::string_view name);
