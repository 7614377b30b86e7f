#include "core/document/file_bytes.h"

#include <sys/mman.h>
#include <unistd.h>

namespace vidora {
namespace {

// Giving back fewer bytes than this is not worth a system call.
constexpr uint32_t kReleaseStep = 1u << 20;

// Makes the fresh block cheap to fill. Left to itself, the read that fills
// it takes one page fault per 4 KiB page, which costs more than the copy
// (and, in a virtual machine, more than the parse). Large pages where the
// system gives them, and every page provided in one call up front. Both
// are hints: a system without them fills the block page by page as before.
void PrepareForFill(uint8_t* block, size_t size) {
#ifdef MADV_HUGEPAGE
  madvise(block, size, MADV_HUGEPAGE);
#endif
#ifdef MADV_POPULATE_WRITE
  madvise(block, size, MADV_POPULATE_WRITE);
#endif
}

}  // namespace

FileBytes::~FileBytes() {
  if (block_ != nullptr) munmap(block_, mapped_);
}

bool FileBytes::Read(const std::filesystem::path& path) {
  if (!file_.Open(path, FileStream::Mode::kRead)) return false;
  const uint32_t expected = file_.Size();
  if (expected > 0) {
    void* block = mmap(nullptr, expected, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return true;  // opened, but too large to hold: no bytes
    block_ = static_cast<uint8_t*>(block);
    mapped_ = expected;
    PrepareForFill(block_, mapped_);
  }
  Fill();
  return true;
}

bool FileBytes::Reread() {
  if (!file_.IsOpen()) return false;
  const uint32_t before = size_;
  file_.Seek(0, kSeekBegin);
  Fill();
  return size_ == before;
}

bool FileBytes::Fill() {
  size_ = 0;
  released_ = 0;
  while (size_ < mapped_) {
    const uint32_t got = file_.Read(block_ + size_, static_cast<uint32_t>(mapped_ - size_));
    if (got == 0) break;
    size_ += got;
  }
  return size_ == mapped_;
}

void FileBytes::Release(uint32_t offset) {
  static const uint32_t page = static_cast<uint32_t>(sysconf(_SC_PAGESIZE));
  if (offset > size_) offset = size_;
  const uint32_t end = offset / page * page;
  if (end < released_ + kReleaseStep) return;
  madvise(block_ + released_, end - released_, MADV_DONTNEED);
  released_ = end;
}

}  // namespace vidora
