// DefaultFrame: geometry, hit testing and painting of the plain classic frame that the
// default window procedure gives windows with border and caption styles. Geometry is
// kept apart from painting so that hit testing is tested without pixels.
#pragma once

#include <string_view>

#include "platform/gfx/Geometry.h"
#include "platform/win/WinTypes.h"

class DC;

struct FrameStyle {
  DWORD style = 0;
  DWORD exStyle = 0;
  bool maximized = false;
};

// Metrics of the classic frame.
constexpr int FrameThickBorder = 4;    // a sizing border
constexpr int FrameDialogBorder = 3;   // a fixed border with caption or dialog frame
constexpr int FrameThinBorder = 1;     // WS_BORDER alone
constexpr int FrameClientEdge = 2;     // WS_EX_CLIENTEDGE
constexpr int FrameCaptionHeight = 18;      // caption band, without the line below it
constexpr int FrameToolCaptionHeight = 14;  // tool-window caption band
constexpr int FrameCornerSize = 16;    // length of a sizing corner along each edge

// Width of the border on each side (the caption band comes on top of it).
int FrameBorderWidth(const FrameStyle& fs);
bool FrameHasCaption(const FrameStyle& fs);
int FrameCaptionBand(const FrameStyle& fs);  // 0 without caption; includes the line below
// The client rectangle for a window rectangle (same coordinates as `window`).
Rect FrameClientRect(const FrameStyle& fs, const Rect& window);
// Window coordinates of the caption band and of a caption button (HTCLOSE, HTMAXBUTTON,
// HTMINBUTTON, HTSYSMENU); empty when the window has none.
Rect FrameCaptionRect(const FrameStyle& fs, Size window);
Rect FrameButtonRect(const FrameStyle& fs, Size window, int hitCode);
// The default hit-test code of a point in window coordinates.
int FrameHitTest(const FrameStyle& fs, Size window, Point p);

// Draws the frame (everything outside the client rectangle) on a window device context.
// `pressed` is the hit code of a caption button shown pressed, or 0.
void PaintFrame(DC& dc, const FrameStyle& fs, Size window, std::string_view caption,
                bool active, int pressed);
