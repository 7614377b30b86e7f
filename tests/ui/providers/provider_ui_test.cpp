// "Add provider account…" and the radio directory page as a user works
// them, against local stand-ins of the servers.
#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QListWidget>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/document_format.h"
#include "core/catalogue/channel.h"
#include "core/document/text_codec.h"
#include "core/providers/credential_store.h"
#include "core/providers/xtream_address_provider.h"
#include "core/providers/xtream_client.h"
#include "core/stores/message_sink.h"
#include "core/stores/setting_keys.h"
#include "core/stores/settings_store.h"
#include "e2e/wait_for.h"
#include "support/temp_dir.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/providers/film_list_model.h"
#include "ui/providers/films_page.h"
#include "ui/providers/provider_account_dialog.h"
#include "ui/providers/provider_setup.h"
#include "ui/providers/provider_texts.h"
#include "ui/providers/short_guide_follower.h"
#include "ui/radio/radio_directory_page.h"
#include "ui/texts/ui_texts.h"

namespace vidora::testing {
namespace {

class StandIn {
 public:
  StandIn() {
    server_.Get("/player_api.php", [](const httplib::Request& request, httplib::Response& response) {
      const std::string action = request.get_param_value("action");
      if (request.get_param_value("password") != "right") {
        response.set_content(R"({"user_info":{"auth":0}})", "application/json");
      } else if (action == "get_live_streams") {
        response.set_content(R"([{"name":"Night News","stream_id":"7","epg_channel_id":"","category_id":"1"}])",
                             "application/json");
      } else if (action == "get_short_epg") {
        // "Late Edition" in Base64; times as a string and as a number.
        response.set_content(R"({"epg_listings":[{"title":"TGF0ZSBFZGl0aW9u","description":"",
                                "start_timestamp":"1759999000","stop_timestamp":1760002600}]})",
                             "application/json");
      } else if (action == "get_vod_categories") {
        response.set_content(R"([{"category_id":"5","category_name":"Drama"},{"category_id":"6","category_name":"Comedy"}])",
                             "application/json");
      } else if (action == "get_vod_streams") {
        response.set_content(R"([{"name":"The Long Road","stream_id":"1001","category_id":"5","container_extension":"mkv"},
                                {"name":"Roadside Laughs","stream_id":1002,"category_id":6,"container_extension":"mp4"},
                                {"name":"Quiet Water","stream_id":"1003","category_id":"5"}])", "application/json");
      } else if (action == "get_series") {
        response.set_content(R"([{"name":"Harbour Lights","series_id":"77","plot":"A town by the sea.","category_id":"9"}])",
                             "application/json");
      } else if (action == "get_series_info") {
        response.set_content(R"({"info":{"plot":"A town by the sea."},"episodes":{
                                "1":[{"id":"5001","episode_num":"1","title":"Arrival","container_extension":"mkv"},
                                     {"id":"5002","episode_num":"2","title":"Return","container_extension":"mkv"}],
                                "2":[{"id":5003,"episode_num":1,"title":"Storm","container_extension":"mp4"}]}})",
                             "application/json");
      } else if (!action.empty()) {
        response.set_content("[]", "application/json");
      } else {
        response.set_content(R"({"user_info":{"auth":"1","status":"Active","exp_date":"1893456000",
                                "max_connections":"1","allowed_output_formats":["ts"]}})", "application/json");
      }
    });
    server_.Get(R"(/json/stations/.*)", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(R"([{"stationuuid":"u1","name":"Kept Radio","url_resolved":"http://127.0.0.1:1/k.mp3",
                              "country":"Austria","codec":"MP3","bitrate":192}])", "application/json");
    });
    server_.Get(R"(/json/url/.*)", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("{}", "application/json");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ~StandIn() {
    server_.stop();
    thread_.join();
  }
  std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

bool WaitUntil(const std::function<bool()>& done) { return WaitFor(done, 10000, 20); }

TEST(ProviderUiTest, AccountFieldsInTabOrderAndEnterChecksTheAccount) {
  LoadTestSkin();
  StandIn server;
  ProviderAccountDialog dialog(nullptr, [] { return int64_t{1760000000}; });
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  dialog.server_edit()->setFocus();
  QTest::keyClicks(dialog.server_edit(), QString::fromStdString(server.Address()));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), dialog.user_edit());
  QTest::keyClicks(dialog.user_edit(), QStringLiteral("viewer"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), dialog.password_edit());
  EXPECT_EQ(dialog.password_edit()->echoMode(), QLineEdit::Password);
  QTest::keyClicks(dialog.password_edit(), QStringLiteral("wrong"));
  QTest::keyClick(dialog.password_edit(), Qt::Key_Return);
  ASSERT_TRUE(WaitUntil([&] { return !dialog.checking() && dialog.status_label()->text() == Text("prov_err_login"); }));
  EXPECT_TRUE(dialog.isVisible());  // nothing added; the user corrects it

  dialog.password_edit()->setText(QStringLiteral("right"));
  QTest::keyClick(dialog.password_edit(), Qt::Key_Return);
  ASSERT_TRUE(WaitUntil([&] { return !dialog.isVisible(); }));
  EXPECT_EQ(dialog.result(), 1);
  EXPECT_EQ(dialog.account().user, "viewer");
  EXPECT_EQ(dialog.info().expires_at, 1893456000);
  EXPECT_FALSE(dialog.info().PrefersHls());
}

