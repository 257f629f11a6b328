// TWebBrowser: the embedded page view as a control of the toolkit (navigate, back,
// forward, current location, a cursor over the view, and the view's events).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "toolkit/Controls.h"

class PageView;

using TWebNavigateEvent = std::function<void(TObject* sender, const std::string& url)>;
using TWebNewWindowEvent = std::function<void(TObject* sender, const std::string& url, bool& cancel)>;

class TWebBrowser : public TWinControl {
 public:
  explicit TWebBrowser(TComponent* owner);
  ~TWebBrowser() override;

  // Makes the view's window first when there is none yet (the control needs a parent).
  void Navigate(std::string_view url);
  // False when there is no entry to go to; nothing happens then.
  bool GoBack();
  bool GoForward();
  // The address of the page shown, in the view's own form; empty before the first page.
  std::string LocationURL() const;
  bool Busy() const;
  // The cursor over the whole view; crDefault gives the page its own again.
  TCursor ViewCursor() const { return m_viewCursor; }
  void SetViewCursor(TCursor cursor);
  // Where addresses go that a page opens in a new window and no handler cancels (the
  // desktop's default handler unless set).
  std::function<void(const std::string& url)> OpenExternal;

  TNotifyEvent OnDownloadBegin;
  TWebNavigateEvent OnNavigateComplete2;
  TWebNewWindowEvent OnNewWindow2;

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  PageView* View() const;
  void Wire();
  TCursor m_viewCursor = crDefault;
};
