// WindowSystem: the default window procedure — text, the classic frame, hit testing,
// cursors, activation defaults, system commands and the move and size loops.
#include <algorithm>
#include <cstring>

#include "platform/win/DefaultFrame.h"
#include "platform/win/WinConst.h"
#include "platform/win/WindowSystem.h"

namespace {

constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

FrameStyle StyleOf(const Window* w) {
  return {w->Style(), w->ExStyle(), (w->Style() & WS_MAXIMIZE) != 0};
}

const Cursor* StandardCursor(int id) {
  static const Cursor cursors[] = {
      {IDC_ARROW},   {IDC_IBEAM},  {IDC_WAIT},   {IDC_CROSS},     {IDC_UPARROW},
      {IDC_SIZENWSE}, {IDC_SIZENESW}, {IDC_SIZEWE}, {IDC_SIZENS}, {IDC_SIZEALL},
      {IDC_NO},      {IDC_HAND},   {IDC_APPSTARTING}, {IDC_HELP}};
  for (const Cursor& c : cursors)
    if (c.id == id) return &c;
  return nullptr;
}

}  // namespace

HCURSOR LoadStandardCursor(int id) { return StandardCursor(id); }

LRESULT WindowSystem::DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* w = Get(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCT*>(lp);
      if (cs && cs->lpszName) StoreText(w, cs->lpszName);
      return TRUE;
    }
    case WM_NCCALCSIZE: return DefNcCalcSize(w, wp, lp);
    case WM_NCHITTEST: return DefNcHitTest(w, LParamToPoint(lp));
    case WM_NCPAINT: DefNcPaint(w); return 0;
    case WM_NCACTIVATE:
      if (FrameHasCaption(StyleOf(w)) && IsWindowVisible(w)) {
        // Only the frame changes colour; drawn now so the change shows without waiting.
        w->m_ncActive = wp != 0;
        DefNcPaint(w);
      } else {
        w->m_ncActive = wp != 0;
      }
      return TRUE;
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lp);
      StoreText(w, text ? text : "");
      if (FrameHasCaption(StyleOf(w)) && IsWindowVisible(w)) DefNcPaint(w);
      return TRUE;
    }
    case WM_GETTEXT: {
      if (wp == 0 || !lp) return 0;
      char* buf = reinterpret_cast<char*>(lp);
      std::size_t n = std::min<std::size_t>(w->m_text.size(), wp - 1);
      std::memcpy(buf, w->m_text.data(), n);
      buf[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->m_text.size());
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(w, &ps);
      EndPaint(w, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      if (w->m_class->background == clNone || !wp) return 0;
      HDC dc = reinterpret_cast<HDC>(wp);
      dc->FillRect(dc->ClipBox(), ColorToRGB(w->m_class->background));
      return 1;
    }
    case WM_CLOSE: DestroyWindow(w); return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      // Top-level frames keep within their tracking limits.
      if (pos && !(pos->flags & SWP_NOSIZE) &&
          ((w->m_style & WS_THICKFRAME) || !(w->m_style & (WS_POPUP | WS_CHILD)))) {
        MINMAXINFO mmi;
        GetMinMax(w, mmi);
        pos->cx = std::min(pos->cx, mmi.ptMaxTrackSize.x);
        pos->cy = std::min(pos->cy, mmi.ptMaxTrackSize.y);
        if (!(w->m_style & WS_MINIMIZE)) {
          pos->cx = std::max(pos->cx, mmi.ptMinTrackSize.x);
          pos->cy = std::max(pos->cy, mmi.ptMinTrackSize.y);
        }
      }
      return 0;
    }
    case WM_WINDOWPOSCHANGED: {
      auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
      if (!pos) return 0;
      if (!(pos->flags & SWP_NOCLIENTMOVE)) {
        Point p = w->m_rect.TopLeft() + w->m_client.TopLeft();
        SendMessage(w, WM_MOVE, 0, MAKELPARAM(p.x, p.y));
      }
      if (Get(w) && !(pos->flags & SWP_NOCLIENTSIZE)) {
        WPARAM kind = (w->m_style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                      : (w->m_style & WS_MINIMIZE) ? SIZE_MINIMIZED : SIZE_RESTORED;
        SendMessage(w, WM_SIZE, kind, MAKELPARAM(w->m_client.Width(), w->m_client.Height()));
      }
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp)) {
        Window* last = Get(w->m_lastFocus);
        if (last && (last == w || IsChildOf(w, last)) && IsWindowVisible(last)) SetFocus(last);
        else SetFocus(w);
      }
      return 0;
    case WM_MOUSEACTIVATE:
      if (w->IsChild() && w->m_parent) {
        LRESULT r = SendMessage(w->m_parent, WM_MOUSEACTIVATE, wp, lp);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_SETCURSOR: return DefSetCursor(w, wp, lp);
    case WM_MOUSEWHEEL:
      if (w->IsChild() && w->m_parent) return SendMessage(w->m_parent, msg, wp, lp);
      return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONUP:
      return DefNcButton(w, msg, wp, lp);
    case WM_SYSCOMMAND: return DefSysCommand(w, wp, lp);
    case WM_SYSKEYDOWN:
      if (wp == VK_F4 && (GetKeyState(VK_MENU) & 0x8000)) {
        Window* top = TopLevelOf(w);
        PostMessage(top, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else if (wp == VK_SPACE && (GetKeyState(VK_MENU) & 0x8000)) {
        // Alt+Space: the window's keyboard menu, with the space as its key.
        SendMessage(TopLevelOf(w), WM_SYSCOMMAND, SC_KEYMENU, ' ');
      }
      return 0;
    case WM_SHOWWINDOW:
    case WM_GETMINMAXINFO:
    case WM_CANCELMODE:
      return 0;
    case WM_PRINTCLIENT:
    case WM_PRINT:
      return 0;
    default:
      return 0;
  }
}

LRESULT WindowSystem::DefNcCalcSize(Window* w, WPARAM wp, LPARAM lp) {
  FrameStyle fs = StyleOf(w);
  if (wp) {
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp);
    if (params) params->rgrc[0] = FrameClientRect(fs, params->rgrc[0]);
  } else {
    auto* r = reinterpret_cast<Rect*>(lp);
    if (r) *r = FrameClientRect(fs, *r);
  }
  return 0;
}

