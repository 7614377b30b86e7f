#ifndef VIDORA_UI_DESKTOP_MPRIS_ADAPTORS_H_
#define VIDORA_UI_DESKTOP_MPRIS_ADAPTORS_H_

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

namespace vidora {

class MprisService;

// org.mpris.MediaPlayer2 on the MprisService object (which owns it).
class MprisRootAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ CanQuit)
  Q_PROPERTY(bool CanRaise READ CanRaise)
  Q_PROPERTY(bool HasTrackList READ HasTrackList)
  Q_PROPERTY(QString Identity READ Identity)
  Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

 public:
  explicit MprisRootAdaptor(MprisService* service);

  bool CanQuit() const { return true; }
  bool CanRaise() const { return true; }
  bool HasTrackList() const { return false; }
  QString Identity() const;
  QString DesktopEntry() const { return QStringLiteral("vidora"); }
  // The network stream schemes the player opens.
  QStringList SupportedUriSchemes() const;
  // The stream formats internet TV and radio come in.
  QStringList SupportedMimeTypes() const;

 public Q_SLOTS:  // NOLINT: D-Bus methods
  void Raise();
  void Quit();

 private:
  MprisService* service_;
};

// org.mpris.MediaPlayer2.Player on the MprisService object.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(double Rate READ Rate WRITE SetRate)
  // Live streams play at their own pace: 1 is the only rate.
  Q_PROPERTY(double MinimumRate READ Rate)
  Q_PROPERTY(double MaximumRate READ Rate)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(bool CanGoNext READ CanStep)
  Q_PROPERTY(bool CanGoPrevious READ CanStep)
  Q_PROPERTY(bool CanPlay READ CanPlay)
  Q_PROPERTY(bool CanPause READ CanPlay)
  Q_PROPERTY(bool CanSeek READ CanSeek)
  Q_PROPERTY(bool CanControl READ CanControl)

 public:
  explicit MprisPlayerAdaptor(MprisService* service);

  QString PlaybackStatus() const;
  double Rate() const { return 1.0; }
  void SetRate(double) {}  // live streams play at their own pace
  QVariantMap Metadata() const;
  double Volume() const;
  void SetVolume(double volume);
  // Microseconds of the stream's own clock; 0 when it has none.
  qlonglong Position() const;
  bool CanStep() const;
  bool CanPlay() const;
  bool CanSeek() const { return false; }
  bool CanControl() const { return true; }

 public Q_SLOTS:  // NOLINT: D-Bus methods
  void Next();
  void Previous();
  void Pause();
  void PlayPause();
  void Stop();
  void Play();
  void Seek(qlonglong) {}
  void SetPosition(const QDBusObjectPath&, qlonglong) {}
  // Plays `uri` as the command line would; an address the player cannot
  // open is refused with org.freedesktop.DBus.Error.InvalidArgs.
  void OpenUri(const QString& uri, const QDBusMessage& message);

 Q_SIGNALS:
  void Seeked(qlonglong position);

 private:
  MprisService* service_;
};

}  // namespace vidora

#endif  // VIDORA_UI_DESKTOP_MPRIS_ADAPTORS_H_
