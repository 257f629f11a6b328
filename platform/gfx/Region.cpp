// Region algebra over y-banded rectangle lists, and the platform's region calls.
#include "platform/gfx/Region.h"

#include <algorithm>
#include <cstring>

namespace {

struct Span {
  int left;
  int right;
  bool operator==(const Span&) const = default;
};

// End (one past) of the band that starts at index `i`.
std::size_t BandEnd(const std::vector<Rect>& rects, std::size_t i) {
  const int top = rects[i].top;
  std::size_t j = i + 1;
  while (j < rects.size() && rects[j].top == top) ++j;
  return j;
}

// Appends a band [top, bottom) with `spans` (sorted, disjoint, not touching), merging it
// into the last band when that one ends at `top` with the same spans.
void AppendBand(std::vector<Rect>& out, int top, int bottom, const Span* spans, std::size_t n) {
  if (n == 0 || top >= bottom) return;
  if (!out.empty() && out.back().bottom == top) {
    std::size_t start = out.size();
    const int lastTop = out.back().top;
    while (start > 0 && out[start - 1].top == lastTop) --start;
    if (out.size() - start == n) {
      bool same = true;
      for (std::size_t k = 0; k < n && same; ++k)
        same = out[start + k].left == spans[k].left && out[start + k].right == spans[k].right;
      if (same) {
        for (std::size_t k = start; k < out.size(); ++k) out[k].bottom = bottom;
        return;
      }
    }
  }
  for (std::size_t k = 0; k < n; ++k) out.push_back({spans[k].left, top, spans[k].right, bottom});
}

// Appends the bands of rects[from, to) (already canonical among themselves).
void AppendBands(std::vector<Rect>& out, const std::vector<Rect>& rects, std::size_t from,
                 std::size_t to, std::vector<Span>& scratch) {
  std::size_t i = from;
  while (i < to) {
    const std::size_t j = BandEnd(rects, i);
    scratch.clear();
    for (std::size_t k = i; k < j; ++k) scratch.push_back({rects[k].left, rects[k].right});
    AppendBand(out, rects[i].top, rects[i].bottom, scratch.data(), scratch.size());
    i = j;
  }
}

template <typename F>
void CombineSpans(const Span* a, std::size_t na, const Span* b, std::size_t nb, F inside,
                  std::vector<Span>& out) {
  out.clear();
  std::size_t i = 0;
  std::size_t j = 0;
  bool inA = false;
  bool inB = false;
  bool cur = false;
  int start = 0;
  while (i < na || j < nb) {
    const int xa = i < na ? (inA ? a[i].right : a[i].left) : INT_MAX;
    const int xb = j < nb ? (inB ? b[j].right : b[j].left) : INT_MAX;
    const int x = std::min(xa, xb);
    if (xa == x) {
      if (inA) { inA = false; ++i; } else { inA = true; }
    }
    if (xb == x) {
      if (inB) { inB = false; ++j; } else { inB = true; }
    }
    const bool now = inside(inA, inB);
    if (now != cur) {
      if (now) start = x; else out.push_back({start, x});
      cur = now;
    }
  }
}

bool OpInside(int op, bool a, bool b) {
  switch (op) {
    case 0: return a && b;   // And
    case 1: return a || b;   // Or
    case 2: return a && !b;  // Diff
    default: return a != b;  // Xor
  }
}

// The band sweep: combines a[aFrom, aTo) with all of b into `out`.
void BandOp(const std::vector<Rect>& a, std::size_t aFrom, std::size_t aTo,
            const std::vector<Rect>& b, int op, std::vector<Rect>& out) {
  const bool keepA = op != 0;             // where only a has pixels
  const bool keepB = op == 1 || op == 3;  // where only b has pixels
  std::vector<Span> sa, sb, sr;
  auto load = [](const std::vector<Rect>& v, std::size_t i, std::size_t j, std::vector<Span>& s) {
    s.clear();
    for (std::size_t k = i; k < j; ++k) s.push_back({v[k].left, v[k].right});
  };
  std::size_t ai = aFrom;
  std::size_t bi = 0;
  std::size_t aj = ai < aTo ? BandEnd(a, ai) : ai;
  std::size_t bj = bi < b.size() ? BandEnd(b, bi) : bi;
  if (aj > aTo) aj = aTo;
  if (ai < aTo) load(a, ai, aj, sa);
  if (bi < b.size()) load(b, bi, bj, sb);
  int y = INT_MIN;
  while (ai < aTo || bi < b.size()) {
    const bool haveA = ai < aTo;
    const bool haveB = bi < b.size();
    const int aTop = haveA ? std::max(a[ai].top, y) : INT_MAX;
    const int bTop = haveB ? std::max(b[bi].top, y) : INT_MAX;
    const int s = std::min(aTop, bTop);
    const bool inA = haveA && aTop == s;
    const bool inB = haveB && bTop == s;
    int e;
    if (inA && inB) {
      e = std::min(a[ai].bottom, b[bi].bottom);
      CombineSpans(sa.data(), sa.size(), sb.data(), sb.size(),
                   [op](bool x, bool z) { return OpInside(op, x, z); }, sr);
      AppendBand(out, s, e, sr.data(), sr.size());
    } else if (inA) {
      e = haveB ? std::min(a[ai].bottom, bTop) : a[ai].bottom;
      if (keepA) AppendBand(out, s, e, sa.data(), sa.size());
    } else {
      e = haveA ? std::min(b[bi].bottom, aTop) : b[bi].bottom;
      if (keepB) AppendBand(out, s, e, sb.data(), sb.size());
    }
    y = e;
    if (haveA && a[ai].bottom <= y) {
      ai = aj;
      if (ai < aTo) {
        aj = std::min(BandEnd(a, ai), aTo);
        load(a, ai, aj, sa);
      }
    }
    if (haveB && b[bi].bottom <= y) {
      bi = bj;
      if (bi < b.size()) {
        bj = BandEnd(b, bi);
        load(b, bi, bj, sb);
      }
    }
    // Nothing more can come from an operand that the operation drops on its own.
    if (!keepA && bi >= b.size()) break;
    if (!keepB && ai >= aTo) break;
  }
}

}  // namespace

