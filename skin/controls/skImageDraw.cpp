// Skin image drawing: resize modes, derived geometry, rectangle copies, nine-part, strip
// and tiled images.
#include "skin/controls/skImageDraw.h"

#include <cstring>

SkinResizeMode GetSkinResizeMode(const Rect& skinRect, const NinePartGeometry& g) {
  if (skinRect.IsEmpty()) return SkinResizeMode::NoImage;
  if (g.rightBottom.x != 0 && g.rightBottom.y != 0) return SkinResizeMode::Both;
  if (g.rightTop.x != 0 || g.rightTop.y != 0) return SkinResizeMode::Horizontal;
  if (g.leftBottom.x != 0 || g.leftBottom.y != 0) return SkinResizeMode::Vertical;
  return SkinResizeMode::Fixed;
}

SizedNinePart DeriveNinePart(SkinResizeMode mode, const Rect& skinRect,
                             const NinePartGeometry& g, int width, int height) {
  SizedNinePart out{g, width, height};
  NinePartGeometry& n = out.parts;
  switch (mode) {
    case SkinResizeMode::NoImage:
      break;
    case SkinResizeMode::Both: {
      const int dW = width - skinRect.Width();
      const int dH = height - skinRect.Height();
      n.rightTop.x += dW;
      n.leftBottom.y += dH;
      n.rightBottom = n.rightBottom.Translated(dW, dH);
      n.clientRect.right += dW;
      n.clientRect.bottom += dH;
      break;
    }
    case SkinResizeMode::Horizontal: {
      const int dW = width - skinRect.Width();
      n.rightTop.x += dW;
      n.clientRect.right += dW;
      out.height = skinRect.Height();
      break;
    }
    case SkinResizeMode::Vertical: {
      const int dH = height - skinRect.Height();
      n.leftBottom.y += dH;
      n.clientRect.bottom += dH;
      out.width = skinRect.Width();
      break;
    }
    case SkinResizeMode::Fixed:
      out.width = skinRect.Width();
      out.height = skinRect.Height();
      break;
  }
  return out;
}

namespace {

// The offsets o in [0, len) for which both start + o lie inside their bitmaps.
struct Span {
  int lo;
  int hi;
};
Span ClipSpan(int dStart, int dLimit, int sStart, int sLimit, int len) {
  const long long lo = std::max<long long>({0, -static_cast<long long>(dStart), -static_cast<long long>(sStart)});
  const long long hi = std::min<long long>({len, static_cast<long long>(dLimit) - dStart,
                                            static_cast<long long>(sLimit) - sStart});
  return {static_cast<int>(lo), static_cast<int>(std::max(lo, hi))};
}

// Source coordinate for each destination offset that lands inside the destination (from
// `first` on), nearest pixel centre; -1 outside the source. Only the visible offsets are
// mapped, so a damaged rectangle far larger than the bitmap costs nothing.
struct ScaleMapping {
  int first = 0;
  std::vector<int> source;
};
ScaleMapping ScaleMap(int dStart, int dLen, int dLimit, int sStart, int sLen, int sLimit) {
  const long long lo = std::max<long long>(0, -static_cast<long long>(dStart));
  const long long hi = std::min<long long>(dLen, static_cast<long long>(dLimit) - dStart);
  ScaleMapping map;
  map.first = static_cast<int>(lo);
  if (hi <= lo) return map;
  map.source.assign(static_cast<std::size_t>(hi - lo), -1);
  for (long long o = lo; o < hi; ++o) {
    const long long s = sStart + ((2LL * o + 1) * sLen) / (2LL * dLen);
    if (s >= 0 && s < sLimit) map.source[static_cast<std::size_t>(o - lo)] = static_cast<int>(s);
  }
  return map;
}

}  // namespace

void CopySkinRect(Bitmap& dst, const Rect& d, const Bitmap& src, const Rect& s) {
  const int dw = d.Width(), dh = d.Height(), sw = s.Width(), sh = s.Height();
  if (dw < 1 || dh < 1 || sw < 1 || sh < 1 || dst.IsEmpty() || src.IsEmpty()) return;
  if (dw == sw && dh == sh) {
    const Span xs = ClipSpan(d.left, dst.Width(), s.left, src.Width(), dw);
    const Span ys = ClipSpan(d.top, dst.Height(), s.top, src.Height(), dh);
    if (xs.lo >= xs.hi) return;
    const std::size_t bytes = static_cast<std::size_t>(xs.hi - xs.lo) * sizeof(Pixel);
    for (int o = ys.lo; o < ys.hi; ++o)
      std::memcpy(dst.Row(d.top + o) + (d.left + xs.lo), src.Row(s.top + o) + (s.left + xs.lo), bytes);
    return;
  }
  const ScaleMapping xmap = ScaleMap(d.left, dw, dst.Width(), s.left, sw, src.Width());
  const ScaleMapping ymap = ScaleMap(d.top, dh, dst.Height(), s.top, sh, src.Height());
  for (std::size_t iy = 0; iy < ymap.source.size(); ++iy) {
    const int sy = ymap.source[iy];
    if (sy < 0) continue;
    Pixel* out = dst.Row(d.top + ymap.first + static_cast<int>(iy)) + (d.left + xmap.first);
    const Pixel* in = src.Row(sy);
    for (std::size_t ix = 0; ix < xmap.source.size(); ++ix) {
      const int sx = xmap.source[ix];
      if (sx >= 0) out[ix] = in[sx];
    }
  }
}

