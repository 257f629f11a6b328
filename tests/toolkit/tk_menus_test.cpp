// Menu items: accelerators, shortcut texts, radio groups, trees and their destruction.
#include <gtest/gtest.h>

#include "platform/win/WinConst.h"
#include "toolkit/Menus.h"

namespace {

struct HotkeyCase {
  const char* caption;
  const char* stripped;
  char hotkey;
};

class TkHotkeys : public ::testing::TestWithParam<HotkeyCase> {};

TEST_P(TkHotkeys, StripAndFind) {
  EXPECT_EQ(StripHotkey(GetParam().caption), GetParam().stripped);
  EXPECT_EQ(GetHotkey(GetParam().caption), GetParam().hotkey);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, TkHotkeys,
    ::testing::Values(HotkeyCase{"Mi&nimize", "Minimize", 'N'}, HotkeyCase{"&Close", "Close", 'C'},
                      HotkeyCase{"Fish && Chips", "Fish & Chips", 0},
                      HotkeyCase{"A&&B&c", "A&Bc", 'C'}, HotkeyCase{"Plain", "Plain", 0},
                      HotkeyCase{"trailing&", "trailing", 0},
                      HotkeyCase{"\xE6\x9C\x80\xE5\xB0\x8F\xE5\x8C\x96(&N)", "\xE6\x9C\x80\xE5\xB0\x8F\xE5\x8C\x96(N)", 'N'}));

struct ShortCutCase {
  TShortCut shortCut;
  const char* text;
};

class TkShortCuts : public ::testing::TestWithParam<ShortCutCase> {};

TEST_P(TkShortCuts, TextBothWays) {
  EXPECT_EQ(ShortCutToText(GetParam().shortCut), GetParam().text);
  EXPECT_EQ(TextToShortCut(GetParam().text), GetParam().shortCut);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TkShortCuts,
    ::testing::Values(ShortCutCase{scCtrl | 'C', "Ctrl+C"}, ShortCutCase{scShift | VK_DELETE, "Shift+Del"},
                      ShortCutCase{VK_F1, "F1"}, ShortCutCase{scAlt | VK_F4, "Alt+F4"},
                      ShortCutCase{scShift | scCtrl | 'Z', "Shift+Ctrl+Z"},
                      ShortCutCase{VK_RETURN, "Enter"}, ShortCutCase{0, ""}));

TEST(TkMenus, UnknownShortCutTextIsZero) {
  EXPECT_EQ(TextToShortCut("Ctrl+Banana"), 0);
  EXPECT_EQ(TextToShortCut("ctrl+c"), scCtrl | 'C');
}

TEST(TkMenus, RadioItemsOfAGroupCheckOneAtATime) {
  TPopupMenu menu(nullptr);
  TMenuItem* items[3];
  for (TMenuItem*& item : items) {
    item = new TMenuItem(&menu);
    item->SetRadioItem(true);
    menu.Items()->Add(item);
  }
  auto* other = new TMenuItem(&menu);
  other->SetRadioItem(true);
  other->SetGroupIndex(1);
  other->SetChecked(true);
  menu.Items()->Add(other);
  items[0]->SetChecked(true);
  items[2]->SetChecked(true);
  EXPECT_FALSE(items[0]->Checked());
  EXPECT_TRUE(items[2]->Checked());
  EXPECT_TRUE(other->Checked());  // another group is left alone
  items[1]->SetAutoCheck(true);
  items[1]->Click();
  EXPECT_TRUE(items[1]->Checked());
  EXPECT_FALSE(items[2]->Checked());
}

TEST(TkMenus, ClickRespectsEnabledAndAutoCheck) {
  TMenuItem item(nullptr);
  int clicks = 0;
  item.OnClick = [&](TObject*) { ++clicks; };
  item.SetAutoCheck(true);
  item.Click();
  EXPECT_TRUE(item.Checked());
  item.Click();
  EXPECT_FALSE(item.Checked());
  item.SetEnabled(false);
  item.Click();
  EXPECT_EQ(clicks, 2);
}

TEST(TkMenus, TreesFindItemsAndDestroyCleanly) {
  TComponent form(nullptr);
  auto* menu = new TPopupMenu(&form);
  int changes = 0;
  menu->OnChange = [&](TObject*) { ++changes; };
  auto* file = new TMenuItem(&form);
  file->SetCaption("&File");
  menu->Items()->Add(file);
  auto* open = new TMenuItem(&form);
  open->SetCaption("&Open...");
  open->SetShortCut(scCtrl | 'O');
  file->Add(open);
  EXPECT_EQ(menu->Items()->Find("file"), file);
  EXPECT_EQ(file->Find("OPEN..."), open);
  EXPECT_EQ(open->GetParentMenu(), menu);
  EXPECT_EQ(open->MenuIndex(), 0);
  EXPECT_EQ(menu->FindItemByShortCut(scCtrl | 'O'), open);
  open->SetVisible(false);
  EXPECT_EQ(menu->FindItemByShortCut(scCtrl | 'O'), nullptr);
  EXPECT_GT(changes, 0);
  EXPECT_THROW(file->Add(open), EMenuError);        // already in a menu
  EXPECT_THROW(open->Add(file), EMenuError);        // would hold itself
  EXPECT_THROW(file->Items(3), EMenuError);
  // Destroying an item takes it out of its parent; destroying the menu takes its items
  // with it and leaves the owner's list consistent.
  delete open;
  EXPECT_EQ(file->Count(), 0);
  EXPECT_EQ(form.ComponentCount(), 2);
  delete menu;
  EXPECT_EQ(form.ComponentCount(), 0);
}

TEST(TkMenus, PopupRunsOnPopupThenThePresenter) {
  TPopupMenu menu(nullptr);
  std::vector<std::string> log;
  menu.OnPopup = [&](TObject*) { log.push_back("onpopup"); };
  TPopupMenu::SetPresenter([&](TPopupMenu& m, Point p) {
    log.push_back("shown " + std::to_string(p.x) + "," + std::to_string(p.y));
    EXPECT_EQ(&m, &menu);
  });
  menu.Popup(10, 20);
  TPopupMenu::SetPresenter(nullptr);
  std::vector<std::string> expected = {"onpopup", "shown 10,20"};
  EXPECT_EQ(log, expected);
  {
    TComponent target(nullptr);
    menu.SetPopupComponent(&target);
    EXPECT_EQ(menu.PopupComponent(), &target);
  }
  EXPECT_EQ(menu.PopupComponent(), nullptr);
}

}  // namespace
