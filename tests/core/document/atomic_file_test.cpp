#include "core/document/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

unsigned ModeOf(const fs::path& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

// A process id that no process has: a child that has been reaped.
pid_t DeadProcessId() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

TEST(AtomicFileTest, ANewFileIsPrivateAndAReplacedFileKeepsItsPermissions) {
  testing::TempDir dir;
  const fs::path path = dir / "Settings.cfg";
  const uint8_t bytes[] = {1, 2, 3};
  ASSERT_TRUE(SaveBytesAtomically(bytes, 3, path));
  EXPECT_EQ(ModeOf(path), 0600u);
  chmod(path.c_str(), 0644);
  ASSERT_TRUE(SaveBytesAtomically(bytes, 2, path));
  EXPECT_EQ(ModeOf(path), 0644u);
  EXPECT_EQ(ReadAll(path).size(), 2u);
}

TEST(AtomicFileTest, SymbolicLinksPlantedAtTheTemporaryNamesAreNeverFollowed) {
  testing::TempDir dir;
  const fs::path path = dir / "Channels.vdch";
  const fs::path victim = dir / "victim";
  std::ofstream(victim) << "keep";
  // The first save shows which name the next one will take.
  std::string seen;
  ASSERT_TRUE(ReplaceFileAtomically(path, [&](FileStream&) {
    for (const std::string& name : Names(dir.path())) {
      if (name.find(".tmp.") != std::string::npos) seen = name;
    }
    EXPECT_EQ(ModeOf(dir / seen), 0600u);
    return true;
  }));
  const size_t dot = seen.rfind('.');
  const std::string stem = seen.substr(0, dot + 1);
  const unsigned next = static_cast<unsigned>(std::stoul(seen.substr(dot + 1))) + 1;
  for (unsigned n = next; n < next + 3; ++n) fs::create_symlink(victim, dir / (stem + std::to_string(n)));
  const uint8_t bytes[] = {'n', 'e', 'w'};
  EXPECT_TRUE(SaveBytesAtomically(bytes, 3, path));
  EXPECT_EQ(ReadAll(victim), "keep");
  EXPECT_EQ(ReadAll(path), "new");
}

TEST(AtomicFileTest, OnlyStaleTemporaryFilesOfThisFileAreRemoved) {
  testing::TempDir dir;
  const fs::path path = dir / "Settings.cfg";
  const std::string dead = std::to_string(DeadProcessId());
  const std::string alive = std::to_string(getppid());
  const std::string own = std::to_string(getpid());
  for (const std::string& name : std::vector<std::string>{"Settings.cfg.tmp." + dead + ".0", "Settings.cfg.tmp." + own + ".7",
                                  "Settings.cfg.tmp." + alive + ".1", "Settings.cfg.tmp.x.1", "Settings.cfg.tmp." + dead,
                                  "Other.cfg.tmp." + dead + ".0", "Settings.cfg"}) {
    std::ofstream(dir / name) << "x";
  }
  fs::create_symlink(dir / "Settings.cfg", dir / ("Settings.cfg.tmp." + dead + ".2"));
  EXPECT_EQ(RemoveStaleTemporaryFiles(path), 3);
  std::vector<std::string> left = Names(dir.path());
  std::sort(left.begin(), left.end());
  std::vector<std::string> expected = {"Other.cfg.tmp." + dead + ".0", "Settings.cfg", "Settings.cfg.tmp." + alive + ".1",
                                       "Settings.cfg.tmp." + dead, "Settings.cfg.tmp.x.1"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(left, expected);
  EXPECT_EQ(ReadAll(dir / "Settings.cfg"), "x");
}

TEST(AtomicFileTest, KillsDuringSavesLeaveNoTemporaryFileAfterTheNextStart) {
  testing::TempDir dir;
  const fs::path path = dir / "Channels.vdch";
  DocNode big("1");
  big.SetBinary("b", MemoryStream(std::vector<uint8_t>(1 << 20, 7).data(), 1 << 20));
  ASSERT_TRUE(SaveDocumentFileAtomically(big, path));
  std::mt19937 random(42);
  int leftovers = 0;
  for (int kill_count = 0; kill_count < 200; ++kill_count) {
    const pid_t child = fork();
    if (child == 0) {
      for (;;) SaveDocumentFileAtomically(big, path);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  for (const std::string& name : Names(dir.path())) leftovers += name != "Channels.vdch";
  // Kills were frequent enough to leave debris behind, or the test proves nothing.
  EXPECT_GT(leftovers, 0);
  RemoveStaleTemporaryFiles(path);
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"Channels.vdch"});
  DocNode read;
  EXPECT_EQ(LoadDocumentFile(read, path), ReadStatus::kOk);
  EXPECT_EQ(read.name(), "1");
}

}  // namespace
}  // namespace vidora
