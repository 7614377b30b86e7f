#ifndef VIDORA_CORE_PLAYLISTS_PLAYLIST_LIBRARY_H_
#define VIDORA_CORE_PLAYLISTS_PLAYLIST_LIBRARY_H_

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <map>
#include <optional>
#include <vector>

#include "core/catalogue/catalogue_arena.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/playlists/playlist_channel_record.h"

namespace vidora {

// What a playlist adds to one of its channels beyond the catalogue fields
// (its group is the channel's own: Channel::group). The texts, in UTF-8,
// view the library's storage of the channel's playlist: valid
// until that playlist is built again (attached, refreshed, or rebuilt with
// the catalogue), removed, or the library goes.
struct PlaylistChannelInfo {
  std::string_view logo;            // tvg-logo address, or empty
  std::string_view user_agent;      // for the stream request, or empty
  std::string_view referrer;
  std::string_view cookie;
  std::string_view guide_id;        // tvg-id, or empty
  std::string_view guide_name;      // tvg-name when it differs from the name, else empty
  std::string_view channel_number;  // tvg-chno as written, or empty
  std::string_view catchup;         // DecodeCatchup (playlist_document.h)
  std::string_view properties;      // #KODIPROP lines
  std::string_view source_headers;  // FindSourceHeaders (playlist_document.h)
  uint32_t position = 0;            // 0-based place in the playlist
};

// The request headers (UTF-8) to send for `address`, one of the sources
// of the channel `info` describes: those the playlist gave that source,
// else the channel's.
struct SourceRequest {
  std::string user_agent;
  std::string referrer;
  std::string cookie;
};
SourceRequest RequestForSource(const PlaylistChannelInfo& info, std::string_view address);

// One stored playlist, as its file describes it.
struct StoredPlaylist {
  std::string key;  // its country key in the catalogue
  std::u16string name;
  std::u16string source;         // file path or address it was imported from
  std::u16string guide_address;  // url-tvg of the playlist, or empty
  int64_t fetched_at = 0;        // seconds since 1970
  std::string catchup;           // the header's catch-up (DecodeCatchup)
  std::filesystem::path file;
  bool old_form = false;  // written in kPlaylistOldVersion (RewritePlaylistDocument)
};

// A playlist fetched from an address is refreshed after this long.
inline constexpr int64_t kPlaylistRefreshSeconds = 24 * 60 * 60;

// The imported playlists of one folder and what their channels add.
// Lives on the UI thread with the catalogue it feeds; not thread-safe.
class PlaylistLibrary {
 private:
  // The additions of one playlist's channels, kept together: their texts
  // in one arena, found by node name through a flat table.
  struct PlaylistChannels {
    // The storage of the build they came from; another one starts afresh.
    // Held weakly: a later build's storage, even at the same address, is
    // never taken for it.
    std::weak_ptr<const ChannelBatch> build;
    // Shared with readers on other threads (RecordStorage).
    std::shared_ptr<CatalogueArena> texts = std::make_shared<CatalogueArena>();
    // In `texts`; sorted by name (then position) unless `unsorted`. A
    // sorted list is found in by halving, which needs no table beside it.
    // Sorted by Finish, or by the first Find after a rebuild of the
    // catalogue's own has added to it.
    mutable std::vector<PlaylistChannelRecord> records;
    mutable bool unsorted = false;
    // Scratch of Add for the texts of files in the older form, kept for
    // its storage.
    std::array<std::string, PlaylistChannelRecord::kFields> converted;

    // Adds the additions of `channel`, first starting afresh when it comes
    // from another build than those before.
    void Add(const Channel& channel, const NodeAttributes& attributes);
    void Finish() const;
    // Of records added under one name, the last one.
    PlaylistChannelRecord Find(std::string_view name) const;
  };


 public:
  explicit PlaylistLibrary(std::filesystem::path folder) : folder_(std::move(folder)) {}
  // The catalogue may outlive the library: its rebuilds then no longer
  // report to it.
  ~PlaylistLibrary() { *self_ = nullptr; }
  PlaylistLibrary(const PlaylistLibrary&) = delete;
  PlaylistLibrary& operator=(const PlaylistLibrary&) = delete;

  const std::filesystem::path& folder() const { return folder_; }

  // Reads the descriptions of every stored playlist of the folder (files
  // that are no playlist are left out), sorted by name.
  void Scan();
  const std::vector<StoredPlaylist>& playlists() const { return playlists_; }
  const StoredPlaylist* Find(std::string_view key) const;

