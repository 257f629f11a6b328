// In-memory INI text as the skin definition reader sees it, integer parsing, and an
// ordered INI writer for the records' write operations.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// The platform's integer parse: an optional sign, then decimal digits or hexadecimal
// digits after "0x", "0X" or "$". False when the text is not such a number or does not
// fit 32 bits (hexadecimal may use all 32 bits and wraps to negative).
bool TryParseSkinInteger(std::string_view text, int& value);
// The strict conversion: the parsed value, or ConvertError naming the text.
int StrToIntStrict(std::string_view text);

// Splits text into lines at CR LF, LF or CR; a final line break adds no empty line.
std::vector<std::string> SplitSkinLines(std::string_view text);

class SkinIni {
 public:
  SkinIni() = default;
  explicit SkinIni(const std::vector<std::string>& lines);

  // Names are compared without regard to ASCII letter case; the first occurrence of a
  // section or of a key within it is the one found.
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // The default when the key is missing or its value does not parse.
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  // The largest i for which the section has the key i in decimal form, or -1: a bound for
  // numbered lists whose count key may be far larger than the entries present.
  int LastIndexKey(std::string_view section) const;

 private:
  struct Section {
    std::unordered_map<std::string, std::string> values;  // lower-case key -> value
    int lastIndexKey = -1;
  };
  const std::string* Find(std::string_view section, std::string_view key) const;

  std::vector<Section> m_sections;
  std::unordered_map<std::string, std::size_t> m_sectionIndex;  // lower-case name
};

// Keeps sections and keys in the order first written; writing a key again replaces its
// value in place.
class SkinIniWriter {
 public:
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  // "[section]" lines followed by "key=value" lines, each line ended by `lineEnd`.
  std::string Text(std::string_view lineEnd = "\n") const;

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
    std::unordered_map<std::string, std::size_t> index;  // lower-case key -> entry
  };
  std::vector<Section> m_sections;
  std::unordered_map<std::string, std::size_t> m_sectionIndex;  // lower-case name
};
