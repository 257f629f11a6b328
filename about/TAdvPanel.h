// TAdvPanel: the notice strip at the top of the main window, a page of the maker's site
// above a one-line label, rationed by two counters that the settings file keeps.
#pragma once

#include <memory>
#include <string>
#include <string_view>

class TWinControl;
class TskSkinPanel;
class TskSkinStdLabel;
class TWebBrowser;
class TObject;

class TAdvPanel {
 public:
  // The strip's height.
  static constexpr int kHeight = 76;
  // ShowsLeft's value that turns the panel off for good.
  static constexpr int kOff = 12;
  // How long the connection test may hold up the window.
  static constexpr int kConnectionTimeoutMs = 3000;

  // Panel and label belong to `window` as their owner; the panel goes on it, at its top.
  explicit TAdvPanel(TWinControl* window);
  ~TAdvPanel();
  TAdvPanel(const TAdvPanel&) = delete;
  TAdvPanel& operator=(const TAdvPanel&) = delete;

  TskSkinPanel* Panel = nullptr;
  TskSkinStdLabel* Label = nullptr;
  std::unique_ptr<TWebBrowser> Browser;
  std::string Url;
  std::string User;
  std::string Software;
  std::string Version;
  int ShowsLeft = 0;
  int RestCount = 0;

  void SetNoticeText(std::string_view text);
  // Start-up: a used-up panel counts start-ups and every fourth one gets a window more.
  void CountStartup();
  // Tests the connection and chooses Url; hides the panel when it is not to show.
  void CheckOnline();
  // Opens the notice page for a main window `width` pixels wide, when the panel shows and
  // the view is not already there.
  void ShowNotice(int width);
  // The page opened a window of its own: one fewer left.
  void NewWindowCount(TObject* sender, const std::string& url, bool& cancel);
  // The address ShowNotice opens for `width`.
  std::string FullUrl(int width) const;
};
