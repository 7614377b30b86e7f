// The player with real libmpv (no audio device) on media generated here and
// served from 127.0.0.1.
#include <mpv/client.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <QFile>
#include <QProcess>

#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>
#include <memory>
#include <string>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/document_format.h"
#include "core/playback/stream_failure.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "core/timeshift/timeshift_buffer.h"
#include "e2e/media_server.h"
#include "e2e/wait_for.h"
#include "support/temp_dir.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/image_button.h"
#include "ui/playback/control_panel.h"
#include "ui/playback/info_strip.h"
#include "ui/playback/mpv_backend.h"
#include "ui/playback/player_host.h"
#include "ui/playback/playback_test_support.h"
#include "ui/playback/radio_window.h"
#include "ui/playback/status_texts.h"
#include "ui/skin/resource_pack.h"
#include "ui/timeshift/timeshift_bar.h"

namespace vidora::testing {
namespace {

constexpr int kWaitMs = 20000;
const std::string kIcyTitle = "Test Artist - First Song";
const QColor kVideoColour(200, 60, 40);
const QRgb kRadioPictureColour = qRgb(255, 0, 255);

bool WaitFor(const std::function<bool()>& done) { return testing::WaitFor(done, kWaitMs); }

bool Near(QRgb a, QRgb b, int tolerance = 14) {
  return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Keeps what the player reported: for each status report its kind (0 a
// change, 1 the end of buffering, -1 nothing plays) and text, and each
// failure's reason.
class StatusSpy {
 public:
  explicit StatusSpy(PlayerHost* host) {
    QObject::connect(host, &PlayerHost::StatusChanged, [this](const PlayerStatus& status) {
      const int code = IsAtRest(status.state) ? -1 : (buffering_ && !status.buffering() ? 1 : 0);
      buffering_ = status.buffering();
      codes.push_back(code);
      texts.push_back(status.text);
    });
    QObject::connect(host, &PlayerHost::Failed, [this](const FailureReport& failure) { failures.push_back(failure.failure); });
    QObject::connect(host, &PlayerHost::SoundDeviceMissing, [this] { ++sound_missing; });
  }
  size_t Unreachable() const { return std::count_if(failures.begin(), failures.end(), IsUnreachable); }
  std::vector<int> codes;
  std::vector<std::u16string> texts;
  std::vector<StreamFailure> failures;
  int sound_missing = 0;

 private:
  bool buffering_ = false;
};

constexpr int kLiveTsSeconds = 90;
void ServeLiveTs(httplib::Server& server, std::shared_ptr<const std::string> ts, std::shared_ptr<std::atomic<bool>> alive) {
  ServePaced(server, "/live.ts", "video/mp2t", std::move(ts), kLiveTsSeconds, std::move(alive));
}

// A small MPEG-TS of kLiveTsSeconds with `picture` (an ffmpeg lavfi
// source) and a tone, made by ffmpeg.
std::string MakeLiveTs(const std::filesystem::path& folder,
                       const QString& picture = QStringLiteral("testsrc=size=96x64:rate=25")) {
  const QString out = QString::fromStdString((folder / "live.ts").string());
  QProcess ffmpeg;
  ffmpeg.start(QStringLiteral("ffmpeg"),
               {"-v", "error", "-y", "-f", "lavfi", "-i", picture, "-f", "lavfi", "-i",
                "sine=frequency=440:sample_rate=44100", "-t", QString::number(kLiveTsSeconds), "-c:v", "mpeg2video",
                "-g", "25", "-b:v", "100k", "-c:a", "mp2", "-b:a", "64k", "-f", "mpegts", out});
  if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0) return {};
  QFile file(out);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

class PlaybackEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetBarUnitForDpi(96);
    WriteSkin();
    SetMessageSink([this](const std::u16string& text, const std::u16string&) { messages_.push_back(text); });
    SetSetting(kCurrentChannelKeySetting, u"");
    SetSetting(kVolumeSetting, 50);
    server_.Serve("/tv.y4m", MakeSolidY4m(64, 48, 25, 250, kVideoColour), "video/x-yuv4mpeg");
    server_.Serve("/radio.wav", MakeToneWav(8000, 30), "audio/wav");
    // The provider's page is asked for with a relative request target.
    server_.server().Get(R"(/?general/page-7\.html)", [](const httplib::Request&, httplib::Response& response) {
      response.set_header("Set-Cookie", "tv=k42");
      response.set_content("<html></html>", "text/html");
    });
    server_.server().Get("/stream/k42", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content("<asx><entry><ref href = \"http://" + server_.Host() + "/tv.y4m\"/></entry></asx>",
                           "video/x-ms-asf");
    });
    // Four seconds of sound (more than the player reads to recognise the
    // stream), then nothing until the test lets the rest go. Sent chunked,
    // as a live stream is: the player cannot jump ahead.
    auto stalling = std::make_shared<std::string>(MakeToneWav(48000, 20));
    server_.server().Get("/stalling.wav", [this, stalling](const httplib::Request&, httplib::Response& response) {
      response.set_chunked_content_provider("audio/wav", [this, stalling](size_t offset, httplib::DataSink& sink) {
        constexpr size_t kFirstPart = 44 + 4 * 96000;
        constexpr size_t kChunk = 16000;
        if (offset >= stalling->size()) {
          sink.done();
          return true;
        }
        if (offset >= kFirstPart) {
          for (int i = 0; i < 3000 && !release_stall_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const size_t limit = offset < kFirstPart ? kFirstPart : stalling->size();
        sink.write(stalling->data() + offset, std::min(kChunk, limit - offset));
        return true;
      });
    });
    // Radio addresses are often playlists: one entry, or mirrors of which
    // the first may be dead.
    server_.server().Get("/agent.wav", [this](const httplib::Request& request, httplib::Response& response) {
      {
        std::lock_guard<std::mutex> lock(agent_mutex_);
        agent_ = request.get_header_value("User-Agent");
      }
      response.set_content(MakeToneWav(8000, 30), "audio/wav");
    });
    ServePlaylist("/radio.m3u", {"/radio.wav"});
    ServePlaylist("/mirrors.m3u", {"/gone.wav", "/radio.wav"});
    ServePlaylist("/dead.m3u", {"/gone.wav", "/gone-too.wav"});
    ASSERT_TRUE(server_.Start());
    const std::string host = server_.Host();
    SetSetting(kStreamProviderHostSetting, std::u16string(host.begin(), host.end()));

    DocNode root("1.0");
    DocNode* de = root.AddChild("de");
    AddTestChannel(*de, "tv", server_.Url("/tv.y4m"));
    AddTestChannel(*de, "radio", server_.Url("/radio.wav"), true);
    AddTestChannel(*de, "missing", server_.Url("/missing.wav"));
    AddTestChannel(*de, "nowhere", u"http://127.0.0.1:" + QString::number(UnusedPort()).toStdU16String() + u"/x.wav");
    AddTestChannel(*de, "provided", u"page-7", false, "vdtm");
    AddTestChannel(*de, "stalling", server_.Url("/stalling.wav"), true);
    AddTestChannel(*de, "playlist", server_.Url("/radio.m3u"), true);
    AddTestChannel(*de, "mirrors", server_.Url("/mirrors.m3u"), true);
    // Listed as TV, but the stream carries sound alone.
    AddTestChannel(*de, "soundastv", server_.Url("/radio.wav"));
    AddTestChannel(*de, "agent", server_.Url("/agent.wav"), true);
    AddTestChannel(*de, "dead", server_.Url("/dead.m3u"), true);
    const std::u16string refused = u"http://127.0.0.1:" + QString::number(UnusedPort()).toStdU16String() + u"/x.wav";
    AddSource(*AddTestChannel(*de, "failover", refused, true), "1", server_.Url("/radio.wav"));
    AddSource(*AddTestChannel(*de, "alldead", refused, true), "1",
              u"http://127.0.0.1:" + QString::number(UnusedPort()).toStdU16String() + u"/y.wav");
    AddTestChannel(*de, "unknown", u"http://vidora-e2e.invalid/x.wav", true);
    AddTestChannel(*de, "hanging", u"page-9", false, "vdtm");
    live_port_ = UnusedPort();
    AddTestChannel(*de, "live", u"http://127.0.0.1:" + QString::number(live_port_).toStdU16String() + u"/live.wav", true);
    AddTestChannel(*de, "icy", u"http://127.0.0.1:" + QString::number(live_port_).toStdU16String() + u"/icy.wav", true);
    AddTestChannel(*de, "avlive", u"http://127.0.0.1:" + QString::number(live_port_).toStdU16String() + u"/live.ts");
    catalogue_ = &LoadTestCatalogue(root, dir_.path());

    view_.resize(320, 300);
    view_.show();
    control_ = std::make_unique<PlaybackControl>(&view_, &target_, nullptr);
    target_.control = control_.get();
    control_->Start(QRect(4, 4, 312, 260), [this] { return std::make_unique<MpvBackend>(backend_options_); });
    control_->Layout(view_.size(), false);
    spy_ = std::make_unique<StatusSpy>(control_->player());
    ASSERT_TRUE(control_->player()->connected());
  }

  void TearDown() override {
    release_stall_ = true;
    control_.reset();
    if (live_ != nullptr) KillLiveServer();
    FreeCatalogue();
    SetMessageSink({});
    Skin().Free();
  }

  // A skin whose radio picture is a small magenta block.
  void WriteSkin() {
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(kRadioPictureColour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    DocNode root("res");
    root.AddChild("images")->SetBinary("radio_player", MemoryStream(png.constData(), static_cast<uint32_t>(png.size())));
    ASSERT_TRUE(SaveDocumentFile(root, dir_ / "Resources.qdoc"));
    Skin().Load(dir_ / "Resources.qdoc", dir_ / "none.qdoc");
  }

  static void AddSource(DocNode& channel, const std::string& name, const std::u16string& address) {
    DocNode* source = channel.AddChild(name);
    source->SetInt("b", 100);
    source->SetWideString("u", address);
  }

  // The live radio server on live_port_: "/live.wav" plain, "/icy.wav"
  // with the ICY title kIcyTitle.
  bool StartLiveServer() {
    live_ = std::make_unique<MediaServer>();
    live_alive_ = std::make_shared<std::atomic<bool>>(true);
    ServeLive(live_->server(), "/live.wav", std::make_shared<LiveAudio>(), live_alive_);
    ServeLive(live_->server(), "/icy.wav", std::make_shared<LiveAudio>(4000, kIcyTitle), live_alive_);
    if (live_ts_ != nullptr) ServeLiveTs(live_->server(), live_ts_, live_alive_);
    live_->server().set_post_routing_handler([](const httplib::Request& request, httplib::Response& response) {
      if (request.path == "/icy.wav") response.set_header("icy-metaint", "4000");
    });
    return live_->Start(live_port_);
  }
  // Breaks every connection off and stops listening.
  void KillLiveServer() {
    live_alive_->store(false);
    live_->Stop();
    live_.reset();
  }

  // An M3U playlist of `paths` on this server (its port is known only once
  // it runs).
  void ServePlaylist(const std::string& path, std::vector<std::string> paths) {
    server_.server().Get(path, [this, paths](const httplib::Request&, httplib::Response& response) {
      std::string body = "#EXTM3U\n";
      for (const std::string& entry : paths) body += "http://" + server_.Host() + entry + "\n";
      response.set_content(body, "audio/x-mpegurl");
    });
  }

  Channel* Find(const std::string& key) { return catalogue_->FindChannelByKey(key); }
  QString Status() { return control_->strip()->status_text(); }
  PlayerHost* Player() { return control_->player(); }
  // Any variant: the button may have the focus.
  bool Shows(const GlyphSet& glyphs) {
    const QImage* image = control_->panel()->play_button()->CurrentImage();
    return image == &glyphs[0] || image == &glyphs[1] || image == &glyphs[2];
  }
  bool ShowsPlayGlyphs() { return Shows(Skin().PlayGlyphs()); }
  bool ShowsStopGlyphs() { return Shows(Skin().StopGlyphs()); }
  QRgb FrameCentre() {
    const QImage& frame = Player()->window()->frame();
    return frame.isNull() ? 0 : frame.pixel(frame.width() / 2, frame.height() / 2);
  }

  TempDir dir_;
  MediaServer server_;
  QWidget view_;
  RecordingViewTarget target_;
  ChannelCatalogue* catalogue_ = nullptr;
  std::unique_ptr<PlaybackControl> control_;
  std::unique_ptr<StatusSpy> spy_;
  // The player's engine options; the real audio configuration when empty.
  std::vector<MpvBackend::Option> backend_options_{{"ao", "null"}};
  // A live TV stream with sound ("/live.ts" on the live server), when made.
  std::shared_ptr<const std::string> live_ts_;
  std::vector<std::u16string> messages_;
  std::mutex agent_mutex_;
  std::string agent_;
  std::atomic<bool> release_stall_{false};
  int live_port_ = -1;
  std::unique_ptr<MediaServer> live_;
  std::shared_ptr<std::atomic<bool>> live_alive_;
};

TEST_F(PlaybackEndToEndTest, VideoChannelShowsItsColourInThePlayerWindow) {
  control_->PlayChannel(Find("de_tv"));
  EXPECT_TRUE(ShowsStopGlyphs());
  EXPECT_TRUE(Player()->window()->isVisible());
  EXPECT_FALSE(control_->radio()->isVisible());
  ASSERT_TRUE(WaitFor([&] { return Near(FrameCentre(), kVideoColour.rgb()); }))
      << std::hex << FrameCentre() << " status " << Status().toStdString();
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();
  EXPECT_TRUE(ShowsStopGlyphs());
  // Buffering ended with code 1 and the first report of the stream cleared
  // the old status.
  EXPECT_EQ(spy_->codes.front(), 0);
  EXPECT_NE(std::find(spy_->codes.begin(), spy_->codes.end(), 1), spy_->codes.end());
  const QImage shown = Player()->window()->grab().toImage();
  EXPECT_TRUE(Near(shown.pixel(shown.width() / 2, shown.height() / 2), kVideoColour.rgb()));
}

TEST_F(PlaybackEndToEndTest, AnotherChannelOrAStopNeverLeavesTheOldPictureStanding) {
  const auto shown_centre = [&] {
    const QImage shown = Player()->window()->grab().toImage();
    return shown.pixel(shown.width() / 2, shown.height() / 2);
  };
  control_->PlayChannel(Find("de_tv"));
  ASSERT_TRUE(WaitFor([&] { return Near(FrameCentre(), kVideoColour.rgb()); })) << Status().toStdString();

  // A channel whose server is down: it opens and its error stands on
  // black.
  control_->PlayChannel(Find("de_nowhere"));
  bool old_picture_seen = false;
  ASSERT_TRUE(WaitFor([&] {
    old_picture_seen = old_picture_seen || Near(FrameCentre(), kVideoColour.rgb());
    return !spy_->failures.empty();
  }));
  EXPECT_FALSE(old_picture_seen);
  // Nothing plays (the engine may say stopped or idle).
  ASSERT_TRUE(WaitFor([&] { return IsAtRest(Player()->status().state); })) << static_cast<int>(Player()->status().state) << " " << Status().toStdString();
  EXPECT_EQ(shown_centre(), qRgb(0, 0, 0));
  EXPECT_EQ(FrameCentre(), qRgb(0, 0, 0));

  control_->PlayChannel(Find("de_tv"));
  ASSERT_TRUE(WaitFor([&] { return Near(FrameCentre(), kVideoColour.rgb()); })) << Status().toStdString();
  control_->StopPlayback();
  ASSERT_TRUE(WaitFor([&] { return Player()->status().state == PlayState::kReady; }));
  EXPECT_EQ(Status(), "Stopped");
  EXPECT_EQ(shown_centre(), qRgb(0, 0, 0));
}

TEST_F(PlaybackEndToEndTest, RadioChannelShowsThePictureAndPlaysThenStops) {
  control_->PlayChannel(Find("de_radio"));
  EXPECT_TRUE(control_->radio()->isVisible());
  EXPECT_FALSE(Player()->window()->isVisible());
  const QImage picture = control_->radio()->grab().toImage();
  EXPECT_EQ(picture.pixel(picture.width() / 2, picture.height() / 2), kRadioPictureColour);
  EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 0, 0));
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();
  EXPECT_TRUE(ShowsStopGlyphs());

  control_->StopPlayback();
  EXPECT_TRUE(ShowsPlayGlyphs());
  ASSERT_TRUE(WaitFor([&] { return Player()->status().state == PlayState::kReady; }));
  EXPECT_EQ(Status(), "Stopped");
  EXPECT_EQ(spy_->codes.back(), -1);
}

TEST_F(PlaybackEndToEndTest, MissingStreamEndsInItsErrorAndFreezesTheStatusUntilTheNextBuffering) {
  control_->PlayChannel(Find("de_missing"));
  ASSERT_TRUE(WaitFor([&] { return !spy_->failures.empty(); }));
  EXPECT_EQ(spy_->Unreachable(), 0u);
  EXPECT_TRUE(Status().contains("404")) << Status().toStdString();
  EXPECT_TRUE(ShowsPlayGlyphs());
  const QString error = Status();
  const size_t reports = spy_->failures.size();
  // The player goes idle after the failure; nothing of that shows.
  ASSERT_TRUE(WaitFor([&] { return Player()->status().state == PlayState::kReady; }));
  EXPECT_EQ(Status(), error);
  EXPECT_EQ(spy_->failures.size(), reports);

  control_->PlayChannel(Find("de_radio"));
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();
}

TEST_F(PlaybackEndToEndTest, UnreachableServerGivesTheServerNotFoundCode) {
  control_->PlayChannel(Find("de_nowhere"));
  ASSERT_TRUE(WaitFor([&] { return !spy_->failures.empty(); }));
  EXPECT_TRUE(IsUnreachable(spy_->failures.back()));
  EXPECT_TRUE(Status().contains("refused")) << Status().toStdString();
  EXPECT_TRUE(ShowsPlayGlyphs());
}

TEST_F(PlaybackEndToEndTest, AStreamThatRunsDryBuffersAndPlaysOnWhenDataComesBack) {
  control_->PlayChannel(Find("de_stalling"));
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();
  ASSERT_TRUE(WaitFor([&] { return Status().startsWith("Buffering "); })) << Status().toStdString();
  EXPECT_TRUE(Player()->status().buffering());
  EXPECT_TRUE(ShowsStopGlyphs());
  release_stall_ = true;
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();
  EXPECT_FALSE(Player()->status().buffering());
  EXPECT_TRUE(ShowsStopGlyphs());
  const std::vector<std::u16string>& texts = spy_->texts;
  EXPECT_EQ(texts.front(), u"");
  EXPECT_NE(std::find(texts.begin(), texts.end(), u"Opening\u2026"), texts.end());
}

TEST_F(PlaybackEndToEndTest, PlaylistAddressesPlayOnThroughTheirEntries) {
  // One entry: the playlist hands over to it without a stop in between.
  control_->PlayChannel(Find("de_playlist"));
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();
  EXPECT_EQ(std::find(spy_->texts.begin(), spy_->texts.end(), u"Stopped"), spy_->texts.end());
  // The opening phase ends once, when the entry plays (mpv may still pause
  // for its cache for a moment right after the start: a later end is that).
  const auto first_end = std::find(spy_->codes.begin(), spy_->codes.end(), 1);
  ASSERT_NE(first_end, spy_->codes.end());
  EXPECT_EQ(spy_->texts[static_cast<size_t>(first_end - spy_->codes.begin())], u"Playing");

  // A dead first mirror is passed over: no error, the Stop glyphs stay.
  spy_->codes.clear();
  spy_->texts.clear();
  control_->PlayChannel(Find("de_mirrors"));
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();
  EXPECT_TRUE(spy_->failures.empty());
  EXPECT_TRUE(ShowsStopGlyphs());

  // Only the last entry's failure is the channel's.
  control_->PlayChannel(Find("de_dead"));
  ASSERT_TRUE(WaitFor([&] { return Player()->status().state == PlayState::kReady; }));
  EXPECT_EQ(spy_->failures.size(), 1u);
  EXPECT_EQ(spy_->Unreachable(), 0u);
  EXPECT_TRUE(Status().contains("404")) << Status().toStdString();
  EXPECT_TRUE(ShowsPlayGlyphs());
  EXPECT_FALSE(Player()->status().buffering());
}

TEST_F(PlaybackEndToEndTest, VolumeReachesThePlayerAndIsStored) {
  auto* mpv = dynamic_cast<MpvBackend*>(Player()->backend());
  ASSERT_NE(mpv, nullptr);
  const auto volume_is = [&](double expected) {
    return WaitFor([&] {
      double volume = -1;
      mpv_get_property(mpv->handle(), "volume", MPV_FORMAT_DOUBLE, &volume);
      return volume == expected;
    });
  };
  control_->SetVolume(30);
  EXPECT_EQ(GetSetting(kVolumeSetting), 30);
  ASSERT_TRUE(volume_is(30));
  // Outside 0-100 it sounds as the panel shows it, clamped.
  control_->SetVolume(-10);
  EXPECT_TRUE(volume_is(0));
  control_->SetVolume(150);
  EXPECT_TRUE(volume_is(100));
}

TEST_F(PlaybackEndToEndTest, ProviderChannelPlaysTheAddressItsProviderGives) {
  control_->PlayChannel(Find("de_provided"));
  // The provider is asked on a worker; its answer is shown once it came.
  ASSERT_TRUE(WaitFor([&] { return !messages_.empty(); }));
  EXPECT_EQ(messages_, (std::vector<std::u16string>{u"http://" + QString::fromStdString(server_.Host()).toStdU16String() + u"/tv.y4m"}));
  ASSERT_TRUE(WaitFor([&] { return Near(FrameCentre(), kVideoColour.rgb()); }))
      << std::hex << FrameCentre() << " status " << Status().toStdString();
}

// Records when a key press arrives.
class KeyCatcher : public QWidget {
 public:
  void keyPressEvent(QKeyEvent* event) override {
    handled = true;
    QWidget::keyPressEvent(event);
  }
  bool handled = false;
};

// Switches the interface language for one test.
class LanguageScope {
 public:
  explicit LanguageScope(std::u16string_view code) {
    loaded_ = Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, code);
  }
  ~LanguageScope() { Languages().Free(); }
  bool loaded() const { return loaded_; }

