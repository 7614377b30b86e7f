// The desktop's services following playback: MPRIS as a D-Bus client sees
// it and drives it, and the idle inhibit while a TV channel plays, on a
// private bus and on a private X server.
#include "ui/desktop/desktop_session.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QObject>
#include <QSet>
#include <QVariantMap>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QImage>
#include <QProcess>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <cmath>
#include <memory>
#include <functional>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "core/stores/app_paths.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"
#include "ui/desktop/private_bus.h"
#include "ui/desktop/x_server.h"
#include "core/stores/image_lookup.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/skinned_trackbar.h"
#include "ui/playback/volume_trackbar.h"
#include "ui/playback/control_panel.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/playback_test_support.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"
#include "ui/shell/shell_test_support.h"

namespace vidora::testing {
namespace {

// org.freedesktop.ScreenSaver on a test bus: counts inhibits and keeps the
// cookies still held.
class ScreenSaverStub : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

 public:
  bool Register(QDBusConnection bus) {
    return bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), this, QDBusConnection::ExportAllSlots) &&
           bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
  }
  int inhibits() const { return inhibits_; }
  int active() const { return static_cast<int>(held_.size()); }

 public Q_SLOTS:  // NOLINT: D-Bus methods
  uint Inhibit(const QString&, const QString&) {
    ++inhibits_;
    held_.insert(next_cookie_);
    return next_cookie_++;
  }
  void UnInhibit(uint cookie) { held_.remove(cookie); }

 private:
  int inhibits_ = 0;
  uint next_cookie_ = 17;
  QSet<uint> held_;
};

// The next way of a fallback chain: records whether it holds an inhibit.
class RecordingInhibitor : public IdleInhibitor {
 public:
  explicit RecordingInhibitor(bool* held) : held_(held) {}
  void Inhibit(const QString&) override { *held_ = true; }
  void Release() override { *held_ = false; }
  bool inhibiting() const override { return *held_; }
  QString mechanism() const override { return QStringLiteral("next"); }

 private:
  bool* held_;
};

// Collects the changed properties of the MPRIS player's
// PropertiesChanged signals.
class PropertiesWatcher : public QObject {
  Q_OBJECT

 public:
  PropertiesWatcher(QDBusConnection bus, std::vector<QVariantMap>* changes) : changes_(changes) {
    bus.connect(QString(), QStringLiteral("/org/mpris/MediaPlayer2"), QStringLiteral("org.freedesktop.DBus.Properties"),
                QStringLiteral("PropertiesChanged"), this, SLOT(OnChanged(QString, QVariantMap, QStringList)));
  }

 public Q_SLOTS:  // NOLINT: D-Bus signal
  void OnChanged(const QString& interface, const QVariantMap& changed, const QStringList&) {
    if (interface == QStringLiteral("org.mpris.MediaPlayer2.Player")) changes_->push_back(changed);
  }

 private:
  std::vector<QVariantMap>* changes_;
};


constexpr char kMprisPath[] = "/org/mpris/MediaPlayer2";
constexpr char kRoot[] = "org.mpris.MediaPlayer2";
constexpr char kPlayer[] = "org.mpris.MediaPlayer2.Player";

class DesktopSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadTestSkin();
    SetMessageSink([](const std::u16string&, const std::u16string&) {});
    SetSetting(kCurrentChannelKeySetting, u"");
    SetSetting(kHideAdultSetting, false);
    SetSetting(kVolumeSetting, 50);
    // Written files (the flag art) stay in the test's own folder.
    SetAppPaths(PortableAppPaths(dir_.path() / "portable"));
    flag_ = std::make_unique<SkinImage>(SolidImage(16, 11, qRgb(0, 0, 255)));
    SetImageLookup([this](std::string_view name) { return name == "f_de" ? flag_.get() : nullptr; });
    DocNode root("1.0");
    DocNode* de = root.AddChild("de");
    AddTestChannel(*de, "tv", u"http://127.0.0.1:9/tv.y4m");
    AddTestChannel(*de, "tv2", u"http://127.0.0.1:9/tv2.y4m");
    AddTestChannel(*de, "radio", u"http://127.0.0.1:9/radio.wav", true);
    catalogue_ = &LoadTestCatalogue(root, dir_.path());
    Find("tv")->set_favourite(true);
    Find("tv2")->set_favourite(true);
    view_.resize(240, 268);
    control_ = std::make_unique<PlaybackControl>(&view_, &target_, nullptr);
    target_.control = control_.get();
    control_->Start(QRect(4, 4, 232, 228), [this] { return std::make_unique<FakePlayerBackend>(record_); });
    control_->Layout(view_.size(), false);
    view_.show();
  }
  void TearDown() override {
    session_.reset();
    control_.reset();
    FreeCatalogue();
    SetImageLookup({});
    SetAppPaths(PortableAppPaths(AppFolderPath()));
    SetMessageSink({});
  }

  // A session on the private bus with the screen-saver inhibitor, and the
  // stub service that inhibitor talks to.
  // With `next`, the inhibitor is a fallback chain of the two.
  void StartOnBus(std::unique_ptr<IdleInhibitor> next = nullptr) {
    ASSERT_FALSE(bus_.address().isEmpty()) << "dbus-daemon did not start";
    QDBusConnection service_side = bus_.Connect(QStringLiteral("vidora_player"));
    stub_ = std::make_unique<ScreenSaverStub>();
    ASSERT_TRUE(stub_->Register(bus_.Connect(QStringLiteral("screen_saver"))));
    DesktopSession::Services services;
    services.bus = service_side;
    services.inhibitor = CreateScreenSaverInhibitor(service_side);
    if (next) {
      std::vector<std::unique_ptr<IdleInhibitor>> ways;
      ways.push_back(std::move(services.inhibitor));
      ways.push_back(std::move(next));
      services.inhibitor = CreateFallbackInhibitor(std::move(ways));
    }
    services.raise = [this] { ++raises_; };
    services.hold = hold_;
    session_ = std::make_unique<DesktopSession>(control_.get(), std::move(services));
    ASSERT_TRUE(session_->mpris()->registered());
    client_ = std::make_unique<QDBusConnection>(bus_.Connect(QStringLiteral("client")));
  }

  // Runs the event loop while the call is answered (the service lives on
  // this thread, so a blocking call would never be answered).
  QDBusMessage Call(const QString& interface, const QString& method, const QVariantList& args = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(MprisService::kServiceName),
                                                       QString::fromLatin1(kMprisPath), interface, method);
    call.setArguments(args);
    QDBusPendingCall pending = client_->asyncCall(call);
    EXPECT_TRUE(ProcessUntil([&] { return pending.isFinished(); }, 5000));
    return pending.reply();
  }
  QVariant Get(const char* interface, const char* name) {
    const QDBusMessage reply = Call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                    {QString::fromLatin1(interface), QString::fromLatin1(name)});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().first().value<QDBusVariant>().variant();
  }
  QVariantMap Metadata() {
    const QVariant value = Get(kPlayer, "Metadata");
    QVariantMap map;
    value.value<QDBusArgument>() >> map;
    return map;
  }
  QDBusMessage PlayerCall(const char* method, const QVariantList& args = {}) {
    return Call(QString::fromLatin1(kPlayer), QString::fromLatin1(method), args);
  }

  Channel* Find(const std::string& key) { return catalogue_->FindChannelByKey("de_" + key); }

  TempDir dir_;
  std::unique_ptr<SkinImage> flag_;
  QWidget view_;
  RecordingViewTarget target_;
  FakePlayerBackend::Record record_;
  ChannelCatalogue* catalogue_ = nullptr;
  std::unique_ptr<PlaybackControl> control_;
  PrivateBus bus_;
  std::unique_ptr<ScreenSaverStub> stub_;
  std::unique_ptr<QDBusConnection> client_;
  std::unique_ptr<DesktopSession> session_;
  int raises_ = 0;
  std::function<bool(bool)> hold_;
};

