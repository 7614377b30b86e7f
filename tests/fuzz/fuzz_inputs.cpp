// Writes small starting inputs for every fuzz target into <folder>/<target>/:
// a few hundred bytes each, so that the fuzzers start fast and deep
// instead of parsing the shipped multi-megabyte files.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/catalogue/catalogue_scrambler.h"
#include "core/document/document_format.h"
#include "core/document/memory_stream.h"
#include "core/guide/guide_cache.h"
#include "core/guide/xmltv_reader.h"
#include "core/health/health_book.h"
#include "core/stores/settings_store.h"

namespace {

namespace fs = std::filesystem;
using vidora::DocNode;

std::string Bytes(const DocNode& node) {
  vidora::MemoryStream stream;
  vidora::WriteDocument(node, stream);
  return std::string(reinterpret_cast<const char*>(stream.Data()), stream.Size());
}

void Put(const fs::path& folder, const std::string& name, const std::string& bytes) {
  fs::create_directories(folder);
  std::ofstream(folder / name, std::ios::binary) << bytes;
}

void FillCatalogue(DocNode& root) {
  root.set_name("1.0.3");
  DocNode* de = root.AddChild("de");
  DocNode* tv = de->AddChild("tv");
  tv->SetWideString("n", u"TV");
  tv->SetString("c", "n");
  tv->AddChild("0")->SetWideString("u", u"http://127.0.0.1/a");
  DocNode* radio = de->AddChild("radio");
  radio->SetWideString("n", u"Radio");
  radio->SetString("c", "mu");
  radio->SetBool("r", true);
  radio->SetString("g", "vdtm");
  DocNode* source = radio->AddChild("0");
  source->SetInt("b", 128);
  source->SetWideString("u", u"page-7");
  root.AddChild("at")->AddChild("x")->SetString("c", "zz");
}

void FillLanguagePack(DocNode& root) {
  root.set_name("lang_doc_1.0");
  for (int n = 0; n < 2; ++n) {
    DocNode* language = root.AddChild("lang_" + std::to_string(n));
    language->SetWideString("language", n == 0 ? u"English" : u"Deutsch");
    language->SetWideString("ext", n == 0 ? u"en" : u"de");
    language->AddChild("menu_exit")->SetWideString("text", n == 0 ? u"Exit" : u"Beenden");
    language->AddChild("app_mvdra")->SetWideString("text", u"Vidora");
  }
}

std::string Settings() {
  vidora::SettingsStore store;
  store.SetBool("first_run", false);
  store.SetInt("sound_volume", 40);
  store.SetString("Language", u"de");
  DocNode root;
  store.BuildDocument(root);
  root.FindChild("channels", true)->AddChild("de_tv")->SetBool("f", true);
  return Bytes(root);
}

// The smallest pictures of two formats Qt reads: a 2x2 PNG and a 1x1 GIF.
const std::string kPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x02"
    "\x08\x02\x00\x00\x00\xfd\xd4\x9a\x73\x00\x00\x00\x11\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf\xc0\x00"
    "\x44\x60\xe2\x3f\x03\x00\x1d\xf0\x03\xfd\xa0\x33\x09\x89\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42"
    "\x60\x82",
    74);
const std::string kGif(
    "\x47\x49\x46\x38\x39\x61\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00\x2c\x00\x00\x00\x00"
    "\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b",
    35);

