// Window lifecycle, procedures and messages: create and destroy order, chained procedures,
// re-entrant sends, posting, styles and frame changes, trees and coordinates.
#include "WinTestSupport.h"

namespace {

using Msgs = std::vector<UINT>;

TEST_F(WinTest, CreateSendsNcCreateCalcSizeCreateThenSizeAndMove) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW);
  ASSERT_TRUE(IsWindow(w));
  EXPECT_EQ(Messages(w), (Msgs{WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}));
  EXPECT_EQ(GetWindowText(w), "Top");
  EXPECT_FALSE(IsWindowVisible(w));
}

TEST_F(WinTest, CreateFailsWhenNcCreateOrCreateRefuses) {
  for (UINT refuse : {WM_NCCREATE, WM_CREATE}) {
    log.clear();
    handler = [refuse](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
      if (m != refuse) return false;
      r = refuse == WM_CREATE ? -1 : FALSE;
      return true;
    };
    HWND w = MakeTop();
    EXPECT_EQ(w, nullptr);
    // The half-made window was destroyed, with its destroy messages.
    EXPECT_EQ(Messages(nullptr, {WM_NCDESTROY}).size(), 1u);
  }
}

TEST_F(WinTest, DestroyGoesParentFirstForDestroyAndChildrenFirstForNcDestroy) {
  HWND top = MakeTop();
  HWND child = MakeChild(top, {10, 10, 50, 50});
  HWND grandchild = MakeChild(child, {1, 1, 5, 5});
  log.clear();
  DestroyWindow(top);
  std::vector<std::pair<HWND, UINT>> seq;
  for (const LoggedMessage& m : log)
    if (m.msg == WM_DESTROY || m.msg == WM_NCDESTROY) seq.push_back({m.hwnd, m.msg});
  std::vector<std::pair<HWND, UINT>> want = {{top, WM_DESTROY},        {child, WM_DESTROY},
                                             {grandchild, WM_DESTROY}, {grandchild, WM_NCDESTROY},
                                             {child, WM_NCDESTROY},    {top, WM_NCDESTROY}};
  EXPECT_EQ(seq, want);
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsWindow(grandchild));
  // Calls on a destroyed window fail quietly.
  EXPECT_EQ(SendMessage(child, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessage(child, WM_USER, 0, 0));
  EXPECT_FALSE(DestroyWindow(child));
}

TEST_F(WinTest, ChildCreateAndDestroyNotifyTheParent) {
  HWND top = MakeTop();
  HWND child = MakeChild(top, {0, 0, 10, 10}, WS_CHILD, 7);
  const LoggedMessage* m = Last(top, WM_PARENTNOTIFY);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(LOWORD(m->wp), WM_CREATE);
  EXPECT_EQ(HIWORD(m->wp), 7);
  EXPECT_EQ(reinterpret_cast<HWND>(m->lp), child);
  DestroyWindow(child);
  m = Last(top, WM_PARENTNOTIFY);
  EXPECT_EQ(LOWORD(m->wp), WM_DESTROY);
}

TEST_F(WinTest, WindowDestroyingItselfInsideItsProcedureIsSafe) {
  HWND w = MakeTop();
  bool after = false;
  handler = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_USER) return false;
    DestroyWindow(h);
    // The handle is dead but the call still returns to us; default processing is a no-op.
    after = !IsWindow(h) && DefWindowProc(h, WM_GETTEXTLENGTH, 0, 0) == 0;
    r = 5;
    return true;
  };
  EXPECT_EQ(SendMessage(w, WM_USER, 0, 0), 5);
  EXPECT_TRUE(after);
  EXPECT_FALSE(IsWindow(w));
}

struct Chain {
  static inline WNDPROC previous;
  static inline std::vector<std::string> calls;
  static LRESULT Outer(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER + 1) {
      calls.push_back("outer");
      return CallWindowProc(previous, h, m, w, l) + 100;
    }
    return CallWindowProc(previous, h, m, w, l);
  }
};

