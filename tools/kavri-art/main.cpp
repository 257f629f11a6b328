// kavri-art: the character-art converter on the command line.
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <iterator>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "core/CellString.h"
#include "core/FontSizes.h"
#include "platform/gfx/Font.h"
#include "platform/sys/FileIo.h"
#include "platform/sys/Utf8.h"
#include "tools/kavri-art/ArtFormats.h"
#include "tools/kavri-art/ArtOptions.h"
#include "tools/kavri-art/ArtRenderer.h"

namespace {

constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;
constexpr int kFontNotFound = 3;
constexpr int kUndrawable = 4;

constexpr const char* kVersionText = "kavri-art 10\n";
constexpr const char* kGallerySample = "Kavri 爱";

// An art that shows nothing although the text has something to show; the message says
// what to change.
class NoInk : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The output went to a pipe whose reader has gone.
class ClosedPipe : public std::runtime_error {
 public:
  ClosedPipe() : std::runtime_error("closed pipe") {}
};

// Family names as fontconfig compares them: ASCII case and blanks do not count.
std::string FamilyKey(std::string_view name) {
  std::string key;
  for (char c : name) {
    if (c == ' ') continue;
    key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  return key;
}

// The families an alias of our font configuration prefers, in order; empty when `name`
// is no alias there.
std::vector<std::string> AliasPreferences(const std::string& name) {
  const std::string_view xml = FontAliasConfig();
  const auto familyAt = [&](std::size_t open, std::size_t& close) {
    close = xml.find("</family>", open);
    return close == std::string_view::npos ? std::string_view() : xml.substr(open + 8, close - open - 8);
  };
  for (std::size_t at = xml.find("<alias"); at != std::string_view::npos; at = xml.find("<alias", at + 1)) {
    const std::size_t end = xml.find("</alias>", at);
    const std::size_t prefer = xml.find("<prefer>", at);
    if (end == std::string_view::npos || prefer > end) break;
    std::size_t close = 0;
    const std::size_t first = xml.find("<family>", at);
    if (first > prefer || FamilyKey(familyAt(first, close)) != FamilyKey(name)) continue;
    std::vector<std::string> preferred;
    for (std::size_t open = xml.find("<family>", prefer); open < end; open = xml.find("<family>", close))
      preferred.emplace_back(familyAt(open, close));
    return preferred;
  }
  return {};
}

// fontconfig always finds some face; a font counts as found when the face it resolves to
// carries the name asked for, the name is an alias of ours that resolved to a face it
// prefers, one of the listed families, or one of the generic families every font
// configuration defines.
bool FontFound(const MemoFont& font) {
  const std::string wanted = FamilyKey(font.face);
  if (wanted == "sans-serif" || wanted == "serif" || wanted == "monospace") return true;
  const std::string resolved = FamilyKey(Font(MemoFontSpec(font)).ResolvedFamily());
  if (resolved == wanted) return true;
  for (const std::string& preferred : AliasPreferences(font.face))
    if (FamilyKey(preferred) == resolved) return true;
  for (const std::string& family : FontFamilies())
    if (FamilyKey(family) == wanted) return true;
  return FontFamilyInstalled(font.face);
}

// The characters of `text` no installed face can draw, each once, in order of appearance.
std::vector<char32_t> Undrawable(const std::string& text, const MemoFont& font) {
  const Font platformFont(MemoFontSpec(font));
  std::set<char32_t> seen;
  std::vector<char32_t> out;
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char c = DecodeUtf8(text, pos);
    pos += c.length;
    // Control characters are layout, not drawing.
    if (c.code < 0x20 || c.code == 0x7F || (c.code >= 0x80 && c.code < 0xA0)) continue;
    if (seen.insert(c.code).second && !platformFont.CanDraw(c.code)) out.push_back(c.code);
  }
  return out;
}

bool IsControl(char32_t c) { return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0); }

// Whether the resolved face of `font` draws every character of `text` itself.
bool DrawsAll(const MemoFont& font, std::string_view text) {
  const Font platformFont(MemoFontSpec(font));
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char c = DecodeUtf8(text, pos);
    pos += c.length;
    if (!IsControl(c.code) && !platformFont.HasOwnGlyph(c.code)) return false;
  }
  return true;
}

int LongestLine(const std::vector<std::string>& lines) {
  int widest = 0;
  for (const std::string& line : lines) widest = std::max(widest, DisplayWidth(line));
  return widest;
}

// Columns the art takes as written: the longest line, or the cropped cells two columns each.
int ArtColumns(const ArtCells& cells, const ArtStyle& style, bool cropped) {
  if (cropped) return 2 * cells.Cropped().Width();
  return LongestLine(cells.Lines(style.fill, style.back));
}

bool HasVisibleText(std::string_view text);

