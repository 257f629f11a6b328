// List boxes: heights for rows, scroll bars made and dropped, item looks from the record
// and the default look, images, horizontal extent, caption buttons with their repeat on the
// virtual clock, keys and wheel through the inner list, huge and damaged input, the program
// skin's list and a form resource.
#include "ListSkinPackage.h"
#include "skin/controls/skSkinListBox.h"
#include "skin/controls/skSkinScrollBar.h"
#include "toolkit/Reader.h"

using namespace skinctl;
using namespace listskin;

class TListResourceForm : public TForm {
 public:
  explicit TListResourceForm(TComponent* owner) : TForm(owner) {}
};

namespace {

// Pixels within a small distance of a colour: smoothed text reaches its colour only in
// places.
int CountNear(const Bitmap& b, const Rect& r, Color c) {
  int n = 0;
  for (int y = std::max(0, r.top); y < std::min(b.Height(), r.bottom); ++y)
    for (int x = std::max(0, r.left); x < std::min(b.Width(), r.right); ++x) {
      const Color p = b.GetPixelColor(x, y);
      const int d = std::abs(int(GetRValue(p)) - int(GetRValue(c))) + std::abs(int(GetGValue(p)) - int(GetGValue(c))) +
                    std::abs(int(GetBValue(p)) - int(GetBValue(c)));
      if (d < 60) ++n;
    }
  return n;
}

int CountColor(const Bitmap& b, const Rect& r, Color c) {
  int n = 0;
  for (int y = std::max(0, r.top); y < std::min(b.Height(), r.bottom); ++y)
    for (int x = std::max(0, r.left); x < std::min(b.Width(), r.right); ++x)
      if (b.GetPixelColor(x, y) == c) ++n;
  return n;
}

class SkinCtrlListBox : public SkinCtrlTest {
 protected:
  void UseListSkin() {
    stored_.SetCompressedData(Package());
    data_->LoadStoredSkin(stored_);
  }
  TskSkinListBox* MakeList(int w, int h, int items, std::string_view section = {}, bool skinned = false) {
    auto* list = new TskSkinListBox(form_);
    list->SetParent(form_);
    if (!section.empty()) list->SetSkinDataName(section);
    list->SetBounds(10, 10, w, h);
    for (int i = 0; i < items; ++i) list->Items().Add("item " + std::to_string(i));
    if (skinned) list->SetSkinData(data_);
    return list;
  }
  // What the screen shows of the inner list.
  Bitmap ListShot(TskSkinListBox* list) {
    host_->Pump();
    const Bitmap shot = host_->Screenshot();
    const Point o = list->ListBox().ClientOrigin();
    Bitmap out(list->ListBox().Width(), list->ListBox().Height());
    for (int y = 0; y < out.Height(); ++y)
      for (int x = 0; x < out.Width(); ++x) out.SetPixelColor(x, y, shot.GetPixelColor(o.x + x, o.y + y));
    return out;
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
};

}  // namespace

// ---- heights, rows and bars

struct RowsCase {
  const char* what;
  int items;
  int rows;
  bool caption;
  int height;
  bool bar;
};

TEST_F(SkinCtrlListBox, RowCountSetsTheHeightAndTheVerticalBarFollowsTheItems) {
  ShowForm();
  const RowsCase cases[] = {
      {"30 items, 8 rows: 8 x 20 + 4", 30, 8, false, 164, true},
      {"as many rows as items: no bar", 30, 30, false, 604, false},
      {"fewer items than rows", 3, 8, false, 164, false},
      {"caption bar adds its height", 30, 8, true, 184, true},
      {"one row", 2, 1, false, 24, true},
  };
  for (const RowsCase& c : cases) {
    TskSkinListBox* list = MakeList(120, 50, c.items);
    list->SetCaptionMode(c.caption);
    list->SetRowCount(c.rows);
    host_->Pump();
    EXPECT_EQ(list->Height(), c.height) << c.what;
    EXPECT_EQ(list->HeightForRows(c.rows), c.height) << c.what;
    EXPECT_EQ(list->VScrollBar() != nullptr, c.bar) << c.what;
    if (list->VScrollBar()) {
      // Without a record the bar stands at the right, 19 wide, below the caption bar.
      const int top = c.caption ? 20 : 1;
      EXPECT_EQ(list->VScrollBar()->BoundsRect(), Rect(100, top, 119, c.height - 1)) << c.what;
      EXPECT_EQ(list->ListArea(), Rect(2, top + 1, 100, c.height - 2)) << c.what;
      EXPECT_EQ(list->VScrollBar()->Max(), c.items - 1) << c.what;
      EXPECT_EQ(list->VScrollBar()->PageSize(), c.rows) << c.what;
    } else {
      EXPECT_EQ(list->ListArea(), Rect(2, (c.caption ? 20 : 1) + 1, 118, c.height - 2)) << c.what;
    }
    delete list;
  }
}

TEST_F(SkinCtrlListBox, BarsComeAndGoWithItemsAndFollowTheListsScrolling) {
  ShowForm();
  TskSkinListBox* list = MakeList(120, 84, 3);  // 4 rows of 20
  EXPECT_EQ(list->VScrollBar(), nullptr);
  for (int i = 3; i < 10; ++i) list->Items().Add("more " + std::to_string(i));
  ASSERT_NE(list->VScrollBar(), nullptr);
  // Keys move the platform list; the bar follows its scrolling.
  list->ListBox().SetFocus();
  host_->Key(VK_END);
  host_->Pump();
  EXPECT_EQ(list->ItemIndex(), 9);
  EXPECT_EQ(list->TopIndex(), 6);
  EXPECT_EQ(list->VScrollBar()->Position(), 6);
  // The bar moves the list.
  list->VScrollBar()->SetPosition(2);
  host_->Pump();
  EXPECT_EQ(list->TopIndex(), 2);
  // The wheel scrolls one line a turn, not the platform's three.
  host_->Wheel(Centre(list), -120);
  host_->Pump();
  EXPECT_EQ(list->TopIndex(), 3);
  EXPECT_EQ(list->VScrollBar()->Position(), 3);
  host_->Wheel(Centre(list), 120);
  host_->Pump();
  EXPECT_EQ(list->TopIndex(), 2);
  // Deleting down to what fits drops the bar and gives the list its width back.
  while (list->Items().Count() > 4) list->Items().Delete(0);
  host_->Pump();
  EXPECT_EQ(list->VScrollBar(), nullptr);
  EXPECT_EQ(list->ListBox().Width(), 116);
  list->Items().Clear();
  EXPECT_EQ(list->VScrollBar(), nullptr);
}

TEST_F(SkinCtrlListBox, KeysAndTypeAheadOfTheInnerListReachTheSkinnedListsEvents) {
  ShowForm();
  TskSkinListBox* list = MakeList(120, 124, 0);
  for (const char* s : {"apple", "banana", "cherry", "citron", "date"}) list->Items().Add(s);
  std::vector<std::string> heard;
  list->OnListBoxClick = [&](TObject* sender) { heard.push_back(sender == list ? "click" : "click from elsewhere"); };
  list->OnListBoxKeyDown = [&](TObject* sender, WORD& key, TShiftState) {
    if (sender == list && key == VK_DOWN) heard.push_back("down");
  };
  list->ListBox().SetFocus();
  // The focus starts on the first row, so Down goes to the second.
  host_->Key(VK_DOWN);
  host_->Pump();
  EXPECT_EQ(list->ItemIndex(), 1);
  host_->TypeText("c");
  host_->Pump();
  EXPECT_EQ(list->ItemIndex(), 2);
  host_->TypeText("c");
  host_->Pump();
  EXPECT_EQ(list->ItemIndex(), 3);
  EXPECT_EQ(heard, (std::vector<std::string>{"down", "click", "click", "click"}));
  // A click on a row selects it and is told with the skinned list as sender.
  heard.clear();
  host_->Click(ScreenPoint(&list->ListBox(), 30, 4 * 20 + 5));
  host_->Pump();
  EXPECT_EQ(list->ItemIndex(), 4);
  EXPECT_EQ(heard, (std::vector<std::string>{"click"}));
}

// ---- item looks

TEST_F(SkinCtrlListBox, DefaultLookFillsSelectedRowsWithTheHighlightAndTheRestWithTheWindowColour) {
  ShowForm();
  TskSkinListBox* list = MakeList(120, 84, 2);  // 4 rows, 2 items
  list->SetItemIndex(1);
  Bitmap shot = ListShot(list);
  EXPECT_EQ(shot.GetPixelColor(100, 10), ColorToRGB(clWindow)) << "plain row";
  EXPECT_EQ(shot.GetPixelColor(100, 30), ColorToRGB(clHighlight)) << "selected row";
  EXPECT_GT(CountColor(shot, {0, 20, 60, 40}, ColorToRGB(clHighlightText)), 0) << "selected text";
  EXPECT_EQ(shot.GetPixelColor(100, 50), ColorToRGB(clWindow)) << "below the items";
  // The frame: a one-pixel shadow line around the control.
  EXPECT_EQ(ScreenColor(list, 0, 40), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ScreenColor(list, 1, 40), BtnFace());
}

struct ItemLookCase {
  const char* what;
  const char* section;
  int selected;
  bool focused;
  Color row0, row1;
  Color row1Text;
};

TEST_F(SkinCtrlListBox, SkinnedItemsTakeTheStateImageAndColourOfTheirRecord) {
  UseListSkin();
  ShowForm();
  const ItemLookCase cases[] = {
      {"selected, list unfocused", "list", 1, false, kItem, kItemActive, kActiveText},
      {"selected, list focused", "list", 1, true, kItem, kItemFocus, kFocusText},
      {"empty activeitemrect: normal image, active colour", "noactive", 1, false, kItem, kItem, kActiveText},
      {"nothing selected", "list", -1, false, kItem, kItem, kText},
  };
  for (const ItemLookCase& c : cases) {
    TskSkinListBox* list = MakeList(120, 60, 2, c.section, true);
    // The frame around the client area plus three rows of the record's 16 pixels.
    list->SetRowCount(3);
    EXPECT_EQ(list->Height(), 30 - 26 + 48) << c.what;
    EXPECT_EQ(list->ListArea(), Rect(2, 2, 118, 50)) << c.what;
    list->SetItemIndex(c.selected);
    if (c.focused) list->ListBox().SetFocus();
    const Bitmap shot = ListShot(list);
    // Every pixel row of an item, its first and its last included.
    for (int y : {0, 8, 15}) EXPECT_EQ(shot.GetPixelColor(80, y), c.row0) << c.what << " y " << y;
    for (int y : {16, 24, 31}) EXPECT_EQ(shot.GetPixelColor(80, y), c.row1) << c.what << " y " << y;
    // The item strip keeps its 2-pixel ends at the item's width.
    EXPECT_EQ(shot.GetPixelColor(115, 8), kItemEnd) << c.what;
    EXPECT_EQ(shot.GetPixelColor(1, 8), kItemEnd) << c.what;
    EXPECT_GT(CountNear(shot, {6, 16, 60, 32}, c.row1Text), 3) << c.what;
    // Below the last item: the client texture.
    EXPECT_EQ(shot.GetPixelColor(80, 40), kClientTex) << c.what;
    delete list;
  }
}

TEST_F(SkinCtrlListBox, ImagesStandBeforeItemsAndPushEveryTextRight) {
  ShowForm();
  auto* images = new TImageList(form_);
  images->SetWidth(8);
  images->SetHeight(8);
  const Color colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
  for (Color c : colours) {
    TBitmap b(8, 8);
    FillRectPixels(b.Image(), {0, 0, 8, 8}, c);
    images->Add(b, nullptr);
  }
  TskSkinListBox* list = MakeList(120, 104, 5);
  list->SetImages(images);
  const Bitmap shot = ListShot(list);
  // Image i before item i, centred in the text rectangle (2 .. 18): from y = row + 6.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(shot.GetPixelColor(4, i * 20 + 10), colours[i]) << i;
  EXPECT_EQ(shot.GetPixelColor(4, 3 * 20 + 10), ColorToRGB(clWindow)) << "no fourth image";
  // The text of every item starts image width + 2 right of the text rectangle's left
  // edge, and DrawItemText's own 2 pixels on top: x = 2 + 10 + 2.
  for (int row : {0, 3}) {
    int first = -1;
    for (int x = 0; x < 60 && first < 0; ++x)
      for (int y = row * 20 + 2; y < row * 20 + 18; ++y)
        if (x > 11 && shot.GetPixelColor(x, y) != ColorToRGB(clWindow)) {
          first = x;
          break;
        }
    EXPECT_GE(first, 14) << row;
    EXPECT_LE(first, 16) << row;
  }
  // One image for all; the image list's removal leaves plain items.
  list->SetImageIndex(2);
  EXPECT_EQ(ListShot(list).GetPixelColor(4, 10), colours[2]);
  delete images;
  EXPECT_EQ(list->Images(), nullptr);
  EXPECT_EQ(ListShot(list).GetPixelColor(4, 10), ColorToRGB(clWindow));
}

TEST_F(SkinCtrlListBox, HorizontalExtentOffersABarForAWideItem) {
  ShowForm();
  TskSkinListBox* list = MakeList(204, 104, 0);  // the inner list is 200 wide
  list->Items().Add("short");
  std::string wide;
  while (list->Font().Handle().TextWidth(wide) < 300) wide += "W";
  const int widest = list->Font().Handle().TextWidth(wide);
  list->SetHorizontalExtent(true);
  EXPECT_EQ(list->HScrollBar(), nullptr) << "nothing is wider than the list";
  list->Items().Add(wide);
  TskSkinScrollBar* bar = list->HScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->Max(), widest);
  EXPECT_EQ(bar->PageSize(), 196);
  EXPECT_EQ(bar->BoundsRect(), Rect(1, 104 - 20, 203, 103));
  EXPECT_FALSE(bar->Both());
  // The list ends above the bar rather than under it.
  EXPECT_EQ(list->ListArea().bottom, 104 - 2 - 18);
  // Left and Right move the bar by the width of "0"; the items follow.
  const int step = list->Font().Handle().TextWidth("0");
  list->ListBox().SetFocus();
  host_->Key(VK_RIGHT);
  host_->Pump();
  EXPECT_EQ(bar->Position(), step);
  EXPECT_EQ(list->ListBox().HorizontalOffset(), step);
  host_->Key(VK_LEFT);
  host_->Pump();
  EXPECT_EQ(bar->Position(), 0);
  // With a vertical bar too, the wide bar leaves the corner under it.
  for (int i = 0; i < 10; ++i) list->Items().Add("row");
  ASSERT_NE(list->VScrollBar(), nullptr);
  ASSERT_NE(list->HScrollBar(), nullptr);
  EXPECT_TRUE(list->HScrollBar()->Both());
  EXPECT_EQ(list->HScrollBar()->PageSize(), list->ListBox().Width() - 4);
  // The vertical bar going leaves the wide one, which takes the whole width again.
  while (list->Items().Count() > 3) list->Items().Delete(list->Items().Count() - 1);
  EXPECT_EQ(list->VScrollBar(), nullptr);
  ASSERT_NE(list->HScrollBar(), nullptr);
  EXPECT_FALSE(list->HScrollBar()->Both());
  EXPECT_EQ(list->HScrollBar()->PageSize(), 196);
  // Off again: the bar goes and the offset with it.
  list->SetHorizontalExtent(false);
  EXPECT_EQ(list->HScrollBar(), nullptr);
  EXPECT_EQ(list->ListBox().HorizontalOffset(), 0);
}

