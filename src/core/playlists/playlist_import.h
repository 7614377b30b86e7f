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

// Why an import did not store a playlist.
enum class ImportFailure {
  kNone,
  kStream,        // the address is a stream (an HLS playlist): play it instead
  kDownload,      // no answer, or the transfer broke off
  kUnreadable,    // the file cannot be read
  kWebPage,       // an HTML page came back (`reason` holds its title)
  kEmpty,         // an empty answer or file
  kBinary,        // not text
  kNoChannels,    // a playlist without a single channel
  kNotPlaylist,   // no #EXTM3U header and lines that are no addresses
  kWrite,         // the stored copy cannot be written
};

// The outcome of an import. On failure `failure` and `reason` (a detail,
// in English) say why, and nothing on disk changed.
struct PlaylistImport {
  bool ok = false;
  ImportFailure failure = ImportFailure::kNone;
  std::string reason;
  std::string key;                   // the playlist's country key
  std::filesystem::path file;        // the stored catalogue file
  std::u16string name;               // the name it is shown with
  size_t entries = 0;                // entries read
  size_t channels = 0;               // channels stored (entries merged)
  size_t skipped_lines = 0;          // lines that were no entry
  size_t shortened_entries = 0;      // entries with a text cut to its bound
  size_t dropped_entries = 0;        // entries left out (too long, too many sources)
};

// Whether `source` is a network address (fetched) rather than a file.
bool IsRemotePlaylistSource(std::u16string_view source);

// Reads playlist text `bytes` that came from `source`, checks that it is
// a playlist (at least one channel; text without the #EXTM3U header must
// consist of addresses only, so an error page is refused), and stores it
// as `folder`/<key>.vdch, replacing an older copy atomically: a refused
// or failed import keeps the old file. `name` empty: an existing copy's
// name, else the header's x-name / name, else one made from the source. `now` is seconds since 1970. Any
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

// Gives the stored playlist `file` the shown name `name` (kept through
// refreshes), replacing the file atomically. False when it cannot be read
// or written (it is then unchanged). Blocking: call it on a worker thread.
bool RenameStoredPlaylist(const std::filesystem::path& file, const std::u16string& name);

// Reads a regular file of at most `max_bytes` into `out`; false when it
// cannot, and at once for anything else (a FIFO, a device, a folder).
bool ReadSmallFile(const std::filesystem::path& path, uint64_t max_bytes, std::string& out);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_PLAYLIST_IMPORT_H_
