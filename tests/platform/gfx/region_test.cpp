// Region algebra checked point by point against a brute-force pixel grid, canonical form,
// and the platform's region calls including damaged region data.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "platform/gfx/Region.h"

namespace {

constexpr int kLo = -4;
constexpr int kHi = 44;  // every random rectangle lies inside [0, 40), probed on [kLo, kHi)

struct Grid {
  std::vector<bool> on = std::vector<bool>((kHi - kLo) * (kHi - kLo), false);
  bool At(int x, int y) const { return on[static_cast<std::size_t>((y - kLo) * (kHi - kLo) + x - kLo)]; }
  void Set(int x, int y, bool v) { on[static_cast<std::size_t>((y - kLo) * (kHi - kLo) + x - kLo)] = v; }
};

Grid GridOf(const std::vector<Rect>& rects) {
  Grid g;
  for (const Rect& r : rects)
    for (int y = std::max(r.top, kLo); y < std::min(r.bottom, kHi); ++y)
      for (int x = std::max(r.left, kLo); x < std::min(r.right, kHi); ++x) g.Set(x, y, true);
  return g;
}

std::vector<Rect> RandomRects(std::mt19937& rng, int count) {
  std::uniform_int_distribution<int> coord(0, 40);
  std::vector<Rect> out;
  for (int i = 0; i < count; ++i) {
    int l = coord(rng), r = coord(rng), t = coord(rng), b = coord(rng);
    // Mostly proper rectangles, a few empty or reversed ones.
    if (i % 7 != 3) {
      if (l > r) std::swap(l, r);
      if (t > b) std::swap(t, b);
    }
    out.push_back({l, t, r, b});
  }
  return out;
}

// The canonical form the class promises: bands sorted and disjoint, spans sorted and not
// touching, and touching bands never with the same spans.
void ExpectCanonical(const Region& rgn) {
  const auto& rects = rgn.Rects();
  std::size_t i = 0;
  int prevBottom = INT_MIN;
  std::vector<std::pair<int, int>> prevSpans;
  while (i < rects.size()) {
    const int top = rects[i].top;
    const int bottom = rects[i].bottom;
    ASSERT_LT(top, bottom);
    ASSERT_GE(top, prevBottom);
    std::vector<std::pair<int, int>> spans;
    for (; i < rects.size() && rects[i].top == top; ++i) {
      ASSERT_EQ(rects[i].bottom, bottom);
      ASSERT_LT(rects[i].left, rects[i].right);
      if (!spans.empty()) {
        ASSERT_GT(rects[i].left, spans.back().second);
      }
      spans.push_back({rects[i].left, rects[i].right});
    }
    if (top == prevBottom) {
      ASSERT_NE(spans, prevSpans);
    }
    prevBottom = bottom;
    prevSpans = std::move(spans);
  }
}

void ExpectMatches(const Region& rgn, const Grid& g) {
  ExpectCanonical(rgn);
  int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
  for (int y = kLo; y < kHi; ++y)
    for (int x = kLo; x < kHi; ++x) {
      ASSERT_EQ(rgn.Contains({x, y}), g.At(x, y)) << "at " << x << "," << y;
      if (g.At(x, y)) {
        minX = std::min(minX, x); maxX = std::max(maxX, x);
        minY = std::min(minY, y); maxY = std::max(maxY, y);
      }
    }
  if (minX == INT_MAX) {
    EXPECT_TRUE(rgn.IsEmpty());
    EXPECT_EQ(rgn.Bounds(), Rect{});
  } else {
    EXPECT_EQ(rgn.Bounds(), (Rect{minX, minY, maxX + 1, maxY + 1}));
  }
}

}  // namespace

TEST(RegionTest, FromRectsAndStepwiseUnionMatchTheGrid) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 60; ++round) {
    const auto rects = RandomRects(rng, 1 + round % 12);
    const Grid g = GridOf(rects);
    const Region fromRects = Region::FromRects(rects);
    ExpectMatches(fromRects, g);
    Region stepwise;
    for (const Rect& r : rects) stepwise.Unite(Region(r));
    ExpectMatches(stepwise, g);
    EXPECT_EQ(stepwise, fromRects);  // canonical: same pixels, same list
  }
}

