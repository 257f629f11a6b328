// Skinned buttons bound to actions (read from form text, state kept in step, clicks,
// refresh on idle, removal) and caption accelerators (underlined, Alt+key, a key alone
// where no text is typed).
#include "SkinCtrlsTestSupport.h"
#include "skin/controls/skSkinBoxCtrls.h"
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinPanel.h"
#include "toolkit/ActnList.h"
#include "toolkit/ImgList.h"
#include "toolkit/Reader.h"

using namespace skinctl;

namespace {

constexpr std::string_view kActionForm = R"(object F: TForm
  Left = 50
  Top = 50
  Width = 400
  Height = 300
  object Images: TImageList
    Width = 8
    Height = 8
  end
  object Actions: TActionList
    Images = Images
    object Act_Go: TAction
      Caption = '&Go'
      Hint = 'Go on'
      ImageIndex = 0
      OnExecute = Act_GoExecute
      OnUpdate = Act_GoUpdate
    end
    object Act_Mark: TAction
      Caption = 'Mark'
      Checked = True
      OnExecute = Act_MarkExecute
    end
  end
  object Bu_Go: TskSkinButton
    Left = 10
    Top = 10
    Width = 80
    Height = 25
    Caption = 'stale'
    Action = Act_Go
  end
  object Bu_Own: TskSkinButton
    Left = 100
    Top = 10
    Width = 80
    Height = 25
    OnClick = Bu_OwnClick
    Action = Act_Go
  end
  object Bar: TskSkinToolBar
    Left = 10
    Top = 50
    Width = 300
    object SB_Mark: TskSkinSpeedButton
      Left = 0
      Top = 0
      Width = 60
      Height = 25
      Action = Act_Mark
    end
  end
end
)";

class SkinCtrlActions : public SkinCtrlTest {
 protected:
  void ReadForm() {
    handlers.Add<TNotifyEvent>("Act_GoExecute", [this](TObject* s) {
      log.push_back("go:" + Name(s));
      auto* a = dynamic_cast<TAction*>(s);
      if (a && a->ActionComponent()) log.push_back("from:" + a->ActionComponent()->Name());
    });
    handlers.Add<TNotifyEvent>("Act_GoUpdate", [this](TObject*) {
      ++updates;
      if (auto* a = dynamic_cast<TAction*>(f->FindComponent("Act_Go"))) a->SetEnabled(goEnabled);
    });
    handlers.Add<TNotifyEvent>("Act_MarkExecute", [this](TObject* s) { log.push_back("mark:" + Name(s)); });
    handlers.Add<TNotifyEvent>("Bu_OwnClick", [this](TObject* s) { log.push_back("own:" + Name(s)); });
    RegisterSkinControlClasses();
    f = new TForm(nullptr);
    ReadComponentResource(f, kActionForm, &handlers);
    go = dynamic_cast<TAction*>(f->FindComponent("Act_Go"));
    mark = dynamic_cast<TAction*>(f->FindComponent("Act_Mark"));
    buGo = dynamic_cast<TskSkinButton*>(f->FindComponent("Bu_Go"));
    buOwn = dynamic_cast<TskSkinButton*>(f->FindComponent("Bu_Own"));
    sbMark = dynamic_cast<TskSkinSpeedButton*>(f->FindComponent("SB_Mark"));
    ASSERT_TRUE(go && mark && buGo && buOwn && sbMark);
  }
  static std::string Name(TObject* o) {
    auto* c = dynamic_cast<TComponent*>(o);
    return c ? c->Name() : "?";
  }
  void Show() {
    f->Show();
    host_->Pump();
  }
  // Runs the application's loop once with nothing queued: its idle work, then the wait,
  // which a message posted from the host's idle handler ends.
  void RunIdle() {
    host_->Pump();
    bool posted = false;
    host_->SetIdleHandler([&posted] {
      if (posted) return false;
      posted = PostMessage(Application->Handle(), WM_USER, 0, 0);
      return true;
    });
    Application->HandleMessage();
    host_->SetIdleHandler(nullptr);
  }

