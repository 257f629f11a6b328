// TskSkinStdLabel and TskSkinLabel: text fonts and colours from the skin, embossed when disabled.
#include "skin/controls/skSkinLabel.h"

#include "toolkit/Reader.h"

// ---- TskSkinStdLabel

TskSkinStdLabel::TskSkinStdLabel(TComponent* owner)
    : TLabel(owner), m_defaultFont(std::make_unique<TFont>()) {
  SetSkinDataName("stdlabel");
  SetTransparent(true);
  m_defaultFont->OnChange = [this](TObject*) {
    AdjustSkinBounds();
    Invalidate();
  };
}

TskSkinStdLabel::~TskSkinStdLabel() { m_defaultFont->OnChange = nullptr; }

void TskSkinStdLabel::SetSkinData(TskSkinData* data) {
  m_link.SetData(data);
  if (data) ApplySkin();
}

void TskSkinStdLabel::Notification(TComponent* component, TOperation operation) {
  TLabel::Notification(component, operation);
  if (operation != TOperation::opRemove || !m_link.Removed(component)) return;
  BeginSkinChange();
  if (!HasState(csDestroying)) ApplySkin();
}

void TskSkinStdLabel::SetUseSkinFont(bool on) {
  if (on == m_useSkinFont) return;
  m_useSkinFont = on;
  AdjustSkinBounds();
  Invalidate();
}

void TskSkinStdLabel::SetAutoSize(bool on) {
  TLabel::SetAutoSize(on);
  AdjustSkinBounds();
}

void TskSkinStdLabel::ReadSkinRecord() {
  m_link.Lookup();
  m_hasFields = false;
  if (const auto* fields = dynamic_cast<const SkinFontFields*>(m_link.Record())) {
    m_fields = *fields;
    m_hasFields = true;
  }
}

void TskSkinStdLabel::BeginSkinChange() {
  m_link.Forget();
  m_hasFields = false;
}

void TskSkinStdLabel::ApplySkin() {
  ReadSkinRecord();
  AdjustSkinBounds();
  Invalidate();
}

void TskSkinStdLabel::MakeTextFont(TFont& out) {
  ReadSkinRecord();
  const TFont& own = Font();
  if (!m_link.Record()) {
    out.Assign(m_useSkinFont ? m_defaultFont.get() : &own);
    return;
  }
  out.Assign(&own);
  if (m_hasFields) {
    if (m_useSkinFont) {
      out.SetName(m_fields.FontName);
      out.SetHeight(m_fields.FontHeight);
      out.SetStyle(m_fields.FontStyle);
    }
    out.SetColor(m_fields.FontColor);
  }
  out.SetCharset(SkinCharset(SkinData(), out.Charset()));
}

void TskSkinStdLabel::AdjustSkinBounds() {
  if (!AutoSize() || HasState(csLoading)) return;
  TBitmap measure(1, 1);
  MakeTextFont(measure.Canvas().Font());
  std::string text = Text();
  if (text.empty() || (text == "&" && ShowAccelChar())) text += ' ';
  Rect r(0, 0, WordWrap() ? std::max(Width(), 1) : 1 << 20, 0);
  measure.Canvas().DrawText(text, r, TextFormat() | DT_CALCRECT);
  const int w = WordWrap() ? Width() : r.Width();
  int left = Left();
  if (!WordWrap() && Alignment() == TAlignment::taRightJustify) left = Left() + Width() - w;
  SetBounds(left, Top(), w, r.Height());
}

void TskSkinStdLabel::TextChanged() {
  TLabel::TextChanged();
  AdjustSkinBounds();
}

void TskSkinStdLabel::FontChanged() {
  TLabel::FontChanged();
  AdjustSkinBounds();
}

void TskSkinStdLabel::Loaded() {
  TLabel::Loaded();
  AdjustSkinBounds();
}

void TskSkinStdLabel::Paint() {
  TCanvas& c = Canvas();
  Rect r = ClientRect();
  if (!Transparent()) {
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(GetColor());
    c.FillRect(r);
  }
  c.Brush().SetStyle(TBrushStyle::bsClear);
  MakeTextFont(c.Font());
  const std::string text = Text();
  const std::uint32_t format = TextFormat();
  if (Layout() != TTextLayout::tlTop) {
    Rect calc = r;
    c.DrawText(text, calc, format | DT_CALCRECT);
    int offset = r.Height() - calc.Height();
    if (Layout() == TTextLayout::tlCenter) offset /= 2;
    r.top += offset;
  }
  if (!Enabled()) {
    Rect shifted = r.Translated(1, 1);
    c.Font().SetColor(clBtnHighlight);
    c.DrawText(text, shifted, format);
    c.Font().SetColor(clBtnShadow);
  }
  c.DrawText(text, r, format);
}

bool TskSkinStdLabel::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "SkinData"))
    ReadSkinDataLink(v, reader, [this](TskSkinData* d) { SetSkinData(d); });
  else if (SameText(name, "SkinDataName")) SetSkinDataName(v.AsString());
  else if (SameText(name, "UseSkinFont")) SetUseSkinFont(v.AsBool());
  else if (SameText(name, "AutoSize")) SetAutoSize(v.AsBool());
  else return TLabel::ReadProperty(name, v, reader);
  return true;
}

TPersistent* TskSkinStdLabel::PropertyObject(std::string_view name) {
  if (SameText(name, "DefaultFont")) return m_defaultFont.get();
  return TLabel::PropertyObject(name);
}

// ---- TskSkinLabel

TskSkinLabel::TskSkinLabel(TComponent* owner) : TskGraphicSkinCustomControl(owner) {
  SetSkinDataName("label");
  SetBounds(0, 0, 65, 21);
}

void TskSkinLabel::SetAlignment(TAlignment a) {
  if (a == m_alignment) return;
  m_alignment = a;
  Invalidate();
}

void TskSkinLabel::DrawText(TCanvas& c, const Rect& area) {
  std::uint32_t format = DT_SINGLELINE | DT_VCENTER;
  if (m_alignment == TAlignment::taCenter) format |= DT_CENTER;
  else if (m_alignment == TAlignment::taRightJustify) format |= DT_RIGHT;
  Rect r = area;
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.DrawText(Caption(), r, format);
}

void TskSkinLabel::DrawDefaultImage(TBitmap& bitmap) {
  TskGraphicSkinCustomControl::DrawDefaultImage(bitmap);
  TCanvas& c = bitmap.Canvas();
  c.Font().Assign(&DefaultFont());
  c.Font().SetCharset(SkinCharset(SkinData(), DefaultFont().Charset()));
  if (!Enabled()) c.Font().SetColor(clBtnShadow);
  DrawText(c, ClientRect());
}

void TskSkinLabel::DrawSkinImage(TBitmap& bitmap) {
  TskGraphicSkinCustomControl::DrawSkinImage(bitmap);
  const auto* fields = dynamic_cast<const SkinFontFields*>(SkinRecord());
  TCanvas& c = bitmap.Canvas();
  MakeSkinCaptionFont(c.Font(), DefaultFont(), fields, UseSkinFont(),
                      fields ? fields->FontColor : DefaultFont().GetColor(), SkinData());
  Rect area = m_element.sized.clientRect;
  if (area.IsEmpty()) area = Rect(0, 0, Width(), Height());
  DrawText(c, area);
}

bool TskSkinLabel::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "Alignment")) SetAlignment(ReadAlignment(v));
  else return TskGraphicSkinCustomControl::ReadProperty(name, v, reader);
  return true;
}
