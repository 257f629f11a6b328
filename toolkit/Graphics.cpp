// TFont, TPen, TBrush, TCanvas and the colour and cursor identifiers.
#include "toolkit/Graphics.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "toolkit/Bitmaps.h"
#include "toolkit/Streaming.h"

namespace {

struct NamedColor {
  const char* name;
  Color color;
};

constexpr NamedColor kColors[] = {
    {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
    {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
    {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
    {"clNone", clNone}, {"clDefault", clDefault},
    {"clScrollBar", clScrollBar}, {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption}, {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu}, {"clWindow", clWindow}, {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText}, {"clWindowText", clWindowText}, {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder}, {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace}, {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText}, {"clBtnFace", clBtnFace}, {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText}, {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText}, {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight}, {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk}, {"clHotLight", clHotLight},
    {"clGradientActiveCaption", clGradientActiveCaption},
    {"clGradientInactiveCaption", clGradientInactiveCaption},
    {"clMenuHighlight", clMenuHighlight}, {"clMenuBar", clMenuBar},
};

struct NamedCursor {
  const char* name;
  TCursor cursor;
};

constexpr NamedCursor kCursors[] = {
    {"crDefault", crDefault}, {"crNone", crNone}, {"crArrow", crArrow}, {"crCross", crCross},
    {"crIBeam", crIBeam}, {"crSizeNESW", crSizeNESW}, {"crSizeNS", crSizeNS},
    {"crSizeNWSE", crSizeNWSE}, {"crSizeWE", crSizeWE}, {"crUpArrow", crUpArrow},
    {"crHourGlass", crHourGlass}, {"crDrag", crDrag}, {"crHSplit", crHSplit},
    {"crVSplit", crVSplit}, {"crNo", crNo}, {"crAppStart", crAppStart}, {"crHelp", crHelp},
    {"crHandPoint", crHandPoint}, {"crSizeAll", crSizeAll},
};

// Rounds a * b / c to the nearest integer, halves away from zero, as MulDiv does.
int MulDiv(int a, int b, int c) {
  long long p = static_cast<long long>(a) * b;
  long long q = p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c);
  return static_cast<int>(q);
}

}  // namespace

bool IdentToColor(std::string_view ident, Color& color) {
  for (const NamedColor& c : kColors) {
    if (SameText(ident, c.name)) {
      color = c.color;
      return true;
    }
  }
  return false;
}

std::string ColorToString(Color color) {
  for (const NamedColor& c : kColors)
    if (c.color == color) return c.name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(color));
  return buf;
}

Color ReadColor(const TStreamValue& value) {
  if (value.kind == TStreamValue::Kind::Ident) {
    Color c = 0;
    if (IdentToColor(value.text, c)) return c;
    throw EReadError("Invalid property value " + value.text);
  }
  return static_cast<Color>(value.AsInt());
}

TCursor ReadCursor(const TStreamValue& value) {
  if (value.kind == TStreamValue::Kind::Ident) {
    for (const NamedCursor& c : kCursors)
      if (SameText(value.text, c.name)) return c.cursor;
    throw EReadError("Invalid property value " + value.text);
  }
  return value.AsInt();
}

TFontStyles ReadFontStyles(const TStreamValue& value) {
  return value.AsSet({{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline},
                      {"fsStrikeOut", fsStrikeOut}});
}

// TFont

TFont::TFont() = default;

void TFont::Changed() {
  m_handle.reset();
  Fire(OnChange, this);
}

void TFont::SetName(std::string_view name) {
  if (name == m_name) return;
  m_name = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == m_height) return;
  m_height = height;
  Changed();
}

int TFont::Size() const { return -MulDiv(m_height, 72, 96); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, 96, 72)); }

void TFont::SetStyle(TFontStyles style) {
  if (style == m_style) return;
  m_style = style;
  Changed();
}

void TFont::SetColor(Color color) {
  if (color == m_color) return;
  m_color = color;
  // The face does not change with the colour, so the platform font is kept.
  Fire(OnChange, this);
}

