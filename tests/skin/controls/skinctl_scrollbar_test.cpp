// Scroll bars: geometry from range and page, the default look, skinned parts and states,
// repeats on the virtual clock, thumb drags, wheel and keys, the shared corner, damaged
// records, the program skin's bars and form resources.
#include "SkinCtrlsTestSupport.h"
#include "skin/controls/skSkinScrollBar.h"
#include "toolkit/Reader.h"

using namespace skinctl;

class TBarResourceForm : public TForm {
 public:
  explicit TBarResourceForm(TComponent* owner) : TForm(owner) {}
};

namespace {

constexpr auto kH = TScrollBarKind::sbHorizontal;
constexpr auto kV = TScrollBarKind::sbVertical;

// Colours of the bar skin's picture.
constexpr Color kDownBtn = RGB(10, 20, 30);
constexpr Color kUpBtn = RGB(30, 20, 10);
constexpr Color kTrack = RGB(220, 220, 220);
constexpr Color kUpHot = RGB(255, 200, 0);
constexpr Color kUpPressed = RGB(255, 100, 0);
constexpr Color kDownHot = RGB(0, 200, 255);
constexpr Color kThumbEnd = RGB(90, 0, 90);
constexpr Color kThumbMid = RGB(0, 90, 0);
constexpr Color kThumbHot = RGB(0, 0, 255);
constexpr Color kThumbDown = RGB(255, 0, 0);
constexpr Color kGlyph = RGB(255, 255, 0);
constexpr Color kCornerColour = RGB(100, 50, 0);
constexpr Color kBlack = RGB(0, 0, 0);
// The default look's hot and pressed parts.
constexpr Color kFrameHot = 0x800000;
constexpr Color kFillHot = 13811126;
constexpr Color kFillPressed = 11899781;

// Picture 0, 120 x 60 on white:
//   (0,0,60,10)    a horizontal bar: decreasing button, track, increasing button (10 each end)
//   (60..90,0,10)  up button hot, up button pressed, down button hot
//   (0,20,16,28)   thumb: 3-pixel purple ends, green middle; hot (20,20) blue, pressed (40,20) red
//   (60,20,64,24)  a yellow glyph
//   (0,40,70,50)   the bar with a 10-pixel corner at its right end
//   (100,0,110,60) a vertical bar; (112,0,120,16) its thumb
Bitmap BarPicture() {
  Bitmap b(120, 60, MakePixel(255, 255, 255));
  const std::pair<Rect, Color> fills[] = {
      {{0, 0, 10, 10}, kDownBtn},     {{10, 0, 50, 10}, kTrack},      {{50, 0, 60, 10}, kUpBtn},
      {{0, 40, 10, 50}, kDownBtn},    {{10, 40, 50, 50}, kTrack},     {{50, 40, 60, 50}, kUpBtn},
      {{60, 40, 70, 50}, kCornerColour}, {{60, 0, 70, 10}, kUpHot},   {{70, 0, 80, 10}, kUpPressed},
      {{80, 0, 90, 10}, kDownHot},    {{0, 20, 16, 28}, kThumbEnd},   {{3, 20, 13, 28}, kThumbMid},
      {{20, 20, 36, 28}, kThumbHot},  {{40, 20, 56, 28}, kThumbDown}, {{60, 20, 64, 24}, kGlyph},
      {{100, 0, 110, 10}, kDownBtn},  {{100, 10, 110, 50}, kTrack},   {{100, 50, 110, 60}, kUpBtn},
      {{112, 0, 120, 16}, kThumbEnd}, {{112, 3, 120, 13}, kThumbMid},
  };
  for (const auto& [r, c] : fills) FillRectPixels(b, r, c);
  return b;
}

std::vector<std::uint8_t> BarSkinPackage() {
  // The horizontal bar's keys; the other sections change some of them.
  const std::string hbar =
      "pictureindex=0|skinrect=0,0,60,10|lefttoppoint=10,0|righttoppoint=50,0|clientrect=0,0,60,10|"
      "trackarea=10,0,50,10|upbuttonrect=50,0,60,10|activeupbuttonrect=60,0,70,10|"
      "downupbuttonrect=70,0,80,10|downbuttonrect=0,0,10,10|activedownbuttonrect=80,0,90,10|"
      "thumbrect=0,20,16,28|activethumbrect=20,20,36,28|downthumbrect=40,20,56,28|thumboffset1=3|"
      "thumboffset2=3|glyphrect=60,20,64,24";
  const std::pair<const char*, std::string> sections[] = {
      {"hbar", hbar},
      {"bothbar", hbar + "|skinrect=0,40,70,50|clientrect=0,0,70,10"},
      {"vbar", hbar + "|skinrect=100,0,110,60|lefttoppoint=0,10|righttoppoint=0,0|leftbottompoint=0,50|"
                      "clientrect=0,0,10,60|trackarea=0,10,10,50|upbuttonrect=0,50,10,60|"
                      "thumbrect=112,0,120,16|activethumbrect=0,0,0,0|downthumbrect=0,0,0,0|glyphrect=0,0,0,0"},
      // The thumb's middle colour (0, 90, 0) is see-through.
      {"clearbar", hbar + "|thumbtransparent=1|thumbtransparentcolor=23040|glyphrect=0,0,0,0"},
      // Track, state image, thumb and glyph beyond the picture and the skin rect.
      {"outside", hbar + "|trackarea=10,0,5000,10|activeupbuttonrect=1000,0,1010,10|"
                         "thumbrect=110,50,126,2000000000|activethumbrect=0,0,0,0|glyphrect=0,0,100000,100000"},
      // A nine-part bar whose client rect is far larger than its skin rect.
      {"bigclient", hbar + "|lefttoppoint=10,2|righttoppoint=50,2|leftbottompoint=10,8|"
                           "rightbottompoint=50,8|clientrect=0,0,500,500"},
      {"offpicture", hbar + "|skinrect=0,0,5000,10"},
      {"notrack", hbar + "|trackarea=0,0,0,0"},
      {"panelbar", "pictureindex=0|skinrect=0,0,60,10|lefttoppoint=10,0|righttoppoint=50,0"},
  };
  std::vector<std::string> lines = {"[VERSION]",     "skinname=bars", "[PICTURES]",      "activepicturescount=1",
                                    "0=bars.bmp",    "[FORMINFO]",    "[SKINOBJECTS]",   "count=0",
                                    "[SKINCONTROLS]", "count=9"};
  for (std::size_t i = 0; i < std::size(sections); ++i)
    lines.push_back(std::to_string(i) + "=" + sections[i].first +
                    (std::string_view(sections[i].first) == "panelbar" ? ":panel" : ":scrollbar"));
  for (const auto& [name, keys] : sections) {
    lines.push_back(std::string("[") + name + "]");
    // A key given again replaces the earlier one, as a definition keeps only one.
    std::vector<std::string> kept;
    for (std::size_t from = 0; from <= keys.size();) {
      const std::size_t to = std::min(keys.find('|', from), keys.size());
      const std::string key = keys.substr(from, to - from);
      const std::string id = key.substr(0, key.find('='));
      std::erase_if(kept, [&](const std::string& k) { return k.substr(0, k.find('=')) == id; });
      kept.push_back(key);
      from = to + 1;
    }
    lines.insert(lines.end(), kept.begin(), kept.end());
  }
  SkinPackageWriter out;
  out.WriteInt32(SkinPackageVersion);
  for (int i = 0; i < 3; ++i) out.WriteFlaggedBitmap({});
  out.WriteInt32(1);
  out.WriteBitmapImage(SaveBmp(BarPicture(), 24));
  out.WriteLines(lines);
  return CompressSkinStream(out.Bytes());
}

void ExpectLayoutInside(const ScrollBarLayout& g, int w, int h, const std::string& what) {
  const Rect bounds(0, 0, w, h);
  for (const Rect& r : {g.track, g.thumb, g.upButton, g.downButton})
    EXPECT_TRUE(r.Width() >= 0 && r.Height() >= 0 && bounds.Contains(r)) << what;
  EXPECT_LE(g.rangeStart, g.rangeEnd) << what;
}

struct PixelCase {
  Point p;
  Color expected;
  const char* what;
};

void ExpectPixels(const Bitmap& img, std::initializer_list<PixelCase> cases, const std::string& where) {
  for (const PixelCase& c : cases) EXPECT_EQ(img.GetPixelColor(c.p.x, c.p.y), c.expected) << where << ": " << c.what;
}

class SkinCtrlScrollBar : public SkinCtrlTest {
 protected:
  enum class Skin { Bars, Program };
  // Every bar of these tests gets its skin data here alone: skin data objects are
  // becoming components owned by the form, and this is the one place that follows.
  TskSkinData* UseSkin(Skin which) {
    if (which == Skin::Bars) {
      stored_.SetCompressedData(BarSkinPackage());
      data_->LoadStoredSkin(stored_);
    } else {
      LoadProgramSkin();
    }
    return data_;
  }

