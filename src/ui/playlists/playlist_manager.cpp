#include "ui/playlists/playlist_manager.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <unordered_set>

#include "core/document/large_block.h"
#include "core/document/text_codec.h"
#include "core/guide/guide_loader.h"
#include "core/guide/guide_matcher.h"
#include "core/net/credential_mask.h"
#include "core/guide/playlist_guide_addresses.h"
#include "core/playlists/playlist_document.h"
#include "core/playlists/playlist_import.h"
#include "core/playlists/playlist_paths.h"
#include "core/stores/settings_store.h"
#include "ui/playlists/import_messages.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

// Marks the text references of the channels' own programmes: the guides'
// texts stay far below it (GuideCaps::text_bytes).
constexpr TextRef kOwnGuideTextBit = TextRef{1} << 31;

PlaylistManager* g_current = nullptr;

// Work on the UI thread over a large playlist goes in slices that end
// after kSliceTime, well under the 100 ms a user would notice even on a
// busy machine, the event loop running between them. The clock is looked
// at every kSliceStep channels.
constexpr std::chrono::milliseconds kSliceTime{8};
constexpr size_t kSliceStep = 2048;

std::chrono::steady_clock::time_point SliceEnd() { return std::chrono::steady_clock::now() + kSliceTime; }

int64_t SystemNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// The catalogue must not change under an open dialog that lists its
// channels; work that would change it waits until no dialog is open.
void WhenNoDialog(QObject* context, std::function<void()> apply) {
  if (QApplication::activeModalWidget() == nullptr) {
    apply();
    return;
  }
  QTimer::singleShot(300, context, [context, apply = std::move(apply)]() mutable {
    WhenNoDialog(context, std::move(apply));
  });
}

}  // namespace

PlaylistFolders PlaylistFolders::Default() { return {PlaylistFolder(), LogoCacheFolder(), GuideCacheFolder()}; }

PlaylistManager::PlaylistManager(ChannelCatalogue& catalogue, PlaylistFolders folders, Clock clock, QObject* parent)
    : QObject(parent),
      catalogue_(catalogue),
      folders_(std::move(folders)),
      clock_(clock ? std::move(clock) : Clock(SystemNow)),
      library_(folders_.playlists),
      logos_(folders_.logos),
      programme_icons_(folders_.logos / "programmes", nullptr, kProgrammeIconHeight) {
  g_current = this;
  library_.Scan();
  // Until a playlist is in place, a settings save keeps the state of its
  // channels as loaded.
  library_.KeepStateOfAbsent(catalogue_, SettingsChannelsNode());
  catalogue_.ReadyForExtraBuilds();
  std::vector<std::filesystem::path> files;
  for (const StoredPlaylist& playlist : library_.playlists()) files.push_back(playlist.file);
  AttachInBackground(std::move(files), [this](const std::vector<bool>&) {
    // The channel played last may be one of the playlists'.
    if (catalogue_.CurrentChannel() == nullptr) catalogue_.RestoreCurrentChannel();
    const std::vector<StoredPlaylist> due = library_.DueForRefresh(Now());
    if (!due.empty()) Refresh(due, false);
    else LoadGuide(true);
  });

  connect(&logos_, &LogoCache::LogoReady, this, &PlaylistManager::DecorationsChanged);
  connect(&programme_icons_, &LogoCache::LogoReady, this, &PlaylistManager::ProgrammeIconReady);
  connect(&minute_timer_, &QTimer::timeout, this, [this] {
    if (Now() - guide_loaded_at_ >= kGuideRefreshSeconds) LoadGuide(true);
    emit DecorationsChanged();  // a new programme may have begun
  });
  minute_timer_.start(60 * 1000);
}

PlaylistManager::~PlaylistManager() {
  if (g_current == this) g_current = nullptr;
}

PlaylistManager* PlaylistManager::Current() { return g_current; }

