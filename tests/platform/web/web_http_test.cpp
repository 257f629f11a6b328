// Page view over http from a tiny server on the loopback interface: the page, its
// pictures, its charset, error statuses, and a user-interface thread that does not wait.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>

#include "WebTestSupport.h"
#include "platform/gfx/Bmp.h"

namespace {

// Serves fixed answers by path; answers after `delayMs` when asked to.
class TinyServer {
 public:
  struct Answer {
    std::string status = "200 OK";
    std::string type = "text/html";
    std::string body;
    int delayMs = 0;
  };

  TinyServer() {
    m_listen = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    listen(m_listen, 16);
    m_thread = std::thread([this] { Run(); });
  }
  ~TinyServer() {
    m_stop = true;
    m_thread.join();
    close(m_listen);
  }

  void Set(const std::string& path, Answer a) {
    std::lock_guard lock(m_mutex);
    m_answers[path] = std::move(a);
  }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
  int Requests() const { return m_requests; }

 private:
  void Run() {
    while (!m_stop) {
      pollfd p{m_listen, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      const int c = accept(m_listen, nullptr, nullptr);
      if (c < 0) continue;
      std::string request;
      char buf[2048];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = recv(c, buf, sizeof buf, 0);
        if (n <= 0) break;
        request.append(buf, static_cast<std::size_t>(n));
      }
      ++m_requests;
      const auto sp1 = request.find(' ');
      const auto sp2 = request.find(' ', sp1 + 1);
      const std::string path = sp1 == std::string::npos ? "" : request.substr(sp1 + 1, sp2 - sp1 - 1);
      Answer a;
      {
        std::lock_guard lock(m_mutex);
        const auto it = m_answers.find(path);
        if (it != m_answers.end()) a = it->second;
        else a = {"404 Not Found", "text/html", "<p>no</p>", 0};
      }
      for (int waited = 0; waited < a.delayMs && !m_stop; waited += 5) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      const std::string reply = "HTTP/1.1 " + a.status + "\r\nContent-Type: " + a.type +
                                "\r\nContent-Length: " + std::to_string(a.body.size()) +
                                "\r\nConnection: close\r\n\r\n" + a.body;
      send(c, reply.data(), reply.size(), MSG_NOSIGNAL);
      close(c);
    }
  }

  int m_listen = -1;
  int m_port = 0;
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_requests{0};
  std::mutex m_mutex;
  std::map<std::string, Answer> m_answers;
  std::thread m_thread;
};

class WebHttpTest : public WebTest {
 protected:
  TinyServer server;
};

TEST_F(WebHttpTest, PageAndItsPictureLoadFromTheServer) {
  Bitmap pic(30, 10, MakePixel(0, 0, 255));
  const auto bmp = SaveBmp(pic, 24);
  server.Set("/pics/p.bmp", {"200 OK", "image/bmp", std::string(bmp.begin(), bmp.end()), 0});
  server.Set("/dir/page.html", {"200 OK", "text/html",
                                "<title>Remote</title><body style='margin:0'><img src='../pics/p.bmp'>"
                                "<p><a href='other.html'>other</a></p></body>", 0});
  Go(server.Url("/dir/page.html"));
  EXPECT_EQ(events, (std::vector<std::string>{"begin", "complete " + server.Url("/dir/page.html"), "title Remote"}));
  EXPECT_FALSE(view->ShowsErrorPage());
  EXPECT_EQ(view->LocationName(), "Remote");
  // The picture came on its own fetch and the page was laid out again around it.
  EXPECT_EQ(Count({0, 0, 100, 60}, Is(0, 0, 255)), 300);
  EXPECT_EQ(server.Requests(), 2);
}

TEST_F(WebHttpTest, DeclaredDoubleByteCharsetIsConverted) {
  // "中文" in GBK, declared only by the server.
  server.Set("/gbk.html", {"200 OK", "text/html; charset=GBK", "<title>\xD6\xD0\xCE\xC4</title><p>x</p>", 0});
  Go(server.Url("/gbk.html"));
  EXPECT_EQ(view->LocationName(), "中文");
}

TEST_F(WebHttpTest, ErrorStatusShowsTheErrorPage) {
  Go(server.Url("/nothing-here"));
  EXPECT_TRUE(view->ShowsErrorPage());
  EXPECT_EQ(view->LocationURL(), server.Url("/nothing-here"));
  EXPECT_EQ(events.at(1), "complete " + server.Url("/nothing-here"));
}

TEST_F(WebHttpTest, SlowPageDoesNotHoldTheWindowAndANewerNavigationWins) {
  server.Set("/slow.html", {"200 OK", "text/html", "<title>Slow</title>", 400});
  const auto start = std::chrono::steady_clock::now();
  view->Navigate(server.Url("/slow.html"));
  m_host->Pump();
  m_host->AdvanceClock(30);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_TRUE(view->Busy());
  // The user goes elsewhere before the slow answer comes: only the newer page completes.
  Go(PathToFileUrl(Inputs() + "c.html"));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  WaitLoaded();
  EXPECT_EQ(view->LocationName(), "Page C");
  EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const std::string& e) { return e.rfind("complete", 0) == 0; }), 1);
}

TEST_F(WebHttpTest, UnreachableServerShowsTheErrorPage) {
  // A port nobody listens on: bind one, then close it before asking.
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
  close(s);
  const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/";
  Go(url);
  EXPECT_TRUE(view->ShowsErrorPage());
  EXPECT_EQ(view->LocationURL(), url);
}

}  // namespace
