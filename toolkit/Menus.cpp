// Menu items, menus, popup menus and the shortcut and hotkey helpers.
#include "toolkit/Menus.h"

#include <algorithm>

#include "platform/std/StdPopupMenu.h"
#include "platform/win/WinApi.h"
#include "platform/win/WinConst.h"
#include "toolkit/Bitmaps.h"
#include "toolkit/Controls.h"
#include "toolkit/ImgList.h"
#include "toolkit/Reader.h"
#include "toolkit/Streaming.h"

namespace {

struct KeyName {
  int key;
  const char* name;
};

constexpr KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"}, {VK_TAB, "Tab"}, {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"},
    {VK_HOME, "Home"}, {VK_LEFT, "Left"}, {VK_UP, "Up"}, {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};

std::string KeyToText(int key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F12) return "F" + std::to_string(key - VK_F1 + 1);
  for (const KeyName& k : kKeyNames)
    if (k.key == key) return k.name;
  return std::string();
}

TPopupMenu::Presenter& CurrentPresenter() {
  static TPopupMenu::Presenter presenter;
  return presenter;
}

}  // namespace

TShortCut ShortCut(int key, TShiftState shift) {
  TShortCut s = static_cast<TShortCut>(key & 0xFF);
  if (shift & ssShift) s |= scShift;
  if (shift & ssCtrl) s |= scCtrl;
  if (shift & ssAlt) s |= scAlt;
  return s;
}

void ShortCutToKey(TShortCut shortCut, int& key, TShiftState& shift) {
  key = shortCut & 0xFF;
  shift = 0;
  if (shortCut & scShift) shift |= ssShift;
  if (shortCut & scCtrl) shift |= ssCtrl;
  if (shortCut & scAlt) shift |= ssAlt;
}

std::string ShortCutToText(TShortCut shortCut) {
  std::string name = KeyToText(shortCut & 0xFF);
  if (name.empty()) return std::string();
  std::string prefix;
  if (shortCut & scShift) prefix += "Shift+";
  if (shortCut & scCtrl) prefix += "Ctrl+";
  if (shortCut & scAlt) prefix += "Alt+";
  return prefix + name;
}

TShortCut TextToShortCut(std::string_view text) {
  TShortCut mods = 0;
  for (;;) {
    if (text.size() > 6 && SameText(text.substr(0, 6), "Shift+")) {
      mods |= scShift;
      text.remove_prefix(6);
    } else if (text.size() > 5 && SameText(text.substr(0, 5), "Ctrl+")) {
      mods |= scCtrl;
      text.remove_prefix(5);
    } else if (text.size() > 4 && SameText(text.substr(0, 4), "Alt+")) {
      mods |= scAlt;
      text.remove_prefix(4);
    } else {
      break;
    }
  }
  for (int key = 1; key < 256; ++key) {
    std::string name = KeyToText(key);
    if (!name.empty() && SameText(name, text)) return static_cast<TShortCut>(mods | key);
  }
  return 0;
}

std::string StripHotkey(std::string_view caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

char GetHotkey(std::string_view caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    char c = caption[i + 1];
    if (static_cast<unsigned char>(c) >= 0x80) return 0;  // not a single-byte character
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  }
  return 0;
}

bool IsAccel(char key, std::string_view caption) {
  char h = GetHotkey(caption);
  if (h == 0) return false;
  char k = (key >= 'a' && key <= 'z') ? static_cast<char>(key - 32) : key;
  return h == k;
}

// TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  Clear();
  if (m_parent) m_parent->Remove(this);
}

void TMenuItem::Changed() {
  if (TMenu* menu = GetParentMenu()) Fire(menu->OnChange, this);
}

void TMenuItem::SetCaption(std::string_view caption) {
  if (caption == m_caption) return;
  m_caption = caption;
  Changed();
}

void TMenuItem::SetShortCut(TShortCut s) {
  if (s == m_shortCut) return;
  m_shortCut = s;
  Changed();
}

void TMenuItem::SetEnabled(bool on) {
  if (on == m_enabled) return;
  m_enabled = on;
  Changed();
}

void TMenuItem::SetVisible(bool on) {
  if (on == m_visible) return;
  m_visible = on;
  Changed();
}

void TMenuItem::TurnSiblingsOff() {
  if (!m_parent || !m_radioItem) return;
  for (TMenuItem* sibling : m_parent->m_items)
    if (sibling != this && sibling->m_radioItem && sibling->m_groupIndex == m_groupIndex)
      sibling->m_checked = false;
}

void TMenuItem::SetChecked(bool on) {
  if (on == m_checked) return;
  m_checked = on;
  if (on) TurnSiblingsOff();
  Changed();
}