 private:
  bool loaded_ = false;
};

TEST_F(PlaybackEndToEndTest, ADroppedStreamReconnectsByItselfWhenTheServerComesBack) {
  ASSERT_TRUE(StartLiveServer());
  control_->PlayChannel(Find("de_live"));
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();

  KillLiveServer();
  ASSERT_TRUE(WaitFor([&] { return Status() == QString::fromStdU16String(ReconnectingText()); }))
      << Status().toStdString();
  EXPECT_TRUE(ShowsStopGlyphs());
  EXPECT_EQ(control_->now_playing().channel, u"live");

  // Back on the same port: the player finds it again without any help.
  ASSERT_TRUE(StartLiveServer());
  ASSERT_TRUE(testing::WaitFor([&] { return Status() == "Playing"; }, 40000)) << Status().toStdString();
  EXPECT_TRUE(ShowsStopGlyphs());
  EXPECT_EQ(Player()->address_state(), PlayerHost::AddressState::kPlaying);

  // Stop during a reconnection ends it at once.
  KillLiveServer();
  ASSERT_TRUE(WaitFor([&] { return Status() == QString::fromStdU16String(ReconnectingText()); }));
  control_->StopPlayback();
  EXPECT_EQ(Status(), "Stopped");
  EXPECT_TRUE(ShowsPlayGlyphs());
  ASSERT_TRUE(StartLiveServer());
  EXPECT_FALSE(testing::WaitFor([&] { return Status() == "Playing"; }, 4000));
  EXPECT_EQ(Player()->address_state(), PlayerHost::AddressState::kNone);
}

TEST_F(PlaybackEndToEndTest, AMountAnswering404WhileItRestartsIsOneMoreDrop) {
  ASSERT_TRUE(StartLiveServer());
  control_->PlayChannel(Find("de_live"));
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();
  KillLiveServer();

  // The streaming server is back before its source: the mount answers as
  // Icecast does while it has no source.
  MediaServer restarting;
  std::atomic<int> refused{0};
  restarting.server().Get("/live.wav", [&refused](const httplib::Request&, httplib::Response& response) {
    ++refused;
    response.status = 404;
    response.set_content("<html><body><b>The file you requested could not be found</b></body></html>", "text/html");
  });
  ASSERT_TRUE(restarting.Start(live_port_));
  ASSERT_TRUE(testing::WaitFor([&] { return refused >= 2; }, 40000)) << Status().toStdString();
  EXPECT_EQ(Status().toStdU16String(), ReconnectingText());
  EXPECT_TRUE(ShowsStopGlyphs());
  restarting.Stop();

  ASSERT_TRUE(StartLiveServer());
  ASSERT_TRUE(testing::WaitFor([&] { return Status() == "Playing"; }, 40000)) << Status().toStdString();
}

TEST_F(PlaybackEndToEndTest, StreamRequestsNameThePlayerAsTheirAgent) {
  control_->PlayChannel(Find("de_agent"));
  const std::string expected = "Vidora/" + QString::fromUtf16(kAppVersion).toStdString();
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard<std::mutex> lock(agent_mutex_);
    return !agent_.empty();
  }));
  std::lock_guard<std::mutex> lock(agent_mutex_);
  EXPECT_EQ(agent_, expected);
}

