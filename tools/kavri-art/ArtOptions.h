// kavri-art's command line: the options, their defaults and their parsing.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/MemoCapture.h"

// A command line that cannot be obeyed; the message says why.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The largest outer width --width accepts, in pixels.
constexpr int kMaxMemoWidth = 32767;
// The most columns --max-cols and --fit accept.
constexpr int kMaxColumns = 1 << 20;

enum class ArtFormat { Text, Html, Ansi, Svg };

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// A colour given as a name (black, white, red, green, blue, yellow, cyan, magenta, gray,
// orange, purple, pink, brown) or as #RRGGBB; nothing when it is neither.
std::optional<Rgb> ParseColor(std::string_view text);

struct ArtOptions {
  MemoFont font;            // face "宋体", 12 points, no style
  bool sizeGiven = false;   // -s was given (an upper bound for --max-cols and --fit)
  std::string fill = "爱";  // as given; normalised by the caller
  std::string back = "  ";
  bool backGiven = false;
  int width = 0;            // outer memo width in pixels; 0: wide enough for every line
  int maxCols = 0;          // 0: no limit
  int fit = 0;              // 0: no limit on the cropped art's columns
  bool crop = false;
  bool chat = false;
  ArtFormat format = ArtFormat::Text;
  Rgb inkColor{0, 0, 0};
  Rgb backColor{255, 255, 255};
  bool gallery = false;
  bool listFonts = false;
  std::optional<std::string> canDraw;  // --list-fonts only the faces that draw all of it
  std::optional<std::string> inputFile;   // -F; "-" is standard input
  std::optional<std::string> outputFile;  // -o
  bool help = false;
  bool version = false;
  bool textGiven = false;   // words came on the command line
  std::vector<std::string> words;
};

// Options may come anywhere among the words; "--" ends them. Long options take their
// value as "--name=VALUE" or as the next argument, short ones as "-sVALUE" or the next
// argument, and short flags combine ("-bi"). Every argument but a file name must be valid
// UTF-8, and a cell (--fill, --back) must hold no control character. Throws UsageError.
ArtOptions ParseArtOptions(std::span<const char* const> args);

// The text of --help.
const char* ArtUsageText();
