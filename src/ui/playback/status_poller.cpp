#include "ui/playback/status_poller.h"

#include <vector>

#include "core/playback/player_events.h"

namespace vidora {

StatusPoller::StatusPoller(PlayerEvents& events) : events_(events) {
  events_.set_poll_starter([this] { StartPoll(); });
}

StatusPoller::~StatusPoller() { events_.set_poll_starter({}); }

void StatusPoller::StartPoll() {
  auto* timer = new QTimer(this);
  timer->setInterval(kStatusPollPeriodMs);
  connect(timer, &QTimer::timeout, this, [this, timer] { Step(timer); });
  polls_[timer] = kStatusPollCount;
  // The first report comes at once, as a polling thread's would.
  Step(timer);
  if (polls_.count(timer) != 0) timer->start();
}

void StatusPoller::Step(QTimer* poll) {
  auto it = polls_.find(poll);
  if (it == polls_.end()) return;
  const bool reported = it->second > 0 && events_.StatusPollStep();
  if (reported) --it->second;
  if (!reported || it->second == 0) {
    polls_.erase(it);
    poll->stop();
    // The timer may be the caller; it goes once its signal has returned.
    poll->deleteLater();
  }
}

void StatusPoller::StepAll() {
  std::vector<QTimer*> polls;
  for (const auto& [timer, remaining] : polls_) polls.push_back(timer);
  for (QTimer* poll : polls) Step(poll);
}

}  // namespace vidora
