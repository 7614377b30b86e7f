// Playlists from a local server: the channels reach the channels dialog,
// play through libmpv, show their logos and the programme guide, and keep
// the user's favourites through refreshes, also a damaged one.
#include <QBuffer>
#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>

#include "core/catalogue/channel_catalogue.h"
#include "ui/catalogue/channels_dialog_state.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "e2e/media_server.h"
#include "e2e/wait_for.h"
#include "support/temp_dir.h"
#include "ui/catalogue/channel_commands.h"
#include "ui/catalogue/channel_list_view.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/playback/info_strip.h"
#include "ui/playback/mpv_backend.h"
#include "ui/playback/player_host.h"
#include "ui/playback/playback_test_support.h"
#include "ui/guide/guide_page.h"
#include "core/stores/language_pack.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/guide/strip_decorations.h"
#include "ui/skin/resource_pack.h"

namespace vidora::testing {
namespace {

constexpr int kWaitMs = 20000;
constexpr int64_t kNow = 1767268800;  // the test's clock: 2026-01-01 12:00 UTC
const QColor kVideoColour(40, 60, 200);
const QRgb kLogoColour = qRgb(20, 210, 40);

bool WaitFor(const std::function<bool()>& done) { return testing::WaitFor(done, kWaitMs); }

std::string Png(int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

std::string Gzip(const std::string& text) {
  z_stream stream{};
  deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, text.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

std::string XmltvTime(int64_t seconds) {
  const time_t t = static_cast<time_t>(seconds);
  struct tm utc;
  gmtime_r(&t, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S +0000", &utc);
  return text;
}

class PlaylistsEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetBarUnitForDpi(96);
    SetMessageSink([](const std::u16string&, const std::u16string&) {});
    SetSetting(kCurrentChannelKeySetting, u"");
    SetSetting(kHideAdultSetting, false);
    server_.Serve("/media/tv.y4m", MakeSolidY4m(64, 48, 25, 250, kVideoColour), "video/x-yuv4mpeg");
    server_.Serve("/media/radio.wav", MakeToneWav(8000, 30), "audio/wav");
    server_.Serve("/logos/red.png", Png(40, 40, kLogoColour), "image/png");
    server_.server().Get("/lists/tv.m3u", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content(PlaylistText(), "audio/x-mpegurl");
    });
    server_.server().Get("/guide.xml.gz", [this](const httplib::Request&, httplib::Response& response) {
      ++guide_requests_;
      const std::string guide =
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?><tv>"
          "<channel id=\"red.tv\"><display-name>Red TV</display-name></channel>"
          "<channel id=\"x-blue\"><display-name>Blue TV</display-name></channel>"
          "<programme start=\"" + XmltvTime(kNow - 1800) + "\" stop=\"" + XmltvTime(kNow + 1800) +
          "\" channel=\"red.tv\"><title>Morning News</title></programme>"
          "<programme start=\"" + XmltvTime(kNow + 1800) + "\" stop=\"" + XmltvTime(kNow + 5400) +
          "\" channel=\"red.tv\"><title>Weather</title></programme>"
          "<programme start=\"" + XmltvTime(kNow - 600) + "\" stop=\"" + XmltvTime(kNow + 600) +
          "\" channel=\"x-blue\"><title>Blue Hour</title></programme></tv>";
      response.set_content(Gzip(guide), "application/gzip");
    });
    ASSERT_TRUE(server_.Start());

    DocNode root("1.0");
    AddTestChannel(*root.AddChild("de"), "ard", u"http://127.0.0.1:1/none.y4m");
    catalogue_ = &LoadTestCatalogue(root, dir_.path());
    PlaylistFolders folders{dir_ / "playlists", dir_ / "logos", dir_ / "guides"};
    manager_ = std::make_unique<PlaylistManager>(*catalogue_, folders, [] { return kNow; });
    QObject::connect(manager_.get(), &PlaylistManager::Imported, [this](bool ok, const QString&, const QString&) {
      (ok ? imports_ok_ : imports_failed_)++;
    });

    view_.resize(320, 300);
    view_.show();
    control_ = std::make_unique<PlaybackControl>(&view_, &target_, nullptr);
    target_.control = control_.get();
    control_->Start(QRect(4, 4, 312, 260),
                    [] { return std::make_unique<MpvBackend>(std::vector<MpvBackend::Option>{{"ao", "null"}}); });
    control_->Layout(view_.size(), false);
  }

  void TearDown() override {
    control_.reset();
    manager_.reset();
    FreeCatalogue();
    SetMessageSink({});
  }

  std::string PlaylistText() const {
    const std::string guide = "http://" + server_.Host() + "/guide.xml.gz";
    switch (version_.load()) {
      case 0:
        return "#EXTM3U url-tvg=\"" + guide + "\"\r\n"
               "#EXTINF:-1 tvg-id=\"red.tv\" tvg-logo=\"../logos/red.png\" group-title=\"News\",Red TV\r\n"
               "../media/tv.y4m\r\n"
               "#EXTINF:-1 radio=\"true\" group-title=\"Musik\",Tone FM\r\n"
               "../media/radio.wav\r\n";
      case 1:
        return "#EXTM3U url-tvg=\"" + guide + "\"\n"
               "#EXTINF:-1 tvg-id=\"red.tv\" tvg-logo=\"../logos/red.png\" group-title=\"News\",Red TV\n"
               "http://" + server_.Host() + "/media/tv.y4m\n"
               "#EXTINF:-1 group-title=\"Sport\",Blue TV\n"
               "../media/tv.y4m\n";
      case 3:
        return "#EXTM3U\n"
               "#EXTINF:-1,Box TV\n"
               "#EXTVLCOPT:http-user-agent=Box/1.0\n"
               "#EXTHTTP:{\"cookie\":\"session=a1, b2\",\"referer\":\"http://site.example/\"}\n"
               "http://" + server_.Host() + "/media/headers.y4m\n";
      default:
        return "<html><body><h1>502 Bad Gateway</h1></body></html>\n";
    }
  }

  // Imports the server's playlist and waits until everything it started
  // (the guide included) has ended.
  void AddPlaylist() {
    manager_->AddPlaylistSource(QString::fromStdU16String(server_.Url("/lists/tv.m3u")));
    ASSERT_TRUE(WaitFor([&] { return imports_ok_ + imports_failed_ > 0 && !manager_->busy(); }));
    ASSERT_EQ(imports_failed_, 0);
    ASSERT_EQ(manager_->playlists().size(), 1u);
  }

  Channel* FindByName(const std::u16string& name) {
    for (Channel* channel : catalogue_->AllChannels()) {
      if (channel->name() == name) return channel;
    }
    return nullptr;
  }

  QString Status() { return control_->strip()->status_text(); }

  TempDir dir_;
  MediaServer server_;
  std::atomic<int> version_{0};
  std::atomic<int> guide_requests_{0};
  QWidget view_;
  RecordingViewTarget target_;
  ChannelCatalogue* catalogue_ = nullptr;
  std::unique_ptr<PlaylistManager> manager_;
  std::unique_ptr<PlaybackControl> control_;
  int imports_ok_ = 0;
  int imports_failed_ = 0;
};

TEST_F(PlaylistsEndToEndTest, PlaylistChannelsAreListedPlayAndShowLogoAndGuide) {
  AddPlaylist();

  {
    ChannelsDialog dialog(nullptr, catalogue_);
    const int entry = dialog.country_combo()->findText(QStringLiteral("tv"));
    ASSERT_GT(entry, 0) << "the playlist is an entry of the country combo";
    dialog.country_combo()->setCurrentIndex(entry);
    ChannelListView* list = dialog.channel_list();
    ASSERT_EQ(list->RowCount(), 2);
    EXPECT_EQ(list->ChannelAtShownRow(0)->name(), u"Red TV");
    EXPECT_EQ(list->ChannelAtShownRow(0)->country()->flag_image(), PlaylistManager::PlaylistMark());
    EXPECT_EQ(list->ChannelAtShownRow(0)->category()->key(), "n");
    EXPECT_TRUE(list->ChannelAtShownRow(1)->radio());
    EXPECT_EQ(list->ChannelAtShownRow(1)->category()->key(), "mu");
    ASSERT_TRUE(list->SelectRow(0));
    bool has_guide = false;
    for (QAction* action : dialog.right_menu()->actions()) has_guide |= action->data().toInt() == ID_SHOW_GUIDE;
    EXPECT_TRUE(has_guide);
  }

  Channel* red = FindByName(u"Red TV");
  ASSERT_NE(red, nullptr);
  ASSERT_TRUE(WaitFor([&] { return manager_->Logo(*red) != nullptr; }));
  EXPECT_EQ(manager_->Logo(*red)->pixel(5, 5), kLogoColour);
  EXPECT_EQ(manager_->Logo(*FindByName(u"Tone FM")), nullptr);  // it has none

  control_->PlayChannel(red);
  ASSERT_TRUE(WaitFor([&] { return Status() == "Playing"; })) << Status().toStdString();
  ASSERT_TRUE(WaitFor([&] {
    const QImage& frame = control_->player()->window()->frame();
    if (frame.isNull()) return false;
    const QRgb centre = frame.pixel(frame.width() / 2, frame.height() / 2);
    return std::abs(qBlue(centre) - kVideoColour.blue()) < 16 && std::abs(qRed(centre) - kVideoColour.red()) < 16;
  }));

  const QString expected = GuideClock(kNow - 1800) + QStringLiteral(" Morning News \u00B7 ") + GuideClock(kNow + 1800) +
                           QStringLiteral(" Weather");
  EXPECT_EQ(NowNextLine(*red), expected);
  EXPECT_EQ(guide_requests_.load(), 1);
  // The strip shows the logo at its right end.
  const QImage strip = control_->strip()->grab().toImage();
  bool logo_shown = false;
  for (int x = strip.width() * 3 / 4; x < strip.width(); ++x) logo_shown |= strip.pixel(x, strip.height() / 2) == kLogoColour;
  EXPECT_TRUE(logo_shown);

  // The channels dialog's guide page for the selected channel.
  ChannelsDialog dialog(nullptr, catalogue_);
  dialog.ShowTab(kChannelsTab);
  dialog.country_combo()->setCurrentIndex(dialog.country_combo()->findText(QStringLiteral("tv")));
  ASSERT_TRUE(dialog.channel_list()->SelectRow(0));
  ASSERT_EQ(dialog.channel_list()->SelectedChannel(), red);
  dialog.RunCommand(ID_SHOW_GUIDE);
  ASSERT_TRUE(dialog.GuideShown());
  GuidePage* guide = dialog.guide_page();
  ASSERT_EQ(guide->count(), 2);
  EXPECT_TRUE(guide->item(0)->font().bold());  // the running one
  EXPECT_FALSE(guide->item(1)->font().bold());
}

TEST_F(PlaylistsEndToEndTest, RefreshKeepsFavouritesAndADamagedDownloadKeepsTheOldCopy) {
  AddPlaylist();
  Channel* red = FindByName(u"Red TV");
  ASSERT_NE(red, nullptr);
  red->set_favourite(true);
  const std::string red_key(red->key());

  version_ = 1;
  manager_->RefreshPlaylists();
  ASSERT_TRUE(WaitFor([&] { return FindByName(u"Blue TV") != nullptr && !manager_->busy(); }));
  EXPECT_EQ(FindByName(u"Tone FM"), nullptr);
  ASSERT_NE(catalogue_->FindChannelByKey(red_key), nullptr);
  EXPECT_TRUE(catalogue_->FindChannelByKey(red_key)->favourite());
  // Matched by its display name, the channel without a tvg-id has a guide.
  EXPECT_TRUE(NowNextLine(*FindByName(u"Blue TV")).contains(QStringLiteral("Blue Hour")));

  const std::filesystem::path file = manager_->playlists()[0].file;
  std::ifstream before_in(file, std::ios::binary);
  const std::string before((std::istreambuf_iterator<char>(before_in)), std::istreambuf_iterator<char>());
  version_ = 2;
  const int failed = imports_failed_;
  manager_->RefreshPlaylists();
  ASSERT_TRUE(WaitFor([&] { return imports_failed_ > failed && !manager_->busy(); }));
  std::ifstream after_in(file, std::ios::binary);
  const std::string after((std::istreambuf_iterator<char>(after_in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(before, after);
  ASSERT_NE(FindByName(u"Blue TV"), nullptr);
  EXPECT_TRUE(catalogue_->FindChannelByKey(red_key)->favourite());

  // The favourite reaches the settings file's channel state.
  DocNode saved("channels");
  std::vector<ChannelStateEntry> entries;
  catalogue_->SaveChannelState([&entries](const ChannelStateEntry& entry) { entries.push_back(entry); });
  AddChannelStateNodes(entries, saved);
  ASSERT_NE(saved.FindChild(red_key), nullptr);
  EXPECT_TRUE(saved.FindChild(red_key)->GetBool("f", false));

  // Removing the playlist takes its channels away.
  manager_->RemovePlaylist(manager_->playlists()[0].key);
  EXPECT_EQ(FindByName(u"Red TV"), nullptr);
  EXPECT_EQ(catalogue_->AllChannels().size(), 1u);
}

TEST_F(PlaylistsEndToEndTest, AChannelsAgentReferrerAndCookieGoWithItsStreamRequest) {
  server_.Stop();
  // The server outlives this test's body (the fixture stops it) and the
  // player may ask again meanwhile: what the handler writes is shared.
  struct Seen {
    std::mutex mutex;
    std::string agent, referrer, cookie;
  };
  const auto seen = std::make_shared<Seen>();
  const std::string video = MakeSolidY4m(64, 48, 25, 250, kVideoColour);
  server_.server().Get("/media/headers.y4m", [seen, video](const httplib::Request& request, httplib::Response& response) {
    {
      std::lock_guard<std::mutex> lock(seen->mutex);
      seen->agent = request.get_header_value("User-Agent");
      seen->referrer = request.get_header_value("Referer");
      seen->cookie = request.get_header_value("Cookie");
    }
    response.set_content(video, "video/x-yuv4mpeg");
  });
  ASSERT_TRUE(server_.Start());
  version_ = 3;
  AddPlaylist();
  Channel* box = FindByName(u"Box TV");
  ASSERT_NE(box, nullptr);
  control_->PlayChannel(box);
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard<std::mutex> lock(seen->mutex);
    return !seen->agent.empty();
  }));
  std::lock_guard<std::mutex> lock(seen->mutex);
  EXPECT_EQ(seen->agent, "Box/1.0");
  EXPECT_EQ(seen->referrer, "http://site.example/");
  // One header, its comma kept.
  EXPECT_EQ(seen->cookie, "session=a1, b2");
}

TEST_F(PlaylistsEndToEndTest, AnswersThatAreNoPlaylistAreToldOnceAndStreamsArePlayed) {
  server_.Stop();
  server_.server().Get("/lists/hls.m3u8", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:6\n#EXTINF:6.0,\nseg1.ts\n",
                         "application/vnd.apple.mpegurl");
  });
  server_.server().Get("/lists/gone.m3u", [](const httplib::Request&, httplib::Response& response) {
    response.status = 404;
    response.set_content("<!DOCTYPE html><html><head><title>404 Not Found</title></head></html>", "text/html");
  });
  server_.server().Get(R"(/lists/(\w+)\.m3u)", [this](const httplib::Request&, httplib::Response& response) {
    response.set_content(PlaylistText(), "audio/x-mpegurl");
  });
  ASSERT_TRUE(server_.Start());
  ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, u"en"));
  std::vector<QString> texts, streams;
  QObject context;  // goes before the vectors do
  QObject::connect(manager_.get(), &PlaylistManager::Imported, &context,
                   [&](bool, const QString&, const QString& text) { texts.push_back(text); });
  QObject::connect(manager_.get(), &PlaylistManager::StreamGiven, &context,
                   [&](const QString& address) { streams.push_back(address); });

  manager_->AddPlaylistSource(QString::fromStdU16String(server_.Url("/lists/hls.m3u8")));
  ASSERT_TRUE(WaitFor([&] { return !streams.empty() && !manager_->busy(); }));
  manager_->AddPlaylistSource(QString::fromStdU16String(server_.Url("/lists/gone.m3u")));
  ASSERT_TRUE(WaitFor([&] { return !texts.empty() && !manager_->busy(); }));
  EXPECT_TRUE(texts.back().contains(QStringLiteral("404 Not Found"))) << texts.back().toStdString();
  EXPECT_TRUE(manager_->playlists().empty());

  // Three playlists, then the server goes: one sentence for all three.
  for (const char* name : {"/lists/a.m3u", "/lists/b.m3u", "/lists/c.m3u"}) {
    const size_t before = texts.size();
    manager_->AddPlaylistSource(QString::fromStdU16String(server_.Url(name)));
    ASSERT_TRUE(WaitFor([&] { return texts.size() > before && !manager_->busy(); }));
  }
  ASSERT_EQ(manager_->playlists().size(), 3u);
  server_.Stop();
  const size_t before = texts.size();
  manager_->RefreshPlaylists();
  ASSERT_TRUE(WaitFor([&] { return texts.size() > before && !manager_->busy(); }));
  ASSERT_EQ(texts.size(), before + 1);
  EXPECT_EQ(texts.back(), QStringLiteral("3 playlists could not be refreshed; the previous copies are kept."));
  EXPECT_EQ(manager_->playlists().size(), 3u);
  Languages().Free();
}

}  // namespace
}  // namespace vidora::testing
