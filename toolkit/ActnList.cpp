// TActionList, TAction and the links that keep their clients in step.
#include "toolkit/ActnList.h"

#include <algorithm>

#include "toolkit/Controls.h"
#include "toolkit/ImgList.h"
#include "toolkit/Reader.h"

// ---- TActionList

TActionList::TActionList(TComponent* owner) : TComponent(owner) {}

TActionList::~TActionList() { Destroying(); }

void TActionList::Destroying() {
  // The actions belong to the form, not to the list: they only leave it.
  std::vector<TAction*> actions;
  actions.swap(m_actions);
  for (TAction* a : actions) a->m_actionList = nullptr;
  TComponent::Destroying();
}

void TActionList::AddAction(TAction* action) {
  if (std::find(m_actions.begin(), m_actions.end(), action) == m_actions.end()) m_actions.push_back(action);
}

void TActionList::RemoveAction(TAction* action) {
  m_actions.erase(std::remove(m_actions.begin(), m_actions.end(), action), m_actions.end());
}

void TActionList::SetImages(TImageList* images) {
  if (m_images == images) return;
  if (m_images) m_images->RemoveFreeNotification(this);
  m_images = images;
  if (images) images->FreeNotification(this);
  ImagesChanged();
}

void TActionList::ImagesChanged() {
  for (TAction* a : std::vector<TAction*>(m_actions)) a->Changed(TAction::Part::ImageIndex);
}

void TActionList::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == m_images) {
    m_images = nullptr;
    ImagesChanged();
  }
}

bool TActionList::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "Images")) reader.ReadLink<TImageList>(v, [this](TImageList* l) { SetImages(l); });
  else if (SameText(name, "OnExecute")) OnExecute = reader.ReadHandler<TActionEvent>(v);
  else if (SameText(name, "OnUpdate")) OnUpdate = reader.ReadHandler<TActionEvent>(v);
  else return TComponent::ReadProperty(name, v, reader);
  return true;
}

// ---- TAction

TAction::TAction(TComponent* owner) : TComponent(owner) {}

TAction::~TAction() {
  DropLinks();
  SetActionList(nullptr);
}

void TAction::Destroying() {
  // The clients hear of it while the action is still whole.
  DropLinks();
  TComponent::Destroying();
}

void TAction::DropLinks() {
  std::vector<TActionLink*> links;
  links.swap(m_links);
  for (TActionLink* link : links) {
    link->m_action = nullptr;
    link->ActionDropped(this);
  }
}

void TAction::SetActionList(TActionList* list) {
  if (list == m_actionList) return;
  if (m_actionList) m_actionList->RemoveAction(this);
  m_actionList = list;
  if (list) list->AddAction(this);
  Changed(Part::ImageIndex);
}

int TAction::Index() const {
  if (!m_actionList) return -1;
  const auto& all = m_actionList->m_actions;
  return static_cast<int>(std::find(all.begin(), all.end(), this) - all.begin());
}

void TAction::SetParentComponent(TComponent* parent) {
  if (auto* list = dynamic_cast<TActionList*>(parent)) SetActionList(list);
}

TImageList* TAction::Images() const { return m_actionList ? m_actionList->Images() : nullptr; }

void TAction::Changed(Part part) {
  // A client's setter may unlink or destroy another client: each is looked up again.
  const std::vector<TActionLink*> links = m_links;
  for (TActionLink* link : links)
    if (std::find(m_links.begin(), m_links.end(), link) != m_links.end()) link->Changed(part);
}

void TAction::SetCaption(std::string_view caption) {
  if (caption == m_caption) return;
  m_caption = caption;
  Changed(Part::Caption);
}

void TAction::SetHint(std::string_view hint) {
  if (hint == m_hint) return;
  m_hint = hint;
  Changed(Part::Hint);
}

void TAction::SetEnabled(bool on) {
  if (on == m_enabled) return;
  m_enabled = on;
  Changed(Part::Enabled);
}

void TAction::SetChecked(bool on) {
  if (on == m_checked) return;
  m_checked = on;
  Changed(Part::Checked);
}

void TAction::SetVisible(bool on) {
  if (on == m_visible) return;
  m_visible = on;
  Changed(Part::Visible);
}

void TAction::SetImageIndex(int index) {
  if (index == m_imageIndex) return;
  m_imageIndex = index;
  Changed(Part::ImageIndex);
}

