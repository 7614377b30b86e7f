#ifndef VIDORA_UI_SLEEP_SLEEP_TIMER_H_
#define VIDORA_UI_SLEEP_SLEEP_TIMER_H_

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>

namespace vidora {

class PlaybackControl;

// Ends playback at a chosen time: shows the time left in the information
// strip's countdown field, fades what the player plays out over the last
// kFadeMs (the player's level only: the stored volume, the panel and the
// desktop's volume stay as they are), then stops playback, gives the
// player the stored level back for the next play and, when quit_at_end(),
// runs `quit`. Off (Cancel) ends the countdown and gives the level back at
// once. The user may play, stop or change the volume meanwhile; the
// countdown goes on.
//
// UI thread only. `playback` must outlive this object; `quit` is run from
// the timer's tick and may close the window that owns this object later,
// not at once (as the Exit command does, by a posted close).
class SleepTimer : public QObject {
  Q_OBJECT

 public:
  // Milliseconds since 1970.
  using Clock = std::function<int64_t()>;
  static constexpr int64_t kFadeMs = 30'000;

  SleepTimer(PlaybackControl* playback, std::function<void()> quit, QObject* parent = nullptr);
  ~SleepTimer() override;

  // Ends playback `minutes` from now (replacing a countdown under way).
  void StartMinutes(int minutes);
  // Ends playback at `end_ms` (the clock's time); a time already past
  // ends it at the next tick.
  void StartUntil(int64_t end_ms);
  // Off: no countdown; a fade under way is undone.
  void Cancel();
  bool active() const { return end_ms_.has_value(); }
  // Time left, 0 when none runs.
  int64_t RemainingMs() const;

  void set_quit_at_end(bool quit) { quit_at_end_ = quit; }
  bool quit_at_end() const { return quit_at_end_; }

  // Replaces the clock (tests); the default is the system's.
  void set_clock(Clock clock) { clock_ = std::move(clock); }
  // One step: the countdown, the fade, the end. A timer calls it four
  // times a second while a countdown runs; tests call it after moving
  // the clock.
  void Tick();

  // "H:MM:SS" or "M:SS" for `ms` rounded up to whole seconds.
  static QString CountdownText(int64_t ms);

 signals:
  // A countdown started, ended or was cancelled.
  void ActiveChanged(bool active);

 private:
  void ShowCountdown(int64_t remaining_ms);
  // Gives the player the level the user chose, if a fade lowered it.
  void RestoreLevel();
  void Stop();

  PlaybackControl* playback_;
  std::function<void()> quit_;
  Clock clock_;
  QTimer timer_;
  std::optional<int64_t> end_ms_;
  bool quit_at_end_ = false;
  // The level last given to the player by the fade; -1: none given.
  int faded_level_ = -1;
};

}  // namespace vidora

#endif  // VIDORA_UI_SLEEP_SLEEP_TIMER_H_
