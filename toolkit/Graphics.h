// Drawing objects of the framework: TFont, TPen, TBrush and TCanvas over a platform device
// context, with the colour and cursor identifiers the form resources use.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Color.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "toolkit/Classes.h"

class TGraphic;

// Colour names ("clBtnFace") to values and back; reading a colour from a resource takes a
// name or a number.
bool IdentToColor(std::string_view ident, Color& color);
std::string ColorToString(Color color);  // the name, or "$00BBGGRR"
Color ReadColor(const TStreamValue& value);

// Cursor identifiers (crDefault 0, crArrow -2, crIBeam -4, crHSplit -14, crVSplit -15,
// crHandPoint -21, ...), as the framework numbers them.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
TCursor ReadCursor(const TStreamValue& value);

// Font styles as a bit set.
using TFontStyles = std::uint32_t;
constexpr TFontStyles fsBold = 1;
constexpr TFontStyles fsItalic = 2;
constexpr TFontStyles fsUnderline = 4;
constexpr TFontStyles fsStrikeOut = 8;
TFontStyles ReadFontStyles(const TStreamValue& value);

constexpr int DEFAULT_CHARSET = 1;
constexpr int GB2312_CHARSET = 134;

enum class TFontPitch { fpDefault, fpVariable, fpFixed };

class TFont : public TPersistent {
 public:
  TFont();

  const std::string& Name() const { return m_name; }
  void SetName(std::string_view name);
  // Height in pixels as the platform takes it: negative is the character height, positive
  // the cell height. Size is in points at 96 dots per inch (negative for a positive height).
  int Height() const { return m_height; }
  void SetHeight(int height);
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return m_style; }
  void SetStyle(TFontStyles style);
  Color GetColor() const { return m_color; }
  void SetColor(Color color);
  int Charset() const { return m_charset; }
  void SetCharset(int charset);
  TFontPitch Pitch() const { return m_pitch; }
  void SetPitch(TFontPitch pitch);

  FontSpec Spec() const;
  // The platform font for this face, height and style (made on demand, kept until a change).
  const Font& Handle() const;

  TNotifyEvent OnChange;

  void Assign(const TPersistent* source) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  bool operator==(const TFont& o) const;

 private:
  void Changed();

  std::string m_name = "MS Sans Serif";
  int m_height = -11;
  TFontStyles m_style = 0;
  Color m_color = clWindowText;
  int m_charset = DEFAULT_CHARSET;
  TFontPitch m_pitch = TFontPitch::fpDefault;
  mutable std::unique_ptr<Font> m_handle;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode { pmCopy, pmNot, pmXor, pmMerge, pmMask };

class TPen : public TPersistent {
 public:
  Color GetColor() const { return m_color; }
  void SetColor(Color color);
  int Width() const { return m_width; }
  void SetWidth(int width);
  TPenStyle Style() const { return m_style; }
  void SetStyle(TPenStyle style);
  TPenMode Mode() const { return m_mode; }
  void SetMode(TPenMode mode);
  ::Pen Spec() const;

  TNotifyEvent OnChange;

  void Assign(const TPersistent* source) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 private:
  void Changed() { Fire(OnChange, this); }
  Color m_color = clBlack;
  int m_width = 1;
  TPenStyle m_style = TPenStyle::psSolid;
  TPenMode m_mode = TPenMode::pmCopy;
};

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagcross };

class TBrush : public TPersistent {
 public:
  Color GetColor() const { return m_color; }
  void SetColor(Color color);
  TBrushStyle Style() const { return m_style; }
  void SetStyle(TBrushStyle style);
  ::Brush Spec() const;

  TNotifyEvent OnChange;

  void Assign(const TPersistent* source) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 private:
  void Changed() { Fire(OnChange, this); }
  Color m_color = clWhite;
  TBrushStyle m_style = TBrushStyle::bsSolid;
};

// Copy modes for CopyRect and Draw.
using TCopyMode = std::uint32_t;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmWhiteness = WHITENESS;

// Drawing with the framework's pen, brush and font on a device context. The context comes
// from a subclass (a bitmap's, a control's) or is handed in with SetHandle; the pen, brush
// and font are selected into it before every operation that uses them.
class TCanvas : public TPersistent {
 public:
  TCanvas();
  ~TCanvas() override;

  // The device context, made on demand by the subclass; nullptr when there is none.
  HDC Handle();
  void SetHandle(HDC dc);  // not owned
  bool HandleAllocated() const { return m_dc != nullptr; }

  TPen& Pen() { return *m_pen; }
  TBrush& Brush() { return *m_brush; }
  TFont& Font() { return *m_font; }
  void SetFont(const TFont& font) { m_font->Assign(&font); }
  TCopyMode CopyMode() const { return m_copyMode; }
  void SetCopyMode(TCopyMode mode) { m_copyMode = mode; }

  Point PenPos() const;
  void SetPenPos(Point p) { MoveTo(p.x, p.y); }
  Rect ClipRect();

  void FillRect(const Rect& r);
  void FrameRect(const Rect& r);
  void DrawFocusRect(const Rect& r);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const std::vector<Point>& points);
  void Polygon(const std::vector<Point>& points);
  void Rectangle(int x1, int y1, int x2, int y2) { Rectangle(Rect(x1, y1, x2, y2)); }
  void Rectangle(const Rect& r);
  void Ellipse(const Rect& r);
  void TextOut(int x, int y, std::string_view text);
  // Text at (x, y) clipped to `r`; an opaque brush fills `r` first.
  void TextRect(const Rect& r, int x, int y, std::string_view text);
  int DrawText(std::string_view text, Rect& r, std::uint32_t format);
  int TextWidth(std::string_view text);
  int TextHeight(std::string_view text);
  Size TextExtent(std::string_view text);
  // A graphic at its own size, or scaled into `r`.
  void Draw(int x, int y, const TGraphic* graphic);
  void StretchDraw(const Rect& r, const TGraphic* graphic);
  // Copies `source` of another canvas into `dest` of this one (scaled when sizes differ)
  // with the copy mode.
  void CopyRect(const Rect& dest, TCanvas& canvas, const Rect& source);
  Color Pixels(int x, int y);
  void SetPixels(int x, int y, Color c);

  TNotifyEvent OnChange;

 protected:
  // Subclasses make the context here when one is asked for.
  virtual void CreateHandle() {}
  // Drops the context (the subclass frees it); the pen, brush and font stay.
  void ReleaseHandle();

 private:
  enum StateBit : unsigned { kPen = 1, kBrush = 2, kFont = 4 };
  HDC Require(unsigned state);  // throws EInvalidOperation without a context
  void Changed() { Fire(OnChange, this); }

  HDC m_dc = nullptr;
  unsigned m_selected = 0;
  std::unique_ptr<TPen> m_pen;
  std::unique_ptr<TBrush> m_brush;
  std::unique_ptr<TFont> m_font;
  TCopyMode m_copyMode = cmSrcCopy;
};

// Draws a 3-D frame `width` pixels wide inside `r` (top and left in `topLeft`, bottom and
// right in `bottomRight`) and shrinks `r` to what is inside it.
void Frame3D(TCanvas& canvas, Rect& r, Color topLeft, Color bottomRight, int width);
