// Fetching what pages name: `file:` addresses read directly, `http(s):` ones through
// libcurl on worker threads whose results the user-interface thread collects.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct FetchResult {
  bool ok = false;
  std::string url;          // as asked for
  std::string finalUrl;     // after redirects
  std::string contentType;  // the server's Content-Type, empty for files
  std::string data;
  std::string error;        // why it failed, for the error page
};

struct FetchLimits {
  std::size_t maxBytes = 16u * 1024 * 1024;
  long connectTimeoutMs = 10000;
  long totalTimeoutMs = 30000;
};

// Reads a "file:" address (or fails with the reason). Never throws.
FetchResult FetchFile(const std::string& url, const FetchLimits& limits = {});
// Fetches an "http:" or "https:" address with redirects followed; blocks. `cancel`, when
// given, aborts the transfer once it turns true. Never throws.
FetchResult FetchHttp(const std::string& url, const FetchLimits& limits = {},
                      const std::atomic<bool>* cancel = nullptr);

// Runs fetches on threads of their own. Start returns at once; TakeFinished, called from
// the owner's thread, hands over what has finished. Destruction cancels and joins all.
class Fetcher {
 public:
  using Id = std::uint64_t;

  explicit Fetcher(FetchLimits limits = {}) : m_limits(limits) {}
  ~Fetcher();
  Fetcher(const Fetcher&) = delete;
  Fetcher& operator=(const Fetcher&) = delete;

  Id Start(const std::string& url);
  // The result is still collected but marked cancelled (`ok` false).
  void Cancel(Id id);
  struct Finished {
    Id id;
    FetchResult result;
  };
  std::vector<Finished> TakeFinished();
  // Whether any fetch is running or finished and not yet taken.
  bool Pending() const;

 private:
  struct Job {
    Id id;
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    FetchResult result;
    std::thread thread;
  };

  FetchLimits m_limits;
  mutable std::mutex m_mutex;
  std::vector<std::unique_ptr<Job>> m_jobs;
  Id m_nextId = 1;
};
