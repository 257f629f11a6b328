// One level of a skinned menu: building, placing, painting, keyboard, mouse, morphing and
// scrolling of TskSkinPopupWindow and its TskSkinMenuItems.
#include "skin/form/skPopupWindow.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/DC.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skImageDraw.h"
#include "skin/data/skEffectBmp.h"
#include "skin/data/skSkinData.h"
#include "skin/form/skSkinMenus.h"
#include "toolkit/Forms.h"
#include "toolkit/ImgList.h"
#include "toolkit/Menus.h"

namespace {

constexpr UINT_PTR kMouseTimer = 1;
constexpr UINT_PTR kMorphTimer = 2;
constexpr UINT_PTR kScrollTimer = 3;
constexpr UINT_PTR kWaitTimer = 4;

constexpr Color kDefaultActiveFill = RGB(182, 189, 210);
constexpr int kDefaultSeparatorHeight = 4;
constexpr int kSkinGlyphWidth = 16;

const Bitmap* PictureAt(const TskSkinData* data, int index) {
  if (!data || index < 0) return nullptr;
  const auto& pictures = data->ActivePictures();
  if (index >= static_cast<int>(pictures.size()) || pictures[static_cast<std::size_t>(index)].IsEmpty())
    return nullptr;
  return &pictures[static_cast<std::size_t>(index)];
}

FontSpec RecordFont(const TskDataSkinMenuItem& r) {
  FontSpec f;
  f.face = r.FontName.empty() ? "\xE5\xAE\x8B\xE4\xBD\x93" : r.FontName;
  f.height = r.FontHeight;
  f.bold = (r.FontStyle & 1) != 0;
  f.italic = (r.FontStyle & 2) != 0;
  f.underline = (r.FontStyle & 4) != 0;
  f.strikeOut = (r.FontStyle & 8) != 0;
  return f;
}

Bitmap Crop(const Bitmap& src, const Rect& r) {
  Bitmap out(std::max(0, r.Width()), std::max(0, r.Height()));
  CopySkinRect(out, out.Bounds(), src, r);
  return out;
}

void Line(DC& dc, int x0, int y0, int x1, int y1) {
  dc.MoveTo(x0, y0);
  dc.LineTo(x1, y1);
}

// The right-pointing triangle of an item with sub-items.
void DrawSubMenuArrow(DC& dc, int x, int y) {
  for (int i = 0; i < 4; ++i) Line(dc, x + i, y + i, x + i, y + 7 - i);
}

void DrawRadioDot(DC& dc, int x, int y, Color c) {
  DCState saved(dc);
  dc.SelectPen(Pen{PS_SOLID, 1, c});
  dc.SelectBrush(Brush{BS_SOLID, c});
  dc.Ellipse({x, y, x + 6, y + 6});
}

// The caption-button glyphs that the frame's system and tray menu items carry, by the
// items' component names; false for other names.
bool DrawNamedGlyph(DC& dc, const std::string& name, int a, int b, Color c) {
  if (name == "SKF_CLOSE" || name == "TRAY_SKF_CLOSE") {
    Line(dc, a + 1, b + 1, a + 9, b + 9);
    Line(dc, a + 9, b + 1, a + 1, b + 9);
    Line(dc, a + 2, b + 1, a + 10, b + 9);
    Line(dc, a + 8, b + 1, a, b + 9);
  } else if (name == "SKF_MAXITEM") {
    dc.FrameRect({a, b, a + 11, b + 10}, c);
    dc.FrameRect({a, b, a + 11, b + 2}, c);
  } else if (name == "SKF_RESTORE" || name == "TRAY_SKF_RESTORE") {
    dc.FrameRect({a + 2, b, a + 10, b + 6}, c);
    dc.FrameRect({a + 2, b, a + 10, b + 2}, c);
    dc.FrameRect({a, b + 4, a + 7, b + 10}, c);
    dc.FrameRect({a, b + 4, a + 7, b + 6}, c);
  } else if (name == "SKF_MINITEM") {
    Line(dc, a + 1, b + 8, a + 9, b + 8);
    Line(dc, a + 1, b + 9, a + 9, b + 9);
  } else if (name == "SKF_ROLLUP") {
    for (int i = 0; i <= 4; ++i) Line(dc, a + 1 + i, b + 6 - i, a + 9 - i, b + 6 - i);
  } else if (name == "SKF_MINTOTRAY") {
    dc.FillRect({a + 2, b + 2, a + 7, b + 7}, c);
  } else {
    return false;
  }
  return true;
}

// Draws a picture of an image list with its transparency.
void DrawListImage(DC& dc, const TImageList& images, int index, int x, int y) {
  if (index < 0 || index >= images.Count()) return;
  const Bitmap& img = images.Image(index);
  dc.AlphaBlend(x, y, img, img.Bounds());
}

}  // namespace

// ---- placement

