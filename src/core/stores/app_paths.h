#ifndef VIDORA_CORE_STORES_APP_PATHS_H_
#define VIDORA_CORE_STORES_APP_PATHS_H_

#include <filesystem>

namespace vidora {

// The folder of the running executable (from /proc/self/exe), computed on
// first use and cached for the life of the process. Every data file and
// Settings.cfg live there.
const std::filesystem::path& AppFolderPath();

// Joins `a` and `b` with exactly one "/" at the seam; `a` alone when `b`
// is empty.
std::filesystem::path JoinPath(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace vidora

#endif  // VIDORA_CORE_STORES_APP_PATHS_H_
