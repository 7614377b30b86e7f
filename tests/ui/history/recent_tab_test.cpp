// The channels dialog's Recent tab: the channels played last, newest
// first, kept in the settings across a restart.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/document/text_codec.h"
#include "core/history/recent_channels.h"
#include "ui/catalogue/channel_commands.h"
#include "ui/catalogue/channel_list_view.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/catalogue/channels_test_support.h"
#include "ui/history/watch_history.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/playback_test_support.h"

namespace vidora {
namespace {

class RecentTabTest : public testing::ChannelsDialogTest {
 protected:
  void SetUp() override {
    ChannelsDialogTest::SetUp();
    SetSetting(kRecentChannelsSetting, u"");
    // Playback plays from the process-wide catalogue; the dialog lists it.
    LoadCatalogueFile(dir_.path() / "Channels.vdch");
    view_.resize(240, 268);
    control_ = std::make_unique<PlaybackControl>(&view_, &target_, nullptr);
    target_.control = control_.get();
    control_->Start(QRect(4, 4, 232, 228), [this] { return std::make_unique<testing::FakePlayerBackend>(record_); });
    FollowWatchedChannels(control_.get());
    owner_.setGeometry(0, 0, 480, 640);
    owner_.show();
  }
  void TearDown() override {
    control_.reset();
    FreeCatalogue();
    SetSetting(kRecentChannelsSetting, u"");
    ChannelsDialogTest::TearDown();
  }

  void Play(const std::string& key) { control_->PlayChannel(Catalogue()->FindChannelByKey(key)); }

  static std::vector<std::string> Rows(const ChannelListView* list) {
    std::vector<std::string> keys;
    for (int row = 0; row < list->RowCount(); ++row) keys.emplace_back(list->ChannelAtShownRow(row)->key());
    return keys;
  }

  QWidget view_;
  QWidget owner_;
  testing::RecordingViewTarget target_;
  testing::FakePlayerBackend::Record record_;
  std::unique_ptr<PlaybackControl> control_;
};

TEST_F(RecentTabTest, ListsThePlayedChannelsNewestFirstAfterASaveAndLoad) {
  // A channel of a playlist that is gone for now.
  SetSetting(kRecentChannelsSetting, Utf8ToUtf16("pl9_gone\x1e"));
  for (const char* key : {"de_ard", "uk_bbc1", "fr_fip", "de_ard"}) Play(key);
  // A restart: the settings go to disk and come back from it.
  const std::filesystem::path file = dir_.path() / "Settings.cfg";
  Settings().Load(file);
  ASSERT_TRUE(Settings().Save());
  SetSetting(kRecentChannelsSetting, u"");
  Settings().Load(file);
  Settings().Load({});

  ChannelsDialog dialog(&owner_);
  dialog.ShowTab(kRecentTab);
  EXPECT_TRUE(dialog.recent_list()->isVisibleTo(&dialog));
  EXPECT_EQ(Rows(dialog.recent_list()), (std::vector<std::string>{"de_ard", "fr_fip", "uk_bbc1"}));
  EXPECT_TRUE(dialog.RecentLabel().endsWith("(3)"));
  // Left out, but kept for when it is back.
  EXPECT_EQ(LoadRecentChannels().keys().back(), "pl9_gone");
  // It opens on the newest, which Play plays.
  dialog.open();
  dialog.RunCommand(ID_PLAY);
  EXPECT_TRUE(dialog.play_requested());
  EXPECT_EQ(dialog.chosen_channel()->key(), "de_ard");
  // The tab is remembered like the others.
  EXPECT_EQ(FindSetting(kSelectedTabSetting).value_or(-1), kRecentTab);
}

}  // namespace
}  // namespace vidora
