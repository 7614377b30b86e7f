#include "ui/guide/guide_entry.h"

#include <QDBusConnection>
#include <QShortcut>
#include <QWidget>

#include "core/catalogue/channel.h"
#include "core/catalogue/channel_catalogue.h"
#include "ui/guide/guide_dialog.h"
#include "ui/guide/guide_reminders.h"
#include "ui/parental/parental_lock.h"
#include "ui/playlists/playlist_manager.h"

namespace vidora {
namespace {

GuideEntry* g_current = nullptr;

}  // namespace

GuideEntry::GuideEntry(QWidget* window, PlaylistManager& manager, std::function<void(Channel*)> play)
    : QObject(window), window_(window), manager_(manager), play_(std::move(play)),
      reminders_(std::make_unique<GuideReminders>(manager, QDBusConnection::sessionBus())) {
  g_current = this;
  auto* key = new QShortcut(QKeySequence(Qt::Key_G), window);
  connect(key, &QShortcut::activated, this, [this] { Open(window_); });
  connect(reminders_.get(), &GuideReminders::WatchRequested, this, [this](const QString& key) {
    for (Channel* channel : manager_.catalogue().AllChannels()) {
      if (channel->key() == key.toStdString()) {
        if (play_) play_(channel);
        return;
      }
    }
  });
}

GuideEntry::~GuideEntry() {
  if (g_current == this) g_current = nullptr;
}

GuideEntry* GuideEntry::Current() { return g_current; }

void GuideEntry::Open(QWidget* owner, std::vector<Channel*> channels) {
  if (open_) return;
  open_ = true;
  if (channels.empty()) channels = ChannelsWithGuide(manager_);
  // Locked channels stay out of the grid until the PIN opens the lock.
  if (const ParentalLock* lock = ParentalLock::Current()) lock->DropLocked(channels);
  GuideDialog dialog(owner, manager_, std::move(channels), play_);
  dialog.set_play_archive(play_archive_);
  dialog.set_recorder(recorder_);
  dialog.exec();
  open_ = false;
}

}  // namespace vidora
