#include "ui/desktop/mpris_adaptors.h"

#include <QDBusConnection>
#include <QDBusError>

#include <algorithm>
#include <cmath>

#include "core/playback/stream_address_policy.h"
#include "core/stores/language_pack.h"
#include "ui/desktop/mpris_service.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

void Run(const std::function<void()>& action) {
  if (action) action();
}

}  // namespace

MprisRootAdaptor::MprisRootAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), service_(service) {}

QString MprisRootAdaptor::Identity() const {
  const QString title = ToQString(AppTitle());
  return title.isEmpty() ? QStringLiteral("Vidora") : title;
}

void MprisRootAdaptor::Raise() { Run(service_->actions().raise); }
void MprisRootAdaptor::Quit() { Run(service_->actions().quit); }

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), service_(service) {}

QString MprisPlayerAdaptor::PlaybackStatus() const { return service_->PlaybackStatus(); }
QVariantMap MprisPlayerAdaptor::Metadata() const { return service_->Metadata(); }
double MprisPlayerAdaptor::Volume() const { return service_->state().volume / 100.0; }

void MprisPlayerAdaptor::SetVolume(double volume) {
  // NaN or infinity is no level (NaN would otherwise mute).
  if (!std::isfinite(volume)) return;
  // MPRIS allows values above 1 (amplification); the trackbar ends at 100.
  const int level = static_cast<int>(std::clamp(volume, 0.0, 1.0) * 100.0 + 0.5);
  if (service_->actions().set_volume) service_->actions().set_volume(level);
}

qlonglong MprisPlayerAdaptor::Position() const {
  const qlonglong position = service_->actions().position_us ? service_->actions().position_us() : 0;
  return std::max<qlonglong>(position, 0);
}

void MprisPlayerAdaptor::OpenUri(const QString& uri, const QDBusMessage& message) {
  const std::u16string address = uri.toStdU16String();
  if (!IsAllowedStreamAddress(address) || address.size() > kMaxStreamAddressLength) {
    message.setDelayedReply(true);
    service_->bus().send(message.createErrorReply(
        QDBusError::InvalidArgs, QStringLiteral("Not a network stream address this player opens: %1").arg(uri.left(200))));
    return;
  }
  if (service_->actions().open_uri) service_->actions().open_uri(uri);
}

QStringList MprisRootAdaptor::SupportedUriSchemes() const {
  QStringList schemes;
  for (size_t i = 0; i < kNetworkStreamSchemeCount; ++i) schemes << QString::fromStdU16String(std::u16string(NetworkStreamScheme(i)));
  return schemes;
}

QStringList MprisRootAdaptor::SupportedMimeTypes() const {
  return {QStringLiteral("application/vnd.apple.mpegurl"), QStringLiteral("application/x-mpegurl"),
          QStringLiteral("audio/mpegurl"),                 QStringLiteral("audio/x-mpegurl"),
          QStringLiteral("video/mp2t"),                    QStringLiteral("audio/mpeg"),
          QStringLiteral("audio/aac"),                     QStringLiteral("audio/ogg"),
          QStringLiteral("audio/flac"),                    QStringLiteral("video/mp4"),
          QStringLiteral("audio/x-scpls")};
}

bool MprisPlayerAdaptor::CanStep() const { return service_->state().can_step; }
bool MprisPlayerAdaptor::CanPlay() const { return !service_->state().channel.isEmpty(); }

void MprisPlayerAdaptor::Next() { Run(service_->actions().next); }
void MprisPlayerAdaptor::Previous() { Run(service_->actions().previous); }
// A stream with a time-shift buffer holds its place there; one without
// cannot, so pausing it is stopping it.
void MprisPlayerAdaptor::Pause() {
  const MprisState& state = service_->state();
  if (!state.playing || state.paused) return;
  if (service_->actions().hold && service_->actions().hold(true)) return;
  Stop();
}

void MprisPlayerAdaptor::PlayPause() {
  const MprisState& state = service_->state();
  if (state.playing && !state.paused) {
    Pause();
  } else {
    Play();
  }
}

void MprisPlayerAdaptor::Stop() {
  if (service_->state().playing) Run(service_->actions().stop);
}

void MprisPlayerAdaptor::Play() {
  const MprisState& state = service_->state();
  if (state.playing && state.paused && service_->actions().hold) {
    service_->actions().hold(false);
  } else if (!state.playing) {
    Run(service_->actions().play);
  }
}

}  // namespace vidora
