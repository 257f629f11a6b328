// kavri-art's rendering: the input memo on a headless window system, sized to the text,
// captured and scanned as the main window does it.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/ArtCells.h"
#include "core/MemoCapture.h"
#include "platform/gfx/Geometry.h"
#include "platform/win/WinTypes.h"

// The most pixels the memo may have (its capture is held twice, in the window's backing
// store and in the copy).
constexpr long long kMaxMemoPixels = 1LL << 24;

// The text needs a memo beyond the limits below.
class MemoTooLarge : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ArtRenderer {
 public:
  // Installs a headless window system (whatever display there is) with a surface window
  // holding the input memo.
  ArtRenderer();
  ~ArtRenderer();
  ArtRenderer(const ArtRenderer&) = delete;
  ArtRenderer& operator=(const ArtRenderer&) = delete;

  // The memo's text (UTF-8; malformed bytes become U+FFFD, NUL characters are dropped).
  void SetText(std::string_view utf8);
  const std::string& Text() const { return m_text; }

  // The art of the text in `font`: the memo's outer width is `width` (0: wide enough that
  // no line wraps) and its height holds every line, so no line is clipped or scrolled
  // out. Throws MemoTooLarge when the memo would exceed kMaxMemoPixels or either side
  // 32767 pixels.
  std::vector<std::string> Render(const MemoFont& font, int width, std::string_view fill,
                                  std::string_view back);
  // The same art as ink cells.
  ArtCells RenderCells(const MemoFont& font, int width);
  // The memo's outer size at the last Render.
  Size MemoSize() const { return m_size; }

  // Width in pixels of the widest line of the text in `font`, unwrapped; with
  // `inkOnly`, blanks at the ends of lines do not count.
  int WidestLine(const MemoFont& font, bool inkOnly = false) const;

 private:
  // The memo laid out as Render says, captured.
  std::unique_ptr<Bitmap> Capture(const MemoFont& font, int width);
  // Throws when the size is beyond the limits.
  void Resize(long long width, long long height);

  HWND m_surface = nullptr;
  HWND m_memo = nullptr;
  std::string m_text;
  Size m_size;
};
