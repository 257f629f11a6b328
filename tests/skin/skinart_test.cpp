// The built-in skin and glyphs: the package loads, its geometry is what the windows' layout
// relies on, every record the windows name exists, and every rectangle and index is sound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/skin/KavriSkinData.h"
#include "platform/gfx/Bmp.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinDump.h"
#include "skin/data/skSkinRecords.h"

namespace {

class SkinArt : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const auto bytes = KavriStoredSkin();
    s_stored = new TskCompressedStoredSkin;
    s_stored->SetCompressedData({bytes.begin(), bytes.end()});
    s_data = new TskSkinData;
    s_data->LoadStoredSkin(*s_stored);
  }
  static void TearDownTestSuite() {
    delete s_data;
    delete s_stored;
  }
  static const TskSkinData& Data() { return *s_data; }

  static TskCompressedStoredSkin* s_stored;
  static TskSkinData* s_data;
};
TskCompressedStoredSkin* SkinArt::s_stored = nullptr;
TskSkinData* SkinArt::s_data = nullptr;

bool Inside(const Bitmap& picture, const Rect& r) {
  return !r.IsEmpty() && r.left >= 0 && r.top >= 0 && r.right <= picture.Width() && r.bottom <= picture.Height();
}

bool InZone(const Rect& zone, Point p) {
  return p.x >= zone.left && p.x < zone.right && p.y >= zone.top && p.y < zone.bottom;
}

TEST_F(SkinArt, StoredBytesAreALevel9StreamThatLoads) {
  const auto bytes = KavriStoredSkin();
  ASSERT_GT(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0x78);
  EXPECT_EQ(bytes[1], 0xDA);
  ASSERT_FALSE(Data().SkinEmpty());
  EXPECT_EQ(Data().SkinName(), "Kavri Mist");
  EXPECT_FALSE(Data().SkinAuthor().empty());
}

TEST_F(SkinArt, PicturesHaveTheStoredFormats) {
  EXPECT_EQ(Data().Picture().GetSize(), (Size{277, 116}));
  EXPECT_EQ(Data().Picture().Format(), PixelFormat::Bits8);
  EXPECT_EQ(Data().InactivePicture().GetSize(), (Size{277, 116}));
  EXPECT_EQ(Data().Mask().GetSize(), (Size{277, 116}));
  EXPECT_EQ(Data().Mask().Format(), PixelFormat::Bits1);
  for (const Bitmap& picture : Data().ActivePictures()) EXPECT_FALSE(picture.IsEmpty());
}

TEST_F(SkinArt, DumpShowsTheFrameGeometry) {
  const std::string dump = SkinDumpText(Data());
  for (const char* line : {"clientrect=13,46,265,107\n", "maskrectarea=9,17,273,112\n", "picture.size=277x116\n",
                           "bgpictureindex=-1\n"})
    EXPECT_NE(dump.find(line), std::string::npos) << line;
  const SkinFormInfo& f = Data().FormInfo();
  // The client insets the windows' layout is made for.
  EXPECT_EQ(f.ClientRect.left, 13);
  EXPECT_EQ(f.ClientRect.top, 46);
  EXPECT_EQ(277 - f.ClientRect.right, 12);
  EXPECT_EQ(116 - f.ClientRect.bottom, 9);
  EXPECT_EQ(f.BGPictureIndex, -1);
  EXPECT_GT(f.BorderWidth, 0);
}

struct NamedRecord {
  const char* name;
  const char* type;
};

