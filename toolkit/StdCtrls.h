// Plain standard controls in the platform's default look: TLabel, TButton, TScrollBar.
#pragma once

#include "toolkit/Controls.h"
#include "toolkit/ExtCtrls.h"

enum class TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);

  // With AutoSize the label takes its text's size whenever text or font change.
  bool AutoSize() const { return m_autoSize; }
  void SetAutoSize(bool on);
  TAlignment Alignment() const { return m_alignment; }
  void SetAlignment(TAlignment a);
  TTextLayout Layout() const { return m_layout; }
  void SetLayout(TTextLayout l);
  bool WordWrap() const { return m_wordWrap; }
  void SetWordWrap(bool on);
  bool Transparent() const { return m_transparent; }
  void SetTransparent(bool on);
  bool ShowAccelChar() const { return m_showAccelChar; }
  void SetShowAccelChar(bool on);
  TWinControl* FocusControl() const { return m_focusControl; }
  void SetFocusControl(TWinControl* c);

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  void Loaded() override;
  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;
  void TextChanged() override;
  void FontChanged() override;
  void Notification(TComponent* component, TOperation operation) override;
  std::uint32_t TextFormat() const;
  void AdjustBounds();

 private:
  bool m_autoSize = true;
  TAlignment m_alignment = TAlignment::taLeftJustify;
  TTextLayout m_layout = TTextLayout::tlTop;
  bool m_wordWrap = false;
  bool m_transparent = false;
  bool m_showAccelChar = true;
  TWinControl* m_focusControl = nullptr;
};

class TButton : public TCustomControl {
 public:
  explicit TButton(TComponent* owner);

  // Enter (Default) or Escape (Cancel) anywhere on the form clicks the button.
  bool Default() const { return m_default; }
  void SetDefault(bool on);
  bool Cancel() const { return m_cancel; }
  void SetCancel(bool on) { m_cancel = on; }
  int ModalResult() const { return m_modalResult; }
  void SetModalResult(int r) { m_modalResult = r; }
  bool Pressed() const { return m_pressed; }

  void Click() override;
  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void TextChanged() override { Invalidate(); }

 private:
  void SetPressed(bool on);
  bool m_default = false;
  bool m_cancel = false;
  int m_modalResult = 0;
  bool m_pressed = false;
  bool m_tracking = false;
  bool m_spaceDown = false;
};

enum class TScrollBarKind { sbHorizontal, sbVertical };
enum class TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = std::function<void(TObject* sender, TScrollCode code, int& scrollPos)>;

class TScrollBar : public TCustomControl {
 public:
  explicit TScrollBar(TComponent* owner);

  TScrollBarKind Kind() const { return m_kind; }
  void SetKind(TScrollBarKind k);
  int Min() const { return m_min; }
  int Max() const { return m_max; }
  int Position() const { return m_position; }
  int PageSize() const { return m_pageSize; }
  void SetMin(int v) { SetParams(m_position, v, m_max); }
  void SetMax(int v) { SetParams(m_position, m_min, v); }
  void SetPosition(int v) { SetParams(v, m_min, m_max); }
  void SetPageSize(int v);
  // Position stays within Min .. Max - PageSize + 1 (Max when there is no page);
  // OnChange fires when it moves.
  void SetParams(int position, int min, int max);
  int SmallChange() const { return m_smallChange; }
  void SetSmallChange(int v) { m_smallChange = std::max(1, v); }
  int LargeChange() const { return m_largeChange; }
  void SetLargeChange(int v) { m_largeChange = std::max(1, v); }

  // The parts in client coordinates, for drawing and hit testing.
  Rect FirstButtonRect() const;
  Rect SecondButtonRect() const;
  Rect ThumbRect() const;

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  bool WantsKey(WORD key, TShiftState shift) const override;

 public:
  void WndProc(TMessage& message) override;
  // Holding an arrow or the track repeats its step: first after this many milliseconds,
  // then at the repeat interval.
  static constexpr unsigned kRepeatDelay = 500;
  static constexpr unsigned kRepeatInterval = 50;

 private:
  enum class Part { None, FirstButton, SecondButton, PageBefore, PageAfter };
  Part PartAt(Point p) const;
  void Step(Part part);
  Part m_held = Part::None;
  Point m_heldAt;
  int MaxPosition() const;
  int ButtonSize() const;
  Rect TrackRect() const;
  void Scroll(TScrollCode code, int position);
  TScrollBarKind m_kind = TScrollBarKind::sbHorizontal;
  int m_min = 0;
  int m_max = 100;
  int m_position = 0;
  int m_pageSize = 0;
  int m_smallChange = 1;
  int m_largeChange = 1;
  bool m_dragging = false;
  int m_dragOffset = 0;
};
