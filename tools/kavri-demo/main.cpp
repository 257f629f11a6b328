// kavri-demo: a small window on the window system — a framed window with a button that
// counts clicks and a text field that shows what is typed and copies it (Ctrl+C) to the
// clipboard. The end-to-end test drives it on the desktop.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "platform/sys/Utf8.h"
#include "platform/win/WinApi.h"

namespace {

constexpr int ButtonId = 1;
constexpr int FieldId = 2;
constexpr int CopyId = 3;
constexpr Color ButtonIdle = RGB(192, 192, 192);
constexpr Color ButtonClicked = RGB(0, 160, 0);

struct DemoState {
  int clicks = 0;
  std::string text;
};
DemoState g_state;

void Bevel(HDC dc, const Rect& r, bool down) {
  Color tl = down ? GetSysColor(16) : clWhite;
  Color br = down ? clWhite : GetSysColor(21);
  dc->FillRect({r.left, r.top, r.right, r.top + 1}, tl);
  dc->FillRect({r.left, r.top, r.left + 1, r.bottom}, tl);
  dc->FillRect({r.left, r.bottom - 1, r.right, r.bottom}, br);
  dc->FillRect({r.right - 1, r.top, r.right, r.bottom}, br);
}

// A push button: counts clicks and turns green once clicked.
LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  static bool down = false;
  switch (msg) {
    case WM_LBUTTONDOWN:
      down = true;
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    case WM_LBUTTONUP: {
      if (!down) return 0;
      down = false;
      ReleaseCapture();
      Rect r;
      GetClientRect(hwnd, &r);
      if (r.Contains(LParamToPoint(lp))) {
        int id = GetDlgCtrlID(hwnd);
        SendMessage(GetParent(hwnd), WM_COMMAND, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(hwnd));
      }
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Rect r;
      GetClientRect(hwnd, &r);
      bool counting = GetDlgCtrlID(hwnd) == ButtonId;
      dc->FillRect(r, counting && g_state.clicks > 0 ? ButtonClicked : ButtonIdle);
      Bevel(dc, r, down);
      dc->SetBkMode(TRANSPARENT);
      std::string label = counting ? (g_state.clicks ? "Clicked " + std::to_string(g_state.clicks) : "Click me")
                                   : GetWindowText(hwnd);
      Rect t = r;
      dc->DrawText(label, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      return DefWindowProc(hwnd, msg, wp, lp);
  }
}

void CopyText(HWND) { SetClipboardText(g_state.text); }

void PlaceCaret(HWND hwnd) {
  HDC dc = GetDC(hwnd);
  Size extent = dc->GetTextExtent(g_state.text);
  ReleaseDC(hwnd, dc);
  SetCaretPos(4 + extent.cx, 4);
}

// A one-line text field: typed characters (input methods included), Backspace, Ctrl+C to
// copy and Ctrl+V to paste; the composition in progress shows underlined after the text.
LRESULT FieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDOWN: SetFocus(hwnd); return 0;
    case WM_SETFOCUS:
      CreateCaret(hwnd, nullptr, 1, 16);
      PlaceCaret(hwnd);
      ShowCaret(hwnd);
      return 0;
    case WM_KILLFOCUS: DestroyCaret(); return 0;
    case WM_CHAR: {
      char32_t c = static_cast<char32_t>(wp);
      if (c == 3) {
        CopyText(hwnd);
      } else if (c == 22) {
        g_state.text += GetClipboardText();
      } else if (c == 8) {
        while (!g_state.text.empty() && (static_cast<unsigned char>(g_state.text.back()) & 0xC0) == 0x80)
          g_state.text.pop_back();
        if (!g_state.text.empty()) g_state.text.pop_back();
      } else if (c >= 0x20) {
        AppendUtf8(g_state.text, c);
      }
      InvalidateRect(hwnd, nullptr, true);
      PlaceCaret(hwnd);
      std::printf("text: %s\n", g_state.text.c_str());
      std::fflush(stdout);
      return 0;
    }
    case WM_IME_COMPOSITION:
    case WM_IME_ENDCOMPOSITION:
      InvalidateRect(hwnd, nullptr, true);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Rect r;
      GetClientRect(hwnd, &r);
      dc->FrameRect(r, GetSysColor(16));
      dc->SetBkMode(TRANSPARENT);
      dc->TextOut(4, 4, g_state.text);
      std::string composing = GetCompositionText();
      if (!composing.empty()) {
        int x = 4 + dc->GetTextExtent(g_state.text).cx;
        dc->SetTextColor(clBlue);
        dc->TextOut(x, 4, composing);
        dc->FillRect({x, 21, x + dc->GetTextExtent(composing).cx, 22}, clBlue);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      return DefWindowProc(hwnd, msg, wp, lp);
  }
}

// A red cross cut out by a window region: the desktop shows through the corners.
LRESULT ShapeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCHITTEST) return HTCAPTION;  // drag it anywhere
  return DefWindowProc(hwnd, msg, wp, lp);
}

