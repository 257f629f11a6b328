// EditControl: the "EDIT" window class — one-line edit and memo.
#include "platform/std/EditControl.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/std/StdConst.h"
#include "platform/std/StdControls.h"
#include "platform/std/StdPopupMenu.h"
#include "platform/sys/Utf8.h"
#include "platform/win/WinApi.h"

namespace {

constexpr UINT_PTR kDragTimer = 0xFFA1;
constexpr UINT WM_CONTEXTMENU_ = 0x007B;  // not in WinConst.h yet
constexpr std::size_t kMaxUndoSteps = 1000;

bool Blank(char32_t c) { return c == U' ' || c == U'\t' || c == 0x3000; }

int CharClass(char32_t c) {
  if (c == U'\r' || c == U'\n') return 0;
  if (Blank(c)) return 1;
  if (IsCjkChar(c)) return 3;
  if (c >= 128) return 2;
  if ((c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || c == U'_')
    return 2;
  return 4;
}

// The control behind each window. Kept here rather than in a window property so that the
// last message, WM_NCDESTROY, frees it without calling into the window system (which may
// be shutting down).
std::unordered_map<HWND, EditControl*>& Instances() {
  static std::unordered_map<HWND, EditControl*> instances;
  return instances;
}

EditControl* Find(HWND hwnd) {
  auto it = Instances().find(hwnd);
  return it == Instances().end() ? nullptr : it->second;
}

bool KeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

int SignedParam(WPARAM v) { return static_cast<int>(static_cast<std::intptr_t>(v)); }

}  // namespace

LRESULT EditControl::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  EditControl* self = Find(hwnd);
  if (msg == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lp);
    if (!self) {
      self = new EditControl(hwnd, cs ? static_cast<DWORD>(cs->style) : 0);
      Instances()[hwnd] = self;
    }
    if (cs && cs->lpszName) self->SetText(cs->lpszName, false);
    return TRUE;
  }
  if (!self) return DefWindowProc(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    Instances().erase(hwnd);
    delete self;
    return 0;
  }
  return self->Handle(msg, wp, lp);
}

EditControl::EditControl(HWND hwnd, DWORD style)
    : m_hwnd(hwnd),
      m_multiline((style & ES_MULTILINE) != 0),
      m_wordWrap(m_multiline && !(style & (WS_HSCROLL | ES_AUTOHSCROLL))),
      m_text(m_metrics, m_multiline),
      m_bars(std::make_unique<NcScrollBars>(hwnd, false)) {
  if (!m_multiline && (style & ES_PASSWORD)) m_metrics.SetPasswordChar(U'*');
}

DWORD EditControl::Style() const { return static_cast<DWORD>(GetWindowLong(m_hwnd, GWL_STYLE)); }
bool EditControl::ReadOnly() const { return (Style() & ES_READONLY) != 0; }

// ---------------------------------------------------------------------------------------
// Text changes

void EditControl::SetText(std::string_view utf8, bool notify) {
  std::u32string text = Utf8ToUtf32(utf8);
  if (m_multiline) text = NormalizeBreaks(text);
  m_text.SetText(std::move(text));
  m_anchor = m_caret = 0;
  m_caretEol = false;
  m_desiredX = -1;
  m_topLine = 0;
  m_xOffset = 0;
  m_undo.clear();
  m_modified = false;
  m_utf8Valid = false;
  UpdateScrollBars();
  UpdateCaret();
  Invalidate();
  if (notify) {
    Notify(EN_UPDATE);
    Notify(EN_CHANGE);
  }
}

std::u32string EditControl::PrepareInsert(std::u32string_view text) const {
  std::u32string out;
  if (m_multiline) {
    out = NormalizeBreaks(text);
  } else {
    const std::size_t cut = text.find_first_of(U"\r\n");
    out = std::u32string(text.substr(0, cut));
  }
  const DWORD style = Style();
  for (char32_t& c : out) {
    if ((style & ES_UPPERCASE) && c >= U'a' && c <= U'z') c -= 32;
    if ((style & ES_LOWERCASE) && c >= U'A' && c <= U'Z') c += 32;
  }
  return out;
}

bool EditControl::ReplaceSelection(std::u32string text, bool undoable, bool typing) {
  const int a = SelMin();
  const int b = SelMax();
  const long long room = static_cast<long long>(m_limit) - (m_text.Length() - (b - a));
  bool refused = false;
  if (static_cast<long long>(text.size()) > room) {
    std::size_t cut = static_cast<std::size_t>(std::max(0LL, room));
    // A line break is kept whole or not at all.
    if (cut > 0 && text[cut - 1] == U'\r' && cut < text.size() && text[cut] == U'\n') --cut;
    text.resize(cut);
    refused = true;
  }
  if (text.empty() && a == b) {
    if (refused) Notify(EN_MAXTEXT);
    return false;
  }
  const HWND hwnd = m_hwnd;
  ReplaceRange(a, b, text, undoable, typing);
  if (refused && IsWindow(hwnd) && Find(hwnd) == this) Notify(EN_MAXTEXT);
  return true;
}

void EditControl::ReplaceRange(int a, int b, std::u32string_view text, bool undoable, bool typing) {
  if (undoable) {
    const bool merge = typing && !m_undo.empty() && m_undo.back().typing &&
                       m_undo.back().removed.empty() && a == b &&
                       m_undo.back().pos + m_undo.back().insertedLength == a;
    if (merge) {
      m_undo.back().insertedLength += static_cast<int>(text.size());
    } else {
      UndoStep step;
      step.pos = a;
      step.removed = m_text.Text().substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a));
      step.insertedLength = static_cast<int>(text.size());
      step.anchorBefore = m_anchor;
      step.caretBefore = m_caret;
      step.typing = typing && a == b;
      m_undo.push_back(std::move(step));
      if (m_undo.size() > kMaxUndoSteps) m_undo.erase(m_undo.begin());
    }
  }
  m_text.Replace(a, b - a, text);
  m_anchor = m_caret = a + static_cast<int>(text.size());
  m_caretEol = false;
  m_desiredX = -1;
  Changed();
}

