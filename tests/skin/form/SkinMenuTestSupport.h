// Test helpers for the skinned menus: the headless host, a shown form with a menu
// controller, the program's stored skin, menus built from a caption list, and a control
// that records the menu's messages.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinPackage.h"
#include "skin/form/skSkinMenus.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

namespace skinmenu {

inline constexpr unsigned kCloseMenus = 1228;
inline constexpr unsigned kMenuCommand = 1229;

// A windowed control that keeps the numbers of the menu messages it hears.
class RecordingControl : public TCustomControl {
 public:
  explicit RecordingControl(TComponent* owner) : TCustomControl(owner) {}
  std::vector<unsigned> heard;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == kCloseMenus || m.Msg == kMenuCommand) heard.push_back(m.Msg);
    TCustomControl::WndProc(m);
  }
};

// One item of a test menu: a caption ("-" a separator) and states.
struct ItemSpec {
  std::string caption;
  bool enabled = true;
  TShortCut shortCut = 0;
  std::vector<std::string> subItems = {};
};

class SkinMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto host = std::make_unique<HeadlessHost>();
    host_ = host.get();
    WindowSystem::Install(std::move(host));
    Application->OnException = [this](TObject*, const std::exception& e) { errors.push_back(e.what()); };
    form_ = new TForm(nullptr);
    form_->SetBounds(100, 100, 400, 300);
    form_->Show();
    host_->Pump();
    menu_ = new TskSkinMenu(form_, form_);
    popupMenu_ = new TPopupMenu(form_);
    control_ = new RecordingControl(form_);
    control_->SetParent(form_);
    control_->SetBounds(10, 10, 50, 20);
    data_ = std::make_unique<TskSkinData>();
    host_->Pump();
  }
  void TearDown() override {
    for (int i = Application->FormCount() - 1; i >= 0; --i) delete Application->Forms(i);
    data_.reset();
    Application->OnException = nullptr;
    WindowSystem::Shutdown();
    EXPECT_TRUE(errors.empty()) << errors.front();
  }

  static std::string ProgramSkinPackagePath() {
    return std::string(KAVRI_BINARY_DIR) + "/assets/skin/kavri.skinpkg";
  }
  void LoadProgramSkin() {
    ASSERT_TRUE(std::filesystem::exists(ProgramSkinPackagePath()))
        << "the stored skin is built with the project: " << ProgramSkinPackagePath();
    stored_.LoadFromPackageFile(ProgramSkinPackagePath());
    data_->LoadStoredSkin(stored_);
    ASSERT_FALSE(data_->SkinEmpty());
  }

  // Fills the popup menu; every item counts its clicks in clicks[caption].
  void Fill(const std::vector<ItemSpec>& specs) {
    for (const ItemSpec& s : specs) {
      auto* item = new TMenuItem(popupMenu_);
      item->SetCaption(s.caption);
      item->SetEnabled(s.enabled);
      item->SetShortCut(s.shortCut);
      const std::string key = StripHotkey(s.caption);
      item->OnClick = [this, key](TObject*) { clicks.push_back(key); };
      for (const std::string& sub : s.subItems) {
        auto* child = new TMenuItem(popupMenu_);
        child->SetCaption(sub);
        const std::string subKey = StripHotkey(sub);
        child->OnClick = [this, subKey](TObject*) { clicks.push_back(subKey); };
        item->Add(child);
      }
      popupMenu_->Items()->Add(item);
    }
  }
  TMenuItem* Item(int index) const { return popupMenu_->Items()->Items(index); }

  void Open(Point at, TskSkinData* data) {
    menu_->Popup(control_, data, false, popupMenu_->Items(), {at.x, at.y, at.x, at.y});
    host_->Pump();
  }
  TskSkinPopupWindow* Level(int i) const { return menu_->Popups(i); }
  // The screen point at the centre of an item of a level.
  Point ItemCentre(int level, int item) const {
    TskSkinPopupWindow* p = Level(level);
    const Rect r = p->Items(item)->ItemRect();
    return p->ClientToScreen({r.left + r.Width() / 2, r.top + r.Height() / 2});
  }
  void Key(int vk) {
    host_->Key(vk);
    host_->Pump();
  }
  void Hover(Point screen) {
    host_->MoveMouse(screen);
    host_->AdvanceClock(skMenuMouseInterval);
  }
  Color ScreenAt(Point p) {
    host_->Pump();
    return host_->Screenshot().GetPixelColor(p.x, p.y);
  }

  HeadlessHost* host_ = nullptr;
  TForm* form_ = nullptr;
  TskSkinMenu* menu_ = nullptr;
  TPopupMenu* popupMenu_ = nullptr;
  RecordingControl* control_ = nullptr;
  TskCompressedStoredSkin stored_;
  std::unique_ptr<TskSkinData> data_;
  std::vector<std::string> clicks;
  std::vector<std::string> errors;
};

}  // namespace skinmenu
