// A private session bus for tests (dbus-run-session) and the panel's side of the tray
// protocol played by the test: the watcher that items register with.
#pragma once

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace kavri_test {

inline bool OnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string dirs = path;
  std::size_t at = 0;
  while (at <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', at), dirs.size());
    const std::filesystem::path candidate = std::filesystem::path(dirs.substr(at, end - at)) / program;
    if (::access(candidate.c_str(), X_OK) == 0) return true;
    at = end + 1;
  }
  return false;
}

// A session bus of the test's own: dbus-run-session runs a shell that prints the bus
// address and waits on its input; closing that input ends the shell and the daemon.
class PrivateBus {
 public:
  bool Start() {
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) return false;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, in[0], 0);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_addclose(&fa, in[1]);
    posix_spawn_file_actions_addclose(&fa, out[0]);
    const char* argv[] = {"dbus-run-session", "--", "sh", "-c", "echo \"$DBUS_SESSION_BUS_ADDRESS\"; exec cat >/dev/null",
                          nullptr};
    const int r = posix_spawnp(&m_pid, "dbus-run-session", &fa, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&fa);
    ::close(in[0]);
    ::close(out[1]);
    m_input = in[1];
    if (r != 0) {
      ::close(out[0]);
      m_pid = 0;
      return false;
    }
    std::string line;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(out[0]);
    if (line.empty()) return false;
    m_address = line;
    // Every connection of this process made from now on goes to this bus.
    if (const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS")) m_oldAddress = old;
    m_hadAddress = std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr;
    ::setenv("DBUS_SESSION_BUS_ADDRESS", m_address.c_str(), 1);
    return true;
  }
  ~PrivateBus() {
    if (!m_address.empty()) {
      if (m_hadAddress) ::setenv("DBUS_SESSION_BUS_ADDRESS", m_oldAddress.c_str(), 1);
      else ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    if (m_input >= 0) ::close(m_input);
    if (m_pid > 0) {
      int status = 0;
      ::waitpid(m_pid, &status, 0);
    }
  }
  const std::string& Address() const { return m_address; }

 private:
  pid_t m_pid = 0;
  int m_input = -1;
  std::string m_address;
  std::string m_oldAddress;
  bool m_hadAddress = false;
};

// The panel's side: owns the watcher name, records registrations and the item's signals,
// and calls the item's methods and reads its properties.
class Watcher {
 public:
  Watcher() {
    if (sd_bus_open_user(&m_bus) < 0) throw std::runtime_error("watcher: no bus");
    if (sd_bus_request_name(m_bus, "org.kde.StatusNotifierWatcher", 0) < 0)
      throw std::runtime_error("watcher: name taken");
    static const sd_bus_vtable vtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("RegisterStatusNotifierItem", "s", "", Register, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END};
    sd_bus_add_object_vtable(m_bus, &m_object, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher", vtable, this);
    sd_bus_add_match(m_bus, &m_signals, "type='signal',interface='org.kde.StatusNotifierItem'", Signal, this);
  }
  ~Watcher() {
    sd_bus_slot_unref(m_signals);
    sd_bus_slot_unref(m_object);
    sd_bus_flush_close_unref(m_bus);
  }
  sd_bus* Bus() const { return m_bus; }
  void Process() {
    while (sd_bus_process(m_bus, nullptr) > 0) {
    }
    sd_bus_flush(m_bus);
  }

  // Calls a method of the item `name` with two ints (Scroll: an int and a direction);
  // `answer` becomes 1 on success and -1 on an error when the reply comes.
  bool CallItem(const std::string& name, const char* method, int a, int b, int* answer) {
    auto done = [](sd_bus_message* m, void* userdata, sd_bus_error*) {
      *static_cast<int*>(userdata) = sd_bus_message_is_method_error(m, nullptr) ? -1 : 1;
      return 0;
    };
    const bool scroll = std::string_view(method) == "Scroll";
    const int r = scroll ? sd_bus_call_method_async(m_bus, nullptr, name.c_str(), "/StatusNotifierItem",
                                                    "org.kde.StatusNotifierItem", method, done, answer, "is", a,
                                                    b ? "vertical" : "horizontal")
                         : sd_bus_call_method_async(m_bus, nullptr, name.c_str(), "/StatusNotifierItem",
                                                    "org.kde.StatusNotifierItem", method, done, answer, "ii", a, b);
    return r >= 0;
  }

  std::vector<std::string> registered;
  std::vector<std::string> signals;

 private:
  static int Register(sd_bus_message* m, void* userdata, sd_bus_error*) {
    const char* name = nullptr;
    if (sd_bus_message_read(m, "s", &name) < 0) return -EINVAL;
    static_cast<Watcher*>(userdata)->registered.push_back(name);
    return sd_bus_reply_method_return(m, "");
  }
  static int Signal(sd_bus_message* m, void* userdata, sd_bus_error*) {
    static_cast<Watcher*>(userdata)->signals.push_back(sd_bus_message_get_member(m));
    return 0;
  }

  sd_bus* m_bus = nullptr;
  sd_bus_slot* m_object = nullptr;
  sd_bus_slot* m_signals = nullptr;
};

}  // namespace kavri_test