void EditControl::Undo() {
  if (m_undo.empty()) return;
  UndoStep step = std::move(m_undo.back());
  m_undo.pop_back();
  m_text.Replace(step.pos, step.insertedLength, step.removed);
  m_anchor = step.pos;
  m_caret = step.pos + static_cast<int>(step.removed.size());
  if (step.removed.empty()) m_anchor = m_caret = step.pos;
  m_caretEol = false;
  m_desiredX = -1;
  Changed();
}

void EditControl::Changed() {
  m_modified = true;
  m_utf8Valid = false;
  EnsureCaretVisible();
  UpdateScrollBars();
  UpdateCaret();
  Invalidate();
  const HWND hwnd = m_hwnd;
  Notify(EN_UPDATE);
  if (IsWindow(hwnd) && Find(hwnd) == this) Notify(EN_CHANGE);
}

void EditControl::Notify(WORD code) {
  HWND parent = GetParent(m_hwnd);
  if (!parent) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_hwnd), code),
              reinterpret_cast<LPARAM>(m_hwnd));
}

// ---------------------------------------------------------------------------------------
// Selection and caret

int EditControl::Normalize(int pos, bool forward) const {
  const std::u32string& t = m_text.Text();
  pos = std::clamp(pos, 0, m_text.Length());
  if (m_multiline && pos > 0 && pos < m_text.Length() && t[static_cast<std::size_t>(pos - 1)] == U'\r' &&
      t[static_cast<std::size_t>(pos)] == U'\n')
    pos += forward ? 1 : -1;
  return pos;
}

int EditControl::NextChar(int pos) const {
  const std::u32string& t = m_text.Text();
  const int n = m_text.Length();
  if (pos >= n) return n;
  if (m_multiline && t[static_cast<std::size_t>(pos)] == U'\r' && pos + 1 < n &&
      t[static_cast<std::size_t>(pos + 1)] == U'\n')
    return pos + 2;
  return pos + 1;
}

int EditControl::PrevChar(int pos) const {
  const std::u32string& t = m_text.Text();
  if (pos <= 0) return 0;
  if (m_multiline && pos >= 2 && t[static_cast<std::size_t>(pos - 1)] == U'\n' &&
      t[static_cast<std::size_t>(pos - 2)] == U'\r')
    return pos - 2;
  return pos - 1;
}

int EditControl::WordRight(int pos) const {
  const std::u32string& t = m_text.Text();
  const int n = m_text.Length();
  if (pos >= n) return n;
  const int cls = CharClass(t[static_cast<std::size_t>(pos)]);
  if (cls == 0) return NextChar(pos);
  if (cls != 1)
    while (pos < n && CharClass(t[static_cast<std::size_t>(pos)]) == cls) ++pos;
  while (pos < n && CharClass(t[static_cast<std::size_t>(pos)]) == 1) ++pos;
  return pos;
}

int EditControl::WordLeft(int pos) const {
  const std::u32string& t = m_text.Text();
  if (pos <= 0) return 0;
  while (pos > 0 && CharClass(t[static_cast<std::size_t>(pos - 1)]) == 1) --pos;
  if (pos == 0) return 0;
  const int cls = CharClass(t[static_cast<std::size_t>(pos - 1)]);
  if (cls == 0) return PrevChar(pos);
  while (pos > 0 && CharClass(t[static_cast<std::size_t>(pos - 1)]) == cls) --pos;
  return pos;
}

std::pair<int, int> EditControl::WordAt(int pos) const {
  const std::u32string& t = m_text.Text();
  const int n = m_text.Length();
  if (n == 0) return {0, 0};
  if (pos >= n || CharClass(t[static_cast<std::size_t>(pos)]) == 0) {
    if (pos == 0 || CharClass(t[static_cast<std::size_t>(pos - 1)]) == 0) return {pos, pos};
    --pos;
  }
  const int cls = CharClass(t[static_cast<std::size_t>(pos)]);
  int a = pos;
  int b = pos + 1;
  while (a > 0 && CharClass(t[static_cast<std::size_t>(a - 1)]) == cls) --a;
  while (b < n && CharClass(t[static_cast<std::size_t>(b)]) == cls) ++b;
  // A word takes the blanks after it, as the platform selects it.
  if (cls != 1)
    while (b < n && CharClass(t[static_cast<std::size_t>(b)]) == 1) ++b;
  return {a, b};
}

void EditControl::SetSelection(int anchor, int caret, bool scroll) {
  m_anchor = Normalize(anchor, false);
  m_caret = Normalize(caret, caret > m_caret);
  if (scroll) EnsureCaretVisible();
  UpdateCaret();
  Invalidate();
}

int EditControl::CaretLine() const {
  int line = m_text.LineFromChar(m_caret);
  if (m_caretEol && line > 0 && m_text.GetLine(line).start == m_caret &&
      m_text.GetLine(line - 1).breakLength == 0)
    --line;
  return line;
}

