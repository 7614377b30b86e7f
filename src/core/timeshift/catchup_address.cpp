#include "core/timeshift/catchup_address.h"

#include <algorithm>

#include "core/timeshift/catchup_template.h"

namespace vidora {
namespace {

constexpr int64_t kSecondsPerDay = 24 * 60 * 60;
// A programme that began less than this long ago is still what plays live.
constexpr int64_t kLiveMargin = 5;
// The length assumed for a programme whose end the guide does not know.
constexpr int64_t kUnknownLength = 60 * 60;

}  // namespace

bool ArchiveHolds(const ChannelArchive& archive, int64_t start, int64_t now) {
  if (!archive.available()) return false;
  return archive.days == 0 || start >= now - static_cast<int64_t>(archive.days) * kSecondsPerDay;
}

CatchupAddress BuildCatchupAddress(const ChannelArchive& archive, const ArchiveProgramme& programme, int64_t now) {
  CatchupAddress result;
  if (!archive.available()) {
    result.refusal = CatchupRefusal::kNoArchive;
    return result;
  }
  if (programme.start >= now - kLiveMargin) {
    result.refusal = CatchupRefusal::kNotStarted;
    return result;
  }
  if (!ArchiveHolds(archive, programme.start, now)) {
    result.refusal = CatchupRefusal::kTooOld;
    return result;
  }
  int64_t duration = programme.end > programme.start ? programme.end - programme.start : kUnknownLength;
  duration = std::min(duration, now - programme.start);
  CatchupTimes times;
  times.start = programme.start - archive.shift_seconds;
  times.duration = duration;
  // Only the programme's times are shifted: "now" is the real clock.
  times.now = now;
  times.catchup_id = programme.catchup_id;
  result.address = ExpandCatchupTemplate(archive.source, times);
  result.duration = duration;
  return result;
}

}  // namespace vidora
