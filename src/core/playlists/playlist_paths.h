#ifndef VIDORA_CORE_PLAYLISTS_PLAYLIST_PATHS_H_
#define VIDORA_CORE_PLAYLISTS_PLAYLIST_PATHS_H_

#include <filesystem>

namespace vidora {

// Where imported playlists are kept (one catalogue file each).
std::filesystem::path PlaylistFolder();

// Where fetched channel logos and programme guides are cached.
std::filesystem::path LogoCacheFolder();
std::filesystem::path GuideCacheFolder();

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_PLAYLIST_PATHS_H_
