// PageView: the page view window — navigation, history, loading, scrolling and mouse.
#include "platform/web/PageView.h"

#include <algorithm>

#include "platform/std/ScrollBars.h"
#include "platform/std/StdConst.h"
#include "platform/sys/Shell.h"
#include "platform/web/Charset.h"
#include "platform/web/HtmlText.h"
#include "platform/web/Url.h"
#include "platform/win/WinApi.h"

namespace {

constexpr UINT kMsgLoad = WM_APP + 0x3A1;  // wParam: the navigation it belongs to
constexpr UINT_PTR kPollTimer = 0x5745;
constexpr UINT kPollMs = 15;
constexpr int kLineStep = 40;
constexpr int kWheelStep = 48;  // three lines of text a notch

std::map<HWND, std::unique_ptr<PageView>>& Instances() {
  static std::map<HWND, std::unique_ptr<PageView>> instances;
  return instances;
}

bool IsNewWindowTarget(std::string_view target) {
  std::string t(target);
  for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return t == "_blank" || t == "_new";
}

}  // namespace

std::string ErrorPageHtml(const std::string& url, const std::string& reason) {
  return "<html><head><title>The page cannot be shown</title></head>"
         "<body style=\"background-color: #FFFFFF; color: #000000; margin: 16px\">"
         "<h3 style=\"color: #A00000\">The page cannot be shown</h3>"
         "<p>" + HtmlEscaped(url) + "</p><p>" + HtmlEscaped(reason) + "</p>"
         "<p>Check the address, then try again.</p></body></html>";
}

void RegisterPageViewClass() {
  if (WindowSystem::Current().FindClass(kPageViewClassName)) return;
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &PageView::Proc;
  wc.hCursor = LoadStandardCursor(IDC_ARROW);
  wc.hbrBackground = clNone;
  wc.lpszClassName = kPageViewClassName;
  RegisterClass(&wc);
}

PageView* PageView::Of(HWND hwnd) {
  const auto it = Instances().find(hwnd);
  return it == Instances().end() ? nullptr : it->second.get();
}

LRESULT PageView::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  PageView* self = Of(hwnd);
  if (msg == WM_NCCREATE) {
    if (!self) {
      // The bar is the view's own: it appears when the page is taller than the view.
      SetWindowLong(hwnd, GWL_STYLE, GetWindowLong(hwnd, GWL_STYLE) | static_cast<LONG_PTR>(WS_VSCROLL));
      Instances()[hwnd] = std::make_unique<PageView>(hwnd);
    }
    return DefWindowProc(hwnd, msg, wp, lp);
  }
  if (!self) return DefWindowProc(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    auto node = Instances().extract(hwnd);
    node.mapped().reset();
    return DefWindowProc(hwnd, msg, wp, lp);
  }
  return self->Handle(msg, wp, lp);
}

PageView::PageView(HWND hwnd)
    : m_hwnd(hwnd),
      m_bars(std::make_unique<NcScrollBars>(hwnd, true)),
      m_doc(std::make_unique<PageDocument>()),
      m_fetcher(std::make_unique<Fetcher>()) {
  OpenExternal = [](const std::string& url) { ShellOpen(url); };
}

PageView::~PageView() {
  // Workers finish (cancelled) before the document they would report to goes.
  m_fetcher.reset();
}

// ---------------------------------------------------------------------------------------
// Navigation

void PageView::Navigate(std::string_view url) {
  const std::string target = NormalizeUrl(url);
  if (target.empty()) return;
  const bool sameDocument = !m_loading && m_doc->Loaded() && !m_location.empty() && !UrlFragment(target).empty() &&
                            StripFragment(target) == StripFragment(m_location);
  if (m_index < 0 || m_history[static_cast<std::size_t>(m_index)] != target) {
    m_history.resize(static_cast<std::size_t>(m_index + 1));
    m_history.push_back(target);
    m_index = static_cast<int>(m_history.size()) - 1;
  }
  if (sameDocument) {
    // A jump inside the page shown: no download.
    m_location = target;
    if (const auto top = m_doc->AnchorTop(UrlFragment(target))) SetScrollTop(*top);
    if (OnNavigateComplete) OnNavigateComplete(m_location);
    return;
  }
  Begin(target);
}