// An art fits when it is no wider than allowed, and shows ink where the text has some to
// show: at the smallest sizes a text may leave no ink at all, which fits any width.
bool Fits(const ArtCells& cells, const ArtOptions& options, const ArtStyle& style, bool wantInk) {
  if (wantInk && !cells.AnyInk()) return false;
  if (options.maxCols > 0 && ArtColumns(cells, style, false) > options.maxCols) return false;
  if (options.fit > 0 && ArtColumns(cells, style, true) > options.fit) return false;
  return true;
}

// The art at the largest size up to `upper` that fits --max-cols and --fit.
ArtCells RenderFitting(ArtRenderer& renderer, const ArtOptions& options, const ArtStyle& style) {
  const int upper = options.sizeGiven ? options.font.points : kFontSizeCount;
  MemoFont font = options.font;
  std::optional<MemoTooLarge> tooLarge;
  const int limit = options.maxCols > 0 && options.fit > 0 ? std::min(options.maxCols, options.fit)
                                                           : std::max(options.maxCols, options.fit);
  const bool wantInk = HasVisibleText(renderer.Text());
  for (int points = upper; points >= 1; --points) {
    font.points = points;
    // Without wrapping the ink reaches at least the pen position of a line's last
    // visible glyph, its advances less that glyph's (under two ems): sizes that cannot
    // fit by far are not drawn at all. Cropping takes off blank columns before the ink
    // too, so --fit alone is only tried.
    if (options.width == 0 && options.maxCols > 0) {
      const int em = -PointsToHeight(points);
      if (2LL * (renderer.WidestLine(font, true) - 2 * em) > options.maxCols) continue;
    }
    try {
      ArtCells cells = renderer.RenderCells(font, options.width);
      if (Fits(cells, options, style, wantInk)) return cells;
    } catch (const MemoTooLarge& e) {
      // A smaller size needs a smaller memo.
      tooLarge = e;
    }
  }
  if (tooLarge) throw *tooLarge;
  throw NoInk("no size from 1 to " + std::to_string(upper) + " points fits the art in " + std::to_string(limit) +
              " columns; allow more columns (" + (options.fit > 0 ? "--fit" : "--max-cols") +
              ") or let the text wrap in a narrower memo (--width)");
}

std::string ReadAll(std::istream& in) {
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Join(const std::vector<std::string>& words) {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += ' ';
    text += words[i];
  }
  return text;
}

std::string Hex(char32_t c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
  return buffer;
}

std::string InputText(const ArtOptions& options) {
  if (options.textGiven) return Join(options.words);
  if (options.inputFile && *options.inputFile != "-") {
    const std::optional<std::string> content = ReadFileIfExists(*options.inputFile);
    if (!content) throw std::runtime_error("cannot read " + *options.inputFile + ": no such file");
    return *content;
  }
  if (options.gallery && !options.inputFile) return kGallerySample;
  return ReadAll(std::cin);
}

// Writes all of `data` to standard output; a reader that went away is no error to report.
void WriteStdout(const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const std::size_t n = std::fwrite(data.data() + done, 1, data.size() - done, stdout);
    done += n;
    if (n == 0) break;
  }
  if (done == data.size() && std::fflush(stdout) == 0) return;
  if (errno == EPIPE) throw ClosedPipe();
  throw std::runtime_error("could not write the art");
}

void Emit(const ArtOptions& options, const std::string& data) {
  if (options.outputFile)
    WriteFileAtomically(*options.outputFile, data);
  else
    WriteStdout(data);
}

void ChatWarnings(const ArtOptions& options, const std::string& back) {
  const auto warnWidth = [](const char* what, const std::string& text, const std::string& cell) {
    const int columns = DisplayWidth(text);
    if (columns == 2) return;
    std::fprintf(stderr, "kavri-art: warning: the %s \"%s\" is %d column%s wide, not 2; it is %s to \"%s\"\n",
                 what, text.c_str(), columns, columns == 1 ? "" : "s", columns < 2 ? "padded" : "cut", cell.c_str());
  };
  warnWidth("fill", options.fill, NormalizeCellString(options.fill));
  warnWidth("background", back, NormalizeCellString(back));
  // Two narrow characters are two columns too, but a chat's proportional face gives them
  // another width than a wide one.
  if (DisplayWidth(options.fill) == 2) {
    const Utf8Char first = DecodeUtf8(options.fill, 0);
    if (first.length != options.fill.size() || CharWidth(first.code) != 2)
      std::fprintf(stderr, "kavri-art: warning: the fill \"%s\" is not one wide character; chats may not keep "
                   "it aligned\n", options.fill.c_str());
  }
}

std::string Describe(const MemoFont& font) {
  std::string text = "kavri-art: face \"" + font.face + "\", " + std::to_string(font.points) + " points";
  if (font.bold) text += ", bold";
  if (font.italic) text += ", italic";
  return text;
}

bool HasVisibleText(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char c = DecodeUtf8(text, pos);
    pos += c.length;
    if (c.code > 0x20 && !IsControl(c.code) && c.code != 0x3000 && c.code != 0xA0) return true;
  }
  return false;
}

