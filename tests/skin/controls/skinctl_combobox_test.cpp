// Combo boxes: the popup list's rows, width and place, opening and closing by mouse, drag,
// keys and wheel, the typed search on the virtual clock, OnChange and OnClick, looks from
// the hand-made and the program skin, translucency, the edit style, and the font list
// with its filters, tags, faces and refills.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ListSkinPackage.h"
#include "platform/gfx/FontList.h"
#include "skin/controls/skSkinBoxCtrls.h"
#include "skin/controls/skSkinComboBox.h"
#include "skin/form/skSkinMenus.h"
#include "skin/controls/skSkinScrollBar.h"

using namespace skinctl;
using namespace listskin;

namespace {

// A one-glyph bitmap font: fontconfig lists it as a BDF face, not scalable, fixed pitch.
constexpr const char* kBitmapFamily = "KavriBitmapTest";
constexpr const char* kBitmapFont = R"(STARTFONT 2.1
FONT -kavri-KavriBitmapTest-medium-r-normal--8-80-75-75-c-80-iso10646-1
SIZE 8 75 75
FONTBOUNDINGBOX 8 8 0 0
STARTPROPERTIES 5
FAMILY_NAME "KavriBitmapTest"
FONT_ASCENT 7
FONT_DESCENT 1
CHARSET_REGISTRY "ISO10646"
CHARSET_ENCODING "1"
ENDPROPERTIES
CHARS 1
STARTCHAR A
ENCODING 65
SWIDTH 1000 0
DWIDTH 8 0
BBX 8 8 0 0
BITMAP
18
24
42
42
7E
42
42
00
ENDCHAR
ENDFONT
)";

class SkinCtrlComboBox : public SkinCtrlTest {
 protected:
  void TearDown() override {
    if (!fontFile_.empty()) {
      RemoveFontResource(fontFile_);
      std::filesystem::remove_all(std::filesystem::path(fontFile_).parent_path());
    }
    SkinCtrlTest::TearDown();
  }
  void UseListSkin() {
    stored_.SetCompressedData(Package());
    data_->LoadStoredSkin(stored_);
  }
  TskSkinFontSizeComboBox* MakeCombo(int items, int x = 10, int y = 10, int w = 120) {
    auto* combo = new TskSkinFontSizeComboBox(form_);
    combo->SetParent(form_);
    combo->SetBounds(x, y, w, 20);
    for (int i = 0; i < items; ++i) combo->Items().Add(std::to_string(i + 1));
    return combo;
  }
  std::string AddBitmapFont() {
    const auto dir = std::filesystem::temp_directory_path() / ("kavri-font-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    fontFile_ = (dir / "kavri-bitmap.bdf").string();
    std::ofstream(fontFile_) << kBitmapFont;
    EXPECT_EQ(AddFontResource(fontFile_), 1);
    return fontFile_;
  }
  void Press(Point p) {
    host_->PressMouse(p);
    host_->Pump();
  }
  void Release(Point p) {
    host_->ReleaseMouse(p);
    host_->Pump();
  }
  void MoveTo(Point p) {
    host_->MoveMouse(p);
    host_->Pump();
  }
  void ClickAt(Point p) {
    host_->Click(p);
    host_->Pump();
  }
  // A point on the open list's visible row `row` (0: the top one), in screen coordinates.
  Point Row(TskSkinCustomComboBox* combo, int row) {
    TskListBox& list = combo->ListBox().ListBox();
    return ScreenPoint(&list, 20, row * list.ItemHeight() + list.ItemHeight() / 2);
  }
  void KeyWithAlt(int vk) {
    host_->KeyDown(VK_MENU);
    host_->Key(vk);
    host_->KeyUp(VK_MENU);
    host_->Pump();
  }
  std::string fontFile_;
};

}  // namespace

// ---- the popup list

struct RowsCase {
  const char* what;
  int items;
  int dropDownCount;
  int listWidth;
  int rows;
  int width;
  bool bar;
};

TEST_F(SkinCtrlComboBox, ListRowsFollowItemsAndDropDownCount) {
  ShowForm();
  const RowsCase cases[] = {
      {"3 items, 8 rows at most", 3, 8, 0, 3, 120, false},
      {"20 items", 20, 8, 0, 8, 120, true},
      {"a count of 0 is ignored", 20, 0, 0, 8, 120, true},
      {"5 rows, a wider list", 20, 5, 200, 5, 200, true},
  };
  for (const RowsCase& c : cases) {
    TskSkinFontSizeComboBox* combo = MakeCombo(c.items);
    combo->SetDropDownCount(c.dropDownCount);
    combo->SetListBoxWidth(c.listWidth);
    combo->DropDown();
    host_->Pump();
    ASSERT_TRUE(combo->DroppedDown()) << c.what;
    TskPopupListBox& list = combo->ListBox();
    EXPECT_TRUE(list.ListVisible()) << c.what;
    EXPECT_EQ(list.RowCount(), c.rows) << c.what;
    EXPECT_EQ(list.Height(), c.rows * 20 + 4) << c.what;
    EXPECT_EQ(list.ListBox().Height() / list.ListBox().ItemHeight(), c.rows) << c.what;
    EXPECT_EQ(list.Width(), c.width) << c.what;
    EXPECT_EQ(list.VScrollBar() != nullptr, c.bar) << c.what;
    // Under the combo, from its left edge.
    EXPECT_EQ(list.BoundsRect().TopLeft(), combo->ClientToScreen({0, 20})) << c.what;
    combo->CloseUp(false);
    EXPECT_FALSE(list.ListVisible()) << c.what;
    delete combo;
  }
  // An empty combo opens nothing.
  TskSkinFontSizeComboBox* empty = MakeCombo(0);
  empty->DropDown();
  EXPECT_FALSE(empty->DroppedDown());
}

