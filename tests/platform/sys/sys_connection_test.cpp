// The connection test against file addresses and a one-shot HTTP server on the loopback.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "platform/sys/Connection.h"

// A listening socket on 127.0.0.1 with a port of the system's choice.
static int Listen(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 1) != 0)
    return -1;
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  port = ntohs(addr.sin_port);
  return fd;
}

class ConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
      ::unsetenv(name);
  }
};

TEST_F(ConnectionTest, AnyAnswerOfAServerCounts) {
  for (const char* status : {"200 OK", "404 Not Found"}) {
    int port = 0;
    const int listener = Listen(port);
    ASSERT_GE(listener, 0);
    std::promise<std::string> request;
    std::thread server([&] {
      const int client = ::accept(listener, nullptr, nullptr);
      char buffer[2048] = {};
      const ssize_t n = client >= 0 ? ::recv(client, buffer, sizeof buffer - 1, 0) : -1;
      request.set_value(n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string());
      const std::string answer = std::string("HTTP/1.0 ") + status + "\r\nContent-Length: 0\r\n\r\n";
      if (client >= 0) {
        ::send(client, answer.data(), answer.size(), 0);
        ::close(client);
      }
    });
    const bool ok = ConnectionCheck("http://127.0.0.1:" + std::to_string(port) + "/bbs/user.asp?adv=1",
                                    std::chrono::milliseconds(3000));
    server.join();
    ::close(listener);
    EXPECT_TRUE(ok) << status;
    EXPECT_EQ(request.get_future().get().rfind("HEAD /bbs/user.asp?adv=1 HTTP/", 0), 0u);
  }
}

TEST_F(ConnectionTest, NoServerMeansNoConnection) {
  int port = 0;
  const int listener = Listen(port);
  ASSERT_GE(listener, 0);
  ::close(listener);  // nobody listens there now
  EXPECT_FALSE(ConnectionCheck("http://127.0.0.1:" + std::to_string(port) + "/", std::chrono::milliseconds(2000)));
}

TEST_F(ConnectionTest, SilentServerTimesOut) {
  int port = 0;
  const int listener = Listen(port);  // accepts into its backlog but never answers
  ASSERT_GE(listener, 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(ConnectionCheck("http://127.0.0.1:" + std::to_string(port) + "/", std::chrono::milliseconds(300)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  ::close(listener);
}

TEST_F(ConnectionTest, FileAddresses) {
  const auto path = std::filesystem::temp_directory_path() / ("kavri_conn_" + std::to_string(::getpid()) + ".htm");
  std::ofstream(path) << "<p>notice</p>";
  EXPECT_TRUE(ConnectionCheck("file://" + path.string()));
  std::filesystem::remove(path);
  EXPECT_FALSE(ConnectionCheck("file://" + path.string()));
  EXPECT_FALSE(ConnectionCheck("gopher://127.0.0.1/"));  // protocols other than http(s) and file
  EXPECT_FALSE(ConnectionCheck("not an address"));
}
