// A skinned 1280 x 800 form with 50 skinned controls in the program's skin: a skin change
// (the three messages, the frame and every control), and one full paint of the window,
// beside a reload of the same package with no form to tell.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinLabel.h"
#include "skin/controls/skSkinPanel.h"
#include "skin/data/skSkinData.h"
#include "skin/form/skSkinForm.h"
#include "toolkit/Forms.h"

namespace {

std::string ProgramPackage() { return std::string(KAVRI_BINARY_DIR) + "/assets/skin/kavri.skinpkg"; }

// The window system, a shown form with its frame, skin data and 50 controls: 10 panels,
// each holding a label, a button, a tool bar with one speed button, and another label.
struct SkinnedForm {
  HeadlessHost* host = nullptr;
  TForm* form = nullptr;
  TskSkinData* data = nullptr;
  TskCompressedStoredSkin* stored = nullptr;

  SkinnedForm() {
    auto h = std::make_unique<HeadlessHost>();
    host = h.get();
    WindowSystem::Install(std::move(h));
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 1280, 800);
    auto* frame = new TskSkinForm(form);
    stored = new TskCompressedStoredSkin(form);
    stored->LoadFromPackageFile(ProgramPackage());
    data = new TskSkinData(form);
    frame->SetSkinData(data);
    for (int i = 0; i < 10; ++i) {
      auto* panel = new TskSkinPanel(form);
      panel->SetParent(form);
      panel->SetBounds(10 + (i % 5) * 250, 10 + (i / 5) * 380, 240, 360);
      panel->SetSkinData(data);
      auto* label = new TskSkinStdLabel(form);
      label->SetParent(panel);
      label->SetBounds(10, 10, 120, 18);
      label->SetCaption("label");
      label->SetSkinData(data);
      auto* button = new TskSkinButton(form);
      button->SetParent(panel);
      button->SetBounds(10, 40, 80, 25);
      button->SetCaption("Convert");
      button->SetSkinData(data);
      auto* bar = new TskSkinToolBar(form);
      bar->SetParent(panel);
      bar->SetBounds(10, 80, 200, 25);
      auto* speed = new TskSkinSpeedButton(form);
      speed->SetParent(bar);
      speed->SetBounds(0, 0, 25, 25);
      bar->SetSkinData(data);
      auto* second = new TskSkinStdLabel(form);
      second->SetParent(panel);
      second->SetBounds(10, 120, 120, 18);
      second->SetCaption("second");
      second->SetSkinData(data);
    }
    data->SetCompressedStoredSkin(stored);
    form->Show();
    host->Pump();
  }
  ~SkinnedForm() {
    delete form;
    WindowSystem::Shutdown();
  }
};

void BM_SkinChangeOfFormWith50Controls(benchmark::State& state) {
  SkinnedForm f;
  for (auto _ : state) {
    f.data->LoadStoredSkin(*f.stored);
    f.host->Pump();
  }
}
BENCHMARK(BM_SkinChangeOfFormWith50Controls)->Unit(benchmark::kMillisecond);

// The plain operation beside it: the same package unpacked by a skin data object that no
// form hears.
void BM_PackageReloadAlone(benchmark::State& state) {
  TskCompressedStoredSkin stored;
  stored.LoadFromPackageFile(ProgramPackage());
  TskSkinData data;
  for (auto _ : state) data.LoadStoredSkin(stored);
}
BENCHMARK(BM_PackageReloadAlone)->Unit(benchmark::kMillisecond);

void BM_FullPaintOfSkinnedForm1280x800(benchmark::State& state) {
  SkinnedForm f;
  for (auto _ : state) {
    RedrawWindow(f.form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    f.host->Pump();
  }
}
BENCHMARK(BM_FullPaintOfSkinnedForm1280x800)->Unit(benchmark::kMillisecond);

}  // namespace