TEST_F(SkinCtrlComboBox, NearTheBottomOfTheWorkAreaTheListOpensAbove) {
  // The work area ends at 760 (an 800-pixel screen with a 40-pixel bar).
  form_->SetBounds(50, 560, 400, 200);
  ShowForm();
  TskSkinFontSizeComboBox* low = MakeCombo(20, 10, 150);
  low->DropDown();
  const Point top = low->ClientToScreen({0, 0});
  EXPECT_EQ(low->ListBox().BoundsRect(), Rect(top.x, top.y - 164, top.x + 120, top.y));
  low->CloseUp(false);
  // With room below, under it.
  TskSkinFontSizeComboBox* high = MakeCombo(3, 10, 10);
  high->DropDown();
  EXPECT_EQ(high->ListBox().Top(), high->ClientToScreen({0, 20}).y);
}

TEST_F(SkinCtrlComboBox, OpenListTakesNeitherActivationNorFocus) {
  ShowForm();
  TskSkinFontSizeComboBox* combo = MakeCombo(10);
  ClickAt(Centre(combo));
  ASSERT_TRUE(combo->DroppedDown());
  HWND popup = combo->ListBox().Handle();
  EXPECT_EQ(GetFocus(), combo->Handle());
  EXPECT_EQ(GetActiveWindow(), form_->Handle());
  // Moving over and clicking a row keep it so until the list closes.
  MoveTo(Row(combo, 3));
  EXPECT_EQ(GetFocus(), combo->Handle());
  EXPECT_NE(GetActiveWindow(), popup);
  EXPECT_EQ(combo->ListBox().ItemIndex(), 3) << "the row under the pointer";
  EXPECT_EQ(combo->Text(), "") << "hot tracking takes nothing";
  ClickAt(Row(combo, 3));
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 3);
  EXPECT_EQ(combo->Text(), "4");
  EXPECT_EQ(GetFocus(), combo->Handle());
  EXPECT_EQ(GetActiveWindow(), form_->Handle());
}

TEST_F(SkinCtrlComboBox, DragFromTheButtonOpensTracksAndPicksInOneMove) {
  ShowForm();
  TskSkinFontSizeComboBox* combo = MakeCombo(20);
  auto* other = MakeCombo(3, 10, 200);
  int clicks = 0;
  combo->OnClick = [&](TObject*) { ++clicks; };
  // Press, move to row 5, release there: row 5 is taken.
  Press(Centre(combo));
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_TRUE(combo->ButtonPressed());
  MoveTo(Row(combo, 2));
  MoveTo(Row(combo, 5));
  EXPECT_EQ(combo->ListBox().ItemIndex(), 5);
  Release(Row(combo, 5));
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_FALSE(combo->ButtonPressed());
  EXPECT_EQ(combo->Text(), "6");
  EXPECT_EQ(clicks, 1);
  // Into the list and out again: released elsewhere, nothing is taken.
  Press(Centre(combo));
  MoveTo(Row(combo, 1));
  MoveTo(ScreenPoint(form_, 350, 250));
  Release(ScreenPoint(form_, 350, 250));
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 5);
  EXPECT_EQ(clicks, 1);
  // A plain click leaves the list open; a press on the combo closes it again.
  ClickAt(Centre(combo));
  EXPECT_TRUE(combo->DroppedDown());
  ClickAt(Centre(combo));
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 5);
  // A press anywhere else closes without taking the hot row.
  ClickAt(Centre(combo));
  MoveTo(Row(combo, 6));
  EXPECT_NE(combo->ListBox().ItemIndex(), 5);
  ClickAt(Centre(other));
  host_->Pump();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 5);
  EXPECT_EQ(combo->Text(), "6");
  EXPECT_EQ(clicks, 1);
  // Dragging below the list scrolls it.
  Press(Centre(combo));
  TskPopupListBox& list = combo->ListBox();
  const Point below = ScreenPoint(&list.ListBox(), 20, list.ListBox().Height() + 5);
  MoveTo(Row(combo, 7));
  const int top = list.TopIndex();
  // The first pixel row under the list already scrolls.
  MoveTo(ScreenPoint(&list.ListBox(), 20, list.ListBox().Height()));
  EXPECT_EQ(list.TopIndex(), top + 1);
  MoveTo(below);
  MoveTo(Point(below.x, below.y + 1));
  EXPECT_GT(list.TopIndex(), top + 1);
  Release(below);
  EXPECT_FALSE(combo->DroppedDown());
}

