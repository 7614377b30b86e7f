// The settings reader on arbitrary files: whatever it reads is written
// back, and the written settings must read again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/document/document_format.h"
#include "core/document/memory_stream.h"
#include "core/stores/settings_store.h"
#include "fuzz_input_file.h"

namespace {

void Written(const vidora::SettingsStore& settings, vidora::MemoryStream& out) {
  vidora::DocNode root;
  settings.BuildDocument(root);
  vidora::WriteDocument(root, out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vidora::fuzz::InputFile input(data, size);
  if (!input.ok()) return 0;
  vidora::SettingsStore first;
  first.Load(input.path());
  vidora::MemoryStream once;
  Written(first, once);
  vidora::fuzz::InputFile saved(once.Data(), once.Size());
  vidora::SettingsStore second;
  second.Load(saved.path());
  if (second.damaged()) std::abort();
  vidora::MemoryStream twice;
  Written(second, twice);
  if (once.Size() != twice.Size() || std::memcmp(once.Data(), twice.Data(), once.Size()) != 0) std::abort();
  return 0;
}
