// ListBoxControl: the "LISTBOX" window class — plain and owner-drawn lists of fixed item
// height, single, multiple and extended selection, columns, keyboard navigation with
// type-ahead, and scroll ranges.
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/std/ScrollBars.h"
#include "platform/std/StdConst.h"
#include "platform/std/StdControls.h"
#include "platform/sys/Utf8.h"
#include "platform/win/WinApi.h"

namespace {

constexpr UINT_PTR kDragTimer = 0xFFA2;
// Characters typed within this time of the previous one extend the type-ahead prefix.
constexpr DWORD kTypeAheadMs = 1000;

class ListBox;
// The control behind each window. Kept here rather than in a window property so that the
// last message, WM_NCDESTROY, frees it without calling into the window system (which may
// be shutting down).
std::unordered_map<HWND, ListBox*>& Instances() {
  static std::unordered_map<HWND, ListBox*> instances;
  return instances;
}

ListBox* Instance(HWND hwnd) {
  auto it = Instances().find(hwnd);
  return it == Instances().end() ? nullptr : it->second;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int ca = std::tolower(static_cast<unsigned char>(a[i]));
    const int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

class ListBox {
 public:
  static LRESULT Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  ListBox(HWND hwnd, DWORD style)
      : m_hwnd(hwnd), m_style(style), m_bars(std::make_unique<NcScrollBars>(hwnd, !(style & LBS_DISABLENOSCROLL))) {
    m_itemHeight = std::max(1, m_font.Metrics().height);
    m_columnWidth = 16 * std::max(1, m_font.Metrics().aveCharWidth);
  }

  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

 private:
  struct Item {
    std::string text;
    LPARAM data = 0;
    bool selected = false;
  };

  bool Multi() const { return (m_style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
  bool Extended() const { return (m_style & LBS_EXTENDEDSEL) != 0; }
  bool Columns() const { return (m_style & LBS_MULTICOLUMN) != 0; }
  bool OwnerDraw() const { return (m_style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
  bool HasStrings() const { return !OwnerDraw() || (m_style & LBS_HASSTRINGS); }
  int Count() const { return static_cast<int>(m_items.size()); }
  bool Valid(int i) const { return i >= 0 && i < Count(); }
  Rect Client() const {
    Rect r;
    GetClientRect(m_hwnd, &r);
    return r;
  }
  int Rows() const { return std::max(1, Client().Height() / m_itemHeight); }
  int VisibleColumns() const { return std::max(1, Client().Width() / std::max(1, m_columnWidth)); }
  int PageItems() const { return Columns() ? Rows() * VisibleColumns() : Rows(); }
  int MaxTop() const {
    if (Columns()) {
      const int rows = Rows();
      const int columns = (Count() + rows - 1) / rows;
      return std::max(0, columns - VisibleColumns()) * rows;
    }
    return std::max(0, Count() - Rows());
  }

  Rect ItemRect(int i) const;
  int ItemFromPoint(Point p, bool* outside) const;
  int Insert(int index, const char* text, LPARAM lp);
  void Delete(int index);
  void SetTop(int top);
  void EnsureVisible(int index);
  void UpdateScrollBars();
  void Invalidate() { InvalidateRect(m_hwnd, nullptr, true); }
  void InvalidateItem(int i);
  void Notify(WORD code);
  bool SelectOnly(int index);  // returns whether the selection changed
  bool SelectRange(int a, int b, bool on, bool clearOthers);
  int Find(int start, std::string_view text, bool exact) const;
  void MoveCaret(int index, bool shift, bool ctrl);
  void OnKey(int vk);
  void OnChar(char32_t c);
  void OnMouseDown(Point p, WPARAM keys, bool dbl);
  void OnMouseMove(Point p);
  LRESULT OnScroll(bool vertical, int code, int thumb);
  void Paint(DC& dc);

  HWND m_hwnd;
  DWORD m_style;
  std::unique_ptr<NcScrollBars> m_bars;
  std::vector<Item> m_items;
  Font m_font;
  std::unique_ptr<Font> m_fontHandle;
  int m_itemHeight = 16;
  int m_columnWidth = 0;
  int m_top = 0;
  int m_sel = -1;     // single selection
  int m_caret = -1;   // the focus item
  int m_anchor = -1;  // where a shift range starts
  int m_xOffset = 0;  // horizontal extent scrolling, pixels
  int m_extent = 0;
  bool m_focused = false;
  bool m_dragging = false;
  Point m_lastMouse;
  std::string m_prefix;
  DWORD m_lastCharTime = 0;
};

LRESULT ListBox::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  ListBox* self = Instance(hwnd);
  if (msg == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lp);
    if (!self) Instances()[hwnd] = new ListBox(hwnd, cs ? static_cast<DWORD>(cs->style) : 0);
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

Rect ListBox::ItemRect(int i) const {
  const Rect c = Client();
  if (Columns()) {
    const int rows = Rows();
    const int column = i / rows - m_top / rows;
    const int x = column * m_columnWidth;
    const int y = (i % rows) * m_itemHeight;
    return {x, y, x + m_columnWidth, y + m_itemHeight};
  }
  const int y = (i - m_top) * m_itemHeight;
  return {0, y, std::max(c.right, m_extent) , y + m_itemHeight};
}

int ListBox::ItemFromPoint(Point p, bool* outside) const {
  const Rect c = Client();
  bool out = !c.Contains(p);
  int index = 0;
  if (Columns()) {
    const int rows = Rows();
    const int column = (p.x < 0 ? -1 : p.x / std::max(1, m_columnWidth)) + m_top / rows;
    const int row = std::clamp(p.y < 0 ? 0 : p.y / m_itemHeight, 0, rows - 1);
    index = column * rows + row;
  } else {
    index = m_top + (p.y < 0 ? -1 : p.y / m_itemHeight);
  }
  if (index < 0) {
    index = 0;
    out = true;
  }
  if (index >= Count()) {
    index = std::max(0, Count() - 1);
    out = true;
  }
  if (outside) *outside = out;
  return index;
}

int ListBox::Insert(int index, const char* text, LPARAM lp) {
  Item item;
  if (HasStrings()) item.text = text ? text : "";
  else item.data = lp;
  if (index < 0 || index > Count()) index = Count();
  m_items.insert(m_items.begin() + index, std::move(item));
  if (m_sel >= index) ++m_sel;
  if (m_caret >= index) ++m_caret;
  if (m_anchor >= index) ++m_anchor;
  UpdateScrollBars();
  Invalidate();
  return index;
}

void ListBox::Delete(int index) {
  m_items.erase(m_items.begin() + index);
  auto shift = [&](int& v) {
    if (v == index) v = -1;
    else if (v > index) --v;
  };
  shift(m_sel);
  shift(m_anchor);
  if (m_caret > index || (m_caret == index && m_caret >= Count())) --m_caret;
  if (m_caret >= Count()) m_caret = Count() - 1;
  m_top = std::clamp(m_top, 0, MaxTop());
  UpdateScrollBars();
  Invalidate();
}

void ListBox::SetTop(int top) {
  top = std::clamp(top, 0, MaxTop());
  if (Columns()) top -= top % Rows();
  if (top == m_top) return;
  m_top = top;
  UpdateScrollBars();
  Invalidate();
}

void ListBox::EnsureVisible(int index) {
  if (!Valid(index)) return;
  const int page = PageItems();
  if (Columns()) {
    const int rows = Rows();
    if (index < m_top) SetTop(index - index % rows);
    else if (index >= m_top + page) SetTop((index / rows - VisibleColumns() + 1) * rows);
    return;
  }
  if (index < m_top) SetTop(index);
  else if (index >= m_top + page) SetTop(index - page + 1);
}

void ListBox::UpdateScrollBars() {
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (Columns()) {
    const int rows = Rows();
    si.nMax = std::max(0, (Count() + rows - 1) / rows - 1);
    si.nPage = static_cast<UINT>(VisibleColumns());
    si.nPos = m_top / rows;
    m_bars->SetInfo(SB_HORZ, si, true);
    return;
  }
  si.nMax = std::max(0, Count() - 1);
  si.nPage = static_cast<UINT>(Rows());
  si.nPos = m_top;
  m_bars->SetInfo(SB_VERT, si, true);
  si.nMax = std::max(0, m_extent - 1);
  si.nPage = static_cast<UINT>(std::max(1, Client().Width()));
  si.nPos = m_xOffset;
  m_bars->SetInfo(SB_HORZ, si, true);
}

void ListBox::InvalidateItem(int i) {
  if (!Valid(i)) return;
  const Rect r = ItemRect(i);
  InvalidateRect(m_hwnd, &r, true);
}

void ListBox::Notify(WORD code) {
  if (!(m_style & LBS_NOTIFY)) return;
  HWND parent = GetParent(m_hwnd);
  if (parent)
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_hwnd), code), reinterpret_cast<LPARAM>(m_hwnd));
}

bool ListBox::SelectOnly(int index) {
  bool changed = false;
  if (!Multi()) {
    changed = m_sel != index;
    m_sel = Valid(index) ? index : -1;
  } else {
    for (int i = 0; i < Count(); ++i) {
      const bool want = i == index;
      if (m_items[static_cast<std::size_t>(i)].selected != want) {
        m_items[static_cast<std::size_t>(i)].selected = want;
        changed = true;
      }
    }
  }
  if (changed) Invalidate();
  return changed;
}

bool ListBox::SelectRange(int a, int b, bool on, bool clearOthers) {
  if (a > b) std::swap(a, b);
  bool changed = false;
  for (int i = 0; i < Count(); ++i) {
    const bool inside = i >= a && i <= b;
    bool& s = m_items[static_cast<std::size_t>(i)].selected;
    const bool want = inside ? on : (clearOthers ? false : s);
    if (s != want) {
      s = want;
      changed = true;
    }
  }
  if (changed) Invalidate();
  return changed;
}

int ListBox::Find(int start, std::string_view text, bool exact) const {
  const int n = Count();
  if (n == 0) return static_cast<int>(LB_ERR);
  if (start < -1 || start >= n) start = -1;
  for (int k = 1; k <= n; ++k) {
    const int i = (start + k) % n;
    const std::string& t = m_items[static_cast<std::size_t>(i)].text;
    if (exact ? CompareNoCase(t, text) == 0 : StartsWithNoCase(t, text)) return i;
  }
  return static_cast<int>(LB_ERR);
}

void ListBox::MoveCaret(int index, bool shift, bool ctrl) {
  if (Count() == 0) return;
  index = std::clamp(index, 0, Count() - 1);
  const int oldCaret = m_caret;
  m_caret = index;
  bool changed = false;
  if (!Multi()) {
    changed = SelectOnly(index);
  } else if (Extended()) {
    if (shift) {
      if (!Valid(m_anchor)) m_anchor = Valid(oldCaret) ? oldCaret : index;
      changed = SelectRange(m_anchor, index, true, !ctrl);
    } else if (!ctrl) {
      m_anchor = index;
      changed = SelectOnly(index);
    }
  }
  InvalidateItem(oldCaret);
  InvalidateItem(index);
  EnsureVisible(index);
  if (changed) Notify(LBN_SELCHANGE);
}

void ListBox::OnKey(int vk) {
  if (m_style & LBS_WANTKEYBOARDINPUT) {
    const LRESULT r = SendMessage(GetParent(m_hwnd), WM_VKEYTOITEM, MAKEWPARAM(vk, m_caret),
                                  reinterpret_cast<LPARAM>(m_hwnd));
    if (r == -2) return;
    if (r >= 0) {
      MoveCaret(static_cast<int>(r), false, false);
      return;
    }
  }
  const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  const int caret = Valid(m_caret) ? m_caret : (Valid(m_sel) ? m_sel : -1);
  const int page = PageItems();
  const int rows = Rows();
  int target = caret;
  switch (vk) {
    case VK_UP: target = caret < 0 ? 0 : caret - 1; break;
    case VK_DOWN: target = caret < 0 ? 0 : caret + 1; break;
    case VK_LEFT: target = caret < 0 ? 0 : caret - (Columns() ? rows : 1); break;
    case VK_RIGHT: target = caret < 0 ? 0 : caret + (Columns() ? rows : 1); break;
    case VK_PRIOR: target = caret < 0 ? 0 : caret - std::max(1, page - 1); break;
    case VK_NEXT: target = caret < 0 ? 0 : caret + std::max(1, page - 1); break;
    case VK_HOME: target = 0; break;
    case VK_END: target = Count() - 1; break;
    case VK_SPACE:
      if (Multi() && Valid(caret) && (!Extended() || ctrl)) {
        m_items[static_cast<std::size_t>(caret)].selected = !m_items[static_cast<std::size_t>(caret)].selected;
        m_anchor = caret;
        InvalidateItem(caret);
        Notify(LBN_SELCHANGE);
      }
      return;
    default: return;
  }
  if (Count() == 0) return;
  // In a multiple-selection list the arrows move only the focus; Space selects.
  if (Multi() && !Extended()) {
    const int old = m_caret;
    m_caret = std::clamp(target, 0, Count() - 1);
    InvalidateItem(old);
    InvalidateItem(m_caret);
    EnsureVisible(m_caret);
    return;
  }
  MoveCaret(target, shift, ctrl);
}

void ListBox::OnChar(char32_t c) {
  if (c < 32 || !HasStrings()) return;
  if (m_style & LBS_WANTKEYBOARDINPUT) {
    const LRESULT r = SendMessage(GetParent(m_hwnd), WM_CHARTOITEM, MAKEWPARAM(c, m_caret),
                                  reinterpret_cast<LPARAM>(m_hwnd));
    if (r == -2) return;
    if (r >= 0) {
      MoveCaret(static_cast<int>(r), false, false);
      return;
    }
  }
  const DWORD now = GetMessageTime();
  std::string ch;
  AppendUtf8(ch, c);
  const bool continues = !m_prefix.empty() && now - m_lastCharTime < kTypeAheadMs;
  m_lastCharTime = now;
  m_prefix = continues ? m_prefix + ch : ch;
  const int current = Valid(m_caret) ? m_caret : -1;
  // A single letter searches after the current item, so repeating it (also quickly, when
  // no item begins with the repeated letters) cycles through the items that begin with it;
  // a longer prefix searches from the current item on.
  int found = static_cast<int>(LB_ERR);
  if (m_prefix == ch) {
    found = Find(current, ch, false);
  } else {
    found = Find(current - 1, m_prefix, false);
    bool repeated = true;
    for (std::size_t i = ch.size(); i + ch.size() <= m_prefix.size(); i += ch.size())
      if (m_prefix.compare(i, ch.size(), ch) != 0) repeated = false;
    if (found == static_cast<int>(LB_ERR) && repeated) found = Find(current, ch, false);
  }
  if (found != static_cast<int>(LB_ERR)) MoveCaret(found, false, false);
}

void ListBox::OnMouseDown(Point p, WPARAM keys, bool dbl) {
  const HWND hwnd = m_hwnd;
  if (GetFocus() != hwnd) {
    SetFocus(hwnd);
    if (!IsWindow(hwnd) || Instance(hwnd) != this) return;
  }
  bool outside = false;
  const int index = ItemFromPoint(p, &outside);
  if (Count() == 0 || outside) return;
  if (dbl) {
    Notify(LBN_DBLCLK);
    return;
  }
  const int old = m_caret;
  m_caret = index;
  InvalidateItem(old);
  bool changed = false;
  if (!Multi()) {
    changed = SelectOnly(index);
  } else if (!Extended()) {
    m_items[static_cast<std::size_t>(index)].selected = !m_items[static_cast<std::size_t>(index)].selected;
    changed = true;
  } else if (keys & MK_SHIFT) {
    if (!Valid(m_anchor)) m_anchor = index;
    changed = SelectRange(m_anchor, index, true, !(keys & MK_CONTROL));
  } else if (keys & MK_CONTROL) {
    m_items[static_cast<std::size_t>(index)].selected = !m_items[static_cast<std::size_t>(index)].selected;
    m_anchor = index;
    changed = true;
  } else {
    m_anchor = index;
    changed = SelectOnly(index);
  }
  InvalidateItem(index);
  if (!Multi() || Extended()) {
    m_dragging = true;
    m_lastMouse = p;
    SetCapture(hwnd);
    SetTimer(hwnd, kDragTimer, 100, nullptr);
  }
  if (changed) Notify(LBN_SELCHANGE);
}

void ListBox::OnMouseMove(Point p) {
  m_lastMouse = p;
  const Rect c = Client();
  int index = ItemFromPoint(p, nullptr);
  // Dragging above or below the list scrolls it an item at a time.
  if (!Columns()) {
    if (p.y < 0) index = std::max(0, m_top - 1);
    else if (p.y >= c.bottom) index = std::min(Count() - 1, m_top + Rows());
  }
  if (!Valid(index) || index == m_caret) return;
  const bool extended = Extended();
  MoveCaret(index, extended, false);
}

LRESULT ListBox::OnScroll(bool vertical, int code, int thumb) {
  const bool items = vertical != Columns();  // the bar that moves the top index
  const int bar = vertical ? SB_VERT : SB_HORZ;
  if (m_bars->Tracking() && (code == SB_THUMBTRACK || code == SB_THUMBPOSITION)) {
    SCROLLINFO si;
    si.fMask = SIF_TRACKPOS;
    m_bars->GetInfo(bar, si);
    thumb = si.nTrackPos;
  }
  if (items) {
    const int unit = Columns() ? Rows() : 1;
    const int page = Columns() ? PageItems() : Rows();
    int top = m_top;
    switch (code) {
      case SB_LINEUP: top -= unit; break;
      case SB_LINEDOWN: top += unit; break;
      case SB_PAGEUP: top -= page; break;
      case SB_PAGEDOWN: top += page; break;
      case SB_TOP: top = 0; break;
      case SB_BOTTOM: top = MaxTop(); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: top = thumb * unit; break;
      default: return 0;
    }
    SetTop(top);
    return 0;
  }
  const int width = Client().Width();
  int x = m_xOffset;
  switch (code) {
    case SB_LINELEFT: x -= 8; break;
    case SB_LINERIGHT: x += 8; break;
    case SB_PAGELEFT: x -= width; break;
    case SB_PAGERIGHT: x += width; break;
    case SB_LEFT: x = 0; break;
    case SB_RIGHT: x = m_extent; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: x = thumb; break;
    default: return 0;
  }
  x = std::clamp(x, 0, std::max(0, m_extent - width));
  if (x != m_xOffset) {
    m_xOffset = x;
    UpdateScrollBars();
    Invalidate();
  }
  return 0;
}

void ListBox::Paint(DC& dc) {
  const HWND hwnd = m_hwnd;
  const Rect c = Client();
  Color back = clWindow;
  dc.SetTextColor(ColorToRGB(clWindowText));
  dc.SetBkColor(ColorToRGB(clWindow));
  HWND parent = GetParent(hwnd);
  if (parent && (GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD)) {
    const LRESULT answer = SendMessage(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(&dc),
                                       reinterpret_cast<LPARAM>(hwnd));
    if (!IsWindow(hwnd) || Instance(hwnd) != this) return;
    if (answer) {
      const Brush* brush = reinterpret_cast<const Brush*>(answer);
      back = brush->style == BS_NULL ? clNone : brush->color;
    }
  }
  const Color text = dc.TextColor();
  if (back != clNone) dc.FillRect(c, back);
  const bool enabled = IsWindowEnabled(hwnd);
  const int last = std::min(Count(), m_top + PageItems() + (Columns() ? Rows() : 1));
  for (int i = m_top; i < last; ++i) {
    Rect r = ItemRect(i);
    if (!Columns()) r.Translate(-m_xOffset, 0);
    if (r.top >= c.bottom || r.left >= c.right) continue;
    const Item& item = m_items[static_cast<std::size_t>(i)];
    const bool selected = Multi() ? item.selected : i == m_sel;
    const bool focus = m_focused && i == m_caret;
    if (OwnerDraw()) {
      DRAWITEMSTRUCT dis;
      dis.CtlType = ODT_LISTBOX;
      dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
      dis.itemID = static_cast<UINT>(i);
      dis.itemAction = ODA_DRAWENTIRE;
      dis.itemState = (selected ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
      dis.hwndItem = hwnd;
      dis.hDC = &dc;
      dis.rcItem = r;
      dis.itemData = item.data;
      DCState state(dc);
      dc.IntersectClipRect(r);
      SendMessage(parent, WM_DRAWITEM, static_cast<WPARAM>(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
      if (!IsWindow(hwnd) || Instance(hwnd) != this) return;
      continue;
    }
    DCState state(dc);
    dc.IntersectClipRect(r);
    if (selected) dc.FillRect(r, clHighlight);
    dc.SelectFont(m_font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(!enabled ? ColorToRGB(clGrayText) : selected ? ColorToRGB(clHighlightText) : text);
    dc.TextOut(r.left + 2, r.top + (m_itemHeight - m_font.Metrics().height) / 2, item.text);
    if (focus) dc.DrawFocusRect(r);
  }
}

LRESULT ListBox::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  const HWND hwnd = m_hwnd;
  LRESULT result = 0;
  if (m_bars->HandleMessage(msg, wp, lp, result)) return result;
  const int index = static_cast<int>(static_cast<std::intptr_t>(wp));
  switch (msg) {
    case WM_CREATE:
      if (m_style & LBS_OWNERDRAWFIXED) {
        MEASUREITEMSTRUCT mis;
        mis.CtlType = ODT_LISTBOX;
        mis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
        mis.itemHeight = static_cast<UINT>(m_itemHeight);
        if (HWND parent = GetParent(hwnd))
          SendMessage(parent, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
        if (mis.itemHeight > 0) m_itemHeight = static_cast<int>(std::min<UINT>(mis.itemHeight, 255));
      }
      UpdateScrollBars();
      return 0;
    case WM_SIZE:
      m_top = std::clamp(m_top, 0, MaxTop());
      UpdateScrollBars();
      Invalidate();
      return 0;
    case WM_SETFONT: {
      const Font* font = reinterpret_cast<const Font*>(wp);
      m_fontHandle = font ? std::make_unique<Font>(*font) : nullptr;
      m_font = font ? *font : Font();
      if (!OwnerDraw()) m_itemHeight = std::max(1, m_font.Metrics().height);
      m_columnWidth = 16 * std::max(1, m_font.Metrics().aveCharWidth);
      UpdateScrollBars();
      if (LOWORD(static_cast<std::uintptr_t>(lp))) Invalidate();
      return 0;
    }
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_fontHandle.get());
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) Paint(*dc);
      if (IsWindow(hwnd)) EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETFOCUS:
      m_focused = true;
      if (!Valid(m_caret) && Count() > 0) m_caret = Valid(m_sel) ? m_sel : 0;
      InvalidateItem(m_caret);
      Notify(LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      m_focused = false;
      InvalidateItem(m_caret);
      Notify(LBN_KILLFOCUS);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN: OnKey(static_cast<int>(wp)); return 0;
    case WM_CHAR: OnChar(static_cast<char32_t>(wp)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnMouseDown(LParamToPoint(lp), wp, msg == WM_LBUTTONDBLCLK);
      return 0;
    case WM_MOUSEMOVE:
      if (m_dragging) OnMouseMove(LParamToPoint(lp));
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (m_dragging) {
        m_dragging = false;
        KillTimer(hwnd, kDragTimer);
        if (msg == WM_LBUTTONUP && GetCapture() == hwnd) ReleaseCapture();
      }
      return 0;
    case WM_TIMER:
      if (wp != kDragTimer) return DefWindowProc(hwnd, msg, wp, lp);
      if (m_dragging) OnMouseMove(m_lastMouse);
      else KillTimer(hwnd, kDragTimer);
      return 0;
    case WM_MOUSEWHEEL: {
      const int delta = GET_WHEEL_DELTA_WPARAM(wp);
      const int lines = -delta * 3 / WHEEL_DELTA;
      SetTop(m_top + (Columns() ? Rows() : 1) * (lines ? lines : (delta > 0 ? -1 : 1)));
      return 0;
    }
    case WM_VSCROLL: return OnScroll(true, LOWORD(wp), HIWORD(wp));
    case WM_HSCROLL: return OnScroll(false, LOWORD(wp), HIWORD(wp));

    case LB_ADDSTRING: {
      int at = Count();
      if ((m_style & LBS_SORT) && HasStrings()) {
        const char* text = reinterpret_cast<const char*>(lp);
        const std::string_view t = text ? text : "";
        at = static_cast<int>(std::upper_bound(m_items.begin(), m_items.end(), t,
                                               [](std::string_view v, const Item& it) {
                                                 return CompareNoCase(v, it.text) < 0;
                                               }) - m_items.begin());
      }
      return Insert(at, reinterpret_cast<const char*>(lp), lp);
    }
    case LB_INSERTSTRING:
      if (index > Count()) return LB_ERR;
      return Insert(index, reinterpret_cast<const char*>(lp), lp);
    case LB_DELETESTRING:
      if (!Valid(index)) return LB_ERR;
      Delete(index);
      return Count();
    case LB_RESETCONTENT:
      m_items.clear();
      m_sel = m_caret = m_anchor = -1;
      m_top = 0;
      UpdateScrollBars();
      Invalidate();
      return 0;
    case LB_GETCOUNT: return Count();
    case LB_GETCURSEL:
      if (Multi()) return Valid(m_caret) ? m_caret : LB_ERR;
      return Valid(m_sel) ? m_sel : LB_ERR;
    case LB_SETCURSEL:
      if (Multi()) return LB_ERR;
      SelectOnly(Valid(index) ? index : -1);
      if (!Valid(index)) return index == -1 ? 0 : LB_ERR;
      m_caret = index;
      EnsureVisible(index);
      return index;
    case LB_GETTEXT: {
      if (!Valid(index) || !lp) return LB_ERR;
      const Item& item = m_items[static_cast<std::size_t>(index)];
      if (!HasStrings()) {
        std::memcpy(reinterpret_cast<void*>(lp), &item.data, sizeof item.data);
        return sizeof item.data;
      }
      std::memcpy(reinterpret_cast<char*>(lp), item.text.c_str(), item.text.size() + 1);
      return static_cast<LRESULT>(item.text.size());
    }
    case LB_GETTEXTLEN:
      if (!Valid(index)) return LB_ERR;
      return HasStrings() ? static_cast<LRESULT>(m_items[static_cast<std::size_t>(index)].text.size())
                          : static_cast<LRESULT>(sizeof(LPARAM));
    case LB_SETTOPINDEX:
      if (!Valid(index) && !(index == 0 && Count() == 0)) return LB_ERR;
      SetTop(index);
      return 0;
    case LB_GETTOPINDEX: return m_top;
    case LB_GETITEMHEIGHT: return m_itemHeight;
    case LB_SETITEMHEIGHT: {
      const int h = static_cast<int>(LOWORD(static_cast<std::uintptr_t>(lp)));
      if (h <= 0 || h > 255) return LB_ERR;
      m_itemHeight = h;
      m_top = std::clamp(m_top, 0, MaxTop());
      UpdateScrollBars();
      Invalidate();
      return 0;
    }
    case LB_GETITEMRECT: {
      if (!Valid(index) && !(index == 0 && Count() == 0)) return LB_ERR;
      if (lp) {
        Rect r = ItemRect(index);
        if (!Columns()) r.Translate(-m_xOffset, 0);
        *reinterpret_cast<Rect*>(lp) = r;
      }
      return 1;
    }
    case LB_ITEMFROMPOINT: {
      bool outside = false;
      const int i = ItemFromPoint(LParamToPoint(lp), &outside);
      return MAKELRESULT(i, outside || Count() == 0 ? 1 : 0);
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING: {
      const char* text = reinterpret_cast<const char*>(lp);
      const int found = Find(index, text ? text : "", msg == LB_FINDSTRINGEXACT);
      if (msg == LB_SELECTSTRING && found >= 0 && !Multi()) {
        SelectOnly(found);
        m_caret = found;
        EnsureVisible(found);
      }
      return found;
    }
    case LB_SETSEL: {
      if (!Multi()) return LB_ERR;
      const int i = static_cast<int>(lp);
      if (i == -1) {
        SelectRange(0, Count() - 1, wp != 0, false);
        return 0;
      }
      if (!Valid(i)) return LB_ERR;
      m_items[static_cast<std::size_t>(i)].selected = wp != 0;
      m_caret = m_anchor = i;
      InvalidateItem(i);
      return 0;
    }
    case LB_GETSEL:
      if (!Valid(index)) return LB_ERR;
      return Multi() ? (m_items[static_cast<std::size_t>(index)].selected ? 1 : 0) : (index == m_sel ? 1 : 0);
    case LB_GETSELCOUNT: {
      if (!Multi()) return LB_ERR;
      return std::count_if(m_items.begin(), m_items.end(), [](const Item& it) { return it.selected; });
    }
    case LB_GETSELITEMS: {
      if (!Multi()) return LB_ERR;
      int* out = reinterpret_cast<int*>(lp);
      int n = 0;
      for (int i = 0; i < Count() && n < index; ++i)
        if (m_items[static_cast<std::size_t>(i)].selected) {
          if (out) out[n] = i;
          ++n;
        }
      return n;
    }
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX: {
      if (!Multi() || Count() == 0) return LB_ERR;
      int a = msg == LB_SELITEMRANGE ? LOWORD(static_cast<std::uintptr_t>(lp)) : index;
      int b = msg == LB_SELITEMRANGE ? HIWORD(static_cast<std::uintptr_t>(lp)) : static_cast<int>(lp);
      bool on = msg == LB_SELITEMRANGE ? wp != 0 : a <= b;
      a = std::clamp(a, 0, Count() - 1);
      b = std::clamp(b, 0, Count() - 1);
      SelectRange(a, b, on, false);
      return 0;
    }
    case LB_SETITEMDATA:
      if (!Valid(index)) return LB_ERR;
      m_items[static_cast<std::size_t>(index)].data = lp;
      return 0;
    case LB_GETITEMDATA:
      if (!Valid(index)) return LB_ERR;
      return m_items[static_cast<std::size_t>(index)].data;
    case LB_SETCARETINDEX:
      if (!Valid(index)) return LB_ERR;
      InvalidateItem(m_caret);
      m_caret = index;
      InvalidateItem(index);
      EnsureVisible(index);
      return 0;
    case LB_GETCARETINDEX: return Valid(m_caret) ? m_caret : (Valid(m_sel) ? m_sel : 0);
    case LB_SETANCHORINDEX:
      if (!Valid(index)) return LB_ERR;
      m_anchor = index;
      return 0;
    case LB_GETANCHORINDEX: return m_anchor;
    case LB_SETCOLUMNWIDTH:
      m_columnWidth = std::max(1, index);
      UpdateScrollBars();
      Invalidate();
      return 0;
    case LB_SETHORIZONTALEXTENT:
      m_extent = std::max(0, index);
      m_xOffset = std::clamp(m_xOffset, 0, std::max(0, m_extent - Client().Width()));
      UpdateScrollBars();
      Invalidate();
      return 0;
    case LB_GETHORIZONTALEXTENT: return m_extent;
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

}  // namespace

void RegisterListBoxClass() {
  if (WindowSystem::Current().FindClass(kListBoxClassName)) return;
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &ListBox::Proc;
  wc.hCursor = LoadStandardCursor(IDC_ARROW);
  wc.hbrBackground = clNone;
  wc.lpszClassName = kListBoxClassName;
  RegisterClass(&wc);
}