Point PlaceSkinPopup(TskPopupKind kind, const Rect& a, const Rect& wa, Size size, int itemsTop,
                     bool scroll, bool limited, bool* overlapping) {
  const int w = size.cx;
  const int h = size.cy;
  const bool upperHalf = a.top < wa.top + wa.Height() / 2;
  bool overlap = false;
  int y = 0;
  if (scroll && !limited) {
    y = wa.top;
  } else if (kind == TskPopupKind::SubMenu) {
    if (a.top + h - itemsTop <= wa.bottom) y = a.top - itemsTop;
    else if (upperHalf) y = wa.bottom - h;
    else y = std::max(a.bottom + itemsTop - h, wa.top);
  } else if (kind == TskPopupKind::PopupUp) {
    if (a.top - h >= wa.top) {
      y = a.top - h;
    } else if (upperHalf && a.bottom + h <= wa.bottom) {
      y = a.bottom;
    } else {
      y = upperHalf ? wa.bottom - h : wa.top;
      overlap = true;
    }
  } else {
    if (a.bottom + h <= wa.bottom) {
      y = a.bottom;
    } else if (upperHalf) {
      y = wa.bottom - h;
      overlap = true;
    } else if (a.top - h >= wa.top) {
      y = a.top - h;
    } else {
      y = wa.top;
      overlap = true;
    }
  }
  int x = 0;
  if (kind != TskPopupKind::SubMenu && !overlap && !(scroll && !limited)) {
    x = a.left;
    if (a.left + w > wa.right) x = wa.right - w;
    else if (a.left < wa.left) x = wa.left;
  } else {
    x = a.right + w + 1 <= wa.right ? a.right + 1 : a.left - w - 1;
  }
  if (overlapping) *overlapping = overlap;
  return {x, y};
}

Rect SkinMenuWorkArea(HWND window, Point fallback) {
  HMONITOR monitor = window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                            : MonitorFromPoint(fallback, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info;
  if (monitor && GetMonitorInfo(monitor, &info)) {
    if (!info.rcWork.IsEmpty()) return info.rcWork;
    if (!info.rcMonitor.IsEmpty()) return info.rcMonitor;
  }
  Rect work;
  if (SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0) && !work.IsEmpty()) return work;
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// ---- items

TskSkinMenuItem::TskSkinMenuItem(TMenuItem* item, const TskDataSkinMenuItem* record, const Bitmap* picture)
    : m_item(item), m_record(record), m_picture(picture) {}

bool TskSkinMenuItem::IsSeparator() const { return m_item && m_item->IsLine(); }
bool TskSkinMenuItem::Enabled() const { return m_item && m_item->Enabled(); }
bool TskSkinMenuItem::HasSubItems() const { return m_item && m_item->Count() > 0; }

// ---- the window

TskSkinPopupWindow::TskSkinPopupWindow(TskSkinMenu* menu) : TCustomControl(nullptr), m_menu(menu) {
  TControl::SetVisible(false);
  // No capture on a press: a press outside must reach the window under it.
  m_controlStyle = csOpaque;
}

TskSkinPopupWindow::~TskSkinPopupWindow() {
  if (m_menu) m_menu->PopupGone(this);
  if (HandleAllocated()) {
    KillTimer(Handle(), kMouseTimer);
    KillTimer(Handle(), kMorphTimer);
    KillTimer(Handle(), kScrollTimer);
    KillTimer(Handle(), kWaitTimer);
  }
}

void TskSkinPopupWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.parent = nullptr;
  p.style = WS_POPUP;
  p.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
}

int TskSkinPopupWindow::IndexOfItem(const TskSkinMenuItem* item) const {
  for (std::size_t i = 0; i < m_items.size(); ++i)
    if (m_items[i].get() == item) return static_cast<int>(i);
  return -1;
}

Rect TskSkinPopupWindow::TopMarkerRect() const {
  if (!m_popupRecord) return {3, 3, Width() - 3, 3 + skScrollBandHeight};
  return {m_itemsArea.left, m_itemsArea.top, m_itemsArea.right, m_itemsArea.top + skScrollBandHeight};
}

Rect TskSkinPopupWindow::BottomMarkerRect() const {
  if (!m_popupRecord) return {3, Height() - 3 - skScrollBandHeight, Width() - 3, Height() - 3};
  return {m_itemsArea.left, m_itemsArea.bottom - skScrollBandHeight, m_itemsArea.right, m_itemsArea.bottom};
}

int TskSkinPopupWindow::ItemHeight(const TskSkinMenuItem& item) const {
  if (m_itemRecord) return item.IsSeparator() ? m_itemRecord->DividerRect.Height() : m_itemRecord->SkinRect.Height();
  return item.IsSeparator() ? kDefaultSeparatorHeight : m_menu->DefItemHeight();
}

std::string TskSkinPopupWindow::ItemText(const TskSkinMenuItem& item) const {
  return item.m_item ? StripHotkey(item.m_item->Caption()) : std::string();
}

std::string TskSkinPopupWindow::ShortCutText(const TskSkinMenuItem& item) const {
  return item.m_item ? ShortCutToText(item.m_item->GetShortCut()) : std::string();
}

