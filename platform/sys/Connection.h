// The connection test: can a server be reached at an address right now.
#pragma once

#include <chrono>
#include <string>

// Sends a HEAD request to `url` (http, https or file) and tells whether an answer came
// within `timeout`. Any answer of a server counts, an error status included: the question
// is whether a connection exists, not whether the page does. Proxies set in the
// environment are used as usual.
bool ConnectionCheck(const std::string& url,
                     std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
