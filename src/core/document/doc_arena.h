#ifndef VIDORA_CORE_DOCUMENT_DOC_ARENA_H_
#define VIDORA_CORE_DOCUMENT_DOC_ARENA_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vidora {

class DocAttribute;
class DocNode;

// The memory of one document tree: its nodes, attributes and the arrays of
// its tables come from here, so building a tree makes few allocations and
// freeing it is one walk over a few large blocks. Objects are never freed
// one by one: a node or attribute that leaves the tree (a cleared node's
// children) stays until the arena is reset or destroyed, when every node
// and attribute made here is destroyed. An attribute replaced by name is
// overwritten in place, so repeated saves of a setting do not grow it.
// Owned by the tree's root node; not thread-safe.
class DocArena {
 public:
  DocArena() = default;
  DocArena(const DocArena&) = delete;
  DocArena& operator=(const DocArena&) = delete;
  ~DocArena();

  // A new node that allocates from this arena; lives as long as the arena.
  DocNode* NewNode(std::string name);
  // A new Plain attribute of that name, or one taking over `from`'s value.
  DocAttribute* NewAttribute(std::string name);
  DocAttribute* NewAttribute(DocAttribute&& from);
  // Uninitialised room for `count` objects of `size` bytes, aligned for
  // pointers; for trivially destructible arrays.
  void* Allocate(size_t count, size_t size);
  // Keeps `other` (a tree's arena whose nodes were taken into this tree)
  // alive as long as this arena.
  void Adopt(std::unique_ptr<DocArena> other);
  // Destroys everything made here and gives the blocks back.
  void Reset();

  // Bytes held from the system (tests and benchmarks).
  size_t bytes_held() const { return bytes_held_; }

 private:
  // A run of same-sized cells: `used` of `capacity` are constructed.
  struct Chunk {
    void* cells;
    uint32_t used;
    uint32_t capacity;
  };

  void* NextSlot(std::vector<Chunk>& chunks, size_t slot_size);
  static void Commit(std::vector<Chunk>& chunks) { ++chunks.back().used; }
  // A block of at least `bytes`, remembered for Reset.
  std::byte* NewBlock(size_t bytes);

  static constexpr size_t kFirstBlock = 2048;
  static constexpr size_t kLargestBlock = size_t{1} << 20;

  struct Block {
    std::byte* bytes;
    size_t size;
    bool mapped;  // from NewMappedBlock, else from new[]
  };

  std::vector<Chunk> nodes_;
  std::vector<Chunk> attributes_;
  std::vector<Block> blocks_;
  std::byte* free_at_ = nullptr;
  std::byte* free_end_ = nullptr;
  std::vector<std::unique_ptr<DocArena>> adopted_;
  size_t next_block_ = kFirstBlock;
  size_t bytes_held_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_DOC_ARENA_H_