void TskSkinPopupWindow::Build(TMenuItem* parent, int startIndex) {
  const TskSkinData* data = m_skinData && !m_skinData->SkinEmpty() ? m_skinData : nullptr;
  // The popup record counts only when its window picture exists: a damaged index gives
  // the default look rather than a window drawn from nothing.
  m_popupRecord = nullptr;
  m_windowPicture = m_maskPicture = nullptr;
  if (data && data->PopupWindow().WindowPictureIndex != -1) {
    m_windowPicture = PictureAt(data, data->PopupWindow().WindowPictureIndex);
    if (m_windowPicture) {
      m_popupRecord = &data->PopupWindow();
      m_maskPicture = PictureAt(data, m_popupRecord->MaskPictureIndex);
    }
  }
  m_itemRecord = nullptr;
  m_itemPicture = nullptr;
  if (m_popupRecord) {
    for (const auto& object : data->ObjectList()) {
      if (auto* r = dynamic_cast<const TskDataSkinMenuItem*>(object.get())) {
        m_itemRecord = r;
        break;
      }
    }
    if (m_itemRecord) m_itemPicture = PictureAt(data, m_itemRecord->ActivePictureIndex);
  }
  m_itemFont = ::Font(m_popupRecord && m_itemRecord && m_menu->UseSkinFont() ? RecordFont(*m_itemRecord)
                                                                      : m_menu->DefItemFont());

  TMenu* owningMenu = parent->GetParentMenu();
  m_images = owningMenu ? owningMenu->Images() : nullptr;
  if (m_images && m_images->Width() <= 0) m_images = nullptr;
  m_glyphWidth = m_images ? m_images->Width() + 5 : 19;

  m_items.clear();
  for (int i = std::max(0, startIndex); i < parent->Count(); ++i) {
    TMenuItem* mi = parent->Items(i);
    if (!mi->Visible()) continue;
    FreeNotification(mi);
    m_items.push_back(std::make_unique<TskSkinMenuItem>(mi, m_itemRecord, m_itemPicture));
  }
  FreeNotification(parent);

  // Width: the widest caption (with its shortcut) plus the glyph column, the arrow column
  // and the frame.
  int w = 0;
  for (const auto& item : m_items) {
    std::string text = ItemText(*item);
    std::string shortcut = ShortCutText(*item);
    if (!shortcut.empty()) text += "  " + shortcut;
    w = std::max(w, m_itemFont.TextWidth(text) + 2);
  }
  int width = w + m_glyphWidth + 19;
  if (m_popupRecord) width += m_windowPicture->Width() - m_popupRecord->ItemsRect.Width();
  else width += 10;
  if (m_itemRecord) width += m_itemRecord->SkinRect.Width() - m_itemRecord->TextRect.Width();

  const int frameHeight = m_popupRecord ? m_windowPicture->Height() - m_popupRecord->ItemsRect.Height() : 4;
  const int n = static_cast<int>(m_items.size());
  const int limit = m_menu->MaxMenuItemsInWindow();
  m_scroll = m_limited = false;
  int height = 0;
  if (limit > 0 && limit < n) {
    const int unit = m_itemRecord ? m_itemRecord->SkinRect.Height() : m_menu->DefItemHeight();
    height = limit * unit + frameHeight + 2 * skScrollBandHeight;
    m_scroll = m_limited = true;
  } else {
    for (const auto& item : m_items) height += ItemHeight(*item);
    height += frameHeight;
  }
  const Rect& wa = m_menu->WorkArea();
  if (height > wa.Height()) {
    height = wa.Height();
    m_scroll = true;
  }

  // The scaled geometry of the popup record for this size.
  if (m_popupRecord) {
    const int dw = width - m_windowPicture->Width();
    const int dh = height - m_windowPicture->Height();
    const Rect& ir = m_popupRecord->ItemsRect;
    m_itemsArea = {ir.left, ir.top, ir.right + dw, ir.bottom + dh};
  } else {
    m_itemsArea = {2, 2, width - 2, height - 2};
  }
  m_size = {width, height};
  m_visibleStart = 0;
  LayoutItems();

  m_region.reset();
  if (m_popupRecord && m_maskPicture) {
    const TskDataSkinPopupWindow& r = *m_popupRecord;
    const int dw = width - m_windowPicture->Width();
    const int dh = height - m_windowPicture->Height();
    NinePartGeometry g{r.LeftTopPoint, r.RightTopPoint, r.LeftBottomPoint, r.RightBottomPoint, r.ItemsRect};
    NinePartGeometry s{r.LeftTopPoint,
                       {r.RightTopPoint.x + dw, r.RightTopPoint.y},
                       {r.LeftBottomPoint.x, r.LeftBottomPoint.y + dh},
                       {r.RightBottomPoint.x + dw, r.RightBottomPoint.y + dh},
                       m_itemsArea};
    m_region = ResizedMaskToRegion(g, s, *m_maskPicture, width, height);
  }
}

