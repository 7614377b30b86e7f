#ifndef VIDORA_UI_PLAYBACK_PLAYER_HOST_H_
#define VIDORA_UI_PLAYBACK_PLAYER_HOST_H_

#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "core/playback/player_events.h"
#include "core/playback/player_window.h"
#include "ui/playback/player_backend.h"
#include "ui/playback/player_video_widget.h"

class QWidget;

namespace vidora {

// The media player of the main view, registered as "m". Creation runs the
// backend's set-up steps in order and shows a plain message (empty caption)
// for each one that fails: "Can't create player." (no engine; stop),
// "Can't get settings." (no volume; go on), "3" (engine does not start),
// "4" (no video drawing), "5" (no warnings; go on), "6" (state cannot be
// watched), "7" (events cannot be delivered). Only a host that got through
// every step is `connected`; an unconnected host ignores every operation.
// UI thread only.
class PlayerHost : public PlayerWindow, public PlayerStatusSource, private PlayerBackendObserver {
 public:
  // Shows a set-up failure to the user.
  using MessageShower = std::function<void(QWidget* owner, const QString& text)>;
  static constexpr char16_t kName[] = u"m";

  // Creates the player window hidden in `rect` of `parent` and brings the
  // backend up; becomes the main player of `events`. A null `backend`
  // leaves a window without a player. A null `show_message` uses the
  // plain message box. While the backend's engine is still loading, the
  // bring-up waits for it (queued) or for the first Play, whichever comes
  // first; moves and volume meanwhile are applied then.
  PlayerHost(QWidget* parent, const QRect& rect, std::unique_ptr<PlayerBackend> backend,
             MessageShower show_message = {}, PlayerEvents& events = MainPlayerEvents());
  ~PlayerHost() override;

  // Clears the status (empty text, code 0) and the picture, and opens
  // `address`; the same address twice opens it again. The window stays
  // black until the backend reports that the new address plays. The
  // picture also goes black on Stop and whenever the backend reports that
  // nothing plays (stopped, ended, failed, idle), so an old channel's last
  // frame never stands under another channel's name or an error.
  void Play(const std::u16string& address) override;
  void Stop() override;
  void Move(int x, int y, int width, int height) override;
  void SetVolume(int level) override;
  // Switches the player window's own full-screen mode.
  void ToggleFullScreen() override;
  bool IsFullScreen() const override;

  // How the address of the last Play fared: kOpening until it plays or
  // fails, kPlaying once it plays, kEnded when it stopped by itself (the
  // server closed a live stream), kFailed when it failed; kNone after Stop.
  enum class AddressState { kNone, kOpening, kPlaying, kEnded, kFailed };
  AddressState address_state() const { return address_state_; }
  // The backend's failure, its detail, and the stream's own title.
  StreamFailure Failure() const;
  std::u16string FailureDetail() const;
  std::u16string StreamTitle() const;
  // Called (UI thread) whenever address_state changes.
  void set_address_listener(std::function<void()> listener) { address_listener_ = std::move(listener); }
  // Called (UI thread) whenever StreamTitle may have changed.
  void set_title_listener(std::function<void()> listener) { title_listener_ = std::move(listener); }

  // PlayerStatusSource: the backend's status line, play state and error.
  std::u16string StatusText() const override;
  PlayState GetPlayState() const override;
  uint32_t MediaErrorCode() const override;

  // The player window (owned by its parent widget); null only when the
  // parent went first.
  PlayerVideoWidget* window() const;
  PlayerBackend* backend() const { return backend_.get(); }
  bool has_volume() const { return has_volume_; }

 private:
  void OnBackendStatusChange() override;
  void OnBackendBuffering(bool start) override;
  void OnBackendError() override;
  void OnBackendFrame() override;
  void OnBackendTitleChange() override;

  void BringUp(const MessageShower& show_message);
  // The bring-up that waited for the engine, if it still waits.
  void FinishBringUp();
  // Blacks the picture out when the backend's play state says nothing
  // plays; draws the first picture of a new address once it plays.
  void FollowPlayState();
  void SetAddressState(AddressState state);

  PlayerEvents& events_;
  std::unique_ptr<PlayerBackend> backend_;
  QPointer<PlayerVideoWidget> window_;
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
  std::function<void()> address_listener_;
  std::function<void()> title_listener_;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_PLAYER_HOST_H_
