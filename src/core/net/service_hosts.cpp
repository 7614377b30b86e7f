#include "core/net/service_hosts.h"

#include <optional>
#include <string_view>

#include "core/document/text_codec.h"
#include "core/stores/settings_store.h"

namespace vidora {
namespace {

std::u16string HostFromSettings(const TextSettingKey& setting, std::string_view built_in) {
  std::optional<std::u16string> host = FindSetting(setting);
  if (host && !host->empty()) return *host;
  return Utf8ToUtf16(built_in);
}

}  // namespace

std::u16string PublisherHost() { return HostFromSettings(kPublisherHostSetting, VIDORA_PUBLISHER_HOST); }

std::u16string PublisherSiteHost() { return HostFromSettings(kPublisherSiteHostSetting, VIDORA_PUBLISHER_SITE_HOST); }

std::u16string StreamProviderHost() {
  return HostFromSettings(kStreamProviderHostSetting, VIDORA_STREAM_PROVIDER_HOST);
}

}  // namespace vidora
