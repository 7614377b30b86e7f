// Feeds arbitrary bytes to the provider's short-guide reader (Base64
// texts inside JSON) and to the archive address parser; every programme
// read keeps its times in order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/providers/base64_text.h"
#include "core/providers/xtream_address.h"
#include "core/providers/xtream_answers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vidora::XtreamShortGuide guide = vidora::ReadXtreamShortGuide(text);
  if (guide.programmes.size() > vidora::kMaxShortGuideProgrammes) std::abort();
  for (const vidora::XtreamProgramme& programme : guide.programmes) {
    if (programme.start >= programme.stop || programme.title.empty()) std::abort();
  }
  vidora::DecodeBase64(text);
  if (const auto archive = vidora::ParseXtreamArchiveAddress(text)) {
    vidora::XtreamTimeshiftAddress(*archive, "pw");
  }
  return 0;
}
