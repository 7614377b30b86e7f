#ifndef VIDORA_UI_PLAYBACK_MPV_BACKEND_H_
#define VIDORA_UI_PLAYBACK_MPV_BACKEND_H_

#include <QObject>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/playback/player_backend.h"

struct mpv_handle;
struct mpv_render_context;
struct mpv_event;
struct mpv_node;
struct mpv_event_property;

namespace vidora {

class MpvLibrary;

// The libmpv engine: one handle for the whole run, video drawn through the
// software render API on the player window's frame thread, every engine
// call from the UI thread that could wait made asynchronously. mpv's
// events are drained on the UI thread: its wakeup callback (mpv threads)
// only posts a queued call; its render-update callback only wakes the
// frame thread.
// Events become player events: opening a stream and refilling the cache
// are buffering, a failed stream is an error (Failure says why), idle with
// nothing to open is play state "ready". An address that is a playlist plays on through its
// entries as one stream: no stop between them, and only the failure of the
// last entry is an error. The status line is short and in the interface
// language ("Opening…", "Buffering 40%", "Playing", "Stopped", or one
// sentence saying what failed); the engine's own words about a failure are
// kept as FailureDetail. Created, used and destroyed on the UI thread;
// requires a QApplication.
class MpvBackend : public QObject, public PlayerBackend {
  Q_OBJECT

 public:
  using Option = std::pair<std::string, std::string>;

  // `extra_options` are set after the player's own ones ({"ao", "null"}
  // in tests). The engine comes from `library` (not owned, outlives the
  // backend), or when null from SharedMpvLibrary(), waited for in Create.
  // Create fails when the library could not be loaded, and says why on
  // standard error.
  explicit MpvBackend(std::vector<Option> extra_options = {}, const MpvLibrary* library = nullptr);
  // Clears the callbacks, frees the render context, then ends the engine.
  ~MpvBackend() override;

  // The options every player handle gets (benchmarks give a bare handle
  // the same).
  static std::vector<Option> PlayerOptions();

  // Without a library given, whether the process's libmpv has loaded.
  bool EngineLoaded() const override;
  void WhenEngineLoaded(QObject* context, std::function<void()> ready) override;
  bool Create() override;
  bool HasVolume() override;
  bool Initialize() override;
  bool CreateRenderer() override;
  bool RequestWarnings() override;
  bool ObserveState() override;
  bool Connect(PlayerBackendObserver* observer) override;

  void Load(const std::string& address) override;
  void SetRequestHeaders(const std::string& user_agent, const std::string& referrer,
                         const std::string& cookie) override;
  void Stop() override;
  void SetVolume(int level) override;
  void SetMuted(bool muted) override;
  void SetPaused(bool paused) override;
  void SeekTo(double seconds) override;
  void SetTrackRequest(const TrackRequest& request) override;
  void SelectTrack(TrackKind kind, std::optional<int64_t> id) override;
  void SetPictureOptions(const PictureOptions& options) override;
  void SetHardwareDecoding(bool on) override;
  void MoveBackBufferToMemory() override;

  std::u16string StatusText() const override;
  PlayState GetPlayState() const override;
  int CachePercent() const override { return cache_percent_; }
  StreamFailure Failure() const override { return failure_; }
  std::u16string FailureDetail() const override;
  std::u16string StreamTitle() const override { return title_; }
  StreamTracks Tracks() const override { return tracks_; }
  StreamPosition Position() const override { return position_; }
  StreamStats Stats() const override { return stats_; }
  // "Vidora/VERSION": what stream requests send unless a channel names
  // its own agent.
  static std::string DefaultUserAgent();

  void SetFrameWakeup(std::function<void()> wake) override;
  FrameNews CheckFrame() override;
  bool RenderFrame(QImage& target) override;
  bool DiscardFrame() override;

  mpv_handle* handle() const { return handle_; }

 private:
  // Where the current address stands.
  enum class Phase {
    kNothing,    // nothing was ever opened
    kOpening,    // started, first frame or sound not there yet
    kPlaying,    // plays (or waits for its cache: cache_paused_)
    kNextEntry,  // between two entries of a playlist, or replaced
    kFailed,     // ended with an error
    kStopped,    // stopped
    kEnded,      // ran to its end
    kIdle,       // the engine rests with nothing loaded
  };

  // Called by mpv on its own threads.
  static void OnWakeup(void* self);
  static void OnRenderUpdate(void* self);

  void DrainEvents();
  void HandleEvent(const mpv_event& event);
  void OnStartFile();
  void OnEndFile(int reason, int error, int64_t inserted_entries);
  void OnLoadRefused(int error);
  void OnProperty(uint64_t id, const mpv_event_property& property);
  // Reads the engine's track list into `tracks_` and selects a wanted track.
  void OnTrackList(const mpv_node& list);
  void OnStatsProperty(uint64_t id, const mpv_event_property& property);
  void SetText(const char* name, const std::string& value);
  void OnIdle();
  // Reports a failure that OnEndFile put off, if any.
  void ReportFailure();
  bool Active() const { return phase_ == Phase::kOpening || phase_ == Phase::kPlaying; }
  bool Buffering() const { return phase_ == Phase::kOpening || (phase_ == Phase::kPlaying && cache_paused_); }
  // Tells the observer of a buffering start or end, else of a status change.
  void Publish();
  void NotifyStatus();
  // Installs the render-update callback when there is a renderer and a
  // wake-up to call.
  void InstallFrameWakeup();

  std::vector<Option> extra_options_;
  const MpvLibrary* lib_;
  mpv_handle* handle_ = nullptr;
  mpv_render_context* render_ = nullptr;
  PlayerBackendObserver* observer_ = nullptr;
  std::atomic<bool> drain_posted_{false};
  // Called by the render-update callback; set only while that is not
  // installed.
  std::function<void()> frame_wake_;

  Phase phase_ = Phase::kNothing;
  // A loadfile is on its way: events of the old address are no end.
  bool load_pending_ = false;
  // Entries of mpv's playlist after the one that plays: an address that is
  // a playlist expands into entries that mpv plays in turn.
  int64_t entries_left_ = 0;
  bool cache_paused_ = false;
  int cache_percent_ = 0;
  // Whether the observer was last told that buffering runs.
  bool reported_buffering_ = false;
  FailureNotes notes_;
  // The current entry showed its picture (with or without sound).
  bool picture_played_ = false;
  StreamFailure failure_ = StreamFailure::kNone;
  std::u16string failure_detail_;
  std::optional<int> pending_failure_;
  bool pending_failure_buffering_ = false;
  std::u16string title_;
  StreamTracks tracks_;
  StreamPosition position_;
  StreamStats stats_;
  // Tracks of the next stream to select once they are listed (a
  // remembered track without a language).
  std::optional<int64_t> wanted_audio_id_;
  std::optional<int64_t> wanted_subtitle_id_;
  // Follow the stream's interlaced mark (the picture option's automatic
  // deinterlacing).
  bool deinterlace_auto_ = true;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_MPV_BACKEND_H_