TEST(ProviderUiTest, ChannelWithoutGuideShowsTheProvidersShortGuideAndTheAccountIsKept) {
  LoadTestSkin();
  SetMessageSink([](const std::u16string&, const std::u16string&) {});
  StandIn server;
  TempDir dir;
  DocNode root("1.0");
  root.AddChild("de")->AddChild("ard")->AddChild("0")->SetWideString("u", u"http://127.0.0.1:1/ard");
  ASSERT_TRUE(SaveDocumentFile(root, dir / "Channels.vdch"));
  ChannelCatalogue& catalogue = LoadCatalogueFile(dir / "Channels.vdch");
  EnableProviderAccounts();
  const XtreamAccount account{server.Address(), "viewer"};
  Credentials().Save(account, "right");
  {
    PlaylistManager manager(catalogue, PlaylistFolders{dir / "playlists", dir / "logos", dir / "guides"},
                            [] { return int64_t{1760000000}; });
    manager.AddPlaylistSource(QString::fromStdString(XtreamSource(account)));
    Channel* news = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      for (const auto& [key, country] : catalogue.countries()) {
        for (const auto [name, channel] : country->channels()) {
          if (channel->name() == u"Night News") news = channel;
        }
      }
      return news != nullptr && !manager.busy();
    }));
    EXPECT_FALSE(manager.GuideNowNext(*news).now.has_value());

    ShortGuideFollower follower(manager, nullptr);
    follower.OnChannelStarted(std::string(news->key()));
    ASSERT_TRUE(WaitUntil([&] { return manager.GuideNowNext(*news).now.has_value(); }));
    EXPECT_EQ(manager.GuideText(manager.GuideNowNext(*news).now->title), QStringLiteral("Late Edition"));

    // What the check told is in the settings for the next start; the
    // password is not.
    SaveProviderAccounts(manager);
    const std::u16string kept = GetSetting(kProviderAccountsSetting);
    EXPECT_NE(kept.find(u"Active"), std::u16string::npos);
    EXPECT_NE(kept.find(u"1893456000"), std::u16string::npos);
    EXPECT_EQ(kept.find(u"right"), std::u16string::npos);
  }
  Credentials().Forget(account);
  FreeCatalogue();
  SetMessageSink({});
}

TEST(ProviderUiTest, AnAccountThatCannotBeUsedIsSaidInASentence) {
  const int64_t now = 1760000000;
  XtreamAccountInfo info;
  info.status = "Active";
  info.expires_at = now + 86400 * 30;
  info.max_connections = 2;
  EXPECT_TRUE(AccountSummary(info, now).startsWith(Text("prov_active")));
  EXPECT_TRUE(AccountSummary(info, now).contains(Text("prov_connections").arg(2)));
  info.expires_at = now - 86400;  // the server still says "Active"
  EXPECT_EQ(AccountSummary(info, now).left(10), Text("prov_expired_on").left(10));
  info.status = "Expired";
  info.expires_at = 0;
  EXPECT_EQ(AccountSummary(info, now), Text("prov_err_expired"));
  info.status = "Banned";
  EXPECT_EQ(AccountSummary(info, now), Text("prov_err_disabled"));
}

