#ifndef VIDORA_CORE_UPDATES_UPDATE_CHECKS_H_
#define VIDORA_CORE_UPDATES_UPDATE_CHECKS_H_

#include <atomic>
#include <string>
#include <string_view>

#include "core/updates/update_state.h"

namespace vidora {

// The version questions put to the publisher's server `publisher_host`.
// Each downloads a version description (a document whose root name is the
// newest version) and compares it with the local version. They block and
// run on update threads; `cancel` (may be null) ends a download early.

// True when the server's catalogue is newer than `local_version`. A failed
// download writes UpdateOutcome::kError into
// state.catalogue_update_result; a description that is no document only
// returns false.
bool CheckCatalogueVersion(std::u16string_view publisher_host, std::string_view local_version, UpdateState& state,
                           const std::atomic<bool>* cancel = nullptr);

// True when the server's application is newer than kApplicationVersion. A
// failed download or a description that is no document writes
// UpdateOutcome::kError into state.application_update_result.
bool CheckApplicationVersion(std::u16string_view publisher_host, UpdateState& state,
                             const std::atomic<bool>* cancel = nullptr);

}  // namespace vidora

#endif  // VIDORA_CORE_UPDATES_UPDATE_CHECKS_H_
