// Frame geometry of a skinned window, kept apart from painting: the scaled points and
// rectangles for a window size, client placement, hit testing, object placement along the
// caption, snapping and the minimized and maximized places. Nothing here touches pixels.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "skin/controls/skImageDraw.h"
#include "skin/data/skSkinRecords.h"

// Hit-test codes the frame answers with (the platform's numbers).
inline constexpr int skHitClient = 1;
inline constexpr int skHitCaption = 2;
inline constexpr int skHitLeft = 10;
inline constexpr int skHitRight = 11;
inline constexpr int skHitTop = 12;
inline constexpr int skHitTopLeft = 13;
inline constexpr int skHitTopRight = 14;
inline constexpr int skHitBottom = 15;
inline constexpr int skHitBottomLeft = 16;
inline constexpr int skHitBottomRight = 17;
inline constexpr int skHitObject = 19;

// The frame's values for one window size W x H (window coordinates, origin at the
// window's top-left corner, frame included).
struct FrameGeometry {
  int width = 0;
  int height = 0;
  Point leftTop, rightTop, leftBottom, rightBottom;  // NLT, NRT, NLB, NRB
  Rect clientRect;                                   // NCR
  Rect captionRect;
  Rect buttonsRect;
  int buttonsOffset = 0;
  bool buttonsInLeft = false;
  Rect maskArea;  // NMA: always inside the window region
  Point hitLeftTop, hitRightTop, hitLeftBottom, hitRightBottom;
};

// Scales the picture's geometry to a W x H window (`picture` is the main picture's size).
FrameGeometry CalcFrameGeometry(const SkinFormInfo& info, Size picture, int width, int height);

// The client rectangle for a proposed window rectangle: the picture's margins around
// "clientrect" with a skin, a 3-pixel border under a caption band without; never inverted.
Rect SkinClientRect(const SkinFormInfo& info, Size picture, const Rect& window);
Rect DefaultClientRect(const Rect& window, int captionHeight);

// The geometry the strip routines take: as in the picture, and scaled; the mask's use the
// mask area as their client rectangle.
NinePartGeometry FramePictureParts(const SkinFormInfo& info);
NinePartGeometry FrameScaledParts(const FrameGeometry& g);
NinePartGeometry FrameMaskParts(const SkinFormInfo& info);
NinePartGeometry FrameScaledMaskParts(const FrameGeometry& g);

// The mask's border strips at the current size, and the point test over them: inside the
// mask area, or on a black pixel of the strip the point falls in.
struct FrameMaskStrips {
  Bitmap top, left, right, bottom;
  bool IsEmpty() const { return top.IsEmpty() && left.IsEmpty() && right.IsEmpty() && bottom.IsEmpty(); }
};
FrameMaskStrips BuildFrameMaskStrips(const SkinFormInfo& info, const FrameGeometry& g, const Bitmap& mask);
bool FrameMaskContains(const FrameMaskStrips& strips, const FrameGeometry& g, Point p);
// The window region: the mask area united with the black runs of the four strips.
Region FrameMaskRegion(const FrameMaskStrips& strips, const FrameGeometry& g);

// What hit testing needs to know of the window besides its geometry.
struct FrameHitState {
  bool rolledUp = false;
  bool minimized = false;
  bool maximized = false;
  bool sizeable = false;
  bool activeObject = false;  // an object is under the mouse
  bool sizeMoveLoop = false;
};
// Null when the skin has no mask: the window rectangle is the edge then.
using FrameMaskTest = std::function<bool(Point)>;

// `captionObjects` are the ObjectRects of the caption objects.
int SkinFrameHitTest(const FrameGeometry& g, int borderWidth, const std::vector<Rect>& captionObjects,
                     const FrameMaskTest& inMask, const FrameHitState& s, Point p);
// The plain frame: a 3-pixel border and a caption band `captionHeight` high.
int DefaultFrameHitTest(Size window, const Rect& defaultCaption, int captionHeight,
                        const FrameHitState& s, Point p);

// Where an object not laid out along the caption lies at the current size: moved or
// stretched by the corner zone(s) of the picture its skin rectangle falls in.
Rect PlaceByZones(const Rect& skinRect, const SkinFormInfo& info, Size picture, int dX, int dY);

// One object as the caption layout sees it.
enum class FrameItemKind { Button, Caption, Other };  // Button: std buttons and animate objects
struct FrameLayoutItem {
  FrameItemKind kind = FrameItemKind::Other;
  SkinCommand command = SkinCommand::Default;
  bool laidOut = false;  // skin-rect-in-a-picture: placed along the buttons or caption rectangle
  bool visible = true;
  Size size;             // the size it takes
  Rect rect;             // in: its place so far; out: its new place
};
// Places the laid-out buttons (close, maximize, minimize, roll-up, tray, then the default
// ones) along the buttons rectangle, or the caption rectangle when that is empty, and the
// system-menu object at the caption's start; narrows the first caption object to match.
void LayoutFrameItems(std::vector<FrameLayoutItem>& items, const FrameGeometry& g);

// Default frame: the caption rectangle and its buttons for a window width.
struct DefaultCaptionLayout {
  Rect caption;                // what is left for the text after the buttons
  std::vector<Rect> buttons;   // in the order of `visible`
};
// `visible` lists the commands of the visible default buttons; the system menu (if among
// them) goes on the left with `iconSize` (buttonSize when 0), the others right to left.
DefaultCaptionLayout LayoutDefaultCaption(int width, int captionHeight, int buttonSize,
                                          const std::vector<SkinCommand>& visible, int iconSize = 0);

// The proposed place of a dragged window with edges within `m` pixels of the work area's
// pulled onto them; the right and bottom tests come last and win.
Rect MagneticSnap(const Rect& proposed, Size size, const Rect& work, int m);
// The bounds of a maximized window: the work area (shrunk by 1 on every side when it is
// the whole primary screen, so a bar hidden at the edge can still be reached) or, for full
// screen, the monitor.
Rect MaximizedBounds(const Rect& monitor, const Rect& work, bool fullScreen, Size screen);
// Where a minimized caption bar goes: along the bottom of the work area, left to right,
// then row by row upwards, skipping the places `taken` by other minimized windows.
Point MinimizedPosition(const Rect& work, Size minSize, const std::vector<Point>& taken);

// The ellipsis rule: the text cut at its end until it plus "..." fits `width`.
std::string EllipsisText(std::string_view text, int width, const std::function<int(std::string_view)>& measure);