// ---- caption bar

TEST_F(SkinCtrlListBox, HoldingTheDownCaptionButtonRepeatsAfterHalfASecondThenEveryTenth) {
  ShowForm();
  TskSkinListBox* list = MakeList(150, 200, 20);
  list->SetCaptionMode(true);
  list->SetItemIndex(0);
  // a = 17: up (131, 2, 148, 18), down 17 to its left, check 17 further.
  EXPECT_EQ(list->CaptionButtonRect(TskListCaptionButton::Up), Rect(131, 2, 148, 18));
  EXPECT_EQ(list->CaptionButtonRect(TskListCaptionButton::Down), Rect(114, 2, 131, 18));
  EXPECT_EQ(list->CaptionButtonRect(TskListCaptionButton::Check), Rect(97, 2, 114, 18));
  const Point down = ScreenPoint(list, 120, 10);
  Press(down);
  EXPECT_EQ(list->PressedButton(), TskListCaptionButton::Down);
  const std::pair<int, int> steps[] = {{499, 0}, {1, 1}, {99, 1}, {1, 2}, {100, 3}};
  for (auto [ms, expected] : steps) {
    host_->AdvanceClock(ms);
    EXPECT_EQ(list->ItemIndex(), expected) << "after " << ms;
  }
  // Off the button the repeat rests; back over it, it goes on after 50 ms.
  host_->MoveMouse(ScreenPoint(list, 60, 100));
  host_->Pump();
  host_->AdvanceClock(300);
  EXPECT_EQ(list->ItemIndex(), 3);
  host_->MoveMouse(down);
  host_->Pump();
  host_->AdvanceClock(50);
  EXPECT_EQ(list->ItemIndex(), 4);
  // Releasing over the button takes one more step.
  Release(down);
  EXPECT_EQ(list->ItemIndex(), 5);
  host_->AdvanceClock(500);
  EXPECT_EQ(list->ItemIndex(), 5);
  // The up button steps back; an event replaces the action and the repeat.
  host_->Click(ScreenPoint(list, 140, 10));
  host_->Pump();
  EXPECT_EQ(list->ItemIndex(), 4);
  int checks = 0, ups = 0;
  list->OnCheckButtonClick = [&](TObject*) { ++checks; };
  list->OnUpButtonClick = [&](TObject*) { ++ups; };
  Press(ScreenPoint(list, 140, 10));
  host_->AdvanceClock(1000);
  Release(ScreenPoint(list, 140, 10));
  host_->Click(ScreenPoint(list, 100, 10));
  host_->Pump();
  EXPECT_EQ(list->ItemIndex(), 4);
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(checks, 1);
  // Down stops at the last item.
  list->SetItemIndex(19);
  host_->Click(down);
  host_->Pump();
  EXPECT_EQ(list->ItemIndex(), 19);
}

