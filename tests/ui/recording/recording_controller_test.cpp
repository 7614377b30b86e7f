// Scheduled recordings start at the time the test's clock says, survive a
// restart of the player, and clashes are refused naming what they meet.
#include "ui/recording/recording_controller.h"

#include <QApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "core/playback/provider_table.h"
#include "core/playback/stream_address_provider.h"
#include "core/recording/recording_folder.h"
#include "core/stores/setting_keys.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/shell/shell_test_support.h"

namespace vidora {
namespace {

namespace fs = std::filesystem;

bool WaitUntil(const std::function<bool()>& done, int ms) {
  QDeadlineTimer deadline(ms);
  while (!done() && !deadline.hasExpired()) QApplication::processEvents(QEventLoop::AllEvents, 50);
  return done();
}

TEST(RecordingControllerTest, AScheduledRecordingRunsFromAMinuteEarlyToTwoMinutesLateAndSurvivesARestart) {
  testing::TempDir dir;
  testing::InstallLanguages(dir.path() / "Languages.lngp",
                   {testing::TestLanguage{u"English", u"en", {{"rec_clash", u"limit %1, meets %2"}}}}, u"en");
  SetSetting(kRecordingMinFreeMbSetting, 0);
  // A local file stands in for the channel: the recorder copies its bytes.
  std::ofstream(dir.path() / "source.ts", std::ios::binary) << std::string(188 * 50, 'G');
  int64_t clock = 1796760000;
  RecordingController::Options options;
  options.folder = dir.path() / "recordings";
  options.schedule_file = dir.path() / "data" / "recordings.schedule";
  options.clock = [&clock] { return clock; };
  options.tick_ms = 3600 * 1000;  // the test ticks by itself

  ScheduledRecording film;
  film.channel = "One";
  film.title = "Film";
  film.address = "file://" + (dir.path() / "source.ts").string();
  film.start = clock + 600;
  film.end = clock + 1200;
  {
    RecordingController first(options);
    ASSERT_TRUE(first.Schedule(film));
    ScheduledRecording other = film;
    other.channel = "Two";
    ASSERT_TRUE(first.Schedule(other));
    other.channel = "Three";
    QString refusal;
    EXPECT_FALSE(first.Schedule(other, &refusal));
    EXPECT_TRUE(refusal.contains(QStringLiteral("limit 2"))) << refusal.toStdString();
    EXPECT_TRUE(refusal.contains(QString::fromUtf8("One \xE2\x80\x94 Film"))) << refusal.toStdString();
  }
  RecordingController again(options);
  ASSERT_EQ(again.schedule().items().size(), 2u);
  ASSERT_TRUE(again.Unschedule(again.schedule().items()[1]));

  clock = film.start - 61;
  again.Tick();
  EXPECT_EQ(again.active_count(), 0);
  clock = film.start - 59;
  again.Tick();
  EXPECT_EQ(again.active_count(), 1);
  const fs::path final_path = options.folder / RecordingFileName("One", "Film", film.start);
  EXPECT_TRUE(WaitUntil([&] { return fs::exists(PartPathFor(final_path)) && fs::file_size(PartPathFor(final_path)) > 0; }, 5000));
  clock = film.end + 119;
  again.Tick();
  EXPECT_EQ(again.active_count(), 1);
  clock = film.end + 121;
  again.Tick();
  EXPECT_TRUE(WaitUntil([&] { return again.active_count() == 0; }, 10000));
  EXPECT_TRUE(fs::exists(final_path));
  EXPECT_FALSE(fs::exists(PartPathFor(final_path)));
  EXPECT_TRUE(again.schedule().items().empty());
}

// An account's channel is kept without its password: the provider
// completes the address when the recording is due, and a provider that
// finds none is said to have failed.
class AccountProvider : public StreamAddressProvider {
 public:
  AccountProvider(std::string name, std::optional<std::u16string> answer)
      : StreamAddressProvider(std::move(name)), answer_(std::move(answer)) {}
  std::optional<std::u16string> Resolve(std::u16string_view, const std::atomic<bool>*) override { return answer_; }
  std::unique_ptr<StreamAddressProvider> CopyForWorker() const override {
    return std::make_unique<AccountProvider>(name(), answer_);
  }

 private:
  std::optional<std::u16string> answer_;
};

TEST(RecordingControllerTest, AnAccountsChannelIsRecordedFromTheAddressItsProviderGives) {
  testing::TempDir dir;
  testing::InstallLanguages(dir.path() / "Languages.lngp",
                            {testing::TestLanguage{u"English", u"en", {{"rec_no_address", u"no address for %1"}}}},
                            u"en");
  SetSetting(kRecordingMinFreeMbSetting, 0);
  std::ofstream(dir.path() / "source.ts", std::ios::binary) << std::string(188 * 50, 'G');
  Providers().Enter(std::make_unique<AccountProvider>("account", QString::fromStdString("file://" + (dir.path() / "source.ts").string()).toStdU16String()));
  Providers().Enter(std::make_unique<AccountProvider>("expired", std::nullopt));
  int64_t clock = 1796760000;
  RecordingController::Options options;
  options.folder = dir.path() / "recordings";
  options.schedule_file = dir.path() / "data" / "recordings.schedule";
  options.clock = [&clock] { return clock; };
  options.tick_ms = 3600 * 1000;

  ScheduledRecording film;
  film.channel = "One";
  film.title = "Film";
  film.address = "xtream://account/live/1";
  film.provider = "account";
  film.start = clock + 600;
  film.end = clock + 1200;
  ScheduledRecording news = film;
  news.channel = "Two";
  news.provider = "expired";
  {
    RecordingController first(options);
    ASSERT_TRUE(first.Schedule(film));
    ASSERT_TRUE(first.Schedule(news));
  }
  RecordingController again(options);
  QStringList failures;
  QObject::connect(&again, &RecordingController::Message, [&](const QString& text, const QString&, bool failure) {
    if (failure) failures << text;
  });
  clock = film.start;
  again.Tick();
  ASSERT_TRUE(WaitUntil([&] { return again.active_count() == 1 && !failures.isEmpty(); }, 5000));
  EXPECT_EQ(failures, QStringList{QStringLiteral("no address for Two")});
  const fs::path final_path = options.folder / RecordingFileName("One", "Film", film.start);
  EXPECT_TRUE(WaitUntil([&] { return fs::exists(PartPathFor(final_path)) && fs::file_size(PartPathFor(final_path)) > 0; }, 5000));
  again.StopAll();
  EXPECT_TRUE(fs::exists(final_path));
  DestroyProviders();
}

}  // namespace
}  // namespace vidora
