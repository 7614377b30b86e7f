#include "ui/tracks/watching_controls.h"

#include <QActionGroup>
#include <QDir>
#include <QMenu>
#include <QShortcut>
#include <QUrl>
#include <QWidget>

#include <utility>

#include "core/catalogue/channel.h"
#include "core/stores/settings_store.h"
#include "ui/playback/playback_control.h"
#include "ui/playback/player_host.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"
#include "ui/tracks/languages_dialog.h"
#include "ui/tracks/picture_note.h"
#include "ui/tracks/track_labels.h"
#include "ui/tracks/track_settings.h"

namespace vidora {
namespace {

// Where the machine has a render device, decoding there is offered on by
// default; the engine falls back to the CPU when the device refuses.
bool HasRenderDevice() {
  return !QDir(QStringLiteral("/dev/dri")).entryList({QStringLiteral("renderD*")}, QDir::System).isEmpty();
}

PictureOptions StoredPicture() {
  PictureOptions options;
  const int aspect = GetSetting(kPictureAspectSetting);
  if (aspect >= 0 && aspect <= static_cast<int>(PictureOptions::Aspect::kStretch)) {
    options.aspect = static_cast<PictureOptions::Aspect>(aspect);
  }
  options.fill = GetSetting(kPictureFillSetting);
  const int deinterlace = GetSetting(kDeinterlaceSetting);
  if (deinterlace >= 0 && deinterlace <= static_cast<int>(PictureOptions::Deinterlace::kOff)) {
    options.deinterlace = static_cast<PictureOptions::Deinterlace>(deinterlace);
  }
  return options;
}

QString KindCaption(TrackKind kind) { return Text(kind == TrackKind::kAudio ? "note_audio" : "note_subtitles"); }

}  // namespace

WatchingControls::WatchingControls(QWidget* frame, PlaybackControl& playback)
    : QObject(frame), frame_(frame), playback_(playback),
      choices_(TrackChoices::Decode(GetSetting(kTrackChoicesSetting))), picture_(StoredPicture()) {
  const int hardware = GetSetting(kHardwareDecodingSetting);
  hardware_decoding_ = hardware < 0 ? HasRenderDevice() : hardware != 0;
  connect(&playback_, &PlaybackControl::AddressStarting, this, &WatchingControls::OnAddressStarting);
  if (PlayerHost* player = host()) {
    connect(player, &PlayerHost::TracksChanged, this, &WatchingControls::OnTracks);
    player->SetPictureOptions(picture_);
    player->SetHardwareDecoding(hardware_decoding_);
    if (player->window() != nullptr) {
      note_ = new PictureNote(player->window(), PictureNote::Corner::kTopLeft, Text("acc_picture_note"));
      info_ = new PictureNote(player->window(), PictureNote::Corner::kTopRight, Text("menu_information"));
    }
  }
  const std::pair<QKeyCombination, void (WatchingControls::*)()> keys[] = {
      {Qt::Key_A, &WatchingControls::CycleAudio},
      {Qt::Key_S, &WatchingControls::CycleSubtitles},
      {Qt::Key_V, &WatchingControls::CycleSubtitles},
      {Qt::Key_I, &WatchingControls::ToggleInformation},
  };
  for (const auto& [key, action] : keys) {
    auto* shortcut = new QShortcut(QKeySequence(key), frame_);
    connect(shortcut, &QShortcut::activated, this, action);
    shortcuts_.emplace_back(shortcut);
  }
  info_timer_.setInterval(kInfoRefreshMs);
  connect(&info_timer_, &QTimer::timeout, this, &WatchingControls::RefreshInformation);
}

WatchingControls::~WatchingControls() {
  // The keys and notes belong to the frame and the picture; they go with
  // the controls that drive them.
  for (const QPointer<QShortcut>& shortcut : shortcuts_) delete shortcut.data();
  delete note_.data();
  delete info_.data();
}

PlayerHost* WatchingControls::host() const { return playback_.player(); }

void WatchingControls::AddMenus(QMenu* menu, QAction* before) {
  auto add_menu = [&](const char* caption) {
    auto* sub = new QMenu(Text(caption), menu);
    menu->insertMenu(before, sub);
    return sub;
  };
  QMenu* audio = add_menu("menu_audio");
  connect(audio, &QMenu::aboutToShow, this, [this, audio] { FillTrackMenu(audio, TrackKind::kAudio); });
  QMenu* subtitles = add_menu("menu_subtitles");
  connect(subtitles, &QMenu::aboutToShow, this, [this, subtitles] { FillTrackMenu(subtitles, TrackKind::kSubtitle); });
  QMenu* picture = add_menu("menu_picture");
  connect(picture, &QMenu::aboutToShow, this, [this, picture] { FillPictureMenu(picture); });
  auto* information = new QAction(Text("menu_information") + QStringLiteral("\tI"), menu);
  connect(information, &QAction::triggered, this, &WatchingControls::ToggleInformation);
  menu->insertAction(before, information);
  // Filled once so that the menus are not empty before their first showing.
  FillTrackMenu(audio, TrackKind::kAudio);
  FillTrackMenu(subtitles, TrackKind::kSubtitle);
  FillPictureMenu(picture);
}

void WatchingControls::FillTrackMenu(QMenu* menu, TrackKind kind) {
  menu->clear();
  auto* group = new QActionGroup(menu);
  auto add = [&](const QString& text, std::optional<int64_t> id, bool checked) {
    QAction* action = menu->addAction(text);
    action->setCheckable(true);
    action->setChecked(checked);
    group->addAction(action);
    connect(action, &QAction::triggered, this, [this, kind, id] { Choose(kind, id); });
  };
  bool any_selected = false;
  if (kind == TrackKind::kSubtitle) {
    for (const StreamTrack& track : tracks_.list) any_selected |= track.kind == kind && track.selected;
    add(Text("track_off"), std::nullopt, !any_selected);
  }
  bool listed = false;
  for (const StreamTrack& track : tracks_.list) {
    if (track.kind != kind) continue;
    add(TrackLabel(track), track.id, track.selected);
    listed = true;
  }
  if (!listed && kind == TrackKind::kAudio) menu->addAction(Text("track_none"))->setEnabled(false);
  menu->addSeparator();
  QAction* languages = menu->addAction(Text("menu_languages"));
  connect(languages, &QAction::triggered, this, [this] {
    LanguagesDialog dialog(frame_);
    dialog.exec();
  });
  const QString key = kind == TrackKind::kAudio ? QStringLiteral("A") : QStringLiteral("S");
  menu->setToolTipsVisible(true);
  menu->setToolTip(Text("track_key_tip").arg(key));
}

void WatchingControls::FillPictureMenu(QMenu* menu) {
  menu->clear();
  auto* aspects = new QActionGroup(menu);
  const std::pair<PictureOptions::Aspect, QString> kAspects[] = {
      {PictureOptions::Aspect::kAuto, Text("aspect_auto")},
      {PictureOptions::Aspect::k16x9, QStringLiteral("16:9")},
      {PictureOptions::Aspect::k4x3, QStringLiteral("4:3")},
      {PictureOptions::Aspect::k235x1, QStringLiteral("2.35:1")},
      {PictureOptions::Aspect::kStretch, Text("aspect_stretch")},
  };
  for (const auto& [aspect, caption] : kAspects) {
    QAction* action = menu->addAction(caption);
    action->setCheckable(true);
    action->setChecked(picture_.aspect == aspect);
    aspects->addAction(action);
    connect(action, &QAction::triggered, this, [this, aspect = aspect] {
      PictureOptions options = picture_;
      options.aspect = aspect;
      SetPicture(options);
    });
  }
  menu->addSeparator();
  QAction* fill = menu->addAction(Text("picture_fill"));
  fill->setCheckable(true);
  fill->setChecked(picture_.fill);
  connect(fill, &QAction::toggled, this, [this](bool on) {
    PictureOptions options = picture_;
    options.fill = on;
    SetPicture(options);
  });
  QMenu* deinterlace = menu->addMenu(Text("picture_deinterlace"));
  auto* modes = new QActionGroup(deinterlace);
  const std::pair<PictureOptions::Deinterlace, const char*> kModes[] = {
      {PictureOptions::Deinterlace::kAuto, "aspect_auto"},
      {PictureOptions::Deinterlace::kOn, "deinterlace_on"},
      {PictureOptions::Deinterlace::kOff, "track_off"},
  };
  for (const auto& [mode, caption] : kModes) {
    QAction* action = deinterlace->addAction(Text(caption));
    action->setCheckable(true);
    action->setChecked(picture_.deinterlace == mode);
    modes->addAction(action);
    connect(action, &QAction::triggered, this, [this, mode = mode] {
      PictureOptions options = picture_;
      options.deinterlace = mode;
      SetPicture(options);
    });
  }
  menu->addSeparator();
  QAction* hardware = menu->addAction(Text("picture_hwdec"));
  hardware->setCheckable(true);
  hardware->setChecked(hardware_decoding_);
  connect(hardware, &QAction::toggled, this, [this](bool on) {
    hardware_decoding_ = on;
    SetSetting(kHardwareDecodingSetting, on ? 1 : 0);
    if (PlayerHost* player = host()) player->SetHardwareDecoding(on);
  });
}

void WatchingControls::SetPicture(const PictureOptions& options) {
  picture_ = options;
  SetSetting(kPictureAspectSetting, static_cast<int>(options.aspect));
  SetSetting(kPictureFillSetting, options.fill);
  SetSetting(kDeinterlaceSetting, static_cast<int>(options.deinterlace));
  if (PlayerHost* player = host()) player->SetPictureOptions(options);
}

void WatchingControls::Cycle(TrackKind kind) {
  const TrackStep step = NextTrack(tracks_.list, kind);
  if (!step.possible) {
    if (note_ != nullptr) note_->Show(Text(kind == TrackKind::kAudio ? "note_no_audio" : "note_no_subtitles"));
    return;
  }
  Choose(kind, step.id);
}

void WatchingControls::Choose(TrackKind kind, std::optional<int64_t> id) {
  PlayerHost* player = host();
  if (player == nullptr) return;
  player->SelectTrack(kind, id);
  const StreamTrack* chosen = nullptr;
  for (const StreamTrack& track : tracks_.list) {
    if (track.kind == kind && id && track.id == *id) chosen = &track;
  }
  const QString label = chosen != nullptr ? TrackLabel(*chosen) : Text("track_off");
  if (note_ != nullptr) note_->Show(KindCaption(kind).arg(label));
  if (channel_key_.empty()) return;
  const TrackChoice* old = choices_.Find(channel_key_);
  TrackChoice choice = old != nullptr ? *old : TrackChoice{};
  const std::string what = chosen != nullptr ? ChoiceFor(*chosen) : std::string("off");
  (kind == TrackKind::kAudio ? choice.audio : choice.subtitles) = what;
  choices_.Remember(channel_key_, choice);
  SetSetting(kTrackChoicesSetting, choices_.Encode());
}

void WatchingControls::OnAddressStarting(const std::string& channel_key) {
  channel_key_ = channel_key;
  tracks_ = {};
  PlayerHost* player = host();
  if (player == nullptr) return;
  const std::string audio = ExpandLanguages(ToQString(GetSetting(kAudioLanguagesSetting)));
  const std::string subtitles = ExpandLanguages(ToQString(GetSetting(kSubtitleLanguagesSetting)));
  player->SetTrackRequest(RequestFor(channel_key.empty() ? nullptr : choices_.Find(channel_key), audio, subtitles));
}

void WatchingControls::OnTracks(const StreamTracks& tracks) { tracks_ = tracks; }

void WatchingControls::ToggleInformation() {
  if (info_ == nullptr) return;
  if (info_->isVisible()) {
    info_timer_.stop();
    info_->hide();
    return;
  }
  RefreshInformation();
  info_timer_.start();
}

void WatchingControls::RefreshInformation() {
  PlayerHost* player = host();
  if (info_ == nullptr || player == nullptr) return;
  info_->Show(StatsText(player->stats(), SourceText()), false);
}

QString WatchingControls::SourceText() const {
  const Channel* channel = playback_.playing_channel();
  if (channel == nullptr) return {};
  QString text;
  const PlaylistManager* playlists = PlaylistManager::Current();
  const std::string number = playlists != nullptr ? playlists->ChannelNumber(*channel) : std::string();
  if (!number.empty()) text = QString::fromStdString(number) + QStringLiteral(" · ");
  text += ToQString(channel->name());
  if (channel->sources().size() > 1) {
    text += QStringLiteral(" · ") + Text("info_source_of").arg(playback_.SourceFor(*channel) + 1).arg(channel->sources().size());
  }
  // The host alone: an address may carry an account's name and password.
  const QString host = QUrl(ToQString(playback_.playing_address())).host();
  if (!host.isEmpty()) text += QStringLiteral(" · ") + host;
  return text;
}

}  // namespace vidora