LRESULT WindowSystem::DefNcHitTest(Window* w, Point screen) {
  Point p = screen - WindowOrigin(w);
  return FrameHitTest(StyleOf(w), w->m_rect.GetSize(), p);
}

void WindowSystem::DefNcPaint(Window* w) {
  FrameStyle fs = StyleOf(w);
  if (FrameBorderWidth(fs) == 0 && !FrameHasCaption(fs) && !(fs.exStyle & WS_EX_CLIENTEDGE)) return;
  HDC dc = GetWindowDC(w);
  if (!dc) return;
  {
    DCState state(*dc);
    dc->ExcludeClipRect(w->m_client);
    PaintFrame(*dc, fs, w->m_rect.GetSize(), w->m_text, m_active == TopLevelOf(w) && w->m_ncActive,
               w->m_pressedButton);
  }
  ReleaseDC(w, dc);
}

LRESULT WindowSystem::DefSetCursor(Window* w, WPARAM wp, LPARAM lp) {
  if (w->IsChild() && w->m_parent) {
    if (SendMessage(w->m_parent, WM_SETCURSOR, wp, lp)) return TRUE;
  }
  int hit = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lp)));
  UINT mouseMsg = HIWORD(static_cast<std::uintptr_t>(lp));
  int id = IDC_ARROW;
  switch (hit) {
    case HTERROR:
      if (mouseMsg == WM_LBUTTONDOWN || mouseMsg == WM_RBUTTONDOWN || mouseMsg == WM_MBUTTONDOWN)
        m_host->Beep();
      break;
    case HTCLIENT:
      // A class without a cursor leaves it to the window to set one.
      if (!w->m_class->cursor) return FALSE;
      SetCursor(w->m_class->cursor);
      return TRUE;
    case HTLEFT: case HTRIGHT: id = IDC_SIZEWE; break;
    case HTTOP: case HTBOTTOM: id = IDC_SIZENS; break;
    case HTTOPLEFT: case HTBOTTOMRIGHT: id = IDC_SIZENWSE; break;
    case HTTOPRIGHT: case HTBOTTOMLEFT: id = IDC_SIZENESW; break;
    default: break;
  }
  SetCursor(StandardCursor(id));
  return TRUE;
}

