// The font family list: its own fontconfig configuration (the system's with our aliases),
// per-face attributes folded into families, application fonts and rescans.
#include "platform/gfx/FontList.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <stdexcept>

#include "platform/gfx/Font.h"
#include "platform/gfx/FontConfigShared.h"

namespace {

bool FamilyLess(const std::string& a, const std::string& b) {
  const auto lower = [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? u + 32 : u;
  };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char l, char r) { return lower(l) < lower(r); });
}

bool FamilyEqual(const std::string& a, const std::string& b) { return !FamilyLess(a, b) && !FamilyLess(b, a); }

struct Alias {
  std::string name;
  std::vector<std::string> preferred;
};

std::vector<Alias> ParseAliases(std::string_view xml) {
  std::vector<Alias> aliases;
  const auto families = [&](std::size_t from, std::size_t to) {
    std::vector<std::string> names;
    for (std::size_t open = xml.find("<family>", from); open < to; open = xml.find("<family>", open + 1)) {
      const std::size_t close = xml.find("</family>", open);
      if (close == std::string_view::npos) break;
      names.emplace_back(xml.substr(open + 8, close - open - 8));
    }
    return names;
  };
  for (std::size_t at = xml.find("<alias"); at != std::string_view::npos; at = xml.find("<alias", at + 1)) {
    const std::size_t end = xml.find("</alias>", at);
    const std::size_t prefer = xml.find("<prefer>", at);
    if (end == std::string_view::npos || prefer > end) break;
    const std::vector<std::string> name = families(at, prefer);
    if (!name.empty()) aliases.push_back({name.front(), families(prefer, end)});
  }
  return aliases;
}

std::string PatternString(FcPattern* p, const char* object, int n = 0) {
  FcChar8* value = nullptr;
  if (FcPatternGetString(p, object, n, &value) != FcResultMatch || value == nullptr) return {};
  return reinterpret_cast<const char*>(value);
}

// The list's configuration: loaded on first use, reloaded by a rescan that finds changes.
class FontListSystem {
 public:
  static FontListSystem& Get() {
    static FontListSystem system;
    return system;
  }
  FcConfig* Config() {
    // The text drawing's configuration serves until the list needs one of its own. Taking
    // it is the list's first load: generation 0 stays "never listed" for its readers.
    if (!m_config) {
      m_config = SharedFontConfig();
      Changed();
    }
    return m_config;
  }
  unsigned Generation() const { return m_generation; }
  void Changed() { ++m_generation; }
  bool Rescan() {
    if (!m_config) return false;
    if (FcConfigUptoDate(m_config)) return false;
    Load();
    return true;
  }
  int Add(const std::string& path) {
    // Added faces are listed, not drawn: they go into a configuration of the list's own.
    if (!m_owned) Load();
    FcConfig* config = Config();
    const int before = CountApplicationFonts(config);
    if (!FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(path.c_str()))) return 0;
    const int added = CountApplicationFonts(config) - before;
    if (added > 0) {
      m_added.push_back(path);
      Changed();
    }
    return added;
  }
  bool Remove(const std::string& path) {
    const auto it = std::find(m_added.begin(), m_added.end(), path);
    if (it == m_added.end()) return false;
    m_added.erase(it);
    // fontconfig cannot drop one application font: the set is made again without it.
    FcConfigAppFontClear(Config());
    for (const std::string& p : m_added) FcConfigAppFontAddFile(m_config, reinterpret_cast<const FcChar8*>(p.c_str()));
    Changed();
    return true;
  }

 private:
  FontListSystem() = default;
  ~FontListSystem() {
    if (m_config && m_owned) FcConfigDestroy(m_config);
  }

  static int CountApplicationFonts(FcConfig* config) {
    FcFontSet* set = FcConfigGetFonts(config, FcSetApplication);
    return set ? set->nfont : 0;
  }

  void Load() {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) throw std::runtime_error("fontconfig could not load its configuration");
    const std::string xml(FontAliasConfig());
    FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(xml.c_str()), FcFalse);
    for (const std::string& p : m_added) FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(p.c_str()));
    if (m_config && m_owned) FcConfigDestroy(m_config);
    m_config = config;
    m_owned = true;
    Changed();
  }

  FcConfig* m_config = nullptr;
  bool m_owned = false;  // else the shared configuration
  unsigned m_generation = 0;
  std::vector<std::string> m_added;
};

// Whether a face has letters of its own or only symbols: no basic Latin capital and no
// language fontconfig recognises (emoji count as none).
bool SymbolFace(FcPattern* font) {
  FcCharSet* chars = nullptr;
  if (FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) == FcResultMatch && chars &&
      (FcCharSetHasChar(chars, 'A') || FcCharSetHasChar(chars, 'a')))
    return false;
  FcLangSet* langs = nullptr;
  if (FcPatternGetLangSet(font, FC_LANG, 0, &langs) != FcResultMatch || !langs) return true;
  FcStrSet* set = FcLangSetGetLangs(langs);
  bool anyLanguage = false;
  if (set) {
    FcStrList* list = FcStrListCreate(set);
    for (FcChar8* lang = FcStrListNext(list); lang; lang = FcStrListNext(list))
      if (std::string_view(reinterpret_cast<const char*>(lang)) != "und-zsye") anyLanguage = true;
    FcStrListDone(list);
    FcStrSetDestroy(set);
  }
  return !anyLanguage;
}

