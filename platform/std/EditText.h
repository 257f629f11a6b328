// EditText: the text of an edit control (code points, CR LF line breaks) and its layout
// into visual lines, wrapped at a width or not, kept up to date edit by edit.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/gfx/Font.h"

// Advances of characters in one font, cached: a tab reaches the next stop of eight average
// character widths; control characters take none; with a password character every
// character is drawn as that one.
class CharMetrics {
 public:
  CharMetrics();
  void SetFont(const Font& font);
  const Font& GetFont() const { return m_font; }
  void SetPasswordChar(char32_t c) { m_password = c; }
  char32_t PasswordChar() const { return m_password; }
  int LineHeight() const { return m_lineHeight; }
  int AveCharWidth() const { return m_aveWidth; }
  // The advance of `c` drawn at `x` pixels from the line's start.
  int Advance(char32_t c, int x) const {
    if (m_password) return Width(m_password);
    if (c == U'\t') return m_tab - x % m_tab;
    return Width(c);
  }

 private:
  int Width(char32_t c) const {
    if (c < 128) return m_ascii[c] >= 0 ? m_ascii[c] : AsciiWidth(c);
    return WideWidth(c);
  }
  int AsciiWidth(char32_t c) const;
  int WideWidth(char32_t c) const;

  Font m_font;
  // -1: not measured yet. Widths are measured on first use: a memo that shows a few
  // characters should not render every glyph of its font when it is made.
  mutable std::array<int, 128> m_ascii{};
  mutable std::unordered_map<char32_t, int> m_wide;
  int m_tab = 8;
  int m_lineHeight = 1;
  int m_aveWidth = 1;
  char32_t m_password = 0;
};

bool IsCjkChar(char32_t c);
std::u32string Utf8ToUtf32(std::string_view utf8);
std::string Utf32ToUtf8(std::u32string_view text);
// Every lone CR and lone LF becomes CR LF.
std::u32string NormalizeBreaks(std::u32string_view text);

class EditText {
 public:
  struct Line {
    int start = 0;
    int length = 0;       // characters shown, the line break excluded
    int breakLength = 0;  // 2 after a CR LF, 0 for a wrapped line or the last one
    int width = 0;        // pixels
  };

  // `multiline`: CR LF breaks lines (else it is text like any other).
  EditText(const CharMetrics& metrics, bool multiline);

  const std::u32string& Text() const { return m_text; }
  int Length() const { return static_cast<int>(m_text.size()); }
  // 0: no wrapping; otherwise lines wrap to fit this many pixels.
  void SetWrapWidth(int width);
  int WrapWidth() const { return m_wrap; }
  void SetText(std::u32string text);
  // Replaces `removed` characters at `pos` with `inserted` and lays out again what changed.
  void Replace(int pos, int removed, std::u32string_view inserted);
  // Lays out everything again (after a change of font or width).
  void Relayout();

  int LineCount() const { return static_cast<int>(m_lines.size()); }
  const Line& GetLine(int index) const { return m_lines[static_cast<std::size_t>(index)]; }
  // The line a character index lies on (a position where a wrapped line ends belongs to
  // the line after it).
  int LineFromChar(int index) const;
  int MaxWidth() const { return m_maxWidth; }
  // Pixels from the line's start to character `index` of it.
  int XOfChar(int line, int index) const;
  // The character boundary of the line nearest to `x` pixels from the line's start.
  int CharAtX(int line, int x) const;
  // Whether a line may begin at `index` when wrapping (after blanks, around ideographs).
  bool CanBreakBefore(int index) const;

 private:
  // Lays out one visual line from `start`; returns where the next begins.
  int WrapOne(int start, Line& out) const;
  void UpdateMaxWidth();

  const CharMetrics& m_metrics;
  bool m_multiline;
  int m_wrap = 0;
  std::u32string m_text;
  std::vector<Line> m_lines;
  int m_maxWidth = 0;
};
