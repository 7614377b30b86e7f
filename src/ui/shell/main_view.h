#ifndef VIDORA_UI_SHELL_MAIN_VIEW_H_
#define VIDORA_UI_SHELL_MAIN_VIEW_H_

#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>

#include "core/commands/view_requests.h"
#include "core/updates/update_ui.h"
#include "ui/playback/playback_control.h"
#include "ui/playlists/playlist_manager.h"

namespace vidora {

class MainActions;
class QtUpdateUi;
class UpdateService;

// What the main view needs from outside besides the stores.
struct MainViewOptions {
  // Makes the player's engine; empty for libmpv (tests give a fake).
  PlaybackControl::BackendFactory backend;
  // The catalogue file; empty for Channels.vdch next to the executable.
  std::filesystem::path catalogue_file;
};

// The main frame's client: the playback area with the information strip
// on top, the control panel at the bottom and the picture (player window
// or radio picture) between them, on the skin's background. Starts the
// catalogue, the playback parts, the update service with its automatic
// checks and the volume when it is built, runs the 500 ms view tick,
// offers pending updates again whenever the frame becomes active, and
// takes the view's requests. UI thread only; owned by the main frame.
class MainView : public QWidget, public ViewRequests {
  Q_OBJECT

 public:
  // The view start sequence. `actions` are the frame's (borrowed: the
  // control panel's full screen and the promoted updates trigger them);
  // `frame` is the window whose activity gates the promotion of pending
  // updates and owns the update messages.
  MainView(QWidget* frame, const MainActions* actions, MainViewOptions options);
  // The view end sequence.
  ~MainView() override;

  // ViewRequests.
  void PlayChannel(Channel* channel) override;
  void StopPlayback() override;
  void ToggleFullLayout() override;
  void StepFavourite(bool forward) override;

  // Lays the parts out for the current size and layout (also the plain
  // size notice the full-screen command sends).
  void Relayout();
  // The close sequence's stop: stops the player only.
  void StopPlayer();
  // One 500 ms view tick; the timer calls it.
  void Tick();
  // "Update channels" or "Check version": the update service's command.
  void RunUpdateCommand(UpdateCommand command);

  int elapsed_ms() const { return elapsed_ms_; }
  bool full_screen_layout() const { return full_screen_layout_; }
  PlaybackControl* playback() const { return playback_.get(); }
  UpdateService* updates() const { return updates_.get(); }
  // The user's playlists beside the catalogue.
  PlaylistManager* playlists() const { return playlists_.get(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* frame_;
  const MainActions* actions_;
  MainViewOptions options_;
  std::unique_ptr<PlaybackControl> playback_;
  std::unique_ptr<QtUpdateUi> update_ui_;
  std::unique_ptr<UpdateService> updates_;
  std::unique_ptr<PlaylistManager> playlists_;
  QTimer timer_;
  int elapsed_ms_ = 0;
  bool full_screen_layout_ = false;
  // The player's own full-screen state at the previous tick.
  bool player_was_full_screen_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_MAIN_VIEW_H_
