#include "core/updates/update_checks.h"

#include <memory>
#include <optional>

#include "core/net/http_client.h"
#include "core/updates/update_addresses.h"
#include "core/updates/version_compare.h"
#include "core/updates/version_description.h"

namespace vidora {
namespace {

// The version a description names: none when it could not be fetched
// (`fetched` false) or does not start as a document with a complete
// root name.
std::optional<std::string> FetchRemoteVersion(const std::u16string& address, const std::atomic<bool>* cancel,
                                              bool& fetched) {
  // Only the root's name is used: the answer is capped at a few KiB
  // (a larger one counts as not fetched) and nothing beyond the name is
  // parsed.
  std::unique_ptr<MemoryStream> stream = DownloadToMemory(kUpdateAgent, address, cancel, HttpRequestKind::kVersionFile);
  fetched = stream != nullptr;
  if (!fetched) return std::nullopt;
  return ReadVersionName(stream->Data(), stream->Size());
}

}  // namespace

bool CheckCatalogueVersion(std::u16string_view publisher_host, std::string_view local_version, UpdateState& state,
                           const std::atomic<bool>* cancel) {
  bool fetched = false;
  const std::optional<std::string> remote = FetchRemoteVersion(CatalogueVersionAddress(publisher_host), cancel, fetched);
  if (!fetched) state.catalogue_update_result = UpdateOutcome::kError;
  return remote && CompareVersions(*remote, local_version) > 0;
}

bool CheckApplicationVersion(std::u16string_view publisher_host, UpdateState& state,
                             const std::atomic<bool>* cancel) {
  bool fetched = false;
  const std::optional<std::string> remote =
      FetchRemoteVersion(ApplicationVersionAddress(publisher_host), cancel, fetched);
  if (!remote) {
    state.application_update_result = UpdateOutcome::kError;
    return false;
  }
  return CompareVersions(*remote, kApplicationVersion) > 0;
}

}  // namespace vidora