void PlaylistManager::AddPlaylistSource(const QString& text, bool open_when_added) {
  QString source = text.trimmed();
  if (source.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) source = QUrl(source).toLocalFile();
  if (!IsRemotePlaylistSource(source.toStdU16String()) && !source.isEmpty()) {
    source = QFileInfo(source).absoluteFilePath();  // relative entries resolve against its folder
  }
  const std::u16string key = source.toStdU16String();
  const std::filesystem::path folder = folders_.playlists;
  const int64_t now = Now();
  const std::atomic<bool>* cancel = jobs_.cancel();
  jobs_.Run([this, key, folder, now, cancel, source, open_when_added]() -> std::function<void()> {
    PlaylistImport result = FetchAndImportPlaylist(key, u"", folder, now, cancel);
    // The parsed playlist is gone: its pages go back to the system.
    ReturnFreeHeapPages();
    return [this, result = std::move(result), source, open_when_added] {
      if (result.failure == ImportFailure::kStream) {
        emit StreamGiven(source);
        return;
      }
      const QString detail = source + QStringLiteral("\n") + QString::fromStdString(result.reason);
      if (!result.ok) {
        emit SourcesFetched();
        emit Imported(false, detail, ImportFailureText(result));
        return;
      }
      AttachInBackground({result.file}, [this, result, source, open_when_added](const std::vector<bool>& attached) {
        const bool ok = !attached.empty() && attached[0];
        emit SourcesFetched();
        emit Imported(ok, source, ok ? ImportSummaryText(result) : Text("msg_import_unreadable"));
        if (ok && open_when_added) emit PlaylistAdded(QString::fromStdString(result.key));
        LoadGuide(true);
      });
    };
  });
}

void PlaylistManager::RefreshPlaylists() {
  std::vector<StoredPlaylist> remote;
  for (const StoredPlaylist& playlist : library_.playlists()) {
    if (IsRemotePlaylistSource(playlist.source)) remote.push_back(playlist);
  }
  Refresh(remote, true);
  if (remote.empty()) LoadGuide(true);
}

void PlaylistManager::Refresh(const std::vector<StoredPlaylist>& playlists, bool report) {
  if (playlists.empty()) return;
  const std::filesystem::path folder = folders_.playlists;
  const int64_t now = Now();
  const std::atomic<bool>* cancel = jobs_.cancel();
  jobs_.Run([this, playlists, folder, now, cancel, report]() -> std::function<void()> {
    std::vector<std::pair<std::filesystem::path, PlaylistImport>> results;
    for (const StoredPlaylist& playlist : playlists) {
      if (cancel->load()) break;
      results.emplace_back(playlist.file, FetchAndImportPlaylist(playlist.source, playlist.name, folder, now, cancel));
    }
    ReturnFreeHeapPages();
    return [this, results = std::move(results), report] {
      std::vector<std::filesystem::path> files;
      for (const auto& [file, result] : results) {
        if (result.ok) files.push_back(result.file);
      }
      AttachInBackground(std::move(files), [this, results, report](const std::vector<bool>&) {
        emit SourcesFetched();
        size_t failed = 0;
        QStringList details;
        for (const auto& [file, result] : results) {
          if (result.ok) continue;
          ++failed;
          const StoredPlaylist* stored = library_.Find(result.key.empty() ? file.stem().string() : result.key);
          const QString name = stored != nullptr ? QString::fromStdU16String(stored->name) : QString();
          details.append(name + QStringLiteral(": ") + ImportFailureText(result));
        }
        // Many failures (a network that is down) make one sentence.
        if (report && failed > 0) emit Imported(false, details.join(QLatin1Char('\n')), RefreshFailureText(failed));
        LoadGuide(true);
      });
    };
  });
}

void PlaylistManager::RemovePlaylist(const std::string& key) {
  // A read still under way must not bring it back.
  if (const StoredPlaylist* playlist = library_.Find(key)) placed_ticket_[playlist->file] = tickets_;
  library_.Remove(catalogue_, key);
  // The guide addresses the user added to it go with it.
  PlaylistGuideAddresses added = DecodePlaylistGuideAddresses(GetSetting(kPlaylistGuideAddressesSetting));
  if (added.erase(key) > 0) SetSetting(kPlaylistGuideAddressesSetting, EncodePlaylistGuideAddresses(added));
  emit PlaylistsChanged();
}