// ---- events

TEST_F(SkinCtrlComboBox, ItemIndexFiresOnClickAlwaysAndOnChangeWhenTheTextChanges) {
  ShowForm();
  TskSkinFontSizeComboBox* combo = MakeCombo(5);
  int changes = 0, clicks = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->OnClick = [&](TObject*) { ++clicks; };
  struct Step {
    int index;
    int changes, clicks;
    const char* text;
  };
  const Step steps[] = {
      {2, 1, 1, "3"},   // a new item: both
      {2, 1, 2, "3"},   // the same again: OnClick only
      {-1, 1, 3, "3"},  // nothing: the text stays, OnClick still
      {9, 1, 4, "3"},   // beyond the list: as nothing
      {0, 2, 5, "1"},
  };
  for (const Step& s : steps) {
    combo->SetItemIndex(s.index);
    EXPECT_EQ(changes, s.changes) << s.index;
    EXPECT_EQ(clicks, s.clicks) << s.index;
    EXPECT_EQ(combo->Text(), s.text) << s.index;
  }
  // Accepting the open list's row is a click; cancelling is none.
  combo->DropDown();
  combo->ListBox().SetItemIndex(4);
  combo->CloseUp(false);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(clicks, 5);
  combo->DropDown();
  combo->ListBox().SetItemIndex(4);
  combo->CloseUp(true);
  EXPECT_EQ(combo->Text(), "5");
  EXPECT_EQ(clicks, 6);
  EXPECT_EQ(changes, 3);
}

// ---- keys, wheel and typing

TEST_F(SkinCtrlComboBox, KeysCommitTheSelectionOpenAndCloseTheList) {
  ShowForm();
  TskSkinFontSizeComboBox* combo = MakeCombo(40);
  combo->SetFocus();
  host_->Pump();
  struct Step {
    const char* what;
    int key;
    bool alt;
    int index;
    bool open;
  };
  const Step steps[] = {
      {"Down from nothing", VK_DOWN, false, 0, false},
      {"Right", VK_RIGHT, false, 1, false},
      {"Page Down: + 8 - 1", VK_NEXT, false, 8, false},
      {"Page Up: - 8 - 1, not below 0", VK_PRIOR, false, 0, false},
      {"Page Down from the top: 7", VK_NEXT, false, 7, false},
      {"Page Up", VK_PRIOR, false, 0, false},
      {"Left at the top stays", VK_LEFT, false, 0, false},
      {"Alt+Down opens", VK_DOWN, true, 0, true},
      {"Down in the open list commits", VK_DOWN, false, 1, true},
      {"Escape closes", VK_ESCAPE, false, 1, false},
      {"Alt+Down again", VK_DOWN, true, 1, true},
      {"Up", VK_UP, false, 0, true},
      {"Alt+Up closes", VK_UP, true, 0, false},
      {"Alt+Down", VK_DOWN, true, 0, true},
      {"Enter accepts", VK_RETURN, false, 0, false},
  };
  for (const Step& s : steps) {
    if (s.alt) KeyWithAlt(s.key);
    else {
      host_->Key(s.key);
      host_->Pump();
    }
    EXPECT_EQ(combo->ItemIndex(), s.index) << s.what;
    EXPECT_EQ(combo->DroppedDown(), s.open) << s.what;
  }
  // Page Down stops at the last item.
  combo->SetItemIndex(36);
  host_->Key(VK_NEXT);
  host_->Pump();
  EXPECT_EQ(combo->ItemIndex(), 39);
  EXPECT_EQ(combo->Text(), "40");
  // A single item: Page Up and Page Down select it.
  TskSkinFontSizeComboBox* one = MakeCombo(1, 10, 60);
  one->SetFocus();
  host_->Key(VK_PRIOR);
  host_->Pump();
  EXPECT_EQ(one->ItemIndex(), 0);
  one->SetItemIndex(-1);
  host_->Key(VK_NEXT);
  host_->Pump();
  EXPECT_EQ(one->ItemIndex(), 0);
  combo->SetFocus();
  host_->Pump();
  // Losing the focus closes the list without taking its row.
  KeyWithAlt(VK_DOWN);
  combo->ListBox().SetItemIndex(3);
  MakeCombo(2, 10, 200)->SetFocus();
  host_->Pump();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 39);
}

TEST_F(SkinCtrlComboBox, WheelCommitsWhenClosedAndOnlyMovesTheOpenList) {
  ShowForm();
  TskSkinFontSizeComboBox* combo = MakeCombo(10);
  combo->SetFocus();
  combo->SetItemIndex(4);
  int clicks = 0;
  combo->OnClick = [&](TObject*) { ++clicks; };
  host_->Wheel(Centre(combo), -120);
  host_->Pump();
  EXPECT_EQ(combo->ItemIndex(), 5);
  EXPECT_EQ(combo->Text(), "6");
  host_->Wheel(Centre(combo), 120);
  host_->Pump();
  EXPECT_EQ(combo->ItemIndex(), 4);
  EXPECT_EQ(clicks, 2);
  combo->DropDown();
  host_->Wheel(Centre(combo), -120);
  host_->Pump();
  EXPECT_EQ(combo->ListBox().ItemIndex(), 5);
  EXPECT_EQ(combo->Text(), "5");
  EXPECT_EQ(clicks, 2);
}