TEST(RegionTest, SetOperationsMatchTheGrid) {
  std::mt19937 rng(98765);
  struct Case {
    const char* name;
    Region (Region::*op)(const Region&) const;
    bool (*expect)(bool, bool);
  };
  const Case cases[] = {
      {"union", &Region::United, [](bool a, bool b) { return a || b; }},
      {"intersection", &Region::Intersected, [](bool a, bool b) { return a && b; }},
      {"difference", &Region::Subtracted, [](bool a, bool b) { return a && !b; }},
      {"xor", &Region::Xored, [](bool a, bool b) { return a != b; }},
  };
  for (int round = 0; round < 80; ++round) {
    const auto ra = RandomRects(rng, round % 9);
    const auto rb = RandomRects(rng, 1 + round % 5);
    const Region a = Region::FromRects(ra);
    const Region b = Region::FromRects(rb);
    const Grid ga = GridOf(ra);
    const Grid gb = GridOf(rb);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      Grid want;
      for (int y = kLo; y < kHi; ++y)
        for (int x = kLo; x < kHi; ++x) want.Set(x, y, c.expect(ga.At(x, y), gb.At(x, y)));
      ExpectMatches((a.*c.op)(b), want);
    }
  }
}

TEST(RegionTest, AlgebraicIdentities) {
  std::mt19937 rng(42);
  for (int round = 0; round < 40; ++round) {
    const Region a = Region::FromRects(RandomRects(rng, 6));
    const Region b = Region::FromRects(RandomRects(rng, 6));
    EXPECT_EQ(a.United(b), b.United(a));
    EXPECT_EQ(a.Xored(b), a.Subtracted(b).United(b.Subtracted(a)));
    EXPECT_EQ(a.Intersected(b).United(a.Subtracted(b)), a);
    EXPECT_TRUE(a.Subtracted(a).IsEmpty());
    EXPECT_TRUE(a.Xored(a).IsEmpty());
    Region self = a;
    self.Unite(self);  // combining a region with itself in place
    EXPECT_EQ(self, a);
    self.Xor(self);
    EXPECT_TRUE(self.IsEmpty());
  }
}

TEST(RegionTest, TranslatedMovesEveryPixel) {
  std::mt19937 rng(7);
  const auto rects = RandomRects(rng, 8);
  const Region a = Region::FromRects(rects);
  const Region moved = a.Translated(3, -2);
  ExpectCanonical(moved);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(a.Contains({x, y}), moved.Contains({x + 3, y - 2}));
  EXPECT_EQ(moved.Bounds(), a.Bounds().Translated(3, -2));
}

TEST(RegionTest, TouchingRectanglesMergeIntoOne) {
  // Side by side and stacked rectangles form a single rectangle in canonical form.
  EXPECT_EQ(Region::FromRects({{0, 0, 5, 5}, {5, 0, 9, 5}}).Rects(), (std::vector<Rect>{{0, 0, 9, 5}}));
  EXPECT_EQ(Region::FromRects({{0, 0, 5, 5}, {0, 5, 5, 9}}).Rects(), (std::vector<Rect>{{0, 0, 5, 9}}));
  // An L shape is two bands.
  EXPECT_EQ(Region::FromRects({{0, 0, 2, 4}, {0, 2, 4, 4}}).Rects(),
            (std::vector<Rect>{{0, 0, 2, 2}, {0, 2, 4, 4}}));
  EXPECT_TRUE(Region(Rect{3, 3, 3, 9}).IsEmpty());
}

