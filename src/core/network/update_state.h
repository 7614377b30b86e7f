#ifndef VIDORA_CORE_NETWORK_UPDATE_STATE_H_
#define VIDORA_CORE_NETWORK_UPDATE_STATE_H_

#include <atomic>
#include <string>

namespace vidora {

// Outcomes of an update check or download.
inline constexpr int kUpdateSaveFailed = -2;  // a good catalogue arrived but could not be saved
inline constexpr int kUpdateError = -1;    // connection, download or damaged download
inline constexpr int kUpdateNothing = 0;   // nothing newer
inline constexpr int kUpdateDone = 1;      // catalogue replaced / newer application exists

// What the automatic checks found and what the last updates came to,
// shared between the UI thread and the update threads. Zero at start, never
// saved.
struct UpdateState {
  // Set by the automatic catalogue check; cleared when a catalogue download
  // begins.
  std::atomic<bool> catalogue_update_pending{false};
  // Set by the automatic application check; cleared by the on-demand
  // application check.
  std::atomic<bool> application_update_pending{false};
  std::atomic<int> catalogue_update_result{kUpdateNothing};
  std::atomic<int> application_update_result{kUpdateNothing};
  // With kUpdateSaveFailed: why the catalogue could not be saved. Written
  // by the worker; read on the UI thread only after the worker was joined.
  std::string catalogue_save_failure;
};

}  // namespace vidora

#endif  // VIDORA_CORE_NETWORK_UPDATE_STATE_H_