struct TypeCase {
  const char* what;
  unsigned delay;  // before the character, on the virtual clock
  const char* ch;
  int expected;
};

TEST_F(SkinCtrlComboBox, TypedCharactersWithin499MillisecondsFormAPrefix) {
  ShowForm();
  auto* combo = new TskSkinFontSizeComboBox(form_);
  combo->SetParent(form_);
  combo->SetSorted(true);
  for (const char* s : {"banana", "apricot", "Apple", "avocado", "blueberry", "cherry"}) combo->Items().Add(s);
  combo->SetFocus();
  host_->Pump();
  // Sorted: Apple, apricot, avocado, banana, blueberry, cherry.
  const TypeCase cases[] = {
      {"a: the first after nothing", 0, "a", 0},
      {"p within 100 ms: ap from the top", 100, "p", 0},
      {"r: apr", 100, "r", 1},
      {"after half a second a starts again, after the current", 500, "a", 2},
      {"a once more cycles", 600, "a", 0},
      {"b within 499 ms: ab matches nothing", 499, "b", 0},
      {"b after 500 ms", 500, "b", 3},
      {"l quickly: bl", 50, "l", 4},
      {"capitals match small letters", 700, "C", 5},
  };
  for (const TypeCase& c : cases) {
    host_->AdvanceClock(c.delay);
    host_->TypeText(c.ch);
    host_->Pump();
    EXPECT_EQ(combo->ItemIndex(), c.expected) << c.what;
  }
  // Without AutoComplete every character searches alone.
  combo->SetAutoComplete(false);
  combo->SetItemIndex(3);
  host_->AdvanceClock(1000);
  host_->TypeText("a");
  host_->AdvanceClock(10);
  host_->TypeText("v");
  host_->Pump();
  EXPECT_EQ(combo->ItemIndex(), 0) << "v alone finds nothing";
}

// ---- looks

TEST_F(SkinCtrlComboBox, DefaultLookShowsTheTextTheButtonAndTheFocus) {
  ShowForm();
  TskSkinFontSizeComboBox* combo = MakeCombo(3);
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->ButtonRect(), Rect(101, 2, 118, 18));
  EXPECT_EQ(combo->ItemArea(), Rect(2, 2, 100, 18));
  Bitmap img = Render(combo);
  EXPECT_EQ(img.GetPixelColor(0, 10), ColorToRGB(clBtnShadow)) << "frame";
  EXPECT_EQ(img.GetPixelColor(80, 10), ColorToRGB(clWindow)) << "item area, unfocused";
  EXPECT_EQ(img.GetPixelColor(101, 10), ColorToRGB(clBtnShadow)) << "button frame";
  EXPECT_EQ(img.GetPixelColor(103, 4), BtnFace()) << "button face";
  EXPECT_EQ(img.GetPixelColor(109, 12), RGB(0, 0, 0)) << "the arrow";
  combo->SetFocus();
  host_->Pump();
  img = Render(combo);
  EXPECT_EQ(img.GetPixelColor(80, 10), ColorToRGB(clHighlight)) << "focused";
  MoveTo(ScreenPoint(combo, 108, 10));
  EXPECT_TRUE(combo->ButtonHot());
  EXPECT_EQ(Render(combo).GetPixelColor(103, 4), 13811126) << "hot button";
  MoveTo(ScreenPoint(form_, 390, 290));
  EXPECT_FALSE(combo->ButtonHot());
}

