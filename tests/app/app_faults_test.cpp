// The main window under faults and hostile input on the headless host: stored geometry
// that would hide the caption, the frame's minimum in the size loop, close requests while
// the close query's box is up, the desktop going away, termination signals, help without
// a handler, and the clipboard's line ends.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "AppTestSupport.h"
#include "app/HelpPage.h"
#include "app/Settings.h"
#include "app/Tkavri.h"
#include "platform/std/StdConst.h"
#include "platform/sys/EndSignals.h"
#include "platform/sys/IniFile.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skSkinComboBox.h"
#include "toolkit/Edits.h"
#include "toolkit/StdCtrls.h"

namespace {

class AppFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    SetProgramFolder(m_dir.Dir());
    RegisterKavriForm();
    Application->OnException = [this](TObject*, const std::exception& e) { m_errors.push_back(e.what()); };
    InstallHost({1280, 800});
  }
  void TearDown() override {
    for (int i = Application->FormCount() - 1; i >= 0; --i) delete Application->Forms(i);
    Application->OnException = nullptr;
    WindowSystem::Shutdown();
    SetProgramFolder("");
    ResetModuleState();
  }

  // A fresh screen of `size` with a 40-pixel bar; every new message box is noted and,
  // unless `onBox` says otherwise, answered.
  void InstallHost(Size size) {
    auto host = std::make_unique<HeadlessHost>(size);
    m_host = host.get();
    WindowSystem::Install(std::move(host));
    m_host->SetIdleHandler([this] {
      HWND box = FindWindow("KavriMessageBox", nullptr);
      if (!box) return false;
      if (!GetProp(box, "seen")) {
        SetProp(box, "seen", this);
        m_boxes.push_back(MessageBoxText(box));
        if (onBox && onBox(m_boxes.size())) return true;
      }
      m_host->Key(VK_RETURN);
      return true;
    });
  }
  Tkavri* Create() {
    Application->CreateForm(kavri);
    if (kavri && !WindowSystem::Current().DisplayLost()) {
      kavri->Show();
      m_host->Pump();
    }
    return kavri;
  }
  MINMAXINFO Limits() {
    MINMAXINFO mmi{};
    SendMessage(kavri->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return mmi;
  }
  std::string Stored(const char* key) {
    return IniFile(m_dir.Path() / "KAVRI.ini").ReadString("display", key, "(none)");
  }

  TempFolder m_dir;
  HeadlessHost* m_host = nullptr;
  std::vector<std::string> m_boxes;
  std::vector<std::string> m_errors;
  // Called with the number of boxes seen so far when a new one appears; true when it
  // dealt with the box itself (and left it up).
  std::function<bool(std::size_t)> onBox;
};

