// The skinned list box: record fields, layout, scroll bars, item drawing and the inner list.
#include "skin/controls/skSkinListBox.h"

#include <algorithm>
#include <climits>

#include "platform/gfx/DC.h"
#include "platform/std/ScrollBars.h"
#include "platform/std/StdConst.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skSkinScrollBar.h"
#include "toolkit/Reader.h"

namespace {

constexpr UINT_PTR kCaptionRepeatTimer = 1;
constexpr int kMaxItemHeight = 255;  // what the platform list takes
constexpr int kDefaultBarThickness = 19;

Rect Or(const Rect& r, const Rect& fallback) { return r.IsEmpty() ? fallback : r; }

void FillColor(Bitmap& image, const Rect& r, Color c) {
  DC dc(image);
  dc.FillRect(r, ColorToRGB(c));
}

}  // namespace

SkinListBoxFields ReadSkinListBoxFields(const TskDataSkinListBox& r) {
  SkinListBoxFields f;
  f.itemRect = r.ItemRect;
  f.activeItemRect = Or(r.ActiveItemRect, r.ItemRect);
  f.focusItemRect = Or(r.FocusItemRect, r.ItemRect);
  f.itemLeftOffset = r.ItemLeftOffset;
  f.itemRightOffset = r.ItemRightOffset;
  f.itemTextRect = r.ItemTextRect;
  f.font = r;
  f.activeFontColor = r.ActiveFontColor;
  f.focusFontColor = r.FocusFontColor;
  f.captionRect = r.CaptionRect;
  f.captionFont = r.CaptionFont;
  f.upButton = r.UpButtonRect;
  f.activeUpButton = r.ActiveUpButtonRect;
  f.downUpButton = Or(r.DownUpButtonRect, r.ActiveUpButtonRect);
  f.downButton = r.DownButtonRect;
  f.activeDownButton = r.ActiveDownButtonRect;
  f.downDownButton = Or(r.DownDownButtonRect, r.ActiveDownButtonRect);
  f.checkButton = r.CheckButtonRect;
  f.activeCheckButton = r.ActiveCheckButtonRect;
  f.downCheckButton = Or(r.DownCheckButtonRect, r.ActiveCheckButtonRect);
  f.vScrollBarName = r.VScrollBarName;
  f.hScrollBarName = r.HScrollBarName;
  f.bothHScrollBarName = r.BothHScrollBarName;
  return f;
}

// ---- the inner list

TskListBox::TskListBox(TComponent* owner, TskSkinCustomListBox* box) : TCustomListBox(owner), m_box(box) {
  m_controlStyle |= csCaptureMouse | csOpaque | csDoubleClicks;
  SetStyle(TListBoxStyle::lbOwnerDrawFixed);
}

TskListBox::~TskListBox() = default;

void TskListBox::CreateParams(TCreateParams& p) {
  TCustomListBox::CreateParams(p);
  // The skinned list draws the frame and the bars; the strings stay in the platform list
  // so that its keyboard search finds them.
  p.style &= ~(WS_VSCROLL | WS_HSCROLL | WS_BORDER);
  p.style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
  p.exStyle &= ~WS_EX_CLIENTEDGE;
}

void TskListBox::CreateWindowHandleDone() {
  // Bars made or dropped now would change the children the window system is making.
  m_creating = true;
  try {
    TCustomListBox::CreateWindowHandleDone();
  } catch (...) {
    m_creating = false;
    throw;
  }
  m_creating = false;
}

void TskListBox::SetHorizontalOffset(int x) {
  x = std::max(0, x);
  if (x == m_horizontalOffset) return;
  m_horizontalOffset = x;
  Invalidate();
}

void TskListBox::Click() {
  std::shared_ptr<bool> alive = m_alive;
  Fire(m_box->OnListBoxClick, m_box);
  if (*alive) TCustomListBox::Click();
}

void TskListBox::DblClick() {
  std::shared_ptr<bool> alive = m_alive;
  Fire(m_box->OnListBoxDblClick, m_box);
  if (*alive) TCustomListBox::DblClick();
}

void TskListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  if (m_box->OnListBoxMouseDown) m_box->OnListBoxMouseDown(m_box, button, shift, x, y);
  if (*alive) TCustomListBox::MouseDown(button, shift, x, y);
}

void TskListBox::MouseMove(TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  if (m_box->OnListBoxMouseMove) m_box->OnListBoxMouseMove(m_box, shift, x, y);
  if (*alive) TCustomListBox::MouseMove(shift, x, y);
}

void TskListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  if (m_box->OnListBoxMouseUp) m_box->OnListBoxMouseUp(m_box, button, shift, x, y);
  if (*alive) TCustomListBox::MouseUp(button, shift, x, y);
}

void TskListBox::KeyDown(WORD& key, TShiftState shift) {
  std::shared_ptr<bool> alive = m_alive;
  if (m_box->OnListBoxKeyDown) m_box->OnListBoxKeyDown(m_box, key, shift);
  if (!*alive || key == 0) return;
  TCustomListBox::KeyDown(key, shift);
  if (!*alive || key == 0) return;
  // Left and Right scroll a list wider than itself.
  if (TskSkinScrollBar* bar = m_box->HScrollBar(); bar && (key == VK_LEFT || key == VK_RIGHT)) {
    bar->SetPosition(bar->Position() + (key == VK_LEFT ? -bar->SmallChange() : bar->SmallChange()));
    key = 0;
  }
}

void TskListBox::KeyUp(WORD& key, TShiftState shift) {
  std::shared_ptr<bool> alive = m_alive;
  if (m_box->OnListBoxKeyUp) m_box->OnListBoxKeyUp(m_box, key, shift);
  if (*alive && key != 0) TCustomListBox::KeyUp(key, shift);
}

void TskListBox::KeyPress(char32_t& key) {
  std::shared_ptr<bool> alive = m_alive;
  if (m_box->OnListBoxKeyPress) m_box->OnListBoxKeyPress(m_box, key);
  if (*alive && key != 0) TCustomListBox::KeyPress(key);
}

