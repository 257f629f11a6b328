// Form resources: components and their properties, links resolved after creation,
// handlers and fields wired by name, and clear errors for damaged text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/ImgList.h"
#include "toolkit/Menus.h"
#include "toolkit/Reader.h"
#include "toolkit/Strings.h"

namespace {

std::vector<std::string> g_events;

// A stand-in for a stored skin: binary data.
class TStoredBlob : public TComponent {
 public:
  explicit TStoredBlob(TComponent* owner) : TComponent(owner) {}
  std::vector<std::uint8_t> data;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override {
    if (SameText(name, "CompressedData")) {
      data = value.AsBinary();
      return true;
    }
    return TComponent::ReadProperty(name, value, reader);
  }
};

// A stand-in for a skin data object: a link that acts at once when set, as the skin
// data object loads its stored skin when the link is set.
class TBlobUser : public TComponent {
 public:
  explicit TBlobUser(TComponent* owner) : TComponent(owner) {}
  TStoredBlob* Blob() const { return m_blob; }
  void SetBlob(TStoredBlob* b) {
    m_blob = b;
    if (b) {
      b->FreeNotification(this);
      sizeWhenLinked = static_cast<int>(b->data.size());
      g_events.push_back("linked " + b->Name());
    }
  }
  int sizeWhenLinked = -1;
  void Loaded() override {
    TComponent::Loaded();
    g_events.push_back("loaded " + Name());
  }
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override {
    if (SameText(name, "Blob")) {
      reader.ReadLink<TStoredBlob>(value, [this](TStoredBlob* b) { SetBlob(b); });
      return true;
    }
    return TComponent::ReadProperty(name, value, reader);
  }

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == TOperation::opRemove && c == m_blob) m_blob = nullptr;
  }

 private:
  TStoredBlob* m_blob = nullptr;
};

// A component with the kinds of values a control has.
class TWidget : public TComponent {
 public:
  explicit TWidget(TComponent* owner) : TComponent(owner) {}
  std::string caption;
  int left = 0;
  double ratio = 0;
  bool flag = false;
  int align = 0;
  std::uint32_t anchors = 0;
  TStringList lines;
  TNotifyEvent OnClick;
  std::function<void(TObject*, bool&)> OnCloseQuery;
  TComponent* parentComponent = nullptr;

  void SetParentComponent(TComponent* parent) override { parentComponent = parent; }
  TPersistent* PropertyObject(std::string_view name) override {
    if (SameText(name, "Lines")) return &lines;
    return TComponent::PropertyObject(name);
  }
  bool ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) override {
    if (SameText(name, "Caption")) caption = v.AsString();
    else if (SameText(name, "Left")) left = v.AsInt();
    else if (SameText(name, "Ratio")) ratio = v.AsFloat();
    else if (SameText(name, "Flag")) flag = v.AsBool();
    else if (SameText(name, "Align")) align = v.AsEnum({{"alNone", 0}, {"alTop", 1}, {"alClient", 5}});
    else if (SameText(name, "Anchors")) anchors = v.AsSet({{"akLeft", 1}, {"akTop", 2}, {"akRight", 4}});
    else if (SameText(name, "OnClick")) OnClick = reader.ReadHandler<TNotifyEvent>(v);
    else if (SameText(name, "OnCloseQuery"))
      OnCloseQuery = reader.ReadHandler<std::function<void(TObject*, bool&)>>(v);
    else return TComponent::ReadProperty(name, v, reader);
    return true;
  }
};

class TTestForm : public TComponent {
 public:
  TTestForm() : TComponent(nullptr) {
    handlers.Add("ButtonClick", this, &TTestForm::ButtonClick);
    handlers.Add<TNotifyEvent>("ItemClick", [](TObject* s) {
      g_events.push_back("item " + static_cast<TComponent*>(s)->Name());
    });
    handlers.Add("FormCloseQuery", this, &TTestForm::FormCloseQuery);
    handlers.Field("Button1", button1);
    handlers.Field("Holder", holder);
  }
  void ButtonClick(TObject* sender) { g_events.push_back("click " + static_cast<TComponent*>(sender)->Name()); }
  void FormCloseQuery(TObject*, bool& canClose) { canClose = false; }
  std::string caption;
  bool ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) override {
    if (SameText(name, "Caption")) {
      caption = v.AsString();
      return true;
    }
    return TComponent::ReadProperty(name, v, reader);
  }
  THandlerRegistry handlers;
  TWidget* button1 = nullptr;
  TBlobUser* holder = nullptr;
};

void RegisterTestClasses() {
  RegisterComponentClass<TStoredBlob>("TStoredBlob");
  RegisterComponentClass<TBlobUser>("TBlobUser");
  RegisterComponentClass<TWidget>("TWidget");
}