TEST_F(PlaybackEndToEndTest, AStreamWithoutVideoShowsTheRadioPictureWhateverItsChannelSays) {
  control_->PlayChannel(Find("de_soundastv"));
  EXPECT_TRUE(Player()->window()->isVisible());
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();
  ASSERT_TRUE(WaitFor([&] { return control_->radio()->isVisible(); }));
  EXPECT_FALSE(Player()->window()->isVisible());
  EXPECT_TRUE(control_->now_playing().radio);

  control_->PlayChannel(Find("de_tv"));
  ASSERT_TRUE(WaitFor([&] { return Player()->window()->isVisible(); }));
  EXPECT_FALSE(control_->radio()->isVisible());
  EXPECT_FALSE(control_->now_playing().radio);
}

TEST_F(PlaybackEndToEndTest, ADeadFirstSourceHandsOverToTheNextWhichThenStartsTheNextPlay) {
  Channel* channel = Find("de_failover");
  control_->PlayChannel(channel);
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();
  EXPECT_TRUE(ShowsStopGlyphs());
  EXPECT_EQ(control_->SourceFor(*channel), 1);
  EXPECT_EQ(control_->strip()->ChannelText(), "failover (source 2)");

  control_->StopPlayback();
  spy_->failures.clear();
  control_->PlayChannel(channel);
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();
  // Straight to the source that played: no failure on the way.
  EXPECT_TRUE(spy_->failures.empty());
}

