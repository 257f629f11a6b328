// TskSkinForm: taking over the form's window, skin changes, objects and their layout,
// size limits, window states, roll-up, the system menu and alpha fading.
#include "skin/form/skSkinForm.h"

#include <map>

#include "platform/win/WinApi.h"
#include "skin/data/skSkinHint.h"
#include "skin/form/skTrayIcon.h"
#include "toolkit/Menus.h"
#include "toolkit/Reader.h"

// ---- creation and the window

TskSkinForm::TskSkinForm(TComponent* owner) : TComponent(owner), m_form(dynamic_cast<TCustomForm*>(owner)) {
  m_defCaptionFont.spec = FontSpec{std::string(SkinDefaultFontName), 14, true, false, false, false};
  m_defCaptionFont.color = clBtnText;
  m_defInActiveCaptionFont.spec = m_defCaptionFont.spec;
  m_defInActiveCaptionFont.color = clBtnShadow;
  m_skinMenu = new TskSkinMenu(this, m_form);
  m_skinMenu->OnMenuOpen = [this](TObject*) { MenuModeEntered(); };
  m_skinMenu->OnMenuClose = [this](TObject*) { MenuModeEnded(); };
  m_ownSysMenu = new TPopupMenu(this);
  m_defMenuItemFont.SetName(SkinDefaultFontName);
  m_defMenuItemFont.SetHeight(SkinDefaultFontHeight);
  m_defMenuItemFont.SetColor(clWindowText);
  m_defMenuItemFont.OnChange = [this](TObject*) { m_skinMenu->SetDefItemFont(m_defMenuItemFont.Spec()); };
  if (!m_form || HasState(csDesigning)) return;
  // The platform must draw no caption of its own: no border icons, no caption bits.
  m_form->SetBorderIcons(0);
  HookWindow();
}

TskSkinForm::~TskSkinForm() {
  BeforeDestruction();
  // The menu's events reach back into this frame; they end here.
  if (m_skinMenu) {
    m_skinMenu->OnMenuOpen = nullptr;
    m_skinMenu->OnMenuClose = nullptr;
  }
  FreeObjects();
  m_retired.clear();
  // The icon outlives the frame: what it holds of the frame goes.
  if (m_trayIcon) {
    if (m_trayDblClickSet) m_trayIcon->OnDblClick = nullptr;
    m_trayIcon->RemoveFreeNotification(this);
  }
  if (m_hwnd && IsWindow(m_hwnd)) {
    StopTimers();
    if (GetWindowProc(m_hwnd) == m_ownProc) SetWindowLong(m_hwnd, GWL_WNDPROC, m_oldProc);
    if (m_region) SetWindowRgn(m_hwnd, nullptr, true);
  }
}

TskSkinForm* TskSkinForm::Find(const TCustomForm* form) {
  if (!form) return nullptr;
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* f = dynamic_cast<TskSkinForm*>(form->Components(i))) return f;
  return nullptr;
}

void TskSkinForm::HookWindow() {
  if (!m_form || HasState(csDesigning)) return;
  HWND h = m_form->Handle();
  if (!h || h == m_hwnd) return;
  m_ownProc = WindowProc(WindowProc::Callable(
      [this](HWND hw, UINT m, WPARAM w, LPARAM l) { return FrameWndProc(hw, m, w, l); }));
  m_oldProc = SetWindowLong(h, GWL_WNDPROC, m_ownProc);
  m_hwnd = h;
  m_formActive = GetActiveWindow() == h;
  const LONG_PTR style = GetWindowLong(h, GWL_STYLE);
  SetWindowLong(h, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_formWidth = m_form->Width();
  m_formHeight = m_form->Height();
  // A recreated window has lost its region and layered state: build the frame again.
  if (m_skinData || !m_objects.empty()) SkinChanged();
}

void TskSkinForm::Loaded() {
  TComponent::Loaded();
  HookWindow();
}

void TskSkinForm::Notification(TComponent* component, TOperation operation) {
  // The objects point into the skin being destroyed: they go before anything else hears of
  // it (the menu, closing, would set its button up and draw it from that skin).
  if (operation == TOperation::opRemove && component && component == m_skinData) BeforeSkinChange();
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove || !component) return;
  if (component == m_skinHint) m_skinHint = nullptr;
  if (component == m_trayIcon) m_trayIcon = nullptr;
  if (component == m_trayMenu) m_trayMenu = nullptr;
  if (component == m_skinMenu) m_skinMenu = nullptr;
  if (component == m_ownSysMenu) m_ownSysMenu = nullptr;
  if (component == m_systemMenu) {
    // A button holding the menu's root must not keep it. The menu is half destroyed by now:
    // its root is known from when it was set, not asked of it.
    for (auto& o : m_objects)
      if (auto* b = dynamic_cast<TskSkinButtonObject*>(o.get()); b && b->MenuItem == m_systemMenuRoot)
        b->MenuItem = nullptr;
    m_systemMenu = nullptr;
    m_systemMenuRoot = nullptr;
  }
  if (component == m_menusSkinData) {
    m_menusSkinData = nullptr;
    if (m_skinMenu && !HasState(csDestroying)) m_skinMenu->SetMenusSkinData(MenuSkin());
  }
  if (component != m_skinData) return;
  // The objects point into the skin being destroyed: they go before it does.
  BeforeSkinChange();
  m_skinData = nullptr;
  if (m_skinMenu && !HasState(csDestroying)) m_skinMenu->SetMenusSkinData(MenuSkin());
  if (!HasState(csDestroying) && m_hwnd) SkinChanged();
}