void TskListBox::DoStartDrag() {
  Fire(m_box->OnListBoxStartDrag, m_box);
  TCustomListBox::DoStartDrag();
}

void TskListBox::DoEndDrag(TObject* target, int x, int y) {
  if (m_box->OnListBoxEndDrag) m_box->OnListBoxEndDrag(m_box, target, x, y);
  TCustomListBox::DoEndDrag(target, x, y);
}

void TskListBox::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  TCustomListBox::DragOver(source, x, y, state, accept);
  if (m_box->OnListBoxDragOver) {
    accept = true;
    m_box->OnListBoxDragOver(m_box, source, x, y, state, accept);
  }
}

void TskListBox::DragDrop(TObject* source, int x, int y) {
  if (m_box->OnListBoxDragDrop) m_box->OnListBoxDragDrop(m_box, source, x, y);
  TCustomListBox::DragDrop(source, x, y);
}

void TskListBox::WndProc(TMessage& m) {
  if (m.Msg >= WM_MOUSEMOVE && m.Msg <= WM_MBUTTONDBLCLK && m_box->InnerListMouse(m)) return;
  switch (m.Msg) {
    case WM_NCCALCSIZE:
      // No non-client area: the client is the whole window.
      m.Result = 0;
      return;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      try {
        if (dc) m_box->PaintInnerList(dc);
      } catch (...) {
        EndPaint(Handle(), &ps);
        throw;
      }
      EndPaint(Handle(), &ps);
      return;
    }
    case WM_ERASEBKGND:
      // Scrolling repaints with an erase: the bars follow the list's own scrolling here.
      if (!m_redrawOff && !m_creating) m_box->UpdateScrollBars();
      m.Result = 1;
      return;
    case WM_SETREDRAW:
      m_redrawOff = m.WParam == 0;
      TCustomListBox::WndProc(m);
      if (!m_redrawOff && !m_creating) {
        m_box->m_widest = -1;
        m_box->UpdateScrollBars();
      }
      return;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT: {
      std::shared_ptr<bool> alive = m_alive;
      TCustomListBox::WndProc(m);
      if (!*alive) return;
      if (m.Msg == LB_DELETESTRING || m.Msg == LB_RESETCONTENT) {
        m_box->m_widest = -1;
      } else if (m_box->m_widest >= 0 && m.LParam) {
        TFont font;
        m_box->MakeItemFont(font);
        m_box->m_widest =
            std::max(m_box->m_widest, font.Handle().TextWidth(reinterpret_cast<const char*>(m.LParam)));
      }
      if (!m_redrawOff && !m_creating) m_box->UpdateScrollBars();
      return;
    }
    case WM_MOUSEWHEEL: {
      bool handled = false;
      if (OnMouseWheel)
        OnMouseWheel(this, KeyboardShiftState(), GET_WHEEL_DELTA_WPARAM(m.WParam), LParamToPoint(m.LParam),
                     handled);
      if (handled) return;
      const int delta = GET_WHEEL_DELTA_WPARAM(m.WParam);
      if (m_box->VScrollBar()) {
        // One line per turn, whatever the platform list would scroll.
        SendMessage(Handle(), WM_VSCROLL, delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        m_box->UpdateScrollBars();
      } else if (TskSkinScrollBar* bar = m_box->HScrollBar()) {
        bar->SetPosition(bar->Position() + (delta > 0 ? -bar->SmallChange() : bar->SmallChange()));
      }
      m.Result = 1;
      return;
    }
    default:
      break;
  }
  TCustomListBox::WndProc(m);
}

// ---- the skinned list

TskSkinCustomListBox::TskSkinCustomListBox(TComponent* owner)
    : TskSkinCustomControl(owner), m_defaultCaptionFont(std::make_unique<TFont>()), m_glyph(std::make_unique<TBitmap>()) {
  m_controlStyle |= csOpaque;
  SetSkinDataName("listbox");
  Font().SetName(SkinDefaultFontName);
  Font().SetHeight(SkinDefaultFontHeight);
  m_defaultCaptionFont->SetName(SkinDefaultFontName);
  m_defaultCaptionFont->SetHeight(SkinDefaultFontHeight);
  m_defaultCaptionFont->OnChange = [this](TObject*) { Invalidate(); };
  m_glyph->OnChange = [this](TObject*) { Invalidate(); };
  m_list = new TskListBox(this, this);
  m_list->SetItemHeight(m_defaultItemHeight);
  m_list->SetParent(this);
  SetBounds(0, 0, 120, 120);
}

TskSkinCustomListBox::~TskSkinCustomListBox() {
  m_defaultCaptionFont->OnChange = nullptr;
  m_glyph->OnChange = nullptr;
}

void TskSkinCustomListBox::SetItems(const TStrings& items) {
  m_list->SetItems(items);
  UpdateScrollBars();
}

void TskSkinCustomListBox::SetSorted(bool on) {
  if (on == Sorted()) return;
  // The list's window is made anew; its bar follows from scratch.
  DropBar(m_vBar);
  m_list->SetSorted(on);
  UpdateScrollBars();
}

void TskSkinCustomListBox::SetColumns(int n) {
  n = std::max(0, n);
  if (n == Columns()) return;
  DropBar(m_vBar);
  m_list->SetColumns(n);
  LayoutList();
  UpdateScrollBars();
}

void TskSkinCustomListBox::SetUseSkinItemHeight(bool on) {
  if (on == m_useSkinItemHeight) return;
  m_useSkinItemHeight = on;
  ApplyItemHeight();
}

void TskSkinCustomListBox::SetDefaultItemHeight(int h) {
  if (h < 1) return;
  m_defaultItemHeight = h;
  if (!m_skinned || !m_useSkinItemHeight) ApplyItemHeight();
}

int TskSkinCustomListBox::ItemHeight() const {
  int h = m_defaultItemHeight;
  if (m_skinned && m_useSkinItemHeight && m_fields.itemRect.Height() > 0) h = m_fields.itemRect.Height();
  return std::clamp(h, 1, kMaxItemHeight);
}

