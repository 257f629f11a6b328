// Frame geometry without pixels: scaling, client placement, hit testing at corners, borders,
// caption and objects, zone placement and caption layout, snapping, the maximized and
// minimized places, and the ellipsis rule.
#include <gtest/gtest.h>

#include "skin/form/skFrameGeometry.h"

namespace {

// The stored skin's frame (picture 277 x 116).
SkinFormInfo StoredInfo() {
  SkinFormInfo fi;
  fi.LeftTopPoint = {100, 46};
  fi.RightTopPoint = {130, 46};
  fi.LeftBottomPoint = {30, 100};
  fi.RightBottomPoint = {250, 100};
  fi.ClientRect = {13, 46, 265, 107};
  fi.MaskRectArea = {9, 17, 273, 112};
  fi.HitTestLeftTopPoint = {14, 14};
  fi.HitTestRightTopPoint = {263, 14};
  fi.HitTestLeftBottomPoint = {14, 102};
  fi.HitTestRightBottomPoint = {263, 102};
  fi.ButtonsRect = {162, 11, 264, 35};
  fi.CaptionRect = {46, 16, 136, 35};
  fi.ButtonsOffset = 2;
  fi.BorderWidth = 5;
  return fi;
}
constexpr Size kStored{277, 116};

TEST(SkinFormGeometry, GrowthMovesRightAndBottomPartsOnly) {
  const SkinFormInfo fi = StoredInfo();
  const FrameGeometry same = CalcFrameGeometry(fi, kStored, 277, 116);
  EXPECT_EQ(same.clientRect, fi.ClientRect);
  EXPECT_EQ(same.maskArea, fi.MaskRectArea);
  const FrameGeometry g = CalcFrameGeometry(fi, kStored, 277 + 50, 116 + 30);
  EXPECT_EQ(g.leftTop, Point(100, 46));
  EXPECT_EQ(g.rightTop, Point(180, 46));
  EXPECT_EQ(g.leftBottom, Point(30, 130));
  EXPECT_EQ(g.rightBottom, Point(300, 130));
  EXPECT_EQ(g.clientRect, Rect(13, 46, 315, 137));
  EXPECT_EQ(g.captionRect, Rect(46, 16, 186, 35));
  EXPECT_EQ(g.buttonsRect, Rect(212, 11, 314, 35));  // right of the middle: moves
  EXPECT_EQ(g.hitRightBottom, Point(313, 132));
  EXPECT_EQ(g.maskArea, Rect(9, 17, 323, 142));
  // A buttons rectangle in the left half stays; an empty caption stays empty.
  SkinFormInfo left = fi;
  left.ButtonsRect = {10, 11, 60, 35};
  left.CaptionRect = {};
  const FrameGeometry gl = CalcFrameGeometry(left, kStored, 400, 116);
  EXPECT_EQ(gl.buttonsRect, left.ButtonsRect);
  EXPECT_TRUE(gl.captionRect.IsEmpty());
}

TEST(SkinFormGeometry, ClientAreaKeepsThePicturesMargins) {
  const SkinFormInfo fi = StoredInfo();
  EXPECT_EQ(SkinClientRect(fi, kStored, {100, 100, 500, 400}), Rect(113, 146, 488, 391));
  // Too small: right and bottom are raised to left and top, never inverted.
  EXPECT_EQ(SkinClientRect(fi, kStored, {0, 0, 20, 30}), Rect(13, 46, 13, 46));
  const Rect plain = DefaultClientRect({0, 0, 300, 200}, 19);
  EXPECT_EQ(plain.GetSize(), Size(294, 175));
}

TEST(SkinFormGeometry, ZonePlacementOfTheStoredObjects) {
  const SkinFormInfo fi = StoredInfo();
  struct Case {
    const char* what;
    Rect skin, want;
  };
  const Case cases[] = {
      {"close button: top-right zone", {240, 11, 264, 35}, {280, 11, 304, 35}},
      {"caption: stretches with the width", {46, 16, 136, 35}, {46, 16, 176, 35}},
      {"top-left zone: unchanged", {16, 13, 38, 35}, {16, 13, 38, 35}},
      {"bottom-right zone: both", {260, 105, 270, 112}, {300, 125, 310, 132}},
      {"bottom-left zone: down", {2, 105, 12, 112}, {2, 125, 12, 132}},
      {"left band: taller", {2, 20, 10, 110}, {2, 20, 10, 130}},
      {"right edge of the picture is in no zone", {250, 11, 277, 35}, {250, 11, 277, 35}},
  };
  for (const Case& c : cases) EXPECT_EQ(PlaceByZones(c.skin, fi, kStored, 40, 20), c.want) << c.what;
}

TEST(SkinFormGeometry, LaidOutButtonsRunFromTheRightInCommandOrder) {
  FrameGeometry g;
  g.buttonsRect = {100, 5, 200, 25};
  g.captionRect = {20, 6, 90, 24};
  g.buttonsOffset = 2;
  auto button = [](SkinCommand c, bool laid = true, bool visible = true) {
    FrameLayoutItem it;
    it.kind = FrameItemKind::Button;
    it.command = c;
    it.laidOut = laid;
    it.visible = visible;
    it.size = {10, 12};
    return it;
  };
  FrameLayoutItem caption;
  caption.kind = FrameItemKind::Caption;
  caption.rect = {20, 6, 90, 24};
  std::vector<FrameLayoutItem> items = {button(SkinCommand::Minimize), button(SkinCommand::Default),
                                        caption,  button(SkinCommand::Close),
                                        button(SkinCommand::Maximize, true, false), button(SkinCommand::SysMenu)};
  LayoutFrameItems(items, g);
  EXPECT_EQ(items[3].rect, Rect(190, 5, 200, 17));  // close first
  EXPECT_EQ(items[0].rect, Rect(178, 5, 188, 17));  // the hidden maximize takes no place
  EXPECT_EQ(items[1].rect, Rect(166, 5, 176, 17));  // default ones last
  EXPECT_EQ(items[5].rect, Rect(20, 9, 30, 21));    // system menu at the caption's start, centred
  EXPECT_EQ(items[2].rect, Rect(30, 6, 90, 24));    // caption begins after it

  // Without a buttons rectangle the run is along the caption, which ends where it stops.
  g.buttonsRect = {};
  std::vector<FrameLayoutItem> run = {caption, button(SkinCommand::Close), button(SkinCommand::RollUp)};
  LayoutFrameItems(run, g);
  EXPECT_EQ(run[1].rect, Rect(80, 6, 90, 18));
  EXPECT_EQ(run[2].rect, Rect(68, 6, 78, 18));
  EXPECT_EQ(run[0].rect.right, 68);
  // From the left, the system menu comes last and the caption starts after the run.
  g.buttonsInLeft = true;
  std::vector<FrameLayoutItem> leftRun = {caption, button(SkinCommand::SysMenu), button(SkinCommand::Close)};
  LayoutFrameItems(leftRun, g);
  EXPECT_EQ(leftRun[2].rect, Rect(20, 6, 30, 18));
  EXPECT_EQ(leftRun[1].rect, Rect(32, 6, 42, 18));
  EXPECT_EQ(leftRun[0].rect.left, 46);
}

// A skin-like geometry for the hit tests: window 200 x 120, client (8, 20, 192, 112).
FrameGeometry HitGeometry() {
  FrameGeometry g;
  g.width = 200;
  g.height = 120;
  g.clientRect = {8, 20, 192, 112};
  g.maskArea = {4, 4, 196, 116};
  g.hitLeftTop = {10, 10};
  g.hitRightTop = {190, 10};
  g.hitLeftBottom = {10, 110};
  g.hitRightBottom = {190, 110};
  return g;
}

TEST(SkinFormGeometry, HitTestOfAFrameWithoutMask) {
  const FrameGeometry g = HitGeometry();
  const std::vector<Rect> captions = {{30, 4, 150, 16}};
  FrameHitState s;
  s.sizeable = true;
  struct Case {
    const char* what;
    Point p;
    int want;
  };
  const Case cases[] = {
      {"top-left corner", {1, 1}, skHitTopLeft},
      {"top-right corner", {198, 2}, skHitTopRight},
      {"bottom-left corner", {2, 118}, skHitBottomLeft},
      {"bottom-right corner", {199, 119}, skHitBottomRight},
      {"top edge", {100, 1}, skHitTop},
      {"bottom edge", {100, 118}, skHitBottom},
      {"left edge", {1, 60}, skHitLeft},
      {"right edge", {198, 60}, skHitRight},
      {"caption object", {60, 8}, skHitCaption},
      {"frame outside any object", {170, 8}, skHitObject},
      {"client", {100, 60}, skHitClient},
      {"just beyond the border width", {3, 60}, skHitObject},
  };
  for (const Case& c : cases) EXPECT_EQ(SkinFrameHitTest(g, 3, captions, nullptr, s, c.p), c.want) << c.what;

  FrameHitState fixed;  // not sizeable: no border codes
  EXPECT_EQ(SkinFrameHitTest(g, 3, captions, nullptr, fixed, {1, 1}), skHitObject);
  EXPECT_EQ(SkinFrameHitTest(g, 3, captions, nullptr, fixed, {100, 60}), skHitClient);
  FrameHitState maximized = s;
  maximized.maximized = true;
  EXPECT_EQ(SkinFrameHitTest(g, 3, captions, nullptr, maximized, {1, 60}), skHitObject);
  FrameHitState rolled = s;
  rolled.rolledUp = true;
  EXPECT_EQ(SkinFrameHitTest(g, 3, captions, nullptr, rolled, {60, 8}), skHitCaption);
  EXPECT_EQ(SkinFrameHitTest(g, 3, captions, nullptr, rolled, {1, 1}), skHitObject);
  EXPECT_EQ(SkinFrameHitTest(g, 3, captions, nullptr, rolled, {100, 60}), skHitObject);
  // An object under the mouse wins over the border, but not during a size or move loop.
  FrameHitState onObject = s;
  onObject.activeObject = true;
  EXPECT_EQ(SkinFrameHitTest(g, 3, captions, nullptr, onObject, {198, 60}), skHitObject);
  onObject.sizeMoveLoop = true;
  EXPECT_EQ(SkinFrameHitTest(g, 3, captions, nullptr, onObject, {198, 60}), skHitRight);
}

TEST(SkinFormGeometry, HitTestFollowsTheMask) {
  FrameGeometry g = HitGeometry();
  g.maskArea = g.clientRect;
  // The mask cuts 6 pixels off the left side and rounds nothing else.
  const FrameMaskTest mask = [](Point p) { return p.x >= 6 && p.y >= 0 && p.x < 200 && p.y < 120; };
  FrameHitState s;
  s.sizeable = true;
  EXPECT_EQ(SkinFrameHitTest(g, 3, {}, mask, s, {7, 60}), skHitLeft);    // 3 to its left is cut away
  EXPECT_EQ(SkinFrameHitTest(g, 3, {}, mask, s, {10, 60}), skHitClient);
  EXPECT_EQ(SkinFrameHitTest(g, 3, {}, mask, s, {5, 2}), skHitTopLeft);
  // Inside the mask area the point is never near an edge.
  EXPECT_EQ(SkinFrameHitTest(g, 3, {}, [](Point) { return false; }, s, {100, 60}), skHitClient);
}

TEST(SkinFormGeometry, DefaultHitTest) {
  const Rect caption{3, 3, 249, 19};
  FrameHitState s;
  s.sizeable = true;
  const Size w{300, 200};
  EXPECT_EQ(DefaultFrameHitTest(w, caption, 19, s, {2, 2}), skHitTopLeft);
  EXPECT_EQ(DefaultFrameHitTest(w, caption, 19, s, {298, 1}), skHitTopRight);
  EXPECT_EQ(DefaultFrameHitTest(w, caption, 19, s, {0, 199}), skHitBottomLeft);
  EXPECT_EQ(DefaultFrameHitTest(w, caption, 19, s, {299, 198}), skHitBottomRight);
  EXPECT_EQ(DefaultFrameHitTest(w, caption, 19, s, {1, 100}), skHitLeft);
  EXPECT_EQ(DefaultFrameHitTest(w, caption, 19, s, {100, 0}), skHitTop);
  EXPECT_EQ(DefaultFrameHitTest(w, caption, 19, s, {100, 10}), skHitCaption);
  EXPECT_EQ(DefaultFrameHitTest(w, caption, 19, s, {100, 100}), skHitClient);
  EXPECT_EQ(DefaultFrameHitTest(w, caption, 19, s, {270, 10}), skHitObject);  // the button area
  s.maximized = true;
  EXPECT_EQ(DefaultFrameHitTest(w, caption, 19, s, {1, 100}), skHitObject);
}

TEST(SkinFormGeometry, DefaultCaptionLayout) {
  const std::vector<SkinCommand> visible = {SkinCommand::Close, SkinCommand::Maximize, SkinCommand::Minimize,
                                            SkinCommand::SysMenu};
  const DefaultCaptionLayout l = LayoutDefaultCaption(300, 19, 17, visible);
  EXPECT_EQ(l.buttons[0], Rect(280, 4, 297, 21));
  EXPECT_EQ(l.buttons[1], Rect(263, 4, 280, 21));
  EXPECT_EQ(l.buttons[2], Rect(246, 4, 263, 21));
  EXPECT_EQ(l.buttons[3], Rect(3, 4, 20, 21));
  EXPECT_EQ(l.caption, Rect(20, 3, 246, 19));
}

TEST(SkinFormGeometry, MagneticSnapWithinTheMarginOnly) {
  const Rect work{0, 0, 1280, 760};
  const Size size{200, 100};
  struct Case {
    const char* what;
    Point proposed, want;
  };
  const Case cases[] = {
      {"4 from the left edge snaps", {4, 300}, {0, 300}},
      {"5 from the left edge does not", {5, 300}, {5, 300}},
      {"-4 snaps back in", {-4, 300}, {0, 300}},
      {"top", {300, 3}, {300, 0}},
      {"right edge", {1077, 300}, {1080, 300}},
      {"bottom edge", {300, 664}, {300, 660}},
      {"nowhere near", {500, 300}, {500, 300}},
  };
  for (const Case& c : cases) {
    const Rect r = MagneticSnap(Rect::FromSize(c.proposed, size), size, work, 5);
    EXPECT_EQ(r, Rect::FromSize(c.want, size)) << c.what;
  }
  // Right and bottom come last and win over left and top in a narrow work area.
  EXPECT_EQ(MagneticSnap({2, 2, 205, 105}, {203, 103}, {0, 0, 204, 104}, 5), Rect(1, 1, 204, 104));
}

TEST(SkinFormGeometry, MaximizedAndMinimizedPlaces) {
  const Size screen{1280, 800};
  EXPECT_EQ(MaximizedBounds({0, 0, 1280, 800}, {0, 0, 1280, 760}, false, screen), Rect(0, 0, 1280, 760));
  EXPECT_EQ(MaximizedBounds({0, 0, 1280, 800}, {0, 0, 1280, 760}, true, screen), Rect(0, 0, 1280, 800));
  // A work area that is the whole screen is shrunk by one pixel on every side.
  EXPECT_EQ(MaximizedBounds({0, 0, 1280, 800}, {0, 0, 1280, 800}, false, screen), Rect(1, 1, 1279, 799));

  const Rect work{0, 0, 300, 200};
  const Size bar{120, 30};
  EXPECT_EQ(MinimizedPosition(work, bar, {}), Point(0, 170));
  EXPECT_EQ(MinimizedPosition(work, bar, {{0, 170}}), Point(120, 170));
  // The third does not fit the row (240 + 120 > 300): one row up.
  EXPECT_EQ(MinimizedPosition(work, bar, {{0, 170}, {120, 170}}), Point(0, 140));
  // Every place taken: back to the first one.
  std::vector<Point> all;
  for (int y = 170; y >= 0; y -= 30)
    for (int x = 0; x + 120 <= 300; x += 120) all.push_back({x, y});
  EXPECT_EQ(MinimizedPosition(work, bar, all), Point(0, 170));
  EXPECT_EQ(MinimizedPosition(work, {0, 0}, all), Point(0, 200));  // no size: no endless walk
}

TEST(SkinFormGeometry, EllipsisCutsWholeCharacters) {
  auto columns = [](std::string_view t) {
    int n = 0;
    for (unsigned char c : t) n += (c & 0xC0) != 0x80;
    return n * 10;
  };
  EXPECT_EQ(EllipsisText("abc", 30, columns), "abc");
  EXPECT_EQ(EllipsisText("abcdef", 50, columns), "ab...");
  EXPECT_EQ(EllipsisText("字符画工具", 45, columns), "字...");
  EXPECT_EQ(EllipsisText("abcdef", 5, columns), "...");
}

}  // namespace