void TMenuItem::SetRadioItem(bool on) {
  if (on == m_radioItem) return;
  m_radioItem = on;
  if (on && m_checked) TurnSiblingsOff();
  Changed();
}

void TMenuItem::SetGroupIndex(int index) {
  if (index == m_groupIndex) return;
  m_groupIndex = index;
  if (m_checked) TurnSiblingsOff();
  Changed();
}

void TMenuItem::SetDefault(bool on) {
  if (on == m_default) return;
  // One default item per menu level.
  if (on && m_parent)
    for (TMenuItem* sibling : m_parent->m_items) sibling->m_default = false;
  m_default = on;
  Changed();
}

void TMenuItem::SetImageIndex(int index) {
  if (index == m_imageIndex) return;
  m_imageIndex = index;
  Changed();
}

TBitmap& TMenuItem::Bitmap() {
  if (!m_bitmap) {
    m_bitmap = std::make_unique<TBitmap>();
    m_bitmap->OnChange = [this](TObject*) { Changed(); };
  }
  return *m_bitmap;
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EMenuError("Menu index out of range");
  return m_items[static_cast<std::size_t>(index)];
}

int TMenuItem::MenuIndex() const { return m_parent ? m_parent->IndexOf(this) : -1; }

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->m_parent) throw EMenuError("Menu inserted twice");
  if (index < 0 || index > Count()) throw EMenuError("Menu index out of range");
  for (const TMenuItem* p = this; p; p = p->m_parent)
    if (p == item) throw EMenuError("Menu inserted into itself");
  m_items.insert(m_items.begin() + index, item);
  item->m_parent = this;
  if (item->m_checked) item->TurnSiblingsOff();
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(m_items.begin(), m_items.end(), item);
  if (it == m_items.end()) throw EMenuError("Sub-menu is not in menu");
  m_items.erase(it);
  item->m_parent = nullptr;
  Changed();
}

void TMenuItem::Delete(int index) { Remove(Items(index)); }

void TMenuItem::Clear() {
  while (!m_items.empty()) {
    TMenuItem* last = m_items.back();
    last->BeforeDestruction();
    delete last;  // its destructor takes it out of this list
  }
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(m_items.begin(), m_items.end(), item);
  return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

TMenuItem* TMenuItem::Find(std::string_view caption) const {
  std::string wanted = StripHotkey(caption);
  for (TMenuItem* item : m_items)
    if (SameText(StripHotkey(item->m_caption), wanted)) return item;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->m_parent) root = root->m_parent;
  return root->m_menu;
}

void TMenuItem::Click() {
  if (!m_enabled) return;
  if (m_autoCheck) SetChecked(m_radioItem ? true : !m_checked);
  Fire(OnClick, this);
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = dynamic_cast<TMenu*>(parent)) {
    menu->Items()->Add(this);
  } else if (auto* item = dynamic_cast<TMenuItem*>(parent)) {
    item->Add(this);
  } else if (parent) {
    throw EMenuError("A menu item belongs in a menu or a menu item");
  }
}

bool TMenuItem::ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) {
  if (SameText(name, "Caption")) SetCaption(value.AsString());
  else if (SameText(name, "ShortCut")) {
    if (value.kind == TStreamValue::Kind::String) {
      TShortCut s = TextToShortCut(value.text);
      if (s == 0 && !value.text.empty()) throw EReadError("Invalid property value " + value.Describe());
      SetShortCut(s);
    } else {
      SetShortCut(static_cast<TShortCut>(value.AsInt()));
    }
  } else if (SameText(name, "Enabled")) SetEnabled(value.AsBool());
  else if (SameText(name, "Visible")) SetVisible(value.AsBool());
  else if (SameText(name, "Checked")) SetChecked(value.AsBool());
  else if (SameText(name, "RadioItem")) SetRadioItem(value.AsBool());
  else if (SameText(name, "GroupIndex")) SetGroupIndex(value.AsInt());
  else if (SameText(name, "AutoCheck")) SetAutoCheck(value.AsBool());
  else if (SameText(name, "Default")) SetDefault(value.AsBool());
  else if (SameText(name, "ImageIndex")) SetImageIndex(value.AsInt());
  else if (SameText(name, "Hint")) SetHint(value.AsString());
  else if (SameText(name, "OnClick")) OnClick = reader.ReadHandler<TNotifyEvent>(value);
  else return TComponent::ReadProperty(name, value, reader);
  return true;
}

TPersistent* TMenuItem::PropertyObject(std::string_view name) {
  if (SameText(name, "Bitmap")) return &Bitmap();
  return TComponent::PropertyObject(name);
}

// TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner), m_items(std::make_unique<TMenuItem>(nullptr)) {
  m_items->m_menu = this;
}

