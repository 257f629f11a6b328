// Rect against 64-bit arithmetic over random and extreme rectangles: sizes, emptiness and
// moved edges are the exact values clamped to int, and the set operations agree with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/gfx/Geometry.h"

namespace {

long long Clamp(long long v) { return std::clamp<long long>(v, INT_MIN, INT_MAX); }

class Values {
 public:
  explicit Values(unsigned seed) : m_rng(seed) {}
  // Extremes, values near them, small ones and anything at all.
  int Next() {
    static constexpr int kEdges[] = {INT_MIN, INT_MIN + 1, -1, 0, 1, INT_MAX - 1, INT_MAX, 1 << 27, -(1 << 27)};
    switch (m_rng() % 4) {
      case 0: return kEdges[m_rng() % std::size(kEdges)];
      case 1: return static_cast<int>(m_rng() % 2001) - 1000;
      case 2: {  // one or two away from an edge, inside int
        const long long near = kEdges[m_rng() % std::size(kEdges)] + static_cast<long long>(m_rng() % 5) - 2;
        return static_cast<int>(std::clamp<long long>(near, INT_MIN, INT_MAX));
      }
      default: return static_cast<int>(m_rng());
    }
  }
  Rect NextRect() { return {Next(), Next(), Next(), Next()}; }

 private:
  std::mt19937 m_rng;
};

TEST(Geometry, RectArithmeticIsExactOrSaturated) {
  Values v(20261210);
  for (int i = 0; i < 200000; ++i) {
    const Rect r = v.NextRect();
    const long long w = static_cast<long long>(r.right) - r.left, h = static_cast<long long>(r.bottom) - r.top;
    ASSERT_EQ(r.Width(), Clamp(w));
    ASSERT_EQ(r.Height(), Clamp(h));
    ASSERT_EQ(r.IsEmpty(), w < 1 || h < 1);

    const int dx = v.Next(), dy = v.Next();
    const Rect t = r.Translated(dx, dy);
    ASSERT_EQ(t, Rect(static_cast<int>(Clamp(0LL + r.left + dx)), static_cast<int>(Clamp(0LL + r.top + dy)),
                      static_cast<int>(Clamp(0LL + r.right + dx)), static_cast<int>(Clamp(0LL + r.bottom + dy))));
    const Rect in = r.Inflated(dx, dy);
    ASSERT_EQ(in, Rect(static_cast<int>(Clamp(0LL + r.left - dx)), static_cast<int>(Clamp(0LL + r.top - dy)),
                       static_cast<int>(Clamp(0LL + r.right + dx)), static_cast<int>(Clamp(0LL + r.bottom + dy))));
    const Rect s = Rect::FromSize(r.left, r.top, dx, dy);
    ASSERT_EQ(s.right, Clamp(0LL + r.left + dx));
    ASSERT_EQ(s.bottom, Clamp(0LL + r.top + dy));

    // The common part holds exactly the points both hold; the union holds both.
    const Rect o = v.NextRect();
    const Rect common = r.Intersected(o);
    const bool overlap = !r.IsEmpty() && !o.IsEmpty() && std::max(r.left, o.left) < std::min(r.right, o.right) &&
                         std::max(r.top, o.top) < std::min(r.bottom, o.bottom);
    ASSERT_EQ(!common.IsEmpty(), overlap);
    ASSERT_EQ(r.Intersects(o), overlap);
    if (overlap) {
      ASSERT_TRUE(r.Contains(common));
      ASSERT_TRUE(o.Contains(common));
    }
    const Rect both = r.United(o);
    if (!r.IsEmpty()) ASSERT_TRUE(both.Contains(r));
    if (!o.IsEmpty()) ASSERT_TRUE(both.Contains(o));
  }
}

TEST(Geometry, TheWholeIntRangeIsOneHugeRectangle) {
  const Rect all(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_FALSE(all.IsEmpty());
  EXPECT_EQ(all.Width(), INT_MAX);
  EXPECT_EQ(all.GetSize(), Size(INT_MAX, INT_MAX));
  EXPECT_EQ(all.Intersected({0, 0, 10, 10}), Rect(0, 0, 10, 10));
  EXPECT_EQ(all.Translated(5, -5), Rect(INT_MIN + 5, INT_MIN, INT_MAX, INT_MAX - 5));
  // A rectangle whose right edge lies below its left by more than int holds is empty.
  EXPECT_TRUE(Rect(INT_MAX, 0, INT_MIN, 1).IsEmpty());
  EXPECT_EQ(Rect(INT_MAX, 0, INT_MIN, 1).Width(), INT_MIN);
  EXPECT_EQ(Rect::FromSize(INT_MAX - 1, 0, 10, 10), Rect(INT_MAX - 1, 0, INT_MAX, 10));
  EXPECT_EQ(Rect::FromSize(Point(INT_MIN, 0), Size(-10, 3)), Rect(INT_MIN, 0, INT_MIN, 3));
}

}  // namespace
