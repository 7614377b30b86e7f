#include "core/playlists/playlist_paths.h"

#include "core/stores/app_paths.h"

namespace vidora {
namespace {

// The one place that decides where playlist data lives: with the other
// data the player writes (beside the executable in a build tree or a
// portable copy, the XDG folders when installed).
std::filesystem::path DataRoot() { return CurrentAppPaths().user_data_folder; }
std::filesystem::path CacheRoot() { return CurrentAppPaths().cache_folder; }

}  // namespace

std::filesystem::path PlaylistFolder() { return JoinPath(DataRoot(), "playlists"); }
std::filesystem::path LogoCacheFolder() { return JoinPath(CacheRoot(), "logos"); }
std::filesystem::path GuideCacheFolder() { return JoinPath(CacheRoot(), "guides"); }

}  // namespace vidora
