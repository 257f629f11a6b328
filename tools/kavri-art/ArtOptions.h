// kavri-art's command line: the options, their defaults and their parsing.
#pragma once

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

struct ArtOptions {
  MemoFont font;            // face "宋体", 12 points, no style
  bool sizeGiven = false;   // -s was given (an upper bound for --max-cols)
  std::string fill = "爱";  // as given; normalised by the caller
  std::string back = "  ";
  int width = 0;            // outer memo width in pixels; 0: wide enough for every line
  int maxCols = 0;          // 0: no limit
  bool listFonts = false;
  bool help = false;
  bool version = false;
  bool textGiven = false;   // words came on the command line (else standard input)
  std::vector<std::string> words;
};

// Options may come anywhere among the words; "--" ends them. Long options take their
// value as "--name=VALUE" or as the next argument, short ones as "-sVALUE" or the next
// argument, and short flags combine ("-bi"). Throws UsageError.
ArtOptions ParseArtOptions(std::span<const char* const> args);

// The text of --help.
const char* ArtUsageText();