LRESULT WindowSystem::DefNcButton(Window* w, UINT msg, WPARAM wp, LPARAM lp) {
  int hit = static_cast<int>(wp);
  Window* top = TopLevelOf(w);
  if (msg == WM_NCLBUTTONDBLCLK) {
    if (hit == HTCAPTION && (w->m_style & WS_MAXIMIZEBOX))
      SendMessage(w, WM_SYSCOMMAND, (w->m_style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE, lp);
    else if (hit == HTSYSMENU)
      SendMessage(w, WM_SYSCOMMAND, SC_CLOSE, lp);
    return 0;
  }
  if (msg != WM_NCLBUTTONDOWN) return 0;
  switch (hit) {
    case HTCAPTION:
      if (top != m_active && CanActivate(top)) Activate(top, WA_CLICKACTIVE);
      if (!Get(w)) return 0;
      SendMessage(w, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lp);
      return 0;
    case HTLEFT: case HTRIGHT: case HTTOP: case HTTOPLEFT: case HTTOPRIGHT:
    case HTBOTTOM: case HTBOTTOMLEFT: case HTBOTTOMRIGHT:
      SendMessage(w, WM_SYSCOMMAND, SC_SIZE | static_cast<WPARAM>(hit - HTLEFT + 1), lp);
      return 0;
    case HTCLOSE: case HTMAXBUTTON: case HTMINBUTTON: {
      // The button stays down while the mouse is over it; releasing over it runs it.
      FrameStyle fs = StyleOf(w);
      Rect button = FrameButtonRect(fs, w->m_rect.GetSize(), hit);
      if (button.IsEmpty()) return 0;
      SetCapture(w);
      w->m_pressedButton = hit;
      DefNcPaint(w);
      bool released = false, inside = true;
      MSG m;
      while (!released && Get(w) && GetCapture() == w) {
        if (!GetMessage(&m, nullptr, 0, 0)) {
          PostQuitMessage(static_cast<int>(m.wParam));
          break;
        }
        if (m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP) {
          Point p = m.pt - WindowOrigin(w);
          bool now = button.Contains(p);
          if (now != inside) {
            inside = now;
            w->m_pressedButton = inside ? hit : 0;
            DefNcPaint(w);
          }
          if (m.message == WM_LBUTTONUP) released = true;
          continue;
        }
        if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) {
          inside = false;
          break;
        }
        if ((m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
            (m.message >= WM_KEYDOWN && m.message <= WM_SYSCHAR))
          continue;
        TranslateMessage(&m);
        DispatchMessage(&m);
      }
      if (!Get(w)) return 0;
      if (GetCapture() == w) ReleaseCapture();
      w->m_pressedButton = 0;
      DefNcPaint(w);
      if (released && inside) {
        WPARAM cmd = hit == HTCLOSE ? SC_CLOSE
                     : hit == HTMINBUTTON ? SC_MINIMIZE
                     : (w->m_style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
        SendMessage(w, WM_SYSCOMMAND, cmd, lp);
      }
      return 0;
    }
    default:
      return 0;
  }
}

LRESULT WindowSystem::DefSysCommand(Window* w, WPARAM wp, LPARAM lp) {
  WPARAM cmd = wp & 0xFFF0;
  switch (cmd) {
    case SC_MOVE:
      MoveSizeLoop(w, HTCAPTION, lp ? LParamToPoint(lp) : m_cursorPos);
      return 0;
    case SC_SIZE: {
      int edge = static_cast<int>(wp & 0x0F);
      if (edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT) edge = WMSZ_BOTTOMRIGHT;
      MoveSizeLoop(w, edge + HTLEFT - 1, lp ? LParamToPoint(lp) : m_cursorPos);
      return 0;
    }
    case SC_MINIMIZE: ShowWindow(w, SW_MINIMIZE); return 0;
    case SC_MAXIMIZE: ShowWindow(w, SW_MAXIMIZE); return 0;
    case SC_RESTORE: ShowWindow(w, SW_RESTORE); return 0;
    case SC_CLOSE: SendMessage(w, WM_CLOSE, 0, 0); return 0;
    default: return 0;
  }
}

void WindowSystem::MoveSizeLoop(Window* w, int hit, Point start) {
  if (m_inMoveSize || !Get(w)) return;
  bool moving = hit == HTCAPTION;
  if (!moving && (w->m_style & (WS_MAXIMIZE | WS_MINIMIZE))) return;
  m_inMoveSize = true;
  SetCapture(w);
  SendMessage(w, WM_ENTERSIZEMOVE, 0, 0);
  if (!Get(w)) {
    m_inMoveSize = false;
    return;
  }
  const Rect original = w->m_rect;  // parent coordinates
  MINMAXINFO mmi;
  GetMinMax(w, mmi);
  bool left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
  bool right = hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
  bool top = hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
  bool bottom = hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
  int edge = hit - HTLEFT + 1;

  auto apply = [&](Point pt) {
    int dx = pt.x - start.x, dy = pt.y - start.y;
    Rect r = original;
    if (moving) {
      r.Translate(dx, dy);
      SendMessage(w, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    } else {
      if (left) r.left = original.left + dx;
      if (right) r.right = original.right + dx;
      if (top) r.top = original.top + dy;
      if (bottom) r.bottom = original.bottom + dy;
      // The limits move the dragged edge, never the other one.
      int width = std::clamp(r.Width(), mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
      int height = std::clamp(r.Height(), mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
      if (left) r.left = r.right - width;
      else r.right = r.left + width;
      if (top) r.top = r.bottom - height;
      else r.bottom = r.top + height;
      SendMessage(w, WM_SIZING, static_cast<WPARAM>(edge), reinterpret_cast<LPARAM>(&r));
    }
    if (!Get(w)) return;
    // Full-window drag: the window follows at once and repaints.
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (r.GetSize() == w->m_rect.GetSize()) flags |= SWP_NOSIZE;
    SetWindowPos(w, nullptr, r.left, r.top, r.Width(), r.Height(), flags);
    if (Get(w)) UpdateWindow(w);
  };

  MSG m;
  bool cancelled = false;
  while (Get(w) && GetCapture() == w) {
    if (!GetMessage(&m, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
      apply(m.pt);
      continue;
    }
    if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) {
      apply(m.pt);
      break;
    }
    if (m.message == WM_KEYDOWN && (m.wParam == VK_ESCAPE || m.wParam == VK_RETURN)) {
      cancelled = m.wParam == VK_ESCAPE;
      break;
    }
    if ((m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
        (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCMBUTTONDBLCLK) ||
        (m.message >= WM_KEYDOWN && m.message <= WM_SYSCHAR))
      continue;
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  if (Get(w) && cancelled)
    SetWindowPos(w, nullptr, original.left, original.top, original.Width(), original.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (Get(w) && GetCapture() == w) ReleaseCapture();
  m_inMoveSize = false;
  if (Get(w)) SendMessage(w, WM_EXITSIZEMOVE, 0, 0);
}
