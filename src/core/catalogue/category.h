#ifndef VIDORA_CORE_CATALOGUE_CATEGORY_H_
#define VIDORA_CORE_CATALOGUE_CATEGORY_H_

#include <array>
#include <string>
#include <utility>

namespace vidora {

// The fixed categories' keys in their creation order.
inline constexpr std::array<const char*, 10> kFixedCategoryKeys = {"l", "mu", "n", "r", "sp",
                                                                   "e", "mo", "k", "wc", "ad"};

// A channel genre. The catalogue creates the fixed set of categories itself
// (they are not read from the catalogue file) and owns them; channels and
// callers hold borrowed pointers that stay valid until the catalogue is
// destroyed (a reload keeps the categories).
class Category {
 public:
  Category(std::string key, std::u16string display_name)
      : key_(std::move(key)), display_name_(std::move(display_name)) {}

  const std::string& key() const { return key_; }
  // The language-pack text of "cat_" + key at loading, or the key itself.
  const std::u16string& display_name() const { return display_name_; }

 private:
  std::string key_;
  std::u16string display_name_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_CATEGORY_H_
