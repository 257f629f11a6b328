// Which glyph cell a skinned button draws for each look, enabled state and cell count, and
// which image list a speed button on a tool bar draws from: each cell and each list image
// has a colour of its own, so the rendered button tells which one it drew.
#include "SkinCtrlsTestSupport.h"
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinPanel.h"
#include "toolkit/ImgList.h"

using namespace skinctl;

namespace {

const Color kCells[] = {RGB(201, 1, 1), RGB(1, 201, 1), RGB(1, 1, 201), RGB(201, 201, 1)};
constexpr Color kKey = RGB(255, 0, 255);

// A strip of `n` 8 x 8 cells, each in its own colour, with each cell's bottom-left pixel
// in the transparent colour.
void SetStrip(TBitmap& b, int n) {
  b.SetSize(8 * n, 8);
  for (int i = 0; i < n; ++i) {
    FillRectPixels(b.Image(), {8 * i, 0, 8 * i + 8, 8}, kCells[i]);
    b.Image().SetPixelColor(8 * i, 7, kKey);
  }
}

int Count(const Bitmap& b, Color c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.GetPixelColor(x, y) == c) ++n;
  return n;
}

class SkinCtrlGlyphCells : public SkinCtrlTest {
 protected:
  Point Outside() { return ScreenPoint(form_, 390, 290); }
  // The cells the image shows: bit i set when cell i + 1 is there.
  static int CellsShown(const Bitmap& b) {
    int shown = 0;
    for (int i = 0; i < 4; ++i)
      if (Count(b, kCells[i]) > 0) shown |= 1 << i;
    return shown;
  }
};

enum class State { Normal, Hover, Pressed, Disabled, Focused };
const char* Name(State s) {
  switch (s) {
    case State::Normal: return "normal";
    case State::Hover: return "under the mouse";
    case State::Pressed: return "pressed";
    case State::Disabled: return "disabled";
    case State::Focused: return "focused";
  }
  return "";
}

// The cell for each state, by cell count (1 to 4).
struct CellRow {
  State state;
  int cell[4];
};
const CellRow kButtonCells[] = {
    {State::Normal, {1, 1, 1, 1}},   {State::Hover, {1, 1, 1, 4}},   {State::Pressed, {1, 1, 3, 3}},
    {State::Disabled, {1, 2, 2, 2}}, {State::Focused, {1, 1, 1, 4}},
};

TEST_F(SkinCtrlGlyphCells, TheButtonDrawsTheCellOfItsLookAndNeverOneItLacks) {
  for (bool skinned : {true, false}) {
    // The second pass leaves the buttons without skin data: the default look.
    if (skinned) LoadHandSkin();
    for (const CellRow& row : kButtonCells) {
      for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(std::string(skinned ? "skinned, " : "default look, ") + Name(row.state) + ", " +
                     std::to_string(n) + " cells");
        auto* b = new TskSkinButton(form_);
        b->SetParent(form_);
        b->SetBounds(10, 10, 40, 24);
        b->SetCaption("");
        if (skinned) b->SetSkinData(data_);
        b->SetNumGlyphs(n);
        TBitmap strip;
        SetStrip(strip, n);
        b->SetGlyph(strip);
        ShowForm();
        host_->MoveMouse(Outside());
        host_->Pump();
        switch (row.state) {
          case State::Normal: break;
          case State::Hover: host_->MoveMouse(Centre(b)); break;
          case State::Pressed:
            host_->MoveMouse(Centre(b));
            host_->PressMouse(Centre(b));
            break;
          case State::Disabled: b->SetEnabled(false); break;
          case State::Focused: b->SetFocus(); break;
        }
        host_->AdvanceClock(200);  // any fade has ended
        const Bitmap img = Render(b);
        EXPECT_EQ(CellsShown(img), 1 << (row.cell[n - 1] - 1));
        // The cell is drawn whole but for its transparent corner: 63 pixels.
        EXPECT_EQ(Count(img, kCells[row.cell[n - 1] - 1]), 63);
        if (row.state == State::Pressed) {
          host_->ReleaseMouse(Centre(b));
          host_->Pump();
        }
        delete b;
        host_->Pump();
      }
    }
  }
}

