// The input memo's creation and font, and the copy of the displayed memo.
#include "core/MemoCapture.h"

#include <stdexcept>

#include "platform/gfx/DC.h"
#include "platform/std/StdControls.h"
#include "platform/win/WinApi.h"

namespace {

// The client-area context of a window, released on every way out.
class ClientDC {
 public:
  explicit ClientDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
  ~ClientDC() {
    if (m_dc != nullptr) ReleaseDC(m_hwnd, m_dc);
  }
  ClientDC(const ClientDC&) = delete;
  ClientDC& operator=(const ClientDC&) = delete;

  HDC Get() const { return m_dc; }

 private:
  HWND m_hwnd;
  HDC m_dc;
};

}  // namespace

FontSpec MemoFontSpec(const MemoFont& font) {
  FontSpec spec;
  spec.face = font.face;
  spec.height = PointsToHeight(font.points);
  spec.bold = font.bold;
  spec.italic = font.italic;
  return spec;
}

HWND CreateInputMemo(HWND parent, const Rect& bounds, const MemoFont& font) {
  RegisterStdControls();
  // Word wrap comes with a memo that has neither WS_HSCROLL nor ES_AUTOHSCROLL; the
  // client edge is the 2-pixel frame.
  const DWORD style = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_LEFT;
  HWND memo = CreateWindowEx(WS_EX_CLIENTEDGE, kEditClassName, "", style, bounds.left, bounds.top,
                             bounds.Width(), bounds.Height(), parent, nullptr);
  if (memo == nullptr) throw std::runtime_error("the input memo could not be created");
  // Both colours explicitly: the scan takes only exact white for background, whatever
  // the window colour of the palette is.
  SendMessage(memo, EM_SETCOLORS, static_cast<WPARAM>(clBlack), static_cast<LPARAM>(clWhite));
  SetInputMemoFont(memo, font);
  return memo;
}

void SetInputMemoFont(HWND memo, const MemoFont& font) {
  const Font platformFont(MemoFontSpec(font));
  // The memo copies the font.
  SendMessage(memo, WM_SETFONT, reinterpret_cast<WPARAM>(&platformFont), 1);
}

std::unique_ptr<Bitmap> MemoToBitmap(HWND memo) {
  if (!IsWindow(memo)) throw std::invalid_argument("MemoToBitmap: the memo has no window");
  UpdateWindow(memo);
  const ClientDC source(memo);
  if (source.Get() == nullptr) throw std::runtime_error("MemoToBitmap: no drawing context for the memo");
  Rect r;
  if (!GetWindowRect(memo, &r)) throw std::runtime_error("MemoToBitmap: the memo has no window rectangle");
  auto capture = std::make_unique<Bitmap>(r.Width(), r.Height());
  DC target(*capture);
  target.BitBlt(0, 0, r.Width(), r.Height(), *source.Get(), 0, 0, SRCCOPY);
  return capture;
}
