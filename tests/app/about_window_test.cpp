// The about window and the notice strip with the main window on the headless host; pages
// come from python3's http.server on the loopback interface, never from the internet.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "AppTestSupport.h"
#include "about/AboutPage.h"
#include "about/MakerSite.h"
#include "about/TAdvPanel.h"
#include "about/Taboutform.h"
#include "app/Tkavri.h"
#include "platform/std/StdConst.h"
#include "platform/sys/IniFile.h"
#include "platform/web/Url.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skSkinBoxCtrls.h"
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinComboBox.h"
#include "skin/controls/skSkinLabel.h"
#include "skin/controls/skSkinPanel.h"
#include "tests/support/LoopbackHttp.h"
#include "toolkit/WebBrowser.h"

namespace {

std::string Asset(const std::string& name) {
  std::ifstream in(std::string(KAVRI_TEST_INPUTS) + "/../../assets/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> CrlfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
    lines.push_back(text.substr(start, at - start));
  if (start < text.size()) lines.push_back(text.substr(start) + "<no CRLF>");
  return lines;
}

// The notice page holds one big link that opens a window of its own.
constexpr const char* kNoticePage =
    "<html><body style=\"margin:0\"><a href=\"/glyphora/glyphora.htm\" target=\"_blank\" "
    "style=\"font-size:40px\">OPEN OPEN OPEN OPEN</a></body></html>";

class AboutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    auto host = std::make_unique<HeadlessHost>(Size{1280, 800});
    m_host = host.get();
    WindowSystem::Install(std::move(host));
    SetProgramFolder(m_dir.Dir());
    RegisterKavriForm();
    RegisterAboutForm();
    Application->OnException = [this](TObject*, const std::exception& e) { m_errors.push_back(e.what()); };
    m_host->SetIdleHandler([this] {
      HWND box = FindWindow("KavriMessageBox", nullptr);
      if (!box || box == m_lastBox) return false;
      m_lastBox = box;
      m_boxes.push_back(GetWindowText(box));
      m_host->Key(VK_RETURN);
      return true;
    });
    Offline();
  }
  void TearDown() override {
    for (int i = Application->FormCount() - 1; i >= 0; --i) delete Application->Forms(i);
    Application->OnException = nullptr;
    WindowSystem::Shutdown();
    SetProgramFolder("");
    ResetModuleState();
    unsetenv(kWebBaseVariable);
  }

  // A port nothing listens on: the connection test fails at once.
  void Offline() { setenv(kWebBaseVariable, "http://127.0.0.1:1", 1); }
  // The maker's site on the loopback interface.
  void Online() {
    m_site.Write("bbs/pennaloft/user.asp", kNoticePage);
    m_site.Write("glyphora/glyphora.htm", "<html><body><h1>Home</h1></body></html>");
    m_site.Write("bbs/diary/guestbook/default.asp", "<html><body><h1>Guests</h1></body></html>");
    m_site.Write("one.htm", "<html><body><p>one</p></body></html>");
    m_site.Write("two.htm", "<html><body><p>two</p></body></html>");
    m_http = std::make_unique<LoopbackHttp>(m_site.Path() / "www");
    std::filesystem::rename(m_site.Path() / "bbs", m_site.Path() / "www" / "bbs");
    std::filesystem::rename(m_site.Path() / "glyphora", m_site.Path() / "www" / "glyphora");
    std::filesystem::rename(m_site.Path() / "one.htm", m_site.Path() / "www" / "one.htm");
    std::filesystem::rename(m_site.Path() / "two.htm", m_site.Path() / "www" / "two.htm");
    setenv(kWebBaseVariable, m_http->Base().c_str(), 1);
  }
  void InstallPacks() {
    for (const char* pack : {"GB312_fo.dll", "English_fo.dll", "GB312_about.dll", "English_about.dll"})
      m_dir.Write(std::string("language/") + pack, Asset(std::string("Language/") + pack));
  }
  void WriteSettings(const std::string& text) { m_dir.Write("KAVRI.ini", text); }

