// Skinned menu levels: size and region from the items, item images on screen, the default
// look, placement against the anchor and the work area, long menus that scroll.
#include "tests/skin/form/SkinMenuTestSupport.h"

#include "platform/gfx/Font.h"

using namespace skinmenu;

namespace {

// The program skin's menu geometry: item 120 x 22 with text 104 wide, divider 7 high,
// popup picture 40 x 40 with items in (4, 4, 36, 36).
constexpr int kItemHeight = 22;
constexpr int kDividerHeight = 7;
constexpr int kFrame = 8;

FontSpec ProgramMenuFont() { return FontSpec{"WenQuanYi Micro Hei", 13}; }

}  // namespace

TEST_F(SkinMenuTest, SkinnedLevelSizeComesFromItemsAndRecords) {
  LoadProgramSkin();
  Fill({{"&Open", true, ShortCut('O', ssCtrl)}, {"-"}, {"&Save"}, {"&Print", false}, {"E&xit"}});
  Open({700, 100}, data_.get());
  ASSERT_EQ(menu_->PopupCount(), 1);
  TskSkinPopupWindow* p = Level(0);
  EXPECT_TRUE(p->SkinnedWindow());
  EXPECT_TRUE(p->SkinnedItems());
  ::Font f(ProgramMenuFont());
  const int text = std::max({f.TextWidth("Open  Ctrl+O"), f.TextWidth("Save"), f.TextWidth("Print"), f.TextWidth("Exit")});
  // Caption, glyph column, arrow column, the window's frame and the item's text margins.
  EXPECT_EQ(p->Width(), text + 2 + 19 + 19 + kFrame + (120 - 104));
  EXPECT_EQ(p->Height(), 4 * kItemHeight + kDividerHeight + kFrame);
  EXPECT_FALSE(p->Scroll());
  // Items stack from the items rectangle's top, full width.
  EXPECT_EQ(p->Items(0)->ItemRect(), Rect(4, 4, p->Width() - 4, 4 + kItemHeight));
  EXPECT_EQ(p->Items(1)->ItemRect().Height(), kDividerHeight);
  EXPECT_EQ(p->Items(4)->ItemRect().bottom, p->Height() - 4);
}

TEST_F(SkinMenuTest, HiddenItemsTakeNoRow) {
  LoadProgramSkin();
  Fill({{"One"}, {"Two"}, {"Three"}});
  Item(1)->SetVisible(false);
  Open({700, 100}, data_.get());
  EXPECT_EQ(Level(0)->ItemCount(), 2);
  EXPECT_EQ(Level(0)->Height(), 2 * kItemHeight + kFrame);
}

TEST_F(SkinMenuTest, RegionIsCutFromTheMaskAtTheLevelsSize) {
  LoadProgramSkin();
  Fill({{"Alpha"}, {"Beta"}, {"Gamma"}});
  Open({700, 100}, data_.get());
  TskSkinPopupWindow* p = Level(0);
  ASSERT_TRUE(p->WindowRegion().has_value());
  const Region& r = *p->WindowRegion();
  const int w = p->Width(), h = p->Height();
  // Rounded corners (radius 5) are cut; edges and the inside are kept.
  for (Point out : {Point{0, 0}, Point{w - 1, 0}, Point{0, h - 1}, Point{w - 1, h - 1}}) EXPECT_FALSE(r.Contains(out));
  for (Point in : {Point{w / 2, 0}, Point{0, h / 2}, Point{w / 2, h / 2}, Point{w - 1, h / 2}, Point{w / 2, h - 1}})
    EXPECT_TRUE(r.Contains(in));
  // The window really has it.
  Region given;
  ASSERT_NE(GetWindowRgn(p->Handle(), &given), ERROR);
  EXPECT_EQ(given, r);
}

TEST_F(SkinMenuTest, ItemImagesOnScreenFollowTheRecordsRects) {
  LoadProgramSkin();
  Fill({{"Alpha"}, {"-"}, {"Beta"}});
  Open({700, 100}, data_.get());
  TskSkinPopupWindow* p = Level(0);
  const Bitmap& parts = data_->ActivePictures()[0];
  // The first item is active when the level opens, the other one normal. Three pixels in
  // from the right end there is no text, so the strip's fixed end shows as in the picture.
  auto itemPixel = [&](int index, int dx, int dy) {
    const Rect r = p->Items(index)->ItemRect();
    return ScreenAt(p->ClientToScreen({r.right - dx, r.top + dy}));
  };
  EXPECT_TRUE(p->Items(0)->Active());
  EXPECT_EQ(itemPixel(0, 3, 11), parts.GetPixelColor(117, 94 + 11));
  EXPECT_EQ(itemPixel(2, 3, 11), parts.GetPixelColor(117, 72 + 11));
  EXPECT_NE(parts.GetPixelColor(117, 94 + 11), parts.GetPixelColor(117, 72 + 11));
  EXPECT_EQ(itemPixel(1, 3, 3), parts.GetPixelColor(117, 116 + 3));
  // Outside the cut corner the desktop shows through.
  const Point corner = p->ClientToScreen({0, 0});
  EXPECT_EQ(ScreenAt(corner), PixelToColor(HeadlessHost::DesktopPixel));
  // Moving the keyboard selection swaps the two looks.
  Key(VK_DOWN);
  EXPECT_EQ(itemPixel(0, 3, 11), parts.GetPixelColor(117, 72 + 11));
  EXPECT_EQ(itemPixel(2, 3, 11), parts.GetPixelColor(117, 94 + 11));
}

