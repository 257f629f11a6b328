// TskSkinFontComboBox: the installed families filtered by the options, each entry drawn in
// its own face with a double-T mark for TrueType faces, refilled when the fonts change.
#include <algorithm>

#include "platform/gfx/DC.h"
#include "platform/gfx/FontList.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skSkinComboBox.h"
#include "toolkit/Reader.h"

namespace {

constexpr UINT_PTR kRescanTimer = 0x5301;
// Where an entry's name starts, right of the mark.
constexpr int kEntryTextLeft = 15;

bool Passes(const FontFamilyInfo& f, TskFontListOptions o) {
  if ((o & foAnsiOnly) && f.charset != ANSI_CHARSET) return false;
  if ((o & foTrueTypeOnly) && !f.trueType) return false;
  if ((o & foFixedPitchOnly) && !f.fixedPitch) return false;
  if ((o & foOEMFontsOnly) && f.charset != OEM_CHARSET) return false;
  if ((o & foNoOEMFonts) && f.charset == OEM_CHARSET) return false;
  if ((o & foNoSymbolFonts) && f.charset == SYMBOL_CHARSET) return false;
  if ((o & foScalableOnly) && !f.scalable) return false;
  return true;
}

// One T of the TrueType mark with its top-left corner at (x, y): a bar 8 pixels wide with
// 3-pixel strokes down at its ends, a 2-pixel stem 8 pixels high and a 5-pixel foot.
void DrawT(DC& dc, int x, int y, Color c) {
  const Color rgb = ColorToRGB(c);
  dc.FillRect({x, y, x + 8, y + 1}, rgb);
  dc.FillRect({x, y, x + 1, y + 3}, rgb);
  dc.FillRect({x + 7, y, x + 8, y + 3}, rgb);
  dc.FillRect({x + 3, y, x + 5, y + 8}, rgb);
  dc.FillRect({x + 1, y + 8, x + 6, y + 9}, rgb);
}

}  // namespace

TskSkinFontComboBox::TskSkinFontComboBox(TComponent* owner) : TskSkinCustomComboBox(owner) {
  SetSorted(true);
  ListBox().OnDrawItem = [this](TObject*, TCanvas& canvas, int index, TOwnerDrawState, Rect textRect) {
    DrawEntry(canvas, index, textRect);
  };
}

TskSkinFontComboBox::~TskSkinFontComboBox() {
  if (HandleAllocated()) KillTimer(Handle(), kRescanTimer);
}

std::intptr_t TskSkinFontComboBox::ItemTag(int index) const {
  if (index < 0 || index >= Items().Count()) return 0;
  const auto it = m_tagOf.find(Items().Get(index));
  return it == m_tagOf.end() ? 0 : it->second;
}

void TskSkinFontComboBox::Reset() {
  std::shared_ptr<bool> alive = m_alive;
  const std::string current = Text();
  const int oldIndex = ItemIndex();
  m_filling = true;
  try {
    TStrings& items = Items();
    items.BeginUpdate();
    items.Clear();
    m_tagOf.clear();
    // Without a printer a printer's list has nothing to add.
    if (m_device != TskFontDevice::fdPrinter) {
      for (const FontFamilyInfo& f : EnumFontFamilyInfos()) {
        if (!Passes(f, m_options) || m_tagOf.count(f.name)) continue;
        items.Add(f.name);
        m_tagOf[f.name] = f.FontType() + (f.symbol ? 0 : kFontTagText);
      }
    }
    items.EndUpdate();
  } catch (...) {
    m_filling = false;
    throw;
  }
  m_filledGeneration = FontListGeneration();
  // The current face stays selected; the index it had is taken when the face is gone.
  int keep = -1;
  for (int i = 0, n = Items().Count(); i < n && !current.empty(); ++i)
    if (SameText(Items().Get(i), current)) {
      keep = i;
      break;
    }
  if (keep >= 0) {
    ListBox().SetItemIndex(keep);
    if (Items().Get(keep) != current) SetText(Items().Get(keep));
  } else if (oldIndex >= 0 && Items().Count() > 0) {
    const int index = std::min(oldIndex, Items().Count() - 1);
    ListBox().SetItemIndex(index);
    SetText(Items().Get(index));
  } else {
    ListBox().SetItemIndex(-1);
  }
  if (!*alive) return;
  m_filling = false;
  Invalidate();
}

void TskSkinFontComboBox::SetFontName(std::string_view name) {
  if (HasState(csLoading) || HasState(csReading)) {
    SetText(name);
    return;
  }
  std::shared_ptr<bool> alive = m_alive;
  const std::string before = Text();
  int found = -1;
  for (int i = 0, n = Items().Count(); i < n; ++i)
    if (SameText(Items().Get(i), name)) {
      found = i;
      break;
    }
  if (found >= 0) {
    SetItemIndex(found);
  } else if (Style() == TskSkinCustomComboBoxStyle::skcbFixedStyle) {
    ListBox().SetItemIndex(-1);
    SetText("");
  } else {
    ListBox().SetItemIndex(-1);
    SetText(name);
  }
  if (!*alive) return;
  // A change of text told OnChange already.
  if (Text() == before && !m_filling) Fire(OnChange, this);
}

