#ifndef VIDORA_UI_SHELL_ACCELEROMETER_H_
#define VIDORA_UI_SHELL_ACCELEROMETER_H_

#include <filesystem>
#include <optional>

namespace vidora {

// One accelerometer reading in thousandths of g (1 g reads 1000).
struct MotionSample {
  int x = 0;
  int y = 0;
  int z = 0;
};

// A Linux IIO accelerometer read through sysfs: the first device under the
// root that has "in_accel_x_raw". Raw values are scaled by the device's
// "in_accel_scale" (or per-axis "in_accel_<axis>_scale"), which the kernel
// gives in m/s² per unit. UI thread only; each Read is three small file
// reads.
class Accelerometer {
 public:
  static constexpr const char* kDefaultSysfsRoot = "/sys/bus/iio/devices";

  // The first accelerometer under `sysfs_root`, or nullopt when none has
  // readable raw values.
  static std::optional<Accelerometer> Find(const std::filesystem::path& sysfs_root = kDefaultSysfsRoot);

  // False when any axis cannot be read (the device went away, say).
  bool Read(MotionSample& sample) const;

  const std::filesystem::path& device() const { return device_; }

 private:
  explicit Accelerometer(std::filesystem::path device) : device_(std::move(device)) {}
  bool ReadAxis(char axis, int& milli_g) const;

  std::filesystem::path device_;
};

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_ACCELEROMETER_H_