TEST_F(SkinCtrlListBox, DefaultCaptionBarShowsHotAndPressedButtons) {
  ShowForm();
  TskSkinListBox* list = MakeList(150, 200, 3);
  list->SetCaptionMode(true);
  list->SetCaption("Faces");
  host_->MoveMouse(ScreenPoint(list, 140, 10));
  host_->Pump();
  EXPECT_EQ(list->HotButton(), TskListCaptionButton::Up);
  Bitmap img = Render(list);
  EXPECT_EQ(img.GetPixelColor(131, 5), RGB(0, 0, 0x80)) << "hot frame 0x800000";
  EXPECT_EQ(img.GetPixelColor(133, 4), 13811126) << "hot fill";
  EXPECT_EQ(img.GetPixelColor(116, 4), BtnFace()) << "the down button is not hot";
  Press(ScreenPoint(list, 140, 10));
  EXPECT_EQ(Render(list).GetPixelColor(133, 4), 11899781) << "pressed fill";
  Release(ScreenPoint(list, 140, 10));
  // The line under the caption bar, and the caption text from x = 3 on.
  img = Render(list);
  EXPECT_EQ(img.GetPixelColor(50, 19), ColorToRGB(clBtnShadow));
  int firstInk = -1;
  for (int x = 0; x < 90 && firstInk < 0; ++x)
    if (CountNear(img, {x, 2, x + 1, 18}, RGB(0, 0, 0)) > 0) firstInk = x;
  EXPECT_GE(firstInk, 3);
  EXPECT_LE(firstInk, 5);
  host_->MoveMouse(ScreenPoint(form_, 390, 290));
  host_->Pump();
  EXPECT_EQ(list->HotButton(), TskListCaptionButton::None);
}

