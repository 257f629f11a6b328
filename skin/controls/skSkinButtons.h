// TskSkinButton (a windowed push button) and TskSkinSpeedButton (a windowless tool button):
// four looks from a button record, fading between normal and active, glyph and caption
// layout, sticky groups and repeated clicks.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "skin/controls/skSkinCtrls.h"
#include "toolkit/ActnList.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/ImgList.h"

enum class TskButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using TskNumGlyphs = int;  // 1..4

// Where glyph and caption go inside a client rectangle: `margin` from the edge, or both
// centred together when it is -1, `spacing` between them.
struct ButtonContentPlace {
  Point glyph;
  Point text;
};
ButtonContentPlace PlaceButtonContent(TskButtonLayout layout, int margin, int spacing, Size glyph,
                                      Size text, const Rect& client);

// The button keys of a record, copied at each lookup; empty state rectangles already
// replaced (active by normal, down by active).
struct SkinButtonFields {
  SkinFontFields font;
  Color activeFontColor = 0;
  Color downFontColor = 0;
  Color disabledFontColor = 0;
  Rect skinRect;
  Rect activeSkinRect;
  Rect downSkinRect;
  Rect disabledSkinRect;
  bool morphing = false;
  int morphKind = 0;
};
SkinButtonFields ReadSkinButtonFields(const TskDataSkinControl& record);

enum class SkinButtonLook { Normal, Active, Down, Disabled, None };

// The glyph one look shows: a cell of a strip, or an image of the tool bar's lists.
struct ButtonGlyph {
  const TBitmap* strip = nullptr;
  int cellCount = 1;
  int cell = 1;
  const TImageList* list = nullptr;
  int listIndex = -1;
  Size Extent() const;
  void Draw(TCanvas& canvas, int x, int y) const;
};

// The link of a skinned button: a control's link, with the action's checked state shown
// as Down and its image taken as the glyph while the button has none of its own.
class SkinButtonActionLink : public TControlActionLink {
 public:
  SkinButtonActionLink(TControl& client, std::function<void(bool)> setDown, std::function<void()> imageChanged)
      : TControlActionLink(client), m_setDown(std::move(setDown)), m_imageChanged(std::move(imageChanged)) {}

 protected:
  void SetChecked(bool on) override { m_setDown(on); }
  void SetImageIndex(int) override { m_imageChanged(); }

 private:
  std::function<void(bool)> m_setDown;
  std::function<void()> m_imageChanged;
};

// What both button classes hold: the shared properties, the run-time state and the two
// timers (morph, 20 ms; repeat), made when first needed.
class SkinButtonCore {
 public:
  explicit SkinButtonCore(TControl& owner);
  ~SkinButtonCore();

  TBitmap& Glyph() { return *m_glyph; }
  const TBitmap& Glyph() const { return *m_glyph; }
  int numGlyphs = 1;
  TskButtonLayout layout = TskButtonLayout::blGlyphLeft;
  int margin = -1;
  int spacing = 1;
  bool down = false;
  int groupIndex = 0;
  bool allowAllUp = false;
  bool repeatMode = false;
  int repeatInterval = 100;

  bool mouseInside = false;
  bool held = false;
  bool wasDown = false;
  double k = 0;  // morph progress, 0 normal .. 1 active
  bool hasRecord = false;
  SkinButtonFields fields;

  // Called by the morph timer to tell whether the button is active, and to repaint.
  std::function<bool()> isActive;
  std::function<void()> repaint;
  std::function<void()> repeatClick;

  bool Morphing() const { return hasRecord && fields.morphing; }
  void StartMorph();
  void StopMorph();
  bool MorphRunning() const;
  // One morph step (the timer's tick).
  void MorphStep();
  void StartRepeat();
  void StopRepeat();
  bool RepeatRunning() const;
  // The look starts changing: at once, or through the morph when the record fades.
  void ChangeLook();

  // The setters both classes share; each repaints when the value changed.
  void SetNumGlyphs(int n);
  void SetLayout(TskButtonLayout l);
  void SetMargin(int m);  // values below -1 are ignored
  void SetSpacing(int s);
  // Stores `down`, fading out of the active look when the record morphs and `canMorph`;
  // true when the button went down in a group, so its siblings must go up.
  bool SetDownState(bool on, bool canMorph);
  // Takes the record's button fields (when it was read anew) or forgets them.
  void ReadRecord(const TskDataSkinControl* record, bool readAnew);
  // After a skin was applied: no fade under way; the active look when the record fades.
  void SkinApplied(bool active);
  // The properties both classes stream (not Down and GroupIndex, whose setters differ).
  bool ReadProperty(std::string_view name, const TStreamValue& value);

