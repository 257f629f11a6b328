// Opening the skinned system menu of a form in the program's skin: the level built, sized,
// shaped by its mask and shown; its first paint; and the whole open, paint and close, beside
// the same menu in the plain look and a skinned hint shown for a short text.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinHint.h"
#include "skin/form/skPopupWindow.h"
#include "skin/form/skSkinForm.h"
#include "toolkit/Forms.h"

namespace {

std::string ProgramPackage() { return std::string(KAVRI_BINARY_DIR) + "/assets/skin/kavri.skinpkg"; }

struct MenuForm {
  HeadlessHost* host = nullptr;
  TForm* form = nullptr;
  TskSkinForm* frame = nullptr;
  TskSkinData* data = nullptr;

  explicit MenuForm(bool skinned) {
    auto h = std::make_unique<HeadlessHost>();
    host = h.get();
    WindowSystem::Install(std::move(h));
    form = new TForm(nullptr);
    form->SetBounds(100, 100, 640, 480);
    frame = new TskSkinForm(form);
    auto* stored = new TskCompressedStoredSkin(form);
    data = new TskSkinData(form);
    frame->SetSkinData(data);
    if (skinned) {
      stored->LoadFromPackageFile(ProgramPackage());
      data->SetCompressedStoredSkin(stored);
    }
    form->Show();
    host->Pump();
  }
  ~MenuForm() {
    delete form;
    Application->DestroyHintWindow();
    WindowSystem::Shutdown();
  }
  void Close() {
    frame->SkinMenu()->Hide();
    host->Pump();
  }
};

// Build, size, region and show (no paint yet).
void BM_SkinnedSystemMenuOpen(benchmark::State& state) {
  MenuForm f(true);
  for (auto _ : state) {
    f.frame->ShowSystemMenuFromKeyboard();
    benchmark::DoNotOptimize(f.frame->SkinMenu()->PopupCount());
    state.PauseTiming();
    f.Close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SkinnedSystemMenuOpen)->Unit(benchmark::kMicrosecond);

// The first paint of the open level: window image and items.
void BM_SkinnedSystemMenuFirstPaint(benchmark::State& state) {
  MenuForm f(true);
  f.frame->ShowSystemMenuFromKeyboard();
  TskSkinPopupWindow* popup = f.frame->SkinMenu()->Popups(0);
  for (auto _ : state) {
    Bitmap image = popup->RenderImage();
    benchmark::DoNotOptimize(image.Width());
  }
}
BENCHMARK(BM_SkinnedSystemMenuFirstPaint)->Unit(benchmark::kMicrosecond);

// Open, paint on the screen and close, as the user sees it.
void BM_SystemMenuCycle(benchmark::State& state) {
  MenuForm f(state.range(0) != 0);
  for (auto _ : state) {
    f.frame->ShowSystemMenuFromKeyboard();
    f.host->Pump();
    f.Close();
  }
  state.SetLabel(state.range(0) ? "skinned" : "plain look");
}
BENCHMARK(BM_SystemMenuCycle)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_SkinnedHintShow(benchmark::State& state) {
  MenuForm f(true);
  auto* hint = new TskSkinHint(f.form);
  hint->SetSkinData(f.data);
  for (auto _ : state) {
    hint->HintWindow()->ActivateHint(Rect(300, 300, 300, 300), "Close");
    f.host->Pump();
  }
}
BENCHMARK(BM_SkinnedHintShow)->Unit(benchmark::kMicrosecond);

}  // namespace
