// TskTrayIcon: the application's icon in the desktop's notification area, animated from an
// image list, reporting clicks on it, opening a skinned popup menu from it and hiding the
// main form while the application lives in the tray.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/gfx/Geometry.h"
#include "platform/sys/Tray.h"
#include "platform/win/WinTypes.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"

class TCustomForm;
class TIcon;
class TImageList;
class TPopupMenu;
class TTimer;

using TskCycleEvent = std::function<void(TObject* sender, int nextIndex)>;

// The tool tip shows at most this many characters of the hint.
inline constexpr std::size_t kTrayHintMax = 127;

// Makes TskTrayIcon known to stored forms (the skin's other classes register elsewhere).
void RegisterTrayIconClass();

class TskTrayIcon : public TComponent {
 public:
  explicit TskTrayIcon(TComponent* owner);
  ~TskTrayIcon() override;

  // Published properties.
  const TIcon& Icon() const { return *m_icon; }
  void SetIcon(const TIcon& icon);
  bool IconVisible() const { return m_iconVisible; }
  void SetIconVisible(bool on);
  TImageList* IconList() const { return m_iconList; }
  void SetIconList(TImageList* list);
  int IconIndex() const { return m_iconIndex; }
  void SetIconIndex(int index);
  bool CycleIcons() const { return m_cycleIcons; }
  void SetCycleIcons(bool on);
  unsigned AnimateTimerInterval() const { return m_animateInterval; }
  void SetAnimateTimerInterval(unsigned ms);
  const std::string& Hint() const { return m_hint; }
  void SetHint(std::string_view hint);
  bool ShowHint() const { return m_showHint; }
  void SetShowHint(bool on);
  bool Enabled() const { return m_enabled; }
  void SetEnabled(bool on) { m_enabled = on; }
  // Opened at the pointer by a right click (and by a left press with PopupByLeftButton);
  // a skinned popup menu opens through the skinned menu of its form.
  TPopupMenu* PopupMenu() const { return m_popupMenu; }
  void SetPopupMenu(TPopupMenu* menu);
  bool PopupByLeftButton() const { return m_popupByLeftButton; }
  void SetPopupByLeftButton(bool on) { m_popupByLeftButton = on; }
  bool MinimizedOnStart() const { return m_minimizedOnStart; }
  void SetMinimizedOnStart(bool on) { m_minimizedOnStart = on; }
  // While set, minimizing the main form hides it into the tray.
  bool MinimizeToTray() const { return m_minimizeToTray; }
  void SetMinimizeToTray(bool on) { m_minimizeToTray = on; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TskCycleEvent OnCycle;

  void ShowIcon() { SetIconVisible(true); }
  void HideIcon() { SetIconVisible(false); }
  // The tool tip as the tray shows it: the hint's first characters, or nothing without
  // ShowHint.
  std::string TipText() const;

  // Into the tray: the main form is hidden and the icon shown. Back: the main form shows
  // again, restored when it was minimized.
  void HideMainForm();
  void ShowMainForm();

  // What the panel asks of the icon (the bus item's calls come here); a point of (0, 0)
  // means "not known" and the pointer's position is read instead. The panel sends one
  // activation per click: a second one within the double-click time is a double click.
  void Activate(Point screen);
  void SecondaryActivate(Point screen);
  void ContextMenu(Point screen);
  // One mouse message of the tray (WM_MOUSEMOVE, WM_LBUTTONDOWN, ... WM_MBUTTONUP).
  void TrayMessage(UINT msg, Point screen);
  // The click timer ran out (the double-click time after a left press).
  void ClickTimerExpired();
  // One step of the animation.
  void CycleTick();

  // The bus item behind the icon (its picture, tool tip and connection).
  TrayItem& Item() { return *m_item; }
  const TrayItem& Item() const { return *m_item; }
  bool ClickTimerRunning() const;
  bool AnimationRunning() const;

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

 private:
  void UpdateItem();
  void UpdateIconFromList();
  void Popup(Point screen);
  void ClickDefaultItem();
  Point Where(Point screen) const;
  TCustomForm* OwnerForm() const;
  TCustomForm* MainForm() const;
  void HookMainForm();
  void UnhookMainForm();
  void PumpBus();

  std::unique_ptr<TIcon> m_icon;
  std::unique_ptr<TrayItem> m_item;
  bool m_iconVisible = true;
  TImageList* m_iconList = nullptr;
  int m_iconIndex = 0;
  bool m_cycleIcons = false;
  unsigned m_animateInterval = 1000;
  std::string m_hint;
  bool m_showHint = true;
  bool m_enabled = true;
  TPopupMenu* m_popupMenu = nullptr;
  bool m_popupByLeftButton = false;
  bool m_minimizedOnStart = false;
  bool m_minimizeToTray = true;

  TTimer* m_clickTimer = nullptr;    // owned as components
  TTimer* m_animateTimer = nullptr;
  TTimer* m_busTimer = nullptr;
  bool m_clickStart = false;
  bool m_clickReady = false;
  bool m_dblClick = false;
  TCustomForm* m_hooked = nullptr;
  TControl::TWndMethod m_oldProc;
};
