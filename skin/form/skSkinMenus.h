// TskSkinMenu, the controller of a skinned menu (the chain of open levels, the submenu wait,
// the menu mode with its application-wide key hook), and TskSkinPopupMenu, a popup menu
// component that opens itself through the controller of its form.
#pragma once

#include <memory>
#include <vector>

#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/win/WindowSystem.h"
#include "skin/data/skSkinData.h"
#include "skin/form/skPopupWindow.h"
#include "toolkit/Menus.h"

class TControl;
class TCustomForm;
class TskSkinData;

// Frame messages. SKINMSG_CLOSEMENUS is told to the form and to the control that opened a
// menu when it closes (wParam 0); SKINMSG_MENUCOMMAND to the done control after a command
// of a skinned menu ran.
inline constexpr unsigned SKINMSG_CLOSEMENUS = 0x400 + 204;
inline constexpr unsigned SKINMSG_MENUCOMMAND = 0x400 + 205;
inline constexpr unsigned SKINMSG_MDICHILDSIZE = 0x400 + 206;
inline constexpr unsigned SKINMSG_MDICHILDMAXIMIZED = 0x400 + 207;
inline constexpr unsigned SKINMSG_MDICHILDRESTORED = 0x400 + 208;

class TskSkinMenu : public TComponent, public TskSkinChangeable {
 public:
  // `form` is the form whose monitor gives the work area and which is told when the menu
  // closes (may be null).
  explicit TskSkinMenu(TComponent* owner, TCustomForm* form = nullptr);
  ~TskSkinMenu() override;

  // The first controller made for `form` that still exists, or null.
  static TskSkinMenu* ForForm(const TCustomForm* form);

  TCustomForm* Form() const { return m_form; }
  void SetForm(TCustomForm* form);

  // Settings the frame component writes through.
  int DefItemHeight() const { return m_defItemHeight; }
  void SetDefItemHeight(int height) {
    if (height > 0) m_defItemHeight = height;
  }
  const FontSpec& DefItemFont() const { return m_defItemFont; }
  void SetDefItemFont(const FontSpec& font) { m_defItemFont = font; }
  int MaxMenuItemsInWindow() const { return m_maxItems; }
  void SetMaxMenuItemsInWindow(int count) {
    if (count >= 0) m_maxItems = count;
  }
  bool UseSkinFont() const { return m_useSkinFont; }
  void SetUseSkinFont(bool on) { m_useSkinFont = on; }
  bool AlphaBlend() const { return m_alphaBlend; }
  void SetAlphaBlend(bool on) { m_alphaBlend = on; }
  bool AlphaBlendAnimation() const { return m_alphaBlendAnimation; }
  void SetAlphaBlendAnimation(bool on) { m_alphaBlendAnimation = on; }
  int AlphaBlendValue() const { return m_alphaBlendValue; }
  void SetAlphaBlendValue(int value);
  // The skin a popup menu on the form uses when it has none of its own (the frame sets
  // its MenusSkinData, else its SkinData).
  TskSkinData* MenusSkinData() const { return m_menusSkinData; }
  void SetMenusSkinData(TskSkinData* data);

  // Opens the sub-items of `item` from `startIndex` as the first level, against `anchor`
  // (screen coordinates), after closing any open chain. Enters menu mode; ends it again
  // when there is nothing to show.
  void Popup(TControl* popupControl, TskSkinData* data, bool popupUp, TMenuItem* item,
             const Rect& anchor, int startIndex = 0);
  // Destroys the levels from the last down to `level`; level 0 closes the menu.
  void CloseFromLevel(int level);
  // Closes the whole menu and tells the form and the control that opened it.
  void Hide();

  bool Visible() const { return m_visible; }
  int PopupCount() const { return static_cast<int>(m_popups.size()); }
  TskSkinPopupWindow* Popups(int index) const { return m_popups.at(static_cast<std::size_t>(index)).get(); }
  int IndexOfPopup(const TskSkinPopupWindow* popup) const;
  // The skin of the open menu (null when closed).
  TskSkinData* SkinData() const override { return m_skinData; }
  // The open levels draw from the skin that changes: they close.
  void BeginSkinChange() override;
  void ApplySkin() override {}
  const Rect& WorkArea() const { return m_workArea; }
  bool First() const { return m_first; }
  TControl* PopupControl() const { return m_popupControl; }
  TControl* DoneControl() const { return m_doneControl; }
  TskSkinMenuItem* WaitItem() const { return m_waitItem; }

  // Menu mode: while it lasts, key-downs of the whole application go to the last open
  // level and are consumed, wheel messages are consumed, and a press outside the levels
  // closes the menu.
  void EnterMenuMode();
  void EndMenuMode();
  bool InMenuMode() const { return m_hook != 0; }
  TNotifyEvent OnMenuOpen;
  TNotifyEvent OnMenuClose;

  // The controller's step for an item of `popup` (Algorithms 8).
  void ItemStep(TskSkinPopupWindow* popup, TskSkinMenuItem* item, bool keyboard, bool execute);
  void StopWaitTimer();
  void WaitTimerFired();
  // Whether the window that was active when the menu opened has lost the activation (to
  // another program, say), which ends the menu as a press outside does.
  bool LostActivation() const;
  // A level is going away: forget what points into it.
  void PopupGone(TskSkinPopupWindow* popup);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool HookMessage(MSG& msg);
  bool IsMenuWindow(HWND hwnd) const;
  void OpenLevel(TMenuItem* item, int startIndex, TskPopupKind kind, const Rect& anchor);
  void Tell(TControl* control, unsigned message);
  void SetPopupControl(TControl* control);
  void SetDoneControl(TControl* control);

  TCustomForm* m_form = nullptr;
  std::vector<std::unique_ptr<TskSkinPopupWindow>> m_popups;
  TskSkinMenuItem* m_waitItem = nullptr;
  TskSkinPopupWindow* m_waitPopup = nullptr;
  bool m_visible = false;
  bool m_first = false;
  TControl* m_popupControl = nullptr;
  TControl* m_doneControl = nullptr;
  Rect m_workArea;
  TskSkinData* m_skinData = nullptr;
  TskSkinData* m_menusSkinData = nullptr;
  int m_defItemHeight = 20;
  FontSpec m_defItemFont{"\xE5\xAE\x8B\xE4\xBD\x93", 14};
  int m_maxItems = 0;
  bool m_useSkinFont = true;
  bool m_alphaBlend = false;
  bool m_alphaBlendAnimation = false;
  int m_alphaBlendValue = 150;
  HHOOK m_hook = 0;
  HWND m_activeAtOpen = nullptr;
};

// A popup menu drawn from a skin. It opens through the menu controller of its form (or of
// its owner's form); without one it uses a controller of its own when it has a skin, and
// the platform's plain popup menu when it has none.
class TskSkinPopupMenu : public TPopupMenu {
 public:
  explicit TskSkinPopupMenu(TComponent* owner);
  ~TskSkinPopupMenu() override;

  TskSkinData* SkinData() const { return m_skinData; }
  void SetSkinData(TskSkinData* data);

  void Popup(int x, int y) override;
  // Opens at a rectangle (a button that drops the menu down, or up with `popupUp`).
  void PopupFromRect(const Rect& r, bool popupUp);
  // Opens at a point for `control`, which is told when the menu closes.
  void Popup2(TControl* control, int x, int y);

  // The controller the menu opens through now, or null (the plain popup).
  TskSkinMenu* MenuController();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Show(TControl* control, const Rect& r, bool popupUp);

  TskSkinData* m_skinData = nullptr;
  TskSkinMenu* m_ownMenu = nullptr;  // owned as a component
};
