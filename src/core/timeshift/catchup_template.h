#ifndef VIDORA_CORE_TIMESHIFT_CATCHUP_TEMPLATE_H_
#define VIDORA_CORE_TIMESHIFT_CATCHUP_TEMPLATE_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace vidora {

// The times an archive address is built from, in seconds since the epoch.
struct CatchupTimes {
  int64_t start = 0;     // where the archive should start playing
  int64_t duration = 0;  // how long it should play
  int64_t now = 0;
  std::string catchup_id;  // the programme's own archive id; may be empty
};

// Replaces the placeholders of an archive address template:
//   {utc} ${start}            start, in epoch seconds
//   {utcend} ${end}           start + duration
//   {lutc} ${now} ${timestamp} now
//   {duration} ${duration}    duration in seconds; {duration:N} in units of N s
//   ${offset}                 now - start; {offset:N} in units of N s (never < 0)
//   {Y} {m} {d} {H} {M} {S}   start's local date and time, two digits (Y four)
//   {utc:F} ${start:F} {utcend:F} ${end:F} {lutc:F} ${now:F} ${timestamp:F}
//                             that time local, F's letters Y m d H M S
//                             replaced as above, everything else kept
//   {catchup-id}              the programme's id (kept as written when empty)
// Anything else, unknown names and unclosed braces included, is copied as
// it stands. Local time follows the process's time zone (TZ). Any thread.
std::string ExpandCatchupTemplate(std::string_view source, const CatchupTimes& times);

}  // namespace vidora

#endif  // VIDORA_CORE_TIMESHIFT_CATCHUP_TEMPLATE_H_
