#ifndef VIDORA_CORE_STORES_LANGUAGE_PACK_H_
#define VIDORA_CORE_STORES_LANGUAGE_PACK_H_

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vidora {

inline constexpr char kLanguagePackFileName[] = "Languages.lngp";
inline constexpr char kLanguagePackRootName[] = "lang_doc_1.0";

// One language of the pack: its display name, its code and its texts by
// key (each key holding its WideString attributes by name; "text" is the
// displayed one).
struct LanguageEntry {
  std::u16string display_name;
  std::u16string code;
  std::unordered_map<std::string, std::map<std::string, std::u16string>> texts;
};

// Every user-visible text by key, in every language of the pack, with one
// language current. Loaded once on the UI thread; read-only afterwards
// except for Select (also UI thread, before other threads read texts).
class LanguagePack {
 public:
  // Reads the pack at `path`, with no language current yet. Returns
  // whether the file was read; a missing or unreadable file or a wrong root
  // name leaves the pack empty. A file that is there but is no pack (not a
  // document, a wrong root name, no language) makes damaged() true.
  bool Load(const std::filesystem::path& path);
  // Load, then makes the language whose code equals `language_code`
  // exactly current. Returns what Load returned.
  bool Load(const std::filesystem::path& path, std::u16string_view language_code);
  void Free();

  // The current language's text for `key`, or an empty text. The result
  // stays valid until the pack is freed.
  const std::u16string& GetText(std::string_view key) const;

  int Count() const { return static_cast<int>(entries_.size()); }
  // Display name and code of entry `index`; an empty text when the index
  // is outside [0, Count()).
  const std::u16string& Name(int index) const;
  const std::u16string& Code(int index) const;
  // Index of the first entry whose code equals `code` exactly, or -1.
  int FindIndex(std::u16string_view code) const;
  // Makes entry `index` current; an index out of range makes none current.
  void Select(int index);
  // Index of the current entry, or -1.
  int CurrentIndex() const { return current_; }

  // Whether the last Load found a damaged file.
  bool damaged() const { return damaged_; }
  // Replaces the entries with the one built-in English language (the texts
  // of the English source of the pack, compiled in) and makes it current.
  void UseBuiltInEnglish();

 private:
  bool loaded_ = false;
  bool damaged_ = false;
  std::vector<LanguageEntry> entries_;
  int current_ = -1;
};

// The process-wide pack.
LanguagePack& Languages();

class SettingsStore;

// Reads the pack at `path` into `pack`; once a pack was read, makes the
// language that `settings`' `Language` (default "en", stored when missing)
// names current. A pack that cannot be read leaves the setting untouched;
// a damaged one is replaced by the built-in English texts, so the window
// still has its texts. Returns whether the pack was read.
bool LoadLanguagePack(LanguagePack& pack, const std::filesystem::path& path, SettingsStore& settings);

// The process-wide pack from `file_name` in the executable's folder, with
// the process-wide settings.
void LoadLanguagePack(std::string_view file_name);
void FreeLanguagePack();
const std::u16string& GetText(std::string_view key);
// The application title: the text of "app_mvdra".
const std::u16string& AppTitle();
int LanguageCount();
const std::u16string& LanguageName(int index);
const std::u16string& LanguageCode(int index);
int FindLanguageIndex(std::u16string_view code);
void SelectLanguage(int index);

}  // namespace vidora

#endif  // VIDORA_CORE_STORES_LANGUAGE_PACK_H_
