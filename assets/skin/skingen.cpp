// skingen: draws Kavri's skin pictures and button glyphs and writes them as BMP files.
//
// The rectangles used here are the ones kavri.skin.ini names; each drawing function says
// which section and keys it serves, so a change on one side is easy to follow on the other.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "assets/skin/skinpaint.h"
#include "platform/gfx/Bmp.h"

namespace {

// ---- the theme: soft light greys, one blue accent, 1-pixel borders

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kAccent{59, 130, 196};       // #3B82C4
constexpr Rgb kAccentDark{45, 104, 160};   // pressed accent
constexpr Rgb kAccentSoft{226, 237, 249};  // hover fills
constexpr Rgb kAccentSofter{211, 227, 245};
constexpr Rgb kBody{236, 238, 241};        // frame body
constexpr Rgb kSurface{244, 245, 247};     // panels and the client area
constexpr Rgb kOutline{170, 178, 189};     // the window's outer edge
constexpr Rgb kOutlineInactive{192, 198, 206};
constexpr Rgb kLine{205, 210, 217};        // 1-pixel borders inside
constexpr Rgb kLineSoft{222, 226, 231};
constexpr Rgb kInk{43, 47, 54};            // text and glyphs
constexpr Rgb kInkSoft{84, 91, 101};
constexpr Rgb kInkInactive{150, 157, 167};
constexpr Rgb kField{255, 255, 255};       // text fields
constexpr Rgb kFieldLine{188, 195, 205};
constexpr Rgb kDanger{214, 69, 65};        // close button under the mouse
constexpr Rgb kDangerDark{179, 52, 49};
constexpr Rgb kKey{255, 0, 255};           // glyph background for colour-keyed drawing

// ---- main picture ([PICTURES] picture, inactivepicture, mask; [FORMINFO])

constexpr int kPW = 277, kPH = 116;
constexpr int kTopRadius = 8, kBottomRadius = 6;
constexpr int kHeaderEnd = 41;  // the header gradient reaches the body colour here

Shape WindowShape() { return RoundRectShape2(0, 0, kPW, kPH, kTopRadius, kBottomRadius); }

// The header colour of row y: a white top fading into the body; the top two rows carry
// the accent (a grey one when the window is inactive).
Rgb HeaderColour(int y, bool active) {
  if (y < 2) return active ? kAccent : kOutlineInactive;
  if (y >= kHeaderEnd) return kBody;
  return Mix(kWhite, kBody, static_cast<double>(y - 2) / (kHeaderEnd - 2));
}

// Caption buttons: 24 x 24 at these left edges, top 11 (SKINOBJECTS records).
constexpr int kButtonTop = 11, kButtonSize = 24;
constexpr int kCloseX = 240, kMaxX = 214, kMinX = 188, kRollUpX = 162;
// The system-menu button: 22 x 22 at (16, 13).
constexpr int kSysX = 16, kSysY = 13, kSysSize = 22;

enum class Glyph { Close, Maximize, Restore, Minimize, RollUp, RollDown };

// A caption-button glyph centred in the 24 x 24 cell at (x, y).
void DrawCaptionGlyph(Bitmap& bmp, int x, int y, Glyph glyph, Rgb ink) {
  const double cx = x + 12, cy = y + 12;
  switch (glyph) {
    case Glyph::Close:
      Paint(bmp, SegmentShape(cx - 4.5, cy - 4.5, cx + 4.5, cy + 4.5, 1.4), ink);
      Paint(bmp, SegmentShape(cx + 4.5, cy - 4.5, cx - 4.5, cy + 4.5, 1.4), ink);
      break;
    case Glyph::Maximize:
      Paint(bmp, Minus(RoundRectShape(cx - 5, cy - 5, cx + 5, cy + 5, 1.5),
                       RoundRectShape(cx - 4, cy - 4, cx + 4, cy + 4, 0.5)), ink);
      break;
    case Glyph::Restore:
      Paint(bmp, Minus(RoundRectShape(cx - 5, cy - 2, cx + 3, cy + 6, 1.2),
                       RoundRectShape(cx - 4, cy - 1, cx + 2, cy + 5, 0.4)), ink);
      Paint(bmp, Minus(Minus(RoundRectShape(cx - 2, cy - 5, cx + 6, cy + 3, 1.2),
                             RoundRectShape(cx - 1, cy - 4, cx + 5, cy + 2, 0.4)),
                       RoundRectShape(cx - 5, cy - 2, cx + 3, cy + 6, 0)), ink);
      break;
    case Glyph::Minimize:
      Paint(bmp, RoundRectShape(cx - 5, cy + 2, cx + 5, cy + 3.2, 0.5), ink);
      break;
    case Glyph::RollUp:
      Paint(bmp, PolylineShape({{cx - 5, cy + 2.5}, {cx, cy - 2.5}, {cx + 5, cy + 2.5}}, 1.4), ink);
      break;
    case Glyph::RollDown:
      Paint(bmp, PolylineShape({{cx - 5, cy - 2.5}, {cx, cy + 2.5}, {cx + 5, cy - 2.5}}, 1.4), ink);
      break;
  }
}

// The program's mark: a rounded accent square with a white "K" made of three strokes.
void DrawLogo(Bitmap& bmp, double x, double y, double size, Rgb fill) {
  Paint(bmp, RoundRectShape(x, y, x + size, y + size, size * 0.25), fill);
  const double s = size / 16;
  Paint(bmp, SegmentShape(x + 5 * s, y + 4 * s, x + 5 * s, y + 12 * s, 1.9 * s), kWhite);
  Paint(bmp, SegmentShape(x + 5.6 * s, y + 8.6 * s, x + 11 * s, y + 4 * s, 1.9 * s), kWhite);
  Paint(bmp, SegmentShape(x + 7.4 * s, y + 7.6 * s, x + 11 * s, y + 12 * s, 1.9 * s), kWhite);
}

// A caption button's hover or pressed look at (x, y) over the header of the frame.
void DrawButtonBack(Bitmap& bmp, int x, int y, int headerY, int size, Rgb fill, bool active) {
  for (int j = 0; j < size; ++j) FillRectPx(bmp, x, y + j, x + size, y + j + 1, HeaderColour(headerY + j, active));
  Paint(bmp, RoundRectShape(x + 1, y + 1, x + size - 1, y + size - 1, 5), fill);
}

Bitmap MainPicture(bool active) {
  Bitmap bmp(kPW, kPH, Px(kBody));
  const Shape inside = WindowShape();
  for (int y = 0; y < kPH; ++y)
    for (int x = 0; x < kPW; ++x) bmp.Set(x, y, Px(HeaderColour(y, active)));
  // The client area's frame: a 1-pixel line just outside [FORMINFO] clientrect
  // 13,46,265,107, and the client surface itself (the client background tiles it).
  FillRectPx(bmp, 12, 45, 266, 108, kLine);
  FillRectPx(bmp, 13, 46, 265, 107, kSurface);
  // The outer edge: every inside pixel next to an outside one (or the picture's edge).
  const Rgb outline = active ? kOutline : kOutlineInactive;
  auto in = [&](int x, int y) { return x >= 0 && y >= 0 && x < kPW && y < kPH && inside(x + 0.5, y + 0.5); };
  for (int y = 0; y < kPH; ++y)
    for (int x = 0; x < kPW; ++x) {
      if (!in(x, y)) {
        bmp.Set(x, y, Px(kBody));
        continue;
      }
      if (!in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1))
        bmp.Set(x, y, Px(y < 2 && active ? kAccent : outline));
    }
  // A size grip of six dots in the bottom-right corner piece.
  const Rgb dot = active ? Rgb{176, 183, 193} : Rgb{200, 205, 212};
  for (const auto& [dx, dy] : std::vector<std::pair<int, int>>{{270, 112}, {267, 112}, {264, 112},
                                                               {270, 109}, {267, 109}, {270, 106}}) {
    SetPx(bmp, dx, dy, dot);
    SetPx(bmp, dx + 1, dy + 1, kWhite);
  }
  // The system-menu mark and the caption buttons' normal glyphs.
  DrawLogo(bmp, kSysX + 3, kSysY + 3, 16, active ? kAccent : Rgb{166, 173, 183});
  const Rgb ink = active ? kInkSoft : kInkInactive;
  DrawCaptionGlyph(bmp, kCloseX, kButtonTop, Glyph::Close, ink);
  DrawCaptionGlyph(bmp, kMaxX, kButtonTop, Glyph::Maximize, ink);
  DrawCaptionGlyph(bmp, kMinX, kButtonTop, Glyph::Minimize, ink);
  DrawCaptionGlyph(bmp, kRollUpX, kButtonTop, Glyph::RollUp, ink);
  return bmp;
}

