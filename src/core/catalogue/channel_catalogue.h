#ifndef VIDORA_CORE_CATALOGUE_CHANNEL_CATALOGUE_H_
#define VIDORA_CORE_CATALOGUE_CHANNEL_CATALOGUE_H_

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/catalogue/category.h"
#include "core/catalogue/channel.h"
#include "core/catalogue/country.h"
#include "core/catalogue/loader_warnings.h"
#include "core/document/doc_node.h"
#include "core/document/read_status.h"
#include "core/stores/channel_state_entry.h"

namespace vidora {

// The catalogue file's name: shipped with the player, and downloaded into
// the folder of downloaded data (UserDataFile, app_paths.h).
inline constexpr char kCatalogueFileName[] = "Channels.vdch";
// The category whose channels the `HideAD` setting hides.
inline constexpr char kHiddenCategoryKey[] = "ad";

class FileBytes;
class NodeAttributes;
class SkinImage;

// What the catalogue needs from the rest of the system, given by its
// owner. An empty member means the process-wide default (noted at each).
// The functions are called on the UI thread, during loading and from
// StepFavourite.
struct CatalogueOptions {
  // The language-pack text of a key (empty when there is none).
  // Default: GetText.
  std::function<std::u16string(std::string_view key)> text;
  // The skin picture of a name, or nullptr. Default: LookupImage.
  std::function<const SkinImage*(std::string_view name)> image;
  // Receives the loader's warnings ("... - Wrong category!"), in file
  // order, once a load has read the whole file. Default: ShowPlainMessage.
  std::function<void(const std::u16string& text)> warning;
  // Whether the channels of kHiddenCategoryKey are hidden now. Default:
  // the `HideAD` setting.
  std::function<bool()> hide_category;
};

// Every channel the user can watch or listen to: countries (each owning its
// channels), the ten fixed categories, the current channel and the
// all-channels list in display order. One catalogue lives in the process
// (see Catalogue()); tests may build their own.
//
// UI thread only. The update service's worker threads never read the
// catalogue: they get copies of Version() and Path() taken on the UI
// thread before they start.
class ChannelCatalogue {
 public:
  using CountryMap = std::map<std::string, std::unique_ptr<Country>, std::less<>>;
  using CategoryMap = std::map<std::string, std::unique_ptr<Category>, std::less<>>;

  ChannelCatalogue() = default;
  explicit ChannelCatalogue(CatalogueOptions options) : options_(std::move(options)) {}
  ChannelCatalogue(const ChannelCatalogue&) = delete;
  ChannelCatalogue& operator=(const ChannelCatalogue&) = delete;
  ~ChannelCatalogue();

  // First load from `path`: remembers the path, reads the file (plain or
  // scrambled), creates the ten categories, builds every country and
  // channel with the per-channel state of `saved_state` (the settings'
  // "channels" node, or nullptr), sorts the all-channels list and restores
  // the current channel from the `cur_channel` setting. Returns false when
  // the file could not be opened: the catalogue then stays empty, without
  // categories. A file that is no catalogue gives an empty version and no
  // countries but still the categories, and returns true. Loader warnings
  // go to the options' warning sink: the first few one by one, then one
  // summary (LoaderWarnings). The file is read in one pass straight into
  // the channels, without a document tree.
  bool Load(const std::filesystem::path& path, const DocNode* saved_state);

  // Replaces the countries and channels from the same path. No channel is
  // current afterwards; categories stay (they are created now when the
  // first load found no file). Favourites and chosen sources of channels
  // whose key still exists are carried over; when the catalogue had no
  // countries they come from the settings store's loaded "channels" node.
  // Returns false when the file could not be opened (the catalogue keeps
  // its categories and version and has no countries).
  bool ReloadCatalogue();
  // ReloadCatalogue from `path`, which becomes the catalogue's path (a
  // downloaded catalogue that replaces the shipped one).
  bool ReloadCatalogueFrom(const std::filesystem::path& path);

  // The category with exactly `key`, or nullptr.
  const Category* FindCategory(std::string_view key) const;
  // The first channel (countries, then channels, both in key order) whose
  // key equals `key` byte for byte, or nullptr.
  Channel* FindChannelByKey(std::string_view key) const;

