#include "ui/skin/skin_fonts.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace vidora {
namespace {

constexpr char kSkinFontFamily[] = "Arial";
// Used when the system font's size cannot be had at all.
constexpr int kFallbackPixelHeight = 13;

QFont SkinFont(int pixel_height, bool bold) {
  QFont font(QString::fromLatin1(kSkinFontFamily));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixel_height > 0 ? pixel_height : 1);
  font.setBold(bold);
  return font;
}

}  // namespace

int SystemFontPixelHeight() {
  const QFont system = QGuiApplication::font();
  if (system.pixelSize() > 0) return system.pixelSize();
  double dpi = 96.0;
  if (qGuiApp != nullptr && QGuiApplication::primaryScreen() != nullptr) {
    dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
  }
  const double points = system.pointSizeF();
  if (points <= 0) return kFallbackPixelHeight;
  return static_cast<int>(std::lround(points * dpi / 72.0));
}

SkinFonts BuildSkinFonts() {
  const int height = SystemFontPixelHeight();
  const int small = height * 3 / 4;
  return {SkinFont(height, true), SkinFont(small, true), SkinFont(small, false)};
}

}  // namespace vidora
