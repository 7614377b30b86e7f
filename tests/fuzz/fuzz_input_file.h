#ifndef VIDORA_TESTS_FUZZ_FUZZ_INPUT_FILE_H_
#define VIDORA_TESTS_FUZZ_FUZZ_INPUT_FILE_H_

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace vidora::fuzz {

// The fuzz input as a file that the loaders open by path, held in memory
// (memfd) so that millions of runs never touch the disk.
class InputFile {
 public:
  InputFile(const uint8_t* data, size_t size) {
    fd_ = memfd_create("vidora_fuzz", MFD_CLOEXEC);
    if (fd_ < 0) return;
    size_t written = 0;
    while (written < size) {
      const ssize_t n = write(fd_, data + written, size - written);
      if (n <= 0) break;
      written += static_cast<size_t>(n);
    }
  }
  ~InputFile() {
    if (fd_ >= 0) close(fd_);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  std::filesystem::path path() const { return "/proc/self/fd/" + std::to_string(fd_); }

 private:
  int fd_ = -1;
};

}  // namespace vidora::fuzz

#endif  // VIDORA_TESTS_FUZZ_FUZZ_INPUT_FILE_H_
