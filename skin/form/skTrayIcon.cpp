// TskTrayIcon: the notification-area icon with its click timer, animation and menu.
#include "skin/form/skTrayIcon.h"

#include "platform/sys/Utf8.h"
#include "platform/win/WinApi.h"
#include "toolkit/Bitmaps.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/ImgList.h"
#include "toolkit/Menus.h"
#include "toolkit/Reader.h"
#include "toolkit/Streaming.h"

namespace {

// How often the bus is looked at while the icon shows: quick enough for a click to feel
// immediate, rare enough to cost nothing.
constexpr unsigned kBusPumpMs = 50;

std::string FirstCharacters(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < count && at < text.size(); ++n) at += DecodeUtf8(text, at).length;
  return std::string(text.substr(0, at));
}

}  // namespace

void RegisterTrayIconClass() { RegisterComponentClass<TskTrayIcon>("TskTrayIcon"); }

TskTrayIcon::TskTrayIcon(TComponent* owner)
    : TComponent(owner), m_icon(std::make_unique<TIcon>()), m_item(std::make_unique<TrayItem>("kavri")) {
  if (Application) {
    m_icon->Assign(&Application->Icon());
    m_item->SetTitle(Application->Title().empty() ? "kavri" : Application->Title());
  }
  m_clickTimer = new TTimer(this);
  m_clickTimer->SetEnabled(false);
  m_clickTimer->SetInterval(GetDoubleClickTime());
  m_clickTimer->OnTimer = [this](TObject*) { ClickTimerExpired(); };
  m_animateTimer = new TTimer(this);
  m_animateTimer->SetEnabled(false);
  m_animateTimer->SetInterval(m_animateInterval);
  m_animateTimer->OnTimer = [this](TObject*) { CycleTick(); };
  m_busTimer = new TTimer(this);
  m_busTimer->SetEnabled(false);
  m_busTimer->SetInterval(kBusPumpMs);
  m_busTimer->OnTimer = [this](TObject*) { PumpBus(); };

  TrayItem::Events& e = m_item->On();
  e.activate = [this](int x, int y) { Activate({x, y}); };
  e.secondaryActivate = [this](int x, int y) { SecondaryActivate({x, y}); };
  e.contextMenu = [this](int x, int y) { ContextMenu({x, y}); };
  UpdateItem();
  HookMainForm();
  // Made in code it shows at once; read from a stored form it waits for Loaded.
  if (!owner || !owner->HasState(csLoading)) SetIconVisible(m_iconVisible);
}

TskTrayIcon::~TskTrayIcon() {
  UnhookMainForm();
  m_item->Hide();
}

// ---- properties

void TskTrayIcon::SetIcon(const TIcon& icon) {
  m_icon->Assign(&icon);
  UpdateItem();
}

void TskTrayIcon::SetIconVisible(bool on) {
  m_iconVisible = on;
  if (HasState(csLoading)) return;
  if (on) m_item->Show();
  else m_item->Hide();
  m_busTimer->SetEnabled(m_item->Shown());
}

void TskTrayIcon::SetIconList(TImageList* list) {
  if (m_iconList == list) return;
  if (m_iconList) m_iconList->RemoveFreeNotification(this);
  m_iconList = list;
  if (m_iconList) m_iconList->FreeNotification(this);
  SetIconIndex(0);
}

void TskTrayIcon::SetIconIndex(int index) {
  if (m_iconList && m_iconList->Count() > 0) {
    m_iconIndex = std::clamp(index, 0, m_iconList->Count() - 1);
    UpdateIconFromList();
  } else {
    m_iconIndex = 0;
  }
  UpdateItem();
}

void TskTrayIcon::SetCycleIcons(bool on) {
  m_cycleIcons = on;
  if (on) SetIconIndex(0);
  m_animateTimer->SetEnabled(on);
}

void TskTrayIcon::SetAnimateTimerInterval(unsigned ms) {
  m_animateInterval = ms;
  m_animateTimer->SetInterval(ms);
}

void TskTrayIcon::SetHint(std::string_view hint) {
  m_hint = hint;
  UpdateItem();
}

void TskTrayIcon::SetShowHint(bool on) {
  m_showHint = on;
  UpdateItem();
}

void TskTrayIcon::SetPopupMenu(TPopupMenu* menu) {
  if (m_popupMenu == menu) return;
  if (m_popupMenu) m_popupMenu->RemoveFreeNotification(this);
  m_popupMenu = menu;
  if (m_popupMenu) m_popupMenu->FreeNotification(this);
}

std::string TskTrayIcon::TipText() const {
  if (!m_showHint || m_hint.empty()) return {};
  return FirstCharacters(m_hint, kTrayHintMax);
}

