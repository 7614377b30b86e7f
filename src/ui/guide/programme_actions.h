#ifndef VIDORA_UI_GUIDE_PROGRAMME_ACTIONS_H_
#define VIDORA_UI_GUIDE_PROGRAMME_ACTIONS_H_

#include <QString>

#include "core/guide/guide_store.h"
#include "core/recording/recording_schedule.h"
#include "core/timeshift/catchup_address.h"

namespace vidora {

class Channel;
class PlaylistManager;

// What the guide and the main window do with one programme of a playlist
// channel: play it from the channel's archive, or schedule its recording.
// UI thread only (they read the manager's playlists and guide).

// The archive address that plays `programme` of `channel` from its start
// at the manager's clock; refusal kNoArchive for a channel whose playlist
// gives it no archive.
CatchupAddress ArchiveAddressOf(const PlaylistManager& manager, const Channel& channel,
                                const ProgrammeRecord& programme);
// The translated sentence saying why there is no archive address; empty
// for kNone.
QString CatchupRefusalText(CatchupRefusal refusal);
// The name a programme played from the archive shows: "Channel · Title".
QString ArchiveTitle(const PlaylistManager& manager, const Channel& channel, const ProgrammeRecord& programme);

// The schedule entry that records `programme` from the stream `channel`
// plays first, with the request headers its playlist gives that source.
ScheduledRecording RecordingOf(const PlaylistManager& manager, const Channel& channel,
                               const ProgrammeRecord& programme);

}  // namespace vidora

#endif  // VIDORA_UI_GUIDE_PROGRAMME_ACTIONS_H_
