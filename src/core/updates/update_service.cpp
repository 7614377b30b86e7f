#include "core/updates/update_service.h"

#include "core/catalogue/channel_catalogue.h"
#include "core/net/service_hosts.h"
#include "core/updates/update_addresses.h"
#include "core/updates/update_checks.h"
#include "core/updates/update_workers.h"
#include "core/stores/save_failure.h"
#include "core/stores/settings_store.h"

namespace vidora {

UpdateHosts UpdateHosts::FromSettings() { return UpdateHosts{PublisherHost(), PublisherSiteHost()}; }

UpdateService::UpdateService(UpdateUi& ui, ChannelCatalogue& catalogue, std::unique_ptr<JobRunner> jobs,
                             UpdateHosts hosts)
    : ui_(ui), catalogue_(catalogue), hosts_(std::move(hosts)), jobs_(std::move(jobs)) {}

UpdateService::~UpdateService() {
  CancelTransfers();
  // Before the members go: the checks' results call into the service.
  jobs_.reset();
}

void UpdateService::StartAutomaticChecks() {
  const bool catalogue = GetSetting(kAutoCatalogueUpdateSetting);
  const bool application = GetSetting(kAutoUpdateSetting);
  StartAutomaticChecks(catalogue, application);
}

void UpdateService::StartAutomaticChecks(bool catalogue, bool application) {
  if (automatic_checks_started_) return;
  automatic_checks_started_ = true;
  // The jobs get copies: they never read the settings, the catalogue or
  // the service, and write what they found only through their results.
  if (catalogue) {
    jobs_->Run([this, host = hosts_.publisher, version = catalogue_.Version(), cancel = cancel_] {
      UpdateState found;
      const bool newer = CheckCatalogueVersion(host, version, found, cancel.get());
      const UpdateOutcome outcome = found.catalogue_update_result;
      return JobRunner::Result([this, newer, outcome] {
        if (outcome == UpdateOutcome::kError) state_.catalogue_update_result = outcome;
        state_.catalogue_update_pending = newer;
        PromotePendingUpdates();
      });
    });
  }
  if (application) {
    jobs_->Run([this, host = hosts_.publisher, cancel = cancel_] {
      UpdateState found;
      const bool newer = CheckApplicationVersion(host, found, cancel.get());
      const UpdateOutcome outcome = found.application_update_result;
      return JobRunner::Result([this, newer, outcome] {
        if (outcome == UpdateOutcome::kError) state_.application_update_result = outcome;
        state_.application_update_pending = newer;
        PromotePendingUpdates();
      });
    });
  }
}

void UpdateService::PromotePendingUpdates() {
  if (!catalogue_command_issued_ && state_.catalogue_update_pending && ui_.IsFrameActive()) {
    catalogue_command_issued_ = true;
    ui_.SendCommand(UpdateCommand::kCatalogue);
  }
  if (!application_command_issued_ && state_.application_update_pending && ui_.IsFrameActive()) {
    application_command_issued_ = true;
    ui_.SendCommand(UpdateCommand::kApplication);
  }
}

void UpdateService::RunCatalogueUpdateCommand() {
  state_.catalogue_update_result = UpdateOutcome::kNothing;
  state_.catalogue_save_failure.clear();
  command_cancel_ = cancel_->load();
  CatalogueUpdateJob job{hosts_.publisher, catalogue_.Version(), catalogue_.DownloadPath(), &command_cancel_};
  ui_.RunWaitDialog(
      UpdateWaitKind::kCatalogue, "str_check_updates",
      [this, &job](const WaitTitleSetter& set_title) { RunCatalogueUpdateWorker(job, state_, set_title); },
      command_cancel_);
  if (command_cancel_) return;
  switch (state_.catalogue_update_result.load()) {
    case UpdateOutcome::kError:
      ui_.ShowMessageByKey("msg_error_connection", MessageButtons::kOk);
      break;
    case UpdateOutcome::kSaveFailed:
      ReportSaveFailure(job.catalogue_path, state_.catalogue_save_failure);
      break;
    case UpdateOutcome::kDone:
      ui_.StopPlayback();
      // The saved download is the catalogue from now on (installed, it is
      // not the shipped file that was read at start-up).
      catalogue_.ReloadCatalogueFrom(job.catalogue_path);
      ui_.ShowMessageByKey("msg_cupdated", MessageButtons::kOk);
      break;
    default:
      ui_.ShowMessageByKey("msg_noupdates", MessageButtons::kOk);
      break;
  }
}

void UpdateService::RunApplicationUpdateCommand() {
  if (!state_.application_update_pending) {
    state_.application_update_result = UpdateOutcome::kNothing;
    const std::u16string host = hosts_.publisher;
    command_cancel_ = cancel_->load();
    ui_.RunWaitDialog(
        UpdateWaitKind::kApplication, "str_check_updates",
        [this, &host](const WaitTitleSetter&) { RunApplicationUpdateWorker(host, state_, &command_cancel_); },
        command_cancel_);
    if (command_cancel_) return;
    const UpdateOutcome result = state_.application_update_result;
    if (result != UpdateOutcome::kDone) {
      ui_.ShowMessageByKey(result == UpdateOutcome::kError ? "msg_error_connection" : "msg_noupdates", MessageButtons::kOk);
      return;
    }
  }
  if (ui_.ShowMessageByKey("msg_update_available", MessageButtons::kYesNo) != MessageAnswer::kYes) return;
  ui_.OpenWebAddress(MobileSiteAddress(hosts_.site, CurrentLanguageCode()));
}

}  // namespace vidora