void TskSkinPopupWindow::LayoutItems() {
  const int n = static_cast<int>(m_items.size());
  m_visibleStart = std::clamp(m_visibleStart, 0, std::max(0, n - 1));
  int y = m_itemsArea.top + (m_scroll ? skScrollBandHeight : 0);
  const int bottom = m_itemsArea.bottom - (m_scroll ? skScrollBandHeight : 0);
  m_visibleCount = 0;
  for (int i = 0; i < n; ++i) {
    TskSkinMenuItem& item = *m_items[static_cast<std::size_t>(i)];
    item.m_visible = false;
    if (i < m_visibleStart) continue;
    const int h = ItemHeight(item);
    if (y + h > bottom) {
      // Once one item does not fit, the rest are below the window.
      for (int j = i; j < n; ++j) m_items[static_cast<std::size_t>(j)]->m_visible = false;
      break;
    }
    item.m_rect = {m_itemsArea.left, y, m_itemsArea.right, y + h};
    item.m_visible = true;
    ++m_visibleCount;
    y += h;
  }
  if (!m_scroll) {
    // Without scrolling every item fits; a damaged skin could still push some out.
    m_visibleStart = 0;
  }
  // Items that left the window keep no morph state.
  for (auto& item : m_items) {
    if (!item->m_visible && (item->m_morphFactor > 0 || item->m_active)) {
      item->m_active = item->m_down = false;
      item->m_morphFactor = 0;
    }
  }
}

void TskSkinPopupWindow::Open(TMenuItem* parent, int startIndex, TskSkinData* data, TskPopupKind kind,
                              const Rect& anchor, bool first) {
  m_parentItem = parent;
  m_skinData = data;
  const bool fade = m_menu->AlphaBlend() && m_menu->AlphaBlendAnimation() && first;
  if (fade && Application) Application->ProcessMessages();
  Build(parent, startIndex);

  bool overlapping = false;
  m_showPos = PlaceSkinPopup(kind, anchor, m_menu->WorkArea(), m_size, m_itemsArea.top, m_scroll,
                             m_limited, &overlapping);
  SetBounds(m_showPos.x, m_showPos.y, m_size.cx, m_size.cy);
  HWND h = Handle();
  if (m_region) SetWindowRgn(h, new Region(*m_region), false);
  if (m_menu->AlphaBlend()) {
    SetWindowLong(h, GWL_EXSTYLE, GetWindowLong(h, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(h, 0, static_cast<BYTE>(fade ? 0 : m_menu->AlphaBlendValue()), LWA_ALPHA);
  }
  SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ShowWindow(h, SW_SHOWNOACTIVATE);
  TControl::SetVisible(true);
  if (fade) {
    for (int a = 0; a < m_menu->AlphaBlendValue(); a += 3) SetLayeredWindowAttributes(h, 0, static_cast<BYTE>(a), LWA_ALPHA);
    SetLayeredWindowAttributes(h, 0, static_cast<BYTE>(m_menu->AlphaBlendValue()), LWA_ALPHA);
  }
  GetCursorPos(&m_lastCursor);
  RequestTimer(kMouseTimer, skMenuMouseInterval);

  const int firstItem = NextSelectable(-1, 1);
  if (firstItem >= 0) {
    m_activeItem = firstItem;
    m_items[static_cast<std::size_t>(firstItem)]->m_wait = true;
    EnterItem(firstItem, true);
  }
}

// ---- timers

void TskSkinPopupWindow::RequestTimer(UINT_PTR id, unsigned interval) {
  if (HandleAllocated()) SetTimer(Handle(), id, interval, nullptr);
}

void TskSkinPopupWindow::StopTimer(UINT_PTR id) {
  if (HandleAllocated()) KillTimer(Handle(), id);
}

void TskSkinPopupWindow::StartWaitTimer() { RequestTimer(kWaitTimer, skMenuWaitInterval); }
void TskSkinPopupWindow::StopWaitTimer() { StopTimer(kWaitTimer); }

void TskSkinPopupWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEACTIVATE:
      m.Result = MA_NOACTIVATE;
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_TIMER: {
      switch (m.WParam) {
        case kMouseTimer: TrackMouse(); break;
        case kMorphTimer: MorphStep(); break;
        case kScrollTimer: ScrollStep(); break;
        case kWaitTimer: m_menu->WaitTimerFired(); break;
        default: break;
      }
      return;
    }
    case WM_LBUTTONUP:
      MouseUpAt(LParamToPoint(m.LParam));
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

void TskSkinPopupWindow::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == m_parentItem) m_parentItem = nullptr;
  for (auto& item : m_items) {
    if (item->m_item == component) {
      // The item went while its level was open: it stays as an empty, inert row.
      item->m_item = nullptr;
      item->m_active = item->m_wait = false;
      if (m_menu && m_menu->WaitItem() == item.get()) m_menu->StopWaitTimer();
    }
  }
}

// ---- keyboard

