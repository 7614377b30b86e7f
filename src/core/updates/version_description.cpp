#include "core/updates/version_description.h"

#include <string_view>

#include "core/document/byte_cursor.h"

namespace vidora {

std::optional<std::string> ReadVersionName(const uint8_t* bytes, uint32_t count) {
  if (bytes == nullptr) return std::nullopt;
  ByteCursor in(bytes, count);
  std::string_view name;
  if (in.ReadMagic() != ByteCursor::Magic::kOk || !in.Narrow(name)) return std::nullopt;
  return std::string(name);
}

}  // namespace vidora