  // The action the button is bound to, or nullptr; binding shows the action's state on
  // the button, `setDown` showing its checked state.
  TAction* Action() const { return m_actionLink ? m_actionLink->Action() : nullptr; }
  void SetAction(TAction* action, std::function<void(bool)> setDown);
  void UpdateAction() {
    if (m_actionLink) m_actionLink->Update();
  }
  // Runs the action for a click: true when the action ran instead of OnClick, which
  // happens when OnClick is empty or is the action's own handler.
  bool ExecuteAction();

  // Draws glyph and caption of one look inside `client`.
  void DrawContent(TCanvas& canvas, const Rect& client, const std::string& caption,
                   const ButtonGlyph& glyph, bool shifted) const;

 private:
  // An empty glyph becomes the action's image over magenta, the strip's see-through colour.
  void TakeActionImage();

  TControl& m_owner;
  std::unique_ptr<TBitmap> m_glyph;
  std::unique_ptr<SkinButtonActionLink> m_actionLink;
  std::unique_ptr<TTimer> m_morphTimer;
  std::unique_ptr<TTimer> m_repeatTimer;
};

// What a look needs besides the core: the element geometry, the caption font settings.
struct ButtonLookContext {
  const SkinElement* element = nullptr;
  const TFont* defaultFont = nullptr;
  bool useSkinFont = true;
  const TskSkinData* data = nullptr;
  bool enabled = true;
  std::string caption;
  int width = 0;
  int height = 0;
};

class TskSkinButton : public TskSkinCustomControl {
 public:
  explicit TskSkinButton(TComponent* owner);
  ~TskSkinButton() override;

  TBitmap& Glyph() { return m_core.Glyph(); }
  void SetGlyph(const TBitmap& glyph) { m_core.Glyph().Assign(&glyph); }
  int NumGlyphs() const { return m_core.numGlyphs; }
  void SetNumGlyphs(int n) { m_core.SetNumGlyphs(n); }
  TskButtonLayout Layout() const { return m_core.layout; }
  void SetLayout(TskButtonLayout l) { m_core.SetLayout(l); }
  int Margin() const { return m_core.margin; }
  void SetMargin(int m) { m_core.SetMargin(m); }
  int Spacing() const { return m_core.spacing; }
  void SetSpacing(int s) { m_core.SetSpacing(s); }
  bool Down() const { return m_core.down; }
  void SetDown(bool on);
  int GroupIndex() const { return m_core.groupIndex; }
  void SetGroupIndex(int g);
  bool AllowAllUp() const { return m_core.allowAllUp; }
  void SetAllowAllUp(bool on) { m_core.allowAllUp = on; }
  bool RepeatMode() const { return m_core.repeatMode; }
  void SetRepeatMode(bool on) { m_core.repeatMode = on; }
  int RepeatInterval() const { return m_core.repeatInterval; }
  void SetRepeatInterval(int ms) { m_core.repeatInterval = ms; }
  bool CanFocused() const { return m_canFocused; }
  void SetCanFocused(bool on);
  bool Default() const { return m_default; }
  void SetDefault(bool on);
  bool Cancel() const { return m_cancel; }
  void SetCancel(bool on) { m_cancel = on; }
  int ModalResult() const { return m_modalResult; }
  void SetModalResult(int r) { m_modalResult = r; }
  TAction* Action() const { return m_core.Action(); }
  void SetAction(TAction* action);
  // Enter clicks this button: the focused button, or the default one while the focus
  // is on a control that is not a button.
  bool ActiveDefault() const { return m_activeDefault; }

  // Run-time state, for the look.
  bool MouseInside() const { return m_core.mouseInside; }
  double MorphFactor() const { return m_core.k; }
  bool MorphRunning() const { return m_core.MorphRunning(); }
  bool RepeatRunning() const { return m_core.RepeatRunning(); }
  // Which look a paint shows now (None only for the default look's absence of a skin).
  SkinButtonLook CurrentLook() const;

  void Click() override;
  void InitiateAction() override { m_core.UpdateAction(); }
  void ReadSkinRecord() override;
  void DrawDefaultImage(TBitmap& bitmap) override;
  void DrawSkinImage(TBitmap& bitmap) override;
  void ApplySkin() override;
  void BeginSkinChange() override;
  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void EnabledChanged() override;
  void TextChanged() override { Invalidate(); }