bool TskSkinForm::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "SkinData")) {
    reader.ReadLink<TskSkinData>(v, [this](TskSkinData* d) { SetSkinData(d); });
  } else if (SameText(name, "BorderIcons")) {
    SetBorderIcons(v.AsSet({{"biSystemMenu", biSkinSystemMenu},
                            {"biMinimize", biSkinMinimize},
                            {"biMaximize", biSkinMaximize},
                            {"biRollUp", biSkinRollUp},
                            {"biMinimizeToTray", biSkinMinimizeToTray}}));
  } else if (SameText(name, "HideCaptionButtons")) SetHideCaptionButtons(v.AsBool());
  else if (SameText(name, "ShowIcon")) SetShowIcon(v.AsBool());
  else if (SameText(name, "ShowObjectHint")) SetShowObjectHint(v.AsBool());
  else if (SameText(name, "UseDefaultObjectHint")) SetUseDefaultObjectHint(v.AsBool());
  else if (SameText(name, "AlwaysMinimizeToTray")) SetAlwaysMinimizeToTray(v.AsBool());
  else if (SameText(name, "Magnetic")) SetMagnetic(v.AsBool());
  else if (SameText(name, "MagneticSize")) SetMagneticSize(v.AsInt());
  else if (SameText(name, "MaximizeOnFullScreen")) SetMaximizeOnFullScreen(v.AsBool());
  else if (SameText(name, "AlphaBlend")) SetAlphaBlend(v.AsBool());
  else if (SameText(name, "AlphaBlendValue")) SetAlphaBlendValue(v.AsInt());
  else if (SameText(name, "AlphaBlendAnimation")) SetAlphaBlendAnimation(v.AsBool());
  else if (SameText(name, "UseFormCursorInNCArea")) SetUseFormCursorInNCArea(v.AsBool());
  else if (SameText(name, "UseDefaultSysMenu")) SetUseDefaultSysMenu(v.AsBool());
  else if (SameText(name, "MinWidth")) SetMinWidth(v.AsInt());
  else if (SameText(name, "MinHeight")) SetMinHeight(v.AsInt());
  else if (SameText(name, "MaxWidth")) SetMaxWidth(v.AsInt());
  else if (SameText(name, "MaxHeight")) SetMaxHeight(v.AsInt());
  else if (SameText(name, "ClientWidth")) SetClientWidth(v.AsInt());
  else if (SameText(name, "ClientHeight")) SetClientHeight(v.AsInt());
  else if (SameText(name, "MenusSkinData"))
    reader.ReadLink<TskSkinData>(v, [this](TskSkinData* d) { SetMenusSkinData(d); });
  else if (SameText(name, "SystemMenu"))
    reader.ReadLink<TPopupMenu>(v, [this](TPopupMenu* m) { SetSystemMenu(m); });
  else if (SameText(name, "TrayIcon"))
    reader.ReadLink<TskTrayIcon>(v, [this](TskTrayIcon* t) { SetTrayIcon(t); });
  else if (SameText(name, "AlwaysShowInTray")) SetAlwaysShowInTray(v.AsBool());
  else if (SameText(name, "SkinHint"))
    reader.ReadLink<TskSkinHint>(v, [this](TskSkinHint* h) { SetSkinHint(h); });
  else if (SameText(name, "MaxMenuItemsInWindow")) SetMaxMenuItemsInWindow(v.AsInt());
  else if (SameText(name, "UseSkinFontInMenu")) SetUseSkinFontInMenu(v.AsBool());
  else if (SameText(name, "MenusAlphaBlend")) SetMenusAlphaBlend(v.AsBool());
  else if (SameText(name, "MenusAlphaBlendAnimation")) SetMenusAlphaBlendAnimation(v.AsBool());
  else if (SameText(name, "MenusAlphaBlendValue")) SetMenusAlphaBlendValue(v.AsInt());
  else if (SameText(name, "DefMenuItemHeight")) SetDefMenuItemHeight(v.AsInt());
  else return TComponent::ReadProperty(name, v, reader);
  return true;
}

TPersistent* TskSkinForm::PropertyObject(std::string_view name) {
  if (SameText(name, "DefMenuItemFont")) return &m_defMenuItemFont;
  return TComponent::PropertyObject(name);
}

LRESULT TskSkinForm::Default(UINT msg, WPARAM wp, LPARAM lp) {
  return CallWindowProc(m_oldProc, m_hwnd, msg, wp, lp);
}

void TskSkinForm::SetSkinData(TskSkinData* data) {
  if (data == m_skinData && m_skinSupport == (data && !data->SkinEmpty())) return;
  if (m_skinData && m_skinData != data) RemoveFreeNotification(m_skinData);
  BeforeSkinChange();
  m_skinData = data;
  if (data) FreeNotification(data);
  m_skinMenu->SetMenusSkinData(MenuSkin());
  if (!HasState(csDesigning) && m_hwnd) SkinChanged();
}

void TskSkinForm::SetMenusSkinData(TskSkinData* data) {
  if (data == m_menusSkinData) return;
  if (m_menusSkinData && m_menusSkinData != m_skinData) RemoveFreeNotification(m_menusSkinData);
  m_menusSkinData = data;
  if (data) FreeNotification(data);
  m_skinMenu->SetMenusSkinData(MenuSkin());
}

void TskSkinForm::SetMenusAlphaBlendValue(int value) {
  m_menusAlphaBlendValue = std::clamp(value, 0, 255);
  m_skinMenu->SetAlphaBlendValue(m_menusAlphaBlendValue);
}

void TskSkinForm::SetSystemMenu(TPopupMenu* menu) {
  if (menu == m_systemMenu) return;
  if (m_systemMenu) RemoveFreeNotification(m_systemMenu);
  // Buttons holding the old root give it up.
  TMenuItem* oldRoot = m_systemMenu ? m_systemMenu->Items() : m_ownSysMenu ? m_ownSysMenu->Items() : nullptr;
  for (auto& o : m_objects)
    if (auto* b = dynamic_cast<TskSkinButtonObject*>(o.get()); b && oldRoot && b->MenuItem == oldRoot) b->MenuItem = nullptr;
  m_systemMenu = menu;
  m_systemMenuRoot = menu ? menu->Items() : nullptr;
  if (menu) FreeNotification(menu);
}

void TskSkinForm::SetSkinHint(TskSkinHint* hint) {
  if (hint == m_skinHint) return;
  if (m_skinHint) {
    m_skinHint->HideHint();
    RemoveFreeNotification(m_skinHint);
  }
  m_skinHint = hint;
  if (hint) FreeNotification(hint);
}

void TskSkinForm::SetShowObjectHint(bool on) {
  if (!on) HideObjectHint();
  m_showObjectHint = on;
}

void TskSkinForm::SetUseDefaultObjectHint(bool on) {
  m_useDefaultObjectHint = on;
  AssignDefaultHints();
}

// ---- state of the frame

bool TskSkinForm::FormHasBorder() const {
  return m_form && m_form->BorderStyle() != TFormBorderStyle::bsNone;
}

bool TskSkinForm::Sizeable() const {
  return m_form && (m_form->BorderStyle() == TFormBorderStyle::bsSizeable ||
                    m_form->BorderStyle() == TFormBorderStyle::bsSizetoolwin);
}

bool TskSkinForm::IsFormActive() const { return m_formActive; }

