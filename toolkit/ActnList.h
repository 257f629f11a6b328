// Actions: TAction (a command with caption, hint, enabled, checked, visible and image
// state shared by every control bound to it), TActionList (a group of actions with one
// image list and list-wide handlers) and TActionLink (what keeps a client in step).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Classes.h"

class TAction;
class TActionLink;
class TControl;
class TImageList;

using TActionEvent = std::function<void(TAction* action, bool& handled)>;

class TActionList : public TComponent {
 public:
  explicit TActionList(TComponent* owner);
  ~TActionList() override;

  int ActionCount() const { return static_cast<int>(m_actions.size()); }
  TAction* Actions(int index) const { return m_actions.at(static_cast<std::size_t>(index)); }
  TImageList* Images() const { return m_images; }
  void SetImages(TImageList* images);

  // Run before an action's own handler; one that sets `handled` takes the event.
  TActionEvent OnExecute;
  TActionEvent OnUpdate;

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void Destroying() override;

 private:
  friend class TAction;
  void AddAction(TAction* action);
  void RemoveAction(TAction* action);
  // Clients draw the list's images: a change of the list is a change of every action.
  void ImagesChanged();

  std::vector<TAction*> m_actions;
  TImageList* m_images = nullptr;
};

class TAction : public TComponent {
 public:
  explicit TAction(TComponent* owner);
  ~TAction() override;

  TActionList* ActionList() const { return m_actionList; }
  void SetActionList(TActionList* list);
  // Position in its list, -1 outside one.
  int Index() const;

  const std::string& Caption() const { return m_caption; }
  void SetCaption(std::string_view caption);
  const std::string& Hint() const { return m_hint; }
  void SetHint(std::string_view hint);
  bool Enabled() const { return m_enabled; }
  void SetEnabled(bool on);
  bool Checked() const { return m_checked; }
  void SetChecked(bool on);
  bool Visible() const { return m_visible; }
  void SetVisible(bool on);
  int ImageIndex() const { return m_imageIndex; }
  void SetImageIndex(int index);
  // The image list of its action list, or nullptr.
  TImageList* Images() const;

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

  // Runs the command: the list's OnExecute, then (unless it handled it) OnExecute with the
  // action as sender. A disabled action does nothing. True when a handler ran.
  bool Execute();
  // Refreshes the state: the list's OnUpdate, then (unless it handled it) OnUpdate. True
  // when a handler ran.
  bool Update();
  // The client whose click is executing the action now, or nullptr.
  TComponent* ActionComponent() const { return m_actionComponent; }
  void SetActionComponent(TComponent* c) { m_actionComponent = c; }

  void SetParentComponent(TComponent* parent) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void Destroying() override;

 private:
  friend class TActionLink;
  friend class TActionList;
  enum class Part { Caption, Hint, Enabled, Checked, Visible, ImageIndex, OnExecute };
  void Changed(Part part);
  void DropLinks();

  TActionList* m_actionList = nullptr;
  std::string m_caption;
  std::string m_hint;
  bool m_enabled = true;
  bool m_checked = false;
  bool m_visible = true;
  int m_imageIndex = -1;
  std::vector<TActionLink*> m_links;
  TComponent* m_actionComponent = nullptr;
};

// What a link puts into its client's OnClick: the action's OnExecute, called with the
// client as sender. Its type tells a client's click that OnClick is the action's own and
// not a handler of the client's.
class TActionExecuteHandler {
 public:
  explicit TActionExecuteHandler(TAction* action) : m_action(action), m_alive(action->AliveFlag()) {}
  void operator()(TObject* sender) const;
  // The action while it lives, else nullptr.
  const TAction* Action() const { return m_alive.expired() || !*m_alive.lock() ? nullptr : m_action; }
  // The action it was made for, alive or not (only to compare).
  const TAction* Target() const { return m_action; }

 private:
  TAction* m_action;
  std::weak_ptr<const bool> m_alive;
};

// Whether `handler` is the OnExecute handler a link to `action` put in place.
bool IsActionExecuteHandler(const TNotifyEvent& handler, const TAction* action);

// Binds a client to an action: every change of the action reaches the client through
// the virtual setters, and the link drops the action when it is destroyed.
class TActionLink {
 public:
  TActionLink() = default;
  TActionLink(const TActionLink&) = delete;
  TActionLink& operator=(const TActionLink&) = delete;
  virtual ~TActionLink();

  TAction* Action() const { return m_action; }
  // Links `action` (or none) and copies all its state to the client.
  void SetAction(TAction* action);
  bool Execute(TComponent* client);
  bool Update();

 protected:
  virtual void SetCaption(const std::string&) {}
  virtual void SetHint(const std::string&) {}
  virtual void SetEnabled(bool) {}
  virtual void SetChecked(bool) {}
  virtual void SetVisible(bool) {}
  virtual void SetImageIndex(int) {}
  virtual void SetOnExecute(TAction*) {}
  // The action is going (destroyed or unlinked): the client forgets what pointed to it.
  virtual void ActionDropped(TAction*) {}

 private:
  friend class TAction;
  void Changed(TAction::Part part);

  TAction* m_action = nullptr;
};

// The link of a control: caption, hint, enabled and visible state and OnClick.
class TControlActionLink : public TActionLink {
 public:
  explicit TControlActionLink(TControl& client) : m_client(client) {}

 protected:
  void SetCaption(const std::string& caption) override;
  void SetHint(const std::string& hint) override;
  void SetEnabled(bool on) override;
  void SetVisible(bool on) override;
  void SetOnExecute(TAction* action) override;
  void ActionDropped(TAction* action) override;
  TControl& Client() const { return m_client; }

 private:
  TControl& m_client;
};

// Every visible control of `root` (itself included) that is bound to an action refreshes
// it; the application runs it over each shown form when its message queue runs empty.
void UpdateActionsOf(TControl& root);
