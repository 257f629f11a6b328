// Painting: update regions, erase and paint order, the frame, RedrawWindow flags, device
// contexts clipped to regions and children, and what the host is shown.
#include "WinTestSupport.h"

namespace {

using Msgs = std::vector<UINT>;

constexpr Pixel White = MakePixel(255, 255, 255);

TEST_F(WinTest, InvalidationAccumulatesAndPaintValidates) {
  HWND w = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 200, 100});
  m_sys->ProcessMessages();
  Rect update;
  EXPECT_FALSE(GetUpdateRect(w, &update, false));
  Rect a{10, 10, 20, 20}, b{50, 40, 60, 45};
  InvalidateRect(w, &a, false);
  InvalidateRect(w, &b, true);
  ASSERT_TRUE(GetUpdateRect(w, &update, false));
  EXPECT_EQ(update, Rect(10, 10, 60, 45));
  Rect painted;
  bool erased = false;
  handler = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m == WM_ERASEBKGND) erased = true;
    if (m != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    painted = ps.rcPaint;
    // Only the update region can be drawn on.
    EXPECT_TRUE(dc->PtVisible({15, 15}));
    EXPECT_TRUE(dc->PtVisible({55, 42}));
    EXPECT_FALSE(dc->PtVisible({30, 30}));
    EndPaint(h, &ps);
    r = 0;
    return true;
  };
  log.clear();
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(w, WM_PAINT), 1);
  EXPECT_TRUE(erased);
  EXPECT_EQ(painted, Rect(10, 10, 60, 45));
  EXPECT_FALSE(GetUpdateRect(w, &update, false));
  // Nothing more to paint: no further WM_PAINT.
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(w, WM_PAINT), 1);
}

TEST_F(WinTest, FramedWindowGetsNcPaintThenPaintWithEraseInside) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW, {0, 0, 200, 150});
  log.clear();
  ShowWindow(w, SW_SHOW);
  m_sys->ProcessMessages();
  // The erase is sent by BeginPaint, from inside the paint message.
  EXPECT_EQ(Messages(w, {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}), (Msgs{WM_NCPAINT, WM_PAINT, WM_ERASEBKGND}));
  // The class background went into the client area; the caption is the active colour.
  const Bitmap& px = w->Backing();
  EXPECT_EQ(px.At(100, 100), White);
  EXPECT_EQ(px.At(100, 10), ColorToPixel(GetSysColor(2)));
}

TEST_F(WinTest, RedrawWindowFlags) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 150});
  m_sys->ProcessMessages();
  struct Case {
    UINT flags;
    Msgs want;
  };
  const Case cases[] = {
      {RDW_INVALIDATE | RDW_UPDATENOW, {WM_PAINT}},
      {RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW, {WM_PAINT, WM_ERASEBKGND}},
      {RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW, {WM_NCPAINT, WM_PAINT}},
      {RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ERASENOW, {WM_NCPAINT, WM_ERASEBKGND}},
      {RDW_INTERNALPAINT | RDW_UPDATENOW, {WM_PAINT}},
  };
  for (const Case& c : cases) {
    log.clear();
    RedrawWindow(w, nullptr, nullptr, c.flags);
    EXPECT_EQ(Messages(w, {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}), c.want) << std::hex << c.flags;
    m_sys->ProcessMessages();  // whatever was left
  }
  // Invalidate then validate leaves nothing to paint.
  log.clear();
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE);
  RedrawWindow(w, nullptr, nullptr, RDW_VALIDATE);
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(w, WM_PAINT), 0);
}

TEST_F(WinTest, ChildrenPaintAfterTheirParentAndInvalidationReachesThem) {
  HWND top = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
  HWND child = MakeChild(top, {50, 50, 100, 100});
  m_sys->ProcessMessages();
  log.clear();
  Rect over{60, 60, 70, 70};
  InvalidateRect(top, &over, true);
  m_sys->ProcessMessages();
  std::vector<HWND> order;
  for (const LoggedMessage& m : log)
    if (m.msg == WM_PAINT) order.push_back(m.hwnd);
  EXPECT_EQ(order, (std::vector<HWND>{top, child}));
  // With clip-children the parent's invalidation stops at the child.
  SetWindowLong(top, GWL_STYLE, GetWindowLong(top, GWL_STYLE) | WS_CLIPCHILDREN);
  log.clear();
  InvalidateRect(top, &over, true);
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(child, WM_PAINT), 0);
  EXPECT_EQ(Count(top, WM_PAINT), 1);
}

TEST_F(WinTest, ClientContextIsClippedToRegionChildrenAndParent) {
  HWND top = MakeTop(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, {0, 0, 100, 100});
  HWND child = MakeChild(top, {20, 20, 60, 60});
  HWND sticking = MakeChild(top, {80, 80, 150, 150});
  m_sys->ProcessMessages();
  HDC dc = GetDC(top);
  dc->FillRect({0, 0, 100, 100}, clRed);
  ReleaseDC(top, dc);
  const Bitmap& px = top->Backing();
  EXPECT_EQ(px.At(10, 10), ColorToPixel(clRed));
  EXPECT_EQ(px.At(30, 30), White);  // the child's area is left alone
  EXPECT_EQ(px.At(85, 85), White);

  dc = GetDC(sticking);
  dc->FillRect({0, 0, 70, 70}, clBlue);
  ReleaseDC(sticking, dc);
  EXPECT_EQ(px.At(99, 99), ColorToPixel(clBlue));  // inside the parent only

  // A region narrows what the window may draw on and what is shown of it.
  SetWindowRgn(child, CreateRectRgn(0, 0, 10, 10), true);
  m_sys->ProcessMessages();
  dc = GetDC(child);
  dc->FillRect({0, 0, 40, 40}, clLime);
  ReleaseDC(child, dc);
  EXPECT_EQ(px.At(25, 25), ColorToPixel(clLime));
  EXPECT_NE(px.At(45, 45), ColorToPixel(clLime));
}

