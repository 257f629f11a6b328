// Frame behaviour on the headless host: maximize and restore, roll-up, minimized caption
// bars, size limits in the size loop, snapping, caption buttons, and skin messages.
#include "SkinFormTestSupport.h"
#include "toolkit/Menus.h"
#include "skin/controls/skSkinPanel.h"

namespace {

class SkinFormStates : public SkinFormTest {};

TEST_F(SkinFormStates, CaptionDoubleClickMaximizesToTheWorkAreaAndRestores) {
  Skinned s = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
  DoubleClick({120, 108});  // on the caption object
  EXPECT_EQ(s.frame->WindowState(), TskWindowState::Maximized);
  EXPECT_EQ(Bounds(s.form), Rect(0, 0, 1280, 760));
  EXPECT_TRUE(Hwnd(s.form)->WindowRegion()->Contains({1270, 750}));
  // A maximized window cannot be dragged by its caption.
  Drag({60, 8}, {260, 208});
  EXPECT_EQ(Bounds(s.form), Rect(0, 0, 1280, 760));
  DoubleClick({20, 8});
  EXPECT_EQ(s.frame->WindowState(), TskWindowState::Normal);
  EXPECT_EQ(Bounds(s.form), Rect(100, 100, 300, 200));
}

TEST_F(SkinFormStates, MaximizeButtonPressedAndReleasedOnIt) {
  Skinned s = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
  // The maximize button lies 80 - 46 = 34 pixels from the right edge.
  const Point button{300 - 34 + 6, 110};
  host_->MoveMouse(button);
  host_->Click(button);
  host_->Pump();
  EXPECT_EQ(s.frame->WindowState(), TskWindowState::Maximized);
  EXPECT_EQ(Bounds(s.form), Rect(0, 0, 1280, 760));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SkinFormStates, ReleasingOffAPressedButtonRunsNoCommand) {
  Skinned s = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
  bool closed = false;
  s.form->OnClose = [&](TObject*, TCloseAction&) { closed = true; };
  const Point close{300 - 18 + 6, 110};  // close button: 18 from the right edge
  host_->MoveMouse(close);
  host_->PressMouse(close);
  host_->Pump();
  auto* button = dynamic_cast<TskSkinButtonObject*>(s.frame->FindObject("closebutton"));
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->FDown);
  EXPECT_EQ(Bounds(s.form), Rect(100, 100, 300, 200));  // no move loop began
  host_->MoveMouse({200, 160});
  host_->AdvanceClock(60);  // the tracking timer notices the mouse left the button
  host_->ReleaseMouse({200, 160});
  host_->Pump();
  EXPECT_FALSE(closed);
  EXPECT_FALSE(button->FDown);
  EXPECT_EQ(GetCapture(), nullptr);
  host_->MoveMouse(close);
  host_->Click(close);
  host_->Pump();
  EXPECT_TRUE(closed);
}

TEST_F(SkinFormStates, FixedDialogRollsUpToItsFrameHeight) {
  Skinned s = MakeForm(TestSkinPackage(), {100, 100, 300, 200}, TFormBorderStyle::bsDialog);
  int changes = 0;
  s.frame->OnChangeRollUpState = [&](TObject*) { ++changes; };
  DoubleClick({120, 108});
  EXPECT_TRUE(s.frame->RollUpState());
  EXPECT_EQ(Bounds(s.form), Rect(100, 100, 300, 128));  // 48 - 20: the frame without client
  DoubleClick({120, 108});
  EXPECT_FALSE(s.frame->RollUpState());
  EXPECT_EQ(Bounds(s.form), Rect(100, 100, 300, 200));
  EXPECT_EQ(changes, 2);
  // Without the roll-up icon nothing happens.
  s.frame->SetBorderIcons(biSkinSystemMenu | biSkinMinimize | biSkinMaximize);
  s.frame->SetRollUpState(true);
  EXPECT_FALSE(s.frame->RollUpState());
  EXPECT_FALSE(s.frame->FindObject("closebutton") == nullptr);
}

TEST_F(SkinFormStates, MinimizedFormsBecomeCaptionBarsAlongTheBottom) {
  Skinned a = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
  Skinned b = MakeForm(TestSkinPackage(), {400, 100, 600, 200});
  a.frame->ChangeWindowState(TskWindowState::Minimized);
  b.frame->ChangeWindowState(TskWindowState::Minimized);
  EXPECT_EQ(Bounds(a.form), Rect(0, 760 - 28, 80, 760));
  EXPECT_EQ(Bounds(b.form), Rect(80, 760 - 28, 160, 760));
  // On a minimized window everything but the caption is an object: no sizing.
  EXPECT_EQ(a.frame->HitTest({1, 1}), skHitObject);
  EXPECT_EQ(a.frame->HitTest({20, 8}), skHitCaption);
  a.frame->ChangeWindowState(TskWindowState::Normal);
  EXPECT_EQ(Bounds(a.form), Rect(100, 100, 300, 200));
}

