// Private-profile settings files: lookup and in-place update of sectioned key=value text.
#include "platform/sys/IniFile.h"

#include <charconv>
#include <climits>
#include <vector>

#include "platform/sys/FileIo.h"

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

static std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

static char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

static bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

static bool IsQuote(char c) { return c == '"' || c == '\''; }

enum class IniLineKind { Blank, Comment, Section, Key, Other };

// One line of the file: where its content and ending lie, and what it is.
struct IniLine {
  std::size_t begin = 0;       // first byte of the content
  std::size_t end = 0;         // one past the content, before the line ending
  std::size_t next = 0;        // one past the line ending
  IniLineKind kind = IniLineKind::Other;
  std::string_view name;       // section or key name, trimmed
  std::size_t valueBegin = 0;  // key lines: first byte after '='
};

static std::vector<IniLine> SplitIni(std::string_view text) {
  std::vector<IniLine> lines;
  std::size_t pos = 0;
  // A byte-order mark is not part of the first line's content.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
  while (pos < text.size()) {
    IniLine line;
    line.begin = pos;
    const std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) {
      line.end = line.next = text.size();
    } else {
      line.end = (nl > pos && text[nl - 1] == '\r') ? nl - 1 : nl;
      line.next = nl + 1;
    }
    const std::string_view content = text.substr(line.begin, line.end - line.begin);
    const std::string_view trimmed = Trim(content);
    if (trimmed.empty()) {
      line.kind = IniLineKind::Blank;
    } else if (trimmed.front() == ';' || trimmed.front() == '#') {
      line.kind = IniLineKind::Comment;
    } else if (trimmed.front() == '[') {
      const std::size_t close = trimmed.rfind(']');
      if (close != std::string_view::npos) {
        line.kind = IniLineKind::Section;
        line.name = Trim(trimmed.substr(1, close - 1));
      }
    } else if (const std::size_t eq = content.find('='); eq != std::string_view::npos) {
      line.kind = IniLineKind::Key;
      line.name = Trim(content.substr(0, eq));
      line.valueBegin = line.begin + eq + 1;
    }
    lines.push_back(line);
    pos = line.next;
  }
  return lines;
}

// Where a key lives, or would be added, in the split text.
struct IniPlace {
  std::ptrdiff_t section = -1;  // index of the section's header line
  std::ptrdiff_t key = -1;      // index of the key's line
  std::ptrdiff_t lastKey = -1;  // index of the section's last key line
};

static IniPlace Locate(const std::vector<IniLine>& lines, std::string_view section, std::string_view key) {
  IniPlace place;
  const std::ptrdiff_t count = static_cast<std::ptrdiff_t>(lines.size());
  for (std::ptrdiff_t i = 0; i < count; ++i) {
    if (lines[i].kind == IniLineKind::Section && SameName(lines[i].name, section)) {
      place.section = i;
      break;
    }
  }
  if (place.section < 0) return place;
  for (std::ptrdiff_t i = place.section + 1; i < count && lines[i].kind != IniLineKind::Section; ++i) {
    if (lines[i].kind != IniLineKind::Key) continue;
    place.lastKey = i;
    if (place.key < 0 && SameName(lines[i].name, key)) place.key = i;
  }
  return place;
}

static std::string_view RawValue(std::string_view text, const IniLine& line) {
  return text.substr(line.valueBegin, line.end - line.valueBegin);
}

