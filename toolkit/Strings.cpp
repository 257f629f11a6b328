// TStrings and TStringList: lists, name=value pairs, text forms and files.
#include "toolkit/Strings.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <numeric>
#include <sstream>

#include "toolkit/Streaming.h"

void TStrings::IndexError(int index) const {
  throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const {
  if (CaseSensitiveCompare()) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
  return CompareText(a, b);
}

void TStrings::Put(int index, std::string_view s) {
  TObject* object = GetObject(index);
  BeginUpdate();
  Delete(index);
  InsertObject(index, s, object);
  EndUpdate();
}

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(std::string_view s) {
  int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(std::string_view s, TObject* object) {
  int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::InsertObject(int index, std::string_view s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::AddStrings(const TStrings& other) {
  BeginUpdate();
  for (int i = 0; i < other.Count(); ++i) AddObject(other.Get(i), other.GetObject(i));
  EndUpdate();
}

int TStrings::IndexOf(std::string_view s) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

void TStrings::Exchange(int a, int b) {
  std::string sa = Get(a), sb = Get(b);
  TObject* oa = GetObject(a);
  TObject* ob = GetObject(b);
  BeginUpdate();
  Put(a, sb);
  PutObject(a, ob);
  Put(b, sa);
  PutObject(b, oa);
  EndUpdate();
}

void TStrings::Move(int from, int to) {
  if (from == to) return;
  std::string s = Get(from);
  TObject* object = GetObject(from);
  if (to < 0 || to >= Count()) IndexError(to);
  BeginUpdate();
  Delete(from);
  InsertObject(to, s, object);
  EndUpdate();
}

bool TStrings::Equals(const TStrings& other) const {
  if (Count() != other.Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != other.Get(i)) return false;
  return true;
}

std::string TStrings::Names(int index) const {
  std::string s = Get(index);
  std::size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int index) const {
  std::string s = Get(index);
  std::size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

int TStrings::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    std::string s = Get(i);
    std::size_t eq = s.find('=');
    if (eq != std::string::npos && CompareStrings(std::string_view(s).substr(0, eq), name) == 0)
      return i;
  }
  return -1;
}

std::string TStrings::Values(std::string_view name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(std::string_view name, std::string_view value) {
  int i = IndexOfName(name);
  std::string entry = std::string(name) + "=" + std::string(value);
  if (value.empty()) {
    if (i >= 0) Delete(i);
  } else if (i < 0) {
    Add(entry);
  } else {
    Put(i, entry);
  }
}

std::string TStrings::Text() const {
  std::string out;
  for (int i = 0; i < Count(); ++i) {
    out += Get(i);
    out += LineBreak;
  }
  return out;
}

void TStrings::SetText(std::string_view text) {
  BeginUpdate();
  Clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      Add(text.substr(start));
      break;
    }
    Add(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  EndUpdate();
}

std::string TStrings::CommaText() const {
  std::string out;
  for (int i = 0; i < Count(); ++i) {
    std::string s = Get(i);
    if (i) out += ',';
    bool quote = s.empty() || s.find_first_of(" ,\"\t\r\n") != std::string::npos;
    if (!quote) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

void TStrings::SetCommaText(std::string_view text) {
  BeginUpdate();
  Clear();
  std::size_t p = 0;
  auto skipSpace = [&] {
    while (p < text.size() && static_cast<unsigned char>(text[p]) <= ' ') ++p;
  };
  skipSpace();
  while (p < text.size()) {
    std::string item;
    if (text[p] == '"') {
      ++p;
      while (p < text.size()) {
        if (text[p] == '"') {
          if (p + 1 < text.size() && text[p + 1] == '"') {
            item += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += text[p++];
      }
      // Anything between the closing quote and the separator belongs to the item.
      while (p < text.size() && text[p] != ',' && static_cast<unsigned char>(text[p]) > ' ')
        item += text[p++];
    } else {
      while (p < text.size() && text[p] != ',' && static_cast<unsigned char>(text[p]) > ' ')
        item += text[p++];
    }
    Add(item);
    skipSpace();
    if (p < text.size() && text[p] == ',') {
      ++p;
      skipSpace();
      if (p >= text.size()) Add("");
    }
  }
  EndUpdate();
}

void TStrings::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file \"" + path + "\"");
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EFOpenError("Cannot read file \"" + path + "\"");
  std::string_view text(data);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  SetText(text);
}

void TStrings::SaveToFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw EFCreateError("Cannot create file \"" + path + "\"");
  std::string text = Text();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
  if (!out) throw EFCreateError("Cannot write file \"" + path + "\"");
}

void TStrings::BeginUpdate() {
  if (m_updateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (m_updateCount == 0) return;
  if (--m_updateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::Assign(const TPersistent* source) {
  if (const auto* other = dynamic_cast<const TStrings*>(source)) {
    if (other == this) return;
    BeginUpdate();
    Clear();
    AddStrings(*other);
    EndUpdate();
    return;
  }
  TPersistent::Assign(source);
}

bool TStrings::ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) {
  if (SameText(name, "Strings")) {
    const std::vector<std::string>& lines = value.AsStringList();
    BeginUpdate();
    Clear();
    for (const std::string& s : lines) Add(s);
    EndUpdate();
    return true;
  }
  return TPersistent::ReadProperty(name, value, reader);
}

TStringList::TStringList(std::initializer_list<std::string_view> items) {
  for (std::string_view s : items) Add(s);
}

void TStringList::Changing() {
  if (UpdateCount() == 0) Fire(OnChanging, this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0) Fire(OnChange, this);
}

void TStringList::SetUpdateState(bool updating) {
  // Runs as the outermost update begins and ends, so it fires whatever the count says.
  Fire(updating ? OnChanging : OnChange, this);
}

std::string TStringList::Get(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return m_items[static_cast<std::size_t>(index)].text;
}

TObject* TStringList::GetObject(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return m_items[static_cast<std::size_t>(index)].object;
}

void TStringList::Put(int index, std::string_view s) {
  if (m_sorted) throw EStringListError("Operation not allowed on sorted list");
  if (index < 0 || index >= Count()) IndexError(index);
  Changing();
  m_items[static_cast<std::size_t>(index)].text = s;
  Changed();
}

void TStringList::PutObject(int index, TObject* object) {
  if (index < 0 || index >= Count()) IndexError(index);
  Changing();
  m_items[static_cast<std::size_t>(index)].object = object;
  Changed();
}

void TStringList::InsertItem(int index, std::string_view s, TObject* object) {
  Changing();
  m_items.insert(m_items.begin() + index, Item{std::string(s), object});
  Changed();
}

void TStringList::Insert(int index, std::string_view s) {
  if (m_sorted) throw EStringListError("Operation not allowed on sorted list");
  if (index < 0 || index > Count()) IndexError(index);
  InsertItem(index, s, nullptr);
}

int TStringList::Add(std::string_view s) {
  if (!m_sorted) {
    InsertItem(Count(), s, nullptr);
    return Count() - 1;
  }
  int index = 0;
  if (Find(s, index)) {
    switch (m_duplicates) {
      case TDuplicates::dupIgnore: return index;
      case TDuplicates::dupError: throw EStringListError("String list does not allow duplicates");
      case TDuplicates::dupAccept:
        // After the equal ones, so equal strings keep the order they came in.
        while (index < Count() && CompareStrings(m_items[static_cast<std::size_t>(index)].text, s) == 0)
          ++index;
        break;
    }
  }
  InsertItem(index, s, nullptr);
  return index;
}

void TStringList::Delete(int index) {
  if (index < 0 || index >= Count()) IndexError(index);
  Changing();
  m_items.erase(m_items.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (m_items.empty()) return;
  Changing();
  m_items.clear();
  Changed();
}

bool TStringList::Find(std::string_view s, int& index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = CompareStrings(m_items[static_cast<std::size_t>(mid)].text, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) found = true;  // keep going left to the first equal one
    }
  }
  index = lo;
  return found;
}

int TStringList::IndexOf(std::string_view s) const {
  if (!m_sorted) return TStrings::IndexOf(s);
  int index = 0;
  return Find(s, index) ? index : -1;
}

void TStringList::SetSorted(bool on) {
  if (on == m_sorted) return;
  if (on) Sort();
  m_sorted = on;
}

void TStringList::SetCaseSensitive(bool on) {
  if (on == m_caseSensitive) return;
  m_caseSensitive = on;
  if (m_sorted) Sort();
}

void TStringList::Sort() {
  CustomSort([](TStringList& list, int a, int b) {
    return list.CompareStrings(list.m_items[static_cast<std::size_t>(a)].text,
                               list.m_items[static_cast<std::size_t>(b)].text);
  });
}

void TStringList::CustomSort(const std::function<int(TStringList&, int, int)>& compare) {
  if (Count() < 2) return;
  Changing();
  std::vector<int> order(m_items.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return compare(*this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(m_items.size());
  for (int i : order) sorted.push_back(std::move(m_items[static_cast<std::size_t>(i)]));
  m_items = std::move(sorted);
  Changed();
}
