#include "ui/playlists/playlist_manager.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <unordered_set>

#include "core/document/text_codec.h"
#include "core/playlists/guide_loader.h"
#include "core/playlists/playlist_import.h"
#include "core/playlists/playlist_paths.h"
#include "core/stores/settings_store.h"
#include "ui/playlists/import_messages.h"
#include "ui/stores/resource_pack.h"
#include "ui/stores/ui_texts.h"

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
  library_.AttachAll(catalogue_, PlaylistMark(), SettingsChannelsNode());
  // The channel played last may be one of the playlists'.
  if (catalogue_.CurrentChannel() == nullptr) catalogue_.RestoreCurrentChannel();

  connect(&logos_, &LogoCache::LogoReady, this, &PlaylistManager::DecorationsChanged);
  connect(&minute_timer_, &QTimer::timeout, this, [this] {
    if (Now() - guide_loaded_at_ >= kGuideRefreshSeconds) LoadGuide(true);
    emit DecorationsChanged();  // a new programme may have begun
  });
  minute_timer_.start(60 * 1000);

  const std::vector<StoredPlaylist> due = library_.DueForRefresh(Now());
  if (!due.empty()) Refresh(due, false);
  else LoadGuide(true);
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
    return [this, result = std::move(result), source] {
      if (result.failure == ImportFailure::kStream) {
        emit StreamGiven(source);
        return;
      }
      const QString detail = source + QStringLiteral("\n") + QString::fromStdString(result.reason);
      if (!result.ok) {
        emit Imported(false, detail, ImportFailureText(result));
        return;
      }
      WhenNoDialog(this, [this, result, source] {
        const bool attached = library_.Attach(catalogue_, result.file, PlaylistMark(), SettingsChannelsNode());
        emit PlaylistsChanged();
        emit Imported(attached, source, attached ? ImportSummaryText(result) : Text("msg_import_unreadable"));
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
    return [this, results = std::move(results), report] {
      WhenNoDialog(this, [this, results, report] {
        size_t failed = 0;
        QStringList details;
        for (const auto& [file, result] : results) {
          if (result.ok) {
            library_.Attach(catalogue_, result.file, PlaylistMark(), SettingsChannelsNode());
            continue;
          }
          ++failed;
          const StoredPlaylist* stored = library_.Find(result.key.empty() ? file.stem().string() : result.key);
          const QString name = stored != nullptr ? QString::fromStdU16String(stored->name) : QString();
          details.append(name + QStringLiteral(": ") + ImportFailureText(result));
        }
        // Many failures (a network that is down) make one sentence.
        if (report && failed > 0) emit Imported(false, details.join(QLatin1Char('\n')), RefreshFailureText(failed));
        emit PlaylistsChanged();
        LoadGuide(true);
      });
    };
  });
}

void PlaylistManager::RemovePlaylist(const std::string& key) {
  library_.Remove(catalogue_, key);
  emit PlaylistsChanged();
}

void PlaylistManager::RenamePlaylist(const std::string& key, const QString& name) {
  const StoredPlaylist* playlist = library_.Find(key);
  if (playlist == nullptr) return;
  jobs_.Run([this, file = playlist->file, name = name.toStdU16String()]() -> std::function<void()> {
    const bool renamed = RenameStoredPlaylist(file, name);
    return [this, file, renamed] {
      if (!renamed) return;
      WhenNoDialog(this, [this, file] {
        library_.Attach(catalogue_, file, PlaylistMark(), SettingsChannelsNode());
        emit PlaylistsChanged();
      });
    };
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
