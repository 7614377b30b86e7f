#include "ui/shell/iio_motion_sensor.h"

namespace vidora {

IioMotionSensor::IioMotionSensor(const std::filesystem::path& sysfs_root)
    : accelerometer_(Accelerometer::Find(sysfs_root)) {}

bool IioMotionSensor::Read(MotionSample& sample) {
  return !closed_ && accelerometer_.has_value() && accelerometer_->Read(sample);
}

std::unique_ptr<MotionSensor> OpenMotionSensor(const std::filesystem::path& sysfs_root) {
  auto sensor = std::make_unique<IioMotionSensor>(sysfs_root);
  if (sensor->Available()) return sensor;
  return std::make_unique<NoMotionSensor>();
}

}  // namespace vidora
