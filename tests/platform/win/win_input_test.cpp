// Input: hit testing with and without regions, mouse routing and capture, leave
// notification, double clicks, focus and activation, keys, characters and composition.
#include "WinTestSupport.h"
#include "platform/win/DefaultFrame.h"

namespace {

using Msgs = std::vector<UINT>;

TEST(WinFrameHitTest, ClassicFrameCodes) {
  FrameStyle sizeable{WS_OVERLAPPEDWINDOW, 0, false};
  FrameStyle dialog{WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, false};
  FrameStyle maximized{WS_OVERLAPPEDWINDOW, 0, true};
  Size s{300, 200};
  Rect close = FrameButtonRect(sizeable, s, HTCLOSE);
  Rect max = FrameButtonRect(sizeable, s, HTMAXBUTTON);
  Rect min = FrameButtonRect(sizeable, s, HTMINBUTTON);
  struct Case {
    const char* what;
    FrameStyle fs;
    Point p;
    int want;
  };
  const Case cases[] = {
      {"client", sizeable, {150, 100}, HTCLIENT},
      {"caption", sizeable, {100, 10}, HTCAPTION},
      {"left", sizeable, {1, 100}, HTLEFT},
      {"right", sizeable, {298, 100}, HTRIGHT},
      {"top", sizeable, {150, 0}, HTTOP},
      {"bottom", sizeable, {150, 199}, HTBOTTOM},
      {"top-left", sizeable, {0, 0}, HTTOPLEFT},
      {"top-left along the top", sizeable, {10, 1}, HTTOPLEFT},
      {"top-right", sizeable, {299, 5}, HTTOPRIGHT},
      {"bottom-left", sizeable, {2, 195}, HTBOTTOMLEFT},
      {"bottom-right", sizeable, {299, 199}, HTBOTTOMRIGHT},
      {"close button", sizeable, {close.left + 2, close.top + 2}, HTCLOSE},
      {"maximize button", sizeable, {max.left + 2, max.top + 2}, HTMAXBUTTON},
      {"minimize button", sizeable, {min.left + 2, min.top + 2}, HTMINBUTTON},
      {"outside", sizeable, {300, 100}, HTNOWHERE},
      {"fixed border", dialog, {1, 100}, HTBORDER},
      {"fixed caption", dialog, {100, 10}, HTCAPTION},
      {"maximized edge does not size", maximized, {1, 100}, HTCAPTION == 2 ? HTBORDER : 0},
  };
  for (const Case& c : cases) EXPECT_EQ(FrameHitTest(c.fs, s, c.p), c.want) << c.what;
  EXPECT_TRUE(FrameButtonRect(dialog, s, HTMAXBUTTON).IsEmpty());
  EXPECT_FALSE(FrameButtonRect(dialog, s, HTCLOSE).IsEmpty());
}

TEST_F(WinTest, WindowFromPointHonoursRegionsAndGoesToWhatLiesBelow) {
  HWND below = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 300, 300});
  HWND above = MakeTop(WS_POPUP | WS_VISIBLE, {100, 100, 200, 200});
  EXPECT_EQ(WindowFromPoint({150, 150}), above);
  // A round-ish region: only a cross in the middle belongs to the window.
  Region cross = Region(Rect(40, 0, 60, 100)).United(Region(Rect(0, 40, 100, 60)));
  SetWindowRgn(above, new Region(cross), true);
  EXPECT_EQ(WindowFromPoint({150, 150}), above);
  EXPECT_EQ(WindowFromPoint({105, 105}), below);
  // Input outside the region goes to the window below.
  log.clear();
  m_host->Click({105, 105});
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(below, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(Count(above, WM_LBUTTONDOWN), 0);
  // Children with regions too.
  HWND child = MakeChild(below, {10, 10, 60, 60});
  SetWindowRgn(child, CreateRectRgn(0, 0, 10, 10), false);
  EXPECT_EQ(WindowFromPoint({12, 12}), child);
  EXPECT_EQ(WindowFromPoint({40, 40}), below);
  // Hidden and disabled children let the point through to their parent.
  EnableWindow(child, false);
  EXPECT_EQ(WindowFromPoint({12, 12}), below);
}