TEST(ProviderUiTest, FilmsAndSeriesAreFoundByCategoryAndNameAndPlayThroughTheAccount) {
  LoadTestSkin();
  StandIn server;
  TempDir dir;
  DocNode root("1.0");
  root.AddChild("de")->AddChild("ard")->AddChild("0")->SetWideString("u", u"http://127.0.0.1:1/ard");
  ASSERT_TRUE(SaveDocumentFile(root, dir / "Channels.vdch"));
  LoadCatalogueFile(dir / "Channels.vdch");
  const XtreamAccount account{server.Address(), "viewer"};
  Credentials().Save(account, "right");
  Channel* played = nullptr;
  FilmsPage::Options options{{account}, dir / "posters", [&played](Channel* channel) { played = channel; }};
  auto* page = new FilmsPage(nullptr, options);
  page->show();
  QApplication::setActiveWindow(page);
  ASSERT_TRUE(WaitUntil([&] { return page->model().rowCount() == 3 && !page->busy(); }));
  EXPECT_EQ(page->categories()->count(), 3);  // all, and the two categories
  page->categories()->setCurrentRow(1);       // Drama
  EXPECT_EQ(page->model().rowCount(), 2);
  page->search_edit()->setFocus();
  QTest::keyClicks(page->search_edit(), QStringLiteral("ROAD"));
  ASSERT_EQ(page->model().rowCount(), 1);
  EXPECT_EQ(page->model().data(page->model().index(0), Qt::DisplayRole).toString(), QStringLiteral("The Long Road"));

  page->titles()->setFocus();
  page->titles()->setCurrentIndex(page->model().index(0));
  QTest::keyClick(page->titles(), Qt::Key_Return);
  ASSERT_NE(played, nullptr);
  EXPECT_EQ(played->name(), u"The Long Road");
  EXPECT_EQ(played->provider(), kXtreamProviderName);
  XtreamAddressProvider provider;
  EXPECT_EQ(provider.Resolve(Utf8ToUtf16(played->sources()[0].address)),
            Utf8ToUtf16(server.Address() + "/movie/viewer/right/1001.mkv"));
  EXPECT_EQ(played->sources()[0].address.find("right"), std::string_view::npos);

  // A series: its episodes by season; Enter goes to them, Enter plays one.
  page->search_edit()->clear();
  page->kind_combo()->setCurrentIndex(1);
  ASSERT_EQ(page->model().rowCount(), 1);
  page->titles()->setFocus();
  page->titles()->setCurrentIndex(page->model().index(0));
  ASSERT_TRUE(WaitUntil([&] { return page->episodes()->topLevelItemCount() == 2 && !page->busy(); }));
  EXPECT_EQ(page->plot_label()->text(), QStringLiteral("A town by the sea."));
  EXPECT_EQ(page->episodes()->topLevelItem(1)->text(0), Text("films_season").arg(2));
  QTest::keyClick(page->titles(), Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), page->episodes());
  QTest::keyClick(page->episodes(), Qt::Key_Down);
  QTest::keyClick(page->episodes(), Qt::Key_Return);
  EXPECT_EQ(played->name(), u"Return");
  EXPECT_EQ(provider.Resolve(Utf8ToUtf16(played->sources()[0].address)),
            Utf8ToUtf16(server.Address() + "/series/viewer/right/5002.mkv"));
  delete page;
  Credentials().Forget(account);
  FreeCatalogue();
}

TEST(ProviderUiTest, RadioStationsPlayAtOnceAndBecomeFavourites) {
  LoadTestSkin();
  SetMessageSink([](const std::u16string&, const std::u16string&) {});
  StandIn server;
  TempDir dir;
  DocNode root("1.0");
  root.AddChild("de")->AddChild("ard")->AddChild("0")->SetWideString("u", u"http://127.0.0.1:1/ard");
  ASSERT_TRUE(SaveDocumentFile(root, dir / "Channels.vdch"));
  ChannelCatalogue& catalogue = LoadCatalogueFile(dir / "Channels.vdch");
  {
    PlaylistManager manager(catalogue, PlaylistFolders{dir / "playlists", dir / "logos", dir / "guides"},
                            [] { return 1000; });
    Channel* played = nullptr;
    RadioDirectoryPage::Options options{server.Address(), dir / "radio" / "Radio directory.m3u", dir / "icons",
                                        [&played](Channel* channel) { played = channel; }};
    auto* page = new RadioDirectoryPage(nullptr, options);
    page->show();
    QTest::keyClicks(page->search_edit(), QStringLiteral("kept"));
    EXPECT_EQ(page->list_combo()->currentIndex(), 2);  // typing searches by name
    ASSERT_TRUE(WaitUntil([&] { return page->stations()->topLevelItemCount() == 1 && !page->busy(); }));
    EXPECT_EQ(page->stations()->topLevelItem(0)->text(1), QStringLiteral("Austria"));
    page->stations()->setFocus();
    QTest::keyClick(page->stations(), Qt::Key_Insert);
    Channel* kept = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      for (const auto& [key, country] : catalogue.countries()) {
        for (const auto [name, channel] : country->channels()) {
          if (channel->name() == u"Kept Radio") kept = channel;
        }
      }
      return kept != nullptr && kept->favourite();
    }));
    EXPECT_TRUE(kept->radio());
    QTest::keyClick(page->stations(), Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([&] { return played != nullptr; }));
    EXPECT_EQ(played->name(), u"Kept Radio");
    delete page;
  }
  FreeCatalogue();
  SetMessageSink({});
}

}  // namespace
}  // namespace vidora::testing
