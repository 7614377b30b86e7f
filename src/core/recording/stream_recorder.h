#ifndef VIDORA_CORE_RECORDING_STREAM_RECORDER_H_
#define VIDORA_CORE_RECORDING_STREAM_RECORDER_H_

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace vidora {

// What to record and where.
struct RecordingRequest {
  std::string address;  // the channel's stream: MPEG-TS bytes or an HLS playlist
  std::string user_agent;
  std::string referrer;
  std::filesystem::path final_path;  // written as final_path + ".part" until the end
  int64_t stop_at = 0;               // epoch seconds; 0: until stopped
  // The recording stops, as with a full disk, when less than this is free.
  uint64_t min_free_bytes = 256ull << 20;
};

// Why a recording ended.
enum class RecordingEnd {
  kStopped,      // Stop() (the user, or the player closing)
  kTimeReached,  // stop_at passed (the programme is over)
  kSourceEnded,  // the stream said it is over (an HLS end mark)
  kDiskFull,     // a write failed for lack of space, or free space ran low
  kNotWritable,  // the file could not be created
  kSourceFailed, // nothing came for too long; what came is kept
};

struct RecordingResult {
  RecordingEnd end = RecordingEnd::kStopped;
  std::filesystem::path path;  // the final file; empty when nothing was recorded
  uint64_t bytes = 0;
  int gaps = 0;        // drops survived (reconnects, segments missed)
  std::string detail;  // the system's or server's words for a failure
};

// Records a stream by copying its own bytes to a file on a thread of its
// own, with a connection of its own, so that what plays is not disturbed:
// an MPEG-TS stream as it arrives, an HLS stream segment by segment (the
// segments' MPEG-TS bytes one after the other make one playable file).
// A drop is survived: the recorder reconnects and keeps writing, and
// reports the gap. At the end the file gets its final name (kept also
// after a failure, as far as it was written).
class StreamRecorder {
 public:
  // Both run on the recorder's thread. `on_gap` gets a line for the log;
  // `on_end` is called exactly once, last.
  using GapListener = std::function<void(const std::string& what)>;
  using EndListener = std::function<void(const RecordingResult& result)>;

  StreamRecorder(RecordingRequest request, GapListener on_gap, EndListener on_end);
  StreamRecorder(const StreamRecorder&) = delete;
  StreamRecorder& operator=(const StreamRecorder&) = delete;
  // Stops and waits for the end (within about a second).
  ~StreamRecorder();

  // Asks the recording to end; returns at once. Any thread.
  void Stop() { stop_ = true; }
  // Waits until the recording has ended.
  void Join();
  uint64_t bytes_written() const { return bytes_; }
  const RecordingRequest& request() const { return request_; }

 private:
  class Session;
  void Run();

  RecordingRequest request_;
  GapListener on_gap_;
  EndListener on_end_;
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> bytes_{0};
  std::thread thread_;
};


}  // namespace vidora

#endif  // VIDORA_CORE_RECORDING_STREAM_RECORDER_H_
