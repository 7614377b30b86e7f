#ifndef VIDORA_CORE_CATALOGUE_CATALOGUE_SCRAMBLER_H_
#define VIDORA_CORE_CATALOGUE_CATALOGUE_SCRAMBLER_H_

#include <cstddef>
#include <cstdint>

namespace vidora {

// XORs `bytes` in place with the catalogue key stream. The stream depends
// only on `count`, so the same pass scrambles a plain file and unscrambles
// a scrambled one.
void UnscrambleCatalogue(uint8_t* bytes, uint32_t count);

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_CATALOGUE_SCRAMBLER_H_