  // Both windows as the program makes them: the main window shown, the about window hidden.
  void Create() {
    m_lastBox = nullptr;
    Application->CreateForm(kavri);
    kavri->Show();
    Application->CreateForm(aboutform);
    m_host->Pump();
    WaitLoaded(aboutform->WebBrowser);
    if (TAdvPanel* notice = kavri->AdvPanel()) {
      notice->Browser->OpenExternal = [this](const std::string& url) { m_external.push_back(url); };
      WaitLoaded(notice->Browser.get());
    }
  }
  bool CloseWindow() {
    m_lastBox = nullptr;
    PostMessage(kavri->Handle(), WM_CLOSE, 0, 0);
    Application->Run();
    return kavri == nullptr;
  }
  // Runs messages and the clock until the view has its page, giving the fetch real time.
  void WaitLoaded(TWebBrowser* view) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    do {
      m_host->Pump();
      m_host->AdvanceClock(15);
      m_host->Pump();
      if (!view->Busy()) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (std::chrono::steady_clock::now() < deadline);
  }
  Point Center(TControl* c) {
    Point origin = c->ClientOrigin();
    return {origin.x + c->Width() / 2, origin.y + c->Height() / 2};
  }
  void Click(TControl* c) {
    m_host->MoveMouse(Center(c));
    m_host->Pump();
    m_host->Click(Center(c));
    m_host->Pump();
  }
  void ShowAbout() {
    Click(kavri->SB_about);
    ASSERT_TRUE(aboutform->Showing());
  }
  std::string Readme() const { return m_dir.Read("README.HTM"); }
  // A stand-in for the desktop's handler that notes what it was asked to open.
  void FakeDesktopHandler() {
    m_opened = m_dir.Dir() + "opened.txt";
    m_dir.Write("bin/xdg-open",
                "#!/bin/sh\nprintf '%s' \"$1\" > '" + m_opened + ".part' && mv '" + m_opened + ".part' '" + m_opened + "'\n");
    std::filesystem::permissions(m_dir.Path() / "bin" / "xdg-open", std::filesystem::perms::owner_all);
    m_oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (m_dir.Dir() + "bin:" + m_oldPath).c_str(), 1);
  }
  std::string Opened() {
    for (int i = 0; i < 300 && !std::filesystem::exists(m_opened); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    setenv("PATH", m_oldPath.c_str(), 1);
    std::ifstream in(m_opened, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    std::filesystem::remove(m_opened);
    return text;
  }
  std::string Setting(const std::string& key) {
    return IniFile(m_dir.Path() / "KAVRI.ini").ReadString("display", key, "?");
  }

  TempFolder m_dir;
  TempFolder m_site;
  std::unique_ptr<LoopbackHttp> m_http;
  HeadlessHost* m_host = nullptr;
  HWND m_lastBox = nullptr;
  std::vector<std::string> m_boxes;
  std::vector<std::string> m_errors;
  std::vector<std::string> m_external;
  std::string m_opened;
  std::string m_oldPath;
};

TEST_F(AboutTest, ThePageCarriesThePackTextsInEightCrlfLines) {
  m_dir.Write("language/T_fo.dll", "1=T\n");
  m_dir.Write("language/T_about.dll", "12=first <b>bold</b>\n13=second\n14=S\n15=signed\n16=Title \n");
  WriteSettings("[display]\nlanguage=T\n");
  Create();
  const std::vector<std::string> lines = CrlfLines(Readme());
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
  EXPECT_EQ(lines[1], "<style type=\"text/css\"><!--p {  font-size: 10pt; text-indent: 12pt}-->");
  EXPECT_EQ(lines[2], "</style></head><body bgcolor=\"#FFFFFF\" background=\"bk.gif\">");
  EXPECT_EQ(lines[3], "<h4 align=\"center\"><font color=\"#FF3366\">Title KAVRI</font></h4>");
  EXPECT_EQ(lines[4], "<p>first <b>bold</b></p>");  // the pack's markup as it is
  EXPECT_EQ(lines[5], "<p>second</p>");
  EXPECT_EQ(lines[6], "<p align=\"right\">[KAVRI] S</p>");
  EXPECT_EQ(lines[7], "<p align=\"right\">signed</p></body></html>");
  EXPECT_EQ(aboutform->AboutLanguage(), "T");
  // The window is made hidden and has shown the page.
  EXPECT_FALSE(aboutform->Visible());
  EXPECT_EQ(aboutform->WebBrowser->LocationURL(), PathToFileUrl(m_dir.Dir() + "README.HTM"));
  EXPECT_TRUE(m_errors.empty());
}

TEST_F(AboutTest, WithoutItsPackTheWindowKeepsItsDesignAndAnEmptyPage) {
  WriteSettings("[display]\nlanguage=Missing\n");
  Create();
  EXPECT_EQ(aboutform->Caption(), "About Kavri ");
  EXPECT_EQ(aboutform->note->Caption(), "");
  EXPECT_EQ(aboutform->skSkinButton1->Caption(), "确定");
  EXPECT_EQ(aboutform->skSkinSB_email->Hint(), "欢迎给我来信");
  EXPECT_EQ(aboutform->skSkinSB_home->Hint(), "访问主页 " + MakerHomeUrl());
  const std::vector<std::string> lines = CrlfLines(Readme());
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[3], "<h4 align=\"center\"><font color=\"#FF3366\"></font></h4>");
  EXPECT_EQ(lines[6], "<p align=\"right\"></p>");
  // The note label keeps its width, cut off at the 40 pixels of its panel.
  EXPECT_EQ(aboutform->skSkinPanel2->Width(), 40);
  EXPECT_EQ(aboutform->note->Width(), 113);
}

