#include "ui/playback/mpv_library.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ui/playback/mpv_backend.h"
#include "ui/playback/player_host.h"

namespace vidora::testing {
namespace {

TEST(MpvLibraryTest, TheEngineLoadsWithEveryFunctionTheSharedCopyIsOneForAllThreads) {
  const std::unique_ptr<MpvLibrary> library = MpvLibrary::Open(MpvLibrary::kFileName);
  ASSERT_TRUE(library->ok()) << library->error();
  EXPECT_TRUE(library->error().empty());
#define VIDORA_EXPECT_FOUND(name) EXPECT_NE(library->name, nullptr) << #name;
  VIDORA_MPV_FUNCTIONS(VIDORA_EXPECT_FOUND)
#undef VIDORA_EXPECT_FOUND

  PreloadMpvLibrary();
  PreloadMpvLibrary();
  const MpvLibrary* seen[2] = {};
  std::thread other([&seen] { seen[0] = &SharedMpvLibrary(); });
  seen[1] = &SharedMpvLibrary();
  other.join();
  EXPECT_EQ(seen[0], seen[1]);
  EXPECT_TRUE(seen[1]->ok()) << seen[1]->error();
}

// Without the engine the player starts anyway, says once that there is no
// player, and ignores what it is asked to do.
TEST(MpvLibraryTest, WithoutTheEngineThePlayerSaysSoAndDoesNothing) {
  const std::unique_ptr<MpvLibrary> missing = MpvLibrary::Open("libvidora-no-such-engine.so.9");
  EXPECT_FALSE(missing->ok());
  EXPECT_NE(missing->error().find("libvidora-no-such-engine.so.9"), std::string::npos) << missing->error();

  QWidget view;
  std::vector<std::string> messages;
  PlayerHost host(&view, QRect(0, 0, 64, 48),
                  std::make_unique<MpvBackend>(std::vector<MpvBackend::Option>{{"ao", "null"}}, missing.get()),
                  [&messages](QWidget*, const QString& text) { messages.push_back(text.toStdString()); });
  EXPECT_EQ(messages, std::vector<std::string>{"Can't create player."});
  EXPECT_FALSE(host.connected());
  host.Play(u"http://127.0.0.1:1/x.ts");
  host.SetVolume(20);
  host.Stop();
  EXPECT_EQ(host.address_state(), PlayerHost::AddressState::kNone);
  EXPECT_EQ(host.status().state, PlayState::kUndefined);
}

}  // namespace
}  // namespace vidora::testing
