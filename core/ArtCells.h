// The cells of a scanned capture as ink or background, for art in other forms than lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"

// One flag per scanned pixel: the same rows 1 to H-5 and columns 0 to W-5 as ScanArtLines,
// ink where the pixel is not exactly white. A capture too small to scan has no rows.
class ArtCells {
 public:
  ArtCells() = default;
  explicit ArtCells(const Bitmap& capture);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  bool Ink(int x, int y) const { return m_ink[static_cast<std::size_t>(y) * m_width + x] != 0; }
  bool AnyInk() const;

  // Without the empty rows and columns around the ink: the first and last row and column
  // each hold ink. No ink: nothing is left.
  ArtCells Cropped() const;

  // The art as lines of cells, as ScanArtLines makes them: each line loses its trailing
  // bytes 0-32 and empty lines at the end are dropped.
  std::vector<std::string> Lines(std::string_view fill, std::string_view back) const;

 private:
  int m_width = 0;
  int m_height = 0;
  std::vector<std::uint8_t> m_ink;
};
