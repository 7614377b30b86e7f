#ifndef VIDORA_TESTS_UI_FULLSCREEN_FAKE_SYSFS_H_
#define VIDORA_TESTS_UI_FULLSCREEN_FAKE_SYSFS_H_

#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_dir.h"

namespace vidora::testing {

inline void WriteSysfsValue(const std::filesystem::path& path, const std::string& value) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path) << value << "\n";
}

// A fake IIO sysfs: iio:device0 is a light sensor, iio:device1 an
// accelerometer with a shared scale of 0.009806650 m/s² per unit, so a raw
// value of 1000 reads as 1 g. It starts upright (portrait).
struct FakeSysfs {
  TempDir root;
  std::filesystem::path accel = root / "iio:device1";
  FakeSysfs() {
    WriteSysfsValue(root / "iio:device0" / "in_illuminance_raw", "12");
    WriteSysfsValue(accel / "in_accel_scale", "0.009806650");
    Set(0, 1000, 0);
  }
  void Set(int x, int y, int z) {
    WriteSysfsValue(accel / "in_accel_x_raw", std::to_string(x));
    WriteSysfsValue(accel / "in_accel_y_raw", std::to_string(y));
    WriteSysfsValue(accel / "in_accel_z_raw", std::to_string(z));
  }
  void Portrait() { Set(0, 1000, 0); }
  void Landscape() { Set(-1000, 0, 0); }
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_UI_FULLSCREEN_FAKE_SYSFS_H_
