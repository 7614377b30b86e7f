#include "ui/zapping/channel_zapper.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

#include "core/catalogue/channel_catalogue.h"
#include "core/stores/language_pack.h"
#include "core/zapping/zap_list.h"
#include "support/temp_dir.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/playback_test_support.h"
#include "ui/playback/player_host.h"
#include "ui/tracks/picture_note.h"
#include "ui/texts/ui_texts.h"

namespace vidora::testing {
namespace {

class ChannelZapperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadTestSkin();
    ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, u"en"));
    DocNode root("1.0");
    DocNode* de = root.AddChild("de");
    for (const char* name : {"one", "two", "three"}) AddTestChannel(*de, name, u"http://127.0.0.1:9/" + std::u16string(name, name + 3));
    catalogue_ = &LoadTestCatalogue(root, dir_.path());
    control_ = std::make_unique<PlaybackControl>(&view_, &target_, nullptr);
    target_.control = control_.get();
    control_->Start(QRect(4, 4, 100, 100), [this] { return std::make_unique<FakePlayerBackend>(record_); });
    note_ = new PictureNote(control_->player()->window(), PictureNote::Corner::kTopLeft, "note");
    zapper_ = new ChannelZapper(&view_, *control_, note_, [this](Channel* channel) { control_->PlayChannel(channel); });
    view_.show();
    view_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view_));
  }
  void TearDown() override {
    Zapping().Clear();
    delete zapper_;
    control_.reset();
    FreeCatalogue();
    Languages().Free();
  }
  std::string Playing() { return control_->playing_channel() != nullptr ? std::string(control_->playing_channel()->key()) : ""; }
  Channel* Nth(size_t i) { return catalogue_->AllChannels()[i]; }

  TempDir dir_;
  QWidget view_;
  RecordingViewTarget target_;
  FakePlayerBackend::Record record_;
  ChannelCatalogue* catalogue_ = nullptr;
  std::unique_ptr<PlaybackControl> control_;
  PictureNote* note_ = nullptr;
  ChannelZapper* zapper_ = nullptr;
};

TEST_F(ChannelZapperTest, PageKeysStepThroughTheListDigitsFindANumberAndBackspaceGoesBack) {
  // The list as the channels dialog showed it; the second has its own
  // number, the others their place.
  Channel* twelve = Nth(1);
  Zapping().Set(
      {Nth(0), twelve, Nth(2)}, [twelve](const Channel& channel) { return &channel == twelve ? "12" : ""; },
      catalogue_->ListVersion());
  control_->PlayChannel(Nth(0));
  zapper_->Step(true);
  EXPECT_EQ(Playing(), Nth(1)->key());
  EXPECT_EQ(note_->text(), "12 · " + ToQString(Nth(1)->name()));
  zapper_->Step(true);
  zapper_->Step(true);  // wraps to the first
  EXPECT_EQ(Playing(), Nth(0)->key());
  zapper_->Step(false);
  EXPECT_EQ(Playing(), Nth(2)->key());

  // Typed digits show while typed and switch on Enter; "3" is the third.
  QTest::keyClick(&view_, Qt::Key_1);
  QTest::keyClick(&view_, Qt::Key_2);
  EXPECT_EQ(note_->text(), "12_");
  QTest::keyClick(&view_, Qt::Key_Return);
  EXPECT_EQ(Playing(), Nth(1)->key());
  QTest::keyClick(&view_, Qt::Key_9);
  QTest::keyClick(&view_, Qt::Key_Return);
  EXPECT_EQ(Playing(), Nth(1)->key());
  EXPECT_EQ(note_->text(), "No channel 9 in this list");
  // Without Enter, the pause switches.
  QTest::keyClick(&view_, Qt::Key_3);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Playing() == Nth(2)->key(); }, ChannelZapper::kNumberPauseMs + 2000));

  // Backspace: the channel played before.
  QTest::keyClick(&view_, Qt::Key_Backspace);
  EXPECT_EQ(Playing(), Nth(1)->key());

  // A reloaded catalogue drops the list: the favourites take over.
  Nth(0)->set_favourite(true);
  catalogue_ = &LoadTestCatalogue([] {
    DocNode root("1.0");
    AddTestChannel(*root.AddChild("de"), "solo", u"http://127.0.0.1:9/solo");
    return root;
  }(), dir_.path());
  EXPECT_FALSE(Zapping().Holds(catalogue_->ListVersion()));
}

}  // namespace
}  // namespace vidora::testing
