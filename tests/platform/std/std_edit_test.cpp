// Edit and memo: typing, selection, clipboard, undo, limits, password, word wrap,
// scrolling, notifications, context menu and the pixels a screen copy sees.
#include <cstring>
#include <memory>
#include <random>

#include "StdTestSupport.h"
#include "platform/gfx/DC.h"
#include "platform/std/EditText.h"
#include "platform/std/StdPopupMenu.h"

namespace {

class EditTest : public StdTest {
 protected:
  HWND Focused(DWORD style, Rect r = {10, 10, 210, 34}, const char* text = "") {
    HWND e = MakeEdit(style, r, text);
    SetFocus(e);
    Pump();
    return e;
  }
};

TEST_F(EditTest, TypingInsertsUtf8AndNotifiesEachChange) {
  HWND e = Focused(ES_AUTOHSCROLL);
  commands.clear();
  Type("Aé中");
  EXPECT_EQ(Text(e), "Aé中");
  EXPECT_EQ(GetWindowTextLength(e), 6);  // bytes
  EXPECT_EQ(CountCommands(EN_CHANGE), 3);
  EXPECT_EQ(CountCommands(EN_UPDATE), 3);
  EXPECT_EQ(Sel(e), std::make_pair(3, 3));  // character indexes
  EXPECT_TRUE(SendMessage(e, EM_GETMODIFY, 0, 0));
  // WM_SETTEXT notifies too, clears the modified flag and puts the caret first.
  commands.clear();
  SetWindowText(e, "xyz");
  EXPECT_EQ(CountCommands(EN_CHANGE), 1);
  EXPECT_FALSE(SendMessage(e, EM_GETMODIFY, 0, 0));
  EXPECT_EQ(Sel(e), std::make_pair(0, 0));
}

TEST_F(EditTest, GetTextNeverSplitsACharacter) {
  HWND e = MakeEdit(0, {0, 0, 100, 20}, "a中b");
  char buf[4] = {'?', '?', '?', '?'};
  // Three bytes of room: "a" and half of the ideograph would fit; only "a" is copied.
  EXPECT_EQ(SendMessage(e, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buf)), 1);
  EXPECT_STREQ(buf, "a");
}

struct KeyCase {
  const char* name;
  int modifier;  // 0, VK_SHIFT or VK_CONTROL (and shift with kShiftCtrl)
  int key;
  int startCaret;
  std::pair<int, int> selection;  // as EM_GETSEL gives it
};
constexpr int kShiftCtrl = -1;

