#ifndef VIDORA_UI_PLAYBACK_PLAYBACK_CONTROL_H_
#define VIDORA_UI_PLAYBACK_PLAYBACK_CONTROL_H_

#include <QAction>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/playback/now_playing.h"
#include "core/playback/playback_events.h"
#include "core/playback/recovery_plan.h"
#include "core/playback/stream_failure.h"
#include "core/playlists/playlist_library.h"
#include "core/timeshift/timeshift_buffer.h"
#include "ui/playback/control_panel.h"
#include "ui/playback/info_strip.h"
#include "ui/playback/radio_window.h"

class QWidget;

namespace vidora {

class AddressResolver;
class Channel;
class PlayerBackend;
class PlayerHost;
class ViewRequests;

// The playback side of the main view: owns the player host, the control
// panel, the information strip and the radio picture window (all children
// of the view widget) and runs the view's play, stop, next/previous and
// volume requests. It follows the player host's events (its signals) and
// alone decides what the status line says.
//
// A channel's stream is looked after until the user stops it or plays
// another channel: a stream that drops after it played is reconnected
// with a bounded back-off ("Connection lost – reconnecting…"), a source
// that fails (or whose reconnection gives up) hands over to the channel's
// next source, and only when every source failed is the failure shown, as
// one translated sentence with the engine's words as the status line's
// tooltip. The source that played is where the channel's next play starts
// during this run. Provider addresses are resolved on a worker thread; a
// new channel or Stop drops a pending one. The window title and the
// NowPlaying observers follow what plays (a radio's own title included).
//
// UI thread only. The view widget and the view's requests must outlive this
// object. The main view uses it in this order:
//   when built:   the constructor, then the catalogue loads, then
//                 Start(FirstPlayerRect(client size)), then the update
//                 checks start;
//   when resized: Layout(client size, full-screen layout);
//   when painted: a frame around PlayerRect();
//   each tick:    IsPlayerFullScreen() (relayout when it turns false);
//   on requests:  PlayChannel, StopPlayback, StepFavourite;
//   when closing: StopPlayer() before the settings are saved;
//   when ending:  End() (or the destructor).
class PlaybackControl : public QObject {
  Q_OBJECT

 public:
  // Makes the player's backend; the default makes the libmpv one.
  using BackendFactory = std::function<std::unique_ptr<PlayerBackend>()>;

  // `view_requests` gets the panel's button requests and the favourite
  // steps' play requests; the panel's full-screen button triggers
  // `full_screen` (the frame's action, borrowed; may be null).
  PlaybackControl(QWidget* view, ViewRequests* view_requests, QAction* full_screen);
  ~PlaybackControl() override;
  PlaybackControl(const PlaybackControl&) = delete;
  PlaybackControl& operator=(const PlaybackControl&) = delete;

  // The view start steps of playback, in order: creates the control panel
  // and the information strip, the player host hidden in
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

  // Plays `channel` or, when null, the catalogue's current one. A channel
  // the current ParentalLock locks asks for the PIN first and, without the
  // right one, leaves what plays as it is.
  void PlayChannel(Channel* channel);
  // Stops the player and shows the Play glyphs.
  void StopPlayback();
  // The next (`forward`) or previous favourite; plays it through the view's
  // PlayChannel request.
  void StepFavourite(bool forward);
  // The volume, owned here: Start applies the stored one. SetVolume
  // clamps `level` to 0-100, ends a mute, applies and stores the level
  // (as "sound_volume") and emits VolumeChanged; so does SetMuted, which
  // silences the player without touching the level (a close while muted
  // keeps the level). Every volume control (trackbar, keys, wheel, the
  // desktop's media controls) goes through these.
  void SetVolume(int level);
  void SetMuted(bool muted);
  void ToggleMute() { SetMuted(!muted_); }
  bool muted() const { return muted_; }
  // The disk is nearly full: the back buffer goes to memory, small, and a
  // live channel that plays is opened again so that its file on disk goes.
  void MoveTimeshiftToMemory();
  // Only the player's Stop (the close sequence).
  void StopPlayer();

  // Called on the UI thread after every change of what plays, whether it
  // plays, or the volume (the desktop's services follow it). Empty: none.
  using StateObserver = std::function<void()>;
  void set_state_observer(StateObserver observer) { state_observer_ = std::move(observer); }
  // Whether the panel shows Stop: a channel was started and has not
  // stopped or failed.
  bool playing() const;
  int volume_level() const { return volume_level_; }

 signals:
  // The volume level or the mute state changed.
  void VolumeChanged(int level, bool muted);
  // An address of `channel_key`'s channel is about to reach the player
  // (each source and reconnect; empty key: an address of its own). A
  // directly connected slot can still set what the player takes with it.
  void AddressStarting(const std::string& channel_key);
  // A catalogue or playlist channel (one with a key and a source; not an
  // address or a recording) was asked to play, by the user or a step;
  // emitted before its stream opens, whether or not it plays then.
  void ChannelStarted(const std::string& key);

 public:

  // Places the strip, the panel, the player and the radio window for a
  // view client area of `client` in the normal or the full-screen layout.
  void Layout(const QSize& client, bool full_screen_layout);
  // The player window's rectangle in view coordinates (empty without one).
  QRect PlayerRect() const;
  // Whether the player window is in its own full-screen mode.
  bool IsPlayerFullScreen() const;

