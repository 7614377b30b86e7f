#ifndef VIDORA_UI_SHELL_PLAYLIST_SOURCES_H_
#define VIDORA_UI_SHELL_PLAYLIST_SOURCES_H_

#include <QStringList>

namespace vidora {

class MainFrame;

// Opens the M3U/M3U8 playlists a start named (CommandLineRequests::
// playlist_sources: absolute file paths or addresses, in the order given)
// in the player whose main window is `frame`: each is imported in the
// background like one added from the menu (PlaylistManager). UI thread.
void OpenPlaylistSources(MainFrame& frame, const QStringList& sources);

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_PLAYLIST_SOURCES_H_
