#ifndef VIDORA_UI_PLAYBACK_STATUS_POLLER_H_
#define VIDORA_UI_PLAYBACK_STATUS_POLLER_H_

#include <QObject>
#include <QTimer>

#include <map>

namespace vidora {

class PlayerEvents;

// Reports the main player's status every kStatusPollPeriodMs while a
// stream buffers, at most kStatusPollCount times per buffering start; a
// new start while an earlier poll runs starts a second one. Runs on the
// UI thread's timers; installs itself as the poll starter of `events`.
class StatusPoller : public QObject {
  Q_OBJECT

 public:
  explicit StatusPoller(PlayerEvents& events);
  ~StatusPoller() override;

  // Starts one poll (what a buffering start does).
  void StartPoll();
  // Polls still running.
  int active_polls() const { return static_cast<int>(polls_.size()); }
  // Runs one step of every running poll now, as if their timers fired
  // (tests drive polls with this instead of waiting).
  void StepAll();

 private:
  void Step(QTimer* poll);

  PlayerEvents& events_;
  // Each running poll's timer (a child of this object) and the reports it
  // may still make.
  std::map<QTimer*, int> polls_;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_STATUS_POLLER_H_
