#ifndef VIDORA_UI_GUIDE_GUIDE_REMINDERS_H_
#define VIDORA_UI_GUIDE_GUIDE_REMINDERS_H_

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vidora {

class PlaylistManager;

// A programme the user wants to be told about before it starts.
struct GuideReminder {
  std::string channel_key;
  int64_t start = 0;  // seconds since 1970
  QString title;
  QString channel_name;
};

// The reminders: kept in the settings across restarts; a minute before a
// programme starts a desktop notification goes out through
// org.freedesktop.Notifications with a "watch" action, and choosing it
// asks to switch to the channel (WatchRequested). A reminder is done once
// notified. The clock is the manager's. UI thread only.
class GuideReminders : public QObject {
  Q_OBJECT

 public:
  // `bus`: the session bus (tests pass a private one).
  GuideReminders(PlaylistManager& manager, QDBusConnection bus, QObject* parent = nullptr);
  ~GuideReminders() override;

  static GuideReminders* Current();

  bool Has(std::string_view channel_key, int64_t start) const;
  // Adds the reminder, or removes it when there is one for that programme.
  void Toggle(const GuideReminder& reminder);
  void Remove(size_t index);
  const std::vector<GuideReminder>& reminders() const { return reminders_; }
  // Sends what is due now (the timer calls it every few seconds).
  void SendDue();

 signals:
  void WatchRequested(const QString& channel_key);
  void Changed();

 private slots:
  void OnAction(uint id, const QString& action);

 private:
  void Save() const;

  PlaylistManager& manager_;
  QDBusConnection bus_;
  std::vector<GuideReminder> reminders_;
  std::map<uint, std::string> sent_;  // notification id -> channel key
  QTimer timer_;
};

// Seconds before the start a reminder goes out.
inline constexpr int64_t kReminderLeadSeconds = 60;

}  // namespace vidora

#endif  // VIDORA_UI_GUIDE_GUIDE_REMINDERS_H_
