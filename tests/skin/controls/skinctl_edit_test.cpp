// Skinned edit and memo: the skin's height and text area, frames and backgrounds per state,
// hover and focus colours, the button, read-only rules, the skinned context menu, editing
// across a skin change, the memo's scroll bar and damaged records.
#include <functional>

#include "SkinCtrlsTestSupport.h"
#include "platform/std/StdConst.h"
#include "skin/controls/skSkinBoxCtrls.h"
#include "skin/controls/skSkinScrollBar.h"
#include "skin/form/skSkinForm.h"
#include "skin/form/skSkinMenus.h"

using namespace skinctl;

namespace {

// Colours of this file's skin; the second skin has frames of its own colours.
constexpr Color kFrame = RGB(20, 40, 160);
constexpr Color kClient = RGB(240, 230, 200);
constexpr Color kFrameActive = RGB(200, 40, 20);
constexpr Color kClientActive = RGB(250, 250, 150);
constexpr Color kFrame2 = RGB(20, 160, 40);
constexpr Color kBtnNormal = RGB(90, 90, 90);
constexpr Color kBtnHot = RGB(255, 200, 0);
constexpr Color kBtnDown = RGB(0, 200, 255);
constexpr Color kBtnDisabled = RGB(200, 0, 200);
constexpr Color kMemoFrame = RGB(60, 0, 120);
constexpr Color kMemoClient = RGB(210, 255, 210);
constexpr Color kMemoFrameActive = RGB(120, 60, 0);
constexpr Color kMemoClientActive = RGB(255, 210, 210);
constexpr Color kMemoFrame2 = RGB(0, 120, 120);
// Record colours.
constexpr Color kText = RGB(255, 0, 0);
constexpr Color kActiveText = RGB(0, 0, 255);
constexpr Color kDisabledText = RGB(128, 128, 128);
constexpr Color kMemoBg = RGB(250, 240, 230);
constexpr Color kMemoActiveBg = RGB(200, 250, 200);

std::string Dec(Color c) { return std::to_string(c); }

// Picture 0, 128 x 80:
//   (0,0,57,21)    edit, client (3,3,54,18);    (60,0,117,21) its active look
//   (0,24,57,45)   button edit with its normal button at (42,27,54,42);
//                  hot, pressed and disabled buttons at x 60, 75 and 90 of the same rows
//   (0,48,30,78)   memo, client (3,51,27,75);   (32,48,62,78) its active look
Bitmap BoxSkinPicture(bool second) {
  Bitmap b(128, 80, MakePixel(255, 255, 255));
  const Color frame = second ? kFrame2 : kFrame;
  FillRectPixels(b, {0, 0, 57, 21}, frame);
  FillRectPixels(b, {3, 3, 54, 18}, kClient);
  FillRectPixels(b, {60, 0, 117, 21}, kFrameActive);
  FillRectPixels(b, {63, 3, 114, 18}, kClientActive);
  FillRectPixels(b, {0, 24, 57, 45}, frame);
  FillRectPixels(b, {3, 27, 40, 42}, kClient);
  FillRectPixels(b, {42, 27, 54, 42}, kBtnNormal);
  FillRectPixels(b, {60, 27, 72, 42}, kBtnHot);
  FillRectPixels(b, {75, 27, 87, 42}, kBtnDown);
  FillRectPixels(b, {90, 27, 102, 42}, kBtnDisabled);
  FillRectPixels(b, {0, 48, 30, 78}, second ? kMemoFrame2 : kMemoFrame);
  FillRectPixels(b, {3, 51, 27, 75}, kMemoClient);
  FillRectPixels(b, {32, 48, 62, 78}, kMemoFrameActive);
  FillRectPixels(b, {35, 51, 59, 75}, kMemoClientActive);
  return b;
}

std::vector<std::string> BoxSkinDefinition(bool second) {
  const std::vector<std::string> font = {"fontname=宋体", "fontheight=13", "fontcolor=" + Dec(kText),
                                         "activefontcolor=" + Dec(kActiveText),
                                         "disabledfontcolor=" + Dec(kDisabledText)};
  std::vector<std::string> lines = {
      "[VERSION]", "skinname=boxes", "[PICTURES]", "activepicturescount=1", "0=controls.bmp",
      "[FORMINFO]", "[SKINOBJECTS]", "count=0", "[SKINCONTROLS]", "count=10",
      "0=edit:edit", "1=buttonedit:edit", "2=memo:memo", "3=offpicture:edit", "4=bigclient:edit",
      "5=nopicture:edit", "6=memooff:memo", "7=memobig:memo", "8=wrongtype:panel", "9=flatedit:edit"};
  auto section = [&](std::string name, std::vector<std::string> keys) {
    lines.push_back("[" + name + "]");
    lines.insert(lines.end(), keys.begin(), keys.end());
    lines.insert(lines.end(), font.begin(), font.end());
  };
  section("edit", {"pictureindex=0", "skinrect=0,0,57,21", "lefttoppoint=4,0", "righttoppoint=53,0",
                   "clientrect=3,3,54,18", "activeskinrect=60,0,117,21"});
  // The button starts right where the fixed right part does.
  section("buttonedit", {"pictureindex=0", "skinrect=0,24,57,45", "lefttoppoint=4,0", "righttoppoint=42,0",
                         "clientrect=3,3,40,18", "buttonrect=42,3,54,18", "activebuttonrect=60,27,72,42",
                         "downbuttonrect=75,27,87,42", "unenabledbuttonrect=90,27,102,42"});
  section("memo", {"pictureindex=0", "skinrect=0,48,30,78", "lefttoppoint=4,4", "righttoppoint=26,4",
                   "leftbottompoint=4,26", "rightbottompoint=26,26",
                   second ? "clientrect=4,4,26,26" : "clientrect=3,3,27,27", "activeskinrect=32,48,62,78",
                   "bgcolor=" + Dec(kMemoBg), "activebgcolor=" + Dec(kMemoActiveBg)});
  // Damaged records: a skin rect reaching beyond the picture, a client rect larger than its
  // skin rect (at the picture's corner, so its texture lies partly outside), a missing
  // picture, and a record of another kind.
  section("offpicture", {"pictureindex=0", "skinrect=100,70,157,91", "lefttoppoint=4,0",
                         "righttoppoint=53,0", "clientrect=3,3,54,18"});
  section("bigclient", {"pictureindex=0", "skinrect=71,59,128,80", "lefttoppoint=4,0",
                        "righttoppoint=53,0", "clientrect=3,3,80,40"});
  section("nopicture", {"pictureindex=7", "skinrect=0,0,57,21", "clientrect=3,3,54,18"});
  section("memooff", {"pictureindex=0", "skinrect=100,60,130,90", "lefttoppoint=4,4", "righttoppoint=26,4",
                      "leftbottompoint=4,26", "rightbottompoint=26,26", "clientrect=3,3,27,27"});
  section("memobig", {"pictureindex=0", "skinrect=98,50,128,80", "lefttoppoint=4,4", "righttoppoint=26,4",
                      "leftbottompoint=4,26", "rightbottompoint=26,26", "clientrect=0,0,60,60"});
  section("wrongtype", {"pictureindex=0", "skinrect=0,0,57,21", "clientrect=3,3,54,18"});
  section("flatedit", {"pictureindex=0", "skinrect=0,0,57,21", "lefttoppoint=4,0", "righttoppoint=53,0",
                       "clientrect=3,3,54,18"});
  return lines;
}

std::vector<std::uint8_t> BoxSkinPackage(bool second) {
  SkinPackageWriter out;
  out.WriteInt32(SkinPackageVersion);
  out.WriteFlaggedBitmap({});
  out.WriteFlaggedBitmap({});
  out.WriteFlaggedBitmap({});
  out.WriteInt32(1);
  out.WriteBitmapImage(SaveBmp(BoxSkinPicture(second), 24));
  out.WriteLines(BoxSkinDefinition(second));
  return CompressSkinStream(out.Bytes());
}

class SkinCtrlEdit : public SkinCtrlTest {
 protected:
  void LoadBoxSkin(bool second = false) {
    boxStored_.SetCompressedData(BoxSkinPackage(second));
    data_->LoadStoredSkin(boxStored_);
  }
  // The one place that binds a control to the skin data.
  template <class Control>
  void Bind(Control* c) {
    c->SetSkinData(data_);
  }
  struct Box {
    int x, y, w, h;
  };
  template <class Control>
  Control* Make(std::string_view section, Box box, bool skinned = true) {
    auto* c = new Control(form_);
    c->SetParent(form_);
    c->SetSkinDataName(section);
    c->SetBounds(box.x, box.y, box.w, box.h);
    if (skinned) Bind(c);
    return c;
  }
  // Screen points and colours in a control's window coordinates (frame included).
  Point WindowPoint(TWinControl* c, int x, int y) {
    Rect r;
    GetWindowRect(c->Handle(), &r);
    return {r.left + x, r.top + y};
  }
  Color WindowColor(TWinControl* c, int x, int y) {
    host_->Pump();
    const Point p = WindowPoint(c, x, y);
    return host_->Screenshot().GetPixelColor(p.x, p.y);
  }
  Point Away() { return ScreenPoint(form_, form_->ClientWidth() - 5, form_->ClientHeight() - 5); }
  // Shows the form with the focus on a control of its own, so the others look normal.
  void ShowWithFocusElsewhere() {
    auto* sink = new TEdit(form_);
    sink->SetParent(form_);
    sink->SetBounds(300, 250, 40, 20);
    ShowForm();
    sink->SetFocus();
    host_->Pump();
  }
  void Hover(TWinControl* c, int x, int y) {
    host_->MoveMouse(WindowPoint(c, x, y));
    host_->Pump();
  }
  void Chord(int modifier, int key) {
    host_->KeyDown(modifier);
    host_->Key(key);
    host_->KeyUp(modifier);
    host_->Pump();
  }
  void Press(int key) {
    host_->Key(key);
    host_->Pump();
  }
  void Type(std::string_view text) {
    host_->TypeText(text);
    host_->Pump();
  }
  // The screen point of a character's cell (its middle) in an edit or memo.
  Point CharPoint(TWinControl* c, int index) {
    const LRESULT r = SendMessage(c->Handle(), EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    const int height = c->Font().Handle().Metrics().height;
    return c->ClientToScreen({static_cast<short>(LOWORD(r)) + 1, static_cast<short>(HIWORD(r)) + height / 2});
  }
  static std::vector<std::string> Captions(TMenu* menu) {
    std::vector<std::string> out;
    for (int i = 0; i < menu->Items()->Count(); ++i) out.push_back(menu->Items()->Items(i)->Caption());
    return out;
  }
  static std::vector<bool> EnabledItems(TMenu* menu) {
    std::vector<bool> out;
    for (int i = 0; i < menu->Items()->Count(); ++i)
      if (!menu->Items()->Items(i)->IsLine()) out.push_back(menu->Items()->Items(i)->Enabled());
    return out;
  }

  TskCompressedStoredSkin boxStored_;
};

// ---- size and text area

TEST_F(SkinCtrlEdit, SkinFontEditTakesTheSkinHeightWithATextAreaInsetThreePixels) {
  LoadBoxSkin();
  auto* e = Make<TskSkinEdit>("edit", {10, 10, 130, 30});
  ShowWithFocusElsewhere();
  for (int asked : {5, 21, 40, 300}) {
    e->SetBounds(10, 10, 130, asked);
    EXPECT_EQ(e->Height(), 21) << asked;
    EXPECT_EQ(e->TextArea(), Rect(3, 3, 127, 18)) << asked;
  }
  // Growing sideways keeps the insets; the text area keeps the skin's client colour and
  // the frame the record's, right up to their common edge.
  e->SetBounds(10, 10, 200, 21);
  EXPECT_EQ(e->TextArea(), Rect(3, 3, 197, 18));
  for (Point p : {Point{2, 10}, Point{197, 10}, Point{100, 2}, Point{100, 18}, Point{0, 0}, Point{199, 20}})
    EXPECT_EQ(WindowColor(e, p.x, p.y), kFrame) << p.x << "," << p.y;
  for (Point p : {Point{3, 3}, Point{196, 3}, Point{3, 17}, Point{196, 17}, Point{120, 10}})
    EXPECT_EQ(WindowColor(e, p.x, p.y), kClient) << p.x << "," << p.y;
}

TEST_F(SkinCtrlEdit, StoredEditSectionGivesTheSameHeightAndInsets) {
  LoadProgramSkin();
  auto* e = Make<TskSkinEdit>("edit", {10, 10, 90, 33});
  ShowForm();
  ASSERT_NE(e->SkinIndex(), -1);
  EXPECT_EQ(e->Height(), 21);
  EXPECT_EQ(e->TextArea(), Rect(3, 3, 87, 18));
  e->SetHeight(18);
  EXPECT_EQ(e->Height(), 21);
}

TEST_F(SkinCtrlEdit, WithoutSkinFontTheHeightFollowsTheFontAndTheFrameStretches) {
  LoadBoxSkin();
  auto* e = Make<TskSkinEdit>("flatedit", {10, 10, 100, 21});
  e->SetUseSkinFont(false);
  TFont big;
  big.SetName(SkinDefaultFontName);
  big.SetHeight(30);
  e->SetDefaultFont(big);
  ShowForm();
  const int text = e->Font().Handle().Metrics().height;
  ASSERT_GT(text, 20);
  EXPECT_EQ(e->Font().Height(), 30);  // the default font, not the record's
  EXPECT_EQ(e->Height(), text + 6);   // skin height less client height
  e->SetHeight(10);
  EXPECT_EQ(e->Height(), text + 6);
  EXPECT_EQ(e->TextArea(), Rect(3, 3, 97, 3 + text));
  EXPECT_EQ(WindowColor(e, 50, e->Height() - 2), kFrame);
  EXPECT_EQ(WindowColor(e, 50, e->Height() - 4), kClient);
  // Without a record: the font's height and two pixels of frame on each side.
  e->SetSkinDataName("nosuchsection");
  e->ApplySkin();
  EXPECT_EQ(e->Height(), text + 4);
  EXPECT_EQ(e->TextArea(), Rect(2, 2, 98, 2 + text));
}

TEST_F(SkinCtrlEdit, DefaultLookFramesTwoPixelsAndKeepsTheDefaultSize) {
  auto* e = Make<TskSkinEdit>("edit", {10, 10, 80, 26}, false);
  e->SetDefaultWidth(70);
  e->SetDefaultHeight(24);
  EXPECT_EQ(e->TextArea(), Rect(2, 2, 68, 22));
  ShowForm();
  EXPECT_EQ(e->BoundsRect(), Rect(10, 10, 80, 34));
  EXPECT_EQ(e->TextArea(), Rect(2, 2, 68, 22));
  EXPECT_EQ(WindowColor(e, 0, 12), ColorToRGB(clBtnShadow));
  EXPECT_EQ(WindowColor(e, 35, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(WindowColor(e, 35, 1), BtnFace());
  EXPECT_EQ(WindowColor(e, 69, 12), ColorToRGB(clBtnShadow));
  EXPECT_EQ(WindowColor(e, 68, 12), BtnFace());
  EXPECT_EQ(WindowColor(e, 1, 12), BtnFace());
  EXPECT_EQ(WindowColor(e, 2, 12), ColorToRGB(clWindow));
  EXPECT_EQ(WindowColor(e, 69, 23), ColorToRGB(clBtnShadow));
  // Button mode: the square at the right end takes the button's default look.
  e->SetButtonMode(true);
  EXPECT_EQ(e->ButtonRect(), Rect(46, 0, 70, 24));
  EXPECT_EQ(e->TextArea(), Rect(2, 2, 44, 22));
  EXPECT_EQ(WindowColor(e, 46, 12), ColorToRGB(clBtnShadow));
  EXPECT_EQ(WindowColor(e, 58, 12), BtnFace());
  Hover(e, 58, 12);
  EXPECT_TRUE(e->ButtonHot());
  EXPECT_EQ(WindowColor(e, 58, 12), Color(13811126));
  EXPECT_EQ(WindowColor(e, 46, 12), Color(0x800000));
}

// ---- looks and colours

TEST_F(SkinCtrlEdit, EditLooksFollowMouseAndFocus) {
  LoadBoxSkin();
  auto* e = Make<TskSkinEdit>("edit", {10, 10, 100, 21});
  auto* other = Make<TskSkinEdit>("edit", {10, 60, 100, 21});
  int enters = 0, leaves = 0;
  e->OnMouseEnter = [&](TObject*) { ++enters; };
  e->OnMouseLeave = [&](TObject*) { ++leaves; };
  ShowForm();
  other->SetFocus();
  host_->Pump();
  EXPECT_EQ(e->Font().GetColor(), kText);
  EXPECT_EQ(WindowColor(e, 1, 10), kFrame);
  // The frame belongs to the control: hovering it makes the control active.
  Hover(e, 1, 10);
  EXPECT_TRUE(e->MouseInside());
  EXPECT_EQ(e->Font().GetColor(), kActiveText);
  EXPECT_EQ(WindowColor(e, 1, 10), kFrameActive);
  EXPECT_EQ(WindowColor(e, 50, 10), kClientActive);
  Hover(e, 50, 10);  // on into the text area: still inside, no second enter
  Hover(e, 1, 10);
  EXPECT_TRUE(e->MouseInside());
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(leaves, 0);
  host_->MoveMouse(Away());
  host_->Pump();
  EXPECT_FALSE(e->MouseInside());
  EXPECT_EQ(leaves, 1);
  EXPECT_EQ(e->Font().GetColor(), kText);
  EXPECT_EQ(WindowColor(e, 1, 10), kFrame);
  EXPECT_EQ(WindowColor(e, 50, 10), kClient);
  // Focused: active without the mouse, and leaving changes nothing.
  e->SetFocus();
  host_->Pump();
  EXPECT_EQ(e->Font().GetColor(), kActiveText);
  EXPECT_EQ(WindowColor(e, 1, 10), kFrameActive);
  Hover(e, 50, 10);
  host_->MoveMouse(Away());
  host_->Pump();
  EXPECT_EQ(e->Font().GetColor(), kActiveText);
  other->SetFocus();
  host_->Pump();
  EXPECT_EQ(e->Font().GetColor(), kText);
  // Disabled: the record's disabled colour; enabled again: its normal one.
  e->SetEnabled(false);
  EXPECT_EQ(e->Font().GetColor(), kDisabledText);
  e->SetEnabled(true);
  EXPECT_EQ(e->Font().GetColor(), kText);
}

TEST_F(SkinCtrlEdit, TextLiesOnTheSkinBackgroundInTheStateColour) {
  LoadBoxSkin();
  auto* e = Make<TskSkinEdit>("edit", {10, 10, 100, 21});
  e->SetText("WWWW");
  ShowWithFocusElsewhere();
  auto count = [&](std::function<bool(Color)> match) {
    host_->Pump();
    const Bitmap shot = host_->Screenshot();
    int n = 0;
    for (int y = 3; y < 18; ++y)
      for (int x = 3; x < 97; ++x) {
        const Point p = WindowPoint(e, x, y);
        if (match(shot.GetPixelColor(p.x, p.y))) ++n;
      }
    return n;
  };
  auto is = [](Color want) { return [want](Color c) { return c == want; }; };
  EXPECT_GT(count([](Color c) { return c != kClient; }), 10);  // the text's ink
  EXPECT_GT(count(is(kText)), 0);
  EXPECT_GT(count(is(kClient)), 500);
  EXPECT_EQ(count(is(ColorToRGB(clWindow))), 0);  // no opaque text background
  Hover(e, 50, 10);
  EXPECT_EQ(count(is(kText)), 0);
  EXPECT_GT(count(is(kActiveText)), 0);
  EXPECT_GT(count([](Color c) { return c != kClientActive; }), 10);
  EXPECT_GT(count(is(kClientActive)), 500);
}

TEST_F(SkinCtrlEdit, HoveringAnUnfocusedMemoSwitchesFontAndBackground) {
  LoadBoxSkin();
  auto* m = Make<TskSkinMemo>("memo", {10, 10, 120, 80});
  auto* other = Make<TskSkinEdit>("edit", {10, 120, 100, 21});
  ShowForm();
  other->SetFocus();
  host_->Pump();
  EXPECT_EQ(m->Font().GetColor(), kText);
  EXPECT_EQ(m->GetColor(), kMemoBg);
  EXPECT_EQ(WindowColor(m, 60, 60), kMemoBg);
  EXPECT_EQ(WindowColor(m, 1, 40), kMemoFrame);
  Hover(m, 60, 40);
  EXPECT_EQ(m->Font().GetColor(), kActiveText);
  EXPECT_EQ(m->GetColor(), kMemoActiveBg);
  EXPECT_EQ(WindowColor(m, 60, 60), kMemoActiveBg);
  EXPECT_EQ(WindowColor(m, 1, 40), kMemoFrameActive);
  host_->MoveMouse(Away());
  host_->Pump();
  EXPECT_EQ(m->Font().GetColor(), kText);
  EXPECT_EQ(m->GetColor(), kMemoBg);
  EXPECT_EQ(WindowColor(m, 60, 60), kMemoBg);
  EXPECT_EQ(WindowColor(m, 1, 40), kMemoFrame);
  // While focused, hovering changes nothing.
  m->SetFocus();
  host_->Pump();
  EXPECT_EQ(m->GetColor(), kMemoActiveBg);
  Hover(m, 60, 40);
  host_->MoveMouse(Away());
  host_->Pump();
  EXPECT_EQ(m->Font().GetColor(), kActiveText);
  EXPECT_EQ(m->GetColor(), kMemoActiveBg);
  // Disabled: the system's grey text whatever the record says.
  other->SetFocus();
  m->SetEnabled(false);
  EXPECT_EQ(m->Font().GetColor(), clGrayText);
}

TEST_F(SkinCtrlEdit, MemoFrameAndBitmapBackgroundComeFromTheRecord) {
  LoadBoxSkin();
  auto* m = Make<TskSkinMemo>("memo", {10, 10, 100, 70});
  m->SetBitMapBG(true);
  EXPECT_EQ(m->TextArea(), Rect(3, 3, 97, 67));
  ShowWithFocusElsewhere();
  EXPECT_EQ(m->TextArea(), Rect(3, 3, 97, 67));
  for (Point p : {Point{0, 0}, Point{2, 35}, Point{97, 35}, Point{50, 2}, Point{50, 67}, Point{99, 69},
                  Point{0, 69}, Point{0, 67}, Point{99, 0}})
    EXPECT_EQ(WindowColor(m, p.x, p.y), kMemoFrame) << p.x << "," << p.y;
  for (Point p : {Point{3, 3}, Point{96, 3}, Point{3, 66}, Point{96, 66}, Point{50, 35}})
    EXPECT_EQ(WindowColor(m, p.x, p.y), kMemoClient) << p.x << "," << p.y;
  Hover(m, 50, 35);
  EXPECT_EQ(WindowColor(m, 50, 35), kMemoClientActive);
  EXPECT_EQ(WindowColor(m, 96, 66), kMemoClientActive);
  EXPECT_EQ(WindowColor(m, 1, 1), kMemoFrameActive);
  // A plain background: the record's colour, not the texture.
  m->SetBitMapBG(false);
  EXPECT_EQ(WindowColor(m, 50, 35), kMemoActiveBg);
}

TEST_F(SkinCtrlEdit, UnskinnedMemoIsAPlainWhiteBoxWithATwoPixelFrame) {
  auto* m = Make<TskSkinMemo>("memo", {10, 10, 80, 50}, false);
  m->SetUseSkinFont(false);
  ShowForm();
  EXPECT_EQ(m->TextArea(), Rect(2, 2, 78, 48));
  EXPECT_EQ(m->Font().GetColor(), clBlack);
  EXPECT_EQ(WindowColor(m, 0, 25), ColorToRGB(clBtnShadow));
  EXPECT_EQ(WindowColor(m, 1, 25), BtnFace());
  EXPECT_EQ(WindowColor(m, 40, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(WindowColor(m, 40, 1), BtnFace());
  EXPECT_EQ(WindowColor(m, 79, 25), ColorToRGB(clBtnShadow));
  EXPECT_EQ(WindowColor(m, 78, 25), BtnFace());
  EXPECT_EQ(WindowColor(m, 2, 25), RGB(255, 255, 255));
  EXPECT_EQ(WindowColor(m, 77, 47), RGB(255, 255, 255));
  Hover(m, 40, 25);
  EXPECT_EQ(m->Font().GetColor(), clBlack);  // no record, no state colours
  EXPECT_EQ(WindowColor(m, 40, 25), RGB(255, 255, 255));
}

// ---- the button

TEST_F(SkinCtrlEdit, ButtonShowsHotAndPressedAndClicksWhenReleasedOverIt) {
  LoadBoxSkin();
  auto* e = Make<TskSkinEdit>("buttonedit", {10, 10, 120, 21});
  e->SetButtonMode(true);
  int clicks = 0;
  e->OnButtonClick = [&](TObject*) { ++clicks; };
  ShowWithFocusElsewhere();
  // The button lies in the right fixed part: it follows the right edge.
  EXPECT_EQ(e->ButtonRect(), Rect(105, 3, 117, 18));
  EXPECT_EQ(e->TextArea(), Rect(3, 3, 103, 18));
  EXPECT_EQ(SendMessage(e->Handle(), WM_NCHITTEST, 0, PointToLParam(WindowPoint(e, 110, 10))),
            TskSkinEdit::kHitButton);
  EXPECT_EQ(SendMessage(e->Handle(), WM_NCHITTEST, 0, PointToLParam(WindowPoint(e, 1, 10))), HTBORDER);
  EXPECT_EQ(SendMessage(e->Handle(), WM_NCHITTEST, 0, PointToLParam(WindowPoint(e, 118, 10))), HTBORDER);
  EXPECT_EQ(SendMessage(e->Handle(), WM_NCHITTEST, 0, PointToLParam(WindowPoint(e, 50, 10))), HTCLIENT);
  EXPECT_EQ(WindowColor(e, 110, 10), kBtnNormal);
  Hover(e, 110, 10);
  EXPECT_TRUE(e->ButtonHot());
  EXPECT_EQ(WindowColor(e, 110, 10), kBtnHot);
  EXPECT_EQ(WindowColor(e, 110, 1), kFrame);  // only the button rectangle changes
  EXPECT_EQ(WindowColor(e, 117, 10), kFrame);
  Hover(e, 60, 10);
  EXPECT_FALSE(e->ButtonHot());
  EXPECT_EQ(WindowColor(e, 110, 10), kBtnNormal);
  Hover(e, 110, 10);
  EXPECT_EQ(WindowColor(e, 110, 10), kBtnHot);
  host_->PressMouse(WindowPoint(e, 110, 10));
  host_->Pump();
  EXPECT_TRUE(e->ButtonPressed());
  EXPECT_EQ(WindowColor(e, 110, 10), kBtnDown);
  // Off the button while held: the hot look, the pressed look back over it.
  Hover(e, 50, 10);
  EXPECT_EQ(WindowColor(e, 110, 10), kBtnNormal);
  Hover(e, 111, 12);
  EXPECT_EQ(WindowColor(e, 110, 10), kBtnDown);
  EXPECT_FALSE(e->Focused());
  host_->ReleaseMouse(WindowPoint(e, 111, 12));
  host_->Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(e->Focused());
  EXPECT_FALSE(e->ButtonPressed());
  EXPECT_EQ(WindowColor(e, 110, 10), kBtnHot);
  // Released away from it: no click; leaving takes the hot look away.
  host_->PressMouse(WindowPoint(e, 110, 10));
  host_->Pump();
  host_->MoveMouse(WindowPoint(e, 60, 10));
  host_->ReleaseMouse(WindowPoint(e, 60, 10));
  host_->Pump();
  EXPECT_EQ(clicks, 1);
  host_->MoveMouse(Away());
  host_->Pump();
  EXPECT_FALSE(e->ButtonHot());
  EXPECT_FALSE(e->MouseInside());
  // Another window taking the mouse ends the press without a click.
  host_->PressMouse(WindowPoint(e, 110, 10));
  host_->Pump();
  ASSERT_TRUE(e->ButtonPressed());
  SetCapture(form_->Handle());
  EXPECT_FALSE(e->ButtonPressed());
  ReleaseCapture();
  host_->ReleaseMouse(WindowPoint(e, 110, 10));
  host_->Pump();
  EXPECT_EQ(clicks, 1);
  host_->MoveMouse(Away());
  host_->Pump();
  // Disabled while held: the press ends.
  host_->PressMouse(WindowPoint(e, 110, 10));
  host_->Pump();
  ASSERT_TRUE(e->ButtonPressed());
  e->SetEnabled(false);
  EXPECT_FALSE(e->ButtonPressed());
  EXPECT_EQ(GetCapture(), nullptr);
  host_->ReleaseMouse(WindowPoint(e, 110, 10));
  host_->Pump();
  EXPECT_EQ(clicks, 1);
  e->SetEnabled(true);
  // Disabled: its own image, and a press does nothing.
  e->SetEnabled(false);
  EXPECT_EQ(WindowColor(e, 110, 10), kBtnDisabled);
  host_->Click(WindowPoint(e, 110, 10));
  host_->Pump();
  EXPECT_EQ(clicks, 1);
}

TEST_F(SkinCtrlEdit, ButtonGrowsWithTheHeightWithoutSkinFont) {
  LoadBoxSkin();
  auto* e = Make<TskSkinEdit>("buttonedit", {10, 10, 120, 21});
  e->SetButtonMode(true);
  TFont big;
  big.SetName(SkinDefaultFontName);
  big.SetHeight(28);
  e->SetDefaultFont(big);
  e->SetUseSkinFont(false);
  ShowForm();
  const int grow = e->Height() - 21;
  ASSERT_GT(grow, 0);
  EXPECT_EQ(e->ButtonRect(), Rect(105, 3, 117, 18 + grow));
  Hover(e, 110, 17 + grow);
  EXPECT_TRUE(e->ButtonHot());
  EXPECT_EQ(WindowColor(e, 110, 17 + grow), kBtnHot);
}

// ---- keys, read-only and the context menu

TEST_F(SkinCtrlEdit, SelectingByDragKeepsGoingWhenThePointerLeavesTheEdit) {
  LoadBoxSkin();
  auto* e = Make<TskSkinEdit>("buttonedit", {10, 10, 150, 21});
  e->SetButtonMode(true);
  ShowWithFocusElsewhere();
  e->SetText("drag me here");
  host_->MoveMouse(CharPoint(e, 0));
  host_->PressMouse(CharPoint(e, 0));
  host_->MoveMouse(CharPoint(e, 4));
  host_->Pump();
  host_->MoveMouse(Away());
  host_->Pump();
  EXPECT_FALSE(e->MouseInside());
  host_->MoveMouse(CharPoint(e, 2));
  host_->ReleaseMouse(CharPoint(e, 2));
  host_->Pump();
  EXPECT_EQ(e->SelStart(), 0);
  EXPECT_EQ(e->SelLength(), 2);
}

TEST_F(SkinCtrlEdit, EnterAndEscapeReachOnKeyPressOnly) {
  LoadBoxSkin();
  auto* e = Make<TskSkinEdit>("edit", {10, 10, 100, 21});
  std::vector<char32_t> pressed;
  e->OnKeyPress = [&](TObject*, char32_t& key) { pressed.push_back(key); };
  ShowForm();
  host_->Click(WindowPoint(e, 50, 10));
  host_->Pump();
  Type("ab");
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  Type("c");
  EXPECT_EQ(e->Text(), "abc");
  EXPECT_EQ(pressed, (std::vector<char32_t>{U'a', U'b', U'\r', 27, U'c'}));
  // A memo takes Enter as a line break.
  auto* m = Make<TskSkinMemo>("memo", {10, 60, 100, 60});
  host_->Click(WindowPoint(m, 50, 30));
  host_->Pump();
  Type("x");
  Press(VK_RETURN);
  Type("y");
  EXPECT_EQ(m->Text(), "x\r\ny");
}

TEST_F(SkinCtrlEdit, AKeyHandlerMayDestroyTheControl) {
  LoadBoxSkin();
  auto* e = Make<TskSkinEdit>("edit", {10, 10, 100, 21});
  auto* m = Make<TskSkinMemo>("memo", {10, 60, 100, 60});
  ShowForm();
  bool editGone = false, memoGone = false;
  // The handler lives in the control: nothing of it is touched after the delete.
  e->OnKeyPress = [&editGone, e](TObject*, char32_t&) {
    editGone = true;
    delete e;
  };
  m->OnKeyPress = [&memoGone, m](TObject*, char32_t&) {
    memoGone = true;
    delete m;
  };
  e->SetFocus();
  Type("a");
  EXPECT_TRUE(editGone);
  m->SetFocus();
  Type("b");
  EXPECT_TRUE(memoGone);
  host_->Pump();
}

TEST_F(SkinCtrlEdit, ReadOnlyMemoCopiesButRefusesEveryChange) {
  LoadBoxSkin();
  auto* m = Make<TskSkinMemo>("memo", {10, 10, 150, 80});
  m->SetText("read only text");
  m->SetReadOnly(true);
  ShowForm();
  host_->Click(WindowPoint(m, 40, 20));
  host_->Pump();
  m->SetSelStart(0);
  m->SetSelLength(4);
  host_->SetClipboardText("pasted");
  Chord(VK_CONTROL, 'C');
  EXPECT_EQ(host_->ClipboardText(), "read");
  Type("zz");
  Chord(VK_CONTROL, 'X');
  Chord(VK_CONTROL, 'V');
  Press(VK_DELETE);
  Press(VK_BACK);
  Chord(VK_CONTROL, 'Z');
  for (UINT msg : {WM_CUT, WM_PASTE, WM_CLEAR, WM_UNDO, EM_UNDO}) SendMessage(m->Handle(), msg, 0, 0);
  EXPECT_EQ(m->Text(), "read only text");
  EXPECT_EQ(host_->ClipboardText(), "read");
  // Moving and selecting still work.
  m->SetSelStart(5);
  Press(VK_RIGHT);
  Chord(VK_SHIFT, VK_RIGHT);
  EXPECT_EQ(m->SelStart(), 6);
  EXPECT_EQ(m->SelLength(), 1);
  m->SetSelStart(0);
  m->SetSelLength(4);
  // The context menu: Cut, Paste and Delete disabled; Copy and Select All enabled. It opens
  // through the frame's menus, drawn from the frame's menu skin.
  frame_->SetMenusSkinData(data_);
  host_->Click(WindowPoint(m, 40, 20), MouseButton::Right);
  host_->Pump();
  TskSkinPopupMenu* menu = m->SysPopupMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Captions(menu), (std::vector<std::string>{"撤销", "-", "剪切", "复制", "粘贴", "删除", "-", "全部选择"}));
  // Undo, Cut, Copy, Paste, Delete, Select All.
  EXPECT_EQ(EnabledItems(menu), (std::vector<bool>{false, false, true, false, false, true}));
  TskSkinMenu* controller = menu->MenuController();
  ASSERT_NE(controller, nullptr);
  EXPECT_TRUE(controller->Visible());
  EXPECT_EQ(controller->SkinData(), data_);
  // The first enabled item is active when the menu opens: Enter copies again.
  host_->SetClipboardText("other");
  host_->Key(VK_RETURN);
  // The command runs as the menu closes; the menu itself goes with a message after it.
  MSG msg;
  bool asked = false;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == skEditMsgFreeMenu) {
      asked = true;
      EXPECT_NE(m->SysPopupMenu(), nullptr);
      EXPECT_EQ(host_->ClipboardText(), "read");
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  EXPECT_TRUE(asked);
  EXPECT_EQ(m->SysPopupMenu(), nullptr);
}

TEST_F(SkinCtrlEdit, ContextMenuStatesAndCaptionsFollowTheEditAndTheLinkedTexts) {
  LoadBoxSkin();
  auto* m = Make<TskSkinMemo>("memo", {10, 10, 150, 80});
  ShowForm();
  host_->Click(WindowPoint(m, 40, 20));
  host_->Pump();
  Type("abc");
  host_->SetClipboardText("");
  struct Case {
    int selStart, selLength;
    bool clipboard;
    std::vector<bool> enabled;  // Undo, Cut, Copy, Paste, Delete, Select All
  };
  const std::vector<Case> cases = {
      {3, 0, false, {true, false, false, false, false, true}},
      {0, 2, false, {true, true, true, false, true, true}},
      {0, 3, true, {true, true, true, true, true, false}},
  };
  for (const Case& c : cases) {
    m->SetSelStart(c.selStart);
    m->SetSelLength(c.selLength);
    host_->SetClipboardText(c.clipboard ? "clip" : "");
    SendMessage(m->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m->Handle()), -1);
    host_->Pump();
    ASSERT_NE(m->SysPopupMenu(), nullptr);
    EXPECT_EQ(EnabledItems(m->SysPopupMenu()), c.enabled) << c.selStart << "+" << c.selLength;
    Press(VK_ESCAPE);
  }
  // Opened from the keyboard, the menu opens at the control's middle.
  SendMessage(m->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m->Handle()), -1);
  TskSkinMenu* controller = m->SysPopupMenu()->MenuController();
  ASSERT_GT(controller->PopupCount(), 0);
  EXPECT_EQ(controller->Popups(0)->ShowPosition(), WindowPoint(m, 75, 40));
  Press(VK_ESCAPE);
  // With interface texts linked to the skin data the captions are theirs.
  TskResourceStrData strings;
  strings.SetResStrings({"EDIT_UNDO=Back", "EDIT_CUT=Snip", "EDIT_COPY=Copy", "EDIT_PASTE=Put",
                         "EDIT_DELETE=Drop", "EDIT_SELECTALL=Everything"});
  data_->SetResourceStrData(&strings);
  host_->Click(WindowPoint(m, 40, 20), MouseButton::Right);
  host_->Pump();
  EXPECT_EQ(Captions(m->SysPopupMenu()),
            (std::vector<std::string>{"Back", "-", "Snip", "Copy", "Put", "Drop", "-", "Everything"}));
  Press(VK_ESCAPE);
  data_->SetResourceStrData(nullptr);
  // A control with a menu of its own shows that one.
  auto* own = new TPopupMenu(form_);
  bool ownShown = false;
  own->OnPopup = [&](TObject*) { ownShown = true; };
  m->SetPopupMenu(own);
  host_->Pump();
  ASSERT_EQ(m->SysPopupMenu(), nullptr);
  host_->Click(WindowPoint(m, 40, 20), MouseButton::Right);
  host_->Pump();
  EXPECT_TRUE(ownShown);
  EXPECT_EQ(m->SysPopupMenu(), nullptr);
}

TEST_F(SkinCtrlEdit, MenuCommandsRunThroughTheEditAndTheMenuKeyOpensIt) {
  LoadBoxSkin();
  auto* e = Make<TskSkinEdit>("edit", {10, 10, 150, 21});
  ShowForm();
  host_->Click(WindowPoint(e, 60, 10));
  host_->Pump();
  Type("hello");
  Press(VK_APPS);
  ASSERT_NE(e->SysPopupMenu(), nullptr);
  TskSkinMenu* controller = e->SysPopupMenu()->MenuController();
  ASSERT_TRUE(controller && controller->PopupCount() == 1);
  TskSkinPopupWindow* popup = controller->Popups(0);
  // Click "Select All" (the last item), then the menu's "Cut".
  auto clickItem = [&](TskSkinPopupWindow* p, int index) {
    const Rect r = p->Items(index)->ItemRect();
    const Point at = p->ClientToScreen({r.left + r.Width() / 2, r.top + r.Height() / 2});
    host_->MoveMouse(at);
    host_->AdvanceClock(60);
    host_->PressMouse(at);
    host_->ReleaseMouse(at);
    host_->Pump();
  };
  clickItem(popup, popup->ItemCount() - 1);
  // The menu closed, and with it went its controller: the edit holds no menu any more.
  EXPECT_EQ(e->SysPopupMenu(), nullptr);
  EXPECT_EQ(e->SelLength(), 5);
  host_->Click(WindowPoint(e, 60, 10), MouseButton::Right);
  host_->Pump();
  ASSERT_NE(e->SysPopupMenu(), nullptr);
  popup = e->SysPopupMenu()->MenuController()->Popups(0);
  clickItem(popup, 2);
  EXPECT_EQ(e->Text(), "");
  EXPECT_EQ(host_->ClipboardText(), "hello");
  EXPECT_EQ(e->SysPopupMenu(), nullptr);
}

// Captions: the memo's from its own skin data, the edit's from its frame's (built-in without).
class SkinCtrlEditCaptions : public SkinCtrlEdit {
 protected:
  void SetUp() override {
    SkinCtrlEdit::SetUp();
    own_.SetResStrings({"EDIT_UNDO=U", "EDIT_CUT=X", "EDIT_COPY=C", "EDIT_PASTE=V", "EDIT_DELETE=D",
                        "EDIT_SELECTALL=A"});
    LoadBoxSkin();
    data_->SetResourceStrData(&own_);
  }
  void TearDown() override {
    data_->SetResourceStrData(nullptr);
    SkinCtrlEdit::TearDown();
  }
  std::vector<std::string> CaptionsOf(TWinControl* c, std::function<TskSkinPopupMenu*()> menu) {
    host_->Click(WindowPoint(c, 50, 10), MouseButton::Right);
    host_->Pump();
    std::vector<std::string> out = menu() ? Captions(menu()) : std::vector<std::string>{};
    Press(VK_ESCAPE);
    EXPECT_EQ(menu(), nullptr);
    return out;
  }
  TskResourceStrData own_;
  const std::vector<std::string> ownCaptions_ = {"U", "-", "X", "C", "V", "D", "-", "A"};
};

TEST_F(SkinCtrlEditCaptions, WithoutAFrameTheEditShowsTheBuiltInTexts) {
  auto* e = Make<TskSkinEdit>("edit", {10, 10, 100, 21});
  auto* m = Make<TskSkinMemo>("memo", {10, 60, 100, 60});
  ShowWithFocusElsewhere();
  EXPECT_EQ(CaptionsOf(e, [&] { return e->SysPopupMenu(); }),
            (std::vector<std::string>{"撤销", "-", "剪切", "复制", "粘贴", "删除", "-", "全部选择"}));
  EXPECT_EQ(CaptionsOf(m, [&] { return m->SysPopupMenu(); }), ownCaptions_);
}

TEST_F(SkinCtrlEditCaptions, WithAFrameTheEditTakesItsTextsAndTheFormsMenuController) {
  // The frame draws from a skin of its own, with texts of their own.
  TskResourceStrData frameTexts;
  frameTexts.SetResStrings({"EDIT_UNDO=u", "EDIT_CUT=x", "EDIT_COPY=c", "EDIT_PASTE=v", "EDIT_DELETE=d",
                            "EDIT_SELECTALL=a"});
  auto* frameData = new TskSkinData(form_);
  TskCompressedStoredSkin frameSkin;
  frameSkin.LoadFromPackageFile(ProgramSkinPackagePath());
  frameData->LoadStoredSkin(frameSkin);
  frameData->SetResourceStrData(&frameTexts);
  frame_->SetSkinData(frameData);
  // The frame's menu controller, drawing from the frame's skin.
  TskSkinMenu* formMenu = frame_->SkinMenu();
  auto* e = Make<TskSkinEdit>("edit", {10, 10, 100, 21});
  auto* m = Make<TskSkinMemo>("memo", {10, 60, 100, 60});
  ShowWithFocusElsewhere();
  ASSERT_TRUE(IsWindowVisible(form_->Handle()));
  host_->Click(WindowPoint(e, 50, 10), MouseButton::Right);
  host_->Pump();
  ASSERT_NE(e->SysPopupMenu(), nullptr);
  EXPECT_EQ(Captions(e->SysPopupMenu()), (std::vector<std::string>{"u", "-", "x", "c", "v", "d", "-", "a"}));
  EXPECT_EQ(e->SysPopupMenu()->MenuController(), formMenu);
  EXPECT_TRUE(formMenu->Visible());
  EXPECT_EQ(formMenu->SkinData(), frameData);  // not the edit's own skin
  Press(VK_ESCAPE);
  EXPECT_FALSE(formMenu->Visible());
  EXPECT_EQ(e->SysPopupMenu(), nullptr);
  EXPECT_EQ(CaptionsOf(m, [&] { return m->SysPopupMenu(); }), ownCaptions_);
  frameData->SetResourceStrData(nullptr);
}

// ---- editing through a skin change

TEST_F(SkinCtrlEdit, TypingSelectingCuttingPastingAndUndoSurviveASkinChange) {
  LoadBoxSkin();
  auto* m = Make<TskSkinMemo>("memo", {10, 10, 200, 90});
  auto* other = Make<TskSkinEdit>("edit", {10, 120, 100, 21});
  ShowForm();
  host_->Click(WindowPoint(m, 100, 40));
  host_->Pump();
  ASSERT_TRUE(m->Focused());
  Type("hello world");
  // Select "hello" by dragging the mouse across it.
  host_->PressMouse(CharPoint(m, 0));
  host_->MoveMouse(CharPoint(m, 3));
  host_->MoveMouse(CharPoint(m, 5));
  host_->ReleaseMouse(CharPoint(m, 5));
  host_->Pump();
  EXPECT_EQ(m->SelStart(), 0);
  EXPECT_EQ(m->SelLength(), 5);
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(m->Text(), " world");
  EXPECT_EQ(host_->ClipboardText(), "hello");
  Press(VK_END);
  Type(" ");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(m->Text(), " world hello");
  host_->KeyDown(VK_SHIFT);
  for (int i = 0; i < 5; ++i) host_->Key(VK_LEFT);
  host_->KeyUp(VK_SHIFT);
  host_->Pump();
  const HWND window = m->Handle();
  ASSERT_EQ(m->TextArea(), Rect(3, 3, 197, 87));
  // A second skin through the same skin data object: new frame and insets, same window.
  LoadBoxSkin(true);
  ASSERT_FALSE(data_->SkinEmpty());
  EXPECT_EQ(m->Handle(), window);
  EXPECT_EQ(m->TextArea(), Rect(4, 4, 196, 86));
  EXPECT_EQ(WindowColor(m, 1, 40), kMemoFrameActive);  // focused
  EXPECT_EQ(m->Text(), " world hello");
  EXPECT_EQ(m->SelStart(), 7);
  EXPECT_EQ(m->SelLength(), 5);
  EXPECT_EQ(m->SelText(), "hello");
  EXPECT_TRUE(m->Focused());
  // Undo takes back the paste, then the typed space, then the cut.
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(m->Text(), " world ");
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(m->Text(), " world");
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(m->Text(), "hello world");
  // Unfocused, the new skin's normal frame shows.
  other->SetFocus();
  host_->MoveMouse(Away());
  EXPECT_EQ(WindowColor(m, 60, 1), kMemoFrame2);
  EXPECT_EQ(WindowColor(m, 1, 40), kMemoFrame2);
}

TEST_F(SkinCtrlEdit, EditKeepsTextSelectionAndUndoAcrossASkinChange) {
  LoadBoxSkin();
  auto* e = Make<TskSkinEdit>("edit", {10, 10, 150, 21});
  auto* other = Make<TskSkinEdit>("edit", {10, 60, 150, 21});
  ShowForm();
  host_->Click(WindowPoint(e, 60, 10));
  host_->Pump();
  Type("abc def");
  e->SetSelStart(4);
  e->SetSelLength(3);
  other->SetFocus();
  host_->MoveMouse(Away());
  host_->Pump();
  EXPECT_EQ(WindowColor(e, 1, 10), kFrame);
  LoadBoxSkin(true);
  EXPECT_EQ(WindowColor(e, 1, 10), kFrame2);
  EXPECT_EQ(e->Text(), "abc def");
  EXPECT_EQ(e->SelStart(), 4);
  EXPECT_EQ(e->SelLength(), 3);
  EXPECT_TRUE(e->CanUndo());
  e->Undo();
  EXPECT_EQ(e->Text(), "");
}

// ---- the memo's scroll bar

TEST_F(SkinCtrlEdit, MemoDrivesItsScrollBarAndFollowsIt) {
  LoadBoxSkin();
  auto* m = Make<TskSkinMemo>("memo", {10, 10, 150, 0});
  const int line = m->Font().Handle().TextExtent("Wq").cy;
  ASSERT_GT(line, 0);
  m->SetBounds(10, 10, 150, 10 * line + 6 + line / 2);  // ten lines fit, the eleventh not wholly
  auto* bar = new TskSkinScrollBar(form_);
  bar->SetParent(form_);
  bar->SetKind(TScrollBarKind::sbVertical);
  bar->SetBounds(170, 10, 19, 150);
  m->SetVScrollBar(bar);
  auto* sink = new TEdit(form_);
  sink->SetParent(form_);
  sink->SetBounds(200, 200, 40, 20);
  ShowForm();
  EXPECT_FALSE(bar->Enabled());  // nothing to scroll yet
  host_->Click(WindowPoint(m, 60, 10));  // the wheel goes to the focused window
  host_->Pump();
  auto lines = [](int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += (i ? "\r\n" : "") + std::to_string(i);
    return text;
  };
  m->SetText(lines(10));  // exactly what fits
  host_->Pump();
  EXPECT_FALSE(bar->Enabled());
  EXPECT_EQ(bar->Max(), 0);
  const std::string text = lines(30);
  m->SetText(text);
  host_->Pump();
  ASSERT_EQ(m->LineCount(), 30);
  EXPECT_TRUE(bar->Enabled());
  EXPECT_EQ(bar->Min(), 0);
  EXPECT_EQ(bar->Max(), 30);
  EXPECT_EQ(bar->PageSize(), 11);
  EXPECT_EQ(bar->Position(), 0);
  // The wheel scrolls one line at a time, and the bar follows.
  host_->Wheel(WindowPoint(m, 60, 40), -120);
  host_->Pump();
  host_->Wheel(WindowPoint(m, 60, 40), -120);
  host_->Pump();
  EXPECT_EQ(m->FirstVisibleLine(), 2);
  EXPECT_EQ(bar->Position(), 2);
  host_->Wheel(WindowPoint(m, 60, 40), 120);
  host_->Pump();
  EXPECT_EQ(m->FirstVisibleLine(), 1);
  // Moving the bar scrolls the memo.
  bar->SetPosition(15);
  host_->Pump();
  EXPECT_EQ(m->FirstVisibleLine(), 15);
  // The state colours change without scrolling back to the caret (still on line 0).
  host_->MoveMouse(Away());
  sink->SetFocus();
  host_->Pump();
  EXPECT_EQ(m->Font().GetColor(), kText);
  Hover(m, 60, 40);
  EXPECT_EQ(m->Font().GetColor(), kActiveText);
  EXPECT_EQ(m->FirstVisibleLine(), 15);
  EXPECT_EQ(bar->Position(), 15);
  host_->Click(WindowPoint(m, 60, 10));
  host_->Pump();
  // The caret's line comes into view as the keys move it, and the bar goes with it.
  host_->KeyDown(VK_CONTROL);
  host_->Key(VK_END);
  host_->KeyUp(VK_CONTROL);
  host_->Pump();
  EXPECT_EQ(m->FirstVisibleLine(), 20);
  EXPECT_EQ(bar->Position(), 20);
  // Disabled memo, disabled bar; a short text leaves nothing to scroll.
  m->SetEnabled(false);
  EXPECT_FALSE(bar->Enabled());
  m->SetEnabled(true);
  m->SetText("short");
  host_->Pump();
  EXPECT_FALSE(bar->Enabled());
  EXPECT_EQ(bar->Max(), 0);
  EXPECT_EQ(bar->PageSize(), 0);
  // A bar that goes away is forgotten.
  delete bar;
  m->SetText(text);
  host_->Pump();
  EXPECT_EQ(m->VScrollBar(), nullptr);
}

// ---- damaged records and missing skin

TEST_F(SkinCtrlEdit, DamagedRecordsDrawClippedOrInTheDefaultLook) {
  LoadBoxSkin();
  struct Case {
    const char* section;
    bool skinHeight;  // the record's geometry is used
    Rect textArea;    // in button mode
  };
  // The default look's button square takes the height off the text area's right.
  const std::vector<Case> cases = {
      {"offpicture", false, {2, 2, 48, 28}},
      {"nopicture", false, {2, 2, 48, 28}},
      {"wrongtype", false, {2, 2, 48, 28}},
      {"bigclient", true, {3, 3, 80, 21}},
  };
  ShowForm();
  for (const Case& c : cases) {
    auto* e = Make<TskSkinEdit>(c.section, {10, 10, 80, 30});
    e->SetButtonMode(true);
    host_->MoveMouse(WindowPoint(e, 70, 5));
    host_->Pump();
    EXPECT_EQ(e->Height(), c.skinHeight ? 21 : 30) << c.section;
    const Rect area = e->TextArea();
    EXPECT_GE(area.Width(), 0) << c.section;
    EXPECT_GE(area.Height(), 0) << c.section;
    EXPECT_TRUE(Rect(0, 0, e->Width(), e->Height()).Contains(area) || area.IsEmpty()) << c.section;
    EXPECT_EQ(area, c.textArea) << c.section;
    if (!c.skinHeight) {
      EXPECT_EQ(WindowColor(e, 0, 15), ColorToRGB(clBtnShadow)) << c.section;
      EXPECT_EQ(WindowColor(e, 10, 15), ColorToRGB(clWindow)) << c.section;
    } else {
      const Bitmap frame = e->FrameImage();
      EXPECT_EQ(frame.Width(), 80);
      EXPECT_EQ(frame.Height(), 21);
    }
    e->SetUseSkinFont(false);
    EXPECT_GT(e->Height(), 0) << c.section;
    const int text = e->Font().Handle().Metrics().height;
    EXPECT_EQ(e->Height(), c.skinHeight ? text + 3 : text + 4) << c.section;  // only the top inset fits
    EXPECT_GE(e->TextArea().Height(), 0) << c.section;
    host_->Pump();
    delete e;
  }
  for (const char* section : {"memooff", "memobig", "edit"}) {
    auto* m = Make<TskSkinMemo>(section, {10, 10, 80, 60});
    m->SetBitMapBG(true);
    host_->MoveMouse(WindowPoint(m, 40, 30));
    host_->Pump();
    const Rect area = m->TextArea();
    if (std::string_view(section) == "memobig") {
      EXPECT_EQ(area, Rect(0, 0, 80, 60));  // no frame left to show, never a negative size
    } else {
      EXPECT_EQ(area, Rect(2, 2, 78, 58)) << section;
      EXPECT_EQ(WindowColor(m, 0, 30), ColorToRGB(clBtnShadow)) << section;
      EXPECT_EQ(WindowColor(m, 40, 30), ColorToRGB(clWindow)) << section;
    }
    delete m;
  }
}

TEST_F(SkinCtrlEdit, ControlsSmallerThanTheirFrameGetAnEmptyTextAreaNeverANegativeOne) {
  LoadBoxSkin();
  ShowWithFocusElsewhere();
  for (const char* section : {"edit", "buttonedit", "offpicture", "memo", "memobig"}) {
    for (int size : {0, 1, 3, 5, 12}) {
      const bool memo = std::string_view(section).starts_with("memo");
      TWinControl* c = nullptr;
      Rect area;
      Bitmap frame;
      if (memo) {
        auto* m = Make<TskSkinMemo>(section, {10, 10, size, size});
        m->SetBitMapBG(true);
        c = m;
        host_->Pump();
        area = m->TextArea();
        frame = m->FrameImage();
      } else {
        auto* e = Make<TskSkinEdit>(section, {10, 10, size, size});
        e->SetButtonMode(true);
        c = e;
        host_->Pump();
        area = e->TextArea();
        frame = e->FrameImage();
      }
      const std::string what = std::string(section) + " " + std::to_string(size);
      EXPECT_GE(area.left, 0) << what;
      EXPECT_GE(area.top, 0) << what;
      EXPECT_GE(area.Width(), 0) << what;
      EXPECT_GE(area.Height(), 0) << what;
      EXPECT_LE(area.right, c->Width()) << what;
      EXPECT_LE(area.bottom, c->Height()) << what;
      EXPECT_EQ(frame.Width(), c->Width()) << what;
      EXPECT_EQ(frame.Height(), c->Height()) << what;
      host_->MoveMouse(WindowPoint(c, size / 2, size / 2));
      host_->Pump();
      delete c;
    }
  }
}

TEST_F(SkinCtrlEdit, DefaultFontReachesTheFontOnlyWhereTheSkinGivesNone) {
  LoadBoxSkin();
  auto* skinned = Make<TskSkinEdit>("edit", {10, 10, 100, 21});
  auto* plain = Make<TskSkinEdit>("nosuchsection", {10, 60, 100, 21});
  ShowWithFocusElsewhere();
  for (auto* e : {skinned, plain}) {
    e->DefaultFont().SetHeight(17);
    e->DefaultFont().SetColor(RGB(0, 128, 0));
  }
  EXPECT_EQ(skinned->Font().Height(), 13);  // the record's
  EXPECT_EQ(skinned->Font().GetColor(), kText);
  EXPECT_EQ(plain->Font().Height(), 17);
  EXPECT_EQ(plain->Font().GetColor(), RGB(0, 128, 0));
  auto platformFontHeight = [](TWinControl* c) {
    const auto* f = reinterpret_cast<const Font*>(SendMessage(c->Handle(), WM_GETFONT, 0, 0));
    return f ? f->Spec().height : 0;
  };
  EXPECT_EQ(platformFontHeight(plain), 17);
  EXPECT_EQ(platformFontHeight(skinned), 13);
  // Without the skin's font the record keeps only its colours.
  skinned->SetUseSkinFont(false);
  EXPECT_EQ(skinned->Font().Height(), 17);
  EXPECT_EQ(skinned->Font().GetColor(), kText);
  skinned->SetUseSkinFont(true);
  EXPECT_EQ(skinned->Font().Height(), 13);
  // The memo alike.
  auto* memo = Make<TskSkinMemo>("memo", {150, 10, 100, 60});
  memo->DefaultFont().SetHeight(19);
  EXPECT_EQ(memo->Font().Height(), 13);
  memo->SetUseSkinFont(false);
  EXPECT_EQ(memo->Font().Height(), 19);
  host_->Pump();
  EXPECT_EQ(platformFontHeight(memo), 19);
  EXPECT_EQ(memo->Font().GetColor(), kText);
  memo->SetUseSkinFont(true);
  EXPECT_EQ(memo->Font().Height(), 13);
  plain->SetEnabled(false);
  EXPECT_EQ(plain->Font().GetColor(), clGrayText);
}

TEST_F(SkinCtrlEdit, RemovingTheSkinLeavesTheDefaultLook) {
  LoadBoxSkin();
  auto* e = Make<TskSkinEdit>("edit", {10, 10, 100, 30}, false);
  e->SetSkinData(data_);
  ShowWithFocusElsewhere();
  ASSERT_EQ(e->Height(), 21);
  EXPECT_EQ(e->Font().GetColor(), kText);
  delete data_;
  data_ = nullptr;
  EXPECT_EQ(e->SkinData(), nullptr);
  EXPECT_EQ(e->SkinIndex(), -1);
  EXPECT_EQ(e->Font().GetColor(), clBlack);
  EXPECT_EQ(e->TextArea(), Rect(2, 2, 98, 19));
  EXPECT_EQ(WindowColor(e, 0, 10), ColorToRGB(clBtnShadow));
}

}  // namespace
