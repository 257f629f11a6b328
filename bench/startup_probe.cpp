// Launches a program on the current X display and reports, from X events alone, when its
// first top-level window was mapped and when that window's painting came to rest, with the
// program's resident memory then. The Damage extension reports every change of a window's
// pixels, however the client draws (core requests, shared memory, an SDL surface).
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Windows of the watched program come and go; errors about them are of no interest.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

double MsSince(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

long ResidentKb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  int quietMs = 400;
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--quiet-ms") == 0) {
    quietMs = std::atoi(argv[2]);
    first = 3;
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: startup_probe [--quiet-ms N] PROGRAM [ARGS...]\n");
    return 2;
  }
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) {
    std::fprintf(stderr, "startup_probe: no X display\n");
    return 2;
  }
  int damageEvent = 0, damageError = 0;
  if (!XDamageQueryExtension(dpy, &damageEvent, &damageError)) {
    std::fprintf(stderr, "startup_probe: the X server has no Damage extension\n");
    return 2;
  }
  XSetErrorHandler(&IgnoreXError);
  const Window root = DefaultRootWindow(dpy);
  XSelectInput(dpy, root, SubstructureNotifyMask);
  XSync(dpy, False);

  const Clock::time_point t0 = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[first], argv + first);
    _exit(127);
  }
  // Damage is asked for when a window is created, so paints right after its map are seen.
  std::vector<std::pair<Window, Damage>> watched;
  Window shown = 0;
  double mapMs = -1, paintMs = -1;
  long rssKb = -1;
  const int fd = ConnectionNumber(dpy);
  for (;;) {
    while (XPending(dpy)) {
      XEvent e;
      XNextEvent(dpy, &e);
      if (e.type == CreateNotify && e.xcreatewindow.parent == root) {
        watched.emplace_back(e.xcreatewindow.window,
                             XDamageCreate(dpy, e.xcreatewindow.window, XDamageReportRawRectangles));
      } else if (e.type == MapNotify && !shown) {
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, e.xmap.window, &a) && a.width > 16 && a.height > 16) {
          shown = e.xmap.window;
          mapMs = MsSince(t0);
        }
      } else if (e.type == damageEvent + XDamageNotify) {
        const auto* d = reinterpret_cast<const XDamageNotifyEvent*>(&e);
        if (shown && d->drawable == shown) paintMs = MsSince(t0);
      }
    }
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      std::fprintf(stderr, "startup_probe: %s ended before its window came to rest\n", argv[first]);
      return 1;
    }
    // At rest: mapped, painted, and nothing drawn for the quiet time since.
    const double sinceLast = paintMs < 0 ? 0 : MsSince(t0) - paintMs;
    if (paintMs >= 0 && sinceLast >= quietMs) {
      rssKb = ResidentKb(pid);
      break;
    }
    if (MsSince(t0) > 20000) {
      std::fprintf(stderr, "startup_probe: no painted window within 20 s\n");
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      return 1;
    }
    pollfd p{fd, POLLIN, 0};
    const int wait = paintMs < 0 ? 100 : std::max(1, quietMs - static_cast<int>(sinceLast));
    poll(&p, 1, wait);
  }
  for (auto& [w, damage] : watched) XDamageDestroy(dpy, damage);
  XCloseDisplay(dpy);
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  std::printf("map_ms=%.1f paint_ms=%.1f rss_kb=%ld\n", mapMs, paintMs, rssKb);
  return 0;
}
