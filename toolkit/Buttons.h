// TSpeedButton: a windowless button with a glyph, flat look, and grouped down states.
#pragma once

#include <memory>

#include "toolkit/Bitmaps.h"
#include "toolkit/Controls.h"

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;

  // The glyph holds NumGlyphs images side by side: up, disabled, down, stays-down.
  TBitmap& Glyph() { return *m_glyph; }
  int NumGlyphs() const { return m_numGlyphs; }
  void SetNumGlyphs(int n);
  bool Flat() const { return m_flat; }
  void SetFlat(bool on);
  // Buttons with the same non-zero GroupIndex under one parent stay down one at a time;
  // with AllowAllUp all may be up.
  int GroupIndex() const { return m_groupIndex; }
  void SetGroupIndex(int index);
  bool Down() const { return m_down; }
  void SetDown(bool on);
  bool AllowAllUp() const { return m_allowAllUp; }
  void SetAllowAllUp(bool on);
  TButtonLayout Layout() const { return m_layout; }
  void SetLayout(TButtonLayout l);
  int Spacing() const { return m_spacing; }
  void SetSpacing(int s);
  int Margin() const { return m_margin; }
  void SetMargin(int m);
  bool Transparent() const { return m_transparent; }
  void SetTransparent(bool on);
  TButtonState State() const { return m_state; }
  bool MouseInControl() const { return m_mouseInControl; }

  void Click() override;
  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void TextChanged() override { Invalidate(); }

 private:
  void UpdateExclusive();
  void DrawGlyph(TCanvas& canvas, const Rect& area, TButtonState state);

  std::unique_ptr<TBitmap> m_glyph;
  int m_numGlyphs = 1;
  bool m_flat = false;
  int m_groupIndex = 0;
  bool m_down = false;
  bool m_allowAllUp = false;
  TButtonLayout m_layout = TButtonLayout::blGlyphLeft;
  int m_spacing = 4;
  int m_margin = -1;
  bool m_transparent = true;
  TButtonState m_state = TButtonState::bsUp;
  bool m_dragging = false;
  bool m_mouseInControl = false;
};
