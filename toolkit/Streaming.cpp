// Parser of the textual form format and the typed reads of its values.
#include "toolkit/Streaming.h"

#include <cstdlib>

namespace {

// Nesting beyond this is taken as damage rather than a form anyone wrote.
constexpr int kMaxDepth = 200;

class Parser {
 public:
  explicit Parser(std::string_view text) : m_text(text) {}

  TStreamObject ParseTop() {
    SkipBlank();
    TStreamObject top = ParseObject(0);
    SkipBlank();
    if (!AtEnd()) Fail("unexpected text after the final 'end'");
    return top;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw EReadError("Line " + std::to_string(m_line) + ": " + what);
  }

  bool AtEnd() const { return m_pos >= m_text.size(); }
  char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }
  char Get() {
    char c = m_text[m_pos++];
    if (c == '\n') ++m_line;
    return c;
  }

  void SkipBlank() {
    while (!AtEnd()) {
      char c = Peek();
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        Get();
      } else if (c == '/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '/') {
        while (!AtEnd() && Peek() != '\n') Get();
      } else {
        break;
      }
    }
  }

  static bool IdentStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  }
  static bool IdentPart(char c) { return IdentStart(c) || (c >= '0' && c <= '9'); }

  std::string ReadIdent(const char* what) {
    SkipBlank();
    if (!IdentStart(Peek())) Fail(std::string("expected ") + what);
    std::size_t start = m_pos;
    while (!AtEnd() && IdentPart(Peek())) Get();
    return std::string(m_text.substr(start, m_pos - start));
  }

  // A property name: identifiers joined by dots.
  std::string ReadQualified() {
    std::string name = ReadIdent("a property name or 'end'");
    while (Peek() == '.') {
      Get();
      if (!IdentStart(Peek())) Fail("expected an identifier after '.' in '" + name + ".'");
      name += '.';
      name += ReadIdent("an identifier");
    }
    return name;
  }

  void Expect(char c, const std::string& context) {
    SkipBlank();
    if (Peek() != c) Fail(std::string("expected '") + c + "' " + context);
    Get();
  }

  // Peeks whether the next word is `word` (without consuming it).
  bool NextWordIs(std::string_view word) {
    SkipBlank();
    std::size_t p = m_pos;
    std::size_t n = 0;
    while (p + n < m_text.size() && IdentPart(m_text[p + n])) ++n;
    return n == word.size() && SameText(m_text.substr(p, n), word);
  }

  TStreamObject ParseObject(int depth) {
    if (depth > kMaxDepth) Fail("objects nested too deeply");
    SkipBlank();
    if (!(NextWordIs("object") || NextWordIs("inherited") || NextWordIs("inline")))
      Fail("expected 'object'");
    TStreamObject obj;
    obj.line = m_line;
    ReadIdent("'object'");
    std::string first = ReadIdent("a component name or class name");
    SkipBlank();
    if (Peek() == ':') {
      Get();
      obj.name = first;
      obj.className = ReadIdent("a class name after ':'");
    } else {
      obj.className = first;
    }
    for (;;) {
      SkipBlank();
      if (AtEnd()) Fail("missing 'end' of object '" + (obj.name.empty() ? obj.className : obj.name) + "'");
      if (NextWordIs("end")) {
        ReadIdent("'end'");
        return obj;
      }
      if (NextWordIs("object") || NextWordIs("inherited") || NextWordIs("inline")) {
        obj.children.push_back(ParseObject(depth + 1));
        continue;
      }
      TStreamProperty prop;
      prop.line = m_line;
      prop.name = ReadQualified();
      Expect('=', "after property name '" + prop.name + "'");
      prop.value = ParseValue(depth + 1);
      obj.properties.push_back(std::move(prop));
    }
  }

  TStreamValue ParseValue(int depth) {
    if (depth > kMaxDepth) Fail("values nested too deeply");
    SkipBlank();
    TStreamValue v;
    v.line = m_line;
    char c = Peek();
    if (AtEnd()) Fail("expected a value");
    if (c == '\'' || c == '#') {
      v.kind = TStreamValue::Kind::String;
      v.text = ParseString();
    } else if (c == '-' || c == '+' || (c >= '0' && c <= '9') || c == '$') {
      ParseNumber(v);
    } else if (IdentStart(c)) {
      v.kind = TStreamValue::Kind::Ident;
      v.text = ReadQualified();
    } else if (c == '[') {
      Get();
      v.kind = TStreamValue::Kind::Set;
      SkipBlank();
      if (Peek() != ']') {
        for (;;) {
          v.set.push_back(ReadIdent("a set element"));
          SkipBlank();
          if (Peek() == ',') {
            Get();
            continue;
          }
          break;
        }
      }
      Expect(']', "to close the set");
    } else if (c == '(') {
      Get();
      v.kind = TStreamValue::Kind::List;
      for (;;) {
        SkipBlank();
        if (AtEnd()) Fail("missing ')' to close the list");
        if (Peek() == ')') {
          Get();
          break;
        }
        v.list.push_back(ParseValue(depth + 1));
      }
    } else if (c == '{') {
      Get();
      v.kind = TStreamValue::Kind::Binary;
      ParseBinary(v.binary);
    } else if (c == '<') {
      Get();
      v.kind = TStreamValue::Kind::Collection;
      for (;;) {
        SkipBlank();
        if (AtEnd()) Fail("missing '>' to close the collection");
        if (Peek() == '>') {
          Get();
          break;
        }
        if (!NextWordIs("item")) Fail("expected 'item' or '>' in a collection");
        ReadIdent("'item'");
        std::vector<TStreamProperty> props;
        for (;;) {
          SkipBlank();
          if (AtEnd()) Fail("missing 'end' of a collection item");
          if (NextWordIs("end")) {
            ReadIdent("'end'");
            break;
          }
          TStreamProperty prop;
          prop.line = m_line;
          prop.name = ReadQualified();
          Expect('=', "after property name '" + prop.name + "'");
          prop.value = ParseValue(depth + 1);
          props.push_back(std::move(prop));
        }
        v.items.push_back(std::move(props));
      }
    } else {
      Fail(std::string("unexpected character '") + c + "' where a value belongs");
    }
    return v;
  }

  std::string ParseString() {
    std::string out;
    for (;;) {
      SkipBlank();
      char c = Peek();
      if (c == '\'') {
        Get();
        for (;;) {
          if (AtEnd()) Fail("unterminated string");
          if (Peek() == '\n' || Peek() == '\r') Fail("line break inside a string");
          char d = Get();
          if (d == '\'') {
            if (Peek() == '\'') {
              Get();
              out += '\'';
              continue;
            }
            break;
          }
          out += d;
        }
      } else if (c == '#') {
        Get();
        std::uint32_t code = 0;
        bool hex = false;
        if (Peek() == '$') {
          Get();
          hex = true;
        }
        int digits = 0;
        for (;;) {
          char d = Peek();
          int value = -1;
          if (d >= '0' && d <= '9') value = d - '0';
          else if (hex && d >= 'a' && d <= 'f') value = d - 'a' + 10;
          else if (hex && d >= 'A' && d <= 'F') value = d - 'A' + 10;
          if (value < 0) break;
          Get();
          code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(value);
          if (code > 0x10FFFF) Fail("character code out of range");
          ++digits;
        }
        if (digits == 0) Fail("expected a character code after '#'");
        AppendUtf8(out, code);
      } else {
        break;
      }
      // Adjacent pieces ('a'#13'b') join directly; '+' joins pieces across lines, and
      // anything else ends the string (the next line of a list is the next item).
      if (Peek() == '\'' || Peek() == '#') continue;
      SkipBlank();
      if (Peek() != '+') break;
      {
        Get();
        SkipBlank();
        if (Peek() != '\'' && Peek() != '#') Fail("expected a string after '+'");
      }
    }
    return out;
  }

  void ParseNumber(TStreamValue& v) {
    std::size_t start = m_pos;
    bool negative = false;
    if (Peek() == '-' || Peek() == '+') {
      negative = Get() == '-';
    }
    if (Peek() == '$') {
      Get();
      std::uint64_t value = 0;
      int digits = 0;
      for (;;) {
        char d = Peek();
        int x = -1;
        if (d >= '0' && d <= '9') x = d - '0';
        else if (d >= 'a' && d <= 'f') x = d - 'a' + 10;
        else if (d >= 'A' && d <= 'F') x = d - 'A' + 10;
        if (x < 0) break;
        Get();
        if (++digits > 16) Fail("hexadecimal number too long");
        value = value * 16 + static_cast<std::uint64_t>(x);
      }
      if (digits == 0) Fail("expected hexadecimal digits after '$'");
      v.kind = TStreamValue::Kind::Integer;
      // $FFFFFFFF reads as the 32-bit pattern, as colours are written.
      v.integer = static_cast<std::int64_t>(value);
      if (negative) v.integer = -v.integer;
      return;
    }
    bool isFloat = false;
    int digits = 0;
    while ((Peek() >= '0' && Peek() <= '9') || Peek() == '.' || Peek() == 'e' || Peek() == 'E') {
      char d = Get();
      if (d == '.' || d == 'e' || d == 'E') {
        isFloat = true;
        if ((d == 'e' || d == 'E') && (Peek() == '-' || Peek() == '+')) Get();
      } else {
        ++digits;
      }
    }
    if (digits == 0) Fail("expected a number");
    std::string s(m_text.substr(start, m_pos - start));
    if (isFloat) {
      char* end = nullptr;
      v.kind = TStreamValue::Kind::Float;
      v.real = std::strtod(s.c_str(), &end);
      if (end != s.c_str() + s.size()) Fail("malformed number '" + s + "'");
    } else {
      if (digits > 18) Fail("number too large '" + s + "'");
      v.kind = TStreamValue::Kind::Integer;
      v.integer = std::strtoll(s.c_str(), nullptr, 10);
    }
  }

  void ParseBinary(std::vector<std::uint8_t>& out) {
    int high = -1;
    for (;;) {
      if (AtEnd()) Fail("missing '}' to close the binary data");
      char c = Get();
      if (c == '}') break;
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
      int x = -1;
      if (c >= '0' && c <= '9') x = c - '0';
      else if (c >= 'a' && c <= 'f') x = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') x = c - 'A' + 10;
      if (x < 0) Fail(std::string("invalid character '") + c + "' in binary data");
      if (high < 0) {
        high = x;
      } else {
        out.push_back(static_cast<std::uint8_t>(high * 16 + x));
        high = -1;
      }
    }
    if (high >= 0) Fail("binary data has an odd number of hex digits");
  }

  std::string_view m_text;
  std::size_t m_pos = 0;
  int m_line = 1;
};

}  // namespace

