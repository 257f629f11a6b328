// Frame objects on the headless host: which caption buttons show and react for the border
// icons, hidden caption buttons and custom objects; the state images of a button drawn in
// the frame; the fade of a morphing button; animated objects on the virtual clock.
#include "FrameObjectSkin.h"

using namespace frameobj;

namespace {

class FrameObjects : public FrameObjectTest {};

// Per object, laid-out ones first then frame ones, in the order close, max, min, sys, def,
// roll, tray: 'V' visible and enabled, 'v' visible but inert, '-' hidden (and inert), 'h'
// hidden but enabled (a custom object nobody asked for).
TEST_F(FrameObjects, BorderIconsHiddenButtonsAndCustomObjectsDecideWhatShowsAndReacts) {
  struct Case {
    const char* what;
    TskBorderIcons icons;
    bool hide;
    bool showAgain;  // hidden, then shown again
    const char* showCustom;  // the object the handler shows, or null for no handler
    const char* laidOut;
    const char* framed;
  };
  const TskBorderIcons def = biSkinSystemMenu | biSkinMinimize | biSkinMaximize | biSkinRollUp;
  const TskBorderIcons all = def | biSkinMinimizeToTray;
  const Case cases[] = {
      {"the default icons", def, false, false, nullptr, "VVVVhV-", "VVVVhVv"},
      {"no icons: close only", 0, false, false, nullptr, "V---h--", "Vvvvhvv"},
      {"every icon", all, false, false, nullptr, "VVVVhVV", "VVVVhVV"},
      {"maximize and tray", biSkinMaximize | biSkinMinimizeToTray, false, false, nullptr, "VV--h-V", "VVvvhvV"},
      {"only the system menu", biSkinSystemMenu, false, false, nullptr, "V--Vh--", "VvvVhvv"},
      {"caption buttons hidden", all, true, false, nullptr, "-------", "vvvvvvv"},
      {"caption buttons shown again", def, true, true, nullptr, "VVVVhV-", "VVVVhVv"},
      {"the handler shows the laid-out custom object", def, false, false, "ldef", "VVVVVV-", "VVVVhVv"},
      {"the handler shows the framed custom object", def, false, false, "fdef", "VVVVhV-", "VVVVVVv"},
      {"shown again, the handler's choice stands", def, true, true, "ldef", "VVVVVV-", "VVVVhVv"},
  };
  Skinned s = Make();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::pair<std::string, bool>> asked;
    if (c.showCustom) {
      s.frame->OnActivateCustomObject = [&, want = std::string(c.showCustom)](std::string_view name, bool& visible) {
        asked.emplace_back(std::string(name), visible);
        visible = name == want;
      };
    } else {
      s.frame->OnActivateCustomObject = nullptr;
    }
    s.frame->SetHideCaptionButtons(false);
    asked.clear();
    s.frame->SetBorderIcons(c.icons);
    if (c.hide) s.frame->SetHideCaptionButtons(true);
    if (c.showAgain) {
      asked.clear();
      s.frame->SetHideCaptionButtons(false);
    }
    host_->Pump();
    for (int group = 0; group < 2; ++group) {
      const char* want = group == 0 ? c.laidOut : c.framed;
      for (std::size_t i = 0; i < kCommands.size(); ++i) {
        const std::string name = (group == 0 ? "l" : "f") + kCommands[i];
        TskActiveSkinObject* o = s.frame->FindObject(name);
        ASSERT_NE(o, nullptr) << name;
        const char w = want[i];
        EXPECT_EQ(o->Visible, w == 'V' || w == 'v') << name;
        EXPECT_EQ(o->Enabled, w == 'V' || w == 'h') << name;
      }
    }
    if (c.showCustom) {
      // Asked once for each custom object, each time with the answer preset to hidden.
      const std::vector<std::pair<std::string, bool>> want = {{"ldef", false}, {"fdef", false}};
      EXPECT_EQ(asked, want);
    }
  }
}