int TskSkinForm::DefaultCaptionHeight() const {
  const bool tool = m_form && (m_form->BorderStyle() == TFormBorderStyle::bsToolwindow ||
                               m_form->BorderStyle() == TFormBorderStyle::bsSizetoolwin);
  return tool ? 15 : 19;
}

int TskSkinForm::DefaultButtonSize() const { return DefaultCaptionHeight() - 2; }

Rect TskSkinForm::MonitorArea(bool whole) const {
  if (HMONITOR mon = m_hwnd ? MonitorFromWindow(m_hwnd, MONITOR_DEFAULTTONEAREST) : nullptr) {
    MONITORINFO mi;
    if (GetMonitorInfo(mon, &mi)) return whole ? mi.rcMonitor : mi.rcWork;
  }
  Rect work;
  if (!whole && SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0)) return work;
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

int TskSkinForm::GetMinWidth() const {
  if (m_skinSupport) {
    const int pw = m_skinData->Picture().Width();
    return (m_minWidth > pw && m_windowState != TskWindowState::Minimized) ? m_minWidth : pw;
  }
  return m_minWidth <= 0 ? 120 : m_minWidth;
}

int TskSkinForm::GetMinHeight() const {
  const int h0 = m_skinSupport ? m_skinData->Picture().Height() - m_skinData->FormInfo().ClientRect.Height()
                               : DefaultCaptionHeight() + 6;
  if (h0 >= m_minHeight || m_rollUpState || m_windowState == TskWindowState::Minimized) return h0;
  return m_minHeight;
}

int TskSkinForm::GetMaxWidth() const {
  const int w = MonitorArea(m_maximizeOnFullScreen).Width();
  return (m_maxWidth != 0 && m_maxWidth < w) ? m_maxWidth : w;
}

int TskSkinForm::GetMaxHeight() const {
  const int h = MonitorArea(m_maximizeOnFullScreen).Height();
  return (m_maxHeight != 0 && m_maxHeight < h) ? m_maxHeight : h;
}

void TskSkinForm::CalcFrameGeometry() {
  if (m_form && (m_formWidth == 0 || m_formHeight == 0)) {
    m_formWidth = m_form->Width();
    m_formHeight = m_form->Height();
  }
  if (!m_skinSupport) {
    // The default frame's caption and buttons follow the width the same way.
    if (m_objects.empty()) MakeDefaultObjects();
    std::vector<SkinCommand> visible;
    std::vector<TskActiveSkinObject*> placed;
    for (auto& o : m_objects)
      if (auto* b = dynamic_cast<TskSkinStdButtonObject*>(o.get()); b && b->Visible) {
        visible.push_back(b->Command);
        placed.push_back(b);
      }
    int icon = 0;
    if (m_showIcon) {
      icon = GetSystemMetrics(SM_CXSMICON);
      if (icon <= 0) icon = GetSystemMetrics(SM_CXSIZE);
    }
    DefaultCaptionLayout layout =
        LayoutDefaultCaption(m_formWidth, DefaultCaptionHeight(), DefaultButtonSize(), visible, icon);
    m_defaultCaptionRect = layout.caption;
    for (std::size_t i = 0; i < placed.size(); ++i) placed[i]->ObjectRect = layout.buttons[i];
    m_geometry = FrameGeometry{};
    m_geometry.width = m_formWidth;
    m_geometry.height = m_formHeight;
    m_geometry.clientRect = DefaultClientRect({0, 0, m_formWidth, m_formHeight}, DefaultCaptionHeight());
    return;
  }
  m_geometry = ::CalcFrameGeometry(m_skinData->FormInfo(), m_skinData->Picture().GetSize(), m_formWidth, m_formHeight);
}

void TskSkinForm::PlaceObjects() {
  if (!m_skinSupport) return;
  const SkinFormInfo& fi = m_skinData->FormInfo();
  const Size pic = m_skinData->Picture().GetSize();
  const int dX = m_geometry.rightBottom.x - fi.RightBottomPoint.x;
  const int dY = m_geometry.rightBottom.y - fi.RightBottomPoint.y;
  std::vector<FrameLayoutItem> items;
  items.reserve(m_objects.size());
  for (auto& o : m_objects) {
    if (!o->SkinRectInAPicture) o->ObjectRect = PlaceByZones(o->SkinRect, fi, pic, dX, dY);
    FrameLayoutItem it;
    it.laidOut = o->SkinRectInAPicture;
    it.visible = o->Visible;
    it.size = o->SkinRect.GetSize();
    it.rect = o->ObjectRect;
    if (auto* b = dynamic_cast<TskSkinStdButtonObject*>(o.get())) {
      it.kind = FrameItemKind::Button;
      it.command = b->Command;
      if (b->Command == SkinCommand::SysMenu && m_showIcon) {
        const int s = GetSystemMetrics(SM_CXSMICON) > 0 ? GetSystemMetrics(SM_CXSMICON) : GetSystemMetrics(SM_CXSIZE);
        it.size = {s, s};
      }
    } else if (auto* a = dynamic_cast<TskSkinAnimateObject*>(o.get())) {
      it.kind = FrameItemKind::Button;
      it.command = a->Command;
    } else if (dynamic_cast<TskSkinCaptionObject*>(o.get())) {
      it.kind = FrameItemKind::Caption;
    }
    items.push_back(it);
  }
  LayoutFrameItems(items, m_geometry);
  for (std::size_t i = 0; i < items.size(); ++i) m_objects[i]->ObjectRect = items[i].rect;
}

std::vector<Rect> TskSkinForm::CaptionObjectRects() const {
  std::vector<Rect> out;
  for (auto& o : m_objects)
    if (dynamic_cast<TskSkinCaptionObject*>(o.get())) out.push_back(o->ObjectRect);
  return out;
}

int TskSkinForm::HitTest(Point p) {
  CalcFrameGeometry();
  FrameHitState s;
  s.rolledUp = m_rollUpState;
  s.minimized = m_windowState == TskWindowState::Minimized;
  s.maximized = m_windowState == TskWindowState::Maximized;
  s.sizeable = Sizeable();
  s.activeObject = m_activeObject >= 0;
  s.sizeMoveLoop = m_inLoop;
  if (!m_skinSupport)
    return DefaultFrameHitTest({m_formWidth, m_formHeight}, m_defaultCaptionRect, DefaultCaptionHeight(), s, p);
  PlaceObjects();
  FrameMaskTest mask;
  if (!m_skinData->Mask().IsEmpty() && !m_maskStrips.IsEmpty())
    mask = [this](Point q) { return MaskContainsPoint(q); };
  return SkinFrameHitTest(m_geometry, m_skinData->FormInfo().BorderWidth, CaptionObjectRects(), mask, s, p);
}

