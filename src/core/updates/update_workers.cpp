#include "core/updates/update_workers.h"

#include <memory>
#include <system_error>

#include "core/catalogue/catalogue_reader.h"
#include "core/catalogue/loader_warnings.h"
#include "core/document/atomic_file.h"
#include "core/document/doc_node.h"
#include "core/net/http_client.h"
#include "core/updates/update_addresses.h"
#include "core/updates/update_checks.h"
#include "core/stores/app_paths.h"

namespace vidora {

UpdateOutcome StoreDownloadedCatalogue(MemoryStream& download, const std::filesystem::path& path,
                                       std::string* failure) {
  DocNode document;
  if (ReadCatalogueBytes(download.Data(), download.Size(), document) != ReadStatus::kOk) return UpdateOutcome::kError;
  // A catalogue the loader would warn about would put the user through
  // its warnings at every start: it counts as damaged.
  if (CatalogueHasLoaderWarnings(document)) return UpdateOutcome::kError;
  // The folder of downloaded data does not exist before the first download.
  std::error_code error;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
  if (!SaveBytesAtomically(download.Data(), download.Size(), path)) {
    if (failure != nullptr) *failure = DescribeWriteFailure(path);
    return UpdateOutcome::kSaveFailed;
  }
  return UpdateOutcome::kDone;
}

void RunCatalogueUpdateWorker(const CatalogueUpdateJob& job, UpdateState& state, const WaitTitleSetter& set_title) {
  state.catalogue_update_result = UpdateOutcome::kNothing;
  const bool newer = state.catalogue_update_pending.load() ||
                     CheckCatalogueVersion(job.publisher_host, job.local_version, state, job.cancel);
  if (!newer) return;
  state.catalogue_update_pending = false;
  if (set_title) set_title("str_down_channels");
  std::unique_ptr<MemoryStream> download = DownloadToMemory(kUpdateAgent, CatalogueFileAddress(job.publisher_host), job.cancel);
  if (download == nullptr) {
    state.catalogue_update_result = UpdateOutcome::kError;
    return;
  }
  // Cancelled after the last byte arrived: nothing is written.
  if (job.cancel != nullptr && job.cancel->load()) return;
  state.catalogue_update_result = StoreDownloadedCatalogue(*download, job.catalogue_path, &state.catalogue_save_failure);
}

void RunApplicationUpdateWorker(std::u16string_view publisher_host, UpdateState& state,
                                const std::atomic<bool>* cancel) {
  state.application_update_result = UpdateOutcome::kNothing;
  state.application_update_pending = false;
  if (CheckApplicationVersion(publisher_host, state, cancel)) state.application_update_result = UpdateOutcome::kDone;
}

}  // namespace vidora
