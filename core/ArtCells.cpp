// Ink cells of a capture, their cropping and their lines.
#include "core/ArtCells.h"

#include <algorithm>

static bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= 32; }

ArtCells::ArtCells(const Bitmap& capture) {
  const int rows = capture.Height() - 5;
  if (rows <= 0) return;
  const int columns = std::max(0, capture.Width() - 4);
  m_width = columns;
  m_height = rows;
  m_ink.assign(static_cast<std::size_t>(rows) * columns, 0);
  for (int y = 0; y < rows; ++y) {
    const Pixel* row = capture.Row(y + 1);
    std::uint8_t* out = m_ink.data() + static_cast<std::size_t>(y) * columns;
    for (int x = 0; x < columns; ++x) out[x] = (row[x] & 0x00FFFFFFu) != 0x00FFFFFFu;
  }
}

bool ArtCells::AnyInk() const { return std::find(m_ink.begin(), m_ink.end(), 1) != m_ink.end(); }

ArtCells ArtCells::Cropped() const {
  int left = m_width, right = -1, top = m_height, bottom = -1;
  for (int y = 0; y < m_height; ++y)
    for (int x = 0; x < m_width; ++x)
      if (Ink(x, y)) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  ArtCells out;
  if (right < 0) return out;
  out.m_width = right - left + 1;
  out.m_height = bottom - top + 1;
  out.m_ink.reserve(static_cast<std::size_t>(out.m_width) * out.m_height);
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) out.m_ink.push_back(Ink(x, y));
  return out;
}

std::vector<std::string> ArtCells::Lines(std::string_view fill, std::string_view back) const {
  std::vector<std::string> lines;
  std::size_t kept = 0;
  for (int y = 0; y < m_height; ++y) {
    std::string line;
    for (int x = 0; x < m_width; ++x) line += Ink(x, y) ? fill : back;
    std::size_t end = line.size();
    while (end > 0 && IsBlankByte(line[end - 1])) --end;
    line.resize(end);
    if (!line.empty()) kept = lines.size() + 1;
    lines.push_back(std::move(line));
  }
  lines.resize(kept);
  return lines;
}
