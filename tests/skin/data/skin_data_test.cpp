// The skin data object: loading with its messages, failures, lookups, removal notices,
// interface texts and the dump text.
#include <gtest/gtest.h>

#include <set>

#include "SkinTestFiles.h"
#include "skin/data/skIniReader.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinDump.h"
#include "skin/data/skSkinErrors.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/form/skSkinForm.h"
#include "toolkit/Forms.h"

namespace {

struct Heard {
  std::string form;
  unsigned message;
  const TskSkinData* sender;
  int param;
  bool operator==(const Heard&) const = default;
};

// Two forms of the application whose windows log the skin messages they hear.
class SkinDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowSystem::Install(std::make_unique<HeadlessHost>());
    m_formA = new TForm(nullptr);
    m_formB = new TForm(nullptr);
    Listen(m_formA, "A");
    Listen(m_formB, "B");
    SetPlainPackage(m_skin, PlainPackage(3, SaveBmp(PatternBitmap(30, 20, 40, 1), 8), {}, {}, {},
                                         {"[VERSION]", "skinname=first", "[SKINCONTROLS]", "count=2",
                                          "0=panel:panel", "1=edit:edit", "[edit]", "clientrect=3,3,54,18"}));
  }
  void TearDown() override {
    for (int i = Application->FormCount() - 1; i >= 0; --i) delete Application->Forms(i);
    WindowSystem::Shutdown();
  }

  void Listen(TCustomForm* form, std::string name) {
    HWND h = form->Handle();
    auto prev = std::make_shared<WNDPROC>();
    *prev = SetWindowLong(h, GWL_WNDPROC,
                          WNDPROC(WindowProc::Callable([this, prev, name](HWND w, UINT m, WPARAM wp, LPARAM lp) {
                            const bool skin = (m >= SKINMSG_BEFORECHANGE && m <= SKINMSG_AFTERCHANGE) ||
                                              m == SKINMSG_STRINGSCHANGED;
                            if (skin) {
                              auto* sender = reinterpret_cast<const TskSkinData*>(wp);
                              m_log.push_back({name, m, sender, static_cast<int>(lp)});
                              if (m == SKINMSG_BEFORECHANGE) m_recordsAtBeforeChange = sender->ControlList().size();
                            }
                            return CallWindowProc(*prev, w, m, wp, lp);
                          })));
  }

  std::vector<unsigned> MessagesTo(const std::string& form) const {
    std::vector<unsigned> out;
    for (const Heard& h : m_log)
      if (h.form == form) out.push_back(h.message);
    return out;
  }

  std::vector<Heard> m_log;
  TForm* m_formA = nullptr;
  TForm* m_formB = nullptr;
  std::size_t m_recordsAtBeforeChange = 0;
  TskCompressedStoredSkin m_skin;
};

TEST_F(SkinDataTest, CreatedEmptyWithoutMessages) {
  auto* data = new TskSkinData(m_formA);
  EXPECT_TRUE(data->SkinEmpty());
  EXPECT_EQ(data->FindControlIndex("panel"), -1);
  EXPECT_EQ(data->FindObjectIndex("caption"), -1);
  EXPECT_EQ(data->FormInfo().BGPictureIndex, -1);
  EXPECT_EQ(data->FormInfo().MDIBGPictureIndex, -1);
  EXPECT_EQ(data->PopupWindow().WindowPictureIndex, -1);
  EXPECT_TRUE(m_log.empty());
}

TEST_F(SkinDataTest, LoadSendsThreeMessagesToEveryFormOwnerFirst) {
  auto* data = new TskSkinData(m_formB);  // owned by the second form of the list
  data->SetCompressedStoredSkin(&m_skin);
  ASSERT_FALSE(data->SkinEmpty());
  const std::vector<Heard> expected = {
      {"B", SKINMSG_BEFORECHANGE, data, 1000}, {"A", SKINMSG_BEFORECHANGE, data, 1000},
      {"B", SKINMSG_CHANGED, data, 1000},      {"A", SKINMSG_CHANGED, data, 1000},
      {"B", SKINMSG_AFTERCHANGE, data, 1000},  {"A", SKINMSG_AFTERCHANGE, data, 1000},
  };
  EXPECT_EQ(m_log, expected);
  EXPECT_EQ(SKINMSG_BEFORECHANGE, 1225u);
  EXPECT_EQ(SKINMSG_CHANGED, 1226u);
  EXPECT_EQ(SKINMSG_AFTERCHANGE, 1227u);
  EXPECT_EQ(SKINMSG_STRINGSCHANGED, 1274u);
}