// Black inside, white outside: the window's rounded shape.
Bitmap MaskPicture() {
  Bitmap bmp(kPW, kPH, Px(kWhite));
  PaintHard(bmp, WindowShape(), {0, 0, 0});
  return bmp;
}

// ---- frame parts: active picture 0 (caption buttons' states, menu items)
//
// Row 0 (y 0): hover and pressed cells of close, maximize, minimize, roll-up, each 24 wide.
// Row 1 (y 24): restore normal, hover, pressed, inactive; rolled-up (chevron down) the same.
// Row 2 (y 48): the system-menu mark hovered and pressed, 22 x 22.
// Menu items from y 72: normal 0,72,120,94; active 0,94,120,116; divider 0,116,120,123.
constexpr int kMenuWidth = 120, kMenuItemHeight = 22, kDividerHeight = 7;

Bitmap FramePartsPicture() {
  Bitmap bmp(192, 123, Px(kWhite));
  const Glyph glyphs[] = {Glyph::Close, Glyph::Maximize, Glyph::Minimize, Glyph::RollUp};
  for (int i = 0; i < 4; ++i) {
    const bool close = i == 0;
    const int x = i * 48;
    DrawButtonBack(bmp, x, 0, kButtonTop, kButtonSize, close ? kDanger : Rgb{226, 230, 236}, true);
    DrawCaptionGlyph(bmp, x, 0, glyphs[i], close ? kWhite : kInk);
    DrawButtonBack(bmp, x + 24, 0, kButtonTop, kButtonSize, close ? kDangerDark : Rgb{210, 216, 224}, true);
    DrawCaptionGlyph(bmp, x + 24, 0, glyphs[i], close ? kWhite : kInk);
  }
  for (int i = 0; i < 2; ++i) {
    const Glyph glyph = i == 0 ? Glyph::Restore : Glyph::RollDown;
    const int x = i * 96;
    for (int j = 0; j < kButtonSize; ++j) {
      FillRectPx(bmp, x, 24 + j, x + 24, 25 + j, HeaderColour(kButtonTop + j, true));
      FillRectPx(bmp, x + 72, 24 + j, x + 96, 25 + j, HeaderColour(kButtonTop + j, false));
    }
    DrawCaptionGlyph(bmp, x, 24, glyph, kInkSoft);
    DrawButtonBack(bmp, x + 24, 24, kButtonTop, kButtonSize, {226, 230, 236}, true);
    DrawCaptionGlyph(bmp, x + 24, 24, glyph, kInk);
    DrawButtonBack(bmp, x + 48, 24, kButtonTop, kButtonSize, {210, 216, 224}, true);
    DrawCaptionGlyph(bmp, x + 48, 24, glyph, kInk);
    DrawCaptionGlyph(bmp, x + 72, 24, glyph, kInkInactive);
  }
  DrawButtonBack(bmp, 0, 48, kSysY, kSysSize, {226, 230, 236}, true);
  DrawLogo(bmp, 3, 51, 16, kAccent);
  DrawButtonBack(bmp, 24, 48, kSysY, kSysSize, {210, 216, 224}, true);
  DrawLogo(bmp, 27, 51, 16, kAccentDark);
  FillRectPx(bmp, 46, 48, 192, 72, kWhite);
  // Menu items: white; the active one a rounded accent band 2 pixels in from each side
  // (itemleftoffset and itemrightoffset 6 keep its ends whole).
  FillRectPx(bmp, 0, 72, kMenuWidth, 123, kWhite);
  Paint(bmp, RoundRectShape(2, 94 + 1, kMenuWidth - 2, 94 + kMenuItemHeight - 1, 4), kAccent);
  FillRectPx(bmp, 6, 116 + kDividerHeight / 2, kMenuWidth - 6, 116 + kDividerHeight / 2 + 1, kLineSoft);
  return bmp;
}

