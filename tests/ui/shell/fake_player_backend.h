#ifndef VIDORA_TESTS_UI_SHELL_FAKE_PLAYER_BACKEND_H_
#define VIDORA_TESTS_UI_SHELL_FAKE_PLAYER_BACKEND_H_

#include <memory>
#include <string>
#include <vector>

#include "ui/playback/playback_control.h"
#include "ui/playback/player_backend.h"

namespace vidora::testing {

// A player engine that works and plays nothing; it writes "stop" into
// `log` whenever it is stopped.
class FakePlayerBackend : public PlayerBackend {
 public:
  explicit FakePlayerBackend(std::vector<std::string>* log) : log_(log) {}
  bool Create() override { return true; }
  bool HasVolume() override { return true; }
  bool Initialize() override { return true; }
  bool CreateRenderer() override { return true; }
  bool RequestWarnings() override { return true; }
  bool ObserveState() override { return true; }
  bool Connect(PlayerBackendObserver*) override { return true; }
  void Load(const std::string&) override {}
  void Stop() override {
    if (log_ != nullptr) log_->push_back("stop");
  }
  void SetVolume(int) override {}
  std::u16string StatusText() const override { return {}; }
  int PlayState() const override { return kPlayStateStopped; }
  uint32_t MediaErrorCode() const override { return 0; }
  bool RenderFrame(QImage&) override { return false; }

 private:
  std::vector<std::string>* log_;
};

inline PlaybackControl::BackendFactory FakeBackendFactory(std::vector<std::string>* log) {
  return [log] { return std::make_unique<FakePlayerBackend>(log); };
}

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_UI_SHELL_FAKE_PLAYER_BACKEND_H_