void TskSkinCustomListBox::ApplyItemHeight() {
  m_list->SetItemHeight(ItemHeight());
  if (m_rowCount != 0) SetHeight(HeightForRows(m_rowCount));
  UpdateScrollBars();
  m_list->Invalidate();
}

void TskSkinCustomListBox::SetRowCount(int n) {
  m_rowCount = n;
  if (n != 0) SetHeight(HeightForRows(n));
}

int TskSkinCustomListBox::HeightForRows(int rows) const {
  long long h = static_cast<long long>(std::max(0, rows)) * ItemHeight();
  if (m_skinned) h += m_element.skinRect.Height() - m_element.parts.clientRect.Height();
  else h += 4 + (m_captionMode ? m_defaultCaptionHeight : 0);
  if (m_hBar) h += m_hBar->Height();
  return static_cast<int>(std::clamp<long long>(h, 0, INT_MAX / 2));
}

void TskSkinCustomListBox::SetHorizontalExtent(bool on) {
  if (on == m_horizontalExtent) return;
  m_horizontalExtent = on;
  UpdateScrollBars();
}

void TskSkinCustomListBox::SetImages(TImageList* images) {
  if (m_images && m_images != images) m_images->RemoveFreeNotification(this);
  m_images = images;
  if (images) images->FreeNotification(this);
  m_list->Invalidate();
}

void TskSkinCustomListBox::SetImageIndex(int index) {
  m_imageIndex = index;
  m_list->Invalidate();
}

void TskSkinCustomListBox::SetCaptionMode(bool on) {
  if (on == m_captionMode) return;
  m_captionMode = on;
  if (m_rowCount != 0) SetHeight(HeightForRows(m_rowCount));
  LayoutList();
  Invalidate();
}

void TskSkinCustomListBox::SetAlignment(TAlignment a) {
  m_alignment = a;
  Invalidate();
}

void TskSkinCustomListBox::SetDefaultCaptionHeight(int h) {
  m_defaultCaptionHeight = std::max(0, h);
  LayoutList();
  Invalidate();
}

void TskSkinCustomListBox::SetNumGlyphs(int n) {
  m_numGlyphs = std::clamp(n, 1, 4);
  Invalidate();
}

void TskSkinCustomListBox::SetSpacing(int s) {
  m_spacing = s;
  Invalidate();
}

void TskSkinCustomListBox::Notification(TComponent* component, TOperation operation) {
  TskSkinCustomControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == m_images) {
    m_images = nullptr;
    m_list->Invalidate();
  }
  if (component == m_vBar) m_vBar = nullptr;
  if (component == m_hBar) m_hBar = nullptr;
  if (component == m_list) m_list = nullptr;
}

void TskSkinCustomListBox::CreateWindowHandleDone() {
  TskSkinCustomControl::CreateWindowHandleDone();
  // The inner list's range is known now.
  m_widest = -1;
  UpdateScrollBars();
}

void TskSkinCustomListBox::FontChanged() {
  TskSkinCustomControl::FontChanged();
  m_widest = -1;
  if (m_list) m_list->Invalidate();
}

// ---- skin

void TskSkinCustomListBox::SetSkinData(TskSkinData* data) {
  TskSkinCustomControl::SetSkinData(data);
  for (TskSkinScrollBar* bar : {m_vBar, m_hBar})
    if (bar) bar->SetSkinData(data);
}

void TskSkinCustomListBox::ReadSkinRecord() {
  TskSkinCustomControl::ReadSkinRecord();
  if (!m_custom.ReadAnew() && (m_skinned || SkinIndex() == -1)) return;
  const auto* record = dynamic_cast<const TskDataSkinListBox*>(SkinRecord());
  m_skinned = record != nullptr;
  m_fields = record ? ReadSkinListBoxFields(*record) : SkinListBoxFields();
}

void TskSkinCustomListBox::BeginSkinChange() {
  TskSkinCustomControl::BeginSkinChange();
  m_skinned = false;
  m_fields = SkinListBoxFields();
}

void TskSkinCustomListBox::ApplySkin() {
  m_applying = true;
  try {
    DropBar(m_hBar);
    TskSkinCustomControl::ApplySkin();
    m_widest = -1;
    m_list->SetItemHeight(ItemHeight());
    m_list->Invalidate();
    // Bars that exist take their sections again.
    if (m_vBar) {
      m_vBar->SetSkinDataName(m_skinned ? (Columns() > 0 ? m_fields.hScrollBarName : m_fields.vScrollBarName) : "");
      m_vBar->SetSkinData(SkinData());
    }
    if (m_rowCount != 0) SetHeight(HeightForRows(m_rowCount));
    LayoutList();
  } catch (...) {
    m_applying = false;
    throw;
  }
  m_applying = false;
  UpdateScrollBars();
  m_list->Invalidate();
}

void TskSkinCustomListBox::SetBounds(int left, int top, int width, int height) {
  TskSkinCustomControl::SetBounds(left, top, width, height);
  LayoutList();
}

Rect TskSkinCustomListBox::ClientAtSize() const {
  const Rect& c = m_element.parts.clientRect;
  const long long dw = static_cast<long long>(Width()) - m_element.skinRect.Width();
  const long long dh = static_cast<long long>(Height()) - m_element.skinRect.Height();
  Rect r(c.left, c.top, static_cast<int>(std::clamp<long long>(c.right + dw, INT_MIN / 2, INT_MAX / 2)),
         static_cast<int>(std::clamp<long long>(c.bottom + dh, INT_MIN / 2, INT_MAX / 2)));
  // A client rect beyond the control is cut to it, so no part gets a negative size.
  r = Rect(std::clamp(r.left, 0, Width()), std::clamp(r.top, 0, Height()), std::clamp(r.right, 0, Width()),
           std::clamp(r.bottom, 0, Height()));
  r.right = std::max(r.left, r.right);
  r.bottom = std::max(r.top, r.bottom);
  return r;
}