TEST_F(SkinArt, EveryRecordTheWindowsNameExistsWithItsType) {
  const NamedRecord controls[] = {
      {"panel", "panel"},         {"toolpanel", "panel"},       {"button", "button"},
      {"toolbutton", "button"},   {"edit", "edit"},             {"memo", "memo"},
      {"combobox", "combobox"},   {"listbox", "listbox"},       {"stdlabel", "stdlabel"},
      {"hsplitter", "splitter"},  {"vscrollbar", "scrollbar"},  {"hscrollbar", "scrollbar"},
      {"bothhscrollbar", "scrollbar"},
  };
  for (const auto& [name, type] : controls) {
    const int i = Data().FindControlIndex(name);
    ASSERT_GE(i, 0) << name;
    EXPECT_EQ(Data().ControlList()[i]->TypeName(), type) << name;
  }
  const NamedRecord objects[] = {
      {"caption", "caption"},       {"closebutton", "stdbutton"},   {"maxbutton", "stdbutton"},
      {"minbutton", "stdbutton"},   {"rollupbutton", "stdbutton"},  {"sysmenubutton", "stdbutton"},
      {"menuitem", "menuitem"},
  };
  for (const auto& [name, type] : objects) {
    const int i = Data().FindObjectIndex(name);
    ASSERT_GE(i, 0) << name;
    EXPECT_EQ(Data().ObjectList()[i]->TypeName(), type) << name;
  }
}

TEST_F(SkinArt, CaptionButtonsCarryTheirCommands) {
  const std::pair<const char*, SkinCommand> buttons[] = {
      {"closebutton", SkinCommand::Close},   {"maxbutton", SkinCommand::Maximize},
      {"minbutton", SkinCommand::Minimize},  {"rollupbutton", SkinCommand::RollUp},
      {"sysmenubutton", SkinCommand::SysMenu},
  };
  for (const auto& [name, command] : buttons) {
    const auto* b = dynamic_cast<const TskDataSkinStdButton*>(Data().ObjectList()[Data().FindObjectIndex(name)].get());
    ASSERT_NE(b, nullptr) << name;
    EXPECT_EQ(b->Command, command) << name;
  }
}

TEST_F(SkinArt, ControlGeometryIsTheOneTheLayoutExpects) {
  const auto& list = Data().ControlList();
  const auto* button = dynamic_cast<const TskDataSkinButtonControl*>(list[Data().FindControlIndex("button")].get());
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->SkinRect, (Rect{0, 0, 24, 21}));
  EXPECT_EQ(button->ClientRect, (Rect{2, 2, 22, 19}));
  EXPECT_EQ(button->ActiveSkinRect, (Rect{48, 0, 72, 21}));
  const auto* edit = dynamic_cast<const TskDataSkinEditControl*>(list[Data().FindControlIndex("edit")].get());
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->SkinRect.GetSize(), (Size{57, 21}));
  EXPECT_EQ(edit->ClientRect, (Rect{3, 3, 54, 18}));
  const auto* combo = dynamic_cast<const TskDataSkinComboBox*>(list[Data().FindControlIndex("combobox")].get());
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->ListBoxName, "listbox");
  EXPECT_GE(Data().FindControlIndex(combo->ListBoxName), 0);
  const auto* listbox = dynamic_cast<const TskDataSkinListBox*>(list[Data().FindControlIndex("listbox")].get());
  ASSERT_NE(listbox, nullptr);
  for (const std::string& bar : {listbox->VScrollBarName, listbox->HScrollBarName, listbox->BothHScrollBarName})
    EXPECT_GE(Data().FindControlIndex(bar), 0) << bar;
  for (const auto& record : list)
    if (const auto* panel = dynamic_cast<const TskDataSkinPanelControl*>(record.get())) {
      EXPECT_EQ(panel->BGPictureIndex, -1) << panel->Name;
    }
}