int TskSkinPopupWindow::NextSelectable(int from, int direction) const {
  const int n = static_cast<int>(m_items.size());
  if (n == 0) return -1;
  int start;
  if (direction > 0) start = (from < 0 || from >= n - 1) ? 0 : from + 1;
  else start = (from <= 0) ? n - 1 : from - 1;
  for (int k = 0; k < n; ++k) {
    const int i = ((start + direction * k) % n + n) % n;
    if (m_items[static_cast<std::size_t>(i)]->Selectable()) return i;
  }
  return -1;
}

bool TskSkinPopupWindow::TryAccelerator(int vk) {
  char key = 0;
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) key = static_cast<char>(vk);
  if (!key) return false;
  for (int i = 0; i < ItemCount(); ++i) {
    TskSkinMenuItem& item = *m_items[static_cast<std::size_t>(i)];
    // A disabled item's key does nothing, so it does not take the key from a later one.
    if (!item.Selectable() || !IsAccel(key, item.m_item->Caption())) continue;
    std::shared_ptr<bool> alive = m_alive;
    SetActiveByKeyboard(i);
    if (*alive) ClickItem(i);
    return true;
  }
  return false;
}

void TskSkinPopupWindow::EnsureVisible(int index) {
  if (!m_scroll || index < 0) return;
  if (index < m_visibleStart) {
    m_visibleStart = index;
  } else {
    while (!m_items[static_cast<std::size_t>(index)]->m_visible && m_visibleStart < index) {
      ++m_visibleStart;
      LayoutItems();
    }
  }
  LayoutItems();
  Invalidate();
}

void TskSkinPopupWindow::SetActiveByKeyboard(int index) {
  if (index < 0 || index >= ItemCount()) return;
  std::shared_ptr<bool> alive = m_alive;
  const int old = m_activeItem;
  if (old != index && old >= 0 && old < ItemCount()) {
    if (m_items[static_cast<std::size_t>(old)]->Selectable()) LeaveItem(old);
  }
  if (!*alive) return;
  m_oldActiveItem = old;
  m_activeItem = index;
  EnsureVisible(index);
  TskSkinMenuItem& item = *m_items[static_cast<std::size_t>(index)];
  if (!item.Selectable()) return;
  item.m_wait = true;
  EnterItem(index, true);
}

void TskSkinPopupWindow::MenuKeyDown(int vk) {
  std::shared_ptr<bool> alive = m_alive;
  if (TryAccelerator(vk)) return;
  const int level = m_menu->IndexOfPopup(this);
  switch (vk) {
    case VK_RETURN:
      if (m_activeItem >= 0) ClickItem(m_activeItem);
      break;
    case VK_ESCAPE:
    case VK_LEFT: {
      if (vk == VK_LEFT && m_menu->PopupCount() < 2) break;
      TskSkinMenu* menu = m_menu;
      menu->CloseFromLevel(std::max(0, level));
      // `this` is gone now; the level that is last loses the down mark of its item.
      if (menu->PopupCount() > 0) {
        TskSkinPopupWindow* last = menu->Popups(menu->PopupCount() - 1);
        const int a = last->ActiveItem();
        if (a >= 0 && a < last->ItemCount()) {
          last->Items(a)->m_down = false;
          last->RedrawItem(a);
        }
      }
      break;
    }
    case VK_DOWN:
    case VK_UP: {
      const int next = NextSelectable(m_activeItem, vk == VK_DOWN ? 1 : -1);
      if (next >= 0) SetActiveByKeyboard(next);
      break;
    }
    case VK_RIGHT:
      if (m_activeItem >= 0 && m_items[static_cast<std::size_t>(m_activeItem)]->HasSubItems())
        ClickItem(m_activeItem);
      break;
    default:
      break;
  }
}

// ---- mouse

void TskSkinPopupWindow::TrackMouse() {
  if (m_menu->LostActivation()) {
    m_menu->Hide();
    return;
  }
  Point p;
  GetCursorPos(&p);
  if (p == m_lastCursor) return;
  m_lastCursor = p;
  if (HandleAllocated() && WindowFromPoint(p) == Handle()) {
    HoverAt(ScreenToClient(p));
  } else if (m_scroll && m_scrollCode != 0) {
    StopScroll();
  }
}

void TskSkinPopupWindow::StartScroll(int code) {
  m_scrollCode = code;
  Invalidate();
  // Scrolling moves the items under the submenus of this level.
  const int level = m_menu->IndexOfPopup(this);
  if (level >= 0) m_menu->CloseFromLevel(level + 1);
  RequestTimer(kScrollTimer, skMenuScrollInterval);
}

void TskSkinPopupWindow::StopScroll() {
  m_scrollCode = 0;
  Invalidate();
  StopTimer(kScrollTimer);
}

void TskSkinPopupWindow::ScrollStep() {
  const int n = ItemCount();
  bool moved = false;
  if (m_scrollCode == 1 && m_visibleStart > 0) {
    --m_visibleStart;
    moved = true;
  } else if (m_scrollCode == 2 && m_visibleStart + m_visibleCount < n) {
    ++m_visibleStart;
    moved = true;
  }
  if (!moved) {
    StopScroll();
    return;
  }
  LayoutItems();
  Invalidate();
}

