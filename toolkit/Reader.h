// Reading a form resource into components: the class registry, the per-form registry of
// event handlers and component fields, and the reader that links everything by name.
#pragma once

#include <any>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Streaming.h"

using TComponentFactory = std::function<TComponent*(TComponent* owner)>;

// Maps class names to factories. The toolkit's own classes are registered on first use;
// higher layers add theirs (a resource that names TskSkinPanel where it named TPanel then
// gets the skinned class). Names compare without regard to case.
void RegisterClass(std::string_view className, TComponentFactory factory);
// The factory for a class, or an empty function.
TComponentFactory FindClass(std::string_view className);

template <class T>
void RegisterComponentClass(std::string_view className) {
  RegisterClass(className, [](TComponent* owner) -> TComponent* { return new T(owner); });
}

// What a form offers its resource: handler methods by name (each of a definite event type)
// and component fields filled with the component of the same name.
class THandlerRegistry {
 public:
  // Registers a handler of the event type `Event` (the caller names it:
  // Add<TNotifyEvent>("Button1Click", ...)).
  template <class Event>
  void Add(std::string_view name, std::type_identity_t<Event> handler) {
    m_handlers[LowerCase(name)] = std::move(handler);
  }
  // A member function as handler; the event type follows from its parameters.
  template <class C, class... Args>
  void Add(std::string_view name, C* object, void (C::*method)(Args...)) {
    m_handlers[LowerCase(name)] =
        std::function<void(Args...)>([object, method](Args... args) { (object->*method)(args...); });
  }

  // Fills `slot` with the component named `name` once it is created (a component of
  // another class is an error).
  template <class T>
  void Field(std::string_view name, T*& slot) {
    m_fields[LowerCase(name)] = [&slot](TComponent* c) {
      T* typed = dynamic_cast<T*>(c);
      if (!typed) return false;
      slot = typed;
      return true;
    };
  }

  bool HasHandler(std::string_view name) const { return m_handlers.count(LowerCase(name)) != 0; }
  // The handler as `Event`; EReadError when it is missing or of another event type.
  template <class Event>
  Event Find(std::string_view name) const {
    auto it = m_handlers.find(LowerCase(name));
    if (it == m_handlers.end())
      throw EReadError("Handler " + std::string(name) + " does not exist");
    if (const Event* e = std::any_cast<Event>(&it->second)) return *e;
    throw EReadError("Handler " + std::string(name) + " does not fit this event");
  }
  // Gives `component` to the field of its name; false when the field is of another class.
  bool BindField(TComponent* component) const;

 private:
  std::map<std::string, std::any> m_handlers;
  std::map<std::string, std::function<bool(TComponent*)>> m_fields;
};

class TReader {
 public:
  TReader(TComponent* root, const THandlerRegistry* handlers);

  TComponent* Root() const { return m_root; }

  // A component link (an identifier naming a component of the form, or nil). Links are
  // set after every component of the resource exists, in the order they were read.
  void ReadLink(const TStreamValue& value, std::function<void(TComponent*)> assign);
  template <class T>
  void ReadLink(const TStreamValue& value, std::function<void(T*)> assign) {
    std::string target = value.AsIdent();
    ReadLink(value, [assign = std::move(assign), target](TComponent* c) {
      T* typed = dynamic_cast<T*>(c);
      if (c && !typed)
        throw EReadError("Invalid property value: " + target + " is a " + c->ClassName());
      assign(typed);
    });
  }

  // An event handler by name, from the form's registry; nil clears the event.
  template <class Event>
  Event ReadHandler(const TStreamValue& value) const {
    const std::string& name = value.AsIdent();
    if (SameText(name, "nil")) return Event();
    if (!m_handlers) throw EReadError("Handler " + name + " does not exist");
    return m_handlers->template Find<Event>(name);
  }

  // Reads the whole resource into the root component: its properties, then its
  // components, then the links, then Loaded on every component read.
  void Read(const TStreamObject& top);

 private:
  struct PendingLink {
    std::string target;
    std::function<void(TComponent*)> assign;
    std::string context;
    int line;
  };

  void ReadProperties(TComponent* component, const TStreamObject& obj);
  void ReadChild(const TStreamObject& obj, TComponent* parent);
  TComponent* ResolveName(const std::string& name) const;

  TComponent* m_root;
  const THandlerRegistry* m_handlers;
  std::vector<TComponent*> m_loaded;
  std::vector<PendingLink> m_links;
  std::string m_context;  // "Component.Property" being read, for error texts
  int m_line = 0;
};

// Parses `text` and reads it into `root` (see TReader::Read). The top object's class must
// be root's class. Every fault is an EReadError that says where and what.
void ReadComponentResource(TComponent* root, std::string_view text,
                           const THandlerRegistry* handlers);

// The resource text registered for a form class ("Tkavri"), or nullptr; forms read theirs
// when they are created.
void RegisterFormResource(std::string_view className, std::string text);
const std::string* FindFormResource(std::string_view className);
