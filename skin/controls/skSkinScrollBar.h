// TskSkinScrollBar: a scroll bar drawn from a scroll-bar record or in a plain default look,
// with step buttons and a paging track that repeat on the bar's window timer, a thumb
// whose length shows the page, and keys and wheel when it may take the focus.
#pragma once

#include <string>
#include <string_view>

#include "skin/controls/skSkinCtrls.h"
#include "toolkit/StdCtrls.h"

// The scroll-bar keys of a record, with empty state images already replaced (pressed by
// active, active by normal). Track and normal buttons are relative to the skin rect; the
// state, thumb and glyph images are rectangles of the picture.
struct SkinScrollBarFields {
  Rect trackArea;
  Rect upButton, activeUpButton, downUpButton;        // the increasing button
  Rect downButton, activeDownButton, downDownButton;  // the decreasing button
  Rect thumb, activeThumb, downThumb;
  int thumbOffset1 = 0;
  int thumbOffset2 = 0;
  bool thumbTransparent = false;
  Color thumbTransparentColor = 0;
  Rect glyph, activeGlyph, downGlyph;
};
SkinScrollBarFields ReadSkinScrollBarFields(const TskDataSkinScrollBarControl& record);

enum class TskScrollBarPart { None = -1, Thumb = 0, UpButton = 1, DownButton = 2 };

// What the bar repeats while the mouse is held.
enum class TskScrollRepeat { None, Decrease, Increase, PageDecrease, PageIncrease };

// What the geometry depends on. `skin` null means the default look.
struct ScrollBarLayoutInput {
  TScrollBarKind kind = TScrollBarKind::sbHorizontal;
  int width = 0;
  int height = 0;
  int min = 0;
  int max = 100;
  int position = 0;
  int pageSize = 0;
  bool both = false;
  int bothMarkerWidth = 19;
  const SkinScrollBarFields* skin = nullptr;
  Rect skinRect;
  Point rightTop;    // where a horizontal record's fixed right part starts
  Point leftBottom;  // where a vertical record's fixed bottom part starts
};

// The parts in control coordinates; no rectangle has a negative size. A thumb too long for
// its track is empty (zero length) at the place the position gives.
struct ScrollBarLayout {
  Rect track;
  Rect thumb;
  Rect upButton;
  Rect downButton;
  int rangeStart = 0;   // first and last place of the thumb's centre along the bar
  int rangeEnd = 0;
  int thumbOffset = 0;  // thumb start less track start
};
ScrollBarLayout LayoutScrollBar(const ScrollBarLayoutInput& in);

class TskSkinScrollBar : public TskSkinCustomControl {
 public:
  // The repeat timer's first delay and its interval after the first tick.
  static constexpr unsigned kRepeatDelay = 500;
  static constexpr unsigned kRepeatInterval = 50;

  explicit TskSkinScrollBar(TComponent* owner);
  ~TskSkinScrollBar() override;

  TScrollBarKind Kind() const { return m_kind; }
  void SetKind(TScrollBarKind kind);
  int Min() const { return m_min; }
  void SetMin(int v);
  int Max() const { return m_max; }
  void SetMax(int v);
  // Clamped to Min .. Max - PageSize + 1 (Max without a page); OnChange when it moves.
  int Position() const { return m_position; }
  void SetPosition(int v);
  // 0: no page, a thumb of fixed length. Ignored when it does not fit range and position.
  int PageSize() const { return m_pageSize; }
  void SetPageSize(int v);
  int SmallChange() const { return m_smallChange; }
  void SetSmallChange(int v) { m_smallChange = v; }
  int LargeChange() const { return m_largeChange; }
  void SetLargeChange(int v) { m_largeChange = v; }
  // All four at once, the position clamped; repaints and fires nothing (for the memo and
  // the list box that follow their own scrolling).
  void SetRange(int min, int max, int pageSize, int position);

  // A horizontal bar that shares a corner with a vertical one: it takes BothSkinDataName
  // (and gives the previous section back when it goes off).
  bool Both() const { return m_both; }
  void SetBoth(bool on);
  const std::string& BothSkinDataName() const { return m_bothSkinDataName; }
  void SetBothSkinDataName(std::string_view name) { m_bothSkinDataName = name; }
  // The corner the default look leaves free; values below 0 are ignored.
  int BothMarkerWidth() const { return m_bothMarkerWidth; }
  void SetBothMarkerWidth(int w);
  bool CanFocused() const { return m_canFocused; }
  void SetCanFocused(bool on);

  TNotifyEvent OnChange;           // the position changed
  TNotifyEvent OnLastChange;       // the thumb was released after a drag
  TNotifyEvent OnUpButtonClick;    // replaces the increasing button's step
  TNotifyEvent OnDownButtonClick;  // replaces the decreasing button's step
  TNotifyEvent OnPageUp;           // after a page step towards Min
  TNotifyEvent OnPageDown;         // after a page step towards Max

  // The parts as the next paint places them (reads the record first).
  ScrollBarLayout Layout();
  // Drawn from the record (a scroll-bar record with a picture, a skin rect and a track).
  bool Skinned() const { return m_skinned; }
  TskScrollBarPart HotPart() const { return m_hot; }
  TskScrollBarPart PressedPart() const { return m_pressed; }
  bool Dragging() const { return m_dragging; }
  TskScrollRepeat Repeat() const { return m_repeat; }

  void ReadSkinRecord() override;
  void DrawDefaultImage(TBitmap& bitmap) override;
  void DrawSkinImage(TBitmap& bitmap) override;
  void BeginSkinChange() override;
  // A record the bar cannot draw from leaves the size alone, as no record does.
  void FitSizeToSkin(int& width, int& height) override;
  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseLeave() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  bool WantsKey(WORD key, TShiftState shift) const override;
  void EnabledChanged() override;

 private:
  ScrollBarLayoutInput LayoutInput() const;
  int ClampPosition(long long v) const;
  int Along(Point p) const;
  TskScrollBarPart PartAt(const ScrollBarLayout& g, Point p) const;
  void SetHot(TskScrollBarPart part);
  // One step of the held part; false when the bar went away while its events ran.
  bool Step(TskScrollRepeat what);
  void StartRepeat(TskScrollRepeat what);
  void StopRepeat();
  void RepeatTick();
  // Ends a press without its release (capture lost, disabled, window gone).
  void CancelPress();
  void DrawThumbImage(Bitmap& dest, const Rect& thumb) const;

  TScrollBarKind m_kind = TScrollBarKind::sbHorizontal;
  int m_min = 0;
  int m_max = 100;
  int m_position = 0;
  int m_pageSize = 0;
  int m_smallChange = 1;
  int m_largeChange = 1;
  bool m_both = false;
  std::string m_bothSkinDataName = "bothhscrollbar";
  std::string m_savedSkinDataName;
  int m_bothMarkerWidth = 19;
  bool m_canFocused = false;

  bool m_skinned = false;
  SkinScrollBarFields m_fields;

  TskScrollBarPart m_hot = TskScrollBarPart::None;
  TskScrollBarPart m_pressed = TskScrollBarPart::None;
  bool m_dragging = false;
  int m_dragOrigin = 0;        // pointer along the bar at the press
  int m_dragThumbOffset = 0;   // thumb offset at the press
  TskScrollRepeat m_repeat = TskScrollRepeat::None;
  bool m_firstTick = false;
  bool m_repeatPaused = false;  // a held button with the pointer off it
  Point m_pointer;              // last pointer place while held
};