void TFont::SetCharset(int charset) {
  if (charset == m_charset) return;
  m_charset = charset;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == m_pitch) return;
  m_pitch = pitch;
  Changed();
}

FontSpec TFont::Spec() const {
  FontSpec s;
  s.face = m_name;
  s.height = m_height;
  s.bold = (m_style & fsBold) != 0;
  s.italic = (m_style & fsItalic) != 0;
  s.underline = (m_style & fsUnderline) != 0;
  s.strikeOut = (m_style & fsStrikeOut) != 0;
  return s;
}

const Font& TFont::Handle() const {
  if (!m_handle) m_handle = std::make_unique<Font>(Spec());
  return *m_handle;
}

bool TFont::operator==(const TFont& o) const {
  return m_name == o.m_name && m_height == o.m_height && m_style == o.m_style &&
         m_color == o.m_color && m_charset == o.m_charset && m_pitch == o.m_pitch;
}

void TFont::Assign(const TPersistent* source) {
  if (const auto* f = dynamic_cast<const TFont*>(source)) {
    if (*f == *this) return;
    bool sameFace = f->m_name == m_name && f->m_height == m_height && f->m_style == m_style &&
                    f->m_charset == m_charset && f->m_pitch == m_pitch;
    m_name = f->m_name;
    m_height = f->m_height;
    m_style = f->m_style;
    m_color = f->m_color;
    m_charset = f->m_charset;
    m_pitch = f->m_pitch;
    if (!sameFace) m_handle.reset();
    Fire(OnChange, this);
    return;
  }
  TPersistent::Assign(source);
}

bool TFont::ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) {
  if (SameText(name, "Name")) SetName(value.AsString());
  else if (SameText(name, "Height")) SetHeight(value.AsInt());
  else if (SameText(name, "Size")) SetSize(value.AsInt());
  else if (SameText(name, "Style")) SetStyle(ReadFontStyles(value));
  else if (SameText(name, "Color")) SetColor(ReadColor(value));
  else if (SameText(name, "Charset")) {
    if (value.kind == TStreamValue::Kind::Ident)
      SetCharset(value.AsEnum({{"DEFAULT_CHARSET", DEFAULT_CHARSET}, {"ANSI_CHARSET", 0},
                               {"GB2312_CHARSET", GB2312_CHARSET}}));
    else
      SetCharset(value.AsInt());
  } else if (SameText(name, "Pitch")) {
    SetPitch(static_cast<TFontPitch>(value.AsEnum(
        {{"fpDefault", 0}, {"fpVariable", 1}, {"fpFixed", 2}})));
  } else {
    return TPersistent::ReadProperty(name, value, reader);
  }
  return true;
}

// TPen

void TPen::SetColor(Color color) {
  if (color == m_color) return;
  m_color = color;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width < 0 || width == m_width) return;
  m_width = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == m_style) return;
  m_style = style;
  Changed();
}

void TPen::SetMode(TPenMode mode) {
  if (mode == m_mode) return;
  m_mode = mode;
  Changed();
}

::Pen TPen::Spec() const {
  ::Pen p;
  switch (m_style) {
    case TPenStyle::psDash: p.style = PS_DASH; break;
    case TPenStyle::psDot:
    case TPenStyle::psDashDot:
    case TPenStyle::psDashDotDot: p.style = PS_DOT; break;
    case TPenStyle::psClear: p.style = PS_NULL; break;
    default: p.style = PS_SOLID; break;
  }
  p.width = m_width;
  p.color = ColorToRGB(m_color);
  return p;
}

