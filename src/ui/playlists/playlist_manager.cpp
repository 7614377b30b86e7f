#include "ui/playlists/playlist_manager.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <unordered_set>

#include "core/document/large_block.h"
#include "core/document/text_codec.h"
#include "core/playlists/guide_loader.h"
#include "core/playlists/playlist_document.h"
#include "core/playlists/playlist_import.h"
#include "core/playlists/playlist_paths.h"
#include "core/stores/settings_store.h"
#include "ui/stores/resource_pack.h"

namespace vidora {

namespace {

PlaylistManager* g_current = nullptr;

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
      logos_(folders_.logos) {
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

void PlaylistManager::AddPlaylistSource(const QString& text) {
  QString source = text.trimmed();
  if (source.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) source = QUrl(source).toLocalFile();
  if (!IsRemotePlaylistSource(source.toStdU16String()) && !source.isEmpty()) {
    source = QFileInfo(source).absoluteFilePath();  // relative entries resolve against its folder
  }
  const std::u16string key = source.toStdU16String();
  const std::filesystem::path folder = folders_.playlists;
  const int64_t now = Now();
  const std::atomic<bool>* cancel = jobs_.cancel();
  jobs_.Run([this, key, folder, now, cancel, source]() -> std::function<void()> {
    PlaylistImport result = FetchAndImportPlaylist(key, u"", folder, now, cancel);
    // The parsed playlist is gone: its pages go back to the system.
    ReturnFreeHeapPages();
    return [this, result = std::move(result), source] {
      if (!result.ok) {
        emit Imported(false, source, QString::fromStdString(result.reason));
        return;
      }
      AttachInBackground({result.file}, [this, source](const std::vector<bool>& attached) {
        const bool ok = !attached.empty() && attached[0];
        emit Imported(ok, source, ok ? QString() : QStringLiteral("cannot read the stored playlist"));
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
        if (report) {
          for (const auto& [file, result] : results) {
            emit Imported(result.ok, QString::fromStdString(file.string()), QString::fromStdString(result.reason));
          }
        }
        LoadGuide(true);
      });
    };
  });
}

void PlaylistManager::RemovePlaylist(const std::string& key) {
  // A read still under way must not bring it back.
  if (const StoredPlaylist* playlist = library_.Find(key)) placed_ticket_[playlist->file] = tickets_;
  library_.Remove(catalogue_, key);
  emit PlaylistsChanged();
}

struct PlaylistManager::AttachRun {
  std::vector<std::filesystem::path> files;
  size_t next = 0;
  std::vector<bool> attached;
  AttachDone done;
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
    return [this, run, file, ticket, prepared] {
      WhenNoDialog(this, [this, run, file, ticket, prepared] {
        uint64_t& placed = placed_ticket_[file];
        bool ok = false;
        if (ticket > placed) {
          placed = ticket;
          ok = library_.Install(catalogue_, *prepared);
          if (ok) emit PlaylistsChanged();
        }
        run->attached.push_back(ok);
        ++run->next;
        // What the playlist replaced, and a dropped read, are freed away
        // from the UI thread.
        DisposeInBackground(std::make_shared<PlaylistLibrary::Prepared>(std::move(*prepared)));
        AttachNext(run);
      });
    };
  });
  if (!started) {
    run->attached.push_back(false);
    ++run->next;
    AttachNext(std::move(run));
  }
}

void PlaylistManager::DisposeInBackground(std::shared_ptr<PlaylistLibrary::Prepared> garbage) {
  jobs_.Run([garbage]() mutable -> std::function<void()> {
    garbage.reset();
    ReturnFreeHeapPages();
    return {};
  });
}

void PlaylistManager::LoadGuide(bool use_network) {
  guide_loaded_at_ = Now();
  std::vector<std::u16string> addresses;
  GuideRequest request;
  std::vector<std::u16string> guide_texts;
  if (std::optional<std::u16string> extra = FindSetting(kGuideAddressSetting)) guide_texts.push_back(*extra);
  for (const StoredPlaylist& playlist : library_.playlists()) guide_texts.push_back(playlist.guide_address);
  if (library_.playlists().empty()) return;
  for (const std::u16string& text : guide_texts) {
    for (std::u16string& address : SplitGuideAddresses(text)) {
      if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
        addresses.push_back(std::move(address));
      }
    }
  }
  if (addresses.empty()) return;
  for (const StoredPlaylist& playlist : library_.playlists()) {
    auto country = catalogue_.countries().find(playlist.key);
    if (country == catalogue_.countries().end()) continue;
    for (const auto& [name, channel] : country->second->channels()) {
      const PlaylistChannelInfo* info = library_.FindChannel(channel->key());
      if (info != nullptr && !info->guide_id.empty()) {
        request.ids.emplace(info->guide_id);
      } else {
        const std::string key = GuideKey({}, Utf16ToUtf8(channel->name()));
        request.names.emplace(key.substr(5), key);
      }
    }
  }
  // Programmes that began before now may still run; the next 24 hours.
  request.from = Now() - 6 * 3600;
  request.to = Now() + 24 * 3600;
  const std::filesystem::path cache = folders_.guides;
  const int64_t now = Now();
  const std::atomic<bool>* cancel = jobs_.cancel();
  jobs_.Run([this, addresses, request = std::move(request), cache, now, use_network, cancel]() -> std::function<void()> {
    GuideLoad load = vidora::LoadGuide(addresses, request, cache, now, use_network, cancel);
    return [this, guide = std::shared_ptr<const ProgrammeGuide>(std::move(load.guide))] {
      guide_ = guide;
      emit DecorationsChanged();
    };
  });
}

const PlaylistChannelInfo* PlaylistManager::FindChannel(const Channel& channel) const {
  return library_.FindChannel(channel.key());
}

const QImage* PlaylistManager::Logo(const Channel& channel) {
  const PlaylistChannelInfo* info = FindChannel(channel);
  return info == nullptr ? nullptr : logos_.Find(std::u16string(info->logo));
}

std::filesystem::path PlaylistManager::LogoFile(const Channel& channel) {
  const PlaylistChannelInfo* info = FindChannel(channel);
  if (info == nullptr || logos_.Find(std::u16string(info->logo)) == nullptr) return {};
  return logos_.CachedFile(std::u16string(info->logo));
}

std::string PlaylistManager::GuideKeyOf(const Channel& channel) const {
  const PlaylistChannelInfo* info = FindChannel(channel);
  if (info == nullptr) return {};
  return GuideKey(info->guide_id, Utf16ToUtf8(channel.name()));
}

NowNext PlaylistManager::GuideNowNext(const Channel& channel) const {
  if (!guide_) return {};
  const std::string key = GuideKeyOf(channel);
  return key.empty() ? NowNext{} : guide_->FindNowNext(key, Now());
}

std::vector<Programme> PlaylistManager::GuideFrom(const Channel& channel, int64_t from) const {
  std::vector<Programme> result;
  if (!guide_) return result;
  const std::string key = GuideKeyOf(channel);
  const std::vector<Programme>* programmes = key.empty() ? nullptr : guide_->Find(key);
  if (programmes == nullptr) return result;
  for (const Programme& programme : *programmes) {
    if (programme.stop > from) result.push_back(programme);
  }
  return result;
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
