// TskSkinPanel (a container drawn from the "panel" section, with caption bar, check box
// and roll-up) and TskSkinToolBar (a panel drawn from "toolpanel" that holds speed buttons).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinCtrls.h"
#include "skin/controls/skToolBarScroll.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/ImgList.h"

enum class TskSkinBorderStyle { bvFrame, bvRaised, bvLowered, bvNone };

// The panel keys of a record, copied at each lookup so nothing points into the skin.
struct SkinPanelFields {
  bool fromPanelRecord = false;
  int bgPictureIndex = -1;
  Rect captionRect;
  SkinAlignment alignment = SkinAlignment::Center;
  SkinFontFields font;
  Rect checkImageRect;
  Rect uncheckImageRect;
};

class TskSkinPanel : public TskSkinCustomControl {
 public:
  explicit TskSkinPanel(TComponent* owner);
  ~TskSkinPanel() override;

  TskSkinBorderStyle BorderStyle() const { return m_borderStyle; }
  void SetBorderStyle(TskSkinBorderStyle s);
  bool CaptionMode() const { return m_captionMode; }
  void SetCaptionMode(bool on);
  int DefaultCaptionHeight() const { return m_defaultCaptionHeight; }
  void SetDefaultCaptionHeight(int h);
  TAlignment DefaultAlignment() const { return m_defaultAlignment; }
  void SetDefaultAlignment(TAlignment a);
  bool CheckedMode() const { return m_checkedMode; }
  void SetCheckedMode(bool on);
  bool Checked() const { return m_checked; }
  void SetChecked(bool on);
  bool AutoEnabledControls() const { return m_autoEnabledControls; }
  void SetAutoEnabledControls(bool on) { m_autoEnabledControls = on; }
  bool RollUpMode() const { return m_rollUpMode; }
  void SetRollUpMode(bool on);
  bool RollUpState() const { return m_rollUpState; }
  void SetRollUpState(bool on);
  // The height before rolling up; -1 while not rolled up.
  int RealHeight() const { return m_realHeight; }
  void SetRealHeight(int h) { m_realHeight = h; }
  TBitmap& Glyph() { return *m_glyph; }
  void SetGlyph(const TBitmap& glyph) { m_glyph->Assign(&glyph); }
  int NumGlyphs() const { return m_numGlyphs; }
  void SetNumGlyphs(int n);
  int Spacing() const { return m_spacing; }
  void SetSpacing(int s);

  TNotifyEvent OnChecked;
  TNotifyEvent OnChangeRollUpState;

  // The record's caption rectangle moved and grown with the panel over its skin rect.
  Rect CaptionRectAtSize() const;
  const SkinPanelFields& PanelFields() const { return m_fields; }

  void ReadSkinRecord() override;
  void DrawDefaultImage(TBitmap& bitmap) override;
  void DrawSkinImage(TBitmap& bitmap) override;
  void ApplySkin() override;
  void BeginSkinChange() override;
  void SetBounds(int left, int top, int width, int height) override;

  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  Rect AdjustClientRect() const override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void EnabledChanged() override;
  void TextChanged() override;
  // The skin look that tiles only the client part: no border, no caption.
  bool BorderlessSkinLook() const;
  // A background picture of the record that exists.
  const Bitmap* BackgroundPicture() const;
  void Changed(bool realign);

 private:
  void RollUp();
  void RollDown();
  int RolledHeight() const;
  // The area a click toggles check and roll-up state in.
  Rect CaptionHitRect() const;
  void DrawSkinCaption(TCanvas& canvas, const Rect& captionRect);
  void DrawDefaultCaption(TCanvas& canvas, const Rect& inner);
  void DrawCaptionContent(TCanvas& canvas, Rect working, int x, Color textColor);

  TskSkinBorderStyle m_borderStyle = TskSkinBorderStyle::bvFrame;
  bool m_captionMode = false;
  int m_defaultCaptionHeight = 22;
  TAlignment m_defaultAlignment = TAlignment::taLeftJustify;
  bool m_checkedMode = false;
  bool m_checked = false;
  bool m_autoEnabledControls = true;
  bool m_rollUpMode = false;
  bool m_rollUpState = false;
  int m_realHeight = -1;
  std::unique_ptr<TBitmap> m_glyph;
  int m_numGlyphs = 1;
  int m_spacing = 2;
  SkinPanelFields m_fields;
};

class TskSkinSpeedButton;

