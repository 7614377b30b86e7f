#include "ui/playback/player_host.h"

#include <QString>

#include <algorithm>

#include "core/playback/stream_address_policy.h"
#include "core/stores/language_pack.h"
#include "ui/stores/ui_texts.h"

namespace vidora {

PlayerHost::PlayerHost(QWidget* parent, const QRect& rect, std::unique_ptr<PlayerBackend> backend,
                       MessageShower show_message)
    : backend_(std::move(backend)) {
  if (!show_message) {
    show_message = [](QWidget* owner, const QString& text) { ShowPlainMessageBox(owner, text, QString()); };
  }
  window_ = new PlayerVideoWidget(parent);
  window_->setGeometry(rect);
  window_->hide();
  window_->SetBackend(backend_.get());
  if (backend_ != nullptr) BringUp(show_message);
}

PlayerHost::~PlayerHost() {
  // The engine goes first: it must stop calling back before the window
  // it draws into disappears.
  backend_.reset();
  delete window_.data();
}

void PlayerHost::BringUp(const MessageShower& show_message) {
  if (!backend_->Create()) {
    show_message(window_, QStringLiteral("Can't create player."));
    return;
  }
  has_volume_ = backend_->HasVolume();
  if (!has_volume_) show_message(window_, QStringLiteral("Can't get settings."));
  if (!backend_->Initialize()) {
    show_message(window_, QStringLiteral("3"));
    return;
  }
  if (!backend_->CreateRenderer()) {
    show_message(window_, QStringLiteral("4"));
    return;
  }
  // Without warnings the error texts are the engine's generic ones;
  // playback itself works.
  if (!backend_->RequestWarnings()) show_message(window_, QStringLiteral("5"));
  if (!backend_->ObserveState()) {
    show_message(window_, QStringLiteral("6"));
    return;
  }
  if (!backend_->Connect(this)) {
    show_message(window_, QStringLiteral("7"));
    return;
  }
  connected_ = true;
}

void PlayerHost::Play(const std::u16string& address, StreamAddressOrigin origin) {
  if (!connected()) return;
  // Every address reaching the engine came over the network (catalogue,
  // provider page, playlist): one naming a local resource is refused here.
  if (!IsAllowedStreamAddress(address, origin)) {
    failure_ = FailureReport{StreamFailure::kCannotPlay, GetText(kRefusedAddressTextKey), {}};
    emit Failed(failure_);
    return;
  }
  failure_ = FailureReport();
  tracks_ = StreamTracks();
  position_ = StreamPosition();
  // The old address's status goes at once, even when it was empty.
  status_ = PlayerStatus();
  emit StatusChanged(status_);
  if (window_ != nullptr) {
    window_->ClearPicture();
    window_->HoldPicture(true);
  }
  awaiting_picture_ = true;
  opening_seen_ = false;
  SetAddressState(AddressState::kOpening);
  backend_->Load(QString::fromStdU16String(address).toStdString());
}

void PlayerHost::Stop() {
  if (!connected()) return;
  if (window_ != nullptr) window_->ClearPicture();
  SetAddressState(AddressState::kNone);
  backend_->Stop();
}

void PlayerHost::Move(int x, int y, int width, int height) {
  if (connected() && window_ != nullptr) window_->setGeometry(x, y, width, height);
}

void PlayerHost::SetVolume(int level) {
  if (connected() && has_volume_) backend_->SetVolume(level);
}

void PlayerHost::SetPaused(bool paused) {
  if (connected()) backend_->SetPaused(paused);
}

void PlayerHost::SeekTo(double seconds) {
  if (connected()) backend_->SeekTo(seconds);
}

void PlayerHost::ToggleFullScreen() {
  if (connected() && window_ != nullptr) window_->SetOwnFullScreen(!window_->own_full_screen());
}

bool PlayerHost::IsFullScreen() const { return connected() && window_ != nullptr && window_->own_full_screen(); }

void PlayerHost::SetRequestHeaders(const std::string& user_agent, const std::string& referrer) {
  if (connected()) backend_->SetRequestHeaders(user_agent, referrer);
}

PlayerVideoWidget* PlayerHost::window() const { return window_.data(); }

PlayerStatus PlayerHost::BackendStatus() const {
  PlayerStatus status;
  status.state = backend_->GetPlayState();
  if (status.state == PlayState::kBuffering) status.buffering_percent = std::clamp(backend_->CachePercent(), 0, 100);
  status.text = backend_->StatusText();
  return status;
}

void PlayerHost::ReportStatus(const PlayerStatus& status) {
  if (status == status_) return;
  status_ = status;
  emit StatusChanged(status_);
}

void PlayerHost::FollowPlayState() {
  const PlayState state = backend_->GetPlayState();
  if (IsAtRest(state)) {
    // A frame that was already queued when Stop ran can still have been
    // drawn after its clear; the end report comes later.
    if (window_ != nullptr) window_->ClearPicture();
    if (address_state_ == AddressState::kOpening || address_state_ == AddressState::kPlaying) {
      if (backend_->Failure() != StreamFailure::kNone) {
        failure_ = FailureReport{backend_->Failure(), backend_->StatusText(), backend_->FailureDetail()};
        SetAddressState(AddressState::kFailed);
      } else {
        SetAddressState(AddressState::kEnded);
      }
    }
  } else if (awaiting_picture_ && state == PlayState::kBuffering) {
    opening_seen_ = true;
  } else if (awaiting_picture_ && opening_seen_ && state == PlayState::kPlaying) {
    // Until now the old address still reported Playing. The frame that
    // started playback was taken unseen while the picture was held.
    awaiting_picture_ = false;
    if (window_ != nullptr) window_->HoldPicture(false);
    SetAddressState(AddressState::kPlaying);
  }
}

void PlayerHost::SetAddressState(AddressState state) {
  if (state == address_state_) return;
  address_state_ = state;
  emit AddressStateChanged();
}

void PlayerHost::OnBackendStatusChange() {
  FollowPlayState();
  ReportStatus(BackendStatus());
}

void PlayerHost::OnBackendBuffering(bool) {
  FollowPlayState();
  ReportStatus(BackendStatus());
}

void PlayerHost::OnBackendError() {
  failure_ = FailureReport{backend_->Failure(), backend_->StatusText(), backend_->FailureDetail()};
  FollowPlayState();
  if (address_state_ == AddressState::kOpening || address_state_ == AddressState::kPlaying) {
    SetAddressState(AddressState::kFailed);
  }
  emit Failed(failure_);
  ReportStatus(BackendStatus());
}

void PlayerHost::OnBackendFrame() {
  if (window_ != nullptr) window_->FrameReady();
}

void PlayerHost::OnBackendTitleChange() {
  std::u16string title = backend_->StreamTitle();
  if (title == title_) return;
  title_ = std::move(title);
  emit TitleChanged(title_);
}

void PlayerHost::OnBackendTracksChange() {
  const StreamTracks tracks = backend_->Tracks();
  if (tracks == tracks_) return;
  tracks_ = tracks;
  emit TracksChanged(tracks_);
}

void PlayerHost::OnBackendPositionChange() {
  const StreamPosition position = backend_->Position();
  if (position == position_) return;
  position_ = position;
  emit PositionChanged(position_);
}

}  // namespace vidora
