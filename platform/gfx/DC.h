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

  // The origin in bitmap coordinates (SetViewportOrgEx sets it relative to the creation
  // origin; the clip stays where it is on the bitmap).
  Point Origin() const { return m_origin; }
  Point SetViewportOrg(Point logicalOrigin);

  // Clip regions are given in logical coordinates. SelectClipRgn(nullptr) removes the
  // application's clip; the creation clip always applies on top.
  int SelectClipRgn(const Region* rgn);
  int ExcludeClipRect(const Rect& r);
  int IntersectClipRect(const Rect& r);
  int OffsetClipRgn(int dx, int dy);
  Region ClipRegion() const;  // the effective clip, logical coordinates
  Rect ClipBox() const;
  bool PtVisible(Point p) const;

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
  Point CurrentPosition() const { return m_penPos; }

  // SaveDC/RestoreDC: a stack of {origin, clip, pen, brush, font, colours, modes}.
  int SaveDC();
  bool RestoreDC(int level);  // level < 0 is relative (-1: the last saved)

  // Drawing; all coordinates logical. Right and bottom edges are never drawn.
  void FillRect(const Rect& r, Color c);
  void FillRect(const Rect& r, const Brush& b);
  void FrameRect(const Rect& r, Color c);
  void InvertRect(const Rect& r);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // the end point is not drawn
  void Polyline(const std::vector<Point>& points);
  void Polygon(const std::vector<Point>& points);
  void Rectangle(const Rect& r);  // pen outline, brush inside
  void Ellipse(const Rect& r);
  void DrawFocusRect(const Rect& r);  // dotted, xor: drawing twice restores
  void SetPixel(int x, int y, Color c);
  Color GetPixel(int x, int y) const;  // CLR_INVALID outside the clip

  void BitBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, std::uint32_t rop);
  void PatBlt(int x, int y, int w, int h, std::uint32_t rop);
  void StretchBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, int sw, int sh,
                  std::uint32_t rop);
  // Copies every source pixel but those of colour `transparent`.
  void TransparentBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, int sw,
                      int sh, Color transparent);
  // Draws 24-bit top-down rows (blue, green, red; `stride` bytes a row) at (x, y).
  void SetDIBitsToDevice(int x, int y, int w, int h, const std::uint8_t* rows, int stride);
  // Draws a 32-bit bitmap with its alpha channel blended over the destination.
  void AlphaBlend(int x, int y, const Bitmap& src, const Rect& srcRect);

  // Text. TextOut draws with the top of the cell at y; with OPAQUE the cell is first filled
  // with the background colour.
  void TextOut(int x, int y, std::string_view utf8);
  // Returns the height of the drawn (or measured, with DT_CALCRECT) text; DT_CALCRECT
  // changes `r` to the text's extent and draws nothing.
  int DrawText(std::string_view utf8, Rect& r, std::uint32_t format);
  Size GetTextExtent(std::string_view utf8) const;
  TextMetrics GetTextMetrics() const;

 private:
  Rect DeviceClipBounds() const;
  void FillDevice(const Rect& deviceRect, Pixel p);

  struct State {
    Point origin;
    Region clip;
    bool hasClip;
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
  Region m_baseClip;   // bitmap coordinates
  Region m_appClip;    // bitmap coordinates, inside m_baseClip
  bool m_hasAppClip = false;
  Pen m_pen;
  Brush m_brush;
  Font m_font;
  Color m_textColor = clBlack;
  Color m_bkColor = clWhite;
  int m_bkMode = OPAQUE;
  int m_stretchMode = BLACKONWHITE;
  Point m_penPos;
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
inline int ExcludeClipRect(HDC dc, int l, int t, int r, int b) { return dc->ExcludeClipRect({l, t, r, b}); }
inline int IntersectClipRect(HDC dc, int l, int t, int r, int b) { return dc->IntersectClipRect({l, t, r, b}); }
inline int SelectClipRgn(HDC dc, HRGN rgn) { return dc->SelectClipRgn(rgn); }
inline int SaveDC(HDC dc) { return dc->SaveDC(); }
inline bool RestoreDC(HDC dc, int level) { return dc->RestoreDC(level); }
