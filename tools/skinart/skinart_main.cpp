// skinart: draws the shipped skin pictures and writes the two picture
// documents.
//   skinart RESOURCES_OUT SPLASH_OUT [PNG_FOLDER]
// RESOURCES_OUT gets the flags ("f_" + country key) and "radio_player" as
// PNG-encoded Binary attributes of its "images" node; SPLASH_OUT gets the
// loading picture as the root's Binary attribute "image". With PNG_FOLDER
// every picture is also written there as a PNG file, for looking at.
#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/document/atomic_file.h"
#include "core/document/doc_node.h"
#include "skin_art.h"

namespace {

using vidora::DocNode;

QByteArray EncodePng(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

// Stores `image` as PNG under `name`; with a PNG folder also writes it
// there as `file_stem`.png.
bool AddPicture(DocNode& node, const std::string& name, const QImage& image, const char* png_folder,
                const std::string& file_stem) {
  const QByteArray png = EncodePng(image);
  if (png.isEmpty()) return false;
  node.SetBinary(name, vidora::MemoryStream(png.constData(), static_cast<uint32_t>(png.size())));
  if (png_folder != nullptr) {
    const std::filesystem::path file = std::filesystem::path(png_folder) / (file_stem + ".png");
    if (!image.save(QString::fromStdString(file.string()), "PNG")) return false;
  }
  return true;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "skinart: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fputs("usage: skinart RESOURCES_OUT SPLASH_OUT [PNG_FOLDER]\n", stderr);
    return 2;
  }
  // Text needs the font database, which needs a GUI application; the
  // build machine has no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const char* png_folder = argc == 4 ? argv[3] : nullptr;
  if (png_folder != nullptr) std::filesystem::create_directories(png_folder);

  DocNode resources("resources");
  DocNode* images = resources.AddChild("images");
  for (const auto& [key, flag] : vidora::DrawFlags()) {
    if (!AddPicture(*images, "f_" + key, flag, png_folder, "f_" + key)) return Fail("cannot encode flag " + key);
  }
  if (!AddPicture(*images, "radio_player", vidora::DrawRadioPicture(), png_folder, "radio_player")) {
    return Fail("cannot encode the radio picture");
  }
  DocNode splash("cbuild");
  if (!AddPicture(splash, "image", vidora::DrawSplashPicture(), png_folder, "splash")) {
    return Fail("cannot encode the loading picture");
  }
  if (!vidora::SaveDocumentFileAtomically(resources, argv[1])) return Fail(std::string("cannot write ") + argv[1]);
  if (!vidora::SaveDocumentFileAtomically(splash, argv[2])) return Fail(std::string("cannot write ") + argv[2]);
  return 0;
}