const char* kForm = R"(
object kavri: TTestForm
  Caption = 'Kavri ' + #29233 + 'x''s'
  object Holder: TBlobUser
    Blob = Store   // named before it exists
  end
  object Button1: TWidget
    Caption = #$7231
    Left = -12
    Ratio = 1.5
    Flag = True
    Align = alClient
    Anchors = [akLeft, akRight]
    OnClick = ButtonClick
    OnCloseQuery = FormCloseQuery
    Lines.Strings = (
      'one'
      'two words')
    object Inner: TWidget
      Tag = $10
    end
  end
  object Menu: TPopupMenu
    Images = Images
    object MiCopy: TMenuItem
      Caption = '&Copy'
      ShortCut = 16451
      OnClick = ItemClick
    end
    object MiMore: TMenuItem
      Caption = 'More'
      object MiSub: TMenuItem
        Caption = 'Sub'
        ShortCut = 'Ctrl+Shift+S'
        RadioItem = True
        Checked = True
      end
    end
  end
  object Images: TImageList
    Width = 8
    Height = 8
  end
  object Store: TStoredBlob
    CompressedData = {
      0A0B0C
      0D}
  end
end
)";

TEST(TkStream, ReadsComponentsPropertiesLinksAndHandlers) {
  RegisterTestClasses();
  g_events.clear();
  TTestForm form;
  ReadComponentResource(&form, kForm, &form.handlers);

  EXPECT_EQ(form.Name(), "kavri");
  EXPECT_EQ(form.caption, "Kavri \xE7\x88\xB1x's");
  ASSERT_EQ(form.ComponentCount(), 9);
  ASSERT_NE(form.button1, nullptr);  // the field was filled
  EXPECT_EQ(form.button1, form.FindComponent("Button1"));
  EXPECT_EQ(form.button1->caption, "\xE7\x88\xB1");
  EXPECT_EQ(form.button1->left, -12);
  EXPECT_DOUBLE_EQ(form.button1->ratio, 1.5);
  EXPECT_TRUE(form.button1->flag);
  EXPECT_EQ(form.button1->align, 5);
  EXPECT_EQ(form.button1->anchors, 5u);
  EXPECT_EQ(form.button1->lines.Text(), "one\ntwo words\n");
  EXPECT_EQ(form.button1->parentComponent, &form);
  auto* inner = static_cast<TWidget*>(form.FindComponent("Inner"));
  EXPECT_EQ(inner->Owner(), &form);  // every component is owned by the form
  EXPECT_EQ(inner->parentComponent, form.button1);
  EXPECT_EQ(inner->Tag(), 16);

  // Handlers wired by name run the form's methods.
  form.button1->OnClick(form.button1);
  bool canClose = true;
  form.button1->OnCloseQuery(&form, canClose);
  EXPECT_FALSE(canClose);

  // The link was set after every component existed, so the data was already there, and
  // before Loaded ran.
  ASSERT_NE(form.holder, nullptr);
  EXPECT_EQ(form.holder->Blob(), form.FindComponent("Store"));
  EXPECT_EQ(form.holder->sizeWhenLinked, 4);
  std::vector<std::string> expected = {"linked Store", "loaded Holder", "click Button1"};
  EXPECT_EQ(g_events, expected);
  EXPECT_FALSE(form.holder->HasState(csLoading));

  auto* menu = static_cast<TPopupMenu*>(form.FindComponent("Menu"));
  EXPECT_EQ(menu->Images(), form.FindComponent("Images"));
  ASSERT_EQ(menu->Items()->Count(), 2);
  TMenuItem* copy = menu->Items()->Items(0);
  EXPECT_EQ(copy->GetShortCut(), scCtrl | 'C');
  TMenuItem* sub = menu->Items()->Items(1)->Items(0);
  EXPECT_EQ(sub->GetShortCut(), scCtrl | scShift | 'S');
  EXPECT_TRUE(sub->Checked());
  EXPECT_TRUE(menu->IsShortCut(scCtrl | 'C'));
  EXPECT_EQ(g_events.back(), "item MiCopy");
  EXPECT_EQ(static_cast<TImageList*>(form.FindComponent("Images"))->Width(), 8);

  // Destroying the linked component clears the link.
  delete form.FindComponent("Store");
  EXPECT_EQ(form.holder->Blob(), nullptr);
}

TEST(TkStream, AResourceCanSwapAClassForAnotherRegisteredOne) {
  RegisterTestClasses();
  RegisterComponentClass<TBlobUser>("TSkinnedThing");
  EXPECT_TRUE(FindClass("tskinnedthing"));
  TTestForm form;
  ReadComponentResource(&form, "object F: TTestForm\n object Holder: TSkinnedThing\n end\nend\n",
                        &form.handlers);
  EXPECT_NE(form.holder, nullptr);
}

struct BadCase {
  const char* name;
  const char* text;
  const char* message;  // a part of the error text
};

class TkStreamErrors : public ::testing::TestWithParam<BadCase> {};

