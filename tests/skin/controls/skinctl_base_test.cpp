// The skinned control base: finding the record by exact name, composing from it, the
// default look, following skin changes, regions from masks, losing the skin data, and
// form resources that name the skinned classes.
#include "SkinCtrlsTestSupport.h"
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinPanel.h"
#include "toolkit/Reader.h"

using namespace skinctl;

class TSkinResourceForm : public TForm {
 public:
  explicit TSkinResourceForm(TComponent* owner) : TForm(owner) {}
};

namespace {

class SkinCtrlBase : public SkinCtrlTest {};

TEST_F(SkinCtrlBase, FindsItsRecordByExactNameAndComposesNinePartImage) {
  LoadHandSkin();
  auto* c = new TskSkinCustomControl(form_);
  c->SetParent(form_);
  c->SetBounds(10, 10, 40, 30);
  c->SetSkinDataName("panel");
  c->SetSkinData(data_);
  EXPECT_EQ(c->SkinIndex(), data_->FindControlIndex("panel"));
  EXPECT_EQ(c->ResizeMode(), SkinResizeMode::Both);
  const Bitmap img = Render(c);
  ASSERT_EQ(img.GetSize(), Size(40, 30));
  EXPECT_EQ(img.GetPixelColor(0, 0), kCorner);
  EXPECT_EQ(img.GetPixelColor(39, 29), kCorner);
  EXPECT_EQ(img.GetPixelColor(20, 0), kEdge);    // top edge tiled across the growth
  EXPECT_EQ(img.GetPixelColor(0, 15), kEdge);
  EXPECT_EQ(img.GetPixelColor(20, 15), kCentre);  // client tiled over the middle
  EXPECT_EQ(img.GetPixelColor(37, 27), kCentre);

  ShowForm();
  EXPECT_EQ(ScreenColor(c, 0, 0), kCorner);
  EXPECT_EQ(ScreenColor(c, 20, 15), kCentre);
  EXPECT_EQ(ScreenColor(c, -1, 15), ColorToRGB(form_->GetColor()));  // nothing drawn outside
  EXPECT_EQ(ScreenColor(c, 40, 15), ColorToRGB(form_->GetColor()));

  // Names compare exactly: another letter case is no record and the default look.
  c->SetSkinDataName("Panel");
  EXPECT_NE(c->SkinIndex(), -1);  // the name alone changes nothing until the next lookup
  const Bitmap plain = Render(c);
  EXPECT_EQ(c->SkinIndex(), -1);
  EXPECT_EQ(plain.GetPixelColor(0, 0), BtnFace());
  EXPECT_EQ(plain.GetPixelColor(20, 15), BtnFace());
}

TEST_F(SkinCtrlBase, WithoutSkinDataPaintsButtonFaceAndKeepsItsSize) {
  auto* c = new TskSkinCustomControl(form_);
  c->SetParent(form_);
  c->SetBounds(5, 5, 33, 17);
  c->SetSkinDataName("panel");
  ShowForm();
  EXPECT_EQ(c->SkinIndex(), -1);
  EXPECT_EQ(ScreenColor(c, 0, 0), BtnFace());
  EXPECT_EQ(ScreenColor(c, 32, 16), BtnFace());
  EXPECT_EQ(c->Width(), 33);
  // An empty skin data object is no skin either.
  c->SetSkinData(data_);
  EXPECT_EQ(Render(c).GetPixelColor(10, 10), BtnFace());
  // DefaultWidth and DefaultHeight apply only while there is no record.
  c->SetDefaultWidth(60);
  c->SetDefaultHeight(0);
  EXPECT_EQ(c->Width(), 60);
  EXPECT_EQ(c->Height(), 17);
}

TEST_F(SkinCtrlBase, HorizontalRecordKeepsTheSkinHeightInALayout) {
  LoadHandSkin();
  auto* c = new TskSkinCustomControl(form_);
  c->SetSkinDataName("hpanel");
  c->SetSkinData(data_);
  c->SetParent(form_);
  c->SetAlign(TAlign::alTop);
  c->SetHeight(40);
  EXPECT_EQ(c->ResizeMode(), SkinResizeMode::Horizontal);
  EXPECT_EQ(c->Height(), 12);
  EXPECT_EQ(c->Width(), form_->ClientWidth());
  // A fixed record takes the skin rect's size whatever is asked.
  auto* f = new TskSkinCustomControl(form_);
  f->SetParent(form_);
  f->SetSkinDataName("fixedbutton");
  f->SetSkinData(data_);
  f->SetBounds(0, 100, 80, 50);
  EXPECT_EQ(f->ResizeMode(), SkinResizeMode::Fixed);
  EXPECT_EQ(f->Width(), 12);
  EXPECT_EQ(f->Height(), 12);
}

TEST_F(SkinCtrlBase, FollowsASkinChangeThroughTheSkinMessages) {
  LoadHandSkin();
  auto* panel = new TskSkinPanel(form_);
  panel->SetParent(form_);
  panel->SetBounds(10, 10, 40, 30);
  panel->SetSkinData(data_);
  ShowForm();
  ASSERT_EQ(ScreenColor(panel, 0, 0), kCorner);

  int indexDuringLoad = 0;
  // The listener runs before the form's own window procedure, so it sees the state the
  // frame left after the message before.
  Listen(form_, [&](UINT m) {
    if (m == SKINMSG_CHANGED) indexDuringLoad = panel->SkinIndex();
  });
  LoadHandSkin(/*secondLook=*/true);
  EXPECT_EQ(indexDuringLoad, -1);  // BeginSkinChange forgot the record before the load
  const std::vector<UINT> expected = {SKINMSG_BEFORECHANGE, SKINMSG_CHANGED, SKINMSG_AFTERCHANGE};
  EXPECT_EQ(heard, expected);
  EXPECT_NE(panel->SkinIndex(), -1);
  EXPECT_EQ(ScreenColor(panel, 0, 0), kEdge);  // the second look's corners
  EXPECT_EQ(ScreenColor(panel, 20, 0), kCorner);
  EXPECT_EQ(ScreenColor(panel, 20, 15), kCentre);
}

TEST_F(SkinCtrlBase, SkinChangeWalkReachesOnlyControlsOfThatSkinData) {
  LoadHandSkin();
  auto* other = new TskSkinData(form_);
  auto* outer = new TskSkinPanel(form_);
  outer->SetParent(form_);
  auto* inner = new TskSkinButton(form_);
  inner->SetParent(outer);
  inner->SetSkinData(data_);
  auto* foreign = new TskSkinSpeedButton(form_);
  foreign->SetParent(outer);
  foreign->SetSkinData(other);
  outer->SetSkinData(data_);
  TBitmap scratch;
  inner->RenderTo(scratch);
  ASSERT_NE(inner->SkinIndex(), -1);
  foreign->RenderTo(scratch);
  BeginSkinChangeIn(form_, data_);
  EXPECT_EQ(outer->SkinIndex(), -1);
  EXPECT_EQ(inner->SkinIndex(), -1);  // nested one level down
  ApplySkinIn(form_, data_);
  EXPECT_NE(inner->SkinIndex(), -1);
  EXPECT_EQ(foreign->SkinData(), other);
}

TEST_F(SkinCtrlBase, MaskCutsTheWindowRegion) {
  LoadHandSkin();
  auto* c = new TskSkinCustomControl(form_);
  c->SetParent(form_);
  c->SetSkinDataName("masked");
  c->SetSkinData(data_);
  ShowForm();
  ASSERT_TRUE(c->CurrentRegion().has_value());
  Region window;
  ASSERT_NE(GetWindowRgn(c->Handle(), &window), ERROR);
  EXPECT_FALSE(window.Contains({0, 0}));
  EXPECT_FALSE(window.Contains({11, 11}));
  EXPECT_TRUE(window.Contains({1, 0}));
  EXPECT_TRUE(window.Contains({6, 6}));
  // Without the record the region goes.
  c->SetSkinDataName("none");
  c->ApplySkin();
  EXPECT_FALSE(c->CurrentRegion().has_value());
  EXPECT_EQ(GetWindowRgn(c->Handle(), &window), ERROR);
}

TEST_F(SkinCtrlBase, RemovingTheSkinDataComponentLeavesDefaultLooks) {
  LoadHandSkin();
  auto* panel = new TskSkinPanel(form_);
  panel->SetParent(form_);
  panel->SetBounds(0, 0, 40, 30);
  panel->SetSkinData(data_);
  auto* bar = new TskSkinToolBar(form_);
  bar->SetParent(form_);
  bar->SetBounds(0, 40, 100, 25);
  auto* button = new TskSkinSpeedButton(form_);
  button->SetParent(bar);
  bar->SetSkinData(data_);  // handed on to the button
  ShowForm();
  ASSERT_NE(panel->SkinIndex(), -1);
  ASSERT_EQ(button->SkinData(), data_);
  delete data_;
  data_ = nullptr;
  EXPECT_EQ(panel->SkinData(), nullptr);
  EXPECT_EQ(bar->SkinData(), nullptr);
  EXPECT_EQ(button->SkinData(), nullptr);
  EXPECT_EQ(ScreenColor(panel, 0, 0), ColorToRGB(clBtnShadow));  // the default frame
  EXPECT_EQ(ScreenColor(panel, 20, 20), BtnFace());
  // Repainting the button afterwards reads nothing of the freed skin.
  button->Invalidate();
  EXPECT_EQ(ScreenColor(button, 12, 12), BtnFace());
}

TEST_F(SkinCtrlBase, ALinkToAComponentThatIsNoSkinDataIsRefused) {
  RegisterSkinControlClasses();
  auto* bad = new TSkinResourceForm(nullptr);
  EXPECT_THROW(ReadComponentResource(bad, R"(object SkinForm: TSkinResourceForm
  object Other: TskSkinPanel
  end
  object P: TskSkinPanel
    SkinData = Other
  end
end
)",
                                     nullptr),
               EReadError);
}

}  // namespace

