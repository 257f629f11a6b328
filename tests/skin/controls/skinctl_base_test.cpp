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
  c->SetSkinData(data_.get());
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
  c->SetSkinData(data_.get());
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
  c->SetSkinData(data_.get());
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
  f->SetSkinData(data_.get());
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
  panel->SetSkinData(data_.get());
  ShowForm();
  ASSERT_EQ(ScreenColor(panel, 0, 0), kCorner);

  int indexDuringLoad = 0;
  receiver_.onBefore = [&] { indexDuringLoad = panel->SkinIndex(); };
  LoadHandSkin(/*secondLook=*/true);
  EXPECT_EQ(indexDuringLoad, -1);  // BeginSkinChange forgot the record before the load
  const std::vector<unsigned> expected = {SKINMSG_BEFORECHANGE, SKINMSG_CHANGED, SKINMSG_AFTERCHANGE,
                                          SKINMSG_BEFORECHANGE, SKINMSG_CHANGED, SKINMSG_AFTERCHANGE};
  EXPECT_EQ(receiver_.log, expected);
  EXPECT_NE(panel->SkinIndex(), -1);
  EXPECT_EQ(ScreenColor(panel, 0, 0), kEdge);  // the second look's corners
  EXPECT_EQ(ScreenColor(panel, 20, 0), kCorner);
  EXPECT_EQ(ScreenColor(panel, 20, 15), kCentre);
}

TEST_F(SkinCtrlBase, SkinChangeWalkReachesOnlyControlsOfThatSkinData) {
  LoadHandSkin();
  TskSkinData other;
  auto* outer = new TskSkinPanel(form_);
  outer->SetParent(form_);
  auto* inner = new TskSkinButton(form_);
  inner->SetParent(outer);
  inner->SetSkinData(data_.get());
  auto* foreign = new TskSkinSpeedButton(form_);
  foreign->SetParent(outer);
  foreign->SetSkinData(&other);
  outer->SetSkinData(data_.get());
  TBitmap scratch;
  inner->RenderTo(scratch);
  ASSERT_NE(inner->SkinIndex(), -1);
  BeginSkinChangeControls(form_, data_.get());
  EXPECT_EQ(outer->SkinIndex(), -1);
  EXPECT_EQ(inner->SkinIndex(), -1);  // nested one level down
  ApplySkinControls(form_, data_.get());
  EXPECT_NE(inner->SkinIndex(), -1);
  EXPECT_EQ(foreign->SkinData(), &other);
}

TEST_F(SkinCtrlBase, MaskCutsTheWindowRegion) {
  LoadHandSkin();
  auto* c = new TskSkinCustomControl(form_);
  c->SetParent(form_);
  c->SetSkinDataName("masked");
  c->SetSkinData(data_.get());
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
  auto* holder = new TestSkinHolder(form_);
  holder->data = data_.get();
  auto* panel = new TskSkinPanel(form_);
  panel->SetParent(form_);
  panel->SetBounds(0, 0, 40, 30);
  panel->SetSkinDataProvider(holder);
  auto* button = new TskSkinSpeedButton(form_);
  button->SetParent(panel);
  button->SetSkinDataProvider(holder);
  ShowForm();
  ASSERT_NE(panel->SkinIndex(), -1);
  delete holder;
  EXPECT_EQ(panel->SkinData(), nullptr);
  EXPECT_EQ(button->SkinData(), nullptr);
  EXPECT_EQ(ScreenColor(panel, 0, 0), ColorToRGB(clBtnShadow));  // the default frame
  EXPECT_EQ(ScreenColor(panel, 20, 20), BtnFace());
}

TEST_F(SkinCtrlBase, FormResourceNamesTheSkinnedClasses) {
  LoadHandSkin();
  RegisterSkinControlClasses();
  RegisterComponentClass<TestSkinHolder>("TTestSkinHolder");
  auto* form = new TSkinResourceForm(nullptr);
  auto* holder = new TestSkinHolder(form);
  holder->SetName("skSkinData1");
  holder->data = data_.get();
  ReadComponentResource(form, R"(object SkinForm: TSkinResourceForm
  Width = 300
  Height = 200
  object skSkinPanel1: TskSkinPanel
    Left = 0
    Top = 0
    Width = 200
    Height = 100
    SkinData = skSkinData1
    SkinDataName = 'panel'
    BorderStyle = bvNone
    DefaultFont.Name = 'Arial'
    object Bu_Convert: TskSkinButton
      Left = 10
      Top = 10
      Width = 80
      Height = 24
      SkinData = skSkinData1
      Caption = 'Go'
      Default = True
    end
    object SB_help: TskSkinSpeedButton
      Left = 100
      Top = 10
      SkinData = skSkinData1
    end
  end
  object La_inputtext: TskSkinStdLabel
    SkinData = skSkinData1
    Caption = 'text'
  end
  object skSkinSplitter2: TskSkinSplitter
    Align = alTop
    SkinData = skSkinData1
    SkinDataName = 'hsplitter'
  end
end
)",
                        nullptr);
  auto* panel = dynamic_cast<TskSkinPanel*>(form->FindComponent("skSkinPanel1"));
  auto* button = dynamic_cast<TskSkinButton*>(form->FindComponent("Bu_Convert"));
  auto* speed = dynamic_cast<TskSkinSpeedButton*>(form->FindComponent("SB_help"));
  ASSERT_TRUE(panel && button && speed);
  EXPECT_EQ(panel->SkinData(), data_.get());
  EXPECT_EQ(panel->BorderStyle(), TskSkinBorderStyle::bvNone);
  EXPECT_EQ(panel->DefaultFont().Name(), "Arial");
  EXPECT_EQ(button->Parent(), panel);
  EXPECT_TRUE(button->Default());
  EXPECT_EQ(speed->SkinDataName(), "toolbutton");
  EXPECT_EQ(speed->Width(), 25);
  auto* splitter = form->FindComponent("skSkinSplitter2");
  ASSERT_NE(splitter, nullptr);
  EXPECT_EQ(dynamic_cast<TControl*>(splitter)->Height(), 5);

  // A link to a component that carries no skin data is refused with a clear error.
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
