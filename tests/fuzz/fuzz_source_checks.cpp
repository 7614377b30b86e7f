// Feeds arbitrary text to the reader of the stored channel-check results;
// what it reads must read back the same after writing, and every result
// it keeps must be one the player could have written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/health/health_book.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  vidora::HealthBook book;
  if (!vidora::HealthBook::Decode(text, book)) {
    if (!book.empty()) std::abort();
    return 0;
  }
  const std::string written = book.Encode();
  vidora::HealthBook again;
  if (!vidora::HealthBook::Decode(written, again) || again.Encode() != written) std::abort();
  (void)book.Stale(1790000000);
  return 0;
}
