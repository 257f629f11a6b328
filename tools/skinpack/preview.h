// skinpack preview: a contact sheet of a loaded skin, so that a skin can be judged by eye.
#pragma once

#include "platform/gfx/Bitmap.h"

class TskSkinData;

// The sheet: the skin's pictures; the frame composed at 300 x 200 (active and inactive)
// and at 640 x 480 with sample controls in its client area, cut by the mask; and every
// control record's image at its own size and at twice its width (twice its height for
// records that only grow downwards), followed by its state and part images.
Bitmap BuildSkinPreview(const TskSkinData& data);
