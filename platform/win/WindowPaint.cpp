// WindowSystem: invalidation and the update region, WM_PAINT and WM_NCPAINT, device
// contexts over the top-level backing bitmaps, presenting, the caret's pixels, window
// regions, layered opacity and the window under a point.
#include <algorithm>

#include "platform/win/WinConst.h"
#include "platform/win/WindowSystem.h"

// ---------------------------------------------------------------------------------------
// Visibility and clipping

Region WindowSystem::BackingClip(const Window* w, bool client, bool clipChildren) const {
  for (const Window* c = w; c; c = c->IsChild() ? c->m_parent : nullptr)
    if (!c->VisibleFlag() || (c->m_style & WS_MINIMIZE)) return {};
  Point off = BackingOffset(w);
  Rect whole(0, 0, w->m_rect.Width(), w->m_rect.Height());
  Region r(client ? w->m_client.Translated(off) : whole.Translated(off));
  if (w->m_region) r.Intersect(w->m_region->Translated(off.x, off.y));
  const Window* child = w;
  for (const Window* p = w->IsChild() ? w->m_parent : nullptr; p;
       child = p, p = p->IsChild() ? p->m_parent : nullptr) {
    Point poff = BackingOffset(p);
    r.Intersect(Region(p->m_client.Translated(poff)));
    if (p->m_region) r.Intersect(p->m_region->Translated(poff.x, poff.y));
    if (child->m_style & WS_CLIPSIBLINGS) {
      for (HWND s : p->m_children) {
        if (s == child) break;  // the rest lie below
        if (!s->VisibleFlag()) continue;
        Point soff = BackingOffset(s);
        Region sr(Rect(0, 0, s->m_rect.Width(), s->m_rect.Height()).Translated(soff));
        if (s->m_region) sr.Intersect(s->m_region->Translated(soff.x, soff.y));
        r.Subtract(sr);
      }
    }
    if (r.IsEmpty()) return r;
  }
  if (clipChildren) {
    for (HWND c : w->m_children) {
      if (!c->VisibleFlag()) continue;
      Point coff = BackingOffset(c);
      Region cr(Rect(0, 0, c->m_rect.Width(), c->m_rect.Height()).Translated(coff));
      if (c->m_region) cr.Intersect(c->m_region->Translated(coff.x, coff.y));
      r.Subtract(cr);
    }
  }
  const Window* top = TopLevelOf(const_cast<Window*>(w));
  r.Intersect(Region(Rect(0, 0, top->m_rect.Width(), top->m_rect.Height())));
  return r;
}

Region WindowSystem::VisibleRegion(HWND hwnd, bool client, bool clipChildren) const {
  Window* w = Get(hwnd);
  if (!w) return {};
  Region r = BackingClip(w, client, clipChildren);
  Window* top = TopLevelOf(w);
  r.Translate(top->m_rect.left, top->m_rect.top);
  return r;
}

HWND WindowSystem::WindowFromPointSkipping(Point p, const std::vector<HWND>& skip) const {
  auto skipped = [&](HWND h) { return std::find(skip.begin(), skip.end(), h) != skip.end(); };
  for (HWND top : m_topLevels) {
    if (!top->VisibleFlag() || (top->m_style & WS_MINIMIZE) || skipped(top)) continue;
    if (!top->m_rect.Contains(p)) continue;
    Point local = p - top->m_rect.TopLeft();
    if (top->m_region && !top->m_region->Contains(local)) continue;
    Window* w = top;
    for (bool descended = true; descended;) {
      descended = false;
      Point origin = WindowOrigin(w);
      if (!w->m_client.Translated(origin).Contains(p)) break;
      for (HWND c : w->m_children) {
        if (!c->VisibleFlag() || skipped(c)) continue;
        Rect cr = Rect::FromSize(WindowOrigin(c), c->m_rect.GetSize());
        if (!cr.Contains(p)) continue;
        if (c->m_region && !c->m_region->Contains(p - cr.TopLeft())) continue;
        if (c->m_style & WS_DISABLED) break;  // input over a disabled child is the parent's
        w = c;
        descended = true;
        break;
      }
    }
    return w;
  }
  return nullptr;
}

