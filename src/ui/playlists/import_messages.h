#ifndef VIDORA_UI_PLAYLISTS_IMPORT_MESSAGES_H_
#define VIDORA_UI_PLAYLISTS_IMPORT_MESSAGES_H_

#include <QString>

#include <vector>

#include "core/playlists/playlist_import.h"

namespace vidora {

// The sentences the user reads about imports, in the interface language.
// UI thread only (they read the language pack).

// What went wrong with a failed import: "The address did not return a
// playlist (a web page: “404 Not Found”)."
QString ImportFailureText(const PlaylistImport& result);

// After a successful import: "Added “name”: 15,354 channels (1,352
// entries skipped)." and, when something was cut, a second sentence.
QString ImportSummaryText(const PlaylistImport& result);

// One sentence for refreshes of which `failed` (at least one) could not
// be done: "3 playlists could not be refreshed; the previous copies are
// kept."
QString RefreshFailureText(size_t failed);

}  // namespace vidora

#endif  // VIDORA_UI_PLAYLISTS_IMPORT_MESSAGES_H_
