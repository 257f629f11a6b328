// The caption object's text (alignment, shortening, shadow, active colours) and its fade,
// and the glyphs of the plain frame's buttons in each state, on the headless host.
#include "FrameObjectSkin.h"

#include "platform/gfx/DC.h"
#include "platform/gfx/Font.h"

using namespace frameobj;

namespace {

class FrameCaption : public FrameObjectTest {
 protected:
  static Font CaptionFont() {
    FontSpec f;
    f.face = "DejaVu Sans";  // proportional: texts of odd widths exist
    f.height = 13;
    return Font(f);
  }
  // The text as the caption must show it in `width` pixels.
  static std::string Shortened(const Font& font, std::string text, int width) {
    if (font.TextWidth(text) <= width) return text;
    while (!text.empty() && font.TextWidth(text + "...") > width) text.pop_back();
    return text + "...";
  }
};

TEST_F(FrameCaption, TextIsPlacedShortenedAndShadowedByTheRecord) {
  struct Case {
    const char* alignment;
    bool shadow;
    bool active;
    const char* text;
  };
  const char* const longText = "A caption far too long for the caption band of this small window";
  const Case cases[] = {
      {"taleftjustify", false, true, "Kavri"},
      {"tarightjustify", false, true, "Kavri"},
      {"tacenter", false, true, "Kavri"},
      {"taleftjustify", true, true, "Kavri"},
      {"tarightjustify", true, false, "Kavri"},
      {"tacenter", true, false, "Kavri window"},
      {"tacenter", false, true, nullptr},  // a text of odd width, chosen below
      {"taleftjustify", false, true, longText},
      {"tacenter", true, true, longText},
      {"tarightjustify", false, false, longText},
  };
  const Font font = CaptionFont();
  std::string odd;
  for (const char* t : {"Kavri", "Kavri!", "Kavri w", "Kavri wi", "Kavri win", "Kavri wind"})
    if (font.TextWidth(t) % 2 == 1) {
      odd = t;
      break;
    }
  ASSERT_FALSE(odd.empty());
  for (Case c : cases) {
    if (!c.text) c.text = odd.c_str();
    SCOPED_TRACE(std::string(c.alignment) + (c.shadow ? " shadow " : " ") + (c.active ? "active " : "inactive ") +
                 c.text);
    Options o;
    o.alignment = c.alignment;
    o.shadow = c.shadow;
    Skinned s = Make(o);
    if (!c.active) {
      host_->FocusOtherProgram();
      host_->Pump();
    }
    ASSERT_EQ(s.frame->IsFormActive(), c.active);
    const Bitmap before = Hwnd(s.form)->Backing();
    s.form->SetCaption(c.text);
    host_->Pump();
    // The text area: the record's text rectangle in the caption (20, 4, 180, 20), its
    // right edge following the caption's growth.
    const Rect caption = s.frame->FindObject("caption")->ObjectRect;
    ASSERT_EQ(caption, Rect(20, 4, 180, 20));
    const Rect area(24, 4, 176, 20);
    const std::string shown = Shortened(font, c.text, area.Width());
    if (std::string(c.text) == longText) {
      EXPECT_LT(shown.size(), std::string(c.text).size());
      EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    }
    const Size ext = font.TextExtent(shown);
    int x = area.left;
    if (std::string(c.alignment) == "tarightjustify") x = area.right - ext.cx;
    if (std::string(c.alignment) == "tacenter") x = area.left + area.Width() / 2 - ext.cx / 2;
    const int y = area.top + area.Height() / 2 - ext.cy / 2;
    Bitmap want = before;
    {
      DC dc(want);
      dc.SelectFont(font);
      dc.SetBkMode(TRANSPARENT);
      if (c.shadow) {
        dc.SetTextColor(c.active ? Color(16776960) : Color(65280));
        dc.TextOut(x + 1, y + 1, shown);
      }
      dc.SetTextColor(c.active ? Color(16711680) : Color(255));
      dc.TextOut(x, y, shown);
    }
    int off = 0, inked = 0;
    for (int py = 0; py < kH; ++py)
      for (int px = 0; px < kW; ++px) {
        if (At(s.form, px, py) != want.At(px, py)) ++off;
        if (want.At(px, py) != before.At(px, py)) ++inked;
      }
    EXPECT_EQ(off, 0);
    EXPECT_GT(inked, 20);
    delete s.form;
    host_->Pump();
  }
}

// With a frame rectangle the text stands on a strip of the object picture as wide as the
// text plus the frame's margins, its ends kept whole; the active window takes the active
// strip.
TEST_F(FrameCaption, AFramedCaptionDrawsItsTextOnAStripAsWideAsTheText) {
  Options o;
  o.captionFrame = true;
  const Font font = CaptionFont();
  for (bool active : {true, false}) {
    SCOPED_TRACE(active ? "active" : "inactive");
    Skinned s = Make(o);
    if (!active) {
      host_->FocusOtherProgram();
      host_->Pump();
    }
    s.form->SetCaption("Kavri");
    host_->Pump();
    // The text area: (4, 0, objW - 4, 16) moved in by the frame text rectangle: left and
    // top by (4, 2), right by 26 - 30.
    const Rect area(28, 6, 172, 20);
    const Size ext = font.TextExtent("Kavri");
    const int x = area.left, y = area.top + area.Height() / 2 - ext.cy / 2;
    const int top = active ? 12 : 0;
    const int stripLeft = x - 4, stripTop = y - 2, stripWidth = 30 + ext.cx - 22;
    for (int j = 0; j < 12; ++j)
      for (int i = 0; i < 4; ++i) {
        // The fixed ends: the frame rectangle's first and last four columns.
        EXPECT_EQ(At(s.form, stripLeft + i, stripTop + j), ObjectPixel(70 + i, top + j)) << i << "," << j;
        EXPECT_EQ(At(s.form, stripLeft + stripWidth - 4 + i, stripTop + j), ObjectPixel(96 + i, top + j))
            << i << "," << j;
      }
    // Past the strip the frame shows through.
    EXPECT_EQ(OffFrame(s, Rect(stripLeft + stripWidth, 4, stripLeft + stripWidth + 3, 20)), 0);
    EXPECT_EQ(OffFrame(s, Rect(stripLeft - 2, 4, stripLeft, 20)), 0);
    delete s.form;
    host_->Pump();
  }
}

// A morphing caption fades between its images as the window gains and loses the
// activation; an empty caption draws no text at all.
TEST_F(FrameCaption, AMorphingCaptionFadesWithTheActivation) {
  Options o;
  o.captionMorph = true;
  Skinned s = Make(o);
  TskActiveSkinObject* caption = s.frame->FindObject("caption");
  ASSERT_TRUE(caption->Morphing);
  ASSERT_TRUE(caption->Active);
  const Point probe{caption->ObjectRect.left + 2, caption->ObjectRect.top + 1};
  auto blue = [&] { return PixelB(At(s.form, probe.x, probe.y)); };
  std::vector<double> factors;
  std::vector<int> blues;
  for (int i = 0; i < 7; ++i) {
    factors.push_back(caption->MorphKf);
    blues.push_back(blue());
    host_->AdvanceClock(20);
  }
  EXPECT_EQ(caption->MorphKf, 1.0);
  for (std::size_t i = 1; i < factors.size(); ++i) {
    EXPECT_NEAR(factors[i] - factors[i - 1], factors[i - 1] < 1.0 ? 0.2 : 0.0, 1e-9) << i;
    if (factors[i - 1] < 1.0) EXPECT_GT(blues[i], blues[i - 1]) << i;
  }
  EXPECT_EQ(blue(), 99);  // the active image, from the object picture
  host_->FocusOtherProgram();
  host_->Pump();
  EXPECT_FALSE(caption->Active);
  host_->AdvanceClock(40);
  EXPECT_NEAR(caption->MorphKf, 0.6, 1e-9);
  EXPECT_GT(blue(), 10);
  EXPECT_LT(blue(), 99);
  host_->AdvanceClock(100);
  EXPECT_EQ(caption->MorphKf, 0.0);
  EXPECT_EQ(blue(), 10);  // the normal image, from the frame picture
}

class PlainFrameGlyphs : public SkinFormTest {};

// The plain frame's buttons are 17 pixels square; the glyph origin is (3, 4), (4, 5) when
// pressed. Points are relative to the button.
TEST_F(PlainFrameGlyphs, EachButtonDrawsItsGlyphForTheWindowsState) {
  struct Case {
    const char* what;
    const char* button;
    std::function<void(Skinned&)> state;
    std::vector<Point> ink, face;
  };
  auto none = [](Skinned&) {};
  const Case cases[] = {
      {"close", "closebutton", none, {{4, 5}, {12, 5}, {5, 5}, {11, 5}, {8, 9}}, {{8, 5}, {3, 5}, {13, 5}, {1, 1}}},
      {"maximize", "maxbutton", none, {{3, 4}, {13, 4}, {3, 13}, {13, 13}, {8, 5}}, {{8, 9}, {8, 6}, {14, 4}}},
      {"restore while maximized", "maxbutton",
       [](Skinned& s) { s.frame->ChangeWindowState(TskWindowState::Maximized); },
       {{5, 4}, {12, 9}, {3, 8}, {9, 13}, {8, 5}},
       {{3, 4}, {13, 13}, {4, 11}}},
      {"minimize", "minbutton", none, {{4, 12}, {11, 12}, {4, 13}, {11, 13}}, {{12, 12}, {4, 4}, {4, 11}}},
      {"system menu", "sysmenubutton", none, {{4, 7}, {11, 7}, {4, 9}, {11, 9}}, {{5, 8}, {10, 8}, {4, 6}}},
      {"roll up", "rollupbutton", none, {{4, 10}, {11, 10}, {7, 7}, {8, 7}}, {{4, 6}, {8, 6}, {12, 10}}},
      {"unroll while rolled up", "rollupbutton", [](Skinned& s) { s.frame->SetRollUpState(true); },
       {{4, 6}, {11, 6}, {7, 9}, {8, 9}},
       {{4, 10}, {8, 10}, {12, 6}}},
      {"minimize to tray", "traybutton",
       [](Skinned& s) {
         s.frame->SetBorderIcons(biSkinSystemMenu | biSkinMinimize | biSkinMaximize | biSkinRollUp |
                                 biSkinMinimizeToTray);
       },
       {{5, 6}, {9, 10}, {5, 10}},
       {{10, 6}, {4, 6}, {5, 11}}},
  };
  const Pixel ink = ColorToPixel(ColorToRGB(clBtnText));
  const Pixel face = ColorToPixel(ColorToRGB(clBtnFace));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Skinned s = MakeForm({}, Rect::FromSize(100, 100, 300, 200));
    c.state(s);
    host_->Pump();
    TskActiveSkinObject* b = s.frame->FindObject(c.button);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(b->Visible);
    const Rect r = b->ObjectRect;
    ASSERT_EQ(r.GetSize(), Size(17, 17));
    for (Point p : c.ink) EXPECT_EQ(At(s.form, r.left + p.x, r.top + p.y), ink) << p.x << "," << p.y;
    for (Point p : c.face) EXPECT_EQ(At(s.form, r.left + p.x, r.top + p.y), face) << p.x << "," << p.y;
    delete s.form;
    host_->Pump();
  }
}

