// Fonts: fontconfig resolves faces and fallbacks, FreeType renders and synthesizes styles,
// glyphs are cached per face instance; metrics and line drawing.
#include "platform/gfx/Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <unordered_map>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/FaceFileCache.h"
#include "platform/gfx/FontConfigShared.h"
#include "platform/gfx/GlyphBlit.h"
#include "platform/gfx/GlyphText.h"
#include "platform/gfx/Region.h"

namespace {

// Kept identical to assets/fonts/kavri-fonts.conf (a test compares them); compiling it in
// means the mapping works wherever the executable is started from.
constexpr std::string_view kAliasConfig = R"xml(
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<!-- Kavri's face aliases: the face names the program and its skins ask for, mapped to
     installed faces. Loaded after the system configuration, so these come first. -->
<fontconfig>
  <alias binding="same">
    <family>宋体</family>
    <prefer><family>AR PL UMing CN</family><family>WenQuanYi Micro Hei</family></prefer>
  </alias>
  <alias binding="same">
    <family>新宋体</family>
    <prefer><family>AR PL UMing CN</family><family>WenQuanYi Micro Hei</family></prefer>
  </alias>
  <alias binding="same">
    <family>SimSun</family>
    <prefer><family>AR PL UMing CN</family><family>WenQuanYi Micro Hei</family></prefer>
  </alias>
  <alias binding="same">
    <family>MS Sans Serif</family>
    <prefer><family>DejaVu Sans</family></prefer>
  </alias>
  <alias binding="same">
    <family>Arial</family>
    <prefer><family>DejaVu Sans</family></prefer>
  </alias>
  <alias binding="same">
    <family>Tahoma</family>
    <prefer><family>DejaVu Sans</family></prefer>
  </alias>
</fontconfig>
)xml";

constexpr int kMaxPixelSize = 1024;  // larger requests (damaged skins) are clamped
constexpr int kDefaultCellHeight = 16;
// The slant of synthesized italics, as fontconfig's own synthetic rule uses.
constexpr double kObliqueShear = 0.2;

class FaceInstance;

}  // namespace

class FontFace;

namespace {

// The process-wide FreeType library, our fontconfig configuration (the system's
// configuration with our aliases loaded on top; one for every lookup of the process, loaded
// only when a lookup needs it) and the caches of faces made from them. Everything is
// released at exit, caches first; the face file cache is saved then.
class FontSystem {
 public:
  static FontSystem& Get() {
    static FontSystem system;
    return system;
  }
  FT_Library Library() const { return m_library; }
  FcConfig* Config() {
    if (m_config == nullptr) LoadConfig();
    return m_config;
  }
  bool ConfigLoaded() const { return m_config != nullptr; }
  std::unordered_map<std::string, std::unique_ptr<FaceInstance>>& Instances() { return m_instances; }
  std::unordered_map<std::string, std::shared_ptr<FontFace>>& Faces() { return m_faces; }
  FaceFileCache& FileCache() {
    if (!m_fileCache) {
      const std::string_view xml = kAliasConfig;
      m_fileCache = std::make_unique<FaceFileCache>(DefaultFaceCachePath(), FaceFileCache::EnvironmentLine(xml));
    }
    return *m_fileCache;
  }
  // The files and folders whose times say whether the configuration's answers still hold.
  std::vector<std::string> StampPaths() {
    std::vector<std::string> paths;
    const auto add = [&](FcStrList* list) {
      if (list == nullptr) return;
      for (FcChar8* s = FcStrListNext(list); s != nullptr; s = FcStrListNext(list))
        paths.emplace_back(reinterpret_cast<const char*>(s));
      FcStrListDone(list);
    };
    FcConfig* config = Config();
    add(FcConfigGetConfigFiles(config));
    add(FcConfigGetFontDirs(config));
    add(FcConfigGetCacheDirs(config));
    // Configuration a person may add later, which the loaded lists cannot name yet.
    const char* home = std::getenv("HOME");
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string userConfig = configHome != nullptr && configHome[0] == '/' ? configHome
                             : home != nullptr                             ? std::string(home) + "/.config"
                                                                           : "";
    if (!userConfig.empty()) {
      paths.push_back(userConfig + "/fontconfig");
      paths.push_back(userConfig + "/fontconfig/fonts.conf");
      paths.push_back(userConfig + "/fontconfig/conf.d");
    }
    if (home != nullptr) paths.push_back(std::string(home) + "/.fonts.conf");
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
  }

