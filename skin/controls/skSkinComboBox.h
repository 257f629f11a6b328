// Skinned combo boxes: TskSkinCustomComboBox (the selected item and a button, with a popup
// list that drops down under it; with or without text entry), TskSkinFontSizeComboBox,
// and TskSkinFontComboBox, which lists the installed font families and draws each entry
// in its own face.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "skin/controls/skSkinCtrls.h"
#include "skin/controls/skSkinListBox.h"
#include "toolkit/Edits.h"

enum class TskSkinCustomComboBoxStyle { skcbEditStyle, skcbFixedStyle };

// The combo record's keys, an empty "focusitemrect" replaced by "itemrect".
struct SkinComboBoxFields {
  Rect itemRect, focusItemRect;
  int itemLeftOffset = 0;
  int itemRightOffset = 0;
  Rect itemTextRect;
  SkinFontFields font;
  Color focusFontColor = 0;
  std::string listBoxName;
  Rect buttonRect, activeButtonRect, downButtonRect;
};
SkinComboBoxFields ReadSkinComboBoxFields(const TskDataSkinComboBox& record);

class TskSkinCustomComboBox : public TskSkinCustomControl {
 public:
  // Characters typed within this many milliseconds of the previous one extend the search.
  static constexpr unsigned kAutoCompleteMs = 499;
  // Completion on key release in the edit style runs at most this often.
  static constexpr unsigned kEditCompleteMs = 200;

  explicit TskSkinCustomComboBox(TComponent* owner);
  ~TskSkinCustomComboBox() override;

  TStrings& Items() const;
  // The popup list's index. Setting it shows the item (OnChange when the text differs)
  // and fires OnClick, also when it was already selected.
  int ItemIndex() const;
  void SetItemIndex(int index);
  TskSkinCustomComboBoxStyle Style() const { return m_style; }
  void SetStyle(TskSkinCustomComboBoxStyle style);
  int DropDownCount() const { return m_dropDownCount; }
  void SetDropDownCount(int n);
  int ListBoxWidth() const { return m_listBoxWidth; }
  void SetListBoxWidth(int w) { m_listBoxWidth = w; }
  bool Sorted() const;
  void SetSorted(bool on);
  bool UseSkinSize() const { return m_useSkinSize; }
  void SetUseSkinSize(bool on);
  bool AutoComplete() const { return m_autoComplete; }
  void SetAutoComplete(bool on) { m_autoComplete = on; }
  bool HideSelection() const { return m_hideSelection; }
  void SetHideSelection(bool on);
  bool AlphaBlend() const { return m_alphaBlend; }
  void SetAlphaBlend(bool on);
  int AlphaBlendValue() const { return m_alphaBlendValue; }
  void SetAlphaBlendValue(int v);
  const std::string& ListBoxCaption() const { return m_listBoxCaption; }
  void SetListBoxCaption(std::string_view caption);
  bool ListBoxCaptionMode() const;
  void SetListBoxCaptionMode(bool on);
  TImageList* Images() const;
  void SetImages(TImageList* images);
  int ImageIndex() const;
  void SetImageIndex(int index);

  // The popup list (made with the combo, hidden until it drops down).
  TskPopupListBox& ListBox() const { return *m_popup; }
  // The text entry of the edit style, else nullptr.
  TCustomEdit* Edit() const { return m_edit; }
  bool DroppedDown() const { return m_dropped; }
  // Opens the list (nothing without items); closes it, taking its row when `accept`.
  void DropDown();
  void CloseUp(bool accept);

  // Where the button and the item area lie at the current size.
  Rect ButtonRect() const { return m_buttonRect; }
  Rect ItemArea() const { return m_itemArea; }
  bool ButtonHot() const { return m_buttonHot; }
  bool ButtonPressed() const { return m_buttonPressed; }
  bool Skinned() const { return m_comboSkinned; }
  const SkinComboBoxFields& Fields() const { return m_fields; }

  TNotifyEvent OnChange;   // the text changed
  TNotifyEvent OnCloseUp;  // the list closed with its row taken

  void ReadSkinRecord() override;
  void DrawDefaultImage(TBitmap& bitmap) override;
  void DrawSkinImage(TBitmap& bitmap) override;
  void ApplySkin() override;
  void BeginSkinChange() override;
  void FitSizeToSkin(int& width, int& height) override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetSkinData(TskSkinData* data) override;
  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;
  void Loaded() override;

 protected:
  friend class TskPopupListBox;
  // The text entry of the edit style; a subclass may give a skinned one. The combo wires
  // its events (OnKeyDown, OnKeyUp, OnChange, OnExit) and places it.
  virtual TCustomEdit* CreateEdit();
  // Draws the item area's content (the text, after an image) into `r` of the canvas.
  virtual void DrawItemContent(TCanvas& canvas, const Rect& r, Color textColor);

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseLeave() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  // Typed characters search the items: they are no accelerators here.
  bool TakesCharacters() override { return true; }
  bool WantsKey(WORD key, TShiftState shift) const override;
  void TextChanged() override;
  void EnabledChanged() override;
  void Notification(TComponent* component, TOperation operation) override;

