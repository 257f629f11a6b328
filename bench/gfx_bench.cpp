// Device context copies and fills against plain memory operations, and region building.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>

#include "platform/gfx/DC.h"

namespace {

constexpr int kW = 1920;
constexpr int kH = 1080;

void BM_MemcpyFrame(benchmark::State& state) {
  Bitmap src(kW, kH, MakePixel(1, 2, 3));
  Bitmap dst(kW, kH);
  const std::size_t bytes = static_cast<std::size_t>(kW) * kH * sizeof(Pixel);
  for (auto _ : state) {
    std::memcpy(dst.Bits(), src.Bits(), bytes);
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_MemcpyFrame);

void BM_BitBltFrame(benchmark::State& state) {
  Bitmap src(kW, kH, MakePixel(1, 2, 3));
  Bitmap dst(kW, kH);
  DC sdc(src);
  DC ddc(dst);
  const std::size_t bytes = static_cast<std::size_t>(kW) * kH * sizeof(Pixel);
  for (auto _ : state) {
    ddc.BitBlt(0, 0, kW, kH, sdc, 0, 0, SRCCOPY);
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_BitBltFrame);

void BM_StdFillFrame(benchmark::State& state) {
  Bitmap dst(kW, kH);
  const std::size_t n = static_cast<std::size_t>(kW) * kH;
  for (auto _ : state) {
    std::fill(dst.Bits(), dst.Bits() + n, MakePixel(9, 8, 7));
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * n * sizeof(Pixel)));
}
BENCHMARK(BM_StdFillFrame);

void BM_FillRectFrame(benchmark::State& state) {
  Bitmap dst(kW, kH);
  DC dc(dst);
  const std::size_t n = static_cast<std::size_t>(kW) * kH;
  for (auto _ : state) {
    dc.FillRect({0, 0, kW, kH}, RGB(7, 8, 9));
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * n * sizeof(Pixel)));
}
BENCHMARK(BM_FillRectFrame);

void BM_StretchBlt2xUp(benchmark::State& state) {
  Bitmap src(kW / 2, kH / 2, MakePixel(1, 2, 3));
  Bitmap dst(kW, kH);
  DC sdc(src);
  DC ddc(dst);
  ddc.SetStretchBltMode(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ddc.StretchBlt(0, 0, kW, kH, sdc, 0, 0, kW / 2, kH / 2, SRCCOPY);
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kW * kH);
}
BENCHMARK(BM_StretchBlt2xUp)->Arg(COLORONCOLOR)->Arg(HALFTONE);

// A window shape from a mask: ~50,000 one-row runs in scan order.
std::vector<Rect> MaskRuns() {
  std::vector<Rect> runs;
  for (int y = 0; y < 2500; ++y)
    for (int k = 0; k < 20; ++k) {
      const int x = k * 40 + (y * 7 + k * 13) % 11;
      runs.push_back({x, y, x + 20 + (y + k) % 9, y + 1});
    }
  return runs;
}

void BM_RegionFromMaskRuns(benchmark::State& state) {
  const std::vector<Rect> runs = MaskRuns();
  for (auto _ : state) {
    Region r = Region::FromRects(runs);
    benchmark::DoNotOptimize(r);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * runs.size()));
}
BENCHMARK(BM_RegionFromMaskRuns)->Unit(benchmark::kMillisecond);

void BM_RegionUnionRowByRow(benchmark::State& state) {
  const std::vector<Rect> runs = MaskRuns();
  for (auto _ : state) {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    std::size_t i = 0;
    while (i < runs.size()) {
      // One row at a time, as a mask scan hands them over.
      std::vector<Rect> row;
      const int y = runs[i].top;
      for (; i < runs.size() && runs[i].top == y; ++i) row.push_back(runs[i]);
      Region rowRgn = Region::FromRects(row);
      CombineRgn(r, r, &rowRgn, RGN_OR);
    }
    benchmark::DoNotOptimize(r);
    DeleteObject(r);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * runs.size()));
}
BENCHMARK(BM_RegionUnionRowByRow)->Unit(benchmark::kMillisecond);

void BM_RegionUnionRectByRect(benchmark::State& state) {
  const std::vector<Rect> runs = MaskRuns();
  for (auto _ : state) {
    Region r;
    for (const Rect& run : runs) r.Unite(run);
    benchmark::DoNotOptimize(r);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * runs.size()));
}
BENCHMARK(BM_RegionUnionRectByRect)->Unit(benchmark::kMillisecond);

void BM_FillRectThroughMaskClip(benchmark::State& state) {
  Bitmap dst(1000, 2500);
  DC dc(dst, {0, 0}, Region::FromRects(MaskRuns()));
  for (auto _ : state) {
    dc.FillRect({0, 0, 1000, 2500}, RGB(1, 2, 3));
    benchmark::DoNotOptimize(dst.Bits());
  }
}
BENCHMARK(BM_FillRectThroughMaskClip)->Unit(benchmark::kMillisecond);

}  // namespace
