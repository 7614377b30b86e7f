#ifndef VIDORA_UI_PLAYLISTS_PLAYLIST_NOTE_H_
#define VIDORA_UI_PLAYLISTS_PLAYLIST_NOTE_H_

#include <QString>

class QWidget;

namespace vidora {

// Shows `text` as a short note at the top of `window` (replacing the one
// shown before) for a few seconds, `detail` as its tooltip. The note
// belongs to `window`. UI thread.
void ShowPlaylistNote(QWidget* window, const QString& text, const QString& detail);

// Tells a failure in a modal box owned by `owner`: `text` the sentence,
// `detail` (the source and the technical reason) its tooltip. Nothing is
// shown while the player closes. UI thread.
void ShowPlaylistFailure(QWidget* owner, const QString& text, const QString& detail);

}  // namespace vidora

#endif  // VIDORA_UI_PLAYLISTS_PLAYLIST_NOTE_H_
