// Forms and the application on the headless host: close sequence, the message loop,
// hints after their pause, Tab order, a streamed form driven by input, recreated windows,
// the error box, timers, mouse enter and leave, and splitter drags.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "toolkit/Buttons.h"
#include "toolkit/Edits.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace {

class TkForms : public ::testing::Test {
 protected:
  void SetUp() override {
    auto host = std::make_unique<HeadlessHost>();
    host_ = host.get();
    WindowSystem::Install(std::move(host));
    Application->OnException = [this](TObject*, const std::exception& e) { errors.push_back(e.what()); };
  }
  void TearDown() override {
    for (int i = Application->FormCount() - 1; i >= 0; --i) delete Application->Forms(i);
    Application->OnException = nullptr;
    Application->OnShowHint = nullptr;
    Application->DestroyHintWindow();  // it goes with this test's windows
    WindowSystem::Shutdown();
  }
  Point Center(TControl* c) {
    Point origin = c->ClientOrigin();
    return {origin.x + c->Width() / 2, origin.y + c->Height() / 2};
  }
  TForm* MakeForm() {
    auto* f = new TForm(nullptr);
    f->SetBounds(100, 100, 300, 200);
    return f;
  }
  HeadlessHost* host_ = nullptr;
  std::vector<std::string> errors;
  std::vector<std::string> log;
};

TEST_F(TkForms, CloseAsksThenHidesOrFrees) {
  TForm* f = MakeForm();
  bool allow = false;
  f->OnCloseQuery = [&](TObject*, bool& can) {
    log.push_back("query");
    can = allow;
  };
  TCloseAction action = TCloseAction::caHide;
  f->OnClose = [&](TObject*, TCloseAction& a) {
    log.push_back("close");
    a = action;
  };
  f->OnDestroy = [&](TObject*) { log.push_back("destroy"); };
  f->OnHide = [&](TObject*) { log.push_back("hide"); };
  f->Show();
  EXPECT_TRUE(f->Showing());
  f->Close();
  EXPECT_TRUE(f->Showing());
  allow = true;
  f->Close();
  EXPECT_FALSE(f->Visible());
  f->Show();
  action = TCloseAction::caFree;
  int before = Application->FormCount();
  f->Close();
  EXPECT_EQ(Application->FormCount(), before);  // freed only once the message loop runs
  host_->Pump();
  EXPECT_EQ(Application->FormCount(), before - 1);
  std::vector<std::string> expected = {"query", "query", "close", "hide", "query", "close", "destroy"};
  EXPECT_EQ(log, expected);
}

class TMainForm : public TForm {
 public:
  explicit TMainForm(TComponent* owner) : TForm(owner) {}
  std::vector<std::string>* log = nullptr;
};