TEST_F(PlaybackEndToEndTest, WhenEverySourceFailsTheErrorIsOneSentenceInTheUsersLanguage) {
  LanguageScope russian(u"ru");
  ASSERT_TRUE(russian.loaded());
  control_->PlayChannel(Find("de_alldead"));
  ASSERT_TRUE(WaitFor([&] { return ShowsPlayGlyphs() && !Status().isEmpty(); })) << Status().toStdString();
  EXPECT_EQ(Status(), QString::fromUtf8("Сервер отклонил соединение или не ответил."));
  EXPECT_TRUE(IsUnreachable(spy_->failures.back()));
  // The engine's own words stay at hand.
  EXPECT_TRUE(control_->strip()->toolTip().contains("refused")) << control_->strip()->toolTip().toStdString();
  // Both sources were tried.
  EXPECT_EQ(spy_->Unreachable(), 2u);

  control_->PlayChannel(Find("de_radio"));
  ASSERT_TRUE(WaitFor([&] { return Status() == QString::fromUtf8("Воспроизведение"); })) << Status().toStdString();
}

TEST_F(PlaybackEndToEndTest, AnUnknownServerNameGivesTheServerNotFoundSentence) {
  control_->PlayChannel(Find("de_unknown"));
  ASSERT_TRUE(testing::WaitFor([&] { return !spy_->failures.empty(); }, 60000));
  EXPECT_EQ(Status(), QString::fromStdU16String(FailureText(StreamFailure::kServerNotFound, 0)));
  EXPECT_TRUE(IsUnreachable(spy_->failures.back()));
  EXPECT_FALSE(control_->strip()->toolTip().isEmpty());
}