Point EditControl::CaretPos() const {
  const int line = CaretLine();
  const int x = m_format.left + LineOffsetX(line) + m_text.XOfChar(line, m_caret) - m_xOffset;
  int dx = 0;
  if (!m_composition.empty()) {
    const std::u32string_view before(m_composition.data(),
                                     static_cast<std::size_t>(std::clamp(m_compositionCursor, 0, static_cast<int>(m_composition.size()))));
    dx = m_metrics.GetFont().TextWidth(Utf32ToUtf8(before));
  }
  return {x + dx, LineY(line)};
}

void EditControl::UpdateCaret() {
  if (!m_focused) return;
  const Point p = CaretPos();
  SetCaretPos(p.x, p.y);
}

// ---------------------------------------------------------------------------------------
// Geometry

void EditControl::UpdateFormatRect() {
  if (!m_customFormat) {
    Rect client;
    GetClientRect(m_hwnd, &client);
    m_format = {m_leftMargin, 0, std::max(m_leftMargin, client.right - m_rightMargin), client.bottom};
  }
  UpdateWrapWidth();
}

void EditControl::UpdateWrapWidth() {
  if (m_wordWrap) m_text.SetWrapWidth(std::max(1, m_format.Width()));
}

int EditControl::VisibleLines() const {
  if (!m_multiline) return 1;
  return std::max(1, m_format.Height() / m_metrics.LineHeight());
}

int EditControl::LineOffsetX(int line) const {
  const DWORD align = Style() & (ES_CENTER | ES_RIGHT);
  if (align == ES_LEFT) return 0;
  const int room = m_format.Width() - m_text.GetLine(line).width;
  if (room <= 0) return 0;
  return align == ES_RIGHT ? room - 1 : room / 2;
}

int EditControl::LineY(int line) const {
  return m_format.top + (line - m_topLine) * m_metrics.LineHeight();
}

Point EditControl::PosFromChar(int index) const {
  const int line = m_text.LineFromChar(index);
  return {m_format.left + LineOffsetX(line) + m_text.XOfChar(line, index) - m_xOffset, LineY(line)};
}

int EditControl::CharFromPoint(Point p, int* lineOut) const {
  int line = 0;
  if (m_multiline) {
    const int dy = p.y - m_format.top;
    const int h = m_metrics.LineHeight();
    line = m_topLine + (dy >= 0 ? dy / h : -((-dy + h - 1) / h));
    line = std::clamp(line, 0, m_text.LineCount() - 1);
  }
  if (lineOut) *lineOut = line;
  const int x = p.x - m_format.left + m_xOffset - LineOffsetX(line);
  return Normalize(m_text.CharAtX(line, x), false);
}

// ---------------------------------------------------------------------------------------
// Scrolling

void EditControl::ScrollTo(int topLine, int xOffset, bool notify) {
  const int maxTop = m_multiline ? std::max(0, m_text.LineCount() - VisibleLines()) : 0;
  topLine = std::clamp(topLine, 0, maxTop);
  xOffset = m_wordWrap ? 0 : std::clamp(xOffset, 0, std::max(0, m_text.MaxWidth()));
  const bool vertical = topLine != m_topLine;
  const bool horizontal = xOffset != m_xOffset;
  if (!vertical && !horizontal) return;
  m_topLine = topLine;
  m_xOffset = xOffset;
  UpdateScrollBars();
  UpdateCaret();
  Invalidate();
  if (notify) {
    const HWND hwnd = m_hwnd;
    if (vertical) Notify(EN_VSCROLL);
    if (horizontal && IsWindow(hwnd) && Find(hwnd) == this) Notify(EN_HSCROLL);
  }
}

void EditControl::EnsureCaretVisible() {
  const int line = CaretLine();
  int top = m_topLine;
  if (m_multiline) {
    const int visible = VisibleLines();
    if (line < top) top = line;
    else if (line >= top + visible) top = line - visible + 1;
  }
  int xoff = m_xOffset;
  if (!m_wordWrap) {
    const int cx = LineOffsetX(line) + m_text.XOfChar(line, m_caret);
    const int fw = std::max(1, m_format.Width());
    if (cx < xoff) xoff = std::max(0, cx - fw / 4);
    else if (cx >= xoff + fw) xoff = cx - (fw * 3) / 4;
  }
  ScrollTo(top, xoff, false);
  // Clamping after a deletion may be needed although the caret is in view.
  const int maxTop = m_multiline ? std::max(0, m_text.LineCount() - VisibleLines()) : 0;
  if (m_topLine > maxTop) ScrollTo(maxTop, m_xOffset, false);
}

void EditControl::UpdateScrollBars() {
  if (!m_multiline) return;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(0, m_text.LineCount() - 1);
  si.nPage = static_cast<UINT>(VisibleLines());
  si.nPos = m_topLine;
  m_bars->SetInfo(SB_VERT, si, true);
  si.nMax = std::max(0, m_text.MaxWidth());
  si.nPage = static_cast<UINT>(std::max(1, m_format.Width()));
  si.nPos = m_xOffset;
  m_bars->SetInfo(SB_HORZ, si, true);
}

LRESULT EditControl::OnScroll(int bar, int code, int thumb) {
  if (!m_multiline) return 0;
  const bool vertical = bar == SB_VERT;
  const int current = vertical ? m_topLine : m_xOffset;
  const int line = vertical ? 1 : m_metrics.AveCharWidth();
  const int page = vertical ? VisibleLines() : std::max(1, m_format.Width());
  const int last = vertical ? std::max(0, m_text.LineCount() - VisibleLines()) : m_text.MaxWidth();
  int next = current;
  switch (code) {
    case SB_LINEUP: next = current - line; break;
    case SB_LINEDOWN: next = current + line; break;
    case SB_PAGEUP: next = current - page; break;
    case SB_PAGEDOWN: next = current + page; break;
    case SB_TOP: next = 0; break;
    case SB_BOTTOM: next = last; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // Our own bar knows the full-range position; other senders give it in HIWORD.
      if (m_bars->Tracking()) {
        SCROLLINFO si;
        si.fMask = SIF_TRACKPOS;
        m_bars->GetInfo(bar, si);
        next = si.nTrackPos;
      } else {
        next = thumb;
      }
      break;
    }
    default: return 0;
  }
  if (vertical) ScrollTo(next, m_xOffset, true);
  else ScrollTo(m_topLine, next, true);
  return 0;
}

