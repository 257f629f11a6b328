// The help page opened with the first handler that works, watched on a timer.
#include "app/HelpPage.h"

#include "toolkit/ExtCtrls.h"

namespace {
constexpr unsigned kCheckInterval = 100;
}

HelpPageOpener::HelpPageOpener(std::string page, Tell tell, std::vector<std::string> handlers)
    : m_page(std::move(page)), m_tell(std::move(tell)), m_opener(m_page, std::move(handlers)) {
  if (m_opener.GetState() == DocumentOpener::State::Failed) {
    if (m_tell) m_tell(HelpNotOpenedText(m_page, m_opener.Failures()));
    return;
  }
  m_timer = std::make_unique<TTimer>(nullptr);
  m_timer->SetInterval(kCheckInterval);
  m_timer->OnTimer = [this](TObject*) { Check(); };
}

HelpPageOpener::~HelpPageOpener() = default;

void HelpPageOpener::Check() {
  const DocumentOpener::State state = m_opener.Poll();
  if (state == DocumentOpener::State::Trying) return;
  m_timer->SetEnabled(false);
  if (state == DocumentOpener::State::Failed && m_tell) m_tell(HelpNotOpenedText(m_page, m_opener.Failures()));
}

std::string HelpNotOpenedText(const std::string& page, const std::vector<std::string>& failures) {
  std::string text = "帮助页面无法打开：\"" + page + "\"\nThe help page \"" + page + "\" cannot be opened:";
  for (const std::string& failure : failures) text += "\n" + failure;
  text += "\nInstall a web browser, or open the page by hand.";
  return text;
}
