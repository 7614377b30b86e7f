#include "ui/skin/resource_pictures.h"

#include <QImage>

#include <cstdint>

#include "core/document/document_format.h"

namespace vidora {

std::unique_ptr<SkinImage> DecodeSkinPicture(const MemoryStream& block) {
  QImage image;
  if (block.size() == 0 || block.size() > static_cast<uint32_t>(INT32_MAX) ||
      !image.loadFromData(block.Data(), static_cast<int>(block.size())) || image.isNull()) {
    return nullptr;
  }
  return std::make_unique<SkinImage>(std::move(image));
}

ResourcePictures LoadResourcePictures(const std::filesystem::path& resources, const std::filesystem::path& splash) {
  ResourcePictures pictures;
  {
    // Scoped: the document's blocks are freed before the splash is read.
    DocNode document;
    if (LoadDocumentFile(document, resources) != ReadStatus::kOk) return pictures;
    const DocNode* images = document.FindChild("images");
    if (images == nullptr) return pictures;
    for (const auto& attribute : images->attributes()) {
      const MemoryStream* block = attribute->binary_value();
      if (attribute->type() != AttributeType::Binary || block == nullptr) continue;
      if (auto picture = DecodeSkinPicture(*block)) pictures.images.emplace(attribute->name(), std::move(picture));
    }
  }
  DocNode splash_document;
  if (LoadDocumentFile(splash_document, splash) != ReadStatus::kOk) return pictures;
  if (const MemoryStream* block = splash_document.GetBinary("image")) pictures.splash = DecodeSkinPicture(*block);
  return pictures;
}

}  // namespace vidora
