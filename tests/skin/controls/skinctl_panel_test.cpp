// Panels, tool bar, splitter and labels: client areas from the skin, the borderless look,
// background pictures, roll-up, check box, splitter thickness and drags, label colours.
#include "SkinCtrlsTestSupport.h"
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinLabel.h"
#include "skin/controls/skSkinPanel.h"
#include "skin/controls/skSkinSplitter.h"

using namespace skinctl;

namespace {

class SkinCtrlPanel : public SkinCtrlTest {
 protected:
  TskSkinPanel* MakePanel(TWinControl* parent, int w, int h) {
    auto* p = new TskSkinPanel(form_);
    p->SetParent(parent);
    p->SetBounds(0, 0, w, h);
    return p;
  }
  static bool HasInk(const Bitmap& b, const Rect& r, Color background) {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (b.GetPixelColor(x, y) != background) return true;
    return false;
  }
};

TEST_F(SkinCtrlPanel, ProgramSkinPanelInsetsAlignedChildrenByItsBorder) {
  LoadProgramSkin();
  TskSkinPanel* panel = MakePanel(form_, 200, 120);
  panel->SetSkinData(data_);
  auto* child = new TskSkinPanel(form_);
  child->SetParent(panel);
  child->SetAlign(TAlign::alClient);
  ASSERT_NE(panel->SkinIndex(), -1);
  EXPECT_EQ(panel->Element().skinRect.GetSize(), Size(59, 52));
  EXPECT_EQ(child->BoundsRect(), Rect(2, 2, 198, 118));
  // Growing the panel moves the right and bottom insets with it.
  panel->SetBounds(0, 0, 300, 150);
  EXPECT_EQ(child->BoundsRect(), Rect(2, 2, 298, 148));
  // Without a record the default look keeps one pixel of frame.
  panel->SetSkinDataName("nosuchsection");
  panel->ApplySkin();
  EXPECT_EQ(child->BoundsRect(), Rect(1, 1, 299, 149));
  panel->SetCaptionMode(true);
  EXPECT_EQ(child->BoundsRect(), Rect(1, 23, 299, 149));
}

TEST_F(SkinCtrlPanel, BorderlessPanelTilesOnlyTheClientPart) {
  LoadHandSkin();
  TskSkinPanel* panel = MakePanel(form_, 30, 25);
  panel->SetBorderStyle(TskSkinBorderStyle::bvNone);
  panel->SetSkinData(data_);
  const Bitmap img = Render(panel);
  for (Point p : {Point{0, 0}, Point{29, 24}, Point{15, 0}, Point{0, 12}, Point{15, 12}})
    EXPECT_EQ(img.GetPixelColor(p.x, p.y), kCentre) << p.x << "," << p.y;
  auto* child = new TskSkinPanel(form_);
  child->SetParent(panel);
  child->SetAlign(TAlign::alClient);
  EXPECT_EQ(child->BoundsRect(), Rect(0, 0, 30, 25));
  // A caption bar brings the border back.
  panel->SetCaptionMode(true);
  EXPECT_EQ(Render(panel).GetPixelColor(0, 0), kCorner);
}

TEST_F(SkinCtrlPanel, BackgroundPictureRepeatsOverThePanel) {
  LoadHandSkin();
  TskSkinPanel* panel = MakePanel(form_, 30, 26);
  panel->SetSkinDataName("bgpanel");
  panel->SetSkinData(data_);
  const Bitmap img = Render(panel);
  // Picture 1 is the 12 x 12 mask: white corner pixels, black elsewhere.
  EXPECT_EQ(img.GetPixelColor(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(img.GetPixelColor(12, 12), RGB(255, 255, 255));
  EXPECT_EQ(img.GetPixelColor(24, 24), RGB(255, 255, 255));
  EXPECT_EQ(img.GetPixelColor(5, 5), RGB(0, 0, 0));
  EXPECT_EQ(img.GetPixelColor(29, 25), RGB(0, 0, 0));
}

TEST_F(SkinCtrlPanel, RollsUpToItsBorderBandsAndBack) {
  LoadHandSkin();
  TskSkinPanel* panel = MakePanel(form_, 100, 200);
  panel->SetSkinData(data_);
  panel->SetCaptionMode(true);
  auto* child = new TskSkinButton(form_);
  child->SetParent(panel);
  // Without RollUpMode the state stays false.
  panel->SetRollUpState(true);
  EXPECT_FALSE(panel->RollUpState());
  panel->SetRollUpMode(true);
  int changes = 0;
  panel->OnChangeRollUpState = [&](TObject*) { ++changes; };
  panel->SetRollUpState(true);
  EXPECT_EQ(panel->Height(), 4);  // top and bottom bands of 2 pixels
  EXPECT_EQ(panel->RealHeight(), 200);
  EXPECT_FALSE(child->Visible());
  panel->SetRollUpState(false);
  EXPECT_EQ(panel->Height(), 200);
  EXPECT_EQ(panel->RealHeight(), -1);
  EXPECT_TRUE(child->Visible());
  EXPECT_EQ(changes, 2);

  // Without a record it keeps the default caption bar and one pixel.
  panel->SetSkinData(nullptr);
  panel->BeginSkinChange();
  panel->ApplySkin();
  panel->SetRollUpState(true);
  EXPECT_EQ(panel->Height(), 23);
}

TEST_F(SkinCtrlPanel, CaptionClickTogglesCheckedAndChildrenFollow) {
  TskSkinPanel* panel = MakePanel(form_, 120, 80);
  panel->SetCaptionMode(true);
  panel->SetCheckedMode(true);
  auto* child = new TskSkinButton(form_);
  child->SetParent(panel);
  child->SetBounds(10, 40, 50, 20);
  int checks = 0;
  panel->OnChecked = [&](TObject*) { ++checks; };
  ShowForm();
  host_->Click(ScreenPoint(panel, 60, 10));
  host_->Pump();
  EXPECT_TRUE(panel->Checked());
  EXPECT_TRUE(child->Enabled());
  host_->Click(ScreenPoint(panel, 60, 10));
  host_->Pump();
  EXPECT_FALSE(panel->Checked());
  EXPECT_FALSE(child->Enabled());
  EXPECT_EQ(checks, 2);
  host_->Click(ScreenPoint(panel, 60, 60));  // below the caption bar
  host_->Pump();
  EXPECT_FALSE(panel->Checked());
  // The default look draws the check box frame at (5, centre - 7).
  panel->SetChecked(true);
  const Bitmap img = Render(panel);
  EXPECT_EQ(img.GetPixelColor(5, 11 - 7), ColorToRGB(clBtnShadow));
  EXPECT_TRUE(HasInk(img, Rect(8, 6, 16, 14), BtnFace()));  // the tick
}

TEST_F(SkinCtrlPanel, DefaultLookBorders) {
  struct Case {
    TskSkinBorderStyle style;
    Color topLeft, bottomRight;
  };
  const Color face = BtnFace(), shadow = ColorToRGB(clBtnShadow), light = ColorToRGB(clBtnHighlight);
  for (const Case& c : {Case{TskSkinBorderStyle::bvFrame, shadow, shadow},
                        Case{TskSkinBorderStyle::bvRaised, light, shadow},
                        Case{TskSkinBorderStyle::bvLowered, shadow, light},
                        Case{TskSkinBorderStyle::bvNone, face, face}}) {
    TskSkinPanel* panel = MakePanel(form_, 20, 10);
    panel->SetBorderStyle(c.style);
    const Bitmap img = Render(panel);
    EXPECT_EQ(img.GetPixelColor(0, 5), c.topLeft);
    EXPECT_EQ(img.GetPixelColor(19, 5), c.bottomRight);
    EXPECT_EQ(img.GetPixelColor(10, 5), face);
    delete panel;
  }
}

TEST_F(SkinCtrlPanel, SkinnedCaptionIsDrawnInTheRecordColourInsideCaptionRect) {
  LoadHandSkin();
  TskSkinPanel* panel = MakePanel(form_, 100, 40);
  panel->SetSkinData(data_);
  // The hand skin's caption rect (2,0,10,2) lies across the top band: it grows with width.
  EXPECT_EQ(panel->CaptionRectAtSize(), Rect(2, 0, 98, 2));
  panel->SetCaption("W");
  const Bitmap img = Render(panel);
  EXPECT_EQ(img.GetPixelColor(50, 20), kCentre);  // nothing outside the caption rect
}

TEST_F(SkinCtrlPanel, ToolBarPassesSkinDataFlatAndCaptionsToItsButtons) {
  LoadHandSkin();
  auto* bar = new TskSkinToolBar(form_);
  bar->SetParent(form_);
  EXPECT_EQ(bar->Height(), 25);
  EXPECT_EQ(bar->BorderStyle(), TskSkinBorderStyle::bvNone);
  EXPECT_EQ(bar->SkinDataName(), "toolpanel");
  auto* b1 = new TskSkinSpeedButton(form_);
  b1->SetParent(bar);
  b1->SetWidthWithCaption(60);
  b1->SetWidthWithoutCaption(25);
  bar->SetSkinData(data_);
  EXPECT_EQ(b1->SkinData(), data_);
  bar->SetFlat(true);
  EXPECT_TRUE(b1->Transparent());
  bar->SetAutoShowHideCaptions(true);
  bar->SetShowCaptions(true);  // the button shows its caption already: no change
  EXPECT_EQ(b1->Width(), 25);
  bar->SetShowCaptions(false);
  EXPECT_FALSE(b1->ShowCaption());
  EXPECT_EQ(b1->Width(), 25);
  bar->SetShowCaptions(true);
  EXPECT_TRUE(b1->ShowCaption());
  EXPECT_EQ(b1->Width(), 60);
  bar->SetScrollOffset(-3);
  EXPECT_EQ(bar->ScrollOffset(), 0);
  bar->SetScrollTimerInterval(0);
  EXPECT_EQ(bar->ScrollTimerInterval(), 50);
}

TEST_F(SkinCtrlPanel, SplitterTakesTheStripThicknessAndDrawsIt) {
  LoadProgramSkin();
  auto* top = MakePanel(form_, 400, 100);
  top->SetAlign(TAlign::alTop);
  auto* splitter = new TskSkinSplitter(form_);
  splitter->SetParent(form_);
  splitter->SetAlign(TAlign::alTop);
  splitter->SetTop(150);
  splitter->SetMinSize(10);
  splitter->SetSkinDataName("hsplitter");
  splitter->SetSkinData(data_);
  EXPECT_EQ(splitter->Height(), 7);
  EXPECT_EQ(splitter->MinSize(), 7);
  // Without skin data: DefaultSize.
  splitter->SetSkinData(nullptr);
  EXPECT_EQ(splitter->Height(), 10);
  EXPECT_EQ(splitter->MinSize(), 10);
}

TEST_F(SkinCtrlPanel, SplitterStripAndDragResizeTheNeighbour) {
  LoadHandSkin();
  auto* top = MakePanel(form_, 400, 100);
  top->SetAlign(TAlign::alTop);
  auto* splitter = new TskSkinSplitter(form_);
  splitter->SetParent(form_);
  splitter->SetAlign(TAlign::alTop);
  splitter->SetTop(150);
  splitter->SetSkinDataName("hsplitter");
  splitter->SetSkinData(data_);
  auto* rest = MakePanel(form_, 400, 100);
  rest->SetAlign(TAlign::alClient);
  ShowForm();
  ASSERT_EQ(splitter->Height(), 5);
  ASSERT_EQ(splitter->Top(), 100);
  EXPECT_EQ(ScreenColor(splitter, 1, 2), kSplitEnd);
  EXPECT_EQ(ScreenColor(splitter, splitter->Width() - 1, 2), kSplitEnd);
  EXPECT_EQ(ScreenColor(splitter, 100, 2), kSplitMiddle);
  host_->PressMouse(ScreenPoint(splitter, 50, 2));
  host_->MoveMouse(ScreenPoint(splitter, 50, 32));
  host_->ReleaseMouse(ScreenPoint(splitter, 50, 32));
  host_->Pump();
  EXPECT_EQ(top->Height(), 130);
  EXPECT_EQ(splitter->Top(), 130);
  // A new skin with a thicker strip re-applies the thickness.
  LoadHandSkin(/*secondLook=*/true);
  EXPECT_EQ(splitter->Height(), 8);
}

TEST_F(SkinCtrlPanel, StdLabelTakesItsColourFromTheRecordAndEmbossesWhenDisabled) {
  LoadHandSkin();
  auto* label = new TskSkinStdLabel(form_);
  label->SetParent(form_);
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 80, 20);
  label->SetCaption("MMMM");
  label->SetSkinData(data_);
  EXPECT_TRUE(label->Transparent());
  TFont f;
  label->MakeTextFont(f);
  EXPECT_EQ(f.GetColor(), kLabelText);
  EXPECT_EQ(f.Height(), 13);
  // UseSkinFont off keeps the label's own face but still the record's colour.
  label->SetUseSkinFont(false);
  label->Font().SetHeight(-20);
  label->MakeTextFont(f);
  EXPECT_EQ(f.Height(), -20);
  EXPECT_EQ(f.GetColor(), kLabelText);
  label->SetUseSkinFont(true);

  ShowForm();
  auto inkCount = [&](Color c) {
    const Bitmap shot = host_->Screenshot();
    int n = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 80; ++x) {
        const Point p = ScreenPoint(label, x, y);
        if (shot.GetPixelColor(p.x, p.y) == c) ++n;
      }
    return n;
  };
  host_->Pump();
  EXPECT_GT(inkCount(kLabelText), 10);
  EXPECT_EQ(ScreenColor(label, 79, 19), ColorToRGB(form_->GetColor()));  // transparent
  label->SetEnabled(false);
  host_->Pump();
  EXPECT_EQ(inkCount(kLabelText), 0);
  EXPECT_GT(inkCount(ColorToRGB(clBtnShadow)), 10);
  EXPECT_GT(inkCount(ColorToRGB(clBtnHighlight)), 3);  // the offset highlight shows
}

TEST_F(SkinCtrlPanel, StdLabelAutoSizeMeasuresInTheSkinFont) {
  LoadHandSkin();
  auto* label = new TskSkinStdLabel(form_);
  label->SetParent(form_);
  label->SetCaption("Kavri");
  const int plainWidth = label->Width();
  TFont big;
  big.SetHeight(-30);
  label->SetDefaultFont(big);
  EXPECT_GT(label->Width(), plainWidth);  // no record: DefaultFont
  label->SetSkinData(data_);
  TFont f;
  label->MakeTextFont(f);
  EXPECT_EQ(f.Height(), 13);
  EXPECT_LT(label->Width(), plainWidth * 2);
  label->SetCaption("");
  EXPECT_GT(label->Height(), 0);  // an empty text still takes a line
}

}  // namespace
