#ifndef VIDORA_CORE_PROVIDERS_ACCOUNT_STATUS_H_
#define VIDORA_CORE_PROVIDERS_ACCOUNT_STATUS_H_

#include <optional>
#include <string>

#include "core/providers/xtream_answers.h"

namespace vidora {

// What the last account check of this run told of each account (by its
// XtreamSource), for the settings to show its expiry. Kept in memory
// only: the next check (at the daily refresh, or on demand) tells again.
// Thread-safe.
void RememberAccountInfo(const std::string& source, const XtreamAccountInfo& info);
std::optional<XtreamAccountInfo> KnownAccountInfo(const std::string& source);

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_ACCOUNT_STATUS_H_
