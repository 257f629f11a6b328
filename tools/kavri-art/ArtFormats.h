// The forms kavri-art writes an art in: lines of text, an HTML page, coloured terminal
// lines and an SVG picture.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/ArtCells.h"
#include "tools/kavri-art/ArtOptions.h"

// The cells of an art with the strings and colours they are written with.
struct ArtPiece {
  std::string heading;  // a gallery's face name; empty for a single art
  std::string comment;  // what drew it (face and size), for the html page
  ArtCells cells;
};

struct ArtStyle {
  std::string fill;
  std::string back;
  Rgb ink;
  Rgb backColor;
  bool trueColor = true;  // ansi: 24-bit colour, else the 256-colour palette
};

// Whether a terminal takes 24-bit colour, from its COLORTERM (null: not set).
bool TerminalTakesTrueColor(const char* colorterm);

// The lines of one art, each ended by a line break.
std::string TextArt(const ArtCells& cells, const ArtStyle& style);
// The same characters as TextArt, with escapes that give every written cell the
// background colour and ink cells the ink colour; each line ends with a reset.
std::string AnsiArt(const ArtCells& cells, const ArtStyle& style);
// The nearest colour of the 256-colour palette (its 6x6x6 cube and grey ramp).
int Palette256(Rgb color);
// A whole UTF-8 page: per piece its heading (if any), a comment naming the face and size,
// and a <pre> whose text is TextArt's.
std::string HtmlArt(const std::vector<ArtPiece>& pieces, const ArtStyle& style, std::string_view title);
// An SVG picture of one unit per cell: a background rectangle over the whole art and one
// rectangle per horizontal run of ink cells.
std::string SvgArt(const ArtCells& cells, const ArtStyle& style);
// Text or ansi lines of several pieces: each under its heading, followed by an empty line.
std::string GalleryText(const std::vector<ArtPiece>& pieces, const ArtStyle& style, bool ansi);
