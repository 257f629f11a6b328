// Alignment and anchors: nested aligned panels, ordering by position, controls that keep
// their own size, hidden controls, anchors, and layouts that follow a window's size.
#include <gtest/gtest.h>

#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

namespace {

TPanel* MakePanel(TWinControl* parent, TAlign align, int w, int h, const char* name = "") {
  auto* p = new TPanel(parent);
  p->SetName(name);
  p->SetBevelOuter(TBevelCut::bvNone);
  p->SetBounds(0, 0, w, h);
  p->SetAlign(align);
  p->SetParent(parent);
  return p;
}

// A control that keeps a fixed height whatever it is asked, as a skinned control keeps
// its skin's height.
class TFixedHeight : public TCustomControl {
 public:
  explicit TFixedHeight(TComponent* owner) : TCustomControl(owner) {}
  void SetBounds(int l, int t, int w, int) override { TCustomControl::SetBounds(l, t, w, 21); }
};

TEST(TkLayout, NestedTopLeftClientPanelsFollowTheParentSize) {
  TPanel root(nullptr);
  root.SetBevelOuter(TBevelCut::bvNone);
  root.SetBounds(0, 0, 400, 300);
  TPanel* top = MakePanel(&root, TAlign::alTop, 10, 50);
  TPanel* left = MakePanel(&root, TAlign::alLeft, 100, 10);
  TPanel* client = MakePanel(&root, TAlign::alClient, 10, 10);
  TPanel* innerTop = MakePanel(client, TAlign::alTop, 10, 20);
  TPanel* innerClient = MakePanel(client, TAlign::alClient, 10, 10);

  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 50));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 50, 100, 300));
  EXPECT_EQ(client->BoundsRect(), Rect(100, 50, 400, 300));
  EXPECT_EQ(innerTop->BoundsRect(), Rect(0, 0, 300, 20));
  EXPECT_EQ(innerClient->BoundsRect(), Rect(0, 20, 300, 250));

  root.SetBounds(0, 0, 600, 500);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 600, 50));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 50, 100, 500));
  EXPECT_EQ(client->BoundsRect(), Rect(100, 50, 600, 500));
  EXPECT_EQ(innerTop->BoundsRect(), Rect(0, 0, 500, 20));
  EXPECT_EQ(innerClient->BoundsRect(), Rect(0, 20, 500, 450));

  // Shrinking below what the aligned panels need leaves the client panel nothing.
  root.SetBounds(0, 0, 80, 40);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 80, 50));
  EXPECT_EQ(client->Width(), 0);
  EXPECT_EQ(client->Height(), 0);
}

TEST(TkLayout, TopBottomLeftRightThenClientWithBevelsAndBorder) {
  TPanel root(nullptr);
  root.SetBevelOuter(TBevelCut::bvRaised);  // 1 pixel
  root.SetBorderWidth(2);
  root.SetBounds(0, 0, 200, 100);
  TPanel* client = MakePanel(&root, TAlign::alClient, 1, 1);
  TPanel* right = MakePanel(&root, TAlign::alRight, 20, 1);
  TPanel* bottom = MakePanel(&root, TAlign::alBottom, 1, 10);
  TPanel* left = MakePanel(&root, TAlign::alLeft, 30, 1);
  TPanel* top = MakePanel(&root, TAlign::alTop, 1, 15);
  // The inside is (3, 3, 197, 97).
  EXPECT_EQ(top->BoundsRect(), Rect(3, 3, 197, 18));
  EXPECT_EQ(bottom->BoundsRect(), Rect(3, 87, 197, 97));
  EXPECT_EQ(left->BoundsRect(), Rect(3, 18, 33, 87));
  EXPECT_EQ(right->BoundsRect(), Rect(177, 18, 197, 87));
  EXPECT_EQ(client->BoundsRect(), Rect(33, 18, 177, 87));
}

struct OrderCase {
  TAlign align;
  int firstPos;   // where the first-made panel stands before the layout
  int secondPos;
  bool firstStaysFirst;
};

class TkLayoutOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(TkLayoutOrder, EqualAlignmentIsOrderedByPosition) {
  const OrderCase& c = GetParam();
  TPanel root(nullptr);
  root.SetBevelOuter(TBevelCut::bvNone);
  root.SetBounds(0, 0, 300, 300);
  root.DisableAlign();
  bool vertical = c.align == TAlign::alTop || c.align == TAlign::alBottom;
  TPanel* a = MakePanel(&root, c.align, 40, 40, "A");
  TPanel* b = MakePanel(&root, c.align, 40, 40, "B");
  if (vertical) {
    a->SetTop(c.firstPos);
    b->SetTop(c.secondPos);
  } else {
    a->SetLeft(c.firstPos);
    b->SetLeft(c.secondPos);
  }
  root.EnableAlign();
  // "Outer" is the one against the parent's edge.
  int aEdge = 0, bEdge = 0;
  switch (c.align) {
    case TAlign::alTop: aEdge = a->Top(); bEdge = b->Top(); break;
    case TAlign::alBottom: aEdge = -a->Top(); bEdge = -b->Top(); break;
    case TAlign::alLeft: aEdge = a->Left(); bEdge = b->Left(); break;
    default: aEdge = -a->Left(); bEdge = -b->Left(); break;
  }
  EXPECT_EQ(aEdge < bEdge, c.firstStaysFirst);
}

INSTANTIATE_TEST_SUITE_P(
    Aligns, TkLayoutOrder,
    ::testing::Values(OrderCase{TAlign::alTop, 0, 100, true}, OrderCase{TAlign::alTop, 100, 0, false},
                      OrderCase{TAlign::alTop, 50, 50, true},  // equal: order of insertion
                      OrderCase{TAlign::alBottom, 200, 100, true}, OrderCase{TAlign::alBottom, 100, 200, false},
                      OrderCase{TAlign::alLeft, 0, 100, true}, OrderCase{TAlign::alLeft, 100, 0, false},
                      OrderCase{TAlign::alRight, 200, 100, true}, OrderCase{TAlign::alRight, 100, 200, false}));

TEST(TkLayout, ResizingAnAlignedPanelMovesItsNeighbours) {
  TPanel root(nullptr);
  root.SetBevelOuter(TBevelCut::bvNone);
  root.SetBounds(0, 0, 200, 200);
  TPanel* a = MakePanel(&root, TAlign::alTop, 1, 30);
  TPanel* b = MakePanel(&root, TAlign::alTop, 1, 30);
  TPanel* rest = MakePanel(&root, TAlign::alClient, 1, 1);
  a->SetHeight(80);
  EXPECT_EQ(b->Top(), 80);
  EXPECT_EQ(rest->BoundsRect(), Rect(0, 110, 200, 200));
  b->SetVisible(false);
  EXPECT_EQ(rest->BoundsRect(), Rect(0, 80, 200, 200));
  b->SetVisible(true);
  EXPECT_EQ(rest->Top(), 110);
  b->SetAlign(TAlign::alNone);
  EXPECT_EQ(rest->Top(), 80);
}

TEST(TkLayout, AControlThatKeepsItsHeightIsLaidOutAtThatHeight) {
  TPanel root(nullptr);
  root.SetBevelOuter(TBevelCut::bvNone);
  root.SetBounds(0, 0, 200, 200);
  auto* fixed = new TFixedHeight(&root);
  fixed->SetParent(&root);
  fixed->SetAlign(TAlign::alTop);
  TPanel* rest = MakePanel(&root, TAlign::alClient, 1, 1);
  EXPECT_EQ(fixed->BoundsRect(), Rect(0, 0, 200, 21));
  EXPECT_EQ(rest->BoundsRect(), Rect(0, 21, 200, 200));
  fixed->SetAlign(TAlign::alClient);
  rest->SetAlign(TAlign::alNone);
  EXPECT_EQ(fixed->Height(), 21);
}

struct AnchorCase {
  TAnchors anchors;
  Rect expected;  // after the parent grows by (100, 50)
};

class TkAnchors : public ::testing::TestWithParam<AnchorCase> {};

