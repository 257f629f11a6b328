// Shared set-up for the page view tests: a headless window system with one page view
// filling a top-level window, event recording, waiting for loads and reading pixels.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/web/PageView.h"
#include "platform/web/Url.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"

class WebTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 400;
  static constexpr int kHeight = 300;

  void SetUp() override {
    auto host = std::make_unique<HeadlessHost>();
    m_host = host.get();
    WindowSystem::Install(std::move(host));
    RegisterPageViewClass();
    WNDCLASS wc;
    wc.lpfnWndProc = &DefWindowProc;
    wc.hbrBackground = clWhite;
    wc.lpszClassName = "WebTestTop";
    RegisterClass(&wc);
    m_top = CreateWindowEx(0, "WebTestTop", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr);
    m_viewWnd = CreateWindowEx(0, kPageViewClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight, m_top,
                               nullptr);
    ASSERT_TRUE(m_viewWnd);
    view = PageView::Of(m_viewWnd);
    ASSERT_TRUE(view);
    view->OnDownloadBegin = [this] { events.push_back("begin"); };
    view->OnNavigateComplete = [this](const std::string& url) { events.push_back("complete " + url); };
    view->OnTitleChange = [this](const std::string& title) { events.push_back("title " + title); };
    view->OnNewWindow = [this](const std::string& url, bool& cancel) {
      events.push_back("newwindow " + url);
      cancel = cancelNewWindow;
    };
    view->OpenExternal = [this](const std::string& url) { external.push_back(url); };
    dir = std::filesystem::temp_directory_path() /
          ("kavri-web-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    m_host->Pump();
  }

  void TearDown() override {
    WindowSystem::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  static std::string Inputs() { return std::string(KAVRI_TEST_INPUTS) + "/web/"; }
  std::string Url(const std::string& name) const { return PathToFileUrl((dir / name).string()); }
  void Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories((dir / name).parent_path());
    std::ofstream(dir / name, std::ios::binary) << bytes;
  }

  // Runs messages and the clock until the view has finished loading (and its pictures),
  // giving worker threads real time too.
  void WaitLoaded() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    do {
      m_host->Pump();
      m_host->AdvanceClock(15);
      if (!view->Busy()) {
        // Let picture fetches land.
        for (int i = 0; i < 20; ++i) {
          std::this_thread::sleep_for(std::chrono::milliseconds(2));
          m_host->AdvanceClock(15);
        }
        if (!view->Busy()) break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (std::chrono::steady_clock::now() < deadline);
    m_host->Pump();
  }

  void Go(const std::string& url) {
    view->Navigate(url);
    WaitLoaded();
  }

  const Bitmap& Pixels() {
    m_host->Pump();
    const Bitmap* b = m_host->WindowPixels(m_top->HostId());
    EXPECT_TRUE(b);
    return *b;
  }

  // Counts pixels inside `r` for which `test` holds.
  template <typename Test>
  int Count(const Rect& r, Test test) {
    const Bitmap& b = Pixels();
    int n = 0;
    for (int y = std::max(0, r.top); y < std::min(b.Height(), r.bottom); ++y) {
      for (int x = std::max(0, r.left); x < std::min(b.Width(), r.right); ++x) n += test(b.At(x, y)) ? 1 : 0;
    }
    return n;
  }
  static bool IsDark(Pixel p) { return PixelR(p) < 128 && PixelG(p) < 128 && PixelB(p) < 128; }
  static bool IsWhite(Pixel p) { return PixelR(p) == 255 && PixelG(p) == 255 && PixelB(p) == 255; }
  static auto Is(int r, int g, int b) {
    return [=](Pixel p) { return PixelR(p) == r && PixelG(p) == g && PixelB(p) == b; };
  }

  void ClickAt(Point client) {
    m_host->MoveMouse(client);
    m_host->Pump();
    m_host->Click(client);
    m_host->Pump();
  }

  HeadlessHost* m_host = nullptr;
  HWND m_top = nullptr;
  HWND m_viewWnd = nullptr;
  PageView* view = nullptr;
  std::vector<std::string> events;
  std::vector<std::string> external;
  bool cancelNewWindow = true;
  std::filesystem::path dir;
};
