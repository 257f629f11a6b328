// Border strips of a picture or mask, and window regions cut from the black pixels of a mask.
#include <cstring>

#include "skin/controls/skImageDraw.h"

namespace {

// Fills one strip along its length: the middle of the source repeated (or stretched) over
// [midStart, midEnd), then the fixed start and end pieces copied over it. `Along` maps a
// span of the strip's length and a span of the source's length to the two rectangles.
// Repeats start where the fixed start piece ends, so an element at its natural size
// reproduces its source exactly and the mask strips keep the phase of the picture's.
struct StripLayout {
  int length;                // strip length (width of a top strip, height of a left one)
  int srcMidStart, srcMidEnd;  // source span of the middle
  int midStart, midEnd;        // strip span the middle fills
  int srcStartEnd;             // the fixed start piece is source [srcOrigin, srcStartEnd)
  int srcOrigin;
  int srcEndStart, srcLimit;   // the fixed end piece is source [srcEndStart, srcLimit)
  bool stretch;
};

template <typename Along>
void FillStrip(Bitmap& strip, const Bitmap& src, const StripLayout& s, Along along) {
  if (s.stretch) {
    along(strip, src, s.midStart, s.midEnd, s.srcMidStart, s.srcMidEnd);
  } else {
    ForEachTile(s.midStart, s.midEnd, s.srcMidEnd - s.srcMidStart, [&](int p, int len) {
      along(strip, src, p, p + len, s.srcMidStart, s.srcMidStart + len);
    }, 0, s.length);
  }
  const int startLen = s.srcStartEnd - s.srcOrigin;
  if (startLen > 0) along(strip, src, 0, s.midStart, s.srcOrigin, s.srcStartEnd);
  if (s.srcLimit - s.srcEndStart > 0) along(strip, src, s.midEnd, s.length, s.srcEndStart, s.srcLimit);
}

BorderStrips MakeStrips(const NinePartGeometry& g, const NinePartGeometry& n, const Rect& r,
                        const Bitmap& src, int width, EdgeStretch stretch,
                        bool needMiddle) {
  BorderStrips out;
  const Rect& c = g.clientRect;
  const Rect& nc = n.clientRect;
  const int w = std::max(0, width);
  const int sideHeight = nc.Height();
  const int topHeight = c.top;
  const int bottomHeight = r.Height() - c.bottom;
  const int leftWidth = c.left;
  const int rightWidth = r.Width() - c.right;

  // Horizontal strips: lengths along x, the band of source rows fixed.
  auto horizontal = [&](Bitmap& strip, int stripHeight, int srcTop, int ltx, int rtx, int nltx, int nrtx, bool st) {
    if (w < 1 || stripHeight < 1 || (needMiddle && rtx - ltx < 1)) return;
    strip = Bitmap(w, stripHeight);
    const StripLayout layout{w, r.left + ltx, r.left + rtx, nltx, nrtx, r.left + ltx, r.left, r.left + rtx, r.right, st};
    FillStrip(strip, src, layout, [&](Bitmap& dst, const Bitmap& s, int a, int b, int sa, int sb) {
      CopySkinRect(dst, {a, 0, b, stripHeight}, s, {sa, srcTop, sb, srcTop + stripHeight});
    });
  };
  // Vertical strips: lengths along y from the strip's top (window row NC.top).
  auto vertical = [&](Bitmap& strip, int stripWidth, int srcLeft, int lty, int lby, int nlty, int nlby, bool st) {
    if (stripWidth < 1 || sideHeight < 1 || (needMiddle && lby - lty < 1)) return;
    strip = Bitmap(stripWidth, sideHeight);
    const StripLayout layout{sideHeight, r.top + lty, r.top + lby, nlty - nc.top, nlby - nc.top,
                         r.top + lty, r.top + c.top, r.top + lby, r.top + c.bottom, st};
    FillStrip(strip, src, layout, [&](Bitmap& dst, const Bitmap& s, int a, int b, int sa, int sb) {
      CopySkinRect(dst, {0, a, stripWidth, b}, s, {srcLeft, sa, srcLeft + stripWidth, sb});
    });
  };

  horizontal(out.top, topHeight, r.top, g.leftTop.x, g.rightTop.x, n.leftTop.x, n.rightTop.x, stretch.top);
  horizontal(out.bottom, bottomHeight, r.top + c.bottom, g.leftBottom.x, g.rightBottom.x, n.leftBottom.x,
             n.rightBottom.x, stretch.bottom);
  vertical(out.left, leftWidth, r.left, g.leftTop.y, g.leftBottom.y, n.leftTop.y, n.leftBottom.y, stretch.left);
  vertical(out.right, rightWidth, r.left + c.right, g.rightTop.y, g.rightBottom.y, n.rightTop.y, n.rightBottom.y,
           stretch.right);
  return out;
}

}  // namespace