void PlaylistManager::RenamePlaylist(const std::string& key, const QString& name) {
  const StoredPlaylist* playlist = library_.Find(key);
  if (playlist == nullptr) return;
  jobs_.Run([this, file = playlist->file, name = name.toStdU16String()]() -> std::function<void()> {
    const bool renamed = RenameStoredPlaylist(file, name);
    return [this, file, renamed] {
      if (!renamed) return;
      AttachInBackground({file}, {});
    };
  });
}

namespace {

TextKeyMap<std::string> GuideChoices() {
  TextKeyMap<std::string> choices;
  const std::string text = Utf16ToUtf8(GetSetting(kGuideChoicesSetting));
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\x1e', at);
    if (end == std::string::npos) end = text.size();
    const std::string pair = text.substr(at, end - at);
    const size_t split = pair.find('\x1f');
    if (split != std::string::npos) choices[pair.substr(0, split)] = pair.substr(split + 1);
    at = end + 1;
  }
  return choices;
}

// What the guide job needs of the playlist channels, for the worker. No
// text is copied (that took 20 MB for 200,000 channels): it holds the
// storage of the channels and of their playlist records, which stay
// unchanged while held, and reads them when the matcher asks.
struct GuideChannelInputs : GuideMatchSource {
  std::vector<const Channel*> channels;
  std::vector<PlaylistChannelRecord> records;  // each channel's (empty: none)
  std::vector<uint32_t> playlist_of;           // each channel's index into `playlists`
  std::vector<std::string> playlists;          // the playlists' keys
  std::vector<std::pair<uint32_t, int64_t>> shifts;  // the channels whose guide is shifted
  TextKeyMap<std::string> choices;  // the guide channels the user chose, by channel key
  std::vector<std::shared_ptr<const void>> storage;  // of `channels` and `records`

  std::string_view key(size_t i) const { return channels[i]->key(); }
  size_t size() const override { return channels.size(); }
  GuideMatchInput Input(size_t i, std::string& scratch) const override {
    Utf16ToUtf8Into(channels[i]->name(), scratch);
    GuideMatchInput input;
    input.name = scratch;
    if (!records[i].empty()) {
      const PlaylistChannelInfo info = records[i].info();
      input.tvg_id = info.guide_id;
      // Stored only when it differs from the name.
      input.tvg_name = info.guide_name.empty() ? input.name : info.guide_name;
    }
    if (!choices.empty()) {
      if (auto choice = choices.find(key(i)); choice != choices.end()) input.chosen = choice->second;
    }
    return input;
  }
};

struct GuideJobResult {
  GuideLoad load;
  TextKeyMap<int32_t> matches;
  TextKeyMap<int64_t> shifts;
  std::unordered_map<std::string, size_t> counts;
};

GuideJobResult RunGuideJob(const std::vector<std::u16string>& addresses, const GuideFolders& folders, int64_t now,
                           bool use_network, bool cache_only, const GuideChannelInputs& channels,
                           const std::atomic<bool>* cancel) {
  GuideJobResult result;
  if (cache_only) {
    std::optional<GuideLoad> cached = LoadCachedGuide(addresses, folders, now);
    if (!cached) return result;
    result.load = std::move(*cached);
  } else {
    result.load = LoadGuide(addresses, folders, now, use_network, cancel);
  }
  // A guide without channels (none could be read) matches nothing.
  if (result.load.store == nullptr || result.load.store->channel_count() == 0) return result;
  const std::vector<GuideMatch> matches = MatchGuideChannels(*result.load.store, channels);
  for (size_t i = 0; i < matches.size(); ++i) {
    if (matches[i].channel < 0) continue;
    result.matches.emplace(channels.key(i), matches[i].channel);
    ++result.counts[channels.playlists[channels.playlist_of[i]]];
  }
  for (const auto& [i, shift] : channels.shifts) {
    if (matches[i].channel >= 0) result.shifts.emplace(channels.key(i), shift);
  }
  return result;
}

}  // namespace

