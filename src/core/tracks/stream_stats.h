#ifndef VIDORA_CORE_TRACKS_STREAM_STATS_H_
#define VIDORA_CORE_TRACKS_STREAM_STATS_H_

#include <cstdint>
#include <string>

namespace vidora {

// What the engine measures of the stream that plays, for the information
// overlay. Plain value; zero or empty where unknown.
struct StreamStats {
  std::string video_codec;
  std::string audio_codec;
  int width = 0;
  int height = 0;
  double fps = 0;
  int64_t video_bitrate = 0;  // bits per second
  int64_t audio_bitrate = 0;
  int64_t dropped_frames = 0;
  double buffered_seconds = 0;  // read ahead of what shows
  bool interlaced = false;
};

}  // namespace vidora

#endif  // VIDORA_CORE_TRACKS_STREAM_STATS_H_