TEST_F(SkinCtrlListBox, SkinnedCaptionButtonsFollowTheRightEdgeAndShowTheirHotImage) {
  UseListSkin();
  ShowForm();
  TskSkinListBox* list = MakeList(120, 90, 3, "captioned", true);
  list->SetCaptionMode(true);
  EXPECT_EQ(list->CaptionButtonRect(TskListCaptionButton::Up), Rect(117, 0, 120, 3));
  EXPECT_EQ(list->CaptionButtonRect(TskListCaptionButton::Down), Rect(22, 0, 25, 3));
  EXPECT_EQ(list->CaptionButtonRect(TskListCaptionButton::Check), Rect(17, 0, 20, 3));
  MoveTo(ScreenPoint(list, 118, 1));
  EXPECT_EQ(list->HotButton(), TskListCaptionButton::Up);
  EXPECT_EQ(Render(list).GetPixelColor(118, 1), kComboButtonHot);
  EXPECT_EQ(Render(list).GetPixelColor(23, 1), kFrame) << "the down button is not hot";
  Press(ScreenPoint(list, 118, 1));
  EXPECT_EQ(Render(list).GetPixelColor(118, 1), kComboButtonDown);
  Release(ScreenPoint(list, 118, 1));
}

TEST_F(SkinCtrlListBox, ColumnsPageWithAHorizontalBarAlongTheBottom) {
  ShowForm();
  TskSkinListBox* list = MakeList(200, 124, 30);
  list->SetColumns(2);
  TskSkinScrollBar* bar = list->VScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->Kind(), TScrollBarKind::sbHorizontal);
  EXPECT_EQ(bar->BoundsRect(), Rect(1, 104, 199, 123));
  EXPECT_EQ(list->ListArea(), Rect(2, 2, 198, 104));
  // Five rows of two columns show ten items: 30 items are three pages of columns.
  EXPECT_EQ(bar->PageSize(), 2);
  EXPECT_EQ(bar->Max(), 5);
  bar->SetPosition(2);
  host_->Pump();
  EXPECT_EQ(list->TopIndex(), 10);
  // Few enough items for the columns: no bar.
  while (list->Items().Count() > 8) list->Items().Delete(0);
  host_->Pump();
  EXPECT_EQ(list->VScrollBar(), nullptr);
  EXPECT_EQ(list->ListArea(), Rect(2, 2, 198, 122));
}