void TskSkinForm::ApplyFrameSize() {
  CalcFrameGeometry();
  PlaceObjects();
  UpdateWindowRegion();
  if (!m_region) RepaintNC();
}

void TskSkinForm::RemoveRegion() {
  if (m_region && m_hwnd) SetWindowRgn(m_hwnd, nullptr, true);
  m_region.reset();
}

void TskSkinForm::UpdateWindowRegion() {
  if (!FormHasBorder() || !m_skinSupport || m_skinData->Mask().IsEmpty()) {
    RemoveRegion();
    m_maskStrips = FrameMaskStrips{};
    return;
  }
  m_maskStrips = BuildFrameMaskStrips(m_skinData->FormInfo(), m_geometry, m_skinData->Mask());
  Region region = FrameMaskRegion(m_maskStrips, m_geometry);
  m_region = region;
  if (m_hwnd) SetWindowRgn(m_hwnd, new Region(std::move(region)), true);
}

void TskSkinForm::RepaintNC() {
  if (m_hwnd && IsWindowVisible(m_hwnd)) SendMessage(m_hwnd, WM_NCPAINT, 1, 0);
}

Point TskSkinForm::ToWindow(LPARAM screenPoint) const {
  Rect r;
  GetWindowRect(m_hwnd, &r);
  const Point p = LParamToPoint(screenPoint);
  return {p.x - r.left, p.y - r.top};
}

void TskSkinForm::SetFormBounds(const Rect& r) { m_form->SetBounds(r.left, r.top, r.Width(), r.Height()); }

void TskSkinForm::NudgeWidth() {
  const int w = m_form->Width();
  if (w <= GetMinWidth()) {
    m_form->SetWidth(w + 1);
    m_form->SetWidth(w);
  } else {
    m_form->SetWidth(w - 1);
    m_form->SetWidth(w);
  }
}

std::string TskSkinForm::CaptionText() const { return m_form ? m_form->Caption() : std::string(); }

void TskSkinForm::CloseForm() {
  if (m_form) m_form->Close();
}

// ---- objects

void TskSkinForm::FreeObjects() {
  if (m_dispatchDepth > 0) {
    for (auto& o : m_objects) m_retired.push_back(std::move(o));
  }
  m_objects.clear();
  m_activeObject = m_oldActiveObject = m_captureObject = -1;
}

bool TskSkinForm::IsLive(const TskActiveSkinObject* object) const {
  for (const auto& o : m_objects)
    if (o.get() == object) return true;
  return false;
}

// ---- menu mode and hints

void TskSkinForm::MenuModeEntered() {
  m_inMenu = true;
  ++m_menuRuns;
  HideObjectHint();
  Fire(OnSkinMenuOpen, this);
}

void TskSkinForm::MenuModeEnded() {
  m_inMenu = false;
  for (auto& o : m_objects)
    if (auto* b = dynamic_cast<TskSkinButtonObject*>(o.get()); b && b->MenuItem && b->FDown) {
      b->SetDown(false);
      break;
    }
  Fire(OnSkinMenuClose, this);
}

void TskSkinForm::MenuClosingCheck() {
  if (m_showObjectHint) HideObjectHint();
  if (!m_skinMenu) return;
  if (m_skinMenu->Visible()) m_skinMenu->Hide();
  else if (m_skinMenu->InMenuMode()) m_skinMenu->EndMenuMode();
}

void TskSkinForm::ShowObjectHintFor(TskActiveSkinObject* object) {
  if (!m_showObjectHint || !m_skinHint || !object || object->Hint.empty() || m_inMenu) return;
  m_skinHint->ShowHintAtCursor(object->Hint);
}

void TskSkinForm::HideObjectHint() {
  if (m_skinHint) m_skinHint->HideHint();
}

void TskSkinForm::MakeObjects() {
  FreeObjects();
  for (const auto& rec : m_skinData->ObjectList()) {
    TskDataSkinObject* r = rec.get();
    std::unique_ptr<TskActiveSkinObject> o;
    if (dynamic_cast<TskDataSkinMainMenuBarButton*>(r) || dynamic_cast<TskDataSkinMenuItem*>(r) ||
        dynamic_cast<TskDataSkinMainMenuItem*>(r))
      continue;  // these serve menus and the menu bar
    if (auto* sb = dynamic_cast<TskDataSkinStdButton*>(r)) o = std::make_unique<TskSkinStdButtonObject>(this, m_skinData, sb);
    else if (auto* b = dynamic_cast<TskDataSkinButton*>(r)) o = std::make_unique<TskSkinButtonObject>(this, m_skinData, b);
    else if (auto* c = dynamic_cast<TskDataSkinCaption*>(r)) o = std::make_unique<TskSkinCaptionObject>(this, m_skinData, c);
    else if (auto* a = dynamic_cast<TskDataSkinAnimate*>(r)) o = std::make_unique<TskSkinAnimateObject>(this, m_skinData, a);
    else if (auto* u = dynamic_cast<TskDataUserObject*>(r)) o = std::make_unique<TskUserObject>(this, m_skinData, u);
    if (o) m_objects.push_back(std::move(o));
  }
  ApplyBorderIcons();
}

void TskSkinForm::MakeDefaultObjects() {
  FreeObjects();
  const std::pair<const char*, SkinCommand> defaults[] = {
      {"closebutton", SkinCommand::Close},   {"maxbutton", SkinCommand::Maximize},
      {"minbutton", SkinCommand::Minimize},  {"rollupbutton", SkinCommand::RollUp},
      {"sysmenubutton", SkinCommand::SysMenu}, {"traybutton", SkinCommand::MinimizeToTray}};
  for (const auto& [name, command] : defaults) {
    auto o = std::make_unique<TskSkinStdButtonObject>(this, m_skinData, nullptr);
    o->IDName = name;
    o->Command = command;
    m_objects.push_back(std::move(o));
  }
  ApplyBorderIcons();
}

TskActiveSkinObject* TskSkinForm::FindObject(std::string_view idName) const {
  for (auto& o : m_objects)
    if (o->IDName == idName) return o.get();
  return nullptr;
}