TEST_F(TkForms, RunEndsWhenTheMainFormClosesAndDestroysTheForms) {
  TMainForm* main = nullptr;
  Application->CreateForm(main);
  TForm* second = nullptr;
  Application->CreateForm(second);
  EXPECT_EQ(Application->MainForm(), main);
  main->OnCloseQuery = [&](TObject*, bool&) { log.push_back("query"); };
  main->OnClose = [&](TObject*, TCloseAction&) { log.push_back("close"); };
  main->OnDestroy = [&](TObject*) { log.push_back("destroy main"); };
  second->OnDestroy = [&](TObject*) { log.push_back("destroy second"); };
  main->OnShow = [&](TObject* s) {
    log.push_back("show");
    PostMessage(static_cast<TForm*>(s)->Handle(), WM_CLOSE, 0, 0);
  };
  Application->Run();
  std::vector<std::string> expected = {"show", "query", "close", "destroy second", "destroy main"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(Application->FormCount(), 0);
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(TkForms, HintShowsAfterThePauseAndHidesAfterTheHidePause) {
  TForm* f = MakeForm();
  auto* b = new TButton(f);
  b->SetParent(f);
  b->SetBounds(20, 20, 80, 25);
  b->SetHint("Convert|Turns the text into art");
  b->SetShowHint(true);
  auto* other = new TButton(f);
  other->SetParent(f);
  other->SetBounds(150, 20, 80, 25);
  std::string shown;
  Application->OnShowHint = [&](std::string& hint, bool&, THintInfo& info) {
    shown = hint;
    EXPECT_EQ(info.HintControl, b);
  };
  f->Show();
  host_->MoveMouse(Center(other));
  host_->Pump();
  host_->MoveMouse(Center(b));
  host_->Pump();
  EXPECT_EQ(Application->MouseControl(), b);
  host_->AdvanceClock(499);
  EXPECT_TRUE(Application->HintWindow() == nullptr || !Application->HintWindow()->IsShown());
  host_->AdvanceClock(1);
  ASSERT_NE(Application->HintWindow(), nullptr);
  EXPECT_TRUE(Application->HintWindow()->IsShown());
  EXPECT_EQ(Application->HintWindow()->Text(), "Convert");
  EXPECT_EQ(shown, "Convert");
  // Below the pointer, on the screen.
  EXPECT_GT(Application->HintWindow()->Top(), Center(b).y);
  host_->AdvanceClock(2499);
  EXPECT_TRUE(Application->HintWindow()->IsShown());
  host_->AdvanceClock(1);
  EXPECT_FALSE(Application->HintWindow()->IsShown());
  // Moving to a control without a hint and back starts the pause again.
  host_->MoveMouse(Center(other));
  host_->Pump();
  host_->MoveMouse(Center(b));
  host_->Pump();
  host_->AdvanceClock(500);
  EXPECT_TRUE(Application->HintWindow()->IsShown());
  // A click hides it at once.
  host_->Click(Center(b));
  host_->Pump();
  EXPECT_FALSE(Application->HintWindow()->IsShown());
}

TEST_F(TkForms, TabMovesTheFocusInTabOrderAndFiresEnterAndExit) {
  TForm* f = MakeForm();
  TButton* buttons[3];
  for (int i = 0; i < 3; ++i) {
    buttons[i] = new TButton(f);
    buttons[i]->SetName("B" + std::to_string(i));
    buttons[i]->SetParent(f);
    buttons[i]->SetBounds(10 + i * 90, 10, 80, 25);
    buttons[i]->OnEnter = [&, i](TObject*) { log.push_back("enter " + std::to_string(i)); };
    buttons[i]->OnExit = [&, i](TObject*) { log.push_back("exit " + std::to_string(i)); };
  }
  buttons[2]->SetTabOrder(0);  // order: B2, B0, B1
  buttons[0]->SetTabStop(true);
  f->Show();
  host_->Pump();
  EXPECT_TRUE(buttons[2]->Focused());
  EXPECT_EQ(f->ActiveControl(), buttons[2]);
  host_->Key(VK_TAB);
  host_->Pump();
  EXPECT_TRUE(buttons[0]->Focused());
  host_->Key(VK_TAB);
  host_->Pump();
  EXPECT_TRUE(buttons[1]->Focused());
  host_->Key(VK_TAB);  // wraps around
  host_->Pump();
  EXPECT_TRUE(buttons[2]->Focused());
  host_->KeyDown(VK_SHIFT);
  host_->Key(VK_TAB);
  host_->KeyUp(VK_SHIFT);
  host_->Pump();
  EXPECT_TRUE(buttons[1]->Focused());
  buttons[0]->SetEnabled(false);  // disabled controls are passed over
  host_->Key(VK_TAB);
  host_->Pump();
  EXPECT_TRUE(buttons[2]->Focused());
  std::vector<std::string> expected = {"enter 2", "exit 2", "enter 0", "exit 0", "enter 1", "exit 1",
                                       "enter 2", "exit 2", "enter 1", "exit 1", "enter 2"};
  EXPECT_EQ(log, expected);
}

class TStreamedForm : public TForm {
 public:
  explicit TStreamedForm(TComponent* owner) : TForm(owner) {}
  TButton* Bu_Convert = nullptr;
  TPanel* Panel1 = nullptr;
  std::vector<std::string> calls;
  void Bu_ConvertClick(TObject*) { calls.push_back("click " + Caption()); }
  void FormCreate(TObject*) { calls.push_back("create " + std::to_string(Panel1 ? Panel1->Width() : -1)); }
  void FormResize(TObject*) { calls.push_back("resize"); }

 protected:
  void DeclareBindings(THandlerRegistry& r) override {
    r.Add("Bu_ConvertClick", this, &TStreamedForm::Bu_ConvertClick);
    r.Add("FormCreate", this, &TStreamedForm::FormCreate);
    r.Add("FormResize", this, &TStreamedForm::FormResize);
    r.Field("Bu_Convert", Bu_Convert);
    r.Field("Panel1", Panel1);
  }
};

const char* kStreamedForm = R"(
object kavri: TStreamedForm
  Left = 353
  Top = 200
  BorderIcons = []
  Caption = 'kavri'
  ClientHeight = 428
  ClientWidth = 533
  Color = clBtnFace
  Font.Name = 'MS Sans Serif'
  Font.Size = 8
  PixelsPerInch = 96
  TextHeight = 13
  OnCreate = FormCreate
  OnResize = FormResize
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 193
    Height = 428
    Align = alLeft
    BevelOuter = bvNone
    object Panel7: TPanel
      Width = 189
      Height = 24
      Align = alTop
      BevelOuter = bvNone
      object La_inputtext: TLabel
        Left = 9
        Top = 5
        Width = 80
        Height = 16
        AutoSize = False
        Caption = 'input'
      end
      object Bu_Convert: TButton
        Left = 144
        Top = 2
        Width = 33
        Height = 20
        Hint = 'Convert'
        ShowHint = True
        TabOrder = 0
        OnClick = Bu_ConvertClick
      end
    end
  end
  object Panel2: TPanel
    Left = 193
    Width = 340
    Height = 428
    Align = alClient
    BevelOuter = bvNone
    object Sp1: TSpeedButton
      Left = 10
      Top = 10
      Width = 25
      Height = 25
      GroupIndex = 1
      AllowAllUp = True
      OnClick = Bu_ConvertClick
    end
  end
end
)";

TEST_F(TkForms, AStreamedFormIsBuiltLaidOutAndWiredByName) {
  RegisterFormResource("TStreamedForm", kStreamedForm);
  auto* f = CreateNewForm<TStreamedForm>(nullptr);
  ASSERT_NE(f->Bu_Convert, nullptr);
  EXPECT_EQ(f->Name(), "kavri");
  EXPECT_EQ(f->BorderIcons(), 0u);
  EXPECT_EQ(f->ClientWidth(), 533);
  EXPECT_EQ(f->Font().Height(), -11);
  EXPECT_FALSE(f->Bu_Convert->ParentFont() && f->Bu_Convert->Font().Name() != "MS Sans Serif");
  auto* panel2 = static_cast<TPanel*>(f->FindComponent("Panel2"));
  EXPECT_EQ(panel2->BoundsRect(), Rect(193, 0, 533, 428));
  EXPECT_EQ(f->FindComponent("Panel7")->Owner(), f);
  EXPECT_EQ(static_cast<TControl*>(f->FindComponent("Panel7"))->Parent(), f->Panel1);
  ASSERT_FALSE(f->calls.empty());
  EXPECT_EQ(f->calls.front(), "create 193");  // OnCreate ran after the components were read
  f->calls.clear();
  f->Show();
  EXPECT_EQ(f->ClientWidth(), 533);
  EXPECT_EQ(f->Left(), 353);
  host_->Click(Center(f->Bu_Convert));
  host_->Pump();
  auto* sp = static_cast<TSpeedButton*>(f->FindComponent("Sp1"));
  host_->Click(Center(sp));
  host_->Pump();
  EXPECT_TRUE(sp->Down());
  host_->Click(Center(sp));
  host_->Pump();
  EXPECT_FALSE(sp->Down());  // AllowAllUp
  std::vector<std::string> clicks;
  for (const std::string& c : f->calls)
    if (c.rfind("click", 0) == 0) clicks.push_back(c);
  std::vector<std::string> expected = {"click kavri", "click kavri", "click kavri"};
  EXPECT_EQ(clicks, expected);
  EXPECT_TRUE(errors.empty());
}

TEST_F(TkForms, ARecreatedWindowKeepsItsTextAndFocus) {
  TForm* f = MakeForm();
  auto* b = new TButton(f);
  b->SetParent(f);
  b->SetCaption("before");
  f->Show();
  b->SetFocus();
  host_->Pump();
  HWND old = b->Handle();
  WindowSystem::Current().SetWindowText(old, "typed");  // changed in the window itself
  b->RecreateWnd();
  EXPECT_TRUE(b->HandleAllocated());
  EXPECT_EQ(b->Text(), "typed");
  EXPECT_EQ(WindowSystem::Current().GetWindowText(b->Handle()), "typed");
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(TWinControl::FindControl(b->Handle()), b);
}

TEST_F(TkForms, AnErrorInAHandlerGoesToTheErrorBoxAndTheProgramGoesOn) {
  TForm* f = MakeForm();
  auto* b = new TButton(f);
  b->SetParent(f);
  b->SetBounds(10, 10, 80, 25);
  int clicks = 0;
  b->OnClick = [&](TObject*) {
    ++clicks;
    throw EConvertError("'abc' is not a valid integer value");
  };
  f->Show();
  host_->Click(Center(b));
  host_->Pump();
  host_->Click(Center(b));
  host_->Pump();
  EXPECT_EQ(clicks, 2);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], "'abc' is not a valid integer value");
  Application->HandleException(f);  // no error being handled: nothing to tell
  EXPECT_EQ(errors.size(), 2u);
}

