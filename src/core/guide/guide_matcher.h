#ifndef VIDORA_CORE_GUIDE_GUIDE_MATCHER_H_
#define VIDORA_CORE_GUIDE_GUIDE_MATCHER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/guide/guide_match_list.h"
#include "core/guide/guide_store.h"

namespace vidora {

// How a channel was matched (for the settings' counts and for tests).
enum class GuideMatchPass : uint8_t {
  kNone,
  kChosen,        // the user's choice
  kId,            // tvg-id, letter case ignored
  kIdWithoutFeed, // tvg-id without its "@SD"-like feed suffix
  kTvgName,       // tvg-name against a display-name
  kName,          // the channel's name against a display-name, normalised
};

struct GuideMatch {
  int32_t channel = -1;  // index into the store, -1 when unmatched
  GuideMatchPass pass = GuideMatchPass::kNone;
};

// A channel name folded for comparison: lower case, accents removed, only
// letters and digits kept, a trailing quality mark (HD, FHD, UHD, SD, 4K,
// "(720p)", ...) dropped. "Das Erste HD" and "das-erste" fold alike.
std::string NormaliseChannelName(std::string_view name);

// Matches every playlist channel against the guide's channels, pass by
// pass in the order of GuideMatchPass, each pass only for channels the
// earlier ones left unmatched. Linear in both counts (hash tables). Any
// thread; the store is only read.
std::vector<GuideMatch> MatchGuideChannels(const GuideStore& store, const GuideMatchSource& channels);

}  // namespace vidora

#endif  // VIDORA_CORE_GUIDE_GUIDE_MATCHER_H_
