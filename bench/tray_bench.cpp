// The tray icon's costs: turning a picture into the four sizes the panel may pick, and a
// panel's call (a click, a property read) answered through a private session bus.
#include <benchmark/benchmark.h>

#include <chrono>

#include "platform/sys/Tray.h"
#include "tests/support/SessionBus.h"

namespace {

Bitmap Picture(int size) {
  Bitmap b(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) b.Set(x, y, MakePixel(x * 7, y * 5, (x ^ y) * 3, 200));
  b.SetHasAlpha(true);
  return b;
}

// The plain work beside it: copying as many bytes as the four pictures hold.
void BM_CopyFourPixmapsWorthOfBytes(benchmark::State& state) {
  std::size_t bytes = 0;
  for (int s : kTrayIconSizes) bytes += static_cast<std::size_t>(s) * s * 4;
  std::vector<std::uint8_t> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::copy(from.begin(), from.end(), to.begin());
    benchmark::DoNotOptimize(to.data());
  }
}
BENCHMARK(BM_CopyFourPixmapsWorthOfBytes);

void BM_SetIconMakesFourSizes(benchmark::State& state) {
  const Bitmap picture = Picture(static_cast<int>(state.range(0)));
  TrayItem item;
  for (auto _ : state) {
    item.SetIcon(picture);
    benchmark::DoNotOptimize(item.IconPixmaps().data());
  }
}
BENCHMARK(BM_SetIconMakesFourSizes)->Arg(16)->Arg(32)->Arg(256);

// One round of the panel asking and the item answering, pumped as the loop would.
template <class Ask>
void RoundTrips(benchmark::State& state, Ask ask) {
  kavri_test::PrivateBus bus;
  if (!kavri_test::OnPath("dbus-run-session") || !bus.Start()) {
    state.SkipWithError("no dbus-run-session");
    return;
  }
  kavri_test::Watcher watcher;
  TrayItem item;
  item.SetIcon(Picture(32));
  item.Show();
  auto pumpUntil = [&](const auto& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < until) {
      item.Process();
      watcher.Process();
    }
    return done();
  };
  if (!pumpUntil([&] { return item.Registered(); })) {
    state.SkipWithError("the item did not register");
    return;
  }
  for (auto _ : state) {
    int answer = 0;
    ask(watcher, item, &answer);
    if (!pumpUntil([&] { return answer != 0; })) {
      state.SkipWithError("no answer");
      return;
    }
  }
}

void BM_PanelClickAnswered(benchmark::State& state) {
  int clicks = 0;
  RoundTrips(state, [&](kavri_test::Watcher& w, TrayItem& item, int* answer) {
    item.On().activate = [&](int, int) { ++clicks; };
    w.CallItem(item.BusName(), "Activate", 1, 2, answer);
  });
  benchmark::DoNotOptimize(clicks);
}
BENCHMARK(BM_PanelClickAnswered)->Unit(benchmark::kMicrosecond);

void BM_PanelReadsIconPixmap(benchmark::State& state) {
  RoundTrips(state, [](kavri_test::Watcher& w, TrayItem& item, int* answer) {
    sd_bus_call_method_async(
        w.Bus(), nullptr, item.BusName().c_str(), "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
        [](sd_bus_message* m, void* u, sd_bus_error*) {
          *static_cast<int*>(u) = sd_bus_message_is_method_error(m, nullptr) ? -1 : 1;
          return 0;
        },
        answer, "ss", "org.kde.StatusNotifierItem", "IconPixmap");
  });
}
BENCHMARK(BM_PanelReadsIconPixmap)->Unit(benchmark::kMicrosecond);

}  // namespace