void TskSkinForm::SetBorderIcons(TskBorderIcons icons) {
  m_borderIcons = icons;
  // Until the next skin change the default set stands for the skin's objects.
  MakeDefaultObjects();
  if (m_skinSupport) {
    MakeObjects();
    ApplyFrameSize();
  } else {
    RepaintNC();
  }
}

void TskSkinForm::SetHideCaptionButtons(bool on) {
  const bool showing = m_hideCaptionButtons && !on;
  m_hideCaptionButtons = on;
  // Hiding left every caption button inert: shown again, they start from their state at
  // creation, and the border icons and the custom-object handler decide once more.
  if (showing)
    for (auto& o : m_objects)
      if (dynamic_cast<TskSkinStdButtonObject*>(o.get()) || dynamic_cast<TskSkinAnimateObject*>(o.get())) {
        o->Enabled = true;
        o->Visible = true;
      }
  ApplyBorderIcons();
  RepaintNC();
}

void TskSkinForm::SetShowIcon(bool on) {
  m_showIcon = on;
  if (!HasState(csLoading)) RepaintNC();
}

void TskSkinForm::ApplyBorderIcons() {
  for (auto& o : m_objects) {
    SkinCommand command;
    if (auto* b = dynamic_cast<TskSkinStdButtonObject*>(o.get())) command = b->Command;
    else if (auto* a = dynamic_cast<TskSkinAnimateObject*>(o.get()); a && a->ButtonStyle) command = a->Command;
    else continue;
    if (m_hideCaptionButtons) {
      o->Enabled = false;
      o->Visible = !o->SkinRectInAPicture;
      continue;
    }
    bool allowed = true;
    switch (command) {
      case SkinCommand::Default: {
        bool visible = false;
        if (OnActivateCustomObject) OnActivateCustomObject(o->IDName, visible);
        o->Visible = visible;
        continue;
      }
      case SkinCommand::Close: allowed = true; break;
      case SkinCommand::Maximize: allowed = m_borderIcons & biSkinMaximize; break;
      case SkinCommand::Minimize: allowed = m_borderIcons & biSkinMinimize; break;
      case SkinCommand::SysMenu: allowed = m_borderIcons & biSkinSystemMenu; break;
      case SkinCommand::RollUp: allowed = m_borderIcons & biSkinRollUp; break;
      case SkinCommand::MinimizeToTray: allowed = m_borderIcons & biSkinMinimizeToTray; break;
    }
    if (!allowed) {
      o->Enabled = false;
      o->Visible = !o->SkinRectInAPicture;
    }
  }
  AssignDefaultHints();
}

void TskSkinForm::AssignDefaultHints() {
  if (!m_useDefaultObjectHint || !m_skinData) return;
  for (auto& o : m_objects) {
    SkinCommand command;
    if (auto* b = dynamic_cast<TskSkinStdButtonObject*>(o.get())) command = b->Command;
    else if (auto* a = dynamic_cast<TskSkinAnimateObject*>(o.get())) command = a->Command;
    else continue;
    const char* key = nullptr;
    switch (command) {
      case SkinCommand::Close: key = "CLOSEBUTTON_HINT"; break;
      case SkinCommand::Maximize: key = "MAXBUTTON_HINT"; break;
      case SkinCommand::Minimize: key = "MINBUTTON_HINT"; break;
      case SkinCommand::SysMenu: key = "MENUBUTTON_HINT"; break;
      case SkinCommand::RollUp: key = "ROLLUPBUTTON_HINT"; break;
      case SkinCommand::MinimizeToTray: key = "TRAYBUTTON_HINT"; break;
      case SkinCommand::Default: break;
    }
    if (key) o->Hint = SkinInterfaceText(m_skinData, key);
  }
}

void TskSkinForm::ResetObjects() {
  for (auto& o : m_objects) {
    if (auto* a = dynamic_cast<TskSkinAnimateObject*>(o.get())) {
      a->MouseIn = false;
      a->Active = false;
      a->CurrentFrame = 1;
    } else if (!dynamic_cast<TskSkinCaptionObject*>(o.get())) {
      o->MouseIn = false;
      o->Active = false;
      o->MorphKf = 0;
    }
  }
}

void TskSkinForm::TrackActiveObject(int x, int y, bool track) {
  if (!IsFormActive()) return;
  const int old = m_activeObject;
  int found = -1;
  for (int i = 0; i < ObjectCount(); ++i) {
    const auto& o = m_objects[static_cast<std::size_t>(i)];
    if (o->Enabled && o->Visible && o->ObjectRect.Contains({x, y})) {
      found = i;
      break;
    }
  }
  m_activeObject = (found >= 0 && track) ? found : -1;
  if (m_captureObject >= 0 && m_activeObject != m_captureObject) m_activeObject = -1;
  if (m_activeObject >= ObjectCount()) m_activeObject = -1;
  if (m_activeObject == old) return;
  m_oldActiveObject = old;
  if (old >= 0 && old < ObjectCount()) {
    TskActiveSkinObject* o = m_objects[static_cast<std::size_t>(old)].get();
    if (o->Enabled && o->Visible) {
      o->MouseLeave();
      if (m_showObjectHint && !o->Hint.empty()) HideObjectHint();
    }
  }
  if (m_activeObject >= 0 && m_activeObject < ObjectCount()) {
    TskActiveSkinObject* o = m_objects[static_cast<std::size_t>(m_activeObject)].get();
    if (o->Enabled && o->Visible) {
      o->MouseEnter();
      // The enter handler may have changed the objects.
      if (IsLive(o)) ShowObjectHintFor(o);
    }
  }
}

void TskSkinForm::RequestObjectRedraw(TskActiveSkinObject* object) {
  if (!IsLive(object)) return;
  if (object->Morphing) StartTimer(kMorphTimer);
  else DrawObjectNow(object);
}

void TskSkinForm::DrawObjectNow(TskActiveSkinObject* object) {
  if (!IsLive(object) || !FormHasBorder() || !m_hwnd || !IsWindowVisible(m_hwnd)) return;
  HDC dc = GetWindowDC(m_hwnd);
  if (!dc) return;
  object->Draw(*dc, true);
  ReleaseDC(m_hwnd, dc);
}

void TskSkinForm::StartAnimation() { StartTimer(kAnimationTimer); }