HWND WindowSystem::WindowFromPoint(Point p) const { return WindowFromPointSkipping(p, {}); }

HWND WindowSystem::ChildWindowFromPoint(HWND parent, Point client) const {
  Window* w = Get(parent);
  if (!w) return nullptr;
  if (!Rect(0, 0, w->m_client.Width(), w->m_client.Height()).Contains(client)) return nullptr;
  for (HWND c : w->m_children) {
    if (!c->VisibleFlag()) continue;
    if (!c->m_rect.Contains(client)) continue;
    if (c->m_region && !c->m_region->Contains(client - c->m_rect.TopLeft())) continue;
    return c;
  }
  return w;
}

// ---------------------------------------------------------------------------------------
// Invalidation

void WindowSystem::InvalidateInternal(Window* w, const Region& rgn, bool erase, bool frame,
                                      bool children, bool validate) {
  if (!Get(w)) return;
  Rect whole(0, 0, w->m_rect.Width(), w->m_rect.Height());
  Region area = rgn.Intersected(Region(frame ? whole : w->m_client));
  if (validate) {
    w->m_update.Subtract(area);
    if (w->m_update.Intersected(Region(w->m_client)).IsEmpty()) w->m_erasePending = false;
    if (frame) w->m_ncPaintPending = false;
  } else {
    if (area.IsEmpty()) return;
    if (!IsWindowVisible(w)) return;  // hidden windows collect no update
    w->m_update.Unite(area);
    if (erase) w->m_erasePending = true;
    if (frame && !area.Subtracted(Region(w->m_client)).IsEmpty()) w->m_ncPaintPending = true;
    m_anyPaint = true;
  }
  if (!children) return;
  for (HWND c : w->m_children) {
    if (!c->VisibleFlag()) continue;
    Point cOrigin = w->m_client.TopLeft() + c->m_rect.TopLeft();
    Region part = area.Intersected(Region(Rect::FromSize(cOrigin, c->m_rect.GetSize())));
    if (part.IsEmpty()) continue;
    InvalidateInternal(c, part.Translated(-cOrigin.x, -cOrigin.y), erase, true, true, validate);
  }
}

bool WindowSystem::InvalidateRect(HWND hwnd, const Rect* rect, bool erase) {
  if (!hwnd) {
    for (HWND top : m_topLevels)
      RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
    return true;
  }
  Window* w = Get(hwnd);
  if (!w) return false;
  Region area = rect ? Region(rect->Translated(w->m_client.TopLeft())) : Region(w->m_client);
  InvalidateInternal(w, area, erase, false, !(w->m_style & WS_CLIPCHILDREN), false);
  return true;
}

bool WindowSystem::InvalidateRgn(HWND hwnd, const Region* rgn, bool erase) {
  Window* w = Get(hwnd);
  if (!w) return false;
  Region area = rgn ? rgn->Translated(w->m_client.left, w->m_client.top) : Region(w->m_client);
  InvalidateInternal(w, area, erase, false, !(w->m_style & WS_CLIPCHILDREN), false);
  return true;
}

bool WindowSystem::ValidateRect(HWND hwnd, const Rect* rect) {
  Window* w = Get(hwnd);
  if (!w) return false;
  Region area = rect ? Region(rect->Translated(w->m_client.TopLeft())) : Region(w->m_client);
  InvalidateInternal(w, area, false, false, false, true);
  if (!rect) w->m_internalPaint = false;
  return true;
}

bool WindowSystem::ValidateRgn(HWND hwnd, const Region* rgn) {
  Window* w = Get(hwnd);
  if (!w) return false;
  Region area = rgn ? rgn->Translated(w->m_client.left, w->m_client.top) : Region(w->m_client);
  InvalidateInternal(w, area, false, false, false, true);
  return true;
}

