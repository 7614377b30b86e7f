#ifndef VIDORA_UI_DESKTOP_DESKTOP_KEYS_H_
#define VIDORA_UI_DESKTOP_DESKTOP_KEYS_H_

#include <QKeySequence>
#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QWidget;

namespace vidora {

// What the desktop's keys and mouse gestures do; every action optional.
struct DesktopKeyActions {
  std::function<void()> play_stop;
  std::function<void()> toggle_full_screen;
  std::function<bool()> in_full_screen;
  std::function<int()> volume;                // 0-100
  std::function<void(int level)> set_volume;  // 0-100
  std::function<void()> toggle_mute;          // the level stays
  std::function<void(bool next)> step_favourite;
  // Page Up/Down: the list the channel was played from (else favourites).
  std::function<void(bool next)> step_channel;
  std::function<void()> toggle_recording;
};

// The keys a desktop user expects in the main window, beside the ones it
// already has (F1/F2, arrows, Ctrl+Q): Space play, or pause/resume while
// playing, F and F11 full
// screen, Escape leaves full screen, M mute/unmute, Ctrl+Up/Down volume,
// Page Up/Down previous/next channel of the list it was played from
// (step_channel; without it, the favourites), Ctrl+Page Up/Down previous/
// next favourite, R records what plays; over a watched picture the wheel
// changes the volume and a double-click toggles full screen. UI thread
// only; `window` owns the shortcuts, and this object must not outlive it.
class DesktopKeys : public QObject {
  Q_OBJECT

 public:
  // One volume step, like the trackbar's.
  static constexpr int kVolumeStep = 5;

  DesktopKeys(QWidget* window, DesktopKeyActions actions);
  ~DesktopKeys() override;

  // Wheel and double-click over `picture` (the player window, the radio
  // picture); a deleted picture is forgotten.
  void WatchPicture(QWidget* picture);

  // M: mutes or unmutes; the level stays.
  void ToggleMute();
  void StepVolume(int steps);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Add(QKeyCombination key, std::function<void()> action);

  QWidget* window_;
  DesktopKeyActions actions_;
  std::vector<QPointer<QWidget>> pictures_;
  // Whether the press that began the current double-click came in full
  // screen; that press already left it, so the double-click must not
  // enter it again.
  bool press_in_full_screen_ = false;
  int wheel_remainder_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_UI_DESKTOP_DESKTOP_KEYS_H_
