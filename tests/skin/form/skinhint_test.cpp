// The skinned hint window on the headless host: its size, place, shape, translucency and
// pixels from the program's "HINTWINDOW" record or the plain look, the delayed hint at the
// pointer, the application's hints, and the frame objects' hints.
#include "SkinFormTestSupport.h"
#include "skin/data/skSkinHint.h"

namespace {

class SkinHintTest : public SkinFormTest {
 protected:
  void TearDown() override {
    Application->DestroyHintWindow();
    SkinFormTest::TearDown();
  }
  // A hint component on a shown form in the program's skin.
  struct Hinted {
    Skinned s;
    TskSkinHint* hint;
    TskSkinHintWindow* window;
  };
  Hinted MakeHinted(const std::vector<std::uint8_t>& package) {
    Skinned s = MakeForm(package, {100, 100, 500, 400});
    auto* hint = new TskSkinHint(s.form);
    hint->SetSkinData(s.data);
    return {s, hint, hint->HintWindow()};
  }
  const Bitmap& HintPictureOf(TskSkinData* data) {
    return data->ActivePictures().at(static_cast<std::size_t>(data->HintWindow().WindowPictureIndex));
  }
  Pixel ScreenPixel(Point p) {
    host_->Pump();
    return host_->Screenshot().At(p.x, p.y);
  }
  Rect WindowBounds(TskSkinHintWindow* w) {
    Rect r;
    GetWindowRect(w->Handle(), &r);
    return r;
  }
};

TEST_F(SkinHintTest, AShortTextTakesExactlyThePicturesSizeShapedByTheMask) {
  Hinted h = MakeHinted(StoredSkinBytes());
  const Bitmap& picture = HintPictureOf(h.s.data);
  h.window->ActivateHint(Rect(300, 300, 300, 300), "ab");
  ASSERT_TRUE(h.window->Layout().skinned);
  EXPECT_EQ(WindowBounds(h.window), Rect::FromSize(300, 300, picture.Width(), picture.Height()));
  EXPECT_TRUE(IsWindowVisible(h.window->Handle()));
  EXPECT_NE(GetActiveWindow(), h.window->Handle());
  // The mask rounds the corners away.
  ASSERT_TRUE(h.window->HintRegion().has_value());
  EXPECT_FALSE(h.window->HintRegion()->Contains({0, 0}));
  EXPECT_TRUE(h.window->HintRegion()->Contains({picture.Width() / 2, 1}));
  EXPECT_EQ(h.window->Handle()->WindowRegion() != nullptr, true);
  // A pixel of the frame part comes from the picture, on the screen.
  EXPECT_EQ(ScreenPixel({302, 313}), picture.At(2, 13));
  // The text changes pixels inside the client area only.
  const Bitmap withText = h.window->RenderImage();
  h.window->ActivateHint(Rect(300, 300, 300, 300), "");
  const Bitmap empty = h.window->RenderImage();
  const Rect client = h.window->Layout().clientRect;
  int inside = 0, outside = 0;
  for (int y = 0; y < empty.Height(); ++y)
    for (int x = 0; x < empty.Width(); ++x)
      if (withText.At(x, y) != empty.At(x, y)) ++(client.Contains({x, y}) ? inside : outside);
  EXPECT_GT(inside, 5);
  EXPECT_EQ(outside, 0);
}

TEST_F(SkinHintTest, ALongerTextGrowsThePictureByTheTextPastTheClientArea) {
  Hinted h = MakeHinted(StoredSkinBytes());
  const std::string text = "A hint text far wider than the picture";
  h.window->ActivateHint(Rect(300, 300, 300, 300), text);
  const TskHintLayout& l = h.window->Layout();
  const Rect c = h.s.data->HintWindow().ClientRect;  // 7,5,33,21 in a 40 x 26 picture
  EXPECT_EQ(l.size.cx, l.textSize.cx + c.left + 40 - c.right);
  EXPECT_EQ(l.size.cy, std::max(26, l.textSize.cy + c.top + 26 - c.bottom));
  EXPECT_EQ(l.clientRect, Rect(c.left, c.top, l.size.cx - (40 - c.right), c.bottom + l.size.cy - 26));
  EXPECT_EQ(l.rightTop, Point(h.s.data->HintWindow().RightTopPoint.x + l.size.cx - 40,
                              h.s.data->HintWindow().RightTopPoint.y));
  EXPECT_EQ(WindowBounds(h.window).Width(), l.size.cx);
  // Two lines: the picture grows in height as well.
  h.window->ActivateHint(Rect(300, 300, 300, 300), "one\ntwo\nthree");
  EXPECT_GT(h.window->Layout().size.cy, 26);
}

TEST_F(SkinHintTest, AHintPastTheScreenEdgeMovesBackByItsSizePlusTwo) {
  Hinted h = MakeHinted(StoredSkinBytes());
  struct Case {
    Point at;
    Point expected;  // with the 40 x 26 picture
  };
  const Case cases[] = {
      {{1250, 300}, {1250 - 42, 300}},  // right edge at 1290 > 1280
      {{1240, 300}, {1240, 300}},       // exactly at the edge: stays
      {{300, 780}, {300, 780 - 28}},    // bottom past 800
      {{1270, 790}, {1270 - 42, 790 - 28}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.at.x << "," << c.at.y);
    h.window->ActivateHint(Rect::FromSize(c.at, {0, 0}), "ab");
    EXPECT_EQ(WindowBounds(h.window).TopLeft(), c.expected);
  }
}

TEST_F(SkinHintTest, WithoutAHintPictureTheHintIsPlainInTheDefaultFont) {
  // The small skin has no hint record: its window picture index is -1.
  Hinted h = MakeHinted(TestSkinPackage());
  ASSERT_EQ(h.s.data->HintWindow().WindowPictureIndex, -1);
  h.window->ActivateHint(Rect(300, 300, 300, 300), "plain hint");
  EXPECT_FALSE(h.window->Layout().skinned);
  EXPECT_EQ(h.window->HintSkinData(), nullptr);
  const Size text = h.window->Layout().textSize;
  EXPECT_EQ(WindowBounds(h.window), Rect::FromSize(300, 300, text.cx + 4, text.cy + 4));
  EXPECT_FALSE(h.window->HintRegion().has_value());
  EXPECT_EQ(h.window->Handle()->WindowRegion(), nullptr);
  EXPECT_EQ(ScreenPixel({300, 300}), ColorToPixel(ColorToRGB(clBtnShadow)));
  EXPECT_EQ(ScreenPixel({301, 301}), ColorToPixel(ColorToRGB(clInfoBk)));
  // The default font decides the size.
  h.hint->DefaultFont().SetHeight(24);
  h.window->ActivateHint(Rect(300, 300, 300, 300), "plain hint");
  EXPECT_GT(h.window->Layout().textSize.cx, text.cx);
  // The program's skin without its skin font: the picture, the default font.
  Hinted p = MakeHinted(StoredSkinBytes());
  h.hint->SetActive(false);  // the first active component made serves
  p.hint->SetUseSkinFont(false);
  p.hint->DefaultFont().SetHeight(24);
  p.window->ActivateHint(Rect(300, 300, 300, 300), "plain hint");
  EXPECT_TRUE(p.window->Layout().skinned);
  EXPECT_EQ(p.window->Layout().textSize, h.window->Layout().textSize);
}

TEST_F(SkinHintTest, TranslucencyFollowsTheServingComponent) {
  Hinted h = MakeHinted(StoredSkinBytes());
  h.hint->SetAlphaBlend(true);
  h.hint->SetAlphaBlendValue(0);  // even the value 0 is applied the first time
  h.window->ActivateHint(Rect(300, 300, 300, 300), "ab");
  EXPECT_TRUE(GetWindowLong(h.window->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(h.window->Handle()->LayeredAlpha(), 0);
  h.hint->SetAlphaBlendValue(300);  // clamped
  h.window->ActivateHint(Rect(300, 300, 300, 300), "ab");
  EXPECT_EQ(h.window->Handle()->LayeredAlpha(), 255);
  h.hint->SetAlphaBlendValue(120);
  h.window->ActivateHint(Rect(300, 300, 300, 300), "ab");
  EXPECT_EQ(h.window->Handle()->LayeredAlpha(), 120);
  h.hint->SetAlphaBlend(false);
  h.window->ActivateHint(Rect(300, 300, 300, 300), "ab");
  EXPECT_FALSE(GetWindowLong(h.window->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(SkinHintTest, OnlyAnActiveComponentServesAndTheMainFormsComponentsTakeTurns) {
  Hinted h = MakeHinted(StoredSkinBytes());
  h.hint->SetActive(false);
  EXPECT_EQ(TskSkinHint::Serving(), nullptr);
  h.window->ActivateHint(Rect(300, 300, 300, 300), "ab");
  EXPECT_FALSE(h.window->HandleAllocated() && IsWindowVisible(h.window->Handle()));
  Application->SetMainForm(h.s.form);
  auto* second = new TskSkinHint(h.s.form);
  EXPECT_EQ(TskSkinHint::Serving(), second);
  h.hint->SetActive(true);
  EXPECT_FALSE(second->Active());
  EXPECT_EQ(TskSkinHint::Serving(), h.hint);
  // The second one's window draws with the serving component's skin.
  second->HintWindow()->ActivateHint(Rect(300, 300, 300, 300), "ab");
  EXPECT_EQ(second->HintWindow()->Serving(), h.hint);
  EXPECT_TRUE(second->HintWindow()->Layout().skinned);
  Application->SetMainForm(nullptr);
}

TEST_F(SkinHintTest, HintAtTheCursorWaitsForThePauseAndGoesAfterTheHidePause) {
  Hinted h = MakeHinted(StoredSkinBytes());
  host_->MoveMouse({400, 250});
  h.hint->ShowHintAtCursor("first");
  h.hint->ShowHintAtCursor("second");  // replaces the pending one
  host_->AdvanceClock(Application->HintPause() - 50);
  EXPECT_FALSE(h.window->HandleAllocated() && IsWindowVisible(h.window->Handle()));
  host_->AdvanceClock(60);
  ASSERT_TRUE(IsWindowVisible(h.window->Handle()));
  EXPECT_EQ(h.window->HintText(), "second");
  EXPECT_EQ(WindowBounds(h.window).TopLeft(), Point(400, 250 + skHintCursorDrop));
  host_->AdvanceClock(Application->HintHidePause() + 10);
  EXPECT_FALSE(IsWindowVisible(h.window->Handle()));
  // Hidden before its pause, it never shows.
  h.hint->ShowHintAtCursor("third");
  h.hint->HideHint();
  host_->AdvanceClock(Application->HintPause() + 10);
  EXPECT_FALSE(IsWindowVisible(h.window->Handle()));
}

TEST_F(SkinHintTest, TheApplicationsHintsUseTheSkinnedWindowWhileAComponentLives) {
  Hinted h = MakeHinted(StoredSkinBytes());
  EXPECT_EQ(Application->HintShortPause(), 100);
  auto* panel = new TCustomControl(h.s.form);
  panel->SetParent(h.s.form);
  panel->SetBounds(20, 20, 100, 60);
  panel->SetHint("Panel hint");
  panel->SetShowHint(true);
  bool asked = false;
  h.hint->OnShowHint = [&](std::string& text, bool&, THintInfo&) {
    asked = true;
    text = "Changed";
  };
  host_->Pump();
  const Point inside = panel->ClientToScreen({50, 30});
  host_->MoveMouse(inside);
  host_->AdvanceClock(Application->HintPause() + 10);
  host_->Pump();
  auto* w = dynamic_cast<TskSkinHintWindow*>(Application->HintWindow());
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(asked);
  EXPECT_EQ(w->HintText(), "Changed");
  EXPECT_TRUE(w->Layout().skinned);
  EXPECT_TRUE(IsWindowVisible(w->Handle()));
  // The skin goes while the hint shows: the hint goes with it.
  delete h.s.data;
  host_->Pump();
  EXPECT_FALSE(IsWindowVisible(w->Handle()));
  // The component gone, the plain hint window is back.
  delete h.hint;
  host_->MoveMouse({10, 10});
  host_->Pump();
  host_->MoveMouse(inside);
  host_->AdvanceClock(Application->HintPause() + 10);
  host_->Pump();
  ASSERT_NE(Application->HintWindow(), nullptr);
  EXPECT_EQ(dynamic_cast<TskSkinHintWindow*>(Application->HintWindow()), nullptr);
  EXPECT_EQ(Application->HintWindow()->Text(), "Panel hint");
}

TEST_F(SkinHintTest, CaptionButtonsShowTheirHintsThroughTheFramesHintComponent) {
  Hinted h = MakeHinted(StoredSkinBytes());
  TskActiveSkinObject* close = h.s.frame->FindObject("closebutton");
  ASSERT_NE(close, nullptr);
  const Point on{100 + close->ObjectRect.left + 4, 100 + close->ObjectRect.top + 4};
  const Point off{300, 300};
  auto hover = [&](Point p) {
    host_->MoveMouse(p);
    host_->AdvanceClock(60);  // the frame's tracking timer
  };
  auto shown = [&] { return h.window->HandleAllocated() && IsWindowVisible(h.window->Handle()); };
  // Without ShowObjectHint nothing shows.
  h.s.frame->SetSkinHint(h.hint);
  hover(on);
  host_->AdvanceClock(Application->HintPause() + 10);
  EXPECT_FALSE(shown());
  hover(off);
  h.s.frame->SetShowObjectHint(true);
  hover(on);
  host_->AdvanceClock(Application->HintPause() + 10);
  ASSERT_TRUE(shown());
  EXPECT_EQ(h.window->HintText(), "关闭");  // the built-in default hint
  hover(off);
  EXPECT_FALSE(shown());
  // The skin's texts give the default hints when linked.
  TskResourceStrData texts;
  texts.SetResStrings({"CLOSEBUTTON_HINT=Shut it", "MAXBUTTON_HINT=Bigger"});
  h.s.data->SetResourceStrData(&texts);
  host_->Pump();
  EXPECT_EQ(h.s.frame->FindObject("closebutton")->Hint, "Shut it");
  EXPECT_EQ(h.s.frame->FindObject("maxbutton")->Hint, "Bigger");
  // A press on the frame hides the hint at once.
  hover(on);
  host_->AdvanceClock(Application->HintPause() + 10);
  ASSERT_TRUE(shown());
  SendMessage(h.s.form->Handle(), WM_CANCELMODE, 0, 0);
  EXPECT_FALSE(shown());
  hover(off);
  h.s.data->SetResourceStrData(nullptr);
  // Without default hints a skin change leaves the records' own (empty) hints: none shows.
  h.s.frame->SetUseDefaultObjectHint(false);
  TskCompressedStoredSkin again;
  again.SetCompressedData(StoredSkinBytes());
  h.s.data->LoadStoredSkin(again);
  host_->Pump();
  EXPECT_EQ(h.s.frame->FindObject("closebutton")->Hint, "");
  hover(on);  // the new close button lies where the old one did
  host_->AdvanceClock(Application->HintPause() + 10);
  EXPECT_FALSE(shown());
  // The hint component destroyed: the frame forgets it.
  hover(off);
  delete h.hint;
  EXPECT_EQ(h.s.frame->SkinHint(), nullptr);
}

TEST_F(SkinHintTest, TheSizeAskedForIsTheSizeShownAndOnlyItsOwnLinksAreForgotten) {
  Hinted h = MakeHinted(StoredSkinBytes());
  for (const char* text : {"ab", "A hint text far wider than the picture", "one\ntwo"}) {
    SCOPED_TRACE(text);
    const Rect asked = h.window->CalcHintRect(0, text);
    h.window->ActivateHint(Rect(300, 300, 300, 300), text);
    EXPECT_EQ(asked, Rect(0, 0, WindowBounds(h.window).Width(), WindowBounds(h.window).Height()));
  }
  // Another component of the form going does not unlink the skin.
  delete new TskSkinData(h.s.form);
  EXPECT_EQ(h.hint->SkinData(), h.s.data);
  // Switching one component off leaves the others of the main form as they are.
  Application->SetMainForm(h.s.form);
  auto* second = new TskSkinHint(h.s.form);
  second->SetActive(true);
  EXPECT_FALSE(h.hint->Active());
  h.hint->SetActive(false);
  EXPECT_TRUE(second->Active());
  Application->SetMainForm(nullptr);
}

}  // namespace