bool WindowSystem::GetUpdateRect(HWND hwnd, Rect* rect, bool erase) {
  Window* w = Get(hwnd);
  if (!w) return false;
  Region client = w->m_update.Intersected(Region(w->m_client));
  client.Translate(-w->m_client.left, -w->m_client.top);
  if (rect) *rect = client.Bounds();
  if (erase && w->m_erasePending && !client.IsEmpty()) {
    HDC dc = GetDCEx(w, nullptr, 0);
    if (dc) {
      w->m_erasePending = false;
      SendMessage(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      ReleaseDC(w, dc);
    }
  }
  return !client.IsEmpty();
}

int WindowSystem::GetUpdateRgn(HWND hwnd, HRGN rgn, bool erase) {
  Window* w = Get(hwnd);
  if (!w || !rgn) return ERROR;
  Region client = w->m_update.Intersected(Region(w->m_client));
  client.Translate(-w->m_client.left, -w->m_client.top);
  *rgn = client;
  GetUpdateRect(hwnd, nullptr, erase);
  return RegionKind(client);
}

bool WindowSystem::NeedsPaint(const Window* w) const {
  if (w->m_ncPaintPending || w->m_internalPaint) return true;
  return w->m_update.Intersects(w->m_client);
}

Window* WindowSystem::FindPaintWindow(HWND filter) {
  if (!m_anyPaint) return nullptr;
  // Parents paint before their children, windows on top before those below.
  std::vector<Window*> stack;
  for (auto it = m_topLevels.rbegin(); it != m_topLevels.rend(); ++it) stack.push_back(*it);
  bool any = false;
  while (!stack.empty()) {
    Window* w = stack.back();
    stack.pop_back();
    if (!w->VisibleFlag() || (w->m_style & WS_MINIMIZE)) continue;
    if (NeedsPaint(w)) {
      any = true;
      if (!filter || w == filter || IsChildOf(filter, w)) {
        if (w->m_ncPaintPending) {
          SendNcPaint(w);
          if (!Get(w)) return FindPaintWindow(filter);
        }
        if (w->m_update.Intersects(w->m_client) || w->m_internalPaint) return w;
      }
    }
    for (auto it = w->m_children.rbegin(); it != w->m_children.rend(); ++it) stack.push_back(*it);
  }
  if (!any) m_anyPaint = false;
  return nullptr;
}

void WindowSystem::SendNcPaint(Window* w) {
  w->m_ncPaintPending = false;
  Region nc = w->m_update.Subtracted(Region(w->m_client));
  w->m_update.Intersect(Region(w->m_client));
  if (nc.IsEmpty() && w->m_client == Rect(0, 0, w->m_rect.Width(), w->m_rect.Height())) return;
  SendMessage(w, WM_NCPAINT, 1, 0);
}

void WindowSystem::PaintWindowNow(Window* w, bool children) {
  if (!Get(w) || !IsWindowVisible(w)) return;
  if (w->m_ncPaintPending) SendNcPaint(w);
  if (!Get(w)) return;
  if (w->m_update.Intersects(w->m_client) || w->m_internalPaint) {
    SendMessage(w, WM_PAINT, 0, 0);
    if (!Get(w)) return;
    w->m_internalPaint = false;
  }
  if (!children) return;
  std::vector<HWND> kids = w->m_children;
  for (auto it = kids.rbegin(); it != kids.rend(); ++it)
    if (Get(*it)) PaintWindowNow(*it, true);
}

bool WindowSystem::UpdateWindow(HWND hwnd) {
  Window* w = Get(hwnd);
  if (!w) return false;
  PaintWindowNow(w, true);
  return true;
}

bool WindowSystem::RedrawWindow(HWND hwnd, const Rect* rect, const Region* rgn, UINT flags) {
  if (!hwnd) {
    std::vector<HWND> tops = m_topLevels;
    for (HWND top : tops) RedrawWindow(top, rect, rgn, flags | RDW_ALLCHILDREN);
    return true;
  }
  Window* w = Get(hwnd);
  if (!w) return false;
  Region area;
  if (rgn) area = rgn->Translated(w->m_client.left, w->m_client.top);
  else if (rect) area = Region(rect->Translated(w->m_client.TopLeft()));
  else if (flags & RDW_FRAME) area = Region(Rect(0, 0, w->m_rect.Width(), w->m_rect.Height()));
  else area = Region(w->m_client);
  bool children = (flags & RDW_ALLCHILDREN) ||
                  (!(flags & RDW_NOCHILDREN) && !(w->m_style & WS_CLIPCHILDREN));
  if (flags & RDW_INVALIDATE) {
    InvalidateInternal(w, area, (flags & RDW_ERASE) != 0, (flags & RDW_FRAME) != 0, children, false);
    if (flags & RDW_INTERNALPAINT) {
      w->m_internalPaint = true;
      m_anyPaint = true;
    }
  } else if (flags & RDW_VALIDATE) {
    InvalidateInternal(w, area, false, (flags & RDW_NOFRAME) != 0, children, true);
    if (flags & RDW_NOINTERNALPAINT) w->m_internalPaint = false;
    if (flags & RDW_NOERASE) w->m_erasePending = false;
  } else if (flags & RDW_INTERNALPAINT) {
    w->m_internalPaint = true;
    m_anyPaint = true;
  }
  if (flags & RDW_UPDATENOW) {
    PaintWindowNow(w, children);
  } else if (flags & RDW_ERASENOW) {
    if (w->m_ncPaintPending) SendNcPaint(w);
    if (Get(w) && w->m_erasePending) GetUpdateRect(w, nullptr, true);
  }
  return true;
}

// ---------------------------------------------------------------------------------------
// Device contexts

std::unique_ptr<DC> WindowSystem::MakeDC(Window* w, bool whole, bool clipChildren,
                                         const Region* extra) {
  Window* top = TopLevelOf(w);
  if (top->m_backing.Width() != std::max(1, top->m_rect.Width()) ||
      top->m_backing.Height() != std::max(1, top->m_rect.Height()))
    top->m_backing.SetSize(std::max(1, top->m_rect.Width()), std::max(1, top->m_rect.Height()),
                           MakePixel(0, 0, 0));
  Point off = BackingOffset(w);
  Region clip = BackingClip(w, !whole, clipChildren);
  if (extra) clip.Intersect(extra->Translated(off.x, off.y));
  Point origin = whole ? off : off + w->m_client.TopLeft();
  return std::make_unique<DC>(top->m_backing, origin, clip);
}

HDC WindowSystem::GetDCEx(HWND hwnd, const Region* clip, DWORD flags) {
  if (!hwnd) return nullptr;
  Window* w = Get(hwnd);
  if (!w) return nullptr;
  bool whole = (flags & DCX_WINDOW) != 0;
  bool clipChildren = (flags & DCX_CLIPCHILDREN) || (w->m_style & WS_CLIPCHILDREN);
  // `clip` is in the coordinates of the context (window or client).
  Region extra;
  const Region* extraPtr = nullptr;
  if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
    Point shift = whole ? Point{} : w->m_client.TopLeft();
    Region c = clip->Translated(shift.x, shift.y);
    if (flags & DCX_EXCLUDERGN)
      extra = Region(Rect(0, 0, w->m_rect.Width(), w->m_rect.Height())).Subtracted(c);
    else
      extra = c;
    extraPtr = &extra;
  }
  HideCaretPixels();
  ++m_caretPixelHide;
  auto dc = MakeDC(w, whole, clipChildren, extraPtr);
  DC* raw = dc.get();
  m_dcs.emplace(raw, OpenDC{std::move(dc), w, false});
  return raw;
}