TEST_F(AboutTest, PackTextsReachTheirControls) {
  InstallPacks();
  WriteSettings("[display]\nlanguage=English\n");
  Create();
  struct Case {
    std::string got, want;
  };
  for (const Case& c : {Case{aboutform->note->Caption(), "URL:"}, Case{aboutform->skSkinButton1->Caption(), "Go"},
                        Case{aboutform->skSkinSB_backword->Hint(), "Back"},
                        Case{aboutform->skSkinSB_forward->Hint(), "Forward"},
                        Case{aboutform->skSkinSB_about->Hint(), "About this program"},
                        Case{aboutform->skSkinSB_home->Hint(), "Visit the home page"},
                        Case{aboutform->skSkinSB_email->Hint(), "Write to us"},
                        Case{aboutform->skSkinSB_bbs->Hint(), "Leave a message in the guest book"},
                        Case{aboutform->skSkinSpeedButton1->Hint(), "Open in an external browser"},
                        Case{aboutform->Caption(), "About Kavri"},
                        Case{aboutform->Edit_input->Hint(), "Type an address and press Enter"}})
    EXPECT_EQ(c.got, c.want);
  EXPECT_EQ(CrlfLines(Readme())[3], "<h4 align=\"center\"><font color=\"#FF3366\">About KAVRI</font></h4>");
}

TEST_F(AboutTest, TheFirstPageEnablesBackAndShowsTheViewsFormOfItsAddress) {
  Create();
  const std::string own = PathToFileUrl(m_dir.Dir() + "README.HTM");
  EXPECT_EQ(aboutform->Edit_input->Text(), own);
  EXPECT_EQ(aboutform->CurrentUrl(), own);
  EXPECT_TRUE(aboutform->skSkinSB_backword->Enabled());
  EXPECT_FALSE(aboutform->skSkinSB_forward->Enabled());
  // Back with nothing before: back goes off, forward stays off, the page stays.
  ShowAbout();
  Click(aboutform->skSkinSB_backword);
  EXPECT_FALSE(aboutform->skSkinSB_backword->Enabled());
  EXPECT_FALSE(aboutform->skSkinSB_forward->Enabled());
  EXPECT_EQ(aboutform->WebBrowser->LocationURL(), own);
}

TEST_F(AboutTest, EnterInTheAddressLineNavigatesAsTheGoButtonDoes) {
  Online();
  Create();
  ShowAbout();
  TskSkinEdit* edit = aboutform->Edit_input;
  struct Case {
    const char* page;
    bool byEnter;
  };
  for (const Case& c : {Case{"/one.htm", true}, Case{"/two.htm", false}}) {
    SCOPED_TRACE(c.page);
    edit->SetFocus();
    m_host->Pump();
    SendMessage(edit->Handle(), EM_SETSEL, 0, -1);
    m_host->TypeText("  " + m_http->Base() + c.page);
    m_host->Pump();
    if (c.byEnter) m_host->Key(VK_RETURN);
    else Click(aboutform->skSkinButton1);
    m_host->Pump();
    WaitLoaded(aboutform->WebBrowser);
    EXPECT_EQ(aboutform->WebBrowser->LocationURL(), m_http->Base() + c.page);
    EXPECT_EQ(edit->Text(), m_http->Base() + c.page);
    EXPECT_EQ(aboutform->CurrentUrl(), m_http->Base() + c.page);
  }
  EXPECT_EQ(m_http->Requests("/one.htm").size(), 1u);
  EXPECT_EQ(m_http->Requests("/two.htm").size(), 1u);
  // Other keys are typed into the line.
  edit->SetFocus();
  m_host->Pump();
  const int end = static_cast<int>(edit->Text().size());
  SendMessage(edit->Handle(), EM_SETSEL, end, end);
  m_host->TypeText("x");
  m_host->Pump();
  EXPECT_EQ(edit->Text(), m_http->Base() + "/two.htmx");
}

