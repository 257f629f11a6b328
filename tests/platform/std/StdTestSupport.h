// Shared set-up for the standard control tests: a fresh headless window system with the
// controls registered, a parent window that records WM_COMMAND notifications, and helpers.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/std/StdControls.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"

class StdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto host = std::make_unique<HeadlessHost>();
    m_host = host.get();
    WindowSystem::Install(std::move(host));
    s_current = this;
    RegisterStdControls();
    WNDCLASS wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &StdTest::ParentProc;
    wc.hbrBackground = clBtnFace;
    wc.lpszClassName = "StdTestParent";
    ASSERT_TRUE(RegisterClass(&wc));
    m_parent = CreateWindowEx(0, "StdTestParent", "Parent", WS_POPUP | WS_VISIBLE, 50, 50, 700,
                              600, nullptr, nullptr);
    ASSERT_TRUE(m_parent);
    Pump();
  }
  void TearDown() override {
    WindowSystem::Shutdown();
    s_current = nullptr;
  }

  static LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    StdTest* t = s_current;
    if (t && msg == WM_COMMAND) t->commands.push_back({LOWORD(wp), HIWORD(wp)});
    if (t && t->handler) {
      LRESULT result = 0;
      if (t->handler(hwnd, msg, wp, lp, result)) return result;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
  }

  HWND MakeEdit(DWORD style, Rect r, const char* text = "", DWORD exStyle = 0, int id = 7) {
    return CreateWindowEx(exStyle, kEditClassName, text, WS_CHILD | WS_VISIBLE | style, r.left,
                          r.top, r.Width(), r.Height(), m_parent,
                          reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)));
  }
  HWND MakeList(DWORD style, Rect r, int id = 9) {
    return CreateWindowEx(0, kListBoxClassName, "", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                          r.Width(), r.Height(), m_parent,
                          reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)));
  }

  void Pump() { m_host->Pump(); }
  // A point in the control's client area, in screen coordinates.
  Point Screen(HWND hwnd, Point client) {
    ClientToScreen(hwnd, &client);
    return client;
  }
  void ClickAt(HWND hwnd, Point client) {
    m_host->Click(Screen(hwnd, client));
    Pump();
  }
  void Type(std::string_view utf8) {
    m_host->TypeText(utf8);
    Pump();
  }
  void Press(int vk) {
    m_host->Key(vk);
    Pump();
  }
  void Chord(int modifier, int vk) {
    m_host->KeyDown(modifier);
    m_host->Key(vk);
    m_host->KeyUp(modifier);
    Pump();
  }
  std::string Text(HWND hwnd) { return GetWindowText(hwnd); }
  std::pair<int, int> Sel(HWND hwnd) {
    DWORD a = 0, b = 0;
    SendMessage(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {static_cast<int>(a), static_cast<int>(b)};
  }
  int CountCommands(WORD code) const {
    int n = 0;
    for (const auto& c : commands)
      if (c.second == code) ++n;
    return n;
  }

  HeadlessHost* m_host = nullptr;
  HWND m_parent = nullptr;
  std::vector<std::pair<WORD, WORD>> commands;  // (id, notification)
  std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> handler;
  static inline StdTest* s_current = nullptr;
};
