// NcScrollBars: non-client scroll bars with classic drawing and mouse tracking, and the
// platform's scroll calls over them.
#include "platform/std/ScrollBars.h"

#include <algorithm>
#include <unordered_map>

#include "platform/gfx/DC.h"
#include "platform/win/WinApi.h"

namespace {

// The bars of each window (not a window property: the destructor must not call into a
// window system that may be shutting down).
std::unordered_map<HWND, NcScrollBars*>& Registry() {
  static std::unordered_map<HWND, NcScrollBars*> registry;
  return registry;
}
constexpr UINT_PTR kRepeatTimer = 0xFFA0;
constexpr UINT kFirstRepeat = 400;
constexpr UINT kNextRepeat = 50;

Point WindowPointFromScreen(HWND hwnd, Point screen) {
  Rect wr;
  GetWindowRect(hwnd, &wr);
  return screen - wr.TopLeft();
}

Point WindowPointFromClient(HWND hwnd, Point client) {
  return client + hwnd->ClientArea().TopLeft();
}

}  // namespace

void DrawRaisedButton(DC& dc, const Rect& r, bool pressed) {
  if (r.IsEmpty()) return;
  dc.FillRect(r, clBtnFace);
  if (pressed) {
    dc.FrameRect(r, clBtnShadow);
    return;
  }
  auto edge = [&](const Rect& e, Color topLeft, Color bottomRight) {
    dc.FillRect({e.left, e.top, e.right - 1, e.top + 1}, topLeft);
    dc.FillRect({e.left, e.top, e.left + 1, e.bottom - 1}, topLeft);
    dc.FillRect({e.left, e.bottom - 1, e.right, e.bottom}, bottomRight);
    dc.FillRect({e.right - 1, e.top, e.right, e.bottom}, bottomRight);
  };
  edge(r, cl3DLight, cl3DDkShadow);
  if (r.Width() > 2 && r.Height() > 2) edge(r.Inflated(-1, -1), clBtnHighlight, clBtnShadow);
}

void DrawArrowGlyph(DC& dc, const Rect& r, int direction, bool enabled) {
  const int size = std::max(1, std::min(4, std::min(r.Width(), r.Height()) / 3));
  const int cx = r.left + r.Width() / 2;
  const int cy = r.top + r.Height() / 2;
  auto draw = [&](int dx, int dy, Color c) {
    for (int i = 0; i < size; ++i) {
      // Row i of the triangle, from its tip; 2i+1 pixels wide.
      switch (direction) {
        case 0: dc.FillRect({cx - i + dx, cy - size / 2 + i + dy, cx + i + 1 + dx, cy - size / 2 + i + 1 + dy}, c); break;
        case 1: dc.FillRect({cx - i + dx, cy + size / 2 - i + dy, cx + i + 1 + dx, cy + size / 2 - i + 1 + dy}, c); break;
        case 2: dc.FillRect({cx - size / 2 + i + dx, cy - i + dy, cx - size / 2 + i + 1 + dx, cy + i + 1 + dy}, c); break;
        default: dc.FillRect({cx + size / 2 - i + dx, cy - i + dy, cx + size / 2 - i + 1 + dx, cy + i + 1 + dy}, c); break;
      }
    }
  };
  if (enabled) {
    draw(0, 0, clBlack);
  } else {
    draw(1, 1, clBtnHighlight);
    draw(0, 0, clBtnShadow);
  }
}

NcScrollBars::NcScrollBars(HWND hwnd, bool autoHide)
    : m_hwnd(hwnd),
      m_autoHide(autoHide),
      m_allowed(static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & (WS_VSCROLL | WS_HSCROLL)) {
  Registry()[hwnd] = this;
}

NcScrollBars::~NcScrollBars() {
  auto it = Registry().find(m_hwnd);
  if (it != Registry().end() && it->second == this) Registry().erase(it);
}