int TskSkinCustomListBox::CaptionHeight() const { return m_captionMode ? m_defaultCaptionHeight : 1; }

void TskSkinCustomListBox::LayoutList() {
  if (!m_list) return;
  const int w = Width(), h = Height();
  const bool columns = Columns() > 0;
  auto place = [](TControl* c, Rect r) {
    r.right = std::max(r.left, r.right);
    r.bottom = std::max(r.top, r.bottom);
    if (c->BoundsRect() != r) c->SetBounds(r.left, r.top, r.Width(), r.Height());
  };
  Rect area;
  if (!m_skinned) {
    const int c = CaptionHeight();
    area = Rect(2, c + 1, w - 2, h - 2);
    if (m_hBar && !columns) {
      // The bar is not laid over the list's last rows: the list ends above it.
      place(m_hBar, Rect(1, h - 20, w - 1, h - 1));
      area.bottom = h - 2 - 18;
    }
    if (m_vBar && !columns) {
      place(m_vBar, Rect(w - 20, c, w - 1, m_hBar ? h - 20 : h - 1));
      area.right = w - 20;
    } else if (m_vBar) {
      place(m_vBar, Rect(1, h - 20, w - 1, h - 1));
      area.bottom = h - 20;
    }
  } else {
    const Rect client = ClientAtSize();
    area = client;
    if (m_hBar && !columns) {
      const int bh = m_hBar->Height();
      place(m_hBar, Rect(client.left, client.bottom - bh, client.right, client.bottom));
      area.bottom -= bh;
    }
    if (m_vBar && !columns) {
      const int bw = m_vBar->Width();
      place(m_vBar, Rect(client.right - bw, client.top, client.right, area.bottom));
      area.right -= bw;
    } else if (m_vBar) {
      const int bh = m_vBar->Height();
      place(m_vBar, Rect(client.left, client.bottom - bh, client.right, client.bottom));
      area.bottom -= bh;
    }
  }
  area.right = std::max(area.left, area.right);
  area.bottom = std::max(area.top, area.bottom);
  m_listArea = area;
  place(m_list, area);
  if (columns && m_list->HandleAllocated())
    SendMessage(m_list->Handle(), LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(1, area.Width() / Columns())), 0);
}

// ---- scroll bars

TskSkinScrollBar* TskSkinCustomListBox::MakeBar(TScrollBarKind kind) {
  auto* bar = new TskSkinScrollBar(this);
  bar->SetKind(kind);
  if (kind == TScrollBarKind::sbVertical) {
    // A bar made at run time keeps its length from the layout, not from a default.
    bar->SetDefaultHeight(0);
    bar->SetDefaultWidth(kDefaultBarThickness);
    bar->SetBounds(0, 0, kDefaultBarThickness, 100);
  }
  bar->SetRange(0, 0, 0, 0);
  bar->SetParent(this);
  // A bar made while a form is read gets no window from its parent of its own accord.
  if (HandleAllocated() && !bar->HandleAllocated()) bar->HandleNeeded();
  return bar;
}

void TskSkinCustomListBox::DropBar(TskSkinScrollBar*& bar) {
  if (!bar) return;
  TskSkinScrollBar* gone = bar;
  bar = nullptr;
  if (gone == m_hBar) m_hBar = nullptr;
  gone->OnChange = nullptr;
  gone->BeforeDestruction();
  delete gone;
  if (m_list && !m_hBar) m_list->SetHorizontalOffset(0);
  LayoutList();
  Invalidate();
}

void TskSkinCustomListBox::ConfigureHBar() {
  if (!m_hBar) return;
  m_hBar->SetBoth(false);
  m_hBar->SetSkinDataName(m_skinned ? m_fields.hScrollBarName : "");
  m_hBar->SetBothSkinDataName(m_skinned ? m_fields.bothHScrollBarName : "");
  m_hBar->SetBothMarkerWidth(kDefaultBarThickness);
  m_hBar->SetSkinData(SkinData());
  m_hBar->SetBoth(m_vBar != nullptr);
  if (!m_skinned) m_hBar->SetHeight(kDefaultBarThickness);
  LayoutList();
}

void TskSkinCustomListBox::MakeItemFont(TFont& font) const {
  const TskDataSkinControl* record = m_skinned ? SkinRecord() : nullptr;
  if (!record) {
    font.Assign(&const_cast<TskSkinCustomListBox*>(this)->Font());
    font.SetCharset(SkinCharset(SkinData(), DefaultFont().Charset()));
    return;
  }
  MakeSkinCaptionFont(font, DefaultFont(), &m_fields.font, UseSkinFont(), m_fields.font.FontColor, SkinData());
}

int TskSkinCustomListBox::WidestItem() const {
  if (m_widest >= 0) return m_widest;
  TFont font;
  MakeItemFont(font);
  const ::Font& f = font.Handle();
  int widest = 0;
  const TStrings& items = Items();
  for (int i = 0, n = items.Count(); i < n; ++i) widest = std::max(widest, f.TextWidth(items.Get(i)));
  const_cast<TskSkinCustomListBox*>(this)->m_widest = widest;
  return widest;
}

bool TskSkinCustomListBox::UpdateHorizontalExtent() {
  const bool had = m_hBar != nullptr;
  if (!m_horizontalExtent || m_applying) {
    DropBar(m_hBar);
    return had;
  }
  const int widest = WidestItem();
  long long room = m_skinned ? static_cast<long long>(m_list->Width()) + m_fields.itemTextRect.Width() -
                                   m_fields.itemRect.Width()
                             : m_list->Width() - 4;
  if (m_images) room -= m_images->Width() + 4;
  room = std::clamp<long long>(room, 0, INT_MAX);
  if (widest <= room) {
    DropBar(m_hBar);
    return had;
  }
  if (!m_hBar) {
    m_hBar = MakeBar(TScrollBarKind::sbHorizontal);
    m_hBar->OnChange = [this](TObject*) {
      if (m_hBar && m_list) m_list->SetHorizontalOffset(m_hBar->Position());
    };
    ConfigureHBar();
    Invalidate();
  }
  m_hBar->SetRange(0, widest, static_cast<int>(room), m_hBar->Position());
  TFont font;
  MakeItemFont(font);
  const int step = std::max(1, font.Handle().TextWidth("0"));
  m_hBar->SetSmallChange(step);
  m_hBar->SetLargeChange(step);
  m_list->SetHorizontalOffset(m_hBar->Position());
  return !had;
}

