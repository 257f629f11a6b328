// The character classes that text layout breaks lines by, and stepping through UTF-8.
#pragma once

#include <cstddef>
#include <string_view>

// The code point at `pos`, advancing `pos` past it (malformed bytes are U+FFFD, one each).
char32_t NextCodepoint(std::string_view s, std::size_t& pos);

// Ideographs, kana, hangul and full-width forms: a line may break before or after them
// without a space.
bool IsIdeographic(char32_t c);
// Closing punctuation, which must not begin a line.
bool IsNoBreakBefore(char32_t c);
// Opening punctuation, which must not end a line.
bool IsNoBreakAfter(char32_t c);
