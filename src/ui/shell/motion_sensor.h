#ifndef VIDORA_UI_SHELL_MOTION_SENSOR_H_
#define VIDORA_UI_SHELL_MOTION_SENSOR_H_

#include "ui/shell/accelerometer.h"

namespace vidora {

// The device's motion sensor. One per process, created at start-up and
// closed once at shutdown; the frame tick reads it for the display
// orientation and the settings dialog asks whether it exists. UI thread
// only.
class MotionSensor {
 public:
  virtual ~MotionSensor() = default;
  // Whether the sensor opened at construction.
  virtual bool Available() const = 0;
  // True when a sample was read into `sample`.
  virtual bool Read(MotionSample& sample) = 0;
  // Releases the device; later reads fail.
  virtual void Close() = 0;
};

// A device without a sensor: never available, every read fails.
class NoMotionSensor final : public MotionSensor {
 public:
  bool Available() const override { return false; }
  bool Read(MotionSample&) override { return false; }
  void Close() override {}
};

// The process-wide sensor, borrowed from start-up (nullptr before it is
// created and after shutdown has deleted it).
MotionSensor* CurrentMotionSensor();
void SetCurrentMotionSensor(MotionSensor* sensor);
// Whether a sensor exists and opened.
bool HasMotionSensor();

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_MOTION_SENSOR_H_
