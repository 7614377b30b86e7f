// The language pack reader on arbitrary files; a damaged pack must fall
// back to the built-in texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vidora::fuzz::InputFile file(data, size);
  if (!file.ok()) return 0;
  vidora::LanguagePack pack;
  vidora::SettingsStore settings;
  vidora::LoadLanguagePack(pack, file.path(), settings);
  if (pack.damaged() && pack.GetText("menu_exit").empty()) std::abort();
  for (int i = 0; i < pack.Count(); ++i) {
    pack.Select(i);
    pack.GetText("menu_exit");
    pack.FindIndex(pack.Code(i));
  }
  return 0;
}
