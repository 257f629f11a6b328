// DefaultFrame: the plain classic frame's geometry, hit testing and painting.
#include "platform/win/DefaultFrame.h"

#include <algorithm>

#include "platform/gfx/DC.h"
#include "platform/win/WinConst.h"

int FrameBorderWidth(const FrameStyle& fs) {
  int b = 0;
  if (fs.style & WS_THICKFRAME) b = FrameThickBorder;
  else if ((fs.style & WS_DLGFRAME) || (fs.exStyle & WS_EX_DLGMODALFRAME)) b = FrameDialogBorder;
  else if (fs.style & WS_BORDER) b = FrameThinBorder;
  return b;
}

bool FrameHasCaption(const FrameStyle& fs) { return (fs.style & WS_CAPTION) == WS_CAPTION; }

int FrameCaptionBand(const FrameStyle& fs) {
  if (!FrameHasCaption(fs)) return 0;
  return ((fs.exStyle & WS_EX_TOOLWINDOW) ? FrameToolCaptionHeight : FrameCaptionHeight) + 1;
}

Rect FrameClientRect(const FrameStyle& fs, const Rect& window) {
  int b = FrameBorderWidth(fs);
  Rect r = window;
  r.Inflate(-b, -b);
  r.top += FrameCaptionBand(fs);
  if (fs.exStyle & WS_EX_CLIENTEDGE) r.Inflate(-FrameClientEdge, -FrameClientEdge);
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

Rect FrameCaptionRect(const FrameStyle& fs, Size window) {
  int band = FrameCaptionBand(fs);
  if (!band) return {};
  int b = FrameBorderWidth(fs);
  return {b, b, window.cx - b, b + band - 1};
}

Rect FrameButtonRect(const FrameStyle& fs, Size window, int hitCode) {
  Rect cap = FrameCaptionRect(fs, window);
  if (cap.IsEmpty() || !(fs.style & WS_SYSMENU)) return {};
  int h = cap.Height() - 4;
  int w = h + 2;
  int top = cap.top + 2;
  int x = cap.right - 2;  // buttons run leftwards from here
  Rect close(x - w, top, x, top + h);
  if (hitCode == HTCLOSE) return close;
  if (hitCode == HTSYSMENU) {
    if (fs.exStyle & WS_EX_TOOLWINDOW) return {};
    return {cap.left + 2, cap.top + 1, cap.left + 2 + 16, cap.top + 1 + 16};
  }
  bool tool = (fs.exStyle & WS_EX_TOOLWINDOW) != 0;
  bool boxes = !tool && (fs.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  if (!boxes) return {};
  x = close.left - 2;
  Rect max(x - w, top, x, top + h);
  if (hitCode == HTMAXBUTTON) return max;
  if (hitCode == HTMINBUTTON) return {max.left - w, top, max.left, top + h};
  return {};
}

int FrameHitTest(const FrameStyle& fs, Size window, Point p) {
  Rect whole(0, 0, window.cx, window.cy);
  if (!whole.Contains(p)) return HTNOWHERE;
  Rect client = FrameClientRect(fs, whole);
  if (client.Contains(p)) return HTCLIENT;
  int b = FrameBorderWidth(fs);
  if ((fs.style & WS_THICKFRAME) && !fs.maximized) {
    bool left = p.x < b, right = p.x >= window.cx - b, top = p.y < b, bottom = p.y >= window.cy - b;
    if (left || right || top || bottom) {
      // Near a corner, the corner code covers a stretch of either edge.
      bool nearLeft = p.x < FrameCornerSize, nearRight = p.x >= window.cx - FrameCornerSize;
      bool nearTop = p.y < FrameCornerSize, nearBottom = p.y >= window.cy - FrameCornerSize;
      if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
      if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
      if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
      if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
      if (left) return HTLEFT;
      if (right) return HTRIGHT;
      if (top) return HTTOP;
      return HTBOTTOM;
    }
  } else if (b > 0) {
    if (p.x < b || p.y < b || p.x >= window.cx - b || p.y >= window.cy - b) return HTBORDER;
  }
  Rect cap = FrameCaptionRect(fs, window);
  if (cap.Contains(p)) {
    for (int code : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTSYSMENU})
      if (FrameButtonRect(fs, window, code).Contains(p)) return code;
    return HTCAPTION;
  }
  return HTBORDER;
}

namespace {

void Ring(DC& dc, const Rect& r, Color topLeft, Color bottomRight) {
  if (r.IsEmpty()) return;
  dc.FillRect({r.left, r.top, r.right, r.top + 1}, topLeft);
  dc.FillRect({r.left, r.top, r.left + 1, r.bottom}, topLeft);
  dc.FillRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  dc.FillRect({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

void Line(DC& dc, int x0, int y0, int x1, int y1, Color c) {
  Pen pen;
  pen.color = c;
  pen.width = 1;
  Pen old = dc.SelectPen(pen);
  dc.MoveTo(x0, y0);
  dc.LineTo(x1, y1);
  dc.SelectPen(old);
}

void Glyph(DC& dc, const Rect& r, int code, bool pressed) {
  Color ink = GetSysColor(18);  // button text
  int ox = pressed ? 1 : 0;
  int cx = (r.left + r.right) / 2 + ox, cy = (r.top + r.bottom) / 2 + ox;
  switch (code) {
    case HTCLOSE:
      for (int d = 0; d < 2; ++d) {
        Line(dc, cx - 4 + d, cy - 3, cx + 3 + d, cy + 4, ink);
        Line(dc, cx + 2 + d, cy - 3, cx - 5 + d, cy + 4, ink);
      }
      break;
    case HTMAXBUTTON:
      dc.FrameRect({cx - 4, cy - 4, cx + 5, cy + 4}, ink);
      dc.FillRect({cx - 4, cy - 3, cx + 5, cy - 2}, ink);
      break;
    case HTMINBUTTON:
      dc.FillRect({cx - 4, cy + 2, cx + 2, cy + 4}, ink);
      break;
    default:
      break;
  }
}

}  // namespace

void PaintFrame(DC& dc, const FrameStyle& fs, Size window, std::string_view caption, bool active,
                int pressed) {
  Rect whole(0, 0, window.cx, window.cy);
  int b = FrameBorderWidth(fs);
  Color face = GetSysColor(15), light = GetSysColor(22), dark = GetSysColor(21);
  Color hilite = GetSysColor(20), shadow = GetSysColor(16), frameColor = GetSysColor(6);
  if (b == FrameThinBorder) {
    dc.FrameRect(whole, frameColor);
  } else if (b > 0) {
    Rect r = whole;
    Ring(dc, r, light, dark);
    r.Inflate(-1, -1);
    Ring(dc, r, hilite, shadow);
    r.Inflate(-1, -1);
    for (int i = 2; i < b; ++i) {
      Ring(dc, r, face, face);
      r.Inflate(-1, -1);
    }
  }
  Rect cap = FrameCaptionRect(fs, window);
  if (!cap.IsEmpty()) {
    dc.FillRect(cap, GetSysColor(active ? 2 : 3));
    dc.FillRect({cap.left, cap.bottom, cap.right, cap.bottom + 1}, face);
    Rect text = cap;
    text.left += 4;
    if (!FrameButtonRect(fs, window, HTSYSMENU).IsEmpty()) text.left += 18;
    for (int code : {HTMINBUTTON, HTMAXBUTTON, HTCLOSE}) {
      Rect br = FrameButtonRect(fs, window, code);
      if (br.IsEmpty()) continue;
      text.right = std::min(text.right, br.left - 2);
      bool down = pressed == code;
      dc.FillRect(br, face);
      Ring(dc, br, down ? dark : hilite, down ? hilite : dark);
      Ring(dc, br.Inflated(-1, -1), down ? shadow : face, down ? face : shadow);
      Glyph(dc, br, code, down);
    }
    if (!caption.empty() && !text.IsEmpty()) {
      FontSpec spec;
      spec.bold = true;
      DCState state(dc);
      dc.SelectFont(Font(spec));
      dc.SetBkMode(TRANSPARENT);
      dc.SetTextColor(GetSysColor(active ? 9 : 19));
      dc.IntersectClipRect(text);
      dc.DrawText(caption, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
  }
  if (fs.exStyle & WS_EX_CLIENTEDGE) {
    Rect edge = FrameClientRect(fs, whole).Inflated(FrameClientEdge, FrameClientEdge);
    Ring(dc, edge, shadow, hilite);
    Ring(dc, edge.Inflated(-1, -1), dark, light);
  }
}
