// Skinned menus in use: keyboard through the application-wide hook, accelerators, the
// submenu wait on the virtual clock, clicks, outside presses, the close and command
// messages, activation, and the popup menu component's ways of opening.
#include "tests/skin/form/SkinMenuTestSupport.h"

#include "platform/std/StdPopupMenu.h"

using namespace skinmenu;

namespace {

const std::vector<ItemSpec> kMixed = {
    {"&Alpha"}, {"-"}, {"&Beta", false}, {"&Gamma"}, {"&Delta"},
};

}  // namespace

TEST_F(SkinMenuTest, KeyboardSkipsSeparatorsAndDisabledItems) {
  LoadProgramSkin();
  Fill(kMixed);
  Open({700, 100}, data_.get());
  TskSkinPopupWindow* p = Level(0);
  EXPECT_EQ(p->ActiveItem(), 0);
  EXPECT_TRUE(menu_->InMenuMode());
  struct Step {
    int key;
    int expect;
  };
  const Step steps[] = {{VK_DOWN, 3}, {VK_DOWN, 4}, {VK_DOWN, 0}, {VK_UP, 4}, {VK_UP, 3}, {VK_UP, 0}, {VK_UP, 4}};
  for (const Step& s : steps) {
    Key(s.key);
    EXPECT_EQ(p->ActiveItem(), s.expect);
    for (int i = 0; i < p->ItemCount(); ++i) EXPECT_EQ(p->Items(i)->Active(), i == s.expect) << i;
  }
  // The keys were the menu's: the form's controls never saw them.
  Key(VK_RETURN);
  EXPECT_EQ(clicks, std::vector<std::string>{"Delta"});
  EXPECT_EQ(menu_->PopupCount(), 0);
  EXPECT_FALSE(menu_->Visible());
  EXPECT_FALSE(menu_->InMenuMode());
}

TEST_F(SkinMenuTest, EnterRunsTheFirstItemWhenNothingMoved) {
  Fill(kMixed);
  Open({700, 100}, nullptr);
  Key(VK_RETURN);
  EXPECT_EQ(clicks, std::vector<std::string>{"Alpha"});
}

TEST_F(SkinMenuTest, AcceleratorsClickTheirItem) {
  LoadProgramSkin();
  struct Case {
    int key;
    std::vector<std::string> clicked;
    bool stillOpen;
  };
  const Case cases[] = {
      {'G', {"Gamma"}, false},
      {'D', {"Delta"}, false},
      {'B', {}, true},  // disabled: nothing runs, the menu stays
      {'Q', {}, true},  // no such key
  };
  Fill(kMixed);
  for (const Case& c : cases) {
    clicks.clear();
    Open({700, 100}, data_.get());
    Key(c.key);
    EXPECT_EQ(clicks, c.clicked) << static_cast<char>(c.key);
    EXPECT_EQ(menu_->Visible(), c.stillOpen) << static_cast<char>(c.key);
    menu_->Hide();
  }
}

TEST_F(SkinMenuTest, EscapeClosesTheLastLevelOnly) {
  LoadProgramSkin();
  Fill({{"&File", true, 0, {"&New", "&Open"}}, {"&Quit"}});
  Open({700, 100}, data_.get());
  Key(VK_RIGHT);
  ASSERT_EQ(menu_->PopupCount(), 2);
  EXPECT_TRUE(Level(0)->Items(0)->Down());
  EXPECT_EQ(Level(1)->ActiveItem(), 0);
  Key(VK_ESCAPE);
  ASSERT_EQ(menu_->PopupCount(), 1);
  EXPECT_FALSE(Level(0)->Items(0)->Down());
  EXPECT_TRUE(menu_->InMenuMode());
  // Left needs two levels; with one it does nothing.
  Key(VK_LEFT);
  EXPECT_EQ(menu_->PopupCount(), 1);
  Key(VK_ESCAPE);
  EXPECT_EQ(menu_->PopupCount(), 0);
  EXPECT_FALSE(menu_->InMenuMode());
  EXPECT_TRUE(clicks.empty() || clicks == std::vector<std::string>{"File"});
  // The control that opened the menu heard that it closed, and no command.
  EXPECT_EQ(control_->heard, std::vector<unsigned>{kCloseMenus});
}

