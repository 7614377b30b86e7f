#include "core/stores/language_pack.h"

#include "core/document/document_format.h"
#include "core/document/file_stream.h"
#include "core/document/text_codec.h"
#include "core/stores/builtin_texts.h"
#include "core/stores/app_paths.h"
#include "core/stores/settings_store.h"

namespace vidora {
namespace {
const std::u16string kEmpty;
}  // namespace

bool LanguagePack::Load(const std::filesystem::path& path, std::u16string_view language_code) {
  if (!Load(path)) return false;
  current_ = FindIndex(language_code);
  return true;
}

bool LanguagePack::Load(const std::filesystem::path& path) {
  Free();
  loaded_ = true;
  damaged_ = false;
  DocNode root;
  FileStream file;
  if (!file.Open(path, FileStream::Mode::kRead)) return false;
  if (ReadDocument(root, file) != ReadStatus::kOk || root.name() != kLanguagePackRootName) {
    damaged_ = true;
    return false;
  }
  file.Close();
  for (int n = 0;; ++n) {
    const DocNode* language = root.FindChild("lang_" + std::to_string(n));
    if (language == nullptr) break;
    LanguageEntry entry;
    entry.display_name = language->GetWideString("language");
    entry.code = language->GetWideString("ext");
    if (entry.display_name.empty() || entry.code.empty()) break;
    for (const auto& key : language->children()) {
      auto& texts = entry.texts[key->name()];
      for (const auto& attribute : key->attributes()) {
        if (attribute->type() == AttributeType::WideString) {
          texts.emplace(attribute->name(), *attribute->wide_string_value());
        }
      }
    }
    entries_.push_back(std::move(entry));
  }
  if (entries_.empty()) {
    damaged_ = true;
    return false;
  }
  return true;
}

void LanguagePack::UseBuiltInEnglish() {
  entries_.clear();
  loaded_ = true;
  LanguageEntry entry;
  entry.display_name = u"English";
  entry.code = u"en";
  for (size_t i = 0; i < kBuiltInEnglishTextCount; ++i) {
    entry.texts[kBuiltInEnglishTexts[i].key].emplace("text", Utf8ToUtf16(kBuiltInEnglishTexts[i].text));
  }
  entries_.push_back(std::move(entry));
  current_ = 0;
}

void LanguagePack::Free() {
  if (!loaded_) return;
  loaded_ = false;
  current_ = -1;
  entries_.clear();
}

const std::u16string& LanguagePack::GetText(std::string_view key) const {
  if (current_ < 0) return kEmpty;
  const auto& texts = entries_[current_].texts;
  auto entry = texts.find(std::string(key));
  if (entry == texts.end()) return kEmpty;
  auto text = entry->second.find("text");
  return text == entry->second.end() ? kEmpty : text->second;
}

const std::u16string& LanguagePack::Name(int index) const {
  return index >= 0 && index < Count() ? entries_[index].display_name : kEmpty;
}

const std::u16string& LanguagePack::Code(int index) const {
  return index >= 0 && index < Count() ? entries_[index].code : kEmpty;
}

int LanguagePack::FindIndex(std::u16string_view code) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].code == code) return static_cast<int>(i);
  }
  return -1;
}

void LanguagePack::Select(int index) { current_ = index >= 0 && index < Count() ? index : -1; }

LanguagePack& Languages() {
  static LanguagePack pack;
  return pack;
}

bool LoadLanguagePack(LanguagePack& pack, const std::filesystem::path& path, SettingsStore& settings) {
  if (!pack.Load(path)) {
    if (pack.damaged()) pack.UseBuiltInEnglish();
    return false;
  }
  pack.Select(pack.FindIndex(settings.Get(kLanguageSetting)));
  return true;
}

void LoadLanguagePack(std::string_view file_name) {
  LoadLanguagePack(Languages(), ShippedDataFile(file_name), Settings());
}

void FreeLanguagePack() { Languages().Free(); }
const std::u16string& GetText(std::string_view key) { return Languages().GetText(key); }
const std::u16string& AppTitle() { return GetText("app_mvdra"); }
int LanguageCount() { return Languages().Count(); }
const std::u16string& LanguageName(int index) { return Languages().Name(index); }
const std::u16string& LanguageCode(int index) { return Languages().Code(index); }
int FindLanguageIndex(std::u16string_view code) { return Languages().FindIndex(code); }
void SelectLanguage(int index) { Languages().Select(index); }

}  // namespace vidora
