#include "core/stores/settings_store.h"

#include <cstdint>
#include <new>
#include <system_error>
#include <vector>

#include "core/document/atomic_file.h"
#include "core/document/document_format.h"
#include "core/document/document_writer.h"
#include "core/document/file_stream.h"
#include "core/document/large_block.h"
#include "core/document/memory_stream.h"
#include "core/stores/app_paths.h"

namespace vidora {

void SettingsStore::Load(const std::filesystem::path& path) {
  path_ = path;
  damaged_ = false;
  FileStream file;
  if (!file.Open(path, FileStream::Mode::kRead)) return;
  if (file.Size() < kMinSettingsFileSize) {
    // Ignored as the format says, but a short file that is not even a
    // document is the remains of something and is kept aside.
    DocNode scratch;
    if (ReadDocument(scratch, file) != ReadStatus::kOk) SetAsideDamagedFile(file);
    return;
  }
  if (ReadDocument(loaded_, file) != ReadStatus::kOk || loaded_.FindChild("options") == nullptr) {
    loaded_.Clear();
    SetAsideDamagedFile(file);
    return;
  }
  const DocNode* options = loaded_.FindChild("options");
  for (const auto& attribute : options->attributes()) {
    switch (attribute->type()) {
      case AttributeType::Int:
        ints_[attribute->name()] = static_cast<int32_t>(attribute->word());
        break;
      case AttributeType::Bool:
        bools_[attribute->name()] = (attribute->word() & 0xFF) != 0;
        break;
      case AttributeType::WideString:
        texts_[attribute->name()] = *attribute->wide_string_value();
        break;
      default:
        break;  // other types are not settings and are dropped at the next save
    }
  }
  KeepChannelState();
}

void SettingsStore::KeepChannelState() {
  // A save writes a node for every channel, favourite or not; a node
  // without a state reads as none. Holding those all run long would cost
  // tens of megabytes with a big playlist, so only the state stays.
  DocNode kept;
  if (const DocNode* channels = loaded_.FindChild("channels")) {
    DocNode* to = kept.AddChild("channels");
    for (const auto& child : channels->children()) {
      const DocAttribute* favourite = child->FindAttribute("f", AttributeType::Bool);
      const DocAttribute* source = child->FindAttribute("cu", AttributeType::Int);
      if (favourite == nullptr && source == nullptr) continue;
      DocNode* copy = to->AddChild(child->name());
      if (copy == nullptr) continue;
      if (favourite != nullptr) copy->SetBool("f", (favourite->word() & 0xFF) != 0);
      if (source != nullptr) copy->SetInt("cu", static_cast<int32_t>(source->word()));
    }
  }
  loaded_ = std::move(kept);
  // The nodes let go of lie between blocks still in use, where the heap
  // would keep their pages for the rest of the run.
  ReturnFreeHeapPages();
}

void SettingsStore::SetAsideDamagedFile(FileStream& file) {
  file.Close();
  std::filesystem::path aside = path_;
  aside += kDamagedSuffix;
  std::error_code error;
  std::filesystem::rename(path_, aside, error);
  damaged_ = true;
}

void SettingsStore::BuildOptions(DocNode& options) const {
  // A key in more than one table is written once, with the first table's
  // type: InsertAttribute keeps the first record of a name.
  for (const auto& [key, value] : bools_) {
    auto record = std::make_unique<DocAttribute>(key);
    record->SetBool(value);
    options.InsertAttribute(std::move(record));
  }
  for (const auto& [key, value] : ints_) {
    auto record = std::make_unique<DocAttribute>(key);
    record->SetInt(value);
    options.InsertAttribute(std::move(record));
  }
  for (const auto& [key, value] : texts_) {
    auto record = std::make_unique<DocAttribute>(key);
    record->SetWideString(value);
    options.InsertAttribute(std::move(record));
  }
}

std::vector<ChannelStateEntry> SettingsStore::ChannelEntries() const {
  std::vector<ChannelStateEntry> entries;
  if (channels_writer_) channels_writer_([&entries](const ChannelStateEntry& entry) { entries.push_back(entry); });
  return entries;
}

void SettingsStore::BuildDocument(DocNode& root) const { BuildDocumentOf(ChannelEntries(), root); }

void SettingsStore::BuildDocumentOf(const std::vector<ChannelStateEntry>& channels, DocNode& root) const {
  root.Clear();
  root.set_name("set");
  BuildOptions(*root.AddChild("options"));
  AddChannelStateNodes(channels, *root.AddChild("channels"));
  PadToReadableSize(root);
}

void SettingsStore::PadToReadableSize(DocNode& root) {
  // Load ignores a file shorter than kMinSettingsFileSize, so a small file
  // of our own (few settings, an empty catalogue) would lose every setting
  // and favourite at the next start. Zero bytes in a child that nothing
  // reads make up the difference.
  // Measured, not written: with a big playlist the document has megabytes.
  const uint64_t size = DocumentWriter::EncodedSize(root);
  if (size >= kMinSettingsFileSize) return;
  const std::vector<uint8_t> zeros(kMinSettingsFileSize - size, 0);
  root.AddChild(kPaddingChildName)->SetBinary("bytes", MemoryStream(zeros.data(), static_cast<uint32_t>(zeros.size())));
}

bool SettingsStore::Save() const {
  if (path_.empty()) return false;
  // Each channel's node takes more than 10 bytes, so a document of this
  // many needs no padding: it is written straight from the listing,
  // counted first. A node made for each of a big playlist's channels
  // would take tens of megabytes and a tenth of a second on every save;
  // even a list of their entries would take several.
  constexpr size_t kStreamedChannels = 100;
  size_t count = 0;
  if (channels_writer_) channels_writer_([&count](const ChannelStateEntry&) { ++count; });
  if (count < kStreamedChannels) {
    DocNode root;
    BuildDocumentOf(ChannelEntries(), root);
    return SaveDocumentFileAtomically(root, path_);
  }
  DocNode options("options");
  BuildOptions(options);
  return ReplaceFileAtomically(path_, [&](FileStream& file) {
    try {
      DocumentWriter out([&file](const uint8_t* bytes, size_t count) {
        return file.Write(bytes, static_cast<uint32_t>(count)) == count;
      });
      out.NodeHead("set", 0);
      out.ChildCount(2);
      out.Node(options);
      out.NodeHead("channels", 0);
      out.ChildCount(static_cast<uint32_t>(count));
      size_t written = 0;
      channels_writer_([&out, &written, count](const ChannelStateEntry& entry) {
        // A listing longer than counted would break the document.
        if (written++ >= count) return;
        out.NodeHead(entry.key, (entry.favourite ? 1 : 0) + (entry.source ? 1 : 0));
        if (entry.favourite) out.BoolAttribute("f", *entry.favourite);
        if (entry.source) out.IntAttribute("cu", *entry.source);
        out.ChildCount(0);
      });
      return written == count && out.Finish();
    } catch (const std::bad_alloc&) {
      return false;
    }
  });
}

bool SettingsStore::GetBool(std::string_view key, bool fallback) {
  auto it = bools_.find(key);
  if (it == bools_.end()) it = bools_.emplace(std::string(key), fallback).first;
  return it->second;
}

int32_t SettingsStore::GetInt(std::string_view key, int32_t fallback) {
  auto it = ints_.find(key);
  if (it == ints_.end()) it = ints_.emplace(std::string(key), fallback).first;
  return it->second;
}

std::u16string SettingsStore::GetString(std::string_view key, std::u16string_view fallback) {
  auto it = texts_.find(key);
  if (it == texts_.end()) it = texts_.emplace(std::string(key), std::u16string(fallback)).first;
  return it->second;
}

void SettingsStore::SetBool(std::string_view key, bool value) {
  auto it = bools_.find(key);
  if (it != bools_.end() && it->second == value) return;
  if (it == bools_.end()) bools_.emplace(std::string(key), value); else it->second = value;
  NoteChanged();
}

void SettingsStore::SetInt(std::string_view key, int32_t value) {
  auto it = ints_.find(key);
  if (it != ints_.end() && it->second == value) return;
  if (it == ints_.end()) ints_.emplace(std::string(key), value); else it->second = value;
  NoteChanged();
}

void SettingsStore::SetString(std::string_view key, std::u16string_view value) {
  auto it = texts_.find(key);
  if (it != texts_.end() && it->second == value) return;
  if (it == texts_.end()) texts_.emplace(std::string(key), std::u16string(value));
  else it->second = std::u16string(value);
  NoteChanged();
}

void SettingsStore::NoteChanged() {
  if (change_listener_) change_listener_();
}

std::optional<bool> SettingsStore::FindBool(std::string_view key) const {
  auto it = bools_.find(key);
  if (it == bools_.end()) return std::nullopt;
  return it->second;
}

std::optional<int32_t> SettingsStore::FindInt(std::string_view key) const {
  auto it = ints_.find(key);
  if (it == ints_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::u16string> SettingsStore::FindString(std::string_view key) const {
  auto it = texts_.find(key);
  if (it == texts_.end()) return std::nullopt;
  return it->second;
}

const DocNode* SettingsStore::ChannelsNode() const { return loaded_.FindChild("channels"); }

SettingsStore& Settings() {
  static SettingsStore store;
  return store;
}

void LoadSettings(std::string_view file_name) {
  Settings().Load(ConfigFile(file_name));
}
bool SaveSettings() {
  // An installed player's settings folder does not exist before its first
  // save; a failure to make it shows in the save's result.
  const std::filesystem::path& path = Settings().path();
  std::error_code error;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
  return Settings().Save();
}
const DocNode* SettingsChannelsNode() { return Settings().ChannelsNode(); }
void NoteSettingsChanged() { Settings().NoteChanged(); }

bool GetSetting(const BoolSettingKey& setting) { return Settings().Get(setting); }
int32_t GetSetting(const IntSettingKey& setting) { return Settings().Get(setting); }
std::u16string GetSetting(const TextSettingKey& setting) { return Settings().Get(setting); }
void SetSetting(const BoolSettingKey& setting, bool value) { Settings().Set(setting, value); }
void SetSetting(const IntSettingKey& setting, int32_t value) { Settings().Set(setting, value); }
void SetSetting(const TextSettingKey& setting, std::u16string_view value) { Settings().Set(setting, value); }
std::optional<bool> FindSetting(const BoolSettingKey& setting) { return Settings().Find(setting); }
std::optional<int32_t> FindSetting(const IntSettingKey& setting) { return Settings().Find(setting); }
std::optional<std::u16string> FindSetting(const TextSettingKey& setting) { return Settings().Find(setting); }

}  // namespace vidora