TEST_F(DesktopSessionTest, MprisClientReadsIdentityMetadataAndDrivesThePlayer) {
  StartOnBus();
  EXPECT_EQ(Get(kRoot, "Identity").toString(), QStringLiteral("Vidora"));
  EXPECT_EQ(Get(kRoot, "DesktopEntry").toString(), QStringLiteral("vidora"));
  EXPECT_EQ(Get(kPlayer, "PlaybackStatus").toString(), QStringLiteral("Stopped"));

  control_->PlayChannel(Find("tv"));
  EXPECT_EQ(Get(kPlayer, "PlaybackStatus").toString(), QStringLiteral("Playing"));
  QVariantMap metadata = Metadata();
  EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("tv"));
  EXPECT_EQ(metadata.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("tv"));
  EXPECT_EQ(metadata.value(QStringLiteral("xesam:artist")).toStringList(), QStringList{QStringLiteral("tv")});
  EXPECT_TRUE(Get(kPlayer, "CanGoNext").toBool());
  EXPECT_TRUE(Get(kPlayer, "CanPause").toBool());

  // PlayPause on a live stream stops it; a second one plays it again.
  const int stops = record_.stops;
  PlayerCall("PlayPause");
  EXPECT_FALSE(control_->playing());
  EXPECT_GT(record_.stops, stops);
  EXPECT_EQ(Get(kPlayer, "PlaybackStatus").toString(), QStringLiteral("Stopped"));
  PlayerCall("PlayPause");
  EXPECT_TRUE(control_->playing());
  ASSERT_FALSE(record_.loads.empty());
  EXPECT_EQ(record_.loads.back(), "http://127.0.0.1:9/tv.y4m");

  // Next steps to the other favourite.
  PlayerCall("Next");
  EXPECT_EQ(catalogue_->CurrentChannel(), Find("tv2"));
  EXPECT_EQ(record_.loads.back(), "http://127.0.0.1:9/tv2.y4m");
  EXPECT_EQ(Metadata().value(QStringLiteral("xesam:title")).toString(), QStringLiteral("tv2"));
  PlayerCall("Previous");
  EXPECT_EQ(catalogue_->CurrentChannel(), Find("tv"));

  // Pause stops too (a live stream has no place to hold).
  PlayerCall("Pause");
  EXPECT_FALSE(control_->playing());

  Call(QString::fromLatin1(kRoot), QStringLiteral("Raise"));
  EXPECT_EQ(raises_, 1);
}

TEST_F(DesktopSessionTest, PauseHoldsAStreamWithABufferAndPlayResumesIt) {
  // The frame's time-shift bar: it holds while a buffer exists and says so.
  bool buffered = true;
  std::vector<bool> holds;
  hold_ = [&](bool hold) {
    if (!buffered) return false;
    holds.push_back(hold);
    session_->SetPaused(hold);
    return true;
  };
  StartOnBus();
  control_->PlayChannel(Find("tv"));
  const int stops = record_.stops;
  PlayerCall("Pause");
  EXPECT_EQ(Get(kPlayer, "PlaybackStatus").toString(), QStringLiteral("Paused"));
  EXPECT_TRUE(control_->playing());
  EXPECT_EQ(record_.stops, stops);
  PlayerCall("PlayPause");
  EXPECT_EQ(Get(kPlayer, "PlaybackStatus").toString(), QStringLiteral("Playing"));
  PlayerCall("PlayPause");
  EXPECT_EQ(Get(kPlayer, "PlaybackStatus").toString(), QStringLiteral("Paused"));
  PlayerCall("Play");
  EXPECT_EQ(Get(kPlayer, "PlaybackStatus").toString(), QStringLiteral("Playing"));
  EXPECT_EQ(holds, (std::vector<bool>{true, false, true, false}));

  // Without a buffer there is no place to hold: Pause stops.
  buffered = false;
  PlayerCall("Pause");
  EXPECT_FALSE(control_->playing());
  EXPECT_EQ(Get(kPlayer, "PlaybackStatus").toString(), QStringLiteral("Stopped"));
}

