#include "core/stores/save_failure.h"

#include "core/document/text_codec.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"

namespace vidora {

namespace {

// Replaces the first "%s" at or after `from`; returns where the search goes on.
size_t FillPlaceholder(std::u16string& text, size_t from, const std::u16string& value) {
  const size_t at = text.find(u"%s", from);
  if (at == std::u16string::npos) return text.size();
  text.replace(at, 2, value);
  return at + value.size();
}

}  // namespace

std::u16string FileProblemMessage(std::string_view key, const std::filesystem::path& file, std::string_view reason) {
  std::u16string text = GetText(key);
  // Without the text (no language pack) the user still learns what failed.
  if (text.empty()) text = u"%s: %s";
  const size_t next = FillPlaceholder(text, 0, Utf8ToUtf16(file.native()));
  FillPlaceholder(text, next, Utf8ToUtf16(reason));
  return text;
}

std::u16string SaveFailureMessage(const std::filesystem::path& file, std::string_view reason) {
  return FileProblemMessage("msg_save_failed", file, reason);
}

void ReportSaveFailure(const std::filesystem::path& file, std::string_view reason) {
  ShowPlainMessage(SaveFailureMessage(file, reason), AppTitle());
}

}  // namespace vidora
