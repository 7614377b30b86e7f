#ifndef VIDORA_CORE_UPDATES_UPDATE_ADDRESSES_H_
#define VIDORA_CORE_UPDATES_UPDATE_ADDRESSES_H_

#include <string>
#include <string_view>

namespace vidora {

// The agent string of every update request.
inline constexpr char16_t kUpdateAgent[] = u"Agent";
// The application's own version.
inline constexpr char kApplicationVersion[] = "3.2.0";

// The publisher's addresses. `host` may carry a port.
// http://host/downloads/mobile/cupdate.dat
std::u16string CatalogueVersionAddress(std::u16string_view host);
// http://host/downloads/mobile/Channels.vdch
std::u16string CatalogueFileAddress(std::u16string_view host);
// http://host/downloads/mobile/update.dat
std::u16string ApplicationVersionAddress(std::u16string_view host);
// http://site_host/<language_code>/
std::u16string MobileSiteAddress(std::u16string_view site_host, std::u16string_view language_code);

// The code of the current user-interface language: the language pack's
// current entry, else the `Language` setting when present, else "en".
// UI thread.
std::u16string CurrentLanguageCode();

}  // namespace vidora

#endif  // VIDORA_CORE_UPDATES_UPDATE_ADDRESSES_H_
