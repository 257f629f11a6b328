// TCustomEdit, TEdit, TCustomMemo and its Lines over the platform's EDIT class.
#include "toolkit/Edits.h"

#include <algorithm>

#include "platform/std/StdControls.h"
#include "platform/sys/Utf8.h"
#include "platform/win/WinApi.h"
#include "toolkit/Forms.h"
#include "toolkit/Reader.h"

namespace {

// Byte offset of the character `index` of `text` (its end for indexes beyond it).
std::size_t ByteOfChar(std::string_view text, int index) {
  std::size_t pos = 0;
  for (int i = 0; i < index && pos < text.size(); ++i) pos += DecodeUtf8(text, pos).length;
  return pos;
}

int CharCount(std::string_view text) {
  int n = 0;
  for (std::size_t pos = 0; pos < text.size(); pos += DecodeUtf8(text, pos).length) ++n;
  return n;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

}  // namespace

// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetColor(clWindow);
  SetTabStop(true);
  SetCursor(crIBeam);
  m_controlStyle = csClickEvents | csSetCaption | csDoubleClicks;
  SetBounds(0, 0, 121, 21);
}

LRESULT TCustomEdit::Send(UINT msg, WPARAM wp, LPARAM lp) const {
  auto* self = const_cast<TCustomEdit*>(this);
  return SendMessage(self->Handle(), msg, wp, lp);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  RegisterStdControls();
  p.windowClass = kEditClassName;
  p.style |= ES_AUTOHSCROLL;
  if (m_readOnly) p.style |= ES_READONLY;
  if (m_passwordChar) p.style |= ES_PASSWORD;
  if (!m_hideSelection) p.style |= ES_NOHIDESEL;
  if (m_charCase == TEditCharCase::ecUpperCase) p.style |= ES_UPPERCASE;
  if (m_charCase == TEditCharCase::ecLowerCase) p.style |= ES_LOWERCASE;
  if (m_alignment == TAlignment::taCenter) p.style |= ES_CENTER;
  else if (m_alignment == TAlignment::taRightJustify) p.style |= ES_RIGHT;
  if (m_borderStyle == TBorderStyle::bsSingle) p.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWindowHandleDone() {
  TWinControl::CreateWindowHandleDone();
  HWND h = Handle();
  SendMessage(h, WM_SETFONT, reinterpret_cast<WPARAM>(&Font().Handle()), 0);
  SendMessage(h, EM_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
  if (m_passwordChar) SendMessage(h, EM_SETPASSWORDCHAR, m_passwordChar, 0);
  SendColors();
  if (m_restoreState) {
    m_restoreState = false;
    SendMessage(h, EM_SETSEL, static_cast<WPARAM>(m_savedSelStart), m_savedSelEnd);
    SendMessage(h, EM_SETMODIFY, m_savedModified ? 1 : 0, 0);
  }
}

void TCustomEdit::SendColors() {
  if (!HandleAllocated()) return;
  Color text = Enabled() ? ColorToRGB(Font().GetColor()) : ColorToRGB(clGrayText);
  SendMessage(Handle(), EM_SETCOLORS, text, static_cast<LPARAM>(ColorToRGB(GetColor())));
}

void TCustomEdit::FontChanged() {
  TWinControl::FontChanged();
  if (!HandleAllocated()) return;
  SendMessage(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(&Font().Handle()), 1);
  SendColors();
}

void TCustomEdit::ColorChanged() {
  TWinControl::ColorChanged();
  SendColors();
}

void TCustomEdit::TextChanged() {
  TWinControl::TextChanged();
  // With a window the edit itself announces the change.
  if (!HandleAllocated()) Change();
}

void TCustomEdit::Change() { Fire(OnChange, this); }

bool TCustomEdit::WantsKey(WORD key, TShiftState) const {
  return key == VK_LEFT || key == VK_RIGHT || key == VK_HOME || key == VK_END || key == VK_UP ||
         key == VK_DOWN || key == VK_DELETE || key == VK_BACK;
}

void TCustomEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == EN_CHANGE && !(m_controlState & csCreating)) Change();
      return;
    case WM_DESTROY:
      if (HandleAllocated()) {
        // Selection and state go with the window; the next window gets them back.
        DWORD a = 0, b = 0;
        SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        m_savedSelStart = static_cast<int>(a);
        m_savedSelEnd = static_cast<int>(b);
        m_savedModified = SendMessage(Handle(), EM_GETMODIFY, 0, 0) != 0;
        m_restoreState = true;
      }
      break;
    case WM_LBUTTONDOWN:
      m_mouseFocus = !Focused();
      break;
    case WM_SETFOCUS:
      TWinControl::WndProc(m);
      // Entering by keyboard selects everything, as the framework's edits do.
      if (m_autoSelect && !m_mouseFocus && !(m_controlState & csRecreating) &&
          !(GetWindowLong(Handle(), GWL_STYLE) & ES_MULTILINE))
        SelectAll();
      m_mouseFocus = false;
      return;
    case CM_ENABLEDCHANGED:
      SendColors();
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

void TCustomEdit::SetMaxLength(int n) {
  m_maxLength = std::max(0, n);
  if (HandleAllocated()) SendMessage(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
}

void TCustomEdit::SetReadOnly(bool on) {
  m_readOnly = on;
  if (HandleAllocated()) SendMessage(Handle(), EM_SETREADONLY, on ? 1 : 0, 0);
}

void TCustomEdit::SetPasswordChar(char32_t c) {
  if (c == m_passwordChar) return;
  m_passwordChar = c;
  if (HandleAllocated()) {
    SendMessage(Handle(), EM_SETPASSWORDCHAR, c, 0);
    Invalidate();
  }
}

void TCustomEdit::SetHideSelection(bool on) {
  if (on == m_hideSelection) return;
  m_hideSelection = on;
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase c) {
  if (c == m_charCase) return;
  m_charCase = c;
  RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle s) {
  if (s == m_borderStyle) return;
  m_borderStyle = s;
  RecreateWnd();
}

void TCustomEdit::SetAlignment(TAlignment a) {
  if (a == m_alignment) return;
  m_alignment = a;
  RecreateWnd();
}

int TCustomEdit::SelStart() const {
  if (!HandleAllocated()) return m_savedSelStart;
  DWORD a = 0, b = 0;
  Send(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  return static_cast<int>(a);
}

int TCustomEdit::SelLength() const {
  if (!HandleAllocated()) return m_savedSelEnd - m_savedSelStart;
  DWORD a = 0, b = 0;
  Send(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  return static_cast<int>(b - a);
}

void TCustomEdit::SetSelStart(int start) {
  start = std::max(0, start);
  if (!HandleAllocated()) {
    m_savedSelStart = m_savedSelEnd = start;
    m_restoreState = true;
    return;
  }
  Send(EM_SETSEL, static_cast<WPARAM>(start), start);
}

void TCustomEdit::SetSelLength(int length) {
  int start = SelStart();
  int end = std::max(start, start + length);
  if (!HandleAllocated()) {
    m_savedSelEnd = end;
    m_restoreState = true;
    return;
  }
  Send(EM_SETSEL, static_cast<WPARAM>(start), end);
}

std::string TCustomEdit::SelText() const {
  std::string text = Text();
  std::size_t a = ByteOfChar(text, SelStart());
  std::size_t b = ByteOfChar(text, SelStart() + SelLength());
  return text.substr(a, b - a);
}

void TCustomEdit::SetSelText(std::string_view text) {
  std::string s(text);
  Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

void TCustomEdit::SelectAll() {
  if (!HandleAllocated()) {
    m_savedSelStart = 0;
    m_savedSelEnd = CharCount(m_text);
    m_restoreState = true;
    return;
  }
  Send(EM_SETSEL, 0, -1);
}

void TCustomEdit::ClearSelection() { Send(WM_CLEAR, 0, 0); }
void TCustomEdit::CopyToClipboard() { Send(WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { Send(WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { Send(WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { Send(EM_UNDO, 0, 0); }
bool TCustomEdit::CanUndo() const { return HandleAllocated() && Send(EM_CANUNDO, 0, 0) != 0; }
void TCustomEdit::ClearUndo() {
  if (HandleAllocated()) Send(EM_EMPTYUNDOBUFFER, 0, 0);
}

bool TCustomEdit::Modified() const {
  return HandleAllocated() ? Send(EM_GETMODIFY, 0, 0) != 0 : m_savedModified;
}

void TCustomEdit::SetModified(bool on) {
  if (HandleAllocated()) Send(EM_SETMODIFY, on ? 1 : 0, 0);
  else m_savedModified = on;
}

bool TCustomEdit::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "MaxLength")) SetMaxLength(v.AsInt());
  else if (SameText(name, "ReadOnly")) SetReadOnly(v.AsBool());
  else if (SameText(name, "PasswordChar")) {
    const std::string& s = v.AsString();
    SetPasswordChar(s.empty() ? 0 : DecodeUtf8(s, 0).code);
  } else if (SameText(name, "AutoSelect")) SetAutoSelect(v.AsBool());
  else if (SameText(name, "HideSelection")) SetHideSelection(v.AsBool());
  else if (SameText(name, "CharCase"))
    SetCharCase(static_cast<TEditCharCase>(v.AsEnum({{"ecNormal", 0}, {"ecUpperCase", 1}, {"ecLowerCase", 2}})));
  else if (SameText(name, "BorderStyle"))
    SetBorderStyle(static_cast<TBorderStyle>(v.AsEnum({{"bsNone", 0}, {"bsSingle", 1}})));
  else if (SameText(name, "Alignment")) SetAlignment(ReadAlignment(v));
  else if (SameText(name, "OnChange")) OnChange = reader.ReadHandler<TNotifyEvent>(v);
  else return TWinControl::ReadProperty(name, v, reader);
  return true;
}

TEdit::TEdit(TComponent* owner) : TCustomEdit(owner) {}

// TMemoStrings

const std::vector<std::string>& TMemoStrings::Lines() const {
  if (m_updating) return m_pending;
  if (!m_valid) {
    m_lines = SplitLines(m_memo.Text());
    m_valid = true;
  }
  return m_lines;
}

void TMemoStrings::Store(const std::vector<std::string>& lines) {
  if (m_updating) {
    m_pending = lines;
    return;
  }
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  m_memo.SetText(text);
  m_lines = lines;
  m_valid = true;
}

int TMemoStrings::Count() const { return static_cast<int>(Lines().size()); }

std::string TMemoStrings::Get(int index) const {
  const auto& lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
  return lines[static_cast<std::size_t>(index)];
}

void TMemoStrings::Put(int index, std::string_view s) {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
  lines[static_cast<std::size_t>(index)] = s;
  Store(lines);
}

void TMemoStrings::Insert(int index, std::string_view s) {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index > static_cast<int>(lines.size())) IndexError(index);
  // A line break in the text inserts several lines, as it does in the control.
  std::vector<std::string> parts = SplitLines(s);
  if (parts.empty()) parts.emplace_back();
  lines.insert(lines.begin() + index, parts.begin(), parts.end());
  Store(lines);
}

void TMemoStrings::Delete(int index) {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
  lines.erase(lines.begin() + index);
  Store(lines);
}

void TMemoStrings::Clear() { Store({}); }

std::string TMemoStrings::Text() const { return TStrings::Text(); }

void TMemoStrings::SetText(std::string_view text) {
  if (m_updating) {
    m_pending = SplitLines(text);
    return;
  }
  m_memo.SetText(text);
  m_valid = false;
}

void TMemoStrings::SetUpdateState(bool updating) {
  // Many changes inside BeginUpdate/EndUpdate reach the control as one text.
  if (updating) {
    m_pending = Lines();
    m_updating = true;
  } else {
    m_updating = false;
    Store(m_pending);
    m_pending.clear();
  }
}

// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* owner)
    : TCustomEdit(owner), m_lines(std::make_unique<TMemoStrings>(*this)) {
  SetBounds(0, 0, 185, 89);
  SetAutoSelect(false);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (m_wantReturns) p.style |= ES_WANTRETURN;
  if (m_scrollBars == TScrollStyle::ssVertical || m_scrollBars == TScrollStyle::ssBoth) p.style |= WS_VSCROLL;
  bool hscroll = m_scrollBars == TScrollStyle::ssHorizontal || m_scrollBars == TScrollStyle::ssBoth;
  if (hscroll) p.style |= WS_HSCROLL;
  // Word wrap needs neither horizontal scrolling style.
  if (m_wordWrap && !hscroll) p.style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
}

void TCustomMemo::SetScrollBars(TScrollStyle s) {
  if (s == m_scrollBars) return;
  m_scrollBars = s;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool on) {
  if (on == m_wordWrap) return;
  m_wordWrap = on;
  RecreateWnd();
}

bool TCustomMemo::WantsKey(WORD key, TShiftState shift) const {
  if (key == VK_TAB) return m_wantTabs;
  if (key == VK_RETURN) return m_wantReturns;
  return TCustomEdit::WantsKey(key, shift) || key == VK_PRIOR || key == VK_NEXT;
}

void TCustomMemo::Change() {
  m_lines->Invalidate();
  TCustomEdit::Change();
}

void TCustomMemo::TextChanged() {
  m_lines->Invalidate();
  TCustomEdit::TextChanged();
}

int TCustomMemo::LineCount() const { return HandleAllocated() ? static_cast<int>(Send(EM_GETLINECOUNT, 0, 0)) : m_lines->Count(); }

int TCustomMemo::FirstVisibleLine() const {
  return HandleAllocated() ? static_cast<int>(Send(EM_GETFIRSTVISIBLELINE, 0, 0)) : 0;
}

Point TCustomMemo::CaretPos() const {
  if (!HandleAllocated()) return {};
  DWORD a = 0, b = 0;
  Send(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  int line = static_cast<int>(Send(EM_LINEFROMCHAR, b, 0));
  int start = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(line), 0));
  return {static_cast<int>(b) - start, line};
}

TPersistent* TCustomMemo::PropertyObject(std::string_view name) {
  if (SameText(name, "Lines")) return m_lines.get();
  return TCustomEdit::PropertyObject(name);
}

bool TCustomMemo::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "ScrollBars"))
    SetScrollBars(static_cast<TScrollStyle>(v.AsEnum({{"ssNone", 0}, {"ssHorizontal", 1}, {"ssVertical", 2}, {"ssBoth", 3}})));
  else if (SameText(name, "WordWrap")) SetWordWrap(v.AsBool());
  else if (SameText(name, "WantReturns")) SetWantReturns(v.AsBool());
  else if (SameText(name, "WantTabs")) SetWantTabs(v.AsBool());
  else return TCustomEdit::ReadProperty(name, v, reader);
  return true;
}
