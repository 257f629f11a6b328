// TObject, TPersistent and TComponent: ownership, names, removal notices and state.
#include "toolkit/Classes.h"

#include <algorithm>
#include <cxxabi.h>
#include <typeinfo>

#include "toolkit/Streaming.h"

std::string TObject::ClassName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  std::string name = (status == 0 && demangled) ? demangled.get() : mangled;
  // Classes declared inside a function or a namespace keep only their last part.
  std::size_t colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

void TPersistent::Assign(const TPersistent* source) {
  if (source == nullptr) AssignError(nullptr);
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const { dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* source) const {
  std::string from = source ? source->ClassName() : std::string("nil");
  throw EConvertError("Cannot assign a " + from + " to a " + ClassName());
}

bool TPersistent::ReadProperty(std::string_view, const TStreamValue&, TReader&) { return false; }

TPersistent* TPersistent::PropertyObject(std::string_view) { return nullptr; }

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  *m_alive = false;
  BeforeDestruction();
  // Partners that asked for notices clear their links to this component.
  std::vector<TComponent*> partners;
  partners.swap(m_freeNotifies);
  for (TComponent* partner : partners) {
    partner->RemoveNotifyLink(this);
    partner->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  // Leaving the owner tells every sibling, so links between components of one form are
  // cleared whatever order the form destroys them in.
  if (m_owner) m_owner->RemoveComponent(this);
}

void TComponent::BeforeDestruction() {
  if (m_beforeDestructionDone) return;
  m_beforeDestructionDone = true;
  SetState(csDestroying, true);
  Destroying();
  for (std::size_t i = 0; i < m_components.size(); ++i) m_components[i]->BeforeDestruction();
}

void TComponent::Destroying() {}

void TComponent::SetState(TComponentStateFlag flag, bool on) {
  if (on)
    m_state |= flag;
  else
    m_state &= ~static_cast<TComponentState>(flag);
}

void TComponent::SetLoading(bool on) {
  SetState(csLoading, on);
  SetState(csReading, on);
}

void TComponent::Loaded() { SetLoading(false); }

void TComponent::SetParentComponent(TComponent*) {}

bool IsValidIdent(std::string_view name) {
  if (name.empty()) return false;
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!letter(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(),
                     [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

static char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

int CompareText(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(FoldCase(a[i]));
    unsigned char cb = static_cast<unsigned char>(FoldCase(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = FoldCase(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return r;
}

void TComponent::ValidateRename(std::string_view newName) const {
  if (!newName.empty() && !IsValidIdent(newName))
    throw EComponentError("'" + std::string(newName) + "' is not a valid component name");
  if (m_owner && !newName.empty() && !SameText(newName, m_name)) {
    TComponent* other = m_owner->FindComponent(newName);
    if (other && other != this)
      throw EComponentError("A component named " + std::string(newName) + " already exists");
  }
}

void TComponent::SetName(std::string_view name) {
  if (name == m_name) return;
  ValidateRename(name);
  m_name = name;
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return m_components[static_cast<std::size_t>(index)].get();
}

int TComponent::ComponentIndex() const {
  if (!m_owner) return -1;
  for (int i = 0; i < m_owner->ComponentCount(); ++i)
    if (m_owner->m_components[static_cast<std::size_t>(i)].get() == this) return i;
  return -1;
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (const auto& c : m_components)
    if (SameText(c->m_name, name)) return c.get();
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->m_owner == this) return;
  if (!component->m_name.empty()) {
    TComponent* other = FindComponent(component->m_name);
    if (other)
      throw EComponentError("A component named " + component->m_name + " already exists");
  }
  if (component->m_owner) component->m_owner->RemoveComponent(component);
  InsertOwned(component);
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->m_owner != this) return;
  Notification(component, TOperation::opRemove);
  RemoveOwned(component);
}

void TComponent::InsertOwned(TComponent* component) {
  m_components.emplace_back(component);
  component->m_owner = this;
}

void TComponent::RemoveOwned(TComponent* component) {
  for (auto it = m_components.begin(); it != m_components.end(); ++it) {
    if (it->get() == component) {
      // The caller (or a running destructor) owns the object from here on.
      (void)it->release();
      m_components.erase(it);
      break;
    }
  }
  component->m_owner = nullptr;
}

void TComponent::DestroyComponents() {
  while (!m_components.empty()) {
    TComponent* last = m_components.back().get();
    last->BeforeDestruction();
    // The destructor takes the component out of this list before its memory goes.
    delete last;
  }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component) RemoveFreeNotification(component);
  // Index loop: a notice may destroy or create components.
  for (std::size_t i = 0; i < m_components.size(); ++i) {
    TComponent* c = m_components[i].get();
    if (c != component) c->Notification(component, operation);
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(m_freeNotifies.begin(), m_freeNotifies.end(), component) == m_freeNotifies.end())
    m_freeNotifies.push_back(component);
  if (std::find(component->m_freeNotifies.begin(), component->m_freeNotifies.end(), this) ==
      component->m_freeNotifies.end())
    component->m_freeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  RemoveNotifyLink(component);
  component->RemoveNotifyLink(this);
}

void TComponent::RemoveNotifyLink(TComponent* component) {
  m_freeNotifies.erase(std::remove(m_freeNotifies.begin(), m_freeNotifies.end(), component),
                       m_freeNotifies.end());
}

bool TComponent::ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) {
  if (SameText(name, "Name")) {
    SetName(value.AsString());
    return true;
  }
  if (SameText(name, "Tag")) {
    SetTag(static_cast<std::intptr_t>(value.AsInteger()));
    return true;
  }
  return TPersistent::ReadProperty(name, value, reader);
}
