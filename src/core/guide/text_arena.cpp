#include "core/guide/text_arena.h"

namespace vidora {
namespace {

uint64_t HashOf(std::string_view text) {
  // FNV-1a: short titles, no need for more.
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

// Reads the length before a text; false when it runs past `size`.
bool ReadLength(const std::string& bytes, size_t at, size_t& length, size_t& text_at) {
  length = 0;
  for (int shift = 0; shift < 35; shift += 7) {
    if (at >= bytes.size()) return false;
    const unsigned char c = static_cast<unsigned char>(bytes[at++]);
    length |= static_cast<size_t>(c & 0x7F) << shift;
    if ((c & 0x80) == 0) {
      text_at = at;
      return length <= bytes.size() - at;
    }
  }
  return false;
}

}  // namespace

TextArena::TextArena() : bytes_(1, '\0'), slots_(1024, 0) {}

TextRef TextArena::Intern(std::string_view text, uint64_t max_bytes) {
  if (text.empty()) return 0;
  const uint64_t hash = HashOf(text);
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const TextRef ref = slots_[i];
    if (ref == 0) break;
    if (View(ref) == text) return ref;
  }
  if (bytes_.size() + text.size() + 5 > max_bytes || bytes_.size() + text.size() + 5 > UINT32_MAX) return 0;
  const auto ref = static_cast<TextRef>(bytes_.size());
  size_t length = text.size();
  do {
    const auto low = static_cast<unsigned char>(length & 0x7F);
    length >>= 7;
    bytes_.push_back(static_cast<char>(length != 0 ? (low | 0x80) : low));
  } while (length != 0);
  bytes_.append(text);
  if (2 * (used_ + 1) > slots_.size()) Grow();
  Insert(ref, hash);
  return ref;
}

void TextArena::Insert(TextRef ref, uint64_t hash) {
  const size_t mask = slots_.size() - 1;
  size_t i = hash & mask;
  while (slots_[i] != 0) i = (i + 1) & mask;
  slots_[i] = ref;
  ++used_;
}

void TextArena::Grow() {
  std::vector<TextRef> old(slots_.size() * 2, 0);
  old.swap(slots_);
  used_ = 0;
  for (TextRef ref : old) {
    if (ref != 0) Insert(ref, HashOf(View(ref)));
  }
}

std::string_view TextArena::View(TextRef ref) const {
  size_t length = 0, at = 0;
  if (ref == 0 || !ReadLength(bytes_, ref, length, at)) return {};
  return std::string_view(bytes_).substr(at, length);
}

bool TextArena::IsText(TextRef ref) const {
  size_t length = 0, at = 0;
  return ref == 0 || ReadLength(bytes_, ref, length, at);
}

bool TextArena::Adopt(std::string bytes) {
  if (bytes.empty() || bytes[0] != '\0' || bytes.size() > UINT32_MAX) return false;
  size_t at = 1;
  while (at < bytes.size()) {
    size_t length = 0, text_at = 0;
    if (!ReadLength(bytes, at, length, text_at)) return false;
    at = text_at + length;
  }
  bytes_ = std::move(bytes);
  // Read-only from now on: no table, so nothing is hashed at load time.
  slots_.assign(1024, 0);
  used_ = 0;
  return true;
}

}  // namespace vidora
