#ifndef VIDORA_CORE_NETWORK_UPDATE_STATE_H_
#define VIDORA_CORE_NETWORK_UPDATE_STATE_H_

#include <atomic>

namespace vidora {

// What an update check or download came to.
enum class UpdateOutcome {
  kError,    // no connection, a failed or a damaged download
  kNothing,  // nothing newer (or nothing written)
  kDone,     // catalogue replaced / a newer application exists
};

// What the automatic checks found and what the last updates came to,
// shared between the UI thread and the update threads. False and kNothing
// at start, never saved.
struct UpdateState {
  // Set by the automatic catalogue check; cleared when a catalogue download
  // begins.
  std::atomic<bool> catalogue_update_pending{false};
  // Set by the automatic application check; cleared by the on-demand
  // application check.
  std::atomic<bool> application_update_pending{false};
  std::atomic<UpdateOutcome> catalogue_update_result{UpdateOutcome::kNothing};
  std::atomic<UpdateOutcome> application_update_result{UpdateOutcome::kNothing};
};

}  // namespace vidora

#endif  // VIDORA_CORE_NETWORK_UPDATE_STATE_H_