bool PageView::GoBack() {
  if (!CanGoBack()) return false;
  --m_index;
  Begin(m_history[static_cast<std::size_t>(m_index)]);
  return true;
}

bool PageView::GoForward() {
  if (!CanGoForward()) return false;
  ++m_index;
  Begin(m_history[static_cast<std::size_t>(m_index)]);
  return true;
}

void PageView::Refresh() {
  if (m_index >= 0) Begin(m_history[static_cast<std::size_t>(m_index)]);
}

void PageView::Stop() {
  if (!m_loading) return;
  ++m_navId;
  if (m_pageFetch) m_fetcher->Cancel(m_pageFetch);
  m_pageFetch = 0;
  m_loading = false;
}

void PageView::Begin(const std::string& url) {
  Stop();
  for (const auto& [id, imageUrl] : m_imageFetches) m_fetcher->Cancel(id);
  m_imageFetches.clear();
  const std::uint64_t nav = ++m_navId;
  m_loading = true;
  m_pendingUrl = url;
  const std::weak_ptr<bool> token = m_alive;
  if (OnDownloadBegin) OnDownloadBegin();
  if (!Alive(token) || nav != m_navId) return;  // the handler went elsewhere
  const std::string scheme = UrlScheme(url);
  if (scheme == "http" || scheme == "https") {
    m_pageFetch = m_fetcher->Start(StripFragment(url));
    SetTimer(m_hwnd, kPollTimer, kPollMs, nullptr);
  } else {
    PostMessage(m_hwnd, kMsgLoad, static_cast<WPARAM>(nav), 0);
  }
}

void PageView::Finish(const std::string& url, const FetchResult& result) {
  m_loading = false;
  m_pageFetch = 0;
  std::string html;
  std::string base;
  if (result.ok) {
    html = PageTextToUtf8(result.data, result.contentType);
    base = result.finalUrl.empty() ? url : NormalizeUrl(result.finalUrl);
    if (!UrlFragment(url).empty() && UrlFragment(base).empty()) base += "#" + UrlFragment(url);
    m_errorPage = false;
  } else {
    html = ErrorPageHtml(url, result.error);
    base = url;
    m_errorPage = true;
  }
  m_doc->Load(html, StripFragment(base));
  m_location = result.ok ? base : url;
  m_scrollTop = 0;
  m_layoutWidth = -1;
  Layout();
  if (const std::string fragment = UrlFragment(m_location); !fragment.empty()) {
    if (const auto top = m_doc->AnchorTop(fragment)) SetScrollTop(*top);
  }
  StartImageFetches();
  InvalidateRect(m_hwnd, nullptr, false);
  const std::string title = m_doc->Title().empty() ? m_location : m_doc->Title();
  const bool titleChanged = title != m_title;
  m_title = title;
  const std::uint64_t nav = m_navId;
  const std::weak_ptr<bool> token = m_alive;
  if (OnNavigateComplete) OnNavigateComplete(m_location);
  if (!Alive(token) || nav != m_navId) return;
  if (titleChanged && OnTitleChange) OnTitleChange(m_title);
}

void PageView::StartImageFetches() {
  for (const std::string& url : m_doc->TakeImageRequests()) m_imageFetches[m_fetcher->Start(url)] = url;
  if (!m_imageFetches.empty()) SetTimer(m_hwnd, kPollTimer, kPollMs, nullptr);
}

void PageView::Poll() {
  bool relayout = false;
  bool redraw = false;
  for (auto& done : m_fetcher->TakeFinished()) {
    if (done.id == m_pageFetch && m_loading) {
      Finish(m_pendingUrl, done.result);
      if (!IsWindow(m_hwnd)) return;
      continue;
    }
    const auto it = m_imageFetches.find(done.id);
    if (it == m_imageFetches.end()) continue;
    const std::string url = it->second;
    m_imageFetches.erase(it);
    relayout = m_doc->SetImageData(url, done.result.ok ? &done.result.data : nullptr) || relayout;
    redraw = true;
  }
  if (relayout) {
    m_layoutWidth = -1;
    Layout();
  }
  if (redraw) InvalidateRect(m_hwnd, nullptr, false);
  if (!m_fetcher->Pending()) KillTimer(m_hwnd, kPollTimer);
}

