#include "core/catalogue/channel_catalogue.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "core/catalogue/catalogue_reader.h"
#include "core/document/text_codec.h"
#include "core/stores/app_paths.h"
#include "core/stores/image_lookup.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"

namespace vidora {
namespace {

// Creation order of the fixed categories (the map iterates them by key).
constexpr std::array<const char*, 10> kCategoryKeys = {"l", "mu", "n", "r", "sp",
                                                       "e", "mo", "k", "wc", "ad"};

// The language-pack text of `prefix` + `key`, or `fallback` when it is empty.
std::u16string TextOr(std::string_view prefix, std::string_view key, std::u16string fallback) {
  std::string text_key;
  text_key.reserve(prefix.size() + key.size());
  text_key.append(prefix).append(key);
  const std::u16string& text = GetText(text_key);
  return text.empty() ? std::move(fallback) : text;
}

// Copies the per-channel attributes this system understands.
void CopyChannelState(const DocNode& from, DocNode& to) {
  for (const auto& child : from.children()) {
    DocNode* copy = to.AddChild(child->name());
    if (copy == nullptr) continue;
    if (const DocAttribute* f = child->FindAttribute("f", AttributeType::Bool)) {
      copy->SetBool("f", (f->word() & 0xFF) != 0);
    }
    if (const DocAttribute* cu = child->FindAttribute("cu", AttributeType::Int)) {
      copy->SetInt("cu", static_cast<int32_t>(cu->word()));
    }
  }
}

void WriteChannelsSection(DocNode& channels) {
  const ChannelCatalogue* catalogue = Catalogue();
  if (catalogue != nullptr && !catalogue->countries().empty()) {
    catalogue->SaveChannelState(channels);
    return;
  }
  // No catalogue could be read this run: keep the user's favourites from
  // the loaded settings instead of saving them away.
  if (const DocNode* saved = SettingsChannelsNode()) CopyChannelState(*saved, channels);
}

std::unique_ptr<ChannelCatalogue>& GlobalCatalogue() {
  static std::unique_ptr<ChannelCatalogue> catalogue;
  return catalogue;
}

}  // namespace

ChannelCatalogue::~ChannelCatalogue() {
  current_ = nullptr;
  all_channels_.clear();
  countries_.clear();
  categories_.clear();
}

bool ChannelCatalogue::Load(const std::filesystem::path& path, const DocNode* saved_state) {
  ClearChannels();
  categories_.clear();
  version_.clear();
  path_ = path;

  DocNode document;
  if (!ReadCatalogueDocument(path_, document)) return false;
  version_ = document.name();
  CreateCategories();
  BuildCountries(document, saved_state);
  RestoreCurrentChannel();
  return true;
}

bool ChannelCatalogue::ReloadCatalogue() {
  // A reload builds every channel afresh; the user's favourites and chosen
  // sources are carried over by channel key so the next save keeps them.
  DocNode carried("channels");
  for (const Channel* channel : all_channels_) {
    if (!channel->favourite_ && channel->current_source_ == 0) continue;
    DocNode* state = carried.AddChild(channel->key_);
    if (state == nullptr) continue;
    if (channel->favourite_) state->SetBool("f", true);
    if (channel->current_source_ != 0) state->SetInt("cu", channel->current_source_);
  }

  // Before any catalogue was read this run there is nothing to carry; the
  // user's state is still the one loaded from the settings file.
  const DocNode* saved_state = countries_.empty() ? SettingsChannelsNode() : &carried;

  ClearChannels();
  DocNode document;
  if (!ReadCatalogueDocument(path_, document)) return false;
  version_ = document.name();
  // A first load that found no file created no categories; without them
  // every channel of the new file would be reported as miscategorised.
  if (categories_.empty()) CreateCategories();
  BuildCountries(document, saved_state);
  return true;
}

void ChannelCatalogue::ClearChannels() {
  current_ = nullptr;
  all_channels_.clear();
  countries_.clear();
}

void ChannelCatalogue::CreateCategories() {
  for (const char* key : kCategoryKeys) {
    std::u16string name = TextOr("cat_", key, Utf8ToUtf16(key));
    categories_.emplace(key, std::make_unique<Category>(key, std::move(name)));
  }
}

void ChannelCatalogue::BuildCountries(DocNode& root, const DocNode* saved_state) {
  for (const auto& child : root.children()) {
    countries_.emplace(child->name(), BuildCountry(*child, saved_state));
    // The country's subtree is not needed any more; freeing it now lets the
    // channels reuse its memory instead of the load holding both at once.
    child->Clear();
  }
  // Ties are broken by key so equal titles still list in a stable order.
  std::sort(all_channels_.begin(), all_channels_.end(), [](const Channel* a, const Channel* b) {
    if (a->title_ != b->title_) return a->title_ < b->title_;
    return a->key_ < b->key_;
  });
}

std::unique_ptr<Country> ChannelCatalogue::BuildCountry(const DocNode& node, const DocNode* saved_state) {
  const std::string& key = node.name();
  auto country = std::make_unique<Country>(key, LookupImage("f_" + key), TextOr("c_", key, Utf8ToUtf16(key)));
  for (const auto& child : node.children()) {
    country->channels_.emplace_hint(country->channels_.end(), child->name(),
                                    BuildChannel(*country, *child, saved_state));
  }
  return country;
}

std::unique_ptr<Channel> ChannelCatalogue::BuildChannel(const Country& country, const DocNode& node,
                                                        const DocNode* saved_state) {
  auto channel = std::make_unique<Channel>(&country);
  all_channels_.push_back(channel.get());

  channel->key_.reserve(country.key().size() + 1 + node.name().size());
  channel->key_.append(country.key()).append("_").append(node.name());
  // A needed attribute that is missing or of another type reads as empty.
  channel->name_ = TextOr("c_", channel->key_, node.GetWideString("n"));
  channel->p_value_ = node.GetString("p");
  channel->provider_ = node.GetString("g");
  channel->radio_ = node.GetBool("r", false);

  channel->category_ = FindCategory(node.GetString("c"));
  if (channel->category_ == nullptr) {
    ShowPlainMessage(country.display_name() + u" : " + channel->name_ + u" - Wrong category!");
  }

  for (int i = 0;; ++i) {
    const DocNode* source = node.FindChild(std::to_string(i));
    if (source == nullptr) break;
    channel->sources_.push_back(StreamSource{source->GetInt("b", 0), source->GetWideString("u")});
  }
  if (channel->sources_.empty()) {
    ShowPlainMessage(country.display_name() + u" : " + channel->name_ + u" - No url!");
  }

  if (saved_state != nullptr) {
    if (const DocNode* state = saved_state->FindChild(channel->key_)) {
      const int32_t cu = state->GetInt("cu", 0);
      channel->current_source_ = cu < 0 || static_cast<size_t>(cu) >= channel->sources_.size() ? 0 : cu;
      channel->favourite_ = state->GetBool("f", false);
    }
  }

  channel->title_ = country.display_name() + u" " + channel->name_;
  channel->info_line_ = country.display_name();
  if (const StreamSource* source = CurrentSource(*channel)) {
    channel->info_line_ += u" (" + Utf8ToUtf16(std::to_string(source->bitrate)) + GetText("str_kb") + u")";
  }
  return channel;
}

const Category* ChannelCatalogue::FindCategory(std::string_view key) const {
  auto it = categories_.find(key);
  return it == categories_.end() ? nullptr : it->second.get();
}

Channel* ChannelCatalogue::FindChannelByKey(std::string_view key) const {
  // The country key ends at one of the key's "_" separators. Countries that
  // fit are prefixes of one another, so trying the shortest first finds the
  // same channel as walking every country in key order, without the walk.
  for (size_t at = key.find('_'); at != std::string_view::npos; at = key.find('_', at + 1)) {
    auto country = countries_.find(key.substr(0, at));
    if (country == countries_.end()) continue;
    const Country::ChannelMap& channels = country->second->channels();
    auto channel = channels.find(key.substr(at + 1));
    if (channel != channels.end()) return channel->second.get();
  }
  return nullptr;
}

void ChannelCatalogue::SetCurrentChannel(Channel* channel) {
  current_ = channel;
  if (channel != nullptr) SetSetting(kCurrentChannelKeySetting, Utf8ToUtf16(channel->key()));
}

void ChannelCatalogue::RestoreCurrentChannel() {
  const std::u16string text = GetSetting(kCurrentChannelKeySetting);
  current_ = text.empty() ? nullptr : FindChannelByKey(Utf16ToUtf8(text));
}

const StreamSource* ChannelCatalogue::CurrentSource(const Channel& channel) {
  const auto& sources = channel.sources();
  const int32_t index = channel.current_source();
  if (index < 0 || static_cast<size_t>(index) >= sources.size()) return nullptr;
  return &sources[static_cast<size_t>(index)];
}

Channel* ChannelCatalogue::StepFavourite(bool forward) const {
  const size_t n = all_channels_.size();
  if (n == 0) return nullptr;
  Channel* cur = current_ != nullptr && current_->favourite() ? current_ : nullptr;
  // Compared by reference, as the channel lists do: with HideAD off a
  // channel without a category is skipped, with it on it can be reached.
  const Category* hidden = GetSetting(kHideAdultSetting) ? FindCategory(kHiddenCategoryKey) : nullptr;

  size_t d = 0;
  if (cur != nullptr) {
    auto it = std::find(all_channels_.begin(), all_channels_.end(), cur);
    if (it != all_channels_.end()) d = static_cast<size_t>(it - all_channels_.begin());
  }
  Channel* result = cur;
  for (size_t k = 0; k < n; ++k) {
    Channel* channel = all_channels_[(d + (forward ? k : n - 1 - k)) % n];
    // A favourite without a stream cannot play; stepping onto it would
    // only stop the channel that plays now.
    if (channel->favourite() && channel->category() != hidden && channel != cur && channel->playable()) {
      result = channel;
      break;
    }
  }
  return result == current_ ? nullptr : result;
}

void ChannelCatalogue::SaveChannelState(DocNode& channels) const {
  for (const auto& [country_key, country] : countries_) {
    for (const auto& [channel_key, channel] : country->channels()) {
      DocNode* child = channels.AddChild(channel->key());
      if (child != nullptr && channel->favourite()) child->SetBool("f", true);
    }
  }
}

ChannelCatalogue* Catalogue() { return GlobalCatalogue().get(); }

ChannelCatalogue& LoadCatalogue(std::string_view file_name) {
  return LoadCatalogueFile(JoinPath(AppFolderPath(), std::filesystem::path(file_name)));
}

ChannelCatalogue& LoadCatalogueFile(const std::filesystem::path& path) {
  auto& global = GlobalCatalogue();
  // The global reference is set before loading, as the loader's warnings
  // may already reach code that asks for the catalogue.
  global = std::make_unique<ChannelCatalogue>();
  global->Load(path, SettingsChannelsNode());
  Settings().set_channels_writer(WriteChannelsSection);
  return *global;
}

bool ReloadCatalogue() {
  ChannelCatalogue* catalogue = Catalogue();
  return catalogue != nullptr && catalogue->ReloadCatalogue();
}

void FreeCatalogue() { GlobalCatalogue().reset(); }

}  // namespace vidora
