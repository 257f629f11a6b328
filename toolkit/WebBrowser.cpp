// The page view control: a window of the page view class whose events become the control's.
#include "toolkit/WebBrowser.h"

#include "platform/sys/Shell.h"
#include "platform/web/PageView.h"
#include "toolkit/Reader.h"
#include "toolkit/Streaming.h"

TWebBrowser::TWebBrowser(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 300, 150);
  SetTabStop(true);
}

TWebBrowser::~TWebBrowser() {
  // The view outlives nothing of ours: its callbacks go before the window does.
  if (PageView* view = View()) {
    view->OnDownloadBegin = nullptr;
    view->OnNavigateComplete = nullptr;
    view->OnNewWindow = nullptr;
    view->OpenExternal = nullptr;
  }
}

void TWebBrowser::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  RegisterPageViewClass();
  p.windowClass = kPageViewClassName;
}

void TWebBrowser::CreateWnd() {
  TWinControl::CreateWnd();
  Wire();
}

PageView* TWebBrowser::View() const {
  return HandleAllocated() ? PageView::Of(const_cast<TWebBrowser*>(this)->Handle()) : nullptr;
}

void TWebBrowser::Wire() {
  PageView* view = View();
  if (!view) return;
  view->OnDownloadBegin = [this] {
    if (OnDownloadBegin) OnDownloadBegin(this);
  };
  view->OnNavigateComplete = [this](const std::string& url) {
    if (OnNavigateComplete2) OnNavigateComplete2(this, url);
  };
  view->OnNewWindow = [this](const std::string& url, bool& cancel) {
    if (OnNewWindow2) OnNewWindow2(this, url, cancel);
  };
  view->OpenExternal = [this](const std::string& url) {
    if (OpenExternal) OpenExternal(url);
    else ShellOpen(url);
  };
  if (m_viewCursor != crDefault) view->SetViewCursor(CursorHandle(m_viewCursor));
}

void TWebBrowser::Navigate(std::string_view url) {
  HandleNeeded();
  View()->Navigate(url);
}

bool TWebBrowser::GoBack() {
  PageView* view = View();
  return view && view->GoBack();
}

bool TWebBrowser::GoForward() {
  PageView* view = View();
  return view && view->GoForward();
}

std::string TWebBrowser::LocationURL() const {
  PageView* view = View();
  return view ? view->LocationURL() : std::string();
}

bool TWebBrowser::Busy() const {
  PageView* view = View();
  return view && view->Busy();
}

void TWebBrowser::SetViewCursor(TCursor cursor) {
  m_viewCursor = cursor;
  if (PageView* view = View()) view->SetViewCursor(cursor == crDefault ? nullptr : CursorHandle(cursor));
}

bool TWebBrowser::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "OnDownloadBegin")) OnDownloadBegin = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnNavigateComplete2")) OnNavigateComplete2 = reader.ReadHandler<TWebNavigateEvent>(v);
  else if (SameText(name, "OnNewWindow2")) OnNewWindow2 = reader.ReadHandler<TWebNewWindowEvent>(v);
  else return TWinControl::ReadProperty(name, v, reader);
  return true;
}
