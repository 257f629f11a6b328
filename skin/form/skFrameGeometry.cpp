// Frame geometry: scaled values, client placement, mask strips, hit testing, placement,
// snapping and the minimized and maximized places.
#include "skin/form/skFrameGeometry.h"

#include <algorithm>

FrameGeometry CalcFrameGeometry(const SkinFormInfo& fi, Size picture, int width, int height) {
  FrameGeometry g;
  g.width = width;
  g.height = height;
  const int dW = width - picture.cx;
  const int dH = height - picture.cy;
  g.leftTop = fi.LeftTopPoint;
  g.rightTop = {fi.RightTopPoint.x + dW, fi.RightTopPoint.y};
  g.leftBottom = {fi.LeftBottomPoint.x, fi.LeftBottomPoint.y + dH};
  g.rightBottom = {fi.RightBottomPoint.x + dW, fi.RightBottomPoint.y + dH};
  const Rect& cr = fi.ClientRect;
  g.clientRect = {cr.left, cr.top, cr.right + dW, cr.bottom + dH};
  g.captionRect = fi.CaptionRect;
  if (!g.captionRect.IsEmpty()) g.captionRect.right += dW;
  g.buttonsRect = fi.ButtonsRect;
  if (!g.buttonsRect.IsEmpty() && g.buttonsRect.left > picture.cx / 2) g.buttonsRect.Translate(dW, 0);
  g.buttonsInLeft = fi.ButtonsInLeft;
  g.buttonsOffset = fi.ButtonsOffset;
  g.hitLeftTop = fi.HitTestLeftTopPoint;
  g.hitRightTop = {fi.HitTestRightTopPoint.x + dW, fi.HitTestRightTopPoint.y};
  g.hitLeftBottom = {fi.HitTestLeftBottomPoint.x, fi.HitTestLeftBottomPoint.y + dH};
  g.hitRightBottom = {fi.HitTestRightBottomPoint.x + dW, fi.HitTestRightBottomPoint.y + dH};
  const Rect& ma = fi.MaskRectArea;
  g.maskArea = {ma.left, ma.top, ma.right + dW, ma.bottom + dH};
  return g;
}

namespace {
Rect Uninverted(Rect r) {
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}
}  // namespace

Rect SkinClientRect(const SkinFormInfo& fi, Size picture, const Rect& w) {
  const Rect& cr = fi.ClientRect;
  return Uninverted({w.left + cr.left, w.top + cr.top, w.right - (picture.cx - cr.right),
                     w.bottom - (picture.cy - cr.bottom)});
}

Rect DefaultClientRect(const Rect& w, int captionHeight) {
  return Uninverted({w.left + 3, w.top + captionHeight + 3, w.right - 3, w.bottom - 3});
}

NinePartGeometry FramePictureParts(const SkinFormInfo& fi) {
  return {fi.LeftTopPoint, fi.RightTopPoint, fi.LeftBottomPoint, fi.RightBottomPoint, fi.ClientRect};
}

NinePartGeometry FrameScaledParts(const FrameGeometry& g) {
  return {g.leftTop, g.rightTop, g.leftBottom, g.rightBottom, g.clientRect};
}

NinePartGeometry FrameMaskParts(const SkinFormInfo& fi) {
  return {fi.LeftTopPoint, fi.RightTopPoint, fi.LeftBottomPoint, fi.RightBottomPoint, fi.MaskRectArea};
}

NinePartGeometry FrameScaledMaskParts(const FrameGeometry& g) {
  return {g.leftTop, g.rightTop, g.leftBottom, g.rightBottom, g.maskArea};
}

FrameMaskStrips BuildFrameMaskStrips(const SkinFormInfo& fi, const FrameGeometry& g, const Bitmap& mask) {
  FrameMaskStrips out;
  if (mask.IsEmpty()) return out;
  BorderStrips s = BuildBorderStrips(FrameMaskParts(fi), FrameScaledMaskParts(g), mask, g.width, g.height);
  out.top = std::move(s.top);
  out.left = std::move(s.left);
  out.right = std::move(s.right);
  out.bottom = std::move(s.bottom);
  return out;
}

