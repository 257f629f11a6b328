// kavri-art: the character-art converter on the command line.
#include <cstdio>
#include <exception>
#include <iostream>
#include <iterator>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include <fontconfig/fontconfig.h>

#include "core/CellString.h"
#include "core/FontSizes.h"
#include "platform/gfx/Font.h"
#include "platform/sys/Utf8.h"
#include "tools/kavri-art/ArtOptions.h"
#include "tools/kavri-art/ArtRenderer.h"

namespace {

constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;
constexpr int kFontNotFound = 3;
constexpr int kUndrawable = 4;

constexpr const char* kVersionText = "kavri-art 10\n";

// Family names as fontconfig compares them: ASCII case and blanks do not count.
std::string FamilyKey(std::string_view name) {
  std::string key;
  for (char c : name) {
    if (c == ' ') continue;
    key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  return key;
}

// Whether some installed face has a family name equal to `name` in any of its languages.
// A configuration of its own, released after, so that no process-wide one is left behind.
bool InstalledUnderAnyName(const std::string& name) {
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (config == nullptr) return false;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* set = FcFontList(config, pattern, objects);
  const bool found = set != nullptr && set->nfont > 0;
  if (set != nullptr) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  FcConfigDestroy(config);
  return found;
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
  return InstalledUnderAnyName(font.face);
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

int LongestLine(const std::vector<std::string>& lines) {
  int widest = 0;
  for (const std::string& line : lines) widest = std::max(widest, DisplayWidth(line));
  return widest;
}

// The art at the largest size up to `upper` whose lines fit in `maxCols` columns.
std::vector<std::string> RenderFitting(ArtRenderer& renderer, const ArtOptions& options,
                                       const std::string& fill, const std::string& back) {
  const int upper = options.sizeGiven ? options.font.points : kFontSizeCount;
  MemoFont font = options.font;
  std::optional<MemoTooLarge> tooLarge;
  for (int points = upper; points >= 1; --points) {
    font.points = points;
    // Without wrapping the ink reaches at least the pen position of a line's last
    // visible glyph, its advances less that glyph's (under two ems): sizes that cannot
    // fit by far are not drawn at all.
    if (options.width == 0) {
      const int em = -PointsToHeight(points);
      if (2LL * (renderer.WidestLine(font, true) - 2 * em) > options.maxCols) continue;
    }
    try {
      std::vector<std::string> lines = renderer.Render(font, options.width, fill, back);
      if (LongestLine(lines) <= options.maxCols) return lines;
    } catch (const MemoTooLarge& e) {
      // A smaller size needs a smaller memo.
      tooLarge = e;
    }
  }
  if (tooLarge) throw *tooLarge;
  throw UsageError("no size from 1 to " + std::to_string(upper) + " points fits the art in " +
                   std::to_string(options.maxCols) + " columns");
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

int Run(std::span<const char* const> args) {
  const ArtOptions options = ParseArtOptions(args);
  if (options.help) {
    std::fputs(ArtUsageText(), stdout);
    return kOk;
  }
  if (options.version) {
    std::fputs(kVersionText, stdout);
    return kOk;
  }
  if (options.listFonts) {
    for (const std::string& family : FontFamilies()) std::printf("%s\n", family.c_str());
    return std::fflush(stdout) == 0 ? kOk : kFailure;
  }
  if (!FontFound(options.font)) {
    std::fprintf(stderr, "kavri-art: font not found: %s (see kavri-art --list-fonts)\n",
                 options.font.face.c_str());
    return kFontNotFound;
  }
  const std::string fill = NormalizeCellString(options.fill);
  const std::string back = NormalizeCellString(options.back);

  ArtRenderer renderer;
  renderer.SetText(options.textGiven ? Join(options.words) : ReadAll(std::cin));
  const std::vector<std::string> lines =
      options.maxCols > 0 ? RenderFitting(renderer, options, fill, back)
                          : renderer.Render(options.font, options.width, fill, back);
  std::string out;
  for (const std::string& line : lines) {
    out += line;
    out += '\n';
  }
  if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
    std::fputs("kavri-art: could not write the art\n", stderr);
    return kFailure;
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
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kavri-art: %s\n", e.what());
    return kFailure;
  }
}
