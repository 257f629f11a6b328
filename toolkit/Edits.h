// TEdit and TMemo over the platform's edit control, with the memo's Lines.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Strings.h"

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* owner);

  int MaxLength() const { return m_maxLength; }
  void SetMaxLength(int n);
  bool ReadOnly() const { return m_readOnly; }
  void SetReadOnly(bool on);
  char32_t PasswordChar() const { return m_passwordChar; }
  void SetPasswordChar(char32_t c);
  bool AutoSelect() const { return m_autoSelect; }
  void SetAutoSelect(bool on) { m_autoSelect = on; }
  bool HideSelection() const { return m_hideSelection; }
  void SetHideSelection(bool on);
  TEditCharCase CharCase() const { return m_charCase; }
  void SetCharCase(TEditCharCase c);
  TBorderStyle BorderStyle() const { return m_borderStyle; }
  void SetBorderStyle(TBorderStyle s);
  TAlignment Alignment() const { return m_alignment; }
  void SetAlignment(TAlignment a);

  // Selection in characters (code points; a memo's line break counts two).
  int SelStart() const;
  void SetSelStart(int start);
  int SelLength() const;
  void SetSelLength(int length);
  std::string SelText() const;
  void SetSelText(std::string_view text);
  void SelectAll();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Undo();
  bool CanUndo() const;
  void ClearUndo();
  void Clear() { SetText(""); }
  bool Modified() const;
  void SetModified(bool on);

  TNotifyEvent OnChange;

  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  virtual void Change();
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandleDone() override;
  bool WantsKey(WORD key, TShiftState shift) const override;
  void FontChanged() override;
  void ColorChanged() override;
  void TextChanged() override;
  // Sends a message to the window (made on demand); 0 without a window system.
  LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) const;

 private:
  void SendColors();
  int m_maxLength = 0;
  bool m_readOnly = false;
  char32_t m_passwordChar = 0;
  bool m_autoSelect = true;
  bool m_hideSelection = true;
  TEditCharCase m_charCase = TEditCharCase::ecNormal;
  TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
  TAlignment m_alignment = TAlignment::taLeftJustify;
  // Kept across a recreate of the window.
  int m_savedSelStart = 0;
  int m_savedSelEnd = 0;
  bool m_savedModified = false;
  bool m_restoreState = false;
  bool m_mouseFocus = false;
};

class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* owner);
};

class TCustomMemo;

// The memo's text as a list of its lines (hard line breaks; wrapping does not count).
class TMemoStrings : public TStrings {
 public:
  explicit TMemoStrings(TCustomMemo& memo) : m_memo(memo) {}
  int Count() const override;
  std::string Get(int index) const override;
  void Put(int index, std::string_view s) override;
  void Insert(int index, std::string_view s) override;
  void Delete(int index) override;
  void Clear() override;
  std::string Text() const override;
  void SetText(std::string_view text) override;
  // Forgets the cached lines (the text changed).
  void Invalidate() { m_valid = false; }

 protected:
  void SetUpdateState(bool updating) override;

 private:
  const std::vector<std::string>& Lines() const;
  void Store(const std::vector<std::string>& lines);
  TCustomMemo& m_memo;
  mutable std::vector<std::string> m_lines;
  mutable bool m_valid = false;
  bool m_updating = false;
  std::vector<std::string> m_pending;  // the lines while an update is open
};

class TCustomMemo : public TCustomEdit {
 public:
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;

  TStrings& Lines() { return *m_lines; }
  void SetLines(const TStrings& lines) { m_lines->Assign(&lines); }
  TScrollStyle ScrollBars() const { return m_scrollBars; }
  void SetScrollBars(TScrollStyle s);
  bool WordWrap() const { return m_wordWrap; }
  void SetWordWrap(bool on);
  bool WantReturns() const { return m_wantReturns; }
  void SetWantReturns(bool on) { m_wantReturns = on; }
  bool WantTabs() const { return m_wantTabs; }
  void SetWantTabs(bool on) { m_wantTabs = on; }
  // As the platform memo counts them: visual lines, wrapping included.
  int LineCount() const;
  int FirstVisibleLine() const;
  // The caret as (column, line) in visual lines.
  Point CaretPos() const;

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  bool WantsKey(WORD key, TShiftState shift) const override;
  void Change() override;
  void TextChanged() override;

 private:
  friend class TMemoStrings;
  std::unique_ptr<TMemoStrings> m_lines;
  TScrollStyle m_scrollBars = TScrollStyle::ssNone;
  bool m_wordWrap = true;
  bool m_wantReturns = true;
  bool m_wantTabs = false;
};

class TMemo : public TCustomMemo {
 public:
  explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};
