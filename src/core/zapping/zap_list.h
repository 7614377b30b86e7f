#ifndef VIDORA_CORE_ZAPPING_ZAP_LIST_H_
#define VIDORA_CORE_ZAPPING_ZAP_LIST_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vidora {

class Channel;

// The list a channel was played from (a playlist, a group, a country, the
// favourites, a search), in the order it was shown, with each channel's
// number: Page Up/Down step through it and typed digits find a number in
// it. Also the channel played before the current one (Backspace). The
// channels are borrowed from the catalogue: a list taken at one list
// version is dropped when the catalogue's list version changes. UI thread
// only.
class ZapList {
 public:
  // A channel's own number, or "" when it has none (its position in the
  // list, from 1, stands in). Asked only when a number is shown or typed,
  // so that taking a list of a million channels costs no lookups.
  using NumberSource = std::function<std::string(const Channel& channel)>;
  // Takes `channels` with where their numbers come from (may be empty:
  // every channel is numbered by its position).
  void Set(std::vector<Channel*> channels, NumberSource number_of, uint64_t list_version);
  void Clear();
  // Whether a list is held that is still valid at `list_version`.
  bool Holds(uint64_t list_version) const;

  // The channel after (or before) `current` in the list, wrapping; the
  // first (or last) when `current` is not in it; null without a list.
  Channel* Step(const Channel* current, bool forward) const;
  // The channel numbered `number`, or null.
  Channel* FindNumber(std::string_view number) const;
  // The number shown for `channel` ("" when not in the list).
  std::string NumberOf(const Channel* channel) const;

  // Call on every channel change: remembers the channel before it.
  void NotePlayed(const std::string& channel_key);
  const std::string& previous_key() const { return previous_key_; }

 private:
  // The place of `channel` in the list, channels_.size() when absent.
  size_t IndexOf(const Channel* channel) const;
  // The number shown for the channel at `index`.
  std::string NumberAt(size_t index) const;

  std::vector<Channel*> channels_;
  NumberSource number_of_;
  // Where the last Step landed: the next one usually starts there.
  mutable size_t hint_ = 0;
  uint64_t list_version_ = 0;
  bool held_ = false;
  std::string current_key_;
  std::string previous_key_;
};

// The player's one list.
ZapList& Zapping();

}  // namespace vidora

#endif  // VIDORA_CORE_ZAPPING_ZAP_LIST_H_
