#include "ui/recording/record_what_plays.h"

#include "core/catalogue/channel.h"
#include "core/guide/guide_store.h"
#include "ui/playback/playback_control.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/recording/recording_controller.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

QString RecordWhatPlays(RecordingController& recordings, const PlaybackControl& playback) {
  const Channel* channel = playback.playing_channel();
  if (channel == nullptr || playback.playing_address().empty()) return Text("rec_nothing_plays");
  QString title;
  int64_t until = 0;
  if (const PlaylistManager* playlists = PlaylistManager::Current()) {
    const ChannelProgrammes::NowNext now = playlists->GuideNowNext(*channel);
    if (now.now) {
      title = playlists->GuideText(now.now->title);
      until = now.now->stop + 120;
    }
  }
  recordings.ToggleRecording(ToQString(channel->name()), title, ToQString(playback.playing_address()), until);
  return {};
}

}  // namespace vidora