namespace {
bool BlackAt(const Bitmap& b, int x, int y) {
  return b.Contains(x, y) && (b.At(x, y) & 0xFFFFFFu) == 0;
}
}  // namespace

bool FrameMaskContains(const FrameMaskStrips& s, const FrameGeometry& g, Point p) {
  const Rect& a = g.maskArea;
  if (a.Contains(p)) return true;
  if (p.y <= a.top) return BlackAt(s.top, p.x, p.y);
  if (p.y < a.bottom) {
    if (p.x > a.left) return BlackAt(s.right, p.x - a.right, p.y - a.top);
    return BlackAt(s.left, p.x, p.y - a.top);
  }
  return BlackAt(s.bottom, p.x, p.y - a.bottom);
}

Region FrameMaskRegion(const FrameMaskStrips& s, const FrameGeometry& g) {
  const Rect& a = g.maskArea;
  std::vector<Rect> runs;
  if (!a.IsEmpty()) runs.push_back(a);
  if (!s.top.IsEmpty()) MaskToRuns(s.top, 0, 0, runs);
  if (!s.bottom.IsEmpty()) MaskToRuns(s.bottom, 0, a.bottom, runs);
  if (!s.left.IsEmpty()) MaskToRuns(s.left, 0, a.top, runs);
  if (!s.right.IsEmpty()) MaskToRuns(s.right, a.right, a.top, runs);
  return Region::FromRects(runs);
}

namespace {
bool InAny(const std::vector<Rect>& rects, Point p) {
  return std::any_of(rects.begin(), rects.end(), [&](const Rect& r) { return r.Contains(p); });
}
}  // namespace

int SkinFrameHitTest(const FrameGeometry& g, int b, const std::vector<Rect>& captions,
                     const FrameMaskTest& inMask, const FrameHitState& s, Point p) {
  const bool inCaption = InAny(captions, p);
  if (s.rolledUp || s.minimized) return inCaption ? skHitCaption : skHitObject;
  const Rect& ncr = g.clientRect;
  if (s.activeObject && !inCaption && !ncr.Contains(p) && !s.sizeMoveLoop) return skHitObject;
  if (!s.maximized && s.sizeable) {
    const Rect window{0, 0, g.width, g.height};
    auto outside = [&](Point q) { return inMask ? !inMask(q) : !window.Contains(q); };
    const Point probes[] = {{p.x - b, p.y}, {p.x, p.y - b}, {p.x + b, p.y}, {p.x, p.y + b}};
    bool nearEdge = std::any_of(std::begin(probes), std::end(probes), outside);
    if (inMask && g.maskArea.Contains(p)) nearEdge = false;
    if (!nearEdge) {
      if (ncr.Contains(p)) return skHitClient;
      return inCaption ? skHitCaption : skHitObject;
    }
    if (p.x <= g.hitLeftTop.x && p.y <= g.hitLeftTop.y) return skHitTopLeft;
    if (p.x >= g.hitRightTop.x && p.y <= g.hitRightTop.y) return skHitTopRight;
    if (p.x <= g.hitLeftBottom.x && p.y >= g.hitLeftBottom.y) return skHitBottomLeft;
    if (p.x >= g.hitRightBottom.x && p.y >= g.hitRightBottom.y) return skHitBottomRight;
    if (Rect(g.hitLeftTop.x, 0, g.hitRightTop.x, ncr.top).Contains(p)) return skHitTop;
    if (Rect(g.hitLeftBottom.x, ncr.bottom, g.hitRightBottom.x, g.height).Contains(p)) return skHitBottom;
    if (Rect(0, g.hitLeftTop.y, ncr.left, g.hitLeftBottom.y).Contains(p)) return skHitLeft;
    if (Rect(ncr.right, g.hitRightTop.y, g.width, g.hitRightBottom.y).Contains(p)) return skHitRight;
  }
  if (ncr.Contains(p)) return skHitClient;
  return inCaption ? skHitCaption : skHitObject;
}

