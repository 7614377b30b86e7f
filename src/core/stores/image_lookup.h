#ifndef VIDORA_CORE_STORES_IMAGE_LOOKUP_H_
#define VIDORA_CORE_STORES_IMAGE_LOOKUP_H_

#include <functional>
#include <string_view>

namespace vidora {

// A decoded skin picture. Opaque to the core; the UI layer defines it.
class SkinImage;

// Finds a named skin picture for Qt-free code (a country's flag). The UI
// installs the resource pack's lookup at start-up; until then, and in
// tests without a UI, no picture is found. The returned picture is
// borrowed from the resource pack. UI thread only.
using ImageLookup = std::function<const SkinImage*(std::string_view name)>;
void SetImageLookup(ImageLookup lookup);
const SkinImage* LookupImage(std::string_view name);

}  // namespace vidora

#endif  // VIDORA_CORE_STORES_IMAGE_LOOKUP_H_