TEST(RegionTest, MaskBuiltRowByRowEqualsFromRects) {
  // A window shape: rounded corners and a hole, one rectangle per run of each row, added
  // in scan order as a mask scan does.
  std::vector<Rect> runs;
  Region stepwise;
  for (int y = 0; y < 300; ++y) {
    const int inset = y < 10 ? 10 - y : (y >= 290 ? y - 289 : 0);
    std::vector<Rect> row;
    if (y >= 100 && y < 120) {
      row = {{inset, y, 150, y + 1}, {170, y, 400 - inset, y + 1}};
    } else {
      row = {{inset, y, 400 - inset, y + 1}};
    }
    for (const Rect& r : row) {
      runs.push_back(r);
      stepwise.Unite(Region(r));
    }
  }
  const Region whole = Region::FromRects(runs);
  EXPECT_EQ(stepwise, whole);
  ExpectCanonical(whole);
  EXPECT_TRUE(whole.Contains({200, 200}));
  EXPECT_FALSE(whole.Contains({160, 110}));
  EXPECT_FALSE(whole.Contains({0, 0}));
  EXPECT_TRUE(whole.Contains({10, 0}));
  EXPECT_EQ(whole.Bounds(), (Rect{0, 0, 400, 300}));
  // The straight middle rows collapse into few bands.
  EXPECT_LT(whole.Rects().size(), 50u);
}

namespace {
std::vector<std::uint8_t> RegionBytes(std::uint32_t dwSize, std::uint32_t type, std::uint32_t count,
                                      const std::vector<Rect>& rects) {
  RGNDATAHEADER h;
  h.dwSize = dwSize;
  h.iType = type;
  h.nCount = count;
  h.nRgnSize = static_cast<std::uint32_t>(rects.size() * sizeof(Rect));
  std::vector<std::uint8_t> out(sizeof h + rects.size() * sizeof(Rect));
  std::memcpy(out.data(), &h, sizeof h);
  if (!rects.empty()) std::memcpy(out.data() + sizeof h, rects.data(), rects.size() * sizeof(Rect));
  return out;
}
}  // namespace

TEST(RegionTest, ExtCreateRegionReadsRectanglesAndRejectsDamage) {
  const std::vector<Rect> rects{{0, 0, 4, 1}, {6, 0, 8, 1}, {0, 1, 4, 2}, {5, 5, 5, 9}};
  const auto good = RegionBytes(32, RDH_RECTANGLES, 4, rects);
  HRGN rgn = ExtCreateRegion(nullptr, static_cast<std::uint32_t>(good.size()), good.data());
  ASSERT_NE(rgn, nullptr);
  EXPECT_EQ(*rgn, Region::FromRects(rects));  // the empty rectangle adds nothing
  EXPECT_EQ(RegionKind(*rgn), COMPLEXREGION);
  DeleteObject(rgn);

  const auto empty = RegionBytes(32, RDH_RECTANGLES, 0, {});
  rgn = ExtCreateRegion(nullptr, 32, empty.data());
  ASSERT_NE(rgn, nullptr);
  EXPECT_TRUE(rgn->IsEmpty());
  DeleteObject(rgn);

  struct Damaged {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::uint32_t size;
  };
  const auto wrongSize = RegionBytes(36, RDH_RECTANGLES, 4, rects);
  const auto wrongType = RegionBytes(32, 2, 4, rects);
  const auto countBeyond = RegionBytes(32, RDH_RECTANGLES, 5, rects);
  const auto hugeCount = RegionBytes(32, RDH_RECTANGLES, 0xFFFFFFFFu, rects);
  const Damaged cases[] = {
      {"header size field", wrongSize, static_cast<std::uint32_t>(wrongSize.size())},
      {"type", wrongType, static_cast<std::uint32_t>(wrongType.size())},
      {"count beyond data", countBeyond, static_cast<std::uint32_t>(countBeyond.size())},
      {"count overflowing", hugeCount, static_cast<std::uint32_t>(hugeCount.size())},
      {"short header", good, 31},
      {"data cut in a rectangle", good, static_cast<std::uint32_t>(good.size() - 1)},
  };
  for (const Damaged& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ExtCreateRegion(nullptr, c.size, c.bytes.data()), nullptr);
  }
  EXPECT_EQ(ExtCreateRegion(nullptr, 32, nullptr), nullptr);
  const float xform[6] = {1, 0, 0, 1, 0, 0};
  EXPECT_EQ(ExtCreateRegion(xform, static_cast<std::uint32_t>(good.size()), good.data()), nullptr);

  // GetRegionData gives back what ExtCreateRegion reads.
  const Region shape = Region::FromRects(rects);
  const auto data = GetRegionData(shape);
  rgn = ExtCreateRegion(nullptr, static_cast<std::uint32_t>(data.size()), data.data());
  ASSERT_NE(rgn, nullptr);
  EXPECT_EQ(*rgn, shape);
  DeleteObject(rgn);
}

