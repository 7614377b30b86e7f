#include "ui/shell/tilt_tracker.h"

namespace vidora {

Tilt ClassifyTilt(bool read_ok, const MotionSample& s) {
  if (!read_ok || s.z <= -700 || s.z >= 700) return Tilt::kNone;
  if (s.y > 500 && s.x > -400 && s.x < 400) return Tilt::kPortrait;
  if (s.x < 600 && s.y > -300 && s.y < 300) return Tilt::kLandscape;
  return Tilt::kNone;
}

std::optional<int> TiltTracker::Feed(Tilt tilt, bool app_in_front) {
  if (!app_in_front) tilt = Tilt::kNone;
  const Tilt wanted = tilt_rotated_ ? Tilt::kPortrait : Tilt::kLandscape;
  if (tilt != wanted) {
    tilt_count_ = 0;
    return std::nullopt;
  }
  if (++tilt_count_ < kSamplesToRotate) return std::nullopt;
  tilt_count_ = 0;
  tilt_rotated_ = !tilt_rotated_;
  return tilt_rotated_ ? DMDO_270 : DMDO_0;
}

}  // namespace vidora
