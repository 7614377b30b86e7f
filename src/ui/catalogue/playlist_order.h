#ifndef VIDORA_UI_CATALOGUE_PLAYLIST_ORDER_H_
#define VIDORA_UI_CATALOGUE_PLAYLIST_ORDER_H_

#include <QString>

#include <cstdint>
#include <vector>

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
};

// The rows of `country` among `all` (the catalogue's AllChannels).
PlaylistRows MakePlaylistRows(const Country* country, const std::vector<Channel*>& all,
                              const PlaylistManager& playlists);

}  // namespace vidora

#endif  // VIDORA_UI_CATALOGUE_PLAYLIST_ORDER_H_
