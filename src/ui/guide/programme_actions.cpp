#include "ui/guide/programme_actions.h"

#include "core/catalogue/channel.h"
#include "core/document/text_codec.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

CatchupAddress ArchiveAddressOf(const PlaylistManager& manager, const Channel& channel,
                                const ProgrammeRecord& programme) {
  const ArchiveProgramme wanted{programme.start, programme.stop, manager.GuideText(programme.catchup_id).toStdString()};
  return BuildCatchupAddress(manager.ArchiveOf(channel), wanted, manager.Now());
}

QString CatchupRefusalText(CatchupRefusal refusal) {
  switch (refusal) {
    case CatchupRefusal::kNone: return {};
    case CatchupRefusal::kNoArchive: return Text("catchup_no_archive");
    case CatchupRefusal::kTooOld: return Text("catchup_too_old");
    case CatchupRefusal::kNotStarted: return Text("catchup_not_started");
  }
  return {};
}

QString ArchiveTitle(const PlaylistManager& manager, const Channel& channel, const ProgrammeRecord& programme) {
  const QString title = manager.GuideText(programme.title);
  const QString name = ToQString(channel.name());
  return title.isEmpty() ? name : name + QStringLiteral(" \u00B7 ") + title;
}

ScheduledRecording RecordingOf(const PlaylistManager& manager, const Channel& channel,
                               const ProgrammeRecord& programme) {
  ScheduledRecording recording;
  recording.channel = Utf16ToUtf8(channel.name());
  recording.title = manager.GuideText(programme.title).toStdString();
  recording.start = programme.start;
  recording.end = programme.stop;
  if (!channel.sources().empty()) {
    const std::string_view address = channel.sources()[static_cast<size_t>(channel.current_source())].address;
    recording.address = std::string(address);
    recording.provider = std::string(channel.provider());
    if (const std::optional<PlaylistChannelInfo> info = manager.FindChannel(channel)) {
      const SourceRequest request = RequestForSource(*info, address);
      recording.user_agent = request.user_agent;
      recording.referrer = request.referrer;
    }
  }
  return recording;
}

}  // namespace vidora