TEST_P(TkAnchors, ParentGrowth) {
  TPanel root(nullptr);
  root.SetBevelOuter(TBevelCut::bvNone);
  root.SetBounds(0, 0, 200, 100);
  TPanel* p = MakePanel(&root, TAlign::alNone, 40, 20);
  p->SetBounds(150, 70, 40, 20);
  p->SetAnchors(GetParam().anchors);
  root.SetBounds(0, 0, 300, 150);
  EXPECT_EQ(p->BoundsRect(), GetParam().expected);
  root.SetBounds(0, 0, 200, 100);  // and back
  EXPECT_EQ(p->BoundsRect(), Rect(150, 70, 190, 90));
}

INSTANTIATE_TEST_SUITE_P(
    Sets, TkAnchors,
    ::testing::Values(AnchorCase{akLeft | akTop, Rect(150, 70, 190, 90)},
                      AnchorCase{akRight | akBottom, Rect(250, 120, 290, 140)},
                      AnchorCase{akLeft | akTop | akRight, Rect(150, 70, 290, 90)},
                      AnchorCase{akLeft | akTop | akRight | akBottom, Rect(150, 70, 290, 140)},
                      AnchorCase{akTop, Rect(200, 70, 240, 90)}));

class TkLayoutWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    auto host = std::make_unique<HeadlessHost>();
    m_host = host.get();
    WindowSystem::Install(std::move(host));
  }
  void TearDown() override { WindowSystem::Shutdown(); }
  HeadlessHost* m_host = nullptr;
};

TEST_F(TkLayoutWindows, AFormWindowGetsTheClientSizeAskedForAndLaysOutOnResize) {
  auto* form = new TForm(nullptr);
  form->SetClientWidth(533);
  form->SetClientHeight(428);
  TPanel* left = MakePanel(form, TAlign::alLeft, 193, 1);
  TPanel* rest = MakePanel(form, TAlign::alClient, 1, 1);
  TPanel* inner = MakePanel(rest, TAlign::alTop, 1, 25);
  EXPECT_EQ(rest->BoundsRect(), Rect(193, 0, 533, 428));
  form->Show();
  ASSERT_TRUE(form->HandleAllocated());
  EXPECT_EQ(form->ClientWidth(), 533);
  EXPECT_EQ(form->ClientHeight(), 428);
  EXPECT_GE(form->Width(), 533);
  EXPECT_EQ(left->BoundsRect(), Rect(0, 0, 193, 428));
  ASSERT_TRUE(rest->HandleAllocated());
  EXPECT_EQ(rest->Handle()->Bounds(), Rect(193, 0, 533, 428));
  // The window system resizes the form (as a user dragging its border would).
  int frameW = form->Width() - form->ClientWidth();
  int frameH = form->Height() - form->ClientHeight();
  SetWindowPos(form->Handle(), nullptr, 0, 0, 700 + frameW, 500 + frameH, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(form->ClientWidth(), 700);
  EXPECT_EQ(rest->BoundsRect(), Rect(193, 0, 700, 500));
  EXPECT_EQ(inner->BoundsRect(), Rect(0, 0, 507, 25));
  EXPECT_EQ(inner->Handle()->Bounds(), Rect(0, 0, 507, 25));
  delete form;
}

}  // namespace

namespace {

TEST_F(TkLayoutWindows, AnchoredChildOfAnAlignedPanelFollowsTheForm) {
  auto* form = new TForm(nullptr);
  form->SetClientWidth(400);
  form->SetClientHeight(300);
  TPanel* bar = MakePanel(form, TAlign::alTop, 400, 40);
  auto* button = new TPanel(form);
  button->SetParent(bar);
  button->SetBounds(340, 5, 50, 30);  // 10 from the right edge
  button->SetAnchors(akTop | akRight);
  form->Show();
  int frameW = form->Width() - form->ClientWidth();
  form->SetWidth(600 + frameW);
  EXPECT_EQ(bar->Width(), 600);
  EXPECT_EQ(button->Left(), 540);
  EXPECT_EQ(button->Handle()->Bounds().left, 540);
  form->SetWidth(300 + frameW);
  EXPECT_EQ(button->Left(), 240);
  delete form;
}

}  // namespace
