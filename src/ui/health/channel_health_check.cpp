#include "ui/health/channel_health_check.h"

#include <QLocale>
#include <QPointer>

#include <ctime>
#include <fstream>
#include <iterator>
#include <set>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "core/catalogue/channel.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/document/atomic_file.h"
#include "core/document/text_codec.h"
#include "core/health/health_settings.h"
#include "core/playback/provider_table.h"
#include "core/stores/app_paths.h"
#include "ui/catalogue/channel_health_view.h"
#include "ui/health/health_check_dialog.h"
#include "ui/playback/mpv_backend.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

ChannelHealthCheck* g_current = nullptr;

// A results file beyond this is no file the player wrote.
constexpr uintmax_t kMaxResultsFileBytes = 256u << 20;

int64_t SystemNow() { return static_cast<int64_t>(std::time(nullptr)); }

void RequestCheck(QWidget* owner, std::vector<Channel*> channels) {
  if (g_current != nullptr) g_current->Check(owner, channels);
}

}  // namespace

// One check under way and what it covers.
struct ChannelHealthCheck::Running {
  std::shared_ptr<HealthCheckRun> run;
  std::shared_ptr<std::atomic<bool>> cancel = std::make_shared<std::atomic<bool>>(false);
  // Per checked channel with sources, its sources' places in the run.
  std::vector<std::vector<uint32_t>> channel_sources;
  bool ended = false;
  // Runs once this check ended (a check the user asked for waits for a
  // quiet one to stop, so that the connections stay within the bounds).
  std::function<void()> then;
};

ChannelHealthCheck::Options ChannelHealthCheck::DefaultOptions() {
  Options options;
  options.file = JoinPath(CurrentAppPaths().cache_folder, kHealthBookFileName);
  return options;
}

ChannelHealthCheck::ChannelHealthCheck(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
  if (!options_.clock) options_.clock = SystemNow;
  g_current = this;
  SetCurrentHealthBook(&book_);
  SetChannelCheckRequest(&RequestCheck);
  Load();
  recheck_timer_.setSingleShot(true);
  connect(&recheck_timer_, &QTimer::timeout, this, &ChannelHealthCheck::RecheckStale);
  if (options_.recheck_delay_ms >= 0) recheck_timer_.start(options_.recheck_delay_ms);
}

ChannelHealthCheck::~ChannelHealthCheck() {
  if (running_ != nullptr) running_->cancel->store(true);
  if (g_current == this) {
    g_current = nullptr;
    SetCurrentHealthBook(nullptr);
    SetChannelCheckRequest(nullptr);
  }
}

ChannelHealthCheck* ChannelHealthCheck::Current() { return g_current; }

std::shared_ptr<ChannelHealthCheck::Running> ChannelHealthCheck::Start(const std::vector<Channel*>& channels,
                                                                       std::function<void(Running&)> finished) {
  auto running = std::make_shared<Running>();
  // Each source once, however many channels or lists share it.
  std::vector<ProbeTarget> targets;
  std::unordered_map<std::string_view, uint32_t> places;
  std::set<std::string, std::less<>> providers;
  const PlaylistManager* playlists = PlaylistManager::Current();
  const std::string default_agent = MpvBackend::DefaultUserAgent();
  for (const Channel* channel : channels) {
    if (channel == nullptr || channel->sources().empty()) continue;
    std::vector<uint32_t> mine;
    const std::optional<PlaylistChannelInfo> info = playlists != nullptr ? playlists->FindChannel(*channel) : std::nullopt;
    for (const StreamSource& source : channel->sources()) {
      const auto [it, added] = places.try_emplace(source.address, static_cast<uint32_t>(targets.size()));
      mine.push_back(it->second);
      if (!added) continue;
      ProbeTarget target;
      target.address = Utf8ToUtf16(source.address);
      target.provider = std::string(channel->provider());
      // The request the player would send: the playlist's headers for this
      // source, else the player's own agent.
      if (info.has_value()) {
        SourceRequest request = RequestForSource(*info, source.address);
        target.user_agent = std::move(request.user_agent);
        target.referrer = std::move(request.referrer);
        target.cookie = std::move(request.cookie);
      }
      if (target.user_agent.empty()) target.user_agent = default_agent;
      if (!target.provider.empty()) providers.insert(target.provider);
      targets.push_back(std::move(target));
    }
    running->channel_sources.push_back(std::move(mine));
  }
  // Provider channels resolve their addresses on the probing threads, each
  // with copies of its own.
  std::vector<ProviderSet> copies;
  if (!providers.empty()) {
    copies.resize(static_cast<size_t>(std::max(1, options_.limits.connections)));
    for (ProviderSet& set : copies) {
      for (const std::string& name : providers) {
        if (StreamAddressProvider* provider = Providers().Find(name)) set.emplace(name, provider->CopyForWorker());
      }
    }
  }
  running->run = std::make_shared<HealthCheckRun>(std::move(targets), options_.limits, std::move(copies));
  running_ = running;
  auto end = [this, running, finished] {
    running->ended = true;
    if (running_ == running) running_.reset();
    Record(*running->run);
    last_run_ = running->run;
    if (finished) finished(*running);
    Save();
    emit ResultsChanged();
    if (running->then) running->then();
  };
  const bool started = jobs_.Run([run = running->run, cancel = running->cancel, end]() -> std::function<void()> {
    run->Run(cancel.get());
    return end;
  });
  if (!started) {
    // No thread: nothing was probed; the check ends at once.
    QMetaObject::invokeMethod(this, end, Qt::QueuedConnection);
  }
  return running;
}

