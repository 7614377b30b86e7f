#include "ui/shell/playlist_sources.h"

#include "ui/playlists/playlist_manager.h"

namespace vidora {

void OpenPlaylistSources(MainFrame&, const QStringList& sources) {
  PlaylistManager* manager = PlaylistManager::Current();
  if (manager == nullptr) return;
  for (const QString& source : sources) manager->AddPlaylistSource(source);
}

}  // namespace vidora
