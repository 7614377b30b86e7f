#ifndef VIDORA_CORE_UPDATES_UPDATE_SERVICE_H_
#define VIDORA_CORE_UPDATES_UPDATE_SERVICE_H_

#include <atomic>
#include <memory>
#include <string>

#include "core/jobs/job_runner.h"
#include "core/updates/update_state.h"
#include "core/updates/update_ui.h"

namespace vidora {

class ChannelCatalogue;

// The publisher's two hosts.
struct UpdateHosts {
  std::u16string publisher;  // web server with the downloads
  std::u16string site;       // mobile web site
  // PublisherHost() and PublisherSiteHost(). UI thread.
  static UpdateHosts FromSettings();
};

// Asks the publisher for newer catalogues and application versions: the
// automatic checks at start-up as jobs of `jobs`, their promotion to
// commands, and the two update commands with their wait dialogs and
// messages. Created and used on the UI thread, which must be the thread
// `jobs` hands results to; borrows `ui` and `catalogue`, which must outlive
// it, and owns `jobs`.
class UpdateService {
 public:
  UpdateService(UpdateUi& ui, ChannelCatalogue& catalogue, std::unique_ptr<JobRunner> jobs,
                UpdateHosts hosts = UpdateHosts::FromSettings());
  UpdateService(const UpdateService&) = delete;
  UpdateService& operator=(const UpdateService&) = delete;
  // Cancels running downloads, then ends the runner (which waits for the
  // checks as it does, about a second at most, and drops their results).
  ~UpdateService();

  // Starts the automatic catalogue check when `AutoCU` is true and the
  // application check when `AutoU` is true (both default to true). Each
  // runs once as a job; its result, on the UI thread, sets its pending
  // flag and promotes it. Only the first call of a service starts anything.
  void StartAutomaticChecks();
  void StartAutomaticChecks(bool catalogue, bool application);

  // Issues the catalogue's, then the application's update command, each at
  // most once per run, when its automatic check found something newer and
  // the main frame is active. Runs when a check's result arrives; the UI calls it again when
  // the frame becomes active, for a finding that met a busy frame.
  void PromotePendingUpdates();

  // "Update channels": the catalogue wait dialog, then "msg_error_connection",
  // "msg_noupdates", or (catalogue replaced) playback stopped, catalogue
  // reloaded and "msg_cupdated". A cancelled dialog writes nothing and
  // shows nothing (so does the application command's).
  void RunCatalogueUpdateCommand();
  // "Check version": unless the automatic check already found a newer version,
  // the application wait dialog ("msg_error_connection" / "msg_noupdates"
  // end it); then "msg_update_available" and on Yes the mobile site in the
  // browser.
  void RunApplicationUpdateCommand();

  // Makes running and future downloads fail at once (shutdown), the
  // command's too. Any thread.
  void CancelTransfers() {
    *cancel_ = true;
    command_cancel_ = true;
  }

  UpdateState& state() { return state_; }
  const UpdateHosts& hosts() const { return hosts_; }

 private:
  UpdateUi& ui_;
  ChannelCatalogue& catalogue_;
  UpdateHosts hosts_;
  UpdateState state_;
  // Shared with the automatic checks' jobs, which may outlive the service.
  std::shared_ptr<std::atomic<bool>> cancel_ = std::make_shared<std::atomic<bool>>(false);
  // The running command's transfers: set by its wait dialog's cancel or by
  // CancelTransfers.
  std::atomic<bool> command_cancel_{false};
  // UI thread only.
  bool catalogue_command_issued_ = false;
  bool application_command_issued_ = false;
  bool automatic_checks_started_ = false;
  std::unique_ptr<JobRunner> jobs_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_UPDATES_UPDATE_SERVICE_H_