int DefaultFrameHitTest(Size w, const Rect& caption, int captionHeight, const FrameHitState& s, Point p) {
  if (!(s.maximized || s.rolledUp || s.minimized || !s.sizeable)) {
    if (s.activeObject) return skHitObject;
    const int W = w.cx, H = w.cy;
    if (p.x <= 2 && p.y <= 2) return skHitTopLeft;
    if (p.x >= W - 2 && p.y <= 2) return skHitTopRight;
    if (p.x <= 2 && p.y >= H - 2) return skHitBottomLeft;
    if (p.x >= W - 2 && p.y >= H - 2) return skHitBottomRight;
    if (p.x <= 2) return skHitLeft;
    if (p.y <= 2) return skHitTop;
    if (p.x >= W - 2) return skHitRight;
    if (p.y >= H - 2) return skHitBottom;
  }
  if (caption.Contains(p)) return skHitCaption;
  if (Rect(3, captionHeight + 3, w.cx - 3, w.cy - 3).Contains(p)) return skHitClient;
  return skHitObject;
}

Rect PlaceByZones(const Rect& r, const SkinFormInfo& fi, Size pic, int dX, int dY) {
  const Point lt = fi.LeftTopPoint, rt = fi.RightTopPoint, lb = fi.LeftBottomPoint, rb = fi.RightBottomPoint;
  const Rect zoneTL{0, 0, lt.x, lt.y};
  const Rect zoneBL{0, lb.y, lb.x, pic.cy};
  const Rect zoneTR{rt.x, 0, pic.cx, rt.y};
  const Rect zoneBR{rb.x, rb.y, pic.cx, pic.cy};
  const Point a = r.TopLeft(), b = r.BottomRight();
  auto both = [&](const Rect& z) { return z.Contains(a) && z.Contains(b); };
  Rect o = r;
  if (both(zoneTL)) return o;
  if (both(zoneTR)) return o.Translated(dX, 0);
  if (both(zoneBL)) return o.Translated(0, dY);
  if (both(zoneBR)) return o.Translated(dX, dY);
  if (zoneTL.Contains(a) && zoneBR.Contains(b)) {
    o.right += dX;
    o.bottom += dY;
  } else if (zoneTL.Contains(a) && zoneTR.Contains(b)) {
    o.right += dX;
  } else if (zoneBL.Contains(a) && zoneBR.Contains(b)) {
    o.right += dX;
    o.Translate(0, dY);
  } else if (zoneTL.Contains(a) && zoneBL.Contains(b)) {
    o.bottom += dY;
  } else if (zoneTR.Contains(a) && zoneBR.Contains(b)) {
    o.Translate(dX, 0);
    o.bottom += dY;
  }
  return o;
}

void LayoutFrameItems(std::vector<FrameLayoutItem>& items, const FrameGeometry& g) {
  const bool alongButtons = !g.buttonsRect.IsEmpty();
  const Rect run = alongButtons ? g.buttonsRect : g.captionRect;
  if (run.IsEmpty()) return;
  auto laidButton = [](const FrameLayoutItem& it) {
    return it.kind == FrameItemKind::Button && it.laidOut && it.visible;
  };
  // The order of the run: one of each window command, then every default-command object.
  std::vector<FrameLayoutItem*> order;
  for (SkinCommand c : {SkinCommand::Close, SkinCommand::Maximize, SkinCommand::Minimize, SkinCommand::RollUp,
                        SkinCommand::MinimizeToTray}) {
    for (FrameLayoutItem& it : items)
      if (laidButton(it) && it.command == c) {
        order.push_back(&it);
        break;
      }
  }
  for (FrameLayoutItem& it : items)
    if (laidButton(it) && it.command == SkinCommand::Default) order.push_back(&it);
  FrameLayoutItem* sysMenu = nullptr;
  for (FrameLayoutItem& it : items)
    if (laidButton(it) && it.command == SkinCommand::SysMenu) {
      sysMenu = &it;
      break;
    }
  FrameLayoutItem* caption = nullptr;
  for (FrameLayoutItem& it : items)
    if (it.kind == FrameItemKind::Caption) {
      caption = &it;
      break;
    }
  const int offset = g.buttonsOffset;
  auto placeSysMenuAtCaption = [&] {
    if (!sysMenu) return;
    const Rect& c = g.captionRect;
    const Size s = sysMenu->size;
    const int top = c.top + c.Height() / 2 - s.cy / 2;
    sysMenu->rect = Rect::FromSize(c.left, top, s.cx, s.cy);
    if (caption) caption->rect.left = c.left + s.cx;
  };
  if (!g.buttonsInLeft) {
    int cursor = run.right;
    for (FrameLayoutItem* it : order) {
      it->rect = {cursor - it->size.cx, run.top, cursor, run.top + it->size.cy};
      cursor -= it->size.cx + offset;
    }
    if (!alongButtons && caption) caption->rect.right = cursor + offset;
    placeSysMenuAtCaption();
    return;
  }
  int cursor = run.left;
  if (!alongButtons && sysMenu) order.push_back(sysMenu);
  for (FrameLayoutItem* it : order) {
    it->rect = {cursor, run.top, cursor + it->size.cx, run.top + it->size.cy};
    cursor += it->size.cx + offset;
  }
  if (!alongButtons) {
    if (caption) caption->rect.left = cursor + offset;
  } else {
    placeSysMenuAtCaption();
  }
}

