// Checks that includes run one way between the source folders: app above
// ui above core, and inside each layer from the folders above to the ones
// below, never back up (which would make two folders depend on each other).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace vidora {
namespace {

std::filesystem::path SourceRoot() { return VIDORA_SOURCE_DIR; }

// The height of each folder: a folder may include its own headers and
// those of lower folders only. The layers are app (above) over ui over core.
int Height(const std::string& folder) {
  static const std::map<std::string, int> kHeights = {
      {"app", 300},
      {"ui/shell", 250},
      {"ui/history", 249},  // follows what playback is asked to play
      {"ui/sleep", 247},    // ends playback, reads the guide's running programme
      {"ui/health", 248}, {"ui/providers", 248}, {"ui/radio", 248},
      {"ui/desktop", 245},  // the desktop's services follow playback
      {"ui/zapping", 247},  // zapping says each switch over the picture
      {"ui/tracks", 246},  // tracks, picture and the overlay follow playback
      {"ui/catalogue", 240}, {"ui/playback", 240},
      {"ui/timeshift", 243}, {"ui/recording", 242},  // both follow playback
      {"ui/guide", 237},  // the guide follows the playlists' channels
      {"ui/parental", 236},  // plays and the guide ask the lock; it reads playlist groups
      {"ui/playlists", 235},
      {"ui/dialogs", 230},
      {"ui/accessibility", 225},
      {"ui/jobs", 221},  // the job runner every part hands its blocking work to
      {"ui/texts", 220},  // message boxes wear the skin
      {"ui/skin", 218},
      {"ui/settings", 216},  // saving the settings, the system's folders
      {"ui/lifecycle", 214},  // the UI thread and the player closing
      {"core/health", 160}, {"core/radio", 160},
      {"core/providers", 155},  // provider channels play through a stream provider
      {"core/playback", 150},
      {"core/recording", 147},
      {"core/guide", 147},  // guides are fetched and matched for playlists
      {"core/playlists", 145},
      {"core/timeshift", 142},  // archive addresses, read from playlist attributes
      {"core/updates", 140},  // the update service reads the catalogue
      {"core/catalogue", 130},
      {"core/net", 128},  // HTTP transfers and their bounds
      {"core/zapping", 126},  // the list Page Up/Down step through
      {"core/tracks", 125},  // track and picture choices
      {"core/history", 125},  // the recently watched list, kept in the settings
      {"core/parental", 125},
      {"core/stores", 120},
      {"core/document", 110},
      {"core/commands", 100},
      {"core/jobs", 100},  // what a job runner offers, implemented by the UI
  };
  const auto it = kHeights.find(folder);
  return it != kHeights.end() ? it->second : -1;
}

// "ui/shell" for src/ui/shell/main_frame.cpp, "app" for src/app/main.cpp.
std::string FolderOf(const std::string& relative_path) {
  const size_t first = relative_path.find('/');
  if (first == std::string::npos) return relative_path;
  if (relative_path.compare(0, first, "app") == 0) return "app";
  const size_t second = relative_path.find('/', first + 1);
  return second == std::string::npos ? relative_path : relative_path.substr(0, second);
}

TEST(IncludeDirectionTest, IncludesNeverRunBackUp) {
  const std::filesystem::path src = SourceRoot() / "src";
  ASSERT_TRUE(std::filesystem::is_directory(src)) << src;
  static const std::regex include(R"re(#include "((?:app|ui|core)/[^"]+)")re");
  std::vector<std::string> wrong;
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
    const auto extension = entry.path().extension();
    if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
    ++files;
    const std::string from = FolderOf(entry.path().lexically_relative(src).generic_string());
    EXPECT_GE(Height(from), 0) << "a folder without a height: " << from;
    std::ifstream in(entry.path());
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::sregex_iterator it(text.begin(), text.end(), include), end; it != end; ++it) {
      const std::string to = FolderOf((*it)[1].str());
      if (to != from && Height(to) >= Height(from)) wrong.push_back(from + " -> " + (*it)[1].str());
    }
  }
  EXPECT_GT(files, 50);
  std::string list;
  for (const std::string& line : wrong) list += line + "\n";
  EXPECT_TRUE(wrong.empty()) << list;
}

}  // namespace
}  // namespace vidora