TEST_F(SkinMenuTest, SubmenuOpensAfterTheWaitBesideItsItem) {
  LoadProgramSkin();
  Fill({{"First"}, {"More", true, 0, {"Inner one", "Inner two"}}, {"Last"}});
  Open({700, 100}, data_.get());
  Hover(ItemCentre(0, 1));
  EXPECT_EQ(Level(0)->ActiveItem(), 1);
  EXPECT_NE(menu_->WaitItem(), nullptr);
  // The wait started with the poll that saw the pointer arrive.
  host_->AdvanceClock(skMenuWaitInterval - 10);
  EXPECT_EQ(menu_->PopupCount(), 1);
  host_->AdvanceClock(20);
  ASSERT_EQ(menu_->PopupCount(), 2);
  TskSkinPopupWindow* parent = Level(0);
  TskSkinPopupWindow* sub = Level(1);
  EXPECT_TRUE(parent->Items(1)->Down());
  const Rect item = parent->Items(1)->ItemRect();
  const Point itemScreen = parent->ClientToScreen(item.TopLeft());
  Rect subRect;
  GetWindowRect(sub->Handle(), &subRect);
  // Right of the item, the first sub-item level with it.
  EXPECT_EQ(subRect.left, parent->ClientToScreen({item.right, 0}).x + 1);
  EXPECT_EQ(sub->ClientToScreen(sub->Items(0)->ItemRect().TopLeft()).y, itemScreen.y);
  // A click in the submenu runs its item and closes every level.
  Hover(ItemCentre(1, 1));
  host_->Click(ItemCentre(1, 1));
  host_->Pump();
  EXPECT_EQ(clicks.back(), "Inner two");
  EXPECT_EQ(menu_->PopupCount(), 0);
}

TEST_F(SkinMenuTest, MovingOnBeforeTheWaitCancelsTheSubmenu) {
  LoadProgramSkin();
  Fill({{"First"}, {"More", true, 0, {"Inner"}}, {"Last"}});
  Open({700, 100}, data_.get());
  Hover(ItemCentre(0, 1));
  host_->AdvanceClock(300);
  Hover(ItemCentre(0, 2));
  EXPECT_EQ(menu_->WaitItem(), nullptr);
  host_->AdvanceClock(2 * skMenuWaitInterval);
  EXPECT_EQ(menu_->PopupCount(), 1);
  EXPECT_EQ(Level(0)->ActiveItem(), 2);
}

TEST_F(SkinMenuTest, NearTheRightEdgeTheSubmenuOpensLeft) {
  LoadProgramSkin();
  Fill({{"More", true, 0, {"Inner one", "Inner two"}}});
  Open({1200, 100}, data_.get());
  TskSkinPopupWindow* parent = Level(0);
  Key(VK_RIGHT);
  ASSERT_EQ(menu_->PopupCount(), 2);
  Rect parentRect, subRect;
  GetWindowRect(parent->Handle(), &parentRect);
  GetWindowRect(Level(1)->Handle(), &subRect);
  EXPECT_LE(parentRect.right, 1280);
  EXPECT_LT(subRect.right, parentRect.left + parent->Items(0)->ItemRect().left + 1);
  EXPECT_GE(subRect.left, 0);
}