void TskSkinCustomListBox::UpdateVerticalBar() {
  const int count = Items().Count();
  const bool columns = Columns() > 0;
  if (m_vBar && (m_vBar->Kind() == TScrollBarKind::sbVertical) == columns) DropBar(m_vBar);
  if (!columns && m_rowCount >= 1 && m_rowCount == count) {
    DropBar(m_vBar);
    return;
  }
  int rows = 0;
  SCROLLINFO si;
  auto readRange = [&] {
    rows = m_list->Height() / ItemHeight();
    si.fMask = SIF_RANGE | SIF_POS;
    if (!m_list->HandleAllocated() || !GetScrollInfo(m_list->Handle(), columns ? SB_HORZ : SB_VERT, &si)) {
      // Without a window the range is what the list would give: one step per item or column.
      const int perColumn = std::max(1, rows);
      si.nMin = 0;
      si.nMax = columns ? std::max(0, (count + perColumn - 1) / perColumn - 1) : std::max(0, count - 1);
      si.nPos = columns ? TopIndex() / perColumn : TopIndex();
    }
    return columns ? si.nMin < si.nMax && si.nMax >= si.nPos && si.nMax >= Columns() &&
                         static_cast<long long>(rows) * Columns() < count
                   : si.nMin < si.nMax && si.nMax >= si.nPos && rows < count;
  };
  if (!readRange()) {
    DropBar(m_vBar);
    return;
  }
  if (!m_vBar) {
    m_vBar = MakeBar(columns ? TScrollBarKind::sbHorizontal : TScrollBarKind::sbVertical);
    m_vBar->SetSkinDataName(m_skinned ? (columns ? m_fields.hScrollBarName : m_fields.vScrollBarName) : "");
    m_vBar->SetSkinData(SkinData());
    if (!m_skinned && columns) m_vBar->SetHeight(kDefaultBarThickness);
    m_vBar->OnChange = [this](TObject*) {
      if (!m_vBar || !m_list || !m_list->HandleAllocated()) return;
      // The top index rather than a thumb message: thumb positions stop at 16 bits.
      const int unit = Columns() > 0 ? std::max(1, m_list->Height() / ItemHeight()) : 1;
      SendMessage(m_list->Handle(), LB_SETTOPINDEX,
                  static_cast<WPARAM>(static_cast<long long>(m_vBar->Position()) * unit), 0);
      m_list->Invalidate();
    };
    LayoutList();
    Invalidate();
    // A column bar takes rows away, which makes more columns.
    if (columns && !readRange()) {
      DropBar(m_vBar);
      return;
    }
  }
  m_vBar->SetRange(si.nMin, si.nMax, columns ? Columns() : rows, si.nPos);
  m_vBar->SetLargeChange(std::max(1, columns ? Columns() : rows));
}

void TskSkinCustomListBox::UpdateScrollBars() {
  if (m_updatingBars || !m_list || HasState(csDestroying)) return;
  m_updatingBars = true;
  try {
    if (Columns() <= 0) {
      const bool hadVertical = m_vBar != nullptr;
      UpdateHorizontalExtent();
      UpdateVerticalBar();
      if ((m_vBar != nullptr) != hadVertical && m_hBar) {
        ConfigureHBar();
        UpdateHorizontalExtent();
      }
    } else {
      DropBar(m_hBar);
      UpdateVerticalBar();
    }
  } catch (...) {
    m_updatingBars = false;
    throw;
  }
  m_updatingBars = false;
}

// ---- drawing

Rect TskSkinCustomListBox::MovedForGrowth(const Rect& r) const {
  const int dw = Width() - m_element.skinRect.Width();
  const int dh = Height() - m_element.skinRect.Height();
  Rect out = r;
  if (r.top >= m_element.parts.leftTop.y && dh != 0) out.Translate(0, dh);
  if (r.left >= m_element.parts.rightTop.x && dw != 0) out.Translate(dw, 0);
  return out;
}

Rect TskSkinCustomListBox::CaptionButtonRect(TskListCaptionButton button) const {
  if (!m_captionMode || button == TskListCaptionButton::None) return {};
  const int index = static_cast<int>(button);
  if (m_skinned) {
    const Rect& r = index == 0 ? m_fields.upButton : index == 1 ? m_fields.downButton : m_fields.checkButton;
    return MovedForGrowth(r);
  }
  const int a = std::min(m_defaultCaptionHeight - 3, 17);
  const int w = Width();
  Rect up(w - a - 2, 2, w - 2, a + 1);
  up.Translate(-a * index, 0);
  return up;
}

TskListCaptionButton TskSkinCustomListBox::ButtonAt(Point p) const {
  if (!m_captionMode) return TskListCaptionButton::None;
  for (TskListCaptionButton b : {TskListCaptionButton::Up, TskListCaptionButton::Down, TskListCaptionButton::Check})
    if (CaptionButtonRect(b).Contains(p)) return b;
  return TskListCaptionButton::None;
}

void TskSkinCustomListBox::FillListBackground(Bitmap& image, const Rect& area) const {
  const Bitmap* picture = m_skinned ? m_element.picture : nullptr;
  if (!picture || m_element.parts.clientRect.IsEmpty()) {
    FillColor(image, area, clWindow);
    return;
  }
  // The skin's client texture, repeated from the top-left corner.
  FillColor(image, area, clWindow);
  TileArea(image, m_element.parts.clientRect, {area.Width(), area.Height()}, m_element.skinRect, *picture,
           image.Width(), image.Height());
}

