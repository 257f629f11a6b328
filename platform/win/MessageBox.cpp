// MessageBox: a small modal window with a text and a row of buttons, operable with the
// mouse and the keyboard, on the default frame.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/win/DefaultFrame.h"
#include "platform/win/WinApi.h"

namespace {

struct BoxButton {
  int id;
  const char* label;
  char accelerator;  // 0: none
};

std::vector<BoxButton> ButtonsFor(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK", 0}, {IDCANCEL, "Cancel", 0}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "Abort", 'A'}, {IDRETRY, "Retry", 'R'}, {IDIGNORE, "Ignore", 'I'}};
    case MB_YESNOCANCEL: return {{IDYES, "Yes", 'Y'}, {IDNO, "No", 'N'}, {IDCANCEL, "Cancel", 0}};
    case MB_YESNO: return {{IDYES, "Yes", 'Y'}, {IDNO, "No", 'N'}};
    case MB_RETRYCANCEL: return {{IDRETRY, "Retry", 'R'}, {IDCANCEL, "Cancel", 0}};
    default: return {{IDOK, "OK", 0}};
  }
}

constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 23;
constexpr int ButtonGap = 6;
constexpr int Margin = 12;
constexpr const char* BoxClass = "KavriMessageBox";
// The box's text, for MessageBoxText, as a property of its window.
constexpr const char* TextProp = "KavriMessageBoxText";

class MessageBoxWindow {
 public:
  const std::string& Text() const { return m_text; }
  MessageBoxWindow(std::string text, UINT type) : m_text(std::move(text)), m_buttons(ButtonsFor(type)) {
    int def = static_cast<int>((type & MB_DEFMASK) >> 8);
    m_focus = std::clamp(def, 0, static_cast<int>(m_buttons.size()) - 1);
    // Escape and the close button answer Cancel where there is one, OK for a lone OK.
    for (const BoxButton& b : m_buttons)
      if (b.id == IDCANCEL) m_escape = IDCANCEL;
    if (m_buttons.size() == 1) m_escape = m_buttons.front().id;
  }

  Size Layout() {
    Bitmap scratch(1, 1);
    DC dc(scratch);
    dc.SelectFont(Font());
    Rect measure(0, 0, 360, 0);
    dc.DrawText(m_text.empty() ? " " : m_text, measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    int buttonsWidth = static_cast<int>(m_buttons.size()) * ButtonWidth +
                       (static_cast<int>(m_buttons.size()) - 1) * ButtonGap;
    int width = std::max({measure.Width(), buttonsWidth, 120}) + 2 * Margin;
    m_textRect = Rect::FromSize(Margin, Margin, width - 2 * Margin, measure.Height());
    int top = m_textRect.bottom + Margin;
    int left = (width - buttonsWidth) / 2;
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
      m_buttonRects.push_back(Rect::FromSize(left + static_cast<int>(i) * (ButtonWidth + ButtonGap), top,
                                             ButtonWidth, ButtonHeight));
    return {width, top + ButtonHeight + Margin};
  }

  int Answer() const { return m_answer; }
  bool Answered() const { return m_answer != 0; }

  LRESULT Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_PAINT: Paint(hwnd); return 0;
      case WM_ERASEBKGND: return 1;
      case WM_GETDLGCODE: return 0;
      case WM_KEYDOWN: Key(hwnd, static_cast<int>(wp)); return 0;
      case WM_CHAR: {
        char32_t c = static_cast<char32_t>(wp);
        if (c >= 'a' && c <= 'z') c = c - 'a' + 'A';
        for (const BoxButton& b : m_buttons)
          if (b.accelerator && static_cast<char32_t>(b.accelerator) == c) m_answer = b.id;
        return 0;
      }
      case WM_LBUTTONDOWN: {
        int i = ButtonAt(LParamToPoint(lp));
        if (i >= 0) {
          m_pressed = i;
          m_inside = true;
          m_focus = i;
          SetCapture(hwnd);
          InvalidateRect(hwnd, nullptr, false);
        }
        return 0;
      }
      case WM_MOUSEMOVE:
        if (m_pressed >= 0) {
          bool inside = ButtonAt(LParamToPoint(lp)) == m_pressed;
          if (inside != m_inside) {
            m_inside = inside;
            InvalidateRect(hwnd, nullptr, false);
          }
        }
        return 0;
      case WM_LBUTTONUP:
        if (m_pressed >= 0) {
          int pressed = m_pressed;
          m_pressed = -1;
          ReleaseCapture();
          InvalidateRect(hwnd, nullptr, false);
          if (ButtonAt(LParamToPoint(lp)) == pressed) m_answer = m_buttons[static_cast<std::size_t>(pressed)].id;
        }
        return 0;
      case WM_CAPTURECHANGED:
        m_pressed = -1;
        return 0;
      case WM_CLOSE:
        // The box is never closed from outside without an answer it can give.
        if (m_escape) m_answer = m_escape;
        return 0;
      default:
        return DefWindowProc(hwnd, msg, wp, lp);
    }
  }

 private:
  int ButtonAt(Point p) const {
    for (std::size_t i = 0; i < m_buttonRects.size(); ++i)
      if (m_buttonRects[i].Contains(p)) return static_cast<int>(i);
    return -1;
  }

  void Key(HWND hwnd, int vk) {
    int n = static_cast<int>(m_buttons.size());
    switch (vk) {
      case VK_TAB:
        m_focus = (GetKeyState(VK_SHIFT) & 0x8000) ? (m_focus + n - 1) % n : (m_focus + 1) % n;
        InvalidateRect(hwnd, nullptr, false);
        break;
      case VK_LEFT:
      case VK_UP:
        m_focus = (m_focus + n - 1) % n;
        InvalidateRect(hwnd, nullptr, false);
        break;
      case VK_RIGHT:
      case VK_DOWN:
        m_focus = (m_focus + 1) % n;
        InvalidateRect(hwnd, nullptr, false);
        break;
      case VK_RETURN:
      case VK_SPACE:
        m_answer = m_buttons[static_cast<std::size_t>(m_focus)].id;
        break;
      case VK_ESCAPE:
        if (m_escape) m_answer = m_escape;
        break;
      default:
        break;
    }
  }

  void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    Rect client;
    GetClientRect(hwnd, &client);
    Color face = GetSysColor(15);
    dc->FillRect(client, face);
    dc->SelectFont(Font());
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(GetSysColor(18));
    Rect text = m_textRect;
    dc->DrawText(m_text, text, DT_WORDBREAK | DT_NOPREFIX);
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
      Rect r = m_buttonRects[i];
      bool down = m_pressed == static_cast<int>(i) && m_inside;
      bool focused = m_focus == static_cast<int>(i);
      dc->FillRect(r, face);
      if (focused) {
        dc->FrameRect(r, GetSysColor(6));
        r.Inflate(-1, -1);
      }
      Color tl = down ? GetSysColor(16) : GetSysColor(20);
      Color br = down ? GetSysColor(20) : GetSysColor(21);
      dc->FillRect({r.left, r.top, r.right, r.top + 1}, tl);
      dc->FillRect({r.left, r.top, r.left + 1, r.bottom}, tl);
      dc->FillRect({r.left, r.bottom - 1, r.right, r.bottom}, br);
      dc->FillRect({r.right - 1, r.top, r.right, r.bottom}, br);
      Rect label = r.Translated(down ? 1 : 0, down ? 1 : 0);
      dc->DrawText(m_buttons[i].label, label, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      if (focused) dc->DrawFocusRect(r.Inflated(-3, -3));
    }
    EndPaint(hwnd, &ps);
  }

  std::string m_text;
  std::vector<BoxButton> m_buttons;
  std::vector<Rect> m_buttonRects;
  Rect m_textRect;
  int m_focus = 0;
  int m_pressed = -1;
  bool m_inside = false;
  int m_escape = 0;
  int m_answer = 0;
};

