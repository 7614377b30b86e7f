#ifndef VIDORA_UI_DESKTOP_MPRIS_SERVICE_H_
#define VIDORA_UI_DESKTOP_MPRIS_SERVICE_H_

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>

namespace vidora {

// What the desktop may ask the player to do through MPRIS. Every action is
// optional; a missing one makes the call do nothing. Called on the UI
// thread (QtDBus delivers calls to the service object's thread).
struct MprisActions {
  std::function<void()> raise;
  std::function<void()> quit;
  std::function<void()> play;  // the current channel
  std::function<void()> stop;
  // Holds (true) or resumes (false) what plays in its time-shift buffer;
  // false when it has none, and then Pause stops instead.
  std::function<bool(bool hold)> hold;
  std::function<void()> next;      // next favourite
  std::function<void()> previous;  // previous favourite
  std::function<void(int level)> set_volume;  // 0-100, like the trackbar
  // Plays a stream address as the command line does.
  std::function<void(const QString& address)> open_uri;
  // The stream's position in microseconds; empty or nullopt-like -1: none.
  std::function<qlonglong()> position_us;
};

// The player's state as MPRIS shows it.
struct MprisState {
  bool playing = false;
  bool paused = false;  // playing, held in its buffer
  // The channel playing or chosen; empty when there is none.
  QString channel;
  // The stream's own title (a radio station's ICY title); empty: none.
  QString stream_title;
  // file:// URL of the channel's picture; empty: none.
  QString art_url;
  int volume = 50;  // 0-100
  // What identifies the channel (its key); empty: none.
  QString channel_id;
  bool can_step = false;  // there are favourites to step through
};

// The player on the D-Bus session bus as org.mpris.MediaPlayer2.vidora:
// the root interface (Raise, Quit, Identity, DesktopEntry) and the Player
// interface (PlayPause/Play/Pause/Stop, Next/Previous, Volume,
// PlaybackStatus, Metadata, the Can* flags) at /org/mpris/MediaPlayer2.
// Pause holds a live stream in its time-shift buffer ("Paused"); one
// without a buffer cannot pause, so there Pause stops. Every change of a
// property goes out as org.freedesktop.DBus.Properties.PropertiesChanged.
//
// UI thread only. Without a bus (Register returns false) the setters still
// keep the state and nothing else happens.
class MprisService : public QObject {
  Q_OBJECT

 public:
  static constexpr char kServiceName[] = "org.mpris.MediaPlayer2.vidora";
  static constexpr char kObjectPath[] = "/org/mpris/MediaPlayer2";

  explicit MprisService(MprisActions actions, QObject* parent = nullptr);
  ~MprisService() override;

  // Takes the service name and exports the object on `bus`. False when the
  // bus is not connected or the name or path is taken.
  bool Register(QDBusConnection bus);
  bool registered() const { return registered_; }

  // State setters: each sends PropertiesChanged for what really changed.
  void SetPlaying(bool playing);
  void SetPaused(bool paused);
  void SetChannel(const QString& channel, const QString& art_url, const QString& channel_id = {});
  // The stream's title (ICY); empty falls back to the channel name.
  void SetStreamTitle(const QString& title);
  void SetVolume(int level);
  void SetCanStep(bool can_step);

  const MprisState& state() const { return state_; }
  const MprisActions& actions() const { return actions_; }
  QDBusConnection& bus() { return bus_; }
  // The track id of the channel whose key is `channel_id` (one per channel).
  static QString TrackIdFor(const QString& channel_id);
  // "Playing", "Paused" or "Stopped".
  QString PlaybackStatus() const;
  // xesam:title, xesam:artist, xesam:album, mpris:artUrl, mpris:trackid.
  QVariantMap Metadata() const;

 private:
  void Notify(const QVariantMap& changed);

  MprisActions actions_;
  MprisState state_;
  QDBusConnection bus_;
  bool registered_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_DESKTOP_MPRIS_SERVICE_H_
