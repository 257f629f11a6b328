// A hand-made skin for list and combo box tests: a nine-part list frame, three item
// states, scroll bars, a combo box with its button states, and damaged records.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "SkinCtrlsTestSupport.h"

namespace listskin {

constexpr Color kFrame = RGB(90, 40, 0);
constexpr Color kClientTex = RGB(200, 220, 240);
constexpr Color kItem = RGB(240, 240, 200);
constexpr Color kItemEnd = RGB(100, 100, 0);
constexpr Color kItemActive = RGB(0, 0, 160);
constexpr Color kItemFocus = RGB(160, 0, 0);
constexpr Color kBarButton = RGB(10, 60, 10);
constexpr Color kTrack = RGB(180, 180, 180);
constexpr Color kThumb = RGB(60, 0, 60);
constexpr Color kComboFrame = RGB(0, 90, 90);
constexpr Color kComboClient = RGB(230, 250, 250);
constexpr Color kComboButton = RGB(20, 20, 120);
constexpr Color kComboButtonHot = RGB(255, 160, 0);
constexpr Color kComboButtonDown = RGB(255, 60, 60);
constexpr Color kComboItem = RGB(250, 230, 250);
constexpr Color kComboItemFocus = RGB(120, 0, 120);
// Text colours of the records.
constexpr Color kText = RGB(0, 0, 0);
constexpr Color kActiveText = RGB(255, 255, 255);
constexpr Color kFocusText = RGB(255, 255, 0);

inline Bitmap Picture() {
  Bitmap b(200, 80, MakePixel(255, 255, 255));
  const std::pair<Rect, Color> fills[] = {
      {{0, 0, 30, 30}, kFrame},          {{2, 2, 28, 28}, kClientTex},       {{40, 0, 80, 16}, kItemEnd},
      {{42, 0, 78, 16}, kItem},          {{40, 16, 80, 32}, kItemActive},    {{40, 32, 80, 48}, kItemFocus},
      {{100, 0, 110, 60}, kBarButton},   {{100, 10, 110, 50}, kTrack},       {{112, 0, 120, 16}, kThumb},
      {{0, 50, 60, 60}, kBarButton},     {{10, 50, 50, 60}, kTrack},         {{60, 50, 76, 58}, kThumb},
      {{0, 64, 60, 80}, kComboFrame},    {{3, 67, 40, 77}, kComboClient},    {{42, 66, 58, 78}, kComboButton},
      {{80, 64, 96, 76}, kComboButtonHot}, {{100, 64, 116, 76}, kComboButtonDown},
      {{120, 64, 150, 74}, kComboItem},  {{150, 64, 180, 74}, kComboItemFocus},
  };
  for (const auto& [r, c] : fills) skinctl::FillRectPixels(b, r, c);
  return b;
}

inline std::vector<std::pair<std::string, std::string>> Sections() {
  const std::string list =
      "pictureindex=0|skinrect=0,0,30,30|lefttoppoint=3,3|righttoppoint=27,3|leftbottompoint=3,27|"
      "rightbottompoint=27,27|clientrect=2,2,28,28|itemrect=40,0,80,16|activeitemrect=40,16,80,32|"
      "focusitemrect=40,32,80,48|itemleftoffset=2|itemrightoffset=2|itemtextrect=4,0,36,16|"
      "fontname=DejaVu Sans|fontheight=12|fontcolor=0|activefontcolor=16777215|focusfontcolor=65535|"
      "vscrollbarname=vbar|hscrollbarname=hbar|bothhscrollbarname=hbar";
  return {
      // First of the records: the button a combo draws without the skin's size.
      {"resizebutton:button", "pictureindex=0|skinrect=80,64,96,76|activeskinrect=100,64,116,76|fontcolor=255"},
      {"list:listbox", list},
      // Selected items keep the normal image but the active text colour.
      {"noactive:listbox", list + "|activeitemrect=0,0,0,0"},
      // Every rectangle beyond the picture, the item taller than any list can draw.
      {"outside:listbox",
       list + "|skinrect=150,0,3000,3000|clientrect=2,2,2900,2900|itemrect=190,70,5000,2000000000|"
              "activeitemrect=-50,-50,10,10|itemtextrect=-10,-10,100000,100000"},
      // Caption buttons: "up" in the right fixed part follows the right edge, "down" not.
      {"captioned:listbox",
       list + "|upbuttonrect=27,0,30,3|activeupbuttonrect=80,64,83,67|downupbuttonrect=100,64,103,67|"
              "downbuttonrect=22,0,25,3|activedownbuttonrect=80,64,83,67|checkbuttonrect=17,0,20,3"},
      {"vbar:scrollbar",
       "pictureindex=0|skinrect=100,0,110,60|lefttoppoint=0,10|leftbottompoint=0,50|clientrect=0,0,10,60|"
       "trackarea=0,10,10,50|upbuttonrect=0,50,10,60|downbuttonrect=0,0,10,10|thumbrect=112,0,120,16"},
      {"hbar:scrollbar",
       "pictureindex=0|skinrect=0,50,60,60|lefttoppoint=10,0|righttoppoint=50,0|clientrect=0,0,60,10|"
       "trackarea=10,0,50,10|upbuttonrect=50,0,60,10|downbuttonrect=0,0,10,10|thumbrect=60,50,76,58"},
      // A combo whose every rectangle lies beyond the picture.
      {"farcombo:combobox",
       "pictureindex=0|skinrect=150,70,4000,90|lefttoppoint=4,0|righttoppoint=3000,0|clientrect=3,3,3000,13|"
       "itemrect=190,75,90000,2000000000|itemtextrect=-5,-5,100000,100000|buttonrect=2990,-10,3100,50|"
       "activebuttonrect=-100,-100,5000,5000|listboxname=outside"},
      {"combo:combobox",
       "pictureindex=0|skinrect=0,64,60,80|lefttoppoint=4,0|righttoppoint=40,0|clientrect=3,3,40,13|"
       "itemrect=120,64,150,74|focusitemrect=150,64,180,74|itemleftoffset=1|itemrightoffset=1|"
       "itemtextrect=2,0,28,10|fontname=DejaVu Sans|fontheight=10|fontcolor=0|focusfontcolor=65535|"
       "listboxname=list|buttonrect=42,2,58,14|activebuttonrect=80,64,96,76|downbuttonrect=100,64,116,76"},
  };
}

inline std::vector<std::uint8_t> Package() {
  const auto sections = Sections();
  std::vector<std::string> lines = {"[VERSION]",      "skinname=lists", "[PICTURES]",    "activepicturescount=1",
                                    "0=lists.bmp",    "[FORMINFO]",     "[SKINOBJECTS]", "count=0",
                                    "[SKINCONTROLS]", "count=" + std::to_string(sections.size())};
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const std::string& id = sections[i].first;
    lines.push_back(std::to_string(i) + "=" + id);
  }
  for (const auto& [id, keys] : sections) {
    lines.push_back("[" + id.substr(0, id.find(':')) + "]");
    // A key given again replaces the earlier one.
    std::vector<std::string> kept;
    for (std::size_t from = 0; from <= keys.size();) {
      const std::size_t to = std::min(keys.find('|', from), keys.size());
      const std::string key = keys.substr(from, to - from);
      const std::string name = key.substr(0, key.find('='));
      std::erase_if(kept, [&](const std::string& k) { return k.substr(0, k.find('=')) == name; });
      kept.push_back(key);
      from = to + 1;
    }
    lines.insert(lines.end(), kept.begin(), kept.end());
  }
  SkinPackageWriter out;
  out.WriteInt32(SkinPackageVersion);
  for (int i = 0; i < 3; ++i) out.WriteFlaggedBitmap({});
  out.WriteInt32(1);
  out.WriteBitmapImage(SaveBmp(Picture(), 24));
  out.WriteLines(lines);
  return CompressSkinStream(out.Bytes());
}

}  // namespace listskin