TEST_F(SkinCtrlComboBox, SkinnedComboDrawsItsItemAreaButtonAndListFromTheRecords) {
  UseListSkin();
  ShowForm();
  auto* combo = new TskSkinFontSizeComboBox(form_);
  combo->SetParent(form_);
  combo->SetSkinDataName("combo");
  combo->SetBounds(10, 10, 100, 40);
  combo->SetSkinData(data_);
  for (const char* s : {"one", "two", "three"}) combo->Items().Add(s);
  // A horizontal record: the skin's 16 pixels high; 40 wider than the skin rect.
  EXPECT_EQ(combo->Height(), 16);
  EXPECT_EQ(combo->ButtonRect(), Rect(82, 2, 98, 14));
  EXPECT_EQ(combo->ItemArea(), Rect(3, 3, 80, 13));
  Bitmap img = Render(combo);
  EXPECT_EQ(img.GetPixelColor(1, 8), kComboFrame);
  EXPECT_EQ(img.GetPixelColor(60, 8), kComboItem) << "item image, unfocused";
  EXPECT_EQ(img.GetPixelColor(85, 8), kComboButton) << "the normal button is in the image";
  combo->SetFocus();
  host_->Pump();
  EXPECT_EQ(Render(combo).GetPixelColor(60, 8), kComboItemFocus);
  MoveTo(ScreenPoint(combo, 90, 8));
  EXPECT_EQ(Render(combo).GetPixelColor(85, 8), kComboButtonHot);
  Press(ScreenPoint(combo, 90, 8));
  EXPECT_EQ(Render(combo).GetPixelColor(85, 8), kComboButtonDown);
  // The list is drawn from the combo's listboxname section.
  ASSERT_TRUE(combo->DroppedDown());
  TskPopupListBox& list = combo->ListBox();
  EXPECT_EQ(list.SkinDataName(), "list");
  EXPECT_TRUE(list.Skinned());
  EXPECT_EQ(list.Height(), 4 + 3 * 16);
  EXPECT_EQ(ScreenColor(&list, 0, 0), kFrame);
  EXPECT_EQ(ScreenColor(&list.ListBox(), 60, 8), kItem);
  Release(ScreenPoint(form_, 390, 290));
  // Without the skin's size the control keeps its height; the image is stretched.
  combo->CloseUp(false);
  combo->SetUseSkinSize(false);
  combo->SetHeight(32);
  EXPECT_EQ(combo->Height(), 32);
  EXPECT_EQ(combo->ItemArea(), Rect(3, 3, 80, 29));
  img = Render(combo);
  EXPECT_EQ(img.GetPixelColor(1, 30), kComboFrame);
  // The button is the skin's "resizebutton", stretched over the button's place, with a
  // down arrow in its font colour.
  EXPECT_EQ(combo->ButtonRect(), Rect(82, 2, 98, 30));
  EXPECT_EQ(img.GetPixelColor(85, 8), kComboButtonHot);
  EXPECT_EQ(img.GetPixelColor(90, 18), RGB(255, 0, 0));
}

TEST_F(SkinCtrlComboBox, RecordRectanglesBeyondThePictureDrawWithoutAFault) {
  UseListSkin();
  ShowForm();
  auto* combo = new TskSkinFontSizeComboBox(form_);
  combo->SetParent(form_);
  combo->SetSkinDataName("farcombo");
  combo->SetBounds(10, 10, 150, 30);
  combo->SetSkinData(data_);
  for (int i = 0; i < 20; ++i) combo->Items().Add(std::string(100000, 'x') + std::to_string(i));
  combo->SetItemIndex(3);
  combo->SetFocus();
  MoveTo(ScreenPoint(combo, 145, 5));
  (void)Render(combo);
  combo->DropDown();
  host_->Pump();
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_EQ(combo->ListBox().ItemHeight(), 255);
  combo->CloseUp(true);
  EXPECT_EQ(combo->ItemIndex(), 3);
  EXPECT_TRUE(errors.empty());
}

TEST_F(SkinCtrlComboBox, ProgramSkinComboAndItsList) {
  LoadProgramSkin();
  ShowForm();
  TskSkinFontSizeComboBox* combo = MakeCombo(12);
  combo->SetSkinData(data_);
  EXPECT_EQ(combo->Height(), 21);
  // The chevron sits in the right fixed part and follows the right edge: 40 wider.
  EXPECT_EQ(combo->ButtonRect(), Rect(102, 2, 118, 19));
  const Bitmap picture = data_->ActivePictures()[1];
  // Item area (3, 3): its strip's column 27 is the picture's, inside the itemrect's middle.
  EXPECT_EQ(Render(combo).GetPixelColor(30, 10), picture.GetPixelColor(27, 104 + 7)) << "itemrect";
  combo->DropDown();
  TskPopupListBox& list = combo->ListBox();
  EXPECT_EQ(list.ItemHeight(), 18);
  EXPECT_EQ(list.Height(), 2 + 8 * 18);
  ASSERT_NE(list.VScrollBar(), nullptr);
  EXPECT_TRUE(list.VScrollBar()->Skinned());
  combo->CloseUp(false);
}

TEST_F(SkinCtrlComboBox, AlphaBlendShowsWhatLiesUnderTheList) {
  ShowForm();
  TskSkinFontSizeComboBox* combo = MakeCombo(3);
  combo->DropDown();
  const Point p = ScreenPoint(&combo->ListBox().ListBox(), 60, 50);
  host_->Pump();
  EXPECT_EQ(host_->Screenshot().GetPixelColor(p.x, p.y), ColorToRGB(clWindow));
  combo->CloseUp(false);
  combo->SetAlphaBlend(true);
  combo->SetAlphaBlendValue(128);
  combo->DropDown();
  host_->Pump();
  const Color seen = host_->Screenshot().GetPixelColor(p.x, p.y);
  EXPECT_NE(seen, ColorToRGB(clWindow));
  EXPECT_GT(GetRValue(seen), 100) << "half of the white list is still there";
}

// ---- the edit style

