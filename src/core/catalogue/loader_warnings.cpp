#include "core/catalogue/loader_warnings.h"

#include <algorithm>
#include <string_view>

#include "core/catalogue/category.h"
#include "core/document/text_codec.h"

namespace vidora {

void LoaderWarnings::Report(const std::u16string& text, const Sink& show) {
  if (++count_ <= kShownLoaderWarnings) show(text);
}

void LoaderWarnings::Finish(const Sink& show, std::u16string summary) {
  const int more = count_ - kShownLoaderWarnings;
  count_ = 0;
  if (more <= 0) return;
  std::u16string text = std::move(summary);
  const std::u16string number = Utf8ToUtf16(std::to_string(more));
  const size_t at = text.find(u"%1");
  if (at == std::u16string::npos) {
    text = number + (text.empty() ? u"" : u" " + text);
  } else {
    text.replace(at, 2, number);
  }
  show(text);
}

bool CatalogueHasLoaderWarnings(const DocNode& root) {
  for (const auto& country : root.children()) {
    for (const auto& channel : country->children()) {
      const std::string category = channel->GetString("c");
      const bool known = std::any_of(kFixedCategoryKeys.begin(), kFixedCategoryKeys.end(),
                                     [&category](const char* key) { return category == key; });
      if (!known || channel->FindChild("0") == nullptr) return true;
    }
  }
  return false;
}

}  // namespace vidora
