#include "ui/desktop/mpris_adaptors.h"

#include <algorithm>

#include "core/stores/language_pack.h"
#include "ui/desktop/mpris_service.h"
#include "ui/stores/ui_texts.h"

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
  // MPRIS allows values above 1 (amplification); the trackbar ends at 100.
  const int level = static_cast<int>(std::clamp(volume, 0.0, 1.0) * 100.0 + 0.5);
  if (service_->actions().set_volume) service_->actions().set_volume(level);
}

bool MprisPlayerAdaptor::CanStep() const { return service_->state().can_step; }
bool MprisPlayerAdaptor::CanPlay() const { return !service_->state().channel.isEmpty(); }

void MprisPlayerAdaptor::Next() { Run(service_->actions().next); }
void MprisPlayerAdaptor::Previous() { Run(service_->actions().previous); }
// A live stream cannot hold its place, so pausing it is stopping it.
void MprisPlayerAdaptor::Pause() { Stop(); }

void MprisPlayerAdaptor::PlayPause() {
  if (service_->state().playing) {
    Stop();
  } else {
    Play();
  }
}

void MprisPlayerAdaptor::Stop() {
  if (service_->state().playing) Run(service_->actions().stop);
}

void MprisPlayerAdaptor::Play() {
  if (!service_->state().playing) Run(service_->actions().play);
}

}  // namespace vidora
