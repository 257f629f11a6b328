// Skinned menu items on a small hand-made skin: morphing between the normal and active
// images on the 20 ms timer, and a popup record whose picture is missing.
#include "tests/skin/form/SkinMenuTestSupport.h"

#include <cmath>

#include "platform/gfx/Bmp.h"

using namespace skinmenu;

namespace {

constexpr Color kWindow = RGB(90, 90, 90);
constexpr Color kNormal = RGB(250, 0, 0);
constexpr Color kActive = RGB(0, 0, 250);
constexpr Color kDivider = RGB(0, 200, 0);

Bitmap Filled(int w, int h, Color c) { return Bitmap(w, h, ColorToPixel(c)); }

// Picture 0: the popup window, 20 x 20; picture 1: item images 40 x 10 (normal, active)
// and a 40 x 4 divider.
std::vector<std::uint8_t> MenuSkinPackage(int windowPicture, bool morphing) {
  Bitmap items = Filled(40, 24, kNormal);
  for (int y = 10; y < 20; ++y)
    for (int x = 0; x < 40; ++x) items.SetPixelColor(x, y, kActive);
  for (int y = 20; y < 24; ++y)
    for (int x = 0; x < 40; ++x) items.SetPixelColor(x, y, kDivider);
  const std::vector<std::string> lines = {
      "[VERSION]", "skinname=menus", "[PICTURES]", "activepicturescount=2", "0=popup.bmp", "1=items.bmp",
      "[FORMINFO]", "[SKINOBJECTS]", "count=1", "0=menuitem:menuitem", "[SKINCONTROLS]", "count=0",
      "[POPUPWINDOW]", "windowpictureindex=" + std::to_string(windowPicture), "lefttoppoint=2,2",
      "righttoppoint=18,2", "leftbottompoint=2,18", "rightbottompoint=18,18", "itemsrect=2,2,18,18",
      "[menuitem]", "activepictureindex=1", "skinrectinapicture=1", "skinrect=0,0,40,10",
      "activeskinrect=0,10,40,20", "dividerrect=0,20,40,24", "textrect=2,0,38,10", "fontheight=10",
      std::string("morphing=") + (morphing ? "1" : "0"), "morphkind=mkdefault"};
  SkinPackageWriter out;
  out.WriteInt32(SkinPackageVersion);
  out.WriteFlaggedBitmap({});
  out.WriteFlaggedBitmap({});
  out.WriteFlaggedBitmap({});
  out.WriteInt32(2);
  out.WriteBitmapImage(SaveBmp(Filled(20, 20, kWindow), 24));
  out.WriteBitmapImage(SaveBmp(items, 24));
  out.WriteLines(lines);
  return CompressSkinStream(out.Bytes());
}

class SkinMenuMorphTest : public SkinMenuTest {
 protected:
  void LoadMenuSkin(int windowPicture, bool morphing) {
    stored_.SetCompressedData(MenuSkinPackage(windowPicture, morphing));
    data_->LoadStoredSkin(stored_);
    ASSERT_FALSE(data_->SkinEmpty());
  }
  // The right end of an item, where no text is drawn.
  Color ItemEnd(int index) {
    TskSkinPopupWindow* p = Level(0);
    const Rect r = p->Items(index)->ItemRect();
    return p->RenderImage().GetPixelColor(r.right - 2, r.top + r.Height() / 2);
  }
};

Color Mix(Color a, Color b, double k) {
  auto ch = [k](int x, int y) { return static_cast<int>(std::nearbyint((1 - k) * x + k * y)); };
  return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
}

}  // namespace

TEST_F(SkinMenuMorphTest, ItemsMorphTowardsTheirStateEveryTwentyMilliseconds) {
  LoadMenuSkin(0, true);
  Fill({{"One"}, {"-"}, {"Two"}});
  Open({700, 100}, data_.get());
  TskSkinPopupWindow* p = Level(0);
  ASSERT_TRUE(p->SkinnedItems());
  EXPECT_EQ(p->Height(), 10 + 4 + 10 + 4);
  // The first item was entered when the level opened: it starts from the normal image.
  EXPECT_EQ(p->Items(0)->MorphFactor(), 0);
  EXPECT_EQ(ItemEnd(0), kNormal);
  host_->AdvanceClock(skMenuMorphInterval);
  EXPECT_NEAR(p->Items(0)->MorphFactor(), 0.2, 1e-9);
  EXPECT_EQ(ItemEnd(0), Mix(kNormal, kActive, 0.2));
  host_->AdvanceClock(4 * skMenuMorphInterval);
  EXPECT_EQ(p->Items(0)->MorphFactor(), 1.0);
  EXPECT_EQ(ItemEnd(0), kActive);
  // Moving on: the old item fades back while the new one lights up.
  Key(VK_DOWN);
  host_->AdvanceClock(2 * skMenuMorphInterval);
  EXPECT_NEAR(p->Items(0)->MorphFactor(), 0.6, 1e-9);
  EXPECT_NEAR(p->Items(2)->MorphFactor(), 0.4, 1e-9);
  host_->AdvanceClock(10 * skMenuMorphInterval);
  EXPECT_EQ(ItemEnd(0), kNormal);
  EXPECT_EQ(ItemEnd(2), kActive);
  EXPECT_EQ(ItemEnd(1), kDivider);
}

TEST_F(SkinMenuMorphTest, WithoutMorphingTheActiveImageShowsAtOnce) {
  LoadMenuSkin(0, false);
  Fill({{"One"}, {"Two"}});
  Open({700, 100}, data_.get());
  EXPECT_EQ(ItemEnd(0), kActive);
  EXPECT_EQ(ItemEnd(1), kNormal);
}

TEST_F(SkinMenuMorphTest, APopupRecordWithoutItsPictureFallsBackToTheDefaultLook) {
  LoadMenuSkin(7, false);
  Fill({{"One"}, {"Two"}});
  Open({700, 100}, data_.get());
  TskSkinPopupWindow* p = Level(0);
  EXPECT_FALSE(p->SkinnedWindow());
  EXPECT_FALSE(p->SkinnedItems());
  EXPECT_EQ(p->Height(), 2 * 20 + 4);
  EXPECT_EQ(p->RenderImage().GetPixelColor(0, 0), ColorToRGB(clBtnShadow));
}