TEST_F(PlaybackEndToEndTest, AProviderThatNeverAnswersLeavesTheWindowWorkingAndStopCancelsIt) {
  std::atomic<bool> release{false};
  MediaServer silent;
  silent.server().Get(R"(/?general/page-9\.html)", [&release](const httplib::Request&, httplib::Response& response) {
    for (int i = 0; i < 6000 && !release; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    response.set_content("", "text/html");
  });
  ASSERT_TRUE(silent.Start());
  SetSetting(kStreamProviderHostSetting, QString::fromStdString(silent.Host()).toStdU16String());

  control_->PlayChannel(Find("de_hanging"));
  EXPECT_TRUE(ShowsStopGlyphs());
  // A key press is handled at once while the provider keeps silent (best
  // of three, so that a busy machine's scheduler does not count).
  KeyCatcher catcher;
  catcher.show();
  qint64 best_ms = 1 << 30;
  for (int i = 0; i < 3; ++i) {
    catcher.handled = false;
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::postEvent(&catcher, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
    ASSERT_TRUE(WaitFor([&] { return catcher.handled; }));
    best_ms = std::min(best_ms, clock.elapsed());
  }
  EXPECT_LT(best_ms, 100);
  EXPECT_TRUE(Player()->address_state() == PlayerHost::AddressState::kNone);

  control_->StopPlayback();
  EXPECT_TRUE(ShowsPlayGlyphs());
  EXPECT_EQ(Status(), "Stopped");
  release = true;
  // The answer that comes after the Stop changes nothing.
  EXPECT_FALSE(testing::WaitFor([&] { return !messages_.empty() || Player()->address_state() != PlayerHost::AddressState::kNone; }, 2000));
  silent.Stop();
}

TEST_F(PlaybackEndToEndTest, ARadiosOwnTitleShowsInTheStripAndTheWindowTitle) {
  ASSERT_TRUE(StartLiveServer());
  control_->PlayChannel(Find("de_icy"));
  const QString title = QString::fromStdString(kIcyTitle);
  ASSERT_TRUE(WaitFor([&] { return Status() == title; })) << Status().toStdString();
  EXPECT_EQ(view_.windowTitle(), title + QString::fromUtf8(" \u2014 icy \u2014 Vidora"));
  EXPECT_EQ(control_->now_playing().stream_title, title.toStdU16String());

  control_->PlayChannel(Find("de_tv"));
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();
  EXPECT_EQ(view_.windowTitle(), QString::fromUtf8("tv \u2014 Vidora"));
  control_->StopPlayback();
  EXPECT_EQ(view_.windowTitle(), "Vidora");
}

TEST_F(PlaybackEndToEndTest, WithoutASoundDeviceARadioSaysSo) {
  // ALSA with nothing behind it, as on a machine without sound hardware.
  PlayerHost host(&view_, QRect(0, 0, 10, 10),
                  std::make_unique<MpvBackend>(std::vector<MpvBackend::Option>{
                      {"ao", "alsa"}, {"audio-device", "alsa/vidora-e2e-no-such-device"}}),
                  {});
  ASSERT_TRUE(host.connected());
  host.Play(server_.Url("/radio.wav"));
  ASSERT_TRUE(WaitFor([&] { return host.address_state() == PlayerHost::AddressState::kFailed; }))
      << QString::fromStdU16String(host.status().text).toStdString();
  EXPECT_EQ(host.failure().failure, StreamFailure::kNoSoundDevice) << QString::fromStdU16String(host.failure().detail).toStdString();
  EXPECT_EQ(host.failure().text, FailureText(StreamFailure::kNoSoundDevice, 0));
}

}  // namespace
}  // namespace vidora::testing