// A laid-out object draws itself from its own picture wherever it is placed; a framed one
// is the frame picture's, and stays drawn when it is inert.
TEST_F(FrameObjects, LaidOutObjectsDrawFromTheirPictureFramedOnesAreTheFrames) {
  Skinned s = Make();
  // The laid-out buttons run from the buttons rectangle's right edge (moved with the
  // window), each 10 wide with 2 between: close, max, min, roll; tray and custom hidden.
  const struct {
    const char* name;
    int right;
  } placed[] = {{"lclose", 256}, {"lmax", 244}, {"lmin", 232}, {"lroll", 220}};
  for (const auto& p : placed) {
    SCOPED_TRACE(p.name);
    const Rect r = s.frame->FindObject(p.name)->ObjectRect;
    EXPECT_EQ(r, Rect(p.right - 10, 4, p.right, 14));
    EXPECT_EQ(OffObject(s, r, s.frame->FindObject(p.name)->SkinRect), 0);
  }
  // The system-menu object sits at the caption's left edge, centred on its height.
  EXPECT_EQ(s.frame->FindObject("lsys")->ObjectRect, Rect(10, 7, 20, 17));
  EXPECT_EQ(s.frame->FindObject("caption")->ObjectRect, Rect(20, 4, 80 + kDW, 20));
  // Where the tray button would go the frame shows through.
  EXPECT_EQ(OffFrame(s, Rect(198, 4, 208, 14)), 0);
  // With the tray icon it takes that place.
  s.frame->SetBorderIcons(biSkinSystemMenu | biSkinMinimize | biSkinMaximize | biSkinRollUp | biSkinMinimizeToTray);
  host_->Pump();
  EXPECT_EQ(s.frame->FindObject("ltray")->ObjectRect, Rect(198, 4, 208, 14));
  EXPECT_EQ(OffObject(s, Rect(198, 4, 208, 14), Rect(60, 0, 70, 10)), 0);
  // Framed objects follow the top-right corner; an inert one is still drawn by the frame
  // and takes no mouse input.
  s.frame->SetBorderIcons(0);
  host_->Pump();
  TskActiveSkinObject* fmin = s.frame->FindObject("fmin");
  EXPECT_EQ(fmin->ObjectRect, Rect(118 + kDW, 21, 126 + kDW, 29));
  EXPECT_EQ(OffFrame(s, fmin->ObjectRect), 0);
  Hover(CentreOf(s, "fmin"));
  EXPECT_EQ(s.frame->ActiveObject(), -1);
  host_->Click(CentreOf(s, "fmin"));
  host_->Pump();
  EXPECT_EQ(s.frame->WindowState(), TskWindowState::Normal);
  EXPECT_EQ(OffFrame(s, fmin->ObjectRect), 0);
  // A live one becomes the active object under the mouse.
  Hover(CentreOf(s, "fclose"));
  EXPECT_EQ(s.frame->ActiveObject(), 8);  // caption, seven laid-out, then fclose
}

