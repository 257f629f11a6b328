// What the plain controls paint, read back from the headless host's window pixels.
#include <gtest/gtest.h>

#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace {

class TkPaint : public ::testing::Test {
 protected:
  void SetUp() override {
    auto host = std::make_unique<HeadlessHost>();
    host_ = host.get();
    WindowSystem::Install(std::move(host));
    form_ = new TForm(nullptr);
    form_->SetBorderStyle(TFormBorderStyle::bsNone);
    form_->SetBounds(50, 50, 200, 150);
    form_->SetColor(clWhite);
  }
  void TearDown() override {
    delete form_;
    WindowSystem::Shutdown();
  }
  // A pixel of the form's client area as shown.
  Color At(int x, int y) {
    host_->Pump();
    const Bitmap* pixels = host_->WindowPixels(form_->Handle()->HostId());
    Point p = form_->ClientToScreen({x, y}) - Point(form_->Left(), form_->Top());
    return PixelToColor(pixels->At(p.x, p.y));
  }
  HeadlessHost* host_ = nullptr;
  TForm* form_ = nullptr;
};

TEST_F(TkPaint, RaisedPanelHasLightTopLeftAndDarkBottomRight) {
  auto* p = new TPanel(form_);
  p->SetParent(form_);
  p->SetBounds(10, 10, 50, 40);
  p->SetColor(clBtnFace);
  form_->Show();
  EXPECT_EQ(At(10, 10), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(At(40, 10), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(At(59, 30), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(30, 49), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(30, 30), ColorToRGB(clBtnFace));
  EXPECT_EQ(At(60, 30), clWhite);  // outside: the form's colour
  p->SetBevelOuter(TBevelCut::bvLowered);
  EXPECT_EQ(At(10, 30), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(59, 30), ColorToRGB(clBtnHighlight));
}

TEST_F(TkPaint, AWindowlessImageDrawsAtItsPlaceOnly) {
  auto* img = new TImage(form_);
  img->SetParent(form_);
  img->SetBounds(100, 20, 20, 20);
  img->Picture().Bitmap().SetSize(40, 40);  // larger than the control: clipped to it
  img->Picture().Bitmap().Canvas().Brush().SetColor(clRed);
  img->Picture().Bitmap().Canvas().FillRect(Rect(0, 0, 40, 40));
  form_->Show();
  EXPECT_EQ(At(100, 20), clRed);
  EXPECT_EQ(At(119, 39), clRed);
  EXPECT_EQ(At(120, 39), clWhite);
  EXPECT_EQ(At(119, 40), clWhite);
  img->SetVisible(false);
  EXPECT_EQ(At(110, 30), clWhite);
  img->SetVisible(true);
  img->Canvas().Brush().SetColor(clBlue);  // drawing through the image's canvas
  img->Canvas().FillRect(Rect(0, 0, 5, 5));
  img->Invalidate();
  EXPECT_EQ(At(101, 21), clBlue);
  EXPECT_EQ(At(110, 30), clRed);
}

TEST_F(TkPaint, LabelInkStaysInsideAndGreysWhenDisabled) {
  auto* l = new TLabel(form_);
  l->SetParent(form_);
  l->SetLeft(20);
  l->SetTop(60);
  l->Font().SetHeight(-14);
  l->Font().SetColor(clBlack);
  l->SetCaption("WWW");
  EXPECT_GT(l->Width(), 10);  // AutoSize took the text's size
  EXPECT_GT(l->Height(), 8);
  form_->Show();
  auto count = [&](Color c) {
    int n = 0;
    for (int y = 55; y < 90; ++y)
      for (int x = 15; x < 100; ++x) {
        Color px = At(x, y);
        if (px == c) {
          ++n;
          EXPECT_TRUE(l->BoundsRect().Contains(Point(x, y))) << x << "," << y;
        }
      }
    return n;
  };
  EXPECT_GT(count(clBlack), 5);
  l->SetEnabled(false);
  EXPECT_EQ(count(clBlack), 0);
  EXPECT_GT(count(ColorToRGB(clBtnShadow)), 5);
}

}  // namespace

namespace {

TEST_F(TkPaint, PlainHintIsTheTextWithTwoPixelsRoundInAShadowFrame) {
  THintWindow hint(nullptr);
  hint.Font().SetHeight(-12);
  TBitmap measure(1, 1);
  measure.Canvas().SetFont(hint.Font());
  Size text = measure.Canvas().TextExtent("Convert");
  Rect r = hint.CalcHintRect(400, "Convert");
  EXPECT_EQ(r, Rect(0, 0, text.cx + 4, text.cy + 4));
  hint.ActivateHint(r.Translated(300, 300), "Convert");
  ASSERT_TRUE(hint.IsShown());
  host_->Pump();
  const Bitmap* pixels = host_->WindowPixels(hint.Handle()->HostId());
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(PixelToColor(pixels->At(0, 0)), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelToColor(pixels->At(r.Width() - 1, r.Height() - 1)), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelToColor(pixels->At(1, 1)), ColorToRGB(clInfoBk));
  hint.ReleaseHint();
  EXPECT_FALSE(hint.IsShown());
}

}  // namespace
