#include "ui/zapping/channel_zapper.h"

#include <QShortcut>
#include <QWidget>

#include <utility>

#include "core/catalogue/channel.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/zapping/zap_list.h"
#include "ui/playback/playback_control.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"
#include "ui/tracks/picture_note.h"

namespace vidora {
namespace {

// A number typed on a remote has a few digits at most.
constexpr int kMaxDigits = 5;

const Channel* ChannelOnScreen(const PlaybackControl& playback) {
  if (const Channel* playing = playback.playing_channel()) return playing;
  return Catalogue() != nullptr ? Catalogue()->CurrentChannel() : nullptr;
}

QString NoteFor(const Channel& channel) {
  QString text;
  const std::string number = Zapping().NumberOf(&channel);
  if (!number.empty()) text = QString::fromStdString(number) + QStringLiteral(" · ");
  text += ToQString(channel.name());
  if (const PlaylistManager* playlists = PlaylistManager::Current()) {
    const ChannelProgrammes::NowNext now = playlists->GuideNowNext(channel);
    if (now.now) text += QStringLiteral(" · ") + Text("zap_now").arg(playlists->GuideText(now.now->title));
  }
  return text;
}

}  // namespace

ChannelZapper::ChannelZapper(QWidget* frame, PlaybackControl& playback, PictureNote* note, Player play)
    : QObject(frame), playback_(playback), note_(note), play_(std::move(play)) {
  auto add = [&](QKeyCombination key, std::function<void()> action) {
    auto* shortcut = new QShortcut(QKeySequence(key), frame);
    connect(shortcut, &QShortcut::activated, this, std::move(action));
    shortcuts_.emplace_back(shortcut);
    return shortcut;
  };
  for (int digit = 0; digit <= 9; ++digit) {
    add(static_cast<Qt::Key>(Qt::Key_0 + digit), [this, digit] { TypeDigit(digit); });
    add(Qt::KeypadModifier | static_cast<Qt::Key>(Qt::Key_0 + digit), [this, digit] { TypeDigit(digit); });
  }
  add(Qt::Key_Backspace, [this] { Back(); });
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    QShortcut* enter = add(key, [this] { EnterNumber(); });
    enter->setEnabled(false);
    enter_keys_.emplace_back(enter);
  }
  connect(&playback_, &PlaybackControl::AddressStarting, this,
          [](const std::string& key) { Zapping().NotePlayed(key); });
  number_timer_.setSingleShot(true);
  number_timer_.setInterval(kNumberPauseMs);
  connect(&number_timer_, &QTimer::timeout, this, &ChannelZapper::EnterNumber);
}

ChannelZapper::~ChannelZapper() {
  for (const QPointer<QShortcut>& shortcut : shortcuts_) delete shortcut.data();
}

void ChannelZapper::Step(bool forward) {
  ChannelCatalogue* catalogue = Catalogue();
  if (catalogue == nullptr) return;
  if (!Zapping().Holds(catalogue->ListVersion())) {
    // No list of the user's: the favourites, as the panel's keys do.
    playback_.StepFavourite(forward);
    return;
  }
  Switch(Zapping().Step(ChannelOnScreen(playback_), forward));
}

void ChannelZapper::TypeDigit(int digit) {
  if (typed_.size() >= kMaxDigits) return;
  typed_ += QChar(u'0' + digit);
  for (const QPointer<QShortcut>& enter : enter_keys_) {
    if (enter) enter->setEnabled(true);
  }
  if (note_ != nullptr) note_->Show(typed_ + QLatin1Char('_'));
  number_timer_.start();
}

void ChannelZapper::EnterNumber() {
  number_timer_.stop();
  for (const QPointer<QShortcut>& enter : enter_keys_) {
    if (enter) enter->setEnabled(false);
  }
  const QString number = std::exchange(typed_, QString());
  if (number.isEmpty()) return;
  ChannelCatalogue* catalogue = Catalogue();
  Channel* channel = catalogue != nullptr && Zapping().Holds(catalogue->ListVersion())
                         ? Zapping().FindNumber(number.toStdString())
                         : nullptr;
  if (channel == nullptr) {
    if (note_ != nullptr) note_->Show(Text("zap_no_number").arg(number));
    return;
  }
  Switch(channel);
}

void ChannelZapper::Back() {
  ChannelCatalogue* catalogue = Catalogue();
  if (catalogue == nullptr || Zapping().previous_key().empty()) return;
  Switch(catalogue->FindChannelByKey(Zapping().previous_key()));
}

void ChannelZapper::Switch(Channel* channel) {
  if (channel == nullptr) return;
  if (note_ != nullptr) note_->Show(NoteFor(*channel));
  if (play_) play_(channel);
}

}  // namespace vidora
