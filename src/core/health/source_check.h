#ifndef VIDORA_CORE_HEALTH_SOURCE_CHECK_H_
#define VIDORA_CORE_HEALTH_SOURCE_CHECK_H_

#include <cstdint>

namespace vidora {

// What a check of one stream source found.
enum class SourceState : uint8_t {
  kUnknown = 0,  // not checked, or not checkable (no web address, no password)
  kLive = 1,     // it answered with a stream
  kDead = 2,     // it did not; DeadReason says why
};

// Why a source counts as dead. Stored by number: new reasons go at the end.
enum class DeadReason : uint8_t {
  kNone = 0,
  kRefused = 1,        // the server refused the connection
  kNoHost = 2,         // the server's name is unknown
  kNoAnswer = 3,       // nothing arrived in time
  kTooSlow = 4,        // it began, but too little arrived in time
  kHttpStatus = 5,     // an error status (SourceCheck::http_status)
  kWebPage = 6,        // a web page instead of a stream
  kEmpty = 7,          // an empty answer
  kNoSegment = 8,      // an HLS playlist without a segment
  kSegmentFailed = 9,  // the HLS playlist answered, its first segment did not
  kFailed = 10,        // any other failure of the connection
};
inline constexpr uint8_t kLastDeadReason = static_cast<uint8_t>(DeadReason::kFailed);

// The outcome of one check of one source.
struct SourceCheck {
  int64_t checked_at = 0;  // seconds since 1970
  SourceState state = SourceState::kUnknown;
  DeadReason reason = DeadReason::kNone;
  int http_status = 0;  // for kHttpStatus (and kSegmentFailed on a status)
};

}  // namespace vidora

#endif  // VIDORA_CORE_HEALTH_SOURCE_CHECK_H_