std::optional<std::string> IniFile::Lookup(std::string_view text, std::string_view section,
                                           std::string_view key) {
  const std::vector<IniLine> lines = SplitIni(text);
  const IniPlace place = Locate(lines, Trim(section), Trim(key));
  if (place.key < 0) return std::nullopt;
  std::string_view value = Trim(RawValue(text, lines[place.key]));
  if (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

static bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

static void CheckName(std::string_view name, const char* what) {
  if (name.empty() || Trim(name).size() != name.size() || HasLineBreak(name))
    throw std::invalid_argument(std::string("settings ") + what + " name cannot be stored: \"" +
                                std::string(name) + "\"");
}

// The value as it must be written to read back unchanged.
static std::string StoredValue(std::string_view value) {
  const bool needsQuotes = Trim(value).size() != value.size() ||
                           (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back());
  if (!needsQuotes) return std::string(value);
  return "\"" + std::string(value) + "\"";
}

std::string IniFile::Update(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
  CheckName(section, "section");
  CheckName(key, "key");
  if (section.find(']') != std::string_view::npos)
    throw std::invalid_argument("settings section name cannot hold ']': \"" + std::string(section) + "\"");
  if (key.find('=') != std::string_view::npos || key.front() == '[' || key.front() == ';' ||
      key.front() == '#')
    throw std::invalid_argument("settings key name cannot be stored: \"" + std::string(key) + "\"");
  if (HasLineBreak(value))
    throw std::invalid_argument("settings value for \"" + std::string(key) + "\" holds a line break");

  const std::string stored = StoredValue(value);
  const std::vector<IniLine> lines = SplitIni(text);
  const IniPlace place = Locate(lines, section, key);
  std::string out;
  out.reserve(text.size() + key.size() + stored.size() + section.size() + 8);

  if (place.key >= 0) {
    // Keep the key as spelt and any blanks after '=' that preceded a value.
    const IniLine& line = lines[place.key];
    const std::string_view raw = RawValue(text, line);
    std::size_t keep = line.valueBegin;
    if (!Trim(raw).empty()) {
      while (keep < line.end && IsBlank(text[keep])) ++keep;
    }
    out.append(text.substr(0, keep));
    out.append(stored);
    out.append(text.substr(line.end));
    return out;
  }

  const std::string newLine = std::string(key) + "=" + stored + "\r\n";
  if (place.section >= 0) {
    const IniLine& after = lines[place.lastKey >= 0 ? place.lastKey : place.section];
    out.append(text.substr(0, after.next));
    if (after.next == after.end) out.append("\r\n");  // the last line had no ending
    out.append(newLine);
    out.append(text.substr(after.next));
    return out;
  }

  out.append(text);
  if (!out.empty() && out.back() != '\n') out.append("\r\n");
  out.append("[" + std::string(section) + "]\r\n");
  out.append(newLine);
  return out;
}

bool IniFile::Exists() const {
  std::error_code ec;
  return std::filesystem::is_regular_file(m_path, ec);
}

std::string IniFile::ReadAll() const {
  try {
    return ReadFileIfExists(m_path).value_or(std::string());
  } catch (const FileError& e) {
    throw IniFileError(std::string("settings file: ") + e.what());
  }
}

void IniFile::ReplaceFile(const std::string& content) const {
  try {
    WriteFileAtomically(m_path, content);
  } catch (const FileError& e) {
    throw IniFileError(std::string("settings file: ") + e.what());
  }
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  return Lookup(ReadAll(), section, key).value_or(std::string(defaultValue));
}

int IniFile::ReadProfileInt(std::string_view section, std::string_view key, int defaultValue) const {
  const std::optional<std::string> value = Lookup(ReadAll(), section, key);
  if (!value || value->empty()) return defaultValue;
  std::size_t pos = 0;
  bool negative = false;
  if ((*value)[0] == '+' || (*value)[0] == '-') {
    negative = (*value)[0] == '-';
    pos = 1;
  }
  long long number = 0;
  for (; pos < value->size() && (*value)[pos] >= '0' && (*value)[pos] <= '9'; ++pos) {
    number = number * 10 + ((*value)[pos] - '0');
    if (number > static_cast<long long>(INT_MAX) + 1) number = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) number = -number;
  if (number > INT_MAX) number = INT_MAX;
  return static_cast<int>(number);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const std::optional<std::string> value = Lookup(ReadAll(), section, key);
  if (!value || value->empty()) return defaultValue;
  std::string_view digits = *value;
  if (digits.front() == '+') {
    digits.remove_prefix(1);
    if (digits.empty() || digits.front() == '-') return defaultValue;
  }
  int result = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), result);
  if (ec != std::errc() || end != digits.data() + digits.size()) return defaultValue;
  return result;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) const {
  ReplaceFile(Update(ReadAll(), section, key, value));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) const {
  WriteString(section, key, std::to_string(value));
}
