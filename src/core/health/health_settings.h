#ifndef VIDORA_CORE_HEALTH_HEALTH_SETTINGS_H_
#define VIDORA_CORE_HEALTH_HEALTH_SETTINGS_H_

#include "core/stores/setting_keys.h"

namespace vidora {

// "Hide unavailable channels": the channel list leaves out channels whose
// every source was dead at the last check (of the last day).
inline constexpr BoolSettingKey kHideUnavailableSetting{"HideUnavailable", false};

// The stored check results, in the cache folder.
inline constexpr char kHealthBookFileName[] = "source-checks.tsv";

}  // namespace vidora

#endif  // VIDORA_CORE_HEALTH_HEALTH_SETTINGS_H_
