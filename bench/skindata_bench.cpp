// Loading a skin package of the program's size, and reading its definition text alone.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Bmp.h"
#include "skin/data/skIniReader.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinPackage.h"

namespace {

Bitmap Pattern(int width, int height, int colours) {
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int c = (x / 3 + y / 2 * 5) % colours;
      b.Set(x, y, MakePixel(c * 37 % 256, c * 91 % 256, c * 53 % 256));
    }
  return b;
}

// A definition of the program's shape: frame geometry, window records, 7 objects and 18
// control entries (one of type header).
std::vector<std::string> DefinitionLines() {
  std::vector<std::string> lines = {
      "[VERSION]", "skinname=Bench", "skinauthor=Kavri", "ver=1",
      "[PICTURES]", "picture=main.bmp", "inactivepicture=", "mask=mask.bmp", "activepicturescount=3",
      "0=a.bmp", "1=b.bmp", "2=c.bmp",
      "[FORMINFO]", "lefttoppoint=40,46", "righttoppoint=230,46", "leftbottompoint=40,107",
      "rightbottompoint=230,107", "clientrect=13,46,265,107", "maskrectarea=9,17,273,112",
      "buttonsrect=160,11,265,35", "captionrect=46,16,136,35", "borderwidth=4",
      "[POPUPWINDOW]", "windowpictureindex=2", "itemsrect=3,3,61,61",
      "[HINTWINDOW]", "windowpictureindex=2", "clientrect=3,3,29,13"};
  const std::vector<std::pair<std::string, std::string>> objects = {
      {"caption", "caption"}, {"close", "stdbutton"}, {"maximize", "stdbutton"},
      {"minimize", "stdbutton"}, {"rollup", "stdbutton"}, {"sysmenu", "stdbutton"},
      {"menuitem", "menuitem"}};
  const std::vector<std::pair<std::string, std::string>> controls = {
      {"panel", "panel"}, {"toolpanel", "panel"}, {"button", "button"}, {"toolbutton", "button"},
      {"edit", "edit"}, {"memo", "memo"}, {"combobox", "combobox"}, {"stdlabel", "stdlabel"},
      {"hsplitter", "splitter"}, {"header", "header"}, {"vscrollbar", "scrollbar"},
      {"hscrollbar", "scrollbar"}, {"bothhscrollbar", "scrollbar"}, {"listbox", "listbox"},
      {"checkbox", "checkradio"}, {"gauge", "gauge"}, {"label", "label"}, {"spin", "updown"}};
  auto list = [&](const char* section, const auto& entries) {
    lines.push_back(std::string("[") + section + "]");
    lines.push_back("count=" + std::to_string(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i)
      lines.push_back(std::to_string(i) + "=" + entries[i].first + ":" + entries[i].second);
    for (const auto& [name, type] : entries) {
      lines.push_back("[" + name + "]");
      for (const char* key : {"pictureindex=1", "activepictureindex=0", "skinrect=0,0,24,21",
                              "lefttoppoint=3,3", "righttoppoint=21,3", "leftbottompoint=3,18",
                              "rightbottompoint=21,18", "clientrect=2,2,22,19",
                              "activeskinrect=48,0,72,21", "downskinrect=24,0,48,21",
                              "fontheight=12", "fontstyle=fsbold", "activefontcolor=16711680"})
        lines.push_back(key);
    }
  };
  list("SKINOBJECTS", objects);
  list("SKINCONTROLS", controls);
  return lines;
}

TskCompressedStoredSkin& ProgramSizedSkin() {
  static TskCompressedStoredSkin skin;
  if (skin.IsEmpty()) {
    SkinPackageWriter out;
    out.WriteInt32(3);
    out.WriteFlaggedBitmap(SaveBmp(Pattern(277, 116, 120), 8));
    out.WriteFlaggedBitmap({});
    Bitmap mask(277, 116, MakePixel(0, 0, 0));
    out.WriteFlaggedBitmap(SaveBmp(mask, 1));
    out.WriteInt32(3);
    out.WriteBitmapImage(SaveBmp(Pattern(120, 96, 60), 8));
    out.WriteBitmapImage(SaveBmp(Pattern(300, 150, 90), 8));
    out.WriteBitmapImage(SaveBmp(Pattern(80, 110, 40), 8));
    out.WriteLines(DefinitionLines());
    skin.SetCompressedData(CompressSkinStream(out.Bytes()));
  }
  return skin;
}

void BM_LoadStoredSkin(benchmark::State& state) {
  TskCompressedStoredSkin& skin = ProgramSizedSkin();
  TskSkinData data;
  for (auto _ : state) {
    data.LoadStoredSkin(skin);
    benchmark::DoNotOptimize(data.ControlList().size());
  }
  state.counters["compressed_bytes"] = static_cast<double>(skin.CompressedData().size());
}
BENCHMARK(BM_LoadStoredSkin)->Unit(benchmark::kMicrosecond);

void BM_Inflate(benchmark::State& state) {
  TskCompressedStoredSkin& skin = ProgramSizedSkin();
  for (auto _ : state) {
    std::vector<std::uint8_t> plain;
    skin.DecompressTo(plain);
    benchmark::DoNotOptimize(plain.data());
  }
}
BENCHMARK(BM_Inflate)->Unit(benchmark::kMicrosecond);

void BM_ReadDefinition(benchmark::State& state) {
  const std::vector<std::string> lines = DefinitionLines();
  TskSkinData data;
  for (auto _ : state) {
    data.FreeRecords();
    data.ReadDefinition(SkinIni(lines));
    benchmark::DoNotOptimize(data.ControlList().size());
  }
  state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_ReadDefinition)->Unit(benchmark::kMicrosecond);

}  // namespace
