#ifndef VIDORA_UI_TIMESHIFT_TIMESHIFT_DISK_WATCH_H_
#define VIDORA_UI_TIMESHIFT_TIMESHIFT_DISK_WATCH_H_

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <filesystem>
#include <functional>

#include "ui/jobs/background_jobs.h"

namespace vidora {

// Looks after the disk the time-shift buffer is written to: right away and
// then every kCheckMs it asks, off the UI thread, how much is free there;
// the first time less than kTimeshiftDiskReserveMegabytes is left it emits
// DiskLow once and stops looking (the buffer then moves to memory). UI
// thread only.
class TimeshiftDiskWatch : public QObject {
  Q_OBJECT

 public:
  static constexpr int kCheckMs = 30'000;
  using FreeBytes = std::function<uint64_t(const std::filesystem::path&)>;

  // `free_bytes` tells what is free on the disk holding a path (any
  // thread); empty: the file system's own count.
  TimeshiftDiskWatch(QObject* parent, std::filesystem::path folder, FreeBytes free_bytes = {});

  // Asks now (also done every kCheckMs).
  void Check();

 signals:
  // `free_megabytes` is what was left when it was seen.
  void DiskLow(qint64 free_megabytes);

 private:
  std::filesystem::path folder_;
  FreeBytes free_bytes_;
  QTimer timer_;
  BackgroundJobs jobs_{this};
  bool asking_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_TIMESHIFT_TIMESHIFT_DISK_WATCH_H_