void RegisterBoxClass() {
  if (WindowSystem::Current().FindClass(BoxClass)) return;
  WNDCLASS wc;
  wc.lpfnWndProc = &DefWindowProc;
  wc.hCursor = LoadStandardCursor(IDC_ARROW);
  wc.hbrBackground = clBtnFace;
  wc.lpszClassName = BoxClass;
  RegisterClass(&wc);
}

}  // namespace

std::string MessageBoxText(HWND box) {
  if (!IsWindow(box)) return {};
  const auto* text = static_cast<const std::string*>(GetProp(box, TextProp));
  return text ? *text : std::string();
}

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  WindowSystem& sys = WindowSystem::Current();
  // No one could see or answer it.
  if (sys.DisplayLost()) return 0;
  RegisterBoxClass();
  HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  auto box = std::make_unique<MessageBoxWindow>(text ? text : "", type);
  Size client = box->Layout();

  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  DWORD exStyle = WS_EX_DLGMODALFRAME | ((type & MB_TOPMOST) ? WS_EX_TOPMOST : 0);
  FrameStyle fs{style, exStyle, false};
  Rect probe(0, 0, 1000, 1000);
  Rect inner = FrameClientRect(fs, probe);
  int width = client.cx + (probe.Width() - inner.Width());
  int height = client.cy + (probe.Height() - inner.Height());
  HMONITOR mon = MonitorFromWindow(top, MONITOR_DEFAULTTOPRIMARY);
  Rect work = mon ? mon->work : Rect(0, 0, 800, 600);
  Rect around = work;
  if (top && IsWindowVisible(top) && !IsIconic(top)) GetWindowRect(top, &around);
  int x = around.left + (around.Width() - width) / 2;
  int y = around.top + (around.Height() - height) / 2;
  x = std::clamp(x, work.left, std::max(work.left, work.right - width));
  y = std::clamp(y, work.top, std::max(work.top, work.bottom - height));

  HWND hwnd = CreateWindowEx(exStyle, BoxClass, caption ? caption : "Error", style, x, y, width,
                             height, top, nullptr);
  if (!hwnd) return 0;
  MessageBoxWindow* state = box.get();
  SetWindowLong(hwnd, GWL_WNDPROC,
                WNDPROC(WindowProc::Callable([state](HWND h, UINT m, WPARAM w, LPARAM l) {
                  return state->Proc(h, m, w, l);
                })));
  SetProp(hwnd, TextProp, const_cast<std::string*>(&state->Text()));
  bool ownerWasEnabled = top && IsWindowEnabled(top);
  if (ownerWasEnabled) EnableWindow(top, false);
  ShowWindow(hwnd, SW_SHOW);
  SetFocus(hwnd);
  sys.RunModalLoop([&] { return state->Answered() || !IsWindow(hwnd); });
  int answer = state->Answer();
  if (ownerWasEnabled && IsWindow(top)) EnableWindow(top, true);
  if (IsWindow(hwnd)) {
    // The window procedure refers to `state`; put the plain one back before it goes.
    SetWindowLong(hwnd, GWL_WNDPROC, &DefWindowProc);
    RemoveProp(hwnd, TextProp);
    DestroyWindow(hwnd);
  }
  if (top && IsWindow(top) && IsWindowVisible(top)) SetActiveWindow(top);
  return answer;
}