vidora::MemoryStream Block(const std::string& bytes) {
  return vidora::MemoryStream(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

// A resource pack that is its own loading-picture file: pictures under
// "images" and the root's "image".
std::string ResourcePack() {
  DocNode root("resources");
  root.SetBinary("image", Block(kPng));
  DocNode* images = root.AddChild("images");
  images->SetBinary("f_de", Block(kPng));
  images->SetBinary("radio_player", Block(kGif));
  images->SetInt("f_at", 7);
  return Bytes(root);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_inputs FOLDER\n");
    return 2;
  }
  const fs::path out = argv[1];
  DocNode catalogue_root;
  FillCatalogue(catalogue_root);
  const std::string catalogue = Bytes(catalogue_root);
  DocNode pack_root;
  FillLanguagePack(pack_root);
  std::string scrambled = catalogue;
  vidora::UnscrambleCatalogue(reinterpret_cast<uint8_t*>(scrambled.data()), static_cast<uint32_t>(scrambled.size()));
  DocNode with_binary("set");
  with_binary.SetBinary("b", vidora::MemoryStream("\x01\x02", 2));
  with_binary.AddChild("c")->SetWideString("w", u"x");

  Put(out / "fuzz_read_document", "catalogue", catalogue);
  Put(out / "fuzz_read_document", "binary", Bytes(with_binary));
  Put(out / "fuzz_catalogue", "plain", catalogue);
  Put(out / "fuzz_catalogue", "scrambled", scrambled);
  // The scrambled target scrambles its input itself: its starting inputs are plain.
  Put(out / "fuzz_catalogue_scrambled", "plain", catalogue);
  Put(out / "fuzz_language_pack", "pack", Bytes(pack_root));
  Put(out / "fuzz_settings", "settings", Settings());
  Put(out / "fuzz_version_answer", "version", Bytes(DocNode("3.2.1")));
  Put(out / "fuzz_version_answer", "long_name", Bytes(DocNode(std::string(300, '9'))));
  Put(out / "fuzz_provider_page", "page",
      "<asx version=\"3.0\"><entry><ref href = \"http://127.0.0.1/live\"/></entry></asx>");
  Put(out / "fuzz_resource_pack", "pack", ResourcePack());
  Put(out / "fuzz_read_m3u", "list",
      "#EXTM3U\n#EXTINF:-1 tvg-id=\"one.de\" tvg-logo=\"http://127.0.0.1/l.png\" group-title=\"News\",One\n"
      "http://127.0.0.1/one.m3u8\n#EXTINF:-1 radio=\"true\",Two\nrtsp://127.0.0.1/two\n");
  Put(out / "fuzz_read_xmltv", "guide",
      "<?xml version=\"1.0\"?>\n<tv><channel id=\"one.de\"><display-name>One</display-name></channel>"
      "<programme start=\"20261208120000 +0000\" stop=\"20261208130000 +0000\" channel=\"one.de\">"
      "<title>News</title></programme></tv>\n");
  Put(out / "fuzz_read_m3u", "playlist_crlf",
      "\xEF\xBB\xBF#EXTM3U url-tvg=\"http://127.0.0.1/g.xml\"\r\n"
      "#EXTINF:-1 tvg-id=\"a.tv\" tvg-name=\"A, \"B\"\" tvg-logo=\"l.png\" group-title=\"News\",A\r\n"
      "#EXTVLCOPT:http-user-agent=UA\r\n#EXTGRP:Sport\r\n../a.m3u8\r\n"
      "#EXTINF:-1 radio=\"true\",R\r\nhttp://127.0.0.1/r.mp3\r\nplain.ts\r\n");
  Put(out / "fuzz_read_xmltv", "guide_entities",
      "<?xml version=\"1.0\"?><tv><channel id=\"a\"><display-name>Two</display-name></channel>"
      "<programme start=\"20260101120000 +0100\" stop=\"20260101130000 +0100\" channel=\"a\">"
      "<title>T &amp; U</title></programme></tv>");
  Put(out / "fuzz_catchup_template", "xtream", "http://127.0.0.1/live/me/pw/1477.ts\nxc\n3\n");
  Put(out / "fuzz_catchup_template", "flussonic", "http://127.0.0.1/325/index.m3u8?token=a\nflussonic\n\n");
  Put(out / "fuzz_catchup_template", "default",
      "http://127.0.0.1/live\ndefault\n2\nhttp://127.0.0.1/a/{Y}{m}{d}/{utc:Y-m-d}/${offset}/{duration:60}/{catchup-id}");
  Put(out / "fuzz_hls_playlist", "master",
      "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=800000,AVERAGE-BANDWIDTH=1\nlow/index.m3u8\n"
      "#EXT-X-STREAM-INF:BANDWIDTH=2000000\nhttp://127.0.0.1/high.m3u8\n");
  Put(out / "fuzz_hls_playlist", "media",
      "#EXTM3U\r\n#EXT-X-TARGETDURATION:2\r\n#EXT-X-MEDIA-SEQUENCE:41\r\n#EXTINF:2.0,\r\nseg41.ts\r\n"
      "#EXTINF:2.0,\r\n../seg42.ts?x=1\r\n#EXT-X-ENDLIST\r\n");
  {
    // Two packets of a video PES carrying a time stamp each.
    std::string ts;
    for (int n = 0; n < 2; ++n) {
      std::string packet(188, '\xff');
      const char head[] = {0x47, 0x41, 0x00, 0x10, 0x00, 0x00, 0x01, static_cast<char>(0xE0), 0x00, 0x00,
                           static_cast<char>(0x80), static_cast<char>(0x80), 0x05, 0x21, 0x00,
                           static_cast<char>(0x01 + 2 * n), 0x00, 0x01};
      packet.replace(0, sizeof head, head, sizeof head);
      ts += packet;
    }
    Put(out / "fuzz_ts_duration", "two_stamps", ts);
  }
  Put(out / "fuzz_recording_schedule", "two",
      "vidora-schedule 1\n1796760000\t1796763600\tOne\tNews\thttp://127.0.0.1/one.m3u8\t\t\n"
      "1796770000\t1796773600\tTwo\tFilm\thttp://127.0.0.1/two.ts\tUA\thttp://127.0.0.1/\n");
  Put(out / "fuzz_xtream_answers", "account",
      R"({"user_info":{"auth":1,"status":"Active","exp_date":"1790000000","max_connections":"1",)"
      R"("allowed_output_formats":["m3u8","ts"]}})");
  Put(out / "fuzz_xtream_answers", "streams",
      R"([{"name":"A","stream_id":"1","stream_icon":"http://l/a.png","epg_channel_id":"a","category_id":"2",)"
      R"("tv_archive":"1"},{"name":"B","stream_id":2,"category_id":2,"epg_channel_id":null}])");
  Put(out / "fuzz_xtream_answers", "categories", R"([{"category_id":"2","category_name":"News"}])");
  Put(out / "fuzz_xtream_short_guide", "listings",
      R"({"epg_listings":[{"title":"TGF0ZSBFZGl0aW9u","description":"RGllIE5hY2hyaWNodGVuLg==",)"
      R"("start_timestamp":"1760000400","stop_timestamp":1760001300},{"title":"Plain","start_timestamp":1}]})");
  Put(out / "fuzz_xtream_vod", "films",
      R"([{"name":"A","stream_id":"1001","stream_icon":"http://p/1.jpg","category_id":"5",)"
      R"("container_extension":"mkv","rating":"7.2"},{"name":"B","stream_id":1002,"category_id":5}])");
  Put(out / "fuzz_xtream_vod", "series",
      R"({"0":{"name":"S","series_id":77,"cover":"http://p/s.jpg","plot":"P","releaseDate":"2019-04-02"}})");
  Put(out / "fuzz_xtream_vod", "series_info",
      R"({"info":{"plot":"P"},"episodes":{"1":[{"id":"5001","episode_num":"1","title":"E",)"
      R"("container_extension":"mp4","season":1,"info":{"plot":"Q","duration_secs":"2700"}}]}})");
  Put(out / "fuzz_xtream_vod", "address", "xtream:http://tv.example:8080#user/series/5001.mkv");
  Put(out / "fuzz_xtream_short_guide", "archive",
      "xtream:http://tv.example:8080#al%20ice/timeshift/60/2025-10-09:07-00/101.ts");
  Put(out / "fuzz_radio_stations", "stations",
      R"([{"stationuuid":"a","name":"A \u202eB","url":"http://a/s","url_resolved":"http://a/r.mp3",)"
      R"("favicon":"https://a/i.png","country":"Germany","codec":"MP3","bitrate":"128","votes":3}])");
  Put(out / "fuzz_read_xmltv", "guide_details",
      "\xEF\xBB\xBF<tv><channel id='a'><display-name>A</display-name><icon src='i'/></channel>"
      "<programme start='202601011200' channel='a' catchup-id='7'><title>T</title><sub-title>S</sub-title>"
      "<desc>D</desc><category>C</category><episode-num system='xmltv_ns'>0.1.</episode-num>"
      "<rating><value>PG</value></rating></programme>"
      "<programme start='20260101130000 CET' stop='20260101120000 +0000' channel='a'><title>R</title></programme></tv>");
  {
    // A real cache, written from a parsed guide.
    vidora::GuideStore store;
    vidora::ReadXmltvBytes("<tv><channel id='a'><display-name>A</display-name></channel>"
                   "<programme start='20260101120000 +0000' stop='20260101130000 +0000' channel='a'>"
                   "<title>T</title><desc>D</desc></programme></tv>",
                   store, 1767268800);
    store.Finish();
    std::filesystem::create_directories(out / "fuzz_read_guide_cache");
    vidora::WriteGuideCache(out / "fuzz_read_guide_cache" / "cache", store, {{"http://127.0.0.1/g.xml", 10, 20}}, 1767268800);
  }
  {
    // Stored choices: a reader byte, then the text (UTF-16 little-endian
    // where the setting is a wide text).
    auto wide = [](char reader, std::u16string_view text) {
      std::string out(1, reader);
      for (char16_t c : text) out += {static_cast<char>(c & 0xff), static_cast<char>(c >> 8)};
      return out;
    };
    Put(out / "fuzz_stored_choices", "tracks", wide('\0', u"de_one\x1f" u"deu\x1f" u"off\x1eit_two\x1f#3\x1f" u"eng"));
    Put(out / "fuzz_stored_choices", "recent", std::string("\x01") + "de_one\x1e" "it_two\x1e");
    Put(out / "fuzz_stored_choices", "locks", wide('\2', u"ad"));
    Put(out / "fuzz_stored_choices", "pin", wide('\3', u"pbkdf2-sha256$30000$00112233$aabbccdd"));
    Put(out / "fuzz_stored_choices", "sorts", wide('\4', u"pl00000001\x1f" u"1\x1epl00000003\x1f" u"2"));
    Put(out / "fuzz_stored_choices", "guides",
        wide('\5', u"pl0123abcd\x1fhttp://epg.example/a.xml.gz\x1f/home/me/b.xml\x1epl89abcdef\x1f\x1f"));
  }
  {
    // Channel-check results as the player writes them.
    vidora::HealthBook book;
    vidora::SourceCheck dead;
    dead.checked_at = 1790000000;
    dead.state = vidora::SourceState::kDead;
    dead.reason = vidora::DeadReason::kHttpStatus;
    dead.http_status = 404;
    book.Record("http://127.0.0.1/a.ts", dead);
    vidora::SourceCheck live;
    live.checked_at = 1790000100;
    live.state = vidora::SourceState::kLive;
    book.Record("https://example.com/live/ü.m3u8", live);
    Put(out / "fuzz_source_checks", "results", book.Encode());
  }
  return 0;
}