// ---- control pictures: active picture 1 (every SKINCONTROLS record)

// A bordered, rounded box with a 1-pixel highlight under its top edge and a shade over its
// bottom edge: the common shape of buttons. The rows between are flat so that the edges
// and the centre tile without seams when the box is drawn taller than its picture.
void DrawBox(Bitmap& bmp, int l, int t, int r, int b, double radius, Rgb border, Rgb top, Rgb fill,
             Rgb bottom, Rgb around) {
  FillRectPx(bmp, l, t, r, b, around);
  Paint(bmp, RoundRectShape(l, t, r, b, radius), border);
  const int w = r - l, h = b - t;
  const Shape innerShape = RoundRectShape(1, 1, w - 1, h - 1, radius - 1);
  for (int y = 0; y < h; ++y) {
    const Rgb c = y == 1 ? top : y == h - 2 ? bottom : fill;
    for (int x = 0; x < w; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          if (innerShape(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4)) ++hits;
      if (!hits) continue;
      const Pixel under = bmp.At(l + x, t + y);
      bmp.Set(l + x, t + y, Px(Mix({PixelR(under), PixelG(under), PixelB(under)}, c, hits / 16.0)));
    }
  }
}

void DrawChevron(Bitmap& bmp, double cx, double cy, int direction, Rgb ink, double size = 3.5) {
  // direction: 0 down, 1 up, 2 left, 3 right
  const double s = size, h = size * 0.6;
  std::vector<std::pair<double, double>> pts;
  if (direction == 0) pts = {{cx - s, cy - h}, {cx, cy + h}, {cx + s, cy - h}};
  if (direction == 1) pts = {{cx - s, cy + h}, {cx, cy - h}, {cx + s, cy + h}};
  if (direction == 2) pts = {{cx + h, cy - s}, {cx - h, cy}, {cx + h, cy + s}};
  if (direction == 3) pts = {{cx - h, cy - s}, {cx + h, cy}, {cx - h, cy + s}};
  Paint(bmp, PolylineShape(pts, 1.3), ink);
}

