// The frame's own skinned menus on the headless host: the system menu from its button, a
// right click on the caption and Alt+Space; caption objects' drop-downs; the menu-closing
// check; the SystemMenu merge; the menu settings the frame passes on.
#include "SkinFormTestSupport.h"
#include "skin/form/skPopupWindow.h"
#include "toolkit/Menus.h"

namespace {

class SkinFormMenus : public SkinFormTest {
 protected:
  // A form in the program's skin, big enough for every caption button.
  Skinned MakeStored(Rect bounds = {100, 100, 500, 400}) { return MakeForm(StoredSkinBytes(), bounds); }

  Point ObjectPoint(Skinned& s, std::string_view name) {
    TskActiveSkinObject* o = s.frame->FindObject(name);
    EXPECT_NE(o, nullptr) << name;
    if (!o) return {};
    const Rect w = Bounds(s.form);
    return {w.left + o->ObjectRect.left + o->ObjectRect.Width() / 2, w.top + o->ObjectRect.top + o->ObjectRect.Height() / 2};
  }
  void ClickAt(Point p, MouseButton button = MouseButton::Left) {
    host_->AdvanceClock(600);  // never a double click with the click before
    host_->MoveMouse(p);
    host_->AdvanceClock(60);  // the tracking timer sees the pointer on the object
    host_->Click(p, button);
    host_->Pump();
  }
  void Key(int vk) {
    host_->Key(vk);
    host_->Pump();
  }
  void AltSpace() {
    host_->KeyDown(VK_MENU);
    host_->Key(VK_SPACE);
    host_->KeyUp(VK_MENU);
    host_->Pump();
  }
  // The names of the open first level's items.
  std::vector<std::string> Names(Skinned& s) {
    std::vector<std::string> out;
    TskSkinMenu* m = s.frame->SkinMenu();
    if (m->PopupCount() == 0) return out;
    TskSkinPopupWindow* p = m->Popups(0);
    for (int i = 0; i < p->ItemCount(); ++i) out.push_back(p->Items(i)->MenuItem()->Name());
    return out;
  }
  Point ItemCentre(Skinned& s, std::string_view name) {
    TskSkinPopupWindow* p = s.frame->SkinMenu()->Popups(0);
    for (int i = 0; i < p->ItemCount(); ++i)
      if (p->Items(i)->MenuItem()->Name() == name) {
        const Rect r = p->Items(i)->ItemRect();
        return p->ClientToScreen({r.left + r.Width() / 2, r.top + r.Height() / 2});
      }
    ADD_FAILURE() << "no item " << name;
    return {};
  }
};

TEST_F(SkinFormMenus, SystemMenuOpensSkinnedFromTheButtonTheCaptionAndAltSpace) {
  struct OpenWay {
    const char* what;
    std::function<void(Skinned&)> open;
  };
  const OpenWay ways[] = {
      {"button", [this](Skinned& s) { ClickAt(ObjectPoint(s, "sysmenubutton")); }},
      {"right click on the caption", [this](Skinned& s) { ClickAt(ObjectPoint(s, "caption"), MouseButton::Right); }},
      {"Alt+Space", [this](Skinned&) { AltSpace(); }},
  };
  for (const OpenWay& way : ways) {
    SCOPED_TRACE(way.what);
    Skinned s = MakeStored();
    int opened = 0, closed = 0;
    s.frame->OnSkinMenuOpen = [&](TObject*) { ++opened; };
    s.frame->OnSkinMenuClose = [&](TObject*) { ++closed; };
    way.open(s);
    TskSkinMenu* menu = s.frame->SkinMenu();
    ASSERT_TRUE(menu->Visible());
    ASSERT_EQ(menu->PopupCount(), 1);
    EXPECT_TRUE(menu->Popups(0)->SkinnedWindow());  // drawn from the popup record
    EXPECT_EQ(menu->SkinData(), s.data);
    EXPECT_TRUE(s.frame->InMenu());
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(Names(s), (std::vector<std::string>{"SKF_MINITEM", "SKF_MAXITEM", "SKF_ROLLUP", "SKF_LINE", "SKF_CLOSE"}));
    // The popup shows the skin's popup picture, not the plain menu's white.
    const Point corner = menu->Popups(0)->ClientToScreen({1, 1});
    EXPECT_NE(host_->Screenshot().GetPixelColor(corner.x, corner.y), ColorToRGB(clWindow));
    // Choosing Maximize runs it and closes the menu.
    ClickAt(ItemCentre(s, "SKF_MAXITEM"));
    EXPECT_EQ(s.frame->WindowState(), TskWindowState::Maximized);
    EXPECT_FALSE(menu->Visible());
    EXPECT_FALSE(menu->InMenuMode());
    EXPECT_FALSE(s.frame->InMenu());
    EXPECT_EQ(closed, 1);
    auto* sys = dynamic_cast<TskSkinButtonObject*>(s.frame->FindObject("sysmenubutton"));
    ASSERT_NE(sys, nullptr);
    EXPECT_FALSE(sys->FDown);  // set up again when its menu closed
    EXPECT_EQ(GetCapture(), nullptr);
    // Maximized, the menu offers Restore and no Maximize.
    way.open(s);
    EXPECT_EQ(Names(s), (std::vector<std::string>{"SKF_MINITEM", "SKF_RESTORE", "SKF_ROLLUP", "SKF_LINE", "SKF_CLOSE"}));
    Key(VK_ESCAPE);
    EXPECT_FALSE(menu->Visible());
    EXPECT_FALSE(sys->FDown);
    // The next caption-button click is not swallowed: the maximize button restores.
    ClickAt(ObjectPoint(s, "maxbutton"));
    EXPECT_EQ(s.frame->WindowState(), TskWindowState::Normal);
    EXPECT_EQ(Bounds(s.form), Rect(100, 100, 500, 400));
    delete s.form;
  }
}

TEST_F(SkinFormMenus, TheButtonsMenuDropsDownBelowItAndTheKeyboardRunsAnEntry) {
  Skinned s = MakeStored();
  bool closedForm = false;
  s.form->OnClose = [&](TObject*, TCloseAction&) { closedForm = true; };
  ClickAt(ObjectPoint(s, "sysmenubutton"));
  TskActiveSkinObject* sys = s.frame->FindObject("sysmenubutton");
  const Point shown = s.frame->SkinMenu()->Popups(0)->ShowPosition();
  EXPECT_EQ(shown, Point(100 + sys->ObjectRect.left, 100 + sys->ObjectRect.bottom));
  // The first entry is active as the menu opens; Up wraps to Close, Enter runs it.
  Key(VK_UP);
  Key(VK_RETURN);
  EXPECT_TRUE(closedForm);
  EXPECT_FALSE(s.frame->SkinMenu()->Visible());
}

TEST_F(SkinFormMenus, MovingSizingDeactivatingOrLosingTheFocusClosesAnOpenMenu) {
  struct Case {
    const char* what;
    std::function<void(Skinned&)> act;
  };
  const Case cases[] = {
      {"move", [](Skinned& s) { s.form->SetBounds(120, 110, 400, 300); }},
      {"size", [](Skinned& s) { s.form->SetBounds(100, 100, 420, 320); }},
      {"deactivate",
       [this](Skinned&) {
         Skinned other = MakeForm({}, {700, 100, 900, 300});
         SetActiveWindow(other.form->Handle());
         host_->Pump();
       }},
      {"focus lost", [](Skinned& s) { SendMessage(s.form->Handle(), WM_KILLFOCUS, 0, 0); }},
      {"cancel mode", [](Skinned& s) { SendMessage(s.form->Handle(), WM_CANCELMODE, 0, 0); }},
      {"press in the client area", [this](Skinned&) { host_->Click({300, 300}); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Skinned s = MakeStored();
    int closed = 0;
    s.frame->OnSkinMenuClose = [&](TObject*) { ++closed; };
    ClickAt(ObjectPoint(s, "sysmenubutton"));
    ASSERT_TRUE(s.frame->SkinMenu()->Visible());
    c.act(s);
    host_->Pump();
    EXPECT_FALSE(s.frame->SkinMenu()->Visible());
    EXPECT_FALSE(s.frame->SkinMenu()->InMenuMode());
    EXPECT_EQ(s.frame->SkinMenu()->PopupCount(), 0);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(dynamic_cast<TskSkinButtonObject*>(s.frame->FindObject("sysmenubutton"))->FDown);
    for (int i = Application->FormCount() - 1; i >= 0; --i) delete Application->Forms(i);
  }
}

TEST_F(SkinFormMenus, SystemMenuMergesTheWindowCommandsIntoTheApplicationsMenu) {
  Skinned s = MakeStored();
  auto* app = new TPopupMenu(s.form);
  auto* own = new TMenuItem(app);
  own->SetName("OwnItem");
  own->SetCaption("Own");
  app->Items()->Add(own);
  s.frame->SetSystemMenu(app);
  s.frame->ChangeWindowState(TskWindowState::Maximized);
  // Opened twice: the commands of the first opening are replaced, not added again.
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    ClickAt(ObjectPoint(s, "caption"), MouseButton::Right);
    EXPECT_EQ(Names(s), (std::vector<std::string>{"SKF_MINITEM", "SKF_RESTORE", "SKF_ROLLUP", "OwnItem", "SKF_CLOSE"}));
    Key(VK_ESCAPE);
  }
  EXPECT_EQ(app->Items()->Count(), 5);
  // Without the merge the menu is the application's alone.
  s.frame->SetUseDefaultSysMenu(false);
  ClickAt(ObjectPoint(s, "caption"), MouseButton::Right);
  EXPECT_EQ(Names(s).size(), 5u);  // the last merge stays until the next one
  Key(VK_ESCAPE);
  // A menu destroyed while it is the system menu is forgotten: the frame's own comes back.
  delete app;
  ClickAt(ObjectPoint(s, "caption"), MouseButton::Right);
  EXPECT_EQ(Names(s), (std::vector<std::string>{"SKF_MINITEM", "SKF_RESTORE", "SKF_ROLLUP", "SKF_LINE", "SKF_CLOSE"}));
  Key(VK_ESCAPE);
}

TEST_F(SkinFormMenus, ACaptionObjectsMenuDropsDownAtTheObjectOrUpAndItIsSetUpAfter) {
  // The small skin's grip is a plain button object, at the bottom right.
  Skinned s = MakeForm(TestSkinPackage(), {100, 300, 300, 400});
  auto* menu = new TPopupMenu(s.form);
  int clicks = 0;
  for (const char* caption : {"One", "Two", "Three"}) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    item->OnClick = [&](TObject*) { ++clicks; };
    menu->Items()->Add(item);
  }
  auto* button = dynamic_cast<TskSkinButtonObject*>(s.frame->FindObject("grip"));
  ASSERT_NE(button, nullptr);
  const Rect r = button->ObjectRect.Translated(100, 300);
  for (bool up : {false, true}) {
    SCOPED_TRACE(up ? "up" : "down");
    button->MenuItem = menu->Items();
    button->PopupUp = up;
    ClickAt(ObjectPoint(s, "grip"));
    TskSkinMenu* m = s.frame->SkinMenu();
    ASSERT_TRUE(m->Visible());
    EXPECT_TRUE(button->FDown);
    TskSkinPopupWindow* p = m->Popups(0);
    const int h = p->Height();
    EXPECT_EQ(p->ShowPosition(), up ? Point(r.left, r.top - h) : Point(r.left, r.bottom));
    // An item destroyed while the menu is open is not clicked when it is chosen.
    delete menu->Items()->Items(0);
    Key(VK_RETURN);
    EXPECT_EQ(clicks, 0);
    Key(VK_ESCAPE);
    EXPECT_FALSE(m->Visible());
    EXPECT_FALSE(button->FDown);
    EXPECT_EQ(clicks, 0);
    // The remaining first item runs from the keyboard next time.
    button->MenuItem = menu->Items();
  }
  ClickAt(ObjectPoint(s, "grip"));
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_EQ(clicks, 1);
}

TEST_F(SkinFormMenus, ChangesWhileTheSystemMenuIsOpenLeaveLiveObjectsAndWorkingButtons) {
  struct Case {
    const char* what;
    std::function<void(Skinned&)> change;
  };
  TskCompressedStoredSkin other;
  other.SetCompressedData(StoredSkinBytes());
  const Case cases[] = {
      {"skin change", [&](Skinned& s) { s.data->LoadStoredSkin(other); }},
      {"border icons", [](Skinned& s) { s.frame->SetBorderIcons(biSkinSystemMenu | biSkinMaximize); }},
      {"skin data removed", [](Skinned& s) { delete s.data; }},
      {"a command", [](Skinned& s) { s.frame->RunSysMenuAction(TskSysMenuAction::RollUp); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (bool skinned : {true, false}) {
      SCOPED_TRACE(skinned ? "skinned" : "plain frame");
      Skinned s = skinned ? MakeStored() : MakeForm({}, {100, 100, 300, 200});
      ClickAt(ObjectPoint(s, "sysmenubutton"));
      ASSERT_TRUE(s.frame->SkinMenu()->Visible());
      c.change(s);
      host_->Pump();
      Key(VK_ESCAPE);
      EXPECT_FALSE(s.frame->SkinMenu()->Visible());
      EXPECT_EQ(s.frame->CaptureObject(), -1);
      EXPECT_EQ(GetCapture(), nullptr);
      s.frame->SetRollUpState(false);
      host_->Pump();
      ClickAt(ObjectPoint(s, "maxbutton"));
      EXPECT_EQ(s.frame->WindowState(), TskWindowState::Maximized);
      delete s.form;
    }
  }
}

TEST_F(SkinFormMenus, TheFramesMenuSettingsReachTheMenus) {
  Skinned s = MakeStored();
  s.frame->SetMaxMenuItemsInWindow(2);
  s.frame->SetMaxMenuItemsInWindow(-4);  // ignored
  s.frame->SetMenusAlphaBlend(true);
  s.frame->SetMenusAlphaBlendValue(180);
  ClickAt(ObjectPoint(s, "sysmenubutton"));
  TskSkinPopupWindow* p = s.frame->SkinMenu()->Popups(0);
  EXPECT_TRUE(p->Limited());
  EXPECT_TRUE(p->Scroll());
  EXPECT_EQ(p->VisibleCount(), 2);
  EXPECT_EQ(p->Handle()->LayeredAlpha(), 180);
  Key(VK_ESCAPE);
  // Without a menu skin the default item height and font draw the menu.
  TskSkinData* none = nullptr;
  s.frame->SetMenusSkinData(none);
  s.frame->SetMaxMenuItemsInWindow(0);
  s.frame->SetMenusAlphaBlend(false);
  auto* plain = new TskSkinData(s.form);
  s.frame->SetMenusSkinData(plain);  // an empty skin: the default look
  s.frame->SetDefMenuItemHeight(30);
  s.frame->SetDefMenuItemHeight(0);  // ignored
  s.frame->DefMenuItemFont().SetHeight(20);
  ClickAt(ObjectPoint(s, "sysmenubutton"));
  p = s.frame->SkinMenu()->Popups(0);
  EXPECT_FALSE(p->SkinnedWindow());
  EXPECT_EQ(p->Items(0)->ItemRect().Height(), 30);
  const int wideFont = p->Width();
  Key(VK_ESCAPE);
  s.frame->DefMenuItemFont().SetHeight(10);
  ClickAt(ObjectPoint(s, "sysmenubutton"));
  EXPECT_LT(s.frame->SkinMenu()->Popups(0)->Width(), wideFont);
  Key(VK_ESCAPE);
  // The menu skin removed: the menus draw from the frame's skin again.
  delete plain;
  ClickAt(ObjectPoint(s, "sysmenubutton"));
  EXPECT_TRUE(s.frame->SkinMenu()->Popups(0)->SkinnedWindow());
  Key(VK_ESCAPE);
}

}  // namespace
