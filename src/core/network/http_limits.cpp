#include "core/network/http_limits.h"

#include <atomic>

namespace vidora {
namespace {

// Each field on its own atomic: a reader may mix an old and a new field
// while a test swaps the limits, which is harmless.
struct SharedLimits {
  std::atomic<long> connect_timeout_seconds{HttpLimits{}.connect_timeout_seconds};
  std::atomic<long> stall_timeout_seconds{HttpLimits{}.stall_timeout_seconds};
  std::atomic<uint32_t> max_download_bytes{HttpLimits{}.max_download_bytes};
  std::atomic<uint32_t> max_page_bytes{HttpLimits{}.max_page_bytes};
};

SharedLimits& Shared() {
  static SharedLimits limits;
  return limits;
}

}  // namespace

HttpLimits CurrentHttpLimits() {
  SharedLimits& shared = Shared();
  HttpLimits limits;
  limits.connect_timeout_seconds = shared.connect_timeout_seconds.load();
  limits.stall_timeout_seconds = shared.stall_timeout_seconds.load();
  limits.max_download_bytes = shared.max_download_bytes.load();
  limits.max_page_bytes = shared.max_page_bytes.load();
  return limits;
}

void SetHttpLimits(const HttpLimits& limits) {
  SharedLimits& shared = Shared();
  shared.connect_timeout_seconds.store(limits.connect_timeout_seconds);
  shared.stall_timeout_seconds.store(limits.stall_timeout_seconds);
  shared.max_download_bytes.store(limits.max_download_bytes);
  shared.max_page_bytes.store(limits.max_page_bytes);
}

}  // namespace vidora
