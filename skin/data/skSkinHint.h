// TskSkinHint, the component that serves the application's hints with a skinned hint
// window, and TskSkinHintWindow, drawn from the skin's "HINTWINDOW" record and shaped by
// its mask (or plain when the skin has none).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Region.h"
#include "skin/data/skSkinData.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

class TTimer;
class TskSkinHint;

// The visible part of the pointer below its hot spot: a hint shown at the pointer starts
// this far down so the pointer does not cover it.
inline constexpr int skHintCursorDrop = 20;

// The geometry of a hint for one text: its size and the scaled corner points and client
// rectangle of the picture (only meaningful when skinned).
struct TskHintLayout {
  bool skinned = false;
  Size size;
  Size textSize;
  Point leftTop, rightTop, leftBottom, rightBottom;
  Rect clientRect;
};

class TskSkinHintWindow : public THintWindow {
 public:
  // `own` is the component that made the window for its own hints (null for the
  // application's window, which any serving component may drive).
  explicit TskSkinHintWindow(TComponent* owner, TskSkinHint* own = nullptr);
  ~TskSkinHintWindow() override;

  Rect CalcHintRect(int maxWidth, std::string_view hint) override;
  // Sizes, places, shapes and shows the window with its top-left at rect's top-left.
  void ActivateHint(const Rect& rect, std::string_view hint) override;

  // The component that served the hint now shown (null: the window was left alone).
  TskSkinHint* Serving() const { return m_serving; }
  // The skin of the hint now shown; null when it is drawn plain.
  TskSkinData* HintSkinData() const { return m_skinData; }
  const TskHintLayout& Layout() const { return m_layout; }
  const std::optional<Region>& HintRegion() const { return m_region; }
  const std::string& HintText() const { return m_text; }
  // The whole window image as it paints.
  Bitmap RenderImage() const;

 protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TskHintLayout Measure(TskSkinHint* serving, std::string_view text, FontSpec& font) const;
  void ApplyTranslucency();

  TskSkinHint* m_own;
  TskSkinHint* m_serving = nullptr;
  TskSkinData* m_skinData = nullptr;
  TskHintLayout m_layout;
  FontSpec m_font;
  std::string m_text;
  std::optional<Region> m_region;
  bool m_layered = false;
  int m_appliedAlpha = -1;
};

class TskSkinHint : public TComponent, public TskSkinChangeable {
 public:
  // Outside design mode this makes the skinned window the application's hint window.
  explicit TskSkinHint(TComponent* owner);
  ~TskSkinHint() override;

  // The component that serves hints now: the first active one on the main form, else (no
  // main form, or none on it) the first active one made; null when none is active.
  static TskSkinHint* Serving();

  TskSkinData* SkinData() const override { return m_skinData; }
  void SetSkinData(TskSkinData* data);
  bool Active() const { return m_active; }
  // Switching one on switches the others on the main form off.
  void SetActive(bool on);
  bool AlphaBlend() const { return m_alphaBlend; }
  void SetAlphaBlend(bool on) { m_alphaBlend = on; }
  int AlphaBlendValue() const { return m_alphaBlendValue; }
  void SetAlphaBlendValue(int value);
  TFont& DefaultFont() { return m_defaultFont; }
  const TFont& DefaultFont() const { return m_defaultFont; }
  bool UseSkinFont() const { return m_useSkinFont; }
  void SetUseSkinFont(bool on) { m_useSkinFont = on; }
  TShowHintEvent OnShowHint;

  // Shows `text` with this component's own window at the pointer after the application's
  // hint pause, and hides it after the hide pause.
  void ShowHintAtCursor(std::string_view text);
  void HideHint();
  TskSkinHintWindow* HintWindow() const { return m_window; }
  bool HintPending() const;

  // A skin change hides the hints drawn from the skin that changes.
  void BeginSkinChange() override;
  void ApplySkin() override {}

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void TimerFired();

  TskSkinData* m_skinData = nullptr;
  bool m_active = true;
  bool m_alphaBlend = false;
  int m_alphaBlendValue = 0;
  TFont m_defaultFont;
  bool m_useSkinFont = true;
  TskSkinHintWindow* m_window = nullptr;  // owned as a component
  TTimer* m_timer = nullptr;              // owned as a component, made at the first hint
  bool m_shownByTimer = false;
  std::string m_pendingText;
};