namespace vidora::testing {
namespace {

// The player's own audio configuration, on a machine without a sound
// server and on one with a PulseAudio null sink, both private to the test.
class SoundOutputEndToEndTest : public PlaybackEndToEndTest {
 protected:
  void SetUpWithRuntime(bool sound_server) {
    runtime_ = std::make_unique<TempDir>();
    const std::string folder = runtime_->path().string();
    saved_runtime_ = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder));
    // No daemon of the user's, none started behind the test's back.
    std::ofstream(runtime_->path() / "client.conf") << "autospawn = no\n";
    qputenv("PULSE_CLIENTCONFIG", QByteArray::fromStdString(folder + "/client.conf"));
    qunsetenv("PULSE_SERVER");
    if (sound_server) {
      pulse_.setProgram(QStringLiteral("pulseaudio"));
      pulse_.setArguments({"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "--use-pid-file=no",
                           "--load=module-null-sink sink_name=vidora_test",
                           "--load=module-native-protocol-unix auth-anonymous=1 socket=" + QString::fromStdString(folder) +
                               "/pulse-native"});
      pulse_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
      pulse_.start();
      ASSERT_TRUE(pulse_.waitForStarted(10000));
      ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(runtime_->path() / "pulse-native"); }));
      qputenv("PULSE_SERVER", QByteArray::fromStdString("unix:" + folder + "/pulse-native"));
    }
    backend_options_.clear();
    live_ts_ = std::make_shared<const std::string>(MakeLiveTs(runtime_->path()));
    ASSERT_FALSE(live_ts_->empty());
    PlaybackEndToEndTest::SetUp();
  }
  void SetUp() override {}
  void TearDown() override {
    PlaybackEndToEndTest::TearDown();
    if (pulse_.state() != QProcess::NotRunning) {
      pulse_.terminate();
      pulse_.waitForFinished(5000);
    }
    qputenv("XDG_RUNTIME_DIR", saved_runtime_);
    qunsetenv("PULSE_SERVER");
    qunsetenv("PULSE_CLIENTCONFIG");
  }

  // TV plays, drops when its server goes, and comes back with it, saying
  // nothing of a failure on the way.
  void PlaysDropsAndReconnects() {
    ASSERT_TRUE(StartLiveServer());
    control_->PlayChannel(Find("de_avlive"));
    ASSERT_TRUE(WaitFor([&] { return Player()->address_state() == PlayerHost::AddressState::kPlaying; }))
        << Status().toStdString();
    ASSERT_TRUE(WaitFor([&] { return !Player()->window()->frame().isNull(); }));
    KillLiveServer();
    ASSERT_TRUE(WaitFor([&] { return Status() == QString::fromStdU16String(ReconnectingText()); }))
        << Status().toStdString();
    EXPECT_TRUE(ShowsStopGlyphs());
    ASSERT_TRUE(StartLiveServer());
    ASSERT_TRUE(testing::WaitFor([&] { return Player()->address_state() == PlayerHost::AddressState::kPlaying; }, 40000))
        << Status().toStdString();
    EXPECT_TRUE(ShowsStopGlyphs());
    EXPECT_NE(Status().toStdU16String(), FailureText(StreamFailure::kNoSoundDevice, 0));
  }

  std::unique_ptr<TempDir> runtime_;
  QByteArray saved_runtime_;
  QProcess pulse_;
};

