// Edit, memo, list box and combo box of the toolkit on the headless host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/std/StdConst.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "toolkit/Edits.h"
#include "toolkit/Forms.h"
#include "toolkit/ListBoxes.h"

namespace {

class TkStd : public ::testing::Test {
 protected:
  void SetUp() override {
    auto host = std::make_unique<HeadlessHost>();
    host_ = host.get();
    WindowSystem::Install(std::move(host));
    form_ = new TForm(nullptr);
    form_->SetBounds(100, 100, 400, 300);
  }
  void TearDown() override {
    delete form_;
    WindowSystem::Shutdown();
  }
  template <class T>
  T* Add(Rect r) {
    auto* c = new T(form_);
    c->SetParent(form_);
    c->SetBoundsRect(r);
    return c;
  }
  Point At(TControl* c, int x, int y) { return c->ClientToScreen({x, y}); }
  HeadlessHost* host_ = nullptr;
  TForm* form_ = nullptr;
};

TEST_F(TkStd, EditKeepsTextBeforeAndAfterItsWindowAndTellsChanges) {
  auto* e = Add<TEdit>(Rect(10, 10, 150, 31));
  int changes = 0;
  e->OnChange = [&](TObject*) { ++changes; };
  e->SetText("hello");
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(e->HandleAllocated());
  form_->Show();
  ASSERT_TRUE(e->HandleAllocated());
  EXPECT_EQ(WindowSystem::Current().GetWindowText(e->Handle()), "hello");
  e->SetFocus();
  host_->Pump();
  EXPECT_EQ(e->SelLength(), 5);  // entering selects everything
  host_->Key(VK_END);
  host_->TypeText(" w\xC3\xB6rld");
  host_->Pump();
  EXPECT_EQ(e->Text(), "hello w\xC3\xB6rld");
  EXPECT_GE(changes, 2);
  e->SetSelStart(6);
  e->SetSelLength(5);
  EXPECT_EQ(e->SelText(), "w\xC3\xB6rld");
  e->CopyToClipboard();
  EXPECT_EQ(host_->ClipboardText(), "w\xC3\xB6rld");
  EXPECT_TRUE(e->CanUndo());
  e->Undo();  // the typing goes as one step
  EXPECT_EQ(e->Text(), "hello");
  e->SelectAll();
  e->SetSelText("there");
  EXPECT_EQ(e->Text(), "there");
}

TEST_F(TkStd, EditLimitAndRecreateKeepState) {
  auto* e = Add<TEdit>(Rect(10, 10, 150, 31));
  e->SetMaxLength(4);
  form_->Show();
  e->SetFocus();
  host_->TypeText("abcdef");
  host_->Pump();
  EXPECT_EQ(e->Text(), "abcd");
  e->SetSelStart(1);
  e->SetSelLength(2);
  e->SetAlignment(TAlignment::taRightJustify);  // a new window
  EXPECT_EQ(e->Text(), "abcd");
  EXPECT_EQ(e->SelStart(), 1);
  EXPECT_EQ(e->SelLength(), 2);
  EXPECT_TRUE(e->Focused());
  EXPECT_EQ(GetWindowLong(e->Handle(), GWL_STYLE) & ES_RIGHT, static_cast<LONG_PTR>(ES_RIGHT));
}

TEST_F(TkStd, MemoLinesAreTheTextsLines) {
  auto* m = Add<TMemo>(Rect(10, 40, 200, 140));
  m->Lines().Add("first");
  m->Lines().Add("second");
  EXPECT_EQ(m->Lines().Count(), 2);
  form_->Show();
  EXPECT_EQ(m->Text(), "first\r\nsecond");
  m->Lines().Insert(1, "middle");
  EXPECT_EQ(m->Lines()[1], "middle");
  m->Lines().Delete(0);
  EXPECT_EQ(m->Lines().Text(), "middle\nsecond\n");
  m->Lines().BeginUpdate();
  for (int i = 0; i < 50; ++i) m->Lines().Add("line " + std::to_string(i));
  m->Lines().EndUpdate();
  EXPECT_EQ(m->Lines().Count(), 52);
  EXPECT_EQ(m->Lines()[51], "line 49");
  EXPECT_GE(m->LineCount(), 52);
  m->SetFocus();
  host_->KeyDown(VK_CONTROL);
  host_->Key(VK_END);
  host_->KeyUp(VK_CONTROL);
  host_->Pump();
  EXPECT_GT(m->FirstVisibleLine(), 0);  // scrolled to the end
  host_->Key(VK_RETURN);                // a memo takes Enter
  host_->TypeText("typed");
  host_->Pump();
  EXPECT_EQ(m->Lines()[m->Lines().Count() - 1], "typed");
  m->SetWordWrap(false);  // recreated with the text
  EXPECT_EQ(m->Lines()[m->Lines().Count() - 1], "typed");
  EXPECT_THROW(m->Lines().Get(500), EStringListError);
}

TEST_F(TkStd, ListBoxSelectsByMouseAndKeyboard) {
  auto* l = Add<TListBox>(Rect(10, 10, 150, 150));
  l->Items().Add("pear");
  l->Items().Add("apple");
  l->Items().Add("fig");
  int clicks = 0;
  l->OnClick = [&](TObject*) { ++clicks; };
  form_->Show();
  l->SetSorted(true);
  EXPECT_EQ(l->Items()[0], "apple");
  int h = l->ItemHeight();
  ASSERT_GT(h, 0);
  host_->Click(At(l, 20, h + h / 2));
  host_->Pump();
  EXPECT_EQ(l->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  host_->Key(VK_DOWN);
  host_->Pump();
  EXPECT_EQ(l->ItemIndex(), 2);
  host_->Key(VK_DOWN);  // the last stays
  host_->Pump();
  EXPECT_EQ(l->ItemIndex(), 2);
  host_->Key(VK_HOME);
  host_->Pump();
  EXPECT_EQ(l->ItemIndex(), 0);
  l->Items().Add("banana");  // goes into its sorted place in the window too
  EXPECT_EQ(l->Items()[1], "banana");
  EXPECT_EQ(l->ItemAtPos({20, h + 1}, true), 1);
  l->SetMultiSelect(true);  // recreated
  l->SetSelected(0, true);
  l->SetSelected(2, true);
  EXPECT_EQ(l->SelCount(), 2);
}

TEST_F(TkStd, OwnerDrawnListItemsComeToTheHandler) {
  auto* l = Add<TListBox>(Rect(10, 10, 150, 150));
  l->SetStyle(TListBoxStyle::lbOwnerDrawFixed);
  l->SetItemHeight(18);
  for (int i = 0; i < 20; ++i) l->Items().Add("item " + std::to_string(i));
  std::vector<int> drawn;
  l->OnDrawItem = [&](TWinControl*, int index, Rect r, TOwnerDrawState) {
    drawn.push_back(index);
    EXPECT_EQ(r.Height(), 18);
  };
  form_->Show();
  host_->Pump();
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.front(), 0);
  // Only the visible rows are drawn.
  EXPECT_LE(*std::max_element(drawn.begin(), drawn.end()), 140 / 18 + 1);
}

TEST_F(TkStd, ComboBoxSelectionSetsTextAndTellsChangesOnce) {
  auto* c = Add<TComboBox>(Rect(10, 10, 150, 31));
  for (int i = 1; i <= 40; ++i) c->Items().Add(std::to_string(i));
  std::vector<std::string> changes;
  c->OnChange = [&](TObject* s) { changes.push_back(static_cast<TComboBox*>(s)->Text()); };
  c->SetItemIndex(12);
  EXPECT_EQ(c->Text(), "13");
  c->SetItemIndex(-1);  // nothing selected, text kept, nothing told
  EXPECT_EQ(c->ItemIndex(), -1);
  EXPECT_EQ(c->Text(), "13");
  c->SetItemIndex(-5);
  c->SetItemIndex(40);  // beyond the list: the same
  EXPECT_EQ(c->Text(), "13");
  c->SetItemIndex(12);  // same text: no change told
  std::vector<std::string> expected = {"13"};
  EXPECT_EQ(changes, expected);
}

TEST_F(TkStd, ComboBoxDropsDownAndTakesTheClickedItem) {
  auto* c = Add<TComboBox>(Rect(10, 10, 150, 31));
  for (const char* s : {"GB312", "BIG5", "ENGLISH"}) c->Items().Add(s);
  int clicks = 0;
  c->OnClick = [&](TObject*) { ++clicks; };
  form_->Show();
  host_->Click(At(c, 100, 10));
  host_->Pump();
  ASSERT_TRUE(c->DroppedDown());
  TCustomListBox* list = c->DropDownList();
  ASSERT_NE(list, nullptr);
  EXPECT_GE(list->ClientOrigin().y, c->ClientToScreen({0, c->Height()}).y);
  int h = list->ItemHeight();
  host_->Click(list->ClientToScreen({20, h * 2 + h / 2}));
  host_->Pump();
  EXPECT_FALSE(c->DroppedDown());
  EXPECT_EQ(c->ItemIndex(), 2);
  EXPECT_EQ(c->Text(), "ENGLISH");
  EXPECT_EQ(clicks, 1);
  // Escape closes without a choice; a press elsewhere closes too.
  c->SetDroppedDown(true);
  host_->Key(VK_UP);
  host_->Key(VK_ESCAPE);
  host_->Pump();
  EXPECT_FALSE(c->DroppedDown());
  EXPECT_EQ(c->Text(), "ENGLISH");
  c->SetDroppedDown(true);
  host_->Click(form_->ClientToScreen({300, 250}));
  host_->Pump();
  EXPECT_FALSE(c->DroppedDown());
  // The arrow keys choose without opening.
  c->SetFocus();
  host_->Key(VK_UP);
  host_->Pump();
  EXPECT_EQ(c->Text(), "BIG5");
}

}  // namespace

