// Line-break character classes and UTF-8 stepping.
#include "platform/gfx/GlyphText.h"

#include "platform/sys/Utf8.h"

#include <algorithm>
#include <array>

char32_t NextCodepoint(std::string_view s, std::size_t& pos) {
  const Utf8Char c = DecodeUtf8(s, pos);
  pos += c.length;
  return c.code;
}

bool IsIdeographic(char32_t c) {
  return (c >= 0x1100 && c <= 0x11FF) ||   // hangul jamo
         (c >= 0x2E80 && c <= 0x303E) ||   // CJK radicals, symbols and punctuation
         (c >= 0x3040 && c <= 0x33FF) ||   // kana, bopomofo, compatibility
         (c >= 0x3400 && c <= 0x4DBF) ||   // extension A
         (c >= 0x4E00 && c <= 0x9FFF) ||   // unified ideographs
         (c >= 0xA960 && c <= 0xA97F) ||   // hangul jamo extended
         (c >= 0xAC00 && c <= 0xD7AF) ||   // hangul syllables
         (c >= 0xF900 && c <= 0xFAFF) ||   // compatibility ideographs
         (c >= 0xFE30 && c <= 0xFE4F) ||   // compatibility forms
         (c >= 0xFF00 && c <= 0xFF60) ||   // full-width forms
         (c >= 0xFFE0 && c <= 0xFFE6) ||   // full-width signs
         (c >= 0x20000 && c <= 0x3FFFD);   // supplementary ideographic planes
}

namespace {
constexpr std::array<char32_t, 30> kNoBreakBefore = {
    U'!', U')', U',', U'.', U':', U';', U'?', U']', U'}', U'、', U'。', U'〉', U'》',
    U'」', U'』', U'】', U'〕', U'〗', U'！', U'）', U'，', U'．', U'：', U'；', U'？',
    U'］', U'｝', U'…', U'ー', U'〜'};
constexpr std::array<char32_t, 15> kNoBreakAfter = {
    U'(', U'[', U'{', U'〈', U'《', U'「', U'『', U'【', U'〔', U'〖', U'（', U'［',
    U'｛', U'‘', U'“'};
}  // namespace

bool IsNoBreakBefore(char32_t c) {
  return std::find(kNoBreakBefore.begin(), kNoBreakBefore.end(), c) != kNoBreakBefore.end() ||
         c == U'’' || c == U'”';
}

bool IsNoBreakAfter(char32_t c) {
  return std::find(kNoBreakAfter.begin(), kNoBreakAfter.end(), c) != kNoBreakAfter.end();
}