class EditKeyTest : public EditTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(EditKeyTest, MovesCaretAndSelection) {
  const KeyCase& c = GetParam();
  HWND e = Focused(ES_AUTOHSCROLL, {10, 10, 300, 34}, "one two  three");
  SendMessage(e, EM_SETSEL, c.startCaret, c.startCaret);
  if (c.modifier == kShiftCtrl) {
    m_host->KeyDown(VK_SHIFT);
    m_host->KeyDown(VK_CONTROL);
    m_host->Key(c.key);
    m_host->KeyUp(VK_CONTROL);
    m_host->KeyUp(VK_SHIFT);
    Pump();
  } else if (c.modifier) {
    Chord(c.modifier, c.key);
  } else {
    Press(c.key);
  }
  EXPECT_EQ(Sel(e), c.selection) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EditKeyTest,
    ::testing::Values(KeyCase{"left", 0, VK_LEFT, 3, {2, 2}}, KeyCase{"right", 0, VK_RIGHT, 3, {4, 4}},
                      KeyCase{"home", 0, VK_HOME, 5, {0, 0}}, KeyCase{"end", 0, VK_END, 5, {14, 14}},
                      KeyCase{"shift+end", VK_SHIFT, VK_END, 4, {4, 14}},
                      KeyCase{"shift+home", VK_SHIFT, VK_HOME, 4, {0, 4}},
                      KeyCase{"shift+left", VK_SHIFT, VK_LEFT, 4, {3, 4}},
                      KeyCase{"ctrl+right", VK_CONTROL, VK_RIGHT, 0, {4, 4}},
                      KeyCase{"ctrl+right over blanks", VK_CONTROL, VK_RIGHT, 4, {9, 9}},
                      KeyCase{"ctrl+left", VK_CONTROL, VK_LEFT, 14, {9, 9}},
                      KeyCase{"ctrl+left from a word's middle", VK_CONTROL, VK_LEFT, 6, {4, 4}},
                      KeyCase{"shift+ctrl+left", kShiftCtrl, VK_LEFT, 7, {4, 7}},
                      KeyCase{"ctrl+a", VK_CONTROL, 'A', 3, {0, 14}}),
    [](const auto& info) {
      std::string n = info.param.name;
      for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST_F(EditTest, ClipboardCutCopyPaste) {
  HWND e = Focused(ES_AUTOHSCROLL, {10, 10, 300, 34}, "hello world");
  SendMessage(e, EM_SETSEL, 6, 11);
  Chord(VK_CONTROL, 'C');
  EXPECT_EQ(GetClipboardText(), "world");
  SendMessage(e, EM_SETSEL, 0, 6);
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(Text(e), "world");
  EXPECT_EQ(GetClipboardText(), "hello ");
  SendMessage(e, EM_SETSEL, 5, 5);
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(Text(e), "worldhello ");
  // A one-line edit keeps a pasted text up to its first line break.
  SetClipboardText("ab\r\ncd");
  SendMessage(e, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(e), "worldhello ab");
}

TEST_F(EditTest, UndoRevertsTypingAsOneStepAndThenEarlierChanges) {
  HWND e = Focused(ES_AUTOHSCROLL, {10, 10, 300, 34}, "base");
  EXPECT_FALSE(SendMessage(e, EM_CANUNDO, 0, 0));
  SendMessage(e, EM_SETSEL, 4, 4);
  Type(" one");
  SendMessage(e, EM_SETSEL, 0, 4);
  Press(VK_DELETE);
  EXPECT_EQ(Text(e), " one");
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(Text(e), "base one");
  EXPECT_EQ(Sel(e), std::make_pair(0, 4));  // the restored text is selected
  EXPECT_TRUE(SendMessage(e, EM_UNDO, 0, 0));
  EXPECT_EQ(Text(e), "base");
  EXPECT_FALSE(SendMessage(e, EM_CANUNDO, 0, 0));
}

TEST_F(EditTest, LimitBoundsTypingPasteAndReplace) {
  HWND e = Focused(ES_AUTOHSCROLL);
  SendMessage(e, EM_LIMITTEXT, 5, 0);
  commands.clear();
  Type("abcdefg");
  EXPECT_EQ(Text(e), "abcde");
  EXPECT_EQ(CountCommands(EN_MAXTEXT), 2);
  SendMessage(e, EM_SETSEL, 1, 2);
  SetClipboardText("XYZ");
  SendMessage(e, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(e), "aXcde");  // one character of room
  SendMessage(e, EM_SETSEL, 0, 0);
  SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("Q"));
  EXPECT_EQ(Text(e), "aXcde");
  // WM_SETTEXT is not bound by the limit.
  SetWindowText(e, "1234567");
  EXPECT_EQ(Text(e), "1234567");
}

TEST_F(EditTest, PasswordHidesTextAndRefusesCopy) {
  HWND e = Focused(ES_PASSWORD | ES_AUTOHSCROLL);
  EXPECT_EQ(SendMessage(e, EM_GETPASSWORDCHAR, 0, 0), '*');
  Type("secret");
  EXPECT_EQ(Text(e), "secret");
  SetClipboardText("before");
  Chord(VK_CONTROL, 'A');
  Chord(VK_CONTROL, 'C');
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(GetClipboardText(), "before");
  EXPECT_EQ(Text(e), "secret");
  EXPECT_FALSE(EditCommandEnabled(e, kEditCmdCopy));
  // Six stars wide: the caret sits where six '*' end.
  const Font font;
  SendMessage(e, EM_SETSEL, 6, 6);
  const LRESULT pos = SendMessage(e, EM_POSFROMCHAR, 6, 0);
  EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(pos)), 1 + 6 * font.CharWidth(U'*'));
}

TEST_F(EditTest, ReadOnlyIgnoresEditingButCopies) {
  HWND e = Focused(ES_READONLY | ES_AUTOHSCROLL, {10, 10, 300, 34}, "fixed");
  Type("x");
  Press(VK_DELETE);
  Chord(VK_CONTROL, 'A');
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(Text(e), "fixed");
  Chord(VK_CONTROL, 'C');
  EXPECT_EQ(GetClipboardText(), "fixed");
  SendMessage(e, EM_SETREADONLY, FALSE, 0);
  Type("y");
  EXPECT_EQ(Text(e), "y");
}

