// Skin definition records: list building, per-class keys and defaults, FORMINFO completion.
#include <gtest/gtest.h>

#include "skin/data/skIniReader.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinErrors.h"
#include "skin/data/skSkinRecords.h"

namespace {

std::unique_ptr<TskSkinData> Read(const std::vector<std::string>& lines) {
  auto data = std::make_unique<TskSkinData>();
  data->ReadDefinition(SkinIni(lines));
  return data;
}

template <typename T>
const T& Control(const TskSkinData& data, std::string_view name) {
  const int i = data.FindControlIndex(name);
  EXPECT_GE(i, 0) << name;
  const auto* record = dynamic_cast<const T*>(data.ControlList().at(static_cast<std::size_t>(i)).get());
  EXPECT_NE(record, nullptr) << name;
  return *record;
}

template <typename T>
const T& Object(const TskSkinData& data, std::string_view name) {
  const int i = data.FindObjectIndex(name);
  EXPECT_GE(i, 0) << name;
  const auto* record = dynamic_cast<const T*>(data.ObjectList().at(static_cast<std::size_t>(i)).get());
  EXPECT_NE(record, nullptr) << name;
  return *record;
}

TEST(SkinRecordLists, EntriesMakeRecordsOfTheirTypeInOrder) {
  const auto data = Read({
      "[SKINCONTROLS]", "count=7",
      "0=panel:panel", "1=head:header", "2=toolpanel:panel", "3=nocolon",
      "4=Big:Panel", "5=b:button:extra", "6=panel:edit",
      "[SKINOBJECTS]", "count=2", "0=close:stdbutton", "1=x:button",
  });
  const auto& controls = data->ControlList();
  // "b:button:extra" splits at its first colon, and "button:extra" is no type name.
  ASSERT_EQ(controls.size(), 3u);
  EXPECT_EQ(controls[0]->Name, "panel");
  EXPECT_EQ(controls[1]->Name, "toolpanel");
  EXPECT_EQ(controls[2]->Name, "panel");
  EXPECT_EQ(controls[2]->TypeName(), "edit");
  EXPECT_EQ(data->FindControlIndex("panel"), 0);  // the first of two records named panel
  EXPECT_EQ(data->FindControlIndex("Panel"), -1);
  EXPECT_EQ(data->FindControlIndex("head"), -1);
  ASSERT_EQ(data->ObjectList().size(), 2u);
  EXPECT_NE(dynamic_cast<const TskDataSkinStdButton*>(data->ObjectList()[0].get()), nullptr);
  EXPECT_EQ(data->ObjectList()[1]->TypeName(), "button");
  EXPECT_EQ(data->FindObjectIndex("x"), 1);
}

TEST(SkinRecordLists, CountsBelowOneAndLyingCounts) {
  EXPECT_TRUE(Read({"[SKINCONTROLS]", "count=0", "0=panel:panel"})->ControlList().empty());
  EXPECT_TRUE(Read({"[SKINCONTROLS]", "count=-3", "0=panel:panel"})->ControlList().empty());
  EXPECT_TRUE(Read({"[SKINCONTROLS]", "count=two", "0=panel:panel"})->ControlList().empty());
  const auto data = Read({"[SKINCONTROLS]", "count=2000000000", "0=a:panel", "9=b:edit"});
  EXPECT_EQ(data->ControlList().size(), 2u);
}

TEST(SkinRecordLists, EveryTypeNameSelectsItsClass) {
  for (const char* type :
       {"panel", "expanel", "menubutton", "button", "checkradio", "gauge", "splitter", "trackbar",
        "label", "stdlabel", "updown", "grid", "tab", "mainmenubar", "controlbar", "memo", "edit",
        "checklistbox", "listbox", "combobox", "scrollbar", "spinedit", "scrollbox", "treeview",
        "bevel", "slider", "listview", "richedit"}) {
    const auto record = CreateSkinControlRecord(type, "r");
    ASSERT_NE(record, nullptr) << type;
    EXPECT_EQ(record->TypeName(), type);
  }
  for (const char* type : {"menuitem", "mainmenubaritem", "stdbutton", "mainmenubarbutton", "button",
                           "caption", "animate", "userobject"}) {
    const auto record = CreateSkinObjectRecord(type, "r");
    ASSERT_NE(record, nullptr) << type;
    EXPECT_EQ(record->TypeName(), type);
  }
  EXPECT_EQ(CreateSkinControlRecord("header", "r"), nullptr);
  EXPECT_EQ(CreateSkinObjectRecord("panel", "r"), nullptr);
  EXPECT_EQ(CreateSkinControlRecord("", "r"), nullptr);
}

TEST(SkinRecords, MissingSectionGivesDefaults) {
  const auto data = Read({"[SKINCONTROLS]", "count=4", "0=b:button", "1=l:listbox", "2=s:stdlabel",
                          "3=p:panel", "[SKINOBJECTS]", "count=2", "0=a:animate", "1=c:stdbutton"});
  const auto& button = Control<TskDataSkinButtonControl>(*data, "b");
  EXPECT_EQ(button.PictureIndex, -1);
  EXPECT_EQ(button.MaskPictureIndex, -1);
  EXPECT_EQ(button.FontName, "宋体");
  EXPECT_EQ(button.FontHeight, 14);
  EXPECT_EQ(button.FontStyle, 0u);
  EXPECT_EQ(button.MorphKind, SkinMorphKind::Default);
  const auto& list = Control<TskDataSkinListBox>(*data, "l");
  EXPECT_EQ(list.VScrollBarName, "vscrollbar");
  EXPECT_EQ(list.HScrollBarName, "hscrollbar");
  EXPECT_EQ(list.BothHScrollBarName, "bothhscrollbar");
  EXPECT_EQ(list.CaptionFont.FontName, "宋体");
  EXPECT_EQ(list.CaptionFont.FontHeight, 14);
  EXPECT_EQ(Control<TskDataSkinStdLabelControl>(*data, "s").ActiveFontColor, 0xFF0000u);
  const auto& panel = Control<TskDataSkinPanelControl>(*data, "p");
  EXPECT_EQ(panel.Alignment, SkinAlignment::Center);
  EXPECT_EQ(panel.BGPictureIndex, -1);
  const auto& animate = Object<TskDataSkinAnimate>(*data, "a");
  EXPECT_EQ(animate.CountFrames, 1);
  EXPECT_EQ(animate.TimerInterval, 50);
  EXPECT_EQ(animate.Command, SkinCommand::Default);
  EXPECT_EQ(animate.ActivePictureIndex, -1);
  EXPECT_EQ(Object<TskDataSkinStdButton>(*data, "c").Command, SkinCommand::Default);
}

TEST(SkinRecords, KeysOfBaseAndClassAreRead) {
  const auto data = Read({
      "[SKINCONTROLS]", "count=3", "0=memo:memo", "1=m:menubutton", "2=sb:scrollbar",
      "[memo]", "PictureIndex=2", "skinrect=1,2,30,40", "lefttoppoint=3,3", "clientrect=3,3,27,37",
      "activeskinrect=31,2,60,40", "fontstyle=fsitalic", "fontcolor=$0000FF", "bgcolor=16777215",
      "activebgcolor=x", "disabledfontcolor=8421504",
      "[m]", "morphing=1", "trackbuttonrect=5,6,7,8", "morphkind=mkrightslide",
      "[sb]", "thumbtransparent=2", "thumboffset1=-3", "glyphrect=1,1,2,2",
  });
  const auto& memo = Control<TskDataSkinMemoControl>(*data, "memo");
  EXPECT_EQ(memo.PictureIndex, 2);
  EXPECT_EQ(memo.SkinRect, Rect(1, 2, 30, 40));
  EXPECT_EQ(memo.LeftTopPoint, Point(3, 3));
  EXPECT_EQ(memo.ClientRect, Rect(3, 3, 27, 37));
  EXPECT_EQ(memo.ActiveSkinRect, Rect(31, 2, 60, 40));
  EXPECT_EQ(memo.FontStyle, SkinFontItalic);
  EXPECT_EQ(memo.FontColor, 0x0000FFu);
  EXPECT_EQ(memo.BGColor, 0xFFFFFFu);
  EXPECT_EQ(memo.ActiveBGColor, 0u);  // unparsable: the default
  EXPECT_EQ(memo.DisabledFontColor, 8421504u);
  const auto& menu = Control<TskDataSkinMenuButtonControl>(*data, "m");
  EXPECT_TRUE(menu.Morphing);
  EXPECT_EQ(menu.MorphKind, SkinMorphKind::RightSlide);
  EXPECT_EQ(menu.TrackButtonRect, Rect(5, 6, 7, 8));
  const auto& bar = Control<TskDataSkinScrollBarControl>(*data, "sb");
  EXPECT_FALSE(bar.ThumbTransparent);  // only 1 is true
  EXPECT_EQ(bar.ThumbOffset1, -3);
  EXPECT_EQ(bar.GlyphRect, Rect(1, 1, 2, 2));
}

TEST(SkinRecords, UpDownHasNoCornersOrClientRect) {
  const auto data = Read({"[SKINCONTROLS]", "count=1", "0=ud:updown", "[ud]", "lefttoppoint=4,4",
                          "rightbottompoint=9,9", "clientrect=1,1,5,5", "skinrect=0,0,16,32",
                          "upbuttonrect=0,0,16,16"});
  const auto& ud = Control<TskDataSkinUpDownControl>(*data, "ud");
  EXPECT_EQ(ud.LeftTopPoint, Point());
  EXPECT_EQ(ud.RightBottomPoint, Point());
  EXPECT_EQ(ud.ClientRect, Rect());
  EXPECT_EQ(ud.SkinRect, Rect(0, 0, 16, 32));
  EXPECT_EQ(ud.UpButtonRect, Rect(0, 0, 16, 16));
}

TEST(SkinRecords, UserObjectReadsOnlySkinRect) {
  const auto data = Read({"[SKINOBJECTS]", "count=1", "0=u:userobject", "[u]", "skinrect=1,2,3,4",
                          "hint=ignored", "activepictureindex=3", "morphing=1"});
  const auto& u = Object<TskDataUserObject>(*data, "u");
  EXPECT_EQ(u.SkinRect, Rect(1, 2, 3, 4));
  EXPECT_EQ(u.Hint, "");
  EXPECT_EQ(u.ActivePictureIndex, -1);
  EXPECT_FALSE(u.Morphing);
}

TEST(SkinRecords, WrittenFormsReadBackToSameRecord) {
  const std::vector<std::string> lines = {
      "[SKINOBJECTS]", "count=2", "0=cap:caption", "1=close:stdbutton",
      "[cap]", "textrect=4,2,86,17", "fontstyle=fsbold fsstrikeout", "alignment=taleftjustify",
      "shadow=1", "activefontcolor=-1", "morphkind=mkpush",
      "[close]", "command=unknown", "disableskinrsect=1,2,3,4", "hint=Close it",
      "[SKINCONTROLS]", "count=1", "0=lb:checklistbox",
      "[lb]", "captionfontname=Arial", "captionfontstyle=fsunderline", "vscrollbarname=v2",
      "itemcheckrect=1,1,9,9"};
  const auto first = Read(lines);
  SkinIniWriter out;
  for (const auto& r : first->ObjectList()) out.WriteString(r->Name, "type", r->TypeName());
  for (const auto& r : first->ObjectList()) r->WriteData(out);
  for (const auto& r : first->ControlList()) r->WriteData(out);
  const std::string text = out.Text();
  EXPECT_NE(text.find("fontstyle=fsbold,fsstrikeout\n"), std::string::npos);
  EXPECT_NE(text.find("command=cmminimizetotray\n"), std::string::npos);
  EXPECT_NE(text.find("activefontcolor=-1\n"), std::string::npos);
  EXPECT_NE(text.find("shadow=1\n"), std::string::npos);
  EXPECT_NE(text.find("alignment=taleftjustify\n"), std::string::npos);

  std::vector<std::string> again(lines.begin(), lines.begin() + 4);
  again.insert(again.end(), lines.begin() + 15, lines.begin() + 18);
  for (const auto& line : SplitSkinLines(text)) again.push_back(line);
  const auto second = Read(again);
  SkinIniWriter out2;
  for (const auto& r : second->ObjectList()) out2.WriteString(r->Name, "type", r->TypeName());
  for (const auto& r : second->ObjectList()) r->WriteData(out2);
  for (const auto& r : second->ControlList()) r->WriteData(out2);
  EXPECT_EQ(out2.Text(), text);
}

TEST(SkinRecords, BadPointEndsTheRead) {
  EXPECT_THROW(Read({"[SKINCONTROLS]", "count=1", "0=p:panel", "[p]", "lefttoppoint=5,"}), ConvertError);
  EXPECT_THROW(Read({"[FORMINFO]", "clientrect=1,2,3"}), ConvertError);
  EXPECT_THROW(Read({"[HINTWINDOW]", "clientrect"}), ConvertError);  // a key without a value
}

struct FormInfoCase {
  const char* name;
  std::vector<std::string> lines;
  Rect maskRectArea;
  Point leftTop, rightBottom, hitLeftTop, hitRightBottom;
};

TEST(SkinFormInfo, CompletionStepsF1ToF3) {
  const std::vector<std::string> corners = {"lefttoppoint=5,40", "righttoppoint=270,40",
                                            "leftbottompoint=5,110", "rightbottompoint=270,110",
                                            "clientrect=13,46,265,107"};
  auto with = [&](std::vector<std::string> extra, bool mask) {
    std::vector<std::string> lines = {"[PICTURES]", mask ? "mask=mask.bmp" : "mask=", "[FORMINFO]"};
    lines.insert(lines.end(), corners.begin(), corners.end());
    lines.insert(lines.end(), extra.begin(), extra.end());
    return lines;
  };
  const FormInfoCase cases[] = {
      {"mask area kept when it holds the client", with({"maskrectarea=9,17,273,112"}, true),
       Rect(9, 17, 273, 112), {13, 46}, {265, 107}, {5, 40}, {270, 110}},
      {"missing mask area becomes the client", with({}, true), Rect(13, 46, 265, 107), {13, 46},
       {265, 107}, {5, 40}, {270, 110}},
      {"mask area widened to the client", with({"maskrectarea=20,10,100,50"}, true),
       Rect(13, 10, 265, 107), {13, 46}, {265, 107}, {5, 40}, {270, 110}},
      {"hit-test point with one coordinate set still filled",
       with({"hittestlefttoppoint=0,20", "hittestrightbottompoint=3,4"}, true),
       Rect(13, 46, 265, 107), {13, 46}, {265, 107}, {5, 40}, {3, 4}},
      {"no mask: no F1, no F2", with({"maskrectarea=20,10,100,50"}, false), Rect(20, 10, 100, 50),
       {13, 46}, {265, 107}, {0, 0}, {0, 0}},
  };
  for (const FormInfoCase& c : cases) {
    const auto data = Read(c.lines);
    const SkinFormInfo& f = data->FormInfo();
    EXPECT_EQ(f.MaskRectArea, c.maskRectArea) << c.name;
    EXPECT_EQ(f.LeftTopPoint, c.leftTop) << c.name;
    EXPECT_EQ(f.RightBottomPoint, c.rightBottom) << c.name;
    EXPECT_EQ(f.RightTopPoint, Point(265, 46)) << c.name;
    EXPECT_EQ(f.LeftBottomPoint, Point(13, 107)) << c.name;
    EXPECT_EQ(f.HitTestLeftTopPoint, c.hitLeftTop) << c.name;
    EXPECT_EQ(f.HitTestRightBottomPoint, c.hitRightBottom) << c.name;
  }
}

TEST(SkinFormInfo, DegenerateCornersAreLeftAlone) {
  for (const char* rightBottom : {"rightbottompoint=5,200", "rightbottompoint=300,40"}) {
    const auto data = Read({"[FORMINFO]", "lefttoppoint=5,40", "righttoppoint=300,1", rightBottom,
                            "clientrect=13,46,265,107"});
    EXPECT_EQ(data->FormInfo().LeftTopPoint, Point(5, 40)) << rightBottom;
    EXPECT_EQ(data->FormInfo().RightTopPoint, Point(300, 1)) << rightBottom;
  }
  const auto zero = Read({"[FORMINFO]", "clientrect=13,46,265,107"});
  EXPECT_EQ(zero->FormInfo().LeftTopPoint, Point());
  EXPECT_EQ(zero->FormInfo().RightBottomPoint, Point());
}

TEST(SkinFormInfo, OtherFieldsAndDefaults) {
  const auto data = Read({"[FORMINFO]", "bgpictureindex=2", "inactiveeffect=IENOISE", "borderwidth=$10",
                          "buttonsinleft=1", "autorenderinginactiveimage=1"});
  const SkinFormInfo& f = data->FormInfo();
  EXPECT_EQ(f.BGPictureIndex, 2);
  EXPECT_EQ(f.MDIBGPictureIndex, -1);
  EXPECT_EQ(f.InActiveEffect, SkinImageEffect::Grayscale);
  EXPECT_EQ(f.BorderWidth, 16);
  EXPECT_TRUE(f.ButtonsInLeft);
  EXPECT_TRUE(f.AutoRenderingInActiveImage);
  EXPECT_FALSE(f.MainMenuPopupUp);
  EXPECT_EQ(Read({})->FormInfo().InActiveEffect, SkinImageEffect::Brightness);
}

TEST(SkinWindowRecords, PopupAndHintReadTheirSections) {
  const auto data = Read({"[POPUPWINDOW]", "windowpictureindex=2", "itemsrect=3,3,61,61",
                          "scrollmarkeractivecolor=$FF0000", "topstretch=1",
                          "[HINTWINDOW]", "maskpictureindex=1", "fontheight=12", "clientrect=3,3,29,13"});
  EXPECT_EQ(data->PopupWindow().WindowPictureIndex, 2);
  EXPECT_EQ(data->PopupWindow().MaskPictureIndex, -1);
  EXPECT_EQ(data->PopupWindow().ItemsRect, Rect(3, 3, 61, 61));
  EXPECT_EQ(data->PopupWindow().ScrollMarkerActiveColor, 0xFF0000u);
  EXPECT_TRUE(data->PopupWindow().TopStretch);
  EXPECT_EQ(data->HintWindow().WindowPictureIndex, -1);
  EXPECT_EQ(data->HintWindow().MaskPictureIndex, 1);
  EXPECT_EQ(data->HintWindow().FontHeight, 12);
  EXPECT_EQ(data->HintWindow().FontName, "宋体");
  EXPECT_EQ(data->HintWindow().ClientRect, Rect(3, 3, 29, 13));
}

TEST(SkinWindowRecords, ConstructedEmpty) {
  const TskDataSkinHintWindow hint;
  EXPECT_EQ(hint.WindowPictureIndex, -1);
  EXPECT_EQ(hint.MaskPictureIndex, -1);
  EXPECT_EQ(hint.FontName, "");
  EXPECT_EQ(hint.FontHeight, 0);
}

}  // namespace
