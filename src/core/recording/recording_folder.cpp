#include "core/recording/recording_folder.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <system_error>
#include <vector>

namespace vidora {
namespace {

namespace fs = std::filesystem;

fs::path Home() {
  const char* home = std::getenv("HOME");
  return home != nullptr && *home != '\0' ? fs::path(home) : fs::path("/tmp");
}

// XDG_VIDEOS_DIR="$HOME/Videos" as user-dirs.dirs writes it; empty when the
// file has no usable line.
fs::path VideosDirFromUserDirs(const fs::path& file, const fs::path& home) {
  std::ifstream in(file);
  std::string line;
  fs::path found;
  while (std::getline(in, line)) {
    constexpr std::string_view kKey = "XDG_VIDEOS_DIR=";
    if (line.compare(0, kKey.size(), kKey) != 0) continue;
    std::string value = line.substr(kKey.size());
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
    value = value.substr(1, value.size() - 2);
    if (value.compare(0, 5, "$HOME") == 0) {
      found = home.string() + value.substr(5);
    } else if (!value.empty() && value.front() == '/') {
      found = value;
    }
  }
  return found;
}

std::string SafeFilePart(std::string_view text) {
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    out += (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7f) ? '-' : c;
  }
  // Names longer than a file system takes are cut (at a character start).
  constexpr size_t kMaxPart = 100;
  if (out.size() > kMaxPart) {
    size_t cut = kMaxPart;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
    out.resize(cut);
  }
  while (!out.empty() && (out.front() == ' ' || out.front() == '.')) out.erase(out.begin());
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace

fs::path RecordingsFolder() {
  const fs::path home = Home();
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const fs::path config_home = config != nullptr && *config == '/' ? fs::path(config) : home / ".config";
  fs::path videos = VideosDirFromUserDirs(config_home / "user-dirs.dirs", home);
  if (videos.empty()) videos = home / "Videos";
  return videos / "Vidora";
}

std::string RecordingFileName(std::string_view channel, std::string_view title, int64_t start) {
  std::tm parts{};
  const std::time_t t = static_cast<std::time_t>(start);
  localtime_r(&t, &parts);
  char when[32];
  std::strftime(when, sizeof when, "%Y-%m-%d %H-%M", &parts);
  std::string name = SafeFilePart(channel);
  if (name.empty()) name = "Vidora";
  const std::string safe_title = SafeFilePart(title);
  if (!safe_title.empty()) name += " \xE2\x80\x94 " + safe_title;
  return name + " \xE2\x80\x94 " + when + ".ts";
}

fs::path PartPathFor(const fs::path& final_path) { return fs::path(final_path.string() + ".part"); }

fs::path UnusedPath(const fs::path& path) {
  std::error_code error;
  if (!fs::exists(path, error)) return path;
  const fs::path stem = path.parent_path() / path.stem();
  const std::string extension = path.extension().string();
  for (int n = 2; n < 1000; ++n) {
    fs::path candidate = stem.string() + " (" + std::to_string(n) + ")" + extension;
    if (!fs::exists(candidate, error)) return candidate;
  }
  return path;
}

int KeepInterruptedRecordings(const fs::path& folder) {
  std::error_code error;
  std::vector<fs::path> parts;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    constexpr std::string_view kPart = ".ts.part";
    if (name.size() > kPart.size() && name.compare(name.size() - kPart.size(), kPart.size(), kPart) == 0) {
      parts.push_back(it->path());
    }
  }
  int kept = 0;
  for (const fs::path& part : parts) {
    std::error_code rename_error;
    fs::rename(part, UnusedPath(part.parent_path() / part.stem()), rename_error);
    if (!rename_error) ++kept;
  }
  return kept;
}

}  // namespace vidora
