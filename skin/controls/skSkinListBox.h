// TskSkinListBox: a skinned frame around an owner-drawn inner list (TskListBox) whose items
// are drawn from a "listbox" record or a plain default look, with skinned scroll bars made
// and dropped as the content needs, an optional caption bar with three buttons, and the
// popup list that combo boxes drop down (TskPopupListBox).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "skin/controls/skSkinCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/ImgList.h"
#include "toolkit/ListBoxes.h"
#include "toolkit/StdCtrls.h"

class TskSkinCustomListBox;
class TskSkinScrollBar;

// The item keys of a list record, empty state images replaced by "itemrect".
struct SkinListBoxFields {
  Rect itemRect, activeItemRect, focusItemRect;
  int itemLeftOffset = 0;
  int itemRightOffset = 0;
  Rect itemTextRect;
  SkinFontFields font;
  Color activeFontColor = 0;
  Color focusFontColor = 0;
  Rect captionRect;
  SkinFontFields captionFont;
  Rect upButton, activeUpButton, downUpButton;
  Rect downButton, activeDownButton, downDownButton;
  Rect checkButton, activeCheckButton, downCheckButton;
  std::string vScrollBarName, hScrollBarName, bothHScrollBarName;
};
SkinListBoxFields ReadSkinListBoxFields(const TskDataSkinListBox& record);

// Draws an item's content instead of its text and image: the canvas of the item's bitmap
// (font and colour already set for the item's state), the index, the state and the text
// rectangle in the bitmap.
using TskDrawSkinItemEvent =
    std::function<void(TObject* sender, TCanvas& canvas, int index, TOwnerDrawState state, Rect textRect)>;

enum class TskListCaptionButton { None = -1, Up = 0, Down = 1, Check = 2 };

// The inner list: owner-drawn, fixed item height, no frame of its own; it paints itself
// through its skinned list and reports its events to it.
class TskListBox : public TCustomListBox {
 public:
  TskListBox(TComponent* owner, TskSkinCustomListBox* box);
  ~TskListBox() override;

  TskSkinCustomListBox* SkinListBox() const { return m_box; }
  // Pixels by which items are drawn shifted left (the horizontal-extent bar's position).
  int HorizontalOffset() const { return m_horizontalOffset; }
  void SetHorizontalOffset(int x);

  void Click() override;
  void DblClick() override;
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandleDone() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  // Typed characters search the items: they are no accelerators here.
  bool TakesCharacters() override { return true; }
  void DoStartDrag() override;
  void DoEndDrag(TObject* target, int x, int y) override;
  void DragOver(TObject* source, int x, int y, TDragState state, bool& accept) override;
  void DragDrop(TObject* source, int x, int y) override;

 private:
  friend class TskSkinCustomListBox;
  TskSkinCustomListBox* m_box;
  int m_horizontalOffset = 0;
  bool m_redrawOff = false;  // WM_SETREDRAW off: an update of many items is running
  bool m_creating = false;   // the window is being filled; the skinned list updates after
};

class TskSkinCustomListBox : public TskSkinCustomControl {
 public:
  static constexpr unsigned kRepeatDelay = 500;
  static constexpr unsigned kRepeatInterval = 100;
  static constexpr unsigned kRepeatResume = 50;

  explicit TskSkinCustomListBox(TComponent* owner);
  ~TskSkinCustomListBox() override;

  TskListBox& ListBox() const { return *m_list; }
  TStrings& Items() const { return m_list->Items(); }
  void SetItems(const TStrings& items);
  int ItemIndex() const { return m_list->ItemIndex(); }
  void SetItemIndex(int index) { m_list->SetItemIndex(index); }
  bool Sorted() const { return m_list->Sorted(); }
  void SetSorted(bool on);
  bool MultiSelect() const { return m_list->MultiSelect(); }
  void SetMultiSelect(bool on) { m_list->SetMultiSelect(on); }
  bool ExtandedSelect() const { return m_list->ExtendedSelect(); }
  void SetExtandedSelect(bool on) { m_list->SetExtendedSelect(on); }
  int Columns() const { return m_list->Columns(); }
  void SetColumns(int n);
  bool Selected(int index) const { return m_list->Selected(index); }
  void SetSelected(int index, bool on) { m_list->SetSelected(index, on); }
  int TopIndex() const { return m_list->TopIndex(); }
  // Scrolls so that `index` is the first row shown.
  void SetTopIndex(int index) { m_list->SetTopIndex(index); }
  int ItemAtPos(Point p, bool existing) const { return m_list->ItemAtPos(p, existing); }