namespace {

// Sizes a destination the way a canvas bitmap is sized; negative sizes count as 0.
void SizeDest(Bitmap& dest, int width, int height) { dest.SetSize(std::max(0, width), std::max(0, height)); }

// Copy with the source given relative to the skin rectangle's top-left corner.
void CopyFromSkin(Bitmap& dest, const Rect& d, const Bitmap& picture, const Rect& skinRect, const Rect& s) {
  CopySkinRect(dest, d, picture, s.Translated(skinRect.left, skinRect.top));
}

// Repeats source rectangle `s` (picture coordinates) over `area` of the destination,
// columns outer and rows inner, each repeat cut at the area's right and bottom.
void TileRect(Bitmap& dest, const Rect& area, const Bitmap& picture, const Rect& s) {
  ForEachTile(area.left, area.right, s.Width(), [&](int x, int w) {
    ForEachTile(area.top, area.bottom, s.Height(), [&](int y, int h) {
      CopySkinRect(dest, {x, y, x + w, y + h}, picture, {s.left, s.top, s.left + w, s.top + h});
    }, 0, dest.Height());
  }, 0, dest.Width());
}

// The four edges of a nine-part image, each tiled or (flagged) stretched, then the eight
// fixed pieces and the centre.
void BuildNinePart(Bitmap& dest, const NinePartGeometry& g, const NinePartGeometry& n,
                   const Rect& r, const Bitmap& picture, int width, int height, bool drawCentre,
                   EdgeStretch stretch) {
  SizeDest(dest, width, height);
  if (g.rightBottom.x == g.leftTop.x || g.rightBottom.y == g.leftTop.y || picture.IsEmpty()) return;
  const Rect& c = g.clientRect;
  const Rect& nc = n.clientRect;
  const int w = dest.Width(), h = dest.Height();
  const int rw = r.Width(), rh = r.Height();

  // Top edge.
  if (stretch.top) {
    CopyFromSkin(dest, {n.leftTop.x, 0, n.rightTop.x, nc.top}, picture, r, {g.leftTop.x, 0, g.rightTop.x, c.top});
  } else {
    ForEachTile(n.leftTop.x, n.rightTop.x, g.rightTop.x - g.leftTop.x, [&](int p, int len) {
      CopyFromSkin(dest, {p, 0, p + len, nc.top}, picture, r, {g.leftTop.x, 0, g.leftTop.x + len, c.top});
    }, 0, w);
  }
  // Bottom edge.
  if (stretch.bottom) {
    CopyFromSkin(dest, {n.leftBottom.x, nc.bottom, n.rightBottom.x, h}, picture, r,
                 {g.leftBottom.x, c.bottom, g.rightBottom.x, rh});
  } else {
    ForEachTile(n.leftBottom.x, n.rightBottom.x, g.rightBottom.x - g.leftBottom.x, [&](int p, int len) {
      CopyFromSkin(dest, {p, nc.bottom, p + len, h}, picture, r, {g.leftBottom.x, c.bottom, g.leftBottom.x + len, rh});
    }, 0, w);
  }
  // Left edge.
  if (stretch.left) {
    CopyFromSkin(dest, {0, n.leftTop.y, nc.left, n.leftBottom.y}, picture, r, {0, g.leftTop.y, c.left, g.leftBottom.y});
  } else {
    ForEachTile(n.leftTop.y, n.leftBottom.y, g.leftBottom.y - g.leftTop.y, [&](int p, int len) {
      CopyFromSkin(dest, {0, p, nc.left, p + len}, picture, r, {0, g.leftTop.y, c.left, g.leftTop.y + len});
    }, 0, h);
  }
  // Right edge.
  if (stretch.right) {
    CopyFromSkin(dest, {nc.right, n.rightTop.y, w, n.rightBottom.y}, picture, r,
                 {c.right, g.rightTop.y, rw, g.rightBottom.y});
  } else {
    ForEachTile(n.rightTop.y, n.rightBottom.y, g.rightBottom.y - g.rightTop.y, [&](int p, int len) {
      CopyFromSkin(dest, {nc.right, p, w, p + len}, picture, r, {c.right, g.rightTop.y, rw, g.rightTop.y + len});
    }, 0, h);
  }
  // The eight fixed pieces.
  CopyFromSkin(dest, {0, 0, n.leftTop.x, nc.top}, picture, r, {0, 0, g.leftTop.x, c.top});
  CopyFromSkin(dest, {0, nc.top, nc.left, n.leftTop.y}, picture, r, {0, c.top, c.left, g.leftTop.y});
  CopyFromSkin(dest, {n.rightTop.x, 0, w, nc.top}, picture, r, {g.rightTop.x, 0, rw, c.top});
  CopyFromSkin(dest, {nc.right, nc.top, w, n.rightTop.y}, picture, r, {c.right, c.top, rw, g.rightTop.y});
  CopyFromSkin(dest, {0, n.leftBottom.y, nc.left, h}, picture, r, {0, g.leftBottom.y, c.left, rh});
  CopyFromSkin(dest, {nc.left, nc.bottom, n.leftBottom.x, h}, picture, r, {c.left, c.bottom, g.leftBottom.x, rh});
  CopyFromSkin(dest, {n.rightBottom.x, nc.bottom, w, h}, picture, r, {g.rightBottom.x, c.bottom, rw, rh});
  CopyFromSkin(dest, {nc.right, n.rightBottom.y, w, nc.bottom}, picture, r, {c.right, g.rightBottom.y, rw, c.bottom});
  // Centre.
  if (drawCentre) TileRect(dest, nc, picture, c.Translated(r.left, r.top));
}

}  // namespace