HDC WindowSystem::GetDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, 0); }
HDC WindowSystem::GetWindowDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_WINDOW); }

int WindowSystem::ReleaseDC(HWND hwnd, HDC dc) {
  (void)hwnd;
  auto it = m_dcs.find(dc);
  if (it == m_dcs.end()) return 0;
  Window* w = Get(it->second.hwnd);
  if (w) {
    Window* top = TopLevelOf(w);
    Region drawn = it->second.dc->ClipRegion().Translated(it->second.dc->Origin().x,
                                                          it->second.dc->Origin().y);
    MarkDirty(top, drawn);
  }
  m_dcs.erase(it);
  if (m_caretPixelHide > 0 && --m_caretPixelHide == 0) ShowCaretPixels();
  return 1;
}

void WindowSystem::MarkDirty(Window* top, const Region& backingRgn) {
  top->m_dirty.Unite(backingRgn);
}

HDC WindowSystem::BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  Window* w = Get(hwnd);
  if (!w || !ps) return nullptr;
  if (w->m_ncPaintPending) {
    SendNcPaint(w);
    if (!Get(w)) return nullptr;
  }
  Region update = w->m_update.Intersected(Region(w->m_client));
  w->m_update.Subtract(Region(w->m_client));
  w->m_internalPaint = false;
  bool erase = w->m_erasePending;
  w->m_erasePending = false;
  bool clipChildren = (w->m_style & WS_CLIPCHILDREN) != 0;
  HideCaretPixels();
  ++m_caretPixelHide;
  auto dc = MakeDC(w, false, clipChildren, &update);
  DC* raw = dc.get();
  m_dcs.emplace(raw, OpenDC{std::move(dc), w, true});
  *ps = PAINTSTRUCT{};
  ps->hdc = raw;
  ps->rcPaint = update.Bounds().Translated(-w->m_client.left, -w->m_client.top);
  if (update.IsEmpty()) ps->rcPaint = Rect{};
  if (erase) ps->fErase = SendMessage(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(raw), 0) ? FALSE : TRUE;
  return raw;
}

