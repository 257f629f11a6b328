// TskCustomEdit, TskSkinEdit and TskSkinMemo: the platform's edit and memo keep text, caret
// and selection; the frame is drawn from the skin in the non-client area, the text lies
// transparently on a skinned background, and the context menu is a skinned popup menu.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/gfx/Bitmap.h"
#include "skin/controls/skImageDraw.h"
#include "skin/controls/skSkinCtrls.h"
#include "toolkit/Edits.h"

class DC;
class TskSkinPopupMenu;
class TskSkinScrollBar;

// Asks a skinned edit or memo to free the context menu of an earlier opening (wParam: the
// opening's number), posted once that menu has closed.
inline constexpr unsigned skEditMsgFreeMenu = 0x400 + 260;

// The keys of an edit or memo record that sizing and drawing read, copied at each lookup.
// Empty state rectangles are already replaced (active by normal, pressed by active).
struct SkinEditFields {
  // The record's frame can be drawn: its picture exists and holds the whole skin rect.
  // Otherwise the control keeps the record's fonts and colours but the default look.
  bool usable = false;
  const Bitmap* picture = nullptr;  // the skin's, valid until its next change
  Rect skinRect;
  Rect activeSkinRect;
  NinePartGeometry parts;
  SkinFontFields font;
  Color activeFontColor = 0;
  Color disabledFontColor = 0;
  Rect buttonRect;  // relative to the skin rect; the others are picture rectangles
  Rect activeButtonRect;
  Rect downButtonRect;
  Rect disabledButtonRect;
  Color bgColor = 0;  // memo records
  Color activeBgColor = 0;
};
SkinEditFields ReadSkinEditFields(const TskSkinData& data, const TskDataSkinEditControl& record);

// The distances of the text area from the window's edges; never negative, and never more
// than the window has.
struct EditInsets {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  Rect Apply(const Rect& window) const {
    return {window.left + left, window.top + top, window.right - right, window.bottom - bottom};
  }
};
// The insets of a usable record's client rect for a window of width x height (the frame
// keeps its widths whatever the window's size); without one `fallback` on every side and
// `extraRight` more on the right.
EditInsets SkinEditInsets(const SkinEditFields* fields, int width, int height, int fallback,
                          int extraRight = 0);

// The context menu the skinned edit and memo share: built anew at each opening from the
// skinned popup menu, with the six interface texts as captions.
class TskEditContextMenu {
 public:
  TskEditContextMenu();
  ~TskEditContextMenu();
  TskEditContextMenu(const TskEditContextMenu&) = delete;
  TskEditContextMenu& operator=(const TskEditContextMenu&) = delete;

  // Builds the menu for `edit` and opens it at a screen point. Captions come from
  // `texts` (its linked interface texts, else the built-in ones); without a frame's menu
  // controller on the form the menu is drawn from `skin`.
  void Open(TCustomEdit& edit, Point screen, const TskSkinData* texts, TskSkinData* skin);
  // The menu of the last opening, until it is freed.
  TskSkinPopupMenu* Menu() const { return m_menu.get(); }
  // The menu closed: asks `edit` to free it once the command that closed it has run.
  void Closed(TWinControl& edit);
  // The free request of opening `number` arrived.
  void FreeRequested(WPARAM number);

 private:
  std::unique_ptr<TskSkinPopupMenu> m_menu;
  unsigned m_openings = 0;
};

// An edit whose text can lie transparently on a background of its owner's choice, with the
// read-only rules and context menu of the skinned edits.
class TskCustomEdit : public TCustomEdit {
 public:
  explicit TskCustomEdit(TComponent* owner);
  ~TskCustomEdit() override;

  // Text drawn without a background of its own: the erase step paints what shows under it.
  bool TransparentText() const { return m_transparentText; }
  void SetTransparentText(bool on);
  // The context menu of the last opening (null once freed or before the first).
  TskSkinPopupMenu* SysPopupMenu() const { return m_menu.Menu(); }
  bool MouseButtonHeld() const { return m_mouseButtonHeld; }

  // Paints the text background with transparent text (the client area, client
  // coordinates); without one the control's colour fills it.
  std::function<void(DC& dc, const Rect& client)> OnDrawBackground;

  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

 protected:
  // Paints under transparent text.
  virtual void DrawTextBackground(DC& dc, const Rect& client);
  // The colour of transparent text (the platform's grey when disabled, unless overridden).
  virtual Color TransparentTextColor() const;
  // Whose interface texts and which skin the context menu takes.
  virtual const TskSkinData* MenuTexts() const;
  virtual TskSkinData* MenuSkin() const { return nullptr; }
  // Repaints the text area so that the background is drawn again under changed text.
  void InvalidateTextArea();

 private:
  void ShowContextMenu(LPARAM screenPoint);

  bool m_transparentText = false;
  bool m_mouseButtonHeld = false;
  TskEditContextMenu m_menu;
};

// A one-line skinned edit ("edit"; with a button at its right end, "buttonedit").
class TskSkinEdit : public TskCustomEdit, public TskSkinChangeable {
 public:
  explicit TskSkinEdit(TComponent* owner);
  ~TskSkinEdit() override;

  TskSkinData* SkinData() const override { return m_link.Data(); }
  void SetSkinData(TskSkinData* data);
  const std::string& SkinDataName() const { return m_link.Name(); }
  void SetSkinDataName(std::string_view name) { m_link.SetName(name); }