class TskSkinToolBar : public TskSkinPanel, public TskToolImageSource {
 public:
  explicit TskSkinToolBar(TComponent* owner);
  ~TskSkinToolBar() override;

  bool CanScroll() const { return m_canScroll; }
  void SetCanScroll(bool on);
  bool HotScroll() const { return m_hotScroll; }
  void SetHotScroll(bool on);
  int ScrollOffset() const { return m_scrollOffset; }
  void SetScrollOffset(int v) {
    if (v >= 0) m_scrollOffset = v;
  }
  int ScrollTimerInterval() const { return m_scrollTimerInterval; }
  void SetScrollTimerInterval(int ms) {
    if (ms > 0) m_scrollTimerInterval = ms;
  }
  int WidthWithCaptions() const { return m_widthWithCaptions; }
  void SetWidthWithCaptions(int w) { m_widthWithCaptions = w; }
  int WidthWithoutCaptions() const { return m_widthWithoutCaptions; }
  void SetWidthWithoutCaptions(int w) { m_widthWithoutCaptions = w; }
  bool AutoShowHideCaptions() const { return m_autoShowHideCaptions; }
  void SetAutoShowHideCaptions(bool on) { m_autoShowHideCaptions = on; }
  bool ShowCaptions() const { return m_showCaptions; }
  void SetShowCaptions(bool on);
  bool Flat() const { return m_flat; }
  void SetFlat(bool on);
  TImageList* Images() const override { return m_images; }
  void SetImages(TImageList* images);
  TImageList* HotImages() const override { return m_hotImages; }
  void SetHotImages(TImageList* images);
  TImageList* DisabledImages() const override { return m_disabledImages; }
  void SetDisabledImages(TImageList* images);

  // Also sets it on every child speed button.
  void SetSkinData(TskSkinData* data) override;
  void SetSkinDataName(std::string_view name) override;

  // Scrolling: the state of the arrows and the pixels scrolled.
  const ToolBarScroller& Scroller() const { return m_scroller; }
  bool ArrowsShown() const { return m_scroller.ArrowsShown(); }
  int ScrollPosition() const { return m_scroller.Position(); }
  // The image one arrow shows now, ArrowWidth x Height.
  Bitmap ArrowImage(ToolScrollDir dir);

  void DrawSkinImage(TBitmap& bitmap) override;
  void SetBounds(int left, int top, int width, int height) override;
  Rect ClientRect() const override;
  Point ClientOrigin() const override;
  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  void Loaded() override;

  // The timer that repeats the steps, on the tool bar's window.
  static constexpr UINT_PTR ScrollTimerId = 1;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;
  Rect AdjustClientRect() const override;
  void AlignControls(Rect& rect) override;
  void ChildLayoutChanged(TControl* child) override;
  void CreateWindowHandleDone() override;

 private:
  void ForEachSpeedButton(const std::function<void(TskSkinSpeedButton&)>& fn);
  void LinkImages(TImageList*& slot, TImageList* images);
  // Measures the content and shows, hides or scrolls back as it needs; true when the
  // arrows came or went (the client area changed).
  bool CheckScroll();
  // CheckScroll outside a layout pass: realigns when the client area changed.
  void UpdateScroll();
  void MoveChildren(int shift);
  void ScrollStep(ToolScrollDir dir);
  void StartScrollTimer(ToolScrollDir dir);
  void StopScrollTimer();
  void SetArrowHot(ToolScrollDir dir);
  void EndArrowPress();
  void FrameChanged();
  void PaintArrows();
  bool HandleScrollMessage(TMessage& m);

  bool m_canScroll = false;
  bool m_hotScroll = false;
  int m_scrollOffset = 0;
  int m_scrollTimerInterval = 50;
  int m_widthWithCaptions = 0;
  int m_widthWithoutCaptions = 0;
  bool m_autoShowHideCaptions = false;
  bool m_showCaptions = false;
  bool m_flat = false;
  TImageList* m_images = nullptr;
  TImageList* m_hotImages = nullptr;
  TImageList* m_disabledImages = nullptr;
  ToolBarScroller m_scroller;
  SkinRecordLink m_arrowLink{*this};  // the "resizebutton" record the arrows draw from
  bool m_checking = false;
  bool m_moving = false;
  bool m_aligning = false;
};

TskSkinBorderStyle ReadSkinBorderStyle(const TStreamValue& value);
