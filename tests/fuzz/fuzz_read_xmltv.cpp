// Feeds arbitrary bytes (plain or gzip) to the streaming guide reader;
// every programme kept must lie in the requested window and in order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/playlists/xmltv_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vidora::GuideRequest request;
  request.ids = {"a", "one.tv"};
  request.names = {{"two", "name:two"}};
  request.from = 0;
  request.to = INT64_MAX / 2;
  vidora::ProgrammeGuide guide;
  vidora::ReadXmltvBytes(std::string_view(reinterpret_cast<const char*>(data), size), request, guide);
  for (const char* key : {"id:a", "id:one.tv", "name:two"}) {
    const auto* programmes = guide.Find(key);
    if (programmes == nullptr) continue;
    for (size_t i = 1; i < programmes->size(); ++i) {
      if ((*programmes)[i].start < (*programmes)[i - 1].stop) std::abort();
    }
  }
  return 0;
}
