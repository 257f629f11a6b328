// The program's own folder, and opening documents and addresses with xdg-open.
#include "platform/sys/Shell.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

std::string ExeDir() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0)
      throw std::runtime_error(std::string("cannot find the program's folder: ") + std::strerror(errno));
    if (static_cast<std::size_t>(n) < buffer.size()) {
      std::string path(buffer.data(), static_cast<std::size_t>(n));
      return path.substr(0, path.rfind('/') + 1);
    }
    buffer.resize(buffer.size() * 2);
  }
}

// Owns the spawn attribute objects for one call.
class SpawnSetup {
 public:
  SpawnSetup() {
    ::posix_spawn_file_actions_init(&m_actions);
    ::posix_spawnattr_init(&m_attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
  ~SpawnSetup() {
    ::posix_spawnattr_destroy(&m_attributes);
    ::posix_spawn_file_actions_destroy(&m_actions);
  }
  posix_spawn_file_actions_t* Actions() { return &m_actions; }
  posix_spawnattr_t* Attributes() { return &m_attributes; }

 private:
  posix_spawn_file_actions_t m_actions;
  posix_spawnattr_t m_attributes;
};

namespace {

// Starts `program` with `argument` detached from the program's terminal and signals;
// -1 when it cannot be started (not installed, not executable).
pid_t SpawnHandler(const std::string& program, const std::string& target) {
  if (target.empty() || target.find('\0') != std::string::npos) return -1;
  std::string argument = target[0] == '-' ? "./" + target : target;
  std::string name = program;

  SpawnSetup setup;
  if (::posix_spawn_file_actions_addopen(setup.Actions(), 0, "/dev/null", O_RDONLY, 0) != 0 ||
      ::posix_spawn_file_actions_addclosefrom_np(setup.Actions(), 3) != 0)
    return -1;
  // The handler must not inherit the program's blocked or ignored signals.
  sigset_t none, all;
  ::sigemptyset(&none);
  ::sigfillset(&all);
  ::posix_spawnattr_setsigmask(setup.Attributes(), &none);
  ::posix_spawnattr_setsigdefault(setup.Attributes(), &all);
  ::posix_spawnattr_setflags(setup.Attributes(),
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);

  char* argv[] = {name.data(), argument.data(), nullptr};
  pid_t pid = 0;
  if (::posix_spawnp(&pid, name.c_str(), setup.Actions(), setup.Attributes(), argv, environ) != 0) return -1;
  return pid;
}

// Reaps the handler whenever it ends, without making the caller wait for it.
void ReapLater(pid_t pid) {
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

std::uint64_t NowMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

}  // namespace

bool ShellOpen(const std::string& target) {
  const pid_t pid = SpawnHandler("xdg-open", target);
  if (pid < 0) return false;
  ReapLater(pid);
  return true;
}

std::vector<std::string> DocumentHandlers() { return {"xdg-open", "sensible-browser", "x-www-browser"}; }

DocumentOpener::DocumentOpener(std::string target, std::vector<std::string> programs, int settleMs)
    : m_target(std::move(target)), m_programs(std::move(programs)), m_settleMs(settleMs) {
  StartNext();
}

DocumentOpener::~DocumentOpener() {
  if (m_pid > 0) ReapLater(m_pid);
}

void DocumentOpener::StartNext() {
  while (m_next < m_programs.size()) {
    const std::string& program = m_programs[m_next++];
    m_pid = SpawnHandler(program, m_target);
    if (m_pid > 0) {
      m_startedMs = NowMs();
      return;
    }
    m_failures.push_back(program + " is not installed");
  }
  m_pid = -1;
  m_state = State::Failed;
}

DocumentOpener::State DocumentOpener::Poll() {
  if (m_state != State::Trying) return m_state;
  int status = 0;
  pid_t done = ::waitpid(m_pid, &status, WNOHANG);
  if (done == 0) {
    if (NowMs() - m_startedMs >= static_cast<std::uint64_t>(m_settleMs)) {
      // Still at work: a browser that stays in front, or a handler waiting for one.
      ReapLater(m_pid);
      m_pid = -1;
      m_state = State::Opened;
    }
    return m_state;
  }
  const std::string& program = m_programs[m_next - 1];
  m_pid = -1;
  if (done < 0) {
    // Reaped elsewhere; nothing tells it failed.
    m_state = State::Opened;
    return m_state;
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    m_state = State::Opened;
    return m_state;
  }
  // The spawned shell of a missing script interpreter, or a handler that found nothing to
  // open with, ends with an error status.
  if (WIFEXITED(status)) {
    const int code = WEXITSTATUS(status);
    m_failures.push_back(code == 127 ? program + " is not installed"
                                     : program + " ended with status " + std::to_string(code));
  } else {
    m_failures.push_back(program + " ended by signal " + std::to_string(WTERMSIG(status)));
  }
  StartNext();
  return m_state;
}