TEST_F(WinTest, WindowContextCoversTheFrameAndClientContextDoesNot) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 120, 100});
  m_sys->ProcessMessages();
  HDC wdc = GetWindowDC(w);
  EXPECT_TRUE(wdc->PtVisible({1, 1}));
  EXPECT_EQ(wdc->ClipBox(), Rect(0, 0, 120, 100));
  ReleaseDC(w, wdc);
  HDC cdc = GetDC(w);
  EXPECT_EQ(cdc->ClipBox(), Rect(0, 0, 112, 100 - 8 - 19));
  EXPECT_FALSE(cdc->PtVisible({-1, -1}));
  ReleaseDC(w, cdc);
}

TEST_F(WinTest, CopyingFromAClientContextReadsWhatIsShown) {
  HWND w = MakeTop(WS_POPUP | WS_VISIBLE, {10, 10, 60, 60});
  m_sys->ProcessMessages();
  HDC dc = GetDC(w);
  dc->FillRect({5, 5, 10, 10}, clNavy);
  Bitmap copy(20, 20);
  DC mem(copy);
  mem.BitBlt(0, 0, 20, 20, *dc, 0, 0, SRCCOPY);
  ReleaseDC(w, dc);
  EXPECT_EQ(copy.At(6, 6), ColorToPixel(clNavy));
  EXPECT_EQ(copy.At(1, 1), White);
}

TEST_F(WinTest, PresentedPixelsReachTheScreenWithRegionsAndOpacity) {
  HWND w = MakeTop(WS_POPUP | WS_VISIBLE, {100, 100, 200, 200}, WS_EX_LAYERED);
  m_sys->ProcessMessages();
  Bitmap shot = m_host->Screenshot();
  EXPECT_EQ(shot.At(150, 150), White);
  EXPECT_EQ(shot.At(50, 50), HeadlessHost::DesktopPixel);
  EXPECT_EQ(shot.At(10, 790), HeadlessHost::BarPixel);

  // Outside the region the desktop shows through, on screen and for the mouse.
  SetWindowRgn(w, CreateRectRgn(0, 0, 50, 100), true);
  m_sys->ProcessMessages();
  shot = m_host->Screenshot();
  EXPECT_EQ(shot.At(120, 150), White);
  EXPECT_EQ(shot.At(170, 150), HeadlessHost::DesktopPixel);
  ASSERT_NE(m_host->HostWindow(w->HostId()), nullptr);
  EXPECT_TRUE(m_host->HostWindow(w->HostId())->shape.has_value());

  SetLayeredWindowAttributes(w, 0, 128, LWA_ALPHA);
  shot = m_host->Screenshot();
  Pixel p = shot.At(120, 150);
  EXPECT_NEAR(PixelR(p), (255 * 128 + 0 * 127) / 255, 1);
  EXPECT_NEAR(PixelG(p), (255 * 128 + 128 * 127) / 255, 1);
  // Without the layered style the attributes are refused.
  HWND plain = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 10, 10});
  EXPECT_FALSE(SetLayeredWindowAttributes(plain, 0, 10, LWA_ALPHA));
}

TEST_F(WinTest, HiddenWindowsCollectNoPaint) {
  HWND w = MakeTop(WS_POPUP, {0, 0, 50, 50});
  InvalidateRect(w, nullptr, true);
  log.clear();
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(w, WM_PAINT), 0);
}

TEST_F(WinTest, MovingAChildRepaintsWhatItUncovered) {
  HWND top = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
  HWND child = MakeChild(top, {10, 10, 50, 50});
  m_sys->ProcessMessages();
  log.clear();
  MoveWindow(child, 100, 100, 40, 40, true);
  Rect update;
  ASSERT_TRUE(GetUpdateRect(top, &update, false));
  EXPECT_TRUE(update.Contains(Rect(10, 10, 50, 50)));
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(top, WM_PAINT), 1);
  EXPECT_EQ(Count(child, WM_PAINT), 1);
}

TEST_F(WinTest, CaretBlinksByInvertingItsPixels) {
  HWND w = MakeTop(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  m_sys->ProcessMessages();
  SetFocus(w);
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 10));
  SetCaretPos(20, 20);
  ShowCaret(w);
  const Bitmap& px = w->Backing();
  EXPECT_EQ(px.At(20, 20), MakePixel(0, 0, 0));  // white inverted
  m_host->AdvanceClock(GetCaretBlinkTime());
  EXPECT_EQ(px.At(20, 20), White);
  m_host->AdvanceClock(GetCaretBlinkTime());
  EXPECT_EQ(px.At(20, 20), MakePixel(0, 0, 0));
  // Painting hides the caret and puts it back, so it never smears.
  InvalidateRect(w, nullptr, true);
  m_sys->ProcessMessages();
  EXPECT_EQ(px.At(20, 20), MakePixel(0, 0, 0));
  EXPECT_EQ(px.At(22, 20), White);
  DestroyCaret();
  EXPECT_EQ(px.At(20, 20), White);
}

}  // namespace