void TskSkinCustomListBox::DrawItem(TBitmap& bitmap, int index, TOwnerDrawState state) {
  const int w = bitmap.Width(), h = bitmap.Height();
  if (w <= 0 || h <= 0) return;
  const bool selected = (state & odSelected) != 0;
  const bool focused = (state & odFocused) != 0;
  Bitmap& image = bitmap.Image();
  TCanvas& c = bitmap.Canvas();
  MakeItemFont(c.Font());
  Rect textRect;
  const Bitmap* picture = m_skinned ? m_element.picture : nullptr;
  if (!m_skinned) {
    FillColor(image, image.Bounds(), selected ? clHighlight : clWindow);
    c.Font().SetColor(selected ? clHighlightText : Font().GetColor());
    textRect = Rect(2, 2, w - 2, h - 2);
  } else {
    const Rect& item = m_fields.itemRect;
    Rect source;
    Color color;
    if (m_useSkinItemHeight) {
      source = focused && selected ? m_fields.focusItemRect : selected ? m_fields.activeItemRect : item;
      color = focused && selected ? m_fields.focusFontColor : selected ? m_fields.activeFontColor : m_fields.font.FontColor;
    } else {
      source = focused ? m_fields.focusItemRect : selected ? m_fields.activeItemRect : item;
      color = focused ? m_fields.focusFontColor : selected ? m_fields.activeFontColor : m_fields.font.FontColor;
    }
    FillColor(image, image.Bounds(), clWindow);
    // Only what lies on the picture is read; a damaged record gives a smaller strip.
    if (picture) source = source.Intersected(picture->Bounds());
    if (picture && !source.IsEmpty()) {
      Bitmap strip;
      BuildHStripImage(strip, m_fields.itemLeftOffset, m_fields.itemRightOffset, source, *picture, w);
      // At the skin's height, or stretched to the item's.
      const Rect to = m_useSkinItemHeight ? strip.Bounds() : Rect(0, 0, w, h);
      CopySkinRect(image, to, strip, strip.Bounds());
    }
    c.Font().SetColor(color);
    textRect = m_fields.itemTextRect;
    textRect.right += w - item.Width();
    if (!m_useSkinItemHeight) textRect.bottom += h - item.Height();
  }
  c.Brush().SetStyle(TBrushStyle::bsClear);
  if (OnDrawItem) {
    OnDrawItem(this, c, index, state, textRect);
  } else {
    const int offset = m_list->HorizontalOffset();
    int indent = 0;
    if (m_images) {
      const int imageIndex = m_imageIndex < 0 ? index : m_imageIndex;
      if (imageIndex >= 0 && imageIndex < m_images->Count())
        m_images->Draw(c, textRect.left - offset, textRect.top + (textRect.Height() - m_images->Height()) / 2,
                       imageIndex, Enabled());
      indent = m_images->Width() + 2;
    }
    HDC dc = c.Handle();
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(ColorToRGB(c.Font().GetColor()));
    dc->SelectFont(c.Font().Handle());
    DrawItemText(*dc, Items().Get(index), textRect, indent - offset);
  }
  // A focus without selection (a multiple selection's caret) shows as a dotted frame.
  if ((!m_skinned && focused) || (m_skinned && m_useSkinItemHeight && focused && !selected))
    c.DrawFocusRect(Rect(0, 0, w, h));
  bitmap.Modified();
}

void TskSkinCustomListBox::PaintInnerList(HDC dc) {
  const Rect client = m_list->ClientRect();
  if (client.IsEmpty()) return;
  TBitmap buffer(client.Width(), client.Height());
  Bitmap& image = buffer.Image();
  FillListBackground(image, client);
  const int count = Items().Count();
  const int itemHeight = std::max(1, m_list->ItemHeight());
  const int top = m_list->TopIndex();
  const bool columns = Columns() > 0;
  const int rows = std::max(1, client.Height() / itemHeight);
  const long long last = columns ? static_cast<long long>(top) + static_cast<long long>(rows) * (Columns() + 1)
                                 : static_cast<long long>(top) + client.Height() / itemHeight + 1;
  const bool multi = MultiSelect();
  const int current = m_list->ItemIndex();
  const bool hasFocus = m_list->Focused();
  for (int i = std::max(0, top); i < count && i < last; ++i) {
    const Rect r = m_list->ItemRect(i);
    if (r.IsEmpty() || r.top >= client.bottom || r.left >= client.right || r.bottom <= 0) continue;
    TOwnerDrawState state = 0;
    if (i == current) state |= hasFocus ? (odSelected | odFocused) : odSelected;
    else if (multi && m_list->Selected(i)) state |= odSelected;
    if (!Enabled()) state |= odDisabled;
    TBitmap item(r.Width(), r.Height());
    DrawItem(item, i, state);
    CopySkinRect(image, r, item.Image(), item.Image().Bounds());
  }
  DC from(image);
  dc->BitBlt(0, 0, client.Width(), client.Height(), from, 0, 0, SRCCOPY);
}

void TskSkinCustomListBox::DrawDefaultImage(TBitmap& bitmap) {
  TskSkinCustomControl::DrawDefaultImage(bitmap);
  TCanvas& c = bitmap.Canvas();
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  c.Brush().SetColor(clBtnShadow);
  c.FrameRect(Rect(0, 0, Width(), Height()));
  if (m_captionMode) DrawCaptionDefault(c);
}

void TskSkinCustomListBox::DrawSkinImage(TBitmap& bitmap) {
  TskSkinCustomControl::DrawSkinImage(bitmap);
  if (m_captionMode && m_skinned) DrawCaptionSkin(bitmap);
}

