// TskSkinForm's window procedure: the frame's handling of each message before (or after)
// the form's own, and the routing of non-client mouse input to the frame objects.
#include "platform/win/WinApi.h"
#include "skin/form/skSkinForm.h"

namespace {

// Messages after which no menu of the frame stays open: the window moves or sizes, loses
// the focus or the activation, or a button goes down on it or on one of its children.
bool ClosesMenus(UINT msg) {
  switch (msg) {
    case WM_MOVE: case WM_SIZE: case WM_ACTIVATE: case WM_KILLFOCUS: case WM_CANCELMODE:
    case WM_MOUSEACTIVATE: case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_PARENTNOTIFY:
      return true;
    default:
      return false;
  }
}

bool IsBorderCode(int hit) {
  return hit == HTLEFT || hit == HTRIGHT || hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT ||
         hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
}

}  // namespace

LRESULT TskSkinForm::FrameWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // Objects retired while a message ran (a skin change inside a menu an object opened) are
  // freed once no message of this frame is running any more.
  const std::shared_ptr<const bool> alive = AliveFlag();
  ++m_dispatchDepth;
  struct Leave {
    TskSkinForm& frame;
    const std::shared_ptr<const bool>& alive;
    ~Leave() {
      if (!*alive) return;
      if (--frame.m_dispatchDepth == 0) frame.m_retired.clear();
    }
  } leave{*this, alive};
  return FrameMessage(hwnd, msg, wp, lp);
}

