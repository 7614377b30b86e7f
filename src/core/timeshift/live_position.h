#ifndef VIDORA_CORE_TIMESHIFT_LIVE_POSITION_H_
#define VIDORA_CORE_TIMESHIFT_LIVE_POSITION_H_

#include <string>

namespace vidora {

// Where a paused or rewound live channel stands, in the stream's seconds.
struct LivePosition {
  double position = 0;  // what shows now
  double start = 0;     // the oldest moment kept (the buffer's start)
  double live = 0;      // the live edge (the buffer's end)

  // How far behind live the picture is (never negative).
  double behind() const { return live > position ? live - position : 0; }
  // Within a few seconds of the edge counts as live.
  bool at_live() const { return behind() < 3.0; }
};

// "LIVE" at the live edge, else "−12:34" (or "−1:02:03") behind it.
std::u16string LiveLabel(const LivePosition& at);

// Where a step of `seconds` (negative: back) from `at` lands: inside what
// is kept, and never more than `max_behind` seconds behind live.
double SeekTarget(const LivePosition& at, double seconds, double max_behind);

}  // namespace vidora

#endif  // VIDORA_CORE_TIMESHIFT_LIVE_POSITION_H_