void TskSkinPopupWindow::HoverAt(Point p) {
  std::shared_ptr<bool> alive = m_alive;
  if (m_scroll) {
    const bool inTop = TopMarkerRect().Contains(p);
    const bool inBottom = BottomMarkerRect().Contains(p);
    if (inTop && m_scrollCode == 0 && m_visibleStart > 0) {
      StartScroll(1);
    } else if (inBottom && m_scrollCode == 0 && m_visibleStart + m_visibleCount < ItemCount()) {
      StartScroll(2);
    } else if (!inTop && !inBottom && m_scrollCode != 0) {
      StopScroll();
    }
    if (!*alive) return;
  }
  int index = -1;
  for (int i = 0; i < ItemCount(); ++i) {
    const TskSkinMenuItem& item = *m_items[static_cast<std::size_t>(i)];
    if (item.m_visible && item.m_rect.Contains(p)) {
      index = i;
      break;
    }
  }
  if (index < 0) return;
  if (index == m_activeItem) {
    TskSkinMenuItem& item = *m_items[static_cast<std::size_t>(index)];
    if (item.m_wait) {
      item.m_wait = false;
      if (item.HasSubItems() && item.Selectable()) EnterItem(index, false);
    }
    return;
  }
  const int old = m_activeItem;
  m_oldActiveItem = old;
  m_activeItem = index;
  if (old >= 0 && old < ItemCount() && m_items[static_cast<std::size_t>(old)]->Selectable()) LeaveItem(old);
  if (!*alive) return;
  if (m_items[static_cast<std::size_t>(index)]->Selectable()) EnterItem(index, false);
}

void TskSkinPopupWindow::MouseUpAt(Point p) {
  std::shared_ptr<bool> alive = m_alive;
  // The pointer may have moved since the last poll: the item under it is the one meant.
  HoverAt(p);
  if (!*alive) return;
  if (m_activeItem < 0 || m_activeItem >= ItemCount()) return;
  const TskSkinMenuItem& item = *m_items[static_cast<std::size_t>(m_activeItem)];
  if (!item.m_visible || !item.m_rect.Contains(p) || item.IsSeparator()) return;
  ClickItem(m_activeItem);
}

// ---- item states

void TskSkinPopupWindow::ReleaseDownItems(int except) {
  for (int i = 0; i < ItemCount(); ++i) {
    TskSkinMenuItem& other = *m_items[static_cast<std::size_t>(i)];
    if (i != except && other.m_down) {
      other.m_down = false;
      RedrawItem(i);
    }
  }
}

void TskSkinPopupWindow::EnterItem(int index, bool keyboard) {
  if (index < 0 || index >= ItemCount()) return;
  TskSkinMenuItem& item = *m_items[static_cast<std::size_t>(index)];
  item.m_active = true;
  ReleaseDownItems(index);
  if (item.m_wait && !keyboard) {
    RedrawItem(index);
    return;
  }
  if (item.m_down) {
    const int level = m_menu->IndexOfPopup(this);
    if (level >= 0) m_menu->CloseFromLevel(level + 2);
    return;
  }
  RedrawItem(index);
  m_menu->ItemStep(this, &item, keyboard, false);
}

void TskSkinPopupWindow::LeaveItem(int index) {
  if (index < 0 || index >= ItemCount()) return;
  TskSkinMenuItem& item = *m_items[static_cast<std::size_t>(index)];
  item.m_active = false;
  item.m_wait = false;
  if (!item.m_down) RedrawItem(index);
  if (m_menu->WaitItem() == &item) m_menu->StopWaitTimer();
}

void TskSkinPopupWindow::ClickItem(int index) {
  if (index < 0 || index >= ItemCount()) return;
  TskSkinMenuItem& item = *m_items[static_cast<std::size_t>(index)];
  item.m_wait = false;
  if (!item.m_down && item.Enabled()) m_menu->ItemStep(this, &item, false, true);
}

void TskSkinPopupWindow::RedrawItem(int index) {
  if (index < 0 || index >= ItemCount() || !HandleAllocated()) return;
  const TskSkinMenuItem& item = *m_items[static_cast<std::size_t>(index)];
  if (m_itemRecord && m_itemRecord->Morphing) {
    if (!m_morphTimerOn) {
      RequestTimer(kMorphTimer, skMenuMorphInterval);
      m_morphTimerOn = true;
    }
    return;
  }
  if (!item.m_visible) return;
  InvalidateRect(Handle(), &item.m_rect, false);
  UpdateWindow(Handle());
}

