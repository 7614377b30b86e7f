#include "core/guide/guide_loader.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <system_error>

#include "core/document/atomic_file.h"
#include "core/document/text_codec.h"
#include "core/guide/guide_cache.h"
#include "core/guide/xmltv_reader.h"
#include "core/net/http_client.h"
#include "core/playlists/playlist_document.h"
#include "core/playlists/playlist_import.h"

namespace vidora {
namespace {

constexpr char16_t kGuideAgent[] = u"Vidora";

std::filesystem::path LocalPath(std::u16string_view address) {
  std::u16string path(address);
  if (path.starts_with(u"file://")) path.erase(0, 7);
  return std::filesystem::path(Utf16ToUtf8(path));
}

// Size and change time of the file a source is read from; none when it
// does not exist.
std::optional<GuideSourceStamp> StampOf(const std::string& address, const std::filesystem::path& file) {
  std::error_code error;
  const auto size = std::filesystem::file_size(file, error);
  if (error) return std::nullopt;
  const auto written = std::filesystem::last_write_time(file, error);
  if (error) return std::nullopt;
  const auto system = std::chrono::file_clock::to_sys(written);
  GuideSourceStamp stamp;
  stamp.address = address;
  stamp.size = size;
  stamp.modified = std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
  return stamp;
}

std::filesystem::path SourceFile(std::u16string_view address, const GuideFolders& folders) {
  return IsRemotePlaylistSource(address) ? GuideDownloadFile(folders.downloads, address) : LocalPath(address);
}

bool DueForDownload(std::u16string_view address, const GuideFolders& folders, int64_t now) {
  if (!IsRemotePlaylistSource(address)) return false;
  const std::optional<GuideSourceStamp> stamp = StampOf({}, GuideDownloadFile(folders.downloads, address));
  return !stamp || now - stamp->modified >= kGuideRefreshSeconds;
}

// What downloads cut off by a kill left beside `file`, removed once per
// run, before this process downloads it (later loads may overlap).
void RemoveStaleDownloadsOnce(const std::filesystem::path& file) {
  static std::mutex mutex;
  static std::set<std::filesystem::path> cleaned;
  std::lock_guard<std::mutex> lock(mutex);
  if (cleaned.insert(file).second) RemoveStaleTemporaryFiles(file);
}

struct GuideResolvers {
  std::mutex mutex;
  std::map<std::string, GuideAddressResolver, std::less<>> by_scheme;
};

GuideResolvers& Resolvers() {
  static GuideResolvers resolvers;
  return resolvers;
}

// The address `source` is downloaded from: itself, or what the resolver
// of its scheme makes of it (none, with `reason`, when it cannot).
std::optional<std::u16string> DownloadAddress(std::u16string_view source, std::string& reason) {
  const std::string text = Utf16ToUtf8(source);
  GuideAddressResolver resolver = nullptr;
  {
    GuideResolvers& resolvers = Resolvers();
    std::lock_guard<std::mutex> lock(resolvers.mutex);
    for (const auto& [scheme, candidate] : resolvers.by_scheme) {
      if (text.starts_with(scheme)) resolver = candidate;
    }
  }
  if (resolver == nullptr) return std::u16string(source);
  std::optional<std::string> address = resolver(text, &reason);
  if (!address) return std::nullopt;
  return Utf8ToUtf16(*address);
}

std::vector<GuideSourceStamp> Stamps(const std::vector<std::u16string>& addresses, const GuideFolders& folders) {
  std::vector<GuideSourceStamp> stamps;
  for (const std::u16string& address : addresses) {
    const std::string text = Utf16ToUtf8(address);
    stamps.push_back(StampOf(text, SourceFile(address, folders)).value_or(GuideSourceStamp{text, 0, 0}));
  }
  return stamps;
}

}  // namespace

std::filesystem::path GuideDownloadFile(const std::filesystem::path& folder, std::u16string_view address) {
  // The playlist key's hash names the file: one copy per address.
  std::string name("g");
  name += PlaylistKey(address).substr(2);
  name += ".xmltv";
  return folder / name;
}

void SetGuideAddressResolver(std::string scheme, GuideAddressResolver resolver) {
  GuideResolvers& resolvers = Resolvers();
  std::lock_guard<std::mutex> lock(resolvers.mutex);
  resolvers.by_scheme[std::move(scheme)] = resolver;
}

std::vector<std::u16string> SplitGuideAddresses(std::u16string_view text) {
  std::vector<std::u16string> addresses;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find(u',', at);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view part = text.substr(at, end - at);
    while (!part.empty() && (part.front() == u' ' || part.front() == u'\t')) part.remove_prefix(1);
    while (!part.empty() && (part.back() == u' ' || part.back() == u'\t')) part.remove_suffix(1);
    if (!part.empty()) addresses.emplace_back(part);
    at = end + 1;
  }
  return addresses;
}

