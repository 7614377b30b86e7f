// glyphsheet: draws a contact sheet of the skin (every glyph at 1:1 and
// enlarged, the strips, and the shipped pictures) for people to look at.
//   glyphsheet BIN_FOLDER OUT_PNG
// BIN_FOLDER holds the built picture documents (Resources.qdoc and
// cbuild.qdoc).
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ui/skin/resource_pack.h"

namespace vidora {
namespace {

constexpr int kZoom = 3;
constexpr int kGap = 10;

class SheetWriter {
 public:
  SheetWriter() : sheet_(900, 1500, QImage::Format_RGB32), painter_(&sheet_) {
    sheet_.fill(QColor(40, 44, 58));
    painter_.setPen(QColor(220, 220, 235));
  }

  void Label(const QString& text) {
    painter_.drawText(QPoint(kGap, y_ + 14), text);
    y_ += 20;
  }

  // `images` side by side at 1:1, then again enlarged (nearest pixel).
  void GlyphRow(const GlyphSet& set) {
    int x = kGap;
    int height = 0;
    for (const QImage& glyph : set) {
      painter_.drawImage(QPoint(x, y_), glyph);
      x += glyph.width() + kGap;
    }
    for (const QImage& glyph : set) {
      painter_.drawImage(QRect(x, y_, glyph.width() * kZoom, glyph.height() * kZoom), glyph);
      x += glyph.width() * kZoom + kGap;
      height = std::max(height, glyph.height() * kZoom);
    }
    y_ += height + kGap;
  }

  void ImageRow(const std::vector<QImage>& images, int zoom) {
    int x = kGap;
    int height = 0;
    for (const QImage& image : images) {
      painter_.drawImage(QRect(x, y_, image.width() * zoom, image.height() * zoom), image);
      x += image.width() * zoom + kGap;
      height = std::max(height, image.height() * zoom);
    }
    y_ += height + kGap;
  }

  // Every flag at its own size, at list size (16 x 11 per 2 pixels) and
  // on the list's background.
  void Flags(const ResourcePack& pack) {
    int x = kGap;
    for (const char* country : {"de", "at", "ch", "fr", "gb", "us", "es", "it", "nl", "se"}) {
      const SkinImage* flag = pack.FindImage(std::string("f_") + country);
      if (flag == nullptr) continue;
      flag->Draw(painter_, QRect(QPoint(x, y_), flag->size()));
      flag->Draw(painter_, QRect(x, y_ + 52, 32, 22));
      painter_.drawText(QPoint(x + 36, y_ + 68), QString::fromLatin1(country));
      x += 74;
    }
    y_ += 90;
  }

  void Pictures(const ResourcePack& pack) {
    int x = kGap;
    if (const SkinImage* radio = pack.FindImage("radio_player")) {
      const QRect black(x, y_, radio->size().width() + 40, radio->size().height() + 40);
      painter_.fillRect(black, Qt::black);
      radio->Draw(painter_, QRect(QPoint(x + 20, y_ + 20), radio->size()));
      x += black.width() + kGap;
    }
    if (const SkinImage* splash = pack.SplashImage()) {
      splash->Draw(painter_, QRect(QPoint(x, y_), splash->size()));
      x += splash->size().width() + kGap;
      splash->Draw(painter_, QRect(QPoint(x, y_), splash->size() / 2));
    }
  }

  bool Save(const std::filesystem::path& path) {
    painter_.end();
    return sheet_.save(QString::fromStdString(path.string()), "PNG");
  }

 private:
  QImage sheet_;
  QPainter painter_;
  int y_ = kGap;
};

bool WriteSheet(const std::filesystem::path& bin, const std::filesystem::path& out) {
  SetBarUnitForDpi(96);
  ResourcePack pack;
  pack.Load(bin / kResourcePackFileName, bin / kSplashFileName);
  SheetWriter sheet;
  const std::pair<const char*, const GlyphSet*> sets[] = {
      {"Play", &pack.PlayGlyphs()}, {"Stop", &pack.StopGlyphs()}, {"Frame", &pack.FrameGlyphs()},
      {"Next", &pack.NextGlyphs()}, {"Previous", &pack.PreviousGlyphs()},
  };
  for (const auto& [name, set] : sets) {
    sheet.Label(name);
    sheet.GlyphRow(*set);
  }
  sheet.Label("Thumbs, dot, bar strip, tall bar strip");
  sheet.ImageRow({pack.ThumbGlyphs()[0], pack.ThumbGlyphs()[1], pack.ThumbGlyphs()[2], pack.DotGlyph(),
                  pack.BarStrip(), pack.TallBarStrip()},
                 4);
  sheet.Label("Flags");
  sheet.Flags(pack);
  sheet.Label("Radio picture, loading picture");
  sheet.Pictures(pack);
  const bool saved = sheet.Save(out);
  pack.Free();
  return saved;
}

}  // namespace
}  // namespace vidora

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: glyphsheet BIN_FOLDER OUT_PNG\n", stderr);
    return 2;
  }
  // Text needs the font database, which needs a GUI application; no
  // display is needed.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (!vidora::WriteSheet(argv[1], argv[2])) {
    std::fprintf(stderr, "glyphsheet: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
