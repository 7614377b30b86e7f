#include "ui/shell/playlist_sources.h"

namespace vidora {

void OpenPlaylistSources(MainFrame&, const QStringList&) {}

}  // namespace vidora
