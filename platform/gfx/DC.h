// Device context: drawing on a bitmap through an origin and a clip region that can only
// narrow what the context was created with, with pen, brush, font and text state.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Region.h"

// Pen and brush styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_NULL = 5;
constexpr int BS_SOLID = 0;
constexpr int BS_NULL = 1;

struct Pen {
  int style = PS_SOLID;
  int width = 1;
  Color color = clBlack;
};
struct Brush {
  int style = BS_SOLID;
  Color color = clWhite;
};

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Raster operations (ternary codes of the platform).
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t SRCPAINT = 0x00EE0086;
constexpr std::uint32_t SRCAND = 0x008800C6;
constexpr std::uint32_t SRCINVERT = 0x00660046;
constexpr std::uint32_t SRCERASE = 0x00440328;
constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
constexpr std::uint32_t NOTSRCERASE = 0x001100A6;
constexpr std::uint32_t MERGECOPY = 0x00C000CA;
constexpr std::uint32_t MERGEPAINT = 0x00BB0226;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint32_t PATPAINT = 0x00FB0A09;
constexpr std::uint32_t PATINVERT = 0x005A0049;
constexpr std::uint32_t DSTINVERT = 0x00550009;
constexpr std::uint32_t BLACKNESS = 0x00000042;
constexpr std::uint32_t WHITENESS = 0x00FF0062;

// DrawText formats.
constexpr std::uint32_t DT_TOP = 0x0;
constexpr std::uint32_t DT_LEFT = 0x0;
constexpr std::uint32_t DT_CENTER = 0x1;
constexpr std::uint32_t DT_RIGHT = 0x2;
constexpr std::uint32_t DT_VCENTER = 0x4;
constexpr std::uint32_t DT_BOTTOM = 0x8;
constexpr std::uint32_t DT_WORDBREAK = 0x10;
constexpr std::uint32_t DT_SINGLELINE = 0x20;
constexpr std::uint32_t DT_EXPANDTABS = 0x40;
constexpr std::uint32_t DT_NOCLIP = 0x100;
constexpr std::uint32_t DT_CALCRECT = 0x400;
constexpr std::uint32_t DT_NOPREFIX = 0x800;
constexpr std::uint32_t DT_END_ELLIPSIS = 0x8000;
constexpr std::uint32_t DT_HIDEPREFIX = 0x100000;

// Stretch modes.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

class DC {
 public:
  // A context over the whole bitmap.
  explicit DC(Bitmap& target);
  // A context whose logical (0, 0) is `origin` of the bitmap and which never draws outside
  // `baseClip` (bitmap coordinates), as a window's context over its top-level backing store.
  DC(Bitmap& target, Point origin, const Region& baseClip);

  Bitmap& Target() { return *m_target; }
  const Bitmap& Target() const { return *m_target; }

  // The origin in bitmap coordinates (SetViewportOrg sets it relative to the creation
  // origin and returns the previous relative one; the clip stays where it is on the bitmap).
  Point Origin() const { return m_origin; }
  Point SetViewportOrg(Point logicalOrigin);
  Point ViewportOrg() const { return m_origin - m_creationOrigin; }

  // As on the platform, SelectClipRgn takes the region in device coordinates of the
  // context (relative to its creation origin, not moved by the viewport origin) and copies
  // it; nullptr removes the application's clip. ExcludeClipRect, IntersectClipRect and
  // OffsetClipRgn take logical coordinates. The creation clip always applies on top. Each
  // returns the kind of the resulting effective clip (NULLREGION, SIMPLEREGION, ...).
  int SelectClipRgn(const Region* rgn);
  int ExcludeClipRect(const Rect& r);
  int IntersectClipRect(const Rect& r);
  int OffsetClipRgn(int dx, int dy);
  // The application's clip in device coordinates as GetClipRgn gives it; false when none.
  bool GetClipRgn(Region& out) const;
  Region ClipRegion() const;  // the effective clip, logical coordinates
  Rect ClipBox() const;       // its bounds (logical), all zero when empty
  bool PtVisible(Point p) const;
  bool RectVisible(const Rect& r) const;
  // The effective clip in bitmap coordinates (for routines that draw on the bitmap).
  const Region& DeviceClip() const { return m_clip; }

