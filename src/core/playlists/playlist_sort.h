#ifndef VIDORA_CORE_PLAYLISTS_PLAYLIST_SORT_H_
#define VIDORA_CORE_PLAYLISTS_PLAYLIST_SORT_H_

#include <string_view>

namespace vidora {

// How the channels of one playlist (or provider account) are listed. The
// values are stored: never renumber them.
enum class PlaylistSort {
  kPlaylistOrder = 0,  // as the playlist lists them (the default)
  kName = 1,           // by name, in the interface language's collation
  kNumber = 2,         // by channel number (tvg-chno, else the position)
};

// The sort chosen for the playlist `key`, kept in the settings across
// restarts; kPlaylistOrder when none was chosen or the stored value is
// not one of the above. UI thread (reads the process-wide settings).
PlaylistSort StoredPlaylistSort(std::string_view key);
// Remembers `sort` for the playlist `key` (kPlaylistOrder forgets the
// choice, so the setting holds only playlists sorted otherwise). UI thread.
void StorePlaylistSort(std::string_view key, PlaylistSort sort);

// Channel numbers in counting order: runs of digits compare as numbers
// ("9" < "10", "007" == "7"), anything else byte by byte, so "2.1" comes
// after "2" and before "3". A strict weak order; any thread.
bool ChannelNumberLess(std::string_view a, std::string_view b);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_PLAYLIST_SORT_H_
