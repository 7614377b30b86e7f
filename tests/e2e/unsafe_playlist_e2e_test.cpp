// A playlist served over the network may not make the real player open a
// local file or one of its own pseudo-protocols.
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "e2e/media_server.h"
#include "e2e/wait_for.h"
#include "support/temp_dir.h"
#include "ui/playback/mpv_backend.h"
#include "ui/playback/player_host.h"

namespace vidora::testing {
namespace {

TEST(UnsafePlaylistTest, EntriesNamingLocalResourcesAreNeitherPlayedNorRun) {
  TempDir dir;
  const std::filesystem::path written = dir / "written.txt";
  {
    std::ofstream victim(written);
    victim << "the user's own file";
  }
  const std::filesystem::path local_wav = dir / "local.wav";
  {
    std::ofstream wav(local_wav, std::ios::binary);
    wav << MakeToneWav(8000, 5.0);
  }
  MediaServer server;
  const std::string playlist = "#EXTM3U\nav://lavfi:anullsrc,ametadata=mode=print:file=" + written.string() +
                               "\nfile://" + local_wav.string() + "\nfile:///etc/hostname\n";
  server.Serve("/list.m3u", playlist, "audio/x-mpegurl");
  ASSERT_TRUE(server.Start());

  QWidget view;
  view.resize(64, 64);
  PlayerHost host(&view, QRect(0, 0, 64, 64),
                  std::make_unique<MpvBackend>(std::vector<MpvBackend::Option>{{"ao", "null"}}), {});
  ASSERT_TRUE(host.connected());
  host.Play(server.Url("/list.m3u"));

  bool played = false;
  // The playlist ends without anything to play: an error or an idle player.
  const bool ended = WaitFor(
      [&] {
        played = played || host.status().state == PlayState::kPlaying;
        return host.failure().failure != StreamFailure::kNone || host.status().state == PlayState::kReady;
      },
      20000);
  EXPECT_TRUE(ended);
  EXPECT_FALSE(played);
  std::ifstream check(written);
  const std::string content((std::istreambuf_iterator<char>(check)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "the user's own file");
}

}  // namespace
}  // namespace vidora::testing
