#ifndef VIDORA_CORE_STORES_BUILTIN_TEXTS_H_
#define VIDORA_CORE_STORES_BUILTIN_TEXTS_H_

#include <cstddef>

namespace vidora {

// One text of the built-in English language: a language key and its UTF-8
// text.
struct BuiltInText {
  const char* key;
  const char* text;
};

// The English texts, compiled in from the English source of the language
// pack at build time, for when the pack on disk is damaged.
extern const BuiltInText kBuiltInEnglishTexts[];
extern const size_t kBuiltInEnglishTextCount;

}  // namespace vidora

#endif  // VIDORA_CORE_STORES_BUILTIN_TEXTS_H_