  // Adds every scanned playlist to `catalogue` as a country drawn with
  // `mark`; new channels take their state from `saved_state` (may be
  // nullptr). The state `saved_state` holds for playlists that could not
  // be added (their file is missing or damaged) is kept for the settings
  // save (ChannelCatalogue::KeepCountryState).
  void AttachAll(ChannelCatalogue& catalogue, const SkinImage* mark, const DocNode* saved_state);
  // Adds or replaces (after an import or a refresh) the playlist stored as
  // `file`, rescanning its description. False when it cannot be read.
  bool Attach(ChannelCatalogue& catalogue, const std::filesystem::path& file, const SkinImage* mark,
              const DocNode* saved_state);
  // A stored playlist read apart from the UI thread, to be put in place by
  // Install. Destroy it on any thread (after Install it holds the channels
  // it replaced, which are best freed on a worker).
  class Prepared {
   public:
    // Whether the file could be read as a stored playlist.
    bool ok() const { return ok_; }
    const std::filesystem::path& file() const { return description_.file; }
    // Whether the file is in the form of earlier versions (to be rewritten).
    bool old_form() const { return description_.old_form; }

   private:
    friend class PlaylistLibrary;
    bool ok_ = false;
    StoredPlaylist description_;
    std::unique_ptr<ChannelCatalogue::PreparedExtra> extra_;
    std::map<std::string, PlaylistChannels, std::less<>> channels_;
  };
  // Reads the playlist stored as `file` for `catalogue` (ReadyForExtraBuilds
  // called) with the per-channel state `saved_state` (may be nullptr).
  // Any thread: it changes neither the catalogue nor a library.
  // A raised `cancel` (may be null) ends the read early, as failed.
  static std::unique_ptr<Prepared> Prepare(const ChannelCatalogue& catalogue, const std::filesystem::path& file,
                                           const SkinImage* mark, const DocNode* saved_state,
                                           const std::atomic<bool>* cancel = nullptr);
  // Adds or replaces the prepared playlist in `catalogue` as Attach does,
  // in time linear in the channels. False when it could not be read.
  // UI thread.
  bool Install(ChannelCatalogue& catalogue, Prepared& prepared);
  // Install in slices of at most `budget` channels' work each
  // (ChannelCatalogue::InstallExtraCatalogueStep): kMore until the call
  // that puts the playlist in place. UI thread.
  ChannelCatalogue::InstallStep InstallStep(ChannelCatalogue& catalogue, Prepared& prepared, size_t budget);
  // Has the settings save keep the state `saved_state` holds for the
  // channels of every playlist not (yet) added to `catalogue`.
  void KeepStateOfAbsent(ChannelCatalogue& catalogue, const DocNode* saved_state) const;

  // Takes the playlist out of `catalogue` and deletes its file; the state
  // of its channels goes at the next settings save.
  void Remove(ChannelCatalogue& catalogue, std::string_view key);

  // The playlist additions of a channel; none for a catalogue channel.
  std::optional<PlaylistChannelInfo> FindChannel(std::string_view channel_key) const;
  // The same as their record (empty for a catalogue channel), which stays
  // valid on any thread while the storage of its playlist is held.
  PlaylistChannelRecord FindRecord(std::string_view channel_key) const;
  // The storage of the records of the playlist `key` (nullptr: none).
  // Records are never changed, so a holder may read them on any thread,
  // also after the playlist is replaced or removed.
  std::shared_ptr<const CatalogueArena> RecordStorage(std::string_view key) const;

  // Playlists from an address fetched longer than a day before `now`.
  std::vector<StoredPlaylist> DueForRefresh(int64_t now) const;

 private:
  static bool Describe(const std::filesystem::path& file, StoredPlaylist& out);
  void Upsert(StoredPlaylist playlist);
  // The hook that refills the channel additions on the catalogue's own
  // rebuilds of the playlist's file.
  ChannelCatalogue::ExtraChannelHook RebuildHook() const;


  std::filesystem::path folder_;
  std::shared_ptr<PlaylistLibrary*> self_ = std::make_shared<PlaylistLibrary*>(this);
  std::vector<StoredPlaylist> playlists_;
  // Playlist key -> the additions of its channels.
  std::map<std::string, PlaylistChannels, std::less<>> channels_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_PLAYLIST_LIBRARY_H_
