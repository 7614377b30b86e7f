// A provider account's films and series against a local stand-in with the
// answers' real shapes: ids as strings and numbers, episodes keyed by
// season or listed in lists, HTML where JSON belongs.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <thread>

#include "core/document/text_codec.h"
#include "core/providers/credential_store.h"
#include "core/providers/xtream_address_provider.h"
#include "core/providers/xtream_library.h"

namespace vidora {
namespace {

const char kFilmCategories[] = R"([{"category_id":"5","category_name":"Drama","parent_id":0}])";
const char kFilms[] = R"([
  {"num":1,"name":"The Long Road","stream_type":"movie","stream_id":"1001","stream_icon":"http://p.example/1.jpg",
   "rating":"7.2","rating_5based":3.6,"added":"1600000000","category_id":"5","container_extension":"mkv"},
  {"num":2,"name":"Short\u0007Cut","stream_id":1002,"stream_icon":null,"category_id":5,"container_extension":"../x"},
  {"num":3,"name":"","stream_id":"1003"},
  {"num":4,"name":"No id"}])";
const char kSeries[] = R"({"0":{"num":1,"name":"Harbour Lights","series_id":77,"cover":"http://p.example/s.jpg",
  "plot":"A town by the sea.","releaseDate":"2019-04-02","category_id":"9","backdrop_path":["http://p/b.jpg"]}})";
const char kSeriesInfo[] = R"({"seasons":[{"season_number":1,"name":"Season 1"}],
  "info":{"name":"Harbour Lights","plot":"A town by the sea, told in full."},
  "episodes":{"2":[{"id":"5003","episode_num":"1","title":"Storm","container_extension":"mp4","season":2,
                    "info":{"plot":"The storm comes.","duration_secs":"2700"}}],
              "1":[{"id":"5002","episode_num":2,"title":"Return","container_extension":"mkv","info":[]},
                   {"id":5001,"episode_num":"1","title":"Arrival","container_extension":"mkv",
                    "info":{"duration_secs":2640}}]}})";

