#include "ui/parental/parental_lock.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/skinned_dialog.h"
#include "ui/guide/guide_dialog.h"
#include "ui/guide/guide_entry.h"
#include "ui/guide/guide_grid.h"
#include "ui/parental/parental_dialog.h"
#include "ui/parental/pin_prompt.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/playback_test_support.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/shell/shell_test_support.h"

namespace vidora::testing {
namespace {

class ParentalLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadTestSkin();
    InstallLanguages(dir_.path() / "Languages.lngp",
                     {TestLanguage{u"English", u"en",
                                   {{"parental_wait", u"Try again in %1 s."},
                                    {"parental_wrong_pin", u"Wrong PIN."},
                                    {"parental_group", u"Group: %1"}}}},
                     u"en");
    SetMessageSink([](const std::u16string&, const std::u16string&) {});
    SetSetting(kCurrentChannelKeySetting, u"");
    SetSetting(kHideAdultSetting, false);
    SetSetting(kParentalPinSetting, u"");
    SetSetting(kParentalLocksSetting, u"");
    DocNode root("1.0");
    DocNode* de = root.AddChild("de");
    AddTestChannel(*de, "news", u"http://127.0.0.1:9/news.y4m");
    AddTestChannel(*de, "night", u"http://127.0.0.1:9/night.y4m")->SetString("c", "ad");
    AddTestChannel(*de, "cartoons", u"http://127.0.0.1:9/cartoons.y4m");
    catalogue_ = &LoadTestCatalogue(root, dir_.path());
    lock_ = std::make_unique<ParentalLock>([this] { return now_; }, [](const Channel& channel) {
      return channel.key() == "de_cartoons" ? std::u16string(u"Kids") : std::u16string();
    });
    lock_->set_asker([this](QWidget*) {
      ++asked_;
      return lock_->TryPin(answer_) == ParentalLock::Check::kRight;
    });
  }
  void TearDown() override {
    control_.reset();
    lock_.reset();
    FreeCatalogue();
    FreeLanguagePack();
    SetMessageSink({});
    // Later tests of the process play adult channels without a PIN.
    SetSetting(kParentalPinSetting, u"");
    SetSetting(kParentalLocksSetting, u"");
  }

  void StartPlayback() {
    view_.resize(240, 268);
    control_ = std::make_unique<PlaybackControl>(&view_, &target_, nullptr);
    target_.control = control_.get();
    control_->Start(QRect(4, 4, 232, 228), [this] { return std::make_unique<FakePlayerBackend>(record_); });
  }
  Channel* Find(const std::string& key) { return catalogue_->FindChannelByKey(key); }

  TempDir dir_;
  QWidget view_;
  RecordingViewTarget target_;
  FakePlayerBackend::Record record_;
  ChannelCatalogue* catalogue_ = nullptr;
  std::unique_ptr<PlaybackControl> control_;
  std::unique_ptr<ParentalLock> lock_;
  int64_t now_ = 1000;
  QString answer_;
  int asked_ = 0;
};

TEST_F(ParentalLockTest, ALockedChannelPlaysOnlyAfterTheRightPinAndStaysOpenForTheRun) {
  StartPlayback();
  control_->PlayChannel(Find("de_night"));
  EXPECT_EQ(asked_, 0) << "nothing is locked without a PIN";
  ASSERT_EQ(record_.loads.size(), 1u);

  ASSERT_TRUE(lock_->SetPin(QStringLiteral("4711")));
  control_->PlayChannel(Find("de_news"));
  EXPECT_EQ(asked_, 0);
  ASSERT_EQ(record_.loads.size(), 2u);
  answer_ = QStringLiteral("1234");
  control_->PlayChannel(Find("de_night"));
  EXPECT_EQ(asked_, 1);
  EXPECT_EQ(record_.loads.size(), 2u) << "a wrong PIN plays nothing new";
  EXPECT_EQ(catalogue_->CurrentChannel(), Find("de_news"));
  EXPECT_TRUE(control_->playing()) << "what played goes on";

  answer_ = QStringLiteral("4711");
  control_->PlayChannel(Find("de_night"));
  EXPECT_EQ(asked_, 2);
  EXPECT_EQ(record_.loads.back(), "http://127.0.0.1:9/night.y4m");
  control_->PlayChannel(Find("de_news"));
  control_->PlayChannel(Find("de_night"));
  EXPECT_EQ(asked_, 2) << "the lock stays open until the player closes";
}

TEST_F(ParentalLockTest, LockedCategoriesAndGroupsStayOutOfTheGuideUntilThePinIsGiven) {
  ASSERT_TRUE(lock_->SetPin(QStringLiteral("4711")));
  ParentalRules rules = lock_->rules();
  rules.Set(GroupLockKey(u"Kids"), true);
  lock_->SetRules(rules);
  QWidget window;
  window.resize(480, 640);
  PlaylistManager manager(*catalogue_, PlaylistFolders{dir_.path() / "p", dir_.path() / "l", dir_.path() / "g"},
                          [] { return 1000; });
  GuideEntry guide(&window, manager, {});
  const auto shown = [&] {
    std::vector<const Channel*> channels;
    ModalAnswerer answerer([&channels](QWidget* modal) {
      if (auto* dialog = qobject_cast<GuideDialog*>(modal)) {
        channels = dialog->grid()->channels();
        dialog->done(2);
      }
    });
    guide.Open(&window, {Find("de_news"), Find("de_night"), Find("de_cartoons")});
    return channels;
  };
  EXPECT_EQ(shown(), std::vector<const Channel*>{Find("de_news")});
  ASSERT_EQ(lock_->TryPin(QStringLiteral("4711")), ParentalLock::Check::kRight);
  EXPECT_EQ(shown().size(), 3u);
}

