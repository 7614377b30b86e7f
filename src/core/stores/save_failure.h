#ifndef VIDORA_CORE_STORES_SAVE_FAILURE_H_
#define VIDORA_CORE_STORES_SAVE_FAILURE_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace vidora {

// The text of `key` with its first "%s" replaced by the full path of `file`
// and its second by `reason` ("%s: %s" when the pack lacks the text).
std::u16string FileProblemMessage(std::string_view key, const std::filesystem::path& file, std::string_view reason);

// The user's message for a file that could not be saved: "msg_save_failed"
// with the file and `reason` (DescribeWriteFailure, app_paths.h).
std::u16string SaveFailureMessage(const std::filesystem::path& file, std::string_view reason);

// Shows SaveFailureMessage through the message sink, captioned with the
// application title, and returns once it is dismissed. Thread as the sink.
void ReportSaveFailure(const std::filesystem::path& file, std::string_view reason);

}  // namespace vidora

#endif  // VIDORA_CORE_STORES_SAVE_FAILURE_H_
