// Region: a set of pixels held as disjoint rectangles, with the platform's region calls.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/Geometry.h"

// The rectangles are kept in canonical y-banded form: each band is a run of rectangles
// with the same top and bottom, sorted by x, neither overlapping nor touching; bands are
// sorted by y, do not overlap, and two touching bands never have the same x-spans (they
// are merged into one). Equal pixel sets therefore have equal rectangle lists.
//
// Combining with a region that covers only a few bands (a rectangle, a row) touches only
// those bands, and appending below the last band costs only the appended part, so a
// region built row by row from a mask costs time linear in its size.
class Region {
 public:
  Region() = default;
  explicit Region(const Rect& r);  // an empty rectangle gives an empty region
  // Any rectangle list; overlaps are allowed and merged, empty rectangles are ignored.
  static Region FromRects(const std::vector<Rect>& rects);

  bool IsEmpty() const { return m_rects.empty(); }
  // Disjoint rectangles in scan order (top to bottom, then left to right).
  const std::vector<Rect>& Rects() const { return m_rects; }
  // The bounding box; all zero when the region is empty.
  Rect Bounds() const;
  bool Contains(Point p) const;
  bool Intersects(const Rect& r) const;

  Region United(const Region& o) const;
  Region Intersected(const Region& o) const;
  Region Subtracted(const Region& o) const;
  Region Xored(const Region& o) const;
  Region Translated(int dx, int dy) const;
  void Unite(const Region& o);
  void Unite(const Rect& r) { Unite(Region(r)); }
  void Intersect(const Region& o);
  void Intersect(const Rect& r);
  void Subtract(const Region& o);
  void Subtract(const Rect& r) { Subtract(Region(r)); }
  void Xor(const Region& o);
  void Translate(int dx, int dy);
  void Clear() { m_rects.clear(); m_boundsValid = false; }

  // Same set of pixels (the rectangle lists are kept canonical, so this compares them).
  bool operator==(const Region& o) const { return m_rects == o.m_rects; }

 private:
  enum class Op { And, Or, Diff, Xor };
  void Combine(const Region& o, Op op);

  std::vector<Rect> m_rects;  // canonical: y-bands, sorted, no overlaps, merged
  mutable Rect m_bounds;      // cache for Bounds()
  mutable bool m_boundsValid = false;
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
// rectangles of four 32-bit integers each (left, top, right, bottom).
struct RGNDATAHEADER {
  std::uint32_t dwSize = 32;
  std::uint32_t iType = 1;  // RDH_RECTANGLES
  std::uint32_t nCount = 0;
  std::uint32_t nRgnSize = 0;
  Rect rcBound;
};
static_assert(sizeof(RGNDATAHEADER) == 32);
constexpr std::uint32_t RDH_RECTANGLES = 1;

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const Rect& r);
// Reads a header and its rectangles from `data` (`size` bytes); nullptr when the data is
// damaged (short, wrong header size or type, count beyond the data). Empty rectangles are
// skipped and rcBound/nRgnSize are not trusted. A transform is not supported: a non-null
// `xform` gives nullptr.
HRGN ExtCreateRegion(const void* xform, std::uint32_t size, const void* data);
// The region data (header and rectangles) of `rgn`, as GetRegionData fills it.
std::vector<std::uint8_t> GetRegionData(const Region& rgn);
// `dest` may be `src1` or `src2`; src2 is not read for RGN_COPY. ERROR for a null handle
// or an unknown mode, leaving `dest` unchanged.
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
// ERROR (region unchanged) when the move would take a coordinate beyond +-2^27, the
// platform's coordinate range.
int OffsetRgn(HRGN rgn, int dx, int dy);
bool PtInRegion(HRGN rgn, int x, int y);
bool RectInRegion(HRGN rgn, const Rect& r);
int GetRgnBox(HRGN rgn, Rect* box);
bool EqualRgn(HRGN a, HRGN b);
bool SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
void DeleteObject(HRGN rgn);
int RegionKind(const Region& r);