TEST_F(WinTest, HitTestDecidesClientOrNonClientMessages) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
  m_sys->ProcessMessages();
  log.clear();
  m_host->MoveMouse({200, 200});
  m_sys->ProcessMessages();
  m_host->MoveMouse({200, 108});  // caption
  m_sys->ProcessMessages();
  const LoggedMessage* move = Last(w, WM_MOUSEMOVE);
  ASSERT_NE(move, nullptr);
  Point c = LParamToPoint(move->lp);
  EXPECT_EQ(c, Point(200 - 104, 200 - 123));
  const LoggedMessage* nc = Last(w, WM_NCMOUSEMOVE);
  ASSERT_NE(nc, nullptr);
  EXPECT_EQ(nc->wp, static_cast<WPARAM>(HTCAPTION));
  EXPECT_EQ(LParamToPoint(nc->lp), Point(200, 108));
  const LoggedMessage* cursor = Last(w, WM_SETCURSOR);
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(static_cast<short>(LOWORD(static_cast<std::uintptr_t>(cursor->lp))), HTCAPTION);
  EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(cursor->lp)), WM_MOUSEMOVE);
  // A window answering its own hit test gets the code it gave.
  handler = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_NCHITTEST) return false;
    r = HTOBJECT;
    return true;
  };
  m_host->PressMouse({200, 200});
  m_sys->ProcessMessages();
  EXPECT_EQ(Last(w, WM_NCLBUTTONDOWN)->wp, static_cast<WPARAM>(HTOBJECT));
}

TEST_F(WinTest, CaptureRoutesEverythingToTheCapturingWindow) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND b = MakeTop(WS_POPUP | WS_VISIBLE, {200, 0, 300, 100});
  m_sys->ProcessMessages();
  SetCapture(a);
  log.clear();
  m_host->MoveMouse({250, 50});
  m_host->Click({250, 50});
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(b, WM_MOUSEMOVE) + Count(b, WM_LBUTTONDOWN) + Count(b, WM_NCHITTEST), 0);
  EXPECT_EQ(Count(a, WM_LBUTTONDOWN), 1);
  // Coordinates are the capturing window's client coordinates, outside it too.
  EXPECT_EQ(LParamToPoint(Last(a, WM_LBUTTONUP)->lp), Point(250, 50));
  // Taking the capture tells the one that loses it.
  SetCapture(b);
  EXPECT_EQ(Count(a, WM_CAPTURECHANGED), 1);
  EXPECT_EQ(reinterpret_cast<HWND>(Last(a, WM_CAPTURECHANGED)->lp), b);
  ReleaseCapture();
  EXPECT_EQ(Count(b, WM_CAPTURECHANGED), 1);
  EXPECT_EQ(GetCapture(), nullptr);
  log.clear();
  m_host->Click({250, 50});
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(b, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(Count(a, WM_LBUTTONDOWN), 0);
}

TEST_F(WinTest, MouseLeaveComesOnceWhenThePointerLeaves) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND b = MakeTop(WS_POPUP | WS_VISIBLE, {100, 0, 200, 100});
  m_host->MoveMouse({50, 50});
  m_sys->ProcessMessages();
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = a;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  log.clear();
  m_host->MoveMouse({60, 50});
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(a, WM_MOUSELEAVE), 0);
  m_host->MoveMouse({150, 50});
  m_sys->ProcessMessages();
  m_host->MoveMouse({50, 50});
  m_host->MoveMouse({150, 50});
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(a, WM_MOUSELEAVE), 1);  // tracking ends with the notice
  EXPECT_EQ(Count(b, WM_MOUSELEAVE), 0);
  // Leaving every window for the desktop counts as well.
  tme.hwndTrack = b;
  TrackMouseEvent(&tme);
  m_host->LeaveWindows();
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(b, WM_MOUSELEAVE), 1);
}

TEST_F(WinTest, DoubleClicksNeedTheClassStyleTimeAndPlace) {
  HWND w = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  struct Case {
    const char* what;
    std::uint64_t gap;
    Point second;
    bool dbl;
  };
  const Case cases[] = {
      {"quick and close", 100, {51, 50}, true},
      {"too slow", 501, {50, 50}, false},
      {"too far", 100, {60, 50}, false},
  };
  for (const Case& c : cases) {
    m_host->AdvanceClock(1000);
    log.clear();
    m_host->Click({50, 50});
    m_sys->ProcessMessages();
    m_host->AdvanceClock(c.gap);
    m_host->Click(c.second);
    m_sys->ProcessMessages();
    EXPECT_EQ(Count(w, WM_LBUTTONDBLCLK), c.dbl ? 1 : 0) << c.what;
    EXPECT_EQ(Count(w, WM_LBUTTONDOWN), c.dbl ? 1 : 2) << c.what;
  }
}

