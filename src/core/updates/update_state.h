#ifndef VIDORA_CORE_UPDATES_UPDATE_STATE_H_
#define VIDORA_CORE_UPDATES_UPDATE_STATE_H_

#include <atomic>
#include <string>

namespace vidora {

// What an update check or download came to.
enum class UpdateOutcome {
  kError,       // no connection, a failed or a damaged download
  kNothing,     // nothing newer
  kDone,        // catalogue replaced / a newer application exists
  kSaveFailed,  // a good catalogue arrived but could not be saved
};

// What the automatic checks found (written by their results, on the UI
// thread) and what the last updates came to, shared between the UI thread
// and the update commands' workers. False and kNothing
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
  // With kSaveFailed: why the catalogue could not be saved. Written by the
  // worker; read on the UI thread only after the worker was joined.
  std::string catalogue_save_failure;
};

}  // namespace vidora

#endif  // VIDORA_CORE_UPDATES_UPDATE_STATE_H_