 private:
  FontSystem() {
    if (FT_Init_FreeType(&m_library) != 0) throw std::runtime_error("FreeType could not be initialised");
  }
  ~FontSystem();

  void LoadConfig() {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) throw std::runtime_error("fontconfig could not load its configuration");
    const std::string xml(kAliasConfig.substr(kAliasConfig.find('<')));
    if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(xml.c_str()), FcTrue)) {
      FcConfigDestroy(config);
      throw std::runtime_error("the built-in font alias configuration could not be parsed");
    }
    m_config = config;
  }

  FT_Library m_library = nullptr;
  FcConfig* m_config = nullptr;
  std::unique_ptr<FaceFileCache> m_fileCache;
  std::unordered_map<std::string, std::unique_ptr<FaceInstance>> m_instances;
  std::unordered_map<std::string, std::shared_ptr<FontFace>> m_faces;
};

int RoundScaled(long units, double scale) { return static_cast<int>(std::lround(units * scale)); }

struct Glyph {
  int left = 0;  // from the pen position to the first column
  int top = 0;   // from the baseline up to the first row
  int width = 0;
  int height = 0;
  int advance = 0;
  std::vector<std::uint8_t> coverage;  // width * height, 0..255
};

// How one installed face is drawn at one size: file, synthesis, hinting and smoothing.
struct InstanceOptions {
  std::string file;
  int index = 0;
  int ppem = 0;
  bool embolden = false;
  bool shear = false;
  FT_Matrix matrix{0x10000, 0, 0, 0x10000};
  FT_Int32 loadFlags = FT_LOAD_DEFAULT;
  bool monochrome = false;  // outlines rendered without smoothing (antialias off)

  std::string Key() const {
    return file + '\n' + std::to_string(index) + ' ' + std::to_string(ppem) + ' ' +
           std::to_string(embolden) + ' ' + std::to_string(shear) + ' ' +
           std::to_string(matrix.xx) + ',' + std::to_string(matrix.xy) + ',' +
           std::to_string(matrix.yx) + ',' + std::to_string(matrix.yy) + ' ' +
           std::to_string(loadFlags) + ' ' + std::to_string(monochrome);
  }
};

// One installed face at one size and style, with its rendered glyphs.
class FaceInstance {
 public:
  // Throws when the file cannot be opened as a face.
  explicit FaceInstance(const InstanceOptions& options) : m_options(options) {
    if (FT_New_Face(FontSystem::Get().Library(), options.file.c_str(), options.index, &m_face) != 0)
      throw std::runtime_error("cannot open the font file " + options.file);
    if (FT_IS_SCALABLE(m_face)) {
      FT_Set_Pixel_Sizes(m_face, 0, static_cast<FT_UInt>(options.ppem));
    } else if (m_face->num_fixed_sizes > 0) {
      FT_Select_Size(m_face, NearestStrike(m_face, options.ppem));
    }
    m_family = m_face->family_name ? m_face->family_name : "";
    // Strikes are used when one matches the size exactly and nothing needs slanting
    // (bitmaps cannot be); FreeType selects the strike when the size is set.
    m_bitmapStrike = !FT_IS_SCALABLE(m_face) || (!options.shear && HasStrike(m_face, options.ppem));
    if (!m_bitmapStrike) m_options.loadFlags |= FT_LOAD_NO_BITMAP;
  }
  ~FaceInstance() { FT_Done_Face(m_face); }
  FaceInstance(const FaceInstance&) = delete;
  FaceInstance& operator=(const FaceInstance&) = delete;

  FT_Face Face() const { return m_face; }
  const std::string& Family() const { return m_family; }
  const InstanceOptions& Options() const { return m_options; }
  bool BitmapStrike() const { return m_bitmapStrike; }
  FT_UInt GlyphIndex(char32_t cp) const { return FT_Get_Char_Index(m_face, cp); }

  const Glyph& GetGlyph(FT_UInt index) {
    auto it = m_glyphs.find(index);
    if (it != m_glyphs.end()) return it->second;
    return m_glyphs.emplace(index, Render(index)).first->second;
  }

