// The scan from captured pixels to lines of cells.
#include "core/ArtScan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

static bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= 32; }

static bool IsBackground(Pixel p) { return (p & 0x00FFFFFFu) == 0x00FFFFFFu; }

static void TrimTrailingBlanks(std::string& line) {
  std::size_t end = line.size();
  while (end > 0 && IsBlankByte(line[end - 1])) --end;
  line.resize(end);
}

// Up to this many bytes a cell is copied as one 8-byte word.
static constexpr std::size_t kWordCell = 8;

static void AppendCells(std::string& line, const Pixel* row, int count, std::string_view fill,
                        std::string_view back) {
  const std::size_t widest = std::max(fill.size(), back.size());
  const std::size_t start = line.size();
  if (widest <= kWordCell) {
    // Branch-free: every pixel stores a whole word and advances by its cell's length,
    // so the buffer has one word of slack at the end.
    std::uint64_t fillWord = 0, backWord = 0;
    if (!fill.empty()) std::memcpy(&fillWord, fill.data(), fill.size());
    if (!back.empty()) std::memcpy(&backWord, back.data(), back.size());
    line.resize(start + static_cast<std::size_t>(count) * widest + kWordCell);
    char* out = line.data() + start;
    for (int x = 0; x < count; ++x) {
      const bool white = IsBackground(row[x]);
      const std::uint64_t word = white ? backWord : fillWord;
      std::memcpy(out, &word, kWordCell);
      out += white ? back.size() : fill.size();
    }
    line.resize(static_cast<std::size_t>(out - line.data()));
    return;
  }
  line.reserve(start + static_cast<std::size_t>(count) * widest);
  for (int x = 0; x < count; ++x) line.append(IsBackground(row[x]) ? back : fill);
}

std::vector<std::string> ScanArtLines(const Bitmap& capture, std::string_view fill, std::string_view back) {
  std::vector<std::string> lines;
  const int height = capture.Height();
  const int width = capture.Width();
  if (height - 5 <= 0) return lines;
  const int columns = width - 4 > 0 ? width - 4 : 0;
  // A blank background is trimmed away after the last ink on a row anyway, so such rows
  // are built only up to that ink.
  const bool backIsBlank = std::all_of(back.begin(), back.end(), IsBlankByte);

  std::size_t lastNonEmpty = 0;
  bool anyNonEmpty = false;
  lines.reserve(static_cast<std::size_t>(height - 5));
  for (int y = 1; y <= height - 5; ++y) {
    std::string line;
    const Pixel* row = capture.Row(y);
    int count = columns;
    if (backIsBlank)
      while (count > 0 && IsBackground(row[count - 1])) --count;
    AppendCells(line, row, count, fill, back);
    TrimTrailingBlanks(line);
    if (!line.empty()) {
      lastNonEmpty = lines.size();
      anyNonEmpty = true;
    }
    lines.push_back(std::move(line));
  }
  if (!anyNonEmpty)
    lines.clear();
  else
    lines.resize(lastNonEmpty + 1);
  return lines;
}
