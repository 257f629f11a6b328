// Test helpers for the skinned controls: the headless host, a form with its frame
// component and skin data object, the program's stored skin, and a small hand-made skin
// whose every part has a colour of its own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Bmp.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skSkinCtrls.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinPackage.h"
#include "skin/form/skSkinForm.h"
#include "toolkit/Forms.h"

namespace skinctl {

// Colours of the hand-made skin.
constexpr Color kCorner = RGB(200, 0, 0);
constexpr Color kEdge = RGB(0, 0, 200);
constexpr Color kCentre = RGB(0, 160, 0);
constexpr Color kNormal = RGB(128, 128, 128);
constexpr Color kActive = RGB(250, 250, 0);
constexpr Color kDown = RGB(0, 250, 250);
constexpr Color kDisabled = RGB(250, 0, 250);
constexpr Color kSplitEnd = RGB(255, 128, 0);
constexpr Color kSplitMiddle = RGB(0, 64, 128);
constexpr Color kLabelText = RGB(255, 0, 0);

inline void FillRectPixels(Bitmap& b, const Rect& r, Color c) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) b.SetPixelColor(x, y, c);
}

// Picture 0 of the hand-made skin:
//   (0,0,12,12)  a nine-part tile: 3-pixel red corners, blue edges, green client (2..10)
//   (0,20,48,32) four 12 x 12 button states: grey, yellow, cyan, magenta
//   (48,0,60,5)  a splitter strip: 4-pixel orange ends, blue-grey middle
inline Bitmap HandSkinPicture(bool secondLook) {
  Bitmap b(64, 40, MakePixel(255, 255, 255));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool border = x < 2 || x >= 10 || y < 2 || y >= 10;
      const bool corner = (x < 3 || x >= 9) && (y < 3 || y >= 9);
      Color c = border ? (corner ? kCorner : kEdge) : kCentre;
      // The second look swaps corner and edge colours, so a change of skin shows.
      if (secondLook && border) c = corner ? kEdge : kCorner;
      b.SetPixelColor(x, y, c);
    }
  FillRectPixels(b, {0, 20, 12, 32}, kNormal);
  FillRectPixels(b, {12, 20, 24, 32}, kActive);
  FillRectPixels(b, {24, 20, 36, 32}, kDown);
  FillRectPixels(b, {36, 20, 48, 32}, kDisabled);
  FillRectPixels(b, {48, 0, 60, 5}, kSplitMiddle);
  FillRectPixels(b, {48, 0, 52, 5}, kSplitEnd);
  FillRectPixels(b, {56, 0, 60, 5}, kSplitEnd);
  return b;
}

// Picture 1: a 12 x 12 mask, black but for its four corner pixels.
inline Bitmap HandSkinMask() {
  Bitmap b(12, 12, MakePixel(0, 0, 0));
  for (Point p : {Point{0, 0}, Point{11, 0}, Point{0, 11}, Point{11, 11}})
    b.Set(p.x, p.y, MakePixel(255, 255, 255));
  return b;
}

inline std::vector<std::string> HandSkinDefinition(bool secondLook) {
  std::vector<std::string> lines = {
      "[VERSION]", "skinname=hand", "[PICTURES]", "activepicturescount=2", "0=controls.bmp",
      "1=mask.bmp", "[FORMINFO]", "[SKINOBJECTS]", "count=0", "[SKINCONTROLS]",
      "count=9",
      "0=panel:panel", "1=hpanel:panel", "2=button:button", "3=toolbutton:button",
      "4=hsplitter:splitter", "5=stdlabel:stdlabel", "6=masked:panel", "7=bgpanel:panel",
      "8=fixedbutton:button",
      "[panel]", "pictureindex=0", "skinrect=0,0,12,12", "lefttoppoint=3,3",
      "righttoppoint=9,3", "leftbottompoint=3,9", "rightbottompoint=9,9",
      "clientrect=2,2,10,10", "captionrect=2,0,10,2", "fontcolor=255",
      "[hpanel]", "pictureindex=0", "skinrect=0,0,12,12", "lefttoppoint=3,0",
      "righttoppoint=9,0", "clientrect=2,2,10,10",
      "[button]", "pictureindex=0", "skinrect=0,20,12,32", "lefttoppoint=2,2",
      "righttoppoint=10,2", "leftbottompoint=2,10", "rightbottompoint=10,10",
      "clientrect=2,2,10,10", "activeskinrect=12,20,24,32", "downskinrect=24,20,36,32",
      "disabledskinrect=36,20,48,32", "fontcolor=0", "activefontcolor=255",
      "downfontcolor=65280", "disabledfontcolor=16711680", "morphing=1", "morphkind=mkdefault",
      "[toolbutton]", "pictureindex=0", "skinrect=0,20,12,32", "lefttoppoint=2,2",
      "righttoppoint=10,2", "leftbottompoint=2,10", "rightbottompoint=10,10",
      "clientrect=2,2,10,10", "activeskinrect=12,20,24,32", "downskinrect=24,20,36,32",
      "morphing=0",
      "[hsplitter]", "pictureindex=0", "skinrect=48,0,60,5", "lefttoppoint=4,0",
      "righttoppoint=8,0", "clientrect=0,0,12,5",
      "[stdlabel]", "fontcolor=255", "fontheight=13",
      "[masked]", "pictureindex=0", "maskpictureindex=1", "skinrect=0,0,12,12",
      "clientrect=2,2,10,10",
      "[bgpanel]", "pictureindex=0", "bgpictureindex=1", "skinrect=0,0,12,12",
      "lefttoppoint=3,3", "righttoppoint=9,3", "leftbottompoint=3,9", "rightbottompoint=9,9",
      "clientrect=2,2,10,10",
      "[fixedbutton]", "pictureindex=0", "skinrect=0,20,12,32", "clientrect=2,2,10,10",
      "activeskinrect=12,20,24,32",
  };
  if (secondLook) {
    // The second skin's splitter is thicker.
    for (auto& line : lines) {
      if (line == "skinrect=48,0,60,5") line = "skinrect=48,0,60,8";
    }
  }
  return lines;
}

