// List box: items, keyboard navigation, type-ahead, owner drawing, selection modes,
// columns, scroll range and notifications.
#include <string>
#include <vector>

#include "StdTestSupport.h"

namespace {

class ListTest : public StdTest {
 protected:
  // A list whose client area holds exactly `rows` items of the default font.
  HWND MakeRows(DWORD style, int rows, int items) {
    const int h = Font().Metrics().height;
    HWND l = MakeList(style, {10, 10, 160, 10 + rows * h});
    for (int i = 0; i < items; ++i) {
      const std::string text = "item " + std::to_string(i);
      SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    return l;
  }
  std::string ItemText(HWND l, int i) {
    std::string buf(static_cast<std::size_t>(SendMessage(l, LB_GETTEXTLEN, i, 0)) + 1, '\0');
    SendMessage(l, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf.data()));
    buf.pop_back();
    return buf;
  }
  int Cur(HWND l) { return static_cast<int>(SendMessage(l, LB_GETCURSEL, 0, 0)); }
  int Top(HWND l) { return static_cast<int>(SendMessage(l, LB_GETTOPINDEX, 0, 0)); }
  Point ItemCentre(HWND l, int i) {
    Rect r;
    SendMessage(l, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
    return {r.left + r.Width() / 2, r.top + r.Height() / 2};
  }
};

TEST_F(ListTest, ItemsAddInsertDeleteAndSort) {
  HWND l = MakeList(LBS_SORT, {0, 0, 100, 100});
  for (const char* s : {"pear", "Apple", "fig", "apple"}) SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  EXPECT_EQ(SendMessage(l, LB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(ItemText(l, 0), "Apple");
  EXPECT_EQ(ItemText(l, 1), "apple");  // equal ignoring case: after the earlier one
  EXPECT_EQ(ItemText(l, 3), "pear");
  EXPECT_EQ(SendMessage(l, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("kiwi")), 1);
  EXPECT_EQ(SendMessage(l, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("KI")), 1);
  EXPECT_EQ(SendMessage(l, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("fig")), 3);
  EXPECT_EQ(SendMessage(l, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("zz")), LB_ERR);
  SendMessage(l, LB_SETCURSEL, 3, 0);
  EXPECT_EQ(SendMessage(l, LB_DELETESTRING, 1, 0), 4);
  EXPECT_EQ(Cur(l), 2);  // the selection follows its item
  EXPECT_EQ(SendMessage(l, LB_DELETESTRING, 9, 0), LB_ERR);
  EXPECT_EQ(SendMessage(l, LB_GETTEXTLEN, 9, 0), LB_ERR);
  SendMessage(l, LB_SETITEMDATA, 0, 1234);
  EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 0, 0), 1234);
  SendMessage(l, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessage(l, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(Cur(l), LB_ERR);
}

struct NavCase {
  const char* name;
  int start;
  std::vector<int> keys;
  int selection;
  int top;
};

class ListNavTest : public ListTest, public ::testing::WithParamInterface<NavCase> {};

TEST_P(ListNavTest, KeysMoveTheSelectionAndScroll) {
  const NavCase& c = GetParam();
  HWND l = MakeRows(LBS_NOTIFY, 8, 30);
  SetFocus(l);
  SendMessage(l, LB_SETCURSEL, c.start, 0);
  for (int k : c.keys) Press(k);
  EXPECT_EQ(Cur(l), c.selection) << c.name;
  EXPECT_EQ(Top(l), c.top) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ListNavTest,
    ::testing::Values(NavCase{"down", 0, {VK_DOWN, VK_DOWN}, 2, 0},
                      NavCase{"down_scrolls", 7, {VK_DOWN}, 8, 1},
                      NavCase{"up_stops_at_top", 1, {VK_UP, VK_UP, VK_UP}, 0, 0},
                      NavCase{"end", 3, {VK_END}, 29, 22},
                      NavCase{"end_home", 3, {VK_END, VK_HOME}, 0, 0},
                      NavCase{"page_down", 0, {VK_NEXT}, 7, 0},
                      NavCase{"page_down_twice", 0, {VK_NEXT, VK_NEXT}, 14, 7},
                      NavCase{"page_up", 29, {VK_PRIOR}, 22, 22},
                      NavCase{"right_like_down", 4, {VK_RIGHT}, 5, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListTest, TypeAheadFindsByPrefixAndCyclesByRepeatedLetter) {
  HWND l = MakeList(LBS_SORT | LBS_NOTIFY, {10, 10, 160, 200});
  for (const char* s : {"apple", "banana", "blueberry", "Bluebell", "cherry", "avocado"})
    SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  // Sorted: apple, avocado, banana, Bluebell, blueberry, cherry.
  SetFocus(l);
  Pump();
  Type("b");
  EXPECT_EQ(ItemText(l, Cur(l)), "banana");
  m_host->AdvanceClock(2000);
  Type("b");
  EXPECT_EQ(ItemText(l, Cur(l)), "Bluebell");
  m_host->AdvanceClock(2000);
  Type("c");
  EXPECT_EQ(ItemText(l, Cur(l)), "cherry");
  m_host->AdvanceClock(2000);
  Type("a");
  Type("v");  // quickly: the prefix "av"
  EXPECT_EQ(ItemText(l, Cur(l)), "avocado");
  m_host->AdvanceClock(2000);
  Type("bluebe");
  EXPECT_EQ(ItemText(l, Cur(l)), "Bluebell");
  Type("r");
  EXPECT_EQ(ItemText(l, Cur(l)), "blueberry");
  m_host->AdvanceClock(2000);
  Type("z");  // no match: the selection stays
  EXPECT_EQ(ItemText(l, Cur(l)), "blueberry");
}

TEST_F(ListTest, OwnerDrawAsksTheParentForHeightAndItems) {
  std::vector<DRAWITEMSTRUCT> drawn;
  handler = [&](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT& r) {
    if (msg == WM_MEASUREITEM) {
      reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = 25;
      r = TRUE;
      return true;
    }
    if (msg == WM_DRAWITEM) {
      const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      drawn.push_back(*dis);
      dis->hDC->FillRect(dis->rcItem, (dis->itemState & ODS_SELECTED) ? clRed : clBlue);
      r = TRUE;
      return true;
    }
    return false;
  };
  HWND l = MakeList(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, {10, 10, 110, 110}, 42);
  EXPECT_EQ(SendMessage(l, LB_GETITEMHEIGHT, 0, 0), 25);
  for (int i = 0; i < 10; ++i) SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
  SendMessage(l, LB_SETCURSEL, 1, 0);
  drawn.clear();
  Pump();
  ASSERT_EQ(drawn.size(), 4u);  // 100 pixels show four items
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(drawn[i].itemID, static_cast<UINT>(i));
    EXPECT_EQ(drawn[i].CtlID, 42u);
    EXPECT_EQ(drawn[i].CtlType, ODT_LISTBOX);
    EXPECT_EQ(drawn[i].rcItem, Rect(0, i * 25, 100, i * 25 + 25));
    EXPECT_EQ((drawn[i].itemState & ODS_SELECTED) != 0, i == 1);
  }
  HDC dc = GetDC(l);
  EXPECT_EQ(dc->GetPixel(50, 30), clRed);
  EXPECT_EQ(dc->GetPixel(50, 60), clBlue);
  ReleaseDC(l, dc);
  SendMessage(l, LB_SETTOPINDEX, 5, 0);
  drawn.clear();
  Pump();
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.front().itemID, 5u);
  EXPECT_EQ(drawn.front().rcItem.top, 0);
}

TEST_F(ListTest, ExtendedSelectionWithShiftAndCtrlClicks) {
  HWND l = MakeRows(LBS_EXTENDEDSEL | LBS_NOTIFY, 10, 10);
  ClickAt(l, ItemCentre(l, 2));
  m_host->KeyDown(VK_SHIFT);
  ClickAt(l, ItemCentre(l, 5));
  m_host->KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), 4);
  m_host->KeyDown(VK_CONTROL);
  ClickAt(l, ItemCentre(l, 3));
  m_host->KeyUp(VK_CONTROL);
  Pump();
  int items[10] = {};
  ASSERT_EQ(SendMessage(l, LB_GETSELITEMS, 10, reinterpret_cast<LPARAM>(items)), 3);
  EXPECT_EQ(std::vector<int>(items, items + 3), (std::vector<int>{2, 4, 5}));
  // Shift+Down from the focus item extends from the anchor (3, the last plain or ctrl click).
  m_host->KeyDown(VK_SHIFT);
  Press(VK_DOWN);
  m_host->KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessage(l, LB_GETSEL, 3, 0), 1);
  EXPECT_EQ(SendMessage(l, LB_GETSEL, 4, 0), 1);
  EXPECT_EQ(SendMessage(l, LB_SETCURSEL, 1, 0), LB_ERR);  // single-selection message
  SendMessage(l, LB_SETSEL, TRUE, -1);
  EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), 10);
  SendMessage(l, LB_SELITEMRANGEEX, 7, 2);  // reversed: deselects
  EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), 4);
}

