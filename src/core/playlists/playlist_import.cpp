#include "core/playlists/playlist_import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <map>
#include <mutex>
#include <system_error>

#include "core/catalogue/catalogue_reader.h"
#include "core/document/atomic_file.h"
#include "core/document/text_codec.h"
#include "core/net/http_client.h"
#include "core/net/http_limits.h"
#include "core/playlists/m3u_reader.h"
#include "core/playlists/playlist_address.h"
#include "core/playlists/playlist_document.h"

namespace vidora {
namespace {

constexpr char16_t kPlaylistAgent[] = u"Vidora";

bool HasHeader(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\r' || text.front() == '\n' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  return text.starts_with("#EXTM3U") || text.starts_with("#extm3u");
}

// The name an earlier import gave the playlist, or empty.
std::u16string StoredName(const std::filesystem::path& file) {
  DocNode root;
  std::error_code error;
  if (!std::filesystem::exists(file, error) || !ReadCatalogueDocument(file, root)) return {};
  const DocNode* country = PlaylistCountryNode(root);
  return country == nullptr ? std::u16string() : country->GetWideString(kPlaylistNameAttr);
}

struct SchemeImporters {
  std::mutex mutex;
  std::map<std::string, SchemeImporter> by_scheme;
};

SchemeImporters& Importers() {
  static SchemeImporters importers;
  return importers;
}

SchemeImporter ImporterFor(std::u16string_view source) {
  const std::string text = Utf16ToUtf8(source.substr(0, 16));
  SchemeImporters& importers = Importers();
  std::lock_guard<std::mutex> lock(importers.mutex);
  for (const auto& [scheme, importer] : importers.by_scheme) {
    if (text.starts_with(scheme)) return importer;
  }
  return nullptr;
}

}  // namespace

void SetSchemeImporter(std::string scheme, SchemeImporter importer) {
  SchemeImporters& importers = Importers();
  std::lock_guard<std::mutex> lock(importers.mutex);
  importers.by_scheme[std::move(scheme)] = importer;
}

bool IsRemotePlaylistSource(std::u16string_view source) {
  const std::string text = Utf16ToUtf8(source.substr(0, 16));
  return HasAddressScheme(text) && !text.starts_with("file:");
}

PlaylistImport ImportPlaylistText(std::string_view bytes, std::u16string_view source, std::u16string name,
                                  const std::filesystem::path& folder, int64_t now) {
  PlaylistImport result;
  switch (ClassifyPlaylistText(bytes)) {
    case PlaylistTextKind::kBinary:
      result.failure = ImportFailure::kBinary;
      result.reason = "not a playlist (binary data)";
      return result;
    case PlaylistTextKind::kEmpty:
      result.failure = ImportFailure::kEmpty;
      result.reason = "empty";
      return result;
    case PlaylistTextKind::kWebPage:
      result.failure = ImportFailure::kWebPage;
      result.reason = WebPageTitle(bytes);
      return result;
    case PlaylistTextKind::kStream:
      result.failure = ImportFailure::kStream;
      result.reason = "an HLS stream";
      return result;
    case PlaylistTextKind::kPlaylist:
      break;
  }
  const M3uPlaylist playlist = ReadM3u(bytes, Utf16ToUtf8(source));
  result.entries = playlist.entries.size();
  result.skipped_lines = playlist.skipped_lines;
  result.shortened_entries = playlist.shortened_entries;
  result.dropped_entries = playlist.dropped_entries;
  if (playlist.entries.empty()) {
    result.failure = ImportFailure::kNoChannels;
    result.reason = "no channels in the playlist";
    return result;
  }
  if (!HasHeader(bytes) && playlist.skipped_lines > 0) {
    result.failure = ImportFailure::kNotPlaylist;
    result.reason = "not a playlist (no #EXTM3U header and lines that are no addresses)";
    return result;
  }
  return StorePlaylist(playlist, source, std::move(name), folder, now);
}

PlaylistImport StorePlaylist(const M3uPlaylist& playlist, std::u16string_view source, std::u16string name,
                             const std::filesystem::path& folder, int64_t now) {
  PlaylistImport result;
  result.entries = playlist.entries.size();
  result.channels = playlist.entries.size();
  result.skipped_lines = playlist.skipped_lines;
  result.shortened_entries = playlist.shortened_entries;
  result.dropped_entries = playlist.dropped_entries;
  PlaylistOrigin origin;
  origin.key = PlaylistKey(source);
  origin.source = std::u16string(source);
  origin.fetched_at = now;
  result.key = origin.key;
  result.file = folder / (origin.key + kPlaylistFileExtension);
  origin.name = !name.empty() ? std::move(name) : StoredName(result.file);
  if (origin.name.empty()) origin.name = Utf8ToUtf16(playlist.name);
  if (origin.name.empty()) origin.name = PlaylistNameFromSource(source);
  result.name = origin.name;

  std::error_code error;
  std::filesystem::create_directories(folder, error);
  PlaylistWriteCounts counts;
  const bool saved = ReplaceFileAtomically(result.file, [&](FileStream& file) {
    uint64_t written = 0;
    return WritePlaylistDocument(playlist, origin, [&](std::string_view piece) {
      written += piece.size();
      // The document format counts in 32 bits.
      return written <= UINT32_MAX &&
             file.Write(piece.data(), static_cast<uint32_t>(piece.size())) == static_cast<uint32_t>(piece.size());
    }, &counts);
  });
  result.channels = counts.channels;
  result.dropped_entries += counts.dropped_sources;
  if (!saved) {
    result.failure = ImportFailure::kWrite;
    result.reason = "cannot write " + result.file.string();
    return result;
  }
  result.ok = true;
  return result;
}

bool RenameStoredPlaylist(const std::filesystem::path& file, const std::u16string& name) {
  DocNode root;
  if (name.empty() || !ReadCatalogueDocument(file, root)) return false;
  const DocNode* found = PlaylistCountryNode(root);
  DocNode* country = found != nullptr ? root.FindChild(found->name()) : nullptr;
  if (country == nullptr) return false;
  country->SetWideString(kPlaylistNameAttr, name);
  return SaveDocumentFileAtomically(root, file);
}

bool ReadSmallFile(const std::filesystem::path& path, uint64_t max_bytes, std::string& out) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer; only a regular
  // file is read at all (a device or FIFO would never end).
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<uint64_t>(info.st_size) <= max_bytes;
  if (ok) {
    out.resize(static_cast<size_t>(info.st_size));
    size_t got = 0;
    while (got < out.size()) {
      const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) ok = false;
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    out.resize(got);
  }
  ::close(fd);
  return ok;
}

PlaylistImport FetchAndImportPlaylist(std::u16string_view source, std::u16string name,
                                      const std::filesystem::path& folder, int64_t now,
                                      const std::atomic<bool>* cancel) {
  if (SchemeImporter importer = ImporterFor(source)) return importer(source, std::move(name), folder, now, cancel);
  std::string text;
  if (IsRemotePlaylistSource(source)) {
    std::unique_ptr<MemoryStream> body = DownloadToMemory(kPlaylistAgent, source, cancel);
    if (!body) {
      PlaylistImport failed;
      failed.failure = ImportFailure::kDownload;
      failed.reason = "download failed";
      return failed;
    }
    text.assign(reinterpret_cast<const char*>(body->Data()), body->size());
  } else {
    std::u16string path(source);
    if (path.starts_with(u"file://")) path.erase(0, 7);
    if (!ReadSmallFile(std::filesystem::path(Utf16ToUtf8(path)), CurrentHttpLimits().max_download_bytes, text)) {
      PlaylistImport failed;
      failed.failure = ImportFailure::kUnreadable;
      failed.reason = "cannot read the file";
      return failed;
    }
  }
  return ImportPlaylistText(text, source, std::move(name), folder, now);
}

}  // namespace vidora
