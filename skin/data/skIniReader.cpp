// In-memory INI reading and writing for skin definitions.
#include "skin/data/skIniReader.h"

#include <cstdint>

#include "skin/data/skSkinErrors.h"

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Trims as the platform does: every character up to and including the space.
std::string_view Trim(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool TryParseSkinInteger(std::string_view text, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) return false;
  std::uint64_t magnitude = 0;
  const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 2147483648ull : 2147483647ull);
  for (; i < text.size(); ++i) {
    const int digit = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) return false;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    if (magnitude > limit) return false;
  }
  // Two's complement wrap keeps hexadecimal colours such as $FFFFFFFF as -1.
  std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
  if (negative) bits = ~bits + 1u;
  value = static_cast<int>(bits);
  return true;
}

int StrToIntStrict(std::string_view text) {
  int value = 0;
  if (!TryParseSkinInteger(Trim(text), value)) throw ConvertError(text);
  return value;
}

std::vector<std::string> SplitSkinLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

SkinIni::SkinIni(const std::vector<std::string>& lines) {
  Section* current = nullptr;
  bool first = true;
  for (const std::string& raw : lines) {
    std::string_view line = raw;
    // A UTF-8 byte order mark would otherwise hide the first section header.
    if (first && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    first = false;
    line = Trim(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      std::string name = Lower(Trim(line.substr(1, line.size() - 2)));
      if (m_sectionIndex.contains(name)) {
        current = nullptr;  // a repeated section: its keys are never found
        continue;
      }
      m_sectionIndex.emplace(std::move(name), m_sections.size());
      current = &m_sections.emplace_back();
      continue;
    }
    if (!current) continue;
    const std::size_t eq = line.find('=');
    std::string key = Lower(Trim(line.substr(0, eq)));
    std::string value = eq == std::string_view::npos ? std::string() : std::string(Trim(line.substr(eq + 1)));
    int index = 0;
    const bool numbered = !key.empty() && (key.size() == 1 || key[0] != '0') &&
                          key.find_first_not_of("0123456789") == std::string::npos &&
                          TryParseSkinInteger(key, index);
    if (numbered && index > current->lastIndexKey) current->lastIndexKey = index;
    current->values.emplace(std::move(key), std::move(value));  // keeps the first
  }
}

const std::string* SkinIni::Find(std::string_view section, std::string_view key) const {
  const auto s = m_sectionIndex.find(Lower(section));
  if (s == m_sectionIndex.end()) return nullptr;
  const auto& values = m_sections[s->second].values;
  const auto k = values.find(Lower(key));
  return k == values.end() ? nullptr : &k->second;
}

int SkinIni::LastIndexKey(std::string_view section) const {
  const auto s = m_sectionIndex.find(Lower(section));
  return s == m_sectionIndex.end() ? -1 : m_sections[s->second].lastIndexKey;
}

bool SkinIni::SectionExists(std::string_view section) const {
  return m_sectionIndex.contains(Lower(section));
}

bool SkinIni::ValueExists(std::string_view section, std::string_view key) const {
  return Find(section, key) != nullptr;
}

std::string SkinIni::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  const std::string* value = Find(section, key);
  return value ? *value : std::string(defaultValue);
}

int SkinIni::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const std::string* text = Find(section, key);
  int value = 0;
  return text && TryParseSkinInteger(*text, value) ? value : defaultValue;
}

void SkinIniWriter::WriteString(std::string_view section, std::string_view key,
                                std::string_view value) {
  const auto [s, newSection] = m_sectionIndex.try_emplace(Lower(section), m_sections.size());
  if (newSection) m_sections.push_back({std::string(section), {}, {}});
  Section& target = m_sections[s->second];
  const auto [k, newKey] = target.index.try_emplace(Lower(key), target.entries.size());
  if (newKey)
    target.entries.emplace_back(std::string(key), std::string(value));
  else
    target.entries[k->second].second = std::string(value);
}

void SkinIniWriter::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

std::string SkinIniWriter::Text(std::string_view lineEnd) const {
  std::string out;
  for (const Section& s : m_sections) {
    out += '[';
    out += s.name;
    out += ']';
    out += lineEnd;
    for (const auto& [key, value] : s.entries) {
      out += key;
      out += '=';
      out += value;
      out += lineEnd;
    }
  }
  return out;
}