TEST_F(AboutTest, BackAndForwardFollowTheHistoryAndTheirRules) {
  Online();
  Create();
  ShowAbout();
  const std::string readme = aboutform->WebBrowser->LocationURL();
  aboutform->skSkinSB_homeClick(nullptr);
  // The busy arrow while the page loads, the page's own cursor after.
  EXPECT_EQ(aboutform->WebBrowser->ViewCursor(), crAppStart);
  WaitLoaded(aboutform->WebBrowser);
  EXPECT_EQ(aboutform->WebBrowser->ViewCursor(), crDefault);
  EXPECT_EQ(aboutform->WebBrowser->LocationURL(), m_http->Base() + "/glyphora/glyphora.htm");

  Click(aboutform->skSkinSB_backword);
  WaitLoaded(aboutform->WebBrowser);
  EXPECT_EQ(aboutform->WebBrowser->LocationURL(), readme);
  EXPECT_TRUE(aboutform->skSkinSB_forward->Enabled());
  EXPECT_EQ(aboutform->Edit_input->Text(), readme);

  Click(aboutform->skSkinSB_forward);
  WaitLoaded(aboutform->WebBrowser);
  EXPECT_EQ(aboutform->WebBrowser->LocationURL(), m_http->Base() + "/glyphora/glyphora.htm");
  EXPECT_TRUE(aboutform->skSkinSB_forward->Enabled());
  // Nothing further ahead: forward goes off.
  Click(aboutform->skSkinSB_forward);
  EXPECT_FALSE(aboutform->skSkinSB_forward->Enabled());
  EXPECT_TRUE(aboutform->skSkinSB_backword->Enabled());
  // A disabled button ignores clicks.
  Click(aboutform->skSkinSB_forward);
  EXPECT_EQ(aboutform->WebBrowser->LocationURL(), m_http->Base() + "/glyphora/glyphora.htm");
}

TEST_F(AboutTest, TheMakersPagesComeFromTheSiteTheEnvironmentNames) {
  Online();
  Create();
  ShowAbout();
  Click(aboutform->skSkinSB_bbs);
  WaitLoaded(aboutform->WebBrowser);
  EXPECT_EQ(aboutform->WebBrowser->LocationURL(),
            m_http->Base() + "/bbs/diary/guestbook/default.asp?user=software&page=1");
  EXPECT_FALSE(aboutform->WebBrowser->Busy());
  Click(aboutform->skSkinSB_about);
  WaitLoaded(aboutform->WebBrowser);
  EXPECT_EQ(aboutform->WebBrowser->LocationURL(), PathToFileUrl(m_dir.Dir() + "README.HTM"));
  ASSERT_EQ(m_http->Requests("/bbs/diary/").size(), 1u);
}

TEST_F(AboutTest, ExportAndMailGoToTheDesktopsHandler) {
  Online();
  Create();
  ShowAbout();
  FakeDesktopHandler();
  Click(aboutform->skSkinSpeedButton1);
  EXPECT_EQ(Opened(), PathToFileUrl(m_dir.Dir() + "README.HTM"));
  aboutform->Edit_input->SetText(m_http->Base() + "/one.htm");
  Click(aboutform->skSkinButton1);
  WaitLoaded(aboutform->WebBrowser);
  FakeDesktopHandler();
  Click(aboutform->skSkinSpeedButton1);
  EXPECT_EQ(Opened(), m_http->Base() + "/one.htm");
  FakeDesktopHandler();
  Click(aboutform->skSkinSB_email);
  EXPECT_EQ(Opened().rfind("mailto:", 0), 0u);
}

