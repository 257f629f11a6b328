// Actions and their links: state pushed to a control, OnClick handed over and taken back,
// the order of the list's and the action's handlers, and either side going first.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "toolkit/ActnList.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/StdCtrls.h"

namespace {

TEST(TkActions, LinkPushesEveryChangeToTheControl) {
  TComponent owner(nullptr);
  auto* action = new TAction(&owner);
  action->SetCaption("Go");
  action->SetHint("hint");
  action->SetEnabled(false);
  TPanel client(nullptr);
  TControlActionLink link(client);
  link.SetAction(action);
  EXPECT_EQ(client.Caption(), "Go");
  EXPECT_EQ(client.Hint(), "hint");
  EXPECT_FALSE(client.Enabled());
  EXPECT_TRUE(IsActionExecuteHandler(client.OnClick, action));
  action->SetEnabled(true);
  action->SetVisible(false);
  action->SetCaption("Stop");
  EXPECT_TRUE(client.Enabled());
  EXPECT_FALSE(client.Visible());
  EXPECT_EQ(client.Caption(), "Stop");
  // The control's own changes are not sent back.
  client.SetCaption("mine");
  EXPECT_EQ(action->Caption(), "Stop");
}

TEST(TkActions, OnClickBecomesTheActionsHandlerWithTheControlAsSender) {
  TComponent owner(nullptr);
  auto* a = new TAction(&owner);
  auto* b = new TAction(&owner);
  std::vector<std::string> log;
  a->OnExecute = [&](TObject* s) { log.push_back("a:" + dynamic_cast<TComponent*>(s)->Name()); };
  b->OnExecute = [&](TObject* s) { log.push_back("b:" + dynamic_cast<TComponent*>(s)->Name()); };
  TPanel client(nullptr);
  client.SetName("P");
  TControlActionLink link(client);
  link.SetAction(a);
  client.Click();
  // Another action replaces the first one's handler; a handler of the client's own stays.
  link.SetAction(b);
  client.Click();
  client.OnClick = [&](TObject*) { log.push_back("own"); };
  link.SetAction(a);
  client.Click();
  EXPECT_FALSE(IsActionExecuteHandler(client.OnClick, a));
  EXPECT_EQ(log, (std::vector<std::string>{"a:P", "b:P", "own"}));
  // The handler made for `a` is not `b`'s.
  client.OnClick = nullptr;
  link.SetAction(nullptr);
  link.SetAction(a);
  EXPECT_TRUE(IsActionExecuteHandler(client.OnClick, a));
  EXPECT_FALSE(IsActionExecuteHandler(client.OnClick, b));
  link.SetAction(nullptr);
  EXPECT_FALSE(client.OnClick);
}

TEST(TkActions, ExecuteAndUpdateAskTheListFirst) {
  TComponent owner(nullptr);
  auto* list = new TActionList(&owner);
  auto* action = new TAction(&owner);
  action->SetActionList(list);
  std::vector<std::string> log;
  bool take = false;
  list->OnExecute = [&](TAction*, bool& handled) {
    log.push_back("list exec");
    handled = take;
  };
  list->OnUpdate = [&](TAction*, bool& handled) {
    log.push_back("list update");
    handled = take;
  };
  action->OnExecute = [&](TObject* s) { log.push_back(s == action ? "exec" : "exec?"); };
  action->OnUpdate = [&](TObject*) { log.push_back("update"); };
  struct Case {
    bool take;
    std::vector<std::string> log;
  };
  const Case cases[] = {{false, {"list exec", "exec", "list update", "update"}},
                        {true, {"list exec", "list update"}}};
  for (const Case& c : cases) {
    log.clear();
    take = c.take;
    EXPECT_TRUE(action->Execute());
    EXPECT_TRUE(action->Update());
    EXPECT_EQ(log, c.log);
  }
  // Disabled, it does not run; Update still does (it is what enables it again).
  log.clear();
  take = false;
  action->SetEnabled(false);
  EXPECT_FALSE(action->Execute());
  EXPECT_TRUE(action->Update());
  EXPECT_EQ(log, (std::vector<std::string>{"list update", "update"}));
  // Without handlers nothing ran.
  TAction bare(nullptr);
  EXPECT_FALSE(bare.Execute());
  EXPECT_FALSE(bare.Update());
}

TEST(TkActions, TheClientIsKnownWhileItRunsTheActionEvenWhenItFails) {
  TComponent owner(nullptr);
  auto* action = new TAction(&owner);
  TPanel client(nullptr);
  TControlActionLink link(client);
  link.SetAction(action);
  TComponent* seen = nullptr;
  action->OnExecute = [&](TObject*) {
    seen = action->ActionComponent();
    throw std::runtime_error("failed");
  };
  EXPECT_THROW(link.Execute(&client), std::runtime_error);
  EXPECT_EQ(seen, &client);
  EXPECT_EQ(action->ActionComponent(), nullptr);
}

TEST(TkActions, EitherSideMayGoFirst) {
  TComponent owner(nullptr);
  auto* action = new TAction(&owner);
  auto* list = new TActionList(&owner);
  action->SetActionList(list);
  {
    // The client goes: the action forgets its link.
    TPanel client(nullptr);
    TControlActionLink link(client);
    link.SetAction(action);
  }
  action->SetCaption("after the client");  // would reach a freed link otherwise
  TPanel client(nullptr);
  TControlActionLink link(client);
  link.SetAction(action);
  // The list goes: the action stays, outside any list.
  delete list;
  EXPECT_EQ(action->ActionList(), nullptr);
  EXPECT_EQ(action->Index(), -1);
  // The action goes: the link and the click it gave are cleared.
  delete action;
  EXPECT_EQ(link.Action(), nullptr);
  EXPECT_FALSE(client.OnClick);
  EXPECT_FALSE(link.Execute(&client));
  EXPECT_FALSE(link.Update());
}

// A link whose client, on a caption change, runs `fn` (as a client's handler might).
class CaptionHook : public TControlActionLink {
 public:
  CaptionHook(TControl& c, std::function<void()> fn) : TControlActionLink(c), m_fn(std::move(fn)) {}

 protected:
  void SetCaption(const std::string& caption) override {
    TControlActionLink::SetCaption(caption);
    if (m_fn) m_fn();
  }

 private:
  std::function<void()> m_fn;
};

TEST(TkActions, AClientThatDropsAnotherWhileAChangeGoesRoundIsSafe) {
  TComponent owner(nullptr);
  auto* action = new TAction(&owner);
  TPanel first(nullptr), second(nullptr), third(nullptr);
  bool armed = false;
  std::unique_ptr<TControlActionLink> secondLink;
  CaptionHook hook(first, [&] {
    if (armed) secondLink.reset();
  });
  hook.SetAction(action);
  secondLink = std::make_unique<TControlActionLink>(second);
  secondLink->SetAction(action);
  TControlActionLink thirdLink(third);
  thirdLink.SetAction(action);
  armed = true;
  action->SetCaption("changed");
  EXPECT_FALSE(secondLink);
  EXPECT_EQ(first.Caption(), "changed");
  EXPECT_EQ(second.Caption(), "");  // dropped before its turn
  EXPECT_EQ(third.Caption(), "changed");
}

}  // namespace
