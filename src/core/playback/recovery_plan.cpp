#include "core/playback/recovery_plan.h"

#include <algorithm>

namespace vidora {

RecoveryPlan::RecoveryPlan(int source_count, int first_source)
    : source_count_(std::max(1, source_count)), source_(std::clamp(first_source, 0, source_count_ - 1)) {}

void RecoveryPlan::OnPlaying() {
  reconnecting_ = false;
  next_delay_ms_ = kReconnectFirstDelayMs;
  waited_ms_ = 0;
}

std::optional<int> RecoveryPlan::NextReconnectDelayMs() {
  if (waited_ms_ >= kReconnectBudgetMs) {
    reconnecting_ = false;
    return std::nullopt;
  }
  const int delay = next_delay_ms_;
  waited_ms_ += delay;
  next_delay_ms_ = std::min(next_delay_ms_ * 2, kReconnectLongestDelayMs);
  reconnecting_ = true;
  return delay;
}

std::optional<int> RecoveryPlan::NextSource() {
  reconnecting_ = false;
  if (tried_ >= source_count_) return std::nullopt;
  ++tried_;
  source_ = (source_ + 1) % source_count_;
  next_delay_ms_ = kReconnectFirstDelayMs;
  waited_ms_ = 0;
  return source_;
}

}  // namespace vidora
