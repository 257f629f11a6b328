// Timers on the headless host's virtual clock: order, intervals, replacement and removal.
#include "WinTestSupport.h"

namespace {

std::vector<std::pair<UINT_PTR, DWORD>> g_procFired;
void TimerProc(HWND, UINT, UINT_PTR id, DWORD time) { g_procFired.push_back({id, time}); }

TEST_F(WinTest, TimersFireInTheOrderTheyFallDue) {
  HWND w = MakeTop(WS_POPUP, {0, 0, 10, 10});
  std::vector<std::pair<UINT_PTR, DWORD>> fired;
  handler = [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m == WM_TIMER) fired.push_back({wp, GetTickCount()});
    return false;
  };
  SetTimer(w, 1, 50, nullptr);
  SetTimer(w, 2, 20, nullptr);
  SetTimer(w, 3, 25, nullptr);
  m_host->AdvanceClock(100);
  // Timers due at the same moment fire in the order they were last set going.
  std::vector<std::pair<UINT_PTR, DWORD>> want = {
      {2, 20}, {3, 25}, {2, 40}, {1, 50}, {3, 50}, {2, 60}, {3, 75}, {2, 80}, {1, 100}, {3, 100}, {2, 100}};
  EXPECT_EQ(fired, want);
}

TEST_F(WinTest, ResettingATimerRestartsItAndKillingStopsIt) {
  HWND w = MakeTop(WS_POPUP, {0, 0, 10, 10});
  int count = 0;
  handler = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_TIMER) ++count;
    return false;
  };
  EXPECT_EQ(SetTimer(w, 9, 100, nullptr), 9u);
  m_host->AdvanceClock(90);
  SetTimer(w, 9, 100, nullptr);  // same window and id: replaced, starting again
  m_host->AdvanceClock(90);
  EXPECT_EQ(count, 0);
  m_host->AdvanceClock(10);
  EXPECT_EQ(count, 1);
  EXPECT_TRUE(KillTimer(w, 9));
  EXPECT_FALSE(KillTimer(w, 9));
  m_host->AdvanceClock(1000);
  EXPECT_EQ(count, 1);
}

TEST_F(WinTest, TimersDoNotPileUpWhileTheLoopIsBusy) {
  HWND w = MakeTop(WS_POPUP, {0, 0, 10, 10});
  int count = 0;
  bool first = true;
  handler = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_USER && first) {
      first = false;
      m_host->WaitEvents(500);  // half a second of virtual time passes inside one handler
    }
    if (m == WM_TIMER) ++count;
    return false;
  };
  SetTimer(w, 1, 10, nullptr);
  PostMessage(w, WM_USER, 0, 0);
  m_sys->ProcessMessages();
  EXPECT_EQ(count, 1);  // one message, not fifty
}

TEST_F(WinTest, TimersWithoutWindowGetTheirOwnIdsAndCallTheirProcedure) {
  g_procFired.clear();
  UINT_PTR a = SetTimer(nullptr, 0, 30, &TimerProc);
  UINT_PTR b = SetTimer(nullptr, 0, 40, &TimerProc);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  m_host->AdvanceClock(80);
  std::vector<std::pair<UINT_PTR, DWORD>> want = {{a, 30}, {b, 40}, {a, 60}, {b, 80}};
  EXPECT_EQ(g_procFired, want);
  KillTimer(nullptr, a);
  KillTimer(nullptr, b);
}

TEST_F(WinTest, DestroyingAWindowKillsItsTimersAndPostedMessages) {
  HWND w = MakeTop(WS_POPUP, {0, 0, 10, 10});
  SetTimer(w, 1, 10, nullptr);
  PostMessage(w, WM_USER, 0, 0);
  DestroyWindow(w);
  EXPECT_EQ(m_sys->NextTimerDue(), -1);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WinTest, WaitingForeverWithNothingToComeIsAnErrorOnTheHeadlessHost) {
  MSG msg;
  EXPECT_THROW(GetMessage(&msg, nullptr, 0, 0), std::runtime_error);
}

}  // namespace
