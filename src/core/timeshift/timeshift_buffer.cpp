#include "core/timeshift/timeshift_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace vidora {

std::filesystem::path TimeshiftFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  std::filesystem::path base;
  if (cache != nullptr && *cache == '/') {
    base = cache;
  } else {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home != nullptr && *home != '\0' ? home : "/tmp") / ".cache";
  }
  return base / "vidora" / "timeshift";
}

bool ClearTimeshiftFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  std::filesystem::create_directories(folder, error);
  return !error;
}

std::vector<std::pair<std::string, std::string>> TimeshiftEngineOptions(const TimeshiftLimits& limits,
                                                                        const std::filesystem::path& folder) {
  const int64_t megabytes = std::clamp<int64_t>(limits.megabytes, 16, 1 << 20);
  return {
      {"cache", "yes"},
      {"cache-on-disk", "yes"},
      {"cache-dir", folder.string()},
      // A live stream's cache is seekable: pause and rewind stay inside it.
      {"demuxer-seekable-cache", "yes"},
      {"force-seekable", "yes"},
      // The time bound is kept by the seek bar, which offers no more than
      // `minutes` behind the live edge: the engine bounds bytes only.
      {"demuxer-max-back-bytes", std::to_string(megabytes) + "MiB"},
  };
}

}  // namespace vidora
