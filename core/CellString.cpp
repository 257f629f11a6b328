// Normalisation of the fill and background strings.
#include "core/CellString.h"

#include "platform/sys/Utf8.h"

static constexpr int kCellColumns = 2;

static bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= 32; }

static int CellColumns(char32_t c) {
  // Control characters took one byte, and so one column, in the double-byte design.
  if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) return 1;
  return CharWidth(c);
}

std::string NormalizeCellString(std::string_view text) {
  std::string_view trimmed = text;
  while (!trimmed.empty() && IsBlankByte(trimmed.front())) trimmed.remove_prefix(1);
  while (!trimmed.empty() && IsBlankByte(trimmed.back())) trimmed.remove_suffix(1);
  if (trimmed.empty()) return std::string(kCellColumns, ' ');

  std::string cell;
  int columns = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char ch = DecodeUtf8(text, pos);
    const int width = CellColumns(ch.code);
    if (columns + width > kCellColumns) break;
    if (ch.valid)
      cell.append(text.substr(pos, ch.length));
    else
      AppendUtf8(cell, kReplacementChar);
    columns += width;
    pos += ch.length;
  }
  cell.append(static_cast<std::size_t>(kCellColumns - columns), ' ');
  return cell;
}
