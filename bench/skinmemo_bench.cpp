// Typing one character into a memo holding 1 MB of text, skinned beside plain, and one
// full paint of a 600 x 400 skinned memo, in the program's skin.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skSkinBoxCtrls.h"
#include "skin/data/skSkinData.h"
#include "skin/form/skSkinForm.h"
#include "toolkit/Edits.h"
#include "toolkit/Forms.h"

namespace {

std::string ProgramPackage() { return std::string(KAVRI_BINARY_DIR) + "/assets/skin/kavri.skinpkg"; }

// 1 MB of text in lines of 64 characters.
std::string Megabyte() {
  std::string line(63, 'x');
  line += '\n';
  std::string text;
  text.reserve(1 << 20);
  while (text.size() + line.size() <= (1u << 20)) text += line;
  return text;
}

// A shown form with one memo, skinned (with the program's skin) or plain, focused.
struct MemoForm {
  HeadlessHost* host = nullptr;
  TForm* form = nullptr;
  TCustomEdit* memo = nullptr;

  MemoForm(bool skinned, int width, int height, const std::string& text) {
    auto h = std::make_unique<HeadlessHost>();
    host = h.get();
    WindowSystem::Install(std::move(h));
    form = new TForm(nullptr);
    form->SetBounds(0, 0, width + 80, height + 100);
    if (skinned) {
      auto* frame = new TskSkinForm(form);
      auto* stored = new TskCompressedStoredSkin(form);
      stored->LoadFromPackageFile(ProgramPackage());
      auto* data = new TskSkinData(form);
      frame->SetSkinData(data);
      data->SetCompressedStoredSkin(stored);
      auto* m = new TskSkinMemo(form);
      m->SetParent(form);
      m->SetSkinData(data);
      memo = m;
    } else {
      auto* m = new TMemo(form);
      m->SetParent(form);
      memo = m;
    }
    memo->SetBounds(10, 10, width, height);
    memo->SetText(text);
    form->Show();
    memo->SetFocus();
    host->Pump();
  }
  ~MemoForm() {
    delete form;
    WindowSystem::Shutdown();
  }
};

void TypeInto(benchmark::State& state, bool skinned) {
  MemoForm f(skinned, 300, 200, Megabyte());
  for (auto _ : state) {
    f.host->TypeText("a");
    f.host->Pump();
  }
}

void BM_KeystrokeIntoSkinnedMemoOf1MB(benchmark::State& state) { TypeInto(state, true); }
BENCHMARK(BM_KeystrokeIntoSkinnedMemoOf1MB)->Unit(benchmark::kMicrosecond);

void BM_KeystrokeIntoPlainMemoOf1MB(benchmark::State& state) { TypeInto(state, false); }
BENCHMARK(BM_KeystrokeIntoPlainMemoOf1MB)->Unit(benchmark::kMicrosecond);

void BM_FullPaintOfSkinnedMemo600x400(benchmark::State& state) {
  MemoForm f(true, 600, 400, "A skinned memo\nwith a few lines\nof text");
  for (auto _ : state) {
    RedrawWindow(f.memo->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
    f.host->Pump();
  }
}
BENCHMARK(BM_FullPaintOfSkinnedMemo600x400)->Unit(benchmark::kMicrosecond);

}  // namespace
