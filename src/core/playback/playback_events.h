#ifndef VIDORA_CORE_PLAYBACK_PLAYBACK_EVENTS_H_
#define VIDORA_CORE_PLAYBACK_PLAYBACK_EVENTS_H_

#include <optional>
#include <string>
#include <vector>

#include "core/playback/play_state.h"
#include "core/playback/stream_failure.h"
#include "core/tracks/stream_track.h"

namespace vidora {

// The player's state as one report: what plays, whether it waits for data,
// and its status line. Plain value.
struct PlayerStatus {
  PlayState state = PlayState::kUndefined;
  // 0-100 while the picture (or sound) waits for data, -1 while it flows.
  int buffering_percent = -1;
  // The status line in the interface language ("Opening…", "Buffering
  // 40%", "Playing", "Stopped", or the sentence of a failure).
  std::u16string text;

  bool buffering() const { return buffering_percent >= 0; }
  bool operator==(const PlayerStatus&) const = default;
};

// Why the stream of the last play failed. Plain value.
struct FailureReport {
  StreamFailure failure = StreamFailure::kNone;
  // The one sentence shown to the user.
  std::u16string text;
  // The engine's own words, for a tooltip and the log (may be empty).
  std::u16string detail;
};

// What the open stream carries. Plain value.
struct StreamTracks {
  bool video = false;
  bool audio = false;
  // Every track the stream offers, in the engine's order (empty before
  // the engine listed them).
  std::vector<StreamTrack> list;
  bool operator==(const StreamTracks&) const = default;
};

// Where the stream stands, in seconds of its own clock. A live stream has a
// position once it plays; the seekable range is what the engine holds in
// its cache and can go back to (none when it holds nothing seekable).
struct StreamPosition {
  std::optional<double> position;
  std::optional<double> seekable_start;
  std::optional<double> seekable_end;
  bool operator==(const StreamPosition&) const = default;
};

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYBACK_PLAYBACK_EVENTS_H_
