// The main window on the headless host: the start-up sequence with stored and missing
// settings, closing, the language box, the style and cell-string handlers, help, and a
// conversion through the window that matches kavri-art.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "AppTestSupport.h"
#include "app/Settings.h"
#include "app/Tkavri.h"
#include "platform/gfx/Font.h"
#include "platform/sys/IniFile.h"
#include "platform/std/StdConst.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "platform/gfx/DC.h"
#include "skin/controls/skSkinComboBox.h"
#include "skin/form/skSkinForm.h"
#include "skin/form/skSkinObjects.h"
#include "toolkit/Edits.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/ListBoxes.h"
#include "toolkit/StdCtrls.h"

namespace {

std::string Asset(const std::string& name) {
  std::ifstream in(std::string(KAVRI_TEST_INPUTS) + "/../../assets/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs `argv` with its standard output caught; the exit status in `status`.
std::string RunProgram(const std::vector<std::string>& args, int& status) {
  std::string outPath = (std::filesystem::temp_directory_path() /
                         ("kavri-app-out-" + std::to_string(getpid()))).string();
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0) _exit(126);
    dup2(out, 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  std::ifstream in(outPath, std::ios::binary);
  std::string out((std::istreambuf_iterator<char>(in)), {});
  std::filesystem::remove(outPath);
  return out;
}

class AppWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    // The notice strip's connection test knocks where nothing listens: an offline start.
    setenv("KAVRI_WEB_BASE", "http://127.0.0.1:1", 1);
    auto host = std::make_unique<HeadlessHost>(Size{1280, 800});
    m_host = host.get();
    WindowSystem::Install(std::move(host));
    SetProgramFolder(m_dir.Dir());
    RegisterKavriForm();
    Application->OnException = [this](TObject*, const std::exception& e) { m_errors.push_back(e.what()); };
    // Every message box is noted and answered.
    m_host->SetIdleHandler([this] {
      HWND box = FindWindow("KavriMessageBox", nullptr);
      if (!box || box == m_lastBox) return false;
      m_lastBox = box;
      m_boxes.push_back(GetWindowText(box));
      m_host->Key(VK_RETURN);
      return true;
    });
  }
  void TearDown() override {
    for (int i = Application->FormCount() - 1; i >= 0; --i) delete Application->Forms(i);
    Application->OnException = nullptr;
    WindowSystem::Shutdown();
    SetProgramFolder("");
    ResetModuleState();
    unsetenv("KAVRI_WEB_BASE");
  }

  void InstallPacks() {
    for (const char* pack : {"GB312_fo.dll", "English_fo.dll"})
      m_dir.Write(std::string("language/") + pack, Asset(std::string("Language/") + pack));
  }
  void WriteSettings(const std::string& text) { m_dir.Write("KAVRI.ini", text); }

  Tkavri* Create() {
    m_lastBox = nullptr;
    Application->CreateForm(kavri);
    kavri->Show();
    m_host->Pump();
    return kavri;
  }
  // Closes the window as the user does and runs the message loop until the program
  // ends; true when the window went.
  bool CloseWindow() {
    m_lastBox = nullptr;
    PostMessage(kavri->Handle(), WM_CLOSE, 0, 0);
    Application->Run();
    return kavri == nullptr;
  }
  Point Center(TControl* c) {
    Point origin = c->ClientOrigin();
    return {origin.x + c->Width() / 2, origin.y + c->Height() / 2};
  }
  void Click(TControl* c) {
    m_host->Click(Center(c));
    m_host->Pump();
  }

  TempFolder m_dir;
  HeadlessHost* m_host = nullptr;
  HWND m_lastBox = nullptr;
  std::vector<std::string> m_boxes;
  std::vector<std::string> m_errors;
};

TEST_F(AppWindowTest, WithoutSettingsFileTheDesignRunsAndNothingIsSaved) {
  InstallPacks();
  Tkavri* w = Create();
  ASSERT_EQ(m_boxes.size(), 1u);  // the start-up message
  EXPECT_EQ(w->Left(), 353);
  EXPECT_EQ(w->ClientWidth(), 533);
  EXPECT_EQ(w->ClientHeight(), 428);
  EXPECT_EQ(w->skSkinFontSizeComboBox1->ItemIndex(), 0);
  EXPECT_EQ(w->Me_inputtext->Font().Size(), 1);
  EXPECT_EQ(w->skSkinFontComboBox1->ItemIndex(), 0);
  EXPECT_EQ(w->Me_inputtext->Font().Name(), FontFamilies().front());
  EXPECT_EQ(CurrentLanguage, "GB312");
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(m_boxes.size(), 2u);  // the closing message
  EXPECT_FALSE(m_dir.Exists("KAVRI.ini"));
  EXPECT_TRUE(m_errors.empty());
}

TEST_F(AppWindowTest, EmptySectionGivesTheDefaultGeometryAndBoxes) {
  WriteSettings("[display]\r\n");
  Tkavri* w = Create();
  EXPECT_TRUE(m_boxes.empty());
  EXPECT_EQ(w->BoundsRect(), Rect::FromSize(0, 0, 640, 480));
  // 220 is beyond the installed faces here: the second face.
  ASSERT_LT(FontFamilies().size(), 221u);
  ASSERT_GE(FontFamilies().size(), 2u);
  EXPECT_EQ(w->skSkinFontComboBox1->ItemIndex(), 1);
  EXPECT_EQ(w->skSkinFontComboBox1->Text(), FontFamilies()[1]);
  EXPECT_EQ(FontType, 1);
  EXPECT_EQ(w->skSkinFontSizeComboBox1->Text(), "15");
  EXPECT_EQ(w->Me_inputtext->Font().Size(), 15);
  EXPECT_EQ(FontSize, 14);
  // The output memo's 16-pixel font is 12 points.
  EXPECT_EQ(w->skSkinFontSizeComboBox2->Text(), "12");
  EXPECT_EQ(w->skSkinFontSizeComboBox1->Items().Count(), 40);
  EXPECT_EQ(w->skSkinFontSizeComboBox2->Items()[39], "40");
}

TEST_F(AppWindowTest, AbsurdStoredGeometryStillGivesAUsableWindow) {
  WriteSettings("[display]\nwindow_width=999999\nwindow_height=-40\nwindow_left=-2147483648\n"
                "window_top=2147483647\n");
  Tkavri* w = Create();
  EXPECT_TRUE(w->Showing());
  EXPECT_GE(w->Width(), GetSystemMetrics(SM_CXMINTRACK));
  EXPECT_GE(w->Height(), GetSystemMetrics(SM_CYMINTRACK));
  EXPECT_LE(w->Width(), GetSystemMetrics(SM_CXMAXTRACK));
  EXPECT_TRUE(w->BoundsRect().Intersects(Rect(0, 0, 1280, 800)));
  EXPECT_TRUE(m_errors.empty());
}

// A window stored off the desktop comes back wholly onto the work area, against the edge
// it went past.
TEST_F(AppWindowTest, StoredGeometryOffTheDesktopIsBroughtBackOntoTheWorkArea) {
  const int w = 640, h = 480;
  WriteSettings("[display]\nwindow_width=640\nwindow_height=480\nwindow_left=-5000\nwindow_top=-5000\n");
  Tkavri* win = Create();
  EXPECT_EQ(win->BoundsRect(), Rect::FromSize(0, 0, w, h));
  delete win;
  WriteSettings("[display]\nwindow_width=640\nwindow_height=480\nwindow_left=50000\nwindow_top=50000\n");
  win = Create();
  // The work area ends above the 40-pixel bar.
  EXPECT_EQ(win->BoundsRect(), Rect::FromSize(1280 - w, 800 - 40 - h, w, h));
}

TEST_F(AppWindowTest, ConvertingAnEmptyInputEmptiesTheOutput) {
  WriteSettings("[display]\n");
  Tkavri* w = Create();
  w->Me_output_text->Lines().Add("old");
  w->Me_inputtext->SetText("");
  Click(w->Bu_Convert);
  EXPECT_EQ(w->Me_output_text->Lines().Count(), 0);
  // The text area of the capture is exactly white: the plain memo's look.
  const Bitmap& capture = w->Image_preview->Picture().Bitmap().Image();
  ASSERT_EQ(capture.Width(), w->Me_inputtext->Width());
  EXPECT_EQ(w->Image_preview->Height(), w->Me_inputtext->Height());
  int notWhite = 0;
  for (int y = 0; y < capture.Height() - 4; ++y)
    for (int x = 0; x < capture.Width() - 4; ++x)
      if ((capture.At(x, y) & 0xFFFFFF) != 0xFFFFFF) ++notWhite;
  EXPECT_EQ(notWhite, 0);
  // Its frame is 2 pixels on every side.
  EXPECT_EQ(w->Me_inputtext->ClientWidth(), w->Me_inputtext->Width() - 4);
  EXPECT_EQ(w->Me_inputtext->ClientHeight(), w->Me_inputtext->Height() - 4);
}

TEST_F(AppWindowTest, DesignLayoutAndTheSplitter) {
  InstallPacks();  // GB312 holds the design texts
  // The design's client area inside the skinned frame, whose borders are 13 + 12 pixels
  // wide and 46 + 9 high.
  WriteSettings("[display]\nwindow_width=558\nwindow_height=483\nwindow_left=353\nwindow_top=200\n");
  Tkavri* w = Create();
  ASSERT_EQ(w->ClientWidth(), 533);
  ASSERT_EQ(w->ClientHeight(), 428);
  // The skinned panels' client areas lie 2 pixels inside their edges (the skin's client
  // rectangle), one more than the plain panels' bevel: each nesting takes 2 more pixels.
  EXPECT_EQ(w->Me_inputtext->Width(), 185);
  EXPECT_EQ(w->Me_inputtext->Height(), 122);
  EXPECT_EQ(w->Me_output_text->Width(), 336);
  EXPECT_EQ(w->Me_output_text->Height(), 399);
  EXPECT_EQ(w->SB_FontItalic->Left(), 156);
  EXPECT_EQ(w->SB_FontBold->Left(), 131);
  EXPECT_FALSE(w->Image_preview->Visible());
  // Dragging the splitter down makes the input memo taller by as much.
  auto* splitter = dynamic_cast<TControl*>(w->FindComponent("skSkinSplitter2"));
  ASSERT_NE(splitter, nullptr);
  Point from = Center(splitter);
  m_host->PressMouse(from);
  m_host->Pump();
  m_host->MoveMouse({from.x, from.y + 30});
  m_host->Pump();
  m_host->ReleaseMouse({from.x, from.y + 30});
  m_host->Pump();
  EXPECT_EQ(w->Me_inputtext->Height(), 152);
}

TEST_F(AppWindowTest, StoredSizeIndexesSelectOrFallBack) {
  struct Case {
    int stored;
    int index;      // selected
    int points;     // of the input memo; 0: its design cell height of 14 pixels
    int written;    // at closing
  };
  for (const Case& c : {Case{39, 39, 40, 39}, Case{40, 12, 13, 12}, Case{220, 12, 13, 12},
                        Case{0, 0, 1, 0}, Case{-3, -1, 0, -3}}) {
    SCOPED_TRACE(c.stored);
    WriteSettings("[display]\nFontSize=" + std::to_string(c.stored) + "\n");
    Tkavri* w = Create();
    EXPECT_EQ(w->skSkinFontSizeComboBox1->ItemIndex(), c.index);
    if (c.points > 0) {
      EXPECT_EQ(w->Me_inputtext->Font().Size(), c.points);
    } else {
      // Nothing selected: the design font stays and the box stays empty.
      EXPECT_EQ(w->Me_inputtext->Font().Height(), 14);
      EXPECT_EQ(w->skSkinFontSizeComboBox1->Text(), "");
    }
    EXPECT_TRUE(CloseWindow());
    IniFile ini(m_dir.Path() / "KAVRI.ini");
    EXPECT_EQ(ini.ReadString("display", "FontSize", "?"), std::to_string(c.written));
    delete kavri;
  }
}

TEST_F(AppWindowTest, NegativeFaceIndexSelectsNothingAndIsWrittenBack) {
  WriteSettings("[display]\nFontType=-1\n");
  Tkavri* w = Create();
  EXPECT_EQ(w->skSkinFontComboBox1->ItemIndex(), -1);
  EXPECT_EQ(w->Me_inputtext->Font().Name(), "宋体");
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(IniFile(m_dir.Path() / "KAVRI.ini").ReadString("display", "FontType", "?"), "-1");
}

TEST_F(AppWindowTest, ClosingWritesTheStateAndKeepsForeignLines) {
  WriteSettings("; mine\r\n[display]\r\nwindow_width=600\r\nwindow_height=400\r\nwindow_left=30\r\n"
                "window_top=40\r\nextra=1\r\nFontType=0\r\nFontSize=3\r\nn1=abc\r\n");
  Tkavri* w = Create();
  w->SetBounds(50, 60, 700, 500);
  w->skSkinFontSizeComboBox1->SetItemIndex(9);
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(m_dir.Read("KAVRI.ini"),
            "; mine\r\n[display]\r\nwindow_width=700\r\nwindow_height=500\r\nwindow_left=50\r\n"
            "window_top=60\r\nextra=1\r\nFontType=0\r\nFontSize=9\r\nn1=\r\nlanguage=GB312\r\n"
            "n2=...\r\n");
}

TEST_F(AppWindowTest, AWindowAsWideAsTheScreenLeavesTheGeometryKeys) {
  WriteSettings("[display]\nwindow_width=640\nwindow_height=480\nwindow_left=0\nwindow_top=0\nFontType=1\n");
  Tkavri* w = Create();
  w->SetBounds(0, 0, 1280, 760);
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(m_dir.Read("KAVRI.ini"),
            "[display]\nwindow_width=640\nwindow_height=480\nwindow_left=0\nwindow_top=0\nFontType=1\n"
            "FontSize=14\r\nlanguage=GB312\r\nn1=\r\nn2=...\r\n");
}

TEST_F(AppWindowTest, ClosingSucceedsWhenTheSettingsCannotBeWritten) {
  WriteSettings("[display]\n");
  Create();
  CurrentLanguage = "two\nlines";  // a value no settings line can hold
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(m_errors.size(), 1u);
}

TEST_F(AppWindowTest, StoredLanguageAppliesOnlyWhenSpelledExactly) {
  InstallPacks();
  WriteSettings("[display]\nlanguage=english\n");
  Tkavri* w = Create();
  EXPECT_EQ(w->Caption(), "kavri");  // design texts
  EXPECT_EQ(w->La_inputtext->Caption(), "输入内容");
  EXPECT_EQ(w->CbSelect->ItemIndex(), -1);
  ASSERT_EQ(w->CbSelect->Items().Count(), 2);
  delete kavri;

  WriteSettings("[display]\nlanguage=English\n");
  w = Create();
  EXPECT_EQ(w->Caption(), "Kavri");
  EXPECT_EQ(w->La_inputtext->Caption(), "Input text");
  EXPECT_EQ(w->La_FillSize->Caption(), " 显示尺寸：");  // a pack never changes it
  EXPECT_EQ(w->La_FillSize->Hint(), " View size:");
  EXPECT_EQ(w->CbSelect->ItemIndex(), -1);  // the box starts with nothing selected
}

TEST_F(AppWindowTest, ChoosingALanguageAppliesItAndIsSaved) {
  InstallPacks();
  WriteSettings("[display]\nlanguage=gb312\n");
  Tkavri* w = Create();
  int english = w->CbSelect->Items().IndexOf("English");
  ASSERT_GE(english, 0);
  w->CbSelect->SetItemIndex(english);
  EXPECT_EQ(CurrentLanguage, "English");
  EXPECT_EQ(w->Caption(), "Kavri");
  EXPECT_EQ(w->La_inputtype->Caption(), "Face:");
  EXPECT_EQ(w->La_Language->Caption(), "Lang:");
  EXPECT_EQ(w->Bu_Convert->Hint(), "Convert the text to character art");
  EXPECT_EQ(w->SB_help->Hint(), "Help");
  EXPECT_EQ(w->SB_about->Hint(), "About Kavri");
  EXPECT_EQ(w->SB_FontBold->Hint(), "Bold");
  EXPECT_NE(NoticeText.find("character art"), std::string::npos);
  // A pack whose file went away since the search changes nothing but the name.
  std::filesystem::remove(m_dir.Path() / "language" / "English_fo.dll");
  int gb = w->CbSelect->Items().IndexOf("GB312");
  w->CbSelect->SetItemIndex(gb);
  EXPECT_EQ(w->Caption(), "kavri");
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(IniFile(m_dir.Path() / "KAVRI.ini").ReadString("display", "language", "?"), "GB312");
}

TEST_F(AppWindowTest, ADamagedPackIsReportedAndTheStartGoesOn) {
  m_dir.Write("language/Bad_fo.dll", "1=\xff\xfe\n");
  WriteSettings("[display]\nlanguage=Bad\nFontSize=5\n");
  Tkavri* w = Create();
  ASSERT_EQ(m_errors.size(), 1u);
  EXPECT_NE(m_errors[0].find("Bad_fo.dll"), std::string::npos);
  EXPECT_EQ(w->Caption(), "kavri");
  EXPECT_EQ(w->skSkinFontSizeComboBox1->ItemIndex(), 5);
}

TEST_F(AppWindowTest, StyleButtonsToggleTheirFlagOnly) {
  WriteSettings("[display]\n");
  Tkavri* w = Create();
  TFont& font = w->Me_inputtext->Font();
  Click(w->SB_FontBold);
  EXPECT_EQ(font.Style(), fsBold);
  Click(w->SB_FontItalic);
  EXPECT_EQ(font.Style(), fsBold | fsItalic);
  Click(w->SB_FontBold);
  EXPECT_EQ(font.Style(), fsItalic);
  Click(w->SB_FontItalic);
  EXPECT_EQ(font.Style(), 0u);
}

TEST_F(AppWindowTest, LeavingACellEditNormalisesIt) {
  WriteSettings("[display]\n");
  Tkavri* w = Create();
  struct Case {
    const char* typed;
    const char* left;
  };
  for (const Case& c : {Case{"abc", "ab"}, Case{"a", "a "}, Case{"", "  "}, Case{" \t ", "  "},
                        Case{"爱", "爱"}, Case{" x", " x"}}) {
    auto* edit = static_cast<TWinControl*>(w->Ed_word);
    edit->SetFocus();
    edit->SetText(c.typed);
    w->Ed_Back->SetFocus();  // Ed_word loses the focus
    m_host->Pump();
    EXPECT_EQ(w->Ed_word->Text(), c.left) << c.typed;
  }
}

TEST_F(AppWindowTest, AChangeOfTextTakesACopyAndAFaceChangeDoesNot) {
  WriteSettings("[display]\n");
  Tkavri* w = Create();
  TBitmap& held = w->Image_preview->Picture().Bitmap();
  w->Me_inputtext->SetText("爱");
  m_host->Pump();
  ASSERT_FALSE(held.Empty());
  EXPECT_EQ(held.Width(), w->Me_inputtext->Width());
  EXPECT_EQ(held.Height(), w->Me_inputtext->Height());
  const Bitmap before = held.Image();
  w->skSkinFontSizeComboBox1->SetItemIndex(30);
  m_host->Pump();
  EXPECT_TRUE(held.Image() == before);
  EXPECT_FALSE(w->Image_preview->Visible());
}

TEST_F(AppWindowTest, ConversionThroughTheWindowMatchesKavriArt) {
  const std::string art = std::string(KAVRI_BINARY_DIR) + "/tools/kavri-art/kavri-art";
  if (access(art.c_str(), X_OK) != 0) GTEST_SKIP() << "kavri-art is not built";
  WriteSettings("[display]\nFontSize=11\n");
  Tkavri* w = Create();
  m_host->Click(Center(w->Me_inputtext));
  m_host->Pump();
  SendMessage(w->Me_inputtext->Handle(), EM_SETSEL, 0, -1);
  m_host->TypeText("爱Kavri");
  m_host->Pump();
  EXPECT_EQ(w->Me_inputtext->Text(), "爱Kavri");
  Click(w->Bu_Convert);
  std::string shown = w->Me_output_text->Lines().Text();
  ASSERT_FALSE(shown.empty());

  int status = -1;
  std::string expected = RunProgram({art, "-f", w->skSkinFontComboBox1->Text(), "-s", "12", "-w",
                                     std::to_string(w->Me_inputtext->Width()), "--", "爱Kavri"},
                                    status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(shown, expected);
  // Changing the display size leaves the lines alone.
  w->skSkinFontSizeComboBox2->SetItemIndex(3);
  EXPECT_EQ(w->Me_output_text->Font().Size(), 4);
  EXPECT_EQ(w->Me_output_text->Lines().Text(), shown);
}

TEST_F(AppWindowTest, HelpOpensThePageBesideTheProgram) {
  // A stand-in for the desktop's handler that notes what it was asked to open.
  const std::string log = m_dir.Dir() + "opened.txt";
  // Written aside and renamed, so the file is whole once it exists.
  m_dir.Write("bin/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + log + ".part' && mv '" + log + ".part' '" + log + "'\n");
  std::filesystem::permissions(m_dir.Path() / "bin" / "xdg-open", std::filesystem::perms::owner_all);
  const std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", (m_dir.Dir() + "bin:" + oldPath).c_str(), 1);
  WriteSettings("[display]\n");
  Tkavri* w = Create();
  Click(w->SB_help);
  for (int i = 0; i < 200 && !m_dir.Exists("opened.txt"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  setenv("PATH", oldPath.c_str(), 1);
  EXPECT_EQ(m_dir.Read("opened.txt"), m_dir.Dir() + "help.htm");
}

// Installed under a prefix, the first start takes the default settings into the user's
// folder without a word, packs come from the prefix and the user's own folder, and closing
// writes the user's copy only.
TEST_F(AppWindowTest, AnInstalledCopyKeepsItsSettingsInTheUsersFolders) {
  const std::string prefix = m_dir.Dir() + "usr/";
  m_dir.Write("usr/bin/kavri", "");
  const std::string defaults = "[display]\r\nwindow_width=640\r\nwindow_height=480\r\nwindow_left=0\r\n"
                               "window_top=0\r\nFontSize=4\r\nlanguage=English\r\n";
  m_dir.Write("usr/share/kavri/KAVRI.ini", defaults);
  for (const char* pack : {"GB312_fo.dll", "English_fo.dll"})
    m_dir.Write(std::string("usr/share/kavri/Language/") + pack, Asset(std::string("Language/") + pack));
  m_dir.Write("home/.local/share/kavri/Language/Mine_fo.dll", "1=Mine\n");
  ScopedEnv home("HOME", (m_dir.Dir() + "home").c_str());
  ScopedEnv config("XDG_CONFIG_HOME", nullptr), data("XDG_DATA_HOME", nullptr);
  SetProgramFolder(prefix + "bin/");

  Tkavri* w = Create();
  EXPECT_TRUE(m_boxes.empty());
  EXPECT_EQ(m_dir.Read("home/.config/kavri/KAVRI.ini"), defaults);
  EXPECT_EQ(w->skSkinFontSizeComboBox1->ItemIndex(), 4);
  EXPECT_EQ(w->Caption(), "Kavri");  // the installed English pack
  EXPECT_EQ(w->CbSelect->Items().Count(), 3);
  const int mine = w->CbSelect->Items().IndexOf("Mine");
  ASSERT_GE(mine, 0);
  w->CbSelect->SetItemIndex(mine);
  EXPECT_EQ(w->Caption(), "Mine");
  EXPECT_TRUE(CloseWindow());
  EXPECT_TRUE(m_boxes.empty());
  EXPECT_EQ(IniFile(m_dir.Path() / "home/.config/kavri/KAVRI.ini").ReadString("display", "language", "?"), "Mine");
  EXPECT_EQ(m_dir.Read("usr/share/kavri/KAVRI.ini"), defaults);
  EXPECT_FALSE(m_dir.Exists("usr/bin/KAVRI.ini"));
}

// The user's file removed while the program runs: closing starts again from the default and
// keeps this session's settings instead of reporting a missing file.
TEST_F(AppWindowTest, AnInstalledCopyRecreatesASettingsFileRemovedWhileItRan) {
  m_dir.Write("usr/bin/kavri", "");
  m_dir.Write("usr/share/kavri/KAVRI.ini", "[display]\r\nFontSize=4\r\n");
  ScopedEnv config("XDG_CONFIG_HOME", (m_dir.Dir() + "cfg").c_str());
  SetProgramFolder(m_dir.Dir() + "usr/bin/");
  Tkavri* w = Create();
  std::filesystem::remove(m_dir.Path() / "cfg/kavri/KAVRI.ini");
  w->skSkinFontSizeComboBox1->SetItemIndex(6);
  EXPECT_TRUE(CloseWindow());
  EXPECT_TRUE(m_boxes.empty());
  EXPECT_EQ(IniFile(m_dir.Path() / "cfg/kavri/KAVRI.ini").ReadString("display", "FontSize", "?"), "6");
}

}  // namespace

namespace {

// The hints the design shows appear in the plain hint window after the pause on hover.
TEST_F(AppWindowTest, HintsAppearOnHover) {
  InstallPacks();
  Tkavri* w = Create();
  struct Case {
    TControl* control;
    const char* hint;
  };
  for (const Case& c : {Case{w->SB_help, "帮助"}, Case{w->SB_FontBold, "加黑"}, Case{w->Bu_Convert, nullptr}}) {
    SCOPED_TRACE(c.control->Name());
    m_host->MoveMouse({0, 0});
    m_host->Pump();
    m_host->MoveMouse(Center(c.control));
    m_host->Pump();
    m_host->AdvanceClock(Application->HintPause() + 50);
    m_host->Pump();
    THintWindow* hint = Application->HintWindow();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(IsWindowVisible(hint->Handle()));
    if (c.hint) EXPECT_EQ(hint->Caption(), c.hint);
    else EXPECT_EQ(hint->Caption(), c.control->Hint());
  }
  Application->DestroyHintWindow();
}

}  // namespace

namespace {

// The box around the pixels of exactly colour `c` inside `area` of `b`, relative to the
// box's own first pixel; empty when there is none.
Rect InkOf(const Bitmap& b, const Rect& area, Color c) {
  Rect box;
  bool any = false;
  for (int y = std::max(area.top, 0); y < std::min(area.bottom, b.Height()); ++y)
    for (int x = std::max(area.left, 0); x < std::min(area.right, b.Width()); ++x) {
      if (b.GetPixelColor(x, y) != ColorToRGB(c)) continue;
      if (!any) box = {x, y, x + 1, y + 1};
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
      any = true;
    }
  return box;
}

// How `text` inks in `spec` and colour `c` on a plain bitmap: the size of its fully
// covered pixels' box.
Size InkSizeOf(std::string_view text, const FontSpec& spec, Color c) {
  const Font font(spec);
  Bitmap b(font.TextWidth(text) + 20, 60, MakePixel(255, 255, 255));
  DC dc(b);
  dc.SelectFont(font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(c);
  dc.TextOut(10, 10, text);
  const Rect ink = InkOf(b, {0, 0, b.Width(), b.Height()}, c);
  return {ink.Width(), ink.Height()};
}

// The caption is drawn in the skin's caption font; with no skin, in the frame's default one.
TEST_F(AppWindowTest, CaptionTextInTheSkinsCaptionFontOrTheFramesDefault) {
  InstallPacks();
  Tkavri* w = Create();
  auto* frame = dynamic_cast<TskSkinForm*>(w->FindComponent("skSkinForm1"));
  ASSERT_NE(frame, nullptr);
  ASSERT_FALSE(w->Caption().empty());
  ASSERT_TRUE(frame->IsFormActive());
  Rect window;
  GetWindowRect(w->Handle(), &window);

  auto* caption = dynamic_cast<TskSkinCaptionObject*>(frame->FindObject("caption"));
  ASSERT_NE(caption, nullptr);
  const FontSpec skinFont{caption->FontName, caption->FontHeight, (caption->FontStyle & SkinFontBold) != 0};
  ASSERT_NE(skinFont.face, frame->DefCaptionFont().spec.face) << "the skin must give a font of its own";
  Rect area = caption->ObjectRect.Translated(window.left, window.top);
  Rect ink = InkOf(m_host->Screenshot(), area, caption->ActiveFontColor);
  EXPECT_EQ(Size(ink.Width(), ink.Height()), InkSizeOf(w->Caption(), skinFont, caption->ActiveFontColor));
  EXPECT_NE(Size(ink.Width(), ink.Height()), InkSizeOf(w->Caption(), frame->DefCaptionFont().spec, caption->ActiveFontColor));

  // Without its skin the frame draws its own caption band.
  frame->SetSkinData(nullptr);
  m_host->Pump();
  EXPECT_EQ(frame->FindObject("caption"), nullptr);
  const TskCaptionFont& def = frame->DefCaptionFont();
  // The text sits in the middle of the band, away from its edge lines and the buttons.
  const int middle = window.left + window.Width() / 2;
  area = {middle - 150, window.top + 5, middle + 150, window.top + frame->DefaultCaptionHeight() + 1};
  ink = InkOf(m_host->Screenshot(), area, def.color);
  EXPECT_EQ(Size(ink.Width(), ink.Height()), InkSizeOf(w->Caption(), def.spec, def.color));
}

}  // namespace
