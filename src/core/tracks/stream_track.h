#ifndef VIDORA_CORE_TRACKS_STREAM_TRACK_H_
#define VIDORA_CORE_TRACKS_STREAM_TRACK_H_

#include <cstdint>
#include <string>

namespace vidora {

enum class TrackKind { kVideo, kAudio, kSubtitle };

// One elementary stream of what plays, as the engine lists it. Plain value.
struct StreamTrack {
  int64_t id = 0;  // the engine's track id, unique per kind
  TrackKind kind = TrackKind::kVideo;
  std::string language;  // as the stream tags it ("deu", "en"); may be empty
  std::string title;     // the stream's own name for it; may be empty
  std::string codec;     // "aac", "h264", "dvb_subtitle", …
  int channels = 0;      // audio: speaker count (6 for 5.1); 0 when unknown
  int width = 0;         // video: picture size; 0 when unknown
  int height = 0;
  bool selected = false;
  bool operator==(const StreamTrack&) const = default;
};

}  // namespace vidora

#endif  // VIDORA_CORE_TRACKS_STREAM_TRACK_H_
