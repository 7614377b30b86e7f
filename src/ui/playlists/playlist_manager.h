#ifndef VIDORA_UI_PLAYLISTS_PLAYLIST_MANAGER_H_
#define VIDORA_UI_PLAYLISTS_PLAYLIST_MANAGER_H_

#include <QObject>
#include <QString>
#include <QTimer>

#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "core/playlists/playlist_library.h"
#include "core/document/text_key_map.h"
#include "core/guide/channel_programmes.h"
#include "core/guide/guide_store.h"
#include "core/timeshift/channel_archive.h"
#include "ui/jobs/background_jobs.h"
#include "ui/playlists/logo_cache.h"

namespace vidora {

class SkinImage;

// Where playlists, logos and guides are kept; defaults from playlist_paths.h.
struct PlaylistFolders {
  std::filesystem::path playlists;
  std::filesystem::path logos;
  std::filesystem::path guides;
  static PlaylistFolders Default();
};

// The user's own channel lists beside the catalogue: imports a playlist
// from a file or an address (AddPlaylistSource), adds every stored playlist
// to the catalogue as a country of its own, refreshes those from an address
// (on demand, and at start when older than a day), keeps the programme
// guide (refreshed at most every 6 hours) and the channel logos. Network
// and parsing run on threads of their own; the catalogue and every result
// are touched on the UI thread only. One manager is current at a time
// (Current()), for the views that draw logos and guide lines.
class PlaylistManager : public QObject {
  Q_OBJECT

 public:
  using Clock = std::function<int64_t()>;  // seconds since 1970

  // Adds the stored playlists to `catalogue` (borrowed; outlives the
  // manager) with the per-channel state of the loaded settings: each is
  // read on a worker and put in place on the UI thread once read
  // (PlaylistsChanged), so a large one never holds up the window. Then it
  // restores the current channel when the catalogue has none, and starts
  // the due refreshes and the guide in the background.
  PlaylistManager(ChannelCatalogue& catalogue, PlaylistFolders folders = PlaylistFolders::Default(),
                  Clock clock = {}, QObject* parent = nullptr);
  ~PlaylistManager() override;

  static PlaylistManager* Current();

  // Imports `source` (a file path, a file:// link or an http(s) address)
  // in the background and adds it to the catalogue; Imported tells the
  // outcome. The entry point for the menu, drops and the command line.
  // `open_when_added`: the user added it to look at it, so once it is in
  // place PlaylistAdded asks for it to be shown.
  void AddPlaylistSource(const QString& source, bool open_when_added = false);
  // Fetches every playlist that came from an address again (a failed or
  // damaged download keeps the old copy), then the guide.
  void RefreshPlaylists();
  // Removes a stored playlist and its channels.
  void RemovePlaylist(const std::string& key);
  // Gives a stored playlist a new shown name (in the background; the
  // lists refill through PlaylistsChanged).
  void RenamePlaylist(const std::string& key, const QString& name);
  const std::vector<StoredPlaylist>& playlists() const { return library_.playlists(); }
  const ChannelCatalogue& catalogue() const { return catalogue_; }