void TskTrayIcon::UpdateIconFromList() {
  if (!m_iconList || m_iconIndex < 0 || m_iconIndex >= m_iconList->Count()) return;
  Bitmap image = m_iconList->Image(m_iconIndex);
  image.SetHasAlpha(true);
  m_icon->SetImage(std::move(image));
}

void TskTrayIcon::UpdateItem() {
  m_item->SetIcon(m_icon->Image());
  m_item->SetToolTip(m_item->Title(), TipText());
}

// ---- the panel's clicks

Point TskTrayIcon::Where(Point screen) const {
  if (screen.x != 0 || screen.y != 0) return screen;
  Point p{};
  GetCursorPos(&p);
  return p;
}

void TskTrayIcon::Activate(Point screen) {
  const Point p = Where(screen);
  if (m_clickReady && ClickTimerRunning()) {
    TrayMessage(WM_LBUTTONDBLCLK, p);
  } else {
    TrayMessage(WM_LBUTTONDOWN, p);
  }
  TrayMessage(WM_LBUTTONUP, p);
}

void TskTrayIcon::SecondaryActivate(Point screen) {
  const Point p = Where(screen);
  TrayMessage(WM_MBUTTONDOWN, p);
  TrayMessage(WM_MBUTTONUP, p);
}

void TskTrayIcon::ContextMenu(Point screen) {
  const Point p = Where(screen);
  TrayMessage(WM_RBUTTONDOWN, p);
  TrayMessage(WM_RBUTTONUP, p);
}

void TskTrayIcon::TrayMessage(UINT msg, Point p) {
  if (!m_enabled) return;
  const TShiftState shift = KeyboardShiftState();
  auto mouse = [&](const TMouseEvent& e, TMouseButton button) {
    if (e) e(this, button, shift, p.x, p.y);
  };
  switch (msg) {
    case WM_MOUSEMOVE:
      if (OnMouseMove) OnMouseMove(this, shift, p.x, p.y);
      break;
    case WM_LBUTTONDOWN:
      m_clickTimer->SetEnabled(false);
      m_clickTimer->SetInterval(GetDoubleClickTime());
      m_clickTimer->SetEnabled(true);
      mouse(OnMouseDown, TMouseButton::mbLeft);
      m_clickStart = true;
      if (m_popupByLeftButton) Popup(p);
      break;
    case WM_LBUTTONUP: {
      const bool start = m_clickStart;
      if (start) m_clickReady = true;
      if (start && !ClickTimerRunning()) {
        m_clickStart = false;
        m_clickReady = false;
        Fire(OnClick, this);
      }
      m_clickStart = false;
      mouse(OnMouseUp, TMouseButton::mbLeft);
      break;
    }
    case WM_LBUTTONDBLCLK:
      m_clickReady = false;
      m_dblClick = true;
      Fire(OnDblClick, this);
      if (m_popupMenu && m_popupMenu->AutoPopup() && !m_popupByLeftButton) ClickDefaultItem();
      break;
    case WM_RBUTTONDOWN:
      mouse(OnMouseDown, TMouseButton::mbRight);
      Popup(p);
      break;
    case WM_RBUTTONUP: mouse(OnMouseUp, TMouseButton::mbRight); break;
    case WM_MBUTTONDOWN: mouse(OnMouseDown, TMouseButton::mbMiddle); break;
    case WM_MBUTTONUP: mouse(OnMouseUp, TMouseButton::mbMiddle); break;
    default: break;
  }
}

void TskTrayIcon::ClickTimerExpired() {
  m_clickTimer->SetEnabled(false);
  if (!m_dblClick && m_clickReady) {
    m_clickReady = false;
    Fire(OnClick, this);
  }
  m_dblClick = false;
}

bool TskTrayIcon::ClickTimerRunning() const { return m_clickTimer->Enabled(); }
bool TskTrayIcon::AnimationRunning() const { return m_animateTimer->Enabled(); }

void TskTrayIcon::ClickDefaultItem() {
  TMenuItem* root = m_popupMenu->Items();
  for (int i = 0; i < root->Count(); ++i)
    if (TMenuItem* item = root->Items(i); item->Default()) {
      item->Click();
      return;
    }
}

void TskTrayIcon::Popup(Point screen) {
  if (!m_popupMenu || !m_popupMenu->AutoPopup()) return;
  TCustomForm* form = OwnerForm();
  if (form && form->HandleAllocated() && form->Visible()) SetForegroundWindow(form->Handle());
  m_popupMenu->SetPopupComponent(this);
  m_popupMenu->Popup(screen.x, screen.y);
  // Wakes the form's loop so a click elsewhere closes the menu at once.
  if (form && form->HandleAllocated()) PostMessage(form->Handle(), WM_NULL, 0, 0);
}

