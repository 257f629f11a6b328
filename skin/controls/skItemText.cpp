// Item text of skinned lists and combo boxes: clipped to the item, vertically centred.
#include "platform/gfx/DC.h"
#include "skin/controls/skImageDraw.h"

void DrawItemText(DC& canvas, std::string_view text, const Rect& r, int indent) {
  DCState saved(canvas);
  canvas.IntersectClipRect(r);
  const Size extent = canvas.GetTextExtent(text);
  canvas.TextOut(r.left + indent + 2, r.top + r.Height() / 2 - extent.cy / 2, text);
}