TEST_F(SkinDataTest, TwoWindowsHearBothAndEachFrameActsOnlyOnItsOwn) {
  auto* dataA = new TskSkinData(m_formA);
  auto* dataB = new TskSkinData(m_formB);
  auto* frameA = new TskSkinForm(m_formA);
  auto* frameB = new TskSkinForm(m_formB);
  frameA->SetSkinData(dataA);
  frameB->SetSkinData(dataB);
  // The frames gave the forms new windows (without the platform's caption buttons).
  Listen(m_formA, "A");
  Listen(m_formB, "B");
  dataA->SetCompressedStoredSkin(&m_skin);
  EXPECT_EQ(MessagesTo("A"), (std::vector<unsigned>{1225, 1226, 1227}));
  EXPECT_EQ(MessagesTo("B"), (std::vector<unsigned>{1225, 1226, 1227}));
  EXPECT_TRUE(frameA->SkinLoaded());
  EXPECT_FALSE(frameB->SkinLoaded());
  dataB->SetCompressedStoredSkin(&m_skin);
  EXPECT_TRUE(frameB->SkinLoaded());
  EXPECT_TRUE(frameA->SkinLoaded());
}

TEST_F(SkinDataTest, LoadingTwiceRepeatsMessagesAndRecords) {
  auto* data = new TskSkinData(m_formA);
  data->LoadStoredSkin(m_skin);
  data->LoadStoredSkin(m_skin);
  EXPECT_EQ(MessagesTo("A"), (std::vector<unsigned>{1225, 1226, 1227, 1225, 1226, 1227}));
  // The old records still exist while the second load is announced.
  EXPECT_EQ(m_recordsAtBeforeChange, 2u);
  ASSERT_EQ(data->ControlList().size(), 2u);
  EXPECT_EQ(data->FindControlIndex("edit"), 1);
  EXPECT_EQ(data->SkinName(), "first");
}

TEST_F(SkinDataTest, EmptyStoredSkinSendsNothingAndKeepsSkin) {
  auto* data = new TskSkinData(m_formA);
  data->SetCompressedStoredSkin(&m_skin);
  m_log.clear();
  TskCompressedStoredSkin empty;
  data->SetCompressedStoredSkin(&empty);
  EXPECT_TRUE(m_log.empty());
  EXPECT_FALSE(data->SkinEmpty());
  EXPECT_EQ(data->FindControlIndex("panel"), 0);
}

TEST_F(SkinDataTest, FailedLoadsLeaveItEmptyWithoutChangedMessage) {
  TskCompressedStoredSkin damagedStream, damagedPicture, badRect, newer;
  damagedStream.SetCompressedData({0x78, 0xDA, 0xFF, 0xFF, 0xFF});
  auto picture = SaveBmp(PatternBitmap(30, 20, 40, 1), 8);
  picture[14] = 0xEE;
  SetPlainPackage(damagedPicture, PlainPackage(3, picture, {}, {}, {}, {}));
  SetPlainPackage(badRect, PlainPackage(3, {}, {}, {}, {},
                                        {"[SKINCONTROLS]", "count=1", "0=p:panel", "[p]", "skinrect=1,2,,4"}));
  SetPlainPackage(newer, PlainPackage(4, {}, {}, {}, {}, {}));
  struct Case { TskCompressedStoredSkin* skin; const char* message; };
  const Case cases[] = {{&damagedStream, "compression error"},
                        {&damagedPicture, "Bitmap image is not valid"},
                        {&badRect, "'' is not a valid integer value"},
                        {&newer, nullptr}};
  for (const Case& c : cases) {
    auto* data = new TskSkinData(m_formA);
    data->SetCompressedStoredSkin(&m_skin);
    m_log.clear();
    if (c.message) {
      try {
        data->SetCompressedStoredSkin(c.skin);
        ADD_FAILURE() << "no error, expected " << c.message;
      } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), c.message);
      }
    } else {
      data->SetCompressedStoredSkin(c.skin);  // a newer package is no error
    }
    EXPECT_TRUE(data->SkinEmpty());
    EXPECT_EQ(data->FindControlIndex("panel"), -1);
    EXPECT_TRUE(data->Picture().IsEmpty());
    EXPECT_EQ(MessagesTo("A"), std::vector<unsigned>{SKINMSG_BEFORECHANGE});
    EXPECT_EQ(MessagesTo("B"), std::vector<unsigned>{SKINMSG_BEFORECHANGE});
    delete data;
  }
}

