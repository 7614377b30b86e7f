#include "core/catalogue/channel_catalogue.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <string>
#include <utility>

#include "core/catalogue/catalogue_builder.h"
#include "core/catalogue/catalogue_reader.h"
#include "core/catalogue/catalogue_scrambler.h"
#include "core/catalogue/title_order.h"
#include "core/document/file_bytes.h"
#include "core/document/text_key_map.h"
#include "core/document/text_codec.h"
#include "core/stores/app_paths.h"
#include "core/stores/image_lookup.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"

namespace vidora {
namespace {

// Copies the per-channel attributes this system understands, of the
// channels `wanted` names (all without it).
void CopyChannelState(const DocNode& from, DocNode& to,
                      const std::function<bool(std::string_view)>& wanted = {}) {
  for (const auto& child : from.children()) {
    if (wanted && !wanted(child->name())) continue;
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

// Hands `visit` the saved state of the channels `wanted` names.
void AppendSavedState(const DocNode& from, const ChannelStateVisitor& visit,
                      const std::function<bool(std::string_view)>& wanted) {
  for (const auto& child : from.children()) {
    if (!wanted(child->name())) continue;
    ChannelStateEntry entry{child->name(), std::nullopt, std::nullopt};
    if (const DocAttribute* f = child->FindAttribute("f", AttributeType::Bool)) entry.favourite = (f->word() & 0xFF) != 0;
    if (const DocAttribute* cu = child->FindAttribute("cu", AttributeType::Int)) {
      entry.source = static_cast<int32_t>(cu->word());
    }
    visit(entry);
  }
}

void WriteChannelsSection(const ChannelStateVisitor& channels) {
  const ChannelCatalogue* catalogue = Catalogue();
  if (catalogue != nullptr) catalogue->SaveChannelState(channels);
  const DocNode* saved = SettingsChannelsNode();
  if (saved == nullptr) return;
  if (catalogue != nullptr && catalogue->LastReadStatus() == ReadStatus::kOk && !catalogue->countries().empty()) {
    // Extra files that could not be read this run keep their channels'
    // state the same way.
    AppendSavedState(*saved, channels, [catalogue](std::string_view key) { return catalogue->KeepsLoadedStateOf(key); });
    return;
  }
  // No catalogue could be read this run (playlists may still have added
  // their channels): the catalogue channels' state from the loaded
  // settings stays instead of being saved away. Names written above win.
  AppendSavedState(*saved, channels, [catalogue](std::string_view key) {
    return catalogue == nullptr || catalogue->FindChannelByKey(key) == nullptr;
  });
}

// A channel's text: a WideString, or a String in UTF-8 (as stored
// playlists write them); empty when the first attribute of the name is
// of another type.
std::u16string TextAttribute(const DocNode& node, std::string_view name) {
  const DocAttribute* attribute = node.FindAttribute(name);
  if (attribute == nullptr) return {};
  if (const std::string* text = attribute->string_value()) return Utf8ToUtf16(*text);
  const std::u16string* wide = attribute->wide_string_value();
  return wide != nullptr ? *wide : std::u16string();
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

  FileBytes bytes;
  if (!bytes.Read(path_)) {
    last_status_ = ReadStatus::kNotOpened;
    return false;
  }
  CreateCategories();
  BuildFromFile(bytes, saved_state);
  FinishWarnings();
  RestoreCurrentChannel();
  return true;
}

bool ChannelCatalogue::ReloadCatalogueFrom(const std::filesystem::path& path) {
  path_ = path;
  return ReloadCatalogue();
}

bool ChannelCatalogue::ReloadCatalogue() {
  // A reload builds every channel afresh; the user's favourites and chosen
  // sources are carried over by channel key so the next save keeps them.
  DocNode carried("channels");
  for (const Channel* channel : all_channels_) {
    // Without a readable catalogue file the saved state is merged below;
    // a channel built now keeps its own, even when it is none.
    if (!channel->favourite_ && channel->current_source_ == 0 && last_status_ == ReadStatus::kOk) continue;
    DocNode* state = carried.AddChild(channel->key());
    if (state == nullptr) continue;
    if (channel->favourite_) state->SetBool("f", true);
    if (channel->current_source_ != 0) state->SetInt("cu", channel->current_source_);
  }

  // Channels of a catalogue file that could not be read were never built:
  // their state is still the one loaded from the settings file.
  if (last_status_ != ReadStatus::kOk) {
    if (const DocNode* saved = SettingsChannelsNode()) CopyChannelState(*saved, carried);
  }
  // Before any catalogue was read this run there is nothing to carry; the
  // user's state is still the one loaded from the settings file.
  const DocNode* saved_state = countries_.empty() ? SettingsChannelsNode() : &carried;

  ClearChannels();
  FileBytes bytes;
  if (!bytes.Read(path_)) {
    last_status_ = ReadStatus::kNotOpened;
    return false;
  }
  // A first load that found no file created no categories; without them
  // every channel of the new file would be reported as miscategorised.
  if (categories_.empty()) CreateCategories();
  BuildFromFile(bytes, saved_state);
  FinishWarnings();
  for (ExtraCatalogue& extra : extras_) BuildExtraCatalogue(extra, saved_state);
  return true;
}

void ChannelCatalogue::BuildFromFile(FileBytes& bytes, const DocNode* saved_state) {
  kb_text_ = TextOr("str_kb", "", u"");
  ReadStatus status = CatalogueBuilder(*this, saved_state, &bytes).Build(bytes.data(), bytes.size());
  if (status != ReadStatus::kOk) {
    // The file carries no mark of scrambling: whatever is no catalogue as
    // stored is tried once more through the key stream, over the bytes as
    // they were read.
    if (bytes.released()) bytes.Reread();
    UnscrambleCatalogue(bytes.data(), bytes.size());
    status = CatalogueBuilder(*this, saved_state, &bytes).Build(bytes.data(), bytes.size());
    if (status != ReadStatus::kOk) version_.clear();
  }
  last_status_ = status;
  // The bytes are all copied out: they need not stay next to the sort.
  bytes.Free();
  SortAllChannels();
  ListChanged();
}

void ChannelCatalogue::SortAllChannels() {
  // Ties are broken by key so equal titles still list in a stable order.
  SortByTitle(all_channels_);
}

std::u16string ChannelCatalogue::TextOr(std::string_view prefix, std::string_view key, std::u16string fallback) const {
  std::string text_key;
  text_key.reserve(prefix.size() + key.size());
  text_key.append(prefix).append(key);
  std::u16string text = options_.text ? options_.text(text_key) : GetText(text_key);
  return text.empty() ? std::move(fallback) : std::move(text);
}

void ChannelCatalogue::Warn(const std::u16string& text) {
  warnings_.Report(text, [this](const std::u16string& shown) { ShowWarning(shown); });
}

void ChannelCatalogue::FinishWarnings() {
  warnings_.Finish([this](const std::u16string& shown) { ShowWarning(shown); },
                   TextOr(kMoreWarningsTextKey, "", u""));
}

void ChannelCatalogue::ShowWarning(const std::u16string& text) const {
  if (options_.warning) {
    options_.warning(text);
  } else {
    ShowPlainMessage(text);
  }
}

std::unique_ptr<Country> ChannelCatalogue::MakeCountry(std::string_view key,
                                                       std::shared_ptr<ChannelBatch> batch) const {
  std::string image_name("f_");
  image_name.append(key);
  const SkinImage* flag = options_.image ? options_.image(image_name) : LookupImage(image_name);
  return std::make_unique<Country>(std::string(key), flag, TextOr("c_", key, Utf8ToUtf16(key)), std::move(batch));
}

void ChannelCatalogue::ApplySavedState(Channel& channel, const DocNode* saved_state) {
  if (saved_state == nullptr) return;
  if (const DocNode* state = saved_state->FindChild(channel.key())) {
    const int32_t cu = state->GetInt("cu", 0);
    channel.set_current_source(cu);
    channel.favourite_ = state->GetBool("f", false);
  }
}

void ChannelCatalogue::ListChanged() {
  // One counter for the process: a catalogue made where another was
  // destroyed never repeats its versions.
  static std::atomic<uint64_t> next{0};
  list_version_ = ++next;
}

void ChannelCatalogue::ClearChannels() {
  ListChanged();
  current_ = nullptr;
  all_channels_.clear();
  countries_.clear();
}

void ChannelCatalogue::CreateCategories() {
  for (const char* key : kFixedCategoryKeys) {  // the map iterates them by key
    std::u16string name = TextOr("cat_", key, Utf8ToUtf16(key));
    categories_.emplace(key, std::make_unique<Category>(key, std::move(name)));
  }
}

std::unique_ptr<Country> ChannelCatalogue::BuildCountry(const DocNode& node, const DocNode* saved_state) {
  auto country = MakeCountry(node.name(), nullptr);
  for (const auto& child : node.children()) BuildChannel(*country, *child, saved_state);
  country->FinishChannels();
  return country;
}

Channel* ChannelCatalogue::BuildChannel(Country& country, const DocNode& node, const DocNode* saved_state) {
  Channel* channel = country.AddChannel(node.name());
  if (channel == nullptr) return nullptr;
  all_channels_.push_back(channel);
  ListChanged();

  CatalogueArena& texts = country.texts();
  // A needed attribute that is missing or of another type reads as empty.
  channel->name_ = texts.KeepCounted(TextOr("c_", channel->key(), TextAttribute(node, "n")));
  const std::string p_value = node.GetString("p");
  const std::string provider = node.GetString("g");
  if (!p_value.empty()) channel->extras().p_value = texts.KeepCounted(p_value);
  if (!provider.empty()) channel->extras().provider = texts.KeepCounted(provider);
  channel->radio_ = node.GetBool("r", false);

  channel->category_ = FindCategory(node.GetString("c"));
  if (channel->category_ == nullptr) {
    Warn(country.display_name() + u" : " + std::u16string(channel->name()) + u" - Wrong category!");
  }

  size_t count = 0;
  while (node.FindChild(std::to_string(count)) != nullptr) ++count;
  count = std::min(count, Channel::kMaxSources);
  const std::span<StreamSource> sources = texts.MakeArray<StreamSource>(count);
  for (size_t i = 0; i < count; ++i) {
    const DocNode* source = node.FindChild(std::to_string(i));
    sources[i] = StreamSource{source->GetInt("b", 0), texts.Keep(Utf16ToUtf8(TextAttribute(*source, "u")))};
  }
  channel->set_sources(sources);
  if (sources.empty()) {
    Warn(country.display_name() + u" : " + std::u16string(channel->name()) + u" - No url!");
  }
  ApplySavedState(*channel, saved_state);
  if (kb_text_.empty()) kb_text_ = TextOr("str_kb", "", u"");
  country.kb_text_ = &kb_text_;
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
    const Country::ChannelIndex& channels = country->second->channels();
    auto channel = channels.find(key.substr(at + 1));
    if (channel != channels.end()) return channel->second;
  }
  return nullptr;
}

void ChannelCatalogue::SetCurrentChannel(Channel* channel) {
  current_ = channel;
  if (channel != nullptr && !channel->key().empty()) {
    SetSetting(kCurrentChannelKeySetting, Utf8ToUtf16(channel->key()));
  }
}

Channel* ChannelCatalogue::MakeAddressChannel(std::u16string_view address, std::u16string_view name,
                                              std::string_view provider) {
  if (address_channel_ != nullptr && current_ == address_channel_.get()) current_ = nullptr;
  address_channel_ = std::make_unique<Channel>(nullptr);
  address_texts_ = std::make_unique<CatalogueArena>();
  address_channel_->name_ = address_texts_->KeepCounted(name.empty() ? address : name);
  address_channel_->extras().title = address_channel_->name();
  const std::span<StreamSource> sources = address_texts_->MakeArray<StreamSource>(1);
  sources[0] = StreamSource{0, address_texts_->Keep(Utf16ToUtf8(address))};
  address_channel_->set_sources(sources);
  if (!provider.empty()) address_channel_->extras().provider = address_texts_->KeepCounted(provider);
  return address_channel_.get();
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
  const bool hide = options_.hide_category ? options_.hide_category() : GetSetting(kHideAdultSetting);
  const Category* hidden = hide ? FindCategory(kHiddenCategoryKey) : nullptr;

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

void ChannelCatalogue::SaveChannelState(const ChannelStateVisitor& visit) const {
  for (const auto& [country_key, country] : countries_) {
    for (const auto& [channel_key, channel] : country->channels()) {
      visit({channel->key(), channel->favourite() ? std::optional<bool>(true) : std::nullopt, std::nullopt});
    }
  }
}

bool ChannelCatalogue::AddExtraCatalogue(const std::filesystem::path& path, const SkinImage* mark,
                                         ExtraChannelHook on_channel, const DocNode* saved_state) {
  auto it = std::find_if(extras_.begin(), extras_.end(), [&](const ExtraCatalogue& e) { return e.path == path; });
  if (it != extras_.end()) {
    it->mark = mark;
    it->on_channel = std::move(on_channel);
    return BuildExtraCatalogue(*it, saved_state);
  }
  ExtraCatalogue extra{path, mark, std::move(on_channel), {}};
  if (!BuildExtraCatalogue(extra, saved_state)) return false;
  extras_.push_back(std::move(extra));
  return true;
}

void ChannelCatalogue::RemoveExtraCatalogue(const std::filesystem::path& path) {
  auto it = std::find_if(extras_.begin(), extras_.end(), [&](const ExtraCatalogue& e) { return e.path == path; });
  if (it == extras_.end()) return;
  for (const std::string& key : it->country_keys) RemoveCountry(key);
  extras_.erase(it);
}

void ChannelCatalogue::ForgetKeptCountryState(std::string_view key) {
  auto it = kept_country_state_.find(key);
  if (it != kept_country_state_.end()) kept_country_state_.erase(it);
}

bool ChannelCatalogue::KeepsLoadedStateOf(std::string_view channel_key) const {
  for (const std::string& key : kept_country_state_) {
    if (channel_key.size() > key.size() && channel_key.starts_with(key) && channel_key[key.size()] == '_' &&
        countries_.find(key) == countries_.end()) {
      return true;
    }
  }
  return false;
}

std::unique_ptr<Country> ChannelCatalogue::RemoveCountry(const std::string& key) {
  auto country = countries_.find(key);
  if (country == countries_.end()) return nullptr;
  ListChanged();
  const Country* gone = country->second.get();
  if (current_ != nullptr && current_->country() == gone) current_ = nullptr;
  std::erase_if(all_channels_, [gone](const Channel* channel) { return channel->country() == gone; });
  std::unique_ptr<Country> taken = std::move(country->second);
  countries_.erase(country);
  return taken;
}

void ChannelCatalogue::ReadyForExtraBuilds() {
  if (categories_.empty()) CreateCategories();
  if (kb_text_.empty()) kb_text_ = TextOr("str_kb", "", u"");
}

std::unique_ptr<ChannelCatalogue::PreparedExtra> ChannelCatalogue::PrepareExtraCatalogue(
    const std::filesystem::path& path, const SkinImage* mark, const ExtraChannelHook& on_channel,
    const DocNode* saved_state, const std::atomic<bool>* cancel) const {
  auto prepared = std::make_unique<PreparedExtra>();
  prepared->path = path;
  prepared->mark = mark;
  BuildExtra(*prepared, on_channel, saved_state, true, cancel);
  return prepared;
}

void ChannelCatalogue::BuildExtra(PreparedExtra& out, const ExtraChannelHook& on_channel, const DocNode* saved_state,
                                  bool apart, const std::atomic<bool>* cancel) const {
  ExtraBuildHooks hooks;
  hooks.cancel = cancel;
  hooks.countries = &out.countries;
  hooks.channels = &out.channels;
  hooks.warnings = apart ? &out.warnings : nullptr;
  const SkinImage* mark = out.mark;
  hooks.make_country = [mark](std::string_view key, const NodeAttributes& attributes,
                              std::shared_ptr<ChannelBatch> batch) {
    return std::make_unique<Country>(std::string(key), mark, attributes.WideString("n", Utf8ToUtf16(key)),
                                     std::move(batch));
  };
  // A playlist has few groups and many channels in each: each group text
  // is kept once per storage. Past a bound, groups are kept per channel
  // and a playlist of distinct groups costs no table.
  constexpr size_t kSharedGroups = 4096;
  struct SharedGroups {
    const CatalogueArena* arena = nullptr;
    TextKeyMap<ArenaText> kept;
  } groups;
  hooks.on_channel = [&on_channel, &groups](Channel& channel, const NodeAttributes& attributes) {
    // A playlist names no bitrate; its group says more than "(0kb)".
    const StreamSource* source = CurrentSource(channel);
    channel.group_line_ = source == nullptr || source->bitrate == 0;
    std::string converted;  // for a file of the older form only
    const std::string_view group = attributes.Utf8Text("grp", converted);
    CatalogueArena& texts = channel.country()->texts();
    if (groups.arena != &texts) groups = SharedGroups{&texts, {}};
    if (auto known = groups.kept.find(group); known != groups.kept.end()) {
      channel.group_ = known->second;
    } else {
      channel.group_ = texts.KeepCounted(group);
      if (groups.kept.size() < kSharedGroups) groups.kept.emplace(group, channel.group_);
    }
    if (on_channel) on_channel(channel, attributes);
  };
  {
    FileBytes bytes;
    if (!bytes.Read(out.path)) return;
    // A build apart only reads the catalogue (its categories and the
    // bitrate text): the warnings and names that would need more are
    // kept out of it by `hooks.warnings`.
    auto& catalogue = const_cast<ChannelCatalogue&>(*this);
    ReadStatus status = CatalogueBuilder(catalogue, saved_state, &bytes, &hooks).Build(bytes.data(), bytes.size());
    if (status != ReadStatus::kOk && !(cancel != nullptr && cancel->load())) {
      // As for the catalogue: what is no document as stored is tried once
      // more through the key stream.
      if (bytes.released()) bytes.Reread();
      UnscrambleCatalogue(bytes.data(), bytes.size());
      status = CatalogueBuilder(catalogue, saved_state, &bytes, &hooks).Build(bytes.data(), bytes.size());
    }
    if (status != ReadStatus::kOk || out.countries.empty()) {
      out.countries.clear();
      out.channels.clear();
      return;
    }
  }
  // Titles are made on first use: the sort compares them without them.
  SortByTitle(out.channels);
  out.ok = true;
}

bool ChannelCatalogue::InstallExtraCatalogue(PreparedExtra& prepared, ExtraChannelHook on_channel) {
  return InstallExtraCatalogueStep(prepared, on_channel, SIZE_MAX) == InstallStep::kInstalled;
}

ChannelCatalogue::InstallStep ChannelCatalogue::InstallExtraCatalogueStep(PreparedExtra& prepared,
                                                                          const ExtraChannelHook& on_channel,
                                                                          size_t budget) {
  if (!prepared.ok || prepared.countries.empty()) return InstallStep::kFailed;
  auto it = std::find_if(extras_.begin(), extras_.end(),
                         [&](const ExtraCatalogue& e) { return e.path == prepared.path; });
  static const std::vector<std::string> kNoKeys;
  if (!PlaceExtraStep(it == extras_.end() ? kNoKeys : it->country_keys, prepared, budget)) return InstallStep::kMore;
  if (it == extras_.end()) {
    extras_.push_back(ExtraCatalogue{prepared.path, prepared.mark, {}, {}});
    it = extras_.end() - 1;
  }
  it->mark = prepared.mark;
  it->on_channel = on_channel;
  for (const std::u16string& warning : prepared.warnings) Warn(warning);
  prepared.warnings.clear();
  FinishExtraPlacement(*it, prepared);
  return InstallStep::kInstalled;
}

bool ChannelCatalogue::BuildExtraCatalogue(ExtraCatalogue& extra, const DocNode* saved_state) {
  ReadyForExtraBuilds();
  PreparedExtra prepared;
  prepared.path = extra.path;
  prepared.mark = extra.mark;
  BuildExtra(prepared, extra.on_channel, saved_state, false);
  if (!prepared.ok) return false;
  PutExtraInPlace(extra, prepared);
  return true;
}

void ChannelCatalogue::PutExtraInPlace(ExtraCatalogue& extra, PreparedExtra& prepared) {
  while (!PlaceExtraStep(extra.country_keys, prepared, SIZE_MAX)) {
  }
  FinishExtraPlacement(extra, prepared);
}

bool ChannelCatalogue::PlaceExtraStep(const std::vector<std::string>& old_keys, PreparedExtra& prepared,
                                      size_t budget) {
  PreparedExtra::Placement& p = prepared.placement;
  if (!p.started || p.list_version != list_version_) {
    // The first slice, or the list changed under the work done so far.
    p = {};
    p.started = true;
    p.list_version = list_version_;
    for (const auto& [key, country] : prepared.countries) {
      if (auto old = countries_.find(key); old != countries_.end()) {
        p.leaving.push_back(old->second.get());
        p.replacing.push_back(country.get());
      }
    }
    for (const std::string& key : old_keys) {
      auto old = countries_.find(key);
      if (old != countries_.end() && prepared.countries.find(key) == prepared.countries.end()) {
        p.leaving.push_back(old->second.get());
      }
    }
    p.merged.reserve(all_channels_.size() + prepared.channels.size());
    if (p.replacing.empty()) p.reset = prepared.channels.size();
  }
  auto among = [](const std::vector<const Country*>& countries, const Country* country) {
    return std::find(countries.begin(), countries.end(), country) != countries.end();
  };
  // Both lists are in title order: one merge, the channels of countries
  // that go left out. Ties take the catalogue's channel first.
  const std::vector<Channel*>& list = all_channels_;
  const std::vector<Channel*>& more = prepared.channels;
  size_t work = 0;
  while (work < budget && (p.from_list < list.size() || p.from_more < more.size())) {
    ++work;
    if (p.from_list < list.size() && !p.leaving.empty() && among(p.leaving, list[p.from_list]->country())) {
      ++p.from_list;
      continue;
    }
    bool take_more = p.from_list == list.size();
    if (!take_more && p.from_more < more.size()) {
      const Channel& a = *more[p.from_more];
      const Channel& b = *list[p.from_list];
      const int order = CompareTitles(a, b);
      take_more = order != 0 ? order < 0 : a.key() < b.key();
    }
    p.merged.push_back(take_more ? more[p.from_more++] : list[p.from_list++]);
  }
  // A country built before is replaced: its channels start afresh here,
  // the user's state of the old ones is carried over when it is swapped in.
  for (; work < budget && p.reset < more.size(); ++p.reset, ++work) {
    Channel* channel = more[p.reset];
    if (!among(p.replacing, channel->country())) continue;
    channel->favourite_ = false;
    channel->current_source_ = 0;
  }
  return p.from_list == list.size() && p.from_more == more.size() && p.reset == more.size();
}

void ChannelCatalogue::FinishExtraPlacement(ExtraCatalogue& extra, PreparedExtra& prepared) {
  PreparedExtra::Placement& p = prepared.placement;
  std::vector<std::string> keys;
  const bool current_leaves =
      current_ != nullptr && std::find(p.leaving.begin(), p.leaving.end(), current_->country()) != p.leaving.end();
  Channel* current = nullptr;
  for (auto& [key, country] : prepared.countries) {
    // The user's state of a replaced country wins over the settings, as it
    // holds this run's changes: its channels that remain keep favourite,
    // chosen source and being current. Only the few channels with some
    // state are looked up.
    if (auto old = countries_.find(key); old != countries_.end()) {
      const Country::ChannelIndex& after = country->channels();
      for (const auto& [name, previous] : old->second->channels()) {
        if (!previous->favourite_ && previous->current_source_ == 0 && previous != current_) continue;
        auto found = after.find(name);
        if (found == after.end()) continue;
        Channel* channel = found->second;
        channel->favourite_ = previous->favourite_;
        channel->set_current_source(previous->current_source_);
        if (previous == current_) current = channel;
      }
      // Its channels are out of the merged list already.
      prepared.replaced.push_back(std::move(old->second));
      countries_.erase(old);
    }
    keys.push_back(key);
  }
  for (const std::string& key : extra.country_keys) {
    if (prepared.countries.find(key) != prepared.countries.end()) continue;
    if (auto old = countries_.find(key); old != countries_.end()) {
      prepared.replaced.push_back(std::move(old->second));
      countries_.erase(old);
    }
  }
  if (current_leaves) current_ = current;
  for (auto& [key, country] : prepared.countries) countries_.emplace(key, std::move(country));
  prepared.countries.clear();
  all_channels_ = std::move(p.merged);
  std::vector<Channel*>().swap(prepared.channels);
  p = {};
  extra.country_keys = std::move(keys);
  ListChanged();
}

ChannelCatalogue* Catalogue() { return GlobalCatalogue().get(); }

std::filesystem::path ChooseCatalogueFile(const std::filesystem::path& downloaded,
                                          const std::filesystem::path& shipped) {
  DocNode document;
  if (downloaded != shipped && ReadCatalogueDocument(downloaded, document) && !document.name().empty()) {
    return downloaded;
  }
  return shipped;
}

ChannelCatalogue& LoadCatalogue(std::string_view file_name) { return LoadCatalogue(file_name, CatalogueOptions()); }

ChannelCatalogue& LoadCatalogue(std::string_view file_name, CatalogueOptions options) {
  const std::filesystem::path downloaded = UserDataFile(file_name);
  ChannelCatalogue& catalogue =
      LoadCatalogueFile(ChooseCatalogueFile(downloaded, ShippedDataFile(file_name)), std::move(options));
  catalogue.set_download_path(downloaded);
  return catalogue;
}

ChannelCatalogue& LoadCatalogueFile(const std::filesystem::path& path) {
  return LoadCatalogueFile(path, CatalogueOptions());
}

ChannelCatalogue& LoadCatalogueFile(const std::filesystem::path& path, CatalogueOptions options) {
  auto& global = GlobalCatalogue();
  // The global reference is set before loading, as code the options call
  // may already ask for the catalogue.
  global = std::make_unique<ChannelCatalogue>(std::move(options));
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
