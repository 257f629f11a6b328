// Buttons and speed buttons: the looks under the mouse, pressed and disabled, morphing on
// the virtual clock, groups, repeated clicks, keys and default buttons, and the layout rule.
#include "SkinCtrlsTestSupport.h"
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinPanel.h"
#include "toolkit/StdCtrls.h"

using namespace skinctl;

namespace {

class SkinCtrlButtons : public SkinCtrlTest {
 protected:
  template <class Button>
  Button* Make(int left, int top) {
    auto* b = new Button(form_);
    b->SetParent(form_);
    b->SetBounds(left, top, 40, 24);
    b->SetSkinData(data_);
    return b;
  }
  Point Outside() { return ScreenPoint(form_, 390, 290); }
  int clicks = 0;
};

TEST_F(SkinCtrlButtons, ButtonLooksFollowMouseAndState) {
  LoadHandSkin();
  auto* b = Make<TskSkinButton>(10, 10);
  b->OnClick = [this](TObject*) { ++clicks; };
  b->SetCanFocused(false);  // focus would show the active look too
  ShowForm();
  EXPECT_EQ(ScreenColor(b, 20, 12), kNormal);
  EXPECT_EQ(ScreenColor(b, 40, 12), ColorToRGB(form_->GetColor()));
  host_->MoveMouse(Centre(b));
  host_->AdvanceClock(200);  // the record morphs: let the fade finish
  EXPECT_EQ(b->MorphFactor(), 1.0);
  EXPECT_EQ(ScreenColor(b, 20, 12), kActive);
  host_->PressMouse(Centre(b));
  host_->Pump();
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(ScreenColor(b, 20, 12), kDown);
  host_->ReleaseMouse(Centre(b));
  host_->Pump();
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(clicks, 1);
  b->SetEnabled(false);
  EXPECT_EQ(ScreenColor(b, 20, 12), kDisabled);
  EXPECT_FALSE(b->MouseInside());
  EXPECT_EQ(b->MorphFactor(), 0.0);
  // A release outside the button clicks nothing; a quick second press (a double click)
  // holds the mouse as the first did.
  b->SetEnabled(true);
  host_->PressMouse(Centre(b));
  host_->Pump();
  ASSERT_TRUE(b->Down());
  host_->MoveMouse(Outside());
  host_->Pump();
  EXPECT_FALSE(b->MouseInside());
  host_->ReleaseMouse(Outside());
  host_->Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(b->Down());
}

TEST_F(SkinCtrlButtons, MorphRisesAndFallsInSteps) {
  LoadHandSkin();
  auto* b = Make<TskSkinSpeedButton>(10, 10);
  b->SetSkinDataName("button");  // the section that fades
  b->ApplySkin();
  ShowForm();
  host_->MoveMouse(Centre(b));
  host_->Pump();
  EXPECT_TRUE(b->MorphRunning());
  std::vector<double> seen;
  for (int i = 0; i < 7; ++i) {
    host_->AdvanceClock(20);
    seen.push_back(b->MorphFactor());
  }
  const std::vector<double> rising = {0.2, 0.4, 0.6, 0.8, 1.0, 1.0, 1.0};
  ASSERT_EQ(seen.size(), rising.size());
  for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_NEAR(seen[i], rising[i], 1e-9) << i;
  EXPECT_EQ(b->MorphFactor(), 1.0);  // exactly
  EXPECT_FALSE(b->MorphRunning());
  // Halfway the paint blends the two looks.
  host_->MoveMouse(Outside());
  host_->AdvanceClock(40);
  EXPECT_NEAR(b->MorphFactor(), 0.6, 1e-9);
  const Color mid = Render(b).GetPixelColor(20, 12);
  EXPECT_NE(mid, kNormal);
  EXPECT_NE(mid, kActive);
  EXPECT_EQ(GetRValue(mid), (250 * 6 + 128 * 4 + 5) / 10);
  host_->AdvanceClock(200);
  EXPECT_EQ(b->MorphFactor(), 0.0);
  EXPECT_FALSE(b->MorphRunning());
  EXPECT_EQ(Render(b).GetPixelColor(20, 12), kNormal);
  // A record without morphing changes the look at once, with no timer.
  b->SetSkinDataName("toolbutton");
  b->ApplySkin();
  host_->MoveMouse(Centre(b));
  host_->Pump();
  EXPECT_FALSE(b->MorphRunning());
  EXPECT_EQ(ScreenColor(b, 20, 12), kActive);
}

TEST_F(SkinCtrlButtons, GroupedSpeedButtonsStayDownOneAtATime) {
  LoadHandSkin();
  auto* a = Make<TskSkinSpeedButton>(10, 10);
  auto* b = Make<TskSkinSpeedButton>(60, 10);
  auto* other = Make<TskSkinSpeedButton>(110, 10);
  for (auto* s : {a, b}) s->SetGroupIndex(1);
  other->SetGroupIndex(2);
  other->SetDown(true);
  a->OnClick = [this](TObject*) { ++clicks; };
  ShowForm();
  host_->Click(Centre(a));
  host_->Pump();
  EXPECT_TRUE(a->Down());
  EXPECT_EQ(clicks, 1);  // a grouped button clicks on the press
  host_->Click(Centre(a));
  host_->Pump();
  EXPECT_TRUE(a->Down());  // AllowAllUp is off: it stays down
  host_->Click(Centre(b));
  host_->Pump();
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(other->Down());  // another group is left alone
  host_->MoveMouse(Outside());
  EXPECT_EQ(ScreenColor(b, 20, 12), kDown);  // down shows without the mouse
  // With AllowAllUp a second click releases it.
  b->SetAllowAllUp(true);
  host_->Click(Centre(b));
  host_->Pump();
  EXPECT_FALSE(b->Down());
}

TEST_F(SkinCtrlButtons, RepeatModeClicksWhileHeldInside) {
  LoadHandSkin();
  auto* b = Make<TskSkinSpeedButton>(10, 10);
  b->SetRepeatMode(true);
  b->SetRepeatInterval(100);
  b->OnClick = [this](TObject*) { ++clicks; };
  ShowForm();
  host_->MoveMouse(Centre(b));
  host_->PressMouse(Centre(b));
  host_->Pump();
  host_->AdvanceClock(350);
  EXPECT_EQ(clicks, 3);
  host_->MoveMouse(Outside());
  host_->AdvanceClock(300);
  EXPECT_EQ(clicks, 3);  // moving out stops it
  host_->MoveMouse(Centre(b));
  host_->AdvanceClock(250);
  EXPECT_EQ(clicks, 5);  // moving back restarts it
  host_->ReleaseMouse(Centre(b));
  host_->Pump();
  EXPECT_EQ(clicks, 6);  // and the release clicks once more
  host_->AdvanceClock(300);
  EXPECT_EQ(clicks, 6);
  EXPECT_FALSE(b->RepeatRunning());
}

TEST_F(SkinCtrlButtons, SpaceShowsDownAndClicksOnRelease) {
  LoadHandSkin();
  auto* b = Make<TskSkinButton>(10, 10);
  b->OnClick = [this](TObject*) { ++clicks; };
  ShowForm();
  b->SetFocus();
  host_->Pump();
  ASSERT_TRUE(b->Focused());
  host_->AdvanceClock(200);
  EXPECT_EQ(ScreenColor(b, 20, 12), kActive);  // focus is active
  host_->KeyDown(VK_SPACE);
  host_->Pump();
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(ScreenColor(b, 20, 12), kDown);
  EXPECT_EQ(clicks, 0);
  host_->KeyUp(VK_SPACE);
  host_->Pump();
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(clicks, 1);
  host_->Key(VK_RETURN);
  host_->Pump();
  EXPECT_EQ(clicks, 2);
}

TEST_F(SkinCtrlButtons, EnterClicksTheDefaultButtonAndEscapeTheCancelOne) {
  auto* panel = new TskSkinPanel(form_);
  panel->SetParent(form_);
  panel->SetBounds(0, 0, 300, 100);
  auto* ok = new TskSkinButton(form_);
  ok->SetParent(panel);
  ok->SetBounds(10, 10, 60, 24);
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  auto* cancel = new TskSkinButton(form_);
  cancel->SetParent(panel);
  cancel->SetBounds(80, 10, 60, 24);
  cancel->SetCancel(true);
  auto* edit = new TskSkinPanel(form_);  // a focusable control that is no button
  edit->SetParent(form_);
  edit->SetBounds(0, 120, 50, 20);
  edit->SetTabStop(true);
  int okClicks = 0, cancelClicks = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  cancel->OnClick = [&](TObject*) { ++cancelClicks; };
  ShowForm();
  EXPECT_TRUE(ok->ActiveDefault());
  cancel->SetFocus();
  host_->Pump();
  EXPECT_FALSE(ok->ActiveDefault());
  EXPECT_TRUE(cancel->ActiveDefault());
  edit->SetFocus();
  host_->Pump();
  EXPECT_TRUE(ok->ActiveDefault());
  EXPECT_FALSE(cancel->ActiveDefault());
  host_->Key(VK_RETURN);
  host_->Pump();
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(form_->ModalResult(), mrOk);
  host_->Key(VK_ESCAPE);
  host_->Pump();
  EXPECT_EQ(cancelClicks, 1);
  EXPECT_EQ(okClicks, 1);
}

TEST_F(SkinCtrlButtons, DefaultLookStatesAndGlyphPlacement) {
  // No skin: 25 x 25 speed button, 16-pixel glyph, no caption, Margin -1, Spacing 1.
  auto* b = new TskSkinSpeedButton(form_);
  b->SetParent(form_);
  b->SetBounds(10, 10, 25, 25);
  TBitmap glyph(16, 16);
  FillRectPixels(glyph.Image(), {0, 0, 16, 16}, RGB(0, 0, 0));
  glyph.Image().SetPixelColor(0, 15, RGB(255, 0, 255));  // the transparent colour
  b->SetGlyph(glyph);
  const Bitmap img = Render(b);
  EXPECT_EQ(img.GetPixelColor(4, 10), RGB(0, 0, 0));
  EXPECT_EQ(img.GetPixelColor(3, 10), BtnFace());
  EXPECT_EQ(img.GetPixelColor(19, 10), RGB(0, 0, 0));
  EXPECT_EQ(img.GetPixelColor(20, 10), BtnFace());
  EXPECT_EQ(img.GetPixelColor(4, 19), BtnFace());  // the transparent pixel
  EXPECT_EQ(img.GetPixelColor(0, 0), ColorToRGB(clBtnShadow));
  ShowForm();
  host_->MoveMouse(Centre(b));
  host_->Pump();
  EXPECT_EQ(ScreenColor(b, 1, 1), ColorToRGB(13811126));
  EXPECT_EQ(ScreenColor(b, 0, 0), ColorToRGB(0x800000));
  host_->PressMouse(Centre(b));
  host_->Pump();
  EXPECT_EQ(ScreenColor(b, 1, 1), ColorToRGB(11899781));
  EXPECT_EQ(ScreenColor(b, 5, 11), RGB(0, 0, 0));  // shifted by one pixel
  EXPECT_EQ(ScreenColor(b, 4, 10), ColorToRGB(11899781));
  host_->ReleaseMouse(Centre(b));
  host_->Pump();
}

// A strip of four 8 x 8 cells, each of its own colour, on a 25 x 25 speed button without a
// record: the glyph's centre pixel tells which cell the look draws.
TEST_F(SkinCtrlButtons, GlyphCellFollowsLookEnabledStateAndCellCount) {
  const Color cells[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0)};
  struct Case {
    const char* what;
    int numGlyphs;
    bool mouseInside, enabled, groupedDown;
    int cell;
  };
  const Case cases[] = {
      {"normal", 4, false, true, false, 1},
      {"active, four cells", 4, true, true, false, 4},
      {"active, three cells", 3, true, true, false, 1},
      {"disabled, two cells", 2, false, false, false, 2},
      {"disabled, one cell", 1, false, false, false, 1},
      {"down and active", 3, true, true, true, 3},
      {"down and active, four cells", 4, true, true, true, 3},
      {"down without the mouse", 4, false, true, true, 1},
      {"down without the mouse, three cells", 3, false, true, true, 1},
  };
  ShowForm();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto* b = new TskSkinSpeedButton(form_);
    b->SetParent(form_);
    b->SetBounds(10, 10, 25, 25);
    b->SetNumGlyphs(c.numGlyphs);
    TBitmap glyph(8 * c.numGlyphs, 8);
    for (int i = 0; i < c.numGlyphs; ++i) FillRectPixels(glyph.Image(), {8 * i, 0, 8 * i + 8, 8}, cells[i]);
    for (int i = 0; i < c.numGlyphs; ++i)
      glyph.Image().SetPixelColor(8 * i, 7, RGB(255, 0, 255));  // each cell's transparent colour
    b->SetGlyph(glyph);
    if (c.groupedDown) {
      b->SetGroupIndex(1);
      b->SetDown(true);
    }
    b->SetEnabled(c.enabled);
    host_->MoveMouse(c.mouseInside ? Centre(b) : Outside());
    host_->Pump();
    ASSERT_EQ(b->MouseInside(), c.mouseInside);
    // The glyph sits at (8, 8), one pixel further in the down look; (11, 11) is inside both.
    EXPECT_EQ(Render(b).GetPixelColor(11, 11), cells[c.cell - 1]);
    delete b;
  }
}

