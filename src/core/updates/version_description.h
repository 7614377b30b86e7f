#ifndef VIDORA_CORE_UPDATES_VERSION_DESCRIPTION_H_
#define VIDORA_CORE_UPDATES_VERSION_DESCRIPTION_H_

#include <cstdint>
#include <optional>
#include <string>

namespace vidora {

// The version a description (cupdate.dat, update.dat) names: the name of
// its root node, read from `bytes` without building the tree. Only the
// magic "QDOC" and the length-prefixed name are examined; attributes and
// children are never read, so the work is bounded by the name's length.
// None when the magic is wrong or the name does not fit in `count` bytes.
// Pure; any thread.
std::optional<std::string> ReadVersionName(const uint8_t* bytes, uint32_t count);

}  // namespace vidora

#endif  // VIDORA_CORE_UPDATES_VERSION_DESCRIPTION_H_
