// Worker threads: a system that refuses a thread gives a failure value,
// never an escaping exception.
#include "core/updates/worker_thread.h"

#include <sys/resource.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

namespace vidora {
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
// thread's stack, the start fails cleanly and the body never runs.
[[noreturn]] void StartUnderATightLimit() {
  const rlim_t limit = static_cast<rlim_t>(AddressSpaceBytes() + (1 << 20));
  const rlimit address_space{limit, limit};
  if (setrlimit(RLIMIT_AS, &address_space) != 0) std::_Exit(3);
  std::atomic<bool> ran{false};
  std::thread thread;
  const bool started = StartWorkerThread(thread, [&ran] { ran = true; });
  if (started) thread.join();
  std::_Exit(started ? 1 : (thread.joinable() || ran ? 2 : 0));
}

TEST(WorkerThreadTest, RunsTheBodyOnAThreadOfItsOwn) {
  std::atomic<bool> ran{false};
  std::thread thread;
  ASSERT_TRUE(StartWorkerThread(thread, [&ran] { ran = true; }));
  ASSERT_TRUE(thread.joinable());
  thread.join();
  EXPECT_TRUE(ran);
}

TEST(WorkerThreadDeathTest, ARefusedThreadIsAFailureAndTheBodyNeverRuns) {
  // The sanitizer's shadow memory does not live with a tight address-space
  // limit.
  if (kAddressSanitizer) GTEST_SKIP() << "address-space limits do not work under AddressSanitizer";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(StartUnderATightLimit(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vidora