TStreamObject ParseFormText(std::string_view text) { return Parser(text).ParseTop(); }

TStreamValue TStreamValue::Integer(std::int64_t v) {
  TStreamValue r;
  r.kind = Kind::Integer;
  r.integer = v;
  return r;
}

TStreamValue TStreamValue::String(std::string v) {
  TStreamValue r;
  r.kind = Kind::String;
  r.text = std::move(v);
  return r;
}

TStreamValue TStreamValue::Ident(std::string v) {
  TStreamValue r;
  r.kind = Kind::Ident;
  r.text = std::move(v);
  return r;
}

void TStreamValue::Invalid() const { throw EReadError("Invalid property value " + Describe()); }

std::string TStreamValue::Describe() const {
  switch (kind) {
    case Kind::Integer: return std::to_string(integer);
    case Kind::Float: return std::to_string(real);
    case Kind::String: return "'" + text + "'";
    case Kind::Ident: return text;
    case Kind::Set: {
      std::string s = "[";
      for (std::size_t i = 0; i < set.size(); ++i) s += (i ? ", " : "") + set[i];
      return s + "]";
    }
    case Kind::List: return "(list of " + std::to_string(list.size()) + ")";
    case Kind::Binary: return "{" + std::to_string(binary.size()) + " bytes}";
    case Kind::Collection: return "<collection of " + std::to_string(items.size()) + ">";
  }
  return "?";
}

