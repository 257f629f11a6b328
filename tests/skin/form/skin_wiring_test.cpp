// A skinned form read from its resource, as the program's windows are: the stored skin's
// bytes, the skin data linked to it, the frame and the controls linked by name. Each part
// draws from its record; a second skin, the loss of the skin data and a recreated window
// reach every one of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "../controls/SkinCtrlsTestSupport.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinLabel.h"
#include "skin/controls/skSkinPanel.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinHint.h"
#include "skin/form/skSkinForm.h"
#include "toolkit/Forms.h"
#include "toolkit/Reader.h"
#include "toolkit/Streaming.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The resource of tests/inputs with the build's packed program skin put in.
std::string SkinnedFormText() {
  std::string text = ReadFile(std::string(KAVRI_TEST_INPUTS) + "/skin/skinned_form.txt");
  TskCompressedStoredSkin program;
  program.LoadFromPackageFile(skinctl::ProgramSkinPackagePath());
  const std::string marker = "@PROGRAM_SKIN@";
  const std::size_t at = text.find(marker);
  if (at != std::string::npos) text.replace(at, marker.size(), BinaryValueText(program.CompressedData()));
  return text;
}

const TskDataSkinCustomControl* CustomRecord(const TskSkinData* data, std::string_view name) {
  const int i = data->FindControlIndex(name);
  if (i < 0) return nullptr;
  return dynamic_cast<const TskDataSkinCustomControl*>(data->ControlList()[static_cast<std::size_t>(i)].get());
}

class SkinWiring : public ::testing::Test {
 protected:
  void SetUp() override {
    auto host = std::make_unique<HeadlessHost>();
    host_ = host.get();
    WindowSystem::Install(std::move(host));
    Application->OnException = [this](TObject*, const std::exception& e) { errors.push_back(e.what()); };
    RegisterSkinControlClasses();
    ASSERT_TRUE(std::filesystem::exists(skinctl::ProgramSkinPackagePath()));
    form_ = new TForm(nullptr);
    ReadComponentResource(form_, SkinnedFormText(), nullptr);
    data_ = dynamic_cast<TskSkinData*>(form_->FindComponent("skSkinData1"));
    frame_ = TskSkinForm::Find(form_);
    panel_ = dynamic_cast<TskSkinPanel*>(form_->FindComponent("skSkinPanel1"));
    label_ = dynamic_cast<TskSkinStdLabel*>(form_->FindComponent("La_inputtext"));
    button_ = dynamic_cast<TskSkinButton*>(form_->FindComponent("Bu_Convert"));
    bar_ = dynamic_cast<TskSkinToolBar*>(form_->FindComponent("skSkinToolBar1"));
    speed_ = dynamic_cast<TskSkinSpeedButton*>(form_->FindComponent("SB_help"));
    ASSERT_TRUE(data_ && frame_ && panel_ && label_ && button_ && bar_ && speed_);
    form_->Show();
    host_->Pump();
  }
  void TearDown() override {
    for (int i = Application->FormCount() - 1; i >= 0; --i) delete Application->Forms(i);
    Application->OnException = nullptr;
    WindowSystem::Shutdown();
    EXPECT_TRUE(errors.empty()) << errors.front();
  }

