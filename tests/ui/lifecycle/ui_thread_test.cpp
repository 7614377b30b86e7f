#include "ui/lifecycle/ui_thread.h"

#include <gtest/gtest.h>

#include <thread>

namespace vidora {
namespace {

TEST(UiThreadTest, OnlyTheApplicationsThreadIsTheUiThread) {
  EXPECT_TRUE(OnUiThread());
  bool elsewhere = true;
  std::thread([&elsewhere] { elsewhere = OnUiThread(); }).join();
  EXPECT_FALSE(elsewhere);
}

}  // namespace
}  // namespace vidora
