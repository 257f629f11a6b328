// The connection test with libcurl.
#include "platform/sys/Connection.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

static void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool ConnectionCheck(const std::string& url, std::chrono::milliseconds timeout) {
  InitCurlOnce();
  const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) return false;
  const long ms = static_cast<long>(timeout.count() > 0 ? timeout.count() : 1);
  CURL* h = curl.get();
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, ms);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, ms);
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https,file");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
  return curl_easy_perform(h) == CURLE_OK;
}
