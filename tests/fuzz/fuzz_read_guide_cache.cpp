// Feeds arbitrary bytes to the guide cache reader: it either refuses them
// or gives a store whose every reference can be followed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/guide/guide_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto content = vidora::ReadGuideCacheBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!content) return 0;
  const vidora::GuideStore& store = *content->store;
  size_t total = 0;
  for (size_t c = 0; c < store.channel_count(); ++c) {
    for (vidora::TextRef name : store.DisplayNames(c)) total += store.Text(name).size();
    for (const vidora::ProgrammeRecord& p : store.Programmes(c)) {
      if (p.stop <= p.start) std::abort();
      total += store.Text(p.title).size() + store.Text(p.description).size();
    }
    (void)store.FindNowNext(c, 0);
  }
  return total == SIZE_MAX ? 1 : 0;
}
