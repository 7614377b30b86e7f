#include "ui/playback/playback_control.h"

#include <QWidget>
#include <QtGlobal>

#include <algorithm>
#include <ctime>

#include "core/catalogue/channel_catalogue.h"
#include "core/commands/view_requests.h"
#include "core/document/text_codec.h"
#include "core/health/health_book.h"
#include "core/playback/provider_table.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/setting_keys.h"
#include "core/stores/app_paths.h"
#include "core/timeshift/timeshift_buffer.h"
#include "ui/parental/parental_lock.h"
#include "ui/playback/address_resolver.h"
#include "core/stores/settings_store.h"
#include "ui/playback/control_panel.h"
#include "ui/playback/info_strip.h"
#include "ui/playback/mpv_backend.h"
#include "ui/playback/player_host.h"
#include "ui/playback/radio_window.h"
#include "ui/playback/status_texts.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"
#include "ui/lifecycle/ui_thread.h"

namespace vidora {
namespace {

Channel* CurrentChannel() { return Catalogue() != nullptr ? Catalogue()->CurrentChannel() : nullptr; }

// A failure after the stream played that reconnecting may mend: the
// connection broke, not the channel (an HTTP refusal or a sound device
// that is missing stays missing).
bool IsDrop(StreamFailure failure) {
  return failure != StreamFailure::kNone && failure != StreamFailure::kNotAvailable &&
         failure != StreamFailure::kServerError && failure != StreamFailure::kNoSoundDevice;
}

// While a stream that played is being reconnected, a server that answers
// "not found" or with an error is restarting (a radio's mount comes back
// seconds after its source): one more drop until the back-off is over.
bool IsDropWhileReconnecting(StreamFailure failure) {
  return IsDrop(failure) || failure == StreamFailure::kNotAvailable || failure == StreamFailure::kServerError;
}

}  // namespace

PlaybackControl::PlaybackControl(QWidget* view, ViewRequests* view_requests, QAction* full_screen)
    : view_(view), view_requests_(view_requests), full_screen_(full_screen) {
  AssertUiThread();
  resolver_ = std::make_unique<AddressResolver>();
  reconnect_timer_.setSingleShot(true);
  QObject::connect(&reconnect_timer_, &QTimer::timeout, [this] { Reconnect(); });
}

PlaybackControl::~PlaybackControl() {
  reconnect_timer_.stop();
  resolver_.reset();
  End();
  // The engine stops before anything it reports to goes away.
  player_.reset();
  delete radio_.data();
}

// The engine keeps a back buffer on disk to pause and rewind live channels
// in, no bigger than the disk allows; what an earlier run left there goes
// first.
static std::vector<MpvBackend::Option> TimeshiftOptions() {
  const std::filesystem::path folder = TimeshiftFolder();
  if (!ClearTimeshiftFolder(folder)) return {};
  return TimeshiftEngineOptions(FitTimeshiftToDisk(PlaybackControl::Limits(), FreeBytesAt(folder)), folder);
}

TimeshiftLimits PlaybackControl::Limits() {
  TimeshiftLimits limits;
  limits.minutes = GetSetting(kTimeshiftMinutesSetting);
  limits.megabytes = GetSetting(kTimeshiftMegabytesSetting);
  return limits;
}

void PlaybackControl::Start(const QRect& first_player_rect, BackendFactory factory) {
  AssertUiThread();
  panel_ = new ControlPanel(view_, view_requests_, full_screen_, [this](int level) { SetVolume(level); });
  connect(this, &PlaybackControl::VolumeChanged, panel_, &ControlPanel::ShowVolume);
  strip_ = new InfoStrip(view_, [this] { return StripChannelName(); });
  std::unique_ptr<PlayerBackend> backend = factory ? factory() : std::make_unique<MpvBackend>(TimeshiftOptions());
  player_ = std::make_unique<PlayerHost>(view_, first_player_rect, std::move(backend));
  connect(player_.get(), &PlayerHost::AddressStateChanged, this, &PlaybackControl::OnAddressState);
  connect(player_.get(), &PlayerHost::StatusChanged, this, &PlaybackControl::OnPlayerStatus);
  connect(player_.get(), &PlayerHost::Failed, this, &PlaybackControl::OnPlayerFailure);
  connect(player_.get(), &PlayerHost::TitleChanged, this, &PlaybackControl::OnStreamTitle);
  connect(player_.get(), &PlayerHost::SoundDeviceMissing, this, &PlaybackControl::OnSoundDeviceMissing);
  connect(player_.get(), &PlayerHost::TracksChanged, this, &PlaybackControl::OnTracks);
  radio_ = new RadioWindow(view_);
  radio_->hide();
  // What a screen reader calls the parts that are not buttons.
  strip_->setAccessibleName(Text("acc_strip"));
  radio_->setAccessibleName(Text("acc_picture"));
  if (player_->window() != nullptr) player_->window()->setAccessibleName(Text("acc_picture"));
  ShowPictureFor(CurrentChannel());
  // The one place the stored volume is read. A damaged level sounds as the
  // panel shows it, clamped, and is kept as it is until the user changes it.
  volume_level_ = std::clamp(GetSetting(kVolumeSetting), 0, 100);
  ApplyVolume(false);
  CreateProviders();
  started_providers_ = true;
}

QRect PlaybackControl::FirstPlayerRect(const QSize& client) {
  return QRect(QPoint(4, 4), QPoint(client.width() - 4, client.height() - 4 - 32)).adjusted(0, 0, -1, -1);
}

void PlaybackControl::End() {
  // The time-shift buffer's bytes are of no use to a later run.
  ClearTimeshiftFolder(TimeshiftFolder());
  // A worker may still use a copy of a provider, never the table's.
  EndSession();
  delete panel_.data();
  delete strip_.data();
  if (started_providers_) DestroyProviders();
  started_providers_ = false;
}

void PlaybackControl::ShowPictureFor(const Channel* channel) {
  const bool radio = channel != nullptr && channel->radio();
  if (radio_ != nullptr) radio_->setVisible(radio);
  if (player_ != nullptr && player_->window() != nullptr) player_->window()->setVisible(!radio);
}

QString PlaybackControl::StripChannelName() const {
  const Channel* channel = CurrentChannel();
  if (channel == nullptr) return QString();
  QString name = ToQString(channel->name());
  // Which of several sources plays (or plays next).
  if (channel->sources().size() > 1) {
    name += QStringLiteral(" (") + QString::fromStdU16String(SourceText(SourceFor(*channel))) + QLatin1Char(')');
  }
  return name;
}

int PlaybackControl::SourceFor(const Channel& channel) const {
  if (plan_ && channel.key() == session_key_) return plan_->source();
  const auto it = working_sources_.find(channel.key());
  const int count = static_cast<int>(channel.sources().size());
  if (it != working_sources_.end() && it->second < count) return it->second;
  return channel.current_source();
}

void PlaybackControl::EndSession() {
  reconnect_timer_.stop();
  if (resolver_ != nullptr) resolver_->Cancel();
  plan_.reset();
  session_key_.clear();
  attempt_over_ = true;
}

void PlaybackControl::PlayChannel(Channel* channel) {
  AssertUiThread();
  if (channel == nullptr) channel = CurrentChannel();
  if (channel != nullptr && !PassesParentalLock(channel)) return;
  EndSession();
  if (player_ != nullptr) player_->Stop();
  if (channel == nullptr || Catalogue() == nullptr) {
    UpdateNowPlaying();
    return;
  }
  Catalogue()->SetCurrentChannel(channel);
  ShowPictureFor(channel);
  failure_shown_ = false;
  // A channel listed without any source has nothing to play.
  if (channel->sources().empty()) {
    ShowFinalFailure({}, {});
    return;
  }
  // The channel check's results put the sources that answered first; one
  // found dead does not lead, unless it played during this run.
  int first = SourceFor(*channel);
  std::vector<int> order;
  if (const HealthBook* book = CurrentHealthBook(); book != nullptr && channel->sources().size() > 1) {
    const auto now = static_cast<int64_t>(std::time(nullptr));
    order = book->LiveFirst(*channel, now);
    const SourceCheck* check = book->Find(channel->sources()[static_cast<size_t>(first)].address, now);
    const bool dead = check != nullptr && check->state == SourceState::kDead;
    if (dead && !working_sources_.contains(channel->key())) first = order.front();
  }
  plan_.emplace(static_cast<int>(channel->sources().size()), first, std::move(order));
  session_key_ = channel->key();
  session_radio_ = channel->radio();
  if (strip_ != nullptr) strip_->update();
  if (!session_key_.empty()) emit ChannelStarted(session_key_);
  StartAttempt();
}

bool PlaybackControl::PassesParentalLock(Channel*& channel) {
  ParentalLock* lock = ParentalLock::Current();
  if (lock == nullptr || !lock->Locks(*channel)) return true;
  // The prompt runs its own event loop, in which a reload may replace the
  // channels: the channel is found again by its key afterwards.
  const std::string key(channel->key());
  if (!lock->AllowPlay(*channel, view_)) return false;
  channel = Catalogue() != nullptr ? Catalogue()->FindChannelByKey(key) : nullptr;
  return channel != nullptr;
}

void PlaybackControl::PlayRecording(const std::u16string& path) {
  if (Catalogue() == nullptr) return;
  local_recording_ = path;
  PlayChannel(Catalogue()->MakeAddressChannel(path));
}

void PlaybackControl::PlayCatchup(const Channel& channel, const std::u16string& address, const std::u16string& name) {
  if (Catalogue() == nullptr) return;
  SourceRequest request;
  const PlaylistManager* playlists = PlaylistManager::Current();
  const std::optional<PlaylistChannelInfo> info = playlists != nullptr ? playlists->FindChannel(channel) : std::nullopt;
  if (info.has_value() && !channel.sources().empty()) {
    request = RequestForSource(*info, channel.sources()[static_cast<size_t>(SourceFor(channel))].address);
  }
  catchup_address_ = address;
  catchup_request_ = std::move(request);
  // A provider's archive address is completed by the channel's provider
  // (with the account's password) like its live address.
  PlayChannel(Catalogue()->MakeAddressChannel(address, name, channel.provider()));
}

const Channel* PlaybackControl::SessionChannel() const {
  ChannelCatalogue* catalogue = Catalogue();
  if (catalogue == nullptr) return nullptr;
  // Only the command line's address channel has no key.
  if (session_key_.empty()) return catalogue->AddressChannel();
  return catalogue->FindChannelByKey(session_key_);
}

void PlaybackControl::StartAttempt() {
  const Channel* channel = SessionChannel();
  if (channel == nullptr || !plan_) return;
  const StreamSource& source = channel->sources()[static_cast<size_t>(plan_->source())];
  if (strip_ != nullptr) strip_->update();
  if (channel->provider().empty()) {
    PlayAddress(Utf8ToUtf16(source.address));
    return;
  }
  StreamAddressProvider* provider = Providers().Find(channel->provider());
  if (provider == nullptr) {
    // No provider of that name: nothing plays and nothing is said.
    ShowFinalFailure({}, FailureText(StreamFailure::kNoProviderAddress, 0));
    return;
  }
  // The Stop glyphs let the user cancel while the provider is asked.
  if (panel_ != nullptr) panel_->SetPlaying(true);
  SetStatus(OpeningText());
  resolver_->Start(provider->CopyForWorker(), Utf8ToUtf16(source.address),
                   [this](std::optional<std::u16string> address, AddressResolver::Messages messages) {
                     OnAddressResolved(std::move(address), std::move(messages));
                   });
}

void PlaybackControl::OnAddressResolved(std::optional<std::u16string> address, AddressResolver::Messages messages) {
  const std::string key = session_key_;
  // The boxes wait for the user; meanwhile another channel or Stop may
  // have come.
  for (const auto& [text, caption] : messages) {
    ShowPlainMessage(text, caption);
    if (session_key_ != key || !plan_ || resolver_->pending()) return;
  }
  if (address && !address->empty()) {
    PlayAddress(*address);
    return;
  }
  if (plan_ && plan_->NextSource()) {
    StartAttempt();
    return;
  }
  // The status stays empty, as for any channel that cannot start; the
  // reason is the tooltip.
  ShowFinalFailure({}, FailureText(StreamFailure::kNoProviderAddress, 0));
}

void PlaybackControl::PlayAddress(const std::u16string& address) {
  session_address_ = address;
  attempt_played_ = false;
  attempt_over_ = false;
  failure_shown_ = false;
  if (panel_ != nullptr) panel_->SetPlaying(true);
  const Channel* channel = SessionChannel();
  if (channel != nullptr && player_ != nullptr) {
    // A playlist may ask for its own agent, referrer and cookie per source.
    const PlaylistManager* playlists = PlaylistManager::Current();
    const std::optional<PlaylistChannelInfo> info = playlists != nullptr ? playlists->FindChannel(*channel) : std::nullopt;
    SourceRequest request = info.has_value() ? RequestForSource(*info, Utf16ToUtf8(address)) : SourceRequest{};
    if (session_key_.empty() && !catchup_address_.empty() && address == catchup_address_) {
      request = catchup_request_;
    }
    player_->SetRequestHeaders(request.user_agent, request.referrer, request.cookie);
  }
  if (strip_ != nullptr) strip_->setToolTip(QString());
  emit AddressStarting(session_key_);
  // A refused address is shown as the channel's failure at once.
  if (player_ != nullptr) {
    player_->Play(address, address == local_recording_ ? StreamAddressOrigin::kUserLocalFile : StreamAddressOrigin::kNetwork);
  }
  UpdateNowPlaying();
  NotifyState();
}

void PlaybackControl::OnAddressState() {
  if (!plan_ || attempt_over_ || player_ == nullptr) return;
  switch (player_->address_state()) {
    case PlayerHost::AddressState::kPlaying:
      attempt_played_ = true;
      plan_->OnPlaying();
      working_sources_[session_key_] = plan_->source();
      UpdateNowPlaying();
      break;
    case PlayerHost::AddressState::kEnded:
    case PlayerHost::AddressState::kFailed:
      attempt_over_ = true;
      HandleAttemptEnd();
      break;
    default:
      break;
  }
}

void PlaybackControl::HandleAttemptEnd() {
  const bool ended = player_->address_state() == PlayerHost::AddressState::kEnded;
  const FailureReport failure = player_->failure();
  const bool dropped = ended || (plan_->reconnecting() ? IsDropWhileReconnecting(failure.failure) : IsDrop(failure.failure));
  const bool played = attempt_played_ || plan_->reconnecting();
  const QString detail = QString::fromStdU16String(failure.detail);
  if (played && dropped) {
    if (const std::optional<int> delay = plan_->NextReconnectDelayMs()) {
      qInfo("playback: stream dropped (%s), reconnecting in %d ms", qUtf8Printable(detail), *delay);
      SetStatus(ReconnectingText(), failure.detail);
      if (panel_ != nullptr) panel_->SetPlaying(true);
      next_is_new_source_ = false;
      reconnect_timer_.start(*delay);
      return;
    }
  }
  if (plan_->NextSource()) {
    qInfo("playback: source failed (%s), trying source %d", qUtf8Printable(detail), plan_->source() + 1);
    SetStatus(OpeningText());
    // Opened once the player has finished reporting the failure.
    next_is_new_source_ = true;
    reconnect_timer_.start(0);
    return;
  }
  // Every source failed: the failure stands. A stream that ended by itself
  // says so through the player's status report that follows.
  EndSession();
  if (!ended) {
    if (!failure.detail.empty()) qWarning("playback: %s", qUtf8Printable(detail));
    failure_shown_ = true;
    SetStatus(failure.text, failure.detail);
  }
  if (panel_ != nullptr) panel_->SetPlaying(false);
  UpdateNowPlaying();
  NotifyState();
}

void PlaybackControl::Reconnect() {
  if (!plan_) return;
  if (next_is_new_source_) {
    StartAttempt();
    return;
  }
  if (session_address_.empty()) return;
  PlayAddress(session_address_);
  // The status stays on "reconnecting" until the stream plays again.
  SetStatus(ReconnectingText());
}

void PlaybackControl::MoveTimeshiftToMemory() {
  if (player_ == nullptr) return;
  player_->MoveBackBufferToMemory();
  // The engine deletes its file on disk only when the stream closes: a
  // live channel that plays is opened again at once. A programme or a
  // recording would start over, so those keep their file until they end.
  if (!session_key_.empty() && attempt_played_ && !attempt_over_ && !session_address_.empty()) {
    PlayAddress(session_address_);
  }
}

void PlaybackControl::ShowFinalFailure(const std::u16string& text, const std::u16string& detail) {
  EndSession();
  failure_shown_ = true;
  if (!detail.empty()) qWarning("playback: %s", qUtf8Printable(QString::fromStdU16String(detail)));
  SetStatus(text, detail);
  if (panel_ != nullptr) panel_->SetPlaying(false);
  UpdateNowPlaying();
  NotifyState();
}

void PlaybackControl::SetStatus(const std::u16string& text, const std::u16string& detail) {
  if (strip_ == nullptr) return;
  strip_->SetStatusText(QString::fromStdU16String(text));
  strip_->setToolTip(QString::fromStdU16String(detail));
}

void PlaybackControl::StopPlayback() {
  AssertUiThread();
  const bool recovering = plan_ && (reconnect_timer_.isActive() || resolver_->pending());
  EndSession();
  if (player_ != nullptr) player_->Stop();
  if (panel_ != nullptr) panel_->SetPlaying(false);
  // Nothing of the player reports a stop while it waits to reconnect or
  // for an address.
  if (recovering) SetStatus(StoppedText());
  UpdateNowPlaying();
  NotifyState();
}

void PlaybackControl::AddNowPlayingObserver(NowPlayingObserver* observer) {
  if (observer != nullptr) now_playing_observers_.push_back(observer);
}

void PlaybackControl::RemoveNowPlayingObserver(NowPlayingObserver* observer) {
  std::erase(now_playing_observers_, observer);
}

void PlaybackControl::UpdateNowPlaying() {
  NowPlaying now;
  const Channel* channel = plan_ ? SessionChannel() : nullptr;
  if (channel != nullptr) {
    now.channel = channel->name();
    now.radio = session_radio_;
    if (player_ != nullptr && player_->address_state() == PlayerHost::AddressState::kPlaying) {
      now.stream_title = SanitizeStreamTitle(player_->stream_title());
    }
  }
  if (now == now_playing_) return;
  now_playing_ = now;
  if (view_ != nullptr && view_->window() != nullptr) {
    const std::u16string app = AppTitle().empty() ? std::u16string(u"Vidora") : AppTitle();
    view_->window()->setWindowTitle(QString::fromStdU16String(WindowTitleFor(now_playing_, app)));
  }
  for (NowPlayingObserver* observer : std::vector<NowPlayingObserver*>(now_playing_observers_)) {
    observer->OnNowPlaying(now_playing_);
  }
}

void PlaybackControl::StepFavourite(bool forward) {
  AssertUiThread();
  if (Catalogue() == nullptr) return;
  Channel* channel = Catalogue()->StepFavourite(forward);
  if (channel != nullptr && view_requests_ != nullptr) view_requests_->PlayChannel(channel);
}

void PlaybackControl::SetVolume(int level) {
  AssertUiThread();
  volume_level_ = std::clamp(level, 0, 100);
  muted_ = false;
  ApplyVolume(true);
}

void PlaybackControl::SetMuted(bool muted) {
  AssertUiThread();
  muted_ = muted;
  ApplyVolume(true);
}

void PlaybackControl::ApplyVolume(bool store) {
  if (player_ != nullptr) {
    player_->SetVolume(volume_level_);
    player_->SetMuted(muted_);
  }
  if (store) SetSetting(kVolumeSetting, volume_level_);
  emit VolumeChanged(volume_level_, muted_);
  NotifyState();
}

void PlaybackControl::StopPlayer() {
  EndSession();
  if (player_ != nullptr) player_->Stop();
}

bool PlaybackControl::playing() const { return panel_ != nullptr && panel_->playing(); }

void PlaybackControl::NotifyState() {
  if (state_observer_) state_observer_();
}

void PlaybackControl::Layout(const QSize& client, bool full_screen_layout) {
  const int width = client.width();
  const int height = client.height();
  QRect picture(0, 0, width, height);
  if (!full_screen_layout) {
    const int unit = BarUnit();
    const int gap = unit / 8;
    picture = QRect(gap, unit + gap, width - 2 * gap, height - 2 * gap - 3 * unit);
    if (panel_ != nullptr) {
      panel_->setGeometry(0, height - 2 * unit, width, 2 * unit);
      panel_->show();
    }
    if (strip_ != nullptr) {
      strip_->setGeometry(0, 0, width, unit);
      strip_->show();
    }
  } else {
    if (panel_ != nullptr) panel_->hide();
    if (strip_ != nullptr) strip_->hide();
  }
  PlayerVideoWidget* window = player_ != nullptr ? player_->window() : nullptr;
  // A window in its own full-screen mode comes back to the latest place.
  if (window != nullptr) {
    if (window->own_full_screen()) {
      window->set_normal_geometry(picture);
    } else {
      window->setGeometry(picture);
    }
  }
  if (radio_ != nullptr) radio_->setGeometry(picture);
}

QRect PlaybackControl::PlayerRect() const {
  const PlayerVideoWidget* window = player_ != nullptr ? player_->window() : nullptr;
  if (window == nullptr) return QRect();
  return window->own_full_screen() ? window->normal_geometry() : window->geometry();
}

bool PlaybackControl::IsPlayerFullScreen() const { return player_ != nullptr && player_->IsFullScreen(); }

void PlaybackControl::OnPlayerStatus(const PlayerStatus& status) {
  if (failure_shown_) return;
  // A failed source or a dropped stream is being dealt with; so is a
  // reconnection until it plays.
  if (plan_ && (attempt_over_ || reconnect_timer_.isActive() || plan_->reconnecting())) return;
  // A radio's own title stands in for "Playing".
  const bool titled = status.state == PlayState::kPlaying && !now_playing_.stream_title.empty();
  SetStatus(titled ? now_playing_.stream_title : status.text);
  if (!plan_ && IsAtRest(status.state) && panel_ != nullptr && panel_->playing()) {
    panel_->SetPlaying(false);
    NotifyState();
  }
}

void PlaybackControl::OnPlayerFailure(const FailureReport& failure) {
  if (failure_shown_) return;
  // The end of the attempt it ended has dealt with it.
  if (plan_ && attempt_over_) return;
  ShowFinalFailure(failure.text, failure.detail);
}

void PlaybackControl::OnSoundDeviceMissing() {
  if (sound_note_said_) return;
  sound_note_said_ = true;
  qInfo("playback: no sound output device; pictures play without sound");
  if (!failure_shown_) SetStatus(NoSoundNoteText());
}

void PlaybackControl::OnTracks(const StreamTracks& tracks) {
  // What the stream carries decides, whatever its source said: an audio
  // address shows the radio picture (and lets the screen blank).
  if (!plan_ || player_ == nullptr || (!tracks.video && !tracks.audio)) return;
  session_radio_ = !tracks.video;
  if (radio_ != nullptr) radio_->setVisible(session_radio_);
  if (player_->window() != nullptr) player_->window()->setVisible(!session_radio_);
  UpdateNowPlaying();
  NotifyState();
}

void PlaybackControl::OnStreamTitle() {
  UpdateNowPlaying();
  if (player_->address_state() == PlayerHost::AddressState::kPlaying && (!plan_ || !plan_->reconnecting()) &&
      !failure_shown_) {
    SetStatus(now_playing_.stream_title.empty() ? player_->status().text : now_playing_.stream_title);
  }
}

}  // namespace vidora