LRESULT TskSkinForm::FrameMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // While the form or the component is being torn down the frame stays out of the way.
  if (hwnd != m_hwnd || !m_form || m_form->HasState(csDestroying) || HasState(csDestroying)) {
    const LRESULT r = CallWindowProc(m_oldProc, hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY && hwnd == m_hwnd) m_hwnd = nullptr;
    return r;
  }
  if (ClosesMenus(msg)) {
    const std::shared_ptr<const bool> alive = AliveFlag();
    MenuClosingCheck();
    if (!*alive || !m_hwnd) return CallWindowProc(m_oldProc, hwnd, msg, wp, lp);
  }
  switch (msg) {
    case WM_DESTROY:
      StopTimers();
      return Default(msg, wp, lp);
    case WM_NCDESTROY: {
      const LRESULT r = Default(msg, wp, lp);
      m_hwnd = nullptr;
      m_region.reset();
      return r;
    }
    case WM_SIZE: {
      if (m_sizing && m_fullDrag) {
        if (!m_logo.IsEmpty()) InvalidateRect(m_hwnd, nullptr, true);
        return 0;
      }
      const LRESULT r = Default(msg, wp, lp);
      if (!m_hwnd) return r;
      m_formWidth = m_form->Width();
      m_formHeight = m_form->Height();
      if (!m_skinSupport) {
        RepaintNC();
      } else if (m_formWidth >= GetMinWidth() && m_formHeight >= GetMinHeight()) {
        ApplyFrameSize();
      }
      if (m_alphaBlend && m_alphaBlendValue != 255 && m_layered) {
        RepaintNC();
        InvalidateRect(m_hwnd, nullptr, true);
      }
      if (!m_logo.IsEmpty()) InvalidateRect(m_hwnd, nullptr, true);
      return r;
    }
    case WM_ACTIVATE: {
      const LRESULT r = Default(msg, wp, lp);
      if (!m_hwnd) return r;
      RepaintNC();
      ResetObjects();
      ApplyActiveState(true);
      return r;
    }
    case WM_SETTEXT: {
      const LRESULT r = Default(msg, wp, lp);
      if (FormHasBorder()) RepaintNC();
      return r;
    }
    case WM_ERASEBKGND:
      if (HDC dc = reinterpret_cast<HDC>(wp)) PaintClientBackground(*dc);
      return 1;
    case WM_SHOWWINDOW:
      if (wp && (m_alphaBlend || m_alphaBlendAnimation)) {
        SetLayered(true);
        SetWindowAlpha(0);
        SetTimer(m_hwnd, kAlphaTimer, 1, nullptr);
      } else if (!wp && m_alphaBlend) {
        SetLayered(false);
      }
      return Default(msg, wp, lp);
    case WM_SETCURSOR:
      if (m_useFormCursorInNCArea) {
        const int hit = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lp)));
        if (hit != HTCLIENT && !IsBorderCode(hit))
          lp = MAKELPARAM(HTCLIENT, HIWORD(static_cast<std::uintptr_t>(lp)));
      }
      return Default(msg, wp, lp);
    case WM_GETMINMAXINFO:
      if (auto* mmi = reinterpret_cast<MINMAXINFO*>(lp)) {
        mmi->ptMinTrackSize = {GetMinWidth(), GetMinHeight()};
        mmi->ptMaxTrackSize = {GetMaxWidth(), GetMaxHeight()};
      }
      return Default(msg, wp, lp);
    case WM_NCCALCSIZE: {
      if (!FormHasBorder()) return Default(msg, wp, lp);
      Rect* r = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<Rect*>(lp);
      if (!r) return 0;
      if (m_skinSupport) {
        CalcFrameGeometry();
        *r = SkinClientRect(m_skinData->FormInfo(), m_skinData->Picture().GetSize(), *r);
      } else {
        *r = DefaultClientRect(*r, DefaultCaptionHeight());
      }
      return 0;
    }
    case WM_NCHITTEST: {
      const Point p = ToWindow(lp);
      const int code = HitTest(p);
      if (!m_trackingOn && code == skHitObject) {
        TrackActiveObject(p.x, p.y, true);
        StartTimer(kTrackTimer);
      }
      m_lastHit = code;
      return code;
    }
    case WM_NCPAINT:
      if (FormHasBorder()) {
        if (HDC dc = GetWindowDC(m_hwnd)) {
          if (m_skinSupport) PaintSkinFrame(*dc);
          else PaintDefaultFrame(*dc);
          ReleaseDC(m_hwnd, dc);
        }
      }
      return 0;
    case WM_NCACTIVATE:
      m_formActive = wp != 0;
      if (!FormHasBorder()) {
        ApplyActiveState(false);
      } else {
        RepaintNC();
        ApplyActiveState(true);
      }
      return 1;
    case WM_SYNCPAINT:
      if (m_rollUpState) {
        RepaintNC();
        return 0;
      }
      return Default(msg, wp, lp);
    case WM_SYSCOMMAND:
      // No main menu bar: the keyboard menu closes an open menu; Alt+Space (the space
      // as the key) opens the system menu, which the platform no longer draws.
      if ((wp & 0xFFF0) == SC_KEYMENU) {
        const bool wasOpen = m_skinMenu && m_skinMenu->Visible();
        if (wasOpen) m_skinMenu->Hide();
        if (!wasOpen && m_hwnd && lp == ' ') ShowSystemMenuFromKeyboard();
        return 0;
      }
      return Default(msg, wp, lp);
    case WM_TIMER:
      switch (wp) {
        case kAlphaTimer: AlphaTimer(); return 0;
        case kTrackTimer: TrackTimer(); return 0;
        case kMorphTimer: MorphTimer(); return 0;
        case kAnimationTimer: AnimationTimer(); return 0;
        default: return Default(msg, wp, lp);
      }
    case WM_SIZING: {
      m_sizing = true;
      if (!m_fullDrag) return Default(msg, wp, lp);
      const LRESULT r = Default(msg, wp, lp);
      if (auto* rect = reinterpret_cast<Rect*>(lp)) {
        m_formWidth = rect->Width();
        m_formHeight = rect->Height();
        if (m_skinData && m_formWidth >= GetMinWidth() && m_formHeight >= GetMinHeight()) ApplyFrameSize();
      }
      return r;
    }
    case WM_MOVING:
      if (auto* rect = reinterpret_cast<Rect*>(lp)) {
        if (m_windowState == TskWindowState::Maximized) {
          GetWindowRect(m_hwnd, rect);
        } else if (m_magnetic) {
          *rect = MagneticSnap(*rect, m_form->BoundsRect().GetSize(), MonitorArea(false), m_magneticSize);
        }
      }
      return Default(msg, wp, lp);
    case WM_ENTERSIZEMOVE: {
      ResetObjects();
      StopTimer(kTrackTimer);
      m_activeObject = m_captureObject = -1;
      m_sizeMove = true;
      m_inLoop = true;
      BOOL full = TRUE;
      m_fullDrag = !SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &full, 0) || full;
      return Default(msg, wp, lp);
    }
    case WM_EXITSIZEMOVE:
      StopTimer(kTrackTimer);
      m_activeObject = m_oldActiveObject = m_captureObject = -1;
      m_inLoop = false;
      m_sizing = false;
      if (m_skinSupport) RepaintNC();
      return Default(msg, wp, lp);
    case SKINMSG_BEFORECHANGE:
      if (reinterpret_cast<TskSkinData*>(wp) == m_skinData && m_skinData) BeforeSkinChange();
      // The open levels draw from the skin that changes: they close (the menu is the
      // frame's, so the walk over the form's components does not reach it).
      if (wp && m_skinMenu && m_skinMenu->SkinData() == reinterpret_cast<TskSkinData*>(wp)) m_skinMenu->BeginSkinChange();
      if (wp) BeginSkinChangeIn(m_form, reinterpret_cast<TskSkinData*>(wp));
      return Default(msg, wp, lp);
    case SKINMSG_CHANGED:
      if (reinterpret_cast<TskSkinData*>(wp) == m_skinData && m_skinData) SkinChanged();
      if (wp && m_hwnd) ApplySkinIn(m_form, reinterpret_cast<TskSkinData*>(wp));
      return Default(msg, wp, lp);
    case SKINMSG_CLOSEMENUS:
      if (m_skinMenu) m_skinMenu->EndMenuMode();
      return Default(msg, wp, lp);
    case SKINMSG_STRINGSCHANGED:
      AssignDefaultHints();
      return Default(msg, wp, lp);
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCRBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      const LRESULT r = Default(msg, wp, lp);
      if (m_hwnd) HandleNcMouse(msg, wp, lp);
      return r;
    }
    default:
      return Default(msg, wp, lp);
  }
}