  bool UseSkinItemHeight() const { return m_useSkinItemHeight; }
  void SetUseSkinItemHeight(bool on);
  int DefaultItemHeight() const { return m_defaultItemHeight; }
  void SetDefaultItemHeight(int h);
  // The item height in force: from the record or DefaultItemHeight.
  int ItemHeight() const;
  int RowCount() const { return m_rowCount; }
  void SetRowCount(int n);
  // The control's height that shows exactly `rows` rows.
  int HeightForRows(int rows) const;
  bool HorizontalExtent() const { return m_horizontalExtent; }
  void SetHorizontalExtent(bool on);
  TImageList* Images() const { return m_images; }
  void SetImages(TImageList* images);
  int ImageIndex() const { return m_imageIndex; }
  void SetImageIndex(int index);

  bool CaptionMode() const { return m_captionMode; }
  void SetCaptionMode(bool on);
  TAlignment Alignment() const { return m_alignment; }
  void SetAlignment(TAlignment a);
  int DefaultCaptionHeight() const { return m_defaultCaptionHeight; }
  void SetDefaultCaptionHeight(int h);
  TFont& DefaultCaptionFont() { return *m_defaultCaptionFont; }
  TBitmap& Glyph() { return *m_glyph; }
  int NumGlyphs() const { return m_numGlyphs; }
  void SetNumGlyphs(int n);
  int Spacing() const { return m_spacing; }
  void SetSpacing(int s);

  // The scroll bars while shown (else nullptr): the vertical one (with Columns, the
  // horizontal bar that pages columns) and the horizontal-extent one.
  TskSkinScrollBar* VScrollBar() const { return m_vBar; }
  TskSkinScrollBar* HScrollBar() const { return m_hBar; }
  // Where the inner list lies.
  Rect ListArea() const { return m_listArea; }
  // The caption buttons at the current size (caption mode only).
  Rect CaptionButtonRect(TskListCaptionButton button) const;
  TskListCaptionButton HotButton() const { return m_hot; }
  TskListCaptionButton PressedButton() const { return m_pressed; }
  bool Skinned() const { return m_skinned; }
  const SkinListBoxFields& Fields() const { return m_fields; }

  // Makes and drops scroll bars as the items, sizes and scroll positions need.
  void UpdateScrollBars();
  // Places the bars and the inner list.
  void LayoutList();

  TNotifyEvent OnListBoxClick;
  TNotifyEvent OnListBoxDblClick;
  TMouseEvent OnListBoxMouseDown;
  TMouseMoveEvent OnListBoxMouseMove;
  TMouseEvent OnListBoxMouseUp;
  TKeyEvent OnListBoxKeyDown;
  TKeyEvent OnListBoxKeyUp;
  TKeyPressEvent OnListBoxKeyPress;
  TStartDragEvent OnListBoxStartDrag;
  TEndDragEvent OnListBoxEndDrag;
  TDragOverEvent OnListBoxDragOver;
  TDragDropEvent OnListBoxDragDrop;
  TNotifyEvent OnUpButtonClick;
  TNotifyEvent OnDownButtonClick;
  TNotifyEvent OnCheckButtonClick;
  TskDrawSkinItemEvent OnDrawItem;

  void SetSkinData(TskSkinData* data) override;
  void ReadSkinRecord() override;
  void DrawDefaultImage(TBitmap& bitmap) override;
  void DrawSkinImage(TBitmap& bitmap) override;
  void ApplySkin() override;
  void BeginSkinChange() override;
  void SetBounds(int left, int top, int width, int height) override;
  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

  // Draws item `index` into `bitmap` (sized to the item) in `state`.
  void DrawItem(TBitmap& bitmap, int index, TOwnerDrawState state);

