// Feeds arbitrary bytes (plain or gzip) to the streaming guide reader with
// a small programme budget; whatever is kept must respect the budget and
// lie in order without overlaps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/guide/guide_store.h"
#include "core/guide/xmltv_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vidora::GuideCaps caps;
  caps.programmes = 500;
  caps.programmes_per_channel = 100;
  caps.channels = 50;
  caps.text_bytes = 1 << 20;
  vidora::GuideStore store(caps);
  vidora::ReadXmltvBytes(std::string_view(reinterpret_cast<const char*>(data), size), store, 1767268800);
  store.Finish();
  if (store.programme_count() > caps.programmes || store.channel_count() > caps.channels) std::abort();
  for (size_t c = 0; c < store.channel_count(); ++c) {
    const auto programmes = store.Programmes(c);
    if (programmes.size() > caps.programmes_per_channel) std::abort();
    for (size_t i = 0; i < programmes.size(); ++i) {
      if (programmes[i].stop <= programmes[i].start) std::abort();
      if (i > 0 && programmes[i].start < programmes[i - 1].stop) std::abort();
      (void)store.Text(programmes[i].title);
    }
  }
  return 0;
}
