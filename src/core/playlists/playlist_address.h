#ifndef VIDORA_CORE_PLAYLISTS_PLAYLIST_ADDRESS_H_
#define VIDORA_CORE_PLAYLISTS_PLAYLIST_ADDRESS_H_

#include <string>
#include <string_view>

namespace vidora {

// Whether `text` starts with a URL scheme ("http:", "rtmp:", ...).
bool HasAddressScheme(std::string_view text);

// `reference` as a full address: unchanged when it has a scheme; else
// resolved against `base` (the playlist's own address, a URL or a local
// file path) the way a browser resolves a link, with "." and ".."
// segments removed. Empty when it cannot be resolved (a relative
// reference without a base, or text that is no address: spaces, control
// characters).
std::string ResolveAddress(std::string_view base, std::string_view reference);

// Whether the address names an audio-only resource by its file extension
// (.mp3, .aac, .ogg, ...), ignoring the query and fragment.
bool IsAudioOnlyAddress(std::string_view address);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_PLAYLIST_ADDRESS_H_
