// The notice strip: its controls, counters, connection test and page.
#include "about/TAdvPanel.h"

#include <chrono>

#include "about/MakerSite.h"
#include "platform/sys/Connection.h"
#include "skin/controls/skSkinLabel.h"
#include "skin/controls/skSkinPanel.h"
#include "skin/data/skSkinData.h"
#include "toolkit/WebBrowser.h"

namespace {

// The skin data object of the window: its first one among its components.
TskSkinData* SkinDataOf(TWinControl* window) {
  for (int i = 0; i < window->ComponentCount(); ++i)
    if (auto* data = dynamic_cast<TskSkinData*>(window->Components(i))) return data;
  return nullptr;
}

}  // namespace

TAdvPanel::TAdvPanel(TWinControl* window) {
  Panel = new TskSkinPanel(window);
  Label = new TskSkinStdLabel(window);
  Browser = std::make_unique<TWebBrowser>(nullptr);
  Browser->OnNewWindow2 = [this](TObject* sender, const std::string& url, bool& cancel) {
    NewWindowCount(sender, url, cancel);
  };
  TskSkinData* data = SkinDataOf(window);
  Panel->SetSkinData(data);
  Label->SetSkinData(data);
  Panel->SetAlign(TAlign::alTop);
  Panel->SetHeight(kHeight);
  // The topmost control of the window: above every other top-aligned one.
  Panel->SetTop(0);
  Panel->SetParent(window);
  Label->SetAlign(TAlign::alBottom);
  Label->SetParent(Panel);
  Browser->SetAlign(TAlign::alClient);
  Browser->SetParent(Panel);
  Panel->SetVisible(true);
}

TAdvPanel::~TAdvPanel() {
  delete Label;
  Label = nullptr;
  Browser.reset();
  delete Panel;
  Panel = nullptr;
}

void TAdvPanel::SetNoticeText(std::string_view text) { Label->SetCaption(text); }

void TAdvPanel::CountStartup() {
  if (ShowsLeft == kOff || ShowsLeft >= 1) return;
  ++RestCount;
  if (RestCount > 3) {
    RestCount = 0;
    ShowsLeft = 1;
  }
}

void TAdvPanel::CheckOnline() {
  if (ConnectionCheck(ConnectionTestUrl(), std::chrono::milliseconds(kConnectionTimeoutMs))) {
    if (ShowsLeft < 1 || ShowsLeft == kOff) {
      Panel->SetVisible(false);
      Url = NoticeBaseUrl(false);
    } else {
      Url = NoticeBaseUrl(true);
    }
  } else {
    Panel->SetVisible(false);
    ShowsLeft = 0;
    RestCount = 3;
    Url.clear();
  }
}

std::string TAdvPanel::FullUrl(int width) const {
  return NoticeUrl(Url, User, Software, Version, NoticeSizeClass(width));
}

void TAdvPanel::ShowNotice(int width) {
  if (!Panel->Visible()) return;
  const std::string url = FullUrl(width);
  if (Browser->LocationURL() != url) Browser->Navigate(url);
}

void TAdvPanel::NewWindowCount(TObject*, const std::string&, bool&) {
  --ShowsLeft;
  CheckOnline();
}