  Color ScreenColor(TControl* c, int x, int y) {
    Settle();
    const Bitmap shot = host_->Screenshot();
    const Point o = c->ClientOrigin();
    return shot.GetPixelColor(o.x + x, o.y + y);
  }
  // Lets fades (the focused button's morph) run to their end.
  void Settle() {
    host_->AdvanceClock(300);
    host_->Pump();
  }
  // Whether some pixel of the control's area shows `color`, give or take the smoothing of
  // text edges (a few steps on each channel).
  bool ShowsColor(TControl* c, Color color) {
    Settle();
    const Bitmap shot = host_->Screenshot();
    const Point o = c->ClientOrigin();
    const auto near = [](Color a, Color b) {
      for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255)) > 12) return false;
      return true;
    };
    for (int y = 0; y < c->Height(); ++y)
      for (int x = 0; x < c->Width(); ++x)
        if (near(shot.GetPixelColor(o.x + x, o.y + y), color)) return true;
    return false;
  }
  // Every control shows the corner of its own record, in `data`'s current skin.
  void ExpectControlsFromRecords() {
    struct Case {
      TControl* control;
      const char* section;
    };
    for (const Case& c : {Case{panel_, "panel"}, Case{button_, "button"}, Case{speed_, "toolbutton"}}) {
      SCOPED_TRACE(c.section);
      const TskDataSkinCustomControl* r = CustomRecord(data_, c.section);
      ASSERT_NE(r, nullptr);
      Rect source = r->SkinRect;
      // The focused button shows its active look.
      if (c.control == button_ && button_->CurrentLook() == SkinButtonLook::Active)
        source = ReadSkinButtonFields(*r).activeSkinRect;
      const int dx = std::max(1, r->LeftTopPoint.x / 2), dy = std::max(1, r->LeftTopPoint.y / 2);
      const Bitmap& picture = data_->ActivePictures().at(static_cast<std::size_t>(r->PictureIndex));
      EXPECT_EQ(ScreenColor(c.control, dx, dy), picture.GetPixelColor(source.left + dx, source.top + dy));
    }
    const int i = data_->FindControlIndex("stdlabel");
    ASSERT_GE(i, 0);
    const auto* font = dynamic_cast<const SkinFontFields*>(data_->ControlList()[static_cast<std::size_t>(i)].get());
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(ShowsColor(label_, font->FontColor));
  }

  HeadlessHost* host_ = nullptr;
  TForm* form_ = nullptr;
  TskSkinData* data_ = nullptr;
  TskSkinForm* frame_ = nullptr;
  TskSkinPanel* panel_ = nullptr;
  TskSkinStdLabel* label_ = nullptr;
  TskSkinButton* button_ = nullptr;
  TskSkinToolBar* bar_ = nullptr;
  TskSkinSpeedButton* speed_ = nullptr;
  std::vector<std::string> errors;
};

TEST_F(SkinWiring, EveryPartOfTheReadFormDrawsFromItsRecord) {
  ASSERT_FALSE(data_->SkinEmpty());
  EXPECT_EQ(data_->CompressedStoredSkin(), form_->FindComponent("skCompressedStoredSkin2"));
  EXPECT_TRUE(frame_->SkinLoaded());
  EXPECT_EQ(frame_->Hooked(), form_->Handle());
  EXPECT_NE(frame_->FindObject("closebutton"), nullptr);
  EXPECT_NE(frame_->FindObject("caption"), nullptr);
  for (TskSkinChangeable* c : std::initializer_list<TskSkinChangeable*>{panel_, label_, button_, bar_, speed_})
    EXPECT_EQ(c->SkinData(), data_);
  ExpectControlsFromRecords();
  // The frame's top-left corner comes from the skin's main picture, cut by its mask: the
  // corner pixel shows the desktop behind.
  const Bitmap shot = host_->Screenshot();
  const Rect w = form_->BoundsRect();
  ASSERT_TRUE(frame_->WindowRegion().has_value());
  EXPECT_FALSE(frame_->WindowRegion()->Contains({0, 0}));
  EXPECT_NE(shot.GetPixelColor(w.left, w.top), data_->Picture().GetPixelColor(0, 0));
  for (int y = 4; y < 12; ++y)
    for (int x = 4; x < 12; ++x)
      ASSERT_EQ(shot.GetPixelColor(w.left + x, w.top + y), data_->Picture().GetPixelColor(x, y)) << x << "," << y;
}

TEST_F(SkinWiring, ASecondSkinThroughTheSameSkinDataRepaintsFrameAndControls) {
  const int objectsBefore = frame_->ObjectCount();
  ASSERT_GT(objectsBefore, 0);
  TskCompressedStoredSkin hand;
  hand.SetCompressedData(skinctl::HandSkinPackage(false));
  data_->SetCompressedStoredSkin(&hand);
  ASSERT_EQ(data_->SkinName(), "hand");
  // The hand-made skin has no frame objects and its own panel and button looks.
  EXPECT_TRUE(frame_->SkinLoaded());
  EXPECT_EQ(frame_->FindObject("closebutton"), nullptr);
  EXPECT_EQ(ScreenColor(panel_, 0, 0), skinctl::kCorner);
  EXPECT_EQ(ScreenColor(panel_, 1, 6), skinctl::kEdge);
  EXPECT_EQ(ScreenColor(button_, 6, 6), button_->Focused() ? skinctl::kActive : skinctl::kNormal);
  EXPECT_EQ(ScreenColor(speed_, 6, 6), skinctl::kNormal);
  EXPECT_TRUE(ShowsColor(label_, skinctl::kLabelText));
  // And back: the program's skin again, objects and all.
  data_->SetCompressedStoredSkin(dynamic_cast<TskCompressedStoredSkin*>(form_->FindComponent("skCompressedStoredSkin2")));
  EXPECT_EQ(frame_->ObjectCount(), objectsBefore);
  ExpectControlsFromRecords();
}

