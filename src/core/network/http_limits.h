#ifndef VIDORA_CORE_NETWORK_HTTP_LIMITS_H_
#define VIDORA_CORE_NETWORK_HTTP_LIMITS_H_

#include <cstdint>

namespace vidora {

// Bounds every HTTP operation keeps, so that a silent or hostile server can
// neither hang a caller for ever nor exhaust memory.
struct HttpLimits {
  // Longest wait for the connection to a server.
  long connect_timeout_seconds = 60;
  // Longest stretch without a single byte arriving, at any stage after the
  // connection (waiting for the answer included).
  long stall_timeout_seconds = 60;
  // Largest body DownloadToMemory accepts.
  uint32_t max_download_bytes = 64u << 20;
  // Largest body FetchPageText accepts.
  uint32_t max_page_bytes = 4u << 20;
};

// The limits operations started from now on apply. Any thread.
HttpLimits CurrentHttpLimits();

// Replaces the limits (tests shorten them). Any thread; operations already
// running keep the limits they started with.
void SetHttpLimits(const HttpLimits& limits);

}  // namespace vidora

#endif  // VIDORA_CORE_NETWORK_HTTP_LIMITS_H_
