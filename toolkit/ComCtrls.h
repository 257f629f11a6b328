// TToolBar: a strip that holds buttons and other controls at their own positions.
#pragma once

#include "toolkit/Controls.h"
#include "toolkit/ImgList.h"

using TEdgeBorders = std::uint32_t;
constexpr TEdgeBorders ebLeft = 1;
constexpr TEdgeBorders ebTop = 2;
constexpr TEdgeBorders ebRight = 4;
constexpr TEdgeBorders ebBottom = 8;

class TToolBar : public TCustomControl {
 public:
  explicit TToolBar(TComponent* owner);

  TEdgeBorders EdgeBorders() const { return m_edgeBorders; }
  void SetEdgeBorders(TEdgeBorders e);
  bool Flat() const { return m_flat; }
  void SetFlat(bool on);
  bool ShowCaptions() const { return m_showCaptions; }
  void SetShowCaptions(bool on);
  bool Transparent() const { return m_transparent; }
  void SetTransparent(bool on);
  int ButtonWidth() const { return m_buttonWidth; }
  void SetButtonWidth(int w) { m_buttonWidth = std::max(1, w); }
  int ButtonHeight() const { return m_buttonHeight; }
  void SetButtonHeight(int h) { m_buttonHeight = std::max(1, h); }
  TImageList* Images() const { return m_images; }
  void SetImages(TImageList* images);

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void Paint() override;
  Rect AdjustClientRect() const override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TEdgeBorders m_edgeBorders = ebTop;
  bool m_flat = false;
  bool m_showCaptions = false;
  bool m_transparent = false;
  int m_buttonWidth = 23;
  int m_buttonHeight = 22;
  TImageList* m_images = nullptr;
};
