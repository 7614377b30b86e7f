#ifndef VIDORA_CORE_PLAYLISTS_GUIDE_LOADER_H_
#define VIDORA_CORE_PLAYLISTS_GUIDE_LOADER_H_

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/playlists/programme_guide.h"
#include "core/playlists/xmltv_reader.h"

namespace vidora {

// A cached guide is fetched again after this long.
inline constexpr int64_t kGuideRefreshSeconds = 6 * 60 * 60;

struct GuideLoad {
  std::shared_ptr<ProgrammeGuide> guide;  // never null; may be empty
  // Addresses whose guide could be used, and the reasons of the others.
  size_t sources_read = 0;
  std::string failures;
};

// The guide file cached for `address` in `cache_folder`.
std::filesystem::path GuideCacheFile(const std::filesystem::path& cache_folder, std::u16string_view address);

// Splits a url-tvg value ("a.xml.gz,b.xml") into its addresses.
std::vector<std::u16string> SplitGuideAddresses(std::u16string_view text);

// Builds the guide of `request` from every address: a cached copy younger
// than kGuideRefreshSeconds is read as it is; otherwise, when `use_network`,
// the address is fetched (plain or gzip), and only a download that reads
// as XMLTV replaces the cached copy (a failed or damaged one keeps the old
// copy, which is then read). A local file path is read directly. Blocking:
// call it on a worker thread. `cancel` may be null.
GuideLoad LoadGuide(const std::vector<std::u16string>& addresses, const GuideRequest& request,
                    const std::filesystem::path& cache_folder, int64_t now, bool use_network,
                    const std::atomic<bool>* cancel = nullptr);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_GUIDE_LOADER_H_