// ---- skins

TEST_F(SkinCtrlListBox, ProgramSkinListTakesItsItemHeightFrameAndSkinnedBar) {
  LoadProgramSkin();
  ShowForm();
  TskSkinListBox* list = MakeList(120, 100, 20, {}, true);
  list->SetRowCount(8);
  // 60 x 60 skin rect around a 58 x 58 client area, rows of 18.
  EXPECT_EQ(list->ItemHeight(), 18);
  EXPECT_EQ(list->Height(), 2 + 8 * 18);
  TskSkinScrollBar* bar = list->VScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->SkinDataName(), "vscrollbar");
  EXPECT_TRUE(bar->Skinned());
  EXPECT_EQ(bar->BoundsRect(), Rect(119 - 16, 1, 119, 1 + 8 * 18));
  EXPECT_EQ(list->ListArea(), Rect(1, 1, 119 - 16, 1 + 8 * 18));
  EXPECT_EQ(list->ListBox().Height() / list->ListBox().ItemHeight(), 8);
  // Removing the skin data: the default look, its item height and bar, no errors.
  delete data_;
  data_ = nullptr;
  host_->Pump();
  EXPECT_FALSE(list->Skinned());
  EXPECT_EQ(list->ItemHeight(), 20);
  ASSERT_NE(list->VScrollBar(), nullptr);
  EXPECT_EQ(list->VScrollBar()->Width(), 19);
}