std::optional<GuideLoad> LoadCachedGuide(const std::vector<std::u16string>& addresses, const GuideFolders& folders,
                                         int64_t now) {
  std::optional<GuideCacheContent> cached = ReadGuideCache(folders.cache);
  // A cache cut at another day would lose the days since then.
  if (!cached || cached->sources != Stamps(addresses, folders) || now - cached->written_at >= 86400) return std::nullopt;
  GuideLoad load;
  load.store = std::move(cached->store);
  load.sources_read = addresses.size();
  load.from_cache = true;
  return load;
}

GuideLoad LoadGuide(const std::vector<std::u16string>& addresses, const GuideFolders& folders, int64_t now,
                    bool use_network, const std::atomic<bool>* cancel, GuideCaps caps) {
  const bool any_due = use_network && [&] {
    for (const std::u16string& address : addresses) {
      if (DueForDownload(address, folders, now)) return true;
    }
    return false;
  }();
  if (!any_due) {
    // Nothing to fetch: the cache holds the guide unless a file changed.
    if (std::optional<GuideLoad> cached = LoadCachedGuide(addresses, folders, now)) return std::move(*cached);
  }
  GuideLoad load;
  auto store = std::make_shared<GuideStore>(caps);
  auto fail = [&load](std::u16string_view address, std::string reason) {
    load.failures.push_back({Utf16ToUtf8(address), std::move(reason)});
  };
  std::error_code ignored;
  for (const std::u16string& address : addresses) {
    if (cancel != nullptr && cancel->load()) break;
    const std::filesystem::path file = SourceFile(address, folders);
    if (use_network && DueForDownload(address, folders, now)) {
      std::filesystem::create_directories(folders.downloads, ignored);
      // Named as atomic saves name theirs, so what a kill leaves is
      // removed at the next load; unique, as two loads may overlap.
      static std::atomic<unsigned> serial{0};
      RemoveStaleDownloadsOnce(file);
      const std::filesystem::path part =
          file.string() + ".tmp." + std::to_string(getpid()) + "." + std::to_string(serial++);
      std::string unresolved;
      const std::optional<std::u16string> from = DownloadAddress(address, unresolved);
      FileDownload download;
      if (from) download = DownloadToFile(kGuideAgent, *from, part, cancel, HttpRequestKind::kGuideFile);
      else download.reason = unresolved;
      if (!download.ok) {
        fail(address, download.reason);
      } else {
        const GuideReadResult read = ReadXmltvFile(part, *store, now, cancel);
        if (read.ok) {
          std::filesystem::rename(part, file, ignored);
          ++load.sources_read;
          continue;
        }
        // What the damaged copy gave stays; the previous copy fills gaps.
        fail(address, read.reason.empty() ? "not a programme guide" : read.reason);
      }
      std::filesystem::remove(part, ignored);
      if (!std::filesystem::exists(file, ignored)) continue;
    }
    const GuideReadResult read = ReadXmltvFile(file, *store, now, cancel);
    if (read.ok) {
      ++load.sources_read;
    } else if (!(cancel != nullptr && cancel->load())) {
      fail(address, read.reason);
    }
  }
  store->Finish();
  load.dropped_by_caps = store->dropped_by_caps();
  if (load.dropped_by_caps > 0) {
    fail(u"", "the guides list more programmes than are kept; " + std::to_string(load.dropped_by_caps) + " dropped");
  }
  if (!(cancel != nullptr && cancel->load())) WriteGuideCache(folders.cache, *store, Stamps(addresses, folders), now);
  load.store = std::move(store);
  return load;
}

}  // namespace vidora
