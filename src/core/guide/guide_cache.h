#ifndef VIDORA_CORE_GUIDE_GUIDE_CACHE_H_
#define VIDORA_CORE_GUIDE_GUIDE_CACHE_H_

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/guide/guide_store.h"

namespace vidora {

// The file a guide source's XMLTV was read from when the cache was
// written, so a later start can tell whether it must be read again.
struct GuideSourceStamp {
  std::string address;
  uint64_t size = 0;
  int64_t modified = 0;  // seconds since 1970
  bool operator==(const GuideSourceStamp&) const = default;
};

struct GuideCacheContent {
  std::vector<GuideSourceStamp> sources;
  int64_t written_at = 0;       // the reading time the store's window was cut at
  std::shared_ptr<GuideStore> store;  // finished
};

// Writes a finished store as the binary guide cache `path` (atomically:
// the old file stays until the new one is complete). False when it could
// not be written.
bool WriteGuideCache(const std::filesystem::path& path, const GuideStore& store,
                     const std::vector<GuideSourceStamp>& sources, int64_t written_at);

// Reads a guide cache without parsing any XMLTV. None, with `reason` (may
// be null), when the file is missing, of another version, cut off or
// damaged (a checksum, a reference out of range, programmes out of order):
// the caller then reads the sources again and writes a new cache.
std::optional<GuideCacheContent> ReadGuideCache(const std::filesystem::path& path, std::string* reason = nullptr);
// The same from bytes in memory.
std::optional<GuideCacheContent> ReadGuideCacheBytes(std::string_view bytes, std::string* reason = nullptr);

}  // namespace vidora

#endif  // VIDORA_CORE_GUIDE_GUIDE_CACHE_H_