Region::Region(const Rect& r) {
  if (!r.IsEmpty()) m_rects.push_back(r);
}

Region Region::FromRects(const std::vector<Rect>& rects) {
  Region result;
  std::vector<Rect> in;
  in.reserve(rects.size());
  for (const Rect& r : rects)
    if (!r.IsEmpty()) in.push_back(r);
  if (in.empty()) return result;
  // Sweep down the y-boundaries; each elementary band gets the merged x-spans of the
  // rectangles that cover it. Scan-ordered input (a mask, row by row) keeps the active
  // set small, so the cost is that of the sort.
  std::stable_sort(in.begin(), in.end(), [](const Rect& a, const Rect& b) {
    return a.top != b.top ? a.top < b.top : a.left < b.left;
  });
  std::vector<int> ys;
  ys.reserve(in.size() * 2);
  for (const Rect& r : in) {
    ys.push_back(r.top);
    ys.push_back(r.bottom);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::vector<Rect> active;
  std::vector<Span> spans;
  std::size_t next = 0;
  std::vector<Rect>& out = result.m_rects;
  for (std::size_t yi = 0; yi + 1 < ys.size(); ++yi) {
    const int y0 = ys[yi];
    const int y1 = ys[yi + 1];
    std::erase_if(active, [y0](const Rect& r) { return r.bottom <= y0; });
    bool added = false;
    while (next < in.size() && in[next].top == y0) {
      active.push_back(in[next++]);
      added = true;
    }
    if (active.empty()) continue;
    if (added)
      std::sort(active.begin(), active.end(),
                [](const Rect& a, const Rect& b) { return a.left < b.left; });
    spans.clear();
    for (const Rect& r : active) {
      if (!spans.empty() && r.left <= spans.back().right)
        spans.back().right = std::max(spans.back().right, r.right);
      else
        spans.push_back({r.left, r.right});
    }
    AppendBand(out, y0, y1, spans.data(), spans.size());
  }
  return result;
}

Rect Region::Bounds() const {
  if (!m_boundsValid) {
    if (m_rects.empty()) {
      m_bounds = Rect{};
    } else {
      int l = INT_MAX;
      int r = INT_MIN;
      for (const Rect& rc : m_rects) {
        l = std::min(l, rc.left);
        r = std::max(r, rc.right);
      }
      m_bounds = {l, m_rects.front().top, r, m_rects.back().bottom};
    }
    m_boundsValid = true;
  }
  return m_bounds;
}

bool Region::Contains(Point p) const {
  // Bottoms never decrease along the list, so the band holding y is found by bisection.
  auto it = std::upper_bound(m_rects.begin(), m_rects.end(), p.y,
                             [](int y, const Rect& r) { return y < r.bottom; });
  if (it == m_rects.end() || it->top > p.y) return false;
  const int top = it->top;
  auto end = it;
  while (end != m_rects.end() && end->top == top) ++end;
  auto hit = std::upper_bound(it, end, p.x, [](int x, const Rect& r) { return x < r.right; });
  return hit != end && hit->left <= p.x;
}

bool Region::Intersects(const Rect& r) const {
  if (r.IsEmpty()) return false;
  auto it = std::upper_bound(m_rects.begin(), m_rects.end(), r.top,
                             [](int y, const Rect& rc) { return y < rc.bottom; });
  for (; it != m_rects.end() && it->top < r.bottom; ++it)
    if (it->left < r.right && it->right > r.left) return true;
  return false;
}

void Region::Combine(const Region& o, Op op) {
  if (&o == this) {
    if (op == Op::Diff || op == Op::Xor) Clear();
    return;
  }
  if (o.m_rects.empty()) {
    if (op == Op::And) Clear();
    return;
  }
  if (m_rects.empty()) {
    if (op == Op::Or || op == Op::Xor) {
      m_rects = o.m_rects;
      m_bounds = o.m_bounds;
      m_boundsValid = o.m_boundsValid;
    }
    return;
  }
  const int oTop = o.m_rects.front().top;
  const int oBottom = o.m_rects.back().bottom;
  // Only the bands of this region that overlap o's rows can change; those above and
  // below are kept as they are (And drops them).
  const auto lo = static_cast<std::size_t>(
      std::upper_bound(m_rects.begin(), m_rects.end(), oTop,
                       [](int y, const Rect& r) { return y < r.bottom; }) -
      m_rects.begin());
  const auto hi = static_cast<std::size_t>(
      std::lower_bound(m_rects.begin() + static_cast<std::ptrdiff_t>(lo), m_rects.end(), oBottom,
                       [](const Rect& r, int y) { return r.top < y; }) -
      m_rects.begin());
  const int opIndex = static_cast<int>(op);
  std::vector<Rect> middle;
  BandOp(m_rects, lo, hi, o.m_rects, opIndex, middle);
  if (op == Op::And) {
    m_rects = std::move(middle);
  } else {
    std::vector<Span> scratch;
    std::vector<Rect> tail;
    AppendBands(tail, middle, 0, middle.size(), scratch);
    AppendBands(tail, m_rects, hi, m_rects.size(), scratch);
    m_rects.resize(lo);
    AppendBands(m_rects, tail, 0, tail.size(), scratch);
  }
  if (op == Op::Or && m_boundsValid && o.m_boundsValid)
    m_bounds = {std::min(m_bounds.left, o.m_bounds.left), std::min(m_bounds.top, o.m_bounds.top),
                std::max(m_bounds.right, o.m_bounds.right), std::max(m_bounds.bottom, o.m_bounds.bottom)};
  else
    m_boundsValid = false;
}

void Region::Unite(const Region& o) { Combine(o, Op::Or); }
void Region::Intersect(const Region& o) { Combine(o, Op::And); }
void Region::Intersect(const Rect& r) { Combine(Region(r), Op::And); }
void Region::Subtract(const Region& o) { Combine(o, Op::Diff); }
void Region::Xor(const Region& o) { Combine(o, Op::Xor); }

Region Region::United(const Region& o) const { Region r = *this; r.Unite(o); return r; }
Region Region::Intersected(const Region& o) const { Region r = *this; r.Intersect(o); return r; }
Region Region::Subtracted(const Region& o) const { Region r = *this; r.Subtract(o); return r; }
Region Region::Xored(const Region& o) const { Region r = *this; r.Xor(o); return r; }

void Region::Translate(int dx, int dy) {
  for (Rect& r : m_rects) r.Translate(dx, dy);
  if (m_boundsValid && !m_rects.empty()) m_bounds.Translate(dx, dy);
}

Region Region::Translated(int dx, int dy) const {
  Region r = *this;
  r.Translate(dx, dy);
  return r;
}

int RegionKind(const Region& r) {
  if (r.IsEmpty()) return NULLREGION;
  return r.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  // The platform orders the corners of a region rectangle.
  return new Region(Rect{std::min(left, right), std::min(top, bottom), std::max(left, right),
                         std::max(top, bottom)});
}

HRGN CreateRectRgnIndirect(const Rect& r) { return CreateRectRgn(r.left, r.top, r.right, r.bottom); }

bool SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  if (!rgn) return false;
  *rgn = Region(Rect{std::min(left, right), std::min(top, bottom), std::max(left, right),
                     std::max(top, bottom)});
  return true;
}