 private:
  static int NearestStrike(FT_Face face, int ppem) {
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i) {
      if (std::abs(face->available_sizes[i].height - ppem) <
          std::abs(face->available_sizes[best].height - ppem))
        best = i;
    }
    return best;
  }
  static bool HasStrike(FT_Face face, int ppem) {
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
      if ((face->available_sizes[i].y_ppem + 32) / 64 == ppem) return true;
    }
    return false;
  }

  Glyph Render(FT_UInt index) {
    Glyph g;
    if (FT_Load_Glyph(m_face, index, m_options.loadFlags) != 0) return g;
    FT_GlyphSlot slot = m_face->glyph;
    if (m_options.embolden) FT_GlyphSlot_Embolden(slot);
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE && m_options.shear)
      FT_Outline_Transform(&slot->outline, &m_options.matrix);
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Render_Glyph(slot, m_options.monochrome ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
      return g;
    CopyCoverage(slot, g);
    return g;
  }

  static std::uint8_t CoverageAt(const FT_Bitmap& bm, const unsigned char* row, int x) {
    switch (bm.pixel_mode) {
      case FT_PIXEL_MODE_MONO:
        return (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      case FT_PIXEL_MODE_GRAY: {
        // Emboldened strikes come back as gray bitmaps with two levels.
        const int levels = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
        return static_cast<std::uint8_t>(std::min(255, row[x] * 255 / levels));
      }
      case FT_PIXEL_MODE_GRAY2:
        return static_cast<std::uint8_t>(((row[x >> 2] >> (6 - 2 * (x & 3))) & 3) * 85);
      case FT_PIXEL_MODE_GRAY4:
        return static_cast<std::uint8_t>(((row[x >> 1] >> (4 - 4 * (x & 1))) & 15) * 17);
      case FT_PIXEL_MODE_BGRA:
        return row[x * 4 + 3];
      default:
        return 0;
    }
  }

  static void CopyCoverage(FT_GlyphSlot slot, Glyph& g) {
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.width == 0 || bm.rows == 0 || bm.buffer == nullptr) return;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.height = static_cast<int>(bm.rows);
    g.coverage.assign(static_cast<std::size_t>(g.width) * g.height, 0);
    const int pitch = bm.pitch;
    for (int y = 0; y < g.height; ++y) {
      const unsigned char* row =
          pitch >= 0 ? bm.buffer + static_cast<std::ptrdiff_t>(y) * pitch
                     : bm.buffer + static_cast<std::ptrdiff_t>(g.height - 1 - y) * -pitch;
      std::uint8_t* out = g.coverage.data() + static_cast<std::size_t>(y) * g.width;
      for (int x = 0; x < g.width; ++x) out[x] = CoverageAt(bm, row, x);
    }
  }

  InstanceOptions m_options;
  FT_Face m_face = nullptr;
  std::string m_family;
  bool m_bitmapStrike = false;
  std::unordered_map<FT_UInt, Glyph> m_glyphs;
};

// Face instances are shared by every font that resolves to the same file, size and style.
FaceInstance& Instance(const InstanceOptions& options) {
  auto* cache = &FontSystem::Get().Instances();
  const std::string key = options.Key();
  auto it = cache->find(key);
  if (it != cache->end()) return *it->second;
  auto instance = std::make_unique<FaceInstance>(options);
  return *cache->emplace(key, std::move(instance)).first->second;
}

std::string PatternString(FcPattern* p, const char* object) {
  FcChar8* value = nullptr;
  if (FcPatternGetString(p, object, 0, &value) != FcResultMatch || value == nullptr) return {};
  return reinterpret_cast<const char*>(value);
}

// How to draw `font` (a prepared pattern) for a request: fontconfig's embolden and matrix
// where it gave them, else our own synthesis when the face lacks the requested style; and
// its hinting and smoothing choices.
InstanceOptions OptionsFor(FcPattern* font, int ppem, bool bold, bool italic) {
  InstanceOptions o;
  o.file = PatternString(font, FC_FILE);
  int index = 0;
  FcPatternGetInteger(font, FC_INDEX, 0, &index);
  o.index = index;
  o.ppem = ppem;
  int weight = FC_WEIGHT_REGULAR;
  FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
  int slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(font, FC_SLANT, 0, &slant);
  FcBool flag = FcFalse;
  if (FcPatternGetBool(font, FC_EMBOLDEN, 0, &flag) == FcResultMatch)
    o.embolden = flag == FcTrue;
  else
    o.embolden = bold && weight < FC_WEIGHT_DEMIBOLD;
  FcMatrix* m = nullptr;
  if (FcPatternGetMatrix(font, FC_MATRIX, 0, &m) == FcResultMatch && m != nullptr &&
      (m->xx != 1 || m->xy != 0 || m->yx != 0 || m->yy != 1)) {
    o.shear = true;
    o.matrix = {static_cast<FT_Fixed>(m->xx * 0x10000), static_cast<FT_Fixed>(m->xy * 0x10000),
                static_cast<FT_Fixed>(m->yx * 0x10000), static_cast<FT_Fixed>(m->yy * 0x10000)};
  } else if (italic && slant == FC_SLANT_ROMAN) {
    o.shear = true;
    o.matrix = {0x10000, static_cast<FT_Fixed>(kObliqueShear * 0x10000), 0, 0x10000};
  }
  FcBool antialias = FcTrue;
  FcPatternGetBool(font, FC_ANTIALIAS, 0, &antialias);
  o.monochrome = antialias == FcFalse;
  FcBool hinting = FcTrue;
  FcPatternGetBool(font, FC_HINTING, 0, &hinting);
  int hintStyle = FC_HINT_FULL;
  FcPatternGetInteger(font, FC_HINT_STYLE, 0, &hintStyle);
  FcBool autohint = FcFalse;
  FcPatternGetBool(font, FC_AUTOHINT, 0, &autohint);
  if (hinting == FcFalse || hintStyle == FC_HINT_NONE)
    o.loadFlags = FT_LOAD_NO_HINTING;
  else if (o.monochrome)
    o.loadFlags = FT_LOAD_TARGET_MONO;
  else if (hintStyle == FC_HINT_SLIGHT)
    o.loadFlags = FT_LOAD_TARGET_LIGHT;
  else
    o.loadFlags = FT_LOAD_TARGET_NORMAL;
  if (autohint == FcTrue) o.loadFlags |= FT_LOAD_FORCE_AUTOHINT;
  return o;
}