TEST_F(SkinCtrlComboBox, EditStyleSearchesAsYouTypeAndStepsWithTheArrows) {
  ShowForm();
  auto* combo = new TskSkinFontSizeComboBox(form_);
  combo->SetParent(form_);
  combo->SetBounds(10, 10, 150, 20);
  for (const char* s : {"apple", "cherry", "citron", "date"}) combo->Items().Add(s);
  combo->SetStyle(TskSkinCustomComboBoxStyle::skcbEditStyle);
  ASSERT_NE(combo->Edit(), nullptr);
  EXPECT_FALSE(combo->TabStop());
  EXPECT_EQ(combo->Edit()->Left(), combo->ItemArea().left);
  combo->SetFocus();
  host_->Pump();
  EXPECT_TRUE(combo->Edit()->Focused());
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  host_->TypeText("c");
  host_->Pump();
  EXPECT_EQ(combo->ListBox().ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "c");
  EXPECT_GE(changes, 1);
  // Releasing a character key completes to the first item and selects the rest.
  host_->AdvanceClock(300);
  host_->KeyUp('C');
  host_->Pump();
  EXPECT_EQ(combo->Edit()->Text(), "cherry");
  EXPECT_EQ(combo->Edit()->SelStart(), 1);
  EXPECT_EQ(combo->Edit()->SelLength(), 5);
  EXPECT_EQ(combo->Text(), "cherry");
  // Down steps to the next item, showing it whole and selected.
  int clicks = 0;
  combo->OnClick = [&](TObject*) { ++clicks; };
  host_->Key(VK_DOWN);
  host_->Pump();
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Edit()->Text(), "citron");
  EXPECT_EQ(combo->Edit()->SelLength(), 6);
  EXPECT_EQ(clicks, 1);
  // Alt+Down opens, Page Down moves only the list, Enter takes it.
  KeyWithAlt(VK_DOWN);
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_TRUE(combo->Edit()->Focused());
  host_->Key(VK_NEXT);
  host_->Pump();
  EXPECT_EQ(combo->ListBox().ItemIndex(), 3);
  EXPECT_EQ(combo->Text(), "citron");
  host_->Key(VK_RETURN);
  host_->Pump();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Edit()->Text(), "date");
  EXPECT_EQ(combo->Text(), "date");
  // The wheel does nothing in the edit style; back to the fixed style the edit goes.
  host_->Wheel(Centre(combo), -120);
  host_->Pump();
  EXPECT_EQ(combo->ItemIndex(), 3);
  combo->SetStyle(TskSkinCustomComboBoxStyle::skcbFixedStyle);
  EXPECT_EQ(combo->Edit(), nullptr);
  EXPECT_TRUE(combo->TabStop());
}

TEST_F(SkinCtrlComboBox, EditStyleShowsTheChosenItemWithoutSearchingAgain) {
  ShowForm();
  TskSkinFontSizeComboBox* combo = MakeCombo(0, 10, 10, 150);
  for (const char* s : {"apple", "app"}) combo->Items().Add(s);
  combo->SetStyle(TskSkinCustomComboBoxStyle::skcbEditStyle);
  // "app" is a prefix of "apple" too: choosing it must not move the list to "apple".
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Edit()->Text(), "app");
  EXPECT_EQ(combo->ItemIndex(), 1);
}

// The text entry is a skinned edit: its context menu is the skinned one, opened through the
// frame's menu and drawn from the frame's skin, with the edit's commands working on the
// combo's text.
TEST_F(SkinCtrlComboBox, EditStyleEntryOpensTheSkinnedContextMenu) {
  UseListSkin();
  frame_->SetSkinData(data_);
  ShowForm();
  TskSkinFontSizeComboBox* combo = MakeCombo(0, 10, 10, 150);
  combo->SetSkinData(data_);
  for (const char* s : {"apple", "cherry"}) combo->Items().Add(s);
  combo->SetStyle(TskSkinCustomComboBoxStyle::skcbEditStyle);
  auto* edit = dynamic_cast<TskCustomEdit*>(combo->Edit());
  ASSERT_NE(edit, nullptr);
  combo->SetItemIndex(1);
  host_->Pump();
  edit->SetFocus();
  edit->SelectAll();
  host_->Click(Centre(edit), MouseButton::Right);
  host_->Pump();
  TskSkinPopupMenu* menu = edit->SysPopupMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_NE(menu->MenuController(), nullptr);
  EXPECT_TRUE(menu->MenuController()->Visible());
  EXPECT_EQ(menu->MenuController()->SkinData(), data_);
  // Cut, the first enabled entry (after Undo and a line), is active: Enter takes the
  // selected text into the clipboard.
  ASSERT_GE(menu->Items()->Count(), 3);
  EXPECT_EQ(menu->Items()->Items(2)->Caption(), "剪切");
  host_->Key(VK_RETURN);
  host_->Pump();
  EXPECT_EQ(host_->ClipboardText(), "cherry");
  EXPECT_EQ(edit->Text(), "");
  EXPECT_EQ(combo->Text(), "");
}

// ---- the font list

