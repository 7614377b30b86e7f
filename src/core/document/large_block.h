#ifndef VIDORA_CORE_DOCUMENT_LARGE_BLOCK_H_
#define VIDORA_CORE_DOCUMENT_LARGE_BLOCK_H_

#include <cstddef>

namespace vidora {

// The size of a huge page, and the granularity in which large blocks are
// best used and given back.
inline constexpr size_t kHugePageBytes = size_t{2} << 20;

// `size` bytes of zeroed anonymous memory straight from the system, aligned
// to kHugePageBytes and marked for huge pages: touching a large block then
// costs one page fault per 2 MiB instead of one per 4 KiB, which dominated
// reading large files into memory. nullptr when the memory cannot be had.
// Give it back with UnmapLargeBlock and the same size. Any thread.
std::byte* MapLargeBlock(size_t size);
void UnmapLargeBlock(std::byte* block, size_t size);
// Gives the pages of a large block from `from` (rounded up to a page) to
// `end` back to the system, splitting a huge page if need be. The range
// stays usable: it reads as zeros and takes memory again when written.
void ReleaseBlockTail(std::byte* from, std::byte* end);
// Gives the free pages of the heap back to the system, after a large
// piece of work (an import, a replaced playlist) freed what it used: the
// allocator keeps them otherwise. Any thread.
void ReturnFreeHeapPages();
// Has the allocator give every block of 256 KiB or more a mapping of its
// own, given back the moment it is freed. Left to itself the allocator
// raises that bound after each such free and then keeps the big vectors
// of a playlist's load in its heaps, where their room stays taken (about
// 20 MB with 200,000 channels). Call once, before the work starts.
void KeepLargeBlocksApart();

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_LARGE_BLOCK_H_
