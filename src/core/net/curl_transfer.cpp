#include "core/net/curl_transfer.h"

#include <curl/curl.h>
#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include "core/document/text_codec.h"
#include "core/net/http_limits.h"

namespace vidora {
namespace {

// curl_global_init is not thread-safe and the first transfer may start on
// any thread.
bool EnsureCurlReady() {
  static std::once_flag once;
  static bool ready = false;
  std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ready;
}

struct TransferState {
  const HttpGetRequest* request = nullptr;
  HttpGetResult* result = nullptr;
  int status = 0;  // of the response whose headers are arriving
  bool headers_done = false;
  uint64_t body_bytes_received = 0;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* state = static_cast<TransferState*>(user);
  const size_t length = size * count;
  std::string_view line(data, length);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  try {
    if (line.substr(0, 5) == "HTTP/") {
      // A new response begins (after a 1xx answer or a followed redirect).
      state->headers_done = false;
      state->result->header_lines.clear();
      const size_t blank = line.find(' ');
      state->status = blank == std::string_view::npos ? 0 : std::atoi(std::string(line.substr(blank + 1, 3)).c_str());
    } else if (line.empty()) {
      // Only a final answer counts: an interim one or a redirect that will
      // be followed is passed over.
      const bool interim = state->status >= 100 && state->status < 200;
      // libcurl does not follow an empty Location: that answer is final.
      const std::optional<std::string> location = FindHeaderValue(state->result->header_lines, "Location");
      const bool followed = state->request->follow_redirects && state->status >= 300 && state->status < 400 &&
                            location.has_value() && !location->empty();
      state->headers_done = !interim && !followed;
      // A caller that only wants the headers has them now; waiting for the
      // first body byte could hold it until the stall time-out.
      if (state->headers_done && state->request->body_mode == BodyMode::kStopAtFirstByte) return 0;
    } else {
      state->result->header_lines.emplace_back(line);
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return length;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* state = static_cast<TransferState*>(user);
  const HttpGetRequest& request = *state->request;
  HttpGetResult& result = *state->result;
  const size_t length = size * count;
  if (request.body_mode == BodyMode::kStopAtFirstByte) return 0;
  size_t keep = length;
  if (request.body_mode == BodyMode::kCutChunksAtZero) {
    const void* zero = std::memchr(data, 0, length);
    if (zero != nullptr) keep = static_cast<size_t>(static_cast<const char*>(zero) - data);
  }
  // The bound counts what arrives, not what is kept: a binary answer where
  // a page was expected keeps next to nothing of each chunk and would
  // otherwise stream on for ever.
  state->body_bytes_received += length;
  if (state->body_bytes_received > request.max_body_bytes) {
    result.too_large = true;
    return 0;
  }
  if (request.sink) return request.sink(data, keep) ? length : 0;
  try {
    result.body.append(data, keep);
  } catch (const std::bad_alloc&) {
    result.too_large = true;
    return 0;
  }
  return length;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* state = static_cast<TransferState*>(user);
  const std::atomic<bool>* cancel = state->request->cancel;
  return cancel != nullptr && cancel->load() ? 1 : 0;
}

bool IsUnfitForUrl(unsigned char c) {
  return c <= 0x20 || c >= 0x7F || std::strchr("\"<>\\^`{|}", c) != nullptr;
}

}  // namespace

std::string EncodeUrlText(std::u16string_view text) { return PercentEncode(Utf16ToUtf8(text), IsUnfitForUrl); }

std::string PercentEncode(std::string_view text, bool (*unfit)(unsigned char)) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (unfit(byte)) {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0xF];
    } else {
      encoded += c;
    }
  }
  return encoded;
}

std::optional<std::string> FindHeaderValue(const std::vector<std::string>& lines, std::string_view name) {
  for (const std::string& line : lines) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos || colon != name.size()) continue;
    if (strncasecmp(line.data(), name.data(), name.size()) != 0) continue;
    return std::string(TrimBlanks(std::string_view(line).substr(colon + 1)));
  }
  return std::nullopt;
}

HttpGetResult PerformGet(const HttpGetRequest& request) {
  HttpGetResult result;
  if (!EnsureCurlReady()) return result;
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return result;
  result.opened = true;

  curl_slist* headers = nullptr;
  bool ready = true;
  for (const std::string& line : request.header_lines) {
    curl_slist* grown = curl_slist_append(headers, line.c_str());
    if (grown == nullptr) {
      ready = false;
      break;
    }
    headers = grown;
  }

  const HttpLimits limits = CurrentHttpLimits();
  TransferState state{&request, &result, false};
  auto set = [&ready](CURLcode code) { ready = ready && code == CURLE_OK; };
  set(curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str()));
  if (!request.request_target.empty()) {
    set(curl_easy_setopt(curl, CURLOPT_REQUEST_TARGET, request.request_target.c_str()));
  }
  set(curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L));
  set(curl_easy_setopt(curl, CURLOPT_HTTP_VERSION,
                       request.http_1_0 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1));
  set(curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers));
  set(curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, request.follow_redirects ? 1L : 0L));
  set(curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L));
  // Nothing but web traffic, also behind a redirect (no file:// or the like).
  set(curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https"));
  set(curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"));
  if (!request.use_system_proxy) set(curl_easy_setopt(curl, CURLOPT_PROXY, ""));
  // Signals cannot time out name look-ups safely with several threads.
  set(curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L));
  set(curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connect_timeout_seconds));
  // A silent server and a trickling one both fail within the window; the
  // total limit ends even a transfer that keeps just above the minimum.
  set(curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, std::max(1L, limits.min_bytes_per_second)));
  set(curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, std::min(limits.stall_timeout_seconds, limits.slow_window_seconds)));
  set(curl_easy_setopt(curl, CURLOPT_TIMEOUT, limits.TotalSeconds(request.kind)));
  if (request.timeout_ms > 0) {
    set(curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, request.timeout_ms));
    set(curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, request.timeout_ms));
  }
  set(curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &OnHeader));
  set(curl_easy_setopt(curl, CURLOPT_HEADERDATA, &state));
  set(curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnBody));
  set(curl_easy_setopt(curl, CURLOPT_WRITEDATA, &state));
  set(curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L));
  set(curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress));
  set(curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &state));

  if (ready) {
    result.started = true;
    const CURLcode code = curl_easy_perform(curl);
    result.error = static_cast<int>(code);
    result.answered = state.headers_done;
    if (request.body_mode == BodyMode::kStopAtFirstByte) {
      result.complete = result.answered;
    } else {
      result.complete = code == CURLE_OK && !result.too_large;
    }
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    const char* final_url = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &final_url) == CURLE_OK && final_url != nullptr) {
      try {
        result.final_url = final_url;
      } catch (const std::bad_alloc&) {
        result.final_url.clear();
      }
    }
  }
  curl_easy_cleanup(curl);
  curl_slist_free_all(headers);
  return result;
}

}  // namespace vidora