inline std::vector<std::uint8_t> HandSkinPackage(bool secondLook) {
  SkinPackageWriter out;
  out.WriteInt32(SkinPackageVersion);
  out.WriteFlaggedBitmap({});
  out.WriteFlaggedBitmap({});
  out.WriteFlaggedBitmap({});
  out.WriteInt32(2);
  out.WriteBitmapImage(SaveBmp(HandSkinPicture(secondLook), 24));
  out.WriteBitmapImage(SaveBmp(HandSkinMask(), 24));
  out.WriteLines(HandSkinDefinition(secondLook));
  return CompressSkinStream(out.Bytes());
}

// The program's stored skin, as the build packs it.
inline std::string ProgramSkinPackagePath() {
  return std::string(KAVRI_BINARY_DIR) + "/assets/skin/kavri.skinpkg";
}

class SkinCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto host = std::make_unique<HeadlessHost>();
    host_ = host.get();
    WindowSystem::Install(std::move(host));
    Application->OnException = [this](TObject*, const std::exception& e) { errors.push_back(e.what()); };
    form_ = new TForm(nullptr);
    form_->SetBounds(50, 50, 400, 300);
    // The form's own frame component passes skin changes down to the controls, as in the
    // program; it draws no skin of its own here.
    frame_ = new TskSkinForm(form_);
    data_ = new TskSkinData(form_);
  }
  void TearDown() override {
    for (int i = Application->FormCount() - 1; i >= 0; --i) delete Application->Forms(i);
    Application->OnException = nullptr;
    WindowSystem::Shutdown();
    EXPECT_TRUE(errors.empty()) << errors.front();
  }

  void LoadHandSkin(bool secondLook = false) {
    stored_.SetCompressedData(HandSkinPackage(secondLook));
    data_->LoadStoredSkin(stored_);
  }
  void LoadProgramSkin() {
    ASSERT_TRUE(std::filesystem::exists(ProgramSkinPackagePath()))
        << "the stored skin is built with the project: " << ProgramSkinPackagePath();
    stored_.LoadFromPackageFile(ProgramSkinPackagePath());
    data_->LoadStoredSkin(stored_);
    ASSERT_FALSE(data_->SkinEmpty());
  }
  void ShowForm() {
    form_->Show();
    host_->Pump();
  }
  Point ScreenPoint(TControl* c, int x, int y) {
    const Point o = c->ClientOrigin();
    return {o.x + x, o.y + y};
  }
  Point Centre(TControl* c) { return ScreenPoint(c, c->Width() / 2, c->Height() / 2); }
  // The colour the screen shows at a point of a control.
  Color ScreenColor(TControl* c, int x, int y) {
    host_->Pump();
    const Bitmap shot = host_->Screenshot();
    const Point p = ScreenPoint(c, x, y);
    return shot.GetPixelColor(p.x, p.y);
  }
  template <class Control>
  Bitmap Render(Control* c) {
    TBitmap b;
    c->RenderTo(b);
    return b.Image();
  }

  // Logs the skin messages that reach `form`'s window, then lets the form handle them.
  void Listen(TCustomForm* form, std::function<void(UINT)> onMessage = nullptr) {
    HWND h = form->Handle();
    auto prev = std::make_shared<WNDPROC>();
    *prev = SetWindowLong(h, GWL_WNDPROC,
                          WNDPROC(WindowProc::Callable([this, prev, onMessage](HWND w, UINT m, WPARAM wp, LPARAM lp) {
                            if (m >= SKINMSG_BEFORECHANGE && m <= SKINMSG_AFTERCHANGE) {
                              heard.push_back(m);
                              if (onMessage) onMessage(m);
                            }
                            return CallWindowProc(*prev, w, m, wp, lp);
                          })));
  }

  HeadlessHost* host_ = nullptr;
  TForm* form_ = nullptr;
  TskSkinForm* frame_ = nullptr;
  TskCompressedStoredSkin stored_;
  TskSkinData* data_ = nullptr;  // owned by form_
  std::vector<UINT> heard;
  std::vector<std::string> errors;
};

inline Color BtnFace() { return ColorToRGB(clBtnFace); }

}  // namespace skinctl
