// SIGTERM and SIGINT reach the UI thread as one call each, and the old
// handlers come back afterwards.
#include <signal.h>

#include <gtest/gtest.h>

#include "ui/shell/shell_test_support.h"
#include "ui/shell/signal_closer.h"

namespace vidora {
namespace {

TEST(SignalCloserTest, TermAndIntCallBackOnTheUiThread) {
  int calls = 0;
  {
    SignalCloser closer([&calls] { ++calls; });
    ASSERT_TRUE(closer.active());
    ::raise(SIGTERM);
    EXPECT_EQ(calls, 0);  // nothing runs inside the handler
    ASSERT_TRUE(testing::ProcessUntil([&] { return calls == 1; }));
    ::raise(SIGINT);
    ASSERT_TRUE(testing::ProcessUntil([&] { return calls == 2; }));
  }
  struct sigaction current {};
  ::sigaction(SIGTERM, nullptr, &current);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
}

}  // namespace
}  // namespace vidora
