// Feeds arbitrary bytes to the skin's picture loading, the same code the
// player runs at start: the input is read as the resource pack (pictures
// under "images") and as the loading-picture file (root attribute
// "image"), and every picture found is decoded by Qt. QImage decoding
// needs no QGuiApplication.
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_input_file.h"
#include "ui/skin/resource_pictures.h"

namespace {

// Damaged pictures make Qt's decoders warn on every run; the warnings are
// not findings and would drown the fuzzer's own output.
void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qInstallMessageHandler(Quiet);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vidora::fuzz::InputFile file(data, size);
  if (!file.ok()) return 0;
  const vidora::ResourcePictures pictures = vidora::LoadResourcePictures(file.path(), file.path());
  for (const auto& [name, picture] : pictures.images) {
    // A decoded picture is a usable image of positive size.
    if (picture == nullptr || picture->image().isNull() || picture->size().isEmpty()) std::abort();
  }
  if (pictures.splash != nullptr && pictures.splash->image().isNull()) std::abort();
  return 0;
}
