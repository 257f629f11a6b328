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

// Up to this many bytes a cell is copied as one 8-byte word, and a run of kRun equal
// pixels as one block.
static constexpr std::size_t kWordCell = 8;
static constexpr int kRun = 8;
static constexpr std::size_t kBlockBytes = kRun * kWordCell;

// `cell` repeated kRun times, zero-padded to a whole block.
static void RepeatCell(char* block, std::string_view cell) {
  std::memset(block, 0, kBlockBytes);
  for (int i = 0; i < kRun && !cell.empty(); ++i) std::memcpy(block + i * cell.size(), cell.data(), cell.size());
}

static void AppendCells(std::string& line, const Pixel* row, int count, std::string_view fill,
                        std::string_view back) {
  const std::size_t widest = std::max(fill.size(), back.size());
  const std::size_t start = line.size();
  if (widest > kWordCell) {
    line.reserve(start + static_cast<std::size_t>(count) * widest);
    for (int x = 0; x < count; ++x) line.append(IsBackground(row[x]) ? back : fill);
    return;
  }
  // Stores are whole words and blocks that advance only by what they hold, so the
  // buffer keeps one block of slack until the final size is known.
  std::uint64_t fillWord = 0, backWord = 0;
  if (!fill.empty()) std::memcpy(&fillWord, fill.data(), fill.size());
  if (!back.empty()) std::memcpy(&backWord, back.data(), back.size());
  char fillBlock[kBlockBytes], backBlock[kBlockBytes];
  RepeatCell(fillBlock, fill);
  RepeatCell(backBlock, back);
  line.resize(start + static_cast<std::size_t>(count) * widest + kBlockBytes);
  char* out = line.data() + start;
  auto putCell = [&](Pixel p) {
    const bool white = IsBackground(p);
    const std::uint64_t word = white ? backWord : fillWord;
    std::memcpy(out, &word, kWordCell);
    out += white ? back.size() : fill.size();
  };
  int x = 0;
  for (; x + kRun <= count; x += kRun) {
    // Text captures are mostly long runs of white or ink.
    int whites = 0;
    for (int i = 0; i < kRun; ++i) whites += IsBackground(row[x + i]);
    if (whites == kRun) {
      std::memcpy(out, backBlock, kBlockBytes);
      out += kRun * back.size();
    } else if (whites == 0) {
      std::memcpy(out, fillBlock, kBlockBytes);
      out += kRun * fill.size();
    } else {
      for (int i = 0; i < kRun; ++i) putCell(row[x + i]);
    }
  }
  for (; x < count; ++x) putCell(row[x]);
  line.resize(static_cast<std::size_t>(out - line.data()));
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
