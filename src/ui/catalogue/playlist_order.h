#ifndef VIDORA_UI_CATALOGUE_PLAYLIST_ORDER_H_
#define VIDORA_UI_CATALOGUE_PLAYLIST_ORDER_H_

#include <QString>

#include <cstdint>
#include <vector>

namespace vidora {

class Channel;
class PlaylistManager;

// The groups of the playlist channels among `channels`, each once, in the
// order the playlist first names them (channels without a group add
// none). UI thread.
std::vector<QString> PlaylistGroups(const std::vector<Channel*>& channels, const PlaylistManager& playlists);

// Keeps the rows whose playlist group is `group` (with their name slots).
void KeepPlaylistGroup(const QString& group, const PlaylistManager& playlists, std::vector<Channel*>& rows,
                       std::vector<uint32_t>& name_slots);

// Puts the rows (with their name slots) in playlist order, playlist by
// playlist; channels of no playlist keep their place after them. Stable.
void SortInPlaylistOrder(const PlaylistManager& playlists, std::vector<Channel*>& rows,
                         std::vector<uint32_t>& name_slots);

}  // namespace vidora

#endif  // VIDORA_UI_CATALOGUE_PLAYLIST_ORDER_H_