TEST_F(ListTest, MultipleSelectionTogglesOnClickAndSpace) {
  HWND l = MakeRows(LBS_MULTIPLESEL, 10, 10);
  ClickAt(l, ItemCentre(l, 1));
  m_host->AdvanceClock(1000);
  ClickAt(l, ItemCentre(l, 4));
  EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), 2);
  m_host->AdvanceClock(1000);
  ClickAt(l, ItemCentre(l, 1));
  EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), 1);
  Press(VK_DOWN);  // moves the focus only
  EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), 1);
  Press(VK_SPACE);
  EXPECT_EQ(SendMessage(l, LB_GETSEL, 2, 0), 1);
  EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), 2);
}

TEST_F(ListTest, ScrollRangeFollowsItemsAndThumbMessages) {
  HWND l = MakeRows(WS_VSCROLL, 8, 30);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(l, SB_VERT, &si));
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, 29);
  EXPECT_EQ(si.nPage, 8u);
  EXPECT_TRUE(GetWindowLong(l, GWL_STYLE) & WS_VSCROLL);
  SendMessage(l, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), 0);
  EXPECT_EQ(Top(l), 10);
  EXPECT_EQ(GetScrollPos(l, SB_VERT), 10);
  SendMessage(l, LB_SETTOPINDEX, 29, 0);
  EXPECT_EQ(Top(l), 22);
  // With few items the bar hides itself and the client area widens.
  Rect before;
  GetClientRect(l, &before);
  SendMessage(l, LB_RESETCONTENT, 0, 0);
  SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
  EXPECT_FALSE(GetWindowLong(l, GWL_STYLE) & WS_VSCROLL);
  Rect after;
  GetClientRect(l, &after);
  EXPECT_EQ(after.Width(), before.Width() + NcScrollBars::Thickness);
}