TMenu::~TMenu() {
  // Sub-items owned by the form may outlive the menu; they must not point at it.
  m_items->Clear();
}

void TMenu::SetImages(TImageList* images) {
  if (images == m_images) return;
  m_images = images;
  if (images) images->FreeNotification(this);
  Fire(OnChange, this);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == m_images) m_images = nullptr;
}

TMenuItem* TMenu::FindItemByShortCut(TShortCut shortCut) const {
  if (shortCut == 0) return nullptr;
  std::function<TMenuItem*(TMenuItem*)> search = [&](TMenuItem* item) -> TMenuItem* {
    for (int i = 0; i < item->Count(); ++i) {
      TMenuItem* sub = item->Items(i);
      if (!sub->Enabled() || !sub->Visible()) continue;
      if (sub->GetShortCut() == shortCut) return sub;
      if (TMenuItem* found = search(sub)) return found;
    }
    return nullptr;
  };
  return search(m_items.get());
}

bool TMenu::IsShortCut(TShortCut shortCut) {
  TMenuItem* item = FindItemByShortCut(shortCut);
  if (!item) return false;
  item->Click();
  return true;
}

bool TMenu::ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) {
  if (SameText(name, "Images")) {
    reader.ReadLink<TImageList>(value, [this](TImageList* list) { SetImages(list); });
    return true;
  }
  return TComponent::ReadProperty(name, value, reader);
}

// TPopupMenu

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

void TPopupMenu::SetPresenter(Presenter presenter) { CurrentPresenter() = std::move(presenter); }

void TPopupMenu::SetPopupComponent(TComponent* c) {
  if (c == m_popupComponent) return;
  m_popupComponent = c;
  if (c) c->FreeNotification(this);
}

void TPopupMenu::Popup(int x, int y) {
  m_popupPoint = {x, y};
  std::shared_ptr<bool> alive = m_alive;
  Fire(OnPopup, this);
  if (!*alive) return;
  if (CurrentPresenter()) {
    CurrentPresenter()(*this, m_popupPoint);
    return;
  }
  ShowPlain();
}

void TPopupMenu::ShowPlain() { ShowPlainLevel(Items(), m_popupPoint); }

void TPopupMenu::ShowPlainLevel(TMenuItem* level, Point at) {
  // The platform's plain menu shows one level; choosing an item that has sub-items opens
  // them as the next menu at the same place.
  std::vector<StdMenuItem> entries;
  std::vector<TMenuItem*> targets;
  for (int i = 0; i < level->Count(); ++i) {
    TMenuItem* item = level->Items(i);
    if (!item->Visible()) continue;
    StdMenuItem e;
    e.separator = item->IsLine();
    std::string caption = item->Caption();
    if (item->Checked()) caption = (item->RadioItem() ? "\xE2\x97\x8F " : "\xE2\x9C\x93 ") + caption;
    if (item->Count() > 0) caption += " \xE2\x96\xB8";
    std::string shortcut = ShortCutToText(item->GetShortCut());
    if (!shortcut.empty()) caption += "\t" + shortcut;
    e.text = caption;
    e.enabled = item->Enabled();
    targets.push_back(item);
    e.id = static_cast<int>(targets.size());
    entries.push_back(std::move(e));
  }
  if (entries.empty()) return;
  HWND owner = nullptr;
  if (auto* w = dynamic_cast<TWinControl*>(m_popupComponent); w && w->HandleAllocated()) owner = w->Handle();
  else if (auto* c = dynamic_cast<TControl*>(m_popupComponent); c && c->Parent() && c->Parent()->HandleAllocated())
    owner = c->Parent()->Handle();
  else owner = GetActiveWindow();
  // Items may go while the menu runs messages; only one still there is clicked.
  std::shared_ptr<bool> alive = m_alive;
  int chosen = TrackStdPopupMenu(owner, at, entries);
  if (!*alive || chosen <= 0 || chosen > static_cast<int>(targets.size())) return;
  TMenuItem* item = targets[static_cast<std::size_t>(chosen - 1)];
  if (level->IndexOf(item) < 0) return;
  if (item->Count() > 0) {
    ShowPlainLevel(item, at);
    return;
  }
  item->Click();
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == TOperation::opRemove && component == m_popupComponent) m_popupComponent = nullptr;
}

bool TPopupMenu::ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) {
  if (SameText(name, "AutoPopup")) SetAutoPopup(value.AsBool());
  else if (SameText(name, "Alignment"))
    SetAlignment(static_cast<TPopupAlignment>(value.AsEnum({{"paLeft", 0}, {"paRight", 1}, {"paCenter", 2}})));
  else if (SameText(name, "OnPopup")) OnPopup = reader.ReadHandler<TNotifyEvent>(value);
  else return TMenu::ReadProperty(name, value, reader);
  return true;
}
