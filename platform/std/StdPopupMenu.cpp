// StdPopupMenu: the classic popup menu window and its modal loop.
#include "platform/std/StdPopupMenu.h"

#include <algorithm>

#include "platform/gfx/DC.h"
#include "platform/win/WinApi.h"

namespace {

constexpr const char* kClassName = "StdPopupMenu";
constexpr int kSeparatorHeight = 8;
constexpr int kTextLeft = 20;
constexpr int kTextRight = 16;

struct MenuState {
  HWND hwnd = nullptr;
  std::vector<StdMenuItem> items;
  std::vector<Rect> rects;
  int hot = -1;
  int chosen = 0;
  bool done = false;
};

MenuState* g_menu = nullptr;

Font MenuFont() { return Font(); }

// The text as drawn ("&&" one ampersand, other "&" marks removed) and the access key.
std::string StripAccess(const std::string& text, char* key) {
  std::string out;
  if (key) *key = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != '&' && key && !*key) *key = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    }
    out.push_back(text[i]);
  }
  return out;
}

int ItemAt(const MenuState& m, Point p) {
  for (std::size_t i = 0; i < m.rects.size(); ++i)
    if (m.rects[i].Contains(p) && !m.items[i].separator) return static_cast<int>(i);
  return -1;
}

void SetHot(MenuState& m, int hot) {
  if (hot == m.hot) return;
  m.hot = hot;
  InvalidateRect(m.hwnd, nullptr, false);
}

void Choose(MenuState& m, int index) {
  if (index < 0 || index >= static_cast<int>(m.items.size())) return;
  const StdMenuItem& item = m.items[static_cast<std::size_t>(index)];
  if (item.separator || !item.enabled) return;
  m.chosen = item.id;
  m.done = true;
}

void Step(MenuState& m, int direction) {
  const int n = static_cast<int>(m.items.size());
  int i = m.hot;
  for (int tries = 0; tries < n; ++tries) {
    i = i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
    if (!m.items[static_cast<std::size_t>(i)].separator) {
      SetHot(m, i);
      return;
    }
  }
}

