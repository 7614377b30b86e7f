#include "core/document/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <atomic>
#include <string>
#include <string_view>
#include <system_error>

#include "core/document/document_format.h"

namespace vidora {
namespace {

constexpr char kTemporaryInfix[] = ".tmp.";
constexpr mode_t kTemporaryMode = 0600;
// Names already taken (a stale file of an earlier process with this
// process id) are skipped, a few at most.
constexpr int kCreateAttempts = 8;

std::filesystem::path TemporaryPathFor(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path temp = path;
  temp += kTemporaryInfix + std::to_string(getpid()) + "." + std::to_string(counter++);
  return temp;
}

bool CreateTemporaryFile(const std::filesystem::path& path, FileStream& file, std::filesystem::path& temp) {
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    temp = TemporaryPathFor(path);
    if (file.CreateNew(temp, kTemporaryMode)) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

// The replaced file's permission bits go to its successor; a new file
// keeps the private 0600.
void TakeOverPermissions(const std::filesystem::path& path, const FileStream& file) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) fchmod(file.Descriptor(), info.st_mode & 07777);
}

bool AllDigits(std::string_view text) {
  if (text.empty() || text.size() > 18) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The process id of a temporary name "<pid>.<n>", or -1.
long ProcessOfSuffix(std::string_view suffix) {
  const size_t dot = suffix.find('.');
  if (dot == std::string_view::npos) return -1;
  const std::string_view pid = suffix.substr(0, dot);
  if (!AllDigits(pid) || !AllDigits(suffix.substr(dot + 1))) return -1;
  return std::stol(std::string(pid));
}

bool ProcessIsGone(long pid) {
  if (pid <= 0 || pid == getpid()) return true;
  return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
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
  std::filesystem::path temp;
  FileStream file;
  if (!CreateTemporaryFile(path, file, temp)) return false;
  TakeOverPermissions(path, file);
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

namespace {

// Removes the stale temporary files of `folder` whose names start with
// `prefix` and end in "<pid>.<n>" after it.
int RemoveStaleWithPrefix(const std::filesystem::path& folder, std::string_view prefix, bool any_name) {
  int removed = 0;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    size_t suffix_at = prefix.size();
    if (any_name) {
      // "<name>.tmp.<pid>.<n>": the infix nearest the end, after a name.
      const size_t infix = name.rfind(kTemporaryInfix);
      if (infix == std::string::npos || infix == 0) continue;
      suffix_at = infix + std::char_traits<char>::length(kTemporaryInfix);
    } else if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
      continue;
    }
    const long pid = ProcessOfSuffix(std::string_view(name).substr(suffix_at));
    if (pid < 0 || !ProcessIsGone(pid)) continue;
    // A symbolic link is removed itself, never what it points to.
    std::error_code ignored;
    if (std::filesystem::remove(it->path(), ignored)) ++removed;
  }
  return removed;
}

}  // namespace

int RemoveStaleTemporaryFiles(const std::filesystem::path& path) {
  const std::string prefix = path.filename().string() + kTemporaryInfix;
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  return RemoveStaleWithPrefix(folder, prefix, false);
}

int RemoveStaleTemporaryFilesIn(const std::filesystem::path& folder) {
  return RemoveStaleWithPrefix(folder, {}, true);
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
