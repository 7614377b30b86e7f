#include "ui/playlists/playlist_drop_target.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "ui/playlists/playlist_manager.h"

namespace vidora {

PlaylistDropTarget* PlaylistDropTarget::Install(QWidget* window) {
  auto* target = new PlaylistDropTarget(window);
  window->setAcceptDrops(true);
  window->installEventFilter(target);
  return target;
}

QStringList PlaylistDropTarget::SourcesOf(const QMimeData& data) {
  QStringList sources;
  if (data.hasUrls()) {
    for (const QUrl& url : data.urls()) {
      if (url.isLocalFile()) {
        sources << url.toLocalFile();
      } else if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) {
        sources << url.toString();
      }
    }
    return sources;
  }
  const QString text = data.text().trimmed();
  if (!text.isEmpty() && !text.contains(QLatin1Char('\n')) &&
      (text.startsWith(QLatin1String("http://")) || text.startsWith(QLatin1String("https://")))) {
    sources << text;
  }
  return sources;
}

bool PlaylistDropTarget::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (drag->mimeData() != nullptr && !SourcesOf(*drag->mimeData()).isEmpty()) {
        drag->acceptProposedAction();
        return true;
      }
      return false;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      PlaylistManager* manager = PlaylistManager::Current();
      if (manager == nullptr || drop->mimeData() == nullptr) return false;
      const QStringList sources = SourcesOf(*drop->mimeData());
      if (sources.isEmpty()) return false;
      // One dropped list is opened once in place; several are only added.
      for (const QString& source : sources) manager->AddPlaylistSource(source, sources.size() == 1);
      drop->acceptProposedAction();
      return true;
    }
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace vidora
