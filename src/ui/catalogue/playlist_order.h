#ifndef VIDORA_UI_CATALOGUE_PLAYLIST_ORDER_H_
#define VIDORA_UI_CATALOGUE_PLAYLIST_ORDER_H_

#include <QString>

#include <cstdint>
#include <vector>

#include "core/playlists/playlist_sort.h"

namespace vidora {

class Channel;
class Country;
class PlaylistManager;

// The channels of one playlist (a country of the catalogue) in playlist
// order, each with its group, made once when the playlist is chosen so
// that a filter change only walks this list. Views the catalogue's
// channels: valid while the catalogue is not rebuilt. UI thread.
struct PlaylistRows {
  const Country* country = nullptr;
  std::vector<Channel*> channels;
  std::vector<uint32_t> name_slots;  // each channel's place in AllChannels
  std::vector<int> group_of;         // index into `groups`, -1 for none
  std::vector<QString> groups;       // in the order the playlist first names them
  // Row positions by name and by number, made when first asked for.
  std::vector<uint32_t> by_name;
  std::vector<uint32_t> by_number;
};

// The rows of `country` among `all` (the catalogue's AllChannels).
PlaylistRows MakePlaylistRows(const Country* country, const std::vector<Channel*>& all,
                              const PlaylistManager& playlists);

// The positions of `rows`' channels in the order `sort` lists them: for
// kPlaylistOrder none (empty: the rows' own order); by name with the
// interface language's collation, numbers within names counted ("Channel
// 9" before "Channel 10"); by channel number (ChannelNumberLess). Equal
// keys keep the playlist's order. Made on first use and kept in `rows`.
const std::vector<uint32_t>& SortedRows(PlaylistRows& rows, PlaylistSort sort, const PlaylistManager& playlists);

}  // namespace vidora

#endif  // VIDORA_UI_CATALOGUE_PLAYLIST_ORDER_H_