TEST_F(AboutTest, ALanguageChosenMeanwhileArrivesWhenTheWindowIsShownAgain) {
  InstallPacks();
  WriteSettings("[display]\nlanguage=GB312\n");
  Create();
  ShowAbout();
  EXPECT_EQ(aboutform->Caption(), "关于 Kavri");
  kavri->CbSelect->SetItemIndex(kavri->CbSelect->Items().IndexOf("English"));
  ASSERT_EQ(CurrentLanguage, "English");
  m_host->Pump();
  EXPECT_EQ(aboutform->Caption(), "关于 Kavri");
  EXPECT_EQ(CrlfLines(Readme())[3], "<h4 align=\"center\"><font color=\"#FF3366\">关于 KAVRI</font></h4>");
  // A second click on the about button only brings the open window forward.
  Click(kavri->SB_about);
  EXPECT_EQ(aboutform->Caption(), "关于 Kavri");
  aboutform->Hide();
  m_host->Pump();
  ShowAbout();
  WaitLoaded(aboutform->WebBrowser);
  EXPECT_EQ(aboutform->Caption(), "About Kavri");
  EXPECT_EQ(aboutform->AboutLanguage(), "English");
  EXPECT_EQ(CrlfLines(Readme())[3], "<h4 align=\"center\"><font color=\"#FF3366\">About KAVRI</font></h4>");
  EXPECT_EQ(aboutform->ActiveControl(), aboutform->Edit_input);
  EXPECT_TRUE(aboutform->Edit_input->Focused());
  // One about window all along.
  int abouts = 0;
  for (int i = 0; i < Application->FormCount(); ++i) abouts += dynamic_cast<Taboutform*>(Application->Forms(i)) ? 1 : 0;
  EXPECT_EQ(abouts, 1);
}

TEST_F(AboutTest, APageThatCannotBeWrittenIsReportedAndNothingIsLost) {
  InstallPacks();
  // A folder where the page would go: no one, root included, can write the file there.
  std::filesystem::create_directories(m_dir.Path() / "README.HTM" / "inside");
  WriteSettings("[display]\nlanguage=English\nFontSize=7\nn1=....\nn2=.\n");
  Create();
  ASSERT_EQ(m_errors.size(), 1u);
  EXPECT_NE(m_errors[0].find("README.HTM"), std::string::npos);
  EXPECT_TRUE(aboutform->WebBrowser->LocationURL().empty());
  EXPECT_TRUE(std::filesystem::is_directory(m_dir.Path() / "README.HTM" / "inside"));
  // The program goes on: the about button reports it again and the window still shows.
  Click(kavri->SB_about);
  EXPECT_TRUE(aboutform->Showing());
  Click(aboutform->skSkinSB_about);
  EXPECT_EQ(m_errors.size(), 2u);
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(Setting("language"), "English");
  EXPECT_EQ(Setting("FontSize"), "7");
  // Offline: the strip's counters as an offline start leaves them.
  EXPECT_EQ(Setting("n1"), "");
  EXPECT_EQ(Setting("n2"), "...");
}

TEST_F(AboutTest, DisabledHistoryButtonsLookFaded) {
  Create();
  ShowAbout();
  // Forward is off at first, back is on; both draw the same arrow, mirrored.
  const Bitmap shot = m_host->Screenshot();
  auto inked = [&](TControl* b) {
    const Point o = b->ClientOrigin();
    int saturated = 0;
    for (int y = o.y; y < o.y + b->Height(); ++y)
      for (int x = o.x; x < o.x + b->Width(); ++x) {
        const Pixel p = shot.At(x, y);
        if (PixelB(p) > PixelR(p) + 60) ++saturated;
      }
    return saturated;
  };
  EXPECT_GT(inked(aboutform->skSkinSB_backword), 20);
  EXPECT_EQ(inked(aboutform->skSkinSB_forward), 0);
  EXPECT_GT(inked(aboutform->skSkinSB_home), 20);
}

// ---- The notice strip ----

TEST(NoticeAddress, SizeClassesOfTheMainWindowsWidth) {
  struct Case {
    int width, sizeClass;
  };
  for (const Case& c : {Case{790, 2}, Case{791, 3}, Case{475, 4}, Case{476, 2}, Case{405, 1}, Case{406, 4},
                        Case{0, 1}, Case{640, 2}, Case{5000, 3}})
    EXPECT_EQ(NoticeSizeClass(c.width), c.sizeClass) << c.width;
}

