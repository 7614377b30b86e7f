#ifndef VIDORA_UI_RECORDING_RECORD_WHAT_PLAYS_H_
#define VIDORA_UI_RECORDING_RECORD_WHAT_PLAYS_H_

#include <QString>

namespace vidora {

class PlaybackControl;
class RecordingController;

// R, the menu's "Record": starts recording what `playback` plays, until
// the running programme ends (its guide entry, two minutes late) or the
// user stops it; stops it when it records already. Returns the sentence to
// show when nothing plays, else empty. UI thread.
QString RecordWhatPlays(RecordingController& recordings, const PlaybackControl& playback);

}  // namespace vidora

#endif  // VIDORA_UI_RECORDING_RECORD_WHAT_PLAYS_H_