struct PlaylistManager::AttachRun {
  std::vector<std::filesystem::path> files;
  size_t next = 0;
  std::vector<bool> attached;
  AttachDone done;
  bool placing = false;  // the current file is put in place in slices
};

void PlaylistManager::AttachInBackground(std::vector<std::filesystem::path> files, AttachDone done) {
  auto run = std::make_shared<AttachRun>();
  run->files = std::move(files);
  run->done = std::move(done);
  ++attaching_;
  AttachNext(std::move(run));
}

void PlaylistManager::AttachNext(std::shared_ptr<AttachRun> run) {
  if (run->next == run->files.size()) {
    --attaching_;
    if (run->done) run->done(run->attached);
    return;
  }
  const std::filesystem::path file = run->files[run->next];
  const uint64_t ticket = ++tickets_;
  const ChannelCatalogue* catalogue = &catalogue_;
  const SkinImage* mark = PlaylistMark();
  // The loaded settings do not change while the player runs.
  const DocNode* saved_state = SettingsChannelsNode();
  const std::atomic<bool>* cancel = jobs_.cancel();
  const bool started = jobs_.Run([this, run, file, ticket, catalogue, mark, saved_state, cancel]() -> std::function<void()> {
    std::shared_ptr<PlaylistLibrary::Prepared> prepared =
        PlaylistLibrary::Prepare(*catalogue, file, mark, saved_state, cancel);
    // A file of an earlier version is written again in the current form,
    // once: the next start reads the smaller file.
    if (prepared->ok() && prepared->old_form() && !cancel->load()) {
      RewritePlaylistDocument(file);
      ReturnFreeHeapPages();
    }
    return [this, run, ticket, prepared] { PlaceSlice(run, ticket, prepared); };
  });
  if (!started) {
    run->attached.push_back(false);
    ++run->next;
    AttachNext(std::move(run));
  }
}

void PlaylistManager::PlaceSlice(std::shared_ptr<AttachRun> run, uint64_t ticket,
                                 std::shared_ptr<PlaylistLibrary::Prepared> prepared) {
  WhenNoDialog(this, [this, run, ticket, prepared] {
    uint64_t& placed = placed_ticket_[prepared->file()];
    bool ok = false;
    // A newer read put in place meanwhile (or a removal) drops this one.
    if (ticket > placed) {
      const auto until = SliceEnd();
      ChannelCatalogue::InstallStep step;
      do {
        step = library_.InstallStep(catalogue_, *prepared, kSliceStep);
      } while (step == ChannelCatalogue::InstallStep::kMore && std::chrono::steady_clock::now() < until);
      switch (step) {
        case ChannelCatalogue::InstallStep::kMore:
          if (!run->placing) ++placing_;
          run->placing = true;
          // The event loop answers between slices.
          QTimer::singleShot(0, this, [this, run, ticket, prepared] { PlaceSlice(run, ticket, prepared); });
          return;
        case ChannelCatalogue::InstallStep::kInstalled:
          placed = ticket;
          ok = true;
          emit PlaylistsChanged();
          break;
        case ChannelCatalogue::InstallStep::kFailed:
          break;
      }
    }
    if (run->placing) --placing_;
    run->placing = false;
    run->attached.push_back(ok);
    ++run->next;
    // What the playlist replaced, and a dropped read, are freed away
    // from the UI thread.
    DisposeInBackground(std::make_shared<PlaylistLibrary::Prepared>(std::move(*prepared)));
    AttachNext(run);
  });
}

void PlaylistManager::DisposeInBackground(std::shared_ptr<PlaylistLibrary::Prepared> garbage) {
  jobs_.Run([garbage]() mutable -> std::function<void()> {
    garbage.reset();
    ReturnFreeHeapPages();
    return {};
  });
}

namespace {

// A playlist the guide's channels come from, with its header's catch-up
// attributes (its tvg-shift among them).
struct GuidePlaylist {
  uint32_t index;  // in GuideChannelInputs::playlists
  CatchupAttributes header;
};

}  // namespace

