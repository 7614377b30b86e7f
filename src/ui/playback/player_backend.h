#ifndef VIDORA_UI_PLAYBACK_PLAYER_BACKEND_H_
#define VIDORA_UI_PLAYBACK_PLAYER_BACKEND_H_

#include <QImage>
#include <QObject>

#include <cstdint>
#include <functional>
#include <string>

#include "core/playback/playback_events.h"
#include "core/tracks/picture_options.h"
#include "core/tracks/stream_stats.h"
#include "core/tracks/track_choices.h"

namespace vidora {

// What a backend tells its host. Called on the UI thread only.
class PlayerBackendObserver {
 public:
  virtual ~PlayerBackendObserver() = default;
  // The status text or the play state changed.
  virtual void OnBackendStatusChange() = 0;
  // A buffering phase (opening a stream, refilling the cache) starts or ends.
  virtual void OnBackendBuffering(bool start) = 0;
  // The stream failed; Failure, FailureDetail and StatusText describe it.
  virtual void OnBackendError() = 0;
  // The stream's own title (a radio's now-playing line) changed.
  virtual void OnBackendTitleChange() {}
  // Tracks() changed (the stream opened, or a track came or went).
  virtual void OnBackendTracksChange() {}
  // Position() changed.
  virtual void OnBackendPositionChange() {}
  // No sound output could be opened for the stream; it plays on silently
  // if it has a picture.
  virtual void OnBackendSoundMissing() {}
};

// The media engine behind PlayerHost: libmpv in the product, a fake in
// tests. The set-up steps run once, in the order declared, on the UI
// thread; each returns whether it worked. Everything else is UI thread too
// and never blocks on the engine.
class PlayerBackend {
 public:
  virtual ~PlayerBackend() = default;
  // Whether Create can run now without waiting for the engine's library
  // to load.
  virtual bool EngineLoaded() const { return true; }
  // Calls `ready` on the UI thread (queued) once the engine's library has
  // loaded, unless `context` has gone by then. UI thread.
  virtual void WhenEngineLoaded(QObject* context, std::function<void()> ready) {
    QMetaObject::invokeMethod(context, std::move(ready), Qt::QueuedConnection);
  }

  // Makes the engine and gives it its options. False: no player at all.
  virtual bool Create() = 0;
  // Whether the engine takes a volume.
  virtual bool HasVolume() = 0;
  // Starts the engine.
  virtual bool Initialize() = 0;
  // Sets up drawing of video frames.
  virtual bool CreateRenderer() = 0;
  // Asks for the engine's warnings (better error texts). Optional.
  virtual bool RequestWarnings() = 0;
  // Watches the engine state that becomes status, buffering and errors.
  virtual bool ObserveState() = 0;
  // Starts delivering events to `observer` (not owned, outlives the
  // backend's use of it).
  virtual bool Connect(PlayerBackendObserver* observer) = 0;

  // Opens `address` (UTF-8) in place of whatever plays.
  virtual void Load(const std::string& address) = 0;
  // The user agent, referrer and cookie the next Load sends (empty: the
  // engine's own agent, none). Playlist channels may name their own.
  virtual void SetRequestHeaders(const std::string& user_agent, const std::string& referrer,
                                 const std::string& cookie) {
    (void)user_agent;
    (void)referrer;
    (void)cookie;
  }
  virtual void Stop() = 0;
  // 0-100.
  virtual void SetVolume(int level) = 0;
  // Silences the sound without changing the volume.
  virtual void SetMuted(bool muted) { (void)muted; }
  // Pauses or resumes what plays; the engine goes on filling its buffer.
  virtual void SetPaused(bool paused) { (void)paused; }
  // Goes to `seconds` of the stream's own clock (inside what is buffered).
  virtual void SeekTo(double seconds) { (void)seconds; }
  // How the next Load picks its sound and subtitle tracks.
  virtual void SetTrackRequest(const TrackRequest& request) { (void)request; }
  // Plays the track `id` of `kind` in place of the current one; no id turns
  // subtitles off.
  virtual void SelectTrack(TrackKind kind, std::optional<int64_t> id) {
    (void)kind;
    (void)id;
  }
  virtual void SetPictureOptions(const PictureOptions& options) { (void)options; }
  // Decoding on the graphics device where it has one (copied back, so
  // frames are drawn as before); the engine falls back to the CPU itself.
  virtual void SetHardwareDecoding(bool on) { (void)on; }
  // From the next Load on, the back buffer is kept small and in memory,
  // not on disk (the disk is nearly full).
  virtual void MoveBackBufferToMemory() {}

  virtual std::u16string StatusText() const = 0;
  virtual PlayState GetPlayState() const = 0;
  // How full the cache is (0-100) while the play state is buffering.
  virtual int CachePercent() const { return 0; }
  // What the last failure was, and the engine's own words about it
  // (kNone and empty while nothing failed).
  virtual StreamFailure Failure() const { return StreamFailure::kNone; }
  virtual std::u16string FailureDetail() const { return {}; }
  // The stream's own title (ICY "StreamTitle"), raw; empty when it has none.
  virtual std::u16string StreamTitle() const { return {}; }
  // What the open stream carries (nothing before it opened).
  virtual StreamTracks Tracks() const { return {}; }
  // The stream's position and seekable range (empty when unknown).
  virtual StreamPosition Position() const { return {}; }
  // The latest measurements of what plays (empty when nothing does).
  virtual StreamStats Stats() const { return {}; }

  // Video frames are drawn on the player window's frame thread, away from
  // the UI thread: CheckFrame, RenderFrame and DiscardFrame run there, one
  // at a time, and never wait for the UI thread.

  // Calls `wake` whenever the engine may have a frame to draw: from any
  // thread (the engine's own), and it must return at once without calling
  // the backend. Takes effect once the renderer is set up; null stops the
  // calls, and once that returned no call of the old `wake` runs. UI
  // thread.
  virtual void SetFrameWakeup(std::function<void()> wake) = 0;
  // What waits to be drawn since the last call: nothing, a new picture, or
  // the current picture again (the engine asks for that when, say, the
  // target it draws into changed). Frame thread.
  enum class FrameNews { kNone, kNewFrame, kRedraw };
  virtual FrameNews CheckFrame() = 0;
  // Draws the newest video frame into `target` as opaque pixels (format
  // RGB32, any size and row length; rows and first pixel on 64-byte
  // boundaries are fastest), or the current frame again when there is no
  // newer one. `target` is drawn into, never reallocated. False when
  // nothing was drawn. Does not wait for the frame's display time: a frame
  // is handed over when it is due. Frame thread.
  virtual bool RenderFrame(QImage& target) = 0;
  // Takes the newest frame without drawing it (a frame nobody will see).
  // False when there was none to take. Frame thread.
  virtual bool DiscardFrame() = 0;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_PLAYER_BACKEND_H_