TEST_F(SkinArt, EveryPictureIndexAndRectangleLiesInsideItsPicture) {
  const auto& pictures = Data().ActivePictures();
  const int count = static_cast<int>(pictures.size());
  auto valid = [&](int index) { return index >= -1 && index < count; };
  for (const auto& record : Data().ControlList()) {
    SCOPED_TRACE(record->Name);
    EXPECT_TRUE(valid(record->PictureIndex));
    EXPECT_TRUE(valid(record->MaskPictureIndex));
    if (record->PictureIndex < 0) continue;
    const Bitmap& picture = pictures[record->PictureIndex];
    EXPECT_TRUE(Inside(picture, record->SkinRect));
    std::vector<Rect> states;
    if (const auto* b = dynamic_cast<const TskDataSkinButtonControl*>(record.get()))
      states = {b->ActiveSkinRect, b->DownSkinRect};
    if (const auto* e = dynamic_cast<const TskDataSkinEditControl*>(record.get())) states = {e->ActiveSkinRect};
    if (const auto* c = dynamic_cast<const TskDataSkinComboBox*>(record.get()))
      states = {c->ItemRect, c->FocusItemRect, c->ActiveButtonRect, c->DownButtonRect};
    if (const auto* l = dynamic_cast<const TskDataSkinListBox*>(record.get()))
      states = {l->ItemRect, l->ActiveItemRect, l->FocusItemRect};
    if (const auto* s = dynamic_cast<const TskDataSkinScrollBarControl*>(record.get()))
      states = {s->ActiveUpButtonRect, s->DownUpButtonRect, s->ActiveDownButtonRect, s->DownDownButtonRect,
                s->ThumbRect, s->ActiveThumbRect, s->DownThumbRect};
    for (const Rect& r : states) EXPECT_TRUE(Inside(picture, r)) << SkinRectText(r);
    // Places inside the normal image are relative to it and stay within it.
    const auto* custom = dynamic_cast<const TskDataSkinCustomControl*>(record.get());
    if (custom && !custom->ClientRect.IsEmpty()) {
      EXPECT_TRUE(Rect(0, 0, custom->SkinRect.Width(), custom->SkinRect.Height()).Contains(custom->ClientRect));
    }
  }
  for (const auto& record : Data().ObjectList()) {
    SCOPED_TRACE(record->Name);
    ASSERT_TRUE(valid(record->ActivePictureIndex));
    const Bitmap* own = record->ActivePictureIndex >= 0 ? &pictures[record->ActivePictureIndex] : nullptr;
    EXPECT_TRUE(Inside(record->SkinRectInAPicture && own ? *own : Data().Picture(), record->SkinRect));
    if (!record->ActiveSkinRect.IsEmpty()) {
      ASSERT_NE(own, nullptr);
      EXPECT_TRUE(Inside(*own, record->ActiveSkinRect));
    }
    const auto* button = dynamic_cast<const TskDataSkinButton*>(record.get());
    if (button && !button->DownRect.IsEmpty()) {
      EXPECT_TRUE(own && Inside(*own, button->DownRect));
    }
  }
  const TskDataSkinPopupWindow& popup = Data().PopupWindow();
  const TskDataSkinHintWindow& hint = Data().HintWindow();
  for (int index : {popup.WindowPictureIndex, popup.MaskPictureIndex, hint.WindowPictureIndex, hint.MaskPictureIndex}) {
    EXPECT_GE(index, 0);
    EXPECT_LT(index, count);
  }
}

TEST_F(SkinArt, MaskCoversTheMaskAreaAndRoundsTheCorners) {
  const Bitmap& mask = Data().Mask();
  const Rect area = Data().FormInfo().MaskRectArea;
  EXPECT_EQ(area, (Rect{9, 17, 273, 112}));
  int outside = 0;
  for (int y = 0; y < mask.Height(); ++y)
    for (int x = 0; x < mask.Width(); ++x) {
      const bool black = (mask.At(x, y) & 0xFFFFFF) == 0;
      if (area.Contains(Point{x, y})) {
        ASSERT_TRUE(black) << x << "," << y;
      }
      if (!black) ++outside;
    }
  // Only the four corners are cut away.
  for (const Point corner : {Point{0, 0}, Point{276, 0}, Point{0, 115}, Point{276, 115}})
    EXPECT_NE(mask.At(corner.x, corner.y) & 0xFFFFFF, 0u) << corner.x << "," << corner.y;
  EXPECT_LT(outside, 200);
  EXPECT_EQ(mask.At(138, 0) & 0xFFFFFF, 0u);
}

