#ifndef VIDORA_UI_PLAYBACK_PLAYBACK_CONTROL_H_
#define VIDORA_UI_PLAYBACK_PLAYBACK_CONTROL_H_

#include <QPointer>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/playback/player_status_listener.h"
#include "ui/playback/control_panel.h"
#include "ui/playback/info_strip.h"
#include "ui/playback/radio_window.h"

class QWidget;

namespace vidora {

class Channel;
class PlayerBackend;
class PlayerHost;
class StatusPoller;
class ViewRequests;

// The playback side of the main view: owns the player host, the control
// panel, the information strip and the radio picture window (all children
// of the view widget) and runs the view's play, stop, next/previous and
// volume requests. It is the view's one player status listener.
//
// UI thread only. The view widget and the view's requests must outlive this
// object. The main view uses it in this order:
//   when built:   the constructor, then the catalogue loads, then
//                 Start(FirstPlayerRect(client size)), then the update
//                 checks start, then SetVolumeAll(the stored volume);
//   when resized: Layout(client size, full-screen layout);
//   when painted: a frame around PlayerRect();
//   each tick:    IsPlayerFullScreen() (relayout when it turns false);
//   on requests:  PlayChannel, StopPlayback, StepFavourite;
//   when closing: StopPlayer() before the settings are saved;
//   when ending:  End() (or the destructor).
class PlaybackControl : public PlayerStatusListener {
 public:
  // Sends a frame command id (ID_FULLSCREEN from the panel's full-screen
  // button) to the main frame, synchronously.
  using FrameCommandSender = std::function<void(int command)>;
  // Makes the player's backend; the default makes the libmpv one.
  using BackendFactory = std::function<std::unique_ptr<PlayerBackend>()>;

  // Becomes the process-wide player status listener. `view_requests` gets
  // the panel's button requests and the favourite steps' play requests.
  PlaybackControl(QWidget* view, ViewRequests* view_requests, FrameCommandSender send_frame_command);
  ~PlaybackControl() override;
  PlaybackControl(const PlaybackControl&) = delete;
  PlaybackControl& operator=(const PlaybackControl&) = delete;

  // The view start steps of playback, in order: creates the control panel
  // and the information strip, the player host ("m") hidden in
  // `first_player_rect`, the radio window hidden; shows the radio window
  // when the catalogue's current channel is a radio channel, else the
  // player window; registers the "vdtm" stream provider. `factory` replaces
  // the libmpv backend (tests).
  void Start(const QRect& first_player_rect, BackendFactory factory = {});
  // The player's rectangle before the first layout: the client area less
  // 4 pixels on every side and 32 more at the bottom.
  static QRect FirstPlayerRect(const QSize& client);
  // The view end steps: deletes the panel and the strip and every stream
  // provider. The player host and radio window go with this object.
  void End();

  // Plays `channel` or, when null, the catalogue's current one.
  void PlayChannel(Channel* channel);
  // Stops the player and shows the Play glyphs.
  void StopPlayback();
  // The next (`forward`) or previous favourite; plays it through the view's
  // PlayChannel request.
  void StepFavourite(bool forward);
  // Applies `level` (0-100) to every registered player in name order and
  // stores it as "sound_volume".
  void SetVolumeAll(int level);
  // Only the player's Stop (the close sequence).
  void StopPlayer();
  // A volume change from outside the trackbar (keys, wheel, the desktop's
  // media controls): moves the trackbar, which applies and stores `level`
  // (clamped to 0-100) like a drag would.
  void ChangeVolume(int level);

  // Called on the UI thread after every change of what plays, whether it
  // plays, or the volume (the desktop's services follow it). Empty: none.
  using StateObserver = std::function<void()>;
  void set_state_observer(StateObserver observer) { state_observer_ = std::move(observer); }
  // Whether the panel shows Stop: a channel was started and has not
  // stopped or failed.
  bool playing() const;
  int volume_level() const { return volume_level_; }

  // Places the strip, the panel, the player and the radio window for a
  // view client area of `client` in the normal or the full-screen layout.
  void Layout(const QSize& client, bool full_screen_layout);
  // The player window's rectangle in view coordinates (empty without one).
  QRect PlayerRect() const;
  // Whether the player window is in its own full-screen mode.
  bool IsPlayerFullScreen() const;

  // PlayerStatusListener: shows `text` in the strip; a negative code gives
  // the play button its Play glyphs.
  void OnPlayerStatus(PlayerWindow* player, const std::optional<std::u16string>& text, int code) override;

  PlayerHost* player() const { return player_.get(); }
  ControlPanel* panel() const { return panel_; }
  InfoStrip* strip() const { return strip_; }
  RadioWindow* radio() const { return radio_; }
  StatusPoller* poller() const { return poller_.get(); }

 private:
  void ShowPictureFor(const Channel* channel);
  void NotifyState();

  QWidget* view_;
  ViewRequests* view_requests_;
  FrameCommandSender send_frame_command_;
  std::unique_ptr<StatusPoller> poller_;
  std::unique_ptr<PlayerHost> player_;
  // Children of the view; guarded because the view may delete its
  // children before this object goes.
  QPointer<ControlPanel> panel_;
  QPointer<InfoStrip> strip_;
  QPointer<RadioWindow> radio_;
  StateObserver state_observer_;
  // The level last applied, for the desktop's volume controls.
  int volume_level_ = 50;
  bool started_providers_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_PLAYBACK_CONTROL_H_
