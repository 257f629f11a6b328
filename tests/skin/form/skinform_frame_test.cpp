// The skinned frame on the headless host: painting at the picture's size and larger, edge
// stretching, the window region, the inactive look, the plain frame and the stored skin.
#include "SkinFormTestSupport.h"

namespace {

constexpr int kPW = 80, kPH = 48;

// The picture point a window point of a W x H window is painted from (tiled edges).
Point SourceOf(Point p, int w, int h) {
  const int dW = w - kPW, dH = h - kPH;
  int x = p.x, y = p.y;
  if (p.x >= 40 + dW) x = p.x - dW;
  else if (p.x >= 24) x = 24 + (p.x - 24) % 16;
  if (p.y >= 40 + dH) y = p.y - dH;
  else if (p.y >= 20) y = 20 + (p.y - 20) % 20;
  return {x, y};
}

class SkinFormFrame : public SkinFormTest {};

TEST_F(SkinFormFrame, AtThePicturesSizeTheWindowIsThePicture) {
  Skinned s = MakeForm(TestSkinPackage());
  ASSERT_TRUE(s.frame->SkinLoaded());
  EXPECT_EQ(Bounds(s.form), Rect(100, 100, 180, 148));
  EXPECT_EQ(s.form->ClientRect(), Rect(0, 0, 64, 20));
  Point origin = s.form->ClientOrigin();
  EXPECT_EQ(origin, Point(108, 120));
  const Region* region = Hwnd(s.form)->WindowRegion();
  ASSERT_NE(region, nullptr);
  int checked = 0;
  for (int y = 0; y < kPH; ++y)
    for (int x = 0; x < kPW; ++x) {
      if (!region->Contains({x, y})) continue;
      ++checked;
      // The client background tiles the picture's client rectangle from the client's
      // origin, so at this size it too shows the picture.
      ASSERT_EQ(At(s.form, x, y), TestPicturePixel(x, y, 10)) << x << "," << y;
    }
  EXPECT_GT(checked, kPW * kPH * 3 / 4);
}

TEST_F(SkinFormFrame, WiderAndTallerKeepsCornersAndTilesEdges) {
  const int w = kPW + 25, h = kPH + 7;
  Skinned s = MakeForm(TestSkinPackage(), Rect::FromSize(100, 100, w, h));
  EXPECT_EQ(Bounds(s.form).GetSize(), Size(w, h));
  EXPECT_EQ(s.form->ClientRect(), Rect(0, 0, w - 16, h - 28));
  const Region* region = Hwnd(s.form)->WindowRegion();
  ASSERT_NE(region, nullptr);
  const Rect client = s.frame->Geometry().clientRect;
  EXPECT_EQ(client, Rect(8, 20, w - 8, h - 8));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (client.Contains({x, y}) || !region->Contains({x, y})) continue;
      const Point src = SourceOf({x, y}, w, h);
      ASSERT_EQ(At(s.form, x, y), TestPicturePixel(src.x, src.y, 10)) << x << "," << y;
    }
}

TEST_F(SkinFormFrame, TopStretchScalesTheMiddleInsteadOfTiling) {
  TestSkinOptions o;
  o.topStretch = true;
  o.mask = false;
  Skinned s = MakeForm(TestSkinPackage(o), Rect::FromSize(100, 100, kPW + 16, kPH));
  EXPECT_EQ(Hwnd(s.form)->WindowRegion(), nullptr);  // no mask: rectangular
  // The 16-pixel middle fills 32 pixels: each source column twice.
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(At(s.form, 24 + 2 * k, 10), TestPicturePixel(24 + k, 10, 10)) << k;
    EXPECT_EQ(At(s.form, 25 + 2 * k, 10), TestPicturePixel(24 + k, 10, 10)) << k;
  }
  // The corners stay.
  EXPECT_EQ(At(s.form, 2, 44), TestPicturePixel(2, 44, 10));
  EXPECT_EQ(At(s.form, 90, 10), TestPicturePixel(74, 10, 10));
}

TEST_F(SkinFormFrame, WindowRegionIsTheMaskResized) {
  const int w = kPW + 30, h = kPH + 21;
  Skinned s = MakeForm(TestSkinPackage(), Rect::FromSize(200, 150, w, h));
  const Region* region = Hwnd(s.form)->WindowRegion();
  ASSERT_NE(region, nullptr);
  ASSERT_TRUE(s.frame->WindowRegion().has_value());
  EXPECT_EQ(*region, *s.frame->WindowRegion());
  const Rect maskArea = s.frame->Geometry().maskArea;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Point src = SourceOf({x, y}, w, h);
      const bool want = maskArea.Contains({x, y}) || TestMaskInside(src.x, src.y, kPW, kPH);
      ASSERT_EQ(region->Contains({x, y}), want) << x << "," << y;
      ASSERT_EQ(s.frame->MaskContainsPoint({x, y}), want) << x << "," << y;
    }
  // A cut-away corner takes no mouse input; the pixel beside it does.
  EXPECT_NE(WindowFromPoint({200 + 1, 150 + 1}), Hwnd(s.form));
  EXPECT_EQ(WindowFromPoint({200 + 6, 150 + 6}), Hwnd(s.form));
  // Resizing rebuilds it.
  s.form->SetBounds(200, 150, w + 40, h);
  host_->Pump();
  ASSERT_NE(Hwnd(s.form)->WindowRegion(), nullptr);
  EXPECT_TRUE(Hwnd(s.form)->WindowRegion()->Contains({w + 40 - 6, h - 6}));
  EXPECT_FALSE(Hwnd(s.form)->WindowRegion()->Contains({w + 40 - 1, h - 1}));
}

