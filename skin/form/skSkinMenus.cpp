// The skinned menu controller (levels, submenu wait, menu mode and its key hook) and the
// skinned popup menu component.
#include "skin/form/skSkinMenus.h"

#include <algorithm>

#include "platform/win/WinApi.h"
#include "skin/data/skSkinData.h"
#include "toolkit/Forms.h"

namespace {

std::vector<TskSkinMenu*>& Controllers() {
  static std::vector<TskSkinMenu*> list;
  return list;
}

bool IsPress(UINT msg) {
  return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
         msg == WM_RBUTTONDBLCLK || msg == WM_NCLBUTTONDOWN || msg == WM_NCRBUTTONDOWN ||
         msg == WM_NCMBUTTONDOWN || msg == WM_NCLBUTTONDBLCLK;
}

bool HasVisibleItems(const TMenuItem* item, int startIndex) {
  if (!item) return false;
  for (int i = std::max(0, startIndex); i < item->Count(); ++i)
    if (item->Items(i)->Visible()) return true;
  return false;
}

}  // namespace

// ---- TskSkinMenu

TskSkinMenu::TskSkinMenu(TComponent* owner, TCustomForm* form) : TComponent(owner) {
  Controllers().push_back(this);
  SetForm(form);
}

TskSkinMenu::~TskSkinMenu() {
  auto& list = Controllers();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  // Deepest level first, each taken out of the chain before it goes.
  while (!m_popups.empty()) {
    std::unique_ptr<TskSkinPopupWindow> p = std::move(m_popups.back());
    m_popups.pop_back();
    p.reset();
  }
  if (m_hook && WindowSystem::HasCurrent()) WindowSystem::Current().RemoveMessageHook(m_hook);
  m_hook = 0;
}

TskSkinMenu* TskSkinMenu::ForForm(const TCustomForm* form) {
  if (!form) return nullptr;
  for (TskSkinMenu* m : Controllers())
    if (m->m_form == form) return m;
  return nullptr;
}

void TskSkinMenu::SetForm(TCustomForm* form) {
  if (form == m_form) return;
  m_form = form;
  if (form) form->FreeNotification(this);
}

void TskSkinMenu::SetAlphaBlendValue(int value) { m_alphaBlendValue = std::clamp(value, 0, 255); }

int TskSkinMenu::IndexOfPopup(const TskSkinPopupWindow* popup) const {
  for (std::size_t i = 0; i < m_popups.size(); ++i)
    if (m_popups[i].get() == popup) return static_cast<int>(i);
  return -1;
}

void TskSkinMenu::SetPopupControl(TControl* control) {
  m_popupControl = control;
  if (control) control->FreeNotification(this);
}

void TskSkinMenu::SetDoneControl(TControl* control) {
  m_doneControl = control;
  if (control) control->FreeNotification(this);
}

void TskSkinMenu::SetMenusSkinData(TskSkinData* data) {
  if (m_menusSkinData && m_menusSkinData != data && m_menusSkinData != m_skinData) RemoveFreeNotification(m_menusSkinData);
  m_menusSkinData = data;
  if (data) FreeNotification(data);
}

void TskSkinMenu::BeginSkinChange() {
  if (m_visible || !m_popups.empty()) Hide();
}

void TskSkinMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == m_menusSkinData) m_menusSkinData = nullptr;
  if (component && component == m_skinData) {
    // The open levels read the skin being destroyed.
    if (!HasState(csDestroying) && (m_visible || !m_popups.empty())) Hide();
    m_skinData = nullptr;
  }
  if (component == m_form) m_form = nullptr;
  if (component == m_popupControl) m_popupControl = nullptr;
  if (component == m_doneControl) m_doneControl = nullptr;
}

void TskSkinMenu::Tell(TControl* control, unsigned message) {
  if (!control) return;
  if (auto* w = dynamic_cast<TWinControl*>(control); w && w->HandleAllocated()) SendMessage(w->Handle(), message, 0, 0);
  else control->Perform(message, 0, 0);
}