TEST_F(PlainFrameGlyphs, HoverAndPressChangeFaceFrameAndGlyphPlace) {
  Skinned s = MakeForm({}, Rect::FromSize(100, 100, 300, 200));
  const Rect r = s.frame->FindObject("closebutton")->ObjectRect;
  ASSERT_EQ(r, Rect(280, 4, 297, 21));
  const Pixel ink = ColorToPixel(ColorToRGB(clBtnText));
  const Pixel navy = MakePixel(0, 0, 128);
  auto at = [&](int x, int y) { return At(s.form, r.left + x, r.top + y); };
  EXPECT_EQ(at(0, 0), ColorToPixel(ColorToRGB(clBtnFace)));
  const Point centre{100 + 288, 100 + 12};
  host_->MoveMouse(centre);
  host_->AdvanceClock(60);
  EXPECT_EQ(at(0, 0), navy);
  EXPECT_EQ(at(16, 16), navy);
  EXPECT_EQ(at(1, 1), MakePixel(182, 189, 210));
  EXPECT_EQ(at(15, 15), MakePixel(182, 189, 210));
  EXPECT_EQ(at(4, 5), ink);
  host_->PressMouse(centre);
  host_->Pump();
  EXPECT_EQ(at(0, 0), navy);
  EXPECT_EQ(at(1, 1), MakePixel(133, 147, 181));
  // The glyph moved one pixel right and down.
  EXPECT_EQ(at(4, 5), MakePixel(133, 147, 181));
  EXPECT_EQ(at(5, 6), ink);
  EXPECT_EQ(at(13, 6), ink);
  // Held but off the button: the plain face again, and no close on release.
  bool closed = false;
  s.form->OnClose = [&](TObject*, TCloseAction& a) {
    closed = true;
    a = TCloseAction::caNone;
  };
  host_->MoveMouse({100 + 150, 100 + 100});
  host_->AdvanceClock(60);
  EXPECT_EQ(at(0, 0), ColorToPixel(ColorToRGB(clBtnFace)));
  EXPECT_EQ(at(4, 5), ink);
  host_->ReleaseMouse({100 + 150, 100 + 100});
  host_->Pump();
  EXPECT_FALSE(closed);
}

}  // namespace
