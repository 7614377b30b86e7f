// The time-shift buffer is never allowed to fill the disk: with little
// room it is smaller, with almost none it stays in memory.
#include "core/timeshift/timeshift_buffer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace vidora {
namespace {

std::map<std::string, std::string> OptionsWithFree(uint64_t free_megabytes) {
  const auto options = TimeshiftEngineOptions(FitTimeshiftToDisk({60, 2048}, free_megabytes << 20), "/tmp/ts");
  return {options.begin(), options.end()};
}

TEST(TimeshiftBufferTest, TheBufferFitsTheFreeDiskAndLeavesItWhenAlmostNothingIsFree) {
  EXPECT_EQ(OptionsWithFree(10'000)["demuxer-max-back-bytes"], "2048MiB");
  EXPECT_EQ(OptionsWithFree(10'000)["cache-on-disk"], "yes");
  EXPECT_EQ(OptionsWithFree(1'024)["demuxer-max-back-bytes"], "512MiB");
  EXPECT_EQ(OptionsWithFree(300)["cache-on-disk"], "no");
  EXPECT_EQ(OptionsWithFree(300)["demuxer-max-back-bytes"], "32MiB");
  // A disk whose free space cannot be told does not cut the buffer.
  EXPECT_EQ(OptionsWithFree(UINT64_MAX >> 20)["demuxer-max-back-bytes"], "2048MiB");
}

}  // namespace
}  // namespace vidora