// A speed button on a tool bar draws its image from the bar's lists: the hot list under the
// mouse and pressed, the disabled list when disabled, else the plain list; without the
// list for a state, the plain one; an index outside the lists draws nothing.
TEST_F(SkinCtrlGlyphCells, TheSpeedButtonTakesTheToolBarsImageForItsState) {
  auto makeList = [this](int shift) {
    auto* list = new TImageList(form_);
    list->SetWidth(8);
    list->SetHeight(8);
    for (int i = 0; i < 3; ++i) {
      TBitmap b(8, 8);
      FillRectPixels(b.Image(), {0, 0, 8, 8}, RGB(10 + 20 * i + shift, 30 + shift, 200 - 30 * i));
      list->Add(b, nullptr);
    }
    return list;
  };
  auto colour = [](int shift, int i) { return RGB(10 + 20 * i + shift, 30 + shift, 200 - 30 * i); };
  TImageList* plain = makeList(0);
  TImageList* hot = makeList(100);
  TImageList* disabled = makeList(50);
  struct Case {
    const char* what;
    bool hotList, disabledList;
    State state;
    int index;
    int shift;  // the list drawn; -1 none
  };
  const Case cases[] = {
      {"normal", true, true, State::Normal, 1, 0},
      {"under the mouse", true, true, State::Hover, 1, 100},
      {"pressed", true, true, State::Pressed, 2, 100},
      {"disabled", true, true, State::Disabled, 0, 50},
      {"under the mouse without a hot list", false, true, State::Hover, 1, 0},
      {"pressed without a hot list", false, false, State::Pressed, 1, 0},
      {"disabled without a disabled list", true, false, State::Disabled, 2, 0},
      {"an index past the list", true, true, State::Normal, 3, -1},
      {"an index past the list, under the mouse", true, true, State::Hover, 5, -1},
      {"no index", true, true, State::Normal, -1, -1},
  };
  for (bool skinned : {true, false}) {
    if (skinned) LoadHandSkin();
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(skinned ? "skinned, " : "default look, ") + c.what);
      auto* bar = new TskSkinToolBar(form_);
      bar->SetParent(form_);
      bar->SetBounds(10, 10, 200, 30);
      if (skinned) bar->SetSkinData(data_);
      bar->SetImages(plain);
      bar->SetHotImages(c.hotList ? hot : nullptr);
      bar->SetDisabledImages(c.disabledList ? disabled : nullptr);
      auto* b = new TskSkinSpeedButton(form_);
      b->SetParent(bar);
      b->SetBounds(0, 0, 25, 25);
      if (skinned) b->SetSkinData(data_);
      b->SetImageIndex(c.index);
      ShowForm();
      host_->MoveMouse(Outside());
      host_->Pump();
      switch (c.state) {
        case State::Hover: host_->MoveMouse(Centre(b)); break;
        case State::Pressed:
          host_->MoveMouse(Centre(b));
          host_->PressMouse(Centre(b));
          break;
        case State::Disabled: b->SetEnabled(false); break;
        default: break;
      }
      host_->AdvanceClock(200);
      const Bitmap img = Render(b);
      for (int shift : {0, 50, 100})
        for (int i = 0; i < 3; ++i) {
          const bool want = shift == c.shift && i == c.index;
          EXPECT_EQ(Count(img, colour(shift, i)), want ? 64 : 0) << "list " << shift << " image " << i;
        }
      // A glyph of its own wins over the lists.
      if (c.index >= 0 && c.index < 3) {
        b->SetNumGlyphs(4);
        TBitmap strip;
        SetStrip(strip, 4);
        b->SetGlyph(strip);
        const Bitmap withGlyph = Render(b);
        for (int shift : {0, 50, 100}) EXPECT_EQ(Count(withGlyph, colour(shift, c.index)), 0);
        const int cell = c.state == State::Disabled ? 2 : c.state == State::Pressed ? 3 : c.state == State::Hover ? 4 : 1;
        EXPECT_EQ(CellsShown(withGlyph), 1 << (cell - 1));
      }
      if (c.state == State::Pressed) {
        host_->ReleaseMouse(Centre(b));
        host_->Pump();
      }
      delete bar;
      host_->Pump();
    }
  }
}

// Set down from outside, a grouped button shows pressed whatever the mouse; an ungrouped one
// shows pressed only under the mouse.
TEST_F(SkinCtrlGlyphCells, ADownButtonShowsPressedAwayFromTheMouseOnlyWhenGrouped) {
  LoadHandSkin();
  ShowForm();
  for (int group : {1, 0}) {
    SCOPED_TRACE(group);
    auto* b = new TskSkinButton(form_);
    b->SetParent(form_);
    b->SetBounds(10, 10, 40, 24);
    b->SetCaption("");
    b->SetSkinData(data_);
    b->SetCanFocused(false);
    b->SetGroupIndex(group);
    b->SetDown(true);
    host_->MoveMouse(Outside());
    host_->AdvanceClock(200);
    EXPECT_EQ(b->CurrentLook() == SkinButtonLook::Down, group != 0);
    EXPECT_EQ(Render(b).GetPixelColor(20, 3) == kDown, group != 0);
    delete b;
    host_->Pump();
  }
}

}  // namespace