  THandlerRegistry handlers;
  TForm* f = nullptr;
  TAction* go = nullptr;
  TAction* mark = nullptr;
  TskSkinButton* buGo = nullptr;
  TskSkinButton* buOwn = nullptr;
  TskSkinSpeedButton* sbMark = nullptr;
  std::vector<std::string> log;
  int updates = 0;
  bool goEnabled = true;
};

TEST_F(SkinCtrlActions, FormTextBindsButtonsToActionsByName) {
  ReadForm();
  EXPECT_EQ(buGo->Action(), go);
  EXPECT_EQ(sbMark->Action(), mark);
  EXPECT_EQ(go->ActionList(), f->FindComponent("Actions"));
  EXPECT_EQ(go->Index(), 0);
  EXPECT_EQ(mark->Index(), 1);
  // The action's state wins over what the text gave the button.
  EXPECT_EQ(buGo->Caption(), "&Go");
  EXPECT_EQ(buGo->Hint(), "Go on");
  EXPECT_EQ(sbMark->Caption(), "Mark");
  EXPECT_TRUE(sbMark->Down());  // checked
  go->SetCaption("Run");
  go->SetHint("Run it");
  go->SetEnabled(false);
  EXPECT_EQ(buGo->Caption(), "Run");
  EXPECT_EQ(buOwn->Caption(), "Run");
  EXPECT_EQ(buGo->Hint(), "Run it");
  EXPECT_FALSE(buGo->Enabled());
  EXPECT_FALSE(buOwn->Enabled());
  mark->SetChecked(false);
  EXPECT_FALSE(sbMark->Down());
  mark->SetVisible(false);
  EXPECT_FALSE(sbMark->Visible());
  delete f;
}

TEST_F(SkinCtrlActions, ClicksRunTheActionOrTheButtonsOwnHandler) {
  ReadForm();
  Show();
  host_->Click(Centre(buGo));
  host_->Pump();
  // The button runs the action: its handler hears the action, which knows the button.
  EXPECT_EQ(log, (std::vector<std::string>{"go:Act_Go", "from:Bu_Go"}));
  log.clear();
  host_->Click(Centre(buOwn));
  host_->Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"own:Bu_Own"}));
  log.clear();
  // The speed button runs OnClick, which the link made the action's handler.
  host_->Click(Centre(sbMark));
  host_->Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"mark:SB_Mark"}));
  log.clear();
  // A disabled action runs nothing, even when asked directly.
  go->SetEnabled(false);
  EXPECT_FALSE(go->Execute());
  buGo->Click();
  EXPECT_TRUE(log.empty());
  // The list's handler comes first and may take the event.
  go->SetEnabled(true);
  auto* list = dynamic_cast<TActionList*>(f->FindComponent("Actions"));
  list->OnExecute = [this](TAction* a, bool& handled) {
    log.push_back("list:" + a->Name());
    handled = a->Name() == "Act_Go";
  };
  buGo->Click();
  mark->Execute();
  EXPECT_EQ(log, (std::vector<std::string>{"list:Act_Go", "list:Act_Mark", "mark:Act_Mark"}));
  delete f;
}

TEST_F(SkinCtrlActions, UpdateRunsOnIdleForTheShownForm) {
  ReadForm();
  RunIdle();
  EXPECT_EQ(updates, 0);  // the form is hidden
  Show();
  goEnabled = false;
  RunIdle();
  // Two buttons show the action: it refreshes for each.
  EXPECT_EQ(updates, 2);
  EXPECT_FALSE(buGo->Enabled());
  goEnabled = true;
  buOwn->SetVisible(false);
  RunIdle();
  EXPECT_EQ(updates, 3);
  EXPECT_TRUE(buGo->Enabled());
  EXPECT_TRUE(buOwn->Enabled());  // hidden buttons still follow the action
  // The list's handler can take the update.
  auto* list = dynamic_cast<TActionList*>(f->FindComponent("Actions"));
  list->OnUpdate = [](TAction*, bool& handled) { handled = true; };
  RunIdle();
  EXPECT_EQ(updates, 3);
  delete f;
}

