#ifndef VIDORA_CORE_STORES_SETTINGS_STORE_H_
#define VIDORA_CORE_STORES_SETTINGS_STORE_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/doc_node.h"
#include "core/stores/channel_state_entry.h"
#include "core/document/file_stream.h"
#include "core/stores/setting_keys.h"

namespace vidora {

// The settings file's name in the settings folder (ConfigFile).
inline constexpr char kSettingsFileName[] = "Settings.cfg";
// Appended to the name of a damaged settings file that is kept aside.
inline constexpr char kDamagedSuffix[] = ".damaged";
// A settings file shorter than this is ignored as a whole.
inline constexpr uint32_t kMinSettingsFileSize = 1000;
// The root's child that pads a saved file up to kMinSettingsFileSize.
inline constexpr char kPaddingChildName[] = "padding";

// The user's settings in three typed tables (booleans, integers, texts),
// loaded from and saved to one document file. Reads name a default, which
// is stored when the key is missing. UI thread only.
class SettingsStore {
 public:
  // Hands `visit` the children of the "channels" child of a document being
  // saved, in the order they are written, each name once; the same ones
  // each time it is called during one save (a save may list them twice:
  // first to count them). Runs on the thread that calls Save(); a key
  // stays valid until Save() returns.
  using ChannelsWriter = std::function<void(const ChannelStateVisitor& visit)>;

  // Reads `path` into the tables. A missing file, one shorter than
  // kMinSettingsFileSize, a wrong magic or a missing "options" child leave
  // the tables as they are (empty at start-up). Remembers `path` for Save.
  // A file that is there but does not read as a settings document (wrong
  // magic, cut short, no "options"; a complete document shorter than
  // kMinSettingsFileSize is merely ignored) is damaged: it is renamed to
  // `path` + kDamagedSuffix (replacing an older one) so that the next
  // save cannot destroy what is left in it, and damaged() becomes true.
  void Load(const std::filesystem::path& path);
  // Whether the last Load found a damaged file.
  bool damaged() const { return damaged_; }

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
  // The value when the key is present; stores nothing when it is not.
  std::optional<bool> FindBool(std::string_view key) const;
  std::optional<int32_t> FindInt(std::string_view key) const;
  std::optional<std::u16string> FindString(std::string_view key) const;

  // The same through a descriptor of setting_keys.h, whose default a read
  // stores when the key is missing.
  bool Get(const BoolSettingKey& setting) { return GetBool(setting.key, setting.fallback); }
  int32_t Get(const IntSettingKey& setting) { return GetInt(setting.key, setting.fallback); }
  std::u16string Get(const TextSettingKey& setting) { return GetString(setting.key, setting.fallback); }
  void Set(const BoolSettingKey& setting, bool value) { SetBool(setting.key, value); }
  void Set(const IntSettingKey& setting, int32_t value) { SetInt(setting.key, value); }
  void Set(const TextSettingKey& setting, std::u16string_view value) { SetString(setting.key, value); }
  std::optional<bool> Find(const BoolSettingKey& setting) const { return FindBool(setting.key); }
  std::optional<int32_t> Find(const IntSettingKey& setting) const { return FindInt(setting.key); }
  std::optional<std::u16string> Find(const TextSettingKey& setting) const { return FindString(setting.key); }

  // The loaded file's "channels" node, or nullptr. Borrowed from the store.
  const DocNode* ChannelsNode() const;

  void set_channels_writer(ChannelsWriter writer) { channels_writer_ = std::move(writer); }
  // Called after every Set that changed a value, and by NoteChanged (what
  // the channels writer or a window's place would write differs now).
  // Empty: none. Must not change settings itself.
  void set_change_listener(std::function<void()> listener) { change_listener_ = std::move(listener); }
  void NoteChanged();
  const std::filesystem::path& path() const { return path_; }

  // Builds the document Save() writes: "options", "channels" and, when
  // those come to less than kMinSettingsFileSize bytes, a "padding" child
  // that makes the file long enough for Load to read it.
  void BuildDocument(DocNode& root) const;

 private:
  void BuildOptions(DocNode& options) const;
  void BuildDocumentOf(const std::vector<ChannelStateEntry>& channels, DocNode& root) const;
  std::vector<ChannelStateEntry> ChannelEntries() const;
  static void PadToReadableSize(DocNode& root);
  void SetAsideDamagedFile(FileStream& file);
  // Keeps of the loaded document only the channels that have a state.
  void KeepChannelState();

  std::map<std::string, bool, std::less<>> bools_;
  std::map<std::string, int32_t, std::less<>> ints_;
  std::map<std::string, std::u16string, std::less<>> texts_;
  // The loaded "channels" node, with only the children that carry a
  // favourite or a chosen source.
  DocNode loaded_;
  std::filesystem::path path_;
  ChannelsWriter channels_writer_;
  std::function<void()> change_listener_;
  bool damaged_ = false;
};

// The process-wide settings.
SettingsStore& Settings();

// Loads `file_name` from the settings folder (ConfigFile, app_paths.h).
void LoadSettings(std::string_view file_name);
// Saves the process-wide settings (SettingsStore::Save), making their
// folder first when it is missing.
bool SaveSettings();
const DocNode* SettingsChannelsNode();
// SettingsStore::NoteChanged of the process-wide settings.
void NoteSettingsChanged();

// The process-wide settings through their descriptors (setting_keys.h).
// A read stores the descriptor's default when the key is missing.
bool GetSetting(const BoolSettingKey& setting);
int32_t GetSetting(const IntSettingKey& setting);
std::u16string GetSetting(const TextSettingKey& setting);
void SetSetting(const BoolSettingKey& setting, bool value);
void SetSetting(const IntSettingKey& setting, int32_t value);
void SetSetting(const TextSettingKey& setting, std::u16string_view value);
// The value when the key is present; stores nothing when it is not.
std::optional<bool> FindSetting(const BoolSettingKey& setting);
std::optional<int32_t> FindSetting(const IntSettingKey& setting);
std::optional<std::u16string> FindSetting(const TextSettingKey& setting);

}  // namespace vidora

#endif  // VIDORA_CORE_STORES_SETTINGS_STORE_H_
