#include "ui/skin/app_icon.h"

#include <QPixmap>

namespace vidora {

const QIcon& AppIcon() {
  // Never destroyed: pixmaps must not outlive the application object, and
  // a static would be destroyed after it.
  static const QIcon* icon = [] {
    auto* made = new QIcon;
    int pixels = 0;
    const unsigned char* bytes = nullptr;
    std::size_t count = 0;
    for (int index = 0; AppIconPng(index, pixels, bytes, count); ++index) {
      QPixmap pixmap;
      if (pixmap.loadFromData(bytes, static_cast<uint>(count), "PNG")) made->addPixmap(pixmap);
    }
    return made;
  }();
  return *icon;
}

}  // namespace vidora
