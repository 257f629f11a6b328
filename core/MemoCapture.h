// The input memo: its look and font state, and the copy of what it displays.
#pragma once

#include <memory>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/win/WinTypes.h"

// The font state of the input memo; nothing else of its font is ever changed.
struct MemoFont {
  std::string face = "宋体";
  int points = 12;
  bool bold = false;
  bool italic = false;

  bool operator==(const MemoFont&) const = default;
};

// Width of the memo's plain frame on each side: the text area is the outer size less
// twice this each way.
constexpr int kMemoFrameWidth = 2;

// The platform font the memo draws with (points at 96 dots per inch).
FontSpec MemoFontSpec(const MemoFont& font);

// Creates the input memo as a child of `parent` with outer rectangle `bounds` (parent
// client coordinates): a multi-line edit with word wrap, no scroll bars, a 2-pixel
// frame, black text on exactly white, in `font`. The standard controls are registered
// with the current window system first. Throws std::runtime_error when the window
// cannot be created.
HWND CreateInputMemo(HWND parent, const Rect& bounds, const MemoFont& font);
// Gives the memo a new font state; the memo re-lays its text out and repaints.
void SetInputMemoFont(HWND memo, const MemoFont& font);

// A new bitmap of the memo's outer size (its window rectangle, frame included) holding
// what the screen shows from the top-left of its client area on: the top-left
// (W - 4) x (H - 4) pixels are the text area pixel for pixel, and only the lines the memo
// shows (its scroll position) are in it. Paint still pending on the memo is done first, so
// the copy shows its current text. The caller owns the bitmap. Throws
// std::invalid_argument when `memo` is not a live window and std::runtime_error when it
// gives no drawing context.
std::unique_ptr<Bitmap> MemoToBitmap(HWND memo);
