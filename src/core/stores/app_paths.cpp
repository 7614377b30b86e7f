#include "core/stores/app_paths.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace vidora {

namespace {

constexpr char kFolderName[] = "vidora";

AppPaths& GlobalAppPaths() {
  static AppPaths paths = PortableAppPaths(AppFolderPath());
  return paths;
}

bool IsWritableFolder(const std::filesystem::path& folder) {
  return !folder.empty() && access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string ErrorText(int code) { return std::generic_category().message(code); }

}  // namespace

const std::filesystem::path& AppFolderPath() {
  static const std::filesystem::path folder = [] {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : exe.parent_path();
  }();
  return folder;
}

std::filesystem::path JoinPath(const std::filesystem::path& a, const std::filesystem::path& b) {
  const std::string& left = a.native();
  const std::string& right = b.native();
  if (right.empty()) return a;
  const bool left_has = !left.empty() && left.back() == '/';
  const bool right_has = right.front() == '/';
  if (left_has && right_has) return std::filesystem::path(left.substr(0, left.size() - 1) + right);
  if (left_has || right_has) return std::filesystem::path(left + right);
  return std::filesystem::path(left + "/" + right);
}

AppPaths PortableAppPaths(const std::filesystem::path& folder) {
  AppPaths paths;
  paths.data_folders = {folder};
  paths.config_folder = folder;
  paths.user_data_folder = folder;
  paths.cache_folder = JoinPath(folder, "cache");
  paths.portable = true;
  return paths;
}

AppPaths ResolveAppPaths(const std::filesystem::path& app_folder,
                         const std::vector<std::filesystem::path>& installed_data_folders,
                         const std::filesystem::path& config_home, const std::filesystem::path& data_home) {
  std::error_code error;
  if (std::filesystem::exists(JoinPath(app_folder, kShippedDataMarker), error) && IsWritableFolder(app_folder)) {
    return PortableAppPaths(app_folder);
  }
  AppPaths paths;
  // A single data file copied beside an installed executable still wins,
  // as it does in a build tree.
  paths.data_folders.push_back(app_folder);
  for (const auto& folder : installed_data_folders) {
    if (!folder.empty()) paths.data_folders.push_back(folder);
  }
  paths.config_folder = JoinPath(config_home, kFolderName);
  paths.user_data_folder = JoinPath(data_home, kFolderName);
  paths.portable = false;
  return paths;
}

void SetAppPaths(AppPaths paths) {
  if (paths.data_folders.empty()) paths.data_folders.push_back(AppFolderPath());
  GlobalAppPaths() = std::move(paths);
}

const AppPaths& CurrentAppPaths() { return GlobalAppPaths(); }

std::filesystem::path ShippedDataFile(std::string_view name) {
  const AppPaths& paths = CurrentAppPaths();
  const std::filesystem::path file_name(name);
  for (const auto& folder : paths.data_folders) {
    std::filesystem::path candidate = JoinPath(folder, file_name);
    std::error_code error;
    if (std::filesystem::exists(candidate, error)) return candidate;
  }
  return JoinPath(paths.data_folders.front(), file_name);
}

std::filesystem::path ConfigFile(std::string_view name) {
  return JoinPath(CurrentAppPaths().config_folder, std::filesystem::path(name));
}

std::filesystem::path UserDataFile(std::string_view name) {
  return JoinPath(CurrentAppPaths().user_data_folder, std::filesystem::path(name));
}

std::string FolderWriteProblem(const std::filesystem::path& path) {
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return error.message();
  if (!std::filesystem::is_directory(folder, error)) return ErrorText(ENOTDIR);
  if (access(folder.c_str(), W_OK | X_OK) != 0) return ErrorText(errno);
  return {};
}

std::string DescribeWriteFailure(const std::filesystem::path& path) {
  std::string problem = FolderWriteProblem(path);
  if (!problem.empty()) return problem;
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  std::error_code error;
  const std::filesystem::space_info space = std::filesystem::space(folder, error);
  if (!error && space.available == 0) return ErrorText(ENOSPC);
  return ErrorText(EIO);
}

uint64_t FreeBytesAt(const std::filesystem::path& path) {
  struct statvfs info {};
  if (statvfs(path.c_str(), &info) != 0) return UINT64_MAX;
  return static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
}

}  // namespace vidora
