#include "ui/shell/accelerometer.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace vidora {
namespace {

constexpr double kStandardGravity = 9.80665;

std::optional<double> ReadNumber(const std::filesystem::path& path) {
  std::ifstream in(path);
  double value = 0;
  if (!(in >> value)) return std::nullopt;
  return value;
}

}  // namespace

std::optional<Accelerometer> Accelerometer::Find(const std::filesystem::path& sysfs_root) {
  std::error_code error;
  std::vector<std::filesystem::path> devices;
  for (const auto& entry : std::filesystem::directory_iterator(sysfs_root, error)) {
    devices.push_back(entry.path());
  }
  // iio:device0, iio:device1, ... in a stable order.
  std::sort(devices.begin(), devices.end());
  for (const auto& device : devices) {
    Accelerometer candidate(device);
    MotionSample sample;
    if (std::filesystem::exists(device / "in_accel_x_raw", error) && candidate.Read(sample)) {
      return candidate;
    }
  }
  return std::nullopt;
}

bool Accelerometer::ReadAxis(char axis, int& milli_g) const {
  const std::string prefix = std::string("in_accel_") + axis;
  const auto raw = ReadNumber(device_ / (prefix + "_raw"));
  if (!raw) return false;
  auto scale = ReadNumber(device_ / (prefix + "_scale"));
  if (!scale) scale = ReadNumber(device_ / "in_accel_scale");
  // Without a scale the raw value is taken as m/s² already.
  const double metres_per_second2 = *raw * scale.value_or(1.0);
  const double value = std::round(metres_per_second2 / kStandardGravity * 1000.0);
  milli_g = static_cast<int>(std::clamp(value, -1.0e6, 1.0e6));
  return true;
}

bool Accelerometer::Read(MotionSample& sample) const {
  return ReadAxis('x', sample.x) && ReadAxis('y', sample.y) && ReadAxis('z', sample.z);
}

}  // namespace vidora