void TskSkinPopupWindow::MorphStep() {
  bool moved = false;
  for (auto& item : m_items) {
    if (!item->m_visible) {
      if (item->m_morphFactor > 0) {
        item->m_active = item->m_down = false;
        item->m_morphFactor = 0;
      }
      continue;
    }
    const double target = (item->m_active || item->m_down) ? 1.0 : 0.0;
    if (item->m_morphFactor == target) continue;
    item->m_morphFactor = target > item->m_morphFactor ? std::min(1.0, item->m_morphFactor + 0.2)
                                                       : std::max(0.0, item->m_morphFactor - 0.2);
    // Steps of 0.2 gather rounding error; snap to the end so the timer stops.
    if (std::abs(item->m_morphFactor - target) < 1e-9) item->m_morphFactor = target;
    moved = true;
    if (HandleAllocated()) InvalidateRect(Handle(), &item->m_rect, false);
  }
  if (!moved) {
    StopTimer(kMorphTimer);
    m_morphTimerOn = false;
  } else if (HandleAllocated()) {
    UpdateWindow(Handle());
  }
}

// ---- painting

void TskSkinPopupWindow::Paint() {
  Bitmap image = RenderImage();
  DC src(image);
  if (HDC dc = Canvas().Handle()) dc->BitBlt(0, 0, image.Width(), image.Height(), src, 0, 0, SRCCOPY);
}

Bitmap TskSkinPopupWindow::RenderImage() {
  Bitmap image(std::max(0, Width()), std::max(0, Height()), ColorToPixel(ColorToRGB(clWindow)));
  if (image.IsEmpty()) return image;
  DrawWindowImage(image);
  for (const auto& item : m_items)
    if (item->m_visible) DrawItem(*item, image);
  if (m_scroll) DrawScrollMarkers(image);
  return image;
}

void TskSkinPopupWindow::DrawWindowImage(Bitmap& image) const {
  const int w = image.Width();
  const int h = image.Height();
  if (m_popupRecord) {
    const TskDataSkinPopupWindow& r = *m_popupRecord;
    const int dw = w - m_windowPicture->Width();
    const int dh = h - m_windowPicture->Height();
    NinePartGeometry g{r.LeftTopPoint, r.RightTopPoint, r.LeftBottomPoint, r.RightBottomPoint, r.ItemsRect};
    NinePartGeometry n{r.LeftTopPoint,
                       {r.RightTopPoint.x + dw, r.RightTopPoint.y},
                       {r.LeftBottomPoint.x, r.LeftBottomPoint.y + dh},
                       {r.RightBottomPoint.x + dw, r.RightBottomPoint.y + dh},
                       m_itemsArea};
    BuildNinePartImageStretched(image, g, n, m_windowPicture->Bounds(), *m_windowPicture, w, h, m_scroll,
                                EdgeStretch{r.TopStretch, r.BottomStretch, r.LeftStretch, r.RightStretch});
    return;
  }
  DC dc(image);
  const int column = m_images ? m_glyphWidth + 2 : 21;
  dc.FillRect({0, 0, column, h}, clBtnFace);
  dc.FillRect({column, 0, w, h}, clWindow);
  dc.FrameRect({0, 0, w, h}, clBtnShadow);
  dc.FrameRect({1, 1, w - 1, h - 1}, clWindow);
}

void TskSkinPopupWindow::DrawScrollMarkers(Bitmap& image) const {
  DC dc(image);
  Color normal = m_popupRecord ? m_popupRecord->ScrollMarkerColor : clBtnShadow;
  Color active = m_popupRecord ? m_popupRecord->ScrollMarkerActiveColor : clBtnText;
  DrawMarkerArrow(dc, TopMarkerRect(), m_scrollCode == 1 ? active : normal, skArrowUp);
  DrawMarkerArrow(dc, BottomMarkerRect(), m_scrollCode == 2 ? active : normal, skArrowDown);
}

void TskSkinPopupWindow::DrawItem(const TskSkinMenuItem& item, Bitmap& image) const {
  const Rect& r = item.m_rect;
  if (r.IsEmpty()) return;
  // Items start from the window image under them, so a record without a picture leaves
  // the window's own look showing.
  Bitmap target = Crop(image, r);
  if (m_itemRecord) DrawSkinItem(item, target);
  else DrawDefaultItem(item, target);
  CopySkinRect(image, r, target, target.Bounds());
}

void TskSkinPopupWindow::DrawItemGlyph(DC& dc, const TskSkinMenuItem& item, int x, int middle, Color color,
                                       bool defaultLook) const {
  const TMenuItem* mi = item.m_item;
  if (!mi) return;
  if (m_images && mi->ImageIndex() >= 0 && mi->ImageIndex() < m_images->Count()) {
    const int iy = middle - m_images->Height() / 2;
    const int ix = defaultLook ? 2 : x;
    DrawListImage(dc, *m_images, mi->ImageIndex(), ix, iy);
    if (mi->Checked()) dc.FrameRect({ix - 1, iy - 1, ix + m_images->Width() + 1, iy + m_images->Height() + 1}, color);
    return;
  }
  dc.SelectPen(Pen{PS_SOLID, 1, color});
  if (DrawNamedGlyph(dc, mi->Name(), defaultLook ? 4 : x, middle - 4, color)) return;
  if (!mi->Checked()) return;
  if (mi->RadioItem()) DrawRadioDot(dc, defaultLook ? 5 : x, middle - 3, color);
  else DrawCheckMark(dc, defaultLook ? 5 : x, middle - 4, color);
}