TEST_F(SoundOutputEndToEndTest, WithoutASoundServerTvPlaysSilentlySaysSoOnceAndReconnectsADrop) {
  SetUpWithRuntime(false);
  PlaysDropsAndReconnects();
  EXPECT_GT(spy_->sound_missing, 0);
  EXPECT_EQ(std::count(spy_->failures.begin(), spy_->failures.end(), StreamFailure::kNoSoundDevice), 0);
}

TEST_F(SoundOutputEndToEndTest, WithANullSinkTvPlaysWithSoundAndReconnectsADrop) {
  SetUpWithRuntime(true);
  PlaysDropsAndReconnects();
  EXPECT_EQ(spy_->sound_missing, 0);
}

}  // namespace
}  // namespace vidora::testing

namespace vidora::testing {
namespace {

// A live channel whose picture cycles through four colours, kColourSeconds
// each, played with the time-shift buffer the player keeps: what the
// viewer sees when pausing, rewinding and going back to live.
class TimeshiftEndToEndTest : public PlaybackEndToEndTest {
 protected:
  static constexpr int kColourSeconds = 2;
  static constexpr std::array<QRgb, 4> kColours = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                                                   qRgb(255, 255, 255)};

  void SetUp() override {
    backend_options_ = TimeshiftEngineOptions(TimeshiftLimits{60, 256}, buffer_.path());
    backend_options_.emplace_back("ao", "null");
    QString picture;
    for (size_t i = 0; i < kColours.size(); ++i) {
      picture += QStringLiteral("color=c=0x%1:s=64x48:r=25:d=%2[c%3];")
                     .arg(kColours[i] & 0xffffff, 6, 16, QLatin1Char('0'))
                     .arg(kColourSeconds)
                     .arg(i);
    }
    picture += QStringLiteral("[c0][c1][c2][c3]concat=n=4,loop=loop=-1:size=%1[out0]").arg(4 * kColourSeconds * 25);
    live_ts_ = std::make_shared<const std::string>(MakeLiveTs(buffer_.path(), picture));
    ASSERT_FALSE(live_ts_->empty());
    PlaybackEndToEndTest::SetUp();
    bar_ = std::make_unique<TimeshiftBar>(&view_, &view_, Player(), TimeshiftLimits{60, 256});
    bar_->Follow(Player()->window());
  }
  void TearDown() override {
    bar_.reset();
    PlaybackEndToEndTest::TearDown();
  }

