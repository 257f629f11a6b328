// Window system speed: presenting a 1920 x 1080 window after a full repaint (on the
// headless host, and on the SDL host when a display is there), and one million sends.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "platform/win/HeadlessHost.h"
#include "platform/win/SdlHost.h"
#include "platform/win/WinApi.h"

namespace {

LRESULT PaintingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    // A full repaint with a little structure: bands of colour across the window.
    for (int y = ps.rcPaint.top; y < ps.rcPaint.bottom; y += 60)
      dc->FillRect({ps.rcPaint.left, y, ps.rcPaint.right, y + 60}, RGB(y & 0xFF, 128, 255 - (y & 0xFF)));
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_USER) return static_cast<LRESULT>(wp + 1);
  return DefWindowProc(hwnd, msg, wp, lp);
}

HWND MakeWindow(int width, int height) {
  WNDCLASS wc;
  wc.lpfnWndProc = &PaintingProc;
  wc.lpszClassName = "BenchWindow";
  RegisterClass(&wc);
  HWND w = CreateWindowEx(0, "BenchWindow", "bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                          nullptr, nullptr);
  WindowSystem::Current().ProcessMessages();
  return w;
}

void BM_PresentFullRepaintHeadless(benchmark::State& state) {
  auto owned = std::make_unique<HeadlessHost>(Size{1920, 1200}, 40);
  HeadlessHost* host = owned.get();
  WindowSystem& sys = WindowSystem::Install(std::move(owned));
  HWND w = MakeWindow(1920, 1080);
  for (auto _ : state) {
    InvalidateRect(w, nullptr, false);
    UpdateWindow(w);
    sys.PresentAll();
    Bitmap screen = host->Screenshot();  // the composition of the screen
    benchmark::DoNotOptimize(screen.Bits());
  }
  state.SetItemsProcessed(state.iterations());
  WindowSystem::Shutdown();
}
BENCHMARK(BM_PresentFullRepaintHeadless)->Unit(benchmark::kMillisecond);

void BM_PresentFullRepaintSdl(benchmark::State& state) {
  const char* display = std::getenv("DISPLAY");
  std::unique_ptr<Host> host;
  if (display && *display) {
    try {
      host = std::make_unique<SdlHost>();
    } catch (const std::exception&) {
      host.reset();
    }
  }
  if (!host) {
    state.SkipWithError("no display for the SDL host");
    for (auto _ : state) {
    }
    return;
  }
  WindowSystem& sys = WindowSystem::Install(std::move(host));
  HWND w = MakeWindow(1920, 1080);
  for (auto _ : state) {
    InvalidateRect(w, nullptr, false);
    UpdateWindow(w);
    sys.PresentAll();
    sys.GetHost().PollEvents();
  }
  state.SetItemsProcessed(state.iterations());
  WindowSystem::Shutdown();
}
BENCHMARK(BM_PresentFullRepaintSdl)->Unit(benchmark::kMillisecond);

void BM_MillionSentMessages(benchmark::State& state) {
  WindowSystem::Install(std::make_unique<HeadlessHost>());
  HWND w = MakeWindow(100, 100);
  for (auto _ : state) {
    LRESULT sum = 0;
    for (int i = 0; i < 1000000; ++i) sum += SendMessage(w, WM_USER, static_cast<WPARAM>(i & 7), 0);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 1000000);
  WindowSystem::Shutdown();
}
BENCHMARK(BM_MillionSentMessages)->Unit(benchmark::kMillisecond);

}  // namespace