void TskSkinCustomListBox::DrawCaptionDefault(TCanvas& c) {
  const int w = Width();
  const int ch = m_defaultCaptionHeight;
  const int a = std::min(ch - 3, 17);
  c.Pen().SetColor(clBtnShadow);
  c.MoveTo(1, ch - 1);
  c.LineTo(w - 1, ch - 1);
  Rect text(3, 2, w - 3 * a - 3, ch - 2);
  c.SetFont(*m_defaultCaptionFont);
  int content = c.TextWidth(Caption());
  const int cell = m_glyph->Empty() ? 0 : m_glyph->Width() / m_numGlyphs;
  if (cell > 0) content += cell + m_spacing;
  int x = text.left;
  if (m_alignment == TAlignment::taRightJustify) x = text.right - content;
  else if (m_alignment == TAlignment::taCenter) x = text.left + text.Width() / 2 - content / 2;
  if (cell > 0) {
    const int gy = text.top + text.Height() / 2 - m_glyph->Height() / 2;
    DrawGlyphFromStrip(*c.Handle(), x, gy, !Enabled() && m_numGlyphs == 2 ? 2 : 1, m_numGlyphs, m_glyph->Image());
    x += cell + m_spacing;
  }
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.TextRect(text, x, text.top + text.Height() / 2 - c.TextHeight(Caption()) / 2, Caption());
  for (TskListCaptionButton b : {TskListCaptionButton::Up, TskListCaptionButton::Down, TskListCaptionButton::Check}) {
    const Rect r = CaptionButtonRect(b);
    if (r.IsEmpty()) continue;
    const bool hot = m_hot == b;
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    if (hot) {
      c.Brush().SetColor(m_pressed == b ? kDefaultFacePressedFill : kDefaultFaceHotFill);
      c.FillRect(r);
      c.Brush().SetColor(kDefaultFaceFrame);
      c.FrameRect(r);
    } else {
      c.Brush().SetColor(clBtnFace);
      c.FillRect(r);
    }
    if (b == TskListCaptionButton::Check) DrawCheckMark(*c.Handle(), r.left + 4, r.top + 4, clBlack);
    else DrawMarkerArrow(*c.Handle(), r, clBlack, b == TskListCaptionButton::Up ? skArrowUp : skArrowDown);
  }
}

void TskSkinCustomListBox::DrawCaptionSkin(TBitmap& bitmap) {
  const Bitmap* picture = m_element.picture;
  TCanvas& c = bitmap.Canvas();
  Rect caption = m_fields.captionRect;
  if (caption.right >= m_element.parts.rightTop.x) caption.right += Width() - m_element.skinRect.Width();
  if (!caption.IsEmpty() && !Caption().empty()) {
    MakeSkinCaptionFont(c.Font(), DefaultFont(), &m_fields.captionFont, UseSkinFont(), m_fields.captionFont.FontColor,
                        SkinData());
    c.Brush().SetStyle(TBrushStyle::bsClear);
    const int content = c.TextWidth(Caption());
    int x = caption.left;
    if (m_alignment == TAlignment::taRightJustify) x = caption.right - content;
    else if (m_alignment == TAlignment::taCenter) x = caption.left + caption.Width() / 2 - content / 2;
    c.TextRect(caption, x, caption.top + caption.Height() / 2 - c.TextHeight(Caption()) / 2, Caption());
  }
  if (!picture) return;
  const std::pair<Rect, Rect> states[] = {{m_fields.activeUpButton, m_fields.downUpButton},
                                          {m_fields.activeDownButton, m_fields.downDownButton},
                                          {m_fields.activeCheckButton, m_fields.downCheckButton}};
  for (int i = 0; i < 3; ++i) {
    const auto b = static_cast<TskListCaptionButton>(i);
    if (m_hot != b) continue;
    const Rect source = m_pressed == b ? states[i].second : states[i].first;
    const Rect at = CaptionButtonRect(b);
    if (!source.IsEmpty() && !at.IsEmpty()) CopySkinRect(bitmap.Image(), at, *picture, source);
  }
  bitmap.Modified();
}

// ---- caption buttons

void TskSkinCustomListBox::SetHot(TskListCaptionButton b) {
  if (b == m_hot) return;
  m_hot = b;
  Invalidate();
}

void TskSkinCustomListBox::StartRepeat() {
  m_repeating = true;
  m_firstTick = true;
  if (HandleAllocated()) SetTimer(Handle(), kCaptionRepeatTimer, kRepeatDelay, nullptr);
}

void TskSkinCustomListBox::StopRepeat() {
  if (HandleAllocated()) KillTimer(Handle(), kCaptionRepeatTimer);
  m_repeating = false;
}

void TskSkinCustomListBox::RepeatTick() {
  if (!m_repeating || m_pressed == TskListCaptionButton::None || m_hot != m_pressed) {
    if (HandleAllocated()) KillTimer(Handle(), kCaptionRepeatTimer);
    return;
  }
  if (m_firstTick) {
    m_firstTick = false;
    SetTimer(Handle(), kCaptionRepeatTimer, kRepeatInterval, nullptr);
  }
  const int i = ItemIndex();
  if (m_pressed == TskListCaptionButton::Up) {
    if (i >= 1) SetItemIndex(i - 1);
  } else if (i + 1 < Items().Count()) {
    SetItemIndex(i + 1);
  }
}

void TskSkinCustomListBox::CaptionButtonAction(TskListCaptionButton button) {
  const int i = ItemIndex();
  switch (button) {
    case TskListCaptionButton::Up:
      if (OnUpButtonClick) OnUpButtonClick(this);
      else if (i > 0) SetItemIndex(i - 1);
      break;
    case TskListCaptionButton::Down:
      // Not beyond the last item, which would leave no item selected.
      if (OnDownButtonClick) OnDownButtonClick(this);
      else if (i + 1 < Items().Count()) SetItemIndex(i + 1);
      break;
    case TskListCaptionButton::Check:
      if (OnCheckButtonClick) OnCheckButtonClick(this);
      else m_list->Click();
      break;
    case TskListCaptionButton::None:
      break;
  }
}

void TskSkinCustomListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  TskSkinCustomControl::MouseDown(button, shift, x, y);
  if (!*alive || button != TMouseButton::mbLeft || Designing()) return;
  const TskListCaptionButton b = ButtonAt({x, y});
  if (b == TskListCaptionButton::None) return;
  m_pressed = m_hot = b;
  Invalidate();
  const bool repeats = (b == TskListCaptionButton::Up && !OnUpButtonClick) ||
                       (b == TskListCaptionButton::Down && !OnDownButtonClick);
  if (repeats) StartRepeat();
}

