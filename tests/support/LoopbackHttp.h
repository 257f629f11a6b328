// A real web server on the loopback interface for tests: python3's http.server over a
// folder, on a port the system chooses; the requests it logged can be read back.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

class LoopbackHttp {
 public:
  explicit LoopbackHttp(const std::filesystem::path& root) : m_log(root.string() + ".log") {
    std::filesystem::create_directories(root);
    m_pid = fork();
    if (m_pid == 0) {
      const std::string log = m_log.string();
      FILE* out = std::freopen(log.c_str(), "w", stdout);
      if (!out || dup2(fileno(stdout), 2) < 0) _exit(126);
      execlp("python3", "python3", "-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory",
             root.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    const std::regex serving("port ([0-9]+)");
    for (int i = 0; i < 500 && m_port == 0; ++i) {
      std::smatch m;
      const std::string text = Log();
      if (std::regex_search(text, m, serving)) m_port = std::stoi(m[1]);
      else std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (m_port == 0) {
      Stop();
      throw std::runtime_error("python3 -m http.server did not start");
    }
  }
  ~LoopbackHttp() {
    Stop();
    std::error_code ec;
    std::filesystem::remove(m_log, ec);
  }
  LoopbackHttp(const LoopbackHttp&) = delete;
  LoopbackHttp& operator=(const LoopbackHttp&) = delete;

  std::string Base() const { return "http://127.0.0.1:" + std::to_string(m_port); }
  // Everything the server wrote: one line per request ("GET /path HTTP/1.1" 200 -).
  std::string Log() const {
    std::ifstream in(m_log);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // The request lines for paths starting with `prefix`, in order.
  std::vector<std::string> Requests(const std::string& prefix) const {
    std::vector<std::string> found;
    const std::string text = Log();
    const std::regex line("\"(GET|HEAD) (" + std::regex_replace(prefix, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)") +
                          "[^ ]*) HTTP");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), line); it != std::sregex_iterator(); ++it)
      found.push_back((*it)[2]);
    return found;
  }

 private:
  void Stop() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
  }
  std::filesystem::path m_log;
  pid_t m_pid = -1;
  int m_port = 0;
};
