#ifndef VIDORA_UI_TIMESHIFT_TIMESHIFT_BAR_H_
#define VIDORA_UI_TIMESHIFT_TIMESHIFT_BAR_H_

#include <QWidget>

#include <functional>
#include <vector>

#include "core/playback/playback_events.h"
#include "core/timeshift/live_position.h"
#include "core/timeshift/timeshift_buffer.h"

class QShortcut;

namespace vidora {

class PlayerHost;

// The seek bar under the picture of a channel the engine keeps a back
// buffer of: the buffered window with the live edge at its right end, the
// picture's place in it, and "LIVE" or "−12:34" beside it (a click there,
// or End, goes back to live; a click on the bar goes to that moment).
// Keys on `window`: Space pause/resume, Left/Right 10 s, Shift+Left/Right
// 1 min, End live, Home the running programme from its start (when a
// restart is offered; then Home works whether or not there is a buffer).
// Hidden while nothing seekable plays. Follows the
// host's position reports; never polls. UI thread only; a child of
// `parent`, the host must outlive it.
class TimeshiftBar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kHeight = 22;

  TimeshiftBar(QWidget* parent, QWidget* window, PlayerHost* host, TimeshiftLimits limits);

  // Space: pauses what plays, or resumes it where it was paused.
  void TogglePause();
  // Moves by `seconds` (negative: back) inside the buffer.
  void Step(double seconds);
  void BackToLive();
  bool paused() const { return paused_; }
  const LivePosition& at() const { return at_; }
  // Whether there is a buffer to move in.
  bool seekable() const { return seekable_; }
  // Keeps the bar over the bottom edge of `picture` (a sibling).
  void Follow(QWidget* picture);

  // Home: asked for the running programme from its start (catch-up);
  // empty: Home does nothing.
  void set_restart_programme(std::function<void()> restart);

 signals:
  void SeekableChanged(bool seekable);
  // Space, MPRIS or a new channel paused or resumed what plays.
  void PausedChanged(bool paused);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnPosition(const StreamPosition& position);
  QRect TrackRect() const;
  QRect LabelRect() const;

  PlayerHost* host_;
  TimeshiftLimits limits_;
  LivePosition at_;
  bool seekable_ = false;
  bool paused_ = false;
  std::function<void()> restart_;
  std::vector<QShortcut*> keys_;
  QShortcut* home_ = nullptr;
  QWidget* picture_ = nullptr;
  void Place();
};

}  // namespace vidora

#endif  // VIDORA_UI_TIMESHIFT_TIMESHIFT_BAR_H_