  Channel* CurrentChannel() const { return current_; }
  // Makes `channel` (of this catalogue) current and stores its key in the
  // `cur_channel` setting (not for the address channel, which has no key,
  // so the last catalogue channel stays remembered). nullptr only clears
  // the current channel.
  void SetCurrentChannel(Channel* channel);
  // At the end of the first load: `cur_channel` names the current channel, or
  // none when it is empty or names no channel. The setting is not changed
  // (a missing one is stored empty).
  void RestoreCurrentChannel();

  // A temporary channel for a stream address given on the command line
  // (or an archive's programme): named `name`, else after the address,
  // which it plays directly, or through the stream provider `provider`
  // when one is named; in no country, list or settings file. Replaces the
  // previous one (which stops being current). Borrowed until the next call
  // or the catalogue's destruction.
  Channel* MakeAddressChannel(std::u16string_view address, std::u16string_view name = {},
                              std::string_view provider = {});
  // The channel MakeAddressChannel made last, or nullptr.
  Channel* AddressChannel() const { return address_channel_.get(); }

  // The source at the channel's current index; nullptr for a channel that
  // has no sources.
  static const StreamSource* CurrentSource(const Channel& channel);

  // Every channel, sorted by title (UTF-16 code units, no case folding).
  // The pointers are borrowed until the next reload or destruction.
  const std::vector<Channel*>& AllChannels() const { return all_channels_; }
  const CountryMap& countries() const { return countries_; }
  // Changes whenever AllChannels() does (a load or reload, an extra file
  // added or removed); no two lists of any catalogue of the process share
  // a value. Views that keep something per listed channel compare it.
  uint64_t ListVersion() const { return list_version_; }
  const CategoryMap& categories() const { return categories_; }

  // Name of the loaded document's root node; empty before a load.
  const std::string& Version() const { return version_; }
  // The catalogue file's full path; empty before a load. Changes only
  // through ReloadCatalogueFrom.
  const std::filesystem::path& Path() const { return path_; }
  // Where a downloaded catalogue is saved: Path() unless set otherwise.
  const std::filesystem::path& DownloadPath() const { return download_path_.empty() ? path_ : download_path_; }
  void set_download_path(std::filesystem::path path) { download_path_ = std::move(path); }
  // What reading the file gave at the last load or reload: kOk for a
  // catalogue as stored or scrambled, kNotOpened, or why the scrambled
  // reading (the last one tried) failed.
  ReadStatus LastReadStatus() const { return last_status_; }

  // The next (`forward`) or previous favourite after the current channel
  // in the all-channels list, wrapping around and skipping the category
  // hidden by `HideAD`; nullptr when no other favourite qualifies.
  Channel* StepFavourite(bool forward) const;

  // Hands `visit` every channel (countries, then channels, in key order)
  // by its key, with "f" = true on favourites only.
  void SaveChannelState(const ChannelStateVisitor& visit) const;

  // Construction steps of a load. BuildCountry adds the country's channels
  // to the all-channels list (unsorted); `saved_state` may be nullptr.
  // BuildChannel adds a channel to `country` (and the list) and returns
  // it, or nullptr when the country has one of that name already.
  std::unique_ptr<Country> BuildCountry(const DocNode& node, const DocNode* saved_state);
  Channel* BuildChannel(Country& country, const DocNode& node, const DocNode* saved_state);

  // Extra catalogue files (imported playlists) listed beside the catalogue
  // file. Every country node of the file at `path` becomes a country shown
  // under the node's WideString "n" (its key when absent), drawn with
  // `mark` (borrowed from the skin, may be nullptr) instead of a flag.
  // A country whose key exists already is replaced: favourites and chosen
  // sources of its channels whose keys remain are carried over, and a
  // current channel that remains stays current; new countries take their
  // state from `saved_state` (the settings' "channels" node, or nullptr).
  // `on_channel` (may be empty) sees every channel built, with its node's
  // attributes (valid during the call only). The file is read in one pass
  // like the catalogue's, without a document tree.
  // ReloadCatalogue builds the extra files again. Returns false, changing
  // nothing, when the file cannot be read or holds no country.
  using ExtraChannelHook = std::function<void(const Channel&, const NodeAttributes&)>;
  bool AddExtraCatalogue(const std::filesystem::path& path, const SkinImage* mark, ExtraChannelHook on_channel,
                         const DocNode* saved_state);
  // Removes the countries an extra file added and forgets the file. The
  // current channel is cleared when it was one of them.
  void RemoveExtraCatalogue(const std::filesystem::path& path);