void BuildNinePartImage(Bitmap& dest, const NinePartGeometry& g, const NinePartGeometry& n,
                        const Rect& skinRect, const Bitmap& picture, int width, int height,
                        bool drawCentre) {
  BuildNinePart(dest, g, n, skinRect, picture, width, height, drawCentre, EdgeStretch{});
}

void BuildNinePartImageStretched(Bitmap& dest, const NinePartGeometry& g,
                                 const NinePartGeometry& n, const Rect& skinRect,
                                 const Bitmap& picture, int width, int height, bool drawCentre,
                                 EdgeStretch stretch) {
  BuildNinePart(dest, g, n, skinRect, picture, width, height, drawCentre, stretch);
}

void BuildHStripImage(Bitmap& dest, int leftWidth, int rightWidth, const Rect& skinRect,
                      const Bitmap& picture, int width) {
  const Rect& r = skinRect;
  SizeDest(dest, width, r.Height());
  const int w = dest.Width(), h = dest.Height();
  if (leftWidth > 0) CopySkinRect(dest, {0, 0, leftWidth, h}, picture, {r.left, r.top, r.left + leftWidth, r.bottom});
  if (rightWidth > 0)
    CopySkinRect(dest, {w - rightWidth, 0, w, h}, picture, {r.right - rightWidth, r.top, r.right, r.bottom});
  const int middleLeft = r.left + leftWidth;
  ForEachTile(leftWidth, w - rightWidth, r.right - rightWidth - middleLeft, [&](int p, int len) {
    CopySkinRect(dest, {p, 0, p + len, h}, picture, {middleLeft, r.top, middleLeft + len, r.bottom});
  }, 0, w);
}

void BuildVStripImage(Bitmap& dest, int topHeight, int bottomHeight, const Rect& skinRect,
                      const Bitmap& picture, int height) {
  const Rect& r = skinRect;
  SizeDest(dest, r.Width(), height);
  const int w = dest.Width(), h = dest.Height();
  if (topHeight > 0) CopySkinRect(dest, {0, 0, w, topHeight}, picture, {r.left, r.top, r.right, r.top + topHeight});
  if (bottomHeight > 0)
    CopySkinRect(dest, {0, h - bottomHeight, w, h}, picture, {r.left, r.bottom - bottomHeight, r.right, r.bottom});
  const int middleTop = r.top + topHeight;
  ForEachTile(topHeight, h - bottomHeight, r.bottom - bottomHeight - middleTop, [&](int p, int len) {
    CopySkinRect(dest, {0, p, w, p + len}, picture, {r.left, middleTop, r.right, middleTop + len});
  }, 0, h);
}

void BuildHTileImage(Bitmap& dest, int leftWidth, int rightWidth, const Rect& skinRect,
                     const Bitmap& picture, int width) {
  const Rect& r = skinRect;
  SizeDest(dest, width, r.Height());
  const int h = dest.Height();
  const int middleLeft = r.left + leftWidth;
  ForEachTile(0, dest.Width(), r.right - rightWidth - middleLeft, [&](int p, int len) {
    CopySkinRect(dest, {p, 0, p + len, h}, picture, {middleLeft, r.top, middleLeft + len, r.bottom});
  }, 0, dest.Width());
}

void TileArea(Bitmap& dest, const Rect& tileRect, Size area, const Rect& originRect,
              const Bitmap& picture, int width, int height) {
  SizeDest(dest, width, height);
  if (area.IsEmpty()) return;
  TileRect(dest, {0, 0, area.cx, area.cy}, picture, tileRect.Translated(originRect.left, originRect.top));
}