 private:
  bool Active() const;
  bool PressedLook() const;
  void Enter();
  void Leave();
  void SetActiveDefault(bool on);
  // An accelerator character: focuses (when the button takes the focus) and clicks.
  bool DialogChar(WPARAM ch);
  // Re-runs the focus notice over every button of the form.
  void UpdateActiveDefaults(TWinControl* focused);
  ButtonLookContext LookContext() const;

  SkinButtonCore m_core;
  bool m_canFocused = true;
  bool m_default = false;
  bool m_cancel = false;
  int m_modalResult = 0;
  bool m_activeDefault = false;
};

// What a speed button asks of the tool bar it sits on: the image lists it draws from when
// it has no glyph of its own.
class TskToolImageSource {
 public:
  virtual TImageList* Images() const = 0;
  virtual TImageList* HotImages() const = 0;
  virtual TImageList* DisabledImages() const = 0;

 protected:
  ~TskToolImageSource() = default;
};

class TskSkinSpeedButton : public TskGraphicSkinCustomControl {
 public:
  explicit TskSkinSpeedButton(TComponent* owner);
  ~TskSkinSpeedButton() override;

  TBitmap& Glyph() { return m_core.Glyph(); }
  void SetGlyph(const TBitmap& glyph) { m_core.Glyph().Assign(&glyph); }
  int NumGlyphs() const { return m_core.numGlyphs; }
  void SetNumGlyphs(int n) { m_core.SetNumGlyphs(n); }
  TskButtonLayout Layout() const { return m_core.layout; }
  void SetLayout(TskButtonLayout l) { m_core.SetLayout(l); }
  int Margin() const { return m_core.margin; }
  void SetMargin(int m) { m_core.SetMargin(m); }
  int Spacing() const { return m_core.spacing; }
  void SetSpacing(int s) { m_core.SetSpacing(s); }
  bool Down() const { return m_core.down; }
  void SetDown(bool on);
  int GroupIndex() const { return m_core.groupIndex; }
  void SetGroupIndex(int g) { m_core.groupIndex = g; }
  bool AllowAllUp() const { return m_core.allowAllUp; }
  void SetAllowAllUp(bool on) { m_core.allowAllUp = on; }
  bool RepeatMode() const { return m_core.repeatMode; }
  void SetRepeatMode(bool on) { m_core.repeatMode = on; }
  int RepeatInterval() const { return m_core.repeatInterval; }
  void SetRepeatInterval(int ms) { m_core.repeatInterval = ms; }
  bool ShowCaption() const { return m_showCaption; }
  void SetShowCaption(bool on);
  int WidthWithCaption() const { return m_widthWithCaption; }
  void SetWidthWithCaption(int w) { m_widthWithCaption = w; }
  int WidthWithoutCaption() const { return m_widthWithoutCaption; }
  void SetWidthWithoutCaption(int w) { m_widthWithoutCaption = w; }
  int ImageIndex() const { return m_imageIndex; }
  void SetImageIndex(int i);
  bool Flat() const { return m_flat; }
  void SetFlat(bool on);
  bool Transparent() const { return m_transparent; }
  void SetTransparent(bool on);
  TAction* Action() const { return m_core.Action(); }
  void SetAction(TAction* action);

  bool MouseInside() const { return m_core.mouseInside; }
  double MorphFactor() const { return m_core.k; }
  bool MorphRunning() const { return m_core.MorphRunning(); }
  bool RepeatRunning() const { return m_core.RepeatRunning(); }
  SkinButtonLook CurrentLook() const;

  void Click() override;
  void InitiateAction() override { m_core.UpdateAction(); }
  void ReadSkinRecord() override;
  void DrawDefaultImage(TBitmap& bitmap) override;
  void DrawSkinImage(TBitmap& bitmap) override;
  void ApplySkin() override;
  void BeginSkinChange() override;
  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  void Paint() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void EnabledChanged() override;
  void TextChanged() override { Invalidate(); }

 private:
  bool Active() const { return m_core.mouseInside; }
  bool PressedLook() const;
  TskToolImageSource* ParentToolBar() const;
  ButtonGlyph GlyphFor(SkinButtonLook look) const;
  ButtonLookContext LookContext() const;
  std::string ShownCaption() const;
  // Glyph and caption straight on the canvas (the transparent look).
  void DrawTransparent(TCanvas& canvas);

  SkinButtonCore m_core;
  bool m_showCaption = true;
  int m_widthWithCaption = 0;
  int m_widthWithoutCaption = 0;
  int m_imageIndex = -1;
  bool m_flat = false;
  bool m_transparent = false;
};

TskButtonLayout ReadSkinButtonLayout(const TStreamValue& value);
