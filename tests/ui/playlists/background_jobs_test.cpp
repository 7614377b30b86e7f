// The job runner's end: the owner's end (at the latest, the player's exit)
// waits for jobs that end, and never for one stuck in a read.
#include <QCoreApplication>
#include <QObject>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "e2e/wait_for.h"
#include "support/temp_dir.h"
#include "ui/playlists/background_jobs.h"

namespace vidora::testing {
namespace {

TEST(BackgroundJobsTest, TheEndWaitsForJobsThatEndButNotForOneStuckInARead) {
  TempDir dir;
  const std::filesystem::path fifo = dir / "guide.xml";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  QObject owner;
  auto ending_left = std::make_shared<std::atomic<bool>>(false);
  auto stuck_entered = std::make_shared<std::atomic<bool>>(false);
  auto stuck_left = std::make_shared<std::atomic<bool>>(false);
  auto delivered = std::make_shared<std::atomic<bool>>(false);
  auto jobs = std::make_unique<BackgroundJobs>(&owner, std::chrono::milliseconds(300));
  ASSERT_TRUE(jobs->Run([ending_left]() -> std::function<void()> {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ending_left->store(true);
    return {};
  }));
  ASSERT_TRUE(jobs->Run([fifo, stuck_entered, stuck_left, delivered]() -> std::function<void()> {
    stuck_entered->store(true);
    // Opening a FIFO waits for a writer; no cancel reaches it.
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) ::close(fd);
    stuck_left->store(true);
    return [delivered] { delivered->store(true); };
  }));
  ASSERT_TRUE(WaitFor([&] { return stuck_entered->load(); }, 10000));

  jobs.reset();
  EXPECT_TRUE(ending_left->load());
  EXPECT_FALSE(stuck_left->load());

  // A writer lets the stuck job go; what it hands back goes nowhere.
  const int writer = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  ::close(writer);
  ASSERT_TRUE(WaitFor([&] { return stuck_left->load(); }, 10000));
  QCoreApplication::processEvents();
  EXPECT_FALSE(delivered->load());
}

}  // namespace
}  // namespace vidora::testing