TEST_F(SkinMenuTest, WithoutSkinTheDefaultLookIsUsed) {
  Fill({{"Alpha"}, {"-"}, {"Beta"}, {"Gamma", false}});
  Open({700, 100}, nullptr);
  TskSkinPopupWindow* p = Level(0);
  EXPECT_FALSE(p->SkinnedWindow());
  EXPECT_FALSE(p->WindowRegion().has_value());
  ::Font f(menu_->DefItemFont());
  const int text = std::max({f.TextWidth("Alpha"), f.TextWidth("Beta"), f.TextWidth("Gamma")});
  EXPECT_EQ(p->Width(), text + 2 + 19 + 19 + 10);
  EXPECT_EQ(p->Height(), 3 * 20 + 4 + 4);
  const Bitmap img = p->RenderImage();
  const Rect active = p->Items(0)->ItemRect();
  const Rect normal = p->Items(2)->ItemRect();
  struct Probe {
    Point at;
    Color expect;
  };
  const Probe probes[] = {
      {{0, 0}, ColorToRGB(clBtnShadow)},                                   // outer ring
      {{1, p->Height() / 2}, ColorToRGB(clWindow)},                        // inner ring
      {{active.left, active.top}, clNavy},                                 // active frame
      {{active.right - 3, active.top + 10}, RGB(182, 189, 210)},          // active fill
      {{normal.left + 5, normal.top + 10}, ColorToRGB(clBtnFace)},         // glyph column
      {{normal.right - 3, normal.top + 10}, ColorToRGB(clWindow)},         // rest of a row
      {{p->Items(1)->ItemRect().right - 3, p->Items(1)->ItemRect().top + 2}, ColorToRGB(clBtnShadow)},  // separator
  };
  for (const Probe& probe : probes)
    EXPECT_EQ(img.GetPixelColor(probe.at.x, probe.at.y), probe.expect) << probe.at.x << "," << probe.at.y;
}

TEST_F(SkinMenuTest, CheckedItemsGetTheirGlyphInTheFontColour) {
  Fill({{"Plain"}, {"Ticked"}});
  Item(1)->SetChecked(true);
  Open({700, 100}, nullptr);
  TskSkinPopupWindow* p = Level(0);
  const Bitmap img = p->RenderImage();
  auto darkIn = [&](const Rect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (img.GetPixelColor(x, y) == ColorToRGB(clWindowText)) ++n;
    return n;
  };
  const Rect plain = p->Items(0)->ItemRect();
  const Rect ticked = p->Items(1)->ItemRect();
  // The glyph column of the checked item has the tick; the other's has nothing.
  EXPECT_GT(darkIn({ticked.left + 4, ticked.top + 2, ticked.left + 15, ticked.bottom - 2}), 6);
  EXPECT_EQ(darkIn({plain.left + 4, plain.top + 2, plain.left + 15, plain.bottom - 2}), 0);
}

