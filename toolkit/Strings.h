// TStrings, the abstract list of strings with attached objects, and TStringList.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Classes.h"

class TStrings : public TPersistent {
 public:
  // The line break Text writes after every line; reading accepts CR, LF and CR LF.
  static constexpr std::string_view LineBreak = "\n";

  virtual int Count() const = 0;
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, std::string_view s);
  virtual TObject* GetObject(int index) const;
  virtual void PutObject(int index, TObject* object);
  virtual void Insert(int index, std::string_view s) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  std::string Strings(int index) const { return Get(index); }
  std::string operator[](int index) const { return Get(index); }
  TObject* Objects(int index) const { return GetObject(index); }
  void SetStrings(int index, std::string_view s) { Put(index, s); }
  void SetObjects(int index, TObject* object) { PutObject(index, object); }

  virtual int Add(std::string_view s);
  int AddObject(std::string_view s, TObject* object);
  void InsertObject(int index, std::string_view s, TObject* object);
  void AddStrings(const TStrings& other);
  void Append(std::string_view s) { Add(s); }
  // The index of the first string equal to `s` (without regard to case unless the list
  // says otherwise), or -1.
  virtual int IndexOf(std::string_view s) const;
  int IndexOfObject(const TObject* object) const;
  void Exchange(int a, int b);
  void Move(int from, int to);
  bool Equals(const TStrings& other) const;

  // name=value pairs: the name is the text before the first '='.
  std::string Names(int index) const;
  std::string ValueFromIndex(int index) const;
  int IndexOfName(std::string_view name) const;
  std::string Values(std::string_view name) const;
  // Sets the value of the first entry of that name, adding one when there is none; an empty
  // value deletes the entry.
  void SetValues(std::string_view name, std::string_view value);

  // Every line followed by a line break. Lists kept elsewhere (a memo's) may answer from
  // their own store.
  virtual std::string Text() const;
  virtual void SetText(std::string_view text);
  // Comma-separated, entries with spaces, commas or quotes in double quotes ("" inside).
  std::string CommaText() const;
  void SetCommaText(std::string_view text);

  // UTF-8 files; a byte-order mark at the start is dropped on reading.
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

  // Nested updates: listeners hear one change at the end (see TStringList::OnChange).
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return m_updateCount; }

  void Assign(const TPersistent* source) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  virtual bool CaseSensitiveCompare() const { return false; }
  virtual void SetUpdateState(bool updating);
  [[noreturn]] void IndexError(int index) const;
  int CompareStrings(std::string_view a, std::string_view b) const;

 private:
  int m_updateCount = 0;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
 public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string_view> items);

  int Count() const override { return static_cast<int>(m_items.size()); }
  std::string Get(int index) const override;
  void Put(int index, std::string_view s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, std::string_view s) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(std::string_view s) override;
  int IndexOf(std::string_view s) const override;

  // Sorted lists keep their order on every Add; Insert and Put are then not allowed.
  bool Sorted() const { return m_sorted; }
  void SetSorted(bool on);
  TDuplicates Duplicates() const { return m_duplicates; }
  void SetDuplicates(TDuplicates d) { m_duplicates = d; }
  bool CaseSensitive() const { return m_caseSensitive; }
  void SetCaseSensitive(bool on);
  // Binary search of a sorted list: true and the index when found, else false and the
  // index where `s` would go.
  bool Find(std::string_view s, int& index) const;
  void Sort();
  // Sorts with a comparison of two indexes (negative, zero, positive), stably.
  void CustomSort(const std::function<int(TStringList&, int, int)>& compare);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  bool CaseSensitiveCompare() const override { return m_caseSensitive; }
  void SetUpdateState(bool updating) override;

 private:
  struct Item {
    std::string text;
    TObject* object = nullptr;
  };
  void Changing();
  void Changed();
  void InsertItem(int index, std::string_view s, TObject* object);

  std::vector<Item> m_items;
  bool m_sorted = false;
  bool m_caseSensitive = false;
  TDuplicates m_duplicates = TDuplicates::dupIgnore;
};