TEST_F(SkinCtrlComboBox, FontListHoldsTheInstalledFamiliesAndAliasesWithTheirTags) {
  ShowForm();
  auto* fonts = new TskSkinFontComboBox(form_);
  fonts->SetParent(form_);
  fonts->SetBounds(10, 10, 200, 20);
  host_->Pump();
  TStrings& items = fonts->Items();
  ASSERT_GT(items.Count(), 3);
  EXPECT_TRUE(fonts->Sorted());
  for (int i = 1; i < items.Count(); ++i) EXPECT_LT(CompareText(items[i - 1], items[i]), 0) << items[i];
  // The faces scripts/deps.sh installs, and the alias names standing for them.
  for (const char* name : {"DejaVu Sans", "DejaVu Sans Mono", "WenQuanYi Micro Hei", "宋体", "Arial"}) {
    const int i = items.IndexOf(name);
    ASSERT_GE(i, 0) << name;
    EXPECT_EQ(fonts->ItemTag(i), TRUETYPE_FONTTYPE | kFontTagText) << name;
  }
  // Fixed pitch only: the mono face stays, the proportional one goes.
  fonts->SetOptions(foFixedPitchOnly);
  EXPECT_GE(items.IndexOf("DejaVu Sans Mono"), 0);
  EXPECT_LT(items.IndexOf("DejaVu Sans"), 0);
  fonts->SetOptions(foOEMFontsOnly);
  EXPECT_EQ(items.Count(), 0) << "no face uses an OEM code page";
  fonts->SetOptions(foNoOEMFonts | foNoSymbolFonts | foAnsiOnly);
  EXPECT_GE(items.IndexOf("DejaVu Sans"), 0);
  fonts->SetDevice(TskFontDevice::fdPrinter);
  EXPECT_EQ(items.Count(), 0) << "there is no printer";
  fonts->SetDevice(TskFontDevice::fdBoth);
  EXPECT_GT(items.Count(), 3);
}

TEST_F(SkinCtrlComboBox, TrueTypeOnlyLeavesOutBitmapFacesAndAFontChangeRefillsKeepingTheFace) {
  ShowForm();
  auto* fonts = new TskSkinFontComboBox(form_);
  fonts->SetParent(form_);
  fonts->SetBounds(10, 10, 200, 20);
  host_->Pump();
  fonts->SetFontName("dejavu sans");
  EXPECT_EQ(fonts->FontName(), "DejaVu Sans");
  const int before = fonts->Items().Count();
  EXPECT_LT(fonts->Items().IndexOf(kBitmapFamily), 0);
  int changes = 0;
  fonts->OnChange = [&](TObject*) { ++changes; };
  AddBitmapFont();
  // The change is told: the list is filled anew, the face stays selected, nothing fires.
  fonts->Perform(WM_FONTCHANGE, 0, 0);
  EXPECT_EQ(fonts->Items().Count(), before + 1);
  const int bitmap = fonts->Items().IndexOf(kBitmapFamily);
  ASSERT_GE(bitmap, 0);
  EXPECT_EQ(fonts->ItemTag(bitmap), RASTER_FONTTYPE | kFontTagText);
  EXPECT_EQ(fonts->FontName(), "DejaVu Sans");
  EXPECT_EQ(fonts->Items()[fonts->ItemIndex()], "DejaVu Sans");
  EXPECT_EQ(changes, 0);
  fonts->SetTrueTypeOnly(true);
  EXPECT_LT(fonts->Items().IndexOf(kBitmapFamily), 0);
  EXPECT_EQ(fonts->Items().Count(), before);
  fonts->SetTrueTypeOnly(false);
  fonts->SetOptions(foScalableOnly);
  EXPECT_LT(fonts->Items().IndexOf(kBitmapFamily), 0);
  // A filter that drops the current face selects the entry at its index instead.
  fonts->SetOptions(foFixedPitchOnly);
  EXPECT_GE(fonts->Items().IndexOf(kBitmapFamily), 0);
  EXPECT_NE(fonts->FontName(), "DejaVu Sans");
  EXPECT_EQ(fonts->FontName(), fonts->Items()[fonts->ItemIndex()]);
  EXPECT_EQ(changes, 1);
  // Fonts gone while the program runs go from the list at the next rescan tick.
  fonts->SetOptions(0);
  RemoveFontResource(fontFile_);
  EXPECT_GE(fonts->Items().IndexOf(kBitmapFamily), 0);
  host_->AdvanceClock(static_cast<unsigned>(FontRescanInterval()) * 1000u);
  EXPECT_LT(fonts->Items().IndexOf(kBitmapFamily), 0);
  // A name with no entry clears the fixed style's selection and is told.
  changes = 0;
  fonts->SetFontName("no such face");
  EXPECT_EQ(fonts->ItemIndex(), -1);
  EXPECT_EQ(fonts->FontName(), "");
  EXPECT_EQ(changes, 1);
}

