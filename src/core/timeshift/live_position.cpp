#include "core/timeshift/live_position.h"

#include <algorithm>
#include <cmath>

namespace vidora {
namespace {

std::u16string TwoDigits(int value) {
  return std::u16string{static_cast<char16_t>(u'0' + value / 10 % 10), static_cast<char16_t>(u'0' + value % 10)};
}

std::u16string Number(int value) {
  std::u16string out;
  const std::string digits = std::to_string(value);
  out.assign(digits.begin(), digits.end());
  return out;
}

}  // namespace

std::u16string LiveLabel(const LivePosition& at) {
  if (at.at_live()) return u"LIVE";
  const int total = static_cast<int>(std::lround(at.behind()));
  const int hours = total / 3600;
  const int minutes = total / 60 % 60;
  const int seconds = total % 60;
  std::u16string label = u"\u2212";
  if (hours > 0) {
    label += Number(hours) + u":" + TwoDigits(minutes);
  } else {
    label += Number(minutes);
  }
  return label + u":" + TwoDigits(seconds);
}

double SeekTarget(const LivePosition& at, double seconds, double max_behind) {
  const double oldest = std::max(at.start, at.live - std::max(0.0, max_behind));
  return std::clamp(at.position + seconds, std::min(oldest, at.live), at.live);
}

}  // namespace vidora