struct PlaylistManager::GuideInputs {
  bool use_network = false;
  std::vector<std::u16string> addresses;
  std::vector<GuideFailure> refused;
  TextKeyMap<std::string> choices;
  // The playlist of each playlist country; the walk starts again when the
  // list changed between slices.
  std::unordered_map<const Country*, GuidePlaylist> playlist_of;
  bool started = false;
  uint64_t list_version = 0;
  size_t next = 0;  // in AllChannels()
  GuideChannelInputs channels;
};

void PlaylistManager::LoadGuide(bool use_network) {
  guide_loaded_at_ = Now();
  // A collection under way is replaced; what it was to fetch still is.
  if (guide_inputs_ != nullptr) use_network = use_network || guide_inputs_->use_network;
  guide_inputs_ = nullptr;
  if (library_.playlists().empty()) return;
  auto inputs = std::make_shared<GuideInputs>();
  inputs->use_network = use_network;
  auto add = [&inputs](std::u16string address) {
    std::vector<std::u16string>& addresses = inputs->addresses;
    if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) addresses.push_back(std::move(address));
  };
  if (std::optional<std::u16string> extra = FindSetting(kGuideAddressSetting)) {
    for (std::u16string& address : SplitGuideAddresses(*extra)) add(std::move(address));
  }
  const PlaylistGuideAddresses user_addresses = DecodePlaylistGuideAddresses(GetSetting(kPlaylistGuideAddressesSetting));
  for (const StoredPlaylist& playlist : library_.playlists()) {
    const bool remote_playlist = IsRemotePlaylistSource(playlist.source);
    for (std::u16string& address : SplitGuideAddresses(playlist.guide_address)) {
      // A playlist from the network must not make the player read local files.
      if (remote_playlist && !IsRemotePlaylistSource(address)) {
        inputs->refused.push_back({Utf16ToUtf8(address), "a playlist fetched from an address may not name a local file"});
        continue;
      }
      add(std::move(address));
    }
    // The user's own additions come after the playlist's: they fill gaps.
    if (auto own = user_addresses.find(playlist.key); own != user_addresses.end()) {
      for (const std::u16string& address : own->second) add(address);
    }
  }
  guides_all_local_ = std::none_of(inputs->addresses.begin(), inputs->addresses.end(),
                                   [](const std::u16string& address) { return IsRemotePlaylistSource(address); });
  inputs->choices = GuideChoices();
  guide_inputs_ = inputs;
  CollectGuideInputs(std::move(inputs));
}

void PlaylistManager::CollectGuideInputs(std::shared_ptr<GuideInputs> inputs) {
  if (inputs != guide_inputs_) return;  // replaced by a newer load
  const std::vector<Channel*>& all = catalogue_.AllChannels();
  if (!inputs->started || inputs->list_version != catalogue_.ListVersion()) {
    inputs->started = true;
    inputs->playlist_of.clear();
    inputs->channels = {};
    inputs->next = 0;
    inputs->list_version = catalogue_.ListVersion();
    size_t count = 0;
    for (const StoredPlaylist& playlist : library_.playlists()) {
      auto country = catalogue_.countries().find(playlist.key);
      if (country == catalogue_.countries().end()) continue;
      const auto index = static_cast<uint32_t>(inputs->channels.playlists.size());
      inputs->channels.playlists.push_back(playlist.key);
      inputs->playlist_of.emplace(country->second.get(), GuidePlaylist{index, DecodeCatchup(playlist.catchup)});
      inputs->channels.storage.push_back(country->second->storage());
      if (auto records = library_.RecordStorage(playlist.key)) inputs->channels.storage.push_back(std::move(records));
      count += country->second->channels().size();
    }
    // No copy of what was collected as the list grows.
    GuideChannelInputs& channels = inputs->channels;
    channels.channels.reserve(count);
    channels.records.reserve(count);
    channels.playlist_of.reserve(count);
  }
  GuideChannelInputs& channels = inputs->channels;
  const auto until = SliceEnd();
  for (; inputs->next < all.size(); ++inputs->next) {
    if (inputs->next % kSliceStep == 0 && std::chrono::steady_clock::now() >= until) break;
    const Channel* channel = all[inputs->next];
    const auto playlist = inputs->playlist_of.find(channel->country());
    if (playlist == inputs->playlist_of.end()) continue;
    const PlaylistChannelRecord record = library_.FindRecord(channel->key());
    const int64_t shift = GuideShiftSeconds(record.empty() ? CatchupAttributes{} : DecodeCatchup(record.info().catchup),
                                            playlist->second.header);
    const auto index = static_cast<uint32_t>(channels.channels.size());
    if (shift != 0) channels.shifts.emplace_back(index, shift);
    channels.channels.push_back(channel);
    channels.records.push_back(record);
    channels.playlist_of.push_back(playlist->second.index);
  }
  if (inputs->next < all.size()) {
    // The event loop answers between slices.
    QTimer::singleShot(0, this, [this, inputs] { CollectGuideInputs(inputs); });
    return;
  }
  guide_inputs_ = nullptr;
  StartGuideJobs(*inputs);
}