TEST_F(DesktopSessionTest, VolumeStaysInStepWithTheTrackbarAndTheSetting) {
  StartOnBus();
  std::vector<QVariantMap> changes;
  PropertiesWatcher watcher(*client_, &changes);

  const QDBusMessage set = Call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
                                {QString::fromLatin1(kPlayer), QStringLiteral("Volume"),
                                 QVariant::fromValue(QDBusVariant(0.3))});
  EXPECT_EQ(set.type(), QDBusMessage::ReplyMessage) << set.errorMessage().toStdString();
  EXPECT_EQ(control_->panel()->volume()->value(), 30);
  EXPECT_EQ(GetSetting(kVolumeSetting), 30);
  ASSERT_FALSE(record_.volumes.empty());
  EXPECT_EQ(record_.volumes.back(), 30);

  // A drag of the trackbar is seen by the desktop, as a property and as
  // a change signal.
  control_->panel()->volume()->setValue(70);
  EXPECT_DOUBLE_EQ(Get(kPlayer, "Volume").toDouble(), 0.7);
  ASSERT_TRUE(ProcessUntil(
      [&] {
        for (const QVariantMap& change : changes) {
          if (change.value(QStringLiteral("Volume")).toDouble() == 0.7) return true;
        }
        return false;
      },
      5000));
}

TEST_F(DesktopSessionTest, OpenUriPlaysNetworkAddressesAndRefusesOthersAndOddVolumesAreIgnored) {
  StartOnBus();
  EXPECT_TRUE(Get("org.mpris.MediaPlayer2", "SupportedUriSchemes").toStringList().contains(QStringLiteral("https")));
  EXPECT_FALSE(Get("org.mpris.MediaPlayer2", "SupportedMimeTypes").toStringList().isEmpty());
  const QDBusMessage opened = PlayerCall("OpenUri", {QStringLiteral("http://127.0.0.1:9/opened.ts")});
  EXPECT_EQ(opened.type(), QDBusMessage::ReplyMessage) << opened.errorMessage().toStdString();
  ASSERT_FALSE(record_.loads.empty());
  EXPECT_EQ(record_.loads.back(), "http://127.0.0.1:9/opened.ts");
  EXPECT_EQ(Get(kPlayer, "PlaybackStatus").toString(), QStringLiteral("Playing"));
  const size_t loads = record_.loads.size();
  const QDBusMessage refused = PlayerCall("OpenUri", {QStringLiteral("file:///etc/passwd")});
  EXPECT_EQ(refused.type(), QDBusMessage::ErrorMessage);
  EXPECT_EQ(refused.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
  EXPECT_EQ(record_.loads.size(), loads);

  // Each channel has its own track id.
  control_->PlayChannel(Find("tv"));
  const QString tv = Metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
  control_->PlayChannel(Find("radio"));
  const QString radio = Metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
  EXPECT_NE(tv, radio);

  // NaN is no level; the volume stays.
  control_->SetVolume(40);
  Call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
       {QString::fromLatin1(kPlayer), QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(std::nan("")))});
  EXPECT_EQ(control_->volume_level(), 40);
  EXPECT_FALSE(control_->muted());
  EXPECT_DOUBLE_EQ(Get(kPlayer, "MaximumRate").toDouble(), 1.0);
}

TEST_F(DesktopSessionTest, StreamTitleLeadsTheMetadataUntilTheChannelChanges) {
  StartOnBus();
  control_->PlayChannel(Find("radio"));
  session_->SetStreamTitle(QStringLiteral("Artist - Song"));
  QVariantMap metadata = Metadata();
  EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Artist - Song"));
  EXPECT_EQ(metadata.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("radio"));
  control_->PlayChannel(Find("tv"));
  EXPECT_EQ(Metadata().value(QStringLiteral("xesam:title")).toString(), QStringLiteral("tv"));
}