void TskSkinPopupWindow::DrawDefaultItem(const TskSkinMenuItem& item, Bitmap& target) const {
  DC dc(target);
  const int w = target.Width();
  const int h = target.Height();
  const int glyph = m_images ? m_glyphWidth : 19;
  if (item.IsSeparator()) {
    dc.FillRect({0, 0, glyph, h}, clBtnFace);
    dc.FillRect({glyph, 0, w, h}, clWindow);
    dc.FillRect({glyph, h / 2, w, h / 2 + 1}, clBtnShadow);
    return;
  }
  Color textColor = clWindowText;
  if (item.m_active || item.m_down) {
    dc.FrameRect({0, 0, w, h}, clNavy);
    dc.FillRect({1, 1, w - 1, h - 1}, kDefaultActiveFill);
  } else {
    dc.FillRect({0, 0, glyph, h}, clBtnFace);
    dc.FillRect({glyph, 0, w, h}, clWindow);
    if (!item.Enabled()) textColor = clBtnShadow;
  }
  const Color color = ColorToRGB(textColor);
  const int middle = 2 + (h - 4) / 2;
  dc.SelectFont(m_itemFont);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(color);
  const std::string text = ItemText(item);
  const int textHeight = m_itemFont.Metrics().height;
  {
    DCState saved(dc);
    dc.IntersectClipRect({2, 2, w - 2 - 19, h - 2});
    dc.TextOut(2 + m_glyphWidth, middle - textHeight / 2, text);
  }
  const std::string shortcut = ShortCutText(item);
  if (!shortcut.empty()) dc.TextOut(w - 2 - 19 - m_itemFont.TextWidth(shortcut), middle - textHeight / 2, shortcut);
  dc.SelectPen(Pen{PS_SOLID, 1, color});
  if (item.HasSubItems()) DrawSubMenuArrow(dc, w - 2 - 7, middle - 4);
  DrawItemGlyph(dc, item, 4, middle, color, true);
}

void TskSkinPopupWindow::DrawSkinItem(const TskSkinMenuItem& item, Bitmap& target) const {
  const TskDataSkinMenuItem& r = *m_itemRecord;
  const int w = target.Width();
  const Bitmap* pic = item.m_picture;
  if (item.IsSeparator()) {
    if (pic && !r.DividerRect.IsEmpty()) {
      Bitmap strip;
      BuildHStripImage(strip, r.DividerLeftOffset, r.DividerRightOffset, r.DividerRect, *pic, w);
      CopySkinRect(target, strip.Bounds(), strip, strip.Bounds());
    }
    return;
  }
  const bool lit = item.m_active || item.m_down;
  if (pic) {
    auto strip = [&](const Rect& rect) {
      Bitmap b;
      BuildHStripImage(b, r.ItemLeftOffset, r.ItemRightOffset, rect, *pic, w);
      return b;
    };
    Bitmap back;
    const double k = item.m_morphFactor;
    if (r.Morphing && k > 0 && k < 1 && !r.SkinRect.IsEmpty() && !r.ActiveSkinRect.IsEmpty()) {
      TskEffectBmp a(strip(r.SkinRect));
      TskEffectBmp b(strip(r.ActiveSkinRect));
      a.MorphWith(static_cast<int>(r.MorphKind), b, k);
      back = a.ToBitmap();
    } else {
      const bool showActive = r.Morphing ? k >= 1 : lit;
      const Rect& rect = showActive ? r.ActiveSkinRect : r.SkinRect;
      if (!rect.IsEmpty()) back = strip(rect);
    }
    if (!back.IsEmpty()) CopySkinRect(target, back.Bounds(), back, back.Bounds());
  }
  Rect tr = r.TextRect;
  tr.right += w - r.SkinRect.Width();
  const Color color = lit ? r.ActiveFontColor : (item.Enabled() ? r.FontColor : r.UnEnabledFontColor);
  DC dc(target);
  dc.SelectFont(m_itemFont);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(color);
  const int glyph = m_images ? m_glyphWidth : kSkinGlyphWidth;
  const int middle = tr.top + tr.Height() / 2;
  const int textHeight = m_itemFont.Metrics().height;
  {
    DCState saved(dc);
    dc.IntersectClipRect({tr.left, tr.top, tr.right - 16, tr.bottom});
    dc.TextOut(tr.left + glyph, middle - textHeight / 2, ItemText(item));
  }
  const std::string shortcut = ShortCutText(item);
  if (!shortcut.empty()) dc.TextOut(tr.right - 16 - m_itemFont.TextWidth(shortcut), middle - textHeight / 2, shortcut);
  dc.SelectPen(Pen{PS_SOLID, 1, color});
  if (item.HasSubItems()) DrawSubMenuArrow(dc, tr.right - 7, middle - 4);
  DrawItemGlyph(dc, item, tr.left + 2, middle, color, false);
}
