#include "ui/playback/player_host.h"

#include <QString>

#include <algorithm>

#include "core/playback/stream_address_policy.h"
#include "core/stores/language_pack.h"
#include "ui/playback/status_texts.h"
#include "ui/texts/ui_texts.h"

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
  connect(window_, &PlayerVideoWidget::NewFrames, this, &PlayerHost::OnNewFrames);
  stall_timer_.setSingleShot(true);
  stall_timer_.setInterval(kStallMs);
  connect(&stall_timer_, &QTimer::timeout, this, &PlayerHost::OnStall);
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
  // The window's frame thread draws from the engine: it stops first. Then
  // the engine, which must stop calling back before the window goes.
  if (window_ != nullptr) window_->SetBackend(nullptr);
  backend_.reset();
  delete window_.data();
}

namespace {

// A set-up step's failure as a sentence the user can read, its step number
// kept for a report.
QString SetUpFailure(const char* key, int step) {
  return QString::fromStdU16String(GetText(key)) + QStringLiteral(" (%1)").arg(step);
}

}  // namespace

void PlayerHost::BringUp(const MessageShower& show_message) {
  if (!backend_->Create()) {
    show_message(window_, QStringLiteral("Can't create player."));
    return;
  }
  has_volume_ = backend_->HasVolume();
  if (!has_volume_) show_message(window_, QStringLiteral("Can't get settings."));
  if (!backend_->Initialize()) {
    show_message(window_, SetUpFailure("player_fail_start", 3));
    return;
  }
  if (!backend_->CreateRenderer()) {
    show_message(window_, SetUpFailure("player_fail_picture", 4));
    return;
  }
  // Without warnings the error texts are the engine's generic ones;
  // playback itself works.
  if (!backend_->RequestWarnings()) show_message(window_, SetUpFailure("player_fail_warnings", 5));
  if (!backend_->ObserveState()) {
    show_message(window_, SetUpFailure("player_fail_state", 6));
    return;
  }
  if (!backend_->Connect(this)) {
    show_message(window_, SetUpFailure("player_fail_events", 7));
    return;
  }
  connected_ = true;
  backend_->SetPictureOptions(picture_);
  backend_->SetHardwareDecoding(hardware_decoding_);
  if (back_buffer_in_memory_) backend_->MoveBackBufferToMemory();
}

void PlayerHost::Play(const std::u16string& address, StreamAddressOrigin origin) {
  FinishBringUp();  // waits for the engine's library if need be
  if (!connected()) return;
  // Every address reaching the engine came over the network (catalogue,
  // provider page, playlist): one naming a local resource is refused here.
  if (!IsAllowedStreamAddress(address, origin)) {
    failure_ = FailureReport{StreamFailure::kCannotPlay, GetText(kRefusedAddressTextKey), {}};
    emit Failed(failure_);
    return;
  }
  // The engine would sit on such an address for minutes without a request.
  if (address.size() > kMaxStreamAddressLength) {
    const QString text = QString::fromStdU16String(GetText(kTooLongAddressTextKey)).arg(kMaxStreamAddressLength);
    failure_ = FailureReport{StreamFailure::kCannotPlay, text.toStdU16String(),
                             QString::fromStdU16String(address.substr(0, 200)).toStdU16String() + u"…"};
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
  if ((connected() || bring_up_pending_) && window_ != nullptr) window_->setGeometry(x, y, width, height);
}

void PlayerHost::SetVolume(int level) {
  if (bring_up_pending_) pending_volume_ = level;
  if (connected() && has_volume_) backend_->SetVolume(level);
}

void PlayerHost::SetMuted(bool muted) {
  if (connected() && has_volume_) backend_->SetMuted(muted);
}

void PlayerHost::SetPaused(bool paused) {
  if (connected()) backend_->SetPaused(paused);
}

void PlayerHost::SeekTo(double seconds) {
  if (connected()) backend_->SeekTo(seconds);
}

void PlayerHost::SetTrackRequest(const TrackRequest& request) {
  if (connected()) backend_->SetTrackRequest(request);
}

void PlayerHost::SelectTrack(TrackKind kind, std::optional<int64_t> id) {
  if (connected()) backend_->SelectTrack(kind, id);
}

void PlayerHost::SetPictureOptions(const PictureOptions& options) {
  picture_ = options;
  if (connected()) backend_->SetPictureOptions(options);
}

void PlayerHost::SetHardwareDecoding(bool on) {
  hardware_decoding_ = on;
  if (connected()) backend_->SetHardwareDecoding(on);
}

void PlayerHost::MoveBackBufferToMemory() {
  back_buffer_in_memory_ = true;
  if (connected()) backend_->MoveBackBufferToMemory();
}

StreamStats PlayerHost::stats() const { return connected() ? backend_->Stats() : StreamStats{}; }

void PlayerHost::ToggleFullScreen() {
  if (connected() && window_ != nullptr) window_->SetOwnFullScreen(!window_->own_full_screen());
}

bool PlayerHost::IsFullScreen() const { return connected() && window_ != nullptr && window_->own_full_screen(); }

void PlayerHost::SetRequestHeaders(const std::string& user_agent, const std::string& referrer,
                                   const std::string& cookie) {
  if (connected()) backend_->SetRequestHeaders(user_agent, referrer, cookie);
}

PlayerVideoWidget* PlayerHost::window() const { return window_.data(); }

PlayerStatus PlayerHost::BackendStatus() {
  PlayerStatus status;
  status.state = backend_->GetPlayState();
  if (status.state != PlayState::kBuffering || address_state_ != AddressState::kPlaying) {
    stall_timer_.stop();
    stalled_ = false;
  } else if (tracks_.video && !stalled_) {
    // The engine's cache dips now and then while frames keep coming: that
    // is no stall until the picture stood still for kStallMs.
    if (!stall_timer_.isActive()) stall_timer_.start();
    status.state = PlayState::kPlaying;
    status.text = PlayingText();
    return status;
  }
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
  if (state == AddressState::kPlaying) OnBackendTracksChange();
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

void PlayerHost::OnNewFrames() {
  // A new picture while the cache dips: the picture has not stalled.
  if (stall_timer_.isActive()) stall_timer_.start();
}

void PlayerHost::OnStall() {
  stalled_ = true;
  ReportStatus(BackendStatus());
}

void PlayerHost::OnBackendTitleChange() {
  std::u16string title = backend_->StreamTitle();
  if (title == title_) return;
  title_ = std::move(title);
  emit TitleChanged(title_);
}

void PlayerHost::OnBackendTracksChange() {
  // While a stream opens its tracks come one by one: what it carries is
  // told once it plays, and every change after that.
  if (address_state_ != AddressState::kPlaying) return;
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