TEST_F(SkinFormFrame, InactiveWindowsUseTheInactivePictureOrTheEffect) {
  struct Case {
    const char* what;
    bool inactivePicture, autoRendering;
    Pixel want;  // at window (2, 10) while inactive
  };
  const Pixel main = TestPicturePixel(2, 10, 10);
  const Case cases[] = {
      {"inactive picture, no effect", true, false, TestPicturePixel(2, 10, 200)},
      {"no inactive picture, effect", false, true,
       MakePixel(255 - PixelR(main), 255 - PixelG(main), 255 - PixelB(main))},
      {"inactive picture and effect", true, true,
       MakePixel(255 - 6, 255 - 50, 255 - 200)},
      {"neither", false, false, main},
  };
  for (const Case& c : cases) {
    TestSkinOptions o;
    o.inactivePicture = c.inactivePicture;
    o.autoRendering = c.autoRendering;
    Skinned s = MakeForm(TestSkinPackage(o));
    EXPECT_TRUE(s.frame->IsFormActive()) << c.what;
    EXPECT_EQ(At(s.form, 2, 10), main) << c.what;
    host_->FocusOtherProgram();
    host_->Pump();
    EXPECT_FALSE(s.frame->IsFormActive()) << c.what;
    EXPECT_EQ(At(s.form, 2, 10), c.want) << c.what;
    // The client area is not the frame's: it keeps the main picture's background.
    EXPECT_EQ(At(s.form, 30, 30), TestPicturePixel(30, 30, 10)) << c.what;
    delete s.form;
    host_->Pump();
  }
}

TEST_F(SkinFormFrame, ActivationFiresTheFramesEvents) {
  Skinned a = MakeForm(TestSkinPackage());
  std::vector<std::string> log;
  a.frame->OnActivate = [&](TObject*) { log.push_back("activate"); };
  a.frame->OnDeActivate = [&](TObject*) { log.push_back("deactivate"); };
  Skinned b = MakeForm(TestSkinPackage(), {400, 100, 480, 148});
  EXPECT_FALSE(a.frame->IsFormActive());
  EXPECT_TRUE(b.frame->IsFormActive());
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "deactivate");
  SetActiveWindow(Hwnd(a.form));
  host_->Pump();
  EXPECT_TRUE(a.frame->IsFormActive());
  EXPECT_EQ(log.back(), "activate");
}

TEST_F(SkinFormFrame, WithoutSkinThePlainFrame) {
  Skinned s = MakeForm({}, Rect::FromSize(100, 100, 300, 200));
  EXPECT_FALSE(s.frame->SkinLoaded());
  EXPECT_EQ(s.form->ClientRect().GetSize(), Size(294, 175));
  EXPECT_EQ(s.form->ClientOrigin(), Point(103, 122));
  EXPECT_EQ(Hwnd(s.form)->WindowRegion(), nullptr);
  EXPECT_EQ(At(s.form, 0, 0), ColorToPixel(GetSysColor(22)));    // 3-D light, outer ring
  EXPECT_EQ(At(s.form, 299, 199), ColorToPixel(GetSysColor(21)));  // 3-D dark shadow
  EXPECT_EQ(At(s.form, 1, 1), ColorToPixel(GetSysColor(20)));    // button highlight
  // The default buttons: close, maximize and minimize on the right, system menu on the left.
  ASSERT_NE(s.frame->FindObject("closebutton"), nullptr);
  EXPECT_EQ(s.frame->FindObject("closebutton")->ObjectRect, Rect(280, 4, 297, 21));
  EXPECT_EQ(s.frame->FindObject("sysmenubutton")->ObjectRect, Rect(3, 4, 20, 21));
  EXPECT_FALSE(s.frame->FindObject("traybutton")->Visible);
  EXPECT_EQ(s.frame->GetMinWidth(), 120);
  EXPECT_EQ(s.frame->GetMinHeight(), 25);
}

TEST_F(SkinFormFrame, StoredSkinKeepsItsMarginsAndAnchorsItsButtons) {
  const std::vector<std::uint8_t> stored = StoredSkinBytes();
  ASSERT_FALSE(stored.empty());
  Skinned s = MakeForm(stored, Rect::FromSize(50, 50, 277, 116));
  ASSERT_TRUE(s.frame->SkinLoaded());
  EXPECT_EQ(s.form->ClientRect(), Rect(0, 0, 252, 61));
  EXPECT_EQ(s.form->ClientOrigin(), Point(50 + 13, 50 + 46));
  const Bitmap& picture = s.data->Picture();
  const Region* region = Hwnd(s.form)->WindowRegion();
  ASSERT_NE(region, nullptr);
  for (int y = 0; y < 116; ++y)
    for (int x = 0; x < 277; ++x)
      if (region->Contains({x, y}) && !Rect(13, 46, 265, 107).Contains({x, y})) {
        ASSERT_EQ(At(s.form, x, y), picture.At(x, y)) << x << "," << y;
      }
  s.form->SetBounds(50, 50, 277 + 60, 116 + 20);
  host_->Pump();
  EXPECT_EQ(s.frame->FindObject("closebutton")->ObjectRect, Rect(300, 11, 324, 35));
  EXPECT_EQ(s.frame->FindObject("caption")->ObjectRect, Rect(46, 16, 196, 35));
  EXPECT_EQ(s.frame->FindObject("sysmenubutton")->ObjectRect, Rect(16, 13, 38, 35));
  EXPECT_EQ(s.form->ClientRect(), Rect(0, 0, 252 + 60, 61 + 20));
}

}  // namespace