TEST_F(SkinCtrlActions, RemovingTheActionClearsTheLinkAndItsClick) {
  ReadForm();
  Show();
  delete go;
  EXPECT_EQ(buGo->Action(), nullptr);
  EXPECT_EQ(buOwn->Action(), nullptr);
  EXPECT_FALSE(buGo->OnClick);  // the action's handler went with it
  EXPECT_TRUE(buOwn->OnClick);  // the button's own stays
  EXPECT_EQ(buGo->Caption(), "&Go");  // the last state remains
  host_->Click(Centre(buGo));
  host_->Click(Centre(buOwn));
  host_->Pump();
  RunIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"own:Bu_Own"}));
  // The list going leaves its actions in the form; a button going leaves its action.
  delete f->FindComponent("Actions");
  EXPECT_EQ(mark->ActionList(), nullptr);
  delete sbMark;
  mark->SetCaption("after");
  mark->SetChecked(true);
  EXPECT_EQ(mark->Caption(), "after");
  // Unbinding keeps a handler of the button's own.
  buOwn->SetAction(mark);
  buOwn->SetAction(nullptr);
  EXPECT_TRUE(buOwn->OnClick);
  buGo->SetAction(mark);
  EXPECT_TRUE(buGo->OnClick);
  buGo->SetAction(nullptr);
  EXPECT_FALSE(buGo->OnClick);
  delete f;
}

TEST_F(SkinCtrlActions, AnEmptyGlyphTakesTheActionImageOverMagenta) {
  ReadForm();
  auto* images = dynamic_cast<TImageList*>(f->FindComponent("Images"));
  // An 8 x 8 image: a red square of 4 in the middle, the rest see-through.
  TBitmap picture;
  picture.SetSize(8, 8);
  FillRectPixels(picture.Image(), {0, 0, 8, 8}, RGB(0, 255, 0));
  FillRectPixels(picture.Image(), {2, 2, 6, 6}, RGB(255, 0, 0));
  picture.Modified();
  images->AddMasked(picture, RGB(0, 255, 0));
  // The list changed after the link: a new binding takes the image.
  buOwn->SetAction(nullptr);
  buOwn->SetAction(go);
  ASSERT_FALSE(buOwn->Glyph().Empty());
  const Bitmap& g = buOwn->Glyph().Image();
  EXPECT_EQ(g.Width(), 8);
  EXPECT_EQ(g.GetPixelColor(0, 7), 0xFF00FFu);
  EXPECT_EQ(g.GetPixelColor(3, 3), RGB(255, 0, 0));
  // A glyph of the button's own is never replaced; an index outside the list gives none.
  TBitmap own;
  own.SetSize(4, 4);
  buGo->SetGlyph(own);
  go->SetImageIndex(-1);
  go->SetImageIndex(0);
  EXPECT_EQ(buGo->Glyph().Width(), 4);
  mark->SetImageIndex(5);
  EXPECT_TRUE(sbMark->Glyph().Empty());
  delete f;
}

class SkinCtrlAccel : public SkinCtrlTest {
 protected:
  template <class Button>
  Button* Make(TWinControl* parent, std::string_view caption, int left) {
    auto* b = new Button(form_);
    b->SetParent(parent);
    b->SetBounds(left, 10, 60, 24);
    b->SetCaption(caption);
    b->OnClick = [this, b](TObject*) { clicked.push_back(b->Caption()); };
    return b;
  }
  void AltKey(int vk) {
    host_->KeyDown(VK_MENU);
    host_->Key(vk);
    host_->KeyUp(VK_MENU);
    host_->Pump();
  }
  std::vector<std::string> clicked;
};