TEST_F(TkForms, WithoutAHandlerTheErrorIsShownInAMessageBox) {
  Application->OnException = nullptr;
  TForm* f = MakeForm();
  f->Show();
  bool boxSeen = false;
  host_->SetIdleHandler([&] {
    // The box is the newest top-level window; Enter answers it.
    if (boxSeen) return false;
    boxSeen = true;
    host_->Key(VK_RETURN);
    return true;
  });
  try {
    throw Exception("Cannot open file \"KAVRI.ini\"");
  } catch (...) {
    Application->HandleException(f);
  }
  EXPECT_TRUE(boxSeen);
  EXPECT_TRUE(f->HandleAllocated());  // and the program goes on
}

TEST_F(TkForms, TimersFireOnTheVirtualClock) {
  TForm* f = MakeForm();
  auto* t = new TTimer(f);
  int ticks = 0;
  t->OnTimer = [&](TObject*) { ++ticks; };
  t->SetInterval(100);
  host_->AdvanceClock(350);
  EXPECT_EQ(ticks, 3);
  t->SetEnabled(false);
  host_->AdvanceClock(500);
  EXPECT_EQ(ticks, 3);
}

TEST_F(TkForms, MouseEnterAndLeaveReachWindowlessControls) {
  TForm* f = MakeForm();
  auto* sb = new TSpeedButton(f);
  sb->SetParent(f);
  sb->SetBounds(10, 10, 30, 30);
  sb->SetFlat(true);
  sb->OnMouseEnter = [&](TObject*) { log.push_back("enter"); };
  sb->OnMouseLeave = [&](TObject*) { log.push_back("leave"); };
  f->Show();
  host_->MoveMouse(f->ClientToScreen({100, 100}));
  host_->Pump();
  host_->MoveMouse(Center(sb));
  host_->Pump();
  EXPECT_TRUE(sb->MouseInControl());
  host_->MoveMouse(f->ClientToScreen({100, 100}));
  host_->Pump();
  EXPECT_FALSE(sb->MouseInControl());
  host_->MoveMouse(Center(sb));
  host_->Pump();
  host_->LeaveWindows();
  host_->Pump();
  std::vector<std::string> expected = {"enter", "leave", "enter", "leave"};
  EXPECT_EQ(log, expected);
}

