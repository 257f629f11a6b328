// Standard controls: inserting 1 MB into a memo, scrolling it to the end, and typing into
// it, with and without word wrap, on the headless host.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/std/StdControls.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"

namespace {

// About 1 MB of prose-like lines of 20 to 100 characters, with a few ideographs.
std::string Megabyte() {
  std::string text;
  unsigned seed = 7;
  int column = 0;
  int lineLength = 60;
  while (text.size() < (1u << 20)) {
    seed = seed * 1103515245u + 12345u;
    const int wordLength = 2 + static_cast<int>((seed >> 16) % 9);
    if ((seed >> 8) % 17 == 0) {
      text += "汉字";
    } else {
      for (int i = 0; i < wordLength; ++i) text.push_back(static_cast<char>('a' + (seed >> (i % 16)) % 26));
    }
    column += wordLength;
    if (column >= lineLength) {
      text += "\r\n";
      column = 0;
      lineLength = 20 + static_cast<int>((seed >> 4) % 81);
    } else {
      text.push_back(' ');
    }
  }
  return text;
}

struct Fixture {
  explicit Fixture(bool wrap) {
    auto host = std::make_unique<HeadlessHost>();
    this->host = host.get();
    WindowSystem::Install(std::move(host));
    RegisterStdControls();
    parent = CreateWindowEx(0, kEditClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 500, 400, nullptr, nullptr);
    memo = CreateWindowEx(WS_EX_CLIENTEDGE, kEditClassName, "",
                          WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL | (wrap ? 0 : WS_HSCROLL), 0,
                          0, 480, 380, parent, nullptr);
    this->host->Pump();
  }
  ~Fixture() { WindowSystem::Shutdown(); }
  HeadlessHost* host;
  HWND parent;
  HWND memo;
};

void BM_MemoInsertMegabyte(benchmark::State& state) {
  const std::string text = Megabyte();
  Fixture f(state.range(0) != 0);
  for (auto _ : state) {
    SetWindowText(f.memo, "");
    SendMessage(f.memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    f.host->Pump();  // paints the end, where the caret is
    benchmark::DoNotOptimize(SendMessage(f.memo, EM_GETLINECOUNT, 0, 0));
  }
  state.counters["lines"] = static_cast<double>(SendMessage(f.memo, EM_GETLINECOUNT, 0, 0));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_MemoInsertMegabyte)->Arg(1)->Arg(0)->ArgName("wrap")->Unit(benchmark::kMillisecond);

void BM_MemoScrollToEnd(benchmark::State& state) {
  const std::string text = Megabyte();
  Fixture f(state.range(0) != 0);
  SetWindowText(f.memo, text.c_str());
  f.host->Pump();
  for (auto _ : state) {
    SendMessage(f.memo, WM_VSCROLL, SB_TOP, 0);
    f.host->Pump();
    SendMessage(f.memo, WM_VSCROLL, SB_BOTTOM, 0);
    f.host->Pump();
  }
}
BENCHMARK(BM_MemoScrollToEnd)->Arg(1)->Arg(0)->ArgName("wrap")->Unit(benchmark::kMicrosecond);

// Paging through the whole megabyte, one page a step, painting each page.
void BM_MemoPageThroughMegabyte(benchmark::State& state) {
  const std::string text = Megabyte();
  Fixture f(true);
  SetWindowText(f.memo, text.c_str());
  f.host->Pump();
  const int lines = static_cast<int>(SendMessage(f.memo, EM_GETLINECOUNT, 0, 0));
  int pages = 0;
  for (auto _ : state) {
    SendMessage(f.memo, WM_VSCROLL, SB_TOP, 0);
    pages = 0;
    while (SendMessage(f.memo, EM_GETFIRSTVISIBLELINE, 0, 0) + 30 < lines && pages < 100000) {
      SendMessage(f.memo, WM_VSCROLL, SB_PAGEDOWN, 0);
      f.host->Pump();
      ++pages;
    }
  }
  state.counters["pages"] = pages;
}
BENCHMARK(BM_MemoPageThroughMegabyte)->Unit(benchmark::kMillisecond);

// One typed character at the start and at the end of a 1 MB text (layout, notification and
// repaint of one edit).
void BM_MemoTypeIntoMegabyte(benchmark::State& state) {
  const std::string text = Megabyte();
  Fixture f(state.range(0) != 0);
  SetWindowText(f.memo, text.c_str());
  SetFocus(f.memo);
  const bool atEnd = state.range(1) != 0;
  const int at = atEnd ? 0x7FFFFFFF : 0;  // clamped to the text's length
  SendMessage(f.memo, EM_SETSEL, at, at);
  f.host->Pump();
  for (auto _ : state) {
    SendMessage(f.memo, WM_CHAR, 'x', 1);
    SendMessage(f.memo, WM_CHAR, 8, 1);
    f.host->Pump();
  }
}
BENCHMARK(BM_MemoTypeIntoMegabyte)
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({0, 0})
    ->ArgNames({"wrap", "atEnd"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
