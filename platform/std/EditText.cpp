// EditText: text storage and incremental line layout with word wrapping.
#include "platform/std/EditText.h"

#include <algorithm>

#include "platform/sys/Utf8.h"

namespace {

bool IsBlank(char32_t c) { return c == U' ' || c == U'\t' || c == 0x3000; }

}  // namespace

CharMetrics::CharMetrics() { SetFont(Font()); }

void CharMetrics::SetFont(const Font& font) {
  m_font = font;
  m_ascii.fill(-1);
  m_wide.clear();
  const TextMetrics& tm = m_font.Metrics();
  m_lineHeight = std::max(1, tm.height);
  m_aveWidth = std::max(1, tm.aveCharWidth);
  m_tab = 8 * m_aveWidth;
}

int CharMetrics::AsciiWidth(char32_t c) const {
  m_ascii[c] = c < 32 ? 0 : m_font.CharWidth(c);
  return m_ascii[c];
}

int CharMetrics::WideWidth(char32_t c) const {
  auto it = m_wide.find(c);
  if (it != m_wide.end()) return it->second;
  const int w = (c >= 0x80 && c < 0xA0) ? 0 : m_font.CharWidth(c);
  m_wide.emplace(c, w);
  return w;
}

bool IsCjkChar(char32_t c) {
  return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0x303E) ||
         (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF01 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

std::u32string Utf8ToUtf32(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Utf8Char ch = DecodeUtf8(utf8, pos);
    out.push_back(ch.code);
    pos += ch.length;
  }
  return out;
}

std::string Utf32ToUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c < 0x80) out.push_back(static_cast<char>(c));
    else AppendUtf8(out, c);
  }
  return out;
}

std::u32string NormalizeBreaks(std::u32string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (c == U'\r') {
      out += U"\r\n";
      if (i + 1 < text.size() && text[i + 1] == U'\n') ++i;
    } else if (c == U'\n') {
      out += U"\r\n";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

EditText::EditText(const CharMetrics& metrics, bool multiline)
    : m_metrics(metrics), m_multiline(multiline) {
  Relayout();
}

void EditText::SetWrapWidth(int width) {
  width = std::max(0, width);
  if (width == m_wrap) return;
  m_wrap = width;
  Relayout();
}

void EditText::SetText(std::u32string text) {
  m_text = std::move(text);
  Relayout();
}

bool EditText::CanBreakBefore(int index) const {
  if (index <= 0 || index >= Length()) return false;
  const char32_t prev = m_text[static_cast<std::size_t>(index - 1)];
  const char32_t cur = m_text[static_cast<std::size_t>(index)];
  if (IsBlank(cur)) return false;
  return IsBlank(prev) || IsCjkChar(prev) || IsCjkChar(cur);
}

int EditText::WrapOne(int start, Line& out) const {
  const int n = Length();
  const char32_t* text = m_text.data();
  int x = 0;
  int lastBreak = -1;
  int xAtBreak = 0;
  for (int i = start; i < n; ++i) {
    const char32_t c = text[i];
    if (m_multiline && c == U'\r' && i + 1 < n && text[i + 1] == U'\n') {
      out = {start, i - start, 2, x};
      return i + 2;
    }
    if (m_wrap > 0 && i > start && CanBreakBefore(i)) {
      lastBreak = i;
      xAtBreak = x;
    }
    const int w = m_metrics.Advance(c, x);
    // Blanks may hang past the edge; anything else that does not fit starts a new line,
    // at the last break opportunity or, in a word longer than the line, right here.
    if (m_wrap > 0 && x + w > m_wrap && i > start && !IsBlank(c)) {
      if (lastBreak > start) {
        out = {start, lastBreak - start, 0, xAtBreak};
        return lastBreak;
      }
      out = {start, i - start, 0, x};
      return i;
    }
    x += w;
  }
  out = {start, n - start, 0, x};
  return n;
}

void EditText::Relayout() {
  m_lines.clear();
  const int n = Length();
  int pos = 0;
  for (;;) {
    Line line;
    const int next = WrapOne(pos, line);
    m_lines.push_back(line);
    if (next >= n && line.breakLength == 0) break;
    pos = next;
  }
  UpdateMaxWidth();
}

void EditText::Replace(int pos, int removed, std::u32string_view inserted) {
  const int n0 = Length();
  pos = std::clamp(pos, 0, n0);
  removed = std::clamp(removed, 0, n0 - pos);
  // Lines wrapped within the hard line that holds the change may all move; the layout is
  // redone from that hard line's start until a new line starts where an old one did.
  int first = LineFromChar(pos);
  while (first > 0 && m_lines[static_cast<std::size_t>(first - 1)].breakLength == 0) --first;
  const int start = m_lines[static_cast<std::size_t>(first)].start;
  const int oldEditEnd = pos + removed;
  const int delta = static_cast<int>(inserted.size()) - removed;
  m_text.replace(static_cast<std::size_t>(pos), static_cast<std::size_t>(removed), inserted);
  const int n = Length();
  const int newEditEnd = pos + static_cast<int>(inserted.size());

  auto after = std::upper_bound(m_lines.begin(), m_lines.end(), oldEditEnd,
                                [](int v, const Line& l) { return v < l.start; });
  std::size_t k = static_cast<std::size_t>(after - m_lines.begin());
  std::size_t end = m_lines.size();
  std::vector<Line> fresh;
  int p = start;
  for (;;) {
    Line line;
    const int next = WrapOne(p, line);
    fresh.push_back(line);
    if (next >= n && line.breakLength == 0) break;
    p = next;
    if (p > newEditEnd) {
      while (k < m_lines.size() && m_lines[k].start + delta < p) ++k;
      if (k < m_lines.size() && m_lines[k].start + delta == p) {
        end = k;
        break;
      }
    }
  }
  for (std::size_t i = end; i < m_lines.size(); ++i) m_lines[i].start += delta;
  m_lines.erase(m_lines.begin() + first, m_lines.begin() + static_cast<std::ptrdiff_t>(end));
  m_lines.insert(m_lines.begin() + first, fresh.begin(), fresh.end());
  UpdateMaxWidth();
}

void EditText::UpdateMaxWidth() {
  int w = 0;
  for (const Line& l : m_lines) w = std::max(w, l.width);
  m_maxWidth = w;
}

int EditText::LineFromChar(int index) const {
  auto it = std::upper_bound(m_lines.begin(), m_lines.end(), index,
                             [](int v, const Line& l) { return v < l.start; });
  if (it == m_lines.begin()) return 0;
  return static_cast<int>(it - m_lines.begin()) - 1;
}

int EditText::XOfChar(int line, int index) const {
  const Line& l = GetLine(line);
  const int stop = std::clamp(index, l.start, l.start + l.length);
  int x = 0;
  for (int i = l.start; i < stop; ++i) x += m_metrics.Advance(m_text[static_cast<std::size_t>(i)], x);
  return x;
}

int EditText::CharAtX(int line, int x) const {
  const Line& l = GetLine(line);
  int pos = 0;
  for (int i = l.start; i < l.start + l.length; ++i) {
    const int w = m_metrics.Advance(m_text[static_cast<std::size_t>(i)], pos);
    if (x < pos + (w + 1) / 2) return i;
    pos += w;
  }
  return l.start + l.length;
}
