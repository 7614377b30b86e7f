#ifndef VIDORA_BENCH_UI_BENCH_PLAYLIST_H_
#define VIDORA_BENCH_UI_BENCH_PLAYLIST_H_

#include <filesystem>
#include <fstream>
#include <string>

namespace vidora {

// Writes an M3U of `entries` entries to `path`, addressed to 127.0.0.1:9
// (nothing answers there). Up to 200,000 entries are shaped like a real
// provider's list: tvg attributes, groups in several languages, an
// #EXTVLCOPT line every 50 entries. Larger lists have a short name and an
// address each, as real lists of that size do to stay under download
// caps.
inline void WriteBenchPlaylist(const std::filesystem::path& path, int entries) {
  const char* groups[] = {"News", "Sport", "Музыка", "Kinder", "Films", "Documentary", "Radio", "Regional"};
  std::ofstream out(path, std::ios::binary);
  out << "#EXTM3U url-tvg=\"http://127.0.0.1:9/guide.xml.gz\"\n";
  std::string t;
  for (int i = 0; i < entries; ++i) {
    const std::string n = std::to_string(i);
    if (entries > 200000) {
      out << "#EXTINF:-1,Ch " << n << "\nhttp://127.0.0.1:9/" << n << "\n";
      continue;
    }
    t = "#EXTINF:-1 tvg-id=\"channel" + n + ".example\" tvg-name=\"Channel " + n + ", HD\" tvg-logo=\"http://127.0.0.1:9/" +
        n + ".png\" tvg-country=\"DE\" tvg-language=\"German\" group-title=\"" + groups[i % 8] + "\",Channel " + n + " HD\n";
    if (i % 50 == 0) t += "#EXTVLCOPT:http-user-agent=Mozilla/5.0\n";
    t += "http://127.0.0.1:9/live/" + n + "/index.m3u8\n";
    out << t;
  }
}

}  // namespace vidora

#endif  // VIDORA_BENCH_UI_BENCH_PLAYLIST_H_