TEST(NoticeAddress, ValuesArePercentEncoded) {
  EXPECT_EQ(NoticeUrl("http://h/p?adv=1", "a&b=c d", "KAVRI", "10", 4),
            "http://h/p?adv=1&user=a%26b%3Dc%20d&software=KAVRI&version=10&hpsize=4");
  EXPECT_EQ(PercentEncode("爱#%+~-._"), "%E7%88%B1%23%25%2B~-._");
}

TEST(NoticeAddress, TheUserValueIsShortStableAndTellsNothing) {
  const std::string a = AnonymousUserIdOf("0123456789abcdef0123456789abcdef\n");
  EXPECT_EQ(a.size(), kNoticeUserLength);
  EXPECT_EQ(a, AnonymousUserIdOf("0123456789abcdef0123456789abcdef"));
  EXPECT_NE(a, AnonymousUserIdOf("0123456789abcdef0123456789abcdee"));
  EXPECT_EQ(a.find("0123"), std::string::npos);
  EXPECT_EQ(AnonymousUserIdOf(""), "anonymous");
  const std::string mine = AnonymousUserId();
  EXPECT_LE(mine.size(), kNoticeUserLength);
  for (const char* name : {"USER", "LOGNAME"})
    if (const char* login = getenv(name); login && *login && std::string(login).size() >= 3) {
      EXPECT_EQ(mine.find(login), std::string::npos);
    }
  for (char c : mine) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << mine;
}

TEST_F(AboutTest, CountersAcrossStartUps) {
  struct Case {
    const char* name;
    bool online;
    int n1, n2;         // stored
    bool shows;         // the strip after start-up
    int opened;         // windows opened from the page
    const char* saved1; // at closing
    const char* saved2;
  };
  const Case cases[] = {
      {"in use", true, 10, 10, true, 0, "..........", ".........."},
      {"last window", true, 1, 10, true, 1, "", ".........."},
      {"every fourth start", true, 0, 3, true, 0, ".", ""},
      {"resting", true, 0, 1, false, 0, "", ".."},
      {"third rest", true, 0, 2, false, 0, "", "..."},
      {"down to off", true, 13, 0, true, 1, "............", ""},
      {"off", true, 12, 5, false, 0, "............", "....."},
      {"offline", false, 10, 10, false, 0, "", "..."},
      {"offline while resting", false, 0, 1, false, 0, "", "..."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.online && !m_http) Online();
    if (!c.online) Offline();
    else setenv(kWebBaseVariable, m_http->Base().c_str(), 1);
    WriteSettings("[display]\nwindow_width=640\nwindow_height=480\nwindow_left=0\nwindow_top=0\nn1=" +
                  std::string(static_cast<std::size_t>(c.n1), '.') + "\nn2=" + std::string(static_cast<std::size_t>(c.n2), '.') + "\n");
    Create();
    TAdvPanel* notice = kavri->AdvPanel();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->Panel->Visible(), c.shows);
    EXPECT_EQ(notice->Panel->Height(), TAdvPanel::kHeight);
    if (c.shows) {
      // The strip on top, the window's panels below it.
      EXPECT_EQ(notice->Panel->Top(), 0);
      EXPECT_EQ(dynamic_cast<TControl*>(kavri->FindComponent("skSkinPanel1"))->Top(), TAdvPanel::kHeight);
      const std::string url = notice->Browser->LocationURL();
      EXPECT_EQ(url.rfind(m_http->Base() + "/bbs/pennaloft/user.asp?adv=1&user=", 0), 0u) << url;
      EXPECT_EQ(url.substr(url.size() - 9), "&hpsize=2");
      EXPECT_NE(url.find("&software=KAVRI&version=10&"), std::string::npos);
    } else {
      EXPECT_EQ(dynamic_cast<TControl*>(kavri->FindComponent("skSkinPanel1"))->Top(), 0);
      EXPECT_TRUE(notice->Browser->LocationURL().empty());
    }
    for (int i = 0; i < c.opened; ++i) {
      // The page's link asks for a window of its own.
      const Point o = notice->Browser->ClientOrigin();
      m_host->MoveMouse({o.x + 30, o.y + 20});
      m_host->Pump();
      m_host->Click({o.x + 30, o.y + 20});
      m_host->Pump();
      ASSERT_EQ(m_external.size(), static_cast<std::size_t>(i + 1));
      EXPECT_EQ(m_external.back(), m_http->Base() + "/glyphora/glyphora.htm");
    }
    if (c.opened > 0) {
      EXPECT_FALSE(notice->Panel->Visible());
    }
    m_external.clear();
    EXPECT_TRUE(CloseWindow());
    EXPECT_EQ(Setting("n1"), c.saved1);
    EXPECT_EQ(Setting("n2"), c.saved2);
    delete aboutform;
  }
}