TEST_F(DesktopSessionTest, TvInhibitsTheScreenSaverRadioDoesNotAndStopFailureAndCloseRelease) {
  StartOnBus();
  control_->PlayChannel(Find("tv"));
  ASSERT_TRUE(ProcessUntil([&] { return stub_->active() == 1; }, 20000));
  EXPECT_EQ(stub_->inhibits(), 1);
  control_->StopPlayback();
  ASSERT_TRUE(ProcessUntil([&] { return stub_->active() == 0; }, 20000));

  // A radio station shows a still picture: no inhibit.
  control_->PlayChannel(Find("radio"));
  ProcessUntil([] { return false; }, 300);
  EXPECT_EQ(stub_->inhibits(), 1);
  EXPECT_EQ(stub_->active(), 0);

  // Switching from radio to TV inhibits; a failure of the stream releases.
  control_->PlayChannel(Find("tv2"));
  ASSERT_TRUE(ProcessUntil([&] { return stub_->active() == 1; }, 20000));
  record_.status = u"Failed";
  record_.failure = StreamFailure::kNotAvailable;
  record_.play_state = PlayState::kStopped;
  record_.observer->OnBackendError();
  ASSERT_TRUE(ProcessUntil([&] { return stub_->active() == 0; }, 20000));

  // Closing while a TV channel plays releases too.
  control_->PlayChannel(Find("tv"));
  ASSERT_TRUE(ProcessUntil([&] { return stub_->active() == 1; }, 20000));
  session_.reset();
  ASSERT_TRUE(ProcessUntil([&] { return stub_->active() == 0; }, 20000));
  EXPECT_EQ(stub_->inhibits(), 3);
}

TEST_F(DesktopSessionTest, TheInhibitFollowsARestartedScreenSaverServiceAndFallsBackWhenItGoes) {
  bool next_held = false;
  StartOnBus(std::make_unique<RecordingInhibitor>(&next_held));
  control_->PlayChannel(Find("tv"));
  ASSERT_TRUE(ProcessUntil([&] { return stub_->active() == 1; }, 20000));

  EXPECT_FALSE(next_held);

  // The desktop's service goes: the next way takes over.
  QDBusConnection::disconnectFromBus(QStringLiteral("screen_saver"));
  EXPECT_TRUE(ProcessUntil([&] { return next_held; }, 20000));
  // It starts again: the new one is asked too.
  ScreenSaverStub restarted;
  ASSERT_TRUE(restarted.Register(bus_.Connect(QStringLiteral("screen_saver_again"))));
  EXPECT_TRUE(ProcessUntil([&] { return restarted.active() == 1; }, 20000));

  // Stopping releases both.
  control_->StopPlayback();
  EXPECT_FALSE(next_held);
  EXPECT_TRUE(ProcessUntil([&] { return restarted.active() == 0; }, 20000));
}

TEST_F(DesktopSessionTest, WithoutABusThePlayerRunsWithoutMpris) {
  DesktopSession::Services services;  // a disconnected bus, no inhibitor
  session_ = std::make_unique<DesktopSession>(control_.get(), std::move(services));
  EXPECT_FALSE(session_->mpris()->registered());
  control_->PlayChannel(Find("tv"));
  EXPECT_TRUE(session_->mpris()->state().playing);
  EXPECT_EQ(session_->mpris()->state().channel, QStringLiteral("tv"));
  control_->StopPlayback();
  EXPECT_FALSE(session_->mpris()->state().playing);
}

// A private X server with a 3-second screen saver: six seconds of a TV
// channel leave it off, the same time stopped turns it on.
TEST_F(DesktopSessionTest, XScreenSaverStaysOffWhileATvChannelPlays) {
  XServer server;
  if (!server.Start()) GTEST_SKIP() << "Xvfb could not be started";
  server.SetScreenSaverTimeout(3);
  DesktopSession::Services services;
  services.inhibitor = CreateXScreenSaverInhibitor(server.name(), 300);
  session_ = std::make_unique<DesktopSession>(control_.get(), std::move(services));

  control_->PlayChannel(Find("tv"));
  EXPECT_TRUE(session_->inhibitor()->inhibiting());
  // Savers that are X clients ignore the suspension and read the idle
  // time, which the periodic reset keeps short.
  long longest_idle = 0;
  for (int i = 0; i < 30; ++i) {
    ProcessUntil([] { return false; }, 200);
    longest_idle = std::max(longest_idle, server.IdleMs());
  }
  EXPECT_FALSE(server.SaverActive());
  EXPECT_LT(longest_idle, 2000);

  control_->StopPlayback();
  EXPECT_FALSE(session_->inhibitor()->inhibiting());
  EXPECT_TRUE(ProcessUntil([&] { return server.SaverActive(); }, 8000));
}


