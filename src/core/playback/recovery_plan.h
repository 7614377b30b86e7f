#ifndef VIDORA_CORE_PLAYBACK_RECOVERY_PLAN_H_
#define VIDORA_CORE_PLAYBACK_RECOVERY_PLAN_H_

#include <optional>
#include <vector>

namespace vidora {

// Back-off between reconnection attempts: doubles from the first delay up
// to the longest, and gives up once the delays add up to the budget.
inline constexpr int kReconnectFirstDelayMs = 1000;
inline constexpr int kReconnectLongestDelayMs = 8000;
inline constexpr int kReconnectBudgetMs = 60000;

// What follows when a channel's stream fails or drops. A channel's sources
// are alternatives: a source that fails to open, or whose reconnection
// gives up, hands over to the next one, wrapping round once, so that every
// source is tried once before the channel fails. A stream that drops
// after it played is reconnected first, with a bounded back-off. Plain
// value; one per play of a channel.
class RecoveryPlan {
 public:
  // `source_count` sources (at least 1), starting with `first_source`.
  // `order` (when it holds each source once) is the order to hand over
  // in, from `first_source` on, wrapping (the channel check puts the
  // sources that answered first); otherwise the sources' own order.
  RecoveryPlan(int source_count, int first_source, std::vector<int> order = {});

  // The source tried now.
  int source() const { return source_; }
  // The source plays: the next drop starts its back-off afresh.
  void OnPlaying();
  // The stream played and dropped (or a reconnection attempt failed):
  // the delay before the next attempt on the same source, or none when
  // reconnection gives up.
  std::optional<int> NextReconnectDelayMs();
  // The current source failed for good: the next source to try (which
  // becomes current), or none when every source was tried.
  std::optional<int> NextSource();
  // Whether a drop is being reconnected (NextReconnectDelayMs gave a
  // delay and the source has not played since).
  bool reconnecting() const { return reconnecting_; }

 private:
  int source_count_;
  std::vector<int> order_;
  size_t position_ = 0;  // of source_ in order_
  int source_;
  int tried_ = 1;
  int next_delay_ms_ = kReconnectFirstDelayMs;
  int waited_ms_ = 0;
  bool reconnecting_ = false;
};

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYBACK_RECOVERY_PLAN_H_