  Pen SelectPen(const Pen& pen);
  Brush SelectBrush(const Brush& brush);
  Font SelectFont(const Font& font);
  const Pen& CurrentPen() const { return m_pen; }
  const Brush& CurrentBrush() const { return m_brush; }
  const Font& CurrentFont() const { return m_font; }
  Color SetTextColor(Color c);
  Color TextColor() const { return m_textColor; }
  Color SetBkColor(Color c);
  Color BkColor() const { return m_bkColor; }
  int SetBkMode(int mode);
  int BkMode() const { return m_bkMode; }
  int SetStretchBltMode(int mode);
  int StretchBltMode() const { return m_stretchMode; }
  Point CurrentPosition() const { return m_penPos; }

  // SaveDC/RestoreDC: a stack of {origin, clip, pen, brush, font, colours, modes, pen
  // position}. SaveDC returns the new depth (1 for the first save). RestoreDC(n > 0) goes
  // back to the state saved by the SaveDC that returned n and drops it and every later
  // one; n < 0 counts back from the last save (-1: the last). False for a level that does
  // not exist (state unchanged).
  int SaveDC();
  bool RestoreDC(int level);
  int SaveLevel() const { return static_cast<int>(m_saved.size()); }

  // Drawing; all coordinates logical. Right and bottom edges are never drawn; rectangles
  // with left >= right or top >= bottom draw nothing. Colours may be system colours.
  void FillRect(const Rect& r, Color c);
  void FillRect(const Rect& r, const Brush& b);  // a BS_NULL brush draws nothing
  void FrameRect(const Rect& r, Color c);  // 1-pixel border inside r
  void InvertRect(const Rect& r);
  void MoveTo(int x, int y);
  // A Bresenham line from the current position with the current pen; the end point is not
  // drawn and becomes the current position. PS_DASH and PS_DOT draw the platform's
  // cosmetic patterns (18 on 6 off, 3 on 3 off), the gaps in the background colour when
  // the background mode is OPAQUE. Wider pens stamp a square of the pen's width.
  void LineTo(int x, int y);
  // Joined lines through the points; the last point is not drawn and the current
  // position is neither used nor changed.
  void Polyline(const std::vector<Point>& points);
  // Closed: filled with the brush (alternate rule, pixel centres, right and bottom edges
  // excluded), then outlined with the pen.
  void Polygon(const std::vector<Point>& points);
  // Pen outline on the pixels inside r, brush inside that; with a PS_NULL pen the filled
  // figure is one pixel smaller in width and height, as on the platform. Reversed
  // corners are put in order.
  void Rectangle(const Rect& r);
  void Ellipse(const Rect& r);  // the ellipse inscribed in r, same pen and brush rules
  // Every other pixel (checkerboard from the bitmap's corner) of the 1-pixel border is
  // inverted, so drawing the same rectangle twice restores the pixels.
  void DrawFocusRect(const Rect& r);
  void SetPixel(int x, int y, Color c);
  Color GetPixel(int x, int y) const;  // CLR_INVALID outside the clip

