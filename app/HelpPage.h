// Opening the help page: the desktop's handler first, then the browsers, and a message
// naming the page and what is missing when none of them opens it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/sys/Shell.h"

class TTimer;

class HelpPageOpener {
 public:
  using Tell = std::function<void(const std::string& text)>;

  // Starts opening `page` at once; `tell` hears of a failure, from a timer of the window
  // system (the handlers are watched without blocking the window).
  HelpPageOpener(std::string page, Tell tell, std::vector<std::string> handlers = DocumentHandlers());
  ~HelpPageOpener();
  HelpPageOpener(const HelpPageOpener&) = delete;
  HelpPageOpener& operator=(const HelpPageOpener&) = delete;

  DocumentOpener::State State() const { return m_opener.GetState(); }

 private:
  void Check();

  std::string m_page;
  Tell m_tell;
  DocumentOpener m_opener;
  std::unique_ptr<TTimer> m_timer;
};

// The message for a help page that no handler opened: the page, then each failure.
std::string HelpNotOpenedText(const std::string& page, const std::vector<std::string>& failures);
