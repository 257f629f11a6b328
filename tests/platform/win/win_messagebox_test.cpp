// The message box: answers by keyboard and mouse, default buttons, and its owner kept
// disabled while it shows.
#include "WinTestSupport.h"

namespace {

struct KeyCase {
  const char* what;
  UINT type;
  std::vector<int> keys;
  std::string text;  // typed after the keys
  int want;
};

class WinMessageBoxTest : public WinTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(WinMessageBoxTest, KeyboardAnswers) {
  const KeyCase& c = GetParam();
  HWND owner = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 500, 400});
  m_sys->ProcessMessages();
  // Queued before the box exists: the box has the focus when they are taken.
  for (int k : c.keys) m_host->Key(k);
  if (!c.text.empty()) m_host->TypeText(c.text);
  bool ownerDisabledMeanwhile = false;
  m_host->SetIdleHandler([&] {
    ownerDisabledMeanwhile = !IsWindowEnabled(owner);
    return false;
  });
  int answer = MessageBox(owner, "Save the changes?", "Kavri", c.type);
  EXPECT_EQ(answer, c.want) << c.what;
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(GetActiveWindow(), owner);
  EXPECT_EQ(FindWindow("KavriMessageBox", nullptr), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, WinMessageBoxTest,
    ::testing::Values(
        KeyCase{"enter on OK", MB_OK, {VK_RETURN}, "", IDOK},
        KeyCase{"escape on a lone OK", MB_OK, {VK_ESCAPE}, "", IDOK},
        KeyCase{"escape cancels", MB_OKCANCEL, {VK_ESCAPE}, "", IDCANCEL},
        KeyCase{"tab then enter", MB_OKCANCEL, {VK_TAB, VK_RETURN}, "", IDCANCEL},
        KeyCase{"right arrow then space", MB_YESNO, {VK_RIGHT, VK_SPACE}, "", IDNO},
        KeyCase{"default second button", MB_YESNOCANCEL | MB_DEFBUTTON2, {VK_RETURN}, "", IDNO},
        KeyCase{"accelerator", MB_YESNOCANCEL, {}, "y", IDYES},
        KeyCase{"escape ignored without cancel", MB_YESNO, {VK_ESCAPE, VK_TAB, VK_RETURN}, "", IDNO},
        KeyCase{"retry cancel", MB_RETRYCANCEL, {VK_RETURN}, "", IDRETRY}));

TEST_F(WinTest, MessageBoxAnswersAClickOnItsButton) {
  HWND owner = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 500, 400});
  m_sys->ProcessMessages();
  // Click where the box's second button lies, once the box is up.
  bool clicked = false;
  bool ownerRefusedClicks = false;
  m_host->SetIdleHandler([&] {
    if (clicked) return false;
    HWND box = FindWindow("KavriMessageBox", nullptr);
    if (!box) return false;
    clicked = true;
    // A click on the owner meanwhile goes nowhere.
    m_host->Click({110, 390});
    Rect client;
    GetClientRect(box, &client);
    Point p{client.Width() / 2 + 40, client.Height() - 12 - 10};
    ClientToScreen(box, &p);
    m_host->Click(p);
    ownerRefusedClicks = !IsWindowEnabled(owner);
    return true;
  });
  int answer = MessageBox(owner, "Two buttons", nullptr, MB_OKCANCEL);
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(ownerRefusedClicks);
  EXPECT_EQ(Count(owner, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(answer, IDCANCEL);
}

TEST_F(WinTest, MessageBoxShowsItsTextAndCaption) {
  bool looked = false;
  std::string caption, text;
  m_host->SetIdleHandler([&] {
    HWND box = FindWindow("KavriMessageBox", nullptr);
    if (!box || looked) return false;
    looked = true;
    caption = GetWindowText(box);
    text = MessageBoxText(box);
    // Something was drawn into the client area besides the button face.
    Rect r;
    GetWindowRect(box, &r);
    m_sys->PresentAll();
    Bitmap shot = m_host->Screenshot();
    Pixel face = ColorToPixel(GetSysColor(15));
    int other = 0;
    for (int y = r.top + 30; y < r.top + 50; ++y)
      for (int x = r.left + 10; x < r.right - 10; ++x)
        if (shot.At(x, y) != face) ++other;
    EXPECT_GT(other, 10);
    m_host->Key(VK_RETURN);
    return true;
  });
  EXPECT_EQ(MessageBox(nullptr, "Nothing to convert", nullptr, MB_OK | MB_ICONINFORMATION), IDOK);
  EXPECT_TRUE(looked);
  EXPECT_EQ(caption, "Error");
  EXPECT_EQ(text, "Nothing to convert");
  EXPECT_EQ(MessageBoxText(nullptr), "");
}

}  // namespace
