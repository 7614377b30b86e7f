#ifndef VIDORA_CORE_CATALOGUE_COUNTRY_H_
#define VIDORA_CORE_CATALOGUE_COUNTRY_H_

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "core/catalogue/channel.h"

namespace vidora {

class SkinImage;

// A top-level group of the catalogue. Owns its channels, keyed by their
// node names in byte-wise order. Owned by the catalogue; borrowed pointers
// stay valid until the next reload or the catalogue's destruction.
class Country {
 public:
  using ChannelMap = std::map<std::string, std::unique_ptr<Channel>, std::less<>>;

  Country(std::string key, const SkinImage* flag_image, std::u16string display_name)
      : key_(std::move(key)), flag_image_(flag_image), display_name_(std::move(display_name)) {}
  Country(const Country&) = delete;
  Country& operator=(const Country&) = delete;

  const std::string& key() const { return key_; }
  // The skin picture "f_" + key, or nullptr; borrowed from the skin.
  const SkinImage* flag_image() const { return flag_image_; }
  // The language-pack text of "c_" + key at loading, or the key itself.
  const std::u16string& display_name() const { return display_name_; }
  const ChannelMap& channels() const { return channels_; }

 private:
  friend class ChannelCatalogue;
  friend class CatalogueBuilder;

  std::string key_;
  const SkinImage* flag_image_;
  std::u16string display_name_;
  ChannelMap channels_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_COUNTRY_H_
