#ifndef VIDORA_CORE_GUIDE_XMLTV_TIME_H_
#define VIDORA_CORE_GUIDE_XMLTV_TIME_H_

#include <cstdint>
#include <string_view>

namespace vidora {

// An XMLTV time as seconds since 1970 UTC: "YYYYMMDDhhmmss" with the
// seconds, or the minutes and seconds, optional (12- and 8-digit forms),
// then an optional zone: "+0100"/"-0530", "Z", or a common name (UTC, GMT,
// CET, CEST, EST, PST, MSK, ...). A missing or unknown zone counts as UTC.
// False when the text starts with no valid date.
bool ParseXmltvTime(std::string_view text, int64_t& seconds);

}  // namespace vidora

#endif  // VIDORA_CORE_GUIDE_XMLTV_TIME_H_