  // The list accepted a row with the mouse.
  void ListRowAccepted();
  // First item that starts with `prefix` ignoring letter case, searching from `start` on
  // (wrapping); -1 when none does.
  int FindPrefix(std::string_view prefix, int start) const;

 private:
  void Layout();
  void PlaceEdit();
  void RemoveHook();
  void EditKeyDown(WORD& key, TShiftState shift);
  void EditKeyUp(WORD& key, TShiftState shift);
  void EditChanged();
  void StepSelection(int delta, bool commit);
  void DrawItemArea(TBitmap& bitmap);
  void DrawDefaultButton(TCanvas& canvas);
  void DrawResizeButton(TBitmap& bitmap);

  TskPopupListBox* m_popup = nullptr;
  TCustomEdit* m_edit = nullptr;
  TskSkinCustomComboBoxStyle m_style = TskSkinCustomComboBoxStyle::skcbFixedStyle;
  int m_dropDownCount = 8;
  int m_listBoxWidth = 0;
  bool m_useSkinSize = true;
  bool m_autoComplete = true;
  bool m_hideSelection = true;
  bool m_alphaBlend = false;
  int m_alphaBlendValue = 0;
  std::string m_listBoxCaption;

  bool m_comboSkinned = false;
  SkinComboBoxFields m_fields;
  Rect m_buttonRect;
  Rect m_itemArea;
  bool m_buttonHot = false;
  bool m_buttonPressed = false;
  bool m_dropped = false;
  int m_savedIndex = -1;
  std::string m_search;
  DWORD m_lastKeyTime = 0;
  bool m_searchStarted = false;
  DWORD m_lastCompleteTime = 0;
  bool m_completeStarted = false;
  bool m_dragOpen = false;      // the button is held since the press that opened the list
  bool m_enteredList = false;   // ... and the pointer has been over the list since
  bool m_textFromEdit = false;  // the combo's text is being set from the edit's
  bool m_textToEdit = false;    // the edit's text is being set from the combo's
  HHOOK m_hook = 0;
};

class TskSkinFontSizeComboBox : public TskSkinCustomComboBox {
 public:
  explicit TskSkinFontSizeComboBox(TComponent* owner) : TskSkinCustomComboBox(owner) {}
};

enum class TskFontDevice { fdScreen, fdPrinter, fdBoth };

using TskFontListOptions = std::uint32_t;
constexpr TskFontListOptions foAnsiOnly = 1u << 0;
constexpr TskFontListOptions foTrueTypeOnly = 1u << 1;
constexpr TskFontListOptions foFixedPitchOnly = 1u << 2;
constexpr TskFontListOptions foNoOEMFonts = 1u << 3;
constexpr TskFontListOptions foOEMFontsOnly = 1u << 4;
constexpr TskFontListOptions foScalableOnly = 1u << 5;
constexpr TskFontListOptions foNoSymbolFonts = 1u << 6;

// Tags of the font list's items: the enumeration's font type, plus 0x100 for faces that
// are no symbol faces.
constexpr std::intptr_t kFontTagText = 0x100;

class TskSkinFontComboBox : public TskSkinCustomComboBox {
 public:
  explicit TskSkinFontComboBox(TComponent* owner);
  ~TskSkinFontComboBox() override;

  std::string FontName() const { return Text(); }
  // Selects the first entry of that name (letter case aside); with no entry the fixed
  // style selects nothing and the edit style shows the name.
  void SetFontName(std::string_view name);
  TskFontDevice Device() const { return m_device; }
  void SetDevice(TskFontDevice device);
  TskFontListOptions Options() const { return m_options; }
  void SetOptions(TskFontListOptions options);
  bool TrueTypeOnly() const { return (m_options & foTrueTypeOnly) != 0; }
  void SetTrueTypeOnly(bool on);
  bool UseFonts() const { return m_useFonts; }
  void SetUseFonts(bool on);
  // The item's tag: its font type, with kFontTagText unless it is a symbol face.
  std::intptr_t ItemTag(int index) const;
  // Fills the list anew from the installed families, keeping the current face selected.
  void Reset();

  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  void Loaded() override;

 protected:
  void CreateWindowHandleDone() override;
  // With UseFonts the combo's own item area shows the name in its face too.
  void DrawItemContent(TCanvas& canvas, const Rect& r, Color textColor) override;

 private:
  void DrawEntry(TCanvas& canvas, int index, Rect textRect);
  void StartRescanTimer();

  TskFontDevice m_device = TskFontDevice::fdScreen;
  TskFontListOptions m_options = 0;
  bool m_useFonts = false;
  std::unordered_map<std::string, std::intptr_t> m_tagOf;  // by family name
  unsigned m_filledGeneration = 0;
  bool m_filling = false;
};
