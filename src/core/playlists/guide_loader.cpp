#include "core/playlists/guide_loader.h"

#include <chrono>
#include <system_error>

#include "core/document/atomic_file.h"
#include "core/document/text_codec.h"
#include "core/network/http_client.h"
#include "core/playlists/playlist_document.h"
#include "core/playlists/playlist_import.h"

namespace vidora {
namespace {

constexpr char16_t kGuideAgent[] = u"Vidora";

int64_t FileAgeSeconds(const std::filesystem::path& file, int64_t now) {
  std::error_code error;
  const auto written = std::filesystem::last_write_time(file, error);
  if (error) return -1;
  const auto system = std::chrono::file_clock::to_sys(written);
  return now - std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
}

}  // namespace

std::filesystem::path GuideCacheFile(const std::filesystem::path& cache_folder, std::u16string_view address) {
  // The playlist key's hash names the file: one cache entry per address.
  std::string name("g");
  name += PlaylistKey(address).substr(2);
  name += ".xmltv";
  return cache_folder / name;
}

std::vector<std::u16string> SplitGuideAddresses(std::u16string_view text) {
  std::vector<std::u16string> addresses;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find(u',', at);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view part = text.substr(at, end - at);
    while (!part.empty() && part.front() == u' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == u' ') part.remove_suffix(1);
    if (!part.empty()) addresses.emplace_back(part);
    at = end + 1;
  }
  return addresses;
}

GuideLoad LoadGuide(const std::vector<std::u16string>& addresses, const GuideRequest& request,
                    const std::filesystem::path& cache_folder, int64_t now, bool use_network,
                    const std::atomic<bool>* cancel) {
  GuideLoad load;
  load.guide = std::make_shared<ProgrammeGuide>();
  auto fail = [&load](std::u16string_view address, const std::string& reason) {
    if (!load.failures.empty()) load.failures += "; ";
    load.failures += Utf16ToUtf8(address) + ": " + reason;
  };
  for (const std::u16string& address : addresses) {
    if (cancel != nullptr && cancel->load()) break;
    std::string error;
    if (!IsRemotePlaylistSource(address)) {
      std::u16string path = address;
      if (path.starts_with(u"file://")) path.erase(0, 7);
      if (ReadXmltvFile(std::filesystem::path(Utf16ToUtf8(path)), request, *load.guide, &error)) {
        ++load.sources_read;
      } else {
        fail(address, error);
      }
      continue;
    }
    const std::filesystem::path cached = GuideCacheFile(cache_folder, address);
    const int64_t age = FileAgeSeconds(cached, now);
    const bool fresh = age >= 0 && age < kGuideRefreshSeconds;
    if (!fresh && use_network) {
      std::unique_ptr<MemoryStream> body = DownloadToMemory(kGuideAgent, address, cancel);
      if (body == nullptr) {
        fail(address, "download failed");
      } else {
        const std::string_view bytes(reinterpret_cast<const char*>(body->Data()), body->size());
        ProgrammeGuide fetched;
        if (ReadXmltvBytes(bytes, request, fetched, &error)) {
          std::error_code ignored;
          std::filesystem::create_directories(cache_folder, ignored);
          SaveBytesAtomically(body->Data(), body->size(), cached);
        } else {
          fail(address, "damaged guide (" + error + ")");
        }
      }
    }
    error.clear();
    std::error_code missing;
    if (!std::filesystem::exists(cached, missing)) continue;
    if (ReadXmltvFile(cached, request, *load.guide, &error)) {
      ++load.sources_read;
    } else {
      fail(address, error);
    }
  }
  load.guide->Finish();
  return load;
}

}  // namespace vidora
