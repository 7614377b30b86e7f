// The radio directory client against local stand-ins of directory
// mirrors: searches, the top lists, clicks, a dead mirror and hostile
// station texts.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "core/playlists/m3u_reader.h"
#include "core/playlists/playlist_import.h"
#include "core/radio/radio_directory_client.h"
#include "core/radio/radio_playlist.h"

namespace vidora {
namespace {

const char kStations[] = R"json([
  {"changeuuid":"c1","stationuuid":"9617a958-0601-11e8-ae97-52543be04c81","name":"Jazz \u202eFM\u202c\u0007",
   "url":"http://jazz.example/stream.pls","url_resolved":"http://jazz.example/live.mp3",
   "favicon":"https://jazz.example/icon.png","tags":"jazz,smooth","country":"Germany","countrycode":"DE",
   "language":"german","votes":"1520","codec":"MP3","bitrate":128,"clickcount":77,"lastcheckok":1},
  {"stationuuid":"x2","name":"Only url","url":"https://only.example/a.aac","url_resolved":"","codec":"AAC",
   "bitrate":"64","favicon":"javascript:alert(1)"},
  {"stationuuid":"x3","name":"","url":"http://nameless.example/"},
  {"stationuuid":"x4","name":"No address","url":"ftp://x/"}
])json";

class DirectoryServer {
 public:
  DirectoryServer() {
    server_.Get(R"(/json/stations/(search|topvote/\d+|topclick/\d+))",
                [this](const httplib::Request& request, httplib::Response& response) {
                  paths_.push_back(request.path + "?" + (request.has_param("tag") ? "tag=" + request.get_param_value("tag") : ""));
                  agent_ = request.get_header_value("User-Agent");
                  response.set_content(kStations, "application/json");
                });
    server_.Get(R"(/json/url/(.+))", [this](const httplib::Request& request, httplib::Response& response) {
      clicked_ = request.matches[1];
      response.set_content(R"({"ok":true,"message":"retrieved station url"})", "application/json");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ~DirectoryServer() {
    server_.stop();
    thread_.join();
  }
  std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }

  std::vector<std::string> paths_;
  std::string agent_;
  std::string clicked_;

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

TEST(RadioDirectoryTest, SearchReadsStationsWithCleanTextsAndSkipsUnplayableOnes) {
  DirectoryServer server;
  RadioDirectoryClient client(RadioMirrors(server.Address()));
  RadioQuery query;
  query.list = RadioList::kSearch;
  query.field = RadioSearchField::kTag;
  query.text = "smooth jazz";
  const RadioStations found = client.Fetch(query, nullptr);
  ASSERT_EQ(found.failure, RadioFailure::kNone);
  ASSERT_EQ(found.stations.size(), 2u);
  EXPECT_EQ(server.paths_.back(), "/json/stations/search?tag=smooth jazz");
  EXPECT_NE(server.agent_.find("Vidora"), std::string::npos);
  const RadioStation& jazz = found.stations[0];
  EXPECT_EQ(jazz.name, "Jazz FM");  // no direction overrides, no bell
  EXPECT_EQ(jazz.address, "http://jazz.example/live.mp3");  // url_resolved first
  EXPECT_EQ(jazz.votes, 1520);
  EXPECT_EQ(jazz.bitrate, 128);
  EXPECT_EQ(found.stations[1].address, "https://only.example/a.aac");
  EXPECT_EQ(found.stations[1].bitrate, 64);
  EXPECT_TRUE(found.stations[1].favicon.empty());

  EXPECT_TRUE(client.CountClick(jazz.uuid, nullptr));
  EXPECT_EQ(server.clicked_, jazz.uuid);
}

TEST(RadioDirectoryTest, ADeadMirrorIsLeftForTheNextAndOfflineIsSaid) {
  DirectoryServer server;
  RadioDirectoryClient client({"http://127.0.0.1:1", server.Address()});
  RadioQuery query;  // most voted
  EXPECT_EQ(client.Fetch(query, nullptr).stations.size(), 2u);
  EXPECT_EQ(server.paths_.back(), "/json/stations/topvote/100?");
  EXPECT_EQ(client.mirrors().front(), server.Address());  // the one that answered goes first

  RadioDirectoryClient offline({"http://127.0.0.1:1"});
  EXPECT_EQ(offline.Fetch(query, nullptr).failure, RadioFailure::kOffline);
  EXPECT_EQ(ReadRadioStations(R"({"name":"x"})").failure, RadioFailure::kBadAnswer);
  EXPECT_EQ(ReadRadioStations(std::string(100000, '[')).failure, RadioFailure::kBadAnswer);
}

TEST(RadioDirectoryTest, KeptStationsFormAPlaylistThatPlaysWithoutTheDirectory) {
  const std::filesystem::path file = std::filesystem::path(::testing::TempDir()) / "radio_kept" / "stations.m3u";
  std::filesystem::remove_all(file.parent_path());
  RadioStation station;
  station.name = "Quote \"and\", comma";
  station.address = "http://jazz.example/live.mp3";
  station.country_code = "DE";
  ASSERT_TRUE(AddRadioStation(file, station));
  ASSERT_TRUE(AddRadioStation(file, station));  // once only
  station.name = "Second";
  station.address = "https://second.example/s.ogg";
  ASSERT_TRUE(AddRadioStation(file, station));
  std::string text;
  ASSERT_TRUE(ReadSmallFile(file, 1 << 20, text));
  const M3uPlaylist playlist = ReadM3u(text, file.string());
  ASSERT_EQ(playlist.entries.size(), 2u);
  EXPECT_EQ(playlist.entries[0].address, "http://jazz.example/live.mp3");
  EXPECT_TRUE(playlist.entries[0].radio);
  RadioStation first;
  first.name = "Quote \"and\", comma";
  first.address = "http://jazz.example/live.mp3";
  EXPECT_EQ(playlist.entries[0].name, RadioEntry(first).name);
  std::filesystem::remove_all(file.parent_path());
}

}  // namespace
}  // namespace vidora
