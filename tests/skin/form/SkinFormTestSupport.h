// Test support for the skinned frame: a small skin with pixels that tell their place, made
// into a stored package, the program's stored skin, and a headless fixture with forms.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bmp.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinPackage.h"
#include "skin/form/skSkinForm.h"
#include "toolkit/Forms.h"

// The small skin: an 80 x 48 picture whose pixel (x, y) is (3x, 5y, seed); a 64 x 20
// client area at (8, 20); corners cut at x 24 / 40 and y 20 / 40.
inline Pixel TestPicturePixel(int x, int y, int seed) { return MakePixel(3 * x, 5 * y, seed); }

inline Bitmap TestPicture(int w, int h, int seed) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.Set(x, y, TestPicturePixel(x, y, seed));
  return b;
}

// Black inside, white on a 2-pixel outer ring and on 5 x 5 corner squares.
inline bool TestMaskInside(int x, int y, int w, int h) {
  if (x < 2 || y < 2 || x >= w - 2 || y >= h - 2) return false;
  const bool cornerX = x < 5 || x >= w - 5;
  const bool cornerY = y < 5 || y >= h - 5;
  return !(cornerX && cornerY);
}

inline Bitmap TestMask(int w, int h) {
  Bitmap b(w, h, MakePixel(255, 255, 255));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (TestMaskInside(x, y, w, h)) b.Set(x, y, MakePixel(0, 0, 0));
  return b;
}

struct TestSkinOptions {
  bool mask = true;
  bool inactivePicture = true;
  bool autoRendering = false;
  bool topStretch = false;
  int bgPictureIndex = -1;
};

inline std::vector<std::string> TestSkinDefinition(const TestSkinOptions& o) {
  return {
      "[VERSION]", "skinname=test",
      "[PICTURES]", "picture=main.bmp", o.inactivePicture ? "inactivepicture=inactive.bmp" : "inactivepicture=",
      o.mask ? "mask=mask.bmp" : "mask=", "activepicturescount=1", "0=buttons.bmp",
      "[FORMINFO]", "lefttoppoint=24,20", "righttoppoint=40,20", "leftbottompoint=24,40", "rightbottompoint=40,40",
      "clientrect=8,20,72,40", "maskrectarea=4,4,76,44", "hittestlefttoppoint=10,10", "hittestrighttoppoint=70,10",
      "hittestleftbottompoint=10,38", "hittestrightbottompoint=70,38", "captionrect=10,4,42,16",
      "buttonsrect=0,0,0,0", "buttonsoffset=1", "borderwidth=3",
      std::string("autorenderinginactiveimage=") + (o.autoRendering ? "1" : "0"), "inactiveeffect=ieinvert",
      std::string("topstretch=") + (o.topStretch ? "1" : "0"), "bgpictureindex=" + std::to_string(o.bgPictureIndex),
      "[SKINOBJECTS]", "count=4", "0=caption:caption", "1=maxbutton:stdbutton", "2=closebutton:stdbutton",
      "3=grip:button",
      "[caption]", "skinrect=10,4,42,16", "textrect=0,0,32,12", "fontcolor=255", "activefontcolor=65280",
      "alignment=taleftjustify",
      "[maxbutton]", "activepictureindex=0", "skinrect=46,4,58,16", "activeskinrect=24,0,36,12",
      "downrect=36,0,48,12", "command=cmmaximize",
      "[closebutton]", "activepictureindex=0", "skinrect=62,4,74,16", "activeskinrect=0,0,12,12",
      "downrect=12,0,24,12", "command=cmclose",
      "[grip]", "skinrect=70,40,78,46",
      "[SKINCONTROLS]", "count=0",
  };
}

inline std::vector<std::uint8_t> TestSkinPackage(const TestSkinOptions& o = {}) {
  SkinPackageWriter out;
  out.WriteInt32(SkinPackageVersion);
  out.WriteFlaggedBitmap(SaveBmp(TestPicture(80, 48, 10), 24));
  if (o.inactivePicture) out.WriteFlaggedBitmap(SaveBmp(TestPicture(80, 48, 200), 24));
  else out.WriteFlaggedBitmap({});
  if (o.mask) out.WriteFlaggedBitmap(SaveBmp(TestMask(80, 48), 24));
  else out.WriteFlaggedBitmap({});
  out.WriteInt32(1);
  out.WriteBitmapImage(SaveBmp(TestPicture(48, 12, 99), 24));
  out.WriteLines(TestSkinDefinition(o));
  return CompressSkinStream(out.Bytes());
}

// The program's own stored skin, as the build packs it.
inline std::vector<std::uint8_t> StoredSkinBytes() {
  const std::string path = std::string(KAVRI_BINARY_DIR) + "/assets/skin/kavri.skinpkg";
  if (!std::filesystem::exists(path)) {
    ADD_FAILURE() << "the stored skin package is missing (build kavri_skinassets): " << path;
    return {};
  }
  TskCompressedStoredSkin skin;
  skin.LoadFromPackageFile(path);
  return skin.CompressedData();
}

class SkinFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto host = std::make_unique<HeadlessHost>(Size{1280, 800}, 40);
    host_ = host.get();
    WindowSystem::Install(std::move(host));
    Application->OnException = [this](TObject*, const std::exception& e) { errors.push_back(e.what()); };
  }
  void TearDown() override {
    for (int i = Application->FormCount() - 1; i >= 0; --i) delete Application->Forms(i);
    Application->OnException = nullptr;
    WindowSystem::Shutdown();
    EXPECT_TRUE(errors.empty()) << errors.front();
  }

  struct Skinned {
    TForm* form;
    TskSkinForm* frame;
    TskSkinData* data;
  };
  // A form with its frame component, loaded with `package` (no skin when empty), shown.
  Skinned MakeForm(const std::vector<std::uint8_t>& package, Rect bounds = {100, 100, 180, 148},
                   TFormBorderStyle style = TFormBorderStyle::bsSizeable, bool show = true) {
    auto* form = new TForm(nullptr);
    form->SetBorderStyle(style);
    form->SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
    form->SetCaption("");
    auto* frame = new TskSkinForm(form);
    auto* stored = new TskCompressedStoredSkin(form);
    auto* data = new TskSkinData(form);
    frame->SetSkinData(data);
    if (!package.empty()) {
      stored->SetCompressedData(package);
      data->SetCompressedStoredSkin(stored);
    }
    // Without a skin the frame keeps the plain frame's minimum; set the size asked for now.
    form->SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
    if (show) form->Show();
    host_->Pump();
    return {form, frame, data};
  }

  HWND Hwnd(TForm* f) { return f->Handle(); }
  Rect Bounds(TForm* f) {
    Rect r;
    GetWindowRect(f->Handle(), &r);
    return r;
  }
  // The window's pixels in window coordinates as last painted.
  Pixel At(TForm* f, int x, int y) { return f->Handle()->Backing().At(x, y); }

  void DoubleClick(Point p) {
    host_->Click(p);
    host_->Click(p);
    host_->Pump();
  }
  void Drag(Point from, Point to) {
    host_->PressMouse(from);
    host_->MoveMouse({(from.x + to.x) / 2, (from.y + to.y) / 2});
    host_->MoveMouse(to);
    host_->ReleaseMouse(to);
    host_->Pump();
  }

  struct Holder {
    TskCompressedStoredSkin stored;
    std::unique_ptr<TskSkinData> data;
  };
  HeadlessHost* host_ = nullptr;
  std::vector<std::unique_ptr<Holder>> datas;
  std::vector<std::string> errors;
};
