#ifndef VIDORA_UI_SHELL_PLAYLIST_SOURCES_H_
#define VIDORA_UI_SHELL_PLAYLIST_SOURCES_H_

#include <QStringList>

namespace vidora {

class MainFrame;

// Opens the M3U/M3U8 playlists a start named (CommandLineRequests::
// playlist_sources: absolute file paths or addresses, in the order given)
// in the player whose main window is `frame`. UI thread. Playlists are not
// read yet: the sources are left alone and nothing is shown.
void OpenPlaylistSources(MainFrame& frame, const QStringList& sources);

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_PLAYLIST_SOURCES_H_