TEST_F(EditTest, MouseClickShiftClickDoubleClickAndDrag) {
  HWND e = Focused(ES_AUTOHSCROLL, {10, 10, 300, 34}, "alpha beta gamma");
  const Font font;
  auto xOf = [&](int chars) { return 1 + font.TextWidth(std::string("alpha beta gamma").substr(0, chars)); };
  ClickAt(e, {xOf(6), 5});
  EXPECT_EQ(Sel(e), std::make_pair(6, 6));
  m_host->KeyDown(VK_SHIFT);
  ClickAt(e, {xOf(10), 5});
  m_host->KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(Sel(e), std::make_pair(6, 10));
  m_host->AdvanceClock(1000);
  ClickAt(e, {xOf(7), 5});
  ClickAt(e, {xOf(7), 5});
  EXPECT_EQ(Sel(e), std::make_pair(6, 11));  // the word and the blank after it
  m_host->AdvanceClock(1000);
  m_host->PressMouse(Screen(e, {xOf(1), 5}));
  m_host->MoveMouse(Screen(e, {xOf(3), 5}));
  m_host->ReleaseMouse(Screen(e, {xOf(3), 5}));
  Pump();
  EXPECT_EQ(Sel(e), std::make_pair(1, 3));
}

TEST_F(EditTest, CompositionShowsInlineAndTheResultIsInserted) {
  HWND e = Focused(ES_AUTOHSCROLL, {10, 10, 300, 34}, "ab");
  SendMessage(e, EM_SETSEL, 1, 1);
  Pump();
  Point before;
  GetCaretPos(&before);
  m_host->Compose(U"ni", 2);
  Pump();
  Point during;
  GetCaretPos(&during);
  const Font font;
  EXPECT_EQ(during.x - before.x, font.TextWidth("ni"));
  EXPECT_EQ(Text(e), "ab");  // the composition is not text yet
  Type("你");
  EXPECT_EQ(Text(e), "a你b");
}

TEST_F(EditTest, ContextMenuRunsTheChosenCommand) {
  HWND e = Focused(ES_AUTOHSCROLL, {10, 10, 300, 34}, "menu text");
  int step = 0;
  bool sawMenu = false;
  m_host->SetIdleHandler([&]() {
    if (step++ > 0) return false;
    sawMenu = ActiveStdPopupMenu() != nullptr;
    m_host->TypeText("a");  // the access key of "Select All"
    return true;
  });
  SendMessage(e, 0x007B, reinterpret_cast<WPARAM>(e), PointToLParam(Screen(e, {5, 5})));
  EXPECT_TRUE(sawMenu);
  EXPECT_EQ(ActiveStdPopupMenu(), nullptr);
  EXPECT_EQ(Sel(e), std::make_pair(0, 9));
  EXPECT_EQ(Text(e), "menu text");
  // Escape dismisses it without a command.
  step = 0;
  m_host->SetIdleHandler([&]() {
    if (step++ > 0) return false;
    m_host->Key(VK_ESCAPE);
    return true;
  });
  SendMessage(e, 0x007B, reinterpret_cast<WPARAM>(e), -1);
  EXPECT_EQ(Sel(e), std::make_pair(0, 9));
  EXPECT_EQ(Text(e), "menu text");
}

TEST_F(EditTest, MenuKeysAskTheWindowSoASubclassReplacesTheMenu) {
  HWND e = Focused(ES_AUTOHSCROLL, {10, 10, 300, 34}, "menu text");
  auto previous = std::make_shared<WNDPROC>();
  std::vector<LPARAM> asked;
  *previous = SetWindowLong(e, GWL_WNDPROC, WNDPROC(WindowProc::Callable(
      [previous, &asked](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == 0x007B) {
          asked.push_back(lp);
          return 0;
        }
        return CallWindowProc(*previous, h, msg, wp, lp);
      })));
  bool plainMenu = false;
  m_host->SetIdleHandler([&]() {
    plainMenu = plainMenu || ActiveStdPopupMenu() != nullptr;
    EndStdPopupMenu();
    return false;
  });
  Press(VK_APPS);
  Chord(VK_SHIFT, VK_F10);
  EXPECT_EQ(asked, (std::vector<LPARAM>{-1, -1}));
  EXPECT_FALSE(plainMenu);
  EXPECT_EQ(Text(e), "menu text");
}

