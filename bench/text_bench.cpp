// Text drawing and font enumeration speed: a Chinese line from warm glyph caches, the
// family list from a fresh query and from its cache.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/gfx/DC.h"

namespace {

std::string ChineseLine() {
  const std::string phrase = "输入文字转换成字符画，复制到聊天窗口里。";  // 20 characters
  std::string line;
  for (int i = 0; i < 5; ++i) line += phrase;
  return line;  // 100 characters
}

Font Make(const char* face, int height) {
  FontSpec spec;
  spec.face = face;
  spec.height = height;
  return Font(spec);
}

// 宋体 at 16 pixels comes from the face's bitmap strike; at 20 from smoothed outlines;
// "Arial" draws the ideographs through a fallback face.
void DrawLine(benchmark::State& state, const char* face, int height) {
  const std::string text = ChineseLine();
  Bitmap bitmap(2100, 40);
  DC dc(bitmap);
  dc.SelectFont(Make(face, height));
  dc.SetBkMode(TRANSPARENT);
  dc.TextOut(0, 4, text);  // warms the glyph cache
  for (auto _ : state) {
    dc.TextOut(0, 4, text);
    benchmark::DoNotOptimize(bitmap.Bits());
  }
  state.SetItemsProcessed(state.iterations() * 100);
}

void BM_DrawChineseLine_Song16(benchmark::State& state) { DrawLine(state, "宋体", -16); }
void BM_DrawChineseLine_Song20Smooth(benchmark::State& state) { DrawLine(state, "宋体", -20); }
void BM_DrawChineseLine_ArialFallback16(benchmark::State& state) { DrawLine(state, "Arial", -16); }

void BM_MeasureChineseLine_Song16(benchmark::State& state) {
  const std::string text = ChineseLine();
  const Font font = Make("宋体", -16);
  font.TextWidth(text);
  for (auto _ : state) benchmark::DoNotOptimize(font.TextWidth(text));
}

void BM_DrawTextWordBreak_Song16(benchmark::State& state) {
  const std::string text = ChineseLine();
  Bitmap bitmap(400, 200);
  DC dc(bitmap);
  dc.SelectFont(Make("宋体", -16));
  dc.SetBkMode(TRANSPARENT);
  Rect r{0, 0, 400, 200};
  dc.DrawText(text, r, DT_WORDBREAK);
  for (auto _ : state) {
    Rect rect{0, 0, 400, 200};
    benchmark::DoNotOptimize(dc.DrawText(text, rect, DT_WORDBREAK));
  }
}

// A fresh font-list query on the already initialised configuration.
void BM_FontFamilies_Query(benchmark::State& state) {
  benchmark::DoNotOptimize(QueryFontFamilies());
  for (auto _ : state) benchmark::DoNotOptimize(QueryFontFamilies());
  state.counters["families"] = static_cast<double>(FontFamilies().size());
}

void BM_FontFamilies_Cached(benchmark::State& state) {
  FontFamilies();
  for (auto _ : state) benchmark::DoNotOptimize(FontFamilies().size());
}

void BM_FontLookup_Warm(benchmark::State& state) {
  Make("宋体", -16);
  for (auto _ : state) benchmark::DoNotOptimize(Make("宋体", -16));
}

}  // namespace

BENCHMARK(BM_DrawChineseLine_Song16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawChineseLine_Song20Smooth)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawChineseLine_ArialFallback16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MeasureChineseLine_Song16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawTextWordBreak_Song16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FontFamilies_Query)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FontFamilies_Cached)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_FontLookup_Warm)->Unit(benchmark::kNanosecond);
