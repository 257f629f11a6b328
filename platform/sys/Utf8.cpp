// UTF-8 decoding, encoding, display widths and byte cuts.
#include "platform/sys/Utf8.h"

#include <utf8proc.h>

#include "platform/sys/EastAsianAmbiguous.h"

static bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

Utf8Char DecodeUtf8(std::string_view text, std::size_t pos) {
  const Utf8Char bad{kReplacementChar, 1, false};
  const auto b0 = static_cast<unsigned char>(text[pos]);
  if (b0 < 0x80) return {b0, 1, true};
  std::size_t length;
  char32_t code;
  char32_t minimum;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2, code = b0 & 0x1F, minimum = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3, code = b0 & 0x0F, minimum = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4, code = b0 & 0x07, minimum = 0x10000;
  } else {
    return bad;
  }
  if (text.size() - pos < length) return bad;
  for (std::size_t i = 1; i < length; ++i) {
    const auto b = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuation(b)) return bad;
    code = (code << 6) | (b & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return bad;
  return {code, length, true};
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacementChar;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string EncodeUtf8(char32_t c) {
  std::string out;
  AppendUtf8(out, c);
  return out;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char ch = DecodeUtf8(text, pos);
    if (!ch.valid) return false;
    pos += ch.length;
  }
  return true;
}

int CharWidth(char32_t c) {
  if (c < 0x80) return (c >= 0x20 && c < 0x7F) ? 1 : 0;
  const int width = utf8proc_charwidth(static_cast<utf8proc_int32_t>(c));
  // The output face is a CJK face, which draws ambiguous characters (Greek, Cyrillic,
  // box drawing, circled digits, ...) a full cell wide. Zero-width ambiguous ones
  // (combining marks, variation selectors) stay zero.
  if (width == 1 && IsEastAsianAmbiguous(c)) return 2;
  return width;
}

int DisplayWidth(std::string_view text) {
  int columns = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char ch = DecodeUtf8(text, pos);
    columns += CharWidth(ch.code);
    pos += ch.length;
  }
  return columns;
}

std::string_view CutUtf8(std::string_view text, std::size_t maxBytes) {
  std::size_t end = 0;
  while (end < text.size()) {
    const Utf8Char ch = DecodeUtf8(text, end);
    if (end + ch.length > maxBytes) break;
    end += ch.length;
  }
  return text.substr(0, end);
}
