#include "core/playlists/playlist_library.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <system_error>

#include "core/catalogue/catalogue_builder.h"
#include "core/catalogue/catalogue_reader.h"
#include "core/document/byte_cursor.h"
#include "core/document/text_codec.h"
#include "core/playlists/playlist_document.h"
#include "core/playlists/playlist_import.h"

namespace vidora {
namespace {

// The description from the first bytes of a stored playlist, without
// reading its channels; false when they do not hold all of it.
bool ReadHeader(std::string_view bytes, StoredPlaylist& out) {
  ByteCursor decode(reinterpret_cast<const uint8_t*>(bytes.data()),
                    static_cast<uint32_t>(std::min<size_t>(bytes.size(), UINT32_MAX)));
  std::string_view name;
  uint32_t count = 0;
  if (decode.ReadMagic() != ByteCursor::Magic::kOk || !decode.Narrow(name) ||
      (name != kPlaylistVersion && name != kPlaylistOldVersion)) {
    return false;
  }
  out.old_form = name == kPlaylistOldVersion;
  if (!decode.U32(count) || count != 0 || !decode.U32(count) || count != 1) return false;
  if (decode.ReadMagic() != ByteCursor::Magic::kOk || !decode.Narrow(name) || !name.starts_with("pl")) return false;
  out.key = std::string(name);
  if (!decode.U32(count)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    std::string_view attribute, skipped;
    uint8_t code = 0;
    if (!decode.Narrow(attribute) || !decode.U8(code)) return false;
    if (code == static_cast<uint8_t>(AttributeType::WideString)) {
      const uint8_t* units = nullptr;
      uint32_t length = 0;
      if (!decode.Wide(units, length)) return false;
      std::u16string text(length, u'\0');
      CopyWideUnits(units, length, text.data());
      if (attribute == kPlaylistNameAttr) out.name = std::move(text);
      else if (attribute == kPlaylistSourceAttr) out.source = std::move(text);
      else if (attribute == kPlaylistGuideAttr) out.guide_address = std::move(text);
    } else if (code == static_cast<uint8_t>(AttributeType::String)) {
      if (!decode.Narrow(skipped)) return false;
      if (attribute == kPlaylistTimeAttr) std::from_chars(skipped.data(), skipped.data() + skipped.size(), out.fetched_at);
      else if (attribute == kPlaylistCatchupAttr) out.catchup = std::string(skipped);
    } else if (code <= 4) {
      if (!decode.Skip(4)) return false;
    } else {
      return false;  // not written by this system: read the whole file
    }
  }
  return true;
}

}  // namespace

bool PlaylistLibrary::Describe(const std::filesystem::path& file, StoredPlaylist& out) {
  // The description sits at the start of the file; a large playlist need
  // not be read whole to list it.
  std::ifstream in(file, std::ios::binary);
  std::string head(64 * 1024, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  out = StoredPlaylist{};
  if (ReadHeader(head, out)) {
    out.file = file;
    return true;
  }
  DocNode root;
  if (!ReadCatalogueDocument(file, root)) return false;
  const DocNode* country = PlaylistCountryNode(root);
  if (country == nullptr) return false;
  out.key = country->name();
  out.old_form = root.name() == kPlaylistOldVersion;
  out.name = country->GetWideString(kPlaylistNameAttr);
  out.source = country->GetWideString(kPlaylistSourceAttr);
  out.guide_address = country->GetWideString(kPlaylistGuideAttr);
  out.catchup = country->GetString(kPlaylistCatchupAttr);
  const std::string time = country->GetString(kPlaylistTimeAttr);
  out.fetched_at = 0;
  std::from_chars(time.data(), time.data() + time.size(), out.fetched_at);
  out.file = file;
  return true;
}

void PlaylistLibrary::Upsert(StoredPlaylist playlist) {
  auto it = std::find_if(playlists_.begin(), playlists_.end(),
                         [&](const StoredPlaylist& p) { return p.key == playlist.key; });
  if (it != playlists_.end()) {
    *it = std::move(playlist);
  } else {
    playlists_.push_back(std::move(playlist));
  }
  std::sort(playlists_.begin(), playlists_.end(),
            [](const StoredPlaylist& a, const StoredPlaylist& b) { return a.name < b.name; });
}

void PlaylistLibrary::Scan() {
  playlists_.clear();
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
    if (it->path().extension() != kPlaylistFileExtension) continue;
    StoredPlaylist playlist;
    if (Describe(it->path(), playlist)) Upsert(std::move(playlist));
  }
}

const StoredPlaylist* PlaylistLibrary::Find(std::string_view key) const {
  for (const StoredPlaylist& playlist : playlists_) {
    if (playlist.key == key) return &playlist;
  }
  return nullptr;
}

void PlaylistLibrary::AttachAll(ChannelCatalogue& catalogue, const SkinImage* mark, const DocNode* saved_state) {
  const std::vector<StoredPlaylist> all = playlists_;
  for (const StoredPlaylist& playlist : all) Attach(catalogue, playlist.file, mark, saved_state);
  KeepStateOfAbsent(catalogue, saved_state);
}

void PlaylistLibrary::KeepStateOfAbsent(ChannelCatalogue& catalogue, const DocNode* saved_state) const {
  if (saved_state == nullptr) return;
  std::string_view last_key;
  for (const auto& child : saved_state->children()) {
    const std::string_view name = child->name();
    const std::string_view key = name.substr(0, name.find('_'));
    // A playlist's channels come one after another: each key is looked at once.
    if (key == last_key) continue;
    last_key = key;
    if (key.size() < name.size() && IsPlaylistKey(key) && catalogue.countries().find(key) == catalogue.countries().end()) {
      catalogue.KeepCountryState(std::string(key));
    }
  }
}

bool PlaylistLibrary::Attach(ChannelCatalogue& catalogue, const std::filesystem::path& file, const SkinImage* mark,
                             const DocNode* saved_state) {
  catalogue.ReadyForExtraBuilds();
  std::unique_ptr<Prepared> prepared = Prepare(catalogue, file, mark, saved_state);
  return Install(catalogue, *prepared);
}

std::unique_ptr<PlaylistLibrary::Prepared> PlaylistLibrary::Prepare(const ChannelCatalogue& catalogue,
                                                                    const std::filesystem::path& file,
                                                                    const SkinImage* mark,
                                                                    const DocNode* saved_state,
                                                                    const std::atomic<bool>* cancel) {
  auto prepared = std::make_unique<Prepared>();
  if (!Describe(file, prepared->description_)) return prepared;
  auto& lists = prepared->channels_;
  auto hook = [&lists](const Channel& channel, const NodeAttributes& attributes) {
    const Country* country = channel.country();
    auto list = lists.find(country->key());
    if (list == lists.end()) list = lists.try_emplace(country->key()).first;
    list->second.Add(channel, attributes);
  };
  prepared->extra_ = catalogue.PrepareExtraCatalogue(file, mark, hook, saved_state, cancel);
  prepared->ok_ = prepared->extra_->ok;
  // Sorted here, apart from the UI thread.
  for (auto& [key, list] : lists) list.Finish();
  return prepared;
}

ChannelCatalogue::ExtraChannelHook PlaylistLibrary::RebuildHook() const {
  // The catalogue calls this when it rebuilds the file after its own
  // update; each build's country refills the list from the start.
  return [self = self_](const Channel& channel, const NodeAttributes& attributes) {
    PlaylistLibrary* library = *self;
    if (library == nullptr) return;
    const Country* country = channel.country();
    auto list = library->channels_.find(country->key());
    if (list == library->channels_.end()) list = library->channels_.try_emplace(country->key()).first;
    list->second.Add(channel, attributes);
  };
}

bool PlaylistLibrary::Install(ChannelCatalogue& catalogue, Prepared& prepared) {
  return InstallStep(catalogue, prepared, SIZE_MAX) == ChannelCatalogue::InstallStep::kInstalled;
}

ChannelCatalogue::InstallStep PlaylistLibrary::InstallStep(ChannelCatalogue& catalogue, Prepared& prepared,
                                                           size_t budget) {
  using Step = ChannelCatalogue::InstallStep;
  if (!prepared.ok_) return Step::kFailed;
  const std::string key = prepared.description_.key;
  const Step step = catalogue.InstallExtraCatalogueStep(*prepared.extra_, RebuildHook(), budget);
  if (step != Step::kInstalled) return step;
  Upsert(prepared.description_);
  // The old additions go with the prepared playlist, to be freed where it is.
  prepared.channels_.try_emplace(key);
  for (auto& [country_key, list] : prepared.channels_) std::swap(channels_[country_key], list);
  prepared.ok_ = false;  // installed once
  return Step::kInstalled;
}

void PlaylistLibrary::Remove(ChannelCatalogue& catalogue, std::string_view key) {
  auto it = std::find_if(playlists_.begin(), playlists_.end(), [&](const StoredPlaylist& p) { return p.key == key; });
  if (it == playlists_.end()) return;
  catalogue.RemoveExtraCatalogue(it->file);
  catalogue.ForgetKeptCountryState(key);
  std::error_code error;
  std::filesystem::remove(it->file, error);
  if (auto list = channels_.find(key); list != channels_.end()) channels_.erase(list);
  playlists_.erase(it);
}

std::optional<PlaylistChannelInfo> PlaylistLibrary::FindChannel(std::string_view channel_key) const {
  const PlaylistChannelRecord record = FindRecord(channel_key);
  if (record.empty()) return std::nullopt;
  return record.info();
}

PlaylistChannelRecord PlaylistLibrary::FindRecord(std::string_view channel_key) const {
  const size_t split = channel_key.find('_');
  if (split == std::string_view::npos) return {};
  auto playlist = channels_.find(channel_key.substr(0, split));
  if (playlist == channels_.end()) return {};
  return playlist->second.Find(channel_key.substr(split + 1));
}

std::shared_ptr<const CatalogueArena> PlaylistLibrary::RecordStorage(std::string_view key) const {
  auto playlist = channels_.find(key);
  return playlist == channels_.end() ? nullptr : playlist->second.texts;
}

void PlaylistLibrary::PlaylistChannels::Add(const Channel& channel, const NodeAttributes& attributes) {
  const Country* country = channel.country();
  const std::shared_ptr<const ChannelBatch> storage = country->storage();
  if (build.owner_before(storage) || storage.owner_before(build)) {
    build = storage;
    texts = std::make_shared<CatalogueArena>();
    std::vector<PlaylistChannelRecord>().swap(records);
    unsorted = false;
  }
  const std::string_view name = channel.key().substr(country->key().size() + 1);
  // In the record's order, after the node name.
  static constexpr const char* kAttributes[PlaylistChannelRecord::kFields] = {
      nullptr,           kChannelLogoAttr,       kChannelAgentAttr,        kChannelReferrerAttr,
      kChannelCookieAttr, kChannelGuideIdAttr,    kChannelGuideNameAttr,    kChannelNumberAttr,
      kChannelCatchupAttr, kChannelPropertiesAttr, kChannelSourceHeadersAttr};
  PlaylistChannelRecord::Texts texts;
  texts[0] = name;
  for (size_t i = 1; i < texts.size(); ++i) texts[i] = attributes.Utf8Text(kAttributes[i], converted[i]);
  const auto position = static_cast<uint32_t>(records.size());
  if (!records.empty() && !(records.back().name() < name)) unsorted = true;
  records.push_back(PlaylistChannelRecord::Make(position, texts, *this->texts));
}

namespace {

bool NameThenPosition(const PlaylistChannelRecord& a, const PlaylistChannelRecord& b) {
  const std::string_view name_a = a.name();
  const std::string_view name_b = b.name();
  return name_a != name_b ? name_a < name_b : a.position() < b.position();
}

}  // namespace

void PlaylistLibrary::PlaylistChannels::Finish() const {
  if (unsorted) std::sort(records.begin(), records.end(), NameThenPosition);
  unsorted = false;
  records.shrink_to_fit();
}

PlaylistChannelRecord PlaylistLibrary::PlaylistChannels::Find(std::string_view name) const {
  if (unsorted) Finish();
  auto after = std::upper_bound(records.begin(), records.end(), name,
                                [](std::string_view key, const PlaylistChannelRecord& record) { return key < record.name(); });
  if (after == records.begin() || std::prev(after)->name() != name) return {};
  return *std::prev(after);
}

SourceRequest RequestForSource(const PlaylistChannelInfo& info, std::string_view address) {
  SourceHeaders own;
  if (!info.source_headers.empty() && FindSourceHeaders(info.source_headers, address, own)) {
    return SourceRequest{std::string(own.user_agent), std::string(own.referrer), std::string(own.cookie)};
  }
  return SourceRequest{std::string(info.user_agent), std::string(info.referrer), std::string(info.cookie)};
}

std::vector<StoredPlaylist> PlaylistLibrary::DueForRefresh(int64_t now) const {
  std::vector<StoredPlaylist> due;
  for (const StoredPlaylist& playlist : playlists_) {
    if (IsRemotePlaylistSource(playlist.source) && now - playlist.fetched_at >= kPlaylistRefreshSeconds) {
      due.push_back(playlist);
    }
  }
  return due;
}

}  // namespace vidora