DefaultCaptionLayout LayoutDefaultCaption(int width, int captionHeight, int buttonSize,
                                          const std::vector<SkinCommand>& visible, int iconSize) {
  DefaultCaptionLayout out;
  out.caption = {3, 3, width - 3, captionHeight};
  out.buttons.assign(visible.size(), Rect{});
  int x = width - 3;
  for (SkinCommand c : {SkinCommand::Close, SkinCommand::Maximize, SkinCommand::Minimize, SkinCommand::RollUp,
                        SkinCommand::MinimizeToTray}) {
    for (std::size_t i = 0; i < visible.size(); ++i)
      if (visible[i] == c) {
        out.buttons[i] = {x - buttonSize, 4, x, 4 + buttonSize};
        x -= buttonSize;
      }
  }
  out.caption.right = x;
  for (std::size_t i = 0; i < visible.size(); ++i)
    if (visible[i] == SkinCommand::SysMenu) {
      const int s = iconSize > 0 ? iconSize : buttonSize;
      out.buttons[i] = {out.caption.left, 4, out.caption.left + s, 4 + s};
      out.caption.left += s;
    }
  return out;
}

Rect MagneticSnap(const Rect& proposed, Size size, const Rect& work, int m) {
  int left = proposed.left, top = proposed.top;
  if (work.left - m < left && left < work.left + m) left = work.left;
  if (work.top - m < top && top < work.top + m) top = work.top;
  if (work.right - m < left + size.cx && left + size.cx < work.right + m) left = work.right - size.cx;
  if (work.bottom - m < top + size.cy && top + size.cy < work.bottom + m) top = work.bottom - size.cy;
  return Rect::FromSize(left, top, size.cx, size.cy);
}

Rect MaximizedBounds(const Rect& monitor, const Rect& work, bool fullScreen, Size screen) {
  if (fullScreen) return monitor;
  Rect target = work;
  if (work.GetSize() == monitor.GetSize() && monitor == Rect(0, 0, screen.cx, screen.cy)) target.Inflate(-1, -1);
  return target;
}

Point MinimizedPosition(const Rect& work, Size minSize, const std::vector<Point>& taken) {
  const Point start{work.left, work.bottom - minSize.cy};
  if (minSize.cx < 1 || minSize.cy < 1) return start;
  Point p = start;
  while (std::find(taken.begin(), taken.end(), p) != taken.end()) {
    p.x += minSize.cx;
    if (p.x + minSize.cx > work.right) {
      p.x = work.left;
      p.y -= minSize.cy;
      if (p.y < work.top) return start;
    }
  }
  return p;
}

namespace {
// Start of the last UTF-8 character of a non-empty text.
std::size_t LastCharStart(std::string_view s) {
  std::size_t i = s.size() - 1;
  while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
  return i;
}
}  // namespace

std::string EllipsisText(std::string_view text, int width, const std::function<int(std::string_view)>& measure) {
  if (measure(text) <= width) return std::string(text);
  std::string t(text);
  while (!t.empty()) {
    t.erase(LastCharStart(t));
    if (measure(t + "...") <= width) break;
  }
  return t + "...";
}
