// Item text: drawn only inside the item rectangle, from left + indent + 2, vertically centred.
#include <gtest/gtest.h>

#include "platform/gfx/DC.h"
#include "skin/controls/skImageDraw.h"

namespace {

const Pixel kPaper = MakePixel(255, 255, 255);

Rect InkBounds(const Bitmap& b) {
  Rect r;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.At(x, y) != kPaper) r = r.United({x, y, x + 1, y + 1});
  return r;
}

}  // namespace

TEST(ItemTextTest, ClippedToTheItemAndPlacedByIndent) {
  const Rect item{10, 20, 60, 44};
  Bitmap b(120, 70, kPaper);
  DC dc(b);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(clBlack);
  const Size extent = dc.GetTextExtent("WWWWWWWWWWWW");
  ASSERT_GT(extent.cx, item.Width());  // the text is longer than the item
  DrawItemText(dc, "WWWWWWWWWWWW", item, 5);
  const Rect ink = InkBounds(b);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_TRUE(item.Contains(ink)) << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
  EXPECT_GE(ink.left, item.left + 5 + 2);
  EXPECT_EQ(ink.right, item.right);  // cut at the right edge
  // The text cell starts at top + height div 2 - text height div 2.
  const int cellTop = item.top + item.Height() / 2 - extent.cy / 2;
  EXPECT_GE(ink.top, cellTop);
  EXPECT_LE(ink.bottom, cellTop + extent.cy);
  // The context's clip is given back.
  dc.FillRect({0, 0, 2, 2}, clRed);
  EXPECT_EQ(b.At(1, 1), MakePixel(255, 0, 0));
}
