#include "core/net/http_limits.h"

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
  std::atomic<long> min_bytes_per_second{HttpLimits{}.min_bytes_per_second};
  std::atomic<long> slow_window_seconds{HttpLimits{}.slow_window_seconds};
  std::atomic<long> page_total_seconds{HttpLimits{}.page_total_seconds};
  std::atomic<long> version_total_seconds{HttpLimits{}.version_total_seconds};
  std::atomic<long> catalogue_total_seconds{HttpLimits{}.catalogue_total_seconds};
  std::atomic<uint32_t> max_version_bytes{HttpLimits{}.max_version_bytes};
  std::atomic<long> guide_total_seconds{HttpLimits{}.guide_total_seconds};
  std::atomic<uint32_t> max_guide_bytes{HttpLimits{}.max_guide_bytes};
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
  limits.min_bytes_per_second = shared.min_bytes_per_second.load();
  limits.slow_window_seconds = shared.slow_window_seconds.load();
  limits.page_total_seconds = shared.page_total_seconds.load();
  limits.version_total_seconds = shared.version_total_seconds.load();
  limits.catalogue_total_seconds = shared.catalogue_total_seconds.load();
  limits.max_version_bytes = shared.max_version_bytes.load();
  limits.guide_total_seconds = shared.guide_total_seconds.load();
  limits.max_guide_bytes = shared.max_guide_bytes.load();
  return limits;
}

void SetHttpLimits(const HttpLimits& limits) {
  SharedLimits& shared = Shared();
  shared.connect_timeout_seconds.store(limits.connect_timeout_seconds);
  shared.stall_timeout_seconds.store(limits.stall_timeout_seconds);
  shared.max_download_bytes.store(limits.max_download_bytes);
  shared.max_page_bytes.store(limits.max_page_bytes);
  shared.min_bytes_per_second.store(limits.min_bytes_per_second);
  shared.slow_window_seconds.store(limits.slow_window_seconds);
  shared.page_total_seconds.store(limits.page_total_seconds);
  shared.version_total_seconds.store(limits.version_total_seconds);
  shared.catalogue_total_seconds.store(limits.catalogue_total_seconds);
  shared.max_version_bytes.store(limits.max_version_bytes);
  shared.guide_total_seconds.store(limits.guide_total_seconds);
  shared.max_guide_bytes.store(limits.max_guide_bytes);
}

long HttpLimits::TotalSeconds(HttpRequestKind kind) const {
  switch (kind) {
    case HttpRequestKind::kVersionFile:
      return version_total_seconds;
    case HttpRequestKind::kCatalogueFile:
      return catalogue_total_seconds;
    case HttpRequestKind::kGuideFile:
      return guide_total_seconds;
    case HttpRequestKind::kPage:
    default:
      return page_total_seconds;
  }
}

uint32_t HttpLimits::MaxBodyBytes(HttpRequestKind kind) const {
  switch (kind) {
    case HttpRequestKind::kVersionFile:
      return max_version_bytes;
    case HttpRequestKind::kCatalogueFile:
      return max_download_bytes;
    case HttpRequestKind::kGuideFile:
      return max_guide_bytes;
    case HttpRequestKind::kPage:
    default:
      return max_page_bytes;
  }
}

}  // namespace vidora
