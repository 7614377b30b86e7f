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

// "timeshift" in the player's cache folder (beside the executable in a
// portable copy, $XDG_CACHE_HOME/vidora installed): where the engine keeps
// the buffer's bytes, so that an hour of a channel does not live in
// memory. Any thread, once the app paths are set.
std::filesystem::path TimeshiftFolder();

// Removes what an earlier run left in `folder` (called at start and on
// exit); creates it. Returns false when it cannot be made.
bool ClearTimeshiftFolder(const std::filesystem::path& folder);

// The engine options that keep a back buffer of `limits` on disk in
// `folder`, seekable also for a live stream. The reconnect after a drop
// loads the same stream again and the cache it keeps stays.
std::vector<std::pair<std::string, std::string>> TimeshiftEngineOptions(const TimeshiftLimits& limits,
                                                                        const std::filesystem::path& folder);

}  // namespace vidora

#endif  // VIDORA_CORE_TIMESHIFT_TIMESHIFT_BUFFER_H_
