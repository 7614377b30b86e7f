#ifndef VIDORA_CORE_CATALOGUE_CHANNEL_CATALOGUE_H_
#define VIDORA_CORE_CATALOGUE_CHANNEL_CATALOGUE_H_

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue/category.h"
#include "core/catalogue/channel.h"
#include "core/catalogue/country.h"
#include "core/document/doc_node.h"

namespace vidora {

// The catalogue file's name next to the executable.
inline constexpr char kCatalogueFileName[] = "Channels.vdch";
// The category whose channels the `HideAD` setting hides.
inline constexpr char kHiddenCategoryKey[] = "ad";

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
  // go through ShowPlainMessage.
  bool Load(const std::filesystem::path& path, const DocNode* saved_state);

  // Replaces the countries and channels from the same path. No channel is
  // current afterwards; categories stay (they are created now when the
  // first load found no file). Favourites and chosen sources of channels
  // whose key still exists are carried over; when the catalogue had no
  // countries they come from the settings store's loaded "channels" node.
  // Returns false when the file could not be opened (the catalogue keeps
  // its categories and version and has no countries).
  bool ReloadCatalogue();

  // The category with exactly `key`, or nullptr.
  const Category* FindCategory(std::string_view key) const;
  // The first channel (countries, then channels, both in key order) whose
  // key equals `key` byte for byte, or nullptr.
  Channel* FindChannelByKey(std::string_view key) const;

  Channel* CurrentChannel() const { return current_; }
  // Makes `channel` (of this catalogue) current and stores its key in the
  // `cur_channel` setting. nullptr only clears the current channel.
  void SetCurrentChannel(Channel* channel);
  // The last part of the first load: `cur_channel` names the current channel, or
  // none when it is empty or names no channel. The setting is not changed
  // (a missing one is stored empty).
  void RestoreCurrentChannel();

  // The source at the channel's current index; nullptr for a channel that
  // has no sources.
  static const StreamSource* CurrentSource(const Channel& channel);

  // Every channel, sorted by title (UTF-16 code units, no case folding).
  // The pointers are borrowed until the next reload or destruction.
  const std::vector<Channel*>& AllChannels() const { return all_channels_; }
  const CountryMap& countries() const { return countries_; }
  const CategoryMap& categories() const { return categories_; }

  // Name of the loaded document's root node; empty before a load.
  const std::string& Version() const { return version_; }
  // The catalogue file's full path; empty before a load. Never changes
  // after the first load.
  const std::filesystem::path& Path() const { return path_; }

  // The next (`forward`) or previous favourite after the current channel
  // in the all-channels list, wrapping around and skipping the category
  // hidden by `HideAD`; nullptr when no other favourite qualifies.
  Channel* StepFavourite(bool forward) const;

  // Adds one child per channel (countries, then channels, in key order)
  // named by the channel key, with the Bool "f" = true on favourites only.
  void SaveChannelState(DocNode& channels) const;

  // Construction steps of a load. BuildCountry adds the country's channels
  // to the all-channels list (unsorted); `saved_state` may be nullptr.
  std::unique_ptr<Country> BuildCountry(const DocNode& node, const DocNode* saved_state);
  std::unique_ptr<Channel> BuildChannel(const Country& country, const DocNode& node,
                                        const DocNode* saved_state);

 private:
  void CreateCategories();
  // Fills countries and the sorted list from `root`, emptying each country
  // node of `root` once it is built.
  void BuildCountries(DocNode& root, const DocNode* saved_state);
  void ClearChannels();

  std::filesystem::path path_;
  CountryMap countries_;
  CategoryMap categories_;
  Channel* current_ = nullptr;
  std::string version_;
  std::vector<Channel*> all_channels_;
};

// The process-wide catalogue, or nullptr before LoadCatalogue and after
// FreeCatalogue. UI thread.
ChannelCatalogue* Catalogue();

// Creates the process-wide catalogue (replacing one that exists), loads
// `file_name` from the executable's folder with the saved state of the
// settings store, and makes the settings store's save write the catalogue's
// per-channel state. Never fails: a missing file leaves it empty.
ChannelCatalogue& LoadCatalogue(std::string_view file_name);
// The same with a full path (tests, tools).
ChannelCatalogue& LoadCatalogueFile(const std::filesystem::path& path);
// Reloads the process-wide catalogue; false when there is none or its
// file could not be opened.
bool ReloadCatalogue();
// Destroys the process-wide catalogue (at shutdown, after the settings
// were saved).
void FreeCatalogue();

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_CHANNEL_CATALOGUE_H_
