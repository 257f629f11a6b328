// Shared set-up for the window system tests: a fresh headless window system per test and
// a window class whose procedure logs the messages it sees.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"

struct LoggedMessage {
  HWND hwnd;
  UINT msg;
  WPARAM wp;
  LPARAM lp;
};

class WinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto host = std::make_unique<HeadlessHost>();
    m_host = host.get();
    m_sys = &WindowSystem::Install(std::move(host));
    s_current = this;
    WNDCLASS wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &WinTest::LoggingProc;
    wc.hbrBackground = clWhite;
    wc.lpszClassName = "TestWindow";
    ASSERT_TRUE(RegisterClass(&wc));
  }
  void TearDown() override {
    WindowSystem::Shutdown();
    s_current = nullptr;
  }

  static LRESULT LoggingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WinTest* t = s_current;
    if (t) {
      t->log.push_back({hwnd, msg, wp, lp});
      if (t->handler) {
        LRESULT result = 0;
        if (t->handler(hwnd, msg, wp, lp, result)) return result;
      }
    }
    return DefWindowProc(hwnd, msg, wp, lp);
  }

  HWND MakeTop(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, Rect r = {100, 100, 400, 300},
               DWORD exStyle = 0, HWND owner = nullptr) {
    return CreateWindowEx(exStyle, "TestWindow", "Top", style, r.left, r.top, r.Width(),
                          r.Height(), owner, nullptr);
  }
  HWND MakeChild(HWND parent, Rect r, DWORD style = WS_CHILD | WS_VISIBLE, int id = 1) {
    return CreateWindowEx(0, "TestWindow", "Child", style, r.left, r.top, r.Width(), r.Height(),
                          parent, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)));
  }

  // The messages logged for `hwnd` (all windows when nullptr), only those in `only` when
  // that is not empty.
  std::vector<UINT> Messages(HWND hwnd = nullptr, std::vector<UINT> only = {}) const {
    std::vector<UINT> out;
    for (const LoggedMessage& m : log) {
      if (hwnd && m.hwnd != hwnd) continue;
      if (!only.empty() && std::find(only.begin(), only.end(), m.msg) == only.end()) continue;
      out.push_back(m.msg);
    }
    return out;
  }
  int Count(HWND hwnd, UINT msg) const {
    int n = 0;
    for (const LoggedMessage& m : log)
      if (m.hwnd == hwnd && m.msg == msg) ++n;
    return n;
  }
  const LoggedMessage* Last(HWND hwnd, UINT msg) const {
    for (auto it = log.rbegin(); it != log.rend(); ++it)
      if (it->hwnd == hwnd && it->msg == msg) return &*it;
    return nullptr;
  }

  HeadlessHost* m_host = nullptr;
  WindowSystem* m_sys = nullptr;
  std::vector<LoggedMessage> log;
  // Called for every message before default processing; return true to answer it with
  // `result` instead.
  std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> handler;

  static inline WinTest* s_current = nullptr;
};