  // An extra file built apart from the catalogue (PrepareExtraCatalogue)
  // and put in place by InstallExtraCatalogue: a large playlist is read
  // on a worker, and the UI thread only swaps it in. Owns what was built
  // until it is installed, and afterwards the countries it replaced, so
  // that they can be freed on a worker too. Destroy it on any thread.
  struct PreparedExtra {
    std::filesystem::path path;
    const SkinImage* mark = nullptr;
    bool ok = false;  // the file was read and holds a country
    CountryMap countries;
    std::vector<Channel*> channels;  // sorted like AllChannels()
    std::vector<std::u16string> warnings;
    std::vector<std::unique_ptr<Country>> replaced;
    // How far InstallExtraCatalogueStep has got; its own business.
    struct Placement {
      bool started = false;
      uint64_t list_version = 0;  // of the list the work so far read
      std::vector<const Country*> leaving;    // countries of the catalogue it takes out
      std::vector<const Country*> replacing;  // its countries that take the place of one
      std::vector<Channel*> merged;           // the new all-channels list, as far as made
      size_t from_list = 0;                   // channels of AllChannels() merged
      size_t from_more = 0;                   // channels of `channels` merged
      size_t reset = 0;                       // channels of `channels` whose state was reset
    } placement;
  };
  // Makes what extra builds read (the categories, the bitrate text) once,
  // so that PrepareExtraCatalogue can run elsewhere. UI thread.
  void ReadyForExtraBuilds();
  // Builds the extra file at `path` as AddExtraCatalogue would, changing
  // nothing of the catalogue; channel names are the file's own. Any
  // thread, after ReadyForExtraBuilds and while no Load runs; `saved_state`
  // must not change meanwhile. `on_channel` runs on the calling thread and
  // sees channels that are in no catalogue yet.
  // A raised `cancel` (may be null) ends the build early as failed.
  std::unique_ptr<PreparedExtra> PrepareExtraCatalogue(const std::filesystem::path& path, const SkinImage* mark,
                                                       const ExtraChannelHook& on_channel, const DocNode* saved_state,
                                                       const std::atomic<bool>* cancel = nullptr) const;
  // Puts `prepared` in place as AddExtraCatalogue does after its build
  // (replacing, carrying the user's state over, the same list order) in
  // time linear in the channels, without sorting again; its warnings go
  // to the sink. `on_channel` is kept for the rebuilds of ReloadCatalogue
  // (on the UI thread). False, changing nothing, when the build failed.
  // UI thread.
  bool InstallExtraCatalogue(PreparedExtra& prepared, ExtraChannelHook on_channel);
  // InstallExtraCatalogue in slices, for a list too long to put in place
  // in one go without holding up the UI thread: each call does the work of
  // at most `budget` channels (making the new all-channels list aside) and
  // returns kMore until the call that puts the playlist in place (only
  // that one changes the catalogue, in time linear in the channels of the
  // countries it replaces). A change of the all-channels list between
  // calls makes the next one start the list again. UI thread.
  enum class InstallStep { kMore, kInstalled, kFailed };
  InstallStep InstallExtraCatalogueStep(PreparedExtra& prepared, const ExtraChannelHook& on_channel, size_t budget);

  // The user's state of the channels of country `key`, as the settings
  // file holds it, is written back by the settings save while no country
  // of that key is built: its extra file could not be read this run
  // (missing or damaged), which must not cost the user its favourites.
  // ForgetKeptCountryState ends that (the user removed the file).
  void KeepCountryState(std::string key) { kept_country_state_.insert(std::move(key)); }
  void ForgetKeptCountryState(std::string_view key);
  // Whether the settings save writes the loaded state of the channel
  // `channel_key` back as it was (see KeepCountryState).
  bool KeepsLoadedStateOf(std::string_view channel_key) const;

