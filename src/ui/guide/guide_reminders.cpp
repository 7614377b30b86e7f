#include "ui/guide/guide_reminders.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

#include <algorithm>

#include "core/document/text_codec.h"
#include "core/stores/settings_store.h"
#include "ui/guide/guide_page.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

GuideReminders* g_current = nullptr;
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr QChar kField(0x1F);
constexpr QChar kRecord(0x1E);

}  // namespace

GuideReminders::GuideReminders(PlaylistManager& manager, QDBusConnection bus, QObject* parent)
    : QObject(parent), manager_(manager), bus_(std::move(bus)) {
  g_current = this;
  const QString text = ToQString(GetSetting(kGuideRemindersSetting));
  for (const QString& record : text.split(kRecord, Qt::SkipEmptyParts)) {
    const QStringList fields = record.split(kField);
    if (fields.size() != 4) continue;
    reminders_.push_back({fields[1].toStdString(), fields[0].toLongLong(), fields[2], fields[3]});
  }
  bus_.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this, SLOT(OnAction(uint, QString)));
  connect(&timer_, &QTimer::timeout, this, &GuideReminders::SendDue);
  timer_.start(10 * 1000);
  SendDue();
}

GuideReminders::~GuideReminders() {
  if (g_current == this) g_current = nullptr;
}

GuideReminders* GuideReminders::Current() { return g_current; }

bool GuideReminders::Has(std::string_view channel_key, int64_t start) const {
  return std::any_of(reminders_.begin(), reminders_.end(), [&](const GuideReminder& r) {
    return r.channel_key == channel_key && r.start == start;
  });
}

void GuideReminders::Toggle(const GuideReminder& reminder) {
  const auto it = std::find_if(reminders_.begin(), reminders_.end(), [&](const GuideReminder& r) {
    return r.channel_key == reminder.channel_key && r.start == reminder.start;
  });
  if (it != reminders_.end()) reminders_.erase(it);
  else reminders_.push_back(reminder);
  std::sort(reminders_.begin(), reminders_.end(),
            [](const GuideReminder& a, const GuideReminder& b) { return a.start < b.start; });
  Save();
  emit Changed();
}

void GuideReminders::Remove(size_t index) {
  if (index >= reminders_.size()) return;
  reminders_.erase(reminders_.begin() + static_cast<std::ptrdiff_t>(index));
  Save();
  emit Changed();
}

void GuideReminders::Save() const {
  QString text;
  for (const GuideReminder& r : reminders_) {
    QString title = r.title, channel = r.channel_name;
    title.remove(kField).remove(kRecord);
    channel.remove(kField).remove(kRecord);
    text += QString::number(r.start) + kField + QString::fromStdString(r.channel_key) + kField + title + kField +
            channel + kRecord;
  }
  SetSetting(kGuideRemindersSetting, text.toStdU16String());
}

void GuideReminders::SendDue() {
  const int64_t now = manager_.Now();
  bool changed = false;
  for (auto it = reminders_.begin(); it != reminders_.end();) {
    if (it->start - kReminderLeadSeconds > now) {
      ++it;
      continue;
    }
    // One that is long over (the player was not running) is dropped unsaid.
    if (now < it->start + 15 * 60) {
      QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
      call << QStringLiteral("Vidora") << uint(0) << QStringLiteral("vidora")
           << Text("str_reminder_starts").arg(it->title, GuideClock(it->start)) << it->channel_name
           << QStringList{QStringLiteral("watch"), Text("str_watch")} << QVariantMap{} << int(-1);
      auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
      connect(watcher, &QDBusPendingCallWatcher::finished, this,
              [this, key = it->channel_key](QDBusPendingCallWatcher* w) {
                const QDBusPendingReply<uint> reply = *w;
                if (!reply.isError()) sent_[reply.value()] = key;
                w->deleteLater();
              });
    }
    it = reminders_.erase(it);
    changed = true;
  }
  if (changed) {
    Save();
    emit Changed();
  }
}

void GuideReminders::OnAction(uint id, const QString& action) {
  const auto it = sent_.find(id);
  if (it == sent_.end() || action != QLatin1String("watch")) return;
  emit WatchRequested(QString::fromStdString(it->second));
}

}  // namespace vidora
