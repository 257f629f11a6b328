// TskSkinForm: the frame component that takes over a form's window procedure and draws the
// whole non-client area from a skin, with hit testing, window states, roll-up, snapping,
// size limits, alpha fading and the frame objects.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Region.h"
#include "platform/win/WinTypes.h"
#include "skin/data/skSkinData.h"
#include "skin/form/skFrameGeometry.h"
#include "skin/form/skSkinMenus.h"
#include "skin/form/skSkinObjects.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

class DC;
class TPopupMenu;
class TskSkinHint;
class TskSkinPopupMenu;
class TskTrayIcon;

using TskBorderIcons = std::uint32_t;
inline constexpr TskBorderIcons biSkinSystemMenu = 1;
inline constexpr TskBorderIcons biSkinMinimize = 2;
inline constexpr TskBorderIcons biSkinMaximize = 4;
inline constexpr TskBorderIcons biSkinRollUp = 8;
inline constexpr TskBorderIcons biSkinMinimizeToTray = 16;


// A caption font of the default frame.
struct TskCaptionFont {
  FontSpec spec;
  Color color = clBtnText;
};

// The actions of the system menu, and one entry as it is shown.
enum class TskSysMenuAction { Minimize, Maximize, Restore, RollUp, MinimizeToTray, Separator, Close };
struct TskSysMenuEntry {
  TskSysMenuAction action;
  std::string caption;
  std::string shortcut;
};

using TskActivateObjectEvent = std::function<void(std::string_view idName, bool& objectVisible)>;

