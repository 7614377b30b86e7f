#include "core/document/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <system_error>

#include "core/document/document_format.h"

namespace vidora {
namespace {

std::filesystem::path TemporaryPathFor(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path temp = path;
  temp += ".tmp." + std::to_string(getpid()) + "." + std::to_string(counter++);
  return temp;
}

// Makes the rename itself durable; failure here does not undo the save.
void SyncFolder(const std::filesystem::path& folder) {
  const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

}  // namespace

bool ReplaceFileAtomically(const std::filesystem::path& path,
                           const std::function<bool(FileStream&)>& write) {
  const std::filesystem::path temp = TemporaryPathFor(path);
  FileStream file;
  if (!file.Open(temp, FileStream::Mode::kWrite)) return false;
  bool ok = write(file);
  ok = file.Sync() && ok;
  file.Close();
  std::error_code error;
  if (ok) {
    std::filesystem::rename(temp, path, error);
    ok = !error;
  }
  if (!ok) {
    std::filesystem::remove(temp, error);
    return false;
  }
  SyncFolder(path.parent_path());
  return true;
}

bool SaveDocumentFileAtomically(const DocNode& node, const std::filesystem::path& path) {
  return ReplaceFileAtomically(path, [&node](FileStream& file) { return WriteDocument(node, file); });
}

bool SaveBytesAtomically(const uint8_t* bytes, uint32_t count, const std::filesystem::path& path) {
  return ReplaceFileAtomically(path, [bytes, count](FileStream& file) {
    return count == 0 || file.Write(bytes, count) == count;
  });
}

}  // namespace vidora