namespace {

class TStdForm : public TForm {
 public:
  explicit TStdForm(TComponent* owner) : TForm(owner) {}
};

TEST_F(TkStd, StreamedTextControlsReadTheirLinesItemsAndStates) {
  RegisterFormResource("TStdForm", R"(
object StdForm: TStdForm
  ClientWidth = 300
  ClientHeight = 200
  object Me_output_text: TMemo
    Left = 0
    Top = 0
    Width = 200
    Height = 100
    Color = clWhite
    Font.Height = -16
    Lines.Strings = (
      ''
      'second')
    ScrollBars = ssBoth
    WordWrap = False
    TabOrder = 1
  end
  object Ed_word: TEdit
    Left = 10
    Top = 110
    Width = 33
    Height = 18
    MaxLength = 2
    Text = #29233
    TabOrder = 0
  end
  object CbSelect: TComboBox
    Left = 58
    Top = 110
    Width = 65
    DropDownCount = 4
    Items.Strings = (
      'GB312'
      'ENGLISH')
  end
  object List: TListBox
    Left = 150
    Top = 110
    Items.Strings = (
      'b'
      'a')
    Sorted = True
    ItemIndex = 1
  end
end
)");
  auto* f = CreateNewForm<TStdForm>(nullptr);
  auto* memo = static_cast<TMemo*>(f->FindComponent("Me_output_text"));
  auto* edit = static_cast<TEdit*>(f->FindComponent("Ed_word"));
  auto* combo = static_cast<TComboBox*>(f->FindComponent("CbSelect"));
  auto* list = static_cast<TListBox*>(f->FindComponent("List"));
  EXPECT_EQ(memo->Lines().Count(), 2);
  EXPECT_EQ(memo->Lines()[0], "");
  EXPECT_EQ(memo->ScrollBars(), TScrollStyle::ssBoth);
  EXPECT_FALSE(memo->WordWrap());
  EXPECT_EQ(edit->Text(), "\xE7\x88\xB1");
  EXPECT_EQ(edit->MaxLength(), 2);
  EXPECT_EQ(combo->Items().Count(), 2);
  EXPECT_EQ(combo->DropDownCount(), 4);
  EXPECT_EQ(combo->ItemIndex(), -1);  // nothing chosen until someone chooses
  EXPECT_EQ(list->Items()[0], "a");
  f->Show();
  EXPECT_EQ(memo->Text(), "\r\nsecond");
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_TRUE(edit->Focused());  // TabOrder 0 takes the focus first
  EXPECT_EQ(f->ActiveControl(), edit);
  EXPECT_EQ(memo->Font().Height(), -16);
  delete f;
}

}  // namespace