TEST_F(TkForms, DraggingASplitterResizesThePanelBeforeIt) {
  TForm* f = MakeForm();
  f->SetClientWidth(200);
  f->SetClientHeight(300);
  auto* top = new TPanel(f);
  top->SetParent(f);
  top->SetAlign(TAlign::alTop);
  top->SetHeight(100);
  auto* split = new TSplitter(f);
  split->SetParent(f);
  split->SetAlign(TAlign::alTop);
  split->SetTop(150);
  split->SetHeight(10);
  split->SetMinSize(10);
  auto* rest = new TPanel(f);
  rest->SetParent(f);
  rest->SetAlign(TAlign::alClient);
  int moved = 0;
  split->OnMoved = [&](TObject*) { ++moved; };
  f->Show();
  EXPECT_EQ(split->Top(), 100);
  Point start = f->ClientToScreen({50, 105});
  host_->PressMouse(start);
  host_->MoveMouse(start + Point(0, 40));
  host_->ReleaseMouse(start + Point(0, 40));
  host_->Pump();
  EXPECT_EQ(top->Height(), 140);
  EXPECT_EQ(split->Top(), 140);
  EXPECT_EQ(rest->Top(), 150);
  EXPECT_EQ(moved, 1);
  // Not beyond what leaves MinSize for the rest.
  start = f->ClientToScreen({50, 145});
  host_->PressMouse(start);
  host_->MoveMouse(start + Point(0, 500));
  host_->ReleaseMouse(start + Point(0, 500));
  host_->Pump();
  EXPECT_EQ(top->Height(), 300 - 10 - 10);
}

