#include "core/stores/image_lookup.h"

namespace vidora {
namespace {
ImageLookup& Lookup() {
  static ImageLookup lookup;
  return lookup;
}
}  // namespace

void SetImageLookup(ImageLookup lookup) { Lookup() = std::move(lookup); }

const SkinImage* LookupImage(std::string_view name) { return Lookup() ? Lookup()(name) : nullptr; }

}  // namespace vidora
