// String packs: parsing of number=text files.
#include "platform/sys/StringPack.h"

#include "platform/sys/FileIo.h"
#include "platform/sys/Utf8.h"

static constexpr int kMaxNumber = 65535;
// Far above any real pack; refuses to load a wrong file of any size into memory.
static constexpr std::size_t kMaxPackBytes = std::size_t(4) << 20;

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

static std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The number of a `number=` field, or -1 when it is not one.
static int ParseNumber(std::string_view field) {
  field = TrimBlanks(field);
  if (field.empty() || field.size() > 5) return -1;
  int number = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
  }
  return number <= kMaxNumber ? number : -1;
}

static std::string Unescape(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\\' && i + 1 < raw.size()) {
      const char next = raw[i + 1];
      if (next == 'n' || next == 't' || next == '\\') {
        out.push_back(next == 'n' ? '\n' : next == 't' ? '\t' : '\\');
        ++i;
        continue;
      }
    }
    out.push_back(raw[i]);
  }
  return out;
}

StringPack StringPack::Parse(std::string_view text, std::string_view origin) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  StringPack pack;
  int lineNumber = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    ++lineNumber;
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = text.substr(pos, nl - pos);
    pos = nl + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!IsValidUtf8(line))
      throw StringPackError(std::string(origin) + ": line " + std::to_string(lineNumber) +
                            " is not UTF-8 text");
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') continue;
    const std::size_t eq = line.find('=');
    const int number = eq == std::string_view::npos ? -1 : ParseNumber(line.substr(0, eq));
    if (number < 0) {
      pack.m_skipped.push_back(lineNumber);
      continue;
    }
    if (pack.m_texts.count(number)) continue;
    const std::string value = Unescape(line.substr(eq + 1));
    pack.m_texts.emplace(number, std::string(CutUtf8(value, kMaxTextBytes)));
  }
  return pack;
}

StringPack StringPack::Load(const std::filesystem::path& path) {
  std::string content;
  try {
    std::optional<std::string> bytes = ReadFileIfExists(path, kMaxPackBytes);
    if (!bytes) throw StringPackError("language pack " + path.string() + " does not exist");
    content = std::move(*bytes);
  } catch (const FileError& e) {
    throw StringPackError(std::string("language pack: ") + e.what());
  }
  return Parse(content, "language pack " + path.string());
}

std::string StringPack::Text(int number) const {
  const auto it = m_texts.find(number);
  return it == m_texts.end() ? std::string() : it->second;
}
