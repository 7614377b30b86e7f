#ifndef VIDORA_CORE_GUIDE_PLAYLIST_GUIDE_ADDRESSES_H_
#define VIDORA_CORE_GUIDE_PLAYLIST_GUIDE_ADDRESSES_H_

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vidora {

// The guide addresses the user added to each playlist, by playlist key, in
// the order added.
using PlaylistGuideAddresses = std::map<std::string, std::vector<std::u16string>, std::less<>>;

// As kept in the setting: per playlist its key, then each address, all
// separated by U+001F; playlists separated by U+001E. Reading skips what
// is malformed (an empty key, empty addresses); a playlist with no
// addresses is not written. Any thread.
PlaylistGuideAddresses DecodePlaylistGuideAddresses(std::u16string_view text);
std::u16string EncodePlaylistGuideAddresses(const PlaylistGuideAddresses& addresses);

}  // namespace vidora

#endif  // VIDORA_CORE_GUIDE_PLAYLIST_GUIDE_ADDRESSES_H_