TEST_F(SkinCtrlListBox, SkinnedBarsStandInsideTheClientAreaAndFollowASkinChange) {
  UseListSkin();
  ShowForm();
  TskSkinListBox* list = MakeList(120, 80, 2, "list", true);
  EXPECT_EQ(list->VScrollBar(), nullptr);
  for (int i = 0; i < 8; ++i) list->Items().Add("x");
  TskSkinScrollBar* bar = list->VScrollBar();
  ASSERT_NE(bar, nullptr);
  // The client area (2, 2, 118, 78): the 10-pixel bar along its right edge.
  EXPECT_EQ(bar->BoundsRect(), Rect(108, 2, 118, 78));
  EXPECT_EQ(list->ListArea(), Rect(2, 2, 108, 78));
  EXPECT_EQ(ScreenColor(bar, 5, 5), kBarButton);
  // The same list without its section: the default look's bar.
  list->SetSkinDataName("no such list");
  list->BeginSkinChange();
  list->ApplySkin();
  ASSERT_NE(list->VScrollBar(), nullptr);
  EXPECT_EQ(list->VScrollBar()->SkinDataName(), "");
  EXPECT_EQ(list->VScrollBar()->BoundsRect(), Rect(100, 1, 119, 79));
  EXPECT_EQ(list->ItemHeight(), 20);
}

