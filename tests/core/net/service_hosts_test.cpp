#include "core/net/service_hosts.h"

#include <gtest/gtest.h>

#include "core/document/text_codec.h"
#include "core/stores/settings_store.h"

namespace vidora {
namespace {

// Missing host settings fall back to the build's hosts and stay missing, so
// they never turn up in a saved settings file.
TEST(ServiceHostsTest, MissingSettingsGiveTheBuiltInHostsAndAreNotStored) {
  ASSERT_FALSE(FindSetting(kPublisherHostSetting));
  EXPECT_EQ(PublisherHost(), Utf8ToUtf16(VIDORA_PUBLISHER_HOST));
  EXPECT_EQ(PublisherSiteHost(), Utf8ToUtf16(VIDORA_PUBLISHER_SITE_HOST));
  EXPECT_EQ(StreamProviderHost(), Utf8ToUtf16(VIDORA_STREAM_PROVIDER_HOST));
  EXPECT_FALSE(FindSetting(kPublisherHostSetting));
  EXPECT_FALSE(FindSetting(kPublisherSiteHostSetting));
  EXPECT_FALSE(FindSetting(kStreamProviderHostSetting));
}

}  // namespace
}  // namespace vidora
