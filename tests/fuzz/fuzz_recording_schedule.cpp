// Feeds arbitrary text to the reader of the scheduled recordings' file;
// what it reads must read back the same after writing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/recording/recording_schedule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vidora::RecordingSchedule schedule = vidora::RecordingSchedule::Read(text);
  const std::string written = schedule.Write();
  if (vidora::RecordingSchedule::Read(written).Write() != written) std::abort();
  (void)vidora::RecordingSchedule(schedule).TakeDue(1796763600);
  return 0;
}
