#ifndef VIDORA_CORE_DOCUMENT_TEXT_KEY_MAP_H_
#define VIDORA_CORE_DOCUMENT_TEXT_KEY_MAP_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vidora {

// Hashes a text key and any view of one alike, so a map can be searched
// with a view without making a string of it.
struct TextKeyHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// A hash map keyed by text that finds an entry by a std::string_view.
template <typename T>
using TextKeyMap = std::unordered_map<std::string, T, TextKeyHash, std::equal_to<>>;

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_TEXT_KEY_MAP_H_