TEST_F(SkinDataTest, ClearAndFreeRecords) {
  TskSkinData data;
  SetPlainPackage(m_skin, PlainPackage(3, SaveBmp(PatternBitmap(30, 20, 40, 1), 8), {}, {},
                                       {SaveBmp(PatternBitmap(4, 4, 4, 1), 8)},
                                       {"[PICTURES]", "picture=p.bmp", "mask=m.bmp", "activepicturescount=1",
                                        "0=a.bmp", "[POPUPWINDOW]", "windowpictureindex=0",
                                        "[HINTWINDOW]", "windowpictureindex=0", "[SKINOBJECTS]", "count=1",
                                        "0=c:caption"}));
  data.LoadStoredSkin(m_skin);
  EXPECT_EQ(data.PopupWindow().WindowPictureIndex, 0);
  data.FreeRecords();
  EXPECT_TRUE(data.ObjectList().empty());
  EXPECT_TRUE(data.ActivePictures().empty());
  EXPECT_TRUE(data.ActivePictureNames().empty());
  EXPECT_EQ(data.PopupWindow().WindowPictureIndex, -1);
  EXPECT_EQ(data.HintWindow().WindowPictureIndex, -1);
  EXPECT_FALSE(data.Picture().IsEmpty());
  EXPECT_FALSE(data.SkinEmpty());
  data.ClearSkin();
  EXPECT_TRUE(data.Picture().IsEmpty());
  EXPECT_EQ(data.PictureName(), "");
  EXPECT_EQ(data.MaskName(), "");
  EXPECT_TRUE(data.SkinEmpty());
}

TEST_F(SkinDataTest, RemovalNoticesForgetLinksAndKeepTheSkin) {
  auto* data = new TskSkinData(m_formA);
  // The linked components live in another form: the link is cleared either way round.
  auto* holder = new TForm(nullptr);
  auto* stored = new TskCompressedStoredSkin(holder);
  SetPlainPackage(*stored, PlainPackage(3, {}, {}, {}, {}, {"[VERSION]", "skinname=gone"}));
  auto* strings = new TskResourceStrData(holder);
  data->SetCompressedStoredSkin(stored);
  data->SetResourceStrData(strings);
  EXPECT_EQ(data->ResourceStrData(), strings);
  delete strings;
  EXPECT_EQ(data->ResourceStrData(), nullptr);
  EXPECT_EQ(data->CompressedStoredSkin(), stored);
  delete holder;
  EXPECT_EQ(data->CompressedStoredSkin(), nullptr);
  EXPECT_FALSE(data->SkinEmpty());
  EXPECT_EQ(data->SkinName(), "gone");
}

TEST_F(SkinDataTest, SkinDataDestroyedBeforeItsLinksIsForgottenByThem) {
  auto* strings = new TskResourceStrData(m_formB);
  auto* data = new TskSkinData(m_formA);
  data->SetResourceStrData(strings);
  data->SetCompressedStoredSkin(&m_skin);
  delete data;
  delete strings;  // would reach the destroyed object if it were still listed
  m_log.clear();
  delete m_formA;  // and so would the form
  m_formA = nullptr;
  EXPECT_TRUE(m_log.empty());
}

TEST_F(SkinDataTest, SettingStringsTellsEveryForm) {
  auto* data = new TskSkinData(m_formA);
  TskResourceStrData strings;
  data->SetResourceStrData(&strings);
  data->SetResourceStrData(nullptr);
  EXPECT_EQ(MessagesTo("A"), (std::vector<unsigned>{1274, 1274}));
  EXPECT_EQ(MessagesTo("B"), (std::vector<unsigned>{1274, 1274}));
}

TEST_F(SkinDataTest, AnObjectOwnedByNoFormStillTellsEveryForm) {
  TskSkinData unowned;
  unowned.BroadcastSkinMessage(SKINMSG_CHANGED);
  EXPECT_EQ(MessagesTo("A"), std::vector<unsigned>{SKINMSG_CHANGED});
  EXPECT_EQ(MessagesTo("B"), std::vector<unsigned>{SKINMSG_CHANGED});
}

