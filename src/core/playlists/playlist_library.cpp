#include "core/playlists/playlist_library.h"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "core/catalogue/catalogue_reader.h"
#include "core/playlists/playlist_document.h"
#include "core/playlists/playlist_import.h"

namespace vidora {

bool PlaylistLibrary::Describe(const std::filesystem::path& file, StoredPlaylist& out) const {
  DocNode root;
  if (!ReadCatalogueDocument(file, root)) return false;
  const DocNode* country = PlaylistCountryNode(root);
  if (country == nullptr) return false;
  out.key = country->name();
  out.name = country->GetWideString(kPlaylistNameAttr);
  out.source = country->GetWideString(kPlaylistSourceAttr);
  out.guide_address = country->GetWideString(kPlaylistGuideAttr);
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
}

bool PlaylistLibrary::Attach(ChannelCatalogue& catalogue, const std::filesystem::path& file, const SkinImage* mark,
                             const DocNode* saved_state) {
  StoredPlaylist playlist;
  if (!Describe(file, playlist)) return false;
  const std::string key = playlist.key;
  Upsert(std::move(playlist));
  channels_[key].clear();
  // The catalogue calls this again when it rebuilds the file after its
  // own update; the map is refilled each time.
  auto hook = [self = self_](const Channel& channel, const DocNode& node) {
    PlaylistLibrary* library = *self;
    if (library == nullptr) return;
    PlaylistChannelInfo info;
    info.logo = node.GetWideString(kChannelLogoAttr);
    info.guide_id = node.GetString(kChannelGuideIdAttr);
    info.user_agent = node.GetWideString(kChannelAgentAttr);
    info.referrer = node.GetWideString(kChannelReferrerAttr);
    library->channels_[channel.country()->key()][node.name()] = std::move(info);
  };
  return catalogue.AddExtraCatalogue(file, mark, hook, saved_state);
}

void PlaylistLibrary::Remove(ChannelCatalogue& catalogue, std::string_view key) {
  auto it = std::find_if(playlists_.begin(), playlists_.end(), [&](const StoredPlaylist& p) { return p.key == key; });
  if (it == playlists_.end()) return;
  catalogue.RemoveExtraCatalogue(it->file);
  std::error_code error;
  std::filesystem::remove(it->file, error);
  channels_.erase(std::string(key));
  playlists_.erase(it);
}

const PlaylistChannelInfo* PlaylistLibrary::FindChannel(std::string_view channel_key) const {
  const size_t split = channel_key.find('_');
  if (split == std::string_view::npos) return nullptr;
  auto playlist = channels_.find(std::string(channel_key.substr(0, split)));
  if (playlist == channels_.end()) return nullptr;
  auto channel = playlist->second.find(std::string(channel_key.substr(split + 1)));
  return channel == playlist->second.end() ? nullptr : &channel->second;
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