TEST_F(SkinFormStates, SizeLoopKeepsTheSkinsLimits) {
  Skinned s = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
  EXPECT_EQ(s.frame->HitTest({197, 50}), skHitRight);
  EXPECT_EQ(s.frame->HitTest({194, 97}), skHitBottomRight);
  EXPECT_EQ(s.frame->HitTest({100, 50}), skHitClient);
  Drag({297, 150}, {120, 150});  // the mask cuts the outer 2 pixels away
  EXPECT_EQ(Bounds(s.form), Rect(100, 100, 180, 200));  // never narrower than the picture
  s.frame->SetMinWidth(150);
  s.frame->SetMinHeight(60);
  Drag({174, 197}, {110, 110});
  EXPECT_EQ(Bounds(s.form), Rect(100, 100, 250, 160));
  // The region followed the drag.
  EXPECT_TRUE(Hwnd(s.form)->WindowRegion()->Contains({144, 54}));
  EXPECT_FALSE(Hwnd(s.form)->WindowRegion()->Contains({149, 59}));
  // The maximum is the work area, lowered by MaxWidth.
  s.frame->SetMaxWidth(400);
  Drag({247, 130}, {1200, 130});
  EXPECT_EQ(Bounds(s.form).Width(), 400);
}

TEST_F(SkinFormStates, MagneticEdgesSnapWithinTheMargin) {
  Skinned s = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
  s.frame->SetMagnetic(true);
  s.frame->SetMagneticSize(5);
  Drag({120, 108}, {24, 108});  // left edge would be at 4
  EXPECT_EQ(Bounds(s.form).left, 0);
  Drag({20, 108}, {25, 108});  // left edge at 5: stays
  EXPECT_EQ(Bounds(s.form).left, 5);
  s.frame->SetMagnetic(false);
  Drag({25, 108}, {24, 108});
  EXPECT_EQ(Bounds(s.form).left, 4);
}

TEST_F(SkinFormStates, SystemMenuEntriesFollowTheState) {
  Skinned s = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
  auto actions = [&] {
    std::vector<TskSysMenuAction> out;
    for (const TskSysMenuEntry& e : s.frame->SystemMenuEntries()) out.push_back(e.action);
    return out;
  };
  using A = TskSysMenuAction;
  EXPECT_EQ(actions(), (std::vector<A>{A::Minimize, A::Maximize, A::RollUp, A::Separator, A::Close}));
  EXPECT_EQ(s.frame->SystemMenuEntries().front().caption, "最小化(&N)");
  EXPECT_EQ(s.frame->SystemMenuEntries().back().shortcut, "Alt+F4");
  s.frame->ChangeWindowState(TskWindowState::Maximized);
  EXPECT_EQ(actions(), (std::vector<A>{A::Minimize, A::Restore, A::RollUp, A::Separator, A::Close}));
  s.frame->RunSysMenuAction(A::RollUp);
  EXPECT_TRUE(s.frame->RollUpState());
  s.frame->RunSysMenuAction(A::Restore);  // rolled up while maximized: unrolls first
  EXPECT_FALSE(s.frame->RollUpState());
  EXPECT_EQ(s.frame->WindowState(), TskWindowState::Maximized);
  s.frame->RunSysMenuAction(A::Restore);
  EXPECT_EQ(Bounds(s.form), Rect(100, 100, 300, 200));
}

TEST_F(SkinFormStates, SkinMessagesActOnlyOnTheirOwnSkinData) {
  Skinned a = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
  Skinned b = MakeForm({}, {400, 100, 700, 300});
  // A panel on b bound to a's skin: a's change reaches it through b's frame, and its
  // ApplySkin (no record in this skin) takes the default width again.
  auto* panel = new TskSkinPanel(b.form);
  panel->SetParent(b.form);
  panel->SetSkinData(a.data);
  panel->SetDefaultWidth(70);
  panel->SetBounds(0, 0, 30, 20);
  int changes = 0;
  b.frame->OnChangeSkinData = [&](TObject*) { ++changes; };
  // Reloading a's skin reaches both forms; b's frame ignores it, a's control hears it.
  TskCompressedStoredSkin again;
  again.SetCompressedData(TestSkinPackage());
  a.data->LoadStoredSkin(again);
  host_->Pump();
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(b.frame->SkinLoaded());
  EXPECT_EQ(panel->Width(), 70);
  EXPECT_TRUE(a.frame->SkinLoaded());
  EXPECT_NE(a.frame->FindObject("maxbutton"), nullptr);
  // A skin for b takes it from the plain frame to the skinned one.
  b.data->LoadStoredSkin(again);
  host_->Pump();
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(b.frame->SkinLoaded());
  EXPECT_EQ(b.form->ClientRect(), Rect(0, 0, 300 - 16, 200 - 28));
}

}  // namespace
