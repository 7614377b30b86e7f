#include "ui/desktop/mpris_service.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>

#include "ui/desktop/mpris_adaptors.h"

namespace vidora {

namespace {

constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";

}  // namespace

MprisService::MprisService(MprisActions actions, QObject* parent)
    : QObject(parent), actions_(std::move(actions)), bus_(QString()) {
  // Owned by this object (QObject children); QtDBus finds them by class.
  new MprisRootAdaptor(this);
  new MprisPlayerAdaptor(this);
}

MprisService::~MprisService() {
  if (!registered_) return;
  bus_.unregisterObject(QString::fromLatin1(kObjectPath));
  bus_.unregisterService(QString::fromLatin1(kServiceName));
}

bool MprisService::Register(QDBusConnection bus) {
  if (registered_ || !bus.isConnected()) return false;
  if (!bus.registerObject(QString::fromLatin1(kObjectPath), this, QDBusConnection::ExportAdaptors)) return false;
  if (!bus.registerService(QString::fromLatin1(kServiceName))) {
    bus.unregisterObject(QString::fromLatin1(kObjectPath));
    return false;
  }
  bus_ = bus;
  registered_ = true;
  return true;
}

QString MprisService::PlaybackStatus() const {
  if (!state_.playing) return QStringLiteral("Stopped");
  return state_.paused ? QStringLiteral("Paused") : QStringLiteral("Playing");
}

QString MprisService::TrackIdFor(const QString& channel_id) {
  // An object path allows [A-Za-z0-9_] in its elements: everything else is
  // written as _XX (its UTF-8 bytes in hex), so that ids stay apart.
  QString path = QStringLiteral("/org/vidora/channel/c");
  for (const char byte : channel_id.toUtf8()) {
    const auto c = static_cast<unsigned char>(byte);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      path += QLatin1Char(static_cast<char>(c));
    } else {
      path += QStringLiteral("_%1").arg(c, 2, 16, QLatin1Char('0'));
    }
  }
  return path;
}

QVariantMap MprisService::Metadata() const {
  QVariantMap metadata;
  if (state_.channel.isEmpty()) {
    metadata.insert(QStringLiteral("mpris:trackid"),
                    QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"))));
    return metadata;
  }
  metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(TrackIdFor(state_.channel_id))));
  metadata.insert(QStringLiteral("xesam:title"),
                  state_.stream_title.isEmpty() ? state_.channel : state_.stream_title);
  metadata.insert(QStringLiteral("xesam:artist"), QStringList{state_.channel});
  metadata.insert(QStringLiteral("xesam:album"), state_.channel);
  if (!state_.art_url.isEmpty()) metadata.insert(QStringLiteral("mpris:artUrl"), state_.art_url);
  return metadata;
}

void MprisService::SetPlaying(bool playing) {
  if (playing == state_.playing) return;
  state_.playing = playing;
  Notify({{QStringLiteral("PlaybackStatus"), PlaybackStatus()}});
}

void MprisService::SetPaused(bool paused) {
  if (paused == state_.paused) return;
  state_.paused = paused;
  if (state_.playing) Notify({{QStringLiteral("PlaybackStatus"), PlaybackStatus()}});
}

void MprisService::SetChannel(const QString& channel, const QString& art_url, const QString& channel_id) {
  if (channel == state_.channel && art_url == state_.art_url && channel_id == state_.channel_id) return;
  const bool could_play = !state_.channel.isEmpty();
  state_.channel = channel;
  state_.art_url = art_url;
  state_.channel_id = channel_id;
  // A new channel's stream has not told its title yet.
  state_.stream_title.clear();
  QVariantMap changed{{QStringLiteral("Metadata"), Metadata()}};
  if (could_play != !channel.isEmpty()) {
    changed.insert(QStringLiteral("CanPlay"), !channel.isEmpty());
    changed.insert(QStringLiteral("CanPause"), !channel.isEmpty());
  }
  Notify(changed);
}

void MprisService::SetStreamTitle(const QString& title) {
  if (title == state_.stream_title) return;
  state_.stream_title = title;
  Notify({{QStringLiteral("Metadata"), Metadata()}});
}

void MprisService::SetVolume(int level) {
  if (level == state_.volume) return;
  state_.volume = level;
  Notify({{QStringLiteral("Volume"), level / 100.0}});
}

void MprisService::SetCanStep(bool can_step) {
  if (can_step == state_.can_step) return;
  state_.can_step = can_step;
  Notify({{QStringLiteral("CanGoNext"), can_step}, {QStringLiteral("CanGoPrevious"), can_step}});
}

void MprisService::Notify(const QVariantMap& changed) {
  if (!registered_) return;
  QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kObjectPath),
                                                   QStringLiteral("org.freedesktop.DBus.Properties"),
                                                   QStringLiteral("PropertiesChanged"));
  signal << QString::fromLatin1(kPlayerInterface) << changed << QStringList();
  bus_.send(signal);
}

}  // namespace vidora