// Vertical extents of a face in font units, as the platform takes them: the OS/2
// Windows ascent and descent where there is such a table.
struct FaceExtents {
  long ascent = 0;
  long descent = 0;
  long lineGap = 0;
  long aveWidth = 0;
  long strikePosition = 0;
  long strikeSize = 0;
};

FaceExtents ExtentsOf(FT_Face face) {
  FaceExtents e;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    e.ascent = os2->usWinAscent;
    e.descent = os2->usWinDescent;
    e.aveWidth = os2->xAvgCharWidth;
    e.strikePosition = os2->yStrikeoutPosition;
    e.strikeSize = os2->yStrikeoutSize;
    if (hhea != nullptr) {
      const long hheaHeight = hhea->Ascender - hhea->Descender + hhea->Line_Gap;
      e.lineGap = std::max(0L, hheaHeight - (e.ascent + e.descent));
    }
  } else {
    e.ascent = face->ascender;
    e.descent = -face->descender;
    e.lineGap = std::max(0L, static_cast<long>(face->height) - (e.ascent + e.descent));
  }
  return e;
}

}  // namespace

// A resolved font: the best face for the request, its metrics, and the fallback faces
// for characters it lacks, with a code point to glyph map over all of them.
class FontFace {
 public:
  struct GlyphRef {
    const Glyph* glyph = nullptr;
    FaceInstance* face = nullptr;
  };

  explicit FontFace(const FontSpec& spec)
      : m_face(spec.face), m_bold(spec.bold), m_italic(spec.italic) {
    const int height = spec.height == 0 ? kDefaultCellHeight : spec.height;
    m_requested = height == INT_MIN ? kMaxPixelSize : std::clamp(std::abs(height), 1, kMaxPixelSize);
    // Variable parts first, so that no face name can make two requests share a key.
    const std::string key = std::to_string(m_requested) + ' ' + std::to_string(spec.bold) +
                            std::to_string(spec.italic) + ' ' + spec.face;
    FaceFileCache& cache = FontSystem::Get().FileCache();
    InstanceOptions options;
    bool fromCache = false;
    if (const std::optional<CachedFace> cached = cache.Find(key)) {
      options = FromCached(*cached);
      m_resolvedFamily = cached->family;
      fromCache = true;
    } else {
      FcPattern* match = Match(spec.face);
      options = OptionsFor(match, m_requested, spec.bold, spec.italic);
      m_resolvedFamily = PatternString(match, FC_FAMILY);
      FcPatternDestroy(match);
    }
    int ppem = 0;
    try {
      ppem = Open(options, height);
    } catch (const std::runtime_error&) {
      if (!fromCache) throw;
      // The cached file cannot be opened after all: ask fontconfig again.
      FcPattern* match = Match(spec.face);
      options = OptionsFor(match, m_requested, spec.bold, spec.italic);
      m_resolvedFamily = PatternString(match, FC_FAMILY);
      FcPatternDestroy(match);
      fromCache = false;
      ppem = Open(options, height);
    }
    if (!fromCache) cache.Store(key, ToCached(options, m_resolvedFamily), FontSystem::Get().StampPaths());
    ComputeMetrics(height > 0 ? m_requested : -m_requested, ppem);
  }
  ~FontFace() {
    if (m_fallbacks != nullptr) FcFontSetDestroy(m_fallbacks);
    if (m_pattern != nullptr) FcPatternDestroy(m_pattern);
  }
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  const TextMetrics& Metrics() const { return m_metrics; }
  const std::string& ResolvedFamily() const { return m_resolvedFamily; }
  bool BitmapStrike() const { return m_primary->BitmapStrike(); }

