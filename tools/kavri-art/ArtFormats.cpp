// Writing an art as text, ansi, html or svg.
#include "tools/kavri-art/ArtFormats.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/web/HtmlText.h"

namespace {

std::string HexColor(Rgb c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.r, c.g, c.b);
  return buffer;
}

std::string Sgr(bool background, Rgb c, bool trueColor) {
  const char* kind = background ? "48" : "38";
  if (trueColor)
    return "\x1b[" + std::string(kind) + ";2;" + std::to_string(c.r) + ";" + std::to_string(c.g) + ";" +
           std::to_string(c.b) + "m";
  return "\x1b[" + std::string(kind) + ";5;" + std::to_string(Palette256(c)) + "m";
}

// A comment may not hold "--" (nor so end with "-->").
std::string CommentText(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '-' && !out.empty() && out.back() == '-') out += ' ';
    out += c;
  }
  if (!out.empty() && out.back() == '-') out += ' ';
  return out;
}

}  // namespace

bool TerminalTakesTrueColor(const char* colorterm) {
  if (colorterm == nullptr) return false;
  const std::string_view v = colorterm;
  return v == "truecolor" || v == "24bit";
}

int Palette256(Rgb c) {
  // The cube's levels are 0, 95, 135, 175, 215, 255.
  static constexpr int kLevels[] = {0, 95, 135, 175, 215, 255};
  const auto nearestLevel = [](int v) {
    int best = 0;
    for (int i = 1; i < 6; ++i)
      if (std::abs(kLevels[i] - v) < std::abs(kLevels[best] - v)) best = i;
    return best;
  };
  const auto distance = [](int r, int g, int b, Rgb to) {
    return (r - to.r) * (r - to.r) + (g - to.g) * (g - to.g) + (b - to.b) * (b - to.b);
  };
  const int r = nearestLevel(c.r), g = nearestLevel(c.g), b = nearestLevel(c.b);
  const int cube = 16 + 36 * r + 6 * g + b;
  const int cubeDistance = distance(kLevels[r], kLevels[g], kLevels[b], c);
  // The grey ramp: 232 to 255 are 8, 18, ... 238.
  const int average = (c.r + c.g + c.b) / 3;
  const int step = std::min(23, std::max(0, (average - 8 + 5) / 10));
  const int grey = 8 + 10 * step;
  return distance(grey, grey, grey, c) < cubeDistance ? 232 + step : cube;
}

std::string TextArt(const ArtCells& cells, const ArtStyle& style) {
  std::string out;
  for (const std::string& line : cells.Lines(style.fill, style.back)) {
    out += line;
    out += '\n';
  }
  return out;
}

std::string AnsiArt(const ArtCells& cells, const ArtStyle& style) {
  const std::vector<std::string> lines = cells.Lines(style.fill, style.back);
  const std::string back = Sgr(true, style.backColor, style.trueColor);
  const std::string ink = Sgr(false, style.ink, style.trueColor);
  std::string out;
  for (std::size_t y = 0; y < lines.size(); ++y) {
    // The line as the text gives it (trailing blanks trimmed), cell by cell.
    const std::size_t length = lines[y].size();
    if (length > 0) {
      out += back;
      std::size_t written = 0;
      bool inInk = false;
      for (int x = 0; x < cells.Width() && written < length; ++x) {
        const bool isInk = cells.Ink(x, static_cast<int>(y));
        if (isInk != inInk) out += isInk ? ink : "\x1b[39m";
        inInk = isInk;
        const std::string& cell = isInk ? style.fill : style.back;
        const std::size_t take = std::min(cell.size(), length - written);
        out.append(cell, 0, take);
        written += take;
      }
      out += "\x1b[0m";
    }
    out += '\n';
  }
  return out;
}

std::string HtmlArt(const std::vector<ArtPiece>& pieces, const ArtStyle& style, std::string_view title) {
  std::string out =
      "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
  out += HtmlEscaped(title);
  out += "</title>\n<style>pre { line-height: 1; }</style>\n</head>\n<body>\n";
  for (const ArtPiece& piece : pieces) {
    if (!piece.heading.empty()) {
      out += "<h2>";
      out += HtmlEscaped(piece.heading);
      out += "</h2>\n";
    }
    out += "<!-- " + CommentText(piece.comment) + " -->\n";
    // A line break right after <pre> is not part of its text, so an art that starts with
    // an empty line keeps it.
    out += "<pre>\n";
    out += HtmlEscaped(TextArt(piece.cells, style));
    out += "</pre>\n";
  }
  out += "</body>\n</html>\n";
  return out;
}

std::string SvgArt(const ArtCells& cells, const ArtStyle& style) {
  const int w = cells.Width(), h = cells.Height();
  const std::string size = std::to_string(w) + " " + std::to_string(h);
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  // A cell is drawn 8 units wide by default; the viewBox lets it scale to any size.
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + size + "\" width=\"" +
         std::to_string(8 * w) + "\" height=\"" + std::to_string(8 * h) + "\" shape-rendering=\"crispEdges\">\n";
  out += "<rect class=\"back\" x=\"0\" y=\"0\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) +
         "\" fill=\"" + HexColor(style.backColor) + "\"/>\n";
  out += "<g class=\"ink\" fill=\"" + HexColor(style.ink) + "\">\n";
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w;) {
      if (!cells.Ink(x, y)) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < w && cells.Ink(x, y)) ++x;
      out += "<rect x=\"" + std::to_string(start) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
             std::to_string(x - start) + "\" height=\"1\"/>\n";
    }
  }
  out += "</g>\n</svg>\n";
  return out;
}

std::string GalleryText(const std::vector<ArtPiece>& pieces, const ArtStyle& style, bool ansi) {
  std::string out;
  for (const ArtPiece& piece : pieces) {
    out += piece.heading + "\n";
    out += ansi ? AnsiArt(piece.cells, style) : TextArt(piece.cells, style);
    out += '\n';
  }
  return out;
}
