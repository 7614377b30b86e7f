// A stream address given on the command line plays in the real player
// (libmpv, no audio device), from a server on 127.0.0.1.
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "core/catalogue/channel_catalogue.h"
#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "e2e/media_server.h"
#include "e2e/wait_for.h"
#include "support/temp_dir.h"
#include "ui/playback/mpv_backend.h"
#include "ui/playback/player_host.h"
#include "ui/shell/command_line_actions.h"
#include "ui/shell/main_frame.h"

namespace vidora::testing {
namespace {

const QColor kColour(40, 180, 60);

TEST(CommandLineEndToEndTest, AnAddressOnTheCommandLinePlaysTheLocalStream) {
  SetSetting(kAutoCatalogueUpdateSetting, false);
  SetSetting(kAutoUpdateSetting, false);
  SetSetting(kPublisherHostSetting, u"127.0.0.1:1");
  SetSetting(kCurrentChannelKeySetting, u"");
  MediaServer server;
  server.Serve("/x.y4m", MakeSolidY4m(64, 48, 25, 250, kColour), "video/x-yuv4mpeg");
  ASSERT_TRUE(server.Start());
  TempDir dir;

  MainFrameOptions options;
  options.view.backend = [] {
    return std::make_unique<MpvBackend>(std::vector<MpvBackend::Option>{{"ao", "null"}});
  };
  options.view.catalogue_file = dir / "none.vdch";
  options.save_settings = [] { return true; };
  auto frame = std::make_unique<MainFrame>(std::move(options));
  frame->show();
  CommandLineRequests requests = ParseCommandLine(
      {QStringLiteral("vidora"), QString::fromStdU16String(server.Url("/x.y4m"))});
  ASSERT_TRUE(requests.error.isEmpty());
  ActOnCommandLine(*frame, requests);

  PlayerHost* player = frame->view()->playback()->player();
  auto centre = [player] {
    const QImage& image = player->window()->frame();
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
  };
  ASSERT_TRUE(WaitFor(
      [&] {
        const QColor c = centre();
        return c.isValid() && std::abs(c.red() - kColour.red()) < 16 && std::abs(c.green() - kColour.green()) < 16 &&
               std::abs(c.blue() - kColour.blue()) < 16;
      },
      20000))
      << "centre " << centre().name().toStdString();
  EXPECT_EQ(Catalogue()->CurrentChannel()->name(), server.Url("/x.y4m"));
  frame->close();
  frame.reset();
  FreeCatalogue();
}

}  // namespace
}  // namespace vidora::testing
