#ifndef VIDORA_UI_SHELL_COMMAND_LINE_ACTIONS_H_
#define VIDORA_UI_SHELL_COMMAND_LINE_ACTIONS_H_

#include "ui/shell/command_line.h"

namespace vidora {

class MainFrame;

// Carries out what a start asked for, in the running player whose main
// window is `frame` (built, so the catalogue exists): the playlists go to
// OpenPlaylistSources, then the last stream address plays at once as the
// catalogue's address channel (named after the address, never saved).
// Help, version and errors were dealt with before. UI thread.
void ActOnCommandLine(MainFrame& frame, const CommandLineRequests& requests);

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_COMMAND_LINE_ACTIONS_H_
