#include "core/playlists/playlist_paths.h"

#include "core/stores/app_paths.h"

namespace vidora {
namespace {

// The one place that decides where playlist data lives: beside the
// executable, like every other data file.
std::filesystem::path DataRoot() { return AppFolderPath(); }
std::filesystem::path CacheRoot() { return JoinPath(AppFolderPath(), "cache"); }

}  // namespace

std::filesystem::path PlaylistFolder() { return JoinPath(DataRoot(), "playlists"); }
std::filesystem::path LogoCacheFolder() { return JoinPath(CacheRoot(), "logos"); }
std::filesystem::path GuideCacheFolder() { return JoinPath(CacheRoot(), "guides"); }

}  // namespace vidora
