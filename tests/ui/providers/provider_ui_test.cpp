// "Add provider account…" and the radio directory page as a user works
// them, against local stand-ins of the servers.
#include <QApplication>
#include <QComboBox>
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
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "e2e/wait_for.h"
#include "support/temp_dir.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/providers/provider_account_dialog.h"
#include "ui/radio/radio_directory_page.h"
#include "ui/stores/ui_texts.h"

namespace vidora::testing {
namespace {

class StandIn {
 public:
  StandIn() {
    server_.Get("/player_api.php", [](const httplib::Request& request, httplib::Response& response) {
      if (request.get_param_value("password") != "right") {
        response.set_content(R"({"user_info":{"auth":0}})", "application/json");
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
