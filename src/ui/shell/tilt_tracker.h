#ifndef VIDORA_UI_SHELL_TILT_TRACKER_H_
#define VIDORA_UI_SHELL_TILT_TRACKER_H_

#include <optional>

#include "ui/shell/accelerometer.h"

namespace vidora {

// Display orientations, with the values the display settings use.
inline constexpr int DMDO_0 = 0;    // portrait, the normal orientation
inline constexpr int DMDO_270 = 4;  // landscape

enum class Tilt { kNone, kPortrait, kLandscape };

// Classifies one reading (`read_ok` false for a failed read): |Z| of 700
// or more is no orientation; Y > 500 with |X| < 400 is portrait; X < 600
// with |Y| < 300 is landscape; anything else is no orientation.
Tilt ClassifyTilt(bool read_ok, const MotionSample& sample);

// Turns a stream of classified samples into orientation changes: eight
// agreeing samples in a row rotate to landscape, and eight portrait ones
// rotate back. A sample taken while the application is not in front
// counts as no orientation.
class TiltTracker {
 public:
  static constexpr int kSamplesToRotate = 8;

  // Returns the orientation to switch to (DMDO_270 or DMDO_0), or nullopt.
  std::optional<int> Feed(Tilt tilt, bool app_in_front);

  int tilt_count() const { return tilt_count_; }
  bool tilt_rotated() const { return tilt_rotated_; }
  void Reset() { tilt_count_ = 0; tilt_rotated_ = false; }

 private:
  int tilt_count_ = 0;
  bool tilt_rotated_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_TILT_TRACKER_H_
