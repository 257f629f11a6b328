// The program's own folder, and opening documents and addresses with the desktop's handler.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// The folder of the running executable, with a trailing '/'. Throws std::runtime_error
// when the system does not tell it.
std::string ExeDir();

// Opens a file, web address or mail address with the desktop's default handler by
// starting `xdg-open` with `target` as its one argument: no shell is involved, so blanks
// and shell characters arrive as they are. A relative name starting with '-' is passed
// as "./name" so that it is not taken for an option. The handler runs detached (own
// session, standard input from /dev/null, no inherited descriptors beyond 0-2). Returns
// whether the handler could be started; what it does then is not waited for.
bool ShellOpen(const std::string& target);

// Opens a document with the first of several handlers that works, without waiting for any
// of them: each is started with the target as its one argument (as ShellOpen starts
// xdg-open), and when it cannot be started or ends with an error status, the next one is
// tried. Poll moves it on; a handler still running after `settleMs` counts as working.
class DocumentOpener {
 public:
  enum class State { Trying, Opened, Failed };

  DocumentOpener(std::string target, std::vector<std::string> programs, int settleMs = 3000);
  ~DocumentOpener();  // a handler still running is reaped when it ends, not waited for
  DocumentOpener(const DocumentOpener&) = delete;
  DocumentOpener& operator=(const DocumentOpener&) = delete;

  // Never blocks.
  State Poll();
  State GetState() const { return m_state; }
  // One line per handler that failed: "NAME is not installed", "NAME ended with status N".
  const std::vector<std::string>& Failures() const { return m_failures; }

 private:
  void StartNext();

  std::string m_target;
  std::vector<std::string> m_programs;
  std::size_t m_next = 0;
  int m_settleMs;
  pid_t m_pid = -1;
  std::uint64_t m_startedMs = 0;
  State m_state = State::Trying;
  std::vector<std::string> m_failures;
};

// The handlers the help page is tried with: the desktop's default, then the browsers
// Debian names.
std::vector<std::string> DocumentHandlers();
