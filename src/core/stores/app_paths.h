#ifndef VIDORA_CORE_STORES_APP_PATHS_H_
#define VIDORA_CORE_STORES_APP_PATHS_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vidora {

// The folder of the running executable (from /proc/self/exe), computed on
// first use and cached for the life of the process.
const std::filesystem::path& AppFolderPath();

// Joins `a` and `b` with exactly one "/" at the seam; `a` alone when `b`
// is empty.
std::filesystem::path JoinPath(const std::filesystem::path& a, const std::filesystem::path& b);

// The shipped file whose presence beside the executable marks a build tree
// or a portable copy.
inline constexpr char kShippedDataMarker[] = "Languages.lngp";

// Where the player finds its shipped data and keeps what it writes.
struct AppPaths {
  // Searched in this order for a shipped data file (Languages.lngp,
  // Resources.qdoc, cbuild.qdoc, Channels.vdch); never empty.
  std::vector<std::filesystem::path> data_folders;
  // Settings.cfg lives here.
  std::filesystem::path config_folder;
  // A downloaded catalogue and imported playlists live here.
  std::filesystem::path user_data_folder;
  // Fetched logos and programme guides are cached here.
  std::filesystem::path cache_folder;
  // True when everything stays beside the executable.
  bool portable = true;
};

// Everything in `folder`: the layout of a build tree or a portable copy.
AppPaths PortableAppPaths(const std::filesystem::path& folder);

// The layout for an executable in `app_folder`. With the shipped data
// beside it (kShippedDataMarker) in a folder this process may write, it is
// PortableAppPaths(app_folder). Otherwise the player is installed: shipped
// data is searched beside the executable, then in each of
// `installed_data_folders`; Settings.cfg goes to `config_home`/vidora and a
// downloaded catalogue to `data_home`/vidora (the XDG base folders).
AppPaths ResolveAppPaths(const std::filesystem::path& app_folder,
                         const std::vector<std::filesystem::path>& installed_data_folders,
                         const std::filesystem::path& config_home, const std::filesystem::path& data_home);

// Makes `paths` the process's layout. Called once at start-up, before any
// file is loaded; UI thread. Until then the layout is
// PortableAppPaths(AppFolderPath()).
void SetAppPaths(AppPaths paths);
const AppPaths& CurrentAppPaths();

// The shipped data file `name`: in the first data folder that holds it,
// else in the first data folder (where a missing file is then reported).
std::filesystem::path ShippedDataFile(std::string_view name);
// `name` in the settings folder.
std::filesystem::path ConfigFile(std::string_view name);
// `name` in the folder of downloaded data.
std::filesystem::path UserDataFile(std::string_view name);
// `name` in the cache folder.
std::filesystem::path CacheFile(std::string_view name);

// Why no file can be saved at `path`: its folder cannot be made (it is
// then made when missing, as a save would) or this process may not write
// it. Empty when a save can be tried. Any thread.
std::string FolderWriteProblem(const std::filesystem::path& path);

// Why a file could not be written at `path`, in words for the user (the
// system's error text): FolderWriteProblem, else a full disk, else a plain
// input/output error. Any thread.
std::string DescribeWriteFailure(const std::filesystem::path& path);

// Free bytes for an unprivileged writer on the file system holding
// `path`; UINT64_MAX when that cannot be told. Any thread; a system call
// that may wait on a network file system.
uint64_t FreeBytesAt(const std::filesystem::path& path);

}  // namespace vidora

#endif  // VIDORA_CORE_STORES_APP_PATHS_H_
