// The scan that turns a captured input memo into lines of fill and background cells.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"

// Lines of character art from a capture of W x H pixels whose top-left (W-4) x (H-4)
// pixels are the memo's text area. Rows 1 to H-5 and columns 0 to W-5 are scanned (the
// text area less its top row); a pixel that is exactly white (255, 255, 255; alpha is
// ignored) gives `back`, any other pixel `fill`. Each line loses its trailing bytes 0-32,
// and the empty lines after the last non-empty one are dropped (leading empty lines
// stay). A bitmap lower than 6 pixels gives no lines. The strings are used as given;
// normalising them is the caller's business.
std::vector<std::string> ScanArtLines(const Bitmap& capture, std::string_view fill, std::string_view back);