  TskSkinScrollBar* MakeBar(int w, int h, TScrollBarKind kind = kH, TskSkinData* skin = nullptr,
                            std::string_view section = {}) {
    auto* bar = new TskSkinScrollBar(form_);
    bar->SetParent(form_);
    bar->SetKind(kind);
    if (!section.empty()) bar->SetSkinDataName(section);
    bar->SetBounds(10, 10, w, h);
    if (skin) bar->SetSkinData(skin);
    return bar;
  }
  Point At(TControl* c, int x, int y) { return ScreenPoint(c, x, y); }
  Point Away() { return ScreenPoint(form_, 390, 290); }
  // Input that has reached the controls when the call returns.
  void MoveTo(Point p) {
    host_->MoveMouse(p);
    host_->Pump();
  }
  void Press(Point p, MouseButton button = MouseButton::Left) {
    host_->PressMouse(p, button);
    host_->Pump();
  }
  void Release(Point p, MouseButton button = MouseButton::Left) {
    host_->ReleaseMouse(p, button);
    host_->Pump();
  }
  void ClickAt(Point p, MouseButton button = MouseButton::Left) {
    host_->Click(p, button);
    host_->Pump();
  }
};

// ---- geometry and properties

struct GeometryCase {
  const char* what;
  TScrollBarKind kind;
  int length;
  int min, max, page, position;
  int markerWidth;  // -1: not sharing a corner
  int expectPosition;
  Rect track, thumb, up;
};

TEST_F(SkinCtrlScrollBar, DefaultGeometryFollowsRangePageAndPosition) {
  const Rect hTrack(17, 1, 183, 18), hUp(183, 1, 199, 18), vTrack(1, 17, 18, 183), vUp(1, 183, 18, 199);
  const GeometryCase cases[] = {
      {"at the start", kH, 200, 0, 100, 0, 0, -1, 0, hTrack, {17, 1, 33, 18}, hUp},
      {"half way: offset round(0.5 x 150)", kH, 200, 0, 100, 0, 50, -1, 50, hTrack, {92, 1, 108, 18}, hUp},
      {"beyond the end", kH, 200, 0, 100, 0, 150, -1, 100, hTrack, {167, 1, 183, 18}, hUp},
      {"two values", kH, 200, 0, 1, 0, 1, -1, 1, hTrack, {167, 1, 183, 18}, hUp},
      {"page 20: 81 at most, 33 -> 32 long", kH, 200, 0, 100, 20, 90, -1, 81, hTrack, {151, 1, 183, 18}, hUp},
      {"page 20 at 40", kH, 200, 0, 100, 20, 40, -1, 40, hTrack, {83, 1, 115, 18}, hUp},
      {"page as long as the range", kH, 200, 0, 10, 11, 0, -1, 0, hTrack, hTrack, hUp},
      {"one value, page 1", kH, 200, 5, 5, 1, 5, -1, 5, hTrack, hTrack, hUp},
      {"no range: the shortest thumb, at the end", kH, 200, 0, -1, 5, 0, -1, 0, hTrack, {167, 1, 183, 18}, hUp},
      // A whole page leaves one pixel to the odd track: horizontal bars put the thumb at its end.
      {"odd track, whole page", kH, 201, 0, 10, 11, 0, -1, 0, {17, 1, 184, 18}, {18, 1, 184, 18},
       {184, 1, 200, 18}},
      {"range from 10", kH, 200, 10, 110, 0, 60, -1, 60, hTrack, {92, 1, 108, 18}, hUp},
      {"empty range", kH, 200, 5, 5, 0, 9, -1, 5, hTrack, {17, 1, 33, 18}, hUp},
      {"corner of 21: 64.5 rounds to 64", kH, 200, 0, 100, 0, 50, 21, 50, {17, 1, 162, 18}, {81, 1, 97, 18},
       {162, 1, 178, 18}},
      {"vertical", kV, 200, 0, 100, 0, 50, -1, 50, vTrack, {1, 92, 18, 108}, vUp},
      {"vertical, odd track, whole page", kV, 201, 0, 10, 11, 0, -1, 0, {1, 17, 18, 184}, {1, 17, 18, 183},
       {1, 184, 18, 200}},
      {"vertical, one step of page 10", kV, 200, 0, 10, 10, 1, -1, 1, vTrack, {1, 33, 18, 183}, vUp},
      {"memo: 30 lines, 10 fit, top", kV, 200, 0, 30, 11, 0, -1, 0, vTrack, {1, 17, 18, 75}, vUp},
      {"memo: last page", kV, 200, 0, 30, 11, 25, -1, 20, vTrack, {1, 125, 18, 183}, vUp},
      {"memo: half way", kV, 200, 0, 30, 11, 10, -1, 10, vTrack, {1, 71, 18, 129}, vUp},
  };
  for (const GeometryCase& c : cases) {
    TskSkinScrollBar* bar = c.kind == kH ? MakeBar(c.length, 19) : MakeBar(19, c.length, kV);
    if (c.markerWidth >= 0) {
      bar->SetBothMarkerWidth(c.markerWidth);
      bar->SetBoth(true);
    }
    bar->SetRange(c.min, c.max, c.page, c.position);
    EXPECT_EQ(bar->Position(), c.expectPosition) << c.what;
    const ScrollBarLayout g = bar->Layout();
    EXPECT_EQ(g.track, c.track) << c.what;
    EXPECT_EQ(g.thumb, c.thumb) << c.what;
    EXPECT_EQ(g.upButton, c.up) << c.what;
    EXPECT_EQ(g.downButton, c.kind == kH ? Rect(1, 1, 17, 18) : Rect(1, 1, 18, 17)) << c.what;
    delete bar;
  }
}

TEST_F(SkinCtrlScrollBar, LayoutStaysInsideTinyBarsAndWildRecords) {
  for (TScrollBarKind kind : {kH, kV})
    for (int length : {0, 4, 20, 64, 68, 80, 132, 136, 140, 208})
      for (int across : {0, 1, 2, 3, 19})
        for (int page : {0, 20}) {
          ScrollBarLayoutInput in;
          in.kind = kind;
          in.width = kind == kH ? length : across;
          in.height = kind == kH ? across : length;
          in.pageSize = page;
          in.position = 50;
          in.both = length % 8 == 4;
          ExpectLayoutInside(LayoutScrollBar(in), in.width, in.height,
                             std::to_string(in.width) + "x" + std::to_string(in.height));
        }
  // A thumb that does not fit has no length, so presses find no thumb.
  ScrollBarLayoutInput small;
  small.width = 45;
  small.height = 19;
  EXPECT_EQ(LayoutScrollBar(small).track, Rect(17, 1, 28, 18));
  EXPECT_EQ(LayoutScrollBar(small).thumb.Width(), 0);
  // A skinned thumb without thickness is no thumb, not one across the whole track.
  SkinScrollBarFields flat;
  flat.trackArea = {10, 0, 50, 10};
  flat.thumb = {0, 20, 16, 20};
  ScrollBarLayoutInput flatIn;
  flatIn.skin = &flat;
  flatIn.skinRect = {0, 0, 60, 10};
  flatIn.width = 60;
  flatIn.height = 10;
  EXPECT_EQ(LayoutScrollBar(flatIn).thumb.Height(), 0);

  SkinScrollBarFields wild;
  wild.trackArea = {10, -5, 5000, 2000000000};
  wild.upButton = {50, 0, 2000000000, 10};
  wild.downButton = {-100, -100, 10, 10};
  wild.thumb = {0, 0, 16, 2000000000};
  for (int w : {0, 30, 60, 100})
    for (int page : {0, 5}) {
      ScrollBarLayoutInput in;
      in.skin = &wild;
      in.skinRect = {0, 0, 60, 10};
      in.rightTop = {50, 0};
      in.width = w;
      in.height = 10;
      in.pageSize = page;
      ExpectLayoutInside(LayoutScrollBar(in), w, 10, "wild record at " + std::to_string(w));
    }
}

TEST_F(SkinCtrlScrollBar, PositionClampsAndOnlyItsSetterFiresOnChange) {
  TskSkinScrollBar* bar = MakeBar(200, 19);
  EXPECT_EQ(Size(bar->Width(), bar->Height()), Size(200, 19));
  EXPECT_EQ(bar->SkinDataName(), "hscrollbar");
  int changes = 0;
  bar->OnChange = [&](TObject*) { ++changes; };
  const std::pair<int, int> moves[] = {{50, 50}, {50, 50}, {500, 100}, {-5, 0}};
  for (auto [to, expected] : moves) {
    bar->SetPosition(to);
    EXPECT_EQ(bar->Position(), expected) << to;
  }
  EXPECT_EQ(changes, 3);
  bar->SetPageSize(20);
  bar->SetPosition(90);
  EXPECT_EQ(bar->Position(), 81);
  EXPECT_EQ(changes, 4);
  // From here on nothing fires: a lower maximum pulls the position back, a page that does
  // not fit range and position (or is negative) is ignored, a higher minimum pushes.
  bar->SetMax(50);
  EXPECT_EQ(bar->Position(), 31);
  for (int page : {40, -1}) {
    bar->SetPageSize(page);
    EXPECT_EQ(bar->PageSize(), 20) << page;
  }
  // Taken while Max - Min + 1 >= page + position: 51 >= 20 + 31, not 21 + 31.
  const std::pair<int, int> pages[] = {{5, 5}, {20, 20}, {21, 20}};
  for (auto [page, expected] : pages) {
    bar->SetPageSize(page);
    EXPECT_EQ(bar->PageSize(), expected) << page;
  }
  bar->SetMin(40);
  EXPECT_EQ(bar->Position(), 40);
  bar->SetRange(0, 100, 0, 70);
  bar->SetMax(60);
  EXPECT_EQ(bar->Position(), 60);
  bar->SetRange(0, 30, 11, 25);
  EXPECT_EQ(bar->Position(), 20);
  bar->SetRange(50, 10, 0, 30);  // a minimum above the maximum wins
  EXPECT_EQ(bar->Position(), 50);
  EXPECT_EQ(changes, 4);
  bar->SetBothMarkerWidth(-3);
  EXPECT_EQ(bar->BothMarkerWidth(), 19);
  bar->SetBothMarkerWidth(0);
  EXPECT_EQ(bar->BothMarkerWidth(), 0);
  EXPECT_FALSE(bar->TabStop());
  bar->SetCanFocused(true);
  EXPECT_TRUE(bar->TabStop());
}

// ---- default look

TEST_F(SkinCtrlScrollBar, DefaultLookFramesPartsAndDrawsBlackMarkers) {
  const Color face = BtnFace(), shadow = ColorToRGB(clBtnShadow);
  TskSkinScrollBar* bar = MakeBar(200, 19);
  bar->SetPosition(50);  // thumb 92..107
  ExpectPixels(Render(bar),
               {{{92, 9}, shadow, "thumb's left frame"},    {{107, 9}, shadow, "thumb's right frame"},
                {{100, 9}, face, "thumb's fill"},           {{91, 9}, face, "track before the thumb"},
                {{108, 9}, face, "track after the thumb"},  {{100, 0}, face, "background above"},
                {{1, 9}, shadow, "left button's frame"},    {{0, 9}, face, "left of it"},
                {{7, 9}, kBlack, "left arrow's tip"},       {{6, 9}, face, "before the tip"},
                {{10, 6}, kBlack, "left arrow's base"},     {{10, 5}, face, "above the base"},
                {{193, 9}, kBlack, "right arrow's tip"},    {{194, 9}, face, "beyond the tip"},
                {{190, 12}, kBlack, "right arrow's base"},  {{190, 13}, face, "below the base"},
                {{198, 9}, shadow, "right button's frame"}, {{199, 9}, face, "right of it"}},
               "horizontal");
  bar->SetEnabled(false);
  ExpectPixels(Render(bar), {{{92, 9}, face, "no thumb"}, {{1, 9}, shadow, "buttons stay"}}, "disabled");

  TskSkinScrollBar* v = MakeBar(19, 200, kV);
  v->SetRange(0, 30, 11, 10);  // a memo of 30 lines showing 10 from line 10
  ExpectPixels(Render(v),
               {{{9, 7}, kBlack, "up arrow's tip"},        {{9, 6}, face, "above the tip"},
                {{9, 193}, kBlack, "down arrow's tip"},    {{9, 194}, face, "below the tip"},
                {{9, 70}, face, "track above the thumb"},  {{9, 71}, shadow, "thumb's top frame"},
                {{9, 100}, face, "thumb's fill"},          {{9, 128}, shadow, "thumb's bottom frame"},
                {{9, 129}, face, "track below the thumb"}},
               "vertical");
}

TEST_F(SkinCtrlScrollBar, DefaultLookShowsHotAndPressedParts) {
  const Color face = BtnFace(), shadow = ColorToRGB(clBtnShadow);
  TskSkinScrollBar* bar = MakeBar(200, 19);
  ShowForm();
  MoveTo(At(bar, 186, 4));
  EXPECT_EQ(bar->HotPart(), TskScrollBarPart::UpButton);
  EXPECT_EQ(ScreenColor(bar, 186, 4), kFillHot);
  EXPECT_EQ(ScreenColor(bar, 183, 9), kFrameHot);
  EXPECT_EQ(ScreenColor(bar, 3, 4), face);
  Press(At(bar, 186, 4));
  EXPECT_EQ(ScreenColor(bar, 186, 4), kFillPressed);
  MoveTo(At(bar, 100, 9));  // held, but off the button: plain again
  EXPECT_EQ(ScreenColor(bar, 186, 4), face);
  EXPECT_EQ(ScreenColor(bar, 183, 9), shadow);
  Release(At(bar, 100, 9));
  MoveTo(At(bar, 25, 9));
  EXPECT_EQ(bar->HotPart(), TskScrollBarPart::Thumb);
  EXPECT_EQ(ScreenColor(bar, 25, 9), kFillHot);
  MoveTo(Away());
  EXPECT_EQ(bar->HotPart(), TskScrollBarPart::None);
  EXPECT_EQ(ScreenColor(bar, 25, 9), face);
  // A focused focusable bar shows its thumb pressed.
  bar->SetCanFocused(true);
  bar->SetFocus();
  EXPECT_EQ(ScreenColor(bar, 25, 9), kFillPressed);
}

// ---- repeats

TEST_F(SkinCtrlScrollBar, HoldingAnArrowStepsAtOnceAfter500MsThenEvery50) {
  const std::pair<Point, int> buttons[] = {{{190, 9}, 1}, {{9, 9}, -1}};
  for (auto [press, step] : buttons) {
    TskSkinScrollBar* bar = MakeBar(200, 19);
    bar->SetPosition(50);
    ShowForm();
    auto expectSteps = [&, step = step](int steps) { EXPECT_EQ(bar->Position(), 50 + step * steps) << step; };
    Press(At(bar, press.x, press.y));
    expectSteps(1);
    const std::pair<int, int> clock[] = {{499, 1}, {1, 2}, {49, 2}, {1, 3}, {100, 5}};
    for (auto [ms, steps] : clock) {
      host_->AdvanceClock(ms);
      expectSteps(steps);
    }
    // Off the button the repeat pauses; back on it, it goes on every 50 ms.
    MoveTo(At(bar, 100, 9));
    host_->AdvanceClock(300);
    expectSteps(5);
    MoveTo(At(bar, press.x, press.y));
    host_->AdvanceClock(49);
    expectSteps(5);
    host_->AdvanceClock(1);
    expectSteps(6);
    Release(At(bar, press.x, press.y));
    host_->AdvanceClock(600);
    expectSteps(6);
    EXPECT_EQ(bar->Repeat(), TskScrollRepeat::None);
    delete bar;
  }
}

TEST_F(SkinCtrlScrollBar, ButtonEventsReplaceTheStepAndHoldsEndWithoutARelease) {
  TskSkinScrollBar* bar = MakeBar(200, 19);
  bar->SetPosition(50);
  int ups = 0, downs = 0;
  bar->OnUpButtonClick = [&](TObject*) { ++ups; };
  bar->OnDownButtonClick = [&](TObject*) { ++downs; };
  ShowForm();
  Press(At(bar, 190, 9));
  host_->AdvanceClock(500);
  EXPECT_EQ(ups, 2);
  EXPECT_EQ(bar->Position(), 50);
  bar->SetEnabled(false);
  host_->AdvanceClock(500);
  EXPECT_EQ(ups, 2);
  EXPECT_EQ(bar->PressedPart(), TskScrollBarPart::None);
  Release(At(bar, 190, 9));
  bar->SetEnabled(true);
  // Another window taking the mouse ends the hold as well.
  Press(At(bar, 9, 9));
  EXPECT_EQ(downs, 1);
  SetCapture(form_->Handle());
  host_->AdvanceClock(600);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(bar->Repeat(), TskScrollRepeat::None);
  ReleaseCapture();
  // The right button steps nothing.
  ClickAt(At(bar, 9, 9), MouseButton::Right);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(ups, 2);
}

struct PageCase {
  const char* what;
  int start;
  int pressX;
  int expectEnd;
  int steps;
  bool towardsMin;
};

TEST_F(SkinCtrlScrollBar, TrackPagesUntilTheThumbReachesThePointer) {
  // Thumb start = 17 + round(1.5 x position), end 16 further, on a 200-pixel bar of 0..100;
  // the pointers sit where the thumb's end (138 at 70) and start (62 at 30) come to lie.
  const PageCase cases[] = {{"after the thumb", 0, 138, 80, 8, false},
                            {"before the thumb", 100, 62, 30, 7, true}};
  for (const PageCase& c : cases) {
    TskSkinScrollBar* bar = MakeBar(200, 19);
    bar->SetLargeChange(10);
    bar->SetPosition(c.start);
    int pageUps = 0, pageDowns = 0, changes = 0;
    bar->OnPageUp = [&](TObject*) { ++pageUps; };
    bar->OnPageDown = [&](TObject*) { ++pageDowns; };
    bar->OnChange = [&](TObject*) { ++changes; };
    ShowForm();
    Press(At(bar, c.pressX, 9));
    EXPECT_EQ(bar->Position(), c.start + (c.towardsMin ? -10 : 10)) << c.what;
    host_->AdvanceClock(3000);
    EXPECT_EQ(bar->Position(), c.expectEnd) << c.what;
    EXPECT_EQ(bar->Repeat(), TskScrollRepeat::None) << c.what;
    EXPECT_EQ(c.towardsMin ? pageUps : pageDowns, c.steps) << c.what;
    EXPECT_EQ(c.towardsMin ? pageDowns : pageUps, 0) << c.what;
    EXPECT_EQ(changes, c.steps) << c.what;
    Release(At(bar, c.pressX, 9));
    delete bar;
  }
}

// ---- dragging

TEST_F(SkinCtrlScrollBar, DraggingTheThumbMapsThePointerOntoTheRange) {
  TskSkinScrollBar* bar = MakeBar(200, 19);
  int changes = 0, last = 0;
  bar->OnChange = [&](TObject*) { ++changes; };
  bar->OnLastChange = [&](TObject*) { ++last; };
  ShowForm();
  auto drag = [&](int from, std::initializer_list<std::pair<int, int>> moves) {
    Press(At(bar, from, 9));
    EXPECT_TRUE(bar->Dragging());
    int x = from;
    for (auto [to, expected] : moves) {
      MoveTo(At(bar, to, 30));  // off the bar across: the drag goes on
      EXPECT_EQ(bar->Position(), expected) << from << " -> " << to;
      x = to;
    }
    Release(At(bar, x, 30));
    EXPECT_FALSE(bar->Dragging());
  };
  drag(25, {{100, 50}, {400, 100}, {-30, 0}, {55, 20}, {26, 1}});  // thumb 17..32, 150 to travel
  EXPECT_EQ(changes, 5);
  EXPECT_EQ(last, 1);
  // With a page: 67 of 134 pixels is half of 81, 40.5, which rounds to 40; the end is 81.
  bar->SetRange(0, 100, 20, 0);  // thumb 17..48
  drag(30, {{97, 40}, {400, 81}});
  // Grabbed off its centre, the thumb keeps the grab point.
  bar->SetRange(0, 100, 0, 50);  // thumb 92..107
  drag(95, {{110, 60}});
  EXPECT_EQ(last, 3);
  ClickAt(At(bar, 190, 9));  // a button press is no drag
  EXPECT_EQ(last, 3);
  // A thumb as long as its track has nowhere to go.
  bar->SetBounds(10, 10, 50, 19);  // a 16-pixel track
  bar->SetRange(0, 100, 0, 0);
  drag(25, {{45, 0}, {5, 0}});
}

// ---- wheel and keys

TEST_F(SkinCtrlScrollBar, WheelAndArrowKeysOnlyForAFocusedFocusableBar) {
  TskSkinScrollBar* bar = MakeBar(200, 19);
  TskSkinScrollBar* other = MakeBar(200, 19);
  other->SetTop(60);
  other->SetCanFocused(true);
  bar->SetPosition(50);
  ShowForm();
  ClickAt(At(bar, 100, 9));  // the thumb: no step
  EXPECT_FALSE(bar->Focused());
  host_->Wheel(At(bar, 100, 9), -120);
  host_->Pump();
  EXPECT_EQ(bar->Position(), 50);

  bar->SetCanFocused(true);
  ClickAt(At(bar, 100, 9));
  ASSERT_TRUE(bar->Focused());
  const std::pair<int, int> wheel[] = {{-120, 51}, {-1, 52}, {120, 51}, {240, 50}};
  for (auto [delta, expected] : wheel) {
    host_->Wheel(At(bar, 100, 9), delta);
    host_->Pump();
    EXPECT_EQ(bar->Position(), expected) << delta;
  }
  const std::pair<int, int> keys[] = {{VK_RIGHT, 51}, {VK_DOWN, 52}, {VK_LEFT, 51}, {VK_UP, 50}};
  for (auto [key, expected] : keys) {
    host_->Key(key);
    host_->Pump();
    EXPECT_EQ(bar->Position(), expected) << key;
  }
  // Tab still moves on.
  host_->Key(VK_TAB);
  host_->Pump();
  EXPECT_TRUE(other->Focused());
}

// ---- skinned bars

TEST_F(SkinCtrlScrollBar, SkinnedBarTakesTheSkinHeightAndPlacesItsParts) {
  TskSkinData* skin = UseSkin(Skin::Bars);
  TskSkinScrollBar* bar = MakeBar(100, 19, kH, skin, "hbar");
  ASSERT_TRUE(bar->Skinned());
  EXPECT_EQ(bar->Height(), 10);
  ScrollBarLayout g = bar->Layout();
  EXPECT_EQ(g.track, Rect(10, 0, 90, 10));
  EXPECT_EQ(g.downButton, Rect(0, 0, 10, 10));
  EXPECT_EQ(g.upButton, Rect(90, 0, 100, 10));
  EXPECT_EQ(g.thumb, Rect(10, 1, 26, 9));  // 8 thick, centred across the track
  ExpectPixels(Render(bar),
               {{{5, 5}, kDownBtn, "decreasing button"}, {{95, 5}, kUpBtn, "increasing button"},
                {{50, 5}, kTrack, "track"},              {{12, 0}, kTrack, "track above the thumb"},
                {{11, 5}, kThumbEnd, "thumb's end"},     {{14, 5}, kThumbMid, "thumb's middle"},
                {{17, 4}, kGlyph, "glyph centred"},      {{15, 4}, kThumbMid, "beside the glyph"},
                {{17, 7}, kThumbMid, "below the glyph"}, {{26, 5}, kTrack, "after the thumb"}},
               "no page");
  // With a page the thumb is a strip: fixed ends, the middle repeated.
  bar->SetPageSize(50);  // round(80 x 50 / 101) = 40
  EXPECT_EQ(bar->Layout().thumb, Rect(10, 1, 50, 9));
  ExpectPixels(Render(bar),
               {{{12, 5}, kThumbEnd, "left end"},    {{13, 5}, kThumbMid, "middle starts"},
                {{46, 5}, kThumbMid, "middle ends"}, {{47, 5}, kThumbEnd, "right end"},
                {{29, 4}, kGlyph, "glyph centred"},  {{50, 5}, kTrack, "after the thumb"}},
               "page");
  // Growing keeps the increasing button at the end and stretches the track.
  bar->SetWidth(160);
  EXPECT_EQ(bar->Layout().upButton, Rect(150, 0, 160, 10));
  EXPECT_EQ(Render(bar).GetPixelColor(155, 5), kUpBtn);

  TskSkinScrollBar* clear = MakeBar(100, 10, kH, skin, "clearbar");
  ExpectPixels(Render(clear),
               {{{12, 5}, kThumbEnd, "opaque end"}, {{13, 5}, kTrack, "see-through middle"},
                {{22, 5}, kTrack, "middle's end"}, {{23, 5}, kThumbEnd, "other end"}},
               "transparent thumb");
}

TEST_F(SkinCtrlScrollBar, SkinnedPartsShowTheirStateImages) {
  TskSkinData* skin = UseSkin(Skin::Bars);
  TskSkinScrollBar* bar = MakeBar(100, 10, kH, skin, "hbar");
  ShowForm();
  MoveTo(At(bar, 95, 5));
  EXPECT_EQ(ScreenColor(bar, 95, 5), kUpHot);
  Press(At(bar, 95, 5));
  EXPECT_EQ(ScreenColor(bar, 95, 5), kUpPressed);
  Release(At(bar, 95, 5));
  EXPECT_EQ(ScreenColor(bar, 95, 5), kUpHot);
  // No pressed image of its own: the pressed decreasing button shows the active one.
  MoveTo(At(bar, 5, 5));
  EXPECT_EQ(ScreenColor(bar, 5, 5), kDownHot);
  EXPECT_EQ(ScreenColor(bar, 95, 5), kUpBtn);
  Press(At(bar, 5, 5));
  EXPECT_EQ(ScreenColor(bar, 5, 5), kDownHot);
  Release(At(bar, 5, 5));
  bar->SetPosition(0);
  MoveTo(At(bar, 14, 5));
  EXPECT_EQ(ScreenColor(bar, 14, 5), kThumbHot);
  EXPECT_EQ(ScreenColor(bar, 17, 4), kGlyph);
  Press(At(bar, 14, 5));
  EXPECT_EQ(ScreenColor(bar, 14, 5), kThumbDown);
  Release(At(bar, 14, 5));
  MoveTo(Away());
  EXPECT_EQ(ScreenColor(bar, 14, 5), kThumbMid);
  bar->SetCanFocused(true);
  bar->SetFocus();
  EXPECT_EQ(ScreenColor(bar, 14, 5), kThumbDown);
  bar->SetEnabled(false);
  EXPECT_EQ(ScreenColor(bar, 14, 5), kTrack);
}

TEST_F(SkinCtrlScrollBar, VerticalSkinnedBarGrowsDownwards) {
  TskSkinData* skin = UseSkin(Skin::Bars);
  TskSkinScrollBar* bar = MakeBar(19, 80, kV, skin, "vbar");
  ASSERT_TRUE(bar->Skinned());
  EXPECT_EQ(Size(bar->Width(), bar->Height()), Size(10, 80));
  const ScrollBarLayout g = bar->Layout();
  EXPECT_EQ(g.track, Rect(0, 10, 10, 70));
  EXPECT_EQ(g.upButton, Rect(0, 70, 10, 80));
  EXPECT_EQ(g.thumb, Rect(1, 10, 9, 26));
  bar->SetPosition(100);
  EXPECT_EQ(bar->Layout().thumb, Rect(1, 54, 9, 70));
  ExpectPixels(Render(bar),
               {{{5, 75}, kUpBtn, "increasing button at the bottom"}, {{5, 5}, kDownBtn, "decreasing at the top"},
                {{5, 55}, kThumbEnd, "thumb's top end"},              {{5, 60}, kThumbMid, "thumb's middle"},
                {{0, 60}, kTrack, "track beside the thumb"},          {{5, 40}, kTrack, "track above"}},
               "vertical");
}

TEST_F(SkinCtrlScrollBar, BothTakesTheCornerSectionAndGivesItBack) {
  TskSkinData* skin = UseSkin(Skin::Bars);
  TskSkinScrollBar* bar = MakeBar(120, 10, kH, skin, "hbar");
  bar->SetBothSkinDataName("bothbar");
  bar->SetBoth(true);
  EXPECT_EQ(bar->SkinDataName(), "bothbar");
  ASSERT_TRUE(bar->Skinned());
  EXPECT_EQ(bar->Layout().upButton, Rect(100, 0, 110, 10));
  EXPECT_EQ(bar->Layout().track, Rect(10, 0, 100, 10));
  ExpectPixels(Render(bar), {{{115, 5}, kCornerColour, "corner"}, {{105, 5}, kUpBtn, "button"}}, "both");
  bar->SetBoth(false);
  EXPECT_EQ(bar->SkinDataName(), "hbar");
  EXPECT_EQ(bar->Layout().upButton, Rect(110, 0, 120, 10));
  EXPECT_EQ(Render(bar).GetPixelColor(115, 5), kUpBtn);

  // Without a corner record the default look leaves the marker width free, and a press
  // there is no page step.
  TskSkinScrollBar* plain = MakeBar(200, 19, kH, skin, "nosuchbar");
  plain->SetBothSkinDataName("nosuchcorner");
  plain->SetBoth(true);
  EXPECT_EQ(plain->Height(), 19);
  ExpectPixels(Render(plain),
               {{{179, 9}, ColorToRGB(clBtnShadow), "the button's right frame"},
                {{181, 9}, BtnFace(), "corner"},
                {{198, 9}, BtnFace(), "corner's end"}},
               "default corner");
  ShowForm();
  int changes = 0;
  plain->OnChange = [&](TObject*) { ++changes; };
  ClickAt(At(plain, 190, 9));
  EXPECT_EQ(changes, 0);
  ClickAt(At(plain, 150, 9));
  EXPECT_EQ(changes, 1);
}

class TDesignedBar : public TskSkinScrollBar {
 public:
  using TskSkinScrollBar::TskSkinScrollBar;
  void StartDesigning() { SetState(csDesigning, true); }
};

TEST_F(SkinCtrlScrollBar, KindSwapsSectionAndSizeOnlyAtDesignTime) {
  TskSkinScrollBar* run = MakeBar(200, 19, kV);
  EXPECT_EQ(run->SkinDataName(), "hscrollbar");
  EXPECT_EQ(run->Width(), 200);
  auto* bar = new TDesignedBar(form_);
  bar->SetParent(form_);
  bar->SetTop(100);
  bar->StartDesigning();
  bar->SetKind(kV);
  EXPECT_EQ(bar->SkinDataName(), "vscrollbar");
  EXPECT_EQ(Size(bar->Width(), bar->Height()), Size(19, 200));
  EXPECT_EQ(Size(bar->DefaultWidth(), bar->DefaultHeight()), Size(19, 0));
  bar->SetKind(kH);
  EXPECT_EQ(bar->SkinDataName(), "hscrollbar");
  EXPECT_EQ(Size(bar->Width(), bar->Height()), Size(200, 19));
  EXPECT_EQ(bar->DefaultHeight(), 19);
  bar->SetBoth(true);  // keeps the section while designing
  EXPECT_EQ(bar->SkinDataName(), "hscrollbar");
  // The mouse does not work the bar being designed.
  ShowForm();
  MoveTo(At(bar, 190, 9));
  Press(At(bar, 190, 9));
  EXPECT_EQ(bar->HotPart(), TskScrollBarPart::None);
  EXPECT_EQ(bar->Position(), 0);
  Release(At(bar, 190, 9));
}

TEST_F(SkinCtrlScrollBar, DamagedRecordsDrawClippedOrFallBackToTheDefaultLook) {
  TskSkinData* skin = UseSkin(Skin::Bars);
  const std::tuple<const char*, bool, Size> cases[] = {
      {"outside", true, {100, 10}},  {"bigclient", true, {100, 19}}, {"offpicture", false, {100, 19}},
      {"notrack", false, {100, 19}}, {"panelbar", false, {100, 19}},
  };
  for (const auto& [section, skinned, size] : cases) {
    TskSkinScrollBar* bar = MakeBar(100, 19, kH, skin, section);
    ShowForm();
    EXPECT_EQ(bar->Skinned(), skinned) << section;
    EXPECT_EQ(Size(bar->Width(), bar->Height()), size) << section;
    ExpectLayoutInside(bar->Layout(), bar->Width(), bar->Height(), section);
    for (int page : {0, 30}) {
      bar->SetPageSize(page);
      MoveTo(At(bar, 95, 5));
      MoveTo(At(bar, 12, 5));
      const Bitmap img = Render(bar);
      EXPECT_EQ(img.GetSize(), size) << section;
      if (!skinned) {
        EXPECT_EQ(img.GetPixelColor(7, 9), kBlack) << section << ": default left arrow";
      }
    }
    delete bar;
  }
  // The far-off track is cut at the bar's end; the hot button's image lies beyond the
  // picture, so it keeps its normal look; the thumb shows what of its image is inside
  // the picture (white there).
  TskSkinScrollBar* outside = MakeBar(100, 10, kH, skin, "outside");
  ShowForm();
  EXPECT_EQ(outside->Layout().track, Rect(10, 0, 100, 10));
  MoveTo(At(outside, 95, 5));
  EXPECT_EQ(ScreenColor(outside, 95, 5), kUpBtn);
  EXPECT_EQ(ScreenColor(outside, 14, 5), RGB(255, 255, 255));
  EXPECT_EQ(ScreenColor(outside, 50, 5), kTrack);
}

// ---- the program skin and form resources

TEST_F(SkinCtrlScrollBar, ProgramSkinBarsDrawFromTheirRecords) {
  TskSkinData* skin = UseSkin(Skin::Program);
  const Bitmap& picture = skin->ActivePictures().at(1);
  TskSkinScrollBar* h = MakeBar(200, 19, kH, skin);
  ASSERT_TRUE(h->Skinned());
  EXPECT_EQ(h->Height(), 16);
  ScrollBarLayout g = h->Layout();
  EXPECT_EQ(g.track, Rect(16, 0, 184, 16));
  EXPECT_EQ(g.upButton, Rect(184, 0, 200, 16));
  EXPECT_EQ(g.thumb, Rect(16, 0, 36, 16));
  ShowForm();
  EXPECT_EQ(ScreenColor(h, 26, 8), picture.GetPixelColor(180, 194));  // thumb
  EXPECT_EQ(ScreenColor(h, 100, 3), picture.GetPixelColor(34, 189));  // track
  MoveTo(At(h, 192, 8));
  EXPECT_EQ(ScreenColor(h, 192, 8), picture.GetPixelColor(144, 194));  // up button hot
  EXPECT_EQ(ScreenColor(h, 194, 3), picture.GetPixelColor(146, 189));

  TskSkinScrollBar* v = MakeBar(19, 150, kV, skin, "vscrollbar");
  ASSERT_TRUE(v->Skinned());
  EXPECT_EQ(v->Width(), 16);
  g = v->Layout();
  EXPECT_EQ(g.track, Rect(0, 16, 16, 134));
  EXPECT_EQ(g.upButton, Rect(0, 134, 16, 150));
  EXPECT_EQ(Render(v).GetPixelColor(8, 26), picture.GetPixelColor(248, 180));

  // The shared corner is the last 16 pixels of the bothhscrollbar image.
  h->SetBoth(true);
  h->SetWidth(216);
  ASSERT_TRUE(h->Skinned());
  EXPECT_EQ(h->SkinDataName(), "bothhscrollbar");
  EXPECT_EQ(h->Layout().upButton, Rect(184, 0, 200, 16));
  EXPECT_EQ(Render(h).GetPixelColor(208, 8), picture.GetPixelColor(108, 212));
}

TEST_F(SkinCtrlScrollBar, FormResourceNamesTheBarAndWiresItsEvents) {
  RegisterSkinControlClasses();
  auto* form = new TBarResourceForm(nullptr);
  // The resource links the bar by name to a skin data object of its own form.
  auto* skin = new TskSkinData(form);
  skin->SetName("skSkinData1");
  stored_.SetCompressedData(BarSkinPackage());
  skin->LoadStoredSkin(stored_);
  int changes = 0;
  THandlerRegistry handlers;
  handlers.Add<TNotifyEvent>("BarChange", [&](TObject*) { ++changes; });
  ReadComponentResource(form, R"(object BarForm: TBarResourceForm
  object skSkinScrollBar1: TskSkinScrollBar
    Width = 19
    Height = 120
    Kind = sbVertical
    SkinData = skSkinData1
    SkinDataName = 'vbar'
    Max = 30
    PageSize = 11
    Position = 25
    SmallChange = 2
    LargeChange = 10
    CanFocused = True
    BothMarkerWidth = 21
    OnChange = BarChange
  end
end
)",
                        &handlers);
  auto* bar = dynamic_cast<TskSkinScrollBar*>(form->FindComponent("skSkinScrollBar1"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->Kind(), kV);
  EXPECT_EQ(bar->Position(), 20);
  EXPECT_EQ(bar->PageSize(), 11);
  EXPECT_EQ(bar->SmallChange(), 2);
  EXPECT_EQ(bar->LargeChange(), 10);
  EXPECT_TRUE(bar->CanFocused());
  EXPECT_EQ(bar->BothMarkerWidth(), 21);
  EXPECT_TRUE(bar->Skinned());
  EXPECT_EQ(bar->Width(), 10);
  EXPECT_EQ(changes, 0);  // the events are wired after the stored position
  bar->SetPosition(3);
  EXPECT_EQ(changes, 1);
  delete form;
}

}  // namespace