// ---- animation

void TskTrayIcon::CycleTick() {
  int next = 0;
  if (m_iconList && m_iconList->Count() > 0) {
    UpdateIconFromList();
    next = m_iconIndex + 1 < m_iconList->Count() ? m_iconIndex + 1 : 0;
  }
  if (OnCycle) OnCycle(this, next);
  UpdateItem();
  m_iconIndex = next;
}

// ---- into the tray and back

TCustomForm* TskTrayIcon::OwnerForm() const { return dynamic_cast<TCustomForm*>(Owner()); }

TCustomForm* TskTrayIcon::MainForm() const {
  if (Application && Application->MainForm()) return Application->MainForm();
  return OwnerForm();
}

void TskTrayIcon::HideMainForm() {
  TCustomForm* form = MainForm();
  if (form) form->Hide();
  ShowIcon();
}

void TskTrayIcon::ShowMainForm() {
  TCustomForm* form = MainForm();
  if (!form) return;
  form->Show();
  if (form->HandleAllocated()) {
    if (IsIconic(form->Handle())) ShowWindow(form->Handle(), SW_RESTORE);
    SetForegroundWindow(form->Handle());
  }
}

void TskTrayIcon::HookMainForm() {
  if (HasState(csDesigning) || m_hooked) return;
  TCustomForm* form = MainForm();
  if (!form) return;
  m_hooked = form;
  m_hooked->FreeNotification(this);
  m_oldProc = form->WindowProc();
  form->SetWindowProc([this](TMessage& m) {
    const TControl::TWndMethod old = m_oldProc;  // this component may go inside it
    old(m);
    if (m.Msg == WM_SIZE && m.WParam == SIZE_MINIMIZED && m_minimizeToTray) HideMainForm();
  });
}

void TskTrayIcon::UnhookMainForm() {
  if (!m_hooked) return;
  m_hooked->SetWindowProc(m_oldProc);
  m_hooked->RemoveFreeNotification(this);
  m_hooked = nullptr;
  m_oldProc = nullptr;
}

void TskTrayIcon::PumpBus() {
  m_item->Process();
  if (!m_item->Shown()) m_busTimer->SetEnabled(false);
}

// ---- streaming and links

void TskTrayIcon::Loaded() {
  TComponent::Loaded();
  HookMainForm();
  UpdateItem();  // the stored Icon was read into the picture directly
  if (m_minimizedOnStart && !HasState(csDesigning) && OwnerForm()) {
    m_iconVisible = true;
    m_minimizeToTray = true;
    if (Application) Application->SetShowMainForm(false);
  }
  SetIconVisible(m_iconVisible);
}

void TskTrayIcon::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == m_iconList) {
    m_iconList = nullptr;
    m_iconIndex = 0;
  }
  if (component == m_popupMenu) m_popupMenu = nullptr;
  if (component == m_hooked) {
    m_hooked = nullptr;
    m_oldProc = nullptr;
  }
}

bool TskTrayIcon::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "IconVisible")) SetIconVisible(v.AsBool());
  else if (SameText(name, "IconIndex")) SetIconIndex(v.AsInt());
  else if (SameText(name, "CycleIcons")) SetCycleIcons(v.AsBool());
  else if (SameText(name, "AnimateTimerInterval")) SetAnimateTimerInterval(static_cast<unsigned>(std::max(0, v.AsInt())));
  else if (SameText(name, "Hint")) SetHint(v.AsString());
  else if (SameText(name, "ShowHint")) SetShowHint(v.AsBool());
  else if (SameText(name, "Enabled")) SetEnabled(v.AsBool());
  else if (SameText(name, "PopupByLeftButton")) SetPopupByLeftButton(v.AsBool());
  else if (SameText(name, "MinimizedOnStart")) SetMinimizedOnStart(v.AsBool());
  else if (SameText(name, "MinimizeToTray")) SetMinimizeToTray(v.AsBool());
  else if (SameText(name, "DesignPreview")) v.AsBool();
  else if (SameText(name, "IconList")) reader.ReadLink<TImageList>(v, [this](TImageList* l) { SetIconList(l); });
  else if (SameText(name, "PopupMenu")) reader.ReadLink<TPopupMenu>(v, [this](TPopupMenu* m) { SetPopupMenu(m); });
  else return TComponent::ReadProperty(name, v, reader);
  return true;
}

TPersistent* TskTrayIcon::PropertyObject(std::string_view name) {
  if (SameText(name, "Icon")) return m_icon.get();
  return TComponent::PropertyObject(name);
}
