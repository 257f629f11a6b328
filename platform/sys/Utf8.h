// UTF-8 decoding, encoding, display widths and byte cuts that never split a character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

constexpr char32_t kReplacementChar = 0xFFFD;

// One decoded character: its code point and how many bytes it took. A byte that does not
// start a well-formed sequence (stray continuation, overlong form, surrogate, beyond
// U+10FFFF, truncated) decodes as U+FFFD taking exactly that one byte, so every byte of
// any input belongs to exactly one character.
struct Utf8Char {
  char32_t code = 0;
  std::size_t length = 0;
  bool valid = false;
};

// The character that starts at byte `pos` of `text` (pos < text.size()).
Utf8Char DecodeUtf8(std::string_view text, std::size_t pos);
// Appends the encoding of `c`; surrogates and values beyond U+10FFFF append U+FFFD.
void AppendUtf8(std::string& out, char32_t c);
std::string EncodeUtf8(char32_t c);
bool IsValidUtf8(std::string_view text);

// Display columns of a character in a CJK terminal or face: 0 for combining and other
// zero-width characters, 2 for wide, full-width and East Asian ambiguous characters,
// otherwise 1. Control characters have no width (0).
int CharWidth(char32_t c);
// Sum of CharWidth over the characters of `text`.
int DisplayWidth(std::string_view text);

// The longest prefix of `text` of at most `maxBytes` bytes that ends on a character
// boundary.
std::string_view CutUtf8(std::string_view text, std::size_t maxBytes);
