// String packs: UTF-8 text files that map numbers to interface texts (language packs).
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A pack file that cannot be read or is not UTF-8 text.
class StringPackError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The texts of one pack file. The file is UTF-8 (a leading byte-order mark is allowed),
// with LF or CRLF lines:
//
//   ; comment            lines whose first non-blank character is ';' or '#'
//                        blank lines are ignored too
//   7=语言：       <- the text is everything after the first '=', blanks included
//
// The number is decimal, 0 to 65535, and may have blanks around it. In a text, "\n"
// stands for a line break, "\t" for a tab and "\\" for one backslash; a backslash before
// any other character stands for itself. Each text is cut to 253 bytes, never inside a
// character. Where a number appears twice the first line wins. Lines without '=' or with
// a bad number are skipped (SkippedLines tells which); a file that is not UTF-8 is an
// error as a whole, since it is most likely a pack in another encoding.
class StringPack {
 public:
  static constexpr std::size_t kMaxTextBytes = 253;

  StringPack() = default;
  // Throws StringPackError naming the file when it cannot be read (missing included).
  static StringPack Load(const std::filesystem::path& path);
  // `origin` names the text in error messages.
  static StringPack Parse(std::string_view text, std::string_view origin = "string pack");

  // The text of `number`, or the empty text when the pack has none.
  std::string Text(int number) const;
  bool Contains(int number) const { return m_texts.count(number) != 0; }
  std::size_t Count() const { return m_texts.size(); }
  // One-based numbers of the lines that were skipped as damaged.
  const std::vector<int>& SkippedLines() const { return m_skipped; }

 private:
  std::map<int, std::string> m_texts;
  std::vector<int> m_skipped;
};