// ---- bad input

TEST_F(SkinCtrlListBox, HugeItemsAndListsAndRecordsBeyondThePicture) {
  UseListSkin();
  ShowForm();
  // An item of 100,000 characters: measured, drawn clipped, scrolled to.
  TskSkinListBox* wide = MakeList(150, 100, 1);
  wide->Items().Add(std::string(100000, 'W'));
  wide->SetHorizontalExtent(true);
  ASSERT_NE(wide->HScrollBar(), nullptr);
  EXPECT_EQ(wide->HScrollBar()->Max(), wide->Font().Handle().TextWidth(std::string(100000, 'W')));
  wide->HScrollBar()->SetPosition(wide->HScrollBar()->Max());
  EXPECT_GT(wide->ListBox().HorizontalOffset(), 100000);
  EXPECT_NE(CountColor(ListShot(wide), {0, 20, 150, 40}, ColorToRGB(clWindowText)), 0);

  // 100,000 items: the bar spans them all and reaches the last page.
  TskSkinListBox* many = MakeList(150, 104, 0);
  many->Items().BeginUpdate();
  for (int i = 0; i < 100000; ++i) many->Items().Add("row " + std::to_string(i));
  many->Items().EndUpdate();
  ASSERT_NE(many->VScrollBar(), nullptr);
  EXPECT_EQ(many->VScrollBar()->Max(), 99999);
  many->VScrollBar()->SetPosition(99999);
  host_->Pump();
  EXPECT_EQ(many->TopIndex(), 100000 - 5);
  EXPECT_EQ(many->VScrollBar()->Position(), 100000 - 5);
  many->SetItemIndex(99999);
  EXPECT_NE(CountColor(ListShot(many), {0, 80, 150, 100}, ColorToRGB(clHighlight)), 0);

  // Rectangles beyond the picture: the item height is what the platform list takes, and
  // painting reads only the picture.
  TskSkinListBox* outside = MakeList(150, 100, 3, "outside", true);
  EXPECT_EQ(outside->ItemHeight(), 255);
  outside->SetItemIndex(0);
  outside->SetRowCount(2);
  host_->Pump();
  (void)Render(outside);
  (void)ListShot(outside);
  EXPECT_GE(outside->HeightForRows(2), 0);
  EXPECT_TRUE(errors.empty());
}