TEST_F(TkForms, ScrollBarClicksAndKeysStayInRange) {
  TForm* f = MakeForm();
  auto* sb = new TScrollBar(f);
  sb->SetParent(f);
  sb->SetBounds(10, 10, 200, 17);
  sb->SetParams(0, 0, 29);
  sb->SetPageSize(10);
  int changes = 0;
  sb->OnChange = [&](TObject*) { ++changes; };
  f->Show();
  host_->Click(sb->ClientToScreen({5, 8}));  // first arrow: already at the start
  host_->Pump();
  EXPECT_EQ(sb->Position(), 0);
  host_->Click(sb->ClientToScreen({195, 8}));
  host_->Pump();
  EXPECT_EQ(sb->Position(), 1);
  host_->Click(sb->ClientToScreen({180, 8}));  // the track after the thumb: a page
  host_->Pump();
  EXPECT_EQ(sb->Position(), 11);
  sb->SetFocus();
  host_->Key(VK_END);
  host_->Pump();
  EXPECT_EQ(sb->Position(), 20);  // Max - PageSize + 1
  EXPECT_EQ(changes, 3);
  EXPECT_THROW(sb->SetParams(0, 5, 4), EInvalidOperation);
}

}  // namespace

namespace {

TEST_F(TkForms, RightClickOpensTheControlsPopupMenuAndRunsTheChosenItem) {
  TForm* f = MakeForm();
  auto* panel = new TPanel(f);
  panel->SetParent(f);
  panel->SetBounds(10, 10, 100, 100);
  auto* menu = new TPopupMenu(f);
  auto* copy = new TMenuItem(f);
  copy->SetCaption("&Copy");
  auto* line = new TMenuItem(f);
  line->SetCaption("-");
  auto* hidden = new TMenuItem(f);
  hidden->SetCaption("Hidden");
  hidden->SetVisible(false);
  auto* paste = new TMenuItem(f);
  paste->SetCaption("&Paste");
  for (TMenuItem* i : {copy, line, hidden, paste}) menu->Items()->Add(i);
  panel->SetPopupMenu(menu);
  copy->OnClick = [&](TObject*) { log.push_back("copy"); };
  paste->OnClick = [&](TObject*) { log.push_back("paste"); };
  menu->OnPopup = [&](TObject*) { log.push_back("popup"); };
  f->Show();
  int step = 0;
  host_->SetIdleHandler([&] {
    // Down twice passes over the line to Paste; Enter chooses it.
    if (step == 0) host_->Key(VK_DOWN);
    else if (step == 1) host_->Key(VK_DOWN);
    else if (step == 2) host_->Key(VK_RETURN);
    else return false;
    ++step;
    return true;
  });
  host_->Click(Center(panel), MouseButton::Right);
  host_->Pump();
  EXPECT_EQ(menu->PopupComponent(), panel);
  std::vector<std::string> expected = {"popup", "paste"};
  EXPECT_EQ(log, expected);
  // A control without a menu asks its parent's.
  auto* inner = new TPanel(f);
  inner->SetParent(panel);
  inner->SetBounds(10, 10, 30, 30);
  step = 0;
  log.clear();
  host_->Click(Center(inner), MouseButton::Right);
  host_->Pump();
  EXPECT_EQ(log.front(), "popup");
  // An item with sub-items opens them as the next menu.
  auto* more = new TMenuItem(f);
  more->SetCaption("More");
  auto* sub = new TMenuItem(f);
  sub->SetCaption("Sub");
  sub->OnClick = [&](TObject*) { log.push_back("sub"); };
  more->Add(sub);
  menu->Items()->Clear();
  menu->Items()->Add(more);
  step = 0;
  log.clear();
  host_->SetIdleHandler([&] {
    // Down and Enter on "More", then Down and Enter on "Sub".
    if (step > 3) return false;
    host_->Key(step % 2 == 0 ? VK_DOWN : VK_RETURN);
    ++step;
    return true;
  });
  host_->Click(Center(panel), MouseButton::Right);
  host_->Pump();
  std::vector<std::string> nested = {"popup", "sub"};
  EXPECT_EQ(log, nested);
}

}  // namespace

