// Parsing of kavri-art's command line.
#include "tools/kavri-art/ArtOptions.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#include "core/FontSizes.h"
#include "platform/sys/Utf8.h"

namespace {

int ParseInt(std::string_view name, std::string_view text, int low, int high) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  const bool digits = !text.empty() && end == text.data() + text.size();
  if (digits && error == std::errc::result_out_of_range)
    throw UsageError(std::string(name) + " must be from " + std::to_string(low) + " to " + std::to_string(high) +
                     ", not " + std::string(text));
  if (!digits || error != std::errc())
    throw UsageError(std::string(name) + " wants a whole number, not \"" + std::string(text) + "\"");
  if (value < low || value > high)
    throw UsageError(std::string(name) + " must be from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not " + std::to_string(value));
  return value;
}

enum class Opt {
  Font, Size, Bold, Italic, Fill, Back, Width, MaxCols, Fit, Crop, Chat, Format, InkColor, BackColor,
  Gallery, ListFonts, CanDraw, Input, Output, Help, Version
};

struct OptInfo {
  Opt opt;
  std::string_view longName;
  char shortName;  // 0: none
  bool takesValue;
};

constexpr OptInfo kOptions[] = {
    {Opt::Font, "font", 'f', true},           {Opt::Size, "size", 's', true},
    {Opt::Bold, "bold", 'b', false},          {Opt::Italic, "italic", 'i', false},
    {Opt::Fill, "fill", 0, true},             {Opt::Back, "back", 0, true},
    {Opt::Width, "width", 'w', true},         {Opt::MaxCols, "max-cols", 0, true},
    {Opt::Fit, "fit", 0, true},               {Opt::Crop, "crop", 0, false},
    {Opt::Chat, "chat", 0, false},            {Opt::Format, "format", 0, true},
    {Opt::InkColor, "ink-color", 0, true},    {Opt::BackColor, "back-color", 0, true},
    {Opt::Gallery, "gallery", 0, false},      {Opt::ListFonts, "list-fonts", 0, false},
    {Opt::CanDraw, "can-draw", 0, true},      {Opt::Input, "file", 'F', true},
    {Opt::Output, "output", 'o', true},       {Opt::Help, "help", 'h', false},
    {Opt::Version, "version", 0, false},
};

const OptInfo* FindLong(std::string_view name) {
  for (const OptInfo& o : kOptions)
    if (o.longName == name) return &o;
  return nullptr;
}

const OptInfo* FindShort(char c) {
  for (const OptInfo& o : kOptions)
    if (o.shortName == c) return &o;
  return nullptr;
}

// A cell is drawn into the art, so what would move the cursor or change the terminal
// (escapes, tabs, line breaks) is refused.
void CheckCell(std::string_view name, std::string_view value) {
  for (std::size_t pos = 0; pos < value.size();) {
    const Utf8Char c = DecodeUtf8(value, pos);
    pos += c.length;
    if (c.code < 0x20 || c.code == 0x7F || (c.code >= 0x80 && c.code < 0xA0)) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c.code));
      throw UsageError(std::string(name) + " holds the control character " + code +
                       "; a cell takes printable characters only");
    }
  }
}

