#include "ui/shell/motion_sensor.h"

namespace vidora {

namespace {
MotionSensor* g_sensor = nullptr;
}  // namespace

MotionSensor* CurrentMotionSensor() { return g_sensor; }

void SetCurrentMotionSensor(MotionSensor* sensor) { g_sensor = sensor; }

bool HasMotionSensor() { return g_sensor != nullptr && g_sensor->Available(); }

}  // namespace vidora
