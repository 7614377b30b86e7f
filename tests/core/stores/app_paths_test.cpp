#include "core/stores/app_paths.h"

#include <gtest/gtest.h>

#include <unistd.h>

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

}  // namespace
}  // namespace vidora
