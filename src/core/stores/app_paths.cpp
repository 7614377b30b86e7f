#include "core/stores/app_paths.h"

#include <string>
#include <system_error>

namespace vidora {

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

}  // namespace vidora
