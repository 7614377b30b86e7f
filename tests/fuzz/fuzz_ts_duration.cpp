// Feeds arbitrary bytes to the recording length reader, as both the head
// and the tail of a file; a length is never negative.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "core/recording/ts_duration.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<double> seconds = vidora::TsDurationSeconds(bytes, bytes.substr(size / 2));
  if (seconds && *seconds < 0) std::abort();
  return 0;
}
