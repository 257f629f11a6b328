// Layout cost: 200 nested aligned panels resized from the root, without windows and with
// windows on the headless host.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "toolkit/Edits.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

namespace {

// Each level holds a top, a left and a bottom strip and a client panel that holds the
// next level: 50 levels of 4 panels.
void BuildNested(TWinControl* root, int levels) {
  TWinControl* parent = root;
  for (int i = 0; i < levels; ++i) {
    auto add = [&](TAlign align, int w, int h) {
      auto* p = new TPanel(root);
      p->SetBevelOuter(TBevelCut::bvNone);
      p->SetBounds(0, 0, w, h);
      p->SetAlign(align);
      p->SetParent(parent);
      return p;
    };
    add(TAlign::alTop, 10, 3);
    add(TAlign::alLeft, 3, 10);
    add(TAlign::alBottom, 10, 2);
    parent = add(TAlign::alClient, 10, 10);
  }
}

void BM_LayoutNested200(benchmark::State& state) {
  TPanel root(nullptr);
  root.SetBevelOuter(TBevelCut::bvNone);
  root.SetBounds(0, 0, 800, 600);
  BuildNested(&root, 50);
  int flip = 0;
  for (auto _ : state) {
    flip ^= 1;
    root.SetBounds(0, 0, 800 + flip * 40, 600 + flip * 30);
    benchmark::DoNotOptimize(root.Controls(0)->Width());
  }
  state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_LayoutNested200);

void BM_LayoutNested200Windows(benchmark::State& state) {
  WindowSystem::Install(std::make_unique<HeadlessHost>());
  {
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 800, 600);
    BuildNested(form, 50);
    form->Show();
    int flip = 0;
    for (auto _ : state) {
      flip ^= 1;
      form->SetBounds(0, 0, 800 + flip * 40, 600 + flip * 30);
      benchmark::DoNotOptimize(form->Controls(0)->Width());
    }
    state.SetItemsProcessed(state.iterations() * 200);
    delete form;
  }
  WindowSystem::Shutdown();
}
BENCHMARK(BM_LayoutNested200Windows);

}  // namespace

namespace {

// A memo given 1 MB of text at once, then scrolled to its end with Ctrl+End.
void BM_Memo1MBSetTextAndScrollToEnd(benchmark::State& state) {
  auto host = std::make_unique<HeadlessHost>();
  HeadlessHost* h = host.get();
  WindowSystem::Install(std::move(host));
  std::string text;
  while (text.size() < (1u << 20)) text += "The quick brown fox jumps over the lazy dog \xE7\x88\xB1\xE7\x88\xB1 0123456789\r\n";
  {
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 640, 480);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetAlign(TAlign::alClient);
    memo->SetScrollBars(TScrollStyle::ssVertical);
    form->Show();
    std::string other = text + "x";
    bool flip = false;
    for (auto _ : state) {
      // Alternating texts, so every round really replaces the whole text.
      flip = !flip;
      memo->SetText(flip ? other : text);
      memo->SetFocus();
      h->KeyDown(VK_CONTROL);
      h->Key(VK_END);
      h->KeyUp(VK_CONTROL);
      h->Pump();
      benchmark::DoNotOptimize(memo->FirstVisibleLine());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
    delete form;
  }
  WindowSystem::Shutdown();
}
BENCHMARK(BM_Memo1MBSetTextAndScrollToEnd)->Unit(benchmark::kMillisecond);

}  // namespace
