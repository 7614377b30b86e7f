#include "ui/playback/player_host.h"

#include <QString>

#include "core/playback/player_status_listener.h"
#include "core/playback/stream_address_policy.h"
#include "core/stores/language_pack.h"
#include "ui/stores/ui_texts.h"

namespace vidora {

PlayerHost::PlayerHost(QWidget* parent, const QRect& rect, std::unique_ptr<PlayerBackend> backend,
                       MessageShower show_message, PlayerEvents& events)
    : PlayerWindow(kName), events_(events), backend_(std::move(backend)) {
  if (!show_message) {
    show_message = [](QWidget* owner, const QString& text) { ShowPlainMessageBox(owner, text, QString()); };
  }
  window_ = new PlayerVideoWidget(parent);
  window_->setGeometry(rect);
  window_->hide();
  window_->SetBackend(backend_.get());
  if (backend_ == nullptr) return;
  if (backend_->EngineLoaded()) {
    BringUp(show_message);
    return;
  }
  // The engine's library is still loading (it loads after the main window
  // is up): the player comes up when it is there, or at the first Play.
  bring_up_pending_ = true;
  show_message_ = std::move(show_message);
  backend_->WhenEngineLoaded(window_, [this] { FinishBringUp(); });
}

void PlayerHost::FinishBringUp() {
  if (!bring_up_pending_) return;
  bring_up_pending_ = false;
  BringUp(show_message_);
  if (connected() && pending_volume_ >= 0) SetVolume(pending_volume_);
}

PlayerHost::~PlayerHost() {
  if (events_.main_player() == this) events_.SetMainPlayer(nullptr, nullptr);
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
  events_.SetMainPlayer(this, this);
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
  set_connected(true);
}

void PlayerHost::Play(const std::u16string& address) {
  FinishBringUp();  // waits for the engine's library if need be
  if (!connected()) return;
  // Every address reaching the engine came over the network (catalogue,
  // provider page, playlist): one naming a local resource is refused here.
  if (!IsAllowedStreamAddress(address)) {
    if (events_.listener() != nullptr) events_.listener()->OnPlayerStatus(this, GetText(kRefusedAddressTextKey), kStatusError);
    return;
  }
  if (events_.listener() != nullptr) events_.listener()->OnPlayerStatus(this, std::u16string(), kStatusUpdate);
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
  if ((connected() || bring_up_pending_) && window_ != nullptr) window_->setGeometry(x, y, width, height);
}

void PlayerHost::SetVolume(int level) {
  if (bring_up_pending_) pending_volume_ = level;
  if (connected() && has_volume_) backend_->SetVolume(level);
}

void PlayerHost::ToggleFullScreen() {
  if (connected() && window_ != nullptr) window_->SetOwnFullScreen(!window_->own_full_screen());
}

bool PlayerHost::IsFullScreen() const { return connected() && window_ != nullptr && window_->own_full_screen(); }

std::u16string PlayerHost::StatusText() const { return backend_ != nullptr ? backend_->StatusText() : std::u16string(); }
PlayState PlayerHost::GetPlayState() const { return backend_ != nullptr ? backend_->GetPlayState() : PlayState::kUndefined; }
uint32_t PlayerHost::MediaErrorCode() const { return backend_ != nullptr ? backend_->MediaErrorCode() : 0; }

PlayerVideoWidget* PlayerHost::window() const { return window_.data(); }

StreamFailure PlayerHost::Failure() const { return backend_ != nullptr ? backend_->Failure() : StreamFailure::kNone; }
std::u16string PlayerHost::FailureDetail() const {
  return backend_ != nullptr ? backend_->FailureDetail() : std::u16string();
}
std::u16string PlayerHost::StreamTitle() const { return backend_ != nullptr ? backend_->StreamTitle() : std::u16string(); }

void PlayerHost::FollowPlayState() {
  const PlayState state = backend_->GetPlayState();
  if (IsAtRest(state)) {
    // A frame that was already queued when Stop ran can still have been
    // drawn after its clear; the end report comes later.
    if (window_ != nullptr) window_->ClearPicture();
    if (address_state_ == AddressState::kOpening || address_state_ == AddressState::kPlaying) {
      SetAddressState(backend_->Failure() != StreamFailure::kNone ? AddressState::kFailed : AddressState::kEnded);
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
  if (address_listener_) address_listener_();
}

void PlayerHost::OnBackendStatusChange() {
  FollowPlayState();
  events_.OnStatusChange();
}

void PlayerHost::OnBackendBuffering(bool start) {
  FollowPlayState();
  events_.OnBuffering(start);
}

void PlayerHost::OnBackendError() {
  FollowPlayState();
  if (address_state_ == AddressState::kOpening || address_state_ == AddressState::kPlaying) {
    SetAddressState(AddressState::kFailed);
  }
  events_.OnError();
}

void PlayerHost::OnBackendFrame() {
  if (window_ != nullptr) window_->FrameReady();
}

void PlayerHost::OnBackendTitleChange() {
  if (title_listener_) title_listener_();
}

}  // namespace vidora