void Apply(ArtOptions& out, const OptInfo& info, std::string_view value) {
  const std::string name = "--" + std::string(info.longName);
  // File names are the system's bytes; everything else is text.
  if (info.opt != Opt::Input && info.opt != Opt::Output && !IsValidUtf8(value))
    throw UsageError("the value of " + name + " is not valid UTF-8");
  switch (info.opt) {
    case Opt::Font:
      if (value.empty()) throw UsageError("--font wants a face name");
      out.font.face = std::string(value);
      break;
    case Opt::Size:
      out.font.points = ParseInt(name, value, 1, kFontSizeCount);
      out.sizeGiven = true;
      break;
    case Opt::Bold: out.font.bold = true; break;
    case Opt::Italic: out.font.italic = true; break;
    case Opt::Fill:
      CheckCell(name, value);
      out.fill = std::string(value);
      break;
    case Opt::Back:
      CheckCell(name, value);
      out.back = std::string(value);
      out.backGiven = true;
      break;
    case Opt::Width: out.width = ParseInt(name, value, 1, kMaxMemoWidth); break;
    case Opt::MaxCols: out.maxCols = ParseInt(name, value, 1, kMaxColumns); break;
    case Opt::Fit: out.fit = ParseInt(name, value, 1, kMaxColumns); break;
    case Opt::Crop: out.crop = true; break;
    case Opt::Chat: out.chat = true; break;
    case Opt::Format:
      if (value == "text") out.format = ArtFormat::Text;
      else if (value == "html") out.format = ArtFormat::Html;
      else if (value == "ansi") out.format = ArtFormat::Ansi;
      else if (value == "svg") out.format = ArtFormat::Svg;
      else throw UsageError("--format is text, html, ansi or svg, not \"" + std::string(value) + "\"");
      break;
    case Opt::InkColor:
    case Opt::BackColor: {
      const std::optional<Rgb> color = ParseColor(value);
      if (!color)
        throw UsageError(name + " wants a colour name or #RRGGBB, not \"" + std::string(value) + "\"");
      (info.opt == Opt::InkColor ? out.inkColor : out.backColor) = *color;
      break;
    }
    case Opt::Gallery: out.gallery = true; break;
    case Opt::ListFonts: out.listFonts = true; break;
    case Opt::CanDraw: out.canDraw = std::string(value); break;
    case Opt::Input:
      if (value.empty()) throw UsageError("--file wants a file name, or - for standard input");
      out.inputFile = std::string(value);
      break;
    case Opt::Output:
      if (value.empty()) throw UsageError("--output wants a file name");
      out.outputFile = std::string(value);
      break;
    case Opt::Help: out.help = true; break;
    case Opt::Version: out.version = true; break;
  }
}

}  // namespace

std::optional<Rgb> ParseColor(std::string_view text) {
  struct Named {
    std::string_view name;
    Rgb rgb;
  };
  static constexpr Named kNames[] = {
      {"black", {0, 0, 0}},        {"white", {255, 255, 255}}, {"red", {255, 0, 0}},
      {"green", {0, 128, 0}},      {"blue", {0, 0, 255}},      {"yellow", {255, 255, 0}},
      {"cyan", {0, 255, 255}},     {"magenta", {255, 0, 255}}, {"gray", {128, 128, 128}},
      {"grey", {128, 128, 128}},   {"orange", {255, 165, 0}},  {"purple", {128, 0, 128}},
      {"pink", {255, 192, 203}},   {"brown", {165, 42, 42}},
  };
  for (const Named& n : kNames)
    if (n.name == text) return n.rgb;
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data() + 1, text.data() + 7, value, 16);
  if (error != std::errc() || end != text.data() + 7) return std::nullopt;
  return Rgb{static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value)};
}

ArtOptions ParseArtOptions(std::span<const char* const> args) {
  ArtOptions out;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const auto nextValue = [&](std::string_view shown) -> std::string_view {
      if (i + 1 >= args.size()) throw UsageError(std::string(shown) + " wants a value");
      return args[++i];
    };
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      if (!IsValidUtf8(arg))
        throw UsageError("argument " + std::to_string(i + 1) + " of the text is not valid UTF-8");
      out.words.emplace_back(arg);
      out.textGiven = true;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg.starts_with("--")) {
      const std::string_view body = arg.substr(2);
      const std::size_t eq = body.find('=');
      const std::string_view name = body.substr(0, eq);
      const OptInfo* info = FindLong(name);
      if (info == nullptr)
        throw UsageError(IsValidUtf8(name) ? "unknown option --" + std::string(name)
                                           : "argument " + std::to_string(i + 1) + " is no option (not valid UTF-8)");
      std::optional<std::string_view> value;
      if (eq != std::string_view::npos) value = body.substr(eq + 1);
      if (!info->takesValue && value) throw UsageError("--" + std::string(name) + " takes no value");
      if (info->takesValue && !value) value = nextValue(arg);
      Apply(out, *info, value.value_or(""));
      continue;
    }
    // A cluster of short options: flags, and at most one value option that takes the rest.
    for (std::size_t k = 1; k < arg.size(); ++k) {
      const OptInfo* info = FindShort(arg[k]);
      if (info == nullptr) {
        const unsigned char c = static_cast<unsigned char>(arg[k]);
        throw UsageError(c < 0x80 ? "unknown option -" + std::string(1, arg[k])
                                  : "argument " + std::to_string(i + 1) + " is no option");
      }
      if (!info->takesValue) {
        Apply(out, *info, "");
        continue;
      }
      const std::string shown = "-" + std::string(1, arg[k]);
      Apply(out, *info, k + 1 < arg.size() ? arg.substr(k + 1) : nextValue(shown));
      break;
    }
  }
  if (out.textGiven && out.inputFile) throw UsageError("give the text as words or with --file, not both");
  if (out.canDraw && !out.listFonts) throw UsageError("--can-draw goes with --list-fonts");
  if (out.gallery && out.format == ArtFormat::Svg)
    throw UsageError("--gallery makes text, ansi or html; an svg holds one art");
  return out;
}