void TskSkinMenu::Popup(TControl* popupControl, TskSkinData* data, bool popupUp, TMenuItem* item,
                        const Rect& anchor, int startIndex) {
  m_first = !m_visible;
  std::shared_ptr<bool> alive = m_alive;
  if (!m_popups.empty() || m_visible) CloseFromLevel(0);
  if (!*alive) return;
  if (!HasVisibleItems(item, startIndex)) {
    // Nothing to show: menu mode must not stay on without a menu to end it.
    EndMenuMode();
    return;
  }
  SetPopupControl(popupControl);
  m_skinData = data;
  if (data) FreeNotification(data);
  HWND formWindow = m_form && m_form->HandleAllocated() ? m_form->Handle() : nullptr;
  m_workArea = SkinMenuWorkArea(formWindow, anchor.TopLeft());
  m_activeAtOpen = GetActiveWindow();
  EnterMenuMode();
  m_visible = true;
  OpenLevel(item, startIndex, popupUp ? TskPopupKind::PopupUp : TskPopupKind::DropDown, anchor);
  if (*alive) m_first = false;
}

void TskSkinMenu::OpenLevel(TMenuItem* item, int startIndex, TskPopupKind kind, const Rect& anchor) {
  auto popup = std::make_unique<TskSkinPopupWindow>(this);
  TskSkinPopupWindow* p = popup.get();
  const bool first = m_first && m_popups.empty();
  m_popups.push_back(std::move(popup));
  p->Open(item, startIndex, m_skinData, kind, anchor, first);
}

void TskSkinMenu::CloseFromLevel(int level) {
  level = std::max(0, level);
  while (static_cast<int>(m_popups.size()) > level) {
    std::unique_ptr<TskSkinPopupWindow> p = std::move(m_popups.back());
    m_popups.pop_back();
    p.reset();
  }
  if (level != 0) return;
  m_visible = false;
  StopWaitTimer();
  TControl* control = m_popupControl;
  m_popupControl = nullptr;
  std::shared_ptr<bool> alive = m_alive;
  if (control) {
    SetDoneControl(control);
    Tell(control, SKINMSG_CLOSEMENUS);
    if (!*alive) return;
  }
  EndMenuMode();
}

void TskSkinMenu::Hide() {
  std::shared_ptr<bool> alive = m_alive;
  CloseFromLevel(0);
  if (!*alive) return;
  StopWaitTimer();
  if (m_form && m_form->HandleAllocated()) SendMessage(m_form->Handle(), SKINMSG_CLOSEMENUS, 0, 0);
  if (*alive && m_popupControl) Tell(m_popupControl, SKINMSG_CLOSEMENUS);
}

void TskSkinMenu::StopWaitTimer() {
  if (m_waitPopup) m_waitPopup->StopWaitTimer();
  m_waitPopup = nullptr;
  m_waitItem = nullptr;
}

bool TskSkinMenu::LostActivation() const {
  return m_visible && m_activeAtOpen && GetActiveWindow() != m_activeAtOpen;
}

void TskSkinMenu::PopupGone(TskSkinPopupWindow* popup) {
  if (m_waitPopup == popup) {
    m_waitPopup = nullptr;
    m_waitItem = nullptr;
  }
}

void TskSkinMenu::WaitTimerFired() {
  TskSkinPopupWindow* popup = m_waitPopup;
  TskSkinMenuItem* item = m_waitItem;
  StopWaitTimer();
  if (popup && item && IndexOfPopup(popup) >= 0 && popup->IndexOfItem(item) >= 0) ItemStep(popup, item, false, true);
}

void TskSkinMenu::ItemStep(TskSkinPopupWindow* popup, TskSkinMenuItem* item, bool keyboard, bool execute) {
  const int level = IndexOfPopup(popup);
  if (level < 0 || !item) return;
  std::shared_ptr<bool> alive = m_alive;
  if (!item->HasSubItems()) {
    StopWaitTimer();
    if (!execute) {
      CloseFromLevel(level + 1);
      return;
    }
    TMenuItem* command = item->MenuItem();
    // The menu is gone before the command runs, so the command may open another one or a
    // modal window with the keyboard free.
    Hide();
    if (!*alive) return;
    if (command) command->Click();
    if (!*alive) return;
    if (TControl* done = m_doneControl) {
      m_doneControl = nullptr;
      Tell(done, SKINMSG_MENUCOMMAND);
    }
    return;
  }
  if (!execute) {
    CloseFromLevel(level + 1);
    StopWaitTimer();
    if (keyboard) return;
    m_waitItem = item;
    m_waitPopup = popup;
    popup->StartWaitTimer();
    return;
  }
  TMenuItem* parent = item->MenuItem();
  parent->Click();
  if (!*alive) return;
  // The click may have closed the level or changed the items.
  if (IndexOfPopup(popup) != level || popup->IndexOfItem(item) < 0 || !item->MenuItem()) return;
  StopWaitTimer();
  CloseFromLevel(level + 1);
  if (!HasVisibleItems(parent, 0)) return;
  const int index = popup->IndexOfItem(item);
  item->m_down = true;
  popup->RedrawItem(index);
  const Rect r = item->ItemRect();
  const Point origin = popup->ClientToScreen(r.TopLeft());
  OpenLevel(parent, 0, TskPopupKind::SubMenu, Rect::FromSize(origin, r.GetSize()));
}

