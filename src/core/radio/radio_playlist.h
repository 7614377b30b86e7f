#ifndef VIDORA_CORE_RADIO_RADIO_PLAYLIST_H_
#define VIDORA_CORE_RADIO_RADIO_PLAYLIST_H_

#include <filesystem>
#include <string>
#include <vector>

#include "core/playlists/m3u_reader.h"
#include "core/radio/radio_station.h"

namespace vidora {

// The stations the user played or kept from the directory live in an
// M3U file of the player's own, imported like any playlist: so they are
// channels of the channel list (favourites, guide, failover unchanged)
// and play without the directory.

// The playlist entry of `station` as the playlist reader gives it back
// from the file (the name and address that make the channel's key).
PlaylistEntry RadioEntry(const RadioStation& station);

// Adds `station` to the file at `path` (created when missing) unless a
// station of that address is in it, replacing the file atomically. False
// when it cannot be written. Any thread.
bool AddRadioStation(const std::filesystem::path& path, const RadioStation& station);

// The file's text for `entries` (radio="true", group "Radio").
std::string RadioPlaylistText(const std::vector<PlaylistEntry>& entries);

}  // namespace vidora

#endif  // VIDORA_CORE_RADIO_RADIO_PLAYLIST_H_
