#ifndef VIDORA_CORE_PLAYLISTS_PLAYLIST_CHANNEL_RECORD_H_
#define VIDORA_CORE_PLAYLISTS_PLAYLIST_CHANNEL_RECORD_H_

#include <array>
#include <cstdint>
#include <string_view>

#include "core/catalogue/catalogue_arena.h"

namespace vidora {

struct PlaylistChannelInfo;

// What a playlist adds to one channel, kept as one record in an arena:
// the lengths as variable-length numbers, then the texts back to back.
// One pointer a channel finds it, where a struct of views takes 184 bytes
// whether its texts are there or not (most are empty). Records are never
// changed once made.
class PlaylistChannelRecord {
 public:
  // The texts of a record, UTF-16 ones first.
  static constexpr size_t kWideFields = 5;    // logo, agent, referrer, cookie, group
  static constexpr size_t kNarrowFields = 7;  // node name, then PlaylistChannelInfo's narrow texts
  using WideTexts = std::array<std::u16string_view, kWideFields>;
  using NarrowTexts = std::array<std::string_view, kNarrowFields>;

  PlaylistChannelRecord() = default;
  // A record of `position` and the texts, copied into `arena` (in the
  // order of the fields of PlaylistChannelInfo; the node name first of the
  // narrow ones).
  static PlaylistChannelRecord Make(uint32_t position, const WideTexts& wide, const NarrowTexts& narrow,
                                    CatalogueArena& arena);

  bool empty() const { return at_ == nullptr; }
  // The channel's node name in its playlist.
  std::string_view name() const;
  // The views it gives live as long as the arena.
  PlaylistChannelInfo info() const;

 private:
  explicit PlaylistChannelRecord(const uint8_t* at) : at_(at) {}
  const uint8_t* at_ = nullptr;
};

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_PLAYLIST_CHANNEL_RECORD_H_
