// The standard scroll bars of a window's non-client area (WS_VSCROLL, WS_HSCROLL): their
// ranges, geometry, classic drawing and mouse tracking, and the platform's scroll calls.
#pragma once

#include "platform/gfx/Geometry.h"
#include "platform/win/WinTypes.h"

class DC;

constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;

// Scroll request codes (LOWORD of WM_VSCROLL / WM_HSCROLL's wParam).
constexpr int SB_LINEUP = 0;
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_LEFT = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;

constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// One window's pair of bars. The window procedure owns it and passes it its messages
// first (HandleMessage); the platform calls below find it through a window property.
// A bar is shown while its style bit is set; with `autoHide` the bars that the window was
// created with set and clear their style bits themselves as the range allows scrolling or
// not (a bar the window was created without never appears on its own).
class NcScrollBars {
 public:
  NcScrollBars(HWND hwnd, bool autoHide);
  ~NcScrollBars();
  NcScrollBars(const NcScrollBars&) = delete;
  NcScrollBars& operator=(const NcScrollBars&) = delete;

  static NcScrollBars* Of(HWND hwnd);
  static constexpr int Thickness = 16;

  // WM_NCCALCSIZE, WM_NCPAINT, WM_NCHITTEST, the non-client button press on a bar and
  // the capture, mouse and timer messages of a drag. Returns true when it answered.
  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

  int SetInfo(int bar, const SCROLLINFO& info, bool redraw);
  bool GetInfo(int bar, SCROLLINFO& info) const;
  bool Show(int bar, bool show);
  bool Shown(int bar) const;
  // Whether the range lets the bar scroll (more than one page).
  bool Scrollable(int bar) const;
  bool Tracking() const { return m_track.bar >= 0; }
  // Window coordinates of a shown bar (empty when hidden).
  Rect BarRect(int bar) const;
  void Paint();

 private:
  struct Bar {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    int trackPos = 0;
  };
  enum Part { None, ArrowLess, PageLess, Thumb, PageMore, ArrowMore };
  struct Geometry {
    int arrow = 0;       // length of each arrow button
    int thumbStart = 0;  // along the bar, from its start
    int thumbLength = 0;
    int length = 0;
  };
  struct Track {
    int bar = -1;
    Part part = None;
    bool over = false;    // the pointer is over the pressed part
    int grabOffset = 0;   // where the thumb was grabbed, along the bar
    Point last;           // window coordinates
  };

  Geometry Measure(int bar) const;
  Part PartAt(int bar, Point windowPt) const;
  int MaxPos(int bar) const;
  void PaintBar(DC& dc, int bar) const;
  void SendScroll(int bar, int code, int pos);
  void Repeat();
  void EndTrack();
  void UpdateAutoHide(int bar);

  HWND m_hwnd;
  bool m_autoHide;
  DWORD m_allowed;  // the scroll bar style bits the window was created with
  Bar m_bars[2];
  Track m_track;
};

// The platform's calls, for windows whose procedure keeps an NcScrollBars (our edit and
// list box); for other windows they fail (0 or false).
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, bool redraw);
bool GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
int SetScrollPos(HWND hwnd, int bar, int pos, bool redraw);
int GetScrollPos(HWND hwnd, int bar);
bool SetScrollRange(HWND hwnd, int bar, int min, int max, bool redraw);
bool GetScrollRange(HWND hwnd, int bar, int* min, int* max);
bool ShowScrollBar(HWND hwnd, int bar, bool show);

// Classic-look pieces shared with the other controls of this folder.
void DrawRaisedButton(DC& dc, const Rect& r, bool pressed);
// A small solid triangle pointing up (0), down (1), left (2) or right (3), centred in r.
void DrawArrowGlyph(DC& dc, const Rect& r, int direction, bool enabled);