// ---------------------------------------------------------------------------------------
// Input

void EditControl::OnKeyDown(int vk) {
  const bool shift = KeyDown(VK_SHIFT);
  const bool ctrl = KeyDown(VK_CONTROL);
  int caret = m_caret;
  bool eol = false;
  bool keepDesired = false;
  const bool hasSel = m_anchor != m_caret;
  switch (vk) {
    case VK_LEFT:
    case VK_UP:
      if (vk == VK_UP && m_multiline) {
        const int line = CaretLine();
        if (m_desiredX < 0) m_desiredX = LineOffsetX(line) + m_text.XOfChar(line, m_caret);
        keepDesired = true;
        if (line > 0) caret = m_text.CharAtX(line - 1, m_desiredX - LineOffsetX(line - 1));
        break;
      }
      if (!shift && hasSel && !ctrl) caret = SelMin();
      else caret = ctrl ? WordLeft(m_caret) : PrevChar(m_caret);
      break;
    case VK_RIGHT:
    case VK_DOWN:
      if (vk == VK_DOWN && m_multiline) {
        const int line = CaretLine();
        if (m_desiredX < 0) m_desiredX = LineOffsetX(line) + m_text.XOfChar(line, m_caret);
        keepDesired = true;
        if (line + 1 < m_text.LineCount())
          caret = m_text.CharAtX(line + 1, m_desiredX - LineOffsetX(line + 1));
        break;
      }
      if (!shift && hasSel && !ctrl) caret = SelMax();
      else caret = ctrl ? WordRight(m_caret) : NextChar(m_caret);
      break;
    case VK_HOME:
      caret = (ctrl || !m_multiline) ? 0 : m_text.GetLine(CaretLine()).start;
      break;
    case VK_END:
      if (ctrl || !m_multiline) {
        caret = m_text.Length();
      } else {
        const EditText::Line& l = m_text.GetLine(CaretLine());
        caret = l.start + l.length;
        eol = l.breakLength == 0;
      }
      break;
    case VK_PRIOR:
    case VK_NEXT: {
      if (!m_multiline) return;
      const int page = VisibleLines();
      const int line = CaretLine();
      if (m_desiredX < 0) m_desiredX = LineOffsetX(line) + m_text.XOfChar(line, m_caret);
      keepDesired = true;
      const int target = std::clamp(line + (vk == VK_NEXT ? page : -page), 0, m_text.LineCount() - 1);
      ScrollTo(m_topLine + (vk == VK_NEXT ? page : -page), m_xOffset, false);
      caret = m_text.CharAtX(target, m_desiredX - LineOffsetX(target));
      break;
    }
    case VK_DELETE:
      if (ReadOnly()) return;
      if (shift) {
        Cut();
      } else if (hasSel) {
        Clear();
      } else if (m_caret < m_text.Length()) {
        ReplaceRange(m_caret, NextChar(m_caret), {}, true, false);
      }
      return;
    case VK_INSERT:
      if (ctrl) Copy();
      else if (shift) Paste();
      return;
    case VK_APPS:
      RequestContextMenu();
      return;
    default:
      return;
  }
  const int desired = m_desiredX;
  SetSelection(shift ? m_anchor : caret, caret);
  m_caretEol = eol && m_caret == caret;
  m_desiredX = keepDesired ? desired : -1;
  UpdateCaret();
}

void EditControl::OnChar(char32_t ch) {
  switch (ch) {
    case 1: SetSelection(0, m_text.Length()); return;
    case 3: Copy(); return;
    case 22: Paste(); return;
    case 24: Cut(); return;
    case 26:
      if (!ReadOnly()) Undo();
      return;
    case 8:
      if (ReadOnly()) return;
      if (m_anchor != m_caret) ReplaceSelection({}, true, false);
      else if (m_caret > 0) ReplaceRange(PrevChar(m_caret), m_caret, {}, true, false);
      return;
    case U'\r':
      if (!m_multiline || ReadOnly()) return;
      ReplaceSelection(U"\r\n", true, false);
      return;
    case U'\t':
      if (!m_multiline || ReadOnly()) return;
      ReplaceSelection(U"\t", true, true);
      return;
    default: break;
  }
  if (ch < 32 || ch == 127 || ReadOnly()) return;
  if ((Style() & ES_NUMBER) && (ch < U'0' || ch > U'9')) {
    MessageBeep(0);
    return;
  }
  ReplaceSelection(PrepareInsert(std::u32string(1, ch)), true, true);
}

void EditControl::OnMouseDown(Point p, bool shift, bool dbl) {
  const HWND hwnd = m_hwnd;
  if (GetFocus() != hwnd) {
    SetFocus(hwnd);
    if (!IsWindow(hwnd) || Find(hwnd) != this) return;
  }
  const int index = CharFromPoint(p, nullptr);
  if (dbl) {
    const auto word = WordAt(index);
    SetSelection(word.first, word.second);
  } else {
    SetSelection(shift ? m_anchor : index, index);
  }
  m_caretEol = false;
  m_desiredX = -1;
  m_dragging = !dbl;
  m_lastMouse = p;
  if (m_dragging) {
    SetCapture(hwnd);
    SetTimer(hwnd, kDragTimer, 100, nullptr);
  }
}

