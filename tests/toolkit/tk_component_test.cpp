// Ownership, destruction order, names and removal notices of components.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/Classes.h"

namespace {

std::vector<std::string> g_log;

// Records its destruction and the removal notices it hears; may hold a link to another
// component, which it clears on the notice, as link properties do.
class TProbe : public TComponent {
 public:
  explicit TProbe(TComponent* owner, std::string name = "") : TComponent(owner) { SetName(name); }
  ~TProbe() override { g_log.push_back("destroy " + Name()); }

  void SetLink(TComponent* target) {
    m_link = target;
    if (target) target->FreeNotification(this);
  }
  TComponent* Link() const { return m_link; }
  bool sawDestroying = false;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == m_link) {
      g_log.push_back(Name() + " forgets " + component->Name());
      m_link = nullptr;
    }
  }
  void Destroying() override { sawDestroying = true; }

 private:
  TComponent* m_link = nullptr;
};

TEST(TkComponent, OwnerDestroysOwnedLastCreatedFirst) {
  g_log.clear();
  {
    TProbe root(nullptr, "Root");
    auto* a = new TProbe(&root, "A");
    new TProbe(a, "A1");
    new TProbe(&root, "B");
    new TProbe(&root, "C");
    EXPECT_EQ(root.ComponentCount(), 3);
    EXPECT_EQ(a->ComponentCount(), 1);
    EXPECT_EQ(root.Components(1)->Name(), "B");
  }
  std::vector<std::string> expected = {"destroy Root", "destroy C", "destroy B", "destroy A",
                                       "destroy A1"};
  EXPECT_EQ(g_log, expected);
}

TEST(TkComponent, DeletingAnOwnedComponentLeavesTheOwnerList) {
  g_log.clear();
  TProbe root(nullptr, "Root");
  auto* a = new TProbe(&root, "A");
  new TProbe(&root, "B");
  delete a;
  ASSERT_EQ(root.ComponentCount(), 1);
  EXPECT_EQ(root.Components(0)->Name(), "B");
  EXPECT_EQ(root.FindComponent("A"), nullptr);
  EXPECT_THROW(root.Components(1), EListError);
}

TEST(TkComponent, SiblingsAndOutsidersClearLinksToADestroyedComponent) {
  g_log.clear();
  TProbe form(nullptr, "Form");
  TProbe other(nullptr, "Other");
  auto* data = new TProbe(&form, "SkinData");
  auto* user = new TProbe(&form, "Panel");
  auto* outsider = new TProbe(&other, "Outsider");
  user->SetLink(data);
  outsider->SetLink(data);
  delete data;
  EXPECT_EQ(user->Link(), nullptr);
  EXPECT_EQ(outsider->Link(), nullptr);
}

TEST(TkComponent, OwnerDestructionTellsSurvivorsOfEachDestroyedSibling) {
  g_log.clear();
  {
    TProbe form(nullptr, "Form");
    auto* user = new TProbe(&form, "User");   // destroyed last
    auto* data = new TProbe(&form, "Data");   // destroyed first
    user->SetLink(data);
  }
  std::vector<std::string> expected = {"destroy Form", "destroy Data", "User forgets Data",
                                       "destroy User"};
  EXPECT_EQ(g_log, expected);
}

TEST(TkComponent, DestroyingStageReachesEveryOwnedComponentFirst) {
  auto* root = new TProbe(nullptr, "Root");
  auto* child = new TProbe(root, "Child");
  root->BeforeDestruction();
  EXPECT_TRUE(root->sawDestroying);
  EXPECT_TRUE(child->sawDestroying);
  EXPECT_TRUE(child->HasState(csDestroying));
  delete root;
}

TEST(TkComponent, NamesAreIdentifiersUniqueWithoutRegardToCase) {
  TProbe root(nullptr, "Root");
  auto* a = new TProbe(&root, "Button1");
  EXPECT_EQ(root.FindComponent("BUTTON1"), a);
  EXPECT_THROW(new TProbe(&root, "button1"), EComponentError);
  EXPECT_EQ(root.ComponentCount(), 1);  // the failed one left no dangling entry
  auto* b = new TProbe(&root);
  EXPECT_THROW(b->SetName("1abc"), EComponentError);
  EXPECT_THROW(b->SetName("a b"), EComponentError);
  b->SetName("Button2");
  a->SetName("BUTTON1");  // a change of case only is no clash with itself
  new TProbe(&root);      // empty names never clash
  new TProbe(&root);
  EXPECT_EQ(root.ComponentCount(), 4);
  EXPECT_EQ(root.FindComponent(""), nullptr);
}

TEST(TkComponent, InsertMovesOwnershipAndChecksNames) {
  TProbe first(nullptr, "First");
  TProbe second(nullptr, "Second");
  auto* c = new TProbe(&first, "Shared");
  new TProbe(&second, "Shared");
  EXPECT_THROW(second.InsertComponent(c), EComponentError);
  EXPECT_EQ(c->Owner(), &first);
  c->SetName("Moved");
  second.InsertComponent(c);
  EXPECT_EQ(c->Owner(), &second);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(c->ComponentIndex(), 1);
}

TEST(TkComponent, ClassNameIsTheClassesOwnName) {
  TProbe p(nullptr);
  EXPECT_EQ(p.ClassName(), "TProbe");
  TComponent c(nullptr);
  EXPECT_EQ(c.ClassName(), "TComponent");
  EXPECT_THROW(c.Assign(&p), EConvertError);
}

TEST(TkComponent, TextComparisonsFoldOnlyAsciiLetters) {
  EXPECT_TRUE(SameText("Hello", "hELLO"));
  EXPECT_FALSE(SameText("Hello", "Hell"));
  EXPECT_LT(CompareText("apple", "Banana"), 0);
  EXPECT_GT(CompareText("ab", "A"), 0);
  EXPECT_FALSE(SameText("\xC3\xA4", "\xC3\x84"));  // ä and Ä stay different
  EXPECT_TRUE(IsValidIdent("_x1"));
  EXPECT_FALSE(IsValidIdent(""));
}

}  // namespace