// ---------------------------------------------------------------------------------------
// Layout, scrolling, painting

void PageView::Layout() {
  if (m_inLayout) return;
  m_inLayout = true;
  Rect client;
  GetClientRect(m_hwnd, &client);
  // Decided from the width without the bar, so showing the bar (which narrows the client
  // area and lays out again) comes to the same decision.
  const int fullWidth = client.Width() + (m_bars->Shown(SB_VERT) ? NcScrollBars::Thickness : 0);
  const int height = client.Height();
  int width = fullWidth;
  int content = m_doc->Layout(std::max(1, width), {width, height});
  if (content > height && fullWidth > NcScrollBars::Thickness) {
    width = fullWidth - NcScrollBars::Thickness;
    content = m_doc->Layout(width, {width, height});
  }
  m_layoutWidth = width;
  m_contentHeight = content;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = content > height ? content - 1 : 0;
  si.nPage = static_cast<UINT>(std::max(0, height));
  m_scrollTop = std::clamp(m_scrollTop, 0, std::max(0, content - height));
  si.nPos = m_scrollTop;
  m_bars->SetInfo(SB_VERT, si, true);
  m_inLayout = false;
}

void PageView::SetScrollTop(int top) {
  Rect client;
  GetClientRect(m_hwnd, &client);
  const int next = std::clamp(top, 0, std::max(0, m_contentHeight - client.Height()));
  if (next == m_scrollTop) return;
  m_scrollTop = next;
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = m_scrollTop;
  m_bars->SetInfo(SB_VERT, si, true);
  InvalidateRect(m_hwnd, nullptr, false);
}

void PageView::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(m_hwnd, &ps);
  if (!dc) return;
  dc->FillRect(ps.rcPaint, clWhite);
  m_doc->Draw(*dc, {0, -m_scrollTop}, ps.rcPaint);
  EndPaint(m_hwnd, &ps);
}

void PageView::SetViewCursor(HCURSOR cursor) {
  m_viewCursor = cursor;
  Point p;
  GetCursorPos(&p);
  if (WindowFromPoint(p) == m_hwnd) SetCursor(cursor ? cursor : LoadStandardCursor(IDC_ARROW));
}

void PageView::HandleClick() {
  const auto click = m_doc->TakeClick();
  if (!click) return;
  const std::string scheme = UrlScheme(click->url);
  if (scheme == "javascript" || click->url.empty()) return;
  if (scheme == "mailto") {
    if (OpenExternal) OpenExternal(click->url);
    return;
  }
  if (IsNewWindowTarget(click->target)) {
    bool cancel = false;
    const std::weak_ptr<bool> token = m_alive;
    if (OnNewWindow) OnNewWindow(click->url, cancel);
    if (!Alive(token)) return;
    if (!cancel && OpenExternal) OpenExternal(click->url);
    return;
  }
  Navigate(click->url);
}

// ---------------------------------------------------------------------------------------
// Messages

