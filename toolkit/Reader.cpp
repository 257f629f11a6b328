// The class registry, form resources and the reader that builds components from a resource.
#include "toolkit/Reader.h"

void RegisterToolkitClasses();  // Registry.cpp

namespace {

struct ClassRegistry {
  std::map<std::string, TComponentFactory> factories;
  bool builtinsDone = false;
};

ClassRegistry& Classes() {
  static ClassRegistry registry;
  if (!registry.builtinsDone) {
    registry.builtinsDone = true;
    RegisterToolkitClasses();
  }
  return registry;
}

std::map<std::string, std::string>& FormResources() {
  static std::map<std::string, std::string> resources;
  return resources;
}

}  // namespace

void RegisterClass(std::string_view className, TComponentFactory factory) {
  Classes().factories[LowerCase(className)] = std::move(factory);
}

TComponentFactory FindClass(std::string_view className) {
  auto& f = Classes().factories;
  auto it = f.find(LowerCase(className));
  return it == f.end() ? TComponentFactory() : it->second;
}

void RegisterFormResource(std::string_view className, std::string text) {
  FormResources()[LowerCase(className)] = std::move(text);
}

const std::string* FindFormResource(std::string_view className) {
  auto& r = FormResources();
  auto it = r.find(LowerCase(className));
  return it == r.end() ? nullptr : &it->second;
}

bool THandlerRegistry::BindField(TComponent* component) const {
  auto it = m_fields.find(LowerCase(component->Name()));
  if (it == m_fields.end()) return true;
  return it->second(component);
}

TReader::TReader(TComponent* root, const THandlerRegistry* handlers)
    : m_root(root), m_handlers(handlers) {}

void TReader::ReadLink(const TStreamValue& value, std::function<void(TComponent*)> assign) {
  m_links.push_back({value.AsIdent(), std::move(assign), m_context, value.line});
}

TComponent* TReader::ResolveName(const std::string& name) const {
  if (SameText(name, "nil")) return nullptr;
  if (SameText(name, m_root->Name())) return m_root;
  TComponent* c = m_root->FindComponent(name);
  if (!c) throw EReadError("Component " + name + " does not exist");
  return c;
}

void TReader::ReadProperties(TComponent* component, const TStreamObject& obj) {
  std::string owner = obj.name.empty() ? obj.className : obj.name;
  for (const TStreamProperty& prop : obj.properties) {
    m_context = owner + "." + prop.name;
    m_line = prop.line;
    try {
      // "Font.Name": walk the class-typed properties, then set the last part.
      TPersistent* target = component;
      std::string_view path = prop.name;
      for (std::size_t dot = path.find('.'); dot != std::string_view::npos; dot = path.find('.')) {
        target = target->PropertyObject(path.substr(0, dot));
        if (!target) throw EReadError("Property " + prop.name + " does not exist");
        path.remove_prefix(dot + 1);
      }
      if (!target->ReadProperty(path, prop.value, *this))
        throw EReadError("Property " + prop.name + " does not exist");
    } catch (const std::exception& e) {
      throw EReadError("Line " + std::to_string(prop.line) + ": Error reading " + m_context + ": " +
                       e.what());
    }
  }
}

void TReader::ReadChild(const TStreamObject& obj, TComponent* parent) {
  auto fail = [&](const std::string& what) {
    throw EReadError("Line " + std::to_string(obj.line) + ": " + what);
  };
  TComponentFactory factory = FindClass(obj.className);
  if (!factory) fail("Class " + obj.className + " not found");
  TComponent* c = nullptr;
  try {
    c = factory(m_root);
    c->SetLoading(true);
    m_loaded.push_back(c);
    c->SetName(obj.name);
  } catch (const EReadError&) {
    throw;
  } catch (const std::exception& e) {
    fail(e.what());
  }
  if (m_handlers && !obj.name.empty() && !m_handlers->BindField(c))
    fail("Field " + obj.name + " does not fit a " + obj.className);
  try {
    c->SetParentComponent(parent);
  } catch (const std::exception& e) {
    fail("Cannot place " + obj.name + " in " + parent->Name() + ": " + e.what());
  }
  ReadProperties(c, obj);
  for (const TStreamObject& child : obj.children) ReadChild(child, c);
}

void TReader::Read(const TStreamObject& top) {
  if (!SameText(top.className, m_root->ClassName()))
    throw EReadError("Line " + std::to_string(top.line) + ": the resource describes a " +
                     top.className + ", not a " + m_root->ClassName());
  m_loaded.push_back(m_root);
  m_root->SetLoading(true);
  try {
    if (!top.name.empty()) m_root->SetName(top.name);
    ReadProperties(m_root, top);
    for (const TStreamObject& child : top.children) ReadChild(child, m_root);
    for (const PendingLink& link : m_links) {
      try {
        link.assign(ResolveName(link.target));
      } catch (const std::exception& e) {
        throw EReadError("Line " + std::to_string(link.line) + ": Error reading " + link.context +
                         ": " + e.what());
      }
    }
  } catch (...) {
    for (TComponent* c : m_loaded) c->SetLoading(false);
    throw;
  }
  for (TComponent* c : m_loaded) c->Loaded();
}

void ReadComponentResource(TComponent* root, std::string_view text,
                           const THandlerRegistry* handlers) {
  TStreamObject top = ParseFormText(text);
  TReader reader(root, handlers);
  reader.Read(top);
}
