// The copy of the displayed input memo: its size, white background, every touched pixel
// non-white, only the visible lines, and what the scan reads of it.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "core/ArtScan.h"
#include "core/MemoCapture.h"
#include "platform/gfx/Region.h"
#include "platform/std/StdControls.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"

namespace {

constexpr Pixel White = MakePixel(255, 255, 255);
constexpr Pixel Black = MakePixel(0, 0, 0);

bool IsWhite(Pixel p) { return (p & 0x00FFFFFFu) == (White & 0x00FFFFFFu); }

class CaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowSystem::Install(std::make_unique<HeadlessHost>());
    WNDCLASS wc;
    wc.lpfnWndProc = &DefWindowProc;
    // Not white, so a copy that strays outside the memo shows it.
    wc.hbrBackground = RGB(0, 0, 255);
    wc.lpszClassName = "CaptureSurface";
    ASSERT_TRUE(RegisterClass(&wc));
    m_surface = CreateWindowEx(0, "CaptureSurface", "", WS_POPUP | WS_VISIBLE, 20, 30, 400, 300,
                               nullptr, nullptr);
    ASSERT_NE(m_surface, nullptr);
  }
  void TearDown() override {
    // While the system is still current: the memos' destruction messages call into it.
    DestroyWindow(m_surface);
    WindowSystem::Shutdown();
  }

  HWND Memo(const Rect& bounds, const std::string& text, const MemoFont& font) {
    HWND memo = CreateInputMemo(m_surface, bounds, font);
    SetWindowText(memo, text.c_str());
    WindowSystem::Current().ProcessMessages();
    return memo;
  }

  HWND m_surface = nullptr;
};

MemoFont Face(const char* face, int points) {
  MemoFont f;
  f.face = face;
  f.points = points;
  return f;
}

TEST_F(CaptureTest, CaptureIsTheWindowRectangle) {
  const Rect cases[] = {{0, 0, 40, 10}, {13, 7, 113, 57}, {5, 5, 12, 12}, {0, 0, 300, 200}};
  for (const Rect& r : cases) {
    HWND memo = Memo(r, "Kavri", Face("DejaVu Sans", 9));
    Rect window;
    ASSERT_TRUE(GetWindowRect(memo, &window));
    const std::unique_ptr<Bitmap> capture = MemoToBitmap(memo);
    ASSERT_NE(capture, nullptr);
    EXPECT_EQ(capture->Width(), window.Width());
    EXPECT_EQ(capture->Height(), window.Height());
    EXPECT_EQ(capture->GetSize(), r.GetSize());
    DestroyWindow(memo);
  }
}

TEST_F(CaptureTest, EmptyTextAreaIsExactlyWhite) {
  for (const bool focused : {false, true}) {
    HWND memo = Memo({9, 4, 129, 64}, "", MemoFont{});
    if (focused) {
      // The blinking caret is no ink: it is off the copy whatever its phase.
      SetFocus(memo);
      WindowSystem::Current().ProcessMessages();
      ASSERT_TRUE(WindowSystem::Current().CaretShown());
    }
    const std::unique_ptr<Bitmap> capture = MemoToBitmap(memo);
    for (int y = 0; y < capture->Height() - 2 * kMemoFrameWidth; ++y)
      for (int x = 0; x < capture->Width() - 2 * kMemoFrameWidth; ++x)
        ASSERT_TRUE(IsWhite(capture->At(x, y))) << x << "," << y << (focused ? " focused" : "");
    // The 4 columns right of the text area are the frame and what lies beside the memo.
    EXPECT_FALSE(IsWhite(capture->At(capture->Width() - 1, 10)));
    DestroyWindow(memo);
  }
}

