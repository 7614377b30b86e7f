#ifndef VIDORA_CORE_RECORDING_RECORDING_FOLDER_H_
#define VIDORA_CORE_RECORDING_RECORDING_FOLDER_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vidora {

// The folder recordings go to: "Vidora" inside the user's videos folder,
// the one XDG_VIDEOS_DIR names in $XDG_CONFIG_HOME/user-dirs.dirs (else
// ~/.config/user-dirs.dirs), else ~/Videos. Reads the environment and that
// file; creates nothing. Any thread.
std::filesystem::path RecordingsFolder();

// The file name of a recording of `title` on `channel` that began at
// `start` (epoch seconds, shown in local time):
// "Channel — Title — 2026-12-08 20-00.ts"; without the title part when
// there is none. Characters a file name cannot carry become "-".
std::string RecordingFileName(std::string_view channel, std::string_view title, int64_t start);

// Where a recording is written until it ends: the final path + ".part".
std::filesystem::path PartPathFor(const std::filesystem::path& final_path);

// Gives every "*.ts.part" left in `folder` (by a player that stopped
// without ending its recordings) its final name; what was written stays
// playable. Returns how many were kept.
int KeepInterruptedRecordings(const std::filesystem::path& folder);

// `path`, or "name (2).ts", "name (3).ts"... when that file exists.
std::filesystem::path UnusedPath(const std::filesystem::path& path);

}  // namespace vidora

#endif  // VIDORA_CORE_RECORDING_RECORDING_FOLDER_H_
