// Version answers (cupdate.dat, update.dat): only the root's name is read
// and compared.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/updates/version_compare.h"
#include "core/updates/version_description.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return 0;
  const std::optional<std::string> name = vidora::ReadVersionName(data, static_cast<uint32_t>(size));
  if (name) {
    vidora::CompareVersions(*name, "3.2.0");
    vidora::CompareVersions("3.2.0", *name);
  }
  return 0;
}
