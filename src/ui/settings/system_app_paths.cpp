#include "ui/settings/system_app_paths.h"

#include <QStandardPaths>

#include <filesystem>
#include <vector>

// Set by the build from the install folders (GNUInstallDirs).
#ifndef VIDORA_INSTALL_DATA_FOLDER
#define VIDORA_INSTALL_DATA_FOLDER "/usr/local/share/vidora"
#endif
#ifndef VIDORA_DATA_FOLDER_FROM_BIN
#define VIDORA_DATA_FOLDER_FROM_BIN "../share/vidora"
#endif

namespace vidora {

namespace {

std::filesystem::path StandardFolder(QStandardPaths::StandardLocation location) {
  return std::filesystem::path(QStandardPaths::writableLocation(location).toStdString());
}

}  // namespace

AppPaths SystemAppPaths() {
  const std::filesystem::path& app_folder = AppFolderPath();
  // The folder relative to the executable comes first, so that a staged or
  // moved installation reads its own data, not another version's.
  std::vector<std::filesystem::path> installed = {
      (app_folder / VIDORA_DATA_FOLDER_FROM_BIN).lexically_normal(),
      std::filesystem::path(VIDORA_INSTALL_DATA_FOLDER),
  };
  AppPaths paths = ResolveAppPaths(app_folder, installed, StandardFolder(QStandardPaths::GenericConfigLocation),
                                   StandardFolder(QStandardPaths::GenericDataLocation));
  if (!paths.portable) paths.cache_folder = StandardFolder(QStandardPaths::GenericCacheLocation) / "vidora";
  return paths;
}

void InstallSystemAppPaths() { SetAppPaths(SystemAppPaths()); }

}  // namespace vidora