  // Raster operations are the platform's ternary codes (any of the 256); P is the brush
  // colour, S the source, D the destination. SRCCOPY copies the source pixels with their
  // alpha bytes unchanged; every other operation writes opaque pixels. Destination pixels
  // whose source lies outside the source bitmap are left unchanged; the source context's
  // clip does not apply. The source may be this context's bitmap: overlapping copies act
  // as a copy through a temporary. Negative sizes put the rectangle left of / above
  // (x, y) and (sx, sy) alike, without mirroring.
  void BitBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, std::uint32_t rop);
  // Negative sizes put the rectangle left of / above (x, y).
  void PatBlt(int x, int y, int w, int h, std::uint32_t rop);
  // Scales the source rectangle onto the destination one. A width or height whose sign
  // differs between destination and source mirrors the image on that axis. COLORONCOLOR
  // takes the nearest source pixel (by pixel centre); HALFTONE averages the source pixels
  // that fall on a destination pixel; BLACKONWHITE and WHITEONBLACK keep, when shrinking,
  // the AND (darker) or OR (lighter) of them, and take the nearest pixel when growing.
  void StretchBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, int sw, int sh,
                  std::uint32_t rop);
  // Copies every source pixel but those of colour `transparent`, scaling by the nearest
  // pixel; sizes must be positive (nothing is drawn otherwise, as on the platform).
  void TransparentBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, int sw,
                      int sh, Color transparent);
  // Draws w x h pixels of 24-bit top-down rows (blue, green, red; `stride` bytes a row,
  // at least w * 3) at (x, y). Throws std::invalid_argument for a short stride or null rows.
  void SetDIBitsToDevice(int x, int y, int w, int h, const std::uint8_t* rows, int stride);
  // Draws srcRect of a 32-bit bitmap at (x, y), blended by its alpha channel scaled by
  // `constantAlpha`. By default the source is straight (not premultiplied) alpha:
  // D = (S * a + D * (255 - a)) / 255. With `premultiplied`, as the platform's AC_SRC_ALPHA
  // expects: D = S * ca / 255 + D * (255 - a) / 255. The result is opaque.
  void AlphaBlend(int x, int y, const Bitmap& src, const Rect& srcRect,
                  int constantAlpha = 255, bool premultiplied = false);

  // Text (platform/gfx/DCText.cpp). TextOut draws with the top of the cell at y; with
  // OPAQUE the cell is first filled with the background colour.
  void TextOut(int x, int y, std::string_view utf8);
  // Returns the height of the drawn (or measured, with DT_CALCRECT) text; DT_CALCRECT
  // changes `r` to the text's extent and draws nothing.
  int DrawText(std::string_view utf8, Rect& r, std::uint32_t format);
  Size GetTextExtent(std::string_view utf8) const;
  TextMetrics GetTextMetrics() const;

 private:
  Rect DeviceClipBounds() const;
  void FillDevice(const Rect& deviceRect, Pixel p);
  void UpdateClip();
  void ApplyRop(const Rect& deviceRect, const Bitmap* src, int srcDx, int srcDy,
                std::uint32_t rop);
  void PenPixel(int x, int y, Pixel p);  // device coordinates, clipped, pen width
  void DrawLineDevice(int x0, int y0, int x1, int y1);

  struct State {
    Point origin;
    Region appClip;
    bool hasAppClip;
    Pen pen;
    Brush brush;
    Font font;
    Color textColor, bkColor;
    int bkMode, stretchMode;
    Point penPos;
  };

  Bitmap* m_target;
  Point m_creationOrigin;
  Point m_origin;
  Region m_baseClip;   // bitmap coordinates, inside the bitmap
  Region m_appClip;    // bitmap coordinates, as selected (not cut by m_baseClip)
  bool m_hasAppClip = false;
  Region m_clip;       // effective: m_baseClip cut by m_appClip
  Pen m_pen;
  Brush m_brush;
  Font m_font;
  Color m_textColor = clBlack;
  Color m_bkColor = clWhite;
  int m_bkMode = OPAQUE;
  int m_stretchMode = BLACKONWHITE;
  Point m_penPos;
  int m_penPatternPos = 0;  // where a styled pen's pattern continues on the next line
  std::vector<State> m_saved;
};

