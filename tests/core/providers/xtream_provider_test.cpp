// A provider account against a local stand-in of an Xtream Codes server
// that answers with the shapes real panels send (numbers as strings and
// the reverse, null expiry, HTML error pages).
#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <chrono>
#include <thread>

#include "core/catalogue/catalogue_reader.h"
#include "core/document/doc_node.h"
#include "core/document/text_codec.h"
#include "core/playlists/playlist_document.h"
#include "core/playlists/playlist_import.h"
#include "core/providers/credential_store.h"
#include "core/providers/xtream_address_provider.h"
#include "core/providers/xtream_client.h"

namespace vidora {
namespace {

constexpr int64_t kNow = 1760000000;

const char kAccount[] = R"({"user_info":{"username":"al ice","password":"p&ss/w#rd","message":"","auth":1,
  "status":"Active","exp_date":"1790000000","is_trial":"0","active_cons":0,"created_at":"1600000000",
  "max_connections":"2","allowed_output_formats":["m3u8","ts","rtmp"]},
  "server_info":{"url":"127.0.0.1","port":"8080","server_protocol":"http","timestamp_now":1760000000}})";
const char kCategories[] = R"([{"category_id":"3","category_name":"News","parent_id":0},
  {"category_id":7,"category_name":"Sport HD","parent_id":"0"}])";
const char kStreams[] = R"([
  {"num":1,"name":"World News","stream_type":"live","stream_id":"101","stream_icon":"http://logos.example/n.png",
   "epg_channel_id":"news.world","added":"1500000000","category_id":"3","tv_archive":"1","tv_archive_duration":"5"},
  {"num":2,"name":"Match TV","stream_type":"live","stream_id":202,"stream_icon":"","epg_channel_id":null,
   "category_id":7,"tv_archive":0,"tv_archive_duration":0},
  {"num":3,"name":"","stream_id":303},
  {"num":4,"name":"No id","stream_id":"abc"}])";

// Whether `bytes` hold `text` as UTF-8 or as UTF-16LE (the stored
// documents' wide strings).
bool Holds(const std::string& bytes, const std::string& text) {
  std::string wide;
  for (char c : text) {
    wide += c;
    wide += '\0';
  }
  return bytes.find(text) != std::string::npos || bytes.find(wide) != std::string::npos;
}