void TskSkinForm::ApplyActiveState(bool repaint) {
  for (auto& o : m_objects) {
    auto* caption = dynamic_cast<TskSkinCaptionObject*>(o.get());
    if (!caption) continue;
    const bool active = IsFormActive();
    if (caption->Active != active) {
      caption->Active = active;
      if (repaint) {
        RepaintNC();
        if (caption->Morphing) StartTimer(kMorphTimer);
      } else if (caption->Morphing) {
        caption->MorphKf = active ? 1 : 0;
      }
    }
    break;
  }
  Fire(IsFormActive() ? OnActivate : OnDeActivate, this);
}

// ---- timers

void TskSkinForm::StartTimer(UINT_PTR id) {
  if (!m_hwnd) return;
  const UINT ms = id == kTrackTimer ? 50 : id == kMorphTimer ? 20 : 25;
  SetTimer(m_hwnd, id, ms, nullptr);
  if (id == kTrackTimer) m_trackingOn = true;
  if (id == kMorphTimer) m_morphOn = true;
  if (id == kAnimationTimer) m_animationOn = true;
}

void TskSkinForm::StopTimer(UINT_PTR id) {
  if (m_hwnd) KillTimer(m_hwnd, id);
  if (id == kTrackTimer) m_trackingOn = false;
  if (id == kMorphTimer) m_morphOn = false;
  if (id == kAnimationTimer) m_animationOn = false;
}

void TskSkinForm::StopTimers() {
  StopTimer(kTrackTimer);
  StopTimer(kMorphTimer);
  StopTimer(kAnimationTimer);
}

void TskSkinForm::TrackTimer() {
  if (!IsFormActive()) return;
  if (m_inLoop) {
    StopTimer(kTrackTimer);
    return;
  }
  Point cursor;
  GetCursorPos(&cursor);
  Rect r;
  GetWindowRect(m_hwnd, &r);
  const Point p{cursor.x - r.left, cursor.y - r.top};
  if (!m_geometry.clientRect.Contains(p)) TrackActiveObject(p.x, p.y, true);
  else if (m_activeObject >= 0) TrackActiveObject(-1, -1, true);
}

void TskSkinForm::MorphTimer() {
  bool any = false;
  for (std::size_t i = 0; i < m_objects.size(); ++i) {
    TskActiveSkinObject* o = m_objects[i].get();
    if (!o->CanMorphing()) continue;
    any = true;
    o->MorphKf = std::clamp(o->MorphKf + (o->Active ? 0.2 : -0.2), 0.0, 1.0);
    DrawObjectNow(o);
  }
  if (!any) StopTimer(kMorphTimer);
}

void TskSkinForm::AnimationTimer() {
  bool any = false;
  for (auto& o : m_objects)
    if (auto* a = dynamic_cast<TskSkinAnimateObject*>(o.get()); a && a->Active) {
      a->Tick(25);
      any = true;
    }
  if (!any) StopTimer(kAnimationTimer);
}

// ---- skin changes

void TskSkinForm::BeforeSkinChange() {
  m_skinSupport = false;
  StopTimers();
  FreeObjects();
}

