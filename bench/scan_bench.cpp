// Speed of the character-art scan on a full-screen 1920 x 1080 capture.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/ArtScan.h"

// A capture that looks like a few lines of large text: glyph-sized boxes of strokes and
// smoothed (grey) edges in bands across the upper part, white elsewhere. `fullWidth`
// runs the text to the right edge, so no row ends early.
static Bitmap TextLikeCapture(bool fullWidth) {
  const int width = 1920, height = 1080;
  Bitmap capture(width, height, MakePixel(255, 255, 255));
  std::uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  const int textRight = fullWidth ? width - 4 : 1100;
  for (int band = 0; band < 5; ++band) {
    const int top = 20 + band * 150;
    for (int left = 10; left + 96 <= textRight; left += 110) {
      for (int stroke = 0; stroke < 6; ++stroke) {
        const bool horizontal = next() & 1;
        const int x0 = left + static_cast<int>(next() % 80), y0 = top + static_cast<int>(next() % 110);
        for (int i = 0; i < 90; ++i)
          for (int t = 0; t < 9; ++t) {
            const int x = horizontal ? x0 + i / 2 : x0 + t, y = horizontal ? y0 + t : y0 + i / 2;
            if (x < textRight && y < height - 4)
              capture.Set(x, y, (t == 0 || t == 8) ? MakePixel(200, 200, 200) : MakePixel(0, 0, 0));
          }
      }
    }
  }
  return capture;
}

static void BM_ScanDefaults(benchmark::State& state) {
  const Bitmap capture = TextLikeCapture(state.range(0) != 0);
  std::size_t bytes = 0;
  for (auto _ : state) {
    auto lines = ScanArtLines(capture, "爱", "  ");
    bytes = 0;
    for (const auto& line : lines) bytes += line.size();
    benchmark::DoNotOptimize(lines.data());
  }
  state.counters["output_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ScanDefaults)->Arg(0)->Arg(1)->ArgName("full_width")->Unit(benchmark::kMillisecond);

// A background without blanks is never trimmed: every row is built to its full width.
static void BM_ScanSolidBackground(benchmark::State& state) {
  const Bitmap capture = TextLikeCapture(false);
  for (auto _ : state) {
    auto lines = ScanArtLines(capture, "爱", "。");
    benchmark::DoNotOptimize(lines.data());
  }
}
BENCHMARK(BM_ScanSolidBackground)->Unit(benchmark::kMillisecond);
