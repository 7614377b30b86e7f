#ifndef VIDORA_UI_SHELL_MAIN_FRAME_H_
#define VIDORA_UI_SHELL_MAIN_FRAME_H_

#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include "ui/desktop/desktop_session.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/shell/display_orientation.h"
#include "ui/shell/main_actions.h"
#include "ui/shell/main_menu.h"
#include "ui/shell/main_view.h"
#include "ui/shell/tilt_tracker.h"

namespace vidora {

class DesktopKeys;
class RecordingController;
class TimeshiftBar;
class WatchingControls;
class ChannelZapper;
class KeyPressWatch;
class ParentalLock;
class SettingsAutosave;
class SleepTimer;
class SoftKeyBar;

// What the frame needs from outside; everything is optional.
struct MainFrameOptions {
  MainViewOptions view;
  // Saves the settings in the close sequence; empty means SaveSettings().
  std::function<bool()> save_settings;
  // Called once the close sequence has destroyed the view (the event
  // loop's end; start-up quits with 0 here).
  std::function<void()> on_closed;
  // Makes the back end that turns the display, given the frame (which
  // outlives it); empty means the display is never turned.
  std::function<std::unique_ptr<DisplayOrientation>(QWidget* frame)> display_orientation;
  // The desktop's services (MPRIS, idle inhibit) to follow playback with;
  // empty means none. The frame adds its raise and quit.
  std::function<DesktopSession::Services()> desktop;
  // Whether the close sequence stores the window's place (WindowGeometry)
  // for the next start.
  bool remember_place = false;
};

// The application's top-level window: the main view above the soft-key
// bar. Defines its commands as actions (MainActions) and builds the menu
// from them, switches the full
// screen presentation, runs the 100 ms frame tick (full-screen exit watch
// and the motion sensor's display turning; the sensor is the process-wide
// CurrentMotionSensor()) and saves the settings when it closes (first
// turning back a display that full screen turned). UI thread only.
class MainFrame : public QWidget {
  Q_OBJECT

 public:
  // Default size, in portrait proportions.
  static constexpr int kDefaultWidth = 480;
  static constexpr int kDefaultHeight = 640;

  // The frame start sequence: title, menu, soft-key bar, view, timer.
  explicit MainFrame(MainFrameOptions options = {});
  ~MainFrame() override;

  // Runs a frame command synchronously, as its menu item, soft key, key,
  // the panel's full-screen button or the view's update promotion do: by
  // triggering its action. Nothing once the player closes.
  void Trigger(MainCommand command);

  // The full-screen switch (MainCommand::kFullScreen): the frame covers the screen
  // without the soft-key bar and the view takes its full-screen layout, or
  // the frame goes back to the window state and geometry it had before and
  // shows the bar again. Without a motion sensor and with `LandscapeFS`
  // (default true) the display turns to landscape on entering, and back to
  // portrait on leaving when entering turned it.
  void ToggleFullScreen();

  // A later start of the player handed over `command_line`: the frame
  // comes forward with the windows it owns (an open dialog stays on top of
  // it). Returns whether it did; a frame whose close sequence has run
  // refuses, and the later start then runs on its own.
  bool OnLaterStart(const QString& command_line);

  // One 100 ms frame tick; the timer calls it. In full screen, a tap or a
  // navigation key on the frame since the last tick leaves full screen (and
  // ends the tick); focus going elsewhere does not. Then, with a motion
  // sensor, one sample
  // is read and eight agreeing ones in a row, taken while the frame or one
  // of its windows is active, turn the display.
  void Tick();

  // How full screen treats the display here: by the motion sensor, by
  // LandscapeFS where a back end to turn it was given (the start-up's
  // rotation policy found a turnable panel), else never.
  FullScreenTurn full_screen_turn() const;

  MainView* view() const { return view_; }
  // The frame's commands; owned by the frame.
  MainActions* actions() const { return actions_; }
  SoftKeyBar* soft_keys() const { return soft_keys_; }
  DesktopSession* desktop() const { return desktop_.get(); }
  DesktopKeys* keys() const { return keys_; }
  RecordingController* recordings() const { return recordings_; }
  TimeshiftBar* timeshift() const { return timeshift_; }
  WatchingControls* watching() const { return watching_; }
  ChannelZapper* zapper() const { return zapper_; }
  // The sleep timer of the main menu; it goes before the view.
  SleepTimer* sleep_timer() const { return sleep_.get(); }
  QMenu* menu() const { return menu_.right.get(); }
  const QString& last_command_line() const { return last_command_line_; }
  // tiltCount and tiltRotated of the motion sensor's orientation logic.
  const TiltTracker& tilt() const { return tilt_; }
  bool closed() const { return closed_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  // The window a box or dialog of the frame belongs to (LastingOwner).
  QWidget* DialogOwner();
  void AddDesktopKeys();
  // Gives every action its caption, key and slot (main_frame_commands.cpp).
  void DefineActions();
  void RunChannels();
  void RunSettings();
  void RunAddPlaylist();
  void RunRecord();
  void RunRecordings();
  void LayoutChildren();
  bool SetDisplayOrientation(int value);

  MainFrameOptions options_;
  MainActions* actions_ = nullptr;  // child of the frame
  MainMenu menu_;
  SoftKeyBar* soft_keys_ = nullptr;
  MainView* view_ = nullptr;
  std::unique_ptr<KeyPressWatch> watch_;
  std::unique_ptr<DesktopSession> desktop_;
  // Asked by every play and by the guide; outlives the view.
  std::unique_ptr<ParentalLock> parental_;
  // Saves the settings a moment after they change; goes before the close
  // sequence's own save.
  std::unique_ptr<SettingsAutosave> autosave_;
  DesktopKeys* keys_ = nullptr;  // child of the frame
  RecordingController* recordings_ = nullptr;  // child of the frame
  TimeshiftBar* timeshift_ = nullptr;  // over the picture's foot
  WatchingControls* watching_ = nullptr;  // child of the frame
  ChannelZapper* zapper_ = nullptr;       // child of the frame
  std::unique_ptr<SleepTimer> sleep_;
  QTimer timer_;
  QString last_command_line_;
  std::unique_ptr<DisplayOrientation> orientation_;
  TiltTracker tilt_;
  // The window state to go back to when full screen ends.
  Qt::WindowStates state_before_full_screen_;
  // Whether entering full screen turned the display to landscape.
  bool turned_for_full_screen_ = false;
  bool bar_hidden_ = false;
  bool closed_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_MAIN_FRAME_H_
