#ifndef VIDORA_UI_TIMESHIFT_RESTART_PROGRAMME_H_
#define VIDORA_UI_TIMESHIFT_RESTART_PROGRAMME_H_

#include <QString>

namespace vidora {

class PlaybackControl;
class PlaylistManager;

// Home on the main window: plays the guide's running programme of what
// `playback` plays from its start out of the channel's archive. Returns
// the sentence saying why it cannot (no running programme, no archive),
// empty when it plays or when nothing plays. UI thread only.
QString RestartRunningProgramme(PlaybackControl& playback, const PlaylistManager& manager);

}  // namespace vidora

#endif  // VIDORA_UI_TIMESHIFT_RESTART_PROGRAMME_H_
