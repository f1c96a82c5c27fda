// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/HttpGet.h"

#include <curl/curl.h>

#include <cstring>
#include <mutex>

#include "core/Version.h"

namespace orb {
namespace {

// An answer larger than this is refused (the comet list is about 1 MB).
constexpr std::size_t kMaxBodyBytes = 64u << 20;
// How often a running request looks at the cancel flag (milliseconds).
constexpr int kPollInterval_ms = 50;

// libcurl's global set-up, once per process and safe from any thread.
void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The reason phrase of a status when the answer gave none (HTTP/2 has none).
const char* StandardReason(long status) {
  switch (status) {
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 406: return "Not Acceptable";
    case 408: return "Request Timeout";
    case 410: return "Gone";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    default: return "";
  }
}

std::string TrimEnds(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

// What the callbacks of one transfer share.
struct Transfer {
  std::string body;
  std::string reason;  // reason phrase of the last status line
  bool tooLarge = false;
  const std::atomic<bool>* cancel = nullptr;

  bool Cancelled() const { return cancel != nullptr && cancel->load(); }
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  if (t->body.size() + n > kMaxBodyBytes) {
    t->tooLarge = true;
    return 0;  // ends the transfer with CURLE_WRITE_ERROR
  }
  t->body.append(data, n);
  return n;
}

// Keeps the reason phrase of each status line ("HTTP/1.1 404 Not Found");
// after a redirect the last answer's line counts.
std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  const std::string line(data, n);
  if (line.rfind("HTTP/", 0) == 0) {
    const std::size_t code = line.find(' ');
    const std::size_t text = code == std::string::npos ? std::string::npos : line.find(' ', code + 1);
    t->reason = text == std::string::npos ? std::string() : TrimEnds(line.substr(text + 1));
  }
  return n;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<Transfer*>(user)->Cancelled() ? 1 : 0;
}

struct EasyDeleter {
  void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct MultiDeleter {
  void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};
struct SlistDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

class CurlHttpGet final : public HttpGet {
 public:
  explicit CurlHttpGet(long timeout_s) : timeout_s_(timeout_s > 0 ? timeout_s : 30) { InitCurlOnce(); }

  HttpAnswer Get(const std::string& url, const std::atomic<bool>* cancel) override {
    HttpAnswer answer;
    Transfer t;
    t.cancel = cancel;
    if (t.Cancelled()) {
      answer.kind = HttpAnswer::Kind::kCancelled;
      return answer;
    }
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    std::unique_ptr<curl_slist, SlistDeleter> headers(curl_slist_append(nullptr, "Accept: text/html, */*"));
    if (!easy || !multi || !headers) {
      answer.error = "libcurl kann nicht gestartet werden";
      return answer;
    }
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const std::string agent = UserAgent();
    CURL* h = easy.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    // HTTP/1.1 answers carry the reason phrase of their status.
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, timeout_s_);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, timeout_s_);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &t);

    // The multi interface lets the loop look at the cancel flag between
    // short waits, also while no byte arrives.
    curl_multi_add_handle(multi.get(), h);
    CURLcode result = CURLE_OK;
    bool done = false;
    int running = 1;
    while (!done) {
      if (t.Cancelled()) {
        result = CURLE_ABORTED_BY_CALLBACK;
        break;
      }
      const CURLMcode mc = curl_multi_perform(multi.get(), &running);
      if (mc != CURLM_OK) {
        answer.error = curl_multi_strerror(mc);
        curl_multi_remove_handle(multi.get(), h);
        return answer;
      }
      int queued = 0;
      while (CURLMsg* msg = curl_multi_info_read(multi.get(), &queued)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == h) {
          result = msg->data.result;
          done = true;
        }
      }
      if (!done && running == 0) {
        result = CURLE_RECV_ERROR;  // not expected: the transfer ended without its report
        break;
      }
      if (!done) curl_multi_poll(multi.get(), nullptr, 0, kPollInterval_ms, nullptr);
    }
    curl_multi_remove_handle(multi.get(), h);

    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &answer.status);
    answer.body = std::move(t.body);
    if (result == CURLE_ABORTED_BY_CALLBACK || t.Cancelled()) {
      answer.kind = HttpAnswer::Kind::kCancelled;
      return answer;
    }
    if (result != CURLE_OK) {
      answer.kind = HttpAnswer::Kind::kNetworkError;
      answer.nameNotResolved = result == CURLE_COULDNT_RESOLVE_HOST || result == CURLE_COULDNT_RESOLVE_PROXY;
      if (t.tooLarge)
        answer.error = "Antwort größer als " + std::to_string(kMaxBodyBytes >> 20) + " MB";
      else
        answer.error = errorBuffer[0] != '\0' ? std::string(errorBuffer) : std::string(curl_easy_strerror(result));
      return answer;
    }
    if (answer.status >= 400) {
      answer.kind = HttpAnswer::Kind::kHttpError;
      const std::string reason = t.reason.empty() ? StandardReason(answer.status) : t.reason;
      answer.error = std::to_string(answer.status) + (reason.empty() ? "" : " " + reason);
      return answer;
    }
    answer.kind = HttpAnswer::Kind::kBody;
    return answer;
  }

 private:
  long timeout_s_;
};

}  // namespace

std::unique_ptr<HttpGet> MakeCurlHttpGet(long timeout_s) { return std::make_unique<CurlHttpGet>(timeout_s); }

std::string UserAgent() { return "Orbitello32/" + ProgramVersion(); }

}  // namespace orb