TEST_F(SkinCtrlListBox, FormResourceFillsTheListAndWiresItsEvents) {
  RegisterSkinControlClasses();
  auto* form = new TListResourceForm(nullptr);
  int clicks = 0;
  THandlerRegistry handlers;
  handlers.Add<TNotifyEvent>("ListClick", [&](TObject*) { ++clicks; });
  ReadComponentResource(form, R"(object ListForm: TListResourceForm
  Left = 20
  Top = 20
  Width = 300
  Height = 300
  object skSkinListBox1: TskSkinListBox
    Left = 8
    Top = 8
    Width = 150
    Items.Strings = (
      'one'
      'two'
      'three')
    RowCount = 2
    CaptionMode = True
    Caption = 'Numbers'
    ItemIndex = 1
    OnListBoxClick = ListClick
  end
end
)",
                         &handlers);
  auto* list = dynamic_cast<TskSkinListBox*>(form->FindComponent("skSkinListBox1"));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Items().Count(), 3);
  EXPECT_EQ(list->Height(), 2 * 20 + 4 + 20);
  EXPECT_TRUE(list->CaptionMode());
  EXPECT_EQ(list->Caption(), "Numbers");
  form->Show();
  host_->Pump();
  EXPECT_EQ(list->ItemIndex(), 1);
  ASSERT_NE(list->VScrollBar(), nullptr);
  host_->Click(ScreenPoint(&list->ListBox(), 20, 5));
  host_->Pump();
  EXPECT_EQ(list->ItemIndex(), list->TopIndex());
  EXPECT_EQ(clicks, 1);
  delete form;
}
TEST_F(SkinCtrlListBox, BarsMadeWhileTheFormIsReadGetWindowsAndPaint) {
  RegisterSkinControlClasses();
  auto* form = new TListResourceForm(nullptr);
  // The frame component takes over the form's window as soon as it is read, so the list
  // has a window while the rest of the resource is still being read.
  ReadComponentResource(form, R"(object ListForm: TListResourceForm
  Left = 20
  Top = 20
  Width = 300
  Height = 300
  object skSkinForm1: TskSkinForm
  end
  object L: TskSkinListBox
    Left = 8
    Top = 8
    Width = 190
    CaptionMode = True
    HorizontalExtent = True
    Items.Strings = (
      'A row far wider than the list itself, so it scrolls sideways'
      'Short row')
    RowCount = 5
  end
end
)",
                         nullptr);
  auto* list = dynamic_cast<TskSkinListBox*>(form->FindComponent("L"));
  ASSERT_NE(list, nullptr);
  form->Show();
  host_->Pump();
  TskSkinScrollBar* bar = list->HScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->HandleAllocated());
  EXPECT_EQ(bar->BoundsRect(), Rect(1, list->Height() - 20, 189, list->Height() - 1));
  // The left button's arrow and frame are on the screen.
  EXPECT_EQ(ScreenColor(bar, 9, 9), RGB(0, 0, 0));
  EXPECT_EQ(ScreenColor(bar, 1, 1), ColorToRGB(clBtnShadow));
  delete form;
}
