#ifndef VIDORA_UI_PLAYBACK_PLAYER_HOST_H_
#define VIDORA_UI_PLAYBACK_PLAYER_HOST_H_

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "core/playback/playback_events.h"
#include "core/playback/stream_address_policy.h"
#include "ui/playback/player_backend.h"
#include "ui/playback/player_video_widget.h"

class QWidget;

namespace vidora {

// The media player of the main view. Creation runs the backend's set-up
// steps in order and shows a plain message (empty caption) for each one
// that fails: "Can't create player." (no engine; stop), "Can't get
// settings." (no volume; go on), then a translated sentence ending in the
// step's number for each of: the engine does not start (3), no video
// drawing (4), no warnings (5; go on), state cannot be watched (6), events
// cannot be delivered (7). Only a host that got through every step is
// `connected`; an unconnected host ignores every operation.
//
// What the engine reports reaches the host's owner as the signals below,
// each emitted on the UI thread as it happens (the engine's events are
// drained there), never by polling. Once a video stream played, a cache
// that runs low is reported as buffering only when the picture has stood
// still for kStallMs; before the first picture, and for sound alone, at
// once. UI thread only.
class PlayerHost : public QObject, private PlayerBackendObserver {
  Q_OBJECT

 public:
  // Shows a set-up failure to the user.
  using MessageShower = std::function<void(QWidget* owner, const QString& text)>;
  static constexpr int kStallMs = 1000;

  // Creates the player window hidden in `rect` of `parent` and brings the
  // backend up. A null `backend` leaves a window without a player. A null
  // `show_message` uses the plain message box. While the backend's engine
  // is still loading, the bring-up waits for it (queued) or for the first
  // Play, whichever comes first; moves and volume meanwhile are applied then.
  PlayerHost(QWidget* parent, const QRect& rect, std::unique_ptr<PlayerBackend> backend, MessageShower show_message = {});
  ~PlayerHost() override;

  // Reports an empty status and clears the picture, and opens `address`;
  // the same address twice opens it again. The window stays black until
  // the backend reports that the new address plays. The picture also goes
  // black on Stop and whenever the backend reports that nothing plays
  // (stopped, ended, failed, idle), so an old channel's last frame never
  // stands under another channel's name or an error. An address naming a
  // local resource is refused: Failed, and nothing reaches the engine.
  // `origin`: kUserLocalFile for a file the user chose (a recording).
  void Play(const std::u16string& address, StreamAddressOrigin origin = StreamAddressOrigin::kNetwork);
  void Stop();
  void Move(int x, int y, int width, int height);
  // 0-100; the level stays while muted.
  void SetVolume(int level);
  void SetMuted(bool muted);
  // Pause and seek inside the engine's buffer (time-shift, recordings).
  void SetPaused(bool paused);
  void SeekTo(double seconds);
  // The user agent, referrer and cookie the next Play sends (empty agent:
  // the player's own, "Vidora/VERSION"; empty others: none).
  void SetRequestHeaders(const std::string& user_agent, const std::string& referrer, const std::string& cookie);
  // How the next Play picks its sound and subtitle tracks; a track to
  // play in place of the current one (no id: subtitles off).
  void SetTrackRequest(const TrackRequest& request);
  void SelectTrack(TrackKind kind, std::optional<int64_t> id);
  // Kept and applied to every stream, also once a loading engine is up.
  void SetPictureOptions(const PictureOptions& options);
  void SetHardwareDecoding(bool on);
  // See PlayerBackend::MoveBackBufferToMemory; kept for a loading engine.
  void MoveBackBufferToMemory();
  // The engine's latest measurements of what plays.
  StreamStats stats() const;
  // Switches the player window's own full-screen mode.
  void ToggleFullScreen();
  bool IsFullScreen() const;

  // How the address of the last Play fared: kOpening until it plays or
  // fails, kPlaying once it plays, kEnded when it stopped by itself (the
  // server closed a live stream), kFailed when it failed; kNone after Stop.
  enum class AddressState { kNone, kOpening, kPlaying, kEnded, kFailed };
  AddressState address_state() const { return address_state_; }
  // The latest of each report (what the signals last carried).
  const PlayerStatus& status() const { return status_; }
  // The failure of the last play (kNone while nothing failed since).
  const FailureReport& failure() const { return failure_; }
  // The stream's own title, raw (ICY "StreamTitle"); empty when none.
  const std::u16string& stream_title() const { return title_; }
  const StreamTracks& tracks() const { return tracks_; }
  const StreamPosition& position() const { return position_; }

  // The player window (owned by its parent widget); null only when the
  // parent went first.
  PlayerVideoWidget* window() const;
  PlayerBackend* backend() const { return backend_.get(); }
  bool connected() const { return connected_; }
  bool has_volume() const { return has_volume_; }

 signals:
  // address_state() changed. Comes before the status report of the same
  // engine event.
  void AddressStateChanged();
  // The play state, the buffering percent or the status line changed.
  void StatusChanged(const vidora::PlayerStatus& status);
  // The last play failed (after AddressStateChanged to kFailed, if it was
  // opening or playing).
  void Failed(const vidora::FailureReport& failure);
  // The stream's own title changed (raw; empty: none).
  void TitleChanged(const std::u16string& title);
  // What the stream carries: once it plays, then at every change.
  void TracksChanged(const vidora::StreamTracks& tracks);
  void PositionChanged(const vidora::StreamPosition& position);
  // No sound output could be opened; a stream with a picture plays on.
  void SoundDeviceMissing();

 private:
  void OnBackendStatusChange() override;
  void OnBackendBuffering(bool start) override;
  void OnBackendError() override;
  // The player window got new pictures.
  void OnNewFrames();
  void OnBackendTitleChange() override;
  void OnBackendTracksChange() override;
  void OnBackendPositionChange() override;
  void OnBackendSoundMissing() override { emit SoundDeviceMissing(); }

  void BringUp(const MessageShower& show_message);
  // The bring-up that waited for the engine, if it still waits.
  void FinishBringUp();
  // Blacks the picture out when the backend's play state says nothing
  // plays; draws the first picture of a new address once it plays.
  void FollowPlayState();
  void SetAddressState(AddressState state);
  // Reports `status` unless it is the one reported last.
  void ReportStatus(const PlayerStatus& status);
  // The backend's status as shown: a cache dip while frames come is play.
  PlayerStatus BackendStatus();
  void OnStall();

  std::unique_ptr<PlayerBackend> backend_;
  QPointer<PlayerVideoWidget> window_;
  bool connected_ = false;
  bool has_volume_ = false;
  bool bring_up_pending_ = false;
  MessageShower show_message_;
  int pending_volume_ = -1;
  // Play ran and the new address does not play yet: the engine may still
  // present the old address's last frame. `opening_seen_`: the backend
  // reported the new address's buffering phase since.
  bool awaiting_picture_ = false;
  bool opening_seen_ = false;
  AddressState address_state_ = AddressState::kNone;
  PlayerStatus status_;
  // Runs while the cache dips and no new frame came for kStallMs;
  // `stalled_` once it ran out.
  QTimer stall_timer_;
  bool stalled_ = false;
  FailureReport failure_;
  std::u16string title_;
  StreamTracks tracks_;
  StreamPosition position_;
  PictureOptions picture_;
  bool hardware_decoding_ = false;
  bool back_buffer_in_memory_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_PLAYER_HOST_H_
