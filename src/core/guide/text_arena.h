#ifndef VIDORA_CORE_GUIDE_TEXT_ARENA_H_
#define VIDORA_CORE_GUIDE_TEXT_ARENA_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vidora {

// A reference to an interned text: its offset in the arena; 0 is the empty
// text.
using TextRef = uint32_t;

// UTF-8 texts stored once each, back to back ("length, bytes"), found
// again through an open-addressing table, so a title repeated 10,000 times
// costs its bytes once. Offsets stay valid while the arena grows. One
// thread while interning; read-only afterwards.
class TextArena {
 public:
  TextArena();

  // The reference of `text`, interned on first sight. 0 for an empty text
  // or when the arena would grow past `max_bytes` (the text is dropped).
  TextRef Intern(std::string_view text, uint64_t max_bytes);
  std::string_view View(TextRef ref) const;
  size_t size() const { return bytes_.size(); }
  const std::string& bytes() const { return bytes_; }
  // Takes bytes written by a cache; false (arena unchanged) when they do
  // not hold a well-formed sequence of texts.
  bool Adopt(std::string bytes);
  // Whether `ref` points at the start of a text (cache check).
  bool IsText(TextRef ref) const;

 private:
  void Grow();
  void Insert(TextRef ref, uint64_t hash);

  std::string bytes_;
  std::vector<TextRef> slots_;  // 0: empty
  size_t used_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_GUIDE_TEXT_ARENA_H_
