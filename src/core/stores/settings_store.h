#ifndef VIDORA_CORE_STORES_SETTINGS_STORE_H_
#define VIDORA_CORE_STORES_SETTINGS_STORE_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/document/doc_node.h"
#include "core/stores/setting_keys.h"

namespace vidora {

// The settings file's name in the settings folder (ConfigFile).
inline constexpr char kSettingsFileName[] = "Settings.cfg";
// A settings file shorter than this is ignored as a whole.
inline constexpr uint32_t kMinSettingsFileSize = 1000;
// The root's child that pads a saved file up to kMinSettingsFileSize.
inline constexpr char kPaddingChildName[] = "padding";

// The user's settings in three typed tables (booleans, integers, texts),
// loaded from and saved to one document file. Reads name a default, which
// is stored when the key is missing. UI thread only.
class SettingsStore {
 public:
  // Fills the "channels" child of a document being saved. Runs on the
  // thread that calls Save().
  using ChannelsWriter = std::function<void(DocNode& channels)>;

  // Reads `path` into the tables. A missing file, one shorter than
  // kMinSettingsFileSize, a wrong magic or a missing "options" child leave
  // the tables as they are (empty at start-up). Remembers `path` for Save.
  void Load(const std::filesystem::path& path);

  // Writes the tables and the channels section to the remembered path as
  // a fresh document, replacing the file atomically: on any failure the
  // old file stays as it was. Returns whether the file was replaced.
  bool Save() const;

  bool GetBool(std::string_view key, bool fallback);
  int32_t GetInt(std::string_view key, int32_t fallback);
  std::u16string GetString(std::string_view key, std::u16string_view fallback);
  void SetBool(std::string_view key, bool value);
  void SetInt(std::string_view key, int32_t value);
  void SetString(std::string_view key, std::u16string_view value);
  // The text when the key is present; stores nothing when it is not.
  std::optional<std::u16string> FindString(std::string_view key) const;

  // The loaded file's "channels" node, or nullptr. Borrowed from the store.
  const DocNode* ChannelsNode() const;

  void set_channels_writer(ChannelsWriter writer) { channels_writer_ = std::move(writer); }
  const std::filesystem::path& path() const { return path_; }

  // Builds the document Save() writes: "options", "channels" and, when
  // those come to less than kMinSettingsFileSize bytes, a "padding" child
  // that makes the file long enough for Load to read it.
  void BuildDocument(DocNode& root) const;

 private:
  static void PadToReadableSize(DocNode& root);

  std::map<std::string, bool, std::less<>> bools_;
  std::map<std::string, int32_t, std::less<>> ints_;
  std::map<std::string, std::u16string, std::less<>> texts_;
  DocNode loaded_;
  std::filesystem::path path_;
  ChannelsWriter channels_writer_;
};

// The process-wide settings.
SettingsStore& Settings();

bool GetBoolSetting(std::string_view key, bool fallback);
int32_t GetIntSetting(std::string_view key, int32_t fallback);
std::u16string GetStringSetting(std::string_view key, std::u16string_view fallback);
void SetBoolSetting(std::string_view key, bool value);
void SetIntSetting(std::string_view key, int32_t value);
void SetStringSetting(std::string_view key, std::u16string_view value);
// Loads `file_name` from the settings folder (ConfigFile, app_paths.h).
void LoadSettings(std::string_view file_name);
// Saves the process-wide settings (SettingsStore::Save), making their
// folder first when it is missing.
bool SaveSettings();
const DocNode* SettingsChannelsNode();

// The process-wide settings through their descriptors (setting_keys.h).
// A read stores the descriptor's default when the key is missing.
bool GetSetting(const BoolSettingKey& setting);
int32_t GetSetting(const IntSettingKey& setting);
std::u16string GetSetting(const TextSettingKey& setting);
void SetSetting(const BoolSettingKey& setting, bool value);
void SetSetting(const IntSettingKey& setting, int32_t value);
void SetSetting(const TextSettingKey& setting, std::u16string_view value);
// The text when the key is present; stores nothing when it is not.
std::optional<std::u16string> FindSetting(const TextSettingKey& setting);

}  // namespace vidora

#endif  // VIDORA_CORE_STORES_SETTINGS_STORE_H_
