// kavri-art's rendering through the input memo on the headless host.
#include "tools/kavri-art/ArtRenderer.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "core/ArtScan.h"
#include "platform/std/EditText.h"
#include "platform/std/StdControls.h"
#include "platform/sys/Utf8.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"

namespace {

constexpr const char* kSurfaceClass = "KavriArtSurface";
constexpr int kMaxSide = 32767;
// The surface is larger than the memo so the copy of W x H pixels from the memo's client
// origin reads the surface's white, not beyond its backing store.
constexpr int kSurfaceMargin = 2 * kMemoFrameWidth;

std::string CleanText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Utf8Char c = DecodeUtf8(utf8, pos);
    // A NUL would end the text where the memo takes it as a C string.
    if (c.code != 0) AppendUtf8(out, c.code);
    pos += c.length;
  }
  return out;
}

}  // namespace

ArtRenderer::ArtRenderer() {
  WindowSystem::Install(std::make_unique<HeadlessHost>());
  WNDCLASS wc;
  wc.lpfnWndProc = &DefWindowProc;
  wc.hbrBackground = clWhite;
  wc.lpszClassName = kSurfaceClass;
  if (!RegisterClass(&wc)) throw std::runtime_error("the drawing surface could not be registered");
  m_surface = CreateWindowEx(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kSurfaceClass, "", WS_POPUP | WS_VISIBLE,
                             0, 0, 64 + kSurfaceMargin, 64 + kSurfaceMargin, nullptr, nullptr);
  if (m_surface == nullptr) throw std::runtime_error("the drawing surface could not be created");
  m_memo = CreateInputMemo(m_surface, {0, 0, 64, 64}, MemoFont{});
  m_size = {64, 64};
}

ArtRenderer::~ArtRenderer() {
  // While the system is still current: the memo's destruction messages call into it.
  DestroyWindow(m_surface);
  WindowSystem::Shutdown();
}

void ArtRenderer::SetText(std::string_view utf8) {
  m_text = CleanText(utf8);
  SetWindowText(m_memo, m_text.c_str());
}

int ArtRenderer::WidestLine(const MemoFont& font, bool inkOnly) const {
  // Laid out by the memo's own text layout, so tabs and every advance agree with it.
  CharMetrics metrics;
  metrics.SetFont(Font(MemoFontSpec(font)));
  EditText layout(metrics, true);
  std::u32string text = NormalizeBreaks(Utf8ToUtf32(m_text));
  if (inkOnly) {
    std::u32string trimmed;
    std::size_t lineStart = 0;
    while (lineStart <= text.size()) {
      const std::size_t lineEnd = std::min(text.find(U"\r\n", lineStart), text.size());
      std::u32string_view line(text.data() + lineStart, lineEnd - lineStart);
      while (!line.empty() && (line.back() == U' ' || line.back() == U'\t')) line.remove_suffix(1);
      trimmed += line;
      if (lineEnd == text.size()) break;
      trimmed += U"\r\n";
      lineStart = lineEnd + 2;
    }
    text = std::move(trimmed);
  }
  layout.SetText(std::move(text));
  int widest = 0;
  for (int i = 0; i < layout.LineCount(); ++i) widest = std::max(widest, layout.GetLine(i).width);
  return widest;
}

void ArtRenderer::Resize(long long width, long long height) {
  if (width > kMaxSide || height > kMaxSide ||
      width * height > kMaxMemoPixels)
    throw MemoTooLarge("the text needs a memo of " + std::to_string(width) + " x " +
                             std::to_string(height) + " pixels, more than can be drawn (at most " +
                             std::to_string(kMaxSide) + " a side and " +
                             std::to_string(kMaxMemoPixels) + " pixels); wrap it with --width "
                             "or choose a smaller size");
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  MoveWindow(m_surface, 0, 0, w + kSurfaceMargin, h + kSurfaceMargin, false);
  MoveWindow(m_memo, 0, 0, w, h, true);
  m_size = {w, h};
}

std::vector<std::string> ArtRenderer::Render(const MemoFont& font, int width,
                                             std::string_view fill, std::string_view back) {
  return ScanArtLines(*Capture(font, width), fill, back);
}

ArtCells ArtRenderer::RenderCells(const MemoFont& font, int width) { return ArtCells(*Capture(font, width)); }

std::unique_ptr<Bitmap> ArtRenderer::Capture(const MemoFont& font, int width) {
  SetInputMemoFont(m_memo, font);
  const int lineHeight = std::max(1, Font(MemoFontSpec(font)).Metrics().height);
  if (width <= 0) {
    Rect client, format;
    GetClientRect(m_memo, &client);
    SendMessage(m_memo, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const int margins = std::max(0, client.Width() - format.Width());
    // Room past the last advance for overhanging ink (italic, synthesized bold).
    const int slack = std::max(2, lineHeight / 2);
    const long long needed = static_cast<long long>(WidestLine(font)) + margins + 2 * kMemoFrameWidth + slack;
    if (needed > kMaxSide) Resize(needed, lineHeight + 2 * kMemoFrameWidth);  // throws
    width = static_cast<int>(needed);
  }
  // Lines are counted once the width is set, as the memo wraps them at it.
  Resize(width, std::min(kMaxSide, lineHeight + 2 * kMemoFrameWidth));
  const int lines = std::max(1, static_cast<int>(SendMessage(m_memo, EM_GETLINECOUNT, 0, 0)));
  // A little room below the last line for ink that reaches under its cell; the empty
  // tail it leaves is dropped by the scan.
  const long long textHeight = static_cast<long long>(lines) * lineHeight + lineHeight / 4 + 1;
  Resize(width, textHeight + 2 * kMemoFrameWidth);
  const LRESULT first = SendMessage(m_memo, EM_GETFIRSTVISIBLELINE, 0, 0);
  if (first > 0) SendMessage(m_memo, EM_LINESCROLL, 0, -first);
  WindowSystem::Current().ProcessMessages();
  return MemoToBitmap(m_memo);
}
