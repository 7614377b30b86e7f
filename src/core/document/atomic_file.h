#ifndef VIDORA_CORE_DOCUMENT_ATOMIC_FILE_H_
#define VIDORA_CORE_DOCUMENT_ATOMIC_FILE_H_

#include <cstdint>
#include <filesystem>
#include <functional>

#include "core/document/doc_node.h"
#include "core/document/file_stream.h"

namespace vidora {

// Replaces `path` as a whole or not at all: `write` fills a temporary file
// in the same folder, which is flushed to disk and renamed over `path`.
// The temporary file ("<name>.tmp.<pid>.<n>") is created new, mode 0600,
// never through a planted symbolic link; it takes the replaced file's
// permission bits before the rename. When `write` returns false, or any
// step fails, the temporary file is removed and `path` is left exactly as
// it was. Returns whether `path` now holds the new content.
bool ReplaceFileAtomically(const std::filesystem::path& path,
                           const std::function<bool(FileStream&)>& write);

// The document, saved with ReplaceFileAtomically.
bool SaveDocumentFileAtomically(const DocNode& node, const std::filesystem::path& path);

// A byte block, saved with ReplaceFileAtomically.
bool SaveBytesAtomically(const uint8_t* bytes, uint32_t count, const std::filesystem::path& path);

// Removes what saves of `path` that were cut off (a kill, a power cut) left
// beside it: files named "<name>.tmp.<pid>.<n>" whose process no longer
// runs, or whose process id is this process's own (an earlier process had
// it). Call at start-up, before anything of this process saves `path`.
// Returns how many files were removed.
int RemoveStaleTemporaryFiles(const std::filesystem::path& path);
// The same for every file of `folder` (a folder of many saved files: the
// playlists, the guide cache), whatever name it was saved under.
int RemoveStaleTemporaryFilesIn(const std::filesystem::path& folder);

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_ATOMIC_FILE_H_
