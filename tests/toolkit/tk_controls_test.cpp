// Plain control logic without pixels: image placement, speed button groups, label sizes,
// scroll bar ranges, panel insets, buttons from the keyboard.
#include <gtest/gtest.h>

#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "toolkit/Buttons.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace {

struct ImageCase {
  const char* name;
  int picW, picH;
  bool stretch, center, proportional;
  Rect expected;  // in a 100 x 50 control
};

class TkImagePlacement : public ::testing::TestWithParam<ImageCase> {};

TEST_P(TkImagePlacement, DestRect) {
  const ImageCase& c = GetParam();
  TImage img(nullptr);
  img.SetBounds(0, 0, 100, 50);
  img.Picture().Bitmap().SetSize(c.picW, c.picH);
  img.SetStretch(c.stretch);
  img.SetCenter(c.center);
  img.SetProportional(c.proportional);
  EXPECT_EQ(img.DestRect(), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TkImagePlacement,
    ::testing::Values(ImageCase{"Plain", 20, 10, false, false, false, Rect(0, 0, 20, 10)},
                      ImageCase{"Centered", 20, 10, false, true, false, Rect(40, 20, 60, 30)},
                      ImageCase{"Stretched", 20, 10, true, false, false, Rect(0, 0, 100, 50)},
                      ImageCase{"ProportionalWide", 200, 50, true, false, true, Rect(0, 0, 100, 25)},
                      ImageCase{"ProportionalTallCentered", 10, 100, true, true, true, Rect(47, 0, 52, 50)},
                      ImageCase{"ProportionalSmallStaysSmall", 20, 10, false, false, true, Rect(0, 0, 20, 10)},
                      ImageCase{"LargerThanControlIsClippedNotScaled", 300, 300, false, false, false, Rect(0, 0, 300, 300)}),
    [](const ::testing::TestParamInfo<ImageCase>& i) { return std::string(i.param.name); });

TEST(TkImage, EmptyPictureDrawsNothingAndAutoSizeFollowsThePicture) {
  TImage img(nullptr);
  EXPECT_TRUE(img.DestRect().IsEmpty());
  img.SetAutoSize(true);
  img.Picture().Bitmap().SetSize(33, 44);
  EXPECT_EQ(img.Width(), 33);
  EXPECT_EQ(img.Height(), 44);
}

struct InsetCase {
  TBevelCut outer, inner;
  int bevelWidth, borderWidth;
  TBorderStyle border;
  int inset;
};

class TkPanelInsets : public ::testing::TestWithParam<InsetCase> {};

TEST_P(TkPanelInsets, ChildrenAreAlignedInsideTheBorders) {
  const InsetCase& c = GetParam();
  TPanel p(nullptr);
  p.SetBounds(0, 0, 100, 80);
  p.SetBevelOuter(c.outer);
  p.SetBevelInner(c.inner);
  p.SetBevelWidth(c.bevelWidth);
  p.SetBorderWidth(c.borderWidth);
  p.SetBorderStyle(c.border);
  auto* child = new TPanel(&p);
  child->SetParent(&p);
  child->SetAlign(TAlign::alClient);
  EXPECT_EQ(child->BoundsRect(), Rect(c.inset, c.inset, 100 - c.inset, 80 - c.inset));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TkPanelInsets,
    ::testing::Values(InsetCase{TBevelCut::bvNone, TBevelCut::bvNone, 1, 0, TBorderStyle::bsNone, 0},
                      InsetCase{TBevelCut::bvRaised, TBevelCut::bvNone, 1, 0, TBorderStyle::bsNone, 1},
                      InsetCase{TBevelCut::bvRaised, TBevelCut::bvLowered, 2, 3, TBorderStyle::bsNone, 7},
                      InsetCase{TBevelCut::bvNone, TBevelCut::bvNone, 1, 0, TBorderStyle::bsSingle, 1},
                      InsetCase{TBevelCut::bvLowered, TBevelCut::bvNone, 1, 4, TBorderStyle::bsSingle, 6}));

TEST(TkScrollBar, ParamsClampThePositionToTheLastPage) {
  TScrollBar sb(nullptr);
  int changes = 0;
  sb.OnChange = [&](TObject*) { ++changes; };
  sb.SetParams(50, 0, 100);
  EXPECT_EQ(sb.Position(), 50);
  sb.SetPageSize(20);
  EXPECT_EQ(sb.Position(), 50);
  sb.SetPosition(95);
  EXPECT_EQ(sb.Position(), 81);  // Max - PageSize + 1
  sb.SetParams(81, 0, 30);       // a smaller range pulls it back
  EXPECT_EQ(sb.Position(), 11);
  sb.SetPageSize(500);  // no larger than the range
  EXPECT_EQ(sb.PageSize(), 31);
  EXPECT_EQ(sb.Position(), 0);
  EXPECT_EQ(changes, 4);
  // The thumb spans the track in proportion to the page.
  sb.SetBounds(0, 0, 117, 17);
  sb.SetParams(0, 0, 99);
  sb.SetPageSize(50);
  Rect thumb = sb.ThumbRect();
  EXPECT_EQ(thumb.left, sb.FirstButtonRect().right);
  EXPECT_EQ(thumb.Width(), (117 - 2 * 17) / 2);
  sb.SetPosition(51);
  EXPECT_EQ(sb.ThumbRect().right, sb.SecondButtonRect().left);
}

class TkControlsOnHost : public ::testing::Test {
 protected:
  void SetUp() override {
    auto host = std::make_unique<HeadlessHost>();
    host_ = host.get();
    WindowSystem::Install(std::move(host));
    form_ = new TForm(nullptr);
    form_->SetBounds(100, 100, 300, 200);
  }
  void TearDown() override {
    delete form_;
    WindowSystem::Shutdown();
  }
  Point Center(TControl* c) { return c->ClientToScreen({c->Width() / 2, c->Height() / 2}); }
  HeadlessHost* host_ = nullptr;
  TForm* form_ = nullptr;
};

TEST_F(TkControlsOnHost, GroupedSpeedButtonsStayDownOneAtATime) {
  TSpeedButton* b[3];
  for (int i = 0; i < 3; ++i) {
    b[i] = new TSpeedButton(form_);
    b[i]->SetParent(form_);
    b[i]->SetBounds(10 + 30 * i, 10, 25, 25);
    b[i]->SetGroupIndex(1);
  }
  auto* loose = new TSpeedButton(form_);
  loose->SetParent(form_);
  loose->SetBounds(200, 10, 25, 25);
  form_->Show();
  host_->Click(Center(b[0]));
  host_->Pump();
  EXPECT_TRUE(b[0]->Down());
  host_->Click(Center(b[2]));
  host_->Pump();
  EXPECT_FALSE(b[0]->Down());
  EXPECT_TRUE(b[2]->Down());
  host_->Click(Center(b[2]));  // without AllowAllUp one stays down
  host_->Pump();
  EXPECT_TRUE(b[2]->Down());
  b[1]->SetAllowAllUp(true);  // passed on to the whole group
  EXPECT_TRUE(b[2]->AllowAllUp());
  host_->Click(Center(b[2]));
  host_->Pump();
  EXPECT_FALSE(b[2]->Down());
  loose->SetDown(true);  // a button without a group never stays down
  EXPECT_FALSE(loose->Down());
  // Pressing and leaving before the release is no click.
  int clicks = 0;
  loose->OnClick = [&](TObject*) { ++clicks; };
  host_->PressMouse(Center(loose));
  host_->MoveMouse(form_->ClientToScreen({150, 150}));
  host_->ReleaseMouse(form_->ClientToScreen({150, 150}));
  host_->Pump();
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(loose->State(), TButtonState::bsUp);
}

TEST_F(TkControlsOnHost, LabelsSizeToTheirTextUnlessToldNotTo) {
  auto* l = new TLabel(form_);
  l->SetParent(form_);
  l->Font().SetHeight(-14);
  l->SetCaption("short");
  int shortWidth = l->Width();
  l->SetCaption("a much longer caption");
  EXPECT_GT(l->Width(), shortWidth);
  int lineHeight = l->Height();
  l->SetAutoSize(false);
  l->SetCaption("x");
  EXPECT_GT(l->Width(), shortWidth);  // kept
  l->SetAutoSize(true);
  l->SetWordWrap(true);
  l->SetWidth(40);
  l->SetCaption("several words that need more than one line");
  EXPECT_EQ(l->Width(), 40);
  EXPECT_GT(l->Height(), 2 * lineHeight - 1);
}

TEST_F(TkControlsOnHost, ButtonsClickWithSpaceAndEnterWhenFocused) {
  auto* b = new TButton(form_);
  b->SetParent(form_);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  form_->Show();
  b->SetFocus();
  host_->KeyDown(VK_SPACE);
  host_->Pump();
  EXPECT_TRUE(b->Pressed());
  EXPECT_EQ(clicks, 0);
  host_->KeyUp(VK_SPACE);
  host_->Pump();
  EXPECT_FALSE(b->Pressed());
  EXPECT_EQ(clicks, 1);
  host_->Key(VK_RETURN);
  host_->Pump();
  EXPECT_EQ(clicks, 2);
  b->SetEnabled(false);
  host_->Click(Center(b));
  host_->Pump();
  EXPECT_EQ(clicks, 2);
}

}  // namespace

namespace {

TEST_F(TkControlsOnHost, HoldingAScrollArrowRepeatsAfterADelay) {
  auto* sb = new TScrollBar(form_);
  sb->SetParent(form_);
  sb->SetBounds(10, 10, 200, 17);
  sb->SetParams(0, 0, 100);
  form_->Show();
  Point arrow = sb->ClientToScreen({195, 8});
  host_->PressMouse(arrow);
  host_->Pump();
  EXPECT_EQ(sb->Position(), 1);
  host_->AdvanceClock(TScrollBar::kRepeatDelay - 1);
  EXPECT_EQ(sb->Position(), 1);
  host_->AdvanceClock(1);
  EXPECT_EQ(sb->Position(), 2);
  host_->AdvanceClock(TScrollBar::kRepeatInterval * 3);
  EXPECT_EQ(sb->Position(), 5);
  host_->ReleaseMouse(arrow);
  host_->Pump();
  host_->AdvanceClock(1000);
  EXPECT_EQ(sb->Position(), 5);
}

}  // namespace