void PlaylistManager::StartGuideJobs(GuideInputs& inputs) {
  const GuideFolders folders{folders_.guides, folders_.guides.parent_path() / "guide.cache"};
  const int64_t now = Now();
  const std::atomic<bool>* cancel = jobs_.cancel();
  const bool use_network = inputs.use_network;
  const std::vector<std::u16string> addresses = std::move(inputs.addresses);
  const std::vector<GuideFailure> refused = std::move(inputs.refused);
  inputs.channels.choices = std::move(inputs.choices);
  auto shared_channels = std::make_shared<const GuideChannelInputs>(std::move(inputs.channels));
  // The cache first, so the guide shows at once; then the sources, when
  // something is due or changed.
  for (const bool cache_only : {true, false}) {
    const uint64_t generation = ++guide_generation_;
    jobs_.Run([this, addresses, folders, now, use_network, cache_only, shared_channels, cancel, generation,
               refused]() -> std::function<void()> {
      GuideJobResult result = RunGuideJob(addresses, folders, now, use_network, cache_only, *shared_channels, cancel);
      return [this, result = std::make_shared<GuideJobResult>(std::move(result)), generation, refused, cache_only] {
        if (result->load.store != nullptr && generation > applied_generation_) {
          applied_generation_ = generation;
          guide_ = result->load.store;
          // A million matches take a while to free: not on this thread.
          auto replaced = std::make_shared<TextKeyMap<int32_t>>(std::move(guide_matches_));
          jobs_.Run([replaced]() mutable -> std::function<void()> {
            replaced.reset();
            return {};
          });
          guide_matches_ = std::move(result->matches);
          guide_shifts_ = std::move(result->shifts);
          guide_counts_ = std::move(result->counts);
          emit GuideMatched();
          emit DecorationsChanged();
        }
        if (cache_only) return;
        std::vector<GuideFailure> failures = refused;
        failures.insert(failures.end(), result->load.failures.begin(), result->load.failures.end());
        QString details;
        for (const GuideFailure& failure : failures) {
          const std::string said = failure.address + "\n" + failure.reason;
          if (!failures_said_.insert(said).second) continue;
          if (!details.isEmpty()) details += QLatin1Char('\n');
          details += (failure.address.empty() ? QString()
                                              : QString::fromStdString(MaskCredentials(failure.address)) + QStringLiteral(": ")) +
                     QString::fromStdString(failure.reason);
        }
        if (!details.isEmpty()) emit GuideFailed(Text("msg_guide_failed"), details);
      };
    });
  }
}

std::optional<PlaylistChannelInfo> PlaylistManager::FindChannel(const Channel& channel) const {
  return library_.FindChannel(channel.key());
}

std::string PlaylistManager::ChannelNumber(const Channel& channel) const {
  const std::optional<PlaylistChannelInfo> info = FindChannel(channel);
  if (!info) return {};
  return info->channel_number.empty() ? std::to_string(info->position + 1) : std::string(info->channel_number);
}

