#ifndef VIDORA_CORE_TIMESHIFT_CATCHUP_ADDRESS_H_
#define VIDORA_CORE_TIMESHIFT_CATCHUP_ADDRESS_H_

#include <cstdint>
#include <string>

#include "core/timeshift/channel_archive.h"

namespace vidora {

// A programme to be played from the archive, its times in epoch seconds as
// the guide shows them (that is, after the channel's tvg-shift).
struct ArchiveProgramme {
  int64_t start = 0;
  int64_t end = 0;
  std::string catchup_id;  // the guide's catchup-id of the programme; may be empty
};

// Why no archive address was made.
enum class CatchupRefusal {
  kNone,        // the address was made
  kNoArchive,   // the channel has no archive
  kTooOld,      // the programme began before the archive's first day
  kNotStarted,  // the programme has not begun (it is live or in the future)
};

struct CatchupAddress {
  std::string address;  // empty unless refusal is kNone
  CatchupRefusal refusal = CatchupRefusal::kNone;
  // Seconds the archive stream plays: the programme's length, or up to now
  // for one still running.
  int64_t duration = 0;
};

// The address that plays `programme` from its start, at `now`. Any thread.
CatchupAddress BuildCatchupAddress(const ChannelArchive& archive, const ArchiveProgramme& programme, int64_t now);

// Whether the archive still holds a programme that began at `start`
// (shown time) at `now`.
bool ArchiveHolds(const ChannelArchive& archive, int64_t start, int64_t now);

}  // namespace vidora

#endif  // VIDORA_CORE_TIMESHIFT_CATCHUP_ADDRESS_H_