 private:
  friend class CatalogueBuilder;
  struct ExtraCatalogue {
    std::filesystem::path path;
    const SkinImage* mark;
    ExtraChannelHook on_channel;
    std::vector<std::string> country_keys;
  };
  bool BuildExtraCatalogue(ExtraCatalogue& extra, const DocNode* saved_state);
  // The build of PrepareExtraCatalogue; `apart` keeps its warnings and
  // asks for no texts (a build off the UI thread).
  void BuildExtra(PreparedExtra& out, const ExtraChannelHook& on_channel, const DocNode* saved_state,
                  bool apart, const std::atomic<bool>* cancel = nullptr) const;
  // Replaces the countries of `extra` with those of `prepared`.
  void PutExtraInPlace(ExtraCatalogue& extra, PreparedExtra& prepared);
  // The list work of PutExtraInPlace, at most `budget` channels of it;
  // true when it is done for the list as it is now. `old_keys`: the
  // countries the extra file added before.
  bool PlaceExtraStep(const std::vector<std::string>& old_keys, PreparedExtra& prepared, size_t budget);
  // The rest of PutExtraInPlace once PlaceExtraStep is done: the catalogue
  // changes.
  void FinishExtraPlacement(ExtraCatalogue& extra, PreparedExtra& prepared);
  // Takes the country out of the catalogue and hands it over (nullptr
  // when there is none of that key).
  std::unique_ptr<Country> RemoveCountry(const std::string& key);

  void CreateCategories();
  // Builds the countries and channels from the file's bytes (plain, else
  // unscrambled), sorts the list and records the status.
  void BuildFromFile(FileBytes& bytes, const DocNode* saved_state);
  void SortAllChannels();
  void ClearChannels();
  // Gives the all-channels list a new ListVersion.
  void ListChanged();
  // A country whose channels will live in `batch` (nullptr: its own).
  std::unique_ptr<Country> MakeCountry(std::string_view key, std::shared_ptr<ChannelBatch> batch) const;
  // The text of `prefix` + `key`, or `fallback` when it is empty.
  std::u16string TextOr(std::string_view prefix, std::string_view key, std::u16string fallback) const;
  // A loader warning, held back after the first few (LoaderWarnings).
  void Warn(const std::u16string& text);
  // Shows the summary of the warnings held back during a load.
  void FinishWarnings();
  void ShowWarning(const std::u16string& text) const;
  // Current source and favourite from the saved-state node's child named
  // by the channel's key (the sources must be set first).
  static void ApplySavedState(Channel& channel, const DocNode* saved_state);

  CatalogueOptions options_;

  std::filesystem::path path_;
  std::filesystem::path download_path_;
  CountryMap countries_;
  CategoryMap categories_;
  Channel* current_ = nullptr;
  std::string version_;
  std::vector<Channel*> all_channels_;
  std::unique_ptr<Channel> address_channel_;
  // The address channel's address; replaced with it.
  std::unique_ptr<CatalogueArena> address_texts_;
  LoaderWarnings warnings_;
  // "str_kb" of the last load; the channels' info lines borrow it.
  std::u16string kb_text_;
  ReadStatus last_status_ = ReadStatus::kNotOpened;
  std::vector<ExtraCatalogue> extras_;
  std::set<std::string, std::less<>> kept_country_state_;
  uint64_t list_version_ = 0;
};

// The process-wide catalogue, or nullptr before LoadCatalogue and after
// FreeCatalogue. UI thread.
ChannelCatalogue* Catalogue();

// Creates the process-wide catalogue (replacing one that exists), loads
// `file_name` with the saved state of the settings store, and makes the
// settings store's save write the catalogue's per-channel state. The file
// read is the downloaded one (UserDataFile) when it holds a catalogue,
// else the shipped one (ShippedDataFile); downloads go to UserDataFile.
// Never fails: a missing file leaves it empty.
ChannelCatalogue& LoadCatalogue(std::string_view file_name);
// The same with the owner's options (texts, pictures, warnings, hiding).
ChannelCatalogue& LoadCatalogue(std::string_view file_name, CatalogueOptions options);
// Which catalogue file to read: `downloaded` when it can be read and is a
// catalogue (its document has a name, the version), else `shipped`.
std::filesystem::path ChooseCatalogueFile(const std::filesystem::path& downloaded,
                                          const std::filesystem::path& shipped);
// The same with a full path (tests, tools).
ChannelCatalogue& LoadCatalogueFile(const std::filesystem::path& path);
// The same with the owner's options (texts, pictures, warnings, hiding).
ChannelCatalogue& LoadCatalogueFile(const std::filesystem::path& path, CatalogueOptions options);
// Reloads the process-wide catalogue; false when there is none or its
// file could not be opened.
bool ReloadCatalogue();
// Destroys the process-wide catalogue (at shutdown, after the settings
// were saved).
void FreeCatalogue();

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_CHANNEL_CATALOGUE_H_
