// The player's job runner: work runs off the UI thread and its result
// comes back on it; the owner's end (at the latest, the player's exit)
// raises the cancel flag, waits for jobs that end and never for one stuck
// in a read, and drops what they hand back; a system that refuses a
// thread gives a failure value, never an escaping exception.
#include <QCoreApplication>
#include <QObject>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "e2e/wait_for.h"
#include "support/temp_dir.h"
#include "ui/jobs/background_jobs.h"

namespace vidora::testing {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

long AddressSpaceBytes() {
  long pages = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  return pages * 4096;
}

// Exits with 0 when, with room for small allocations but none for another
// thread's stack, the start fails cleanly and the work never runs.
[[noreturn]] void RunUnderATightLimit() {
  QObject owner;
  auto ran = std::make_shared<std::atomic<bool>>(false);
  bool started = false;
  {
    BackgroundJobs jobs(&owner);
    const rlim_t limit = static_cast<rlim_t>(AddressSpaceBytes() + (1 << 20));
    const rlimit address_space{limit, limit};
    if (setrlimit(RLIMIT_AS, &address_space) != 0) std::_Exit(3);
    started = jobs.Run([ran]() -> JobRunner::Result {
      ran->store(true);
      return {};
    });
    if (!started && jobs.running() != 0) std::_Exit(4);
  }
  std::_Exit(started ? 1 : (ran->load() ? 2 : 0));
}

TEST(BackgroundJobsTest, WorkRunsOffTheUiThreadAndItsResultOnIt) {
  QObject owner;
  BackgroundJobs jobs(&owner);
  const std::thread::id ui = std::this_thread::get_id();
  std::thread::id work_thread;
  std::thread::id result_thread;
  int results = 0;
  ASSERT_TRUE(jobs.Run([&work_thread]() -> JobRunner::Result {
    work_thread = std::this_thread::get_id();
    return {};
  }));
  ASSERT_TRUE(jobs.Run([&results, &result_thread]() -> JobRunner::Result {
    return [&results, &result_thread] {
      result_thread = std::this_thread::get_id();
      ++results;
    };
  }));
  EXPECT_EQ(jobs.running(), 2);
  ASSERT_TRUE(WaitFor([&] {
    QCoreApplication::processEvents();
    return jobs.running() == 0;
  }, 10000));
  EXPECT_NE(work_thread, std::thread::id());
  EXPECT_NE(work_thread, ui);
  EXPECT_EQ(result_thread, ui);
  EXPECT_EQ(results, 1);
}

TEST(BackgroundJobsTest, TheOwnersEndCancelsRunningWorkAndDropsItsResult) {
  auto owner = std::make_unique<QObject>();
  auto jobs = std::make_unique<BackgroundJobs>(owner.get());
  auto entered = std::make_shared<std::atomic<bool>>(false);
  auto saw_cancel = std::make_shared<std::atomic<bool>>(false);
  auto delivered = std::make_shared<std::atomic<bool>>(false);
  ASSERT_TRUE(jobs->Run([cancel = jobs->cancel(), entered, saw_cancel, delivered]() -> JobRunner::Result {
    entered->store(true);
    // A transfer watching the flag, as downloads do.
    while (!cancel->load()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    saw_cancel->store(true);
    return [delivered] { delivered->store(true); };
  }));
  ASSERT_TRUE(WaitFor([&] { return entered->load(); }, 10000));
  jobs.reset();
  EXPECT_TRUE(saw_cancel->load());
  owner.reset();
  QCoreApplication::processEvents();
  EXPECT_FALSE(delivered->load());
}

TEST(BackgroundJobsDeathTest, ARefusedThreadIsAFailureAndTheWorkNeverRuns) {
  // The sanitizer's shadow memory does not live with a tight address-space
  // limit.
  if (kAddressSanitizer) GTEST_SKIP() << "address-space limits do not work under AddressSanitizer";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(RunUnderATightLimit(), ::testing::ExitedWithCode(0), "");
}

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
