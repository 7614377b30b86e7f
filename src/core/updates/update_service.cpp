#include "core/updates/update_service.h"

#include "core/catalogue/channel_catalogue.h"
#include "core/net/service_hosts.h"
#include "core/updates/update_addresses.h"
#include "core/updates/update_checks.h"
#include "core/updates/update_workers.h"
#include "core/updates/worker_thread.h"
#include "core/stores/save_failure.h"
#include "core/stores/settings_store.h"

namespace vidora {

UpdateHosts UpdateHosts::FromSettings() { return UpdateHosts{PublisherHost(), PublisherSiteHost()}; }

UpdateService::UpdateService(UpdateUi& ui, ChannelCatalogue& catalogue, UpdateHosts hosts)
    : ui_(ui), catalogue_(catalogue), hosts_(std::move(hosts)) {}

UpdateService::~UpdateService() {
  CancelTransfers();
  JoinAutomaticChecks();
}

void UpdateService::StartAutomaticChecks() {
  const bool catalogue = GetSetting(kAutoCatalogueUpdateSetting);
  const bool application = GetSetting(kAutoUpdateSetting);
  StartAutomaticChecks(catalogue, application);
}

void UpdateService::StartAutomaticChecks(bool catalogue, bool application) {
  if (automatic_checks_started_) return;
  automatic_checks_started_ = true;
  // The threads get copies: they never read the settings or the catalogue.
  if (catalogue) {
    StartWorkerThread(catalogue_check_, [this, host = hosts_.publisher, version = catalogue_.Version()] {
      state_.catalogue_update_pending = CheckCatalogueVersion(host, version, state_, &cancel_);
    });
  }
  if (application) {
    StartWorkerThread(application_check_, [this, host = hosts_.publisher] {
      state_.application_update_pending = CheckApplicationVersion(host, state_, &cancel_);
    });
  }
}

void UpdateService::JoinAutomaticChecks() {
  if (catalogue_check_.joinable()) catalogue_check_.join();
  if (application_check_.joinable()) application_check_.join();
}

void UpdateService::PollPendingUpdates() {
  if (!catalogue_command_issued_ && state_.catalogue_update_pending && ui_.IsFrameActive()) {
    catalogue_command_issued_ = true;
    ui_.SendCommand(ID_CHANNEL_UPDATE);
  }
  if (!application_command_issued_ && state_.application_update_pending && ui_.IsFrameActive()) {
    application_command_issued_ = true;
    ui_.SendCommand(ID_UPDATE);
  }
}

void UpdateService::RunCatalogueUpdateCommand() {
  state_.catalogue_update_result = UpdateOutcome::kNothing;
  state_.catalogue_save_failure.clear();
  command_cancel_ = cancel_.load();
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
    command_cancel_ = cancel_.load();
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
