#ifndef VIDORA_CORE_NET_CURL_TRANSFER_H_
#define VIDORA_CORE_NET_CURL_TRANSFER_H_

#include <atomic>
#include <functional>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/net/http_limits.h"

namespace vidora {

// What happens to the body of the final response.
enum class BodyMode {
  kKeepAll,          // every byte, zero bytes included
  kCutChunksAtZero,  // each delivered chunk only up to its first zero byte
  kStopAtFirstByte,  // the body is not read: the transfer ends with the final header block
};

// One blocking GET on its own libcurl easy handle. Never examines the
// status code. Safe to run on several threads at once.
struct HttpGetRequest {
  // Absolute address, already made fit for a URL (EncodeUrlText).
  std::string url;
  // Sent in the request line instead of the address's own path when not
  // empty, exactly as given. Used for the first request only, never for
  // the target of a redirect.
  std::string request_target;
  bool http_1_0 = false;
  bool follow_redirects = true;
  // False: straight to the server, whatever proxy the environment names.
  bool use_system_proxy = false;
  // Extra header lines, "Name:value", sent as given.
  std::vector<std::string> header_lines;
  BodyMode body_mode = BodyMode::kKeepAll;
  // A body beyond this many bytes ends the transfer as too large.
  uint32_t max_body_bytes = 0;
  // Chooses the total time-limit (HttpLimits::TotalSeconds).
  HttpRequestKind kind = HttpRequestKind::kPage;
  // When not 0: the whole transfer, connection included, ends after this
  // many milliseconds instead of the kind's limits (a quick probe).
  long timeout_ms = 0;
  // When it becomes true the transfer stops within about a second.
  const std::atomic<bool>* cancel = nullptr;
  // When set, the body goes here piece by piece instead of into the
  // result (big files stream to disk); returning false ends the transfer
  // as broken. Runs on the calling thread.
  std::function<bool(const char*, size_t)> sink;
};

struct HttpGetResult {
  // The easy handle could be created.
  bool opened = false;
  // ... and set up, and the transfer was attempted.
  bool started = false;
  // The header block of a final (not followed) response arrived.
  bool answered = false;
  // The transfer ended without any error (for kStopAtFirstByte: answered).
  bool complete = false;
  bool too_large = false;
  long status = 0;
  // libcurl's code for how the transfer ended (CURLE_OK is 0): tells a
  // refused connection from an unknown host or a time-out.
  int error = 0;
  // The address the final answer came from (after redirects), or empty.
  std::string final_url;
  std::string body;
  // The last response's header lines without their line ends, status line
  // excluded.
  std::vector<std::string> header_lines;
};

HttpGetResult PerformGet(const HttpGetRequest& request);

// `text` as UTF-8 with the bytes a URL cannot carry (blanks, control
// characters, bytes beyond ASCII and " < > \ ^ ` { | }) percent-encoded.
// Everything else, '%' included, stays as it is.
// curl's own encoders give other bytes, so they are not used here: its URL
// API (CURLU_URLENCODE) writes a query's blanks as '+', escapes a path's
// ';' and '=' and leaves " < > \ ^ ` { | } alone; curl_easy_escape escapes
// every reserved character ('/', ':', '?', ...).
std::string EncodeUrlText(std::u16string_view text);

// `text` with each byte for which `unfit` holds written as '%' and two
// upper-case hex digits; EncodeUrlText is this with its own choice.
std::string PercentEncode(std::string_view text, bool (*unfit)(unsigned char));

// The value of the first header line named `name` (case-insensitive), with
// the blanks around it removed; none when no line has that name.
std::optional<std::string> FindHeaderValue(const std::vector<std::string>& lines, std::string_view name);

}  // namespace vidora

#endif  // VIDORA_CORE_NET_CURL_TRANSFER_H_
