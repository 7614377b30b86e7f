#ifndef VIDORA_CORE_PLAYLISTS_PLAYLIST_CHANNEL_RECORD_H_
#define VIDORA_CORE_PLAYLISTS_PLAYLIST_CHANNEL_RECORD_H_

#include <array>
#include <cstdint>
#include <string_view>

#include "core/catalogue/catalogue_arena.h"

namespace vidora {

struct PlaylistChannelInfo;

// What a playlist adds to one channel, kept as one record in an arena:
// the lengths as variable-length numbers, then the texts (UTF-8) back to
// back. One pointer a channel finds it, where a struct of views takes 184
// bytes whether its texts are there or not (most are empty). A tvg-id
// that the node name already holds ("i" + tvg-id) is not kept twice.
// Records are never changed once made.
class PlaylistChannelRecord {
 public:
  // The node name, then PlaylistChannelInfo's texts in the order of its
  // fields.
  static constexpr size_t kFields = 11;
  using Texts = std::array<std::string_view, kFields>;

  PlaylistChannelRecord() = default;
  // A record of `position` and the texts, copied into `arena`.
  static PlaylistChannelRecord Make(uint32_t position, Texts texts, CatalogueArena& arena);

  bool empty() const { return at_ == nullptr; }
  // The channel's node name in its playlist.
  std::string_view name() const;
  // The channel's place in its playlist (PlaylistChannelInfo::position).
  uint32_t position() const;
  // The views it gives live as long as the arena.
  PlaylistChannelInfo info() const;

 private:
  explicit PlaylistChannelRecord(const uint8_t* at) : at_(at) {}
  const uint8_t* at_ = nullptr;
};

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_PLAYLIST_CHANNEL_RECORD_H_