ChannelArchive PlaylistManager::ArchiveOf(const Channel& channel) const {
  const std::optional<PlaylistChannelInfo> info = FindChannel(channel);
  if (!info || channel.sources().empty()) return {};
  CatchupAttributes header;
  for (const StoredPlaylist& playlist : library_.playlists()) {
    if (channel.country() != nullptr && playlist.key == channel.country()->key()) header = DecodeCatchup(playlist.catchup);
  }
  const StreamSource& source = channel.sources()[static_cast<size_t>(channel.current_source())];
  return ReadChannelArchive(DecodeCatchup(info->catchup), header, source.address);
}

const QImage* PlaylistManager::Logo(const Channel& channel) {
  const std::optional<PlaylistChannelInfo> info = FindChannel(channel);
  if (!info) return nullptr;
  const std::u16string logo = Utf8ToUtf16(info->logo);
  return LogoAllowed(channel, logo) ? logos_.Find(logo) : nullptr;
}

bool PlaylistManager::LogoAllowed(const Channel& channel, std::u16string_view logo) const {
  // A playlist from the network must not make the player read local files.
  if (logo.empty() || IsRemotePlaylistSource(logo) || channel.country() == nullptr) return true;
  for (const StoredPlaylist& playlist : library_.playlists()) {
    if (playlist.key == channel.country()->key()) return !IsRemotePlaylistSource(playlist.source);
  }
  return true;
}

std::filesystem::path PlaylistManager::LogoFile(const Channel& channel) {
  const std::optional<PlaylistChannelInfo> info = FindChannel(channel);
  if (!info) return {};
  const std::u16string logo = Utf8ToUtf16(info->logo);
  if (!LogoAllowed(channel, logo) || logos_.Find(logo) == nullptr) return {};
  return logos_.CachedFile(logo);
}

int32_t PlaylistManager::GuideChannelOf(const Channel& channel) const {
  if (!guide_) return -1;
  const auto it = guide_matches_.find(channel.key());
  return it == guide_matches_.end() ? -1 : it->second;
}

int32_t PlaylistManager::OwnGuideChannelOf(const Channel& channel) const {
  return own_guide_ ? own_guide_->FindChannel(channel.key()) : -1;
}

ChannelProgrammes::NowNext PlaylistManager::GuideNowNext(const Channel& channel) const {
  return GuideProgrammes(channel).FindNowNext(Now());
}

ChannelProgrammes PlaylistManager::GuideProgrammes(const Channel& channel) const {
  const int32_t index = GuideChannelOf(channel);
  if (index >= 0) return ChannelProgrammes(guide_->Programmes(static_cast<size_t>(index)), GuideShiftOf(channel));
  // A provider's short guide already has the channel's own times.
  const int32_t own = OwnGuideChannelOf(channel);
  return own < 0 ? ChannelProgrammes() : ChannelProgrammes(own_guide_->Programmes(static_cast<size_t>(own)), 0);
}

int64_t PlaylistManager::GuideShiftOf(const Channel& channel) const {
  const auto it = guide_shifts_.find(channel.key());
  return it == guide_shifts_.end() ? 0 : it->second;
}

std::vector<std::u16string> PlaylistManager::PlaylistGuideAddressesOf(const std::string& key) const {
  const StoredPlaylist* playlist = library_.Find(key);
  return playlist == nullptr ? std::vector<std::u16string>() : SplitGuideAddresses(playlist->guide_address);
}

std::vector<std::u16string> PlaylistManager::UserGuideAddressesOf(const std::string& key) const {
  const PlaylistGuideAddresses all = DecodePlaylistGuideAddresses(GetSetting(kPlaylistGuideAddressesSetting));
  const auto it = all.find(key);
  return it == all.end() ? std::vector<std::u16string>() : it->second;
}

void PlaylistManager::SetUserGuideAddresses(const std::string& key, std::vector<std::u16string> addresses) {
  PlaylistGuideAddresses all = DecodePlaylistGuideAddresses(GetSetting(kPlaylistGuideAddressesSetting));
  std::vector<std::u16string> kept;
  for (std::u16string& address : addresses) {
    if (!address.empty() && std::find(kept.begin(), kept.end(), address) == kept.end()) kept.push_back(std::move(address));
  }
  if (kept == (all.contains(key) ? all[key] : std::vector<std::u16string>())) return;
  if (kept.empty()) all.erase(key);
  else all[key] = std::move(kept);
  SetSetting(kPlaylistGuideAddressesSetting, EncodePlaylistGuideAddresses(all));
  LoadGuide(true);
}