TEST(SkinPopupPlacement, FollowsAnchorAndWorkArea) {
  const Rect wa{0, 0, 1000, 700};
  const Size small{100, 200};
  const Size tall{100, 400};
  struct Case {
    const char* name;
    TskPopupKind kind;
    Rect anchor;
    Size size;
    bool scroll;
    Point expect;
    bool overlap;
  };
  const Case cases[] = {
      {"drop down below", TskPopupKind::DropDown, {50, 100, 50, 100}, small, false, {50, 100}, false},
      {"drop down near the bottom opens above", TskPopupKind::DropDown, {50, 600, 90, 620}, small, false, {50, 400}, false},
      {"drop down moved left at the right edge", TskPopupKind::DropDown, {950, 100, 950, 100}, small, false, {900, 100}, false},
      {"drop down raised at the left edge", TskPopupKind::DropDown, {-30, 100, -30, 100}, small, false, {0, 100}, false},
      {"upper half, no room below: bottom of the area, beside", TskPopupKind::DropDown, {50, 300, 90, 560}, small, false, {91, 500}, true},
      {"lower half, no room either way: top of the area, beside", TskPopupKind::DropDown, {50, 360, 90, 400}, tall, false, {91, 0}, true},
      {"popup up above", TskPopupKind::PopupUp, {50, 400, 90, 420}, small, false, {50, 200}, false},
      {"popup up, upper half: below", TskPopupKind::PopupUp, {50, 100, 90, 120}, small, false, {50, 120}, false},
      {"popup up, lower half, no room: top of the area", TskPopupKind::PopupUp, {50, 360, 90, 400}, tall, false, {91, 0}, true},
      {"submenu beside its item, first item level", TskPopupKind::SubMenu, {200, 100, 300, 122}, small, false, {301, 96}, false},
      {"submenu at the right edge opens left", TskPopupKind::SubMenu, {850, 100, 950, 122}, small, false, {749, 96}, false},
      {"submenu low in the area keeps its bottom", TskPopupKind::SubMenu, {200, 600, 300, 622}, small, false, {301, 426}, false},
      {"scrolling level at the top, beside", TskPopupKind::DropDown, {50, 300, 50, 300}, small, true, {51, 0}, false},
  };
  for (const Case& c : cases) {
    bool overlap = !c.overlap;
    const Point p = PlaceSkinPopup(c.kind, c.anchor, wa, c.size, 4, c.scroll, false, &overlap);
    EXPECT_EQ(p, c.expect) << c.name << ": " << p.x << "," << p.y;
    EXPECT_EQ(overlap, c.overlap) << c.name;
  }
}

TEST_F(SkinMenuTest, LongMenuScrollsInsideTheWorkArea) {
  LoadProgramSkin();
  std::vector<ItemSpec> specs;
  for (int i = 0; i < 60; ++i) specs.push_back({"Item " + std::to_string(i)});
  Fill(specs);
  Open({300, 400}, data_.get());
  TskSkinPopupWindow* p = Level(0);
  const Rect wa = menu_->WorkArea();
  ASSERT_EQ(wa, Rect(0, 0, 1280, 760));
  EXPECT_TRUE(p->Scroll());
  EXPECT_FALSE(p->Limited());
  Rect r;
  GetWindowRect(p->Handle(), &r);
  EXPECT_EQ(r.top, wa.top);
  EXPECT_EQ(r.Height(), wa.Height());
  EXPECT_TRUE(wa.Contains(r));
  // Items lie between the two marker bands: (760 - 8 - 20) / 22 whole rows.
  EXPECT_EQ(p->VisibleCount(), 33);
  EXPECT_EQ(p->Items(0)->ItemRect().top, 4 + 10);
  EXPECT_FALSE(p->Items(33)->Visible());
  // Resting in the bottom band scrolls one item every 100 ms.
  const Rect band = p->BottomMarkerRect();
  Hover(p->ClientToScreen({band.left + band.Width() / 2, band.top + 5}));
  EXPECT_EQ(p->ScrollCode(), 2);
  EXPECT_EQ(p->VisibleStart(), 0);
  host_->AdvanceClock(skMenuScrollInterval);
  EXPECT_EQ(p->VisibleStart(), 1);
  host_->AdvanceClock(skMenuScrollInterval);
  EXPECT_EQ(p->VisibleStart(), 2);
  EXPECT_FALSE(p->Items(1)->Visible());
  EXPECT_TRUE(p->Items(34)->Visible());
  // Leaving the band stops it.
  Hover(ItemCentre(0, 10));
  EXPECT_EQ(p->ScrollCode(), 0);
  host_->AdvanceClock(5 * skMenuScrollInterval);
  EXPECT_EQ(p->VisibleStart(), 2);
}

TEST_F(SkinMenuTest, MaxItemsInWindowLimitsTheHeight) {
  LoadProgramSkin();
  menu_->SetMaxMenuItemsInWindow(5);
  menu_->SetMaxMenuItemsInWindow(-3);  // ignored
  std::vector<ItemSpec> specs;
  for (int i = 0; i < 8; ++i) specs.push_back({"Row " + std::to_string(i)});
  Fill(specs);
  Open({300, 100}, data_.get());
  TskSkinPopupWindow* p = Level(0);
  EXPECT_TRUE(p->Scroll());
  EXPECT_TRUE(p->Limited());
  EXPECT_EQ(p->Height(), 5 * kItemHeight + kFrame + 20);
  EXPECT_EQ(p->VisibleCount(), 5);
  // A limited level is placed as an ordinary drop-down.
  EXPECT_EQ(p->ShowPosition(), Point(300, 100));
  // The keyboard scrolls the window when it passes the last row.
  for (int i = 0; i < 5; ++i) Key(VK_DOWN);
  EXPECT_EQ(p->ActiveItem(), 5);
  EXPECT_TRUE(p->Items(5)->Visible());
  EXPECT_EQ(p->VisibleStart(), 1);
}