bool WindowSystem::EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (!ps) return false;
  return ReleaseDC(hwnd, ps->hdc) != 0;
}

void WindowSystem::PresentAll() {
  for (HWND top : m_topLevels) {
    if (!top->m_hostId || top->m_dirty.IsEmpty()) continue;
    if (!top->VisibleFlag() || (top->m_style & WS_MINIMIZE)) continue;
    Region dirty = top->m_dirty.Intersected(Region(top->m_backing.Bounds()));
    top->m_dirty.Clear();
    if (!dirty.IsEmpty()) m_host->Present(top->m_hostId, top->m_backing, dirty);
  }
}

void WindowSystem::EnsureHostWindow(Window* w) {
  if (w->m_hostId || w->IsChild()) return;
  HostWindowDesc desc;
  desc.rect = w->m_rect;
  desc.topmost = (w->m_exStyle & WS_EX_TOPMOST) != 0;
  desc.toolWindow = (w->m_exStyle & WS_EX_TOOLWINDOW) != 0;
  desc.noActivate = (w->m_exStyle & WS_EX_NOACTIVATE) != 0;
  desc.popup = (w->m_style & WS_POPUP) &&
               (w->m_exStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST));
  desc.title = w->m_text;
  w->m_hostId = m_host->CreateHostWindow(desc);
  w->m_dirty = Region(w->m_backing.Bounds());
  UpdateHostShape(w);
  if (w->m_layeredSet) m_host->SetHostWindowOpacity(w->m_hostId, w->m_alpha);
}

void WindowSystem::UpdateHostShape(Window* w) {
  if (!w->m_hostId) return;
  m_host->SetHostWindowShape(w->m_hostId, w->m_region.get());
}

// ---------------------------------------------------------------------------------------
// Regions and opacity

int WindowSystem::SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw) {
  Window* w = Get(hwnd);
  if (!w) return 0;
  bool visible = IsWindowVisible(w);
  Region oldScreen = visible ? VisibleRegion(w, false, false) : Region();
  w->m_region.reset(rgn);  // the window owns it from now on and deletes the previous one
  if (!w->IsChild()) UpdateHostShape(w);
  if (redraw && visible) {
    InvalidateInternal(w, Region(Rect(0, 0, w->m_rect.Width(), w->m_rect.Height())), true, true,
                       true, false);
    if (w->IsChild()) ExposeAfterChange(w, oldScreen.Subtracted(VisibleRegion(w, false, false)));
  }
  if (!w->IsChild()) w->m_dirty = Region(w->m_backing.Bounds());
  return 1;
}