HRGN ExtCreateRegion(const void* xform, std::uint32_t size, const void* data) {
  if (xform || !data || size < sizeof(RGNDATAHEADER)) return nullptr;
  RGNDATAHEADER header;
  std::memcpy(&header, data, sizeof header);
  if (header.dwSize != sizeof(RGNDATAHEADER) || header.iType != RDH_RECTANGLES) return nullptr;
  const std::uint64_t needed =
      sizeof(RGNDATAHEADER) + static_cast<std::uint64_t>(header.nCount) * sizeof(Rect);
  if (needed > size) return nullptr;
  std::vector<Rect> rects(header.nCount);
  if (header.nCount)
    std::memcpy(rects.data(), static_cast<const std::uint8_t*>(data) + sizeof(RGNDATAHEADER),
                rects.size() * sizeof(Rect));
  return new Region(Region::FromRects(rects));
}

std::vector<std::uint8_t> GetRegionData(const Region& rgn) {
  RGNDATAHEADER header;
  header.nCount = static_cast<std::uint32_t>(rgn.Rects().size());
  header.nRgnSize = header.nCount * static_cast<std::uint32_t>(sizeof(Rect));
  header.rcBound = rgn.Bounds();
  std::vector<std::uint8_t> out(sizeof header + header.nRgnSize);
  std::memcpy(out.data(), &header, sizeof header);
  if (header.nCount) std::memcpy(out.data() + sizeof header, rgn.Rects().data(), header.nRgnSize);
  return out;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  if (!dest || !src1) return ERROR;
  if (mode == RGN_COPY) {
    if (dest != src1) *dest = *src1;
    return RegionKind(*dest);
  }
  if (!src2 || mode < RGN_AND || mode > RGN_DIFF) return ERROR;
  auto apply = [mode](Region& r, const Region& o) {
    switch (mode) {
      case RGN_AND: r.Intersect(o); break;
      case RGN_OR: r.Unite(o); break;
      case RGN_XOR: r.Xor(o); break;
      default: r.Subtract(o); break;
    }
  };
  if (dest == src1) {
    apply(*dest, *src2);
  } else if (dest == src2 && mode != RGN_DIFF) {
    apply(*dest, *src1);  // the other three are symmetric
  } else {
    Region r = *src1;
    apply(r, *src2);
    *dest = std::move(r);
  }
  return RegionKind(*dest);
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  if (!rgn) return ERROR;
  if (!rgn->IsEmpty()) {
    constexpr long long kLimit = 1LL << 27;
    const Rect b = rgn->Bounds();
    if (b.left + static_cast<long long>(dx) < -kLimit || b.right + static_cast<long long>(dx) > kLimit ||
        b.top + static_cast<long long>(dy) < -kLimit || b.bottom + static_cast<long long>(dy) > kLimit)
      return ERROR;
    rgn->Translate(dx, dy);
  }
  return RegionKind(*rgn);
}

bool PtInRegion(HRGN rgn, int x, int y) { return rgn && rgn->Contains({x, y}); }

bool RectInRegion(HRGN rgn, const Rect& r) {
  if (!rgn) return false;
  return rgn->Intersects(Rect{std::min(r.left, r.right), std::min(r.top, r.bottom),
                              std::max(r.left, r.right), std::max(r.top, r.bottom)});
}

int GetRgnBox(HRGN rgn, Rect* box) {
  if (!rgn || !box) return ERROR;
  *box = rgn->Bounds();
  return RegionKind(*rgn);
}

bool EqualRgn(HRGN a, HRGN b) { return a && b && *a == *b; }

void DeleteObject(HRGN rgn) { delete rgn; }
