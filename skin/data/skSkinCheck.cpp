// The checker reads the definition with its own line-keeping parse (the same trimming,
// comment and first-occurrence rules as the skin reader) and learns each section's keys and
// their forms from the records themselves, so it cannot drift from what the loader reads.
#include "skin/data/skSkinCheck.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string_view>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Bmp.h"
#include "skin/data/skIniReader.h"
#include "skin/data/skSkinRecords.h"

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

enum class Form { Integer, PictureIndex, Colour, Boolean, Point, Rect, Text, FontStyle, Alignment, Effect, Morph, Command };

struct Field {
  std::string key;  // lower case
  Form form;
};

// Learns the keys a record visits.
class FieldCollector : public SkinFieldVisitor {
 public:
  std::vector<Field> fields;
  void Integer(std::string_view key, int&, int defaultValue) override {
    // Picture indexes are integers defaulting to -1 under a key that says so.
    Add(key, defaultValue == -1 && key.ends_with("pictureindex") ? Form::PictureIndex : Form::Integer);
  }
  void Colour(std::string_view key, Color&, Color) override { Add(key, Form::Colour); }
  void Boolean(std::string_view key, bool&) override { Add(key, Form::Boolean); }
  void PointValue(std::string_view key, Point&) override { Add(key, Form::Point); }
  void RectValue(std::string_view key, Rect&) override { Add(key, Form::Rect); }
  void Text(std::string_view key, std::string&, std::string_view) override { Add(key, Form::Text); }
  void FontStyle(std::string_view key, SkinFontStyles&) override { Add(key, Form::FontStyle); }
  void Alignment(std::string_view key, SkinAlignment&) override { Add(key, Form::Alignment); }
  void ImageEffect(std::string_view key, SkinImageEffect&) override { Add(key, Form::Effect); }
  void MorphKind(std::string_view key, SkinMorphKind&) override { Add(key, Form::Morph); }
  void Command(std::string_view key, SkinCommand&) override { Add(key, Form::Command); }

 private:
  void Add(std::string_view key, Form form) { fields.push_back({Lower(key), form}); }
};

struct Entry {
  std::string key, value;
  int line;
};
struct Section {
  std::string name;
  int line;
  std::vector<Entry> entries;               // first occurrences, in file order
  std::map<std::string, std::size_t> index;  // lower-case key -> entry
};

// Controls of the program look these records up by default or by their forms' settings.
constexpr const char* kLookedUp[] = {"button", "toolbutton", "edit", "memo", "combobox", "panel", "toolpanel",
                                     "label", "stdlabel", "listbox", "hscrollbar", "vscrollbar", "hsplitter"};

// The number of single-character edits between two texts.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t up = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = up;
    }
  }
  return row[b.size()];
}

// The nearest of `known`, when it is near enough to be a likely typing slip.
std::optional<std::string> Nearest(const std::string& key, const std::vector<Field>& known) {
  std::optional<std::string> best;
  std::size_t bestDistance = std::max<std::size_t>(2, key.size() / 3) + 1;
  for (const Field& f : known) {
    const std::size_t d = EditDistance(key, f.key);
    if (d < bestDistance) bestDistance = d, best = f.key;
  }
  return best;
}

std::string Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return std::string(s.substr(first, last - first + 1));
}

class Checker {
 public:
  explicit Checker(std::string path) : m_path(std::move(path)) {}