class TskSkinForm : public TComponent,
                    public TFormWindowListener,
                    public TskSkinObjectHost,
                    public TskObjectEvents {
 public:
  // The owner must be a form (nullptr-safe: without one the component stays inert).
  explicit TskSkinForm(TComponent* owner);
  ~TskSkinForm() override;

  // The first TskSkinForm among a form's components, or nullptr.
  static TskSkinForm* Find(const TCustomForm* form);

  TCustomForm* Form() const override { return m_form; }
  HWND Hooked() const { return m_hwnd; }
  // Takes over the form's current window if it is not hooked yet. Every window the form
  // gets is taken over (FormWindowCreated), so the frame outlives a recreated window.
  void HookWindow();
  void FormWindowCreated() override { HookWindow(); }

  TskSkinData* SkinData() const { return m_skinData; }
  // Links the skin data (asking for its removal notice) and rebuilds the frame from it.
  void SetSkinData(TskSkinData* data);
  // Skin support: a skin data object is set and not empty.
  bool SkinLoaded() const { return m_skinSupport; }

  // Published properties.
  TskBorderIcons BorderIcons() const { return m_borderIcons; }
  void SetBorderIcons(TskBorderIcons icons);
  bool HideCaptionButtons() const { return m_hideCaptionButtons; }
  void SetHideCaptionButtons(bool on);
  bool ShowIcon() const override { return m_showIcon; }
  void SetShowIcon(bool on);
  bool ShowObjectHint() const { return m_showObjectHint; }
  void SetShowObjectHint(bool on);
  bool UseDefaultObjectHint() const { return m_useDefaultObjectHint; }
  void SetUseDefaultObjectHint(bool on);
  // The hint component that shows the objects' hints (not owned).
  TskSkinHint* SkinHint() const { return m_skinHint; }
  void SetSkinHint(TskSkinHint* hint);
  bool AlwaysMinimizeToTray() const override { return m_alwaysMinimizeToTray; }
  void SetAlwaysMinimizeToTray(bool on) { m_alwaysMinimizeToTray = on; }
  // The icon the window goes to when minimized to the tray (not owned). Assigning it hides
  // the icon unless AlwaysShowInTray, gives it the frame's tray menu (Restore, Close) when
  // it has no menu, and makes its double click bring the window back when it has none.
  TskTrayIcon* TrayIcon() const { return m_trayIcon; }
  void SetTrayIcon(TskTrayIcon* icon);
  bool AlwaysShowInTray() const { return m_alwaysShowInTray; }
  void SetAlwaysShowInTray(bool on) { m_alwaysShowInTray = on; }
  // The menu the frame gives a tray icon without one (null until an icon needed it).
  TskSkinPopupMenu* TrayMenu() const { return m_trayMenu; }
  bool Magnetic() const { return m_magnetic; }
  void SetMagnetic(bool on) { m_magnetic = on; }
  int MagneticSize() const { return m_magneticSize; }
  void SetMagneticSize(int size) { m_magneticSize = std::clamp(size, 0, 255); }
  bool MaximizeOnFullScreen() const { return m_maximizeOnFullScreen; }
  void SetMaximizeOnFullScreen(bool on) { m_maximizeOnFullScreen = on; }
  bool AlphaBlend() const { return m_alphaBlend; }
  void SetAlphaBlend(bool on);
  int AlphaBlendValue() const { return m_alphaBlendValue; }
  void SetAlphaBlendValue(int value);
  bool AlphaBlendAnimation() const { return m_alphaBlendAnimation; }
  void SetAlphaBlendAnimation(bool on) { m_alphaBlendAnimation = on; }
  bool UseFormCursorInNCArea() const { return m_useFormCursorInNCArea; }
  void SetUseFormCursorInNCArea(bool on) { m_useFormCursorInNCArea = on; }
  bool UseDefaultSysMenu() const { return m_useDefaultSysMenu; }
  void SetUseDefaultSysMenu(bool on) { m_useDefaultSysMenu = on; }
  // A menu of the application's shown as the system menu (not owned); with
  // UseDefaultSysMenu the window commands are merged into it each time it opens.
  TPopupMenu* SystemMenu() const { return m_systemMenu; }
  void SetSystemMenu(TPopupMenu* menu);

  // The skinned menus: every menu the frame opens goes through this controller; these
  // properties write through to it.
  TskSkinMenu* SkinMenu() const { return m_skinMenu; }
  TskSkinData* MenusSkinData() const { return m_menusSkinData; }
  void SetMenusSkinData(TskSkinData* data);
  // The skin menus are drawn from: MenusSkinData, else SkinData.
  TskSkinData* MenuSkin() const { return m_menusSkinData ? m_menusSkinData : m_skinData; }
  int MaxMenuItemsInWindow() const { return m_skinMenu->MaxMenuItemsInWindow(); }
  void SetMaxMenuItemsInWindow(int count) { m_skinMenu->SetMaxMenuItemsInWindow(count); }
  bool UseSkinFontInMenu() const { return m_skinMenu->UseSkinFont(); }
  void SetUseSkinFontInMenu(bool on) { m_skinMenu->SetUseSkinFont(on); }
  bool MenusAlphaBlend() const { return m_skinMenu->AlphaBlend(); }
  void SetMenusAlphaBlend(bool on) { m_skinMenu->SetAlphaBlend(on); }
  bool MenusAlphaBlendAnimation() const { return m_skinMenu->AlphaBlendAnimation(); }
  void SetMenusAlphaBlendAnimation(bool on) { m_skinMenu->SetAlphaBlendAnimation(on); }
  int MenusAlphaBlendValue() const { return m_menusAlphaBlendValue; }
  void SetMenusAlphaBlendValue(int value);
  int DefMenuItemHeight() const { return m_skinMenu->DefItemHeight(); }
  void SetDefMenuItemHeight(int height) { m_skinMenu->SetDefItemHeight(height); }
  // The menu-item font without a skin; a change is passed on to the menus.
  TFont& DefMenuItemFont() { return m_defMenuItemFont; }
  int MinWidth() const { return m_minWidth; }
  void SetMinWidth(int v) { m_minWidth = v; }
  int MinHeight() const { return m_minHeight; }
  void SetMinHeight(int v) { m_minHeight = v; }
  int MaxWidth() const { return m_maxWidth; }
  void SetMaxWidth(int v) { m_maxWidth = v; }
  int MaxHeight() const { return m_maxHeight; }
  void SetMaxHeight(int v) { m_maxHeight = v; }
  int ClientWidth() const { return m_clientWidth; }
  void SetClientWidth(int v) { m_clientWidth = v; }
  int ClientHeight() const { return m_clientHeight; }
  void SetClientHeight(int v) { m_clientHeight = v; }
  const Bitmap& LogoBitMap() const { return m_logo; }
  void SetLogoBitMap(Bitmap logo) { m_logo = std::move(logo); }
  bool LogoBitMapTransparent() const { return m_logoTransparent; }
  void SetLogoBitMapTransparent(bool on) { m_logoTransparent = on; }
  TskCaptionFont& DefCaptionFont() { return m_defCaptionFont; }
  TskCaptionFont& DefInActiveCaptionFont() { return m_defInActiveCaptionFont; }

  // Events (those of the objects come from TskObjectEvents).
  const TskObjectEvents& ObjectEvents() const override { return *this; }
  TskActivateObjectEvent OnActivateCustomObject;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeActivate;
  TNotifyEvent OnChangeRollUpState;
  TNotifyEvent OnChangeSkinData;
  TNotifyEvent OnMinimizeToTray;
  TNotifyEvent OnRestoreFromTray;
  TNotifyEvent OnSkinMenuOpen;
  TNotifyEvent OnSkinMenuClose;

  // State.
  TskWindowState WindowState() const override { return m_windowState; }
  bool RollUpState() const override { return m_rollUpState; }
  bool IsFormActive() const override;
  void ChangeWindowState(TskWindowState state) override;
  void SetRollUpState(bool on) override;
  // Into the tray and back; both do nothing without a TrayIcon.
  void HideToTray() override;
  void ShowFromTray();

  // Geometry and limits (Algorithms of the frame), for tests and the other parts.
  const FrameGeometry& Geometry() const { return m_geometry; }
  void CalcFrameGeometry();
  int GetMinWidth() const;
  int GetMinHeight() const;
  int GetMaxWidth() const;
  int GetMaxHeight() const;
  int DefaultCaptionHeight() const;
  int DefaultButtonSize() const;
  const Rect& DefaultCaptionRect() const { return m_defaultCaptionRect; }
  // The hit-test code of a point in window coordinates.
  int HitTest(Point p);
  bool MaskContainsPoint(Point p) const { return FrameMaskContains(m_maskStrips, m_geometry, p); }
  // The region given to the window, or none.
  const std::optional<Region>& WindowRegion() const { return m_region; }
  void ApplyFrameSize();
  void UpdateWindowRegion();
  void PlaceObjects();

  // Painting of the non-client area and the client background.
  void PaintSkinFrame(DC& dc);
  void PaintDefaultFrame(DC& dc);
  void PaintClientBackground(DC& dc);
  // Draws the frame on the window now.
  void RepaintNC();

  // Objects.
  int ObjectCount() const { return static_cast<int>(m_objects.size()); }
  TskActiveSkinObject* Objects(int i) const { return m_objects.at(static_cast<std::size_t>(i)).get(); }
  TskActiveSkinObject* FindObject(std::string_view idName) const;
  int ActiveObject() const { return m_activeObject; }
  int CaptureObject() const { return m_captureObject; }
  void TrackActiveObject(int x, int y, bool track);
  void ApplyBorderIcons();
  void AssignDefaultHints();
  // A changed object is drawn now, or by the morph timer when it morphs.
  void RequestObjectRedraw(TskActiveSkinObject* object) override;
  void DrawObjectNow(TskActiveSkinObject* object) override;
  void StartAnimation() override;

  // The system menu's entries for the current state, the menu made from them (or merged
  // into SystemMenu), and showing it at a screen point through the skinned menu.
  std::vector<TskSysMenuEntry> SystemMenuEntries() const;
  void RunSysMenuAction(TskSysMenuAction action);
  TMenuItem* SystemMenuItem() override;
  void ShowSystemMenu(Point screen);
  // Opens the system menu below the system-menu object (the keyboard's way to it).
  void ShowSystemMenuFromKeyboard();
  void DropDownMenu(TMenuItem* item, const Rect& objectRect, bool popupUp) override;
  bool SkinMenuVisible() const override { return m_skinMenu->Visible(); }
  bool InMenu() const { return m_inMenu; }
  void CloseForm() override;
  // The form's caption text as the frame shows it.
  std::string CaptionText() const override;

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

 private:
  static constexpr UINT_PTR kAlphaTimer = 1;
  static constexpr UINT_PTR kTrackTimer = 0x5F01;
  static constexpr UINT_PTR kMorphTimer = 0x5F02;
  static constexpr UINT_PTR kAnimationTimer = 0x5F03;

  LRESULT FrameWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT FrameMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // Whether an object is one of the current ones (not retired by a change during a menu).
  bool IsLive(const TskActiveSkinObject* object) const;
  // What closes open menus (and the object hint): moving, sizing, presses, focus loss.
  void MenuClosingCheck();
  void MenuModeEntered();
  void MenuModeEnded();
  void ShowObjectHintFor(TskActiveSkinObject* object);
  void HideObjectHint();
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);
  void HandleNcMouse(UINT msg, WPARAM wp, LPARAM lp);
  void Press(TMouseButton button, Point p);
  void Release(TMouseButton button, Point p);
  void CaptionDblClick();
  void SkinChanged();
  void BeforeSkinChange();
  void MakeObjects();
  void MakeDefaultObjects();
  void FreeObjects();
  void ResetObjects();
  void ApplyActiveState(bool repaint);
  void StartTimer(UINT_PTR id);
  void StopTimer(UINT_PTR id);
  void StopTimers();
  void TrackTimer();
  void MorphTimer();
  void AnimationTimer();
  void AlphaTimer();
  void SetWindowAlpha(int alpha);
  void SetLayered(bool on);
  void NudgeWidth();
  void RemoveRegion();
  Point ToWindow(LPARAM screenPoint) const;
  bool FormHasBorder() const;
  bool Sizeable() const;
  Rect MonitorArea(bool whole) const;
  void SetFormBounds(const Rect& r);
  std::vector<Rect> CaptionObjectRects() const;
  const Bitmap& SourcePicture() const;

  TCustomForm* m_form = nullptr;
  HWND m_hwnd = nullptr;
  WNDPROC m_oldProc;
  WNDPROC m_ownProc;
  TskSkinData* m_skinData = nullptr;
  bool m_skinSupport = false;

  // Frame state.
  int m_formWidth = 0;
  int m_formHeight = 0;
  FrameGeometry m_geometry;
  Rect m_defaultCaptionRect;
  std::optional<Region> m_region;
  FrameMaskStrips m_maskStrips;

  // Window states.
  TskWindowState m_windowState = TskWindowState::Normal;
  bool m_rollUpState = false;
  bool m_rollUpWhileMaximized = false;
  Rect m_oldBounds;
  bool m_hasOldBounds = false;
  int m_oldHeight = 0;
  bool m_sizeMove = false;  // a loop ran inside the button-down message being handled
  bool m_inLoop = false;    // between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE
  bool m_sizing = false;    // the loop is a size loop
  bool m_fullDrag = true;
  bool m_inChange = false;
  bool m_formActive = false;
  bool m_inMenu = false;
  bool m_layered = false;
  bool m_trackingOn = false, m_morphOn = false, m_animationOn = false;

  std::vector<std::unique_ptr<TskActiveSkinObject>> m_objects;
  std::vector<std::unique_ptr<TskActiveSkinObject>> m_retired;
  int m_dispatchDepth = 0;  // frame messages being handled, nested
  unsigned m_menuRuns = 0;  // menus opened so far
  int m_activeObject = -1;
  int m_oldActiveObject = -1;
  int m_captureObject = -1;
  int m_lastHit = 0;

  // Properties.
  TskBorderIcons m_borderIcons = biSkinSystemMenu | biSkinMinimize | biSkinMaximize | biSkinRollUp;
  bool m_hideCaptionButtons = false;
  bool m_showIcon = false;
  bool m_showObjectHint = false;
  bool m_useDefaultObjectHint = true;
  bool m_alwaysMinimizeToTray = false;
  bool m_magnetic = false;
  int m_magneticSize = 5;
  bool m_maximizeOnFullScreen = false;
  bool m_alphaBlend = false;
  int m_alphaBlendValue = 200;
  bool m_alphaBlendAnimation = false;
  bool m_useFormCursorInNCArea = false;
  bool m_useDefaultSysMenu = true;
  int m_minWidth = 0, m_minHeight = 0, m_maxWidth = 0, m_maxHeight = 0;
  int m_clientWidth = 0, m_clientHeight = 0;
  Bitmap m_logo;
  bool m_logoTransparent = false;
  TskCaptionFont m_defCaptionFont;
  TskCaptionFont m_defInActiveCaptionFont;

  // Menus and hints.
  TskSkinMenu* m_skinMenu = nullptr;  // owned as a component
  TPopupMenu* m_ownSysMenu = nullptr;  // owned as a component: the system menu without SystemMenu
  TPopupMenu* m_systemMenu = nullptr;
  TMenuItem* m_systemMenuRoot = nullptr;  // m_systemMenu's root item
  TskSkinData* m_menusSkinData = nullptr;
  int m_menusAlphaBlendValue = 200;
  TFont m_defMenuItemFont;
  TskSkinHint* m_skinHint = nullptr;

  // The tray.
  TskTrayIcon* m_trayIcon = nullptr;
  TskSkinPopupMenu* m_trayMenu = nullptr;  // owned as a component
  bool m_trayDblClickSet = false;          // the icon's double click is ours
  bool m_alwaysShowInTray = false;
  void BuildTrayMenu();
};