void Paint(MenuState& m, DC& dc) {
  Rect client;
  GetClientRect(m.hwnd, &client);
  dc.FillRect(client, clMenu);
  // The classic raised frame.
  dc.FillRect({0, 0, client.right, 1}, cl3DLight);
  dc.FillRect({0, 0, 1, client.bottom}, cl3DLight);
  dc.FillRect({1, 1, client.right - 1, 2}, clBtnHighlight);
  dc.FillRect({1, 1, 2, client.bottom - 1}, clBtnHighlight);
  dc.FillRect({0, client.bottom - 1, client.right, client.bottom}, cl3DDkShadow);
  dc.FillRect({client.right - 1, 0, client.right, client.bottom}, cl3DDkShadow);
  dc.FillRect({1, client.bottom - 2, client.right - 1, client.bottom - 1}, clBtnShadow);
  dc.FillRect({client.right - 2, 1, client.right - 1, client.bottom - 1}, clBtnShadow);
  DCState state(dc);
  dc.SelectFont(MenuFont());
  dc.SetBkMode(TRANSPARENT);
  for (std::size_t i = 0; i < m.items.size(); ++i) {
    const StdMenuItem& item = m.items[i];
    const Rect r = m.rects[i];
    if (item.separator) {
      const int y = r.top + r.Height() / 2 - 1;
      dc.FillRect({r.left + 1, y, r.right - 1, y + 1}, clBtnShadow);
      dc.FillRect({r.left + 1, y + 1, r.right - 1, y + 2}, clBtnHighlight);
      continue;
    }
    const bool hot = static_cast<int>(i) == m.hot;
    if (hot) dc.FillRect(r, clHighlight);
    char key = 0;
    const std::string text = StripAccess(item.text, &key);
    Rect tr{r.left + kTextLeft, r.top, r.right - kTextRight, r.bottom};
    if (!item.enabled) {
      if (!hot) {
        dc.SetTextColor(ColorToRGB(clBtnHighlight));
        Rect shadow = tr.Translated(1, 1);
        dc.DrawText(item.text, shadow, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
      }
      dc.SetTextColor(ColorToRGB(clGrayText));
    } else {
      dc.SetTextColor(ColorToRGB(hot ? clHighlightText : clMenuText));
    }
    dc.DrawText(item.text, tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }
}

LRESULT MenuProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  MenuState* m = g_menu;
  if (!m || m->hwnd != hwnd) return DefWindowProc(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) Paint(*m, *dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_MOUSEMOVE: SetHot(*m, ItemAt(*m, LParamToPoint(lp))); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      Rect client;
      GetClientRect(hwnd, &client);
      if (!client.Contains(LParamToPoint(lp))) m->done = true;
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: Choose(*m, ItemAt(*m, LParamToPoint(lp))); return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != hwnd) m->done = true;
      return 0;
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

bool MenuKey(MenuState& m, const MSG& msg) {
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      switch (static_cast<int>(msg.wParam)) {
        case VK_UP: Step(m, -1); break;
        case VK_DOWN: Step(m, 1); break;
        case VK_HOME: m.hot = -1; Step(m, 1); break;
        case VK_END: m.hot = -1; Step(m, -1); break;
        case VK_RETURN: case VK_SPACE: Choose(m, m.hot); break;
        case VK_ESCAPE: case VK_MENU: case VK_F10: case VK_LEFT: case VK_RIGHT: m.done = true; break;
        default: break;
      }
      return true;
    case WM_CHAR:
    case WM_SYSCHAR: {
      const char32_t c = static_cast<char32_t>(msg.wParam);
      if (c >= 128) return true;
      const char lower = static_cast<char>(std::tolower(static_cast<int>(c)));
      for (std::size_t i = 0; i < m.items.size(); ++i) {
        char key = 0;
        StripAccess(m.items[i].text, &key);
        if (key && key == lower && !m.items[i].separator) {
          SetHot(m, static_cast<int>(i));
          Choose(m, static_cast<int>(i));
          break;
        }
      }
      return true;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: return true;
    default: return false;
  }
}

}  // namespace

HWND ActiveStdPopupMenu() { return g_menu ? g_menu->hwnd : nullptr; }

void EndStdPopupMenu() {
  if (g_menu) g_menu->done = true;
}

int TrackStdPopupMenu(HWND owner, Point screen, const std::vector<StdMenuItem>& items) {
  if (g_menu || items.empty()) return 0;
  WindowSystem& sys = WindowSystem::Current();
  if (!sys.FindClass(kClassName)) {
    WNDCLASS wc;
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = &MenuProc;
    wc.hCursor = LoadStandardCursor(IDC_ARROW);
    wc.hbrBackground = clNone;
    wc.lpszClassName = kClassName;
    RegisterClass(&wc);
  }
  MenuState state;
  state.items = items;
  const Font font = MenuFont();
  const int itemHeight = std::max(18, font.Metrics().height + 5);
  int width = 0;
  int y = 3;
  for (const StdMenuItem& item : items) {
    const int h = item.separator ? kSeparatorHeight : itemHeight;
    state.rects.push_back({3, y, 0, y + h});
    y += h;
    if (!item.separator) width = std::max(width, font.TextWidth(StripAccess(item.text, nullptr)));
  }
  const int w = width + kTextLeft + kTextRight + 6;
  const int h = y + 3;
  for (Rect& r : state.rects) r.right = w - 3;
  Rect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  int x = screen.x;
  int top = screen.y;
  if (x + w > work.right) x = std::max(work.left, x - w);
  if (top + h > work.bottom) top = std::max(work.top, top - h);
  HWND ownerTop = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  g_menu = &state;
  state.hwnd = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, "",
                              WS_POPUP, x, top, w, h, ownerTop, nullptr);
  if (!state.hwnd) {
    g_menu = nullptr;
    return 0;
  }
  ShowWindow(state.hwnd, SW_SHOWNOACTIVATE);
  SetCapture(state.hwnd);
  const HHOOK hook = SetMessageHook([&state](MSG& msg) {
    const bool eaten = MenuKey(state, msg);
    // A consumed message does not end the wait for the next one; this one does.
    if (eaten && state.done) PostMessage(state.hwnd, WM_NULL, 0, 0);
    return eaten;
  });
  sys.RunModalLoop([&state, owner]() { return state.done || (owner && !IsWindow(owner)); });
  UnhookMessageHook(hook);
  const HWND menu = state.hwnd;
  state.done = true;
  if (GetCapture() == menu) ReleaseCapture();
  g_menu = nullptr;
  DestroyWindow(menu);
  return state.chosen;
}
