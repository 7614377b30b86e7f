#ifndef VIDORA_CORE_PLAYLISTS_PLAYLIST_IMPORT_H_
#define VIDORA_CORE_PLAYLISTS_PLAYLIST_IMPORT_H_

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vidora {

// File extension of a stored playlist (a catalogue file).
inline constexpr char kPlaylistFileExtension[] = ".vdch";

// The outcome of an import. On failure `reason` says why and nothing on
// disk changed.
struct PlaylistImport {
  bool ok = false;
  std::string reason;
  std::string key;                   // the playlist's country key
  std::filesystem::path file;        // the stored catalogue file
  size_t channels = 0;
  size_t skipped_lines = 0;
};

// Whether `source` is a network address (fetched) rather than a file.
bool IsRemotePlaylistSource(std::u16string_view source);

// Reads playlist text `bytes` that came from `source`, checks that it is
// a playlist (at least one channel; text without the #EXTM3U header must
// consist of addresses only, so an error page is refused), and stores it
// as `folder`/<key>.vdch, replacing an older copy atomically: a refused
// or failed import keeps the old file. `name` empty: an existing copy's
// name, else one made from the source. `now` is seconds since 1970. Any
// thread.
PlaylistImport ImportPlaylistText(std::string_view bytes, std::u16string_view source, std::u16string name,
                                  const std::filesystem::path& folder, int64_t now);

// Stores entries read elsewhere (a provider's answers) as
// ImportPlaylistText stores a playlist's, with `source` as their origin.
// Any thread.
struct M3uPlaylist;
PlaylistImport StorePlaylist(const M3uPlaylist& playlist, std::u16string_view source, std::u16string name,
                             const std::filesystem::path& folder, int64_t now);

// Fetches and stores a source of a scheme of its own (a provider
// account). Blocking; any thread.
using SchemeImporter = PlaylistImport (*)(std::u16string_view source, std::u16string name,
                                          const std::filesystem::path& folder, int64_t now,
                                          const std::atomic<bool>* cancel);
// FetchAndImportPlaylist hands sources that start with `scheme` (as
// "xtream:") to `importer` from now on. Any thread.
void SetSchemeImporter(std::string scheme, SchemeImporter importer);

// Fetches `source` (an address, with the HTTP client's limits, or a
// file of at most the same size) and imports it. Blocking: call it on a
// worker thread. `cancel` may be null.
PlaylistImport FetchAndImportPlaylist(std::u16string_view source, std::u16string name,
                                      const std::filesystem::path& folder, int64_t now,
                                      const std::atomic<bool>* cancel = nullptr);

// Reads a file of at most `max_bytes` into `out`; false when it cannot.
bool ReadSmallFile(const std::filesystem::path& path, uint64_t max_bytes, std::string& out);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_PLAYLIST_IMPORT_H_