const QImage* PlaylistManager::ProgrammeIcon(TextRef icon) {
  if (!guide_ || icon == 0) return nullptr;
  const std::string_view address = guide_->Text(icon);
  const std::u16string wide = Utf8ToUtf16(address);
  // A guide from the network must not make the player read local files.
  if (!IsRemotePlaylistSource(wide) && !guides_all_local_) return nullptr;
  return programme_icons_.Find(wide);
}

QString PlaylistManager::GuideText(TextRef ref) const {
  const GuideStore* store = (ref & kOwnGuideTextBit) != 0 ? own_guide_.get() : guide_.get();
  ref &= ~kOwnGuideTextBit;
  if (store == nullptr || ref == 0) return {};
  const std::string_view text = store->Text(ref);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void PlaylistManager::SetChannelProgrammes(const std::string& channel_key, std::vector<ChannelProgramme> programmes) {
  std::erase_if(own_programmes_, [&channel_key](const auto& set) { return set.first == channel_key; });
  if (own_programmes_.size() >= kMaxChannelProgrammeSets) own_programmes_.erase(own_programmes_.begin());
  own_programmes_.emplace_back(channel_key, std::move(programmes));
  // A few channels of a few dozen programmes each: rebuilt whole.
  auto store = std::make_shared<GuideStore>();
  for (const auto& [key, list] : own_programmes_) {
    const int32_t channel = store->AddChannel(key);
    if (channel < 0) continue;
    for (const ChannelProgramme& programme : list) {
      ProgrammeRecord record;
      record.start = programme.start;
      record.stop = programme.stop;
      if (const TextRef title = store->Intern(programme.title)) record.title = title | kOwnGuideTextBit;
      if (const TextRef text = store->Intern(programme.description)) record.description = text | kOwnGuideTextBit;
      store->AddProgramme(channel, record);
    }
  }
  store->Finish();
  own_guide_ = std::move(store);
  emit DecorationsChanged();
}

size_t PlaylistManager::PlaylistChannelCount(const std::string& key) const {
  const auto country = catalogue_.countries().find(key);
  return country == catalogue_.countries().end() ? 0 : country->second->channels().size();
}

size_t PlaylistManager::GuideMatchCount(const std::string& key) const {
  const auto it = guide_counts_.find(key);
  return it == guide_counts_.end() ? 0 : it->second;
}

void PlaylistManager::ChooseGuideChannel(const Channel& channel, const std::string& guide_id) {
  TextKeyMap<std::string> choices = GuideChoices();
  if (guide_id.empty()) choices.erase(std::string(channel.key()));
  else choices[std::string(channel.key())] = guide_id;
  std::string text;
  for (const auto& [key, id] : choices) {
    if (!text.empty()) text += '\x1e';
    text += key + '\x1f' + id;
  }
  SetSetting(kGuideChoicesSetting, Utf8ToUtf16(text));
  if (guide_ && !guide_id.empty()) {
    const int32_t index = guide_->FindChannel(guide_id);
    if (index >= 0) guide_matches_[std::string(channel.key())] = index;
    emit DecorationsChanged();
  }
  LoadGuide(false);
}

const SkinImage* PlaylistManager::PlaylistMark() {
  // A small list sign in the flag's place: three bullets and lines.
  static const SkinImage mark = [] {
    QImage image(32, 22, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 90, 170));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 31, 21), 3, 3);
    painter.setBrush(QColor(250, 250, 255));
    for (int i = 0; i < 3; ++i) {
      painter.drawEllipse(QRectF(5, 4 + i * 5.5, 3.5, 3.5));
      painter.drawRect(QRectF(11, 4.7 + i * 5.5, 16, 2.2));
    }
    painter.end();
    return SkinImage(image);
  }();
  return &mark;
}

}  // namespace vidora
