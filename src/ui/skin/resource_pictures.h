#ifndef VIDORA_UI_SKIN_RESOURCE_PICTURES_H_
#define VIDORA_UI_SKIN_RESOURCE_PICTURES_H_

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/document/memory_stream.h"
#include "ui/skin/resource_pack.h"

namespace vidora {

using SkinImageMap = std::map<std::string, std::unique_ptr<SkinImage>, std::less<>>;

// The pictures decoded from the resource files, as the skin keeps them.
struct ResourcePictures {
  SkinImageMap images;
  std::unique_ptr<SkinImage> splash;
};

// A picture from an encoded block (PNG, or any format Qt reads), or
// nullptr when the block is empty or does not decode. Needs no
// QGuiApplication; any thread.
std::unique_ptr<SkinImage> DecodeSkinPicture(const MemoryStream& block);

// Reads the resource document at `resources` and decodes every Binary
// attribute of its "images" child, keyed by the attribute's name; others
// and pictures that do not decode are skipped. Only when that child
// exists, the document at `splash` is read too and its root's Binary
// attribute "image" becomes the loading picture. Missing or damaged
// files give no pictures; nothing throws.
ResourcePictures LoadResourcePictures(const std::filesystem::path& resources, const std::filesystem::path& splash);

}  // namespace vidora

#endif  // VIDORA_UI_SKIN_RESOURCE_PICTURES_H_
