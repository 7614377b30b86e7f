#include "core/network/update_addresses.h"

#include <optional>

#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"

namespace vidora {
namespace {

constexpr char16_t kPlatformName[] = u"mobile";

// "/downloads/%S/<file>" with the platform name.
std::u16string DownloadAddress(std::u16string_view host, std::u16string_view file) {
  std::u16string address = u"http://";
  address += host;
  address += u"/downloads/";
  address += kPlatformName;
  address += u'/';
  address += file;
  return address;
}

}  // namespace

std::u16string CatalogueVersionAddress(std::u16string_view host) { return DownloadAddress(host, u"cupdate.dat"); }

std::u16string CatalogueFileAddress(std::u16string_view host) { return DownloadAddress(host, u"Channels.vdch"); }

std::u16string ApplicationVersionAddress(std::u16string_view host) { return DownloadAddress(host, u"update.dat"); }

std::u16string MobileSiteAddress(std::u16string_view site_host, std::u16string_view language_code) {
  std::u16string address = u"http://";
  address += site_host;
  address += u'/';
  address += language_code;
  address += u'/';
  return address;
}

std::u16string CurrentLanguageCode() {
  const LanguagePack& pack = Languages();
  if (pack.CurrentIndex() >= 0) return pack.Code(pack.CurrentIndex());
  std::optional<std::u16string> setting = Settings().FindString("Language");
  return setting ? *setting : u"en";
}

}  // namespace vidora