NcScrollBars* NcScrollBars::Of(HWND hwnd) {
  auto it = Registry().find(hwnd);
  return it == Registry().end() ? nullptr : it->second;
}

bool NcScrollBars::Shown(int bar) const {
  const LONG_PTR style = GetWindowLong(m_hwnd, GWL_STYLE);
  return (style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
}

Rect NcScrollBars::BarRect(int bar) const {
  if (!Shown(bar)) return {};
  const Rect c = m_hwnd->ClientArea();
  if (bar == SB_VERT) return {c.right, c.top, c.right + Thickness, c.bottom};
  return {c.left, c.bottom, c.right, c.bottom + Thickness};
}

int NcScrollBars::MaxPos(int bar) const {
  const Bar& b = m_bars[bar];
  return std::max(b.min, b.max - std::max(b.page - 1, 0));
}

bool NcScrollBars::Scrollable(int bar) const {
  const Bar& b = m_bars[bar];
  if (b.page > 0) return static_cast<long long>(b.max) - b.min + 1 > b.page;
  return b.max > b.min;
}

NcScrollBars::Geometry NcScrollBars::Measure(int bar) const {
  Geometry g;
  const Rect r = BarRect(bar);
  g.length = bar == SB_VERT ? r.Height() : r.Width();
  g.arrow = std::min(Thickness, g.length / 2);
  const int track = g.length - 2 * g.arrow;
  if (!Scrollable(bar) || track < 8) return g;
  const Bar& b = m_bars[bar];
  const long long span = static_cast<long long>(b.max) - b.min + 1;
  int thumb = b.page > 0 ? static_cast<int>(track * static_cast<long long>(b.page) / span) : Thickness;
  thumb = std::clamp(thumb, 8, track);
  const int maxPos = MaxPos(bar);
  const int pos = m_track.bar == bar && m_track.part == Thumb ? b.trackPos : b.pos;
  int offset = 0;
  if (maxPos > b.min)
    offset = static_cast<int>(static_cast<long long>(pos - b.min) * (track - thumb) / (maxPos - b.min));
  g.thumbStart = g.arrow + std::clamp(offset, 0, track - thumb);
  g.thumbLength = thumb;
  return g;
}

NcScrollBars::Part NcScrollBars::PartAt(int bar, Point p) const {
  const Rect r = BarRect(bar);
  if (!r.Contains(p)) return None;
  const Geometry g = Measure(bar);
  const int a = bar == SB_VERT ? p.y - r.top : p.x - r.left;
  if (a < g.arrow) return ArrowLess;
  if (a >= g.length - g.arrow) return ArrowMore;
  if (g.thumbLength == 0) return None;
  if (a < g.thumbStart) return PageLess;
  if (a < g.thumbStart + g.thumbLength) return Thumb;
  return PageMore;
}

int NcScrollBars::SetInfo(int bar, const SCROLLINFO& info, bool redraw) {
  if (bar != SB_VERT && bar != SB_HORZ) return 0;
  Bar& b = m_bars[bar];
  if (info.fMask & SIF_RANGE) {
    b.min = info.nMin;
    b.max = std::max(info.nMin, info.nMax);
  }
  if (info.fMask & SIF_PAGE)
    b.page = static_cast<int>(std::min<long long>(info.nPage, static_cast<long long>(b.max) - b.min + 1));
  if (info.fMask & SIF_POS) b.pos = info.nPos;
  b.pos = std::clamp(b.pos, b.min, MaxPos(bar));
  if (m_track.bar != bar) b.trackPos = b.pos;
  if (m_autoHide) UpdateAutoHide(bar);
  if (redraw && Shown(bar)) Paint();
  return b.pos;
}

bool NcScrollBars::GetInfo(int bar, SCROLLINFO& info) const {
  if (bar != SB_VERT && bar != SB_HORZ) return false;
  const Bar& b = m_bars[bar];
  if (info.fMask & SIF_RANGE) {
    info.nMin = b.min;
    info.nMax = b.max;
  }
  if (info.fMask & SIF_PAGE) info.nPage = static_cast<UINT>(b.page);
  if (info.fMask & SIF_POS) info.nPos = b.pos;
  if (info.fMask & SIF_TRACKPOS) info.nTrackPos = b.trackPos;
  return true;
}

void NcScrollBars::UpdateAutoHide(int bar) {
  if (!(m_allowed & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) return;
  const bool want = Scrollable(bar);
  if (want != Shown(bar)) Show(bar, want);
}

bool NcScrollBars::Show(int bar, bool show) {
  if (!IsWindow(m_hwnd)) return false;
  DWORD bits = 0;
  if (bar == SB_VERT || bar == SB_BOTH) bits |= WS_VSCROLL;
  if (bar == SB_HORZ || bar == SB_BOTH) bits |= WS_HSCROLL;
  const DWORD style = static_cast<DWORD>(GetWindowLong(m_hwnd, GWL_STYLE));
  const DWORD next = show ? (style | bits) : (style & ~bits);
  if (next == style) return true;
  SetWindowLong(m_hwnd, GWL_STYLE, static_cast<LONG_PTR>(next));
  SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return true;
}

void NcScrollBars::PaintBar(DC& dc, int bar) const {
  const Rect r = BarRect(bar);
  if (r.IsEmpty()) return;
  const bool vert = bar == SB_VERT;
  const bool enabled = Scrollable(bar) && IsWindowEnabled(m_hwnd);
  const Geometry g = Measure(bar);
  auto along = [&](int from, int to) {
    return vert ? Rect{r.left, r.top + from, r.right, r.top + to}
                : Rect{r.left + from, r.top, r.left + to, r.bottom};
  };
  const bool tracking = m_track.bar == bar && m_track.over;
  // The track: the classic dither of face and highlight, darkened where a page press holds.
  const Rect track = along(g.arrow, g.length - g.arrow);
  const Color face = ColorToRGB(clBtnFace);
  const Color light = ColorToRGB(clBtnHighlight);
  const Rect pressedPage = !tracking ? Rect{}
                           : m_track.part == PageLess ? along(g.arrow, g.thumbStart)
                           : m_track.part == PageMore ? along(g.thumbStart + g.thumbLength, g.length - g.arrow)
                                                      : Rect{};
  for (int y = track.top; y < track.bottom; ++y)
    for (int x = track.left; x < track.right; ++x) {
      const bool odd = ((x + y) & 1) != 0;
      Color c = odd ? face : light;
      if (pressedPage.Contains(Point{x, y})) c = odd ? clBlack : ColorToRGB(clBtnShadow);
      dc.SetPixel(x, y, c);
    }
  const Rect less = along(0, g.arrow);
  const Rect more = along(g.length - g.arrow, g.length);
  DrawRaisedButton(dc, less, tracking && m_track.part == ArrowLess);
  DrawRaisedButton(dc, more, tracking && m_track.part == ArrowMore);
  const int shiftLess = tracking && m_track.part == ArrowLess ? 1 : 0;
  const int shiftMore = tracking && m_track.part == ArrowMore ? 1 : 0;
  DrawArrowGlyph(dc, less.Translated(shiftLess, shiftLess), vert ? 0 : 2, enabled);
  DrawArrowGlyph(dc, more.Translated(shiftMore, shiftMore), vert ? 1 : 3, enabled);
  if (g.thumbLength > 0 && enabled) DrawRaisedButton(dc, along(g.thumbStart, g.thumbStart + g.thumbLength), false);
}

void NcScrollBars::Paint() {
  if (!IsWindowVisible(m_hwnd) || (!Shown(SB_VERT) && !Shown(SB_HORZ))) return;
  HDC dc = GetWindowDC(m_hwnd);
  if (!dc) return;
  PaintBar(*dc, SB_VERT);
  PaintBar(*dc, SB_HORZ);
  if (Shown(SB_VERT) && Shown(SB_HORZ)) {
    const Rect c = m_hwnd->ClientArea();
    dc->FillRect({c.right, c.bottom, c.right + Thickness, c.bottom + Thickness}, clBtnFace);
  }
  ReleaseDC(m_hwnd, dc);
}

void NcScrollBars::SendScroll(int bar, int code, int pos) {
  SendMessage(m_hwnd, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL,
              MAKEWPARAM(code, pos), 0);
}

void NcScrollBars::Repeat() {
  if (m_track.bar < 0 || !m_track.over) return;
  const int bar = m_track.bar;
  // A page press stops once the thumb has reached the pointer.
  if (m_track.part == PageLess || m_track.part == PageMore) {
    const Part now = PartAt(bar, m_track.last);
    if (now != m_track.part) return;
  }
  const int code = m_track.part == ArrowLess ? SB_LINEUP
                   : m_track.part == ArrowMore ? SB_LINEDOWN
                   : m_track.part == PageLess ? SB_PAGEUP
                                              : SB_PAGEDOWN;
  SendScroll(bar, code, 0);
}

void NcScrollBars::EndTrack() {
  if (m_track.bar < 0) return;
  KillTimer(m_hwnd, kRepeatTimer);
  m_track = Track{};
  Paint();
}

bool NcScrollBars::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  const HWND hwnd = m_hwnd;
  switch (msg) {
    case WM_NCCALCSIZE: {
      result = DefWindowProc(hwnd, msg, wp, lp);
      Rect* r = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<Rect*>(lp);
      if (!r) return true;
      const LONG_PTR style = GetWindowLong(hwnd, GWL_STYLE);
      if (style & WS_VSCROLL) r->right = std::max(r->left, r->right - Thickness);
      if (style & WS_HSCROLL) r->bottom = std::max(r->top, r->bottom - Thickness);
      return true;
    }
    case WM_NCPAINT:
      result = DefWindowProc(hwnd, msg, wp, lp);
      if (IsWindow(hwnd)) Paint();
      return true;
    case WM_NCHITTEST: {
      const Point p = WindowPointFromScreen(hwnd, LParamToPoint(lp));
      if (BarRect(SB_VERT).Contains(p)) result = HTVSCROLL;
      else if (BarRect(SB_HORZ).Contains(p)) result = HTHSCROLL;
      else return false;
      return true;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      if (wp != static_cast<WPARAM>(HTVSCROLL) && wp != static_cast<WPARAM>(HTHSCROLL)) return false;
      const int bar = wp == static_cast<WPARAM>(HTVSCROLL) ? SB_VERT : SB_HORZ;
      const Point p = WindowPointFromScreen(hwnd, LParamToPoint(lp));
      const Part part = PartAt(bar, p);
      result = 0;
      if (part == None || !Scrollable(bar) || !IsWindowEnabled(hwnd)) return true;
      m_track.bar = bar;
      m_track.part = part;
      m_track.over = true;
      m_track.last = p;
      const Rect r = BarRect(bar);
      const Geometry g = Measure(bar);
      m_track.grabOffset = (bar == SB_VERT ? p.y - r.top : p.x - r.left) - g.thumbStart;
      m_bars[bar].trackPos = m_bars[bar].pos;
      SetCapture(hwnd);
      Paint();
      if (part != Thumb) {
        Repeat();
        if (!IsWindow(hwnd) || Of(hwnd) != this) return true;
        SetTimer(hwnd, kRepeatTimer, kFirstRepeat, nullptr);
      }
      return true;
    }
    case WM_TIMER:
      if (wp != kRepeatTimer) return false;
      result = 0;
      if (m_track.bar < 0) {
        KillTimer(hwnd, kRepeatTimer);
        return true;
      }
      SetTimer(hwnd, kRepeatTimer, kNextRepeat, nullptr);
      Repeat();
      return true;
    case WM_MOUSEMOVE: {
      if (m_track.bar < 0) return false;
      result = 0;
      const int bar = m_track.bar;
      const Point p = WindowPointFromClient(hwnd, LParamToPoint(lp));
      m_track.last = p;
      if (m_track.part == Thumb) {
        const Rect r = BarRect(bar);
        const Geometry g = Measure(bar);
        const int track = g.length - 2 * g.arrow - g.thumbLength;
        const int start = (bar == SB_VERT ? p.y - r.top : p.x - r.left) - m_track.grabOffset - g.arrow;
        Bar& b = m_bars[bar];
        const int maxPos = MaxPos(bar);
        int pos = b.min;
        if (track > 0)
          pos = b.min + static_cast<int>((static_cast<long long>(std::clamp(start, 0, track)) * (maxPos - b.min) + track / 2) / track);
        if (pos != b.trackPos) {
          b.trackPos = pos;
          SendScroll(bar, SB_THUMBTRACK, pos);
          if (!IsWindow(hwnd) || Of(hwnd) != this) return true;
          Paint();
        }
        return true;
      }
      const bool over = PartAt(bar, p) == m_track.part ||
                        ((m_track.part == PageLess || m_track.part == PageMore) && BarRect(bar).Contains(p));
      if (over != m_track.over) {
        m_track.over = over;
        Paint();
      }
      return true;
    }
    case WM_LBUTTONUP: {
      if (m_track.bar < 0) return false;
      result = 0;
      const int bar = m_track.bar;
      KillTimer(hwnd, kRepeatTimer);
      // Still tracking while the final position goes out, so the receiver can read the
      // full-range position with SIF_TRACKPOS.
      if (m_track.part == Thumb) {
        SendScroll(bar, SB_THUMBPOSITION, m_bars[bar].trackPos);
        if (!IsWindow(hwnd) || Of(hwnd) != this) return true;
      }
      m_track = Track{};  // so the capture change below does not end it twice
      if (GetCapture() == hwnd) ReleaseCapture();
      if (!IsWindow(hwnd) || Of(hwnd) != this) return true;
      SendScroll(bar, SB_ENDSCROLL, 0);
      if (!IsWindow(hwnd) || Of(hwnd) != this) return true;
      Paint();
      return true;
    }
    case WM_CAPTURECHANGED:
      if (m_track.bar >= 0 && reinterpret_cast<HWND>(lp) != hwnd) EndTrack();
      return false;
    default:
      return false;
  }
}

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, bool redraw) {
  NcScrollBars* bars = NcScrollBars::Of(hwnd);
  return bars && info ? bars->SetInfo(bar, *info, redraw) : 0;
}

bool GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
  NcScrollBars* bars = NcScrollBars::Of(hwnd);
  return bars && info && bars->GetInfo(bar, *info);
}

int SetScrollPos(HWND hwnd, int bar, int pos, bool redraw) {
  SCROLLINFO si;
  si.fMask = SIF_POS;
  if (!GetScrollInfo(hwnd, bar, &si)) return 0;
  const int old = si.nPos;
  si.nPos = pos;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  SCROLLINFO si;
  si.fMask = SIF_POS;
  return GetScrollInfo(hwnd, bar, &si) ? si.nPos : 0;
}

bool SetScrollRange(HWND hwnd, int bar, int min, int max, bool redraw) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = min;
  si.nMax = max;
  if (!NcScrollBars::Of(hwnd)) return false;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return true;
}

bool GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  if (!GetScrollInfo(hwnd, bar, &si)) return false;
  if (min) *min = si.nMin;
  if (max) *max = si.nMax;
  return true;
}

bool ShowScrollBar(HWND hwnd, int bar, bool show) {
  NcScrollBars* bars = NcScrollBars::Of(hwnd);
  return bars && bars->Show(bar, show);
}
