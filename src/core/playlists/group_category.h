#ifndef VIDORA_CORE_PLAYLISTS_GROUP_CATEGORY_H_
#define VIDORA_CORE_PLAYLISTS_GROUP_CATEGORY_H_

#include <string_view>

namespace vidora {

// The general category, for groups no keyword matches.
inline constexpr char kGeneralCategoryKey[] = "e";

// The catalogue category key ("n", "sp", "mu", "k", "mo", "r", "l", "wc",
// "ad" or the general "e") for a playlist's group-title (UTF-8), found by
// keywords in English, German, French, Spanish and Russian, without regard
// to letter case. Adult keywords are tried first so that such a group is
// never shown as another category. Any thread.
const char* CategoryForGroup(std::string_view group);

// Whether the group names radio stations ("Radio", "Радио", ...).
bool IsRadioGroup(std::string_view group);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_GROUP_CATEGORY_H_