// ---------------------------------------------------------------------------------------
// Memo

class MemoTest : public EditTest {
 protected:
  std::vector<int> LineStarts(HWND m) {
    std::vector<int> starts;
    const int n = static_cast<int>(SendMessage(m, EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < n; ++i) starts.push_back(static_cast<int>(SendMessage(m, EM_LINEINDEX, i, 0)));
    return starts;
  }
};

TEST_F(MemoTest, LineBreaksAreStoredAsCrLf) {
  HWND m = Focused(ES_MULTILINE | WS_VSCROLL, {10, 10, 300, 200});
  SetWindowText(m, "one\ntwo\rthree\r\n");
  EXPECT_EQ(Text(m), "one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(SendMessage(m, EM_GETLINECOUNT, 0, 0), 4);
  EXPECT_EQ(LineStarts(m), (std::vector<int>{0, 5, 10, 17}));
  SendMessage(m, EM_SETSEL, 3, 3);
  Press(VK_RETURN);
  EXPECT_EQ(Text(m), "one\r\n\r\ntwo\r\nthree\r\n");
  // Backspace and Delete take a line break whole.
  Press(VK_BACK);
  EXPECT_EQ(Text(m), "one\r\ntwo\r\nthree\r\n");
  Press(VK_DELETE);
  EXPECT_EQ(Text(m), "onetwo\r\nthree\r\n");
  char buf[16] = {};
  const WORD size = sizeof buf;
  std::memcpy(buf, &size, sizeof size);
  EXPECT_EQ(SendMessage(m, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buf)), 5);
  EXPECT_EQ(std::string(buf, 5), "three");
  EXPECT_EQ(SendMessage(m, EM_LINELENGTH, 8, 0), 5);
  EXPECT_EQ(SendMessage(m, EM_LINEFROMCHAR, 8, 0), 1);
}

struct WrapCase {
  const char* name;
  std::string text;
  std::vector<int> starts;
};

class MemoWrapTest : public MemoTest, public ::testing::WithParamInterface<WrapCase> {};

// The memo is exactly wide enough for ten 'a' (one margin pixel on each side), so the
// expected breaks follow from character widths alone.
TEST_P(MemoWrapTest, BreaksLines) {
  const Font font;
  const int a = font.CharWidth(U'a');
  ASSERT_EQ(font.CharWidth(U'b'), a) << "the cases assume equal widths of a and b";
  const int width = 10 * a + 2;
  HWND m = MakeEdit(ES_MULTILINE, {0, 0, width, 200});
  const WrapCase& c = GetParam();
  std::string text = c.text;
  if (c.name == std::string("ideographs")) {
    // As many ideographs as fit, from the font's own widths.
    const int ideo = font.CharWidth(U'中');
    const int perLine = std::max(1, (10 * a) / ideo);
    text.clear();
    for (int i = 0; i < perLine * 2 + 1; ++i) text += "中";
    SetWindowText(m, text.c_str());
    EXPECT_EQ(LineStarts(m), (std::vector<int>{0, perLine, 2 * perLine}));
    return;
  }
  SetWindowText(m, text.c_str());
  EXPECT_EQ(LineStarts(m), c.starts) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Wrap, MemoWrapTest,
    ::testing::Values(WrapCase{"fits", "aaaaaaaaaa", {0}},
                      WrapCase{"after_blank", "aaaa bbbbbb", {0, 5}},
                      WrapCase{"blanks_hang", "aaaaaaaaaa   bb", {0, 13}},
                      WrapCase{"long_word_broken", "aaaaaaaaaaaaaaaaaaaaaaaaa", {0, 10, 20}},
                      WrapCase{"hard_break", "aa\r\nbbbb bbbb bbbb", {0, 4, 14}},
                      WrapCase{"ideographs", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MemoTest, NoWrapWithHorizontalScrolling) {
  HWND m = MakeEdit(ES_MULTILINE | WS_HSCROLL, {0, 0, 60, 100},
                    "a line that is certainly wider than sixty pixels");
  EXPECT_EQ(SendMessage(m, EM_GETLINECOUNT, 0, 0), 1);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(m, SB_HORZ, &si));
  const Font font;
  EXPECT_EQ(si.nMax, font.TextWidth("a line that is certainly wider than sixty pixels"));
  SetFocus(m);
  Chord(VK_CONTROL, VK_END);
  ASSERT_TRUE(GetScrollInfo(m, SB_HORZ, &si));
  EXPECT_GT(si.nPos, 0);
  const LRESULT pos = SendMessage(m, EM_POSFROMCHAR, 48, 0);
  Rect client;
  GetClientRect(m, &client);
  EXPECT_LT(LOWORD(static_cast<std::uintptr_t>(pos)), client.right);  // the caret is in view
}

TEST_F(MemoTest, ScrollingALongTextKeepsRangeAndFirstLine) {
  HWND m = Focused(ES_MULTILINE | WS_VSCROLL, {10, 10, 310, 170});
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line " + std::to_string(i) + "\r\n";
  text += "last";
  SetWindowText(m, text.c_str());
  const Font font;
  Rect client;
  GetClientRect(m, &client);
  EXPECT_EQ(client.Width(), 300 - NcScrollBars::Thickness);
  const int visible = client.Height() / font.Metrics().height;
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(m, SB_VERT, &si));
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, 100);
  EXPECT_EQ(si.nPage, static_cast<UINT>(visible));
  EXPECT_EQ(si.nPos, 0);

