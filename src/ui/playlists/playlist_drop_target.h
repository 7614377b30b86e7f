#ifndef VIDORA_UI_PLAYLISTS_PLAYLIST_DROP_TARGET_H_
#define VIDORA_UI_PLAYLISTS_PLAYLIST_DROP_TARGET_H_

#include <QObject>
#include <QStringList>

class QMimeData;

namespace vidora {

class PlaylistManager;

// Lets files and links dropped onto `window` become playlists: installs
// itself as the window's event filter (owned by the window) and hands each
// dropped file or link to PlaylistManager::Current(). UI thread only.
class PlaylistDropTarget : public QObject {
  Q_OBJECT

 public:
  static PlaylistDropTarget* Install(QWidget* window);

  // The playlist sources a drop carries: local files as paths, other links
  // as addresses, else a single line of text that looks like an address.
  static QStringList SourcesOf(const QMimeData& data);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit PlaylistDropTarget(QObject* parent) : QObject(parent) {}
};

}  // namespace vidora

#endif  // VIDORA_UI_PLAYLISTS_PLAYLIST_DROP_TARGET_H_
