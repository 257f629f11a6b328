// Fetching page resources from files and over http(s) with libcurl.
#include "platform/web/Fetcher.h"

#include <curl/curl.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <system_error>

#include "platform/web/Url.h"

namespace {

struct Transfer {
  std::string* data;
  std::size_t maxBytes;
  bool tooBig = false;
  const std::atomic<bool>* cancel;
};

std::size_t OnData(char* ptr, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  if (t->data->size() + n > t->maxBytes) {
    t->tooBig = true;
    return 0;  // makes curl stop with a write error
  }
  t->data->append(ptr, n);
  return n;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* t = static_cast<const Transfer*>(user);
  return t->cancel && t->cancel->load() ? 1 : 0;
}

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

FetchResult FetchFile(const std::string& url, const FetchLimits& limits) {
  FetchResult r;
  r.url = url;
  r.finalUrl = url;
  std::string path;
  try {
    path = FileUrlToPath(url);
  } catch (const std::invalid_argument& e) {
    r.error = e.what();
    return r;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    r.error = "The address names a folder, not a page.";
    return r;
  }
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) {
    r.error = "The file cannot be found or read: " + path;
    return r;
  }
  if (size > limits.maxBytes) {
    r.error = "The file is too large to show.";
    return r;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    r.error = "The file cannot be read: " + path;
    return r;
  }
  r.data.resize(static_cast<std::size_t>(size));
  in.read(r.data.data(), static_cast<std::streamsize>(r.data.size()));
  r.data.resize(static_cast<std::size_t>(in.gcount()));
  r.ok = true;
  return r;
}

FetchResult FetchHttp(const std::string& url, const FetchLimits& limits, const std::atomic<bool>* cancel) {
  InitCurlOnce();
  FetchResult r;
  r.url = url;
  r.finalUrl = url;
  CURL* curl = curl_easy_init();
  if (!curl) {
    r.error = "The network library could not start.";
    return r;
  }
  Transfer t{&r.data, limits.maxBytes, false, cancel};
  char errorBuffer[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  // Redirects must not lead a web page to local files.
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, limits.totalTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "Kavri page view");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnData);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
  const CURLcode code = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  if (char* type = nullptr; curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type) {
    r.contentType = type;
  }
  if (char* effective = nullptr; curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective) {
    r.finalUrl = effective;
  }
  curl_easy_cleanup(curl);
  if (t.tooBig) {
    r.error = "The page is too large to show.";
  } else if (code == CURLE_ABORTED_BY_CALLBACK) {
    r.error = "The download was cancelled.";
  } else if (code != CURLE_OK) {
    r.error = std::string("The server could not be reached: ") + (errorBuffer[0] ? errorBuffer : curl_easy_strerror(code));
  } else if (status >= 400) {
    r.error = "The server answered with status " + std::to_string(status) + ".";
  } else {
    r.ok = true;
  }
  if (!r.ok) r.data.clear();
  return r;
}

Fetcher::~Fetcher() {
  std::vector<std::unique_ptr<Job>> jobs;
  {
    std::lock_guard lock(m_mutex);
    jobs.swap(m_jobs);
  }
  for (auto& job : jobs) job->cancel = true;
  for (auto& job : jobs) {
    if (job->thread.joinable()) job->thread.join();
  }
}

Fetcher::Id Fetcher::Start(const std::string& url) {
  InitCurlOnce();
  auto job = std::make_unique<Job>();
  Job* raw = job.get();
  std::lock_guard lock(m_mutex);
  raw->id = m_nextId++;
  const FetchLimits limits = m_limits;
  raw->thread = std::thread([raw, url, limits] {
    FetchResult r = UrlScheme(url) == "file" ? FetchFile(url, limits) : FetchHttp(url, limits, &raw->cancel);
    raw->result = std::move(r);
    raw->done = true;
  });
  m_jobs.push_back(std::move(job));
  return raw->id;
}

void Fetcher::Cancel(Id id) {
  std::lock_guard lock(m_mutex);
  for (auto& job : m_jobs) {
    if (job->id == id) job->cancel = true;
  }
}

std::vector<Fetcher::Finished> Fetcher::TakeFinished() {
  std::vector<std::unique_ptr<Job>> done;
  {
    std::lock_guard lock(m_mutex);
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
      if ((*it)->done) {
        done.push_back(std::move(*it));
        it = m_jobs.erase(it);
      } else {
        ++it;
      }
    }
  }
  std::vector<Finished> out;
  for (auto& job : done) {
    job->thread.join();
    if (job->cancel) {
      job->result.ok = false;
      job->result.error = "The download was cancelled.";
    }
    out.push_back({job->id, std::move(job->result)});
  }
  return out;
}

bool Fetcher::Pending() const {
  std::lock_guard lock(m_mutex);
  return !m_jobs.empty();
}