void TskSkinForm::HandleNcMouse(UINT msg, WPARAM wp, LPARAM lp) {
  const bool onCaption = static_cast<int>(wp) == skHitCaption;
  switch (msg) {
    case WM_NCMOUSEMOVE: {
      const Point p = ToWindow(lp);
      const int target = m_captureObject >= 0 ? m_captureObject : m_activeObject;
      if (target >= 0 && target < ObjectCount()) Objects(target)->MouseMove(p.x, p.y);
      return;
    }
    case WM_NCLBUTTONDOWN: {
      if (m_sizeMove) {
        // A move or size loop has just run inside the default processing.
        m_sizeMove = false;
        return;
      }
      const Point p = ToWindow(lp);
      TrackActiveObject(p.x, p.y, true);
      Press(TMouseButton::mbLeft, p);
      if (onCaption) m_captureObject = -1;
      return;
    }
    case WM_NCLBUTTONUP: Release(TMouseButton::mbLeft, ToWindow(lp)); return;
    case WM_NCLBUTTONDBLCLK: {
      m_sizeMove = false;
      const Point p = ToWindow(lp);
      TrackActiveObject(p.x, p.y, true);
      Press(TMouseButton::mbLeft, p);
      if (m_activeObject >= 0 && m_activeObject < ObjectCount()) Objects(m_activeObject)->DblClick();
      if (onCaption) {
        m_captureObject = -1;
        CaptionDblClick();
      }
      return;
    }
    case WM_NCRBUTTONDOWN: {
      const Point p = ToWindow(lp);
      TrackActiveObject(p.x, p.y, true);
      Press(TMouseButton::mbRight, p);
      if (onCaption) {
        m_captureObject = -1;
        ShowSystemMenu(LParamToPoint(lp));
      }
      return;
    }
    case WM_NCRBUTTONUP: Release(TMouseButton::mbRight, ToWindow(lp)); return;
    case WM_NCRBUTTONDBLCLK: {
      const Point p = ToWindow(lp);
      TrackActiveObject(p.x, p.y, true);
      Press(TMouseButton::mbRight, p);
      if (onCaption) m_captureObject = -1;
      return;
    }
    case WM_LBUTTONUP: Release(TMouseButton::mbLeft, {-1, -1}); return;
    case WM_RBUTTONUP: Release(TMouseButton::mbRight, {-1, -1}); return;
    default: return;
  }
}

void TskSkinForm::Press(TMouseButton button, Point p) {
  if (m_activeObject < 0 || m_activeObject >= ObjectCount()) return;
  TskActiveSkinObject* o = Objects(m_activeObject);
  if (!dynamic_cast<TskSkinCaptionObject*>(o)) SetCapture(m_hwnd);
  m_captureObject = m_activeObject;
  const unsigned menusBefore = m_menuRuns;
  o->MouseDown(button, p.x, p.y);
  if (m_menuRuns != menusBefore && m_hwnd) {
    // The press opened a menu, which has taken and dropped the mouse: no object holds it
    // any more, and the pointer may be anywhere now.
    m_captureObject = -1;
    if (GetCapture() == m_hwnd) ReleaseCapture();
    Point pt;
    Rect r;
    if (GetCursorPos(&pt) && GetWindowRect(m_hwnd, &r)) TrackActiveObject(pt.x - r.left, pt.y - r.top, true);
  }
}

void TskSkinForm::Release(TMouseButton button, Point p) {
  if (m_captureObject < 0 || m_captureObject >= ObjectCount()) return;
  TskActiveSkinObject* o = Objects(m_captureObject);
  if (!dynamic_cast<TskSkinCaptionObject*>(o) && GetCapture() == m_hwnd) ReleaseCapture();
  o->MouseUp(button, p.x, p.y);
  m_captureObject = -1;
}
