// Private-profile settings files: sectioned key=value text read and updated one key at a time.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// A settings file that cannot be read or written.
class IniFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads and writes a settings file with the semantics of the classic private-profile
// calls, with no cache: every call reads the file afresh.
//
// - Section and key names compare without regard to ASCII case; other bytes (UTF-8
//   included) compare exactly. Names and values are trimmed of blanks.
// - A value wrapped in matching quotes (' or ") is unquoted on reading.
// - The first section of a name, and the first key of a name within it, win; later
//   duplicates are never read nor written.
// - Lines starting with ';' or '#' are comments. Lines may end in LF or CRLF.
// - A write changes only the value of the key's line, or adds "key=value" after the last
//   key of the section (after the header if it has none), or adds the section at the end
//   of the file. Every other byte stays as it was; new lines end in CRLF.
// - A file that does not exist reads as empty; any other read failure throws.
// - A write replaces the file atomically (temporary file + rename), so a failed write
//   throws IniFileError and leaves the old file as it was.
class IniFile {
 public:
  explicit IniFile(std::filesystem::path path) : m_path(std::move(path)) {}

  const std::filesystem::path& Path() const { return m_path; }
  bool Exists() const;

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // As the platform's GetPrivateProfileInt: the default when the key is absent or its value
  // is empty, otherwise the leading decimal number of the value (optional sign; 0 when
  // there is none; clamped to the int range).
  int ReadProfileInt(std::string_view section, std::string_view key, int defaultValue) const;
  // Strict integer reading: the default unless the whole value is a decimal integer
  // (optional sign) that fits in an int.
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;

  // Creates the file when it does not exist. Throws std::invalid_argument for names that
  // cannot be stored (empty, blanks at either end, line breaks, '=' in a key, ']' in a
  // section, a key starting with '[', ';' or '#') and for values holding line breaks.
  // Values that would not read back as written (blanks at either end, already wrapped in
  // matching quotes) are stored wrapped in double quotes.
  void WriteString(std::string_view section, std::string_view key, std::string_view value) const;
  void WriteInteger(std::string_view section, std::string_view key, int value) const;

  // The text operations the file operations are made of.
  static std::optional<std::string> Lookup(std::string_view text, std::string_view section,
                                           std::string_view key);
  static std::string Update(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

 private:
  std::string ReadAll() const;
  void ReplaceFile(const std::string& content) const;

  std::filesystem::path m_path;
};