// A server that takes the connection and never answers: the test gives up and the start
// is an offline one, rather than holding the window up.
TEST_F(AboutTest, AServerThatNeverAnswersCountsAsOffline) {
  const int silent = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  socklen_t len = sizeof addr;
  getsockname(silent, reinterpret_cast<sockaddr*>(&addr), &len);
  ASSERT_EQ(listen(silent, 4), 0);
  setenv(kWebBaseVariable, ("http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port))).c_str(), 1);
  WriteSettings("[display]\nn1=.....\nn2=\n");
  Create();
  EXPECT_FALSE(kavri->AdvPanel()->Panel->Visible());
  EXPECT_TRUE(kavri->AdvPanel()->Url.empty());
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(Setting("n1"), "");
  EXPECT_EQ(Setting("n2"), "...");
  close(silent);
}

TEST_F(AboutTest, OffTheStripStaysOffAtTheNextStartUp) {
  Online();
  WriteSettings("[display]\nn1=............\nn2=\n");
  for (int run = 0; run < 2; ++run) {
    Create();
    EXPECT_FALSE(kavri->AdvPanel()->Panel->Visible());
    EXPECT_TRUE(CloseWindow());
    EXPECT_EQ(Setting("n1"), "............");
    EXPECT_EQ(Setting("n2"), "");
    delete aboutform;
  }
}

TEST_F(AboutTest, ResizingOpensThePageOfTheNewSizeClassOnly) {
  Online();
  WriteSettings("[display]\nwindow_width=700\nwindow_height=480\nwindow_left=0\nwindow_top=0\n");
  Create();
  TAdvPanel* notice = kavri->AdvPanel();
  const std::string page = "/bbs/pennaloft/user.asp";
  ASSERT_EQ(m_http->Requests(page).size(), 1u);
  EXPECT_NE(m_http->Requests(page)[0].find("&hpsize=2"), std::string::npos);
  kavri->SetWidth(720);  // the same class, and the view is there already
  WaitLoaded(notice->Browser.get());
  EXPECT_EQ(m_http->Requests(page).size(), 1u);
  kavri->SetWidth(800);
  WaitLoaded(notice->Browser.get());
  ASSERT_EQ(m_http->Requests(page).size(), 2u);
  EXPECT_NE(m_http->Requests(page)[1].find("&hpsize=3"), std::string::npos);
  EXPECT_EQ(notice->Browser->LocationURL().substr(notice->Browser->LocationURL().size() - 9), "&hpsize=3");
  // Resizing while the view has gone elsewhere brings the page back.
  notice->Browser->Navigate(m_http->Base() + "/one.htm");
  WaitLoaded(notice->Browser.get());
  kavri->SetWidth(810);
  WaitLoaded(notice->Browser.get());
  EXPECT_EQ(m_http->Requests(page).size(), 3u);
  // The user value in the address is the anonymous one.
  EXPECT_NE(m_http->Requests(page)[0].find("&user=" + AnonymousUserId() + "&"), std::string::npos);
}

TEST_F(AboutTest, TheNoticeLabelFollowsTheLanguage) {
  InstallPacks();
  Online();
  WriteSettings("[display]\nlanguage=GB312\n");
  Create();
  TAdvPanel* notice = kavri->AdvPanel();
  EXPECT_EQ(notice->Label->Caption(), NoticeText);
  EXPECT_FALSE(NoticeText.empty());
  EXPECT_EQ(notice->Label->Parent(), notice->Panel);
  EXPECT_EQ(notice->Label->Align(), TAlign::alBottom);
  // The label at the bottom of the strip, the page above it.
  EXPECT_GE(notice->Label->Top() + notice->Label->Height(), notice->Panel->Height() - 3);
  EXPECT_LE(notice->Browser->Top() + notice->Browser->Height(), notice->Label->Top());
  kavri->CbSelect->SetItemIndex(kavri->CbSelect->Items().IndexOf("English"));
  EXPECT_NE(notice->Label->Caption().find("character art"), std::string::npos);
  EXPECT_EQ(notice->Label->Caption(), NoticeText);
}

}  // namespace
