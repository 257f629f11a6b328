// Text on a device context: TextOut, DrawText with its formats, and text measuring.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/gfx/GlyphBlit.h"
#include "platform/gfx/GlyphText.h"

namespace {

constexpr int kTabColumns = 8;  // tab stops every eight average character widths
constexpr std::string_view kEllipsis = "...";

// One line as drawn: its text after prefix processing, and the byte ranges of the
// characters that an "&" marked for underlining.
struct TextLine {
  std::string text;
  std::vector<std::pair<std::size_t, std::size_t>> marks;
};

// Measures and steps through a line the way it is drawn, tabs included.
class LineMeasure {
 public:
  LineMeasure(const Font& font, bool expandTabs)
      : m_font(font),
        m_tabWidth(expandTabs ? std::max(1, font.Metrics().aveCharWidth) * kTabColumns : 0) {}

  // The pen position after `cp` when it starts at `x`.
  int Advance(int x, char32_t cp) const {
    if (cp == U'\t' && m_tabWidth > 0) return (x / m_tabWidth + 1) * m_tabWidth;
    return x + m_font.CharWidth(cp);
  }
  int Width(std::string_view text) const {
    int x = 0;
    for (std::size_t pos = 0; pos < text.size();) x = Advance(x, NextCodepoint(text, pos));
    return x;
  }
  int TabWidth() const { return m_tabWidth; }

 private:
  const Font& m_font;
  int m_tabWidth;
};

// Removes the "&" prefixes: "&x" marks x, "&&" is a literal "&", a final lone "&" is
// dropped.
TextLine StripPrefixes(std::string_view text) {
  TextLine line;
  line.text.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    if (text[pos] != '&') {
      const std::size_t start = pos;
      NextCodepoint(text, pos);
      line.text.append(text.substr(start, pos - start));
      continue;
    }
    ++pos;
    if (pos >= text.size()) break;
    if (text[pos] == '&') {
      line.text.push_back('&');
      ++pos;
      continue;
    }
    const std::size_t start = pos;
    NextCodepoint(text, pos);
    line.marks.emplace_back(line.text.size(), line.text.size() + (pos - start));
    line.text.append(text.substr(start, pos - start));
  }
  return line;
}

// The part [from, to) of a line, with the marks that fall inside it.
TextLine SubLine(const TextLine& line, std::size_t from, std::size_t to) {
  TextLine part;
  part.text = line.text.substr(from, to - from);
  for (const auto& [a, b] : line.marks) {
    if (a >= from && b <= to) part.marks.emplace_back(a - from, b - from);
  }
  return part;
}

// Splits a line into pieces no wider than `maxWidth`: at spaces (which the break eats),
// between ideographs (not before closing or after opening punctuation), and inside a
// word only when the word alone is too wide. Every piece holds at least one character.
void WrapLine(const TextLine& line, int maxWidth, const LineMeasure& measure,
              std::vector<TextLine>& out) {
  struct Char {
    std::size_t start, end;
    char32_t cp;
  };
  std::vector<Char> chars;
  for (std::size_t pos = 0; pos < line.text.size();) {
    const std::size_t start = pos;
    const char32_t cp = NextCodepoint(line.text, pos);
    chars.push_back({start, pos, cp});
  }
  const auto byteAt = [&](std::size_t i) { return i < chars.size() ? chars[i].start : line.text.size(); };

  std::size_t lineStart = 0;
  // A break opportunity: the line would end before `breakEnd`, the next begin at `breakNext`.
  std::size_t breakEnd = 0, breakNext = 0;
  bool canBreak = false;
  int x = 0;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const char32_t cp = chars[i].cp;
    if (cp == U' ') {
      if (i == lineStart || chars[i - 1].cp != U' ') breakEnd = i;
      breakNext = i + 1;
      canBreak = i > lineStart;
      x = measure.Advance(x, cp);
      continue;
    }
    if (i > lineStart && chars[i - 1].cp != U' ' &&
        (IsIdeographic(cp) || IsIdeographic(chars[i - 1].cp)) && !IsNoBreakBefore(cp) &&
        !IsNoBreakAfter(chars[i - 1].cp)) {
      breakEnd = breakNext = i;
      canBreak = true;
    }
    const int next = measure.Advance(x, cp);
    if (next > maxWidth && i > lineStart) {
      std::size_t end = i, resume = i;
      if (canBreak) end = breakEnd, resume = breakNext;
      out.push_back(SubLine(line, byteAt(lineStart), byteAt(end)));
      lineStart = resume;
      canBreak = false;
      x = 0;
      for (std::size_t j = lineStart; j < i; ++j) x = measure.Advance(x, chars[j].cp);
      // The rest may still be too wide when it was a long word: look at i again.
      if (lineStart < i && measure.Advance(x, cp) > maxWidth) {
        --i;
        continue;
      }
      x = measure.Advance(x, cp);
      continue;
    }
    x = next;
  }
  out.push_back(SubLine(line, byteAt(lineStart), line.text.size()));
}

