#include "ui/timeshift/restart_programme.h"

#include "core/catalogue/channel.h"
#include "core/document/text_codec.h"
#include "ui/guide/programme_actions.h"
#include "ui/playback/playback_control.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

QString RestartRunningProgramme(PlaybackControl& playback, const PlaylistManager& manager) {
  const Channel* channel = playback.playing_channel();
  if (channel == nullptr) return {};
  const std::optional<ProgrammeRecord> running = manager.GuideNowNext(*channel).now;
  if (!running) return Text("catchup_no_running");
  const CatchupAddress archive = ArchiveAddressOf(manager, *channel, *running);
  if (archive.refusal != CatchupRefusal::kNone) return CatchupRefusalText(archive.refusal);
  playback.PlayCatchup(*channel, Utf8ToUtf16(archive.address), ArchiveTitle(manager, *channel, *running).toStdU16String());
  return {};
}

}  // namespace vidora
