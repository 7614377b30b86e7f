#include "core/document/file_bytes.h"

#include <sys/mman.h>
#include <unistd.h>

#include "core/document/large_block.h"

namespace vidora {
namespace {

// Giving back fewer bytes than this is not worth a system call. Part of a
// huge page can be given back too: the kernel splits it.
constexpr uint32_t kReleaseStep = 1u << 20;

// Provides every page of the fresh block in one call before the read
// fills it: left to itself the read takes a page fault per page, which in
// a virtual machine costs more than the copy (fewer where the block has
// huge pages, but its unaligned tail has small ones). Only a hint: a
// system without it fills the block page by page.
void PrepareForFill(uint8_t* block, size_t size) {
#ifdef MADV_POPULATE_WRITE
  madvise(block, size, MADV_POPULATE_WRITE);
#else
  (void)block;
  (void)size;
#endif
}

}  // namespace

FileBytes::~FileBytes() {
  UnmapLargeBlock(reinterpret_cast<std::byte*>(block_), mapped_);
}

bool FileBytes::Read(const std::filesystem::path& path) {
  Free();  // the block and file of an earlier read are not kept
  if (!file_.Open(path, FileStream::Mode::kRead)) return false;
  const uint32_t expected = file_.Size();
  if (expected > 0) {
    std::byte* block = MapLargeBlock(expected);
    if (block == nullptr) return true;  // opened, but too large to hold: no bytes
    block_ = reinterpret_cast<uint8_t*>(block);
    mapped_ = expected;
    PrepareForFill(block_, mapped_);
  }
  Fill();
  return true;
}

void FileBytes::Free() {
  UnmapLargeBlock(reinterpret_cast<std::byte*>(block_), mapped_);
  file_.Close();
  block_ = nullptr;
  mapped_ = 0;
  size_ = 0;
  released_ = 0;
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
