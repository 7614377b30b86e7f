#ifndef VIDORA_UI_PLAYBACK_MPV_BACKEND_H_
#define VIDORA_UI_PLAYBACK_MPV_BACKEND_H_

#include <QObject>

#include <atomic>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/playback/player_backend.h"

struct mpv_handle;
struct mpv_render_context;
struct mpv_event;

namespace vidora {

// The libmpv engine: one handle for the whole run, video drawn through the
// software render API, every engine call that could wait made
// asynchronously. mpv's events are drained on the UI thread: its wakeup
// and render-update callbacks (mpv threads) only post a queued call.
// Events become player events: opening a stream and refilling the cache
// are buffering, a failed stream is an error (a server or name that cannot
// be reached gives kMediaErrorServerNotFound), idle with nothing to open is
// play state "ready". An address that is a playlist plays on through its
// entries as one stream: no stop between them, and only the failure of the
// last entry is an error. The status line is short and readable ("Opening…",
// "Buffering 40%", "Playing", "Stopped", or the failure's text, preferably
// the last warning mpv logged about the stream). Created, used and
// destroyed on the UI thread; requires a QApplication.
class MpvBackend : public QObject, public PlayerBackend {
  Q_OBJECT

 public:
  using Option = std::pair<std::string, std::string>;

  // `extra_options` are set after the player's own ones ({"ao", "null"}
  // in tests).
  explicit MpvBackend(std::vector<Option> extra_options = {});
  // Clears the callbacks, frees the render context, then ends the engine.
  ~MpvBackend() override;

  bool Create() override;
  bool HasVolume() override;
  bool Initialize() override;
  bool CreateRenderer() override;
  bool RequestWarnings() override;
  bool ObserveState() override;
  bool Connect(PlayerBackendObserver* observer) override;

  void Load(const std::string& address) override;
  void SetRequestHeaders(const std::string& user_agent, const std::string& referrer) override;
  void Stop() override;
  void SetVolume(int level) override;

  std::u16string StatusText() const override { return status_; }
  int PlayState() const override { return play_state_; }
  uint32_t MediaErrorCode() const override { return media_error_; }

  bool RenderFrame(QImage& target) override;

  mpv_handle* handle() const { return handle_; }

 private:
  // Called by mpv on its own threads.
  static void OnWakeup(void* self);
  static void OnRenderUpdate(void* self);

  void DrainEvents();
  void HandleEvent(const mpv_event& event);
  void HandleLog(const char* prefix, const char* level, const char* text);
  void HandleEndFile(int reason, int error, int64_t inserted_entries);
  // Reports a failure that HandleEndFile put off, if any.
  void ReportFailure();
  void SetBuffering(bool opening, bool paused_for_cache);
  void UpdateStatusText();
  void NotifyStatus();

  std::vector<Option> extra_options_;
  mpv_handle* handle_ = nullptr;
  // The engine's own agent, read before a channel first replaced it.
  std::optional<std::string> default_agent_;
  mpv_render_context* render_ = nullptr;
  PlayerBackendObserver* observer_ = nullptr;
  std::atomic<bool> drain_posted_{false};
  std::atomic<bool> render_posted_{false};

  std::u16string status_;
  int play_state_ = kPlayStateUndefined;
  uint32_t media_error_ = 0;
  bool load_pending_ = false;
  // Entries of mpv's playlist after the one that plays: an address that is
  // a playlist expands into entries that mpv plays in turn.
  int64_t entries_left_ = 0;
  bool active_ = false;
  bool ever_loaded_ = false;
  bool opening_ = false;
  bool paused_for_cache_ = false;
  bool buffering_ = false;
  bool failed_ = false;
  int cache_percent_ = 0;
  std::string last_warning_;
  bool unreachable_ = false;
  std::optional<int> pending_failure_;
  bool pending_failure_buffering_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYBACK_MPV_BACKEND_H_
