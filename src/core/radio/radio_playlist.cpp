#include "core/radio/radio_playlist.h"

#include <system_error>

#include "core/document/atomic_file.h"
#include "core/net/http_limits.h"
#include "core/playlists/playlist_import.h"

namespace vidora {
namespace {

// Attribute values end at a quote; names end at a line end.
std::string Quoted(std::string text) {
  for (char& c : text) {
    if (c == '"' || c == '\n' || c == '\r') c = '\'';
  }
  return text;
}

}  // namespace

PlaylistEntry RadioEntry(const RadioStation& station) {
  PlaylistEntry written;
  written.name = station.name;
  written.address = station.address;
  written.tvg_logo = station.favicon;
  written.tvg_country = station.country_code;
  written.tvg_language = station.language;
  const std::string text = RadioPlaylistText({written});
  M3uPlaylist playlist = ReadM3u(text, {});
  return playlist.entries.empty() ? PlaylistEntry{} : playlist.entries.front();
}

std::string RadioPlaylistText(const std::vector<PlaylistEntry>& entries) {
  std::string text = "#EXTM3U\n";
  for (const PlaylistEntry& entry : entries) {
    text += "#EXTINF:-1 tvg-logo=\"" + Quoted(entry.tvg_logo) + "\" tvg-country=\"" + Quoted(entry.tvg_country) +
            "\" tvg-language=\"" + Quoted(entry.tvg_language) + "\" group-title=\"Radio\" radio=\"true\"," +
            Quoted(entry.name) + "\n" + Quoted(entry.address) + "\n";
  }
  return text;
}

bool AddRadioStation(const std::filesystem::path& path, const RadioStation& station) {
  std::string old_text;
  std::vector<PlaylistEntry> entries;
  if (ReadSmallFile(path, CurrentHttpLimits().max_download_bytes, old_text)) {
    entries = ReadM3u(old_text, {}).entries;
  }
  const PlaylistEntry entry = RadioEntry(station);
  if (entry.address.empty()) return false;
  for (const PlaylistEntry& known : entries) {
    if (known.address == entry.address) return true;
  }
  entries.push_back(entry);
  const std::string text = RadioPlaylistText(entries);
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  return ReplaceFileAtomically(path, [&text](FileStream& file) {
    return file.Write(text.data(), static_cast<uint32_t>(text.size())) == text.size();
  });
}

}  // namespace vidora
