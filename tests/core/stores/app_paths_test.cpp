#include "core/stores/app_paths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "support/temp_dir.h"

namespace vidora {
namespace {

TEST(AppPathsTest, JoinPathPutsExactlyOneSeparatorAtTheSeam) {
  EXPECT_EQ(JoinPath("/a", "").native(), "/a");
  EXPECT_EQ(JoinPath("/a/", "/b").native(), "/a/b");
  EXPECT_EQ(JoinPath("/a/", "b").native(), "/a/b");
  EXPECT_EQ(JoinPath("/a", "/b").native(), "/a/b");
  EXPECT_EQ(JoinPath("/a", "b").native(), "/a/b");
  EXPECT_EQ(JoinPath("", "b").native(), "/b");
}

TEST(AppPathsTest, AppFolderIsTheExecutablesFolderWhateverTheCurrentDirectory) {
  const std::filesystem::path before = AppFolderPath();
  ASSERT_FALSE(before.empty());
  EXPECT_TRUE(std::filesystem::exists(before / "vidora_core_tests"));
  const auto cwd = std::filesystem::current_path();
  ASSERT_EQ(chdir("/"), 0);
  EXPECT_EQ(AppFolderPath(), before);
  std::filesystem::current_path(cwd);
}

TEST(AppPathsTest, DataBesideAWritableExecutableKeepsEverythingThere) {
  testing::TempDir dir;
  std::ofstream(dir / kShippedDataMarker) << "x";
  const AppPaths paths = ResolveAppPaths(dir.path(), {"/nowhere/share/vidora"}, "/home/u/.config", "/home/u/.local/share");
  EXPECT_TRUE(paths.portable);
  EXPECT_EQ(paths.data_folders, std::vector<std::filesystem::path>{dir.path()});
  EXPECT_EQ(paths.config_folder, dir.path());
  EXPECT_EQ(paths.user_data_folder, dir.path());
}

TEST(AppPathsTest, InstalledPlayerReadsSharedDataAndWritesToTheXdgFolders) {
  testing::TempDir dir;
  const std::filesystem::path bin = dir / "bin";
  const std::filesystem::path share = dir / "share";
  std::filesystem::create_directories(bin);
  std::filesystem::create_directories(share);
  std::ofstream(share / kShippedDataMarker) << "shared";
  std::ofstream(share / "Channels.vdch") << "shared";
  // No data beside the executable: installed.
  AppPaths paths = ResolveAppPaths(bin, {share, "/usr/share/vidora"}, dir / "config", dir / "data");
  EXPECT_FALSE(paths.portable);
  EXPECT_EQ(paths.config_folder, dir / "config" / "vidora");
  EXPECT_EQ(paths.user_data_folder, dir / "data" / "vidora");
  SetAppPaths(paths);
  EXPECT_EQ(ShippedDataFile(kShippedDataMarker), share / kShippedDataMarker);
  EXPECT_EQ(ConfigFile("Settings.cfg"), dir / "config" / "vidora" / "Settings.cfg");
  EXPECT_EQ(UserDataFile("Channels.vdch"), dir / "data" / "vidora" / "Channels.vdch");
  // A file copied beside the executable wins; a missing one is looked for
  // (and reported) beside it.
  std::ofstream(bin / "Channels.vdch") << "own";
  EXPECT_EQ(ShippedDataFile("Channels.vdch"), bin / "Channels.vdch");
  EXPECT_EQ(ShippedDataFile("Missing.qdoc"), bin / "Missing.qdoc");

  // Data beside an executable in a folder this process cannot write (a
  // read-only /usr/bin with data copied in) is still an installation. Root
  // writes anywhere, so this part needs another user.
  if (geteuid() != 0) {
    std::ofstream(bin / kShippedDataMarker) << "own";
    ASSERT_EQ(chmod(bin.c_str(), 0555), 0);
    EXPECT_FALSE(ResolveAppPaths(bin, {share}, dir / "config", dir / "data").portable);
    chmod(bin.c_str(), 0755);
  }
  SetAppPaths(PortableAppPaths(AppFolderPath()));
}

TEST(AppPathsTest, WriteProblemsNameTheirReason) {
  testing::TempDir dir;
  std::filesystem::create_directories(dir / "ok");
  EXPECT_EQ(FolderWriteProblem(dir / "ok" / "Settings.cfg"), "");
  // A missing folder is made, as a save makes it.
  EXPECT_EQ(FolderWriteProblem(dir / "new" / "vidora" / "Settings.cfg"), "");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "new" / "vidora"));
  // A file where the folder should be: no user can save there.
  std::ofstream(dir / "file") << "x";
  const std::string reason = FolderWriteProblem(dir / "file" / "vidora" / "Settings.cfg");
  EXPECT_EQ(reason, std::generic_category().message(ENOTDIR));
  EXPECT_EQ(DescribeWriteFailure(dir / "file" / "vidora" / "Settings.cfg"), reason);
}

}  // namespace
}  // namespace vidora