  static void Idle(int ms) { testing::WaitFor([] { return false; }, ms); }
  // Which of kColours the picture shows, -1 none (yet).
  int Shown() {
    const QRgb centre = FrameCentre();
    for (size_t i = 0; i < kColours.size(); ++i) {
      if (Near(centre, kColours[i], 40)) return static_cast<int>(i);
    }
    return -1;
  }
  // Waits for the picture to turn to a new colour; returns it.
  int NextColour() {
    const int was = Shown();
    int now = -1;
    EXPECT_TRUE(testing::WaitFor([&] { return (now = Shown()) >= 0 && now != was; }, 10000));
    return now;
  }

  TempDir buffer_;
  std::unique_ptr<TimeshiftBar> bar_;
};

TEST_F(TimeshiftEndToEndTest, PauseHoldsThePictureRewindShowsWhatWentByAndLiveCatchesUp) {
  ASSERT_TRUE(StartLiveServer());
  control_->PlayChannel(Find("de_avlive"));
  ASSERT_TRUE(testing::WaitFor([&] { return Shown() >= 0; }, 20000)) << Status().toStdString();
  // Long enough for 10 s of buffer behind the live edge.
  Idle(12000);
  ASSERT_TRUE(bar_->seekable());
  EXPECT_EQ(LiveLabel(bar_->at()), u"LIVE");

  // Just after a colour starts, 10 s back is the colour before it.
  const int live = NextColour();
  bar_->Step(-10);
  const int previous = (live + 3) % 4;
  EXPECT_TRUE(testing::WaitFor([&] { return Shown() == previous; }, 3000)) << Shown() << " after " << live;
  EXPECT_NE(LiveLabel(bar_->at()), u"LIVE");

  // Paused, the picture holds while the channel goes on.
  bar_->TogglePause();
  const int held = Shown();
  Idle(kColourSeconds * 1000 * 2);
  EXPECT_EQ(Shown(), held);
  EXPECT_TRUE(bar_->paused());

  // Back to live: the picture follows the channel again, colour by colour.
  bar_->BackToLive();
  EXPECT_FALSE(bar_->paused());
  ASSERT_TRUE(testing::WaitFor([&] { return LiveLabel(bar_->at()) == u"LIVE"; }, 5000));
  const int first = NextColour();
  EXPECT_EQ(NextColour(), (first + 1) % 4);
}

}  // namespace
}  // namespace vidora::testing