namespace {

TEST_F(TkForms, ScreenTellsSizeWorkAreaFontsAndForms) {
  EXPECT_EQ(Screen->Width(), 1280);
  EXPECT_EQ(Screen->Height(), 800);
  EXPECT_EQ(Screen->WorkAreaRect(), Rect(0, 0, 1280, 760));  // less the bar
  EXPECT_EQ(Screen->PixelsPerInch(), 96);
  TStrings& fonts = Screen->Fonts();
  ASSERT_GT(fonts.Count(), 0);
  for (int i = 1; i < fonts.Count(); ++i) EXPECT_LE(CompareText(fonts[i - 1], fonts[i]), 0);
  TForm* f = MakeForm();
  EXPECT_EQ(Screen->Forms(Screen->FormCount() - 1), f);
  f->SetPosition(TPosition::poScreenCenter);
  f->Show();
  EXPECT_EQ(f->Left(), (1280 - 300) / 2);
  EXPECT_EQ(f->Top(), (760 - 200) / 2);
  EXPECT_EQ(Screen->ActiveForm(), f);
}

TEST_F(TkForms, ShowModalRunsUntilAButtonSetsTheResult) {
  TForm* owner = MakeForm();
  owner->Show();
  TForm* dialog = MakeForm();
  auto* ok = new TButton(dialog);
  ok->SetParent(dialog);
  ok->SetBounds(10, 10, 75, 25);
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  bool ownerDisabled = false;
  int step = 0;
  host_->SetIdleHandler([&] {
    if (step++ > 0) return false;
    ownerDisabled = !IsWindowEnabled(owner->Handle());
    host_->Key(VK_RETURN);  // the default button
    return true;
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
  EXPECT_FALSE(dialog->Visible());
  EXPECT_THROW({
    dialog->Show();
    dialog->ShowModal();
  }, EInvalidOperation);
}

TEST_F(TkForms, KeyPreviewLetsTheFormSeeKeysFirst) {
  TForm* f = MakeForm();
  f->SetKeyPreview(true);
  auto* b = new TButton(f);
  b->SetParent(f);
  std::vector<std::string> keys;
  f->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    keys.push_back("form " + std::to_string(key));
    if (key == VK_F2) key = 0;  // taken: the control never sees it
  };
  b->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { keys.push_back("button " + std::to_string(key)); };
  f->Show();
  b->SetFocus();
  host_->Key(VK_F1);
  host_->Key(VK_F2);
  host_->Pump();
  std::vector<std::string> expected = {"form 112", "button 112", "form 113"};
  EXPECT_EQ(keys, expected);
}

TEST_F(TkForms, MinimizeAndRestoreTheMainForm) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  main->Show();
  Application->Minimize();
  EXPECT_EQ(main->WindowState(), TWindowState::wsMinimized);
  Application->Restore();
  EXPECT_EQ(main->WindowState(), TWindowState::wsNormal);
  main->SetWindowState(TWindowState::wsMaximized);
  EXPECT_EQ(main->WindowState(), TWindowState::wsMaximized);
}

}  // namespace