// The framed maximize button's images: its own for hover, press, inactive and disabled
// and, while the window is maximized, the restore set of each.
TEST_F(FrameObjects, AFramedButtonShowsTheImageOfItsState) {
  Skinned s = Make();
  auto* max = dynamic_cast<TskSkinStdButtonObject*>(s.frame->FindObject("fmax"));
  ASSERT_NE(max, nullptr);
  auto shows = [&](const Rect& src) { return OffObject(s, max->ObjectRect, src) == 0; };
  EXPECT_EQ(OffFrame(s, max->ObjectRect), 0);
  Hover(CentreOf(s, "fmax"));
  EXPECT_TRUE(shows(kActiveRect));
  host_->PressMouse(CentreOf(s, "fmax"));
  host_->Pump();
  EXPECT_TRUE(max->FDown);
  EXPECT_TRUE(shows(kDownRect));
  // Off the button while it is held: it is drawn as the frame draws it, and the release
  // there runs nothing.
  Hover(ScreenOf(s, {60, 10}));
  EXPECT_EQ(OffFrame(s, max->ObjectRect), 0);
  host_->ReleaseMouse(ScreenOf(s, {60, 10}));
  host_->Pump();
  EXPECT_FALSE(max->FDown);
  EXPECT_EQ(s.frame->WindowState(), TskWindowState::Normal);
  // Inactive: the inactive image (the roll-up button has one too).
  host_->FocusOtherProgram();
  host_->Pump();
  EXPECT_TRUE(shows(kInactiveRect));
  EXPECT_EQ(OffObject(s, s.frame->FindObject("froll")->ObjectRect, kInactiveRect), 0);
  SetActiveWindow(Hwnd(s.form));
  host_->Pump();
  EXPECT_EQ(OffFrame(s, max->ObjectRect), 0);
  // Maximized: the restore images, normal, under the mouse, pressed and inactive.
  host_->AdvanceClock(600);
  Hover(CentreOf(s, "fmax"));
  host_->Click(CentreOf(s, "fmax"));
  host_->Pump();
  ASSERT_EQ(s.frame->WindowState(), TskWindowState::Maximized);
  EXPECT_EQ(max->ObjectRect, Rect(1280 - 50, 21, 1280 - 42, 29));
  Hover(ScreenOf(s, {600, 300}));
  EXPECT_TRUE(shows(kRestoreRect));
  Hover(CentreOf(s, "fmax"));
  EXPECT_TRUE(shows(kRestoreActiveRect));
  host_->PressMouse(CentreOf(s, "fmax"));
  host_->Pump();
  EXPECT_TRUE(shows(kRestoreDownRect));
  Hover(ScreenOf(s, {600, 10}));
  EXPECT_TRUE(shows(kRestoreRect));  // held, but the mouse is off it
  host_->ReleaseMouse(ScreenOf(s, {600, 10}));
  host_->Pump();
  EXPECT_EQ(s.frame->WindowState(), TskWindowState::Maximized);
  // Inactive, the button's own inactive image wins over the restore one.
  host_->FocusOtherProgram();
  host_->Pump();
  EXPECT_TRUE(shows(kInactiveRect));
  SetActiveWindow(Hwnd(s.form));
  host_->Pump();
  s.frame->ChangeWindowState(TskWindowState::Normal);
  host_->Pump();
  // Without the maximize icon it is inert and shows its disabled image, active or not.
  s.frame->SetBorderIcons(biSkinSystemMenu);
  host_->Pump();
  max = dynamic_cast<TskSkinStdButtonObject*>(s.frame->FindObject("fmax"));
  EXPECT_TRUE(shows(kDisabledRect));
  host_->FocusOtherProgram();
  host_->Pump();
  EXPECT_TRUE(shows(kDisabledRect));
  // An inert button without a disabled image keeps the frame's look, inactive or not.
  EXPECT_EQ(OffFrame(s, s.frame->FindObject("froll")->ObjectRect), 0);
}

// The framed minimize button fades in 0.2 steps every 20 ms, under the mouse up to
// exactly 1 and away from it down to exactly 0, each step blending the two images.
TEST_F(FrameObjects, AMorphingButtonFadesInStepsOnTheClock) {
  Skinned s = Make();
  TskActiveSkinObject* min = s.frame->FindObject("fmin");
  ASSERT_TRUE(min->Morphing);
  const Point probe{min->ObjectRect.left + 3, min->ObjectRect.top + 3};
  const int normalR = PixelR(At(s.form, probe.x, probe.y));
  const int activeR = PixelR(ObjectPixel(kActiveRect.left + 3, kActiveRect.top + 3));
  ASSERT_GT(normalR, activeR);
  host_->MoveMouse(CentreOf(s, "fmin"));
  host_->AdvanceClock(50);  // the tracking timer finds the button
  ASSERT_EQ(s.frame->FindObject("fmin"), s.frame->Objects(s.frame->ActiveObject()));
  // The fade began with the enter; its ticks run every 20 ms from there.
  std::vector<double> rising;
  std::vector<int> reds;
  for (int i = 0; i < 7; ++i) {
    rising.push_back(min->MorphKf);
    reds.push_back(PixelR(At(s.form, probe.x, probe.y)));
    host_->AdvanceClock(20);
  }
  // The tracking timer and the morph timer run from different starts, so the first
  // sample may already have taken a step; each step is 0.2 and the end is exactly 1.
  for (std::size_t i = 1; i < rising.size(); ++i) {
    const double step = rising[i] - rising[i - 1];
    EXPECT_TRUE(std::abs(step - 0.2) < 1e-9 || (rising[i] == 1.0 && step < 0.2 + 1e-9)) << i << ": " << step;
  }
  EXPECT_EQ(min->MorphKf, 1.0);
  for (std::size_t i = 1; i < reds.size(); ++i) {
    if (rising[i - 1] < 1.0) EXPECT_LT(reds[i], reds[i - 1]) << i;
    if (rising[i] > 0.0 && rising[i] < 1.0) EXPECT_GT(reds[i], activeR) << i;
  }
  EXPECT_EQ(OffObject(s, min->ObjectRect, kActiveRect), 0);
  // Away: down to exactly 0, and the frame's own image again.
  host_->MoveMouse(ScreenOf(s, {60, 10}));
  host_->AdvanceClock(60);
  EXPECT_GT(min->MorphKf, 0.0);
  EXPECT_LT(min->MorphKf, 1.0);
  const int midR = PixelR(At(s.form, probe.x, probe.y));
  EXPECT_GT(midR, activeR);
  EXPECT_LT(midR, normalR);
  host_->AdvanceClock(200);
  EXPECT_EQ(min->MorphKf, 0.0);
  EXPECT_EQ(OffFrame(s, min->ObjectRect), 0);
}