class XtreamServer {
 public:
  XtreamServer() {
    server_.Get("/player_api.php", [this](const httplib::Request& request, httplib::Response& response) {
      last_user_ = request.get_param_value("username");
      last_password_ = request.get_param_value("password");
      const std::string action = request.get_param_value("action");
      if (last_password_ != "p&ss/w#rd") {
        response.set_content(R"({"user_info":{"auth":0}})", "application/json");
      } else if (action.empty()) {
        response.set_content(account_, "application/json");
      } else if (action == "get_live_categories") {
        response.set_content(kCategories, "application/json");
      } else if (action == "get_live_streams") {
        response.set_content(streams_, "application/json");
      }
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ~XtreamServer() {
    server_.stop();
    thread_.join();
  }
  XtreamAccount Account(std::string user = "al ice") const {
    return {"http://127.0.0.1:" + std::to_string(port_), std::move(user)};
  }

  std::string account_ = kAccount;
  std::string streams_ = kStreams;
  std::string last_user_, last_password_;

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

TEST(XtreamProviderTest, AccountAnswerTellsStatusExpiryAndFormats) {
  XtreamServer server;
  const XtreamAccountAnswer answer = CheckXtreamAccount(server.Account(), "p&ss/w#rd", kNow, nullptr);
  ASSERT_EQ(answer.failure, XtreamFailure::kNone);
  EXPECT_EQ(server.last_user_, "al ice");  // escaped on the way, whole at the server
  EXPECT_EQ(answer.info.expires_at, 1790000000);
  EXPECT_EQ(answer.info.max_connections, 2);
  EXPECT_TRUE(answer.info.PrefersHls());

  EXPECT_EQ(CheckXtreamAccount(server.Account(), "wrong", kNow, nullptr).failure, XtreamFailure::kWrongCredentials);
  EXPECT_EQ(CheckXtreamAccount(server.Account(), "p&ss/w#rd", 1800000000, nullptr).failure, XtreamFailure::kExpired);
}

TEST(XtreamProviderTest, BadAnswersEachGetTheirOwnReason) {
  XtreamServer server;
  const XtreamAccount account = server.Account();
  const std::pair<std::string, XtreamFailure> cases[] = {
      {"<html><body>403 Forbidden</body></html>", XtreamFailure::kHtml},
      {"", XtreamFailure::kEmpty},
      {" \r\n", XtreamFailure::kEmpty},
      {"{\"user_info\":", XtreamFailure::kNotJson},
      {std::string(5000, '[') + std::string(5000, ']'), XtreamFailure::kNotJson},
      {R"({"user_info":"yes"})", XtreamFailure::kWrongTypes},
      {R"([1,2,3])", XtreamFailure::kWrongTypes},
      {R"({"user_info":{"auth":"1","status":"Disabled","exp_date":null}})", XtreamFailure::kDisabled},
      {R"({"user_info":{"auth":true,"status":"Expired","exp_date":null}})", XtreamFailure::kExpired},
  };
  for (const auto& [body, failure] : cases) {
    server.account_ = body;
    EXPECT_EQ(CheckXtreamAccount(account, "p&ss/w#rd", kNow, nullptr).failure, failure) << body.substr(0, 40);
  }
  EXPECT_EQ(CheckXtreamAccount({"http://127.0.0.1:1", "x"}, "y", kNow, nullptr).failure, XtreamFailure::kNoAnswer);
}

TEST(XtreamProviderTest, LiveStreamsBecomeAStoredPlaylistWithoutThePassword) {
  XtreamServer server;
  const XtreamAccount account = server.Account();
  Credentials().Save(account, "p&ss/w#rd");
  SetSchemeImporter(kXtreamScheme, &ImportXtreamSource);
  const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "xtream_playlists";
  std::filesystem::remove_all(folder);
  const std::u16string source = Utf8ToUtf16(XtreamSource(account));

  const PlaylistImport imported = FetchAndImportPlaylist(source, u"", folder, kNow);
  ASSERT_TRUE(imported.ok) << imported.reason;
  EXPECT_EQ(imported.channels, 2u);

  std::ifstream in(imported.file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(Holds(bytes, "World News"));
  EXPECT_FALSE(Holds(bytes, "p&ss"));
  EXPECT_FALSE(Holds(bytes, "p%26ss"));

  DocNode root;
  ASSERT_TRUE(ReadCatalogueDocument(imported.file, root));
  const DocNode* country = PlaylistCountryNode(root);
  ASSERT_NE(country, nullptr);
  const DocNode* news = country->FindChild("inews.world");
  ASSERT_NE(news, nullptr);
  EXPECT_EQ(news->GetString("c"), "n");  // "News" is the news category
  EXPECT_EQ(news->GetString("g"), kXtreamProviderName);
  const std::u16string stored = Utf8ToUtf16(news->children().begin()->get()->GetString("u"));

  XtreamAddressProvider provider;
  EXPECT_EQ(provider.Resolve(stored),
            Utf8ToUtf16(account.server + "/live/al%20ice/p%26ss%2Fw%23rd/101.m3u8"));

  // A refresh that fails keeps the stored list.
  server.streams_ = "<html>maintenance</html>";
  const PlaylistImport refresh = FetchAndImportPlaylist(source, u"", folder, kNow + 90000);
  EXPECT_FALSE(refresh.ok);
  EXPECT_EQ(refresh.reason, "html");
  EXPECT_TRUE(ReadCatalogueDocument(imported.file, root));
  Credentials().Forget(account);
  std::filesystem::remove_all(folder);
}

TEST(XtreamProviderTest, TsIsChosenWhenHlsIsNotAllowed) {
  XtreamServer server;
  server.account_ = R"({"user_info":{"auth":1,"status":"Active","exp_date":null,
                        "allowed_output_formats":["ts"]}})";
  const XtreamChannels channels = FetchXtreamChannels(server.Account(), "p&ss/w#rd", kNow, nullptr);
  ASSERT_EQ(channels.failure, XtreamFailure::kNone);
  ASSERT_EQ(channels.playlist.entries.size(), 2u);
  const std::optional<XtreamChannelRef> ref = ParseXtreamChannelAddress(channels.playlist.entries[1].address);
  ASSERT_TRUE(ref.has_value());
  EXPECT_EQ(ref->stream_id, 202);
  EXPECT_EQ(XtreamLiveAddress(ref->account, "pw", ref->stream_id, ref->extension),
            server.Account().server + "/live/al%20ice/pw/202.ts");
}

TEST(XtreamProviderTest, CredentialsAreMaskedInAddresses) {
  EXPECT_EQ(MaskCredentials("http://h:80/live/bob/secret/5.ts"), "http://h:80/live/***/***/5.ts");
  EXPECT_EQ(MaskCredentials("http://h/player_api.php?username=bob&password=secret&action=x"),
            "http://h/player_api.php?username=***&password=***&action=x");
  EXPECT_EQ(MaskCredentials("http://bob:secret@h/a.m3u8"), "http://***@h/a.m3u8");
  EXPECT_EQ(NormaliseXtreamServer(" tv.example:8080/player_api.php "), "http://tv.example:8080");
}

}  // namespace
}  // namespace vidora
