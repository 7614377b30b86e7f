#include "core/updates/update_addresses.h"

#include <optional>

#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"

namespace vidora {
namespace {

constexpr char16_t kPlatformName[] = u"mobile";

std::u16string HttpAddress(std::u16string_view host, std::u16string_view path) {
  std::u16string address = u"http://";
  address += host;
  address += path;
  return address;
}

// "/downloads/<platform name>/<file>". Built by appending only:
// prepending to a temporary (`u"/" + std::u16string(...)`) makes GCC 12's
// optimiser report a false overlap (-Wrestrict) in Release builds.
std::u16string DownloadAddress(std::u16string_view host, std::u16string_view file) {
  std::u16string path = u"/downloads/";
  path += kPlatformName;
  path += u'/';
  path += file;
  return HttpAddress(host, path);
}

}  // namespace

std::u16string CatalogueVersionAddress(std::u16string_view host) { return DownloadAddress(host, u"cupdate.dat"); }

std::u16string CatalogueFileAddress(std::u16string_view host) { return DownloadAddress(host, u"Channels.vdch"); }

std::u16string ApplicationVersionAddress(std::u16string_view host) { return DownloadAddress(host, u"update.dat"); }

std::u16string MobileSiteAddress(std::u16string_view site_host, std::u16string_view language_code) {
  std::u16string path = u"/";
  path += language_code;
  path += u'/';
  return HttpAddress(site_host, path);
}

std::u16string CurrentLanguageCode() {
  const LanguagePack& pack = Languages();
  if (pack.CurrentIndex() >= 0) return pack.Code(pack.CurrentIndex());
  std::optional<std::u16string> setting = FindSetting(kLanguageSetting);
  return setting ? *setting : std::u16string(kLanguageSetting.fallback);
}

}  // namespace vidora