Bitmap ControlsPicture() {
  Bitmap bmp(256, 236, Px(kSurface));
  // "button" 24 x 21: normal 0, down 24, active 48, disabled 72.
  DrawBox(bmp, 0, 0, 24, 21, 3.5, {184, 191, 201}, kWhite, {246, 247, 249}, {234, 236, 240}, kSurface);
  DrawBox(bmp, 24, 0, 48, 21, 3.5, kAccentDark, {200, 219, 240}, kAccentSofter, {214, 229, 246}, kSurface);
  DrawBox(bmp, 48, 0, 72, 21, 3.5, kAccent, {240, 246, 253}, kAccentSoft, {216, 231, 247}, kSurface);
  DrawBox(bmp, 72, 0, 96, 21, 3.5, {214, 218, 224}, {246, 247, 248}, {241, 242, 244}, {238, 239, 241}, kSurface);
  // "toolbutton" 25 x 22: flat on the surface until the mouse comes (100, 125, 150, 175).
  FillRectPx(bmp, 100, 0, 125, 22, kSurface);
  DrawBox(bmp, 125, 0, 150, 22, 4, kAccent, kAccentSofter, kAccentSofter, kAccentSofter, kSurface);
  DrawBox(bmp, 150, 0, 175, 22, 4, {197, 215, 236}, kAccentSoft, kAccentSoft, kAccentSoft, kSurface);
  FillRectPx(bmp, 175, 0, 200, 22, kSurface);
  // "panel" 59 x 52 at (0, 24): a 1-pixel line, a white inner line, the surface.
  FillRectPx(bmp, 0, 24, 59, 76, kLine);
  FillRectPx(bmp, 1, 25, 58, 75, {251, 251, 252});
  FillRectPx(bmp, 2, 26, 57, 74, kSurface);
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 24}, {58, 24}, {0, 75}, {58, 75}})
    SetPx(bmp, x, y, Mix(kLine, kSurface, 0.5));
  // "toolpanel" 59 x 27 at (60, 24): the surface with a line along its bottom.
  FillRectPx(bmp, 60, 24, 119, 51, kSurface);
  FillRectPx(bmp, 60, 24, 119, 25, {250, 250, 251});
  FillRectPx(bmp, 60, 50, 119, 51, kLineSoft);
  // "memo" 40 x 40 at (120, 24), active at (160, 24).
  for (int i = 0; i < 2; ++i) {
    const int x = 120 + 40 * i;
    FillRectPx(bmp, x, 24, x + 40, 64, kSurface);
    Paint(bmp, RoundRectShape(x, 24, x + 40, 64, 3), i ? kAccent : kFieldLine);
    Paint(bmp, RoundRectShape(x + 1, 25, x + 39, 63, 2), i ? kAccentSoft : kField);
    FillRectPx(bmp, x + 2, 26, x + 38, 62, kField);
  }
  // "edit" 57 x 21 at (0, 80), active at (60, 80): white field, line, accent when active.
  for (int i = 0; i < 2; ++i) {
    const int x = 60 * i;
    FillRectPx(bmp, x, 80, x + 57, 101, kSurface);
    Paint(bmp, RoundRectShape(x, 80, x + 57, 101, 3), i ? kAccent : kFieldLine);
    Paint(bmp, RoundRectShape(x + 1, 81, x + 56, 100, 2), i ? kAccentSoft : kField);
    FillRectPx(bmp, x + 2, 82, x + 55, 99, kField);
  }
  // "combobox" 80 x 21 at (120, 80): an edit-like field, a divider and a chevron button
  // (buttonrect 62,2,78,19); active and pressed buttons at (204, 82) and (222, 82).
  FillRectPx(bmp, 120, 80, 200, 101, kSurface);
  Paint(bmp, RoundRectShape(120, 80, 200, 101, 3), kFieldLine);
  Paint(bmp, RoundRectShape(121, 81, 199, 100, 2), kField);
  FillRectPx(bmp, 122, 82, 198, 99, kField);
  FillRectPx(bmp, 181, 84, 182, 97, kLineSoft);
  DrawChevron(bmp, 190, 90.5, 0, kInkSoft);
  for (int i = 0; i < 2; ++i) {
    const int x = 204 + 18 * i;
    FillRectPx(bmp, x, 82, x + 16, 99, kField);
    Paint(bmp, RoundRectShape(x, 82, x + 16, 99, 3), i ? kAccentSofter : kAccentSoft);
    DrawChevron(bmp, x + 8, 90.5, 0, i ? kAccentDark : kAccent);
  }
  // Combo item images 57 x 15: plain at (0, 104), focused at (60, 104).
  FillRectPx(bmp, 0, 104, 57, 119, kField);
  FillRectPx(bmp, 60, 104, 117, 119, kField);
  Paint(bmp, RoundRectShape(60, 104, 117, 119, 3), {220, 234, 249});
  // "listbox" 60 x 60 at (0, 122); items 60 x 18 at (62, 122), (62, 142), (62, 162).
  FillRectPx(bmp, 0, 122, 60, 182, kLine);
  FillRectPx(bmp, 1, 123, 59, 181, kField);
  FillRectPx(bmp, 62, 122, 122, 182, kField);
  Paint(bmp, RoundRectShape(63, 142, 121, 160, 3), kAccent);
  Paint(bmp, RoundRectShape(63, 162, 121, 180, 3), kAccent);
  Paint(bmp, Minus(RoundRectShape(63, 162, 121, 180, 3), RoundRectShape(64, 163, 120, 179, 2)), kAccentDark);
  // "hsplitter" 24 x 7 at (120, 122): the body colour with a faint groove.
  FillRectPx(bmp, 120, 122, 144, 129, kBody);
  FillRectPx(bmp, 122, 125, 142, 126, {214, 218, 224});
  // "header" 40 x 20 at (150, 122).
  for (int y = 0; y < 20; ++y) FillRectPx(bmp, 150, 122 + y, 190, 123 + y, Mix(kWhite, kBody, y / 19.0));
  FillRectPx(bmp, 150, 141, 190, 142, kLine);
  FillRectPx(bmp, 189, 125, 190, 139, kLine);
  // Scroll bars: a flat track, chevron buttons, a rounded thumb.
  constexpr Rgb track{241, 243, 246};
  constexpr Rgb thumb{197, 203, 211}, thumbHot{168, 176, 188};
  // "hscrollbar" 100 x 16 at (0, 186); "bothhscrollbar" 116 x 16 at (0, 204) whose last
  // 16 pixels are the corner shared with a vertical bar.
  for (int i = 0; i < 2; ++i) {
    const int y = 186 + 18 * i, w = i ? 116 : 100;
    FillRectPx(bmp, 0, y, w, y + 16, track);
    DrawChevron(bmp, 8, y + 8, 2, {122, 130, 142}, 3);
    DrawChevron(bmp, 92, y + 8, 3, {122, 130, 142}, 3);
    if (i) FillRectPx(bmp, 100, y, 116, y + 16, kSurface);
  }
  // Button states: left hover (104), left pressed (120), right hover (136), right pressed (152).
  for (int i = 0; i < 4; ++i) {
    const int x = 104 + 16 * i;
    FillRectPx(bmp, x, 186, x + 16, 202, track);
    Paint(bmp, RoundRectShape(x + 1, 187, x + 15, 201, 3), i % 2 ? Rgb{207, 213, 221} : Rgb{224, 228, 234});
    DrawChevron(bmp, x + 8, 194, i < 2 ? 2 : 3, kInk, 3);
  }
  // Thumbs 20 x 16: normal (170), hot (192), pressed (214); thumboffset1 and 2 are 5.
  const Rgb thumbs[] = {thumb, thumbHot, kAccent};
  for (int i = 0; i < 3; ++i) {
    const int x = 170 + 22 * i;
    FillRectPx(bmp, x, 186, x + 20, 202, track);
    Paint(bmp, RoundRectShape(x + 1, 190, x + 19, 198, 4), thumbs[i]);
  }
  // "vscrollbar" 16 x 100 at (240, 0); its button states at x 240 from y 104 (up hover,
  // up pressed, down hover, down pressed), thumbs 16 x 20 from y 170.
  FillRectPx(bmp, 240, 0, 256, 100, track);
  DrawChevron(bmp, 248, 8, 1, {122, 130, 142}, 3);
  DrawChevron(bmp, 248, 92, 0, {122, 130, 142}, 3);
  for (int i = 0; i < 4; ++i) {
    const int y = 104 + 16 * i;
    FillRectPx(bmp, 240, y, 256, y + 16, track);
    Paint(bmp, RoundRectShape(241, y + 1, 255, y + 15, 3), i % 2 ? Rgb{207, 213, 221} : Rgb{224, 228, 234});
    DrawChevron(bmp, 248, y + 8, i < 2 ? 1 : 0, kInk, 3);
  }
  for (int i = 0; i < 3; ++i) {
    const int y = 170 + 22 * i;
    FillRectPx(bmp, 240, y, 256, y + 20, track);
    Paint(bmp, RoundRectShape(244, y + 1, 252, y + 19, 4), thumbs[i]);
  }
  return bmp;
}

