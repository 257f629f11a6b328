// Small drawing helpers of the skinned controls: glyph-strip cells, marker arrows and check
// marks.
#include "platform/gfx/DC.h"
#include "skin/controls/skImageDraw.h"

void DrawGlyphFromStrip(DC& canvas, int x, int y, int cell, int cellCount, const Bitmap& strip) {
  if (strip.IsEmpty() || cellCount < 1) return;
  const int w = strip.Width() / cellCount;
  const int h = strip.Height();
  if (w < 1 || cell < 1 || cell > cellCount) return;
  Bitmap glyph(w, h);
  CopySkinRect(glyph, glyph.Bounds(), strip, {w * (cell - 1), 0, w * cell, h});
  const Color transparent = PixelToColor(glyph.At(0, h - 1));
  DC glyphDc(glyph);
  canvas.TransparentBlt(x, y, w, h, glyphDc, 0, 0, w, h, transparent);
}

void DrawMarkerArrow(DC& canvas, const Rect& r, Color color, int kind) {
  const int cx = r.left + r.Width() / 2;
  const int cy = r.top + r.Height() / 2;
  // Four one-pixel lines of 1, 3, 5 and 7 pixels from the tip to the base.
  for (int i = 0; i < 4; ++i) {
    switch (kind) {
      case skArrowLeft: canvas.FillRect({cx - 2 + i, cy - i, cx - 1 + i, cy + i + 1}, color); break;
      case skArrowRight: canvas.FillRect({cx + 2 - i, cy - i, cx + 3 - i, cy + i + 1}, color); break;
      case skArrowUp: canvas.FillRect({cx - i, cy - 2 + i, cx + i + 1, cy - 1 + i}, color); break;
      case skArrowDown: canvas.FillRect({cx - i, cy + 2 - i, cx + i + 1, cy + 3 - i}, color); break;
      default: return;
    }
  }
}

void DrawCheckMark(DC& canvas, int x, int y, Color color) {
  DCState saved(canvas);
  canvas.SelectPen(Pen{PS_SOLID, 1, color});
  for (int i = 0; i < 3; ++i)
    canvas.Polyline({{x, y + 5 - i}, {x + 2, y + 7 - i}, {x + 7, y + 2 - i}});
}
