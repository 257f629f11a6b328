// What comes from the desktop beyond input: a hidden window mapped again from outside,
// the desktop going away, termination signals, and line ends on the shared clipboard.
#include <signal.h>

#include "WinTestSupport.h"
#include "platform/sys/EndSignals.h"

namespace {

constexpr Pixel Black = MakePixel(0, 0, 0);
constexpr Pixel White = MakePixel(255, 255, 255);

// A minimized window that something outside maps again (no window manager keeps it
// hidden) is restored and shows every pixel again, its frame included.
TEST_F(WinTest, AMinimizedWindowMappedFromOutsideRepaintsWhole) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 300, 250});
  m_sys->ProcessMessages();
  const Bitmap before = m_host->Screenshot();
  ShowWindow(w, SW_MINIMIZE);
  m_sys->ProcessMessages();
  ASSERT_TRUE(IsIconic(w));
  EXPECT_EQ(m_host->Screenshot().At(200, 200), HeadlessHost::DesktopPixel);

  m_host->MapFromOutside(w->HostId());
  EXPECT_EQ(m_host->Screenshot().At(200, 200), Black);  // nothing presented yet
  m_sys->ProcessMessages();
  EXPECT_FALSE(IsIconic(w));
  const Bitmap after = m_host->Screenshot();
  int differing = 0, black = 0;
  for (int y = 100; y < 250; ++y)
    for (int x = 100; x < 300; ++x) {
      differing += after.At(x, y) != before.At(x, y);
      black += after.At(x, y) == Black;
    }
  EXPECT_EQ(differing, 0);
  EXPECT_LT(black, 200 * 150 / 10);  // the frame's dark lines at most
  EXPECT_EQ(after.At(200, 200), White);
  EXPECT_EQ(after.At(320, 200), HeadlessHost::DesktopPixel);
  EXPECT_GE(Count(w, WM_PAINT), 2);
}

// Restoring a minimized window from the program presents it whole as well.
TEST_F(WinTest, RestoringAMinimizedWindowPresentsItWhole) {
  HWND w = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 300, 250});
  m_sys->ProcessMessages();
  ShowWindow(w, SW_MINIMIZE);
  m_sys->ProcessMessages();
  const int presents = m_host->HostWindow(w->HostId())->presents;
  ShowWindow(w, SW_RESTORE);
  m_sys->ProcessMessages();
  const HeadlessHost::WindowState* s = m_host->HostWindow(w->HostId());
  EXPECT_GT(s->presents, presents);
  EXPECT_EQ(m_host->Screenshot().At(200, 200), White);
}

// Without a desktop every loop ends with WM_QUIT (code 1), nested ones first, and no
// message box is tried.
TEST_F(WinTest, LosingTheDisplayEndsEveryLoopAndShowsNoBox) {
  HWND w = MakeTop();
  m_sys->ProcessMessages();
  int boxAnswer = -1;
  bool lostDuringBox = false;
  m_host->SetIdleHandler([&] {
    if (lostDuringBox) return false;
    lostDuringBox = true;
    m_host->LoseDisplay();
    return true;
  });
  boxAnswer = MessageBox(w, "first", "Box", MB_OK);
  EXPECT_TRUE(lostDuringBox);
  EXPECT_EQ(boxAnswer, 0);
  EXPECT_TRUE(m_sys->DisplayLost());
  EXPECT_TRUE(m_sys->QuitPending());
  // A second box is not even made.
  const std::size_t windows = m_sys->TopLevelWindows().size();
  EXPECT_EQ(MessageBox(w, "second", "Box", MB_OK), 0);
  EXPECT_EQ(m_sys->TopLevelWindows().size(), windows);
  EXPECT_EQ(m_sys->RunMessageLoop(), 1);
}

// A termination signal reaches the handler inside the loop, not in signal context; with
// no handler it ends the loop.
TEST_F(WinTest, EndSignalsArriveThroughTheLoop) {
  ASSERT_TRUE(WatchEndSignals());
  ASSERT_GE(EndSignalDescriptor(), 0);
  HWND w = MakeTop();
  std::vector<int> seen;
  m_sys->SetEndRequestHandler([&](int signal) {
    seen.push_back(signal);
    PostMessage(w, WM_CLOSE, 0, 0);
  });
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    const std::size_t before = seen.size();
    ASSERT_EQ(::raise(signal), 0);
    EXPECT_EQ(seen.size(), before);  // nothing ran in the signal handler
    m_sys->ProcessMessages();
    ASSERT_EQ(seen.size(), before + 1);
    EXPECT_EQ(seen.back(), signal);
  }
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_FALSE(IsWindow(w));  // the default procedure destroyed it on WM_CLOSE
  EXPECT_EQ(TakeEndSignal(), 0);

  m_sys->SetEndRequestHandler(nullptr);
  ASSERT_EQ(::raise(SIGTERM), 0);
  EXPECT_FALSE(m_sys->ProcessMessages());
  EXPECT_TRUE(m_sys->QuitPending());
}

// Text copied leaves with LF line ends; LF text from other programs arrives with CR LF.
TEST_F(WinTest, ClipboardLineEndsFollowTheDesktop) {
  struct Case {
    const char* inside;
    const char* desktop;
  };
  for (const Case& c : {Case{"a\r\nb\r\n", "a\nb\n"}, Case{"爱  \r\n  爱", "爱  \n  爱"}, Case{"\r\n\r\n", "\n\n"},
                        Case{"one", "one"}, Case{"lone\rcr", "lone\rcr"}}) {
    ASSERT_TRUE(SetClipboardText(c.inside));
    EXPECT_EQ(m_host->ClipboardText(), c.desktop);
    EXPECT_EQ(GetClipboardText(), c.inside);
  }
  m_host->SetClipboardText("x\r\ny\nz");
  EXPECT_EQ(GetClipboardText(), "x\r\ny\r\nz");
}

}  // namespace
