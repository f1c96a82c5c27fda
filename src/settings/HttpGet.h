// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// One HTTP GET, the program's only way to the internet: the comet element
// list of the minor-planet centre and the small-body database. libcurl
// behind it; tests point it at a local server. A GET blocks its caller:
// the windows run it on a worker thread and keep processing events.

#include <atomic>
#include <memory>
#include <string>

namespace orb {

// What a GET brought back.
struct HttpAnswer {
  enum class Kind {
    kBody,          // an answer with a body: 2xx, and 3xx without a redirect
                    // to follow (the database's 300 "Multiple Choices")
    kHttpError,     // a status of 400 or more: `error` is "404 Not Found"
    kNetworkError,  // no answer: `error` is the network error's text
    kCancelled,     // `cancel` was set while the request ran
  };
  Kind kind = Kind::kNetworkError;
  long status = 0;         // the HTTP status of the last answer (0 without)
  std::string body;        // the body as received (kBody; also for errors)
  std::string error;       // kHttpError, kNetworkError: the error's text
  bool nameNotResolved = false;  // kNetworkError: the host name was not found
};

class HttpGet {
 public:
  virtual ~HttpGet() = default;
  // GETs `url` with the headers Accept "text/html, */*" and the User-Agent
  // of UserAgent(); redirects are followed, HTTPS certificates checked, a
  // request that makes no progress for the timeout is a network error. A
  // body cut off before its announced length is a network error. `cancel`
  // (may be null) is polled while the request runs.
  virtual HttpAnswer Get(const std::string& url, const std::atomic<bool>* cancel = nullptr) = 0;
};

// The libcurl client; `timeout_s` without progress ends a request.
std::unique_ptr<HttpGet> MakeCurlHttpGet(long timeout_s = 30);

// "Orbitello32/<version>": the program and its version.
std::string UserAgent();

}  // namespace orb
