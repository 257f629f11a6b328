// The program's own folder, and opening documents and addresses with xdg-open.
#include "platform/sys/Shell.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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

bool ShellOpen(const std::string& target) {
  if (target.empty() || target.find('\0') != std::string::npos) return false;
  std::string argument = target[0] == '-' ? "./" + target : target;
  std::string program = "xdg-open";

  SpawnSetup setup;
  if (::posix_spawn_file_actions_addopen(setup.Actions(), 0, "/dev/null", O_RDONLY, 0) != 0 ||
      ::posix_spawn_file_actions_addclosefrom_np(setup.Actions(), 3) != 0)
    return false;
  // The handler must not inherit the program's blocked or ignored signals.
  sigset_t none, all;
  ::sigemptyset(&none);
  ::sigfillset(&all);
  ::posix_spawnattr_setsigmask(setup.Attributes(), &none);
  ::posix_spawnattr_setsigdefault(setup.Attributes(), &all);
  ::posix_spawnattr_setflags(setup.Attributes(),
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);

  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = 0;
  if (::posix_spawnp(&pid, program.c_str(), setup.Actions(), setup.Attributes(), argv, environ) != 0)
    return false;
  // Reap the handler whenever it ends, without making the caller wait for it.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}
