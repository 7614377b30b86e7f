#ifndef VIDORA_UI_HISTORY_WATCH_HISTORY_H_
#define VIDORA_UI_HISTORY_WATCH_HISTORY_H_

namespace vidora {

class PlaybackControl;

// Keeps the recently watched list (core/history/recent_channels.h) in the
// settings from now on: every channel `playback` is asked to play goes in
// front of it. The link ends with `playback`. UI thread only.
void FollowWatchedChannels(PlaybackControl* playback);

}  // namespace vidora

#endif  // VIDORA_UI_HISTORY_WATCH_HISTORY_H_