class VodServer {
 public:
  VodServer() {
    server_.Get("/player_api.php", [this](const httplib::Request& request, httplib::Response& response) {
      const std::string action = request.get_param_value("action");
      if (request.get_param_value("password") != "pw") {
        response.set_content(R"({"user_info":{"auth":0}})", "application/json");
      } else if (action == "get_vod_categories") {
        response.set_content(kFilmCategories, "application/json");
      } else if (action == "get_vod_streams") {
        response.set_content(films_, "application/json");
      } else if (action == "get_series_categories") {
        response.set_content(R"([{"category_id":9,"category_name":"Crime"}])", "application/json");
      } else if (action == "get_series") {
        response.set_content(kSeries, "application/json");
      } else if (action == "get_series_info" && request.get_param_value("series_id") == "77") {
        response.set_content(series_info_, "application/json");
      } else if (action == "get_vod_info" && request.get_param_value("vod_id") == "1001") {
        response.set_content(R"({"info":{"plot":"","description":"Two brothers cross a country."},
                                "movie_data":{"stream_id":1001}})", "application/json");
      }
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ~VodServer() {
    server_.stop();
    thread_.join();
  }
  XtreamAccount Account() const { return {"http://127.0.0.1:" + std::to_string(port_), "al ice"}; }

  std::string films_ = kFilms;
  std::string series_info_ = kSeriesInfo;

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

TEST(XtreamVodTest, FilmsAndSeriesArriveWithTheirCategoriesAndPosters) {
  VodServer server;
  const XtreamLibrary library = FetchXtreamLibrary(server.Account(), "pw", nullptr);
  ASSERT_EQ(library.failure, XtreamFailure::kNone);
  ASSERT_EQ(library.films.films.size(), 2u);
  EXPECT_EQ(library.films.skipped, 2u);
  EXPECT_EQ(library.films.films[0].name, "The Long Road");
  EXPECT_EQ(library.films.films[0].poster, "http://p.example/1.jpg");
  EXPECT_EQ(library.films.films[0].extension, "mkv");
  EXPECT_EQ(library.films.films[1].name, "Short Cut");       // a control character is a blank
  EXPECT_EQ(library.films.films[1].extension, "mp4");        // never a path in an address
  EXPECT_EQ(library.films.films[1].category_id, "5");
  EXPECT_EQ(library.film_categories.names.at("5"), "Drama");
  EXPECT_EQ(library.series_categories.names.at("9"), "Crime");
  ASSERT_EQ(library.series.series.size(), 1u);  // rows keyed by index, too
  EXPECT_EQ(library.series.series[0].year, "2019");
  EXPECT_EQ(FetchXtreamFilmPlot(server.Account(), "pw", 1001, nullptr), "Two brothers cross a country.");

  server.films_ = "<html><body>Service unavailable</body></html>";
  EXPECT_EQ(FetchXtreamLibrary(server.Account(), "pw", nullptr).failure, XtreamFailure::kHtml);
  server.films_ = R"([{"name":"Cut off","stream_id":1},)";
  const XtreamLibrary broken = FetchXtreamLibrary(server.Account(), "pw", nullptr);
  EXPECT_EQ(broken.failure, XtreamFailure::kNotJson);
  EXPECT_TRUE(broken.films.films.empty());
  server.films_ = R"({"films":"none"})";
  EXPECT_TRUE(FetchXtreamLibrary(server.Account(), "pw", nullptr).films.films.empty());
}

TEST(XtreamVodTest, SeriesEpisodesComeBySeasonAndPlayWithThePassword) {
  VodServer server;
  const XtreamAccount account = server.Account();
  const XtreamSeriesInfo info = FetchXtreamSeriesInfo(account, "pw", 77, nullptr);
  ASSERT_EQ(info.failure, XtreamFailure::kNone);
  EXPECT_EQ(info.plot, "A town by the sea, told in full.");
  ASSERT_EQ(info.episodes.size(), 3u);
  EXPECT_EQ(info.episodes[0].title, "Arrival");
  EXPECT_EQ(info.episodes[0].seconds, 2640);
  EXPECT_EQ(info.episodes[1].title, "Return");
  EXPECT_EQ(info.episodes[2].season, 2);
  EXPECT_EQ(info.episodes[2].plot, "The storm comes.");

  // Seasons as a list of lists.
  server.series_info_ = R"({"info":{},"episodes":[[{"id":1,"episode_num":1}],[{"id":2,"episode_num":1}]]})";
  const XtreamSeriesInfo listed = FetchXtreamSeriesInfo(account, "pw", 77, nullptr);
  ASSERT_EQ(listed.episodes.size(), 2u);
  EXPECT_EQ(listed.episodes[1].season, 2);
  server.series_info_ = R"({"info":{}})";
  EXPECT_EQ(FetchXtreamSeriesInfo(account, "pw", 77, nullptr).failure, XtreamFailure::kWrongTypes);

  Credentials().Save(account, "p/w");
  XtreamAddressProvider provider;
  const std::string episode = XtreamMediaAddress({account, true, 5001, "mkv"});
  EXPECT_EQ(episode.find("p/w"), std::string::npos);
  EXPECT_EQ(provider.Resolve(Utf8ToUtf16(episode)), Utf8ToUtf16(account.server + "/series/al%20ice/p%2Fw/5001.mkv"));
  EXPECT_EQ(provider.Resolve(Utf8ToUtf16(XtreamMediaAddress({account, false, 1001, "mp4"}))),
            Utf8ToUtf16(account.server + "/movie/al%20ice/p%2Fw/1001.mp4"));
  EXPECT_EQ(provider.Resolve(Utf8ToUtf16(XtreamSource(account) + "/movie/1001.m/../x")), std::nullopt);
  Credentials().Forget(account);
}

}  // namespace
}  // namespace vidora