void TskSkinForm::SkinChanged() {
  m_activeObject = m_oldActiveObject = m_captureObject = -1;
  m_skinSupport = m_skinData && !m_skinData->SkinEmpty();
  if (m_skinSupport) {
    MakeObjects();
  } else {
    MakeDefaultObjects();
    RemoveRegion();
    m_maskStrips = FrameMaskStrips{};
  }
  m_inChange = true;
  const int minW = GetMinWidth(), minH = GetMinHeight();
  const int w = m_form->Width(), h = m_form->Height();
  if (w < minW && h < minH) m_form->SetBounds(m_form->Left(), m_form->Top(), minW, minH);
  else if (h < minH) m_form->SetHeight(minH);
  else if (w < minW) m_form->SetWidth(minW);
  else NudgeWidth();
  if (m_rollUpState || m_windowState == TskWindowState::Minimized) m_form->SetHeight(GetMinHeight());
  if (m_windowState == TskWindowState::Minimized) m_form->SetWidth(GetMinWidth());
  m_formWidth = m_form->Width();
  m_formHeight = m_form->Height();
  if (m_skinSupport) ApplyFrameSize();
  RedrawWindow(m_hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  ApplyActiveState(true);
  StartTimer(kTrackTimer);
  Fire(OnChangeSkinData, this);
  m_inChange = false;
  if (m_clientWidth > 0) m_form->SetClientWidth(m_clientWidth);
  if (m_clientHeight > 0) m_form->SetClientHeight(m_clientHeight);
}

// ---- window states

void TskSkinForm::ChangeWindowState(TskWindowState state) {
  if (state == m_windowState || !m_form) return;
  const bool mainForm = Application && Application->MainForm() == m_form;
  if (!(state == TskWindowState::Minimized && mainForm)) m_windowState = state;
  switch (state) {
    case TskWindowState::Minimized: {
      if (mainForm) {
        Application->Minimize();
        return;
      }
      if (!m_hasOldBounds) {
        m_oldBounds = m_form->BoundsRect();
        m_hasOldBounds = true;
      }
      const Size minSize{GetMinWidth(), GetMinHeight()};
      std::vector<Point> taken;
      for (int i = 0; Application && i < Application->FormCount(); ++i) {
        TCustomForm* f = Application->Forms(i);
        if (f == m_form || f == Application->MainForm() || !f->Visible()) continue;
        TskSkinForm* sf = Find(f);
        if (sf && sf->SkinLoaded() && sf->WindowState() == TskWindowState::Minimized)
          taken.push_back({f->Left(), f->Top()});
      }
      const Point at = MinimizedPosition(MonitorArea(false), minSize, taken);
      SetFormBounds(Rect::FromSize(at, minSize));
      break;
    }
    case TskWindowState::Maximized: {
      if (!m_hasOldBounds) {
        m_oldBounds = m_form->BoundsRect();
        m_hasOldBounds = true;
      }
      const Size screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
      SetFormBounds(MaximizedBounds(MonitorArea(true), MonitorArea(false), m_maximizeOnFullScreen, screen));
      break;
    }
    case TskWindowState::Normal: {
      m_rollUpWhileMaximized = false;
      const Size before = m_form->BoundsRect().GetSize();
      if (m_hasOldBounds) SetFormBounds(m_oldBounds);
      StartTimer(kTrackTimer);
      if (m_form->BoundsRect().GetSize() == before) NudgeWidth();
      RedrawWindow(m_hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      m_hasOldBounds = false;
      break;
    }
  }
}

void TskSkinForm::SetRollUpState(bool on) {
  if (!(m_borderIcons & biSkinRollUp) || m_windowState == TskWindowState::Minimized) return;
  if (m_rollUpState && m_windowState == TskWindowState::Maximized && !m_rollUpWhileMaximized) return;
  // Rolling up twice would forget the height to come back to.
  if (on == m_rollUpState) return;
  if (m_windowState == TskWindowState::Maximized) m_rollUpWhileMaximized = on;
  if (on) {
    m_oldHeight = m_form->Height();
    m_rollUpState = true;
    m_form->SetHeight(GetMinHeight());
  } else {
    m_rollUpState = false;
    m_form->SetHeight(m_oldHeight);
  }
  Fire(OnChangeRollUpState, this);
}

void TskSkinForm::HideToTray() {
  if (!m_trayIcon) return;
  m_trayIcon->SetMinimizeToTray(true);
  // The icon hides the main form when it hears of the minimize; a form that was never
  // shown (no window to minimize) goes to the tray all the same.
  if (Application) Application->Minimize();
  TCustomForm* main = Application && Application->MainForm() ? Application->MainForm() : m_form;
  if (m_trayIcon && main && main->Visible()) m_trayIcon->HideMainForm();
  Fire(OnMinimizeToTray, this);
}

void TskSkinForm::ShowFromTray() {
  if (!m_trayIcon) return;
  m_trayIcon->SetMinimizeToTray(false);
  m_trayIcon->ShowMainForm();
  if (Application) Application->Restore();
  if (m_trayIcon && !m_alwaysShowInTray) m_trayIcon->HideIcon();
  Fire(OnRestoreFromTray, this);
}

void TskSkinForm::SetTrayIcon(TskTrayIcon* icon) {
  if (icon == m_trayIcon) return;
  if (m_trayIcon) {
    if (m_trayDblClickSet) m_trayIcon->OnDblClick = nullptr;
    if (m_trayMenu && m_trayIcon->PopupMenu() == m_trayMenu) m_trayIcon->SetPopupMenu(nullptr);
    m_trayIcon->RemoveFreeNotification(this);
  }
  m_trayIcon = icon;
  m_trayDblClickSet = false;
  if (!icon) return;
  icon->FreeNotification(this);
  if (!m_alwaysShowInTray) icon->HideIcon();
  if (!icon->PopupMenu()) {
    BuildTrayMenu();
    icon->SetPopupMenu(m_trayMenu);
  }
  if (!icon->OnDblClick) {
    icon->OnDblClick = [this](TObject*) { ShowFromTray(); };
    m_trayDblClickSet = true;
  }
}

void TskSkinForm::BuildTrayMenu() {
  if (!m_trayMenu) m_trayMenu = new TskSkinPopupMenu(this);
  TMenuItem* root = m_trayMenu->Items();
  root->Clear();
  auto add = [&](const char* name, std::string caption, std::function<void()> run) {
    auto* item = new TMenuItem(m_trayMenu);
    item->SetName(name);
    item->SetCaption(caption);
    if (run) item->OnClick = [run](TObject*) { run(); };
    root->Add(item);
  };
  add("TRAY_SKF_RESTORE", SkinInterfaceText(m_skinData, "MI_RESTORECAPTION"), [this] { ShowFromTray(); });
  add("TRAY_SKF_LINE", "-", nullptr);
  add("TRAY_SKF_CLOSE", SkinInterfaceText(m_skinData, "MI_CLOSECAPTION"), [this] { CloseForm(); });
}

void TskSkinForm::CaptionDblClick() {
  if (Sizeable()) {
    if (m_windowState == TskWindowState::Minimized) {
      ChangeWindowState(TskWindowState::Normal);
      return;
    }
    if (m_windowState != TskWindowState::Maximized && !m_rollUpState && (m_borderIcons & biSkinMaximize)) {
      ChangeWindowState(TskWindowState::Maximized);
      return;
    }
    if (m_windowState == TskWindowState::Maximized && !m_rollUpWhileMaximized) {
      ChangeWindowState(TskWindowState::Normal);
      return;
    }
  }
  SetRollUpState(!m_rollUpState);
}

// ---- system menu

std::vector<TskSysMenuEntry> TskSkinForm::SystemMenuEntries() const {
  std::vector<TskSysMenuEntry> out;
  auto add = [&](TskSysMenuAction a, const char* key) { out.push_back({a, SkinInterfaceText(m_skinData, key), ""}); };
  if (m_windowState != TskWindowState::Minimized && (m_borderIcons & biSkinMinimize))
    add(TskSysMenuAction::Minimize, "MI_MINCAPTION");
  if (m_windowState != TskWindowState::Maximized && (m_borderIcons & biSkinMaximize))
    add(TskSysMenuAction::Maximize, "MI_MAXCAPTION");
  if (m_windowState != TskWindowState::Normal || m_rollUpState) add(TskSysMenuAction::Restore, "MI_RESTORECAPTION");
  if (!m_rollUpState && m_windowState != TskWindowState::Minimized && (m_borderIcons & biSkinRollUp))
    add(TskSysMenuAction::RollUp, "MI_ROLLUPCAPTION");
  if (m_borderIcons & biSkinMinimizeToTray) add(TskSysMenuAction::MinimizeToTray, "MI_MINTOTRAYCAPTION");
  if (!out.empty()) out.push_back({TskSysMenuAction::Separator, "-", ""});
  out.push_back({TskSysMenuAction::Close, SkinInterfaceText(m_skinData, "MI_CLOSECAPTION"), "Alt+F4"});
  return out;
}

void TskSkinForm::RunSysMenuAction(TskSysMenuAction action) {
  switch (action) {
    case TskSysMenuAction::Minimize:
      if (m_alwaysMinimizeToTray) HideToTray();
      else ChangeWindowState(TskWindowState::Minimized);
      break;
    case TskSysMenuAction::Maximize: ChangeWindowState(TskWindowState::Maximized); break;
    case TskSysMenuAction::Restore:
      if (m_rollUpState && (m_rollUpWhileMaximized || m_windowState == TskWindowState::Normal)) SetRollUpState(false);
      else ChangeWindowState(TskWindowState::Normal);
      break;
    case TskSysMenuAction::RollUp: SetRollUpState(true); break;
    case TskSysMenuAction::MinimizeToTray: HideToTray(); break;
    case TskSysMenuAction::Close: CloseForm(); break;
    case TskSysMenuAction::Separator: break;
  }
}

namespace {

// The names the system menu's items carry, so a merge finds them again and the menu
// draws the caption-button glyphs beside them.
const char* SysMenuItemName(TskSysMenuAction action) {
  switch (action) {
    case TskSysMenuAction::Minimize: return "SKF_MINITEM";
    case TskSysMenuAction::Maximize: return "SKF_MAXITEM";
    case TskSysMenuAction::Restore: return "SKF_RESTORE";
    case TskSysMenuAction::RollUp: return "SKF_ROLLUP";
    case TskSysMenuAction::MinimizeToTray: return "SKF_MINTOTRAY";
    case TskSysMenuAction::Close: return "SKF_CLOSE";
    case TskSysMenuAction::Separator: return "SKF_LINE";
  }
  return "";
}

}  // namespace

TMenuItem* TskSkinForm::SystemMenuItem() {
  auto make = [this](TComponent* owner, const TskSysMenuEntry& e) {
    auto* item = new TMenuItem(owner);
    item->SetName(SysMenuItemName(e.action));
    item->SetCaption(e.caption);
    item->SetShortCut(TextToShortCut(e.shortcut));
    const TskSysMenuAction action = e.action;
    if (action != TskSysMenuAction::Separator) item->OnClick = [this, action](TObject*) { RunSysMenuAction(action); };
    return item;
  };
  const std::vector<TskSysMenuEntry> entries = SystemMenuEntries();
  if (!m_systemMenu) {
    if (!m_ownSysMenu) return nullptr;
    TMenuItem* root = m_ownSysMenu->Items();
    root->Clear();
    for (const TskSysMenuEntry& e : entries) root->Add(make(m_ownSysMenu, e));
    return root;
  }
  TMenuItem* root = m_systemMenu->Items();
  if (!m_useDefaultSysMenu) return root;
  // Out with the window commands of the last opening, found by name wherever they are.
  for (TskSysMenuAction a : {TskSysMenuAction::Minimize, TskSysMenuAction::Maximize, TskSysMenuAction::Restore,
                             TskSysMenuAction::RollUp, TskSysMenuAction::MinimizeToTray, TskSysMenuAction::Close}) {
    if (auto* old = dynamic_cast<TMenuItem*>(m_systemMenu->FindComponent(SysMenuItemName(a)))) delete old;
  }
  int at = 0;
  for (TskSysMenuAction a : {TskSysMenuAction::Minimize, TskSysMenuAction::Restore, TskSysMenuAction::Maximize,
                             TskSysMenuAction::RollUp, TskSysMenuAction::MinimizeToTray}) {
    for (const TskSysMenuEntry& e : entries)
      if (e.action == a) root->Insert(at++, make(m_systemMenu, e));
  }
  for (const TskSysMenuEntry& e : entries)
    if (e.action == TskSysMenuAction::Close) root->Add(make(m_systemMenu, e));
  return root;
}

void TskSkinForm::ShowSystemMenu(Point screen) {
  if (!m_hwnd || !m_skinMenu) return;
  TMenuItem* root = SystemMenuItem();
  if (!root) return;
  m_skinMenu->EnterMenuMode();
  m_skinMenu->Popup(nullptr, MenuSkin(), false, root, {screen.x, screen.y, screen.x, screen.y});
}

void TskSkinForm::ShowSystemMenuFromKeyboard() {
  if (!m_hwnd) return;
  // Below the system-menu object when it shows, else at the frame's client corner.
  for (auto& o : m_objects)
    if (auto* b = dynamic_cast<TskSkinStdButtonObject*>(o.get());
        b && b->Command == SkinCommand::SysMenu && b->Visible && b->Enabled) {
      b->SetDown(true);
      b->MenuItem = SystemMenuItem();
      if (b->MenuItem) DropDownMenu(b->MenuItem, b->ObjectRect, b->PopupUp);
      if (!m_skinMenu->Visible()) b->SetDown(false);
      return;
    }
  Rect r;
  GetWindowRect(m_hwnd, &r);
  CalcFrameGeometry();
  ShowSystemMenu({r.left + m_geometry.clientRect.left, r.top + m_geometry.clientRect.top});
}

void TskSkinForm::DropDownMenu(TMenuItem* item, const Rect& objectRect, bool popupUp) {
  if (!item || !m_hwnd || !m_skinMenu) return;
  Rect w;
  GetWindowRect(m_hwnd, &w);
  const Rect anchor = objectRect.Translated(w.left, w.top);
  if (auto* own = dynamic_cast<TskSkinPopupMenu*>(item->GetParentMenu()); own && own->Items() == item) {
    own->PopupFromRect(anchor, popupUp);
    return;
  }
  m_skinMenu->EnterMenuMode();
  m_skinMenu->Popup(nullptr, MenuSkin(), popupUp, item, anchor, 0);
}

// ---- alpha

void TskSkinForm::SetLayered(bool on) {
  if (!m_hwnd) return;
  const LONG_PTR ex = GetWindowLong(m_hwnd, GWL_EXSTYLE);
  SetWindowLong(m_hwnd, GWL_EXSTYLE, on ? (ex | WS_EX_LAYERED) : (ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED)));
  m_layered = on;
}

void TskSkinForm::SetWindowAlpha(int alpha) {
  if (m_hwnd) SetLayeredWindowAttributes(m_hwnd, 0, static_cast<BYTE>(std::clamp(alpha, 0, 255)), LWA_ALPHA);
}

void TskSkinForm::SetAlphaBlend(bool on) {
  m_alphaBlend = on;
  if (HasState(csLoading) || HasState(csDesigning) || !m_hwnd) return;
  if (on) {
    SetLayered(true);
    SetWindowAlpha(m_alphaBlendValue);
  } else {
    SetLayered(false);
  }
}

void TskSkinForm::SetAlphaBlendValue(int value) {
  m_alphaBlendValue = std::clamp(value, 0, 255);
  if (m_alphaBlend && m_layered) SetWindowAlpha(m_alphaBlendValue);
}

void TskSkinForm::AlphaTimer() {
  KillTimer(m_hwnd, kAlphaTimer);
  const int target = (m_alphaBlendAnimation && !m_alphaBlend) ? 255 : m_alphaBlendValue;
  if (m_alphaBlendAnimation) {
    // Let the window draw itself before it fades in.
    UpdateWindow(m_hwnd);
    for (int a = 5; a < target; a += 5) SetWindowAlpha(a);
    SetWindowAlpha(target);
  } else if (target != 255) {
    SetWindowAlpha(target);
  }
  if (target == 255) SetLayered(false);
}