// A playlist channel's cached logo is the art MPRIS shows (once it is
// there); catalogue channels and playlist channels without a logo keep the
// flag picture.
TEST_F(DesktopSessionTest, ArtIsAPlaylistChannelsCachedLogoElseTheFlag) {
  QImage logo(40, 20, QImage::Format_RGB32);
  logo.fill(qRgb(0, 200, 0));
  ASSERT_TRUE(logo.save(QString::fromStdString((dir_.path() / "logo.png").string())));
  const std::filesystem::path list = dir_.path() / "list.m3u";
  std::ofstream(list) << "#EXTM3U\n#EXTINF:-1 tvg-logo=\"logo.png\",Logo TV\nhttp://127.0.0.1:9/logo.y4m\n"
                         "#EXTINF:-1,Plain TV\nhttp://127.0.0.1:9/plain.y4m\n";
  PlaylistManager playlists(*catalogue_,
                            PlaylistFolders{dir_.path() / "playlists", dir_.path() / "logos", dir_.path() / "guides"},
                            [] { return int64_t{1000}; });
  bool imported = false;
  QObject::connect(&playlists, &PlaylistManager::Imported, [&](bool ok, const QString&, const QString&) { imported = ok; });
  playlists.AddPlaylistSource(QString::fromStdString(list.string()));
  ASSERT_TRUE(ProcessUntil([&] { return imported && !playlists.busy(); }));
  StartOnBus();  // after the manager, as in the player

  Channel* logo_tv = nullptr;
  Channel* plain_tv = nullptr;
  for (Channel* channel : catalogue_->AllChannels()) {
    if (channel->name() == u"Logo TV") logo_tv = channel;
    if (channel->name() == u"Plain TV") plain_tv = channel;
  }
  ASSERT_NE(logo_tv, nullptr);
  ASSERT_NE(plain_tv, nullptr);
  const QString flag_art = DesktopSession::ArtUrlFor(Find("tv"));
  // A portable copy keeps the flag picture in its own cache folder.
  EXPECT_EQ(std::filesystem::path(QUrl(flag_art).toLocalFile().toStdString()).parent_path(),
            dir_.path() / "portable" / "cache" / "art");

  control_->PlayChannel(logo_tv);
  // The logo is fetched when first asked for; its arrival updates MPRIS.
  ASSERT_TRUE(ProcessUntil([&] { return !playlists.busy() && !playlists.LogoFile(*logo_tv).empty(); }));
  const QUrl art(Metadata().value(QStringLiteral("mpris:artUrl")).toString());
  ASSERT_TRUE(art.isLocalFile()) << art.toString().toStdString();
  const std::filesystem::path art_file = art.toLocalFile().toStdString();
  EXPECT_EQ(art_file.parent_path(), dir_.path() / "logos");
  EXPECT_EQ(art_file, playlists.LogoFile(*logo_tv));
  const QImage shown(art.toLocalFile());
  ASSERT_FALSE(shown.isNull());
  EXPECT_EQ(shown.size(), QSize(40, 20));
  EXPECT_EQ(shown.pixel(5, 5), qRgb(0, 200, 0));

  control_->PlayChannel(plain_tv);
  EXPECT_EQ(Metadata().value(QStringLiteral("mpris:artUrl")).toString(), DesktopSession::ArtUrlFor(plain_tv));
  EXPECT_FALSE(Metadata().value(QStringLiteral("mpris:artUrl")).toString().contains(QStringLiteral("/logos/")));
  control_->PlayChannel(Find("tv"));
  EXPECT_EQ(Metadata().value(QStringLiteral("mpris:artUrl")).toString(), flag_art);
  session_.reset();  // before the manager it follows
}

}  // namespace
}  // namespace vidora::testing

#include "desktop_session_test.moc"
