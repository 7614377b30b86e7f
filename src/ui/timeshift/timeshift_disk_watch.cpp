#include "ui/timeshift/timeshift_disk_watch.h"

#include <utility>

#include "core/stores/app_paths.h"
#include "core/timeshift/timeshift_buffer.h"

namespace vidora {

TimeshiftDiskWatch::TimeshiftDiskWatch(QObject* parent, std::filesystem::path folder, FreeBytes free_bytes)
    : QObject(parent), folder_(std::move(folder)), free_bytes_(std::move(free_bytes)) {
  if (!free_bytes_) free_bytes_ = FreeBytesAt;
  timer_.setInterval(kCheckMs);
  connect(&timer_, &QTimer::timeout, this, &TimeshiftDiskWatch::Check);
  timer_.start();
  Check();
}

void TimeshiftDiskWatch::Check() {
  // A slow file system must not stack up questions.
  if (asking_) return;
  asking_ = true;
  jobs_.Run([this, folder = folder_, free_bytes = free_bytes_]() -> std::function<void()> {
    const uint64_t free = free_bytes(folder);
    return [this, free] {
      asking_ = false;
      if (!timer_.isActive()) return;
      const qint64 free_megabytes = static_cast<qint64>(free >> 20);
      if (free_megabytes >= kTimeshiftDiskReserveMegabytes) return;
      timer_.stop();
      emit DiskLow(free_megabytes);
    };
  });
}

}  // namespace vidora
