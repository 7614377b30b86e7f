// Recording a live HLS channel served on 127.0.0.1, through a drop and up
// to a full disk.
#include "core/recording/stream_recorder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>

#include "core/recording/live_hls_source.h"
#include "core/recording/recording_folder.h"
#include "core/recording/ts_duration.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

namespace fs = std::filesystem;

int64_t Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// Runs one recording and waits for its end.
class Recording {
 public:
  explicit Recording(RecordingRequest request)
      : recorder_(
            std::move(request),
            [this](const std::string&) {
              std::lock_guard lock(mutex_);
              ++gaps_logged_;
            },
            [this](const RecordingResult& result) {
              std::lock_guard lock(mutex_);
              result_ = result;
              ended_.notify_all();
            }) {}

  std::optional<RecordingResult> WaitForEnd(int seconds) {
    std::unique_lock lock(mutex_);
    ended_.wait_for(lock, std::chrono::seconds(seconds), [this] { return result_.has_value(); });
    return result_;
  }
  int gaps_logged() {
    std::lock_guard lock(mutex_);
    return gaps_logged_;
  }
  StreamRecorder& recorder() { return recorder_; }

 private:
  std::mutex mutex_;
  std::condition_variable ended_;
  std::optional<RecordingResult> result_;
  int gaps_logged_ = 0;
  StreamRecorder recorder_;
};

class StreamRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(live_dir_.path() / "hls");
    source_ = std::make_unique<testing::LiveHlsSource>(live_dir_.path() / "hls");
    ASSERT_TRUE(source_->WaitForSegments(3));
  }

  RecordingRequest Request(const fs::path& folder, int seconds) const {
    RecordingRequest request;
    request.address = source_->PlaylistAddress();
    request.final_path = folder / RecordingFileName("Test One", "News", Now());
    request.stop_at = Now() + seconds;
    request.min_free_bytes = 0;
    return request;
  }

  testing::TempDir live_dir_;
  testing::TempDir out_dir_;
  std::unique_ptr<testing::LiveHlsSource> source_;
};

TEST_F(StreamRecorderTest, RecordsTwentySecondsIntoAPlayableFile) {
  Recording recording(Request(out_dir_.path(), 20));
  const std::optional<RecordingResult> result = recording.WaitForEnd(40);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->end, RecordingEnd::kTimeReached);
  ASSERT_TRUE(fs::exists(result->path));
  EXPECT_EQ(result->path.extension(), ".ts");
  EXPECT_FALSE(fs::exists(PartPathFor(result->path)));
  const double probed = testing::ProbedSeconds(result->path);
  EXPECT_NEAR(probed, 20.0, 2.5);
  // The Recordings page's own reading of the length agrees.
  const std::optional<double> read = TsFileDurationSeconds(result->path);
  ASSERT_TRUE(read);
  EXPECT_NEAR(*read, probed, 1.0);
}

TEST_F(StreamRecorderTest, ASourceThatDropsIsReconnectedAndTheGapLogged) {
  Recording recording(Request(out_dir_.path(), 16));
  std::this_thread::sleep_for(std::chrono::seconds(4));
  source_->StopServer();
  std::this_thread::sleep_for(std::chrono::seconds(4));
  ASSERT_TRUE(source_->StartServer());
  const std::optional<RecordingResult> result = recording.WaitForEnd(40);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->end, RecordingEnd::kTimeReached);
  EXPECT_GE(result->gaps, 1);
  EXPECT_GE(recording.gaps_logged(), 1);
  // Written before and after the drop, and playable.
  EXPECT_GT(testing::ProbedSeconds(result->path), 10.0);
}

TEST_F(StreamRecorderTest, AFullDiskStopsTheRecordingAndKeepsWhatWasWritten) {
  const fs::path small = out_dir_.path() / "small";
  fs::create_directories(small);
  const bool mounted = mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k") == 0;
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  if (!mounted) {
    // No tmpfs here: a file-size limit fails the write the same way.
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 256 * 1024;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  std::optional<RecordingResult> result;
  {
    Recording recording(Request(small, 60));
    result = recording.WaitForEnd(60);
  }
  if (!mounted) setrlimit(RLIMIT_FSIZE, &saved);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->end, RecordingEnd::kDiskFull);
  EXPECT_FALSE(result->detail.empty());
  EXPECT_GT(result->bytes, 0u);
  EXPECT_TRUE(fs::exists(result->path));
  if (mounted) umount2(small.c_str(), MNT_DETACH);
}

}  // namespace
}  // namespace vidora