// ---- popup menu window (pictures 2 and 3) and hint window (4 and 5)

Bitmap PopupPicture() {
  Bitmap bmp(40, 40, Px(kWhite));
  Paint(bmp, Minus(RoundRectShape(0, 0, 40, 40, 5), RoundRectShape(1, 1, 39, 39, 4)), {190, 197, 206});
  return bmp;
}

Bitmap HintPicture() {
  Bitmap bmp(40, 26, Px({48, 53, 60}));
  Paint(bmp, Minus(RoundRectShape(0, 0, 40, 26, 4), RoundRectShape(1, 1, 39, 25, 3)), {34, 38, 43});
  return bmp;
}

Bitmap ShapeMask(int w, int h, double radius) {
  Bitmap bmp(w, h, Px(kWhite));
  PaintHard(bmp, RoundRectShape(0, 0, w, h, radius), {0, 0, 0});
  return bmp;
}

// ---- button glyphs of the two windows

Bitmap Transparent(int size) { return Bitmap(size, size, MakePixel(255, 0, 255, 0)); }

// Main window, 16 x 16, 32 bits with alpha: convert, help, about.
Bitmap GlyphConvert() {
  Bitmap g = Transparent(16);
  // Three short lines of "text" turning into an arrow: what the program does.
  Paint(g, RoundRectShape(1, 3, 6, 4.6, 0.8), kInkSoft);
  Paint(g, RoundRectShape(1, 7.2, 5, 8.8, 0.8), kInkSoft);
  Paint(g, RoundRectShape(1, 11.4, 6, 13, 0.8), kInkSoft);
  Paint(g, SegmentShape(7.5, 8, 13, 8, 2), kAccent);
  Paint(g, PolygonShape({{11, 3.5}, {15.5, 8}, {11, 12.5}}), kAccent);
  return g;
}