// Hostile stored geometry: the caption ends up on the work area, too small sizes take the
// defaults, and the window's place is what is written back.
TEST_F(AppFaultsTest, HostileGeometryKeepsTheCaptionReachable) {
  struct Case {
    const char* what;
    Size screen;
    WindowGeometry stored;
    WindowGeometry want;  // a width or height of -1: the frame's largest
  };
  const Case cases[] = {
      {"fits", {1280, 800}, {353, 200, 541, 455}, {353, 200, 541, 455}},
      {"just on", {1280, 800}, {640, 280, 640, 480}, {640, 280, 640, 480}},
      {"huge right, above", {1280, 800}, {50000, -40000, 640, 480}, {640, 0, 640, 480}},
      {"far left, far down", {1280, 800}, {-5000, 90000, 640, 480}, {0, 280, 640, 480}},
      {"over every edge", {1280, 800}, {-10, -10, 640, 480}, {0, 0, 640, 480}},
      {"past the bar", {1280, 800}, {700, 500, 640, 480}, {640, 280, 640, 480}},
      {"int extremes", {1280, 800}, {-2147483647 - 1, 2147483647, 640, 480}, {0, 280, 640, 480}},
      {"no size", {1280, 800}, {10, 10, 0, 0}, {10, 10, 640, 480}},
      {"one pixel", {1280, 800}, {10, 10, 1, 1}, {10, 10, 640, 480}},
      {"negative size", {1280, 800}, {700, 10, -640, -480}, {640, 10, 640, 480}},
      {"huge size", {1280, 800}, {100, 100, 999999, 999999}, {0, 0, -1, -1}},
      {"screen smaller than the window", {600, 400}, {50, 50, 640, 480}, {0, 0, -1, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InstallHost(c.screen);
    const std::string text = "[display]\nwindow_left=" + std::to_string(c.stored.left) +
                             "\nwindow_top=" + std::to_string(c.stored.top) +
                             "\nwindow_width=" + std::to_string(c.stored.width) +
                             "\nwindow_height=" + std::to_string(c.stored.height) + "\nFontSize=7\n";
    m_dir.Write("KAVRI.ini", text);
    Tkavri* w = Create();
    ASSERT_NE(w, nullptr);
    const MINMAXINFO limits = Limits();
    const Rect work(0, 0, c.screen.cx, c.screen.cy - 40);
    const Rect r = w->BoundsRect();
    EXPECT_EQ(r.left, c.want.left);
    EXPECT_EQ(r.top, c.want.top);
    EXPECT_EQ(r.Width(), c.want.width < 0 ? limits.ptMaxTrackSize.x : c.want.width);
    EXPECT_EQ(r.Height(), c.want.height < 0 ? limits.ptMaxTrackSize.y : c.want.height);
    EXPECT_GE(r.Width(), limits.ptMinTrackSize.x);
    EXPECT_GE(r.Height(), limits.ptMinTrackSize.y);
    // The caption band (the frame's top, as tall as the smallest frame) lies on the work
    // area from the window's left edge on.
    const Rect caption(r.left, r.top, std::min(r.right, work.right), r.top + limits.ptMinTrackSize.y);
    EXPECT_EQ(caption.Intersected(work), caption);
    EXPECT_GE(caption.Width(), std::min(r.Width(), work.Width()));

    PostMessage(w->Handle(), WM_CLOSE, 0, 0);
    Application->Run();
    if (c.screen.cx > r.Width()) {
      EXPECT_EQ(Stored("window_left"), std::to_string(r.left));
      EXPECT_EQ(Stored("window_top"), std::to_string(r.top));
      EXPECT_EQ(Stored("window_width"), std::to_string(r.Width()));
      EXPECT_EQ(Stored("window_height"), std::to_string(r.Height()));
    } else {
      EXPECT_EQ(Stored("window_left"), std::to_string(c.stored.left));
      EXPECT_EQ(Stored("window_width"), std::to_string(c.stored.width));
    }
    EXPECT_EQ(Stored("FontSize"), "7");
  }
  EXPECT_TRUE(m_boxes.empty());
  EXPECT_TRUE(m_errors.empty());
}

// Dragging the border inward stops at the frame's smallest size, not the platform's.
TEST_F(AppFaultsTest, TheSizeLoopKeepsTheFramesMinimum) {
  m_dir.Write("KAVRI.ini", "[display]\nwindow_left=300\nwindow_top=200\nwindow_width=640\nwindow_height=480\n");
  Tkavri* w = Create();
  const MINMAXINFO limits = Limits();
  ASSERT_GT(limits.ptMinTrackSize.x, GetSystemMetrics(SM_CXMINTRACK));
  const Rect r = w->BoundsRect();
  // A point of the bottom-right corner's sizing border.
  Point corner{-1, -1};
  for (int d = 0; d < 12 && corner.x < 0; ++d)
    for (int e = 0; e < 12 && corner.x < 0; ++e) {
      const Point p{r.right - 1 - d, r.bottom - 1 - e};
      if (WindowFromPoint(p) == w->Handle() &&
          SendMessage(w->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)) == HTBOTTOMRIGHT)
        corner = p;
    }
  ASSERT_GE(corner.x, 0) << "no sizing corner";
  // The whole drag is queued before the loop runs: past the frame's smallest size, then
  // beyond the window's other corner.
  m_host->MoveMouse(corner);
  m_host->PressMouse(corner);
  m_host->MoveMouse({corner.x - 200, corner.y - 200});
  m_host->MoveMouse({r.left + 5, r.top + 5});
  m_host->MoveMouse({0, 0});
  m_host->ReleaseMouse({0, 0});
  m_host->Pump();
  EXPECT_EQ(w->Width(), limits.ptMinTrackSize.x);
  EXPECT_EQ(w->Height(), limits.ptMinTrackSize.y);
  EXPECT_EQ(w->Left(), r.left);
  EXPECT_EQ(w->Top(), r.top);
}

// While the box of the close query is up, further close requests (the desktop's, the
// keyboard's, a signal's) open no second box; the first one then closes the window.
TEST_F(AppFaultsTest, CloseRequestsWhileTheBoxIsUpAreIgnored) {
  ASSERT_TRUE(WatchEndSignals());
  Create();  // no settings file: the start-up box
  ASSERT_EQ(m_boxes.size(), 1u);
  bool asked = false;
  onBox = [&](std::size_t n) {
    if (n != 2 || asked) return false;
    asked = true;
    PostMessage(kavri->Handle(), WM_CLOSE, 0, 0);
    PostMessage(kavri->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ::raise(SIGTERM);
    return true;  // the box stays up while they are handled
  };
  PostMessage(kavri->Handle(), WM_CLOSE, 0, 0);
  Application->Run();
  EXPECT_TRUE(asked);
  EXPECT_EQ(kavri, nullptr);
  ASSERT_EQ(m_boxes.size(), 2u);
  EXPECT_EQ(m_boxes[1], SettingsNotSavedText());
}

// The desktop goes while the window is up: the loop ends, the settings are written, and
// no box is tried.
TEST_F(AppFaultsTest, LosingTheDisplayWritesTheSettingsAndEnds) {
  m_dir.Write("KAVRI.ini", "[display]\nFontSize=3\n");
  Tkavri* w = Create();
  w->skSkinFontSizeComboBox1->SetItemIndex(20);
  m_host->LoseDisplay();
  Application->Run();
  EXPECT_EQ(kavri, nullptr);
  EXPECT_TRUE(WindowSystem::Current().DisplayLost());
  EXPECT_EQ(Stored("FontSize"), "20");
  EXPECT_TRUE(m_boxes.empty());
  EXPECT_TRUE(m_errors.empty());
}

// The desktop goes while the box of a close query is up, or the start-up box: the program
// ends without another box and makes no settings file.
TEST_F(AppFaultsTest, LosingTheDisplayUnderABoxEndsWithoutAnother) {
  struct Case {
    const char* what;
    std::size_t lostAtBox;
  };
  for (const Case& c : {Case{"closing box", 2}, Case{"start-up box", 1}}) {
    SCOPED_TRACE(c.what);
    InstallHost({1280, 800});
    m_boxes.clear();
    onBox = [&](std::size_t n) {
      if (n != c.lostAtBox) return false;
      m_host->LoseDisplay();
      return true;
    };
    Create();
    if (kavri && !WindowSystem::Current().DisplayLost()) PostMessage(kavri->Handle(), WM_CLOSE, 0, 0);
    Application->Run();
    EXPECT_EQ(kavri, nullptr);
    EXPECT_EQ(m_boxes.size(), c.lostAtBox);
    EXPECT_FALSE(m_dir.Exists("KAVRI.ini"));
    onBox = nullptr;
  }
}

// SIGTERM closes the window as its close button does: the state chosen is saved.
TEST_F(AppFaultsTest, ATerminationSignalClosesAndSaves) {
  ASSERT_TRUE(WatchEndSignals());
  m_dir.Write("KAVRI.ini", "[display]\nFontSize=3\n");
  Application->Initialize();
  Tkavri* w = Create();
  w->skSkinFontSizeComboBox1->SetItemIndex(9);
  ASSERT_EQ(::raise(SIGTERM), 0);
  EXPECT_EQ(Stored("FontSize"), "3");  // not in the signal handler
  Application->Run();
  EXPECT_EQ(kavri, nullptr);
  EXPECT_EQ(Stored("FontSize"), "9");
  EXPECT_TRUE(m_boxes.empty());
}

// Help with the desktop's handler missing or failing: the next handler that works opens
// the page; when none does, a box names the page and what is missing.
TEST_F(AppFaultsTest, HelpFallsBackToTheBrowsersAndTellsWhenNoneWorks) {
  m_dir.Write("KAVRI.ini", "[display]\n");
  const std::string page = m_dir.Dir() + "help.htm";
  const std::string log = m_dir.Dir() + "opened.txt";
  const auto script = [&](const std::string& name, const std::string& body) {
    m_dir.Write("bin/" + name, "#!/bin/sh\n" + body);
    std::filesystem::permissions(m_dir.Path() / "bin" / name, std::filesystem::perms::owner_all);
  };
  script("xdg-open", "exit 3\n");
  script("x-www-browser", "printf '%s' \"$1\" > '" + log + ".part' && /bin/mv '" + log + ".part' '" + log + "'\n");
  const std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
  Tkavri* w = Create();
  const auto clickHelpAndWait = [&](const std::function<bool()>& done) {
    const Point origin = w->SB_help->ClientOrigin();
    m_host->Click({origin.x + 5, origin.y + 5});
    m_host->Pump();
    for (int i = 0; i < 500 && !done(); ++i) {
      m_host->AdvanceClock(100);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  };
  setenv("PATH", (m_dir.Dir() + "bin").c_str(), 1);  // no sensible-browser there
  clickHelpAndWait([&] { return m_dir.Exists("opened.txt"); });
  EXPECT_EQ(m_dir.Read("opened.txt"), page);
  EXPECT_TRUE(m_boxes.empty());

  setenv("PATH", (m_dir.Dir() + "nothing").c_str(), 1);
  clickHelpAndWait([&] { return !m_boxes.empty(); });
  setenv("PATH", oldPath.c_str(), 1);
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_NE(m_boxes[0].find(page), std::string::npos) << m_boxes[0];
  for (const char* handler : {"xdg-open", "sensible-browser", "x-www-browser"})
    EXPECT_NE(m_boxes[0].find(std::string(handler) + " is not installed"), std::string::npos) << m_boxes[0];
  EXPECT_EQ(m_boxes[0], HelpNotOpenedText(page, {"xdg-open is not installed", "sensible-browser is not installed",
                                                 "x-www-browser is not installed"}));
}

// The art leaves through the clipboard with LF line ends, and LF text pasted into the
// input memo becomes its line breaks.
TEST_F(AppFaultsTest, TheClipboardSpeaksLf) {
  m_dir.Write("KAVRI.ini", "[display]\n");
  Tkavri* w = Create();
  w->Me_output_text->Lines().Clear();
  w->Me_output_text->Lines().Add("爱  爱");
  w->Me_output_text->Lines().Add("  爱  ");
  SendMessage(w->Me_output_text->Handle(), EM_SETSEL, 0, -1);
  SendMessage(w->Me_output_text->Handle(), WM_COPY, 0, 0);
  const std::string copied = m_host->ClipboardText();
  EXPECT_EQ(copied.find('\r'), std::string::npos);
  EXPECT_TRUE(copied.starts_with("爱  爱\n  爱  ")) << copied;

  m_host->SetClipboardText("one\ntwo\nthree");
  SendMessage(w->Me_inputtext->Handle(), EM_SETSEL, 0, -1);
  SendMessage(w->Me_inputtext->Handle(), WM_PASTE, 0, 0);
  ASSERT_EQ(w->Me_inputtext->Lines().Count(), 3);
  EXPECT_EQ(w->Me_inputtext->Lines()[1], "two");
  EXPECT_EQ(w->Me_inputtext->Text(), "one\r\ntwo\r\nthree");
}

}  // namespace