bool TAction::Execute() {
  if (!m_enabled) return false;
  std::shared_ptr<bool> alive = m_alive;
  if (m_actionList && m_actionList->OnExecute) {
    bool handled = false;
    m_actionList->OnExecute(this, handled);
    if (handled || !*alive) return true;
  }
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TAction::Update() {
  std::shared_ptr<bool> alive = m_alive;
  if (m_actionList && m_actionList->OnUpdate) {
    bool handled = false;
    m_actionList->OnUpdate(this, handled);
    if (handled || !*alive) return true;
  }
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

bool TAction::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "Caption")) SetCaption(v.AsString());
  else if (SameText(name, "Hint")) SetHint(v.AsString());
  else if (SameText(name, "Enabled")) SetEnabled(v.AsBool());
  else if (SameText(name, "Checked")) SetChecked(v.AsBool());
  else if (SameText(name, "Visible")) SetVisible(v.AsBool());
  else if (SameText(name, "ImageIndex")) SetImageIndex(v.AsInt());
  else if (SameText(name, "OnExecute")) {
    OnExecute = reader.ReadHandler<TNotifyEvent>(v);
    Changed(Part::OnExecute);
  } else if (SameText(name, "OnUpdate")) OnUpdate = reader.ReadHandler<TNotifyEvent>(v);
  else return TComponent::ReadProperty(name, v, reader);
  return true;
}

// ---- handlers and links

void TActionExecuteHandler::operator()(TObject* sender) const {
  if (TAction* a = const_cast<TAction*>(Action()); a && a->OnExecute) {
    TNotifyEvent handler = a->OnExecute;  // the handler may destroy the action
    handler(sender);
  }
}

bool IsActionExecuteHandler(const TNotifyEvent& handler, const TAction* action) {
  const auto* h = handler.target<TActionExecuteHandler>();
  return h && action && h->Action() == action;
}

TActionLink::~TActionLink() {
  if (m_action) {
    auto& links = m_action->m_links;
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
  }
}

void TActionLink::SetAction(TAction* action) {
  if (action == m_action) return;
  if (TAction* old = m_action) {
    auto& links = old->m_links;
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
    m_action = nullptr;
    ActionDropped(old);
  }
  m_action = action;
  if (!action) return;
  action->m_links.push_back(this);
  for (TAction::Part part : {TAction::Part::Caption, TAction::Part::Hint, TAction::Part::Enabled,
                             TAction::Part::Checked, TAction::Part::Visible, TAction::Part::ImageIndex,
                             TAction::Part::OnExecute}) {
    if (m_action != action) return;  // a setter of the client unlinked it
    Changed(part);
  }
}

void TActionLink::Changed(TAction::Part part) {
  TAction* a = m_action;
  if (!a) return;
  switch (part) {
    case TAction::Part::Caption: SetCaption(a->Caption()); break;
    case TAction::Part::Hint: SetHint(a->Hint()); break;
    case TAction::Part::Enabled: SetEnabled(a->Enabled()); break;
    case TAction::Part::Checked: SetChecked(a->Checked()); break;
    case TAction::Part::Visible: SetVisible(a->Visible()); break;
    case TAction::Part::ImageIndex: SetImageIndex(a->ImageIndex()); break;
    case TAction::Part::OnExecute: SetOnExecute(a); break;
  }
}

bool TActionLink::Execute(TComponent* client) {
  TAction* a = m_action;
  if (!a) return false;
  std::shared_ptr<const bool> alive = a->AliveFlag();
  a->SetActionComponent(client);
  bool ran = false;
  try {
    ran = a->Execute();
  } catch (...) {
    if (*alive) a->SetActionComponent(nullptr);
    throw;
  }
  if (*alive) a->SetActionComponent(nullptr);
  return ran;
}

bool TActionLink::Update() { return m_action && m_action->Update(); }

void TControlActionLink::SetCaption(const std::string& caption) { m_client.SetCaption(caption); }
void TControlActionLink::SetHint(const std::string& hint) { m_client.SetHint(hint); }
void TControlActionLink::SetEnabled(bool on) { m_client.SetEnabled(on); }
void TControlActionLink::SetVisible(bool on) { m_client.SetVisible(on); }

void TControlActionLink::SetOnExecute(TAction* action) {
  // A click handler of the client's own stays; an empty one or a previous action's
  // becomes this action's.
  if (!m_client.OnClick || m_client.OnClick.target<TActionExecuteHandler>())
    m_client.OnClick = TActionExecuteHandler(action);
}

void TControlActionLink::ActionDropped(TAction* action) {
  if (const auto* h = m_client.OnClick.target<TActionExecuteHandler>(); h && h->Target() == action)
    m_client.OnClick = nullptr;
}

void UpdateActionsOf(TControl& root) {
  if (!root.Visible() || root.HasState(csDesigning)) return;
  std::shared_ptr<const bool> alive = root.AliveFlag();
  root.InitiateAction();
  if (!*alive) return;
  auto* w = dynamic_cast<TWinControl*>(&root);
  if (!w) return;
  // An update handler may add or remove controls: the children are taken first and
  // each checked again before it is visited.
  std::vector<std::pair<TControl*, std::shared_ptr<const bool>>> children;
  for (int i = 0; i < w->ControlCount(); ++i) children.emplace_back(w->Controls(i), w->Controls(i)->AliveFlag());
  for (auto& [c, cAlive] : children)
    if (*cAlive && *alive) UpdateActionsOf(*c);
}
