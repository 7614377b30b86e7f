#ifndef VIDORA_TESTS_UI_PLAYBACK_FAKE_PLAYER_BACKEND_H_
#define VIDORA_TESTS_UI_PLAYBACK_FAKE_PLAYER_BACKEND_H_

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ui/playback/player_backend.h"

namespace vidora::testing {

// A player engine the test drives by hand: it records what the host asks
// for and raises the events the test chooses.
class FakePlayerBackend : public PlayerBackend {
 public:
  // Set-up steps, in the order the host runs them.
  enum Step { kCreate, kVolume, kInitialize, kRenderer, kWarnings, kObserve, kConnect, kStepCount };

  // What the fake saw; outlives the backend so tests can read it after the
  // host took the backend over.
  struct Record {
    bool fail[kStepCount] = {};
    std::vector<std::string> loads;
    std::string user_agent;  // of the last SetRequestHeaders
    int stops = 0;
    std::vector<int> volumes;
    bool muted = false;
    std::vector<bool> pauses;
    std::vector<double> seeks;
    std::u16string status;
    PlayState play_state = PlayState::kStopped;
    StreamFailure failure = StreamFailure::kNone;
    int cache_percent = 0;
    StreamTracks tracks;
    StreamPosition position;
    PlayerBackendObserver* observer = nullptr;
    // The engine has a frame for the window: a new picture, or the current
    // one again. Wakes the window's frame thread, which draws it green.
    // UI thread.
    void AnnounceFrame(bool is_new = true) {
      {
        std::lock_guard lock(frames_mutex);
        (is_new ? new_frame_waiting : redraw_waiting) = true;
      }
      if (frame_wake) frame_wake();
    }
    // Set by the window (SetFrameWakeup).
    std::function<void()> frame_wake;
    // Announced and not yet checked by the frame thread.
    std::mutex frames_mutex;
    bool new_frame_waiting = false;
    bool redraw_waiting = false;
    bool destroyed = false;
    // While false the engine is still loading; `engine_ready` is what the
    // host asked to be called once it has.
    bool engine_loaded = true;
    std::function<void()> engine_ready;
    int creates = 0;
    bool back_buffer_in_memory = false;
  };

  explicit FakePlayerBackend(Record& record) : record_(record) {}
  ~FakePlayerBackend() override { record_.destroyed = true; }

  bool EngineLoaded() const override { return record_.engine_loaded; }
  void WhenEngineLoaded(QObject*, std::function<void()> ready) override { record_.engine_ready = std::move(ready); }
  bool Create() override {
    ++record_.creates;
    return !record_.fail[kCreate];
  }
  bool HasVolume() override { return !record_.fail[kVolume]; }
  bool Initialize() override { return !record_.fail[kInitialize]; }
  bool CreateRenderer() override { return !record_.fail[kRenderer]; }
  bool RequestWarnings() override { return !record_.fail[kWarnings]; }
  bool ObserveState() override { return !record_.fail[kObserve]; }
  bool Connect(PlayerBackendObserver* observer) override {
    if (record_.fail[kConnect]) return false;
    record_.observer = observer;
    return true;
  }

  void Load(const std::string& address) override { record_.loads.push_back(address); }
  void SetRequestHeaders(const std::string& user_agent, const std::string&, const std::string&) override {
    record_.user_agent = user_agent;
  }
  void Stop() override { ++record_.stops; }
  void SetVolume(int level) override { record_.volumes.push_back(level); }
  void SetMuted(bool muted) override { record_.muted = muted; }
  void SetPaused(bool paused) override { record_.pauses.push_back(paused); }
  void SeekTo(double seconds) override { record_.seeks.push_back(seconds); }
  void MoveBackBufferToMemory() override { record_.back_buffer_in_memory = true; }
  std::u16string StatusText() const override { return record_.status; }
  PlayState GetPlayState() const override { return record_.play_state; }
  int CachePercent() const override { return record_.cache_percent; }
  StreamFailure Failure() const override { return record_.failure; }
  StreamTracks Tracks() const override { return record_.tracks; }
  StreamPosition Position() const override { return record_.position; }
  void SetFrameWakeup(std::function<void()> wake) override { record_.frame_wake = std::move(wake); }
  // Like the engine: what was announced since the last check, a new
  // picture first.
  FrameNews CheckFrame() override {
    std::lock_guard lock(record_.frames_mutex);
    const FrameNews news = record_.new_frame_waiting ? FrameNews::kNewFrame
                           : record_.redraw_waiting  ? FrameNews::kRedraw
                                                     : FrameNews::kNone;
    record_.new_frame_waiting = false;
    record_.redraw_waiting = false;
    return news;
  }
  bool RenderFrame(QImage& target) override {
    target.fill(Qt::green);
    return true;
  }
  bool DiscardFrame() override { return true; }

 private:
  Record& record_;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_UI_PLAYBACK_FAKE_PLAYER_BACKEND_H_