TEST_F(SkinCtrlAccel, CaptionAcceleratorIsUnderlinedAndAmpersandsDoubleToOne) {
  auto* accel = Make<TskSkinButton>(form_, "&Go", 10);
  auto* plain = Make<TskSkinButton>(form_, "Go", 80);
  accel->SetCanFocused(false);
  plain->SetCanFocused(false);
  ShowForm();
  const Bitmap a = Render(accel), p = Render(plain);
  // The same letters in the same place, but one row of ink below the G.
  int differing = 0, rowsDiffering = 0;
  for (int y = 0; y < a.Height(); ++y) {
    bool row = false;
    for (int x = 0; x < a.Width(); ++x)
      if (a.GetPixelColor(x, y) != p.GetPixelColor(x, y)) ++differing, row = true;
    rowsDiffering += row;
  }
  EXPECT_GT(differing, 3);
  EXPECT_LE(rowsDiffering, 2);
  // "&&" is one ampersand and no accelerator.
  Make<TskSkinButton>(form_, "&&A", 150);
  AltKey('A');
  EXPECT_TRUE(clicked.empty());
}

TEST_F(SkinCtrlAccel, AltWithTheLetterFocusesAndClicksNestedButtons) {
  auto* panel = new TskSkinPanel(form_);
  panel->SetParent(form_);
  panel->SetBounds(0, 0, 380, 100);
  auto* inner = new TskSkinPanel(form_);
  inner->SetParent(panel);
  inner->SetBounds(5, 40, 300, 50);
  auto* save = Make<TskSkinButton>(inner, "&Save", 10);
  auto* open = Make<TskSkinButton>(panel, "&Open", 10);
  auto* off = Make<TskSkinButton>(panel, "&Quit", 80);
  off->SetEnabled(false);
  Make<TskSkinSpeedButton>(panel, "&Tool", 150);
  auto* hidden = Make<TskSkinSpeedButton>(panel, "&Hide", 220);
  hidden->SetShowCaption(false);
  auto* sticky = Make<TskSkinButton>(panel, "&Keep", 290);
  sticky->SetGroupIndex(1);  // takes no focus
  ShowForm();
  struct Case {
    int key;
    std::vector<std::string> clicked;
    TWinControl* focused;
  };
  const Case cases[] = {
      {'S', {"&Save"}, save}, {'O', {"&Open"}, open}, {'Q', {}, open},       // disabled
      {'T', {"&Tool"}, open}, {'H', {}, open},                               // caption not shown
      {'K', {"&Keep"}, open}, {'Z', {}, open},
  };
  for (const Case& c : cases) {
    clicked.clear();
    AltKey(c.key);
    EXPECT_EQ(clicked, c.clicked) << char(c.key);
    EXPECT_EQ(form_->ActiveControl(), c.focused) << char(c.key);
  }
}

TEST_F(SkinCtrlAccel, TheLetterAloneWorksWhereNoTextIsTyped) {
  auto* go = Make<TskSkinButton>(form_, "&Go", 10);
  auto* other = Make<TskSkinButton>(form_, "Other", 80);
  auto* edit = new TskSkinEdit(form_);
  edit->SetParent(form_);
  edit->SetBounds(10, 60, 120, 21);
  ShowForm();
  other->SetFocus();
  host_->TypeText("g");
  host_->Pump();
  EXPECT_EQ(clicked, (std::vector<std::string>{"&Go"}));
  EXPECT_TRUE(go->Focused());
  // In an edit the letter is text.
  clicked.clear();
  edit->SetFocus();
  host_->TypeText("g");
  host_->Pump();
  EXPECT_TRUE(clicked.empty());
  EXPECT_EQ(edit->Text(), "g");
  // Alt with it still reaches the button from the edit.
  AltKey('G');
  EXPECT_EQ(clicked, (std::vector<std::string>{"&Go"}));
  // A handler of typed characters takes them too.
  clicked.clear();
  other->OnKeyPress = [](TObject*, char32_t&) {};
  other->SetFocus();
  host_->TypeText("g");
  host_->Pump();
  EXPECT_TRUE(clicked.empty());
}

}  // namespace