// The pixels the text touches, found independently: the same text in white on black,
// where any coverage at all leaves a pixel non-black.
TEST_F(CaptureTest, ExactlyTheTouchedPixelsAreNonWhite) {
  const struct {
    MemoFont font;
    const char* text;
  } cases[] = {
      {Face("DejaVu Sans", 9), "Kavri gj 爱 W/"},  // smoothed edges
      {Face("DejaVu Sans", 5), "thin ///"},
      {[] { MemoFont f = Face("DejaVu Serif", 11); f.italic = true; return f; }(), "Sky Lift"},
      {Face("宋体", 12), "Hi 爱"},  // bitmap strike
  };
  for (const auto& c : cases) {
    HWND memo = Memo({6, 3, 226, 43}, c.text, c.font);
    const std::unique_ptr<Bitmap> capture = MemoToBitmap(memo);
    Rect format;
    SendMessage(memo, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const LRESULT origin = SendMessage(memo, EM_POSFROMCHAR, 0, 0);
    Rect client;
    GetClientRect(memo, &client);
    Bitmap touched(client.Width(), client.Height(), Black);
    Font(MemoFontSpec(c.font))
        .Draw(touched, static_cast<short>(LOWORD(origin)), static_cast<short>(HIWORD(origin)),
              c.text, clWhite, Region(Rect{format.left, format.top, format.right, client.bottom}));
    int ink = 0;
    for (int y = 0; y < client.Height(); ++y) {
      for (int x = 0; x < client.Width(); ++x) {
        const bool isTouched = (touched.At(x, y) & 0x00FFFFFFu) != 0;
        ink += isTouched;
        ASSERT_EQ(!IsWhite(capture->At(x, y)), isTouched) << c.text << " at " << x << "," << y;
      }
    }
    EXPECT_GT(ink, 20) << c.text;
    DestroyWindow(memo);
  }
}

TEST_F(CaptureTest, ScrolledOutLinesDoNotReachTheCopy) {
  const MemoFont font = Face("DejaVu Sans", 9);
  const int lineHeight = Font(MemoFontSpec(font)).Metrics().height;
  const Rect bounds{0, 0, 80, 3 * lineHeight + 2 * kMemoFrameWidth};
  HWND scrolled = Memo(bounds, "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix\r\nseven", font);
  SendMessage(scrolled, EM_LINESCROLL, 0, 4);
  ASSERT_EQ(SendMessage(scrolled, EM_GETFIRSTVISIBLELINE, 0, 0), 4);
  const std::unique_ptr<Bitmap> a = MemoToBitmap(scrolled);
  DestroyWindow(scrolled);
  HWND visibleOnly = Memo(bounds, "five\r\nsix\r\nseven", font);
  const std::unique_ptr<Bitmap> b = MemoToBitmap(visibleOnly);
  bool anyInk = false;
  for (int y = 0; y < a->Height() - 4; ++y) {
    for (int x = 0; x < a->Width() - 4; ++x) {
      ASSERT_EQ(a->At(x, y) & 0x00FFFFFFu, b->At(x, y) & 0x00FFFFFFu) << x << "," << y;
      anyInk = anyInk || !IsWhite(a->At(x, y));
    }
  }
  EXPECT_TRUE(anyInk);
}

TEST_F(CaptureTest, TenPixelMemoScansRowsOneToFive) {
  HWND memo = Memo({0, 0, 60, 10}, "Kavri", Face("DejaVu Sans", 9));
  const std::unique_ptr<Bitmap> capture = MemoToBitmap(memo);
  ASSERT_EQ(capture->Height(), 10);
  // Blank-free cells keep every scanned row: exactly rows 1 to 5, 56 pixels each.
  const std::vector<std::string> all = ScanArtLines(*capture, "##", "..");
  ASSERT_EQ(all.size(), 5u);
  for (const std::string& line : all) EXPECT_EQ(line.size(), 2u * 56);
  EXPECT_LE(ScanArtLines(*capture, "##", "  ").size(), 5u);
}

TEST_F(CaptureTest, CopyShowsTextChangedSincePainting) {
  HWND memo = Memo({0, 0, 100, 30}, "", Face("DejaVu Sans", 9));
  // No messages are pumped between the change and the copy.
  SetWindowText(memo, "Kavri");
  const std::unique_ptr<Bitmap> capture = MemoToBitmap(memo);
  EXPECT_FALSE(ScanArtLines(*capture, "##", "  ").empty());
}

TEST_F(CaptureTest, NoWindowIsAnError) {
  EXPECT_THROW(MemoToBitmap(nullptr), std::invalid_argument);
  HWND memo = Memo({0, 0, 50, 20}, "x", MemoFont{});
  DestroyWindow(memo);
  WindowSystem::Current().ProcessMessages();
  EXPECT_THROW(MemoToBitmap(memo), std::invalid_argument);
}

}  // namespace