// A filled accent circle with a white pixel-art sign on it.
Bitmap GlyphCircleSign(const std::vector<std::string>& sign, Rgb fill) {
  Bitmap g = Transparent(16);
  Paint(g, CircleShape(8, 8, 7.3), fill);
  PixelArt(g, 5, 3, sign, {{'#', kWhite}});
  return g;
}

Bitmap GlyphHelp() {
  return GlyphCircleSign({" ### ", "#   #", "    #", "   # ", "  #  ", "     ", "  #  "}, kAccent);
}

Bitmap GlyphAbout() {
  return GlyphCircleSign({"  #  ", "     ", " ##  ", "  #  ", "  #  ", "  #  ", " ### "}, {96, 108, 124});
}

// Main window, 16 x 16, 16 colours: bold and italic, as pixel art on the key colour.
const std::vector<std::pair<char, Rgb>> kArtInk = {{'#', kInk}, {'+', {140, 147, 157}}};

Bitmap GlyphBold() {
  Bitmap g(16, 16, Px(kKey));
  PixelArt(g, 0, 0, {
      "................",
      "................",
      "...########.....",
      "...###...###....",
      "...###...###....",
      "...###...###....",
      "...########.....",
      "...###....###...",
      "...###....###...",
      "...###....###...",
      "...###....###...",
      "...#########....",
      "................",
      "................",
      "................",
      "................",
  }, kArtInk);
  return g;
}