void TPen::Assign(const TPersistent* source) {
  if (const auto* p = dynamic_cast<const TPen*>(source)) {
    m_color = p->m_color;
    m_width = p->m_width;
    m_style = p->m_style;
    m_mode = p->m_mode;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

bool TPen::ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) {
  if (SameText(name, "Color")) SetColor(ReadColor(value));
  else if (SameText(name, "Width")) SetWidth(value.AsInt());
  else if (SameText(name, "Style"))
    SetStyle(static_cast<TPenStyle>(value.AsEnum({{"psSolid", 0}, {"psDash", 1}, {"psDot", 2},
                                                  {"psDashDot", 3}, {"psDashDotDot", 4},
                                                  {"psClear", 5}, {"psInsideFrame", 6}})));
  else if (SameText(name, "Mode"))
    SetMode(static_cast<TPenMode>(value.AsEnum({{"pmCopy", 0}, {"pmNot", 1}, {"pmXor", 2},
                                                {"pmMerge", 3}, {"pmMask", 4}})));
  else
    return TPersistent::ReadProperty(name, value, reader);
  return true;
}

// TBrush

void TBrush::SetColor(Color color) {
  if (color == m_color && m_style != TBrushStyle::bsClear) return;
  m_color = color;
  // Giving a clear brush a colour makes it solid again, as the framework's brush does.
  if (m_style == TBrushStyle::bsClear) m_style = TBrushStyle::bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == m_style) return;
  m_style = style;
  Changed();
}

::Brush TBrush::Spec() const {
  ::Brush b;
  b.style = m_style == TBrushStyle::bsClear ? BS_NULL : BS_SOLID;
  b.color = ColorToRGB(m_color);
  return b;
}

void TBrush::Assign(const TPersistent* source) {
  if (const auto* b = dynamic_cast<const TBrush*>(source)) {
    m_color = b->m_color;
    m_style = b->m_style;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

bool TBrush::ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) {
  if (SameText(name, "Color")) SetColor(ReadColor(value));
  else if (SameText(name, "Style"))
    SetStyle(static_cast<TBrushStyle>(value.AsEnum(
        {{"bsSolid", 0}, {"bsClear", 1}, {"bsHorizontal", 2}, {"bsVertical", 3},
         {"bsFDiagonal", 4}, {"bsBDiagonal", 5}, {"bsCross", 6}, {"bsDiagcross", 7}})));
  else
    return TPersistent::ReadProperty(name, value, reader);
  return true;
}

// TCanvas

TCanvas::TCanvas()
    : m_pen(std::make_unique<TPen>()),
      m_brush(std::make_unique<TBrush>()),
      m_font(std::make_unique<TFont>()) {
  m_pen->OnChange = [this](TObject*) { m_selected &= ~kPen; };
  m_brush->OnChange = [this](TObject*) { m_selected &= ~kBrush; };
  m_font->OnChange = [this](TObject*) { m_selected &= ~kFont; };
}

TCanvas::~TCanvas() = default;

HDC TCanvas::Handle() {
  if (!m_dc) CreateHandle();
  return m_dc;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == m_dc) return;
  m_dc = dc;
  m_selected = 0;
}

void TCanvas::ReleaseHandle() {
  m_dc = nullptr;
  m_selected = 0;
}

