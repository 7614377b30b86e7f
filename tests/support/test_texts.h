#ifndef VIDORA_TESTS_SUPPORT_TEST_TEXTS_H_
#define VIDORA_TESTS_SUPPORT_TEST_TEXTS_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/document/document_format.h"
#include "core/stores/language_pack.h"

namespace vidora::testing {

// Writes a language pack with one language (English) holding `texts` into
// `folder` and makes it the current one.
inline void LoadTestTexts(const std::filesystem::path& folder,
                          const std::vector<std::pair<std::string, std::u16string>>& texts) {
  DocNode root(kLanguagePackRootName);
  DocNode* language = root.AddChild("lang_0");
  language->SetWideString("language", u"English");
  language->SetWideString("ext", u"en");
  for (const auto& [key, text] : texts) language->AddChild(key)->SetWideString("text", text);
  const std::filesystem::path path = folder / "Languages.lngp";
  ASSERT_TRUE(SaveDocumentFile(root, path));
  Languages().Load(path, u"en");
}

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_SUPPORT_TEST_TEXTS_H_
