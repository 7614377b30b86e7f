#ifndef VIDORA_UI_SHELL_MAIN_FRAME_H_
#define VIDORA_UI_SHELL_MAIN_FRAME_H_

#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include "ui/shell/main_menu.h"
#include "ui/shell/main_view.h"

namespace vidora {

class KeyPressWatch;
class SoftKeyBar;

// What the frame needs from outside; everything is optional.
struct MainFrameOptions {
  MainViewOptions view;
  // Saves the settings in the close sequence; empty means SaveSettings().
  std::function<bool()> save_settings;
  // Called once the close sequence has destroyed the view (the event
  // loop's end; start-up quits with 0 here).
  std::function<void()> on_closed;
};

// The application's top-level window: the main view above the soft-key
// bar. Builds the menu, dispatches the menu commands, runs the 100 ms
// frame tick and saves the settings when it closes. UI thread only.
class MainFrame : public QWidget {
  Q_OBJECT

 public:
  // Default size: a handheld's portrait proportions.
  static constexpr int kDefaultWidth = 480;
  static constexpr int kDefaultHeight = 640;

  // The frame start sequence: title, menu, soft-key bar, view, timer.
  explicit MainFrame(MainFrameOptions options = {});
  ~MainFrame() override;

  // Runs a menu command synchronously (the WM_COMMAND of the frame).
  void SendCommand(int command);

  // The full-screen switch (ID_FULLSCREEN): the frame goes full screen
  // without the soft-key bar and the view takes its full-screen layout, or
  // back. Display rotation is not part of it yet.
  void ToggleFullScreen();

  // A later start of the player handed over `command_line`: the frame
  // comes forward. Returns whether it did.
  bool OnLaterStart(const QString& command_line);

  // One 100 ms frame tick; the timer calls it.
  void Tick();

  MainView* view() const { return view_; }
  SoftKeyBar* soft_keys() const { return soft_keys_; }
  QMenu* menu() const { return menu_.right.get(); }
  const QString& last_command_line() const { return last_command_line_; }
  bool closed() const { return closed_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* DialogOwner();
  void RunChannels();
  void LayoutChildren();

  MainFrameOptions options_;
  MainMenu menu_;
  SoftKeyBar* soft_keys_ = nullptr;
  MainView* view_ = nullptr;
  std::unique_ptr<KeyPressWatch> watch_;
  QTimer timer_;
  QString last_command_line_;
  bool bar_hidden_ = false;
  bool closed_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_MAIN_FRAME_H_
