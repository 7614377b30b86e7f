#ifndef VIDORA_CORE_NET_HTTP_LIMITS_H_
#define VIDORA_CORE_NET_HTTP_LIMITS_H_

#include <cstdint>

namespace vidora {

// What a request fetches; each kind has a total time-limit of its own.
enum class HttpRequestKind {
  kPage,           // a provider page or playlist, a cookie request
  kVersionFile,    // cupdate.dat, update.dat
  kCatalogueFile,  // Channels.vdch
  kGuideFile,      // an XMLTV programme guide, streamed to disk
};

// Bounds every HTTP operation keeps, so that a silent, trickling or hostile
// server can neither hang a caller for ever nor exhaust memory.
struct HttpLimits {
  // Longest wait for the connection to a server.
  long connect_timeout_seconds = 60;
  // Longest stretch without a single byte arriving, at any stage after the
  // connection (waiting for the answer included). The slow-transfer window
  // below bounds it too.
  long stall_timeout_seconds = 60;
  // A transfer that averages fewer than `min_bytes_per_second` over
  // `slow_window_seconds` fails: a trickle ends within the window.
  long min_bytes_per_second = 64;
  long slow_window_seconds = 15;
  // Total time-limits, whatever the data does.
  long page_total_seconds = 20;
  long version_total_seconds = 20;
  long catalogue_total_seconds = 180;
  // A 1 GB guide at a few MB/s; a trickle ends earlier (slow window).
  long guide_total_seconds = 1800;
  // Largest body DownloadToMemory accepts.
  uint32_t max_download_bytes = 64u << 20;
  // Largest guide download (streamed to disk, never held in memory).
  uint32_t max_guide_bytes = 1536u << 20;
  // Largest body FetchPageText accepts.
  uint32_t max_page_bytes = 4u << 20;
  // Largest version description: only its root's name is used.
  uint32_t max_version_bytes = 4096;

  // The total time-limit of `kind`.
  long TotalSeconds(HttpRequestKind kind) const;
  // The largest body of `kind`.
  uint32_t MaxBodyBytes(HttpRequestKind kind) const;
};

// The limits operations started from now on apply. Any thread.
HttpLimits CurrentHttpLimits();

// Replaces the limits (tests shorten them). Any thread; operations already
// running keep the limits they started with.
void SetHttpLimits(const HttpLimits& limits);

}  // namespace vidora

#endif  // VIDORA_CORE_NET_HTTP_LIMITS_H_
