#ifndef VIDORA_CORE_PLAYBACK_STREAM_FAILURE_H_
#define VIDORA_CORE_PLAYBACK_STREAM_FAILURE_H_

#include <string>
#include <string_view>

namespace vidora {

// What a user can do something about when a stream fails.
enum class StreamFailure {
  kNone,
  kServerNotFound,     // no network, or the server's name is unknown
  kNoConnection,       // the server refused or did not answer in time
  kNotAvailable,       // HTTP 4xx: the channel is gone or forbidden
  kServerError,        // HTTP 5xx
  kBadFormat,          // not a stream the player can read, or damaged
  kNoSoundDevice,      // no audio output could be opened
  kNoProviderAddress,  // the provider's page gave no playable address
  kCannotPlay,         // anything else
};

// The language pack key of the one-sentence message for `failure`
// (empty for kNone). The sentences of kNotAvailable and kServerError take
// the HTTP status as "%1".
std::string_view FailureTextKey(StreamFailure failure);
// Whether `failure` means the server could not be reached at all.
bool IsUnreachable(StreamFailure failure);

// Collects the engine's warning and error lines about one stream and
// tells what failed. Plain value; any thread, one at a time.
class FailureNotes {
 public:
  void Clear() { *this = FailureNotes(); }
  // One logged line; `module` is the engine part that logged it
  // ("ffmpeg" for the network layer, "ao/..." for audio output).
  void Note(std::string_view module, std::string_view line);

  // The cause the lines point at; kCannotPlay when none does.
  StreamFailure Cause() const { return cause_ == StreamFailure::kNone ? StreamFailure::kCannotPlay : cause_; }
  // The same, leaving out a missing sound device: what broke a stream that
  // played (its picture) in spite of it.
  StreamFailure CauseBesidesSound() const {
    return stream_cause_ == StreamFailure::kNone ? StreamFailure::kCannotPlay : stream_cause_;
  }
  // Whether a line said that no sound output could be opened.
  bool sound_missing() const { return sound_missing_; }
  // The HTTP status of a 4xx/5xx answer, else 0.
  int http_status() const { return http_status_; }
  // The most telling line (the network layer's last one, else the first
  // one), for a tooltip and the log, credentials masked (MaskCredentials);
  // empty when none came.
  const std::string& detail() const { return detail_; }
  bool empty() const { return detail_.empty(); }

 private:
  StreamFailure cause_ = StreamFailure::kNone;
  StreamFailure stream_cause_ = StreamFailure::kNone;
  bool sound_missing_ = false;
  int http_status_ = 0;
  std::string detail_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYBACK_STREAM_FAILURE_H_
