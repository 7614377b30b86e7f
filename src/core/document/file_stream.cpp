#include "core/document/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vidora {

bool FileStream::Open(const std::filesystem::path& path, Mode mode) {
  Close();
  if (mode == Mode::kWrite) {
    file_ = std::fopen(path.c_str(), "wb");
    return file_ != nullptr;
  }
  // Non-blocking, so that a FIFO in the file's place cannot stall the
  // open; its type is checked before anything is read from it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || fcntl(fd, F_SETFL, 0) != 0) {
    ::close(fd);
    return false;
  }
  file_ = fdopen(fd, "rb");
  if (file_ == nullptr) ::close(fd);
  return file_ != nullptr;
}

bool FileStream::CreateNew(const std::filesystem::path& path, unsigned permissions) {
  Close();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, permissions);
  if (fd < 0) return false;
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) ::close(fd);
  return file_ != nullptr;
}

int FileStream::Descriptor() const { return file_ == nullptr ? -1 : fileno(file_); }

uint32_t FileStream::Write(const void* bytes, uint32_t count) {
  if (file_ == nullptr || bytes == nullptr) return 0;
  return static_cast<uint32_t>(std::fwrite(bytes, 1, count, file_));
}

uint32_t FileStream::Read(void* buffer, uint32_t count) {
  if (file_ == nullptr) return 0;
  return static_cast<uint32_t>(std::fread(buffer, 1, count, file_));
}

uint32_t FileStream::Seek(int64_t offset, int origin) {
  if (file_ == nullptr) return 0;
  const int whence = origin == kSeekCurrent ? SEEK_CUR : origin == kSeekEnd ? SEEK_END : SEEK_SET;
  std::fseek(file_, static_cast<long>(offset), whence);
  return Position();
}

uint32_t FileStream::Size() {
  if (file_ == nullptr) return 0;
  std::fflush(file_);
  struct stat info {};
  if (fstat(fileno(file_), &info) != 0) return 0;
  return info.st_size > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(info.st_size);
}

uint32_t FileStream::Reserve(uint32_t) { return Size(); }

uint32_t FileStream::Position() {
  if (file_ == nullptr) return 0;
  const long at = std::ftell(file_);
  return at < 0 ? 0 : static_cast<uint32_t>(at);
}

void FileStream::Close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

bool FileStream::Sync() {
  if (file_ == nullptr) return false;
  if (std::fflush(file_) != 0) return false;
  return fsync(fileno(file_)) == 0;
}

}  // namespace vidora