TEST_F(ParentalLockTest, ThreeWrongPinsMakeThePromptWaitAMinuteThenTheRightOneOpens) {
  ASSERT_TRUE(lock_->SetPin(QStringLiteral("4711")));
  QWidget owner;
  owner.resize(480, 640);
  PinPrompt prompt(&owner, *lock_, QStringLiteral("?"));
  prompt.show();
  for (const char* wrong : {"1111", "2222", "3333"}) {
    prompt.edit()->setText(QString::fromLatin1(wrong));
    prompt.RunCommand(ID_SOFTKEY_LEFT);
    EXPECT_TRUE(prompt.isVisible());
    EXPECT_TRUE(prompt.edit()->text().isEmpty());
  }
  EXPECT_FALSE(prompt.edit()->isEnabled());
  EXPECT_EQ(prompt.status()->text(), QStringLiteral("Try again in 60 s."));
  // The right PIN is not taken during the wait.
  EXPECT_EQ(lock_->TryPin(QStringLiteral("4711")), ParentalLock::Check::kWaiting);
  EXPECT_FALSE(lock_->open());

  now_ += 59;
  prompt.RefreshWait();
  EXPECT_FALSE(prompt.edit()->isEnabled());
  now_ += 1;
  prompt.RefreshWait();
  ASSERT_TRUE(prompt.edit()->isEnabled());
  prompt.edit()->setText(QStringLiteral("4711"));
  prompt.RunCommand(ID_SOFTKEY_LEFT);
  EXPECT_EQ(prompt.result(), 1);
  EXPECT_TRUE(lock_->open());
}

TEST_F(ParentalLockTest, ThePinIsInNoFileThePlayerSaves) {
  const std::filesystem::path file = dir_.path() / "Settings.cfg";
  Settings().Load(file);
  ASSERT_TRUE(lock_->SetPin(QStringLiteral("730519")));
  ASSERT_TRUE(Settings().Save());
  const std::string utf8 = "730519";
  const std::string utf16("7\0" "3\0" "0\0" "5\0" "1\0" "9\0", 12);
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.path())) {
    if (!entry.is_regular_file()) continue;
    ++files;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.find(utf8), std::string::npos) << entry.path();
    EXPECT_EQ(bytes.find(utf16), std::string::npos) << entry.path();
  }
  EXPECT_GE(files, 1);
  // What is stored still knows the PIN.
  ParentalLock again;
  EXPECT_EQ(again.TryPin(QStringLiteral("730519")), ParentalLock::Check::kRight);
  Settings().Load({});
}

TEST_F(ParentalLockTest, ChangingOrRemovingThePinNeedsTheOldOne) {
  QWidget owner;
  owner.resize(480, 640);
  ParentalDialog dialog(&owner, *lock_, catalogue_);
  EXPECT_FALSE(dialog.list()->isEnabled());
  EXPECT_FALSE(dialog.remove_button()->isEnabled());
  QString old_answer;
  QString new_answer = QStringLiteral("4711");
  dialog.set_questions([&] { return old_answer; }, [&] { return new_answer; });
  dialog.SetOrChangePin();
  ASSERT_TRUE(lock_->HasPin());
  EXPECT_TRUE(dialog.list()->isEnabled());
  // A first PIN locks the adult category.
  bool adult_checked = false;
  for (int row = 0; row < dialog.list()->count(); ++row) {
    const QListWidgetItem* item = dialog.list()->item(row);
    if (item->data(Qt::UserRole).toString() == QStringLiteral("c:ad")) adult_checked = item->checkState() == Qt::Checked;
  }
  EXPECT_TRUE(adult_checked);
  EXPECT_TRUE(lock_->Locks(*Find("de_night")));

  old_answer = QStringLiteral("0000");
  new_answer = QStringLiteral("2580");
  dialog.SetOrChangePin();
  dialog.RemovePin();
  ASSERT_TRUE(lock_->HasPin());

  old_answer = QStringLiteral("4711");
  dialog.SetOrChangePin();
  EXPECT_EQ(lock_->TryPin(QStringLiteral("4711")), ParentalLock::Check::kWrong);
  EXPECT_EQ(lock_->TryPin(QStringLiteral("2580")), ParentalLock::Check::kRight);
  old_answer = QStringLiteral("2580");
  dialog.RemovePin();
  EXPECT_FALSE(lock_->HasPin());
  EXPECT_FALSE(dialog.list()->isEnabled());
}

}  // namespace
}  // namespace vidora::testing