// An animated button steps through its strip on the animation timer: one frame every
// interval (counted from 25 in 25 ms ticks), forward under the mouse and back away from it.
TEST_F(FrameObjects, AnimatedObjectsStepThroughTheirFramesOnTheClock) {
  Skinned s = Make();
  auto* anim = dynamic_cast<TskSkinAnimateObject*>(s.frame->FindObject("anim"));
  ASSERT_NE(anim, nullptr);
  ASSERT_TRUE(anim->Visible && anim->Enabled);
  EXPECT_EQ(anim->TimerInterval, 100);
  auto frame = [&](int k) {
    return OffObject(s, anim->ObjectRect, kAnimFirstFrame.Translated(8 * (k - 1), 0)) == 0;
  };
  EXPECT_EQ(anim->ObjectRect, Rect(20, 21, 28, 29));
  EXPECT_TRUE(frame(1));
  host_->MoveMouse(CentreOf(s, "anim"));
  host_->AdvanceClock(50);  // the tracking timer finds it: the animation starts
  ASSERT_TRUE(anim->MouseIn);
  // From the enter: 25 + 25 + 25 + 25 reaches 100 on the third tick.
  std::vector<int> frames;
  for (int i = 0; i < 12; ++i) {
    host_->AdvanceClock(25);
    frames.push_back(anim->CurrentFrame);
    EXPECT_TRUE(frame(anim->CurrentFrame)) << i;
  }
  // Where the enter fell between ticks decides the phase; the steps are three ticks apart
  // and stop at the last frame, the object going still.
  std::vector<int> steps;
  for (std::size_t i = 1; i < frames.size(); ++i)
    if (frames[i] != frames[i - 1]) steps.push_back(static_cast<int>(i));
  ASSERT_GE(steps.size(), 2u);
  for (std::size_t i = 1; i < steps.size(); ++i) EXPECT_EQ(steps[i] - steps[i - 1], 3);
  EXPECT_EQ(frames.back(), 4);
  EXPECT_FALSE(anim->Active);
  // Away from it: back to the first frame, where it stops.
  host_->MoveMouse(ScreenOf(s, {60, 10}));
  host_->AdvanceClock(60);
  EXPECT_TRUE(anim->Active);
  EXPECT_FALSE(anim->Increment);
  host_->AdvanceClock(400);
  EXPECT_EQ(anim->CurrentFrame, 1);
  EXPECT_FALSE(anim->Active);
  EXPECT_TRUE(frame(1));
}

TEST_F(FrameObjects, ACyclingAnimationWrapsAndAnActivationResetsIt) {
  Skinned s = Make();
  auto* anim = dynamic_cast<TskSkinAnimateObject*>(s.frame->FindObject("animcycle"));
  ASSERT_NE(anim, nullptr);
  EXPECT_EQ(anim->TimerInterval, 25);  // raised to the timer's own period
  host_->MoveMouse(CentreOf(s, "animcycle"));
  host_->AdvanceClock(50);
  ASSERT_TRUE(anim->Active);
  // One frame per tick, after the last the first, and on.
  std::vector<int> frames;
  for (int i = 0; i < 6; ++i) {
    host_->AdvanceClock(25);
    frames.push_back(anim->CurrentFrame);
    EXPECT_EQ(OffObject(s, anim->ObjectRect, kAnimFirstFrame.Translated(8 * (anim->CurrentFrame - 1), 0)), 0) << i;
  }
  for (std::size_t i = 1; i < frames.size(); ++i) EXPECT_EQ(frames[i], frames[i - 1] % 4 + 1) << i;
  EXPECT_TRUE(anim->Active);
  // Another window taking the activation resets the objects: frame 1, still.
  host_->FocusOtherProgram();
  host_->Pump();
  EXPECT_EQ(anim->CurrentFrame, 1);
  EXPECT_FALSE(anim->Active);
  EXPECT_FALSE(anim->MouseIn);
}

}  // namespace
