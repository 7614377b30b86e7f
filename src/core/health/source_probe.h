#ifndef VIDORA_CORE_HEALTH_SOURCE_PROBE_H_
#define VIDORA_CORE_HEALTH_SOURCE_PROBE_H_

#include <atomic>
#include <string>
#include <string_view>

#include "core/health/source_check.h"

namespace vidora {

// A stream answers once this many bytes arrived (a tenth of a second of a
// low-rate radio stream): a server that sends its headers and then
// trickles a byte now and then does not count as live.
inline constexpr size_t kProbeStreamBytes = 2048;
// Largest HLS playlist read while probing.
inline constexpr size_t kProbePlaylistBytes = 1u << 20;

// One source to probe: its web address (UTF-8, fit for a URL) and the
// request headers its playlist gives it (empty: none sent).
struct ProbeRequest {
  std::string url;
  std::string user_agent;
  std::string referrer;
  std::string cookie;
  // The whole probe, every request of it, ends after this long.
  long budget_ms = 5000;
  // Raised: the probe ends within about a second (its result is then kUnknown).
  const std::atomic<bool>* cancel = nullptr;
};

// Asks the source whether it plays: a stream (MPEG-TS, ICY, any other
// bytes) answers when its first kProbeStreamBytes arrive with a success
// status; an HLS playlist (told by its content) answers when it lists a
// segment (through the first variant of a master playlist) and that
// segment's first bytes arrive. Blocking, on a connection of its own that
// is closed when it returns; any thread. The result's checked_at is 0.
SourceCheck ProbeSource(const ProbeRequest& request);

// The host of a web address, lower-case, without user, port or brackets;
// empty when it has none. Probes of one host share its connection limit.
std::string ProbeHostOf(std::string_view url);

}  // namespace vidora

#endif  // VIDORA_CORE_HEALTH_SOURCE_PROBE_H_