 protected:
  friend class TskListBox;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseLeave() override;
  void FontChanged() override;
  void Notification(TComponent* component, TOperation operation) override;
  void TextChanged() override { Invalidate(); }
  void CreateWindowHandleDone() override;

  // Mouse messages of the inner list before it handles them; true when taken here (the
  // popup list tracks and accepts rows itself).
  virtual bool InnerListMouse(TMessage& message);
  // Paints the inner list: every visible item and the background under the rest.
  void PaintInnerList(HDC dc);
  // The font items are drawn in, for the current record.
  void MakeItemFont(TFont& font) const;
  // The caption button action (event, or a step of the selection, or the list's click).
  void CaptionButtonAction(TskListCaptionButton button);

 private:
  TskSkinScrollBar* MakeBar(TScrollBarKind kind);
  void DropBar(TskSkinScrollBar*& bar);
  void ConfigureHBar();
  bool UpdateHorizontalExtent();  // true when the bar came or went
  void UpdateVerticalBar();
  int WidestItem() const;
  int CaptionHeight() const;
  Rect ClientAtSize() const;
  void ApplyItemHeight();
  void DrawCaptionDefault(TCanvas& c);
  void DrawCaptionSkin(TBitmap& bitmap);
  Rect MovedForGrowth(const Rect& r) const;
  TskListCaptionButton ButtonAt(Point p) const;
  void SetHot(TskListCaptionButton b);
  void StartRepeat();
  void StopRepeat();
  void RepeatTick();
  void FillListBackground(Bitmap& image, const Rect& area) const;

  TskListBox* m_list = nullptr;
  TskSkinScrollBar* m_vBar = nullptr;
  TskSkinScrollBar* m_hBar = nullptr;
  Rect m_listArea;
  bool m_useSkinItemHeight = true;
  int m_defaultItemHeight = 20;
  int m_rowCount = 0;
  bool m_horizontalExtent = false;
  TImageList* m_images = nullptr;
  int m_imageIndex = -1;
  bool m_captionMode = false;
  TAlignment m_alignment = TAlignment::taLeftJustify;
  int m_defaultCaptionHeight = 20;
  std::unique_ptr<TFont> m_defaultCaptionFont;
  std::unique_ptr<TBitmap> m_glyph;
  int m_numGlyphs = 1;
  int m_spacing = 2;

  bool m_skinned = false;  // a list record of that type is in force
  SkinListBoxFields m_fields;
  bool m_applying = false;      // inside ApplySkin: no horizontal-extent bar
  bool m_updatingBars = false;  // UpdateScrollBars runs (bars come and go)
  int m_widest = -1;            // widest item text, -1: to be measured

  TskListCaptionButton m_hot = TskListCaptionButton::None;
  TskListCaptionButton m_pressed = TskListCaptionButton::None;
  bool m_repeating = false;
  bool m_firstTick = false;
};

class TskSkinListBox : public TskSkinCustomListBox {
 public:
  explicit TskSkinListBox(TComponent* owner) : TskSkinCustomListBox(owner) {}
};

class TskSkinCustomComboBox;

// The drop-down list of a combo box: a top-level window shown without activation, whose
// rows follow the pointer and accept on release.
class TskPopupListBox : public TskSkinCustomListBox {
 public:
  TskPopupListBox(TComponent* owner, TskSkinCustomComboBox* combo);
  ~TskPopupListBox() override;

  TskSkinCustomComboBox* ComboBox() const { return m_combo; }
  bool AlphaBlend() const { return m_alphaBlend; }
  // Translucency where the window system offers it; takes effect at the next showing.
  void SetAlphaBlend(bool on, int value);
  // Shows the window at a screen point without activating it.
  void ShowAt(Point screen);
  void HideList();
  bool ListVisible() const { return m_shown; }
  // Selects the row under a screen point (hot tracking); -1 when none is there.
  int TrackAt(Point screen);

 protected:
  void CreateParams(TCreateParams& params) override;
  bool InnerListMouse(TMessage& message) override;

 private:
  TskSkinCustomComboBox* m_combo;
  bool m_alphaBlend = false;
  int m_alphaValue = 0;
  bool m_shown = false;
  bool m_pressedInside = false;
};