  // The glyph for a code point: from the resolved face, else the first fallback face
  // that has it, else the resolved face's missing-glyph box. Control characters draw
  // nothing and take no room.
  GlyphRef Lookup(char32_t cp) {
    if (cp < 0x80) {
      GlyphRef& ascii = m_ascii[cp];
      if (ascii.glyph == nullptr) ascii = Resolve(cp);
      return ascii;
    }
    auto it = m_map.find(cp);
    if (it != m_map.end()) return it->second;
    return m_map.emplace(cp, Resolve(cp)).first->second;
  }

  bool HasOwnGlyph(char32_t cp) const { return m_primary->GlyphIndex(cp) != 0; }

  bool Covers(char32_t cp) {
    if (m_primary->GlyphIndex(cp) != 0) return true;
    return FindFallback(cp).face != nullptr;
  }

 private:
  // The substituted request, made when fontconfig is first asked (a match, fallbacks).
  FcPattern* Pattern() {
    if (m_pattern != nullptr) return m_pattern;
    FcConfig* config = FontSystem::Get().Config();
    m_pattern = FcPatternCreate();
    FcPatternAddString(m_pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(m_face.c_str()));
    FcPatternAddInteger(m_pattern, FC_WEIGHT, m_bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(m_pattern, FC_SLANT, m_italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddDouble(m_pattern, FC_PIXEL_SIZE, m_requested);
    FcConfigSubstitute(config, m_pattern, FcMatchPattern);
    FcDefaultSubstitute(m_pattern);
    return m_pattern;
  }

  // fontconfig's best face for the request; the caller destroys it.
  FcPattern* Match(const std::string& face) {
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(FontSystem::Get().Config(), Pattern(), &result);
    if (match == nullptr) throw std::runtime_error("no installed font face can stand in for \"" + face + "\"");
    return match;
  }

  // Opens the primary face; returns its em size: given directly by a negative height, a
  // cell height is divided among ascent and descent in the face's proportions.
  int Open(InstanceOptions options, int height) {
    int ppem = m_requested;
    if (height > 0) {
      options.ppem = m_requested;
      FaceInstance& probe = Instance(options);
      const FaceExtents extents = ExtentsOf(probe.Face());
      const long cell = extents.ascent + extents.descent;
      if (FT_IS_SCALABLE(probe.Face()) && cell > 0)
        ppem = std::clamp(static_cast<int>(std::lround(static_cast<double>(m_requested) *
                                                        probe.Face()->units_per_EM / cell)),
                          1, kMaxPixelSize);
    }
    options.ppem = ppem;
    m_primary = &Instance(options);
    return ppem;
  }

  static InstanceOptions FromCached(const CachedFace& c) {
    InstanceOptions o;
    o.file = c.file;
    o.index = c.index;
    o.embolden = c.embolden;
    o.shear = c.shear;
    o.matrix = {static_cast<FT_Fixed>(c.matrix[0]), static_cast<FT_Fixed>(c.matrix[1]),
                static_cast<FT_Fixed>(c.matrix[2]), static_cast<FT_Fixed>(c.matrix[3])};
    o.loadFlags = c.loadFlags;
    o.monochrome = c.monochrome;
    return o;
  }

  static CachedFace ToCached(const InstanceOptions& o, const std::string& family) {
    CachedFace c;
    c.file = o.file;
    c.index = o.index;
    c.family = family;
    c.embolden = o.embolden;
    c.shear = o.shear;
    c.matrix[0] = o.matrix.xx;
    c.matrix[1] = o.matrix.xy;
    c.matrix[2] = o.matrix.yx;
    c.matrix[3] = o.matrix.yy;
    c.loadFlags = o.loadFlags;
    c.monochrome = o.monochrome;
    return c;
  }

  GlyphRef Resolve(char32_t cp) {
    if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) return {&m_empty, m_primary};
    if (const FT_UInt index = m_primary->GlyphIndex(cp); index != 0)
      return {&m_primary->GetGlyph(index), m_primary};
    if (GlyphRef found = FindFallback(cp); found.face != nullptr) return found;
    return {&m_primary->GetGlyph(0), m_primary};
  }

  GlyphRef FindFallback(char32_t cp) {
    FcFontSet* set = Fallbacks();
    if (set == nullptr) return {};
    for (int i = 0; i < set->nfont; ++i) {
      FcCharSet* chars = nullptr;
      if (FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &chars) != FcResultMatch ||
          !FcCharSetHasChar(chars, cp))
        continue;
      FaceInstance* face = FallbackInstance(i);
      if (face == nullptr || face == m_primary) continue;
      if (const FT_UInt index = face->GlyphIndex(cp); index != 0)
        return {&face->GetGlyph(index), face};
    }
    return {};
  }