int WindowSystem::GetWindowRgn(HWND hwnd, HRGN out) const {
  Window* w = Get(hwnd);
  if (!w || !out || !w->m_region) return ERROR;
  *out = *w->m_region;
  return RegionKind(*out);
}

bool WindowSystem::SetLayeredWindowAttributes(HWND hwnd, Color key, BYTE alpha, DWORD flags) {
  Window* w = Get(hwnd);
  if (!w || w->IsChild() || !(w->m_exStyle & WS_EX_LAYERED)) return false;
  if (flags & LWA_ALPHA) w->m_alpha = alpha;
  if (flags & LWA_COLORKEY) w->m_colorKey = key;
  w->m_layeredSet = true;
  if (w->m_hostId) m_host->SetHostWindowOpacity(w->m_hostId, w->m_alpha);
  return true;
}

// ---------------------------------------------------------------------------------------
// Caret

void WindowSystem::ToggleCaretPixels() {
  Window* w = Get(m_caret.owner);
  if (!w) return;
  auto dc = MakeDC(w, false, (w->m_style & WS_CLIPCHILDREN) != 0, nullptr);
  Rect r = Rect::FromSize(m_caret.pos, {std::max(1, m_caret.width), std::max(1, m_caret.height)});
  dc->InvertRect(r);
  Window* top = TopLevelOf(w);
  MarkDirty(top, Region(r.Translated(dc->Origin())).Intersected(dc->ClipRegion().Translated(
                     dc->Origin().x, dc->Origin().y)));
  m_caret.on = !m_caret.on;
}

void WindowSystem::HideCaretPixels() {
  if (m_caret.on) ToggleCaretPixels();
}

void WindowSystem::ShowCaretPixels() {
  if (m_caret.owner && m_caret.hideCount == 0 && !m_caret.on && m_caretPixelHide == 0) {
    ToggleCaretPixels();
    m_caretNextBlink = m_host->Now() + CaretBlinkTime();
  }
}

bool WindowSystem::CreateCaret(HWND hwnd, int width, int height) {
  Window* w = Get(hwnd);
  if (!w) return false;
  DestroyCaret();
  m_caret.owner = w;
  m_caret.width = width > 0 ? width : 1;
  m_caret.height = height > 0 ? height : 16;
  m_caret.pos = {};
  m_caret.hideCount = 1;
  m_caret.on = false;
  return true;
}

bool WindowSystem::DestroyCaret() {
  if (!m_caret.owner) return false;
  HideCaretPixels();
  m_caret = Caret{};
  return true;
}

bool WindowSystem::ShowCaret(HWND hwnd) {
  if (!m_caret.owner || (hwnd && hwnd != m_caret.owner)) return false;
  if (m_caret.hideCount > 0) --m_caret.hideCount;
  if (m_caret.hideCount == 0) ShowCaretPixels();
  return true;
}

bool WindowSystem::HideCaret(HWND hwnd) {
  if (!m_caret.owner || (hwnd && hwnd != m_caret.owner)) return false;
  ++m_caret.hideCount;
  HideCaretPixels();
  return true;
}

bool WindowSystem::SetCaretPos(Point client) {
  if (!m_caret.owner) return false;
  if (m_caret.pos == client) return true;
  bool wasOn = m_caret.on;
  HideCaretPixels();
  m_caret.pos = client;
  if (wasOn || m_caret.hideCount == 0) ShowCaretPixels();
  if (Window* w = Get(m_caret.owner); w && w == m_focus) {
    Point s = ClientToScreen(w, client);
    m_host->SetTextInputRect(Rect::FromSize(s, {m_caret.width, m_caret.height}));
  }
  return true;
}