TEST(RegionTest, CombineRgnModesAliasingAndKinds) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(5, 5, 15, 15);
  HRGN d = CreateRectRgn(0, 0, 0, 0);
  struct Case {
    int mode;
    int kind;
    int pixels;
  };
  const Case cases[] = {
      {RGN_AND, SIMPLEREGION, 25}, {RGN_OR, COMPLEXREGION, 175}, {RGN_XOR, COMPLEXREGION, 150},
      {RGN_DIFF, COMPLEXREGION, 75}, {RGN_COPY, SIMPLEREGION, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    EXPECT_EQ(CombineRgn(d, a, b, c.mode), c.kind);
    int n = 0;
    for (int y = -1; y < 16; ++y)
      for (int x = -1; x < 16; ++x) n += PtInRegion(d, x, y);
    EXPECT_EQ(n, c.pixels);
  }
  EXPECT_EQ(CombineRgn(d, a, b, 99), ERROR);
  EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_OR), ERROR);
  EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), SIMPLEREGION);
  Rect box;
  EXPECT_EQ(GetRgnBox(d, &box), SIMPLEREGION);
  EXPECT_EQ(box, (Rect{5, 5, 10, 10}));

  // The destination may be either source.
  HRGN a2 = CreateRectRgn(0, 0, 10, 10);
  EXPECT_EQ(CombineRgn(b, a2, b, RGN_DIFF), COMPLEXREGION);  // b = a2 - b
  EXPECT_TRUE(PtInRegion(b, 0, 0));
  EXPECT_FALSE(PtInRegion(b, 7, 7));
  EXPECT_FALSE(PtInRegion(b, 12, 12));
  EXPECT_EQ(CombineRgn(a2, a2, a2, RGN_XOR), NULLREGION);
  EXPECT_EQ(GetRgnBox(a2, &box), NULLREGION);
  EXPECT_EQ(box, Rect{});

  EXPECT_EQ(OffsetRgn(a, 3, 4), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(a, 12, 13));
  EXPECT_FALSE(PtInRegion(a, 13, 13));
  EXPECT_EQ(OffsetRgn(a, 1 << 28, 0), ERROR);  // out of the coordinate range: unchanged
  EXPECT_TRUE(PtInRegion(a, 12, 13));
  HRGN same = CreateRectRgn(13, 14, 3, 4);  // corners are put in order
  EXPECT_TRUE(EqualRgn(a, same));
  EXPECT_FALSE(EqualRgn(a, b));
  EXPECT_TRUE(RectInRegion(a, {12, 13, 20, 20}));
  EXPECT_FALSE(RectInRegion(a, {13, 0, 20, 20}));
  for (HRGN r : {a, b, d, a2, same}) DeleteObject(r);
}

TEST(RegionTest, RectanglesSpanningTheWholeIntRange) {
  HRGN all = CreateRectRgn(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_TRUE(PtInRegion(all, 0, 0));
  EXPECT_TRUE(PtInRegion(all, INT_MIN, INT_MAX - 1));
  HRGN small = CreateRectRgn(0, 0, 4, 4);
  EXPECT_EQ(CombineRgn(small, small, all, RGN_AND), SIMPLEREGION);
  Rect box;
  GetRgnBox(small, &box);
  EXPECT_EQ(box, (Rect{0, 0, 4, 4}));
  EXPECT_EQ(CombineRgn(small, all, small, RGN_DIFF), COMPLEXREGION);
  EXPECT_FALSE(PtInRegion(small, 2, 2));
  EXPECT_TRUE(PtInRegion(small, -1000000, 2));
  EXPECT_EQ(OffsetRgn(all, 1, 0), ERROR);
  DeleteObject(all);
  DeleteObject(small);
}
