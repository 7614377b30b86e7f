#ifndef VIDORA_UI_SKIN_RESOURCE_PACK_H_
#define VIDORA_UI_SKIN_RESOURCE_PACK_H_

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QRect>
#include <QSize>

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QPainter;

namespace vidora {

inline constexpr char kResourcePackFileName[] = "Resources.qdoc";
inline constexpr char kSplashFileName[] = "cbuild.qdoc";

// A decoded skin picture (a flag, the radio picture, the loading picture).
// Owned by the resource pack; users borrow it.
class SkinImage {
 public:
  explicit SkinImage(QImage image) : image_(std::move(image)) {}
  const QImage& image() const { return image_; }
  QSize size() const { return image_.size(); }
  // Draws the picture scaled into `target`.
  void Draw(QPainter& painter, const QRect& target) const;

 private:
  QImage image_;
};

// The three variants of every glyph set: normal, focused, pressed.
enum GlyphVariant : int { kGlyphNormal = 0, kGlyphFocused = 1, kGlyphPressed = 2 };
using GlyphSet = std::array<QImage, 3>;

// The skin's base length: (dpi * 24 + 48) / 96 from the primary screen's
// logical vertical dpi (rounded), computed on first use and cached; 96 dpi
// is assumed while there is no screen. Any thread may read it.
int BarUnit();
// The small gap, BarUnit() / 8.
int BarGap();
// Replaces the cached BarUnit with the one of `dpi` (tests, and a screen
// change). Glyphs already built keep their size until the pack reloads.
void SetBarUnitForDpi(int dpi);
// Forgets the cached BarUnit; the next BarUnit() asks the screen again.
void ResetBarUnit();
// (dpi * 24 + 48) / 96.
int BarUnitForDpi(int dpi);

// The skin: computed colours, pen, brush, fonts, strips and glyph sets,
// and the pictures decoded from the resource files. Built on the UI thread
// by Load and read-only afterwards (the loading screen reads it too).
// Every getter returns a borrowed object that lives until Free.
class ResourcePack {
 public:
  // Builds the computed skin for BarUnit() and decodes the pictures of
  // `resources` ("images" node) and, only when that node exists, of
  // `splash` (root attribute "image").
  void Load(const std::filesystem::path& resources, const std::filesystem::path& splash);
  void Free();
  bool loaded() const { return loaded_; }

  // The picture of that name, or nullptr.
  const SkinImage* FindImage(std::string_view name) const;
  // The loading-screen picture, or nullptr.
  const SkinImage* SplashImage() const { return splash_.get(); }

  QColor TextColour() const;        // RGB(220, 220, 235)
  QColor BackgroundColour() const;  // RGB(61, 68, 86)
  const QBrush& BackgroundBrush() const { return background_brush_; }
  const QPen& FramePen() const { return frame_pen_; }  // RGB(195, 170, 69), width 1
  // The skin's highlight: the gold of the frame pen, RGB(195, 170, 69).
  // Focus rings and pressed captions wear it; it stands out on the dark
  // background as on the bar strips.
  QColor HighlightColour() const;
  const QFont& TitleFont() const { return title_font_; }
  const QFont& SmallBoldFont() const { return small_bold_font_; }
  const QFont& SmallFont() const { return small_font_; }
  const QImage& BarStrip() const { return bar_strip_; }
  const QImage& TallBarStrip() const { return tall_bar_strip_; }
  const QImage& DotGlyph() const { return dot_glyph_; }
  const GlyphSet& PlayGlyphs() const { return play_; }
  const GlyphSet& StopGlyphs() const { return stop_; }
  const GlyphSet& FrameGlyphs() const { return frame_; }
  const GlyphSet& NextGlyphs() const { return next_; }
  const GlyphSet& PreviousGlyphs() const { return previous_; }
  const GlyphSet& ThumbGlyphs() const { return thumb_; }

 private:
  bool loaded_ = false;
  QBrush background_brush_;
  QPen frame_pen_;
  QFont title_font_;
  QFont small_bold_font_;
  QFont small_font_;
  QImage bar_strip_;
  QImage tall_bar_strip_;
  QImage dot_glyph_;
  GlyphSet play_, stop_, frame_, next_, previous_, thumb_;
  std::map<std::string, std::unique_ptr<SkinImage>, std::less<>> images_;
  std::unique_ptr<SkinImage> splash_;
};

// The process-wide skin.
ResourcePack& Skin();
// Loads the shipped data files `file_name` and "cbuild.qdoc" and
// installs the core's picture lookup (LookupImage).
void LoadResourcePack(std::string_view file_name);
void FreeResourcePack();
const SkinImage* FindImage(std::string_view name);
const SkinImage* SplashImage();

}  // namespace vidora

#endif  // VIDORA_UI_SKIN_RESOURCE_PACK_H_