TEST_F(WinTest, ActivationAndFocusMessagesInOrder) {
  HWND a = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  m_sys->ProcessMessages();
  HWND b = MakeTop(WS_POPUP, {200, 0, 300, 100});
  HWND edit = MakeChild(b, {10, 10, 50, 30});
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  log.clear();
  ShowWindow(b, SW_SHOW);
  std::vector<std::pair<HWND, UINT>> seq;
  for (const LoggedMessage& m : log)
    if (m.msg == WM_NCACTIVATE || m.msg == WM_ACTIVATE || m.msg == WM_SETFOCUS || m.msg == WM_KILLFOCUS)
      seq.push_back({m.hwnd, m.msg});
  std::vector<std::pair<HWND, UINT>> want = {{a, WM_NCACTIVATE}, {a, WM_ACTIVATE},
                                             {b, WM_NCACTIVATE}, {b, WM_ACTIVATE},
                                             {a, WM_KILLFOCUS},  {b, WM_SETFOCUS}};
  EXPECT_EQ(seq, want);
  EXPECT_EQ(LOWORD(Last(a, WM_ACTIVATE)->wp), WA_INACTIVE);
  EXPECT_EQ(LOWORD(Last(b, WM_ACTIVATE)->wp), WA_ACTIVE);
  // Focus inside the active window, remembered across a round trip.
  SetFocus(edit);
  EXPECT_EQ(GetFocus(), edit);
  SetActiveWindow(a);
  EXPECT_EQ(GetFocus(), a);
  SetActiveWindow(b);
  EXPECT_EQ(GetFocus(), edit);
  // Losing the desktop's focus to another program deactivates the application.
  log.clear();
  m_host->FocusOtherProgram();
  m_sys->ProcessMessages();
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(Count(edit, WM_KILLFOCUS), 1);
  const LoggedMessage* app = Last(a, WM_ACTIVATEAPP);
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(app->wp, static_cast<WPARAM>(FALSE));
}

TEST_F(WinTest, ClickActivatesUnlessTheWindowSaysNoActivate) {
  HWND main = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 300, 300});
  HWND popup = MakeTop(WS_POPUP, {50, 50, 150, 150}, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
  handler = [popup](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (h != popup || m != WM_MOUSEACTIVATE) return false;
    r = MA_NOACTIVATE;
    return true;
  };
  ShowWindow(popup, SW_SHOWNOACTIVATE);
  EXPECT_EQ(GetActiveWindow(), main);
  log.clear();
  m_host->Click({100, 100});
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(popup, WM_MOUSEACTIVATE), 1);
  EXPECT_EQ(Count(popup, WM_LBUTTONDOWN), 1);  // the click itself still arrives
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(Count(main, WM_NCACTIVATE), 0);
  // A no-activate window that gets the desktop's focus anyway gives it back.
  m_sys->OnHostFocus(popup->HostId(), true);
  m_sys->ProcessMessages();
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(m_host->FocusedWindow(), main->HostId());
}

