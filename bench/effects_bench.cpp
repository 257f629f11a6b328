// Speed of the morph blend, gray effect, nine-part composition and mask scan, each beside a
// memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "skin/controls/skImageDraw.h"
#include "skin/data/skEffectBmp.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

TskEffectBmp Pattern(int w, int h, int seed) {
  TskEffectBmp bmp(w, h);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = bmp.Row(y);
    for (int i = 0; i < w * 3; ++i) row[i] = static_cast<std::uint8_t>((i * 7 + y * 13 + seed) & 0xFF);
  }
  return bmp;
}

void CopyBytes(benchmark::State& state, std::size_t bytes, std::int64_t pixels) {
  std::vector<std::uint8_t> src(bytes, 1), dst(bytes);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), bytes);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * pixels);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

void BM_Memcpy24_1920x1080(benchmark::State& state) {
  CopyBytes(state, static_cast<std::size_t>(TskEffectBmp::StrideFor(kWidth)) * kHeight,
            std::int64_t{kWidth} * kHeight);
}

void BM_BlendWith_1920x1080(benchmark::State& state) {
  TskEffectBmp a = Pattern(kWidth, kHeight, 1);
  const TskEffectBmp b = Pattern(kWidth, kHeight, 99);
  double k = 0.25;
  for (auto _ : state) {
    a.BlendWith(b, k);
    k = k > 0.9 ? 0.1 : k + 0.05;  // a new factor each frame, as a morph runs
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  state.SetBytesProcessed(state.iterations() * a.SizeBytes());
}

void BM_ToGray_1920x1080(benchmark::State& state) {
  TskEffectBmp a = Pattern(kWidth, kHeight, 5);
  for (auto _ : state) {
    a.ToGray();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  state.SetBytesProcessed(state.iterations() * a.SizeBytes());
}

void BM_Memcpy32_1920x1080(benchmark::State& state) {
  CopyBytes(state, std::size_t{kWidth} * kHeight * sizeof(Pixel), std::int64_t{kWidth} * kHeight);
}

// A frame picture of the program's size (277 x 116, client insets 13, 46, 12, 9).
void BM_BuildNinePartImage_1920x1080(benchmark::State& state) {
  Bitmap picture(277, 116);
  for (int y = 0; y < 116; ++y)
    for (int x = 0; x < 277; ++x) picture.Set(x, y, MakePixel(x, y, x ^ y));
  const Rect skin{0, 0, 277, 116};
  const NinePartGeometry g{{60, 46}, {217, 46}, {60, 107}, {217, 107}, {13, 46, 265, 107}};
  const SizedNinePart n = DeriveNinePart(GetSkinResizeMode(skin, g), skin, g, kWidth, kHeight);
  Bitmap dest;
  for (auto _ : state) {
    BuildNinePartImage(dest, g, n.parts, skin, picture, n.width, n.height, true);
    benchmark::DoNotOptimize(dest.Bits());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * static_cast<std::int64_t>(sizeof(Pixel)));
}

void BM_Memcpy32_1920x46(benchmark::State& state) {
  CopyBytes(state, std::size_t{kWidth} * 46 * sizeof(Pixel), std::int64_t{kWidth} * 46);
}

// The top mask strip of a wide window: rounded corners and a few cut-outs per row.
void BM_MaskToRegionData_1920x46(benchmark::State& state) {
  Bitmap strip(kWidth, 46, MakePixel(0, 0, 0));
  for (int y = 0; y < 46; ++y) {
    const int corner = y < 8 ? 8 - y : 0;
    for (int x = 0; x < corner; ++x) {
      strip.Set(x, y, MakePixel(255, 255, 255));
      strip.Set(kWidth - 1 - x, y, MakePixel(255, 255, 255));
    }
    for (int x = 100 + y; x < kWidth - 100; x += 97) strip.Set(x, y, MakePixel(255, 0, 255));
  }
  std::size_t rects = 0;
  for (auto _ : state) {
    const std::vector<std::uint8_t> data = MaskToRegionData(strip, 0, 0);
    rects = (data.size() - sizeof(RGNDATAHEADER)) / sizeof(Rect);
    benchmark::DoNotOptimize(data.data());
  }
  state.counters["rects"] = static_cast<double>(rects);
  state.SetItemsProcessed(state.iterations() * kWidth * 46);
  state.SetBytesProcessed(state.iterations() * kWidth * 46 * static_cast<std::int64_t>(sizeof(Pixel)));
}

}  // namespace

BENCHMARK(BM_Memcpy24_1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlendWith_1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToGray_1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy32_1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildNinePartImage_1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy32_1920x46)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MaskToRegionData_1920x46)->Unit(benchmark::kMicrosecond);