TEST_F(WinTest, TakenOverProcedureCallsThePreviousOne) {
  HWND w = MakeTop();
  handler = [](HWND, UINT m, WPARAM wp, LPARAM, LRESULT& r) {
    if (m != WM_USER + 1) return false;
    Chain::calls.push_back("inner");
    r = static_cast<LRESULT>(wp);
    return true;
  };
  Chain::calls.clear();
  Chain::previous = SetWindowLong(w, GWL_WNDPROC, &Chain::Outer);
  EXPECT_TRUE(Chain::previous == WNDPROC(&WinTest::LoggingProc));
  EXPECT_EQ(SendMessage(w, WM_USER + 1, 7, 0), 107);
  EXPECT_EQ(Chain::calls, (std::vector<std::string>{"outer", "inner"}));

  // A bound member taking over on top, then putting the chain back.
  int seen = 0;
  WNDPROC second = SetWindowLong(w, GWL_WNDPROC, WNDPROC(WindowProc::Callable(
      [&seen, prev = WNDPROC(&Chain::Outer)](HWND h, UINT m, WPARAM wp, LPARAM lp) {
        ++seen;
        return CallWindowProc(prev, h, m, wp, lp);
      })));
  EXPECT_TRUE(second == WNDPROC(&Chain::Outer));
  EXPECT_EQ(SendMessage(w, WM_USER + 1, 1, 0), 101);
  EXPECT_EQ(seen, 1);
  SetWindowLong(w, GWL_WNDPROC, second);
  SetWindowLong(w, GWL_WNDPROC, Chain::previous);
  EXPECT_EQ(SendMessage(w, WM_USER + 1, 3, 0), 3);
}

TEST_F(WinTest, SendIsReentrant) {
  HWND a = MakeTop();
  HWND b = MakeTop();
  handler = [&](HWND h, UINT m, WPARAM wp, LPARAM, LRESULT& r) {
    if (m != WM_USER) return false;
    // Each level asks the other window for one less, down to zero.
    r = wp == 0 ? 0 : 1 + SendMessage(h == a ? b : a, WM_USER, wp - 1, 0);
    return true;
  };
  EXPECT_EQ(SendMessage(a, WM_USER, 10, 0), 10);
  EXPECT_EQ(Count(a, WM_USER), 6);
  EXPECT_EQ(Count(b, WM_USER), 5);
}

TEST_F(WinTest, PostedMessagesArriveInOrderAndHooksSeeThemFirst) {
  HWND w = MakeTop();
  std::vector<WPARAM> hooked;
  HHOOK hook = SetMessageHook([&](MSG& m) {
    if (m.message != WM_USER) return false;
    hooked.push_back(m.wParam);
    return m.wParam == 2;  // consumed: never dispatched
  });
  for (WPARAM i = 1; i <= 3; ++i) PostMessage(w, WM_USER, i, 0);
  log.clear();
  m_sys->ProcessMessages();
  EXPECT_EQ(hooked, (std::vector<WPARAM>{1, 2, 3}));
  std::vector<WPARAM> got;
  for (const LoggedMessage& m : log)
    if (m.msg == WM_USER) got.push_back(m.wp);
  EXPECT_EQ(got, (std::vector<WPARAM>{1, 3}));
  EXPECT_TRUE(UnhookMessageHook(hook));
  EXPECT_FALSE(UnhookMessageHook(hook));
}

TEST_F(WinTest, QuitEndsTheLoopAfterPostedMessages) {
  HWND w = MakeTop();
  PostMessage(w, WM_USER, 0, 0);
  PostQuitMessage(3);
  EXPECT_EQ(m_sys->RunMessageLoop(), 3);
  EXPECT_EQ(Count(w, WM_USER), 1);
}