  FcFontSet* Fallbacks() {
    if (!m_fallbacksSorted) {
      m_fallbacksSorted = true;
      FcResult result = FcResultNoMatch;
      m_fallbacks = FcFontSort(FontSystem::Get().Config(), Pattern(), FcTrue, nullptr, &result);
      const std::size_t count = m_fallbacks ? static_cast<std::size_t>(m_fallbacks->nfont) : 0;
      m_fallbackInstances.assign(count, nullptr);
      m_fallbackTried.assign(count, false);
    }
    return m_fallbacks;
  }

  FaceInstance* FallbackInstance(int i) {
    if (m_fallbackTried[i]) return m_fallbackInstances[i];
    m_fallbackTried[i] = true;
    FcPattern* prepared =
        FcFontRenderPrepare(FontSystem::Get().Config(), m_pattern, m_fallbacks->fonts[i]);
    if (prepared == nullptr) return nullptr;
    try {
      m_fallbackInstances[i] =
          &Instance(OptionsFor(prepared, m_primary->Options().ppem, m_bold, m_italic));
    } catch (const std::runtime_error&) {
      m_fallbackInstances[i] = nullptr;  // an unreadable file is skipped, not fatal
    }
    FcPatternDestroy(prepared);
    return m_fallbackInstances[i];
  }

  void ComputeMetrics(int height, int ppem) {
    FT_Face face = m_primary->Face();
    const FaceExtents e = ExtentsOf(face);
    TextMetrics& m = m_metrics;
    const bool scalable = FT_IS_SCALABLE(face) && face->units_per_EM > 0;
    const double scale = scalable ? static_cast<double>(ppem) / face->units_per_EM : 0;
    if (scalable && height > 0 && e.ascent + e.descent > 0) {
      // A cell height is kept exactly, as the platform does.
      m.height = height;
      m.ascent = static_cast<int>(std::lround(static_cast<double>(height) * e.ascent /
                                              (e.ascent + e.descent)));
      m.descent = height - m.ascent;
    } else if (scalable) {
      m.ascent = RoundScaled(e.ascent, scale);
      m.descent = RoundScaled(e.descent, scale);
      m.height = m.ascent + m.descent;
    } else {
      m.ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
      m.descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
      m.height = m.ascent + m.descent;
    }
    m.internalLeading = std::max(0, m.height - ppem);
    m.externalLeading = scalable ? RoundScaled(e.lineGap, scale) : 0;
    const int overhang = m_primary->Options().embolden ? std::max(1, ppem / 24) : 0;
    if (scalable && e.aveWidth > 0)
      m.aveCharWidth = RoundScaled(e.aveWidth, scale) + overhang;
    else
      m.aveCharWidth = Lookup(U'x').glyph->advance;
    m.maxCharWidth =
        (scalable ? RoundScaled(face->max_advance_width, scale)
                  : static_cast<int>((face->size->metrics.max_advance + 63) >> 6)) +
        overhang;

    // FreeType gives the underline's centre below the baseline; the strike-out line's
    // top comes from the OS/2 table. Both stay inside the cell.
    if (scalable && face->underline_thickness > 0) {
      m.underlineThickness = std::max(1, RoundScaled(face->underline_thickness, scale));
      m.underlineOffset =
          m.ascent - RoundScaled(face->underline_position, scale) - m.underlineThickness / 2;
    } else {
      m.underlineThickness = std::max(1, ppem / 14);
      m.underlineOffset = m.ascent + 1;
    }
    m.underlineOffset = std::max(m.underlineOffset, m.ascent);
    m.underlineOffset = std::clamp(m.underlineOffset, 0, std::max(0, m.height - m.underlineThickness));
    if (scalable && e.strikeSize > 0) {
      m.strikeOutThickness = std::max(1, RoundScaled(e.strikeSize, scale));
      m.strikeOutOffset = m.ascent - RoundScaled(e.strikePosition, scale);
    } else {
      m.strikeOutThickness = m.underlineThickness;
      m.strikeOutOffset = m.ascent - std::max(1, m.ascent / 3);
    }
    m.strikeOutOffset = std::clamp(m.strikeOutOffset, 0, std::max(0, m.ascent - 1));
  }