void TskSkinFontComboBox::SetDevice(TskFontDevice device) {
  if (device == m_device) return;
  m_device = device;
  Reset();
}

void TskSkinFontComboBox::SetOptions(TskFontListOptions options) {
  if (options == m_options) return;
  m_options = options;
  Reset();
}

void TskSkinFontComboBox::SetTrueTypeOnly(bool on) {
  SetOptions(on ? (m_options | foTrueTypeOnly) : (m_options & ~foTrueTypeOnly));
}

void TskSkinFontComboBox::SetUseFonts(bool on) {
  m_useFonts = on;
  Invalidate();
}

void TskSkinFontComboBox::DrawEntry(TCanvas& canvas, int index, Rect textRect) {
  if (index < 0 || index >= Items().Count()) return;
  const std::string name = Items().Get(index);
  HDC dc = canvas.Handle();
  if (ItemTag(index) & TRUETYPE_FONTTYPE) {
    const int y = textRect.top + textRect.Height() / 2 - 7;
    DrawT(*dc, textRect.left, y, clGray);
    DrawT(*dc, textRect.left + 4, y + 4, clBlack);
  }
  TFont face;
  face.Assign(&canvas.Font());
  face.SetName(name);
  face.SetStyle(0);
  // A face that cannot be loaded shows the entry in the list's own face.
  const ::Font* font = nullptr;
  try {
    font = &face.Handle();
  } catch (const std::exception&) {
    face.Assign(&canvas.Font());
    face.SetStyle(0);
    font = &face.Handle();
  }
  dc->SelectFont(*font);
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(ColorToRGB(canvas.Font().GetColor()));
  Rect r = textRect;
  r.left += kEntryTextLeft;
  DrawItemText(*dc, name, r, 0);
}

void TskSkinFontComboBox::DrawItemContent(TCanvas& canvas, const Rect& r, Color textColor) {
  if (m_useFonts && !Text().empty()) {
    const std::string fallback = canvas.Font().Name();
    canvas.Font().SetName(Text());
    try {
      (void)canvas.Font().Handle();
    } catch (const std::exception&) {
      canvas.Font().SetName(fallback);
    }
  }
  TskSkinCustomComboBox::DrawItemContent(canvas, r, textColor);
}

void TskSkinFontComboBox::CreateWindowHandleDone() {
  TskSkinCustomComboBox::CreateWindowHandleDone();
  if (m_filledGeneration == 0 || m_filledGeneration != FontListGeneration()) Reset();
  StartRescanTimer();
}

void TskSkinFontComboBox::StartRescanTimer() {
  const int seconds = FontRescanInterval();
  if (seconds > 0 && HandleAllocated()) SetTimer(Handle(), kRescanTimer, static_cast<UINT>(seconds) * 1000u, nullptr);
}

void TskSkinFontComboBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_TIMER:
      if (m.WParam != kRescanTimer) break;
      [[fallthrough]];
    case WM_FONTCHANGE:
      // Another font combo's rescan may have found the change already.
      if (RescanFonts() || FontListGeneration() != m_filledGeneration) Reset();
      if (m.Msg == WM_TIMER) return;
      break;
    default:
      break;
  }
  TskSkinCustomComboBox::WndProc(m);
}

bool TskSkinFontComboBox::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "FontName")) SetFontName(v.AsString());
  else if (SameText(name, "Device"))
    SetDevice(static_cast<TskFontDevice>(v.AsEnum({{"fdScreen", 0}, {"fdPrinter", 1}, {"fdBoth", 2}})));
  else if (SameText(name, "Options"))
    SetOptions(v.AsSet({{"foAnsiOnly", foAnsiOnly},
                        {"foTrueTypeOnly", foTrueTypeOnly},
                        {"foFixedPitchOnly", foFixedPitchOnly},
                        {"foNoOEMFonts", foNoOEMFonts},
                        {"foOEMFontsOnly", foOEMFontsOnly},
                        {"foScalableOnly", foScalableOnly},
                        {"foNoSymbolFonts", foNoSymbolFonts}}));
  else if (SameText(name, "TrueTypeOnly")) SetTrueTypeOnly(v.AsBool());
  else if (SameText(name, "UseFonts")) SetUseFonts(v.AsBool());
  else return TskSkinCustomComboBox::ReadProperty(name, v, reader);
  return true;
}

void TskSkinFontComboBox::Loaded() {
  TskSkinCustomComboBox::Loaded();
  // The name read with the form is selected once the list is there.
  const std::string name = Text();
  if (!HandleAllocated()) return;
  if (m_filledGeneration == 0) Reset();
  if (!name.empty()) SetFontName(name);
}
