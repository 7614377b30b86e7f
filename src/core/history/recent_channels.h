#ifndef VIDORA_CORE_HISTORY_RECENT_CHANNELS_H_
#define VIDORA_CORE_HISTORY_RECENT_CHANNELS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/stores/setting_keys.h"

namespace vidora {

// How many channels the recently watched list keeps.
inline constexpr size_t kRecentChannelsKept = 30;

// The recently watched channels' keys, newest first, each ended by U+001E.
inline constexpr TextSettingKey kRecentChannelsSetting{"RecentChannels", u""};

// The channels played last, by key, newest first and each key once, at
// most `capacity` of them. Keys of channels that are gone (a playlist
// removed for now) stay until newer plays push them out; whoever lists
// them skips what it cannot find. Not thread-safe.
class RecentChannels {
 public:
  explicit RecentChannels(size_t capacity = kRecentChannelsKept) : capacity_(capacity) {}

  // Puts `key` in front, taking it out of where it was; the oldest key
  // goes when the list is full. An empty key, or one with a U+001E or
  // U+001F in it (which the stored form cannot carry), is ignored and
  // false returned.
  bool Add(std::string_view key);
  const std::vector<std::string>& keys() const { return keys_; }

  // The stored form: every key followed by U+001E.
  std::string Encode() const;
  // Reads the stored form; empty records and repeats are dropped and at
  // most `capacity` keys kept. A text that was cut short still gives the
  // keys it holds.
  static RecentChannels Decode(std::string_view text, size_t capacity = kRecentChannelsKept);

 private:
  size_t capacity_;
  std::vector<std::string> keys_;
};

// The list in the process-wide settings (kRecentChannelsSetting).
RecentChannels LoadRecentChannels();
// Adds `key` in front of the stored list and stores it; the settings'
// autosave writes it out. UI thread only, like the settings.
void NoteChannelWatched(std::string_view key);

}  // namespace vidora

#endif  // VIDORA_CORE_HISTORY_RECENT_CHANNELS_H_