namespace {

TEST_F(TkForms, AcceleratorsAndDialogKeysReachControlsInsidePanels) {
  TForm* f = MakeForm();
  auto* panel = new TPanel(f);
  panel->SetParent(f);
  panel->SetAlign(TAlign::alClient);
  auto* convert = new TButton(f);
  convert->SetParent(panel);
  convert->SetCaption("&Convert");
  convert->SetBounds(10, 10, 80, 25);
  auto* ok = new TButton(f);
  ok->SetParent(panel);
  ok->SetCaption("OK");
  ok->SetDefault(true);
  ok->SetBounds(100, 10, 80, 25);
  auto* edit = new TEdit(f);
  edit->SetParent(panel);
  edit->SetBounds(10, 50, 100, 21);
  auto* label = new TLabel(f);
  label->SetParent(panel);
  label->SetCaption("&Name");
  label->SetFocusControl(edit);
  convert->OnClick = [&](TObject*) { log.push_back("convert"); };
  ok->OnClick = [&](TObject*) { log.push_back("ok"); };
  f->Show();
  convert->SetFocus();
  host_->KeyDown(VK_MENU);
  host_->Key('N');
  host_->KeyUp(VK_MENU);
  host_->Pump();
  EXPECT_TRUE(edit->Focused());
  host_->KeyDown(VK_MENU);
  host_->Key('C');
  host_->KeyUp(VK_MENU);
  host_->Pump();
  EXPECT_TRUE(convert->Focused());
  edit->SetFocus();
  host_->Key(VK_RETURN);  // in a one-line edit Enter goes to the default button
  host_->Pump();
  std::vector<std::string> expected = {"convert", "ok"};
  EXPECT_EQ(log, expected);
}

}  // namespace

