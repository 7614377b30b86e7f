#ifndef VIDORA_CORE_UPDATES_UPDATE_WORKERS_H_
#define VIDORA_CORE_UPDATES_UPDATE_WORKERS_H_

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/document/memory_stream.h"
#include "core/updates/update_state.h"

namespace vidora {

// What the catalogue worker needs, copied on the UI thread so that the
// worker reads neither the settings nor the catalogue.
struct CatalogueUpdateJob {
  std::u16string publisher_host;
  std::string local_version;
  // Where the downloaded catalogue is saved (its folder is made if need be).
  std::filesystem::path catalogue_path;
  const std::atomic<bool>* cancel = nullptr;
};

// Sets the wait dialog's title to the text of a language key. Called on
// the worker's thread.
using WaitTitleSetter = std::function<void(std::string_view key)>;

// The catalogue worker (runs on the wait dialog's thread): unless the
// automatic check already found a newer catalogue, asks the server; when
// there is one, clears the pending flag, retitles the dialog
// "str_down_channels", downloads the catalogue and stores it. Leaves the
// outcome in state.catalogue_update_result: kError when a download failed
// or the catalogue is damaged, kNothing when nothing is newer, kSaveFailed
// (with state.catalogue_save_failure) when the file could not be replaced,
// kDone when it was.
void RunCatalogueUpdateWorker(const CatalogueUpdateJob& job, UpdateState& state, const WaitTitleSetter& set_title);

// The application worker (runs on the wait dialog's thread): clears the
// pending flag and asks the server; state.application_update_result ends
// as kDone (newer), kNothing or kError.
void RunApplicationUpdateWorker(std::u16string_view publisher_host, UpdateState& state,
                                const std::atomic<bool>* cancel);

// Replaces the catalogue file at `path` with `download` when the download
// reads as a catalogue (as stored or unscrambled, as the loader reads it)
// that the loader would not warn about (CatalogueHasLoaderWarnings),
// atomically: the old file is never truncated or half-written; a missing
// folder is made first. Returns kDone when replaced, kError when the
// download is no such catalogue (nothing written), kSaveFailed when the
// file could not be replaced, with the reason in `*failure` when that is
// given. Any thread.
UpdateOutcome StoreDownloadedCatalogue(MemoryStream& download, const std::filesystem::path& path,
                                       std::string* failure = nullptr);

}  // namespace vidora

#endif  // VIDORA_CORE_UPDATES_UPDATE_WORKERS_H_
