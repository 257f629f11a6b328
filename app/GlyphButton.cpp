// TGlyphButton: the plain button's face with a glyph in its middle.
#include "app/GlyphButton.h"

TGlyphButton::TGlyphButton(TComponent* owner) : TButton(owner), m_glyph(std::make_unique<TBitmap>()) {
  m_glyph->OnChange = [this](TObject*) {
    const bool keyed = !m_glyph->Image().HasAlpha();
    if (m_glyph->Transparent() != keyed) m_glyph->SetTransparent(keyed);  // fires again
    Invalidate();
  };
}

TGlyphButton::~TGlyphButton() = default;

void TGlyphButton::Paint() {
  TButton::Paint();
  if (m_glyph->Empty()) return;
  const Rect r = ClientRect();
  int x = r.left + (r.Width() - m_glyph->Width()) / 2;
  int y = r.top + (r.Height() - m_glyph->Height()) / 2;
  if (Pressed()) {
    ++x;
    ++y;
  }
  Canvas().Draw(x, y, m_glyph.get());
}