namespace {

TEST_F(TkForms, AReplacedWindowProcSeesEveryMessageAndSurvivesARecreate) {
  TForm* f = MakeForm();
  std::vector<UINT> seen;
  TControl::TWndMethod previous = f->WindowProc();
  f->SetWindowProc([&, previous](TMessage& m) {
    seen.push_back(m.Msg);
    if (m.Msg == WM_CLOSE) return;  // swallowed: the form stays
    previous(m);
  });
  f->Show();
  f->SetBorderStyle(TFormBorderStyle::bsNone);  // a new window
  seen.clear();
  SendMessage(f->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(f->Visible());
  EXPECT_NE(std::find(seen.begin(), seen.end(), WM_CLOSE), seen.end());
  f->Perform(CM_MOUSEENTER);
  EXPECT_EQ(seen.back(), CM_MOUSEENTER);
  f->SetWindowProc(nullptr);
  SendMessage(f->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(f->Visible());
}

TEST_F(TkForms, MovingOnFromAShownHintUsesTheShortPause) {
  TForm* f = MakeForm();
  TButton* b[2];
  for (int i = 0; i < 2; ++i) {
    b[i] = new TButton(f);
    b[i]->SetParent(f);
    b[i]->SetBounds(10 + 100 * i, 10, 80, 25);
    b[i]->SetHint("hint " + std::to_string(i));
    b[i]->SetShowHint(true);
  }
  Application->SetHintShortPause(100);
  f->Show();
  host_->MoveMouse(Center(b[0]));
  host_->Pump();
  host_->AdvanceClock(500);
  ASSERT_TRUE(Application->HintWindow()->IsShown());
  host_->MoveMouse(Center(b[1]));
  host_->Pump();
  host_->AdvanceClock(100);
  EXPECT_TRUE(Application->HintWindow()->IsShown());
  EXPECT_EQ(Application->HintWindow()->Text(), "hint 1");
  Application->SetHintShortPause(50);
}

}  // namespace

namespace {

TEST_F(TkForms, DraggingALabelOntoAPanelThatAcceptsIt) {
  TForm* f = MakeForm();
  auto* label = new TLabel(f);
  label->SetParent(f);
  label->SetBounds(10, 10, 60, 20);
  label->SetAutoSize(false);
  label->SetDragMode(TDragMode::dmAutomatic);
  auto* taker = new TPanel(f);
  taker->SetParent(f);
  taker->SetBounds(150, 10, 100, 100);
  auto* refuser = new TPanel(f);
  refuser->SetParent(f);
  refuser->SetBounds(150, 120, 100, 60);
  std::vector<std::string> events;
  taker->OnDragOver = [&](TObject*, TObject* source, int, int, TDragState state, bool& accept) {
    accept = source == label;
    events.push_back(state == TDragState::dsDragEnter ? "enter" : state == TDragState::dsDragLeave ? "leave" : "over");
  };
  refuser->OnDragOver = [&](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = false; };
  taker->OnDragDrop = [&](TObject*, TObject* source, int x, int y) {
    events.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
    EXPECT_EQ(source, label);
  };
  TObject* endTarget = label;
  label->OnEndDrag = [&](TObject*, TObject* target, int, int) { endTarget = target; };
  int clicks = 0;
  label->OnClick = [&](TObject*) { ++clicks; };
  f->Show();
  Point from = Center(label);
  host_->PressMouse(from);
  host_->MoveMouse(from + Point(2, 0));  // under the threshold: not yet a drag
  host_->Pump();
  EXPECT_FALSE(Dragging());
  host_->MoveMouse(taker->ClientToScreen({20, 30}));
  host_->Pump();
  host_->MoveMouse(taker->ClientToScreen({25, 30}));
  host_->Pump();
  host_->ReleaseMouse(taker->ClientToScreen({25, 30}));
  host_->Pump();
  std::vector<std::string> expected = {"enter", "over", "drop 25,30"};
  EXPECT_EQ(events, expected);
  EXPECT_EQ(endTarget, taker);
  EXPECT_EQ(clicks, 0);
  // A drop where nobody accepts ends with no target; a short press is a click.
  host_->PressMouse(from);
  host_->MoveMouse(refuser->ClientToScreen({10, 10}));
  host_->ReleaseMouse(refuser->ClientToScreen({10, 10}));
  host_->Pump();
  EXPECT_EQ(endTarget, nullptr);
  host_->Click(from);
  host_->Pump();
  EXPECT_EQ(clicks, 1);
  // Escape calls the drag off.
  endTarget = label;
  host_->PressMouse(from);
  host_->MoveMouse(taker->ClientToScreen({20, 30}));
  host_->Key(VK_ESCAPE);
  host_->ReleaseMouse(taker->ClientToScreen({20, 30}));
  host_->Pump();
  EXPECT_EQ(endTarget, nullptr);
  EXPECT_FALSE(Dragging());
}

}  // namespace

namespace {

TEST_F(TkForms, ShortcutsGoToTheFormHandlerThenToPopupMenus) {
  TForm* f = MakeForm();
  auto* memo = new TMemo(f);
  memo->SetParent(f);
  auto* menu = new TPopupMenu(f);
  auto* copy = new TMenuItem(f);
  copy->SetShortCut(scCtrl | 'K');
  menu->Items()->Add(copy);
  f->SetPopupMenu(menu);  // the form's menu serves the controls on it
  copy->OnClick = [&](TObject*) { log.push_back("menu"); };
  f->OnShortCut = [&](TObject*, WORD key, TShiftState shift, bool& handled) {
    if (key == VK_F4 && (shift & ssAlt)) return;
    if (key == 'Q' && (shift & ssCtrl)) {
      log.push_back("form");
      handled = true;
    }
  };
  f->Show();
  memo->SetFocus();
  host_->KeyDown(VK_CONTROL);
  host_->Key('Q');
  host_->Key('K');
  host_->KeyUp(VK_CONTROL);
  host_->TypeText("x");
  host_->Pump();
  std::vector<std::string> expected = {"form", "menu"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(memo->Text(), "x");  // the taken keys never reached the memo
}

}  // namespace