TEST_F(WinTest, RegisteredMessagesAreStablePerNameIgnoringCase) {
  UINT a = RegisterWindowMessage("TaskbarCreated");
  EXPECT_GE(a, 0xC000u);
  EXPECT_EQ(RegisterWindowMessage("taskbarcreated"), a);
  EXPECT_NE(RegisterWindowMessage("Other"), a);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

TEST_F(WinTest, TextRoundTripsThroughMessages) {
  HWND w = MakeTop();
  EXPECT_TRUE(SetWindowText(w, "爱 Kavri"));
  EXPECT_EQ(GetWindowText(w), "爱 Kavri");
  char small[4];
  EXPECT_EQ(GetWindowText(w, small, sizeof small), 3);
  EXPECT_STREQ(small, "\xE7\x88\xB1");
  EXPECT_EQ(GetWindowTextLength(w), 9);
}

TEST_F(WinTest, DefaultFrameGivesTheClientAreaInsideBordersAndCaption) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW, {0, 0, 300, 200});
  Rect client;
  GetClientRect(w, &client);
  EXPECT_EQ(client, Rect(0, 0, 300 - 8, 200 - 8 - 19));
  Point p{0, 0};
  ClientToScreen(w, &p);
  EXPECT_EQ(p, Point(4, 4 + 19));

  // Taking the caption and border off, then a frame change, recomputes the client area.
  log.clear();
  LONG_PTR style = GetWindowLong(w, GWL_STYLE);
  SetWindowLong(w, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME));
  EXPECT_EQ(Messages(w), (Msgs{WM_STYLECHANGING, WM_STYLECHANGED}));
  GetClientRect(w, &client);
  EXPECT_EQ(client.Width(), 292);  // nothing recomputed yet
  SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  GetClientRect(w, &client);
  EXPECT_EQ(client, Rect(0, 0, 300, 200));
  EXPECT_EQ(Count(w, WM_NCCALCSIZE), 1);
  EXPECT_EQ(Count(w, WM_SIZE), 1);
}

TEST_F(WinTest, WindowPosChangingMayAlterTheRequest) {
  HWND w = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  handler = [](HWND, UINT m, WPARAM, LPARAM lp, LRESULT&) {
    if (m == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(lp)->cx = 55;
    return false;
  };
  log.clear();
  MoveWindow(w, 10, 20, 200, 150, true);
  Rect r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Rect(10, 20, 65, 170));
  EXPECT_EQ(Messages(w, {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}),
            (Msgs{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
  const LoggedMessage* size = Last(w, WM_SIZE);
  EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(size->lp)), 55);
}

TEST_F(WinTest, ThickFrameWindowsKeepToTheirTrackingLimits) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 300});
  handler = [](HWND, UINT m, WPARAM, LPARAM lp, LRESULT&) {
    if (m == WM_GETMINMAXINFO) {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
      mmi->ptMinTrackSize = {150, 120};
      mmi->ptMaxTrackSize = {500, 400};
    }
    return false;
  };
  struct Case { int cx, cy, wantX, wantY; };
  for (Case c : {Case{10, 10, 150, 120}, Case{900, 900, 500, 400}, Case{200, 300, 200, 300}}) {
    SetWindowPos(w, nullptr, 0, 0, c.cx, c.cy, SWP_NOMOVE | SWP_NOZORDER);
    Rect r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.Width(), c.wantX) << c.cx;
    EXPECT_EQ(r.Height(), c.wantY) << c.cy;
  }
}

TEST_F(WinTest, CoordinatesMapThroughTheTree) {
  HWND top = MakeTop(WS_POPUP | WS_VISIBLE, {100, 50, 400, 350});
  HWND child = MakeChild(top, {10, 20, 110, 120}, WS_CHILD | WS_VISIBLE | WS_BORDER);
  HWND inner = MakeChild(child, {5, 5, 25, 25});
  Point p{0, 0};
  ClientToScreen(inner, &p);
  // top at (100,50), child at (10,20) with a 1-pixel border, inner at (5,5).
  EXPECT_EQ(p, Point(100 + 10 + 1 + 5, 50 + 20 + 1 + 5));
  Point q = p;
  ScreenToClient(inner, &q);
  EXPECT_EQ(q, Point(0, 0));
  Point pts[1] = {{3, 4}};
  MapWindowPoints(inner, top, pts, 1);
  EXPECT_EQ(pts[0], Point(3 + 16, 4 + 26));
  EXPECT_EQ(GetParent(inner), child);
  EXPECT_EQ(GetAncestor(inner, GA_ROOT), top);
  EXPECT_TRUE(IsChild(top, inner));
  EXPECT_FALSE(IsChild(inner, top));
  EXPECT_EQ(GetDlgItem(top, 1), child);
  std::vector<HWND> seen;
  EnumChildWindows(top, [&](HWND h) { seen.push_back(h); return true; });
  EXPECT_EQ(seen, (std::vector<HWND>{child, inner}));
}

