// TListBox over the platform's list box, and TComboBox, a drop-down list of the toolkit.
#pragma once

#include <memory>

#include "platform/win/WindowSystem.h"
#include "toolkit/Controls.h"
#include "toolkit/Strings.h"

class TCustomListBox;

// The items of a list box: kept here and mirrored into the window while it exists.
class TListBoxStrings : public TStrings {
 public:
  explicit TListBoxStrings(TCustomListBox& owner) : m_owner(owner) {}
  int Count() const override { return m_list.Count(); }
  std::string Get(int index) const override { return m_list.Get(index); }
  TObject* GetObject(int index) const override { return m_list.GetObject(index); }
  void PutObject(int index, TObject* object) override { m_list.PutObject(index, object); }
  void Put(int index, std::string_view s) override;
  void Insert(int index, std::string_view s) override;
  int Add(std::string_view s) override;
  void Delete(int index) override;
  void Clear() override;
  int IndexOf(std::string_view s) const override { return m_list.IndexOf(s); }
  TStringList& List() { return m_list; }

 protected:
  void SetUpdateState(bool updating) override;

 private:
  TCustomListBox& m_owner;
  TStringList m_list;
};

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed };

using TOwnerDrawState = std::uint32_t;
constexpr TOwnerDrawState odSelected = 1;
constexpr TOwnerDrawState odFocused = 2;
constexpr TOwnerDrawState odDisabled = 4;
using TDrawItemEvent = std::function<void(TWinControl* control, int index, Rect rect, TOwnerDrawState state)>;

class TCustomListBox : public TWinControl {
 public:
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;

  TStrings& Items() { return *m_items; }
  void SetItems(const TStrings& items) { m_items->Assign(&items); }
  // -1 for none.
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool Sorted() const { return m_items->List().Sorted(); }
  void SetSorted(bool on);
  bool MultiSelect() const { return m_multiSelect; }
  void SetMultiSelect(bool on);
  bool ExtendedSelect() const { return m_extendedSelect; }
  void SetExtendedSelect(bool on);
  bool Selected(int index) const;
  void SetSelected(int index, bool on);
  int SelCount() const;
  int TopIndex() const;
  void SetTopIndex(int index);
  int ItemHeight() const;
  void SetItemHeight(int h);
  TListBoxStyle Style() const { return m_style; }
  void SetStyle(TListBoxStyle s);
  int Columns() const { return m_columns; }
  void SetColumns(int n);
  // The item at a client point (-1 outside the items).
  int ItemAtPos(Point p, bool existing) const;
  Rect ItemRect(int index) const;
  void Clear() { m_items->Clear(); }
  // The canvas the OnDrawItem handler draws with.
  TCanvas& Canvas();

  TDrawItemEvent OnDrawItem;

  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  friend class TListBoxStrings;
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandleDone() override;
  bool WantsKey(WORD key, TShiftState shift) const override;
  void FontChanged() override;
  virtual void DrawItem(int index, Rect rect, TOwnerDrawState state);
  LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) const;

 private:
  std::unique_ptr<TListBoxStrings> m_items;
  std::unique_ptr<class TControlCanvas> m_canvas;
  bool m_multiSelect = false;
  bool m_extendedSelect = true;
  TListBoxStyle m_style = TListBoxStyle::lbStandard;
  int m_columns = 0;
  int m_itemHeight = 0;
  int m_savedIndex = -1;
  int m_savedTop = 0;
  std::vector<bool> m_savedSelection;
};

class TListBox : public TCustomListBox {
 public:
  explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};

class TComboDropDown;

enum class TComboBoxStyle { csDropDownList };

// A drop-down list: the selected item in a box with a button, and a list that opens
// under it. Setting ItemIndex sets Text to the item; OnChange fires when Text changes.
class TComboBox : public TCustomControl {
 public:
  explicit TComboBox(TComponent* owner);
  ~TComboBox() override;

  TStrings& Items() { return *m_items; }
  int ItemIndex() const { return m_itemIndex; }
  void SetItemIndex(int index);
  bool Sorted() const { return m_items->Sorted(); }
  void SetSorted(bool on) { m_items->SetSorted(on); }
  int DropDownCount() const { return m_dropDownCount; }
  void SetDropDownCount(int n) {
    if (n > 0) m_dropDownCount = n;
  }
  TComboBoxStyle Style() const { return m_comboStyle; }
  bool DroppedDown() const;
  void SetDroppedDown(bool on);
  // The list window while the list is open, else nullptr.
  TCustomListBox* DropDownList() const;

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  bool WantsKey(WORD key, TShiftState shift) const override;
  void TextChanged() override;

 private:
  friend class TComboDropDown;
  void CloseUp(bool accept);
  void Select(int index, bool byUser);
  Rect ButtonRect() const;

  std::unique_ptr<TStringList> m_items;
  int m_itemIndex = -1;
  int m_dropDownCount = 8;
  TComboBoxStyle m_comboStyle = TComboBoxStyle::csDropDownList;
  TComboDropDown* m_dropDown = nullptr;
  HHOOK m_hook = 0;
};