std::int64_t TStreamValue::AsInteger() const {
  if (kind != Kind::Integer) Invalid();
  return integer;
}

int TStreamValue::AsInt() const {
  if (kind != Kind::Integer) Invalid();
  // Colours and flags are written as 32-bit patterns ($FFFFFFFF); anything wider is damage.
  if (integer < INT32_MIN || integer > static_cast<std::int64_t>(UINT32_MAX)) Invalid();
  return static_cast<int>(static_cast<std::uint32_t>(integer));
}

double TStreamValue::AsFloat() const {
  if (kind == Kind::Integer) return static_cast<double>(integer);
  if (kind != Kind::Float) Invalid();
  return real;
}

const std::string& TStreamValue::AsString() const {
  if (kind != Kind::String) Invalid();
  return text;
}

const std::string& TStreamValue::AsIdent() const {
  if (kind != Kind::Ident) Invalid();
  return text;
}

bool TStreamValue::AsBool() const {
  if (kind == Kind::Ident) {
    if (SameText(text, "True")) return true;
    if (SameText(text, "False")) return false;
  }
  Invalid();
}

int TStreamValue::AsEnum(std::initializer_list<std::pair<const char*, int>> names) const {
  if (kind != Kind::Ident) Invalid();
  for (const auto& [n, v] : names)
    if (SameText(text, n)) return v;
  Invalid();
}

std::uint32_t TStreamValue::AsSet(
    std::initializer_list<std::pair<const char*, std::uint32_t>> names) const {
  if (kind != Kind::Set) Invalid();
  std::uint32_t bits = 0;
  for (const std::string& element : set) {
    bool found = false;
    for (const auto& [n, v] : names) {
      if (SameText(element, n)) {
        bits |= v;
        found = true;
        break;
      }
    }
    if (!found) throw EReadError("Invalid property value: unknown set element " + element);
  }
  return bits;
}

const std::vector<std::string>& TStreamValue::AsStringList() const {
  if (kind != Kind::List) Invalid();
  m_strings.clear();
  for (const TStreamValue& item : list) m_strings.push_back(item.AsString());
  return m_strings;
}

const std::vector<std::uint8_t>& TStreamValue::AsBinary() const {
  if (kind != Kind::Binary) Invalid();
  return binary;
}

std::string BinaryValueText(std::span<const std::uint8_t> bytes, std::string_view indent) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2 + (bytes.size() / 32 + 1) * (indent.size() + 1));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i % 32 == 0) {
      out += '\n';
      out += indent;
    }
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}