TEST_F(SkinMenuTest, ClickRunsTheCommandOnceAndTellsTheControls) {
  LoadProgramSkin();
  Fill(kMixed);
  Open({700, 100}, data_.get());
  const Point gamma = ItemCentre(0, 3);
  host_->MoveMouse(gamma);
  host_->Click(gamma);
  host_->Pump();
  host_->AdvanceClock(1000);
  EXPECT_EQ(clicks, std::vector<std::string>{"Gamma"});
  EXPECT_EQ(menu_->PopupCount(), 0);
  EXPECT_EQ(control_->heard, (std::vector<unsigned>{kCloseMenus, kMenuCommand}));
  EXPECT_EQ(menu_->DoneControl(), nullptr);
}

TEST_F(SkinMenuTest, ClicksOnSeparatorsAndDisabledItemsKeepTheMenuOpen) {
  LoadProgramSkin();
  Fill(kMixed);
  Open({700, 100}, data_.get());
  for (int index : {1, 2}) {
    host_->Click(ItemCentre(0, index));
    host_->Pump();
  }
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(menu_->PopupCount(), 1);
}

TEST_F(SkinMenuTest, OutsidePressClosesWithoutACommand) {
  LoadProgramSkin();
  Fill(kMixed);
  Open({700, 100}, data_.get());
  // A press on the form, beside the menu.
  host_->Click({300, 300});
  host_->Pump();
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(menu_->PopupCount(), 0);
  EXPECT_FALSE(menu_->InMenuMode());
  EXPECT_EQ(control_->heard, std::vector<unsigned>{kCloseMenus});
  // Keys belong to the application again.
  std::vector<WORD> keys;
  form_->SetKeyPreview(true);
  form_->OnShortCut = [&](TObject*, WORD key, TShiftState, bool&) { keys.push_back(key); };
  Key(VK_DOWN);
  EXPECT_EQ(keys, std::vector<WORD>{VK_DOWN});
}

TEST_F(SkinMenuTest, AnotherProgramTakingTheFocusClosesTheMenu) {
  Fill(kMixed);
  Open({700, 100}, nullptr);
  host_->FocusOtherProgram();
  host_->AdvanceClock(skMenuMouseInterval);
  EXPECT_EQ(menu_->PopupCount(), 0);
  EXPECT_FALSE(menu_->InMenuMode());
  EXPECT_TRUE(clicks.empty());
}

TEST_F(SkinMenuTest, TheMenuNeverTakesActivationFromTheForm) {
  LoadProgramSkin();
  Fill(kMixed);
  const HWND formWindow = form_->Handle();
  ASSERT_EQ(GetActiveWindow(), formWindow);
  const HWND focus = GetFocus();
  Open({700, 100}, data_.get());
  TskSkinPopupWindow* p = Level(0);
  EXPECT_TRUE(IsWindowVisible(p->Handle()));
  EXPECT_TRUE(GetWindowLong(p->Handle(), GWL_EXSTYLE) & WS_EX_NOACTIVATE);
  // Pressing on the level (a separator, which does nothing) activates nothing.
  host_->Click(ItemCentre(0, 1));
  host_->Pump();
  EXPECT_EQ(menu_->PopupCount(), 1);
  EXPECT_EQ(GetActiveWindow(), formWindow);
  EXPECT_EQ(GetFocus(), focus);
}

TEST_F(SkinMenuTest, WheelIsConsumedWhileTheMenuIsOpen) {
  Fill(kMixed);
  int wheels = 0;
  form_->OnMouseWheel = [&](TObject*, TShiftState, int, Point, bool& handled) {
    ++wheels;
    handled = true;
  };
  Open({700, 100}, nullptr);
  host_->Wheel({300, 300}, -120);
  host_->Pump();
  EXPECT_EQ(wheels, 0);
  menu_->Hide();
  host_->Wheel({300, 300}, -120);
  host_->Pump();
  EXPECT_EQ(wheels, 1);
}