TEST(SkinResourceStrings, DefaultsAndLookup) {
  const TskResourceStrData strings;
  EXPECT_EQ(strings.ResStrings().size(), 115u);
  EXPECT_EQ(strings.ResStrings().front(), "MI_MINCAPTION=Mi&nimize");
  EXPECT_EQ(strings.ResStrings()[17], "EDIT_SELECTALL=Select All");
  EXPECT_EQ(strings.ResStrings()[18].substr(0, 12), "MSG_BTN_YES=");
  EXPECT_EQ(strings.ResStrings().back().substr(0, 19), "FIND_REPLACE_CLOSE=");
  EXPECT_EQ(strings.CharSet(), 1);
  EXPECT_EQ(strings.FindString("mi_mincaption"), "Mi&nimize");
  EXPECT_EQ(strings.FindString("FLV_LOOKIN"), "Look in: ");
  EXPECT_EQ(strings.FindString("MSG_BTN_NOTOALL"), "N&oToAll");
  EXPECT_EQ(strings.FindString("NO_SUCH_TEXT"), "");
  std::set<std::string> names;
  for (const std::string& entry : strings.ResStrings()) names.insert(entry.substr(0, entry.find('=')));
  EXPECT_EQ(names.size(), 115u);
}

TEST(SkinResourceStrings, ReplacedEntriesFirstMatchWins) {
  TskResourceStrData strings;
  strings.SetResStrings({"A=one=two", "a=second", "B", "C="});
  EXPECT_EQ(strings.FindString("A"), "one=two");
  EXPECT_EQ(strings.FindString("B"), "");
  EXPECT_EQ(strings.FindString("c"), "");
}

TEST(SkinResourceStrings, InterfaceTextFallsBackToBuiltIn) {
  TskSkinData data;
  EXPECT_EQ(SkinInterfaceText(&data, "EDIT_SELECTALL"), "全部选择");
  EXPECT_EQ(SkinInterfaceText(nullptr, "MI_MINTOTRAYCAPTION"), "最小化到系统托盘区(&T)");
  EXPECT_EQ(SkinInterfaceText(&data, "MSG_BTN_OK"), "");
  TskResourceStrData strings;
  data.SetResourceStrData(&strings);
  EXPECT_EQ(SkinInterfaceText(&data, "EDIT_SELECTALL"), "Select All");
  data.SetResourceStrData(nullptr);
}

TEST(SkinDump, SectionsInOrderAndRecordsAsBuilt) {
  SampleSkinFolder folder("dump");
  TskCompressedStoredSkin stored;
  stored.ImportFromDefinitionFile(folder.Definition());
  TskSkinData data;
  data.SetCompressedStoredSkin(&stored);
  const std::string text = SkinDumpText(data);
  std::vector<std::string> sections;
  for (const std::string& line : SplitSkinLines(text))
    if (line.starts_with("[")) sections.push_back(line);
  const std::vector<std::string> expected = {
      "[VERSION]", "[PICTURES]", "[FORMINFO]", "[POPUPWINDOW]", "[HINTWINDOW]", "[SKINOBJECTS]",
      "[SKINCONTROLS]", "[caption]", "[close]", "[maximize]", "[minimize]", "[rollup]", "[sysmenu]",
      "[menuitem]", "[panel]", "[toolpanel]", "[button]", "[toolbutton]", "[edit]", "[memo]",
      "[combobox]", "[stdlabel]", "[hsplitter]", "[vscrollbar]", "[hscrollbar]", "[bothhscrollbar]",
      "[listbox]", "[spin]", "[checkbox]"};
  EXPECT_EQ(sections, expected);
  for (const char* piece :
       {"picture=main.bmp\ninactivepicture=\nmask=mask.bmp\npicture.size=277x116\n"
        "inactivepicture.size=\nmask.size=277x116\nactivepicturescount=3\n0=buttons.bmp\n0.size=120x96\n",
        "[FORMINFO]\nlefttoppoint=40,46\n", "maskrectarea=9,17,273,112\nhittestlefttoppoint=40,46\n",
        "inactiveeffect=iegrayscale\n[POPUPWINDOW]\nwindowpictureindex=2\n",
        "[SKINCONTROLS]\ncount=15\n0=panel:panel\n", "9=vscrollbar:scrollbar\n",
        "[button]\ntype=button\npictureindex=1\nmaskpictureindex=-1\nskinrect=0,0,24,21\n",
        "[close]\ntype=stdbutton\nhint=Close\n", "command=cmclose\n",
        "[spin]\ntype=updown\npictureindex=1\nmaskpictureindex=-1\nskinrect=200,60,216,92\n"
        "lefttoppoint=0,0\n",
        "fontstyle=fsbold,fsunderline\n", "morphkind=mkpush\n"})
    EXPECT_NE(text.find(piece), std::string::npos) << piece;
}

}  // namespace
