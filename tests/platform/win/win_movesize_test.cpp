// The default move and size loops: message order, changes made in WM_MOVING and WM_SIZING,
// tracking limits, cancelling, caption double-click and caption buttons.
#include "WinTestSupport.h"
#include "platform/win/DefaultFrame.h"

namespace {

using Msgs = std::vector<UINT>;

class WinMoveSizeTest : public WinTest {
 protected:
  // Presses at `from`, drags through `to` and releases there, all queued before the loop.
  void Drag(Point from, Point to) {
    m_host->PressMouse(from);
    m_host->MoveMouse({(from.x + to.x) / 2, (from.y + to.y) / 2});
    m_host->MoveMouse(to);
    m_host->ReleaseMouse(to);
    m_sys->ProcessMessages();
  }
  Rect Bounds(HWND w) {
    Rect r;
    GetWindowRect(w, &r);
    return r;
  }
};

TEST_F(WinMoveSizeTest, CaptionDragMovesTheWindowWithEnterAndExitAround) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
  m_sys->ProcessMessages();
  log.clear();
  Drag({200, 110}, {260, 150});
  EXPECT_EQ(Bounds(w), Rect(160, 140, 460, 340));
  Msgs seq = Messages(w, {WM_ENTERSIZEMOVE, WM_MOVING, WM_EXITSIZEMOVE});
  ASSERT_GE(seq.size(), 3u);
  EXPECT_EQ(seq.front(), WM_ENTERSIZEMOVE);
  EXPECT_EQ(seq.back(), WM_EXITSIZEMOVE);
  EXPECT_EQ(Count(w, WM_NCLBUTTONDOWN), 1);
  // The loop ate the button release; the window follows during the drag (full drag).
  EXPECT_EQ(Count(w, WM_LBUTTONUP) + Count(w, WM_NCLBUTTONUP), 0);
  EXPECT_GE(Count(w, WM_MOVE), 1);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinMoveSizeTest, MovingRectangleChangedByTheWindowIsHonoured) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
  // Snap to the work area's left edge within 5 pixels, as a magnetic frame does.
  handler = [](HWND, UINT m, WPARAM, LPARAM lp, LRESULT&) {
    if (m != WM_MOVING) return false;
    auto* r = reinterpret_cast<Rect*>(lp);
    if (r->left > -5 && r->left < 5) *r = r->Translated(-r->left, 0);
    return false;
  };
  Drag({200, 110}, {104, 110});  // would put the left edge at 4
  EXPECT_EQ(Bounds(w).left, 0);
  Drag({100, 110}, {105, 110});  // left edge at 5: no snap
  EXPECT_EQ(Bounds(w).left, 5);
}

TEST_F(WinMoveSizeTest, SizingAppliesLimitsThenTheWindowsChange) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
  std::vector<WPARAM> edges;
  handler = [&](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT&) {
    if (m == WM_GETMINMAXINFO) {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
      mmi->ptMinTrackSize = {200, 150};
      mmi->ptMaxTrackSize = {500, 400};
    }
    if (m == WM_SIZING) {
      edges.push_back(wp);
      auto* r = reinterpret_cast<Rect*>(lp);
      // Keep the width even.
      r->right -= r->Width() % 2;
    }
    return false;
  };
  struct Case {
    const char* what;
    Point from, to;
    Rect want;
    WPARAM edge;
  };
  const Case cases[] = {
      {"right edge wider, made even", {399, 200}, {450, 200}, {100, 100, 450, 300}, WMSZ_RIGHT},
      {"right edge past max", {449, 200}, {900, 200}, {100, 100, 600, 300}, WMSZ_RIGHT},
      {"left edge past min", {100, 200}, {550, 200}, {400, 100, 600, 300}, WMSZ_LEFT},
      {"bottom-right corner past max height", {599, 299}, {700, 600}, {400, 100, 700, 500}, WMSZ_BOTTOMRIGHT},
      {"top edge below min", {500, 100}, {500, 480}, {400, 350, 700, 500}, WMSZ_TOP},
  };
  for (const Case& c : cases) {
    edges.clear();
    Drag(c.from, c.to);
    EXPECT_EQ(Bounds(w), c.want) << c.what;
    ASSERT_FALSE(edges.empty()) << c.what;
    EXPECT_EQ(edges.back(), c.edge) << c.what;
  }
}

TEST_F(WinMoveSizeTest, EscapeCancelsAndPutsTheWindowBack) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
  m_host->PressMouse({200, 110});
  m_host->MoveMouse({300, 300});
  m_host->Key(VK_ESCAPE);
  m_sys->ProcessMessages();
  EXPECT_EQ(Bounds(w), Rect(100, 100, 400, 300));
  EXPECT_EQ(Count(w, WM_EXITSIZEMOVE), 1);
  m_host->ReleaseMouse({300, 300});
  m_sys->ProcessMessages();
}

TEST_F(WinMoveSizeTest, CaptionDoubleClickMaximizesAndRestores) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
  m_host->Click({200, 110});
  m_host->Click({200, 110});
  m_sys->ProcessMessages();
  EXPECT_EQ(Count(w, WM_NCLBUTTONDBLCLK), 1);
  EXPECT_TRUE(IsZoomed(w));
  m_host->AdvanceClock(1000);
  m_host->Click({200, 10});
  m_host->Click({200, 10});
  m_sys->ProcessMessages();
  EXPECT_FALSE(IsZoomed(w));
  EXPECT_EQ(Bounds(w), Rect(100, 100, 400, 300));
}

TEST_F(WinMoveSizeTest, CloseButtonRunsOnlyWhenReleasedOverIt) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
  FrameStyle fs{WS_OVERLAPPEDWINDOW, 0, false};
  Rect close = FrameButtonRect(fs, {300, 200}, HTCLOSE).Translated(100, 100);
  Point on{close.left + 3, close.top + 3};
  // Pressed, moved off and released elsewhere: nothing happens.
  m_host->PressMouse(on);
  m_host->MoveMouse({200, 200});
  m_host->ReleaseMouse({200, 200});
  m_sys->ProcessMessages();
  EXPECT_TRUE(IsWindow(w));
  EXPECT_EQ(Count(w, WM_SYSCOMMAND), 0);
  m_host->AdvanceClock(1000);
  m_host->Click(on);
  m_sys->ProcessMessages();
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(WinMoveSizeTest, AWindowAnsweringWithTheObjectCodeGetsNoMoveLoop) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
  handler = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_NCHITTEST) return false;
    r = HTOBJECT;
    return true;
  };
  Drag({200, 110}, {300, 200});
  EXPECT_EQ(Bounds(w), Rect(100, 100, 400, 300));
  EXPECT_EQ(Count(w, WM_ENTERSIZEMOVE), 0);
  EXPECT_EQ(Count(w, WM_NCLBUTTONUP), 1);
}

}  // namespace