void TskSkinCustomListBox::MouseMove(TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  TskSkinCustomControl::MouseMove(shift, x, y);
  if (!*alive || Designing() || !m_captionMode) return;
  const TskListCaptionButton b = ButtonAt({x, y});
  if (m_pressed != TskListCaptionButton::None) {
    const bool over = b == m_pressed;
    const bool wasOver = m_hot == m_pressed;
    SetHot(over ? m_pressed : TskListCaptionButton::None);
    if (m_repeating && over && !wasOver && HandleAllocated()) {
      m_firstTick = false;
      SetTimer(Handle(), kCaptionRepeatTimer, kRepeatResume, nullptr);
    } else if (m_repeating && !over && wasOver && HandleAllocated()) {
      KillTimer(Handle(), kCaptionRepeatTimer);
    }
    return;
  }
  SetHot(b);
}

void TskSkinCustomListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  TskListCaptionButton released = TskListCaptionButton::None;
  if (button == TMouseButton::mbLeft && m_pressed != TskListCaptionButton::None) {
    if (ButtonAt({x, y}) == m_pressed) released = m_pressed;
    StopRepeat();
    m_pressed = TskListCaptionButton::None;
    m_hot = ButtonAt({x, y});
    Invalidate();
  }
  TskSkinCustomControl::MouseUp(button, shift, x, y);
  if (*alive && released != TskListCaptionButton::None) CaptionButtonAction(released);
}

void TskSkinCustomListBox::MouseLeave() {
  if (!Designing() && m_pressed == TskListCaptionButton::None) SetHot(TskListCaptionButton::None);
  TskSkinCustomControl::MouseLeave();
}

bool TskSkinCustomListBox::InnerListMouse(TMessage&) { return false; }

void TskSkinCustomListBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_TIMER:
      if (m.WParam == kCaptionRepeatTimer) {
        RepeatTick();
        return;
      }
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(m.LParam) != Handle() && m_pressed != TskListCaptionButton::None) {
        StopRepeat();
        m_pressed = TskListCaptionButton::None;
        Invalidate();
      }
      break;
    case WM_DESTROY:
      m_repeating = false;
      m_pressed = TskListCaptionButton::None;
      break;
    case WM_SETFOCUS:
      // The list inside takes the keys.
      TskSkinCustomControl::WndProc(m);
      if (m_list && m_list->CanFocus()) m_list->SetFocus();
      return;
    default:
      break;
  }
  TskSkinCustomControl::WndProc(m);
}

// ---- resources

bool TskSkinCustomListBox::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "ItemIndex")) SetItemIndex(v.AsInt());
  else if (SameText(name, "Sorted")) SetSorted(v.AsBool());
  else if (SameText(name, "MultiSelect")) SetMultiSelect(v.AsBool());
  else if (SameText(name, "ExtandedSelect")) SetExtandedSelect(v.AsBool());
  else if (SameText(name, "Columns")) SetColumns(v.AsInt());
  else if (SameText(name, "UseSkinItemHeight")) SetUseSkinItemHeight(v.AsBool());
  else if (SameText(name, "DefaultItemHeight")) SetDefaultItemHeight(v.AsInt());
  else if (SameText(name, "RowCount")) SetRowCount(v.AsInt());
  else if (SameText(name, "HorizontalExtent")) SetHorizontalExtent(v.AsBool());
  else if (SameText(name, "ImageIndex")) SetImageIndex(v.AsInt());
  else if (SameText(name, "Images")) reader.ReadLink<TImageList>(v, [this](TImageList* l) { SetImages(l); });
  else if (SameText(name, "CaptionMode")) SetCaptionMode(v.AsBool());
  else if (SameText(name, "Alignment"))
    SetAlignment(static_cast<TAlignment>(v.AsEnum({{"taLeftJustify", 0}, {"taRightJustify", 1}, {"taCenter", 2}})));
  else if (SameText(name, "DefaultCaptionHeight")) SetDefaultCaptionHeight(v.AsInt());
  else if (SameText(name, "NumGlyphs")) SetNumGlyphs(v.AsInt());
  else if (SameText(name, "Spacing")) SetSpacing(v.AsInt());
  else if (SameText(name, "ListBoxTabOrder")) m_list->SetTabOrder(v.AsInt());
  else if (SameText(name, "ListBoxTabStop")) m_list->SetTabStop(v.AsBool());
  else if (SameText(name, "ListBoxPopupMenu"))
    reader.ReadLink<TPopupMenu>(v, [this](TPopupMenu* menu) { m_list->SetPopupMenu(menu); });
  else if (SameText(name, "ListBoxDragMode"))
    m_list->SetDragMode(static_cast<TDragMode>(v.AsEnum({{"dmManual", 0}, {"dmAutomatic", 1}})));
  else if (SameText(name, "ListBoxDragKind"))
    m_list->SetDragKind(static_cast<TDragKind>(v.AsEnum({{"dkDrag", 0}, {"dkDock", 1}})));
  else if (SameText(name, "ListBoxDragCursor")) m_list->SetDragCursor(ReadCursor(v));
  else if (SameText(name, "OnListBoxClick")) OnListBoxClick = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnListBoxDblClick")) OnListBoxDblClick = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnUpButtonClick")) OnUpButtonClick = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnDownButtonClick")) OnDownButtonClick = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnCheckButtonClick")) OnCheckButtonClick = reader.ReadHandler<TNotifyEvent>(v);
  else return TskSkinCustomControl::ReadProperty(name, v, reader);
  return true;
}

TPersistent* TskSkinCustomListBox::PropertyObject(std::string_view name) {
  if (SameText(name, "Items")) return &Items();
  if (SameText(name, "DefaultCaptionFont")) return m_defaultCaptionFont.get();
  if (SameText(name, "Glyph")) return m_glyph.get();
  if (SameText(name, "ListBoxFont")) return &m_list->Font();
  return TskSkinCustomControl::PropertyObject(name);
}
