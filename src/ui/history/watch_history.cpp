#include "ui/history/watch_history.h"

#include "core/history/recent_channels.h"
#include "ui/playback/playback_control.h"

namespace vidora {

void FollowWatchedChannels(PlaybackControl* playback) {
  if (playback == nullptr) return;
  QObject::connect(playback, &PlaybackControl::ChannelStarted, playback,
                   [](const std::string& key) { NoteChannelWatched(key); });
}

}  // namespace vidora
