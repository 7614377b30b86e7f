#ifndef VIDORA_UI_DESKTOP_DESKTOP_SESSION_H_
#define VIDORA_UI_DESKTOP_DESKTOP_SESSION_H_

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "core/playback/now_playing.h"
#include "ui/desktop/idle_inhibitor.h"
#include "ui/desktop/mpris_service.h"

namespace vidora {

class Channel;
class PlaybackControl;

// The desktop's services that follow playback: MPRIS on the session bus
// and the idle inhibit while a TV channel plays (a radio station leaves
// the screen saver alone). It observes `playback` (which must outlive it,
// or be cut off with Shutdown first) through its state observer.
//
// UI thread only. Every service is optional: without a bus there is no MPRIS,
// without an inhibitor the screen may blank.
class DesktopSession : public QObject, private NowPlayingObserver {
  Q_OBJECT

 public:
  struct Services {
    // Where MPRIS registers; a disconnected bus means no MPRIS.
    QDBusConnection bus{QString()};
    std::unique_ptr<IdleInhibitor> inhibitor;
    // The frame's raise and quit for MPRIS.
    std::function<void()> raise;
    std::function<void()> quit;
    // The frame's time-shift pause (see MprisActions::hold); empty: none.
    std::function<bool(bool hold)> hold;
  };

  DesktopSession(PlaybackControl* playback, Services services, QObject* parent = nullptr);
  ~DesktopSession() override;

  // Stops observing and releases the inhibit (the close sequence, before
  // the view and its playback go).
  void Shutdown();
  // The stream's own title (a radio station's ICY title), for MPRIS; the
  // playback's now-playing reports set it.
  void SetStreamTitle(const QString& title);
  // Whether what plays is held in its time-shift buffer (the frame's
  // time-shift bar tells).
  void SetPaused(bool paused);
  // Reads the playback state again (the observer calls it).
  void Refresh();

  MprisService* mpris() const { return mpris_.get(); }
  IdleInhibitor* inhibitor() const { return inhibitor_.get(); }

  // The file:// URL of a picture for `channel`: a playlist channel's cached
  // logo once it is there (asked for now otherwise), else its country's
  // flag (written once into the "art" folder of the app paths' cache
  // folder); empty when there is none.
  static QString ArtUrlFor(const Channel* channel);

 private:
  void OnNowPlaying(const NowPlaying& now) override;

  PlaybackControl* playback_;
  std::unique_ptr<MprisService> mpris_;
  std::unique_ptr<IdleInhibitor> inhibitor_;
};

// The services of a real desktop: the session bus and the best inhibitor.
DesktopSession::Services DesktopServicesOfThisSession();

}  // namespace vidora

#endif  // VIDORA_UI_DESKTOP_DESKTOP_SESSION_H_
