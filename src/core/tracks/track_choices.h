#ifndef VIDORA_CORE_TRACKS_TRACK_CHOICES_H_
#define VIDORA_CORE_TRACKS_TRACK_CHOICES_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/tracks/stream_track.h"

namespace vidora {

// What the user chose for one channel's sound and subtitles. Each is a
// language tag as the stream gave it, "#<id>" for a track without one,
// "off" (subtitles only), or empty while nothing was chosen.
struct TrackChoice {
  std::string audio;
  std::string subtitles;
  bool operator==(const TrackChoice&) const = default;
};

// How the engine is to pick tracks when a channel opens: language lists in
// order of preference (comma-separated, as the engine takes them), whether
// subtitles show at all, and a track id to select once the tracks are
// known (for a remembered track without a language).
struct TrackRequest {
  std::string audio_languages;
  std::string subtitle_languages;
  bool subtitles = false;
  std::optional<int64_t> audio_id;
  std::optional<int64_t> subtitle_id;
  bool operator==(const TrackRequest&) const = default;
};

// The request for a channel: its remembered choice (may be null) first,
// then the user's preferred languages. Subtitles are off unless the user
// prefers some language for them or chose a track on this channel.
TrackRequest RequestFor(const TrackChoice* choice, const std::string& preferred_audio,
                        const std::string& preferred_subtitles);

// How `track` is remembered: its language, else "#<id>".
std::string ChoiceFor(const StreamTrack& track);

// The track a press of the audio or subtitle key moves to: the one after
// the selected one of `kind`, wrapping; for subtitles "off" (no id) comes
// after the last. `possible` is false when the stream has no such track.
struct TrackStep {
  bool possible = false;
  std::optional<int64_t> id;
};
TrackStep NextTrack(const std::vector<StreamTrack>& tracks, TrackKind kind);

// The choices of the channels the user chose tracks on, newest first and
// at most kMaxChannels of them. Stored as one text: per channel its key,
// audio and subtitle choice separated by U+001F, channels separated by
// U+001E. Damaged entries are skipped when read.
class TrackChoices {
 public:
  static constexpr size_t kMaxChannels = 500;

  static TrackChoices Decode(std::u16string_view stored);
  std::u16string Encode() const;

  // Null when nothing was chosen for the channel.
  const TrackChoice* Find(std::string_view channel_key) const;
  // Makes `choice` the channel's, as the newest entry.
  void Remember(const std::string& channel_key, const TrackChoice& choice);

 private:
  std::vector<std::pair<std::string, TrackChoice>> entries_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_TRACKS_TRACK_CHOICES_H_