  // Told of every change of what plays (not owned; must outlive this
  // object or be removed first).
  void AddNowPlayingObserver(NowPlayingObserver* observer);
  void RemoveNowPlayingObserver(NowPlayingObserver* observer);
  const NowPlaying& now_playing() const { return now_playing_; }
  // The source (index into the channel's sources) that `channel`'s next
  // play starts with, or that it plays now.
  int SourceFor(const Channel& channel) const;

  // What plays now, for recording it: the channel (null when nothing
  // plays) and the address the player was given for it.
  const Channel* playing_channel() const { return playing() ? SessionChannel() : nullptr; }
  const std::u16string& playing_address() const { return session_address_; }
  // Plays the recording at `path` (a local file the user chose).
  void PlayRecording(const std::u16string& path);
  // Plays `address`, the archive address of a programme of `channel`
  // (BuildCatchupAddress), shown as `name`. It plays as an address channel
  // of its own rather than as `channel`: a drop then reconnects to the
  // archive and not to the live stream, and the live channel's source
  // memory and the zapping and recent lists stay as they were. The request
  // headers are those the playlist gives the source `channel` plays from,
  // since its archive is usually served by the same server and wants them.
  void PlayCatchup(const Channel& channel, const std::u16string& address, const std::u16string& name);
  // The time-shift limits of the settings.
  static TimeshiftLimits Limits();

  PlayerHost* player() const { return player_.get(); }
  ControlPanel* panel() const { return panel_; }
  InfoStrip* strip() const { return strip_; }
  RadioWindow* radio() const { return radio_; }

 private:
  // Whether `channel` may play under the parental lock (asking for the
  // PIN when locked); afterwards `channel` is the catalogue's channel of
  // the same key.
  bool PassesParentalLock(Channel*& channel);
  void ShowPictureFor(const Channel* channel);
  void NotifyState();
  // Drops whatever looks after the current channel: a pending address,
  // a planned reconnection.
  void EndSession();
  // Opens the plan's current source of the playing channel.
  void StartAttempt();
  // The channel looked after: found again by its key, since a catalogue
  // reload replaces the channels.
  const Channel* SessionChannel() const;
  void OnAddressResolved(std::optional<std::u16string> address, std::vector<std::pair<std::u16string, std::u16string>> messages);
  void PlayAddress(const std::u16string& address);
  // The player's address changed state (plays, ended, failed).
  void OnAddressState();
  // The player's status line, unless a recovery under way (a failed
  // source, a dropped stream) or a failure shown speaks for the channel.
  void OnPlayerStatus(const PlayerStatus& status);
  // A failure that no attempt's end dealt with (a refused address).
  void OnPlayerFailure(const FailureReport& failure);
  void OnStreamTitle();
  // Says once per run that the sound device is missing (a note: the
  // picture plays on without sound).
  void OnSoundDeviceMissing();
  // Shows the radio picture when the open stream carries no video.
  void OnTracks(const StreamTracks& tracks);
  void HandleAttemptEnd();
  void Reconnect();
  // Shows a failure that ends the channel: the sentence, the detail as
  // tooltip and in the log, the Play glyphs.
  void ShowFinalFailure(const std::u16string& text, const std::u16string& detail);
  void SetStatus(const std::u16string& text, const std::u16string& detail = {});
  QString StripChannelName() const;
  void UpdateNowPlaying();
  // Applies the level and mute state; stores the level when `store`.
  void ApplyVolume(bool store);

  QWidget* view_;
  ViewRequests* view_requests_;
  QPointer<QAction> full_screen_;
  std::unique_ptr<PlayerHost> player_;
  // Children of the view; guarded because the view may delete its
  // children before this object goes.
  QPointer<ControlPanel> panel_;
  QPointer<InfoStrip> strip_;
  QPointer<RadioWindow> radio_;
  StateObserver state_observer_;
  int volume_level_ = 50;
  bool muted_ = false;
  bool sound_note_said_ = false;
  bool started_providers_ = false;

  std::unique_ptr<AddressResolver> resolver_;
  QTimer reconnect_timer_;
  // The channel looked after (its key; empty: none) and its plan.
  std::string session_key_;
  std::optional<RecoveryPlan> plan_;
  std::u16string session_address_;
  // The local file PlayRecording opened last: the one address the player
  // may open from disk.
  std::u16string local_recording_;
  // The archive address PlayCatchup started last and the request headers
  // of its live channel's source.
  std::u16string catchup_address_;
  SourceRequest catchup_request_;
  bool session_radio_ = false;
  // The current attempt played; its end has been dealt with.
  bool attempt_played_ = false;
  bool attempt_over_ = true;
  // What the reconnect timer starts: the next source, or the same address.
  bool next_is_new_source_ = false;
  // The failure shown stands: the player's later reports of the stream
  // that failed are not shown, until another address plays.
  bool failure_shown_ = false;
  // Where each channel (by key) played last during this run.
  std::map<std::string, int, std::less<>> working_sources_;
  NowPlaying now_playing_;
  std::vector<NowPlayingObserver*> now_playing_observers_;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_PLAYBACK_CONTROL_H_