TEST_F(WinTest, KeysGoToTheFocusAndControlKeysBecomeCharacters) {
  HWND w = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND edit = MakeChild(w, {0, 0, 50, 20});
  SetFocus(edit);
  log.clear();
  m_host->KeyDown(VK_SHIFT);
  m_host->Key('A');
  m_host->KeyUp(VK_SHIFT);
  m_host->TypeText("A爱");
  m_host->Key(VK_RETURN);
  m_host->KeyDown(VK_CONTROL);
  m_host->Key('C');
  m_host->KeyUp(VK_CONTROL);
  short shiftDuringA = 0;
  handler = [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m == WM_KEYDOWN && wp == 'A') shiftDuringA = GetKeyState(VK_SHIFT);
    return false;
  };
  m_sys->ProcessMessages();
  std::vector<WPARAM> chars;
  for (const LoggedMessage& m : log)
    if (m.msg == WM_CHAR && m.hwnd == edit) chars.push_back(m.wp);
  EXPECT_EQ(chars, (std::vector<WPARAM>{'A', 0x7231, '\r', 3}));
  EXPECT_TRUE(shiftDuringA & 0x8000);
  EXPECT_EQ(Count(w, WM_KEYDOWN), 0);
  EXPECT_EQ(Count(edit, WM_KEYDOWN), 5);
  // Alt makes system keys, and Alt+F4 closes the top-level window.
  m_host->KeyDown(VK_MENU);
  m_host->Key(VK_F4);
  m_host->KeyUp(VK_MENU);
  m_sys->ProcessMessages();
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(WinTest, ApplicationHookSeesAndConsumesKeysBeforeDispatch) {
  HWND w = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  std::vector<WPARAM> menuKeys;
  HHOOK hook = SetMessageHook([&](MSG& m) {
    if (m.message == WM_KEYDOWN) {
      menuKeys.push_back(m.wParam);
      return true;
    }
    return m.message == WM_MOUSEWHEEL;
  });
  log.clear();
  m_host->Key(VK_DOWN);
  m_host->Key(VK_RETURN);
  m_host->Wheel({50, 50}, -120);
  m_sys->ProcessMessages();
  EXPECT_EQ(menuKeys, (std::vector<WPARAM>{VK_DOWN, VK_RETURN}));
  EXPECT_EQ(Count(w, WM_KEYDOWN) + Count(w, WM_MOUSEWHEEL) + Count(w, WM_CHAR), 0);
  EXPECT_EQ(Count(w, WM_KEYUP), 2);
  UnhookMessageHook(hook);
  m_host->Wheel({50, 50}, -120);
  m_sys->ProcessMessages();
  ASSERT_EQ(Count(w, WM_MOUSEWHEEL), 1);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(Last(w, WM_MOUSEWHEEL)->wp), -120);
}

TEST_F(WinTest, CompositionIsAnnouncedThenTheResultComesAsCharacters) {
  HWND w = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  SetFocus(w);
  std::string shown;
  handler = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_IME_COMPOSITION) shown = GetCompositionText();
    return false;
  };
  log.clear();
  m_host->Compose(U"ai", 2);
  m_sys->ProcessMessages();
  EXPECT_EQ(shown, "ai");
  EXPECT_EQ(GetCompositionCursor(), 2);
  m_host->TypeText("爱");
  m_sys->ProcessMessages();
  EXPECT_EQ(Messages(w, {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION, WM_CHAR}),
            (Msgs{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION, WM_CHAR}));
  EXPECT_EQ(GetCompositionText(), "");
}

TEST_F(WinTest, DisabledOwnerRefusesClicksAndTheCursorSaysSo) {
  HWND owner = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 300, 300});
  HWND modal = MakeTop(WS_POPUP | WS_VISIBLE, {400, 0, 500, 100}, 0, owner);
  EnableWindow(owner, false);
  log.clear();
  m_host->Click({50, 50});
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(owner, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(static_cast<short>(LOWORD(static_cast<std::uintptr_t>(Last(owner, WM_SETCURSOR)->lp))), HTERROR);
  EXPECT_EQ(GetActiveWindow(), modal);
  EXPECT_GE(m_host->BeepCount(), 1);
}

TEST_F(WinTest, TransparentHitTestPassesToTheWindowBelow) {
  HWND below = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
  HWND above = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  handler = [above](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (h != above || m != WM_NCHITTEST) return false;
    r = HTTRANSPARENT;
    return true;
  };
  log.clear();
  m_host->Click({50, 50});
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(below, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(Count(above, WM_LBUTTONDOWN), 0);
}

TEST_F(WinTest, SetCursorPicksTheClassCursorOrTheSizingOnes) {
  WNDCLASS wc;
  wc.lpfnWndProc = &DefWindowProc;
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  wc.lpszClassName = "Beam";
  RegisterClass(&wc);
  HWND w = CreateWindowEx(0, "Beam", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  struct Case {
    Point p;
    int cursor;
  };
  for (Case c : {Case{{100, 100}, IDC_IBEAM}, Case{{1, 100}, IDC_SIZEWE}, Case{{100, 199}, IDC_SIZENS},
                 Case{{199, 199}, IDC_SIZENWSE}, Case{{199, 0}, IDC_SIZENESW}, Case{{100, 10}, IDC_ARROW}}) {
    m_host->MoveMouse(c.p);
    m_sys->ProcessMessages();
    EXPECT_EQ(m_host->CursorShape(), c.cursor) << c.p.x << "," << c.p.y;
  }
}

}  // namespace
