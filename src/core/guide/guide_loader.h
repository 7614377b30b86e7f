#ifndef VIDORA_CORE_GUIDE_GUIDE_LOADER_H_
#define VIDORA_CORE_GUIDE_GUIDE_LOADER_H_

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/guide/guide_store.h"

namespace vidora {

// A downloaded guide is fetched again after this long.
inline constexpr int64_t kGuideRefreshSeconds = 6 * 60 * 60;

// Where a guide load keeps its files.
struct GuideFolders {
  std::filesystem::path downloads;  // one XMLTV file per address
  std::filesystem::path cache;      // the binary guide of all sources, "guide.cache"
};

// One guide that could not be used, and why.
struct GuideFailure {
  std::string address;
  std::string reason;
};

struct GuideLoad {
  std::shared_ptr<const GuideStore> store;  // never null; may be empty
  size_t sources_read = 0;
  std::vector<GuideFailure> failures;
  bool from_cache = false;  // the guide cache was used, no XMLTV parsed
  uint64_t dropped_by_caps = 0;
};

// The downloaded copy of `address` in `folder`.
std::filesystem::path GuideDownloadFile(const std::filesystem::path& folder, std::u16string_view address);

// Splits a url-tvg value or the GuideAddress setting ("a.xml.gz, b.xml")
// into its addresses.
std::vector<std::u16string> SplitGuideAddresses(std::u16string_view text);

// The guide cache when it was written from exactly these sources as they
// are on disk now, less than a day ago; none otherwise (also when it is
// damaged: the next LoadGuide writes it anew). Reads no XMLTV and touches
// no network, so the start shows the guide at once. Any thread.
std::optional<GuideLoad> LoadCachedGuide(const std::vector<std::u16string>& addresses, const GuideFolders& folders,
                                         int64_t now);

// Turns a guide source of a scheme of its own (a provider account's,
// which holds no password) into the address it is downloaded from; none
// when it cannot (the load then names the source with `reason`). Called
// on the load's thread.
using GuideAddressResolver = std::optional<std::string> (*)(std::string_view source, std::string* reason);
// LoadGuide downloads sources that start with `scheme` (as "xtream:") from
// the address `resolver` gives, from now on. Any thread.
void SetGuideAddressResolver(std::string scheme, GuideAddressResolver resolver);

// Builds the guide of all `addresses`, merged in their order (a later
// source only fills gaps). A remote address whose copy is older than
// kGuideRefreshSeconds is fetched again when `use_network` (streamed to
// disk); a failed or damaged download keeps the previous copy, which is
// read after what the damaged one gave. A local path is read as it is,
// if it is a regular file. When nothing changed since the guide cache was
// written the cache is used; otherwise the cache is written anew. Each
// failure is listed once. Blocking: call it on a worker thread; `cancel`
// (may be null) ends it early.
GuideLoad LoadGuide(const std::vector<std::u16string>& addresses, const GuideFolders& folders, int64_t now,
                    bool use_network, const std::atomic<bool>* cancel = nullptr, GuideCaps caps = {});

}  // namespace vidora

#endif  // VIDORA_CORE_GUIDE_GUIDE_LOADER_H_
