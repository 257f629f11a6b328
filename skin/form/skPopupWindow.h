// TskSkinPopupWindow and TskSkinMenuItem: one level of a skinned menu, a borderless window
// shaped and drawn from the skin's popup record with its items from the "menuitem" record
// (or a plain default look), tracking the mouse, morphing and scrolling on timers.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Region.h"
#include "skin/data/skSkinRecords.h"
#include "toolkit/Controls.h"

class DC;
class TImageList;
class TMenuItem;
class TskSkinData;
class TskSkinMenu;
class TskSkinPopupWindow;

// How a level is placed against its anchor rectangle.
enum class TskPopupKind { DropDown, PopupUp, SubMenu };

// Height of the scroll marker bands and the scroll and tracking intervals.
inline constexpr int skScrollBandHeight = 10;
inline constexpr unsigned skMenuMouseInterval = 50;
inline constexpr unsigned skMenuMorphInterval = 20;
inline constexpr unsigned skMenuScrollInterval = 100;
inline constexpr unsigned skMenuWaitInterval = 500;

// The screen position of a popup of `size` against the anchor `anchor` inside the work
// area; `itemsTop` is the top of the items rectangle inside the popup (a submenu's first
// item lines up with its parent item). `overlapping` tells whether the popup had to cover
// the anchor, which sends it beside the anchor.
Point PlaceSkinPopup(TskPopupKind kind, const Rect& anchor, const Rect& workArea, Size size,
                     int itemsTop, bool scroll, bool limited, bool* overlapping = nullptr);

// The work area of the monitor nearest to `window` (the monitor of `fallback` without a
// window), else the desktop work area, else the screen.
Rect SkinMenuWorkArea(HWND window, Point fallback);

// One visible menu item of an open level.
class TskSkinMenuItem {
 public:
  TskSkinMenuItem(TMenuItem* item, const TskDataSkinMenuItem* record, const Bitmap* picture);

  // Null once the menu item was destroyed while the level was open.
  TMenuItem* MenuItem() const { return m_item; }
  bool IsSeparator() const;
  bool Enabled() const;
  bool HasSubItems() const;
  // Enabled and not a separator: the items the keyboard and the mouse can select.
  bool Selectable() const { return Enabled() && !IsSeparator(); }

  const Rect& ItemRect() const { return m_rect; }
  bool Active() const { return m_active; }
  bool Down() const { return m_down; }
  bool Visible() const { return m_visible; }
  bool Wait() const { return m_wait; }
  double MorphFactor() const { return m_morphFactor; }

 private:
  friend class TskSkinPopupWindow;
  friend class TskSkinMenu;
  TMenuItem* m_item;
  const TskDataSkinMenuItem* m_record;
  const Bitmap* m_picture;  // the record's active picture, or null
  double m_morphFactor = 0;
  Rect m_rect;
  bool m_active = false;
  bool m_down = false;
  bool m_visible = false;
  bool m_wait = false;
};

class TskSkinPopupWindow : public TCustomControl {
 public:
  explicit TskSkinPopupWindow(TskSkinMenu* menu);
  ~TskSkinPopupWindow() override;

  // Builds the level from the visible sub-items of `parent` from `startIndex`, places it
  // against `anchor` (screen coordinates) and shows it without activating it.
  void Open(TMenuItem* parent, int startIndex, TskSkinData* data, TskPopupKind kind,
            const Rect& anchor, bool first);

  TskSkinMenu* ParentMenu() const { return m_menu; }
  TMenuItem* ParentItem() const { return m_parentItem; }
  int ItemCount() const { return static_cast<int>(m_items.size()); }
  TskSkinMenuItem* Items(int index) const { return m_items.at(static_cast<std::size_t>(index)).get(); }
  int IndexOfItem(const TskSkinMenuItem* item) const;
  int ActiveItem() const { return m_activeItem; }
  int VisibleStart() const { return m_visibleStart; }
  int VisibleCount() const { return m_visibleCount; }
  bool Scroll() const { return m_scroll; }
  bool Limited() const { return m_limited; }
  int ScrollCode() const { return m_scrollCode; }
  int GlyphWidth() const { return m_glyphWidth; }
  // Whether the window and the items are drawn from the skin.
  bool SkinnedWindow() const { return m_popupRecord != nullptr; }
  bool SkinnedItems() const { return m_itemRecord != nullptr; }
  // The items rectangle for the popup's size (NIR) and the scroll marker bands.
  const Rect& ItemsArea() const { return m_itemsArea; }
  Rect TopMarkerRect() const;
  Rect BottomMarkerRect() const;
  Point ShowPosition() const { return m_showPos; }
  const std::optional<Region>& WindowRegion() const { return m_region; }

  // The whole image as the window paints it.
  Bitmap RenderImage();

  // Menu behaviour: a key of the menu's keyboard hook, one poll of the mouse, the hover
  // step at a client point, and a left-button release at a client point.
  void MenuKeyDown(int virtualKey);
  void TrackMouse();
  void HoverAt(Point client);
  void MouseUpAt(Point client);
  void ScrollStep();
  void MorphStep();

  // Item states (Algorithms 8).
  void SetActiveByKeyboard(int index);
  void EnterItem(int index, bool keyboard);
  void LeaveItem(int index);
  void ClickItem(int index);
  void RedrawItem(int index);
  // Sets every down item but `except` up.
  void ReleaseDownItems(int except);

  // The menu's submenu wait timer runs on the level that holds the wait item.
  void StartWaitTimer();
  void StopWaitTimer();

 protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Build(TMenuItem* parent, int startIndex);
  void LayoutItems();
  void StartScroll(int code);
  void StopScroll();
  void RequestTimer(UINT_PTR id, unsigned interval);
  void StopTimer(UINT_PTR id);
  void EnsureVisible(int index);
  int NextSelectable(int from, int direction) const;
  bool TryAccelerator(int virtualKey);
  int ItemHeight(const TskSkinMenuItem& item) const;
  void DrawWindowImage(Bitmap& image) const;
  void DrawScrollMarkers(Bitmap& image) const;
  void DrawItem(const TskSkinMenuItem& item, Bitmap& image) const;
  void DrawDefaultItem(const TskSkinMenuItem& item, Bitmap& target) const;
  void DrawSkinItem(const TskSkinMenuItem& item, Bitmap& target) const;
  void DrawItemGlyph(DC& dc, const TskSkinMenuItem& item, int x, int middle, Color color,
                     bool defaultLook) const;
  std::string ItemText(const TskSkinMenuItem& item) const;
  std::string ShortCutText(const TskSkinMenuItem& item) const;

  TskSkinMenu* m_menu;
  TMenuItem* m_parentItem = nullptr;
  TskSkinData* m_skinData = nullptr;
  const TskDataSkinPopupWindow* m_popupRecord = nullptr;
  const Bitmap* m_windowPicture = nullptr;
  const Bitmap* m_maskPicture = nullptr;
  const TskDataSkinMenuItem* m_itemRecord = nullptr;
  const Bitmap* m_itemPicture = nullptr;
  TImageList* m_images = nullptr;
  ::Font m_itemFont;
  std::vector<std::unique_ptr<TskSkinMenuItem>> m_items;
  int m_glyphWidth = 19;
  int m_activeItem = -1;
  int m_oldActiveItem = -1;
  int m_visibleStart = 0;
  int m_visibleCount = 0;
  bool m_scroll = false;
  bool m_limited = false;
  int m_scrollCode = 0;
  Rect m_itemsArea;
  std::optional<Region> m_region;
  Size m_size;
  Point m_showPos;
  Point m_lastCursor;
  bool m_morphTimerOn = false;
};
