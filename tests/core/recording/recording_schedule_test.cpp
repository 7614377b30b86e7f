#include "core/recording/recording_schedule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "core/recording/recording_folder.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

ScheduledRecording At(const std::string& channel, int64_t start, int64_t end) {
  ScheduledRecording r;
  r.channel = channel;
  r.title = "Film\tNight";
  r.address = "http://127.0.0.1/" + channel;
  r.start = start;
  r.end = end;
  return r;
}

TEST(RecordingScheduleTest, StartsAMinuteEarlyAndStopsTwoMinutesLate) {
  RecordingSchedule schedule;
  ASSERT_TRUE(schedule.Add(At("one", 10000, 13600), 2).added);
  EXPECT_TRUE(schedule.TakeDue(10000 - 61).empty());
  const std::vector<ScheduledRecording> due = schedule.TakeDue(10000 - 59);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].RecordUntil(), 13600 + 120);
  EXPECT_TRUE(schedule.items().empty());
  // One whose time passed while the player was not running is dropped.
  ASSERT_TRUE(schedule.Add(At("two", 20000, 21000), 2).added);
  EXPECT_TRUE(schedule.TakeDue(21200).empty());
  EXPECT_TRUE(schedule.items().empty());
}

TEST(RecordingScheduleTest, MoreAtOnceThanTheLimitIsRefusedNamingTheClash) {
  RecordingSchedule schedule;
  ASSERT_TRUE(schedule.Add(At("one", 1000, 5000), 2).added);
  ASSERT_TRUE(schedule.Add(At("two", 2000, 3000), 2).added);
  // Touches "two" only through its late stop: still a clash.
  const RecordingSchedule::AddResult third = schedule.Add(At("three", 3100, 4000), 2);
  EXPECT_FALSE(third.added);
  ASSERT_EQ(third.clashes.size(), 2u);
  EXPECT_EQ(third.clashes[1].channel, "two");
  // After "one" ends there is room again.
  EXPECT_TRUE(schedule.Add(At("four", 5300, 6000), 2).added);
  EXPECT_TRUE(schedule.Remove(At("two", 2000, 0)));
  EXPECT_TRUE(schedule.Add(At("three", 3100, 4000), 2).added);
}

TEST(RecordingScheduleTest, KeptAcrossRestartsAndDamagedLinesLeftOut) {
  RecordingSchedule schedule;
  schedule.Add(At("one", 1000, 2000), 4);
  schedule.Add(At("two", 3000, 4000), 4);
  std::string text = schedule.Write() + "x\ty\n9\t1\ta\tb\tc\td\te\n";
  const RecordingSchedule read = RecordingSchedule::Read(text);
  ASSERT_EQ(read.items().size(), 2u);
  EXPECT_EQ(read.items()[0].title, "Film Night");
  EXPECT_EQ(read.items()[1].address, "http://127.0.0.1/two");
  EXPECT_TRUE(RecordingSchedule::Read("garbage").items().empty());

  // An account's channel keeps its provider; a file written before
  // providers were kept still reads.
  ScheduledRecording account = At("three", 5000, 6000);
  account.provider = "account";
  schedule.Add(account, 4);
  EXPECT_EQ(RecordingSchedule::Read(schedule.Write()).items()[2].provider, "account");
  const RecordingSchedule older = RecordingSchedule::Read("vidora-schedule 1\n1000\t2000\tone\tFilm\thttp://a/\t\t\n");
  ASSERT_EQ(older.items().size(), 1u);
  EXPECT_TRUE(older.items()[0].provider.empty());
}

TEST(RecordingFolderTest, VideosFolderFromUserDirsAndInterruptedRecordingsKept) {
  testing::TempDir home;
  const char* saved_home = std::getenv("HOME");
  const std::string restore = saved_home ? saved_home : "";
  setenv("HOME", home.path().c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(RecordingsFolder(), home.path() / "Videos" / "Vidora");
  std::filesystem::create_directories(home.path() / ".config");
  std::ofstream(home.path() / ".config" / "user-dirs.dirs") << "# comment\nXDG_VIDEOS_DIR=\"$HOME/Filme\"\n";
  EXPECT_EQ(RecordingsFolder(), home.path() / "Filme" / "Vidora");
  setenv("HOME", restore.c_str(), 1);

  const std::string name = RecordingFileName("Das Erste/HD", "Tagesschau", 0);
  EXPECT_EQ(name.find('/'), std::string::npos);
  EXPECT_NE(name.find("Das Erste-HD \xE2\x80\x94 Tagesschau \xE2\x80\x94 "), std::string::npos);
  std::ofstream(home.path() / (name + ".part")) << "bytes";
  EXPECT_EQ(KeepInterruptedRecordings(home.path()), 1);
  EXPECT_TRUE(std::filesystem::exists(home.path() / name));
}

}  // namespace
}  // namespace vidora
