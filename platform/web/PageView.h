// PageView: the embedded page view, a child window of class "KavriPageView" that loads,
// lays out and draws HTML pages, follows links and keeps a back/forward history.
//
// Loading: `file:` addresses (and plain paths, made into them) are read directly;
// `http(s):` ones are fetched by libcurl on a worker thread that never touches the window
// system — the view polls for the result on a 15 ms timer, so the user-interface thread
// never waits on the network. Every navigation completes asynchronously, file pages on a
// message the view posts itself, so the events come in the same order for both:
// OnDownloadBegin (inside Navigate), then OnNavigateComplete(url) when the page is shown,
// then OnTitleChange(title) when the title differs from the previous one.
//
// A page that cannot be loaded (missing file, unreachable server, error status, scheme we
// do not know) shows a built-in error page naming the address and the reason; it still
// completes with OnNavigateComplete, LocationURL is the address asked for and the entry
// stays in the history, so Refresh tries again.
//
// Addresses are reported in one form: the scheme in lower case, plain paths as
// "file://" addresses (so "File:///x/README.HTM" is reported as "file:///x/README.HTM").
// Navigating to the current entry's address reloads it without a new history entry.
//
// A link with target "_blank" (or "_new") raises OnNewWindow(url, cancel) instead of
// navigating; unless the handler cancels, the address goes to the external opener (the
// desktop's default handler by default). Other targets navigate this view.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/web/Fetcher.h"
#include "platform/web/PageDocument.h"
#include "platform/win/WinTypes.h"

class NcScrollBars;

constexpr const char* kPageViewClassName = "KavriPageView";

// Registers the class with the current window system (later calls do nothing).
void RegisterPageViewClass();

class PageView {
 public:
  static LRESULT Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // The view behind a window of the class (nullptr for any other window).
  static PageView* Of(HWND hwnd);

  explicit PageView(HWND hwnd);
  ~PageView();
  PageView(const PageView&) = delete;
  PageView& operator=(const PageView&) = delete;

  HWND Handle() const { return m_hwnd; }

  void Navigate(std::string_view url);
  // Each returns false (and does nothing) when there is no such entry.
  bool GoBack();
  bool GoForward();
  bool CanGoBack() const { return m_index > 0; }
  bool CanGoForward() const { return m_index + 1 < static_cast<int>(m_history.size()); }
  void Refresh();
  // Abandons a download in progress (the page shown stays).
  void Stop();
  bool Busy() const { return m_loading; }

  // The address of the page shown (empty before the first navigation completes).
  const std::string& LocationURL() const { return m_location; }
  // Its title, or its address when it has none.
  const std::string& LocationName() const { return m_title; }
  const std::vector<std::string>& History() const { return m_history; }
  bool ShowsErrorPage() const { return m_errorPage; }

  // Vertical scrolling in pixels.
  int ScrollTop() const { return m_scrollTop; }
  void SetScrollTop(int top);
  int ContentHeight() const { return m_contentHeight; }

  // A cursor shown over the whole view instead of the page's own (nullptr: the page's:
  // the hand over links, the arrow elsewhere).
  HCURSOR ViewCursor() const { return m_viewCursor; }
  void SetViewCursor(HCURSOR cursor);

  std::function<void()> OnDownloadBegin;
  std::function<void(const std::string& url)> OnNavigateComplete;
  std::function<void(const std::string& url, bool& cancel)> OnNewWindow;
  std::function<void(const std::string& title)> OnTitleChange;
  // Where new-window addresses go when not cancelled.
  std::function<void(const std::string& url)> OpenExternal;

 private:
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Begin(const std::string& url);
  void Finish(const std::string& url, const FetchResult& result);
  void Poll();
  void StartImageFetches();
  void Layout();
  void Paint();
  Point ToDoc(Point client) const { return {client.x, client.y + m_scrollTop}; }
  void HandleClick();
  bool Alive(const std::weak_ptr<bool>& token) const { return !token.expired(); }

  HWND m_hwnd;
  std::unique_ptr<NcScrollBars> m_bars;
  std::unique_ptr<PageDocument> m_doc;
  std::unique_ptr<Fetcher> m_fetcher;
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);

  std::vector<std::string> m_history;
  int m_index = -1;
  std::string m_location;
  std::string m_title;
  bool m_errorPage = false;

  std::uint64_t m_navId = 0;
  bool m_loading = false;
  std::string m_pendingUrl;
  Fetcher::Id m_pageFetch = 0;
  std::map<Fetcher::Id, std::string> m_imageFetches;

  int m_scrollTop = 0;
  int m_contentHeight = 0;
  int m_layoutWidth = -1;
  bool m_inLayout = false;
  bool m_tracking = false;
  HCURSOR m_viewCursor = nullptr;
};

// The built-in page shown when an address cannot be loaded (texts escaped).
std::string ErrorPageHtml(const std::string& url, const std::string& reason);
