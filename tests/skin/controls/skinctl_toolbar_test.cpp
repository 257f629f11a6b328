// The tool bar that scrolls its buttons: the arrows in its non-client area as the width
// changes, pressing and hovering them on the virtual clock, the steps and their limits,
// scrolling back when the bar grows, and the arrows' looks.
#include "SkinCtrlsTestSupport.h"
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinPanel.h"

using namespace skinctl;

namespace {

class SkinCtrlToolBar : public SkinCtrlTest {
 protected:
  // A 200-pixel bar with five 50-pixel buttons side by side: 250 pixels of content.
  TskSkinToolBar* MakeBar(int width = 200) {
    bar = new TskSkinToolBar(form_);
    bar->SetParent(form_);
    bar->SetBounds(10, 10, width, 25);
    bar->SetCanScroll(true);
    for (int i = 0; i < 5; ++i) {
      auto* b = new TskSkinSpeedButton(form_);
      b->SetParent(bar);
      b->SetBounds(i * 50, 0, 50, 25);
      buttons.push_back(b);
    }
    return bar;
  }
  // A point of the bar's window (non-client area included) on the screen.
  Point BarPoint(int x, int y) {
    Rect w;
    GetWindowRect(bar->Handle(), &w);
    return {w.left + x, w.top + y};
  }
  Point LeftArrow() { return BarPoint(5, 12); }
  Point RightArrow() { return BarPoint(bar->Width() - 5, 12); }
  std::vector<int> Lefts() const {
    std::vector<int> out;
    for (auto* b : buttons) out.push_back(b->Left());
    return out;
  }
  TskSkinToolBar* bar = nullptr;
  std::vector<TskSkinSpeedButton*> buttons;
};

TEST_F(SkinCtrlToolBar, ArrowsComeAndGoAsTheWidthChanges) {
  MakeBar();
  ShowForm();
  struct Case {
    int width;
    bool arrows;
    int clientWidth;
  };
  // Shown, the arrows take 24 pixels: the content must fit in what is left to hide them.
  const Case cases[] = {{200, true, 176}, {260, true, 236}, {273, true, 249},
                        {274, false, 274}, {260, false, 260}, {250, false, 250},
                        {249, true, 225}, {120, true, 96}};
  for (const Case& c : cases) {
    bar->SetWidth(c.width);
    host_->Pump();
    EXPECT_EQ(bar->ArrowsShown(), c.arrows) << c.width;
    EXPECT_EQ(bar->ClientWidth(), c.clientWidth) << c.width;
    // The first button sits right after the left arrow, or at the bar's edge.
    EXPECT_EQ(buttons[0]->ClientOrigin().x - BarPoint(0, 0).x, c.arrows ? 12 : 0) << c.width;
  }
  // A button that goes makes the rest fit.
  bar->SetWidth(200);
  buttons[4]->SetVisible(false);
  EXPECT_TRUE(bar->ArrowsShown());  // 200 pixels of content, 176 between the arrows
  buttons[3]->SetParent(nullptr);
  EXPECT_FALSE(bar->ArrowsShown());
  // A wider button does not fit again.
  buttons[2]->SetWidth(120);
  EXPECT_TRUE(bar->ArrowsShown());
}

TEST_F(SkinCtrlToolBar, WithoutCanScrollNoArrowsShowWhateverTheContent) {
  MakeBar(60);
  bar->SetCanScroll(false);
  ShowForm();
  EXPECT_FALSE(bar->ArrowsShown());
  EXPECT_EQ(bar->ClientWidth(), 60);
  // Turned off while scrolled: the buttons go back to their places.
  bar->SetCanScroll(true);
  EXPECT_TRUE(bar->ArrowsShown());
  host_->Click(RightArrow());
  host_->Pump();
  EXPECT_GT(bar->ScrollPosition(), 0);
  bar->SetCanScroll(false);
  EXPECT_FALSE(bar->ArrowsShown());
  EXPECT_EQ(bar->ScrollPosition(), 0);
  EXPECT_EQ(Lefts(), (std::vector<int>{0, 50, 100, 150, 200}));
}

TEST_F(SkinCtrlToolBar, HitTestFindsTheArrowsLeftAndRightOfTheClientArea) {
  MakeBar();
  ShowForm();
  struct Case {
    int x, y;
    LRESULT hit;
  };
  const Case cases[] = {{0, 10, 40},        {11, 0, 40},  {5, 24, 40},  {12, 10, HTCLIENT},
                        {100, 0, HTCLIENT}, {187, 24, HTCLIENT}, {188, 0, 41}, {199, 24, 41}};
  for (const Case& c : cases) {
    const Point p = BarPoint(c.x, c.y);
    EXPECT_EQ(SendMessage(bar->Handle(), WM_NCHITTEST, 0, PointToLParam(p)), c.hit) << c.x << "," << c.y;
  }
  // Without arrows the whole bar is client area.
  bar->SetWidth(300);
  EXPECT_EQ(SendMessage(bar->Handle(), WM_NCHITTEST, 0, PointToLParam(BarPoint(5, 10))), HTCLIENT);
}

TEST_F(SkinCtrlToolBar, HoldingAnArrowStepsOnTheTimerUpToTheContentEnd) {
  MakeBar();
  bar->SetScrollOffset(30);
  bar->SetScrollTimerInterval(40);
  ShowForm();
  ASSERT_TRUE(bar->ArrowsShown());
  host_->PressMouse(RightArrow());
  host_->Pump();
  EXPECT_EQ(bar->ScrollPosition(), 0);  // the press itself waits for the timer
  EXPECT_EQ(bar->Scroller().Pressed(), ToolScrollDir::Right);
  // One step per tick, up to one pixel past the content: 250 - 176 + 1.
  const int expected[] = {30, 60, 75, 75};
  for (int position : expected) {
    host_->AdvanceClock(40);
    EXPECT_EQ(bar->ScrollPosition(), position);
  }
  EXPECT_EQ(bar->Scroller().TimerDir(), ToolScrollDir::None);  // the end stops the timer
  EXPECT_EQ(Lefts(), (std::vector<int>{-75, -25, 25, 75, 125}));
  host_->ReleaseMouse(RightArrow());
  host_->Pump();
  EXPECT_EQ(bar->ScrollPosition(), 75);
  EXPECT_EQ(bar->Scroller().Pressed(), ToolScrollDir::None);
  // A click steps once, at its release.
  host_->Click(LeftArrow());
  host_->Pump();
  EXPECT_EQ(bar->ScrollPosition(), 45);
  host_->AdvanceClock(200);
  EXPECT_EQ(bar->ScrollPosition(), 45);  // released: no timer
  host_->Click(LeftArrow());
  host_->Click(LeftArrow());
  host_->Pump();
  EXPECT_EQ(bar->ScrollPosition(), 0);
  EXPECT_EQ(Lefts(), (std::vector<int>{0, 50, 100, 150, 200}));
}

TEST_F(SkinCtrlToolBar, StepIsTheClientWidthWhenNoOffsetIsSet) {
  MakeBar(120);  // 96 between the arrows
  ShowForm();
  struct Case {
    bool right;
    int position;
  };
  // 250 - 96 + 1 = 155 at most.
  const Case cases[] = {{true, 96}, {true, 155}, {true, 155}, {false, 59}, {false, 0}, {false, 0}};
  for (const Case& c : cases) {
    host_->Click(c.right ? RightArrow() : LeftArrow());
    host_->Pump();
    EXPECT_EQ(bar->ScrollPosition(), c.position);
    EXPECT_EQ(buttons[0]->Left(), -c.position);
  }
}

TEST_F(SkinCtrlToolBar, HotScrollRunsWhileThePointerRestsOnAnArrow) {
  MakeBar();
  bar->SetScrollOffset(10);
  bar->SetHotScroll(true);
  ShowForm();
  host_->MoveMouse(RightArrow());
  host_->Pump();
  EXPECT_EQ(bar->Scroller().Hot(), ToolScrollDir::Right);
  host_->AdvanceClock(100);  // two ticks of 50 ms
  EXPECT_EQ(bar->ScrollPosition(), 20);
  // Into the client area: it stops.
  host_->MoveMouse(BarPoint(100, 12));
  host_->Pump();
  EXPECT_EQ(bar->Scroller().Hot(), ToolScrollDir::None);
  host_->AdvanceClock(200);
  EXPECT_EQ(bar->ScrollPosition(), 20);
  // Onto the left arrow, then out of the window.
  host_->MoveMouse(LeftArrow());
  host_->AdvanceClock(50);
  EXPECT_EQ(bar->ScrollPosition(), 10);
  host_->MoveMouse(ScreenPoint(form_, 300, 250));
  host_->Pump();
  host_->AdvanceClock(200);
  EXPECT_EQ(bar->ScrollPosition(), 10);
  EXPECT_EQ(bar->Scroller().Hot(), ToolScrollDir::None);
  // Without HotScroll, resting on an arrow only lights it.
  bar->SetHotScroll(false);
  host_->MoveMouse(RightArrow());
  host_->AdvanceClock(200);
  EXPECT_EQ(bar->Scroller().Hot(), ToolScrollDir::Right);
  EXPECT_EQ(bar->ScrollPosition(), 10);
}

TEST_F(SkinCtrlToolBar, GrowingScrollsBackByTheGrowth) {
  MakeBar();
  bar->SetScrollOffset(70);
  ShowForm();
  host_->Click(RightArrow());
  host_->Pump();
  ASSERT_EQ(bar->ScrollPosition(), 70);
  bar->SetWidth(230);
  EXPECT_EQ(bar->ScrollPosition(), 40);
  EXPECT_EQ(buttons[0]->Left(), -40);
  bar->SetWidth(231);  // a single pixel counts too
  EXPECT_EQ(bar->ScrollPosition(), 39);
  bar->SetWidth(220);  // narrower: nothing moves
  EXPECT_EQ(bar->ScrollPosition(), 39);
  bar->SetWidth(300);  // all fits: back at 0 and no arrows
  EXPECT_EQ(bar->ScrollPosition(), 0);
  EXPECT_FALSE(bar->ArrowsShown());
  EXPECT_EQ(Lefts(), (std::vector<int>{0, 50, 100, 150, 200}));
}

TEST_F(SkinCtrlToolBar, DefaultArrowLookFollowsHotAndPressed) {
  MakeBar();
  ShowForm();
  auto fillAt = [&](ToolScrollDir d) { return PixelToColor(bar->ArrowImage(d).At(2, 2)); };
  auto frameAt = [&](ToolScrollDir d) { return PixelToColor(bar->ArrowImage(d).At(0, 10)); };
  EXPECT_EQ(fillAt(ToolScrollDir::Right), BtnFace());
  EXPECT_EQ(frameAt(ToolScrollDir::Right), ColorToRGB(clBtnShadow));
  // The arrow itself, in the button-text colour, in the middle of the button.
  const Bitmap normal = bar->ArrowImage(ToolScrollDir::Left);
  bool ink = false;
  for (int x = 0; x < normal.Width(); ++x)
    ink = ink || PixelToColor(normal.At(x, 12)) == ColorToRGB(clBtnText);
  EXPECT_TRUE(ink);
  // The screen shows it in the non-client area.
  {
    host_->Pump();
    const Bitmap shot = host_->Screenshot();
    const Point p = BarPoint(bar->Width() - 10, 2);
    EXPECT_EQ(shot.GetPixelColor(p.x, p.y), BtnFace());
    const Point edge = BarPoint(bar->Width() - 12, 10);
    EXPECT_EQ(shot.GetPixelColor(edge.x, edge.y), ColorToRGB(clBtnShadow));
  }
  host_->MoveMouse(RightArrow());
  host_->Pump();
  EXPECT_EQ(fillAt(ToolScrollDir::Right), 13811126u);
  EXPECT_EQ(frameAt(ToolScrollDir::Right), 0x800000u);
  EXPECT_EQ(fillAt(ToolScrollDir::Left), BtnFace());
  host_->PressMouse(RightArrow());
  host_->Pump();
  EXPECT_EQ(fillAt(ToolScrollDir::Right), 11899781u);
  // Held but off the arrow: not hot, so the plain look.
  host_->MoveMouse(BarPoint(100, 12));
  host_->Pump();
  EXPECT_EQ(fillAt(ToolScrollDir::Right), BtnFace());
  host_->ReleaseMouse(BarPoint(100, 12));
  host_->Pump();
  // Hovering with HotScroll shows the pressed look.
  bar->SetHotScroll(true);
  host_->MoveMouse(LeftArrow());
  host_->Pump();
  EXPECT_EQ(fillAt(ToolScrollDir::Left), 11899781u);
  const Point p = LeftArrow();
  EXPECT_EQ(host_->Screenshot().GetPixelColor(p.x - 3, p.y - 10), 11899781u);
}

TEST_F(SkinCtrlToolBar, AHorizontalSkinRepeatsItsMiddleUnderTheArrows) {
  LoadHandSkin();
  MakeBar();
  bar->SetCanScroll(false);
  bar->SetSkinDataName("hpanel");  // left end 3, right end 3 pixels of the 12-pixel tile
  bar->SetSkinData(data_);
  ShowForm();
  ASSERT_EQ(bar->ResizeMode(), SkinResizeMode::Horizontal);
  // Without arrows the strip shows its red corners at both ends.
  Bitmap image = Render(bar);
  EXPECT_EQ(image.GetPixelColor(0, 0), kCorner);
  EXPECT_EQ(image.GetPixelColor(image.Width() - 1, 0), kCorner);
  // With them the ends are the arrows': the middle (blue at the top) runs end to end.
  bar->SetCanScroll(true);
  ASSERT_TRUE(bar->ArrowsShown());
  image = Render(bar);
  EXPECT_EQ(image.Width(), bar->Width());
  for (int x : {0, 1, 2, 100, image.Width() - 1}) EXPECT_EQ(image.GetPixelColor(x, 0), kEdge) << x;
  EXPECT_EQ(image.GetPixelColor(0, 5), kCentre);
}

TEST_F(SkinCtrlToolBar, TheBarsImageSpansTheArrowsAndTheClientShowsItsMiddle) {
  LoadHandSkin();
  MakeBar();
  bar->SetSkinDataName("panel");  // a framed nine-part look: blue edges, green middle
  bar->SetBorderStyle(TskSkinBorderStyle::bvFrame);
  bar->SetSkinData(data_);
  bar->SetHeight(40);  // room below the buttons
  ShowForm();
  ASSERT_TRUE(bar->ArrowsShown());
  host_->Pump();
  const Bitmap shot = host_->Screenshot();
  // The image's left edge lies under the left arrow: the client area begins in its middle.
  const Point first = BarPoint(12, 30), last = BarPoint(bar->Width() - 13, 30);
  EXPECT_EQ(shot.GetPixelColor(first.x, first.y), kCentre);
  EXPECT_EQ(shot.GetPixelColor(last.x, last.y), kCentre);
  // The bar's bottom edge runs on between the arrows.
  const Point bottom = BarPoint(100, 39);
  EXPECT_EQ(shot.GetPixelColor(bottom.x, bottom.y), kEdge);
}

// The hand skin with a "resizebutton" record: the grey, yellow and cyan button states.
std::vector<std::uint8_t> ArrowSkinPackage() {
  std::vector<std::string> lines = HandSkinDefinition(false);
  for (auto& line : lines)
    if (line == "count=9") line = "count=10";
  const auto at = std::find(lines.begin(), lines.end(), "8=fixedbutton:button");
  lines.insert(at + 1, "9=resizebutton:button");
  for (const char* l : {"[resizebutton]", "pictureindex=0", "skinrect=0,20,12,32", "lefttoppoint=2,2",
                        "righttoppoint=10,2", "leftbottompoint=2,10", "rightbottompoint=10,10",
                        "clientrect=2,2,10,10", "activeskinrect=12,20,24,32", "downskinrect=24,20,36,32",
                        "fontcolor=255", "activefontcolor=65280", "downfontcolor=16711680"})
    lines.push_back(l);
  SkinPackageWriter out;
  out.WriteInt32(SkinPackageVersion);
  out.WriteFlaggedBitmap({});
  out.WriteFlaggedBitmap({});
  out.WriteFlaggedBitmap({});
  out.WriteInt32(2);
  out.WriteBitmapImage(SaveBmp(HandSkinPicture(false), 24));
  out.WriteBitmapImage(SaveBmp(HandSkinMask(), 24));
  out.WriteLines(lines);
  return CompressSkinStream(out.Bytes());
}

TEST_F(SkinCtrlToolBar, SkinnedArrowsTakeTheStateImagesOfTheResizeButtonRecord) {
  stored_.SetCompressedData(ArrowSkinPackage());
  data_->LoadStoredSkin(stored_);
  MakeBar();
  bar->SetSkinData(data_);
  ShowForm();
  ASSERT_TRUE(bar->ArrowsShown());
  auto colourAt = [&](ToolScrollDir d, int x, int y) { return PixelToColor(bar->ArrowImage(d).At(x, y)); };
  // A corner, away from the arrow mark.
  EXPECT_EQ(colourAt(ToolScrollDir::Left, 0, 0), kNormal);
  EXPECT_EQ(colourAt(ToolScrollDir::Right, 11, 24), kNormal);
  host_->MoveMouse(LeftArrow());
  host_->Pump();
  EXPECT_EQ(colourAt(ToolScrollDir::Left, 0, 0), kActive);
  EXPECT_EQ(colourAt(ToolScrollDir::Right, 0, 0), kNormal);
  host_->PressMouse(LeftArrow());
  host_->Pump();
  EXPECT_EQ(colourAt(ToolScrollDir::Left, 0, 0), kDown);
  // The mark takes the state's font colour (here blue, 16711680).
  const Bitmap down = bar->ArrowImage(ToolScrollDir::Left);
  bool mark = false;
  for (int x = 0; x < down.Width(); ++x) mark = mark || PixelToColor(down.At(x, 12)) == 16711680u;
  EXPECT_TRUE(mark);
  host_->Pump();
  const Bitmap shot = host_->Screenshot();
  const Point corner = BarPoint(0, 0);
  EXPECT_EQ(shot.GetPixelColor(corner.x, corner.y), kDown);
  // The right arrow covers its end of the bar from the top row to the bottom one.
  for (Point p : {BarPoint(bar->Width() - 12, 0), BarPoint(bar->Width() - 1, 24)})
    EXPECT_EQ(shot.GetPixelColor(p.x, p.y), kNormal) << p.x << "," << p.y;
  host_->ReleaseMouse(LeftArrow());
  host_->Pump();
}

}  // namespace
