// How far the playlist reader agrees with other players' parsers on those
// parsers' own fixtures and fixtures in the shapes of their tests
// (tests/data/m3u_agreement, see its README).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/playlists/m3u_reader.h"
#include "core/playlists/playlist_document.h"

namespace vidora {
namespace {

const std::filesystem::path kFolder = std::filesystem::path(VIDORA_SOURCE_DIR) / "tests/data/m3u_agreement";

using Key = std::tuple<std::string, std::string, std::string>;  // fixture, item, field

std::vector<std::pair<Key, std::string>> ReadTable(const std::string& file) {
  std::vector<std::pair<Key, std::string>> rows;
  std::ifstream in(kFolder / file);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line.front() == '#') continue;
    std::vector<std::string> cells;
    std::stringstream split(line);
    for (std::string cell; std::getline(split, cell, '\t');) cells.push_back(cell);
    while (cells.size() < 4) cells.emplace_back();
    rows.push_back({{cells[0], cells[1], cells[2]}, cells[3]});
  }
  return rows;
}

std::string Field(const M3uPlaylist& playlist, const std::string& item, const std::string& field, size_t channels) {
  if (item == "-") {
    if (field == "count") return std::to_string(channels);
    return field == "playlist-name" ? playlist.name : playlist.guide_address;
  }
  const size_t index = std::stoul(item);
  if (index >= playlist.entries.size()) return "(missing)";
  const PlaylistEntry& e = playlist.entries[index];
  const CatchupAttributes none;
  const CatchupAttributes& c = e.catchup ? *e.catchup : none;
  const std::map<std::string, std::string> fields = {
      {"name", e.name}, {"address", e.address}, {"tvg-id", e.tvg_id}, {"tvg-name", e.tvg_name},
      {"logo", e.tvg_logo}, {"group", e.group}, {"user-agent", e.user_agent}, {"referrer", e.referrer},
      {"tvg-rec", c.tvg_rec}, {"tvg-shift", c.tvg_shift}, {"timeshift", c.timeshift},
      {"catchup-type", c.catchup_type.empty() ? c.catchup : c.catchup_type}, {"catchup-source", c.source},
      {"catchup-days", c.days}};
  auto found = fields.find(field);
  return found == fields.end() ? "(unknown field)" : found->second;
}

TEST(AgreementCorpusTest, FieldsAndChannelCountsAgreeWithThePeersParsers) {
  std::map<Key, std::string> stated;
  for (auto& [key, value] : ReadTable("differences.tsv")) stated[key] = value;
  std::map<std::string, std::pair<M3uPlaylist, size_t>> read;
  size_t fields = 0, agreeing = 0, counts = 0, counts_agreeing = 0;
  for (const auto& [key, expected] : ReadTable("expected.tsv")) {
    const auto& [fixture, item, field] = key;
    auto it = read.find(fixture);
    if (it == read.end()) {
      std::ifstream in(kFolder / (fixture + ".m3u"), std::ios::binary);
      const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const std::string base = (kFolder / (fixture + ".m3u")).string();
      M3uPlaylist playlist = ReadM3u(text, base);
      PlaylistWriteCounts counts;
      WritePlaylistDocument(playlist, PlaylistOrigin{"pl00000000", u"corpus", u"", 0},
                            [](std::string_view) { return true; }, &counts);
      it = read.emplace(fixture, std::make_pair(std::move(playlist), counts.channels)).first;
    }
    std::string actual = Field(it->second.first, item, field, it->second.second);
    // Relative addresses of the fixtures resolve against their folder.
    const std::string folder = kFolder.string() + "/";
    if (field == "address" && !expected.empty() && expected.find("://") == std::string::npos &&
        actual.starts_with(folder)) {
      actual.erase(0, folder.size());
    }
    auto difference = stated.find(key);
    const bool agrees = actual == expected || (difference != stated.end() && difference->second == actual);
    if (!agrees) ADD_FAILURE() << fixture << " item " << item << " " << field << ": \"" << actual << "\", expected \"" << expected << "\"";
    (field == "count" ? counts : fields) += 1;
    (field == "count" ? counts_agreeing : agreeing) += agrees ? 1 : 0;
  }
  std::printf("Agreement: %zu of %zu fields (%.1f %%), %zu of %zu channel counts\n", agreeing, fields,
              100.0 * static_cast<double>(agreeing) / static_cast<double>(fields), counts_agreeing, counts);
  EXPECT_GE(static_cast<double>(agreeing), 0.99 * static_cast<double>(fields));
  EXPECT_EQ(counts_agreeing, counts);
}

}  // namespace
}  // namespace vidora