void EditControl::OnMouseMove(Point p) {
  if (!m_dragging) return;
  m_lastMouse = p;
  SetSelection(m_anchor, CharFromPoint(p, nullptr));
  m_desiredX = -1;
}

void EditControl::Copy() const {
  if (m_anchor == m_caret || m_metrics.PasswordChar()) return;
  const std::u32string_view sel = std::u32string_view(m_text.Text()).substr(
      static_cast<std::size_t>(SelMin()), static_cast<std::size_t>(SelMax() - SelMin()));
  SetClipboardText(Utf32ToUtf8(sel));
}

void EditControl::Cut() {
  if (ReadOnly() || m_anchor == m_caret || m_metrics.PasswordChar()) return;
  Copy();
  ReplaceSelection({}, true, false);
}

void EditControl::Paste() {
  if (ReadOnly() || !IsClipboardTextAvailable()) return;
  std::u32string text = PrepareInsert(Utf8ToUtf32(GetClipboardText()));
  if (text.empty()) return;
  ReplaceSelection(std::move(text), true, false);
}

void EditControl::Clear() {
  if (ReadOnly() || m_anchor == m_caret) return;
  ReplaceSelection({}, true, false);
}

bool EditControl::CommandEnabled(int command) const {
  const bool sel = m_anchor != m_caret;
  const bool ro = ReadOnly();
  const bool secret = m_metrics.PasswordChar() != 0;
  switch (command) {
    case kEditCmdUndo: return !ro && !m_undo.empty();
    case kEditCmdCut: return sel && !ro && !secret;
    case kEditCmdCopy: return sel && !secret;
    case kEditCmdPaste: return !ro && IsClipboardTextAvailable();
    case kEditCmdDelete: return sel && !ro;
    case kEditCmdSelectAll: return !(SelMin() == 0 && SelMax() == m_text.Length());
    default: return false;
  }
}

void EditControl::RunCommand(int command) {
  if (!CommandEnabled(command)) return;
  switch (command) {
    case kEditCmdUndo: Undo(); break;
    case kEditCmdCut: Cut(); break;
    case kEditCmdCopy: Copy(); break;
    case kEditCmdPaste: Paste(); break;
    case kEditCmdDelete: Clear(); break;
    case kEditCmdSelectAll: SetSelection(0, m_text.Length()); break;
    default: break;
  }
}

void EditControl::RequestContextMenu() {
  // Sent, not shown at once, so that a subclass that answers WM_CONTEXTMENU replaces the
  // menu from the keyboard too.
  SendMessage(m_hwnd, WM_CONTEXTMENU_, reinterpret_cast<WPARAM>(m_hwnd), -1);
}

void EditControl::ShowContextMenu(LPARAM lp) {
  const HWND hwnd = m_hwnd;
  if (GetFocus() != hwnd) {
    SetFocus(hwnd);
    if (!IsWindow(hwnd) || Find(hwnd) != this) return;
  }
  Point screen;
  if (lp == -1) {
    screen = CaretPos();
    screen.y += m_metrics.LineHeight();
    ClientToScreen(hwnd, &screen);
  } else {
    screen = LParamToPoint(lp);
  }
  const std::vector<StdMenuItem> items = {
      {kEditCmdUndo, "&Undo", CommandEnabled(kEditCmdUndo), false},
      {0, "", true, true},
      {kEditCmdCut, "Cu&t", CommandEnabled(kEditCmdCut), false},
      {kEditCmdCopy, "&Copy", CommandEnabled(kEditCmdCopy), false},
      {kEditCmdPaste, "&Paste", CommandEnabled(kEditCmdPaste), false},
      {kEditCmdDelete, "&Delete", CommandEnabled(kEditCmdDelete), false},
      {0, "", true, true},
      {kEditCmdSelectAll, "Select &All", CommandEnabled(kEditCmdSelectAll), false},
  };
  const int chosen = TrackStdPopupMenu(hwnd, screen, items);
  if (chosen && IsWindow(hwnd) && Find(hwnd) == this) RunCommand(chosen);
}

// ---------------------------------------------------------------------------------------
// Painting

void EditControl::Invalidate() { InvalidateRect(m_hwnd, nullptr, true); }

void EditControl::Paint(DC& dc, const Rect& update) {
  const HWND hwnd = m_hwnd;
  const bool enabled = IsWindowEnabled(hwnd);
  Color text = m_textColor == clDefault ? clWindowText : m_textColor;
  Color back = m_bkColor == clDefault ? clWindow : m_bkColor;
  if (!enabled) text = clGrayText;
  dc.SetTextColor(ColorToRGB(text));
  dc.SetBkColor(back == clNone ? ColorToRGB(clWindow) : ColorToRGB(back));
  if ((GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD) && GetParent(hwnd)) {
    const UINT ask = (ReadOnly() || !enabled) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    const LRESULT answer = SendMessage(GetParent(hwnd), ask, reinterpret_cast<WPARAM>(&dc),
                                       reinterpret_cast<LPARAM>(hwnd));
    if (!IsWindow(hwnd) || Find(hwnd) != this) return;
    if (answer) {
      const Brush* brush = reinterpret_cast<const Brush*>(answer);
      back = brush->style == BS_NULL ? clNone : brush->color;
    }
    text = dc.TextColor();
  }
  Rect client;
  GetClientRect(hwnd, &client);
  if (back != clNone) dc.FillRect(client, back);
  DCState state(dc);
  dc.SetBkMode(TRANSPARENT);
  dc.SelectFont(m_metrics.GetFont());
  dc.IntersectClipRect({m_format.left, m_format.top, m_format.right, client.bottom});
  const int h = m_metrics.LineHeight();
  const int last = m_multiline ? std::min(m_text.LineCount(), m_topLine + VisibleLines() + 2) : 1;
  for (int line = m_multiline ? m_topLine : 0; line < last; ++line) {
    const int y = LineY(line);
    if (y >= update.bottom || y >= client.bottom) break;
    if (y + h <= update.top) continue;
    PaintLine(dc, line, y, text, m_focused || (Style() & ES_NOHIDESEL));
  }
  if (!m_composition.empty()) {
    const int line = CaretLine();
    const Point p{m_format.left + LineOffsetX(line) + m_text.XOfChar(line, m_caret) - m_xOffset, LineY(line)};
    const std::string comp = Utf32ToUtf8(m_composition);
    const int w = m_metrics.GetFont().TextWidth(comp);
    dc.FillRect({p.x, p.y, p.x + w, p.y + h}, back == clNone ? clWindow : back);
    dc.SetTextColor(ColorToRGB(text));
    dc.TextOut(p.x, p.y, comp);
    dc.FillRect({p.x, p.y + h - 1, p.x + w, p.y + h}, text);
  }
}

