// Font combo box: filling it from a warm font system, and opening its list with the first
// page painted, every entry in its own face (the first opening loads the faces; later
// ones find them cached), on the headless host with the program's skin.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "platform/gfx/FontList.h"
#include "platform/win/HeadlessHost.h"
#include "skin/controls/skSkinComboBox.h"
#include "skin/data/skSkinData.h"
#include "skin/form/skSkinForm.h"
#include "toolkit/Forms.h"

namespace {

struct Fixture {
  Fixture() {
    auto h = std::make_unique<HeadlessHost>();
    host = h.get();
    WindowSystem::Install(std::move(h));
    form = new TForm(nullptr);
    form->SetBounds(50, 50, 400, 300);
    new TskSkinForm(form);
    auto* data = new TskSkinData(form);
    const std::string package = std::string(KAVRI_BINARY_DIR) + "/assets/skin/kavri.skinpkg";
    if (std::filesystem::exists(package)) {
      stored.LoadFromPackageFile(package);
      data->LoadStoredSkin(stored);
    }
    combo = new TskSkinFontComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 220, 21);
    combo->SetSkinData(data);
    form->Show();
    host->Pump();
  }
  ~Fixture() {
    delete form;
    WindowSystem::Shutdown();
  }
  void OpenAndPaint() {
    combo->DropDown();
    host->Pump();  // the list's first page is painted here
    combo->CloseUp(false);
    host->Pump();
  }
  HeadlessHost* host = nullptr;
  TForm* form = nullptr;
  TskCompressedStoredSkin stored;
  TskSkinFontComboBox* combo = nullptr;
};

// Registered first, so that it alone meets faces not loaded yet.
void BM_FontListFirstOpening(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) f.OpenAndPaint();
  state.counters["entries"] = f.combo->Items().Count();
}
BENCHMARK(BM_FontListFirstOpening)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_FontListOpening(benchmark::State& state) {
  Fixture f;
  f.OpenAndPaint();
  for (auto _ : state) f.OpenAndPaint();
  state.counters["entries"] = f.combo->Items().Count();
}
BENCHMARK(BM_FontListOpening)->Unit(benchmark::kMillisecond);

void BM_FontComboFill(benchmark::State& state) {
  Fixture f;
  (void)EnumFontFamilyInfos();  // the font system is warm
  for (auto _ : state) f.combo->Reset();
  state.counters["entries"] = f.combo->Items().Count();
}
BENCHMARK(BM_FontComboFill)->Unit(benchmark::kMillisecond);

void BM_FontFamilyEnumeration(benchmark::State& state) {
  (void)EnumFontFamilyInfos();
  for (auto _ : state) benchmark::DoNotOptimize(EnumFontFamilyInfos());
}
BENCHMARK(BM_FontFamilyEnumeration)->Unit(benchmark::kMillisecond);

}  // namespace
