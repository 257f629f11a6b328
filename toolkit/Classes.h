// The object model of the framework: TObject, TPersistent, TComponent with owners, names
// and removal notices, the common event types and the framework's exception classes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class TReader;
class TStreamValue;

// Exceptions of the framework. Each carries the message the user sees in the error box.
class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EComponentError : public Exception {
 public:
  using Exception::Exception;
};
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};
class EListError : public Exception {
 public:
  using Exception::Exception;
};
class EStringListError : public EListError {
 public:
  using EListError::EListError;
};
class EFOpenError : public Exception {
 public:
  using Exception::Exception;
};
class EFCreateError : public Exception {
 public:
  using Exception::Exception;
};
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};
class EMenuError : public Exception {
 public:
  using Exception::Exception;
};

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
  // The class's own name ("TButton"), as the streaming format and the error texts use it.
  std::string ClassName() const;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// Calls an event when it is assigned.
inline void Fire(const TNotifyEvent& e, TObject* sender) {
  if (e) e(sender);
}

class TPersistent : public TObject {
 public:
  // Copies `source` into this object; classes that know each other override it. The
  // default asks the source (AssignTo) and fails with "Cannot assign a X to a Y".
  virtual void Assign(const TPersistent* source);

  // Streaming: sets one published property read from a form resource. Returns false when
  // the class has no such property, so the reader can report it.
  virtual bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader);
  // The object behind a property of class type ("Font", "Lines"), so "Font.Name" can be
  // read into it; nullptr when there is none of that name.
  virtual TPersistent* PropertyObject(std::string_view name);

 protected:
  virtual void AssignTo(TPersistent* dest) const;
  [[noreturn]] void AssignError(const TPersistent* source) const;
};

enum class TOperation { opInsert, opRemove };

// ComponentState flags. Designing is part of the model because skinned classes test it;
// in this program nothing ever turns it on.
enum TComponentStateFlag : std::uint32_t {
  csLoading = 1u << 0,
  csReading = 1u << 1,
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
  csUpdating = 1u << 5,
};
using TComponentState = std::uint32_t;

class TComponent : public TPersistent {
 public:
  // A component with an owner is owned by it: the owner destroys it, last created first.
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  TComponent* Owner() const { return m_owner; }
  const std::string& Name() const { return m_name; }
  // Names are identifiers, unique (without regard to case) among the owner's components;
  // an empty name is allowed any number of times.
  void SetName(std::string_view name);
  std::intptr_t Tag() const { return m_tag; }
  void SetTag(std::intptr_t tag) { m_tag = tag; }

  int ComponentCount() const { return static_cast<int>(m_components.size()); }
  TComponent* Components(int index) const;
  // Position among the owner's components, -1 without owner.
  int ComponentIndex() const;
  // The owned component of that name (without regard to case), or nullptr.
  TComponent* FindComponent(std::string_view name) const;

  // Takes ownership of `component` (removing it from its previous owner), or gives it up.
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Destroys every owned component, last created first.
  void DestroyComponents();

  // Asks for a removal notice when `component` is destroyed; the request is mutual, so a
  // component in another owner that this one refers to clears its link either way round.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Reads false once the component is destroyed; for code that must outlive a call which
  // may destroy it (a modal loop, an event).
  std::shared_ptr<const bool> AliveFlag() const { return m_alive; }

  TComponentState ComponentState() const { return m_state; }
  bool HasState(TComponentStateFlag flag) const { return (m_state & flag) != 0; }

  // Runs the first stage of destruction while the object is still whole: marks it and its
  // components as being destroyed and lets subclasses fire their destroy events. Owners
  // call it before deleting a component; the destructor calls it when nobody has.
  void BeforeDestruction();

  // Streaming hooks. SetParentComponent receives the object that encloses this one in a
  // form resource (a control's parent, a menu item's parent item); Loaded runs once every
  // component of the resource exists and every link is resolved.
  virtual void SetParentComponent(TComponent* parent);
  virtual void Loaded();
  void SetLoading(bool on);

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  // Told when a component is inserted into or removed from the owner, and when a component
  // this one asked to hear about is destroyed. The default passes owner notices on to every
  // owned component. Overrides clear their links and call the base.
  virtual void Notification(TComponent* component, TOperation operation);
  // The first stage of destruction (see BeforeDestruction).
  virtual void Destroying();
  void SetState(TComponentStateFlag flag, bool on);

  // Cleared when the component is destroyed, so code that ran an event (which may destroy
  // it) can tell before touching it again.
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);

 private:
  void ValidateRename(std::string_view newName) const;
  void InsertOwned(TComponent* component);
  void RemoveOwned(TComponent* component);
  void RemoveNotifyLink(TComponent* component);

  TComponent* m_owner = nullptr;
  std::string m_name;
  std::intptr_t m_tag = 0;
  std::vector<std::unique_ptr<TComponent>> m_components;
  std::vector<TComponent*> m_freeNotifies;
  TComponentState m_state = 0;
  bool m_beforeDestructionDone = false;
};

// Whether `name` is an identifier (letter or underscore, then letters, digits, underscores).
bool IsValidIdent(std::string_view name);
// Comparisons without regard to ASCII letter case (other bytes compare as they are), as
// names, property identifiers and default string lists use them.
bool SameText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