void EditControl::PaintLine(DC& dc, int line, int y, Color text, bool showSelection) {
  const EditText::Line& l = m_text.GetLine(line);
  const std::u32string& t = m_text.Text();
  const int x0 = m_format.left + LineOffsetX(line) - m_xOffset;
  const Rect clip = dc.ClipBox();
  const int h = m_metrics.LineHeight();
  const int selA = showSelection ? SelMin() : 0;
  const int selB = showSelection ? SelMax() : 0;
  const char32_t secret = m_metrics.PasswordChar();
  const Color textRgb = ColorToRGB(text);
  const Color selText = ColorToRGB(clHighlightText);

  std::string run;
  int runX = 0;
  int runEnd = 0;
  bool runSel = false;
  auto flush = [&]() {
    if (runSel && runEnd > runX) dc.FillRect({runX, y, runEnd, y + h}, clHighlight);
    if (!run.empty()) {
      dc.SetTextColor(runSel ? selText : textRgb);
      dc.TextOut(runX, y, run);
      run.clear();
    }
    runX = runEnd;
  };
  int x = 0;  // from the line's start
  runX = runEnd = x0;
  for (int i = l.start; i < l.start + l.length; ++i) {
    const char32_t c = t[static_cast<std::size_t>(i)];
    const int w = m_metrics.Advance(c, x);
    const int left = x0 + x;
    x += w;
    if (left + w < clip.left) {
      runX = runEnd = x0 + x;
      continue;
    }
    if (left > clip.right) break;
    const bool sel = i >= selA && i < selB;
    const bool drawable = secret || (c >= 32 && c != 127 && !(c >= 0x80 && c < 0xA0));
    if (sel != runSel || !drawable) {
      flush();
      runSel = sel;
    }
    if (drawable) {
      if (secret) AppendUtf8(run, secret);
      else if (c < 0x80) run.push_back(static_cast<char>(c));
      else AppendUtf8(run, c);
    }
    runEnd = left + w;
    if (!drawable) flush();
  }
  flush();
}

// ---------------------------------------------------------------------------------------
// Messages