  Chord(VK_CONTROL, VK_END);
  EXPECT_EQ(SendMessage(m, EM_GETFIRSTVISIBLELINE, 0, 0), 101 - visible);
  EXPECT_EQ(GetScrollPos(m, SB_VERT), 101 - visible);
  Chord(VK_CONTROL, VK_HOME);
  EXPECT_EQ(SendMessage(m, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

  commands.clear();
  SendMessage(m, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(SendMessage(m, EM_GETFIRSTVISIBLELINE, 0, 0), visible);
  EXPECT_EQ(CountCommands(EN_VSCROLL), 1);
  EXPECT_EQ(SendMessage(m, EM_SCROLL, SB_LINEUP, 0), MAKELRESULT(-1, TRUE));
  SendMessage(m, EM_LINESCROLL, 0, 1000);
  EXPECT_EQ(SendMessage(m, EM_GETFIRSTVISIBLELINE, 0, 0), 101 - visible);
  // The scroll bar's own arrow scrolls a line back.
  Rect wr;
  GetWindowRect(m, &wr);
  m_host->Click({wr.right - 8, wr.top + 8});
  Pump();
  EXPECT_EQ(SendMessage(m, EM_GETFIRSTVISIBLELINE, 0, 0), 100 - visible);
  // The wheel scrolls three lines a notch.
  m_host->Wheel({wr.left + 20, wr.top + 20}, WHEEL_DELTA);
  Pump();
  EXPECT_EQ(SendMessage(m, EM_GETFIRSTVISIBLELINE, 0, 0), 97 - visible);
}

// What the converter relies on: a screen copy of the memo's client area shows exactly
// white where there is no ink, and the glyphs are not white; lines scrolled out are gone.
TEST_F(MemoTest, ScreenCopyIsWhiteWhereNothingIsDrawn) {
  const Font font(FontSpec{"宋体", 14});
  HWND m = MakeEdit(ES_MULTILINE, {10, 10, 134, 74}, "", WS_EX_CLIENTEDGE);
  SendMessage(m, WM_SETFONT, reinterpret_cast<WPARAM>(&font), TRUE);
  SetWindowText(m, "输入\r\n\r\n\r\n\r\n\r\n\r\n");
  Pump();
  Rect wr;
  GetWindowRect(m, &wr);
  ASSERT_EQ(wr.Width(), 124);
  auto capture = [&]() {
    Bitmap bmp(wr.Width(), wr.Height(), MakePixel(1, 2, 3));
    DC target(bmp);
    HDC dc = GetDC(m);
    BitBlt(&target, 0, 0, wr.Width(), wr.Height(), dc, 0, 0, SRCCOPY);
    ReleaseDC(m, dc);
    return bmp;
  };
  const int textW = font.TextWidth("输入");
  const int lineH = font.Metrics().height;
  Bitmap shot = capture();
  int ink = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 120; ++x) {
      const Pixel p = shot.At(x, y);
      const bool white = PixelR(p) == 255 && PixelG(p) == 255 && PixelB(p) == 255;
      const bool inText = x >= 1 && x < 1 + textW + 1 && y < lineH;
      if (!inText) {
        EXPECT_TRUE(white) << x << "," << y;
      }
      if (!white) ++ink;
    }
  EXPECT_GT(ink, 20);
  // Scrolled down a line, the first line is no longer in the copy.
  SendMessage(m, EM_LINESCROLL, 0, 1);
  Pump();
  shot = capture();
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 120; ++x) ASSERT_EQ(shot.At(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
}

TEST_F(MemoTest, TransparentBackgroundLeavesWhatTheOwnerDrew) {
  HWND m = MakeEdit(ES_MULTILINE, {10, 10, 100, 60}, "x");
  // The owner paints a red background in the erase message of a subclass.
  auto previous = std::make_shared<WNDPROC>();
  *previous = SetWindowLong(m, GWL_WNDPROC, WNDPROC(WindowProc::Callable(
      [previous](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == WM_ERASEBKGND) {
          HDC dc = reinterpret_cast<HDC>(wp);
          Rect r;
          GetClientRect(h, &r);
          dc->FillRect(r, clRed);
          return 1;
        }
        return CallWindowProc(*previous, h, msg, wp, lp);
      })));
  SendMessage(m, EM_SETCOLORS, clBlue, clNone);
  Pump();
  HDC dc = GetDC(m);
  EXPECT_EQ(dc->GetPixel(80, 40), clRed);
  ReleaseDC(m, dc);
  // A parent's colour answer wins over the control's own colours.
  static const Brush green{BS_SOLID, clLime};
  handler = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT& r) {
    if (msg != WM_CTLCOLOREDIT) return false;
    r = reinterpret_cast<LRESULT>(&green);
    return true;
  };
  InvalidateRect(m, nullptr, true);
  Pump();
  dc = GetDC(m);
  EXPECT_EQ(dc->GetPixel(80, 40), clLime);
  ReleaseDC(m, dc);
}

// The layout kept edit by edit must equal one made from scratch, for any edit.
TEST(EditTextTest, IncrementalLayoutMatchesAFreshOne) {
  CharMetrics metrics;
  std::mt19937 rng(42);
  const std::u32string pieces[] = {U"a", U"bb ", U"  ", U"\r\n", U"中文", U"wordwordwordword", U"\t", U"x y z "};
  for (int wrap : {0, 37, 80}) {
    EditText text(metrics, true);
    text.SetWrapWidth(wrap);
    for (int step = 0; step < 400; ++step) {
      const int n = text.Length();
      int pos = n ? static_cast<int>(rng() % static_cast<unsigned>(n + 1)) : 0;
      int removed = n - pos ? static_cast<int>(rng() % static_cast<unsigned>(std::min(6, n - pos) + 1)) : 0;
      // Never split a CR LF pair, as the control never does.
      auto inPair = [&](int p) { return p > 0 && p < n && text.Text()[p - 1] == U'\r' && text.Text()[p] == U'\n'; };
      if (inPair(pos)) --pos;
      if (inPair(pos + removed)) ++removed;
      std::u32string ins;
      if (rng() % 3) ins = pieces[rng() % std::size(pieces)];
      text.Replace(pos, removed, ins);
      EditText fresh(metrics, true);
      fresh.SetWrapWidth(wrap);
      fresh.SetText(text.Text());
      ASSERT_EQ(text.LineCount(), fresh.LineCount()) << "wrap " << wrap << " step " << step;
      for (int i = 0; i < text.LineCount(); ++i) {
        ASSERT_EQ(text.GetLine(i).start, fresh.GetLine(i).start) << "line " << i << " step " << step;
        ASSERT_EQ(text.GetLine(i).length, fresh.GetLine(i).length);
        ASSERT_EQ(text.GetLine(i).width, fresh.GetLine(i).width);
      }
      ASSERT_EQ(text.MaxWidth(), fresh.MaxWidth());
    }
  }
}

}  // namespace
