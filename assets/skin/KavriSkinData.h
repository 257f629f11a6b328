// Kavri's built-in pictures: the stored skin both windows carry, and their button glyphs.
// The bytes are generated at build time (assets/CMakeLists.txt) into kavri_skinassets.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

// The stored skin's compressed bytes, exactly as a window's "CompressedData" property
// holds them (a zlib stream of the skin package).
std::span<const unsigned char> KavriStoredSkin();

// A button glyph as a whole BMP file, by name; empty for a name that is not one of these:
//   main window (16 x 16): "main_convert", "main_help", "main_about" (32 bits with alpha),
//     "main_bold", "main_italic" (16 colours);
//   about window (20 x 20): "about_back", "about_forward", "about_export" (256 colours),
//     "about_about", "about_home", "about_email", "about_guestbook" (true colour).
// Where a glyph has no alpha, its bottom-left pixel's colour (magenta) is its transparent
// colour, as glyph strips are drawn.
std::span<const unsigned char> KavriGlyph(std::string_view name);
// Every glyph name, in the order above.
std::span<const std::string_view> KavriGlyphNames();
