// Region: a set of pixels held as disjoint rectangles, with the platform's region calls.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/Geometry.h"

class Region {
 public:
  Region() = default;
  explicit Region(const Rect& r);
  // Any rectangle list; overlaps are allowed and merged.
  static Region FromRects(const std::vector<Rect>& rects);

  bool IsEmpty() const { return m_rects.empty(); }
  // Disjoint rectangles in scan order (top to bottom, then left to right).
  const std::vector<Rect>& Rects() const { return m_rects; }
  Rect Bounds() const;
  bool Contains(Point p) const;
  bool Intersects(const Rect& r) const;

  Region United(const Region& o) const;
  Region Intersected(const Region& o) const;
  Region Subtracted(const Region& o) const;
  Region Xored(const Region& o) const;
  Region Translated(int dx, int dy) const;
  void Unite(const Region& o) { *this = United(o); }
  void Intersect(const Region& o) { *this = Intersected(o); }
  void Subtract(const Region& o) { *this = Subtracted(o); }
  void Translate(int dx, int dy) { *this = Translated(dx, dy); }

  // Same set of pixels (the rectangle lists are kept canonical, so this compares them).
  bool operator==(const Region& o) const { return m_rects == o.m_rects; }

 private:
  std::vector<Rect> m_rects;  // canonical: y-bands, sorted, no overlaps, merged
};

// The platform's entry points. Handles are owned pointers; `DeleteObject` frees one.
using HRGN = Region*;

// Region kinds as CombineRgn and GetRgnBox report them.
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// Combine modes.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

// The region-data header that ExtCreateRegion reads: 32 bytes followed by nCount
// rectangles of four 32-bit integers each.
struct RGNDATAHEADER {
  std::uint32_t dwSize = 32;
  std::uint32_t iType = 1;  // RDH_RECTANGLES
  std::uint32_t nCount = 0;
  std::uint32_t nRgnSize = 0;
  Rect rcBound;
};
constexpr std::uint32_t RDH_RECTANGLES = 1;

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const Rect& r);
// Reads a header and its rectangles from `data` (`size` bytes); nullptr when the data is
// damaged (short, wrong header size or type, count beyond the data).
HRGN ExtCreateRegion(const void* xform, std::uint32_t size, const void* data);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN rgn, int dx, int dy);
bool PtInRegion(HRGN rgn, int x, int y);
int GetRgnBox(HRGN rgn, Rect* box);
bool EqualRgn(HRGN a, HRGN b);
void DeleteObject(HRGN rgn);
int RegionKind(const Region& r);