LRESULT EditControl::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  const HWND hwnd = m_hwnd;
  LRESULT result = 0;
  if (m_bars->HandleMessage(msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_CREATE:
      UpdateFormatRect();
      UpdateScrollBars();
      return 0;
    case WM_SETTEXT:
      SetText(lp ? reinterpret_cast<const char*>(lp) : "", true);
      return TRUE;
    case WM_GETTEXT: {
      if (wp == 0 || !lp) return 0;
      if (!m_utf8Valid) {
        m_utf8 = Utf32ToUtf8(m_text.Text());
        m_utf8Valid = true;
      }
      const std::string_view part = CutUtf8(m_utf8, wp - 1);
      char* buf = reinterpret_cast<char*>(lp);
      std::memcpy(buf, part.data(), part.size());
      buf[part.size()] = '\0';
      return static_cast<LRESULT>(part.size());
    }
    case WM_GETTEXTLENGTH:
      if (!m_utf8Valid) {
        m_utf8 = Utf32ToUtf8(m_text.Text());
        m_utf8Valid = true;
      }
      return static_cast<LRESULT>(m_utf8.size());
    case WM_SETFONT: {
      const Font* font = reinterpret_cast<const Font*>(wp);
      m_fontHandle = font ? std::make_unique<Font>(*font) : nullptr;
      m_metrics.SetFont(font ? *font : Font());
      m_text.Relayout();
      UpdateFormatRect();
      if (m_focused) {
        CreateCaret(hwnd, nullptr, 1, m_metrics.LineHeight());
        ShowCaret(hwnd);
      }
      EnsureCaretVisible();
      UpdateScrollBars();
      UpdateCaret();
      if (LOWORD(static_cast<std::uintptr_t>(lp))) Invalidate();
      return 0;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(m_fontHandle.get());
    case WM_SIZE:
      UpdateFormatRect();
      EnsureCaretVisible();
      UpdateScrollBars();
      UpdateCaret();
      Invalidate();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the background is drawn with the text (or left to the owner)
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) Paint(*dc, ps.rcPaint);
      if (IsWindow(hwnd)) EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETFOCUS:
      m_focused = true;
      CreateCaret(hwnd, nullptr, 1, m_metrics.LineHeight());
      UpdateCaret();
      ShowCaret(hwnd);
      Invalidate();
      Notify(EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      m_focused = false;
      m_composition.clear();
      DestroyCaret();
      Invalidate();
      Notify(EN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      Invalidate();
      return 0;
    case WM_STYLECHANGED:
      Invalidate();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | (m_multiline ? DLGC_WANTALLKEYS : 0);
    case WM_KEYDOWN:
      if (wp == static_cast<WPARAM>(VK_F10) && KeyDown(VK_SHIFT)) {
        RequestContextMenu();
        return 0;
      }
      OnKeyDown(static_cast<int>(wp));
      return 0;
    case WM_SYSKEYDOWN:
      if (wp == static_cast<WPARAM>(VK_F10) && KeyDown(VK_SHIFT)) {
        RequestContextMenu();
        return 0;
      }
      return DefWindowProc(hwnd, msg, wp, lp);
    case WM_CHAR:
      OnChar(static_cast<char32_t>(wp));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnMouseDown(LParamToPoint(lp), (wp & MK_SHIFT) != 0, msg == WM_LBUTTONDBLCLK);
      return 0;
    case WM_MOUSEMOVE:
      if (m_dragging) OnMouseMove(LParamToPoint(lp));
      return 0;
    case WM_LBUTTONUP:
      if (m_dragging) {
        m_dragging = false;
        KillTimer(hwnd, kDragTimer);
        if (GetCapture() == hwnd) ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (m_dragging) {
        m_dragging = false;
        KillTimer(hwnd, kDragTimer);
      }
      return 0;
    case WM_TIMER:
      if (wp == kDragTimer) {
        if (m_dragging) OnMouseMove(m_lastMouse);
        else KillTimer(hwnd, kDragTimer);
        return 0;
      }
      return DefWindowProc(hwnd, msg, wp, lp);
    case WM_MOUSEWHEEL: {
      if (!m_multiline) return DefWindowProc(hwnd, msg, wp, lp);
      const int delta = GET_WHEEL_DELTA_WPARAM(wp);
      const int lines = -delta * 3 / WHEEL_DELTA;
      ScrollTo(m_topLine + (lines ? lines : (delta > 0 ? -1 : 1)), m_xOffset, true);
      return 0;
    }
    case WM_VSCROLL: return OnScroll(SB_VERT, LOWORD(wp), HIWORD(wp));
    case WM_HSCROLL: return OnScroll(SB_HORZ, LOWORD(wp), HIWORD(wp));
    case WM_CUT: Cut(); return 0;
    case WM_COPY: Copy(); return 0;
    case WM_PASTE: Paste(); return 0;
    case WM_CLEAR: Clear(); return 0;
    case WM_UNDO:
    case EM_UNDO:
      if (m_undo.empty()) return FALSE;
      Undo();
      return TRUE;
    case WM_CONTEXTMENU_:
      ShowContextMenu(lp);
      return 0;
    case WM_COMMAND:
      if (lp == 0 && LOWORD(wp) >= kEditCmdUndo && LOWORD(wp) <= kEditCmdSelectAll) {
        RunCommand(LOWORD(wp));
        return 0;
      }
      return DefWindowProc(hwnd, msg, wp, lp);
    case WM_IME_STARTCOMPOSITION:
      m_composition.clear();
      return 0;
    case WM_IME_COMPOSITION:
      m_composition = Utf8ToUtf32(GetCompositionText());
      m_compositionCursor = GetCompositionCursor();
      UpdateCaret();
      Invalidate();
      return 0;
    case WM_IME_ENDCOMPOSITION:
      m_composition.clear();
      m_compositionCursor = 0;
      UpdateCaret();
      Invalidate();
      return 0;

    case EM_GETSEL: {
      if (wp) *reinterpret_cast<DWORD*>(wp) = static_cast<DWORD>(SelMin());
      if (lp) *reinterpret_cast<DWORD*>(lp) = static_cast<DWORD>(SelMax());
      if (SelMax() > 0xFFFF) return -1;
      return MAKELRESULT(SelMin(), SelMax());
    }
    case EM_SETSEL: {
      int a = SignedParam(wp);
      int b = static_cast<int>(lp);
      const int n = m_text.Length();
      if (a < 0) {
        SetSelection(m_caret, m_caret, false);
        return 0;
      }
      if (b < 0) b = n;
      SetSelection(std::min(a, n), std::min(b, n), false);
      return 0;
    }
    case EM_GETRECT:
      if (lp) *reinterpret_cast<Rect*>(lp) = m_format;
      return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:
      if (lp) {
        m_customFormat = true;
        m_format = *reinterpret_cast<const Rect*>(lp);
      } else {
        m_customFormat = false;
      }
      UpdateFormatRect();
      EnsureCaretVisible();
      UpdateScrollBars();
      UpdateCaret();
      if (msg == EM_SETRECT) Invalidate();
      return 0;
    case EM_SCROLL: {
      if (!m_multiline) return FALSE;
      const int before = m_topLine;
      const int code = static_cast<int>(wp);
      if (code < SB_LINEUP || code > SB_PAGEDOWN) return FALSE;
      OnScroll(SB_VERT, code, 0);
      return MAKELRESULT(m_topLine - before, TRUE);
    }
    case EM_LINESCROLL:
      if (!m_multiline) return FALSE;
      ScrollTo(m_topLine + static_cast<int>(lp), m_xOffset + SignedParam(wp) * m_metrics.AveCharWidth(), false);
      return TRUE;
    case EM_SCROLLCARET:
      EnsureCaretVisible();
      return TRUE;
    case EM_GETMODIFY: return m_modified ? TRUE : FALSE;
    case EM_SETMODIFY: m_modified = wp != 0; return 0;
    case EM_GETLINECOUNT: return m_multiline ? m_text.LineCount() : 1;
    case EM_LINEINDEX: {
      int line = SignedParam(wp);
      if (line < 0) line = CaretLine();
      if (line >= m_text.LineCount()) return -1;
      return m_text.GetLine(line).start;
    }
    case EM_LINELENGTH: {
      const int index = SignedParam(wp);
      if (index < 0) {
        const EditText::Line& first = m_text.GetLine(m_text.LineFromChar(SelMin()));
        const EditText::Line& last = m_text.GetLine(m_text.LineFromChar(SelMax()));
        return (SelMin() - first.start) + (last.start + last.length - SelMax());
      }
      if (index > m_text.Length()) return 0;
      return m_text.GetLine(m_text.LineFromChar(index)).length;
    }
    case EM_REPLACESEL: {
      const char* text = reinterpret_cast<const char*>(lp);
      ReplaceSelection(PrepareInsert(Utf8ToUtf32(text ? text : "")), wp != 0, false);
      return 0;
    }
    case EM_GETLINE: {
      const int line = SignedParam(wp);
      if (!lp || line < 0 || line >= m_text.LineCount()) return 0;
      char* buf = reinterpret_cast<char*>(lp);
      WORD size = 0;
      std::memcpy(&size, buf, sizeof size);
      const EditText::Line& l = m_text.GetLine(line);
      const std::string utf8 = Utf32ToUtf8(std::u32string_view(m_text.Text()).substr(
          static_cast<std::size_t>(l.start), static_cast<std::size_t>(l.length)));
      const std::string_view part = CutUtf8(utf8, size);
      std::memcpy(buf, part.data(), part.size());
      return static_cast<LRESULT>(part.size());
    }
    case EM_LIMITTEXT:
      m_limit = wp == 0 ? 0x7FFFFFFE : static_cast<int>(std::min<WPARAM>(wp, 0x7FFFFFFE));
      return 0;
    case EM_GETLIMITTEXT: return m_limit;
    case EM_CANUNDO: return m_undo.empty() ? FALSE : TRUE;
    case EM_EMPTYUNDOBUFFER: m_undo.clear(); return 0;
    case EM_LINEFROMCHAR: {
      const int index = SignedParam(wp);
      if (index < 0) return m_text.LineFromChar(SelMin());
      return m_text.LineFromChar(std::min(index, m_text.Length()));
    }
    case EM_SETPASSWORDCHAR:
      if (m_multiline) return 0;
      m_metrics.SetPasswordChar(static_cast<char32_t>(wp));
      SetWindowLong(hwnd, GWL_STYLE, wp ? (Style() | ES_PASSWORD) : (Style() & ~ES_PASSWORD));
      m_text.Relayout();
      EnsureCaretVisible();
      UpdateCaret();
      Invalidate();
      return 0;
    case EM_GETPASSWORDCHAR: return static_cast<LRESULT>(m_metrics.PasswordChar());
    case EM_GETFIRSTVISIBLELINE:
      if (m_multiline) return m_topLine;
      return m_text.CharAtX(0, m_xOffset);
    case EM_SETREADONLY:
      SetWindowLong(hwnd, GWL_STYLE, wp ? (Style() | ES_READONLY) : (Style() & ~ES_READONLY));
      Invalidate();
      return TRUE;
    case EM_SETMARGINS: {
      if (wp == EC_USEFONTINFO) {
        m_leftMargin = m_rightMargin = std::max(1, m_metrics.AveCharWidth() / 4);
      } else {
        if (wp & EC_LEFTMARGIN) m_leftMargin = std::max(0, static_cast<int>(LOWORD(static_cast<std::uintptr_t>(lp))));
        if (wp & EC_RIGHTMARGIN) m_rightMargin = std::max(0, static_cast<int>(HIWORD(static_cast<std::uintptr_t>(lp))));
      }
      UpdateFormatRect();
      EnsureCaretVisible();
      UpdateScrollBars();
      UpdateCaret();
      Invalidate();
      return 0;
    }
    case EM_GETMARGINS: return MAKELRESULT(m_leftMargin, m_rightMargin);
    case EM_POSFROMCHAR: {
      const int index = SignedParam(wp);
      if (index < 0 || index > m_text.Length()) return -1;
      const Point p = PosFromChar(index);
      return MAKELRESULT(p.x, p.y);
    }
    case EM_CHARFROMPOS: {
      int line = 0;
      const int index = CharFromPoint(LParamToPoint(lp), &line);
      return MAKELRESULT(index & 0xFFFF, line & 0xFFFF);
    }
    case EM_CHARFROMPOSEX: {
      int line = 0;
      const int index = CharFromPoint(LParamToPoint(lp), &line);
      if (wp) *reinterpret_cast<int*>(wp) = line;
      return index;
    }
    case EM_GETTHUMB: return m_topLine;
    case EM_SETCOLORS:
      m_textColor = static_cast<Color>(wp);
      m_bkColor = static_cast<Color>(lp);
      Invalidate();
      return 0;
    default:
      return DefWindowProc(hwnd, msg, wp, lp);
  }
}

bool EditCommandEnabled(HWND edit, int command) {
  if (!IsWindow(edit)) return false;
  const EditControl* self = Find(edit);
  return self && self->CommandEnabled(command);
}

void RegisterEditClass() {
  if (WindowSystem::Current().FindClass(kEditClassName)) return;
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &EditControl::Proc;
  wc.hCursor = LoadStandardCursor(IDC_IBEAM);
  wc.hbrBackground = clNone;
  wc.lpszClassName = kEditClassName;
  RegisterClass(&wc);
}