TEST_F(WinTest, OwnedWindowsStayAboveTheirOwnerAndGoWithIt) {
  HWND owner = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND owned = MakeTop(WS_POPUP | WS_VISIBLE, {10, 10, 50, 50}, 0, owner);
  HWND other = MakeTop(WS_POPUP | WS_VISIBLE, {20, 20, 60, 60});
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  std::vector<HWND> z = m_sys->TopLevelWindows();
  ASSERT_EQ(z.size(), 3u);
  EXPECT_EQ(z[0], owned);
  EXPECT_EQ(z[1], owner);
  EXPECT_EQ(z[2], other);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(owned));
  EXPECT_TRUE(IsWindow(other));
}

TEST_F(WinTest, TopmostWindowsStayAboveTheRest) {
  HWND topmost = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 10, 10}, WS_EX_TOPMOST);
  HWND normal = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 10, 10});
  BringWindowToTop(normal);
  EXPECT_EQ(m_sys->TopLevelWindows().front(), topmost);
  SetWindowPos(topmost, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  BringWindowToTop(normal);
  EXPECT_EQ(m_sys->TopLevelWindows().front(), normal);
}

TEST_F(WinTest, ShowAndHideSendShowWindowAndPositionMessages) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW);
  log.clear();
  ShowWindow(w, SW_SHOW);
  EXPECT_EQ(Messages(w, {WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}),
            (Msgs{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(Last(w, WM_SHOWWINDOW)->wp, static_cast<WPARAM>(TRUE));
  ShowWindow(w, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_EQ(Last(w, WM_SHOWWINDOW)->wp, static_cast<WPARAM>(FALSE));
}

TEST_F(WinTest, MaximizeFillsTheWorkAreaAndRestoreBringsBackTheBounds) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
  ShowWindow(w, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(w));
  Rect r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Rect(0, 0, 1280, 760));  // the 40-pixel bar stays outside
  EXPECT_EQ(Last(w, WM_SIZE)->wp, SIZE_MAXIMIZED);
  ShowWindow(w, SW_RESTORE);
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Rect(100, 100, 400, 300));
  EXPECT_FALSE(IsZoomed(w));
}

TEST_F(WinTest, CloseDestroysByDefault) {
  HWND w = MakeTop();
  SendMessage(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(WinTest, MonitorInfoGivesScreenAndWorkArea) {
  HWND w = MakeTop();
  HMONITOR mon = MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info;
  ASSERT_TRUE(GetMonitorInfo(mon, &info));
  EXPECT_EQ(info.rcMonitor, Rect(0, 0, 1280, 800));
  EXPECT_EQ(info.rcWork, Rect(0, 0, 1280, 760));
  EXPECT_EQ(info.dwFlags, MONITORINFOF_PRIMARY);
  // A window far off the screen still finds the nearest monitor, unless asked not to.
  MoveWindow(w, 5000, 5000, 10, 10, false);
  EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), mon);
  EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 16);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetDoubleClickTime(), 500u);
  BOOL full = FALSE;
  EXPECT_TRUE(SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &full, 0));
  EXPECT_TRUE(full);
}

}  // namespace

namespace {

// A window procedure that calls the platform while the system shuts down must reach the
// system being shut down, not make a fresh one behind it.
TEST_F(WinTest, ShutdownDestroysWindowsWhileTheirSystemIsStillCurrent) {
  HWND top = MakeTop();
  WindowSystem* during = nullptr;
  handler = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (h == top && m == WM_DESTROY) during = &WindowSystem::Current();
    return false;
  };
  WindowSystem* before = &WindowSystem::Current();
  WindowSystem::Shutdown();
  EXPECT_EQ(during, before);
  EXPECT_FALSE(WindowSystem::HasCurrent());
}

}  // namespace