TEST_F(SkinWiring, RemovingTheSkinDataAtRunTimeLeavesDefaultLooks) {
  const Region before = frame_->WindowRegion().value_or(Region());
  delete data_;
  data_ = nullptr;
  EXPECT_EQ(frame_->SkinData(), nullptr);
  EXPECT_FALSE(frame_->SkinLoaded());
  EXPECT_FALSE(frame_->WindowRegion().has_value());
  // The plain frame's own buttons stand in for the skin's.
  ASSERT_NE(frame_->FindObject("closebutton"), nullptr);
  for (TskSkinChangeable* c : std::initializer_list<TskSkinChangeable*>{panel_, label_, button_, bar_, speed_})
    EXPECT_EQ(c->SkinData(), nullptr);
  EXPECT_EQ(ScreenColor(panel_, 0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ScreenColor(panel_, 20, 30), skinctl::BtnFace());
  // Everything paints and answers the mouse without the skin.
  form_->Invalidate();
  RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
  host_->MoveMouse(button_->ClientOrigin() + Point{5, 5});
  host_->Pump();
  frame_->TrackActiveObject(form_->Width() - 10, 8, true);
  EXPECT_NE(before, Region());
}

TEST_F(SkinWiring, ARecreatedWindowKeepsTheSkinnedFrame) {
  ASSERT_TRUE(frame_->WindowRegion().has_value());
  const int objects = frame_->ObjectCount();
  const Rect w0 = form_->BoundsRect();
  const LPARAM top = MAKELPARAM(w0.left + w0.Width() / 2, w0.top + 5);
  const LRESULT topHit = SendMessage(form_->Handle(), WM_NCHITTEST, 0, top);
  struct Case {
    const char* what;
    std::function<void()> change;
  };
  const Case cases[] = {
      {"border style", [&] { form_->SetBorderStyle(TFormBorderStyle::bsSingle); }},
      {"border icons", [&] { form_->SetBorderIcons(biSystemMenu); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.change();
    host_->Pump();
    const HWND now = form_->Handle();
    EXPECT_EQ(frame_->Hooked(), now);
    EXPECT_TRUE(frame_->SkinLoaded());
    EXPECT_EQ(frame_->ObjectCount(), objects);
    ASSERT_TRUE(frame_->WindowRegion().has_value());
    Region applied;
    ASSERT_NE(GetWindowRgn(now, &applied), ERROR);
    EXPECT_EQ(applied.Rects(), frame_->WindowRegion()->Rects());
    // The frame answers the new window's hit tests as it did the old one's.
    EXPECT_EQ(SendMessage(now, WM_NCHITTEST, 0, top), topHit);
  }
}

TEST_F(SkinWiring, TheFramesMenuAndHintPropertiesAreReadAndPassedOn) {
  auto* frame = TskSkinForm::Find(form_);
  auto* hint = dynamic_cast<TskSkinHint*>(form_->FindComponent("skSkinHint1"));
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(frame->SkinHint(), hint);
  EXPECT_TRUE(frame->ShowObjectHint());
  EXPECT_EQ(frame->MenusSkinData(), data_);
  TskSkinMenu* menu = frame->SkinMenu();
  EXPECT_EQ(menu->MenusSkinData(), data_);
  EXPECT_EQ(menu->MaxMenuItemsInWindow(), 7);
  EXPECT_FALSE(menu->UseSkinFont());
  EXPECT_TRUE(menu->AlphaBlend());
  EXPECT_FALSE(menu->AlphaBlendAnimation());
  EXPECT_EQ(menu->AlphaBlendValue(), 190);
  EXPECT_EQ(menu->DefItemHeight(), 22);
  EXPECT_EQ(menu->DefItemFont().face, "DejaVu Sans");
  EXPECT_EQ(menu->DefItemFont().height, 16);
  EXPECT_EQ(hint->SkinData(), data_);
  EXPECT_TRUE(hint->AlphaBlend());
  EXPECT_EQ(hint->AlphaBlendValue(), 210);
  EXPECT_FALSE(hint->UseSkinFont());
  EXPECT_EQ(hint->DefaultFont().Height(), 13);
  Application->DestroyHintWindow();
}

}  // namespace
