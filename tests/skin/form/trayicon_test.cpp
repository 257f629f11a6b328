// The tray icon on the headless host: clicks told apart by the click timer, the animation,
// the index and hint limits, the menu at the pointer, and the frame's way into the tray.
#include "SkinFormTestSupport.h"

#include <chrono>
#include <functional>

#include "skin/form/skTrayIcon.h"
#include "tests/support/SessionBus.h"
#include "toolkit/Bitmaps.h"
#include "toolkit/ImgList.h"
#include "toolkit/Menus.h"
#include "toolkit/Reader.h"
#include "skin/controls/skSkinCtrls.h"

namespace {

class TrayIconTest : public SkinFormTest {
 protected:
  // A list of `count` 16 x 16 images, image i filled with red 10 * (i + 1).
  TImageList* MakeList(TComponent* owner, int count) {
    auto* list = new TImageList(owner);
    list->SetWidth(16);
    list->SetHeight(16);
    for (int i = 0; i < count; ++i) {
      TBitmap b(16, 16);
      b.Image().Fill(MakePixel(10 * (i + 1), 0, 0));
      list->Add(b, nullptr);
    }
    return list;
  }
  // Which image of MakeList the tray shows now (-1: another picture).
  static int Shown(const TskTrayIcon& icon) {
    const auto& pixmaps = icon.Item().IconPixmaps();
    if (pixmaps.empty()) return -1;
    const int red = pixmaps.front().argb[1];
    return red % 10 == 0 && red > 0 ? red / 10 - 1 : -1;
  }
  const unsigned dct = GetDoubleClickTime();
};

struct Clicks {
  int click = 0, dbl = 0;
  std::vector<std::string> mouse;
  void Wire(TskTrayIcon& t) {
    t.OnClick = [this](TObject*) { ++click; };
    t.OnDblClick = [this](TObject*) { ++dbl; };
    auto name = [](TMouseButton b) {
      return b == TMouseButton::mbLeft ? "left" : b == TMouseButton::mbRight ? "right" : "middle";
    };
    t.OnMouseDown = [this, name](TObject*, TMouseButton b, TShiftState, int x, int y) {
      mouse.push_back(std::string("down ") + name(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    t.OnMouseUp = [this, name](TObject*, TMouseButton b, TShiftState, int x, int y) {
      mouse.push_back(std::string("up ") + name(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
  }
};

TEST_F(TrayIconTest, ASingleClickFiresOnClickOnceAfterTheDoubleClickTime) {
  Skinned s = MakeForm({});
  auto* tray = new TskTrayIcon(s.form);
  Clicks c;
  c.Wire(*tray);
  tray->Activate({50, 60});
  EXPECT_EQ(c.mouse, (std::vector<std::string>{"down left 50,60", "up left 50,60"}));
  EXPECT_EQ(c.click, 0);
  host_->AdvanceClock(dct - 20);
  EXPECT_EQ(c.click, 0);
  host_->AdvanceClock(40);
  EXPECT_EQ(c.click, 1);
  host_->AdvanceClock(5 * dct);
  EXPECT_EQ(c.click, 1);
  EXPECT_EQ(c.dbl, 0);
  EXPECT_FALSE(tray->ClickTimerRunning());
}

TEST_F(TrayIconTest, ADoubleClickFiresOnlyOnDblClick) {
  Skinned s = MakeForm({});
  auto* tray = new TskTrayIcon(s.form);
  Clicks c;
  c.Wire(*tray);
  tray->Activate({5, 5});
  host_->AdvanceClock(dct / 3);
  tray->Activate({5, 5});
  EXPECT_EQ(c.dbl, 1);
  host_->AdvanceClock(5 * dct);
  EXPECT_EQ(c.click, 0);
  EXPECT_EQ(c.dbl, 1);
  // The next click after it is a single click again.
  tray->Activate({5, 5});
  host_->AdvanceClock(dct + 10);
  EXPECT_EQ(c.click, 1);
  EXPECT_EQ(c.dbl, 1);
}

TEST_F(TrayIconTest, ClicksFartherApartThanTheDoubleClickTimeAreTwoClicks) {
  Skinned s = MakeForm({});
  auto* tray = new TskTrayIcon(s.form);
  Clicks c;
  c.Wire(*tray);
  tray->Activate({5, 5});
  host_->AdvanceClock(dct + 10);
  tray->Activate({5, 5});
  host_->AdvanceClock(dct + 10);
  EXPECT_EQ(c.click, 2);
  EXPECT_EQ(c.dbl, 0);
}

TEST_F(TrayIconTest, APressHeldPastTheDoubleClickTimeClicksOnRelease) {
  Skinned s = MakeForm({});
  auto* tray = new TskTrayIcon(s.form);
  Clicks c;
  c.Wire(*tray);
  tray->TrayMessage(WM_LBUTTONDOWN, {1, 1});
  host_->AdvanceClock(dct + 10);
  EXPECT_EQ(c.click, 0);
  tray->TrayMessage(WM_LBUTTONUP, {1, 1});
  EXPECT_EQ(c.click, 1);
  host_->AdvanceClock(5 * dct);
  EXPECT_EQ(c.click, 1);
}

TEST_F(TrayIconTest, MiddleAndRightButtonsAndADisabledIcon) {
  Skinned s = MakeForm({});
  auto* tray = new TskTrayIcon(s.form);
  Clicks c;
  c.Wire(*tray);
  tray->SecondaryActivate({7, 8});
  tray->ContextMenu({9, 10});
  EXPECT_EQ(c.mouse, (std::vector<std::string>{"down middle 7,8", "up middle 7,8", "down right 9,10", "up right 9,10"}));
  tray->SetEnabled(false);
  tray->Activate({1, 1});
  tray->ContextMenu({1, 1});
  host_->AdvanceClock(2 * dct);
  EXPECT_EQ(c.mouse.size(), 4u);
  EXPECT_EQ(c.click, 0);
}

TEST_F(TrayIconTest, AnUnknownPositionIsThePointers) {
  Skinned s = MakeForm({});
  auto* tray = new TskTrayIcon(s.form);
  Clicks c;
  c.Wire(*tray);
  host_->MoveMouse({321, 123});
  host_->Pump();
  tray->ContextMenu({0, 0});
  EXPECT_EQ(c.mouse.front(), "down right 321,123");
}

TEST_F(TrayIconTest, CyclingThreeImagesShowsEachInTurnAndReportsTheNext) {
  Skinned s = MakeForm({});
  auto* tray = new TskTrayIcon(s.form);
  tray->SetIconList(MakeList(s.form, 3));
  tray->SetIconIndex(2);
  tray->SetAnimateTimerInterval(100);
  std::vector<int> next;
  tray->OnCycle = [&](TObject*, int n) { next.push_back(n); };
  tray->SetCycleIcons(true);
  EXPECT_EQ(tray->IconIndex(), 0);  // switching on starts from the first
  std::vector<int> shown;
  for (int i = 0; i < 5; ++i) {
    host_->AdvanceClock(100);
    shown.push_back(Shown(*tray));
  }
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 0, 1}));
  EXPECT_EQ(next, (std::vector<int>{1, 2, 0, 1, 2}));
  tray->SetCycleIcons(false);
  host_->AdvanceClock(1000);
  EXPECT_EQ(next.size(), 5u);
  EXPECT_FALSE(tray->AnimationRunning());
}

TEST_F(TrayIconTest, CyclingWithoutAListReportsZero) {
  Skinned s = MakeForm({});
  auto* tray = new TskTrayIcon(s.form);
  tray->SetAnimateTimerInterval(50);
  std::vector<int> next;
  tray->OnCycle = [&](TObject*, int n) { next.push_back(n); };
  tray->SetCycleIcons(true);
  host_->AdvanceClock(100);
  EXPECT_EQ(next, (std::vector<int>{0, 0}));
}

TEST_F(TrayIconTest, TheIndexIsClampedToTheList) {
  Skinned s = MakeForm({});
  struct Case {
    int count, set, index;
  };
  for (const Case& c : {Case{4, 10, 3}, Case{4, 2, 2}, Case{4, -5, 0}, Case{1, 1, 0}, Case{0, 3, 0}}) {
    auto* tray = new TskTrayIcon(s.form);
    if (c.count > 0) tray->SetIconList(MakeList(s.form, c.count));
    tray->SetIconIndex(c.set);
    EXPECT_EQ(tray->IconIndex(), c.index) << c.count << " " << c.set;
    if (c.count > 0) {
      EXPECT_EQ(Shown(*tray), c.index) << c.count << " " << c.set;
    }
    delete tray;
  }
}

TEST_F(TrayIconTest, AListThatGoesAwayLeavesTheIconWorking) {
  Skinned s = MakeForm({});
  auto* tray = new TskTrayIcon(s.form);
  TImageList* list = MakeList(s.form, 3);
  tray->SetIconList(list);
  tray->SetIconIndex(2);
  tray->SetAnimateTimerInterval(10);
  tray->SetCycleIcons(true);
  delete list;
  EXPECT_EQ(tray->IconList(), nullptr);
  EXPECT_EQ(tray->IconIndex(), 0);
  host_->AdvanceClock(30);
  tray->SetIconIndex(3);
  EXPECT_EQ(tray->IconIndex(), 0);
}

TEST_F(TrayIconTest, TheToolTipShowsAtMost127CharactersOfTheHint) {
  Skinned s = MakeForm({});
  auto* tray = new TskTrayIcon(s.form);
  std::string wide;
  for (int i = 0; i < 200; ++i) wide += "\xE7\x88\xB1";  // 爱
  struct Case {
    std::string hint;
    bool show;
    std::string tip;
  };
  for (const Case& c : {Case{std::string(200, 'a'), true, std::string(127, 'a')},
                        Case{std::string(127, 'b'), true, std::string(127, 'b')},
                        Case{wide, true, wide.substr(0, 127 * 3)}, Case{"short", true, "short"},
                        Case{"hidden", false, ""}}) {
    tray->SetShowHint(c.show);
    tray->SetHint(c.hint);
    EXPECT_EQ(tray->TipText(), c.tip) << c.hint.size();
    EXPECT_EQ(tray->Item().ToolTipText(), c.tip) << c.hint.size();
    EXPECT_EQ(tray->Hint(), c.hint);
  }
}

TEST_F(TrayIconTest, TheContextMenuOpensTheSkinnedMenuAtThePointer) {
  Skinned s = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
  auto* menu = new TskSkinPopupMenu(s.form);
  auto* item = new TMenuItem(menu);
  item->SetCaption("Show");
  menu->Items()->Add(item);
  auto* tray = new TskTrayIcon(s.form);
  tray->SetPopupMenu(menu);
  Clicks c;
  c.Wire(*tray);
  tray->ContextMenu({600, 400});
  host_->Pump();
  ASSERT_TRUE(s.frame->SkinMenu()->Visible());
  ASSERT_EQ(s.frame->SkinMenu()->PopupCount(), 1);
  Rect r;
  GetWindowRect(s.frame->SkinMenu()->Popups(0)->Handle(), &r);
  EXPECT_EQ(r.left, 600);
  EXPECT_EQ(r.top, 400);
  EXPECT_EQ(menu->PopupComponent(), tray);
  EXPECT_EQ(c.mouse.front(), "down right 600,400");
  s.frame->SkinMenu()->Hide();
  // A left click opens it only with PopupByLeftButton.
  tray->Activate({500, 300});
  EXPECT_FALSE(s.frame->SkinMenu()->Visible());
  tray->SetPopupByLeftButton(true);
  host_->AdvanceClock(2 * dct);
  tray->Activate({500, 300});
  EXPECT_TRUE(s.frame->SkinMenu()->Visible());
  s.frame->SkinMenu()->Hide();
}

TEST_F(TrayIconTest, ADoubleClickRunsTheMenusDefaultItem) {
  Skinned s = MakeForm({});
  auto* menu = new TPopupMenu(s.form);
  int ran = 0;
  for (int i = 0; i < 3; ++i) {
    auto* item = new TMenuItem(menu);
    item->SetCaption("item" + std::to_string(i));
    if (i > 0) item->SetDefault(true);
    item->OnClick = [&ran, i](TObject*) { ran = ran * 10 + i; };
    menu->Items()->Add(item);
  }
  auto* tray = new TskTrayIcon(s.form);
  tray->SetPopupMenu(menu);
  tray->Activate({1, 1});
  tray->Activate({1, 1});
  EXPECT_EQ(ran, 1);  // the first default item only
  menu->SetAutoPopup(false);
  host_->AdvanceClock(2 * dct);
  tray->Activate({1, 1});
  tray->Activate({1, 1});
  EXPECT_EQ(ran, 1);
}

TEST_F(TrayIconTest, TheFrameHidesToTheTrayAndComesBackOnADoubleClick) {
  Skinned s = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
  auto* tray = new TskTrayIcon(s.form);
  EXPECT_TRUE(tray->IconVisible());
  s.frame->SetTrayIcon(tray);
  EXPECT_FALSE(tray->IconVisible());  // shown only while in the tray
  ASSERT_NE(s.frame->TrayMenu(), nullptr);
  EXPECT_EQ(tray->PopupMenu(), s.frame->TrayMenu());
  TMenuItem* root = s.frame->TrayMenu()->Items();
  ASSERT_EQ(root->Count(), 3);
  EXPECT_EQ(root->Items(0)->Name(), "TRAY_SKF_RESTORE");
  EXPECT_EQ(root->Items(1)->Caption(), "-");
  EXPECT_EQ(root->Items(2)->Name(), "TRAY_SKF_CLOSE");

  int toTray = 0, fromTray = 0;
  s.frame->OnMinimizeToTray = [&](TObject*) { ++toTray; };
  s.frame->OnRestoreFromTray = [&](TObject*) { ++fromTray; };
  s.frame->HideToTray();
  host_->Pump();
  EXPECT_FALSE(s.form->Visible());
  EXPECT_TRUE(tray->IconVisible());
  EXPECT_EQ(toTray, 1);
  tray->Activate({10, 10});
  tray->Activate({10, 10});
  host_->Pump();
  EXPECT_TRUE(s.form->Visible());
  EXPECT_FALSE(IsIconic(s.form->Handle()));
  EXPECT_FALSE(tray->IconVisible());
  EXPECT_EQ(fromTray, 1);

  // With AlwaysShowInTray the icon stays after coming back; Restore in its menu brings back.
  s.frame->SetAlwaysShowInTray(true);
  s.frame->HideToTray();
  host_->Pump();
  EXPECT_FALSE(s.form->Visible());
  root->Items(0)->Click();
  host_->Pump();
  EXPECT_TRUE(s.form->Visible());
  EXPECT_TRUE(tray->IconVisible());
  EXPECT_EQ(fromTray, 2);
}

TEST_F(TrayIconTest, MinimizingTheMainFormHidesItInTheTray) {
  Skinned s = MakeForm({}, {100, 100, 300, 200});
  Application->SetMainForm(s.form);
  auto* tray = new TskTrayIcon(s.form);
  tray->HideIcon();
  Application->Minimize();
  host_->Pump();
  EXPECT_FALSE(s.form->Visible());
  EXPECT_TRUE(tray->IconVisible());
  tray->ShowMainForm();
  host_->Pump();
  EXPECT_TRUE(s.form->Visible());
  EXPECT_FALSE(IsIconic(s.form->Handle()));
  // Without MinimizeToTray a minimize stays a minimize.
  tray->SetMinimizeToTray(false);
  tray->HideIcon();
  Application->Minimize();
  host_->Pump();
  EXPECT_TRUE(IsIconic(s.form->Handle()));
  EXPECT_FALSE(tray->IconVisible());
  delete tray;
  Application->SetMainForm(nullptr);
}

TEST_F(TrayIconTest, TheTrayMenusCloseClosesTheFormAndAFrameGoneLeavesTheIconSafe) {
  Skinned s = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
  auto* other = new TForm(nullptr);
  auto* tray = new TskTrayIcon(other);
  s.frame->SetTrayIcon(tray);
  bool closed = false;
  s.form->OnClose = [&](TObject*, TCloseAction&) { closed = true; };
  s.frame->TrayMenu()->Items()->Items(2)->Click();
  host_->Pump();
  EXPECT_TRUE(closed);
  delete s.form;
  EXPECT_EQ(tray->PopupMenu(), nullptr);
  EXPECT_FALSE(tray->OnDblClick);
  tray->Activate({1, 1});
  tray->Activate({1, 1});
  tray->ContextMenu({1, 1});
  host_->AdvanceClock(2 * dct);
  delete other;
}

TEST_F(TrayIconTest, AStoredFormWiresItsTrayIconMenuListAndFrame) {
  RegisterSkinControlClasses();
  RegisterTrayIconClass();
  auto* form = new TForm(nullptr);
  ReadComponentResource(form, R"(object TrayForm: TForm
  Left = 10
  Top = 10
  Width = 200
  Height = 120
  object skSkinForm1: TskSkinForm
    TrayIcon = skTrayIcon1
    AlwaysShowInTray = True
  end
  object Menu1: TskSkinPopupMenu
  end
  object Images1: TImageList
  end
  object skTrayIcon1: TskTrayIcon
    Hint = 'Stored hint'
    IconVisible = False
    ShowHint = True
    PopupMenu = Menu1
    IconList = Images1
    MinimizeToTray = False
    PopupByLeftButton = True
    AnimateTimerInterval = 250
  end
end
)", nullptr);
  auto* tray = dynamic_cast<TskTrayIcon*>(form->FindComponent("skTrayIcon1"));
  auto* frame = TskSkinForm::Find(form);
  ASSERT_TRUE(tray && frame);
  EXPECT_EQ(frame->TrayIcon(), tray);
  EXPECT_TRUE(frame->AlwaysShowInTray());
  EXPECT_EQ(tray->PopupMenu(), form->FindComponent("Menu1"));  // its own menu, whatever the order
  EXPECT_EQ(tray->IconList(), form->FindComponent("Images1"));
  EXPECT_EQ(tray->Hint(), "Stored hint");
  EXPECT_EQ(tray->Item().ToolTipText(), "Stored hint");
  EXPECT_FALSE(tray->IconVisible());
  EXPECT_FALSE(tray->MinimizeToTray());
  EXPECT_TRUE(tray->PopupByLeftButton());
  EXPECT_EQ(tray->AnimateTimerInterval(), 250u);
  EXPECT_TRUE(tray->OnDblClick);  // the frame's way back
  delete form;
}

TEST_F(TrayIconTest, MinimizedOnStartKeepsTheMainFormHiddenAndTheIconShown) {
  RegisterSkinControlClasses();
  RegisterTrayIconClass();
  auto* form = new TForm(nullptr);
  ReadComponentResource(form, R"(object StartForm: TForm
  object skTrayIcon1: TskTrayIcon
    IconVisible = False
    MinimizeToTray = False
    MinimizedOnStart = True
  end
end
)", nullptr);
  auto* tray = dynamic_cast<TskTrayIcon*>(form->FindComponent("skTrayIcon1"));
  ASSERT_NE(tray, nullptr);
  EXPECT_TRUE(tray->IconVisible());
  EXPECT_TRUE(tray->MinimizeToTray());
  EXPECT_FALSE(Application->ShowMainForm());
  Application->SetShowMainForm(true);
  delete form;
}

// The same icon on a private session bus, with the test as the panel: the clicks and the
// menu come over the bus and the message loop's timer pumps it.
class TrayIconBusTest : public TrayIconTest {
 protected:
  void SetUp() override {
    TrayIconTest::SetUp();
    if (!kavri_test::OnPath("dbus-run-session")) GTEST_SKIP() << "dbus-run-session is not installed";
    ASSERT_TRUE(bus.Start()) << "dbus-run-session gave no bus";
    watcher = std::make_unique<kavri_test::Watcher>();
  }
  void TearDown() override {
    TrayIconTest::TearDown();
    watcher.reset();
  }
  // Runs the loop's timers and the watcher until `done` (five seconds of real time at most).
  // Runs the loop until `done`, the virtual clock moving `stepMs` a turn (0: the item is
  // processed directly, so a slow machine cannot stretch what must happen in no time).
  bool Pump(const std::function<bool()>& done, int stepMs = 50, TrayItem* item = nullptr) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < until) {
      if (stepMs > 0) host_->AdvanceClock(stepMs);
      if (item) item->Process();
      host_->Pump();
      watcher->Process();
      if (done()) return true;
      pollfd fd{sd_bus_get_fd(watcher->Bus()), static_cast<short>(sd_bus_get_events(watcher->Bus())), 0};
      ::poll(&fd, 1, 5);
    }
    return done();
  }
  kavri_test::PrivateBus bus;
  std::unique_ptr<kavri_test::Watcher> watcher;
};

TEST_F(TrayIconBusTest, ThePanelsClicksAndMenuArriveThroughTheLoop) {
  Skinned s = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
  auto* menu = new TskSkinPopupMenu(s.form);
  auto* item = new TMenuItem(menu);
  item->SetCaption("Show");
  menu->Items()->Add(item);
  auto* tray = new TskTrayIcon(s.form);
  tray->SetPopupMenu(menu);
  tray->SetHint(std::string(130, 'h'));
  Clicks c;
  c.Wire(*tray);
  ASSERT_TRUE(Pump([&] { return tray->Item().Registered(); }));
  ASSERT_EQ(watcher->registered, (std::vector<std::string>{tray->Item().BusName()}));
  EXPECT_EQ(tray->Item().ToolTipText(), std::string(127, 'h'));

  int answer = 0;
  ASSERT_TRUE(watcher->CallItem(tray->Item().BusName(), "Activate", 40, 50, &answer));
  ASSERT_TRUE(Pump([&] { return c.click == 1; }));
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(c.dbl, 0);
  EXPECT_EQ(c.mouse.front(), "down left 40,50");

  // Two activations in a row are a double click.
  int first = 0, second = 0;
  watcher->CallItem(tray->Item().BusName(), "Activate", 40, 50, &first);
  watcher->CallItem(tray->Item().BusName(), "Activate", 40, 50, &second);
  // Both arrive within the double-click time however slow the bus is: the clock stands.
  ASSERT_TRUE(Pump([&] { return second != 0; }, 0, &tray->Item()));
  host_->AdvanceClock(3 * dct);  // long past the double-click time
  host_->Pump();
  EXPECT_EQ(c.dbl, 1);
  EXPECT_EQ(c.click, 1);

  answer = 0;
  ASSERT_TRUE(watcher->CallItem(tray->Item().BusName(), "ContextMenu", 640, 420, &answer));
  // The menu may show before the panel hears the answer: wait for both.
  ASSERT_TRUE(Pump([&] { return s.frame->SkinMenu()->Visible() && answer != 0; }));
  EXPECT_EQ(answer, 1);
  Rect r;
  GetWindowRect(s.frame->SkinMenu()->Popups(0)->Handle(), &r);
  EXPECT_EQ(r.TopLeft(), Point(640, 420));
  s.frame->SkinMenu()->Hide();
}

TEST_F(TrayIconBusTest, HiddenTheIconLeavesTheBusAndShownItRegistersAgain) {
  Skinned s = MakeForm({});
  auto* tray = new TskTrayIcon(s.form);
  ASSERT_TRUE(Pump([&] { return tray->Item().Registered(); }));
  tray->HideIcon();
  EXPECT_FALSE(tray->Item().Shown());
  tray->ShowIcon();
  ASSERT_TRUE(Pump([&] { return tray->Item().Registered(); }));
  EXPECT_EQ(watcher->registered.size(), 2u);
}

}  // namespace
