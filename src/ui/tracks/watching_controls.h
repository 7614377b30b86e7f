#ifndef VIDORA_UI_TRACKS_WATCHING_CONTROLS_H_
#define VIDORA_UI_TRACKS_WATCHING_CONTROLS_H_

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <optional>
#include <string>
#include <vector>

#include "core/playback/playback_events.h"
#include "core/tracks/picture_options.h"
#include "core/tracks/track_choices.h"
#include "ui/tracks/picture_note.h"

class QMenu;
class QShortcut;
class QAction;
class QWidget;

namespace vidora {

class PlaybackControl;
class PlayerHost;

// What a viewer reaches for while watching: the sound and subtitle tracks
// (A cycles sound, S or V subtitles, each with a note over the picture,
// and menus listing the tracks by language), the preferred languages
// applied to every channel, the choice remembered per channel, the
// picture's shape (aspect, zoom to fill, deinterlacing), decoding on the
// graphics device, and the stream information (I). Settings are read at
// construction and written as they change. `frame` owns the keys and this
// object; `playback` must outlive it. UI thread only.
class WatchingControls : public QObject {
  Q_OBJECT

 public:
  static constexpr int kInfoRefreshMs = 1000;

  WatchingControls(QWidget* frame, PlaybackControl& playback);
  ~WatchingControls() override;

  // Adds "Audio", "Subtitles", "Picture" and "Stream information" to
  // `menu` before `before` (null: at the end).
  void AddMenus(QMenu* menu, QAction* before);

  void CycleAudio() { Cycle(TrackKind::kAudio); }
  void CycleSubtitles() { Cycle(TrackKind::kSubtitle); }
  void ToggleInformation();
  // Plays track `id` of `kind` (no id: subtitles off), says so over the
  // picture and remembers it for the channel that plays.
  void Choose(TrackKind kind, std::optional<int64_t> id);
  void SetPicture(const PictureOptions& options);

  const StreamTracks& tracks() const { return tracks_; }
  const PictureOptions& picture() const { return picture_; }
  PictureNote* note() const { return note_; }
  PictureNote* information() const { return info_; }

 private:
  PlayerHost* host() const;
  void Cycle(TrackKind kind);
  void OnAddressStarting(const std::string& channel_key);
  void OnTracks(const StreamTracks& tracks);
  void FillTrackMenu(QMenu* menu, TrackKind kind);
  void FillPictureMenu(QMenu* menu);
  void RefreshInformation();
  QString SourceText() const;

  QWidget* frame_;
  PlaybackControl& playback_;
  TrackChoices choices_;
  PictureOptions picture_;
  bool hardware_decoding_ = false;
  std::string channel_key_;  // of the address that plays; empty: none to remember for
  StreamTracks tracks_;
  QPointer<PictureNote> note_;
  QPointer<PictureNote> info_;
  QTimer info_timer_;
  std::vector<QPointer<QShortcut>> shortcuts_;
};

}  // namespace vidora

#endif  // VIDORA_UI_TRACKS_WATCHING_CONTROLS_H_