namespace {

// Picture indexes at the ends of the list, and a mask without pixels.
TEST_F(SkinCtrlBase, PictureIndexesOutsideTheListAndEmptyMasksGiveNothing) {
  LoadHandSkin();
  const int count = static_cast<int>(data_->ActivePictures().size());
  ASSERT_EQ(count, 2);
  EXPECT_EQ(SkinActivePicture(data_, count - 1), &data_->ActivePictures()[1]);
  EXPECT_EQ(SkinActivePicture(data_, count), nullptr);
  EXPECT_EQ(SkinActivePicture(data_, -1), nullptr);
  EXPECT_EQ(SkinActivePicture(nullptr, 0), nullptr);
  SkinElement element;
  const Bitmap empty;
  element.mask = &empty;
  element.mode = SkinResizeMode::Fixed;
  EXPECT_FALSE(element.MaskRegion(12, 12).has_value());
}

// A control with a record keeps its own size when DefaultWidth/DefaultHeight change; one
// without takes them; a control one pixel high still paints.
TEST_F(SkinCtrlBase, DefaultSizeAppliesOnlyWithoutARecordAndThinControlsPaint) {
  LoadHandSkin();
  auto* skinned = new TskSkinCustomControl(form_);
  skinned->SetParent(form_);
  skinned->SetSkinDataName("panel");
  skinned->SetSkinData(data_);
  skinned->SetBounds(0, 0, 40, 30);
  skinned->SetDefaultWidth(70);
  skinned->SetDefaultHeight(50);
  EXPECT_EQ(skinned->Width(), 40);
  EXPECT_EQ(skinned->Height(), 30);
  auto* plain = new TskSkinCustomControl(form_);
  plain->SetParent(form_);
  plain->SetSkinDataName("nosuchsection");
  plain->SetSkinData(data_);
  plain->SetBounds(0, 40, 40, 1);
  plain->SetDefaultWidth(70);
  EXPECT_EQ(plain->Width(), 70);
  EXPECT_EQ(plain->Height(), 1);
  ShowForm();
  EXPECT_EQ(ScreenColor(plain, 5, 0), BtnFace());
}

}  // namespace