void ChannelHealthCheck::Check(QWidget* owner, const std::vector<Channel*>& channels) {
  if (running_ != nullptr && running_->then) return;  // one check the user asked for at a time
  // Shared with the callbacks, which may outlive this call when the window
  // is closed from outside.
  auto mine = std::make_shared<std::shared_ptr<Running>>();
  auto dialog = std::make_shared<QPointer<HealthCheckDialog>>();
  size_t total = 0;
  for (const Channel* channel : channels) total += channel != nullptr ? channel->sources().size() : 0;
  auto finished = [dialog](Running&) {
    if (*dialog != nullptr) (*dialog)->Finish();
  };
  auto start = [this, mine, channels, finished] { *mine = Start(channels, finished); };
  if (running_ != nullptr) {
    // A quiet re-check runs: it stops first, then this one starts.
    running_->cancel->store(true);
    running_->then = start;
  } else {
    start();
  }
  HealthCheckDialog window(
      owner, total,
      [mine] {
        HealthCheckDialog::Progress progress;
        if (*mine != nullptr) {
          progress.done = (*mine)->run->done();
          progress.dead = (*mine)->run->dead();
          progress.total = (*mine)->run->targets().size();
        }
        return progress;
      },
      [mine] {
        if (*mine != nullptr) (*mine)->cancel->store(true);
      });
  *dialog = &window;
  window.exec();
  const bool cancelled = window.cancelled();
  *dialog = nullptr;
  if (*mine == nullptr || !(*mine)->ended) {
    // The window was closed from outside (the player closes): the probes
    // stop and nothing is said.
    if (*mine != nullptr) (*mine)->cancel->store(true);
    else if (running_ != nullptr) running_->then = nullptr;
    return;
  }
  last_summary_ = Summary(**mine, cancelled);
  if (options_.show_summary) ShowPlainMessageBox(owner, last_summary_, Text("menu_check_channels"));
}

void ChannelHealthCheck::CheckEverything(QWidget* owner) {
  if (Catalogue() == nullptr) return;
  Check(owner, Catalogue()->AllChannels());
}

void ChannelHealthCheck::Record(const HealthCheckRun& run) {
  const int64_t now = options_.clock();
  for (size_t i = 0; i < run.results().size(); ++i) {
    SourceCheck check = run.results()[i];
    // A source that could not be checked keeps what was known of it.
    if (check.state == SourceState::kUnknown) continue;
    check.checked_at = now;
    book_.Record(Utf16ToUtf8(run.targets()[i].address), check);
  }
}

QString ChannelHealthCheck::Summary(const Running& running, bool cancelled) const {
  const std::vector<SourceCheck>& results = running.run->results();
  size_t dead = 0;
  size_t live = 0;
  for (const std::vector<uint32_t>& sources : running.channel_sources) {
    bool all_dead = !sources.empty();
    bool any_live = false;
    for (uint32_t place : sources) {
      all_dead = all_dead && results[place].state == SourceState::kDead;
      any_live = any_live || results[place].state == SourceState::kLive;
    }
    if (all_dead) ++dead;
    if (any_live) ++live;
  }
  const QLocale locale;
  const QString dead_text = locale.toString(static_cast<qulonglong>(dead));
  const QString total_text = locale.toString(static_cast<qulonglong>(running.channel_sources.size()));
  // "All answered" only when each channel has a source that did; sources
  // that could not be checked (or were not, after Cancel) answered nothing.
  QString text = live == running.channel_sources.size() && !cancelled
                     ? Text("str_check_all_answered").arg(total_text)
                     : Text("str_check_summary").arg(dead_text, total_text);
  if (cancelled) text = Text("str_check_cancelled") + QLatin1Char(' ') + text;
  return text;
}

void ChannelHealthCheck::Save() {
  std::string text = book_.Encode();
  jobs_.Run([file = options_.file, text = std::move(text)]() -> std::function<void()> {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    // A failed write keeps the last file; the results are made again by
    // the next check.
    SaveBytesAtomically(reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint32_t>(text.size()), file);
    return [] {};
  });
}

void ChannelHealthCheck::Load() {
  jobs_.Run([this, file = options_.file]() -> std::function<void()> {
    auto loaded = std::make_shared<HealthBook>();
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(file, error);
    if (!error && size <= kMaxResultsFileBytes) {
      std::ifstream in(file, std::ios::binary);
      const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      HealthBook::Decode(text, *loaded);
    }
    return [this, loaded] {
      if (loaded->empty()) return;
      book_.Merge(*loaded);
      emit ResultsChanged();
    };
  });
}

void ChannelHealthCheck::RecheckStale() {
  if (running_ != nullptr || book_.empty() || Catalogue() == nullptr) return;
  const std::vector<std::string> stale = book_.Stale(options_.clock());
  if (stale.empty()) return;
  const std::set<std::string_view> wanted(stale.begin(), stale.end());
  // Whole channels, so that their order of sources is judged on one day's
  // results.
  std::vector<Channel*> channels;
  for (Channel* channel : Catalogue()->AllChannels()) {
    for (const StreamSource& source : channel->sources()) {
      if (wanted.contains(source.address)) {
        channels.push_back(channel);
        break;
      }
    }
  }
  if (!channels.empty()) Start(channels, nullptr);
}

}  // namespace vidora
