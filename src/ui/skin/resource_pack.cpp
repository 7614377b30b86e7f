#include "ui/skin/resource_pack.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <atomic>
#include <cmath>

#include "core/stores/app_paths.h"
#include "core/stores/image_lookup.h"
#include "ui/skin/resource_pictures.h"
#include "ui/skin/skin_colours.h"
#include "ui/skin/skin_fonts.h"
#include "ui/skin/skin_glyphs.h"

namespace vidora {
namespace {

// 0 until first computed; the loading screen's thread reads it too.
std::atomic<int> cached_bar_unit{0};

// Without a screen (no GUI application yet) the skin is laid out for the
// usual 96 dpi rather than collapsing to nothing.
constexpr int kFallbackDpi = 96;

int ScreenDpiY() {
  if (qGuiApp == nullptr) return kFallbackDpi;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return kFallbackDpi;
  return static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
}

}  // namespace

void SkinImage::Draw(QPainter& painter, const QRect& target) const {
  if (image_.isNull() || target.isEmpty()) return;
  if (target.size() == image_.size()) {
    painter.drawImage(target.topLeft(), image_);
    return;
  }
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.drawImage(target, image_);
  painter.restore();
}

int BarUnitForDpi(int dpi) { return (dpi * 24 + 48) / 96; }

int BarUnit() {
  int unit = cached_bar_unit.load();
  if (unit == 0) {
    unit = BarUnitForDpi(ScreenDpiY());
    cached_bar_unit.store(unit);
  }
  return unit;
}

int BarGap() { return BarUnit() / 8; }

void SetBarUnitForDpi(int dpi) { cached_bar_unit.store(BarUnitForDpi(dpi)); }

void ResetBarUnit() { cached_bar_unit.store(0); }

void ResourcePack::Load(const std::filesystem::path& resources, const std::filesystem::path& splash) {
  Free();
  loaded_ = true;
  const int unit = BarUnit();

  frame_pen_ = QPen(kFramePenColour, 1);
  background_brush_ = QBrush(kSkinBackgroundColour);
  bar_strip_ = BuildBarStrip(unit);
  tall_bar_strip_ = BuildBarStrip(2 * unit);

  const SkinFonts fonts = BuildSkinFonts();
  title_font_ = fonts.title;
  small_bold_font_ = fonts.small_bold;
  small_font_ = fonts.small;

  for (int v = 0; v < 3; ++v) {
    play_[v] = BuildPlayGlyph(unit, tall_bar_strip_, v);
    stop_[v] = BuildStopGlyph(unit, tall_bar_strip_, v);
    frame_[v] = BuildFrameGlyph(unit, tall_bar_strip_, v);
  }
  for (int v = 0; v < 3; ++v) next_[v] = BuildNextGlyph(unit, play_[v]);
  for (int v = 0; v < 3; ++v) previous_[v] = BuildPreviousGlyph(next_[v]);
  for (int v = 0; v < 3; ++v) thumb_[v] = BuildThumbGlyph(unit, v);
  dot_glyph_ = BuildDotGlyph(unit, tall_bar_strip_);

  ResourcePictures pictures = LoadResourcePictures(resources, splash);
  images_ = std::move(pictures.images);
  splash_ = std::move(pictures.splash);
}

void ResourcePack::Free() {
  if (!loaded_) return;
  loaded_ = false;
  images_.clear();
  splash_.reset();
  frame_pen_ = QPen();
  background_brush_ = QBrush();
  title_font_ = small_bold_font_ = small_font_ = QFont();
  bar_strip_ = tall_bar_strip_ = dot_glyph_ = QImage();
  for (GlyphSet* set : {&play_, &stop_, &frame_, &next_, &previous_, &thumb_}) set->fill(QImage());
}

const SkinImage* ResourcePack::FindImage(std::string_view name) const {
  auto found = images_.find(name);
  return found == images_.end() ? nullptr : found->second.get();
}

QColor ResourcePack::TextColour() const { return kSkinTextColour; }
QColor ResourcePack::BackgroundColour() const { return kSkinBackgroundColour; }
QColor ResourcePack::HighlightColour() const { return kFramePenColour; }

ResourcePack& Skin() {
  static ResourcePack pack;
  return pack;
}

void LoadResourcePack(std::string_view file_name) {
  Skin().Load(ShippedDataFile(file_name), ShippedDataFile(kSplashFileName));
  SetImageLookup([](std::string_view name) { return Skin().FindImage(name); });
}

void FreeResourcePack() {
  SetImageLookup({});
  Skin().Free();
}

const SkinImage* FindImage(std::string_view name) { return Skin().FindImage(name); }
const SkinImage* SplashImage() { return Skin().SplashImage(); }

}  // namespace vidora