  std::string m_face;
  bool m_bold;
  bool m_italic;
  int m_requested = 0;             // pixels
  FcPattern* m_pattern = nullptr;  // the substituted request; see Pattern()
  FaceInstance* m_primary = nullptr;
  std::string m_resolvedFamily;
  TextMetrics m_metrics;
  bool m_fallbacksSorted = false;
  FcFontSet* m_fallbacks = nullptr;
  std::vector<FaceInstance*> m_fallbackInstances;
  std::vector<bool> m_fallbackTried;
  Glyph m_empty;
  GlyphRef m_ascii[0x80];
  std::unordered_map<char32_t, GlyphRef> m_map;
};

namespace {

// Equal requests share one resolved face; underline and strike-out do not change it.
std::shared_ptr<FontFace> FaceFor(const FontSpec& spec) {
  auto* cache = &FontSystem::Get().Faces();
  const std::string key = spec.face + '\n' + std::to_string(spec.height) + ' ' +
                          std::to_string(spec.bold) + std::to_string(spec.italic);
  auto it = cache->find(key);
  if (it != cache->end()) return it->second;
  auto face = std::make_shared<FontFace>(spec);
  cache->emplace(key, face);
  return face;
}

}  // namespace

FontSystem::~FontSystem() {
  if (m_fileCache) m_fileCache->Save();
  // Fonts still held elsewhere keep their FontFace, which needs neither library nor
  // configuration to be destroyed.
  m_faces.clear();
  m_instances.clear();
  if (m_config != nullptr) FcConfigDestroy(m_config);
  FT_Done_FreeType(m_library);
}

int PointsToHeight(int points) {
  return -static_cast<int>((static_cast<long long>(points) * 96 + 36) / 72);
}

int HeightToPoints(int height) {
  const long long pixels = height < 0 ? -static_cast<long long>(height) : height;
  return static_cast<int>((pixels * 72 + 48) / 96);
}

Font::Font() : Font(FontSpec{}) {}

Font::Font(const FontSpec& spec) : m_spec(spec), m_face(FaceFor(spec)) {}

const TextMetrics& Font::Metrics() const { return m_face->Metrics(); }

int Font::CharWidth(char32_t codepoint) const { return m_face->Lookup(codepoint).glyph->advance; }

int Font::TextWidth(std::string_view utf8) const {
  int width = 0;
  for (std::size_t pos = 0; pos < utf8.size();) width += CharWidth(NextCodepoint(utf8, pos));
  return width;
}

Size Font::TextExtent(std::string_view utf8) const {
  return {TextWidth(utf8), Metrics().height};
}

void Font::Draw(Bitmap& target, int x, int y, std::string_view utf8, Color color,
                const Region& clip) const {
  // Beyond this no bitmap is reached, and pen arithmetic could overflow.
  constexpr int kFar = 1 << 28;
  if (utf8.empty() || x < -kFar || x > kFar || y < -kFar || y > kFar) return;
  const TextMetrics& m = Metrics();
  // Glyphs may reach beyond the cell (accents, slanted tops), so only rows far outside
  // it are dropped here.
  const Rect band{INT_MIN / 2, y - m.height, INT_MAX / 2, y + 2 * m.height};
  const std::vector<Rect> clips = ClipRects(target, clip, band);
  if (clips.empty()) return;
  const Pixel pixel = ColorToPixel(ColorToRGB(color));
  const int baseline = y + m.ascent;
  int pen = x;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Glyph& g = *m_face->Lookup(NextCodepoint(utf8, pos)).glyph;
    if (g.width > 0) {
      const Point origin{pen + g.left, baseline - g.top};
      const Rect box = Rect::FromSize(origin.x, origin.y, g.width, g.height);
      for (const Rect& c : clips) {
        if (c.Intersects(box))
          BlendCoverage(target, g.coverage.data(), g.width, g.width, g.height, origin, c, pixel);
      }
    }
    pen += g.advance;
  }
  if (m_spec.underline)
    FillClipped(target,
                {x, y + m.underlineOffset, pen, y + m.underlineOffset + m.underlineThickness},
                pixel, clips);
  if (m_spec.strikeOut)
    FillClipped(target,
                {x, y + m.strikeOutOffset, pen, y + m.strikeOutOffset + m.strikeOutThickness},
                pixel, clips);
}

