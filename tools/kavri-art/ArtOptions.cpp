// Parsing of kavri-art's command line.
#include "tools/kavri-art/ArtOptions.h"

#include <charconv>
#include <optional>
#include <string_view>

#include "core/FontSizes.h"

namespace {

int ParseInt(std::string_view name, std::string_view text, int low, int high) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    throw UsageError(std::string(name) + " wants a whole number, not \"" + std::string(text) + "\"");
  if (value < low || value > high)
    throw UsageError(std::string(name) + " must be from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not " + std::to_string(value));
  return value;
}

enum class Opt { Font, Size, Bold, Italic, Fill, Back, Width, MaxCols, ListFonts, Help, Version };

struct OptInfo {
  Opt opt;
  std::string_view longName;
  char shortName;  // 0: none
  bool takesValue;
};

constexpr OptInfo kOptions[] = {
    {Opt::Font, "font", 'f', true},          {Opt::Size, "size", 's', true},
    {Opt::Bold, "bold", 'b', false},         {Opt::Italic, "italic", 'i', false},
    {Opt::Fill, "fill", 0, true},            {Opt::Back, "back", 0, true},
    {Opt::Width, "width", 'w', true},        {Opt::MaxCols, "max-cols", 0, true},
    {Opt::ListFonts, "list-fonts", 0, false}, {Opt::Help, "help", 'h', false},
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

void Apply(ArtOptions& out, const OptInfo& info, std::string_view value) {
  const std::string name = "--" + std::string(info.longName);
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
    case Opt::Fill: out.fill = std::string(value); break;
    case Opt::Back: out.back = std::string(value); break;
    case Opt::Width: out.width = ParseInt(name, value, 1, kMaxMemoWidth); break;
    case Opt::MaxCols: out.maxCols = ParseInt(name, value, 1, 1 << 20); break;
    case Opt::ListFonts: out.listFonts = true; break;
    case Opt::Help: out.help = true; break;
    case Opt::Version: out.version = true; break;
  }
}

}  // namespace

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
      if (info == nullptr) throw UsageError("unknown option --" + std::string(name));
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
      if (info == nullptr) throw UsageError("unknown option -" + std::string(1, arg[k]));
      if (!info->takesValue) {
        Apply(out, *info, "");
        continue;
      }
      const std::string shown = "-" + std::string(1, arg[k]);
      Apply(out, *info, k + 1 < arg.size() ? arg.substr(k + 1) : nextValue(shown));
      break;
    }
  }
  return out;
}

const char* ArtUsageText() {
  return "usage: kavri-art [options] [TEXT...]\n"
         "Turns a text into character art: the text is drawn in a memo as the Kavri window\n"
         "shows it, and every pixel becomes a cell, the fill where ink touches it and the\n"
         "background where it is white. TEXT is the arguments joined by spaces; without\n"
         "any, all of standard input. Put -- before a text that starts with '-'.\n"
         "\n"
         "  -f, --font NAME     face name (default \"宋体\"); see --list-fonts\n"
         "  -s, --size POINTS   size in points, 1 to 40 (default 12)\n"
         "  -b, --bold          bold\n"
         "  -i, --italic        italic\n"
         "      --fill TEXT     the cell for ink (default \"爱\")\n"
         "      --back TEXT     the cell for background (default two spaces)\n"
         "                      (a cell is two columns: longer texts are cut, shorter padded)\n"
         "  -w, --width PIXELS  the memo's outer width; the text wraps as in the window\n"
         "                      (default: wide enough that no line wraps)\n"
         "      --max-cols N    the largest size (up to --size, else 40) whose lines fit\n"
         "                      in N columns\n"
         "      --list-fonts    list the face names that can be chosen\n"
         "  -h, --help          show this text\n"
         "      --version       show the version\n"
         "\n"
         "Exit status: 0 done; 1 failure; 2 usage error; 3 the font cannot be found;\n"
         "4 some characters no installed face can draw (named on standard error; the art\n"
         "is still printed).\n";
}
