// The termination signals written into a self-pipe by a handler that does nothing else.
#include "platform/sys/EndSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace {

int g_read = -1;
int g_write = -1;
// Set by the handler so that a loop finds out without a system call.
volatile sig_atomic_t g_pending = 0;

void OnEndSignal(int signal) {
  const int saved = errno;
  g_pending = signal;
  const unsigned char byte = static_cast<unsigned char>(signal);
  // A full pipe already wakes the loop: the byte is not needed then.
  [[maybe_unused]] const ssize_t n = ::write(g_write, &byte, 1);
  errno = saved;
}

}  // namespace

bool WatchEndSignals() {
  if (g_read >= 0) return true;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  g_read = fds[0];
  g_write = fds[1];
  struct sigaction action {};
  action.sa_handler = &OnEndSignal;
  ::sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
  return true;
}

int EndSignalDescriptor() { return g_read; }

int TakeEndSignal() {
  if (g_read < 0 || !g_pending) return 0;
  const int signal = g_pending;
  g_pending = 0;
  unsigned char bytes[64];
  while (::read(g_read, bytes, sizeof bytes) > 0) {
  }
  return signal;
}