// Shortens a line that is too wide so that it ends in "..." within `maxWidth`.
void AddEllipsis(TextLine& line, int maxWidth, const LineMeasure& measure) {
  if (measure.Width(line.text) <= maxWidth) return;
  const int ellipsis = measure.Width(kEllipsis);
  std::size_t keep = 0;
  int x = 0;
  for (std::size_t pos = 0; pos < line.text.size();) {
    x = measure.Advance(x, NextCodepoint(line.text, pos));
    if (x + ellipsis > maxWidth) break;
    keep = pos;
  }
  TextLine shortened = SubLine(line, 0, keep);
  shortened.text.append(kEllipsis);
  line = std::move(shortened);
}

// Hard line breaks: "\r\n", "\n" and "\r" each end a line; a break at the very end does
// not begin another.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace

void DC::TextOut(int x, int y, std::string_view utf8) {
  const Point at{x + m_origin.x, y + m_origin.y};
  if (m_bkMode == OPAQUE)
    FillDevice(Rect::FromSize(at, m_font.TextExtent(utf8)), ColorToPixel(ColorToRGB(m_bkColor)));
  m_font.Draw(*m_target, at.x, at.y, utf8, m_textColor, m_clip);
}

int DC::DrawText(std::string_view utf8, Rect& r, std::uint32_t format) {
  const bool singleLine = format & DT_SINGLELINE;
  const bool prefixes = !(format & DT_NOPREFIX);
  const LineMeasure measure(m_font, format & DT_EXPANDTABS);
  const TextMetrics& tm = m_font.Metrics();
  const int lineHeight = tm.height;
  const int maxWidth = r.Width();

  std::vector<TextLine> lines;
  const std::vector<std::string_view> hardLines =
      singleLine ? std::vector<std::string_view>{utf8} : SplitLines(utf8);
  for (std::string_view hard : hardLines) {
    TextLine line = prefixes ? StripPrefixes(hard) : TextLine{std::string(hard), {}};
    if ((format & DT_WORDBREAK) && !singleLine)
      WrapLine(line, maxWidth, measure, lines);
    else
      lines.push_back(std::move(line));
  }
  if (utf8.empty()) lines.clear();
  if (format & DT_END_ELLIPSIS) {
    for (TextLine& line : lines) AddEllipsis(line, maxWidth, measure);
  }

  std::vector<int> widths;
  int widest = 0;
  for (const TextLine& line : lines) {
    widths.push_back(measure.Width(line.text));
    widest = std::max(widest, widths.back());
  }
  const int total = lineHeight * static_cast<int>(lines.size());
  int top = r.top;
  if (singleLine && (format & DT_VCENTER))
    top = r.top + (r.Height() - lineHeight) / 2;
  else if (singleLine && (format & DT_BOTTOM))
    top = r.bottom - lineHeight;

  if (format & DT_CALCRECT) {
    r.right = r.left + widest;
    r.bottom = r.top + total;
    return total;
  }

  const Region clip =
      (format & DT_NOCLIP) ? m_clip : m_clip.Intersected(Region(r.Translated(m_origin)));
  const Pixel textPixel = ColorToPixel(ColorToRGB(m_textColor));
  const std::vector<Rect> clipRects = ClipRects(*m_target, clip, m_target->Bounds());
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const TextLine& line = lines[n];
    int x = r.left;
    if (format & DT_RIGHT)
      x = r.right - widths[n];
    else if (format & DT_CENTER)
      x = r.left + (r.Width() - widths[n]) / 2;
    const Point at{x + m_origin.x, top + static_cast<int>(n) * lineHeight + m_origin.y};
    if (m_bkMode == OPAQUE && widths[n] > 0)
      FillClipped(*m_target, Rect::FromSize(at.x, at.y, widths[n], lineHeight),
                  ColorToPixel(ColorToRGB(m_bkColor)), clipRects);
    if (measure.TabWidth() > 0 && line.text.find('\t') != std::string::npos) {
      // Each run between tabs is drawn at its tab stop.
      int pen = 0;
      std::size_t runStart = 0;
      for (std::size_t pos = 0; pos <= line.text.size();) {
        if (pos == line.text.size() || line.text[pos] == '\t') {
          const std::string_view run = std::string_view(line.text).substr(runStart, pos - runStart);
          m_font.Draw(*m_target, at.x + pen, at.y, run, m_textColor, clip);
          pen += m_font.TextWidth(run);
          if (pos == line.text.size()) break;
          pen = measure.Advance(pen, U'\t');
          runStart = ++pos;
          continue;
        }
        NextCodepoint(line.text, pos);
      }
    } else {
      m_font.Draw(*m_target, at.x, at.y, line.text, m_textColor, clip);
    }
    if (!(format & DT_HIDEPREFIX)) {
      for (const auto& [a, b] : line.marks) {
        const int from = measure.Width(std::string_view(line.text).substr(0, a));
        const int to = measure.Width(std::string_view(line.text).substr(0, b));
        const int y = at.y + tm.underlineOffset;
        FillClipped(*m_target, {at.x + from, y, at.x + to, y + tm.underlineThickness}, textPixel,
                    clipRects);
      }
    }
  }
  if (singleLine && (format & (DT_VCENTER | DT_BOTTOM))) return top - r.top + total;
  return total;
}

Size DC::GetTextExtent(std::string_view utf8) const { return m_font.TextExtent(utf8); }

TextMetrics DC::GetTextMetrics() const { return m_font.Metrics(); }
