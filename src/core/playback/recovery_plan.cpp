#include "core/playback/recovery_plan.h"

#include <algorithm>

namespace vidora {

RecoveryPlan::RecoveryPlan(int source_count, int first_source, std::vector<int> order)
    : source_count_(std::max(1, source_count)), source_(std::clamp(first_source, 0, source_count_ - 1)) {
  std::vector<int> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  bool permutation = sorted.size() == static_cast<size_t>(source_count_);
  for (size_t i = 0; permutation && i < sorted.size(); ++i) permutation = sorted[i] == static_cast<int>(i);
  if (!permutation) {
    order.resize(static_cast<size_t>(source_count_));
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  }
  order_ = std::move(order);
  position_ = static_cast<size_t>(std::find(order_.begin(), order_.end(), source_) - order_.begin());
}

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
  position_ = (position_ + 1) % order_.size();
  source_ = order_[position_];
  next_delay_ms_ = kReconnectFirstDelayMs;
  waited_ms_ = 0;
  return source_;
}

}  // namespace vidora
