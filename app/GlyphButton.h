// TGlyphButton: a plain push button that shows a glyph instead of a caption, for the
// convert button until the skinned button takes its place.
#pragma once

#include <memory>

#include "toolkit/Bitmaps.h"
#include "toolkit/StdCtrls.h"

class TGlyphButton : public TButton {
 public:
  explicit TGlyphButton(TComponent* owner);
  ~TGlyphButton() override;

  // Drawn centred over the face, one pixel down and right while pressed; a glyph without
  // alpha leaves its bottom-left colour out.
  TBitmap& Glyph() { return *m_glyph; }

 protected:
  void Paint() override;

 private:
  std::unique_ptr<TBitmap> m_glyph;
};