// RAII guard: saves the context's state and restores it when it goes out of scope.
class DCState {
 public:
  explicit DCState(DC& dc) : m_dc(dc), m_level(dc.SaveDC()) {}
  ~DCState() { m_dc.RestoreDC(m_level); }
  DCState(const DCState&) = delete;
  DCState& operator=(const DCState&) = delete;

 private:
  DC& m_dc;
  int m_level;
};

constexpr Color CLR_INVALID = 0xFFFFFFFF;

// The platform's entry points, over the class above.
using HDC = DC*;
inline bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, std::uint32_t rop) {
  dst->BitBlt(x, y, w, h, *src, sx, sy, rop);
  return true;
}
inline bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw,
                       int sh, std::uint32_t rop) {
  dst->StretchBlt(x, y, w, h, *src, sx, sy, sw, sh, rop);
  return true;
}
inline bool TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw,
                           int sh, Color transparent) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return false;
  dst->TransparentBlt(x, y, w, h, *src, sx, sy, sw, sh, transparent);
  return true;
}
inline bool PatBlt(HDC dc, int x, int y, int w, int h, std::uint32_t rop) {
  dc->PatBlt(x, y, w, h, rop);
  return true;
}
inline int ExcludeClipRect(HDC dc, int l, int t, int r, int b) { return dc->ExcludeClipRect({l, t, r, b}); }
inline int IntersectClipRect(HDC dc, int l, int t, int r, int b) { return dc->IntersectClipRect({l, t, r, b}); }
inline int SelectClipRgn(HDC dc, HRGN rgn) { return dc->SelectClipRgn(rgn); }
inline int OffsetClipRgn(HDC dc, int dx, int dy) { return dc->OffsetClipRgn(dx, dy); }
inline int GetClipBox(HDC dc, Rect* r) {
  *r = dc->ClipBox();
  return RegionKind(dc->DeviceClip());
}
inline bool PtVisible(HDC dc, int x, int y) { return dc->PtVisible({x, y}); }
inline bool RectVisible(HDC dc, const Rect* r) { return dc->RectVisible(*r); }
inline int SaveDC(HDC dc) { return dc->SaveDC(); }
inline bool RestoreDC(HDC dc, int level) { return dc->RestoreDC(level); }
inline bool SetViewportOrgEx(HDC dc, int x, int y, Point* old) {
  const Point prev = dc->SetViewportOrg({x, y});
  if (old) *old = prev;
  return true;
}
inline int SetStretchBltMode(HDC dc, int mode) { return dc->SetStretchBltMode(mode); }
inline int SetBkMode(HDC dc, int mode) { return dc->SetBkMode(mode); }
inline Color SetBkColor(HDC dc, Color c) { return dc->SetBkColor(c); }
inline Color SetTextColor(HDC dc, Color c) { return dc->SetTextColor(c); }
inline bool MoveToEx(HDC dc, int x, int y, Point* old) {
  if (old) *old = dc->CurrentPosition();
  dc->MoveTo(x, y);
  return true;
}
inline bool LineTo(HDC dc, int x, int y) {
  dc->LineTo(x, y);
  return true;
}
inline bool Rectangle(HDC dc, int l, int t, int r, int b) {
  dc->Rectangle({l, t, r, b});
  return true;
}
inline bool Ellipse(HDC dc, int l, int t, int r, int b) {
  dc->Ellipse({l, t, r, b});
  return true;
}
inline bool DrawFocusRect(HDC dc, const Rect* r) {
  dc->DrawFocusRect(*r);
  return true;
}
inline bool InvertRect(HDC dc, const Rect* r) {
  dc->InvertRect(*r);
  return true;
}
inline Color SetPixel(HDC dc, int x, int y, Color c) {
  if (!dc->PtVisible({x, y})) return CLR_INVALID;
  dc->SetPixel(x, y, c);
  return dc->GetPixel(x, y);
}
inline Color GetPixel(HDC dc, int x, int y) { return dc->GetPixel(x, y); }
