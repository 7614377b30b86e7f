#ifndef VIDORA_UI_DIALOGS_LOADING_SCREEN_H_
#define VIDORA_UI_DIALOGS_LOADING_SCREEN_H_

#include <QRect>
#include <QSize>

#include "ui/dialogs/skinned_dialog.h"

class QLabel;

namespace vidora {

class SkinImage;

// The size the splash picture is drawn at in a client area `client_width`
// wide: halved until it fits, or doubled until it fills at least half of
// the width (powers of two only, so the aspect ratio stays).
QSize ScaleSplash(QSize image, int client_width);

// The small window shown while the player starts: the title and version in
// its title strip, "static_loading", and the splash picture below, the
// window grown around it. A top-level window of the UI thread (widgets
// cannot live on another thread), shown before the main window is built
// and closed by the main view's first tick. UI thread only.
class LoadingScreen : public SkinnedDialog {
  Q_OBJECT

 public:
  // Builds the screen at its own size, centred on the primary screen, and
  // grows it for `splash` (nullptr: no picture).
  LoadingScreen(const SkinImage* splash);

  QRect image_rect() const { return image_rect_; }
  QLabel* text_label() const { return text_; }
  // Whether the screen is on the display: its window is exposed and its
  // first paint has been done (a widget's paint is flushed to the window
  // system before the event that caused it returns).
  bool shown_on_screen() const;

 signals:
  // At the end of the first paint. The painted pixels reach the window
  // system when the event that caused the paint returns: a queued
  // connection runs after that.
  void FirstPainted();

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool HandleCommand(int command) override;

 private:
  const SkinImage* splash_;
  QLabel* text_;
  QRect image_rect_;
  bool painted_ = false;
};

// The longest ShowLoadingScreen waits for the screen to come up.
inline constexpr int kLoadingScreenBoundMs = 300;

// Shows the process-wide loading screen with the skin's splash picture and
// runs the UI thread's events until it is on the display (shown_on_screen),
// so that it is up before the main window is built; at most `bound_ms`
// (a window system that never exposes it does not hold the start), and
// not a moment longer than the screen needs. UI thread only.
void ShowLoadingScreen(int bound_ms = kLoadingScreenBoundMs);
// Ends the loading screen with result 1 if it exists.
void CloseLoadingScreen();
// The loading screen while it is shown, or nullptr.
LoadingScreen* CurrentLoadingScreen();
// The window a message box or dialog opened now is to belong to: the
// active window, unless that is the loading screen (which closes on its own
// whatever is open over it) or there is none; then `instead` (may be
// nullptr: a window of its own).
QWidget* LastingOwner(QWidget* instead);

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_LOADING_SCREEN_H_
