#ifndef VIDORA_CORE_TIMESHIFT_CHANNEL_ARCHIVE_H_
#define VIDORA_CORE_TIMESHIFT_CHANNEL_ARCHIVE_H_

#include <string>
#include <string_view>

#include "core/timeshift/catchup_attributes.h"

namespace vidora {

// How a provider's archive is addressed.
enum class CatchupMode {
  kNone,       // no archive
  kDefault,    // catchup-source is the whole address
  kAppend,     // catchup-source is added to the live address
  kShift,      // "?utc={utc}&lutc={lutc}" added to the live address
  kFlussonic,  // the archive path derived from the live path
  kXtream,     // /timeshift/user/password/... derived from the live path
  kVod,        // catchup-source (else the programme's catch-up id) as is
};

// Days kept by an archive that says nothing about it.
inline constexpr int kDefaultCatchupDays = 5;

// A channel's archive as its playlist describes it.
struct ChannelArchive {
  CatchupMode mode = CatchupMode::kNone;
  // The address template with its placeholders (see ExpandCatchupTemplate).
  std::string source;
  // How far back programmes are kept; 0: no limit (a "vod" archive without
  // catchup-days, whose programmes carry their own ids).
  int days = 0;
  // Seconds subtracted from a programme's shown start before it goes into
  // the address: tvg-shift plus catchup-correction.
  int shift_seconds = 0;
  // The archive answers with an MPEG-TS stream rather than an HLS list.
  bool ts_stream = false;

  bool available() const { return mode != CatchupMode::kNone; }
};

// Reads the archive of an entry playing `live_address`, with the header's
// attributes as defaults for what the entry leaves out. A mode that needs
// a catchup-source without one, or a live address a derived mode cannot
// take apart, gives no archive (mode kNone). Any thread.
ChannelArchive ReadChannelArchive(const CatchupAttributes& entry, const CatchupAttributes& header,
                                  std::string_view live_address);

// How far a channel's guide times move: its entry's tvg-shift, else the
// header's (tvg-shift or x-tvg-shift), in hours that may be negative or
// decimal ("-1", "+5.5"), as seconds. 0 when absent, unreadable or beyond
// 48 hours. Any thread.
int GuideShiftSeconds(const CatchupAttributes& entry, const CatchupAttributes& header);

}  // namespace vidora

#endif  // VIDORA_CORE_TIMESHIFT_CHANNEL_ARCHIVE_H_
