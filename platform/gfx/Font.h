// Font: a face name, height and style resolved to an installed face through fontconfig and
// drawn with FreeType; glyphs are cached per face, size and style.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

class Bitmap;
class Region;

// Height follows the platform: negative is the character height in pixels (the em size),
// positive the cell height (ascent + descent), zero a default of 16-pixel cells.
struct FontSpec {
  std::string face = "MS Sans Serif";
  int height = -11;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;

  bool operator==(const FontSpec&) const = default;
};

// Points to a negative height at 96 dots per inch, and back.
int PointsToHeight(int points);
int HeightToPoints(int height);

struct TextMetrics {
  int height = 0;  // ascent + descent
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;
  int externalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  // Decoration lines: offset of the line's top from the top of the cell, and thickness.
  int underlineOffset = 0;
  int underlineThickness = 1;
  int strikeOutOffset = 0;
  int strikeOutThickness = 1;
};

class FontFace;  // the resolved face and its glyph cache, shared between equal fonts

class Font {
 public:
  Font();  // the default font: "MS Sans Serif", -11
  explicit Font(const FontSpec& spec);

  const FontSpec& Spec() const { return m_spec; }
  const TextMetrics& Metrics() const;
  // Width of a UTF-8 text in pixels (sum of advances; control characters take none).
  int TextWidth(std::string_view utf8) const;
  int CharWidth(char32_t codepoint) const;
  Size TextExtent(std::string_view utf8) const;
  // Draws a UTF-8 line with the top of its cell at (x, y) in device coordinates of
  // `target`, only inside `clip`; smoothed edges are blended with what is below.
  // Underline and strike-out lines span the text's advance.
  void Draw(Bitmap& target, int x, int y, std::string_view utf8, Color color,
            const Region& clip) const;
  // The family name of the installed face the font resolved to.
  std::string ResolvedFamily() const;
  // The family of the face that draws `codepoint` (the resolved face or a fallback).
  std::string FamilyFor(char32_t codepoint) const;
  // Whether some installed face (the face or a fallback) has a glyph for `codepoint`.
  bool CanDraw(char32_t codepoint) const;
  // Whether the resolved face itself has a glyph for `codepoint` (no fallback).
  bool HasOwnGlyph(char32_t codepoint) const;
  // Whether glyphs of the resolved face come from embedded bitmaps at this size.
  bool UsesBitmapStrike() const;

 private:
  FontSpec m_spec;
  std::shared_ptr<FontFace> m_face;
};

// Sorted, distinct family names of the installed faces (EnumFontFamilies), with the
// alias names of our font configuration whose faces are installed; cached after the
// first call.
const std::vector<std::string>& FontFamilies();
// The same list built afresh from a font-list query.
std::vector<std::string> QueryFontFamilies();
// Whether some installed face has the family `name` in any of its languages (fontconfig's
// comparison: case and blanks do not count).
bool FontFamilyInstalled(std::string_view name);
// Whether this process has loaded the font configuration: fonts found in the face file
// cache are drawn without it.
bool FontConfigurationLoaded();

// The font configuration compiled into the program (assets/fonts/kavri-fonts.conf).
std::string_view FontAliasConfig();