TEST_P(TkStreamErrors, DamagedResourcesGiveAClearError) {
  RegisterTestClasses();
  const BadCase& c = GetParam();
  TTestForm form;
  try {
    ReadComponentResource(&form, c.text, &form.handlers);
    FAIL() << "no error for " << c.name;
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
        << c.name << ": " << e.what();
  }
  for (int i = 0; i < form.ComponentCount(); ++i)
    EXPECT_FALSE(form.Components(i)->HasState(csLoading));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TkStreamErrors,
    ::testing::Values(
        BadCase{"Empty", "", "Line 1: expected 'object'"},
        BadCase{"NoEnd", "object F: TTestForm\n  Caption = 'x'\n", "Line 3: missing 'end' of object 'F'"},
        BadCase{"TrailingText", "object F: TTestForm\nend\nend", "Line 3: unexpected text"},
        BadCase{"UnterminatedString", "object F: TTestForm\n Caption = 'abc\nend", "Line 2: line break inside a string"},
        BadCase{"MissingEquals", "object F: TTestForm\n Caption 'x'\nend", "Line 2: expected '=' after property name 'Caption'"},
        BadCase{"OddHex", "object F: TTestForm\n object S: TStoredBlob\n  CompressedData = {ABC}\n end\nend", "odd number of hex digits"},
        BadCase{"BadHex", "object F: TTestForm\n object S: TStoredBlob\n  CompressedData = {AZ}\n end\nend", "invalid character 'Z'"},
        BadCase{"UnknownClass", "object F: TTestForm\n object X: TNoSuchThing\n end\nend", "Line 2: Class TNoSuchThing not found"},
        BadCase{"WrongRootClass", "object F: TOtherForm\nend", "describes a TOtherForm, not a TTestForm"},
        BadCase{"UnknownProperty", "object F: TTestForm\n Captoin = 'x'\nend", "Error reading F.Captoin: Property Captoin does not exist"},
        BadCase{"UnknownSubProperty", "object F: TTestForm\n object B: TWidget\n  Lines.Strangs = ('a')\n end\nend", "Property Lines.Strangs does not exist"},
        BadCase{"WrongKind", "object F: TTestForm\n object B: TWidget\n  Left = 'ten'\n end\nend", "Line 3: Error reading B.Left: Invalid property value 'ten'"},
        BadCase{"BadEnum", "object F: TTestForm\n object B: TWidget\n  Align = alMiddle\n end\nend", "Invalid property value alMiddle"},
        BadCase{"BadSetElement", "object F: TTestForm\n object B: TWidget\n  Anchors = [akLeft, akUp]\n end\nend", "unknown set element akUp"},
        BadCase{"UnknownHandler", "object F: TTestForm\n object B: TWidget\n  OnClick = NoSuchClick\n end\nend", "Handler NoSuchClick does not exist"},
        BadCase{"HandlerOfWrongType", "object F: TTestForm\n object B: TWidget\n  OnClick = FormCloseQuery\n end\nend", "does not fit this event"},
        BadCase{"UnknownLink", "object F: TTestForm\n object H: TBlobUser\n  Blob = Nowhere\n end\nend", "Line 3: Error reading H.Blob: Component Nowhere does not exist"},
        BadCase{"LinkOfWrongClass", "object F: TTestForm\n object H: TBlobUser\n  Blob = F\n end\nend", "F is a TTestForm"},
        BadCase{"DuplicateName", "object F: TTestForm\n object A: TWidget\n end\n object a: TWidget\n end\nend", "Line 4: A component named a already exists"},
        BadCase{"FieldOfWrongClass", "object F: TTestForm\n object Button1: TBlobUser\n end\nend", "Field Button1 does not fit a TBlobUser"},
        BadCase{"MenuItemOutsideMenu", "object F: TTestForm\n object M: TMenuItem\n end\nend", "Line 2: Cannot place M in F"},
        BadCase{"HugeNumber", "object F: TTestForm\n Tag = 99999999999999999999\nend", "number too large"},
        BadCase{"CharCodeTooLarge", "object F: TTestForm\n Caption = #1114112\nend", "character code out of range"},
        BadCase{"UnclosedList", "object F: TTestForm\n object B: TWidget\n  Lines.Strings = ('a'\n", "missing ')'"}),
    [](const ::testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST(TkStream, DeepNestingIsRefusedNotOverflowed) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "object A: TWidget\n";
  EXPECT_THROW(ParseFormText(text), EReadError);
  std::string values = "object F: TTestForm\n Caption = ";
  for (int i = 0; i < 5000; ++i) values += "(";
  EXPECT_THROW(ParseFormText(values), EReadError);
}

TEST(TkStream, RegisteredFormResourcesAreFoundByClassName) {
  RegisterFormResource("TTestForm", "object F: TTestForm\nend\n");
  ASSERT_NE(FindFormResource("ttestform"), nullptr);
  EXPECT_EQ(FindFormResource("TNone"), nullptr);
}

}  // namespace