  TFont& DefaultFont() { return *m_defaultFont; }
  const TFont& DefaultFont() const { return *m_defaultFont; }
  void SetDefaultFont(const TFont& font) { m_defaultFont->Assign(&font); }
  bool UseSkinFont() const { return m_useSkinFont; }
  void SetUseSkinFont(bool on);
  int DefaultWidth() const { return m_defaultWidth; }
  void SetDefaultWidth(int w);
  int DefaultHeight() const { return m_defaultHeight; }
  void SetDefaultHeight(int h);
  bool ButtonMode() const { return m_buttonMode; }
  void SetButtonMode(bool on);

  TNotifyEvent OnButtonClick;

  void BeginSkinChange() override;
  void ApplySkin() override;
  // Looks the record up again (by name in the skin data); -1 without one.
  int ReadSkinRecord();
  // The record's position among the skin's records; -1 without an edit record.
  int SkinIndex() const { return m_hasFields ? m_link.Index() : -1; }
  const SkinEditFields* Fields() const { return m_hasFields ? &m_fields : nullptr; }

  // Run-time state.
  bool MouseInside() const { return m_mouseInside; }
  bool ButtonHot() const { return m_buttonHot; }
  bool ButtonPressed() const { return m_buttonPressed; }
  // Window coordinates, for the current size.
  Rect TextArea();
  Rect ButtonRect();
  // The whole control as the frame paint composes it (the text area not yet excluded).
  Bitmap FrameImage();

  void SetBounds(int left, int top, int width, int height) override;
  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

  // The private hit-test code of the button (a non-client area of its own).
  static constexpr int kHitButton = 19;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandleDone() override;
  void FontChanged() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void Notification(TComponent* component, TOperation operation) override;
  void DrawTextBackground(DC& dc, const Rect& client) override;
  Color TransparentTextColor() const override;
  const TskSkinData* MenuTexts() const override;
  TskSkinData* MenuSkin() const override { return SkinData(); }

 private:
  bool Designing() const { return HasState(csDesigning); }
  bool ActiveLook() const { return m_mouseInside || Focused(); }
  EditInsets Insets(int width, int height);
  int ComputedHeight();
  Color StateColor();
  void ApplyStateColor();
  void DefaultFontChanged();
  void FrameChanged();
  void RedrawFrame();
  void PaintFrame();
  void SetButtonHot(bool on);
  void ReleaseButton();
  bool OverButton(Point screen);
  void SendMargins();

  SkinRecordLink m_link{*this};
  SkinEditFields m_fields;
  bool m_hasFields = false;
  std::unique_ptr<TFont> m_defaultFont;
  bool m_useSkinFont = true;
  int m_defaultWidth = 0;
  int m_defaultHeight = 0;
  bool m_buttonMode = false;
  bool m_mouseInside = false;
  bool m_buttonHot = false;
  bool m_buttonPressed = false;
  FontSpec m_sentFont;
  bool m_fontSent = false;
};

// A skinned memo ("memo"), optionally beside a skinned vertical scroll bar.
class TskSkinMemo : public TCustomMemo, public TskSkinChangeable {
 public:
  explicit TskSkinMemo(TComponent* owner);
  ~TskSkinMemo() override;

  TskSkinData* SkinData() const override { return m_link.Data(); }
  void SetSkinData(TskSkinData* data);
  const std::string& SkinDataName() const { return m_link.Name(); }
  void SetSkinDataName(std::string_view name) { m_link.SetName(name); }

  TFont& DefaultFont() { return *m_defaultFont; }
  const TFont& DefaultFont() const { return *m_defaultFont; }
  void SetDefaultFont(const TFont& font) { m_defaultFont->Assign(&font); }
  bool UseSkinFont() const { return m_useSkinFont; }
  void SetUseSkinFont(bool on);
  // The text area shows the record's client texture instead of a colour.
  bool BitMapBG() const { return m_bitmapBG; }
  void SetBitMapBG(bool on);
  TskSkinScrollBar* VScrollBar() const { return m_vScrollBar; }
  void SetVScrollBar(TskSkinScrollBar* bar);
  // Brings the scroll bar in line with the memo's lines and scrolling.
  void UpdateScrollBar();

  void BeginSkinChange() override;
  void ApplySkin() override;
  int ReadSkinRecord();
  // The record's position among the skin's records; -1 without a memo record.
  int SkinIndex() const { return m_hasFields ? m_link.Index() : -1; }
  const SkinEditFields* Fields() const { return m_hasFields ? &m_fields : nullptr; }

  bool MouseInside() const { return m_mouseInside; }
  TskSkinPopupMenu* SysPopupMenu() const { return m_menu.Menu(); }
  Rect TextArea();
  Bitmap FrameImage();

  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandleDone() override;
  void FontChanged() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool Designing() const { return HasState(csDesigning); }
  bool ActiveLook() const { return m_mouseInside || Focused(); }
  EditInsets Insets(int width, int height);
  Color StateColor();
  void ApplyStateColors();
  void DefaultFontChanged();
  void FrameChanged();
  void RedrawFrame();
  void PaintFrame();
  void DrawBitmapBackground(DC& dc, const Rect& client);
  void ScrollBarMoved();
  void ShowContextMenu(LPARAM screenPoint);

  SkinRecordLink m_link{*this};
  SkinEditFields m_fields;
  bool m_hasFields = false;
  std::unique_ptr<TFont> m_defaultFont;
  bool m_useSkinFont = true;
  bool m_bitmapBG = false;
  TskSkinScrollBar* m_vScrollBar = nullptr;
  bool m_mouseInside = false;
  bool m_mouseButtonHeld = false;
  FontSpec m_sentFont;
  bool m_fontSent = false;
  TskEditContextMenu m_menu;
};
