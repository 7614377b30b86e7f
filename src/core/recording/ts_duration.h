#ifndef VIDORA_CORE_RECORDING_TS_DURATION_H_
#define VIDORA_CORE_RECORDING_TS_DURATION_H_

#include <filesystem>
#include <optional>
#include <string_view>

namespace vidora {

// The playing time of an MPEG-TS recording, told by the first presentation
// time stamp in `head` (the file's first bytes) and the last one, of the
// same elementary stream, in `tail` (its last bytes). None when either has
// none. Never reads past what it is given. Any thread.
std::optional<double> TsDurationSeconds(std::string_view head, std::string_view tail);

// The same for a file, reading at most a few megabytes of it.
std::optional<double> TsFileDurationSeconds(const std::filesystem::path& file);

}  // namespace vidora

#endif  // VIDORA_CORE_RECORDING_TS_DURATION_H_