LRESULT PageView::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (m_bars->HandleMessage(msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_CREATE:
      Layout();
      return 0;
    case WM_SIZE: {
      Rect client;
      GetClientRect(m_hwnd, &client);
      if (client.Width() != m_layoutWidth || !m_inLayout) Layout();
      InvalidateRect(m_hwnd, nullptr, false);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(); return 0;
    case kMsgLoad: {
      if (wp != m_navId || !m_loading) return 0;  // superseded
      const std::string url = m_pendingUrl;
      const std::string scheme = UrlScheme(url);
      FetchResult r;
      if (scheme == "file") {
        r = FetchFile(url);
      } else if (url == "about:blank") {
        r.ok = true;
        r.finalUrl = url;
      } else {
        r.url = url;
        r.error = "The page view cannot open addresses of this kind.";
      }
      Finish(url, r);
      return 0;
    }
    case WM_TIMER:
      if (wp == kPollTimer) {
        Poll();
        return 0;
      }
      return DefWindowProc(m_hwnd, msg, wp, lp);
    case WM_MOUSEMOVE: {
      if (!m_tracking) {
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = m_hwnd;
        m_tracking = TrackMouseEvent(&tme);
      }
      const Point p = LParamToPoint(lp);
      const std::string before = m_doc->CursorName();
      if (m_doc->MouseMove(ToDoc(p), p)) InvalidateRect(m_hwnd, nullptr, false);
      // WM_SETCURSOR came before the page knew what is under the mouse now.
      if (!m_viewCursor && m_doc->CursorName() != before) {
        SetCursor(LoadStandardCursor(m_doc->CursorName() == "pointer" ? IDC_HAND : IDC_ARROW));
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      m_tracking = false;
      if (m_doc->MouseLeave()) InvalidateRect(m_hwnd, nullptr, false);
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(m_hwnd);
      const Point p = LParamToPoint(lp);
      if (m_doc->MouseDown(ToDoc(p), p)) InvalidateRect(m_hwnd, nullptr, false);
      return 0;
    }
    case WM_LBUTTONUP: {
      const Point p = LParamToPoint(lp);
      if (m_doc->MouseUp(ToDoc(p), p)) InvalidateRect(m_hwnd, nullptr, false);
      // Followed only now: navigating replaces the document litehtml was walking.
      HandleClick();
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(static_cast<std::uintptr_t>(lp)) == HTCLIENT && reinterpret_cast<HWND>(wp) == m_hwnd) {
        HCURSOR cursor = m_viewCursor;
        if (!cursor) cursor = LoadStandardCursor(m_doc->CursorName() == "pointer" ? IDC_HAND : IDC_ARROW);
        SetCursor(cursor);
        return TRUE;
      }
      return DefWindowProc(m_hwnd, msg, wp, lp);
    case WM_MOUSEWHEEL: {
      const int delta = GET_WHEEL_DELTA_WPARAM(wp);
      SetScrollTop(m_scrollTop - delta * kWheelStep / WHEEL_DELTA);
      return 0;
    }
    case WM_VSCROLL: {
      Rect client;
      GetClientRect(m_hwnd, &client);
      const int page = std::max(1, client.Height() - kLineStep);
      switch (LOWORD(wp)) {
        case SB_LINEUP: SetScrollTop(m_scrollTop - kLineStep); break;
        case SB_LINEDOWN: SetScrollTop(m_scrollTop + kLineStep); break;
        case SB_PAGEUP: SetScrollTop(m_scrollTop - page); break;
        case SB_PAGEDOWN: SetScrollTop(m_scrollTop + page); break;
        case SB_TOP: SetScrollTop(0); break;
        case SB_BOTTOM: SetScrollTop(m_contentHeight); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
          SCROLLINFO si;
          si.fMask = SIF_TRACKPOS;
          m_bars->GetInfo(SB_VERT, si);
          SetScrollTop(m_bars->Tracking() ? si.nTrackPos : HIWORD(wp));
          break;
        }
        default: break;
      }
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_KEYDOWN: {
      Rect client;
      GetClientRect(m_hwnd, &client);
      const int page = std::max(1, client.Height() - kLineStep);
      switch (static_cast<int>(wp)) {
        case VK_UP: SetScrollTop(m_scrollTop - kLineStep); return 0;
        case VK_DOWN: SetScrollTop(m_scrollTop + kLineStep); return 0;
        case VK_PRIOR: SetScrollTop(m_scrollTop - page); return 0;
        case VK_NEXT: SetScrollTop(m_scrollTop + page); return 0;
        case VK_HOME: SetScrollTop(0); return 0;
        case VK_END: SetScrollTop(m_contentHeight); return 0;
        default: break;
      }
      return DefWindowProc(m_hwnd, msg, wp, lp);
    }
    default: return DefWindowProc(m_hwnd, msg, wp, lp);
  }
}
