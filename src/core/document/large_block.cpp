#include "core/document/large_block.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>

namespace vidora {

std::byte* MapLargeBlock(size_t size) {
  constexpr size_t kPage = 4096;
  if (size == 0 || size > SIZE_MAX - 2 * kHugePageBytes) return nullptr;
  size = (size + kPage - 1) / kPage * kPage;
  // Mapped with a huge page of slack, then trimmed to an aligned run: the
  // kernel only backs aligned 2 MiB ranges with huge pages.
  const size_t span = size + kHugePageBytes;
  void* mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  auto* start = static_cast<std::byte*>(mapped);
  const auto address = reinterpret_cast<uintptr_t>(start);
  std::byte* aligned = start + (kHugePageBytes - address % kHugePageBytes) % kHugePageBytes;
  if (aligned > start) munmap(start, static_cast<size_t>(aligned - start));
  std::byte* end = start + span;
  if (aligned + size < end) munmap(aligned + size, static_cast<size_t>(end - (aligned + size)));
  // Only a hint: without huge pages the block works the same, just slower.
  madvise(aligned, size, MADV_HUGEPAGE);
  return aligned;
}

void ReleaseBlockTail(std::byte* from, std::byte* end) {
  constexpr uintptr_t kPage = 4096;
  const uintptr_t start = (reinterpret_cast<uintptr_t>(from) + kPage - 1) / kPage * kPage;
  const uintptr_t stop = reinterpret_cast<uintptr_t>(end);
  if (from == nullptr || start >= stop) return;
  madvise(reinterpret_cast<void*>(start), stop - start, MADV_DONTNEED);
}

void UnmapLargeBlock(std::byte* block, size_t size) {
  if (block != nullptr) munmap(block, size);
}

void ReturnFreeHeapPages() { malloc_trim(0); }

void KeepLargeBlocksApart() {
  constexpr int kApartBytes = 256 * 1024;
  mallopt(M_MMAP_THRESHOLD, kApartBytes);
}

}  // namespace vidora