  std::vector<SkinProblem> Run() {
    std::ifstream in(m_path, std::ios::binary);
    if (!in) {
      Problem(0, true, "cannot be read");
      return m_problems;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    Parse(SplitSkinLines(text));
    for (const char* required : {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS"})
      if (!Find(required)) Problem(0, true, std::string("lacks the section [") + required + "], which every skin needs");
    LoadPictures();
    Known("VERSION", {{"skinname", Form::Text}, {"skinauthor", Form::Text}, {"authoremail", Form::Text},
                      {"authorurl", Form::Text}, {"skincomments", Form::Text}, {"ver", Form::Text}});
    CheckPictures();
    {
      SkinFormInfo info;
      Fields("FORMINFO", info);
      CheckRects("FORMINFO", {"clientrect", "buttonsrect", "captionrect"}, m_main, "the main picture");
      CheckRects("FORMINFO", {"maskrectarea"}, m_mask, "the mask");
    }
    TskDataSkinPopupWindow popup;
    Fields("POPUPWINDOW", popup);
    TskDataSkinHintWindow hint;
    Fields("HINTWINDOW", hint);
    for (const char* window : {"POPUPWINDOW", "HINTWINDOW"}) CheckRecordPictures(window, "windowpictureindex");
    CheckList("SKINOBJECTS", true);
    CheckList("SKINCONTROLS", false);
    for (const Section& s : m_sections)
      if (!m_known.contains(Lower(s.name)))
        Problem(s.line, true, "unknown section [" + s.name + "]: no record list names it");
    std::stable_sort(m_problems.begin(), m_problems.end(),
                     [](const SkinProblem& a, const SkinProblem& b) { return a.line < b.line; });
    return m_problems;
  }

 private:
  void Problem(int line, bool error, std::string text) { m_problems.push_back({m_path, line, error, std::move(text)}); }

  void Parse(const std::vector<std::string>& lines) {
    Section* current = nullptr;
    std::map<std::string, int> seen;
    for (std::size_t n = 0; n < lines.size(); ++n) {
      const int line = static_cast<int>(n) + 1;
      const std::string t = Trim(lines[n]);
      if (t.empty() || t.front() == ';') continue;
      if (t.front() == '[' && t.back() == ']') {
        const std::string name = Trim(std::string_view(t).substr(1, t.size() - 2));
        const std::string lower = Lower(name);
        if (auto it = m_sectionIndex.find(lower); it != m_sectionIndex.end()) {
          Problem(line, false, "section [" + name + "] repeats the one of line " +
                                   std::to_string(m_sections[it->second].line) + "; only that one is read");
          current = nullptr;
          continue;
        }
        m_sectionIndex[lower] = m_sections.size();
        m_sections.push_back({name, line, {}, {}});
        current = &m_sections.back();
        continue;
      }
      if (!current) continue;  // lines before the first section, or in a repeated one
      const std::size_t eq = t.find('=');
      Entry e{Trim(std::string_view(t).substr(0, eq)), eq == std::string::npos ? "" : Trim(std::string_view(t).substr(eq + 1)), line};
      const std::string lower = Lower(e.key);
      if (auto it = current->index.find(lower); it != current->index.end()) {
        Problem(line, false, "key \"" + e.key + "\" repeats the one of line " +
                                 std::to_string(current->entries[it->second].line) + "; only that one is read");
        continue;
      }
      current->index[lower] = current->entries.size();
      current->entries.push_back(std::move(e));
    }
  }

  const Section* Find(std::string_view name) const {
    auto it = m_sectionIndex.find(Lower(name));
    return it == m_sectionIndex.end() ? nullptr : &m_sections[it->second];
  }
  const Entry* Value(const Section* s, std::string_view key) const {
    if (!s) return nullptr;
    auto it = s->index.find(Lower(key));
    return it == s->index.end() ? nullptr : &s->entries[it->second];
  }

  template <class Record>
  void Fields(const std::string& section, Record& record) {
    FieldCollector c;
    record.VisitFields(c);
    Known(section, c.fields);
  }

  // Checks the keys of `section` against the fields it is read with.
  void Known(const std::string& section, const std::vector<Field>& fields, bool numbered = false) {
    m_known.insert(Lower(section));
    const Section* s = Find(section);
    if (!s) return;
    for (const Entry& e : s->entries) {
      const std::string lower = Lower(e.key);
      auto f = std::find_if(fields.begin(), fields.end(), [&](const Field& x) { return x.key == lower; });
      if (f != fields.end()) {
        CheckValue(*s, e, f->form);
        continue;
      }
      int index = 0;
      if (numbered && TryParseSkinInteger(e.key, index) && std::to_string(index) == e.key) continue;
      std::string text = "unknown key \"" + e.key + "\" in [" + s->name + "]";
      if (auto near = Nearest(lower, fields)) text += "; did you mean \"" + *near + "\"?";
      Problem(e.line, true, text);
    }
  }

  void CheckValue(const Section& s, const Entry& e, Form form) {
    const std::string where = "\"" + e.key + "\" in [" + s.name + "]";
    int n = 0;
    auto words = [&](auto text, int count, const char* what) {
      for (int i = 0; i < count; ++i)
        if (e.value == text(i)) return;
      std::string list;
      for (int i = 0; i < count; ++i) list += (i ? ", " : "") + std::string(text(i));
      Problem(e.line, true, where + ": \"" + e.value + "\" is not " + what + " (" + list + ")");
    };
    switch (form) {
      case Form::Integer:
      case Form::Colour:
      case Form::Boolean:
        if (!TryParseSkinInteger(e.value, n)) Problem(e.line, true, where + ": \"" + e.value + "\" is not a whole number");
        break;
      case Form::PictureIndex:
        if (!TryParseSkinInteger(e.value, n)) Problem(e.line, true, where + ": \"" + e.value + "\" is not a whole number");
        else if (n < -1 || n >= static_cast<int>(m_active.size()))
          Problem(e.line, true, where + ": picture " + std::to_string(n) + " is outside the list of " +
                                    std::to_string(m_active.size()) + " active pictures (0 to " +
                                    std::to_string(static_cast<int>(m_active.size()) - 1) + ", or -1 for none)");
        break;
      case Form::Point:
      case Form::Rect:
        try {
          if (form == Form::Point) ParseSkinPoint(e.value);
          else ParseSkinRect(e.value);
        } catch (const std::exception&) {
          Problem(e.line, true, where + ": \"" + e.value + "\" is not " +
                                    (form == Form::Point ? "a point x,y" : "a rectangle left,top,right,bottom"));
        }
        break;
      case Form::FontStyle: {
        std::string word;
        for (std::size_t i = 0; i <= e.value.size(); ++i) {
          const char c = i < e.value.size() ? e.value[i] : ' ';
          if (std::isalpha(static_cast<unsigned char>(c))) {
            word += c;
            continue;
          }
          if (!word.empty() && word != "fsbold" && word != "fsitalic" && word != "fsunderline" && word != "fsstrikeout")
            Problem(e.line, true, where + ": \"" + word + "\" is not a style (fsbold, fsitalic, fsunderline, fsstrikeout)");
          word.clear();
        }
        break;
      }
      case Form::Alignment:
        words([](int i) { return SkinAlignmentText(static_cast<SkinAlignment>(i)); }, 3, "an alignment");
        break;
      case Form::Effect:
        words([](int i) { return SkinImageEffectText(static_cast<SkinImageEffect>(i)); }, 6, "an image effect");
        break;
      case Form::Morph:
        words([](int i) { return SkinMorphKindText(static_cast<SkinMorphKind>(i)); }, 7, "a morph kind");
        break;
      case Form::Command:
        words([](int i) { return SkinCommandText(static_cast<SkinCommand>(i)); }, 7, "a command");
        break;
      case Form::Text:
        break;
    }
  }

  std::optional<Size> LoadPicture(const Entry* e) {
    if (!e || e->value.empty()) return std::nullopt;
    const std::filesystem::path file = std::filesystem::path(m_path).parent_path() / e->value;
    try {
      const Bitmap b = LoadBmpFile(file.string());
      return Size{b.Width(), b.Height()};
    } catch (const std::exception& ex) {
      Problem(e->line, true, "picture \"" + e->value + "\" (" + file.string() + "): " + ex.what());
      return std::nullopt;
    }
  }

  void LoadPictures() {
    const Section* p = Find("PICTURES");
    m_main = LoadPicture(Value(p, "picture"));
    LoadPicture(Value(p, "inactivepicture"));
    m_mask = LoadPicture(Value(p, "mask"));
    int count = 0;
    if (const Entry* c = Value(p, "activepicturescount"); c && TryParseSkinInteger(c->value, count))
      for (int i = 0; i < count && i < 4096; ++i) {
        const Entry* e = Value(p, std::to_string(i));
        if (!e) Problem(c->line, true, "\"activepicturescount\" is " + std::to_string(count) + " but key \"" +
                                            std::to_string(i) + "\" is missing");
        m_active.push_back(LoadPicture(e));
      }
  }

  void CheckPictures() {
    Known("PICTURES", {{"picture", Form::Text}, {"inactivepicture", Form::Text}, {"mask", Form::Text},
                       {"activepicturescount", Form::Integer}},
          true);
    const Section* p = Find("PICTURES");
    if (m_main && m_mask && (m_main->cx != m_mask->cx || m_main->cy != m_mask->cy))
      Problem(Value(p, "mask")->line, true, "the mask is " + SizeText(*m_mask) + ", the main picture " + SizeText(*m_main));
  }

  static std::string SizeText(Size s) { return std::to_string(s.cx) + "x" + std::to_string(s.cy); }

  // Rectangles of the keys given (or, with none, of every state image and the skin rect)
  // must lie inside `picture`.
  void CheckRects(const std::string& section, const std::vector<std::string>& keys, std::optional<Size> picture,
                       const std::string& pictureName) {
    const Section* s = Find(section);
    if (!s || !picture) return;
    for (const Entry& e : s->entries) {
      const std::string lower = Lower(e.key);
      const bool wanted = keys.empty() ? IsWholePictureRect(lower)
                                       : std::find(keys.begin(), keys.end(), lower) != keys.end();
      if (!wanted) continue;
      Rect r;
      try {
        r = ParseSkinRect(e.value);
      } catch (const std::exception&) {
        continue;  // reported as a value that does not parse
      }
      if (r.IsEmpty()) continue;
      if (r.left < 0 || r.top < 0 || r.right > picture->cx || r.bottom > picture->cy)
        Problem(e.line, true, "\"" + e.key + "\" in [" + s->name + "]: " + e.value + " lies outside " + pictureName +
                                  " (" + SizeText(*picture) + ")");
    }
  }

  // Rects of the record's whole picture: its normal image and its images of their own.
  static bool IsWholePictureRect(const std::string& key) {
    if (!key.ends_with("rect")) return false;
    if (key == "skinrect") return true;
    for (const char* prefix : {"active", "down", "disabled", "unenabled", "focus"})
      if (key.starts_with(prefix)) return true;
    return false;
  }

  void CheckRecordPictures(const std::string& section, const std::string& pictureKey) {
    const Section* s = Find(section);
    int index = -1;
    const Entry* e = Value(s, pictureKey);
    if (!e || !TryParseSkinInteger(e->value, index) || index < 0 || index >= static_cast<int>(m_active.size())) return;
    CheckRects(section, {}, m_active[index], "picture " + std::to_string(index));
    if (const Entry* m = Value(s, "maskpictureindex")) {
      int mask = -1;
      if (TryParseSkinInteger(m->value, mask) && mask >= 0 && mask < static_cast<int>(m_active.size()) &&
          m_active[mask] && m_active[index] &&
          (m_active[mask]->cx != m_active[index]->cx || m_active[mask]->cy != m_active[index]->cy))
        Problem(m->line, true, "the mask picture " + std::to_string(mask) + " of [" + s->name + "] is " +
                                   SizeText(*m_active[mask]) + ", its picture " + SizeText(*m_active[index]));
    }
  }

  void CheckList(const std::string& section, bool objects) {
    Known(section, {{"count", Form::Integer}}, true);
    const Section* s = Find(section);
    if (!s) return;
    int listed = 0;
    const Entry* c = Value(s, "count");
    if (c) TryParseSkinInteger(c->value, listed);
    std::vector<std::string> names;
    for (int i = 0; i < listed && i < 4096; ++i) {
      const Entry* e = Value(s, std::to_string(i));
      if (!e) {
        Problem(c->line, true, "\"count\" is " + std::to_string(listed) + " but key \"" + std::to_string(i) + "\" is missing");
        continue;
      }
      const std::size_t colon = e->value.find(':');
      if (colon == std::string::npos) {
        Problem(e->line, true, "entry \"" + e->value + "\" is not name:type");
        continue;
      }
      const std::string name = e->value.substr(0, colon), type = e->value.substr(colon + 1);
      FieldCollector fields;
      std::unique_ptr<TskDataSkinRecord> record;
      if (objects) record = CreateSkinObjectRecord(type, name);
      else record = CreateSkinControlRecord(type, name);
      if (!record) {
        // Allowed (a skin may carry records for controls this program lacks), but it may be
        // a slip of the type's spelling.
        Problem(e->line, false, "type \"" + type + "\" is no " + (objects ? "frame object" : "control") +
                                    " type the program reads; [" + name + "] is not read");
        m_known.insert(Lower(name));
        continue;
      }
      record->DescribeFields(fields);
      names.push_back(Lower(name));
      if (!Find(name)) Problem(e->line, false, "the record \"" + name + "\" has no section [" + name + "]; it keeps every default");
      Known(name, fields.fields);
      CheckRecordPictures(name, "pictureindex");
    }
    if (objects) return;
    std::string missing;
    int count = 0;
    for (const char* wanted : kLookedUp)
      if (std::find(names.begin(), names.end(), wanted) == names.end())
        missing += (count++ ? ", \"" : "\"") + std::string(wanted) + "\"";
    if (count == 1)
      Problem(s->line, false, "no control record " + missing + ": the controls that look it up are drawn without the skin");
    else if (count > 1)
      Problem(s->line, false, "no control records " + missing + ": the controls that look them up are drawn without the skin");
  }

  std::string m_path;
  std::vector<SkinProblem> m_problems;
  std::vector<Section> m_sections;
  std::map<std::string, std::size_t> m_sectionIndex;
  std::set<std::string> m_known;  // lower-case names of the sections something reads
  std::optional<Size> m_main, m_mask;
  std::vector<std::optional<Size>> m_active;
};

}  // namespace

std::vector<SkinProblem> CheckSkinDefinition(const std::string& path) { return Checker(path).Run(); }

std::string SkinProblemText(const SkinProblem& p) {
  std::string text = p.file;
  if (p.line > 0) text += ":" + std::to_string(p.line);
  text += p.error ? ": error: " : ": warning: ";
  return text + p.text;
}
