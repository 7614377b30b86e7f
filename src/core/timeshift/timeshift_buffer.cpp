#include "core/timeshift/timeshift_buffer.h"

#include <algorithm>
#include <system_error>

#include "core/stores/app_paths.h"

namespace vidora {

std::filesystem::path TimeshiftFolder() { return CurrentAppPaths().cache_folder / "timeshift"; }

bool ClearTimeshiftFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  std::filesystem::create_directories(folder, error);
  return !error;
}

TimeshiftLimits FitTimeshiftToDisk(TimeshiftLimits limits, uint64_t free_bytes) {
  const int64_t free_megabytes = static_cast<int64_t>(std::min<uint64_t>(free_bytes >> 20, INT64_MAX));
  const int64_t room = free_megabytes - kTimeshiftDiskReserveMegabytes;
  limits.megabytes = std::min(limits.megabytes, room);
  if (limits.megabytes < kTimeshiftMinDiskMegabytes) limits.megabytes = 0;
  return limits;
}

std::vector<std::pair<std::string, std::string>> TimeshiftEngineOptions(const TimeshiftLimits& limits,
                                                                        const std::filesystem::path& folder) {
  const bool on_disk = limits.megabytes > 0;
  const int64_t megabytes = on_disk ? std::clamp<int64_t>(limits.megabytes, 16, 1 << 20) : kTimeshiftMemoryMegabytes;
  return {
      {"cache", "yes"},
      {"cache-on-disk", on_disk ? "yes" : "no"},
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
