// A skinned tool bar of 200 pixels holding 100 speed buttons in the program's skin: one
// scroll step (the children moved, the bar repainted), and the idle refresh of a shown form
// whose 100 buttons are bound to 10 actions.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinPanel.h"
#include "skin/data/skSkinData.h"
#include "toolkit/ActnList.h"
#include "toolkit/Forms.h"

namespace {

std::string ProgramPackage() { return std::string(KAVRI_BINARY_DIR) + "/assets/skin/kavri.skinpkg"; }

struct ScrollingBar {
  HeadlessHost* host = nullptr;
  TForm* form = nullptr;
  TskSkinToolBar* bar = nullptr;
  TAction* actions[10] = {};
  int updates = 0;

  ScrollingBar() {
    auto h = std::make_unique<HeadlessHost>();
    host = h.get();
    WindowSystem::Install(std::move(h));
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 400, 200);
    auto* stored = new TskCompressedStoredSkin(form);
    stored->LoadFromPackageFile(ProgramPackage());
    auto* data = new TskSkinData(form);
    data->LoadStoredSkin(*stored);
    auto* list = new TActionList(form);
    for (auto*& a : actions) {
      a = new TAction(form);
      a->SetActionList(list);
      a->SetCaption("Act");
      a->OnUpdate = [this](TObject*) { ++updates; };
    }
    bar = new TskSkinToolBar(form);
    bar->SetParent(form);
    bar->SetBounds(10, 10, 200, 25);
    bar->SetCanScroll(true);
    bar->SetScrollOffset(1);
    bar->SetSkinData(data);
    for (int i = 0; i < 100; ++i) {
      auto* b = new TskSkinSpeedButton(form);
      b->SetParent(bar);
      b->SetBounds(i * 40, 0, 40, 25);
      b->SetSkinData(data);
      b->SetAction(actions[i % 10]);
    }
    form->Show();
    host->Pump();
  }
  ~ScrollingBar() {
    delete form;
    WindowSystem::Shutdown();
  }
  Point Arrow(bool right) {
    Rect w;
    GetWindowRect(bar->Handle(), &w);
    return {right ? w.right - 4 : w.left + 4, w.top + 10};
  }
};

void BM_ToolBarScrollStep(benchmark::State& state) {
  ScrollingBar s;
  bool right = true;
  for (auto _ : state) {
    // Clicks one way until the end, then the other: every click moves the buttons.
    if (s.bar->ScrollPosition() == 0) right = true;
    else if (s.bar->ScrollPosition() >= s.bar->Scroller().ContentExtent() - s.bar->ClientWidth()) right = false;
    s.host->Click(s.Arrow(right));
    s.host->Pump();
  }
  state.counters["position"] = s.bar->ScrollPosition();
}
BENCHMARK(BM_ToolBarScrollStep)->Unit(benchmark::kMicrosecond);

void BM_IdleActionRefresh(benchmark::State& state) {
  ScrollingBar s;
  for (auto _ : state) Application->Idle();
  state.counters["updates/iter"] = benchmark::Counter(s.updates, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_IdleActionRefresh)->Unit(benchmark::kMicrosecond);

}  // namespace
