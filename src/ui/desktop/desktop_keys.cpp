#include "ui/desktop/desktop_keys.h"

#include <QMouseEvent>
#include <QShortcut>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>

namespace vidora {

namespace {

// One notch of an ordinary wheel.
constexpr int kWheelNotch = 120;
constexpr int kLevelAfterSilentStart = 50;

}  // namespace

DesktopKeys::DesktopKeys(QWidget* window, DesktopKeyActions actions)
    : QObject(window), window_(window), actions_(std::move(actions)) {
  Add(Qt::Key_Space, [this] {
    if (actions_.play_stop) actions_.play_stop();
  });
  auto toggle = [this] {
    if (actions_.toggle_full_screen) actions_.toggle_full_screen();
  };
  Add(Qt::Key_F, toggle);
  Add(Qt::Key_F11, toggle);
  Add(Qt::Key_Escape, [this] {
    if (actions_.in_full_screen && actions_.in_full_screen() && actions_.toggle_full_screen) {
      actions_.toggle_full_screen();
    }
  });
  Add(Qt::Key_M, [this] { ToggleMute(); });
  Add(Qt::CTRL | Qt::Key_Up, [this] { StepVolume(1); });
  Add(Qt::CTRL | Qt::Key_Down, [this] { StepVolume(-1); });
  for (const bool next : {false, true}) {
    const Qt::Key key = next ? Qt::Key_PageDown : Qt::Key_PageUp;
    Add(key, [this, next] {
      if (actions_.step_channel) {
        actions_.step_channel(next);
      } else if (actions_.step_favourite) {
        actions_.step_favourite(next);
      }
    });
    Add(Qt::CTRL | key, [this, next] {
      if (actions_.step_favourite) actions_.step_favourite(next);
    });
  }
  Add(Qt::Key_R, [this] {
    if (actions_.toggle_recording) actions_.toggle_recording();
  });
}

DesktopKeys::~DesktopKeys() {
  for (const QPointer<QWidget>& picture : pictures_) {
    if (picture) picture->removeEventFilter(this);
  }
}

void DesktopKeys::Add(QKeyCombination key, std::function<void()> action) {
  auto* shortcut = new QShortcut(QKeySequence(key), window_);
  connect(shortcut, &QShortcut::activated, this, std::move(action));
}

void DesktopKeys::WatchPicture(QWidget* picture) {
  if (picture == nullptr) return;
  picture->installEventFilter(this);
  pictures_.emplace_back(picture);
}

void DesktopKeys::ToggleMute() {
  if (actions_.toggle_mute) actions_.toggle_mute();
}

void DesktopKeys::StepVolume(int steps) {
  if (!actions_.volume || !actions_.set_volume) return;
  actions_.set_volume(std::clamp(actions_.volume() + steps * kVolumeStep, 0, 100));
}

bool DesktopKeys::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Wheel: {
      // Touchpads send small deltas; they add up to whole notches.
      wheel_remainder_ += static_cast<QWheelEvent*>(event)->angleDelta().y();
      const int notches = wheel_remainder_ / kWheelNotch;
      wheel_remainder_ -= notches * kWheelNotch;
      if (notches != 0) StepVolume(notches);
      return true;
    }
    case QEvent::MouseButtonPress:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        press_in_full_screen_ = actions_.in_full_screen && actions_.in_full_screen();
      }
      break;
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !press_in_full_screen_ &&
          actions_.toggle_full_screen) {
        actions_.toggle_full_screen();
        return true;
      }
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace vidora