Bitmap GlyphItalic() {
  Bitmap g(16, 16, Px(kKey));
  PixelArt(g, 0, 0, {
      "................",
      "................",
      "......######....",
      "........##......",
      "........##......",
      ".......##.......",
      ".......##.......",
      "......##........",
      "......##........",
      ".....##.........",
      ".....##.........",
      "...######.......",
      "................",
      "................",
      "................",
      "................",
  }, kArtInk);
  return g;
}

// About window, 20 x 20. Drawn on a transparent canvas, then flattened onto the button
// face so that soft edges blend with it, with the key colour where nothing was drawn.
Bitmap KeyedOnSurface(const Bitmap& art) {
  Bitmap out = Flatten(art, kSurface);
  for (int y = 0; y < art.Height(); ++y)
    for (int x = 0; x < art.Width(); ++x)
      if (PixelA(art.At(x, y)) == 0) out.Set(x, y, Px(kKey));
  return out;
}

Bitmap GlyphArrow(bool forward) {
  Bitmap g = Transparent(20);
  const double d = forward ? 1 : -1, cx = 10;
  Paint(g, SegmentShape(cx - 6 * d, 10, cx + 5 * d, 10, 2.2), kAccent);
  Paint(g, PolylineShape({{cx + 0.5 * d, 4.5}, {cx + 6 * d, 10}, {cx + 0.5 * d, 15.5}}, 2.2), kAccent);
  return g;
}

Bitmap GlyphExport() {
  Bitmap g = Transparent(20);
  // A window with an arrow leaving it: hand the page to another browser.
  Paint(g, Minus(RoundRectShape(2, 5, 15, 18, 2), RoundRectShape(3.6, 6.6, 13.4, 16.4, 1)), kInkSoft);
  // A gap in the frame's top-right corner where the arrow leaves.
  for (int y = 2; y < 11; ++y)
    for (int x = 10; x < 19; ++x) g.Set(x, y, MakePixel(255, 0, 255, 0));
  Paint(g, SegmentShape(8.5, 11.5, 16, 4, 2), kAccent);
  Paint(g, PolygonShape({{10.5, 2.5}, {17.5, 2.5}, {17.5, 9.5}}), kAccent);
  return g;
}