HDC TCanvas::Require(unsigned state) {
  HDC dc = Handle();
  if (!dc) throw EInvalidOperation("Canvas does not allow drawing");
  unsigned missing = state & ~m_selected;
  if (missing & kPen) dc->SelectPen(m_pen->Spec());
  if (missing & kBrush) {
    dc->SelectBrush(m_brush->Spec());
    dc->SetBkColor(ColorToRGB(m_brush->GetColor()));
    dc->SetBkMode(m_brush->Style() == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
  }
  if (missing & kFont) {
    dc->SelectFont(m_font->Handle());
    dc->SetTextColor(ColorToRGB(m_font->GetColor()));
  }
  m_selected |= state;
  return dc;
}

Point TCanvas::PenPos() const { return m_dc ? m_dc->CurrentPosition() : Point(); }

Rect TCanvas::ClipRect() {
  HDC dc = Handle();
  return dc ? dc->ClipBox() : Rect();
}

void TCanvas::FillRect(const Rect& r) {
  HDC dc = Require(kBrush);
  if (m_brush->Style() != TBrushStyle::bsClear) dc->FillRect(r, ColorToRGB(m_brush->GetColor()));
  Changed();
}

void TCanvas::FrameRect(const Rect& r) {
  Require(kBrush)->FrameRect(r, ColorToRGB(m_brush->GetColor()));
  Changed();
}

void TCanvas::DrawFocusRect(const Rect& r) {
  Require(0)->DrawFocusRect(r);
  Changed();
}

void TCanvas::MoveTo(int x, int y) { Require(0)->MoveTo(x, y); }

void TCanvas::LineTo(int x, int y) {
  Require(kPen | kBrush)->LineTo(x, y);
  Changed();
}

void TCanvas::Polyline(const std::vector<Point>& points) {
  Require(kPen | kBrush)->Polyline(points);
  Changed();
}

void TCanvas::Polygon(const std::vector<Point>& points) {
  Require(kPen | kBrush)->Polygon(points);
  Changed();
}

void TCanvas::Rectangle(const Rect& r) {
  Require(kPen | kBrush)->Rectangle(r);
  Changed();
}

void TCanvas::Ellipse(const Rect& r) {
  Require(kPen | kBrush)->Ellipse(r);
  Changed();
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  Require(kFont | kBrush)->TextOut(x, y, text);
  Changed();
}

void TCanvas::TextRect(const Rect& r, int x, int y, std::string_view text) {
  HDC dc = Require(kFont | kBrush);
  DCState saved(*dc);
  if (m_brush->Style() != TBrushStyle::bsClear) dc->FillRect(r, ColorToRGB(m_brush->GetColor()));
  dc->IntersectClipRect(r);
  dc->SetBkMode(TRANSPARENT);
  dc->TextOut(x, y, text);
  Changed();
}

int TCanvas::DrawText(std::string_view text, Rect& r, std::uint32_t format) {
  int h = Require(kFont | kBrush)->DrawText(text, r, format);
  if (!(format & DT_CALCRECT)) Changed();
  return h;
}

Size TCanvas::TextExtent(std::string_view text) { return Require(kFont)->GetTextExtent(text); }
int TCanvas::TextWidth(std::string_view text) { return TextExtent(text).cx; }
int TCanvas::TextHeight(std::string_view text) { return TextExtent(text).cy; }

void TCanvas::Draw(int x, int y, const TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  graphic->Draw(*this, Rect::FromSize(x, y, graphic->Width(), graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const Rect& r, const TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  graphic->Draw(*this, r);
  Changed();
}

void TCanvas::CopyRect(const Rect& dest, TCanvas& canvas, const Rect& source) {
  HDC dc = Require(kBrush);
  HDC src = canvas.Handle();
  if (!src) throw EInvalidOperation("Canvas does not allow drawing");
  if (dest.Width() == source.Width() && dest.Height() == source.Height())
    dc->BitBlt(dest.left, dest.top, dest.Width(), dest.Height(), *src, source.left, source.top,
               m_copyMode);
  else
    dc->StretchBlt(dest.left, dest.top, dest.Width(), dest.Height(), *src, source.left,
                   source.top, source.Width(), source.Height(), m_copyMode);
  Changed();
}

Color TCanvas::Pixels(int x, int y) { return Require(0)->GetPixel(x, y); }

void TCanvas::SetPixels(int x, int y, Color c) {
  Require(0)->SetPixel(x, y, ColorToRGB(c));
  Changed();
}

void Frame3D(TCanvas& canvas, Rect& r, Color topLeft, Color bottomRight, int width) {
  TBrush& brush = canvas.Brush();
  Color saved = brush.GetColor();
  TBrushStyle savedStyle = brush.Style();
  for (int i = 0; i < width && !r.IsEmpty(); ++i) {
    brush.SetColor(topLeft);
    canvas.FillRect(Rect(r.left, r.top, r.right - 1, r.top + 1));
    canvas.FillRect(Rect(r.left, r.top, r.left + 1, r.bottom - 1));
    brush.SetColor(bottomRight);
    canvas.FillRect(Rect(r.left, r.bottom - 1, r.right, r.bottom));
    canvas.FillRect(Rect(r.right - 1, r.top, r.right, r.bottom));
    r.Inflate(-1, -1);
  }
  brush.SetColor(saved);
  brush.SetStyle(savedStyle);
}