  // Additions of a playlist channel; none for catalogue channels.
  std::optional<PlaylistChannelInfo> FindChannel(const Channel& channel) const;
  // A playlist channel's number: its tvg-chno, else its place in the
  // playlist from 1; empty for a channel of no playlist.
  std::string ChannelNumber(const Channel& channel) const;
  // The archive of past programmes of a playlist channel, as its entry
  // says (the playlist header's catch-up attributes filling in), for the
  // source it plays first; none (mode kNone) for catalogue channels.
  ChannelArchive ArchiveOf(const Channel& channel) const;
  // The channel's logo, or nullptr (asked for in the background).
  const QImage* Logo(const Channel& channel);
  // The cached logo file of the channel, or empty while there is none
  // (asked for in the background, like Logo).
  std::filesystem::path LogoFile(const Channel& channel);
  // The guide of all sources (null before the first load ends) and the
  // guide channel matched to a playlist channel (-1: none). The store
  // stays valid while the shared pointer is held.
  std::shared_ptr<const GuideStore> guide() const { return guide_; }
  int32_t GuideChannelOf(const Channel& channel) const;
  // Now and next of the channel at the clock's time (empty without a
  // guide), with the channel's tvg-shift applied.
  ChannelProgrammes::NowNext GuideNowNext(const Channel& channel) const;
  // The channel's programmes in start order, moved by its tvg-shift (the
  // entry's, else the playlist header's); empty without a guide. Valid
  // while guide() is not replaced (hold guide() to keep it longer).
  ChannelProgrammes GuideProgrammes(const Channel& channel) const;
  // The seconds the channel's guide times are moved by (its tvg-shift).
  int64_t GuideShiftOf(const Channel& channel) const;
  // A text of the guide (or of a channel's own programmes), as a QString.
  QString GuideText(TextRef ref) const;
  // Programmes of one channel from elsewhere than the guides: a provider's
  // short guide of the channel that plays. GuideNowNext, GuideProgrammes
  // and GuideText use them while the guides match nothing to the channel;
  // those of the last kMaxChannelProgrammeSets channels are kept, in
  // memory only. Overlapping programmes keep the earlier one. UI thread.
  struct ChannelProgramme {
    int64_t start = 0;
    int64_t stop = 0;
    std::string title;
    std::string description;
  };
  static constexpr size_t kMaxChannelProgrammeSets = 16;
  void SetChannelProgrammes(const std::string& channel_key, std::vector<ChannelProgramme> programmes);
  // How many channels of the playlist `key` have a guide, of how many.
  size_t GuideMatchCount(const std::string& key) const;
  size_t PlaylistChannelCount(const std::string& key) const;
  // Makes `guide_id` the channel's guide channel (empty: back to the
  // automatic passes), kept in the settings, and matches again.
  void ChooseGuideChannel(const Channel& channel, const std::string& guide_id);
  // Reads the guides again (after the guide addresses changed).
  void ReloadGuide() { LoadGuide(true); }
  // The guide addresses the playlist `key` names itself (url-tvg,
  // x-tvg-url), in order.
  std::vector<std::u16string> PlaylistGuideAddressesOf(const std::string& key) const;
  // The guide addresses the user added to the playlist `key`, and setting
  // them (kept in the settings across restarts and refreshes; the guide
  // is read again). They are used as the user gave them, local files too.
  std::vector<std::u16string> UserGuideAddressesOf(const std::string& key) const;
  void SetUserGuideAddresses(const std::string& key, std::vector<std::u16string> addresses);
  // The picture of a programme (its XMLTV icon), scaled to at most
  // kProgrammeIconHeight, or nullptr while it is not there (asked for in
  // the background; ProgrammeIconReady tells when it comes) or cannot be:
  // a local path is refused once any guide comes from the network.
  static constexpr int kProgrammeIconHeight = 160;
  const QImage* ProgrammeIcon(TextRef icon);
  int64_t Now() const { return clock_(); }
  // The picture drawn instead of a flag in front of playlist channels.
  static const SkinImage* PlaylistMark();

  // Whether imports, refreshes, playlist reads or guide reads are running
  // (tests).
  // Whether a read playlist is being put in place, or the guide's inputs
  // collected, a slice at a time between other events (tests).
  bool placing() const { return placing_ > 0 || guide_inputs_ != nullptr; }
  bool busy() const { return jobs_.running() > 0 || attaching_ > 0 || guide_inputs_ != nullptr || logos_.busy(); }

 signals:
  // An import or a refresh the user asked for ended. `text` is the
  // sentence to show: the summary ("Added “name”: 12 channels (0 entries
  // skipped).") or why it failed; for refreshes one sentence covers all
  // that failed. `detail` (for a tooltip) names the source(s) and reasons.
  void Imported(bool ok, const QString& detail, const QString& text);
  // A playlist added with `open_when_added` is in the catalogue under
  // the country key `key` (after Imported).
  void PlaylistAdded(const QString& key);
  // An added source turned out to be a stream (an HLS playlist), not a
  // channel list: it should be played.
  void StreamGiven(const QString& address);
  // Playlists were added, replaced or removed: channel lists refill.
  void PlaylistsChanged();
  // A logo arrived, the guide changed or a programme began: repaint.
  void DecorationsChanged();
  // Guides could not be used: one summary line and the details (which
  // guide, why), each failure said once per run.
  void GuideFailed(const QString& summary, const QString& details);
  // A new guide or new matches are in place.
  void GuideMatched();
  // An import or a refresh of stored playlists has ended, whatever its
  // outcome (provider accounts keep what their check told).
  void SourcesFetched();
  // A programme picture asked for through ProgrammeIcon arrived.
  void ProgrammeIconReady();