int FaceCharset(FcPattern* font, bool symbol) {
  if (symbol) return SYMBOL_CHARSET;
  FcCharSet* chars = nullptr;
  if (FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) == FcResultMatch && chars && FcCharSetHasChar(chars, 'A'))
    return ANSI_CHARSET;
  FcLangSet* langs = nullptr;
  if (FcPatternGetLangSet(font, FC_LANG, 0, &langs) == FcResultMatch && langs &&
      FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("zh-cn")) != FcLangDifferentLang)
    return CHINESE_GB2312_CHARSET;
  return 1;  // the default set: letters of some other script
}

FontFamilyInfo FaceInfo(FcPattern* font) {
  FontFamilyInfo info;
  const std::string format = PatternString(font, FC_FONTFORMAT);
  FcBool scalable = FcFalse;
  FcPatternGetBool(font, FC_SCALABLE, 0, &scalable);
  info.scalable = scalable == FcTrue;
  info.trueType = info.scalable && (format == "TrueType" || format == "CFF");
  int spacing = FC_PROPORTIONAL;
  FcPatternGetInteger(font, FC_SPACING, 0, &spacing);
  info.fixedPitch = spacing >= FC_MONO;
  info.symbol = SymbolFace(font);
  info.charset = FaceCharset(font, info.symbol);
  return info;
}

// Faces of one family: any outline makes it scalable (and TrueType), every face must be
// fixed pitch or a symbol face for the family to be one.
void Fold(FontFamilyInfo& into, const FontFamilyInfo& face) {
  into.scalable = into.scalable || face.scalable;
  into.trueType = into.trueType || face.trueType;
  into.fixedPitch = into.fixedPitch && face.fixedPitch;
  into.symbol = into.symbol && face.symbol;
  if (!face.symbol && into.charset == SYMBOL_CHARSET) into.charset = face.charset;
}

}  // namespace

int FontFamilyInfo::FontType() const {
  if (trueType) return TRUETYPE_FONTTYPE;
  return scalable ? 0 : RASTER_FONTTYPE;
}

std::vector<FontFamilyInfo> EnumFontFamilyInfos() {
  FcConfig* config = FontListSystem::Get().Config();
  FcPattern* all = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_FONTFORMAT, FC_SCALABLE, FC_SPACING,
                                          FC_CHARSET, FC_LANG, nullptr);
  FcFontSet* set = FcFontList(config, all, objects);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(all);
  std::map<std::string, FontFamilyInfo, decltype(&FamilyLess)> families(&FamilyLess);
  auto add = [&](const std::string& name, const FontFamilyInfo& face) {
    auto [it, fresh] = families.try_emplace(name, face);
    if (fresh) it->second.name = name;
    else Fold(it->second, face);
  };
  if (set) {
    for (int i = 0; i < set->nfont; ++i) {
      FcPattern* font = set->fonts[i];
      const FontFamilyInfo face = FaceInfo(font);
      // A face names its family in several languages; the list shows the first name and
      // the English ones.
      for (int n = 0;; ++n) {
        const std::string family = PatternString(font, FC_FAMILY, n);
        if (family.empty()) break;
        if (n == 0 || PatternString(font, FC_FAMILYLANG, n) == "en") add(family, face);
      }
    }
    FcFontSetDestroy(set);
  }
  // Alias names stand for the installed face they resolve to, when it is one they prefer.
  for (const Alias& alias : ParseAliases(FontAliasConfig())) {
    FcPattern* p = FcPatternCreate();
    FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(alias.name.c_str()));
    FcConfigSubstitute(config, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, p, &result);
    FcPatternDestroy(p);
    if (!match) continue;
    const std::string family = PatternString(match, FC_FAMILY);
    FcPatternDestroy(match);
    const bool preferred = std::any_of(alias.preferred.begin(), alias.preferred.end(),
                                       [&](const std::string& f) { return FamilyEqual(f, family); });
    const auto it = families.find(family);
    if (preferred && it != families.end()) add(alias.name, it->second);
  }
  std::vector<FontFamilyInfo> out;
  out.reserve(families.size());
  for (auto& [name, info] : families) out.push_back(info);
  return out;
}

unsigned FontListGeneration() { return FontListSystem::Get().Generation(); }

bool RescanFonts() { return FontListSystem::Get().Rescan(); }

int FontRescanInterval() { return FcConfigGetRescanInterval(FontListSystem::Get().Config()); }

int AddFontResource(std::string_view path) { return FontListSystem::Get().Add(std::string(path)); }

bool RemoveFontResource(std::string_view path) { return FontListSystem::Get().Remove(std::string(path)); }