HWND g_popup = nullptr;

// A menu-like popup: shown without activating and never taking the focus, so typing goes
// on into the field while it is up.
LRESULT PopupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_LBUTTONUP:
      ShowWindow(hwnd, SW_HIDE);
      std::printf("popup: closed\n");
      std::fflush(stdout);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Rect r;
      GetClientRect(hwnd, &r);
      dc->FillRect(r, RGB(255, 255, 160));
      dc->FrameRect(r, clBlack);
      dc->SetBkMode(TRANSPARENT);
      Rect t = r;
      dc->DrawText("popup", t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      return DefWindowProc(hwnd, msg, wp, lp);
  }
}

LRESULT MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_RBUTTONUP: {
      Point p = LParamToPoint(lp);
      ClientToScreen(hwnd, &p);
      SetWindowPos(g_popup, HWND_TOPMOST, p.x, p.y, 100, 40, SWP_NOACTIVATE | SWP_SHOWWINDOW);
      std::printf("popup: shown\n");
      std::fflush(stdout);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == ButtonId) {
        ++g_state.clicks;
        std::printf("clicks: %d\n", g_state.clicks);
        std::fflush(stdout);
        InvalidateRect(reinterpret_cast<HWND>(lp), nullptr, false);
      } else if (LOWORD(wp) == CopyId) {
        CopyText(hwnd);
      }
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      dc->SetBkMode(TRANSPARENT);
      dc->TextOut(12, 70, "Type here, then Ctrl+C copies:");
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

ATOM Register(const char* name, WindowProcFunction proc, HCURSOR cursor, Color background) {
  WNDCLASS wc;
  wc.lpfnWndProc = proc;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClass(&wc);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc > 1 && std::strcmp(argv[1], "--headless") == 0)
      WindowSystem::Install(WindowSystem::ChooseHost(HostChoice::Headless));
    WindowSystem& sys = WindowSystem::Current();
    std::printf("host: %s\n", sys.GetHost().Name().c_str());
    std::fflush(stdout);
    Register("KavriDemoMain", &MainProc, LoadCursor(nullptr, IDC_ARROW), clBtnFace);
    Register("KavriDemoButton", &ButtonProc, LoadCursor(nullptr, IDC_HAND), clNone);
    Register("KavriDemoField", &FieldProc, LoadCursor(nullptr, IDC_IBEAM), clWindow);
    HWND main = CreateWindowEx(0, "KavriDemoMain", "Kavri demo", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               60, 60, 360, 200, nullptr, nullptr);
    if (!main) throw std::runtime_error("cannot create the main window");
    CreateWindowEx(0, "KavriDemoButton", "", WS_CHILD | WS_VISIBLE, 12, 12, 120, 40, main,
                   reinterpret_cast<HMENU>(static_cast<std::intptr_t>(ButtonId)));
    CreateWindowEx(0, "KavriDemoButton", "Copy", WS_CHILD | WS_VISIBLE, 144, 12, 80, 40, main,
                   reinterpret_cast<HMENU>(static_cast<std::intptr_t>(CopyId)));
    HWND field = CreateWindowEx(0, "KavriDemoField", "", WS_CHILD | WS_VISIBLE, 12, 90, 320, 26, main,
                                reinterpret_cast<HMENU>(static_cast<std::intptr_t>(FieldId)));
    Register("KavriDemoShape", &ShapeProc, LoadCursor(nullptr, IDC_SIZEALL), clRed);
    Register("KavriDemoPopup", &PopupProc, LoadCursor(nullptr, IDC_ARROW), clNone);
    HWND shape = CreateWindowEx(WS_EX_TOOLWINDOW, "KavriDemoShape", "Kavri shape", WS_POPUP, 480, 60,
                                120, 120, nullptr, nullptr);
    HRGN cross = CreateRectRgn(40, 0, 80, 120);
    HRGN bar = CreateRectRgn(0, 40, 120, 80);
    CombineRgn(cross, cross, bar, RGN_OR);
    DeleteObject(bar);
    SetWindowRgn(shape, cross, true);  // the window owns the region now
    ShowWindow(shape, SW_SHOWNOACTIVATE);
    g_popup = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "KavriDemoPopup", "Kavri popup", WS_POPUP,
                             0, 0, 100, 40, main, nullptr);
    ShowWindow(main, SW_SHOW);
    SetFocus(field);
    std::printf("ready\n");
    std::fflush(stdout);
    return sys.RunMessageLoop();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kavri-demo: %s\n", e.what());
    return 1;
  }
}