 private:
  // `report`: tell each outcome through Imported (the user asked).
  void Refresh(const std::vector<StoredPlaylist>& playlists, bool report);
  void LoadGuide(bool use_network);
  bool LogoAllowed(const Channel& channel, std::u16string_view logo) const;
  // Reads `files` (stored playlists) one after the other on a worker and
  // puts each in place as soon as it is read and no dialog is open; then
  // `done` gets which of them were added, in order.
  using AttachDone = std::function<void(const std::vector<bool>& attached)>;
  void AttachInBackground(std::vector<std::filesystem::path> files, AttachDone done);
  struct AttachRun;
  void AttachNext(std::shared_ptr<AttachRun> run);
  // Puts the playlist read as `ticket` in place a slice at a time, each
  // from the event loop (no dialog open), then goes on with `run`.
  void PlaceSlice(std::shared_ptr<AttachRun> run, uint64_t ticket,
                  std::shared_ptr<PlaylistLibrary::Prepared> prepared);
  // What the guide's matching needs of the playlist channels, copied a
  // slice at a time from the event loop; then the guide jobs start.
  struct GuideInputs;
  void CollectGuideInputs(std::shared_ptr<GuideInputs> inputs);
  void StartGuideJobs(GuideInputs& inputs);
  // Frees what a put-in-place playlist replaced on a worker.
  void DisposeInBackground(std::shared_ptr<PlaylistLibrary::Prepared> garbage);
  std::string GuideKeyOf(const Channel& channel) const;
  // The programmes SetChannelProgrammes gave `channel`, as a channel of
  // own_guide_ (-1: none).
  int32_t OwnGuideChannelOf(const Channel& channel) const;

  ChannelCatalogue& catalogue_;
  PlaylistFolders folders_;
  Clock clock_;
  PlaylistLibrary library_;
  LogoCache logos_;
  LogoCache programme_icons_;
  // Whether every guide address of the last load is a local file (then a
  // programme's picture may be a local file too).
  bool guides_all_local_ = true;
  std::shared_ptr<const GuideStore> guide_;
  TextKeyMap<int32_t> guide_matches_;  // by channel key
  TextKeyMap<int64_t> guide_shifts_;   // by channel key, only those moved
  std::unordered_map<std::string, size_t> guide_counts_;    // by playlist key
  // The programmes of SetChannelProgrammes: as given (oldest first, for
  // rebuilding) and as a guide store whose text references carry
  // kOwnGuideTextBit, so GuideText tells them from the guides' own.
  std::vector<std::pair<std::string, std::vector<ChannelProgramme>>> own_programmes_;
  std::shared_ptr<GuideStore> own_guide_;
  std::unordered_set<std::string> failures_said_;
  int64_t guide_loaded_at_ = 0;
  uint64_t guide_generation_ = 0;  // a newer load's result wins
  uint64_t applied_generation_ = 0;
  QTimer minute_timer_;
  // Reads started and not yet put in place or dropped.
  int attaching_ = 0;
  // Of those, the ones being put in place in slices.
  int placing_ = 0;
  // Each read of a stored playlist takes the next ticket when it starts;
  // a file takes only a read newer than the one put in place last (or
  // than its removal), so a slow older read never replaces a newer one.
  uint64_t tickets_ = 0;
  std::map<std::filesystem::path, uint64_t> placed_ticket_;
  // The guide inputs being collected; a newer LoadGuide replaces them.
  std::shared_ptr<GuideInputs> guide_inputs_;
  BackgroundJobs jobs_{this};
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYLISTS_PLAYLIST_MANAGER_H_
