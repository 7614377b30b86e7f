#ifndef VIDORA_CORE_TIMESHIFT_TIMESHIFT_BUFFER_H_
#define VIDORA_CORE_TIMESHIFT_TIMESHIFT_BUFFER_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vidora {

// How much of a live channel is kept to pause and rewind: whichever of
// the two bounds comes first.
struct TimeshiftLimits {
  int minutes = 60;
  int64_t megabytes = 2048;
};

// What the back buffer leaves free on its disk for everything else: below
// it the buffer is smaller, or leaves the disk.
inline constexpr int64_t kTimeshiftDiskReserveMegabytes = 512;
// A buffer on disk smaller than this is not worth it: the engine then
// keeps kTimeshiftMemoryMegabytes in memory instead.
inline constexpr int64_t kTimeshiftMinDiskMegabytes = 64;
inline constexpr int64_t kTimeshiftMemoryMegabytes = 32;

// `limits` with the buffer's bytes lowered to what `free_bytes` on its
// disk allows beside the reserve; megabytes 0 means no room on disk (the
// buffer is then kept in memory, small).
TimeshiftLimits FitTimeshiftToDisk(TimeshiftLimits limits, uint64_t free_bytes);

// "timeshift" in the player's cache folder (beside the executable in a
// portable copy, $XDG_CACHE_HOME/vidora installed): where the engine keeps
// the buffer's bytes, so that an hour of a channel does not live in
// memory. Any thread, once the app paths are set.
std::filesystem::path TimeshiftFolder();

// Removes what an earlier run left in `folder` (called at start and on
// exit); creates it. Returns false when it cannot be made.
bool ClearTimeshiftFolder(const std::filesystem::path& folder);

// The engine options that keep a back buffer of `limits` on disk in
// `folder` (megabytes 0: kTimeshiftMemoryMegabytes in memory), seekable
// also for a live stream. The engine only appends to its file on disk and
// deletes it when the stream closes, so the file outgrows the buffer on a
// long watch: TimeshiftDiskWatch looks after the disk. The reconnect after a drop
// loads the same stream again and the cache it keeps stays.
std::vector<std::pair<std::string, std::string>> TimeshiftEngineOptions(const TimeshiftLimits& limits,
                                                                        const std::filesystem::path& folder);

}  // namespace vidora

#endif  // VIDORA_CORE_TIMESHIFT_TIMESHIFT_BUFFER_H_