Bitmap GlyphInfo() {
  Bitmap g = Transparent(20);
  Paint(g, CircleShape(10, 10, 8.6), kAccent);
  Paint(g, CircleShape(10, 5.8, 1.4), kWhite);
  Paint(g, RoundRectShape(8.9, 8.4, 11.1, 15.2, 0.6), kWhite);
  return g;
}

Bitmap GlyphHome() {
  Bitmap g = Transparent(20);
  Paint(g, PolylineShape({{2.5, 10}, {10, 3}, {17.5, 10}}, 2), kAccent);
  Paint(g, Minus(RoundRectShape(5, 9, 15, 17.5, 1), RoundRectShape(8.5, 12, 11.5, 17.5, 0.5)), kAccent);
  return g;
}

Bitmap GlyphEmail() {
  Bitmap g = Transparent(20);
  Paint(g, RoundRectShape(2, 4.5, 18, 15.5, 2), kAccent);
  Paint(g, RoundRectShape(3.5, 6, 16.5, 14, 1), kWhite);
  Paint(g, PolylineShape({{3.8, 6.6}, {10, 11}, {16.2, 6.6}}, 1.4), kAccent);
  return g;
}

Bitmap GlyphGuestBook() {
  Bitmap g = Transparent(20);
  // A speech bubble with two lines of writing.
  Paint(g, Union(RoundRectShape(2, 3, 18, 14, 3), PolygonShape({{5, 13}, {5, 18}, {10, 13}})), kAccent);
  Paint(g, RoundRectShape(5.5, 6.5, 14.5, 7.8, 0.6), kWhite);
  Paint(g, RoundRectShape(5.5, 9.4, 12, 10.7, 0.6), kWhite);
  return g;
}

void Save8(const Bitmap& bmp, const std::string& path) {
  SaveBmpFile(ReduceColours(bmp, 256), 8, path);
}

void Run(const std::string& dir) {
  Save8(MainPicture(true), dir + "/main.bmp");
  Save8(MainPicture(false), dir + "/inactive.bmp");
  SaveBmpFile(MaskPicture(), 1, dir + "/mask.bmp");
  Save8(FramePartsPicture(), dir + "/frameparts.bmp");
  Save8(ControlsPicture(), dir + "/controls.bmp");
  Save8(PopupPicture(), dir + "/popup.bmp");
  SaveBmpFile(ShapeMask(40, 40, 5), 1, dir + "/popupmask.bmp");
  Save8(HintPicture(), dir + "/hint.bmp");
  SaveBmpFile(ShapeMask(40, 26, 4), 1, dir + "/hintmask.bmp");

  WriteFile(dir + "/glyph_main_convert.bmp", SaveBmp32(GlyphConvert()));
  WriteFile(dir + "/glyph_main_help.bmp", SaveBmp32(GlyphHelp()));
  WriteFile(dir + "/glyph_main_about.bmp", SaveBmp32(GlyphAbout()));
  WriteFile(dir + "/glyph_main_bold.bmp", SaveBmp4(GlyphBold()));
  WriteFile(dir + "/glyph_main_italic.bmp", SaveBmp4(GlyphItalic()));
  Save8(KeyedOnSurface(GlyphArrow(false)), dir + "/glyph_about_back.bmp");
  Save8(KeyedOnSurface(GlyphArrow(true)), dir + "/glyph_about_forward.bmp");
  Save8(KeyedOnSurface(GlyphExport()), dir + "/glyph_about_export.bmp");
  SaveBmpFile(KeyedOnSurface(GlyphInfo()), 24, dir + "/glyph_about_about.bmp");
  SaveBmpFile(KeyedOnSurface(GlyphHome()), 24, dir + "/glyph_about_home.bmp");
  SaveBmpFile(KeyedOnSurface(GlyphEmail()), 24, dir + "/glyph_about_email.bmp");
  SaveBmpFile(KeyedOnSurface(GlyphGuestBook()), 24, dir + "/glyph_about_guestbook.bmp");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: skingen OUTPUT-FOLDER\n", stderr);
    return 2;
  }
  try {
    Run(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skingen: %s\n", e.what());
    return 1;
  }
  return 0;
}