int ListFonts(const ArtOptions& options) {
  std::string out;
  for (const std::string& family : FontFamilies()) {
    if (options.canDraw) {
      MemoFont font = options.font;
      font.face = family;
      if (!DrawsAll(font, *options.canDraw)) continue;
    }
    out += family + "\n";
  }
  Emit(options, out);
  return kOk;
}

int Gallery(const ArtOptions& options, const ArtStyle& style, ArtRenderer& renderer) {
  std::vector<ArtPiece> pieces;
  for (const std::string& family : FontFamilies()) {
    MemoFont font = options.font;
    font.face = family;
    // Each face once, under its own name: aliases and names in other languages of a face
    // resolve to a face of another name.
    if (FamilyKey(Font(MemoFontSpec(font)).ResolvedFamily()) != FamilyKey(family)) continue;
    if (!DrawsAll(font, renderer.Text())) continue;
    ArtOptions faceOptions = options;
    faceOptions.font = font;
    ArtCells cells = options.maxCols > 0 || options.fit > 0 ? RenderFitting(renderer, faceOptions, style)
                                                            : renderer.RenderCells(font, options.width);
    if (options.crop || options.fit > 0) cells = cells.Cropped();
    pieces.push_back({family, Describe(font), std::move(cells)});
  }
  if (pieces.empty()) throw NoInk("no installed face draws all of the text itself");
  if (options.format == ArtFormat::Html)
    Emit(options, HtmlArt(pieces, style, "Kavri gallery"));
  else
    Emit(options, GalleryText(pieces, style, options.format == ArtFormat::Ansi));
  return kOk;
}

int Run(std::span<const char* const> args) {
  // A reader that goes away is seen as a failed write, and ends the program quietly.
  std::signal(SIGPIPE, SIG_IGN);
  const ArtOptions options = ParseArtOptions(args);
  if (options.help) {
    Emit(options, ArtUsageText());
    return kOk;
  }
  if (options.version) {
    Emit(options, kVersionText);
    return kOk;
  }
  if (options.listFonts) return ListFonts(options);
  if (!options.gallery && !FontFound(options.font)) {
    std::fprintf(stderr, "kavri-art: font not found: %s (see kavri-art --list-fonts)\n",
                 options.font.face.c_str());
    return kFontNotFound;
  }
  ArtStyle style;
  const std::string back = options.chat && !options.backGiven ? "\u3000" : options.back;
  style.fill = NormalizeCellString(options.fill);
  style.back = NormalizeCellString(back);
  style.ink = options.inkColor;
  style.backColor = options.backColor;
  style.trueColor = TerminalTakesTrueColor(std::getenv("COLORTERM"));
  if (options.chat) ChatWarnings(options, back);

  ArtRenderer renderer;
  renderer.SetText(InputText(options));
  if (options.gallery) return Gallery(options, style, renderer);

  ArtCells cells = options.maxCols > 0 || options.fit > 0 ? RenderFitting(renderer, options, style)
                                                          : renderer.RenderCells(options.font, options.width);
  if (options.crop || options.fit > 0) cells = cells.Cropped();
  if (HasVisibleText(renderer.Text())) {
    if (!cells.AnyInk())
      throw NoInk(options.width > 0
                      ? "the art has no ink: a memo " + std::to_string(options.width) +
                            " pixels wide shows none of the text; give a larger --width"
                      : "the art has no ink: the memo shows none of the text; choose a larger --size");
    const bool blankFill = style.fill.find_first_not_of(" ") == std::string::npos;
    if (blankFill && options.format != ArtFormat::Svg)
      throw NoInk("the fill is blank, so the art shows no ink; give --fill a visible character");
  }
  switch (options.format) {
    case ArtFormat::Text: Emit(options, TextArt(cells, style)); break;
    case ArtFormat::Ansi: Emit(options, AnsiArt(cells, style)); break;
    case ArtFormat::Svg: Emit(options, SvgArt(cells, style)); break;
    case ArtFormat::Html: {
      const std::string text = renderer.Text();
      const std::string title = text.substr(0, std::min(text.find_first_of("\r\n"), text.size()));
      Emit(options, HtmlArt({{"", Describe(options.font), std::move(cells)}}, style,
                            title.empty() ? "Kavri" : std::string(CutUtf8(title, 80))));
      break;
    }
  }
  const std::vector<char32_t> missing = Undrawable(renderer.Text(), options.font);
  for (char32_t c : missing)
    std::fprintf(stderr, "kavri-art: no installed face can draw %s %s\n", Hex(c).c_str(),
                 EncodeUtf8(c).c_str());
  return missing.empty() ? kOk : kUndrawable;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::span<const char* const>(argv + 1, argc > 0 ? argc - 1 : 0));
  } catch (const UsageError& e) {
    std::fprintf(stderr, "kavri-art: %s\nTry 'kavri-art --help'.\n", e.what());
    return kUsage;
  } catch (const ClosedPipe&) {
    // As a program killed by the pipe's signal would end, without a word.
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
    return kFailure;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kavri-art: %s\n", e.what());
    return kFailure;
  }
}