TEST_F(SkinArt, CaptionWidensAndCloseButtonFollowsTheRightEdge) {
  const SkinFormInfo& f = Data().FormInfo();
  const int pw = Data().Picture().Width();
  const Rect topLeft{0, 0, f.LeftTopPoint.x, f.LeftTopPoint.y};
  const Rect topRight{f.RightTopPoint.x, 0, pw, f.RightTopPoint.y};
  const Rect caption = Data().ObjectList()[Data().FindObjectIndex("caption")]->SkinRect;
  const Rect close = Data().ObjectList()[Data().FindObjectIndex("closebutton")]->SkinRect;
  EXPECT_EQ(caption, (Rect{46, 16, 136, 35}));
  EXPECT_EQ(close, (Rect{240, 11, 264, 35}));
  // The caption starts in the top-left zone and ends in the top-right one: it stretches.
  EXPECT_TRUE(InZone(topLeft, caption.TopLeft()));
  EXPECT_TRUE(InZone(topRight, caption.BottomRight()));
  // The close button lies wholly in the top-right zone: it moves with the right edge.
  EXPECT_TRUE(InZone(topRight, close.TopLeft()));
  EXPECT_TRUE(InZone(topRight, close.BottomRight()));
  // The other caption buttons move with it and the system-menu mark stays put.
  for (const char* name : {"maxbutton", "minbutton", "rollupbutton"}) {
    const Rect r = Data().ObjectList()[Data().FindObjectIndex(name)]->SkinRect;
    EXPECT_TRUE(InZone(topRight, r.TopLeft()) && InZone(topRight, r.BottomRight())) << name;
  }
  const Rect sys = Data().ObjectList()[Data().FindObjectIndex("sysmenubutton")]->SkinRect;
  EXPECT_TRUE(InZone(topLeft, sys.TopLeft()) && InZone(topLeft, sys.BottomRight()));
}

struct GlyphCase {
  const char* name;
  int size;
  PixelFormat format;
};

TEST(SkinArtGlyphs, EveryGlyphDecodesAtItsSizeAndDepthWithATransparentCorner) {
  const GlyphCase cases[] = {
      {"main_convert", 16, PixelFormat::Bits32},   {"main_help", 16, PixelFormat::Bits32},
      {"main_about", 16, PixelFormat::Bits32},     {"main_bold", 16, PixelFormat::Bits4},
      {"main_italic", 16, PixelFormat::Bits4},     {"about_back", 20, PixelFormat::Bits8},
      {"about_forward", 20, PixelFormat::Bits8},   {"about_export", 20, PixelFormat::Bits8},
      {"about_about", 20, PixelFormat::Bits24},    {"about_home", 20, PixelFormat::Bits24},
      {"about_email", 20, PixelFormat::Bits24},    {"about_guestbook", 20, PixelFormat::Bits24},
  };
  EXPECT_EQ(KavriGlyphNames().size(), std::size(cases));
  for (const GlyphCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto bytes = KavriGlyph(c.name);
    ASSERT_FALSE(bytes.empty());
    const Bitmap glyph = LoadBmp(std::span<const std::uint8_t>(bytes.data(), bytes.size()));
    EXPECT_EQ(glyph.GetSize(), (Size{c.size, c.size}));
    EXPECT_EQ(glyph.Format(), c.format);
    const Pixel corner = glyph.At(0, c.size - 1);
    if (c.format == PixelFormat::Bits32) {
      EXPECT_TRUE(glyph.HasAlpha());
      EXPECT_EQ(PixelA(corner), 0);
    } else {
      EXPECT_EQ(PixelToColor(corner), clFuchsia);
    }
    if (c.format == PixelFormat::Bits4) {
      EXPECT_LE(glyph.Palette().size(), 16u);
    }
    // Something is drawn: not every pixel is the transparent one.
    int drawn = 0;
    for (int y = 0; y < c.size; ++y)
      for (int x = 0; x < c.size; ++x)
        if (c.format == PixelFormat::Bits32 ? PixelA(glyph.At(x, y)) > 128 : glyph.At(x, y) != corner) ++drawn;
    EXPECT_GT(drawn, 12);
  }
  EXPECT_TRUE(KavriGlyph("no_such_glyph").empty());
}

}  // namespace
