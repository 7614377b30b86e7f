#ifndef VIDORA_CORE_PROVIDERS_ACCOUNT_STATUS_H_
#define VIDORA_CORE_PROVIDERS_ACCOUNT_STATUS_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/providers/xtream_answers.h"

namespace vidora {

// What the last account check told of each account (by its
// XtreamSource), for the settings to show its status and expiry. Kept in
// memory; EncodeAccountInfos gives it to the settings and
// RestoreAccountInfos takes it back at the next start. Thread-safe.
void RememberAccountInfo(const std::string& source, const XtreamAccountInfo& info);
std::optional<XtreamAccountInfo> KnownAccountInfo(const std::string& source);

// The accounts of `sources` that are known, as one text: per account its
// source, status, expiry, connections, active connections, trial flag and
// formats (","-joined), separated by U+001F, each ended by U+001E.
std::string EncodeAccountInfos(const std::vector<std::string>& sources);
// Remembers the accounts of such a text that are not known yet (a check of
// this run is newer). Damaged parts are skipped.
void RestoreAccountInfos(std::string_view text);

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_ACCOUNT_STATUS_H_