const char* ArtUsageText() {
  return "usage: kavri-art [options] [TEXT...]\n"
         "Turns a text into character art: the text is drawn in a memo as the Kavri window\n"
         "shows it, and every pixel becomes a cell, the fill where ink touches it and the\n"
         "background where it is white. TEXT is the arguments joined by spaces; without\n"
         "any, all of standard input (or the file of --file). Put -- before a text that\n"
         "starts with '-'.\n"
         "\n"
         "  -f, --font NAME     face name (default \"宋体\"); see --list-fonts\n"
         "  -s, --size POINTS   size in points, 1 to 40 (default 12)\n"
         "  -b, --bold          bold\n"
         "  -i, --italic        italic\n"
         "      --fill TEXT     the cell for ink (default \"爱\")\n"
         "      --back TEXT     the cell for background (default two spaces)\n"
         "                      (a cell is two columns: longer texts are cut, shorter padded;\n"
         "                      control characters such as tabs and escapes are refused)\n"
         "      --chat          for chats, where runs of spaces collapse: the background is\n"
         "                      the ideographic space U+3000 (unless --back is given), and a\n"
         "                      warning names a fill or background that is not exactly two\n"
         "                      columns wide or a fill that is not one wide character\n"
         "  -w, --width PIXELS  the memo's outer width; the text wraps as in the window\n"
         "                      (default: wide enough that no line wraps)\n"
         "      --crop          drop the empty rows and columns of cells around the art\n"
         "      --max-cols N    the largest size (up to --size, else 40) whose lines fit\n"
         "                      in N columns\n"
         "      --fit N         the largest size (up to --size, else 40) whose art, cropped,\n"
         "                      fits in N columns; implies --crop\n"
         "      --format FORM   text (default): the lines of cells;\n"
         "                      html: a UTF-8 page with the art in a <pre>, the face and\n"
         "                      size in a comment;\n"
         "                      ansi: the lines with ink and background cells coloured for a\n"
         "                      terminal, in 24-bit colour when COLORTERM is truecolor or\n"
         "                      24bit, else in the nearest of 256 colours;\n"
         "                      svg: a scalable picture (viewBox), one rectangle per run of\n"
         "                      ink cells, one unit per cell\n"
         "      --ink-color C   colour of the ink for ansi and svg (default black)\n"
         "      --back-color C  colour of the background for ansi and svg (default white);\n"
         "                      C is #RRGGBB or black, white, red, green, blue, yellow, cyan,\n"
         "                      magenta, gray, orange, purple, pink, brown\n"
         "      --gallery       the text (default \"Kavri 爱\") drawn in every installed face\n"
         "                      that draws all of it itself, each under its face name, sorted\n"
         "  -F, --file FILE     read the text from FILE (- is standard input); malformed\n"
         "                      UTF-8 there becomes U+FFFD\n"
         "  -o, --output FILE   write to FILE: whole or not at all (a temporary file is\n"
         "                      renamed over it when everything is written)\n"
         "      --list-fonts    list the face names that can be chosen\n"
         "      --can-draw TEXT with --list-fonts: only the faces that draw all of TEXT\n"
         "  -h, --help          show this text\n"
         "      --version       show the version\n"
         "\n"
         "Exit status: 0 done; 1 failure (also: an art without a single ink cell, which is\n"
         "reported with what to change); 2 usage error (also: an argument that is not\n"
         "valid UTF-8, a cell with a control character); 3 the font cannot be found;\n"
         "4 some characters no installed face can draw (named on standard error; the art\n"
         "is still printed). A closed output pipe ends the program quietly.\n";
}