TEST(SkinButtonLayout, PlacesGlyphAndText) {
  struct Case {
    TskButtonLayout layout;
    int margin;
    Point glyph, text;
  };
  // Client (0, 0, 60, 30): cx 30, cy 15; glyph 16 x 16, text 20 x 10, spacing 2.
  const Rect client(0, 0, 60, 30);
  const Case cases[] = {
      {TskButtonLayout::blGlyphLeft, 3, {3, 7}, {21, 10}},
      {TskButtonLayout::blGlyphRight, 3, {41, 7}, {19, 10}},
      {TskButtonLayout::blGlyphTop, 1, {22, 1}, {20, 19}},
      {TskButtonLayout::blGlyphBottom, 1, {22, 13}, {20, 1}},
      // Centred together: w = (16 + 20 + 2) / 2 = 19, h = (16 + 10 + 2) / 2 = 14.
      {TskButtonLayout::blGlyphLeft, -1, {11, 7}, {29, 10}},
      {TskButtonLayout::blGlyphRight, -1, {33, 7}, {11, 10}},
      {TskButtonLayout::blGlyphTop, -1, {22, 1}, {20, 19}},
      {TskButtonLayout::blGlyphBottom, -1, {22, 13}, {20, 1}},
  };
  for (const Case& c : cases) {
    const ButtonContentPlace p = PlaceButtonContent(c.layout, c.margin, 2, {16, 16}, {20, 10}, client);
    EXPECT_EQ(p.glyph, c.glyph) << static_cast<int>(c.layout) << " margin " << c.margin;
    EXPECT_EQ(p.text, c.text) << static_cast<int>(c.layout) << " margin " << c.margin;
  }
  // The 25 x 25 button with a 16-pixel glyph alone: x = 12 - 8.
  EXPECT_EQ(PlaceButtonContent(TskButtonLayout::blGlyphLeft, -1, 1, {16, 16}, {0, 0}, {0, 0, 25, 25}).glyph.x, 4);
}

TEST_F(SkinCtrlButtons, ProgramSkinButtonDrawsItsStatesAndCaptionColour) {
  LoadProgramSkin();
  auto* b = Make<TskSkinButton>(10, 10);
  b->SetCanFocused(false);
  b->SetBounds(10, 10, 75, 25);
  const Bitmap normal = Render(b);
  host_->MoveMouse(Centre(b));
  b->Perform(CM_MOUSEENTER);
  host_->AdvanceClock(200);
  const Bitmap active = Render(b);
  EXPECT_NE(normal.GetPixelColor(37, 1), active.GetPixelColor(37, 1));
  EXPECT_EQ(b->CurrentLook(), SkinButtonLook::Active);
  b->SetEnabled(false);
  EXPECT_EQ(b->CurrentLook(), SkinButtonLook::Disabled);
}

}  // namespace