TEST_F(SkinCtrlComboBox, TypingARQuicklyInTheFontListFindsTheFirstFaceBeginningWithAr) {
  ShowForm();
  auto* fonts = new TskSkinFontComboBox(form_);
  fonts->SetParent(form_);
  fonts->SetBounds(10, 10, 200, 20);
  fonts->SetFocus();
  host_->Pump();
  const TStrings& items = fonts->Items();
  auto first = [&](std::string_view prefix, int from) {
    for (int i = from; i < items.Count(); ++i)
      if (SameText(items[i].substr(0, prefix.size()), prefix)) return i;
    return -1;
  };
  const int ar = first("ar", 0);
  const int nextA = first("a", ar + 1);
  ASSERT_GE(ar, 0);
  ASSERT_GE(nextA, 0) << "the faces of scripts/deps.sh give two beginning with a";
  fonts->SetItemIndex(ar);
  host_->AdvanceClock(1000);
  host_->TypeText("a");
  host_->Pump();
  EXPECT_EQ(fonts->ItemIndex(), nextA) << "one letter: the next face with it";
  host_->AdvanceClock(100);
  host_->TypeText("r");
  host_->Pump();
  EXPECT_EQ(fonts->ItemIndex(), ar) << "ar from the top";
  host_->AdvanceClock(500);
  host_->TypeText("a");
  host_->Pump();
  EXPECT_EQ(fonts->ItemIndex(), nextA) << "after half a second, a alone again";
}

// A face whose file is damaged after it was listed still has its name drawn, in the face
// that stands in for it, and the list opens.
TEST_F(SkinCtrlComboBox, AnEntryWhoseFaceFailsToLoadIsDrawnInAStandInFace) {
  ShowForm();
  auto* fonts = new TskSkinFontComboBox(form_);
  fonts->SetParent(form_);
  fonts->SetBounds(10, 10, 200, 20);
  host_->Pump();
  const std::string file = AddBitmapFont();
  fonts->Reset();
  const int index = fonts->Items().IndexOf(kBitmapFamily);
  ASSERT_GE(index, 0);
  std::ofstream(file, std::ios::trunc) << "STARTFONT 2.1\nthis is no longer a font\n";
  TBitmap b(200, 20);
  fonts->ListBox().DrawItem(b, index, 0);
  int ink = 0;
  for (int x = 17; x < 200; ++x)
    for (int y = 0; y < 20; ++y) ink += b.Image().GetPixelColor(x, y) != ColorToRGB(clWindow);
  EXPECT_GT(ink, 20) << "the name is drawn";
  fonts->SetItemIndex(index);
  fonts->DropDown();
  host_->Pump();
  EXPECT_TRUE(fonts->ListBox().ListVisible());
  fonts->CloseUp(true);
  EXPECT_EQ(fonts->FontName(), kBitmapFamily);
}

TEST_F(SkinCtrlComboBox, FontEntriesAreDrawnInTheirOwnFacesWithTheMarkForTrueType) {
  ShowForm();
  auto* fonts = new TskSkinFontComboBox(form_);
  fonts->SetParent(form_);
  fonts->SetBounds(10, 10, 200, 20);
  host_->Pump();
  AddBitmapFont();
  fonts->Reset();
  // Three entries shown: a TrueType face, the bitmap face, and one whose face is gone.
  TskPopupListBox& list = fonts->ListBox();
  const int tt = fonts->Items().IndexOf("DejaVu Sans");
  const int bitmap = fonts->Items().IndexOf(kBitmapFamily);
  ASSERT_GE(tt, 0);
  ASSERT_GE(bitmap, 0);
  auto draw = [&](int index) {
    TBitmap b(200, 20);
    list.DrawItem(b, index, 0);
    return b.Image();
  };
  const Bitmap ttRow = draw(tt);
  // Grey T at (2, 10 - 7), black T 4 right and down: bar, end strokes, stem and foot.
  EXPECT_EQ(ttRow.GetPixelColor(2, 3), ColorToRGB(clGray));
  EXPECT_EQ(ttRow.GetPixelColor(9, 5), ColorToRGB(clGray));
  EXPECT_EQ(ttRow.GetPixelColor(6, 7), RGB(0, 0, 0)) << "black bar";
  EXPECT_EQ(ttRow.GetPixelColor(9, 14), RGB(0, 0, 0)) << "black stem";
  EXPECT_EQ(ttRow.GetPixelColor(7, 15), RGB(0, 0, 0)) << "black foot";
  const Bitmap bitmapRow = draw(bitmap);
  for (int x = 0; x < 16; ++x)
    for (int y = 0; y < 20; ++y) EXPECT_EQ(bitmapRow.GetPixelColor(x, y), ColorToRGB(clWindow)) << x << "," << y;
  // Each name in its own face: two faces draw differently.
  bool differs = false;
  const Bitmap a = draw(tt), b = draw(fonts->Items().IndexOf("DejaVu Serif"));
  for (int x = 17; x < 200 && !differs; ++x)
    for (int y = 0; y < 20; ++y) differs = differs || a.GetPixelColor(x, y) != b.GetPixelColor(x, y);
  EXPECT_TRUE(differs);
  // A name no face stands for, of 100,000 characters, draws without a failure.
  fonts->Items().Add(std::string(100000, 'Q'));
  (void)draw(fonts->Items().IndexOf(std::string(100000, 'Q')));
  // Opening the list paints it.
  fonts->DropDown();
  host_->Pump();
  EXPECT_TRUE(list.ListVisible());
  fonts->CloseUp(false);
}

