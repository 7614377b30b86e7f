#ifndef VIDORA_UI_SHELL_IIO_MOTION_SENSOR_H_
#define VIDORA_UI_SHELL_IIO_MOTION_SENSOR_H_

#include <filesystem>
#include <memory>
#include <optional>

#include "ui/shell/accelerometer.h"
#include "ui/shell/motion_sensor.h"

namespace vidora {

// The motion sensor as a Linux IIO accelerometer found under a sysfs root
// (the system's IIO device folder unless a test gives another). It is
// available when an accelerometer was found at construction; a read that
// fails (the device went away, say) is a sample of no orientation, and
// every read after Close() fails. UI thread only.
class IioMotionSensor final : public MotionSensor {
 public:
  explicit IioMotionSensor(const std::filesystem::path& sysfs_root = Accelerometer::kDefaultSysfsRoot);

  bool Available() const override { return accelerometer_.has_value(); }
  bool Read(MotionSample& sample) override;
  void Close() override { closed_ = true; }

 private:
  std::optional<Accelerometer> accelerometer_;
  bool closed_ = false;
};

// The process's motion sensor as start-up creates it: the accelerometer
// under `sysfs_root` when there is one, else a sensor that never opened.
// Never null; the caller owns it and closes it before deleting it.
std::unique_ptr<MotionSensor> OpenMotionSensor(
    const std::filesystem::path& sysfs_root = Accelerometer::kDefaultSysfsRoot);

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_IIO_MOTION_SENSOR_H_