TEST_F(SkinMenuTest, PopupMenuComponentOpensThroughItsFormsController) {
  LoadProgramSkin();
  menu_->SetMenusSkinData(data_.get());
  auto* popup = new TskSkinPopupMenu(form_);
  auto* item = new TMenuItem(popup);
  item->SetCaption("Hello");
  int clicked = 0;
  item->OnClick = [&](TObject*) { ++clicked; };
  popup->Items()->Add(item);
  int popped = 0;
  popup->OnPopup = [&](TObject*) { ++popped; };
  EXPECT_EQ(popup->MenuController(), menu_);
  popup->Popup(650, 120);
  host_->Pump();
  EXPECT_EQ(popped, 1);
  ASSERT_EQ(menu_->PopupCount(), 1);
  EXPECT_TRUE(Level(0)->SkinnedWindow());
  EXPECT_EQ(Level(0)->ShowPosition(), Point(650, 120));
  Key(VK_RETURN);
  EXPECT_EQ(clicked, 1);
}

TEST_F(SkinMenuTest, PopupMenuComponentWithoutControllerUsesItsOwnSkinOrThePlainMenu) {
  LoadProgramSkin();
  auto* other = new TForm(nullptr);
  auto* popup = new TskSkinPopupMenu(other);
  auto* item = new TMenuItem(popup);
  item->SetCaption("Hello");
  popup->Items()->Add(item);
  // No controller and no skin: the platform's plain popup menu.
  EXPECT_EQ(popup->MenuController(), nullptr);
  bool sawPlain = false;
  host_->SetIdleHandler([&] {
    if (HWND plain = ActiveStdPopupMenu()) {
      sawPlain = true;
      EndStdPopupMenu();
      // Wakes the menu's loop so it sees that it ended.
      PostMessage(plain, WM_NULL, 0, 0);
      return true;
    }
    return false;
  });
  popup->Popup(600, 100);
  EXPECT_TRUE(sawPlain);
  host_->SetIdleHandler(nullptr);
  // With a skin of its own it opens skinned through a controller of its own.
  popup->SetSkinData(data_.get());
  TskSkinMenu* own = popup->MenuController();
  ASSERT_NE(own, nullptr);
  EXPECT_NE(own, menu_);
  popup->Popup(600, 100);
  host_->Pump();
  ASSERT_EQ(own->PopupCount(), 1);
  EXPECT_TRUE(own->Popups(0)->SkinnedWindow());
  own->Hide();
}

TEST_F(SkinMenuTest, MenuModeEventsAndNothingToShow) {
  int opened = 0, closed = 0;
  menu_->OnMenuOpen = [&](TObject*) { ++opened; };
  menu_->OnMenuClose = [&](TObject*) { ++closed; };
  Fill({{"Hidden"}});
  Item(0)->SetVisible(false);
  // Nothing visible: no level, and menu mode does not linger.
  menu_->EnterMenuMode();
  Open({700, 100}, nullptr);
  EXPECT_EQ(menu_->PopupCount(), 0);
  EXPECT_FALSE(menu_->InMenuMode());
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(closed, 1);
  Item(0)->SetVisible(true);
  Open({700, 100}, nullptr);
  EXPECT_EQ(opened, 2);
  menu_->Hide();
  EXPECT_EQ(closed, 2);
}

TEST_F(SkinMenuTest, AnItemDestroyedWhileOpenBecomesInert) {
  LoadProgramSkin();
  Fill({{"Keep"}, {"Drop"}});
  Open({700, 100}, data_.get());
  delete Item(1);
  host_->Pump();
  EXPECT_EQ(Level(0)->Items(1)->MenuItem(), nullptr);
  Key(VK_DOWN);  // skips the inert row
  EXPECT_EQ(Level(0)->ActiveItem(), 0);
  host_->Click(ItemCentre(0, 1));
  host_->Pump();
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(menu_->PopupCount(), 1);
  // Enter on the inert row does nothing either; the keyboard moves back to a real item.
  Key(VK_RETURN);
  EXPECT_TRUE(clicks.empty());
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_EQ(clicks, std::vector<std::string>{"Keep"});
}