BorderStrips BuildBorderStrips(const NinePartGeometry& g, const NinePartGeometry& n,
                               const Bitmap& mask, int width, int height) {
  // The strips' heights follow the client rectangles; the height is implied by them.
  (void)height;
  return MakeStrips(g, n, mask.Bounds(), mask, width, EdgeStretch{}, false);
}

BorderStrips BuildBorderStripsStretched(const NinePartGeometry& g, const NinePartGeometry& n,
                                        const Rect& skinRect, const Bitmap& picture, int width,
                                        int height, EdgeStretch stretch) {
  (void)height;
  return MakeStrips(g, n, skinRect, picture, width, stretch, true);
}

void MaskToRuns(const Bitmap& bitmap, int dx, int dy, std::vector<Rect>& runs) {
  const int w = bitmap.Width();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const Pixel* row = bitmap.Row(y);
    int x = 0;
    while (x < w) {
      while (x < w && (row[x] & 0xFFFFFFu) != 0) ++x;
      if (x == w) break;
      const int x0 = x;
      while (x < w && (row[x] & 0xFFFFFFu) == 0) ++x;
      runs.push_back({x0 + dx, y + dy, x + dx, y + dy + 1});
    }
  }
}

std::vector<std::uint8_t> MaskToRegionData(const Bitmap& bitmap, int dx, int dy) {
  if (bitmap.IsEmpty()) return {};
  static_assert(sizeof(RGNDATAHEADER) == 32 && sizeof(Rect) == 16);
  // The run buffer starts at 10,000 rectangles and grows as a mask needs.
  std::vector<Rect> runs;
  runs.reserve(10000);
  MaskToRuns(bitmap, dx, dy, runs);
  RGNDATAHEADER header;
  header.dwSize = 32;
  header.iType = RDH_RECTANGLES;
  header.nCount = static_cast<std::uint32_t>(runs.size());
  header.nRgnSize = 0;
  header.rcBound = {dx, dy, dx + bitmap.Width(), dy + bitmap.Height()};
  std::vector<std::uint8_t> data(sizeof header + runs.size() * sizeof(Rect));
  std::memcpy(data.data(), &header, sizeof header);
  if (!runs.empty()) std::memcpy(data.data() + sizeof header, runs.data(), runs.size() * sizeof(Rect));
  return data;
}

Region MaskToRegion(const Bitmap& mask) {
  std::vector<Rect> runs;
  MaskToRuns(mask, 0, 0, runs);
  return Region::FromRects(runs);
}

std::optional<Region> ResizedMaskToRegion(const NinePartGeometry& g, const NinePartGeometry& n,
                                          const Bitmap& mask, int width, int height) {
  if (n.rightTop.x < n.leftTop.x || n.leftBottom.y < n.leftTop.y) return std::nullopt;
  const BorderStrips strips = BuildBorderStrips(g, n, mask, width, height);
  const Rect& nc = n.clientRect;
  std::vector<Rect> rects;
  if (!nc.IsEmpty()) rects.push_back(nc);
  MaskToRuns(strips.left, 0, nc.top, rects);
  MaskToRuns(strips.right, nc.right, nc.top, rects);
  MaskToRuns(strips.top, 0, 0, rects);
  MaskToRuns(strips.bottom, 0, nc.bottom, rects);
  return Region::FromRects(rects);
}
