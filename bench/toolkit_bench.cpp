// Layout cost: 200 nested aligned panels resized from the root, without windows and with
// windows on the headless host.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
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
