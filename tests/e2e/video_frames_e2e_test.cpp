// Every frame the engine hands over reaches the player window's paint: a
// 60 fps clip played to its end in a real widget, counting frames painted
// and frames taken unseen.
#include <mpv/client.h>

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e/media_server.h"
#include "e2e/wait_for.h"
#include "ui/playback/mpv_backend.h"
#include "ui/playback/player_host.h"
#include "ui/playback/player_video_widget.h"

namespace vidora::testing {
namespace {

constexpr int kWaitMs = 30000;
constexpr int kFrames = 120;
const QColor kColour(40, 80, 200);

TEST(VideoFramesEndToEndTest, EveryFrameOfA60FpsClipIsPaintedOnceItPlays) {
  MediaServer server;
  server.Serve("/clip.y4m", MakeSolidY4m(64, 48, 60, kFrames, kColour), "video/x-yuv4mpeg");
  ASSERT_TRUE(server.Start());

  QWidget view;
  view.resize(340, 260);
  view.show();
  std::vector<QString> messages;
  // No frame dropping: the engine wants every frame shown, however slow
  // the machine that runs the test.
  PlayerHost host(&view, QRect(10, 10, 320, 240),
                  std::make_unique<MpvBackend>(std::vector<MpvBackend::Option>{{"ao", "null"}, {"framedrop", "no"}}),
                  [&messages](QWidget*, const QString& text) { messages.push_back(text); });
  ASSERT_TRUE(host.connected());
  PlayerVideoWidget* window = host.window();
  window->show();

  host.Play(server.Url("/clip.y4m"));
  ASSERT_TRUE(WaitFor([&] { return host.address_state() == PlayerHost::AddressState::kPlaying; }, kWaitMs));
  // Frames are only taken unseen while the address opens.
  const int64_t discarded = window->frames_discarded();
  EXPECT_LT(discarded, kFrames);
  // Frames the engine gave up on because nobody took them in time.
  mpv_handle* mpv = static_cast<MpvBackend*>(host.backend())->handle();
  int64_t dropped = 0;
  ASSERT_TRUE(WaitFor(
      [&] {
        int64_t count = 0;
        if (mpv_get_property(mpv, "frame-drop-count", MPV_FORMAT_INT64, &count) >= 0) dropped = count;
        return host.address_state() == PlayerHost::AddressState::kEnded;
      },
      kWaitMs))
      << static_cast<int>(host.address_state());
  EXPECT_EQ(dropped, 0);
  EXPECT_EQ(window->frames_discarded(), discarded);
  // The engine may also hand over a repeat of a frame while the address
  // opens (taken unseen too), so the two may exceed the clip by that.
  EXPECT_GE(window->frames_shown() + window->frames_discarded(), kFrames)
      << "shown " << window->frames_shown() << ", discarded " << window->frames_discarded();
  EXPECT_LE(window->frames_shown(), kFrames);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace vidora::testing