bool TskSkinMenu::IsMenuWindow(HWND hwnd) const {
  for (const auto& p : m_popups)
    if (p->HandleAllocated() && (p->Handle() == hwnd || IsChild(p->Handle(), hwnd))) return true;
  return false;
}

bool TskSkinMenu::HookMessage(MSG& msg) {
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    if (m_popups.empty()) return false;
    m_popups.back()->MenuKeyDown(static_cast<int>(msg.wParam));
    return true;
  }
  if (msg.message == WM_MOUSEWHEEL) return true;
  // A press anywhere but on a level closes the menu; the press goes on to its window.
  if (IsPress(msg.message) && !IsMenuWindow(msg.hwnd) && m_visible) Hide();
  return false;
}

void TskSkinMenu::EnterMenuMode() {
  if (m_hook) return;
  m_hook = WindowSystem::Current().SetMessageHook([this](MSG& msg) { return HookMessage(msg); });
  Fire(OnMenuOpen, this);
}

void TskSkinMenu::EndMenuMode() {
  if (!m_hook) return;
  if (WindowSystem::HasCurrent()) WindowSystem::Current().RemoveMessageHook(m_hook);
  m_hook = 0;
  Fire(OnMenuClose, this);
}

// ---- TskSkinPopupMenu

TskSkinPopupMenu::TskSkinPopupMenu(TComponent* owner) : TPopupMenu(owner) {}

TskSkinPopupMenu::~TskSkinPopupMenu() = default;

void TskSkinPopupMenu::SetSkinData(TskSkinData* data) {
  if (m_skinData && m_skinData != data) RemoveFreeNotification(m_skinData);
  m_skinData = data;
  if (data) FreeNotification(data);
}

void TskSkinPopupMenu::Notification(TComponent* component, TOperation operation) {
  TPopupMenu::Notification(component, operation);
  if (operation == TOperation::opRemove && component && component == m_skinData) m_skinData = nullptr;
}

TskSkinMenu* TskSkinPopupMenu::MenuController() {
  // Its form, its owner's form, or its owner's owner's form.
  int depth = 0;
  for (TComponent* c = Owner(); c && depth < 3; c = c->Owner(), ++depth) {
    if (auto* f = dynamic_cast<TCustomForm*>(c)) {
      if (TskSkinMenu* m = TskSkinMenu::ForForm(f)) return m;
    }
  }
  if (!m_skinData || m_skinData->SkinEmpty()) return nullptr;
  if (!m_ownMenu) m_ownMenu = new TskSkinMenu(this, nullptr);
  return m_ownMenu;
}

void TskSkinPopupMenu::Show(TControl* control, const Rect& r, bool popupUp) {
  TskSkinMenu* menu = MenuController();
  if (!menu) {
    ShowPlainLevel(Items(), {r.left, popupUp ? r.top : r.bottom});
    return;
  }
  TskSkinData* data = m_skinData ? m_skinData : menu->MenusSkinData();
  std::shared_ptr<bool> alive = m_alive;
  if (menu->Visible()) menu->Hide();
  if (!*alive) return;
  menu->EnterMenuMode();
  menu->Popup(control, data, popupUp, Items(), r, 0);
}

void TskSkinPopupMenu::Popup(int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  Fire(OnPopup, this);
  if (!*alive) return;
  Show(nullptr, {x, y, x, y}, false);
}

void TskSkinPopupMenu::PopupFromRect(const Rect& r, bool popupUp) {
  std::shared_ptr<bool> alive = m_alive;
  Fire(OnPopup, this);
  if (!*alive) return;
  Show(nullptr, r, popupUp);
}

void TskSkinPopupMenu::Popup2(TControl* control, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  Fire(OnPopup, this);
  if (!*alive) return;
  Show(control, {x, y, x, y}, false);
}
