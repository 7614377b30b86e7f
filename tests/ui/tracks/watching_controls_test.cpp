#include "ui/tracks/watching_controls.h"

#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "core/net/local_http_server.h"
#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/playback/mpv_backend.h"
#include "ui/playback/playback_test_support.h"
#include "ui/playback/player_host.h"
#include "ui/tracks/track_labels.h"
#include "ui/tracks/track_settings.h"

namespace vidora::testing {
namespace {

// A picture, a German and an English sound track and English subtitles,
// made by ffmpeg (Matroska: MPEG-TS carries no text subtitles).
std::string MakeTwoLanguageStream(const std::filesystem::path& folder) {
  const std::filesystem::path subtitles = folder / "en.srt";
  std::ofstream(subtitles) << "1\n00:00:00,000 --> 00:01:00,000\nHello\n";
  const QString out = QString::fromStdString((folder / "two.mkv").string());
  QProcess ffmpeg;
  ffmpeg.start(QStringLiteral("ffmpeg"),
               {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=96x64:rate=25", "-f", "lavfi", "-i",
                "sine=frequency=440", "-f", "lavfi", "-i", "sine=frequency=880", "-i",
                QString::fromStdString(subtitles.string()), "-map", "0", "-map", "1", "-map", "2", "-map", "3", "-t", "30",
                "-c:v", "mpeg2video", "-c:a", "mp2", "-c:s", "srt", "-metadata:s:a:0", "language=deu",
                "-metadata:s:a:1", "language=eng", "-metadata:s:s:0", "language=eng", out});
  if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0) return {};
  QFile file(out);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

class WatchingControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadTestSkin();
    ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, u"en"));
    stream_ = MakeTwoLanguageStream(dir_.path());
    ASSERT_FALSE(stream_.empty());
    SetSetting(kAudioLanguagesSetting, u"de");
    SetSetting(kSubtitleLanguagesSetting, u"");
    SetSetting(kTrackChoicesSetting, u"");
    DocNode root("1.0");
    AddTestChannel(*root.AddChild("de"), "two", server_.Url("/two.mkv"));
    catalogue_ = &LoadTestCatalogue(root, dir_.path());
    view_.resize(240, 268);
    control_ = std::make_unique<PlaybackControl>(&view_, nullptr, nullptr);
    control_->Start(QRect(4, 4, 232, 228), [] {
      return std::make_unique<MpvBackend>(std::vector<MpvBackend::Option>{{"ao", "null"}});
    });
    watching_ = new WatchingControls(&view_, *control_);
    view_.show();
  }
  void TearDown() override {
    delete watching_;
    control_.reset();
    FreeCatalogue();
    Languages().Free();
  }

  // The selected track of `kind` once the engine lists one, else null.
  const StreamTrack* Selected(TrackKind kind) {
    for (const StreamTrack& track : watching_->tracks().list) {
      if (track.kind == kind && track.selected) return &track;
    }
    return nullptr;
  }
  bool WaitForSelected(TrackKind kind, const std::string& language) {
    return QTest::qWaitFor([&] { return Selected(kind) != nullptr && Selected(kind)->language == language; }, 20000);
  }

  TempDir dir_;
  std::string stream_;
  LocalHttpServer server_{[this](const std::string&) -> std::optional<std::string> {
    return HttpAnswer(200, stream_, "Content-Type: video/x-matroska\r\n");
  }};
  ChannelCatalogue* catalogue_ = nullptr;
  QWidget view_;
  std::unique_ptr<PlaybackControl> control_;
  WatchingControls* watching_ = nullptr;
};

TEST_F(WatchingControlsTest, PreferredLanguageKeysMenusAndTheChannelsOwnChoice) {
  Channel* channel = catalogue_->AllChannels().front();
  control_->PlayChannel(channel);
  // The preferred language wins over the stream's first track; subtitles
  // stay off while no subtitle language is preferred.
  ASSERT_TRUE(WaitForSelected(TrackKind::kAudio, "deu"));
  EXPECT_EQ(Selected(TrackKind::kSubtitle), nullptr);
  EXPECT_EQ(TrackLabel(*Selected(TrackKind::kAudio)), QStringLiteral("Deutsch (MP2 1.0)"));

  QMenu menu;
  watching_->AddMenus(&menu, nullptr);
  QMenu* audio = menu.actions().at(0)->menu();
  emit audio->aboutToShow();
  QStringList listed;
  for (QAction* action : audio->actions()) {
    if (action->isCheckable()) listed << action->text() + (action->isChecked() ? QStringLiteral(" *") : QString());
  }
  EXPECT_EQ(listed, (QStringList{"Deutsch (MP2 1.0) *", "English (MP2 1.0)"}));

  // A switches the sound, S the subtitles; each says so over the picture.
  view_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view_));
  QTest::keyClick(&view_, Qt::Key_A);
  ASSERT_TRUE(WaitForSelected(TrackKind::kAudio, "eng"));
  EXPECT_EQ(watching_->note()->text(), QStringLiteral("Audio: English (MP2 1.0)"));
  QTest::keyClick(&view_, Qt::Key_S);
  ASSERT_TRUE(WaitForSelected(TrackKind::kSubtitle, "eng"));
  EXPECT_EQ(watching_->note()->text(), QStringLiteral("Subtitles: English (SRT)"));

  // The channel keeps its choice on the next play, and across a restart
  // of the controls (the setting).
  control_->StopPlayback();
  delete watching_;
  watching_ = new WatchingControls(&view_, *control_);
  control_->PlayChannel(channel);
  EXPECT_TRUE(WaitForSelected(TrackKind::kAudio, "eng"));
  EXPECT_TRUE(WaitForSelected(TrackKind::kSubtitle, "eng"));

  // I shows the stream's information and hides it again.
  QTest::keyClick(&view_, Qt::Key_I);
  EXPECT_TRUE(watching_->information()->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return watching_->information()->text().contains("MPEG-2 96×64"); }, 10000))
      << watching_->information()->text().toStdString();
  QTest::keyClick(&view_, Qt::Key_I);
  EXPECT_FALSE(watching_->information()->isVisible());
}

}  // namespace
}  // namespace vidora::testing