TEST_F(ListTest, NotifiesUserChangesOnly) {
  HWND l = MakeRows(LBS_NOTIFY, 8, 5);
  commands.clear();
  SendMessage(l, LB_SETCURSEL, 2, 0);
  EXPECT_EQ(CountCommands(LBN_SELCHANGE), 0);
  ClickAt(l, ItemCentre(l, 3));
  EXPECT_EQ(CountCommands(LBN_SELCHANGE), 1);
  ClickAt(l, ItemCentre(l, 3));  // the second click of a double click
  EXPECT_EQ(CountCommands(LBN_DBLCLK), 1);
  EXPECT_EQ(CountCommands(LBN_SETFOCUS), 1);
  EXPECT_EQ(Cur(l), 3);
  // A click below the last item changes nothing.
  m_host->AdvanceClock(1000);
  ClickAt(l, {20, Font().Metrics().height * 7});
  EXPECT_EQ(Cur(l), 3);
  const LRESULT hit = SendMessage(l, LB_ITEMFROMPOINT, 0, MAKELPARAM(20, Font().Metrics().height * 7));
  EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(hit)), 1);
  EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(hit)), 4);
}

TEST_F(ListTest, ColumnsPlaceItemsAndArrowsMoveByRows) {
  const int h = Font().Metrics().height;
  HWND l = MakeList(LBS_MULTICOLUMN | WS_HSCROLL, {10, 10, 210, 10 + 4 * h + NcScrollBars::Thickness});
  SendMessage(l, LB_SETCOLUMNWIDTH, 50, 0);
  for (int i = 0; i < 30; ++i) SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("c"));
  Rect r;
  SendMessage(l, LB_GETITEMRECT, 5, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, Rect(50, h, 100, 2 * h));
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(l, SB_HORZ, &si));
  EXPECT_EQ(si.nMax, 7);  // eight columns of four
  EXPECT_EQ(si.nPage, 4u);
  SetFocus(l);
  SendMessage(l, LB_SETCURSEL, 1, 0);
  Press(VK_RIGHT);
  EXPECT_EQ(Cur(l), 5);
  Press(VK_END);
  EXPECT_EQ(Cur(l), 29);
  EXPECT_EQ(Top(l), 16);  // columns 4 to 7 in view
}

}  // namespace