std::string Font::ResolvedFamily() const { return m_face->ResolvedFamily(); }

std::string Font::FamilyFor(char32_t codepoint) const {
  return m_face->Lookup(codepoint).face->Family();
}

bool Font::CanDraw(char32_t codepoint) const { return m_face->Covers(codepoint); }

bool Font::HasOwnGlyph(char32_t codepoint) const { return m_face->HasOwnGlyph(codepoint); }

bool Font::UsesBitmapStrike() const { return m_face->BitmapStrike(); }

std::string_view FontAliasConfig() { return kAliasConfig.substr(1); }

namespace {

// Case-insensitive for ASCII letters, as a sorted list box orders names.
bool FamilyLess(const std::string& a, const std::string& b) {
  const auto lower = [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? u + 32 : u;
  };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char l, char r) { return lower(l) < lower(r); });
}

// Each alias of our configuration: the name it gives and the families it prefers.
struct Alias {
  std::string name;
  std::vector<std::string> preferred;
};

std::vector<Alias> Aliases() {
  std::vector<Alias> aliases;
  const std::string_view xml = kAliasConfig;
  const auto families = [&](std::size_t from, std::size_t to) {
    std::vector<std::string> names;
    for (std::size_t open = xml.find("<family>", from); open < to;
         open = xml.find("<family>", open + 1)) {
      const std::size_t close = xml.find("</family>", open);
      if (close == std::string_view::npos) break;
      names.emplace_back(xml.substr(open + 8, close - open - 8));
    }
    return names;
  };
  for (std::size_t at = xml.find("<alias"); at != std::string_view::npos;
       at = xml.find("<alias", at + 1)) {
    const std::size_t end = xml.find("</alias>", at);
    const std::size_t prefer = xml.find("<prefer>", at);
    if (end == std::string_view::npos || prefer > end) break;
    const std::vector<std::string> name = families(at, prefer);
    if (name.empty()) continue;
    aliases.push_back({name.front(), families(prefer, end)});
  }
  return aliases;
}

std::string MatchedFamily(FcConfig* config, const std::string& name) {
  FcPattern* p = FcPatternCreate();
  FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcConfigSubstitute(config, p, FcMatchPattern);
  FcDefaultSubstitute(p);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, p, &result);
  FcPatternDestroy(p);
  if (match == nullptr) return {};
  std::string family = PatternString(match, FC_FAMILY);
  FcPatternDestroy(match);
  return family;
}

}  // namespace

std::vector<std::string> QueryFontFamilies() {
  FcConfig* config = FontSystem::Get().Config();
  FcPattern* all = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, nullptr);
  FcFontSet* set = FcFontList(config, all, objects);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(all);
  std::vector<std::string> names;
  if (set != nullptr) {
    for (int i = 0; i < set->nfont; ++i) {
      // A face names its family in several languages; a font list shows the first name
      // and the English ones.
      FcChar8* family = nullptr;
      for (int n = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, n, &family) == FcResultMatch;
           ++n) {
        FcChar8* lang = nullptr;
        const bool english =
            FcPatternGetString(set->fonts[i], FC_FAMILYLANG, n, &lang) == FcResultMatch &&
            std::string_view(reinterpret_cast<const char*>(lang)) == "en";
        if (n == 0 || english) names.emplace_back(reinterpret_cast<const char*>(family));
      }
    }
    FcFontSetDestroy(set);
  }
  // The alias names stand for installed faces (the program's default face is one), so
  // they are listed too, when they resolve to one of the families they prefer.
  for (const Alias& alias : Aliases()) {
    const std::string family = MatchedFamily(config, alias.name);
    if (std::find(alias.preferred.begin(), alias.preferred.end(), family) != alias.preferred.end())
      names.push_back(alias.name);
  }
  std::sort(names.begin(), names.end(), FamilyLess);
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

bool FontFamilyInstalled(std::string_view name) {
  FcPattern* pattern = FcPatternCreate();
  const std::string family(name);
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* set = FcFontList(FontSystem::Get().Config(), pattern, objects);
  const bool found = set != nullptr && set->nfont > 0;
  if (set != nullptr) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

bool FontConfigurationLoaded() { return FontSystem::Get().ConfigLoaded(); }

FcConfig* SharedFontConfig() { return FontSystem::Get().Config(); }

const std::vector<std::string>& FontFamilies() {
  static const std::vector<std::string> families = QueryFontFamilies();
  return families;
}
