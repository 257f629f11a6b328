// Menu data: TMenuItem trees with captions, accelerators, shortcuts and states, TMenu and
// TPopupMenu, and the shortcut and hotkey helpers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "toolkit/Classes.h"

class TBitmap;
class TImageList;
class TMenu;

// A key (a virtual key code in the low byte) with modifier bits.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

// Modifier state of a key or mouse event.
using TShiftState = std::uint32_t;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;
constexpr TShiftState ssLeft = 8;
constexpr TShiftState ssRight = 16;
constexpr TShiftState ssMiddle = 32;
constexpr TShiftState ssDouble = 64;

TShortCut ShortCut(int key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, int& key, TShiftState& shift);
// "Ctrl+C", "Shift+Del", "F1"; empty for no shortcut.
std::string ShortCutToText(TShortCut shortCut);
// The inverse, without regard to case; 0 for a text that names no shortcut.
TShortCut TextToShortCut(std::string_view text);

// A caption without its accelerator marks ("&&" stands for "&").
std::string StripHotkey(std::string_view caption);
// The accelerator character of a caption (upper case for letters), or 0.
char GetHotkey(std::string_view caption);
// Whether `key` (a character) is the accelerator of `caption`, without regard to case.
bool IsAccel(char key, std::string_view caption);

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  const std::string& Caption() const { return m_caption; }
  void SetCaption(std::string_view caption);
  // A caption of "-" makes the item a separator line.
  bool IsLine() const { return m_caption == "-"; }
  TShortCut GetShortCut() const { return m_shortCut; }
  void SetShortCut(TShortCut s);
  bool Enabled() const { return m_enabled; }
  void SetEnabled(bool on);
  bool Visible() const { return m_visible; }
  void SetVisible(bool on);
  // Checking a radio item unchecks the other radio items of its group among its siblings.
  bool Checked() const { return m_checked; }
  void SetChecked(bool on);
  bool RadioItem() const { return m_radioItem; }
  void SetRadioItem(bool on);
  int GroupIndex() const { return m_groupIndex; }
  void SetGroupIndex(int index);
  bool AutoCheck() const { return m_autoCheck; }
  void SetAutoCheck(bool on) { m_autoCheck = on; }
  bool Default() const { return m_default; }
  void SetDefault(bool on);
  int ImageIndex() const { return m_imageIndex; }
  void SetImageIndex(int index);
  const std::string& Hint() const { return m_hint; }
  void SetHint(std::string_view hint) { m_hint = hint; }
  // The item's own picture (made on first use).
  TBitmap& Bitmap();
  bool HasBitmap() const { return m_bitmap != nullptr; }

  // Sub-items. An item holds its sub-items and destroys those still held when it goes.
  int Count() const { return static_cast<int>(m_items.size()); }
  TMenuItem* Items(int index) const;
  TMenuItem* Parent() const { return m_parent; }
  int MenuIndex() const;
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the sub-item out without destroying it.
  void Remove(TMenuItem* item);
  void Delete(int index);
  // Destroys every sub-item.
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  // The sub-item whose caption without accelerators equals `caption` (case ignored).
  TMenuItem* Find(std::string_view caption) const;
  // The menu this item belongs to, through its parents; nullptr when it is in none.
  TMenu* GetParentMenu() const;

  // What choosing the item does: an auto-check item toggles (a radio item checks), then
  // OnClick runs; a disabled item does nothing.
  virtual void Click();

  TNotifyEvent OnClick;

  void SetParentComponent(TComponent* parent) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 private:
  friend class TMenu;
  void Changed();
  void TurnSiblingsOff();

  std::string m_caption;
  TShortCut m_shortCut = 0;
  bool m_enabled = true;
  bool m_visible = true;
  bool m_checked = false;
  bool m_radioItem = false;
  int m_groupIndex = 0;
  bool m_autoCheck = false;
  bool m_default = false;
  int m_imageIndex = -1;
  std::string m_hint;
  std::unique_ptr<TBitmap> m_bitmap;
  std::vector<TMenuItem*> m_items;
  TMenuItem* m_parent = nullptr;
  TMenu* m_menu = nullptr;  // set on the root item of a menu only
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  // The root item; its sub-items are the menu's items.
  TMenuItem* Items() const { return m_items.get(); }
  TImageList* Images() const { return m_images; }
  void SetImages(TImageList* images);
  // Finds an enabled, visible item anywhere in the menu with this shortcut, clicks it and
  // returns true.
  bool IsShortCut(TShortCut shortCut);
  TMenuItem* FindItemByShortCut(TShortCut shortCut) const;

  // Told of every change of an item, so a shown menu can repaint.
  TNotifyEvent OnChange;

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TMenuItem;
  std::unique_ptr<TMenuItem> m_items;
  TImageList* m_images = nullptr;
};

enum class TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* owner);

  // Shows the menu with its top-left corner at a screen point: OnPopup runs first (it may
  // change the items), then the presenter shows it. Subclasses (skinned menus) replace the
  // whole showing.
  virtual void Popup(int x, int y);
  bool AutoPopup() const { return m_autoPopup; }
  void SetAutoPopup(bool on) { m_autoPopup = on; }
  TPopupAlignment Alignment() const { return m_alignment; }
  void SetAlignment(TPopupAlignment a) { m_alignment = a; }
  // The control the menu was last opened for.
  TComponent* PopupComponent() const { return m_popupComponent; }
  void SetPopupComponent(TComponent* c);
  Point PopupPoint() const { return m_popupPoint; }

  TNotifyEvent OnPopup;

  // Shows plain popup menus; the window layer installs the one that draws them.
  using Presenter = std::function<void(TPopupMenu& menu, Point screen)>;
  static void SetPresenter(Presenter presenter);

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  // Shows the menu in the platform's plain popup menu and runs the chosen item.
  void ShowPlain();
  void ShowPlainLevel(TMenuItem* level, Point at);

 private:
  bool m_autoPopup = true;
  TPopupAlignment m_alignment = TPopupAlignment::paLeft;
  TComponent* m_popupComponent = nullptr;
  Point m_popupPoint;
};
